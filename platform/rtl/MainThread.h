// The GUI thread and its queue of calls from other threads. Other threads hand work to the GUI thread
// only through this queue (TThread::Synchronize and Queue sit on it); the event loop runs the pending
// calls with CheckSynchronize after the wake-up hook has told it that something arrived.
#pragma once

#include <cstdint>
#include <functional>

namespace plat {

// Kernel id of a thread (the value `ps -L` shows), so it can also be given to the scheduler.
using TThreadID = std::int32_t;

TThreadID CurrentThreadId();
// Blocks the calling thread for the given real time.
void Sleep(std::uint32_t milliseconds);

// The thread that initialised the program is the GUI thread; SetMainThreadId makes the calling thread
// the GUI thread instead (for a program or test whose event loop runs elsewhere).
void SetMainThreadId();
TThreadID MainThreadID();
bool IsMainThread();

// Runs `method` on the GUI thread and blocks until it has run; an exception it raises is raised again
// here. Called on the GUI thread, it runs at once. `owner` only identifies the caller (its TThread).
void RunInMainThread(const std::function<void()>& method, const void* owner = nullptr);
// Hands `method` to the GUI thread and returns at once. Calls run in the order they were queued.
void QueueInMainThread(std::function<void()> method, const void* owner = nullptr);
// Drops the queued (not yet running) calls of `owner`; synchronous calls are never dropped, since their
// callers wait for them. A null owner drops nothing.
void RemoveQueuedCalls(const void* owner);

// GUI thread only: runs the calls pending now, after waiting up to `timeoutMs` for one to arrive when
// none is pending. Answers whether it ran any. An exception from a queued call propagates to the caller
// (the event loop's error handler); the calls behind it stay queued.
bool CheckSynchronize(int timeoutMs = 0);

// Called on the queuing thread each time a call is queued, so the event loop can wake its event source.
// It must only signal (write to a pipe, notify) and not wait for the GUI thread or call into this queue.
// An empty function removes the hook; once this returns, the old hook is not running and never runs again.
void SetWakeMainThreadHandler(std::function<void()> handler);

// Stands in for the event loop: runs pending calls on the GUI thread until `done` answers true or
// `timeoutMs` has passed (a negative timeout waits as long as it takes). Answers `done()`.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

namespace detail {
// Wakes a GUI thread that waits in CheckSynchronize or PumpUntil without queuing anything (a thread
// that ended, for instance), so it can look at its condition again.
void WakeMainThread();
// Like PumpUntil without a time limit, but an exception from a queued call does not stop the wait: it
// is queued again once `done` holds, so the event loop still gets it. For waits that must complete.
void ServeUntil(const std::function<bool()>& done);
} // namespace detail

} // namespace plat
