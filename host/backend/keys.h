// The keyboard the backends emulate: a US PC keyboard. Each key has a name (used by the headless script),
// a virtual-key code, its PC set-1 scan code (extended for E0-prefixed keys) and the characters it types.
#pragma once

struct HostKeyInfo {
    const char* name; // as the headless script writes it, matched without regard to case
    int virtualKey;   // generic code in messages (VK_SHIFT for both Shift keys)
    int scanCode;     // set-1 make code without the E0 prefix
    bool extended;    // E0-prefixed
    char plain;       // character without Shift, 0 for none
    char shifted;     // character with Shift, 0 for none
};

// The key called name (case-insensitive; a few aliases such as "Enter" and "Esc"), or nullptr.
const HostKeyInfo* HostFindKeyByName(const char* name);
// The main-block key with this virtual-key code (the left one of a pair), or nullptr.
const HostKeyInfo* HostFindKeyByVirtualKey(int virtualKey);
// The key that types character c, and whether Shift is needed for it; nullptr when no key types it.
const HostKeyInfo* HostFindKeyForCharacter(char c, bool* shift);
// Every key, for documentation and tests; count receives the number of entries.
const HostKeyInfo* HostKeyTable(int* count);
