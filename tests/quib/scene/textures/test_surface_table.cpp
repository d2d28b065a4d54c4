// The surface table as the 3D loaders use it: texture files loaded into entries, the device-format
// copy chosen by the device's texture formats, lookups by name, software mip chains, Retained Mode
// textures, and the release of every surface when the table is emptied.
#include "tests/quib/bitmap_test_support.h"
#include "tests/support/surface_table_fixture.h"
#include "host/rm/d3drm.h"
#include "host/rm/texture.h"
#include "quib/platform/surface_convert.h"
#include "quib/scene/textures/mip_chain.h"
#include "quib/scene/textures/surface_table.h"
#include "quib/scene/textures/texture_cache.h"

using namespace bmptest;

namespace {

class SurfaceTableTest : public testsupport::SurfaceTableFixture {
  protected:
    // A 24-bit file of width x height whose pixel (x, y) is colour(x, y).
    template <class Colour>
    static void WriteRgbFile(const std::string& name, int width, int height, Colour colour) {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(colour(x, y));
        WriteBytes(name, BuildBmp(Picture24(width, height, pixels)));
    }

    // An 8-bit file of 4 x 2 pixels, indices 0..7, with a table of 8 colours.
    static void WriteIndexedFile(const std::string& name) {
        BmpFields bmp;
        bmp.width = 4;
        bmp.height = 2;
        bmp.bitCount = 8;
        bmp.colorsUsed = 8;
        for (int i = 0; i < 8; ++i)
            AddColour(bmp.table, uint8_t(i * 32), uint8_t(255 - i * 32), uint8_t(i == 0 ? 0 : 128));
        bmp.pixels = {4, 5, 6, 7, 0, 1, 2, 3}; // bottom row first
        WriteBytes(name, BuildBmp(bmp));
    }

    static SurfaceTableEntry* Load(const char* name) {
        SurfaceTableEntry* entry = new SurfaceTableEntry(name);
        EXPECT_EQ(1, g_pSurfaceTable->Add(entry));
        return entry;
    }

    static int Bits(IDirectDrawSurface* surface) {
        return int(Describe(surface).ddpfPixelFormat.dwRGBBitCount);
    }
};

} // namespace

TEST_F(SurfaceTableTest, NamesAreFoundExactlyAndTheEarlierDuplicateWins) {
    WriteRgbFile("wall.bmp", 4, 4, [](int, int) { return 0x808080u; });
    SurfaceTableEntry* first = Load("wall.bmp");
    SurfaceTableEntry* second = Load("wall.bmp");
    EXPECT_EQ(first, g_pSurfaceTable->FindByName("wall.bmp"));
    EXPECT_NE(second, first);
    EXPECT_EQ(nullptr, g_pSurfaceTable->FindByName("WALL.bmp"));
    EXPECT_EQ(nullptr, g_pSurfaceTable->FindByName("wall"));
    EXPECT_EQ(first->m_surface, QuibGetSurface("wall.bmp"));
    EXPECT_EQ(nullptr, QuibGetSurface("Wall.bmp"));
    EXPECT_EQ(nullptr, QuibGetSurface(nullptr));
    EXPECT_EQ(second, g_pSurfaceTable->FindBySurface(second->m_surface));
    EXPECT_EQ(2, g_pSurfaceTable->m_entries.GetCount());
}

TEST_F(SurfaceTableTest, SixteenBitFileIsItsOwnDeviceCopyWithoutEightBitTextures) {
    WriteRgbFile("rock.bmp", 8, 4, [](int x, int) { return x < 4 ? 0xFF0000u : 0x0000FFu; });
    SurfaceTableEntry* entry = Load("rock.bmp");
    ASSERT_NE(nullptr, entry->m_surface);
    EXPECT_EQ(entry->m_surface, entry->m_surfaceSM);
    EXPECT_EQ(2u, CountOf(entry->m_surface)); // m_surface and m_surfaceSM
    EXPECT_EQ(8 * 4 * 2, entry->m_usage);
    EXPECT_EQ(nullptr, entry->m_texture);
    EXPECT_EQ(nullptr, entry->m_cacheEntry); // no immediate-mode device yet
    const std::string log = ReadLog();
    EXPECT_NE(std::string::npos,
              log.find("LoadBitmapFromFile(rock.bmp)\nSurfaceTableEntry::CreateVideoMemorySurface\n"));
}

