// A uniform view of the pixels that device contexts draw into and blits read from: locked surfaces
// (8-bit palettised, 16-bit 5-6-5 or 5-5-5) and DIBs (1 to 32 bits). Pixels are handled as raw values
// (an index, or the packed channels) and converted to and from COLORREF (0x00bbggrr).
#pragma once

#include <array>
#include <cstddef>

#include "host/base/types.h"
#include "host/gdi/dib.h"
#include "host/gdi/pixeltarget.h"

struct HostChannel {
    int shift = 0; // lowest bit of the mask
    int width = 0; // bits in the mask
};

struct HostRaster {
    BYTE* top = nullptr; // the top row
    ptrdiff_t step = 0;  // bytes from one row to the next one down (negative for bottom-up DIBs)
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    HostChannel channels[3];          // red, green, blue (direct colour)
    const COLORREF* colors = nullptr; // indexed depths: colorCount entries
    int colorCount = 0;

    BYTE* Row(int y) const { return top + step * y; }
    bool IsIndexed() const { return bitsPerPixel <= 8; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Storage for the COLORREF form of a palette or colour table, owned by whoever holds the raster.
typedef std::array<COLORREF, 256> HostColorTable;

// A raster over a locked surface; an 8-bit surface without a palette is read as a grey ramp. False when
// the target is unusable (no pixels, bad size, depth or pitch).
bool HostRasterOfTarget(const HostPixelTarget& target, HostColorTable& table, HostRaster& raster);
// A raster over a DIB.
HostRaster HostRasterOfDib(const HostDib& dib, HostColorTable& table);

// The raw value of the pixel at (x, y), which must lie inside.
DWORD HostRasterGet(const HostRaster& raster, int x, int y);
// Stores a raw value at (x, y), which must lie inside.
void HostRasterSet(const HostRaster& raster, int x, int y, DWORD value);
// The colour a raw value stands for (direct channels widened by repeating their high bits).
COLORREF HostRasterDecode(const HostRaster& raster, DWORD value);
// The raw value for a colour: channels truncated, or the nearest palette entry.
DWORD HostRasterEncode(const HostRaster& raster, COLORREF color);
// The index of the entry nearest to color by squared RGB distance; the first entry wins ties.
int HostNearestColor(const COLORREF* colors, int count, COLORREF color);
// True when two rasters store pixels the same way (depth and channels; tables are not compared).
bool HostSameDirectFormat(const HostRaster& a, const HostRaster& b);
