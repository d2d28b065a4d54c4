#include "host/rm/render_view.h"

#include <algorithm>

bool HostRMView::Make(const HostMatrix4& camera, long x, long y, unsigned long width, unsigned long height,
                      float front, float back, float field, HostRMView* out) {
    HostRMView view;
    if (!HostMatrixInvert(camera, &view.worldToCamera)) return false;
    view.front = front;
    view.back = back;
    // The field is the half-width of the view at the front plane: kx = field / front.
    view.scale = (static_cast<double>(width) / 2.0) / (double{field} / double{front});
    view.left = static_cast<double>(x);
    view.top = static_cast<double>(y);
    view.right = view.left + static_cast<double>(width);
    view.bottom = view.top + static_cast<double>(height);
    view.centreX = view.left + static_cast<double>(width) * 0.5;
    view.centreY = view.top + static_cast<double>(height) * 0.5;
    view.halfWidth = static_cast<double>(width) * 0.5 / view.scale;
    view.halfHeight = static_cast<double>(height) * 0.5 / view.scale;
    *out = view;
    return true;
}

D3DTLVERTEX HostRMView::Project(double x, double y, double z) const {
    D3DTLVERTEX v{};
    v.sx = static_cast<float>(std::clamp(centreX + x / z * scale, left, right));
    v.sy = static_cast<float>(std::clamp(centreY - y / z * scale, top, bottom));
    v.sz = static_cast<float>(std::clamp((z - front) * back / ((back - front) * z), 0.0, 1.0));
    v.rhw = static_cast<float>(1.0 / z);
    return v;
}
