// The way home a player sees for one ball: over the field sampled every two pixels (the level test's
// Terrain: distances from walls and from the reach of holes and mines), the cheapest way from every
// point to the goal, where cheap means short with room to spare from walls and hazards and round
// bumps and bowls rather than across. From a point it gives the spot to head for a little way along,
// how far is left and how fast a ball may go there.
#pragma once

#include <vector>

#include "tests/tessary/level_paths.h"

namespace playtest {

// Room a player likes to keep between a ball's centre and the reach of a hole or mine (pixels); the
// way goes closer only where there is no other.
constexpr float kHazardRoom = 24.0f;

struct Aim {
    bool found = false; // the point lies on or near a way home
    float x = 0.0f;     // the spot to head for (field pixels)
    float y = 0.0f;
    float remaining = 0.0f; // length of the way still to go (pixels)
    float cap = 0.0f;       // the speed the way allows ahead (pixels per frame)
};

class Route {
  public:
    // The ways to the goal at field point (goalX, goalY); terrain must outlive the route.
    Route(const levelbot::Terrain& terrain, int goalX, int goalY);

    // What a player heading home from field point (x, y) aims at; not found when no way passes within
    // 40 pixels.
    Aim AimFrom(float x, float y) const;
    // The length of the way home from (x, y), or a very large number when there is none.
    float LengthFrom(float x, float y) const;

  private:
    int NodeNear(float x, float y, int radius) const;
    float Weight(int node) const;

    const levelbot::Terrain& terrain_;
    std::vector<float> cost_;
    std::vector<float> length_;
    std::vector<int> next_;
};

} // namespace playtest
