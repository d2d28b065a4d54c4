// The statistics line, plain text on the back buffer, and the texture video memory query.
#include <cstdio>
#include <cstring>

#include "host/gdi/text.h"
#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/render_stats.h"
#include "quib/quib.h"

RenderStatistics g_RenderStats = {};

namespace {

constexpr int kStatsTextSize = 256;
constexpr COLORREF kOverlayTextColour = 0x8080ff; // red 255, green 128, blue 128

int s_showStats = 0;

// Draws text at (x, y) on the back buffer with the DC's own font; false when the buffer gives no DC.
bool DrawOnBackBuffer(const char* text, int x, int y, int backgroundMode) {
    if (!g_lpBackBuffer) return false;
    HDC dc = nullptr;
    if (FAILED(g_lpBackBuffer->GetDC(&dc)) || !dc) return false;
    SetBkMode(dc, backgroundMode);
    SetTextColor(dc, kOverlayTextColour);
    TextOutA(dc, x, y, text, int(std::strlen(text)));
    g_lpBackBuffer->ReleaseDC(dc);
    return true;
}

} // namespace

void QuibShowFPS(int on) {
    s_showStats = on;
}

void QuibShowStats() {
    if (!s_showStats) return;
    char text[kStatsTextSize];
    std::snprintf(
        text, sizeof(text), "FPS:%5.2f, OBJS: %3d, VC: %5d, PC: %5d, VM: %8d, SX:%4d, SY:%4d, SBD:%2d , %s",
        double(g_dwFpsF), g_RenderStats.objects, g_RenderStats.vertices, g_RenderStats.polygons,
        g_RenderStats.textureBytes, g_ModeWidth, g_ModeHeight, g_ModeBPP, g_bHardware3D ? "(H)" : "(S)");
    const int length = int(std::strlen(text));
    // Centred on the bottom line, each half rounded down.
    const int x = g_ModeWidth / 2 - (length * g_CharWidth) / 2;
    const int y = g_ModeHeight - g_FontHeight;
    DrawOnBackBuffer(text, x, y, TRANSPARENT);
}

int QuibPrintString(const char* text, int x, int y) {
    if (!text) return 0;
    return DrawOnBackBuffer(text, x, y, OPAQUE) ? 1 : 0;
}

void QuibVideoMemoryStats(unsigned long& total, unsigned long& free) {
    if (g_lpDD) {
        IDirectDraw2* dd2 = nullptr;
        HRESULT hr = g_lpDD->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&dd2));
        if (FAILED(hr)) {
            REPORT_DD_ERROR(hr);
        } else {
            DDSCAPS caps = {DDSCAPS_TEXTURE};
            hr = dd2->GetAvailableVidMem(&caps, &g_dwVidMemTotal, &g_dwVidMemFree);
            if (FAILED(hr)) REPORT_DD_ERROR(hr);
            dd2->Release();
        }
    }
    DebugPrintf("QuibVideoMemoryStats : total=%8d, free=%8d\n", int(g_dwVidMemTotal), int(g_dwVidMemFree));
    // The caller asked for the two figures: give them, not only the engine's own copies.
    total = g_dwVidMemTotal;
    free = g_dwVidMemFree;
}
