// Presenting frames: the full-screen flip that swaps the buffers, the windowed copy to the window's part
// of the desktop (also partly and wholly off the desktop), the copy around an excluded rectangle, lost
// buffers, and the frame rate over a clock the test controls and over the headless virtual clock.
#include "tests/quib/video_test_support.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <utility>

using namespace video_test;

namespace {

class VideoFlipTest : public VideoTest {
  protected:
    void TearDown() override {
        HostSetClockSource(nullptr);
        VideoTest::TearDown();
    }

    static uint64_t s_now;
    static uint64_t FakeNow() { return s_now; }
    static void UseFakeClock(uint64_t start) {
        s_now = start;
        HostSetClockSource(FakeNow);
    }
    // One QuibFlip, ms after the previous one.
    static void FlipAfter(uint64_t ms) {
        s_now += ms;
        QuibFlip();
    }
};

uint64_t VideoFlipTest::s_now = 0;

// Light red, the overlay's text colour 0x8080ff in 5-6-5.
constexpr WORD kOverlayRed565 = WORD((255 >> 3) << 11 | (128 >> 2) << 5 | (128 >> 3));

int CountPixels(IDirectDrawSurface* surface, WORD value, int top = 0, int bottom = -1) {
    LockedPixels pixels(surface);
    if (!pixels.ok()) return -1;
    if (bottom < 0) bottom = pixels.height();
    int count = 0;
    for (int y = top; y < bottom; y++)
        for (int x = 0; x < pixels.width(); x++)
            count += pixels.At(x, y) == value;
    return count;
}

} // namespace

// ---- Frame rate ----

TEST_F(VideoFlipTest, FirstFlipPublishesZero) {
    UseFakeClock(100000);
    EXPECT_EQ(1, QuibFlip()); // no display: nothing to present, but the frame counts
    EXPECT_EQ(0.0f, QuibGetFPS());
}

TEST_F(VideoFlipTest, RateIsFramesOfTheWindowHalvedWhateverItsLength) {
    UseFakeClock(100000);
    QuibFlip(); // opens the first window (the time since the clock's start closes nothing useful)
    for (int i = 0; i < 47; i++)
        FlipAfter(40);             // 48 frames in 1880 ms
    EXPECT_EQ(0.0f, QuibGetFPS()); // not more than 2000 ms yet
    FlipAfter(520);                // the window closes at 2400 ms
    EXPECT_FLOAT_EQ(24.0f, QuibGetFPS());
    EXPECT_FLOAT_EQ(24.0f, g_dwFpsF);
}

TEST_F(VideoFlipTest, RateRefreshesOnlyAfterMoreThanTwoSeconds) {
    UseFakeClock(100000);
    QuibFlip();
    for (int i = 0; i < 20; i++)
        FlipAfter(100); // exactly 2000 ms: not more
    EXPECT_EQ(0.0f, QuibGetFPS());
    FlipAfter(1); // 2001 ms, 21 frames counted
    EXPECT_FLOAT_EQ(10.5f, QuibGetFPS());
}

TEST_F(VideoFlipTest, ThirtyTwoBitClockWrapIsAnOrdinaryInterval) {
    UseFakeClock((uint64_t(1) << 32) - 1500);
    QuibFlip();
    for (int i = 0; i < 20; i++)
        FlipAfter(100); // crosses the wrap of timeGetTime after 15 frames
    EXPECT_EQ(0.0f, QuibGetFPS());
    FlipAfter(100);
    EXPECT_FLOAT_EQ(10.5f, QuibGetFPS());
}

// On the real clock the first flip comes long after the clock's zero (the machine's start), so it
// publishes 0 and the first two-second window starts there: a steady 60 frames a second is measured as
// such from the first publication on, even when the first flip comes 600 ms after start-up.
TEST_F(VideoFlipTest, FirstWindowOnTheRealClockStartsAtTheFirstFlip) {
    timespec boot{};
    ASSERT_EQ(0, clock_gettime(CLOCK_BOOTTIME, &boot));
    if (DWORD(boot.tv_sec * 1000) < 2000u) GTEST_SKIP() << "the machine's 32-bit clock has just wrapped";
    HostSetClockSource(nullptr);
    const uint64_t startUp = HostNowMs();
    UseFakeClock(startUp); // the real reading, carried on by the test frame by frame
    FlipAfter(600);
    EXPECT_EQ(0.0f, QuibGetFPS());
    for (int i = 0; i < 117; i++)
        FlipAfter(17); // 1989 ms
    EXPECT_EQ(0.0f, QuibGetFPS());
    FlipAfter(17); // 2006 ms: 118 frames in the window
    EXPECT_FLOAT_EQ(59.0f, QuibGetFPS());
}

