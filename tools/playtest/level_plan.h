// What a player can see of a level before playing it: the field's walls and hazards and the way home
// of each coloured ball. Made once per level from a loaded grid and shared, read only, by every
// worker thread.
#pragma once

#include <memory>

#include "tools/playtest/game_step.h"
#include "tools/playtest/route.h"

class BallSet;

namespace playtest {

struct LevelPlan {
    // grid holds the level (rebuilt) and balls were built from it.
    LevelPlan(const TileGrid& grid, const BallSet& balls);

    levelbot::Terrain terrain;
    std::unique_ptr<Route> routes[kColours]; // NULL for a colour without a ball or goal
    float startLength[kColours] = {};        // the way home's length from each ball's start
    int originX = 0, originY = 0;            // the grid's top-left on the screen
};

} // namespace playtest
