// The message queue: order, filters, WM_QUIT, translation and the default window procedure.
#include "test_window_support.h"

#include <thread>

namespace {

using MessageQueueTest = WindowTest;

TEST_F(MessageQueueTest, PostedMessagesComeOutInPostingOrder) {
    HWND window = MakeMainWindow();
    Pump();
    for (UINT i = 0; i < 5; ++i)
        ASSERT_TRUE(PostMessageA(window, WM_USER + i, i, 10 * i));
    std::vector<MSG> taken = Pump();
    ASSERT_EQ(taken.size(), 5u);
    for (UINT i = 0; i < 5; ++i) {
        EXPECT_EQ(taken[i].message, WM_USER + i);
        EXPECT_EQ(taken[i].wParam, i);
        EXPECT_EQ(taken[i].lParam, static_cast<LPARAM>(10 * i));
        EXPECT_EQ(taken[i].hwnd, window);
    }
    EXPECT_EQ(CountHeard(WM_USER + 4, window), 1);
}

TEST_F(MessageQueueTest, NoRemoveLeavesTheMessageForTheNextLook) {
    HWND window = MakeMainWindow();
    Pump();
    PostMessageA(window, WM_USER, 1, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, FiltersByWindowAndRange) {
    HWND first = MakeMainWindow();
    HWND second =
        CreateWindowExA(0, "Recording", "second", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Pump();
    PostMessageA(first, WM_USER + 1, 0, 0);
    PostMessageA(second, WM_USER + 2, 0, 0);
    PostMessageA(first, WM_USER + 3, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, second, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 3u);
    EXPECT_FALSE(PeekMessageA(&msg, second, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1u);
}

TEST_F(MessageQueueTest, QuitComesAfterWhatWasPostedAndOnlyOnce) {
    HWND window = MakeMainWindow();
    Pump();
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(7);
    PostMessageA(window, WM_USER + 1, 0, 0);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_USER + 1u);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, QuitIsNotFoundThroughAWindowFilter) {
    HWND window = MakeMainWindow();
    Pump();
    PostQuitMessage(0);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(MessageQueueTest, GetMessageWaitsForAMessageFromAnotherThread) {
    HWND window = MakeMainWindow();
    Pump();
    std::thread poster([window] { PostMessageA(window, WM_USER + 9, 0, 0); });
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_USER + 9u);
    poster.join();
    EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
}

TEST_F(MessageQueueTest, PostingToAWindowThatIsGoneFails) {
    HWND window = MakeMainWindow();
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
}

TEST_F(MessageQueueTest, MessagesWaitingForADestroyedWindowAreDropped) {
    HWND window = MakeMainWindow();
    Pump();
    PostMessageA(window, WM_USER, 0, 0);
    PostMessageA(nullptr, WM_USER + 1, 0, 0);
    DestroyWindow(window);
    std::vector<MSG> taken = Pump();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].message, WM_USER + 1u);
    EXPECT_EQ(taken[0].hwnd, nullptr);
}

TEST_F(MessageQueueTest, KeysWaitingForADestroyedWindowStillGoUp) {
    HWND window = MakeMainWindow();
    Pump();
    HostInputKey(VK_SPACE, 0x39, false, true, false);
    Pump();
    ASSERT_LT(GetKeyState(VK_SPACE), 0);
    HostInputKey(VK_SPACE, 0x39, false, false, false);
    DestroyWindow(window);
    EXPECT_GE(GetKeyState(VK_SPACE), 0);
}

TEST_F(MessageQueueTest, TranslateMakesTheCharacterTheNextMessage) {
    HWND window = MakeMainWindow();
    Pump();
    HostInputKey('A', 0x1E, false, true, false);
    PostMessageA(window, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    ASSERT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_TRUE(TranslateMessage(&msg));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('a'));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
}

TEST_F(MessageQueueTest, TranslateFollowsShiftAndLeavesOtherKeysAlone) {
    MakeMainWindow();
    Pump();
    HostInputKey(VK_SHIFT, 0x2A, false, true, false);
    HostInputKey('2', 0x03, false, true, false);
    HostInputKey(VK_LEFT, 0x4B, true, true, false);
    HostInputKey(VK_RETURN, 0x1C, false, true, false);
    Pump();
    std::vector<WPARAM> characters;
    for (const HeardMessage& heard : Heard())
        if (heard.message == WM_CHAR) characters.push_back(heard.wParam);
    EXPECT_EQ(characters, (std::vector<WPARAM>{'@', '\r'}));
    MSG keyUp{nullptr, WM_KEYUP, 'A', 0, 0, {0, 0}};
    EXPECT_FALSE(TranslateMessage(&keyUp));
    EXPECT_FALSE(TranslateMessage(nullptr));
}

TEST_F(MessageQueueTest, KeyMessagesCarryTheScanCodeAndTransitionBits) {
    MakeMainWindow();
    Pump();
    HostInputKey(VK_RIGHT, 0x4D, true, true, false);
    HostInputKey(VK_RIGHT, 0x4D, true, true, true);
    HostInputKey(VK_RIGHT, 0x4D, true, false, false);
    std::vector<MSG> taken = Pump();
    ASSERT_EQ(taken.size(), 3u);
    for (const MSG& msg : taken) {
        EXPECT_EQ(HOST_KEY_SCANCODE(msg.lParam), 0x4D);
        EXPECT_TRUE(static_cast<DWORD>(msg.lParam) & HOST_KEY_EXTENDED);
        EXPECT_EQ(LOWORD(msg.lParam), 1);
    }
    EXPECT_EQ(taken[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_FALSE(static_cast<DWORD>(taken[0].lParam) & HOST_KEY_WAS_DOWN);
    EXPECT_TRUE(static_cast<DWORD>(taken[1].lParam) & HOST_KEY_WAS_DOWN);
    EXPECT_EQ(taken[2].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_TRUE(static_cast<DWORD>(taken[2].lParam) & HOST_KEY_RELEASING);
}

TEST_F(MessageQueueTest, KeyStateChangesWhenTheMessageIsTakenNotWhenPosted) {
    MakeMainWindow();
    Pump();
    HostInputKey(VK_ESCAPE, 0x01, false, true, false);
    EXPECT_GE(GetKeyState(VK_ESCAPE), 0);
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_GE(GetKeyState(VK_ESCAPE), 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_LT(GetKeyState(VK_ESCAPE), 0);
}

TEST_F(MessageQueueTest, AsyncStateRemembersAQuickPressOnce) {
    MakeMainWindow();
    HostInputKey(VK_ESCAPE, 0x01, false, true, false);
    HostInputKey(VK_ESCAPE, 0x01, false, false, false);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 1);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
}

TEST_F(MessageQueueTest, EitherShiftHoldsShiftUntilBothAreUp) {
    MakeMainWindow();
    HostInputKey(VK_SHIFT, 0x2A, false, true, false);
    HostInputKey(VK_SHIFT, 0x36, false, true, false);
    HostInputKey(VK_SHIFT, 0x2A, false, false, false);
    Pump();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_RSHIFT), 0);
    EXPECT_GE(GetKeyState(VK_LSHIFT), 0);
    HostInputKey(VK_SHIFT, 0x36, false, false, false);
    Pump();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(MessageQueueTest, DefaultProcedureDestroysOnClose) {
    HWND window = MakeMainWindow();
    Pump();
    PostMessageA(window, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CountHeard(WM_DESTROY, window), 1);
}

TEST_F(MessageQueueTest, AltF4BecomesCloseAndAltAloneTheKeyMenu) {
    HWND window = MakeMainWindow();
    Pump();
    HostInputKey(VK_MENU, 0x38, false, true, false);
    HostInputKey(VK_MENU, 0x38, false, false, false);
    Pump();
    EXPECT_EQ(CountHeard(WM_SYSKEYDOWN), 1);
    ASSERT_EQ(CountHeard(WM_SYSCOMMAND), 1);
    EXPECT_TRUE(IsWindow(window));
    HostInputKey(VK_MENU, 0x38, false, true, false);
    HostInputKey(VK_F4, 0x3E, false, true, false);
    Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CountHeard(WM_CLOSE, window), 1);
}

TEST_F(MessageQueueTest, DispatchWithoutAWindowDoesNothing) {
    MSG msg{nullptr, WM_USER, 0, 0, 0, {0, 0}};
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
    EXPECT_TRUE(Heard().empty());
}

} // namespace
