// The display driver: DirectDraw objects, display modes, cooperative levels, surfaces, flip chains,
// clippers, palettes and colour keys.
//
// - The machine (host/backend/machine.h) decides the desktop, the display modes, the video memory and
//   whether the driver offers 3D. The primary display is enumerated with a NULL GUID; secondary
//   displays (tests only) have GUIDs whose addresses never change.
// - Surfaces hold their pixels in memory with a row pitch wider than width x bytes per pixel; always
//   address rows by the pitch that Lock reports. New surfaces are zero-filled.
// - A primary surface made at the normal cooperative level is the whole desktop in screen coordinates;
//   a clipper bound to a window keeps blits into it inside the window's client area, and each blit that
//   draws into it is presented. In exclusive full-screen mode the primary is a flip chain whose Flip
//   swaps the pixel stores of the front and back buffers (after a flip the back buffer holds the frame
//   before last) and presents the new front buffer.
// - Blt and BltFast copy raw pixel values between surfaces of the same depth (no format conversion):
//   plain, with the source colour key (compared with the raw pixel), stretched (nearest pixel) when the
//   rectangles differ in size, and within one surface even when the rectangles overlap. Rectangles that
//   are empty, inverted or reach outside their surface are refused with DDERR_INVALIDRECT; only a
//   primary's clipper clips.
// - Every structure passed in carries dwSize = sizeof(that structure); other sizes are refused with
//   DDERR_INVALIDPARAMS.
#pragma once

#include "host/base/export.h"
#include "host/base/guid.h"
#include "host/base/results.h"
#include "host/base/types.h"
#include "host/base/unknown.h"

// Interface identifiers.
HOST_DECLARE_GUID(IID_IDirectDraw);
HOST_DECLARE_GUID(IID_IDirectDraw2);
HOST_DECLARE_GUID(IID_IDirectDraw7);
HOST_DECLARE_GUID(IID_IDirectDrawSurface);
HOST_DECLARE_GUID(IID_IDirectDrawClipper);
HOST_DECLARE_GUID(IID_IDirectDrawPalette);

// Surface description fields that are valid (DDSURFACEDESC::dwFlags).
#define DDSD_CAPS            0x00000001
#define DDSD_HEIGHT          0x00000002
#define DDSD_WIDTH           0x00000004
#define DDSD_PITCH           0x00000008
#define DDSD_BACKBUFFERCOUNT 0x00000020
#define DDSD_ZBUFFERBITDEPTH 0x00000040
#define DDSD_PIXELFORMAT     0x00001000
#define DDSD_CKSRCBLT        0x00010000
#define DDSD_MIPMAPCOUNT     0x00020000

// Surface capabilities (DDSCAPS::dwCaps).
#define DDSCAPS_BACKBUFFER     0x00000004
#define DDSCAPS_COMPLEX        0x00000008
#define DDSCAPS_FLIP           0x00000010
#define DDSCAPS_OFFSCREENPLAIN 0x00000040
#define DDSCAPS_PRIMARYSURFACE 0x00000200
#define DDSCAPS_SYSTEMMEMORY   0x00000800
#define DDSCAPS_TEXTURE        0x00001000
#define DDSCAPS_3DDEVICE       0x00002000
#define DDSCAPS_VIDEOMEMORY    0x00004000
#define DDSCAPS_VISIBLE        0x00008000
#define DDSCAPS_ZBUFFER        0x00020000
#define DDSCAPS_MODEX          0x00200000
#define DDSCAPS_MIPMAP         0x00400000
#define DDSCAPS_ALLOCONLOAD    0x04000000

// Pixel format flags (DDPIXELFORMAT::dwFlags).
#define DDPF_ALPHAPIXELS     0x00000001
#define DDPF_PALETTEINDEXED8 0x00000020
#define DDPF_RGB             0x00000040

// Driver capabilities (DDCAPS::dwCaps).
#define DDCAPS_3D 0x00000001

// Bit depths as sets of bits (the 3D device descriptions list render and Z-buffer depths this way).
#define DDBD_8  0x00000800
#define DDBD_16 0x00000400
#define DDBD_24 0x00000200
#define DDBD_32 0x00000100

// Cooperative levels.
#define DDSCL_FULLSCREEN  0x00000001
#define DDSCL_ALLOWREBOOT 0x00000002
#define DDSCL_NORMAL      0x00000008
#define DDSCL_EXCLUSIVE   0x00000010

// Blt flags.
#define DDBLT_COLORFILL 0x00000400
#define DDBLT_KEYSRC    0x00008000
#define DDBLT_WAIT      0x01000000

// BltFast flags.
#define DDBLTFAST_NOCOLORKEY  0x00000000
#define DDBLTFAST_SRCCOLORKEY 0x00000001
#define DDBLTFAST_WAIT        0x00000010

// Lock and Flip flags.
#define DDLOCK_WAIT 0x00000001
#define DDFLIP_WAIT 0x00000001