TEST_F(VideoFlipTest, VirtualClockMeasuresSixtyFramesPerSecond) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    FlipResetFrameRateForTests();
    HostResetPresentedFrames();
    for (int i = 0; i < 250; i++)
        ASSERT_EQ(1, QuibFlip());
    // Each presented frame advances the headless clock by 1/60 s.
    EXPECT_EQ(250u, HostPresentedFrames());
    EXPECT_GE(QuibGetFPS(), 59.5f);
    EXPECT_LE(QuibGetFPS(), 61.0f);
}

// ---- Full screen ----

TEST_F(VideoFlipTest, FullScreenFlipSwapsTheBuffers) {
    HWND window = MakeWindow(0, 0);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600, 16)) << ErrorText();
    FillSolid(g_lpBackBuffer, 0xAAAA);
    ASSERT_EQ(1, QuibFlip());
    FillSolid(g_lpBackBuffer, 0x5555);
    ASSERT_EQ(1, QuibFlip());
    // The back buffer holds the frame before last; the screen shows the last one.
    LockedPixels back(g_lpBackBuffer);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(0xAAAA, back.At(0, 0));
    EXPECT_EQ(0xAAAA, back.At(799, 599));
    HostShownPicture shown = HostHeadlessShownPicture();
    ASSERT_EQ(800, shown.width);
    ASSERT_EQ(600, shown.height);
    EXPECT_EQ(0x5555, shown.pixels[0]);
    EXPECT_EQ(0x5555, shown.pixels.back());
}

TEST_F(VideoFlipTest, FullScreenLostPrimaryIsRestoredBeforeTheFlip) {
    HWND window = MakeWindow(0, 0);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600, 16)) << ErrorText();
    HostDDrawMarkAllSurfacesLost();
    EXPECT_EQ(1, QuibFlip());
    EXPECT_EQ(DD_OK, g_lpPrimary->IsLost());
    EXPECT_EQ(DD_OK, g_lpBackBuffer->IsLost());
}

TEST_F(VideoFlipTest, FullScreenFailedRestoreReturnsZeroWithTheError) {
    HWND window = MakeWindow(0, 0);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600, 16)) << ErrorText();
    // Another mode loses the primary for good: it was made for 800x600.
    ASSERT_EQ(DD_OK, g_lpDD->SetDisplayMode(640, 480, 16));
    g_ErrorText[0] = '\0';
    EXPECT_EQ(0, QuibFlip());
    EXPECT_NE(std::string(g_ErrorText).find("DirectDraw Error DDERR_WRONGMODE\nin file "), std::string::npos);
}

TEST_F(VideoFlipTest, FullScreenExcludeRectFlipsWithoutCountingTheFrame) {
    HWND window = MakeWindow(0, 0);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600, 16)) << ErrorText();
    UseFakeClock(100000);
    FillSolid(g_lpBackBuffer, 0x0F0F);
    RECT r = {10, 10, 20, 20};
    EXPECT_EQ(1, QuibFlipExcludeRect(r));
    EXPECT_EQ(0x0F0F, HostHeadlessShownPicture().pixels[0]); // the whole frame is flipped
    // Not counted: the next flip closes a window with no frame in it, the one after with one.
    FlipAfter(2001);
    EXPECT_EQ(0.0f, QuibGetFPS());
    FlipAfter(2001);
    EXPECT_FLOAT_EQ(0.5f, QuibGetFPS());
}

// ---- Windowed ----

TEST_F(VideoFlipTest, WindowedFlipCopiesTheBackBufferToTheWindowsPartOfTheDesktop) {
    HWND window = MakeWindow(100, 50);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    FillSolid(g_lpPrimary, 0); // the desktop keeps what earlier windows left on it
    FillPattern(g_lpBackBuffer);
    ASSERT_EQ(1, QuibFlip());
    {
        LockedPixels desktop(g_lpPrimary);
        ASSERT_TRUE(desktop.ok());
        EXPECT_EQ(PatternAt(0, 0), desktop.At(100, 50));
        EXPECT_EQ(PatternAt(799, 599), desktop.At(899, 649));
        EXPECT_EQ(PatternAt(321, 123), desktop.At(421, 173));
        EXPECT_EQ(0, desktop.At(99, 50));   // left of the window
        EXPECT_EQ(0, desktop.At(900, 649)); // right of it
        EXPECT_EQ(0, desktop.At(100, 650)); // below it
    }
    // The backend shows the window's client area: the back buffer as it is.
    HostShownPicture shown = HostHeadlessShownPicture();
    ASSERT_EQ(800, shown.width);
    ASSERT_EQ(600, shown.height);
    EXPECT_EQ(PatternAt(0, 0), shown.pixels[0]);
    EXPECT_EQ(PatternAt(799, 599), shown.pixels.back());
}

