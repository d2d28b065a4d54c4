// Running the real menu end to end: each test gets a menu folder (its name holds a blank) with a copy of
// the lobbit program, small art of known colours for every picture the menu loads, and game folders,
// each with its grid picture, title pictures and a stand-in game program. The menu runs headless with an
// input script; the tests read what it captured, recorded and left on disk.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/bmp.h"
#include "tests/support/files.h"
#include "tests/support/program_runner.h"
#include "tests/support/temp_folder.h"

namespace lobbit_e2e {

using testsupport::ReadBytes;
using testsupport::ReadText;
using testsupport::Rgb;
using testsupport::Same565;
using testsupport::WriteBytes;
using testsupport::WriteText;
// A captured 24-bit picture.
using Capture = testsupport::Picture;

// The colours of the fixture's art.
namespace colours {
constexpr Rgb kGridBackground{40, 40, 64};
constexpr Rgb kGamePicture{0, 160, 0};
constexpr Rgb kCollect{200, 120, 0};
constexpr Rgb kTitleBackground{96, 32, 32};
constexpr Rgb kCredits{32, 96, 96};
constexpr Rgb kHallScreen{224, 224, 200};
constexpr Rgb kPlayerScreen{200, 224, 224};
constexpr Rgb kNormalFont{248, 248, 0};
constexpr Rgb kHighlightFont{248, 0, 248};
constexpr Rgb kHallFontA{0, 0, 0};
constexpr Rgb kHallFontB{128, 0, 128};
} // namespace colours

// Centres of the controls the scripts click.
struct Point {
    int x, y;
};
Point GridSlot(int slot); // slot 0..11
constexpr Point kRightArrow{762, 43};
constexpr Point kPlay{692, 324};
constexpr Point kMenu{692, 393};
constexpr Point kHighScores{108, 393};
constexpr Point kCredits{108, 463};
constexpr Point kExit{692, 463};
constexpr Point kPlayers{400, 342};
constexpr Point kSfx{76, 529};
constexpr Point kMusic{130, 529};
// In the popups, on screen (the popups stand at (53, 18)).
constexpr Point kUpload{53 + 552 + 64, 18 + 88 + 24};
constexpr Point kClear{53 + 552 + 64, 18 + 149 + 24};
constexpr Point kHallBack{53 + 595 + 42, 18 + 220 + 20};
constexpr Point kEnter{53 + 474 + 52, 18 + 471 + 20};
constexpr Point kYesNo{53 + 37 + 32, 18 + 486 + 16};
// Player fields on the title page (player 0..7).
Point PlayerField(int player);

// Script lines: a click (down, then up three frames later) at frame.
std::string Click(int frame, Point at);

class MenuTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A game folder name with the grid picture, title pictures and a stand-in program.
    void AddGame(const std::string& name);
    // Runs the menu in its folder with the script until it ends (HOST_MAX_FRAMES closes it at the
    // latest), with arguments as its command line. Returns the exit status, -1 when it did not end
    // normally.
    int RunMenu(const std::string& script, int maxFrames, const std::vector<std::string>& arguments = {});
    // The menu's run in its folder with HOST_RECORD=record.txt and the given HOST_ settings, its output
    // going to program.log.
    testsupport::ProgramRun MenuRun(const std::vector<std::string>& settings,
                                    const std::vector<std::string>& arguments) const;

    Capture Captured(const std::string& name) const;
    std::vector<std::string> RecordLines() const;
    std::string ProgramOutput() const;

    std::unique_ptr<testsupport::TempFolder> folder_;
    std::filesystem::path menuFolder_; // folder_'s path; holds a blank
};

} // namespace lobbit_e2e
