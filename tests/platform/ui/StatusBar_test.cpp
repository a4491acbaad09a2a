#include "platform/ui/StatusBar.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

using namespace plat;

namespace {

// A status bar with three panels (60, 100 and the rest) at the foot of a sizeable form.
class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 360, 200);
        Bar = new TStatusBar(Form);
        Bar->SetParent(Form);
        for (auto [text, width] : {std::pair{"X=", 60}, {"12.5", 100}, {"ready", 50}}) {
            TStatusPanel* p = Bar->Panels()->Add();
            p->SetText(text);
            p->SetWidth(width);
        }
        Form->Show();
        Driver.Pump();
    }
    TTestDriver Driver;
    TForm* Form = nullptr;
    TStatusBar* Bar = nullptr;
};

} // namespace

TEST_F(StatusBarTest, PanelsSitSideBySideAndTheLastReachesTheGrip) {
    EXPECT_EQ(Bar->Align(), alBottom);
    EXPECT_EQ(Bar->Top() + Bar->Height(), Form->ClientHeight());
    ASSERT_TRUE(Bar->SizeGripShown());
    TRect grip = Bar->SizeGripRect();
    EXPECT_EQ(grip.Right, Bar->ClientWidth());
    EXPECT_EQ(Bar->PanelRect(0).Left, 0);
    EXPECT_EQ(Bar->PanelRect(1).Left, 60);
    EXPECT_EQ(Bar->PanelRect(2).Left, 160);
    EXPECT_EQ(Bar->PanelRect(2).Right, grip.Left) << "the last panel takes the rest";
    EXPECT_EQ(Bar->PanelAt(TPoint(100, 10)), 1);

    // The panel's text is drawn inside its sunken frame.
    auto image = Driver.Render(Bar);
    TRect r = Bar->PanelRect(1);
    EXPECT_EQ(TTestDriver::PixelOf(*image, r.Left, r.Top + 4), ColorToRGB(clBtnShadow));
    bool ink = false;
    for (int x = r.Left + 3; x < r.Left + 30 && !ink; ++x)
        for (int y = r.Top + 2; y < r.Bottom - 1 && !ink; ++y)
            ink = TTestDriver::PixelOf(*image, x, y) == ColorToRGB(clBtnText);
    EXPECT_TRUE(ink) << "the text \"12.5\" is drawn";

    // No grip on a form that cannot be sized.
    Form->SetBorderStyle(bsDialog);
    Driver.Pump();
    EXPECT_FALSE(Bar->SizeGripShown());
    EXPECT_EQ(Bar->PanelRect(2).Right, Bar->ClientWidth());
}

TEST_F(StatusBarTest, SimplePanelShowsOneTextAcrossTheBar) {
    Bar->SetSimpleText("Loading frames");
    Bar->SetSimplePanel(true);
    EXPECT_EQ(Bar->PanelRect(0).Left, 0);
    EXPECT_EQ(Bar->PanelRect(0).Right, Bar->SizeGripRect().Left);
    EXPECT_TRUE(Bar->PanelRect(1).IsEmpty());
    EXPECT_EQ(Bar->PanelAt(TPoint(200, 10)), 0);
    Bar->SetSimplePanel(false);
    EXPECT_EQ(Bar->PanelAt(TPoint(200, 10)), 2);
}

TEST_F(StatusBarTest, OwnerDrawnPanelsGoToTheHandler) {
    TStatusPanel* panel = Bar->Panels()->Items(1);
    panel->SetStyle(psOwnerDraw);
    std::vector<TRect> rects;
    Bar->OnDrawPanel = [&](TStatusBar* bar, TStatusPanel* p, const TRect& r) {
        EXPECT_EQ(p, panel);
        rects.push_back(r);
        bar->Canvas()->Brush()->SetColor(clAqua);
        bar->Canvas()->FillRect(TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1));
    };
    Bar->Invalidate();
    Driver.Pump();
    ASSERT_FALSE(rects.empty());
    EXPECT_EQ(rects.back(), Bar->PanelRect(1));
    EXPECT_EQ(Driver.Pixel(Bar, 100, Bar->ClientHeight() / 2), clAqua);
}

TEST_F(StatusBarTest, DraggingTheGripSizesTheForm) {
    UI_HEADLESS_ONLY(Driver);
    TRect grip = Bar->SizeGripRect();
    TPoint from((grip.Left + grip.Right) / 2, (grip.Top + grip.Bottom) / 2);
    int width = Form->Width(), height = Form->Height();
    Driver.Drag(Bar, from, TPoint(from.X + 40, from.Y + 30), 4);
    EXPECT_EQ(Form->Width(), width + 40);
    EXPECT_EQ(Form->Height(), height + 30);
    EXPECT_EQ(Bar->Top() + Bar->Height(), Form->ClientHeight()) << "the bar stays at the foot";
}
