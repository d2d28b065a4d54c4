// Virtual-key codes and the key state the programs poll. GetKeyState follows the key messages as they
// are taken from the queue; GetAsyncKeyState follows the keys as the machine reports them.
#pragma once

#include "host/base/export.h"
#include "host/backend/virtual_keys.h" // the VK_ codes
#include "host/base/types.h"

// The key's state as of the key messages taken from the queue so far: the top bit (negative result)
// while it is down; bit 0 toggles with each press (Caps Lock on). VK_SHIFT, VK_CONTROL and VK_MENU are
// down while either side is.
SHORT GetKeyState(int virtualKey);
// The key's state as the machine reports it now: 0x8000 while down, and bit 0 when it was pressed since the
// previous call for that key (so a press and release between two polls is still seen once).
HOST_API SHORT GetAsyncKeyState(int virtualKey);

// Releases every key and button in both tables (tests).
void HostResetKeyState();
