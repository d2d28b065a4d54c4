// Shared set-up of the input device tests: a fresh input object, a pretend window that is the
// foreground window unless a test hands the foreground to another, no joysticks unless a test attaches
// some, and the observer the devices install, fed directly as the window layer would feed it.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>

#include "host/backend/machine.h"
#include "host/dinput/dinput.h"
#include "host/dinput/input_hooks.h"

class DinputTest : public ::testing::Test {
  protected:
    static HWND OurWindow() { return reinterpret_cast<HWND>(uintptr_t{0x5100}); }
    static HWND OtherWindow() { return reinterpret_cast<HWND>(uintptr_t{0x5200}); }

    void SetUp() override {
        savedMachine_ = HostGetMachine();
        AttachJoysticks(0);
        HostResetInputState();
        foreground_ = OurWindow();
        HostSetForegroundQuery(&QueryForeground);
        ASSERT_EQ(DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, &di_, nullptr), DI_OK);
        ASSERT_NE(di_, nullptr);
    }

    void TearDown() override {
        // Every test releases its devices, so the input object goes with this last reference.
        if (di_) {
            EXPECT_EQ(di_->Release(), 0u);
        }
        HostSetForegroundQuery(nullptr);
        HostSetMachine(savedMachine_);
        HostResetInputState();
    }

    static void SetForeground(HWND window) { foreground_ = window; }

    static void AttachJoysticks(int count) {
        HostMachine machine = HostGetMachine();
        machine.joysticks = count;
        HostSetMachine(machine);
    }

    // A device with its data format set and, when level is not 0, its cooperative level on OurWindow().
    IDirectInputDeviceA* MakeDevice(REFGUID guid, const DIDATAFORMAT& format,
                                    DWORD level = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) {
        IDirectInputDeviceA* device = nullptr;
        EXPECT_EQ(di_->CreateDevice(guid, &device, nullptr), DI_OK);
        if (!device) return nullptr;
        EXPECT_EQ(device->SetDataFormat(&format), DI_OK);
        if (level) {
            EXPECT_EQ(device->SetCooperativeLevel(OurWindow(), level), DI_OK);
        }
        return device;
    }

    static void Key(int scanCode, bool extended, bool down) {
        HostDirectInputObserver()->onKey(scanCode, extended, down);
    }
    static void Motion(int dx, int dy) { HostDirectInputObserver()->onMouseMotion(dx, dy); }
    static void Button(int button, bool down) { HostDirectInputObserver()->onMouseButton(button, down); }

    static DIMOUSESTATE ReadMouse(IDirectInputDeviceA* mouse, HRESULT expected = DI_OK) {
        DIMOUSESTATE state{};
        EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), expected);
        return state;
    }

    IDirectInputA* di_ = nullptr;

  private:
    static HWND QueryForeground() { return foreground_.load(); }

    static inline std::atomic<HWND> foreground_{nullptr};
    HostMachine savedMachine_;
};
