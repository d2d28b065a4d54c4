// The engine's DirectX globals (see directx.h).
#include "quib/platform/directx.h"

IDirectDraw* g_lpDD = nullptr;
IDirect3D2* g_lpD3D2 = nullptr;
IDirect3DRM* g_lpD3DRM = nullptr;
IDirect3DRM2* g_lpD3DRM2 = nullptr;
IDirectDrawSurface* g_lpPrimary = nullptr;
IDirectDrawSurface* g_lpBackBuffer = nullptr;
IDirectDrawSurface* g_lpZBuffer = nullptr;
IDirectDrawClipper* g_lpClipper = nullptr;
IDirect3DDevice* g_lpD3DDevice = nullptr;
IDirect3DDevice2* g_lpD3DDevice2 = nullptr;
IDirect3DRMDevice2* g_lpD3DRMDevice2 = nullptr;
IDirect3DRMViewport* g_lpD3DRMViewport = nullptr;
IDirectDrawPalette* g_lpDDPalette = nullptr;
PALETTEENTRY g_PaletteEntries[256] = {};

HWND g_hWnd = nullptr;
int g_FullScreen = 0;
int g_bHardware3D = 0;
int g_ReqWidth = 0;
int g_ReqHeight = 0;
int g_ReqBPP = 0;
int g_DesktopBPP = 0;
unsigned g_DesktopFrameBytes = 0;
DDCAPS g_HALCaps = {};
DDCAPS g_HELCaps = {};
RECT g_ClientRect = {};

VideoMode g_VideoModes[NUM_VID_MODES] = {};
unsigned g_dwNumModes = 0;

D3DDeviceSearch g_D3DDeviceSearch = {};
GUID* g_lpD3DDeviceGuid = nullptr;
DWORD g_ZBufferDepth = 16;
DWORD g_ZBufferMemory = DDSCAPS_SYSTEMMEMORY;
DWORD g_dwTextureFilterCaps = 0;

int g_b8BitTextures = 0;
unsigned g_dwAlphaBits = 0;
DDPIXELFORMAT g_AlphaTextureFormat = {};

GUID* g_lpChosenDDGuid = nullptr;
char g_ChosenDDName[kChosenDDNameSize] = {};

int g_ModeWidth = 0;
int g_ModeHeight = 0;
int g_ModeBPP = 0;
int g_PrimaryPitch = 0;
int g_BackBufferPitch = 0;
int g_FontHeight = 0;
int g_CharWidth = 0;
DWORD g_dwVidMemTotal = 0;
DWORD g_dwVidMemFree = 0;
