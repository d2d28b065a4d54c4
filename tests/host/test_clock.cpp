// The host clock: an installed source drives every millisecond clock; the 32-bit clocks wrap.
#include <gtest/gtest.h>

#include <atomic>

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

TEST(Clock, RemovingTheSourceRestoresRealTime) {
    {
        ClockSourceGuard guard;
        g_virtualMs = 5000000000ull;
        HostSetClockSource(VirtualClock);
    }
    uint64_t first = HostNowMs();
    EXPECT_LT(first, 5000000000ull);
    Sleep(15);
    uint64_t second = HostNowMs();
    EXPECT_GE(second, first + 15); // Sleep waits at least as long as asked, on the real clock
}

} // namespace
