// The immediate-mode 3D interfaces: the Direct3D object (queried from a DirectDraw object), its devices
// (made on a DirectDraw surface), viewports and materials. Devices render into their surface through the
// host's own rasterizer (host/d3d/raster.h), straight into the surface's memory at each draw call,
// so that drawing, Blt, Lock, device contexts and Flip see the same pixels in call order.
#pragma once

#include "host/base/unknown.h"
#include "host/d3d/d3dtypes.h"
#include "host/ddraw/ddraw.h"

class IDirect3DDevice2;
class IDirect3DViewport2;

// Interface ids.
HOST_DECLARE_GUID(IID_IDirect3D);
HOST_DECLARE_GUID(IID_IDirect3D2);
HOST_DECLARE_GUID(IID_IDirect3DDevice);
HOST_DECLARE_GUID(IID_IDirect3DDevice2);
HOST_DECLARE_GUID(IID_IDirect3DViewport);
HOST_DECLARE_GUID(IID_IDirect3DViewport2);
HOST_DECLARE_GUID(IID_IDirect3DMaterial2);
HOST_DECLARE_GUID(IID_IDirect3DTexture2);

// Device ids, as EnumDevices offers them (each one object with a stable address):
// the display card's device (RGB colour model), and two software devices: full RGB colour and the
// mono colour model (shades of one colour ramp).
HOST_DECLARE_GUID(IID_IDirect3DHALDevice);
HOST_DECLARE_GUID(IID_IDirect3DRGBDevice);
HOST_DECLARE_GUID(IID_IDirect3DRampDevice);

// Called once per device: its id, description, name, and its hardware and software descriptions (the
// absent side has colour model 0). Returns D3DENUMRET_OK to go on, D3DENUMRET_CANCEL to stop.
typedef HRESULT (*LPD3DENUMDEVICESCALLBACK)(GUID* guid, char* description, char* name,
                                            D3DDEVICEDESC* hardware, D3DDEVICEDESC* software, void* context);
// Called once per texture format with a description whose ddpfPixelFormat names the format.
// Returns D3DENUMRET_OK to go on, D3DENUMRET_CANCEL to stop.
typedef HRESULT (*LPD3DENUMTEXTUREFORMATSCALLBACK)(DDSURFACEDESC* format, void* context);

// A material: colours that a device can refer to through a handle (the viewport background uses one).
class IDirect3DMaterial2 : public IUnknown {
  public:
    // Stores a copy of *material (dwSize must be sizeof(D3DMATERIAL), else DDERR_INVALIDPARAMS).
    virtual HRESULT SetMaterial(const D3DMATERIAL* material) = 0;
    // Copies the stored material into *material (dwSize must be set as above).
    virtual HRESULT GetMaterial(D3DMATERIAL* material) = 0;
    // The handle by which device refers to this material: non-zero and the same on every call while the
    // material exists. DDERR_INVALIDPARAMS without a device or an output.
    virtual HRESULT GetHandle(IDirect3DDevice2* device, D3DMATERIALHANDLE* handle) = 0;
};

// The texture side of a surface made with DDSCAPS_TEXTURE, as QueryInterface(IID_IDirect3DTexture2) of
// the surface gives it. The interface holds a reference to its surface while it exists.
class IDirect3DTexture2 : public IUnknown {
  public:
    // The handle by which a device's TEXTUREHANDLE state names this texture: non-zero, the same on
    // every call, valid until the surface is destroyed (releasing this interface keeps it valid).
    // DDERR_INVALIDPARAMS without a device or an output.
    virtual HRESULT GetHandle(IDirect3DDevice2* device, D3DTEXTUREHANDLE* handle) = 0;
    // Copies source's texels (every mip level both chains have), palette entries and source colour
    // key (or its absence) into this texture. Both must have the same size and pixel format
    // (D3DERR_TEXTURE_LOAD_FAILED otherwise); DDERR_INVALIDPARAMS for a NULL or foreign source; a
    // lost or locked surface gives its Lock failure.
    virtual HRESULT Load(IDirect3DTexture2* source) = 0;
};

// A viewport as the first interface sees it: the background material.
class IDirect3DViewport : public IUnknown {
  public:
    // Sets the material the viewport is cleared with (0: none).
    virtual HRESULT SetBackground(D3DMATERIALHANDLE material) = 0;
    // Reads the background material; *valid is TRUE when one is set (valid may be NULL).
    virtual HRESULT GetBackground(D3DMATERIALHANDLE* material, BOOL* valid) = 0;
    // Fills count rectangles (cut to the viewport's rectangle) of the device's render target:
    // D3DCLEAR_TARGET with the background material's diffuse colour (black without one),
    // D3DCLEAR_ZBUFFER the attached Z-buffer with the farthest depth. DDERR_INVALIDPARAMS for NULL
    // rectangles with a count, other flags or a viewport without values; DDERR_INVALIDOBJECT when the
    // viewport belongs to no device; the target's Lock failure when it cannot be drawn on.
    virtual HRESULT Clear(DWORD count, LPD3DRECT rects, DWORD flags) = 0;
};

// A viewport: the rectangle of the render target that drawing maps onto, and its clip volume.
class IDirect3DViewport2 : public IDirect3DViewport {
  public:
    // Stores the rectangle and clip volume. dwSize must be sizeof(D3DVIEWPORT2); width and height must be
    // non-zero and the clip width and height positive (DDERR_INVALIDPARAMS otherwise, nothing stored).
    // When the viewport belongs to a device, the rectangle must lie inside its render target.
    virtual HRESULT SetViewport2(const D3DVIEWPORT2* viewport) = 0;
    // Copies the stored values (dwSize must be set). D3DERR_SETVIEWPORTDATA_FAILED before any SetViewport2.
    virtual HRESULT GetViewport2(D3DVIEWPORT2* viewport) = 0;
};

