// The headless backend: the input script, capture, the frame limit and virtual time.
#include "test_window_support.h"

#include <cstdio>

#include "host/backend/headless_script.h"
#include "host/win/clock.h"
#include "tests/support/bmp.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

using HeadlessTest = WindowTest;

std::vector<UINT> Numbers(const std::vector<MSG>& messages) {
    std::vector<UINT> numbers;
    for (const MSG& msg : messages)
        numbers.push_back(msg.message);
    return numbers;
}

void UseScript(const std::string& script) {
    std::string message;
    ASSERT_TRUE(HostHeadlessSetScript(script, message)) << message;
}

using testsupport::Le32;
using testsupport::ReadBytes;
using testsupport::ReadCapture;
using testsupport::Rgb;

TEST(HeadlessScriptTest, BadLinesAreNamed) {
    struct Case {
        const char* script;
        const char* message;
    } cases[] = {
        {"x move 1 2\n", "line 1: 'x' is not a frame number"},
        {"# comment\n\n3 jump\n", "line 3: unknown event 'jump'"},
        {"1 move 1\n", "line 1: move wants two whole numbers X Y"},
        {"1 move 1 70000\n", "line 1: move wants two whole numbers X Y"},
        {"1 down sideways\n", "line 1: down wants left, right or middle"},
        {"1 key Hyper\n", "line 1: unknown key name 'Hyper'"},
        {"1 text \n", "line 1: text wants something to type"},
        {"1 text caf\xe9\n", "line 1: no key types '\xe9'"},
        {"1 capture\n", "line 1: capture wants a file name"},
        {"1 close now\n", "line 1: close takes nothing more"},
        {"1 focus sideways\n", "line 1: focus wants in or out"},
        {"7\n", "line 1: no event after the frame number"},
        {"-1 close\n", "line 1: '-1' is not a frame number"},
    };
    for (const Case& c : cases) {
        std::vector<HostScriptEvent> events;
        std::string message;
        EXPECT_FALSE(HostParseScript(c.script, events, message)) << c.script;
        EXPECT_EQ(message, c.message) << c.script;
        EXPECT_TRUE(events.empty());
    }
}

TEST(HeadlessScriptTest, EventsAreOrderedByFrameKeepingTheirLineOrder) {
    std::vector<HostScriptEvent> events;
    std::string message;
    ASSERT_TRUE(HostParseScript("5 key F1\n"
                                "  2 move -3 40\r\n"
                                "2 DOWN Left\n"
                                "0 text Hello, world\n"
                                "9 capture shots/first.bmp\n",
                                events, message))
        << message;
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].verb, HostScriptVerb::Text);
    EXPECT_EQ(events[0].text, "Hello, world");
    EXPECT_EQ(events[1].verb, HostScriptVerb::Move);
    EXPECT_EQ(events[1].x, -3);
    EXPECT_EQ(events[1].y, 40);
    EXPECT_EQ(events[2].verb, HostScriptVerb::Down);
    EXPECT_EQ(events[2].line, 3);
    EXPECT_EQ(events[3].key->scanCode, 0x3B);
    EXPECT_EQ(events[4].text, "shots/first.bmp");
}

TEST(HeadlessScriptTest, KeyNamesIgnoreCaseAndKnowTheExtendedKeys) {
    EXPECT_EQ(HostFindKeyByName("return")->scanCode, 0x1C);
    EXPECT_EQ(HostFindKeyByName("Enter"), HostFindKeyByName("Return"));
    EXPECT_EQ(HostFindKeyByName("esc")->virtualKey, VK_ESCAPE);
    EXPECT_TRUE(HostFindKeyByName("Delete")->extended);
    EXPECT_TRUE(HostFindKeyByName("Up")->extended);
    EXPECT_FALSE(HostFindKeyByName("KP_8")->extended);
    EXPECT_EQ(HostFindKeyByName("F12")->scanCode, 0x58);
    EXPECT_EQ(HostFindKeyByName("RShift")->scanCode, 0x36);
    EXPECT_EQ(HostFindKeyByName(""), nullptr);
    bool shift = false;
    EXPECT_EQ(HostFindKeyForCharacter('?', &shift)->scanCode, 0x35);
    EXPECT_TRUE(shift);
    EXPECT_EQ(HostFindKeyForCharacter('1', &shift)->scanCode, 0x02); // the digit row, not the keypad
    EXPECT_FALSE(shift);
}

