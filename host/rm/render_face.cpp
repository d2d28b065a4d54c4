#include "host/rm/render_face.h"

bool HostRMScreenFace(const HostRMView& view, const HostMatrix4& toCamera, const HostRMGroup& group,
                      size_t first, unsigned count, HostRMFaceScratch* scratch,
                      std::vector<D3DTLVERTEX>* out) {
    out->clear();
    if (count < 3) return false;
    std::vector<HostRMClipVertex>& polygon = scratch->polygon;
    polygon.clear();
    for (unsigned i = 0; i < count; ++i) {
        unsigned index = group.corners[first + i];
        if (index >= group.vertices.size()) return false;
        const D3DRMVERTEX& vertex = group.vertices[index];
        D3DVECTOR p = HostTransformPoint(vertex.position, toCamera);
        polygon.push_back({p.x, p.y, p.z, vertex.tu, vertex.tv});
    }
    // Newell's normal: for a face wound clockwise seen from the camera it points at the camera, so the
    // front faces the camera when the normal and the direction to a corner point apart.
    double nx = 0.0, ny = 0.0, nz = 0.0;
    for (unsigned i = 0; i < count; ++i) {
        const HostRMClipVertex& a = polygon[i];
        const HostRMClipVertex& b = polygon[(i + 1) % count];
        nx += (a.y - b.y) * (a.z + b.z);
        ny += (a.z - b.z) * (a.x + b.x);
        nz += (a.x - b.x) * (a.y + b.y);
    }
    const HostRMClipVertex& corner = polygon[0];
    if (!(nx * corner.x + ny * corner.y + nz * corner.z < 0.0)) return false;

    HostRMClipToView(view, &polygon, &scratch->spare);
    for (const HostRMClipVertex& p : polygon) {
        D3DTLVERTEX v = view.Project(p.x, p.y, p.z);
        v.tu = static_cast<float>(p.u);
        v.tv = static_cast<float>(p.v);
        out->push_back(v);
    }
    return out->size() >= 3;
}
