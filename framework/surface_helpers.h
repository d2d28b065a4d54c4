// Free helpers over DirectDraw surfaces shared by the framework's classes and the programs: colour
// conversion and colour keys for 16-bit surfaces, bounded pixel access, creating, filling and
// duplicating surfaces, cutting a bitmap into frames, centring, clipped keyed blits, and an 8-bit to
// 16-bit bitmap conversion. Every surface comes from the engine's DirectDraw object (QuibGetLPDD).
// Failures show only in the results: a Blt result, a NULL surface, 0 from the cutters.
#pragma once

#include "host/ddraw/ddraw.h"
#include "quib/ptrarray.h"

// BltClipped/DrawSurfaceAt flags value meaning DDBLT_WAIT | DDBLT_KEYSRC.
constexpr int kBltWaitKeySrc = -1;

// The surface's raw pixel value for colour (r, g, b), each 0..255 (clamped), built from the surface's
// red, green and blue bit counts; low 16 bits. Pure blue is 0x001F on 5-5-5 and 5-6-5 surfaces. A NULL
// surface or one without RGB bits gives 0.
int RGBToPixel(IDirectDrawSurface* surface, int r, int g, int b);

// Sets the source colour key (DDCKEY_SRCBLT, low = high) to RGBToPixel(r, g, b).
HRESULT SetColorKey(IDirectDrawSurface* surface, int r, int g, int b);

// The raw pixel at (x, y) (a byte on 8-bit surfaces, a word on 16-bit ones); 0 when the point lies
// outside the surface or the surface cannot be locked.
int GetPixel(IDirectDrawSurface* surface, int x, int y);

// Stores value at (x, y) in the surface's own pixel size and returns the previous value; outside the
// surface or when it cannot be locked nothing is written and 0 is returned.
int PutPixel(IDirectDrawSurface* surface, int x, int y, int value);

// A w x h off-screen plain surface in the display format from the engine's DirectDraw object, with
// source colour key 0; NULL when the display is not started or creation fails.
IDirectDrawSurface* CreateSurface(int w, int h);

// Fills the whole surface with colour (r, g, b) or with a raw pixel value.
HRESULT FillSurfaceRGB(IDirectDrawSurface* surface, int r, int g, int b);
HRESULT FillSurface(IDirectDrawSurface* surface, int pixel);

// A new surface of the same size holding a copy of the pixels; NULL on failure.
IDirectDrawSurface* DuplicateSurface(IDirectDrawSurface* surface);

// Width and height of the surface (0 x 0 for NULL); NULL outputs are skipped.
void GetSurfaceSize(IDirectDrawSurface* surface, int* w, int* h);

// Locks the whole surface (DDLOCK_WAIT) and returns its pixels, copying the descriptor (pitch, format)
// into desc when given; NULL when the lock fails. Pair with UnlockSurface.
void* LockSurface(IDirectDrawSurface* surface, DDSURFACEDESC* desc = nullptr);
void UnlockSurface(IDirectDrawSurface* surface);

// Centres the surface's size in the box (x, y, w, h) (a NULL surface counts as 0 x 0) and writes the
// result into rect, which is returned.
RECT* CenterRect(IDirectDrawSurface* surface, int x, int y, int w, int h, RECT* rect);

// Cuts the surface into cw x ch cells, row by row, each a new surface keyed blue appended to list;
// remainders smaller than a cell are dropped and cols (when given) receives the cells per row. 1 on
// success (also when no whole cell fits); 0 for a NULL surface, a cell size <= 0, or when a surface
// cannot be created (cells made before stay in the list). The source is not released.
int CutFrames(IDirectDrawSurface* surface, PtrArray<IDirectDrawSurface>* list, int cw, int ch,
              int* cols = nullptr);

// Loads file as a 16-bit surface and cuts it like CutFrames; the loaded surface is released. 0 when the
// file cannot be loaded.
int LoadFrames(const char* file, PtrArray<IDirectDrawSurface>* list, int cw, int ch, int* cols = nullptr);

// Blits source rectangle (sx, sy, w, h) to (dx, dy) on target, clipped to the target's size; flags are
// Blt flags, kBltWaitKeySrc for DDBLT_WAIT | DDBLT_KEYSRC. Wholly outside: the Blt refuses
// (DDERR_INVALIDRECT) and nothing is drawn.
HRESULT BltClipped(IDirectDrawSurface* source, int sx, int sy, int w, int h, IDirectDrawSurface* target,
                   int dx, int dy, int flags);

// BltClipped of the whole source to (x, y).
HRESULT DrawSurfaceAt(IDirectDrawSurface* source, IDirectDrawSurface* target, int x, int y, int flags);

// Copies the whole source to the back buffer's top-left, flips, and copies it again, so the picture
// stands in both buffers.
void ShowOnBothBuffers(IDirectDrawSurface* backBuffer, IDirectDrawSurface* source);

// Loads file as an 8-bit surface and converts it to a new display-format surface: index 0 becomes pixel
// 0 and keys the surface (key 0); every other index becomes its palette colour, nudged to 1 when that
// would be 0. NULL on failure.
IDirectDrawSurface* LoadBitmap8To16(const char* file);
