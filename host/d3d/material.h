// Materials: colours a device refers to by handle (the viewport background names one).
#pragma once

#include "host/d3d/d3d.h"

class HostD3DMaterial final : public IDirect3DMaterial2, public RefCount {
  public:
    HostD3DMaterial();

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT SetMaterial(const D3DMATERIAL* material) override;
    HRESULT GetMaterial(D3DMATERIAL* material) override;
    HRESULT GetHandle(IDirect3DDevice2* device, D3DMATERIALHANDLE* handle) override;

    const D3DMATERIAL& Values() const { return values_; }

  private:
    ~HostD3DMaterial() override;

    D3DMATERIAL values_{};
    D3DMATERIALHANDLE handle_ = 0; // given at the first GetHandle
};

// The live material that handle names, NULL when none does (0, or its material is gone).
HostD3DMaterial* HostD3DFindMaterial(D3DMATERIALHANDLE handle);

// A material colour (0..1 a channel) as 0xRRGGBB.
D3DCOLOR HostD3DMaterialColour(const D3DCOLORVALUE& colour);
