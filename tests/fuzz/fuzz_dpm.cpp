// Fuzz target for the .dpm terrain reader: the input becomes a file that a tile loads (no display, so
// the named texture is not looked for). A file the reader accepts must hold a grid the tile can use
// and save back to the same bytes (the name's unused tail zeroed, the normals as the tile computes
// them); the saved file must load and save again unchanged. The loaded tile then answers ground
// queries and builds its coarser versions and border heights. A refused file must leave the tile
// as it was. A crash, sanitizer report or broken promise (abort) is a finding.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "quib/scene/world/dpm_file.h"
#include "quib/scene/world/terrain.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/files.h"

const char* const fuzz::kPromisesOf = "terrain reader";

namespace {

using fuzz::Require;

constexpr size_t kMaxInput = 1 << 20;
constexpr size_t kNameOffset = 36;
constexpr size_t kNormalOffset = 20; // nx, ny, nz of a vertex record

// The input as the tile must save it: the name's tail after its terminator zeroed and the normals
// taken from the saved file (the tile computes its own).
std::vector<uint8_t> Expected(const uint8_t* data, size_t size, const std::vector<uint8_t>& saved) {
    std::vector<uint8_t> expected(data, data + size);
    const size_t length = strnlen(reinterpret_cast<const char*>(data + kNameOffset), kDpmNameSize);
    std::memset(&expected[kNameOffset + length], 0, kDpmNameSize - length);
    const uint32_t vertices = uint32_t(expected[292]) | uint32_t(expected[293]) << 8;
    for (uint32_t i = 0; i < vertices; ++i) {
        const size_t at = kDpmHeaderBytes + kDpmVertexBytes * i + kNormalOffset;
        std::memcpy(&expected[at], &saved[at], 12);
    }
    return expected;
}

// Ground queries over the tile, its borders and its corners, and the detail chain with its borders.
void UseTile(Terrain& tile) {
    const float xs[] = {tile.m_originX, tile.m_originX + tile.m_sizeX / 3, tile.m_originX + tile.m_sizeX};
    const float zs[] = {tile.m_originZ, tile.m_originZ + tile.m_sizeZ / 2, tile.m_originZ + tile.m_sizeZ};
    for (float x : xs)
        for (float z : zs) {
            D3DVECTOR out;
            tile.FindIntersection(x, z, out);
        }
    tile.InitLODVertices();
    tile.MakeLowDetailVersions(1);
    for (Terrain* t = &tile; t; t = t->m_lowDetail) {
        Require(t->m_cols >= 1 && t->m_rows >= 1, "every level has cells");
        t->InitLODVertices();
        for (int edge = 0; edge < 4; ++edge)
            Require(t->LoadEdge(edge, 1) == 1 && t->LoadEdge(edge, 0) == 1, "border heights load");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return 0;
    const std::string& folder = fuzz::OwnFolder("dpm");
    const std::string input = folder + "/fuzz.dpm", saved = folder + "/saved.dpm",
                      again = folder + "/again.dpm";
    if (!fuzz::WriteInput(input, data, size)) return 0;

    Terrain tile(nullptr, nullptr);
    Require(tile.Init(0, 0, 1, 1, 1, 1) == 1, "a 1 x 1 tile");
    const DPMeshGeo* before = tile.m_geo;
    if (!tile.Load(input.c_str())) {
        Require(tile.m_geo == before && tile.m_cols == 1 && tile.m_rows == 1 && tile.m_sizeX == 1.0f,
                "a refused file leaves the tile");
        return 0;
    }
    Require(DpmGridFits(tile.m_cols, tile.m_rows), "the grid fits 16-bit counts");
    Require(tile.m_geo->subMeshes[0].vertexCount == (tile.m_cols + 1) * (tile.m_rows + 1),
            "the grid's vertices");
    Require(size == 300 + 32 * size_t(tile.m_geo->subMeshes[0].vertexCount) +
                        6 * size_t(tile.m_geo->subMeshes[0].triangleCount),
            "the file is the grid");

    Require(tile.Save(saved.c_str()) == 1, "a loaded tile saves");
    const std::vector<uint8_t> first = testsupport::ReadBytes(saved);
    Require(first.size() == size && first == Expected(data, size, first), "saved as read");
    Terrain copy(nullptr, nullptr);
    Require(copy.Load(saved.c_str()) == 1, "a saved tile loads");
    Require(copy.Save(again.c_str()) == 1, "a reloaded tile saves");
    Require(testsupport::ReadBytes(again) == first, "save, load, save gives the same bytes");

    UseTile(tile);
    return 0;
}
