// Texture conversions between 16-bit and 8-bit palettised surfaces, the mip-level box filter, the mirror
// row copy and the tile cutter, with values worked out by hand.
#include <filesystem>

#include "quib/platform/surface_convert.h"
#include "tests/quib/bitmap_test_support.h"

using namespace bmptest;

namespace {

class SurfaceConvertTest : public EngineDisplayTest {
  protected:
    // An 8-bit surface holding pixels, with a palette of entries (the rest black).
    static IDirectDrawSurface* MakeIndexed(int width, int height, const std::vector<uint32_t>& pixels,
                                           const std::vector<PALETTEENTRY>& entries) {
        IDirectDrawSurface* surface = MakeSurface(width, height, 8);
        PALETTEENTRY all[256] = {};
        for (size_t i = 0; i < entries.size(); ++i)
            all[i] = entries[i];
        IDirectDrawPalette* palette = nullptr;
        EXPECT_EQ(g_lpDD->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, all, &palette, nullptr), DD_OK);
        EXPECT_EQ(surface->SetPalette(palette), DD_OK);
        palette->Release();
        SetPixels(surface, pixels);
        return surface;
    }

    static std::vector<PALETTEENTRY> PaletteOf(IDirectDrawSurface* surface) {
        std::vector<PALETTEENTRY> entries(256);
        IDirectDrawPalette* palette = nullptr;
        EXPECT_EQ(surface->GetPalette(&palette), DD_OK);
        if (!palette) return entries;
        palette->GetEntries(0, 0, 256, entries.data());
        palette->Release();
        return entries;
    }

    static bool KeyOf(IDirectDrawSurface* surface, DWORD& key) {
        DDCOLORKEY value = {};
        if (surface->GetColorKey(DDCKEY_SRCBLT, &value) != DD_OK) return false;
        key = value.dwColorSpaceLowValue;
        EXPECT_EQ(value.dwColorSpaceLowValue, value.dwColorSpaceHighValue);
        return true;
    }

    static void SetKey(IDirectDrawSurface* surface, DWORD key) {
        DDCOLORKEY value = {key, key};
        ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, &value), DD_OK);
    }

    static uint16_t Rgb565(int r, int g, int b) { return uint16_t(r << 11 | g << 5 | b); }

    static DDPIXELFORMAT Argb(DWORD a, DWORD r, DWORD g, DWORD b) {
        DDPIXELFORMAT format = {};
        format.dwSize = sizeof format;
        format.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
        format.dwRGBBitCount = 16;
        format.dwRGBAlphaBitMask = a;
        format.dwRBitMask = r;
        format.dwGBitMask = g;
        format.dwBBitMask = b;
        return format;
    }
    static DDPIXELFORMAT Argb4444() { return Argb(0xF000, 0x0F00, 0x00F0, 0x000F); }
    static DDPIXELFORMAT Argb1555() { return Argb(0x8000, 0x7C00, 0x03E0, 0x001F); }

    static IDirectDrawSurface* MakeFormatSurface(int width, int height, const DDPIXELFORMAT& format) {
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(DD_OK, CreateSystemTexture(width, height, &format, &surface));
        return surface;
    }
};

} // namespace

TEST_F(SurfaceConvertTest, SixteenToEightBuildsThePaletteInFirstSeenOrderAndFullPaletteMapsTo255) {
    // 300 distinct colours: red 0..9 x green 0..29 (5-6-5 channel values), in row order.
    std::vector<uint32_t> pixels;
    for (int i = 0; i < 300; ++i)
        pixels.push_back(Rgb565(i / 30 + 1, i % 30, 3));
    IDirectDrawSurface* source = MakeSurface(20, 15, 16);
    SetPixels(source, pixels);
    IDirectDrawSurface* out = reinterpret_cast<IDirectDrawSurface*>(1);
    ASSERT_EQ(1, ConvertSurface(source, &out));
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(8u, Describe(out).ddpfPixelFormat.dwRGBBitCount);
    const std::vector<uint32_t> indices = Pixels(out);
    const std::vector<PALETTEENTRY> palette = PaletteOf(out);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(uint32_t(i), indices[i]);
        EXPECT_EQ((i / 30 + 1) * 8, palette[i].peRed);
        EXPECT_EQ((i % 30) * 4, palette[i].peGreen);
        EXPECT_EQ(24, palette[i].peBlue);
    }
    for (int i = 256; i < 300; ++i)
        EXPECT_EQ(255u, indices[i]);
    DWORD key = 0;
    EXPECT_FALSE(KeyOf(out, key)); // the source had no key
    out->Release();
    source->Release();
}