TEST_F(HeadlessTest, EventsArriveWhenTheirFrameHasBeenPresented) {
    MakeMainWindow();
    Pump();
    UseScript("0 move 10 20\n2 down left\n2 up left\n4 key Escape\n");
    TestPicture picture(800, 600);
    EXPECT_EQ(Numbers(Pump()), (std::vector<UINT>{WM_MOUSEMOVE}));
    PresentFrames(picture, 1);
    EXPECT_TRUE(Pump().empty());
    PresentFrames(picture, 1);
    std::vector<MSG> clicked = Pump();
    ASSERT_EQ(Numbers(clicked), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(clicked[0].lParam, MAKELPARAM(10, 20));
    PresentFrames(picture, 1);
    EXPECT_TRUE(Pump().empty());
    PresentFrames(picture, 1);
    std::vector<MSG> keys = Pump();
    ASSERT_EQ(Numbers(keys), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(HOST_KEY_SCANCODE(keys[0].lParam), 0x01);
    EXPECT_EQ(HostPresentedFrames(), 4u);
}

TEST_F(HeadlessTest, TextIsTypedKeyByKeyWithShiftWhereNeeded) {
    MakeMainWindow();
    Pump();
    UseScript("0 text Hi!\n");
    std::vector<MSG> taken = Pump();
    std::vector<std::pair<UINT, WPARAM>> keys;
    std::string characters;
    for (const MSG& msg : taken) {
        if (msg.message == WM_CHAR)
            characters += static_cast<char>(msg.wParam);
        else
            keys.push_back({msg.message, msg.wParam});
    }
    EXPECT_EQ(characters, "Hi!");
    std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'H'},   {WM_KEYUP, 'H'},        {WM_KEYUP, VK_SHIFT},
        {WM_KEYDOWN, 'I'},      {WM_KEYUP, 'I'},     {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, '1'},
        {WM_KEYUP, '1'},        {WM_KEYUP, VK_SHIFT}};
    EXPECT_EQ(keys, expected);
}

struct ObservedKey {
    int scanCode;
    bool extended;
    bool down;
    bool operator==(const ObservedKey&) const = default;
};
std::vector<ObservedKey> g_observedKeys;
std::vector<std::pair<int, int>> g_observedMotion;
std::vector<std::pair<int, bool>> g_observedButtons;
const HostInputObserver kObserver = {
    [](int scanCode, bool extended, bool down) {
        g_observedKeys.push_back({scanCode, extended, down});
    },
    [](int dx, int dy) {
        g_observedMotion.push_back({dx, dy});
    },
    [](int button, bool down) {
        g_observedButtons.push_back({button, down});
    },
};

TEST_F(HeadlessTest, TheInputObserverSeesAKeyWhenThePumpTakesIt) {
    MakeMainWindow();
    Pump();
    g_observedKeys.clear();
    HostSetInputObserver(&kObserver);
    HostInputKey(VK_DELETE, 0x53, true, true, false);
    EXPECT_TRUE(g_observedKeys.empty()); // posted, not yet taken
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(g_observedKeys.empty());
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(g_observedKeys, (std::vector<ObservedKey>{{0x53, true, true}}));

    // A quick press from the script: both edges are seen, one per message taken.
    g_observedKeys.clear();
    UseScript("0 key Return\n");
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(g_observedKeys, (std::vector<ObservedKey>{{0x1C, false, true}}));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(g_observedKeys, (std::vector<ObservedKey>{{0x1C, false, true}, {0x1C, false, false}}));
}

