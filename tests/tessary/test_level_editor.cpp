// The level editor: mouse input in palette view and paint mode, its drawing, and the window commands
// with a scripted file chooser and level start.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game_test_support.h"
#include "host/win/folders.h"
#include "tessary/model/level_editor.h"

using namespace gametest;

namespace {

constexpr int kLeft = 1;
constexpr int kRight = 2;

class EditorTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        grid_ = MakeGrid();
        grid_->SetEditMode(kEditPlay);
    }

    static int X(int col) { return kGridX + col * kCell + 5; }
    static int Y(int row) { return kGridY + row * kCell + 5; }
    static int Cell(int col, int row) { return col + row * kColumns; }

    // A press at (x, y) and its release.
    void Click(int x, int y, int button) {
        grid_->EditorInput(x, y, button);
        grid_->EditorInput(x, y, 0);
    }

    Tile* At(const char* layer, int cell) const {
        return grid_->layers.items[grid_->FindLayer(layer)]->cells.items[cell];
    }

    TileGrid* grid_ = nullptr;
};

// What the hooks saw.
struct HookLog {
    std::vector<std::string> titles;
    std::vector<std::string> prefills;
    std::vector<bool> starts;
    std::vector<int> modesAtStart;
};

} // namespace

TEST_F(EditorTest, RightPressTogglesTheMode) {
    grid_->EditorInput(0, 0, kRight);
    EXPECT_EQ(grid_->GetEditMode(), kEditPalette); // 0 -> 1
    grid_->EditorInput(0, 0, kRight);
    EXPECT_EQ(grid_->GetEditMode(), kEditPalette); // held: no new press
    grid_->EditorInput(0, 0, 0);
    Click(0, 0, kRight);
    EXPECT_EQ(grid_->GetEditMode(), kEditPaint);
    Click(0, 0, kRight);
    EXPECT_EQ(grid_->GetEditMode(), kEditPalette);
}

TEST_F(EditorTest, PaletteIsLaidOutInRowsOfTheGridWidth) {
    ASSERT_EQ(grid_->palette.count, 18); // one full row of 12 and 6 more
    EXPECT_EQ(grid_->PaletteEntryAt(0), 0);
    EXPECT_EQ(grid_->PaletteEntryAt(11), 11);
    EXPECT_EQ(grid_->PaletteEntryAt(Cell(0, 1)), 12);
    EXPECT_EQ(grid_->PaletteEntryAt(Cell(5, 1)), 17);
    EXPECT_EQ(grid_->PaletteEntryAt(Cell(6, 1)), -1);
    EXPECT_EQ(grid_->PaletteEntryAt(Cell(0, 2)), -1);
    EXPECT_EQ(grid_->PaletteEntryAt(-1), -1);
}

TEST_F(EditorTest, PickingAPaletteEntrySelectsItWithoutPainting) {
    grid_->SetEditMode(kEditPalette);
    Click(X(kWallTile), Y(0), kLeft);
    EXPECT_EQ(grid_->selectedTile, kWallTile);
    EXPECT_EQ(grid_->GetEditMode(), kEditPaint);
    EXPECT_EQ(At("wall", kWallTile), nullptr);
}

TEST_F(EditorTest, PickingOffThePaletteSelectsEntryZero) {
    grid_->selectedTile = kWallTile;
    grid_->SetEditMode(kEditPalette);
    Click(X(9), Y(5), kLeft); // a cell with no entry
    EXPECT_EQ(grid_->selectedTile, 0);
    EXPECT_EQ(grid_->GetEditMode(), kEditPaint);
    // The next paint is harmless: entry 0 lays the floor checkerboard.
    Click(X(3), Y(3), kLeft);
    EXPECT_EQ(grid_->layers.items[0]->cells.items[Cell(3, 3)], grid_->checkerboard[0]);
}

TEST_F(EditorTest, PaletteClickOutsideTheGridDoesNothing) {
    grid_->selectedTile = kWallTile;
    grid_->SetEditMode(kEditPalette);
    Click(10, 10, kLeft);
    Click(kGridX + kColumns * kCell, kGridY, kLeft); // just past the right edge
    EXPECT_EQ(grid_->selectedTile, kWallTile);
    EXPECT_EQ(grid_->GetEditMode(), kEditPalette);
}

