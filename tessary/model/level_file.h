// The level file format: for each layer of the tile grid, its name and the palette index of every cell.
// Binary, little-endian, no header:
//   int32 layer count; per layer: name bytes + 0x00, int32 cell count, int32 index per cell (-1 empty).
// This part reads and writes the bytes only; checking a file against a grid is the grid's job.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The longest layer name a grid keeps (its name buffers hold 32 bytes with the terminator).
constexpr int kLayerNameMax = 31;
// Limits of a file that is read before any grid looks at it, so a hostile count cannot make the reader
// reserve memory the file does not back.
constexpr int kLevelMaxLayers = 1024;
constexpr int kLevelMaxCells = 1 << 20;
constexpr size_t kLevelFileMaxBytes = size_t(64) << 20;

// One layer of a level file.
struct LevelLayerData {
    std::string name;
    std::vector<int32_t> cells;
};

// A whole level file, layers in file order.
struct LevelFileData {
    std::vector<LevelLayerData> layers;
};

// Parses a level file. True with out filled when every byte belongs to the format: a layer count from
// 0 to kLevelMaxLayers, names of at most kLayerNameMax characters each ended by a zero byte, cell counts
// from 0 to kLevelMaxCells, all cells present and nothing after the last layer. Else false with a
// one-line reason in error and out left empty.
bool ParseLevelFile(const uint8_t* data, size_t size, LevelFileData& out, std::string& error);

// The bytes of a level file holding level.
std::vector<uint8_t> SerializeLevelFile(const LevelFileData& level);
