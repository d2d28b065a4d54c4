// Terrain tiles: the ground height at known points of hand-shaped grids, elevation maps, the chain of
// coarser versions with its border stitching, and splitting a tile into saved tiles.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "quib/quib.h"
#include "quib/scene/world/terrain.h"
#include "tests/quib/bitmap_test_support.h"

namespace {

DPVertex& At(Terrain& tile, int i, int j) {
    return tile.m_geo->subMeshes[0].vertices[j * (tile.m_cols + 1) + i];
}

// Heights y = i^2 + 10 j^2: no border is straight, so stitched and own heights differ.
void ShapeBowl(Terrain& tile) {
    for (int j = 0; j <= tile.m_rows; ++j)
        for (int i = 0; i <= tile.m_cols; ++i)
            At(tile, i, j).y = float(i * i + 10 * j * j);
}

float HeightAt(Terrain& tile, float x, float z) {
    D3DVECTOR out{0, -1, 0};
    EXPECT_EQ(1, tile.FindIntersection(x, z, out)) << x << ", " << z;
    EXPECT_FLOAT_EQ(x, out.x);
    EXPECT_FLOAT_EQ(z, out.z);
    return out.y;
}

int ChainLength(Terrain& tile) {
    int levels = 1;
    for (Terrain* t = tile.m_lowDetail; t; t = t->m_lowDetail)
        ++levels;
    return levels;
}

using TerrainTest = bmptest::EngineDisplayTest;

} // namespace

TEST_F(TerrainTest, GroundHeightFollowsTheCellsTwoTriangles) {
    // One 4 x 1 cell at (10, 20): only the far corner (i+1, j+1) is raised, to 4.
    Terrain tile(nullptr, nullptr);
    ASSERT_EQ(1, tile.Init(10.0f, 20.0f, 4.0f, 1.0f, 1, 1));
    EXPECT_EQ(10.0f, At(tile, 0, 0).x);
    EXPECT_EQ(21.0f, At(tile, 1, 1).z);
    At(tile, 1, 1).y = 4.0f;
    EXPECT_NEAR(0.0f, HeightAt(tile, 11.0f, 20.25f), 1e-3f); // near triangle
    EXPECT_NEAR(2.0f, HeightAt(tile, 13.0f, 20.75f), 1e-3f); // far triangle: 4 (u + v - 1)
    EXPECT_NEAR(0.4f, HeightAt(tile, 11.2f, 20.8f),
                1e-3f); // u + v = 1.1: the far one, not the nearer corner's
    EXPECT_NEAR(0.0f, HeightAt(tile, 10.0f, 20.0f), 1e-3f); // near borders inside
    EXPECT_NEAR(2.0f, HeightAt(tile, 14.0f, 20.5f), 1e-3f); // far borders use the last cell
    EXPECT_NEAR(4.0f, HeightAt(tile, 14.0f, 21.0f), 1e-3f);
    D3DVECTOR out{};
    EXPECT_EQ(0, tile.FindIntersection(9.99f, 20.5f, out));
    EXPECT_EQ(0, tile.FindIntersection(12.0f, 21.01f, out));
    EXPECT_EQ(0, QuibFindTerrainIntersection(nullptr, 12.0f, 20.5f, out));
}

TEST_F(TerrainTest, GroundOnALargerGridAndBeyondTheSearchedHeights) {
    Terrain tile(nullptr, nullptr);
    ASSERT_EQ(1, tile.Init(0.0f, 0.0f, 8.0f, 8.0f, 4, 4));
    ShapeBowl(tile);
    EXPECT_NEAR(At(tile, 2, 3).y, HeightAt(tile, 4.0f, 6.0f), 1e-3f);
    EXPECT_NEAR(At(tile, 4, 4).y, HeightAt(tile, 8.0f, 8.0f), 1e-3f);
    // Midway along the edge (2, 1)-(3, 1): the mean of its ends.
    EXPECT_NEAR((At(tile, 2, 1).y + At(tile, 3, 1).y) / 2, HeightAt(tile, 5.0f, 2.0f), 1e-3f);
    for (int i = 0; i < tile.m_geo->subMeshes[0].vertexCount; ++i)
        tile.m_geo->subMeshes[0].vertices[i].y = 2500.0f;
    D3DVECTOR out{};
    EXPECT_EQ(0, tile.FindIntersection(4.0f, 4.0f, out));
}

