// The Video API's own state: the instance, and where a windowed frame goes (the window's visible part of
// the desktop and the matching part of the back buffer).
#pragma once

#include "host/base/types.h"

extern HINSTANCE g_hInstance;
// Where a windowed frame goes on the desktop (screen coordinates, clipped to the desktop).
extern RECT g_WindowRect;
// The part of the back buffer that is visible (back-buffer coordinates).
extern RECT g_SourceRect;

// Places the client area (g_ClientRect's size) at screen point (x, y): the parts off the desktop are cut
// from both rectangles. A window wholly off the desktop gets an empty or inverted pair.
void SetWindowGeometry(int x, int y);
// SetWindowGeometry at the screen point where window's client area starts.
void PlaceClientOrigin(HWND window);
// True when the window shows some of the back buffer (both rectangles non-empty).
bool WindowIsVisible();

// Other parts of the engine that hold objects made on the display (fonts, bitmaps, input) may register a
// step that gives them up; QuibFreeDirectX runs the steps, in registration order, after the scene is freed
// and before the DirectX objects are released. Registering a step twice keeps one. Returns 0 when the
// list is full.
typedef void (*VideoShutdownStep)();
int AddVideoShutdownStep(VideoShutdownStep step);
// Runs the registered steps, in registration order (QuibFreeDirectX).
void RunVideoShutdownSteps();
// Forgets every registered step (tests).
void ClearVideoShutdownSteps();
