// The retained-mode scene layer: the Retained Mode object, frames (a hierarchy of transforms with scene
// settings on the roots), devices over an immediate-mode device, and viewports that look at a scene
// through a camera frame.
// Retained Mode is the immediate-mode layer's friend on purpose: it reaches host/d3d's concrete classes
// (HostD3DDevice::From, new HostD3DTexture) besides its interfaces, because it draws with the same
// rasterizer and needs what the interfaces do not offer: the target's size, a clear of one rectangle, and
// a texture handle for any surface whatever its caps.
#pragma once

#include "host/base/export.h"
#include "host/base/unknown.h"
#include "host/d3d/d3d.h"
#include "host/rm/vector.h"

typedef D3DVALUE D3DRMMATRIX4D[4][4];

struct D3DRMVECTOR4D {
    D3DVALUE x;
    D3DVALUE y;
    D3DVALUE z;
    D3DVALUE w;
};

// How a new transform combines with a frame's current one (row vectors: v' = v * M).
enum D3DRMCOMBINETYPE : DWORD {
    D3DRMCOMBINE_REPLACE = 0, // the new transform replaces the current one
    D3DRMCOMBINE_BEFORE = 1,  // applied before the current one (nearer the object): M = New * Cur
    D3DRMCOMBINE_AFTER = 2,   // applied after it: M = Cur * New
};

// Whether a frame's visuals are drawn with the Z-buffer. FROMPARENT takes the parent's mode; a root's
// FROMPARENT means enabled.
enum D3DRMZBUFFERMODE : DWORD {
    D3DRMZBUFFER_FROMPARENT = 0,
    D3DRMZBUFFER_ENABLE = 1,
    D3DRMZBUFFER_DISABLE = 2,
};

// The order in which a frame's children are drawn. FROMPARENT takes the parent's mode (a root's means
// NONE); NONE keeps the order they were added in; FRONTTOBACK and BACKTOFRONT sort them by the
// camera-space depth of their origins, nearest or farthest first (equal depths keep their order).
enum D3DRMSORTMODE : DWORD {
    D3DRMSORT_FROMPARENT = 0,
    D3DRMSORT_NONE = 1,
    D3DRMSORT_FRONTTOBACK = 2,
    D3DRMSORT_BACKTOFRONT = 3,
};

// Which rotation LookAt leaves out.
enum D3DRMFRAMECONSTRAINT : DWORD {
    D3DRMCONSTRAIN_Z = 0, // no roll: the frame's x axis stays level with the reference's x-z plane
};

// Render quality of a device: one shade mode, one lighting mode and one fill mode, or-ed together.
typedef DWORD D3DRMRENDERQUALITY;
#define D3DRMSHADE_FLAT       0x0001
#define D3DRMSHADE_GOURAUD    0x0002
#define D3DRMSHADE_MASK       0x0007
#define D3DRMLIGHT_OFF        0x0000
#define D3DRMLIGHT_ON         0x0008
#define D3DRMLIGHT_MASK       0x0008
#define D3DRMFILL_POINTS      0x0000
#define D3DRMFILL_WIREFRAME   0x0040
#define D3DRMFILL_SOLID       0x0080
#define D3DRMFILL_MASK        0x00C0
#define D3DRMRENDER_UNLITFLAT (D3DRMSHADE_FLAT | D3DRMLIGHT_OFF | D3DRMFILL_SOLID)
#define D3DRMRENDER_FLAT      (D3DRMSHADE_FLAT | D3DRMLIGHT_ON | D3DRMFILL_SOLID)
#define D3DRMRENDER_GOURAUD   (D3DRMSHADE_GOURAUD | D3DRMLIGHT_ON | D3DRMFILL_SOLID)

enum D3DRMTEXTUREQUALITY : DWORD {
    D3DRMTEXTURE_NEAREST = 0,
    D3DRMTEXTURE_LINEAR = 1,
};

HOST_DECLARE_GUID(IID_IDirect3DRM);
HOST_DECLARE_GUID(IID_IDirect3DRM2);
HOST_DECLARE_GUID(IID_IDirect3DRMDevice);
HOST_DECLARE_GUID(IID_IDirect3DRMDevice2);
HOST_DECLARE_GUID(IID_IDirect3DRMViewport);
HOST_DECLARE_GUID(IID_IDirect3DRMFrame);
HOST_DECLARE_GUID(IID_IDirect3DRMFrame2);

