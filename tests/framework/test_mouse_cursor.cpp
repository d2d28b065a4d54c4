// The software cursor: press edges counted by the poll and consumed one per GetState, images selected
// within bounds, and the save-under across flips, full screen (one save per buffer) and windowed.
#include "framework_test_support.h"

#include "framework/image.h"
#include "framework/surface_helpers.h"

using namespace fwtest;

namespace {

constexpr uint16_t kCursorWhite = 0xFFFF;

class MouseCursorTest : public DisplayTest {
  protected:
    void StartMouse() {
        StartDisplay(false);
        ASSERT_EQ(1, QuibInitMouse());
        ASSERT_EQ(1, QuibAcquireMouse(1));
    }

    void TearDown() override {
        QuibFreeDirectInput();
        DisplayTest::TearDown();
    }

    // The machine reports the left (0) or right (1) button going down or up.
    static void Button(int button, bool down) { HostInputMouseButton(button, down); }

    // An 8x8 white cursor whose top-left pixel is black (transparent for cursors).
    void MakeCursor(bool fullScreen) {
        WriteBmp("cursor.bmp", 8, 8, [](int x, int y) { return x == 0 && y == 0 ? 0u : 0xFFFFFFu; });
        g_mouseCursor.SetImage("cursor.bmp");
        g_mouseCursor.SelectImage(0);
        g_mouseCursor.Show();
        g_mouseCursor.SetFlipMode(fullScreen ? 1 : 0);
    }
};

} // namespace

// ---- Buttons and presses ----

TEST_F(MouseCursorTest, HoldingAButtonCountsOnePress) {
    StartMouse();
    Button(0, true);
    g_mouseCursor.PollButtons();
    g_mouseCursor.PollButtons();
    g_mouseCursor.PollButtons();
    EXPECT_EQ(1, g_mouseCursor.buttons.load());
    EXPECT_EQ(1, g_mouseCursor.leftPresses.load());
    EXPECT_EQ(0, g_mouseCursor.rightPresses.load());
    Button(0, false);
    g_mouseCursor.PollButtons();
    EXPECT_EQ(0, g_mouseCursor.buttons.load());
    EXPECT_EQ(1, g_mouseCursor.leftPresses.load());
}

