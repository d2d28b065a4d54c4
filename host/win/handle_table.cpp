#include "host/win/handle_table.h"

#include <mutex>
#include <unordered_map>

#include "host/win/handles.h"
#include "host/win/last_error.h"

namespace {

struct HandleTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<HostObject>> objects;
    uintptr_t next = 0x1000;
};

// Never destroyed: threads may still close handles while the process exits.
HandleTable& Table() {
    static HandleTable* table = new HandleTable;
    return *table;
}

} // namespace

HANDLE HostAddHandle(std::shared_ptr<HostObject> object) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<HostObject> HostFindHandle(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == table.objects.end() ? nullptr : it->second;
}

std::shared_ptr<HostObject> HostTakeHandle(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == table.objects.end()) return nullptr;
    std::shared_ptr<HostObject> object = std::move(it->second);
    table.objects.erase(it);
    return object;
}

BOOL CloseHandle(HANDLE handle) {
    std::shared_ptr<HostObject> object = HostTakeHandle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->OnClose();
    return TRUE;
}
