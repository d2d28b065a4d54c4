// The engine's input devices (internal side; the exported functions and g_lpKBDevice are in
// quib/quib.h). Every device is opened non-exclusive and foreground on g_hWnd and polled. A device whose
// set-up fails is released at once, so the next start-up tries again. QuibGetMouseData runs on the
// framework's timer thread while the main thread may acquire and release the mouse: the mouse pointer and
// its acquired flag are atomic, and the devices themselves may be used from any thread. The mouse must
// not be freed while that thread still reads it (the programs stop their clock first).
#pragma once

#include <atomic>

#include "host/dinput/dinput.h"

// The input object, made on demand with the instance given to QuibSetInstance; NULL when that failed.
extern IDirectInput* g_lpdi;
extern std::atomic<IDirectInputDevice*> g_lpMouseDevice;
// 1 while the mouse is believed acquired (so QuibAcquireMouse(1) acquires once per activation).
extern std::atomic<int> g_MouseAcquired;
extern IDirectInputDevice2* g_lpJoystickDevice;
