// The skid marks of the flat interface: one current skid object, made, cleared and freed here; the ring
// is driven through its index. Every call checks that the object exists.
#include <new>

#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/quib.h"
#include "quib/scene/objects/render_types.h"
#include "quib/scene/world/skid_object.h"

MeshObject* g_pSkidObject = nullptr;

namespace {

// g_pSkidObject is only ever set to a SkidObject made here.
SkidObject* CurrentSkids() {
    return static_cast<SkidObject*>(g_pSkidObject);
}

void* InitSkidmarks(void** out, IDirectDrawSurface* texture) {
    // A second start replaces the first object rather than leaking it.
    QuibFreeSkidmarks();
    auto* skids = new (std::nothrow) SkidObject(g_lpD3DRM2, nullptr);
    if (skids && !skids->BuildMesh(texture)) {
        delete skids;
        skids = nullptr;
    }
    g_pSkidObject = skids;
    if (out) *out = skids;
    return skids;
}

} // namespace

void* QuibInitSkidmarks(void** out) {
    return InitSkidmarks(out, nullptr);
}

void* QuibInitSkidmarks(void** out, IDirectDrawSurface* texture) {
    return InitSkidmarks(out, texture);
}

void QuibFreeSkidmarks() {
    // The destructor takes the object out of every display list and clears g_pSkidObject.
    delete CurrentSkids();
}

int QuibClearSkidmarks() {
    SkidObject* skids = CurrentSkids();
    return skids ? skids->Clear() : 0;
}

int QuibAddSkid(float x, float y, float z, float nx, float ny, float nz, float width) {
    SkidObject* skids = CurrentSkids();
    return skids ? skids->AddSkid(x, y, z, nx, ny, nz, width) : -1;
}

int QuibExtendSkid(int index, float x, float y, float z, float nx, float ny, float nz) {
    SkidObject* skids = CurrentSkids();
    if (!skids) return -1;
    if (index < 0 || index >= MAXSKIDS) {
        DebugPrintf("QuibExtendSkid: index <%d> > MAXSKIDS <%d>\n", index, MAXSKIDS);
        return -1;
    }
    return skids->ExtendSkid(index, x, y, z, nx, ny, nz);
}
