// The shipped level files read back through the game's own reader: the exact format for this grid,
// a byte-exact round trip through the writer, and what every level needs before play can start (one
// ball and one goal of each colour, real floor everywhere, no ball starting on a wall, in a hole's or
// mine's reach, on its own goal or touching another ball). The 50 levels are all different.
#include <cmath>
#include <set>

#include "level_package.h"

namespace {

using levelpackage::kLevelCount;

// The ball frame's half width: a ball this close to its goal is in it.
constexpr int kGoalReach = 12;

// Whether any solid pixel of the collision mask lies within radius of (x, y).
bool TouchesWall(const TileGrid& grid, float x, float y, int radius) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    const void* bits = LockSurface(grid.collisionSurface, &desc);
    if (!bits) return false;
    const uint16_t transparent = uint16_t(RGBToPixel(grid.collisionSurface, 0, 0, 255));
    const auto* pixels = static_cast<const uint16_t*>(bits);
    bool touches = false;
    for (int py = int(y) - radius; py <= int(y) + radius && !touches; ++py)
        for (int px = int(x) - radius; px <= int(x) + radius; ++px) {
            if (px < 0 || py < 0 || px >= int(desc.dwWidth) || py >= int(desc.dwHeight)) continue;
            if (std::hypot(float(px) + 0.5f - x, float(py) + 0.5f - y) > float(radius)) continue;
            if (pixels[size_t(py) * size_t(desc.lPitch / 2) + size_t(px)] != transparent) touches = true;
        }
    UnlockSurface(grid.collisionSurface);
    return touches;
}

int CountTiles(const TileGrid& grid, const char* layer, int type, int colour) {
    const GridLayer* cells = grid.layers.items[grid.FindLayer(layer)];
    int n = 0;
    for (int i = 0; i < cells->cells.count; ++i) {
        const Tile* tile = cells->cells.items[i];
        n += tile && tile->type == type && tile->colour == colour;
    }
    return n;
}

using LevelFilesTest = levelpackage::PackageTest;

TEST_F(LevelFilesTest, EveryLevelReadsBackWholeAndCanStart) {
    TileGrid& grid = *g_tileGrid;
    ASSERT_GE(grid.FindLayer("special"), 0);
    ASSERT_GE(grid.FindLayer("background"), 0);
    std::set<std::vector<uint8_t>> distinct;
    for (int level = 1; level <= kLevelCount; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        const std::vector<uint8_t> bytes = gametest::ReadBytes(levelpackage::PackageLevel(level).string());
        LevelFileData file;
        std::string error;
        ASSERT_TRUE(ParseLevelFile(bytes.data(), bytes.size(), file, error)) << error;
        ASSERT_EQ(int(file.layers.size()), grid.layers.count);
        for (int i = 0; i < grid.layers.count; ++i) {
            EXPECT_EQ(file.layers[size_t(i)].name, grid.layers.items[i]->name);
            EXPECT_EQ(int(file.layers[size_t(i)].cells.size()), grid.CellCount());
        }
        ASSERT_EQ(grid.LoadLevel(levelpackage::GameLevelPath(level).c_str()), 1) << grid.levelError;
        EXPECT_EQ(SerializeLevelFile(grid.ToLevelFile()), bytes);
        distinct.insert(bytes);

        // Real floor (or a goal) under every cell: never the checkerboard.
        const GridLayer& background = *grid.layers.items[grid.FindLayer("background")];
        for (int cell = 0; cell < grid.CellCount(); ++cell) {
            const Tile* tile = background.cells.items[cell];
            ASSERT_TRUE(tile && tile->index > 1) << "cell " << cell;
        }
        for (int colour = kColourBlue; colour <= kColourYellow; ++colour) {
            EXPECT_EQ(CountTiles(grid, "special", kTileBall, colour), 1) << "balls of colour " << colour;
            EXPECT_EQ(CountTiles(grid, "background", kTileGoal, colour), 1) << "goals of colour " << colour;
        }

        g_ballSet.BuildFromGrid(&grid);
        ASSERT_GE(g_ballSet.balls.count, 4);
        for (int i = 0; i < g_ballSet.balls.count; ++i) {
            const Ball& ball = *g_ballSet.balls.items[i];
            SCOPED_TRACE("ball of colour " + std::to_string(ball.colour));
            EXPECT_FALSE(TouchesWall(grid, ball.x, ball.y, g_physics.ballWidth / 2));
            for (int h = 0; h < grid.holes.count; ++h)
                EXPECT_FALSE(ball.Within(float(grid.holes.items[h]->x), float(grid.holes.items[h]->y),
                                         float(grid.holes.items[h]->radius)));
            for (int m = 0; m < grid.mines.count; ++m)
                EXPECT_FALSE(ball.Within(float(grid.mines.items[m]->x), float(grid.mines.items[m]->y),
                                         float(grid.mines.items[m]->radius)));
            if (ball.colour <= kColourYellow) {
                EXPECT_GE(ball.goalX, 0);
                EXPECT_FALSE(ball.Within(float(ball.goalX), float(ball.goalY), float(kGoalReach)));
            }
            for (int j = i + 1; j < g_ballSet.balls.count; ++j)
                EXPECT_FALSE(ball.Overlaps(*g_ballSet.balls.items[j])) << "with ball " << j;
        }
    }
    EXPECT_EQ(int(distinct.size()), kLevelCount);
}

} // namespace
