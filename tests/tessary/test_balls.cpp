// Balls on a real grid: building them from the layers, friction, the magnet, edges and walls (without
// passing through at any speed), dimples, holes, goals, mines, collisions and generators.
#include <cmath>

#include "game_test_support.h"

using namespace gametest;

namespace {

constexpr float kPi = 3.14159f;

// The distance between two headings round the circle.
float TurnBetween(float a, float b) {
    float d = std::fmod(std::fabs(a - b), 6.28318f);
    return std::min(d, 6.28318f - d);
}

class BallTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        grid_ = MakeGrid();
        fall_.LoadSheet("tiles.bmp", 24, 24);
        goal_.LoadSheet("tiles.bmp", 24, 24);
        g_ballEffects.fall = &fall_;
        g_ballEffects.goal = &goal_;
    }

    void TearDown() override {
        g_animations.DeleteAll();
        EngineTest::TearDown();
    }

    static int Cell(int col, int row) { return col + row * kColumns; }

    // Rebuilds the grid and the balls from it.
    void Build() {
        grid_->Rebuild();
        g_ballSet.BuildFromGrid(grid_);
    }

    Ball* BallOfColour(int colour) {
        for (int i = 0; i < g_ballSet.balls.count; ++i)
            if (g_ballSet.balls.items[i]->colour == colour) return g_ballSet.balls.items[i];
        return nullptr;
    }

    // One ball of colour 0 at cell (col, row), built and returned.
    Ball* OneBall(int col, int row) {
        grid_->SetCell(kBall0Tile, Cell(col, row));
        Build();
        return BallOfColour(0);
    }

    TileGrid* grid_ = nullptr;
    Animation fall_;
    Animation goal_;
};

} // namespace

TEST_F(BallTest, BuildTakesTheFirstBallAndGoalOfEachColour) {
    grid_->SetCell(kBall0Tile, Cell(2, 3));
    grid_->SetCell(kBall0SecondTile, Cell(1, 1)); // comes first row by row
    grid_->SetCell(kBall1Tile, Cell(5, 5));
    grid_->SetCell(kGoal0Tile, Cell(8, 8));
    grid_->SetCell(kGoal0SecondTile, Cell(9, 9));
    grid_->SetCell(kBall4Tile, Cell(10, 1));
    grid_->SetCell(kBall4Tile, Cell(3, 7));
    Build();

    ASSERT_EQ(g_ballSet.balls.count, 4);
    Ball* blue = g_ballSet.balls.items[0];
    EXPECT_EQ(blue->colour, 0);
    EXPECT_FLOAT_EQ(blue->x, 1 * 24 + 12);
    EXPECT_FLOAT_EQ(blue->y, 1 * 24 + 12);
    EXPECT_EQ(blue->goalX, 8 * 24 + 12);
    EXPECT_EQ(blue->goalY, 8 * 24 + 12);
    const Ball* red = g_ballSet.balls.items[1];
    EXPECT_EQ(red->colour, 1);
    EXPECT_EQ(red->goalX, -1); // no red goal
    EXPECT_EQ(red->goalY, -1);
    // Extra balls follow, row by row.
    EXPECT_EQ(g_ballSet.balls.items[2]->colour, 4);
    EXPECT_FLOAT_EQ(g_ballSet.balls.items[2]->x, 10 * 24 + 12);
    EXPECT_FLOAT_EQ(g_ballSet.balls.items[3]->y, 7 * 24 + 12);
    EXPECT_EQ(g_ballSet.balls.items[3]->goalX, -1);

    for (int i = 0; i < g_ballSet.balls.count; ++i) {
        Ball* ball = g_ballSet.balls.items[i];
        EXPECT_EQ(ball->state, kBallActive);
        EXPECT_EQ(ball->diameter, 20);
        EXPECT_EQ(ball->collideDistance, 20);
        EXPECT_FLOAT_EQ(ball->deceleration, 0.004f * 3.0f);
        EXPECT_EQ(ball->speed, 0.0f);
        EXPECT_EQ(ball->heading, 0.0f);
        EXPECT_EQ(ball->fieldWidth, 288);
        EXPECT_EQ(ball->fieldHeight, 240);
        EXPECT_EQ(ball->collisionSurface, grid_->collisionSurface);
        EXPECT_EQ(ball->centered, 1);
        // Its own copy of the tile's picture.
        ASSERT_NE(ball->GetFirstFrame(), nullptr);
        EXPECT_NE(ball->GetFirstFrame(), grid_->palette.items[kBall0Tile]->GetFirstFrame());
    }
    EXPECT_EQ(GetPixel(blue->GetFirstFrame(), 12, 12),
              RGBToPixel(blue->GetFirstFrame(), kBall0.r, kBall0.g, kBall0.b));
}

