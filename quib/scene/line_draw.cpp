#include "quib/scene/line_draw.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"
#include "quib/scene/line_clip.h"

namespace {

bool Finite(float a, float b, float c, float d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Moves the end (x, y) onto the vertical line x = limit along the line through (x0, y0)-(x1, y1).
void ClipX(float limit, float x0, float y0, float x1, float y1, float& x, float& y) {
    y = y0 + (limit - x0) * (y0 - y1) / (x0 - x1);
    x = limit;
}

// Moves the end (x, y) onto the horizontal line y = limit.
void ClipY(float limit, float x0, float y0, float x1, float y1, float& x, float& y) {
    x = x0 + (limit - y0) * (x0 - x1) / (y0 - y1);
    y = limit;
}

// Cuts the line to the clip limits in floating point. False when nothing of it is to be drawn.
bool ClipLine(float& x0, float& y0, float& x1, float& y1) {
    const LineClipState& c = g_LineClip;
    const float left = float(c.left), right = float(c.right), top = float(c.top), bottom = float(c.bottom);
    if (!Finite(x0, y0, x1, y1) || c.left > c.right || c.top > c.bottom) return false;
    // A line wholly beyond one limit would divide by zero (or by a tiny difference) below.
    if ((x0 < left && x1 < left) || (x0 > right && x1 > right)) return false;
    if ((y0 < top && y1 < top) || (y0 > bottom && y1 > bottom)) return false;

    if (x0 < left) ClipX(left, x0, y0, x1, y1, x0, y0);
    if (x1 < left) ClipX(left, x0, y0, x1, y1, x1, y1);
    if (x0 > right) ClipX(right, x0, y0, x1, y1, x0, y0);
    if (x1 > right) ClipX(right, x0, y0, x1, y1, x1, y1);
    if (!Finite(x0, y0, x1, y1)) return false;
    if (!((top < y0 || top < y1) && (y0 < bottom || y1 < bottom))) return false;

    if (y0 < top) ClipY(top, x0, y0, x1, y1, x0, y0);
    if (y1 < top) ClipY(top, x0, y0, x1, y1, x1, y1);
    if (y0 > bottom) ClipY(bottom, x0, y0, x1, y1, x0, y0);
    if (y1 > bottom) ClipY(bottom, x0, y0, x1, y1, x1, y1);
    if (!Finite(x0, y0, x1, y1)) return false;
    return (left < x0 || left < x1) && (x0 < right || x1 < right);
}

// Truncates a clipped coordinate and keeps it within [low, high] (rounding at the cut can stray by one).
int ToPixel(float value, int low, int high) {
    return std::clamp(static_cast<int>(std::clamp(value, float(low), float(high))), low, high);
}

// The screen position of a homogeneous point (its integer part) and the point scaled back by w; a point
// at w = 0 has no screen position, only its scaled-back coordinates.
struct Projected {
    float screenX, screenY; // trunc(x / w), trunc(y / w)
    float a, b;             // screen position x w, the point's x and y again with the truncation
};

Projected Project(const D3DRMVECTOR4D& p) {
    if (p.w == 0.0f) return {0.0f, 0.0f, p.x, p.y};
    const float sx = std::trunc(p.x / p.w), sy = std::trunc(p.y / p.w);
    return {sx, sy, sx * p.w, sy * p.w};
}

} // namespace

void PutLinePixel(WORD* pixels, int x, int y, DWORD colour) {
    pixels[ptrdiff_t(y) * g_LineClip.pitch + x] = WORD(colour & 0xFFFF);
}

void DrawLine2D(WORD* pixels, float fx0, float fy0, float fx1, float fy1, DWORD colour) {
    if (!pixels || !ClipLine(fx0, fy0, fx1, fy1)) return;
    const LineClipState& c = g_LineClip;
    int x0 = ToPixel(fx0, c.left, c.right), y0 = ToPixel(fy0, c.top, c.bottom);
    const int x1 = ToPixel(fx1, c.left, c.right), y1 = ToPixel(fy1, c.top, c.bottom);
    const int sx = x1 < x0 ? -1 : 1, sy = y1 < y0 ? -1 : 1;
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);

    PutLinePixel(pixels, x0, y0, colour);
    if (dx == 0) {
        for (int y = y0; y != y1; y += sy)
            PutLinePixel(pixels, x0, y, colour);
    } else if (dy == 0) {
        for (int x = x0; x != x1; x += sx)
            PutLinePixel(pixels, x, y0, colour);
    } else if (dx == dy) {
        while (x0 != x1) {
            x0 += sx;
            y0 += sy;
            PutLinePixel(pixels, x0, y0, colour);
        }
    } else if (dx > dy) {
        int error = dy;
        while (x0 != x1) {
            if (error >= dx) {
                y0 += sy;
                error -= dx;
            }
            x0 += sx;
            PutLinePixel(pixels, x0, y0, colour);
            error += dy;
        }
    } else {
        int error = dx;
        while (y0 != y1) {
            if (error >= dy) {
                x0 += sx;
                error -= dy;
            }
            y0 += sy;
            PutLinePixel(pixels, x0, y0, colour);
            error += dx;
        }
    }
    PutLinePixel(pixels, x1, y1, colour);
}

void DrawLine3DSoftware(WORD* pixels, const D3DRMVECTOR4D& p0, const D3DRMVECTOR4D& p1, DWORD colour) {
    if (!Finite(p0.x, p0.y, p0.w, 0.0f) || !Finite(p1.x, p1.y, p1.w, 0.0f)) return;
    if (p0.w < 1.0f && p1.w < 1.0f) return;
    const Projected q0 = Project(p0), q1 = Project(p1);
    float x0 = q0.screenX, y0 = q0.screenY, x1 = q1.screenX, y1 = q1.screenY;
    // The end behind w = 1 moves to the crossing: a0 + (1 - w0)(a0 - a1) / (w0 - w1) (w0 != w1 here).
    if (p0.w < 1.0f || p1.w < 1.0f) {
        const float t = (1.0f - p0.w) / (p0.w - p1.w);
        const float x = q0.a + t * (q0.a - q1.a), y = q0.b + t * (q0.b - q1.b);
        if (p1.w < 1.0f) {
            x1 = x;
            y1 = y;
        } else {
            x0 = x;
            y0 = y;
        }
    }
    DrawLine2D(pixels, x0, y0, x1, y1, colour);
}

int QuibDrawLine3D(float x1, float y1, float z1, float x2, float y2, float z2, long colour) {
    SetLineClipRect(&g_ClientRect);
    if (!g_lpD3DRMViewport || !g_lpBackBuffer) {
        RegError("QuibDrawLine3D : no 3D viewport");
        return 0;
    }
    D3DVECTOR world0 = {x1, y1, z1}, world1 = {x2, y2, z2};
    D3DRMVECTOR4D p0, p1;
    HRESULT hr = g_lpD3DRMViewport->Transform(&p0, &world0);
    if (SUCCEEDED(hr)) hr = g_lpD3DRMViewport->Transform(&p1, &world1);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    hr = g_lpBackBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    // The client rectangle and the pitch measured at mode entry must not reach past what is locked.
    ConfineLineClip(int(desc.dwWidth), int(desc.dwHeight), int(desc.lPitch / 2));
    DrawLine3DSoftware(static_cast<WORD*>(desc.lpSurface), p0, p1, DWORD(colour));
    hr = g_lpBackBuffer->Unlock(nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}
