// The immediate-mode viewport: a rectangle of a device's render target, its clip volume and its
// background material.
#pragma once

#include "host/d3d/d3d.h"

class HostD3DDevice;

class HostD3DViewport final : public IDirect3DViewport2, public RefCount {
  public:
    HostD3DViewport() = default;

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT SetBackground(D3DMATERIALHANDLE material) override;
    HRESULT GetBackground(D3DMATERIALHANDLE* material, BOOL* valid) override;
    HRESULT Clear(DWORD count, LPD3DRECT rects, DWORD flags) override;
    HRESULT SetViewport2(const D3DVIEWPORT2* viewport) override;
    HRESULT GetViewport2(D3DVIEWPORT2* viewport) override;

    // The device the viewport is attached to, NULL when none. Set and cleared by the device only.
    HostD3DDevice* Device() const { return device_; }
    void SetDevice(HostD3DDevice* device) { device_ = device; }
    // The stored rectangle and clip volume (what drawing maps onto); false before any SetViewport2.
    bool Values(D3DVIEWPORT2* out) const;

    // The host viewport behind an interface pointer; NULL for NULL or an object of another kind.
    static HostD3DViewport* From(IUnknown* viewport);

  private:
    D3DVIEWPORT2 values_{};
    bool valuesSet_ = false;
    D3DMATERIALHANDLE background_ = 0;
    HostD3DDevice* device_ = nullptr;
};
