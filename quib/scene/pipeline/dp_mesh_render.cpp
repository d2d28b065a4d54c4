// Drawing of the engine's own meshes through the immediate-mode pipeline: sub-meshes with their
// hierarchy, whole meshes at a placement, and the white boxes and highlighted triangles of debugging.
#include <cstring>

#include "quib/quib.h"
#include "quib/scene/math/matrix_math.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/mesh/dp_sub_mesh.h"
#include "quib/scene/pipeline/draw_submesh.h"

namespace {

constexpr unsigned long kExtentsColour = 0xFFFFFF;
// Arguments of every sub-mesh draw: no parent transform, the far distance of the engine's meshes, and
// the unread extra and flag values.
constexpr float kSubMeshFar = 30000.0f;
constexpr float kSubMeshExtra = 500.0f;
constexpr int kSubMeshFlag = 1;
constexpr int kUnlit = 0;

// Corner c of a box (min x, max x, min y, max y, min z, max z): bit 0 picks x, bit 1 y, bit 2 z.
D3DVECTOR BoxCorner(const float extents[6], int c) {
    return D3DVECTOR{extents[c & 1], extents[2 + ((c >> 1) & 1)], extents[4 + ((c >> 2) & 1)]};
}

// The 12 edges of a box whose corners are already placed: each pair of corners differing in one axis.
// 1, or 0 when a line failed (the others are still drawn).
int DrawBoxEdges(const D3DVECTOR corners[8]) {
    int result = 1;
    for (int c = 0; c < 8; ++c)
        for (int axis = 1; axis < 8; axis <<= 1)
            if (!(c & axis)) result &= d3dDrawLine(corners[c], corners[c | axis], kExtentsColour);
    return result;
}

void MatrixToFloats(const D3DMATRIX& m, float out[16]) {
    static_assert(sizeof(D3DMATRIX) == 16 * sizeof(float));
    std::memcpy(out, &m, sizeof(D3DMATRIX));
}

} // namespace

int DPSubMesh::Render() {
    int result = 1;
    if (!hidden) {
        float transform[16];
        MatrixToFloats(world, transform);
        result = render_submesh(this, material, transform, nullptr, 0, kSubMeshFar, kSubMeshExtra,
                                kSubMeshFlag, kUnlit) &
                 1;
    }
    // Children are drawn even under a hidden parent: hiding concerns this sub-mesh's own triangles.
    for (int i = 0; i < children->GetCount(); ++i) {
        DPSubMesh* child = children->Lookup(i);
        if (!child) continue;
        result &= child->Render();
        child->DrawExtents();
    }
    DrawExtents();
    return result;
}

int DPSubMesh::DrawExtents() {
    if (!drawExtents) return 1;
    D3DVECTOR corners[8];
    for (int c = 0; c < 8; ++c) {
        const D3DVECTOR corner = BoxCorner(extents, c);
        corners[c] = corner;
        transform_point(&world, &corner, &corners[c]);
    }
    return DrawBoxEdges(corners);
}

int DPSubMesh::HighlightTriangle(int i, unsigned long colour) {
    if (i < 0 || i >= triangleCount || !triangles) return 0;
    const DPTriangle& t = triangles[i];
    for (uint16_t index : t.v)
        if (index >= vertexCount) return 0;
    int result = 1;
    for (int edge = 0; edge < 3; ++edge) {
        const DPVertex& a = vertices[t.v[edge]];
        const DPVertex& b = vertices[t.v[(edge + 1) % 3]];
        result &= QuibDrawLine3D(a.x, a.y, a.z, b.x, b.y, b.z, long(colour));
    }
    return result;
}

int DPMeshGeo::DrawExtents() {
    if (!drawExtents || !frame || !frame->m_frame) return 1;
    D3DVECTOR corners[8];
    for (int c = 0; c < 8; ++c) {
        D3DVECTOR corner = BoxCorner(extents, c);
        corners[c] = corner;
        frame->m_frame->Transform(&corners[c], &corner);
    }
    return DrawBoxEdges(corners);
}

int DPMesh::Render(DPMesh* placement) {
    if (!geometry) return 1;
    D3DMATRIX transform;
    matrix_identity(&transform);
    (placement ? placement : this)->GetTransform(&transform);
    PtrArray<DPSubMesh>& roots = geometry->Roots();
    for (int i = 0; i < roots.GetCount(); ++i)
        if (DPSubMesh* root = roots.Lookup(i)) root->Transform(transform);
    int result = 1;
    for (int i = 0; i < roots.GetCount(); ++i)
        if (DPSubMesh* root = roots.Lookup(i)) result &= root->Render();
    geometry->DrawExtents();
    return result;
}
