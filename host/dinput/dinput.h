// Polled input devices: the system keyboard, the system mouse and attached joysticks, read in
// immediate mode. A program creates the input object, creates a device by its identifier, gives it a
// data format and a cooperative level, acquires it and reads its state whenever it wants.
//
// - Keyboard: 256 bytes indexed by key code (host/dinput/dikeys.h); 0x80 while the key is down.
// - Mouse: DIMOUSESTATE, the relative motion since the previous read (each read consumes it) and four
//   button bytes (0x80 while down: left, right, middle, fourth). The wheel is not reported (lZ is 0).
// - Joystick: DIJOYSTATE; the X and Y axes report the stick's position within the range that
//   SetProperty(DIPROP_RANGE) sets (0..65535 until then).
//
// Acquisition follows the window: a device with DISCL_FOREGROUND can be acquired only while its window
// is the foreground window; when the window loses that, the next read answers DIERR_INPUTLOST and the
// device is no longer acquired (later reads answer DIERR_NOTACQUIRED until it is acquired again).
// Acquire and the reads may be called from any thread.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"
#include "host/base/guid.h"
#include "host/base/results.h"
#include "host/base/unknown.h"
#include "host/dinput/dikeys.h"

// The interface version this host implements; DirectInputCreateA accepts it and older ones.
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0500
#endif

// Interface and device identifiers.
HOST_DECLARE_GUID(IID_IDirectInput);
HOST_DECLARE_GUID(IID_IDirectInputDevice);
HOST_DECLARE_GUID(IID_IDirectInputDevice2);
HOST_DECLARE_GUID(GUID_SysKeyboard);
HOST_DECLARE_GUID(GUID_SysMouse);
// Property identifiers for SetProperty.
HOST_DECLARE_GUID(DIPROP_RANGE);

// Data formats. The host knows the three predefined formats below, by address.
struct DIDATAFORMAT {
    DWORD dwSize;     // sizeof(DIDATAFORMAT)
    DWORD dwFlags;    // DIDF_ABSAXIS or DIDF_RELAXIS
    DWORD dwDataSize; // bytes GetDeviceState fills
};
typedef const DIDATAFORMAT* LPCDIDATAFORMAT;

#define DIDF_ABSAXIS 0x00000001
#define DIDF_RELAXIS 0x00000002

HOST_API extern const DIDATAFORMAT c_dfDIKeyboard; // 256 bytes
HOST_API extern const DIDATAFORMAT c_dfDIMouse;    // DIMOUSESTATE
HOST_API extern const DIDATAFORMAT c_dfDIJoystick; // DIJOYSTATE

struct DIMOUSESTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[4];
};
typedef DIMOUSESTATE* LPDIMOUSESTATE;

struct DIJOYSTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    LONG lRx;
    LONG lRy;
    LONG lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4]; // hundredths of a degree; 0xFFFFFFFF when centred
    BYTE rgbButtons[32];
};
typedef DIJOYSTATE* LPDIJOYSTATE;

// Byte offsets of the joystick axes in DIJOYSTATE, naming objects for SetProperty (DIPH_BYOFFSET).
#define DIJOFS_X 0
#define DIJOFS_Y 4

// Property blocks for SetProperty: a header followed by the property's values.
struct DIPROPHEADER {
    DWORD dwSize;       // size of the whole block
    DWORD dwHeaderSize; // sizeof(DIPROPHEADER)
    DWORD dwObj;        // the object, as dwHow says
    DWORD dwHow;        // DIPH_BYOFFSET: dwObj is an offset in the data format
};
typedef const DIPROPHEADER* LPCDIPROPHEADER;

#define DIPH_BYOFFSET 1

struct DIPROPRANGE {
    DIPROPHEADER diph;
    LONG lMin;
    LONG lMax;
};

// Cooperative levels: exactly one of FOREGROUND/BACKGROUND and one of EXCLUSIVE/NONEXCLUSIVE.
#define DISCL_EXCLUSIVE    0x00000001
#define DISCL_NONEXCLUSIVE 0x00000002
#define DISCL_FOREGROUND   0x00000004
#define DISCL_BACKGROUND   0x00000008

// Device enumeration.
#define DIDEVTYPE_JOYSTICK  4
#define DIEDFL_ALLDEVICES   0x00000000
#define DIEDFL_ATTACHEDONLY 0x00000001
#define DIENUM_STOP         0
#define DIENUM_CONTINUE     1

