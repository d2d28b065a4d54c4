// Window classes, creation and destruction, activation, geometry and window data.
#include "test_window_support.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "host/win/messagebox.h"
#include "host/win/system.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

using WindowLayerTest = WindowTest;

LRESULT RefuseCreation(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_CREATE ? -1 : 0;
}

// Destroys itself again while it is being destroyed.
LRESULT DestroyAgainInDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Heard().push_back({window, message, wParam, lParam});
    if (message == WM_DESTROY) {
        EXPECT_FALSE(DestroyWindow(window));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(WindowLayerTest, ClassNamesAreUniqueWithoutRegardToCase) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CALLBACK_Recording;
    windowClass.lpszClassName = "RECORDING";
    EXPECT_EQ(RegisterClassA(&windowClass), 0);
    windowClass.lpszClassName = "DirectX Class";
    WORD atom = RegisterClassA(&windowClass);
    EXPECT_NE(atom, 0);
    windowClass.lpfnWndProc = nullptr;
    windowClass.lpszClassName = "No procedure";
    EXPECT_EQ(RegisterClassA(&windowClass), 0);
    EXPECT_EQ(RegisterClassA(nullptr), 0);
    // A class may be named by its atom.
    HWND window = CreateWindowExA(0, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(atom)), "t", 0, 0, 0, 5,
                                  5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(window, nullptr);
    EXPECT_NE(CreateWindowExA(0, "directx class", "t", 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(WindowLayerTest, CreationFailsForUnknownClassesAndRefusedCreation) {
    EXPECT_EQ(CreateWindowExA(0, "Nobody", "t", 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr), nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = RefuseCreation;
    windowClass.lpszClassName = "Refusing";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(CreateWindowExA(0, "Refusing", "t", WS_VISIBLE, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(HostMainWindow(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    // A child needs a live parent.
    EXPECT_EQ(CreateWindowExA(0, "Recording", "c", WS_CHILD, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

// What WM_CREATE pointed at, copied while it was valid.
struct SeenCreation {
    LPVOID param;
    int x, y, cx, cy;
    std::string title;
};
SeenCreation g_seenCreation;

LRESULT RecordCreation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        g_seenCreation = {create->lpCreateParams, create->x, create->y, create->cx, create->cy,
                          create->lpszName};
    }
    return CALLBACK_Recording(window, message, wParam, lParam);
}

TEST_F(WindowLayerTest, AVisibleWindowIsCreatedSizedMovedAndActivatedInThatOrder) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordCreation;
    windowClass.lpszClassName = "Creation";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    int parameter = 5;
    HWND window = CreateWindowExA(0, "Creation", "Tessary", WS_VISIBLE, 112, 84, 800, 600, nullptr, nullptr,
                                  nullptr, &parameter);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(HeardNumbers(), (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_MOVE, WM_ACTIVATEAPP, WM_ACTIVATE}));
    for (const HeardMessage& heard : Heard()) {
        switch (heard.message) {
        case WM_SIZE: EXPECT_EQ(heard.lParam, MAKELPARAM(800, 600)); break;
        case WM_MOVE: EXPECT_EQ(heard.lParam, MAKELPARAM(112, 84)); break;
        case WM_ACTIVATEAPP: EXPECT_EQ(heard.wParam, static_cast<WPARAM>(TRUE)); break;
        case WM_ACTIVATE: EXPECT_EQ(LOWORD(heard.wParam), WA_ACTIVE); break;
        default: break;
        }
    }
    EXPECT_EQ(g_seenCreation.param, &parameter);
    EXPECT_EQ(g_seenCreation.x, 112);
    EXPECT_EQ(g_seenCreation.y, 84);
    EXPECT_EQ(g_seenCreation.cx, 800);
    EXPECT_EQ(g_seenCreation.cy, 600);
    EXPECT_EQ(g_seenCreation.title, "Tessary");
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(HostMainWindow(), window);
}

TEST_F(WindowLayerTest, ShowingActivatesOnlyTheFirstTime) {
    HWND window = CreateWindowExA(0, "Recording", "t", 0, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_FALSE(ShowWindow(window, SW_SHOWNORMAL));
    EXPECT_TRUE(ShowWindow(window, SW_SHOWNORMAL));
    EXPECT_TRUE(UpdateWindow(window));
    EXPECT_EQ(CountHeard(WM_ACTIVATEAPP), 1);
    EXPECT_EQ(CountHeard(WM_ACTIVATE), 1);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_NE(GetWindowLongA(window, GWL_STYLE) & static_cast<LONG>(WS_VISIBLE), 0);
}

TEST_F(WindowLayerTest, ShowingWithoutActivationLeavesTheProgramInactive) {
    HWND window = CreateWindowExA(0, "Recording", "t", 0, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOWNA);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(CountHeard(WM_ACTIVATE), 0);
}

TEST_F(WindowLayerTest, DestroyingTwiceIsHarmlessAndSaysDestroyOnce) {
    HWND window = MakeMainWindow();
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(DestroyWindow(nullptr));
    EXPECT_FALSE(DestroyWindow(GetDesktopWindow()));
    EXPECT_EQ(CountHeard(WM_DESTROY, window), 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(HostMainWindow(), nullptr);
    RECT rect;
    EXPECT_FALSE(GetClientRect(window, &rect));
}

TEST_F(WindowLayerTest, DestroyingTheActiveWindowDeactivatesTheProgramFirst) {
    HWND window = MakeMainWindow();
    Heard().clear();
    DestroyWindow(window);
    EXPECT_EQ(HeardNumbers(), (std::vector<UINT>{WM_ACTIVATE, WM_ACTIVATEAPP, WM_DESTROY}));
    EXPECT_EQ(LOWORD(Heard()[0].wParam), WA_INACTIVE);
    EXPECT_EQ(Heard()[1].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(WindowLayerTest, DestroyInsideDestroyIsRefused) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DestroyAgainInDestroy;
    windowClass.lpszClassName = "Reentrant";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "Reentrant", "t", 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(CountHeard(WM_DESTROY, window), 1);
}

TEST_F(WindowLayerTest, TheWindowStillAnswersDuringItsDestroy) {
    static RECT seen;
    static BOOL answered;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DESTROY) answered = GetClientRect(window, &seen);
        return DefWindowProcA(window, message, wParam, lParam);
    };
    windowClass.lpszClassName = "Measuring";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "Measuring", "t", 0, 0, 0, 320, 200, nullptr, nullptr, nullptr, nullptr);
    answered = FALSE;
    DestroyWindow(window);
    EXPECT_TRUE(answered);
    EXPECT_EQ(seen.right, 320);
    EXPECT_EQ(seen.bottom, 200);
}

TEST_F(WindowLayerTest, ChildrenGoWithTheirParent) {
    HWND parent = MakeMainWindow();
    HWND child = CreateWindowExA(0, "Recording", "c", WS_CHILD | WS_VISIBLE, 10, 20, 30, 40, parent, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetActiveWindow(), parent); // a child never takes the activation
    RECT rect;
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ(rect.left, 122);
    EXPECT_EQ(rect.top, 104);
    EXPECT_EQ(rect.right, 152);
    EXPECT_EQ(rect.bottom, 144);
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(CountHeard(WM_DESTROY, child), 1);
}

TEST_F(WindowLayerTest, FocusLeavingAndComingBackTogglesActivation) {
    HWND window = MakeMainWindow();
    Heard().clear();
    HostInputFocus(false);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(HeardNumbers(), (std::vector<UINT>{WM_ACTIVATE, WM_ACTIVATEAPP}));
    EXPECT_EQ(LOWORD(Heard()[0].wParam), WA_INACTIVE);
    Heard().clear();
    HostInputFocus(false);
    EXPECT_TRUE(Heard().empty());
    HostInputFocus(true);
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_EQ(HeardNumbers(), (std::vector<UINT>{WM_ACTIVATEAPP, WM_ACTIVATE}));
    EXPECT_EQ(Heard()[0].wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(LOWORD(Heard()[1].wParam), WA_ACTIVE);
}

TEST_F(WindowLayerTest, SettingFocusInsideActivationDoesNotActivateAgain) {
    static HWND main;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        Heard().push_back({window, message, wParam, lParam});
        if (message == WM_ACTIVATE && LOWORD(wParam) == WA_ACTIVE) SetFocus(main ? main : window);
        return DefWindowProcA(window, message, wParam, lParam);
    };
    windowClass.lpszClassName = "Focusing";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    main = nullptr;
    main = CreateWindowExA(0, "Focusing", "menu", WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr, nullptr,
                           nullptr);
    EXPECT_EQ(CountHeard(WM_ACTIVATE), 1);
    EXPECT_EQ(GetFocus(), main);
}

TEST_F(WindowLayerTest, GeometryFollowsTheWindowsPlace) {
    HWND window = MakeMainWindow(112, 84);
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    POINT point{10, 20};
    ASSERT_TRUE(ClientToScreen(window, &point));
    EXPECT_EQ(point.x, 122);
    EXPECT_EQ(point.y, 104);
    ASSERT_TRUE(ScreenToClient(window, &point));
    EXPECT_EQ(point.x, 10);
    EXPECT_EQ(point.y, 20);
    EXPECT_FALSE(ClientToScreen(window, nullptr));

    Heard().clear();
    ASSERT_TRUE(SetWindowPos(window, HWND_TOPMOST, 0, 0, 1024, 768, SWP_SHOWWINDOW));
    EXPECT_EQ(HeardNumbers(), (std::vector<UINT>{WM_SIZE, WM_MOVE}));
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & static_cast<LONG>(WS_EX_TOPMOST), 0);
    Heard().clear();
    ASSERT_TRUE(SetWindowPos(window, nullptr, 50, 60, 1, 1, SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_EQ(HeardNumbers(), (std::vector<UINT>{WM_MOVE}));
    RECT outer;
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(outer.left, 50);
    EXPECT_EQ(outer.top, 60);
    EXPECT_EQ(outer.right, 1074);
    EXPECT_EQ(outer.bottom, 828);
    Heard().clear();
    ASSERT_TRUE(MoveWindow(window, 50, 60, 1024, 768, TRUE));
    EXPECT_TRUE(Heard().empty()); // nothing changed, nothing said
}

TEST_F(WindowLayerTest, WindowsHaveNoFrameSoAdjustingChangesNothing) {
    RECT rect{0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE));
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
    EXPECT_FALSE(AdjustWindowRectEx(nullptr, 0, FALSE, 0));
    EXPECT_EQ(GetSystemMetrics(SM_CYFRAME), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), 0);
}

TEST_F(WindowLayerTest, ScreenMetricsFollowTheMachineAndTheDisplayMode) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    HostSetScreenMode(800, 600, 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    RECT desktop;
    ASSERT_TRUE(GetClientRect(GetDesktopWindow(), &desktop));
    EXPECT_EQ(desktop.right, 800);
    HostRestoreScreenMode();
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    HostMachine machine = HostDefaultMachine();
    machine.desktopWidth = 1280;
    HostSetMachine(machine);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
}

TEST_F(WindowLayerTest, TitlesAreCutToTheBuffer) {
    HWND window = MakeMainWindow();
    ASSERT_TRUE(SetWindowTextA(window, "Tessary - Player One"));
    char title[8];
    std::memset(title, 'x', sizeof title);
    EXPECT_EQ(GetWindowTextA(window, title, sizeof title), 7);
    EXPECT_STREQ(title, "Tessary");
    char whole[64];
    EXPECT_EQ(GetWindowTextA(window, whole, sizeof whole), 20);
    EXPECT_STREQ(whole, "Tessary - Player One");
    EXPECT_EQ(GetWindowTextA(window, whole, 0), 0);
}

TEST_F(WindowLayerTest, WindowLongsKeepUserDataAndStayInsideTheExtraBytes) {
    HWND window = MakeMainWindow();
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 1234);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(CALLBACK_Recording));
    EXPECT_EQ(SetWindowLongA(window, 12, 99), 0);
    EXPECT_EQ(GetWindowLongA(window, 12), 99);
    EXPECT_EQ(SetWindowLongA(window, 13, 5), 0); // would run past the 16 extra bytes
    EXPECT_EQ(GetWindowLongA(window, 13), 0);
    EXPECT_EQ(GetWindowLongA(window, 12), 99);
    EXPECT_EQ(GetWindowLongPtrA(window, 9), 0);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_WNDPROC, 0), 0); // a window keeps a procedure
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(CALLBACK_Recording));
}

TEST_F(WindowLayerTest, MessageBoxesAreRecordedAndNeverWait) {
    const testsupport::TempFolder folder("wincore");
    const std::string record = folder / "record.txt";
    setenv("HOST_RECORD", record.c_str(), 1);
    EXPECT_EQ(
        MessageBoxA(nullptr, "Game needs the display set to High Color (16 bit).", nullptr, MB_ICONERROR),
        IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "two\nlines", "Question", MB_YESNO), IDYES);
    unsetenv("HOST_RECORD");
    EXPECT_EQ(testsupport::ReadText(record),
              "message Error: Game needs the display set to High Color (16 bit).\n"
              "message Question: two\\nlines\n");
}

