// Smoothed vertex normals of large sub-meshes: the cell search that finds the position a vertex shares
// must pick exactly what the plain rule picks (the earliest distinct position within 1/32), for points
// crowded around cell borders, chains of near points, negative and huge coordinates and non-finite
// ones.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "quib/scene/mesh/dp_sub_mesh.h"

namespace {

// The plain rule, vertex by vertex against every earlier distinct position: the normals expected.
std::vector<DPVertex> PlainNormals(const std::vector<DPVertex>& in, const std::vector<DPTriangle>& tris) {
    std::vector<DPVertex> distinct;
    std::vector<int> shareOf;
    for (const DPVertex& v : in) {
        int found = -1;
        for (size_t j = 0; j < distinct.size() && found < 0; ++j) {
            const float dx = v.x - distinct[j].x, dy = v.y - distinct[j].y, dz = v.z - distinct[j].z;
            if (dx * dx + dy * dy + dz * dz < 1.0f / 1024.0f) found = int(j);
        }
        if (found < 0) {
            found = int(distinct.size());
            distinct.push_back(DPVertex{v.x, v.y, v.z, 0, 0, 0, 0, 0});
        }
        shareOf.push_back(found);
    }
    DPSubMesh sub;
    sub.Init(int(in.size()), int(tris.size()), in.data(), tris.data());
    for (const DPTriangle& t : tris) {
        DPTriInfo plane;
        sub.ComputeTriangleInfo(int(&t - tris.data()), &plane);
        for (uint16_t index : t.v) {
            DPVertex& n = distinct[size_t(shareOf[index])];
            n.nx += plane.nx, n.ny += plane.ny, n.nz += plane.nz;
        }
    }
    std::vector<DPVertex> out = in;
    for (size_t i = 0; i < out.size(); ++i) {
        const DPVertex& n = distinct[size_t(shareOf[i])];
        const float length = std::sqrt(n.nx * n.nx + n.ny * n.ny + n.nz * n.nz);
        out[i].nx = length > 0 ? n.nx / length : n.nx;
        out[i].ny = length > 0 ? n.ny / length : n.ny;
        out[i].nz = length > 0 ? n.nz / length : n.nz;
    }
    return out;
}

} // namespace

TEST(DPSubMeshSharedNormals, CellSearchAgreesWithThePlainRule) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> near(-0.1f, 0.1f), far(-1e6f, 1e6f);
    std::uniform_int_distribution<int> pick(0, 9);
    std::vector<DPVertex> vertices;
    for (int i = 0; i < 3000; ++i) {
        DPVertex v{};
        switch (pick(random)) {
        case 0: // far apart, large
            v.x = far(random), v.y = far(random), v.z = far(random);
            break;
        case 1: // a chain along x, steps just below and above the sharing distance
            v.x = float(i % 40) * (i % 2 ? 0.0312f : 0.0313f) - 0.5f;
            break;
        case 2: // on cell borders
            v.x = float(int(near(random) * 32)) / 32.0f, v.y = -1.0f / 32.0f, v.z = 0.0f;
            break;
        case 3: // not finite
            v.x = i % 2 ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity();
            break;
        default: // crowded around the origin
            v.x = near(random), v.y = near(random), v.z = near(random) * 0.1f;
        }
        vertices.push_back(v);
    }
    std::vector<DPTriangle> triangles;
    for (int i = 0; i + 2 < int(vertices.size()); i += 2)
        triangles.push_back(DPTriangle{{uint16_t(i), uint16_t(i + 1), uint16_t(i + 2)}});
    const std::vector<DPVertex> expected = PlainNormals(vertices, triangles);
    DPSubMesh sub;
    ASSERT_EQ(1, sub.Init(int(vertices.size()), int(triangles.size()), vertices.data(), triangles.data()));
    sub.compute_extents();
    for (size_t i = 0; i < vertices.size(); ++i) {
        const DPVertex &got = sub.vertices[i], &want = expected[i];
        // Exactly: the same positions share, in the same order (NaN sums stay NaN in both).
        auto same = [](float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; };
        EXPECT_TRUE(same(want.nx, got.nx) && same(want.ny, got.ny) && same(want.nz, got.nz))
            << i << ": " << got.nx << " " << got.ny << " " << got.nz;
    }
}
