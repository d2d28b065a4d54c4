// The end-to-end program: what a program built on the framework supplies (start-up, main loop, window
// procedure, PumpMessages), showing one scene. Usage: framework_e2e_program SCENE full|window
#include <cstdio>
#include <cstring>

#include "e2e_art.h"
#include "e2e_scene.h"
#include "framework/game_clock.h"
#include "framework/mouse_cursor.h"
#include "framework/page_manager.h"
#include "framework/screen_updater.h"
#include "framework/surface_helpers.h"
#include "host/win/messages.h"
#include "host/win/window.h"
#include "quib/quib.h"

namespace {

int g_active = 0;

LRESULT E2EWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_pageManager.HandleMessage(window, msg, wParam, lParam) == 0) return 0;
    switch (msg) {
    case WM_ACTIVATEAPP: g_active = wParam != 0; return 0;
    case WM_MOUSEMOVE:
        if (g_active) g_mouseCursor.SetPosition(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_DESTROY:
        g_pageManager.LeaveAll();
        g_mouseCursor.Release();
        StopClock();
        QuibAcquireMouse(0);
        QuibFreeDirectInput();
        QuibFreeDirectX();
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcA(window, msg, wParam, lParam);
    }
}

HWND CreateMainWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = E2EWindowProc;
    windowClass.lpszClassName = "DirectX Class";
    if (!RegisterClassA(&windowClass)) return nullptr;
    return CreateWindowExA(0, "DirectX Class", "Framework", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                           nullptr, nullptr, nullptr);
}

void SetUpCursor(const E2EScene& scene, int fullScreen) {
    g_mouseCursor.SetImage(scene.showCursor ? e2e::kCursorFile : nullptr);
    g_mouseCursor.SelectImage(0);
    if (scene.showCursor) g_mouseCursor.Show();
    g_mouseCursor.SetFlipMode(fullScreen);
    g_mouseCursor.SetPosition(0, 0);
    g_mouseCursor.SetArea(0, 0, kScreenWidth, kScreenHeight);
    g_mouseCursor.SetFullScreen(fullScreen);
}

// Start-up after the engine is up, in the contract's order.
bool StartFramework(const E2EScene& scene, int fullScreen) {
    IDirectDrawSurface* back = nullptr;
    QuibGetDDInfo(nullptr, &back);
    if (!back) return false;
    FillSurface(back, 0);
    g_pageManager.SetDirectDraw(QuibGetLPDD(), back);
    g_pageManager.SwitchTo(scene.addPages());
    g_screenUpdater.SetDoubleBuffered(fullScreen);
    if (StartClock() != 0) std::fprintf(stderr, "the clock did not start\n");
    SetUpCursor(scene, fullScreen);
    QuibInitMouse();
    QuibAcquireMouse(1);
    return true;
}

void MainLoop() {
    for (;;) {
        QuibGetFPS();
        if (PumpMessages()) return;
        if (g_active) {
            QuibAcquireMouse(1);
            if (g_pageManager.Frame(1) == 0) DestroyWindow(g_mainWindow);
        } else {
            QuibAcquireMouse(0);
        }
    }
}

} // namespace

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

int main(int argc, char** argv) {
    const E2EScene* scene = argc >= 3 ? FindE2EScene(argv[1]) : nullptr;
    if (!scene || (std::strcmp(argv[2], "full") != 0 && std::strcmp(argv[2], "window") != 0)) {
        std::fprintf(stderr, "usage: framework_e2e_program SCENE full|window\n");
        return 2;
    }
    int fullScreen = std::strcmp(argv[2], "full") == 0 ? 1 : 0;
    scene->writeArt();
    if (scene->showCursor) e2e::WriteCursor();
    g_mainWindow = CreateMainWindow();
    if (!g_mainWindow) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    int started =
        fullScreen ? QuibInitDirectX(g_mainWindow, 800, 600, 16) : QuibInitDirectX(g_mainWindow, 800, 600);
    if (!started || !StartFramework(*scene, fullScreen)) {
        std::fprintf(stderr, "the display did not start\n");
        QuibFreeDirectX();
        return 1;
    }
    MainLoop();
    return 0;
}
