// Joystick enumeration, creation by instance identifier, axis ranges and the stick position.
#include <cstring>
#include <vector>

#include "test_dinput_support.h"

namespace {

struct Enumerated {
    std::vector<DIDEVICEINSTANCEA> instances;
    BOOL answer = DIENUM_CONTINUE;
};

BOOL Collect(LPCDIDEVICEINSTANCEA instance, LPVOID context) {
    Enumerated* seen = static_cast<Enumerated*>(context);
    seen->instances.push_back(*instance);
    return seen->answer;
}

DIPROPRANGE Range(DWORD offset, LONG lo, LONG hi) {
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof(DIPROPRANGE);
    range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    range.diph.dwObj = offset;
    range.diph.dwHow = DIPH_BYOFFSET;
    range.lMin = lo;
    range.lMax = hi;
    return range;
}

class DinputJoystick : public DinputTest {
  protected:
    std::vector<DIDEVICEINSTANCEA> Enumerate(BOOL answer = DIENUM_CONTINUE) {
        Enumerated seen;
        seen.answer = answer;
        EXPECT_EQ(di_->EnumDevices(DIDEVTYPE_JOYSTICK, Collect, &seen, DIEDFL_ATTACHEDONLY), DI_OK);
        return seen.instances;
    }

    // The first joystick, created, formatted, ranged -1000..1000 on X and Y, and acquired.
    IDirectInputDevice2A* OpenFirstStick() {
        std::vector<DIDEVICEINSTANCEA> found = Enumerate();
        if (found.empty()) return nullptr;
        IDirectInputDeviceA* device = MakeDevice(found[0].guidInstance, c_dfDIJoystick);
        IDirectInputDevice2A* stick = nullptr;
        EXPECT_EQ(device->QueryInterface(IID_IDirectInputDevice2, reinterpret_cast<void**>(&stick)), S_OK);
        EXPECT_EQ(device->Release(), 1u);
        DIPROPRANGE x = Range(DIJOFS_X, -1000, 1000), y = Range(DIJOFS_Y, -1000, 1000);
        EXPECT_EQ(stick->SetProperty(DIPROP_RANGE, &x.diph), DI_OK);
        EXPECT_EQ(stick->SetProperty(DIPROP_RANGE, &y.diph), DI_OK);
        EXPECT_EQ(stick->Acquire(), DI_OK);
        return stick;
    }

    static DIJOYSTATE Read(IDirectInputDevice2A* stick) {
        DIJOYSTATE state;
        std::memset(&state, 0x5A, sizeof state);
        EXPECT_EQ(stick->Poll(), DI_OK);
        EXPECT_EQ(stick->GetDeviceState(sizeof state, &state), DI_OK);
        return state;
    }
};

TEST_F(DinputJoystick, NoneAttachedByDefault) {
    EXPECT_TRUE(Enumerate().empty());
    EXPECT_EQ(OpenFirstStick(), nullptr);
    Enumerated seen;
    EXPECT_EQ(di_->EnumDevices(DIDEVTYPE_JOYSTICK, nullptr, &seen, 0), DIERR_INVALIDPARAM);
    EXPECT_EQ(di_->EnumDevices(0x99, Collect, &seen, 0), DIERR_INVALIDPARAM);
    EXPECT_EQ(di_->EnumDevices(DIDEVTYPE_JOYSTICK, Collect, &seen, 0x80), DIERR_INVALIDPARAM);
}

TEST_F(DinputJoystick, OneAttachedIsEnumeratedAndReadsCentred) {
    AttachJoysticks(1);
    std::vector<DIDEVICEINSTANCEA> found = Enumerate();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].dwSize, sizeof(DIDEVICEINSTANCEA));
    EXPECT_EQ(found[0].dwDevType, DWORD{DIDEVTYPE_JOYSTICK});
    EXPECT_FALSE(IsEqualGUID(found[0].guidInstance, GUID_SysMouse));
    EXPECT_NE(std::strlen(found[0].tszInstanceName), 0u);

    IDirectInputDevice2A* stick = OpenFirstStick();
    ASSERT_NE(stick, nullptr);
    DIJOYSTATE state = Read(stick);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 0);
    EXPECT_EQ(state.lZ, 0);
    EXPECT_EQ(state.rglSlider[0], 0);
    for (DWORD pov : state.rgdwPOV)
        EXPECT_EQ(pov, 0xFFFFFFFFu);
    for (BYTE button : state.rgbButtons)
        EXPECT_EQ(button, 0);
    EXPECT_EQ(stick->Release(), 0u);
}

TEST_F(DinputJoystick, StickPositionsMapOntoTheRange) {
    AttachJoysticks(1);
    IDirectInputDevice2A* stick = OpenFirstStick();
    ASSERT_NE(stick, nullptr);
    HostSetJoystickPosition(0, -1.0, 1.0);
    DIJOYSTATE state = Read(stick);
    EXPECT_EQ(state.lX, -1000); // full left
    EXPECT_EQ(state.lY, 1000);
    HostSetJoystickPosition(0, 0.5, -7.0); // beyond the end is clamped
    state = Read(stick);
    EXPECT_EQ(state.lX, 500);
    EXPECT_EQ(state.lY, -1000);
    EXPECT_EQ(stick->Release(), 0u);
}

