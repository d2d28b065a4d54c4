// The tile palette's entries and the special blocks that dimple and generator tiles carry.
#pragma once

#include "framework/animation.h"

class TileGrid;

// Tile types (Tile::type).
enum TileType {
    kTileCheckerboard = -1,
    kTilePlain = 0,
    kTileBall = 1,
    kTileGoal = 2,
    kTileDimple = 3,
    kTileHole = 4,
    kTileGenerator = 6,
    kTileMine = 7,
};

// Ball and goal colours (Tile::colour, Ball::colour); 4 marks the extra balls, which have no goal.
enum BallColour {
    kColourBlue = 0,
    kColourRed = 1,
    kColourGreen = 2,
    kColourYellow = 3,
    kColourExtra = 4,
};

// The size of the tiles' name fields (31 characters and the terminator).
constexpr int kTileTextSize = 32;
// The largest special block kept (cells per side); larger "size" values are clamped.
constexpr int kMaxSpecialSize = 64;
// The largest radius (pixels) and generator rate (seconds) kept; values beyond are clamped.
constexpr int kMaxTileRadius = 1000000;
constexpr int kMaxGeneratorRate = 86400;

// The frames of a special block: size x size cells centred on the cell of its tile, frame i at column
// i mod size and row i div size of the block. The position is the top-left of the tile's cell.
class SpecialSprite : public Animation {
  public:
    int size = 1;
    TileGrid* grid = nullptr;
    // One character per frame in row-major order; '0' leaves that frame out. Empty: every frame.
    char mask[kTileTextSize] = {};

    // Draws each frame of the block whose top-left lies inside the grid's rectangle and whose mask
    // character is not '0'. The position and current frame are the same afterwards.
    void DrawTo(IDirectDrawSurface* target) override;
};

// A dimple's block, with its strength.
class Dimple : public SpecialSprite {
  public:
    float force = 1.0f;
};

// A generator's block, with the seconds between its flashes.
class Generator : public SpecialSprite {
  public:
    int rate = 5;
};

// One palette entry: a cell-sized image with a type and attributes from its INI section. x, y hold the
// cell position (relative to the grid origin) at which it was last placed.
class Tile : public Animation {
  public:
    int index = 0; // palette index
    int type = kTilePlain;
    int size = 1; // cells per side of the special block
    int colour = 0;
    int layer = 0; // index of the tile's own layer, -1 when its "layer" names no layer of the grid
    char section[kTileTextSize] = {};     // its INI section, "p%03d"
    char file[kTileTextSize] = {};        // its image file when loaded from one
    char specialFile[kTileTextSize] = {}; // the special block's bitmap
    char mask[kTileTextSize] = {};        // a generator's "wall" value
    int radius = 0;
    // 1 when special belongs to another tile (Animation::shared is about the frames instead).
    int shared = 0;
    SpecialSprite* special = nullptr; // owned unless shared

    Tile() = default;
    // A positioned copy: frames and special shared with source, attributes copied.
    Tile(const Tile& source);
    ~Tile() override;

    // Reads the attributes of section from iniPath: "layer" (default: key "default" of section "layer",
    // itself "wall"), "radius", "type" and the keys of that type. A ball or goal without "color" shows
    // the box "Bad Attributes!" with the section name. Dimples and generators load their special block
    // from "file", cut into frames of this tile's frame size.
    void ReadAttributes(const char* iniPath, TileGrid& grid);

  private:
    void ReadColour(const char* iniPath);
    void ReadSpecial(const char* iniPath, TileGrid& grid, SpecialSprite* block);
};

// Copies text into a kTileTextSize field, cut to fit and terminated.
void CopyTileText(char (&field)[kTileTextSize], const char* text);
