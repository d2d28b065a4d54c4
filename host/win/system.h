// System metrics and the platform's mouse cursor.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

// GetSystemMetrics indexes.
#define SM_CXSCREEN    0
#define SM_CYSCREEN    1
#define SM_CYFRAME     33
#define SM_CYSMCAPTION 51

// The screen's size (the desktop, or the display mode a full-screen program set). Frame and caption sizes
// are 0: windows here have no frame of their own. Unknown indexes give 0.
HOST_API int GetSystemMetrics(int index);

// Resource names made from numbers, as the stock cursors are named.
#define MAKEINTRESOURCEA(id) ((LPSTR)(uintptr_t)(WORD)(id))
#define MAKEINTRESOURCE      MAKEINTRESOURCEA
#define IDC_ARROW            MAKEINTRESOURCE(32512)

// A stock cursor (instance NULL and IDC_ARROW: the arrow); NULL for anything else (the programs carry no
// cursor resources).
HOST_API HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
#define LoadCursor LoadCursorA
// The programs carry no icon resources: always NULL (a class without an icon).
HOST_API HICON LoadIconA(HINSTANCE instance, LPCSTR name);
#define LoadIcon LoadIconA
// Makes cursor the current cursor; returns the previous one. NULL hides the cursor over the window.
HCURSOR SetCursor(HCURSOR cursor);
// Adds 1 (show) or -1 (hide) to the display count and returns the new count; the cursor shows over the
// window while the count is 0 or more.
int ShowCursor(BOOL show);

// The cursor position in screen coordinates: the last position the backend reported, over the main window's
// client area (its top-left before any report).
HOST_API BOOL GetCursorPos(LPPOINT point);
// Moves the cursor (screen coordinates); the backend moves the real pointer where it can. No message.
BOOL SetCursorPos(int x, int y);
