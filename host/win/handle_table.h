// The process-wide table behind every kernel handle of host/win (files, events, threads, searches).
// Handle values are never reused, so a stale or forged handle is refused instead of reaching a freed
// object. Objects are shared: a thread blocked on an object keeps it alive while another closes it.
#pragma once

#include <memory>

#include "host/base/types.h"

class HostObject {
  public:
    virtual ~HostObject() = default;
    // Called once when the handle is closed, before the table lets go of the object.
    virtual void OnClose() {}
};

// Enters object into the table and returns its new handle (never NULL or INVALID_HANDLE_VALUE).
HANDLE HostAddHandle(std::shared_ptr<HostObject> object);
// The object behind handle, or nullptr.
std::shared_ptr<HostObject> HostFindHandle(HANDLE handle);
// Removes handle from the table and returns its object, or nullptr when there is no such handle.
std::shared_ptr<HostObject> HostTakeHandle(HANDLE handle);

// The object behind handle when it is of type T, else nullptr.
template <class T> std::shared_ptr<T> HostFindHandleAs(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(HostFindHandle(handle));
}
