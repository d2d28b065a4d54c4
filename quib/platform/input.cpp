// Keyboard, mouse and joystick through the platform's polled input devices.
#include "quib/platform/input.h"

#include "host/win/debug_output.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/video.h"
#include "quib/quib.h"

IDirectInput* g_lpdi = nullptr;
IDirectInputDevice* g_lpKBDevice = nullptr;
std::atomic<IDirectInputDevice*> g_lpMouseDevice{nullptr};
std::atomic<int> g_MouseAcquired{0};
IDirectInputDevice2* g_lpJoystickDevice = nullptr;

namespace {

constexpr DWORD kInputVersion = 0x0500;
constexpr DWORD kCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
constexpr LONG kJoystickMin = -1000;
constexpr LONG kJoystickMax = 1000;
constexpr int kMouseButtons = 4;

char g_KeyState[256] = {};

// The results that mean "this device cannot be used now" rather than "already acquired".
bool RefusedAcquire(HRESULT hr) {
    return hr == DIERR_INVALIDPARAM || hr == DIERR_OTHERAPPHASPRIO || hr == DIERR_NOTINITIALIZED;
}

bool EnsureInputObject() {
    if (!g_lpdi) QuibInitDirectInput(g_hInstance);
    return g_lpdi != nullptr;
}

template <class Device> void ReleaseDevice(Device*& device) {
    if (device) device->Release();
    device = nullptr;
}

// Gives a new device its data format and cooperative level; releases it on failure.
bool ConfigureDevice(IDirectInputDevice*& device, const DIDATAFORMAT& format) {
    if (FAILED(device->SetDataFormat(&format)) || FAILED(device->SetCooperativeLevel(g_hWnd, kCooperation))) {
        ReleaseDevice(device);
        return false;
    }
    return true;
}

// Reads the key table once more after input was lost; false when that fails too.
bool RereadKeysAfterLoss() {
    if (FAILED(g_lpKBDevice->Acquire())) return false;
    return SUCCEEDED(g_lpKBDevice->GetDeviceState(sizeof g_KeyState, g_KeyState));
}

HRESULT SetAxisRange(IDirectInputDevice2* joystick, DWORD axisOffset) {
    DIPROPRANGE range = {};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwObj = axisOffset;
    range.diph.dwHow = DIPH_BYOFFSET;
    range.lMin = kJoystickMin;
    range.lMax = kJoystickMax;
    return joystick->SetProperty(DIPROP_RANGE, &range.diph);
}

// Sets up a joystick device; on failure writes the failing call to the debugger output.
bool ConfigureJoystick(IDirectInputDevice2* joystick) {
    if (FAILED(joystick->SetDataFormat(&c_dfDIJoystick))) {
        OutputDebugStringA("IDirectInputDevice::SetDataFormat FAILED\n");
        return false;
    }
    if (FAILED(joystick->SetCooperativeLevel(g_hWnd, kCooperation))) {
        OutputDebugStringA("IDirectInputDevice::SetCooperativeLevel FAILED\n");
        return false;
    }
    if (FAILED(SetAxisRange(joystick, DIJOFS_X)) || FAILED(SetAxisRange(joystick, DIJOFS_Y))) {
        OutputDebugStringA("IDirectInputDevice::SetProperty(DIPH_RANGE) FAILED\n");
        return false;
    }
    return true;
}

} // namespace

void QuibInitDirectInput(HINSTANCE instance) {
    // One input object per process: a second call keeps the one the devices were made from.
    if (g_lpdi) return;
    IDirectInput* made = nullptr;
    if (FAILED(DirectInputCreateA(instance, kInputVersion, &made, nullptr))) made = nullptr;
    g_lpdi = made;
}

void QuibFreeDirectInput() {
    ReleaseDevice(g_lpJoystickDevice);
    ReleaseDevice(g_lpKBDevice);
    IDirectInputDevice* mouse = g_lpMouseDevice.exchange(nullptr);
    ReleaseDevice(mouse);
    g_MouseAcquired = 0;
    ReleaseDevice(g_lpdi);
}

// ---- Keyboard ----

int QuibInitKeyboard() {
    if (!EnsureInputObject()) return 0;
    // A keyboard that exists already is kept: a second start-up only acquires it again.
    if (!g_lpKBDevice) {
        if (FAILED(g_lpdi->CreateDevice(GUID_SysKeyboard, &g_lpKBDevice, nullptr))) {
            g_lpKBDevice = nullptr;
            return 0;
        }
        if (!ConfigureDevice(g_lpKBDevice, c_dfDIKeyboard)) return 0;
    }
    return RefusedAcquire(g_lpKBDevice->Acquire()) ? 0 : 1;
}

