// The calls from the backend upwards: a table the window layer fills when the library loads, and a short
// list of calls for passing time.
#include "host/backend/hooks.h"

#include <atomic>

namespace {

void NoKey(int, int, bool, bool, bool) {}
void NoCharacter(unsigned) {}
void NoPoint(int, int) {}
void NoButton(int, bool) {}
void NoFlag(bool) {}
void Nothing() {}
void NoStart(const HostBackend&) {}
bool No() {
    return false;
}
bool NoArea(int*, int*, int*, int*) {
    return false;
}
uint64_t NoTime() {
    return 0;
}

// Constant-initialized, so it holds the do-nothing calls before any registration runs at load time.
HostWindowHooks g_window = {NoKey,   NoCharacter, NoPoint, NoButton, NoFlag, Nothing,
                            Nothing, No,          No,      NoArea,   NoTime, NoStart};

constexpr int kMaxTimeHooks = 8;
std::atomic<void (*)()> g_timeHooks[kMaxTimeHooks] = {};

} // namespace

void HostSetWindowHooks(const HostWindowHooks& hooks) {
    g_window = hooks;
}

const HostWindowHooks& HostWindowUp() {
    return g_window;
}

void HostAddTimePassedHook(void (*hook)()) {
    for (std::atomic<void (*)()>& slot : g_timeHooks) {
        void (*expected)() = nullptr;
        if (slot.load() == hook || slot.compare_exchange_strong(expected, hook) || expected == hook) return;
    }
}

void HostRunTimePassedHooks() {
    for (std::atomic<void (*)()>& slot : g_timeHooks) {
        void (*hook)() = slot.load();
        if (!hook) return;
        hook();
    }
}
