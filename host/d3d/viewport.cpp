#include "host/d3d/viewport.h"

#include <algorithm>
#include <cstdint>

#include "host/d3d/device.h"
#include "host/d3d/material.h"

namespace {

// The rectangle must be non-empty and the clip volume must have a size.
bool IsWellFormed(const D3DVIEWPORT2& v) {
    return v.dwWidth > 0 && v.dwHeight > 0 && v.dvClipWidth > 0.0f && v.dvClipHeight > 0.0f &&
           v.dvMinZ < v.dvMaxZ;
}

bool FitsTarget(const D3DVIEWPORT2& v, const HostD3DDevice& device) {
    return uint64_t{v.dwX} + v.dwWidth <= device.TargetWidth() &&
           uint64_t{v.dwY} + v.dwHeight <= device.TargetHeight();
}

} // namespace

HRESULT HostD3DViewport::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirect3DViewport) ||
        IsEqualGUID(riid, IID_IDirect3DViewport2)) {
        AddRef();
        *out = static_cast<IDirect3DViewport2*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostD3DViewport::SetBackground(D3DMATERIALHANDLE material) {
    background_ = material;
    return D3D_OK;
}

HRESULT HostD3DViewport::GetBackground(D3DMATERIALHANDLE* material, BOOL* valid) {
    if (!material) return DDERR_INVALIDPARAMS;
    *material = background_;
    if (valid) *valid = background_ != 0;
    return D3D_OK;
}

HRESULT HostD3DViewport::Clear(DWORD count, LPD3DRECT rects, DWORD flags) {
    if ((!rects && count) || (flags & ~DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER))) return DDERR_INVALIDPARAMS;
    if (!device_) return DDERR_INVALIDOBJECT;
    if (!valuesSet_) return DDERR_INVALIDPARAMS;
    D3DCOLOR colour = 0;
    if (HostD3DMaterial* material = HostD3DFindMaterial(background_))
        colour = HostD3DMaterialColour(material->Values().diffuse);
    constexpr uint64_t kFar = 0x7FFFFFFF;
    RECT area{LONG(std::min<uint64_t>(values_.dwX, kFar)), LONG(std::min<uint64_t>(values_.dwY, kFar)),
              LONG(std::min<uint64_t>(uint64_t{values_.dwX} + values_.dwWidth, kFar)),
              LONG(std::min<uint64_t>(uint64_t{values_.dwY} + values_.dwHeight, kFar))};
    return device_->ClearRects(count, rects, flags, colour, area);
}

HRESULT HostD3DViewport::SetViewport2(const D3DVIEWPORT2* viewport) {
    if (!viewport || viewport->dwSize != sizeof(D3DVIEWPORT2) || !IsWellFormed(*viewport))
        return DDERR_INVALIDPARAMS;
    if (device_ && !FitsTarget(*viewport, *device_)) return DDERR_INVALIDPARAMS;
    values_ = *viewport;
    valuesSet_ = true;
    return D3D_OK;
}

HRESULT HostD3DViewport::GetViewport2(D3DVIEWPORT2* viewport) {
    if (!viewport || viewport->dwSize != sizeof(D3DVIEWPORT2)) return DDERR_INVALIDPARAMS;
    if (!valuesSet_) return D3DERR_SETVIEWPORTDATA_FAILED;
    *viewport = values_;
    return D3D_OK;
}

bool HostD3DViewport::Values(D3DVIEWPORT2* out) const {
    if (!valuesSet_) return false;
    *out = values_;
    return true;
}

HostD3DViewport* HostD3DViewport::From(IUnknown* viewport) {
    return dynamic_cast<HostD3DViewport*>(viewport);
}
