#include "host/win/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "host/backend/backend.h"

namespace {

std::atomic<HostClockSource> g_source{nullptr};

// Real monotonic milliseconds since the first use of the clock in this process.
uint64_t RealNowMs() {
    using namespace std::chrono;
    static const steady_clock::time_point origin = steady_clock::now();
    return uint64_t(duration_cast<milliseconds>(steady_clock::now() - origin).count());
}

} // namespace

void HostSetClockSource(HostClockSource source) {
    g_source.store(source);
}

void HostUseBackendClock() {
    HostSetClockSource(HostGetBackend().virtualNowMs);
}

uint64_t HostNowMs() {
    HostClockSource source = g_source.load();
    return source ? source() : RealNowMs();
}

DWORD timeGetTime() {
    return DWORD(HostNowMs() & 0xFFFFFFFFu);
}

DWORD GetTickCount() {
    return DWORD(HostNowMs() & 0xFFFFFFFFu);
}

void Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void HostPaceWait(DWORD milliseconds) {
    if (!HostChosenBackend().virtualNowMs) Sleep(milliseconds);
}
