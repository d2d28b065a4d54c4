// The walk over a frame's subtree that drawing and picking share: every mesh visual reached, with its
// world transform, its Z-buffer use and the frames that lead to it, in drawing order; drawing also
// reaches the texture visuals (decals) in the same order.
#pragma once

#include <vector>

#include "host/rm/frame.h"
#include "host/rm/mesh.h"
#include "host/rm/texture.h"

// One visual as the walk reaches it.
struct HostRMVisualInstance {
    HostRMMesh* mesh;  // what is drawn: the visual itself, or a mesh builder's drawable mesh
    IUnknown* visual;  // the visual as it was attached
    HostMatrix4 world; // object space to world space
    bool zbuffer;      // drawn with the Z-buffer
    const std::vector<HostRMFrame*>* frames; // from the scene root to the frame holding it
};

// One texture visual (a decal) as the walk reaches it.
struct HostRMDecalInstance {
    HostRMTexture* texture;
    HostMatrix4 world; // the holding frame's space to world space: the decal sits at its origin
    bool zbuffer;      // drawn with the Z-buffer
};

// Walks frame's subtree: at each frame first its visuals in the order they were added (a frame used as a
// visual is walked in turn, under the holding frame's transform, unless it is already on the way down),
// then its children, in the order the frame's sort mode gives (by camera-space depth of their origins,
// through worldToCamera). The walk starts with frame's own world transform and the modes its ancestors
// pass down. visit returns false to stop the walk, and the walk then returns false. Decals are passed
// over.
template <class Visit>
bool HostRMWalkFrames(HostRMFrame* frame, const HostMatrix4& worldToCamera, const Visit& visit);
// The same walk, with each texture visual given to visitDecal in its place among the visuals (which
// may stop the walk as visit does).
template <class Visit, class VisitDecal>
bool HostRMWalkFrames(HostRMFrame* frame, const HostMatrix4& worldToCamera, const Visit& visit,
                      const VisitDecal& visitDecal);

namespace host_rm_walk {

struct Walk {
    const HostMatrix4& worldToCamera;
    std::vector<HostRMFrame*> frames;
};

// The mesh a visual draws (NULL for a frame or an object of another kind).
HostRMMesh* MeshOf(IUnknown* visual);
// children of a frame in the order sort gives, each with its world transform.
struct PlacedFrame {
    HostRMFrame* frame;
    HostMatrix4 world;
};
std::vector<PlacedFrame> OrderChildren(const HostRMFrame& frame, const HostMatrix4& world, D3DRMSORTMODE sort,
                                       const HostMatrix4& worldToCamera);

template <class Visit, class VisitDecal>
bool Descend(Walk& walk, HostRMFrame* frame, const HostMatrix4& world, bool zbuffer, D3DRMSORTMODE sort,
             const Visit& visit, const VisitDecal& visitDecal) {
    if (frame->GetZbufferMode() != D3DRMZBUFFER_FROMPARENT)
        zbuffer = frame->GetZbufferMode() == D3DRMZBUFFER_ENABLE;
    if (frame->GetSortMode() != D3DRMSORT_FROMPARENT) sort = frame->GetSortMode();
    walk.frames.push_back(frame);
    bool going = true;
    for (IUnknown* visual : frame->Visuals()) {
        if (HostRMMesh* mesh = MeshOf(visual)) {
            going = visit(HostRMVisualInstance{mesh, visual, world, zbuffer, &walk.frames});
        } else if (HostRMTexture* texture = HostRMTexture::From(visual)) {
            going = visitDecal(HostRMDecalInstance{texture, world, zbuffer});
        } else if (HostRMFrame* inner = HostRMFrame::From(visual)) {
            bool onTheWay = false;
            for (HostRMFrame* f : walk.frames)
                onTheWay = onTheWay || f == inner;
            if (!onTheWay)
                going = Descend(walk, inner, HostMatrixMultiply(inner->Local(), world), zbuffer, sort, visit,
                                visitDecal);
        }
        if (!going) break;
    }
    if (going) {
        for (const PlacedFrame& child : OrderChildren(*frame, world, sort, walk.worldToCamera)) {
            going = Descend(walk, child.frame, child.world, zbuffer, sort, visit, visitDecal);
            if (!going) break;
        }
    }
    walk.frames.pop_back();
    return going;
}

} // namespace host_rm_walk

template <class Visit, class VisitDecal>
bool HostRMWalkFrames(HostRMFrame* frame, const HostMatrix4& worldToCamera, const Visit& visit,
                      const VisitDecal& visitDecal) {
    host_rm_walk::Walk walk{worldToCamera, {}};
    for (HostRMFrame* f = frame->Parent(); f; f = f->Parent())
        walk.frames.insert(walk.frames.begin(), f);
    HostRMFrame* parent = frame->Parent();
    bool zbuffer = parent ? parent->ZbufferEnabled() : true;
    D3DRMSORTMODE sort = parent ? parent->EffectiveSortMode() : D3DRMSORT_NONE;
    return host_rm_walk::Descend(walk, frame, frame->World(), zbuffer, sort, visit, visitDecal);
}

template <class Visit>
bool HostRMWalkFrames(HostRMFrame* frame, const HostMatrix4& worldToCamera, const Visit& visit) {
    return HostRMWalkFrames(frame, worldToCamera, visit, [](const HostRMDecalInstance&) { return true; });
}
