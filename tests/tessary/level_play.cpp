#include "level_play.h"

#include <algorithm>
#include <cstdint>

#include "tessary/model/ball_set.h"
#include "tessary/model/explosion.h"
#include "tessary/model/physics_settings.h"

namespace levelbot {

namespace {

constexpr int kMagnetStepMs = 200; // the held magnet grows by kMagnetStep every 200 ms
constexpr float kMagnetStep = 0.1f;
constexpr int kGeneratorDelayMs = 400; // a ball appears 400 ms after its generator's flash
constexpr int kClockAtNewMs = 60000;

int FrameMs(int frame) {
    return int(int64_t(frame) * 1000 / kFrameRate);
}

} // namespace

int ClockMs(int frame) {
    return kClockAtNewMs + FrameMs(frame);
}

bool CountdownOver(int frame, int goals) {
    return FrameMs(frame) >= (kLevelSeconds + kGoalBonusSeconds * goals) * 1000;
}

void Magnet::PullOrRelease(Ball& ball, bool held, int mouseX, int mouseY, int nowMs) {
    if (!held) {
        accumulator = 0.0f;
        markMs = nowMs;
        return;
    }
    if (nowMs - markMs > kMagnetStepMs) {
        accumulator += kMagnetStep;
        markMs = nowMs;
    }
    const float force =
        std::min(g_physics.maxMagnet * g_physics.speed, g_physics.magnet * g_physics.speed + accumulator);
    ball.PullToward(mouseX, mouseY, force);
}

void RunGenerators(TileGrid& grid, BallSet& balls, int nowMs, std::mutex* spawnLock) {
    for (int i = 0; i < grid.generators.count; ++i) {
        GeneratorEntry& g = *grid.generators.items[i];
        if (g.phase == 0 && nowMs - g.phaseTime > g.rate * 1000) {
            g.phase = 1;
            g.phaseTime = nowMs;
        } else if (g.phase == 1 && nowMs - g.phaseTime > kGeneratorDelayMs) {
            if (spawnLock) {
                const std::lock_guard<std::mutex> hold(*spawnLock);
                balls.SpawnAtGenerator(g);
            } else {
                balls.SpawnAtGenerator(g);
            }
            g.phase = 0;
            g.phaseTime = nowMs;
        }
    }
}

int Play::NowMs() const {
    return ClockMs(frame);
}

bool Play::OutOfTime() const {
    return CountdownOver(frame, goals);
}

void Play::Step(bool held, int mouseX, int mouseY) {
    if (frame == 0) magnet_.markMs = NowMs();
    const int now = NowMs();
    PtrArray<Ball>& balls = g_ballSet.balls;
    for (int i = 0; i < balls.count; ++i) {
        Ball& ball = *balls.items[i];
        if (ball.state != kBallActive) continue;
        ball.Move();
        for (int j = 0; j < balls.count; ++j) {
            if (j != i && ball.Overlaps(*balls.items[j])) {
                ball.Explode(g_explosionPool);
                balls.items[j]->Explode(g_explosionPool);
            }
        }
        if (ball.CheckGoal()) GoalReached(ball.colour);
        if (ball.state != kBallActive) continue;
        magnet_.PullOrRelease(ball, held, mouseX, mouseY, now);
        ball.ApplyDimples(grid_);
        ball.CheckHoles(grid_);
        ball.CheckMines(grid_);
    }
    RunGenerators(grid_, g_ballSet, now);
    ++frame;
}

void Play::GoalReached(int colour) {
    ++goals;
    const char letter = kColourLetters[colour];
    if (order.find(letter) == std::string::npos) order += letter;
}

GridLayer* Play::MineLayer() const {
    const int layer = grid_.FindLayer("mine");
    return layer >= 0 ? grid_.layers.items[layer] : nullptr;
}

PlaySnapshot Play::Save() const {
    PlaySnapshot s;
    for (int i = 0; i < g_ballSet.balls.count; ++i) {
        const Ball& b = *g_ballSet.balls.items[i];
        s.balls.push_back({b.x, b.y, b.vx, b.vy, b.heading, b.speed, b.swirl, b.state});
    }
    if (const GridLayer* mines = MineLayer())
        s.mineCells.assign(mines->cells.items, mines->cells.items + mines->cells.count);
    for (int i = 0; i < grid_.generators.count; ++i)
        s.generators.push_back(*grid_.generators.items[i]);
    s.frame = frame;
    s.accumulator = magnet_.accumulator;
    s.markMs = magnet_.markMs;
    s.goals = goals;
    s.order = order;
    return s;
}

void Play::Restore(const PlaySnapshot& s) {
    PtrArray<Ball>& balls = g_ballSet.balls;
    while (balls.count > int(s.balls.size())) {
        Ball* spawned = balls.items[balls.count - 1];
        balls.Remove(spawned);
        delete spawned;
    }
    for (size_t i = 0; i < s.balls.size(); ++i) {
        Ball& b = *balls.items[i];
        const PlaySnapshot::BallState& k = s.balls[i];
        b.x = k.x, b.y = k.y, b.vx = k.vx, b.vy = k.vy;
        b.heading = k.heading, b.speed = k.speed, b.swirl = k.swirl, b.state = k.state;
    }
    if (GridLayer* mines = MineLayer()) std::copy(s.mineCells.begin(), s.mineCells.end(), mines->cells.items);
    grid_.RebuildMineList();
    for (size_t i = 0; i < s.generators.size(); ++i)
        *grid_.generators.items[i] = s.generators[i];
    frame = s.frame;
    magnet_.accumulator = s.accumulator;
    magnet_.markMs = s.markMs;
    goals = s.goals;
    order = s.order;
}

} // namespace levelbot
