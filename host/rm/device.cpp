#include "host/rm/device.h"

#include "host/d3d/device.h"

namespace {

bool IsValidQuality(D3DRMRENDERQUALITY quality) {
    const DWORD known = D3DRMSHADE_MASK | D3DRMLIGHT_MASK | D3DRMFILL_MASK;
    DWORD shade = quality & D3DRMSHADE_MASK;
    DWORD fill = quality & D3DRMFILL_MASK;
    return !(quality & ~known) && (shade == D3DRMSHADE_FLAT || shade == D3DRMSHADE_GOURAUD) &&
           fill != D3DRMFILL_MASK;
}

} // namespace

HRESULT HostRMDevice::Create(IDirect3D2* direct3D, IDirect3DDevice2* device, HostRMDevice** out) {
    if (!out) return D3DRMERR_BADVALUE;
    *out = nullptr;
    if (!direct3D || !device) return D3DRMERR_BADVALUE;
    HostD3DDevice* host = HostD3DDevice::From(device);
    if (!host) return D3DRMERR_BADDEVICE;
    *out = new HostRMDevice(direct3D, device, host->TargetWidth(), host->TargetHeight());
    return D3DRM_OK;
}

HostRMDevice::HostRMDevice(IDirect3D2* direct3D, IDirect3DDevice2* device, DWORD width, DWORD height)
    : direct3D_(direct3D), device_(device), width_(width), height_(height) {
    direct3D_->AddRef();
    device_->AddRef();
}

HostRMDevice::~HostRMDevice() {
    device_->Release();
    direct3D_->Release();
}

HostRMDevice* HostRMDevice::From(IUnknown* device) {
    return dynamic_cast<HostRMDevice*>(device);
}

HRESULT HostRMDevice::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirect3DRMDevice) ||
        IsEqualGUID(riid, IID_IDirect3DRMDevice2)) {
        AddRef();
        *out = static_cast<IDirect3DRMDevice2*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostRMDevice::SetBufferCount(DWORD count) {
    if (count < 1 || count > 3) return D3DRMERR_BADVALUE;
    bufferCount_ = count;
    return D3DRM_OK;
}

DWORD HostRMDevice::GetBufferCount() {
    return bufferCount_;
}

HRESULT HostRMDevice::SetQuality(D3DRMRENDERQUALITY quality) {
    if (!IsValidQuality(quality)) return D3DRMERR_BADVALUE;
    quality_ = quality;
    return D3DRM_OK;
}

D3DRMRENDERQUALITY HostRMDevice::GetQuality() {
    return quality_;
}

HRESULT HostRMDevice::SetDither(BOOL dither) {
    dither_ = dither ? TRUE : FALSE;
    return D3DRM_OK;
}

BOOL HostRMDevice::GetDither() {
    return dither_;
}

HRESULT HostRMDevice::SetTextureQuality(D3DRMTEXTUREQUALITY quality) {
    if (quality != D3DRMTEXTURE_NEAREST && quality != D3DRMTEXTURE_LINEAR) return D3DRMERR_BADVALUE;
    textureQuality_ = quality;
    return D3DRM_OK;
}

D3DRMTEXTUREQUALITY HostRMDevice::GetTextureQuality() {
    return textureQuality_;
}

HRESULT HostRMDevice::SetShades(DWORD shades) {
    // 1, 2, 4, ... 256: a power of two no larger than 256.
    bool powerOfTwo = shades != 0 && (shades & (shades - 1)) == 0;
    if (!powerOfTwo || shades > 256) return D3DRMERR_BADVALUE;
    shades_ = shades;
    return D3DRM_OK;
}

DWORD HostRMDevice::GetShades() {
    return shades_;
}

DWORD HostRMDevice::GetWidth() {
    return width_;
}

DWORD HostRMDevice::GetHeight() {
    return height_;
}

HRESULT HostRMDevice::Update() {
    return D3DRM_OK;
}

HRESULT HostRMDevice::GetDirect3DDevice2(IDirect3DDevice2** device) {
    if (!device) return D3DRMERR_BADVALUE;
    device_->AddRef();
    *device = device_;
    return D3DRM_OK;
}
