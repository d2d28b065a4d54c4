// Software lines plotted straight into a locked 16-bit surface (debug lines and object outlines): a 3D
// line is cut at w = 1 and projected, then clipped in floating point against the line-clip rectangle
// (line_clip.h) and stepped pixel by pixel; the integer forms clip in integers. Pixel (x, y) is word
// y x pitch + x from pixels; the colour is the low 16 bits of colour, raw in the surface's format.
// Nothing is ever written outside the clip rectangle: non-finite coordinates, points at w = 0 and lines
// far off the rectangle are cut or dropped before any pixel is set, and the pixels stacked below a
// line's pixel by the thick and tall forms stop at the rectangle's bottom.
#pragma once

#include "host/base/types.h"
#include "host/rm/d3drm.h"
#include "quib/scene/pipeline/line_clip.h"

// Draws the line between two homogeneous points (screen position (x / w, y / w); z unused). Both w below
// 1: nothing. One w below 1: that end moves to where the line crosses w = 1.
void DrawLine3DSoftware(WORD* pixels, const D3DRMVECTOR4D& p0, const D3DRMVECTOR4D& p1, DWORD colour);
// A clipped 1-pixel line between two screen points; both ends are plotted. A line lying on a limit is not
// drawn.
void DrawLine2D(WORD* pixels, float x0, float y0, float x1, float y1, DWORD colour);
// As DrawLine2D, with every pixel but the first and the last two tall: (x, y) and (x, y + 1).
void DrawLine2DThick(WORD* pixels, float x0, float y0, float x1, float y1, DWORD colour);
// The integer forms of DrawLine2D, their pixels 1, 2 or 3 tall (stacked downwards). Each records its
// ends in g_LastLine, then cuts the line to the rectangle in integer arithmetic.
void DrawLineInt(WORD* pixels, int x0, int y0, int x1, int y1, DWORD colour);
void DrawLineInt2(WORD* pixels, int x0, int y0, int x1, int y1, DWORD colour);
void DrawLineInt3(WORD* pixels, int x0, int y0, int x1, int y1, DWORD colour);
// Where the line lies against the clip rectangle: kLineVisible (0) exactly when DrawLine2D draws some
// of it, else kLineLeft (1), kLineRight (2), kLineBelow (4) or kLineAbove (8) for the side it lies
// wholly beyond, kLineNowhere for a coordinate that is not finite or an empty rectangle (line_clip.h).
int ClassifyLine(float x0, float y0, float x1, float y1);

// Stores colour at (x, y).
void PutLinePixel(WORD* pixels, int x, int y, DWORD colour);
// Stores colour at (x, y) and (x, y + 1), or at (x, y) to (x, y + 2); a stacked pixel below the clip
// rectangle's bottom is left out.
void PutLinePixel2(WORD* pixels, int x, int y, DWORD colour);
void PutLinePixel3(WORD* pixels, int x, int y, DWORD colour);

// The ends (x0, y0, x1, y1) last given to an integer form, before clipping; 0 until the first.
extern int g_LastLine[4];
