#include "quib/scene/line_clip.h"

#include "quib/platform/directx.h"

LineClipState g_LineClip = {};

void SetLineClipRect(const RECT* rect) {
    if (!rect) return;
    g_LineClip.pitch = g_BackBufferPitch / 2;
    g_LineClip.left = rect->left + 1;
    g_LineClip.top = rect->top + 1;
    g_LineClip.right = rect->right - 2;
    g_LineClip.bottom = rect->bottom - 2;
}
