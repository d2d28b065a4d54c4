// Opens the 800x600 window through the window layer on the sdl backend, presents a known picture as a
// windowed program does (the whole desktop, the window's part shown), and writes down the first left click
// it receives: "down X Y" in client coordinates. Exits 0 after the click, 2 when none came in time.
#include <cstdio>
#include <vector>

#include "host/backend/present.h"
#include "host/win/clock.h"
#include "host/win/messages.h"
#include "host/win/system.h"
#include "host/win/window.h"

namespace {

const char* g_clickFile = nullptr;
bool g_clicked = false;

LRESULT SmokeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN && !g_clicked) {
        if (FILE* file = std::fopen(g_clickFile, "w")) {
            std::fprintf(file, "down %d %d\n", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            std::fclose(file);
        }
        g_clicked = true;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The window's picture: red, green, blue and white quarters, a yellow block at the top-left and a cyan
// block at the bottom-right; the rest of the desktop magenta, which must never show.
void Paint(std::vector<WORD>& desktop, int desktopWidth, int left, int top) {
    for (size_t i = 0; i < desktop.size(); ++i)
        desktop[i] = 0xF81F;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            WORD colour = y < 300 ? (x < 400 ? 0xF800 : 0x07E0) : (x < 400 ? 0x001F : 0xFFFF);
            if (x < 8 && y < 8) colour = 0xFFE0;
            if (x >= 792 && y >= 592) colour = 0x07FF;
            desktop[static_cast<size_t>(top + y) * desktopWidth + left + x] = colour;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: sdl_smoke CLICK_FILE READY_FILE\n");
        return 1;
    }
    g_clickFile = argv[1];
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SmokeProc;
    windowClass.lpszClassName = "Smoke Class";
    if (!RegisterClassA(&windowClass)) return 1;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (screenWidth < 800 || screenHeight < 600) {
        std::fprintf(stderr, "desktop %dx%d is smaller than the window\n", screenWidth, screenHeight);
        return 1;
    }
    int left = screenWidth / 2 - 400, top = screenHeight / 2 - 300;
    HWND window = CreateWindowExA(WS_EX_LEFT, "Smoke Class", "Smoke", WS_VISIBLE | WS_SYSMENU, left, top, 800,
                                  600, nullptr, nullptr, nullptr, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    std::vector<WORD> desktop(static_cast<size_t>(screenWidth) * screenHeight);
    Paint(desktop, screenWidth, left, top);
    HostPicture picture{desktop.data(), screenWidth, screenHeight, screenWidth * 2, false};
    bool ready = false;
    DWORD start = timeGetTime();
    for (int frame = 0; !g_clicked; ++frame) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return g_clicked ? 0 : 2;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        HostPresentPrimary(picture, false);
        if (frame == 10 && !ready) {
            if (FILE* file = std::fopen(argv[2], "w")) std::fclose(file);
            ready = true;
        }
        if (timeGetTime() - start > 30000) {
            std::fprintf(stderr, "sdl_smoke: no click within 30 seconds\n");
            return 2;
        }
        Sleep(10);
    }
    DestroyWindow(window);
    return 0;
}
