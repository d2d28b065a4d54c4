// The exported camera family: making cameras (under an object or the scene root), making one current,
// placing the current camera, the back clip distance and projecting points through the Retained Mode
// viewport. Integer overloads use the fixed point of the flat interface: positions x 32768, angles in
// 4096ths of a turn.
#include <cmath>
#include <new>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"
#include "quib/scene/api/handles.h"
#include "quib/scene/frames/frame.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/objects/mesh_object.h"

namespace {

// Shows the scene through camera's frame. 1, or 0 with the error registered.
int LookThrough(Frame* camera) {
    if (!g_lpD3DRMViewport || !camera || !camera->m_frame) {
        RegError("Quib camera : no viewport or camera frame");
        return 0;
    }
    HRESULT hr = g_lpD3DRMViewport->SetCamera(camera->m_frame);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    return 1;
}

// The screen position of a world point through the viewport: 1 between the front and back planes, 0
// outside them (sx, sy written either way; 0, 0 for a point in the camera's plane), -1 when the viewport
// cannot transform it (error registered, sx and sy untouched).
int ProjectThroughViewport(float x, float y, float z, float& sx, float& sy) {
    if (!g_lpD3DRMViewport) {
        RegError("QuibTransformPoint : no viewport");
        return -1;
    }
    D3DVECTOR world{x, y, z};
    D3DRMVECTOR4D screen{};
    HRESULT hr = g_lpD3DRMViewport->Transform(&screen, &world);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return -1;
    }
    if (screen.w == 0.0f) {
        sx = sy = 0.0f;
        return 0;
    }
    sx = screen.x / screen.w;
    sy = screen.y / screen.w;
    return 0.0f <= screen.z && screen.z < screen.w ? 1 : 0;
}

} // namespace

int QuibCreateCamera(void* object, void** out) {
    if (!out) return 1;
    // Without a parent object the camera joins the scene root, beside the default camera, so that it
    // sees the scene.
    auto* parent = static_cast<MeshObject*>(object);
    IDirect3DRMFrame2* parentFrame = parent ? parent->m_frame : g_lpScene;
    auto* camera = new (std::nothrow) Frame(nullptr, parentFrame);
    if (camera && !camera->m_frame) {
        delete camera;
        camera = nullptr;
    }
    *out = camera;
    return 1;
}

int QuibFreeCamera(void* camera) {
    auto* frame = static_cast<Frame*>(camera);
    // The default camera is the engine's; the current one is let go of before it goes.
    if (!frame || frame == g_pDefaultCamera) return 1;
    if (frame == g_lpCamera) {
        QuibSetDefaultCamera();
        if (g_lpCamera == frame) g_lpCamera = nullptr;
    }
    delete frame;
    return 1;
}

int QuibSetCamera(void* camera) {
    if (!camera) return 0;
    g_lpCamera = static_cast<Frame*>(camera);
    return LookThrough(g_lpCamera);
}

int QuibSetDefaultCamera() {
    if (!g_pDefaultCamera) return 0;
    g_lpCamera = g_pDefaultCamera;
    return LookThrough(g_lpCamera);
}

IDirect3DRMViewport* QuibGetViewport() {
    return g_lpD3DRMViewport;
}

int QuibCameraOrientation(float x, float y, float z, float a, float b, float c) {
    if (!g_lpCamera) return 0;
    g_lpCamera->SetPosition(x, y, z);
    g_lpCamera->SetRotation(a, b, c);
    return 1;
}

int QuibCameraOrientation(long x, long y, long z, long a, long b, long c) {
    return QuibCameraOrientation(FixedPosition(x), FixedPosition(y), FixedPosition(z), FixedAngle(a),
                                 FixedAngle(b), FixedAngle(c));
}

int QuibCameraGetOrientation(float& x, float& y, float& z, float& a, float& b, float& c) {
    if (!g_lpCamera) return 0;
    x = g_lpCamera->m_position.x;
    y = g_lpCamera->m_position.y;
    z = g_lpCamera->m_position.z;
    a = g_lpCamera->m_angles[0];
    b = g_lpCamera->m_angles[1];
    c = g_lpCamera->m_angles[2];
    return 1;
}

int QuibCameraLook(float x, float y, float z, float tx, float ty, float tz) {
    if (!g_lpCamera) return 0;
    g_lpCamera->Look(x, y, z, tx, ty, tz);
    return 1;
}

int QuibCameraLook(long x, long y, long z, long tx, long ty, long tz) {
    return QuibCameraLook(FixedPosition(x), FixedPosition(y), FixedPosition(z), FixedPosition(tx),
                          FixedPosition(ty), FixedPosition(tz));
}

int QuibCameraLookAngle(float a, float b, float c) {
    if (!g_lpCamera) return 0;
    g_lpCamera->AddRotation(a, b, c);
    return 1;
}

int QuibCameraLookAngle(long a, long b, long c) {
    return QuibCameraLookAngle(FixedAngle(a), FixedAngle(b), FixedAngle(c));
}

int QuibCameraFollow(float x, float y, float z, float distance, float yaw, float pitch) {
    if (!g_lpCamera) return 0;
    g_lpCamera->Align(x, y, z, distance, yaw, pitch);
    return 1;
}

int QuibCameraFollow(long x, long y, long z, long distance, long yaw, long pitch) {
    return QuibCameraFollow(FixedPosition(x), FixedPosition(y), FixedPosition(z), FixedPosition(distance),
                            FixedAngle(yaw), FixedAngle(pitch));
}

int QuibCameraSetRotationOrderYPR() {
    if (!g_lpCamera) return 0;
    g_lpCamera->SetYPR();
    return 1;
}

int QuibCameraSetRotationOrderPRY() {
    if (!g_lpCamera) return 0;
    g_lpCamera->SetPRY();
    return 1;
}

int QuibSetCameraTransform(D3DMATRIX* m) {
    if (!g_lpCamera || !m) return 0;
    g_lpCamera->SetTransform(m);
    return 1;
}

int QuibGetCameraTransform(D3DMATRIX* m) {
    if (!g_lpCamera || !m) return 0;
    g_lpCamera->GetTransform(m);
    return 1;
}

int QuibCameraTransform(D3DMATRIX* m) {
    if (!g_lpCamera || !m) return 0;
    g_lpCamera->Transform(m);
    return 1;
}

int QuibSetZClipDistance(float back) {
    if (!g_lpD3DRMViewport) return 0;
    HRESULT hr = g_lpD3DRMViewport->SetBack(back);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    return 1;
}

float QuibGetDistanceFromCamera(float x, float y, float z) {
    if (!g_lpCamera) return 0.0f;
    const D3DVECTOR& p = g_lpCamera->m_position;
    const double dx = double(p.x) - x, dy = double(p.y) - y, dz = double(p.z) - z;
    return float(std::sqrt(dx * dx + dy * dy + dz * dz));
}

int QuibTransformPoint(float x, float y, float z, float* sx, float* sy) {
    if (!sx || !sy) return 0;
    return ProjectThroughViewport(x, y, z, *sx, *sy) == 1 ? 1 : 0;
}

int QuibTransformPoint(long x, long y, long z, long* sx, long* sy) {
    if (!sx || !sy) return 0;
    // Unlike the placement functions, the point is in whole world units.
    float fx = 0.0f, fy = 0.0f;
    const int result = ProjectThroughViewport(float(x), float(y), float(z), fx, fy);
    if (result < 0) return 0;
    *sx = long(fx);
    *sy = long(fy);
    return result;
}
