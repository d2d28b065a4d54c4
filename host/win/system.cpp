// System metrics and the platform cursor. The cursor's display count and current cursor decide whether
// the backend shows its pointer over the window.
#include "host/win/system.h"

#include <atomic>

#include "host/backend/backend.h"
#include "host/backend/machine.h"
#include "host/win/window_internal.h"

namespace {

// The stock arrow: a handle no other object has.
HCURSOR ArrowCursor() {
    return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x7F00));
}

std::atomic<int> g_cursorCount{0};
std::atomic<HCURSOR> g_cursor{ArrowCursor()};

bool IsStockName(LPCSTR name, WORD id) {
    return reinterpret_cast<uintptr_t>(name) == id;
}

void TellBackendCursor() {
    const HostBackend& backend = HostGetBackend();
    if (backend.showCursor) backend.showCursor(g_cursorCount.load() >= 0 && g_cursor.load() != nullptr);
}

} // namespace

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return HostGetScreenMode().width;
    case SM_CYSCREEN: return HostGetScreenMode().height;
    default: return 0; // no frames, captions or other decorations here
    }
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return !instance && IsStockName(name, 32512) ? ArrowCursor() : nullptr;
}

HICON LoadIconA(HINSTANCE, LPCSTR) {
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = g_cursor.exchange(cursor);
    if ((previous == nullptr) != (cursor == nullptr)) TellBackendCursor();
    return previous;
}

int ShowCursor(BOOL show) {
    int count = show ? ++g_cursorCount : --g_cursorCount;
    if (count == 0 || count == -1) TellBackendCursor(); // visibility changes only across 0
    return count;
}

BOOL GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    *point = hostwin::CursorScreenPos();
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    hostwin::SetCursorScreenPos(POINT{x, y});
    const HostBackend& backend = HostGetBackend();
    if (backend.warpMouse) {
        POINT client{x, y};
        if (HWND main = HostMainWindow()) ScreenToClient(main, &client);
        backend.warpMouse(client.x, client.y);
    }
    return TRUE;
}
