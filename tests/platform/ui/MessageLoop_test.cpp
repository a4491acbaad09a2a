#include "platform/ui/MessageLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/rtl/Thread.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/UiTestUtil.h"

using namespace plat;
using namespace uitest;

namespace {

class MessageLoopTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterRecorder(); }

    // Takes and dispatches what is there, like a loop that never waits.
    void Drain() {
        TMsg m;
        while (PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT)
                break;
            TranslateMessage(m);
            DispatchMessage(m);
        }
    }

    TTestDriver Driver;
};

int GTimerProcCalls = 0;
void CountingTimerProc(HWND, UINT, uintptr_t, uint32_t) {
    ++GTimerProcCalls;
}

} // namespace

TEST_F(MessageLoopTest, SentMessagesAnswerAtOncePostedOnesKeepTheirOrder) {
    EXPECT_EQ(WM_USER + 1, 1025u);
    HWND w = Top(Bounds(0, 0, 50, 50));
    Rec().Answers[{w, WM_USER + 1}] = [](WPARAM wp, LPARAM lp) -> LRESULT {
        return static_cast<LRESULT>(wp + lp + 1);
    };
    EXPECT_EQ(SendMessage(w, WM_USER + 1, 0, 0), 1);
    Rec().Log.clear();
    for (UINT i = 0; i < 5; ++i)
        PostMessage(w, WM_USER + 10 + i, i, 0);
    EXPECT_TRUE(Rec().Log.empty()) << "posting does not run the procedure";
    Drain();
    EXPECT_EQ(Rec().Of(w),
              (std::vector<UINT>{WM_USER + 10, WM_USER + 11, WM_USER + 12, WM_USER + 13, WM_USER + 14}));
}

TEST_F(MessageLoopTest, PaintAndTimersComeAfterPostedMessagesAndQuitEndsTheLoop) {
    HWND w = Top(Bounds(0, 0, 50, 50), WS_POPUP | WS_VISIBLE);
    Driver.Pump();
    SetTimer(w, 1, 10);
    Driver.Clock().Advance(10);
    InvalidateRect(w, nullptr, false);
    PostMessage(w, WM_USER, 0, 0);
    PostQuitMessage(3);
    PostMessage(w, WM_USER + 1, 0, 0);
    std::vector<UINT> seen;
    TMsg m;
    while (GetMessage(m, nullptr, 0, 0)) {
        seen.push_back(m.message);
        DispatchMessage(m);
        if (seen.size() > 10)
            break;
    }
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER, WM_USER + 1}))
        << "WM_QUIT waits for the posted messages only";
    Drain();
    EXPECT_EQ(Rec().Count(w, WM_PAINT) >= 1, true);
    EXPECT_EQ(Rec().Count(w, WM_TIMER), 1);
}

TEST_F(MessageLoopTest, TimersFollowTheClockAndCoalesce) {
    HWND w = Top(Bounds(0, 0, 50, 50));
    // The auto-repeat pattern: a first pause of 400 ms, then 100 ms steps.
    int ticks = 0;
    Rec().Answers[{w, WM_TIMER}] = [&](WPARAM id, LPARAM) -> LRESULT {
        ++ticks;
        SetTimer(w, id, 100);
        return 0;
    };
    SetTimer(w, 7, 400);
    Driver.Advance(399);
    EXPECT_EQ(ticks, 0);
    Driver.Advance(1);
    EXPECT_EQ(ticks, 1);
    Driver.Advance(99);
    EXPECT_EQ(ticks, 1);
    Driver.Advance(1);
    EXPECT_EQ(ticks, 2);
    Driver.Advance(300);
    EXPECT_EQ(ticks, 5);
    // A late timer is announced once, however many intervals passed.
    Driver.Clock().Advance(1000);
    Driver.Pump();
    EXPECT_EQ(ticks, 6);
    EXPECT_TRUE(KillTimer(w, 7));
    EXPECT_FALSE(KillTimer(w, 7));
    Driver.Advance(500);
    EXPECT_EQ(ticks, 6);

    // Procedure timers without a window get an id of their own; a timer dies with its window.
    GTimerProcCalls = 0;
    uintptr_t id = SetTimer(nullptr, 0, 1, CountingTimerProc);
    EXPECT_NE(id, 0u);
    Driver.Advance(3);
    EXPECT_EQ(GTimerProcCalls, 3) << "1 ms timers are kept";
    KillTimer(nullptr, id);
    HWND gone = Top(Bounds(0, 0, 5, 5));
    SetTimer(gone, 1, 5);
    DestroyWindow(gone);
    EXPECT_FALSE(KillTimer(gone, 1));
}

