// The colour line: where it can be grabbed, how a drag is kept inside the axis (also on inverted and
// vertical axes), the XOR image that follows the mouse, and a drag on a window through the mouse with
// its events and the redraws it costs.
#include <gtest/gtest.h>

#include <cmath>

#include "PlotToolsTestUtil.h"
#include "chart/Series.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

struct ColorLineFixture : ::testing::Test {
    TToolChart Picture;
    TColorLineTool* Line = new TColorLineTool(nullptr);

    ColorLineFixture() {
        Picture.AddDots(11);
        Line->SetAxis(Picture.Bottom());
        Line->SetValue(5);
        Line->Pen()->SetColor(clRed);
        Picture.Render();
    }
    ~ColorLineFixture() override { delete Line; }
};

TEST_F(ColorLineFixture, IsGrabbedWithinTwoPixelsInsideTheChartRectangleByTheLeftButtonOnly) {
    const int p = Picture.Bottom()->ValueToPixel(5);
    const TRect r = Picture.Rect();
    const int mid = (r.Top + r.Bottom) / 2;
    struct TCase {
        int X, Y;
        TMouseButton Button;
        bool Grabbed;
    };
    const TCase cases[] = {{p - 3, mid, mbLeft, false},      {p - 2, mid, mbLeft, true},
                           {p, mid, mbLeft, true},           {p + 2, mid, mbLeft, true},
                           {p + 3, mid, mbLeft, false},      {p, r.Top - 1, mbLeft, false},
                           {p, r.Top, mbLeft, true},         {p, r.Bottom, mbLeft, true},
                           {p, r.Bottom + 1, mbLeft, false}, {p, mid, mbRight, false}};
    for (const TCase& c : cases) {
        Picture.Mouse(cmeDown, c.X, c.Y, c.Button);
        EXPECT_EQ(Line->Dragging(), c.Grabbed) << c.X - p << ", " << c.Y;
        EXPECT_EQ(Picture.Chart->CancelMouse(), c.Grabbed) << "a grab keeps zoom and panning off";
        Picture.Mouse(cmeUp, c.X, c.Y, c.Button);
        EXPECT_FALSE(Line->Dragging());
    }

    // A line of a vertical axis is grabbed by its height.
    Line->SetAxis(Picture.Left());
    Line->SetValue(5);
    Picture.Render();
    const int q = Picture.Left()->ValueToPixel(5);
    for (int dy : {-3, -2, 2, 3}) {
        Picture.Mouse(cmeDown, (r.Left + r.Right) / 2, q + dy);
        EXPECT_EQ(Line->Dragging(), std::abs(dy) <= 2) << dy;
        Picture.Mouse(cmeUp, 0, 0);
    }
}

TEST_F(ColorLineFixture, DragStaysInsideTheVisibleRangeWhicheverWayTheAxisRuns) {
    struct TCase {
        bool Vertical, Inverted, NoLimit;
        int Beyond; // -1 past the start of the rectangle (left or top), +1 past its end
        double Expected;
    };
    const TCase cases[] = {
        {false, false, false, +1, 10}, {false, false, false, -1, 0}, {false, true, false, +1, 0},
        {false, true, false, -1, 10},  {true, false, false, -1, 10}, {true, false, false, +1, 0},
        {true, true, false, -1, 0},    {true, true, false, +1, 10},
    };
    for (const TCase& c : cases) {
        TChartAxis* axis = c.Vertical ? Picture.Left() : Picture.Bottom();
        axis->SetInverted(c.Inverted);
        Line->SetAxis(axis);
        Line->SetNoLimitDrag(c.NoLimit);
        Line->SetValue(5);
        Picture.Render();
        const TRect r = Picture.Rect();
        const TPoint grab = c.Vertical ? TPoint((r.Left + r.Right) / 2, axis->ValueToPixel(5))
                                       : TPoint(axis->ValueToPixel(5), (r.Top + r.Bottom) / 2);
        const int far = 60 * c.Beyond;
        const TPoint to = c.Vertical ? TPoint(grab.X, (c.Beyond < 0 ? r.Top : r.Bottom) + far)
                                     : TPoint((c.Beyond < 0 ? r.Left : r.Right) + far, grab.Y);
        Picture.Mouse(cmeDown, grab);
        ASSERT_TRUE(Line->Dragging());
        Picture.Mouse(cmeMove, to);
        EXPECT_NEAR(Line->Value(), c.Expected, 1e-9)
            << "vertical " << c.Vertical << " inverted " << c.Inverted << " beyond " << c.Beyond;
        Picture.Mouse(cmeUp, to);
        axis->SetInverted(false);
    }

    // Without the limit the line follows the mouse out of the range.
    Line->SetAxis(Picture.Bottom());
    Line->SetNoLimitDrag(true);
    Line->SetValue(5);
    Picture.Render();
    Picture.Mouse(cmeDown, Picture.Point(5, 5));
    Picture.Mouse(cmeMove, Picture.Rect().Right + 60, Picture.Point(5, 5).Y);
    EXPECT_GT(Line->Value(), 10.5);
    Picture.Mouse(cmeUp, 0, 0);
}

