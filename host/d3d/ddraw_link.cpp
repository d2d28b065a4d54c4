#include "host/d3d/ddraw_link.h"

#include "host/d3d/device.h"
#include "host/d3d/direct3d.h"
#include "host/d3d/texture.h"
#include "host/ddraw/extension.h"

HRESULT HostDirect3DQuery(IDirectDraw* owner, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualGUID(riid, IID_IDirect3D) && !IsEqualGUID(riid, IID_IDirect3D2)) return E_NOINTERFACE;
    HostDirect3D* direct3D = new HostDirect3D(owner);
    HRESULT hr = direct3D->QueryInterface(riid, out);
    direct3D->Release(); // the query's reference is the one handed out
    return hr;
}

HRESULT HostDirect3DDeviceQuery(IDirectDrawSurface* surface, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualGUID(riid, IID_IDirect3DTexture2)) return HostD3DTextureQuery(surface, out);
    HostD3DDeviceKind kind;
    if (!HostD3DDeviceKindFromId(riid, &kind)) return E_NOINTERFACE;
    HostD3DDevice* device = nullptr;
    HRESULT hr = HostD3DDevice::Create(kind, surface, &device);
    if (FAILED(hr)) return hr;
    *out = static_cast<IDirect3DDevice*>(device);
    return S_OK;
}

void HostDirect3DInstallHooks() {
    HostDDrawSetDriverQueryHook(&HostDirect3DQuery);
    HostDDrawSetSurfaceQueryHook(&HostDirect3DDeviceQuery);
    HostDDrawSetSurfaceGoneHook(&HostD3DTextureSurfaceGone);
}

namespace {

// Installs the hooks when the library loads. The driver's hook variables are constant-initialised, so
// the order in which the library's files are initialised does not matter.
struct InstallHooksAtLoad {
    InstallHooksAtLoad() { HostDirect3DInstallHooks(); }
} g_installHooks;

} // namespace
