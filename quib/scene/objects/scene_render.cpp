// The two per-frame render paths. The queued-object path draws the objects queued this frame through
// Retained Mode, far to near; the display-list path draws a whole list through the engine's own
// immediate-mode pipeline, with the horizon (or a blitted background) behind it. Both start by restoring
// lost surfaces and clearing the viewport.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/objects/display_list.h"
#include "quib/scene/objects/horizon.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/objects/scene_render.h"
#include "quib/scene/objects/scene_settings.h"
#include "quib/scene/pipeline/viewport_state.h"

namespace {

constexpr int MAX_RENDEROBJECTS = 1000;
// Objects of this type are drawn before everything else.
constexpr float kFirstDrawnDistance = 10000000.0f;
constexpr float kHorizonDistance = 100000.0f;

MeshObject* g_RenderObjects[MAX_RENDEROBJECTS];
int g_RenderObjectCount = 0;
// Set after the primary surface was restored: the next frame of that path marks the viewport again.
int g_SceneReclear = 0;
int g_DisplayListReclear = 0;

enum class Opening { kDraw, kSkipFrame, kFailed };

struct DirtyRect {
    DWORD x1, y1, x2, y2;
};

bool ForceUpdate(const DirtyRect& r) {
    HRESULT hr = g_lpD3DRMViewport->ForceUpdate(r.x1, r.y1, r.x2, r.y2);
    if (FAILED(hr)) REPORT_D3DRM_ERROR(hr);
    return SUCCEEDED(hr);
}

// Restores the primary, the Z-buffer and the back buffer when lost, marking the viewport after each.
Opening RestoreLostSurfaces(const DirtyRect& r, int* reclear) {
    IDirectDrawSurface* surfaces[3] = {g_lpPrimary, g_lpZBuffer, g_lpBackBuffer};
    for (int i = 0; i < 3; ++i) {
        if (!surfaces[i] || surfaces[i]->IsLost() == DD_OK) continue;
        if (FAILED(surfaces[i]->Restore())) return Opening::kSkipFrame;
        if (i == 0 && reclear) *reclear = 1;
        if (!ForceUpdate(r)) return Opening::kFailed;
    }
    return Opening::kDraw;
}

// The common opening of both paths: the viewport's rectangle, the surfaces present, a pending re-clear
// and lost surfaces.
Opening OpenFrame(int* reclear, DirtyRect& r) {
    if (!g_lpD3DRMViewport) return Opening::kFailed;
    const LONG x = g_lpD3DRMViewport->GetX(), y = g_lpD3DRMViewport->GetY();
    r = {DWORD(x), DWORD(y), DWORD(x) + g_lpD3DRMViewport->GetWidth(),
         DWORD(y) + g_lpD3DRMViewport->GetHeight()};
    if (!g_lpPrimary || !g_lpZBuffer) return Opening::kFailed;
    if (*reclear) {
        *reclear = 0;
        if (!ForceUpdate(r)) return Opening::kFailed;
    }
    return RestoreLostSurfaces(r, reclear);
}

// Clears the back buffer (to the viewport's background) and the Z-buffer over the whole screen.
int ClearViewport() {
    IDirect3DViewport* viewport = nullptr;
    HRESULT hr = g_lpD3DRMViewport->GetDirect3DViewport(&viewport);
    if (FAILED(hr) || !viewport) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (g_lpBackBuffer) g_lpBackBuffer->GetSurfaceDesc(&desc);
    D3DRECT screen = {0, 0, LONG(desc.dwWidth), LONG(desc.dwHeight)};
    hr = viewport->Clear(1, &screen, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
    viewport->Release();
    if (FAILED(hr)) {
        REPORT_D3D_ERROR(hr);
        return 0;
    }
    return 1;
}

void ZeroStatistics() {
    g_RenderStats = RenderStatistics{};
}

// The queued objects that are not rejected, far to near; equal distances keep their queue order.
std::vector<MeshObject*> SortRenderObjects() {
    ZeroStatistics();
    std::vector<std::pair<float, MeshObject*>> visible;
    for (int i = 0; i < g_RenderObjectCount; ++i) {
        MeshObject* object = g_RenderObjects[i];
        if (object->TrivialReject(g_lpD3DRMViewport, 1) != 0) continue;
        const float distance =
            object->m_renderType == '~' ? kFirstDrawnDistance : object->DistanceFromCamera();
        visible.emplace_back(distance, object);
    }
    std::stable_sort(visible.begin(), visible.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<MeshObject*> order;
    for (const auto& entry : visible)
        order.push_back(entry.second);
    return order;
}

int RenderScene() {
    DirtyRect r{};
    switch (OpenFrame(&g_SceneReclear, r)) {
    case Opening::kFailed: return 0;
    case Opening::kSkipFrame: return 1;
    case Opening::kDraw: break;
    }
    if (!ClearViewport()) return 0;
    for (MeshObject* object : SortRenderObjects())
        if (!object->Render(g_lpD3DRMViewport)) return 0;
    QuibShowStats();
    return 1;
}

// The 4x4 transform of frame relative to its parent, row by row; identity when it cannot be read.
void ReadTransform(IDirect3DRMFrame2* frame, float out[16]) {
    D3DRMMATRIX4D m = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    if (frame) frame->GetTransform(m);
    std::memcpy(out, m, sizeof m);
}

// The view of the current camera: its frame's transform under its parent's (the scene root when it has
// none).
void SetUpCameraView() {
    float parent[16], camera[16];
    IDirect3DRMFrame2* cameraFrame = g_lpCamera ? g_lpCamera->m_frame : nullptr;
    IDirect3DRMFrame2* parentFrame = g_lpCamera && g_lpCamera->m_parent ? g_lpCamera->m_parent : g_lpScene;
    ReadTransform(cameraFrame, camera);
    ReadTransform(parentFrame, parent);
    setup_view(parent, camera, g_lpD3DDevice2);
}

void DrawBackground() {
    if (!g_BackgroundBlit) {
        g_pHorizon->Update(g_HorizonColour1, g_HorizonColour2);
        g_pHorizon->Draw();
    } else if (g_BackgroundSurface && g_lpBackBuffer) {
        RECT rect = g_BackgroundRect;
        g_lpBackBuffer->Blt(&rect, g_BackgroundSurface, &rect, DDBLT_WAIT, nullptr);
    }
}

int DrawDisplayList(DisplayList* list, const DirtyRect& r) {
    switch (RestoreLostSurfaces(r, nullptr)) {
    case Opening::kFailed: return 0;
    case Opening::kSkipFrame: return 1;
    case Opening::kDraw: break;
    }
    for (int i = 0; i < list->GetCount(); ++i)
        if (MeshObject* object = list->GetAt(i)) object->RenderDPMesh();
    return 1;
}

int RenderDisplayListScene(DisplayList* list) {
    DirtyRect r{};
    switch (OpenFrame(&g_DisplayListReclear, r)) {
    case Opening::kFailed: return 0;
    case Opening::kSkipFrame: return 1;
    case Opening::kDraw: break;
    }
    if (!ClearViewport()) return 0;
    g_lpD3DDevice2->BeginScene();
    if (!g_pHorizon) {
        g_pHorizon = new (std::nothrow) Horizon;
        if (!g_pHorizon) return 0;
        g_pHorizon->Init(g_HorizonColour1, g_HorizonColour2, kHorizonDistance);
        // Its background material belongs to the viewport: it goes before the DirectX objects do.
        AddDirectXReleaseStep(DirectXReleasePoint::kBeforeInterfaces, FreeHorizon);
    }
    SetUpCameraView();
    DrawBackground();
    ZeroStatistics();
    if (!DrawDisplayList(list, r)) return 0;
    QuibShowStats();
    return 1;
}

} // namespace

void FreeScene() {
    FreeHorizon();
    ReleaseSceneFrames();
}

int QuibBeginScene() {
    g_RenderObjectCount = 0;
    return 1;
}

int QuibRenderObject(void* object) {
    if (!object) return 0;
    if (g_RenderObjectCount >= MAX_RENDEROBJECTS) {
        RegError("QuibRenderObject:: exceeded MAX_RENDEROBJECTS!");
        return 0;
    }
    g_RenderObjects[g_RenderObjectCount++] = static_cast<MeshObject*>(object);
    return 1;
}

int QueuedRenderObjectCount() {
    return g_RenderObjectCount;
}

MeshObject* QueuedRenderObject(int i) {
    return i >= 0 && i < g_RenderObjectCount ? g_RenderObjects[i] : nullptr;
}

int QuibRenderScene() {
    return RenderScene();
}

int QuibEndScene() {
    return RenderScene();
}

int QuibRenderDisplayList(void* list) {
    if (!list || !g_lpD3DDevice2) return 0;
    return RenderDisplayListScene(static_cast<DisplayList*>(list));
}

HRESULT TextureLoadCallback(char* name, void*, IDirect3DRMTexture** out) {
    // The .ppm name is built apart: rewriting in place could run past the caller's buffer.
    char file[kTextureNameSize];
    std::snprintf(file, sizeof file, "%.*s.ppm", int(std::strcspn(name, ".")), name);
    if (!g_lpD3DRM2 || FAILED(g_lpD3DRM2->LoadTexture(file, out)) || !*out) return -1;
    if (std::strcmp(file, "gdk_fill.ppm") == 0) (*out)->SetShades(1);
    return 0;
}
