// Sub-meshes through the drawing pipeline, read from the device's recording and its pixels: projection
// of a known cube, whole-mesh rejection, screen-space culling, plane selection of the clipper, the
// world-space shortcut, the buffer limits and the device texture.
#include <cmath>

#include "quib/scene/pipeline/set_texture.h"
#include "quib/scene/textures/surface_table.h"
#include "tests/quib/draw_test_support.h"

using namespace draw_test;
using namespace video_test;

namespace {

class DrawSubMeshTest : public DrawTest {};

// Screen position of camera-space (x, y) at depth z with scale 320 and centre (320, 240).
float ScreenX(float x, float z) {
    return 320.0f + x * 320.0f / z;
}
float ScreenY(float y, float z) {
    return 240.0f - y * 320.0f / z;
}

TEST_F(DrawSubMeshTest, UnitCubeProjectsToKnownCornersAndWorldToScreenAgrees) {
    DPSubMesh cube;
    ASSERT_EQ(1, cube.MakeBox(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f));
    cube.compute_extents();
    DPMaterial red{0xFF0000, nullptr};
    HostD3DSetRecording(g_lpD3DDevice2, false);
    FillSolid(g_lpBackBuffer, 0);
    g_lpD3DDevice2->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    HostD3DSetRecording(g_lpD3DDevice2, true);

    EXPECT_EQ(0, Render(cube, red));
    std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    const HostD3DCall& draw = draws[0];
    EXPECT_TRUE(draw.indexed);
    EXPECT_EQ(D3DPT_TRIANGLELIST, draw.primitive);
    ASSERT_EQ(8u, draw.vertices.size());
    for (int i = 0; i < 8; ++i) {
        const DPVertex& v = cube.vertices[i];
        const D3DTLVERTEX& tl = draw.vertices[size_t(i)];
        const float z = v.z + 10.0f;
        EXPECT_NEAR(ScreenX(v.x, z), tl.sx, 1e-3f) << i;
        EXPECT_NEAR(ScreenY(v.y, z), tl.sy, 1e-3f) << i;
        EXPECT_NEAR(1.0f / z, tl.rhw, 1e-6f);
        EXPECT_NEAR(1.0f - 0.1240234375f / z, tl.sz, 1e-6f);
        EXPECT_EQ(0xFF0000u, tl.color);
        EXPECT_EQ(0xFF000000u, tl.specular);
        float x = v.x, y = v.y, wz = v.z;
        int sx = -1, sy = -1;
        QuibWorldToScreen(x, y, wz, sx, sy);
        EXPECT_EQ(int(tl.sx), sx) << i;
        EXPECT_EQ(int(tl.sy), sy) << i;
    }
    // Only the face towards the camera (z = -0.5) is kept, in its own vertex order.
    const std::vector<WORD> front = {0, 4, 5, 0, 5, 1};
    EXPECT_EQ(front, draw.indices);
    EXPECT_EQ(1, g_RenderStats.objects);
    EXPECT_EQ(8, g_RenderStats.vertices);
    EXPECT_EQ(12, g_RenderStats.polygons);

    // The near face spans 320 +- 160/9.5 = 303.2 .. 336.8: red inside, background outside.
    LockedPixels pixels(g_lpBackBuffer);
    ASSERT_TRUE(pixels.ok());
    EXPECT_EQ(0xF800, pixels.At(320, 240));
    EXPECT_EQ(0xF800, pixels.At(304, 224));
    EXPECT_EQ(0, pixels.At(302, 240));
    EXPECT_EQ(0, pixels.At(338, 240));
}

TEST_F(DrawSubMeshTest, MeshesOutsideTheViewAreRejectedWholeWithoutDrawingOrCounting) {
    DPMaterial grey{0x808080, nullptr};
    DPSubMesh behind;
    ASSERT_EQ(1, behind.MakeBox(-1, -1, -13, 1, 1, -11)); // behind the camera at z = -10
    behind.compute_extents();
    EXPECT_EQ(1, Render(behind, grey));
    // Thin in x just right of the view at depth 9.5 .. 10.5, tall in y: its bounding sphere reaches into
    // the view, but all eight corners lie right of it.
    DPSubMesh beside;
    ASSERT_EQ(1, beside.MakeBox(10.6f, -3.0f, -0.5f, 10.7f, 3.0f, 0.5f));
    beside.compute_extents();
    EXPECT_EQ(1, Render(beside, grey));
    EXPECT_TRUE(Draws(Take()).empty());
    EXPECT_EQ(0, g_RenderStats.objects);
    EXPECT_EQ(0, g_RenderStats.vertices);
    // Null sub-mesh or material: 0, nothing drawn.
    EXPECT_EQ(0, render_submesh(nullptr, &grey, kIdentity, nullptr, 0, 30000.0f, 500.0f, 1, 0));
    EXPECT_EQ(0, render_submesh(&beside, nullptr, kIdentity, nullptr, 0, 30000.0f, 500.0f, 1, 0));
    EXPECT_TRUE(Take().empty());
}

TEST_F(DrawSubMeshTest, ScreenSpaceCullingDropsCounterClockwiseAndSliverTriangles) {
    // At world z = 0 (depth 10) one unit is 32 pixels: these are screen triangles at the centre.
    const float px = 1.0f / 32.0f;
    DPSubMesh sub;
    MakeTriangles(sub, {{0, 0, 0}, {px, 0, 0}, {0, -px, 0}, {0, -0.0625f * px, 0}, {-px, px, 0}, {px, px, 0}},
                  {{{0, 1, 2}}, {{0, 2, 1}}, {{0, 1, 3}}, {{4, 5, 0}}});
    DPMaterial grey{0x808080, nullptr};
    EXPECT_EQ(0, Render(sub, grey));
    std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    // (0,0), (1,0), (0,1) on the screen is kept; reversed and a 1/32-pixel sliver are not.
    const std::vector<WORD> kept = {0, 1, 2, 4, 5, 0};
    EXPECT_EQ(kept, draws[0].indices);

    DPSubMesh away;
    MakeTriangles(away, {{0, 0, 0}, {px, 0, 0}, {0, -px, 0}}, {{{0, 2, 1}}});
    EXPECT_EQ(0, Render(away, grey)); // inside the view, but nothing faces the camera
    EXPECT_TRUE(Draws(Take()).empty());
}

TEST_F(DrawSubMeshTest, TriangleAcrossTheLeftEdgeIsClippedThereAlone) {
    // The left edge at depth 10 is x = -10. The triangle's corners 1 and 2 are inside.
    DPSubMesh sub;
    MakeTriangles(sub, {{-12, 0, 0}, {-8, 1, 0}, {-8, -1, 0}}, {{{0, 1, 2}}});
    DPMaterial grey{0x808080, nullptr};
    EXPECT_EQ(0, Render(sub, grey));
    std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    const HostD3DCall& draw = draws[0];
    // One vertex outside one plane: a quad of two corners and two new vertices on the edge.
    ASSERT_EQ(5u, draw.vertices.size());
    ASSERT_EQ(6u, draw.indices.size());
    for (int i = 3; i < 5; ++i) {
        EXPECT_NEAR(0.0f, draw.vertices[size_t(i)].sx, 1e-3f) << i;
        EXPECT_EQ(0x808080u, draw.vertices[size_t(i)].color);
        EXPECT_EQ(0xFF000000u, draw.vertices[size_t(i)].specular);
    }
    int corner1 = 0, corner2 = 0, outside = 0;
    for (WORD index : draw.indices) {
        corner1 += index == 1;
        corner2 += index == 2;
        outside += index == 0;
    }
    EXPECT_GE(corner1, 1);
    EXPECT_GE(corner2, 1);
    EXPECT_EQ(0, outside);
    // The new vertices lie on the line from corner 0 towards the others: y = +-0.5 at x = -10.
    EXPECT_NEAR(240.0f - 16.0f, std::fmin(draw.vertices[3].sy, draw.vertices[4].sy), 1e-2f);
    EXPECT_NEAR(240.0f + 16.0f, std::fmax(draw.vertices[3].sy, draw.vertices[4].sy), 1e-2f);
}

TEST_F(DrawSubMeshTest, TriangleReachingBehindTheCameraIsClippedToTheWholeView) {
    // Corner 0 is behind the camera; once cut at the near plane the piece is wider than the view there,
    // so the side planes must cut it too.
    DPSubMesh sub;
    MakeTriangles(sub, {{0, -0.5f, -11}, {0.5f, 0.5f, 0}, {-0.5f, 0.5f, 0}}, {{{0, 2, 1}}, {{0, 1, 2}}});
    DPMaterial grey{0x808080, nullptr};
    EXPECT_EQ(0, Render(sub, grey));
    std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    const HostD3DCall& draw = draws[0];
    ASSERT_GE(draw.indices.size(), 3u);
    EXPECT_GT(draw.vertices.size(), 3u);
    for (WORD index : draw.indices) {
        EXPECT_NE(0, index); // the corner behind the camera is never used
        const D3DTLVERTEX& v = draw.vertices[index];
        EXPECT_GT(v.rhw, 0.0f);
        EXPECT_GE(v.sx, -1e-2f);
        EXPECT_LE(v.sx, 640.0f + 1e-2f);
        EXPECT_GE(v.sy, -1e-2f);
        EXPECT_LE(v.sy, 480.0f + 1e-2f);
    }
    // Exactly one winding faces the camera: the other triangle is dropped by the camera-space test.
    EXPECT_LE(draw.indices.size(), 3u * 8u);
}

TEST_F(DrawSubMeshTest, OnlyAnExactIdentityIsTakenAsWorldSpace) {
    DPSubMesh box;
    ASSERT_EQ(1, box.MakeBox(1.5f, -0.5f, -0.5f, 2.5f, 0.5f, 0.5f)); // right of the centre
    box.compute_extents();
    DPMaterial grey{0x808080, nullptr};
    EXPECT_EQ(0, Render(box, grey));
    std::vector<HostD3DCall> unturned = Draws(Take());
    ASSERT_EQ(1u, unturned.size());
    for (const D3DTLVERTEX& v : unturned[0].vertices)
        EXPECT_GT(v.sx, 320.0f);
    // Half a turn about y at the origin puts it left of the centre; a mirror in x likewise.
    const float halfTurn[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    const float mirror[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (const float* transform : {halfTurn, mirror}) {
        Render(box, grey, transform);
        std::vector<HostD3DCall> draws = Draws(Take());
        ASSERT_EQ(1u, draws.size());
        for (const D3DTLVERTEX& v : draws[0].vertices)
            EXPECT_LT(v.sx, 320.0f);
    }
}

TEST_F(DrawSubMeshTest, FarDistanceFollowsFogEndUnlessFarBeyondNineThousandWithoutFog) {
    DPSubMesh box;
    ASSERT_EQ(1, box.MakeBox(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f));
    box.compute_extents();
    DPMaterial grey{0x808080, nullptr};
    QuibFogParams(0x808080, 0.0f, 500.0f, 0.02f);
    render_submesh(&box, &grey, kIdentity, nullptr, 0, 300.0f, 0.0f, 0, 0);
    EXPECT_FLOAT_EQ(300.0f, g_FarClip);
    render_submesh(&box, &grey, kIdentity, nullptr, 0, 800.0f, 0.0f, 0, 0);
    EXPECT_FLOAT_EQ(500.0f, g_FarClip);
    render_submesh(&box, &grey, kIdentity, nullptr, 0, 30000.0f, 0.0f, 0, 0);
    EXPECT_FLOAT_EQ(30000.0f, g_FarClip); // fog is off
    // Beyond the far distance the whole mesh goes.
    DPSubMesh far;
    ASSERT_EQ(1, far.MakeBox(-0.5f, -0.5f, 700.0f, 0.5f, 0.5f, 701.0f));
    far.compute_extents();
    EXPECT_EQ(1, render_submesh(&far, &grey, kIdentity, nullptr, 0, 800.0f, 0.0f, 0, 0));
}

TEST_F(DrawSubMeshTest, MeshesBeyondTheBuffersAreRefusedAndClippingNeverOverrunsThem) {
    DPMaterial grey{0x808080, nullptr};
    DPSubMesh big;
    ASSERT_EQ(1, big.MakeGrid(1.0f, 1.0f, 150, 150)); // 22801 vertices
    big.compute_extents();
    EXPECT_EQ(1, Render(big, grey));
    EXPECT_TRUE(Draws(Take()).empty());

    // 20449 vertices facing the camera and wider than the view: clipping at both side edges wants more
    // new vertices than the buffer has left; the triangles that do not fit are dropped.
    DPSubMesh wide;
    ASSERT_EQ(1, wide.MakeGrid(30.0f, 30.0f, 142, 142));
    wide.compute_extents();
    const float facing[16] = {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, -15, -15, 0, 1};
    EXPECT_EQ(0, Render(wide, grey, facing));
    std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    EXPECT_LE(draws[0].vertices.size(), size_t(kMaxDrawVertices));
    EXPECT_GE(draws[0].vertices.size(), size_t(kMaxDrawVertices - 2)); // filled up to the last pair
    for (WORD index : draws[0].indices)
        ASSERT_LT(index, kMaxDrawVertices);
}

TEST_F(DrawSubMeshTest, TextureChangesOnlyWhenTheSurfaceDoes) {
    SurfaceTableEntry entry(8, 8);
    DPMaterial a{0, &entry}, b{0, &entry};
    set_texture(nullptr); // nothing bound: no call
    EXPECT_TRUE(Take().empty());
    set_texture(&a);
    set_texture(&b); // the same surface
    EXPECT_EQ(1, CountState(Take(), D3DRENDERSTATE_TEXTUREHANDLE));
    EXPECT_EQ(&entry, g_CurrentTexture);
    set_texture_sprite(nullptr);
    EXPECT_EQ(1, CountState(Take(), D3DRENDERSTATE_TEXTUREHANDLE));
    EXPECT_EQ(nullptr, g_CurrentTexture);
}

} // namespace
