// What the window layer's own files share: window lookup, activation and the queue's housekeeping.
// Not for use outside host/win and host/backend.
#pragma once

#include "host/base/types.h"
#include "host/win/messages.h"

namespace hostwin {

// The procedure of a live window, or nullptr.
WNDPROC ProcOf(HWND window);
// True for a live window (the desktop window included).
bool IsLive(HWND window);
// The window that holds the keyboard focus, else the main window (where key messages go).
HWND KeyTarget();
// Activates window (a top-level window) or, with nullptr, deactivates the program.
void Activate(HWND window);
// The window that was active before the program lost the focus.
HWND LastActive();

// Drops every queued message for window (it is being destroyed).
void RemoveQueuedFor(HWND window);
// Called for each message taken out of the queue: key and button state, the input observer.
void OnMessageTaken(const MSG& msg);
// Called when a backend posts a key or button: the machine-side (async) state.
void SetAsyncKey(int virtualKey, int scanCode, bool extended, bool down);
bool AsyncKeyDown(int virtualKey);
// The pointer position in screen coordinates (GetCursorPos, MSG.pt), and moving it (SetCursorPos).
POINT CursorScreenPos();
void SetCursorScreenPos(POINT point);

// Tell the input observer about mouse motion (client pixels) and buttons (0 left, 1 right, 2 middle).
void ReportMouseMotion(int dx, int dy);
void ReportMouseButton(int button, bool down);

// The character a key makes with Shift held or not (US layout), 0 for none.
int CharacterForKey(int virtualKey, bool shift);

} // namespace hostwin
