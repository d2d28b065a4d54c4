// The Direct3D object: one per query of a DirectDraw object, holding a reference to it.
#pragma once

#include "host/d3d/d3d.h"

class HostDirect3D final : public IDirect3D, public IDirect3D2, public RefCount {
  public:
    // owner may be NULL (tests); otherwise the object holds a reference to it while it exists.
    explicit HostDirect3D(IUnknown* owner);

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) override;
    HRESULT CreateDevice(REFCLSID deviceId, IDirectDrawSurface* surface, IDirect3DDevice2** device) override;
    HRESULT CreateViewport(IDirect3DViewport2** viewport, IUnknown* outer) override;
    HRESULT CreateMaterial(IDirect3DMaterial2** material, IUnknown* outer) override;

  private:
    ~HostDirect3D() override;

    IUnknown* owner_;
};
