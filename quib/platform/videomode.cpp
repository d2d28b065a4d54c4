// Stage two of the video start-up: the cooperative level and display mode, the front and back buffers,
// the Z-buffer, the 3D devices, the Retained Mode device and viewport, and the texture-format survey.
#include <cstring>

#include "host/gdi/dc.h"
#include "host/gdi/text.h"
#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"

namespace {

// Lowest set bit of a mask and the run of set bits from there (0 and 0 for an empty mask).
struct MaskBits {
    DWORD mask;
    DWORD beyond; // the mask shifted right past its run of set bits
    int shift;
    int bits;
};

MaskBits AnalyseMask(DWORD mask) {
    MaskBits result = {mask, 0, 0, 0};
    if (!mask) return result;
    DWORD rest = mask;
    while (!(rest & 1)) {
        rest >>= 1;
        ++result.shift;
    }
    while (rest & 1) {
        rest >>= 1;
        ++result.bits;
    }
    result.beyond = rest;
    return result;
}

// The survey's line of one mask. The labels do not match the values ("bits" gets the rest of the mask,
// "shft" the lowest bit and "lshft" the count); the texture conversions log the same lines.
void LogMask(char channel, const MaskBits& m) {
    DebugPrintf("%cmask=%08x, %cbits=%d, %cshft=%d, %clshft=%d\n", channel, unsigned(m.mask), channel,
                int(m.beyond), channel, m.shift, channel, m.bits);
}

DDSURFACEDESC EmptyDesc() {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    return desc;
}

// Exclusive mode, the display mode and a flip chain with one back buffer.
int CreateFullScreenBuffers(int width, int height, int bpp) {
    HRESULT hr = g_lpDD->SetCooperativeLevel(g_hWnd, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    DebugPrintf("SetCooperativeLevel(EXCLUSIVE)\n");
    hr = g_lpDD->SetDisplayMode(DWORD(width), DWORD(height), DWORD(bpp));
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    DebugPrintf("SetDisplayMode(%d,%d,%d)\n", width, height, bpp);

    DDSURFACEDESC desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    if (width == 320 && (height == 240 || height == 200)) desc.ddsCaps.dwCaps |= DDSCAPS_MODEX;
    hr = g_lpDD->CreateSurface(&desc, &g_lpPrimary, nullptr);
    if (FAILED(hr)) {
        g_lpPrimary = nullptr;
        REPORT_DD_ERROR(hr);
        return 0;
    }
    LogCreate(g_lpPrimary, "EnterVideoMode : g_lpPrimary");

    DDSCAPS backCaps = {DDSCAPS_BACKBUFFER};
    hr = g_lpPrimary->GetAttachedSurface(&backCaps, &g_lpBackBuffer);
    if (FAILED(hr)) {
        g_lpBackBuffer = nullptr;
        REPORT_DD_ERROR(hr);
        return 0;
    }
    LogCreate(g_lpBackBuffer, "EnterVideoMode : g_lpBackBuffer");
    return 1;
}

// The desktop's mode, the desktop as primary with a clipper on the window, and an off-screen
// back buffer of the client's size.
int CreateWindowedBuffers(int width, int height) {
    DebugPrintf("RestoreDisplayMode\n");
    HRESULT hr = g_lpDD->RestoreDisplayMode();
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    DebugPrintf("SetCooperativeLevel(NORMAL)\n");
    hr = g_lpDD->SetCooperativeLevel(g_hWnd, DDSCL_NORMAL);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }

    DDSURFACEDESC desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    hr = g_lpDD->CreateSurface(&desc, &g_lpPrimary, nullptr);
    if (FAILED(hr)) {
        g_lpPrimary = nullptr;
        REPORT_DD_ERROR(hr);
        return 0;
    }
    LogCreate(g_lpPrimary, "EnterVideoMode : g_lpPrimary");

    hr = g_lpDD->CreateClipper(0, &g_lpClipper, nullptr);
    if (FAILED(hr)) {
        g_lpClipper = nullptr;
        REPORT_DD_ERROR(hr);
        return 0;
    }
    LogCreate(g_lpClipper, "EnterVideoMode : g_lpClipper");
    hr = g_lpClipper->SetHWnd(0, g_hWnd);
    if (SUCCEEDED(hr)) hr = g_lpPrimary->SetClipper(g_lpClipper);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }

    const DWORD memory = g_bHardware3D ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    g_ZBufferMemory = memory;
    desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    desc.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE | memory;
    hr = g_lpDD->CreateSurface(&desc, &g_lpBackBuffer, nullptr);
    if (FAILED(hr)) {
        g_lpBackBuffer = nullptr;
        REPORT_DD_ERROR(hr);
        return 0;
    }
    LogCreate(g_lpBackBuffer, "EnterVideoMode : g_lpBackBuffer");
    return 1;
}

