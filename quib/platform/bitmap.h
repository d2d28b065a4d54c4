// Loading bitmap files into surfaces (internal side; the exported QuibLoadBitmap overloads are in
// quib/quib.h). The file is decoded by the platform's image loader into a DIB section, a surface of
// exactly its size is made in system memory with texture caps, and GDI copies the picture onto it,
// converting the depth (24-bit blue (0, 0, 255) becomes 0x001F on a 16-bit surface).
//
// Each loader returns a surface with one reference owned by the caller, or NULL with the error
// registered; on failure nothing it made is left behind. Default source colour keys: palette index 0 on
// an 8-bit surface, the raw pixel value 255 on any other (blue 31, green 7 in 5-6-5), none from the
// memory route and LoadBitmapSimple.
//
// 8-bit surfaces get a palette made on g_lpDD (dd when there is none) from the file's colour table,
// entries the table does not give being black; a file without a table (16, 24, 32 bits) gets the
// engine's halftone palette (HalftonePalette in quib/platform/dib.h), so the picture survives the
// nearest-colour copy.
#pragma once

#include "host/base/types.h"
#include "host/ddraw/ddraw.h"

// The surface is 8-bit palettised when the file has 8 bits per pixel, else in the display's format.
IDirectDrawSurface* LoadBitmap(IDirectDraw* dd, const char* name);
// As LoadBitmap, but 8-bit palettised exactly when depth is 8, whatever the file's depth.
IDirectDrawSurface* LoadBitmapDepth(IDirectDraw* dd, const char* name, int depth);
// Reads the file with the engine's own BMP reader (quib/platform/bmpfile.h) instead of the platform's
// loader; display format, no colour key.
IDirectDrawSurface* LoadBitmapFromMemory(IDirectDraw* dd, const char* name);
// Display format, no palette, no key.
IDirectDrawSurface* LoadBitmapSimple(IDirectDraw* dd, const char* name);

// Copies the rectangle (x, y, dx, dy) of bitmap, stretched, onto the whole surface; dx or dy 0 mean the
// bitmap's full width or height. DD_OK; the surface's GetDC failure (the surface keeps its contents);
// E_FAIL when the bitmap cannot be selected.
HRESULT CopyBitmapToSurface(IDirectDrawSurface* surface, HBITMAP bitmap, int x, int y, int dx, int dy);
