// Typed display lists: objects typed from their names, filtered by the enabled render types and ordered
// by type for drawing (ground first, then decals, the skid marks, untyped objects and the rest by
// letter), children ordered by the enabled letters, and the frame-rate adjustment that rebuilds the list
// when it drops or restores a letter.
#include <new>

#include "quib/platform/debug.h"
#include "quib/quib.h"
#include "quib/scene/mesh/dp_mesh_skin.h"
#include "quib/scene/objects/display_list.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/objects/render_types.h"
#include "quib/scene/textures/surface_table.h"

namespace {

// Background objects are never switched by distance: draw far, no Z-buffer switch.
constexpr float kBackgroundSwitchDistance = 10000.0f;

void AppendType(PtrArray<MeshObject>& to, const DisplayList& from, char type) {
    for (int i = 0; i < from.GetCount(); ++i) {
        MeshObject* object = from.GetAt(i);
        if (object && object != g_pSkidObject && object->m_renderType == type) to.Add(object);
    }
}

void LogTextures(const MeshObject* object) {
    if (!object->m_skin) return;
    DebugPrintf("QuibSortDisplayList : mem <%8d>, count <%2d>, object <%s> \n", object->m_textureBytes,
                int(object->m_skin->count), object->m_name);
    for (uint32_t i = 0; i < object->m_skin->count; ++i) {
        const SurfaceTableEntry* entry = object->m_skin->materials[i].texture;
        if (entry)
            DebugPrintf("QuibSortDisplayList : mem <%8d>, texture <%s>\n", entry->m_usage, entry->name);
    }
}

// The type a model object's name gives it; background objects also get their switch distances.
void TypeFromName(MeshObject* object) {
    object->m_renderType = '?';
    if (object->m_name[0] != 't') return;
    int number = 0, parent = 0;
    char type = '?';
    ParseObjectName(object->m_name, &number, &parent, &type);
    if (type >= 'a' && type <= 'y') {
        object->m_renderType = type;
    } else if (type == 'z') {
        object->m_renderType = 'z';
        object->m_switchDistance0 = kBackgroundSwitchDistance;
        object->m_switchDistance1 = 0.0f;
        object->m_switchDistance2 = kBackgroundSwitchDistance;
        object->m_switchDistance3 = kBackgroundSwitchDistance;
    }
}

} // namespace

void* QuibMakeParentChildRelationship(void* source) {
    const auto* from = static_cast<const DisplayList*>(source);
    auto* typed = new (std::nothrow) DisplayList(from->GetCount() > 0 ? from->GetCount() : 1);
    if (!typed) return nullptr;
    for (int i = 0; i < from->GetCount(); ++i) {
        MeshObject* object = from->GetAt(i);
        if (!object) continue;
        TypeFromName(object);
        if (QuibIsRenderType(object->m_renderType)) typed->Add(object);
    }
    QuibSortDisplayList(typed);
    return typed;
}

void QuibSortDisplayList(void* list) {
    auto* objects = static_cast<DisplayList*>(list);
    PtrArray<MeshObject> sorted(objects->GetCount() + 1);
    for (char type : {'t', 'd', 'e'})
        AppendType(sorted, *objects, type);
    // The skid marks come once, whether or not the list holds them.
    if (g_pSkidObject) sorted.Add(g_pSkidObject);
    AppendType(sorted, *objects, '?');
    for (char type = 'a'; type <= 'z'; ++type)
        if (type != 'd' && type != 'e' && type != 't') AppendType(sorted, *objects, type);

    objects->Clear();
    for (int i = 0; i < sorted.GetCount(); ++i) {
        objects->Add(sorted.GetAt(i));
        LogTextures(sorted.GetAt(i));
    }
}

int QuibSortChildObjects(void* list) {
    auto* objects = static_cast<DisplayList*>(list);
    for (int i = 0; i < objects->GetCount(); ++i) {
        MeshObject* object = objects->GetAt(i);
        if (!object || object->m_renderType != 't' || !object->m_children) continue;
        PtrArray<MeshObject>& children = *object->m_children;
        PtrArray<MeshObject> ordered(children.GetCount() + 1);
        for (const char* letter = RenderTypes; *letter; ++letter)
            for (int c = 0; c < children.GetCount(); ++c)
                if (children.GetAt(c) && children.GetAt(c)->m_renderType == *letter)
                    ordered.Add(children.GetAt(c));
        children.Clear();
        for (int c = 0; c < ordered.GetCount(); ++c)
            children.Add(ordered.GetAt(c));
    }
    return 1;
}

void* QuibAutoFramerateAdjust(void* source, void* current, float low, float high, float fps, int* changed) {
    if (!AdjustRenderTypes(low, high, fps)) {
        if (changed) *changed = 0;
        return current;
    }
    // A caller may pass its source list as the current one: that list stays.
    if (current != source) QuibFreeDisplayList(current);
    if (changed) *changed = 1;
    return QuibMakeParentChildRelationship(source);
}
