// The clip rectangle of the software line drawing: the back buffer's row stride in pixels and the
// smallest and largest coordinates a line may touch. One set for the whole library; all 0 (nothing is
// drawn) until a start-up or QuibDrawLine3D sets it.
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
