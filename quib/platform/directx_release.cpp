// Giving the DirectX state up: the release of everything, and the way back from full screen to the
// desktop's mode.
#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"
#include "quib/platform/step_list.h"

namespace {

constexpr int kMaxReleaseSteps = 4;
StepList<kMaxReleaseSteps> s_beforeInterfaces;
StepList<kMaxReleaseSteps> s_surfacesReleased;

} // namespace

int AddDirectXReleaseStep(DirectXReleasePoint point, void (*step)()) {
    return point == DirectXReleasePoint::kBeforeInterfaces ? s_beforeInterfaces.Add(step)
                                                           : s_surfacesReleased.Add(step);
}

int ReleaseAllDirectX() {
    s_beforeInterfaces.Run();
    RELEASE_INTERFACE(g_lpD3DRMViewport);
    RELEASE_INTERFACE(g_lpD3DRMDevice2);
    RELEASE_INTERFACE(g_lpD3DRM2);
    RELEASE_INTERFACE(g_lpD3DRM);
    RELEASE_INTERFACE(g_lpBackBuffer);
    RELEASE_INTERFACE(g_lpD3DDevice2);
    RELEASE_INTERFACE(g_lpD3DDevice);
    RELEASE_INTERFACE(g_lpZBuffer);
    RELEASE_INTERFACE(g_lpPrimary);
    // Only 8-bit modes make a palette; where none was made the shutdown logs nothing for it.
    if (g_lpDDPalette) RELEASE_INTERFACE(g_lpDDPalette);
    RELEASE_INTERFACE(g_lpClipper);
    s_surfacesReleased.Run();

    int result = 1;
    if (g_FullScreen && g_lpDD) {
        HRESULT hr = g_lpDD->RestoreDisplayMode();
        if (FAILED(hr)) {
            // Reported, but the driver objects still go: a restart would otherwise overwrite them.
            REPORT_DD_ERROR(hr);
            result = 0;
        } else {
            DebugPrintf("RestoreDisplayMode()\n");
        }
    }
    RELEASE_INTERFACE(g_lpD3D2);
    RELEASE_INTERFACE(g_lpDD);
    return result;
}

int SetDirectDrawWindowMode() {
    if (!g_lpDD) return 1;
    HRESULT hr = g_lpDD->RestoreDisplayMode();
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    hr = g_lpDD->SetCooperativeLevel(g_hWnd, DDSCL_NORMAL);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    return 1;
}
