#include "host/dinput/device.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool IsForegroundLevel(DWORD level) {
    return (level & DISCL_FOREGROUND) != 0;
}

// The predefined format that suits a kind of device.
const DIDATAFORMAT& FormatFor(InputKind kind) {
    switch (kind) {
    case InputKind::Keyboard: return c_dfDIKeyboard;
    case InputKind::Mouse: return c_dfDIMouse;
    case InputKind::Joystick: break;
    }
    return c_dfDIJoystick;
}

// Formats are compared by value, so that a program's copy of a predefined format is accepted too.
bool SameFormat(const DIDATAFORMAT& a, const DIDATAFORMAT& b) {
    return a.dwSize == b.dwSize && a.dwFlags == b.dwFlags && a.dwDataSize == b.dwDataSize;
}

LONG ClampToLong(int64_t value) {
    constexpr int64_t lo = std::numeric_limits<LONG>::min();
    constexpr int64_t hi = std::numeric_limits<LONG>::max();
    return static_cast<LONG>(value < lo ? lo : (value > hi ? hi : value));
}

// A stick position (-1..+1) within an axis range; -1 gives the minimum, +1 the maximum.
LONG AxisValue(double position, LONG minimum, LONG maximum) {
    double span = static_cast<double>(maximum) - static_cast<double>(minimum);
    return static_cast<LONG>(std::llround(minimum + (position + 1.0) / 2.0 * span));
}

// Index of the axis that a DIJOYSTATE offset names: 0 for X, 1 for Y, -1 for any other.
int AxisAtOffset(DWORD offset) {
    if (offset == DIJOFS_X) return 0;
    if (offset == DIJOFS_Y) return 1;
    return -1;
}

bool ValidLevel(HWND window, DWORD flags) {
    const DWORD known = DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND;
    if (flags & ~known) return false;
    if (!(flags & DISCL_EXCLUSIVE) == !(flags & DISCL_NONEXCLUSIVE)) return false;
    if (!(flags & DISCL_FOREGROUND) == !(flags & DISCL_BACKGROUND)) return false;
    return window != nullptr || !(flags & DISCL_FOREGROUND);
}

class InputDevice final : public IDirectInputDevice2A, public RefCount {
  public:
    InputDevice(IDirectInputA* parent, InputKind kind, int joystick)
        : parent_(parent), state_(kind, joystick) {
        parent_->AddRef();
        RegisterDevice(&state_);
    }
    ~InputDevice() override {
        UnregisterDevice(&state_);
        parent_->Release();
    }

    HOST_REFCOUNTED

