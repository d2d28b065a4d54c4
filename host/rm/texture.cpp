#include "host/rm/texture.h"

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
