// A mesh's geometry: lookups by name, the flat hierarchy built on first use, picking across sub-meshes,
// and the mesh that holds geometry and materials.
#include <gtest/gtest.h>

#include <cstring>

#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/mesh/dp_mesh_geo.h"

namespace {

// Sub-mesh sub holds one triangle at height y around (x, z).
void PlaceTriangle(DPMeshGeo& geo, int sub, float x, float y, float z) {
    const DPVertex v[3] = {
        {x, y, z, 0, 0, 0, 0, 0}, {x + 1, y, z, 0, 0, 0, 0, 0}, {x, y, z + 1, 0, 0, 0, 0, 0}};
    const DPTriangle t[1] = {{{0, 1, 2}}};
    ASSERT_EQ(1, geo.subMeshes[sub].Init(3, 1, v, t));
}

} // namespace

TEST(DPMeshGeo, FindsSubMeshesByExactName) {
    DPMeshGeo geo(3);
    ASSERT_EQ(3u, geo.count);
    std::strcpy(geo.subMeshes[1].name, "wheel");
    std::strcpy(geo.subMeshes[2].name, "wheel");
    EXPECT_EQ(&geo.subMeshes[1], geo.FindMesh("wheel"));
    EXPECT_EQ(nullptr, geo.FindMesh("Wheel"));
    EXPECT_EQ(nullptr, geo.FindMesh(nullptr));
    EXPECT_EQ(nullptr, geo.FindMesh("a name much longer than the thirty-one characters kept"));
}

TEST(DPMeshGeo, UncountableOrEmptyGeometryHasNoSubMeshes) {
    for (int n : {0, -2, 65536}) {
        DPMeshGeo geo(n);
        EXPECT_EQ(0u, geo.count) << n;
        EXPECT_EQ(nullptr, geo.subMeshes) << n;
        EXPECT_EQ(0, geo.Roots().GetCount()) << n;
    }
}

TEST(DPMeshGeo, RootsAreEverySubMeshInArrayOrderWithoutParents) {
    DPMeshGeo geo(3);
    geo.subMeshes[2].parent = &geo.subMeshes[0];
    PtrArray<DPSubMesh>& roots = geo.Roots();
    ASSERT_EQ(3, roots.GetCount());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(&geo.subMeshes[i], roots.Lookup(i));
        EXPECT_EQ(nullptr, geo.subMeshes[i].parent);
        EXPECT_EQ(0, geo.subMeshes[i].children->GetCount());
    }
    EXPECT_EQ(&roots, &geo.Roots()); // built once
}

TEST(DPMeshGeo, ClosestTriangleAcrossSubMeshesAndNothingInRange) {
    DPMeshGeo geo(2);
    PlaceTriangle(geo, 0, 50, 0, 0);
    PlaceTriangle(geo, 1, 0, 0, 0);
    DPSubMesh* sub = nullptr;
    int index = -1;
    float dist2 = 0;
    geo.FindClosestTriangle(0, 0, 0, sub, index, dist2);
    EXPECT_EQ(&geo.subMeshes[1], sub);
    EXPECT_EQ(0, index);
    EXPECT_NEAR(2.0f / 9, dist2, 1e-5f);
    DPSubMesh* untouched = &geo.subMeshes[0];
    index = 5;
    geo.FindClosestTriangle(0, 5000, 0, untouched, index, dist2);
    EXPECT_EQ(&geo.subMeshes[0], untouched);
    EXPECT_EQ(5, index);
    EXPECT_FLOAT_EQ(1000000.0f, dist2);
}

TEST(DPMeshGeo, MeshIntersectionUsesThePlaneOfTheNearestTriangle) {
    DPMeshGeo geo(1);
    PlaceTriangle(geo, 0, 0, 2, 0);
    D3DVECTOR out{9, 9, 9};
    ASSERT_EQ(1, geo.FindMeshIntersection(D3DVECTOR{0.3f, 3, 0.3f}, D3DVECTOR{0.3f, 1, 0.3f}, out));
    EXPECT_FLOAT_EQ(2.0f, out.y);
    EXPECT_FLOAT_EQ(0.3f, out.x);
    out = D3DVECTOR{9, 9, 9};
    EXPECT_EQ(0, geo.FindMeshIntersection(D3DVECTOR{0, 3, 0}, D3DVECTOR{1, 3, 0}, out)); // parallel
    EXPECT_EQ(0,
              geo.FindMeshIntersection(D3DVECTOR{0, 3000, 0}, D3DVECTOR{0, -3000, 0}, out)); // out of range
    EXPECT_FLOAT_EQ(9.0f, out.y);
}

TEST(DPMesh, HoldsGeometryAndSkinOnlyWhenAsked) {
    DPMesh bare(0, 0);
    EXPECT_EQ(nullptr, bare.geometry);
    EXPECT_EQ(nullptr, bare.skin);
    EXPECT_FLOAT_EQ(30000.0f, bare.farDistances[1]);

    DPMesh mesh(2, 3);
    ASSERT_NE(nullptr, mesh.geometry);
    ASSERT_NE(nullptr, mesh.skin);
    EXPECT_EQ(2u, mesh.geometry->count);
    EXPECT_EQ(3u, mesh.skin->count);
    mesh.geometry->SetFrame(&mesh);
    EXPECT_EQ(static_cast<Frame*>(&mesh), mesh.geometry->subMeshes[1].frame);
    delete mesh.geometry; // the owner frees geometry and skin
    delete mesh.skin;
}

TEST(DPMeshGeo, ExtentsCoverEverySubMeshPlacedByItsBase) {
    DPMeshGeo geo(2);
    ASSERT_EQ(1, geo.subMeshes[0].MakeBox(0, 0, 0, 1, 1, 1));
    ASSERT_EQ(1, geo.subMeshes[1].MakeBox(-1, 0, 0, 0, 2, 1));
    geo.subMeshes[0].base._43 = 10.0f; // placed 10 along z by its model file
    geo.subMeshes[0].compute_extents();
    geo.subMeshes[1].compute_extents();
    geo.ComputeExtents();
    EXPECT_FLOAT_EQ(-1.0f, geo.extents[0]);
    EXPECT_FLOAT_EQ(1.0f, geo.extents[1]);
    EXPECT_FLOAT_EQ(2.0f, geo.extents[3]);
    EXPECT_FLOAT_EQ(0.0f, geo.extents[4]);
    EXPECT_FLOAT_EQ(11.0f, geo.extents[5]);
    EXPECT_FLOAT_EQ(1.0f, geo.subMeshes[0].extents[5]); // back to local space afterwards
}
