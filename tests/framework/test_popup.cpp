// The modal popup over a page, driven as a program drives it: the headless input script moves and
// clicks the mouse, the program's pump delivers the messages, the clock's timer polls the buttons as
// frames are presented. What ends the run (a control, the close key, the deadline, WM_QUIT), where the
// popup sits, a missing image, and the popup's own images beside the page's.
#include <functional>
#include <string>

#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/game_clock.h"
#include "framework/image.h"
#include "framework/popup.h"
#include "framework_test_support.h"
#include "host/win/keystate.h"

namespace {

using fwtest::PixelOf;

constexpr uint16_t kGreen = 0x07E0;

LRESULT ProgramWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_pageManager.HandleMessage(window, message, wParam, lParam) == 0) return 0;
    if (message == WM_MOUSEMOVE) g_mouseCursor.SetPosition(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

// A popup whose every pass first runs the test's hook (pass number from 0).
struct ScriptedPopup : Popup {
    std::function<void(ScriptedPopup&, int)> onPass;
    int passes = 0;
    int Poll(int x, int y, int buttons) override {
        if (onPass) onPass(*this, passes);
        ++passes;
        return Popup::Poll(x, y, buttons);
    }
};

class PopupTest : public fwtest::DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ProgramWindowProc;
        windowClass.lpszClassName = "PopupTest";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        window_ = CreateWindowExA(0, "PopupTest", "Popup", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        g_mainWindow = window_;
        ASSERT_EQ(QuibInitDirectX(window_, 800, 600), 1);
        QuibGetDDInfo(&primary_, &back_);
        ASSERT_NE(back_, nullptr);
        fwtest::FillWith(back_, 0);
        ASSERT_EQ(QuibInitMouse(), 1);
        ASSERT_EQ(QuibAcquireMouse(1), 1);
        ASSERT_EQ(StartClock(), 0);
        // No test may hang: the window closes after this many frames and the run then sees WM_QUIT.
        HostSetFrameLimit(900);
        fwtest::WriteSolidBmp("popup.bmp", 200, 100, 0x00FF00);
        fwtest::WriteSolidBmp("second.bmp", 60, 40, 0xFF0000);
    }
    void TearDown() override {
        StopClock();
        QuibAcquireMouse(0);
        QuibFreeDirectInput();
        HostSetFrameLimit(0);
        DisplayTest::TearDown();
    }

    static void Script(const std::string& text) {
        std::string message;
        ASSERT_TRUE(HostHeadlessSetScript(text, message)) << message;
    }

    static bool QuitWaiting(WPARAM* code) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
        *code = message.wParam;
        return true;
    }
};

TEST_F(PopupTest, DefaultButtonClickOverAPageEndsTheRunWithItsName) {
    Page behind("behind");
    Popup popup;
    popup.SetPresentOverride(&behind);
    popup.AddImage("popup.bmp", "main");
    popup.AddDefaultButton();
    EXPECT_EQ(popup.rect.left, 300);
    EXPECT_EQ(popup.rect.top, 250);
    Script("1 move 400 300\n3 down left\n6 up left\n");
    char result[kPageNameSize] = "stale";
    EXPECT_EQ(popup.Run(result, nullptr), 1);
    EXPECT_STREQ(result, "default");
    EXPECT_STREQ(popup.GetName(), "default");
    EXPECT_GE(HostPresentedFrames(), 6u) << "the popup ran its own frames";
    EXPECT_EQ(fwtest::ShownAt(400, 300), kGreen) << "its image was on screen";
    EXPECT_EQ(fwtest::ShownAt(299, 300), 0);
}

TEST_F(PopupTest, PressOutsideTheImageEndsNothingUntilTheDeadline) {
    Popup popup;
    popup.AddImage("popup.bmp", "main");
    popup.AddDefaultButton();
    popup.SetDeadline(GetClockMs() + 300);
    Script("1 move 100 100\n2 down left\n4 up left\n");
    char result[kPageNameSize] = "stale";
    EXPECT_EQ(popup.Run(result, nullptr), 1);
    EXPECT_STREQ(result, "") << "the deadline leaves the result empty";
    EXPECT_GT(GetClockMs(), popup.deadline);
}

