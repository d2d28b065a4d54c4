// The message queue and window procedures. There is one queue for the process: every window's posted
// messages, input from the backend and the quit request wait in it, in the order they were posted.
// When the queue is empty, PeekMessage and GetMessage let the backend turn what the machine reports
// (SDL events or the headless script) into new messages.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"
#include "host/win/window.h"

// Window messages.
#define WM_CREATE      0x0001
#define WM_DESTROY     0x0002
#define WM_MOVE        0x0003
#define WM_SIZE        0x0005
#define WM_ACTIVATE    0x0006
#define WM_CLOSE       0x0010
#define WM_QUIT        0x0012
#define WM_ACTIVATEAPP 0x001C
#define WM_NOTIFY      0x004E
#define WM_KEYDOWN     0x0100
#define WM_KEYUP       0x0101
#define WM_CHAR        0x0102
#define WM_SYSKEYDOWN  0x0104
#define WM_SYSKEYUP    0x0105
#define WM_INITDIALOG  0x0110
#define WM_COMMAND     0x0111
#define WM_SYSCOMMAND  0x0112
#define WM_MOUSEMOVE   0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP   0x0202
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP   0x0205
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP   0x0208
#define WM_USER        0x0400

// WM_ACTIVATE: low word of wParam.
#define WA_INACTIVE    0
#define WA_ACTIVE      1
#define WA_CLICKACTIVE 2

// WM_SIZE: wParam.
#define SIZE_RESTORED  0
#define SIZE_MAXIMIZED 2

// WM_SYSCOMMAND: wParam (the low four bits are the platform's own).
#define SC_CLOSE   0xF060
#define SC_KEYMENU 0xF100

// Mouse messages: wParam flags of the buttons and keys held.
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT   0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010

// PeekMessage flags.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE   0x0001

// Key messages: bits of lParam. Bits 0-15 hold the repeat count and bits 16-23 the PC set-1 scan code.
#define HOST_KEY_EXTENDED         (1u << 24) // an E0-prefixed key (arrows, right Control, keypad Enter...)
#define HOST_KEY_ALT_DOWN         (1u << 29) // Alt was held (WM_SYSKEY* messages)
#define HOST_KEY_WAS_DOWN         (1u << 30) // the key was down before this message (repeats and releases)
#define HOST_KEY_RELEASING        (1u << 31) // a release
#define HOST_KEY_SCANCODE(lParam) ((int)(((DWORD_PTR)(lParam) >> 16) & 0xff))

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time; // timeGetTime when posted
    POINT pt;   // cursor position (screen) when posted
};
typedef MSG* LPMSG;

// Calls window's procedure at once and returns its result; 0 for a window that does not exist.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#define SendMessage SendMessageA

// Appends a message to the queue. window NULL posts a message that belongs to no window (DispatchMessage
// ignores it). FALSE when window names no live window. Safe from any thread.
HOST_API BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#define PostMessage PostMessageA

// Asks the message loop to end: once the queue holds nothing else, PeekMessage/GetMessage return WM_QUIT
// with wParam = exitCode (once). Safe from any thread.
HOST_API void PostQuitMessage(int exitCode);

// Looks for the oldest message for window (NULL: any, including WM_QUIT) with a number in [first, last]
// (both 0: any). With PM_REMOVE it leaves the queue; taking a key message updates the key state and tells
// the input observer. When nothing matches, the backend is pumped once and the queue looked at again.
// FALSE when no message is waiting; never blocks.
HOST_API BOOL PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT flags);
#define PeekMessage PeekMessageA

// As PeekMessage with PM_REMOVE, but waits until a message arrives. Returns 0 for WM_QUIT, -1 when msg is
// NULL, else non-zero.
BOOL GetMessageA(LPMSG msg, HWND window, UINT first, UINT last);
#define GetMessage GetMessageA

// For a WM_KEYDOWN that makes a character, puts WM_CHAR for it at the front of the queue. Printable
// characters come from the key and Shift (US layout) when the backend has no text input of its own;
// Return, BackSpace, Tab and Escape always make 13, 8, 9 and 27. TRUE when a WM_CHAR was posted.
HOST_API BOOL TranslateMessage(const MSG* msg);

// Delivers msg to its window's procedure and returns the result; 0 for no window.
HOST_API LRESULT DispatchMessageA(const MSG* msg);
#define DispatchMessage DispatchMessageA

// The default behaviour: WM_CLOSE destroys the window; Alt+F4 becomes WM_SYSCOMMAND SC_CLOSE and that
// becomes WM_CLOSE; releasing Alt or F10 sends WM_SYSCOMMAND SC_KEYMENU (which does nothing here).
// Everything else returns 0.
HOST_API LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#define DefWindowProc DefWindowProcA

// Empties the queue and forgets a pending quit (tests).
void HostResetMessageQueue();
