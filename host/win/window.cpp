// Window classes, the window table, geometry and activation. The table is guarded by one lock, which is
// never held while a window procedure or the backend runs, so procedures may call back into this layer.
#include "host/win/window.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/backend/backend.h"
#include "host/backend/machine.h"
#include "host/win/messages.h"
#include "host/win/window_internal.h"

namespace {

const uintptr_t kDesktopId = 0x10;
const uintptr_t kFirstWindowId = 0x10000;
const int kDefaultWidth = 800;
const int kDefaultHeight = 600;

struct WindowClass {
    std::string name;
    WORD atom;
    WNDCLASSEXA info;
};

struct WindowRecord {
    HWND handle;
    WORD classAtom;
    WNDPROC proc;
    DWORD style; // without WS_VISIBLE: see visible
    DWORD exStyle;
    HWND parent;
    HINSTANCE instance;
    RECT rect; // top-level: screen coordinates; child: the parent's client coordinates
    std::string title;
    bool visible = false;
    bool destroying = false;
    LONG_PTR userData = 0;
    std::vector<unsigned char> extra;
};

std::mutex g_lock;
std::vector<WindowClass> g_classes;
std::map<uintptr_t, std::unique_ptr<WindowRecord>> g_windows;
uintptr_t g_nextId = kFirstWindowId;
WORD g_nextAtom = 0xC000;
HWND g_active = nullptr;
HWND g_focus = nullptr;
HWND g_lastActive = nullptr;
HWND g_announcedMain = nullptr; // the main window the backend has been told about

HWND DesktopHandle() {
    return reinterpret_cast<HWND>(kDesktopId);
}
uintptr_t IdOf(HWND window) {
    return reinterpret_cast<uintptr_t>(window);
}

bool SameNameIgnoringCase(const std::string& a, const char* b) {
    size_t length = std::strlen(b);
    if (a.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Locked helpers.
WindowRecord* FindLocked(HWND window) {
    auto found = g_windows.find(IdOf(window));
    return found == g_windows.end() ? nullptr : found->second.get();
}

const WindowClass* FindClassLocked(LPCSTR name) {
    uintptr_t value = reinterpret_cast<uintptr_t>(name);
    for (const WindowClass& windowClass : g_classes) {
        if (value < 0x10000 ? windowClass.atom == value : SameNameIgnoringCase(windowClass.name, name))
            return &windowClass;
    }
    return nullptr;
}

bool IsTopLevel(const WindowRecord& record) {
    return !(record.style & WS_CHILD);
}

HWND MainWindowLocked() {
    for (auto& entry : g_windows) {
        if (IsTopLevel(*entry.second) && !entry.second->destroying) return entry.second->handle;
    }
    return nullptr;
}

// The screen position of a window's client origin.
POINT ClientOriginLocked(const WindowRecord& record) {
    POINT origin{record.rect.left, record.rect.top};
    if (record.parent) {
        if (WindowRecord* parent = FindLocked(record.parent)) {
            POINT parentOrigin = ClientOriginLocked(*parent);
            origin.x += parentOrigin.x;
            origin.y += parentOrigin.y;
        }
    }
    return origin;
}

HWND TopLevelOfLocked(HWND window) {
    WindowRecord* record = FindLocked(window);
    while (record && !IsTopLevel(*record) && record->parent)
        record = FindLocked(record->parent);
    return record ? record->handle : nullptr;
}

// The next visible top-level window other than except, to activate when except goes.
HWND NextActivatableLocked(HWND except) {
    for (auto& entry : g_windows) {
        WindowRecord& record = *entry.second;
        if (record.handle != except && IsTopLevel(record) && record.visible && !record.destroying)
            return record.handle;
    }
    return nullptr;
}

bool ShowActivates(int command) {
    return command != SW_SHOWNOACTIVATE && command != SW_SHOWNA && command != SW_SHOWMINNOACTIVE &&
           command != SW_MINIMIZE && command != SW_HIDE;
}

// Tells the backend when the main window first shows.
void AnnounceMainIfShown() {
    int width = 0, height = 0;
    std::string title;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        HWND main = MainWindowLocked();
        WindowRecord* record = main ? FindLocked(main) : nullptr;
        if (!record || !record->visible || g_announcedMain == main) return;
        g_announcedMain = main;
        width = record->rect.right - record->rect.left;
        height = record->rect.bottom - record->rect.top;
        title = record->title;
    }
    const HostBackend& backend = HostGetBackend();
    if (backend.mainWindowShown) backend.mainWindowShown(width, height, title.c_str());
}

void SendMoveAndSize(HWND window, bool moved, bool sized) {
    RECT rect;
    POINT origin;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        WindowRecord* record = FindLocked(window);
        if (!record) return;
        rect = record->rect;
        origin = record->parent ? POINT{rect.left, rect.top} : ClientOriginLocked(*record);
    }
    if (sized)
        SendMessageA(window, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(rect.right - rect.left, rect.bottom - rect.top));
    if (moved) SendMessageA(window, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
}

} // namespace

namespace hostwin {

WNDPROC ProcOf(HWND window) {
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    return record ? record->proc : nullptr;
}

bool IsLive(HWND window) {
    if (window == DesktopHandle()) return true;
    std::lock_guard<std::mutex> guard(g_lock);
    return FindLocked(window) != nullptr;
}

HWND KeyTarget() {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_focus && FindLocked(g_focus)) return g_focus;
    return MainWindowLocked();
}

HWND LastActive() {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_lastActive && FindLocked(g_lastActive) ? g_lastActive : nullptr;
}

void Activate(HWND window) {
    HWND old;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        old = g_active;
        if (old == window) return;
        g_active = window;
        g_focus = window;
        if (window) g_lastActive = window;
        if (old && !FindLocked(old)) old = nullptr;
    }
    // The platform's order: the window losing activation hears first; the program hears WM_ACTIVATEAPP
    // before the first WM_ACTIVATE of its activation, and after the last one of its deactivation.
    if (old) {
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(window));
        if (!window) SendMessageA(old, WM_ACTIVATEAPP, FALSE, 0);
    }
    if (window) {
        if (!old) SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
        SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    }
}

} // namespace hostwin

