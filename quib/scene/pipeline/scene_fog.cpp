#include "quib/scene/pipeline/scene_fog.h"

#include "quib/platform/directx.h"
#include "quib/quib.h"

int g_FogEnabled = 0;
DWORD g_FogColour = 0x808080;
float g_FogStart = 0.0f;
float g_FogEnd = 1000.0f;
float g_FogDensity = 0.02f;

int QuibFogOK() {
    if (!g_lpD3DDevice2) return 0;
    D3DDEVICEDESC hardware = {};
    D3DDEVICEDESC software = {};
    hardware.dwSize = sizeof hardware;
    software.dwSize = sizeof software;
    if (FAILED(g_lpD3DDevice2->GetCaps(&hardware, &software))) return 0;
    return (hardware.dpcTriCaps.dwRasterCaps & D3DPRASTERCAPS_FOGTABLE) ? 1 : 0;
}

void QuibFogEnable(int on) {
    g_FogEnabled = QuibFogOK() ? on : 0;
}

void QuibFogParams(unsigned long colour, float start, float end, float density) {
    g_FogColour = DWORD(colour);
    g_FogStart = start;
    g_FogEnd = end;
    g_FogDensity = density;
}
