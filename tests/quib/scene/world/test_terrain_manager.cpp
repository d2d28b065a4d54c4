// The terrain manager: neighbours of grid cells, the tile under a point, detail levels chosen by the
// viewer's distance and swapped in a display list, and border stitching between levels.
#include <memory>
#include <string>
#include <vector>

#include "quib/quib.h"
#include "quib/scene/objects/display_list.h"
#include "quib/scene/world/terrain.h"
#include "quib/scene/world/terrain_manager.h"
#include "tests/quib/bitmap_test_support.h"

namespace {

// Tiles of 4 x 4 cells, 4 units wide, tile (ix, iz) at (4 ix, 4 iz); the ground is y = x^2 + 3 z^2, so
// tiles agree on their shared borders and no border is straight.
class TerrainManagerTest : public bmptest::EngineDisplayTest {
  protected:
    void MakeGrid(int nx, int nz) {
        manager.SetGridParams(1, 2, 3, 4, nx, nz);
        for (int iz = 0; iz < nz; ++iz)
            for (int ix = 0; ix < nx; ++ix) {
                tiles.push_back(std::make_unique<Terrain>(nullptr, nullptr));
                Terrain& tile = *tiles.back();
                ASSERT_EQ(1, tile.Init(4.0f * ix, 4.0f * iz, 4, 4, 4, 4));
                DPSubMesh& sub = tile.m_geo->subMeshes[0];
                for (int i = 0; i < sub.vertexCount; ++i)
                    sub.vertices[i].y =
                        sub.vertices[i].x * sub.vertices[i].x + 3 * sub.vertices[i].z * sub.vertices[i].z;
                sub.compute_extents();
                ASSERT_EQ(1, QuibAddTerrainManager(&manager, &tile, ix, iz));
            }
    }

    // Levels of the cells after SetDetailLevel with the viewer at (x, y, z) and step 4.
    std::vector<int> Levels(float x, float y, float z) {
        EXPECT_EQ(1, manager.SetDetailLevel(&list, D3DVECTOR{x, y, z}, 4.0f));
        std::vector<int> levels;
        for (int c = 0; c < manager.m_nx * manager.m_nz; ++c)
            levels.push_back(manager.m_cells[c].level);
        return levels;
    }

    // Height of vertex (i, j) of the version now drawn in cell c.
    float CurrentHeight(int c, int i, int j) {
        Terrain& t = *manager.m_cells[c].current;
        return t.m_geo->subMeshes[0].vertices[j * (t.m_cols + 1) + i].y;
    }

    TerrainManager manager;
    std::vector<std::unique_ptr<Terrain>> tiles;
    DisplayList list{1};
};

} // namespace

TEST_F(TerrainManagerTest, CellsKnowTheirNeighboursAndAddsOutsideTheGridAreIgnored) {
    TerrainManager empty;
    Terrain loose(nullptr, nullptr);
    EXPECT_EQ(0, empty.Add(&loose, 0, 0)); // no grid yet
    EXPECT_EQ(0, empty.m_terrains->GetCount());

    MakeGrid(3, 2);
    const TerrainCell& corner = manager.m_cells[0];
    EXPECT_EQ((std::vector<int>{-1, 3, -1, 1}), std::vector<int>(corner.neighbour, corner.neighbour + 4));
    const TerrainCell& middle = manager.m_cells[4];
    EXPECT_EQ((std::vector<int>{1, -1, 3, 5}), std::vector<int>(middle.neighbour, middle.neighbour + 4));
    EXPECT_EQ(1, middle.ix);
    EXPECT_EQ(1, middle.iz);
    EXPECT_EQ(0, QuibAddTerrainManager(&manager, &loose, 3, 0));
    EXPECT_EQ(0, QuibAddTerrainManager(&manager, &loose, 0, -1));
    EXPECT_EQ(0, QuibAddTerrainManager(&manager, nullptr, 0, 0));
    EXPECT_EQ(0, QuibAddTerrainManager(nullptr, &loose, 0, 0));
    EXPECT_EQ(6, manager.m_terrains->GetCount());
    EXPECT_EQ(tiles[0].get(), manager.m_cells[0].base);
}

TEST_F(TerrainManagerTest, TheTileUnderAPointExcludesFarBorders) {
    MakeGrid(3, 2);
    EXPECT_EQ(tiles[0].get(), manager.FindTerrain(1, 1));
    EXPECT_EQ(tiles[1].get(), manager.FindTerrain(4, 1)); // shared border: the tile starting there
    EXPECT_EQ(tiles[4].get(), manager.FindTerrain(5, 4));
    EXPECT_EQ(nullptr, manager.FindTerrain(12, 2));
    EXPECT_EQ(nullptr, manager.FindTerrain(2, 8));
    D3DVECTOR out{};
    ASSERT_EQ(1, QuibFindTerrainManagerIntersection(&manager, 5, 6, out));
    EXPECT_NEAR(25 + 108, out.y, 1e-3f);
    EXPECT_EQ(0, QuibFindTerrainManagerIntersection(&manager, 12, 2, out));
    EXPECT_EQ(0, QuibFindTerrainManagerIntersection(nullptr, 5, 6, out));
}

