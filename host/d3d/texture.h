// The texture side of DirectDraw texture surfaces: the IDirect3DTexture2 interface a surface query
// gives, and the process-wide table from texture handles to surfaces that drawing reads.
//
// A handle belongs to the surface, not to the interface: it is made at the first GetHandle, stays the
// same for the surface's life and is forgotten when the surface is destroyed. Handle numbers are never
// reused, so a stale handle names no texture rather than another one.
#pragma once

#include "host/d3d/d3d.h"

class HostD3DTexture final : public IDirect3DTexture2, public RefCount {
  public:
    // The texture interface of surface (adding a reference to it).
    explicit HostD3DTexture(IDirectDrawSurface* surface);

    // IID_IDirect3DTexture2 and IID_IUnknown give this interface; IID_IDirectDrawSurface the surface.
    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT GetHandle(IDirect3DDevice2* device, D3DTEXTUREHANDLE* handle) override;
    HRESULT Load(IDirect3DTexture2* source) override;

    IDirectDrawSurface* Surface() const { return surface_; }

    // The host texture behind an interface pointer; NULL for NULL or an object of another kind.
    static HostD3DTexture* From(IUnknown* texture);

  private:
    ~HostD3DTexture() override;

    IDirectDrawSurface* surface_;
};

// QueryInterface of a surface for IID_IDirect3DTexture2: a new texture interface on it (S_OK) when the
// surface was made with DDSCAPS_TEXTURE, else E_NOINTERFACE with *out NULL. E_POINTER for a NULL out.
HRESULT HostD3DTextureQuery(IDirectDrawSurface* surface, void** out);

// Forgets the handle of a surface being destroyed (called from the driver's surface-gone hook).
void HostD3DTextureSurfaceGone(IDirectDrawSurface* surface);

// The surface a texture handle names, without a reference: valid until that surface is destroyed,
// which only the thread that draws does. NULL for 0 or a handle whose surface is gone.
IDirectDrawSurface* HostD3DTextureSurface(D3DTEXTUREHANDLE handle);
