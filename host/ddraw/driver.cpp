#include "host/ddraw/driver.h"

#include <new>

#include "host/ddraw/clipper.h"
#include "host/ddraw/display.h"
#include "host/ddraw/hooks.h"
#include "host/ddraw/palette.h"
#include "host/ddraw/surface.h"
#include "host/backend/machine.h"
#include "host/backend/present.h"

namespace host_ddraw {
namespace {

// The description EnumDisplayModes and GetDisplayMode give of a mode.
DDSURFACEDESC DescribeMode(const DisplayMode& mode) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(DDSURFACEDESC);
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc.dwWidth = DWORD(mode.width);
    desc.dwHeight = DWORD(mode.height);
    desc.lPitch = PixelStore::PitchFor(mode.width, BytesForBits(DWORD(mode.bits)));
    desc.ddpfPixelFormat = FormatOfMode(mode);
    return desc;
}

bool MatchesFilter(const DDSURFACEDESC& mode, const DDSURFACEDESC* filter) {
    if (!filter) return true;
    if ((filter->dwFlags & DDSD_WIDTH) && filter->dwWidth != mode.dwWidth) return false;
    if ((filter->dwFlags & DDSD_HEIGHT) && filter->dwHeight != mode.dwHeight) return false;
    if ((filter->dwFlags & DDSD_PIXELFORMAT) &&
        filter->ddpfPixelFormat.dwRGBBitCount != mode.ddpfPixelFormat.dwRGBBitCount)
        return false;
    return true;
}

void FillCaps(DDCAPS& caps, DWORD flags, DWORD total, DWORD free) {
    caps.dwCaps = flags;
    caps.dwVidMemTotal = total;
    caps.dwVidMemFree = free;
}

} // namespace

DirectDrawObject::DirectDrawObject(int display, bool has3D) : state_(std::make_shared<DriverState>()) {
    state_->display = display;
    state_->has3D = has3D;
    CountLive(kDirectDrawKind, +1);
}

DirectDrawObject::~DirectDrawObject() {
    // Whoever leaves exclusive mode gives the desktop back its mode.
    ReleaseExclusive(state_.get());
    state_->exclusive = false;
    state_->levelSet = false;
    CountLive(kDirectDrawKind, -1);
}

HRESULT DirectDrawObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectDraw)) {
        *out = static_cast<IDirectDraw*>(this);
    } else if (IsEqualGUID(iid, IID_IDirectDraw2)) {
        *out = static_cast<IDirectDraw2*>(this);
    } else if (IsEqualGUID(iid, IID_IDirectDraw7)) {
        *out = static_cast<IDirectDraw7*>(this);
    } else if (HostDDrawDriverQueryHook hook = DriverQueryHook()) {
        return hook(static_cast<IDirectDraw*>(this), iid, out);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT DirectDrawObject::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
    if (!clipper) return DDERR_INVALIDPARAMS;
    *clipper = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (flags != 0) return DDERR_INVALIDPARAMS;
    *clipper = new Clipper();
    return DD_OK;
}

HRESULT DirectDrawObject::CreatePalette(DWORD flags, const PALETTEENTRY* entries,
                                        LPDIRECTDRAWPALETTE* palette, IUnknown* outer) {
    if (!palette) return DDERR_INVALIDPARAMS;
    *palette = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!(flags & DDPCAPS_8BIT) || (flags & ~(DDPCAPS_8BIT | DDPCAPS_ALLOW256)) || !entries)
        return DDERR_INVALIDPARAMS;
    *palette = new Palette(entries);
    return DD_OK;
}

HRESULT DirectDrawObject::CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) {
    if (!surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    return CreateSurfaces(state_, *desc, surface);
}

HRESULT DirectDrawObject::EnumDisplayModes(DWORD flags, LPDDSURFACEDESC filter, LPVOID context,
                                           LPDDENUMMODESCALLBACK callback) {
    (void)flags; // no enumeration options are offered
    if (!callback) return DDERR_INVALIDPARAMS;
    if (filter && filter->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    for (const DisplayMode& mode : MachineModes()) {
        DDSURFACEDESC desc = DescribeMode(mode);
        if (!MatchesFilter(desc, filter)) continue;
        if (callback(&desc, context) == 0) break;
    }
    return DD_OK;
}

HRESULT DirectDrawObject::GetCaps(LPDDCAPS hardware, LPDDCAPS emulation) {
    if (!hardware && !emulation) return DDERR_INVALIDPARAMS;
    if ((hardware && hardware->dwSize != sizeof(DDCAPS)) ||
        (emulation && emulation->dwSize != sizeof(DDCAPS)))
        return DDERR_INVALIDPARAMS;
    // Emulation draws in system memory: no 3D and no video memory of its own.
    if (hardware) FillCaps(*hardware, state_->has3D ? DDCAPS_3D : 0, TotalVideoMemory(), FreeVideoMemory());
    if (emulation) FillCaps(*emulation, 0, 0, 0);
    return DD_OK;
}

HRESULT DirectDrawObject::GetDisplayMode(LPDDSURFACEDESC desc) {
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    *desc = DescribeMode(CurrentMode());
    return DD_OK;
}

HRESULT DirectDrawObject::RestoreDisplayMode() {
    // The backend leaves full screen only when this object owned the mode.
    if (RestoreMode(state_.get())) {
        HostRestoreScreenMode();
        HostSetFullScreen(false);
    }
    return DD_OK;
}

HRESULT DirectDrawObject::SetCooperativeLevel(HWND window, DWORD flags) {
    const DWORD known = DDSCL_NORMAL | DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWREBOOT;
    bool normal = (flags & DDSCL_NORMAL) != 0;
    bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    bool fullscreen = (flags & DDSCL_FULLSCREEN) != 0;
    // Exactly one of normal and exclusive; exclusive goes with full screen and a window.
    if ((flags & ~known) || normal == exclusive || exclusive != fullscreen) return DDERR_INVALIDPARAMS;
    if (exclusive) {
        if (!window) return DDERR_INVALIDPARAMS;
        if (!ClaimExclusive(state_.get())) return DDERR_EXCLUSIVEMODEALREADYSET;
    } else {
        ReleaseExclusive(state_.get());
    }
    state_->exclusive = exclusive;
    state_->window = window;
    state_->levelSet = true;
    return DD_OK;
}

HRESULT DirectDrawObject::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
    if (!state_->exclusive) return DDERR_NOEXCLUSIVEMODE;
    DisplayMode mode;
    if (width > DWORD(kMaxSurfaceSide) || height > DWORD(kMaxSurfaceSide) ||
        !FindMachineMode(int(width), int(height), int(bitsPerPixel), mode))
        return DDERR_INVALIDMODE;
    ChangeMode(state_.get(), mode);
    // The screen metrics follow the mode, and the backend shows the program full screen.
    HostSetScreenMode(mode.width, mode.height, mode.bits);
    HostSetFullScreen(true);
    return DD_OK;
}

HRESULT DirectDrawObject::GetAvailableVidMem(LPDDSCAPS caps, LPDWORD total, LPDWORD free) {
    if (!caps) return DDERR_INVALIDPARAMS;
    if (caps->dwCaps & DDSCAPS_SYSTEMMEMORY) return DDERR_INVALIDCAPS;
    if (total) *total = TotalVideoMemory();
    if (free) *free = FreeVideoMemory();
    return DD_OK;
}

} // namespace host_ddraw
