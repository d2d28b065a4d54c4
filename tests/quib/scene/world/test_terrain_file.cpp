// The .dpm terrain file: the exact byte layout, save/load round trips that give the same bytes, and
// files that do not describe a tile refused with the tile left as it was.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "quib/quib.h"
#include "quib/scene/world/dpm_file.h"
#include "quib/scene/world/terrain.h"
#include "tests/quib/bitmap_test_support.h"
#include "tests/support/files.h"

using bmptest::EngineDisplayTest;
using testsupport::Le16;
using testsupport::Le32;

namespace {

float F32At(const std::vector<uint8_t>& bytes, size_t at) {
    const uint32_t bits = Le32(bytes, at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void PutLe32At(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

class TerrainFileTest : public EngineDisplayTest {
  protected:
    // A 4 x 3 tile with uneven heights and a texture name, saved as "tile.dpm"; its bytes.
    std::vector<uint8_t> SaveShapedTile() {
        Terrain tile(nullptr, nullptr);
        EXPECT_EQ(1, tile.Init(2.0f, -3.0f, 8.0f, 6.0f, 4, 3));
        DPSubMesh& sub = tile.m_geo->subMeshes[0];
        for (int i = 0; i < sub.vertexCount; ++i)
            sub.vertices[i].y = float(i * i % 7) * 0.25f;
        sub.compute_extents(); // as an elevation map leaves it: normals of the shaped grid
        std::strcpy(tile.m_textureName, "ground.bmp");
        EXPECT_EQ(1, tile.Save("tile.dpm"));
        return testsupport::ReadBytes("tile.dpm");
    }

    // Writes bytes as "bad.dpm" and loads them into a tile that already holds a 1 x 1 grid: the load
    // must fail and leave that grid.
    void ExpectRefused(const std::vector<uint8_t>& bytes, const char* why) {
        testsupport::WriteBytes("bad.dpm", bytes);
        Terrain tile(nullptr, nullptr);
        ASSERT_EQ(1, tile.Init(0, 0, 1, 1, 1, 1));
        const DPMeshGeo* geo = tile.m_geo;
        EXPECT_EQ(0, tile.Load("bad.dpm")) << why;
        EXPECT_EQ(geo, tile.m_geo) << why;
        EXPECT_EQ(1, tile.m_cols) << why;
        EXPECT_EQ(1.0f, tile.m_sizeX) << why;
        void* handle = &tile;
        EXPECT_EQ(0, QuibLoadTerrain("bad.dpm", &handle)) << why;
        EXPECT_EQ(nullptr, handle) << why;
    }
};

} // namespace

TEST_F(TerrainFileTest, OneCellTileHasTheExactLayout) {
    Terrain tile(nullptr, nullptr);
    ASSERT_EQ(1, tile.Init(0.0f, 0.0f, 10.0f, 20.0f, 1, 1));
    std::strcpy(tile.m_textureName, "grass.bmp");
    ASSERT_EQ(1, tile.Save("one.dpm"));
    const std::vector<uint8_t> bytes = testsupport::ReadBytes("one.dpm");
    ASSERT_EQ(440u, bytes.size());
    EXPECT_EQ(10.0f, F32At(bytes, 12));
    EXPECT_EQ(20.0f, F32At(bytes, 16));
    EXPECT_EQ(5.0f, F32At(bytes, 20));
    EXPECT_EQ(10.0f, F32At(bytes, 24));
    EXPECT_EQ(1u, Le32(bytes, 28));
    EXPECT_EQ(1u, Le32(bytes, 32));
    EXPECT_EQ("grass.bmp", std::string(reinterpret_cast<const char*>(&bytes[36])));
    for (size_t at = 36 + 9; at < 292; ++at)
        ASSERT_EQ(0, bytes[at]) << "name padding at " << at;
    EXPECT_EQ(4u, Le32(bytes, 292));
    EXPECT_EQ(2u, Le32(bytes, 296));
    // Vertex 1 is (10, 0, 0), texture (1, 0), normal up.
    EXPECT_EQ(10.0f, F32At(bytes, 332));
    EXPECT_EQ(1.0f, F32At(bytes, 332 + 12));
    EXPECT_EQ(1.0f, F32At(bytes, 332 + 24));
    // Vertex 3 is (10, 0, 20); the first triangle (1, 2, 3).
    EXPECT_EQ(20.0f, F32At(bytes, 300 + 3 * 32 + 8));
    EXPECT_EQ(1u, Le16(bytes, 428));
    EXPECT_EQ(2u, Le16(bytes, 430));
    EXPECT_EQ(3u, Le16(bytes, 432));
}

TEST_F(TerrainFileTest, LoadedTileSavesTheSameBytesAndKeepsItsTextureName) {
    const std::vector<uint8_t> saved = SaveShapedTile();
    ASSERT_EQ(300u + 20 * 32 + 24 * 6, saved.size());
    void* handle = nullptr;
    ASSERT_EQ(1, QuibLoadTerrain("tile.dpm", &handle));
    Terrain* tile = static_cast<Terrain*>(handle);
    EXPECT_EQ(2.0f, tile->m_originX);
    EXPECT_EQ(-3.0f, tile->m_originZ);
    EXPECT_EQ(6.0f, tile->m_centreX);
    EXPECT_EQ(4, tile->m_cols);
    EXPECT_EQ(3, tile->m_rows);
    EXPECT_STREQ("ground.bmp", tile->m_textureName);
    EXPECT_EQ(1.0f, tile->m_geo->subMeshes[0].vertices[5].y); // 25 % 7 = 4
    ASSERT_EQ(1, QuibSaveTerrain("again.dpm", tile));
    EXPECT_EQ(saved, testsupport::ReadBytes("again.dpm"));
    delete tile;
}

TEST_F(TerrainFileTest, FilesThatDoNotDescribeATileAreRefused) {
    const std::vector<uint8_t> good = SaveShapedTile();
    ExpectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 299), "header cut short");
    ExpectRefused(std::vector<uint8_t>(good.begin(), good.end() - 1), "triangles cut short");
    std::vector<uint8_t> bad = good;
    PutLe32At(bad, 292, 19);
    ExpectRefused(bad, "vertex count not the grid's");
    bad = good;
    PutLe32At(bad, 28, 0);
    ExpectRefused(bad, "no columns");
    bad = good;
    PutLe32At(bad, 12, 0);
    ExpectRefused(bad, "size 0");
    bad = good;
    PutLe32At(bad, 0, 0x7F800000);
    ExpectRefused(bad, "origin x infinite");
    bad = good;
    bad[300 + 20 * 32 + 2] = 20; // second index of the first triangle
    ExpectRefused(bad, "triangle index past the vertices");
    bad = good;
    std::memset(&bad[36], 'a', 256);
    ExpectRefused(bad, "name not terminated");
    // 182 x 182 cells need 66,248 triangles: more than 16 bits count.
    bad = std::vector<uint8_t>(300, 0);
    PutLe32At(bad, 12, 0x3F800000);
    PutLe32At(bad, 16, 0x3F800000);
    PutLe32At(bad, 28, 182);
    PutLe32At(bad, 32, 182);
    PutLe32At(bad, 292, 183 * 183);
    PutLe32At(bad, 296, 2 * 182 * 182);
    ExpectRefused(bad, "counts overflow 16 bits");
    ExpectRefused({}, "empty file");
}

TEST_F(TerrainFileTest, GridsThatCannotBeSavedAreNotBuilt) {
    Terrain tile(nullptr, nullptr);
    EXPECT_EQ(0, tile.Init(0, 0, 1, 1, 0, 4));
    EXPECT_EQ(0, tile.Init(0, 0, 1, 1, 4, 0));
    EXPECT_EQ(0, tile.Init(0, 0, 1, 1, 182, 182));
    EXPECT_EQ(0, tile.Init(0, 0, 0, 1, 4, 4));
    EXPECT_EQ(nullptr, tile.m_geo);
    EXPECT_EQ(0, tile.Save("none.dpm"));
    EXPECT_FALSE(std::filesystem::exists("none.dpm"));
    EXPECT_TRUE(DpmGridFits(181, 181)); // 65,522 triangles
    EXPECT_FALSE(DpmGridFits(182, 182));
    EXPECT_TRUE(DpmGridFits(1, 32766)); // 65,534 vertices
    EXPECT_FALSE(DpmGridFits(1, 32767));
    void* handle = &tile;
    EXPECT_EQ(0, QuibInitTerrain(0, 0, 1, 1, 0, 1, nullptr, &handle));
    EXPECT_EQ(nullptr, handle);
    EXPECT_EQ(0, QuibLoadTerrain("missing.dpm", &handle));
}

TEST_F(TerrainFileTest, BytesAfterTheTrianglesAreNotRead) {
    std::vector<uint8_t> longer = SaveShapedTile();
    const std::vector<uint8_t> saved = longer;
    longer.insert(longer.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    testsupport::WriteBytes("longer.dpm", longer);
    void* handle = nullptr;
    ASSERT_EQ(1, QuibLoadTerrain("longer.dpm", &handle));
    Terrain* tile = static_cast<Terrain*>(handle);
    EXPECT_EQ(24, tile->m_geo->subMeshes[0].triangleCount);
    ASSERT_EQ(1, QuibSaveTerrain("again.dpm", tile)); // the tile as the file holds it, nothing more
    EXPECT_EQ(saved, testsupport::ReadBytes("again.dpm"));
    delete tile;
}
