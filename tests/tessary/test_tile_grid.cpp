// The tile grid: setup.ini sections, the palette cut from its bitmap with every attribute, cells and
// layers, the pre-rendered wall picture and collision mask, the special lists and blocks.
#include <cstring>
#include <fstream>
#include <sstream>

#include "game_test_support.h"

using namespace gametest;

namespace {

class TileGridTest : public EngineTest {
  protected:
    // The 16-bit value of colour c on surface.
    static int Pixel(IDirectDrawSurface* surface, Rgb c) { return RGBToPixel(surface, c.r, c.g, c.b); }
    // The screen point of pixel (dx, dy) of cell (col, row).
    static int ScreenX(int col, int dx = 12) { return kGridX + col * kCell + dx; }
    static int ScreenY(int row, int dy = 12) { return kGridY + row * kCell + dy; }
    static int Cell(int col, int row) { return col + row * kColumns; }
};

} // namespace

TEST_F(TileGridTest, GridKeysAndLayerOrder) {
    TileGrid* grid = MakeGrid();
    EXPECT_EQ(grid->originX, 120);
    EXPECT_EQ(grid->originY, 12);
    EXPECT_EQ(grid->columns, 12);
    EXPECT_EQ(grid->rows, 10);
    EXPECT_EQ(grid->cellWidth, 24);
    EXPECT_EQ(grid->width, 288);
    EXPECT_EQ(grid->height, 240);
    EXPECT_EQ(grid->paletteColumns, 12);
    EXPECT_EQ(grid->layersLoaded, 1);
    EXPECT_EQ(grid->paletteLoaded, 1);
    const char* expected[] = {"background", "dimple", "hole", "mine", "generator", "wall", "special"};
    ASSERT_EQ(grid->layers.count, 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_STREQ(grid->layers.items[i]->name, expected[i]);
    EXPECT_EQ(grid->FindLayer("wall"), 5);
    EXPECT_EQ(grid->FindLayer("Wall"), -1); // exact names
    EXPECT_EQ(grid->editMode, kEditPaint);
}

TEST_F(TileGridTest, MissingGridKeysGiveAnEmptyGrid) {
    WriteText("setup.ini", "[layer]\nlayer01=wall\n");
    CreateGrid(".\\setup.ini");
    TileGrid* grid = g_tileGrid;
    EXPECT_EQ(grid->CellCount(), 0);
    EXPECT_EQ(grid->palette.count, 2); // only the checkerboard
    EXPECT_EQ(grid->CellAt(0, 0), -1);
    grid->Rebuild();
    EXPECT_EQ(grid->collisionSurface, nullptr);
    EXPECT_EQ(grid->SetCell(0, 0), 0);
}

TEST_F(TileGridTest, HostileGridKeysAreBounded) {
    WriteText("setup.ini", "[grid]\ngridx=-99999999999\ngridw=100000\ngridh=-5\nwallw=3000\nwallh=24\n");
    CreateGrid(".\\setup.ini");
    TileGrid* grid = g_tileGrid;
    EXPECT_EQ(grid->originX, -kMaxGridPixels);
    EXPECT_EQ(grid->rows, 0);
    EXPECT_EQ(grid->cellWidth, kMaxCellPixels);
    EXPECT_LE(grid->width, kMaxGridPixels);
    EXPECT_EQ(grid->columns, kMaxGridPixels / kMaxCellPixels);
}

TEST_F(TileGridTest, PaletteIsCutFromTheTileBitmap) {
    TileGrid* grid = MakeGrid();
    ASSERT_EQ(grid->palette.count, kPaletteSize);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(grid->palette.items[i], grid->checkerboard[i]);
        EXPECT_EQ(grid->checkerboard[i]->type, kTileCheckerboard);
        EXPECT_EQ(grid->checkerboard[i]->layer, 0);
        EXPECT_EQ(GetPixel(grid->checkerboard[i]->GetFirstFrame(), 3, 3), i == 0 ? 10 : 0x4000);
    }
    for (int i = 2; i < kPaletteSize; ++i) {
        const Tile* tile = grid->palette.items[i];
        char section[8];
        std::snprintf(section, sizeof section, "p%03d", i);
        EXPECT_STREQ(tile->section, section);
        EXPECT_EQ(tile->index, i);
        EXPECT_EQ(tile->frameWidth, 24);
        EXPECT_EQ(tile->frameHeight, 24);
    }
    // The cell's picture: the wall tile is solid wall colour, the ball tile keyed blue round its disc.
    IDirectDrawSurface* wall = grid->palette.items[kWallTile]->GetFirstFrame();
    EXPECT_EQ(GetPixel(wall, 0, 0), Pixel(wall, kWall));
    IDirectDrawSurface* ball = grid->palette.items[kBall0Tile]->GetFirstFrame();
    EXPECT_EQ(GetPixel(ball, 0, 0), 0x001F);
    EXPECT_EQ(GetPixel(ball, 12, 12), Pixel(ball, kBall0));
}