// A surface's pitch in bytes, read through a lock.
int MeasurePitch(IDirectDrawSurface* surface, int& pitch) {
    DDSURFACEDESC desc = EmptyDesc();
    HRESULT hr = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    pitch = int(desc.lPitch);
    surface->Unlock(nullptr);
    return 1;
}

// The Z-buffer, attached to the back buffer.
int CreateZBuffer(int width, int height) {
    if (!g_ZBufferDepth) return 1;
    DDSURFACEDESC desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    desc.ddsCaps.dwCaps = g_ZBufferMemory | DDSCAPS_ZBUFFER;
    desc.dwZBufferBitDepth = g_ZBufferDepth;
    HRESULT hr = g_lpDD->CreateSurface(&desc, &g_lpZBuffer, nullptr);
    if (FAILED(hr)) {
        g_lpZBuffer = nullptr;
        REPORT_DD_ERROR(hr);
        return 0;
    }
    LogCreate(g_lpZBuffer, "EnterVideoMode : g_lpZBuffer");
    hr = g_lpBackBuffer->AddAttachedSurface(g_lpZBuffer);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}

// An 8-bit mode on a visible primary gets the engine's palette on both buffers.
int CreatePalette(int bpp) {
    DDSCAPS caps = {};
    HRESULT hr = g_lpPrimary->GetCaps(&caps);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    if (bpp != 8 || !(caps.dwCaps & DDSCAPS_VISIBLE)) return 1;
    hr = g_lpDD->CreatePalette(DDPCAPS_8BIT, g_PaletteEntries, &g_lpDDPalette, nullptr);
    if (FAILED(hr)) {
        g_lpDDPalette = nullptr;
        REPORT_DD_ERROR(hr);
        return 0;
    }
    hr = g_lpBackBuffer->SetPalette(g_lpDDPalette);
    if (SUCCEEDED(hr)) hr = g_lpPrimary->SetPalette(g_lpDDPalette);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}

// The immediate-mode devices on the back buffer: the hardware device, else the RGB one; then the
// chosen device through the back buffer.
int CreateDevices() {
    HRESULT hr = g_lpD3D2->CreateDevice(IID_IDirect3DHALDevice, g_lpBackBuffer, &g_lpD3DDevice2);
    if (FAILED(hr)) hr = g_lpD3D2->CreateDevice(IID_IDirect3DRGBDevice, g_lpBackBuffer, &g_lpD3DDevice2);
    if (FAILED(hr)) {
        g_lpD3DDevice2 = nullptr;
        RegErrorf("can't create D3DDevice2 interface");
        return 0;
    }
    if (!g_lpD3DDeviceGuid) {
        RegError("Error locating suitable Direct3D driver!");
        return 0;
    }
    hr = g_lpBackBuffer->QueryInterface(*g_lpD3DDeviceGuid, reinterpret_cast<void**>(&g_lpD3DDevice));
    if (FAILED(hr)) {
        g_lpD3DDevice = nullptr;
        REPORT_D3D_ERROR(hr);
        return 0;
    }
    return 1;
}

// The Retained Mode device, the texture survey and the device's settings.
int CreateRetainedModeDevice() {
    HRESULT hr = g_lpD3DRM2->CreateDeviceFromD3D(g_lpD3D2, g_lpD3DDevice2, &g_lpD3DRMDevice2);
    if (FAILED(hr)) {
        g_lpD3DRMDevice2 = nullptr;
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    LogCreate(g_lpD3DRMDevice2, "EnterVideoMode : g_lpD3DRMDevice");

    g_b8BitTextures = 0;
    g_dwAlphaBits = 0;
    hr = g_lpD3DDevice2->EnumTextureFormats(D3DEnumTextureFormatsCallback, nullptr);
    if (FAILED(hr)) {
        REPORT_D3D_ERROR(hr);
        return 0;
    }

    const DWORD buffers = g_FullScreen ? 2 : 1;
    DebugPrintf("SetBufferCount=%d\n", int(buffers));
    hr = g_lpD3DRMDevice2->SetBufferCount(buffers);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    g_lpD3DRMDevice2->SetQuality(D3DRMRENDER_UNLITFLAT); // a quality the device cannot do is no failure
    hr = g_lpD3DRMDevice2->SetDither(FALSE);
    if (SUCCEEDED(hr)) hr = g_lpD3DRMDevice2->SetTextureQuality(D3DRMTEXTURE_NEAREST);
    if (SUCCEEDED(hr)) hr = g_lpD3DRMDevice2->SetShades(256);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    return 1;
}

// The Retained Mode viewport's Direct3D viewport becomes the device's current one.
int AttachViewportToDevice() {
    IDirect3DViewport* lpD3DViewport = nullptr;
    HRESULT hr = g_lpD3DRMViewport->GetDirect3DViewport(&lpD3DViewport);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    IDirect3DViewport2* lpD3DViewport2 = nullptr;
    hr = lpD3DViewport->QueryInterface(IID_IDirect3DViewport2, reinterpret_cast<void**>(&lpD3DViewport2));
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        lpD3DViewport->Release();
        return 0;
    }
    hr = g_lpD3DDevice2->AddViewport(lpD3DViewport2);
    if (SUCCEEDED(hr)) hr = g_lpD3DDevice2->SetCurrentViewport(lpD3DViewport2);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
    ReleaseInterface(lpD3DViewport2, "EnterVideoModeWHBD() : lpD3DViewport2");
    ReleaseInterface(lpD3DViewport, "EnterVideoModeWHBD() : lpD3DViewport");
    return SUCCEEDED(hr) ? 1 : 0;
}

