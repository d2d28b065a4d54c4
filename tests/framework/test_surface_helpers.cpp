// The surface helpers: colour conversion and keys, bounded pixel access (also on 8-bit surfaces),
// surface creation, centring, cutting frames, clipped blits, the 8-bit conversion and the message log.
#include "framework_test_support.h"

#include <cstring>

#include "framework/message_log.h"
#include "framework/surface_helpers.h"

using namespace fwtest;

namespace {

class SurfaceHelpersTest : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay(false);
    }

    // An off-screen surface of an explicit format: 8 (palettised) or 16 bits (5-5-5 or 5-6-5).
    static IDirectDrawSurface* MakeFormatSurface(int width, int height, int bits, bool is555) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = DWORD(width);
        desc.dwHeight = DWORD(height);
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        desc.ddpfPixelFormat.dwRGBBitCount = DWORD(bits);
        if (bits == 8) {
            desc.ddpfPixelFormat.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
        } else {
            desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
            desc.ddpfPixelFormat.dwRBitMask = is555 ? 0x7C00 : 0xF800;
            desc.ddpfPixelFormat.dwGBitMask = is555 ? 0x03E0 : 0x07E0;
            desc.ddpfPixelFormat.dwBBitMask = 0x001F;
        }
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(DD_OK, QuibGetLPDD()->CreateSurface(&desc, &surface, nullptr));
        return surface;
    }

    static DWORD ColourKeyOf(IDirectDrawSurface* surface) {
        DDCOLORKEY key = {0xDEAD, 0xDEAD};
        EXPECT_EQ(DD_OK, surface->GetColorKey(DDCKEY_SRCBLT, &key));
        EXPECT_EQ(key.dwColorSpaceLowValue, key.dwColorSpaceHighValue);
        return key.dwColorSpaceLowValue;
    }
};

// An 8-bit BMP with a 3-entry colour table: index 0 red (not black), 1 black, 2 white.
void WriteIndexedBmp(const std::string& name, const std::vector<uint8_t>& indices, int width, int height) {
    testsupport::WriteBytes(
        name, testsupport::Bmp8Bytes(width, height, {0xFF0000, 0x000000, 0xFFFFFF}, [&](int x, int y) {
            return indices[size_t(y) * size_t(width) + size_t(x)];
        }));
}

} // namespace

// ---- Colours and keys ----

TEST_F(SurfaceHelpersTest, RgbToPixelFollowsTheSurfaceFormat) {
    IDirectDrawSurface* s565 = MakeFormatSurface(4, 4, 16, false);
    IDirectDrawSurface* s555 = MakeFormatSurface(4, 4, 16, true);
    EXPECT_EQ(0xFFFF, RGBToPixel(s565, 255, 255, 255));
    EXPECT_EQ(0x7FFF, RGBToPixel(s555, 255, 255, 255));
    EXPECT_EQ(0x0841, RGBToPixel(s565, 8, 8, 8));
    EXPECT_EQ(0x0421, RGBToPixel(s555, 8, 8, 8));
    EXPECT_EQ(0x001F, RGBToPixel(s565, 0, 0, 255));
    EXPECT_EQ(0x001F, RGBToPixel(s555, 0, 0, 255));
    EXPECT_EQ(0xF800, RGBToPixel(s565, 255, 0, 0));
    EXPECT_EQ(0x7C00, RGBToPixel(s555, 255, 0, 0));
    EXPECT_EQ(0, RGBToPixel(nullptr, 255, 255, 255));
    s565->Release();
    s555->Release();
}

TEST_F(SurfaceHelpersTest, SetColorKeyStoresTheConvertedColour) {
    IDirectDrawSurface* surface = MakeFormatSurface(4, 4, 16, false);
    EXPECT_EQ(DD_OK, SetColorKey(surface, 0, 0, 255));
    EXPECT_EQ(0x001Fu, ColourKeyOf(surface));
    EXPECT_EQ(DD_OK, SetColorKey(surface, 255, 0, 0));
    EXPECT_EQ(0xF800u, ColourKeyOf(surface));
    surface->Release();
}

// ---- Pixels ----

TEST_F(SurfaceHelpersTest, PutPixelReturnsThePreviousValueAndGetPixelReadsIt) {
    IDirectDrawSurface* surface = MakeSurface(8, 4, 0x1111);
    EXPECT_EQ(0x1111, PutPixel(surface, 3, 2, 0xBEEF));
    EXPECT_EQ(0xBEEF, GetPixel(surface, 3, 2));
    EXPECT_EQ(0x1111, GetPixel(surface, 4, 2));
    surface->Release();
}