TEST_F(BallTest, BuildWithoutAGridOnlyReadsTheSettings) {
    OneBall(2, 2);
    g_physics.ballWidth = 3;
    g_ballSet.BuildFromGrid(nullptr);
    EXPECT_EQ(g_physics.ballWidth, 20);
    EXPECT_EQ(g_ballSet.balls.count, 1);
}

TEST_F(BallTest, AllFinishedNeedsEveryColouredBallDone) {
    EXPECT_EQ(g_ballSet.AllFinished(), 0); // empty
    grid_->SetCell(kBall0Tile, Cell(1, 1));
    grid_->SetCell(kBall1Tile, Cell(4, 4));
    grid_->SetCell(kBall4Tile, Cell(7, 7));
    Build();
    Ball* blue = BallOfColour(0);
    Ball* red = BallOfColour(1);
    EXPECT_EQ(g_ballSet.AllFinished(), 0);
    blue->state = kBallInGoal;
    EXPECT_EQ(g_ballSet.AllFinished(), 0);
    red->state = kBallNotInPlay;
    EXPECT_EQ(g_ballSet.AllFinished(), 0);
    red->state = kBallGone;
    EXPECT_EQ(g_ballSet.AllFinished(), 1); // the extra ball does not count
    g_ballSet.Clear();
    EXPECT_EQ(g_ballSet.AllFinished(), 0);
}

TEST_F(BallTest, FrictionSlowsAndTheBallMovesByItsSpeed) {
    Ball* ball = OneBall(5, 5);
    ball->speed = 1.0f;
    const float x0 = ball->x;
    fps = 60.0f;
    ball->Move();
    EXPECT_FLOAT_EQ(ball->x, x0 + 1.0f);
    EXPECT_FLOAT_EQ(ball->speed, 1.0f - 0.012f / 60.0f);
    // With no measured rate yet the nominal rate is used, never a division by 0.
    fps = 0.0f;
    ball->Move();
    EXPECT_TRUE(std::isfinite(ball->speed));
    EXPECT_FLOAT_EQ(ball->speed, 1.0f - 2 * 0.012f / 60.0f);
    // Friction takes the speed one step below 0, then it is 0.
    ball->speed = 0.0001f;
    ball->Move();
    EXPECT_LT(ball->speed, 0.0f);
    ball->Move();
    EXPECT_EQ(ball->speed, 0.0f);
}

// Friction is spread over the frames of a second at whatever rate the engine measures.
TEST_F(BallTest, FrictionFollowsTheMeasuredFrameRate) {
    Ball* ball = OneBall(5, 5);
    for (float rate : {30.0f, 50.0f, 144.0f}) {
        fps = rate;
        ball->x = 132.0f;
        ball->speed = 1.0f;
        for (int frame = 0; frame < int(rate); ++frame) {
            ball->x = 132.0f; // away from every edge and wall
            ball->Move();
        }
        // One second of frames takes off the deceleration of one second, whatever the rate.
        EXPECT_NEAR(ball->speed, 1.0f - 0.012f, 1e-5) << rate << " frames a second";
    }
    fps = 144.0f;
    ball->speed = 1.0f;
    ball->Move();
    EXPECT_FLOAT_EQ(ball->speed, 1.0f - 0.012f / 144.0f);
}

