#include "host/win/threads.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "host/win/handle_table.h"

namespace {

// One lock and one condition for every signal state: waits over several objects stay simple and
// signalling is rare (a few events per sound, one per thread end).
struct SignalState {
    std::mutex lock;
    std::condition_variable changed;
};

// Never destroyed: threads may still signal while the process exits.
SignalState& Signals() {
    static SignalState* state = new SignalState;
    return *state;
}

class Waitable : public HostObject {
  public:
    // Both are called with Signals().lock held.
    virtual bool IsSignalled() const = 0;
    // Called when a wait is released by this object.
    virtual void Consume() {}
};

class EventObject : public Waitable {
  public:
    EventObject(bool manualReset, bool signalled) : manualReset_(manualReset), signalled_(signalled) {}
    bool IsSignalled() const override { return signalled_; }
    void Consume() override {
        if (!manualReset_) signalled_ = false;
    }
    void Set(bool signalled) { signalled_ = signalled; }

  private:
    const bool manualReset_;
    bool signalled_; // guarded by Signals().lock
};

class ThreadObject : public Waitable {
  public:
    ~ThreadObject() override {
        if (thread_.joinable()) thread_.detach(); // only reached when the handle was never closed
    }
    bool IsSignalled() const override { return finished_; }
    void Finish() { finished_ = true; }

    // A finished thread is joined; a running one runs on by itself, as on the platform.
    void OnClose() override {
        bool finished;
        {
            std::lock_guard<std::mutex> guard(Signals().lock);
            finished = finished_;
        }
        if (!thread_.joinable()) return;
        if (finished && thread_.get_id() != std::this_thread::get_id())
            thread_.join();
        else
            thread_.detach();
    }

    std::thread thread_;

  private:
    bool finished_ = false; // guarded by Signals().lock
};

std::atomic<DWORD> g_nextThreadId{1};

// The waitable objects behind handles, or an empty list when one is not waitable.
std::vector<std::shared_ptr<Waitable>> WaitablesOf(DWORD count, const HANDLE* handles) {
    std::vector<std::shared_ptr<Waitable>> objects;
    for (DWORD i = 0; i < count; ++i) {
        std::shared_ptr<Waitable> object = HostFindHandleAs<Waitable>(handles[i]);
        if (!object) return {};
        objects.push_back(std::move(object));
    }
    return objects;
}

// With the lock held: the index that releases the wait, count for "all", or -1 when not yet.
long Released(const std::vector<std::shared_ptr<Waitable>>& objects, bool waitAll) {
    if (waitAll) {
        for (const auto& object : objects)
            if (!object->IsSignalled()) return -1;
        for (const auto& object : objects)
            object->Consume();
        return long(objects.size());
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->IsSignalled()) {
            objects[i]->Consume();
            return long(i);
        }
    }
    return -1;
}

BOOL SetSignal(HANDLE handle, bool signalled) {
    std::shared_ptr<EventObject> event = HostFindHandleAs<EventObject>(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(Signals().lock);
    event->Set(signalled);
    if (signalled) Signals().changed.notify_all();
    return TRUE;
}

} // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, size_t, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD,
                    LPDWORD threadId) {
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_shared<ThreadObject>();
    try {
        // The thread holds its object until it ends, so closing the handle early is safe.
        object->thread_ = std::thread([object, start, parameter] {
            start(parameter);
            std::lock_guard<std::mutex> guard(Signals().lock);
            object->Finish();
            Signals().changed.notify_all();
        });
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId) *threadId = g_nextThreadId++;
    return HostAddHandle(object);
}

BOOL SetThreadPriority(HANDLE thread, int) {
    if (!HostFindHandleAs<ThreadObject>(thread)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR) {
    return HostAddHandle(std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE));
}

BOOL SetEvent(HANDLE event) {
    return SetSignal(event, true);
}

BOOL ResetEvent(HANDLE event) {
    return SetSignal(event, false);
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<Waitable>> objects = WaitablesOf(count, handles);
    if (objects.empty()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock<std::mutex> guard(Signals().lock);
    for (;;) {
        long index = Released(objects, waitAll != FALSE);
        if (index >= 0) return waitAll ? WAIT_OBJECT_0 : WAIT_OBJECT_0 + DWORD(index);
        if (milliseconds == INFINITE) {
            Signals().changed.wait(guard);
        } else if (Signals().changed.wait_until(guard, deadline) == std::cv_status::timeout) {
            index = Released(objects, waitAll != FALSE);
            if (index >= 0) return waitAll ? WAIT_OBJECT_0 : WAIT_OBJECT_0 + DWORD(index);
            return WAIT_TIMEOUT;
        }
    }
}
