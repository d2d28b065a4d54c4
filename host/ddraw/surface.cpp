#include "host/ddraw/surface.h"

#include <algorithm>

#include "host/ddraw/clipper.h"
#include "host/ddraw/display.h"
#include "host/ddraw/driver.h"
#include "host/ddraw/hooks.h"
#include "host/ddraw/palette.h"
#include "host/gdi/pixeltarget.h"

namespace host_ddraw {
namespace {

// Flip chains have 1 to this many back buffers.
constexpr DWORD kMaxBackBuffers = 3;

// Releases an interface held in p and clears p.
template <class T> void Drop(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

// Replaces a held reference with another (either may be NULL).
template <class T> void Hold(T*& held, T* replacement) {
    if (replacement) replacement->AddRef();
    Drop(held);
    held = replacement;
}

HRESULT ReadSize(const DDSURFACEDESC& desc, int& width, int& height) {
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (desc.dwWidth == 0 || desc.dwHeight == 0) return DDERR_INVALIDPARAMS;
    if (desc.dwWidth > DWORD(kMaxSurfaceSide) || desc.dwHeight > DWORD(kMaxSurfaceSide))
        return DDERR_TOOBIGSIZE;
    width = int(desc.dwWidth);
    height = int(desc.dwHeight);
    return DD_OK;
}

// How many levels a complete mip chain of that size has (down to 1 x 1).
int MaxMipLevels(int width, int height) {
    int levels = 1;
    for (int side = std::max(width, height); side > 1; side >>= 1)
        ++levels;
    return levels;
}

// The memory kind a surface reports: video memory only when asked for by name.
DWORD MemoryCaps(DWORD caps) {
    return (caps & DDSCAPS_VIDEOMEMORY) ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
}

// Allocates the stores of setups (sizes given as width x height of each) and the video memory they
// need, then makes the surfaces; the first is the root of the others.
HRESULT MakeSurfaces(std::vector<SurfaceSetup>& setups, const std::vector<std::pair<int, int>>& sizes,
                     int bytesPerPixel, IDirectDrawSurface** out) {
    size_t videoBytes = 0;
    for (size_t i = 0; i < setups.size(); ++i) {
        if (!setups[i].store)
            setups[i].store = PixelStore::Create(sizes[i].first, sizes[i].second, bytesPerPixel);
        if (!setups[i].store) return DDERR_OUTOFMEMORY;
        if (setups[i].videoMemory) videoBytes += setups[i].store->PictureBytes();
    }
    if (videoBytes && !ReserveVideoMemory(videoBytes)) return DDERR_OUTOFVIDEOMEMORY;
    Surface* root = new Surface(setups[0]);
    for (size_t i = 1; i < setups.size(); ++i)
        (new Surface(setups[i]))->JoinChain(root);
    *out = root;
    return DD_OK;
}

HRESULT CreatePrimary(const std::shared_ptr<DriverState>& driver, const DDSURFACEDESC& desc, DWORD caps,
                      IDirectDrawSurface** out) {
    if (!driver->levelSet) return DDERR_NOCOOPERATIVELEVELSET;
    if (driver->primary) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    // The primary is the screen: its size and format are the display mode's.
    if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
    if (caps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_ZBUFFER | DDSCAPS_MIPMAP)) return DDERR_INVALIDCAPS;
    DWORD backBuffers = 0;
    if (caps & DDSCAPS_FLIP) {
        if (!(caps & DDSCAPS_COMPLEX) || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) ||
            desc.dwBackBufferCount < 1 || desc.dwBackBufferCount > kMaxBackBuffers)
            return DDERR_INVALIDPARAMS;
        if (!driver->exclusive) return DDERR_NOEXCLUSIVEMODE;
        backBuffers = desc.dwBackBufferCount;
    } else if (caps & DDSCAPS_COMPLEX) {
        return DDERR_INVALIDCAPS;
    }
    DisplayMode mode = driver->exclusive ? CurrentMode() : DesktopMode();
    SurfaceSetup front = {driver, nullptr, FormatOfMode(mode), caps | DDSCAPS_VISIBLE | DDSCAPS_VIDEOMEMORY};
    front.primary = true;
    front.windowed = !driver->exclusive;
    if (front.windowed) {
        front.store = DesktopStore();
        if (!front.store) return DDERR_OUTOFMEMORY;
    }
    std::vector<SurfaceSetup> setups = {front};
    std::vector<std::pair<int, int>> sizes(1 + backBuffers, {mode.width, mode.height});
    const DWORD inherited = DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE | DDSCAPS_MODEX;
    for (DWORD i = 0; i < backBuffers; ++i) {
        SurfaceSetup back = {driver, nullptr, front.format, (caps & inherited) | DDSCAPS_VIDEOMEMORY};
        if (i == 0) back.caps |= DDSCAPS_BACKBUFFER;
        back.primary = true;
        setups.push_back(back);
    }
    HRESULT hr = MakeSurfaces(setups, sizes, BytesForBits(DWORD(mode.bits)), out);
    if (SUCCEEDED(hr)) driver->primary = SurfaceFrom(*out);
    return hr;
}

HRESULT CreateZBuffer(const std::shared_ptr<DriverState>& driver, const DDSURFACEDESC& desc, DWORD caps,
                      IDirectDrawSurface** out) {
    int width, height;
    HRESULT hr = ReadSize(desc, width, height);
    if (FAILED(hr)) return hr;
    DWORD depth = desc.dwZBufferBitDepth;
    if (!(desc.dwFlags & DDSD_ZBUFFERBITDEPTH) || (depth != 16 && depth != 24 && depth != 32))
        return DDERR_INVALIDPARAMS;
    // 24-bit depths are kept in 32-bit words, as rasterizers read them.
    int bytes = depth == 16 ? 2 : 4;
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwRGBBitCount = DWORD(bytes * 8);
    SurfaceSetup setup = {driver, nullptr, format, caps | MemoryCaps(caps), depth};
    setup.videoMemory = (caps & DDSCAPS_VIDEOMEMORY) != 0;
    std::vector<SurfaceSetup> setups = {setup};
    return MakeSurfaces(setups, {{width, height}}, bytes, out);
}

HRESULT CreateOffscreen(const std::shared_ptr<DriverState>& driver, const DDSURFACEDESC& desc, DWORD caps,
                        IDirectDrawSurface** out) {
    int width, height;
    HRESULT hr = ReadSize(desc, width, height);
    if (FAILED(hr)) return hr;
    DDPIXELFORMAT format = FormatOfMode(CurrentMode());
    if (desc.dwFlags & DDSD_PIXELFORMAT) {
        if (!IsSupportedFormat(desc.ddpfPixelFormat)) return DDERR_INVALIDPIXELFORMAT;
        format = desc.ddpfPixelFormat;
    }
    if (!(caps & ~(DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY))) caps |= DDSCAPS_OFFSCREENPLAIN;
    caps |= MemoryCaps(caps);
    // One surface, or a flip chain of equal buffers, or a mip chain of halving levels.
    std::vector<std::pair<int, int>> sizes = {{width, height}};
    DWORD memberCaps = caps;
    if (caps & DDSCAPS_FLIP) {
        if (!(caps & DDSCAPS_COMPLEX) || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) ||
            desc.dwBackBufferCount < 1 || desc.dwBackBufferCount > kMaxBackBuffers)
            return DDERR_INVALIDPARAMS;
        sizes.resize(1 + desc.dwBackBufferCount, {width, height});
    } else if ((caps & DDSCAPS_MIPMAP) && (caps & DDSCAPS_COMPLEX)) {
        int levels = MaxMipLevels(width, height);
        if (desc.dwFlags & DDSD_MIPMAPCOUNT) {
            if (desc.dwMipMapCount < 1 || desc.dwMipMapCount > DWORD(levels)) return DDERR_INVALIDPARAMS;
            levels = int(desc.dwMipMapCount);
        }
        for (int i = 1; i < levels; ++i)
            sizes.push_back({std::max(1, width >> i), std::max(1, height >> i)});
        memberCaps = caps & ~DDSCAPS_COMPLEX;
    } else if (caps & DDSCAPS_COMPLEX) {
        return DDERR_INVALIDCAPS;
    }
    std::vector<SurfaceSetup> setups;
    for (size_t i = 0; i < sizes.size(); ++i) {
        SurfaceSetup setup = {driver, nullptr, format, i == 0 ? caps : memberCaps};
        if (i == 1 && (caps & DDSCAPS_FLIP)) setup.caps |= DDSCAPS_BACKBUFFER;
        setup.videoMemory = (caps & DDSCAPS_VIDEOMEMORY) != 0;
        setups.push_back(setup);
    }
    hr = MakeSurfaces(setups, sizes, BytesForBits(format.dwRGBBitCount), out);
    if (SUCCEEDED(hr) && (desc.dwFlags & DDSD_CKSRCBLT))
        SurfaceFrom(*out)->SetColorKeyValue(desc.ddckCKSrcBlt.dwColorSpaceLowValue,
                                            desc.ddckCKSrcBlt.dwColorSpaceHighValue);
    return hr;
}

} // namespace

