// The input devices fed by the window layer: keys reach the table as their messages are taken from the
// queue, mouse motion and buttons as the machine reports them, and the devices follow activation.
#include <atomic>
#include <thread>

#include "test_window_support.h"

#include "host/dinput/dinput.h"
#include "host/dinput/input_hooks.h"

namespace {

class DinputThroughWindows : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        HostResetInputState();
        HostSetForegroundQuery(nullptr);
        window_ = MakeMainWindow();
        ASSERT_NE(window_, nullptr);
        Pump();
        ASSERT_EQ(GetForegroundWindow(), window_);
        ASSERT_EQ(DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, &di_, nullptr), DI_OK);
    }
    void TearDown() override {
        if (di_) {
            EXPECT_EQ(di_->Release(), 0u);
        }
        HostResetInputState();
        WindowTest::TearDown();
    }

    IDirectInputDeviceA* Open(REFGUID guid, const DIDATAFORMAT& format) {
        IDirectInputDeviceA* device = nullptr;
        EXPECT_EQ(di_->CreateDevice(guid, &device, nullptr), DI_OK);
        EXPECT_EQ(device->SetDataFormat(&format), DI_OK);
        EXPECT_EQ(device->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
        EXPECT_EQ(device->Acquire(), DI_OK);
        return device;
    }

    static BYTE KeyByte(IDirectInputDeviceA* keyboard, int code) {
        BYTE keys[256] = {};
        EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
        return keys[code];
    }

    HWND window_ = nullptr;
    IDirectInputA* di_ = nullptr;
};

TEST_F(DinputThroughWindows, KeysChangeWhenTheirMessagesAreTaken) {
    IDirectInputDeviceA* keyboard = Open(GUID_SysKeyboard, c_dfDIKeyboard);
    HostInputKey(VK_RIGHT, 0x4D, true, true, false);
    HostInputKey('A', 0x1E, false, true, false);
    EXPECT_EQ(KeyByte(keyboard, DIK_RIGHT), 0x00); // still in the queue
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(KeyByte(keyboard, DIK_RIGHT), 0x80);
    EXPECT_EQ(KeyByte(keyboard, DIK_NUMPAD6), 0x00);
    EXPECT_EQ(KeyByte(keyboard, DIK_A), 0x00);
    Pump();
    EXPECT_EQ(KeyByte(keyboard, DIK_A), 0x80);
    // A quick press and release: each state is there while its message is being handled.
    HostInputKey(VK_RIGHT, 0x4D, true, false, false);
    HostInputKey('A', 0x1E, false, false, false);
    Pump();
    EXPECT_EQ(KeyByte(keyboard, DIK_RIGHT), 0x00);
    EXPECT_EQ(KeyByte(keyboard, DIK_A), 0x00);
    EXPECT_EQ(keyboard->Release(), 0u);
}

TEST_F(DinputThroughWindows, MouseFollowsTheMachine) {
    HostInputMouseMove(100, 100);
    IDirectInputDeviceA* mouse = Open(GUID_SysMouse, c_dfDIMouse);
    HostInputMouseMove(110, 95);
    HostInputMouseMove(111, 95);
    HostInputMouseButton(1, true);
    DIMOUSESTATE state{};
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 11);
    EXPECT_EQ(state.lY, -5);
    EXPECT_EQ(state.rgbButtons[0], 0x00);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    EXPECT_EQ(mouse->Release(), 0u);
}

TEST_F(DinputThroughWindows, DevicesFollowActivation) {
    IDirectInputDeviceA* mouse = Open(GUID_SysMouse, c_dfDIMouse);
    HostInputFocus(false);
    DIMOUSESTATE state{};
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_NOTACQUIRED);
    EXPECT_EQ(mouse->Acquire(), DIERR_OTHERAPPHASPRIO);
    HostInputFocus(true);
    EXPECT_EQ(mouse->Acquire(), DI_OK);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(mouse->Release(), 0u);
}

// The timer thread reads the mouse, and acquires it again when input was lost, while the message thread
// moves the activation back and forth: every answer is one the engine expects.
TEST_F(DinputThroughWindows, ActivationChangesWhileAnotherThreadReads) {
    IDirectInputDeviceA* mouse = Open(GUID_SysMouse, c_dfDIMouse);
    std::atomic<bool> done{false};
    int unexpected = 0;
    std::thread timer([&] {
        while (!done.load()) {
            DIMOUSESTATE state{};
            HRESULT hr = mouse->GetDeviceState(sizeof state, &state);
            if (hr == DIERR_INPUTLOST) hr = mouse->Acquire();
            // S_FALSE: the message thread acquired it again first.
            if (FAILED(hr) && hr != DIERR_NOTACQUIRED && hr != DIERR_OTHERAPPHASPRIO) ++unexpected;
        }
    });
    for (int i = 0; i < 300; ++i) {
        HostInputFocus(i % 2 != 0);
        mouse->Acquire();
        HostInputMouseMove(i, i);
    }
    done.store(true);
    timer.join();
    EXPECT_EQ(unexpected, 0);
    EXPECT_EQ(mouse->Release(), 0u);
}

} // namespace
