#include "host/d3d/texture.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

#include "host/d3d/device.h"
#include "host/ddraw/palette.h"

namespace {

// Handles of surfaces, both ways. Guarded because surfaces may die on any thread.
struct HandleTable {
    std::mutex lock;
    std::unordered_map<IDirectDrawSurface*, D3DTEXTUREHANDLE> bySurface;
    std::unordered_map<D3DTEXTUREHANDLE, IDirectDrawSurface*> byHandle;
    D3DTEXTUREHANDLE next = 1;
};

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

DDSURFACEDESC DescOf(IDirectDrawSurface* surface, HRESULT* hr) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    *hr = surface->GetSurfaceDesc(&desc);
    return desc;
}

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    return a.dwFlags == b.dwFlags && a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
           a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask &&
           a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask;
}

// Copies the texels of one level; both surfaces are checked to have the same size and format.
HRESULT CopyTexels(IDirectDrawSurface* target, IDirectDrawSurface* source) {
    HRESULT hr;
    DDSURFACEDESC to = DescOf(target, &hr);
    if (FAILED(hr)) return hr;
    DDSURFACEDESC from = DescOf(source, &hr);
    if (FAILED(hr)) return hr;
    if (to.dwWidth != from.dwWidth || to.dwHeight != from.dwHeight ||
        !SameFormat(to.ddpfPixelFormat, from.ddpfPixelFormat))
        return D3DERR_TEXTURE_LOAD_FAILED;
    hr = target->Lock(nullptr, &to, DDLOCK_WAIT, nullptr);
    if (FAILED(hr)) return hr;
    hr = source->Lock(nullptr, &from, DDLOCK_WAIT, nullptr);
    if (FAILED(hr)) {
        target->Unlock(nullptr);
        return hr;
    }
    size_t rowBytes = size_t(from.dwWidth) * (from.ddpfPixelFormat.dwRGBBitCount / 8);
    for (DWORD y = 0; y < from.dwHeight; ++y)
        std::memcpy(static_cast<uint8_t*>(to.lpSurface) + ptrdiff_t(y) * to.lPitch,
                    static_cast<const uint8_t*>(from.lpSurface) + ptrdiff_t(y) * from.lPitch, rowBytes);
    source->Unlock(nullptr);
    target->Unlock(nullptr);
    return D3D_OK;
}

// Gives target a palette with source's entries (its own, so later changes to either stay apart), or
// none when source has none.
HRESULT CopyPalette(IDirectDrawSurface* target, IDirectDrawSurface* source) {
    IDirectDrawPalette* from = nullptr;
    if (FAILED(source->GetPalette(&from))) {
        IDirectDrawPalette* old = nullptr;
        if (FAILED(target->GetPalette(&old))) return D3D_OK;
        old->Release();
        return target->SetPalette(nullptr);
    }
    PALETTEENTRY entries[host_ddraw::kPaletteSize];
    HRESULT hr = from->GetEntries(0, 0, host_ddraw::kPaletteSize, entries);
    from->Release();
    if (FAILED(hr)) return hr;
    IDirectDrawPalette* to = nullptr;
    if (SUCCEEDED(target->GetPalette(&to))) {
        hr = to->SetEntries(0, 0, host_ddraw::kPaletteSize, entries);
        to->Release();
        return hr;
    }
    IDirectDrawPalette* made = new host_ddraw::Palette(entries);
    hr = target->SetPalette(made);
    made->Release();
    return hr;
}

HRESULT CopyColorKey(IDirectDrawSurface* target, IDirectDrawSurface* source) {
    DDCOLORKEY key;
    if (SUCCEEDED(source->GetColorKey(DDCKEY_SRCBLT, &key))) return target->SetColorKey(DDCKEY_SRCBLT, &key);
    return target->SetColorKey(DDCKEY_SRCBLT, nullptr);
}