TEST_F(WindowLayerTest, CursorPositionIsInScreenCoordinates) {
    MakeMainWindow(112, 84);
    HostInputMouseMove(100, 50);
    POINT point;
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 212);
    EXPECT_EQ(point.y, 134);
    ASSERT_TRUE(SetCursorPos(112, 84));
    EXPECT_EQ(HostInputMousePosition().x, 0);
    EXPECT_EQ(HostInputMousePosition().y, 0);
    EXPECT_FALSE(GetCursorPos(nullptr));
}

TEST_F(WindowLayerTest, CursorsAndIconsAreStockOnly) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_NE(arrow, nullptr);
    EXPECT_EQ(LoadIconA(reinterpret_cast<HINSTANCE>(1), ""), nullptr);
    EXPECT_EQ(SetCursor(nullptr), arrow);
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
}

TEST_F(WindowLayerTest, MouseMessagesGoToTheMainWindowWithButtonsHeld) {
    HWND window = MakeMainWindow();
    Pump();
    HostInputMouseMove(30, 40);
    HostInputMouseButton(0, true);
    HostInputMouseMove(31, 40);
    HostInputMouseButton(0, false);
    HostInputMouseButton(1, false);
    std::vector<MSG> taken = Pump();
    ASSERT_EQ(taken.size(), 5u);
    EXPECT_EQ(taken[0].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(taken[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(taken[1].lParam, MAKELPARAM(30, 40));
    EXPECT_EQ(taken[1].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(taken[2].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(taken[3].message, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(taken[3].wParam & MK_LBUTTON, 0u);
    EXPECT_EQ(taken[4].message, static_cast<UINT>(WM_RBUTTONUP));
    for (const MSG& msg : taken)
        EXPECT_EQ(msg.hwnd, window);
    // A move to where the pointer already is says nothing.
    HostInputMouseMove(31, 40);
    EXPECT_TRUE(Pump().empty());
}

} // namespace
