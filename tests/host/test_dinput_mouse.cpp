// The mouse device: relative motion collected between reads and consumed by each read, button bytes,
// and reads from another thread while the message thread reports motion.
#include <climits>
#include <thread>

#include "test_dinput_support.h"

namespace {

class DinputMouse : public DinputTest {
  protected:
    void SetUp() override {
        DinputTest::SetUp();
        mouse_ = MakeDevice(GUID_SysMouse, c_dfDIMouse);
        ASSERT_NE(mouse_, nullptr);
        ASSERT_EQ(mouse_->Acquire(), DI_OK);
    }
    void TearDown() override {
        if (mouse_) {
            EXPECT_EQ(mouse_->Release(), 0u);
        }
        DinputTest::TearDown();
    }

    IDirectInputDeviceA* mouse_ = nullptr;
};

TEST_F(DinputMouse, MotionAccumulatesAndEachReadConsumesIt) {
    Motion(3, 4);
    Motion(-1, 10);
    Motion(0, -2);
    DIMOUSESTATE state = ReadMouse(mouse_);
    EXPECT_EQ(state.lX, 2);
    EXPECT_EQ(state.lY, 12);
    EXPECT_EQ(state.lZ, 0);
    state = ReadMouse(mouse_);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 0);
    Motion(-7, 0);
    EXPECT_EQ(ReadMouse(mouse_).lX, -7);
}

// The pointer moves on while the window is inactive; the first read after acquiring catches up, so a
// cursor drawn from the counts stays where the pointer is. A press while not acquired does not count.
TEST_F(DinputMouse, MotionWhileNotAcquiredIsKeptButPressesAreNot) {
    ASSERT_EQ(mouse_->Unacquire(), DI_OK);
    Motion(50, 50);
    Button(0, true);
    Button(0, false);
    ASSERT_EQ(mouse_->Acquire(), DI_OK);
    Motion(1, 2);
    DIMOUSESTATE state = ReadMouse(mouse_);
    EXPECT_EQ(state.lX, 51);
    EXPECT_EQ(state.lY, 52);
    EXPECT_EQ(state.rgbButtons[0], 0x00);
}

TEST_F(DinputMouse, EachMouseDeviceCountsForItself) {
    IDirectInputDeviceA* second = MakeDevice(GUID_SysMouse, c_dfDIMouse);
    ASSERT_EQ(second->Acquire(), DI_OK);
    Motion(5, -5);
    EXPECT_EQ(ReadMouse(mouse_).lX, 5);
    Motion(1, 1);
    DIMOUSESTATE state = ReadMouse(second);
    EXPECT_EQ(state.lX, 6);
    EXPECT_EQ(state.lY, -4);
    EXPECT_EQ(ReadMouse(mouse_).lX, 1);
    EXPECT_EQ(second->Release(), 0u);
}

TEST_F(DinputMouse, ButtonsReadWithTheHighBitWhileDown) {
    Button(0, true);
    Button(1, true);
    DIMOUSESTATE state = ReadMouse(mouse_);
    EXPECT_EQ(state.rgbButtons[0], 0x80);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    EXPECT_EQ(state.rgbButtons[2], 0x00);
    EXPECT_EQ(state.rgbButtons[3], 0x00);

    Button(0, false);
    Button(2, true);
    Button(3, true);
    state = ReadMouse(mouse_);
    EXPECT_EQ(state.rgbButtons[0], 0x00);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    EXPECT_EQ(state.rgbButtons[2], 0x80);
    EXPECT_EQ(state.rgbButtons[3], 0x80);

    // Buttons are states, not events: a read does not release them. Unknown buttons are ignored.
    Button(-1, true);
    Button(4, true);
    state = ReadMouse(mouse_);
    EXPECT_EQ(state.rgbButtons[0], 0x00);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
}

