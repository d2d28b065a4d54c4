// Buttons: hover, press and click through the polled mouse and through window messages, hit-rectangle
// edges, the pixel-exact hit test and its bounds, the state pictures drawn and their ownership, state
// strips; and the control list: clicks, origins, lookups and deletion.
#include "framework_test_support.h"

#include <string>

#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/page.h"
#include "framework/surface_helpers.h"

using namespace fwtest;

namespace {

constexpr uint16_t kNormal = 0x1000;
constexpr uint16_t kHover = 0x2000;
constexpr uint16_t kPressed = 0x3000;
constexpr int kLeftDown = 1;
constexpr int kNone = 0;

class ButtonTest : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay(false);
    }

    // A button at (100, 50) of three 20x10 state pictures.
    void AddStates(Button& button) {
        const uint16_t colours[] = {kNormal, kHover, kPressed};
        for (int i = 0; i < 3; i++) {
            IDirectDrawSurface* surface = MakeSurface(20, 10, colours[i]);
            EXPECT_EQ(1, button.AddStateImage(i, surface));
            surface->Release(); // the button keeps its own reference
        }
    }

    // Where the button is drawn, what the back buffer shows there.
    uint16_t Drawn(const Button& button) {
        return PixelOf(back_, button.x + button.offsetX + 1, button.y + button.offsetY + 1);
    }
};

} // namespace

// ---- Polled mouse ----

TEST_F(ButtonTest, HoverPressAndClick) {
    Button button(100, 50);
    AddStates(button);
    EXPECT_EQ(kButtonHover, button.HandleMouse(105, 55, kNone));
    EXPECT_EQ(1, button.IsMouseOver());
    EXPECT_EQ(kHover, Drawn(button));
    EXPECT_EQ(0, button.WasClicked());
    EXPECT_EQ(kButtonPressed, button.HandleMouse(105, 55, kLeftDown));
    EXPECT_EQ(kPressed, Drawn(button));
    EXPECT_EQ(0, button.WasClicked());
    EXPECT_EQ(kButtonHover, button.HandleMouse(106, 55, kNone));
    EXPECT_EQ(1, button.WasClicked());
    EXPECT_EQ(kClickLeft, button.clickKind);
    EXPECT_EQ(kHover, Drawn(button));
    // The click lasts until the next mouse test.
    button.HandleMouse(106, 55, kNone);
    EXPECT_EQ(0, button.WasClicked());
    EXPECT_EQ(kButtonNormal, button.HandleMouse(300, 300, kNone));
    EXPECT_EQ(kNormal, Drawn(button));
}

TEST_F(ButtonTest, PressOutsideMovedInsideAndReleasedDoesNotClick) {
    Button button(100, 50);
    AddStates(button);
    button.HandleMouse(90, 55, kLeftDown);
    EXPECT_EQ(kButtonNormal, button.GetState());
    // Still held when it comes over the button: a press that started elsewhere does not count...
    button.HandleMouse(105, 55, kLeftDown);
    EXPECT_EQ(kButtonPressed, button.GetState()); // ...the polled logic presses on any held button
    button.SetState(kButtonNormal);
    button.HandleMouse(90, 55, kLeftDown);
    button.HandleMouse(105, 55, kNone);
    EXPECT_EQ(0, button.WasClicked());
    EXPECT_EQ(kButtonHover, button.GetState());
}

TEST_F(ButtonTest, ReleasingOutsideCancelsThePress) {
    Button button(100, 50);
    AddStates(button);
    button.HandleMouse(105, 55, kLeftDown);
    button.HandleMouse(200, 55, kLeftDown);
    EXPECT_EQ(kButtonNormal, button.GetState());
    button.HandleMouse(105, 55, kNone);
    EXPECT_EQ(0, button.WasClicked());
}

TEST_F(ButtonTest, PolledHitRectangleIsHalfOpen) {
    Button button(100, 50);
    AddStates(button);
    button.HandleMouse(100, 50, kNone);
    EXPECT_EQ(1, button.IsMouseOver());
    button.HandleMouse(119, 59, kNone);
    EXPECT_EQ(1, button.IsMouseOver());
    button.HandleMouse(120, 55, kNone);
    EXPECT_EQ(0, button.IsMouseOver());
    button.HandleMouse(110, 60, kNone);
    EXPECT_EQ(0, button.IsMouseOver());
    button.HandleMouse(99, 55, kNone);
    EXPECT_EQ(0, button.IsMouseOver());
}

