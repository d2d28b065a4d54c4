#include "framework/game_clock.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "framework/message_log.h"
#include "framework/mouse_cursor.h"
#include "host/mm/timer.h"

namespace {

// What the timer callback is handed: the counter it advances and by how much.
struct ClockTimerData {
    std::atomic<int>* counter;
    int step;
};

// Shared with the timer thread.
std::atomic<int> clockMs{0};
std::atomic<int> lastTick{0};
std::atomic<int> secondAccumulator{0};
std::atomic<int> waitCountdown{0};
std::atomic<int> secondsLeft{0};
std::atomic<int> countdownRunning{0};
std::atomic<int> clockMode{0};
// Set before the timer starts and cleared before it is killed: a tick that finds it clear does nothing.
std::atomic<bool> clockActive{false};
// Ticks running now; StopClock waits for them to return.
std::atomic<int> ticksInFlight{0};

// Main thread only.
UINT timerId = 0;
ClockTimerData userData{&clockMs, kClockStepMs};

void PollCursorButtons() {
    g_mouseCursor.PollButtons();
}

ClockServices services = DefaultClockServices();

// Takes amount from value, never going below 0.
void DrainTo0(std::atomic<int>& value, int amount) {
    int current = value.load();
    while (current > 0 && !value.compare_exchange_weak(current, std::max(current - amount, 0))) {
    }
}

// The tick after the counter moved: the mouse buttons, the wait and the seconds countdown.
void Tick() {
    services.pollButtons();
    int now = clockMs.load();
    int elapsed = now - lastTick.exchange(now);
    int accumulated = secondAccumulator.fetch_add(elapsed) + elapsed;
    DrainTo0(waitCountdown, elapsed);
    if (accumulated > 998) {
        secondAccumulator.store(0);
        if (countdownRunning.load() == 1) DrainTo0(secondsLeft, 1);
    }
}

void CALLBACK ClockTimerProc(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    ticksInFlight.fetch_add(1);
    if (clockActive.load()) {
        const ClockTimerData* data = reinterpret_cast<const ClockTimerData*>(user);
        data->counter->fetch_add(data->step);
        Tick();
    }
    ticksInFlight.fetch_sub(1);
}

} // namespace

ClockServices DefaultClockServices() {
    return ClockServices{timeGetDevCaps, timeBeginPeriod, timeEndPeriod,
                         timeSetEvent,   timeKillEvent,   PollCursorButtons};
}

void SetClockServices(const ClockServices* replacement) {
    if (timerId) return;
    services = replacement ? *replacement : DefaultClockServices();
}

int StartClock() {
    if (timerId) return 0;
    TIMECAPS caps{};
    if (services.getDevCaps(&caps, sizeof caps) != TIMERR_NOERROR || UINT(kClockStepMs) < caps.wPeriodMin ||
        UINT(kClockStepMs) > caps.wPeriodMax) {
        LogMessage("Unable to use timers on this system\n");
        return 1;
    }
    if (services.beginPeriod(kClockStepMs) != TIMERR_NOERROR) return 1;
    clockActive.store(true);
    timerId = services.setEvent(kClockStepMs, 5, ClockTimerProc, reinterpret_cast<DWORD_PTR>(&userData),
                                TIME_PERIODIC);
    if (timerId == 0) {
        // Reported, not hidden: a clock that never moves would leave every wait spinning.
        clockActive.store(false);
        services.endPeriod(kClockStepMs);
        return 1;
    }
    return 0;
}

int StopClock() {
    if (!timerId) return 0;
    clockActive.store(false);
    services.killEvent(timerId);
    // The menu frees the input devices right after this, and a tick reads the mouse.
    while (ticksInFlight.load() != 0)
        std::this_thread::yield();
    services.endPeriod(kClockStepMs);
    timerId = 0;
    return 0;
}

bool IsClockRunning() {
    return timerId != 0;
}

int GetClockMs() {
    return clockMs.load();
}

int GetElapsedMs(int t) {
    return clockMs.load() - t;
}

void SetSecondsLeft(int seconds) {
    secondsLeft.store(seconds);
}

int GetSecondsLeft() {
    return secondsLeft.load();
}

void AddToSecondsLeft(int seconds) {
    secondsLeft.fetch_add(seconds);
}

void StartCountdown() {
    countdownRunning.store(1);
}

void StopCountdown() {
    countdownRunning.store(0);
}

int IsCountdownRunning() {
    return countdownRunning.load();
}

void SetWaitCountdown(int ms) {
    waitCountdown.store(ms);
}

int GetWaitCountdown() {
    return waitCountdown.load();
}

void WaitMs(int ms) {
    int mode = clockMode.exchange(1);
    waitCountdown.store(std::max(ms, 0));
    // Only a timer on its own thread can drain the wait while this thread spins; on a virtual clock
    // HostYieldToTimers says at once that none will, and the wait ends.
    bool mayDrain = timerId != 0;
    while (mayDrain && clockActive.load() && waitCountdown.load() > 0)
        mayDrain = HostYieldToTimers();
    waitCountdown.store(0);
    clockMode.store(mode);
}

void SetClockMode(int mode) {
    clockMode.store(mode);
}

int GetClockMode() {
    return clockMode.load();
}

void SetClockModePreset6() {
    clockMode.store(6);
}

void SetClockModePreset4() {
    clockMode.store(4);
}