WORD RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName) return 0;
    if (reinterpret_cast<uintptr_t>(windowClass->lpszClassName) < 0x10000 || !*windowClass->lpszClassName)
        return 0;
    std::lock_guard<std::mutex> guard(g_lock);
    if (FindClassLocked(windowClass->lpszClassName)) return 0;
    WindowClass entry;
    entry.name = windowClass->lpszClassName;
    entry.atom = g_nextAtom++;
    entry.info = *windowClass;
    entry.info.lpszClassName = nullptr; // the copy above owns the name
    entry.info.lpszMenuName = nullptr;
    g_classes.push_back(entry);
    return entry.atom;
}

WORD RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass) return 0;
    WNDCLASSEXA extended{};
    extended.cbSize = sizeof extended;
    extended.style = windowClass->style;
    extended.lpfnWndProc = windowClass->lpfnWndProc;
    extended.cbClsExtra = windowClass->cbClsExtra;
    extended.cbWndExtra = windowClass->cbWndExtra;
    extended.hInstance = windowClass->hInstance;
    extended.hIcon = windowClass->hIcon;
    extended.hCursor = windowClass->hCursor;
    extended.hbrBackground = windowClass->hbrBackground;
    extended.lpszMenuName = windowClass->lpszMenuName;
    extended.lpszClassName = windowClass->lpszClassName;
    return RegisterClassExA(&extended);
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    if (!className) return nullptr;
    HostGetBackend(); // starts the machine (and, headless, its virtual clock) before any window exists
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);

    HWND handle;
    WNDPROC proc;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        const WindowClass* windowClass = FindClassLocked(className);
        if (!windowClass) return nullptr;
        if ((style & WS_CHILD) && (!parent || !FindLocked(parent))) return nullptr;
        if (parent && !FindLocked(parent)) parent = nullptr; // an owner that is gone owns nothing
        auto record = std::make_unique<WindowRecord>();
        handle = reinterpret_cast<HWND>(g_nextId++);
        record->handle = handle;
        record->classAtom = windowClass->atom;
        record->proc = proc = windowClass->info.lpfnWndProc;
        record->style = style & ~WS_VISIBLE;
        record->exStyle = exStyle;
        record->parent = (style & WS_CHILD) ? parent : nullptr;
        record->instance = instance;
        record->rect = RECT{x, y, x + width, y + height};
        record->title = title ? title : "";
        record->extra.assign(static_cast<size_t>(std::max(windowClass->info.cbWndExtra, 0)), 0);
        g_windows[IdOf(handle)] = std::move(record);
    }

    CREATESTRUCTA create{param, instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
                         title, className, exStyle};
    if (proc(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        std::lock_guard<std::mutex> guard(g_lock);
        g_windows.erase(IdOf(handle));
        return nullptr;
    }
    SendMoveAndSize(handle, true, true);
    if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
    return IsWindow(handle) ? handle : nullptr;
}