TEST_F(ButtonTest, DisabledButtonIgnoresTheMouse) {
    Button button(100, 50);
    AddStates(button);
    button.SetEnabled(0);
    EXPECT_EQ(kButtonNormal, button.HandleMouse(105, 55, kLeftDown));
    EXPECT_EQ(kButtonNormal, button.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(105, 55)));
    EXPECT_EQ(0, PixelOf(back_, 101, 51)); // and draws nothing
}

TEST_F(ButtonTest, OffsetMovesTheHitRectangleAndTheDrawing) {
    Button button(100, 50);
    AddStates(button);
    button.SetOffset(200, 100);
    button.HandleMouse(105, 55, kNone);
    EXPECT_EQ(0, button.IsMouseOver());
    button.HandleMouse(305, 155, kNone);
    EXPECT_EQ(1, button.IsMouseOver());
    EXPECT_EQ(kHover, PixelOf(back_, 301, 151));
    EXPECT_EQ(0, PixelOf(back_, 101, 51));
}

// ---- Pixel-exact hit test ----

namespace {

// A 20x10 first picture: blue on the left half, red on the right.
IDirectDrawSurface* HalfBlue(ButtonTest*) {
    IDirectDrawSurface* surface = CreateSurface(20, 10);
    FillSurface(surface, 0xF800);
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 10; x++)
            PutPixel(surface, x, y, 0x001F);
    return surface;
}

} // namespace

TEST_F(ButtonTest, PixelHitIgnoresBluePixels) {
    Button button(100, 50);
    IDirectDrawSurface* surface = HalfBlue(this);
    button.AddStateImage(0, surface);
    surface->Release();
    button.SetPixelHit(1);
    button.HandleMouse(102, 55, kLeftDown);
    EXPECT_EQ(kButtonNormal, button.GetState());
    button.HandleMouse(115, 55, kLeftDown);
    EXPECT_EQ(kButtonPressed, button.GetState());
    // Released over blue: no click, back to normal.
    button.HandleMouse(102, 55, kNone);
    EXPECT_EQ(0, button.WasClicked());
    EXPECT_EQ(kButtonNormal, button.GetState());
}

TEST_F(ButtonTest, PixelHitOutsideThePictureCountsAsTransparent) {
    Button button(100, 50);
    IDirectDrawSurface* surface = HalfBlue(this);
    button.AddStateImage(0, surface);
    surface->Release();
    button.SetPixelHit(1);
    // A hit rectangle larger than the picture: points beyond it must not be read.
    button.SetHitRect(100, 50, 400, 300);
    button.HandleMouse(450, 300, kLeftDown);
    EXPECT_EQ(1, button.IsMouseOver());
    EXPECT_EQ(kButtonNormal, button.GetState());
    button.HandleMouse(119, 59, kLeftDown);
    EXPECT_EQ(kButtonPressed, button.GetState());
    // A hit rectangle left of the picture: negative picture coordinates.
    Button shifted(100, 50);
    surface = HalfBlue(this);
    shifted.AddStateImage(0, surface);
    surface->Release();
    shifted.SetPixelHit(1);
    shifted.SetHitRect(90, 40, 40, 40);
    shifted.HandleMouse(115, 45, kLeftDown); // above the picture
    EXPECT_EQ(kButtonNormal, shifted.GetState());
    shifted.HandleMouse(95, 45, kLeftDown);
    EXPECT_EQ(kButtonNormal, shifted.GetState());
}

TEST_F(ButtonTest, PixelHitWithoutAPictureNeverPresses) {
    Button button(100, 50, 20, 10);
    button.SetPixelHit(1);
    button.HandleMouse(105, 55, kLeftDown);
    EXPECT_EQ(kButtonNormal, button.GetState());
}

// ---- Window messages ----

TEST_F(ButtonTest, MessagesHoverPressAndClick) {
    Button button(100, 50);
    AddStates(button);
    EXPECT_EQ(kButtonHover, button.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(105, 55)));
    EXPECT_EQ(kButtonPressed, button.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(105, 55)));
    EXPECT_EQ(kButtonPressed, button.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(106, 55)));
    EXPECT_EQ(kButtonHover, button.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(106, 55)));
    EXPECT_EQ(1, button.WasClicked());
    EXPECT_EQ(kClickLeft, button.clickKind);
    EXPECT_EQ(kButtonNormal, button.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(300, 55)));
    EXPECT_EQ(0, button.WasClicked());
}

