// The menu program: its entry, its one window and main loop, the window procedure and the message pump
// of the framework's program contract, and the program-wide state the menu's pages read.
#pragma once

#include "host/base/types.h"
#include "host/ddraw/ddraw.h"

// Program-wide state (one instance each).
extern HINSTANCE hInstance;
extern HWND hwnd;      // the main window
extern int fullscreen; // from .\setup.ini
extern int windowed;   // its opposite, kept for the engine start
extern IDirectDraw* directDraw;
extern IDirectDrawSurface* primary;
extern IDirectDrawSurface* backBuffer;
extern int active;  // 1 while the window is active
extern int showFps; // toggled by F1
// Subtracted from mouse-move coordinates; 0 unless the window is maximised.
extern int cursorOffsetX;
extern int cursorOffsetY;

// The program: checks the display, reads .\setup.ini, creates the window, starts the engine, the mouse,
// the clock, the sound manager, the cursor, the fonts and the two pages, opens the title page of the
// game named by commandLine, and runs the main loop. 0 after a normal end or a refused start, 1 when the
// window or the engine cannot be set up.
int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// Registers the window class "DirectX Class" with MenuWndProc. 1 on success.
int RegisterWindowClass(HINSTANCE instance);
// Creates and shows the main window "Plovix Lobbit": the whole screen when fullscreen, else 800x600
// centred. 1 on success, 0 when no window was created.
int CreateMainWindow(HINSTANCE instance);
// The window procedure: the page manager first (its answer is not used), then activation, Esc and F1,
// the mouse position, moving and maximising, and the shutdown when the window goes.
LRESULT MenuWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
