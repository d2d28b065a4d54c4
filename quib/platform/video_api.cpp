// The exported display functions around the start-up: the instance, window geometry, the shutdown steps,
// and the objects lent to the programs. The start-up and shutdown themselves are in quib/video_start.cpp.
#include "host/gdi/dc.h"
#include "host/win/system.h"
#include "host/win/window.h"
#include "quib/platform/directx.h"
#include "quib/platform/step_list.h"
#include "quib/platform/video.h"
#include "quib/quib.h"

HINSTANCE g_hInstance = nullptr;
RECT g_WindowRect = {};
RECT g_SourceRect = {};

namespace {

constexpr int kMaxShutdownSteps = 8;
StepList<kMaxShutdownSteps> s_shutdownSteps;

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

} // namespace

void SetWindowGeometry(int x, int y) {
    int desktopWidth = 0, desktopHeight = 0;
    DesktopSize(desktopWidth, desktopHeight);
    PlaceSpan(x, int(g_ClientRect.right), desktopWidth, g_WindowRect.left, g_WindowRect.right,
              g_SourceRect.left, g_SourceRect.right);
    PlaceSpan(y, int(g_ClientRect.bottom), desktopHeight, g_WindowRect.top, g_WindowRect.bottom,
              g_SourceRect.top, g_SourceRect.bottom);
}

void PlaceClientOrigin(HWND window) {
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    SetWindowGeometry(int(origin.x), int(origin.y));
}

bool WindowIsVisible() {
    return g_WindowRect.left < g_WindowRect.right && g_WindowRect.top < g_WindowRect.bottom &&
           g_SourceRect.left < g_SourceRect.right && g_SourceRect.top < g_SourceRect.bottom;
}

int AddVideoShutdownStep(VideoShutdownStep step) {
    return s_shutdownSteps.Add(step);
}

void RunVideoShutdownSteps() {
    s_shutdownSteps.Run();
}

void ClearVideoShutdownSteps() {
    s_shutdownSteps.Clear();
}

void QuibSetInstance(HINSTANCE instance) {
    g_hInstance = instance;
}

void QuibSetWindowXY(int x, int y) {
    SetWindowGeometry(x, y);
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