TEST_F(PopupTest, ControlClickedWithTheCloseKeyDownWins) {
    ScriptedPopup popup;
    popup.AddImage("popup.bmp", "main");
    Button* ok = popup.AddControl(new Button(10, 10, 40, 20));
    ok->SetName("ok");
    popup.SetCloseKey(VK_ESCAPE);
    popup.onPass = [ok](ScriptedPopup&, int pass) {
        if (pass != 2) return;
        HostInputKey(VK_ESCAPE, 0x01, false, true, false);
        ok->clicked = 1;
    };
    char result[kPageNameSize];
    EXPECT_EQ(popup.Run(result, nullptr), 1);
    EXPECT_STREQ(result, "ok");
    EXPECT_EQ(popup.passes, 3);
    HostInputKey(VK_ESCAPE, 0x01, false, false, false);
}

TEST_F(PopupTest, CloseKeyAloneEndsWithKey) {
    Popup popup;
    popup.AddImage("popup.bmp", "main");
    popup.SetCloseKey(VK_SPACE);
    Script("2 keydown Space\n");
    char result[kPageNameSize];
    EXPECT_EQ(popup.Run(result, nullptr), 1);
    EXPECT_STREQ(result, "key");
    HostInputKey(VK_SPACE, 0x39, false, false, false);
}

TEST_F(PopupTest, QuitDuringTheRunReturnsZeroPostsItAgainAndGivesTheBackgroundBack) {
    IDirectDrawSurface* background = MakeSurface(800, 600, 0);
    g_screenUpdater.SetBackground(background);
    ScriptedPopup popup;
    popup.AddImage("popup.bmp", "main");
    IDirectDrawSurface* duringRun = nullptr;
    popup.onPass = [&duringRun](ScriptedPopup& self, int pass) {
        if (pass == 0) duringRun = g_screenUpdater.GetBackground();
        if (pass == 1) PostQuitMessage(3);
        (void)self;
    };
    char result[kPageNameSize] = "stale";
    EXPECT_EQ(popup.Run(result, nullptr), 0);
    EXPECT_EQ(duringRun, popup.GetImage()->surface) << "the image is the background while it runs";
    EXPECT_EQ(g_screenUpdater.GetBackground(), background);
    WPARAM code = 0;
    ASSERT_TRUE(QuitWaiting(&code)) << "outer loops must see the quit too";
    EXPECT_EQ(code, 3u);
    g_screenUpdater.SetBackground(nullptr);
    background->Release();
}

TEST_F(PopupTest, MissingImageCentresAsNothingAndTheDeadlineStillCloses) {
    IDirectDrawSurface* background = MakeSurface(800, 600, 0);
    g_screenUpdater.SetBackground(background);
    ScriptedPopup popup;
    Image* image = popup.AddImage("missing.bmp", "gone");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->surface, nullptr);
    EXPECT_EQ(popup.GetImage(), image);
    EXPECT_EQ(popup.rect.left, 400);
    EXPECT_EQ(popup.rect.top, 300);
    EXPECT_EQ(popup.rect.right, 400);
    Button* button = popup.AddDefaultButton();
    EXPECT_EQ(button->w, 0);
    EXPECT_EQ(button->h, 0);
    IDirectDrawSurface* duringRun = nullptr;
    popup.onPass = [&duringRun](ScriptedPopup&, int) { duringRun = g_screenUpdater.GetBackground(); };
    popup.SetDeadline(GetClockMs() + 50);
    char result[kPageNameSize];
    EXPECT_EQ(popup.Run(result, nullptr), 1);
    EXPECT_EQ(duringRun, background) << "no image surface: the background stays";
    EXPECT_EQ(g_screenUpdater.GetBackground(), background);
    g_screenUpdater.SetBackground(nullptr);
    background->Release();
}

