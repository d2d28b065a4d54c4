// Stage one of the video start-up: the display driver, its capabilities, the 3D device and the table of
// display modes the device can render, and Retained Mode.
#include <cstring>

#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"

namespace {

constexpr DWORD kZBufferDepths = DDBD_16 | DDBD_24 | DDBD_32;

void ClearCaps(DDCAPS& caps) {
    std::memset(&caps, 0, sizeof(caps));
    caps.dwSize = sizeof(caps);
}

void ClearDeviceSearch(D3DDeviceSearch& search) {
    std::memset(&search, 0, sizeof(search));
    search.hardwareDesc.dwSize = sizeof(D3DDEVICEDESC);
    search.softwareDesc.dwSize = sizeof(D3DDEVICEDESC);
}

// Bytes per pixel of a depth in bits (8, 16, 24, 32 -> 1, 2, 3, 4).
uint64_t BytesPerPixel(DWORD bits) {
    return bits / 8;
}

// The device's render-depth bit for a depth, or 0 for a depth the rule does not cover.
DWORD RenderDepthBit(DWORD bits) {
    switch (bits) {
    case 8: return DDBD_8;
    case 16: return DDBD_16;
    case 24: return DDBD_24;
    case 32: return DDBD_32;
    default: return 0;
    }
}

// Whether the hardware device can hold a mode in video memory and render at its depth.
bool HardwareCanRender(const DDSURFACEDESC& mode) {
    const uint64_t pixels = uint64_t(mode.dwWidth) * mode.dwHeight;
    const uint64_t bytes = BytesPerPixel(mode.ddpfPixelFormat.dwRGBBitCount);
    const uint64_t freeMemory = g_HALCaps.dwVidMemFree;
    if (g_FullScreen) {
        // Front and back buffer and a 16-bit Z-buffer; the desktop's own memory counts as free.
        if (freeMemory + g_DesktopFrameBytes < pixels * bytes * 2 + pixels * 2) return false;
    } else {
        // A back buffer and a 16-bit Z-buffer.
        if (freeMemory < pixels * bytes + pixels * 2) return false;
    }
    DWORD depthBit = RenderDepthBit(mode.ddpfPixelFormat.dwRGBBitCount);
    return !depthBit || (g_D3DDeviceSearch.hardwareDesc.dwDeviceRenderBitDepth & depthBit);
}

bool TableHasDepth(unsigned bpp) {
    for (unsigned i = 0; i < g_dwNumModes; i++)
        if (g_VideoModes[i].bpp == bpp) return true;
    return false;
}

bool TableHasMode(unsigned width, unsigned height, unsigned bpp) {
    for (unsigned i = 0; i < g_dwNumModes; i++)
        if (g_VideoModes[i].width == width && g_VideoModes[i].height == height && g_VideoModes[i].bpp == bpp)
            return true;
    return false;
}

// The desktop mode and the driver's capabilities.
int ReadDesktopAndCaps() {
    ClearCaps(g_HALCaps);
    ClearCaps(g_HELCaps);
    DDSURFACEDESC desktop = {};
    desktop.dwSize = sizeof(desktop);
    HRESULT hr = g_lpDD->GetDisplayMode(&desktop);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    const DWORD desktopBits = desktop.ddpfPixelFormat.dwRGBBitCount;
    g_DesktopFrameBytes =
        unsigned(uint64_t(desktop.lPitch > 0 ? desktop.lPitch : 0) * desktop.dwHeight * (desktopBits / 8));
    g_DesktopBPP = int(desktopBits);

    ClearCaps(g_HALCaps);
    ClearCaps(g_HELCaps);
    hr = g_lpDD->GetCaps(&g_HALCaps, &g_HELCaps);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    g_dwVidMemTotal = g_HALCaps.dwVidMemFree;
    g_bHardware3D = (g_HALCaps.dwCaps & DDCAPS_3D) ? 1 : 0;
    DebugPrintf("g_bHardware3D=%d\n", g_bHardware3D);
    return 1;
}

// A window renders in hardware only when its back buffer and Z-buffer fit in video memory.
void CheckWindowVideoMemory() {
    if (!g_bHardware3D || g_FullScreen) return;
    DebugPrintf("g_ClientRect=<%d,%d,%d,%d>\n", int(g_ClientRect.left), int(g_ClientRect.right),
                int(g_ClientRect.top), int(g_ClientRect.bottom));
    const int64_t pixels = int64_t(g_ClientRect.right) * g_ClientRect.bottom;
    const int64_t needed = pixels * g_DesktopBPP / 8 + pixels * 16 / 8;
    const int64_t freeMemory = g_HALCaps.dwVidMemFree;
    if (freeMemory < needed) {
        DebugPrintf("VidMem LOW : Needed %d, Free %d\n", int(needed), int(freeMemory));
        g_bHardware3D = 0;
    } else {
        DebugPrintf("VidMem OK  : Needed %d, Free %d\n", int(needed), int(freeMemory));
    }
}

// With a hardware device the requested rendering must be in the filtered table.
int CheckHardwareModes() {
    if (!g_bHardware3D) return 1;
    if (!g_FullScreen) {
        if (TableHasDepth(unsigned(g_DesktopBPP))) return 1;
        RegErrorf("3D Hardware doesn't support rendering in\n%d bit resolution", g_DesktopBPP);
        return 0;
    }
    DebugPrintf("g_dwNumModes=%d\n", int(g_dwNumModes));
    if (TableHasMode(unsigned(g_ReqWidth), unsigned(g_ReqHeight), unsigned(g_ReqBPP))) return 1;
    RegErrorf("3D Hardware doesn't support fullscreen rendering\nin %d x %d x %d bit resolution.", g_ReqWidth,
              g_ReqHeight, g_ReqBPP);
    return 0;
}

// Retained Mode and its texture defaults.
int CreateRetainedMode() {
    HRESULT hr = Direct3DRMCreate(&g_lpD3DRM);
    if (FAILED(hr)) {
        g_lpD3DRM = nullptr;
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    hr = g_lpD3DRM->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&g_lpD3DRM2));
    if (FAILED(hr)) {
        g_lpD3DRM2 = nullptr;
        REPORT_DD_ERROR(hr);
        return 0;
    }
    LogCreate(g_lpD3DRM, "InitDirectX : g_lpD3DRM");
    hr = g_lpD3DRM2->SetDefaultTextureColors(256);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    hr = g_lpD3DRM2->SetDefaultTextureShades(256);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    return 1;
}

} // namespace