// A visual: what a frame shows (a mesh, a mesh builder or another frame). Any of them converts to it,
// at the same address, so a visual compares equal to the mesh or builder pointer it was made from.
typedef IUnknown IDirect3DRMVisual;
typedef IDirect3DRMVisual* LPDIRECT3DRMVISUAL;

class IDirect3DRMMesh;
class IDirect3DRMMeshBuilder;
class IDirect3DRMMeshBuilder2;
class IDirect3DRMTexture;

// A frame: a transform relative to its parent frame, and the children it holds (each with a reference).
// A frame without a parent is the root of a scene and carries the scene's background and fog settings.
// A frame lives as long as someone holds it (its parent included); when a parent goes, its children
// become roots.
class IDirect3DRMFrame : public IUnknown {
  public:
    // Makes child a child of this frame, taking it from its previous parent; its transform stays
    // relative to the new parent. A child that is this frame or one of its ancestors is refused
    // (D3DRMERR_BADVALUE).
    virtual HRESULT AddChild(IDirect3DRMFrame* child) = 0;
    // Removes child from this frame (the frame gives up its reference): it becomes a root.
    // D3DRMERR_NOTFOUND when it is not a child of this frame.
    virtual HRESULT DeleteChild(IDirect3DRMFrame* child) = 0;
    // The parent with a reference added, or NULL for a root (both D3DRM_OK).
    virtual HRESULT GetParent(IDirect3DRMFrame** parent) = 0;
    // The root of this frame's scene with a reference added (the frame itself when it is a root).
    virtual HRESULT GetScene(IDirect3DRMFrame** scene) = 0;

    // Scene settings, meaningful on a root. Colour components are clamped to 0..1.
    virtual HRESULT SetSceneBackgroundRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) = 0;
    virtual HRESULT SetSceneBackground(D3DCOLOR colour) = 0;
    virtual D3DCOLOR GetSceneBackground() = 0;
    virtual HRESULT SetSceneFogEnable(BOOL enable) = 0;
    virtual BOOL GetSceneFogEnable() = 0;
    virtual HRESULT SetSceneFogColor(D3DCOLOR colour) = 0;
    virtual D3DCOLOR GetSceneFogColor() = 0;
    // start < end is not required; density must not be negative (D3DRMERR_BADVALUE).
    virtual HRESULT SetSceneFogParams(D3DVALUE start, D3DVALUE end, D3DVALUE density) = 0;
    virtual HRESULT GetSceneFogParams(D3DVALUE* start, D3DVALUE* end, D3DVALUE* density) = 0;

    // Moves the frame's origin to (x, y, z) given in reference's space (NULL: the scene root's space),
    // keeping its orientation.
    virtual HRESULT SetPosition(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z) = 0;
    // The frame's origin in reference's space (NULL: the scene root's space).
    virtual HRESULT GetPosition(IDirect3DRMFrame* reference, D3DVECTOR* position) = 0;
    // Combines a translation, a rotation by theta radians about axis (x, y, z), or a whole matrix with the
    // frame's transform relative to its parent. A zero axis is refused (D3DRMERR_BADVALUE).
    virtual HRESULT AddTranslation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z) = 0;
    virtual HRESULT AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z,
                                D3DVALUE theta) = 0;
    virtual HRESULT AddTransform(D3DRMCOMBINETYPE combine, D3DRMMATRIX4D matrix) = 0;
    // The transform relative to the parent.
    virtual HRESULT GetTransform(D3DRMMATRIX4D matrix) = 0;
    // The frame's orientation relative to reference (NULL: the scene root) as a unit axis and an angle in
    // radians (0..pi); no rotation gives the axis (0, 0, 1) and angle 0.
    virtual HRESULT GetRotation(IDirect3DRMFrame* reference, D3DVECTOR* axis, D3DVALUE* theta) = 0;
    // Turns the frame so that its z axis points at target's origin, with its y axis as near the
    // reference's y axis as the direction allows (reference NULL: the scene root). The position stays.
    // D3DRMERR_BADVALUE when target is NULL or at the frame's own origin, or for another constraint.
    virtual HRESULT LookAt(IDirect3DRMFrame* target, IDirect3DRMFrame* reference,
                           D3DRMFRAMECONSTRAINT constraint) = 0;
    // *out = the point in of this frame's space in the scene root's space (Transform), or the point in of
    // the root's space in this frame's space (InverseTransform). out may be in.
    virtual HRESULT Transform(D3DVECTOR* out, D3DVECTOR* in) = 0;
    virtual HRESULT InverseTransform(D3DVECTOR* out, D3DVECTOR* in) = 0;

    // Shows visual at this frame (a frame shown as a visual draws its subtree under this frame's
    // transform; a texture is drawn as a decal at the frame's origin). The frame holds a reference on
    // each visual; a visual added twice is shown twice. D3DRMERR_BADVALUE for NULL or the frame itself,
    // D3DRMERR_BADOBJECT for an object that is not a mesh, mesh builder, texture or frame of this host.
    virtual HRESULT AddVisual(IDirect3DRMVisual* visual) = 0;
    // Stops showing visual (its first occurrence) and gives up that reference; D3DRMERR_NOTFOUND when
    // the frame does not show it.
    virtual HRESULT DeleteVisual(IDirect3DRMVisual* visual) = 0;
    // The Z-buffer and sort modes (both start as FROMPARENT). An unknown mode: D3DRMERR_BADVALUE.
    virtual HRESULT SetZbufferMode(D3DRMZBUFFERMODE mode) = 0;
    virtual D3DRMZBUFFERMODE GetZbufferMode() = 0;
    virtual HRESULT SetSortMode(D3DRMSORTMODE mode) = 0;
    virtual D3DRMSORTMODE GetSortMode() = 0;
};

