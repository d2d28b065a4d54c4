// The menu's window procedure: activation, Esc and F1, the mouse position, moving and maximising, and
// the shutdown when the window goes.
#include "framework/game_clock.h"
#include "framework/mouse_cursor.h"
#include "framework/page_manager.h"
#include "framework/program_window.h"
#include "framework/soundmanager.h"
#include "host/win/messages.h"
#include "host/win/keystate.h"
#include "host/win/window.h"
#include "lobbit/menu_program.h"
#include "quib/quib.h"

namespace {

void OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        QuibAcquireMouse(0);
        active = 0;
    } else if (LOWORD(wParam) == WA_ACTIVE) {
        QuibAcquireMouse(1);
        active = 1;
        SetFocus(hwnd);
    }
}

void OnKeyUp(WPARAM key) {
    if (key == VK_ESCAPE) PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (key == VK_F1) showFps = 1 - showFps;
}

// The clock stops first, so no timer tick reads the mouse while the engine goes away.
void ShutDown() {
    StopClock();
    g_pageManager.LeaveAll();
    g_mouseCursor.Release();
    QuibAcquireMouse(0);
    QuibFreeFont();
    QuibFreeDirectInput();
    QuibFreeDirectX();
    g_soundManager.Shutdown();
    active = 0;
    PostQuitMessage(0);
}

} // namespace

LRESULT MenuWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    g_pageManager.HandleMessage(window, msg, wParam, lParam); // the menu handles every message itself too
    switch (msg) {
    case WM_ACTIVATEAPP: active = wParam != 0; break;
    case WM_ACTIVATE: OnActivate(wParam); break;
    case WM_KEYUP: OnKeyUp(wParam); break;
    case WM_SYSCOMMAND:
        if (wParam == SC_KEYMENU) return 0;
        break;
    case WM_MOUSEMOVE:
        if (active) g_mouseCursor.SetPosition(LOWORD(lParam) - cursorOffsetX, HIWORD(lParam) - cursorOffsetY);
        break;
    case WM_MOVE: OnProgramWindowMove(window); break;
    case WM_SIZE: OnProgramWindowSize(wParam, lParam, &cursorOffsetX, &cursorOffsetY); break;
    case WM_CLOSE: DestroyWindow(hwnd); break;
    case WM_DESTROY: ShutDown(); break;
    default: break;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}
