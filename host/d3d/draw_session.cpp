#include "host/d3d/draw_session.h"

#include <algorithm>

#include "host/d3d/device.h"
#include "host/d3d/texel_lookup.h"
#include "host/d3d/texture.h"
#include "host/d3d/viewport.h"

namespace host_d3d {
namespace {

DDSURFACEDESC EmptyDesc() {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    return desc;
}

bool Is555Target(const DDPIXELFORMAT& format) {
    return format.dwGBitMask == 0x03E0;
}

} // namespace

DrawSession::~DrawSession() {
    if (textureSurface_) textureSurface_->Unlock(nullptr);
    if (depthLocked_) depthSurface_->Unlock(nullptr);
    if (depthSurface_) depthSurface_->Release();
    if (targetSurface_) targetSurface_->Unlock(nullptr);
}

HRESULT DrawSession::Open(const HostD3DDevice& device) {
    HRESULT hr = LockTarget(device);
    if (FAILED(hr)) return hr;
    DDSCAPS zcaps{DDSCAPS_ZBUFFER};
    IDirectDrawSurface* depth = nullptr;
    if (SUCCEEDED(device.Target()->GetAttachedSurface(&zcaps, &depth))) {
        hr = LockDepth(depth);
        if (FAILED(hr)) return hr;
    }
    LockTexture(device.RenderStates().Value(D3DRENDERSTATE_TEXTUREHANDLE));
    PixelPipeline pipeline = ResolvePipeline(device.RenderStates(), target_.depth != nullptr, hasTexture_);
    rasterizer_.emplace(target_, hasTexture_ ? &texture_ : nullptr, pipeline);
    return D3D_OK;
}

HRESULT DrawSession::LockTarget(const HostD3DDevice& device) {
    IDirectDrawSurface* surface = device.Target();
    DDSURFACEDESC desc = EmptyDesc();
    HRESULT hr = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (FAILED(hr)) return hr;
    targetSurface_ = surface;
    target_.pixels = static_cast<uint8_t*>(desc.lpSurface);
    target_.pitch = desc.lPitch;
    target_.width = int(desc.dwWidth);
    target_.height = int(desc.dwHeight);
    target_.is555 = Is555Target(desc.ddpfPixelFormat);
    target_.left = 0;
    target_.top = 0;
    target_.right = target_.width;
    target_.bottom = target_.height;
    D3DVIEWPORT2 view;
    if (device.CurrentViewport() && device.CurrentViewport()->Values(&view)) {
        target_.left = int(std::min<DWORD>(view.dwX, desc.dwWidth));
        target_.top = int(std::min<DWORD>(view.dwY, desc.dwHeight));
        target_.right = int(std::min<uint64_t>(uint64_t(view.dwX) + view.dwWidth, desc.dwWidth));
        target_.bottom = int(std::min<uint64_t>(uint64_t(view.dwY) + view.dwHeight, desc.dwHeight));
    }
    return D3D_OK;
}

HRESULT DrawSession::LockDepth(IDirectDrawSurface* surface) {
    depthSurface_ = surface; // the reference GetAttachedSurface added
    DDSURFACEDESC desc = EmptyDesc();
    HRESULT hr = surface->GetSurfaceDesc(&desc);
    if (FAILED(hr)) return hr;
    // Only 16-bit depths are read; with a deeper Z-buffer the device draws without the depth test.
    if (desc.dwZBufferBitDepth != 16 || int(desc.dwWidth) < target_.width ||
        int(desc.dwHeight) < target_.height)
        return D3D_OK;
    hr = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (FAILED(hr)) return hr;
    depthLocked_ = true;
    target_.depth = static_cast<uint8_t*>(desc.lpSurface);
    target_.depthPitch = desc.lPitch;
    return D3D_OK;
}

void DrawSession::LockTexture(D3DTEXTUREHANDLE handle) {
    IDirectDrawSurface* surface = HostD3DTextureSurface(handle);
    if (!surface) return;
    DDSURFACEDESC desc = EmptyDesc();
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return;
    textureSurface_ = surface;
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    texture_.texels = static_cast<const uint8_t*>(desc.lpSurface);
    texture_.pitch = desc.lPitch;
    texture_.width = int(desc.dwWidth);
    texture_.height = int(desc.dwHeight);
    if (format.dwFlags & DDPF_PALETTEINDEXED8) {
        PALETTEENTRY entries[256] = {};
        IDirectDrawPalette* palette = nullptr;
        if (SUCCEEDED(surface->GetPalette(&palette))) {
            palette->GetEntries(0, 0, 256, entries);
            palette->Release();
        }
        PaletteLookup(entries, palette_);
        texture_.lut = palette_;
        texture_.bytesPerTexel = 1;
    } else if (format.dwRGBBitCount == 16) {
        texture_.lut = TexelLookup16(format);
        texture_.bytesPerTexel = 2;
        texture_.hasAlpha = (format.dwFlags & DDPF_ALPHAPIXELS) && format.dwRGBAlphaBitMask;
        uint32_t colour = target_.is555 ? 0x7FFFu : 0xFFFFu;
        bool sameLayout =
            target_.is555
                ? (format.dwRBitMask == 0x7C00 && format.dwGBitMask == 0x03E0 && format.dwBBitMask == 0x001F)
                : (format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x07E0 && format.dwBBitMask == 0x001F);
        texture_.sameLayoutMask = sameLayout ? colour : 0;
    } else {
        return; // a depth the sampler does not read: drawn untextured (the surface stays locked until the
                // end)
    }
    DDCOLORKEY key;
    if (SUCCEEDED(surface->GetColorKey(DDCKEY_SRCBLT, &key))) {
        texture_.keyed = true;
        texture_.keyLow = key.dwColorSpaceLowValue;
        texture_.keyHigh = std::max(key.dwColorSpaceLowValue, key.dwColorSpaceHighValue);
    }
    hasTexture_ = true;
}

} // namespace host_d3d