    HRESULT QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirectInputDevice) ||
            IsEqualGUID(riid, IID_IDirectInputDevice2)) {
            AddRef();
            *out = static_cast<IDirectInputDevice2A*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT SetDataFormat(LPCDIDATAFORMAT format) override {
        if (!format) return DIERR_INVALIDPARAM;
        const DIDATAFORMAT& own = FormatFor(state_.kind);
        if (!SameFormat(*format, own)) return DIERR_INVALIDPARAM;
        std::lock_guard<std::mutex> lock(InputMutex());
        if (state_.acquired) return DIERR_ACQUIRED;
        state_.format = &own;
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
        if (!ValidLevel(window, flags)) return DIERR_INVALIDPARAM;
        // An exclusive keyboard in the background would take every key from every program.
        bool exclusiveBackground = (flags & DISCL_EXCLUSIVE) && (flags & DISCL_BACKGROUND);
        if (state_.kind == InputKind::Keyboard && exclusiveBackground) return DIERR_UNSUPPORTED;
        std::lock_guard<std::mutex> lock(InputMutex());
        if (state_.acquired) return DIERR_ACQUIRED;
        state_.window = window;
        state_.level = flags;
        return DI_OK;
    }

    HRESULT Acquire() override {
        HWND foreground = QueryForegroundWindow();
        std::lock_guard<std::mutex> lock(InputMutex());
        if (!state_.format) return DIERR_INVALIDPARAM;
        if (IsForegroundLevel(state_.level) && state_.window != foreground) {
            DropLocked();
            return DIERR_OTHERAPPHASPRIO;
        }
        if (state_.acquired) return S_FALSE;
        if ((state_.level & DISCL_EXCLUSIVE) && ExclusiveTakenLocked(state_)) return DIERR_OTHERAPPHASPRIO;
        state_.acquired = true;
        // Motion made meanwhile is kept (the software cursor stays where the pointer is); presses are not.
        for (bool& pressed : state_.pressedSinceRead)
            pressed = false;
        return DI_OK;
    }

    HRESULT Unacquire() override {
        std::lock_guard<std::mutex> lock(InputMutex());
        if (!state_.acquired) return DI_NOEFFECT;
        DropLocked();
        return DI_OK;
    }

    HRESULT GetDeviceState(DWORD size, LPVOID data) override {
        if (!data) return DIERR_INVALIDPARAM;
        HWND foreground = QueryForegroundWindow();
        std::lock_guard<std::mutex> lock(InputMutex());
        if (LostForegroundLocked(foreground)) return DIERR_INPUTLOST;
        if (!state_.acquired) return DIERR_NOTACQUIRED;
        if (size != state_.format->dwDataSize) return DIERR_INVALIDPARAM;
        FillLocked(data);
        return DI_OK;
    }

    HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) override {
        if (!header) return DIERR_INVALIDPARAM;
        if (!IsEqualGUID(property, DIPROP_RANGE)) return DIERR_UNSUPPORTED;
        if (header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwSize != sizeof(DIPROPRANGE))
            return DIERR_INVALIDPARAM;
        if (state_.kind != InputKind::Joystick) return DIERR_UNSUPPORTED;
        if (header->dwHow != DIPH_BYOFFSET) return DIERR_INVALIDPARAM;
        const DIPROPRANGE* range = reinterpret_cast<const DIPROPRANGE*>(header);
        if (range->lMin >= range->lMax) return DIERR_INVALIDPARAM;
        int axis = AxisAtOffset(header->dwObj);
        std::lock_guard<std::mutex> lock(InputMutex());
        if (state_.acquired) return DIERR_ACQUIRED;
        if (!state_.format || axis < 0) return DIERR_OBJECTNOTFOUND; // offsets name objects of the format
        state_.axisMin[axis] = range->lMin;
        state_.axisMax[axis] = range->lMax;
        return DI_OK;
    }

    HRESULT Poll() override {
        HWND foreground = QueryForegroundWindow();
        std::lock_guard<std::mutex> lock(InputMutex());
        if (LostForegroundLocked(foreground)) return DIERR_INPUTLOST;
        if (!state_.acquired) return DIERR_NOTACQUIRED;
        return state_.kind == InputKind::Joystick ? DI_OK : DI_NOEFFECT;
    }

  private:
    // Gives up the acquisition. Motion goes on being collected, so that a cursor drawn from the relative
    // counts is back in step with the pointer once the device is acquired again.
    void DropLocked() { state_.acquired = false; }

    // A foreground device loses its acquisition once its window is no longer the foreground window;
    // true at that moment, so the read that notices it answers DIERR_INPUTLOST.
    bool LostForegroundLocked(HWND foreground) {
        if (!state_.acquired || !IsForegroundLevel(state_.level) || state_.window == foreground) return false;
        DropLocked();
        return true;
    }

    void FillLocked(void* data) {
        switch (state_.kind) {
        case InputKind::Keyboard: CopyKeyTableLocked(static_cast<BYTE*>(data)); return;
        case InputKind::Mouse: FillMouseLocked(data); return;
        case InputKind::Joystick: FillJoystickLocked(data); return;
        }
    }

    // Hands out the motion collected since the last read and keeps what did not fit in a LONG.
    void FillMouseLocked(void* data) {
        DIMOUSESTATE mouse{};
        mouse.lX = ClampToLong(state_.motionX);
        mouse.lY = ClampToLong(state_.motionY);
        state_.motionX -= mouse.lX;
        state_.motionY -= mouse.lY;
        CopyMouseButtonsLocked(mouse.rgbButtons);
        for (int i = 0; i < 4; ++i) {
            if (state_.pressedSinceRead[i]) mouse.rgbButtons[i] = 0x80;
            state_.pressedSinceRead[i] = false;
        }
        std::memcpy(data, &mouse, sizeof mouse);
    }

    void FillJoystickLocked(void* data) {
        DIJOYSTATE stick{};
        double x = 0.0, y = 0.0;
        JoystickPositionLocked(state_.joystick, x, y);
        stick.lX = AxisValue(x, state_.axisMin[0], state_.axisMax[0]);
        stick.lY = AxisValue(y, state_.axisMin[1], state_.axisMax[1]);
        for (DWORD& pov : stick.rgdwPOV)
            pov = 0xFFFFFFFFu;
        std::memcpy(data, &stick, sizeof stick);
    }

    IDirectInputA* parent_;
    DeviceState state_;
};

} // namespace

IDirectInputDevice2A* NewInputDevice(IDirectInputA* parent, InputKind kind, int joystick) {
    return new InputDevice(parent, kind, joystick);
}