// The next level of a mip chain with a reference, or NULL at its end.
IDirectDrawSurface* NextMipLevel(IDirectDrawSurface* level) {
    DDSCAPS caps{DDSCAPS_TEXTURE | DDSCAPS_MIPMAP};
    IDirectDrawSurface* next = nullptr;
    if (FAILED(level->GetAttachedSurface(&caps, &next))) return nullptr;
    return next;
}

// Copies the levels below the top while both chains go on.
HRESULT CopyLowerLevels(IDirectDrawSurface* target, IDirectDrawSurface* source) {
    IDirectDrawSurface* to = NextMipLevel(target);
    IDirectDrawSurface* from = NextMipLevel(source);
    HRESULT hr = D3D_OK;
    while (to && from && SUCCEEDED(hr)) {
        hr = CopyTexels(to, from);
        IDirectDrawSurface* nextTo = NextMipLevel(to);
        IDirectDrawSurface* nextFrom = NextMipLevel(from);
        to->Release();
        from->Release();
        to = nextTo;
        from = nextFrom;
    }
    if (to) to->Release();
    if (from) from->Release();
    return hr;
}

} // namespace

HostD3DTexture::HostD3DTexture(IDirectDrawSurface* surface) : surface_(surface) {
    surface_->AddRef();
}

HostD3DTexture::~HostD3DTexture() {
    surface_->Release();
}

HRESULT HostD3DTexture::QueryInterface(REFIID riid, void** out) {
    if (out && IsEqualGUID(riid, IID_IDirectDrawSurface)) return surface_->QueryInterface(riid, out);
    return HostQuerySingle<IDirect3DTexture2>(this, IID_IDirect3DTexture2, riid, out);
}

HRESULT HostD3DTexture::GetHandle(IDirect3DDevice2* device, D3DTEXTUREHANDLE* handle) {
    if (!HostD3DDevice::From(device) || !handle) return DDERR_INVALIDPARAMS;
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.bySurface.find(surface_);
    if (found != table.bySurface.end()) {
        *handle = found->second;
        return D3D_OK;
    }
    D3DTEXTUREHANDLE made = table.next++;
    if (table.next == 0) table.next = 1; // 0 means "no texture"
    table.bySurface[surface_] = made;
    table.byHandle[made] = surface_;
    *handle = made;
    return D3D_OK;
}

HRESULT HostD3DTexture::Load(IDirect3DTexture2* source) {
    HostD3DTexture* from = From(source);
    if (!from) return DDERR_INVALIDPARAMS;
    if (from->surface_ == surface_) return D3D_OK;
    HRESULT hr = CopyTexels(surface_, from->surface_);
    if (SUCCEEDED(hr)) hr = CopyLowerLevels(surface_, from->surface_);
    if (SUCCEEDED(hr)) hr = CopyPalette(surface_, from->surface_);
    if (SUCCEEDED(hr)) hr = CopyColorKey(surface_, from->surface_);
    return hr;
}

HostD3DTexture* HostD3DTexture::From(IUnknown* texture) {
    return dynamic_cast<HostD3DTexture*>(texture);
}

HRESULT HostD3DTextureQuery(IDirectDrawSurface* surface, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    DDSCAPS caps{};
    if (!surface || FAILED(surface->GetCaps(&caps)) || !(caps.dwCaps & DDSCAPS_TEXTURE)) return E_NOINTERFACE;
    *out = static_cast<IDirect3DTexture2*>(new HostD3DTexture(surface));
    return S_OK;
}

void HostD3DTextureSurfaceGone(IDirectDrawSurface* surface) {
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.bySurface.find(surface);
    if (found == table.bySurface.end()) return;
    table.byHandle.erase(found->second);
    table.bySurface.erase(found);
}

IDirectDrawSurface* HostD3DTextureSurface(D3DTEXTUREHANDLE handle) {
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.byHandle.find(handle);
    return found == table.byHandle.end() ? nullptr : found->second;
}
