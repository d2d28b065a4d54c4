// Turning Retained Mode mesh groups into the engine's sub-meshes: welding on position and texture
// coordinates, fanning faces of any size from fixed and variable face data, and refusing what does not
// fit 16-bit indices, never reading past the face data.
#include <gtest/gtest.h>

#include <cmath>

#include "quib/scene/mesh/dp_sub_mesh.h"
#include "quib/scene/objects/mesh_group_convert.h"

namespace {

MeshGroupVertex V(float x, float y, float z, float u = 0, float v = 0, float nx = 0) {
    return MeshGroupVertex{{x, y, z}, {nx, 1.0f, 0.0f}, u, v, 0};
}

std::vector<unsigned> Fan(std::vector<unsigned> faces, unsigned faceCount, unsigned perFace,
                          unsigned vertexCount) {
    MeshGroupData g;
    g.faceData = std::move(faces);
    g.faceCount = faceCount;
    g.verticesPerFace = perFace;
    g.vertices.resize(vertexCount);
    g.vertexCount = vertexCount;
    return fan_group_faces(g);
}

TEST(MeshGroupConvert, WeldsOnPositionAndUvOnlyThroughTheFirstMatch) {
    const std::vector<MeshGroupVertex> in = {
        V(0, 0, 0, 0, 0, 1.0f), V(0, 0, 0, 0, 0, -1.0f), // normals differ: one vertex
        V(0, 0, 0, 1, 0),                                // uv differs: a second vertex
        V(-0.0f, 0, 0, 0, 0),                            // -0 is +0
        V(1, 2, 3, 0, 0),       V(1, 2, 3, 1, 0)         // same position, other uv: kept
    };
    const WeldedVertices w = weld_group_vertices(in);
    ASSERT_EQ(4u, w.kept.size());
    EXPECT_EQ((std::vector<unsigned>{0, 0, 1, 0, 2, 3}), w.map);
    EXPECT_EQ(1.0f, w.kept[0].nx); // the first occurrence's normal is kept
    EXPECT_EQ(1.0f, w.kept[1].tu);
    EXPECT_EQ(3.0f, w.kept[2].z);
}

TEST(MeshGroupConvert, NaNPositionsNeverWeld) {
    const float nan = std::nanf("");
    const WeldedVertices w = weld_group_vertices({V(nan, 0, 0), V(nan, 0, 0)});
    EXPECT_EQ(2u, w.kept.size());
}

TEST(MeshGroupConvert, FansFixedAndVariableFaces) {
    // A quad with 4 corners per face.
    EXPECT_EQ((std::vector<unsigned>{0, 1, 2, 0, 2, 3}), Fan({0, 1, 2, 3}, 1, 4, 4));
    // Variable: a triangle, then a pentagon.
    EXPECT_EQ((std::vector<unsigned>{4, 5, 6, 0, 1, 2, 0, 2, 3, 0, 3, 4}),
              Fan({3, 4, 5, 6, 5, 0, 1, 2, 3, 4}, 2, 0, 7));
}

TEST(MeshGroupConvert, DropsBadFacesAndStopsAtTheEndOfTheData) {
    // A corner outside the vertices drops only that face.
    EXPECT_EQ((std::vector<unsigned>{0, 1, 2}), Fan({0, 1, 9, 0, 1, 2}, 2, 3, 3));
    // Two-corner faces give nothing.
    EXPECT_TRUE(Fan({2, 0, 1}, 1, 0, 3).empty());
    // A face count beyond the data, and a face whose corners run past it.
    EXPECT_EQ((std::vector<unsigned>{0, 1, 2}), Fan({3, 0, 1, 2, 4, 0, 1}, 5, 0, 3));
}

TEST(MeshGroupConvert, FansAFaceOfMoreThanSixteenCornersWhole) {
    std::vector<unsigned> face = {17};
    for (unsigned i = 0; i < 17; ++i)
        face.push_back(i);
    const std::vector<unsigned> tris = Fan(face, 1, 0, 17);
    ASSERT_EQ(15u * 3, tris.size());
    EXPECT_EQ(0u, tris[42]);
    EXPECT_EQ(15u, tris[43]);
    EXPECT_EQ(16u, tris[44]);
}

TEST(MeshGroupConvert, BuildsASubMeshWithWeldedIndices) {
    MeshGroupData g;
    // A quad whose corners 0 and 4 are the same point (different normal).
    g.vertices = {V(0, 0, 0), V(1, 0, 0), V(1, 1, 0), V(0, 1, 0), V(0, 0, 0, 0, 0, 5.0f)};
    g.vertexCount = 5;
    g.faceCount = 1;
    g.verticesPerFace = 4;
    g.faceData = {4, 1, 2, 3};
    DPSubMesh sub;
    ASSERT_EQ(GroupConversion::kBuilt, convert_mesh_group(g, 7, sub));
    EXPECT_EQ(4, sub.vertexCount);
    ASSERT_EQ(2, sub.triangleCount);
    EXPECT_EQ(0, sub.triangles[0].v[0]); // vertex 4 became vertex 0
    EXPECT_EQ(3, sub.triangles[1].v[2]);
    EXPECT_EQ(7, sub.materialIndex);
    EXPECT_NE(nullptr, sub.triInfo);
    EXPECT_FLOAT_EQ(1.0f, sub.extents[1]);
}

TEST(MeshGroupConvert, RefusesGroupsBeyondSixteenBitIndices) {
    MeshGroupData g;
    const unsigned n = 70000;
    for (unsigned i = 0; i < n; ++i)
        g.vertices.push_back(V(float(i), 0, 0));
    g.vertexCount = n;
    g.faceCount = 1;
    g.verticesPerFace = 3;
    g.faceData = {0, 1, 2};
    DPSubMesh sub;
    EXPECT_EQ(GroupConversion::kTooLarge, convert_mesh_group(g, 0, sub));
    EXPECT_EQ(0, sub.vertexCount);
    EXPECT_EQ(0, sub.triangleCount);
}

} // namespace
