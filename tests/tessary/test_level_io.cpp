// Level files on the grid: the exact bytes written, the round trip, and every malformed or foreign file
// refused with a reason while the current level stays as it was.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "game_test_support.h"

using namespace gametest;

namespace {

using testsupport::PutLe32;

void PutLayer(std::vector<uint8_t>& out, const std::string& name, const std::vector<int32_t>& cells) {
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
    PutLe32(out, uint32_t(cells.size()));
    for (int32_t cell : cells)
        PutLe32(out, cell);
}

// A 3 x 2 grid with the test palette.
std::string SmallSetupIni() {
    std::string ini = SetupIni();
    ini.replace(ini.find("gridw=12\ngridh=10"), 17, "gridw=3\ngridh=2");
    return ini;
}

// The golden file of the small level that FillSmallLevel paints.
std::vector<uint8_t> SmallLevelBytes() {
    std::vector<uint8_t> bytes;
    PutLe32(bytes, 7);
    PutLayer(bytes, "background", {kFloorTile, 1, kGoal0Tile, 1, 0, kFloorTile});
    PutLayer(bytes, "dimple", {-1, -1, -1, kDimpleTile, -1, -1});
    PutLayer(bytes, "hole", {-1, kHoleTile, -1, -1, -1, -1});
    PutLayer(bytes, "mine", {-1, -1, -1, -1, kMineTile, -1});
    PutLayer(bytes, "generator", {-1, -1, -1, -1, -1, kGeneratorTile});
    PutLayer(bytes, "wall", {kWallTile, -1, -1, -1, -1, -1});
    PutLayer(bytes, "special", {-1, -1, kBall0Tile, -1, kBall4Tile, -1});
    return bytes;
}

bool SameCells(const LevelFileData& a, const LevelFileData& b) {
    if (a.layers.size() != b.layers.size()) return false;
    for (size_t i = 0; i < a.layers.size(); ++i) {
        if (a.layers[i].name != b.layers[i].name || a.layers[i].cells != b.layers[i].cells) return false;
    }
    return true;
}

class LevelIoTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        WriteGameFolder(SmallSetupIni());
        CreateGrid(".\\setup.ini");
        grid_ = g_tileGrid;
    }

    // Paints the level of SmallLevelBytes, in an order that leaves the layers' content the same.
    void FillSmallLevel() {
        grid_->SetCell(kFloorTile, 0);
        grid_->SetCell(kWallTile, 0);
        grid_->SetCell(kHoleTile, 1);
        grid_->SetCell(kGoal0Tile, 2);
        grid_->SetCell(kBall0Tile, 2);
        grid_->SetCell(kDimpleTile, 3);
        grid_->SetCell(kMineTile, 4);
        grid_->SetCell(kBall4Tile, 4);
        grid_->SetCell(kFloorTile, 5);
        grid_->SetCell(kGeneratorTile, 5);
    }

    TileGrid* grid_ = nullptr;
};

} // namespace

TEST_F(LevelIoTest, SavesTheExactFormat) {
    FillSmallLevel();
    ASSERT_EQ(grid_->SaveLevel(".\\Small.lev"), 1);
    EXPECT_EQ(ReadBytes("Small.lev"), SmallLevelBytes());
    EXPECT_TRUE(grid_->levelError.empty());
}

TEST_F(LevelIoTest, RoundTripGivesTheSameCellsAndBytes) {
    FillSmallLevel();
    ASSERT_EQ(grid_->SaveLevel("small.lev"), 1);
    std::vector<Tile*> before;
    for (int layer = 0; layer < grid_->layers.count; ++layer)
        for (int cell = 0; cell < grid_->CellCount(); ++cell)
            before.push_back(grid_->layers.items[layer]->cells.items[cell]);

    grid_->ClearLayers();
    ASSERT_EQ(grid_->LoadLevel("small.lev"), 1) << grid_->levelError;
    std::vector<Tile*> after;
    for (int layer = 0; layer < grid_->layers.count; ++layer)
        for (int cell = 0; cell < grid_->CellCount(); ++cell)
            after.push_back(grid_->layers.items[layer]->cells.items[cell]);
    EXPECT_EQ(before, after);

    ASSERT_EQ(grid_->SaveLevel("again.lev"), 1);
    EXPECT_EQ(ReadBytes("again.lev"), ReadBytes("small.lev"));
}