TEST_F(SurfaceConvertTest, SixteenToEightCarriesTheKeyAsTheIndexOfItsColour) {
    IDirectDrawSurface* source = MakeSurface(3, 1, 16);
    SetPixels(source, {0xFFFF, 0x001F, 0xF800});
    SetKey(source, 0xF800); // red, the third colour seen
    IDirectDrawSurface* out = nullptr;
    ASSERT_EQ(1, ConvertSurface(source, &out));
    DWORD key = 99;
    ASSERT_TRUE(KeyOf(out, key));
    EXPECT_EQ(2u, key);
    out->Release();

    SetKey(source, 0x07E0); // green is not in the picture: no key
    ASSERT_EQ(1, ConvertSurface(source, &out));
    EXPECT_FALSE(KeyOf(out, key));
    out->Release();
    source->Release();
}

TEST_F(SurfaceConvertTest, ConversionsRefuseTheWrongDepthAndClearTheOutput) {
    IDirectDrawSurface* indexed = MakeIndexed(2, 2, {0, 1, 2, 3}, {{1, 2, 3, 0}});
    IDirectDrawSurface* rgb = MakeSurface(2, 2, 16);
    IDirectDrawSurface* noPalette = MakeSurface(2, 2, 8);
    IDirectDrawSurface* out = rgb;
    EXPECT_EQ(0, ConvertSurface(indexed, &out));
    EXPECT_EQ(nullptr, out);
    out = rgb;
    EXPECT_EQ(0, ConvertSurfaceToRGBA(rgb, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0, ConvertSurfaceToRGBA(noPalette, &out));
    EXPECT_EQ(0, ConvertSurface(nullptr, &out));
    EXPECT_EQ(1, IsPalettizedSurface(indexed));
    EXPECT_EQ(0, IsPalettizedSurface(rgb));
    EXPECT_EQ(0, IsPalettizedSurface(nullptr));
    noPalette->Release();
    rgb->Release();
    indexed->Release();
}

TEST_F(SurfaceConvertTest, ArgbSourcesConvertByTheirOwnChannelWidthsAndKeepTheKey) {
    // 4-4-4-4: alpha ignored, channels widened x 16; 1-5-5-5: x 8.
    IDirectDrawSurface* source4444 = MakeFormatSurface(2, 1, Argb4444());
    SetPixels(source4444, {0xFF84, 0x0F00});
    SetKey(source4444, 0x0F00);
    IDirectDrawSurface* out = nullptr;
    ASSERT_EQ(1, ConvertSurface(source4444, &out));
    std::vector<PALETTEENTRY> palette = PaletteOf(out);
    EXPECT_EQ((std::vector<int>{0xF0, 0x80, 0x40}),
              (std::vector<int>{palette[0].peRed, palette[0].peGreen, palette[0].peBlue}));
    EXPECT_EQ((std::vector<int>{0xF0, 0, 0}),
              (std::vector<int>{palette[1].peRed, palette[1].peGreen, palette[1].peBlue}));
    DWORD key = 99;
    ASSERT_TRUE(KeyOf(out, key));
    EXPECT_EQ(1u, key);
    out->Release();

    IDirectDrawSurface* source1555 = MakeFormatSurface(2, 1, Argb1555());
    SetPixels(source1555, {0x8000 | 31 << 10 | 1 << 5 | 2, 0x001F});
    ASSERT_EQ(1, ConvertSurface(source1555, &out));
    palette = PaletteOf(out);
    EXPECT_EQ((std::vector<int>{248, 8, 16}),
              (std::vector<int>{palette[0].peRed, palette[0].peGreen, palette[0].peBlue}));
    EXPECT_EQ((std::vector<int>{0, 0, 248}),
              (std::vector<int>{palette[1].peRed, palette[1].peGreen, palette[1].peBlue}));
    out->Release();
    source1555->Release();
    source4444->Release();
}

TEST_F(SurfaceConvertTest, EightBitToAlphaTextureUsesTheIndexAsAlpha) {
    QuibDebugEnable(1);
    IDirectDrawSurface* source = MakeIndexed(3, 1, {0x00, 0x80, 0xFF}, {});
    g_dwAlphaBits = 0;
    EXPECT_EQ(nullptr, Convert8BitPalettizedToAlpha(source, 255, 128, 0)); // no alpha format
    g_AlphaTextureFormat = Argb4444();
    g_dwAlphaBits = 4;
    IDirectDrawSurface* alpha = Convert8BitPalettizedToAlpha(source, 255, 128, 0);
    ASSERT_NE(nullptr, alpha);
    // Colour (F, 8, 0) in every pixel; alpha = index >> 4.
    EXPECT_EQ((std::vector<uint32_t>{0x0F80, 0x8F80, 0xFF80}), Pixels(alpha));
    alpha->Release();
    g_AlphaTextureFormat = Argb1555();
    g_dwAlphaBits = 1;
    alpha = Convert8BitPalettizedToAlpha(source, 0, 0, 255);
    ASSERT_NE(nullptr, alpha);
    EXPECT_EQ((std::vector<uint32_t>{0x001F, 0x801F, 0x801F}), Pixels(alpha));
    alpha->Release();
    EXPECT_NE(std::string::npos, ReadLog().find("amask=00008000, abits=1, ashft=7, alshft=15\n"));
    g_AlphaTextureFormat = {};
    g_dwAlphaBits = 0;
    source->Release();
}

TEST_F(SurfaceConvertTest, EightToDisplayFormatKeepsOnlyIndexZeroTransparent) {
    // index 0 (white in the palette) -> 0; index 5 black -> 1; white -> 0xFFFF; pure red -> 0xF800;
    // (0x84, 0x82, 0x08) -> 16, 32, 1.
    std::vector<PALETTEENTRY> entries(7, PALETTEENTRY{0, 0, 0, 0});
    entries[0] = {255, 255, 255, 0};
    entries[1] = {255, 255, 255, 0};
    entries[2] = {255, 0, 0, 0};
    entries[3] = {0x84, 0x82, 0x08, 0};
    entries[5] = {0, 0, 0, 0};
    IDirectDrawSurface* source = MakeIndexed(4, 1, {0, 5, 1, 2}, entries);
    IDirectDrawSurface* out = nullptr;
    ASSERT_EQ(1, ConvertSurfaceToRGBA(source, &out));
    EXPECT_EQ(16u, Describe(out).ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ((std::vector<uint32_t>{0x0000, 0x0001, 0xFFFF, 0xF800}), Pixels(out));
    DWORD key = 99;
    ASSERT_TRUE(KeyOf(out, key));
    EXPECT_EQ(0u, key);
    out->Release();

    SetPixels(source, {3, 3, 3, 3});
    ASSERT_EQ(1, ConvertSurfaceToRGBA(source, &out));
    EXPECT_EQ(uint32_t(Rgb565(16, 32, 1)), Pixels(out)[0]);
    out->Release();
    source->Release();
}

TEST_F(SurfaceConvertTest, EightToDisplayFormatOn555Desktop) {
    UseMachine(true);
    IDirectDrawSurface* source =
        MakeIndexed(2, 1, {1, 2}, {{0, 0, 0, 0}, {255, 255, 255, 0}, {0, 255, 0, 0}});
    IDirectDrawSurface* out = nullptr;
    ASSERT_EQ(1, ConvertSurfaceToRGBA(source, &out));
    EXPECT_EQ((std::vector<uint32_t>{0x7FFF, 0x03E0}), Pixels(out));
    out->Release();
    source->Release();
}

TEST_F(SurfaceConvertTest, RoundTripThroughEightBitsKeepsColoursAndTheKey) {
    const std::vector<uint32_t> colours = {0xF81F, 0x07E0, 0x001F, 0x1234, 0x1234, 0x0000};
    IDirectDrawSurface* source = MakeSurface(3, 2, 16);
    SetPixels(source, colours);
    SetKey(source, 0x0000);
    IDirectDrawSurface* indexed = nullptr;
    ASSERT_EQ(1, ConvertSurface(source, &indexed));
    DWORD key = 99;
    ASSERT_TRUE(KeyOf(indexed, key));
    EXPECT_EQ(4u, key); // black is the fifth colour seen
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(1, ConvertSurfaceToRGBA(indexed, &back));
    // The first colour seen took index 0, which the copy makes transparent (0); black is not index 0,
    // so it comes back as 1.
    EXPECT_EQ((std::vector<uint32_t>{0x0000, 0x07E0, 0x001F, 0x1234, 0x1234, 0x0001}), Pixels(back));
    back->Release();
    indexed->Release();
    source->Release();
}

TEST_F(SurfaceConvertTest, BoxFilterAveragesBlocksWithIntegerDivisionAndKeepsBlackBlocksBlack) {
    // 4x4 -> 2x2. Top-left block: reds 1, 2, 3, 5 -> 11 / 4 = 2; greens 10, 10, 11, 11 -> 10;
    // blues 0, 1, 2, 3 -> 1. Top-right block holds one black pixel -> black. Bottom: uniform.
    std::vector<uint32_t> pixels = {
        Rgb565(1, 10, 0), Rgb565(2, 10, 1), Rgb565(31, 63, 31), 0x0000,          //
        Rgb565(3, 11, 2), Rgb565(5, 11, 3), Rgb565(31, 63, 31), Rgb565(1, 1, 1), //
        Rgb565(7, 7, 7),  Rgb565(7, 7, 7),  Rgb565(0, 0, 1),    Rgb565(0, 0, 1), //
        Rgb565(7, 7, 7),  Rgb565(7, 7, 7),  Rgb565(0, 0, 1),    Rgb565(0, 0, 3),
    };
    IDirectDrawSurface* source = MakeSurface(4, 4, 16);
    SetPixels(source, pixels);
    IDirectDrawSurface* half = MakeSurface(2, 2, 16);
    ASSERT_EQ(1, CopySurfaceScaled(nullptr, source, half));
    EXPECT_EQ((std::vector<uint32_t>{Rgb565(2, 10, 1), 0, Rgb565(7, 7, 7), Rgb565(0, 0, 1)}), Pixels(half));

    IDirectDrawSurface* quarter = MakeSurface(1, 1, 16); // 4x4 blocks: one holds black
    ASSERT_EQ(1, CopySurfaceScaled(nullptr, source, quarter));
    EXPECT_EQ(0u, Pixels(quarter)[0]);
    quarter->Release();
    half->Release();
    source->Release();
}

TEST_F(SurfaceConvertTest, BoxFilterRefusesSizesThatAreNotHalvingsAndOtherDepths) {
    IDirectDrawSurface* source = MakeSurface(8, 8, 16);
    IDirectDrawSurface* three = MakeSurface(3, 4, 16);
    IDirectDrawSurface* larger = MakeSurface(16, 16, 16);
    IDirectDrawSurface* indexed = MakeSurface(8, 8, 8);
    IDirectDrawSurface* indexedHalf = MakeSurface(4, 4, 8);
    EXPECT_EQ(0, CopySurfaceScaled(nullptr, source, three));
    EXPECT_EQ(0, CopySurfaceScaled(nullptr, source, larger));
    EXPECT_EQ(0, CopySurfaceScaled(nullptr, indexed, indexedHalf));
    IDirectDrawSurface* same = MakeSurface(8, 8, 16);
    SetPixels(source, std::vector<uint32_t>(64, 0x1234));
    EXPECT_EQ(1, CopySurfaceScaled(nullptr, source, same)); // same size: a copy
    EXPECT_EQ(std::vector<uint32_t>(64, 0x1234), Pixels(same));
    for (IDirectDrawSurface* s : {source, three, larger, indexed, indexedHalf, same})
        s->Release();
}

TEST_F(SurfaceConvertTest, ReducedSurfaceHasTheSourceFormatAndTheFilteredPixels) {
    IDirectDrawSurface* source = MakeSurface(4, 2, 16);
    SetPixels(source, {Rgb565(2, 2, 2), Rgb565(4, 4, 4), 0xFFFF, 0xFFFF, Rgb565(2, 2, 2), Rgb565(4, 4, 4),
                       0xFFFF, 0xFFFF});
    IDirectDrawSurface* reduced = nullptr;
    ASSERT_EQ(1, CreateReducedSurface(source, &reduced, 1));
    EXPECT_EQ(2u, Describe(reduced).dwWidth);
    EXPECT_EQ(1u, Describe(reduced).dwHeight);
    EXPECT_EQ((std::vector<uint32_t>{Rgb565(3, 3, 3), 0xFFFF}), Pixels(reduced));
    reduced->Release();
    EXPECT_EQ(1, CreateReducedSurface(nullptr, &reduced, 1));
    EXPECT_EQ(nullptr, reduced);
    source->Release();
}

TEST_F(SurfaceConvertTest, MipLevelCountStopsAtEightPixelsAndIsAtLeastOne) {
    EXPECT_EQ(5, CountMipLevels(256));
    EXPECT_EQ(4, CountMipLevels(128));
    EXPECT_EQ(1, CountMipLevels(16));
    EXPECT_EQ(1, CountMipLevels(8));
    EXPECT_EQ(1, CountMipLevels(2));
    EXPECT_EQ(1, CountMipLevels(0));
}

TEST_F(SurfaceConvertTest, MirrorCopyReversesRowsOrCopiesThemStraight) {
    IDirectDrawSurface* source = MakeSurface(3, 2, 16);
    SetPixels(source, {1, 2, 3, 4, 5, 6});
    IDirectDrawSurface* destination = MakeSurface(5, 3, 16);
    const RECT all = {0, 0, 3, 2};
    const RECT at = {1, 1, 4, 3};
    ASSERT_EQ(1, MirrorSurfaceCopy(source, destination, &all, &at, 1));
    EXPECT_EQ((std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 3, 2, 1, 0, 0, 6, 5, 4, 0}), Pixels(destination));
    ASSERT_EQ(1, MirrorSurfaceCopy(source, destination, &all, &at, 0));
    EXPECT_EQ((std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 1, 2, 3, 0, 0, 4, 5, 6, 0}), Pixels(destination));
    destination->Release();
    source->Release();
}

