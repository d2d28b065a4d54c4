// One attempt at a level on the real game model, stepped as the game's play state steps it: every
// active ball moves, explodes with any ball it overlaps, checks its goal, is pulled by the held magnet
// and meets dimples, holes and mines; then the generators run. It works on a grid and a ball set of
// its own (one pair per worker thread) and tells which coloured ball was lost first, where and why.
#pragma once

#include <mutex>
#include <vector>

#include "tessary/model/tile_grid.h"
#include "tests/tessary/level_play.h"

class BallSet;

namespace playtest {

// The game's rules of an attempt, as the level test's play step keeps them.
using levelbot::kFrameRate;
using levelbot::kGoalBonusSeconds;
using levelbot::kLevelSeconds;
constexpr int kColours = 4; // the coloured balls, colours 0 .. 3

// Why an attempt failed.
enum Loss {
    kLossNone,
    kLossCollision,     // a coloured ball met another coloured ball
    kLossGreyCollision, // a coloured ball met a grey one
    kLossHole,
    kLossWhirlpool, // a hole inside a bowl
    kLossMine,
    kLossTime,
    kLossKinds,
};

// A short name of a loss ("collision", "grey", "hole", "whirlpool", "mine", "time", "-").
const char* LossName(Loss loss);

class GameStep {
  public:
    // grid holds the level (rebuilt) and balls was built from it; both outlive this object, which keeps
    // their starting state. surfaces is held while balls are made or freed (the engine's surface list
    // is shared by every thread).
    GameStep(TileGrid& grid, BallSet& balls, std::mutex& surfaces);
    ~GameStep();
    GameStep(const GameStep&) = delete;
    GameStep& operator=(const GameStep&) = delete;

    // Back to the moment of "new": balls, mines and generators as at construction, the clock at 0.
    void Restart();
    // One frame with the pointer at screen point (mouseX, mouseY) and the left button held or not.
    void Step(bool held, int mouseX, int mouseY);

    // Every goal-order slot done.
    bool Solved() const { return goalsDone == (1 << kColours) - 1; }
    // The countdown (120 s, 20 s more per goal reached) has run out.
    bool OutOfTime() const;
    const TileGrid& Grid() const { return grid_; }
    const BallSet& Balls() const { return balls_; }

    int frame = 0;     // frames since "new"
    int goals = 0;     // goals reached (each gives the time bonus)
    int goalsDone = 0; // bit per colour whose goal was reached
    // The first coloured ball lost: why, its colour and where (field pixels).
    Loss loss = kLossNone;
    int lossColour = -1;
    float lossX = 0.0f, lossY = 0.0f;

  private:
    struct BallStart {
        float x, y, vx, vy, heading, speed;
        int swirl, state;
    };

    int NowMs() const;
    void MoveBall(int i, bool held, int mouseX, int mouseY, int now);
    void NoteLoss(int colour, Loss why, float x, float y);
    void FreeSpawnedBalls();
    bool InBowl(int x, int y) const;

    TileGrid& grid_;
    BallSet& balls_;
    std::mutex& surfaces_;
    std::vector<BallStart> startBalls_;
    std::vector<Tile*> startMines_;
    std::vector<GeneratorEntry> startGenerators_;
    levelbot::Magnet magnet_;
};

} // namespace playtest