TEST_F(TileGridTest, TileAttributesByType) {
    TileGrid* grid = MakeGrid();
    const PtrArray<Tile>& p = grid->palette;
    EXPECT_EQ(p.items[kFloorTile]->layer, 0);
    EXPECT_EQ(p.items[kFloorTile]->type, kTilePlain);
    EXPECT_EQ(p.items[kGoal1Tile]->type, kTileGoal);
    EXPECT_EQ(p.items[kGoal1Tile]->colour, 1);
    EXPECT_EQ(p.items[kBall0Tile]->type, kTileBall);
    EXPECT_EQ(p.items[kBall0Tile]->colour, 0);
    EXPECT_EQ(p.items[kBall0Tile]->layer, grid->FindLayer("special"));
    EXPECT_EQ(p.items[kBall4Tile]->colour, 4);
    EXPECT_EQ(p.items[kHoleTile]->type, kTileHole);
    EXPECT_EQ(p.items[kHoleTile]->radius, 9); // 9.7 truncated
    EXPECT_EQ(p.items[kMineTile]->type, kTileMine);
    EXPECT_EQ(p.items[kMineTile]->radius, 10);

    const Tile* dimple = p.items[kDimpleTile];
    EXPECT_EQ(dimple->type, kTileDimple);
    EXPECT_EQ(dimple->size, 3);
    EXPECT_STREQ(dimple->specialFile, "dimple.bmp");
    EXPECT_EQ(dimple->radius, 36);
    ASSERT_NE(dimple->special, nullptr);
    EXPECT_FLOAT_EQ(static_cast<const Dimple*>(dimple->special)->force, 2.5f);
    EXPECT_EQ(dimple->special->frames->count, 9);
    EXPECT_EQ(dimple->special->size, 3);

    const Tile* generator = p.items[kGeneratorTile];
    EXPECT_EQ(generator->type, kTileGenerator);
    EXPECT_STREQ(generator->mask, "111101111");
    ASSERT_NE(generator->special, nullptr);
    EXPECT_EQ(static_cast<const Generator*>(generator->special)->rate, 2);
    EXPECT_STREQ(generator->special->mask, "111101111");

    // No section at all: the default layer of section "layer", plain, no special.
    const Tile* plain = p.items[kPlainTile];
    EXPECT_EQ(plain->layer, grid->FindLayer("wall"));
    EXPECT_EQ(plain->type, kTilePlain);
    EXPECT_EQ(plain->radius, 0);
    EXPECT_EQ(plain->special, nullptr);
    // A layer the grid does not have.
    EXPECT_EQ(p.items[kSpareTile]->layer, -1);
}

TEST_F(TileGridTest, DefaultsOfASpecialWithoutKeys) {
    WriteGameFolder(SetupIni() + "[p014]\ntype=generator\n[p017]\ntype=dimple\nsize=0\n");
    CreateGrid(".\\setup.ini");
    const Tile* generator = g_tileGrid->palette.items[kPlainTile];
    EXPECT_EQ(generator->size, 1);
    EXPECT_EQ(static_cast<const Generator*>(generator->special)->rate, 5);
    EXPECT_EQ(generator->special->frames->count, 0); // no file
    const Tile* dimple = g_tileGrid->palette.items[kSpareTile];
    EXPECT_EQ(dimple->size, 1); // a size below 1 would divide by 0 when drawn
    EXPECT_FLOAT_EQ(static_cast<const Dimple*>(dimple->special)->force, 1.0f);
}

