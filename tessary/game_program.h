// The game program: its entry, its one window and main loop, the window procedure and the message pump
// of the framework's program contract, and the program-wide state the game's pages read.
#pragma once

#include <string>

#include "host/base/types.h"
#include "host/ddraw/ddraw.h"

// The game's one-word name: the window title, the first half of the player title, and the parameter
// with which the menu is started again.
constexpr const char* kGameTitle = "Tessary";

// Program-wide state (one instance each).
extern HINSTANCE hInstance;
extern HWND hwnd;      // the main window
extern int fullscreen; // from .\setup.ini
extern IDirectDraw* directDraw;
extern IDirectDrawSurface* primary;
extern IDirectDrawSurface* backBuffer;
extern int active; // 1 while the window is active
// The menu's folder: the command line, empty when the game was started by hand. Held whole (no fixed
// size), so a long folder is never cut into a wrong path.
extern std::string menuFolder;
// Subtracted from mouse-move coordinates; 0 unless the window is maximised.
extern int cursorOffsetX;
extern int cursorOffsetY;

// The program: checks the display, creates the window, starts the engine, the sound, the page manager,
// the clock and the cursor, starts level 1 and the music, and runs the main loop. Returns 0 after a
// normal end or a refused start (wrong desktop depth), 1 when the window or the engine cannot be set up.
int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// Registers the window class "DirectX Class" with GameWndProc. 1 on success.
int RegisterWindowClass(HINSTANCE instance);
// Creates and shows the main window: the whole screen when fullscreen, else 800x600 centred. 1 on
// success, 0 when no window was created.
int CreateMainWindow(HINSTANCE instance);
// The window procedure: the page manager first, then the game's own messages (activation, Esc, the
// music loop, the level editor's commands and keys, moving and maximising, shutdown).
LRESULT GameWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Window title "Tessary - <player>" (at most 320 characters).
void SetTitleWithPlayer(const char* playerName);

// The level editor's file dialog: filter "*.lev", initial folder ".\", default extension "lev", the
// given title ("Save Level" or "Load Level"); buffer holds 256 characters and receives the chosen path.
// Non-zero when a file was chosen. The current folder is the same afterwards.
int ChooseLevelFile(char* buffer, const char* title);