TEST_F(MessageLoopTest, HooksSeeAndRedirectMessagesNewestFirst) {
    HWND a = Top(Bounds(0, 0, 50, 50));
    HWND b = Top(Bounds(60, 0, 50, 50));
    std::vector<int> calls;
    HHOOK first = nullptr, second = nullptr;
    first = SetWindowsHookEx(WH_GETMESSAGE, [&](int code, WPARAM remove, LPARAM lp) -> LRESULT {
        calls.push_back(1);
        auto* m = reinterpret_cast<TMsg*>(lp);
        if (remove == PM_REMOVE && m->message == WM_USER + 5)
            m->hwnd = b; // the menu-mode redirection of keys
        return CallNextHookEx(first, code, remove, lp);
    });
    second = SetWindowsHookEx(WH_GETMESSAGE, [&](int code, WPARAM remove, LPARAM lp) -> LRESULT {
        calls.push_back(2);
        return CallNextHookEx(second, code, remove, lp);
    });
    PostMessage(a, WM_USER + 5, 0, 0);
    Drain();
    EXPECT_EQ(calls, (std::vector<int>{2, 1}));
    EXPECT_EQ(Rec().Count(a, WM_USER + 5), 0);
    EXPECT_EQ(Rec().Count(b, WM_USER + 5), 1);

    // A hook may take itself out while it runs.
    calls.clear();
    UnhookWindowsHookEx(first);
    HHOOK self = nullptr;
    self = SetWindowsHookEx(WH_GETMESSAGE, [&](int code, WPARAM remove, LPARAM lp) -> LRESULT {
        calls.push_back(3);
        UnhookWindowsHookEx(self);
        return CallNextHookEx(self, code, remove, lp);
    });
    PostMessage(a, WM_USER, 0, 0);
    PostMessage(a, WM_USER, 0, 0);
    Drain();
    EXPECT_EQ(calls, (std::vector<int>{3, 2, 2}));
    UnhookWindowsHookEx(second);

    // Message filters answer for the modal loops that ask them.
    HHOOK filter = SetWindowsHookEx(WH_MSGFILTER, [](int code, WPARAM, LPARAM lp) -> LRESULT {
        return code == MSGF_MENU && reinterpret_cast<TMsg*>(lp)->message == WM_KEYDOWN;
    });
    TMsg key;
    key.message = WM_KEYDOWN;
    EXPECT_TRUE(CallMsgFilter(key, MSGF_MENU));
    EXPECT_FALSE(CallMsgFilter(key, MSGF_DIALOGBOX));
    UnhookWindowsHookEx(filter);
    EXPECT_FALSE(CallMsgFilter(key, MSGF_MENU));
}

TEST_F(MessageLoopTest, OtherThreadsWakeTheWaitingLoop) {
    HWND w = Top(Bounds(0, 0, 50, 50));
    // A posted message from a worker ends a wait that has no time-out.
    std::thread poster([w] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostMessage(w, WM_USER + 3, 42, 0);
    });
    TMsg m;
    ASSERT_TRUE(GetMessage(m, nullptr, 0, 0));
    EXPECT_EQ(m.message, WM_USER + 3u);
    EXPECT_EQ(m.wParam, 42u);
    poster.join();

    // A synchronized call runs on the GUI thread inside the wait, and sending from a worker waits for
    // the answer of the GUI thread's procedure.
    Rec().Answers[{w, WM_USER + 4}] = [](WPARAM wp, LPARAM) -> LRESULT {
        return static_cast<LRESULT>(wp * 2);
    };
    std::atomic<TThreadID> ranOn{0};
    std::atomic<LRESULT> answer{0};
    std::thread worker([&] {
        RunInMainThread([&] { ranOn = CurrentThreadId(); });
        answer = SendMessage(w, WM_USER + 4, 21, 0);
        PostMessage(w, WM_USER + 9, 0, 0);
    });
    do {
        ASSERT_TRUE(GetMessage(m, nullptr, 0, 0));
        DispatchMessage(m);
    } while (m.message != WM_USER + 9);
    worker.join();
    EXPECT_EQ(ranOn.load(), CurrentThreadId());
    EXPECT_EQ(answer.load(), 42);
}