TEST_F(ColorLineFixture, ValuesOutsideTheRangeAreLimitedAtTheNextDrawAndStylesFollowTheAxis) {
    Line->SetValue(14);
    Picture.Render();
    EXPECT_NEAR(Line->Value(), 10, 1e-9) << "moved to the nearest end";
    Line->SetNoLimitDrag(true);
    Line->SetValue(-3);
    Picture.Render();
    EXPECT_EQ(Line->Value(), -3);

    Line->SetNoLimitDrag(false);
    Line->SetStyle(clCenter);
    Picture.Render();
    const int p = Picture.Bottom()->ValueToPixel(5);
    const int mid = (Picture.Rect().Top + Picture.Rect().Bottom) / 2;
    EXPECT_EQ(Picture.At(p, mid), clRed) << "clCenter draws at the middle of 0 .. 10";
    EXPECT_EQ(Line->ActualValue(), 5);
    Picture.Mouse(cmeDown, p, mid);
    Picture.Mouse(cmeMove, Picture.Bottom()->ValueToPixel(7), mid);
    Picture.Mouse(cmeUp, 0, 0);
    EXPECT_EQ(Line->Style(), clCustom) << "a drag makes the value the line's own";
    EXPECT_NEAR(Line->Value(), 7, 0.05);
}

TEST_F(ColorLineFixture, TheXorImageDrawnTwiceLeavesThePixelsAsTheyWere) {
    const TRect r = Picture.Rect();
    const int mid = (r.Top + r.Bottom) / 2;
    const int p = Picture.Bottom()->ValueToPixel(5);
    Picture.Mouse(cmeDown, p, mid);
    Picture.Mouse(cmeMove, p + 40, mid);
    EXPECT_EQ(Picture.At(p + 40, mid - 30), clRed) << "the line follows the mouse";
    const std::vector<uint32_t> atA = Picture.Pixels();

    // There and back again through a second place: every pixel the drag touched is restored.
    Picture.Mouse(cmeMove, p + 90, mid);
    EXPECT_EQ(Picture.At(p + 90, mid - 30), clRed);
    EXPECT_NE(Picture.At(p + 40, mid - 30), clRed);
    Picture.Mouse(cmeMove, p + 40, mid);
    EXPECT_TRUE(Picture.Pixels() == atA);

    // A step that does not change the value draws nothing.
    Picture.Mouse(cmeMove, p + 40, mid + 10);
    EXPECT_TRUE(Picture.Pixels() == atA);
    Picture.Mouse(cmeUp, p + 40, mid);
}

