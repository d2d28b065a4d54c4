// Windows, window classes and window geometry. Windows live in one process-wide table; the first
// top-level window created is the main window, the one the backend shows and the headless script drives.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

typedef intptr_t LONG_PTR;

// Window styles. Windows here have no frame or caption of their own (the backend's window is the frame),
// so every style's client area is its whole window rectangle.
#define WS_OVERLAPPED  0x00000000u
#define WS_MAXIMIZEBOX 0x00010000u
#define WS_MINIMIZEBOX 0x00020000u
#define WS_THICKFRAME  0x00040000u
#define WS_SYSMENU     0x00080000u
#define WS_CAPTION     0x00C00000u
#define WS_VISIBLE     0x10000000u
#define WS_CHILD       0x40000000u
#define WS_POPUP       0x80000000u
#define WS_OVERLAPPEDWINDOW                                                                                  \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_EX_LEFT    0x00000000u
#define WS_EX_TOPMOST 0x00000008u

// Class styles (kept, without effect here).
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002

// Position or size chosen by the system.
#define CW_USEDEFAULT ((int)0x80000000)

// ShowWindow commands.
#define SW_HIDE            0
#define SW_SHOWNORMAL      1
#define SW_SHOWNOACTIVATE  4
#define SW_SHOW            5
#define SW_MINIMIZE        6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA          8

// SetWindowPos: z-order places and flags.
#define HWND_TOPMOST   ((HWND)(intptr_t)-1)
#define HWND_NOTOPMOST ((HWND)(intptr_t)-2)
#define SWP_NOSIZE     0x0001
#define SWP_NOMOVE     0x0002
#define SWP_NOZORDER   0x0004
#define SWP_NOACTIVATE 0x0010
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080

// Window longs.
#define GWLP_WNDPROC   (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_USERDATA  (-21)
#define GWL_STYLE      (-16)
#define GWL_EXSTYLE    (-20)

// The data WM_CREATE points to (lParam).
struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};
typedef CREATESTRUCTA CREATESTRUCT;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

// Window class as the programs register it. Only lpfnWndProc and lpszClassName are required.
struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};
typedef WNDCLASSA WNDCLASS;

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};
typedef WNDCLASSEXA WNDCLASSEX;

// Registers a window class; returns a non-zero atom, or 0 when the class has no procedure or name, or
// a class of that name (case-insensitive) exists.
HOST_API WORD RegisterClassA(const WNDCLASSA* windowClass);
WORD RegisterClassExA(const WNDCLASSEXA* windowClass);
#define RegisterClass   RegisterClassA
#define RegisterClassEx RegisterClassExA

// Creates a window of a registered class at (x, y) with the given size (CW_USEDEFAULT: (0, 0) and
// 800x600); a WS_CHILD window is placed in its parent's client coordinates. Sends WM_CREATE (lParam:
// CREATESTRUCT), then WM_SIZE and WM_MOVE; WS_VISIBLE then shows it as ShowWindow(SW_SHOW) would.
// NULL when the class is unknown, a child has no live parent, or WM_CREATE answers -1.
HOST_API HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                              int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                              LPVOID param);
#define CreateWindowEx CreateWindowExA
#define CreateWindowA(className, title, style, x, y, w, h, parent, menu, instance, param)                    \
    CreateWindowExA(0, className, title, style, x, y, w, h, parent, menu, instance, param)
#define CreateWindow CreateWindowA

// Destroys a window: sends WM_DESTROY once; later calls on the same handle fail harmlessly (FALSE).
HOST_API BOOL DestroyWindow(HWND window);
// True while window names a live window.
HOST_API BOOL IsWindow(HWND window);
// True while window is shown.
BOOL IsWindowVisible(HWND window);

// Shows or hides a window (SW_*). The first showing activates it (WM_ACTIVATEAPP, WM_ACTIVATE, focus).
// Returns whether it was visible before.
HOST_API BOOL ShowWindow(HWND window, int command);
// TRUE for a live window. Nothing is painted by the window layer (the display driver presents frames), so
// no WM_PAINT is ever sent.
HOST_API BOOL UpdateWindow(HWND window);
// Gives the keyboard focus (and activation) to window; returns the previous focus window.
HOST_API HWND SetFocus(HWND window);
HWND GetFocus();
HWND GetActiveWindow();
HWND SetActiveWindow(HWND window);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND window);
// The window standing for the whole desktop; its client rectangle is the desktop.
HWND GetDesktopWindow();

// Moves and sizes a window (outer rectangle, screen coordinates). SWP_NOMOVE/SWP_NOSIZE keep either;
// SWP_SHOWWINDOW shows it. Sends WM_MOVE and WM_SIZE when they change.
HOST_API BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);

// The client area's rectangle in client coordinates: (0, 0, width, height).
HOST_API BOOL GetClientRect(HWND window, LPRECT rect);
// The outer rectangle in screen coordinates.
BOOL GetWindowRect(HWND window, LPRECT rect);
// Converts a point between client and screen coordinates.
HOST_API BOOL ClientToScreen(HWND window, LPPOINT point);
BOOL ScreenToClient(HWND window, LPPOINT point);
// Grows a client rectangle into the outer rectangle a window of that style would have.
BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);

HOST_API BOOL SetWindowTextA(HWND window, LPCSTR text);
#define SetWindowText SetWindowTextA
// Copies at most size - 1 characters of the title, terminated; returns the length copied.
int GetWindowTextA(HWND window, LPSTR text, int size);
#define GetWindowText GetWindowTextA

// Window longs: GWL_STYLE, GWL_EXSTYLE, GWLP_WNDPROC, GWLP_USERDATA. Set returns the old value.
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
LONG GetWindowLongA(HWND window, int index);
HOST_API LONG SetWindowLongA(HWND window, int index, LONG value);
#define GetWindowLong    GetWindowLongA
#define SetWindowLong    SetWindowLongA
#define GetWindowLongPtr GetWindowLongPtrA
#define SetWindowLongPtr SetWindowLongPtrA

// The main window: the first top-level window created and not yet destroyed (NULL when none).
HWND HostMainWindow();
// Destroys every window (each hears WM_DESTROY), forgets every class and empties the queue (tests).
void HostResetWindowLayer();