TEST_F(EditorTest, PaintModePaintsOneCellPerClick) {
    grid_->SetEditMode(kEditPaint);
    grid_->selectedTile = kWallTile;
    grid_->EditorInput(X(2), Y(2), kLeft);
    EXPECT_EQ(At("wall", Cell(2, 2)), grid_->palette.items[kWallTile]);
    // Dragging with the button held paints nothing more; the hover cell follows.
    grid_->EditorInput(X(3), Y(2), kLeft);
    EXPECT_EQ(At("wall", Cell(3, 2)), nullptr);
    EXPECT_EQ(grid_->hoverCell, Cell(3, 2));
    grid_->EditorInput(X(4), Y(2), 0);
    EXPECT_EQ(grid_->hoverCell, Cell(4, 2));
    grid_->EditorInput(5, 5, 0);
    EXPECT_EQ(grid_->hoverCell, -1);
    // A press outside the grid paints nothing.
    grid_->EditorInput(5, 5, kLeft);
    EXPECT_EQ(grid_->hoverCell, -1);
}

TEST_F(EditorTest, CheckerboardEntriesEraseToTheFloor) {
    grid_->SetCell(kWallTile, Cell(4, 4));
    grid_->SetCell(kBall0Tile, Cell(4, 4));
    grid_->SetEditMode(kEditPalette);
    Click(X(1), Y(0), kLeft); // entry 1
    EXPECT_EQ(grid_->selectedTile, 1);
    Click(X(4), Y(4), kLeft);
    EXPECT_EQ(At("wall", Cell(4, 4)), nullptr);
    EXPECT_EQ(At("special", Cell(4, 4)), nullptr);
    EXPECT_EQ(grid_->layers.items[0]->cells.items[Cell(4, 4)], grid_->checkerboard[0]);
}

TEST_F(EditorTest, DrawShowsThePaletteOrTheSelectedTile) {
    IDirectDrawSurface* screen = Background();
    grid_->SetEditMode(kEditPalette);
    grid_->EditorDraw(screen);
    EXPECT_EQ(GetPixel(screen, X(kWallTile), Y(0)), RGBToPixel(screen, kWall.r, kWall.g, kWall.b));
    EXPECT_EQ(GetPixel(screen, X(9), Y(5)), RGBToPixel(screen, kFloor.r, kFloor.g, kFloor.b)); // no entry
    grid_->SetEditMode(kEditPaint);
    grid_->selectedTile = kWallTile;
    grid_->hoverCell = Cell(9, 5);
    grid_->EditorDraw(screen);
    EXPECT_EQ(GetPixel(screen, X(9), Y(5)), RGBToPixel(screen, kWall.r, kWall.g, kWall.b));
    EXPECT_EQ(At("wall", Cell(9, 5)), nullptr); // drawn, not painted
}

class EditorCommandTest : public EditorTest {
  protected:
    EditorCommandHooks Hooks(HookLog& log, const std::string& answer, const std::string& moveTo = "") {
        EditorCommandHooks hooks;
        hooks.chooseLevelFile = [&log, answer, moveTo](char* buffer, const char* title) {
            log.titles.push_back(title);
            log.prefills.push_back(buffer);
            if (!moveTo.empty()) SetCurrentDirectoryA(moveTo.c_str()); // a chooser that moves the folder
            if (answer.empty()) return 0;
            std::snprintf(buffer, kLevelPathSize, "%s", answer.c_str());
            return 1;
        };
        hooks.startLevel = [&log](bool levelLoaded) {
            log.starts.push_back(levelLoaded);
            log.modesAtStart.push_back(g_tileGrid ? g_tileGrid->GetEditMode() : -1);
            if (g_tileGrid) g_tileGrid->SetEditMode(kEditPlay); // as the game's level start does
        };
        return hooks;
    }
};

TEST_F(EditorCommandTest, PaletteViewAndUnusedCommands) {
    HookLog log;
    EXPECT_EQ(HandleEditorCommand(kCommandPaletteView, Hooks(log, "")), 1);
    EXPECT_EQ(grid_->GetEditMode(), kEditPalette);
    for (int id : {40005, 40006, 40007}) {
        EXPECT_EQ(HandleEditorCommand(id, Hooks(log, "")), 1);
        EXPECT_EQ(grid_->GetEditMode(), kEditPalette);
    }
    EXPECT_EQ(HandleEditorCommand(40009, Hooks(log, "")), 0);
    EXPECT_EQ(HandleEditorCommand(40000, Hooks(log, "")), 0);
    EXPECT_TRUE(log.titles.empty());
    EXPECT_TRUE(log.starts.empty());
    DeleteGrid();
    EXPECT_EQ(HandleEditorCommand(kCommandPaletteView, Hooks(log, "")), 0);
}

