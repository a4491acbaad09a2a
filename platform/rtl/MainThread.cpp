#include "platform/rtl/MainThread.h"

#include "platform/rtl/Exception.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <iterator>
#include <mutex>
#include <string>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace plat {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// How long a pump sleeps at most before it looks at its condition again; conditions that change
// without a wake-up (a flag set by another thread) are seen within this time.
constexpr milliseconds PollSlice{5};

struct TSyncRecord {
    bool Done = false;
    std::exception_ptr Error;
};

struct TCall {
    std::function<void()> Method;
    const void* Owner = nullptr;
    TSyncRecord* Sync = nullptr; // set for a synchronous call; lives on the waiting caller's stack
};

struct TQueueState {
    std::mutex Lock;
    std::condition_variable Arrived;   // the GUI thread waits here for calls or a wake-up
    std::condition_variable Completed; // callers of RunInMainThread wait here for their call
    std::deque<TCall> Calls;
    std::uint64_t Wakes = 0;
    // The hook has a lock of its own, held while it runs: once it is replaced, the old one is no longer
    // running anywhere and is never called again, so its owner may go away.
    std::mutex HookLock;
    std::function<void()> WakeHandler;
    std::atomic<TThreadID> MainId{CurrentThreadId()};
};

// Never destroyed: a worker that is still running while the program exits may still queue a call.
TQueueState& State() {
    static TQueueState* state = new TQueueState;
    return *state;
}

// Records the GUI thread while the program initialises, before any other thread exists.
[[maybe_unused]] const bool MainThreadRecorded = (SetMainThreadId(), true);

void RequireMainThread(const char* what) {
    if (!IsMainThread())
        throw EThread(std::string(what) + " called from thread " + std::to_string(CurrentThreadId()) +
                      ", which is not the GUI thread");
}

// Waits until a call is pending or a wake-up arrived after `wakes` was read, at most `slice`.
void WaitForWork(std::uint64_t wakes, steady_clock::duration slice) {
    TQueueState& s = State();
    std::unique_lock lock(s.Lock);
    s.Arrived.wait_for(lock, slice, [&] { return !s.Calls.empty() || s.Wakes != wakes; });
}

std::uint64_t WakeCount() {
    TQueueState& s = State();
    std::lock_guard lock(s.Lock);
    return s.Wakes;
}

void NotifyQueued() {
    TQueueState& s = State();
    s.Arrived.notify_all();
    std::lock_guard lock(s.HookLock);
    if (s.WakeHandler)
        s.WakeHandler();
}

} // namespace

TThreadID CurrentThreadId() {
    thread_local const TThreadID id = static_cast<TThreadID>(::syscall(SYS_gettid));
    return id;
}

void Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SetMainThreadId() {
    State().MainId.store(CurrentThreadId());
}

TThreadID MainThreadID() {
    return State().MainId.load();
}

bool IsMainThread() {
    return State().MainId.load() == CurrentThreadId();
}

void RunInMainThread(const std::function<void()>& method, const void* owner) {
    if (IsMainThread()) {
        method();
        return;
    }
    TQueueState& s = State();
    TSyncRecord record;
    {
        std::lock_guard lock(s.Lock);
        s.Calls.push_back(TCall{[&method] { method(); }, owner, &record});
    }
    // The record lives on this stack, so this frame must not be left before the GUI thread is done
    // with it, not even when the wake-up hook fails.
    std::exception_ptr hookError;
    try {
        NotifyQueued();
    } catch (...) {
        hookError = std::current_exception();
    }
    std::unique_lock lock(s.Lock);
    s.Completed.wait(lock, [&] { return record.Done; });
    lock.unlock();
    if (record.Error)
        std::rethrow_exception(record.Error);
    if (hookError)
        std::rethrow_exception(hookError);
}

void QueueInMainThread(std::function<void()> method, const void* owner) {
    if (!method)
        return;
    TQueueState& s = State();
    {
        std::lock_guard lock(s.Lock);
        s.Calls.push_back(TCall{std::move(method), owner, nullptr});
    }
    NotifyQueued();
}

void RemoveQueuedCalls(const void* owner) {
    if (!owner)
        return;
    TQueueState& s = State();
    std::vector<TCall> dropped; // destroyed outside the lock: captured objects may queue or remove calls
    {
        std::lock_guard lock(s.Lock);
        auto keep = std::stable_partition(s.Calls.begin(), s.Calls.end(),
                                          [&](const TCall& c) { return c.Sync || c.Owner != owner; });
        std::move(keep, s.Calls.end(), std::back_inserter(dropped));
        s.Calls.erase(keep, s.Calls.end());
    }
}

bool CheckSynchronize(int timeoutMs) {
    RequireMainThread("CheckSynchronize");
    TQueueState& s = State();
    std::unique_lock lock(s.Lock);
    if (s.Calls.empty() && timeoutMs > 0) {
        const std::uint64_t wakes = s.Wakes;
        s.Arrived.wait_for(lock, milliseconds(timeoutMs),
                           [&] { return !s.Calls.empty() || s.Wakes != wakes; });
    }
    // Only the calls pending now: a call that queues another must not keep this loop going forever.
    std::size_t budget = s.Calls.size();
    bool ran = false;
    while (budget > 0 && !s.Calls.empty()) {
        --budget;
        TSyncRecord* sync = s.Calls.front().Sync;
        std::exception_ptr error;
        {
            TCall call = std::move(s.Calls.front());
            s.Calls.pop_front();
            lock.unlock();
            ran = true;
            if (sync) {
                try {
                    call.Method();
                } catch (...) {
                    error = std::current_exception();
                }
            } else {
                call.Method(); // an exception leaves the lock released and the rest queued
            }
        }
        lock.lock();
        if (sync) {
            sync->Error = error;
            sync->Done = true;
            s.Completed.notify_all();
        }
    }
    return ran;
}

void SetWakeMainThreadHandler(std::function<void()> handler) {
    TQueueState& s = State();
    std::function<void()> old;
    std::lock_guard lock(s.HookLock);
    old.swap(s.WakeHandler);
    s.WakeHandler = std::move(handler);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    RequireMainThread("PumpUntil");
    const auto deadline = steady_clock::now() + milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        const std::uint64_t wakes = WakeCount(); // read before done(), so a wake-up in between counts
        if (done())
            return true;
        if (CheckSynchronize(0))
            continue;
        steady_clock::duration slice = PollSlice;
        if (timeoutMs >= 0) {
            const auto now = steady_clock::now();
            if (now >= deadline)
                return done();
            slice = std::min(slice, deadline - now);
        }
        WaitForWork(wakes, slice);
    }
}

namespace detail {

void WakeMainThread() {
    TQueueState& s = State();
    {
        std::lock_guard lock(s.Lock);
        ++s.Wakes;
    }
    s.Arrived.notify_all();
}

void ServeUntil(const std::function<bool()>& done) {
    RequireMainThread("ServeUntil");
    std::vector<std::exception_ptr> errors;
    for (;;) {
        const std::uint64_t wakes = WakeCount();
        if (done())
            break;
        bool ran = false;
        try {
            ran = CheckSynchronize(0);
        } catch (...) {
            errors.push_back(std::current_exception());
            ran = true;
        }
        if (!ran)
            WaitForWork(wakes, PollSlice);
    }
    for (auto& error : errors)
        QueueInMainThread([error] { std::rethrow_exception(error); });
}

} // namespace detail

} // namespace plat
