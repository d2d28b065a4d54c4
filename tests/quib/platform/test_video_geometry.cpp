// The Video API around the start-up: window geometry on the desktop, the mode table query, pixel format
// bit counts, the viewport, the raw palette file, and the lent objects.
#include "tests/quib/video_test_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "quib/scene/pipeline/line_clip.h"
#include "quib/scene/pipeline/viewport_state.h"

using namespace video_test;

namespace {

class VideoGeometryTest : public VideoTest {};

DDPIXELFORMAT Format(DWORD flags, DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(format);
    format.dwFlags = flags;
    format.dwRGBBitCount = bits;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    format.dwRGBAlphaBitMask = alpha;
    return format;
}

struct Bits {
    int red = -1, green = -1, blue = -1, alpha = -1;
};

Bits BitsOf(DDPIXELFORMAT format) {
    Bits bits;
    QuibGetRGBABits(&format, &bits.red, &bits.green, &bits.blue, &bits.alpha);
    return bits;
}

void ExpectRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(left, r.left);
    EXPECT_EQ(top, r.top);
    EXPECT_EQ(right, r.right);
    EXPECT_EQ(bottom, r.bottom);
}

} // namespace

TEST_F(VideoGeometryTest, WindowOffTheLeftEdgeShowsItsRightPartAtTheDesktopEdge) {
    g_ClientRect = {0, 0, 800, 600};
    QuibSetWindowXY(-100, 50);
    ExpectRect(g_WindowRect, 0, 50, 700, 650);
    ExpectRect(g_SourceRect, 100, 0, 800, 600);
}

TEST_F(VideoGeometryTest, WindowOffTheBottomRightShowsItsTopLeftCorner) {
    g_ClientRect = {0, 0, 800, 600};
    QuibSetWindowXY(900, 700);
    ExpectRect(g_WindowRect, 900, 700, 1024, 768);
    ExpectRect(g_SourceRect, 0, 0, 124, 68);
}

TEST_F(VideoGeometryTest, WindowWhollyOffTheDesktopIsNotVisible) {
    g_ClientRect = {0, 0, 800, 600};
    for (auto [x, y] : {std::pair{1024, 0}, std::pair{-800, 0}, std::pair{0, 768}, std::pair{0, -600}}) {
        QuibSetWindowXY(x, y);
        EXPECT_FALSE(WindowIsVisible()) << x << "," << y;
    }
    QuibSetWindowXY(1023, 767); // one pixel is still visible
    EXPECT_TRUE(WindowIsVisible());
}

TEST_F(VideoGeometryTest, WindowedStartTakesTheClientOriginFromTheWindow) {
    HWND window = MakeWindow(-100, 50);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    ExpectRect(g_ClientRect, 0, 0, 800, 600);
    ExpectRect(g_WindowRect, 0, 50, 700, 650);
    ExpectRect(g_SourceRect, 100, 0, 800, 600);
    // The line clip follows the client rectangle.
    EXPECT_EQ(1, g_LineClip.left);
    EXPECT_EQ(798, g_LineClip.right);
    EXPECT_EQ(598, g_LineClip.bottom);
}

TEST_F(VideoGeometryTest, CheckDisplayModeReadsTheTableOfTheLastStart) {
    g_dwNumModes = 0; // as before any start-up
    EXPECT_EQ(0, QuibCheckDisplayMode(800, 600, 16));
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    EXPECT_EQ(1, QuibCheckDisplayMode(800, 600, 16));
    EXPECT_EQ(1, QuibCheckDisplayMode(640, 480, 16));
    EXPECT_EQ(0, QuibCheckDisplayMode(800, 600, 15));
    EXPECT_EQ(0, QuibCheckDisplayMode(512, 384, 16));
}

