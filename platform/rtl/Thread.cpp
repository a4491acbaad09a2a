#include "platform/rtl/Thread.h"

#include "platform/rtl/Exception.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <system_error>

namespace plat {

PLAT_CLASS_INFO(TThread, TObject)

// What the object and its running thread share. The running thread keeps it alive, so it can finish its
// bookkeeping after the object is gone (FreeOnTerminate, or an OnTerminate handler that deletes it).
struct TThread::TControl {
    enum TStartState { NotStarted, StartPending, Started };

    std::mutex Lock;
    std::condition_variable Changed;
    TStartState StartState = NotStarted;
    bool HasId = false;
    TThreadID Id = 0;
    int BaseNice = 0;
    TThreadPriority Priority = tpNormal;
    bool Done = false;            // the thread function has finished with the object
    bool Destroying = false;      // the destructor has begun: no further calls of this thread may run
    int CallsRunning = 0;         // calls of this thread that the GUI thread is running now
    int SyncCallsRunning = 0;     // of which synchronous (the thread waits for them)
    bool InTerminateCall = false; // the GUI thread is running OnTerminate
};

namespace {

// Marks a call of the thread as running on the GUI thread; refused once the object is being destroyed.
// (A template only because the control record is private to TThread.)
template <class Control> class TGuiCall {
public:
    TGuiCall(Control& control, bool sync) : FControl(control), FSync(sync) {
        std::lock_guard lock(FControl.Lock);
        FAdmitted = !FControl.Destroying;
        if (FAdmitted) {
            ++FControl.CallsRunning;
            if (FSync)
                ++FControl.SyncCallsRunning;
        }
    }
    ~TGuiCall() {
        if (!FAdmitted)
            return;
        {
            std::lock_guard lock(FControl.Lock);
            --FControl.CallsRunning;
            if (FSync)
                --FControl.SyncCallsRunning;
        }
        FControl.Changed.notify_all();
    }
    bool Admitted() const { return FAdmitted; }

private:
    Control& FControl;
    bool FSync;
    bool FAdmitted = false;
};

int NiceOf(TThreadID id) {
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(id));
    return errno == 0 ? nice : 0;
}

// Nice value steps of the priorities, tpIdle .. tpTimeCritical.
constexpr int NiceSteps[] = {19, 10, 5, 0, -5, -10, -15};

void SetNice(TThreadID id, int baseNice, TThreadPriority priority) {
    const int nice = std::clamp(baseNice + NiceSteps[priority], -20, 19);
    // Failure (no privilege to raise the priority) leaves the thread as it is, by design.
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(id), nice);
}

} // namespace

TThread::TThread(bool CreateSuspended) : FControl(std::make_shared<TControl>()) {
    if (CreateSuspended)
        return;
    if (!IsMainThread())
        throw EThread("A thread created outside the GUI thread must be created suspended and then started");
    FControl->StartState = TControl::StartPending;
    std::shared_ptr<TControl> control = FControl;
    QueueInMainThread(
        [this, control] {
            std::unique_lock lock(control->Lock);
            if (!control->Destroying && control->StartState == TControl::StartPending)
                Launch(lock, control);
        },
        this);
}

TThread::~TThread() {
    std::shared_ptr<TControl> control = FControl;
    std::unique_lock lock(control->Lock);
    control->Destroying = true;
    FTerminated = true;
    const bool started = control->StartState == TControl::Started;
    lock.unlock();
    RemoveQueuedCalls(this);
    if (!started)
        return;

    if (FHandle.get_id() == std::this_thread::get_id()) {
        // The thread deletes its own object (FreeOnTerminate): nothing to wait for but the GUI thread's
        // calls of this thread that are running now.
        lock.lock();
        control->Changed.wait(lock, [&] { return control->CallsRunning == 0; });
        lock.unlock();
        FHandle.detach();
        return;
    }

    if (IsMainThread()) {
        lock.lock();
        if (control->SyncCallsRunning > 0) {
            if (!control->InTerminateCall) {
                // The thread waits inside Execute for the very call that is deleting it and would go on
                // with a freed object; stop here rather than corrupt memory.
                std::fputs("TThread deleted inside one of its own synchronized calls\n", stderr);
                std::abort();
            }
            // Deleted from its OnTerminate handler: Execute is over and the thread touches only the
            // shared control once the handler returns.
            lock.unlock();
            FHandle.detach();
            return;
        }
        lock.unlock();
        detail::ServeUntil([&] {
            std::lock_guard guard(control->Lock);
            return control->Done;
        });
    } else {
        lock.lock();
        control->Changed.wait(lock, [&] { return control->Done && control->CallsRunning == 0; });
        lock.unlock();
    }
    if (FHandle.joinable())
        FHandle.join();
    RemoveQueuedCalls(this); // those queued while we waited
}

void TThread::Launch(std::unique_lock<std::mutex>& lock, const std::shared_ptr<TControl>& control) {
    try {
        // The new thread first takes the lock, so it cannot end (and free a FreeOnTerminate object)
        // before FHandle is set.
        FHandle = std::thread(&TThread::ThreadProc, control, this);
    } catch (const std::system_error& e) {
        throw EThread(std::string("Thread creation error: ") + e.what());
    }
    control->StartState = TControl::Started;
    // From here on `this` may be deleted by the thread itself; only the control is used.
    control->Changed.wait(lock, [&] { return control->HasId; });
}