TEST_F(VideoFlipTest, WindowPartlyOffTheDesktopShowsOnlyItsVisiblePart) {
    HWND window = MakeWindow(-100, 50);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    EXPECT_EQ(0, int(g_WindowRect.left));
    EXPECT_EQ(100, int(g_SourceRect.left));
    FillSolid(g_lpPrimary, 0);
    FillPattern(g_lpBackBuffer);
    ASSERT_EQ(1, QuibFlip());
    LockedPixels desktop(g_lpPrimary);
    ASSERT_TRUE(desktop.ok());
    EXPECT_EQ(PatternAt(100, 0), desktop.At(0, 50));
    EXPECT_EQ(PatternAt(799, 599), desktop.At(699, 649));
    EXPECT_EQ(0, desktop.At(700, 50));
}

TEST_F(VideoFlipTest, WindowWhollyOffTheDesktopPresentsNothingAndSucceeds) {
    HWND window = MakeWindow(100, 50);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    FillPattern(g_lpBackBuffer);
    const uint64_t presented = HostPresentedFrames();
    for (auto [x, y] :
         {std::pair{2000, 50}, std::pair{-900, 50}, std::pair{100, 800}, std::pair{100, -700}}) {
        QuibSetWindowXY(x, y);
        g_bError = 0;
        EXPECT_EQ(1, QuibFlip()) << x << "," << y;
        EXPECT_EQ(0, g_bError.load()) << x << "," << y;
        RECT all = {0, 0, 800, 600};
        EXPECT_EQ(1, QuibFlipExcludeRect(all));
        RECT inner = {10, 10, 20, 20};
        EXPECT_EQ(1, QuibFlipExcludeRect(inner));
        EXPECT_EQ(0, g_bError.load());
    }
    EXPECT_EQ(presented, HostPresentedFrames());
    EXPECT_EQ(0, CountLines("DDERR_INVALIDRECT"));
}

TEST_F(VideoFlipTest, WindowedLostBuffersAreRestoredBeforeTheCopy) {
    HWND window = MakeWindow(100, 50);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    HostDDrawMarkAllSurfacesLost();
    EXPECT_EQ(1, QuibFlip());
    EXPECT_EQ(DD_OK, g_lpPrimary->IsLost());
    EXPECT_EQ(DD_OK, g_lpBackBuffer->IsLost());
}

TEST_F(VideoFlipTest, ExcludedRectangleStaysAsItWasOnScreen) {
    HWND window = MakeWindow(100, 50);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    FillSolid(g_lpBackBuffer, 0x7777);
    ASSERT_EQ(1, QuibFlip());
    FillPattern(g_lpBackBuffer);
    RECT r = {200, 100, 300, 250};
    ASSERT_EQ(1, QuibFlipExcludeRect(r));
    LockedPixels desktop(g_lpPrimary);
    ASSERT_TRUE(desktop.ok());
    for (int y = 0; y < 600; y += 7) {
        for (int x = 0; x < 800; x += 5) {
            const bool excluded = x >= 200 && x < 300 && y >= 100 && y < 250;
            ASSERT_EQ(excluded ? 0x7777 : PatternAt(x, y), desktop.At(100 + x, 50 + y)) << x << "," << y;
        }
    }
}

TEST_F(VideoFlipTest, ExcludeRectWithTheWholeClientCopiesNothing) {
    HWND window = MakeWindow(100, 50);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    FillSolid(g_lpBackBuffer, 0x7777);
    ASSERT_EQ(1, QuibFlip());
    const uint64_t presented = HostPresentedFrames();
    FillPattern(g_lpBackBuffer);
    RECT all = {0, 0, 800, 600};
    EXPECT_EQ(1, QuibFlipExcludeRect(all));
    EXPECT_EQ(presented, HostPresentedFrames());
    LockedPixels desktop(g_lpPrimary);
    EXPECT_EQ(0x7777, desktop.At(100, 50));
    EXPECT_EQ(0x7777, desktop.At(899, 649));
}

