#include "tools/playtest/game_step.h"

#include <algorithm>
#include <cmath>

#include "tessary/model/ball_set.h"
#include "tessary/model/explosion.h"

namespace playtest {

namespace {

GridLayer* LayerNamed(TileGrid& grid, const char* name) {
    const int layer = grid.FindLayer(name);
    return layer >= 0 ? grid.layers.items[layer] : nullptr;
}

} // namespace

const char* LossName(Loss loss) {
    switch (loss) {
    case kLossCollision: return "collision";
    case kLossGreyCollision: return "grey";
    case kLossHole: return "hole";
    case kLossWhirlpool: return "whirlpool";
    case kLossMine: return "mine";
    case kLossTime: return "time";
    default: return "-";
    }
}

GameStep::GameStep(TileGrid& grid, BallSet& balls, std::mutex& surfaces)
    : grid_(grid), balls_(balls), surfaces_(surfaces) {
    for (int i = 0; i < balls_.balls.count; ++i) {
        const Ball& b = *balls_.balls.items[i];
        startBalls_.push_back({b.x, b.y, b.vx, b.vy, b.heading, b.speed, b.swirl, b.state});
    }
    if (const GridLayer* mines = LayerNamed(grid_, "mine"))
        startMines_.assign(mines->cells.items, mines->cells.items + mines->cells.count);
    for (int i = 0; i < grid_.generators.count; ++i)
        startGenerators_.push_back(*grid_.generators.items[i]);
}

GameStep::~GameStep() {
    Restart();
}

void GameStep::FreeSpawnedBalls() {
    PtrArray<Ball>& balls = balls_.balls;
    if (balls.count <= int(startBalls_.size())) return;
    const std::lock_guard<std::mutex> hold(surfaces_);
    while (balls.count > int(startBalls_.size())) {
        Ball* spawned = balls.items[balls.count - 1];
        balls.Remove(spawned);
        delete spawned;
    }
}

void GameStep::Restart() {
    FreeSpawnedBalls();
    for (size_t i = 0; i < startBalls_.size(); ++i) {
        Ball& b = *balls_.balls.items[i];
        const BallStart& s = startBalls_[i];
        b.x = s.x, b.y = s.y, b.vx = s.vx, b.vy = s.vy;
        b.heading = s.heading, b.speed = s.speed, b.swirl = s.swirl, b.state = s.state;
    }
    if (GridLayer* mines = LayerNamed(grid_, "mine"))
        std::copy(startMines_.begin(), startMines_.end(), mines->cells.items);
    grid_.RebuildMineList();
    for (size_t i = 0; i < startGenerators_.size(); ++i)
        *grid_.generators.items[i] = startGenerators_[i];
    frame = goals = goalsDone = 0;
    loss = kLossNone;
    lossColour = -1;
    lossX = lossY = 0.0f;
    magnet_ = levelbot::Magnet{0.0f, NowMs()};
}

int GameStep::NowMs() const {
    return levelbot::ClockMs(frame);
}

bool GameStep::OutOfTime() const {
    return levelbot::CountdownOver(frame, goals);
}

void GameStep::Step(bool held, int mouseX, int mouseY) {
    const int now = NowMs();
    // Generators add balls after the walk, so the count at its start is the count of the whole walk.
    const int count = balls_.balls.count;
    for (int i = 0; i < count; ++i)
        if (balls_.balls.items[i]->state == kBallActive) MoveBall(i, held, mouseX, mouseY, now);
    levelbot::RunGenerators(grid_, balls_, now, &surfaces_);
    ++frame;
}

void GameStep::MoveBall(int i, bool held, int mouseX, int mouseY, int now) {
    PtrArray<Ball>& balls = balls_.balls;
    Ball& ball = *balls.items[i];
    ball.Move();
    for (int j = 0; j < balls.count; ++j) {
        Ball& other = *balls.items[j];
        if (j == i || !ball.Overlaps(other)) continue;
        // No explosion pool: the balls go without the picture.
        ball.Explode(nullptr);
        other.Explode(nullptr);
        const bool bothColoured = ball.colour < kColours && other.colour < kColours;
        if (ball.colour < kColours)
            NoteLoss(ball.colour, bothColoured ? kLossCollision : kLossGreyCollision, ball.x, ball.y);
        if (other.colour < kColours)
            NoteLoss(other.colour, bothColoured ? kLossCollision : kLossGreyCollision, other.x, other.y);
    }
    if (ball.CheckGoal()) {
        ++goals;
        goalsDone |= 1 << ball.colour;
    }
    if (ball.state != kBallActive) return;
    magnet_.PullOrRelease(ball, held, mouseX, mouseY, now);
    ball.ApplyDimples(grid_);
    ball.CheckHoles(grid_);
    const bool fell = ball.state != kBallActive;
    ball.CheckMines(grid_); // as in the game, a mine within reach goes off under a falling ball too
    if (ball.colour >= kColours || ball.state == kBallActive) return;
    if (fell) {
        NoteLoss(ball.colour, InBowl(int(ball.x), int(ball.y)) ? kLossWhirlpool : kLossHole, ball.x, ball.y);
    } else {
        NoteLoss(ball.colour, kLossMine, ball.x, ball.y);
    }
}

void GameStep::NoteLoss(int colour, Loss why, float x, float y) {
    if (loss != kLossNone) return;
    loss = why;
    lossColour = colour;
    lossX = x;
    lossY = y;
}

bool GameStep::InBowl(int x, int y) const {
    for (int i = 0; i < grid_.dimples.count; ++i) {
        const DimpleEntry& d = *grid_.dimples.items[i];
        if (d.force > 0.0f && std::hypot(float(d.x - x), float(d.y - y)) < float(d.radius)) return true;
    }
    return false;
}

} // namespace playtest
