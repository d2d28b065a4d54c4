// The 3D devices the host can offer, and what each one is: its id, names and descriptions. The machine
// (host/backend/machine.h) decides which of them exist.
#pragma once

#include "host/d3d/d3d.h"

enum class HostD3DDeviceKind {
    Hardware,     // the display card's device: RGB colour, texture filtering, 16-bit Z-buffer
    SoftwareMono, // software, mono colour model
    SoftwareRGB,  // software, RGB colour model
};

// The kind named by a device id; false for any other id.
bool HostD3DDeviceKindFromId(REFGUID id, HostD3DDeviceKind* kind);
// The device id of a kind (the same object on every call).
GUID* HostD3DDeviceId(HostD3DDeviceKind kind);
// Whether the machine in use offers the kind (hardware3D / software3D).
bool HostD3DMachineOffers(HostD3DDeviceKind kind);
// The kinds the machine offers, in listing order: the software devices, then the hardware one.
int HostD3DOfferedDevices(HostD3DDeviceKind kinds[3]);
// Fills both descriptions of kind (dwSize set; the side the device lacks has colour model 0).
void HostD3DDescribeDevice(HostD3DDeviceKind kind, D3DDEVICEDESC* hardware, D3DDEVICEDESC* software);
// The description and name the listing shows (process-lifetime buffers).
char* HostD3DDeviceDescription(HostD3DDeviceKind kind);
char* HostD3DDeviceName(HostD3DDeviceKind kind);