TEST_F(VideoFlipTest, ExcludeRectHonoursTheVisibleAreaOffsets) {
    // The window hangs off the left and the top: back-buffer (100, 40) is the desktop's (0, 0).
    HWND window = MakeWindow(-100, -40);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    ASSERT_EQ(100, int(g_SourceRect.left));
    ASSERT_EQ(40, int(g_SourceRect.top));
    FillSolid(g_lpBackBuffer, 0x7777);
    ASSERT_EQ(1, QuibFlip());
    FillPattern(g_lpBackBuffer);
    RECT r = {200, 100, 300, 250};
    ASSERT_EQ(1, QuibFlipExcludeRect(r)) << ErrorText();
    LockedPixels desktop(g_lpPrimary);
    ASSERT_TRUE(desktop.ok());
    for (int y = 40; y < 600; y += 7) {
        for (int x = 100; x < 800; x += 5) {
            const bool excluded = x >= 200 && x < 300 && y >= 100 && y < 250;
            ASSERT_EQ(excluded ? 0x7777 : PatternAt(x, y), desktop.At(x - 100, y - 40)) << x << "," << y;
        }
    }
}

TEST_F(VideoFlipTest, ExcludeRectReachingOutsideTheVisibleAreaSkipsEmptyBands) {
    HWND window = MakeWindow(-100, -40);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    FillSolid(g_lpBackBuffer, 0x7777);
    ASSERT_EQ(1, QuibFlip());
    FillPattern(g_lpBackBuffer);
    // Reaches over the hidden top-left part of the window and beyond the client area.
    RECT r = {-50, -50, 150, 90};
    g_bError = 0;
    ASSERT_EQ(1, QuibFlipExcludeRect(r)) << ErrorText();
    EXPECT_EQ(0, g_bError.load());
    LockedPixels desktop(g_lpPrimary);
    ASSERT_TRUE(desktop.ok());
    EXPECT_EQ(0x7777, desktop.At(0, 0));   // back buffer (100, 40): excluded
    EXPECT_EQ(0x7777, desktop.At(49, 49)); // (149, 89): excluded
    EXPECT_EQ(PatternAt(150, 40), desktop.At(50, 0));
    EXPECT_EQ(PatternAt(100, 90), desktop.At(0, 50));
    EXPECT_EQ(PatternAt(799, 599), desktop.At(699, 559));
}

// ---- Text and statistics ----

TEST_F(VideoFlipTest, PrintStringDrawsOpaqueLightRedText) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    FillSolid(g_lpBackBuffer, 0);
    EXPECT_EQ(1, QuibPrintString("Hello", 10, 20));
    EXPECT_GT(CountPixels(g_lpBackBuffer, kOverlayRed565), 10);
    EXPECT_GT(CountPixels(g_lpBackBuffer, 0xFFFF), 10);               // the DC's white background
    EXPECT_EQ(0, CountPixels(g_lpBackBuffer, kOverlayRed565, 0, 20)); // nothing above the text cell
}

TEST_F(VideoFlipTest, PrintStringWithoutADeviceContextReturnsZero) {
    EXPECT_EQ(0, QuibPrintString("no display", 0, 0));
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    EXPECT_EQ(0, QuibPrintString(nullptr, 0, 0));
    LockedPixels locked(g_lpBackBuffer);
    ASSERT_TRUE(locked.ok());
    EXPECT_EQ(0, QuibPrintString("locked", 0, 0));
}

TEST_F(VideoFlipTest, StatisticsLineOnlyWhenSwitchedOn) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    FillSolid(g_lpBackBuffer, 0);
    QuibShowStats();
    EXPECT_EQ(0, CountPixels(g_lpBackBuffer, kOverlayRed565));
    QuibShowFPS(1);
    QuibShowStats();
    // Transparent text on the bottom line of the screen.
    EXPECT_GT(CountPixels(g_lpBackBuffer, kOverlayRed565, 600 - g_FontHeight, 600), 20);
    EXPECT_EQ(0, CountPixels(g_lpBackBuffer, kOverlayRed565, 0, 600 - g_FontHeight));
    EXPECT_EQ(0, CountPixels(g_lpBackBuffer, 0xFFFF));
}

TEST_F(VideoFlipTest, VideoMemoryStatsFillsBothOutputs) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    unsigned long total = 1, free = 1;
    QuibVideoMemoryStats(total, free);
    EXPECT_EQ(HostGetMachine().videoMemoryTotal, total);
    // The windowed back buffer and Z-buffer are in video memory.
    EXPECT_LT(free, HostGetMachine().videoMemoryFree);
    EXPECT_GT(free, 0ul);
    EXPECT_EQ(total, g_dwVidMemTotal);
    EXPECT_EQ(free, g_dwVidMemFree);
    char line[96];
    std::snprintf(line, sizeof(line), "QuibVideoMemoryStats : total=%8d, free=%8d", int(total), int(free));
    EXPECT_EQ(1, CountLines(line));
}
