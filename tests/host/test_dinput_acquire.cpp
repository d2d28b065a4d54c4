// Acquisition rules of the input devices: data format and cooperative level first, the foreground
// window for foreground devices, exclusive access, and the result codes of lost and unacquired devices.
#include <set>

#include "test_dinput_support.h"

namespace {

using DinputAcquire = DinputTest;

TEST_F(DinputAcquire, AcquireNeedsADataFormat) {
    IDirectInputDeviceA* mouse = nullptr;
    ASSERT_EQ(di_->CreateDevice(GUID_SysMouse, &mouse, nullptr), DI_OK);
    EXPECT_EQ(mouse->Acquire(), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetDataFormat(&c_dfDIMouse), DI_OK);
    EXPECT_EQ(mouse->Acquire(), DI_OK); // background non-exclusive until a level is set
    EXPECT_EQ(mouse->Release(), 0u);
}

TEST_F(DinputAcquire, ForegroundDeviceNeedsItsWindowInFront) {
    IDirectInputDeviceA* mouse = MakeDevice(GUID_SysMouse, c_dfDIMouse);
    SetForeground(OtherWindow());
    EXPECT_EQ(mouse->Acquire(), DIERR_OTHERAPPHASPRIO);
    ReadMouse(mouse, DIERR_NOTACQUIRED);
    SetForeground(nullptr); // no window in front at all
    EXPECT_EQ(mouse->Acquire(), DIERR_OTHERAPPHASPRIO);
    SetForeground(OurWindow());
    EXPECT_EQ(mouse->Acquire(), DI_OK);
    EXPECT_EQ(mouse->Acquire(), S_FALSE); // already acquired counts as success
    EXPECT_TRUE(SUCCEEDED(mouse->Acquire()));
    EXPECT_EQ(mouse->Release(), 0u);
}

TEST_F(DinputAcquire, LosingTheForegroundGivesInputLostOnceThenNotAcquired) {
    IDirectInputDeviceA* mouse = MakeDevice(GUID_SysMouse, c_dfDIMouse);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    Motion(9, 9);
    SetForeground(OtherWindow());
    Motion(1, 1);
    ReadMouse(mouse, DIERR_INPUTLOST);
    ReadMouse(mouse, DIERR_NOTACQUIRED);
    ReadMouse(mouse, DIERR_NOTACQUIRED);
    EXPECT_EQ(mouse->Acquire(), DIERR_OTHERAPPHASPRIO);

    SetForeground(OurWindow());
    EXPECT_EQ(mouse->Acquire(), DI_OK);
    Motion(2, 3);
    DIMOUSESTATE state = ReadMouse(mouse);
    EXPECT_EQ(state.lX, 12); // motion made while away is kept, so the cursor catches up with the pointer
    EXPECT_EQ(state.lY, 13);
    EXPECT_EQ(mouse->Release(), 0u);
}

TEST_F(DinputAcquire, AcquireAfterTheWindowWentBackDropsTheAcquisition) {
    IDirectInputDeviceA* keyboard = MakeDevice(GUID_SysKeyboard, c_dfDIKeyboard);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    SetForeground(OtherWindow());
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    SetForeground(OurWindow());
    BYTE keys[256];
    // The device was given up when Acquire found the window behind; it must be acquired again.
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keyboard->Release(), 0u);
}

