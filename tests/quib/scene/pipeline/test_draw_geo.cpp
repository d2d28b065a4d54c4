// A mesh geometry drawn with one transform: each root with its children once, the results ANDed.
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "tests/quib/draw_test_support.h"

using namespace draw_test;

namespace {

class DrawGeoTest : public DrawTest {
  protected:
    void MakeBox(DPSubMesh& sub, float x0) {
        ASSERT_EQ(1, sub.MakeBox(x0, -0.5f, -0.5f, x0 + 1.0f, 0.5f, 0.5f));
        sub.compute_extents();
        sub.material = &grey_;
    }
    DPMaterial grey_{0x808080, nullptr};
};

TEST_F(DrawGeoTest, EverySubMeshIsDrawnOnceAtTheTransform) {
    DPMeshGeo geo(2);
    MakeBox(geo.subMeshes[0], -2.0f);
    MakeBox(geo.subMeshes[1], 1.0f);
    // The second is the first's child: drawn through its parent, not a second time as a sub-mesh.
    geo.roots = new PtrArray<DPSubMesh>(1);
    geo.roots->Add(&geo.subMeshes[0]);
    geo.subMeshes[0].children->Add(&geo.subMeshes[1]);
    geo.subMeshes[1].parent = &geo.subMeshes[0];

    float moved[16];
    std::memcpy(moved, kIdentity, sizeof moved);
    moved[13] = 1.0f; // up one unit
    EXPECT_EQ(0, render_geo_transformed(&geo, moved));
    std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(2u, draws.size());
    for (const HostD3DCall& draw : draws)
        for (const D3DTLVERTEX& v : draw.vertices)
            EXPECT_LT(v.sy, 240.0f); // the boxes span y 0.5 .. 1.5

    // Behind the camera everything is rejected: 1.
    moved[14] = -30.0f;
    EXPECT_EQ(1, render_geo_transformed(&geo, moved));
    EXPECT_TRUE(Draws(Take()).empty());
}

} // namespace
