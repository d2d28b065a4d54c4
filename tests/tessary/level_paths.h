// Where a ball can go on a level, for the headless player: the field sampled every kStep pixels with
// each node's distance from walls and from the reach of holes and mines, and for a goal the best way
// home from every node (Dijkstra over the nodes a ball's centre can pass, preferring room to spare).
#pragma once

#include <vector>

class TileGrid;

namespace levelbot {

constexpr int kStep = 2; // pixels between nodes
// A ball's centre must stay this far from every solid pixel's centre (its radius and a pixel) and
// this far outside the reach of holes and mines.
constexpr float kWallHard = 11.5f;
constexpr float kHazardHard = 5.0f;

class Terrain {
  public:
    int columns = 0, rows = 0;
    std::vector<float> wall;    // distance to the nearest solid pixel (the field's edges are solid)
    std::vector<float> hazard;  // distance to the nearest reach of a hole or mine
    std::vector<float> penalty; // extra cost per pixel inside bumps and bowls

    // Measures grid's collision mask (rebuilt, with its surfaces) and hazard lists.
    explicit Terrain(const TileGrid& grid);

    int Index(int i, int j) const { return i + j * columns; }
    // The field position (pixels from the grid origin) of a node.
    float X(int node) const { return float((node % columns) * kStep) + 1.0f; }
    float Y(int node) const { return float((node / columns) * kStep) + 1.0f; }
    // The value of the node nearest to field position (x, y) (clamped to the field).
    float At(const std::vector<float>& values, float x, float y) const;

  private:
    void MeasureWalls(const TileGrid& grid);
    void MeasureHazards(const TileGrid& grid);
};

class PathField {
  public:
    std::vector<float> cost;   // cost of the best way to the goal (infinite: no way)
    std::vector<float> length; // its length in pixels
    std::vector<int> next;     // the next node on it (-1 at the goal and where there is no way)

    // The ways to the goal at field position (goalX, goalY). terrain must outlive the field.
    PathField(const Terrain& terrain, int goalX, int goalY);

    bool Reachable(int node) const;
    // The node nearest to (x, y) within 20 pixels that has a way to the goal, or -1.
    int NodeNear(float x, float y) const;

  private:
    bool Free(int node) const;
    float Weight(int node) const;

    const Terrain& terrain_;
};

} // namespace levelbot