TEST_F(HeadlessTest, TheInputObserverFollowsTheMouse) {
    MakeMainWindow();
    Pump();
    g_observedMotion.clear();
    g_observedButtons.clear();
    HostSetInputObserver(&kObserver);
    UseScript("0 move 10 20\n0 move 15 18\n0 down right\n0 up right\n");
    Pump();
    EXPECT_EQ(g_observedMotion, (std::vector<std::pair<int, int>>{{10, 20}, {5, -2}}));
    EXPECT_EQ(g_observedButtons, (std::vector<std::pair<int, bool>>{{1, true}, {1, false}}));
}

TEST_F(HeadlessTest, CloseFromTheScriptClosesTheMainWindow) {
    HWND window = MakeMainWindow();
    Pump();
    UseScript("1 close\n");
    TestPicture picture(800, 600);
    EXPECT_TRUE(Pump().empty());
    PresentFrames(picture, 1);
    EXPECT_EQ(Numbers(Pump()), (std::vector<UINT>{WM_CLOSE}));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(HeadlessTest, AnInactiveProgramStillMovesTimeAndTheScriptOn) {
    HWND window = MakeMainWindow();
    Pump();
    Heard().clear();
    UseScript("0 focus out\n3 focus in\n");
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)); // frame 0: the focus goes
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(HeardNumbers(), (std::vector<UINT>{WM_ACTIVATE, WM_ACTIVATEAPP}));
    EXPECT_EQ(HostPresentedFrames(), 0u);
    // Each empty look of the inactive program is a frame.
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(HostPresentedFrames(), 1u);
    EXPECT_EQ(HostNowMs(), 16u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetActiveWindow(), window); // frame 3: it comes back
    EXPECT_EQ(CountHeard(WM_ACTIVATEAPP), 2);
    // An active program's frames are the ones it presents.
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(HostPresentedFrames(), 3u);
}

TEST_F(HeadlessTest, TheFrameLimitAlsoEndsAnInactiveProgram) {
    HWND window = MakeMainWindow();
    Pump();
    HostSetFrameLimit(5);
    HostInputFocus(false);
    std::vector<MSG> taken;
    MSG msg;
    for (int look = 0; look < 10 && IsWindow(window); ++look) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            taken.push_back(msg);
            DispatchMessageA(&msg);
        }
    }
    EXPECT_EQ(Numbers(taken), (std::vector<UINT>{WM_CLOSE}));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(HostPresentedFrames(), 5u);
}