TEST_F(TileGridTest, BallOrGoalWithoutColourShowsBadAttributesOnce) {
    setenv("HOST_RECORD", (Folder() / "record.txt").c_str(), 1);
    std::string ini = SetupIni();
    ini.replace(ini.find("type=ball\ncolor=1\n"), 18, "type=ball\n");
    ini.replace(ini.find("type=goal\ncolor=0\n"), 18, "type=goal\n");
    WriteGameFolder(ini);
    CreateGrid(".\\setup.ini");
    unsetenv("HOST_RECORD");
    EXPECT_EQ(g_tileGrid->palette.items[kBall1Tile]->colour, -1);
    EXPECT_EQ(g_tileGrid->palette.items[kGoal0Tile]->colour, -1);
    std::string record = ReadText((Folder() / "record.txt").string());
    EXPECT_EQ(record, "message Bad Attributes!: p003\nmessage Bad Attributes!: p007\n");
}

TEST_F(TileGridTest, PaletteFromSeparateFilesWithoutTileBitmap) {
    WriteBmp("a.bmp", 24, 24, [](int, int) { return kWall; });
    WriteBmp("b.bmp", 24, 24, [](int, int) { return kFloor; });
    WriteText("setup.ini", "[grid]\ngridw=2\ngridh=2\nwallw=24\nwallh=24\np001=a.bmp\np002=b.bmp\n"
                           "[p001]\ntype=ball\ncolor=0\n");
    CreateGrid(".\\setup.ini");
    TileGrid* grid = g_tileGrid;
    ASSERT_EQ(grid->palette.count, 4);
    Tile* a = grid->palette.items[2];
    EXPECT_STREQ(a->section, "p001"); // numbered from p001 on this route
    EXPECT_STREQ(a->file, "a.bmp");
    EXPECT_EQ(a->type, kTilePlain); // no attributes are read here
    EXPECT_EQ(a->layer, 0);
    EXPECT_EQ(GetPixel(a->GetFirstFrame(), 5, 5), Pixel(a->GetFirstFrame(), kWall));
}

TEST_F(TileGridTest, CellAtHasExclusiveRightAndBottomEdges) {
    TileGrid* grid = MakeGrid();
    EXPECT_EQ(grid->CellAt(120, 12), 0);
    EXPECT_EQ(grid->CellAt(143, 35), 0);
    EXPECT_EQ(grid->CellAt(144, 12), 1);
    EXPECT_EQ(grid->CellAt(120 + 287, 12 + 239), grid->CellCount() - 1);
    EXPECT_EQ(grid->CellAt(120 + 288, 12), -1);
    EXPECT_EQ(grid->CellAt(120, 12 + 240), -1);
    EXPECT_EQ(grid->CellAt(119, 12), -1);
    EXPECT_EQ(grid->CellAt(120, 11), -1);
    int x = 0, y = 0;
    grid->CellPosition(Cell(3, 2), x, y);
    EXPECT_EQ(x, 72);
    EXPECT_EQ(y, 48);
    EXPECT_EQ(grid->CellIndex(3, 2), 27);
}

TEST_F(TileGridTest, SetCellStoresATileInItsOwnLayer) {
    TileGrid* grid = MakeGrid();
    grid->SelectLayer("dimple");
    ASSERT_EQ(grid->SetCell(kWallTile, 5), 1);
    const int wall = grid->FindLayer("wall");
    EXPECT_EQ(grid->currentLayer, wall);
    EXPECT_EQ(grid->layers.items[wall]->cells.items[5], grid->palette.items[kWallTile]);
    EXPECT_EQ(grid->layers.items[grid->FindLayer("dimple")]->cells.items[5], nullptr);
    // The floor under it stays.
    EXPECT_EQ(grid->layers.items[0]->cells.items[5], grid->palette.items[kFloorTile]);
}