BOOL DDEnumCallback(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context) {
    (void)description;
    DebugPrintf("DDEnumCallback()\n");
    if (!guid) return 1; // the primary display: the default when no chosen driver is found
    IDirectDraw** kept = static_cast<IDirectDraw**>(context);
    IDirectDraw* lpDD = nullptr;
    HRESULT hr = DirectDrawCreate(guid, &lpDD, nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    LogCreate(lpDD, "DDEnumCallback : lpDD");
    DDCAPS hal, hel;
    ClearCaps(hal);
    ClearCaps(hel);
    hr = lpDD->GetCaps(&hal, &hel);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        // A driver that cannot even say what it is goes back at once.
        ReleaseInterface(lpDD, "DDEnumCallback(): lpDD");
        return 0;
    }
    // An empty chosen name means no name was chosen: it must not pick a driver that has no name either.
    const bool chosen = guid == g_lpChosenDDGuid ||
                        (g_ChosenDDName[0] && driverName && std::strcmp(driverName, g_ChosenDDName) == 0);
    if ((hal.dwCaps & DDCAPS_3D) && chosen) {
        *kept = lpDD;
        return 0;
    }
    *kept = nullptr;
    ReleaseInterface(lpDD, "DDEnumCallback(): lpDD");
    return 1;
}

HRESULT D3DEnumDevicesCallback(GUID* guid, char* description, char* name, D3DDEVICEDESC* hardware,
                               D3DDEVICEDESC* software, void* context) {
    D3DDeviceSearch* search = static_cast<D3DDeviceSearch*>(context);
    if (search->hardwareFound || !hardware || !software) return D3DENUMRET_OK;
    const DWORD wanted = search->colorModel;
    if (!(hardware->dcmColorModel & wanted) && (software->dcmColorModel & wanted)) {
        DebugPrintf("SW : Found Device <%s,%s>,GUID=%p\n", description, name, static_cast<void*>(guid));
        std::memcpy(&search->softwareDesc, software, sizeof(D3DDEVICEDESC));
        search->softwareGuid = guid;
        g_lpD3DDeviceGuid = guid;
        return D3DENUMRET_OK;
    }
    if ((hardware->dcmColorModel & wanted) && (hardware->dwDeviceZBufferBitDepth & kZBufferDepths) &&
        hardware->dpcTriCaps.dwTextureFilterCaps != 0) {
        DebugPrintf("HW : Found Device <%s,%s>,GUID=%p\n", description, name, static_cast<void*>(guid));
        std::memcpy(&search->hardwareDesc, hardware, sizeof(D3DDEVICEDESC));
        search->hardwareGuid = guid;
        search->hardwareFound = 1;
        g_dwTextureFilterCaps = hardware->dpcTriCaps.dwTextureFilterCaps;
    }
    return D3DENUMRET_OK;
}

