// What the level generator needs of the game's setup.ini: the grid's size, its layers in file order
// and, for every palette tile, the layer, type and colour its section gives. The levels are bound to
// this palette, so each map character is checked against it before a file is written.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace levels {

// A palette tile as its section "p%03d" describes it.
struct PaletteTile {
    std::string layer; // its own layer (the [layer] default when the section has none)
    std::string type;  // "", "ball", "goal", "dimple", "generator", "hole", "mine"
    int colour = -1;   // ball and goal colour, -1 when not given
};

struct SetupPalette {
    int columns = 0, rows = 0;
    // "background" first, then layer01, layer02, ... of section "layer".
    std::vector<std::string> layers;
    // Palette index (2 ..) -> tile; only indices with a section.
    std::map<int, PaletteTile> tiles;

    // The index of the layer called name, or -1.
    int LayerIndex(const std::string& name) const;
};

// Reads setup.ini at path. False with a one-line reason in error when the file cannot be read or lacks
// the grid size or the layer list.
bool ReadSetupPalette(const std::string& path, SetupPalette& out, std::string& error);

} // namespace levels