TEST_F(DinputJoystick, AxesUseTheFullRangeUntilOneIsSet) {
    AttachJoysticks(1);
    std::vector<DIDEVICEINSTANCEA> found = Enumerate();
    ASSERT_EQ(found.size(), 1u);
    IDirectInputDeviceA* device = MakeDevice(found[0].guidInstance, c_dfDIJoystick);
    HostSetJoystickPosition(0, -1.0, 1.0);
    ASSERT_EQ(device->Acquire(), DI_OK);
    DIJOYSTATE state{};
    ASSERT_EQ(device->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 65535);
    EXPECT_EQ(device->Release(), 0u);
}

TEST_F(DinputJoystick, EnumerationStopsWhenTheCallbackSaysSo) {
    AttachJoysticks(3);
    std::vector<DIDEVICEINSTANCEA> all = Enumerate();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_FALSE(IsEqualGUID(all[0].guidInstance, all[1].guidInstance));
    EXPECT_FALSE(IsEqualGUID(all[1].guidInstance, all[2].guidInstance));
    EXPECT_EQ(Enumerate(DIENUM_STOP).size(), 1u);
    // Every enumeration names the same sticks the same way.
    std::vector<DIDEVICEINSTANCEA> again = Enumerate();
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_TRUE(IsEqualGUID(all[i].guidInstance, again[i].guidInstance));
}

TEST_F(DinputJoystick, OnlyAttachedSticksCanBeCreated) {
    AttachJoysticks(2);
    std::vector<DIDEVICEINSTANCEA> found = Enumerate();
    ASSERT_EQ(found.size(), 2u);
    AttachJoysticks(1); // the second one is unplugged
    IDirectInputDeviceA* device = reinterpret_cast<IDirectInputDeviceA*>(uintptr_t{1});
    EXPECT_EQ(di_->CreateDevice(found[1].guidInstance, &device, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(di_->CreateDevice(IID_IDirectInput, &device, nullptr), DIERR_DEVICENOTREG);
    ASSERT_EQ(di_->CreateDevice(found[0].guidInstance, &device, nullptr), DI_OK);
    EXPECT_EQ(device->Release(), 0u);
}

TEST_F(DinputJoystick, RangePropertyRules) {
    AttachJoysticks(1);
    std::vector<DIDEVICEINSTANCEA> found = Enumerate();
    ASSERT_EQ(found.size(), 1u);
    IDirectInputDeviceA* device = nullptr;
    ASSERT_EQ(di_->CreateDevice(found[0].guidInstance, &device, nullptr), DI_OK);
    DIPROPRANGE x = Range(DIJOFS_X, -1000, 1000);
    EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &x.diph), DIERR_OBJECTNOTFOUND); // no format yet
    ASSERT_EQ(device->SetDataFormat(&c_dfDIJoystick), DI_OK);
    EXPECT_EQ(device->SetProperty(DIPROP_RANGE, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetProperty(GUID_SysMouse, &x.diph), DIERR_UNSUPPORTED);
    DIPROPRANGE bad = Range(8, -1, 1); // lZ: this stick has no such axis
    EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &bad.diph), DIERR_OBJECTNOTFOUND);
    bad = Range(DIJOFS_X, 5, 5);
    EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &bad.diph), DIERR_INVALIDPARAM);
    bad = Range(DIJOFS_X, -1, 1);
    bad.diph.dwSize = sizeof(DIPROPHEADER);
    EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &bad.diph), DIERR_INVALIDPARAM);
    bad = Range(DIJOFS_X, -1, 1);
    bad.diph.dwHow = 7;
    EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &bad.diph), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &x.diph), DI_OK);
    ASSERT_EQ(device->Acquire(), DI_OK);
    EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &x.diph), DIERR_ACQUIRED);
    EXPECT_EQ(device->Release(), 0u);

    IDirectInputDeviceA* mouse = MakeDevice(GUID_SysMouse, c_dfDIMouse);
    EXPECT_EQ(mouse->SetProperty(DIPROP_RANGE, &x.diph), DIERR_UNSUPPORTED);
    EXPECT_EQ(mouse->Release(), 0u);
}

TEST_F(DinputJoystick, ForegroundLossReachesPollAndRead) {
    AttachJoysticks(1);
    IDirectInputDevice2A* stick = OpenFirstStick();
    ASSERT_NE(stick, nullptr);
    SetForeground(OtherWindow());
    EXPECT_EQ(stick->Poll(), DIERR_INPUTLOST);
    DIJOYSTATE state{};
    EXPECT_EQ(stick->GetDeviceState(sizeof state, &state), DIERR_NOTACQUIRED);
    SetForeground(OurWindow());
    EXPECT_EQ(stick->Acquire(), DI_OK);
    EXPECT_EQ(Read(stick).lX, 0);
    EXPECT_EQ(stick->Release(), 0u);
}

} // namespace
