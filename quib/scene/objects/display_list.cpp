#include "quib/scene/objects/display_list.h"

#include <new>

#include "quib/platform/debug.h"
#include "quib/quib.h"

namespace {

// The newest display list that exists; the chain runs through the lists themselves, so that the chain
// costs no allocation and a list that is destroyed at any time (at exit too) leaves it whole.
DisplayList* g_newestList = nullptr;

} // namespace

DisplayList::DisplayList(int slots)
    : PtrArray<MeshObject>(slots), m_previousList(nullptr), m_nextList(g_newestList) {
    if (g_newestList) g_newestList->m_previousList = this;
    g_newestList = this;
}

DisplayList::~DisplayList() {
    if (m_previousList)
        m_previousList->m_nextList = m_nextList;
    else
        g_newestList = m_nextList;
    if (m_nextList) m_nextList->m_previousList = m_previousList;
}

void DisplayList::RemoveEverywhere(MeshObject* object) {
    if (!object) return;
    for (DisplayList* list = g_newestList; list; list = list->m_nextList)
        while (list->Find(object))
            list->Remove(object);
}

void* QuibCreateDisplayList(int capacity) {
    auto* list = new (std::nothrow) DisplayList(capacity);
    DebugPrintf("QuibCreateDisplayList(%d,%p)\n", capacity, static_cast<void*>(list));
    return list;
}

void QuibFreeDisplayList(void* list) {
    delete static_cast<DisplayList*>(list);
}

int QuibAddDisplayList(void* list, void* object) {
    if (!list) return 0;
    static_cast<DisplayList*>(list)->Add(static_cast<MeshObject*>(object));
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
            return 1;
        }
    }
    return 0;
}