TEST_F(SurfaceConvertTest, MirrorCopyClipsRectanglesReachingOutsideEitherSurface) {
    IDirectDrawSurface* source = MakeSurface(4, 4, 16);
    std::vector<uint32_t> values;
    for (uint32_t i = 1; i <= 16; ++i)
        values.push_back(i);
    SetPixels(source, values);
    IDirectDrawSurface* destination = MakeSurface(3, 3, 16);
    // Source rectangle larger than the source; destination corner off the top-left.
    const RECT big = {-1, 0, 6, 9};
    const RECT offLeft = {-2, -1, 0, 0};
    ASSERT_EQ(1, MirrorSurfaceCopy(source, destination, &big, &offLeft, 0));
    // Destination (x, y) shows source (x + 2 - 1, y + 1): x = 0 -> source column 1.
    EXPECT_EQ((std::vector<uint32_t>{6, 7, 8, 10, 11, 12, 14, 15, 16}), Pixels(destination));
    SetPixels(destination, std::vector<uint32_t>(9, 0));
    // Mirrored and reaching past the right: width 7, destination x = 2 + 6 - sx -> only sx 6.. fit,
    // which lie outside the source; nothing at all is copied.
    const RECT right = {2, 0, 3, 0};
    ASSERT_EQ(1, MirrorSurfaceCopy(source, destination, &big, &right, 1));
    EXPECT_EQ(std::vector<uint32_t>(9, 0), Pixels(destination));
    destination->Release();
    source->Release();
}

