// The Retained Mode object: two interfaces on one object with one count.
#pragma once

#include "host/rm/d3drm.h"

class HostRM final : public IDirect3DRM, public IDirect3DRM2, public RefCount {
  public:
    HostRM() = default;

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame** frame) override;
    HRESULT CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame2** frame) override;
    HRESULT CreateDeviceFromD3D(IDirect3D2* direct3D, IDirect3DDevice2* device,
                                IDirect3DRMDevice2** out) override;
    HRESULT CreateViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, DWORD x, DWORD y, DWORD width,
                           DWORD height, IDirect3DRMViewport** viewport) override;
    HRESULT CreateTextureFromSurface(IDirectDrawSurface* surface, IDirect3DRMTexture** texture) override;
    HRESULT SetDefaultTextureColors(DWORD colours) override;
    HRESULT SetDefaultTextureShades(DWORD shades) override;
    HRESULT CreateMaterial(D3DVALUE power, IDirect3DRMMaterial** material) override;
    HRESULT CreateMeshBuilder(IDirect3DRMMeshBuilder** builder) override;
    HRESULT CreateMeshBuilder(IDirect3DRMMeshBuilder2** builder) override;
    HRESULT CreateMesh(IDirect3DRMMesh** mesh) override;
    HRESULT LoadTexture(const char* file, IDirect3DRMTexture** texture) override;

    DWORD DefaultTextureColors() const { return textureColours_; }
    DWORD DefaultTextureShades() const { return textureShades_; }

    // The host object behind an interface pointer; NULL for NULL or an object of another kind.
    static HostRM* From(IUnknown* rm);

  private:
    ~HostRM() override = default;

    DWORD textureColours_ = 8;
    DWORD textureShades_ = 16;
};