// The second frame interface; the same object as the first.
class IDirect3DRMFrame2 : public IDirect3DRMFrame {};

// A Retained Mode device: rendering settings over an immediate-mode device.
class IDirect3DRMDevice : public IUnknown {
  public:
    // Number of buffers the device renders through: 1 to 3 (D3DRMERR_BADVALUE otherwise).
    virtual HRESULT SetBufferCount(DWORD count) = 0;
    virtual DWORD GetBufferCount() = 0;
    // Shade, light and fill mode; an unknown bit or shade mode is refused (D3DRMERR_BADVALUE).
    virtual HRESULT SetQuality(D3DRMRENDERQUALITY quality) = 0;
    virtual D3DRMRENDERQUALITY GetQuality() = 0;
    virtual HRESULT SetDither(BOOL dither) = 0;
    virtual BOOL GetDither() = 0;
    virtual HRESULT SetTextureQuality(D3DRMTEXTUREQUALITY quality) = 0;
    virtual D3DRMTEXTUREQUALITY GetTextureQuality() = 0;
    // Shades per colour: a power of two from 1 to 256 (D3DRMERR_BADVALUE otherwise).
    virtual HRESULT SetShades(DWORD shades) = 0;
    virtual DWORD GetShades() = 0;
    // Size of the render target in pixels.
    virtual DWORD GetWidth() = 0;
    virtual DWORD GetHeight() = 0;
    // Finishes the frame's rendering through this device. Nothing is drawn through Retained Mode (the
    // engine draws through the immediate-mode device itself), so nothing is pending: D3DRM_OK.
    virtual HRESULT Update() = 0;
    // The immediate-mode device underneath, with a reference added.
    virtual HRESULT GetDirect3DDevice2(IDirect3DDevice2** device) = 0;
};

// The second device interface; the same object as the first.
class IDirect3DRMDevice2 : public IDirect3DRMDevice {};

HOST_DECLARE_GUID(IID_IDirect3DRMFrameArray);
HOST_DECLARE_GUID(IID_IDirect3DRMPickedArray);

// A list of frames (each held with a reference while the list exists).
class IDirect3DRMFrameArray : public IUnknown {
  public:
    virtual DWORD GetSize() = 0;
    // Element index with a reference added; D3DRMERR_BADVALUE for NULL or an index past the end.
    virtual HRESULT GetElement(DWORD index, IDirect3DRMFrame** frame) = 0;
};

