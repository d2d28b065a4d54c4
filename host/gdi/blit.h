// Copies between device contexts with colour conversion.
//
// Conversion rules: to 16 or 32 bits each channel is truncated to the target's bits (file blue
// (0, 0, 255) becomes 0x001F in 5-6-5 and in 5-5-5); to an indexed target (8-bit surface, indexed DIB)
// each colour takes the nearest palette entry (squared RGB distance, the first entry winning ties),
// except that an indexed source whose colour table equals the target's palette is copied index for index.
// 16-bit sources are widened by repeating their high bits, so a copy between equal formats is exact.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

// The raster operation: copy the source.
#define SRCCOPY 1

// Copies the source rectangle (srcX, srcY, srcWidth, srcHeight) of src onto (x, y, width, height) of dst,
// scaling by nearest neighbour when the sizes differ. Only SRCCOPY; every extent must be positive (no
// mirroring). Areas outside either DC's pixels are skipped. The source must have pixels (a surface DC,
// or a memory DC with a bitmap); a destination without pixels (window or screen DC) accepts the copy
// and discards it. FALSE for bad DCs, extents or operations.
HOST_API BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                         int srcWidth, int srcHeight, DWORD rop);
// StretchBlt without scaling.
HOST_API BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
