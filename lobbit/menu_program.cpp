// The menu program's start-up, main loop and message pump.
#include "lobbit/menu_program.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "framework/display_check.h"
#include "framework/game_clock.h"
#include "framework/mouse_cursor.h"
#include "framework/page_manager.h"
#include "framework/program_contract.h"
#include "framework/program_window.h"
#include "framework/screen_updater.h"
#include "framework/soundmanager.h"
#include "framework/surface_helpers.h"
#include "host/gdi/dc.h"
#include "host/win/clock.h"
#include "host/win/messagebox.h"
#include "host/win/messages.h"
#include "host/win/profile.h"
#include "host/win/system.h"
#include "lobbit/game_menu_page.h"
#include "lobbit/key_queue.h"
#include "lobbit/title_page.h"
#include "quib/quib.h"

HINSTANCE hInstance = nullptr;
HWND hwnd = nullptr;
int fullscreen = 0;
int windowed = 1;
IDirectDraw* directDraw = nullptr;
IDirectDrawSurface* primary = nullptr;
IDirectDrawSurface* backBuffer = nullptr;
int active = 0;
int showFps = 0;
int cursorOffsetX = 0;
int cursorOffsetY = 0;

namespace {

constexpr const char* kWindowTitle = "Plovix Lobbit";
constexpr const char* kSetupIni = ".\\setup.ini";
constexpr int kSampleSlots = 200;
constexpr int kStopValue = 7; // what a page's Frame returns to end the program
constexpr int kFpsX = 580;
// Passes of the main loop a second on a real display (headless runs are paced by their frames).
constexpr int kPassesPerSecond = 60;

// The engine on the window: full screen 800x600x16, or an 800x600 window. False when it cannot start.
bool StartEngine() {
    if (fullscreen) {
        windowed = 0;
        if (!QuibInitDirectX(hwnd, kScreenWidth, kScreenHeight, 16)) return false;
    } else {
        windowed = 1;
        if (!QuibInitDirectX(hwnd, kScreenWidth, kScreenHeight)) {
            QuibPrintError();
            return false;
        }
    }
    QuibSetViewport(0, 0, kScreenWidth, kScreenHeight);
    directDraw = QuibGetLPDD();
    if (directDraw) {
        DDCAPS caps{};
        caps.dwSize = sizeof caps;
        directDraw->GetCaps(&caps, nullptr); // read as designed; nothing depends on it
    }
    QuibGetDDInfo(&primary, &backBuffer);
    FillSurface(backBuffer, 0);
    return true;
}

// The software cursor has no picture: the system arrow of the window class is the visible pointer.
void SetUpCursor() {
    g_mouseCursor.SetImage(nullptr);
    g_mouseCursor.SelectImage(0);
    g_mouseCursor.Hide();
    g_mouseCursor.SetFlipMode(fullscreen != 0);
    POINT at{0, 0};
    GetCursorPos(&at);
    g_mouseCursor.SetPosition(at.x, at.y);
    QuibAcquireMouse(1);
}

// Everything after the window exists, up to the main loop. False when the engine cannot start.
bool StartMenu(const char* commandLine) {
    QuibDebugEnable(0);
    if (!StartEngine()) return false;
    QuibSetInstance(hInstance);
    QuibInitMouse();
    StartClock();
    g_soundManager.Init(hwnd, kSampleSlots);
    SetUpCursor();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    QuibInitFont(hwnd);
    g_pageManager.SetDirectDraw(directDraw, backBuffer);
    g_pageManager.AddPage(&g_gameMenuPage);
    g_pageManager.AddPage(&g_titlePage);
    g_screenUpdater.SetDoubleBuffered(fullscreen);
    g_pageManager.SwitchTo("Lobbit");
    if (commandLine && *commandLine) g_gameMenuPage.SelectByCommandLine(commandLine);
    QuibInitKeyboard();
    return true;
}

// Waits so a real display gets at most kPassesPerSecond passes a second; on a virtual clock (headless
// runs) HostPaceWait returns at once.
class PassPacer {
  public:
    void Wait() {
        const double period = 1000.0 / kPassesPerSecond;
        const double now = static_cast<double>(HostNowMs());
        if (!started_ || now - due_ > 4 * period) {
            started_ = true;
            due_ = now;
            return;
        }
        due_ += period;
        if (due_ > now) HostPaceWait(static_cast<DWORD>(due_ - now));
    }

  private:
    bool started_ = false;
    double due_ = 0;
};

void PrintFrameRate() {
    char text[32];
    std::snprintf(text, sizeof text, "%5.2f", static_cast<double>(QuibGetFPS()));
    QuibPrintString(text, kFpsX, 0);
}

// Ends the program from inside the loop: the window goes (its WM_DESTROY shuts everything down) unless
// it already went while a popup ran.
void DestroyMainWindow() {
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
}

int RunMainLoop() {
    PassPacer pacer;
    while (PumpMessages() == 0) {
        if (backBuffer) {
            HDC dc = nullptr;
            if (SUCCEEDED(backBuffer->GetDC(&dc))) backBuffer->ReleaseDC(dc);
        }
        pacer.Wait();
        if (active) {
            QuibAcquireMouse(1);
            if (showFps) PrintFrameRate();
            if (g_pageManager.Frame(active) == kStopValue) {
                DestroyMainWindow();
                return 0;
            }
        } else {
            QuibAcquireMouse(0);
        }
    }
    return 0;
}

} // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    if (!DisplayIsSuitable("Brisko Games needs the display set to High Color (16 bit).")) return 0;
    hInstance = instance;
    QuibSetInstance(hInstance);
    char value[256] = {};
    GetPrivateProfileStringA("setup", "fullscreen", "0", value, sizeof value, kSetupIni);
    fullscreen = std::atoi(value);
    if (!RegisterWindowClass(hInstance) || !CreateMainWindow(hInstance)) return 1;
    if (!StartMenu(commandLine)) return 1;
    return RunMainLoop();
}

int RegisterWindowClass(HINSTANCE instance) {
    return RegisterProgramWindowClass(instance, MenuWndProc);
}

// The menu's window is made topmost on an 800x600 screen.
int CreateMainWindow(HINSTANCE instance) {
    return CreateProgramWindow(instance, kWindowTitle, fullscreen != 0, true, &hwnd);
}

int PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        g_keyQueue.FeedFromKeyState(reinterpret_cast<const unsigned char*>(QuibGetKeys()));
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return 1;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
