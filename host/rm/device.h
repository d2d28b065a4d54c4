// A retained-mode device: rendering settings over an immediate-mode device.
#pragma once

#include "host/rm/d3drm.h"

class HostRMDevice final : public IDirect3DRMDevice2, public RefCount {
  public:
    // Makes a device over device (a host immediate-mode device; D3DRMERR_BADDEVICE otherwise), holding
    // references to both arguments. D3DRMERR_BADVALUE for a NULL argument.
    static HRESULT Create(IDirect3D2* direct3D, IDirect3DDevice2* device, HostRMDevice** out);

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT SetBufferCount(DWORD count) override;
    DWORD GetBufferCount() override;
    HRESULT SetQuality(D3DRMRENDERQUALITY quality) override;
    D3DRMRENDERQUALITY GetQuality() override;
    HRESULT SetDither(BOOL dither) override;
    BOOL GetDither() override;
    HRESULT SetTextureQuality(D3DRMTEXTUREQUALITY quality) override;
    D3DRMTEXTUREQUALITY GetTextureQuality() override;
    HRESULT SetShades(DWORD shades) override;
    DWORD GetShades() override;
    DWORD GetWidth() override;
    DWORD GetHeight() override;
    HRESULT Update() override;
    HRESULT GetDirect3DDevice2(IDirect3DDevice2** device) override;

    IDirect3D2* Direct3D() const { return direct3D_; }

    // The host device behind an interface pointer; NULL for NULL or an object of another kind.
    static HostRMDevice* From(IUnknown* device);

  private:
    HostRMDevice(IDirect3D2* direct3D, IDirect3DDevice2* device, DWORD width, DWORD height);
    ~HostRMDevice() override;

    IDirect3D2* direct3D_;
    IDirect3DDevice2* device_;
    DWORD width_;
    DWORD height_;
    DWORD bufferCount_ = 1;
    D3DRMRENDERQUALITY quality_ = D3DRMRENDER_FLAT;
    BOOL dither_ = TRUE;
    D3DRMTEXTUREQUALITY textureQuality_ = D3DRMTEXTURE_NEAREST;
    DWORD shades_ = 32;
};
