// The screen updater's two lists across flips: where entries are queued, what a replay copies, which
// entries survive it, what replacing the background drops, and the repair from the clean copy; then
// whole frames through Page::Present, full screen and windowed, with a sprite that moves every frame.
#include "framework_test_support.h"

#include "framework/image.h"
#include "framework/page.h"
#include "framework/surface_helpers.h"

using namespace fwtest;

namespace {

constexpr uint16_t kBackground = 0x1111;
constexpr uint16_t kClean = 0x2222;
constexpr uint16_t kTarget = 0x7777;
constexpr uint16_t kSprite = 0xF800;

class ScreenUpdaterTest : public DisplayTest {
  protected:
    void Start(bool fullScreen) {
        StartDisplay(fullScreen);
        background_ = MakeSurface(800, 600, kBackground);
        clean_ = MakeSurface(800, 600, kClean);
        // Pages' backgrounds are images, keyed blue; restores copy with that key.
        SetColorKey(background_, 0, 0, 255);
        SetColorKey(clean_, 0, 0, 255);
        g_screenUpdater.SetBackground(background_);
        g_screenUpdater.SetCleanBackground(clean_);
    }

    void TearDown() override {
        g_screenUpdater.SetBackground(nullptr);
        g_screenUpdater.SetCleanBackground(nullptr);
        if (background_) background_->Release();
        if (clean_) clean_->Release();
        DisplayTest::TearDown();
    }

    IDirectDrawSurface* background_ = nullptr;
    IDirectDrawSurface* clean_ = nullptr;
};

} // namespace

// ---- Queueing ----

TEST_F(ScreenUpdaterTest, WindowedQueuesIntoTheCurrentListOnly) {
    Start(false);
    g_screenUpdater.AddRect(1, 2, 3, 4, kUpdateOneShot, kUpdateRestore);
    ASSERT_EQ(1, g_screenUpdater.lists[0].count);
    EXPECT_EQ(0, g_screenUpdater.lists[1].count);
    const UpdateRect* entry = g_screenUpdater.lists[0].items[0];
    EXPECT_EQ(1, entry->x);
    EXPECT_EQ(2, entry->y);
    EXPECT_EQ(3, entry->w);
    EXPECT_EQ(4, entry->h);
    EXPECT_EQ(kUpdateOneShot | kUpdateRestore, entry->flags);
    EXPECT_EQ(background_, entry->source);
    EXPECT_EQ(clean_, entry->cleanSource);
    // Flag 2 asks for both lists even without page flipping.
    g_screenUpdater.AddRect(0, 0, 1, 1, kUpdateBothLists, kUpdateRestore);
    EXPECT_EQ(2, g_screenUpdater.lists[0].count);
    EXPECT_EQ(1, g_screenUpdater.lists[1].count);
}

TEST_F(ScreenUpdaterTest, DoubleBufferedQueuesACopyIntoEachList) {
    Start(true);
    RECT bounds = {10, 20, 15, 28};
    g_screenUpdater.AddBounds(bounds, kUpdateOneShot, kUpdateRestore);
    ASSERT_EQ(1, g_screenUpdater.lists[0].count);
    ASSERT_EQ(1, g_screenUpdater.lists[1].count);
    EXPECT_NE(g_screenUpdater.lists[0].items[0], g_screenUpdater.lists[1].items[0]);
    EXPECT_EQ(5, g_screenUpdater.lists[1].items[0]->w);
    EXPECT_EQ(8, g_screenUpdater.lists[1].items[0]->h);
}

TEST_F(ScreenUpdaterTest, ToggleListSwapsOnlyWithPageFlipping) {
    Start(false);
    g_screenUpdater.ToggleList();
    EXPECT_EQ(0, g_screenUpdater.index);
    g_screenUpdater.SetDoubleBuffered(1);
    g_screenUpdater.ToggleList();
    EXPECT_EQ(1, g_screenUpdater.index);
    g_screenUpdater.ToggleList();
    EXPECT_EQ(0, g_screenUpdater.index);
}