TEST_F(ButtonTest, RightReleaseInsideClicksWithKindTwoAndNoStateChange) {
    Button button(100, 50);
    AddStates(button);
    EXPECT_EQ(kButtonNormal, button.HandleMessage(WM_RBUTTONUP, 0, MAKELPARAM(105, 55)));
    EXPECT_EQ(1, button.WasClicked());
    EXPECT_EQ(kClickRight, button.clickKind);
    button.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(105, 55));
    EXPECT_EQ(kButtonHover, button.HandleMessage(WM_RBUTTONUP, 0, MAKELPARAM(300, 55)));
    EXPECT_EQ(0, button.WasClicked());
    // The polled mouse knows no right click.
    button.HandleMouse(105, 55, 2);
    EXPECT_EQ(0, button.WasClicked());
}

TEST_F(ButtonTest, MessageHitRectangleIncludesItsRightAndBottomEdges) {
    Button button(100, 50);
    AddStates(button);
    button.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(120, 60));
    EXPECT_EQ(1, button.IsMouseOver());
    button.HandleMouse(120, 60, kNone);
    EXPECT_EQ(0, button.IsMouseOver());
    button.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(121, 60));
    EXPECT_EQ(0, button.IsMouseOver());
}

// ---- Drawing ----

TEST_F(ButtonTest, FrameBeyondThePicturesDrawsTheLast) {
    Button button(100, 50);
    AddStates(button);
    button.SetFrameOffset(2); // hover + 2 = 3: no such picture
    button.SetState(kButtonHover);
    button.Draw(nullptr);
    EXPECT_EQ(kPressed, Drawn(button));
    button.SetFrameOffset(1);
    button.SetState(kButtonNormal);
    button.Draw(nullptr);
    EXPECT_EQ(kHover, Drawn(button));
}

TEST_F(ButtonTest, ForcedAndSingleFrames) {
    Button button(100, 50);
    AddStates(button);
    button.SetState(kButtonPressed);
    button.SetSingleFrame(1);
    button.Draw(nullptr);
    EXPECT_EQ(kNormal, Drawn(button));
    button.SetForcedFrame(1);
    EXPECT_EQ(1, button.GetForcedFrame());
    button.Draw(nullptr);
    EXPECT_EQ(kHover, Drawn(button));
    button.SetForcedFrame(7); // outside the pictures: the last one, not a read past the list
    button.Draw(nullptr);
    EXPECT_EQ(kPressed, Drawn(button));
}

TEST_F(ButtonTest, RegisteredButtonsQueueTheirRectangle) {
    Button button(100, 50);
    AddStates(button);
    button.Draw(nullptr);
    EXPECT_EQ(0, g_screenUpdater.lists[0].count);
    button.SetRegisterRect(1);
    button.Draw(nullptr);
    ASSERT_EQ(1, g_screenUpdater.lists[0].count);
    EXPECT_EQ(100, g_screenUpdater.lists[0].items[0]->x);
    EXPECT_EQ(20, g_screenUpdater.lists[0].items[0]->w);
}

TEST_F(ButtonTest, ButtonWithoutPicturesDrawsNothing) {
    Button button(100, 50, 20, 10);
    button.SetRegisterRect(1);
    button.Draw(nullptr);
    button.DrawIfEnabled();
    EXPECT_EQ(0, Drawn(button));
    EXPECT_EQ(0, g_screenUpdater.lists[0].count);
}

TEST_F(ButtonTest, SwapStateImagesToggles) {
    Button button(100, 50);
    AddStates(button);
    button.SwapStateImages();
    EXPECT_EQ(kHover, Drawn(button));
    button.SwapStateImages();
    EXPECT_EQ(kNormal, Drawn(button));
}

TEST_F(ButtonTest, ResetDrawsTheNormalPicture) {
    Button button(100, 50);
    AddStates(button);
    button.SetState(kButtonPressed);
    button.Reset();
    EXPECT_EQ(kButtonNormal, button.GetState());
    EXPECT_EQ(kNormal, Drawn(button));
}