struct DIDEVICEINSTANCEA {
    DWORD dwSize;
    GUID guidInstance; // pass to CreateDevice
    GUID guidProduct;
    DWORD dwDevType; // DIDEVTYPE_*
    CHAR tszInstanceName[MAX_PATH];
    CHAR tszProductName[MAX_PATH];
};
typedef DIDEVICEINSTANCEA DIDEVICEINSTANCE;
typedef const DIDEVICEINSTANCEA* LPCDIDEVICEINSTANCEA;
typedef const DIDEVICEINSTANCEA* LPCDIDEVICEINSTANCE;

// Called once per device; returns DIENUM_CONTINUE to go on or DIENUM_STOP.
typedef BOOL (*LPDIENUMDEVICESCALLBACKA)(LPCDIDEVICEINSTANCEA instance, LPVOID context);
typedef LPDIENUMDEVICESCALLBACKA LPDIENUMDEVICESCALLBACK;

class IDirectInputDeviceA : public IUnknown {
  public:
    // Chooses what GetDeviceState reports: c_dfDIKeyboard, c_dfDIMouse or c_dfDIJoystick, matching the
    // device. DIERR_ACQUIRED while acquired; DIERR_INVALIDPARAM for a format of another kind of device.
    virtual HRESULT SetDataFormat(LPCDIDATAFORMAT format) = 0;
    // Sets the window and the DISCL_* level (background non-exclusive until set). DIERR_INVALIDPARAM for
    // a bad combination or a foreground level without a window; DIERR_ACQUIRED while acquired.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    // DI_OK, or S_FALSE when already acquired. DIERR_INVALIDPARAM without a data format;
    // DIERR_OTHERAPPHASPRIO when a foreground device's window is not the foreground window, or when
    // another device of the same kind holds it exclusively.
    virtual HRESULT Acquire() = 0;
    // DI_OK, or DI_NOEFFECT when not acquired.
    virtual HRESULT Unacquire() = 0;
    // Fills size bytes (the data format's size) with the current state. DIERR_INPUTLOST once when the
    // window lost the foreground since the device was acquired, then DIERR_NOTACQUIRED;
    // DIERR_INVALIDPARAM for a wrong size or NULL data. data is not written on failure.
    virtual HRESULT GetDeviceState(DWORD size, LPVOID data) = 0;
    // DIPROP_RANGE on a joystick's X or Y axis (DIPH_BYOFFSET, DIJOFS_X/Y) with lMin < lMax.
    // DIERR_ACQUIRED while acquired; DIERR_OBJECTNOTFOUND for another object; DIERR_UNSUPPORTED for
    // another property or device.
    virtual HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) = 0;
};

class IDirectInputDevice2A : public IDirectInputDeviceA {
  public:
    // Updates a polled device (the joystick): DI_OK; DI_NOEFFECT on a device that needs no polling;
    // DIERR_NOTACQUIRED / DIERR_INPUTLOST as GetDeviceState.
    virtual HRESULT Poll() = 0;
};

typedef IDirectInputDeviceA IDirectInputDevice;
typedef IDirectInputDevice2A IDirectInputDevice2;
typedef IDirectInputDeviceA* LPDIRECTINPUTDEVICEA;
typedef IDirectInputDeviceA* LPDIRECTINPUTDEVICE;
typedef IDirectInputDevice2A* LPDIRECTINPUTDEVICE2A;
typedef IDirectInputDevice2A* LPDIRECTINPUTDEVICE2;

class IDirectInputA : public IUnknown {
  public:
    // Creates the device named by GUID_SysKeyboard, GUID_SysMouse or an enumerated joystick's
    // guidInstance. DIERR_DEVICENOTREG for any other identifier; DIERR_INVALIDPARAM for a NULL out.
    // outer must be NULL.
    virtual HRESULT CreateDevice(REFGUID device, LPDIRECTINPUTDEVICEA* out, LPUNKNOWN outer) = 0;
    // Calls callback for each attached device of the type (DIDEVTYPE_JOYSTICK) until it returns
    // DIENUM_STOP. DIERR_INVALIDPARAM for another type or a NULL callback.
    virtual HRESULT EnumDevices(DWORD deviceType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context,
                                DWORD flags) = 0;
};
typedef IDirectInputA IDirectInput;
typedef IDirectInputA* LPDIRECTINPUTA;
typedef IDirectInputA* LPDIRECTINPUT;

// Creates the input object for a program instance. version: the interface version the program was
// written for (DIRECTINPUT_VERSION or older). DIERR_INVALIDPARAM for NULL out or version 0 or newer
// than this host's; outer must be NULL.
HOST_API HRESULT DirectInputCreateA(HINSTANCE instance, DWORD version, LPDIRECTINPUTA* out, LPUNKNOWN outer);
#define DirectInputCreate DirectInputCreateA
