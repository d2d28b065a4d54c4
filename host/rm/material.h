// A retained-mode material: stored values only (the device draws unlit).
#pragma once

#include "host/rm/d3drm.h"

class HostRMMaterial final : public IDirect3DRMMaterial, public RefCount {
  public:
    // Makes a material of the given specular power. D3DRMERR_BADVALUE for a NULL out, a negative or a
    // non-finite power.
    static HRESULT Create(D3DVALUE power, HostRMMaterial** out);

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT SetSpecular(D3DVALUE red, D3DVALUE green, D3DVALUE blue) override;
    HRESULT SetEmissive(D3DVALUE red, D3DVALUE green, D3DVALUE blue) override;
    HRESULT GetSpecular(D3DVALUE* red, D3DVALUE* green, D3DVALUE* blue) override;
    HRESULT GetEmissive(D3DVALUE* red, D3DVALUE* green, D3DVALUE* blue) override;
    D3DVALUE GetPower() override;

    // The host material behind an interface pointer; NULL for NULL or an object of another kind.
    static HostRMMaterial* From(IUnknown* material);

  private:
    explicit HostRMMaterial(D3DVALUE power) : power_(power) {}
    ~HostRMMaterial() override = default;

    D3DVALUE power_;
    D3DVALUE specular_[3] = {0, 0, 0};
    D3DVALUE emissive_[3] = {0, 0, 0};
};
