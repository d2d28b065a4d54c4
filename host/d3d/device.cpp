#include "host/d3d/device.h"

#include <algorithm>
#include <cstring>

#include "host/d3d/texture_formats.h"
#include "host/d3d/viewport.h"

namespace {

bool IsRenderableFormat(const DDPIXELFORMAT& format) {
    return (format.dwFlags & DDPF_RGB) && !(format.dwFlags & DDPF_PALETTEINDEXED8) &&
           format.dwRGBBitCount == 16;
}

// What the target surface allows: its size, or the failure that stops device creation.
HRESULT InspectTarget(HostD3DDeviceKind kind, IDirectDrawSurface* target, DDSURFACEDESC* desc) {
    std::memset(desc, 0, sizeof(*desc));
    desc->dwSize = sizeof(*desc);
    HRESULT hr = target->GetSurfaceDesc(desc);
    if (FAILED(hr)) return hr;
    if (!IsRenderableFormat(desc->ddpfPixelFormat)) return DDERR_INVALIDPIXELFORMAT;
    if (kind == HostD3DDeviceKind::Hardware) {
        DDSCAPS caps{};
        hr = target->GetCaps(&caps);
        if (FAILED(hr)) return hr;
        if (caps.dwCaps & DDSCAPS_SYSTEMMEMORY) return DDERR_INVALIDCAPS;
    }
    return DD_OK;
}

} // namespace

HRESULT HostD3DDevice::Create(HostD3DDeviceKind kind, IDirectDrawSurface* target, HostD3DDevice** out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (!target) return DDERR_INVALIDPARAMS;
    if (!HostD3DMachineOffers(kind)) return DDERR_NO3D;
    DDSURFACEDESC desc;
    HRESULT hr = InspectTarget(kind, target, &desc);
    if (FAILED(hr)) return hr;
    *out = new HostD3DDevice(kind, target, desc.dwWidth, desc.dwHeight);
    // Depth testing starts on when the target has a Z-buffer.
    DDSCAPS zcaps{DDSCAPS_ZBUFFER};
    IDirectDrawSurface* zbuffer = nullptr;
    if (SUCCEEDED(target->GetAttachedSurface(&zcaps, &zbuffer))) {
        (*out)->states_.Set(D3DRENDERSTATE_ZENABLE, TRUE);
        zbuffer->Release();
    }
    return D3D_OK;
}

HostD3DDevice::HostD3DDevice(HostD3DDeviceKind kind, IDirectDrawSurface* target, DWORD width, DWORD height)
    : kind_(kind), target_(target), width_(width), height_(height) {
    target_->AddRef();
}

HostD3DDevice::~HostD3DDevice() {
    for (HostD3DViewport* viewport : viewports_) {
        viewport->SetDevice(nullptr);
        viewport->Release();
    }
    target_->Release();
}

HRESULT HostD3DDevice::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirect3DDevice)) {
        AddRef();
        *out = static_cast<IDirect3DDevice*>(this);
        return S_OK;
    }
    if (IsEqualGUID(riid, IID_IDirect3DDevice2)) {
        AddRef();
        *out = static_cast<IDirect3DDevice2*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostD3DDevice::GetCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* software) {
    if (!hardware || !software || hardware->dwSize != sizeof(D3DDEVICEDESC) ||
        software->dwSize != sizeof(D3DDEVICEDESC))
        return DDERR_INVALIDPARAMS;
    HostD3DDescribeDevice(kind_, hardware, software);
    return D3D_OK;
}

HRESULT HostD3DDevice::EnumTextureFormats(LPD3DENUMTEXTUREFORMATSCALLBACK callback, void* context) {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (const DDPIXELFORMAT& format : HostD3DTextureFormats()) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_PIXELFORMAT;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        desc.ddpfPixelFormat = format;
        if (callback(&desc, context) == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
}

bool HostD3DDevice::IsAttached(const HostD3DViewport* viewport) const {
    return std::find(viewports_.begin(), viewports_.end(), viewport) != viewports_.end();
}

HRESULT HostD3DDevice::AddViewport(IDirect3DViewport2* viewport) {
    HostD3DViewport* host = HostD3DViewport::From(viewport);
    if (!host) return DDERR_INVALIDPARAMS;
    if (host->Device() == this) return D3D_OK;
    if (host->Device()) return DDERR_INVALIDPARAMS;
    host->AddRef();
    host->SetDevice(this);
    viewports_.push_back(host);
    return D3D_OK;
}

HRESULT HostD3DDevice::DeleteViewport(IDirect3DViewport2* viewport) {
    HostD3DViewport* host = HostD3DViewport::From(viewport);
    if (!host || !IsAttached(host)) return DDERR_INVALIDPARAMS;
    viewports_.erase(std::find(viewports_.begin(), viewports_.end(), host));
    if (current_ == host) current_ = nullptr;
    host->SetDevice(nullptr);
    host->Release();
    return D3D_OK;
}

HRESULT HostD3DDevice::SetCurrentViewport(IDirect3DViewport2* viewport) {
    HostD3DViewport* host = HostD3DViewport::From(viewport);
    if (!host || !IsAttached(host)) return DDERR_INVALIDPARAMS;
    current_ = host;
    return D3D_OK;
}

HRESULT HostD3DDevice::GetCurrentViewport(IDirect3DViewport2** viewport) {
    if (!viewport) return DDERR_INVALIDPARAMS;
    *viewport = current_;
    if (!current_) return D3DERR_SETVIEWPORTDATA_FAILED;
    current_->AddRef();
    return D3D_OK;
}

HRESULT HostD3DDevice::BeginScene() {
    if (inScene_) return D3DERR_SCENE_IN_SCENE;
    inScene_ = true;
    return D3D_OK;
}

HRESULT HostD3DDevice::EndScene() {
    if (!inScene_) return D3DERR_SCENE_NOT_IN_SCENE;
    inScene_ = false;
    return D3D_OK;
}

HRESULT HostD3DDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    HRESULT hr = states_.Set(state, value);
    if (SUCCEEDED(hr) && recording_) {
        HostD3DCall call;
        call.kind = HostD3DCall::Kind::kRenderState;
        call.state = state;
        call.value = value;
        recorded_.push_back(std::move(call));
    }
    return hr;
}

HRESULT HostD3DDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    return states_.Get(state, value);
}

HostD3DDevice* HostD3DDevice::From(IUnknown* device) {
    return dynamic_cast<HostD3DDevice*>(device);
}
