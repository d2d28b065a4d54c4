// The 3D layer's process-wide objects that every video start-up creates and every shutdown destroys,
// even in a program that never draws in 3D: the Retained Mode scene with its players frame, the default
// and the current camera, the render statistics and the two mirror surfaces.
#pragma once

#include "host/ddraw/ddraw.h"
#include "host/rm/d3drm.h"

class Frame;

// The scene's root frame and its child for player objects; NULL before InitScene.
extern IDirect3DRMFrame2* g_lpScene;
extern IDirect3DRMFrame2* g_lpPlayers;
// The camera InitScene makes under the scene root; deleted by ReleaseAllDirectX.
extern Frame* g_pDefaultCamera;
// The camera the scene is seen through (the default one after InitScene).
extern Frame* g_lpCamera;

// What the render paths drew in the last frame; the statistics line prints them.
struct RenderStatistics {
    int objects;
    int vertices;
    int polygons;
    int textureBytes; // no path counts texture bytes: stays 0
};
extern RenderStatistics g_RenderStats;

// Made by the mirror functions; NULL until then.
extern IDirectDrawSurface* g_lpMirrorSurface;
extern IDirectDrawSurface* g_lpMirrorSurfaceFlipped;

// Builds the scene: root frame, default (and current) camera under it, players frame, background colour.
// An earlier scene is replaced. Returns 1 and does nothing without Retained Mode; 0 with the Retained Mode
// error registered when a frame cannot be made.
int InitScene();
// Deletes the horizon and releases the root and players frames (logged); the cameras stay.
void FreeScene();
// Deletes the default camera (its frames logged) and clears it; the current camera is cleared too when it
// was the default one.
void DeleteDefaultCamera();
// Releases the two mirror surfaces (logged as "Mirror Surface g_lpMirrorSurface" and "...
// g_lpMirrorFlipped").
void ReleaseMirrorSurfaces();
