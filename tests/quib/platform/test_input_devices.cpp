// The engine's input functions on the host's devices: the key table, mouse motion and buttons, losing
// and regaining the foreground, devices whose set-up failed, joysticks, and the mouse read from another
// thread. Input is fed through the input observer the devices install, as the window layer feeds it.
#include <atomic>
#include <cstring>
#include <thread>

#include "host/backend/machine.h"
#include "host/dinput/input_hooks.h"
#include "host/win/debug_output.h"
#include "quib/platform/directx.h"
#include "quib/platform/input.h"
#include "quib/platform/video.h"
#include "tests/quib/log_folder.h"

namespace {

class InputTest : public LogFolderTest {
  protected:
    static HWND OurWindow() { return reinterpret_cast<HWND>(uintptr_t{0x6100}); }
    static HWND OtherWindow() { return reinterpret_cast<HWND>(uintptr_t{0x6200}); }

    void SetUp() override {
        LogFolderTest::SetUp();
        savedMachine_ = HostGetMachine();
        savedWindow_ = g_hWnd;
        AttachJoysticks(0);
        HostResetInputState();
        foreground_ = OurWindow();
        HostSetForegroundQuery(&QueryForeground);
        g_hWnd = OurWindow();
    }

    void TearDown() override {
        QuibFreeDirectInput();
        HostSetForegroundQuery(nullptr);
        HostSetMachine(savedMachine_);
        HostResetInputState();
        g_hWnd = savedWindow_;
        LogFolderTest::TearDown();
    }

    static void SetForeground(HWND window) { foreground_ = window; }

    static void AttachJoysticks(int count) {
        HostMachine machine = HostGetMachine();
        machine.joysticks = count;
        HostSetMachine(machine);
    }

    static void Key(int scanCode, bool extended, bool down) {
        HostDirectInputObserver()->onKey(scanCode, extended, down);
    }
    static void Motion(int dx, int dy) { HostDirectInputObserver()->onMouseMotion(dx, dy); }
    static void Button(int button, bool down) { HostDirectInputObserver()->onMouseButton(button, down); }

    struct MouseRead {
        int dx, dy, buttons;
    };
    static MouseRead ReadMouse() {
        MouseRead read = {111, 222, 333}; // stale values the read must overwrite
        QuibGetMouseData(&read.dx, &read.dy, &read.buttons);
        return read;
    }

    // The input object's references besides the one the engine holds: each live device holds one.
    static ULONG InputObjectReferences() {
        if (!g_lpdi) return 0;
        g_lpdi->AddRef();
        return g_lpdi->Release() - 1;
    }

  private:
    static HWND QueryForeground() { return foreground_.load(); }
    static inline std::atomic<HWND> foreground_{nullptr};
    HostMachine savedMachine_;
    HWND savedWindow_ = nullptr;
};

} // namespace

// ---- Keyboard ----

TEST_F(InputTest, KeyTableFollowsPressesBySet1ScanCode) {
    ASSERT_EQ(QuibInitKeyboard(), 1);
    ASSERT_NE(g_lpKBDevice, nullptr);
    Key(0x1E, false, true); // A
    Key(0x48, true, true);  // the arrow up, an extended key
    char* keys = QuibGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[0x1E] & 0x80, 0x80);
    EXPECT_EQ(keys[0xC8] & 0x80, 0x80);
    EXPECT_EQ(keys[0x48], 0); // the keypad's 8 shares the code without the extension
    Key(0x1E, false, false);
    keys = QuibGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[0x1E], 0);
    EXPECT_EQ(keys[0xC8] & 0x80, 0x80);
}

TEST_F(InputTest, GetKeysMakesTheKeyboardOnFirstUse) {
    EXPECT_EQ(g_lpKBDevice, nullptr);
    Key(0x39, false, true);
    char* keys = QuibGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_NE(g_lpKBDevice, nullptr);
    EXPECT_EQ(keys[0x39] & 0x80, 0x80);
}

