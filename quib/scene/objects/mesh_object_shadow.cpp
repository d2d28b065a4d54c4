// A flat shadow under a mesh object: one textured quad at the bottom of its box, drawn by the
// immediate-mode path blended by the destination colour.
#include <new>

#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/mesh/dp_mesh_skin.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/textures/surface_table.h"

namespace {

constexpr float kShadowMargin = 0.03f;
constexpr DPTriangle kShadowTriangles[2] = {{{0, 1, 2}}, {{0, 2, 3}}};

// The table's entry of s, made and added when it has none. Without a table the shadow is untextured.
SurfaceTableEntry* ShadowTexture(IDirectDrawSurface* s) {
    if (!s || !g_pSurfaceTable) return nullptr;
    if (SurfaceTableEntry* entry = g_pSurfaceTable->FindBySurface(s)) return entry;
    auto* entry = new (std::nothrow) SurfaceTableEntry(s);
    if (!entry || !g_pSurfaceTable->Add(entry)) {
        delete entry;
        return nullptr;
    }
    return entry;
}

} // namespace

int MeshObject::CreateShadow(IDirectDrawSurface* s) {
    auto* skin = new (std::nothrow) DPMeshSkin(1);
    auto* geo = new (std::nothrow) DPMeshGeo(1);
    if (!skin || !geo || skin->count != 1 || geo->count != 1) {
        delete skin;
        delete geo;
        return 0;
    }
    // A second shadow replaces the first (kept while instances share it).
    if (m_ownsShadow) {
        Discard(m_shadowGeo);
        Discard(m_shadowSkin);
    }
    m_hasShadow = 1;
    m_ownsShadow = true;
    m_shadowSkin = skin;
    m_shadowSkin->materials[0].colour = 0;
    m_shadowSkin->materials[0].texture = ShadowTexture(s);
    m_shadowGeo = geo;
    const float y = m_box.min.y;
    const float x0 = m_box.min.x - kShadowMargin, x1 = m_box.max.x + kShadowMargin;
    const DPVertex quad[4] = {{x0, y, m_box.max.z, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
                              {x1, y, m_box.max.z, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
                              {x1, y, m_box.min.z, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f},
                              {x0, y, m_box.min.z, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f}};
    DPSubMesh& sub = m_shadowGeo->subMeshes[0];
    sub.Init(4, 2, quad, kShadowTriangles);
    sub.material = m_shadowSkin->materials;
    sub.compute_extents();
    return 1;
}

int MeshObject::AdjustShadow(float dx, float dz, float sx, float sz) {
    if (m_isInstance || !m_hasShadow || !m_shadowGeo || m_shadowGeo->count == 0) return 1;
    DPSubMesh& sub = m_shadowGeo->subMeshes[0];
    for (int i = 0; i < sub.vertexCount; ++i) {
        sub.vertices[i].x = sub.vertices[i].x * sx + dx;
        sub.vertices[i].z = sub.vertices[i].z * sz + dz;
    }
    return 1;
}
