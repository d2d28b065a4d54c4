// Software lines plotted straight into a locked 16-bit surface (debug lines and object outlines): a 3D
// line is cut at w = 1 and projected, then clipped in floating point against the line-clip rectangle
// (line_clip.h) and stepped pixel by pixel. Pixel (x, y) is word y x pitch + x from pixels; the colour is
// the low 16 bits of colour, raw in the surface's format. Nothing is ever written outside the clip
// rectangle: non-finite coordinates, points at w = 0 and lines far off the rectangle are cut or dropped in
// floating point before any conversion to integers.
#pragma once

#include "host/base/types.h"
#include "host/rm/d3drm.h"

// Draws the line between two homogeneous points (screen position (x / w, y / w); z unused). Both w below
// 1: nothing. One w below 1: that end moves to where the line crosses w = 1.
void DrawLine3DSoftware(WORD* pixels, const D3DRMVECTOR4D& p0, const D3DRMVECTOR4D& p1, DWORD colour);
// A clipped 1-pixel line between two screen points; both ends are plotted. A line lying on a limit is not
// drawn.
void DrawLine2D(WORD* pixels, float x0, float y0, float x1, float y1, DWORD colour);
// Stores colour at (x, y).
void PutLinePixel(WORD* pixels, int x, int y, DWORD colour);
