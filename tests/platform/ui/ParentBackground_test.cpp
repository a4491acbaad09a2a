#include "platform/ui/ParentBackground.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Form.h"

using namespace plat;

namespace {

TColor GradientAt(int x, int y) {
    return RGB((x / 5) * 5, (y / 5) * 5, 128);
}

// A panel painted with a two-way gradient, so any shift of the origin shows.
class TGradientPanel : public TCustomControl {
public:
    explicit TGradientPanel(TComponent* owner) : TCustomControl(owner) {}

protected:
    void Paint() override {
        TDeviceContext* dc = Canvas()->Handle();
        for (int y = 0; y < Height(); y += 5)
            for (int x = 0; x < Width(); x += 5)
                dc->FillSolidRect(TRect(x, y, x + 5, y + 5), GradientAt(x, y));
    }
};

// A label with a window of its own whose background is its parent's.
class TTransparentLabel : public TCustomControl {
public:
    explicit TTransparentLabel(TComponent* owner) : TCustomControl(owner) {
        SetControlStyle(ControlStyle() | csParentBackground);
    }

protected:
    void Paint() override {
        Canvas()->Brush()->SetStyle(bsClear);
        Canvas()->TextOut(2, 2, "Label");
    }
};

// A graphic control that shows its parent only in its left half.
class THalfTransparentBox : public TGraphicControl {
public:
    explicit THalfTransparentBox(TComponent* owner) : TGraphicControl(owner) {}

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(ClientRect());
        TRect left(0, 0, Width() / 2, Height());
        DrawParentBackground(this, Canvas()->Handle(), &left);
    }
};

} // namespace

TEST(ParentBackgroundTest, TransparentControlsShowTheGradientBehindThem) {
    TTestDriver driver;
    auto* form = new TForm(nullptr);
    form->SetBounds(100, 100, 400, 300);
    auto* panel = new TGradientPanel(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 250, 200);
    auto* label = new TTransparentLabel(form);
    label->SetParent(panel);
    label->SetBounds(63, 47, 80, 24);
    auto* box = new THalfTransparentBox(form);
    box->SetParent(panel);
    box->SetBounds(150, 120, 40, 30);
    form->Show();
    driver.Pump();
    TTestDriver::SavePng(*driver.Render(form->Handle()), "parent-background.png");

    // Away from its text, the label shows exactly what lies under it.
    for (TPoint p : {TPoint(78, 20), TPoint(2, 21), TPoint(60, 1)})
        EXPECT_EQ(driver.Pixel(label, p.X, p.Y), GradientAt(63 + p.X, 47 + p.Y)) << p.X << "," << p.Y;
    int dark = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
            dark += driver.Pixel(label, x, y) == clBlack;
    EXPECT_GT(dark, 10) << "the text is drawn over the background";
    EXPECT_EQ(driver.Pixel(panel, 62, 46), GradientAt(62, 46)) << "nothing outside the label changed";

    // The box: the parent's look in the asked-for half only.
    EXPECT_EQ(driver.Pixel(panel, 151, 121), GradientAt(151, 121));
    EXPECT_EQ(driver.Pixel(panel, 169, 149), GradientAt(169, 149));
    EXPECT_EQ(driver.Pixel(panel, 170, 121), clRed);
    EXPECT_EQ(driver.Pixel(panel, 189, 149), clRed);
    delete form;
}
