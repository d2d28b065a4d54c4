// A level's readable source: a few header lines and an ASCII map, one character per cell.
//
//   ; comment
//   name   = Four Rooms
//   teaches = rooms and walls
//   floor  = 2            palette index of '.'
//   accent = 4            palette index of ','
//   map
//   ############################      then exactly one line per grid row
#pragma once

#include <string>
#include <vector>

namespace levels {

struct LevelMap {
    std::string name;
    std::string teaches; // what the level introduces (for the level list)
    int floor = 2;
    int accent = 4;
    std::vector<std::string> rows;
};

// Reads the map file at path. False with the reason (file:line) in error when a header line is not
// "key = value" of a known key or the map is missing.
bool ReadLevelMap(const std::string& path, LevelMap& out, std::string& error);

} // namespace levels
