#include "level_paths.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <queue>

#include "framework/surface_helpers.h"
#include "tessary/model/tile_grid.h"

namespace levelbot {

namespace {

constexpr float kInfinity = 1e30f;
constexpr float kFar = 1e20f; // "no solid sample yet" in the distance transform

// Squared distance transform along one line (Felzenszwalb and Huttenlocher's lower envelope of
// parabolas): f holds 0 at solid samples and kFar elsewhere; out gets the squared distance to the
// nearest solid sample.
void DistanceLine(const std::vector<float>& f, std::vector<float>& out) {
    const int n = int(f.size());
    std::vector<int> v(size_t(n), 0);
    std::vector<float> z(size_t(n) + 1, 0.0f);
    auto crossing = [&f](int q, int p) {
        return ((f[size_t(q)] + float(q) * float(q)) - (f[size_t(p)] + float(p) * float(p))) /
               (2.0f * float(q - p));
    };
    int k = 0;
    z[0] = -kInfinity;
    z[1] = kInfinity;
    for (int q = 1; q < n; ++q) {
        float s = crossing(q, v[size_t(k)]);
        while (k > 0 && s <= z[size_t(k)]) {
            --k;
            s = crossing(q, v[size_t(k)]);
        }
        ++k;
        v[size_t(k)] = q;
        z[size_t(k)] = s;
        z[size_t(k) + 1] = kInfinity;
    }
    out.assign(size_t(n), 0.0f);
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[size_t(k) + 1] < float(q))
            ++k;
        const int p = v[size_t(k)];
        out[size_t(q)] = float(q - p) * float(q - p) + f[size_t(p)];
    }
}

// Marks the solid pixels of grid's collision mask in f (w = width + 2 columns: a one-pixel border).
void MarkSolid(const TileGrid& grid, std::vector<float>& f, int w) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    const void* bits = LockSurface(grid.collisionSurface, &desc);
    if (!bits) return;
    const uint16_t transparent = uint16_t(RGBToPixel(grid.collisionSurface, 0, 0, 255));
    const auto* pixels = static_cast<const uint16_t*>(bits);
    const size_t pitch = size_t(desc.lPitch / 2);
    for (int y = 0; y < grid.height && y < int(desc.dwHeight); ++y)
        for (int x = 0; x < grid.width && x < int(desc.dwWidth); ++x)
            if (pixels[size_t(y) * pitch + size_t(x)] != transparent)
                f[size_t(x + 1) + size_t(y + 1) * size_t(w)] = 0.0f;
    UnlockSurface(grid.collisionSurface);
}

} // namespace

Terrain::Terrain(const TileGrid& grid) {
    columns = grid.width / kStep;
    rows = grid.height / kStep;
    MeasureWalls(grid);
    MeasureHazards(grid);
}

float Terrain::At(const std::vector<float>& values, float x, float y) const {
    const int i = std::clamp(int(x) / kStep, 0, columns - 1);
    const int j = std::clamp(int(y) / kStep, 0, rows - 1);
    return values[size_t(Index(i, j))];
}

void Terrain::MeasureWalls(const TileGrid& grid) {
    const int w = grid.width + 2, h = grid.height + 2;
    std::vector<float> f(size_t(w) * size_t(h), kFar);
    for (int x = 0; x < w; ++x)
        f[size_t(x)] = f[size_t(x) + size_t(h - 1) * size_t(w)] = 0.0f;
    for (int y = 0; y < h; ++y)
        f[size_t(y) * size_t(w)] = f[size_t(w - 1) + size_t(y) * size_t(w)] = 0.0f;
    MarkSolid(grid, f, w);
    // The transform along every column, then along every row, gives the exact squared distance.
    std::vector<float> line(static_cast<size_t>(h)), out;
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y)
            line[size_t(y)] = f[size_t(x) + size_t(y) * size_t(w)];
        DistanceLine(line, out);
        for (int y = 0; y < h; ++y)
            f[size_t(x) + size_t(y) * size_t(w)] = out[size_t(y)];
    }
    for (int y = 0; y < h; ++y) {
        line.assign(f.begin() + ptrdiff_t(y) * w, f.begin() + ptrdiff_t(y + 1) * w);
        DistanceLine(line, out);
        std::copy(out.begin(), out.end(), f.begin() + ptrdiff_t(y) * w);
    }
    wall.assign(size_t(columns) * size_t(rows), 0.0f);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            // Node (i, j) is field pixel (i * kStep + 1, j * kStep + 1), one more in f for the border.
            const size_t px = size_t(i * kStep + 2), py = size_t(j * kStep + 2);
            wall[size_t(Index(i, j))] = std::sqrt(f[px + py * size_t(w)]);
        }
}