TEST_F(VideoGeometryTest, RGBABitsOfTheCommonFormats) {
    Bits b = BitsOf(Format(DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F, 0));
    EXPECT_EQ(5, b.red);
    EXPECT_EQ(6, b.green);
    EXPECT_EQ(5, b.blue);
    EXPECT_EQ(0, b.alpha);
    b = BitsOf(Format(DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x7C00, 0x03E0, 0x001F, 0x8000));
    EXPECT_EQ(5, b.red);
    EXPECT_EQ(5, b.green);
    EXPECT_EQ(5, b.blue);
    EXPECT_EQ(1, b.alpha);
    b = BitsOf(Format(DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x0F00, 0x00F0, 0x000F, 0xF000));
    EXPECT_EQ(4, b.red);
    EXPECT_EQ(4, b.alpha);
    // An alpha mask without the alpha flag counts nothing.
    b = BitsOf(Format(DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F, 0x8000));
    EXPECT_EQ(0, b.alpha);
    b = BitsOf(Format(DDPF_RGB, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
    EXPECT_EQ(8, b.red);
    EXPECT_EQ(8, b.blue);
}

TEST_F(VideoGeometryTest, RGBABitsOfPalettisedAndNonRGBFormatsAreZero) {
    Bits b = BitsOf(Format(DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0));
    EXPECT_EQ(0, b.red);
    EXPECT_EQ(0, b.green);
    EXPECT_EQ(0, b.blue);
    EXPECT_EQ(0, b.alpha);
    b = BitsOf(Format(0, 16, 0xF800, 0x07E0, 0x001F, 0));
    EXPECT_EQ(0, b.red);
    EXPECT_EQ(0, b.green);
    int red = 7;
    QuibGetRGBABits(nullptr, &red, nullptr, nullptr, nullptr);
    EXPECT_EQ(0, red);
}

TEST_F(VideoGeometryTest, ViewportBeforeStartUpIsAHarmlessSuccess) {
    ViewportState = {};
    ViewportState.width = 123;
    EXPECT_EQ(1, QuibSetViewport(0, 0, 640, 480));
    EXPECT_EQ(123, ViewportState.width);
}

TEST_F(VideoGeometryTest, ViewportConfiguresRetainedModeAndThePipeline) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
    EXPECT_EQ(640u, g_lpD3DRMViewport->GetWidth());
    EXPECT_EQ(480u, g_lpD3DRMViewport->GetHeight());
    EXPECT_EQ(640, ViewportState.width);
    EXPECT_EQ(480, ViewportState.height);
    EXPECT_FLOAT_EQ(320.0f, ViewportState.scale);
    ASSERT_NE(g_ImViewport, nullptr);
    D3DVIEWPORT2 values = {};
    values.dwSize = sizeof(values);
    ASSERT_EQ(D3D_OK, g_ImViewport->GetViewport2(&values));
    EXPECT_EQ(640u, values.dwWidth);
    EXPECT_FLOAT_EQ(0.75f, values.dvClipHeight);
    EXPECT_FLOAT_EQ(1.0f, values.dvClipWidth);

    // A rectangle outside the device is refused by Retained Mode.
    g_ErrorText[0] = '\0';
    EXPECT_EQ(0, QuibSetViewport(0, 0, 1600, 1200));
    EXPECT_NE(ErrorText().find("Direct3D-RM Error : D3DRMERR_BADVALUE"), std::string::npos);

    // The pipeline's viewport goes with the Retained Mode viewport.
    QuibFreeDirectX();
    EXPECT_EQ(g_ImViewport, nullptr);
    EXPECT_EQ(1, QuibSetViewport(0, 0, 10, 10));
}

TEST_F(VideoGeometryTest, LentObjectsAreTheEnginesAndStayValidUntilShutdown) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    IDirectDraw* dd = QuibGetLPDD();
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    QuibGetDDInfo(&primary, &back);
    ASSERT_NE(dd, nullptr);
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(back, nullptr);
    // The program draws with them as the engine does.
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 16;
    desc.dwHeight = 16;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* sprite = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &sprite, nullptr));
    FillSolid(sprite, 0x4321);
    RECT to = {10, 10, 26, 26};
    ASSERT_EQ(DD_OK, back->Blt(&to, sprite, nullptr, DDBLT_WAIT, nullptr));
    sprite->Release();
    {
        LockedPixels pixels(back);
        ASSERT_TRUE(pixels.ok());
        EXPECT_EQ(0x4321, pixels.At(10, 10));
    }
    QuibGetDDInfo(nullptr, nullptr); // either output may be left out
    // Not released by the borrower: QuibFreeDirectX leaves nothing behind (checked by the fixture).
}

