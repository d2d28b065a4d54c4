#include "quib/scene/objects/mesh_group_convert.h"

#include <array>
#include <cmath>
#include <unordered_map>

#include "quib/platform/debug.h"
#include "quib/platform/errors.h"
#include "quib/scene/math/float_bits.h"
#include "quib/scene/mesh/dp_sub_mesh.h"

namespace {

constexpr unsigned kFanBufferCorners = 16;

// The weld key: position and u, v, with -0 made +0 so that equal values share one key.
using WeldKey = std::array<float, 5>;

struct WeldKeyHash {
    size_t operator()(const WeldKey& k) const {
        size_t h = 1469598103934665603ull;
        for (float f : k) {
            h = (h ^ FloatBits(f)) * 1099511628211ull;
        }
        return h;
    }
};

float Canonical(float f) {
    return f == 0.0f ? 0.0f : f;
}

bool HasNaN(const WeldKey& k) {
    for (float f : k)
        if (std::isnan(f)) return true;
    return false;
}

// Appends the fan of one face (corners in data[0..m)), skipping faces with corners outside the group.
void AppendFan(const unsigned* corners, unsigned m, unsigned vertexCount, std::vector<unsigned>& out) {
    if (m < 3) return;
    for (unsigned i = 0; i < m; ++i)
        if (corners[i] >= vertexCount) return;
    if (m > kFanBufferCorners) DebugPrintf("CreateDPMesh : vcount > 16\n");
    for (unsigned i = 1; i + 1 < m; ++i) {
        out.push_back(corners[0]);
        out.push_back(corners[i]);
        out.push_back(corners[i + 1]);
    }
}

} // namespace

WeldedVertices weld_group_vertices(const std::vector<MeshGroupVertex>& vertices) {
    WeldedVertices w;
    w.map.reserve(vertices.size());
    std::unordered_map<WeldKey, unsigned, WeldKeyHash> first;
    for (const MeshGroupVertex& v : vertices) {
        const WeldKey key{Canonical(v.position.x), Canonical(v.position.y), Canonical(v.position.z),
                          Canonical(v.tu), Canonical(v.tv)};
        if (!HasNaN(key)) {
            auto found = first.find(key);
            if (found != first.end()) {
                w.map.push_back(found->second);
                continue;
            }
            first.emplace(key, unsigned(w.kept.size()));
        }
        w.map.push_back(unsigned(w.kept.size()));
        w.kept.push_back(DPVertex{v.position.x, v.position.y, v.position.z, v.tu, v.tv, v.normal.x,
                                  v.normal.y, v.normal.z});
    }
    return w;
}

std::vector<unsigned> fan_group_faces(const MeshGroupData& group) {
    std::vector<unsigned> out;
    const std::vector<unsigned>& data = group.faceData;
    const unsigned vertexCount = unsigned(group.vertices.size());
    size_t at = 0;
    for (unsigned f = 0; f < group.faceCount && at < data.size(); ++f) {
        const unsigned m = group.verticesPerFace ? group.verticesPerFace : data[at++];
        if (m > data.size() - at) break; // the face runs past the data
        AppendFan(&data[at], m, vertexCount, out);
        at += m;
    }
    return out;
}

GroupConversion convert_mesh_group(const MeshGroupData& group, int index, DPSubMesh& sub) {
    const WeldedVertices welded = weld_group_vertices(group.vertices);
    const std::vector<unsigned> corners = fan_group_faces(group);
    const size_t triangles = corners.size() / 3;
    if (welded.kept.size() > size_t(kMaxSubMeshElements) || triangles > size_t(kMaxSubMeshElements)) {
        DebugPrintf("CreateDPMesh : group %d too large (%d vertices, %d triangles)\n", index,
                    int(welded.kept.size()), int(triangles));
        return GroupConversion::kTooLarge;
    }
    std::vector<DPTriangle> tris(triangles);
    for (size_t t = 0; t < triangles; ++t)
        for (int k = 0; k < 3; ++k)
            tris[t].v[k] = uint16_t(welded.map[corners[3 * t + size_t(k)]]);
    if (!sub.Init(int(welded.kept.size()), int(triangles), welded.kept.data(), tris.data())) {
        RegError("MeshObject::CreateDPMesh : can't alloc DPSubMesh");
        return GroupConversion::kNoMemory;
    }
    sub.materialIndex = index;
    sub.compute_extents();
    sub.ComputeTriangleInfo();
    return GroupConversion::kBuilt;
}