TEST_F(LevelIoTest, LoadingRebuildsTheGrid) {
    WriteBytes("small.lev", SmallLevelBytes());
    ASSERT_EQ(grid_->LoadLevel("small.lev"), 1);
    EXPECT_EQ(grid_->holes.count, 1);
    EXPECT_EQ(grid_->mines.count, 1);
    EXPECT_EQ(grid_->dimples.count, 1);
    EXPECT_EQ(grid_->generators.count, 1);
    ASSERT_NE(grid_->collisionSurface, nullptr);
    EXPECT_NE(GetPixel(grid_->collisionSurface, 3, 3), 0x001F); // the wall of cell 0
    // A placed tile remembers the cell position it was loaded at.
    EXPECT_FLOAT_EQ(grid_->palette.items[kMineTile]->x, 24.0f);
    EXPECT_FLOAT_EQ(grid_->palette.items[kMineTile]->y, 24.0f);
    // The stored 0 and 1 become the checkerboard of each cell's parity.
    EXPECT_EQ(grid_->layers.items[0]->cells.items[1], grid_->checkerboard[1]);
    EXPECT_EQ(grid_->layers.items[0]->cells.items[3], grid_->checkerboard[1]);
    EXPECT_EQ(grid_->layers.items[0]->cells.items[4], grid_->checkerboard[0]);
}

TEST_F(LevelIoTest, TilesGoToTheirOwnLayersWhateverTheFileSays) {
    std::vector<uint8_t> bytes;
    PutLe32(bytes, 1);
    PutLayer(bytes, "background", {kFloorTile, kWallTile, kBall0Tile, -1, 0, kFloorTile});
    WriteBytes("mixed.lev", bytes);
    ASSERT_EQ(grid_->LoadLevel("mixed.lev"), 1) << grid_->levelError;
    EXPECT_EQ(grid_->layers.items[grid_->FindLayer("wall")]->cells.items[1], grid_->palette.items[kWallTile]);
    EXPECT_EQ(grid_->layers.items[grid_->FindLayer("special")]->cells.items[2],
              grid_->palette.items[kBall0Tile]);
    EXPECT_EQ(grid_->layers.items[0]->cells.items[1], nullptr);
    EXPECT_EQ(grid_->layers.items[0]->cells.items[3], nullptr);
    // The empty entry emptied the file's own layer, not the layer the previous tile went to.
    EXPECT_EQ(grid_->layers.items[0]->cells.items[0], grid_->palette.items[kFloorTile]);
}

TEST_F(LevelIoTest, MissingFileChangesNothing) {
    FillSmallLevel();
    grid_->SelectLayer("hole");
    const LevelFileData before = grid_->ToLevelFile();
    EXPECT_EQ(grid_->LoadLevel(".\\Levels\\999.lev"), 0);
    EXPECT_NE(grid_->levelError.find("999.lev"), std::string::npos);
    EXPECT_TRUE(SameCells(before, grid_->ToLevelFile()));
    EXPECT_EQ(grid_->currentLayer, grid_->FindLayer("hole"));
}

