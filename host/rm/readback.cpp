#include "host/rm/readback.h"

#include "host/rm/frame.h"
#include "host/rm/retained_mode.h"

bool HostRMSceneBackgroundRGB(IDirect3DRMFrame* frame, float* red, float* green, float* blue) {
    HostRMFrame* host = HostRMFrame::From(frame);
    if (!host) return false;
    float rgb[3];
    host->SceneBackgroundRGB(rgb);
    *red = rgb[0];
    *green = rgb[1];
    *blue = rgb[2];
    return true;
}

bool HostRMDefaultTextureSettings(IUnknown* rm, DWORD* colours, DWORD* shades) {
    HostRM* host = HostRM::From(rm);
    if (!host) return false;
    *colours = host->DefaultTextureColors();
    *shades = host->DefaultTextureShades();
    return true;
}