TEST_F(ScreenUpdaterTest, TurningPageFlippingOnLateStillReachesBothBuffers) {
    // The contract's start-up enters the first page (whose restore is queued windowed) before it turns
    // page flipping on.
    Start(false);
    g_screenUpdater.ResetBackground();
    g_screenUpdater.AddRect(5, 5, 1, 1, 0, kUpdateRestore);
    g_screenUpdater.SetDoubleBuffered(1);
    ASSERT_EQ(2, g_screenUpdater.lists[0].count);
    ASSERT_EQ(2, g_screenUpdater.lists[1].count);
    EXPECT_NE(g_screenUpdater.lists[0].items[0], g_screenUpdater.lists[1].items[0]);
    IDirectDrawSurface* bufferA = MakeSurface(800, 600, kTarget);
    IDirectDrawSurface* bufferB = MakeSurface(800, 600, kTarget);
    g_screenUpdater.ToggleList();
    g_screenUpdater.Replay(bufferB);
    g_screenUpdater.ToggleList();
    g_screenUpdater.Replay(bufferA);
    EXPECT_EQ(kClean, PixelOf(bufferA, 400, 300));
    EXPECT_EQ(kClean, PixelOf(bufferB, 400, 300));
    // Already on: nothing is copied again.
    g_screenUpdater.SetDoubleBuffered(1);
    EXPECT_EQ(1, g_screenUpdater.lists[0].count);
    EXPECT_EQ(1, g_screenUpdater.lists[1].count);
    bufferA->Release();
    bufferB->Release();
}

// ---- Replay ----

TEST_F(ScreenUpdaterTest, ReplayRestoresFromTheBackgroundAndDropsOneShots) {
    Start(false);
    IDirectDrawSurface* target = MakeSurface(800, 600, kTarget);
    g_screenUpdater.AddRect(10, 10, 5, 5, kUpdateOneShot, kUpdateRestore);
    g_screenUpdater.AddRect(100, 100, 2, 2, 0, kUpdateRestore); // stays for every replay
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kBackground, PixelOf(target, 10, 10));
    EXPECT_EQ(kBackground, PixelOf(target, 14, 14));
    EXPECT_EQ(kTarget, PixelOf(target, 15, 15));
    EXPECT_EQ(kBackground, PixelOf(target, 101, 101));
    ASSERT_EQ(1, g_screenUpdater.lists[0].count);
    EXPECT_EQ(100, g_screenUpdater.lists[0].items[0]->x);
    FillWith(target, kTarget);
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kTarget, PixelOf(target, 10, 10));
    EXPECT_EQ(kBackground, PixelOf(target, 100, 100));
    target->Release();
}

TEST_F(ScreenUpdaterTest, ReplayClipsRectanglesAtTheEdges) {
    Start(false);
    IDirectDrawSurface* target = MakeSurface(800, 600, kTarget);
    g_screenUpdater.AddRect(-4, 595, 10, 10, kUpdateOneShot, kUpdateRestore);
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kBackground, PixelOf(target, 0, 599));
    EXPECT_EQ(kBackground, PixelOf(target, 5, 595));
    EXPECT_EQ(kTarget, PixelOf(target, 6, 595));
    target->Release();
}

TEST_F(ScreenUpdaterTest, BlueBackgroundPixelsAreNotRestored) {
    // Restores use the background's source key, which Image sets to blue.
    Start(false);
    PutPixel(background_, 11, 10, 0x001F);
    IDirectDrawSurface* target = MakeSurface(800, 600, kTarget);
    g_screenUpdater.AddRect(10, 10, 2, 1, kUpdateOneShot, kUpdateRestore);
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kBackground, PixelOf(target, 10, 10));
    EXPECT_EQ(kTarget, PixelOf(target, 11, 10));
    target->Release();
}

TEST_F(ScreenUpdaterTest, AnEntryOfAReplacedBackgroundIsNotReplayed) {
    Start(false);
    IDirectDrawSurface* target = MakeSurface(800, 600, kTarget);
    g_screenUpdater.AddRect(10, 10, 5, 5, 0, kUpdateRestore);
    IDirectDrawSurface* other = MakeSurface(800, 600, 0x3333);
    g_screenUpdater.SetBackground(other);
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kTarget, PixelOf(target, 10, 10));
    EXPECT_EQ(1, g_screenUpdater.lists[0].count); // not one-shot: kept, but never matches again
    g_screenUpdater.SetBackground(background_);
    other->Release();
    target->Release();
}

TEST_F(ScreenUpdaterTest, SetBackgroundDropsTheOneShotsOfBothLists) {
    Start(true);
    g_screenUpdater.AddRect(10, 10, 5, 5, kUpdateOneShot, kUpdateRestore);
    g_screenUpdater.AddRect(20, 20, 5, 5, 0, kUpdateRestore);
    ASSERT_EQ(2, g_screenUpdater.lists[0].count);
    ASSERT_EQ(2, g_screenUpdater.lists[1].count);
    g_screenUpdater.SetBackground(clean_);
    ASSERT_EQ(1, g_screenUpdater.lists[0].count);
    ASSERT_EQ(1, g_screenUpdater.lists[1].count);
    EXPECT_EQ(20, g_screenUpdater.lists[0].items[0]->x);
    EXPECT_EQ(20, g_screenUpdater.lists[1].items[0]->x);
    EXPECT_EQ(clean_, g_screenUpdater.GetBackground());
}

