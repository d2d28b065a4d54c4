// Level files on the tile grid: saving every layer, and loading a file only after it has been checked
// whole against the grid, so a malformed or foreign file changes nothing.
#include <cstdio>
#include <memory>
#include <vector>

#include "host/win/messagebox.h"
#include "host/win/paths.h"
#include "tessary/model/tile_grid.h"

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

} // namespace

LevelFileData TileGrid::ToLevelFile() const {
    LevelFileData level;
    level.layers.resize(size_t(layers.count));
    for (int i = 0; i < layers.count; ++i) {
        const GridLayer* layer = layers.items[i];
        LevelLayerData& out = level.layers[size_t(i)];
        out.name = layer->name;
        out.cells.resize(size_t(layer->cells.count));
        for (int cell = 0; cell < layer->cells.count; ++cell) {
            const Tile* tile = layer->cells.items[cell];
            out.cells[size_t(cell)] = tile ? tile->index : -1;
        }
    }
    return level;
}

int TileGrid::SaveLevel(const char* path) {
    levelError.clear();
    std::vector<uint8_t> bytes = SerializeLevelFile(ToLevelFile());
    FilePtr file(path ? HostOpenFile(path, "wb+") : nullptr);
    bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    if (file && std::fclose(file.release()) != 0) written = false;
    if (!written) {
        levelError = std::string("can't write the level file ") + (path ? path : "");
        MessageBoxA(nullptr, path ? path : "", "Can't save file...", MB_OK);
        return 0;
    }
    return 1;
}

bool TileGrid::CheckLevel(const LevelFileData& level, std::string& error) const {
    if (int(level.layers.size()) > layers.count) {
        error = "level file has " + std::to_string(level.layers.size()) + " layers, the grid only " +
                std::to_string(layers.count);
        return false;
    }
    for (const LevelLayerData& layer : level.layers) {
        if (FindLayer(layer.name.c_str()) < 0) {
            error = "level file names a layer \"" + layer.name + "\" that the grid does not have";
            return false;
        }
        if (int(layer.cells.size()) != CellCount()) {
            error = "layer \"" + layer.name + "\" has " + std::to_string(layer.cells.size()) +
                    " cells, the grid " + std::to_string(CellCount());
            return false;
        }
        for (size_t cell = 0; cell < layer.cells.size(); ++cell) {
            int32_t index = layer.cells[cell];
            if (index < -1 || index >= palette.count) {
                error = "layer \"" + layer.name + "\" cell " + std::to_string(cell) + " holds tile " +
                        std::to_string(index) + ", outside the palette of " + std::to_string(palette.count);
                return false;
            }
        }
    }
    return true;
}

void TileGrid::ApplyLevel(const LevelFileData& level) {
    ClearLayers();
    for (const LevelLayerData& layer : level.layers) {
        const int layerIndex = FindLayer(layer.name.c_str());
        SelectLayerIndex(layerIndex);
        for (size_t i = 0; i < layer.cells.size(); ++i) {
            const int cell = int(i);
            if (layer.cells[i] == -1) {
                cells->items[cell] = nullptr;
                continue;
            }
            SetCell(layer.cells[i], cell);
            // The tile went to its own layer; empty entries that follow belong to the file's layer.
            SelectLayerIndex(layerIndex);
            Tile* tile = palette.items[layer.cells[i]];
            int cx = 0, cy = 0;
            CellPosition(cell, cx, cy);
            tile->SetPosition(cx, cy);
        }
    }
}

int TileGrid::LoadLevelData(const uint8_t* data, size_t size) {
    LevelFileData level;
    std::string error;
    if (!ParseLevelFile(data, size, level, error) || !CheckLevel(level, error)) {
        levelError = error;
        return 0;
    }
    levelError.clear();
    ApplyLevel(level);
    Rebuild();
    return 1;
}

int TileGrid::LoadLevel(const char* path) {
    FilePtr file(path ? HostOpenFile(path, "rb") : nullptr);
    if (!file) {
        levelError = std::string("can't open the level file ") + (path ? path : "");
        return 0;
    }
    std::vector<uint8_t> bytes;
    if (!HostReadWholeFile(file.get(), kLevelFileMaxBytes, bytes)) {
        levelError = std::string("can't read the level file ") + path + " (unreadable or too large)";
        return 0;
    }
    if (!LoadLevelData(bytes.data(), bytes.size())) {
        levelError = std::string(path) + ": " + levelError;
        return 0;
    }
    return 1;
}
