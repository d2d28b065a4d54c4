// The process's one message queue. Posting is safe from any thread; window procedures run on the thread
// that sends or dispatches, with no lock held.
#include "host/win/messages.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "host/backend/backend.h"
#include "host/win/clock.h"
#include "host/win/keystate.h"
#include "host/win/window_internal.h"

namespace {

std::mutex g_queueLock;
std::condition_variable g_posted;
std::deque<MSG> g_queue;
bool g_quitPending = false;
int g_quitCode = 0;

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{window, message, wParam, lParam, timeGetTime(), hostwin::CursorScreenPos()};
}

bool Matches(const MSG& msg, HWND window, UINT first, UINT last) {
    if (window == reinterpret_cast<HWND>(-1)) {
        if (msg.hwnd) return false;
    } else if (window && msg.hwnd != window) {
        return false;
    }
    return (first == 0 && last == 0) || (msg.message >= first && msg.message <= last);
}

// Copies the oldest matching message into out, removing it when asked.
bool TakeQueued(LPMSG out, HWND window, UINT first, UINT last, bool remove) {
    std::lock_guard<std::mutex> guard(g_queueLock);
    for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
        if (!Matches(*it, window, first, last)) continue;
        *out = *it;
        if (remove) g_queue.erase(it);
        return true;
    }
    return false;
}

// WM_QUIT belongs to no window: only a look at every window (or at window-less messages) finds it.
bool TakeQuit(LPMSG out, HWND window, bool remove) {
    if (window && window != reinterpret_cast<HWND>(-1)) return false;
    std::lock_guard<std::mutex> guard(g_queueLock);
    if (!g_quitPending) return false;
    *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(g_quitCode), 0, 0, POINT{0, 0}};
    if (remove) g_quitPending = false;
    return true;
}

bool QuitPending() {
    std::lock_guard<std::mutex> guard(g_queueLock);
    return g_quitPending;
}

} // namespace

namespace hostwin {

void RemoveQueuedFor(HWND window) {
    std::vector<MSG> dropped;
    {
        std::lock_guard<std::mutex> guard(g_queueLock);
        for (const MSG& msg : g_queue) {
            if (msg.hwnd == window) dropped.push_back(msg);
        }
        std::erase_if(g_queue, [window](const MSG& msg) { return msg.hwnd == window; });
    }
    // Keys and buttons still go up and down when the window that would have heard them is gone, so the
    // key state never keeps a key down that the user has let go.
    for (const MSG& msg : dropped)
        OnMessageTaken(msg);
}

} // namespace hostwin

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = hostwin::ProcOf(window);
    return proc ? proc(window, message, wParam, lParam) : 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !hostwin::ProcOf(window)) return FALSE;
    MSG msg = MakeMessage(window, message, wParam, lParam);
    {
        std::lock_guard<std::mutex> guard(g_queueLock);
        g_queue.push_back(msg);
    }
    g_posted.notify_all();
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    {
        std::lock_guard<std::mutex> guard(g_queueLock);
        g_quitPending = true;
        g_quitCode = exitCode;
    }
    g_posted.notify_all();
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT flags) {
    if (!msg) return FALSE;
    bool remove = (flags & PM_REMOVE) != 0;
    const HostBackend& backend = HostGetBackend();
    for (int look = 0; look < 2; ++look) {
        if (TakeQueued(msg, window, first, last, remove)) {
            if (remove) hostwin::OnMessageTaken(*msg);
            return TRUE;
        }
        if (TakeQuit(msg, window, remove)) return TRUE;
        // An empty queue lets the machine speak; a program that is ending is not held up by new input.
        if (look == 0 && !QuitPending()) backend.pumpEvents();
    }
    return FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT first, UINT last) {
    if (!msg) return -1;
    const HostBackend& backend = HostGetBackend();
    while (!PeekMessageA(msg, window, first, last, PM_REMOVE)) {
        {
            std::unique_lock<std::mutex> lock(g_queueLock);
            g_posted.wait_for(lock, std::chrono::milliseconds(2),
                              [] { return !g_queue.empty() || g_quitPending; });
        }
        if (backend.waitEvents) backend.waitEvents(8);
    }
    return msg->message == WM_QUIT ? 0 : 1;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    int key = static_cast<int>(msg->wParam);
    int character = 0;
    switch (key) {
    case VK_RETURN: character = '\r'; break;
    case VK_BACK: character = '\b'; break;
    case VK_TAB: character = '\t'; break;
    case VK_ESCAPE: character = 27; break;
    default:
        if (HostGetBackend().textFromKeys && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
            bool shift = GetKeyState(VK_SHIFT) < 0;
            if (key >= 'A' && key <= 'Z' && (GetKeyState(VK_CAPITAL) & 1)) shift = !shift;
            character = hostwin::CharacterForKey(key, shift);
        }
    }
    if (!character) return FALSE;
    // The character is the very next message, as the platform delivers it.
    MSG charMsg = *msg;
    charMsg.message = WM_CHAR;
    charMsg.wParam = static_cast<WPARAM>(character);
    {
        std::lock_guard<std::mutex> guard(g_queueLock);
        g_queue.push_front(charMsg);
    }
    g_posted.notify_all();
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (static_cast<DWORD>(lParam) & HOST_KEY_ALT_DOWN))
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSKEYUP:
        if (wParam == VK_MENU || wParam == VK_F10) SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
    default: return 0;
    }
}

void HostResetMessageQueue() {
    std::lock_guard<std::mutex> guard(g_queueLock);
    g_queue.clear();
    g_quitPending = false;
    g_quitCode = 0;
}
