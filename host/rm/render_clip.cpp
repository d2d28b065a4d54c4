#include "host/rm/render_clip.h"

#include <utility>

namespace {

// Signed distance of a corner from one of the six planes; >= 0 is inside.
double Distance(const HostRMView& view, int plane, const HostRMClipVertex& p) {
    switch (plane) {
    case 0: return p.z - view.front;
    case 1: return view.back - p.z;
    case 2: return p.z * view.halfWidth - p.x;
    case 3: return p.z * view.halfWidth + p.x;
    case 4: return p.z * view.halfHeight - p.y;
    default: return p.z * view.halfHeight + p.y;
    }
}

HostRMClipVertex Between(const HostRMClipVertex& a, const HostRMClipVertex& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t, a.u + (b.u - a.u) * t,
            a.v + (b.v - a.v) * t};
}

// One Sutherland-Hodgman pass: in's part on the inner side of plane into out.
void ClipPlane(const HostRMView& view, int plane, const std::vector<HostRMClipVertex>& in,
               std::vector<HostRMClipVertex>& out) {
    out.clear();
    const size_t n = in.size();
    for (size_t i = 0; i < n; ++i) {
        const HostRMClipVertex& a = in[i];
        const HostRMClipVertex& b = in[(i + 1) % n];
        double da = Distance(view, plane, a), db = Distance(view, plane, b);
        if (da >= 0.0) out.push_back(a);
        // Interpolate from the inside corner so that a shared edge is cut at the same point both ways.
        if ((da >= 0.0) != (db >= 0.0))
            out.push_back(da >= 0.0 ? Between(a, b, da / (da - db)) : Between(b, a, db / (db - da)));
    }
}

} // namespace

void HostRMClipToView(const HostRMView& view, std::vector<HostRMClipVertex>* polygon,
                      std::vector<HostRMClipVertex>* scratch) {
    for (int plane = 0; plane < 6 && polygon->size() >= 3; ++plane) {
        bool allInside = true;
        for (const HostRMClipVertex& p : *polygon)
            allInside = allInside && Distance(view, plane, p) >= 0.0;
        if (allInside) continue;
        ClipPlane(view, plane, *polygon, *scratch);
        std::swap(*polygon, *scratch);
    }
    if (polygon->size() < 3) polygon->clear();
}