// Colour key kinds (SetColorKey/GetColorKey).
#define DDCKEY_SRCBLT 0x00000008

// Palette capabilities (CreatePalette).
#define DDPCAPS_8BIT     0x00000004
#define DDPCAPS_ALLOW256 0x00000400

struct DDSCAPS {
    DWORD dwCaps;
};
typedef DDSCAPS* LPDDSCAPS;

struct DDPIXELFORMAT {
    DWORD dwSize; // sizeof(DDPIXELFORMAT)
    DWORD dwFlags;
    DWORD dwRGBBitCount; // 8, 16, 24 or 32
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};
typedef DDPIXELFORMAT* LPDDPIXELFORMAT;

// A source colour key: pixels whose raw value equals the low value are not copied.
struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};
typedef DDCOLORKEY* LPDDCOLORKEY;

struct DDSURFACEDESC {
    DWORD dwSize; // sizeof(DDSURFACEDESC)
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch; // bytes from one row to the next
    DWORD dwBackBufferCount;
    DWORD dwMipMapCount;
    DWORD dwZBufferBitDepth; // 16, 24 or 32
    LPVOID lpSurface;        // set by Lock
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};
typedef DDSURFACEDESC* LPDDSURFACEDESC;

struct DDCAPS {
    DWORD dwSize; // sizeof(DDCAPS)
    DWORD dwCaps;
    DWORD dwVidMemTotal;
    DWORD dwVidMemFree;
};
typedef DDCAPS* LPDDCAPS;

struct DDBLTFX {
    DWORD dwSize;      // sizeof(DDBLTFX)
    DWORD dwFillColor; // raw pixel value for DDBLT_COLORFILL
};
typedef DDBLTFX* LPDDBLTFX;

// DirectDrawEnumerateA callback: return 1 to go on, 0 to stop. guid is NULL for the primary display.
typedef BOOL (*LPDDENUMCALLBACKA)(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context);
// EnumDisplayModes callback, one call per mode (dwWidth, dwHeight, lPitch, ddpfPixelFormat): return 1
// to go on, 0 to stop.
typedef HRESULT (*LPDDENUMMODESCALLBACK)(LPDDSURFACEDESC mode, LPVOID context);

class IDirectDrawClipper : public IUnknown {
  public:
    // Binds the clipper to a window: blits into a surface that holds it are clipped to the window's
    // client area (in screen coordinates). flags must be 0.
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;
};
typedef IDirectDrawClipper* LPDIRECTDRAWCLIPPER;

class IDirectDrawPalette : public IUnknown {
  public:
    // Copies count entries from index start into entries (start + count <= 256). flags must be 0.
    virtual HRESULT GetEntries(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY entries) = 0;
    // Replaces count entries from index start (start + count <= 256). flags must be 0.
    virtual HRESULT SetEntries(DWORD flags, DWORD start, DWORD count, const PALETTEENTRY* entries) = 0;
};
typedef IDirectDrawPalette* LPDIRECTDRAWPALETTE;

class IDirectDrawSurface : public IUnknown {
  public:
    // Attaches a Z-buffer of the same size; the surface keeps a reference until it is destroyed.
    virtual HRESULT AddAttachedSurface(IDirectDrawSurface* zbuffer) = 0;
    // Copies sourceRect of source to destRect of this surface (NULL rectangles: the whole surface),
    // stretching when the sizes differ; DDBLT_KEYSRC skips pixels equal to the source's key;
    // DDBLT_COLORFILL fills destRect with fx->dwFillColor instead (source unused). Surfaces of different
    // depths give DDERR_INVALIDPIXELFORMAT; DDBLT_KEYSRC from a source without a key DDERR_NOCOLORKEY.
    // With a clipper the part outside the window is cut away (nothing drawn is not an error).
    virtual HRESULT Blt(LPCRECT destRect, IDirectDrawSurface* source, LPCRECT sourceRect, DWORD flags,
                        LPDDBLTFX fx) = 0;
    // Copies sourceRect of source (NULL: all of it) unstretched to (x, y); DDBLTFAST_SRCCOLORKEY uses
    // the source's key. Refused on a surface with a clipper (DDERR_BLTFASTCANTCLIP).
    virtual HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, LPCRECT sourceRect,
                            DWORD flags) = 0;
    // On the front of a flip chain: the next buffer becomes the front (target NULL) or target does;
    // the pixel stores rotate, the surface objects keep their roles.
    virtual HRESULT Flip(IDirectDrawSurface* target, DWORD flags) = 0;
    // Finds the attached surface whose caps include all of caps->dwCaps (a flip chain's next buffer,
    // a mip chain's next level, the Z-buffer) and adds a reference to it; DDERR_NOTFOUND when none.
    virtual HRESULT GetAttachedSurface(LPDDSCAPS caps, IDirectDrawSurface** attached) = 0;
    virtual HRESULT GetCaps(LPDDSCAPS caps) = 0;
    // DDERR_NOCOLORKEY when no key of that kind is set.
    virtual HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
    // A device context drawing into the surface (8- and 16-bit surfaces); the surface counts as locked
    // until ReleaseDC. Fails while locked (DDERR_SURFACEBUSY) or lost.
    virtual HRESULT GetDC(HDC* dc) = 0;
    // The attached palette with a reference added; DDERR_NOPALETTEATTACHED when none.
    virtual HRESULT GetPalette(LPDIRECTDRAWPALETTE* palette) = 0;
    virtual HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) = 0;
    // DD_OK, or DDERR_SURFACELOST when the surface's memory was taken away (see Restore).
    virtual HRESULT IsLost() = 0;
    // Gives the pixels of rect (NULL: the whole surface) in desc->lpSurface with the pitch in
    // desc->lPitch, until Unlock. One lock at a time (DDERR_SURFACEBUSY).
    virtual HRESULT Lock(LPCRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    // Gives a lost surface (and the buffers of its chain) its memory back, zero-filled; the pixels
    // must be drawn again. DDERR_WRONGMODE for a primary made in another display mode.
    virtual HRESULT Restore() = 0;
    // Holds clipper (a reference; NULL removes it).
    virtual HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) = 0;
    // flags DDCKEY_SRCBLT; key NULL removes the key.
    virtual HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
    // Holds palette (a reference; NULL removes it); 8-bit surfaces only (DDERR_INVALIDPIXELFORMAT).
    virtual HRESULT SetPalette(LPDIRECTDRAWPALETTE palette) = 0;
    virtual HRESULT Unlock(LPVOID pixels) = 0;
};
typedef IDirectDrawSurface* LPDIRECTDRAWSURFACE;

