// quib/platform: the engine's platform layer (DirectX state and start-up stages, video, flip, bitmaps,
// text, input, errors, the debug log). May include quib/ (the exported interface) and host; never quib/scene.
//
// The engine's DirectX state and the two start-up stages that fill it.
//
// InitDirectX picks the display driver, reads its capabilities, decides between hardware and software 3D,
// finds the 3D device, builds the table of display modes and creates Retained Mode. EnterVideoModeWHBD
// then sets the cooperative level and display mode and creates the buffers, the clipper, the Z-buffer, the
// 3D devices, the Retained Mode device and its viewport. ReleaseAllDirectX gives everything up again.
// One set of plain globals per process, used from the main thread only; every interface pointer is NULL
// until it is created and again after it is released.
#pragma once

#include "host/base/types.h"
#include "host/d3d/d3d.h"
#include "host/ddraw/ddraw.h"
#include "host/rm/d3drm.h"

// ---- Interfaces ----
extern IDirectDraw* g_lpDD;
extern IDirect3D2* g_lpD3D2;
extern IDirect3DRM* g_lpD3DRM;
extern IDirect3DRM2* g_lpD3DRM2;
extern IDirectDrawSurface* g_lpPrimary;
// Full screen: the flip chain's back buffer. Windowed: an off-screen 3D surface of the client's size.
extern IDirectDrawSurface* g_lpBackBuffer;
extern IDirectDrawSurface* g_lpZBuffer;
extern IDirectDrawClipper* g_lpClipper; // windowed only
extern IDirect3DDevice* g_lpD3DDevice;
extern IDirect3DDevice2* g_lpD3DDevice2;
extern IDirect3DRMDevice2* g_lpD3DRMDevice2;
extern IDirect3DRMViewport* g_lpD3DRMViewport;
extern IDirectDrawPalette* g_lpDDPalette; // 8-bit modes only
extern PALETTEENTRY g_PaletteEntries[256];

// ---- The request and the machine ----
extern HWND g_hWnd;
extern int g_FullScreen;  // 1 exclusive full screen, 0 windowed
extern int g_bHardware3D; // 1 when the hardware 3D device is used
extern int g_ReqWidth;
extern int g_ReqHeight;
extern int g_ReqBPP;
extern int g_DesktopBPP;
// The desktop's pitch x height x bytes per pixel, as InitDirectX measured it.
extern unsigned g_DesktopFrameBytes;
extern DDCAPS g_HALCaps;
extern DDCAPS g_HELCaps;
// The rendered client area (0, 0, width, height).
extern RECT g_ClientRect;

// ---- Display modes the 3D device can render ----
struct VideoMode {
    unsigned width;
    unsigned height;
    unsigned bpp;
    unsigned unused;
};
constexpr unsigned NUM_VID_MODES = 100;
extern VideoMode g_VideoModes[NUM_VID_MODES];
extern unsigned g_dwNumModes;

// ---- The 3D device search ----
struct D3DDeviceSearch {
    DWORD colorModel; // D3DCOLOR_MONO for software, D3DCOLOR_RGB while hardware 3D is possible
    GUID* hardwareGuid;
    D3DDEVICEDESC hardwareDesc;
    GUID* softwareGuid;
    D3DDEVICEDESC softwareDesc;
    int hardwareFound;
};
extern D3DDeviceSearch g_D3DDeviceSearch;
extern GUID* g_lpD3DDeviceGuid;     // the chosen device
extern DWORD g_ZBufferDepth;        // 16, 24, 32, or 0 for none; 16 at load
extern DWORD g_ZBufferMemory;       // DDSCAPS_VIDEOMEMORY or DDSCAPS_SYSTEMMEMORY
extern DWORD g_dwTextureFilterCaps; // triangle texture filters of the hardware device found

// ---- Texture formats of the device ----
extern int g_b8BitTextures;
extern unsigned g_dwAlphaBits; // alpha bits of g_AlphaTextureFormat, 0 when the device has none
extern DDPIXELFORMAT g_AlphaTextureFormat;

// ---- The display driver chosen before start-up (empty: the primary display) ----
constexpr int kChosenDDNameSize = 80;
extern GUID* g_lpChosenDDGuid;
extern char g_ChosenDDName[kChosenDDNameSize];

// ---- The mode entered ----
extern int g_ModeWidth;
extern int g_ModeHeight;
extern int g_ModeBPP;
extern int g_PrimaryPitch;    // bytes
extern int g_BackBufferPitch; // bytes
// The text metrics the statistics line is placed with: the window's default font at mode entry, then the
// font the text functions choose.
extern int g_FontHeight;
extern int g_CharWidth;
extern DWORD g_dwVidMemTotal;
extern DWORD g_dwVidMemFree;

// Stage one. Releases everything of an earlier start first, then chooses the driver and the 3D device,
// fills the mode table and creates Retained Mode. 1, or 0 with the error registered.
int InitDirectX();
// Stage two: enters width x height x bpp (full screen) or renders a width x height client area
// (windowed, bpp the desktop's) and creates every surface and device; the Retained Mode viewport looks
// through camera (the 3D layer's default camera; may be NULL). 1, or 0 with the error registered; what
// was made so far stays for ReleaseAllDirectX.
int EnterVideoModeWHBD(int width, int height, int bpp, IDirect3DRMFrame2* camera);
// Releases the whole state (logged), runs the release steps the other parts of the engine added (below)
// and gives the desktop its mode back after full screen. A failed mode restore is reported but the driver
// objects are released all the same; the result is then 0.
int ReleaseAllDirectX();

// Where ReleaseAllDirectX runs the steps of the parts of the engine that made objects on the DirectX
// state: before the first interface is released, and once the surfaces and the clipper are gone (before
// the desktop's mode comes back and the driver objects go).
enum class DirectXReleasePoint { kBeforeInterfaces, kSurfacesReleased };
// Adds a step at point; steps run in the order they were added, a step added twice runs once. 1, or 0
// for a NULL step or a full list.
int AddDirectXReleaseStep(DirectXReleasePoint point, void (*step)());
// Restores the desktop's mode and the normal cooperative level on g_hWnd (a windowed start after a
// full-screen one). 1, or 0 with the error registered.
int SetDirectDrawWindowMode();
// Reads a raw palette file (256 RGB triples, 768 bytes) into g_PaletteEntries: entries 1-252 from the
// file, 253 blue, 254 red, 0 and 255 unchanged, every flags byte 0x40. 1, or 0 with the error registered
// (file missing or shorter than 768 bytes; the entries are then unchanged).
int LoadGamePalette(const char* path);

// Enumeration callbacks (also used by the driver listing of the device-selection functions).
// Driver callback, context = IDirectDraw** (g_lpDD): keeps a secondary 3D driver that was chosen.
BOOL DDEnumCallback(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context);
// Mode callback: stores each mode the 3D device can render (every mode without a hardware device).
HRESULT DDEnumDisplayModesCallback(LPDDSURFACEDESC mode, LPVOID context);
// Device callback, context = D3DDeviceSearch*: notes software candidates and the hardware device.
HRESULT D3DEnumDevicesCallback(GUID* guid, char* description, char* name, D3DDEVICEDESC* hardware,
                               D3DDEVICEDESC* software, void* context);
// Texture-format callback: notes 8-bit palettised textures and the alpha format with most alpha bits.
HRESULT D3DEnumTextureFormatsCallback(DDSURFACEDESC* format, void* context);
// Searches the 3D devices for g_lpD3DDeviceGuid, the Z-buffer depth and memory. 0 when no usable device
// was offered at all.
int FindD3DDevice();
