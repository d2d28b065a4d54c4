#include "quib/scene/pipeline/viewport_state.h"

#include <cmath>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/scene/math/float_bits.h"
#include "quib/scene/pipeline/primitive.h"
#include "quib/scene/pipeline/render_mode.h"
#include "quib/scene/pipeline/scene_fog.h"
#include "quib/scene/textures/texture_cache.h"

ImViewportState ViewportState = {};
IDirect3DViewport2* g_ImViewport = nullptr;
float g_ProjectionFactor = 0.1f;

namespace {

void forget_im_viewport() {
    g_ImViewport = nullptr;
}

} // namespace

void set_viewport_clip(int x, int y, int width, int height, IDirect3DViewport2* viewport) {
    g_ImViewport = viewport;
    // The viewport belongs to the Retained Mode viewport and is gone with it.
    AddDirectXReleaseStep(DirectXReleasePoint::kBeforeInterfaces, forget_im_viewport);
    ViewportState.x = x;
    ViewportState.y = y;
    ViewportState.width = width;
    ViewportState.height = height;
    float area = float(width) * float(height);
    ViewportState.inverseArea = area != 0.0f ? 1.0f / area : 0.0f;
    set_viewport_values();
    update_viewport_scale();
}

void set_viewport_values() {
    if (!g_ImViewport) return;
    D3DVIEWPORT2 values = {};
    values.dwSize = sizeof(D3DVIEWPORT2);
    values.dwX = DWORD(ViewportState.x);
    values.dwY = DWORD(ViewportState.y);
    values.dwWidth = DWORD(ViewportState.width);
    values.dwHeight = DWORD(ViewportState.height);
    values.dvClipX = 0.0f;
    values.dvClipY = 0.0f;
    values.dvClipWidth = 1.0f;
    // In floating point: as integers 600 / 800 would be 0 and flatten the projection.
    values.dvClipHeight =
        ViewportState.width != 0 ? float(ViewportState.height) / float(ViewportState.width) : 0.0f;
    values.dvMinZ = 0.0f;
    values.dvMaxZ = 1.0f;
    HRESULT hr = g_ImViewport->SetViewport2(&values);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
}

void update_viewport_scale() {
    ImViewportState& v = ViewportState;
    v.left = float(v.x);
    v.top = float(v.y);
    v.right = float(v.x + v.width);
    v.bottom = float(v.y + v.height);
    v.centreX = float(v.x) + float(v.width) * 0.5f;
    v.centreY = float(v.y) + float(v.height) * 0.5f;
    v.scale = float(v.width) * g_ProjectionFactor * 5.0f;
    // An empty viewport has no slopes (and must not divide by zero).
    float step = v.scale != 0.0f ? -1.0f / v.scale : 0.0f;
    v.bottomSlope = (v.bottom - v.centreY) * step;
    v.topSlope = (v.top - v.centreY) * step;
    v.leftSlope = (v.right - v.centreX) * step;
    v.rightSlope = (v.left - v.centreX) * step;
}

// ---- The view of the current frame ----

PipelineMatrix g_CameraMatrix = {};
PipelineMatrix g_ViewMatrix = {};
float g_CameraPosition[3] = {};
ViewPlane g_FrustumPlanes[kFrustumPlaneCount] = {};
IDirect3DDevice2* g_ImDevice = nullptr;

void set_projection(float field) {
    float factor = 0.01f / field;
    g_ProjectionFactor = factor < kMinimumProjectionFactor ? kMinimumProjectionFactor : factor;
    update_viewport_scale();
}

