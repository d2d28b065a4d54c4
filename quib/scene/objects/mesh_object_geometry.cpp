// Geometry of a mesh object: centre and box from the mesh builder, the box's corners and rectangle on
// screen, merging another object's mesh, and edits and queries of the engine's own geometry (over every
// animation frame when the object has frames).
#include <algorithm>
#include <vector>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/objects/mesh_object.h"

namespace {

constexpr float kNoMinimumY = 1000000.0f;
constexpr int kRectStart = 1000000;
// Corners beyond all four screen edges: the box surrounds the view.
constexpr int kOutsideAllEdges = 15;

// Calls f on every sub-mesh of geo.
template <class F> void ForEachSubMesh(DPMeshGeo* geo, F f) {
    if (!geo) return;
    for (uint32_t i = 0; i < geo->count; ++i)
        f(geo->subMeshes[i]);
}

} // namespace

int MeshObject::MakeCenter() {
    std::vector<D3DVECTOR> positions;
    const HRESULT hr = rm_builder_positions(m_meshbuilder, positions);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    // An empty builder has its centre at the origin rather than at 0 / 0.
    D3DVECTOR sum{0.0f, 0.0f, 0.0f};
    for (const D3DVECTOR& p : positions) {
        sum.x += p.x;
        sum.y += p.y;
        sum.z += p.z;
    }
    const float n = positions.empty() ? 1.0f : float(positions.size());
    m_center = {sum.x / n, sum.y / n, sum.z / n};
    return 1;
}

int MeshObject::MakeBox() {
    const HRESULT hr = rm_builder_get_box(m_meshbuilder, &m_box);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    MakeCorners();
    return 1;
}

int MeshObject::AddBox(MeshBox& b) {
    m_box.min = {std::min(m_box.min.x, b.min.x), std::min(m_box.min.y, b.min.y),
                 std::min(m_box.min.z, b.min.z)};
    m_box.max = {std::max(m_box.max.x, b.max.x), std::max(m_box.max.y, b.max.y),
                 std::max(m_box.max.z, b.max.z)};
    MakeCorners();
    return 1;
}

void MeshObject::MakeCorners() {
    // Corner i takes max x when bit 2 is set, max y for bit 1, max z for bit 0.
    for (int i = 0; i < 8; ++i)
        m_corners[i] = {(i & 4) ? m_box.max.x : m_box.min.x, (i & 2) ? m_box.max.y : m_box.min.y,
                        (i & 1) ? m_box.max.z : m_box.min.z};
}

int MeshObject::MakeScreenExtents() {
    if (!g_lpD3DRMViewport) return 0;
    const float width = float(g_ModeWidth), height = float(g_ModeHeight);
    float sx[8], sy[8];
    bool seen[8];
    bool onScreen = false;
    int outside = 0;
    for (int i = 0; i < 8; ++i) {
        D3DVECTOR world{m_corners[i].x + m_position.x, m_corners[i].y + m_position.y,
                        m_corners[i].z + m_position.z};
        D3DRMVECTOR4D& h = m_screenCorners[i];
        g_lpD3DRMViewport->Transform(&h, &world);
        // A corner at or behind the camera has no screen position: it takes no part.
        seen[i] = h.w > 0.0f;
        if (!seen[i]) continue;
        // A corner just in front of the camera lands far off screen: kept within the rectangle's
        // starting bounds, so that it still converts to an int and the sizes cannot overflow.
        sx[i] = std::clamp(h.x / h.w, -float(kRectStart), float(kRectStart));
        sy[i] = std::clamp(h.y / h.w, -float(kRectStart), float(kRectStart));
        if (h.z >= 0.0f && h.z < h.w && sx[i] >= 0.0f && sx[i] < width && sy[i] >= 0.0f && sy[i] < height)
            onScreen = true;
        outside |= (sx[i] < 0.0f ? 8 : 0) | (sx[i] > width ? 4 : 0) | (sy[i] < 0.0f ? 2 : 0) |
                   (sy[i] > height ? 1 : 0);
    }
    if (!onScreen && outside != kOutsideAllEdges) return 0;
    int left = kRectStart, top = kRectStart, right = -kRectStart, bottom = -kRectStart;
    for (int i = 0; i < 8; ++i) {
        if (!seen[i]) continue;
        left = std::min(left, int(sx[i]));
        right = std::max(right, int(sx[i]));
        top = std::min(top, int(sy[i]));
        bottom = std::max(bottom, int(sy[i]));
    }
    m_screenRect[0] = left;
    m_screenRect[1] = top;
    m_screenRect[2] = right;
    m_screenRect[3] = bottom;
    m_screenSize[0] = right - left;
    m_screenSize[1] = bottom - top;
    return 1;
}

void MeshObject::AddMesh(MeshObject* other) {
    if (!other || !m_meshbuilder) return;
    if (m_frame && m_mesh) rm_frame_delete_mesh(m_frame, m_mesh);
    rm_mesh_release(m_mesh, "MeshObject::AddMesh");
    if (other->m_mesh) rm_builder_add_mesh(m_meshbuilder, other->m_mesh);
    rm_builder_create_mesh(m_meshbuilder, &m_mesh);
    m_polyCount = rm_builder_face_count(m_meshbuilder);
    if (m_frame && m_mesh) rm_frame_add_mesh(m_frame, m_mesh);
}

int MeshObject::Scale(float sx, float sy, float sz) {
    if (!m_frames3DS && !m_geo) return 0;
    auto scale = [&](DPSubMesh& sub) { sub.Scale(sx, sy, sz); };
    if (!m_frames3DS) {
        ForEachSubMesh(m_geo, scale);
        return 1;
    }
    for (int i = 0; i < m_frames3DS->GetCount(); ++i)
        ForEachSubMesh(m_frames3DS->GetAt(i)->geometry, scale);
    return 1;
}

int MeshObject::TranslateVertices(float dx, float dy, float dz) {
    if (!m_frames3DS && !m_geo) return 0;
    auto move = [&](DPSubMesh& sub) { sub.TranslateVertices(dx, dy, dz); };
    if (!m_frames3DS) {
        ForEachSubMesh(m_geo, move);
        return 1;
    }
    for (int i = 0; i < m_frames3DS->GetCount(); ++i)
        ForEachSubMesh(m_frames3DS->GetAt(i)->geometry, move);
    return 1;
}

float MeshObject::GetMinimumY() {
    if (!m_frames3DS && !m_geo) return 0.0f;
    float lowest = kNoMinimumY;
    auto lower = [&](DPSubMesh& sub) { lowest = std::min(lowest, sub.GetMinimumY()); };
    if (!m_frames3DS) {
        ForEachSubMesh(m_geo, lower);
        return lowest;
    }
    for (int i = 0; i < m_frames3DS->GetCount(); ++i)
        ForEachSubMesh(m_frames3DS->GetAt(i)->geometry, lower);
    return lowest;
}
