// The game's play step on the real model, for the headless player of the shipped levels: each frame
// every active ball moves, explodes with any ball it overlaps, checks its goal, is pulled by the held
// magnet and meets dimples, holes and mines; then the generators run. The whole state of an attempt
// can be saved and restored, so a search can try another way from the same moment.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "tessary/model/ball.h"
#include "tessary/model/tile_grid.h"

class BallSet;

namespace levelbot {

// The game's rules of an attempt at a level.
constexpr int kFrameRate = 60;
constexpr int kLevelSeconds = 120;
constexpr int kGoalBonusSeconds = 20;
// The goal-order letters by ball colour.
constexpr char kColourLetters[] = "brgy";

// The game's clock frame frames after "new" ("new" comes long after start-up, so generators flash on
// the first frame of an attempt).
int ClockMs(int frame);
// The countdown (120 s and 20 s per goal reached) has run out after frame frames.
bool CountdownOver(int frame, int goals);

// The held magnet as the play step builds it: its pull grows every 200 ms the button stays held and
// starts again from nothing when it is released.
struct Magnet {
    float accumulator = 0.0f; // the pull built up so far
    int markMs = 0;           // when it last grew (or was released)

    // One frame at nowMs: pulls ball toward (mouseX, mouseY) when held, else lets go.
    void PullOrRelease(Ball& ball, bool held, int mouseX, int mouseY, int nowMs);
};

// One frame of grid's generators at nowMs: each flashes when its rate has passed and sends a ball
// into balls 400 ms later. spawnLock, when given, is held while the ball is made.
void RunGenerators(TileGrid& grid, BallSet& balls, int nowMs, std::mutex* spawnLock = nullptr);

// Everything an attempt changes: the balls (generated ones included), the mines left, the
// generators' phases, the clock, the magnet and the goals reached.
struct PlaySnapshot {
    struct BallState {
        float x, y, vx, vy, heading, speed;
        int swirl, state;
    };
    std::vector<BallState> balls;
    std::vector<Tile*> mineCells;
    std::vector<GeneratorEntry> generators;
    int frame = 0;
    float accumulator = 0.0f;
    int markMs = 0;
    int goals = 0;
    std::string order;
};

class Play {
  public:
    // An attempt just started ("new") on grid, whose balls are g_ballSet's.
    explicit Play(TileGrid& grid) : grid_(grid) {}

    int frame = 0;     // frames since "new"
    int goals = 0;     // goals reached (each gives the time bonus)
    std::string order; // colour letters whose goal-order slot is done

    // The game's clock: "new" comes long after start-up, so generators flash on the first frame.
    int NowMs() const;
    // All four goal-order slots done.
    bool Solved() const { return order.size() == 4; }
    // The countdown (120 s and 20 s per goal reached) has run out.
    bool OutOfTime() const;
    // One frame of play with the pointer at screen point (mouseX, mouseY), the left button held or not.
    void Step(bool held, int mouseX, int mouseY);

    PlaySnapshot Save() const;
    // Back to a saved moment of this attempt (balls generated since are deleted).
    void Restore(const PlaySnapshot& snapshot);

  private:
    void GoalReached(int colour);
    GridLayer* MineLayer() const;

    TileGrid& grid_;
    Magnet magnet_;
};

} // namespace levelbot
