// Device contexts and the objects selected into them.
//
// Kinds of device context:
// - surface DCs (HostCreateSurfaceDC, made by the display driver's GetDC) draw into a locked surface;
// - memory DCs (CreateCompatibleDC) draw into the bitmap selected into them;
// - window and screen DCs (GetDC) report the desktop's device capabilities and hold a font for
//   measuring text. They have no pixels of their own: what is drawn on them is accepted and discarded,
//   since everything the programs show is drawn through surfaces.
// Every DC starts with the default font (the system font's stand-in: a bold proportional sans face of
// cell height 16), black text, a white background and the OPAQUE background mode.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"
#include "host/gdi/pixeltarget.h"

// GetDeviceCaps indices.
#define HORZRES   1
#define VERTRES   2
#define BITSPIXEL 3

// Gives a DC for window's client area, or for the screen when window is NULL. NULL when window is not a
// live window. End it with ReleaseDC.
HOST_API HDC GetDC(HWND window);
// Ends a DC made by GetDC. Returns 1 when released, 0 when dc is not such a DC.
HOST_API int ReleaseDC(HWND window, HDC dc);

// Makes a memory DC (dc is ignored: every memory DC is compatible with the screen). It starts with a
// 1x1 stock bitmap selected. End it with DeleteDC.
HOST_API HDC CreateCompatibleDC(HDC dc);
// Ends a memory DC; the objects selected into it are not deleted. Surface and window DCs are refused
// (FALSE): they end through their own release calls.
HOST_API BOOL DeleteDC(HDC dc);

// Selects a font or bitmap into dc and returns the one it replaces, or NULL when dc or object is not
// valid (NULL is accepted and answered with NULL). A bitmap goes only into a memory DC and only into one
// DC at a time.
HOST_API HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Deletes a font or bitmap. FALSE when the handle is not valid or the object is selected into a DC
// (it then stays). Stock objects (the default font, the memory DC's 1x1 bitmap) are never deleted; the
// call succeeds.
HOST_API BOOL DeleteObject(HGDIOBJ object);
// Copies a bitmap's description into buffer (a BITMAP; size must be at least sizeof(BITMAP)). Returns the
// bytes written, sizeof(BITMAP) when buffer is NULL, or 0 when object is not a bitmap or size too small.
HOST_API int GetObjectA(HGDIOBJ object, int size, LPVOID buffer);
#define GetObject GetObjectA

// HORZRES and VERTRES: the pixels of a surface DC's surface, else the desktop's; BITSPIXEL: the
// surface's depth, else the desktop's. 0 for an unknown index or DC.
HOST_API int GetDeviceCaps(HDC dc, int index);
