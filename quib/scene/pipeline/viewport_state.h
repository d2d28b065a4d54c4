// quib/scene/pipeline: the immediate-mode pipeline (viewport and transform state, clipping, lighting, fog,
// drawing, primitives and lines). May include quib/scene/mesh and the floors below it.
//
// The viewport of the immediate-mode pipeline: the Direct3D viewport drawing goes through, the rectangle
// in pixels, and the values the projection and clipping derive from it (centre, scale and edge slopes).
// The Video API sets it whenever the viewport changes; the transform stage reads it.
#pragma once

#include "host/d3d/d3d.h"
#include "quib/scene/pipeline/pipeline_matrix.h"

struct ImViewportState {
    int x;
    int y;
    int width;
    int height;
    float inverseArea; // 1 / (width x height), 0 for an empty rectangle
    float left;        // x
    float top;         // y
    float right;       // x + width
    float bottom;      // y + height
    float centreX;
    float centreY;
    float scale; // pixels per unit of x/z: width x g_ProjectionFactor x 5
    // Each (edge - centre) x (-1 / scale): bottom -ky, top +ky, left (from the right edge) -kx, right (from
    // the left edge) +kx, where kx = (width / 2) / scale and ky = (height / 2) / scale.
    float bottomSlope;
    float topSlope;
    float leftSlope;
    float rightSlope;
};

extern ImViewportState ViewportState;
// The Direct3D viewport handed to set_viewport_clip; may be NULL.
extern IDirect3DViewport2* g_ImViewport;
// Projection factor: 0.1 by default (the view then spans x/z from -1 to +1 across the width).
extern float g_ProjectionFactor;

// Stores viewport and the rectangle, then sets the Direct3D viewport and recomputes the derived values.
void set_viewport_clip(int x, int y, int width, int height, IDirect3DViewport2* viewport);
// Gives the rectangle to g_ImViewport with the clip volume x 0..1, y 0..height/width, z 0..1; nothing when
// there is no viewport.
void set_viewport_values();
// Recomputes edges, centre, scale and slopes from the rectangle and g_ProjectionFactor.
void update_viewport_scale();

// ---- The view of the current frame, shared by everything the pipeline draws ----

struct ViewPlane {
    float nx, ny, nz, d; // a point p is inside when n.p + d >= 0
};

enum : int { kFrustumNear, kFrustumBottom, kFrustumTop, kFrustumLeft, kFrustumRight, kFrustumPlaneCount };

constexpr float kNearPlane = 0.125f;
// Screen depth is 1 - kDepthConstant / z: slightly below the near distance so the near plane stays above 0.
constexpr float kDepthConstant = 0.1240234375f;
constexpr float kGroundFarClip = 8192.0f;
constexpr float kMinimumProjectionFactor = 0.025f;
constexpr float kGroundDepth = 0.999f;

extern PipelineMatrix g_CameraMatrix; // camera to world
extern PipelineMatrix g_ViewMatrix;   // world to camera
extern float g_CameraPosition[3];
extern ViewPlane g_FrustumPlanes[kFrustumPlaneCount];
extern IDirect3DDevice2* g_ImDevice;

// Forgets the device the pipeline drew on and the switch states remembered for it (primitives' blending
// and texturing, the lit mode), so that a device made by a later start-up is set up afresh.
void forget_pipeline_device();

// g_ProjectionFactor = 0.01 / field, at least kMinimumProjectionFactor, then the derived viewport values.
// Callers validate field (the Retained Mode viewport refuses field <= 0 first).
void set_projection(float field);
// The per-frame view: binds device, sets the viewport, composes the camera-to-world matrix from parent
// and camera (4x4 row-major; camera applied first), derives the world-space view volume, the view matrix
// and the camera position, and sets the frame's render states (unlit mode, colour key, fog, Z).
void setup_view(const float parent[16], const float camera[16], IDirect3DDevice2* device);
// World point to screen x, y, depth and 1/camera z. No depth test: points behind the camera give a
// negative out[3].
void project_point(const float in[3], float out[4]);
// g_CameraMatrix applied to (sx - centre x, sy - centre y, 1000), unscaled.
void unproject_at_depth(float sx, float sy, float out[3]);