TEST_F(ButtonTest, DrawIntoBackgroundsDrawsIntoBothCopies) {
    Button button(100, 50);
    AddStates(button);
    IDirectDrawSurface* background = MakeSurface(800, 600, 0);
    IDirectDrawSurface* clean = MakeSurface(800, 600, 0);
    g_screenUpdater.SetBackground(background);
    g_screenUpdater.SetCleanBackground(clean);
    button.DrawIntoBackgrounds(0);
    EXPECT_EQ(0, PixelOf(background, 101, 51));
    button.DrawIntoBackgrounds(1);
    EXPECT_EQ(kNormal, PixelOf(background, 101, 51));
    EXPECT_EQ(kNormal, PixelOf(clean, 101, 51));
    g_screenUpdater.SetBackground(nullptr);
    g_screenUpdater.SetCleanBackground(nullptr);
    background->Release();
    clean->Release();
}

// ---- Pictures: ownership, files and strips ----

TEST_F(ButtonTest, StateImagesAreKeyedBlueAndSizeTheButton) {
    Button button(10, 20);
    IDirectDrawSurface* small = MakeSurface(5, 5, kNormal);
    IDirectDrawSurface* large = MakeSurface(30, 12, kHover);
    button.AddStateImage(0, small);
    button.SetHitRect(0, 0, 1, 1);
    button.AddStateImage(1, large);
    EXPECT_EQ(30, button.w);
    EXPECT_EQ(12, button.h);
    EXPECT_EQ(30, button.hitW);
    EXPECT_EQ(12, button.hitH);
    DDCOLORKEY key = {};
    ASSERT_EQ(DD_OK, small->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0x001Fu, key.dwColorSpaceLowValue);
    EXPECT_EQ(0, button.AddStateImage(2, nullptr));
    // The caller's surfaces stay valid while the button lives and after it is gone.
    small->Release();
    large->Release();
}

TEST_F(ButtonTest, StateImageFileIsLoadedAndOwned) {
    WriteSolidBmp("state.bmp", 12, 6, 0xFFFFFF);
    int before = HostDDrawLiveObjects().surfaces;
    {
        Button button(0, 0);
        EXPECT_EQ(1, button.AddStateImageFile(0, "state.bmp"));
        EXPECT_EQ(0, button.AddStateImageFile(1, "missing.bmp"));
        EXPECT_EQ(12, button.w);
        EXPECT_EQ(before + 1, HostDDrawLiveObjects().surfaces);
    }
    EXPECT_EQ(before, HostDDrawLiveObjects().surfaces);
}

TEST_F(ButtonTest, LoadStatesCutsAHorizontalStrip) {
    WriteBmp("strip.bmp", 60, 10, [](int x, int) {
        return x < 20 ? 0xFF0000u : x < 40 ? 0x00FF00u : 0xFFFFFFu;
    });
    int before = HostDDrawLiveObjects().surfaces;
    {
        Button button(100, 50);
        EXPECT_EQ(1, button.LoadStates("strip.bmp", 3, 0));
        EXPECT_EQ(3, button.stateImages->count);
        EXPECT_EQ(20, button.w);
        EXPECT_EQ(10, button.h);
        button.Draw(nullptr);
        EXPECT_EQ(0xF800, Drawn(button));
        button.HandleMouse(105, 55, kNone);
        EXPECT_EQ(0x07E0, Drawn(button));
        EXPECT_EQ(before + 3, HostDDrawLiveObjects().surfaces); // the strip itself is released
    }
    EXPECT_EQ(before, HostDDrawLiveObjects().surfaces);
}

TEST_F(ButtonTest, LoadStatesCutsAVerticalStrip) {
    WriteBmp("strip.bmp", 16, 20, [](int, int y) { return y < 10 ? 0xFF0000u : 0xFFFFFFu; });
    Button button(0, 0);
    EXPECT_EQ(1, button.LoadStates("strip.bmp", 2, 1));
    EXPECT_EQ(16, button.w);
    EXPECT_EQ(10, button.h);
}

TEST_F(ButtonTest, LoadStatesRefusesCountsThatDoNotCut) {
    WriteSolidBmp("strip.bmp", 10, 10, 0xFF0000);
    int before = HostDDrawLiveObjects().surfaces;
    Button button(0, 0);
    EXPECT_EQ(0, button.LoadStates("strip.bmp", 0, 0));
    EXPECT_EQ(0, button.LoadStates("strip.bmp", -3, 0));
    EXPECT_EQ(0, button.LoadStates("strip.bmp", 11, 0)); // cells 0 pixels wide
    EXPECT_EQ(0, button.LoadStates("strip.bmp", 11, 1)); // cells 0 pixels high
    EXPECT_EQ(0, button.LoadStates("strip.bmp", 4, 0));  // 2-pixel cells give 5 frames, not 4
    EXPECT_EQ(0, button.LoadStates("missing.bmp", 2, 0));
    EXPECT_EQ(0, button.stateImages->count);
    EXPECT_EQ(before, HostDDrawLiveObjects().surfaces);
}