TEST_F(TileGridTest, CheckerboardEntriesClearTheCellDownToTheFloor) {
    TileGrid* grid = MakeGrid();
    const int cell = Cell(3, 1); // odd parity: (1 & 1) ^ (3 & 1) = 0
    grid->SetCell(kWallTile, cell);
    grid->SetCell(kBall0Tile, cell);
    grid->SetCell(kHoleTile, cell);
    ASSERT_EQ(grid->SetCell(1, cell), 1);
    for (int layer = 1; layer < grid->layers.count; ++layer)
        EXPECT_EQ(grid->layers.items[layer]->cells.items[cell], nullptr) << layer;
    EXPECT_EQ(grid->layers.items[0]->cells.items[cell], grid->checkerboard[0]); // parity, not the entry asked
    EXPECT_EQ(grid->currentLayer, 0);
    grid->SetCell(0, Cell(2, 1));
    EXPECT_EQ(grid->layers.items[0]->cells.items[Cell(2, 1)], grid->checkerboard[1]);
}

TEST_F(TileGridTest, SetCellRefusesIndicesAndCellsOutsideTheGrid) {
    TileGrid* grid = MakeGrid();
    const LevelFileData before = grid->ToLevelFile();
    EXPECT_EQ(grid->SetCell(-1, 0), 0);
    EXPECT_EQ(grid->SetCell(-7, 0), 0);
    EXPECT_EQ(grid->SetCell(kPaletteSize, 0), 0);
    EXPECT_EQ(grid->SetCell(kWallTile, -1), 0);
    EXPECT_EQ(grid->SetCell(kWallTile, grid->CellCount()), 0);
    EXPECT_EQ(grid->SetCell(0, grid->CellCount()), 0);
    const LevelFileData after = grid->ToLevelFile();
    ASSERT_EQ(before.layers.size(), after.layers.size());
    for (size_t i = 0; i < before.layers.size(); ++i)
        EXPECT_EQ(before.layers[i].cells, after.layers[i].cells);
}

TEST_F(TileGridTest, TileOfAMissingLayerGoesToTheLayerSelectedBefore) {
    TileGrid* grid = MakeGrid();
    grid->SelectLayer("hole");
    grid->SelectLayer("no such layer");
    EXPECT_EQ(grid->currentLayer, -1);
    ASSERT_EQ(grid->SetCell(kSpareTile, 7), 1);
    EXPECT_EQ(grid->layers.items[grid->FindLayer("hole")]->cells.items[7], grid->palette.items[kSpareTile]);
    grid->SelectLayerIndex(99); // refused
    EXPECT_EQ(grid->cells, &grid->layers.items[grid->FindLayer("hole")]->cells);
}

TEST_F(TileGridTest, FindsTilesInThePaletteAndInTheCurrentLayer) {
    TileGrid* grid = MakeGrid();
    EXPECT_EQ(grid->FindTile(kTileBall, 4), grid->palette.items[kBall4Tile]);
    EXPECT_EQ(grid->FindTile(kTileGoal, 3), nullptr);
    grid->SetCell(kBall1Tile, Cell(4, 3));
    grid->SetCell(kBall1Tile, Cell(1, 5));
    grid->SelectLayer("special");
    int cell = -1;
    EXPECT_EQ(grid->FindCellTile(kTileBall, 1, &cell), grid->palette.items[kBall1Tile]);
    EXPECT_EQ(cell, Cell(4, 3));
    int x = 0, y = 0;
    ASSERT_TRUE(grid->CellTilePosition(kTileBall, 1, x, y));
    EXPECT_EQ(x, 96);
    EXPECT_EQ(y, 72);
    EXPECT_FALSE(grid->CellTilePosition(kTileBall, 0, x, y));

    PtrArray<Tile> copies;
    grid->CollectCells(kTileBall, 1, copies);
    ASSERT_EQ(copies.count, 2);
    EXPECT_FLOAT_EQ(copies.items[1]->x, 24.0f);
    EXPECT_FLOAT_EQ(copies.items[1]->y, 120.0f);
    EXPECT_EQ(copies.items[1]->colour, 1);
    EXPECT_EQ(copies.items[1]->GetFirstFrame(), grid->palette.items[kBall1Tile]->GetFirstFrame());
    copies.DeleteAll();
    // The palette tile still owns its frames after its copies are gone.
    EXPECT_EQ(GetPixel(grid->palette.items[kBall1Tile]->GetFirstFrame(), 12, 12),
              Pixel(grid->palette.items[kBall1Tile]->GetFirstFrame(), kBall1));
}