TEST_F(SurfaceConvertTest, SubdivideWritesNumberedTilesRowByRowAndDropsTheRemainder) {
    std::filesystem::create_directory("maps");
    IDirectDrawSurface* source = MakeSurface(130, 70, 16);
    std::vector<uint32_t> pixels(130 * 70);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 130; ++x)
            pixels[size_t(y) * 130 + size_t(x)] = Rgb565(x / 32 * 4 + 1, y / 35 * 8 + 2, 3);
    SetPixels(source, pixels);
    ASSERT_EQ(1, QuibSubdivideSurface("maps\\ground.bmp", source, 4, 2));
    for (int tile = 0; tile < 8; ++tile) {
        char name[32];
        std::snprintf(name, sizeof name, "maps/ground%03d.bmp", tile);
        const std::vector<uint8_t> bytes = ReadBytes(name);
        ASSERT_GT(bytes.size(), 54u) << name;
        EXPECT_EQ(32u, Le32(bytes, 18)) << name;
        EXPECT_EQ(35u, Le32(bytes, 22)) << name;
        EXPECT_EQ(24, Le16(bytes, 28));
        // Every pixel of the tile has the tile's colour: red from the column, green from the row.
        const int c = tile % 4, r = tile / 4;
        const size_t at = Le32(bytes, 10);
        EXPECT_EQ(3 * 8, bytes[at]);               // blue
        EXPECT_EQ((r * 8 + 2) * 4, bytes[at + 1]); // green
        EXPECT_EQ((c * 4 + 1) * 8, bytes[at + 2]); // red
    }
    EXPECT_FALSE(std::filesystem::exists("maps/ground008.bmp"));
    source->Release();
}