TEST_F(SurfaceTableTest, EightBitFileGetsADisplayFormatCopyKeyedAtZero) {
    WriteIndexedFile("pal.bmp");
    SurfaceTableEntry* entry = Load("pal.bmp");
    ASSERT_NE(nullptr, entry->m_surfaceSM);
    EXPECT_EQ(8, Bits(entry->m_surface));
    EXPECT_EQ(16, Bits(entry->m_surfaceSM));
    EXPECT_EQ(1u, CountOf(entry->m_surfaceSM));
    DDCOLORKEY key = {9, 9};
    ASSERT_EQ(DD_OK, entry->m_surfaceSM->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0u, key.dwColorSpaceLowValue);
    // Top row: indices 0..3; index 0 stays 0, index 1 = (32, 223, 128) -> 5-6-5 (4, 55, 16).
    const std::vector<uint32_t> pixels = Pixels(entry->m_surfaceSM);
    EXPECT_EQ(0u, pixels[0]);
    EXPECT_EQ(uint32_t(4 << 11 | 55 << 5 | 16), pixels[1]);
    EXPECT_EQ(4 * 2 * 1, entry->m_usage);
}

TEST_F(SurfaceTableTest, WithEightBitTexturesSixteenBitFilesAreConvertedAndEightBitFilesKept) {
    g_b8BitTextures = 1;
    EXPECT_EQ(1, Quib8BitTextures());
    // The loader's default key is the raw pixel 255 (blue 31, green 7): give one pixel that colour.
    WriteRgbFile("keyed.bmp", 4, 1, [](int x, int) { return x == 2 ? 0x001CF8u : 0xFFFFFFu; });
    WriteIndexedFile("pal.bmp");
    SurfaceTableEntry* keyed = Load("keyed.bmp");
    SurfaceTableEntry* indexed = Load("pal.bmp");
    EXPECT_EQ(16, Bits(keyed->m_surface));
    ASSERT_NE(nullptr, keyed->m_surfaceSM);
    EXPECT_EQ(8, Bits(keyed->m_surfaceSM));
    EXPECT_EQ((std::vector<uint32_t>{0, 0, 1, 0}), Pixels(keyed->m_surfaceSM));
    DDCOLORKEY key = {9, 9};
    ASSERT_EQ(DD_OK, keyed->m_surfaceSM->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(1u, key.dwColorSpaceLowValue);
    EXPECT_EQ(indexed->m_surface, indexed->m_surfaceSM);
    const std::string log = ReadLog();
    EXPECT_NE(std::string::npos, log.find("SurfaceTableEntry::CreateVideoMemorySurface : Convert\n"
                                          "SurfaceTableEntry::CreateVideoMemorySurface : Convert done\n"));
}

TEST_F(SurfaceTableTest, MissingFileLeavesAnEmptyEntryAndRegistersTheName) {
    SurfaceTableEntry* entry = Load("nothere.bmp");
    EXPECT_EQ(nullptr, entry->m_surface);
    EXPECT_EQ(nullptr, entry->m_surfaceSM);
    EXPECT_EQ(0, entry->m_usage);
    EXPECT_STREQ("SurfaceTableEntry::LoadBitmapFromFile failed for <nothere.bmp>\n\n", g_ErrorText);
    EXPECT_EQ(1, QuibUpdateSurface("nothere.bmp"));
}

TEST_F(SurfaceTableTest, FreeingTheTableReleasesEverySurfaceAndKeepsTheTable) {
    const int before = HostDDrawLiveObjects().surfaces;
    WriteRgbFile("a.bmp", 64, 64, [](int x, int y) { return uint32_t(x * 4 << 16 | y * 4 << 8 | 0x40); });
    WriteIndexedFile("b.bmp");
    Load("a.bmp")->MakeMipMaps();
    Load("b.bmp")->MakeMipMaps();
    SurfaceTable* table = g_pSurfaceTable;
    EXPECT_GT(HostDDrawLiveObjects().surfaces, before + 2);
    QuibFreeSurfaceTable();
    EXPECT_EQ(before, HostDDrawLiveObjects().surfaces);
    EXPECT_EQ(table, g_pSurfaceTable);
    EXPECT_EQ(0, g_pSurfaceTable->m_entries.GetCount());
    EXPECT_NE(std::string::npos, ReadLog().find("QuibFreeSurfaceTable(" + Ptr(table) + ")\n"));
    Load("a.bmp");
    EXPECT_NE(nullptr, QuibGetSurface("a.bmp"));
}

TEST_F(SurfaceTableTest, UpdateSurfaceTellsTheRetainedModeTextureOrReportsAMissingName) {
    WriteRgbFile("sky.bmp", 32, 32, [](int, int) { return 0x3060F0u; });
    SurfaceTableEntry* entry = Load("sky.bmp");
    EXPECT_EQ(0, QuibUpdateSurface("nope"));
    EXPECT_STREQ("QuibUpdateSurface: can't find surface\n", g_ErrorText);
    EXPECT_EQ(1, QuibUpdateSurface("sky.bmp")); // no texture yet: nothing to tell
    ASSERT_EQ(1, entry->MakeMipMaps());
    ASSERT_EQ(1, entry->SetMipMapLevel(0));
    ASSERT_NE(nullptr, entry->m_texture);
    EXPECT_EQ(1, QuibUpdateSurface("sky.bmp"));
    EXPECT_EQ(1, HostRMTexture::From(entry->m_texture)->PixelChanges());
    EXPECT_EQ(0, HostRMTexture::From(entry->m_texture)->PaletteChanges());
    EXPECT_EQ(entry, g_pSurfaceTable->FindByTexture(entry->m_texture));
}

TEST_F(SurfaceTableTest, MipChainHalvesDownTo32PixelsWithBoxFilteredLevels) {
    WriteRgbFile("big.bmp", 256, 256,
                 [](int x, int y) { return uint32_t((x & 0xF8) << 16 | (y & 0xFC) << 8 | 0x80); });
    WriteRgbFile("small.bmp", 32, 32, [](int, int) { return 0xFFFFFFu; });
    SurfaceTableEntry* big = Load("big.bmp");
    SurfaceTableEntry* small = Load("small.bmp");
    EXPECT_EQ(0, big->m_mipMapped);
    ASSERT_EQ(1, big->MakeMipMaps());
    ASSERT_EQ(1, small->MakeMipMaps());
    EXPECT_EQ(1, big->m_mipMapped);
    ASSERT_EQ(4, big->m_mipChain->LevelCount());
    const int widths[] = {256, 128, 64, 32};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(widths[i], big->m_mipChain->Level(i)->width);
        EXPECT_EQ(widths[i], big->m_mipChain->Level(i)->height);
        EXPECT_NE(nullptr, big->m_mipChain->Level(i)->texture);
    }
    EXPECT_EQ(big->m_surface, big->m_mipChain->Level(0)->surface);
    EXPECT_EQ(1, small->m_mipChain->LevelCount());
    // Usage counts the full size twice: m_surface and level 0.
    EXPECT_EQ(2 * (256 * 256 * 2) + 128 * 128 * 2 + 64 * 64 * 2 + 32 * 32 * 2, big->GetTextureUsage());
    EXPECT_NE(std::string::npos, ReadLog().find("MakeMipMaps : make SW mipmapsurface\n"));

    // Level 2 (64 x 64) is the box filter of the full surface, with the full surface's key.
    IDirectDrawSurface* expected = MakeSurface(64, 64, 16);
    ASSERT_EQ(1, CopySurfaceScaled(nullptr, big->m_surface, expected));
    IDirectDrawSurface* level2 = big->m_mipChain->Level(2)->surface;
    EXPECT_EQ(Pixels(expected), Pixels(level2));
    DDCOLORKEY key = {};
    ASSERT_EQ(DD_OK, level2->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(255u, key.dwColorSpaceLowValue);
    expected->Release();

    ASSERT_EQ(1, big->SetMipMapLevel(10));
    EXPECT_EQ(big->m_mipChain->Level(3)->surface, big->m_surface);
    EXPECT_EQ(big->m_mipChain->Level(3)->texture, big->m_texture);
    ASSERT_EQ(1, big->SetMipMapLevel(-2));
    EXPECT_EQ(big->m_mipChain->Level(0)->surface, big->m_surface);
}

TEST_F(SurfaceTableTest, MipChainOfAWideTextureStopsBeforeRowsRunOut) {
    WriteRgbFile("wide.bmp", 256, 4, [](int, int) { return 0x204060u; });
    SurfaceTableEntry* wide = Load("wide.bmp");
    ASSERT_EQ(1, wide->MakeMipMaps());
    ASSERT_EQ(3, wide->m_mipChain->LevelCount()); // 256x4, 128x2, 64x1
    EXPECT_EQ(1, wide->m_mipChain->Level(2)->height);
}

TEST_F(SurfaceTableTest, MipChainOfAnEightBitFileIsFilteredFromItsSixteenBitCopy) {
    BmpFields bmp;
    bmp.width = 64;
    bmp.height = 64;
    bmp.bitCount = 8;
    bmp.colorsUsed = 2;
    AddColour(bmp.table, 0, 0, 0);
    AddColour(bmp.table, 255, 255, 255);
    bmp.pixels.assign(64 * 64, 1);
    WriteBytes("pal64.bmp", BuildBmp(bmp));
    SurfaceTableEntry* entry = Load("pal64.bmp");
    ASSERT_EQ(1, entry->MakeMipMaps());
    ASSERT_EQ(2, entry->m_mipChain->LevelCount());
    EXPECT_EQ(8, Bits(entry->m_mipChain->Level(0)->surface));
    IDirectDrawSurface* level1 = entry->m_mipChain->Level(1)->surface;
    EXPECT_EQ(16, Bits(level1));
    EXPECT_EQ(std::vector<uint32_t>(32 * 32, 0xFFFF), Pixels(level1));
}

TEST_F(SurfaceTableTest, TransparencyReachesEveryRetainedModeTextureOfTheTable) {
    WriteRgbFile("t.bmp", 64, 64, [](int, int) { return 0x102030u; });
    SurfaceTableEntry* entry = Load("t.bmp");
    ASSERT_EQ(1, entry->MakeMipMaps());
    QuibSetTextureTransparency(1);
    for (int i = 0; i < entry->m_mipChain->LevelCount(); ++i)
        EXPECT_EQ(TRUE, entry->m_mipChain->Level(i)->texture->GetDecalTransparency());
    QuibSetTextureTransparency(0);
    EXPECT_EQ(FALSE, entry->m_mipChain->texture->GetDecalTransparency());
    EXPECT_NE(std::string::npos, ReadLog().find("SetDecalTransparency()..."));
}

TEST_F(SurfaceTableTest, WrappedSurfacesAndTexturesAreHeldByTheirEntries) {
    IDirectDrawSurface* surface = MakeSurface(16, 16, 16);
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(D3DRM_OK, g_lpD3DRM2->CreateTextureFromSurface(surface, &texture));
    SurfaceTableEntry* wrapped = new SurfaceTableEntry(surface);
    EXPECT_EQ(surface, wrapped->m_surfaceSM);
    EXPECT_EQ(4u, CountOf(surface)); // caller, texture, m_surface, m_surfaceSM
    SurfaceTableEntry* named = new SurfaceTableEntry("named", surface, texture);
    EXPECT_EQ(2u, CountOf(texture));
    g_pSurfaceTable->Add(wrapped);
    g_pSurfaceTable->Add(named);
    EXPECT_EQ(named, g_pSurfaceTable->FindByTexture(texture));
    QuibFreeSurfaceTable();
    EXPECT_EQ(0u, texture->Release());
    EXPECT_EQ(0u, surface->Release());
}

TEST_F(SurfaceTableTest, SizedEntryMakesAKeyedDisplayFormatCopyOnly) {
    SurfaceTableEntry entry(8, 4);
    ASSERT_NE(nullptr, entry.m_surfaceSM);
    EXPECT_EQ(nullptr, entry.m_surface);
    EXPECT_EQ(16, Bits(entry.m_surfaceSM));
    EXPECT_EQ(8u, Describe(entry.m_surfaceSM).dwWidth);
    DDCOLORKEY key = {9, 9};
    EXPECT_EQ(DD_OK, entry.m_surfaceSM->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0u, key.dwColorSpaceLowValue);
}

TEST_F(SurfaceTableTest, LostSurfacesAreRestoredWithTheirLogLines) {
    WriteRgbFile("l.bmp", 64, 64, [](int, int) { return 0x102030u; });
    SurfaceTableEntry* entry = Load("l.bmp");
    ASSERT_EQ(1, entry->MakeMipMaps());
    HostDDrawMarkAllSurfacesLost();
    EXPECT_EQ(1, g_pSurfaceTable->RestoreAll());
    EXPECT_EQ(DD_OK, entry->m_surface->IsLost());
    EXPECT_EQ(DD_OK, entry->m_mipChain->Level(1)->surface->IsLost());
    const std::string log = ReadLog();
    EXPECT_NE(std::string::npos, log.find("Surface Lost, Restoring\n"));
}

TEST_F(SurfaceTableTest, HardwareStyleChainFromAComplexMipMapSurface) {
    IDirectDrawSurface* source = MakeSurface(64, 64, 16);
    SetPixels(source, std::vector<uint32_t>(64 * 64, 0x1234));
    PtrArray<IDirectDrawSurface> attached(1);
    IDirectDrawSurface* top = BuildMipChain(g_lpDD, source, &attached);
    ASSERT_NE(nullptr, top);
    ASSERT_EQ(2, attached.GetCount()); // 64, then 32 and 16
    EXPECT_EQ(32u, Describe(attached.GetAt(0)).dwWidth);
    EXPECT_EQ(16u, Describe(attached.GetAt(1)).dwWidth);
    EXPECT_EQ(std::vector<uint32_t>(16 * 16, 0x1234), Pixels(attached.GetAt(1)));

    g_dwTextureFilterCaps = 9; // the chooser takes the hardware chain
    MipMapChain* chain = new MipMapChain();
    ASSERT_EQ(1, chain->Create(top));
    ASSERT_EQ(3, chain->LevelCount());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(64 >> i, chain->Level(i)->width);
        EXPECT_NE(nullptr, chain->Level(i)->texture);
    }
    EXPECT_EQ(attached.GetAt(1), chain->Level(2)->surface);
    EXPECT_NE(std::string::npos, ReadLog().find(">InitHW(): current->Release()="));
    delete chain;
    for (int i = 0; i < attached.GetCount(); ++i)
        attached.GetAt(i)->Release();
    EXPECT_EQ(0u, top->Release());
    source->Release();
}

TEST_F(SurfaceTableTest, ReduceReplacesTheSurfacesBySmallerOnes) {
    WriteRgbFile("r.bmp", 64, 32, [](int, int) { return 0x808080u; });
    SurfaceTableEntry* entry = Load("r.bmp");
    const int before = HostDDrawLiveObjects().surfaces;
    ASSERT_EQ(1, entry->Reduce(2));
    EXPECT_EQ(16u, Describe(entry->m_surface).dwWidth);
    EXPECT_EQ(8u, Describe(entry->m_surface).dwHeight);
    EXPECT_EQ(entry->m_surface, entry->m_surfaceSM);
    EXPECT_EQ(16 * 8 * 2, entry->m_usage);
    EXPECT_EQ(before, HostDDrawLiveObjects().surfaces); // the old one went, the new one came
    EXPECT_EQ(0, entry->Reduce(-1));
}
