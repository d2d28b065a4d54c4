// A retained-mode texture over a DirectDraw surface.
#pragma once

#include "host/rm/d3drm.h"

class HostRMTexture final : public IDirect3DRMTexture, public RefCount {
  public:
    // Makes a texture over surface, holding a reference to it. D3DRMERR_BADVALUE for NULL arguments,
    // D3DRMERR_BADOBJECT for a surface of another kind.
    static HRESULT Create(IDirectDrawSurface* surface, HostRMTexture** out);

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT SetDecalTransparency(BOOL on) override;
    BOOL GetDecalTransparency() override;
    HRESULT Changed(BOOL pixels, BOOL palette) override;
    HRESULT SetShades(DWORD shades) override;
    DWORD GetShades() override;
    HRESULT SetDecalSize(D3DVALUE width, D3DVALUE height) override;
    HRESULT GetDecalSize(D3DVALUE* width, D3DVALUE* height) override;
    HRESULT SetDecalOrigin(LONG x, LONG y) override;
    HRESULT GetDecalOrigin(LONG* x, LONG* y) override;
    HRESULT SetDecalScale(DWORD scale) override;
    DWORD GetDecalScale() override;

    IDirectDrawSurface* Surface() const { return surface_; }
    // How often the pixels and the palette were reported changed (drawing takes them up again then).
    int PixelChanges() const { return pixelChanges_; }
    int PaletteChanges() const { return paletteChanges_; }

    // The host texture behind an interface pointer; NULL for NULL or an object of another kind.
    static HostRMTexture* From(IUnknown* texture);

  private:
    explicit HostRMTexture(IDirectDrawSurface* surface);
    ~HostRMTexture() override;

    IDirectDrawSurface* surface_;
    BOOL decalTransparency_ = FALSE;
    int pixelChanges_ = 0;
    int paletteChanges_ = 0;
    DWORD shades_ = 16;
    D3DVALUE decalWidth_ = 1.0f, decalHeight_ = 1.0f;
    LONG decalOriginX_ = 0, decalOriginY_ = 0;
    DWORD decalScale_ = TRUE;
};
