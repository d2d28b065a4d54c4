// A mesh geometry drawn with one transform.
#include <cstring>

#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/pipeline/draw_submesh.h"

int render_geo_transformed(DPMeshGeo* geo, const float transform[16]) {
    if (!geo || !transform) return 1;
    D3DMATRIX m;
    std::memcpy(&m, transform, sizeof m);
    // The roots carry their children: rendering every sub-mesh would draw each child again.
    PtrArray<DPSubMesh>& roots = geo->Roots();
    int result = 1;
    for (int i = 0; i < roots.GetCount(); ++i) {
        DPSubMesh* sub = roots.GetAt(i);
        if (!sub) continue;
        sub->Transform(m);
        result &= sub->Render();
    }
    geo->DrawExtents();
    return result;
}
