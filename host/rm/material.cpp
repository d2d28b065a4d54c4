#include "host/rm/material.h"

#include <cmath>

HRESULT HostRMMaterial::Create(D3DVALUE power, HostRMMaterial** out) {
    if (!out) return D3DRMERR_BADVALUE;
    *out = nullptr;
    if (!std::isfinite(power) || power < 0) return D3DRMERR_BADVALUE;
    *out = new HostRMMaterial(power);
    return D3DRM_OK;
}

HostRMMaterial* HostRMMaterial::From(IUnknown* material) {
    return dynamic_cast<HostRMMaterial*>(material);
}

HRESULT HostRMMaterial::QueryInterface(REFIID riid, void** out) {
    return HostQuerySingle<IDirect3DRMMaterial>(this, IID_IDirect3DRMMaterial, riid, out);
}

// Copies three colour components into a stored triple.
static void StoreColour(D3DVALUE* to, D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    to[0] = red;
    to[1] = green;
    to[2] = blue;
}

// Hands a stored triple out; D3DRMERR_BADVALUE when any destination is NULL.
static HRESULT LoadColour(const D3DVALUE* from, D3DVALUE* red, D3DVALUE* green, D3DVALUE* blue) {
    if (!red || !green || !blue) return D3DRMERR_BADVALUE;
    *red = from[0];
    *green = from[1];
    *blue = from[2];
    return D3DRM_OK;
}

HRESULT HostRMMaterial::SetSpecular(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    StoreColour(specular_, red, green, blue);
    return D3DRM_OK;
}

HRESULT HostRMMaterial::SetEmissive(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    StoreColour(emissive_, red, green, blue);
    return D3DRM_OK;
}

HRESULT HostRMMaterial::GetSpecular(D3DVALUE* red, D3DVALUE* green, D3DVALUE* blue) {
    return LoadColour(specular_, red, green, blue);
}

HRESULT HostRMMaterial::GetEmissive(D3DVALUE* red, D3DVALUE* green, D3DVALUE* blue) {
    return LoadColour(emissive_, red, green, blue);
}

D3DVALUE HostRMMaterial::GetPower() {
    return power_;
}