// The Retained Mode viewport through camera, its planes, and perspective-correct textures.
int CreateViewport(int width, int height, IDirect3DRMFrame2* camera) {
    HRESULT hr = g_lpD3DRM2->CreateViewport(g_lpD3DRMDevice2, camera, 0, 0, DWORD(width), DWORD(height),
                                            &g_lpD3DRMViewport);
    if (FAILED(hr)) {
        g_lpD3DRMViewport = nullptr;
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    LogCreate(g_lpD3DRMViewport, "EnterVideoMode : g_lpD3DRMViewport");
    DebugPrintf("EnterVideoModeWHBD : CreateViewport(%d,%d,%d,%d)\n", 0, 0, width, height);
    if (!AttachViewportToDevice()) return 0;

    hr = g_lpD3DRMViewport->SetFront(0.1f);
    if (SUCCEEDED(hr)) hr = g_lpD3DRMViewport->SetField(0.1f);
    if (SUCCEEDED(hr)) hr = g_lpD3DRMViewport->SetBack(300000.0f);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    hr = g_lpD3DDevice2->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
    if (FAILED(hr)) {
        REPORT_D3D_ERROR(hr);
        return 0;
    }
    return 1;
}

// The window's default text metrics, for the statistics line.
void ReadWindowTextMetrics() {
    HDC dc = GetDC(g_hWnd);
    if (!dc) return;
    TEXTMETRICA metrics = {};
    if (GetTextMetricsA(dc, &metrics)) {
        g_FontHeight = int(metrics.tmHeight);
        g_CharWidth = int(metrics.tmAveCharWidth);
    }
    ReleaseDC(g_hWnd, dc);
}

} // namespace

HRESULT D3DEnumTextureFormatsCallback(DDSURFACEDESC* format, void* context) {
    (void)context;
    if (!format) return D3DENUMRET_OK;
    const DDPIXELFORMAT& pf = format->ddpfPixelFormat;
    if (pf.dwRGBBitCount == 8 && pf.dwFlags == (DDPF_RGB | DDPF_PALETTEINDEXED8)) g_b8BitTextures = 1;
    if (!(pf.dwFlags & DDPF_ALPHAPIXELS)) return D3DENUMRET_OK;
    const MaskBits alpha = AnalyseMask(pf.dwRGBAlphaBitMask);
    DebugPrintf("D3DEnumTextureFormatsCallback\n");
    LogMask('r', AnalyseMask(pf.dwRBitMask));
    LogMask('g', AnalyseMask(pf.dwGBitMask));
    LogMask('b', AnalyseMask(pf.dwBBitMask));
    LogMask('a', alpha);
    if (g_dwAlphaBits == 0 || g_dwAlphaBits < unsigned(alpha.bits)) {
        g_AlphaTextureFormat = pf;
        g_dwAlphaBits = unsigned(alpha.bits);
    }
    return D3DENUMRET_OK;
}

int EnterVideoModeWHBD(int width, int height, int bpp, IDirect3DRMFrame2* camera) {
    DebugPrintf("EnterVideoModeWHBD(%d,%d,%d),g_FullScreen=%d\n", width, height, bpp, g_FullScreen);
    if (!g_lpDD || !g_lpD3D2 || !g_lpD3DRM2) {
        RegError("EnterVideoModeWHBD : DirectX is not initialised");
        return 0;
    }
    if (g_FullScreen ? !CreateFullScreenBuffers(width, height, bpp) : !CreateWindowedBuffers(width, height))
        return 0;
    if (!MeasurePitch(g_lpPrimary, g_PrimaryPitch)) return 0;
    DebugPrintf("Primary Pitch = %d\n", g_PrimaryPitch);
    if (!MeasurePitch(g_lpBackBuffer, g_BackBufferPitch)) return 0;
    DebugPrintf("Backbuffer Pitch = %d\n", g_BackBufferPitch);
    if (!CreateZBuffer(width, height)) return 0;
    if (!CreatePalette(bpp)) return 0;
    if (!CreateDevices()) return 0;
    if (!CreateRetainedModeDevice()) return 0;
    if (!CreateViewport(width, height, camera)) return 0;

    g_ModeWidth = width;
    g_ModeHeight = height;
    g_ModeBPP = bpp;
    ReadWindowTextMetrics();
    g_dwVidMemFree = g_HALCaps.dwVidMemFree;
    return 1;
}
