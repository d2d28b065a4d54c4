// The game clock on the host's multimedia timer, run on virtual time the test moves by hand: the
// millisecond counter, the seconds countdown, the wait countdown and WaitMs, and stopping and starting.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>

#include "framework/game_clock.h"
#include "host/backend/headless.h"
#include "host/mm/timer.h"
#include "host/win/clock.h"

namespace {

std::atomic<uint64_t> g_now{100000};
uint64_t TestNow() {
    return g_now.load();
}

class ClockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetClockServices(nullptr);
        HostSetClockSource(TestNow);
        StopCountdown();
        SetSecondsLeft(0);
        SetWaitCountdown(0);
    }
    void TearDown() override {
        StopClock();
        StopCountdown();
        SetClockServices(nullptr);
        HostUseBackendClock();
    }

    // Moves virtual time on by ms and runs the ticks that fell due.
    static void Advance(int ms) {
        g_now += uint64_t(ms);
        HostTimersRunDue();
    }
    // Runs n ticks of 10 ms, one at a time.
    static void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Advance(kClockStepMs);
    }
};

TEST_F(ClockTest, CounterMovesTenPerTickOnlyWhileTheTimerRuns) {
    int before = GetClockMs();
    Advance(100);
    EXPECT_EQ(GetClockMs(), before) << "no timer yet";

    ASSERT_EQ(StartClock(), 0);
    EXPECT_TRUE(IsClockRunning());
    int start = GetClockMs();
    Advance(9);
    EXPECT_EQ(GetClockMs(), start);
    Advance(1);
    EXPECT_EQ(GetClockMs(), start + 10);
    // One look at the clock after 35 ms of virtual time runs each tick due in it.
    Advance(35);
    EXPECT_EQ(GetClockMs(), start + 40);
    EXPECT_EQ(GetElapsedMs(start), 40);
    EXPECT_EQ(GetElapsedMs(start + 50), -10);
}

TEST_F(ClockTest, StartingARunningClockKeepsOneTimer) {
    ASSERT_EQ(StartClock(), 0);
    EXPECT_EQ(StartClock(), 0);
    int start = GetClockMs();
    Advance(10);
    EXPECT_EQ(GetClockMs(), start + 10) << "a second timer would double the clock's speed";
}

TEST_F(ClockTest, NoTickAfterStopAndAStoppedClockCanStartAgain) {
    ASSERT_EQ(StartClock(), 0);
    Advance(50);
    EXPECT_EQ(StopClock(), 0);
    EXPECT_FALSE(IsClockRunning());
    int stopped = GetClockMs();
    Advance(1000);
    EXPECT_EQ(GetClockMs(), stopped);
    EXPECT_EQ(StopClock(), 0) << "stopping a stopped clock does nothing";

    ASSERT_EQ(StartClock(), 0);
    Advance(20);
    EXPECT_EQ(GetClockMs(), stopped + 20) << "the counter goes on from where it stood";
}

TEST_F(ClockTest, CountdownDropsOneSecondEveryHundredTicksAndStopsAtZero) {
    ASSERT_EQ(StartClock(), 0);
    SetSecondsLeft(3);
    StartCountdown();
    EXPECT_EQ(IsCountdownRunning(), 1);
    // Find the first step (the second may already be partly gone), then count exactly.
    int ticks = 0;
    while (GetSecondsLeft() == 3 && ticks < 101) {
        Ticks(1);
        ++ticks;
    }
    ASSERT_EQ(GetSecondsLeft(), 2) << "one step within 100 ticks";
    Ticks(99);
    EXPECT_EQ(GetSecondsLeft(), 2);
    Ticks(1);
    EXPECT_EQ(GetSecondsLeft(), 1);
    Ticks(100);
    EXPECT_EQ(GetSecondsLeft(), 0);
    Ticks(300);
    EXPECT_EQ(GetSecondsLeft(), 0) << "never below zero";
}

TEST_F(ClockTest, StoppedCountdownFreezesAndASetValueWaitsForTheStart) {
    ASSERT_EQ(StartClock(), 0);
    SetSecondsLeft(7);
    Ticks(250);
    EXPECT_EQ(GetSecondsLeft(), 7) << "not started";
    StartCountdown();
    Ticks(200);
    EXPECT_EQ(GetSecondsLeft(), 5);
    StopCountdown();
    EXPECT_EQ(IsCountdownRunning(), 0);
    Ticks(300);
    EXPECT_EQ(GetSecondsLeft(), 5);
    SetSecondsLeft(9);
    Ticks(300);
    EXPECT_EQ(GetSecondsLeft(), 9);
    StartCountdown();
    Ticks(200);
    EXPECT_EQ(GetSecondsLeft(), 7);
}

TEST_F(ClockTest, WaitCountdownDrainsTenPerTickAndFloorsAtZero) {
    ASSERT_EQ(StartClock(), 0);
    SetWaitCountdown(25);
    Ticks(2);
    EXPECT_EQ(GetWaitCountdown(), 5);
    Ticks(1);
    EXPECT_EQ(GetWaitCountdown(), 0);
    Ticks(3);
    EXPECT_EQ(GetWaitCountdown(), 0);
}

TEST_F(ClockTest, WaitWithoutARunningTimerReturnsAtOnceAndKeepsTheMode) {
    SetClockMode(3);
    WaitMs(0);
    EXPECT_EQ(GetClockMode(), 3);
    WaitMs(500);
    EXPECT_EQ(GetClockMode(), 3);
    EXPECT_EQ(GetWaitCountdown(), 0);
}

TEST_F(ClockTest, WaitOnVirtualTimeReturnsInsteadOfSpinningForever) {
    // Headless, time moves only as frames are presented; a wait presents none.
    ASSERT_EQ(StartClock(), 0);
    SetClockMode(2);
    WaitMs(1000);
    EXPECT_EQ(GetClockMode(), 2);
    EXPECT_EQ(GetWaitCountdown(), 0);
}

TEST_F(ClockTest, ModePresets) {
    SetClockModePreset6();
    EXPECT_EQ(GetClockMode(), 6);
    SetClockModePreset4();
    EXPECT_EQ(GetClockMode(), 4);
    SetClockMode(1);
    EXPECT_EQ(GetClockMode(), 1);
}

} // namespace