TEST_F(InputTest, InBackgroundGetKeysFailsAndTheTableKeepsThePreviousState) {
    Key(0x1E, false, true);
    char* keys = QuibGetKeys();
    ASSERT_NE(keys, nullptr);
    char before[256];
    std::memcpy(before, keys, sizeof before);
    SetForeground(OtherWindow());
    Key(0x1E, false, false);
    Key(0x30, false, true);
    EXPECT_EQ(QuibGetKeys(), nullptr);
    EXPECT_EQ(std::memcmp(before, keys, sizeof before), 0);
    // Back in the foreground the keyboard is acquired again and reads the present state.
    SetForeground(OurWindow());
    keys = QuibGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[0x1E], 0);
    EXPECT_EQ(keys[0x30] & 0x80, 0x80);
}

TEST_F(InputTest, InitKeyboardInBackgroundKeepsTheDeviceForLater) {
    SetForeground(OtherWindow());
    EXPECT_EQ(QuibInitKeyboard(), 0);
    IDirectInputDevice* keyboard = g_lpKBDevice;
    EXPECT_NE(keyboard, nullptr) << "a refused acquire is no set-up failure";
    SetForeground(OurWindow());
    EXPECT_EQ(QuibInitKeyboard(), 1);
    EXPECT_EQ(g_lpKBDevice, keyboard) << "a second start-up keeps the one keyboard";
    EXPECT_EQ(InputObjectReferences(), 1u);
}

TEST_F(InputTest, KeyboardWhoseSetUpFailedIsReleasedAndTriedAgain) {
    g_hWnd = nullptr; // a foreground level needs a window
    EXPECT_EQ(QuibInitKeyboard(), 0);
    EXPECT_EQ(g_lpKBDevice, nullptr);
    EXPECT_EQ(QuibGetKeys(), nullptr);
    EXPECT_EQ(g_lpKBDevice, nullptr);
    EXPECT_EQ(InputObjectReferences(), 0u) << "the failed device was kept";
    g_hWnd = OurWindow();
    Key(0x10, false, true);
    char* keys = QuibGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[0x10] & 0x80, 0x80);
}

// ---- Mouse ----

TEST_F(InputTest, MouseDataWithoutAMouseIsAllZero) {
    const MouseRead read = ReadMouse();
    EXPECT_EQ(read.dx, 0);
    EXPECT_EQ(read.dy, 0);
    EXPECT_EQ(read.buttons, 0);
    QuibGetMouseData(nullptr, nullptr, nullptr);
    EXPECT_EQ(QuibAcquireMouse(1), 0);
    EXPECT_EQ(QuibAcquireMouse(0), 0);
}

TEST_F(InputTest, MotionAddsUpBetweenReadsAndEachReadConsumesIt) {
    ASSERT_EQ(QuibInitMouse(), 1);
    EXPECT_EQ(QuibInitMouse(), 1); // exists already
    ASSERT_EQ(QuibAcquireMouse(1), 1);
    Motion(5, -3);
    Motion(2, 1);
    MouseRead read = ReadMouse();
    EXPECT_EQ(read.dx, 7);
    EXPECT_EQ(read.dy, -2);
    EXPECT_EQ(read.buttons, 0);
    read = ReadMouse();
    EXPECT_EQ(read.dx, 0);
    EXPECT_EQ(read.dy, 0);
}

TEST_F(InputTest, ButtonsAreBitsInTheOrderLeftRightMiddleFourth) {
    ASSERT_EQ(QuibInitMouse(), 1);
    ASSERT_EQ(QuibAcquireMouse(1), 1);
    Button(0, true);
    Button(1, true);
    EXPECT_EQ(ReadMouse().buttons, 3);
    Button(0, false);
    Button(1, false);
    Button(2, true);
    EXPECT_EQ(ReadMouse().buttons, 4);
    Button(2, false);
    Button(3, true);
    EXPECT_EQ(ReadMouse().buttons, 8);
}