char* QuibGetKeys() {
    if (g_lpKBDevice) {
        if (RefusedAcquire(g_lpKBDevice->Acquire())) return nullptr;
    } else if (!QuibInitKeyboard()) {
        return nullptr;
    }
    const HRESULT hr = g_lpKBDevice->GetDeviceState(sizeof g_KeyState, g_KeyState);
    if (hr == DIERR_INPUTLOST) return RereadKeysAfterLoss() ? g_KeyState : nullptr;
    if (hr == DIERR_INVALIDPARAM || hr == DIERR_NOTACQUIRED || hr == DIERR_NOTINITIALIZED) return nullptr;
    return g_KeyState;
}

// ---- Mouse ----

int QuibInitMouse() {
    if (g_lpMouseDevice.load()) return 1;
    if (!EnsureInputObject()) {
        RegError("DirectInput: g_lpdi = NULL");
        return 0;
    }
    IDirectInputDevice* mouse = nullptr;
    if (FAILED(g_lpdi->CreateDevice(GUID_SysMouse, &mouse, nullptr)) || !mouse) {
        RegError("DirectInput: can't create GUID_SysMouse");
        return 0;
    }
    if (FAILED(mouse->SetDataFormat(&c_dfDIMouse))) {
        RegError("DirectInput: bad SetDataFormat");
        ReleaseDevice(mouse);
        return 0;
    }
    if (FAILED(mouse->SetCooperativeLevel(g_hWnd, kCooperation))) {
        ReleaseDevice(mouse);
        return 0;
    }
    // Published only once it is fully set up: the timer thread may look at it any time.
    g_lpMouseDevice = mouse;
    return 1;
}

int QuibAcquireMouse(int on) {
    IDirectInputDevice* mouse = g_lpMouseDevice.load();
    if (!mouse) return 0;
    if (!on) {
        mouse->Unacquire();
        g_MouseAcquired = 0;
        return 1;
    }
    if (!g_MouseAcquired.load()) {
        if (FAILED(mouse->Acquire()))
            RegError("Tried to acquire mouse unsuccessfully.");
        else
            g_MouseAcquired = 1;
    }
    return 1;
}

void QuibGetMouseData(int* dx, int* dy, int* buttons) {
    if (dx) *dx = 0;
    if (dy) *dy = 0;
    if (buttons) *buttons = 0;
    IDirectInputDevice* mouse = g_lpMouseDevice.load();
    if (!mouse) return;
    DIMOUSESTATE state = {};
    const HRESULT hr = mouse->GetDeviceState(sizeof state, &state);
    if (hr == DIERR_INPUTLOST) {
        g_MouseAcquired = 0;
        QuibAcquireMouse(1);
        return;
    }
    if (FAILED(hr)) return;
    if (dx) *dx = int(state.lX);
    if (dy) *dy = int(state.lY);
    if (!buttons) return;
    for (int i = 0; i < kMouseButtons; ++i)
        if (state.rgbButtons[i] & 0x80) *buttons |= 1 << i;
}

// ---- Joystick ----

void QuibInitJoystick() {
    if (!EnsureInputObject()) return;
    g_lpdi->EnumDevices(DIDEVTYPE_JOYSTICK, QuibInitJoystickInput, g_lpdi, DIEDFL_ATTACHEDONLY);
    QuibReacquireInput();
}

int QuibInitJoystickInput(const DIDEVICEINSTANCEA* instance, void* context) {
    auto* input = static_cast<IDirectInput*>(context);
    if (!input || !instance) return DIENUM_CONTINUE;
    IDirectInputDevice* device = nullptr;
    if (FAILED(input->CreateDevice(instance->guidInstance, &device, nullptr)) || !device) {
        OutputDebugStringA("IDirectInput::CreateDevice FAILED\n");
        return DIENUM_CONTINUE;
    }
    // The engine keeps one reference, on the polling interface.
    IDirectInputDevice2* joystick = nullptr;
    const HRESULT hr = device->QueryInterface(IID_IDirectInputDevice2, reinterpret_cast<void**>(&joystick));
    device->Release();
    if (FAILED(hr) || !joystick) return DIENUM_CONTINUE;
    if (!ConfigureJoystick(joystick)) {
        joystick->Release();
        return DIENUM_CONTINUE;
    }
    // The last joystick that works is kept; the one it replaces is given up.
    ReleaseDevice(g_lpJoystickDevice);
    g_lpJoystickDevice = joystick;
    return DIENUM_CONTINUE;
}

int QuibReacquireInput() {
    if (!g_lpJoystickDevice) return 0;
    return SUCCEEDED(g_lpJoystickDevice->Acquire()) ? 1 : 0;
}

unsigned long QuibReadJoystickInput(DIJOYSTATE* state) {
    if (!g_lpJoystickDevice || !state) return 0;
    g_lpJoystickDevice->Poll();
    const HRESULT hr = g_lpJoystickDevice->GetDeviceState(sizeof *state, state);
    if (SUCCEEDED(hr)) return 1;
    if (hr == DIERR_INPUTLOST) QuibReacquireInput();
    return 0;
}