TEST_F(ButtonTest, NamesAreBoundedAndTerminated) {
    Button button;
    button.SetName(std::string(100, 'b').c_str());
    EXPECT_EQ(std::string(63, 'b'), button.name);
    button.SetName(nullptr);
    EXPECT_STREQ("", button.name);
}

// ---- Control list ----

namespace {

Button* Named(const char* name, int x, int y, int w = 20, int h = 10) {
    Button* button = new Button(x, y, w, h);
    button->SetName(name);
    return button;
}

} // namespace

TEST_F(ButtonTest, OnlyTheFirstClickedControlCanAnswer) {
    ControlList list;
    Button* a = list.Add(Named("a", 0, 0, 100, 100));
    Button* b = list.Add(Named("b", 50, 50, 100, 100));
    EXPECT_EQ(nullptr, list.GetClicked());
    // Press and release where both overlap: both click, a comes first.
    list.HandleMouse(60, 60, kLeftDown);
    list.HandleMouse(60, 60, kNone);
    EXPECT_EQ(1, a->WasClicked());
    EXPECT_EQ(1, b->WasClicked());
    EXPECT_EQ(a, list.GetClicked());
    EXPECT_EQ(1, list.WasClicked("a"));
    EXPECT_EQ(0, list.WasClicked("b"));
    EXPECT_EQ(0, list.WasClicked(nullptr));
    // Only b: now b answers.
    list.HandleMouse(140, 140, kLeftDown);
    list.HandleMouse(140, 140, kNone);
    EXPECT_EQ(b, list.GetClicked());
    EXPECT_EQ(1, list.WasClicked("b"));
    EXPECT_EQ(0, list.WasClicked("a"));
}

TEST_F(ButtonTest, SetOriginOffsetsEveryControl) {
    ControlList list;
    Button* a = list.Add(Named("a", 10, 10));
    list.SetOrigin(200, 100);
    EXPECT_EQ(200, list.originX);
    EXPECT_EQ(200, a->offsetX);
    list.HandleMouse(15, 15, kNone);
    EXPECT_EQ(0, a->IsMouseOver());
    list.HandleMouse(215, 115, kNone);
    EXPECT_EQ(1, a->IsMouseOver());
    // Added afterwards: the list does not move it; a page's AddControl does.
    Button* late = list.Add(Named("late", 10, 10));
    EXPECT_EQ(0, late->offsetX);
}

TEST_F(ButtonTest, PageAddControlAppliesTheOrigin) {
    Page page("page");
    page.controls->SetOrigin(30, 40);
    Button* button = page.AddControl(Named("b", 1, 2));
    EXPECT_EQ(30, button->offsetX);
    EXPECT_EQ(40, button->offsetY);
    EXPECT_EQ(button, page.controls->Find("b"));
}

TEST_F(ButtonTest, FindAndDeleteByName) {
    ControlList list;
    list.Add(Named("one", 0, 0));
    Button* two = list.Add(Named("two", 0, 0));
    list.Add(Named("three", 0, 0));
    EXPECT_EQ(two, list.Find("two"));
    EXPECT_EQ(nullptr, list.Find("Two"));
    EXPECT_EQ(nullptr, list.Find(nullptr));
    list.Delete("two");
    EXPECT_EQ(nullptr, list.Find("two"));
    EXPECT_EQ(2, list.controls->count);
    EXPECT_STREQ("three", list.controls->items[1]->name);
    list.Delete("absent");
    EXPECT_EQ(2, list.controls->count);
    list.DeleteAll();
    EXPECT_EQ(0, list.controls->count);
}

TEST_F(ButtonTest, ControlListDrawsEnabledControls) {
    ControlList list;
    Button* shown = new Button(100, 50);
    AddStates(*shown);
    Button* hidden = new Button(200, 50);
    AddStates(*hidden);
    hidden->SetEnabled(0);
    list.Add(shown);
    list.Add(hidden);
    list.Draw();
    EXPECT_EQ(kNormal, PixelOf(back_, 101, 51));
    EXPECT_EQ(0, PixelOf(back_, 201, 51));
}