// Where a pick hit its visual: the face (its index in the group), the group, and
// the point hit in world coordinates.
struct D3DRMPICKDESC {
    ULONG ulFaceIdx;
    LONG lGroupIdx;
    D3DVECTOR vPosition;
};

// The visuals found under a point of a viewport, nearest first.
class IDirect3DRMPickedArray : public IUnknown {
  public:
    virtual DWORD GetSize() = 0;
    // Pick index: the visual and the frames from the scene root to the frame showing it, each with a
    // reference added, and where it was hit. Any output may be NULL. D3DRMERR_BADVALUE for an index past
    // the end.
    virtual HRESULT GetPick(DWORD index, IDirect3DRMVisual** visual, IDirect3DRMFrameArray** frames,
                            D3DRMPICKDESC* desc) = 0;
};
typedef IDirect3DRMFrameArray* LPDIRECT3DRMFRAMEARRAY;
typedef IDirect3DRMPickedArray* LPDIRECT3DRMPICKEDARRAY;

// A viewport: a rectangle of a device that shows the scene seen from a camera frame.
class IDirect3DRMViewport : public IUnknown {
  public:
    // Moves the viewport to the rectangle; it must lie inside the device (D3DRMERR_BADVALUE otherwise).
    // The Direct3D viewport follows.
    virtual HRESULT Configure(LONG x, LONG y, DWORD width, DWORD height) = 0;
    virtual LONG GetX() = 0;
    virtual LONG GetY() = 0;
    virtual DWORD GetWidth() = 0;
    virtual DWORD GetHeight() = 0;
    // Front and back clipping planes (camera-space z) and the field (half the view's width at the front
    // plane). Each must be positive and finite, and front must stay below back (D3DRMERR_BADVALUE
    // otherwise).
    virtual HRESULT SetFront(D3DVALUE front) = 0;
    virtual HRESULT SetBack(D3DVALUE back) = 0;
    virtual HRESULT SetField(D3DVALUE field) = 0;
    virtual D3DVALUE GetFront() = 0;
    virtual D3DVALUE GetBack() = 0;
    virtual D3DVALUE GetField() = 0;
    // The camera frame (the viewport holds a reference to it); NULL is refused.
    virtual HRESULT SetCamera(IDirect3DRMFrame* camera) = 0;
    virtual HRESULT GetCamera(IDirect3DRMFrame** camera) = 0;
    virtual HRESULT GetDevice(IDirect3DRMDevice** device) = 0;
    // The Direct3D viewport behind this one, with a reference added.
    virtual HRESULT GetDirect3DViewport(IDirect3DViewport** viewport) = 0;
    // A world point to a homogeneous screen point: with the camera-space point (x, y, z), the centre
    // (cx, cy) of the rectangle and scale = (width / 2) x front / field pixels per unit of x/z:
    // w = z, x = cx w + x scale, y = cy w - y scale, z = (z - front) x back / (back - front). The screen
    // point is (x / w, y / w), and 0 <= z < w between the front and back planes. This is the engine's own
    // projection (sx = cx + x scale / z) while front is 0.1. D3DRMERR_BADVALUE for a NULL argument.
    virtual HRESULT Transform(D3DRMVECTOR4D* out, D3DVECTOR* in) = 0;
    // The reverse: a homogeneous screen point (its w taken as camera-space depth) to the world point.
    virtual HRESULT InverseTransform(D3DVECTOR* out, D3DRMVECTOR4D* in) = 0;