BOOL IsWindow(HWND window) {
    return window && hostwin::IsLive(window);
}

BOOL IsWindowVisible(HWND window) {
    if (window == DesktopHandle()) return TRUE;
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    return record && record->visible ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND window) {
    std::vector<HWND> children;
    bool wasActive;
    HWND successor;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        WindowRecord* record = FindLocked(window);
        if (!record || record->destroying) return FALSE;
        record->destroying = true;
        record->visible = false;
        for (auto& entry : g_windows) {
            if (entry.second->parent == window) children.push_back(entry.second->handle);
        }
        wasActive = g_active && (g_active == window || TopLevelOfLocked(g_active) == window);
        successor = wasActive ? NextActivatableLocked(window) : nullptr;
        if (g_focus == window) g_focus = nullptr;
    }
    if (wasActive) hostwin::Activate(successor);
    // The window still exists while it hears WM_DESTROY (programs shut down there); its children go after.
    SendMessageA(window, WM_DESTROY, 0, 0);
    for (HWND child : children)
        DestroyWindow(child);

    bool wasAnnouncedMain;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_windows.erase(IdOf(window));
        if (g_lastActive == window) g_lastActive = nullptr;
        if (g_active == window) g_active = nullptr;
        if (g_focus == window) g_focus = nullptr;
        wasAnnouncedMain = g_announcedMain == window;
        if (wasAnnouncedMain) g_announcedMain = nullptr;
    }
    hostwin::RemoveQueuedFor(window);
    if (wasAnnouncedMain) {
        const HostBackend& backend = HostGetBackend();
        if (backend.mainWindowGone) backend.mainWindowGone();
        AnnounceMainIfShown();
    }
    return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
    bool wasVisible, topLevel, activate = false;
    HWND successor = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        WindowRecord* record = FindLocked(window);
        if (!record || record->destroying) return FALSE;
        wasVisible = record->visible;
        topLevel = IsTopLevel(*record);
        if (command == SW_HIDE) {
            record->visible = false;
            if (g_active && (g_active == window || TopLevelOfLocked(g_active) == window)) {
                successor = NextActivatableLocked(window);
                activate = true;
            }
        } else {
            record->visible = true;
            activate = topLevel && ShowActivates(command) && g_active != window;
            successor = window;
        }
    }
    if (command != SW_HIDE) AnnounceMainIfShown();
    if (activate) hostwin::Activate(successor);
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    return IsWindow(window);
}

