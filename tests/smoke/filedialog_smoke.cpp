// The sdl backend's file chooser for real: opens the window, shows a picture, then runs two open dialogs
// on FOLDER, writing one line per dialog to RESULT_FILE ("ok PATH" or "cancel"). After them it pumps
// messages for a second and writes "key MESSAGE VK" for any Return or Escape message the program got:
// the keys that closed the dialogs belong to the dialogs. READY_FILE appears when the first dialog opens.
// Usage: filedialog_smoke FOLDER RESULT_FILE READY_FILE
#include <cstdio>
#include <string>
#include <vector>

#include "host/backend/present.h"
#include "host/win/clock.h"
#include "host/win/filedialog.h"
#include "host/win/keystate.h"
#include "host/win/messages.h"
#include "host/win/system.h"
#include "host/win/window.h"

namespace {

std::FILE* g_result = nullptr;

LRESULT SmokeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool key = message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
    if (key && (wParam == VK_RETURN || wParam == VK_ESCAPE))
        std::fprintf(g_result, "key %s %d\n", message == WM_KEYUP ? "up" : "down", static_cast<int>(wParam));
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void RunDialog(const char* folder, const char* title) {
    char file[256] = "*.lev";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFilter = "Level files\0*.lev\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrInitialDir = folder;
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = "lev";
    dialog.Flags = OFN_ALLOWMULTISELECT;
    if (GetOpenFileNameA(&dialog))
        std::fprintf(g_result, "ok %s\n", file);
    else
        std::fprintf(g_result, "cancel\n");
    std::fflush(g_result);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: filedialog_smoke FOLDER RESULT_FILE READY_FILE\n");
        return 1;
    }
    g_result = std::fopen(argv[2], "w");
    if (!g_result) return 1;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SmokeProc;
    windowClass.lpszClassName = "Dialog Smoke Class";
    if (!RegisterClassA(&windowClass)) return 1;
    HWND window = CreateWindowExA(WS_EX_LEFT, "Dialog Smoke Class", "Dialog Smoke", WS_VISIBLE | WS_SYSMENU,
                                  0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    std::vector<WORD> pixels(800 * 600, 0x07E0);
    HostPicture picture{pixels.data(), 800, 600, 800 * 2, false};
    for (int frame = 0; frame < 10; ++frame) {
        Pump();
        HostPresentPrimary(picture, true);
        Sleep(10);
    }
    if (std::FILE* ready = std::fopen(argv[3], "w")) std::fclose(ready);
    RunDialog(argv[1], "Load Level");
    RunDialog(argv[1], "Save Level");
    DWORD start = timeGetTime();
    while (timeGetTime() - start < 1000) {
        Pump();
        HostPresentPrimary(picture, true);
        Sleep(10);
    }
    std::fclose(g_result);
    DestroyWindow(window);
    return 0;
}