    // Fills the rectangle with the background of the camera's scene (its root frame) and the device's
    // Z-buffer there with the farthest depth. The target's Lock failure when it cannot be drawn on.
    virtual HRESULT Clear() = 0;
    // Draws frame's subtree into the rectangle at once, through the immediate-mode device's rasterizer:
    // each mesh group flat and unlit in its colour, or textured with texel x colour (the texture's
    // decal transparency leaves out its surface's colour-key texels); faces seen from behind are not
    // drawn. A texture visual is drawn as its decal (see IDirect3DRMTexture) in texel colour, at the
    // depth of its frame's origin, when that origin lies between the front and back planes. The Z-buffer as
    // each frame's mode says, perspective-correct textures as the group's mapping says, the device's texture
    // quality as the filter, and the fog of frame's scene root. Every render state it changes is given back
    // its value before it returns. D3DRMERR_BADVALUE for NULL, D3DRMERR_BADOBJECT for a frame of another
    // kind; a draw's failure (a lost target) stops it.
    virtual HRESULT Render(IDirect3DRMFrame* frame) = 0;
    // Marks a rectangle as needing to be drawn again. Every Render draws at once, so nothing is kept:
    // D3DRM_OK.
    virtual HRESULT ForceUpdate(DWORD x1, DWORD y1, DWORD x2, DWORD y2) = 0;
    // The visuals that cover the pixel (x, y) of the device, as they would be drawn (faces seen from
    // behind and parts outside the view left out), nearest first, one entry per visual shown by each
    // frame. Searched are the camera's scene and the frames rendered through this viewport since its
    // last Clear that still exist; decals are not picked. A point outside the rectangle gives an empty
    // array.
    // D3DRMERR_BADVALUE for a NULL output.
    virtual HRESULT Pick(LONG x, LONG y, IDirect3DRMPickedArray** picked) = 0;
};

HOST_DECLARE_GUID(IID_IDirect3DRMTexture);

// A texture made over a DirectDraw surface (holding a reference to it): it shows the surface's pixels
// and palette as they were when it was made or last told of a change.
class IDirect3DRMTexture : public IUnknown {
  public:
    // Whether pixels of the surface's source colour key are left out when the texture is drawn.
    virtual HRESULT SetDecalTransparency(BOOL on) = 0;
    virtual BOOL GetDecalTransparency() = 0;
    // Tells the texture that the surface's pixels and/or palette were changed, so that it takes them up.
    virtual HRESULT Changed(BOOL pixels, BOOL palette) = 0;
    // Shades of each colour the texture is drawn with (at least 1; D3DRMERR_BADVALUE for 0). Stored only:
    // the rasterizer draws every texel in full colour.
    virtual HRESULT SetShades(DWORD shades) = 0;
    virtual DWORD GetShades() = 0;

    // The decal form: a texture shown as a frame's visual is drawn as a screen-facing rectangle at the
    // frame's origin, all of it at the origin's depth. Its size is width x height world units seen at that
    // depth while decal scale is on (the default), or width x height pixels while it is off; 1 x 1 at
    // first. A negative or non-finite size is refused (D3DRMERR_BADVALUE).
    virtual HRESULT SetDecalSize(D3DVALUE width, D3DVALUE height) = 0;
    virtual HRESULT GetDecalSize(D3DVALUE* width, D3DVALUE* height) = 0;
    // The texel (x, y) of the surface that lies on the frame's origin; (0, 0), the top-left corner, at
    // first. Texels outside the surface are allowed (the rectangle then lies beside the origin).
    virtual HRESULT SetDecalOrigin(LONG x, LONG y) = 0;
    virtual HRESULT GetDecalOrigin(LONG* x, LONG* y) = 0;
    // Whether the decal size is in world units (non-zero) or in pixels (0).
    virtual HRESULT SetDecalScale(DWORD scale) = 0;
    virtual DWORD GetDecalScale() = 0;
};
typedef IDirect3DRMTexture* LPDIRECT3DRMTEXTURE;

HOST_DECLARE_GUID(IID_IDirect3DRMMaterial);

// A material: specular power and colour and emissive colour. The values are stored only: the device
// draws unlit, so Retained Mode lighting never reads them.
class IDirect3DRMMaterial : public IUnknown {
  public:
    // Colours in 0..1 (values outside are kept as given).
    virtual HRESULT SetSpecular(D3DVALUE red, D3DVALUE green, D3DVALUE blue) = 0;
    virtual HRESULT SetEmissive(D3DVALUE red, D3DVALUE green, D3DVALUE blue) = 0;
    virtual HRESULT GetSpecular(D3DVALUE* red, D3DVALUE* green, D3DVALUE* blue) = 0;
    virtual HRESULT GetEmissive(D3DVALUE* red, D3DVALUE* green, D3DVALUE* blue) = 0;
    virtual D3DVALUE GetPower() = 0;
};
typedef IDirect3DRMMaterial* LPDIRECT3DRMMATERIAL;

