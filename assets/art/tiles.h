// The tile palette: one table gives every palette cell its picture and its attributes, so the palette
// bitmap (tiles.bmp) and the tile sections of setup.ini are made from the same rows and cannot disagree.
// Cell k of the bitmap (row-major, kPaletteColumns to a row) is palette index k + 2, section "p%03d".
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "assets/art/art_output.h"

namespace art {

constexpr int kPaletteColumns = 10;
constexpr const char* kTileGridFile = "tiles.bmp";

struct TileEntry {
    std::string name;                  // what it is (a comment in setup.ini)
    std::string layer;                 // its layer
    std::string type;                  // "", "ball", "goal", "dimple", "generator", "hole", "mine"
    int colour = -1;                   // ball and goal colour
    int radius = 0;                    // hole, mine and dimple reach
    int size = 0;                      // dimple and generator block size
    std::string file;                  // the block's bitmap
    float force = 0;                   // dimple strength (negative pushes away)
    std::string wall;                  // generator block mask
    int rate = 0;                      // generator seconds between flashes
    std::function<void(Canvas&)> draw; // paints the cell (kCell x kCell, transparent to start)
    bool opaque = false;               // every pixel must be covered (floors, goals, full walls)
};

// The palette, in cell order.
const std::vector<TileEntry>& TilePalette();

// The [pNNN] sections of setup.ini, one per palette cell.
std::string TileSections();
// A commented table of the palette (index, section, what it is) for the top of setup.ini.
std::string TileIndexComment();

// Writes tiles.bmp and the special blocks' bitmaps.
void WriteTiles(ArtOutput& out);

// Cell pictures reused elsewhere (how-to-play, title art): the palette cell of index (2..).
Canvas TileCanvas(int paletteIndex);
// A special block's picture by its file name ("dimple.bmp", ...).
Canvas SpecialCanvas(const std::string& file);

} // namespace art
