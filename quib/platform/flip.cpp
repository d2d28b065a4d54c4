// QuibFlip and QuibFlipExcludeRect: the back buffer goes on screen, by a flip in full screen or by a copy
// of its visible part to the window's place on the desktop; QuibFlip also counts the frame rate.
#include "host/win/clock.h"
#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/flip.h"
#include "quib/platform/video.h"
#include "quib/quib.h"

float g_dwFpsF = 0.0f;

namespace {

// The rate is published when more than this much time has gathered in the current window.
constexpr DWORD kFpsWindowMs = 2000;

DWORD s_previousFlipMs = 0;
DWORD s_accumulatedMs = 0;
DWORD s_framesCounted = 0;

// Counts one frame. The rate is frames / 2.0 whatever the window's exact length; the 32-bit clock may
// wrap between two flips (unsigned subtraction).
void CountFrame() {
    DWORD now = timeGetTime();
    s_accumulatedMs += now - s_previousFlipMs;
    if (s_accumulatedMs > kFpsWindowMs) {
        g_dwFpsF = float(s_framesCounted) / 2.0f;
        s_framesCounted = 0;
        s_accumulatedMs = 0;
    }
    s_framesCounted++;
    s_previousFlipMs = now;
}

// Gives a lost surface its memory back; 0 with the error registered when that fails.
int RestoreIfLost(IDirectDrawSurface* surface) {
    if (surface->IsLost() == DD_OK) return 1;
    HRESULT hr = surface->Restore();
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}

int FlipFullScreen() {
    if (!g_lpPrimary) return 1;
    if (!RestoreIfLost(g_lpPrimary)) return 0;
    HRESULT hr = g_lpPrimary->Flip(nullptr, DDFLIP_WAIT);
    if (FAILED(hr)) DebugPrintf("hr=%x\n", unsigned(hr)); // a missed flip only costs this frame
    return 1;
}

int CopyToWindow() {
    if (!g_lpPrimary) return 1;
    if (!RestoreIfLost(g_lpPrimary)) return 0;
    if (g_lpBackBuffer && !RestoreIfLost(g_lpBackBuffer)) return 0;
    // A window wholly off the desktop shows nothing; copying would fail on every frame.
    if (!WindowIsVisible() || !g_lpBackBuffer) return 1;
    HRESULT hr = g_lpPrimary->Blt(&g_WindowRect, g_lpBackBuffer, &g_SourceRect, DDBLT_WAIT, nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}

// Copies source (back-buffer coordinates) to dest on the primary; empty bands are skipped.
int CopyBand(const RECT& dest, const RECT& source) {
    if (dest.right <= dest.left || dest.bottom <= dest.top) return 1;
    RECT d = dest;
    RECT s = source;
    HRESULT hr = g_lpPrimary->Blt(&d, g_lpBackBuffer, &s, DDBLT_WAIT, nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}

LONG Clamp(LONG value, LONG low, LONG high) {
    return value < low ? low : value > high ? high : value;
}

// Up to four copies around r: left and right of it at full height, above and below it between.
int CopyAroundRect(const RECT& r) {
    if (!g_lpPrimary || !g_lpBackBuffer || !WindowIsVisible()) return 1;
    const RECT& s = g_SourceRect;
    const RECT& w = g_WindowRect;
    // r in the visible part of the back buffer; an inverted r excludes nothing.
    LONG left = Clamp(r.left, s.left, s.right);
    LONG right = Clamp(r.right, left, s.right);
    LONG top = Clamp(r.top, s.top, s.bottom);
    LONG bottom = Clamp(r.bottom, top, s.bottom);
    // Back-buffer x or y to the desktop.
    auto toX = [&](LONG x) { return w.left + (x - s.left); };
    auto toY = [&](LONG y) { return w.top + (y - s.top); };
    return CopyBand({w.left, w.top, toX(left), w.bottom}, {s.left, s.top, left, s.bottom}) &&
           CopyBand({toX(right), w.top, w.right, w.bottom}, {right, s.top, s.right, s.bottom}) &&
           CopyBand({toX(left), w.top, toX(right), toY(top)}, {left, s.top, right, top}) &&
           CopyBand({toX(left), toY(bottom), toX(right), w.bottom}, {left, bottom, right, s.bottom});
}

} // namespace

void FlipResetFrameRateForTests() {
    s_previousFlipMs = 0;
    s_accumulatedMs = 0;
    s_framesCounted = 0;
    g_dwFpsF = 0.0f;
}

int QuibFlip() {
    CountFrame();
    return g_FullScreen ? FlipFullScreen() : CopyToWindow();
}

int QuibFlipExcludeRect(RECT& r) {
    if (!g_FullScreen) return CopyAroundRect(r) ? 1 : 0;
    if (!g_lpPrimary) return 1;
    HRESULT hr = g_lpPrimary->Flip(nullptr, DDFLIP_WAIT);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}

float QuibGetFPS() {
    return g_dwFpsF;
}