TEST_F(TerrainTest, ElevationMapAveragesThePixelsAroundEachVertex) {
    // A 4 x 4 map over 2 x 2 cells: each vertex averages up to 2 x 2 pixels; pixel (x, y) = 10x + 40y.
    IDirectDrawSurface* map = MakeSurface(4, 4, 8);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            pixels.push_back(uint32_t(10 * x + 40 * y));
    SetPixels(map, pixels);
    Terrain up(nullptr, nullptr), down(nullptr, nullptr);
    ASSERT_EQ(1, up.Init(0, 0, 2, 2, 2, 2));
    ASSERT_EQ(1, down.Init(0, 0, 2, 2, 2, 2));
    EXPECT_EQ(1, QuibApplyElevationMap(&up, map, 1.0f, 257.0f, 1)); // scale 1
    EXPECT_FLOAT_EQ(1.0f, At(up, 0, 0).y);                          // pixel (0, 0) only
    EXPECT_FLOAT_EQ(16.0f, At(up, 1, 0).y);                         // (10 + 20) / 2
    EXPECT_FLOAT_EQ(76.0f, At(up, 1, 1).y);                         // (50 + 60 + 90 + 100) / 4
    EXPECT_FLOAT_EQ(151.0f, At(up, 2, 2).y);                        // pixel (3, 3) only
    up.ApplyElevationMap(map, 1.0f, 257.0f, 1);
    EXPECT_FLOAT_EQ(152.0f, At(up, 1, 1).y);
    down.ApplyElevationMap(map, 1.0f, 257.0f, 0);
    EXPECT_FLOAT_EQ(-74.0f, At(down, 1, 1).y);
    EXPECT_EQ(1, QuibApplyElevationMap(nullptr, map, 0, 1, 1));
    map->Release();
}

TEST_F(TerrainTest, LowDetailChainHalvesWhileEnoughEvenCellsRemain) {
    Terrain tile(nullptr, nullptr);
    ASSERT_EQ(1, tile.Init(0, 0, 16, 16, 16, 16));
    ShapeBowl(tile);
    tile.MakeLowDetailVersions(64);
    ASSERT_EQ(3, ChainLength(tile));
    Terrain* coarse = tile.m_lowDetail;
    EXPECT_EQ(8, coarse->m_cols);
    EXPECT_EQ(4, coarse->m_lowDetail->m_rows);
    EXPECT_EQ(16.0f, coarse->m_sizeX);
    for (int j = 0; j <= 8; ++j)
        for (int i = 0; i <= 8; ++i) {
            ASSERT_EQ(At(tile, 2 * i, 2 * j).x, At(*coarse, i, j).x);
            ASSERT_EQ(At(tile, 2 * i, 2 * j).y, At(*coarse, i, j).y);
            ASSERT_EQ(At(tile, 2 * i, 2 * j).tv, At(*coarse, i, j).tv);
        }
    Terrain* reached = nullptr;
    int steps = -1;
    tile.GetLOD(5, &reached, &steps);
    EXPECT_EQ(coarse->m_lowDetail, reached);
    EXPECT_EQ(2, steps);
    tile.GetLOD(1, &reached, &steps);
    EXPECT_EQ(coarse, reached);

    // Small minimums stop below 2 x 2 cells and at odd sizes; the chain is rebuilt, not added to.
    tile.MakeLowDetailVersions(0);
    EXPECT_EQ(5, ChainLength(tile)); // 16, 8, 4, 2, 1
    Terrain strip(nullptr, nullptr), odd(nullptr, nullptr);
    ASSERT_EQ(1, strip.Init(0, 0, 16, 1, 16, 1));
    strip.MakeLowDetailVersions(1);
    EXPECT_EQ(1, ChainLength(strip));
    ASSERT_EQ(1, odd.Init(0, 0, 6, 6, 6, 6));
    odd.MakeLowDetailVersions(1);
    EXPECT_EQ(2, ChainLength(odd)); // 6, 3
}

