#include "quib/scene/frames/scene3d_state.h"

#include <new>

#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"
#include "quib/scene/frames/frame.h"

IDirect3DRMFrame2* g_lpScene = nullptr;
IDirect3DRMFrame2* g_lpPlayers = nullptr;
Frame* g_pDefaultCamera = nullptr;
Frame* g_lpCamera = nullptr;
IDirectDrawSurface* g_lpMirrorSurface = nullptr;
IDirectDrawSurface* g_lpMirrorSurfaceFlipped = nullptr;

namespace {

// The scene's background: red 82/255, green 132/255 and blue 0.9032258.
constexpr float kBackgroundRed = 0.32156864f;
constexpr float kBackgroundGreen = 0.5176471f;
constexpr float kBackgroundBlue = 0.9032258f;

// A new frame under parent (a root for NULL) into frame; reports a failure.
int CreateSceneFrame(IDirect3DRMFrame2* parent, IDirect3DRMFrame2*& frame, const char* name) {
    HRESULT hr = g_lpD3DRM2->CreateFrame(parent, &frame);
    if (FAILED(hr)) {
        frame = nullptr;
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    LogCreate(frame, name);
    return 1;
}

int MakeDefaultCamera() {
    DeleteDefaultCamera();
    Frame* camera = new (std::nothrow) Frame(g_lpD3DRM2, g_lpScene);
    if (!camera) {
        REPORT_D3DRM_ERROR(D3DRMERR_BADALLOC);
        return 0;
    }
    // A camera without its frame would crash every later camera call.
    if (!camera->m_frame || !camera->m_lookatframe) {
        delete camera;
        REPORT_D3DRM_ERROR(D3DRMERR_BADOBJECT);
        return 0;
    }
    g_pDefaultCamera = camera;
    g_lpCamera = camera;
    // The camera's frames outlive the Retained Mode object that made them.
    AddDirectXReleaseStep(DirectXReleasePoint::kSurfacesReleased, DeleteDefaultCamera);
    return 1;
}

} // namespace

int InitScene() {
    if (!g_lpD3DRM2) return 1;
    if (g_lpScene) ReleaseInterface(g_lpScene, "g_lpScene");
    if (!CreateSceneFrame(nullptr, g_lpScene, "InitScene : g_lpScene")) return 0;
    if (!MakeDefaultCamera()) return 0;
    if (g_lpPlayers) ReleaseInterface(g_lpPlayers, "g_lpPlayers");
    if (!CreateSceneFrame(g_lpScene, g_lpPlayers, "InitScene : g_lpPlayers")) return 0;
    g_lpScene->SetSceneBackgroundRGB(kBackgroundRed, kBackgroundGreen, kBackgroundBlue);
    DebugPrintf("SetSceneBackgroundRGB\n");
    return 1;
}

IDirect3DRMFrame2* DefaultCameraFrame() {
    return g_pDefaultCamera ? g_pDefaultCamera->m_frame : nullptr;
}

void ReleaseSceneFrames() {
    ReleaseInterface(g_lpScene, "g_lpScene");
    ReleaseInterface(g_lpPlayers, "g_lpPlayers");
    // The scene holds no camera frame of its own: the line only marks the camera's place in the log.
    DebugPrintf("RELEASE:<%p>%s already NULL\n", static_cast<const void*>(nullptr), "g_lpCamera");
}

void DeleteDefaultCamera() {
    if (!g_pDefaultCamera) return;
    if (g_lpCamera == g_pDefaultCamera) g_lpCamera = nullptr;
    delete g_pDefaultCamera;
    g_pDefaultCamera = nullptr;
}

void ReleaseMirrorSurfaces() {
    ReleaseInterface(g_lpMirrorSurface, "Mirror Surface g_lpMirrorSurface");
    ReleaseInterface(g_lpMirrorSurfaceFlipped, "Mirror Surface g_lpMirrorFlipped");
}
