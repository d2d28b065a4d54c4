// Picking: which visuals of a scene cover a point of a viewport, found with the faces as drawing would
// draw them.
#pragma once

#include <vector>

#include "host/rm/picked_array.h"
#include "host/rm/render_view.h"

// The visuals of the subtrees of frames that cover the screen point (x, y) of view, nearest first (by
// the camera-space depth of the nearest face hit), one entry per visual shown by each frame.
std::vector<HostRMPick> HostRMPickVisuals(const std::vector<HostRMFrame*>& frames, const HostRMView& view,
                                          double x, double y);
