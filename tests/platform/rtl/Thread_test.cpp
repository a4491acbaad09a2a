#include "platform/rtl/Thread.h"

#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <sys/resource.h>
#include <thread>
#include <typeinfo>
#include <vector>

using namespace plat;

namespace {

// A thread whose work is given as a function. The function is copied when Execute begins, so tests
// may also delete the object while it runs (the base class must cope with that).
class TBodyThread : public TThread {
public:
    using TBody = std::function<void(TBodyThread&)>;
    TBodyThread(bool suspended, TBody body, std::atomic<bool>* destroyed = nullptr)
        : TThread(suspended), FBody(std::move(body)), FDestroyed(destroyed) {}
    ~TBodyThread() override {
        if (FDestroyed)
            *FDestroyed = true;
    }
    using TThread::SetReturnValue;

protected:
    void Execute() override {
        TBody body = FBody;
        body(*this);
    }

private:
    TBody FBody;
    std::atomic<bool>* FDestroyed;
};

// Waits for another thread to get somewhere while the GUI thread deliberately runs no calls.
bool WaitWithoutPumping(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

class ThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetWakeMainThreadHandler([this] { ++FWakes; });
    }
    void TearDown() override {
        SetWakeMainThreadHandler({});
        while (CheckSynchronize(0)) {
        }
    }
    // Waits until the given number of calls were handed to the GUI thread (a worker is then blocked in
    // Synchronize, if that is what it called).
    bool WaitForCalls(int count) {
        return WaitWithoutPumping([&] { return FWakes >= count; });
    }
    std::atomic<int> FWakes{0};
};

TEST_F(ThreadTest, SynchronizeRunsOnTheGuiThreadWhileTheCallerWaits) {
    TThreadID ranOn = 0;
    TThreadID workerId = 0;
    std::atomic<bool> passed{false};
    TBodyThread thread(true, [&](TBodyThread&) {
        workerId = CurrentThreadId();
        TThread::Synchronize(nullptr, [&] { ranOn = CurrentThreadId(); }); // the static form
        passed = true;
    });
    thread.Start();
    ASSERT_TRUE(WaitForCalls(1));
    EXPECT_FALSE(passed); // still waiting: the GUI thread has run nothing yet
    EXPECT_EQ(ranOn, 0);

    thread.WaitFor();
    EXPECT_TRUE(passed);
    EXPECT_EQ(ranOn, MainThreadID());
    EXPECT_EQ(workerId, thread.ThreadID());
    EXPECT_NE(workerId, MainThreadID());

    // On the GUI thread itself Synchronize runs at once.
    bool direct = false;
    thread.Synchronize([&] { direct = true; });
    EXPECT_TRUE(direct);
}

