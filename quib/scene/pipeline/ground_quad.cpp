#include "quib/scene/pipeline/ground_quad.h"

#include "quib/scene/pipeline/draw_submesh.h"

#include "quib/platform/errors.h"
#include "quib/scene/pipeline/polygon_clip.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/texture_cache.h"

namespace {

void set_state(D3DRENDERSTATETYPE state, DWORD value) {
    HRESULT hr = g_ImDevice->SetRenderState(state, value);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
}

// The camera-space ring of the square, or null when it leaves the view volume.
ClipVertex* clip_ground(float h) {
    const float corners[4][3] = {{-h, 0, -h}, {-h, 0, h}, {h, 0, h}, {h, 0, -h}};
    ClipVertex* ring = g_ClipPool.restart(4);
    for (int i = 0; i < 4; ++i) {
        ClipVertex& v = g_ClipPool.nodes[i];
        float camera[3];
        apply_transform(g_ViewMatrix, corners[i], camera);
        v.x = camera[0];
        v.y = camera[1];
        v.z = camera[2];
        v.tu = v.tv = 0.0f; // untextured, but never garbage for the rasterizer
    }
    const float kx = ViewportState.width * 0.5f / ViewportState.scale;
    const float ky = ViewportState.height * 0.5f / ViewportState.scale;
    const ClipPlane planes[6] = {{0, 0, 1, -kNearPlane}, {1, 0, kx, 0},  {-1, 0, kx, 0},
                                 {0, 1, ky, 0},          {0, -1, ky, 0}, {0, 0, -1, kGroundFarClip}};
    for (const ClipPlane& plane : planes) {
        if (!ring) break;
        g_ClipPlane = plane;
        ring = clip_polygon(ring);
    }
    return ring;
}

} // namespace

void draw_background_quad(float half_size, unsigned long colour) {
    // Later billboards clip at the ground plane's far distance.
    g_FarClip = kGroundFarClip;
    if (!g_ImDevice || !(ViewportState.scale > 0.0f)) return;
    ClipVertex* ring = clip_ground(half_size);
    if (!ring) return;
    D3DTLVERTEX fan[ClipVertexPool<ClipVertex>::kCapacity];
    int count = 0;
    const ClipVertex* v = ring;
    do {
        float rhw = 1.0f / v->z;
        fan[count++] = {ViewportState.centreX + v->x * rhw * ViewportState.scale,
                        ViewportState.centreY - v->y * rhw * ViewportState.scale,
                        kGroundDepth,
                        rhw,
                        D3DCOLOR(colour),
                        0xFF000000u,
                        v->tu,
                        v->tv};
        v = v->next;
    } while (v != ring && count < ClipVertexPool<ClipVertex>::kCapacity);
    g_CurrentTexture = nullptr;
    set_state(D3DRENDERSTATE_TEXTUREHANDLE, 0);
    set_state(D3DRENDERSTATE_ZENABLE, FALSE);
    set_state(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    HRESULT hr = g_ImDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, fan, DWORD(count),
                                           D3DDP_DONOTUPDATEEXTENTS);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
    set_state(D3DRENDERSTATE_ZENABLE, TRUE);
    set_state(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
}
