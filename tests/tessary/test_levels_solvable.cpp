// Every shipped level can be solved within its time: a headless player steers the balls home one at a
// time through the real model's physics with the shipped setup.ini, holding the magnet only where a
// player's pointer could be. Bounded by simulated frames, not by the clock.
#include <cstdio>

#include "level_bot.h"
#include "level_play.h"
#include "level_package.h"

namespace {

using levelpackage::kLevelCount;

// Simulated frames the search may spend on one level, failed tries included (about 33 minutes of play).
constexpr int kFrameBudget = 120000;

class LevelSolvableTest : public levelpackage::PackageTest, public ::testing::WithParamInterface<int> {};

TEST_P(LevelSolvableTest, EveryBallReachesItsGoalInTime) {
    const int level = GetParam();
    ASSERT_EQ(g_tileGrid->LoadLevel(levelpackage::GameLevelPath(level).c_str()), 1) << g_tileGrid->levelError;
    g_ballSet.BuildFromGrid(g_tileGrid);

    const levelbot::SolveResult result = levelbot::SolveLevel(*g_tileGrid, kFrameBudget);
    ASSERT_TRUE(result.solved) << "level " << level << ": " << result.failure;

    // The model agrees: the four coloured balls sit in their goals, and the game would call it done.
    for (int i = 0; i < g_ballSet.balls.count; ++i) {
        const Ball& ball = *g_ballSet.balls.items[i];
        if (ball.colour <= kColourYellow) {
            EXPECT_EQ(ball.state, kBallInGoal) << "colour " << ball.colour;
        }
    }
    EXPECT_EQ(g_ballSet.AllFinished(), 1);
    EXPECT_LT(result.frames, levelbot::kLevelSeconds * levelbot::kFrameRate +
                                 4 * levelbot::kGoalBonusSeconds * levelbot::kFrameRate);
    std::printf("level %03d: solved in %.1f s, order %s, %d frames simulated\n", level,
                double(result.frames) / levelbot::kFrameRate, result.order.c_str(), result.framesSimulated);
}

INSTANTIATE_TEST_SUITE_P(ShippedLevels, LevelSolvableTest, ::testing::Range(1, kLevelCount + 1),
                         [](const ::testing::TestParamInfo<int>& level) {
                             char name[16];
                             std::snprintf(name, sizeof name, "Level%03d", level.param);
                             return std::string(name);
                         });

} // namespace
