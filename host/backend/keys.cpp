#include "host/backend/keys.h"

#include <cstring>
#include <strings.h>

#include "host/backend/virtual_keys.h"

namespace {

// Names follow the usual X keysym spelling, so scripts read like key presses.
const HostKeyInfo kKeys[] = {
    {"A", 'A', 0x1E, false, 'a', 'A'},
    {"B", 'B', 0x30, false, 'b', 'B'},
    {"C", 'C', 0x2E, false, 'c', 'C'},
    {"D", 'D', 0x20, false, 'd', 'D'},
    {"E", 'E', 0x12, false, 'e', 'E'},
    {"F", 'F', 0x21, false, 'f', 'F'},
    {"G", 'G', 0x22, false, 'g', 'G'},
    {"H", 'H', 0x23, false, 'h', 'H'},
    {"I", 'I', 0x17, false, 'i', 'I'},
    {"J", 'J', 0x24, false, 'j', 'J'},
    {"K", 'K', 0x25, false, 'k', 'K'},
    {"L", 'L', 0x26, false, 'l', 'L'},
    {"M", 'M', 0x32, false, 'm', 'M'},
    {"N", 'N', 0x31, false, 'n', 'N'},
    {"O", 'O', 0x18, false, 'o', 'O'},
    {"P", 'P', 0x19, false, 'p', 'P'},
    {"Q", 'Q', 0x10, false, 'q', 'Q'},
    {"R", 'R', 0x13, false, 'r', 'R'},
    {"S", 'S', 0x1F, false, 's', 'S'},
    {"T", 'T', 0x14, false, 't', 'T'},
    {"U", 'U', 0x16, false, 'u', 'U'},
    {"V", 'V', 0x2F, false, 'v', 'V'},
    {"W", 'W', 0x11, false, 'w', 'W'},
    {"X", 'X', 0x2D, false, 'x', 'X'},
    {"Y", 'Y', 0x15, false, 'y', 'Y'},
    {"Z", 'Z', 0x2C, false, 'z', 'Z'},
    {"1", '1', 0x02, false, '1', '!'},
    {"2", '2', 0x03, false, '2', '@'},
    {"3", '3', 0x04, false, '3', '#'},
    {"4", '4', 0x05, false, '4', '$'},
    {"5", '5', 0x06, false, '5', '%'},
    {"6", '6', 0x07, false, '6', '^'},
    {"7", '7', 0x08, false, '7', '&'},
    {"8", '8', 0x09, false, '8', '*'},
    {"9", '9', 0x0A, false, '9', '('},
    {"0", '0', 0x0B, false, '0', ')'},
    {"Escape", VK_ESCAPE, 0x01, false, 0, 0},
    {"Minus", VK_OEM_MINUS, 0x0C, false, '-', '_'},
    {"Equal", VK_OEM_PLUS, 0x0D, false, '=', '+'},
    {"BackSpace", VK_BACK, 0x0E, false, 0, 0},
    {"Tab", VK_TAB, 0x0F, false, 0, 0},
    {"BracketLeft", VK_OEM_4, 0x1A, false, '[', '{'},
    {"BracketRight", VK_OEM_6, 0x1B, false, ']', '}'},
    {"Return", VK_RETURN, 0x1C, false, 0, 0},
    {"Control", VK_CONTROL, 0x1D, false, 0, 0},
    {"Semicolon", VK_OEM_1, 0x27, false, ';', ':'},
    {"Apostrophe", VK_OEM_7, 0x28, false, '\'', '"'},
    {"Grave", VK_OEM_3, 0x29, false, '`', '~'},
    {"Shift", VK_SHIFT, 0x2A, false, 0, 0},
    {"BackSlash", VK_OEM_5, 0x2B, false, '\\', '|'},
    {"Comma", VK_OEM_COMMA, 0x33, false, ',', '<'},
    {"Period", VK_OEM_PERIOD, 0x34, false, '.', '>'},
    {"Slash", VK_OEM_2, 0x35, false, '/', '?'},
    {"RShift", VK_SHIFT, 0x36, false, 0, 0},
    {"KP_Multiply", VK_MULTIPLY, 0x37, false, '*', '*'},
    {"Alt", VK_MENU, 0x38, false, 0, 0},
    {"Space", VK_SPACE, 0x39, false, ' ', ' '},
    {"Caps_Lock", VK_CAPITAL, 0x3A, false, 0, 0},
    {"F1", VK_F1, 0x3B, false, 0, 0},
    {"F2", VK_F2, 0x3C, false, 0, 0},
    {"F3", VK_F3, 0x3D, false, 0, 0},
    {"F4", VK_F4, 0x3E, false, 0, 0},
    {"F5", VK_F5, 0x3F, false, 0, 0},
    {"F6", VK_F6, 0x40, false, 0, 0},
    {"F7", VK_F7, 0x41, false, 0, 0},
    {"F8", VK_F8, 0x42, false, 0, 0},
    {"F9", VK_F9, 0x43, false, 0, 0},
    {"F10", VK_F10, 0x44, false, 0, 0},
    {"Num_Lock", VK_NUMLOCK, 0x45, false, 0, 0},
    {"Scroll_Lock", VK_SCROLL, 0x46, false, 0, 0},
    {"KP_7", VK_NUMPAD0 + 7, 0x47, false, '7', '7'},
    {"KP_8", VK_NUMPAD0 + 8, 0x48, false, '8', '8'},
    {"KP_9", VK_NUMPAD0 + 9, 0x49, false, '9', '9'},
    {"KP_Subtract", VK_SUBTRACT, 0x4A, false, '-', '-'},
    {"KP_4", VK_NUMPAD0 + 4, 0x4B, false, '4', '4'},
    {"KP_5", VK_NUMPAD0 + 5, 0x4C, false, '5', '5'},
    {"KP_6", VK_NUMPAD0 + 6, 0x4D, false, '6', '6'},
    {"KP_Add", VK_ADD, 0x4E, false, '+', '+'},
    {"KP_1", VK_NUMPAD0 + 1, 0x4F, false, '1', '1'},
    {"KP_2", VK_NUMPAD0 + 2, 0x50, false, '2', '2'},
    {"KP_3", VK_NUMPAD0 + 3, 0x51, false, '3', '3'},
    {"KP_0", VK_NUMPAD0, 0x52, false, '0', '0'},
    {"KP_Decimal", VK_DECIMAL, 0x53, false, '.', '.'},
    {"Less", VK_OEM_102, 0x56, false, '\\', '|'},
    {"F11", VK_F11, 0x57, false, 0, 0},
    {"F12", VK_F12, 0x58, false, 0, 0},
    {"KP_Enter", VK_RETURN, 0x1C, true, 0, 0},
    {"RControl", VK_CONTROL, 0x1D, true, 0, 0},
    {"KP_Divide", VK_DIVIDE, 0x35, true, '/', '/'},
    {"Print", VK_SNAPSHOT, 0x37, true, 0, 0},
    {"RAlt", VK_MENU, 0x38, true, 0, 0},
    {"Pause", VK_PAUSE, 0x45, true, 0, 0},
    {"Home", VK_HOME, 0x47, true, 0, 0},
    {"Up", VK_UP, 0x48, true, 0, 0},
    {"Prior", VK_PRIOR, 0x49, true, 0, 0},
    {"Left", VK_LEFT, 0x4B, true, 0, 0},
    {"Right", VK_RIGHT, 0x4D, true, 0, 0},
    {"End", VK_END, 0x4F, true, 0, 0},
    {"Down", VK_DOWN, 0x50, true, 0, 0},
    {"Next", VK_NEXT, 0x51, true, 0, 0},
    {"Insert", VK_INSERT, 0x52, true, 0, 0},
    {"Delete", VK_DELETE, 0x53, true, 0, 0},
    {"Super_L", VK_LWIN, 0x5B, true, 0, 0},
    {"Super_R", VK_RWIN, 0x5C, true, 0, 0},
    {"Menu", VK_APPS, 0x5D, true, 0, 0},
};

struct Alias {
    const char* alias;
    const char* name;
};
const Alias kAliases[] = {
    {"Enter", "Return"},       {"Esc", "Escape"},       {"Backspace", "BackSpace"},
    {"Ctrl", "Control"},       {"LControl", "Control"}, {"RCtrl", "RControl"},
    {"LShift", "Shift"},       {"LAlt", "Alt"},         {"PageUp", "Prior"},
    {"PageDown", "Next"},      {"Del", "Delete"},       {"Ins", "Insert"},
    {"Equals", "Equal"},       {"Quote", "Apostrophe"}, {"Backquote", "Grave"},
    {"CapsLock", "Caps_Lock"}, {"NumLock", "Num_Lock"}, {"ScrollLock", "Scroll_Lock"},
};

const int kKeyCount = static_cast<int>(sizeof kKeys / sizeof kKeys[0]);

} // namespace

const HostKeyInfo* HostFindKeyByName(const char* name) {
    if (!name) return nullptr;
    for (const Alias& alias : kAliases) {
        if (strcasecmp(alias.alias, name) == 0) name = alias.name;
    }
    for (const HostKeyInfo& key : kKeys) {
        if (strcasecmp(key.name, name) == 0) return &key;
    }
    return nullptr;
}

const HostKeyInfo* HostFindKeyByVirtualKey(int virtualKey) {
    for (const HostKeyInfo& key : kKeys) {
        if (key.virtualKey == virtualKey) return &key;
    }
    return nullptr;
}

const HostKeyInfo* HostFindKeyForCharacter(char c, bool* shift) {
    if (!c) return nullptr;
    // The main block first: "1" is the digit row's key, not the keypad's.
    for (const HostKeyInfo& key : kKeys) {
        if (key.plain == c || key.shifted == c) {
            if (shift) *shift = key.plain != c;
            return &key;
        }
    }
    return nullptr;
}

const HostKeyInfo* HostKeyTable(int* count) {
    if (count) *count = kKeyCount;
    return kKeys;
}