// Each malformed or foreign file is refused with its reason; the current level, the current layer and
// the rendered grid stay exactly as they were.
TEST_F(LevelIoTest, RefusesBadFilesAndKeepsTheCurrentLevel) {
    FillSmallLevel();
    grid_->Rebuild();
    grid_->SelectLayer("mine");
    const LevelFileData before = grid_->ToLevelFile();
    const int wallPixel = GetPixel(grid_->collisionSurface, 3, 3);
    const std::vector<uint8_t> good = SmallLevelBytes();

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reasonPart;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"truncated", std::vector<uint8_t>(good.begin(), good.end() - 3), "ends inside the cells"});
    cases.push_back({"empty", {}, "too short"});
    {
        std::vector<uint8_t> b;
        PutLe32(b, 1);
        PutLayer(b, "background", {kFloorTile, kPaletteSize, -1, -1, -1, -1});
        cases.push_back({"index past the palette", b, "holds tile 18, outside the palette of 18"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 1);
        PutLayer(b, "background", {kFloorTile, -2, -1, -1, -1, -1});
        cases.push_back({"negative index", b, "holds tile -2"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 2);
        PutLayer(b, "background", {kFloorTile, kFloorTile, kFloorTile, kFloorTile, kFloorTile, kFloorTile});
        PutLayer(b, "lava", {-1, -1, -1, -1, -1, -1});
        cases.push_back({"unknown layer", b, "layer \"lava\" that the grid does not have"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 1);
        PutLayer(b, std::string(40, 'w'), {-1, -1, -1, -1, -1, -1});
        cases.push_back({"40-character name", b, "longer than 31 characters"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 1);
        PutLayer(b, "wall", {-1, -1, -1, -1, -1, -1, kWallTile});
        cases.push_back({"more cells than the grid", b, "has 7 cells, the grid 6"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 1);
        PutLayer(b, "wall", {-1, -1});
        cases.push_back({"fewer cells than the grid", b, "has 2 cells, the grid 6"});
    }
    {
        std::vector<uint8_t> b;
        PutLe32(b, 8);
        for (int i = 0; i < 8; ++i)
            PutLayer(b, "wall", {-1, -1, -1, -1, -1, -1});
        cases.push_back({"more layers than the grid", b, "has 8 layers, the grid only 7"});
    }
    {
        std::vector<uint8_t> b = good;
        b.push_back(7);
        cases.push_back({"trailing byte", b, "unexpected bytes"});
    }

    for (const Case& c : cases) {
        WriteBytes("bad.lev", c.bytes);
        EXPECT_EQ(grid_->LoadLevel("bad.lev"), 0) << c.what;
        EXPECT_NE(grid_->levelError.find(c.reasonPart), std::string::npos)
            << c.what << ": " << grid_->levelError;
        EXPECT_NE(grid_->levelError.find("bad.lev"), std::string::npos) << c.what;
        EXPECT_TRUE(SameCells(before, grid_->ToLevelFile())) << c.what;
        EXPECT_EQ(grid_->currentLayer, grid_->FindLayer("mine")) << c.what;
        EXPECT_EQ(GetPixel(grid_->collisionSurface, 3, 3), wallPixel) << c.what;
    }
    // A good file loads afterwards, and the error is cleared.
    WriteBytes("good.lev", good);
    EXPECT_EQ(grid_->LoadLevel("good.lev"), 1);
    EXPECT_TRUE(grid_->levelError.empty());
}

TEST_F(LevelIoTest, FileWithSomeLayersEmptiesTheOthers) {
    FillSmallLevel();
    std::vector<uint8_t> bytes;
    PutLe32(bytes, 1);
    PutLayer(bytes, "wall", {-1, -1, -1, -1, -1, kWallTile});
    WriteBytes("walls.lev", bytes);
    ASSERT_EQ(grid_->LoadLevel("walls.lev"), 1);
    const LevelFileData level = grid_->ToLevelFile();
    for (const LevelLayerData& layer : level.layers) {
        const int32_t last = layer.name == "wall" ? int32_t(kWallTile) : -1;
        EXPECT_EQ(layer.cells, (std::vector<int32_t>{-1, -1, -1, -1, -1, last})) << layer.name;
    }
}

TEST_F(LevelIoTest, SaveFailureShowsABoxAndWritesNothing) {
    setenv("HOST_RECORD", (Folder() / "record.txt").c_str(), 1);
    EXPECT_EQ(grid_->SaveLevel("nofolder\\x.lev"), 0);
    unsetenv("HOST_RECORD");
    EXPECT_EQ(ReadText((Folder() / "record.txt").string()), "message Can't save file...: nofolder\\x.lev\n");
    EXPECT_FALSE(grid_->levelError.empty());
}

TEST_F(LevelIoTest, LevelDataFromMemory) {
    const std::vector<uint8_t> bytes = SmallLevelBytes();
    ASSERT_EQ(grid_->LoadLevelData(bytes.data(), bytes.size()), 1);
    EXPECT_EQ(SerializeLevelFile(grid_->ToLevelFile()), bytes);
    EXPECT_EQ(grid_->LoadLevelData(nullptr, 0), 0);
}
