// Multimedia timers: on virtual time (headless, run by HostTimersRunDue) and on the timer thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/backend/headless.h"
#include "host/backend/present.h"
#include "host/mm/timer.h"
#include "host/win/clock.h"

namespace {

std::atomic<uint64_t> g_now{0};
uint64_t TestNow() {
    return g_now.load();
}

// What the callbacks saw, in order.
struct Calls {
    std::mutex lock;
    std::vector<std::pair<UINT, uint64_t>> seen; // timer id, virtual time
    void Add(UINT id) {
        std::lock_guard<std::mutex> guard(lock);
        seen.emplace_back(id, g_now.load());
    }
    size_t Count() {
        std::lock_guard<std::mutex> guard(lock);
        return seen.size();
    }
};

void RecordCall(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    reinterpret_cast<Calls*>(user)->Add(id);
}

class MmVirtualTimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_now = 5000;
        HostSetClockSource(TestNow);
    }
    void TearDown() override {
        for (UINT id : started_)
            timeKillEvent(id);
        // Back to the headless backend's clock: virtual time by presented frames.
        HostSetClockSource([] { return HostHeadlessMsAtFrame(HostPresentedFrames()); });
    }

    UINT Start(UINT delay, LPTIMECALLBACK callback, void* user, UINT flags = TIME_PERIODIC) {
        UINT id = timeSetEvent(delay, 5, callback, DWORD_PTR(user), flags | TIME_CALLBACK_FUNCTION);
        if (id) started_.push_back(id);
        return id;
    }

    // Moves virtual time on and runs what fell due.
    static int AdvanceTo(uint64_t ms) {
        g_now = ms;
        return HostTimersRunDue();
    }

    std::vector<UINT> started_;
};

TEST_F(MmVirtualTimerTest, PeriodicCallbacksComeEveryTenMilliseconds) {
    Calls calls;
    UINT id = Start(10, RecordCall, &calls);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(AdvanceTo(5009), 0);
    EXPECT_EQ(AdvanceTo(5010), 1);
    // A frame of 1/60 s that passes two deadlines runs both.
    EXPECT_EQ(AdvanceTo(5035), 2);
    EXPECT_EQ(AdvanceTo(5035), 0);
    EXPECT_EQ(AdvanceTo(5040), 1);
    ASSERT_EQ(calls.seen.size(), 4u);
    for (const auto& call : calls.seen)
        EXPECT_EQ(call.first, id);
}

TEST_F(MmVirtualTimerTest, ManyFramesKeepTheAverageExactly) {
    Calls calls;
    ASSERT_NE(Start(10, RecordCall, &calls), 0u);
    // 600 frames of a 60 Hz clock: 10 virtual seconds, so exactly 1000 ticks.
    for (int frame = 1; frame <= 600; ++frame)
        AdvanceTo(5000 + uint64_t(frame) * 1000 / 60);
    EXPECT_EQ(calls.Count(), 1000u);
}

TEST_F(MmVirtualTimerTest, DueCallbacksRunEarliestFirstThenInStartingOrder) {
    Calls calls;
    UINT a = Start(10, RecordCall, &calls);
    UINT b = Start(15, RecordCall, &calls);
    ASSERT_NE(a, b);
    EXPECT_EQ(AdvanceTo(5030), 5);
    std::vector<UINT> order;
    for (const auto& call : calls.seen)
        order.push_back(call.first);
    EXPECT_EQ(order, (std::vector<UINT>{a, b, a, a, b}));
}

TEST_F(MmVirtualTimerTest, OneShotRunsOnceAndEnds) {
    Calls calls;
    UINT id = Start(25, RecordCall, &calls, TIME_ONESHOT);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(AdvanceTo(5100), 1);
    EXPECT_EQ(AdvanceTo(5200), 0);
    EXPECT_EQ(timeKillEvent(id), UINT(MMSYSERR_INVALPARAM));
}

TEST_F(MmVirtualTimerTest, KilledTimersRunNoMore) {
    Calls calls;
    UINT id = Start(10, RecordCall, &calls);
    EXPECT_EQ(AdvanceTo(5020), 2);
    EXPECT_EQ(timeKillEvent(id), UINT(TIMERR_NOERROR));
    EXPECT_EQ(AdvanceTo(5100), 0);
    EXPECT_EQ(timeKillEvent(id), UINT(MMSYSERR_INVALPARAM));
    EXPECT_EQ(timeKillEvent(0), UINT(MMSYSERR_INVALPARAM));
}

struct SelfKill {
    UINT id = 0;
    std::atomic<int> calls{0};
    std::atomic<MMRESULT> killed{99};
};

void KillMyself(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* self = reinterpret_cast<SelfKill*>(user);
    ++self->calls;
    self->killed = timeKillEvent(id);
}

TEST_F(MmVirtualTimerTest, KillFromInsideTheCallbackReturnsAtOnce) {
    SelfKill self;
    self.id = Start(10, KillMyself, &self);
    ASSERT_NE(self.id, 0u);
    EXPECT_EQ(AdvanceTo(5050), 1);
    EXPECT_EQ(self.calls.load(), 1);
    EXPECT_EQ(self.killed.load(), UINT(TIMERR_NOERROR));
}

void RunDueFromInside(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    reinterpret_cast<std::atomic<int>*>(user)->store(HostTimersRunDue());
}

TEST_F(MmVirtualTimerTest, RunningDueTimersFromACallbackDoesNothing) {
    std::atomic<int> nested{-1};
    ASSERT_NE(Start(10, RunDueFromInside, &nested), 0u);
    EXPECT_EQ(AdvanceTo(5010), 1);
    EXPECT_EQ(nested.load(), 0);
}

