// The level editor on its keys: pick a tile in the palette view, paint a cell, save the level through
// the (scripted) file dialog, and load it back to play it.
#include "game_fixture.h"

namespace tessary_e2e {
namespace {

constexpr int kPaintColumn = 3;
constexpr int kPaintRow = 5;

class LevelEditorE2E : public GameTest {};

TEST_F(LevelEditorE2E, PaintSaveAndLoadBack) {
    const int paintX = CellCentreX(kPaintColumn), paintY = CellCentreY(kPaintRow);
    const std::string script =
        // F2: palette view; the wall sits on cell 7 of the palette laid over the grid.
        "10 key F2\n20 move " + std::to_string(CellCentreX(kWallTile)) + " " +
        std::to_string(CellCentreY(0)) +
        "\n21 down left\n24 up left\n"
        // Paint it into one cell.
        "30 move " +
        std::to_string(paintX) + " " + std::to_string(paintY) +
        "\n31 down left\n34 up left\n"
        "40 capture painted.bmp\n"
        // F3: save; F4: play the numbered level again (the paint is gone); F5: load the saved one.
        "45 dialog Levels/edited.lev\n50 key F3\n"
        "60 key F4\n70 capture replayed.bmp\n"
        "75 dialog Levels/edited.lev\n80 key F5\n90 capture loaded.bmp\n"
        // "new" plays the loaded level, not the numbered file.
        "95 move 82 500\n96 down left\n99 up left\n110 capture played.bmp\n";
    ASSERT_EQ(RunGame(script, 130), 0) << ProgramOutput();

    EXPECT_TRUE(Same565(Captured("painted.bmp").At(paintX, paintY), colours::kWall));
    EXPECT_TRUE(Same565(Captured("replayed.bmp").At(paintX, paintY), colours::kFloor));
    const Capture loaded = Captured("loaded.bmp");
    EXPECT_TRUE(Same565(loaded.At(paintX, paintY), colours::kWall));
    EXPECT_EQ(PanelNumber(loaded, 54, 278, 2), "01");
    // Loaded for play: the balls are back in their places.
    EXPECT_TRUE(Same565(loaded.At(CellCentreX(BallColumn(2)), CellCentreY(kBallRow)), colours::kBall[2]));

    EXPECT_TRUE(Same565(Captured("played.bmp").At(paintX, paintY), colours::kWall));

    // The saved file is level 1 with the one wall more, byte for byte.
    LevelLayers expected = CorridorLevel();
    expected[5][size_t(kPaintRow * kColumns + kPaintColumn)] = kWallTile;
    EXPECT_EQ(ReadLevel(gameFolder_ / "Levels" / "edited.lev"), expected);
    const std::string folder = gameFolder_.string();
    const std::vector<std::string> lines = RecordLines();
    const std::vector<std::string> dialogs{"dialog save Save Level " + folder,
                                           "dialog open Load Level " + folder};
    EXPECT_EQ(lines, dialogs);
}

} // namespace
} // namespace tessary_e2e