TEST_F(SurfaceHelpersTest, PixelAccessOutsideTheSurfaceIsRefused) {
    IDirectDrawSurface* surface = MakeSurface(8, 4, 0x1111);
    // Just past the right edge would be the row's padding or the next row's first pixel.
    EXPECT_EQ(0, PutPixel(surface, 8, 0, 0xBEEF));
    EXPECT_EQ(0, PutPixel(surface, -1, 1, 0xBEEF));
    EXPECT_EQ(0, PutPixel(surface, 0, 4, 0xBEEF));
    EXPECT_EQ(0, PutPixel(surface, 0, -1, 0xBEEF));
    EXPECT_EQ(0, GetPixel(surface, 8, 0));
    EXPECT_EQ(0, GetPixel(surface, 0, 100000));
    {
        Pixels pixels(surface);
        ASSERT_TRUE(pixels.ok());
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 8; x++)
                EXPECT_EQ(0x1111, pixels.At(x, y)) << x << "," << y;
    }
    surface->Release();
}

TEST_F(SurfaceHelpersTest, PixelAccessOnAnEightBitSurfaceTouchesOneByte) {
    IDirectDrawSurface* surface = MakeFormatSurface(4, 2, 8, false);
    EXPECT_EQ(0, PutPixel(surface, 1, 0, 0x1234));
    EXPECT_EQ(0x34, GetPixel(surface, 1, 0));
    EXPECT_EQ(0, GetPixel(surface, 2, 0)); // a 16-bit store would have put 0x12 here
    EXPECT_EQ(0x34, PutPixel(surface, 1, 0, 0x07));
    EXPECT_EQ(0x07, GetPixel(surface, 1, 0));
    surface->Release();
}

TEST_F(SurfaceHelpersTest, NullSurfaceHelpersDoNothing) {
    EXPECT_EQ(0, GetPixel(nullptr, 0, 0));
    EXPECT_EQ(0, PutPixel(nullptr, 0, 0, 5));
    EXPECT_EQ(nullptr, LockSurface(nullptr));
    EXPECT_EQ(nullptr, DuplicateSurface(nullptr));
    int w = -1, h = -1;
    GetSurfaceSize(nullptr, &w, &h);
    EXPECT_EQ(0, w);
    EXPECT_EQ(0, h);
}

// ---- Creating and copying ----

TEST_F(SurfaceHelpersTest, CreateSurfaceGivesTheSizeAndKeyZero) {
    IDirectDrawSurface* surface = CreateSurface(30, 20);
    ASSERT_NE(nullptr, surface);
    int w, h;
    GetSurfaceSize(surface, &w, &h);
    EXPECT_EQ(30, w);
    EXPECT_EQ(20, h);
    EXPECT_EQ(0u, ColourKeyOf(surface));
    surface->Release();
    EXPECT_EQ(nullptr, CreateSurface(0, 20));
    EXPECT_EQ(nullptr, CreateSurface(20, -1));
}

TEST_F(SurfaceHelpersTest, FillAndDuplicate) {
    IDirectDrawSurface* surface = CreateSurface(6, 5);
    ASSERT_NE(nullptr, surface);
    EXPECT_EQ(DD_OK, FillSurfaceRGB(surface, 255, 0, 0));
    EXPECT_EQ(0xF800, GetPixel(surface, 5, 4));
    PutPixel(surface, 2, 3, 0x1234);
    IDirectDrawSurface* copy = DuplicateSurface(surface);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(surface, copy);
    EXPECT_EQ(0x1234, GetPixel(copy, 2, 3));
    EXPECT_EQ(0xF800, GetPixel(copy, 0, 0));
    EXPECT_EQ(DD_OK, FillSurface(surface, 0x0042));
    EXPECT_EQ(0x0042, GetPixel(surface, 2, 3));
    EXPECT_EQ(0xF800, GetPixel(copy, 1, 1));
    surface->Release();
    copy->Release();
}

// ---- Centring ----

TEST_F(SurfaceHelpersTest, CenterRectUsesIntegerHalves) {
    IDirectDrawSurface* surface = MakeSurface(100, 50, 0);
    RECT rect;
    EXPECT_EQ(&rect, CenterRect(surface, 0, 0, 801, 601, &rect));
    EXPECT_EQ(350, rect.left);
    EXPECT_EQ(275, rect.top);
    EXPECT_EQ(450, rect.right);
    EXPECT_EQ(325, rect.bottom);
    surface->Release();
}

TEST_F(SurfaceHelpersTest, CenterRectOfNoSurfaceIsAnEmptyRectangleInTheMiddle) {
    RECT rect;
    CenterRect(nullptr, 0, 0, 800, 600, &rect);
    EXPECT_EQ(400, rect.left);
    EXPECT_EQ(300, rect.top);
    EXPECT_EQ(400, rect.right);
    EXPECT_EQ(300, rect.bottom);
}

