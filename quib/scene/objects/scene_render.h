// The render paths' texture loader for Retained Mode models, the queue of objects to draw this frame, and
// the scene's shutdown.
#pragma once

#include "host/rm/d3drm.h"

// Longest texture file name the loader builds, with its terminator.
constexpr int kTextureNameSize = 256;

// Loads the texture name names, with everything from its first '.' replaced by ".ppm", through Retained
// Mode into *out; "gdk_fill.ppm" gets one shade. 0, or -1 when it cannot be loaded. arg is not used.
HRESULT TextureLoadCallback(char* name, void* arg, IDirect3DRMTexture** out);

class MeshObject;

// The objects queued for this frame by QuibRenderObject, in queue order: their count and object i
// (NULL outside 0..count-1).
int QueuedRenderObjectCount();
MeshObject* QueuedRenderObject(int i);

// Deletes the horizon the display-list path made, then releases the scene's root and players frames
// (logged, quib/scene/frames/scene3d_state.h); the cameras stay.
void FreeScene();