// A click shorter than the reading interval (a tap, a scripted click) still reads as down once.
TEST_F(DinputMouse, ClickBetweenTwoReadsShowsOnceAsDown) {
    Button(0, true);
    Button(0, false);
    EXPECT_EQ(ReadMouse(mouse_).rgbButtons[0], 0x80);
    EXPECT_EQ(ReadMouse(mouse_).rgbButtons[0], 0x00);
}

TEST_F(DinputMouse, MotionBeyondOneReadIsKeptForTheNext) {
    Motion(INT_MAX, INT_MIN);
    Motion(INT_MAX, INT_MIN);
    Motion(2, -3);
    DIMOUSESTATE state = ReadMouse(mouse_);
    EXPECT_EQ(state.lX, LONG{INT32_MAX});
    EXPECT_EQ(state.lY, LONG{INT32_MIN});
    state = ReadMouse(mouse_);
    EXPECT_EQ(state.lX, LONG{INT32_MAX});
    EXPECT_EQ(state.lY, LONG{INT32_MIN});
    state = ReadMouse(mouse_);
    EXPECT_EQ(state.lX, 2);
    EXPECT_EQ(state.lY, -3);
}

TEST_F(DinputMouse, WrongSizeIsRefusedAndConsumesNothingAndPollHasNoEffect) {
    Motion(4, 4);
    BYTE big[32] = {};
    EXPECT_EQ(mouse_->GetDeviceState(sizeof big, big), DIERR_INVALIDPARAM);
    EXPECT_EQ(ReadMouse(mouse_).lX, 4);
    IDirectInputDevice2A* mouse2 = nullptr;
    ASSERT_EQ(mouse_->QueryInterface(IID_IDirectInputDevice2, reinterpret_cast<void**>(&mouse2)), S_OK);
    EXPECT_EQ(mouse2->Poll(), DI_NOEFFECT); // the mouse needs no polling
    EXPECT_EQ(mouse2->Release(), 1u);
}

// The timer thread reads the mouse while the message thread reports motion: every count reported
// arrives in exactly one read.
TEST_F(DinputMouse, ReadsFromAnotherThreadLoseNoCounts) {
    constexpr int kMoves = 20000;
    std::atomic<bool> fed{false};
    long long sumX = 0, sumY = 0;
    int failures = 0;
    std::thread reader([&] {
        auto readOnce = [&] {
            DIMOUSESTATE state{};
            if (mouse_->GetDeviceState(sizeof state, &state) != DI_OK) ++failures;
            sumX += state.lX;
            sumY += state.lY;
        };
        while (!fed.load())
            readOnce();
        readOnce(); // what came after the last read in the loop
    });
    for (int i = 0; i < kMoves; ++i) {
        Motion(1, -2);
        if (i % 1000 == 0) Button(0, (i / 1000) % 2 == 0);
    }
    fed.store(true);
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(sumX, kMoves);
    EXPECT_EQ(sumY, -2LL * kMoves);
}

// Acquire and Unacquire on one thread while another reads: each read answers success or
// DIERR_NOTACQUIRED, and nothing is counted twice.
TEST_F(DinputMouse, AcquireTogglesWhileAnotherThreadReads) {
    std::atomic<bool> done{false};
    int unexpected = 0;
    long long sumX = 0;
    std::thread reader([&] {
        while (!done.load()) {
            DIMOUSESTATE state{};
            HRESULT hr = mouse_->GetDeviceState(sizeof state, &state);
            if (hr != DI_OK && hr != DIERR_NOTACQUIRED) ++unexpected;
            sumX += state.lX;
        }
    });
    for (int i = 0; i < 2000; ++i) {
        Motion(1, 0);
        if (i % 3 == 0) mouse_->Unacquire();
        if (i % 3 == 1) mouse_->Acquire();
    }
    done.store(true);
    reader.join();
    EXPECT_EQ(unexpected, 0);
    EXPECT_LE(sumX, 2000);
}

} // namespace
