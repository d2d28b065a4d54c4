// The two log lines with which the engine follows the life of every interface it holds:
//   "CREATE:<%p>%s\n" once it has been created (name: "CreatingFunction : g_lpGlobal"),
//   "RELEASE:<%p>%s->Release()=%d\n" when it is given up (name: the bare variable, "g_lpGlobal"),
//   "RELEASE:<%p>%s already NULL\n" when there was nothing to give up.
#pragma once

#include "quib/platform/debug.h"

// Logs the creation of ptr under name; nothing when ptr is NULL (the creation failed).
inline void LogCreate(const void* ptr, const char* name) {
    if (ptr) DebugPrintf("CREATE:<%p>%s\n", ptr, name);
}

// Releases the interface held in p, logs the count that Release returned and clears p, and returns that
// count (0 when p was already NULL). p is cleared whatever the count: once Release is called the holder's
// reference is gone, and a later release of the same variable must not give up someone else's.
template <class T> unsigned long ReleaseInterface(T*& p, const char* name) {
    if (!p) {
        DebugPrintf("RELEASE:<%p>%s already NULL\n", static_cast<const void*>(nullptr), name);
        return 0;
    }
    const void* address = static_cast<const void*>(p);
    unsigned long left = p->Release();
    p = nullptr;
    DebugPrintf("RELEASE:<%p>%s->Release()=%d\n", address, name, static_cast<int>(left));
    return left;
}

// Releases a variable under its own spelled name, as in RELEASE_INTERFACE(g_lpDD).
#define RELEASE_INTERFACE(p) ReleaseInterface((p), #p)