TEST_F(ColorLineFixture, OnlyTheBackPassDrawsWhenTheLineLiesBehindTheSeries) {
    // The live window's cursors: behind the series, no depth part.
    Line->SetDrawBehind(true);
    Line->SetDraw3D(false);
    int back = 0, front = 0;
    Picture.Chart->OnBeforeDrawSeries = [&](TObject*) { back = Picture.Ink(Picture.Rect()); };
    Picture.Render();
    front = Picture.Ink(Picture.Rect());
    const int p = Picture.Bottom()->ValueToPixel(5);
    EXPECT_EQ(Picture.At(p, Picture.Rect().Top + 5), clRed);
    EXPECT_GT(front, back);

    // The XOR drag then moves that one line.
    const int mid = (Picture.Rect().Top + Picture.Rect().Bottom) / 2;
    const std::vector<uint32_t> before = Picture.Pixels();
    Picture.Mouse(cmeDown, p, mid);
    Picture.Mouse(cmeMove, p + 30, mid);
    EXPECT_EQ(Picture.At(p + 30, Picture.Rect().Top + 5), clRed);
    Picture.Mouse(cmeMove, p, mid);
    EXPECT_TRUE(Picture.Pixels() == before);
    Picture.Mouse(cmeUp, p, mid);
}

// --- On a window -----------------------------------------------------------------------------------

// Counts whole chart draws.
class TDrawCountingChart : public TChart {
public:
    using TChart::TChart;
    int Draws = 0;
    void DrawChart(const TRect& Rect) override {
        ++Draws;
        TChart::DrawChart(Rect);
    }
};

TEST(ColorLineOnWindow, ADragRedrawsOnlyItsXorImageUntilTheReleaseAndReportsInOrder) {
    TTestDriver driver;
    auto* form = NewForm<TForm>(Application);
    form->SetBounds(0, 0, 640, 480);
    auto* chart = new TDrawCountingChart(form);
    chart->SetParent(form);
    chart->SetBounds(10, 10, 600, 400);
    chart->SetView3D(false);
    chart->Legend()->SetVisible(false);
    chart->BottomAxis()->SetAxisRange(0, 4095);
    auto* live = new TFastLineSeries(form);
    for (int i = 0; i < 4096; ++i)
        live->AddXY(i, 500 + 400 * std::sin(i * 0.01));
    chart->AddSeries(live);
    TColorLineTool* cursors[2];
    for (int k = 0; k < 2; ++k) {
        cursors[k] = new TColorLineTool(form);
        cursors[k]->SetAxis(chart->BottomAxis());
        cursors[k]->SetValue(k == 0 ? 1000 : 3000);
        cursors[k]->Pen()->SetStyle(psDot);
        cursors[k]->Pen()->SetColor(k == 0 ? clRed : clBlue);
    }
    std::vector<std::string> log;
    TColorLineTool* line = cursors[1];
    line->OnBeginDragLine = [&](TColorLineTool*) { log.push_back("begin"); };
    line->OnDragLine = [&](TColorLineTool* l) {
        log.push_back("drag " + std::to_string(std::lround(l->Value())));
    };
    line->OnEndDragLine = [&](TColorLineTool*) { log.push_back("end"); };
    form->Show();
    driver.Pump();

    const int y = (chart->ChartRect().Top + chart->ChartRect().Bottom) / 2;
    const int x0 = chart->BottomAxis()->ValueToPixel(3000);
    const int draws = chart->Draws;
    auto before = driver.Render(chart);
    driver.Press(TTestDriver::ScreenPoint(chart, TPoint(x0, y)));
    for (int x = x0 + 10; x <= x0 + 50; x += 10)
        driver.MoveTo(TTestDriver::ScreenPoint(chart, TPoint(x, y)));
    driver.Pump();
    EXPECT_EQ(chart->Draws, draws) << "no redraw of the 4096 points while the line moves";
    auto midDrag = driver.Render(chart);
    SaveToolPng(*midDrag, "colorlines.png");
    // The line shows where the mouse is; the places it passed through are exactly as before.
    auto changedInColumn = [&](int x) {
        int n = 0;
        for (int yy = chart->ChartRect().Top + 1; yy < chart->ChartRect().Bottom; ++yy)
            n += TTestDriver::PixelOf(*before, x, yy) != TTestDriver::PixelOf(*midDrag, x, yy);
        return n;
    };
    EXPECT_GT(changedInColumn(x0 + 50), chart->ChartRect().Height() / 4);
    for (int x = x0 + 10; x < x0 + 50; x += 10)
        EXPECT_EQ(changedInColumn(x), 0) << x - x0;

    // Far beyond the right end the value stops at the axis' end.
    driver.MoveTo(TTestDriver::ScreenPoint(chart, TPoint(chart->Width() + 100, y)));
    driver.Release(TTestDriver::ScreenPoint(chart, TPoint(chart->Width() + 100, y)));
    driver.Pump();
    EXPECT_EQ(chart->Draws, draws + 1) << "one repaint when the drag ends";
    EXPECT_NEAR(line->Value(), 4095, 1e-6);
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log.front(), "begin");
    EXPECT_EQ(log.back(), "end");
    for (size_t i = 1; i + 1 < log.size(); ++i)
        EXPECT_EQ(log[i].rfind("drag ", 0), 0u) << log[i];
    EXPECT_EQ(log[log.size() - 2], "drag 4095");
}

