// SDL's keys (USB usage scan codes) as the PC keyboard the programs expect: virtual-key code and set-1
// scan code.
#pragma once

struct HostPcKey {
    int virtualKey; // generic code (VK_SHIFT for both Shift keys)
    int scanCode;   // set-1 make code without the E0 prefix
    bool extended;  // E0-prefixed
};

// The PC key for an SDL_Scancode value; false for keys a PC keyboard does not have.
bool HostPcKeyForSdlScancode(int sdlScancode, HostPcKey& key);
