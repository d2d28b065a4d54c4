// Turns a level map into the cells of a level file: each character becomes its palette tile in the
// tile's own layer, with the level's floor under everything that is not itself a floor or a goal.
#pragma once

#include <string>

#include "assets/levels/levelgen/legend.h"
#include "assets/levels/levelgen/level_map.h"
#include "assets/levels/levelgen/setup_palette.h"
#include "tessary/model/level_file.h"

namespace levels {

// Builds the level of map: one layer per layer of palette, in its order, columns x rows cells each.
// False with the reason in error when the map does not fit the grid, uses a character the legend lacks,
// names a tile the palette does not have or has differently, or does not hold exactly one ball and one
// goal of each of the four colours.
bool BuildLevel(const LevelMap& map, const Legend& legend, const SetupPalette& palette, LevelFileData& out,
                std::string& error);

} // namespace levels
