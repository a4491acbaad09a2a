#include "platform/ui/WindowScroll.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Form.h"
#include "platform/ui/ScrollingWinControl.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/UiTestUtil.h"
#include "platform/ui/WindowFilter.h"

using namespace plat;
using namespace uitest;

namespace {

struct TScrollRecord {
    int Code;
    int Pos;
    int TrackPos;
    uint32_t Time;
};

// A 300 x 200 popup at (100, 100) with a vertical bar of range 0..99 and page 10; its WM_VSCROLL
// requests are recorded and not acted on.
class WindowScrollTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterRecorder(CS_DBLCLKS, clWhite);
        FWnd = Top(TRect(100, 100, 400, 300), WS_POPUP | WS_VISIBLE | WS_VSCROLL);
        TScrollInfo info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMax = 99;
        info.nPage = 10;
        SetScrollInfo(FWnd, SB_VERT, info, true);
        Rec().Answers[{FWnd, WM_VSCROLL}] = [this](WPARAM wp, LPARAM) -> LRESULT {
            TScrollInfo si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(FWnd, SB_VERT, si);
            Events.push_back({LOWORD(wp), HIWORD(wp), si.nTrackPos, GetTickCount()});
            return 0;
        };
        Driver.Pump();
        Arrow = GetSystemMetrics(SM_CXVSCROLL);
        BarX = 100 + 300 - Arrow / 2;
    }
    std::vector<int> Codes() const {
        std::vector<int> out;
        for (const auto& e : Events)
            out.push_back(e.Code);
        return out;
    }

    TTestDriver Driver;
    HWND FWnd = nullptr;
    std::vector<TScrollRecord> Events;
    int Arrow = 0;
    int BarX = 0;
};

} // namespace

