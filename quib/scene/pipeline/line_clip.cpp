#include "quib/scene/pipeline/line_clip.h"

#include <algorithm>
#include <cmath>

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

namespace {

bool Finite(float a, float b, float c, float d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}
bool Finite(long long, long long, long long, long long) {
    return true;
}

// b0 + (limit - a0)(b0 - b1) / (a0 - a1): the other coordinate where the line (a0, b0)-(a1, b1) crosses
// a = limit, from the first point. a0 != a1 wherever it is used.
float Cross(float limit, float a0, float b0, float a1, float b1) {
    return b0 + (limit - a0) * (b0 - b1) / (a0 - a1);
}
// In integers the product comes first: 128 bits hold any product of two 33-bit differences, and the
// quotient lies between b0 and b1.
long long Cross(long long limit, long long a0, long long b0, long long a1, long long b1) {
    return b0 + static_cast<long long>(static_cast<__int128>(limit - a0) * (b0 - b1) / (a0 - a1));
}

// Moves the end (a, b) onto a = limit along the line (a0, b0)-(a1, b1).
template <class T> void CutAt(T limit, T a0, T b0, T a1, T b1, T& a, T& b) {
    b = Cross(limit, a0, b0, a1, b1);
    a = limit;
}

// Moves each end with a outside [low, high] onto the range along the line, in this order: a0 below low,
// a1 below low, a0 above high, a1 above high.
template <class T> void CutToRange(T low, T high, T& a0, T& b0, T& a1, T& b1) {
    if (a0 < low) CutAt(low, a0, b0, a1, b1, a0, b0);
    if (a1 < low) CutAt(low, a0, b0, a1, b1, a1, b1);
    if (a0 > high) CutAt(high, a0, b0, a1, b1, a0, b0);
    if (a1 > high) CutAt(high, a0, b0, a1, b1, a1, b1);
}

// The side of [low, high] that both a and b lie on or beyond: lowSide, highSide, or 0.
template <class T> int Beyond(T a, T b, T low, T high, int lowSide, int highSide) {
    if (!(low < a || low < b)) return lowSide;
    if (!(a < high || b < high)) return highSide;
    return kLineVisible;
}

// The shared cut: whole lines beyond a limit first (no crossing is computed for them, so nothing divides
// by zero), then x, then y, with the sides tested again after each cut.
template <class T> int ClipToLimits(T& x0, T& y0, T& x1, T& y1) {
    const LineClipState& c = g_LineClip;
    const T left = T(c.left), right = T(c.right), top = T(c.top), bottom = T(c.bottom);
    if (!Finite(x0, y0, x1, y1) || c.left > c.right || c.top > c.bottom) return kLineNowhere;
    if (int side = Beyond(x0, x1, left, right, kLineLeft, kLineRight)) return side;
    if (int side = Beyond(y0, y1, top, bottom, kLineAbove, kLineBelow)) return side;

    CutToRange(left, right, x0, y0, x1, y1);
    if (!Finite(x0, y0, x1, y1)) return kLineNowhere;
    if (int side = Beyond(y0, y1, top, bottom, kLineAbove, kLineBelow)) return side;

    CutToRange(top, bottom, y0, x0, y1, x1);
    if (!Finite(x0, y0, x1, y1)) return kLineNowhere;
    return Beyond(x0, x1, left, right, kLineLeft, kLineRight);
}

} // namespace

int ClipLineFloat(float& x0, float& y0, float& x1, float& y1) {
    return ClipToLimits(x0, y0, x1, y1);
}

int ClipLineInt(int& x0, int& y0, int& x1, int& y1) {
    long long a0 = x0, b0 = y0, a1 = x1, b1 = y1;
    const int side = ClipToLimits(a0, b0, a1, b1);
    if (side != kLineVisible) return side;
    // Every moved value lies between the ends it was cut from, so within the limits; the clamp only
    // narrows the type back.
    const LineClipState& c = g_LineClip;
    x0 = int(std::clamp<long long>(a0, c.left, c.right));
    x1 = int(std::clamp<long long>(a1, c.left, c.right));
    y0 = int(std::clamp<long long>(b0, c.top, c.bottom));
    y1 = int(std::clamp<long long>(b1, c.top, c.bottom));
    return kLineVisible;
}
