// Playing: "new" starts level 1, the magnet pulls the balls into their goals, the level is solved and
// scored, the hall of fame and the solved level are written, level 2 comes; and running out of time.
#include "game_fixture.h"

namespace tessary_e2e {
namespace {

constexpr int kMagnetY = 300; // the balls' row: a pull straight along it
constexpr int kScoreX = 84, kScoreY = 228, kBestY = 178;
constexpr int kLevelX = 54, kLevelY = 278;

// Clicks "new" and holds the magnet at the far right of the balls' row from frame 22 to 400.
std::string NewGameAndMagnet() {
    return "10 move 82 500\n11 down left\n14 up left\n"
           "20 move 780 " +
           std::to_string(kMagnetY) + "\n22 down left\n400 up left\n";
}

struct HallOfFameTop {
    int count = 0;
    std::string name;
    int score = 0;
};

HallOfFameTop ReadHallOfFame(const std::filesystem::path& file) {
    const std::vector<uint8_t> bytes = testsupport::ReadBytes(file);
    HallOfFameTop top;
    if (bytes.size() != 5204) return top;
    top.count = int(testsupport::Le32(bytes, 0));
    top.name = std::string(reinterpret_cast<const char*>(&bytes[4]));
    top.score = int(testsupport::Le32(bytes, 4 + 256));
    return top;
}

class GamePlayE2E : public GameTest {};

TEST_F(GamePlayE2E, MagnetSolvesLevelOneScoresItAndLevelTwoFollows) {
    const std::string script = NewGameAndMagnet() + "5 capture idle.bmp\n90 capture pulled.bmp\n"
                                                    "1400 capture level2.bmp\n";
    ASSERT_EQ(RunGame(script, 1450), 0) << ProgramOutput();

    // Before "new": level 01, score 0, the balls waiting in their places.
    const Capture idle = Captured("idle.bmp");
    ASSERT_TRUE(idle.ok());
    EXPECT_EQ(PanelNumber(idle, kLevelX, kLevelY, 2), "01");
    EXPECT_EQ(PanelNumber(idle, kScoreX, kScoreY, 7), "0000000");
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(Same565(idle.At(CellCentreX(BallColumn(k)), kMagnetY), colours::kBall[k]))
            << "ball " << k;

    // Pulled: every ball has left its place and lies further right, short of its goal.
    const Capture pulled = Captured("pulled.bmp");
    ASSERT_TRUE(pulled.ok());
    for (int k = 0; k < 4; ++k) {
        const int start = CellCentreX(BallColumn(k));
        EXPECT_FALSE(Same565(pulled.At(start - 8, kMagnetY), colours::kBall[k])) << "ball " << k << " stayed";
        bool seenFurther = false;
        for (int x = start + 1; x < CellCentreX(GoalColumn(k)); ++x)
            seenFurther |= Same565(pulled.At(x, kMagnetY), colours::kBall[k]);
        EXPECT_TRUE(seenFurther) << "ball " << k;
    }

    // Solved: 4 goals (125 each), the level bonus (2 x 20000) and 25 for every second left.
    const HallOfFameTop top = ReadHallOfFame(gameFolder_ / "hiscore.dat");
    EXPECT_EQ(top.count, 20);
    EXPECT_EQ(top.name, "Ada:1 Lane:ada@example.org:N");
    EXPECT_GT(top.score, 4 * 125 + 40000 + 25 * 100);
    EXPECT_EQ((top.score - 4 * 125 - 40000) % 25, 0) << top.score;

    // Level 2 waits with the next-level points; the best score shows the hall of fame's top.
    const Capture level2 = Captured("level2.bmp");
    ASSERT_TRUE(level2.ok());
    EXPECT_EQ(PanelNumber(level2, kLevelX, kLevelY, 2), "02");
    EXPECT_EQ(PanelNumber(level2, kScoreX, kScoreY, 7), "0001000");
    char best[8];
    std::snprintf(best, sizeof best, "%07d", top.score);
    EXPECT_EQ(PanelNumber(level2, kScoreX, kBestY, 7), best);

    const std::string text = testsupport::ReadText(gameFolder_ / "setup.ini");
    EXPECT_NE(text.find("solved=2"), std::string::npos) << text;
    for (const std::string& line : RecordLines())
        EXPECT_NE(line.rfind("message", 0), 0u) << line;
}

TEST_F(GamePlayE2E, OutOfTimeShowsTheNoticeThenRestartsTheLevel) {
    // 120 seconds of 60 frames after "new"; the notice stays two seconds.
    const std::string script = "10 move 82 500\n11 down left\n14 up left\n"
                               "7260 capture timeout.bmp\n7500 capture after.bmp\n";
    ASSERT_EQ(RunGame(script, 7550), 0) << ProgramOutput();
    const Capture timeout = Captured("timeout.bmp");
    ASSERT_TRUE(timeout.ok());
    EXPECT_TRUE(Same565(timeout.At(350 + 105, 200 + 100), colours::kOutOfTime));

    const Capture after = Captured("after.bmp");
    ASSERT_TRUE(after.ok());
    EXPECT_FALSE(Same565(after.At(350 + 105, 200 + 100), colours::kOutOfTime));
    EXPECT_EQ(PanelNumber(after, kLevelX, kLevelY, 2), "01");
    EXPECT_EQ(PanelNumber(after, kScoreX, kScoreY, 7), "0000000");
    EXPECT_TRUE(Same565(after.At(CellCentreX(BallColumn(0)), kMagnetY), colours::kBall[0]));
    // A score of 0 does not enter the hall of fame.
    EXPECT_FALSE(std::filesystem::exists(gameFolder_ / "hiscore.dat"));
}

} // namespace
} // namespace tessary_e2e