int FindD3DDevice() {
    ClearDeviceSearch(g_D3DDeviceSearch);
    g_D3DDeviceSearch.colorModel = g_bHardware3D ? D3DCOLOR_RGB : D3DCOLOR_MONO;
    HRESULT hr = g_lpD3D2->EnumDevices(D3DEnumDevicesCallback, &g_D3DDeviceSearch);
    if (FAILED(hr)) {
        REPORT_D3D_ERROR(hr);
        return 0;
    }
    if (!g_D3DDeviceSearch.hardwareGuid || !g_D3DDeviceSearch.hardwareFound) {
        g_bHardware3D = 0;
        g_ZBufferMemory = DDSCAPS_SYSTEMMEMORY;
        g_ZBufferDepth = 16;
        g_lpD3DDeviceGuid = g_D3DDeviceSearch.softwareGuid;
        DebugPrintf("SW : g_lpD3DDeviceGuid=0x%p\n", static_cast<void*>(g_lpD3DDeviceGuid));
        // No device at all: fail here rather than on a query with no device id at mode entry.
        return g_lpD3DDeviceGuid ? 1 : 0;
    }
    const DWORD depths = g_D3DDeviceSearch.hardwareDesc.dwDeviceZBufferBitDepth;
    g_ZBufferMemory = DDSCAPS_VIDEOMEMORY;
    g_ZBufferDepth = (depths & DDBD_16) ? 16 : (depths & DDBD_24) ? 24 : (depths & DDBD_32) ? 32 : 0;
    g_lpD3DDeviceGuid = g_D3DDeviceSearch.hardwareGuid;
    DebugPrintf("HW : g_lpD3DDeviceGuid=0x%p\n", static_cast<void*>(g_lpD3DDeviceGuid));
    return 1;
}

HRESULT DDEnumDisplayModesCallback(LPDDSURFACEDESC mode, LPVOID context) {
    (void)context;
    if (!mode) return 1;
    if (g_D3DDeviceSearch.hardwareGuid && !HardwareCanRender(*mode)) return 1;
    // A full table keeps its rows; the line was registered when the last row went in.
    if (g_dwNumModes >= NUM_VID_MODES) return 1;
    VideoMode& row = g_VideoModes[g_dwNumModes++];
    row.width = mode->dwWidth;
    row.height = mode->dwHeight;
    row.bpp = mode->ddpfPixelFormat.dwRGBBitCount;
    if (g_dwNumModes == NUM_VID_MODES)
        RegErrorf("DDEnumDisplayModesCallback::exceeded NUM_VID_MODES <%d>\n", int(NUM_VID_MODES));
    return 1;
}

int InitDirectX() {
    ReleaseAllDirectX(); // a second start begins clean
    DebugPrintf("InitDirectX(), width=%d,height=%d,bitdepth=%d\n", g_ReqWidth, g_ReqHeight, g_ReqBPP);

    HRESULT hr = DirectDrawEnumerateA(DDEnumCallback, &g_lpDD);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    DebugPrintf("DirectDrawEnumerate\n");
    if (!g_lpDD) {
        hr = DirectDrawCreate(nullptr, &g_lpDD, nullptr);
        if (FAILED(hr)) {
            g_lpDD = nullptr;
            REPORT_DD_ERROR(hr);
            return 0;
        }
        LogCreate(g_lpDD, "InitDirectX : g_lpDD");
    }
    if (!ReadDesktopAndCaps()) return 0;
    CheckWindowVideoMemory();

    hr = g_lpDD->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&g_lpD3D2));
    if (FAILED(hr)) {
        g_lpD3D2 = nullptr;
        REPORT_D3D_ERROR(hr);
        return 0;
    }
    if (!FindD3DDevice()) {
        RegError("Error locating suitable Direct3D driver!");
        return 0;
    }

    DebugPrintf("InitD3DDevice()\n");
    g_dwNumModes = 0;
    hr = g_lpDD->EnumDisplayModes(0, nullptr, nullptr, DDEnumDisplayModesCallback);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    DebugPrintf("Find Devices...\n");
    if (!CheckHardwareModes()) return 0;
    return CreateRetainedMode();
}
