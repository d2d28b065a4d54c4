// Pixel formats of surfaces and display modes.
#pragma once

#include "host/ddraw/ddraw.h"

namespace host_ddraw {

// A display mode as the driver keeps it: bits is 8, 16, 24 or 32; a 16-bit mode is 5-5-5 or 5-6-5.
struct DisplayMode {
    int width;
    int height;
    int bits;
    bool is555;
};

// RGB format of the given depth: 16 bits 5-6-5 or 5-5-5, 24 and 32 bits 8-8-8.
DDPIXELFORMAT RgbFormat(int bits, bool is555);
// 8-bit palette-indexed format.
DDPIXELFORMAT PalettisedFormat();
// The format of a display mode's surfaces.
DDPIXELFORMAT FormatOfMode(const DisplayMode& mode);

bool IsPalettised(const DDPIXELFORMAT& format);
// A 16-bit format whose green has 5 bits.
bool Is555(const DDPIXELFORMAT& format);
// 1, 2, 3 or 4 for 8, 16, 24 or 32 bits; 0 for any other count.
int BytesForBits(DWORD bits);
// Checks a format a caller asks for: palette-indexed 8-bit, or RGB of 16, 24 or 32 bits.
bool IsSupportedFormat(const DDPIXELFORMAT& format);
// The bits of a raw pixel of that many bytes (0xFFFF for 2).
DWORD PixelMask(int bytesPerPixel);

} // namespace host_ddraw