void Terrain::MeasureHazards(const TileGrid& grid) {
    hazard.assign(size_t(columns) * size_t(rows), kInfinity);
    penalty.assign(size_t(columns) * size_t(rows), 0.0f);
    auto reach = [this](int cx, int cy, int radius) {
        for (size_t n = 0; n < hazard.size(); ++n) {
            const float d = std::hypot(X(int(n)) - float(cx), Y(int(n)) - float(cy)) - float(radius);
            hazard[n] = std::min(hazard[n], d);
        }
    };
    for (int i = 0; i < grid.holes.count; ++i)
        reach(grid.holes.items[i]->x, grid.holes.items[i]->y, grid.holes.items[i]->radius);
    for (int i = 0; i < grid.mines.count; ++i)
        reach(grid.mines.items[i]->x, grid.mines.items[i]->y, grid.mines.items[i]->radius);
    // Bumps throw a ball off its way and bowls drag at it: better round them than across.
    for (int i = 0; i < grid.dimples.count; ++i) {
        const DimpleEntry& d = *grid.dimples.items[i];
        for (size_t n = 0; n < penalty.size(); ++n)
            if (std::hypot(X(int(n)) - float(d.x), Y(int(n)) - float(d.y)) < float(d.radius))
                penalty[n] += d.force < 0.0f ? 2.0f : 0.5f;
    }
}

PathField::PathField(const Terrain& terrain, int goalX, int goalY) : terrain_(terrain) {
    const size_t count = size_t(terrain.columns) * size_t(terrain.rows);
    cost.assign(count, kInfinity);
    length.assign(count, kInfinity);
    next.assign(count, -1);
    const int goal = terrain.Index(std::clamp(goalX / kStep, 0, terrain.columns - 1),
                                   std::clamp(goalY / kStep, 0, terrain.rows - 1));
    using Item = std::pair<float, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> open;
    cost[size_t(goal)] = 0.0f;
    length[size_t(goal)] = 0.0f;
    open.push({0.0f, goal});
    const int di[8] = {1, -1, 0, 0, 1, 1, -1, -1};
    const int dj[8] = {0, 0, 1, -1, 1, -1, 1, -1};
    while (!open.empty()) {
        const auto [c, node] = open.top();
        open.pop();
        if (c > cost[size_t(node)]) continue;
        const int i = node % terrain.columns, j = node / terrain.columns;
        for (int k = 0; k < 8; ++k) {
            const int ni = i + di[k], nj = j + dj[k];
            if (ni < 0 || nj < 0 || ni >= terrain.columns || nj >= terrain.rows) continue;
            const int m = terrain.Index(ni, nj);
            if (!Free(m)) continue;
            const float step = (k < 4 ? 1.0f : 1.41421356f) * float(kStep);
            const float nc = c + step * Weight(m);
            if (nc >= cost[size_t(m)]) continue;
            cost[size_t(m)] = nc;
            length[size_t(m)] = length[size_t(node)] + step;
            next[size_t(m)] = node;
            open.push({nc, m});
        }
    }
}

bool PathField::Free(int node) const {
    return terrain_.wall[size_t(node)] >= kWallHard && terrain_.hazard[size_t(node)] >= kHazardHard;
}

float PathField::Weight(int node) const {
    const float wall = terrain_.wall[size_t(node)];
    const float hazard = terrain_.hazard[size_t(node)];
    return 1.0f + 0.35f * std::max(0.0f, 17.0f - wall) + 0.25f * std::max(0.0f, 20.0f - hazard) +
           terrain_.penalty[size_t(node)];
}

bool PathField::Reachable(int node) const {
    return cost[size_t(node)] < kInfinity;
}

int PathField::NodeNear(float x, float y) const {
    const int ci = int(x) / kStep, cj = int(y) / kStep;
    for (int r = 0; r <= 10; ++r) {
        int best = -1;
        float bestDistance = kInfinity;
        for (int j = cj - r; j <= cj + r; ++j)
            for (int i = ci - r; i <= ci + r; ++i) {
                if (i < 0 || j < 0 || i >= terrain_.columns || j >= terrain_.rows) continue;
                const int m = terrain_.Index(i, j);
                const float d = std::hypot(terrain_.X(m) - x, terrain_.Y(m) - y);
                if (Reachable(m) && d < bestDistance) bestDistance = d, best = m;
            }
        if (best >= 0) return best;
    }
    return -1;
}

} // namespace levelbot