HRESULT CreateSurfaces(const std::shared_ptr<DriverState>& driver, const DDSURFACEDESC& desc,
                       IDirectDrawSurface** out) {
    DWORD caps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : 0;
    if ((caps & DDSCAPS_SYSTEMMEMORY) && (caps & DDSCAPS_VIDEOMEMORY)) return DDERR_INVALIDCAPS;
    if (caps & DDSCAPS_PRIMARYSURFACE) return CreatePrimary(driver, desc, caps, out);
    if (caps & DDSCAPS_ZBUFFER) return CreateZBuffer(driver, desc, caps, out);
    return CreateOffscreen(driver, desc, caps, out);
}

Surface* SurfaceFrom(IDirectDrawSurface* surface) {
    return dynamic_cast<Surface*>(surface);
}

Surface::Surface(SurfaceSetup setup)
    : driver_(std::move(setup.driver)), store_(std::move(setup.store)), format_(setup.format),
      caps_(setup.caps), zBufferDepth_(setup.zBufferDepth), primary_(setup.primary),
      windowed_(setup.windowed), videoMemory_(setup.videoMemory), modeGeneration_(ModeGeneration()) {
    if (videoMemory_) videoBytes_ = store_->PictureBytes();
    RegisterSurface(this);
    CountLive(kSurfaceKind, +1);
}