TEST_F(SurfaceConvertTest, SubdivideRefusesZeroColumnsOrRowsWithoutWriting) {
    IDirectDrawSurface* source = MakeSurface(8, 8, 16);
    EXPECT_EQ(0, QuibSubdivideSurface("tile.bmp", source, 0, 2));
    EXPECT_EQ(0, QuibSubdivideSurface("tile.bmp", source, 2, -1));
    EXPECT_EQ(0, QuibSubdivideSurface("tile.bmp", source, 9, 1)); // tiles of width 0
    EXPECT_FALSE(std::filesystem::exists("tile000.bmp"));
    EXPECT_EQ(1, QuibSubdivideSurface("tile.bmp", source, 2, 2));
    EXPECT_TRUE(std::filesystem::exists("tile003.bmp"));
    source->Release();
}

TEST_F(SurfaceConvertTest, SubdivideOfAnEightBitSurfaceWritesEightBitTilesWithItsPalette) {
    IDirectDrawSurface* source =
        MakeIndexed(4, 2, {0, 1, 2, 3, 4, 5, 6, 7}, {{10, 20, 30, 0}, {40, 50, 60, 0}});
    ASSERT_EQ(1, QuibSubdivideSurface("pal.bmp", source, 2, 1));
    const std::vector<uint8_t> bytes = ReadBytes("pal001.bmp");
    ASSERT_GT(bytes.size(), 54u + 1024u);
    EXPECT_EQ(8, Le16(bytes, 28));
    EXPECT_EQ(2u, Le32(bytes, 18));
    // Colour table entry 1 (B, G, R, 0) from the source's palette.
    EXPECT_EQ(60, bytes[54 + 4]);
    EXPECT_EQ(50, bytes[54 + 5]);
    EXPECT_EQ(40, bytes[54 + 6]);
    // Bottom row first: source row 1, columns 2 and 3 -> indices 6, 7.
    const size_t at = Le32(bytes, 10);
    EXPECT_EQ(6, bytes[at]);
    EXPECT_EQ(7, bytes[at + 1]);
    source->Release();
}