// ---- The raw palette file ----

class PaletteFileTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        for (int i = 0; i < 256; i++)
            g_PaletteEntries[i] = {BYTE(i), BYTE(i), BYTE(i), 0};
    }
    void TearDown() override {
        for (PALETTEENTRY& entry : g_PaletteEntries)
            entry = {0, 0, 0, 0};
        VideoTest::TearDown();
    }
    static void WritePalette(const std::string& name, size_t bytes) {
        std::string data(bytes, '\0');
        for (size_t i = 0; i < bytes; i++)
            data[i] = char((i * 5 + 1) & 0xFF);
        WriteFile(name, data);
    }
};

TEST_F(PaletteFileTest, EntriesOneTo252ComeFromTheFileThenBlueAndRed) {
    WritePalette("game.pal", 768);
    ASSERT_EQ(1, LoadGamePalette("game.pal")) << ErrorText();
    for (int i = 1; i <= 252; i++) {
        EXPECT_EQ(BYTE((i * 3 * 5 + 1) & 0xFF), g_PaletteEntries[i].peRed) << i;
        EXPECT_EQ(BYTE(((i * 3 + 1) * 5 + 1) & 0xFF), g_PaletteEntries[i].peGreen) << i;
        EXPECT_EQ(BYTE(((i * 3 + 2) * 5 + 1) & 0xFF), g_PaletteEntries[i].peBlue) << i;
    }
    EXPECT_EQ(0, g_PaletteEntries[253].peRed);
    EXPECT_EQ(0, g_PaletteEntries[253].peGreen);
    EXPECT_EQ(255, g_PaletteEntries[253].peBlue);
    EXPECT_EQ(255, g_PaletteEntries[254].peRed);
    EXPECT_EQ(0, g_PaletteEntries[254].peBlue);
    // Entries 0 and 255 keep their colour; every entry is read-only.
    EXPECT_EQ(0, g_PaletteEntries[0].peRed);
    EXPECT_EQ(255, g_PaletteEntries[255].peGreen);
    for (const PALETTEENTRY& entry : g_PaletteEntries)
        EXPECT_EQ(0x40, entry.peFlags);
}

TEST_F(PaletteFileTest, PathsAreProgramPaths) {
    std::filesystem::create_directory("Data");
    WritePalette("Data/Game.PAL", 768);
    EXPECT_EQ(1, LoadGamePalette(".\\data\\game.pal")) << ErrorText();
}

TEST_F(PaletteFileTest, MissingFileIsRefusedWithItsName) {
    EXPECT_EQ(0, LoadGamePalette("nofile.pal"));
    EXPECT_EQ("LoadGamePalette : can't open <nofile.pal>\n", ErrorText());
    EXPECT_EQ(0, LoadGamePalette(nullptr));
}

TEST_F(PaletteFileTest, ShortFileIsRefusedAndChangesNothing) {
    WritePalette("short.pal", 700);
    EXPECT_EQ(0, LoadGamePalette("short.pal"));
    EXPECT_EQ("LoadGamePalette : can't read <short.pal>\n", ErrorText());
    EXPECT_EQ(7, g_PaletteEntries[7].peRed);
    EXPECT_EQ(0, g_PaletteEntries[7].peFlags);
}
