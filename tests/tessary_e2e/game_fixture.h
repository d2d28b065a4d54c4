// Running the real game end to end: each test gets a menu folder (its name holds a blank) with a copy of
// the package's game folder in it, over which the test writes small art, a setup.ini and level files of
// its own, so what the checks look for is known exactly. The program runs headless with an input
// script; the tests read what it captured, recorded and left on disk.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/bmp.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tessary_e2e {

using testsupport::Rgb;
using testsupport::Same565;
// A captured 24-bit picture.
using Capture = testsupport::Picture;

// The fixture's art: the colours the checks look for.
namespace colours {
constexpr Rgb kBackground{64, 64, 64};
constexpr Rgb kFloor{80, 80, 80};
constexpr Rgb kWall{200, 200, 200};
constexpr Rgb kOutOfTime{248, 0, 248};
constexpr Rgb kHallOfFame{0, 248, 248};
// Balls by colour 0-3 (blue, red, green, yellow), and the goal squares.
constexpr Rgb kBall[4] = {{40, 40, 200}, {200, 40, 40}, {40, 200, 40}, {200, 200, 40}};
constexpr Rgb kGoal[4] = {{16, 16, 120}, {120, 16, 16}, {16, 120, 16}, {120, 120, 16}};
// Digit n of the score font.
Rgb Digit(int n);
} // namespace colours

// The fixture's grid: 28 x 25 cells of 24 pixels from (110, 0); the balls wait on row 12, one in each
// of four compartments of 7 columns (ball in column 1, goal in column 4, wall in column 6).
constexpr int kGridX = 110;
constexpr int kCell = 24;
constexpr int kColumns = 28;
constexpr int kRows = 25;
constexpr int kBallRow = 12;
// Palette indexes of the fixture's tiles.
constexpr int kFloorTile = 2;
constexpr int kFirstGoalTile = 3;
constexpr int kWallTile = 7;
constexpr int kFirstBallTile = 8;
// The level file's layers, in the grid's order.
extern const char* const kLayerNames[7];

// Screen centre of a grid cell.
int CellCentreX(int column);
int CellCentreY(int row);
// The ball of colour k starts in column 7k + 1 of kBallRow and its goal lies in column 7k + 4.
int BallColumn(int colour);
int GoalColumn(int colour);

// A level file's layers, each kColumns x kRows palette indexes (-1 empty).
using LevelLayers = std::vector<std::vector<int32_t>>;
LevelLayers CorridorLevel();
std::vector<uint8_t> LevelBytes(const LevelLayers& layers);
// Reads a level file back; empty when it is not in the format.
LevelLayers ReadLevel(const std::filesystem::path& file);

class GameTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the game in its folder with the script until it ends (HOST_MAX_FRAMES closes it at the
    // latest). withMenuFolder: the menu folder is its command line (one argument). machine: the text of
    // a HOST_MACHINE file, or empty for the default machine. Returns the exit status, -1 when it did
    // not end normally.
    int RunGame(const std::string& script, int maxFrames, bool withMenuFolder = true,
                const std::string& machine = "");

    Capture Captured(const std::string& name) const;
    bool CaptureExists(const std::string& name) const;
    std::vector<std::string> RecordLines() const;
    std::string ProgramOutput() const;
    // The score's or best score's seven digits as the panel shows them ("" when a digit is unreadable).
    static std::string PanelNumber(const Capture& picture, int lastDigitX, int y, int digits);

    std::unique_ptr<testsupport::TempFolder> folder_;
    std::filesystem::path menuFolder_; // folder_'s path; holds a blank
    std::filesystem::path gameFolder_; // menuFolder_/Tessary
};

} // namespace tessary_e2e