TEST_F(TerrainManagerTest, LevelsFollowTheViewersHorizontalDistance) {
    MakeGrid(3, 2);
    ASSERT_EQ(1, manager.MakeLowDetailVersions(1)); // 4, 2, 1 cells each way
    // From the centre of tile 0: distances 0, 4, 8 on the first row, 4, 5.7, 8.9 on the second.
    EXPECT_EQ((std::vector<int>{0, 1, 2, 1, 1, 2}), Levels(2, 500, 2));
    ASSERT_EQ(6, list.GetCount());
    for (int c = 0; c < 6; ++c) {
        Terrain* expected = nullptr;
        tiles[size_t(c)]->GetLOD(manager.m_cells[c].level, &expected, nullptr);
        EXPECT_EQ(expected, manager.m_cells[c].current);
        EXPECT_EQ(expected, list.GetAt(c));
    }
    // Far away every chain ends at its coarsest version; each tile stays in the list once.
    EXPECT_EQ((std::vector<int>{2, 2, 2, 2, 2, 2}), Levels(1e30f, 0, 0));
    EXPECT_EQ(6, list.GetCount());
    EXPECT_EQ(nullptr, list.Find(tiles[1].get()));
    EXPECT_EQ(1, manager.SetDetailLevel(&list, D3DVECTOR{1e30f, 0, 0}, 0.0f)); // no step: full detail
    EXPECT_EQ(tiles[5].get(), manager.m_cells[5].current);
    EXPECT_EQ(6, list.GetCount());
}

TEST_F(TerrainManagerTest, FinerTilesStitchToCoarserNeighboursAndStaleStitchesAreUndone) {
    MakeGrid(2, 1);
    ASSERT_EQ(1, manager.MakeLowDetailVersions(1));
    QuibDebugEnable(1);
    // Tile 0 at level 0 beside tile 1 at level 1: tile 0's border x = 4 follows the coarser one.
    EXPECT_EQ((std::vector<int>{0, 1}), Levels(2, 0, 2));
    EXPECT_FLOAT_EQ(22.0f, CurrentHeight(0, 4, 1)); // (16 + 28) / 2, own 19
    EXPECT_FLOAT_EQ(28.0f, CurrentHeight(1, 0, 1)); // the coarser side keeps its own
    EXPECT_NE(std::string::npos,
              ReadLog().find("LO Base Tile <  0,  0>, val=  0 : Tile <  1,  0>, val=  1\n"));
    // Levels 1 and 2: tile 0's coarse version is stitched ((16 + 64) / 2, own 28) ...
    EXPECT_EQ((std::vector<int>{1, 2}), Levels(-2, 0, 2));
    EXPECT_FLOAT_EQ(40.0f, CurrentHeight(0, 2, 1));
    // ... and once its neighbour is the finer one, it takes its own heights again.
    EXPECT_EQ((std::vector<int>{1, 0}), Levels(6, 0, 2));
    EXPECT_FLOAT_EQ(28.0f, CurrentHeight(0, 2, 1));
    EXPECT_EQ((std::vector<int>{0, 0}), Levels(4, 0, 2));
    EXPECT_FLOAT_EQ(19.0f, CurrentHeight(0, 4, 1));
    EXPECT_NE(std::string::npos,
              ReadLog().find("HI Base Tile <  1,  0>, val=  0 : Tile <  0,  0>, val=  0\n"));
}

// Rebuilding the chains, or making a tile anew, frees the coarser versions a list may hold: they leave
// every display list, and the cells go back to what still exists (the sanitizer build checks nothing
// freed is read).
TEST_F(TerrainManagerTest, FreedVersionsLeaveTheListAndTheCells) {
    MakeGrid(2, 1);
    ASSERT_EQ(1, manager.MakeLowDetailVersions(1));
    DisplayList other(1); // a second list holding a coarse version
    EXPECT_EQ((std::vector<int>{2, 2}), Levels(1e30f, 0, 0));
    other.Add(manager.m_cells[1].current);
    ASSERT_EQ(1, manager.MakeLowDetailVersions(1));
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(0, other.GetCount());
    EXPECT_EQ((std::vector<int>{2, 2}), Levels(1e30f, 0, 0));
    ASSERT_EQ(2, list.GetCount());
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(manager.m_cells[c].current, list.GetAt(c));
        EXPECT_EQ(1, static_cast<Terrain*>(list.GetAt(c))->m_cols);
    }

    // Tile 0 made anew: its old chain leaves the list, and the cell answers with the tile itself.
    ASSERT_EQ(1, tiles[0]->Init(0, 0, 4, 4, 4, 4));
    ASSERT_EQ(1, list.GetCount());
    EXPECT_EQ(manager.m_cells[1].current, list.GetAt(0));
    EXPECT_EQ(tiles[0].get(), manager.FindTerrain(1, 1));
    EXPECT_EQ((std::vector<int>{0, 2}), Levels(1e30f, 0, 0));
    EXPECT_EQ(2, list.GetCount());
    EXPECT_NE(nullptr, list.Find(tiles[0].get()));
}
