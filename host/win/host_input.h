// How a backend hands what the machine reports to the window layer: each call becomes the window messages
// the platform would post (to the focus window for keys, to the main window for the mouse), updates the
// machine-side key state (GetAsyncKeyState) and tells the input observer about mouse motion and buttons.
// Called on the thread that pumps messages.
#pragma once

#include "host/base/types.h"

// A key went down (repeat: held down, an auto-repeat) or up. virtualKey is the generic code (VK_SHIFT,
// not VK_LSHIFT); scanCode the PC set-1 code, extended for E0-prefixed keys. Posts WM_KEYDOWN/WM_KEYUP, or
// WM_SYSKEYDOWN/WM_SYSKEYUP while Alt is held (and for F10 and Alt itself).
void HostInputKey(int virtualKey, int scanCode, bool extended, bool down, bool repeat);
// A character of text input (backends with their own text input): posts WM_CHAR.
void HostInputChar(unsigned character);
// The pointer is at (x, y) in the main window's client coordinates: posts WM_MOUSEMOVE when it moved and
// reports the motion to the observer.
void HostInputMouseMove(int x, int y);
// Mouse button 0 (left), 1 (right) or 2 (middle) went down or up at the last position: posts
// WM_xBUTTONDOWN/UP and reports it to the observer.
void HostInputMouseButton(int button, bool down);
// The machine gave (true) or took (false) the keyboard focus of the program: activates the window that
// was active before (or the main window), or deactivates the active one (WM_ACTIVATE, WM_ACTIVATEAPP).
void HostInputFocus(bool focused);
// The user asked to close the program's window: posts WM_CLOSE to the main window.
void HostInputClose();

// The last pointer position reported, in the main window's client coordinates.
POINT HostInputMousePosition();
// Puts the pointer back at (0, 0) without messages (tests).
void HostInputReset();
