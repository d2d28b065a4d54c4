// The exported object family, queries: distances from the camera, mesh intersection, object-to-world
// points, picking through the Retained Mode viewport, and box outlines drawn as 3D lines.
#include "host/rm/d3drm_mesh.h"
#include "quib/platform/directx.h"
#include "quib/quib.h"
#include "quib/scene/api/handles.h"
#include "quib/scene/objects/display_list.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/objects/scene_render.h"

namespace {

constexpr long kOutlineColour = -1; // 0xFFFFFFFF
constexpr float kCrossHalfSize = 0.3f;
// Corner pairs of the 12 box edges, in drawing order; the first four are the bottom face's.
constexpr int kBoxEdges[12][2] = {{0, 1}, {4, 5}, {0, 4}, {1, 5}, {2, 3}, {6, 7},
                                  {2, 6}, {3, 7}, {0, 2}, {4, 6}, {5, 7}, {1, 3}};
constexpr int kBottomEdges = 4;

// A line between two points of object's space, moved by the object's position (its corners and centre
// are kept without it).
void DrawObjectLine(const MeshObject& object, const D3DVECTOR& a, const D3DVECTOR& b) {
    const D3DVECTOR& p = object.m_position;
    QuibDrawLine3D(a.x + p.x, a.y + p.y, a.z + p.z, b.x + p.x, b.y + p.y, b.z + p.z, kOutlineColour);
}

void DrawBoxEdges(const MeshObject& object, int edges) {
    for (int i = 0; i < edges; ++i)
        DrawObjectLine(object, object.m_corners[kBoxEdges[i][0]], object.m_corners[kBoxEdges[i][1]]);
}

// Two horizontal diagonals of half-size 0.3 crossing at the centre.
void DrawCentreCross(const MeshObject& object) {
    const D3DVECTOR& c = object.m_center;
    const float h = kCrossHalfSize;
    DrawObjectLine(object, {c.x - h, c.y, c.z + h}, {c.x + h, c.y, c.z - h});
    DrawObjectLine(object, {c.x - h, c.y, c.z - h}, {c.x + h, c.y, c.z + h});
}

// The first object of list shown by visual (its mesh or its mesh builder, by identity), or NULL.
MeshObject* ListedObjectShowing(const DisplayList& list, IUnknown* visual) {
    if (!visual) return nullptr;
    for (int i = 0; i < list.GetCount(); ++i) {
        MeshObject* object = list.GetAt(i);
        if (!object) continue;
        if (static_cast<IUnknown*>(object->m_mesh) == visual ||
            static_cast<IUnknown*>(object->m_meshbuilder) == visual)
            return object;
    }
    return nullptr;
}

// The visual of the nearest pick at (x, y), with a reference the caller releases, or NULL.
IUnknown* NearestPickedVisual(int x, int y) {
    IDirect3DRMPickedArray* picked = nullptr;
    if (FAILED(g_lpD3DRMViewport->Pick(x, y, &picked)) || !picked) return nullptr;
    IDirect3DRMVisual* visual = nullptr;
    IDirect3DRMFrameArray* frames = nullptr;
    D3DRMPICKDESC desc{};
    if (picked->GetSize() == 0 || FAILED(picked->GetPick(0, &visual, &frames, &desc))) visual = nullptr;
    if (frames) frames->Release();
    picked->Release();
    return visual;
}

} // namespace

float QuibGetObjectDistance(void* handle) {
    MeshObject* object = ObjectOf(handle);
    return object ? object->DistanceFromCamera() : 0.0f;
}

float QuibGetObjectClosestDistance(void* handle) {
    MeshObject* object = ObjectOf(handle);
    return object ? object->ClosestDistanceFromCamera() : 0.0f;
}

void QuibFindMeshIntersection(void* handle, D3DVECTOR& a, D3DVECTOR& b, D3DVECTOR& out) {
    if (MeshObject* object = ObjectOf(handle)) object->FindMeshIntersection(a, b, out);
}

int QuibTransformPointRelative(void* handle, float& x, float& y, float& z, float& ox, float& oy, float& oz) {
    MeshObject* object = ObjectOf(handle);
    if (!object || !object->m_frame) return 0;
    D3DVECTOR local{x, y, z}, world{};
    if (FAILED(object->m_frame->Transform(&world, &local))) return 0;
    ox = world.x;
    oy = world.y;
    oz = world.z;
    return 1;
}

void* QuibPickObject(void* list, int x, int y) {
    auto* objects = static_cast<DisplayList*>(list);
    if (!objects || !g_lpD3DRMViewport) return nullptr;
    IUnknown* visual = NearestPickedVisual(x, y);
    MeshObject* found = ListedObjectShowing(*objects, visual);
    // Only the identity was needed: the reference GetPick added goes back at once.
    if (visual) visual->Release();
    return found;
}

int QuibOutlineObjects(void* list) {
    auto* objects = static_cast<DisplayList*>(list);
    if (!objects) return 1;
    for (int i = 0; i < objects->GetCount(); ++i) {
        MeshObject* object = objects->GetAt(i);
        if (!object) continue;
        DrawBoxEdges(*object, 12);
        DrawCentreCross(*object);
    }
    return 1;
}

int QuibOutlineObjects() {
    for (int i = 0; i < QueuedRenderObjectCount(); ++i)
        if (MeshObject* object = QueuedRenderObject(i)) DrawBoxEdges(*object, kBottomEdges);
    return 1;
}
