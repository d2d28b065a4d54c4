#include <cstdio>

#include "host/dinput/device.h"
#include "host/dinput/dinput.h"
#include "host/dinput/input_state.h"

HOST_DEFINE_GUID(IID_IDirectInput, 0x51B0D100, 0x00D1, 0x0001, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x01);
HOST_DEFINE_GUID(IID_IDirectInputDevice, 0x51B0D100, 0x00D1, 0x0001, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x02);
HOST_DEFINE_GUID(IID_IDirectInputDevice2, 0x51B0D100, 0x00D1, 0x0001, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x03);
HOST_DEFINE_GUID(GUID_SysKeyboard, 0x51B0D100, 0x00D1, 0x0002, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x01);
HOST_DEFINE_GUID(GUID_SysMouse, 0x51B0D100, 0x00D1, 0x0002, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02);
HOST_DEFINE_GUID(DIPROP_RANGE, 0x51B0D100, 0x00D1, 0x0003, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04);

// The product every host joystick reports.
static const GUID kJoystickProduct = {
    0x51B0D100, 0x00D1, 0x0005, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};

static_assert(sizeof(DIMOUSESTATE) == 16, "the mouse state is 16 bytes");
static_assert(sizeof(DIJOYSTATE) == 80, "the joystick state is 80 bytes");
static_assert(sizeof(DIPROPHEADER) == 16 && sizeof(DIPROPRANGE) == 24,
              "property blocks as programs fill them");
static_assert(offsetof(DIJOYSTATE, lX) == DIJOFS_X && offsetof(DIJOYSTATE, lY) == DIJOFS_Y, "axis offsets");

const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), 0, 256};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), DIDF_RELAXIS, sizeof(DIMOUSESTATE)};
const DIDATAFORMAT c_dfDIJoystick = {sizeof(DIDATAFORMAT), DIDF_ABSAXIS, sizeof(DIJOYSTATE)};

namespace {

// The interface version this host implements.
constexpr DWORD kHostVersion = 0x0500;

DIDEVICEINSTANCEA JoystickInstance(int index) {
    DIDEVICEINSTANCEA instance{};
    instance.dwSize = sizeof instance;
    instance.guidInstance = JoystickInstanceGuid(index);
    instance.guidProduct = kJoystickProduct;
    instance.dwDevType = DIDEVTYPE_JOYSTICK;
    std::snprintf(instance.tszInstanceName, sizeof instance.tszInstanceName, "Joystick %d", index + 1);
    std::snprintf(instance.tszProductName, sizeof instance.tszProductName, "Joystick");
    return instance;
}

class DirectInput final : public IDirectInputA, public RefCount {
  public:
    HOST_REFCOUNTED

    HRESULT QueryInterface(REFIID riid, void** out) override {
        return HostQuerySingle<IDirectInputA>(this, IID_IDirectInput, riid, out);
    }

    HRESULT CreateDevice(REFGUID device, LPDIRECTINPUTDEVICEA* out, LPUNKNOWN outer) override {
        if (!out) return DIERR_INVALIDPARAM;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        InputKind kind = InputKind::Joystick;
        int joystick = -1;
        if (IsEqualGUID(device, GUID_SysKeyboard)) {
            kind = InputKind::Keyboard;
        } else if (IsEqualGUID(device, GUID_SysMouse)) {
            kind = InputKind::Mouse;
        } else {
            joystick = JoystickIndexOf(device);
            if (joystick < 0) return DIERR_DEVICENOTREG;
        }
        *out = NewInputDevice(this, kind, joystick);
        // Installed again with every device, so the devices follow the keys even when something else
        // replaced the observer in between.
        InstallInputObserver();
        return DI_OK;
    }

    HRESULT EnumDevices(DWORD deviceType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context,
                        DWORD flags) override {
        if (!callback || deviceType != DIDEVTYPE_JOYSTICK) return DIERR_INVALIDPARAM;
        if (flags & ~DWORD{DIEDFL_ATTACHEDONLY}) return DIERR_INVALIDPARAM;
        int attached = AttachedJoysticks();
        for (int i = 0; i < attached; ++i) {
            DIDEVICEINSTANCEA instance = JoystickInstance(i);
            if (callback(&instance, context) == DIENUM_STOP) break;
        }
        return DI_OK;
    }
};

} // namespace

HRESULT DirectInputCreateA(HINSTANCE instance, DWORD version, LPDIRECTINPUTA* out, LPUNKNOWN outer) {
    (void)instance; // the machine's devices are reached without the program's instance
    if (!out) return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (version == 0 || version > kHostVersion) return DIERR_INVALIDPARAM;
    *out = new DirectInput();
    return DI_OK;
}