TEST_F(InputTest, LostInputGivesZerosAndTheMouseIsAcquiredAgainAfterActivation) {
    ASSERT_EQ(QuibInitMouse(), 1);
    ASSERT_EQ(QuibAcquireMouse(1), 1);
    EXPECT_EQ(g_MouseAcquired.load(), 1);
    Button(0, true);
    SetForeground(OtherWindow());
    MouseRead read = ReadMouse();
    EXPECT_EQ(read.buttons, 0);
    EXPECT_EQ(read.dx, 0);
    EXPECT_EQ(g_MouseAcquired.load(), 0);
    EXPECT_STREQ(g_ErrorText, "Tried to acquire mouse unsuccessfully.\n");
    // While in the background every read stays empty.
    EXPECT_EQ(ReadMouse().buttons, 0);
    // The program acquires on its next active frame; then reads work again.
    SetForeground(OurWindow());
    EXPECT_EQ(QuibAcquireMouse(1), 1);
    EXPECT_EQ(g_MouseAcquired.load(), 1);
    Motion(4, 4);
    read = ReadMouse();
    EXPECT_EQ(read.dx, 4);
    EXPECT_EQ(read.buttons, 1);
}

TEST_F(InputTest, AcquireIsTriedOnlyWhileTheFlagIsClear) {
    ASSERT_EQ(QuibInitMouse(), 1);
    ASSERT_EQ(QuibAcquireMouse(1), 1);
    // Unacquired behind the engine's back: the flag still says acquired, so no new attempt is made.
    g_lpMouseDevice.load()->Unacquire();
    EXPECT_EQ(QuibAcquireMouse(1), 1);
    Motion(3, 3);
    EXPECT_EQ(ReadMouse().dx, 0);
    // Switching off clears the flag; the next switch on acquires.
    EXPECT_EQ(QuibAcquireMouse(0), 1);
    EXPECT_EQ(g_MouseAcquired.load(), 0);
    EXPECT_EQ(QuibAcquireMouse(1), 1);
    Motion(3, 3);
    EXPECT_EQ(ReadMouse().dx, 6); // the motion made while not acquired is kept
}

TEST_F(InputTest, FailedAcquireRegistersItsMessageAndStillReturnsOne) {
    ASSERT_EQ(QuibInitMouse(), 1);
    SetForeground(OtherWindow());
    EXPECT_EQ(QuibAcquireMouse(1), 1);
    EXPECT_STREQ(g_ErrorText, "Tried to acquire mouse unsuccessfully.\n");
    EXPECT_EQ(g_MouseAcquired.load(), 0);
}

TEST_F(InputTest, MouseWhoseSetUpFailedIsReleasedAndTriedAgain) {
    g_hWnd = nullptr;
    EXPECT_EQ(QuibInitMouse(), 0);
    EXPECT_EQ(g_lpMouseDevice.load(), nullptr);
    EXPECT_EQ(InputObjectReferences(), 0u) << "the failed device was kept";
    g_hWnd = OurWindow();
    ASSERT_EQ(QuibInitMouse(), 1);
    ASSERT_EQ(QuibAcquireMouse(1), 1);
    Motion(-6, 2);
    EXPECT_EQ(ReadMouse().dx, -6);
}