// Without "ballw" (diameter 0, centre probes only) the magnet speeds a ball up by the formulas, well
// past one pixel a frame, and the ball moves its whole speed each frame.
TEST_F(BallTest, WithoutABallWidthTheMagnetSpeedsUpByTheFormulas) {
    std::string setup = SetupIni();
    setup.erase(setup.find("collidew=20\nballw=20\n"), std::string("collidew=20\nballw=20\n").size());
    WriteText("setup.ini", setup);
    Ball* ball = OneBall(5, 5);
    ASSERT_EQ(ball->diameter, 0);
    const float force = 4.8f; // the shipped game's strongest pull (max_magnet 1.6 x speed 3)
    for (float rate : {30.0f, 60.0f}) {
        fps = rate;
        ball->heading = 0.0f;
        ball->speed = 0.0f;
        float expected = 0.0f;
        // Two seconds of a magnet held far to the right, the ball kept where nothing is near.
        for (int frame = 0; frame < 2 * int(rate); ++frame) {
            ball->x = 60.0f;
            ball->y = 120.0f;
            ball->Move();
            ASSERT_NEAR(ball->x - 60.0f, expected, 1e-3f + expected * 1e-3f) << "frame " << frame;
            expected = expected > 0.0f ? expected - 0.012f / rate : 0.0f;
            ball->PullToward(kGridX + 5000, kGridY + 120, force);
            expected += force / rate;
        }
        EXPECT_NEAR(ball->speed, expected, expected * 1e-3f);
        EXPECT_GT(ball->speed, 2 * (force - 0.012f) - 0.01f) << rate << " frames a second";
    }
}