TEST_F(TileGridTest, RebuildRendersTheCollisionMask) {
    TileGrid* grid = MakeGrid();
    grid->SetCell(kWallTile, Cell(0, 0));
    grid->SetCell(kHalfWallTile, Cell(1, 0));
    grid->SetCell(kGeneratorTile, Cell(5, 5));
    grid->SetCell(kBall0Tile, Cell(8, 8));
    grid->SetCell(kHoleTile, Cell(9, 8));
    grid->Rebuild();
    IDirectDrawSurface* mask = grid->collisionSurface;
    ASSERT_NE(mask, nullptr);
    int w = 0, h = 0;
    GetSurfaceSize(mask, &w, &h);
    EXPECT_EQ(w, 288);
    EXPECT_EQ(h, 240);
    EXPECT_NE(GetPixel(mask, 5, 5), 0x001F);       // wall
    EXPECT_NE(GetPixel(mask, 24 + 3, 5), 0x001F);  // left half of the half wall
    EXPECT_EQ(GetPixel(mask, 24 + 20, 5), 0x001F); // its blue half stays passable
    EXPECT_EQ(GetPixel(mask, 50, 50), 0x001F);     // floor is not solid
    // The generator's ring is solid round its cell; the masked centre is not.
    EXPECT_EQ(GetPixel(mask, 4 * 24 + 12, 4 * 24 + 12), Pixel(mask, kRing));
    EXPECT_EQ(GetPixel(mask, 6 * 24 + 12, 6 * 24 + 12), Pixel(mask, kRing));
    EXPECT_EQ(GetPixel(mask, 5 * 24 + 12, 5 * 24 + 12), 0x001F);
    // Balls and holes are not walls.
    EXPECT_EQ(GetPixel(mask, 8 * 24 + 12, 8 * 24 + 12), 0x001F);
    EXPECT_EQ(GetPixel(mask, 9 * 24 + 12, 8 * 24 + 12), 0x001F);
}

TEST_F(TileGridTest, RebuildRendersTheWallPicture) {
    TileGrid* grid = MakeGrid();
    grid->SetCell(kWallTile, Cell(0, 0));
    grid->SetCell(kDimpleTile, Cell(5, 5));
    grid->SetCell(kBall0Tile, Cell(8, 8));
    grid->SetCell(kHoleTile, Cell(9, 8));
    grid->SetCell(0, Cell(11, 9)); // a checkerboard cell
    grid->Rebuild();
    IDirectDrawSurface* walls = grid->wallSurface;
    ASSERT_NE(walls, nullptr);
    EXPECT_EQ(GetPixel(walls, 5, 5), Pixel(walls, kWall));
    EXPECT_EQ(GetPixel(walls, 30, 30), Pixel(walls, kFloor));
    // The dimple's 3 x 3 block is in the picture.
    EXPECT_EQ(GetPixel(walls, 5 * 24 + 12, 4 * 24 + 14), RGBToPixel(walls, 70, 140, 70));
    // The hole layer lies below "wall": drawn; balls ("special") lie above: not drawn.
    EXPECT_EQ(GetPixel(walls, 9 * 24 + 12, 8 * 24 + 12), Pixel(walls, kHole));
    EXPECT_EQ(GetPixel(walls, 8 * 24 + 12, 8 * 24 + 12), Pixel(walls, kFloor));
    // The checkerboard never enters the picture.
    EXPECT_EQ(GetPixel(walls, 11 * 24 + 12, 9 * 24 + 12), 0x001F);
}

TEST_F(TileGridTest, RebuildKeepsItsSurfacesSoBallsCanHoldThem) {
    TileGrid* grid = MakeGrid();
    grid->Rebuild();
    IDirectDrawSurface* mask = grid->collisionSurface;
    IDirectDrawSurface* walls = grid->wallSurface;
    grid->SetCell(kWallTile, 0);
    grid->Rebuild();
    EXPECT_EQ(grid->collisionSurface, mask);
    EXPECT_EQ(grid->wallSurface, walls);
    EXPECT_NE(GetPixel(mask, 1, 1), 0x001F);
    grid->SetCell(kFloorTile + 0, 0);
    grid->SelectLayer("wall");
    grid->cells->items[0] = nullptr;
    grid->Rebuild();
    EXPECT_EQ(GetPixel(mask, 1, 1), 0x001F); // refilled, not drawn over
}

