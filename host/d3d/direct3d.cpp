#include "host/d3d/direct3d.h"

#include "host/d3d/device.h"
#include "host/d3d/device_catalogue.h"
#include "host/d3d/material.h"
#include "host/d3d/viewport.h"

HostDirect3D::HostDirect3D(IUnknown* owner) : owner_(owner) {
    if (owner_) owner_->AddRef();
}

HostDirect3D::~HostDirect3D() {
    if (owner_) owner_->Release();
}

HRESULT HostDirect3D::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirect3D)) {
        AddRef();
        *out = static_cast<IDirect3D*>(this);
        return S_OK;
    }
    if (IsEqualGUID(riid, IID_IDirect3D2)) {
        AddRef();
        *out = static_cast<IDirect3D2*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostDirect3D::EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) {
    if (!callback) return DDERR_INVALIDPARAMS;
    HostD3DDeviceKind kinds[3];
    int count = HostD3DOfferedDevices(kinds);
    for (int i = 0; i < count; ++i) {
        // Fresh copies for each call: a callback may scribble on what it is given.
        D3DDEVICEDESC hardware, software;
        HostD3DDescribeDevice(kinds[i], &hardware, &software);
        HRESULT go = callback(HostD3DDeviceId(kinds[i]), HostD3DDeviceDescription(kinds[i]),
                              HostD3DDeviceName(kinds[i]), &hardware, &software, context);
        if (go == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
}

HRESULT HostDirect3D::CreateDevice(REFCLSID deviceId, IDirectDrawSurface* surface,
                                   IDirect3DDevice2** device) {
    if (!device) return DDERR_INVALIDPARAMS;
    *device = nullptr;
    HostD3DDeviceKind kind;
    if (!HostD3DDeviceKindFromId(deviceId, &kind)) return DDERR_INVALIDPARAMS;
    HostD3DDevice* made = nullptr;
    HRESULT hr = HostD3DDevice::Create(kind, surface, &made);
    if (FAILED(hr)) return hr;
    *device = made;
    return D3D_OK;
}

HRESULT HostDirect3D::CreateViewport(IDirect3DViewport2** viewport, IUnknown* outer) {
    if (!viewport) return DDERR_INVALIDPARAMS;
    *viewport = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    *viewport = new HostD3DViewport();
    return D3D_OK;
}

HRESULT HostDirect3D::CreateMaterial(IDirect3DMaterial2** material, IUnknown* outer) {
    if (!material) return DDERR_INVALIDPARAMS;
    *material = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    *material = new HostD3DMaterial();
    return D3D_OK;
}
