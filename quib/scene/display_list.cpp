#include "quib/scene/display_list.h"

#include "quib/platform/debug.h"
#include "quib/quib.h"
#include "quib/scene/render_types.h"

void* QuibCreateDisplayList(int capacity) {
    auto* list = new DisplayList(capacity);
    DebugPrintf("QuibCreateDisplayList(%d,%p)\n", capacity, static_cast<void*>(list));
    return list;
}

void QuibFreeDisplayList(void* list) {
    ForgetDisplayList(static_cast<DisplayList*>(list));
    delete static_cast<DisplayList*>(list);
}

// A list given the skid object is remembered, so that freeing the skid object takes it out again.
static void NoteSkidObject(DisplayList* list, void* object) {
    if (object && object == g_pSkidObject) RememberSkidList(list);
}

int QuibAddDisplayList(void* list, void* object) {
    if (!list) return 0;
    static_cast<DisplayList*>(list)->Add(static_cast<MeshObject*>(object));
    NoteSkidObject(static_cast<DisplayList*>(list), object);
    return 1;
}

int QuibDelDisplayList(void* list, void* object) {
    if (!list) return 0;
    static_cast<DisplayList*>(list)->Remove(static_cast<MeshObject*>(object));
    return 1;
}

int QuibReplaceDisplayList(void* list, void* oldObject, void* newObject) {
    auto* objects = static_cast<DisplayList*>(list);
    if (!objects) return 0;
    for (int i = 0; i < objects->GetCount(); ++i) {
        if (objects->GetAt(i) == oldObject) {
            objects->SetAtUnchecked(i, static_cast<MeshObject*>(newObject));
            NoteSkidObject(objects, newObject);
            return 1;
        }
    }
    return 0;
}
