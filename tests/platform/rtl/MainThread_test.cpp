#include "platform/rtl/MainThread.h"

#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace plat;

namespace {

class MainThreadTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetMainThreadId();
        SetWakeMainThreadHandler({});
        for (;;) { // leave nothing queued for the next test
            try {
                if (!CheckSynchronize(0))
                    break;
            } catch (...) {
            }
        }
    }
};

TEST_F(MainThreadTest, TheProgramThreadIsTheGuiThreadUntilMoved) {
    EXPECT_TRUE(IsMainThread());
    EXPECT_EQ(MainThreadID(), CurrentThreadId());

    bool otherIsMain = true;
    TThreadID otherId = 0;
    std::thread([&] {
        otherIsMain = IsMainThread();
        otherId = CurrentThreadId();
    }).join();
    EXPECT_FALSE(otherIsMain);
    EXPECT_NE(otherId, CurrentThreadId());

    std::thread([] { SetMainThreadId(); }).join();
    EXPECT_FALSE(IsMainThread());
    EXPECT_THROW(CheckSynchronize(0), EThread);
    SetMainThreadId();
    EXPECT_TRUE(IsMainThread());
}

TEST_F(MainThreadTest, QueuedCallsRunInOrderOnTheGuiThreadAndEachWakesTheLoop) {
    std::atomic<int> wakes{0};
    SetWakeMainThreadHandler([&] { ++wakes; });
    std::vector<int> order;
    std::vector<TThreadID> ranOn;
    std::thread([&] {
        for (int i = 0; i < 20; ++i)
            QueueInMainThread([&, i] {
                order.push_back(i);
                ranOn.push_back(CurrentThreadId());
            });
    }).join();
    EXPECT_EQ(wakes, 20);
    EXPECT_TRUE(order.empty()); // nothing runs before the GUI thread asks

    EXPECT_TRUE(CheckSynchronize(0));
    ASSERT_EQ(order.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(order[i], i);
        EXPECT_EQ(ranOn[i], MainThreadID());
    }
    EXPECT_FALSE(CheckSynchronize(0));
}

TEST_F(MainThreadTest, CheckSynchronizeWaitsForACallToArrive) {
    EXPECT_FALSE(CheckSynchronize(1)); // nothing comes: returns after the time-out
    bool ran = false;
    std::thread sender([&] {
        Sleep(10);
        QueueInMainThread([&] { ran = true; });
    });
    EXPECT_TRUE(CheckSynchronize(10000));
    sender.join();
    EXPECT_TRUE(ran);
}

TEST_F(MainThreadTest, RemoveQueuedCallsDropsOnlyThatOwnersCalls) {
    int a = 0, b = 0, anonymous = 0;
    const int ownerA = 0, ownerB = 0;
    std::thread([&] {
        QueueInMainThread([&] { ++a; }, &ownerA);
        QueueInMainThread([&] { ++b; }, &ownerB);
        QueueInMainThread([&] { ++anonymous; });
        QueueInMainThread([&] { ++a; }, &ownerA);
    }).join();
    RemoveQueuedCalls(&ownerA);
    RemoveQueuedCalls(nullptr); // drops nothing
    CheckSynchronize(0);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(anonymous, 1);
}

TEST_F(MainThreadTest, FailingQueuedCallReachesTheLoopAndKeepsTheRestQueued) {
    std::vector<int> order;
    std::thread([&] {
        QueueInMainThread([&] { order.push_back(1); });
        QueueInMainThread([] { throw EConvertError("'x' is not a valid integer value"); });
        QueueInMainThread([&] { order.push_back(3); });
    }).join();
    try {
        CheckSynchronize(0);
        ADD_FAILURE() << "the exception did not reach the loop";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
    }
    EXPECT_EQ(order, std::vector<int>{1});
    EXPECT_TRUE(CheckSynchronize(0));
    EXPECT_EQ(order, (std::vector<int>{1, 3}));
}

TEST_F(MainThreadTest, ACallThatQueuesAnotherDoesNotKeepOneCheckGoing) {
    int runs = 0;
    std::function<void()> again = [&] {
        if (++runs < 3)
            QueueInMainThread(again);
    };
    QueueInMainThread(again);
    for (int expected = 1; expected <= 3; ++expected) {
        EXPECT_TRUE(CheckSynchronize(0));
        EXPECT_EQ(runs, expected);
    }
    EXPECT_FALSE(CheckSynchronize(0));
}

TEST_F(MainThreadTest, RunInMainThreadWaitsForTheCallAndCarriesItsException) {
    // On the GUI thread the call runs at once.
    bool direct = false;
    RunInMainThread([&] { direct = true; });
    EXPECT_TRUE(direct);

    std::atomic<bool> returned{false};
    std::exception_ptr caught;
    TThreadID ranOn = 0;
    std::thread worker([&] {
        try {
            RunInMainThread([&] {
                ranOn = CurrentThreadId();
                throw std::out_of_range("index 9");
            });
        } catch (...) {
            caught = std::current_exception();
        }
        returned = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return returned.load(); }, 10000));
    worker.join();
    EXPECT_EQ(ranOn, MainThreadID());
    ASSERT_TRUE(caught);
    EXPECT_THROW(std::rethrow_exception(caught), std::out_of_range);
}

TEST_F(MainThreadTest, PumpUntilGivesUpAfterItsTimeout) {
    EXPECT_FALSE(PumpUntil([] { return false; }, 5));
    EXPECT_TRUE(PumpUntil([] { return true; }, 0));
}

} // namespace
