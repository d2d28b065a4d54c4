#include "host/rm/retained_mode.h"

#include "host/rm/device.h"
#include "host/rm/frame.h"
#include "host/rm/material.h"
#include "host/rm/mesh.h"
#include "host/rm/mesh_builder.h"
#include "host/rm/texture.h"
#include "host/rm/texture_file.h"
#include "host/rm/viewport.h"

HRESULT Direct3DRMCreate(IDirect3DRM** out) {
    if (!out) return E_POINTER;
    *out = new HostRM();
    return D3DRM_OK;
}

HostRM* HostRM::From(IUnknown* rm) {
    return dynamic_cast<HostRM*>(rm);
}

HRESULT HostRM::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirect3DRM)) {
        AddRef();
        *out = static_cast<IDirect3DRM*>(this);
        return S_OK;
    }
    if (IsEqualGUID(riid, IID_IDirect3DRM2)) {
        AddRef();
        *out = static_cast<IDirect3DRM2*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostRM::CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame2** frame) {
    if (!frame) return D3DRMERR_BADVALUE;
    *frame = nullptr;
    HostRMFrame* parentFrame = HostRMFrame::From(parent);
    if (parent && !parentFrame) return D3DRMERR_BADOBJECT;
    HostRMFrame* made = new HostRMFrame();
    if (parentFrame) parentFrame->AddChild(made);
    *frame = made;
    return D3DRM_OK;
}

HRESULT HostRM::CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame** frame) {
    if (!frame) return D3DRMERR_BADVALUE;
    IDirect3DRMFrame2* made = nullptr;
    HRESULT hr = CreateFrame(parent, &made);
    *frame = made;
    return hr;
}

HRESULT HostRM::CreateDeviceFromD3D(IDirect3D2* direct3D, IDirect3DDevice2* device,
                                    IDirect3DRMDevice2** out) {
    if (!out) return D3DRMERR_BADVALUE;
    HostRMDevice* made = nullptr;
    HRESULT hr = HostRMDevice::Create(direct3D, device, &made);
    *out = made;
    return hr;
}

HRESULT HostRM::CreateViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, DWORD x, DWORD y,
                               DWORD width, DWORD height, IDirect3DRMViewport** viewport) {
    if (!viewport) return D3DRMERR_BADVALUE;
    *viewport = nullptr;
    if (!device || !camera) return D3DRMERR_BADVALUE;
    HostRMDevice* hostDevice = HostRMDevice::From(device);
    HostRMFrame* hostCamera = HostRMFrame::From(camera);
    if (!hostDevice || !hostCamera) return D3DRMERR_BADOBJECT;
    HostRMViewport* made = nullptr;
    HRESULT hr = HostRMViewport::Create(hostDevice, hostCamera, x, y, width, height, &made);
    *viewport = made;
    return hr;
}

HRESULT HostRM::CreateTextureFromSurface(IDirectDrawSurface* surface, IDirect3DRMTexture** texture) {
    if (!texture) return D3DRMERR_BADVALUE;
    HostRMTexture* made = nullptr;
    HRESULT hr = HostRMTexture::Create(surface, &made);
    *texture = made;
    return hr;
}

HRESULT HostRM::CreateMaterial(D3DVALUE power, IDirect3DRMMaterial** material) {
    if (!material) return D3DRMERR_BADVALUE;
    HostRMMaterial* made = nullptr;
    HRESULT hr = HostRMMaterial::Create(power, &made);
    *material = made;
    return hr;
}

HRESULT HostRM::SetDefaultTextureColors(DWORD colours) {
    if (colours == 0) return D3DRMERR_BADVALUE;
    textureColours_ = colours;
    return D3DRM_OK;
}

HRESULT HostRM::SetDefaultTextureShades(DWORD shades) {
    if (shades == 0) return D3DRMERR_BADVALUE;
    textureShades_ = shades;
    return D3DRM_OK;
}

HRESULT HostRM::CreateMeshBuilder(IDirect3DRMMeshBuilder2** builder) {
    if (!builder) return D3DRMERR_BADVALUE;
    *builder = new HostRMMeshBuilder();
    return D3DRM_OK;
}

HRESULT HostRM::CreateMeshBuilder(IDirect3DRMMeshBuilder** builder) {
    if (!builder) return D3DRMERR_BADVALUE;
    *builder = new HostRMMeshBuilder();
    return D3DRM_OK;
}

HRESULT HostRM::CreateMesh(IDirect3DRMMesh** mesh) {
    if (!mesh) return D3DRMERR_BADVALUE;
    *mesh = new HostRMMesh();
    return D3DRM_OK;
}

HRESULT HostRM::LoadTexture(const char* file, IDirect3DRMTexture** texture) {
    if (!texture) return D3DRMERR_BADVALUE;
    HostRMTexture* made = nullptr;
    HRESULT hr = HostRMLoadTexture(file, &made);
    *texture = made;
    return hr;
}
