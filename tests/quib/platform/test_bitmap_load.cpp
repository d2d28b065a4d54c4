// Loading bitmap files into surfaces: exact sizes and pixels, depth choices, palettes, default colour
// keys, the memory route, failures and what is left behind.
#include "quib/platform/bitmap.h"
#include "tests/quib/bitmap_test_support.h"

using namespace bmptest;

namespace {

class BitmapLoadTest : public EngineDisplayTest {
  protected:
    // The surface's source key (low and high must agree); hr receives GetColorKey's result.
    static DWORD SourceKey(IDirectDrawSurface* surface, HRESULT* result = nullptr) {
        DDCOLORKEY key = {0xDEAD, 0xDEAD};
        const HRESULT hr = surface->GetColorKey(DDCKEY_SRCBLT, &key);
        if (result) *result = hr;
        if (hr == DD_OK) {
            EXPECT_EQ(key.dwColorSpaceLowValue, key.dwColorSpaceHighValue);
        }
        return key.dwColorSpaceLowValue;
    }

    static std::vector<PALETTEENTRY> PaletteOf(IDirectDrawSurface* surface) {
        std::vector<PALETTEENTRY> entries(256);
        IDirectDrawPalette* palette = nullptr;
        if (surface->GetPalette(&palette) != DD_OK) return {};
        EXPECT_EQ(palette->GetEntries(0, 0, 256, entries.data()), DD_OK);
        palette->Release();
        return entries;
    }

    // A 4x2 8-bit file whose table has three colours; pixel indices 0..2 and 1 0 2 1.
    static BmpFields ThreeColourFile() {
        BmpFields bmp;
        bmp.width = 4;
        bmp.height = 2;
        bmp.bitCount = 8;
        bmp.colorsUsed = 3;
        AddColour(bmp.table, 0, 0, 255);  // 0: blue
        AddColour(bmp.table, 255, 0, 0);  // 1: red
        AddColour(bmp.table, 18, 52, 86); // 2: 0x123456
        bmp.pixels = {1, 0, 2, 1, /*top row:*/ 0, 1, 2, 0};
        return bmp;
    }

    // A 37x5 24-bit file: blue at (0, 0), red at (36, 0), white at (5, 4), 0x123456 elsewhere.
    static BmpFields OddSizedFile() {
        std::vector<uint32_t> pixels(37 * 5, 0x123456);
        pixels[0] = 0x0000FF;
        pixels[36] = 0xFF0000;
        pixels[4 * 37 + 5] = 0xFFFFFF;
        return Picture24(37, 5, pixels);
    }
};

} // namespace

TEST_F(BitmapLoadTest, TwentyFourBitFileBecomesAnExactSize565SurfaceWithKey255) {
    WriteBytes("odd.bmp", BuildBmp(OddSizedFile()));
    IDirectDrawSurface* surface = QuibLoadBitmap("odd.bmp", 16);
    ASSERT_NE(surface, nullptr);
    const DDSURFACEDESC desc = Describe(surface);
    EXPECT_EQ(desc.dwWidth, 37u);
    EXPECT_EQ(desc.dwHeight, 5u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(desc.ddsCaps.dwCaps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE),
              DWORD(DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE));
    const std::vector<uint32_t> pixels = Pixels(surface);
    ASSERT_EQ(pixels.size(), 37u * 5);
    EXPECT_EQ(pixels[0], 0x001Fu); // file blue matches the framework's key
    EXPECT_EQ(pixels[36], 0xF800u);
    EXPECT_EQ(pixels[4 * 37 + 5], 0xFFFFu);
    EXPECT_EQ(pixels[1], To565(0x123456));
    EXPECT_EQ(SourceKey(surface), 255u); // raw value: blue 31, green 7
    surface->Release();
}

TEST_F(BitmapLoadTest, On555DisplayTheSameFileTruncatesTo555) {
    UseMachine(true);
    WriteBytes("odd.bmp", BuildBmp(OddSizedFile()));
    IDirectDrawSurface* surface = QuibLoadBitmap("odd.bmp", 16);
    ASSERT_NE(surface, nullptr);
    const std::vector<uint32_t> pixels = Pixels(surface);
    EXPECT_EQ(pixels[0], 0x001Fu);
    EXPECT_EQ(pixels[36], 0x7C00u);
    EXPECT_EQ(pixels[1], To555(0x123456));
    surface->Release();
}