TEST_F(HeadlessTest, CaptureWritesTheMainWindowsPartOfTheDesktop) {
    const testsupport::TempFolder folder("wincore");
    const std::string path = folder / "capture.bmp";
    MakeMainWindow(112, 84);
    TestPicture desktop(1024, 768, 0x001F); // blue everywhere
    desktop.At(112, 84) = 0xF800;           // red at the client's top-left
    desktop.At(911, 683) = 0x07E0;          // green at its bottom-right
    desktop.At(111, 84) = 0xFFFF;           // just outside: must not show
    UseScript("1 capture " + path + "\n");
    HostPresentPrimary(desktop.Picture(), false);
    const std::vector<uint8_t> bmp = ReadBytes(path);
    ASSERT_EQ(bmp.size(), 54u + 800u * 3u * 600u);
    const testsupport::Picture shot = ReadCapture(path);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Le32(bmp, 18), 800u);
    EXPECT_EQ(Le32(bmp, 22), 600u);
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(shot.At(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(shot.At(799, 599), (Rgb{0, 255, 0}));
    EXPECT_EQ(shot.At(1, 0), (Rgb{0, 0, 255}));
}

TEST_F(HeadlessTest, CaptureOfAFullScreenFiveFiveFivePictureWidensEveryChannel) {
    const testsupport::TempFolder folder("wincore");
    const std::string path = folder / "capture555.bmp";
    MakeMainWindow(0, 0);
    TestPicture front(800, 600, 0x7FFF); // white in 5-5-5
    front.At(0, 0) = 0x03E0;             // full green
    front.At(5, 7) = 0x4210;             // middle grey: 16 of 31 in each channel
    UseScript("1 capture " + path + "\n");
    HostPresentPrimary(front.Picture(true), true);
    const std::vector<uint8_t> bmp = ReadBytes(path);
    ASSERT_EQ(bmp.size(), 54u + 800u * 3u * 600u);
    const testsupport::Picture shot = ReadCapture(path);
    EXPECT_EQ(shot.At(1, 1), (Rgb{255, 255, 255}));
    EXPECT_EQ(shot.At(0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(shot.At(5, 7), (Rgb{132, 134, 132}));
    HostShownPicture shown = HostHeadlessShownPicture();
    EXPECT_EQ(shown.pixels[0], 0x07E0); // kept as 5-6-5
}

TEST_F(HeadlessTest, CaptureBeforeAnyFrameIsBlack) {
    const testsupport::TempFolder folder("wincore");
    const std::string path = folder / "capture0.bmp";
    UseScript("0 capture " + path + "\n");
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    const std::vector<uint8_t> bmp = ReadBytes(path);
    ASSERT_EQ(bmp.size(), 54u + 800u * 3u * 600u);
    const testsupport::Picture shot = ReadCapture(path);
    EXPECT_EQ(shot.At(400, 300), (Rgb{0, 0, 0}));
}

TEST_F(HeadlessTest, TheFrameLimitClosesTheMainWindowThenQuits) {
    HWND window = MakeMainWindow();
    Pump();
    HostSetFrameLimit(3);
    TestPicture picture(800, 600);
    PresentFrames(picture, 2);
    EXPECT_TRUE(Pump().empty());
    PresentFrames(picture, 1);
    EXPECT_EQ(Numbers(Pump()), (std::vector<UINT>{WM_CLOSE}));
    EXPECT_FALSE(IsWindow(window));
    // A program that goes on presenting is told to quit.
    PresentFrames(picture, 59);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    PresentFrames(picture, 1);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(HeadlessTest, VirtualTimeAdvancesASixtiethOfASecondPerFrame) {
    TestPicture picture(800, 600);
    EXPECT_EQ(HostNowMs(), 0u);
    PresentFrames(picture, 1);
    EXPECT_EQ(HostNowMs(), 16u);
    PresentFrames(picture, 1);
    EXPECT_EQ(HostNowMs(), 33u);
    PresentFrames(picture, 58);
    EXPECT_EQ(HostNowMs(), 1000u);
    EXPECT_EQ(timeGetTime(), 1000u);
    PresentFrames(picture, 60);
    EXPECT_EQ(GetTickCount(), 2000u);
    EXPECT_EQ(HostHeadlessMsAtFrame(600), 10000u);
}

TEST_F(HeadlessTest, BrokenPicturesAreIgnoredAndNotCounted) {
    TestPicture picture(800, 600);
    HostPicture noPixels{nullptr, 800, 600, 1600, false};
    HostPicture narrowPitch{picture.pixels.data(), 800, 600, 1598, false};
    HostPicture empty{picture.pixels.data(), 0, 600, 1600, false};
    HostPresentPrimary(noPixels, true);
    HostPresentPrimary(narrowPitch, true);
    HostPresentPrimary(empty, false);
    EXPECT_EQ(HostPresentedFrames(), 0u);
}

TEST_F(HeadlessTest, AWindowPartlyOffTheDesktopShowsBlackBeyondIt) {
    MakeMainWindow(-100, 700);
    TestPicture desktop(1024, 768, 0xFFFF);
    HostPresentPrimary(desktop.Picture(), false);
    HostShownPicture shown = HostHeadlessShownPicture();
    ASSERT_EQ(shown.width, 800);
    ASSERT_EQ(shown.height, 600);
    EXPECT_EQ(shown.pixels[0], 0);              // left of the desktop
    EXPECT_EQ(shown.pixels[100], 0xFFFF);       // the desktop's left column
    EXPECT_EQ(shown.pixels[68 * 800 + 100], 0); // below the desktop
    EXPECT_EQ(shown.pixels[67 * 800 + 799], 0xFFFF);
}

TEST_F(HeadlessTest, FullScreenRequestsAreNoted) {
    HostSetFullScreen(true);
    EXPECT_TRUE(HostHeadlessFullScreen());
    HostSetFullScreen(false);
    EXPECT_FALSE(HostHeadlessFullScreen());
}

} // namespace
