// Events and threads: auto and manual reset, waiting for one or any of several, time limits, thread ends.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "host/win/threads.h"

namespace {

// Closes the handles it holds at the end of a test.
class Handles {
  public:
    ~Handles() {
        for (HANDLE h : handles_)
            CloseHandle(h);
    }
    HANDLE Event(bool manualReset, bool signalled = false) {
        handles_.push_back(CreateEventA(nullptr, manualReset, signalled, nullptr));
        return handles_.back();
    }
    HANDLE Thread(LPTHREAD_START_ROUTINE start, void* parameter) {
        handles_.push_back(CreateThread(nullptr, 0, start, parameter, 0, nullptr));
        return handles_.back();
    }

  private:
    std::vector<HANDLE> handles_;
};

TEST(Events, AutoResetReleasesOneWaitThenResets) {
    Handles h;
    HANDLE event = h.Event(false);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    ASSERT_TRUE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(Events, ManualResetStaysSignalledUntilReset) {
    Handles h;
    HANDLE event = h.Event(true);
    ASSERT_TRUE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(Events, InitialStateIsHonoured) {
    Handles h;
    EXPECT_EQ(WaitForSingleObject(h.Event(false, true), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(h.Event(true, false), 0), WAIT_TIMEOUT);
}

TEST(Events, WaitWithATimeLimitGivesUp) {
    Handles h;
    EXPECT_EQ(WaitForSingleObject(h.Event(false), 20), WAIT_TIMEOUT);
}

TEST(Events, WaitForAnyReportsTheLowestSignalledIndexAndConsumesOnlyIt) {
    Handles h;
    HANDLE events[4] = {h.Event(false), h.Event(false), h.Event(false), h.Event(false)};
    SetEvent(events[3]);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_OBJECT_0 + 3);
    EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_TIMEOUT);
}

TEST(Events, WaitForAllNeedsEveryHandleAndConsumesAll) {
    Handles h;
    HANDLE events[2] = {h.Event(false), h.Event(true)};
    SetEvent(events[0]);
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0); // not consumed by the failed wait
    SetEvent(events[0]);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_TIMEOUT);  // auto reset consumed
    EXPECT_EQ(WaitForSingleObject(events[1], 0), WAIT_OBJECT_0); // manual reset stays
}

TEST(Events, BadWaitsFail) {
    Handles h;
    HANDLE events[2] = {h.Event(false, true), nullptr};
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0); // the good one was not consumed
    EXPECT_EQ(WaitForMultipleObjects(0, events, FALSE, 0), WAIT_FAILED);
    std::vector<HANDLE> many(MAXIMUM_WAIT_OBJECTS + 1, events[0]);
    EXPECT_EQ(WaitForMultipleObjects(DWORD(many.size()), many.data(), FALSE, 0), WAIT_FAILED);
}

TEST(Events, ClosedEventsAreRefused) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(event));
    EXPECT_FALSE(SetEvent(event));
    EXPECT_FALSE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_FALSE(CloseHandle(event));
}

struct Worker {
    HANDLE events[3]; // 0 ends the worker, 1 and 2 are work
    std::atomic<int> work1{0}, work2{0};
    std::atomic<int> active{0};
};

// Waits on its events like the sound library's callback thread.
DWORD WorkerLoop(void* parameter) {
    auto* worker = static_cast<Worker*>(parameter);
    worker->active = 1;
    for (;;) {
        DWORD result = WaitForMultipleObjects(3, worker->events, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0) break;
        if (result == WAIT_OBJECT_0 + 1) ++worker->work1;
        if (result == WAIT_OBJECT_0 + 2) ++worker->work2;
        if (result == WAIT_FAILED) return 1;
    }
    worker->active = 0;
    return 0;
}

TEST(Threads, WorkerIsWokenByEventsFromAnotherThreadAndEnds) {
    Handles h;
    Worker worker;
    for (HANDLE& event : worker.events)
        event = h.Event(false);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, WorkerLoop, &worker, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST));
    SetEvent(worker.events[2]);
    while (worker.work2 == 0)
        Sleep(1);
    SetEvent(worker.events[1]);
    while (worker.work1 == 0)
        Sleep(1);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT); // still running
    SetEvent(worker.events[0]);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(worker.active, 0);
    EXPECT_EQ(worker.work1, 1);
    EXPECT_EQ(worker.work2, 1);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0); // an ended thread stays signalled
    EXPECT_TRUE(CloseHandle(thread));
}

DWORD WaitForRelease(void* parameter) {
    auto* worker = static_cast<Worker*>(parameter);
    WaitForSingleObject(worker->events[0], INFINITE);
    worker->active = 2;
    return 0;
}

TEST(Threads, ClosingTheHandleOfARunningThreadLetsItRunOn) {
    Handles h;
    Worker worker;
    worker.events[0] = h.Event(true);
    HANDLE thread = CreateThread(nullptr, 0, WaitForRelease, &worker, 0, nullptr);
    ASSERT_TRUE(CloseHandle(thread));
    SetEvent(worker.events[0]);
    while (worker.active != 2)
        Sleep(1);
    EXPECT_FALSE(SetThreadPriority(thread, THREAD_PRIORITY_NORMAL));
}

TEST(Threads, NoStartFunctionStartsNothing) {
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
}

} // namespace