void TThread::Start() {
    std::shared_ptr<TControl> control = FControl;
    std::unique_lock lock(control->Lock);
    if (control->StartState != TControl::NotStarted)
        throw EThread("Cannot call Start on a thread that was already started");
    Launch(lock, control);
}

int TThread::WaitFor() {
    std::shared_ptr<TControl> control = FControl;
    std::unique_lock lock(control->Lock);
    if (control->HasId && control->Id == CurrentThreadId())
        throw EThread("A thread cannot wait for itself");
    if (FFreeOnTerminate)
        throw EThread("Cannot wait for a thread that frees itself when it ends");
    if (control->StartState == TControl::NotStarted)
        throw EThread("Cannot wait for a thread that was never started");
    if (control->StartState == TControl::StartPending)
        Launch(lock, control);

    if (IsMainThread()) {
        // Execute is over and the thread only waits for this handler to return.
        if (control->InTerminateCall)
            return FReturnValue;
        if (control->SyncCallsRunning > 0)
            throw EThread("Cannot wait for a thread inside one of its own synchronized calls");
        lock.unlock();
        detail::ServeUntil([&] {
            std::lock_guard guard(control->Lock);
            return control->Done;
        });
    } else {
        control->Changed.wait(lock, [&] { return control->Done; });
    }
    return FReturnValue;
}

TThreadPriority TThread::Priority() const {
    std::lock_guard lock(FControl->Lock);
    return FControl->Priority;
}

void TThread::SetPriority(TThreadPriority value) {
    if (value < tpIdle || value > tpTimeCritical)
        throw EThread("Invalid thread priority " + std::to_string(static_cast<int>(value)));
    std::lock_guard lock(FControl->Lock);
    FControl->Priority = value;
    // While not Done the thread exists, so its id cannot belong to another thread yet.
    if (FControl->HasId && !FControl->Done)
        SetNice(FControl->Id, FControl->BaseNice, value);
}

TThreadID TThread::ThreadID() const {
    std::lock_guard lock(FControl->Lock);
    return FControl->Id;
}

void TThread::Synchronize(const std::function<void()>& method) {
    if (IsMainThread()) {
        method();
        return;
    }
    std::shared_ptr<TControl> control = FControl;
    RunInMainThread(
        [&] {
            TGuiCall call(*control, true);
            if (!call.Admitted())
                throw EThread("The thread was destroyed before its synchronized method could run");
            method();
        },
        this);
}

void TThread::Synchronize(TThread* thread, const std::function<void()>& method) {
    if (thread)
        thread->Synchronize(method);
    else
        RunInMainThread(method);
}

void TThread::Queue(std::function<void()> method) {
    if (!method)
        return;
    if (IsMainThread()) {
        method();
        return;
    }
    std::shared_ptr<TControl> control = FControl;
    QueueInMainThread(
        [control, method = std::move(method)] {
            TGuiCall call(*control, false);
            if (call.Admitted())
                method();
        },
        this);
}

void TThread::Queue(TThread* thread, std::function<void()> method) {
    if (thread) {
        thread->Queue(std::move(method));
    } else if (method) {
        if (IsMainThread())
            method();
        else
            QueueInMainThread(std::move(method));
    }
}

void TThread::ThreadProc(std::shared_ptr<TControl> control, TThread* self) {
    {
        std::lock_guard lock(control->Lock);
        control->Id = CurrentThreadId();
        control->BaseNice = NiceOf(control->Id);
        control->HasId = true;
        if (control->Priority != tpNormal)
            SetNice(control->Id, control->BaseNice, control->Priority);
    }
    control->Changed.notify_all();

    // A thread terminated before it got to run does no work, but still reports its end.
    if (!self->FTerminated) {
        try {
            self->Execute();
        } catch (...) {
            self->FFatalException = std::current_exception();
        }
    }
    self->FFinished = true;

    std::exception_ptr hookError;
    if (self->OnTerminate) {
        try {
            RunInMainThread(
                [&] {
                    TGuiCall call(*control, true);
                    if (!call.Admitted())
                        return;
                    {
                        std::lock_guard lock(control->Lock);
                        control->InTerminateCall = true;
                    }
                    // A copy: the handler may delete the object that holds it.
                    TNotifyEvent handler = self->OnTerminate;
                    try {
                        handler(self);
                    } catch (...) {
                        // A GUI handler's error belongs to the event loop's error handler.
                        QueueInMainThread(
                            [error = std::current_exception()] { std::rethrow_exception(error); });
                    }
                    std::lock_guard lock(control->Lock);
                    control->InTerminateCall = false;
                },
                self);
        } catch (...) {
            hookError = std::current_exception(); // the wake-up hook failed; the call itself has run
        }
    }

    bool destroying;
    {
        std::lock_guard lock(control->Lock);
        destroying = control->Destroying;
    }
    if (!destroying) {
        if (hookError && !self->FFatalException)
            self->FFatalException = hookError;
        if (self->FFreeOnTerminate)
            delete self;
    }
    {
        std::lock_guard lock(control->Lock);
        control->Done = true;
    }
    control->Changed.notify_all();
    detail::WakeMainThread();
}

} // namespace plat
