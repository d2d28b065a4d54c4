#include "assets/levels/levelgen/level_builder.h"

namespace levels {

namespace {

constexpr int kColours = 4;
const char* const kColourNames[kColours] = {"blue", "red", "green", "yellow"};

std::string At(int column, int row) {
    return "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1);
}

// The palette index a legend entry stands for in this level, checked against the palette.
bool Resolve(const LegendEntry& entry, const LevelMap& map, const SetupPalette& palette, int& index,
             std::string& error) {
    index = entry.index == kLevelFloor ? map.floor : entry.index == kLevelAccent ? map.accent : entry.index;
    auto tile = palette.tiles.find(index);
    if (tile == palette.tiles.end()) {
        error = "palette tile " + std::to_string(index) + " (" + entry.what + ") is not in setup.ini";
        return false;
    }
    const PaletteTile& t = tile->second;
    if (t.layer != entry.layer || t.type != entry.type || (entry.colour >= 0 && t.colour != entry.colour)) {
        error = "palette tile " + std::to_string(index) + " is layer \"" + t.layer + "\", type \"" + t.type +
                "\", colour " + std::to_string(t.colour) + " in setup.ini, but the legend expects " +
                entry.what + " (layer \"" + entry.layer + "\", type \"" + entry.type + "\")";
        return false;
    }
    if (palette.LayerIndex(t.layer) < 0) {
        error = "palette tile " + std::to_string(index) + " belongs to layer \"" + t.layer +
                "\", which setup.ini does not list";
        return false;
    }
    return true;
}

// Balls and goals seen so far, by colour.
struct ColourCounts {
    int balls[kColours] = {};
    int goals[kColours] = {};
};

bool CheckColours(const ColourCounts& counts, std::string& error) {
    const auto& balls = counts.balls;
    const auto& goals = counts.goals;
    for (int c = 0; c < kColours; ++c) {
        if (balls[c] != 1 || goals[c] != 1) {
            error = std::string("the level needs exactly one ") + kColourNames[c] + " ball and one " +
                    kColourNames[c] + " goal; it has " + std::to_string(balls[c]) + " and " +
                    std::to_string(goals[c]);
            return false;
        }
    }
    return true;
}

// Puts the tiles of one map character into cell: each in its own layer, on the level's floor unless
// the character brings its own background tile.
bool PlaceCell(const std::vector<LegendEntry>& parts, const LevelMap& map, const SetupPalette& palette,
               size_t cell, int floorIndex, LevelFileData& out, ColourCounts& counts, std::string& error) {
    out.layers[0].cells[cell] = floorIndex;
    for (const LegendEntry& part : parts) {
        int index = 0;
        if (!Resolve(part, map, palette, index, error)) return false;
        const PaletteTile& tile = palette.tiles.at(index);
        out.layers[size_t(palette.LayerIndex(tile.layer))].cells[cell] = index;
        if (tile.colour >= 0 && tile.colour < kColours) {
            if (tile.type == "ball") ++counts.balls[tile.colour];
            if (tile.type == "goal") ++counts.goals[tile.colour];
        }
    }
    return true;
}

} // namespace

bool BuildLevel(const LevelMap& map, const Legend& legend, const SetupPalette& palette, LevelFileData& out,
                std::string& error) {
    if (int(map.rows.size()) != palette.rows) {
        error = "the map has " + std::to_string(map.rows.size()) + " rows, the grid " +
                std::to_string(palette.rows);
        return false;
    }
    LegendEntry floorEntry{kLevelFloor, "background", "", -1, "the level's floor"};
    int floorIndex = 0;
    if (!Resolve(floorEntry, map, palette, floorIndex, error)) return false;

    const size_t cellCount = size_t(palette.columns) * size_t(palette.rows);
    out.layers.clear();
    for (const std::string& name : palette.layers)
        out.layers.push_back({name, std::vector<int32_t>(cellCount, -1)});

    ColourCounts counts;
    for (int row = 0; row < palette.rows; ++row) {
        const std::string& line = map.rows[size_t(row)];
        if (int(line.size()) != palette.columns) {
            error = "row " + std::to_string(row + 1) + " has " + std::to_string(line.size()) +
                    " characters, the grid " + std::to_string(palette.columns);
            return false;
        }
        for (int column = 0; column < palette.columns; ++column) {
            const size_t cell = size_t(column) + size_t(row) * size_t(palette.columns);
            auto entry = legend.find(line[size_t(column)]);
            if (entry == legend.end()) {
                error =
                    At(column, row) + ": the legend has no '" + std::string(1, line[size_t(column)]) + "'";
                return false;
            }
            if (!PlaceCell(entry->second, map, palette, cell, floorIndex, out, counts, error)) {
                error = At(column, row) + ": " + error;
                return false;
            }
        }
    }
    return CheckColours(counts, error);
}

} // namespace levels
