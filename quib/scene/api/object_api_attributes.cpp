// The exported object family, detail and flags: switch distances and ratios, the attribute record,
// mip maps, per-object fog, the render, rejection and outline flags, and the shadow.
#include <algorithm>

#include "quib/quib.h"
#include "quib/scene/api/handles.h"
#include "quib/scene/objects/mesh_object.h"

namespace {

unsigned long ColourComponent(int value) {
    return static_cast<unsigned long>(std::clamp(value, 0, 255));
}

} // namespace

void QuibSetObjectSwitchDistances(void* handle, float d0, float d1, float d2, float d3, float d4) {
    MeshObject* object = ObjectOf(handle);
    if (!object) return;
    object->m_switchDistance0 = d0;
    object->m_switchDistance1 = d1;
    object->m_switchDistance2 = d2;
    object->m_switchDistance3 = d3;
    object->m_switchDistance4 = d4;
}

void QuibSetObjectSwitchRatios(void* handle, float r1, float r2, float r3, float r4, float r5) {
    if (MeshObject* object = ObjectOf(handle)) object->ComputeSwitchDistances(r1, r2, r3, r4, r5);
}

int QuibSetObjectAttributes(void* handle, _OBJ3DINFO* info) {
    MeshObject* object = ObjectOf(handle);
    if (!object || !info) return 0;
    // The centre is the object's own: the record's is not taken.
    object->m_switchDistance0 = info->switchDistance[0];
    object->m_switchDistance1 = info->switchDistance[1];
    object->m_switchDistance2 = info->switchDistance[2];
    object->m_switchDistance3 = info->switchDistance[3];
    return 1;
}

int QuibGetObjectAttributes(void* handle, _OBJ3DINFO* info) {
    MeshObject* object = ObjectOf(handle);
    if (!object || !info) return 0;
    info->switchDistance[0] = object->m_switchDistance0;
    info->switchDistance[1] = object->m_switchDistance1;
    info->switchDistance[2] = object->m_switchDistance2;
    info->switchDistance[3] = object->m_switchDistance3;
    info->centre[0] = object->m_center.x;
    info->centre[1] = object->m_center.y;
    info->centre[2] = object->m_center.z;
    return 1;
}

int QuibUseMipMaps(void* handle, int on) {
    if (MeshObject* object = ObjectOf(handle)) object->UseMipMaps(on);
    return 1;
}

void QuibSetMipMapLevel(void* handle, int level) {
    if (MeshObject* object = ObjectOf(handle)) object->SetMipMapLevel(level);
}

void QuibSetFogEnable(void* handle, int on) {
    if (MeshObject* object = ObjectOf(handle)) object->SetFogEnable(on);
}

void QuibSetFogParams(void* handle, float start, float end, float density) {
    if (MeshObject* object = ObjectOf(handle)) object->Frame::SetFogParams(start, end, density);
}

void QuibSetFogColor(void* handle, int r, int g, int b) {
    // Each component kept to its byte, so that one out of range cannot spill into the next.
    const unsigned long colour = ColourComponent(r) << 16 | ColourComponent(g) << 8 | ColourComponent(b);
    if (MeshObject* object = ObjectOf(handle)) object->Frame::SetFogColor(colour);
}

void QuibObjectSetRenderFlag(void* handle, int flag) {
    if (MeshObject* object = ObjectOf(handle)) object->m_render = flag;
}

int QuibObjectWasRejected(void* handle) {
    MeshObject* object = ObjectOf(handle);
    return object ? object->m_rejected : 0;
}

int QuibOutlineObject(void* handle, int on) {
    MeshObject* object = ObjectOf(handle);
    if (!object) return 0;
    object->m_outline = on;
    return 1;
}

int QuibAdjustShadow(void* handle, float dx, float dz, float sx, float sz) {
    MeshObject* object = ObjectOf(handle);
    if (object && object->m_hasShadow == 1) object->AdjustShadow(dx, dz, sx, sz);
    // Callers test for 0, whether or not a shadow was moved.
    return 0;
}
