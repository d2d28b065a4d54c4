// Value types of the immediate-mode 3D device: colours, vectors, matrices, viewports, materials, device
// descriptions and render states. Numeric values are this host's own; callers use the names only.
#pragma once

#include "host/base/types.h"
#include "host/ddraw/ddraw.h"

typedef float D3DVALUE;
// A colour packed as 0xAARRGGBB.
typedef DWORD D3DCOLOR;
typedef DWORD D3DCOLORMODEL;
typedef DWORD D3DMATERIALHANDLE;
typedef DWORD D3DTEXTUREHANDLE;

struct D3DVECTOR {
    D3DVALUE x;
    D3DVALUE y;
    D3DVALUE z;
};
typedef D3DVECTOR* LPD3DVECTOR;

// A 4x4 matrix, rows first: _41.._43 hold the translation of a row-vector transform.
struct D3DMATRIX {
    D3DVALUE _11, _12, _13, _14;
    D3DVALUE _21, _22, _23, _24;
    D3DVALUE _31, _32, _33, _34;
    D3DVALUE _41, _42, _43, _44;
};

struct D3DCOLORVALUE {
    D3DVALUE r;
    D3DVALUE g;
    D3DVALUE b;
    D3DVALUE a;
};

// Colour models a device can render with (a bit mask in device descriptions).
#define D3DCOLOR_MONO 1
#define D3DCOLOR_RGB  2

// Enumeration callbacks return one of these: go on, or stop.
#define D3DENUMRET_CANCEL 0
#define D3DENUMRET_OK     1

// Capabilities of a device for one kind of primitive (lines or triangles).
struct D3DPRIMCAPS {
    DWORD dwSize;
    DWORD dwRasterCaps;        // D3DPRASTERCAPS_*
    DWORD dwTextureFilterCaps; // D3DPTFILTERCAPS_*
};

#define D3DPRASTERCAPS_FOGTABLE 0x0001 // fog computed per pixel from depth (the fog table render states)

#define D3DPTFILTERCAPS_NEAREST 0x0001
#define D3DPTFILTERCAPS_LINEAR  0x0002

// What a device can do; the description has a fixed size of 252 bytes (dwSize).
struct D3DDEVICEDESC {
    DWORD dwSize;
    D3DCOLORMODEL dcmColorModel; // D3DCOLOR_* bits; 0 when this side (hardware or software) is absent
    D3DPRIMCAPS dpcLineCaps;
    D3DPRIMCAPS dpcTriCaps;
    DWORD dwDeviceRenderBitDepth;  // DDBD_* (host/ddraw) of the render targets it accepts
    DWORD dwDeviceZBufferBitDepth; // DDBD_* of the Z-buffers it accepts
    DWORD dwReserved[53];
};
static_assert(sizeof(D3DDEVICEDESC) == 252, "device descriptions are 252 bytes");

// A viewport: its rectangle in pixels and the clip volume it maps onto.
struct D3DVIEWPORT2 {
    DWORD dwSize; // 44
    DWORD dwX;
    DWORD dwY;
    DWORD dwWidth;
    DWORD dwHeight;
    D3DVALUE dvClipX;
    D3DVALUE dvClipY;
    D3DVALUE dvClipWidth;
    D3DVALUE dvClipHeight;
    D3DVALUE dvMinZ;
    D3DVALUE dvMaxZ;
};
static_assert(sizeof(D3DVIEWPORT2) == 44, "D3DVIEWPORT2 is 44 bytes");

struct D3DMATERIAL {
    DWORD dwSize;
    D3DCOLORVALUE diffuse;
    D3DCOLORVALUE ambient;
    D3DCOLORVALUE specular;
    D3DCOLORVALUE emissive;
    D3DVALUE power;
    D3DTEXTUREHANDLE hTexture;
    DWORD dwRampSize;
};

// Render states of a device. Each holds a DWORD; the fog start, end and density hold the bits of a float.
enum D3DRENDERSTATETYPE : DWORD {
    D3DRENDERSTATE_TEXTUREHANDLE = 1,  // texture handle, 0 = untextured
    D3DRENDERSTATE_TEXTUREPERSPECTIVE, // BOOL
    D3DRENDERSTATE_ZENABLE,            // BOOL
    D3DRENDERSTATE_ZWRITEENABLE,       // BOOL
    D3DRENDERSTATE_SHADEMODE,          // D3DSHADEMODE
    D3DRENDERSTATE_TEXTUREMAG,         // D3DTEXTUREFILTER
    D3DRENDERSTATE_TEXTUREMIN,         // D3DTEXTUREFILTER
    D3DRENDERSTATE_TEXTUREMAPBLEND,    // D3DTEXTUREBLEND
    D3DRENDERSTATE_SRCBLEND,           // D3DBLEND
    D3DRENDERSTATE_DESTBLEND,          // D3DBLEND
    D3DRENDERSTATE_ALPHABLENDENABLE,   // BOOL
    D3DRENDERSTATE_COLORKEYENABLE,     // BOOL
    D3DRENDERSTATE_SPECULARENABLE,     // BOOL
    D3DRENDERSTATE_FOGENABLE,          // BOOL
    D3DRENDERSTATE_FOGCOLOR,           // D3DCOLOR
    D3DRENDERSTATE_FOGTABLEMODE,       // D3DFOGMODE
    D3DRENDERSTATE_FOGTABLESTART,      // float bits
    D3DRENDERSTATE_FOGTABLEEND,        // float bits
    D3DRENDERSTATE_FOGTABLEDENSITY,    // float bits
    D3DRENDERSTATE_CULLMODE,           // D3DCULL
    D3DRENDERSTATE_ZFUNC,              // D3DCMPFUNC
    D3DRENDERSTATE_TEXTUREADDRESS,     // D3DTEXTUREADDRESS
    D3DRENDERSTATE_LASTPIXEL,          // BOOL: lines draw their end pixel
    D3DRENDERSTATE_FILLMODE,           // D3DFILLMODE
    D3DRENDERSTATE_ALPHATESTENABLE,    // BOOL (kept; no alpha reference exists, so it discards nothing)
    D3DRENDERSTATE_DITHERENABLE,       // BOOL (kept; colours are written undithered)
};
// One past the last render state.
constexpr DWORD kD3DRenderStateEnd = D3DRENDERSTATE_DITHERENABLE + 1;

