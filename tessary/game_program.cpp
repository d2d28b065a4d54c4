// The game program's start-up and main loop.
#include "tessary/game_program.h"

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
#include "host/mm/mci.h"
#include "host/win/messagebox.h"
#include "host/win/messages.h"
#include "host/win/profile.h"
#include "host/win/system.h"
#include "quib/quib.h"
#include "tessary/frame_pacer.h"
#include "tessary/main_page.h"
#include "tessary/model/frame_rate.h"
#include "tessary/puzzle_game.h"

HINSTANCE hInstance = nullptr;
HWND hwnd = nullptr;
int fullscreen = 0;
IDirectDraw* directDraw = nullptr;
IDirectDrawSurface* primary = nullptr;
IDirectDrawSurface* backBuffer = nullptr;
int active = 0;
std::string menuFolder;
int cursorOffsetX = 0;
int cursorOffsetY = 0;

namespace {

constexpr const char* kSetupIni = ".\\setup.ini";
constexpr const char* kOptionsIni = "..\\options.ini";
constexpr int kSampleSlots = 50;
constexpr int kTitleSize = 321; // 320 characters and the terminator
// The main loop's passes a second: the rate the game's per-frame speeds were made for.
constexpr int kPassesPerSecond = 60;

// The engine on the window: full screen 800x600x16, or an 800x600 window. False when it cannot start.
bool StartEngine() {
    const int started = fullscreen ? QuibInitDirectX(hwnd, 800, 600, 16) : QuibInitDirectX(hwnd, 800, 600);
    if (!started) {
        if (!fullscreen) QuibPrintError();
        QuibFreeDirectX();
        return false;
    }
    QuibSetViewport(0, 0, kScreenWidth, kScreenHeight);
    directDraw = QuibGetLPDD();
    QuibGetDDInfo(&primary, &backBuffer);
    FillSurface(backBuffer, 0);
    return true;
}

void SetUpCursor() {
    g_mouseCursor.Hide();
    g_mouseCursor.SetFlipMode(fullscreen != 0);
    g_mouseCursor.SetPosition(0, 0);
    g_mouseCursor.SetArea(0, 0, kScreenWidth, kScreenHeight);
    g_mouseCursor.SetFullScreen(fullscreen);
    QuibAcquireMouse(1);
}

// A one-character switch of "..\options.ini" [setup], "Y" when missing.
bool OptionIsOn(const char* key) {
    char value[2] = {};
    GetPrivateProfileStringA("setup", key, "Y", value, sizeof value, kOptionsIni);
    return value[0] == 'Y';
}

void StartMusic() {
    mciSendStringA("open .\\sounds\\music.mp3 alias music", nullptr, 0, nullptr);
    mciSendStringA("play music notify", nullptr, 0, hwnd);
}

// Start-up after the window exists. False when the engine cannot start.
bool StartGame() {
    QuibDebugEnable(0);
    if (!StartEngine()) return false;
    g_soundManager.Init(hwnd, kSampleSlots);
    g_pageManager.SetDirectDraw(directDraw, backBuffer);
    g_pageManager.AddPage(&g_mainPage);
    g_pageManager.SwitchTo("main");
    g_screenUpdater.SetDoubleBuffered(fullscreen);
    QuibInitMouse();
    StartClock();
    SetUpCursor();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    StopCountdown();
    StartCountdown();
    SetClockMode(1);
    QuibInitFont(hwnd);
    // The switches come before the first level, whose "level" sound must honour them.
    const bool music = OptionIsOn("music");
    g_soundManager.EnableMusic(music);
    g_soundManager.EnableSFX(OptionIsOn("SFX"));
    g_puzzleGame.GoToLevel(1);
    if (music) StartMusic();
    return true;
}

// Passes of the main loop until the program ends; returns WinMain's result.
int RunMainLoop() {
    FramePacer pacer(kPassesPerSecond);
    for (;;) {
        fps = QuibGetFPS();
        if (PumpMessages() == 1) return 0;
        pacer.WaitForNextPass();
        if (active) {
            QuibAcquireMouse(1);
            if (g_pageManager.Frame(1) == 0) {
                DestroyWindow(hwnd);
                return 0;
            }
        } else {
            QuibAcquireMouse(0);
        }
    }
}

} // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    if (!DisplayIsSuitable("Game needs the display set to High Color (16 bit).")) return 0;
    hInstance = instance;
    QuibSetInstance(hInstance);
    fullscreen = static_cast<int>(GetPrivateProfileIntA("setup", "fullscreen", 0, kSetupIni));
    menuFolder = commandLine ? commandLine : "";
    if (!RegisterWindowClass(hInstance) || !CreateMainWindow(hInstance)) return 1;
    if (!StartGame()) return 1;
    return RunMainLoop();
}

int RegisterWindowClass(HINSTANCE instance) {
    return RegisterProgramWindowClass(instance, GameWndProc);
}

int CreateMainWindow(HINSTANCE instance) {
    return CreateProgramWindow(instance, kGameTitle, fullscreen != 0, false, &hwnd);
}

int PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return 1;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void SetTitleWithPlayer(const char* playerName) {
    char title[kTitleSize];
    std::snprintf(title, sizeof title, "%s - %s", kGameTitle, playerName ? playerName : "");
    if (hwnd) SetWindowTextA(hwnd, title);
}