TEST_F(MouseCursorTest, TwoQuickPressesAreConsumedOnePerGetState) {
    StartMouse();
    g_mouseCursor.SetPosition(33, 44);
    for (int i = 0; i < 2; i++) {
        Button(0, true);
        g_mouseCursor.PollButtons();
        Button(0, false);
        g_mouseCursor.PollButtons();
    }
    Button(1, true);
    g_mouseCursor.PollButtons();
    int x = 0, y = 0, buttons = -1, left = -1, right = -1;
    EXPECT_EQ(3, g_mouseCursor.GetState(&x, &y, &buttons, &left, &right));
    EXPECT_EQ(33, x);
    EXPECT_EQ(44, y);
    EXPECT_EQ(2, buttons);
    EXPECT_EQ(1, left);
    EXPECT_EQ(0, right);
    left = right = -1;
    EXPECT_EQ(1, g_mouseCursor.GetState(nullptr, nullptr, nullptr, &left, &right));
    EXPECT_EQ(0, left);
    EXPECT_EQ(-1, right); // nothing pending: left untouched
    EXPECT_EQ(0, g_mouseCursor.GetState(nullptr, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(MouseCursorTest, NoPollingNoPresses) {
    StartMouse();
    g_mouseCursor.polling = 0;
    Button(0, true);
    g_mouseCursor.PollButtons();
    EXPECT_EQ(0, g_mouseCursor.buttons.load());
    EXPECT_EQ(0, g_mouseCursor.leftPresses.load());
    g_mouseCursor.polling = 1;
    g_mouseCursor.PollButtons();
    EXPECT_EQ(1, g_mouseCursor.leftPresses.load());
}

// ---- Images ----

TEST_F(MouseCursorTest, SelectingAnImageOutsideTheListLeavesNone) {
    StartDisplay(false);
    g_mouseCursor.SetImage(nullptr);
    g_mouseCursor.SelectImage(0); // the menu does this on an empty list
    EXPECT_EQ(nullptr, g_mouseCursor.currentImage);
    g_mouseCursor.Show();
    g_mouseCursor.Draw(back_);
    EXPECT_EQ(-1, g_mouseCursor.savedX[0]);
    MakeCursor(false);
    g_mouseCursor.SelectImage(1);
    EXPECT_EQ(nullptr, g_mouseCursor.currentImage);
    g_mouseCursor.SelectImage(-1);
    EXPECT_EQ(nullptr, g_mouseCursor.currentImage);
    g_mouseCursor.SelectImage(0);
    EXPECT_NE(nullptr, g_mouseCursor.currentImage);
}

TEST_F(MouseCursorTest, SetImageKeysBlackAndMakesSavesOfTheCursorsSize) {
    StartDisplay(false);
    MakeCursor(false);
    EXPECT_EQ(8, g_mouseCursor.width);
    EXPECT_EQ(8, g_mouseCursor.height);
    ASSERT_NE(nullptr, g_mouseCursor.saveSurfaces[0]);
    ASSERT_NE(nullptr, g_mouseCursor.saveSurfaces[1]);
    DDCOLORKEY key = {1, 1};
    ASSERT_EQ(DD_OK, g_mouseCursor.currentImage->surface->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0u, key.dwColorSpaceLowValue);
    // SetImage again hides and resets the cursor.
    g_mouseCursor.SetImage("cursor.bmp");
    EXPECT_EQ(0, g_mouseCursor.visible);
    EXPECT_EQ(0, g_mouseCursor.flipMode);
    EXPECT_EQ(2, g_mouseCursor.images->count);
}

TEST_F(MouseCursorTest, MissingCursorFileDrawsNothing) {
    StartDisplay(false);
    g_mouseCursor.SetImage("missing.bmp");
    g_mouseCursor.SelectImage(0);
    g_mouseCursor.Show();
    g_mouseCursor.Draw(back_);
    g_mouseCursor.Restore(back_);
    EXPECT_EQ(-1, g_mouseCursor.savedX[0]);
    EXPECT_EQ(0, PixelOf(back_, 0, 0));
}

// ---- Save-under ----

TEST_F(MouseCursorTest, HiddenCursorDrawsNothingButTogglesInFlipMode) {
    StartDisplay(true);
    MakeCursor(true);
    g_mouseCursor.Hide();
    g_mouseCursor.DrawAt(back_, 10, 10);
    EXPECT_EQ(1, g_mouseCursor.saveIndex);
    EXPECT_EQ(-1, g_mouseCursor.savedX[0]);
    EXPECT_EQ(0, PixelOf(back_, 12, 12));
    EXPECT_EQ(0, g_screenUpdater.lists[0].count);
    g_mouseCursor.DrawAt(back_, 10, 10);
    EXPECT_EQ(0, g_mouseCursor.saveIndex);
    g_mouseCursor.SetFlipMode(0);
    g_mouseCursor.DrawAt(back_, 10, 10);
    g_mouseCursor.DrawAt(back_, 10, 10);
    EXPECT_EQ(0, g_mouseCursor.saveIndex);
}

TEST_F(MouseCursorTest, WindowedTheSaveIsPutBackRightAfterTheFlip) {
    StartDisplay(false);
    MakeCursor(false);
    FillWith(back_, 0x1234);
    g_mouseCursor.SetPosition(100, 50);
    g_mouseCursor.Draw(back_);
    EXPECT_EQ(kCursorWhite, PixelOf(back_, 101, 50));
    EXPECT_EQ(0x1234, PixelOf(back_, 100, 50)); // the black corner is transparent
    EXPECT_EQ(1, g_screenUpdater.lists[0].count);
    ASSERT_EQ(1, QuibFlip());
    g_mouseCursor.Restore(back_);
    EXPECT_EQ(kCursorWhite, ShownAt(101, 50));
    EXPECT_EQ(0x1234, PixelOf(back_, 101, 50));
    EXPECT_EQ(0x1234, PixelOf(back_, 107, 57));
    EXPECT_EQ(-1, g_mouseCursor.savedX[0]);
}

TEST_F(MouseCursorTest, FullScreenEachBufferGetsItsOwnSaveBack) {
    StartDisplay(true);
    MakeCursor(true);
    // Buffer A (back now) and buffer B (front) hold different pictures.
    FillWith(back_, 0xAAAA);
    ASSERT_EQ(1, QuibFlip());
    FillWith(back_, 0xBBBB);
    ASSERT_EQ(1, QuibFlip()); // A is the back buffer again
    ASSERT_EQ(0xAAAA, PixelOf(back_, 0, 0));

    g_mouseCursor.DrawAt(back_, 100, 100); // on A, save 0
    ASSERT_EQ(1, QuibFlip());              // B is the back buffer
    g_mouseCursor.Restore(back_);          // nothing saved from B yet
    EXPECT_EQ(0xBBBB, PixelOf(back_, 102, 102));
    EXPECT_EQ(kCursorWhite, ShownAt(102, 102));

    g_mouseCursor.DrawAt(back_, 200, 200); // on B, save 1
    ASSERT_EQ(1, QuibFlip());              // A is the back buffer, still with the cursor at 100
    EXPECT_EQ(kCursorWhite, PixelOf(back_, 102, 102));
    g_mouseCursor.Restore(back_); // save 0 goes back onto A
    EXPECT_EQ(0xAAAA, PixelOf(back_, 102, 102));
    EXPECT_EQ(0xAAAA, PixelOf(back_, 107, 107));
    EXPECT_EQ(kCursorWhite, ShownAt(202, 202));

    g_mouseCursor.DrawAt(back_, 300, 300); // on A, save 0
    ASSERT_EQ(1, QuibFlip());              // B, with the cursor at 200
    g_mouseCursor.Restore(back_);          // save 1 goes back onto B
    EXPECT_EQ(0xBBBB, PixelOf(back_, 202, 202));
    EXPECT_EQ(kCursorWhite, ShownAt(302, 302));
    EXPECT_EQ(0xAAAA, ShownAt(102, 102));
}

TEST_F(MouseCursorTest, AtTheEdgeNothingIsSavedDrawnOrPutBack) {
    StartDisplay(false);
    MakeCursor(false);
    FillWith(back_, 0x1234);
    g_mouseCursor.DrawAt(back_, 796, 100); // the 8-wide cursor would reach past 800
    EXPECT_EQ(-1, g_mouseCursor.savedX[0]);
    EXPECT_EQ(0x1234, PixelOf(back_, 797, 101));
    EXPECT_EQ(0, g_screenUpdater.lists[0].count);
    g_mouseCursor.Restore(back_);
    EXPECT_EQ(0x1234, PixelOf(back_, 797, 101));
}

TEST_F(MouseCursorTest, ReleaseIsSafeTwice) {
    StartDisplay(false);
    MakeCursor(false);
    g_mouseCursor.Release();
    g_mouseCursor.Release();
    EXPECT_EQ(nullptr, g_mouseCursor.currentImage);
    EXPECT_EQ(nullptr, g_mouseCursor.saveSurfaces[0]);
    g_mouseCursor.AddImage("cursor.bmp"); // a list is made again
    EXPECT_EQ(1, g_mouseCursor.images->count);
}
