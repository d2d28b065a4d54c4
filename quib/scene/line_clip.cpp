#include "quib/scene/line_clip.h"

#include <algorithm>

#include "quib/platform/directx.h"

LineClipState g_LineClip = {};

void SetLineClipRect(const RECT* rect) {
    SetLineClipRectPitch(rect, g_BackBufferPitch / 2);
}

void SetLineClipRectPitch(const RECT* rect, int pitch) {
    if (!rect) return;
    g_LineClip.pitch = pitch;
    g_LineClip.left = rect->left + 1;
    g_LineClip.top = rect->top + 1;
    g_LineClip.right = rect->right - 2;
    g_LineClip.bottom = rect->bottom - 2;
}

void SetLineClip(int left, int top, int right, int bottom) {
    g_LineClip.pitch = g_BackBufferPitch / 2;
    g_LineClip.left = left;
    g_LineClip.top = top;
    g_LineClip.right = right;
    g_LineClip.bottom = bottom;
}

void ConfineLineClip(int width, int height, int pitch) {
    g_LineClip.pitch = pitch;
    g_LineClip.left = std::max(g_LineClip.left, 0);
    g_LineClip.top = std::max(g_LineClip.top, 0);
    g_LineClip.right = std::min(g_LineClip.right, std::min(width, pitch) - 1);
    g_LineClip.bottom = std::min(g_LineClip.bottom, height - 1);
}
