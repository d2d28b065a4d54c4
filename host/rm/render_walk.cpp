#include "host/rm/render_walk.h"

#include <algorithm>

#include "host/rm/mesh_builder.h"

namespace host_rm_walk {

HostRMMesh* MeshOf(IUnknown* visual) {
    if (HostRMMesh* mesh = HostRMMesh::From(visual)) return mesh;
    if (HostRMMeshBuilder* builder = HostRMMeshBuilder::From(visual)) return builder->Drawable();
    return nullptr;
}

std::vector<PlacedFrame> OrderChildren(const HostRMFrame& frame, const HostMatrix4& world, D3DRMSORTMODE sort,
                                       const HostMatrix4& worldToCamera) {
    std::vector<PlacedFrame> placed;
    for (HostRMFrame* child : frame.Children())
        placed.push_back({child, HostMatrixMultiply(child->Local(), world)});
    if (sort != D3DRMSORT_BACKTOFRONT && sort != D3DRMSORT_FRONTTOBACK) return placed;
    auto depth = [&worldToCamera](const PlacedFrame& p) {
        D3DVECTOR origin = {p.world.m[3][0], p.world.m[3][1], p.world.m[3][2]};
        return HostTransformPoint(origin, worldToCamera).z;
    };
    // Equal depths keep the order in which the children were added.
    if (sort == D3DRMSORT_BACKTOFRONT)
        std::stable_sort(placed.begin(), placed.end(), [&depth](const PlacedFrame& a, const PlacedFrame& b) {
            return depth(a) > depth(b);
        });
    else
        std::stable_sort(placed.begin(), placed.end(), [&depth](const PlacedFrame& a, const PlacedFrame& b) {
            return depth(a) < depth(b);
        });
    return placed;
}

} // namespace host_rm_walk