TEST_F(TileGridTest, RebuildLeavesNothingOnTheScreenUpdater) {
    TileGrid* grid = MakeGrid();
    grid->SetCell(kWallTile, 0);
    g_screenUpdater.PurgeOneShot();
    grid->Rebuild();
    EXPECT_EQ(g_screenUpdater.lists[0].count + g_screenUpdater.lists[1].count, 0);
    // Drawing on the screen reports again afterwards.
    grid->DrawCell(Background(), grid->palette.items[kWallTile], 0, 1);
    EXPECT_GT(g_screenUpdater.lists[0].count + g_screenUpdater.lists[1].count, 0);
}

TEST_F(TileGridTest, RebuildMakesTheSpecialLists) {
    TileGrid* grid = MakeGrid();
    grid->SetCell(kDimpleTile, Cell(2, 3));
    grid->SetCell(kHoleTile, Cell(4, 1));
    grid->SetCell(kHoleTile, Cell(6, 1));
    grid->SetCell(kMineTile, Cell(7, 7));
    grid->SetCell(kGeneratorTile, Cell(10, 2));
    grid->SetCell(kHoleTile, Cell(0, 0));
    grid->SelectLayer("hole");
    grid->cells->items[0] = grid->palette.items[kMineTile]; // a mine tile in the hole layer: not a hole
    grid->Rebuild();
    ASSERT_EQ(grid->dimples.count, 1);
    EXPECT_EQ(grid->dimples.items[0]->x, 2 * 24 + 12);
    EXPECT_EQ(grid->dimples.items[0]->y, 3 * 24 + 12);
    EXPECT_EQ(grid->dimples.items[0]->radius, 36);
    EXPECT_FLOAT_EQ(grid->dimples.items[0]->force, 2.5f);
    ASSERT_EQ(grid->holes.count, 2);
    EXPECT_EQ(grid->holes.items[1]->x, 6 * 24 + 12);
    EXPECT_EQ(grid->holes.items[1]->radius, 9);
    ASSERT_EQ(grid->mines.count, 1);
    EXPECT_EQ(grid->mines.items[0]->y, 7 * 24 + 12);
    ASSERT_EQ(grid->generators.count, 1);
    EXPECT_EQ(grid->generators.items[0]->rate, 2);
    EXPECT_EQ(grid->generators.items[0]->phase, 0);
    EXPECT_EQ(grid->generators.items[0]->phaseTime, 0);
}

TEST_F(TileGridTest, SpecialBlockIsCentredAndClippedToTheGrid) {
    TileGrid* grid = MakeGrid();
    grid->SetEditMode(kEditPlay);
    IDirectDrawSurface* screen = Background();
    const int before = GetPixel(screen, kGridX - 12, kGridY + 12);
    grid->DrawCell(screen, grid->palette.items[kGeneratorTile], 0, 1);
    // Frames right and below the corner cell are drawn; the centre frame is masked out.
    EXPECT_EQ(GetPixel(screen, ScreenX(1), ScreenY(0)), Pixel(screen, kRing));
    EXPECT_EQ(GetPixel(screen, ScreenX(1), ScreenY(1)), Pixel(screen, kRing));
    EXPECT_NE(GetPixel(screen, ScreenX(0), ScreenY(0)), Pixel(screen, kSpot));
    // Frames whose corner lies left of the grid are skipped.
    EXPECT_EQ(GetPixel(screen, kGridX - 12, kGridY + 12), before);
    EXPECT_FLOAT_EQ(grid->palette.items[kGeneratorTile]->x, 0.0f);
    // In the editor the tile's own icon is drawn over its block.
    grid->SetEditMode(kEditPaint);
    grid->DrawCell(screen, grid->palette.items[kGeneratorTile], Cell(5, 5), 1);
    EXPECT_EQ(GetPixel(screen, ScreenX(5), ScreenY(5)), Pixel(screen, kGeneratorIcon));
}