Surface::~Surface() {
    if (HostDDrawSurfaceGoneHook hook = SurfaceGoneHook()) hook(this);
    if (dc_) HostDeleteSurfaceDC(dc_);
    Drop(dcPalette_);
    Drop(palette_);
    Drop(clipper_);
    Drop(zbuffer_);
    // The other members of the chain were held by this root; they outlive it only if someone else
    // holds them, and then stand alone.
    std::vector<Surface*> members;
    members.swap(chain_);
    for (Surface* member : members) {
        member->chainRoot_ = nullptr;
        member->Release();
    }
    if (chainRoot_) {
        auto& siblings = chainRoot_->chain_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    if (driver_->primary == this) driver_->primary = nullptr;
    if (videoBytes_) ReturnVideoMemory(videoBytes_);
    UnregisterSurface(this);
    CountLive(kSurfaceKind, -1);
}

HRESULT Surface::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualGUID(iid, IID_IDirectDrawSurface) || IsEqualGUID(iid, IID_IUnknown)) {
        AddRef();
        *out = static_cast<IDirectDrawSurface*>(this);
        return S_OK;
    }
    // The 3D area answers for the devices and textures made on surfaces.
    if (HostDDrawSurfaceQueryHook hook = SurfaceQueryHook()) return hook(this, iid, out);
    *out = nullptr;
    return E_NOINTERFACE;
}

void Surface::JoinChain(Surface* root) {
    chainRoot_ = root;
    root->chain_.push_back(this);
}

void Surface::SetColorKeyValue(DWORD low, DWORD high) {
    hasColorKey_ = true;
    colorKey_.dwColorSpaceLowValue = low;
    colorKey_.dwColorSpaceHighValue = high;
}

