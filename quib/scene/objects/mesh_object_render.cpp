// The two ways a mesh object is drawn: through Retained Mode (queued objects) and through the engine's
// immediate-mode pipeline (display lists), and the outline of its box.
#include <cstring>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/math/float_bits.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/mesh/material.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/pipeline/scene_fog.h"

namespace {

constexpr long kOutlineColour = -1; // 0xFFFFFFFF
constexpr float kCrossHalfSize = 0.3f;
constexpr float kMirrorFarDivisor = 10.0f;
// Corner pairs of the 12 box edges, in drawing order.
constexpr int kBoxEdges[12][2] = {{0, 1}, {4, 5}, {0, 4}, {1, 5}, {2, 3}, {6, 7},
                                  {2, 6}, {3, 7}, {0, 2}, {4, 6}, {5, 7}, {1, 3}};

void SetState(D3DRENDERSTATETYPE state, DWORD value) {
    if (g_lpD3DDevice2) g_lpD3DDevice2->SetRenderState(state, value);
}

// Blending by the destination colour. The source factor is set too (to the device default, ONE), so
// the result does not depend on whichever drawing last left it.
void BlendByDestination() {
    SetState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    SetState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    SetState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_DESTCOLOR);
}

void SetZ(BOOL on) {
    SetState(D3DRENDERSTATE_ZENABLE, on);
    SetState(D3DRENDERSTATE_ZWRITEENABLE, on);
}

void DrawWithFrame(DPMeshGeo* geo, Frame& frame) {
    D3DMATRIX m{};
    frame.GetTransform(&m);
    float transform[16];
    std::memcpy(transform, &m, sizeof(transform));
    draw_geometry(geo, transform);
}

// Types drawn into mirrors.
bool MirrorType(char type) {
    return std::strchr("?mtyz", type) != nullptr && type != '\0';
}

} // namespace

int MeshObject::Render(IDirect3DRMViewport* viewport) {
    if (!m_render) {
        m_rejected = 1;
        return 1;
    }
    m_rejected = 0;
    if (m_groupMaterials)
        for (int i = 0; i < m_groupMaterials->GetCount(); ++i) {
            const MeshGroupMaterial* r = m_groupMaterials->GetAt(i);
            HRESULT hr = rm_mesh_set_group_material(r->mesh, unsigned(r->group), r->material);
            if (SUCCEEDED(hr)) hr = rm_mesh_set_group_colour(r->mesh, unsigned(r->group), r->colour);
            if (FAILED(hr)) {
                REPORT_D3DRM_ERROR(hr);
                return 0;
            }
            IDirect3DRMTexture* texture =
                m_useMipMaps && r->source ? r->source->GetTexture(m_mipLevel) : r->texture;
            rm_mesh_set_group_texture(r->mesh, unsigned(r->group), texture);
        }
    if (m_children)
        for (int i = 0; i < m_children->GetCount(); ++i) {
            MeshObject* child = m_children->GetAt(i);
            if (child->TrivialReject(viewport, 1) == 0) child->Render(viewport);
        }
    if (!render_type_enabled(m_renderType)) {
        m_rejected = 1;
        return 1;
    }
    g_RenderStats.objects++;
    g_RenderStats.vertices += m_vertexCount;
    g_RenderStats.polygons += m_polyCount;
    g_RenderStats.textureBytes += m_textureBytes;
    if (m_frame) rm_frame_set_zbuffer(m_frame, m_distance <= m_switchDistance1);
    // The mesh drawn took the builder's perspective flag when it was made: it is switched as well.
    const int perspective = m_distance <= m_switchDistance2;
    if (m_meshbuilder) rm_builder_set_perspective(m_meshbuilder, perspective);
    if (m_mesh) rm_mesh_set_perspective(m_mesh, perspective);
    if (!g_FogEnabled) {
        SetState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_NONE);
    } else {
        SetState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
        SetState(D3DRENDERSTATE_FOGTABLESTART, FloatBits(g_FogStart));
        SetState(D3DRENDERSTATE_FOGTABLEEND, FloatBits(g_FogEnd));
        SetState(D3DRENDERSTATE_FOGTABLEDENSITY, FloatBits(g_FogDensity));
    }
    HRESULT hr = rm_viewport_render(viewport, m_frame);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    if (m_detailFrame && m_distance < m_switchDistance4) {
        hr = rm_viewport_render(viewport, m_detailFrame);
        if (FAILED(hr)) {
            REPORT_D3DRM_ERROR(hr);
            return 0;
        }
        g_RenderStats.vertices += m_detailVertexCount;
        g_RenderStats.polygons += m_detailPolyCount;
    }
    DrawBox();
    return 1;
}

int MeshObject::RenderDPMesh() {
    if (!m_render) return 1;
    bool zOff = false;
    if (drawing_mirrors()) {
        if (!MirrorType(m_renderType)) return 1;
        const RenderTypeParams params = render_type_params(m_renderType);
        m_drawFlag = params.flag;
        m_drawFar = params.farDistance / kMirrorFarDivisor;
        m_drawNear = params.nearDistance;
        zOff = params.zbuffer == 0;
    }
    if (m_hasShadow && m_shadowGeo) {
        BlendByDestination();
        SetZ(FALSE);
        DrawWithFrame(m_shadowGeo, *this);
        SetState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
        SetState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);
        SetZ(TRUE);
    }
    if (zOff) SetZ(FALSE);
    if (m_alphaBlend == 1) BlendByDestination();
    m_rejected = 0;
    if (m_geo && m_skin) DrawWithFrame(m_geo, *this);
    if (m_dpVisuals)
        for (int i = 0; i < m_dpVisuals->GetCount(); ++i) {
            DPMesh* wrapper = m_dpVisuals->GetAt(i);
            if (wrapper->geometry) DrawWithFrame(wrapper->geometry, *wrapper);
        }
    if (m_alphaBlend == 1) SetState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    if (zOff) SetZ(TRUE);
    return 1;
}

int MeshObject::DrawBox() {
    if (!m_outline) return 1;
    for (const auto& edge : kBoxEdges) {
        const D3DVECTOR& a = m_corners[edge[0]];
        const D3DVECTOR& b = m_corners[edge[1]];
        QuibDrawLine3D(a.x, a.y, a.z, b.x, b.y, b.z, kOutlineColour);
    }
    const D3DVECTOR& c = m_center;
    QuibDrawLine3D(c.x - kCrossHalfSize, c.y, c.z + kCrossHalfSize, c.x + kCrossHalfSize, c.y,
                   c.z - kCrossHalfSize, kOutlineColour);
    QuibDrawLine3D(c.x - kCrossHalfSize, c.y, c.z - kCrossHalfSize, c.x + kCrossHalfSize, c.y,
                   c.z + kCrossHalfSize, kOutlineColour);
    return 1;
}
