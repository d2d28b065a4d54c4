// The one window of a program built on the framework, made and kept the same way by every program: the
// window class, the window itself (the whole screen, or an 800x600 window centred on the screen), and
// the engine's picture following the window when it moves or is maximised.
#pragma once

#include "host/base/types.h"
#include "host/win/window.h"

// The class name every program registers its main window under.
constexpr const char* kProgramWindowClass = "DirectX Class";

// Registers kProgramWindowClass with windowProc: CS_HREDRAW | CS_VREDRAW, the icon looked up under an
// empty name, the arrow cursor, no background brush (every pixel is the engine's). 1 on success.
int RegisterProgramWindowClass(HINSTANCE instance, WNDPROC windowProc);

// Creates the main window titled title: with fullscreen at (0, 0) with the screen's size and only
// WS_VISIBLE, else 800x600 centred on the screen with a system menu and minimise and maximise boxes
// (and, with topmostOnExactScreen, made topmost when the screen is exactly 800x600). On success the
// program's handle *mainWindow and g_mainWindow are set before the window is shown (showing it sends
// messages the window procedure answers with them) and 1 is returned; 0 when no window was created.
int CreateProgramWindow(HINSTANCE instance, const char* title, bool fullscreen, bool topmostOnExactScreen,
                        HWND* mainWindow);

// WM_MOVE: hands the client area's screen origin to the engine (QuibSetWindowXY). Ignored until the
// main window exists: the messages of its creation come before the engine is started.
void OnProgramWindowMove(HWND window);

// WM_SIZE: maximised (client size in lParam), the 800x600 picture is centred in the client area and
// the cursor offsets that mouse positions are corrected by follow it; restored, both offsets are 0; any
// other kind leaves them.
void OnProgramWindowSize(WPARAM kind, LPARAM lParam, int* cursorOffsetX, int* cursorOffsetY);