Surface* Surface::NextInChain() const {
    const Surface* root = chainRoot_ ? chainRoot_ : this;
    if (root->chain_.empty()) return nullptr;
    if (root == this) return chain_.front();
    auto it = std::find(root->chain_.begin(), root->chain_.end(), this);
    if (it != root->chain_.end() && it + 1 != root->chain_.end()) return *(it + 1);
    // A flip chain is a ring: after the last back buffer comes the front again. A mip chain ends.
    return (root->caps_ & DDSCAPS_FLIP) ? const_cast<Surface*>(root) : nullptr;
}

HRESULT Surface::CheckUsable() const {
    if (lost_) return DDERR_SURFACELOST;
    if (access_ != Access::kFree) return DDERR_SURFACEBUSY;
    return DD_OK;
}

void Surface::FillDesc(DDSURFACEDESC& desc) const {
    DWORD size = desc.dwSize;
    desc = {};
    desc.dwSize = size;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc.dwWidth = DWORD(Width());
    desc.dwHeight = DWORD(Height());
    desc.lPitch = store_->Pitch();
    desc.ddpfPixelFormat = format_;
    desc.ddsCaps.dwCaps = caps_;
    if (zBufferDepth_) {
        desc.dwFlags |= DDSD_ZBUFFERBITDEPTH;
        desc.dwZBufferBitDepth = zBufferDepth_;
    }
    if (hasColorKey_) {
        desc.dwFlags |= DDSD_CKSRCBLT;
        desc.ddckCKSrcBlt = colorKey_;
    }
    if (IsChainRoot() && (caps_ & DDSCAPS_FLIP)) {
        desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = DWORD(chain_.size());
    }
    if (IsChainRoot() && (caps_ & DDSCAPS_MIPMAP)) {
        desc.dwFlags |= DDSD_MIPMAPCOUNT;
        desc.dwMipMapCount = DWORD(chain_.size() + 1);
    }
}

HRESULT Surface::AddAttachedSurface(IDirectDrawSurface* attachment) {
    Surface* zbuffer = SurfaceFrom(attachment);
    if (!zbuffer || zbuffer == this) return DDERR_INVALIDPARAMS;
    if (zbuffer == zbuffer_) return DDERR_SURFACEALREADYATTACHED;
    // Only a Z-buffer of the surface's own size can be attached, and only one.
    if (!zbuffer->zBufferDepth_ || zBufferDepth_ || zbuffer_ || zbuffer->Width() != Width() ||
        zbuffer->Height() != Height())
        return DDERR_CANNOTATTACHSURFACE;
    Hold(zbuffer_, zbuffer);
    return DD_OK;
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS caps, IDirectDrawSurface** attached) {
    if (!caps || !attached) return DDERR_INVALIDPARAMS;
    *attached = nullptr;
    DWORD wanted = caps->dwCaps;
    Surface* found = nullptr;
    Surface* next = NextInChain();
    if (next && (next->caps_ & wanted) == wanted)
        found = next;
    else if (zbuffer_ && (zbuffer_->caps_ & wanted) == wanted)
        found = zbuffer_;
    if (!found) return DDERR_NOTFOUND;
    found->AddRef();
    *attached = found;
    return DD_OK;
}

HRESULT Surface::GetCaps(LPDDSCAPS caps) {
    if (!caps) return DDERR_INVALIDPARAMS;
    caps->dwCaps = caps_;
    return DD_OK;
}

HRESULT Surface::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
    if (flags != DDCKEY_SRCBLT || !key) return DDERR_INVALIDPARAMS;
    if (!hasColorKey_) return DDERR_NOCOLORKEY;
    *key = colorKey_;
    return DD_OK;
}

HRESULT Surface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
    if (flags != DDCKEY_SRCBLT) return DDERR_INVALIDPARAMS;
    if (key)
        SetColorKeyValue(key->dwColorSpaceLowValue, key->dwColorSpaceHighValue);
    else
        hasColorKey_ = false;
    return DD_OK;
}

