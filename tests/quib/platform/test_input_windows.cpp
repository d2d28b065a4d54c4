// The engine's keyboard and mouse fed the way a running program is fed: the backend's input becomes
// window messages, and the key table changes as the program's pump takes them from the queue.
#include <cstdlib>

#include "host/backend/headless.h"
#include "host/backend/machine.h"
#include "host/dinput/input_hooks.h"
#include "host/win/host_input.h"
#include "host/win/keystate.h"
#include "host/win/messages.h"
#include "host/win/window.h"
#include "quib/platform/directx.h"
#include "tests/quib/log_folder.h"

namespace {

LRESULT PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class InputThroughWindowsTest : public LogFolderTest {
  protected:
    void SetUp() override {
        LogFolderTest::SetUp();
        savedWindow_ = g_hWnd;
        HostResetWindowLayer();
        HostResetKeyState();
        HostInputReset();
        HostResetInputState();
        HostSetForegroundQuery(nullptr);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = "EngineInputTest";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        window_ = CreateWindowExA(0, "EngineInputTest", "Test", WS_VISIBLE | WS_SYSMENU, 0, 0, 800, 600,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        Pump();
        ASSERT_EQ(GetForegroundWindow(), window_);
        g_hWnd = window_;
    }

    void TearDown() override {
        QuibFreeDirectInput();
        HostSetInputObserver(nullptr);
        HostResetWindowLayer();
        HostResetKeyState();
        HostInputReset();
        HostResetInputState();
        g_hWnd = savedWindow_;
        LogFolderTest::TearDown();
    }

    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    HWND window_ = nullptr;

  private:
    HWND savedWindow_ = nullptr;
};

} // namespace

TEST_F(InputThroughWindowsTest, KeysReachTheTableAsTheirMessagesAreTaken) {
    ASSERT_EQ(QuibInitKeyboard(), 1);
    HostInputKey('A', 0x1E, false, true, false);
    char* keys = QuibGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[0x1E], 0) << "the message is still in the queue";
    Pump();
    keys = QuibGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[0x1E] & 0x80, 0x80);
    HostInputKey('A', 0x1E, false, false, false);
    Pump();
    EXPECT_EQ(QuibGetKeys()[0x1E], 0);
}

TEST_F(InputThroughWindowsTest, MouseMotionAndButtonsFromTheMachine) {
    HostInputMouseMove(100, 100);
    ASSERT_EQ(QuibInitMouse(), 1);
    ASSERT_EQ(QuibAcquireMouse(1), 1);
    HostInputMouseMove(110, 95);
    HostInputMouseButton(1, true);
    int dx = 0, dy = 0, buttons = 0;
    QuibGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(dx, 10);
    EXPECT_EQ(dy, -5);
    EXPECT_EQ(buttons, 2);
}

TEST_F(InputThroughWindowsTest, LosingTheFocusStopsTheKeyboardUntilItComesBack) {
    ASSERT_NE(QuibGetKeys(), nullptr);
    HostInputFocus(false);
    Pump();
    EXPECT_EQ(QuibGetKeys(), nullptr);
    HostInputFocus(true);
    Pump();
    EXPECT_NE(QuibGetKeys(), nullptr);
}
