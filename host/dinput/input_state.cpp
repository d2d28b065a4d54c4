#include "host/dinput/input_state.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "host/backend/machine.h"
#include "host/dinput/input_hooks.h"
#include "host/win/window.h"

namespace {

struct StickPosition {
    double x = 0.0;
    double y = 0.0;
};

// The foreground query tests install; nullptr means the window layer's GetForegroundWindow.
std::atomic<HostForegroundQuery> g_foregroundQuery{nullptr};

// The machine's input state, guarded by InputMutex().
BYTE g_keys[256];
BYTE g_buttons[4];
StickPosition g_sticks[kMaxJoysticks];

// The live devices. Never destroyed, so that a device released during program exit still finds it.
std::vector<DeviceState*>& Devices() {
    static std::vector<DeviceState*>* devices = new std::vector<DeviceState*>();
    return *devices;
}

// Key index of a set-1 make code: extended keys sit in the upper half. -1 for codes outside 1..0x7F.
int KeyIndex(int scanCode, bool extended) {
    if (scanCode <= 0 || scanCode > 0x7F) return -1;
    return extended ? (0x80 | scanCode) : scanCode;
}

void OnKey(int scanCode, bool extended, bool down) {
    int index = KeyIndex(scanCode, extended);
    if (index < 0) return;
    std::lock_guard<std::mutex> lock(InputMutex());
    g_keys[index] = down ? 0x80 : 0x00;
}

void OnMouseMotion(int dx, int dy) {
    std::lock_guard<std::mutex> lock(InputMutex());
    for (DeviceState* device : Devices()) {
        if (device->kind != InputKind::Mouse) continue;
        device->motionX += dx;
        device->motionY += dy;
    }
}

void OnMouseButton(int button, bool down) {
    if (button < 0 || button >= 4) return;
    std::lock_guard<std::mutex> lock(InputMutex());
    g_buttons[button] = down ? 0x80 : 0x00;
    if (!down) return;
    for (DeviceState* device : Devices())
        if (device->kind == InputKind::Mouse && device->acquired) device->pressedSinceRead[button] = true;
}

const HostInputObserver g_observer = {OnKey, OnMouseMotion, OnMouseButton};

// A stick position within -1..+1; a position that is not a number counts as centred.
double ClampUnit(double v) {
    if (std::isnan(v)) return 0.0;
    return std::clamp(v, -1.0, 1.0);
}

} // namespace

std::mutex& InputMutex() {
    static std::mutex mutex;
    return mutex;
}

void RegisterDevice(DeviceState* device) {
    std::lock_guard<std::mutex> lock(InputMutex());
    Devices().push_back(device);
}

void UnregisterDevice(DeviceState* device) {
    std::lock_guard<std::mutex> lock(InputMutex());
    std::vector<DeviceState*>& devices = Devices();
    devices.erase(std::remove(devices.begin(), devices.end(), device), devices.end());
}

void InstallInputObserver() {
    HostSetInputObserver(&g_observer);
}

HWND QueryForegroundWindow() {
    HostForegroundQuery query = g_foregroundQuery.load();
    return query ? query() : GetForegroundWindow();
}

void CopyKeyTableLocked(BYTE out[256]) {
    std::memcpy(out, g_keys, sizeof g_keys);
}

void CopyMouseButtonsLocked(BYTE out[4]) {
    std::memcpy(out, g_buttons, sizeof g_buttons);
}

bool ExclusiveTakenLocked(const DeviceState& asking) {
    for (const DeviceState* device : Devices()) {
        if (device == &asking || device->kind != asking.kind || !device->acquired) continue;
        if (asking.kind == InputKind::Joystick && device->joystick != asking.joystick) continue;
        if (device->level & DISCL_EXCLUSIVE) return true;
    }
    return false;
}

void JoystickPositionLocked(int index, double& x, double& y) {
    x = y = 0.0;
    if (index < 0 || index >= kMaxJoysticks) return;
    x = g_sticks[index].x;
    y = g_sticks[index].y;
}

int AttachedJoysticks() {
    return std::clamp(HostGetMachine().joysticks, 0, kMaxJoysticks);
}

GUID JoystickInstanceGuid(int index) {
    GUID guid = {0x51B0D200, 0x00D1, 0x0004, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};
    guid.Data4[7] = static_cast<BYTE>(index);
    return guid;
}

int JoystickIndexOf(REFGUID guid) {
    int attached = AttachedJoysticks();
    for (int i = 0; i < attached; ++i)
        if (IsEqualGUID(guid, JoystickInstanceGuid(i))) return i;
    return -1;
}

const HostInputObserver* HostDirectInputObserver() {
    return &g_observer;
}

void HostSetForegroundQuery(HostForegroundQuery query) {
    g_foregroundQuery.store(query);
}

void HostSetJoystickPosition(int index, double x, double y) {
    if (index < 0 || index >= kMaxJoysticks) return;
    std::lock_guard<std::mutex> lock(InputMutex());
    g_sticks[index].x = ClampUnit(x);
    g_sticks[index].y = ClampUnit(y);
}

void HostResetInputState() {
    std::lock_guard<std::mutex> lock(InputMutex());
    std::memset(g_keys, 0, sizeof g_keys);
    std::memset(g_buttons, 0, sizeof g_buttons);
    for (StickPosition& stick : g_sticks)
        stick = StickPosition{};
}
