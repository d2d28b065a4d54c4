// Fuzz target for the level reader: the input is a level file, loaded onto a small grid with a palette
// of every tile type (no display: the grid's lists are built, its surfaces are not). A file the reader
// accepts must write back to the same bytes and leave only palette tiles in the grid; a file it refuses
// must give a reason and leave the level exactly as it was. Any crash, sanitizer report or broken
// promise (abort) is a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tessary/model/level_file.h"
#include "tessary/model/tile_grid.h"
#include "tests/fuzz/fuzz_support.h"

const char* const fuzz::kPromisesOf = "level reader";

namespace {

using fuzz::Require;

// A 6 x 4 grid with the game's layers and one palette tile of each kind.
const char* const kSetupIni = "[grid]\ngridx=120\ngridy=12\ngridw=6\ngridh=4\nwallw=24\nwallh=24\n"
                              "[layer]\nlayer01=dimple\nlayer02=hole\nlayer03=mine\nlayer04=generator\n"
                              "layer05=wall\nlayer06=special\ndefault=wall\n"
                              "[p002]\nlayer=background\n"
                              "[p003]\nlayer=background\ntype=goal\ncolor=0\n"
                              "[p004]\nlayer=wall\n"
                              "[p005]\nlayer=special\ntype=ball\ncolor=1\n"
                              "[p006]\nlayer=special\ntype=ball\ncolor=4\n"
                              "[p007]\nlayer=hole\ntype=hole\nradius=9\n"
                              "[p008]\nlayer=mine\ntype=mine\nradius=10\n"
                              "[p009]\nlayer=dimple\ntype=dimple\nsize=3\nforce=2\nradius=30\n"
                              "[p010]\nlayer=generator\ntype=generator\nsize=3\nwall=111101111\nrate=3\n"
                              "[p011]\nlayer=missing\n";
constexpr int kPaletteTiles = 10; // p002 .. p011

TileGrid& Grid() {
    static TileGrid* grid = [] {
        std::string ini = fuzz::OwnFolder("level") + "/setup.ini";
        std::ofstream(ini) << kSetupIni;
        CreateGrid(ini.c_str());
        TileGrid* made = g_tileGrid;
        for (int i = 0; i < kPaletteTiles; ++i) {
            char section[8];
            std::snprintf(section, sizeof section, "p%03d", i + 2);
            made->AddPaletteTile(nullptr, section)->ReadAttributes(ini.c_str(), *made);
        }
        return made;
    }();
    return *grid;
}

std::vector<uint8_t> Snapshot(const TileGrid& grid) {
    return SerializeLevelFile(grid.ToLevelFile());
}

void CheckCells(const TileGrid& grid) {
    for (int layer = 0; layer < grid.layers.count; ++layer) {
        const PtrArray<Tile>& cells = grid.layers.items[layer]->cells;
        Require(cells.count == grid.CellCount(), "every layer keeps the grid's cell count");
        for (int cell = 0; cell < cells.count; ++cell) {
            const Tile* tile = cells.items[cell];
            if (!tile) continue;
            Require(tile->index >= 0 && tile->index < grid.palette.count, "cell tile index in the palette");
            Require(grid.palette.items[tile->index] == tile, "cell holds a palette tile");
        }
    }
    Require(grid.mines.count <= grid.CellCount() && grid.holes.count <= grid.CellCount(), "lists bounded");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The format alone: what parses writes back to the very same bytes.
    LevelFileData parsed;
    std::string error;
    if (ParseLevelFile(data, size, parsed, error)) {
        Require(SerializeLevelFile(parsed) == std::vector<uint8_t>(data, data + size), "format round trip");
    } else {
        Require(!error.empty(), "a refusal has a reason");
    }

    // On the grid.
    TileGrid& grid = Grid();
    const std::vector<uint8_t> before = Snapshot(grid);
    const int layerBefore = grid.currentLayer;
    if (!grid.LoadLevelData(data, size)) {
        Require(!grid.levelError.empty(), "a refused level has a reason");
        Require(Snapshot(grid) == before, "a refused level changes nothing");
        Require(grid.currentLayer == layerBefore, "a refused level keeps the current layer");
        return 0;
    }
    CheckCells(grid);
    // What the grid holds saves and loads back to itself.
    const std::vector<uint8_t> saved = Snapshot(grid);
    Require(grid.LoadLevelData(saved.data(), saved.size()) == 1, "a saved level loads");
    Require(Snapshot(grid) == saved, "save, load, save gives the same bytes");
    return 0;
}
