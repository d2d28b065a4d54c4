#include "host/ddraw/hooks.h"

#include <atomic>

namespace host_ddraw {
namespace {
std::atomic<HostDDrawDriverQueryHook> g_driverQuery{nullptr};
std::atomic<HostDDrawSurfaceQueryHook> g_surfaceQuery{nullptr};
std::atomic<HostDDrawSurfaceGoneHook> g_surfaceGone{nullptr};
} // namespace

HostDDrawDriverQueryHook DriverQueryHook() {
    return g_driverQuery.load();
}
HostDDrawSurfaceQueryHook SurfaceQueryHook() {
    return g_surfaceQuery.load();
}
HostDDrawSurfaceGoneHook SurfaceGoneHook() {
    return g_surfaceGone.load();
}

} // namespace host_ddraw

HostDDrawDriverQueryHook HostDDrawSetDriverQueryHook(HostDDrawDriverQueryHook hook) {
    return host_ddraw::g_driverQuery.exchange(hook);
}
HostDDrawSurfaceQueryHook HostDDrawSetSurfaceQueryHook(HostDDrawSurfaceQueryHook hook) {
    return host_ddraw::g_surfaceQuery.exchange(hook);
}
HostDDrawSurfaceGoneHook HostDDrawSetSurfaceGoneHook(HostDDrawSurfaceGoneHook hook) {
    return host_ddraw::g_surfaceGone.exchange(hook);
}
