// A thread of the program beside the GUI thread. A derived class puts its work in Execute and reaches
// the GUI thread only through Synchronize (waits for the call) and Queue (does not wait).
#pragma once

#include "platform/rtl/MainThread.h"
#include "platform/rtl/Object.h"

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace plat {

// On Linux a thread's priority is its nice value relative to the thread that started it. Raising it
// needs a privilege the program usually lacks; the request is then dropped and the thread runs as before.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread : public TObject {
    PLAT_CLASS(TThread)
public:
    // A suspended thread waits for Start. A thread created running starts once the GUI thread next runs
    // its pending calls (or at WaitFor), so the derived object is complete before Execute begins; it
    // must therefore be created on the GUI thread.
    explicit TThread(bool CreateSuspended);
    // Terminates a thread that still runs and waits for it (serving the GUI thread's calls meanwhile).
    // Its calls that have not run yet are dropped, not run. The derived part is gone by then, so a class
    // whose Execute uses its own members stops the thread itself first (Terminate, WaitFor).
    ~TThread() override;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void Resume() { Start(); }
    // Only asks: Execute is expected to look at Terminated() and return.
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    // Waits until the thread has ended (OnTerminate included) and answers ReturnValue. On the GUI thread
    // it keeps running the calls of other threads meanwhile, so a thread blocked in Synchronize can end.
    int WaitFor();

    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority value);
    // The object deletes itself after Execute and OnTerminate; nobody may touch it after Start.
    bool FreeOnTerminate() const { return FFreeOnTerminate; }
    void SetFreeOnTerminate(bool value) { FFreeOnTerminate = value; }
    int ReturnValue() const { return FReturnValue; }
    // The exception that escaped Execute, if any; read it after the thread has ended.
    std::exception_ptr FatalException() const { return FFatalException; }
    // Execute has returned.
    bool Finished() const { return FFinished; }
    // The running thread's id; 0 before Start.
    TThreadID ThreadID() const;

    // Runs `method` on the GUI thread while the calling thread waits; its exception is raised again in
    // the caller. On the GUI thread it runs at once.
    void Synchronize(const std::function<void()>& method);
    static void Synchronize(TThread* thread, const std::function<void()>& method);
    // Hands `method` to the GUI thread without waiting (on the GUI thread it runs at once). A call of a
    // thread that is destroyed before the call ran is dropped.
    void Queue(std::function<void()> method);
    static void Queue(TThread* thread, std::function<void()> method);

    // Runs on the GUI thread after Execute has returned.
    TNotifyEvent OnTerminate;

protected:
    virtual void Execute() = 0;
    void SetReturnValue(int value) { FReturnValue = value; }

private:
    struct TControl;
    static void ThreadProc(std::shared_ptr<TControl> control, TThread* self);
    void Launch(std::unique_lock<std::mutex>& lock, const std::shared_ptr<TControl>& control);

    // Shared with the running thread, which may outlive this object by a few instructions.
    std::shared_ptr<TControl> FControl;
    std::thread FHandle;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FFreeOnTerminate{false};
    std::atomic<int> FReturnValue{0};
    std::exception_ptr FFatalException;
};

} // namespace plat
