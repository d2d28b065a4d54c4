// How a viewport sees the scene for one render or pick: the camera's inverse, the front and back
// planes, and the projection onto the viewport's rectangle.
#pragma once

#include "host/d3d/d3dtypes.h"
#include "host/rm/matrix.h"

struct HostRMView {
    HostMatrix4 worldToCamera;
    double front = 1.0;
    double back = 100.0;
    double scale = 1.0; // pixels per unit of x/z
    double centreX = 0.0;
    double centreY = 0.0;
    // The rectangle, in pixels, and its half-extents in units of x/z: a camera-space point lies inside
    // the side planes when |x| <= z halfWidth and |y| <= z halfHeight.
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
    double halfWidth = 0.0;
    double halfHeight = 0.0;

    // The view of a rectangle (x, y, width, height) through a camera whose world transform is camera,
    // with the given planes and field (half the view's width at the front plane). false when the camera
    // cannot be inverted.
    static bool Make(const HostMatrix4& camera, long x, long y, unsigned long width, unsigned long height,
                     float front, float back, float field, HostRMView* out);

    // The screen vertex of a camera-space point with z > 0: sx = cx + x/z scale, sy = cy - y/z scale
    // (kept inside the rectangle, which clipping has already reached up to rounding), sz = (z - front)
    // back / ((back - front) z), rhw = 1/z. Colours and texture coordinates are left to the caller.
    D3DTLVERTEX Project(double x, double y, double z) const;
};
