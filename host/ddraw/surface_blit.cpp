// Blt, BltFast and Flip: checking rectangles and surfaces, clipping to a primary's window, choosing the
// pixel loop, and presenting what became visible.
#include <algorithm>
#include <vector>

#include "host/ddraw/blit_kernels.h"
#include "host/ddraw/clipper.h"
#include "host/ddraw/display.h"
#include "host/ddraw/driver.h"
#include "host/ddraw/palette.h"
#include "host/ddraw/surface.h"

namespace host_ddraw {
namespace {

int RectWidth(const RECT& r) {
    return r.right - r.left;
}
int RectHeight(const RECT& r) {
    return r.bottom - r.top;
}
bool IsEmpty(const RECT& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

// A rectangle that a blit accepts: not empty, not inverted, inside width x height.
bool FitsInside(const RECT& r, int width, int height) {
    return !IsEmpty(r) && r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height;
}

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

PixelView ViewOf(PixelStore& store, const RECT& r) {
    return {store.At(r.left, r.top), store.Pitch(), RectWidth(r), RectHeight(r)};
}

ConstPixelView ConstViewOf(const PixelStore& store, const RECT& r) {
    return {store.At(r.left, r.top), store.Pitch(), RectWidth(r), RectHeight(r)};
}

// A copy of a rectangle of store, for blits whose source and destination overlap in ways the row
// loops cannot order (keyed or stretched copies within one surface).
ConstPixelView CopyAside(const PixelStore& store, const RECT& r) {
    thread_local std::vector<uint8_t> aside;
    int rowBytes = RectWidth(r) * store.BytesPerPixel();
    aside.resize(size_t(rowBytes) * RectHeight(r));
    ConstPixelView source = ConstViewOf(store, r);
    PixelView copy = {aside.data(), rowBytes, source.width, source.height};
    CopyPixels(source, copy, store.BytesPerPixel());
    return {aside.data(), rowBytes, source.width, source.height};
}

} // namespace

HRESULT Surface::ClipDestination(const RECT& dest, RECT& visible) const {
    if (IsEmpty(dest)) return DDERR_INVALIDRECT;
    if (!clipper_) {
        if (!FitsInside(dest, Width(), Height())) return DDERR_INVALIDRECT;
        visible = dest;
        return DD_OK;
    }
    // The clipper keeps the picture inside its window and on this surface; what is left may be empty.
    HRESULT hr = clipper_->ClipToWindow(dest, visible);
    if (FAILED(hr)) return hr;
    visible.left = std::max(visible.left, LONG(0));
    visible.top = std::max(visible.top, LONG(0));
    visible.right = std::min(visible.right, LONG(Width()));
    visible.bottom = std::min(visible.bottom, LONG(Height()));
    return DD_OK;
}

void Surface::CopyArea(const Surface& source, const RECT& sourceRect, const RECT& dest, const RECT& visible,
                       bool keyed) {
    const int bytes = BytesPerPixel();
    const DWORD key = source.colorKey_.dwColorSpaceLowValue & PixelMask(bytes);
    const bool sameStore = source.store_ == store_;
    PixelView target = ViewOf(*store_, visible);
    if (RectWidth(sourceRect) == RectWidth(dest) && RectHeight(sourceRect) == RectHeight(dest)) {
        // Unstretched: the source part that lands on the visible part of dest.
        RECT part = {sourceRect.left + (visible.left - dest.left), sourceRect.top + (visible.top - dest.top),
                     0, 0};
        part.right = part.left + RectWidth(visible);
        part.bottom = part.top + RectHeight(visible);
        if (!keyed) {
            CopyPixels(ConstViewOf(*source.store_, part), target, bytes); // orders overlapping rows itself
            return;
        }
        bool aside = sameStore && Overlap(part, visible);
        ConstPixelView from = aside ? CopyAside(*source.store_, part) : ConstViewOf(*source.store_, part);
        CopyPixelsKeyed(from, target, bytes, key);
        return;
    }
    bool aside = sameStore && Overlap(sourceRect, visible);
    ConstPixelView from =
        aside ? CopyAside(*source.store_, sourceRect) : ConstViewOf(*source.store_, sourceRect);
    StretchTarget stretch = {target, RectWidth(dest), RectHeight(dest), int(visible.left - dest.left),
                             int(visible.top - dest.top)};
    StretchPixels(from, stretch, bytes, keyed, key);
}

void Surface::PresentIfVisible() {
    // Only the surface on screen is shown: the windowed primary (the desktop) or the front buffer.
    if (!(caps_ & DDSCAPS_VISIBLE) || lost_) return;
    PresentStore(*store_, format_, palette_ ? palette_->Entries() : nullptr, !windowed_);
}

HRESULT Surface::Blt(LPCRECT destRect, IDirectDrawSurface* source, LPCRECT sourceRect, DWORD flags,
                     LPDDBLTFX fx) {
    if (flags & ~(DDBLT_WAIT | DDBLT_KEYSRC | DDBLT_COLORFILL)) return DDERR_INVALIDPARAMS;
    HRESULT hr = CheckUsable();
    if (FAILED(hr)) return hr;
    RECT dest = destRect ? *destRect : RECT{0, 0, Width(), Height()};
    RECT visible;
    hr = ClipDestination(dest, visible);
    if (FAILED(hr)) return hr;

    if (flags & DDBLT_COLORFILL) {
        if (!fx || fx->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
        if (IsEmpty(visible)) return DD_OK;
        FillPixels(ViewOf(*store_, visible), BytesPerPixel(), fx->dwFillColor);
        PresentIfVisible();
        return DD_OK;
    }

    Surface* from = SurfaceFrom(source);
    if (!from) return DDERR_INVALIDPARAMS;
    if (from != this) {
        hr = from->CheckUsable();
        if (FAILED(hr)) return hr;
    }
    RECT fromRect = sourceRect ? *sourceRect : RECT{0, 0, from->Width(), from->Height()};
    if (!FitsInside(fromRect, from->Width(), from->Height())) return DDERR_INVALIDRECT;
    if (from->BytesPerPixel() != BytesPerPixel() || from->zBufferDepth_ != zBufferDepth_)
        return DDERR_INVALIDPIXELFORMAT;
    bool keyed = (flags & DDBLT_KEYSRC) != 0;
    if (keyed && !from->hasColorKey_) return DDERR_NOCOLORKEY;
    if (IsEmpty(visible)) return DD_OK; // wholly outside the window: nothing to draw or show
    CopyArea(*from, fromRect, dest, visible, keyed);
    PresentIfVisible();
    return DD_OK;
}

HRESULT Surface::BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, LPCRECT sourceRect, DWORD flags) {
    if (flags & ~(DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT)) return DDERR_INVALIDPARAMS;
    if (clipper_) return DDERR_BLTFASTCANTCLIP;
    HRESULT hr = CheckUsable();
    if (FAILED(hr)) return hr;
    Surface* from = SurfaceFrom(source);
    if (!from) return DDERR_INVALIDPARAMS;
    if (from != this) {
        hr = from->CheckUsable();
        if (FAILED(hr)) return hr;
    }
    RECT fromRect = sourceRect ? *sourceRect : RECT{0, 0, from->Width(), from->Height()};
    if (!FitsInside(fromRect, from->Width(), from->Height())) return DDERR_INVALIDRECT;
    // x and y are unsigned: a negative position arrives huge and is refused here.
    if (x > DWORD(Width()) || y > DWORD(Height()) || RectWidth(fromRect) > Width() - int(x) ||
        RectHeight(fromRect) > Height() - int(y))
        return DDERR_INVALIDRECT;
    if (from->BytesPerPixel() != BytesPerPixel() || from->zBufferDepth_ != zBufferDepth_)
        return DDERR_INVALIDPIXELFORMAT;
    bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) != 0;
    if (keyed && !from->hasColorKey_) return DDERR_NOCOLORKEY;
    RECT dest = {LONG(x), LONG(y), LONG(x) + RectWidth(fromRect), LONG(y) + RectHeight(fromRect)};
    CopyArea(*from, fromRect, dest, dest, keyed);
    PresentIfVisible();
    return DD_OK;
}

HRESULT Surface::Flip(IDirectDrawSurface* target, DWORD flags) {
    if (flags & ~DDFLIP_WAIT) return DDERR_INVALIDPARAMS;
    if (!IsChainRoot() || !(caps_ & DDSCAPS_FLIP)) return DDERR_NOTFLIPPABLE;
    if (primary_ && !driver_->exclusive) return DDERR_NOEXCLUSIVEMODE;
    HRESULT hr = CheckUsable();
    for (size_t i = 0; i < chain_.size() && SUCCEEDED(hr); ++i)
        hr = chain_[i]->CheckUsable();
    if (FAILED(hr)) return hr;
    if (target) {
        Surface* with = SurfaceFrom(target);
        if (!with || with->chainRoot_ != this) return DDERR_INVALIDPARAMS;
        std::swap(store_, with->store_);
    } else {
        // Each buffer takes the pixels of the one after it; the last takes the old front's, so with one
        // back buffer the two swap and the back buffer holds the frame before last.
        std::shared_ptr<PixelStore> front = store_;
        store_ = chain_.front()->store_;
        for (size_t i = 0; i + 1 < chain_.size(); ++i)
            chain_[i]->store_ = chain_[i + 1]->store_;
        chain_.back()->store_ = front;
    }
    PresentIfVisible();
    return DD_OK;
}

} // namespace host_ddraw