TEST_F(EditorCommandTest, SaveLevelWritesTheChosenFileAndKeepsTheFolder) {
    std::filesystem::create_directory("sub");
    grid_->SetCell(kWallTile, 5);
    HookLog log;
    const std::filesystem::path folder = std::filesystem::current_path();
    EXPECT_EQ(HandleEditorCommand(kCommandSaveLevel, Hooks(log, "saved.lev", "sub")), 1);
    ASSERT_EQ(log.titles, std::vector<std::string>{"Save Level"});
    EXPECT_EQ(log.prefills, std::vector<std::string>{"*.lev"});
    EXPECT_EQ(std::filesystem::current_path(), folder);
    EXPECT_TRUE(log.starts.empty());
    // Saved where the chooser pointed (relative to the folder it moved to).
    ASSERT_TRUE(std::filesystem::exists("sub/saved.lev"));
    EXPECT_EQ(ReadBytes("sub/saved.lev"), SerializeLevelFile(grid_->ToLevelFile()));
}

TEST_F(EditorCommandTest, CancelledSaveWritesNothing) {
    HookLog log;
    EXPECT_EQ(HandleEditorCommand(kCommandSaveLevel, Hooks(log, "")), 1);
    EXPECT_EQ(log.titles.size(), 1u);
    for (const auto& entry : std::filesystem::directory_iterator("."))
        EXPECT_NE(entry.path().extension(), ".lev");
}

TEST_F(EditorCommandTest, PlayRebuildsAndStartsTheNumberedLevel) {
    grid_->SetEditMode(kEditPaint);
    grid_->SetCell(kHoleTile, 5);
    HookLog log;
    EXPECT_EQ(HandleEditorCommand(kCommandPlayEdited, Hooks(log, "")), 1);
    EXPECT_EQ(grid_->holes.count, 1);
    EXPECT_EQ(log.starts, std::vector<bool>{false});
    EXPECT_EQ(log.modesAtStart, std::vector<int>{kEditPlay});
}

TEST_F(EditorCommandTest, LoadLevelPlaysTheChosenFile) {
    std::filesystem::create_directory("sub");
    grid_->SetCell(kWallTile, 7);
    ASSERT_EQ(grid_->SaveLevel("sub\\chosen.lev"), 1);
    grid_->ClearLayers();
    grid_->SetEditMode(kEditPaint);
    FillSurfaceRGB(Background(), 1, 2, 3);
    HookLog log;
    const std::filesystem::path folder = std::filesystem::current_path();
    EXPECT_EQ(HandleEditorCommand(kCommandLoadLevel, Hooks(log, "sub\\chosen.lev", "sub")), 1);
    EXPECT_EQ(log.titles, std::vector<std::string>{"Load Level"});
    EXPECT_EQ(std::filesystem::current_path(), folder);
    EXPECT_EQ(At("wall", 7), grid_->palette.items[kWallTile]);
    EXPECT_EQ(log.starts, std::vector<bool>{true}); // the start keeps the loaded cells
    EXPECT_EQ(grid_->GetEditMode(), kEditPlay);
    // The playfield of the background was restored for the new walls.
    EXPECT_EQ(GetPixel(Background(), 400, 300), RGBToPixel(Background(), 10, 20, 30));
}

TEST_F(EditorCommandTest, LoadLevelOfABadFileKeepsTheLevel) {
    setenv("HOST_RECORD", (Folder() / "record.txt").c_str(), 1);
    WriteText("bad.lev", "not a level");
    grid_->SetCell(kWallTile, 7);
    grid_->SetEditMode(kEditPaint);
    const LevelFileData before = grid_->ToLevelFile();
    HookLog log;
    EXPECT_EQ(HandleEditorCommand(kCommandLoadLevel, Hooks(log, "bad.lev")), 1);
    unsetenv("HOST_RECORD");
    EXPECT_TRUE(log.starts.empty());
    EXPECT_EQ(grid_->GetEditMode(), kEditPaint);
    EXPECT_EQ(SerializeLevelFile(before), SerializeLevelFile(grid_->ToLevelFile()));
    const std::string record = ReadText(Folder() / "record.txt");
    EXPECT_EQ(record.rfind("message Can't load file...: bad.lev: ", 0), 0u) << record;
}

TEST_F(EditorCommandTest, ReloadSetsPaintModeBeforeTheLevelStart) {
    HookLog log;
    EXPECT_EQ(HandleEditorCommand(kCommandReloadPaint, Hooks(log, "")), 1);
    EXPECT_EQ(log.starts, std::vector<bool>{false});
    EXPECT_EQ(log.modesAtStart, std::vector<int>{kEditPaint});
    EXPECT_EQ(grid_->GetEditMode(), kEditPlay); // the level start puts play mode back
}
