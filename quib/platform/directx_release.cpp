// Giving the DirectX state up: the release of everything, and the way back from full screen to the
// desktop's mode.
#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/objects/horizon.h"
#include "quib/scene/pipeline/viewport_state.h"

int ReleaseAllDirectX() {
    FreeHorizon();
    RELEASE_INTERFACE(g_lpD3DRMViewport);
    // The pipeline's viewport belonged to the Retained Mode viewport and is gone with it.
    g_ImViewport = nullptr;
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
    // The camera's frames outlive the Retained Mode object that made them.
    DeleteDefaultCamera();

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
