// The exported display functions: start-up in full screen or in a window, window geometry, viewport,
// shutdown, and the objects lent to the programs.
#include "host/gdi/dc.h"
#include "host/win/system.h"
#include "host/win/window.h"
#include "quib/platform/alloc.h"
#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/video.h"
#include "quib/quib.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/pipeline/line_clip.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/surface_table.h"

HINSTANCE g_hInstance = nullptr;
RECT g_WindowRect = {};
RECT g_SourceRect = {};

namespace {

constexpr int kMaxShutdownSteps = 8;
VideoShutdownStep s_shutdownSteps[kMaxShutdownSteps] = {};
int s_shutdownStepCount = 0;

void DesktopSize(int& width, int& height) {
    HDC screen = GetDC(nullptr);
    if (screen) {
        width = GetDeviceCaps(screen, HORZRES);
        height = GetDeviceCaps(screen, VERTRES);
        ReleaseDC(nullptr, screen);
        return;
    }
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
}

// One axis of the geometry: the window's span on the desktop and the back buffer's visible span.
void PlaceSpan(int origin, int size, int desktop, LONG& windowLow, LONG& windowHigh, LONG& sourceLow,
               LONG& sourceHigh) {
    if (origin < 0) {
        windowLow = 0;
        sourceLow = -origin;
    } else {
        windowLow = origin;
        sourceLow = 0;
    }
    if (origin + size > desktop) {
        sourceHigh = desktop - origin;
        windowHigh = desktop;
    } else {
        windowHigh = origin + size;
        sourceHigh = size;
    }
}

void PlaceClientOrigin(HWND window) {
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    SetWindowGeometry(int(origin.x), int(origin.y));
}

void RunVideoShutdownSteps() {
    for (int i = 0; i < s_shutdownStepCount; i++)
        s_shutdownSteps[i]();
}

// The stages of every windowed start after the geometry is known.
int StartWindowed(int width, int height) {
    SetLineClipRect(&g_ClientRect);
    if (!InitDirectX() || !InitScene() || !EnterVideoModeWHBD(width, height, g_DesktopBPP)) {
        QuibPrintError();
        return 0;
    }
    return 1;
}

} // namespace

void SetWindowGeometry(int x, int y) {
    int desktopWidth = 0, desktopHeight = 0;
    DesktopSize(desktopWidth, desktopHeight);
    PlaceSpan(x, int(g_ClientRect.right), desktopWidth, g_WindowRect.left, g_WindowRect.right,
              g_SourceRect.left, g_SourceRect.right);
    PlaceSpan(y, int(g_ClientRect.bottom), desktopHeight, g_WindowRect.top, g_WindowRect.bottom,
              g_SourceRect.top, g_SourceRect.bottom);
}

bool WindowIsVisible() {
    return g_WindowRect.left < g_WindowRect.right && g_WindowRect.top < g_WindowRect.bottom &&
           g_SourceRect.left < g_SourceRect.right && g_SourceRect.top < g_SourceRect.bottom;
}

int AddVideoShutdownStep(VideoShutdownStep step) {
    if (!step) return 0;
    for (int i = 0; i < s_shutdownStepCount; i++)
        if (s_shutdownSteps[i] == step) return 1;
    if (s_shutdownStepCount == kMaxShutdownSteps) return 0;
    s_shutdownSteps[s_shutdownStepCount++] = step;
    return 1;
}

void ClearVideoShutdownSteps() {
    s_shutdownStepCount = 0;
}

void QuibSetInstance(HINSTANCE instance) {
    g_hInstance = instance;
}

int QuibInitDirectX(HWND window, int width, int height, int bpp) {
    g_hWnd = window;
    g_FullScreen = 1;
    g_ReqWidth = width;
    g_ReqHeight = height;
    g_ReqBPP = bpp;
    QuibInitSurfaceTable();
    if (!InitDirectX() || !InitScene()) {
        QuibPrintError();
        return 0;
    }
    g_ClientRect = {0, 0, width, height};
    g_SourceRect = g_ClientRect;
    g_WindowRect = g_ClientRect;
    if (!EnterVideoModeWHBD(width, height, bpp)) {
        QuibPrintError();
        return 0;
    }
    return 1;
}

