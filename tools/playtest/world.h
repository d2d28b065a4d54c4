// The game model as the tool plays it: a temporary folder holding a copy of the package's game folder
// (setup.ini, the bitmaps, Levels/) as the current folder, the headless engine in an 800x600 window,
// and one grid and ball set per worker thread, each loaded with the level being measured.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tessary/model/ball_set.h"
#include "tessary/model/tile_grid.h"

namespace playtest {

class World {
  public:
    World() = default;
    // Frees the balls, grids and engine and removes the temporary folder.
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Copies gameFolder, starts the engine and makes workers grids from setup.ini. False with the
    // reason in error.
    bool Start(const std::string& gameFolder, int workers, std::string& error);
    // Loads Levels/NNN.lev into every worker's grid and builds its balls (main thread only: loading
    // makes surfaces and reads the physics settings). False with the reason.
    bool LoadLevel(int level, std::string& error);

    TileGrid& Grid(int worker) { return *grids_[size_t(worker)]; }
    BallSet& Balls(int worker) { return *balls_[size_t(worker)]; }
    // Held while balls are made or freed: the engine's surface list is shared by every thread.
    std::mutex surfaces;

  private:
    std::string previousFolder_, folder_;
    bool engine_ = false;
    std::vector<std::unique_ptr<TileGrid>> grids_;
    std::vector<std::unique_ptr<BallSet>> balls_;
};

// The level names of the maps in folder (NNN.txt, "name = ..."), by level number (index 0 unused);
// a missing map or name gives "".
std::vector<std::string> ReadLevelNames(const std::string& folder, int levels);

} // namespace playtest