HWND SetFocus(HWND window) {
    HWND previous, top;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        previous = g_focus;
        if (!window) {
            g_focus = nullptr;
            return previous;
        }
        if (!FindLocked(window)) return nullptr;
        top = TopLevelOfLocked(window);
    }
    if (GetActiveWindow() != top) hostwin::Activate(top);
    std::lock_guard<std::mutex> guard(g_lock);
    if (FindLocked(window)) g_focus = window;
    return previous;
}

HWND GetFocus() {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_focus;
}

HWND GetActiveWindow() {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_active;
}

HWND SetActiveWindow(HWND window) {
    HWND previous = GetActiveWindow(), top;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (!FindLocked(window)) return nullptr;
        top = TopLevelOfLocked(window);
    }
    hostwin::Activate(top);
    return previous;
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}

BOOL SetForegroundWindow(HWND window) {
    return SetActiveWindow(window) || GetActiveWindow() == window;
}

HWND GetDesktopWindow() {
    return DesktopHandle();
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    bool moved = false, sized = false;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        WindowRecord* record = FindLocked(window);
        if (!record) return FALSE;
        RECT rect = record->rect;
        if (!(flags & SWP_NOMOVE)) {
            moved = rect.left != x || rect.top != y;
            rect.right += x - rect.left;
            rect.bottom += y - rect.top;
            rect.left = x;
            rect.top = y;
        }
        if (!(flags & SWP_NOSIZE)) {
            width = std::max(width, 0);
            height = std::max(height, 0);
            sized = rect.right - rect.left != width || rect.bottom - rect.top != height;
            rect.right = rect.left + width;
            rect.bottom = rect.top + height;
        }
        record->rect = rect;
        if (!(flags & SWP_NOZORDER)) {
            if (insertAfter == HWND_TOPMOST) record->exStyle |= WS_EX_TOPMOST;
            if (insertAfter == HWND_NOTOPMOST) record->exStyle &= ~WS_EX_TOPMOST;
        }
    }
    SendMoveAndSize(window, moved, sized);
    if (flags & SWP_SHOWWINDOW) ShowWindow(window, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    if (!rect) return FALSE;
    if (window == DesktopHandle()) {
        HostScreenMode screen = HostGetScreenMode();
        *rect = RECT{0, 0, screen.width, screen.height};
        return TRUE;
    }
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    if (!record) return FALSE;
    *rect = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
    return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    if (window == DesktopHandle()) return GetClientRect(window, rect);
    if (!rect) return FALSE;
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    if (!record) return FALSE;
    POINT origin = ClientOriginLocked(*record);
    *rect = RECT{origin.x, origin.y, origin.x + record->rect.right - record->rect.left,
                 origin.y + record->rect.bottom - record->rect.top};
    return TRUE;
}

BOOL ClientToScreen(HWND window, LPPOINT point) {
    if (!point) return FALSE;
    if (window == DesktopHandle()) return TRUE;
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    if (!record) return FALSE;
    POINT origin = ClientOriginLocked(*record);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, LPPOINT point) {
    if (!point) return FALSE;
    if (window == DesktopHandle()) return TRUE;
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    if (!record) return FALSE;
    POINT origin = ClientOriginLocked(*record);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) {
    return AdjustWindowRectEx(rect, style, menu, 0);
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD, BOOL, DWORD) {
    return rect ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    bool announce;
    std::string title = text ? text : "";
    {
        std::lock_guard<std::mutex> guard(g_lock);
        WindowRecord* record = FindLocked(window);
        if (!record) return FALSE;
        record->title = title;
        announce = g_announcedMain == window;
    }
    if (announce) {
        const HostBackend& backend = HostGetBackend();
        if (backend.mainWindowTitle) backend.mainWindowTitle(title.c_str());
    }
    return TRUE;
}

int GetWindowTextA(HWND window, LPSTR text, int size) {
    if (!text || size <= 0) return 0;
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    if (!record) {
        text[0] = 0;
        return 0;
    }
    size_t length = std::min(record->title.size(), static_cast<size_t>(size - 1));
    std::memcpy(text, record->title.data(), length);
    text[length] = 0;
    return static_cast<int>(length);
}

