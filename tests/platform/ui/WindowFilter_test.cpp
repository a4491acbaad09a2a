#include "platform/ui/WindowFilter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/rtl/Component.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Form.h"
#include "platform/ui/UiTestUtil.h"

using namespace plat;
using namespace uitest;

namespace {

constexpr UINT WM_PROBE = WM_USER + 7;

class WindowFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterRecorder();
        FWnd = Top(TRect(10, 10, 110, 110), WS_POPUP);
        Rec().Answers[{FWnd, WM_PROBE}] = [this](WPARAM, LPARAM) -> LRESULT {
            Trail += "W";
            return 42;
        };
    }
    // A filter that marks the trail with its name and passes the message on.
    TSubclassProc Marker(char name) {
        return [this, name](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
            if (msg == WM_PROBE)
                Trail += name;
            return DefSubclassProc(w, msg, wp, lp);
        };
    }
    std::string Probe() {
        Trail.clear();
        EXPECT_EQ(SendMessage(FWnd, WM_PROBE, 0, 0), 42);
        return Trail;
    }

    TTestDriver Driver;
    HWND FWnd = nullptr;
    std::string Trail;
};

// A component that watches its form's messages while it lives.
class TWatcher : public TComponent {
public:
    TWatcher(TComponent* owner, HWND wnd, int& seen) : TComponent(owner), FSeen(seen) {
        FLink.Install(wnd, [this](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
            if (msg == WM_PROBE)
                ++FSeen;
            return DefSubclassProc(w, msg, wp, lp);
        });
    }

private:
    int& FSeen;
    TWindowSubclass FLink;
};

} // namespace

TEST_F(WindowFilterTest, FiltersLeaveInAnyOrderAndTheRestKeepWorking) {
    TWndProc original = GetWindowProc(FWnd);
    int a, b, c;
    SetWindowSubclass(FWnd, &a, Marker('1'));
    SetWindowSubclass(FWnd, &b, Marker('2'));
    SetWindowSubclass(FWnd, &c, Marker('3'));
    EXPECT_EQ(Probe(), "321W") << "newest first, the window last";
    SetWindowSubclass(FWnd, &b, Marker('B'));
    EXPECT_EQ(Probe(), "3B1W") << "adding again replaces in place";

    EXPECT_TRUE(RemoveWindowSubclass(FWnd, &b));
    EXPECT_FALSE(RemoveWindowSubclass(FWnd, &b));
    EXPECT_EQ(Probe(), "31W");
    EXPECT_TRUE(RemoveWindowSubclass(FWnd, &a));
    EXPECT_EQ(Probe(), "3W");
    EXPECT_TRUE(RemoveWindowSubclass(FWnd, &c));
    EXPECT_EQ(Probe(), "W");
    EXPECT_EQ(GetWindowProc(FWnd), original) << "the last one out puts the procedure back";
}

TEST_F(WindowFilterTest, FiltersThatPassOnOrRemoveThemselvesNeverLoop) {
    int a, b;
    // Each filter sends the message again once; the chain must still end at the window.
    int depth = 0;
    auto resend = [&](char name) {
        return [&, name](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
            if (msg == WM_PROBE) {
                Trail += name;
                if (depth++ == 0)
                    SendMessage(w, WM_PROBE, 0, 0);
            }
            return DefSubclassProc(w, msg, wp, lp);
        };
    };
    SetWindowSubclass(FWnd, &a, resend('a'));
    SetWindowSubclass(FWnd, &b, resend('b'));
    EXPECT_EQ(Probe(), "bbaWaW");

    // A filter that leaves while it runs still passes the message on, and is gone the next time.
    RemoveWindowSubclass(FWnd, &a);
    SetWindowSubclass(FWnd, &b, [&](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == WM_PROBE) {
            Trail += 'x';
            RemoveWindowSubclass(w, &b);
        }
        return DefSubclassProc(w, msg, wp, lp);
    });
    EXPECT_EQ(Probe(), "xW");
    EXPECT_EQ(Probe(), "W");

    // A procedure swapped in by hand on top of the chain keeps calling through it.
    SetWindowSubclass(FWnd, &a, Marker('a'));
    static TWndProc saved;
    saved = GetWindowProc(FWnd);
    SetWindowProc(FWnd, [](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        return CallWindowProc(saved, w, msg, wp, lp);
    });
    RemoveWindowSubclass(FWnd, &a);
    EXPECT_EQ(Probe(), "W");
    DestroyWindow(FWnd);
    EXPECT_FALSE(HasWindowSubclass(FWnd, &a));
}

TEST_F(WindowFilterTest, AComponentDestroyedWhileFilteringAFormUnlinksItself) {
    auto form = std::make_unique<TForm>(nullptr);
    HWND wnd = form->Handle();
    int first = 0, second = 0;
    auto* w1 = new TWatcher(form.get(), wnd, first);
    new TWatcher(form.get(), wnd, second);
    SendMessage(wnd, WM_PROBE, 0, 0);
    EXPECT_EQ(first + second, 2);
    delete w1;
    SendMessage(wnd, WM_PROBE, 0, 0);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    form.reset(); // the form goes with a filter still on it
    EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(WindowFilterTest, MessageHooksUnhookInAnyOrder) {
    std::string trail;
    TMessageHook hooks[3];
    for (int i = 0; i < 3; ++i)
        hooks[i].Install(WH_MSGFILTER, [&, i](int code, WPARAM wp, LPARAM lp) -> LRESULT {
            trail += static_cast<char>('1' + i);
            return hooks[i].CallNext(code, wp, lp);
        });
    auto run = [&] {
        trail.clear();
        TMsg msg;
        CallMsgFilter(msg, MSGF_DIALOGBOX);
        return trail;
    };
    EXPECT_EQ(run(), "321");
    hooks[1].Remove();
    EXPECT_EQ(run(), "31");
    hooks[0].Remove();
    EXPECT_EQ(run(), "3");
    hooks[2].Remove();
    EXPECT_EQ(run(), "");
}