// ---- Cutting frames ----

TEST_F(SurfaceHelpersTest, CutFramesDropsRemaindersAndKeysEachCellBlue) {
    IDirectDrawSurface* strip = MakeSurface(100, 30, 0);
    {
        Pixels pixels(strip);
        ASSERT_TRUE(pixels.ok());
        for (int y = 0; y < 30; y++)
            for (int x = 0; x < 100; x++)
                pixels.At(x, y) = uint16_t(x + 1);
    }
    PtrArray<IDirectDrawSurface> frames;
    int cols = -1;
    EXPECT_EQ(1, CutFrames(strip, &frames, 24, 24, &cols));
    EXPECT_EQ(4, cols);
    ASSERT_EQ(4, frames.count);
    for (int i = 0; i < 4; i++) {
        int w, h;
        GetSurfaceSize(frames.items[i], &w, &h);
        EXPECT_EQ(24, w);
        EXPECT_EQ(24, h);
        EXPECT_EQ(0x001Fu, ColourKeyOf(frames.items[i]));
        EXPECT_EQ(24 * i + 1, GetPixel(frames.items[i], 0, 0));
        EXPECT_EQ(24 * i + 24, GetPixel(frames.items[i], 23, 23));
        frames.items[i]->Release();
    }
    strip->Release();
}

TEST_F(SurfaceHelpersTest, CutFramesRefusesEmptyCells) {
    IDirectDrawSurface* strip = MakeSurface(10, 10, 0);
    PtrArray<IDirectDrawSurface> frames;
    EXPECT_EQ(0, CutFrames(strip, &frames, 0, 10));
    EXPECT_EQ(0, CutFrames(strip, &frames, 5, -2));
    EXPECT_EQ(0, CutFrames(nullptr, &frames, 5, 5));
    EXPECT_EQ(0, frames.count);
    // A cell larger than the picture fits nowhere: no frame, but no failure.
    EXPECT_EQ(1, CutFrames(strip, &frames, 11, 5));
    EXPECT_EQ(0, frames.count);
    strip->Release();
}

TEST_F(SurfaceHelpersTest, LoadFramesCutsAFileAndReleasesIt) {
    WriteBmp("strip.bmp", 30, 10, [](int x, int) {
        return x < 10 ? 0xFF0000u : x < 20 ? 0x00FF00u : 0xFFFFFFu;
    });
    PtrArray<IDirectDrawSurface> frames;
    int cols = 0;
    EXPECT_EQ(1, LoadFrames("strip.bmp", &frames, 10, 10, &cols));
    EXPECT_EQ(3, cols);
    ASSERT_EQ(3, frames.count);
    EXPECT_EQ(0xF800, GetPixel(frames.items[0], 5, 5));
    EXPECT_EQ(0x07E0, GetPixel(frames.items[1], 5, 5));
    EXPECT_EQ(0xFFFF, GetPixel(frames.items[2], 5, 5));
    for (int i = 0; i < frames.count; i++)
        frames.items[i]->Release();
    EXPECT_EQ(0, LoadFrames("missing.bmp", &frames, 10, 10));
}

// ---- Clipped blits ----

TEST_F(SurfaceHelpersTest, DrawSurfaceAtClipsAgainstTheTarget) {
    IDirectDrawSurface* source = MakeSurface(32, 32, 0);
    {
        Pixels pixels(source);
        ASSERT_TRUE(pixels.ok());
        for (int y = 0; y < 32; y++)
            for (int x = 0; x < 32; x++)
                pixels.At(x, y) = uint16_t(0x100 * y + x + 1);
    }
    IDirectDrawSurface* target = MakeSurface(800, 600, 0x4444);
    EXPECT_EQ(DD_OK, DrawSurfaceAt(source, target, -10, 590, 0));
    {
        Pixels pixels(target);
        ASSERT_TRUE(pixels.ok());
        EXPECT_EQ(0x100 * 0 + 10 + 1, pixels.At(0, 590));  // source (10, 0)
        EXPECT_EQ(0x100 * 9 + 31 + 1, pixels.At(21, 599)); // source (31, 9)
        EXPECT_EQ(0x4444, pixels.At(22, 590));
        EXPECT_EQ(0x4444, pixels.At(0, 589));
    }
    source->Release();
    target->Release();
}