HRESULT Surface::GetDC(HDC* dc) {
    if (!dc) return DDERR_INVALIDPARAMS;
    *dc = nullptr;
    if (lost_) return DDERR_SURFACELOST;
    if (access_ == Access::kDeviceContext) return DDERR_DCALREADYCREATED;
    if (access_ == Access::kLocked) return DDERR_SURFACEBUSY;
    int bits = BytesPerPixel() * 8;
    if (zBufferDepth_ || (bits != 8 && bits != 16)) return DDERR_CANTCREATEDC;
    HostPixelTarget target = {store_->Row(0),
                              Width(),
                              Height(),
                              store_->Pitch(),
                              bits,
                              Is555(format_),
                              palette_ ? palette_->Entries() : nullptr};
    HDC made = HostCreateSurfaceDC(target);
    if (!made) return DDERR_CANTCREATEDC;
    // The context reads the palette's entries until it is released.
    Hold(dcPalette_, palette_);
    dc_ = made;
    access_ = Access::kDeviceContext;
    *dc = made;
    return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC dc) {
    if (access_ != Access::kDeviceContext) return DDERR_NODC;
    if (dc != dc_) return DDERR_INVALIDPARAMS;
    HostDeleteSurfaceDC(dc_);
    dc_ = nullptr;
    Drop(dcPalette_);
    access_ = Access::kFree;
    return DD_OK;
}

HRESULT Surface::GetPalette(LPDIRECTDRAWPALETTE* palette) {
    if (!palette) return DDERR_INVALIDPARAMS;
    *palette = palette_;
    if (!palette_) return DDERR_NOPALETTEATTACHED;
    palette_->AddRef();
    return DD_OK;
}

HRESULT Surface::SetPalette(LPDIRECTDRAWPALETTE palette) {
    Palette* replacement = nullptr;
    if (palette) {
        replacement = PaletteFrom(palette);
        if (!replacement) return DDERR_INVALIDPARAMS;
        if (!IsPalettised(format_)) return DDERR_INVALIDPIXELFORMAT;
    }
    Hold(palette_, replacement);
    return DD_OK;
}

HRESULT Surface::SetClipper(LPDIRECTDRAWCLIPPER clipper) {
    Clipper* replacement = nullptr;
    if (clipper) {
        replacement = ClipperFrom(clipper);
        if (!replacement) return DDERR_INVALIDPARAMS;
    }
    Hold(clipper_, replacement);
    return DD_OK;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC desc) {
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    FillDesc(*desc);
    return DD_OK;
}

HRESULT Surface::IsLost() {
    return lost_ ? DDERR_SURFACELOST : DD_OK;
}

HRESULT Surface::Lock(LPCRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) {
    (void)flags; // DDLOCK_WAIT: a lock never has to wait here
    (void)event;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    HRESULT hr = CheckUsable();
    if (FAILED(hr)) return hr;
    RECT area = rect ? *rect : RECT{0, 0, Width(), Height()};
    if (area.left < 0 || area.top < 0 || area.left >= area.right || area.top >= area.bottom ||
        area.right > Width() || area.bottom > Height())
        return DDERR_INVALIDRECT;
    FillDesc(*desc);
    desc->lpSurface = store_->At(area.left, area.top);
    access_ = Access::kLocked;
    return DD_OK;
}

HRESULT Surface::Unlock(LPVOID pixels) {
    (void)pixels;
    if (access_ != Access::kLocked) return DDERR_NOTLOCKED;
    access_ = Access::kFree;
    return DD_OK;
}

HRESULT Surface::Restore() {
    bool anyLost = lost_;
    for (const Surface* member : chain_)
        anyLost = anyLost || member->lost_;
    if (!anyLost) return DD_OK;
    // The buffers of a chain come back together, through its root.
    if (chainRoot_) return DDERR_IMPLICITLYCREATED;
    if (primary_ && modeGeneration_ != ModeGeneration()) return DDERR_WRONGMODE;
    if (HRESULT failure = RestoreFailure(); FAILED(failure)) return failure;
    store_->Clear();
    lost_ = false;
    for (Surface* member : chain_) {
        member->store_->Clear();
        member->lost_ = false;
    }
    return DD_OK;
}

} // namespace host_ddraw