TEST_F(BallTest, MagnetPullsTowardThePointer) {
    Ball* ball = OneBall(5, 5);
    fps = 50.0f;
    const int screenX = kGridX + int(ball->x);
    const int screenY = kGridY + int(ball->y);
    ball->PullToward(screenX + 100, screenY, 0.09f);
    EXPECT_NEAR(ball->heading, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(ball->speed, 0.09f / 50.0f);
    EXPECT_FLOAT_EQ(ball->vx, 0.09f / 50.0f);
    ball->speed = 0.0f;
    ball->PullToward(screenX, screenY - 40, 0.09f); // straight up
    EXPECT_NEAR(ball->heading, 3 * kPi / 2, 1e-4);
    // Pulling against the motion slows the ball.
    ball->heading = 0.0f;
    ball->speed = 1.0f;
    ball->PullToward(screenX - 100, screenY, 5.0f);
    EXPECT_NEAR(ball->speed, 0.9f, 1e-5);
    EXPECT_NEAR(TurnBetween(ball->heading, 0.0f), 0.0f, 1e-5);
    fps = 0.0f;
    ball->PullToward(screenX + 100, screenY, 6.0f);
    EXPECT_NEAR(ball->speed, 0.9f + 0.1f, 1e-5); // 6 / the nominal 60
}

TEST_F(BallTest, AddVelocityKeepsTheHeadingInRange) {
    Ball* ball = OneBall(5, 5);
    ball->AddVelocity(0.0f, -2.0f);
    EXPECT_NEAR(ball->heading, 3 * kPi / 2, 1e-4);
    EXPECT_FLOAT_EQ(ball->speed, 2.0f);
    ball->AddVelocity(3.0f, 2.0f); // about (3, 0): the constants are single-precision
    EXPECT_NEAR(TurnBetween(ball->heading, 0.0f), 0.0f, 1e-4);
    EXPECT_GE(ball->heading, 0.0f);
    EXPECT_LE(ball->heading, 6.28318f);
    EXPECT_NEAR(ball->speed, 3.0f, 1e-4);
    EXPECT_NEAR(ball->vx, 3.0f, 1e-4);
}

TEST_F(BallTest, FieldEdgesReflectWithTheWallSound) {
    Ball* ball = OneBall(5, 5);
    ball->x = 5.0f; // closer to the left edge than its radius
    ball->heading = kPi;
    ball->speed = 0.5f;
    Advance(200);
    ball->Move();
    EXPECT_NEAR(ball->heading, 0.0f, 1e-5);
    EXPECT_FLOAT_EQ(ball->x, 10.0f + 0.5f);
    ASSERT_EQ(CountSounds("wall"), 1);
    EXPECT_EQ(PlayedSounds()[0].volume, 16384);
    // A second hit within 100 ms is silent; after that it sounds again.
    ball->x = 4.0f;
    ball->heading = kPi;
    ball->Move();
    EXPECT_EQ(CountSounds("wall"), 1);
    Advance(110);
    ball->x = 4.0f;
    ball->heading = kPi;
    ball->Move();
    EXPECT_EQ(CountSounds("wall"), 2);
    // Bottom edge: heading negated.
    ball->x = 100.0f;
    ball->y = 239.0f;
    ball->heading = kPi / 2;
    ball->Move();
    EXPECT_NEAR(ball->heading, 6.28318f - kPi / 2, 1e-4);
    EXPECT_FLOAT_EQ(ball->y, 230.0f + ball->vy);
}

TEST_F(BallTest, SlowOrGrazingReflectionsAreSilent) {
    Ball* ball = OneBall(5, 5);
    Advance(200);
    ball->x = 5.0f;
    ball->heading = kPi;
    ball->speed = 0.2f; // not above 0.2
    ball->Move();
    EXPECT_EQ(CountSounds("wall"), 0);
    // A grazing hit on the top edge: heading 6.2 becomes 0.083, a turn of more than 6.0831802.
    ball->x = 100.0f;
    ball->y = 3.0f;
    ball->heading = 6.2f;
    ball->speed = 1.0f;
    ball->Move();
    EXPECT_EQ(CountSounds("wall"), 0);
}

TEST_F(BallTest, WallAheadReflects) {
    grid_->SetCell(kWallTile, Cell(6, 5));
    Ball* ball = OneBall(5, 5); // centre x 132, the wall from x 144: 12 px ahead, beyond the radius
    ball->speed = 1.5f;
    ball->deceleration = 0.0f;
    float nearest = 1e9f;
    for (int frame = 0; frame < 20; ++frame) {
        ball->Move();
        nearest = std::min(nearest, 144.0f - ball->x);
    }
    EXPECT_NEAR(ball->heading, kPi, 1e-4);
    EXPECT_LT(ball->x, 132.0f);
    EXPECT_GT(nearest, 0.0f);
    EXPECT_LE(nearest, 10.0f);
}

TEST_F(BallTest, BallAtRestTouchingAWallGetsATinySpeed) {
    grid_->SetCell(kWallTile, Cell(6, 5));
    Ball* ball = OneBall(5, 5);
    ball->x = 144.0f - 9.0f; // the wall lies within the radius straight ahead
    ball->speed = 0.0f;
    ball->Move();
    EXPECT_FLOAT_EQ(ball->speed, 0.001f - 0.012f / 60.0f);
    EXPECT_NEAR(ball->heading, kPi, 1e-4);
    EXPECT_EQ(CountSounds("wall"), 0);
}

TEST_F(BallTest, CornerReversesTheBall) {
    grid_->SetCell(kWallTile, Cell(6, 5));
    grid_->SetCell(kWallTile, Cell(6, 6));
    grid_->SetCell(kWallTile, Cell(5, 6));
    Ball* ball = OneBall(5, 5);
    ball->x = 144.0f - 8.0f;
    ball->y = 144.0f - 8.0f;
    ball->heading = 0.7853975f;
    ball->speed = 1.0f;
    ball->Move();
    EXPECT_NEAR(ball->heading, 0.7853975f + kPi, 1e-4);
}

// At any speed a ball bounces off a 12-pixel wall instead of passing through it, and is not slowed.
TEST_F(BallTest, FastBallsNeverPassThroughWalls) {
    for (int row = 0; row < kRows; ++row)
        grid_->SetCell(kHalfWallTile, Cell(6, row)); // solid x 144..155
    Ball* ball = OneBall(2, 4);
    EXPECT_FLOAT_EQ(ball->MaxSpeed(), 288.0f); // the field's width
    for (float speed : {5.0f, 20.0f, 100.0f, 1e6f}) {
        ball->x = 60.0f;
        ball->y = 100.0f;
        ball->heading = 0.3f;
        ball->speed = speed;
        ball->deceleration = 0.0f;
        for (int frame = 0; frame < 400; ++frame) {
            ball->Move();
            ASSERT_LT(ball->x, 144.0f) << "speed " << speed << " frame " << frame;
        }
        EXPECT_FLOAT_EQ(ball->speed, std::min(speed, ball->MaxSpeed()));
    }
}

// A wall one cell thick, across the field or along it, stops balls of every width at the highest speed
// a ball can have, from any heading toward it (shallow ones included): the centre never even reaches it.
TEST_F(BallTest, NoBallCrossesAOneCellWallAtTheTopSpeed) {
    for (bool across : {true, false}) {
        for (int cell = 0; cell < grid_->CellCount(); ++cell)
            grid_->SetCell(0, cell); // empties every layer above the background
        if (across) {
            for (int row = 0; row < kRows; ++row)
                grid_->SetCell(kWallTile, Cell(6, row)); // solid x 144..167
        } else {
            for (int col = 0; col < kColumns; ++col)
                grid_->SetCell(kWallTile, Cell(col, 5)); // solid y 120..143
        }
        for (int diameter : {0, 4, 20}) {
            for (float toward : {0.0f, 0.05f, 0.3f, 0.7853975f, 1.2f, -0.3f, -1.2f}) {
                Ball* ball = OneBall(2, 2);
                ball->diameter = diameter;
                ball->deceleration = 0.0f;
                ball->x = 60.0f;
                ball->y = 60.0f;
                ball->heading = NormaliseHeading(across ? toward : kPi / 2 - toward);
                ball->speed = ball->MaxSpeed();
                for (int frame = 0; frame < 200; ++frame) {
                    ball->Move();
                    const float beyond = across ? ball->x - 144.0f : ball->y - 120.0f;
                    ASSERT_LT(beyond, 0.0f) << (across ? "across" : "along") << " diameter " << diameter
                                            << " heading " << toward << " frame " << frame;
                }
                EXPECT_FLOAT_EQ(ball->speed, ball->MaxSpeed());
            }
        }
    }
}

TEST_F(BallTest, BrokenNumbersDoNotSpread) {
    Ball* ball = OneBall(5, 5);
    ball->x = std::nanf("");
    ball->speed = INFINITY;
    ball->Move();
    EXPECT_TRUE(std::isfinite(ball->x));
    EXPECT_TRUE(std::isfinite(ball->y));
    EXPECT_TRUE(std::isfinite(ball->speed));
    EXPECT_GT(ball->x, 9.0f); // put back on the field
}

TEST_F(BallTest, WithoutACollisionSurfaceOnlyTheEdgesApply) {
    Ball* ball = OneBall(5, 5);
    ball->collisionSurface = nullptr;
    ball->speed = 2.0f;
    const float x0 = ball->x;
    ball->Move();
    EXPECT_FLOAT_EQ(ball->x, x0);
    EXPECT_FLOAT_EQ(ball->speed, 2.0f);
    ball->x = -30.0f;
    ball->Move();
    EXPECT_FLOAT_EQ(ball->x, 10.0f);
}

TEST_F(BallTest, DimplePullsAndSwirls) {
    grid_->SetCell(kDimpleTile, Cell(5, 5)); // centre (132, 132), radius 36, force 2.5
    Ball* ball = OneBall(1, 1);
    fps = 60.0f;
    ball->x = 112.0f; // 20 px left of the centre
    ball->y = 132.0f;
    ball->vx = 1.0f; // moving right: swirl 1
    ball->ApplyDimples(*grid_);
    EXPECT_EQ(ball->swirl, 1);
    const float f = 0.015f * 3.0f * 2.5f / 60.0f;
    // Half the force toward the centre (+x), then f / 9 turned by +90 degrees (+y).
    EXPECT_NEAR(ball->speed * std::cos(ball->heading), f / 2, 1e-6);
    EXPECT_NEAR(ball->speed * std::sin(ball->heading), f / 9, 1e-6);
    // Outside every dimple the swirl is forgotten.
    ball->x = 20.0f;
    ball->ApplyDimples(*grid_);
    EXPECT_EQ(ball->swirl, 0);
    // At the very centre (d < 1) nothing is added.
    ball->x = 132.0f;
    ball->speed = 0.0f;
    ball->ApplyDimples(*grid_);
    EXPECT_EQ(ball->speed, 0.0f);
    // Moving left: swirl 2, turned the other way.
    ball->x = 112.0f;
    ball->vx = -1.0f;
    ball->ApplyDimples(*grid_);
    EXPECT_EQ(ball->swirl, 2);
    EXPECT_NEAR(ball->speed * std::sin(ball->heading), -f / 9, 1e-6);
}

TEST_F(BallTest, HoleSwallowsABallWithinItsRadius) {
    grid_->SetCell(kHoleTile, Cell(8, 2)); // centre (204, 60), radius 9
    Ball* ball = OneBall(1, 1);
    ball->colour = 2;
    ball->x = 204.0f - 9.0f; // exactly at the radius: not within
    ball->y = 60.0f;
    ball->CheckHoles(*grid_);
    EXPECT_EQ(ball->state, kBallActive);
    EXPECT_EQ(CountSounds("falling"), 0);
    ball->x += 0.5f;
    ball->CheckHoles(*grid_);
    EXPECT_EQ(ball->state, kBallGone);
    EXPECT_EQ(CountSounds("falling"), 1);
    ASSERT_TRUE(g_animations.list && g_animations.list->count == 1);
    const Animation* fall = g_animations.list->items[0];
    EXPECT_FLOAT_EQ(fall->x, 204.0f + kGridX);
    EXPECT_FLOAT_EQ(fall->y, 60.0f + kGridY);
    EXPECT_EQ(fall->first, 12);
    EXPECT_EQ(fall->end, 18);
    EXPECT_EQ(fall->current, 12);
    EXPECT_EQ(fall->endMode, kEndStopAndHide);
    EXPECT_EQ(fall->centered, 1);
    EXPECT_EQ(fall->playing, 1);
}

TEST_F(BallTest, GoalTakesAnActiveBallWithinHalfItsWidth) {
    grid_->SetCell(kGoal1Tile, Cell(8, 8));
    grid_->SetCell(kBall1Tile, Cell(2, 2));
    Build();
    Ball* ball = BallOfColour(1);
    ASSERT_NE(ball, nullptr);
    ball->x = 8 * 24 + 12 - 12.0f; // 12 px: not within
    ball->y = 8 * 24 + 12;
    EXPECT_EQ(ball->CheckGoal(), 0);
    ball->x += 1.0f;
    EXPECT_EQ(ball->CheckGoal(), 1);
    EXPECT_EQ(ball->state, kBallInGoal);
    ASSERT_TRUE(g_animations.list && g_animations.list->count == 1);
    EXPECT_EQ(g_animations.list->items[0]->first, 11);
    EXPECT_EQ(g_animations.list->items[0]->end, 22);
    EXPECT_FLOAT_EQ(g_animations.list->items[0]->x, 8 * 24 + 12 + kGridX);
    // Only once, and never for a ball that is gone (one that exploded this frame).
    EXPECT_EQ(ball->CheckGoal(), 0);
    ball->state = kBallGone;
    EXPECT_EQ(ball->CheckGoal(), 0);
    EXPECT_EQ(ball->state, kBallGone);
    // Without a goal nothing happens.
    ball->state = kBallActive;
    ball->goalX = ball->goalY = -1;
    EXPECT_EQ(ball->CheckGoal(), 0);
}

TEST_F(BallTest, EffectsAreOptional) {
    g_ballEffects = BallEffects();
    grid_->SetCell(kHoleTile, Cell(1, 1));
    Ball* ball = OneBall(1, 1);
    ball->CheckHoles(*grid_);
    EXPECT_EQ(ball->state, kBallGone);
    EXPECT_TRUE(!g_animations.list || g_animations.list->count == 0);
}

TEST_F(BallTest, MineExplodesAndIsCleared) {
    CreateExplosionPool();
    grid_->SetCell(kMineTile, Cell(4, 4));
    grid_->SetCell(kMineTile, Cell(9, 9));
    Ball* ball = OneBall(4, 4);
    grid_->BlitWalls(Background());
    ASSERT_EQ(grid_->mines.count, 2);
    ball->CheckMines(*grid_);
    EXPECT_EQ(ball->state, kBallGone);
    EXPECT_EQ(CountSounds("explode"), 1);
    EXPECT_EQ(grid_->layers.items[grid_->FindLayer("mine")]->cells.items[Cell(4, 4)], nullptr);
    ASSERT_EQ(grid_->mines.count, 1);
    EXPECT_EQ(grid_->mines.items[0]->x, 9 * 24 + 12);
    const Explosion* explosion = g_explosionPool->explosions.items[0];
    EXPECT_EQ(explosion->active, 1);
    EXPECT_FLOAT_EQ(explosion->x, 4 * 24 + 12 + kGridX);
    EXPECT_FLOAT_EQ(explosion->y, 4 * 24 + 12 + kGridY);
    // The mine is gone from the background too.
    EXPECT_EQ(GetPixel(Background(), kGridX + 4 * 24 + 12, kGridY + 4 * 24 + 12),
              RGBToPixel(Background(), kFloor.r, kFloor.g, kFloor.b));
}

TEST_F(BallTest, OverlappingMinesAllGoOff) {
    std::string ini = SetupIni();
    ini.replace(ini.find("type=mine\nradius=10\n"), 20, "type=mine\nradius=13\n");
    WriteGameFolder(ini);
    CreateGrid(".\\setup.ini");
    grid_ = g_tileGrid;
    CreateExplosionPool();
    grid_->SetCell(kMineTile, Cell(4, 4));
    grid_->SetCell(kMineTile, Cell(5, 4));
    grid_->SetCell(kMineTile, Cell(6, 4));
    Ball* ball = OneBall(1, 1);
    // 9 px from the first mine's centre, 15 px from the second's: only the first goes off.
    ball->x = 4 * 24 + 12 + 9.0f;
    ball->y = 4 * 24 + 12;
    ball->CheckMines(*grid_);
    EXPECT_EQ(grid_->mines.count, 2);
    EXPECT_EQ(CountSounds("explode"), 1);
    // Halfway between the other two, 12 px from each: the walk goes on over the rebuilt list and the
    // second mine, which moved into the first one's slot, goes off too.
    ball->state = kBallActive;
    ball->x = 5 * 24 + 12 + 12.0f;
    ball->CheckMines(*grid_);
    EXPECT_EQ(grid_->mines.count, 0);
    EXPECT_EQ(CountSounds("explode"), 3);
    EXPECT_EQ(g_explosionPool->explosions.items[2]->active, 1);
}

TEST_F(BallTest, ElevenExplosionsShowTen) {
    CreateExplosionPool();
    grid_->SetCell(kBall4Tile, Cell(0, 0));
    Build();
    for (int i = 0; i < 10; ++i) {
        Ball* ball = g_ballSet.SpawnAtGenerator(GeneratorEntry{100, 100, 5});
        ASSERT_NE(ball, nullptr);
        ball->Explode(g_explosionPool);
    }
    EXPECT_EQ(g_explosionPool->GetFree(), nullptr);
    Ball* last = g_ballSet.balls.items[0];
    last->Explode(g_explosionPool);
    EXPECT_EQ(last->state, kBallGone);
}

TEST_F(BallTest, OverlapNeedsTwoActiveBallsCloserThanTheCollideDistance) {
    grid_->SetCell(kBall0Tile, Cell(1, 1));
    grid_->SetCell(kBall1Tile, Cell(5, 5));
    Build();
    Ball* a = BallOfColour(0);
    Ball* b = BallOfColour(1);
    b->x = a->x + 20.0f;
    b->y = a->y;
    EXPECT_EQ(a->Overlaps(*b), 0); // exactly collidew apart
    b->x -= 0.5f;
    EXPECT_EQ(a->Overlaps(*b), 1);
    EXPECT_EQ(b->Overlaps(*a), 1);
    b->state = kBallInGoal;
    EXPECT_EQ(a->Overlaps(*b), 0);
    b->state = kBallActive;
    b->collideDistance = 0; // collidew 0: never
    EXPECT_EQ(a->Overlaps(*b), 0);
}

TEST_F(BallTest, GeneratorSpawnsAnExtraBallAtItsCentre) {
    grid_->SetCell(kGeneratorTile, Cell(6, 6));
    Build();
    ASSERT_EQ(grid_->generators.count, 1);
    Ball* ball = g_ballSet.SpawnAtGenerator(*grid_->generators.items[0]);
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->colour, 4);
    EXPECT_FLOAT_EQ(ball->x, 6 * 24 + 12);
    EXPECT_FLOAT_EQ(ball->y, 6 * 24 + 12);
    EXPECT_EQ(ball->state, kBallActive);
    EXPECT_EQ(ball->goalX, -1);
    EXPECT_EQ(g_ballSet.balls.count, 1);
}

