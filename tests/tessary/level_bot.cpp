#include "level_bot.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "level_paths.h"
#include "level_play.h"
#include "tessary/model/ball_set.h"
#include "tessary/model/physics_settings.h"
#include "tessary/model/tile_grid.h"

namespace levelbot {

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// The magnet's and friction's change of a ball's speed in one frame (pixels per frame per frame).
float MagnetPerFrame() {
    return g_physics.maxMagnet * g_physics.speed / float(kFrameRate);
}
float FrictionPerFrame() {
    return g_physics.friction * g_physics.speed / float(kFrameRate);
}

// ---- Looking ahead: where the balls will be ----

// About a second ahead, every kPredictStep frames.
constexpr int kPredictFrames = 64;
constexpr int kPredictStep = 4;
constexpr int kPredictSamples = kPredictFrames / kPredictStep;

struct Track {
    float x[kPredictSamples], y[kPredictSamples];
};

// Where ball will be if the magnet keeps pulling it toward field point (px, py) (or not at all): a
// point that slides along walls. Coarse, but cheap enough to weigh several pointers every frame.
Track Predict(const Terrain& terrain, const Ball& ball, bool held, float px, float py) {
    Track track;
    float x = ball.x, y = ball.y;
    float vx = std::cos(ball.heading) * ball.speed, vy = std::sin(ball.heading) * ball.speed;
    const float pull = held ? MagnetPerFrame() : 0.0f;
    const float contact = kWallHard - 1.0f;
    for (int k = 0; k < kPredictSamples; ++k) {
        for (int f = 0; f < kPredictStep; ++f) {
            const float dx = px - x, dy = py - y, d = std::hypot(dx, dy);
            if (d > 0.5f) vx += pull * dx / d, vy += pull * dy / d;
            x += vx, y += vy;
            const float wall = terrain.At(terrain.wall, x, y);
            if (wall >= contact) continue;
            // In a wall: back out along the distance's gradient and drop the speed into the wall.
            float nx = terrain.At(terrain.wall, x + kStep, y) - terrain.At(terrain.wall, x - kStep, y);
            float ny = terrain.At(terrain.wall, x, y + kStep) - terrain.At(terrain.wall, x, y - kStep);
            const float n = std::hypot(nx, ny);
            if (n <= 0.0f) continue;
            nx /= n, ny /= n;
            x += nx * (contact - wall), y += ny * (contact - wall);
            const float into = vx * nx + vy * ny;
            if (into < 0.0f) vx -= into * nx, vy -= into * ny;
        }
        track.x[k] = x;
        track.y[k] = y;
    }
    return track;
}

// How safe a pointer is: the least, over the look ahead, of a coloured ball's distance from the reach
// of a hole or mine (all but steered's, whose way the steering minds) and of two balls' distance beyond
// touching when one of them is coloured. Larger is safer.
float Safety(const Terrain& terrain, const TileGrid& grid, const Ball* steered, bool held, float px,
             float py) {
    std::vector<const Ball*> balls;
    std::vector<Track> tracks;
    float margin = 1000.0f;
    for (int i = 0; i < g_ballSet.balls.count; ++i) {
        const Ball* b = g_ballSet.balls.items[i];
        if (b->state != kBallActive) continue;
        balls.push_back(b);
        tracks.push_back(Predict(terrain, *b, held, px - float(grid.originX), py - float(grid.originY)));
        if (b == steered || b->colour > kColourYellow) continue;
        for (int k = 0; k < kPredictSamples; ++k)
            margin = std::min(margin, terrain.At(terrain.hazard, tracks.back().x[k], tracks.back().y[k]));
    }
    for (size_t i = 0; i < balls.size(); ++i)
        for (size_t j = i + 1; j < balls.size(); ++j) {
            if (balls[i]->colour > kColourYellow && balls[j]->colour > kColourYellow) continue;
            for (int k = 0; k < kPredictSamples; ++k) {
                const float d = std::hypot(tracks[i].x[k] - tracks[j].x[k], tracks[i].y[k] - tracks[j].y[k]);
                margin = std::min(margin, d - float(balls[i]->collideDistance));
            }
        }
    return margin;
}

// ---- Steering one ball ----

// The point a little way along the ball's path to aim at, how far it still has to go, and the speed
// it may have now: lower before narrow places, holes and bends further along.
struct Aim {
    float x = 0.0f, y = 0.0f;
    float remaining = 0.0f;
    float cap = 5.0f;
};

Aim AimAlong(const Ball& ball, const PathField& field, const Terrain& terrain) {
    Aim aim{float(ball.goalX), float(ball.goalY), std::hypot(ball.goalX - ball.x, ball.goalY - ball.y)};
    const int node = field.NodeNear(ball.x, ball.y);
    if (node < 0) return aim;
    aim.remaining =
        field.length[size_t(node)] + std::hypot(terrain.X(node) - ball.x, terrain.Y(node) - ball.y);
    int ahead = node, target = node;
    float travelled = 0.0f, firstX = 0.0f, firstY = 0.0f, turn = 1.0f;
    while (field.next[size_t(ahead)] >= 0 && travelled < 72.0f) {
        const float wall = terrain.wall[size_t(ahead)] - kWallHard, hazard = terrain.hazard[size_t(ahead)];
        aim.cap = std::min({aim.cap, 1.5f + 0.15f * wall, 0.8f + 0.12f * hazard});
        const int n = field.next[size_t(ahead)];
        const float sx = terrain.X(n) - terrain.X(ahead), sy = terrain.Y(n) - terrain.Y(ahead);
        const float step = std::hypot(sx, sy);
        if (travelled < 8.0f) {
            firstX += sx, firstY += sy;
        } else if (std::hypot(firstX, firstY) > 0.0f) {
            turn = std::min(turn, (sx * firstX + sy * firstY) / (step * std::hypot(firstX, firstY)));
        }
        travelled += step;
        ahead = n;
        if (travelled < 28.0f) target = n;
    }
    aim.cap = std::min(aim.cap, 1.5f + 3.5f * std::max(0.0f, turn));
    if (field.next[size_t(target)] >= 0) aim.x = terrain.X(target), aim.y = terrain.Y(target);
    return aim;
}

struct Steering {
    bool held = false;
    int mouseX = 0, mouseY = 0;
};

// The farthest the pointer can go from screen point (bx, by) along (ux, uy) inside the window.
float WindowReach(float bx, float by, float ux, float uy) {
    float limit = 2000.0f;
    if (ux > 0.0f) limit = std::min(limit, (float(kScreenWidth - 1) - bx) / ux);
    if (ux < 0.0f) limit = std::min(limit, -bx / ux);
    if (uy > 0.0f) limit = std::min(limit, (float(kScreenHeight - 1) - by) / uy);
    if (uy < 0.0f) limit = std::min(limit, -by / uy);
    return std::max(limit, 1.0f);
}

bool AnythingMoving() {
    for (int i = 0; i < g_ballSet.balls.count; ++i) {
        const Ball& b = *g_ballSet.balls.items[i];
        if (b.state == kBallActive && b.speed > 0.3f) return true;
    }
    return false;
}

// The pointer and button for one frame that bring ball home along field: pull along the difference
// between the wanted and the present velocity. Any point on that ray pulls the steered ball the same
// way; plainly the pointer goes up to 300 pixels out, so every ball leans the same way, as if the
// field were tilted. Carefully, the distance is the one safest for the others, and the button is let go
// when that is clearly safer while something moves.
Steering Steer(const Ball& ball, const PathField& field, const Terrain& terrain, const TileGrid& grid,
               bool careful) {
    const Aim aim = AimAlong(ball, field, terrain);
    const float magnet = MagnetPerFrame();
    const float braking =
        std::sqrt(2.0f * 0.6f * (magnet + FrictionPerFrame()) * std::max(0.0f, aim.remaining - 4.0f));
    const float wanted = std::min(aim.cap, braking + 0.3f);
    float dx = aim.x - ball.x, dy = aim.y - ball.y;
    const float d = std::hypot(dx, dy);
    if (d > 0.001f) dx /= d, dy /= d;
    const float ex = dx * wanted - std::cos(ball.heading) * ball.speed;
    const float ey = dy * wanted - std::sin(ball.heading) * ball.speed;
    const float e = std::hypot(ex, ey);
    Steering s;
    if (e < magnet * 0.75f) return s;
    const float bx = ball.x + float(grid.originX), by = ball.y + float(grid.originY);
    const float ux = ex / e, uy = ey / e;
    const float limit = WindowReach(bx, by, ux, uy);
    float bestReach = std::min(limit, 300.0f);
    if (careful) {
        float best = -1e30f;
        for (float reach : {limit, 320.0f, 200.0f, 120.0f, 60.0f, 30.0f}) {
            if (reach > limit) continue;
            const float safety = Safety(terrain, grid, &ball, true, bx + ux * reach, by + uy * reach);
            if (safety > best + 1.0f) best = safety, bestReach = reach;
        }
        // Letting go only helps while something moves: at rest, the balls would wait for ever.
        if (best < 6.0f && AnythingMoving() &&
            Safety(terrain, grid, nullptr, false, 0.0f, 0.0f) > best + 6.0f)
            return s;
    }
    s.held = true;
    s.mouseX = std::clamp(int(std::lround(bx + ux * bestReach)), 0, kScreenWidth - 1);
    s.mouseY = std::clamp(int(std::lround(by + uy * bestReach)), 0, kScreenHeight - 1);
    return s;
}

// ---- The search over the order of the balls ----

constexpr int kStageSeconds = 40; // the longest one ball may take to get home
constexpr int kStallSeconds = 12; // no kProgressPixels of progress for this long: give up on the ball
constexpr float kProgressPixels = 24.0f;

Ball* BallOfColour(int colour) {
    for (int i = 0; i < g_ballSet.balls.count; ++i)
        if (g_ballSet.balls.items[i]->colour == colour) return g_ballSet.balls.items[i];
    return nullptr;
}

// The letter of a coloured ball that is gone (the level can no longer be solved), or 0.
char LostBall() {
    for (int i = 0; i < g_ballSet.balls.count; ++i) {
        const Ball& b = *g_ballSet.balls.items[i];
        if (b.colour <= kColourYellow && b.state == kBallGone) return kColourLetters[b.colour];
    }
    return 0;
}

class Solver {
  public:
    Solver(TileGrid& grid, int budget) : grid_(grid), play_(grid), terrain_(grid), budget_(budget) {
        for (int colour = kColourBlue; colour <= kColourYellow; ++colour) {
            const Ball* ball = BallOfColour(colour);
            if (ball && ball->goalX >= 0)
                fields_[colour] = std::make_unique<PathField>(terrain_, ball->goalX, ball->goalY);
        }
    }