// The first device interface, as a surface query for a device id returns it.
class IDirect3DDevice : public IUnknown {
  public:
    // Fills the hardware and software descriptions of this device (each dwSize must be
    // sizeof(D3DDEVICEDESC), else DDERR_INVALIDPARAMS). The absent side gets colour model 0.
    virtual HRESULT GetCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* software) = 0;
};

// A device rendering into one surface.
class IDirect3DDevice2 : public IUnknown {
  public:
    // As IDirect3DDevice::GetCaps.
    virtual HRESULT GetCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* software) = 0;
    // Offers each texture format this device accepts: 16-bit 5-6-5, 1-5-5-5 and 4-4-4-4, and 8-bit
    // palettised when the machine allows it.
    virtual HRESULT EnumTextureFormats(LPD3DENUMTEXTUREFORMATSCALLBACK callback, void* context) = 0;
    // Attaches a viewport (adds a reference). Attaching it again is harmless; a viewport attached to
    // another device is refused (DDERR_INVALIDPARAMS).
    virtual HRESULT AddViewport(IDirect3DViewport2* viewport) = 0;
    // Detaches an attached viewport (gives up the reference); DDERR_INVALIDPARAMS when not attached.
    virtual HRESULT DeleteViewport(IDirect3DViewport2* viewport) = 0;
    // Makes an attached viewport the one drawing uses; DDERR_INVALIDPARAMS when not attached.
    virtual HRESULT SetCurrentViewport(IDirect3DViewport2* viewport) = 0;
    // The current viewport with a reference added; D3DERR_SETVIEWPORTDATA_FAILED when there is none.
    virtual HRESULT GetCurrentViewport(IDirect3DViewport2** viewport) = 0;
    // Opens the scene drawing happens in; D3DERR_SCENE_IN_SCENE when one is open.
    virtual HRESULT BeginScene() = 0;
    // Closes it; D3DERR_SCENE_NOT_IN_SCENE when none is open.
    virtual HRESULT EndScene() = 0;
    // Sets a render state. An unknown state or a value outside its enumeration gives DDERR_INVALIDPARAMS.
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    // Reads a render state (DDERR_INVALIDPARAMS for an unknown state or a NULL output).
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    // Draws count D3DVT_TLVERTEX vertices as primitives of type into the render target at once, clipped
    // to the current viewport (the whole target without one), with the render states as they are now.
    // DDERR_INVALIDPARAMS for another vertex type, an unknown primitive type or NULL vertices with a
    // count; too few vertices for one primitive draw nothing. The target's (or Z-buffer's) Lock
    // failure when it cannot be drawn on (lost or locked). flags change nothing (see D3DDP_*).
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, D3DVERTEXTYPE vertexType, LPVOID vertices,
                                  DWORD count, DWORD flags) = 0;
    // As DrawPrimitive, with the primitives' vertices named by indexCount 16-bit indices into
    // vertices. An index at or past vertexCount refuses the whole call (DDERR_INVALIDPARAMS).
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, D3DVERTEXTYPE vertexType, LPVOID vertices,
                                         DWORD vertexCount, WORD* indices, DWORD indexCount, DWORD flags) = 0;
};

// The Direct3D object of the first interface: device listing only.
class IDirect3D : public IUnknown {
  public:
    // As IDirect3D2::EnumDevices.
    virtual HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) = 0;
};

// The Direct3D object: lists the devices the machine offers and makes devices, viewports and materials.
class IDirect3D2 : public IUnknown {
  public:
    // Calls callback for each device the machine offers: the software devices (mono, then RGB) when it
    // has software 3D, then the hardware device when it has 3D hardware. Nothing when it has neither.
    virtual HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) = 0;
    // Makes a device of kind deviceId rendering into surface (a 16-bit RGB surface; the device holds a
    // reference to it). Failures: an unknown id or NULL argument DDERR_INVALIDPARAMS, a device the
    // machine does not offer DDERR_NO3D, another pixel format DDERR_INVALIDPIXELFORMAT, the hardware
    // device on a system-memory surface DDERR_INVALIDCAPS.
    virtual HRESULT CreateDevice(REFCLSID deviceId, IDirectDrawSurface* surface,
                                 IDirect3DDevice2** device) = 0;
    // Makes a viewport belonging to no device yet. outer must be NULL.
    virtual HRESULT CreateViewport(IDirect3DViewport2** viewport, IUnknown* outer) = 0;
    // Makes a material (all colours 0). outer must be NULL.
    virtual HRESULT CreateMaterial(IDirect3DMaterial2** material, IUnknown* outer) = 0;
};

typedef IDirect3D* LPDIRECT3D;
typedef IDirect3D2* LPDIRECT3D2;
typedef IDirect3DDevice* LPDIRECT3DDEVICE;
typedef IDirect3DDevice2* LPDIRECT3DDEVICE2;
typedef IDirect3DViewport* LPDIRECT3DVIEWPORT;
typedef IDirect3DViewport2* LPDIRECT3DVIEWPORT2;
typedef IDirect3DMaterial2* LPDIRECT3DMATERIAL2;
typedef IDirect3DTexture2* LPDIRECT3DTEXTURE2;
