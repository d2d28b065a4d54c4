#include "framework/program_window.h"

#include "framework/program_contract.h"
#include "host/win/messages.h"
#include "host/win/system.h"
#include "quib/quib.h"

namespace {

// Maximised, the picture's origin is the client area's centre less these (399, not 400, as designed).
constexpr int kCentreOffsetX = 399;
constexpr int kCentreOffsetY = 300;

} // namespace

int RegisterProgramWindowClass(HINSTANCE instance, WNDPROC windowProc) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszClassName = kProgramWindowClass;
    return RegisterClassA(&windowClass) != 0 ? 1 : 0;
}

int CreateProgramWindow(HINSTANCE instance, const char* title, bool fullscreen, bool topmostOnExactScreen,
                        HWND* mainWindow) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    HWND window = nullptr;
    if (fullscreen) {
        window = CreateWindowExA(WS_EX_LEFT, kProgramWindowClass, title, WS_VISIBLE, 0, 0, screenWidth,
                                 screenHeight, nullptr, nullptr, instance, nullptr);
    } else {
        const int x = screenWidth / 2 - kScreenWidth / 2, y = screenHeight / 2 - kScreenHeight / 2;
        window = CreateWindowExA(WS_EX_LEFT, kProgramWindowClass, title,
                                 WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, x, y,
                                 kScreenWidth, kScreenHeight, nullptr, nullptr, instance, nullptr);
        if (window && topmostOnExactScreen && screenWidth == kScreenWidth && screenHeight == kScreenHeight)
            SetWindowPos(window, HWND_TOPMOST, x, y, kScreenWidth, kScreenHeight, SWP_SHOWWINDOW);
    }
    if (!window) return 0;
    *mainWindow = window;
    g_mainWindow = window;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return 1;
}

void OnProgramWindowMove(HWND window) {
    if (!g_mainWindow) return;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    QuibSetWindowXY(origin.x, origin.y);
}

void OnProgramWindowSize(WPARAM kind, LPARAM lParam, int* cursorOffsetX, int* cursorOffsetY) {
    if (kind == SIZE_MAXIMIZED) {
        const int width = LOWORD(lParam);
        const int height = HIWORD(lParam);
        QuibSetWindowXY(width / 2 - kCentreOffsetX, height / 2 - kCentreOffsetY);
        *cursorOffsetX = width / 2 - kCentreOffsetX;
        *cursorOffsetY =
            height / 2 - GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYSMCAPTION) - kCentreOffsetY;
    } else if (kind == SIZE_RESTORED) {
        *cursorOffsetX = 0;
        *cursorOffsetY = 0;
    }
}
