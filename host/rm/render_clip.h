// Clipping of camera-space polygons to the view volume of a viewport.
#pragma once

#include <vector>

#include "host/rm/render_view.h"

// A polygon corner in camera space with its texture coordinates.
struct HostRMClipVertex {
    double x, y, z;
    double u, v;
};

// Replaces the convex polygon by its part inside the view volume: front <= z <= back, |x| <= z halfWidth,
// |y| <= z halfHeight. Fewer than 3 corners left means nothing of it is visible. scratch is working room
// (its contents are not kept).
void HostRMClipToView(const HostRMView& view, std::vector<HostRMClipVertex>* polygon,
                      std::vector<HostRMClipVertex>* scratch);
