// Creation arguments and reference counts of the input object and its devices.
#include "test_dinput_support.h"

namespace {

using DinputObjects = DinputTest;

TEST_F(DinputObjects, CreationArgumentsAreChecked) {
    EXPECT_EQ(DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, nullptr, nullptr), DIERR_INVALIDPARAM);
    IDirectInputA* di = reinterpret_cast<IDirectInputA*>(uintptr_t{1});
    EXPECT_EQ(DirectInputCreateA(nullptr, 0x0700, &di, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(di, nullptr);
    EXPECT_EQ(DirectInputCreateA(nullptr, 0, &di, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, &di, di_), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(di, nullptr);
    ASSERT_EQ(DirectInputCreateA(nullptr, 0x0300, &di, nullptr), DI_OK);
    ASSERT_NE(di, nullptr);
    EXPECT_NE(di, di_);
    EXPECT_EQ(di->Release(), 0u);
}

TEST_F(DinputObjects, CreateDeviceArgumentsAreChecked) {
    EXPECT_EQ(di_->CreateDevice(GUID_SysMouse, nullptr, nullptr), DIERR_INVALIDPARAM);
    IDirectInputDeviceA* device = nullptr;
    EXPECT_EQ(di_->CreateDevice(GUID_SysMouse, &device, di_), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(di_->CreateDevice(IID_IDirectInputDevice, &device, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(device, nullptr);
}

TEST_F(DinputObjects, InputObjectCountsItsReferences) {
    EXPECT_EQ(di_->AddRef(), 2u);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(di_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(di_));
    EXPECT_EQ(unknown->Release(), 2u);
    IDirectInputA* again = nullptr;
    ASSERT_EQ(di_->QueryInterface(IID_IDirectInput, reinterpret_cast<void**>(&again)), S_OK);
    EXPECT_EQ(again, di_);
    EXPECT_EQ(again->Release(), 2u);
    void* none = di_;
    EXPECT_EQ(di_->QueryInterface(IID_IDirectInputDevice, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(di_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(di_->Release(), 1u);
}

TEST_F(DinputObjects, DeviceInterfacesShareOneCount) {
    IDirectInputDeviceA* mouse = MakeDevice(GUID_SysMouse, c_dfDIMouse);
    IDirectInputDevice2A* mouse2 = nullptr;
    ASSERT_EQ(mouse->QueryInterface(IID_IDirectInputDevice2, reinterpret_cast<void**>(&mouse2)), S_OK);
    EXPECT_EQ(static_cast<IDirectInputDeviceA*>(mouse2), mouse);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(mouse->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(mouse));
    void* none = mouse;
    EXPECT_EQ(mouse->QueryInterface(IID_IDirectInput, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(mouse->QueryInterface(IID_IDirectInputDevice, nullptr), E_POINTER);
    EXPECT_EQ(unknown->Release(), 2u);
    EXPECT_EQ(mouse->Release(), 1u);
    EXPECT_EQ(mouse2->Release(), 0u);
}

TEST_F(DinputObjects, DevicesKeepTheInputObjectAlive) {
    IDirectInputDeviceA* keyboard = MakeDevice(GUID_SysKeyboard, c_dfDIKeyboard);
    IDirectInputDeviceA* mouse = MakeDevice(GUID_SysMouse, c_dfDIMouse);
    EXPECT_EQ(di_->AddRef(), 4u); // ours, the fixture's and one per device
    EXPECT_EQ(di_->Release(), 3u);
    // Releasing the input object first leaves it to its devices; they still work.
    EXPECT_EQ(di_->Release(), 2u);
    di_ = nullptr;
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    Motion(1, 1);
    EXPECT_EQ(ReadMouse(mouse).lX, 1);
    EXPECT_EQ(keyboard->Release(), 0u);
    EXPECT_EQ(mouse->Release(), 0u); // the input object goes with its last device
}

} // namespace
