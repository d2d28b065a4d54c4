#include "tools/playtest/level_plan.h"

#include "tessary/model/ball_set.h"

namespace playtest {

LevelPlan::LevelPlan(const TileGrid& grid, const BallSet& balls)
    : terrain(grid), originX(grid.originX), originY(grid.originY) {
    for (int i = 0; i < balls.balls.count; ++i) {
        const Ball& ball = *balls.balls.items[i];
        if (ball.colour >= kColours || ball.goalX < 0) continue;
        routes[ball.colour] = std::make_unique<Route>(terrain, ball.goalX, ball.goalY);
        startLength[ball.colour] = routes[ball.colour]->LengthFrom(ball.x, ball.y);
    }
}

} // namespace playtest