// The Retained Mode object of the first interface.
class IDirect3DRM : public IUnknown {
  public:
    // As IDirect3DRM2::CreateFrame.
    virtual HRESULT CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame** frame) = 0;
    // As IDirect3DRM2's.
    virtual HRESULT CreateMeshBuilder(IDirect3DRMMeshBuilder** builder) = 0;
    virtual HRESULT CreateMesh(IDirect3DRMMesh** mesh) = 0;
    virtual HRESULT LoadTexture(const char* file, IDirect3DRMTexture** texture) = 0;
};

// The Retained Mode object: makes frames, devices and viewports. The objects it makes do not depend
// on it: they stay usable after it is released.
class IDirect3DRM2 : public IUnknown {
  public:
    // Makes a frame under parent (a root when parent is NULL).
    virtual HRESULT CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame2** frame) = 0;
    // Makes a Retained Mode device over an immediate-mode device (holding references to both arguments).
    virtual HRESULT CreateDeviceFromD3D(IDirect3D2* direct3D, IDirect3DDevice2* device,
                                        IDirect3DRMDevice2** out) = 0;
    // Makes a viewport of device at (x, y, width, height) looking through camera. The rectangle must lie
    // inside the device and camera must not be NULL (D3DRMERR_BADVALUE).
    virtual HRESULT CreateViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, DWORD x, DWORD y,
                                   DWORD width, DWORD height, IDirect3DRMViewport** viewport) = 0;
    // Makes a texture over surface (which it holds). D3DRMERR_BADVALUE for a NULL argument,
    // D3DRMERR_BADOBJECT for a surface this host did not make.
    virtual HRESULT CreateTextureFromSurface(IDirectDrawSurface* surface, IDirect3DRMTexture** texture) = 0;
    // Colours and shades of new textures (at least 1; D3DRMERR_BADVALUE for 0).
    virtual HRESULT SetDefaultTextureColors(DWORD colours) = 0;
    virtual HRESULT SetDefaultTextureShades(DWORD shades) = 0;
    // Makes a material of specular power power (black specular and emissive colours). A negative or
    // non-finite power is refused (D3DRMERR_BADVALUE).
    virtual HRESULT CreateMaterial(D3DVALUE power, IDirect3DRMMaterial** material) = 0;
    // Makes an empty mesh builder (perspective off, quality D3DRMRENDER_GOURAUD).
    virtual HRESULT CreateMeshBuilder(IDirect3DRMMeshBuilder2** builder) = 0;
    // Makes a mesh without groups.
    virtual HRESULT CreateMesh(IDirect3DRMMesh** mesh) = 0;
    // Makes a texture from a picture file: ".ppm" (P6 or P3) or ".bmp", found as program paths are
    // (backslashes, names in any case). D3DRMERR_BADVALUE for NULL arguments, D3DRMERR_FILENOTFOUND
    // when the file cannot be opened, D3DRMERR_BADFILE when it is not a picture this host reads.
    virtual HRESULT LoadTexture(const char* file, IDirect3DRMTexture** texture) = 0;
};

typedef IDirect3DRM* LPDIRECT3DRM;
typedef IDirect3DRM2* LPDIRECT3DRM2;
typedef IDirect3DRMFrame* LPDIRECT3DRMFRAME;
typedef IDirect3DRMFrame2* LPDIRECT3DRMFRAME2;
typedef IDirect3DRMDevice* LPDIRECT3DRMDEVICE;
typedef IDirect3DRMDevice2* LPDIRECT3DRMDEVICE2;
typedef IDirect3DRMViewport* LPDIRECT3DRMVIEWPORT;

// Makes a Retained Mode object (IDirect3DRM; query IID_IDirect3DRM2 for the second interface, which
// shares its count). E_POINTER when out is NULL.
HOST_API HRESULT Direct3DRMCreate(IDirect3DRM** out);

#include "host/rm/d3drm_mesh.h"
