// A headless player for the shipped levels. It runs the game's play step on the real model (Play) and
// steers one ball at a time to its goal along a planned path (PathField), choosing each frame only what
// a player chooses: where the pointer is and whether the left button is held. Every other ball is
// pulled too, as in the game, so the pointer's distance along the wanted direction is picked to keep
// the waiting balls away from holes, mines and each other. The balls are tried in the order r, g, b, y
// first; when a ball is lost or cannot be brought home the search backs up to another order, within a
// budget of simulated frames.
#pragma once

#include <string>

class TileGrid;

namespace levelbot {

struct SolveResult {
    bool solved = false;
    int frames = 0;          // play frames of the winning run (from "new" to the last goal)
    int framesSimulated = 0; // every frame the search ran, failed tries included
    std::string order;       // colour letters in the order the balls reached their goals
    std::string failure;     // why the search gave up
};

// Plays the level loaded into grid (rebuilt, with g_ballSet built from it and g_physics loaded) until
// it is solved or frameBudget frames have been simulated. Leaves the balls in their final state.
SolveResult SolveLevel(TileGrid& grid, int frameBudget);

} // namespace levelbot