TEST_F(TerrainTest, CoarserVersionsFollowTheTexturesTheTileOwns) {
    // No surface table here: the tile owns the textures it is given, and its chain shares them.
    IDirectDrawSurface* first = MakeSurface(4, 4, 16);
    IDirectDrawSurface* second = MakeSurface(4, 4, 16);
    Terrain tile(nullptr, nullptr);
    ASSERT_EQ(1, tile.Init(0, 0, 4, 4, 4, 4));
    tile.SetTextureMap(first);
    tile.MakeLowDetailVersions(1);
    ASSERT_EQ(3, ChainLength(tile));
    tile.SetTextureMap(second);
    const SurfaceTableEntry* texture = tile.m_skin->materials[0].texture;
    ASSERT_NE(nullptr, texture);
    EXPECT_EQ(texture, tile.m_lowDetail->m_skin->materials[0].texture);
    EXPECT_EQ(texture, tile.m_lowDetail->m_lowDetail->m_skin->materials[0].texture);
    first->Release();
    second->Release();
}

TEST_F(TerrainTest, BordersLoadStitchedOrOwnHeights) {
    Terrain tile(nullptr, nullptr);
    ASSERT_EQ(1, tile.Init(0, 0, 4, 4, 4, 4));
    ShapeBowl(tile);
    EXPECT_EQ(0, tile.LoadEdge(0, 1)); // no border heights yet
    ASSERT_EQ(1, tile.InitLODVertices());
    ASSERT_EQ(1, tile.LoadEdge(0, 1));
    EXPECT_FLOAT_EQ(2.0f, At(tile, 1, 0).y);  // (0 + 4) / 2
    EXPECT_FLOAT_EQ(10.0f, At(tile, 3, 0).y); // (4 + 16) / 2
    EXPECT_FLOAT_EQ(4.0f, At(tile, 2, 0).y);  // even vertices stay
    ASSERT_EQ(1, tile.LoadEdge(3, 1));
    EXPECT_FLOAT_EQ(36.0f, At(tile, 4, 1).y); // (16 + 56) / 2
    EXPECT_FLOAT_EQ(11.0f, At(tile, 1, 1).y); // inside stays
    ASSERT_EQ(1, tile.LoadEdge(0, 0));
    EXPECT_FLOAT_EQ(1.0f, At(tile, 1, 0).y);
    EXPECT_FLOAT_EQ(9.0f, At(tile, 3, 0).y);
    EXPECT_EQ(0, tile.LoadEdge(0, 2));
    EXPECT_EQ(1, tile.LoadEdge(5, 1));
    EXPECT_FLOAT_EQ(1.0f, At(tile, 1, 0).y);
    EXPECT_FLOAT_EQ(36.0f, At(tile, 4, 1).y);
}

TEST_F(TerrainTest, SubdivisionSavesNumberedTilesAtTheirPlaces) {
    Terrain tile(nullptr, nullptr);
    ASSERT_EQ(1, tile.Init(0, 0, 8, 8, 8, 8));
    Terrain* out[6] = {};
    EXPECT_EQ(0, tile.SubdivideMesh("base.dpm", 3, 2, out));
    EXPECT_EQ(nullptr, out[0]);

    ASSERT_EQ(1, tile.Init(0, 0, 8, 8, 4, 4));
    ShapeBowl(tile);
    std::strcpy(tile.m_textureName, "maps\\tex.bmp");
    ASSERT_EQ(1, tile.SubdivideMesh("c:\\out\\base.dpm", 2, 2, out));
    for (int k = 0; k < 4; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "base%03d.dpm", k);
        EXPECT_TRUE(std::filesystem::exists(name)) << name;
    }
    Terrain& last = *out[3]; // tx = 1, tz = 1
    EXPECT_EQ(4.0f, last.m_originX);
    EXPECT_EQ(4.0f, last.m_originZ);
    EXPECT_EQ(2, last.m_cols);
    EXPECT_STREQ("tex003.bmp", last.m_textureName);
    EXPECT_EQ(4.0f, At(last, 0, 0).x);
    EXPECT_EQ(At(tile, 4, 4).y, At(last, 2, 2).y);
    EXPECT_EQ(1.0f, At(last, 2, 2).tu); // each tile maps its own bitmap whole
    Terrain loaded(nullptr, nullptr);
    ASSERT_EQ(1, loaded.Load("base003.dpm"));
    EXPECT_STREQ("tex003.bmp", loaded.m_textureName);
    EXPECT_NEAR(At(tile, 3, 2).y, HeightAt(loaded, 6.0f, 4.0f), 1e-3f);
    for (Terrain* t : out)
        delete t;
}
