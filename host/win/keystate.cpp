// Two key tables: the message-side one (GetKeyState), changed as key and button messages are taken from
// the queue, and the machine-side one (GetAsyncKeyState), changed as the backend reports input. Bytes are
// atomic so other threads may poll keys while the message thread updates them.
#include "host/win/keystate.h"

#include <atomic>

#include "host/backend/keys.h"
#include "host/win/input_events.h"
#include "host/win/messages.h"
#include "host/win/window_internal.h"

namespace {

const BYTE kDown = 0x80;
const BYTE kToggled = 0x01;
const BYTE kPressedSincePoll = 0x02; // async table only

std::atomic<BYTE> g_messageKeys[256];
std::atomic<BYTE> g_asyncKeys[256];
std::atomic<const HostInputObserver*> g_observer{nullptr};

bool ValidKey(int virtualKey) {
    return virtualKey > 0 && virtualKey < 256;
}

// The pair a generic key (VK_SHIFT...) is one side of: which side the scan code names.
int SidedKey(int virtualKey, int scanCode, bool extended) {
    switch (virtualKey) {
    case VK_SHIFT: return scanCode == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
    default: return 0;
    }
}

// Sets a key of a table; a generic key is down while either of its sides is.
void SetKey(std::atomic<BYTE>* table, int virtualKey, int sided, bool down) {
    auto set = [table, down](int key) {
        BYTE old = table[key].load();
        BYTE value = down ? static_cast<BYTE>(old | kDown) : static_cast<BYTE>(old & ~kDown);
        if (down && !(old & kDown)) value ^= kToggled;
        table[key].store(value);
    };
    if (sided) {
        set(sided);
        int left = virtualKey == VK_SHIFT ? VK_LSHIFT : virtualKey == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
        bool either = (table[left].load() & kDown) || (table[left + 1].load() & kDown);
        BYTE old = table[virtualKey].load();
        BYTE value = either ? static_cast<BYTE>(old | kDown) : static_cast<BYTE>(old & ~kDown);
        if (either && !(old & kDown)) value ^= kToggled;
        table[virtualKey].store(value);
    } else {
        set(virtualKey);
    }
}

int ButtonKey(int button) {
    return button == 0 ? VK_LBUTTON : button == 1 ? VK_RBUTTON : VK_MBUTTON;
}

void TakeKeyMessage(const MSG& msg, bool down) {
    int virtualKey = static_cast<int>(msg.wParam);
    if (!ValidKey(virtualKey)) return;
    int scanCode = HOST_KEY_SCANCODE(msg.lParam);
    bool extended = (static_cast<DWORD>(msg.lParam) & HOST_KEY_EXTENDED) != 0;
    SetKey(g_messageKeys, virtualKey, SidedKey(virtualKey, scanCode, extended), down);
    const HostInputObserver* observer = g_observer.load();
    if (observer && observer->onKey && scanCode) observer->onKey(scanCode, extended, down);
}

} // namespace

namespace hostwin {

void OnMessageTaken(const MSG& msg) {
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: TakeKeyMessage(msg, true); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: TakeKeyMessage(msg, false); break;
    case WM_LBUTTONDOWN: SetKey(g_messageKeys, VK_LBUTTON, 0, true); break;
    case WM_LBUTTONUP: SetKey(g_messageKeys, VK_LBUTTON, 0, false); break;
    case WM_RBUTTONDOWN: SetKey(g_messageKeys, VK_RBUTTON, 0, true); break;
    case WM_RBUTTONUP: SetKey(g_messageKeys, VK_RBUTTON, 0, false); break;
    case WM_MBUTTONDOWN: SetKey(g_messageKeys, VK_MBUTTON, 0, true); break;
    case WM_MBUTTONUP: SetKey(g_messageKeys, VK_MBUTTON, 0, false); break;
    default: break;
    }
}

void SetAsyncKey(int virtualKey, int scanCode, bool extended, bool down) {
    if (!ValidKey(virtualKey)) return;
    SetKey(g_asyncKeys, virtualKey, SidedKey(virtualKey, scanCode, extended), down);
    if (down) g_asyncKeys[virtualKey].fetch_or(kPressedSincePoll);
}

bool AsyncKeyDown(int virtualKey) {
    return ValidKey(virtualKey) && (g_asyncKeys[virtualKey].load() & kDown);
}

int CharacterForKey(int virtualKey, bool shift) {
    const HostKeyInfo* key = HostFindKeyByVirtualKey(virtualKey);
    if (!key) return 0;
    return static_cast<unsigned char>(shift ? key->shifted : key->plain);
}

void ReportMouseMotion(int dx, int dy) {
    const HostInputObserver* observer = g_observer.load();
    if (observer && observer->onMouseMotion && (dx || dy)) observer->onMouseMotion(dx, dy);
}

void ReportMouseButton(int button, bool down) {
    const HostInputObserver* observer = g_observer.load();
    if (observer && observer->onMouseButton) observer->onMouseButton(button, down);
    SetAsyncKey(ButtonKey(button), 0, false, down);
}

} // namespace hostwin

SHORT GetKeyState(int virtualKey) {
    if (!ValidKey(virtualKey)) return 0;
    BYTE value = g_messageKeys[virtualKey].load();
    return static_cast<SHORT>(((value & kDown) ? 0x8000 : 0) | (value & kToggled));
}

SHORT GetAsyncKeyState(int virtualKey) {
    if (!ValidKey(virtualKey)) return 0;
    BYTE value = g_asyncKeys[virtualKey].fetch_and(static_cast<BYTE>(~kPressedSincePoll));
    return static_cast<SHORT>(((value & kDown) ? 0x8000 : 0) | ((value & kPressedSincePoll) ? 1 : 0));
}

void HostSetInputObserver(const HostInputObserver* observer) {
    g_observer.store(observer);
}

void HostResetKeyState() {
    for (int i = 0; i < 256; ++i) {
        g_messageKeys[i].store(0);
        g_asyncKeys[i].store(0);
    }
}