TEST_F(PopupTest, PassThroughClickOnThePageBehindEndsWithItsName) {
    Page behind("behind");
    Button* menu = behind.AddControl(new Button(20, 20, 40, 40));
    menu->SetName("menu");
    Popup popup;
    popup.AddImage("popup.bmp", "main");
    popup.SetPresentOverride(&behind);
    popup.SetPassThrough(1);
    Script("1 move 30 30\n3 down left\n6 up left\n");
    char result[kPageNameSize];
    EXPECT_EQ(popup.Run(result, nullptr), 1);
    EXPECT_STREQ(result, "menu");
}

TEST_F(PopupTest, PlacedPopupKeepsItsPlaceAndItsControlsFollow) {
    Popup popup;
    popup.AddImage("popup.bmp", "main");
    popup.SetPosition(53, 18);
    EXPECT_EQ(popup.rect.left, 53);
    EXPECT_EQ(popup.rect.top, 18);
    EXPECT_EQ(popup.rect.right, 253);
    EXPECT_EQ(popup.rect.bottom, 118);
    Button* button = popup.AddDefaultButton();
    EXPECT_EQ(button->offsetX, 53);
    EXPECT_EQ(button->offsetY, 18);
    popup.SetPosition(-1, -1);
    EXPECT_EQ(popup.rect.left, 53) << "a placed popup stays";
    popup.SelectImage("second");
    EXPECT_EQ(popup.rect.left, 53);
    popup.SetPosition(100, 120);
    EXPECT_EQ(popup.originX, 100);
    EXPECT_EQ(button->offsetX, 100);
    EXPECT_EQ(button->offsetY, 120);
}

TEST_F(PopupTest, RunShowsTheNamedImageOrTheFirst) {
    ScriptedPopup popup;
    Image* main = popup.AddImage("popup.bmp", "main");
    Image* second = popup.AddImage("second.bmp", "second");
    EXPECT_EQ(popup.GetImage(), second);
    Image* shown = nullptr;
    popup.onPass = [&shown](ScriptedPopup& self, int) {
        shown = self.GetImage();
        self.SetResult("seen");
    };
    char result[kPageNameSize];
    EXPECT_EQ(popup.Run(result, "second"), 1);
    EXPECT_EQ(shown, second);
    EXPECT_STREQ(result, "seen");
    EXPECT_EQ(popup.Run(result, "nothing"), 1);
    EXPECT_EQ(shown, main);
    EXPECT_EQ(popup.Run(nullptr, nullptr), 1);
    EXPECT_EQ(shown, main);
}

TEST_F(PopupTest, PopupImagesAndPageImagesAreFoundApart) {
    Popup popup;
    ASSERT_NE(popup.AddImage("second.bmp"), nullptr) << "the page's own AddImage";
    popup.AddImage("popup.bmp", "main");
    EXPECT_NE(popup.FindImage("second.bmp"), nullptr);
    EXPECT_EQ(popup.FindImage("main"), nullptr);
    EXPECT_NE(popup.FindPopupImage("main"), nullptr);
    EXPECT_EQ(popup.FindPopupImage("second.bmp"), nullptr);
    Page* asPage = &popup;
    EXPECT_NE(asPage->FindImage("second.bmp"), nullptr);
}

TEST_F(PopupTest, ResultAndLeavingTwice) {
    Popup popup;
    popup.SetResult(nullptr);
    EXPECT_EQ(popup.done, 1);
    EXPECT_STREQ(popup.GetName(), "");
    popup.SetResult(std::string(400, 'r').c_str());
    EXPECT_EQ(std::string(popup.GetName()).size(), size_t(kPageNameSize - 1));
    popup.AddImage("popup.bmp", "main");
    popup.Leave();
    popup.Leave();
    EXPECT_EQ(popup.GetImage(), nullptr);
    EXPECT_EQ(popup.FindPopupImage("main"), nullptr);
    popup.AddDefaultButton();
    EXPECT_NE(popup.AddImage("popup.bmp", "again"), nullptr) << "the lists come back";
}

} // namespace
