// Machine input into window messages (host_input.h). The pointer is kept in the main window's client
// coordinates, the space both backends report in; screen positions are made from it when asked.
#include "host/win/host_input.h"

#include <atomic>

#include "host/win/keystate.h"
#include "host/win/messages.h"
#include "host/win/window.h"
#include "host/win/window_internal.h"

namespace {

std::atomic<LONG> g_mouseX{0};
std::atomic<LONG> g_mouseY{0};

WPARAM MouseKeyFlags() {
    WPARAM flags = 0;
    if (hostwin::AsyncKeyDown(VK_LBUTTON)) flags |= MK_LBUTTON;
    if (hostwin::AsyncKeyDown(VK_RBUTTON)) flags |= MK_RBUTTON;
    if (hostwin::AsyncKeyDown(VK_MBUTTON)) flags |= MK_MBUTTON;
    if (hostwin::AsyncKeyDown(VK_SHIFT)) flags |= MK_SHIFT;
    if (hostwin::AsyncKeyDown(VK_CONTROL)) flags |= MK_CONTROL;
    return flags;
}

LPARAM MousePositionParam() {
    return MAKELPARAM(g_mouseX.load(), g_mouseY.load());
}

} // namespace

namespace hostwin {

POINT CursorScreenPos() {
    POINT point{g_mouseX.load(), g_mouseY.load()};
    if (HWND main = HostMainWindow()) ClientToScreen(main, &point);
    return point;
}

void SetCursorScreenPos(POINT point) {
    if (HWND main = HostMainWindow()) ScreenToClient(main, &point);
    g_mouseX.store(point.x);
    g_mouseY.store(point.y);
}

} // namespace hostwin

void HostInputKey(int virtualKey, int scanCode, bool extended, bool down, bool repeat) {
    bool altHeld = hostwin::AsyncKeyDown(VK_MENU);
    hostwin::SetAsyncKey(virtualKey, scanCode, extended, down);
    bool controlHeld = hostwin::AsyncKeyDown(VK_CONTROL);
    // The platform sends Alt combinations, Alt itself and F10 as system keys.
    bool system = virtualKey == VK_MENU || virtualKey == VK_F10 || (altHeld && !controlHeld);
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    DWORD lParam = 1u | (static_cast<DWORD>(scanCode & 0xff) << 16);
    if (extended) lParam |= HOST_KEY_EXTENDED;
    if (altHeld || (virtualKey == VK_MENU && down)) lParam |= HOST_KEY_ALT_DOWN;
    if (!down)
        lParam |= HOST_KEY_WAS_DOWN | HOST_KEY_RELEASING;
    else if (repeat)
        lParam |= HOST_KEY_WAS_DOWN;
    if (HWND target = hostwin::KeyTarget())
        PostMessageA(target, message, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(lParam));
}

void HostInputChar(unsigned character) {
    if (HWND target = hostwin::KeyTarget()) PostMessageA(target, WM_CHAR, character, 1);
}

void HostInputMouseMove(int x, int y) {
    int oldX = g_mouseX.exchange(x);
    int oldY = g_mouseY.exchange(y);
    if (oldX == x && oldY == y) return;
    hostwin::ReportMouseMotion(x - oldX, y - oldY);
    if (HWND main = HostMainWindow()) PostMessageA(main, WM_MOUSEMOVE, MouseKeyFlags(), MousePositionParam());
}

void HostInputMouseButton(int button, bool down) {
    if (button < 0 || button > 2) return;
    hostwin::ReportMouseButton(button, down);
    static const UINT kDownMessages[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT kUpMessages[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    UINT message = down ? kDownMessages[button] : kUpMessages[button];
    if (HWND main = HostMainWindow()) PostMessageA(main, message, MouseKeyFlags(), MousePositionParam());
}

void HostInputFocus(bool focused) {
    if (!focused) {
        hostwin::Activate(nullptr);
        return;
    }
    if (GetActiveWindow()) return;
    HWND window = hostwin::LastActive();
    if (!window || !IsWindowVisible(window)) window = HostMainWindow();
    if (window && IsWindowVisible(window)) hostwin::Activate(window);
}

void HostInputClose() {
    if (HWND main = HostMainWindow()) PostMessageA(main, WM_CLOSE, 0, 0);
}

POINT HostInputMousePosition() {
    return POINT{g_mouseX.load(), g_mouseY.load()};
}

void HostInputReset() {
    g_mouseX.store(0);
    g_mouseY.store(0);
}
