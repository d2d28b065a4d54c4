// Where the display driver hands Direct3D requests over: these two functions are installed as the
// driver's query hooks (host/ddraw/extension.h) when the host library loads, so that its QueryInterface
// answers the ids it does not implement itself through them.
#pragma once

#include "host/ddraw/ddraw.h"

// QueryInterface of a DirectDraw object for IID_IDirect3D or IID_IDirect3D2: a new Direct3D object
// (S_OK) that holds a reference to owner while it exists. Any other id: E_NOINTERFACE with *out NULL;
// E_POINTER when out is NULL.
HRESULT HostDirect3DQuery(IDirectDraw* owner, REFIID riid, void** out);

// QueryInterface of a surface for IID_IDirect3DTexture2: its texture interface when it was made with
// DDSCAPS_TEXTURE (see host/d3d/texture.h), else E_NOINTERFACE.
// QueryInterface of a surface for a 3D device id (IID_IDirect3DHALDevice, IID_IDirect3DRGBDevice,
// IID_IDirect3DRampDevice): a new device rendering into surface, as IDirect3DDevice (S_OK); the device
// holds a reference to the surface. A device the machine does not offer, or a surface the device cannot
// render into, gives the failure of IDirect3D2::CreateDevice. Any other id: E_NOINTERFACE with *out
// NULL; E_POINTER when out is NULL.
HRESULT HostDirect3DDeviceQuery(IDirectDrawSurface* surface, REFIID riid, void** out);

// Installs the two functions above as the display driver's query hooks, and the texture handles'
// cleanup as its surface-gone hook (again). Done when the library
// loads; tests that replaced the hooks call it to put them back.
void HostDirect3DInstallHooks();
