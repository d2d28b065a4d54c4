// The program around the game: start, leaving to the menu, ending, and a refused start.
#include "game_fixture.h"

namespace tessary_e2e {
namespace {

// A click of the panel button whose top-left is (x, y) (buttons are 50 x 45).
std::string ClickButton(int x, int y) {
    return "10 move " + std::to_string(x + 25) + " " + std::to_string(y + 22) +
           "\n11 down left\n14 up left\n";
}

const std::string kMenuButton = ClickButton(4, 478);
const std::string kExitButton = ClickButton(57, 526);

class GameProgramE2E : public GameTest {
  protected:
    std::vector<std::string> StartLines() const {
        std::vector<std::string> starts;
        for (const std::string& line : RecordLines())
            if (line.rfind("start ", 0) == 0) starts.push_back(line);
        return starts;
    }
};

TEST_F(GameProgramE2E, MenuButtonStartsTheMenuInItsFolderAndEnds) {
    ASSERT_EQ(RunGame("5 capture start.bmp\n" + kMenuButton + "100 capture late.bmp\n", 200), 0)
        << ProgramOutput();
    const Capture start = Captured("start.bmp");
    ASSERT_TRUE(start.ok());
    EXPECT_TRUE(Same565(start.At(100, 100), colours::kBackground));
    EXPECT_TRUE(Same565(start.At(CellCentreX(0), CellCentreY(0)), colours::kFloor));
    EXPECT_EQ(PanelNumber(start, 84, 178, 7), "0000000");
    // The menu folder came as one argument, blank included, and goes back whole.
    const std::string folder = menuFolder_.string();
    EXPECT_EQ(StartLines(), std::vector<std::string>{"start " + folder + "/lobbit Tessary " + folder});
    EXPECT_FALSE(CaptureExists("late.bmp")) << "the game went on after starting the menu";
}

TEST_F(GameProgramE2E, WithoutACommandLineTheMenuButtonDoesNothing) {
    ASSERT_EQ(RunGame(kMenuButton + "100 capture late.bmp\n", 200, false), 0) << ProgramOutput();
    EXPECT_TRUE(StartLines().empty());
    EXPECT_TRUE(CaptureExists("late.bmp"));
}

TEST_F(GameProgramE2E, ExitButtonEndsTheProgram) {
    ASSERT_EQ(RunGame(kExitButton + "100 capture late.bmp\n", 200), 0) << ProgramOutput();
    EXPECT_FALSE(CaptureExists("late.bmp"));
    EXPECT_TRUE(StartLines().empty());
}

TEST_F(GameProgramE2E, EscEndsTheProgram) {
    ASSERT_EQ(RunGame("10 key Escape\n100 capture late.bmp\n", 200), 0) << ProgramOutput();
    EXPECT_FALSE(CaptureExists("late.bmp"));
}

TEST_F(GameProgramE2E, RefusesADesktopThatIsNotInHighColour) {
    EXPECT_EQ(RunGame("5 capture start.bmp\n", 50, true, "desktop = 1024x768x32\n"), 0);
    const std::vector<std::string> lines = RecordLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "message Error: Game needs the display set to High Color (16 bit).");
    EXPECT_FALSE(CaptureExists("start.bmp"));
}

} // namespace
} // namespace tessary_e2e