TEST_F(DinputAcquire, BackgroundDeviceIgnoresTheForeground) {
    IDirectInputDeviceA* mouse =
        MakeDevice(GUID_SysMouse, c_dfDIMouse, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    SetForeground(OtherWindow());
    EXPECT_EQ(mouse->Acquire(), DI_OK);
    Motion(4, 0);
    EXPECT_EQ(ReadMouse(mouse).lX, 4);
    EXPECT_EQ(mouse->Release(), 0u);
}

TEST_F(DinputAcquire, UnacquireTwiceHasNoEffectTheSecondTime) {
    IDirectInputDeviceA* mouse = MakeDevice(GUID_SysMouse, c_dfDIMouse);
    EXPECT_EQ(mouse->Unacquire(), DI_NOEFFECT);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    EXPECT_EQ(mouse->Unacquire(), DI_OK);
    EXPECT_EQ(mouse->Unacquire(), DI_NOEFFECT);
    ReadMouse(mouse, DIERR_NOTACQUIRED);
    EXPECT_EQ(mouse->Release(), 0u);
}

TEST_F(DinputAcquire, CooperativeLevelsAreChecked) {
    IDirectInputDeviceA* mouse = MakeDevice(GUID_SysMouse, c_dfDIMouse, 0);
    HWND w = OurWindow();
    EXPECT_EQ(mouse->SetCooperativeLevel(w, DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NONEXCLUSIVE),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetCooperativeLevel(w, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetCooperativeLevel(w, DISCL_FOREGROUND), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetCooperativeLevel(w, DISCL_NONEXCLUSIVE), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetCooperativeLevel(w, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | 0x100),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    EXPECT_EQ(mouse->SetCooperativeLevel(w, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    EXPECT_EQ(mouse->SetCooperativeLevel(w, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DIERR_ACQUIRED);
    // The refused change left the foreground level in place.
    SetForeground(OtherWindow());
    ReadMouse(mouse, DIERR_INPUTLOST);
    EXPECT_EQ(mouse->Release(), 0u);
}

TEST_F(DinputAcquire, DataFormatMustSuitTheDeviceAndWaitForUnacquire) {
    IDirectInputDeviceA* mouse = nullptr;
    ASSERT_EQ(di_->CreateDevice(GUID_SysMouse, &mouse, nullptr), DI_OK);
    EXPECT_EQ(mouse->SetDataFormat(nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetDataFormat(&c_dfDIKeyboard), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetDataFormat(&c_dfDIJoystick), DIERR_INVALIDPARAM);
    DIDATAFORMAT copy = c_dfDIMouse; // a program's own copy of the predefined format
    EXPECT_EQ(mouse->SetDataFormat(&copy), DI_OK);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    EXPECT_EQ(mouse->SetDataFormat(&c_dfDIMouse), DIERR_ACQUIRED);
    EXPECT_EQ(mouse->Release(), 0u);
}

TEST_F(DinputAcquire, ExclusiveAccessIsHeldByOneDevice) {
    const DWORD exclusive = DISCL_EXCLUSIVE | DISCL_FOREGROUND;
    IDirectInputDeviceA* first = MakeDevice(GUID_SysMouse, c_dfDIMouse, exclusive);
    IDirectInputDeviceA* second = MakeDevice(GUID_SysMouse, c_dfDIMouse, exclusive);
    IDirectInputDeviceA* shared = MakeDevice(GUID_SysMouse, c_dfDIMouse);
    IDirectInputDeviceA* keyboard = MakeDevice(GUID_SysKeyboard, c_dfDIKeyboard, exclusive);
    EXPECT_EQ(first->Acquire(), DI_OK);
    EXPECT_EQ(second->Acquire(), DIERR_OTHERAPPHASPRIO);
    EXPECT_EQ(shared->Acquire(), DI_OK);   // non-exclusive access stays open
    EXPECT_EQ(keyboard->Acquire(), DI_OK); // another kind of device
    EXPECT_EQ(first->Unacquire(), DI_OK);
    EXPECT_EQ(second->Acquire(), DI_OK);
    EXPECT_EQ(first->Acquire(), DIERR_OTHERAPPHASPRIO);
    EXPECT_EQ(second->Release(), 0u); // releasing frees the exclusive access
    EXPECT_EQ(first->Acquire(), DI_OK);
    EXPECT_EQ(first->Release(), 0u);
    EXPECT_EQ(shared->Release(), 0u);
    EXPECT_EQ(keyboard->Release(), 0u);
}

TEST_F(DinputAcquire, FailureCodesAreNegativeAndDistinct) {
    std::set<HRESULT> seen;
#define CHECK_CODE(name, value)                                                                              \
    EXPECT_TRUE(FAILED(name)) << #name;                                                                      \
    EXPECT_EQ(name, value) << #name;                                                                         \
    EXPECT_TRUE(seen.insert(name).second) << #name " repeats another code";
    HOST_DIERR_LIST(CHECK_CODE)
#undef CHECK_CODE
    EXPECT_TRUE(SUCCEEDED(DI_NOEFFECT));
    EXPECT_NE(DI_NOEFFECT, DI_OK);
}

} // namespace