struct Blocking {
    std::atomic<bool> entered{false};
    std::atomic<bool> killCalled{false};
    std::atomic<bool> finished{false};
};

void BlockUntilKilled(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* state = reinterpret_cast<Blocking*>(user);
    state->entered = true;
    while (!state->killCalled)
        std::this_thread::yield();
    // Long enough that a kill which did not wait would return first.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    state->finished = true;
}

TEST_F(MmVirtualTimerTest, KillWaitsForTheCallbackRunningOnAnotherThread) {
    Blocking state;
    UINT id = Start(10, BlockUntilKilled, &state);
    g_now = 5010;
    std::thread runner([] { HostTimersRunDue(); });
    while (!state.entered)
        std::this_thread::yield();
    state.killCalled = true;
    EXPECT_EQ(timeKillEvent(id), UINT(TIMERR_NOERROR));
    EXPECT_TRUE(state.finished.load());
    runner.join();
}

TEST_F(MmVirtualTimerTest, BadRequestsStartNoTimer) {
    Calls calls;
    EXPECT_EQ(Start(10, nullptr, &calls), 0u);
    EXPECT_EQ(Start(0, RecordCall, &calls), 0u);
    EXPECT_EQ(Start(10, RecordCall, &calls, 0x0010), 0u);
    EXPECT_EQ(AdvanceTo(6000), 0);
}

TEST(MmTimerCaps, TenMillisecondsLieWithinThePeriodsOffered) {
    TIMECAPS caps{};
    EXPECT_EQ(timeGetDevCaps(&caps, 3), UINT(TIMERR_STRUCT));
    EXPECT_EQ(timeGetDevCaps(nullptr, sizeof caps), UINT(TIMERR_STRUCT));
    ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), UINT(TIMERR_NOERROR));
    EXPECT_LE(caps.wPeriodMin, 10u);
    EXPECT_GE(caps.wPeriodMax, 10u);
}

TEST(MmTimerCaps, PeriodsNestAndMustPair) {
    EXPECT_EQ(timeEndPeriod(7), UINT(TIMERR_NOCANDO));
    ASSERT_EQ(timeBeginPeriod(7), UINT(TIMERR_NOERROR));
    ASSERT_EQ(timeBeginPeriod(7), UINT(TIMERR_NOERROR));
    EXPECT_EQ(timeEndPeriod(7), UINT(TIMERR_NOERROR));
    EXPECT_EQ(timeEndPeriod(7), UINT(TIMERR_NOERROR));
    EXPECT_EQ(timeEndPeriod(7), UINT(TIMERR_NOCANDO));
    EXPECT_EQ(timeBeginPeriod(0), UINT(TIMERR_NOCANDO));
}

// The timer thread, with a real clock: the backend is not headless while these timers start.
class MmRealTimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* backend = std::getenv("HOST_BACKEND");
        saved_ = backend ? backend : "";
        setenv("HOST_BACKEND", "sdl", 1);
    }
    void TearDown() override { setenv("HOST_BACKEND", saved_.c_str(), 1); }

    // Waits (a bounded while, so a broken timer fails rather than hangs) until done() holds.
    template <class Done> static bool WaitFor(Done done) {
        auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > limit) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    std::string saved_;
};

struct Ticks {
    std::atomic<int> count{0};
    std::atomic<bool> afterKill{false};
    std::atomic<int> lateCalls{0};
    std::atomic<bool> wrongThread{false};
    std::thread::id mainThread;
};

void Tick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* ticks = reinterpret_cast<Ticks*>(user);
    if (std::this_thread::get_id() == ticks->mainThread) ticks->wrongThread = true;
    if (ticks->afterKill) ++ticks->lateCalls;
    ++ticks->count;
}

TEST_F(MmRealTimerTest, PeriodicCallbacksRunOnTheTimerThreadUntilKilled) {
    Ticks ticks;
    ticks.mainThread = std::this_thread::get_id();
    UINT id = timeSetEvent(10, 5, Tick, DWORD_PTR(&ticks), TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(WaitFor([&] { return ticks.count >= 5; }));
    ASSERT_EQ(timeKillEvent(id), UINT(TIMERR_NOERROR));
    ticks.afterKill = true;
    int atKill = ticks.count;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ticks.count.load(), atKill);
    EXPECT_EQ(ticks.lateCalls.load(), 0);
    EXPECT_FALSE(ticks.wrongThread.load());
}

TEST_F(MmRealTimerTest, KillFromInsideTheCallbackDoesNotDeadlock) {
    SelfKill self;
    self.id = timeSetEvent(10, 5, KillMyself, DWORD_PTR(&self), TIME_PERIODIC);
    ASSERT_NE(self.id, 0u);
    EXPECT_TRUE(WaitFor([&] { return self.killed != 99; }));
    EXPECT_EQ(self.killed.load(), UINT(TIMERR_NOERROR));
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(self.calls.load(), 1);
    EXPECT_EQ(timeKillEvent(self.id), UINT(MMSYSERR_INVALPARAM));
}

TEST_F(MmRealTimerTest, KillWaitsForTheRunningCallback) {
    Blocking state;
    UINT id = timeSetEvent(10, 5, BlockUntilKilled, DWORD_PTR(&state), TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(WaitFor([&] { return state.entered.load(); }));
    state.killCalled = true;
    EXPECT_EQ(timeKillEvent(id), UINT(TIMERR_NOERROR));
    EXPECT_TRUE(state.finished.load());
}

TEST_F(MmRealTimerTest, OneShotRunsOnce) {
    Ticks ticks;
    UINT id = timeSetEvent(5, 1, Tick, DWORD_PTR(&ticks), TIME_ONESHOT);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(WaitFor([&] { return ticks.count >= 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(ticks.count.load(), 1);
}

} // namespace