TEST_F(ScreenUpdaterTest, PurgeOneShotKeepsTheLastingEntriesInOrder) {
    Start(false);
    for (int i = 0; i < 6; i++)
        g_screenUpdater.AddRect(i, 0, 1, 1, i % 3 == 0 ? 0 : kUpdateOneShot, kUpdateRestore);
    g_screenUpdater.PurgeOneShot();
    ASSERT_EQ(2, g_screenUpdater.lists[0].count);
    EXPECT_EQ(0, g_screenUpdater.lists[0].items[0]->x);
    EXPECT_EQ(3, g_screenUpdater.lists[0].items[1]->x);
}

TEST_F(ScreenUpdaterTest, DoubleBufferedOneShotIsRestoredOnceOnEachBuffer) {
    Start(true);
    IDirectDrawSurface* bufferA = MakeSurface(800, 600, kTarget);
    IDirectDrawSurface* bufferB = MakeSurface(800, 600, kTarget);
    g_screenUpdater.AddRect(50, 50, 4, 4, kUpdateOneShot, kUpdateRestore);
    // Flip: B is the back buffer now.
    g_screenUpdater.ToggleList();
    g_screenUpdater.Replay(bufferB);
    EXPECT_EQ(kBackground, PixelOf(bufferB, 50, 50));
    EXPECT_EQ(kTarget, PixelOf(bufferA, 50, 50));
    // Flip: A.
    g_screenUpdater.ToggleList();
    g_screenUpdater.Replay(bufferA);
    EXPECT_EQ(kBackground, PixelOf(bufferA, 50, 50));
    EXPECT_EQ(0, g_screenUpdater.lists[0].count);
    EXPECT_EQ(0, g_screenUpdater.lists[1].count);
    // Nothing is left for later flips.
    FillWith(bufferA, kTarget);
    FillWith(bufferB, kTarget);
    g_screenUpdater.ToggleList();
    g_screenUpdater.Replay(bufferB);
    g_screenUpdater.ToggleList();
    g_screenUpdater.Replay(bufferA);
    EXPECT_EQ(kTarget, PixelOf(bufferA, 50, 50));
    EXPECT_EQ(kTarget, PixelOf(bufferB, 50, 50));
    bufferA->Release();
    bufferB->Release();
}

TEST_F(ScreenUpdaterTest, WindowedOneShotIsRestoredRightAfterTheFrameThatQueuedIt) {
    Start(false);
    IDirectDrawSurface* target = MakeSurface(800, 600, kTarget);
    g_screenUpdater.AddRect(50, 50, 4, 4, kUpdateOneShot, kUpdateRestore);
    g_screenUpdater.ToggleList(); // the flip of the frame that drew there
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kBackground, PixelOf(target, 50, 50));
    EXPECT_EQ(0, g_screenUpdater.lists[0].count + g_screenUpdater.lists[1].count);
    target->Release();
}

// ---- The clean copy ----

TEST_F(ScreenUpdaterTest, ResetBackgroundCopiesTheCleanCopyAndQueuesAWholeRestore) {
    Start(false);
    IDirectDrawSurface* target = MakeSurface(800, 600, kTarget);
    g_screenUpdater.ResetBackground();
    EXPECT_EQ(kClean, PixelOf(background_, 0, 0));
    EXPECT_EQ(kClean, PixelOf(background_, 799, 599));
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kClean, PixelOf(target, 0, 0));
    EXPECT_EQ(kClean, PixelOf(target, 799, 599));
    target->Release();
}

TEST_F(ScreenUpdaterTest, RestoreRectRepairsOnlyThatRectangle) {
    Start(false);
    IDirectDrawSurface* target = MakeSurface(800, 600, kTarget);
    g_screenUpdater.RestoreRect(110, 0, 690, 600);
    EXPECT_EQ(kBackground, PixelOf(background_, 109, 0));
    EXPECT_EQ(kClean, PixelOf(background_, 110, 0));
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kTarget, PixelOf(target, 109, 300));
    EXPECT_EQ(kClean, PixelOf(target, 110, 300));
    EXPECT_EQ(kClean, PixelOf(target, 799, 599));
    target->Release();
}

