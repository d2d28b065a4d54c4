#include "quib/platform/alloc.h"

#include <cstdio>

#include "quib/platform/debug.h"
#include "quib/ptrarray.h"

namespace {

// NULL until the first registration and again after a report.
PtrArray<AllocRecord>* s_allocs = nullptr;

void LogRemoval(const AllocRecord* record) {
    DebugPrintf("ALLOCDEL:<%p>,<%s>\n", record->ptr, record->name);
}

} // namespace

AllocRecord* ALLOCADD(const char* name, void* ptr) {
    if (!s_allocs) s_allocs = new PtrArray<AllocRecord>(1);
    AllocRecord* record = new AllocRecord;
    std::snprintf(record->name, sizeof(record->name), "%s", name ? name : "");
    record->ptr = ptr;
    if (!s_allocs->Add(record)) {
        delete record;
        return nullptr;
    }
    DebugPrintf("ALLOCADD:<%p>,<%s>\n", record->ptr, record->name);
    return record;
}

void ALLOCDEL(void* ptr) {
    if (!s_allocs) return;
    // Index-adjusting walk: after a removal the next record has moved into slot i.
    int i = 0;
    while (i < s_allocs->GetCount()) {
        AllocRecord* record = s_allocs->GetAt(i);
        if (record->ptr != ptr) {
            i++;
            continue;
        }
        LogRemoval(record);
        s_allocs->Remove(record);
        delete record;
    }
}

void DumpAllocs() {
    if (!s_allocs) return;
    DebugPrintf("***** Remaining Allocs = %d\n", s_allocs->GetCount());
    for (int i = 0; i < s_allocs->GetCount(); i++)
        LogRemoval(s_allocs->GetAt(i));
    FreeAllocs();
}

void FreeAllocs() {
    if (!s_allocs) return;
    s_allocs->DeleteAll();
    delete s_allocs;
    s_allocs = nullptr;
}
