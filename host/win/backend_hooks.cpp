// What the window layer hands the backend when the library loads (host/backend/hooks.h): its input calls,
// what a backend needs to know of the program's windows, and the host clock.
#include "host/backend/backend.h"
#include "host/backend/hooks.h"
#include "host/win/clock.h"
#include "host/win/host_input.h"
#include "host/win/messages.h"
#include "host/win/window.h"

namespace {

void CloseMainWindow() {
    HostInputClose();
}

void Quit() {
    PostQuitMessage(0);
}

bool HasMainWindow() {
    return HostMainWindow() != nullptr;
}

bool ProgramActive() {
    return GetActiveWindow() != nullptr;
}

bool MainClientArea(int* left, int* top, int* width, int* height) {
    HWND main = HostMainWindow();
    RECT client{0, 0, 0, 0};
    POINT origin{0, 0};
    if (!main || !GetClientRect(main, &client) || !ClientToScreen(main, &origin)) return false;
    *left = origin.x;
    *top = origin.y;
    *width = client.right;
    *height = client.bottom;
    return true;
}

// A backend with a virtual clock drives every host clock from its start on.
void BackendStarted(const HostBackend& backend) {
    if (backend.virtualNowMs) HostSetClockSource(backend.virtualNowMs);
}

[[maybe_unused]] const bool g_registered = [] {
    HostSetWindowHooks({HostInputKey, HostInputChar, HostInputMouseMove, HostInputMouseButton, HostInputFocus,
                        CloseMainWindow, Quit, HasMainWindow, ProgramActive, MainClientArea, HostNowMs,
                        BackendStarted});
    return true;
}();

} // namespace