TEST_F(ScreenUpdaterTest, RepairEntryCopiesFromTheCleanCopyOnlyWhileItIsTheSame) {
    Start(false);
    IDirectDrawSurface* target = MakeSurface(800, 600, kTarget);
    g_screenUpdater.AddRect(5, 5, 2, 2, kUpdateOneShot, kUpdateRepairAndRestore);
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kClean, PixelOf(background_, 5, 5));
    EXPECT_EQ(kClean, PixelOf(target, 5, 5));

    FillWith(background_, kBackground);
    FillWith(target, kTarget);
    g_screenUpdater.AddRect(5, 5, 2, 2, kUpdateOneShot, kUpdateRepairAndRestore);
    IDirectDrawSurface* otherClean = MakeSurface(800, 600, 0x3333);
    g_screenUpdater.SetCleanBackground(otherClean);
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kBackground, PixelOf(background_, 5, 5)); // not repaired
    EXPECT_EQ(kBackground, PixelOf(target, 5, 5));      // but restored
    g_screenUpdater.SetCleanBackground(clean_);
    otherClean->Release();
    target->Release();
}

TEST_F(ScreenUpdaterTest, QueueFullScreenCopiesNothingNow) {
    Start(false);
    IDirectDrawSurface* target = MakeSurface(800, 600, kTarget);
    g_screenUpdater.QueueFullScreen();
    EXPECT_EQ(kBackground, PixelOf(background_, 0, 0));
    g_screenUpdater.Replay(target);
    EXPECT_EQ(kBackground, PixelOf(target, 0, 0));
    EXPECT_EQ(kBackground, PixelOf(target, 799, 599));
    target->Release();
}

TEST_F(ScreenUpdaterTest, ImageHelpers) {
    Start(false);
    WriteSolidBmp("patch.bmp", 800, 600, 0xFF0000);
    Image patch("patch.bmp");
    ASSERT_NE(nullptr, patch.surface);
    patch.width = 10;
    patch.height = 8;
    patch.SetPosition(30, 40);
    g_screenUpdater.CopyImagePartToBackground(&patch);
    EXPECT_EQ(0xF800, PixelOf(background_, 30, 40));
    EXPECT_EQ(0xF800, PixelOf(background_, 39, 47));
    EXPECT_EQ(kBackground, PixelOf(background_, 40, 47));
    EXPECT_EQ(1, g_screenUpdater.lists[0].count);
    g_screenUpdater.RestoreRect(&patch);
    EXPECT_EQ(kClean, PixelOf(background_, 30, 40));
    g_screenUpdater.CopyCleanRectToBackBuffer(0, 0, 3, 3);
    EXPECT_EQ(kClean, PixelOf(back_, 2, 2));
    EXPECT_EQ(0, PixelOf(back_, 3, 3));
    g_screenUpdater.CopyCleanToBackBuffer();
    EXPECT_EQ(kClean, PixelOf(back_, 799, 599));
    EXPECT_EQ(back_, g_screenUpdater.GetBackBuffer());
}

// ---- Whole frames: a sprite moving over the background leaves no trail ----

namespace {

// Draws a 10x10 sprite at x on the back buffer and registers its rectangle, as sprites do.
void DrawSprite(IDirectDrawSurface* sprite, IDirectDrawSurface* back, int x) {
    DrawSurfaceAt(sprite, back, x, 100, kBltWaitKeySrc);
    RECT rect = {x, 100, x + 10, 110};
    g_screenUpdater.AddBounds(rect, kUpdateOneShot, kUpdateRestore);
}

// How many pixels of row 105 of the shown picture have the sprite's colour.
int SpritePixelsShown() {
    HostShownPicture shown = HostHeadlessShownPicture();
    int count = 0;
    for (int x = 0; x < shown.width; x++)
        count += shown.pixels[size_t(105) * size_t(shown.width) + size_t(x)] == kSprite;
    return count;
}

void RunMovingSprite(IDirectDrawSurface* back) {
    IDirectDrawSurface* sprite = CreateSurface(10, 10);
    ASSERT_NE(nullptr, sprite);
    FillSurface(sprite, kSprite);
    // Both buffers start from the background, as a page's first frames leave them.
    g_screenUpdater.QueueFullScreen();
    Page page("moving");
    ASSERT_EQ(1, page.Present());
    ASSERT_EQ(1, page.Present());
    for (int frame = 0; frame < 6; frame++) {
        int x = 100 + 20 * frame;
        DrawSprite(sprite, back, x);
        ASSERT_EQ(1, page.Present());
        EXPECT_EQ(10, SpritePixelsShown()) << "frame " << frame;
        EXPECT_EQ(kSprite, ShownAt(x, 105));
        EXPECT_EQ(kBackground, ShownAt(x - 20, 105)) << "frame " << frame;
    }
    sprite->Release();
}

} // namespace

TEST_F(ScreenUpdaterTest, MovingSpriteLeavesNoTrailFullScreen) {
    Start(true);
    RunMovingSprite(back_);
}

TEST_F(ScreenUpdaterTest, MovingSpriteLeavesNoTrailInAWindow) {
    Start(false);
    RunMovingSprite(back_);
}
