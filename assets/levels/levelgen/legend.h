// The legend of the level maps: which palette tile each map character stands for, and what that tile
// must be (its layer, type and colour in setup.ini), so that a changed palette stops the build instead
// of silently turning walls into goals.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace levels {

struct LegendEntry {
    // The palette index, or one of the level's own floors (kLevelFloor, kLevelAccent) set by its header.
    int index = 0;
    std::string layer; // the layer the tile must belong to
    std::string type;  // its type ("" plain)
    int colour = -1;   // its colour, -1 when it has none
    std::string what;  // description
};

// Stand-ins for the two floors a map header chooses.
constexpr int kLevelFloor = -2;
constexpr int kLevelAccent = -3;

// Each character stands for one tile, or for a few tiles of different layers (a goal in a bowl).
using Legend = std::map<char, std::vector<LegendEntry>>;

// Reads the legend: one entry a line, "CHAR INDEX LAYER TYPE COLOUR DESCRIPTION", '-' for no type or
// colour, INDEX "floor" or "accent" for the level's floors; ';' starts a comment line. A character
// given on several lines stands for all their tiles. False with the reason in error on a malformed
// line or a character given twice for the same layer.
bool ReadLegend(const std::string& path, Legend& out, std::string& error);

} // namespace levels
