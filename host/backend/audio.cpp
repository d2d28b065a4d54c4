// The machine's audio output, through the audio slots of the backend HOST_BACKEND names when it opens.
#include "host/backend/audio.h"

#include <mutex>

#include "host/backend/backend.h"
#include "host/backend/machine.h"

namespace {

// The backend whose output is open (closing goes to the same one); guarded by g_lock.
std::mutex g_lock;
const HostBackend* g_open = nullptr;

} // namespace

bool HostAudioOpen(int rate, HostAudioCallback callback, void* user) {
    if (rate <= 0 || !callback || !HostGetMachine().audioDevice) return false;
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_open) return false;
    const HostBackend& backend = HostChosenBackend();
    if (!backend.audioOpen || !backend.audioOpen(rate, callback, user)) return false;
    g_open = &backend;
    return true;
}

void HostAudioClose() {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_open) g_open->audioClose();
    g_open = nullptr;
}

int HostAudioRate() {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_open ? g_open->audioRate() : 0;
}
