// The engine's entry for bringing the display up and down: the exported start-ups, the viewport and the
// shutdown run the platform layer's stages and set up and free the 3D layer's process-wide state in one
// fixed order. This file sits above both layers, so neither has to know the other for it.
#include "host/win/window.h"
#include "quib/platform/alloc.h"
#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/video.h"
#include "quib/quib.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/objects/scene_render.h"
#include "quib/scene/pipeline/line_clip.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/surface_table.h"

namespace {

// The stages of every windowed start after the geometry is known.
int StartWindowed(int width, int height) {
    SetLineClipRect(&g_ClientRect);
    if (!InitDirectX() || !InitScene() ||
        !EnterVideoModeWHBD(width, height, g_DesktopBPP, DefaultCameraFrame())) {
        QuibPrintError();
        return 0;
    }
    return 1;
}

} // namespace

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
    if (!EnterVideoModeWHBD(width, height, bpp, DefaultCameraFrame())) {
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
