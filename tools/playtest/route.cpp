#include "tools/playtest/route.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>

namespace playtest {

namespace {

constexpr float kNoWay = 1e30f;
// A ball's centre passes no closer than this to a hazard's reach (pixels).
constexpr float kHazardHard = 4.0f;
// How far along the way the spot to head for lies, and how far ahead a player looks for narrows and
// bends (pixels).
constexpr float kAimAhead = 30.0f;
constexpr float kLookAhead = 90.0f;

} // namespace

Route::Route(const levelbot::Terrain& terrain, int goalX, int goalY) : terrain_(terrain) {
    const size_t count = size_t(terrain.columns) * size_t(terrain.rows);
    cost_.assign(count, kNoWay);
    length_.assign(count, kNoWay);
    next_.assign(count, -1);
    const int goal = terrain.Index(std::clamp(goalX / levelbot::kStep, 0, terrain.columns - 1),
                                   std::clamp(goalY / levelbot::kStep, 0, terrain.rows - 1));
    using Item = std::pair<float, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> open;
    cost_[size_t(goal)] = length_[size_t(goal)] = 0.0f;
    open.push({0.0f, goal});
    while (!open.empty()) {
        const auto [c, node] = open.top();
        open.pop();
        if (c > cost_[size_t(node)]) continue;
        const int i = node % terrain.columns, j = node / terrain.columns;
        for (int dj = -1; dj <= 1; ++dj)
            for (int di = -1; di <= 1; ++di) {
                const int ni = i + di, nj = j + dj;
                if ((di == 0 && dj == 0) || ni < 0 || nj < 0 || ni >= terrain.columns || nj >= terrain.rows)
                    continue;
                const int m = terrain.Index(ni, nj);
                if (terrain.wall[size_t(m)] < levelbot::kWallHard || terrain.hazard[size_t(m)] < kHazardHard)
                    continue;
                const float step = (di != 0 && dj != 0 ? 1.41421356f : 1.0f) * float(levelbot::kStep);
                const float nc = c + step * Weight(m);
                if (nc >= cost_[size_t(m)]) continue;
                cost_[size_t(m)] = nc;
                length_[size_t(m)] = length_[size_t(node)] + step;
                next_[size_t(m)] = node;
                open.push({nc, m});
            }
    }
}

float Route::Weight(int node) const {
    const float wall = terrain_.wall[size_t(node)], hazard = terrain_.hazard[size_t(node)];
    return 1.0f + 0.3f * std::max(0.0f, 18.0f - wall) + 0.4f * std::max(0.0f, kHazardRoom - hazard) +
           terrain_.penalty[size_t(node)];
}

int Route::NodeNear(float x, float y, int radius) const {
    const int ci = int(x) / levelbot::kStep, cj = int(y) / levelbot::kStep;
    for (int r = 0; r <= radius; ++r) {
        int best = -1;
        float bestDistance = kNoWay;
        for (int j = cj - r; j <= cj + r; ++j)
            for (int i = ci - r; i <= ci + r; ++i) {
                if (i < 0 || j < 0 || i >= terrain_.columns || j >= terrain_.rows) continue;
                if (std::max(std::abs(i - ci), std::abs(j - cj)) != r) continue; // the ring only
                const int m = terrain_.Index(i, j);
                if (cost_[size_t(m)] >= kNoWay) continue;
                const float d = std::hypot(terrain_.X(m) - x, terrain_.Y(m) - y);
                if (d < bestDistance) bestDistance = d, best = m;
            }
        if (best >= 0) return best;
    }
    return -1;
}

float Route::LengthFrom(float x, float y) const {
    const int node = NodeNear(x, y, 20);
    return node >= 0 ? length_[size_t(node)] + std::hypot(terrain_.X(node) - x, terrain_.Y(node) - y)
                     : kNoWay;
}

Aim Route::AimFrom(float x, float y) const {
    Aim aim;
    const int node = NodeNear(x, y, 20);
    if (node < 0) return aim;
    aim.found = true;
    aim.remaining = length_[size_t(node)] + std::hypot(terrain_.X(node) - x, terrain_.Y(node) - y);
    aim.cap = 4.0f;
    // Walk the way ahead: the spot kAimAhead along, the tightest room within kLookAhead, and how much
    // the way turns between its first stretch and anything further on.
    int at = node, target = node;
    float travelled = 0.0f, firstX = 0.0f, firstY = 0.0f, straightest = 1.0f;
    while (next_[size_t(at)] >= 0 && travelled < kLookAhead) {
        const float wall = terrain_.wall[size_t(at)] - levelbot::kWallHard;
        const float hazard = terrain_.hazard[size_t(at)];
        // Narrow places and hazards near the way ask for a slower ball the closer they are.
        const float nearness = 1.0f - 0.5f * travelled / kLookAhead;
        aim.cap = std::min({aim.cap, (1.4f + 0.12f * wall) / nearness, (0.9f + 0.09f * hazard) / nearness});
        const int n = next_[size_t(at)];
        const float sx = terrain_.X(n) - terrain_.X(at), sy = terrain_.Y(n) - terrain_.Y(at);
        const float step = std::hypot(sx, sy);
        if (travelled < 10.0f) {
            firstX += sx, firstY += sy;
        } else if (float first = std::hypot(firstX, firstY); first > 0.0f) {
            straightest = std::min(straightest, (sx * firstX + sy * firstY) / (step * first));
        }
        travelled += step;
        at = n;
        if (travelled <= kAimAhead) target = n;
    }
    aim.cap = std::min(aim.cap, 1.3f + 3.0f * std::max(0.0f, straightest));
    aim.x = terrain_.X(target);
    aim.y = terrain_.Y(target);
    if (next_[size_t(target)] < 0) aim.cap = std::min(aim.cap, 1.5f); // the goal itself
    return aim;
}

} // namespace playtest
