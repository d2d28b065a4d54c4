// The 3D layer's process-wide objects that every video start-up creates and every shutdown destroys,
// even in a program that never draws in 3D: the Retained Mode scene with its players frame, the default
// and the current camera, and the two mirror surfaces (the render statistics are the platform's,
// quib/platform/render_stats.h).
#pragma once

#include "host/ddraw/ddraw.h"
#include "host/rm/d3drm.h"
#include "quib/platform/render_stats.h"

class Frame;

// The scene's root frame and its child for player objects; NULL before InitScene.
extern IDirect3DRMFrame2* g_lpScene;
extern IDirect3DRMFrame2* g_lpPlayers;
// The camera InitScene makes under the scene root; deleted by ReleaseAllDirectX.
extern Frame* g_pDefaultCamera;
// The camera the scene is seen through (the default one after InitScene).
extern Frame* g_lpCamera;

// Made by the mirror functions; NULL until then.
extern IDirectDrawSurface* g_lpMirrorSurface;
extern IDirectDrawSurface* g_lpMirrorSurfaceFlipped;

// Builds the scene: root frame, default (and current) camera under it, players frame, background colour.
// An earlier scene is replaced. Returns 1 and does nothing without Retained Mode; 0 with the Retained Mode
// error registered when a frame cannot be made. The default camera is then deleted by ReleaseAllDirectX,
// once the surfaces are gone. (FreeScene, which also deletes the horizon, is in
// quib/scene/objects/scene_render.h.)
int InitScene();
// The default camera's Retained Mode frame, the one the start-up's viewport looks through; NULL without
// a default camera.
IDirect3DRMFrame2* DefaultCameraFrame();
// Releases the root and players frames (logged) and logs the camera's place; the cameras stay.
void ReleaseSceneFrames();
// Deletes the default camera (its frames logged) and clears it; the current camera is cleared too when it
// was the default one.
void DeleteDefaultCamera();
// Releases the two mirror surfaces (logged as "Mirror Surface g_lpMirrorSurface" and "...
// g_lpMirrorFlipped").
void ReleaseMirrorSurfaces();