TEST_F(InputTest, MouseIsReadSafelyFromAnotherThread) {
    ASSERT_EQ(QuibInitMouse(), 1);
    std::atomic<bool> stop{false};
    std::atomic<long> reads{0};
    std::thread timer([&] {
        while (!stop.load()) {
            int dx = 0, dy = 0, buttons = 0;
            QuibGetMouseData(&dx, &dy, &buttons);
            reads.fetch_add(1);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        SetForeground(i % 3 ? OurWindow() : OtherWindow());
        QuibAcquireMouse(i % 5 ? 1 : 0);
        Motion(1, 1);
        Button(i % 4, i % 2 == 0);
    }
    while (reads.load() < 100)
        std::this_thread::yield();
    stop = true;
    timer.join();
    SetForeground(OurWindow());
    QuibAcquireMouse(0);
    EXPECT_EQ(QuibAcquireMouse(1), 1);
    EXPECT_EQ(g_MouseAcquired.load(), 1);
}

// ---- Joystick ----

TEST_F(InputTest, WithoutAJoystickNothingIsRead) {
    QuibInitJoystick();
    EXPECT_EQ(g_lpJoystickDevice, nullptr);
    DIJOYSTATE state = {};
    EXPECT_EQ(QuibReadJoystickInput(&state), 0u);
    EXPECT_EQ(QuibReacquireInput(), 0);
}

TEST_F(InputTest, JoystickAxesRangeFromMinusToPlusThousand) {
    AttachJoysticks(1);
    QuibInitJoystick();
    ASSERT_NE(g_lpJoystickDevice, nullptr);
    HostSetJoystickPosition(0, -1.0, 1.0);
    DIJOYSTATE state = {};
    ASSERT_EQ(QuibReadJoystickInput(&state), 1u);
    EXPECT_EQ(state.lX, -1000);
    EXPECT_EQ(state.lY, 1000);
    HostSetJoystickPosition(0, 0.0, 0.0);
    ASSERT_EQ(QuibReadJoystickInput(&state), 1u);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(QuibReadJoystickInput(nullptr), 0u);
}

TEST_F(InputTest, WithSeveralJoysticksTheLastIsKeptAndTheOthersReleased) {
    AttachJoysticks(3);
    QuibInitJoystick();
    ASSERT_NE(g_lpJoystickDevice, nullptr);
    EXPECT_EQ(InputObjectReferences(), 1u) << "only one joystick may hold the input object";
    HostSetJoystickPosition(2, 1.0, 0.0);
    HostSetJoystickPosition(0, -1.0, 0.0);
    DIJOYSTATE state = {};
    ASSERT_EQ(QuibReadJoystickInput(&state), 1u);
    EXPECT_EQ(state.lX, 1000);
}

TEST_F(InputTest, JoystickSetUpFailureIsWrittenToTheDebuggerAndReleased) {
    AttachJoysticks(1);
    g_hWnd = nullptr;
    testing::internal::CaptureStderr();
    QuibInitJoystick();
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("IDirectInputDevice::SetCooperativeLevel FAILED\n"), std::string::npos) << output;
    EXPECT_EQ(g_lpJoystickDevice, nullptr);
    EXPECT_EQ(InputObjectReferences(), 0u);
}

TEST_F(InputTest, LostJoystickIsAcquiredAgainForTheNextRead) {
    AttachJoysticks(1);
    QuibInitJoystick();
    ASSERT_NE(g_lpJoystickDevice, nullptr);
    SetForeground(OtherWindow());
    DIJOYSTATE state = {};
    EXPECT_EQ(QuibReadJoystickInput(&state), 0u);
    SetForeground(OurWindow());
    EXPECT_EQ(QuibReadJoystickInput(&state), 0u) << "not acquired until the program asks";
    EXPECT_EQ(QuibReacquireInput(), 1);
    EXPECT_EQ(QuibReadJoystickInput(&state), 1u);
}

// ---- Shutdown ----

TEST_F(InputTest, FreeReleasesEverythingAndMaySafelyRunTwice) {
    AttachJoysticks(1);
    ASSERT_EQ(QuibInitKeyboard(), 1);
    ASSERT_EQ(QuibInitMouse(), 1);
    ASSERT_EQ(QuibAcquireMouse(1), 1);
    QuibInitJoystick();
    ASSERT_NE(g_lpdi, nullptr);
    EXPECT_EQ(InputObjectReferences(), 3u);
    IDirectInput* input = g_lpdi;
    input->AddRef();
    QuibFreeDirectInput();
    EXPECT_EQ(g_lpdi, nullptr);
    EXPECT_EQ(g_lpKBDevice, nullptr);
    EXPECT_EQ(g_lpMouseDevice.load(), nullptr);
    EXPECT_EQ(g_lpJoystickDevice, nullptr);
    EXPECT_EQ(g_MouseAcquired.load(), 0);
    EXPECT_EQ(input->Release(), 0u) << "a device outlived the shutdown";
    QuibFreeDirectInput();
    EXPECT_EQ(ReadMouse().dx, 0);
    EXPECT_EQ(QuibGetKeys() != nullptr, true) << "the keyboard comes back on demand";
}

TEST_F(InputTest, SecondInitDirectInputKeepsTheFirstObject) {
    QuibInitDirectInput(nullptr);
    IDirectInput* first = g_lpdi;
    ASSERT_NE(first, nullptr);
    QuibInitDirectInput(nullptr);
    EXPECT_EQ(g_lpdi, first);
}
