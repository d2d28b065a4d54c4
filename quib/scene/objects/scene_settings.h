// The scene-wide switches of the flat 3D interface that the render paths read: sky, the background blit
// that replaces the clear, mirrors, skid marks and the two horizon colours.
#pragma once

#include "host/d3d/d3dtypes.h"
#include "host/ddraw/ddraw.h"

extern int g_ShowSky;                           // 1 at start: the horizon line is projected
extern int g_BackgroundBlit;                    // 0 at start: clear instead of blitting
extern IDirectDrawSurface* g_BackgroundSurface; // the blit's source; not owned
extern RECT g_BackgroundRect;                   // the blit's rectangle, source and back buffer alike
extern int g_DrawingMirrors;                    // 0 at start
extern int g_SkidsEnabled;                      // 0 at start
extern D3DCOLOR g_HorizonColour1;               // 0 until QuibSetHorizonColor
extern D3DCOLOR g_HorizonColour2;
