// The scene-wide fog settings the drawing paths read each frame.
#pragma once

#include "host/d3d/d3d.h"

extern int g_FogEnabled;
extern DWORD g_FogColour; // 0x00RRGGBB
extern float g_FogStart;
extern float g_FogEnd;
extern float g_FogDensity;
