// Host-only readings of retained-mode state that the interfaces do not give back exactly, for tests.
#pragma once

#include "host/rm/d3drm.h"

// The scene background of frame as stored (floats 0..1); false when frame is not a host frame.
bool HostRMSceneBackgroundRGB(IDirect3DRMFrame* frame, float* red, float* green, float* blue);
// The default texture colours and shades of a Retained Mode object (either interface); false when rm is
// not a host object.
bool HostRMDefaultTextureSettings(IUnknown* rm, DWORD* colours, DWORD* shades);
