// The pixel loops behind Blt and BltFast: plain copies row by row with memmove, colour-keyed copies
// and fills in vector-wide steps, nearest-pixel stretching through a column table. They copy raw
// values of 1, 2, 3 or 4 bytes per pixel and never convert formats. Rectangles arrive checked.
#pragma once

#include <cstdint>

#include "host/base/types.h"

namespace host_ddraw {

// A rectangle of pixels: the address of its top-left pixel, the distance between rows, and its size.
struct PixelView {
    uint8_t* pixels;
    int pitch;
    int width;
    int height;
};
struct ConstPixelView {
    const uint8_t* pixels;
    int pitch;
    int width;
    int height;
};

// Where a stretched picture goes: a destination rectangle of fullWidth x fullHeight pixels, of which
// only part (starting offsetX, offsetY into it) is drawn.
struct StretchTarget {
    PixelView part;
    int fullWidth;
    int fullHeight;
    int offsetX;
    int offsetY;
};

// Copies src onto dst (same size). Views into one store with the same pitch may overlap.
void CopyPixels(const ConstPixelView& src, const PixelView& dst, int bytesPerPixel);
// Copies the pixels of src whose raw value is not key (same size; the views must not overlap).
void CopyPixelsKeyed(const ConstPixelView& src, const PixelView& dst, int bytesPerPixel, DWORD key);
// Sets every pixel of dst to the low bytes of value.
void FillPixels(const PixelView& dst, int bytesPerPixel, DWORD value);
// Scales all of src over the target, nearest pixel (each destination pixel takes the source pixel
// under its centre); when keyed, source pixels equal to key are skipped. The views must not overlap.
void StretchPixels(const ConstPixelView& src, const StretchTarget& target, int bytesPerPixel, bool keyed,
                   DWORD key);

} // namespace host_ddraw