TEST_F(BitmapLoadTest, EightBitFileGivesAPalettisedSurfaceWithTheFilesTableAndKeyZero) {
    WriteBytes("pal.bmp", BuildBmp(ThreeColourFile()));
    IDirectDrawSurface* surface = QuibLoadBitmap("pal.bmp");
    ASSERT_NE(surface, nullptr);
    const DDSURFACEDESC desc = Describe(surface);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);
    EXPECT_TRUE(desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);
    EXPECT_EQ(Pixels(surface), (std::vector<uint32_t>{0, 1, 2, 0, 1, 0, 2, 1}));
    const std::vector<PALETTEENTRY> palette = PaletteOf(surface);
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[0].peBlue, 255);
    EXPECT_EQ(palette[1].peRed, 255);
    EXPECT_EQ(palette[2].peRed, 18);
    EXPECT_EQ(palette[2].peGreen, 52);
    EXPECT_EQ(palette[2].peBlue, 86);
    EXPECT_EQ(palette[2].peFlags, 0);
    // Beyond the file's three entries the palette is black, not left to chance.
    for (int i = 3; i < 256; ++i)
        EXPECT_EQ(palette[i].peRed | palette[i].peGreen | palette[i].peBlue, 0) << i;
    EXPECT_EQ(SourceKey(surface), 0u);
    surface->Release();
}

TEST_F(BitmapLoadTest, EightBitFileAskedFor16BitsIsConvertedThroughItsTable) {
    WriteBytes("pal.bmp", BuildBmp(ThreeColourFile()));
    IDirectDrawSurface* surface = QuibLoadBitmap("pal.bmp", 16);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(Describe(surface).ddpfPixelFormat.dwRGBBitCount, 16u);
    const uint32_t blue = 0x001F, red = 0xF800, mixed = To565(0x123456);
    EXPECT_EQ(Pixels(surface), (std::vector<uint32_t>{blue, red, mixed, blue, red, blue, mixed, red}));
    EXPECT_EQ(SourceKey(surface), 255u);
    surface->Release();
}

TEST_F(BitmapLoadTest, TableLessFileAskedFor8BitsGetsTheHalftonePalette) {
    WriteBytes("rgb.bmp", BuildBmp(Picture24(3, 1, {0x0000FF, 0x000000, 0xFFFFFF})));
    IDirectDrawSurface* surface = QuibLoadBitmap("rgb.bmp", 8);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(Describe(surface).ddpfPixelFormat.dwRGBBitCount, 8u);
    EXPECT_EQ(Pixels(surface), (std::vector<uint32_t>{3, 0, 255}));
    const std::vector<PALETTEENTRY> palette = PaletteOf(surface);
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[3].peBlue, 255);
    EXPECT_EQ(palette[255].peRed & palette[255].peGreen & palette[255].peBlue, 255);
    EXPECT_EQ(SourceKey(surface), 0u);
    surface->Release();
}

TEST_F(BitmapLoadTest, MissingFileRegistersOneMessageNamingIt) {
    QuibDebugEnable(1);
    EXPECT_EQ(QuibLoadBitmap("x.bmp", 16), nullptr);
    EXPECT_STREQ(g_ErrorText, "LoadBitmap : can't load bitmap <x.bmp>\n");
    EXPECT_EQ(ReadLog(), "LoadBitmap : can't load bitmap <x.bmp>\n");
    EXPECT_EQ(QuibLoadBitmap("x.bmp"), nullptr);
    EXPECT_EQ(QuibLoadBitmap(g_lpDD, "x.bmp", 0), nullptr);
}

TEST_F(BitmapLoadTest, UnknownKindReturnsNullWithoutTouchingTheFile) {
    WriteBytes("odd.bmp", BuildBmp(OddSizedFile()));
    g_bError = 0;
    EXPECT_EQ(QuibLoadBitmap(g_lpDD, "odd.bmp", 2), nullptr);
    EXPECT_EQ(QuibLoadBitmap(g_lpDD, "missing.bmp", -1), nullptr);
    EXPECT_EQ(g_bError, 0);
}

TEST_F(BitmapLoadTest, MemoryRouteGivesTheSamePixelsWithoutAKey) {
    WriteBytes("odd.bmp", BuildBmp(OddSizedFile()));
    IDirectDrawSurface* fromMemory = QuibLoadBitmap(g_lpDD, "odd.bmp", 1);
    IDirectDrawSurface* fromLoader = QuibLoadBitmap(g_lpDD, "odd.bmp", 0);
    ASSERT_NE(fromMemory, nullptr);
    ASSERT_NE(fromLoader, nullptr);
    EXPECT_EQ(Pixels(fromMemory), Pixels(fromLoader));
    HRESULT hr = DD_OK;
    SourceKey(fromMemory, &hr);
    EXPECT_EQ(hr, DDERR_NOCOLORKEY);
    fromMemory->Release();
    fromLoader->Release();
}

