// The exported object family, placement and relations: position and angles (float and fixed point),
// rotation order and scale, children, visuals, detail visuals and merged meshes. Everything goes through
// MeshObject's Frame and its virtual operations, so terrain tiles behave as any object.
#include "quib/quib.h"
#include "quib/scene/api/handles.h"
#include "quib/scene/objects/mesh_object.h"

namespace {

// Both handles present and distinct: an object attached to itself would be drawn (and freed) through
// itself without end.
bool CanAttach(MeshObject* object, MeshObject* other) {
    return object && other && object != other;
}

} // namespace

int QuibObjectPosition(void* handle, float x, float y, float z) {
    MeshObject* object = ObjectOf(handle);
    if (!object) return 0;
    object->SetPosition(x, y, z);
    return 1;
}

int QuibObjectRotation(void* handle, float a, float b, float c) {
    MeshObject* object = ObjectOf(handle);
    if (!object) return 0;
    object->SetRotation(a, b, c);
    return 1;
}

int QuibObjectOrientation(void* handle, float x, float y, float z, float a, float b, float c) {
    MeshObject* object = ObjectOf(handle);
    if (!object) return 0;
    object->SetPosition(x, y, z);
    object->SetRotation(a, b, c);
    return 1;
}

int QuibObjectOrientation(void* handle, long x, long y, long z, long a, long b, long c) {
    return QuibObjectOrientation(handle, FixedPosition(x), FixedPosition(y), FixedPosition(z), FixedAngle(a),
                                 FixedAngle(b), FixedAngle(c));
}

int QuibObjectGetOrientation(void* handle, float& x, float& y, float& z, float& a, float& b, float& c) {
    MeshObject* object = ObjectOf(handle);
    if (!object) return 0;
    x = object->m_position.x;
    y = object->m_position.y;
    z = object->m_position.z;
    a = object->m_angles[0];
    b = object->m_angles[1];
    c = object->m_angles[2];
    return 1;
}

int QuibObjectSetRotationOrderYPR(void* handle) {
    MeshObject* object = ObjectOf(handle);
    if (!object) return 0;
    object->SetYPR();
    return 1;
}

int QuibObjectSetRotationOrderPRY(void* handle) {
    MeshObject* object = ObjectOf(handle);
    if (!object) return 0;
    object->SetPRY();
    return 1;
}

int QuibObjectScale(void* handle, float sx, float sy, float sz) {
    MeshObject* object = ObjectOf(handle);
    if (!object) return 0;
    object->Scale(sx, sy, sz);
    return 1;
}

int QuibAddChild(void* parent, void* child) {
    if (!CanAttach(ObjectOf(parent), ObjectOf(child))) return 0;
    ObjectOf(parent)->AddChild(ObjectOf(child));
    return 1;
}

int QuibDelChild(void* parent, void* child) {
    MeshObject* object = ObjectOf(parent);
    if (!object) return 0;
    // An object that never had children has no list: nothing to remove.
    if (object->m_children) object->m_children->Remove(ObjectOf(child));
    return 1;
}

int QuibAddVisual(void* handle, void* visual) {
    MeshObject* object = ObjectOf(handle);
    MeshObject* v = ObjectOf(visual);
    if (!CanAttach(object, v)) return 0;
    object->AddVisual(v);
    object->AddBox(v->m_box);
    return 1;
}

int QuibAddDetailVisual(void* handle, void* visual) {
    if (!CanAttach(ObjectOf(handle), ObjectOf(visual))) return 0;
    ObjectOf(handle)->AddDetailVisual(ObjectOf(visual));
    return 1;
}

int QuibDeleteVisual(void* handle, void* visual) {
    if (!ObjectOf(handle) || !visual) return 0;
    ObjectOf(handle)->DeleteVisual(ObjectOf(visual));
    return 1;
}

int QuibAddMesh(void* handle, void* mesh) {
    MeshObject* object = ObjectOf(handle);
    MeshObject* other = ObjectOf(mesh);
    if (!CanAttach(object, other)) return 0;
    object->AddMesh(other);
    object->AddBox(other->m_box);
    return 1;
}
