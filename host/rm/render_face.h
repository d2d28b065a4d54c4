// One face of a mesh group on its way to the screen: into camera space, culled when its back is turned
// to the camera, clipped to the view volume and projected.
#pragma once

#include <vector>

#include "host/rm/mesh.h"
#include "host/rm/render_clip.h"

// Working room reused from face to face.
struct HostRMFaceScratch {
    std::vector<HostRMClipVertex> polygon;
    std::vector<HostRMClipVertex> spare;
};

// The screen polygon (a convex fan, colour and specular left 0) of the face of group whose corners are
// corners[first .. first + count), placed by toCamera (object to camera space). Faces are wound
// clockwise seen from their front; a face seen from behind or edge-on, a face with a corner outside the
// group's vertices and a face wholly outside the view give false.
bool HostRMScreenFace(const HostRMView& view, const HostMatrix4& toCamera, const HostRMGroup& group,
                      size_t first, unsigned count, HostRMFaceScratch* scratch,
                      std::vector<D3DTLVERTEX>* out);

// Calls visit(first, count) for each face of group, in order.
template <class Visit> void HostRMForEachFace(const HostRMGroup& group, const Visit& visit) {
    size_t first = 0;
    for (unsigned count : group.faceSizes) {
        if (first + count > group.corners.size()) return;
        visit(first, count);
        first += count;
    }
}