TEST_F(SurfaceHelpersTest, DrawSurfaceWhollyOutsideDrawsNothing) {
    IDirectDrawSurface* source = MakeSurface(32, 32, 0x1234);
    IDirectDrawSurface* target = MakeSurface(100, 100, 0x4444);
    EXPECT_NE(DD_OK, DrawSurfaceAt(source, target, 100, 10, 0));
    EXPECT_NE(DD_OK, DrawSurfaceAt(source, target, -32, 10, 0));
    EXPECT_NE(DD_OK, DrawSurfaceAt(source, target, 10, 200, 0));
    {
        Pixels pixels(target);
        ASSERT_TRUE(pixels.ok());
        for (int y = 0; y < 100; y++)
            for (int x = 0; x < 100; x++)
                ASSERT_EQ(0x4444, pixels.At(x, y));
    }
    source->Release();
    target->Release();
}

TEST_F(SurfaceHelpersTest, BltClippedWithDefaultFlagsSkipsTheKeyColour) {
    IDirectDrawSurface* source = MakeSurface(4, 1, 0x1234);
    PutPixel(source, 1, 0, 0x001F);
    SetColorKey(source, 0, 0, 255);
    IDirectDrawSurface* target = MakeSurface(10, 10, 0x4444);
    EXPECT_EQ(DD_OK, BltClipped(source, 0, 0, 4, 1, target, 2, 3, kBltWaitKeySrc));
    EXPECT_EQ(0x1234, GetPixel(target, 2, 3));
    EXPECT_EQ(0x4444, GetPixel(target, 3, 3));
    EXPECT_EQ(0x1234, GetPixel(target, 5, 3));
    // Plain flags copy the key colour too.
    EXPECT_EQ(DD_OK, BltClipped(source, 1, 0, 1, 1, target, 0, 0, DDBLT_WAIT));
    EXPECT_EQ(0x001F, GetPixel(target, 0, 0));
    source->Release();
    target->Release();
}

// ---- 8-bit conversion ----

TEST_F(SurfaceHelpersTest, EightBitConversionKeysIndexZeroWhateverItsColour) {
    // Row 0: indices 0, 1, 2, 0; row 1: 2, 2, 1, 0. Index 0 is red in the table, 1 black, 2 white.
    WriteIndexedBmp("indexed.bmp", {0, 1, 2, 0, 2, 2, 1, 0}, 4, 2);
    IDirectDrawSurface* converted = LoadBitmap8To16("indexed.bmp");
    ASSERT_NE(nullptr, converted);
    EXPECT_EQ(0, GetPixel(converted, 0, 0));
    EXPECT_EQ(1, GetPixel(converted, 1, 0)); // black but not index 0: nudged off the key
    EXPECT_EQ(0xFFFF, GetPixel(converted, 2, 0));
    EXPECT_EQ(1, GetPixel(converted, 2, 1));
    EXPECT_EQ(0u, ColourKeyOf(converted));
    // Keyed: only index 0 is transparent.
    IDirectDrawSurface* target = MakeSurface(4, 2, 0x4444);
    EXPECT_EQ(DD_OK, DrawSurfaceAt(converted, target, 0, 0, kBltWaitKeySrc));
    EXPECT_EQ(0x4444, GetPixel(target, 0, 0));
    EXPECT_EQ(1, GetPixel(target, 1, 0));
    EXPECT_EQ(0x4444, GetPixel(target, 3, 1));
    converted->Release();
    target->Release();
    EXPECT_EQ(nullptr, LoadBitmap8To16("missing.bmp"));
}

// ---- Showing on both buffers ----

class SurfaceHelpersFullScreenTest : public DisplayTest {};

TEST_F(SurfaceHelpersFullScreenTest, ShowOnBothBuffersLeavesThePictureInBoth) {
    StartDisplay(true);
    IDirectDrawSurface* picture = MakeSurface(800, 600, 0x2345);
    ShowOnBothBuffers(back_, picture);
    EXPECT_EQ(0x2345, PixelOf(back_, 400, 300)); // the buffer shown before the flip
    EXPECT_EQ(0x2345, ShownAt(400, 300));        // the one shown now
    QuibFlip();
    EXPECT_EQ(0x2345, PixelOf(back_, 10, 10));
    EXPECT_EQ(0x2345, ShownAt(10, 10));
    picture->Release();
}

// ---- Message log ----

TEST_F(SurfaceHelpersTest, MessageLogIsOffUntilEnabledThenStartsAfreshAndAppends) {
    LogMessageForgetStartedForTests();
    LogMessage("ignored %d\n", 1);
    EXPECT_FALSE(std::filesystem::exists("debug.log"));
    WriteText("debug.log", "old engine lines\n");
    g_logEnabled = 1;
    LogMessage("first %s\n", "line");
    LogMessage("second %d\n", 2);
    g_logEnabled = 0;
    LogMessage("off again\n");
    EXPECT_EQ("first line\nsecond 2\n", testsupport::ReadText("debug.log"));
}