TEST_F(BitmapLoadTest, V4HeaderLoadsThroughThePlatformLoaderButNotTheEnginesReader) {
    BmpFields bmp = Picture24(2, 2, {0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF});
    bmp.headerSize = 108;
    WriteBytes("v4.bmp", BuildBmp(bmp));
    IDirectDrawSurface* surface = QuibLoadBitmap(g_lpDD, "v4.bmp", 0);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(Pixels(surface)[3], 0x001Fu);
    surface->Release();

    QuibDebugEnable(1);
    EXPECT_EQ(QuibLoadBitmap(g_lpDD, "v4.bmp", 1), nullptr);
    EXPECT_STREQ(g_ErrorText, "LoadBitmapFromMemory : invalid memory bitmap\n");
    EXPECT_EQ(ReadLog(),
              "ReadBMPFile: OS/2 format not supported\nLoadBitmapFromMemory : invalid memory bitmap\n");
}

TEST_F(BitmapLoadTest, MalformedFilesNeverCrashEitherRoute) {
    BmpFields bad;
    bad.width = 0x7FFFFFFF;
    bad.height = 0x7FFFFFFF;
    WriteBytes("bad.bmp", BuildBmp(bad));
    EXPECT_EQ(QuibLoadBitmap("bad.bmp", 16), nullptr);
    EXPECT_EQ(QuibLoadBitmap(g_lpDD, "bad.bmp", 1), nullptr);
    WriteBytes("short.bmp", {'B', 'M', 1, 2});
    EXPECT_EQ(QuibLoadBitmap("short.bmp", 8), nullptr);
    EXPECT_EQ(QuibLoadBitmap(g_lpDD, "short.bmp", 1), nullptr);
}

TEST_F(BitmapLoadTest, WithoutADisplayNothingIsLoaded) {
    WriteBytes("odd.bmp", BuildBmp(OddSizedFile()));
    IDirectDraw* saved = g_lpDD;
    g_lpDD = nullptr;
    EXPECT_EQ(QuibLoadBitmap("odd.bmp", 16), nullptr);
    EXPECT_EQ(QuibLoadBitmap("odd.bmp"), nullptr);
    EXPECT_EQ(QuibLoadBitmap(nullptr, "odd.bmp", 1), nullptr);
    EXPECT_STREQ(g_ErrorText, "LoadBitmap : no DirectDraw object for <odd.bmp>\n");
    g_lpDD = saved;
}

TEST_F(BitmapLoadTest, PathsMayUseBackslashesAndAnyCase) {
    std::filesystem::create_directory("Title");
    WriteBytes("Title/Back.bmp", BuildBmp(OddSizedFile()));
    IDirectDrawSurface* surface = QuibLoadBitmap(".\\title\\BACK.BMP", 16);
    ASSERT_NE(surface, nullptr);
    surface->Release();
    surface = QuibLoadBitmap(g_lpDD, ".\\TITLE\\back.bmp", 1);
    ASSERT_NE(surface, nullptr);
    surface->Release();
}

TEST_F(BitmapLoadTest, LoadedSurfacesAreTheCallersAndTakeTheirPalettesWithThem) {
    WriteBytes("pal.bmp", BuildBmp(ThreeColourFile()));
    const HostDDrawObjectCounts before = HostDDrawLiveObjects();
    IDirectDrawSurface* surface = QuibLoadBitmap("pal.bmp");
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(HostDDrawLiveObjects().palettes, before.palettes + 1);
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(HostDDrawLiveObjects().palettes, before.palettes);
    EXPECT_EQ(HostDDrawLiveObjects().surfaces, before.surfaces);
}

TEST_F(BitmapLoadTest, CopyBitmapToSurfaceStretchesARectangleOverTheWholeSurface) {
    WriteBytes("odd.bmp", BuildBmp(OddSizedFile()));
    auto bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, "odd.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(bitmap, nullptr);
    IDirectDrawSurface* surface = MakeSurface(4, 4, 16);
    ASSERT_NE(surface, nullptr);
    // The top-left pixel (blue) blown up over the whole surface.
    EXPECT_EQ(CopyBitmapToSurface(surface, bitmap, 0, 0, 1, 1), DD_OK);
    EXPECT_EQ(Pixels(surface), std::vector<uint32_t>(16, 0x001F));
    // A locked surface gives no DC: the copy is skipped and reported.
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(CopyBitmapToSurface(surface, bitmap, 0, 0, 0, 0), DDERR_SURFACEBUSY);
    surface->Unlock(nullptr);
    surface->Release();
    EXPECT_TRUE(DeleteObject(bitmap)); // the copy left it selected nowhere
}