TEST_F(ThreadTest, ExceptionInSynchronizedMethodIsRaisedAgainInTheWorker) {
    struct Case {
        std::function<void()> raise;
        const std::type_info& type;
        std::string message;
    };
    const std::vector<Case> cases = {
        {[] { throw EConvertError("'1,2,3' is not a valid floating point value"); }, typeid(EConvertError),
         "'1,2,3' is not a valid floating point value"},
        {[] { throw EFOpenError("Cannot open file \"x.ini\""); }, typeid(EFOpenError),
         "Cannot open file \"x.ini\""},
        {[] { throw std::out_of_range("vector index"); }, typeid(std::out_of_range), "vector index"},
    };
    for (const Case& c : cases) {
        std::exception_ptr caught;
        TThreadID caughtOn = 0;
        bool continued = false;
        TBodyThread thread(true, [&](TBodyThread& self) {
            try {
                self.Synchronize(c.raise);
            } catch (...) {
                caught = std::current_exception();
                caughtOn = CurrentThreadId();
            }
            continued = true;
        });
        thread.Start();
        thread.WaitFor();
        EXPECT_TRUE(continued);
        EXPECT_EQ(caughtOn, thread.ThreadID());
        EXPECT_FALSE(thread.FatalException());
        ASSERT_TRUE(caught);
        try {
            std::rethrow_exception(caught);
        } catch (const std::exception& e) {
            EXPECT_EQ(typeid(e), c.type) << c.message;
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

// The acquisition stop order: request termination, close the device so that a waiting read returns,
// then wait on the GUI thread while the worker may be blocked in Synchronize.
class TFakeDevice {
public:
    explicit TFakeDevice(bool delivers) : FDelivers(delivers) {}
    // Blocks until a frame is there or the device is closed; answers whether a frame came.
    bool Read() {
        std::unique_lock lock(FLock);
        FChanged.wait(lock, [&] { return FClosed || FDelivers; });
        return !FClosed;
    }
    void Close() {
        {
            std::lock_guard lock(FLock);
            FClosed = true;
        }
        FChanged.notify_all();
    }

private:
    std::mutex FLock;
    std::condition_variable FChanged;
    bool FClosed = false;
    const bool FDelivers;
};

TEST_F(ThreadTest, StopWhileBlockedInReadOrSynchronizeEndsWithoutDeadlock) {
    for (bool delivers : {true, false}) {
        for (int displaysBeforeStop : {0, 1, 3}) {
            if (!delivers && displaysBeforeStop > 0)
                continue;
            SCOPED_TRACE(testing::Message()
                         << "delivers " << delivers << ", displays " << displaysBeforeStop);
            TFakeDevice device(delivers);
            int displays = 0;
            std::atomic<bool> reading{false};
            TBodyThread thread(true, [&](TBodyThread& self) {
                while (!self.Terminated()) {
                    reading = true;
                    if (device.Read())
                        self.Synchronize([&] { ++displays; });
                }
                self.SetReturnValue(42);
            });
            thread.SetPriority(tpHighest);
            const int wakesBefore = FWakes;
            thread.Start();
            ASSERT_TRUE(PumpUntil([&] { return displays >= displaysBeforeStop && reading; }, 10000));
            // Each round is one Synchronize: one call more than displayed means it waits in one.
            if (delivers) {
                ASSERT_TRUE(WaitWithoutPumping([&] { return FWakes - wakesBefore > displays; }));
            }

            thread.Terminate();
            device.Close();
            EXPECT_EQ(thread.WaitFor(), 42);
            EXPECT_TRUE(thread.Finished());
            EXPECT_GE(displays, displaysBeforeStop + (delivers ? 1 : 0));
        }
    }
}

TEST_F(ThreadTest, QueuedCallsRunInOrderWithSynchronizedOnes) {
    std::vector<int> order;
    std::vector<TThreadID> ranOn;
    TBodyThread thread(true, [&](TBodyThread& self) {
        for (int i = 1; i <= 50; ++i)
            self.Queue([&, i] {
                order.push_back(i);
                ranOn.push_back(CurrentThreadId());
            });
        self.Synchronize([&] { order.push_back(-1); }); // runs after the 50 queued before it
        for (int i = 51; i <= 100; ++i)
            self.Queue([&, i] { order.push_back(i); });
    });
    thread.Start();
    thread.WaitFor();
    EXPECT_TRUE(PumpUntil([&] { return order.size() == 101; }, 10000));
    ASSERT_EQ(order.size(), 101u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(order[i], i + 1);
    EXPECT_EQ(order[50], -1);
    for (int i = 51; i < 101; ++i)
        EXPECT_EQ(order[i], i);
    for (TThreadID id : ranOn)
        EXPECT_EQ(id, MainThreadID());
}

TEST_F(ThreadTest, QueuedCallsOfADestroyedThreadAreDropped) {
    int ownCalls = 0;
    int anonymousCalls = 0;
    std::atomic<bool> queued{false};
    auto* thread = new TBodyThread(true, [&](TBodyThread& self) {
        for (int i = 0; i < 10; ++i)
            self.Queue([&] { ++ownCalls; });
        TThread::Queue(nullptr, [&] { ++anonymousCalls; }); // belongs to no thread: survives
        queued = true;
    });
    thread->Start();
    ASSERT_TRUE(WaitWithoutPumping([&] { return queued.load(); }));
    delete thread;
    while (CheckSynchronize(0)) {
    }
    EXPECT_EQ(ownCalls, 0);
    EXPECT_EQ(anonymousCalls, 1);
}

TEST_F(ThreadTest, FreeOnTerminateDeletesTheObjectAfterOnTerminate) {
    // Without a handler the thread needs nothing from the GUI thread to end and free itself.
    std::atomic<bool> destroyed{false};
    auto* plain = new TBodyThread(
        true, [](TBodyThread&) {}, &destroyed);
    plain->SetFreeOnTerminate(true);
    plain->Start();
    EXPECT_TRUE(WaitWithoutPumping([&] { return destroyed.load(); }));

    // With one, the handler runs on the GUI thread first, the object still alive.
    destroyed = false;
    bool handlerSawLiveObject = false;
    auto* notified = new TBodyThread(
        true, [](TBodyThread&) {}, &destroyed);
    notified->SetFreeOnTerminate(true);
    notified->OnTerminate = [&](TObject*) { handlerSawLiveObject = !destroyed && IsMainThread(); };
    EXPECT_THROW(notified->WaitFor(), EThread); // it may be gone any time once started
    notified->Start();
    EXPECT_TRUE(PumpUntil([&] { return destroyed.load(); }, 10000));
    EXPECT_TRUE(handlerSawLiveObject);
}

TEST_F(ThreadTest, OnTerminateRunsOnTheGuiThreadBeforeWaitForReturns) {
    TThreadID ranOn = 0;
    bool finishedSeen = false;
    TBodyThread thread(true, [](TBodyThread& self) { self.SetReturnValue(5); });
    thread.OnTerminate = [&](TObject* sender) {
        ranOn = CurrentThreadId();
        finishedSeen = static_cast<TThread*>(sender)->Finished();
        EXPECT_EQ(sender, &thread);
    };
    thread.Start();
    EXPECT_EQ(thread.WaitFor(), 5);
    EXPECT_EQ(ranOn, MainThreadID());
    EXPECT_TRUE(finishedSeen);
}

TEST_F(ThreadTest, OnTerminateMayWaitForAndDeleteItsThread) {
    // The owner's cleanup runs from the handler: wait, then release the object.
    std::atomic<bool> destroyed{false};
    int returned = 0;
    auto* thread = new TBodyThread(
        true, [](TBodyThread& self) { self.SetReturnValue(3); }, &destroyed);
    thread->OnTerminate = [&](TObject*) {
        returned = thread->WaitFor();
        delete thread;
    };
    thread->Start();
    EXPECT_TRUE(PumpUntil([&] { return destroyed.load(); }, 10000));
    EXPECT_EQ(returned, 3);
}

TEST_F(ThreadTest, ExceptionEscapingExecuteIsKeptInFatalException) {
    bool terminated = false;
    TBodyThread thread(true, [](TBodyThread&) { throw EInOutError("I/O error 5"); });
    thread.OnTerminate = [&](TObject*) { terminated = true; };
    thread.Start();
    thread.WaitFor();
    EXPECT_TRUE(terminated);
    EXPECT_TRUE(thread.Finished());
    ASSERT_TRUE(thread.FatalException());
    try {
        std::rethrow_exception(thread.FatalException());
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), "I/O error 5");
    }
}

TEST_F(ThreadTest, ExceptionInOnTerminateReachesTheEventLoop) {
    TBodyThread thread(true, [](TBodyThread&) {});
    thread.OnTerminate = [](TObject*) { throw EListError("List index out of bounds (3)"); };
    thread.Start();
    thread.WaitFor(); // completes all the same
    EXPECT_FALSE(thread.FatalException());
    EXPECT_THROW(CheckSynchronize(0), EListError);
}

TEST_F(ThreadTest, MisuseRaisesEThread) {
    TBodyThread idle(true, [](TBodyThread&) {});
    EXPECT_THROW(idle.WaitFor(), EThread); // never started: would wait forever
    idle.Start();
    EXPECT_THROW(idle.Start(), EThread);
    EXPECT_THROW(idle.Resume(), EThread);
    idle.WaitFor();
    EXPECT_THROW(idle.Start(), EThread);

    std::exception_ptr selfWait;
    TBodyThread selfWaiter(true, [&](TBodyThread& self) {
        try {
            self.WaitFor();
        } catch (...) {
            selfWait = std::current_exception();
        }
    });
    selfWaiter.Start();
    selfWaiter.WaitFor();
    EXPECT_THROW(std::rethrow_exception(selfWait), EThread);

    // Waiting from inside the thread's own synchronized call would never end.
    bool refused = false;
    TBodyThread syncWaiter(true, [&](TBodyThread& self) {
        self.Synchronize([&] {
            try {
                self.WaitFor();
            } catch (const EThread&) {
                refused = true;
            }
        });
    });
    syncWaiter.Start();
    syncWaiter.WaitFor();
    EXPECT_TRUE(refused);
}

TEST_F(ThreadTest, WaitForFromAnotherThreadAndTwice) {
    TBodyThread thread(true, [](TBodyThread& self) {
        while (!self.Terminated())
            self.Synchronize([] {});
        self.SetReturnValue(9);
    });
    thread.Start();
    std::atomic<int> otherResult{-1};
    std::thread waiter([&] { otherResult = thread.WaitFor(); });
    ASSERT_TRUE(PumpUntil([&] { return FWakes >= 3; }, 10000));
    thread.Terminate();
    EXPECT_TRUE(PumpUntil([&] { return otherResult == 9; }, 10000));
    waiter.join();
    EXPECT_EQ(thread.WaitFor(), 9);
    EXPECT_EQ(thread.WaitFor(), 9);
}

TEST_F(ThreadTest, CreatedRunningStartsOnceTheGuiThreadRunsItsCalls) {
    std::atomic<bool> ran{false};
    TBodyThread thread(false, [&](TBodyThread&) { ran = true; });
    EXPECT_EQ(thread.ThreadID(), 0); // not before the object is complete and the loop turns
    EXPECT_THROW(thread.Start(), EThread);
    EXPECT_TRUE(PumpUntil([&] { return ran.load(); }, 10000));
    thread.WaitFor();

    std::atomic<bool> ranByWait{false};
    TBodyThread waited(false, [&](TBodyThread&) { ranByWait = true; });
    waited.WaitFor(); // starts it
    EXPECT_TRUE(ranByWait);

    bool createdElsewhere = false;
    std::thread([&] {
        try {
            TBodyThread offGui(false, [](TBodyThread&) {});
        } catch (const EThread&) {
            createdElsewhere = true;
        }
    }).join();
    EXPECT_TRUE(createdElsewhere);
}

TEST_F(ThreadTest, DestructorStopsARunningThreadAndNeverRunsAnUnstartedOne) {
    std::atomic<bool> loopLeft{false};
    std::atomic<bool> looping{false};
    auto* running = new TBodyThread(true, [&](TBodyThread& self) {
        looping = true;
        while (!self.Terminated())
            std::this_thread::yield();
        loopLeft = true;
    });
    running->Start();
    ASSERT_TRUE(WaitWithoutPumping([&] { return looping.load(); }));
    delete running;
    EXPECT_TRUE(loopLeft);

    std::atomic<bool> ran{false};
    delete new TBodyThread(true, [&](TBodyThread&) { ran = true; });
    delete new TBodyThread(false, [&](TBodyThread&) { ran = true; });
    while (CheckSynchronize(0)) {
    }
    EXPECT_FALSE(ran);

    // Deleted while blocked in Synchronize: the method is refused, not run on a dead object.
    std::atomic<bool> methodRan{false};
    std::atomic<bool> refused{false};
    auto* blocked = new TBodyThread(true, [&](TBodyThread& self) {
        try {
            self.Synchronize([&] { methodRan = true; });
        } catch (const EThread&) {
            refused = true;
        }
    });
    const int wakes = FWakes;
    blocked->Start();
    ASSERT_TRUE(WaitForCalls(wakes + 1));
    delete blocked;
    EXPECT_FALSE(methodRan);
    EXPECT_TRUE(refused);
}

int NiceOfCurrentThread() {
    errno = 0;
    return ::getpriority(PRIO_PROCESS, static_cast<id_t>(CurrentThreadId()));
}

TEST_F(ThreadTest, PriorityIsAppliedWhereAllowedAndNeverStopsTheThread) {
    const int base = NiceOfCurrentThread();
    std::atomic<int> niceAtStart{0};
    std::atomic<int> niceLater{0};
    std::atomic<bool> started{false};
    std::atomic<bool> lowered{false};
    TBodyThread thread(true, [&](TBodyThread&) {
        niceAtStart = NiceOfCurrentThread();
        started = true;
        WaitWithoutPumping([&] { return lowered.load(); });
        niceLater = NiceOfCurrentThread();
    });
    thread.SetPriority(tpLower);
    EXPECT_EQ(thread.Priority(), tpLower);
    thread.Start();
    ASSERT_TRUE(WaitWithoutPumping([&] { return started.load(); }));
    thread.SetPriority(tpLowest); // lowering needs no privilege
    lowered = true;
    thread.WaitFor();
    EXPECT_EQ(niceAtStart, std::min(base + 5, 19));
    EXPECT_EQ(niceLater, std::min(base + 10, 19));

    // Raising may be refused without privilege; the thread runs all the same.
    for (TThreadPriority p : {tpTimeCritical, tpHighest, tpIdle}) {
        std::atomic<bool> ran{false};
        TBodyThread other(true, [&](TBodyThread&) { ran = true; });
        other.SetPriority(p);
        other.Start();
        other.WaitFor();
        EXPECT_TRUE(ran);
        EXPECT_EQ(other.Priority(), p);
    }
}

TEST_F(ThreadTest, WakeHookIsCalledForEachSynchronizeAndQueue) {
    std::atomic<bool> done{false};
    TBodyThread thread(true, [&](TBodyThread& self) {
        self.Synchronize([] {});
        self.Queue([] {});
        self.Queue([] {});
        self.Synchronize([] {});
        done = true;
    });
    const int before = FWakes;
    thread.Start();
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }, 10000));
    thread.WaitFor();
    EXPECT_EQ(FWakes - before, 4);
}

} // namespace
