// Choosing and starting the backend, once per process.
#include "host/backend/backend.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "host/backend/hooks.h"

namespace {

std::once_flag g_once;
const HostBackend* g_backend = nullptr;
std::atomic<bool> g_started{false};

void ShutdownAtExit() {
    if (g_backend && g_backend->shutdown) g_backend->shutdown();
}

void Start() {
    const HostBackend* backend = &HostChosenBackend();
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
    HostWindowUp().backendStarted(*backend);
}

} // namespace

bool HostIsHeadless() {
    const char* backend = std::getenv("HOST_BACKEND");
    return backend && std::strcmp(backend, "headless") == 0;
}

const HostBackend& HostChosenBackend() {
    return HostIsHeadless() ? g_HostHeadlessBackend : g_HostSdlBackend;
}

const HostBackend& HostGetBackend() {
    std::call_once(g_once, Start);
    return *g_backend;
}

bool HostBackendStarted() {
    return g_started.load();
}
