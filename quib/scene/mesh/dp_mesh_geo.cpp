#include "quib/scene/mesh/dp_mesh_geo.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "quib/scene/math/matrix_math.h"

DPMeshGeo::DPMeshGeo(int n) : count(0), subMeshes(nullptr), roots(nullptr), drawExtents(0), frame(nullptr) {
    std::fill(std::begin(extents), std::end(extents), 0.0f);
    std::fill(std::begin(header), std::end(header), 0);
    if (n <= 0 || n > kMaxSubMeshElements) return;
    subMeshes = new (std::nothrow) DPSubMesh[size_t(n)];
    if (subMeshes) count = uint32_t(n);
}

DPMeshGeo::~DPMeshGeo() {
    delete roots;
    delete[] subMeshes;
}

PtrArray<DPSubMesh>& DPMeshGeo::Roots() {
    if (!roots) {
        roots = new PtrArray<DPSubMesh>(int(std::max(count, 1u)));
        for (uint32_t i = 0; i < count; ++i) {
            DPSubMesh& sub = subMeshes[i];
            sub.parent = nullptr;
            // A flat hierarchy: an empty children list rather than none, so that walks need no test.
            delete sub.children;
            sub.children = new PtrArray<DPSubMesh>(1);
            roots->Add(&sub);
        }
    }
    return *roots;
}

DPSubMesh* DPMeshGeo::FindMesh(const char* name) const {
    // Stored names hold at most 31 characters: a longer one can match none.
    if (!name || std::strlen(name) >= size_t(kSubMeshNameSize)) return nullptr;
    for (uint32_t i = 0; i < count; ++i)
        if (std::strncmp(subMeshes[i].name, name, kSubMeshNameSize) == 0) return &subMeshes[i];
    return nullptr;
}

int DPMeshGeo::FindClosestTriangle(float x, float y, float z, DPSubMesh*& sub, int& index, float& dist2) {
    dist2 = kPickingRange2;
    for (uint32_t i = 0; i < count; ++i) {
        int found = -1;
        float found2 = kPickingRange2;
        subMeshes[i].FindClosestTriangle(x, y, z, found, found2);
        if (found >= 0 && found2 < dist2) {
            dist2 = found2;
            index = found;
            sub = &subMeshes[i];
        }
    }
    return 1;
}

int DPMeshGeo::FindMeshIntersection(const D3DVECTOR& a, const D3DVECTOR& b, D3DVECTOR& out) {
    DPSubMesh* sub = nullptr;
    int index = -1;
    float dist2 = 0.0f;
    FindClosestTriangle(a.x, a.y, a.z, sub, index, dist2);
    if (!sub || index < 0 || !sub->triInfo) return 0;
    const DPTriInfo& plane = sub->triInfo[index];
    const D3DVECTOR normal{plane.nx, plane.ny, plane.nz};
    return FindPlaneIntersection(a, b, normal, plane.d, out);
}

void DPMeshGeo::SetFrame(Frame* f) {
    frame = f;
    for (uint32_t i = 0; i < count; ++i)
        subMeshes[i].SetFrame(f);
}

void DPMeshGeo::SetFrameNumber(int n) {
    for (uint32_t i = 0; i < count; ++i)
        subMeshes[i].SetFrameNumber(n);
}

void DPMeshGeo::ComputeExtents() {
    if (!count) return;
    D3DMATRIX identity;
    matrix_identity(&identity);
    PtrArray<DPSubMesh>& top = Roots();
    for (int i = 0; i < top.GetCount(); ++i)
        top.Lookup(i)->TransformExtents(identity);
    for (int axis = 0; axis < 3; ++axis) {
        extents[2 * axis] = 1e7f;
        extents[2 * axis + 1] = -1e7f;
    }
    for (uint32_t i = 0; i < count; ++i)
        for (int axis = 0; axis < 3; ++axis) {
            extents[2 * axis] = std::min(extents[2 * axis], subMeshes[i].extents[2 * axis]);
            extents[2 * axis + 1] = std::max(extents[2 * axis + 1], subMeshes[i].extents[2 * axis + 1]);
        }
    for (uint32_t i = 0; i < count; ++i)
        subMeshes[i].compute_extents();
}
