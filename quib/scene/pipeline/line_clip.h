// The clip rectangle of the software line drawing: the back buffer's row stride in pixels and the
// smallest and largest coordinates a line may touch. One set for the whole library; all 0 (nothing is
// drawn) until a start-up or QuibDrawLine3D sets it. Lines are cut to it here, in floating point or in
// integers.
#pragma once

#include "host/base/types.h"

struct LineClipState {
    int pitch; // pixels per back-buffer row (16-bit pixels)
    int left;
    int top;
    int right;
    int bottom;
};

extern LineClipState g_LineClip;

// pitch = the back buffer's pitch in bytes (as measured at mode entry) / 2; the limits are the rectangle
// shrunk by one pixel on the top-left and two on the bottom-right. Nothing for a NULL rectangle.
void SetLineClipRect(const RECT* rect);
// As SetLineClipRect with the pitch (in pixels) given.
void SetLineClipRectPitch(const RECT* rect, int pitch);
// Pitch as SetLineClipRect; the four limits stored as given.
void SetLineClip(int left, int top, int right, int bottom);
// Narrows the limits to a surface of width x height pixels and takes its pitch (pixels), so no line can
// reach past the memory actually locked.
void ConfineLineClip(int width, int height, int pitch);

// Where a line lies against the clip rectangle: 0 when some of it is to be drawn, else the side it lies
// wholly beyond (lying on a limit counts as beyond it): left, right, below (y past bottom), above (y
// before top).
constexpr int kLineVisible = 0;
constexpr int kLineLeft = 1;
constexpr int kLineRight = 2;
constexpr int kLineBelow = 4;
constexpr int kLineAbove = 8;
// No side at all: a coordinate that is not finite, or a rectangle with nothing inside.
constexpr int kLineNowhere = kLineLeft | kLineRight | kLineBelow | kLineAbove;

// Cuts the line to the clip rectangle in floating point, each end moved along the line: x against left
// then right, then y against top then bottom. Returns where it lies (above); on kLineVisible both ends
// lie on or within the limits, up to rounding at the cut.
int ClipLineFloat(float& x0, float& y0, float& x1, float& y1);
// The same in integers: each moved coordinate is the product first, then the truncating division,
// computed wide enough that no product overflows. On kLineVisible both ends lie within the limits.
int ClipLineInt(int& x0, int& y0, int& x1, int& y1);