    SolveResult Run() {
        // First plainly, then weighing every pull for the waiting balls.
        const PlaySnapshot start = play_.Save();
        bool solved = Search();
        if (!solved && simulated_ < budget_) {
            play_.Restore(start);
            careful_ = true;
            solved = Search();
        }
        SolveResult result;
        result.solved = solved;
        result.frames = play_.frame;
        result.framesSimulated = simulated_;
        result.order = play_.order;
        if (!solved) result.failure = failure_;
        return result;
    }

  private:
    bool Fail(const std::string& why) {
        failure_ = why + " (goals so far \"" + play_.order + "\", frame " + std::to_string(play_.frame) + ")";
        return false;
    }

    // Steers the ball of colour home. True when it got there with every coloured ball still in play.
    bool Stage(int colour) {
        Ball* ball = BallOfColour(colour);
        const PathField* field = fields_[colour].get();
        const std::string name(1, kColourLetters[colour]);
        if (!ball || !field || field->NodeNear(ball->x, ball->y) < 0)
            return Fail(name + " has no way to its goal");
        const int end = play_.frame + kStageSeconds * kFrameRate;
        float best = 1e30f;
        int bestFrame = play_.frame;
        while (ball->state == kBallActive) {
            if (play_.OutOfTime()) return Fail("out of time steering " + name);
            if (play_.frame >= end) return Fail(name + " took too long");
            if (simulated_ >= budget_) return Fail("frame budget spent");
            const Steering s = Steer(*ball, *field, terrain_, grid_, careful_);
            play_.Step(s.held, s.mouseX, s.mouseY);
            ++simulated_;
            if (const char lost = LostBall())
                return Fail(std::string(1, lost) + " lost while steering " + name);
            const int node = field->NodeNear(ball->x, ball->y);
            const float remaining = node >= 0 ? field->length[size_t(node)] : 1e30f;
            if (remaining < best - kProgressPixels || remaining < best * 0.5f)
                best = remaining, bestFrame = play_.frame;
            if (play_.frame - bestFrame > kStallSeconds * kFrameRate) return Fail(name + " stalled");
        }
        return ball->state == kBallInGoal;
    }

    bool Search() {
        if (play_.Solved()) return true;
        for (int colour : {kColourRed, kColourGreen, kColourBlue, kColourYellow}) {
            const Ball* ball = BallOfColour(colour);
            if (!ball || ball->state != kBallActive) continue;
            const PlaySnapshot before = play_.Save();
            if (Stage(colour) && Search()) return true;
            if (simulated_ >= budget_) return false;
            play_.Restore(before);
        }
        return false;
    }

    TileGrid& grid_;
    Play play_;
    Terrain terrain_;
    std::unique_ptr<PathField> fields_[kColourYellow + 1];
    int budget_;
    int simulated_ = 0;
    bool careful_ = false;
    std::string failure_ = "no ball could be brought home";
};

} // namespace

SolveResult SolveLevel(TileGrid& grid, int frameBudget) {
    Solver solver(grid, frameBudget);
    return solver.Run();
}

} // namespace levelbot
