// The machine's input state shared by every input device: the key table, the mouse buttons, the stick
// positions and the list of live devices (so that mouse motion reaches each acquired mouse device).
// One mutex guards all of it and every device's acquisition state, because the message thread feeds it
// while the timer thread reads the mouse.
#pragma once

#include <cstdint>
#include <mutex>

#include "host/dinput/dinput.h"

enum class InputKind { Keyboard, Mouse, Joystick };

// Joysticks the host can offer; the machine's joystick count is clamped to it.
constexpr int kMaxJoysticks = 16;

// Range of a joystick axis until SetProperty(DIPROP_RANGE) changes it.
constexpr LONG kDefaultAxisMin = 0;
constexpr LONG kDefaultAxisMax = 65535;

// One device's acquisition state. kind and joystick are fixed at creation; the rest is guarded by
// InputMutex().
struct DeviceState {
    DeviceState(InputKind k, int stick) : kind(k), joystick(stick) {}

    const InputKind kind;
    const int joystick; // index of the joystick, -1 for keyboard and mouse
    const DIDATAFORMAT* format = nullptr;
    HWND window = nullptr;
    DWORD level = DISCL_BACKGROUND | DISCL_NONEXCLUSIVE;
    bool acquired = false;
    int64_t motionX = 0; // mouse motion collected since the last read while acquired
    int64_t motionY = 0;
    // Buttons pressed since the last read: a click shorter than the reading interval still shows once.
    bool pressedSinceRead[4] = {false, false, false, false};
    LONG axisMin[2] = {kDefaultAxisMin, kDefaultAxisMin}; // joystick X, Y
    LONG axisMax[2] = {kDefaultAxisMax, kDefaultAxisMax};
};

// Guards everything in this header. Never held while calling out of host/dinput.
std::mutex& InputMutex();

// Adds a device to (or removes it from) the live list; each takes the lock.
void RegisterDevice(DeviceState* device);
void UnregisterDevice(DeviceState* device);

// Installs the devices' observer (message thread).
void InstallInputObserver();

// The current foreground window through the installed query. Call without the lock held: the window
// layer may take its own locks.
HWND QueryForegroundWindow();

// With InputMutex() held: the key table, the four mouse button bytes, whether another device of the same
// kind is acquired exclusively, and a stick position (-1..+1 on each axis).
void CopyKeyTableLocked(BYTE out[256]);
void CopyMouseButtonsLocked(BYTE out[4]);
bool ExclusiveTakenLocked(const DeviceState& asking);
void JoystickPositionLocked(int index, double& x, double& y);

// Joysticks attached now (the machine's count, clamped to kMaxJoysticks), the identifier of each, and
// the index an identifier names (-1 when it names none attached).
int AttachedJoysticks();
GUID JoystickInstanceGuid(int index);
int JoystickIndexOf(REFGUID guid);
