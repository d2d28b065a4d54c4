// Choosing and starting the backend, once per process.
#include "host/backend/backend.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "host/base/record.h"

namespace {

std::once_flag g_once;
const HostBackend* g_backend = nullptr;
std::atomic<bool> g_started{false};

void ShutdownAtExit() {
    if (g_backend && g_backend->shutdown) g_backend->shutdown();
}

void Start() {
    const HostBackend* backend = HostIsHeadless() ? &g_HostHeadlessBackend : &g_HostSdlBackend;
    std::string error;
    if (!backend->init(error)) {
        // Nothing useful can run without the machine: say why in one line and end.
        std::fprintf(stderr, "%s\n", error.c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    g_backend = backend;
    g_started.store(true);
    std::atexit(ShutdownAtExit);
}

} // namespace

const HostBackend& HostGetBackend() {
    std::call_once(g_once, Start);
    return *g_backend;
}

bool HostBackendStarted() {
    return g_started.load();
}
