// A terrain tile drawn through the immediate-mode pipeline: its grid as one indexed list in its
// untextured red, below the horizon of a camera above it.
#include "draw_test_support.h"
#include "quib/scene/terrain.h"

using namespace draw_test;

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
