#include "quib/scene/pipeline/line_draw.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"
#include "quib/scene/pipeline/line_clip.h"

namespace {

bool Finite(float a, float b, float c, float d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Truncates a clipped coordinate and keeps it within [low, high] (rounding at the cut can stray by one).
int ToPixel(float value, int low, int high) {
    return std::clamp(static_cast<int>(std::clamp(value, float(low), float(high))), low, high);
}

// The pixel ends {x0, y0, x1, y1} of a line cut to the rectangle in floating point; false when nothing
// of it is to be drawn.
bool PixelEnds(float x0, float y0, float x1, float y1, int ends[4]) {
    if (ClipLineFloat(x0, y0, x1, y1) != kLineVisible) return false;
    const LineClipState& c = g_LineClip;
    ends[0] = ToPixel(x0, c.left, c.right);
    ends[1] = ToPixel(y0, c.top, c.bottom);
    ends[2] = ToPixel(x1, c.left, c.right);
    ends[3] = ToPixel(y1, c.top, c.bottom);
    return true;
}

// Stores colour at (x, y) and at the tall - 1 pixels below it, those down to the rectangle's bottom limit.
void PutStack(WORD* pixels, int x, int y, int tall, DWORD colour) {
    for (int k = 0; k < tall && (k == 0 || y + k <= g_LineClip.bottom); ++k)
        PutLinePixel(pixels, x, y + k, colour);
}

// Steps from end to end of a clipped line {x0, y0, x1, y1}, calling plot(x, y) for each pixel: the first
// end, the pixels between (a straight line from its first pixel, a sloped one from the pixel after it,
// with an error term on the longer axis), then the last end.
template <class Plot> void StepLine(const int ends[4], Plot plot) {
    int x0 = ends[0], y0 = ends[1];
    const int x1 = ends[2], y1 = ends[3];
    const int sx = x1 < x0 ? -1 : 1, sy = y1 < y0 ? -1 : 1;
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);

    plot(x0, y0);
    if (dx == 0) {
        for (int y = y0; y != y1; y += sy)
            plot(x0, y);
    } else if (dy == 0) {
        for (int x = x0; x != x1; x += sx)
            plot(x, y0);
    } else if (dx == dy) {
        while (x0 != x1) {
            x0 += sx;
            y0 += sy;
            plot(x0, y0);
        }
    } else if (dx > dy) {
        int error = dy;
        while (x0 != x1) {
            if (error >= dx) {
                y0 += sy;
                error -= dx;
            }
            x0 += sx;
            plot(x0, y0);
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
            plot(x0, y0);
            error += dx;
        }
    }
    plot(x1, y1);
}

// The integer forms: the ends recorded as given, then cut in integers; each pixel a stack tall high.
void DrawIntLine(WORD* pixels, int x0, int y0, int x1, int y1, int tall, DWORD colour) {
    g_LastLine[0] = x0;
    g_LastLine[1] = y0;
    g_LastLine[2] = x1;
    g_LastLine[3] = y1;
    if (!pixels || ClipLineInt(x0, y0, x1, y1) != kLineVisible) return;
    const int ends[4] = {x0, y0, x1, y1};
    StepLine(ends, [&](int x, int y) { PutStack(pixels, x, y, tall, colour); });
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

int g_LastLine[4] = {};

void PutLinePixel(WORD* pixels, int x, int y, DWORD colour) {
    pixels[ptrdiff_t(y) * g_LineClip.pitch + x] = WORD(colour & 0xFFFF);
}

void PutLinePixel2(WORD* pixels, int x, int y, DWORD colour) {
    PutStack(pixels, x, y, 2, colour);
}

void PutLinePixel3(WORD* pixels, int x, int y, DWORD colour) {
    PutStack(pixels, x, y, 3, colour);
}

int ClassifyLine(float x0, float y0, float x1, float y1) {
    return ClipLineFloat(x0, y0, x1, y1);
}

void DrawLine2D(WORD* pixels, float x0, float y0, float x1, float y1, DWORD colour) {
    int ends[4];
    if (!pixels || !PixelEnds(x0, y0, x1, y1, ends)) return;
    StepLine(ends, [&](int x, int y) { PutLinePixel(pixels, x, y, colour); });
}

void DrawLine2DThick(WORD* pixels, float x0, float y0, float x1, float y1, DWORD colour) {
    int ends[4];
    if (!pixels || !PixelEnds(x0, y0, x1, y1, ends)) return;
    StepLine(ends, [&](int x, int y) {
        const bool end = (x == ends[0] && y == ends[1]) || (x == ends[2] && y == ends[3]);
        PutStack(pixels, x, y, end ? 1 : 2, colour);
    });
}

void DrawLineInt(WORD* pixels, int x0, int y0, int x1, int y1, DWORD colour) {
    DrawIntLine(pixels, x0, y0, x1, y1, 1, colour);
}

void DrawLineInt2(WORD* pixels, int x0, int y0, int x1, int y1, DWORD colour) {
    DrawIntLine(pixels, x0, y0, x1, y1, 2, colour);
}

void DrawLineInt3(WORD* pixels, int x0, int y0, int x1, int y1, DWORD colour) {
    DrawIntLine(pixels, x0, y0, x1, y1, 3, colour);
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
