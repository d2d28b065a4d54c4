// The game clock on timers that fail or misbehave: a start that cannot happen is reported, leaves the
// clock still and logs why; a stop waits for a tick that is running on the timer thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "framework/game_clock.h"
#include "framework/message_log.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

// A timer the test controls: what it offers, whether it starts, and what it was asked.
struct FakeTimer {
    UINT periodMin = 1;
    UINT periodMax = 1000;
    UINT idToGive = 7;
    int begun = 0;
    int ended = 0;
    int started = 0;
    int killed = 0;
    UINT killedId = 0;
    LPTIMECALLBACK callback = nullptr;
    DWORD_PTR user = 0;
};
FakeTimer g_fake;

// The tick's button poll can be held, so a tick stays in flight while the test stops the clock.
std::atomic<bool> g_holdPoll{false};
std::atomic<bool> g_inPoll{false};

MMRESULT FakeCaps(LPTIMECAPS caps, UINT) {
    caps->wPeriodMin = g_fake.periodMin;
    caps->wPeriodMax = g_fake.periodMax;
    return TIMERR_NOERROR;
}
MMRESULT FakeBegin(UINT) {
    ++g_fake.begun;
    return TIMERR_NOERROR;
}
MMRESULT FakeEnd(UINT) {
    ++g_fake.ended;
    return TIMERR_NOERROR;
}
UINT FakeSetEvent(UINT, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT) {
    ++g_fake.started;
    g_fake.callback = callback;
    g_fake.user = user;
    return g_fake.idToGive;
}
// Returns at once even while a callback runs: the clock itself must wait.
MMRESULT FakeKill(UINT id) {
    ++g_fake.killed;
    g_fake.killedId = id;
    return TIMERR_NOERROR;
}
void HeldPoll() {
    g_inPoll = true;
    while (g_holdPoll.load())
        std::this_thread::yield();
    g_inPoll = false;
}

class ClockServicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_fake = FakeTimer{};
        g_holdPoll = false;
        ClockServices services{FakeCaps, FakeBegin, FakeEnd, FakeSetEvent, FakeKill, HeldPoll};
        SetClockServices(&services);
    }
    void TearDown() override {
        StopClock();
        SetClockServices(nullptr);
    }
};

TEST_F(ClockServicesTest, AMachineWithoutATenMillisecondPeriodIsReportedAndLogged) {
    const testsupport::TempCurrentFolder folder("clock-log");
    ASSERT_FALSE(folder.Path().empty());
    g_logEnabled = 1;

    g_fake.periodMin = 15;
    int before = GetClockMs();
    EXPECT_EQ(StartClock(), 1);
    EXPECT_FALSE(IsClockRunning());
    EXPECT_EQ(g_fake.started, 0);
    EXPECT_EQ(g_fake.begun, 0);
    EXPECT_EQ(GetClockMs(), before);

    g_logEnabled = 0;
    EXPECT_NE(testsupport::ReadText("debug.log").find("Unable to use timers on this system"),
              std::string::npos);
}

TEST_F(ClockServicesTest, ATimerThatCannotStartIsReportedAndItsPeriodGivenBack) {
    g_fake.idToGive = 0;
    EXPECT_EQ(StartClock(), 1) << "a clock that never moves must not be reported as started";
    EXPECT_FALSE(IsClockRunning());
    EXPECT_EQ(g_fake.begun, 1);
    EXPECT_EQ(g_fake.ended, 1);
    // Nothing to wait for: a wait returns at once.
    WaitMs(200);
    EXPECT_EQ(GetWaitCountdown(), 0);
    EXPECT_EQ(StopClock(), 0);
    EXPECT_EQ(g_fake.killed, 0);
}

TEST_F(ClockServicesTest, TheCallbackAdvancesTheCounterItWasGiven) {
    ASSERT_EQ(StartClock(), 0);
    ASSERT_NE(g_fake.callback, nullptr);
    int before = GetClockMs();
    g_fake.callback(g_fake.idToGive, 0, g_fake.user, 0, 0);
    g_fake.callback(g_fake.idToGive, 0, g_fake.user, 0, 0);
    EXPECT_EQ(GetClockMs(), before + 20);
    EXPECT_EQ(StopClock(), 0);
    EXPECT_EQ(g_fake.killed, 1);
    EXPECT_EQ(g_fake.killedId, g_fake.idToGive);
    EXPECT_EQ(g_fake.ended, 1);
    // A late call from a timer that did not stop in time changes nothing.
    g_fake.callback(g_fake.idToGive, 0, g_fake.user, 0, 0);
    EXPECT_EQ(GetClockMs(), before + 20);
}

TEST_F(ClockServicesTest, StopWaitsForATickInFlight) {
    ASSERT_EQ(StartClock(), 0);
    SetWaitCountdown(1000);
    g_holdPoll = true;
    std::thread timer([] { g_fake.callback(g_fake.idToGive, 0, g_fake.user, 0, 0); });
    while (!g_inPoll.load())
        std::this_thread::yield();

    std::atomic<bool> stopReturned{false};
    std::atomic<int> countdownAtStop{-1};
    std::thread stopper([&] {
        StopClock();
        countdownAtStop = GetWaitCountdown();
        stopReturned = true;
    });
    // Give the stop time to reach its wait; it must not come back while the tick is held.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(stopReturned.load());
    g_holdPoll = false;
    stopper.join();
    timer.join();
    EXPECT_EQ(countdownAtStop.load(), 990) << "the stop returned before the tick had finished";
}

} // namespace
