#include "host/rm/render_pick.h"

#include <algorithm>

#include "host/rm/render_face.h"
#include "host/rm/render_walk.h"

namespace {

double Cross(const D3DTLVERTEX& a, const D3DTLVERTEX& b, double x, double y) {
    return (double{b.sx} - a.sx) * (y - a.sy) - (double{b.sy} - a.sy) * (x - a.sx);
}

// The reciprocal depth at (x, y) when the screen triangle covers it (edges included), else 0.
double RhwAt(const D3DTLVERTEX& a, const D3DTLVERTEX& b, const D3DTLVERTEX& c, double x, double y) {
    double area = Cross(a, b, c.sx, c.sy);
    if (area == 0.0) return 0.0;
    double wa = Cross(b, c, x, y) / area, wb = Cross(c, a, x, y) / area, wc = Cross(a, b, x, y) / area;
    if (wa < 0.0 || wb < 0.0 || wc < 0.0) return 0.0;
    // 1/z varies linearly across the screen.
    return wa * a.rhw + wb * b.rhw + wc * c.rhw;
}

// The nearest hit of the fan on (x, y) as a reciprocal depth (0: none).
double NearestRhw(const std::vector<D3DTLVERTEX>& fan, double x, double y) {
    double best = 0.0;
    for (size_t i = 1; i + 1 < fan.size(); ++i)
        best = std::max(best, RhwAt(fan[0], fan[i], fan[i + 1], x, y));
    return best;
}

} // namespace

std::vector<HostRMPick> HostRMPickVisuals(const std::vector<HostRMFrame*>& frames, const HostRMView& view,
                                          double x, double y) {
    std::vector<HostRMPick> picks;
    HostRMFaceScratch scratch;
    std::vector<D3DTLVERTEX> fan;
    auto hit = [&](const HostRMVisualInstance& instance) {
        const HostMatrix4 toCamera = HostMatrixMultiply(instance.world, view.worldToCamera);
        HostRMPick pick{instance.visual, *instance.frames, D3DRMPICKDESC{}, 0.0};
        double bestRhw = 0.0;
        const std::vector<HostRMGroup>& groups = instance.mesh->Groups();
        for (size_t g = 0; g < groups.size(); ++g) {
            ULONG face = 0;
            HostRMForEachFace(groups[g], [&](size_t first, unsigned count) {
                if (HostRMScreenFace(view, toCamera, groups[g], first, count, &scratch, &fan)) {
                    double rhw = NearestRhw(fan, x, y);
                    if (rhw > bestRhw) {
                        bestRhw = rhw;
                        pick.desc.ulFaceIdx = face;
                        pick.desc.lGroupIdx = LONG(g);
                    }
                }
                ++face;
            });
        }
        if (bestRhw > 0.0) {
            pick.depth = 1.0 / bestRhw;
            // Back from the screen point at that depth to the world.
            HostMatrix4 cameraToWorld;
            if (HostMatrixInvert(view.worldToCamera, &cameraToWorld)) {
                D3DVECTOR p = {float((x - view.centreX) / view.scale * pick.depth),
                               float((view.centreY - y) / view.scale * pick.depth), float(pick.depth)};
                pick.desc.vPosition = HostTransformPoint(p, cameraToWorld);
            }
            picks.push_back(std::move(pick));
        }
        return true;
    };
    for (HostRMFrame* frame : frames)
        HostRMWalkFrames(frame, view.worldToCamera, hit);
    std::stable_sort(picks.begin(), picks.end(),
                     [](const HostRMPick& a, const HostRMPick& b) { return a.depth < b.depth; });
    return picks;
}
