#include "host/mm/timer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "host/backend/backend.h"
#include "host/backend/hooks.h"
#include "host/win/clock.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr UINT kPeriodMin = 1;
constexpr UINT kPeriodMax = 1000000;
// A real timer this far behind its schedule (a stalled machine) starts a fresh schedule instead of
// running every missed period back to back.
constexpr auto kMaxRealLag = std::chrono::seconds(1);

struct Timer {
    LPTIMECALLBACK callback;
    DWORD_PTR user;
    UINT period;
    bool periodic;
    bool virtualTime; // runs from HostTimersRunDue by the host clock, not on the timer thread
    uint64_t sequence;
    uint64_t dueMs;                 // virtual: the next deadline on the host clock
    SteadyClock::time_point origin; // real: the deadlines are origin + ticks x period
    uint64_t ticks;
};

struct Running {
    UINT id;
    std::thread::id thread;
};

struct TimerService {
    std::mutex lock;                 // guards everything below
    std::condition_variable changed; // timers added or killed, or a callback returned
    std::map<UINT, Timer> timers;
    std::vector<Running> running;
    UINT nextId = 1;
    uint64_t nextSequence = 0;
    std::map<UINT, int> periodsBegun;
    std::thread worker;
    bool stopWorker = false;
    std::atomic<bool> virtualRunnerBusy{false};
};

// Never destroyed (the worker may still be waiting on it while the process ends); the worker itself is
// ended by WorkerStopper.
TimerService& Service() {
    static TimerService* service = new TimerService;
    return *service;
}

void RunDueTimers() {
    HostTimersRunDue();
}

// A virtual clock moves only when the backend presents a frame: the timers due by then run at that point.
bool OnVirtualTime() {
    if (!HostChosenBackend().virtualNowMs) return false;
    HostAddTimePassedHook(RunDueTimers);
    return true;
}

SteadyClock::time_point RealDue(const Timer& timer) {
    return timer.origin + std::chrono::milliseconds(uint64_t(timer.period) * timer.ticks);
}

bool IsRunning(const TimerService& service, UINT id) {
    return std::any_of(service.running.begin(), service.running.end(),
                       [id](const Running& run) { return run.id == id; });
}

bool IsRunningOnThisThread(const TimerService& service, UINT id) {
    std::thread::id self = std::this_thread::get_id();
    return std::any_of(service.running.begin(), service.running.end(),
                       [id, self](const Running& run) { return run.id == id && run.thread == self; });
}

void FinishRun(TimerService& service, UINT id) {
    std::thread::id self = std::this_thread::get_id();
    auto found = std::find_if(service.running.begin(), service.running.end(),
                              [id, self](const Running& run) { return run.id == id && run.thread == self; });
    if (found != service.running.end()) service.running.erase(found);
    service.changed.notify_all();
}

// With the lock held: the timer of the kind asked whose deadline comes first (ties: started first).
std::map<UINT, Timer>::iterator EarliestTimer(TimerService& service, bool virtualTime) {
    auto best = service.timers.end();
    for (auto it = service.timers.begin(); it != service.timers.end(); ++it) {
        const Timer& timer = it->second;
        if (timer.virtualTime != virtualTime) continue;
        if (best == service.timers.end()) {
            best = it;
            continue;
        }
        const Timer& other = best->second;
        bool earlier = virtualTime ? timer.dueMs < other.dueMs : RealDue(timer) < RealDue(other);
        bool same = virtualTime ? timer.dueMs == other.dueMs : RealDue(timer) == RealDue(other);
        if (earlier || (same && timer.sequence < other.sequence)) best = it;
    }
    return best;
}

// With the lock held: the timer's callback is about to run; moves it to its next deadline (or ends a
// one-shot timer) and records the run.
void BeginRun(TimerService& service, std::map<UINT, Timer>::iterator it, SteadyClock::time_point now) {
    Timer& timer = it->second;
    service.running.push_back({it->first, std::this_thread::get_id()});
    if (!timer.periodic) {
        service.timers.erase(it);
        return;
    }
    if (timer.virtualTime) {
        timer.dueMs += timer.period;
        return;
    }
    ++timer.ticks;
    if (now - RealDue(timer) > kMaxRealLag) {
        timer.origin = now;
        timer.ticks = 1;
    }
}

