// The keyboard, mouse and joystick device objects behind IDirectInputDevice2A.
#pragma once

#include "host/dinput/dinput.h"
#include "host/dinput/input_state.h"

// Creates a device of the given kind (joystick: the stick's index, else -1) with one reference. The
// device keeps a reference to parent for its whole life.
IDirectInputDevice2A* NewInputDevice(IDirectInputA* parent, InputKind kind, int joystick);
