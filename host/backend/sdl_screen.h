// What the sdl backend's modal overlays (the file chooser) need of its window: the picture shown,
// pointer mapping, the ordinary handling of events they do not take, and the releases they keep.
#pragma once

#include <SDL.h>

#include "host/backend/backend.h"
#include "host/backend/modal.h"

// True once the main window is on the screen.
bool HostSdlHasWindow();
// The picture the window shows now (black, at the window's size, before the first frame).
HostShownPicture HostSdlShownPicture();
// A point in SDL's window coordinates as a point of the picture (clamped into it).
void HostSdlWindowToPicture(int x, int y, int* pictureX, int* pictureY);
// Handles one event as the message pump does: window messages for the program.
void HostSdlHandleEvent(const SDL_Event& event);
// The next release of this key (SDL_Scancode) or mouse button (0 left, 1 right, 2 middle) is dropped: its
// press went to a dialog, which has closed.
void HostSdlIgnoreKeyRelease(int sdlScancode);
void HostSdlIgnoreButtonRelease(int button);

// Runs a modal overlay in the window over the program's picture until it closes (sdl_modal.cpp); false
// without a window to draw in.
bool HostSdlRunModal(HostModal& modal);