namespace {

float dot3(const float a[3], const float b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// A side plane through the camera position with normal (along + slope * forward), normalised.
ViewPlane side_plane(const float along[3], float sign, float slope, const float forward[3],
                     const float at[3]) {
    float n[3];
    for (int k = 0; k < 3; ++k)
        n[k] = sign * along[k] + slope * forward[k];
    float length = std::sqrt(dot3(n, n));
    float scale = length > 0.0f ? 1.0f / length : 0.0f;
    for (float& c : n)
        c *= scale;
    return {n[0], n[1], n[2], -dot3(at, n)};
}

void build_frustum(const PipelineMatrix& camera) {
    const float* right = camera.r[0];
    const float* up = camera.r[1];
    const float* forward = camera.r[2];
    const float* at = camera.t;
    float kx = (float(ViewportState.width) * 0.5f) / ViewportState.scale;
    float ky = (float(ViewportState.height) * 0.5f) / ViewportState.scale;
    if (!(ViewportState.scale > 0.0f)) kx = ky = 0.0f;
    g_FrustumPlanes[kFrustumNear] = {forward[0], forward[1], forward[2], -dot3(at, forward) - kNearPlane};
    g_FrustumPlanes[kFrustumBottom] = side_plane(up, 1.0f, ky, forward, at);
    g_FrustumPlanes[kFrustumTop] = side_plane(up, -1.0f, ky, forward, at);
    g_FrustumPlanes[kFrustumLeft] = side_plane(right, 1.0f, kx, forward, at);
    g_FrustumPlanes[kFrustumRight] = side_plane(right, -1.0f, kx, forward, at);
}

void set_state(IDirect3DDevice2* device, D3DRENDERSTATETYPE state, DWORD value) {
    HRESULT hr = device->SetRenderState(state, value);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
}

void set_frame_states(IDirect3DDevice2* device) {
    set_state(device, D3DRENDERSTATE_COLORKEYENABLE, TRUE);
    if (g_FogEnabled) {
        set_state(device, D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
        set_state(device, D3DRENDERSTATE_FOGENABLE, TRUE);
        set_state(device, D3DRENDERSTATE_FOGCOLOR, g_FogColour);
        set_state(device, D3DRENDERSTATE_FOGTABLESTART, FloatBits(g_FogStart));
        set_state(device, D3DRENDERSTATE_FOGTABLEEND, FloatBits(g_FogEnd));
        set_state(device, D3DRENDERSTATE_FOGTABLEDENSITY, FloatBits(g_FogDensity));
    } else {
        set_state(device, D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_NONE);
        set_state(device, D3DRENDERSTATE_FOGENABLE, FALSE);
    }
    set_state(device, D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
    set_state(device, D3DRENDERSTATE_ZENABLE, TRUE);
    set_state(device, D3DRENDERSTATE_ZWRITEENABLE, TRUE);
}

} // namespace

void setup_view(const float parent[16], const float camera[16], IDirect3DDevice2* device) {
    texcache_ensure_list();
    g_ImDevice = device;
    g_CurrentTexture = nullptr;
    if (device) set_state(device, D3DRENDERSTATE_TEXTUREHANDLE, 0);
    set_viewport_values();
    PipelineMatrix cameraToWorld = pipeline_matrix_from_4x4(parent);
    multiply_transform(cameraToWorld, cameraToWorld, camera);
    build_frustum(cameraToWorld);
    for (int k = 0; k < 3; ++k)
        g_CameraPosition[k] = cameraToWorld.t[k];
    g_CameraMatrix = cameraToWorld;
    g_ViewMatrix = cameraToWorld;
    invert_rigid(g_ViewMatrix);
    if (!device) return;
    set_specular(0);
    set_frame_states(device);
}

void project_point(const float in[3], float out[4]) {
    float camera[3];
    apply_transform(g_ViewMatrix, in, camera);
    float rhw = 1.0f / camera[2];
    out[0] = ViewportState.centreX + camera[0] * rhw * ViewportState.scale;
    out[1] = ViewportState.centreY - camera[1] * rhw * ViewportState.scale;
    out[2] = 1.0f - kDepthConstant * rhw;
    out[3] = rhw;
}

void unproject_at_depth(float sx, float sy, float out[3]) {
    const float offset[3] = {sx - ViewportState.centreX, sy - ViewportState.centreY, 1000.0f};
    apply_transform(g_CameraMatrix, offset, out);
}

void forget_pipeline_device() {
    g_ImDevice = nullptr;
    g_LitMode = 0;
    primitive_reset_states();
}