int QuibInitDirectX(HWND window, int width, int height) {
    if (g_FullScreen && g_lpDD) {
        DebugPrintf("SetDirectDrawWindowMode\n");
        SetDirectDrawWindowMode();
    }
    g_FullScreen = 0;
    g_hWnd = window;
    DebugPrintf("QuibInitDirectX : width=%d,height=%d\n", width, height);
    QuibInitSurfaceTable();
    g_ClientRect = {0, 0, width, height};
    PlaceClientOrigin(window);
    return StartWindowed(width, height);
}

int QuibInitDirectX(HWND window) {
    if (g_FullScreen && g_lpDD) SetDirectDrawWindowMode();
    g_FullScreen = 0;
    g_hWnd = window;
    QuibInitSurfaceTable();
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    g_ClientRect = {0, 0, client.right - client.left, client.bottom - client.top};
    PlaceClientOrigin(window);
    return StartWindowed(int(g_ClientRect.right), int(g_ClientRect.bottom));
}

void QuibSetWindowXY(int x, int y) {
    SetWindowGeometry(x, y);
}

int QuibSetViewport(int x, int y, int width, int height) {
    if (!g_lpD3DRMViewport) return 1;
    HRESULT hr = g_lpD3DRMViewport->Configure(x, y, DWORD(width), DWORD(height));
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    IDirect3DViewport* viewport = nullptr;
    hr = g_lpD3DRMViewport->GetDirect3DViewport(&viewport);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    IDirect3DViewport2* viewport2 = nullptr;
    hr = viewport->QueryInterface(IID_IDirect3DViewport2, reinterpret_cast<void**>(&viewport2));
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        viewport->Release();
        return 0;
    }
    // The Retained Mode viewport keeps the Direct3D viewport alive; ReleaseAllDirectX forgets it.
    set_viewport_clip(x, y, width, height, viewport2);
    viewport2->Release();
    viewport->Release();
    return 1;
}

void QuibFreeDirectX() {
    DeleteSurfaceTable();
    ReleaseMirrorSurfaces();
    FreeScene();
    RunVideoShutdownSteps();
    ReleaseAllDirectX();
    forget_pipeline_device();
    DumpAllocs();
}

void QuibGetDDInfo(IDirectDrawSurface** primary, IDirectDrawSurface** backBuffer) {
    if (primary) *primary = g_lpPrimary;
    if (backBuffer) *backBuffer = g_lpBackBuffer;
}

IDirectDraw* QuibGetLPDD() {
    return g_lpDD;
}

int QuibGetDisplayBPP() {
    return g_DesktopBPP;
}

int QuibIsHardwareD3D() {
    return g_bHardware3D;
}

int QuibCheckDisplayMode(int width, int height, int bpp) {
    for (unsigned i = 0; i < g_dwNumModes && i < NUM_VID_MODES; i++) {
        const VideoMode& mode = g_VideoModes[i];
        if (int(mode.width) == width && int(mode.height) == height && int(mode.bpp) == bpp) return 1;
    }
    return 0;
}

namespace {

// The run of set bits from a mask's lowest set bit (0 for an empty mask).
int CountMaskBits(DWORD mask) {
    if (!mask) return 0;
    while (!(mask & 1))
        mask >>= 1;
    int bits = 0;
    while (mask & 1) {
        mask >>= 1;
        ++bits;
    }
    return bits;
}

void Store(int* out, int value) {
    if (out) *out = value;
}

} // namespace

void QuibGetRGBABits(DDPIXELFORMAT* format, int* red, int* green, int* blue, int* alpha) {
    const bool rgb = format && (format->dwFlags & DDPF_RGB) && !(format->dwFlags & DDPF_PALETTEINDEXED8);
    Store(red, rgb ? CountMaskBits(format->dwRBitMask) : 0);
    Store(green, rgb ? CountMaskBits(format->dwGBitMask) : 0);
    Store(blue, rgb ? CountMaskBits(format->dwBBitMask) : 0);
    Store(alpha, rgb && (format->dwFlags & DDPF_ALPHAPIXELS) ? CountMaskBits(format->dwRGBAlphaBitMask) : 0);
}

void QuibPrintError() {}