TEST_F(BallTest, GeneratorWithoutAnExtraBallTileSpawnsNothing) {
    std::string ini = SetupIni();
    ini.replace(ini.find("type=ball\ncolor=4\n"), 18, "");
    WriteGameFolder(ini);
    CreateGrid(".\\setup.ini");
    grid_ = g_tileGrid;
    Build();
    EXPECT_EQ(g_ballSet.SpawnAtGenerator(GeneratorEntry{50, 50, 5}), nullptr);
    BallSet unbuilt;
    EXPECT_EQ(unbuilt.SpawnAtGenerator(GeneratorEntry{50, 50, 5}), nullptr);
}

TEST_F(BallTest, DrawnCentredAtItsScreenPosition) {
    Ball* ball = OneBall(3, 3);
    ball->x = 100.0f;
    ball->y = 50.0f;
    ball->DrawTo(Background());
    EXPECT_FLOAT_EQ(ball->x, 100.0f);
    EXPECT_EQ(GetPixel(Background(), kGridX + 100, kGridY + 50),
              RGBToPixel(Background(), kBall0.r, kBall0.g, kBall0.b));
    EXPECT_EQ(GetPixel(Background(), kGridX + 100 - 12, kGridY + 50 - 12),
              RGBToPixel(Background(), 10, 20, 30));
}

TEST_F(BallTest, DeletingTheGridTakesItsBalls) {
    OneBall(3, 3);
    ASSERT_EQ(g_ballSet.balls.count, 1);
    DeleteGrid();
    EXPECT_EQ(g_ballSet.balls.count, 0);
    EXPECT_EQ(g_ballSet.grid, nullptr);
}
