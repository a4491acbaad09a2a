// The rectangle a window's move and size handlers see and adjust: screen coordinates also for a child
// window, whose own bounds are kept in its parent's client area.
#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Messages.h"

using namespace plat;

namespace {

// A child whose top strip moves it and whose bottom-right corner sizes it. Its handlers record the
// proposed rectangle and may pin its left edge to a screen column.
class TMovableChild : public TCustomControl {
public:
    explicit TMovableChild(TComponent* AOwner) : TCustomControl(AOwner) {}
    TRect Moving, Sizing;
    int PinLeft = -1;
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_NCHITTEST) {
            const TPoint p = ScreenToClient(TPoint(static_cast<int16_t>(m.LParam & 0xFFFF),
                                                   static_cast<int16_t>((m.LParam >> 16) & 0xFFFF)));
            m.Result = p.Y < 10                                    ? HTCAPTION
                       : p.X >= Width() - 5 && p.Y >= Height() - 5 ? HTBOTTOMRIGHT
                                                                   : HTCLIENT;
            return;
        }
        if (m.Msg == WM_MOVING || m.Msg == WM_SIZING) {
            auto& r = *reinterpret_cast<TRect*>(m.LParam);
            (m.Msg == WM_MOVING ? Moving : Sizing) = r;
            if (PinLeft >= 0)
                OffsetRect(r, PinLeft - r.Left, 0);
            m.Result = 0;
            return;
        }
        TCustomControl::Dispatch(m);
    }
};

TEST(MoveSizeRectTest, AChildWindowsHandlersSeeAndAdjustScreenCoordinates) {
    TTestDriver driver;
    auto* form = NewForm<TForm>(Application);
    form->SetBounds(100, 100, 400, 300);
    auto* child = new TMovableChild(form);
    child->SetParent(form);
    child->SetBounds(20, 30, 100, 60);
    form->Show();
    driver.Pump();
    const TPoint origin = child->ClientToScreen(TPoint(0, 0));

    driver.Drag(child, {50, 5}, {60, 10});
    EXPECT_EQ(child->Moving, TRect(origin.X + 10, origin.Y + 5, origin.X + 110, origin.Y + 65));
    EXPECT_EQ(child->BoundsRect(), TRect(30, 35, 130, 95));

    driver.Drag(child, {98, 58}, {118, 68});
    EXPECT_EQ(child->Sizing, TRect(origin.X + 10, origin.Y + 5, origin.X + 130, origin.Y + 75));
    EXPECT_EQ(child->BoundsRect(), TRect(30, 35, 150, 105));

    // What a handler leaves is taken back into the parent's coordinates.
    child->PinLeft = origin.X;
    driver.Drag(child, {50, 5}, {90, 25});
    EXPECT_EQ(child->BoundsRect(), TRect(20, 55, 140, 125));
}

} // namespace
