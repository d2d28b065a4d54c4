// Switches that tests of the display driver, and of the layers above it, use to reach states a
// machine produces only by itself (lost surfaces, a second display card) and to count live objects.
#pragma once

#include "host/ddraw/ddraw.h"

// Every live surface reports DDERR_SURFACELOST (IsLost, Lock, Blt, GetDC, Flip...) until Restore.
void HostDDrawMarkAllSurfacesLost();
// Only surface is lost.
void HostDDrawMarkSurfaceLost(IDirectDrawSurface* surface);
// While failure is a failure code, Restore of a lost surface returns it and the surface stays lost (a
// machine that cannot give the memory back); DD_OK switches this off. Restore of a surface that is not
// lost still succeeds.
void HostDDrawSetRestoreFailure(HRESULT failure);

// A display card beside the primary display, offered by DirectDrawEnumerateA after it.
struct HostSecondaryDisplay {
    const char* description;
    const char* driverName;
    bool has3D; // its driver reports DDCAPS_3D
};
// The host offers at most this many secondary displays; their GUIDs keep their addresses for the
// life of the process.
constexpr int kHostMaxSecondaryDisplays = 12;
// Replaces the secondary displays (count 0: none, as on a machine with one card). The texts are
// copied; count is clamped to 0..kHostMaxSecondaryDisplays.
void HostDDrawSetSecondaryDisplays(const HostSecondaryDisplay* displays, int count);

// How many objects of each kind are alive (a clean shutdown leaves all at 0).
struct HostDDrawObjectCounts {
    int directDraws;
    int surfaces;
    int palettes;
    int clippers;
};
HostDDrawObjectCounts HostDDrawLiveObjects();