namespace {

// Reads or writes the window's extra bytes at index; false when they do not hold bytes there.
bool ExtraBytes(WindowRecord& record, int index, void* value, size_t bytes, bool write) {
    if (index < 0 || static_cast<size_t>(index) + bytes > record.extra.size()) return false;
    if (write)
        std::memcpy(record.extra.data() + index, value, bytes);
    else
        std::memcpy(value, record.extra.data() + index, bytes);
    return true;
}

// The value of a named window long, or false for an unknown index.
bool NamedLong(const WindowRecord& record, int index, LONG_PTR& value) {
    switch (index) {
    case GWL_STYLE:
        value = static_cast<LONG_PTR>(record.style | (record.visible ? WS_VISIBLE : 0));
        return true;
    case GWL_EXSTYLE: value = static_cast<LONG_PTR>(record.exStyle); return true;
    case GWLP_WNDPROC: value = reinterpret_cast<LONG_PTR>(record.proc); return true;
    case GWLP_USERDATA: value = record.userData; return true;
    case GWLP_HINSTANCE: value = reinterpret_cast<LONG_PTR>(record.instance); return true;
    default: return false;
    }
}

bool SetNamedLong(WindowRecord& record, int index, LONG_PTR value) {
    switch (index) {
    case GWL_STYLE:
        record.style = static_cast<DWORD>(value) & ~WS_VISIBLE;
        record.visible = (static_cast<DWORD>(value) & WS_VISIBLE) != 0;
        return true;
    case GWL_EXSTYLE: record.exStyle = static_cast<DWORD>(value); return true;
    case GWLP_WNDPROC:
        if (!value) return false; // a window always has a procedure
        record.proc = reinterpret_cast<WNDPROC>(value);
        return true;
    case GWLP_USERDATA: record.userData = value; return true;
    default: return false;
    }
}

} // namespace

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    if (!record) return 0;
    LONG_PTR value = 0;
    if (index < 0) return NamedLong(*record, index, value) ? value : 0;
    return ExtraBytes(*record, index, &value, sizeof value, false) ? value : 0;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    if (!record) return 0;
    LONG_PTR old = 0;
    if (index < 0) {
        if (!NamedLong(*record, index, old) || !SetNamedLong(*record, index, value)) return 0;
        return old;
    }
    if (!ExtraBytes(*record, index, &old, sizeof old, false)) return 0;
    ExtraBytes(*record, index, &value, sizeof value, true);
    return old;
}

LONG GetWindowLongA(HWND window, int index) {
    if (index < 0) return static_cast<LONG>(GetWindowLongPtrA(window, index));
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    LONG value = 0;
    return record && ExtraBytes(*record, index, &value, sizeof value, false) ? value : 0;
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    if (index < 0) return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
    std::lock_guard<std::mutex> guard(g_lock);
    WindowRecord* record = FindLocked(window);
    LONG old = 0;
    if (!record || !ExtraBytes(*record, index, &old, sizeof old, false)) return 0;
    ExtraBytes(*record, index, &value, sizeof value, true);
    return old;
}

HWND HostMainWindow() {
    std::lock_guard<std::mutex> guard(g_lock);
    return MainWindowLocked();
}

void HostResetWindowLayer() {
    for (;;) {
        HWND any = nullptr;
        {
            std::lock_guard<std::mutex> guard(g_lock);
            for (auto& entry : g_windows) {
                if (!entry.second->destroying && !entry.second->parent) any = entry.second->handle;
            }
            if (!any) {
                g_windows.clear();
                g_classes.clear();
                g_active = g_focus = g_lastActive = g_announcedMain = nullptr;
                break;
            }
        }
        DestroyWindow(any);
    }
    HostResetMessageQueue();
}
