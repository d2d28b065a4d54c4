// The meeting point of surfaces and device contexts: a DC can draw into any block of pixels in memory.
#pragma once

#include "host/base/types.h"

// A locked block of pixels that a device context draws into.
struct HostPixelTarget {
    void* pixels;
    int width;
    int height;
    int pitchBytes;
    int bitsPerPixel;            // 8 (palettised) or 16
    bool is555;                  // for 16 bits: 5-5-5 when true, else 5-6-5
    const PALETTEENTRY* palette; // for 8 bits: 256 entries (may be NULL: grey ramp)
};

// Creates a device context that draws into target until HostDeleteSurfaceDC. The pixels must stay
// valid (locked) meanwhile. Returns NULL when target is unusable.
HDC HostCreateSurfaceDC(const HostPixelTarget& target);
// Ends a device context made by HostCreateSurfaceDC (its selected objects are not deleted).
void HostDeleteSurfaceDC(HDC dc);
