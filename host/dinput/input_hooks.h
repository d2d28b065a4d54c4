// What feeds the input devices, and the switches tests use to drive them without a window or a stick.
// The devices keep one state for the machine: the key table and mouse buttons follow the observer that
// the first created device installs (host/win/input_events.h); each acquired mouse device collects the
// motion the observer reports until it is read.
#pragma once

#include "host/base/types.h"
#include "host/win/input_events.h"

// The observer the input devices install with HostSetInputObserver when a device is created. Its
// functions may be called from the message thread while devices are read on others. onKey takes set-1
// scan codes 0x01..0x7F (extended: the key lands at 0x80 | code); onMouseButton takes buttons 0..3.
const HostInputObserver* HostDirectInputObserver();

typedef HWND (*HostForegroundQuery)();
// Replaces the query the devices use to learn the foreground window (GetForegroundWindow of the window
// layer by default; nullptr restores it). The query must be callable from any thread.
void HostSetForegroundQuery(HostForegroundQuery query);

// Sets the stick position of joystick index (0-based) on X and Y, each from -1 (left, up) to +1 (right,
// down); 0 is centred, as every stick starts. Values outside are clamped. Indexes beyond the host's
// joystick limit are ignored.
void HostSetJoystickPosition(int index, double x, double y);

// Releases every key and button and centres every stick (a fresh machine, for tests).
void HostResetInputState();