TEST(ColorLineOnWindow, InThreeDimensionsBothPassesMoveAndLeaveNoTrace) {
    TTestDriver driver;
    auto* form = NewForm<TForm>(Application);
    form->SetBounds(0, 0, 520, 400);
    auto* chart = new TChart(form);
    chart->SetParent(form);
    chart->SetBounds(10, 10, 480, 340);
    chart->Legend()->SetVisible(false);
    chart->BottomAxis()->SetAxisRange(0, 10);
    chart->LeftAxis()->SetAxisRange(0, 10);
    auto* dots = new TDotSeries(form);
    dots->AddXY(0, 0);
    dots->AddXY(10, 10);
    chart->AddSeries(dots);
    auto* line = new TColorLineTool(form);
    line->SetAxis(chart->BottomAxis());
    line->SetValue(5);
    line->Pen()->SetColor(clRed);
    form->Show();
    driver.Pump();
    ASSERT_TRUE(chart->View3D());
    ASSERT_GT(chart->Width3D(), 0);

    const int y = (chart->ChartRect().Top + chart->ChartRect().Bottom) / 2;
    const int p = chart->BottomAxis()->ValueToPixel(5);
    driver.Press(TTestDriver::ScreenPoint(chart, TPoint(p, y)));
    driver.MoveTo(TTestDriver::ScreenPoint(chart, TPoint(p + 40, y)));
    driver.Pump();
    auto atA = driver.Render(chart);
    driver.MoveTo(TTestDriver::ScreenPoint(chart, TPoint(p + 90, y)));
    driver.Pump();
    auto atB = driver.Render(chart);
    driver.MoveTo(TTestDriver::ScreenPoint(chart, TPoint(p + 40, y)));
    driver.Pump();
    auto back = driver.Render(chart);
    int moved = 0, differ = 0;
    for (int yy = 0; yy < chart->Height(); ++yy)
        for (int xx = 0; xx < chart->Width(); ++xx) {
            moved += TTestDriver::PixelOf(*atA, xx, yy) != TTestDriver::PixelOf(*atB, xx, yy);
            differ += TTestDriver::PixelOf(*atA, xx, yy) != TTestDriver::PixelOf(*back, xx, yy);
        }
    EXPECT_GT(moved, chart->ChartRect().Height()) << "the line and its depth part moved";
    EXPECT_EQ(differ, 0);
    driver.Release(TTestDriver::ScreenPoint(chart, TPoint(p + 40, y)));
    driver.Pump();
    EXPECT_NEAR(line->Value(), chart->BottomAxis()->PixelToValue(p + 40), 1e-9);
}

} // namespace