TEST_F(WindowScrollTest, StateIsClampedAndTheBarFollowsTheRange) {
    EXPECT_EQ(SetScrollPos(FWnd, SB_VERT, 500, false), 0);
    EXPECT_EQ(GetScrollPos(FWnd, SB_VERT), 90) << "the last page starts at Max - Page + 1";
    SetScrollPos(FWnd, SB_VERT, -5, false);
    EXPECT_EQ(GetScrollPos(FWnd, SB_VERT), 0);
    TRect client;
    GetClientRect(FWnd, client);
    EXPECT_EQ(client.Width(), 300 - Arrow);

    // A page that covers the range leaves nothing to scroll: the bar goes and the client widens.
    TScrollInfo info;
    info.fMask = SIF_PAGE;
    info.nPage = 100;
    SetScrollInfo(FWnd, SB_VERT, info, true);
    EXPECT_FALSE(GetWindowLongPtr(FWnd, GWL_STYLE) & WS_VSCROLL);
    GetClientRect(FWnd, client);
    EXPECT_EQ(client.Width(), 300);
    // Unless it is to stay, disabled.
    info.fMask = SIF_PAGE | SIF_DISABLENOSCROLL;
    SetScrollInfo(FWnd, SB_VERT, info, true);
    EXPECT_TRUE(GetWindowLongPtr(FWnd, GWL_STYLE) & WS_VSCROLL);
    Driver.Click(TPoint(BarX, 300 - 2));
    EXPECT_TRUE(Events.empty()) << "a disabled bar takes no clicks";
    SetScrollRange(FWnd, SB_VERT, 0, 199, true);
    int min = -1, max = -1;
    ASSERT_TRUE(GetScrollRange(FWnd, SB_VERT, min, max));
    EXPECT_EQ(max, 199);
    EXPECT_TRUE(GetWindowLongPtr(FWnd, GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(GetScrollInfo(FWnd, SB_CTL, info));
}

TEST_F(WindowScrollTest, ArrowAndPageClicksAndThumbDragSendScrollRequests) {
    Driver.Click(TPoint(BarX, 300 - 2));
    EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
    Events.clear();
    Driver.Click(TPoint(BarX, 100 + 2));
    EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEUP, SB_ENDSCROLL}));
    Events.clear();
    Driver.Click(TPoint(BarX, 200)); // below the thumb at the top
    EXPECT_EQ(Codes(), (std::vector<int>{SB_PAGEDOWN, SB_ENDSCROLL}));
    Events.clear();

    // The thumb moved 75 pixels of its travel over the 90 positions.
    int track = 200 - 2 * Arrow;
    int travel = track - std::max(track * 10 / 100, 8);
    int expected = (75 * 90 + travel / 2) / travel;
    int thumbTop = 100 + Arrow;
    Driver.Drag(TPoint(BarX, thumbTop + 5), TPoint(BarX, thumbTop + 5 + 75), 3);
    ASSERT_GE(Events.size(), 3u);
    EXPECT_EQ(Events[Events.size() - 3].Code, SB_THUMBTRACK);
    EXPECT_EQ(Events[Events.size() - 3].Pos, expected);
    EXPECT_EQ(Events[Events.size() - 3].TrackPos, expected);
    EXPECT_EQ(Events[Events.size() - 2].Code, SB_THUMBPOSITION);
    EXPECT_EQ(Events[Events.size() - 2].Pos, expected);
    EXPECT_EQ(Events.back().Code, SB_ENDSCROLL);
    EXPECT_EQ(GetScrollPos(FWnd, SB_VERT), 0) << "the window decides where it scrolls to";
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowScrollTest, HeldArrowRepeatsAfterTheDelayAtTheInterval) {
    uint32_t start = GetTickCount();
    // The loop's idle turns move the clock; after a second the press ends.
    TMessageHook hook;
    hook.Install(WH_MSGFILTER, [&](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        auto* msg = reinterpret_cast<TMsg*>(lp);
        if (code == MSGF_SCROLLBAR && msg->message == WM_ENTERIDLE) {
            if (GetTickCount() - start < 1000) {
                Driver.Clock().Advance(50);
                PostMessage(FWnd, WM_NULL, 0, 0); // no real waiting for the fake time to pass
            } else
                ReleaseCapture();
        }
        return hook.CallNext(code, wp, lp);
    });
    Driver.Press(TPoint(BarX, 300 - 2));
    std::vector<uint32_t> times;
    for (const auto& e : Events)
        if (e.Code == SB_LINEDOWN)
            times.push_back(e.Time - start);
    EXPECT_EQ(times, (std::vector<uint32_t>{0, 400, 500, 600, 700, 800, 900, 1000}));
    EXPECT_EQ(Events.back().Code, SB_ENDSCROLL);
}

TEST(ScrollingWinControlTest, ChildrenBeyondTheClientAreaScrollIntoView) {
    TTestDriver driver;
    auto* form = new TForm(nullptr);
    form->SetBounds(100, 100, 400, 300);
    auto* box = new TScrollingWinControl(form);
    box->SetParent(form);
    box->SetBounds(0, 0, 200, 150);
    auto* far = new TScrollingWinControl(form); // any control will do as a child
    far->SetParent(box);
    far->SetBounds(20, 400, 50, 30);
    form->Show();
    driver.Pump();

    EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(box->VertScrollBar()->Range(), 430);
    int extent = box->ClientHeight();
    EXPECT_EQ(extent, 150);

    // A page down through the window's own bar moves the child up by a page.
    box->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(box->VertScrollBar()->Position(), 150);
    EXPECT_EQ(far->Top(), 250);
    EXPECT_EQ(GetScrollPos(box->Handle(), SB_VERT), 150);
    box->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(box->VertScrollBar()->Position(), 430 - 150);
    box->Perform(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(far->Top(), 400);
    box->ScrollInView(far);
    EXPECT_EQ(far->Top() + far->Height(), 150) << "scrolled just far enough";

    // Moving the child back into the client area takes the bar away and scrolls home.
    ASSERT_EQ(box->VertScrollBar()->Position(), 280);
    far->SetBounds(20, 20 - 280, 50, 30);
    driver.Pump();
    EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(box->VertScrollBar()->Position(), 0);
    EXPECT_EQ(far->Top(), 20);
    EXPECT_FALSE(GetWindowLongPtr(box->Handle(), GWL_STYLE) & WS_VSCROLL);
    delete form;
}
