// A terrain tile drawn through the immediate-mode pipeline: its grid as one indexed list in its
// untextured red, below the horizon of a camera above it; and a tile handle in a display list, drawn by
// the display-list path into a captured frame.
#include <cmath>

#include "quib/quib.h"
#include "quib/scene/objects/horizon.h"
#include "quib/scene/objects/scene_render.h"
#include "quib/scene/world/terrain.h"
#include "tests/quib/draw_test_support.h"
#include "tests/support/frame_capture.h"

using namespace draw_test;
using video_test::LockedPixels;

TEST_F(DrawTest, TerrainTileDrawsItsGridBelowTheHorizon) {
    // The camera at (0, 0, -10) looks down +z over a 2 x 2 tile at y = -1 from z = 0 to 8.
    Terrain tile(nullptr, nullptr);
    ASSERT_EQ(1, tile.Init(-4.0f, 0.0f, 8.0f, 8.0f, 2, 2));
    tile.m_geo->subMeshes[0].TranslateVertices(0.0f, -1.0f, 0.0f);
    tile.m_geo->subMeshes[0].compute_extents();
    EXPECT_EQ(1, tile.RenderDPMesh());
    const std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    EXPECT_TRUE(draws[0].indexed);
    ASSERT_EQ(9u, draws[0].vertices.size());
    for (size_t i = 0; i < 9; ++i) {
        const D3DTLVERTEX& v = draws[0].vertices[i];
        EXPECT_GT(v.sy, 240.0f) << i;
        EXPECT_EQ(0xFF0000u, v.color) << i;
    }
    // Vertex 0 (-4, -1, 0) at depth 10: 320 - 4 x 320 / 10 across, 240 + 320 / 10 down.
    EXPECT_NEAR(192.0f, draws[0].vertices[0].sx, 1e-3f);
    EXPECT_NEAR(272.0f, draws[0].vertices[0].sy, 1e-3f);

    // Moved behind the camera, nothing is drawn.
    tile.m_geo->subMeshes[0].TranslateVertices(0.0f, 0.0f, -30.0f);
    tile.m_geo->subMeshes[0].compute_extents();
    EXPECT_EQ(1, tile.RenderDPMesh());
    EXPECT_TRUE(Draws(Take()).empty());
}

TEST_F(DrawTest, TerrainHandleIsAnObjectWithTheGridsBoxAndDeletesAsOne) {
    void* handle = nullptr;
    ASSERT_EQ(1, QuibInitTerrain(2.0f, 4.0f, 8.0f, 6.0f, 4, 3, nullptr, &handle));
    MeshObject* object = static_cast<MeshObject*>(handle);
    EXPECT_EQ(static_cast<Terrain*>(handle)->m_geo, object->m_geo);
    EXPECT_TRUE(object->m_ownsGeo && object->m_ownsSkin);
    EXPECT_EQ(2.0f, object->m_box.min.x);
    EXPECT_EQ(10.0f, object->m_corners[7].x);
    EXPECT_EQ(10.0f, object->m_corners[7].z);
    EXPECT_FLOAT_EQ(6.0f, object->m_center.x);
    EXPECT_FLOAT_EQ(7.0f, object->m_center.z);
    EXPECT_EQ(20, object->m_vertexCount);
    EXPECT_EQ(24, object->m_polyCount);
    // The camera at (0, 0, -10) is (6, 0, 17) from the grid's centre.
    g_lpCamera->SetPosition(0.0f, 0.0f, -10.0f);
    EXPECT_FLOAT_EQ(std::sqrt(36.0f + 289.0f), object->DistanceFromCamera());
    static_cast<Terrain*>(handle)->MakeLowDetailVersions(1);
    delete object; // the whole tile with its chain, through the object (the sanitizer run checks)
}

class TerrainSceneTest : public DrawTest {
  protected:
    void TearDown() override {
        FreeHorizon();
        DrawTest::TearDown();
    }
};

TEST_F(TerrainSceneTest, TileInADisplayListCoversTheGroundBelowTheHorizon) {
    ASSERT_NE(nullptr, g_lpCamera);
    g_lpCamera->SetPosition(0.0f, 0.0f, -10.0f);
    QuibSetHorizonColor(0, 0, 255, 0, 255, 0);
    // Ground at y = -1 from 1 unit before the camera to 400 units beyond, 400 wide: every screen row
    // below 240 + 320 / 400 shows it; no row above the centre can.
    void* tile = nullptr;
    ASSERT_EQ(1, QuibInitTerrain(-200.0f, -9.0f, 400.0f, 400.0f, 8, 8, nullptr, &tile));
    static_cast<Terrain*>(tile)->TranslateVertices(0.0f, -1.0f, 0.0f);
    void* list = QuibCreateDisplayList(1);
    QuibAddDisplayList(list, tile);
    for (int frame = 0; frame < 2; ++frame) { // the horizon sets the clear colour from frame 2 on
        ASSERT_EQ(1, QuibRenderDisplayList(list)) << ErrorText();
        g_lpD3DDevice2->EndScene();
    }
    LockedPixels pixels(g_lpBackBuffer);
    ASSERT_TRUE(pixels.ok());
    testsupport::WriteFrame565("terrain_tile.bmp", pixels.width(), pixels.height(), pixels.pitch(),
                               &pixels.At(0, 0));
    EXPECT_EQ(0xF800, pixels.At(320, 400)); // ground 2 units ahead
    EXPECT_EQ(0xF800, pixels.At(5, 475));
    EXPECT_EQ(0xF800, pixels.At(635, 260)); // 16 units ahead, 15.4 to the right
    EXPECT_EQ(0x07E0, pixels.At(320, 100)); // above the horizon: the background
    EXPECT_EQ(0x07E0, pixels.At(5, 5));
    QuibFreeDisplayList(list);
    delete static_cast<MeshObject*>(tile);
}