TEST_F(TileGridTest, EmptyMaskDrawsEveryFrame) {
    std::string ini = SetupIni();
    ini.replace(ini.find("wall=111101111\n"), 15, "");
    WriteGameFolder(ini);
    CreateGrid(".\\setup.ini");
    g_tileGrid->SetEditMode(kEditPlay);
    IDirectDrawSurface* screen = Background();
    g_tileGrid->DrawCell(screen, g_tileGrid->palette.items[kGeneratorTile], Cell(5, 5), 1);
    EXPECT_EQ(GetPixel(screen, ScreenX(5), ScreenY(5)), Pixel(screen, kSpot));
}

TEST_F(TileGridTest, BlitWallsPutsThePictureAtTheOrigin) {
    TileGrid* grid = MakeGrid();
    grid->SetCell(kWallTile, Cell(2, 2));
    grid->Rebuild();
    grid->BlitWalls(Background());
    EXPECT_EQ(GetPixel(Background(), ScreenX(2), ScreenY(2)), Pixel(Background(), kWall));
    EXPECT_EQ(GetPixel(Background(), ScreenX(3), ScreenY(2)), Pixel(Background(), kFloor));
    EXPECT_EQ(GetPixel(Background(), kGridX - 1, kGridY), RGBToPixel(Background(), 10, 20, 30));
}

TEST_F(TileGridTest, ClearCellAndRedrawRemovesAMine) {
    TileGrid* grid = MakeGrid();
    const int cell = Cell(4, 4);
    grid->SetCell(kMineTile, cell);
    grid->Rebuild();
    grid->BlitWalls(Background());
    ASSERT_EQ(GetPixel(Background(), ScreenX(4), ScreenY(4)), Pixel(Background(), kMine));
    grid->SelectLayer("hole");
    grid->ClearCellAndRedraw(Background(), "mine", cell);
    EXPECT_EQ(grid->layers.items[grid->FindLayer("mine")]->cells.items[cell], nullptr);
    EXPECT_EQ(grid->currentLayer, grid->FindLayer("hole"));
    EXPECT_EQ(GetPixel(Background(), ScreenX(4), ScreenY(4)), Pixel(Background(), kFloor));
}

TEST_F(TileGridTest, ClearedCellWithoutFloorShowsTheCleanBackground) {
    TileGrid* grid = MakeGrid();
    const int cell = Cell(4, 4);
    grid->SetCell(kMineTile, cell);
    grid->layers.items[0]->cells.items[cell] = nullptr; // no floor under the mine
    grid->Rebuild();
    grid->BlitWalls(Background());
    grid->ClearCellAndRedraw(Background(), "mine", cell);
    EXPECT_EQ(GetPixel(Background(), ScreenX(4), ScreenY(4)), RGBToPixel(Background(), 10, 20, 30));
}

TEST_F(TileGridTest, ReloadGridRestoresThePlayfieldOrCreatesTheGrid) {
    WriteGameFolder();
    ASSERT_EQ(g_tileGrid, nullptr);
    ReloadGrid();
    ASSERT_NE(g_tileGrid, nullptr);
    TileGrid* grid = g_tileGrid;
    FillSurfaceRGB(Background(), 1, 2, 3);
    ReloadGrid();
    EXPECT_EQ(g_tileGrid, grid);
    EXPECT_EQ(GetPixel(Background(), 110, 0), RGBToPixel(Background(), 10, 20, 30));
    EXPECT_EQ(GetPixel(Background(), 799, 599), RGBToPixel(Background(), 10, 20, 30));
    EXPECT_EQ(GetPixel(Background(), 109, 300), RGBToPixel(Background(), 1, 2, 3)); // the panel stays
}

TEST_F(TileGridTest, ClearLayersEmptiesEveryCellButKeepsThePalette) {
    TileGrid* grid = MakeGrid();
    grid->SetCell(kWallTile, 3);
    grid->ClearLayers();
    for (int layer = 0; layer < grid->layers.count; ++layer)
        for (int cell = 0; cell < grid->CellCount(); ++cell)
            EXPECT_EQ(grid->layers.items[layer]->cells.items[cell], nullptr);
    EXPECT_EQ(grid->palette.count, kPaletteSize);
}
