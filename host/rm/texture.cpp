#include "host/rm/texture.h"

#include <cmath>

#include "host/ddraw/surface.h"

HOST_DEFINE_GUID(IID_IDirect3DRMTexture, 0x51B0D408, 0x0004, 0x0000, 0xD3, 0x4D, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x01);

HRESULT HostRMTexture::Create(IDirectDrawSurface* surface, HostRMTexture** out) {
    if (!out) return D3DRMERR_BADVALUE;
    *out = nullptr;
    if (!surface) return D3DRMERR_BADVALUE;
    if (!host_ddraw::SurfaceFrom(surface)) return D3DRMERR_BADOBJECT;
    *out = new HostRMTexture(surface);
    return D3DRM_OK;
}

HostRMTexture::HostRMTexture(IDirectDrawSurface* surface) : surface_(surface) {
    surface_->AddRef();
}

HostRMTexture::~HostRMTexture() {
    surface_->Release();
}

HostRMTexture* HostRMTexture::From(IUnknown* texture) {
    return dynamic_cast<HostRMTexture*>(texture);
}

HRESULT HostRMTexture::QueryInterface(REFIID riid, void** out) {
    return HostQuerySingle<IDirect3DRMTexture>(this, IID_IDirect3DRMTexture, riid, out);
}

HRESULT HostRMTexture::SetDecalTransparency(BOOL on) {
    decalTransparency_ = on ? TRUE : FALSE;
    return D3DRM_OK;
}

BOOL HostRMTexture::GetDecalTransparency() {
    return decalTransparency_;
}

HRESULT HostRMTexture::Changed(BOOL pixels, BOOL palette) {
    if (pixels) ++pixelChanges_;
    if (palette) ++paletteChanges_;
    return D3DRM_OK;
}

HRESULT HostRMTexture::SetShades(DWORD shades) {
    if (shades == 0) return D3DRMERR_BADVALUE;
    shades_ = shades;
    return D3DRM_OK;
}

DWORD HostRMTexture::GetShades() {
    return shades_;
}

HRESULT HostRMTexture::SetDecalSize(D3DVALUE width, D3DVALUE height) {
    if (!(width >= 0.0f) || !(height >= 0.0f) || !std::isfinite(width) || !std::isfinite(height))
        return D3DRMERR_BADVALUE;
    decalWidth_ = width;
    decalHeight_ = height;
    return D3DRM_OK;
}

HRESULT HostRMTexture::GetDecalSize(D3DVALUE* width, D3DVALUE* height) {
    if (!width || !height) return D3DRMERR_BADVALUE;
    *width = decalWidth_;
    *height = decalHeight_;
    return D3DRM_OK;
}

HRESULT HostRMTexture::SetDecalOrigin(LONG x, LONG y) {
    decalOriginX_ = x;
    decalOriginY_ = y;
    return D3DRM_OK;
}

HRESULT HostRMTexture::GetDecalOrigin(LONG* x, LONG* y) {
    if (!x || !y) return D3DRMERR_BADVALUE;
    *x = decalOriginX_;
    *y = decalOriginY_;
    return D3DRM_OK;
}

HRESULT HostRMTexture::SetDecalScale(DWORD scale) {
    decalScale_ = scale ? TRUE : FALSE;
    return D3DRM_OK;
}

DWORD HostRMTexture::GetDecalScale() {
    return decalScale_;
}
