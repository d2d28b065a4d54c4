// Pixel-level work on locked surfaces: texture conversion between 16-bit RGB and 8-bit palettised form,
// the box filter that fills software mip levels, reduced copies, the row copy with optional mirroring of
// the mirror viewport, and the tile cutter QuibSubdivideSurface (exported, in quib/quib.h).
//
// Surfaces made here are system-memory textures on the engine's DirectDraw object (g_lpDD), each with
// one reference for the caller. The 16-bit routines read and write 16-bit words and refuse other depths.
// DirectDraw failures are reported with file and line and end the operation with 0.
#pragma once

#include "host/base/types.h"
#include "host/ddraw/ddraw.h"
#include "quib/ptrarray.h"

// One colour channel of a pixel format: value = (pixel & mask) >> shift, width bits wide.
struct PixelChannel {
    DWORD mask;
    int shift;
    int width;
};
// shift = trailing zero bits of mask, width = the run of one bits above them (0, 0 for an empty mask).
PixelChannel DecodeChannel(DWORD mask);

// A 16-bit surface as an exact 8-bit palettised copy: each new colour (expanded to 8 bits per channel
// with zero low bits) gets the next palette entry in row order; once 256 are taken, further new colours
// map to 255. A source key becomes the index of its colour (no key when the colour is not in the
// picture). *out is NULL first; 1 with the copy in *out, or 0 (also for a surface that is not 16-bit).
int ConvertSurface(IDirectDrawSurface* source, IDirectDrawSurface** out);
// An 8-bit palettised surface as a copy in the display's format (16-bit): index 0 becomes 0, any other
// index whose colour comes out 0 becomes 1, so only index 0 is transparent; source key 0. *out is NULL
// first; 1 with the copy in *out, or 0 (no palette, not 8-bit, a display that is not 16-bit).
int ConvertSurfaceToRGBA(IDirectDrawSurface* source, IDirectDrawSurface** out);
// With an alpha texture format on the device: ConvertSurface's result. Without: *out NULL and 0.
int ConvertSurfaceForAlpha(IDirectDrawSurface* source, IDirectDrawSurface** out);
// An alpha texture of the 8-bit source's size in the device's alpha texture format
// (g_AlphaTextureFormat): every pixel the colour (red, green, blue), its alpha the pixel's palette index
// (each cut to its channel's width). The four channel layouts go to the debug log. 16-, 24- and 32-bit
// formats are written; others stay zero. The new surface, or NULL (not 8-bit, no alpha format, failure).
IDirectDrawSurface* Convert8BitPalettizedToAlpha(IDirectDrawSurface* source, int red, int green, int blue);
// 1 when the surface has 8 bits per pixel, else 0 (also for NULL or an unreadable description).
int IsPalettizedSurface(IDirectDrawSurface* surface);

// Box-filters a 16-bit source into a 16-bit destination that is the source halved a whole number of
// times on each axis (destination at least 1 x 1): each destination pixel averages its block of source
// pixels per channel (integer division), but a block holding a black pixel (r = g = b = 0, the
// transparent colour of keyed textures) stays black. dd is not used. 1, or 0 for unrelated sizes or
// other depths.
int CopySurfaceScaled(IDirectDraw* dd, IDirectDrawSurface* source, IDirectDrawSurface* destination);
// A new surface of the source's format at (width >> shift, height >> shift) with the source's palette
// when palettised, filled by CopySurfaceScaled. A NULL source gives *out NULL and 1. 0 on failure.
int CreateReducedSurface(IDirectDrawSurface* source, IDirectDrawSurface** out, int shift);
// A complex system-memory mip-map texture in the display's format of source's size with
// CountMipLevels(width) levels: the top filled from source, each further level stretched from the one
// above. Each attached level is appended to levels (when given) with a reference for the list's owner.
// The top surface (one reference for the caller), or NULL with the failure reported.
IDirectDrawSurface* BuildMipChain(IDirectDraw* dd, IDirectDrawSurface* source,
                                  PtrArray<IDirectDrawSurface>* levels);
// Levels of a mip chain from width n down to 8: halvings while the result is at least 4, minus one;
// at least 1 (256 gives 5).
int CountMipLevels(int n);

// Copies the source rectangle's pixels (16-bit) to the destination rectangle's top-left corner, each
// row left to right, or right to left when mirror is set. Only the destination's top-left is used; the
// part that falls outside either surface is not copied. 1, or 0 for other depths or a lock failure.
int MirrorSurfaceCopy(IDirectDrawSurface* source, IDirectDrawSurface* destination, const RECT* sourceRect,
                      const RECT* destinationRect, int mirror);

// A surface locked whole (waiting) for the length of a scope; unlocked at the end unless Unlock ran.
class SurfaceLock {
  public:
    explicit SurfaceLock(IDirectDrawSurface* surface);
    ~SurfaceLock() { Unlock(); }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

    HRESULT Result() const { return result_; }
    // DD_OK when not locked (any more).
    HRESULT Unlock();
    const DDSURFACEDESC& Desc() const { return desc_; }
    int Width() const { return int(desc_.dwWidth); }
    int Height() const { return int(desc_.dwHeight); }
    WORD* Row16(int y) const {
        return reinterpret_cast<WORD*>(static_cast<BYTE*>(desc_.lpSurface) + ptrdiff_t(y) * desc_.lPitch);
    }
    BYTE* Row8(int y) const { return static_cast<BYTE*>(desc_.lpSurface) + ptrdiff_t(y) * desc_.lPitch; }

  private:
    IDirectDrawSurface* surface_;
    DDSURFACEDESC desc_ = {};
    HRESULT result_;
    bool locked_;
};

// A system-memory texture of width x height on g_lpDD: in format, or the display's format when format
// is NULL. DD_OK with the surface in *out, or the failure (not reported).
HRESULT CreateSystemTexture(int width, int height, const DDPIXELFORMAT* format, IDirectDrawSurface** out);