// The timer thread: runs the real timers' callbacks at their deadlines, one at a time.
void WorkerLoop() {
    TimerService& service = Service();
    std::unique_lock<std::mutex> guard(service.lock);
    while (!service.stopWorker) {
        auto next = EarliestTimer(service, false);
        if (next == service.timers.end()) {
            service.changed.wait(guard);
            continue;
        }
        SteadyClock::time_point due = RealDue(next->second);
        SteadyClock::time_point now = SteadyClock::now();
        if (due > now) {
            service.changed.wait_until(guard, due);
            continue;
        }
        UINT id = next->first;
        LPTIMECALLBACK callback = next->second.callback;
        DWORD_PTR user = next->second.user;
        BeginRun(service, next, now);
        guard.unlock();
        callback(id, 0, user, 0, 0);
        guard.lock();
        FinishRun(service, id);
    }
}

// Ends the timer thread when the process ends.
struct WorkerStopper {
    ~WorkerStopper() {
        TimerService& service = Service();
        {
            std::lock_guard<std::mutex> guard(service.lock);
            service.stopWorker = true;
            service.changed.notify_all();
        }
        if (!service.worker.joinable()) return;
        if (service.worker.get_id() == std::this_thread::get_id())
            service.worker.detach();
        else
            service.worker.join();
    }
};

// With the lock held: starts the timer thread if it is not running. False when it cannot start.
bool EnsureWorker(TimerService& service) {
    static WorkerStopper stopper;
    if (service.worker.joinable()) return true;
    try {
        service.worker = std::thread(WorkerLoop);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

} // namespace

MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size) {
    if (!caps || size != sizeof(TIMECAPS)) return TIMERR_STRUCT;
    caps->wPeriodMin = kPeriodMin;
    caps->wPeriodMax = kPeriodMax;
    return TIMERR_NOERROR;
}

MMRESULT timeBeginPeriod(UINT period) {
    if (period < kPeriodMin || period > kPeriodMax) return TIMERR_NOCANDO;
    TimerService& service = Service();
    std::lock_guard<std::mutex> guard(service.lock);
    ++service.periodsBegun[period];
    return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT period) {
    TimerService& service = Service();
    std::lock_guard<std::mutex> guard(service.lock);
    auto found = service.periodsBegun.find(period);
    if (found == service.periodsBegun.end()) return TIMERR_NOCANDO;
    if (--found->second == 0) service.periodsBegun.erase(found);
    return TIMERR_NOERROR;
}

UINT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
    (void)resolution;
    if (!callback || delay < kPeriodMin || delay > kPeriodMax) return 0;
    if (flags & ~UINT(TIME_PERIODIC | TIME_CALLBACK_FUNCTION)) return 0;
    TimerService& service = Service();
    std::lock_guard<std::mutex> guard(service.lock);
    Timer timer{};
    timer.callback = callback;
    timer.user = user;
    timer.period = delay;
    timer.periodic = (flags & TIME_PERIODIC) != 0;
    timer.virtualTime = OnVirtualTime();
    timer.sequence = service.nextSequence++;
    if (timer.virtualTime) {
        timer.dueMs = HostNowMs() + delay;
    } else {
        if (!EnsureWorker(service)) return 0;
        timer.origin = SteadyClock::now();
        timer.ticks = 1;
    }
    // Ids are never 0 and not reused while a timer holds them.
    UINT id = service.nextId;
    while (id == 0 || service.timers.count(id) || IsRunning(service, id))
        ++id;
    service.nextId = id + 1;
    service.timers.emplace(id, timer);
    service.changed.notify_all();
    return id;
}

MMRESULT timeKillEvent(UINT id) {
    TimerService& service = Service();
    std::unique_lock<std::mutex> guard(service.lock);
    bool known = service.timers.erase(id) > 0 || IsRunning(service, id);
    service.changed.notify_all();
    if (!IsRunningOnThisThread(service, id))
        service.changed.wait(guard, [&] { return !IsRunning(service, id); });
    return known ? TIMERR_NOERROR : MMSYSERR_INVALPARAM;
}

int HostTimersRunDue() {
    TimerService& service = Service();
    if (service.virtualRunnerBusy.exchange(true)) return 0;
    int ran = 0;
    std::unique_lock<std::mutex> guard(service.lock);
    for (;;) {
        auto next = EarliestTimer(service, true);
        if (next == service.timers.end() || next->second.dueMs > HostNowMs()) break;
        UINT id = next->first;
        LPTIMECALLBACK callback = next->second.callback;
        DWORD_PTR user = next->second.user;
        BeginRun(service, next, SteadyClock::now());
        guard.unlock();
        callback(id, 0, user, 0, 0);
        guard.lock();
        FinishRun(service, id);
        ++ran;
    }
    guard.unlock();
    service.virtualRunnerBusy.store(false);
    return ran;
}

bool HostYieldToTimers() {
    if (HostChosenBackend().virtualNowMs) return false;
    std::this_thread::yield();
    return true;
}
