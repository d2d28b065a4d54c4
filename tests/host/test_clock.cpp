// The host clock: an installed source drives every millisecond clock; the 32-bit clocks wrap.
#include <gtest/gtest.h>

#include <atomic>
#include <ctime>

#include "host/win/clock.h"

namespace {

std::atomic<uint64_t> g_virtualMs{0};
uint64_t VirtualClock() {
    return g_virtualMs.load();
}

// Puts the real clock back whatever the test did.
struct ClockSourceGuard {
    ~ClockSourceGuard() { HostSetClockSource(nullptr); }
};

TEST(Clock, InstalledSourceDrivesEveryClock) {
    ClockSourceGuard guard;
    g_virtualMs = 123456;
    HostSetClockSource(VirtualClock);
    EXPECT_EQ(HostNowMs(), 123456u);
    EXPECT_EQ(timeGetTime(), 123456u);
    EXPECT_EQ(GetTickCount(), 123456u);
    g_virtualMs += 16;
    EXPECT_EQ(timeGetTime(), 123472u);
}

TEST(Clock, ThirtyTwoBitClocksWrapWhileTheHostClockDoesNot) {
    ClockSourceGuard guard;
    HostSetClockSource(VirtualClock);
    g_virtualMs = 0xFFFFFFF0ull;
    DWORD before = timeGetTime();
    g_virtualMs += 0x20;
    DWORD after = GetTickCount();
    EXPECT_EQ(after, 0x10u);
    EXPECT_EQ(HostNowMs(), 0x100000010ull);
    // Differences taken in 32 bits stay right across the wrap, as callers compute them.
    EXPECT_EQ(DWORD(after - before), 0x20u);
}

// The machine's uptime in milliseconds, from the kernel's boot-time clock.
uint64_t UptimeMs() {
    timespec now{};
    EXPECT_EQ(0, clock_gettime(CLOCK_BOOTTIME, &now));
    return uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
}

TEST(Clock, RealClockCountsFromTheMachinesStart) {
    HostSetClockSource(nullptr);
    const uint64_t before = UptimeMs();
    const uint64_t host = HostNowMs();
    const DWORD tick = timeGetTime();
    const uint64_t after = UptimeMs();
    EXPECT_GE(host, before);
    EXPECT_LE(host, after);
    // The 32-bit clocks are the uptime modulo 2^32 (the difference, taken in 32 bits, is tiny).
    EXPECT_LE(DWORD(tick - DWORD(before)), DWORD(after - before) + 1u);
    EXPECT_LE(DWORD(GetTickCount() - DWORD(before)), DWORD(UptimeMs() - before) + 1u);
}

TEST(Clock, RemovingTheSourceRestoresRealTime) {
    {
        ClockSourceGuard guard;
        g_virtualMs = 1ull << 50; // far beyond any uptime
        HostSetClockSource(VirtualClock);
        EXPECT_EQ(HostNowMs(), 1ull << 50);
    }
    uint64_t first = HostNowMs();
    EXPECT_LT(first, 1ull << 50);
    EXPECT_LE(first, UptimeMs());
    Sleep(15);
    uint64_t second = HostNowMs();
    EXPECT_GE(second, first + 15); // Sleep waits at least as long as asked, on the real clock
}

} // namespace
