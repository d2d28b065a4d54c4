#include "host/win/clock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "host/backend/backend.h"

namespace {

std::atomic<HostClockSource> g_source{nullptr};

uint64_t Milliseconds(const timespec& time) {
    return uint64_t(time.tv_sec) * 1000u + uint64_t(time.tv_nsec) / 1000000u;
}

// Real milliseconds since the machine started, as the platform's tick counters count them: the boot
// clock includes the time the machine was suspended; the monotonic clock stands in where it is missing.
uint64_t RealNowMs() {
    timespec now{};
#ifdef CLOCK_BOOTTIME
    if (clock_gettime(CLOCK_BOOTTIME, &now) == 0) return Milliseconds(now);
#endif
    clock_gettime(CLOCK_MONOTONIC, &now);
    return Milliseconds(now);
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
