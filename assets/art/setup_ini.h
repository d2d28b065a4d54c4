// setup.ini of the game: the readable template from the repository with the tile palette filled in.
#pragma once

#include <string>

namespace art {

// The template's text with @TILE_GRID@, @TILE_INDEX@ and @TILE_SECTIONS@ replaced. Empty when a
// placeholder is missing (the template and the generator no longer agree).
std::string MakeSetupIni(const std::string& templateText);

} // namespace art
