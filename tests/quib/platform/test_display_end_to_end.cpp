// One frame through the whole display path, windowed and full screen at 800x600x16: start-up, a BMP
// file loaded into a surface, a colour-keyed blit over a known fill, a line of text, the flip, and the
// screen captured by the headless script's capture event and read back from its file; then a clean
// shutdown.
#include <cstring>
#include <filesystem>

#include "host/gdi/text.h"
#include "tests/quib/bitmap_test_support.h"
#include "tests/quib/video_test_support.h"
#include "tests/support/bmp.h"

using namespace video_test;

namespace {

constexpr WORD kFill = 0x4208;      // dark grey in 5-6-5
constexpr WORD kKey = 0x001F;       // pure blue, the programs' key
constexpr WORD kTextRed = 0xFC10;   // QuibPrintString's light red (255, 128, 128)
constexpr WORD kTextPaper = 0xFFFF; // the DC's default white background
constexpr int kPicW = 48, kPicH = 32;
constexpr int kPicX = 200, kPicY = 100; // where the picture lands in the back buffer
constexpr int kTextX = 400, kTextY = 300;
constexpr const char* kText = "End to end";

// The picture: four quadrants (red, green, white, 0x123456), a pure-blue hole across their corners, and
// a bottom row of near-blue (green 1 after truncation) that the key must not take.
uint32_t PictureRgb(int x, int y) {
    if (x >= 12 && x < 36 && y >= 8 && y < 24) return 0x0000FF;
    if (y == kPicH - 1) return 0x0004FF;
    if (y < kPicH / 2) return x < kPicW / 2 ? 0xFF0000 : 0x00FF00;
    return x < kPicW / 2 ? 0xFFFFFF : 0x123456;
}

// A 5-6-5 value as the capture writes it: each channel widened by repeating its top bits.
uint32_t Widened(WORD pixel) {
    const uint32_t r = pixel >> 11, g = (pixel >> 5) & 63, b = pixel & 31;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

using Capture = testsupport::Picture;

// An interface the engine holds: the name of its CREATE line (none for those made as part of another),
// of its RELEASE line, its pointer when the CREATE line is checked, and the interface whose last release
// frees it when the engine's own release leaves references of the platform's (surfaces attached to a
// chain or drawn on by a device, the Retained Mode object's two interfaces).
struct Interface {
    const char* created;
    const char* released;
    const void* pointer;
    const char* heldBy = nullptr;
};

class DisplayEndToEndTest : public VideoTest {
  protected:
    void TearDown() override {
        HostHeadlessReset();
        VideoTest::TearDown();
    }

    // Starts the display on a new window, draws and presents one frame, and returns the captured file.
    void DrawAndCapture(bool fullScreen, Capture& capture) {
        startOfRun_ = ReadLog().size();
        HWND window = fullScreen ? MakeWindow(0, 0) : MakeWindow(100, 50);
        ASSERT_EQ(1, fullScreen ? QuibInitDirectX(window, 800, 600, 16) : QuibInitDirectX(window, 800, 600))
            << ErrorText();
        ASSERT_EQ(fullScreen ? 1 : 0, g_FullScreen);
        std::vector<uint32_t> rgb;
        for (int y = 0; y < kPicH; y++)
            for (int x = 0; x < kPicW; x++)
                rgb.push_back(PictureRgb(x, y));
        const std::string bmp = (Folder() / "picture.bmp").string();
        bmptest::WriteBytes(bmp, bmptest::BuildBmp(bmptest::Picture24(kPicW, kPicH, rgb)));
        IDirectDrawSurface* picture = QuibLoadBitmap(bmp.c_str(), 16);
        ASSERT_NE(picture, nullptr) << ErrorText();
        DDCOLORKEY key = {kKey, kKey};
        ASSERT_EQ(DD_OK, picture->SetColorKey(DDCKEY_SRCBLT, &key));

        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = kFill;
        ASSERT_EQ(DD_OK, g_lpBackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
        RECT to = {kPicX, kPicY, kPicX + kPicW, kPicY + kPicH};
        ASSERT_EQ(DD_OK, g_lpBackBuffer->Blt(&to, picture, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
        EXPECT_EQ(0u, picture->Release());
        // The box the opaque text covers, measured as a program would on the back buffer's DC.
        HDC dc = nullptr;
        ASSERT_EQ(DD_OK, g_lpBackBuffer->GetDC(&dc));
        ASSERT_TRUE(GetTextExtentPoint32A(dc, kText, int(std::strlen(kText)), &textSize_));
        g_lpBackBuffer->ReleaseDC(dc);
        ASSERT_EQ(1, QuibPrintString(kText, kTextX, kTextY));

        const std::string shot = (Folder() / "screen.bmp").string();
        std::string problem;
        ASSERT_TRUE(
            HostHeadlessSetScript(std::to_string(HostPresentedFrames() + 1) + " capture " + shot, problem))
            << problem;
        ASSERT_EQ(1, QuibFlip()) << ErrorText();
        capture = testsupport::ReadCapture(shot);
        ASSERT_TRUE(capture.ok()) << "no capture in " << shot;
        ASSERT_EQ(800, capture.width);
        ASSERT_EQ(600, capture.height);
    }

    // Every pixel of the capture: the picture with its key showing the fill, the text box (light red
    // on white, the red enough to be text), and the fill everywhere else.
    void CheckPixels(const Capture& capture) {
        const RECT text = {kTextX, kTextY, kTextX + textSize_.cx, kTextY + textSize_.cy};
        ASSERT_GT(textSize_.cx, 0);
        ASSERT_GT(textSize_.cy, 0);
        int red = 0, wrong = 0;
        for (int y = 0; y < 600; y++)
            for (int x = 0; x < 800; x++) {
                const uint32_t got = capture.At(x, y).Packed();
                uint32_t want = Widened(kFill);
                if (x >= kPicX && x < kPicX + kPicW && y >= kPicY && y < kPicY + kPicH) {
                    const uint32_t file = PictureRgb(x - kPicX, y - kPicY);
                    want = file == 0x0000FF ? Widened(kFill) : Widened(bmptest::To565(file));
                } else if (x >= text.left && x < text.right && y >= text.top && y < text.bottom) {
                    red += got == Widened(kTextRed);
                    want = got == Widened(kTextRed) ? got : Widened(kTextPaper);
                }
                if (got != want && wrong++ < 5)
                    ADD_FAILURE() << "(" << x << "," << y << ") " << std::hex << got << " want " << want;
            }
        EXPECT_EQ(0, wrong);
        EXPECT_GT(red, int(std::strlen(kText)) * 4); // several pixels a letter
    }

    // The interfaces of the running display; checks each CREATE line with the pointer the engine holds.
    std::vector<Interface> CheckCreated(bool fullScreen) {
        std::vector<Interface> held = {
            {"InitDirectX : g_lpDD", "g_lpDD", g_lpDD},
            {"InitDirectX : g_lpD3DRM", "g_lpD3DRM", g_lpD3DRM},
            {"EnterVideoMode : g_lpPrimary", "g_lpPrimary", g_lpPrimary},
            {"EnterVideoMode : g_lpBackBuffer", "g_lpBackBuffer", g_lpBackBuffer,
             fullScreen ? "g_lpPrimary" : "g_lpD3DDevice"},
            {"EnterVideoMode : g_lpZBuffer", "g_lpZBuffer", g_lpZBuffer,
             fullScreen ? "g_lpPrimary" : nullptr},
            {"EnterVideoMode : g_lpD3DRMDevice", "g_lpD3DRMDevice2", g_lpD3DRMDevice2},
            {"EnterVideoMode : g_lpD3DRMViewport", "g_lpD3DRMViewport", g_lpD3DRMViewport},
            {"InitScene : g_lpScene", "g_lpScene", g_lpScene},
            {"InitScene : g_lpPlayers", "g_lpPlayers", g_lpPlayers}};
        if (!fullScreen) held.push_back({"EnterVideoMode : g_lpClipper", "g_lpClipper", g_lpClipper});
        const std::string run = ReadLog().substr(startOfRun_);
        for (const Interface& i : held) {
            EXPECT_NE(nullptr, i.pointer) << i.released;
            const std::string line = "CREATE:<" + Ptr(i.pointer) + ">" + std::string(i.created) + "\n";
            EXPECT_NE(std::string::npos, run.find(line)) << line;
        }
        for (const char* name :
             {"g_lpD3D2", "g_lpD3DDevice2", "g_lpD3DDevice", "~Frame->m_frame", "~Frame->m_lookatframe"})
            held.push_back({nullptr, name, nullptr});
        held.push_back({nullptr, "g_lpD3DRM2", nullptr, "g_lpD3DRM"});
        return held;
    }

    // QuibFreeDirectX releases each interface (under its pointer where known) until its count reaches 0,
    // by its own release or its holder's later one, reports no allocation and leaves no display object.
    void CheckCleanShutdown(const std::vector<Interface>& held) {
        const size_t before = ReadLog().size();
        QuibFreeDirectX();
        const std::string shutdown = ReadLog().substr(before);
        auto lastRelease = [&](const std::string& name) {
            return shutdown.rfind(">" + name + "->Release()=");
        };
        for (const Interface& i : held) {
            const std::string line = "RELEASE:<" + Ptr(i.pointer) + ">" + i.released + "->Release()=";
            if (i.pointer) {
                EXPECT_NE(std::string::npos, shutdown.find(line)) << line;
            }
            const int count = LastReleaseCount(i.released, shutdown);
            ASSERT_NE(-1, count) << "no release of " << i.released;
            if (!i.heldBy || count == 0) {
                EXPECT_EQ(0, count) << i.released;
                continue;
            }
            EXPECT_EQ(0, LastReleaseCount(i.heldBy, shutdown)) << i.released << " held by " << i.heldBy;
            EXPECT_GT(lastRelease(i.heldBy), lastRelease(i.released))
                << i.heldBy << " goes after " << i.released;
        }
        const size_t report = shutdown.find("***** Remaining Allocs");
        if (report != std::string::npos) {
            EXPECT_EQ(report, shutdown.find("***** Remaining Allocs = 0\n")) << shutdown.substr(report);
        }
        const HostDDrawObjectCounts live = HostDDrawLiveObjects();
        EXPECT_EQ(0, live.directDraws);
        EXPECT_EQ(0, live.surfaces);
        EXPECT_EQ(0, live.palettes);
        EXPECT_EQ(0, live.clippers);
        EXPECT_EQ(nullptr, QuibGetLPDD());
    }

    SIZE textSize_ = {};
    size_t startOfRun_ = 0; // where the log of the last start-up begins
};

} // namespace

TEST_F(DisplayEndToEndTest, WindowedFrameReachesTheCaptureAndShutsDownClean) {
    Capture capture;
    ASSERT_NO_FATAL_FAILURE(DrawAndCapture(false, capture));
    CheckPixels(capture);
    CheckCleanShutdown(CheckCreated(false));
}

TEST_F(DisplayEndToEndTest, FullScreenFrameReachesTheCaptureAndShutsDownClean) {
    Capture capture;
    ASSERT_NO_FATAL_FAILURE(DrawAndCapture(true, capture));
    EXPECT_TRUE(HostHeadlessFullScreen());
    CheckPixels(capture);
    CheckCleanShutdown(CheckCreated(true));
}

TEST_F(DisplayEndToEndTest, FullScreenAfterAWindowInOneRunShutsDownClean) {
    Capture windowed, fullScreen;
    ASSERT_NO_FATAL_FAILURE(DrawAndCapture(false, windowed));
    CheckPixels(windowed);
    ASSERT_NO_FATAL_FAILURE(DrawAndCapture(true, fullScreen));
    CheckPixels(fullScreen);
    CheckCleanShutdown(CheckCreated(true));
}
