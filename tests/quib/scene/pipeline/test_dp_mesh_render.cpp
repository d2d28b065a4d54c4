// Drawing of the engine's meshes, read from the device's recording: which sub-meshes of a hierarchy are
// drawn and in which order with their boxes, where the boxes' edges land, the placement a whole mesh is
// drawn at, and the texture a sub-mesh binds again after its box was drawn.
#include <algorithm>
#include <set>
#include <utility>

#include "host/d3d/recording.h"
#include "quib/scene/math/matrix_math.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/pipeline/primitive.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/surface_table.h"
#include "quib/scene/textures/texture_cache.h"
#include "tests/quib/bitmap_test_support.h"
#include "tests/quib/video_test_support.h"
#include "tests/support/viewport_fixture.h"

using namespace video_test;

namespace {

D3DMATRIX Translation(float x, float y, float z) {
    D3DMATRIX m;
    matrix_identity(&m);
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

class MeshRenderTest : public testsupport::ViewportTest {
  protected:
    void SetUp() override {
        ViewportTest::SetUp();
        // A camera at (0, 0, -10) looking down +z: centre (320, 240), 32 pixels per unit at the origin.
        LookFrom(0.0f, 0.0f, -10.0f);
        primitive_reset_states();
        material_.colour = 0x00C08040;
        ASSERT_TRUE(HostD3DSetRecording(g_lpD3DDevice2, true));
    }
    void TearDown() override {
        primitive_reset_states();
        ViewportTest::TearDown();
    }

    // The draw calls recorded since the last call.
    static std::vector<HostD3DCall> TakeDraws() {
        std::vector<HostD3DCall> draws;
        for (HostD3DCall& call : Take())
            if (call.kind == HostD3DCall::Kind::kDraw) draws.push_back(std::move(call));
        return draws;
    }
    // A unit-wide box from x0 to x0 + 1, drawn with the test's material.
    void MakeUnitBox(DPSubMesh& sub, float x0) {
        ASSERT_EQ(1, sub.MakeBox(x0, -0.5f, -0.5f, x0 + 1.0f, 0.5f, 0.5f));
        sub.compute_extents();
        sub.material = &material_;
    }
    // parent at x -2..-1 with child at 1..2 below it, the only root of geo.
    void MakeFamily(DPMeshGeo& geo) {
        DPSubMesh& parent = geo.subMeshes[0];
        DPSubMesh& child = geo.subMeshes[1];
        MakeUnitBox(parent, -2.0f);
        MakeUnitBox(child, 1.0f);
        geo.roots = new PtrArray<DPSubMesh>(1);
        geo.roots->Add(&parent);
        parent.children->Add(&child);
        child.parent = &parent;
        const D3DMATRIX identity = Translation(0, 0, 0);
        parent.Transform(identity);
    }
    static bool AllRightOfCentre(const HostD3DCall& draw, bool right) {
        return std::all_of(draw.vertices.begin(), draw.vertices.end(),
                           [right](const D3DTLVERTEX& v) { return (v.sx > 320.0f) == right; });
    }

    DPMaterial material_;
};

TEST_F(MeshRenderTest, SubMeshThenChildWithItsBoxThenOwnBoxAndHiddenOnesStillDrawChildren) {
    DPMeshGeo geo(2);
    MakeFamily(geo);
    geo.subMeshes[0].drawExtents = 1;
    geo.subMeshes[1].drawExtents = 1;
    EXPECT_EQ(0, geo.subMeshes[0].Render()); // drawn: the pipeline's 0
    std::vector<HostD3DCall> draws = TakeDraws();
    // The child's box comes twice: once at the end of the child's own Render, once more after it.
    ASSERT_EQ(2u + 3 * 12, draws.size());
    EXPECT_TRUE(draws[0].indexed && AllRightOfCentre(draws[0], false));
    EXPECT_TRUE(draws[1].indexed && AllRightOfCentre(draws[1], true));
    for (size_t i = 2; i < draws.size(); ++i) {
        EXPECT_EQ(D3DPT_LINELIST, draws[i].primitive) << i;
        EXPECT_TRUE(AllRightOfCentre(draws[i], i < 2 + 2 * 12)) << i;
    }

    geo.subMeshes[0].drawExtents = geo.subMeshes[1].drawExtents = 0;
    geo.subMeshes[0].hidden = 1;
    EXPECT_EQ(0, geo.subMeshes[0].Render());
    draws = TakeDraws();
    ASSERT_EQ(1u, draws.size());
    EXPECT_TRUE(draws[0].indexed && AllRightOfCentre(draws[0], true));
    // With both hidden nothing is drawn, which counts as success.
    geo.subMeshes[1].hidden = 1;
    EXPECT_EQ(1, geo.subMeshes[0].Render());
    EXPECT_TRUE(TakeDraws().empty());
}

TEST_F(MeshRenderTest, BoxEdgesJoinTheCornersThroughTheWorldMatrix) {
    DPSubMesh sub;
    MakeUnitBox(sub, 0.0f);
    EXPECT_EQ(1, sub.DrawExtents()); // not asked for: nothing drawn
    EXPECT_TRUE(TakeDraws().empty());

    sub.drawExtents = 1;
    sub.Transform(Translation(0.0f, 2.0f, 5.0f));
    EXPECT_EQ(1, sub.DrawExtents());
    std::vector<HostD3DCall> draws = TakeDraws();
    ASSERT_EQ(12u, draws.size());
    // Every corner of the moved box ends three edges; each edge joins two corners one axis apart.
    std::vector<std::pair<float, float>> corners;
    for (int c = 0; c < 8; ++c) {
        const float world[3] = {c & 1 ? 1.0f : 0.0f, (c & 2 ? 0.5f : -0.5f) + 2.0f,
                                (c & 4 ? 0.5f : -0.5f) + 5.0f};
        float screen[4];
        project_point(world, screen);
        corners.emplace_back(screen[0], screen[1]);
    }
    auto cornerOf = [&corners](const D3DTLVERTEX& v) {
        for (int c = 0; c < 8; ++c)
            if (std::abs(corners[c].first - v.sx) < 1e-3f && std::abs(corners[c].second - v.sy) < 1e-3f)
                return c;
        return -1;
    };
    std::set<std::pair<int, int>> edges;
    for (const HostD3DCall& draw : draws) {
        ASSERT_EQ(2u, draw.vertices.size());
        EXPECT_EQ(0xFFFFFFu, draw.vertices[0].color);
        const int a = cornerOf(draw.vertices[0]), b = cornerOf(draw.vertices[1]);
        ASSERT_GE(a, 0);
        ASSERT_GE(b, 0);
        const int axis = a ^ b;
        EXPECT_TRUE(axis == 1 || axis == 2 || axis == 4) << a << " " << b;
        edges.insert({std::min(a, b), std::max(a, b)});
    }
    EXPECT_EQ(12u, edges.size());
}

TEST_F(MeshRenderTest, MeshIsDrawnAtItsPlacementsTransformAndTheSameEveryTime) {
    DPMesh mesh(1, 1);
    ASSERT_NE(nullptr, mesh.geometry);
    DPSubMesh& sub = mesh.geometry->subMeshes[0];
    ASSERT_EQ(1, sub.MakeBox(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f));
    sub.compute_extents();
    sub.material = &mesh.skin->materials[0];
    DPMesh placement(0, 0);
    placement.SetPosition(0.0f, 0.0f, 10.0f);

    auto depths = [](const HostD3DCall& draw) {
        float nearest = 1e9f, farthest = 0.0f;
        for (const D3DTLVERTEX& v : draw.vertices) {
            nearest = std::min(nearest, 1.0f / v.rhw);
            farthest = std::max(farthest, 1.0f / v.rhw);
        }
        return std::make_pair(nearest, farthest);
    };
    mesh.Render(&placement);
    mesh.Render(&placement);
    mesh.Render(nullptr); // its own frame, at the origin
    std::vector<HostD3DCall> draws = TakeDraws();
    ASSERT_EQ(3u, draws.size());
    EXPECT_NEAR(19.5f, depths(draws[0]).first, 1e-3f);
    EXPECT_NEAR(20.5f, depths(draws[0]).second, 1e-3f);
    ASSERT_EQ(draws[0].vertices.size(), draws[1].vertices.size());
    EXPECT_EQ(0, std::memcmp(draws[0].vertices.data(), draws[1].vertices.data(),
                             draws[0].vertices.size() * sizeof(D3DTLVERTEX)));
    EXPECT_NEAR(9.5f, depths(draws[2]).first, 1e-3f);
    EXPECT_NEAR(10.5f, depths(draws[2]).second, 1e-3f);

    DPMesh empty(0, 0);
    EXPECT_EQ(1, empty.Render(nullptr));
    delete mesh.geometry;
    delete mesh.skin;
}

TEST_F(MeshRenderTest, GeometryBoxGoesToWorldSpaceThroughItsFrame) {
    DPMeshGeo geo(1);
    MakeUnitBox(geo.subMeshes[0], -0.5f);
    geo.ComputeExtents();
    geo.drawExtents = 1;
    EXPECT_EQ(1, geo.DrawExtents()); // no frame: nothing drawn
    EXPECT_TRUE(TakeDraws().empty());

    DPMesh placement(0, 0);
    placement.SetPosition(4.0f, 0.0f, 0.0f);
    geo.SetFrame(&placement);
    EXPECT_EQ(1, geo.DrawExtents());
    std::vector<HostD3DCall> draws = TakeDraws();
    ASSERT_EQ(12u, draws.size());
    // x 3.5..4.5 at depths 9.5..10.5: every end lies between 320 + 32 x 3.5 / 1.05 and 320 + 32 x 4.5 / 0.95.
    for (const HostD3DCall& draw : draws)
        for (const D3DTLVERTEX& v : draw.vertices) {
            EXPECT_GT(v.sx, 320.0f + 32.0f * 3.5f / 1.05f - 1e-3f);
            EXPECT_LT(v.sx, 320.0f + 32.0f * 4.5f / 0.95f + 1e-3f);
        }
    geo.SetFrame(nullptr);
}

TEST_F(MeshRenderTest, TexturedSubMeshBindsItsTextureAgainAfterItsBox) {
    std::vector<uint32_t> texels(16 * 16, 0x00FF00u);
    bmptest::WriteBytes("skin.bmp", bmptest::BuildBmp(bmptest::Picture24(16, 16, texels)));
    auto* entry = new SurfaceTableEntry("skin.bmp");
    ASSERT_EQ(1, g_pSurfaceTable->Add(entry));
    material_.texture = entry;
    material_.colour = kDPMaterialTextured;
    DPSubMesh sub;
    MakeUnitBox(sub, -0.5f);
    sub.material = &material_;
    sub.drawExtents = 1;
    sub.Render();
    sub.Render();
    std::vector<DWORD> handles;
    for (const HostD3DCall& call : HostD3DRecordedCalls(g_lpD3DDevice2))
        if (call.kind == HostD3DCall::Kind::kRenderState && call.state == D3DRENDERSTATE_TEXTUREHANDLE)
            handles.push_back(call.value);
    // Each render binds the texture, then each of the box's 12 lines unbinds it.
    ASSERT_EQ(2u * 13, handles.size());
    EXPECT_NE(0u, handles[0]);
    EXPECT_EQ(handles[0], handles[13]);
    for (size_t i = 0; i < handles.size(); ++i) {
        if (i % 13) {
            EXPECT_EQ(0u, handles[i]) << i;
        }
    }
}

TEST_F(MeshRenderTest, HighlightedTriangleNeedsATriangleOfItsVertices) {
    DPSubMesh sub;
    ASSERT_EQ(1, sub.MakeBox(-1.0f, -1.0f, 9.0f, 1.0f, 1.0f, 11.0f));
    EXPECT_EQ(0, sub.HighlightTriangle(-1, 0xFFFF));
    EXPECT_EQ(0, sub.HighlightTriangle(12, 0xFFFF));
    EXPECT_EQ(1, sub.HighlightTriangle(0, 0xFFFF));
    sub.triangles[1].v[2] = 8;
    EXPECT_EQ(0, sub.HighlightTriangle(1, 0xFFFF));
}

} // namespace
