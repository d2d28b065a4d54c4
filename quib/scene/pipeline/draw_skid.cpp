#include "quib/scene/pipeline/draw_skid.h"

#include "quib/platform/errors.h"
#include "quib/scene/pipeline/set_texture.h"
#include "quib/scene/pipeline/triangle_list.h"

namespace {

constexpr D3DCOLOR kTexturedSkid = 0xFFFFFF;
constexpr D3DCOLOR kPlainSkid = 0xC0C0C0;
constexpr float kSkidRhw = 0.5f; // fixed: the texture is laid out on the screen
constexpr float kSkidTexelScale = 0.5f;

void set_state(D3DRENDERSTATETYPE state, DWORD value) {
    HRESULT hr = g_ImDevice->SetRenderState(state, value);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
}

bool all_zero(const float* const corners[4]) {
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 3; ++k)
            if (corners[i][k] != 0.0f) return false;
    return true;
}

// The triangles (0, 1, 2) and (0, 2, 3) of the quad clipped against all six planes, drawn as one list.
void draw_near_clipped(const float camera[4][3], D3DCOLOR colour) {
    TriangleBatch batch;
    batch.vertices = 4;
    const int halves[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (const auto& half : halves) {
        const float p[3][3] = {{camera[half[0]][0], camera[half[0]][1], camera[half[0]][2]},
                               {camera[half[1]][0], camera[half[1]][1], camera[half[1]][2]},
                               {camera[half[2]][0], camera[half[2]][1], camera[half[2]][2]}};
        clip_triangle(half, p, kAllClipPlanes, PlainClipEmit{colour}, batch);
    }
    draw_triangle_batch(batch);
}

} // namespace

void draw_skid_piece(const float p0[3], const float p1[3], const float p2[3], const float p3[3],
                     DPMaterial* material) {
    const float* const corners[4] = {p0, p1, p2, p3};
    if (!g_ImDevice || all_zero(corners)) return;
    const D3DCOLOR colour = material ? kTexturedSkid : kPlainSkid;

    float camera[4][3];
    uint8_t all = 0xFF, any = 0;
    for (int i = 0; i < 4; ++i) {
        apply_transform(g_ViewMatrix, corners[i], camera[i]);
        D3DTLVERTEX& v = g_VertexBuffer[i];
        project_camera_point(camera[i][0], camera[i][1], camera[i][2], v);
        v.rhw = kSkidRhw;
        v.color = colour;
        v.specular = kNoSpecular;
        v.tu = v.sx * kSkidTexelScale;
        v.tv = v.sy * kSkidTexelScale;
        g_ClipCodes[i] = vertex_clip_code(v, camera[i][2]);
        all &= g_ClipCodes[i];
        any |= g_ClipCodes[i];
    }
    if (all) return;

    set_state(D3DRENDERSTATE_ZENABLE, FALSE);
    set_state(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    set_state(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ZERO);
    set_state(D3DRENDERSTATE_DESTBLEND, D3DBLEND_SRCCOLOR);
    set_state(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    set_texture(material);
    if (!(any & kClipNear)) {
        HRESULT hr = g_ImDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, g_VertexBuffer, 4,
                                               D3DDP_DONOTUPDATEEXTENTS);
        if (FAILED(hr)) REPORT_D3D_ERROR(hr);
    } else {
        draw_near_clipped(camera, colour);
    }
    set_state(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    set_state(D3DRENDERSTATE_ZENABLE, TRUE);
    set_state(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    set_state(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    set_state(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
}