enum D3DSHADEMODE : DWORD { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2 };
enum D3DTEXTUREFILTER : DWORD { D3DFILTER_NEAREST = 1, D3DFILTER_LINEAR = 2 };
enum D3DTEXTUREBLEND : DWORD { D3DTBLEND_DECAL = 1, D3DTBLEND_MODULATE = 2 };
// Blend factors, per colour channel (a 16-bit target has no alpha: its alpha reads as 1). The two
// "both" factors, given as the source factor, set the destination factor too.
enum D3DBLEND : DWORD {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE,
    D3DBLEND_SRCCOLOR,
    D3DBLEND_INVSRCCOLOR,
    D3DBLEND_SRCALPHA,
    D3DBLEND_INVSRCALPHA,
    D3DBLEND_DESTALPHA,
    D3DBLEND_INVDESTALPHA,
    D3DBLEND_DESTCOLOR,
    D3DBLEND_INVDESTCOLOR,
    D3DBLEND_SRCALPHASAT,
    D3DBLEND_BOTHSRCALPHA,
    D3DBLEND_BOTHINVSRCALPHA,
};
enum D3DFOGMODE : DWORD { D3DFOG_NONE = 0, D3DFOG_LINEAR = 1 };
// Which winding on screen (y down) is culled: none, clockwise or counter-clockwise triangles.
enum D3DCULL : DWORD { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
// Depth comparisons: the new depth against the stored one.
enum D3DCMPFUNC : DWORD {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS,
    D3DCMP_EQUAL,
    D3DCMP_LESSEQUAL,
    D3DCMP_GREATER,
    D3DCMP_NOTEQUAL,
    D3DCMP_GREATEREQUAL,
    D3DCMP_ALWAYS,
};
enum D3DTEXTUREADDRESS : DWORD { D3DTADDRESS_WRAP = 1, D3DTADDRESS_MIRROR = 2, D3DTADDRESS_CLAMP = 3 };
enum D3DFILLMODE : DWORD { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };

// A transformed and lit vertex: screen position, depth 0..1, reciprocal of the eye depth, diffuse and
// specular colours (0xAARRGGBB; the specular alpha is the vertex fog factor), texture coordinates.
struct D3DTLVERTEX {
    D3DVALUE sx;
    D3DVALUE sy;
    D3DVALUE sz;
    D3DVALUE rhw;
    D3DCOLOR color;
    D3DCOLOR specular;
    D3DVALUE tu;
    D3DVALUE tv;
};
static_assert(sizeof(D3DTLVERTEX) == 32, "D3DTLVERTEX is 32 bytes");
typedef D3DTLVERTEX* LPD3DTLVERTEX;

enum D3DPRIMITIVETYPE : DWORD {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST,
    D3DPT_LINESTRIP,
    D3DPT_TRIANGLELIST,
    D3DPT_TRIANGLESTRIP,
    D3DPT_TRIANGLEFAN,
};
// Vertex layouts; the device draws D3DVT_TLVERTEX only.
enum D3DVERTEXTYPE : DWORD { D3DVT_VERTEX = 1, D3DVT_LVERTEX, D3DVT_TLVERTEX };

// Draw flags. The device always clips to the viewport and draws at once, so these change nothing.
#define D3DDP_WAIT               0x00000001
#define D3DDP_DONOTCLIP          0x00000004
#define D3DDP_DONOTUPDATEEXTENTS 0x00000008

// A rectangle of pixels x1 <= x < x2, y1 <= y < y2.
struct D3DRECT {
    LONG x1;
    LONG y1;
    LONG x2;
    LONG y2;
};
typedef D3DRECT* LPD3DRECT;

// What a viewport Clear fills: the colour (the background material's diffuse colour) and the depth (1.0).
#define D3DCLEAR_TARGET  0x00000001
#define D3DCLEAR_ZBUFFER 0x00000002
