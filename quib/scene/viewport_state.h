// The viewport of the immediate-mode pipeline: the Direct3D viewport drawing goes through, the rectangle
// in pixels, and the values the projection and clipping derive from it (centre, scale and edge slopes).
// The Video API sets it whenever the viewport changes; the transform stage reads it.
#pragma once

#include "host/d3d/d3d.h"

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