class IDirectDraw : public IUnknown {
  public:
    // flags must be 0.
    virtual HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) = 0;
    // flags DDPCAPS_8BIT (| DDPCAPS_ALLOW256); entries: 256 colours.
    virtual HRESULT CreatePalette(DWORD flags, const PALETTEENTRY* entries, LPDIRECTDRAWPALETTE* palette,
                                  IUnknown* outer) = 0;
    // Creates a primary surface (caps DDSCAPS_PRIMARYSURFACE, no size; with DDSCAPS_FLIP |
    // DDSCAPS_COMPLEX and DDSD_BACKBUFFERCOUNT a flip chain, exclusive mode only), an off-screen
    // surface or texture (size required; display format unless DDSD_PIXELFORMAT), a mip chain
    // (DDSCAPS_MIPMAP | DDSCAPS_COMPLEX) or a Z-buffer (DDSCAPS_ZBUFFER and DDSD_ZBUFFERBITDEPTH).
    // DDSCAPS_VIDEOMEMORY surfaces use the machine's free video memory (DDERR_OUTOFVIDEOMEMORY);
    // surfaces that name no memory live in system memory.
    virtual HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) = 0;
    // Calls callback for each display mode of the machine that matches filter (NULL: all).
    virtual HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC filter, LPVOID context,
                                     LPDDENUMMODESCALLBACK callback) = 0;
    // Hardware (DDCAPS_3D, video memory) and emulation capabilities; either may be NULL.
    virtual HRESULT GetCaps(LPDDCAPS hardware, LPDDCAPS emulation) = 0;
    // The current display mode: width, height, pitch, pixel format.
    virtual HRESULT GetDisplayMode(LPDDSURFACEDESC desc) = 0;
    // Back to the desktop's mode if this object changed it.
    virtual HRESULT RestoreDisplayMode() = 0;
    // DDSCL_NORMAL (window may be NULL) or DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN (| DDSCL_ALLOWREBOOT).
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    // Switches to one of the machine's modes; exclusive mode only. Primary and video-memory surfaces
    // are lost.
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) = 0;
};
typedef IDirectDraw* LPDIRECTDRAW;

class IDirectDraw2 : public IUnknown {
  public:
    // Total and free video memory for surfaces of the given caps (NULL outputs are skipped).
    virtual HRESULT GetAvailableVidMem(LPDDSCAPS caps, LPDWORD total, LPDWORD free) = 0;
};
typedef IDirectDraw2* LPDIRECTDRAW2;

// The newest interface of the DirectDraw object; programs only ask for it to learn that the platform
// is recent enough.
class IDirectDraw7 : public IUnknown {};
typedef IDirectDraw7* LPDIRECTDRAW7;

// Creates a DirectDraw object on the display named by guid (NULL: the primary display). outer must
// be NULL.
HOST_API HRESULT DirectDrawCreate(GUID* guid, LPDIRECTDRAW* directDraw, IUnknown* outer);
// Calls callback for the primary display (NULL GUID), then each secondary display, until it returns 0.
HOST_API HRESULT DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context);
#define DirectDrawEnumerate DirectDrawEnumerateA
