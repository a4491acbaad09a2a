// The colour band: the rectangle it fills for its two values (in either order, partly or wholly outside
// the axis, on inverted and vertical axes), its drawing moment, and its edges dragged with the mouse.
#include <gtest/gtest.h>

#include "PlotToolsTestUtil.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

struct ColorBandFixture : ::testing::Test {
    TToolChart Picture;
    TColorBandTool* Band = new TColorBandTool(nullptr);

    ColorBandFixture() {
        Picture.AddDots(11);
        Band->SetAxis(Picture.Bottom());
        Band->SetColor(clYellow);
        Picture.Render();
    }
    ~ColorBandFixture() override { delete Band; }
};

TEST_F(ColorBandFixture, CoversThePartOfTheAxisBetweenItsValues) {
    const TChartAxis* bottom = Picture.Bottom();
    const TRect r = Picture.Rect();
    auto px = [&](double v) { return bottom->ValueToPixel(v); };
    struct TCase {
        double Start, End;
        bool Inverted;
        bool Shown;
        int Left, Right; // before the pen's extra pixel
    };
    const TCase cases[] = {
        {2, 5, false, true, px(2), px(5)},
        {5, 2, false, true, px(2), px(5)},
        {12, 15, false, false, 0, 0},
        {-5, -1, false, false, 0, 0},
        {8, 15, false, true, px(8), bottom->EndPixel()},
        {-3, 4, false, true, bottom->StartPixel(), px(4)},
        {2, 5, true, true, -1, -1}, // filled in below: pixels of the inverted axis
    };
    for (const TCase& c : cases) {
        Picture.Bottom()->SetInverted(c.Inverted);
        Picture.Render();
        Band->SetStartValue(c.Start);
        Band->SetEndValue(c.End);
        const TRect b = Band->BoundsRect();
        if (!c.Shown) {
            EXPECT_EQ(b, TRect(0, 0, 0, 0)) << c.Start << ".." << c.End;
            continue;
        }
        const int left = c.Inverted ? bottom->ValueToPixel(5) : c.Left;
        const int right = c.Inverted ? bottom->ValueToPixel(2) : c.Right;
        EXPECT_EQ(b, TRect(left, r.Top, right + 1, r.Bottom))
            << c.Start << ".." << c.End << " " << c.Inverted;
    }
    Picture.Bottom()->SetInverted(false);

    // Without an outline the band takes no extra pixel on a horizontal axis.
    Band->Pen()->SetVisible(false);
    Band->SetStartValue(2);
    Band->SetEndValue(5);
    EXPECT_EQ(Band->BoundsRect().Right, px(5));

    // On a vertical axis the band lies across.
    Band->Pen()->SetVisible(true);
    Band->SetAxis(Picture.Left());
    Picture.Render();
    const TChartAxis* left = Picture.Left();
    EXPECT_EQ(Band->BoundsRect(),
              TRect(r.Left + 1, left->ValueToPixel(5), r.Right, left->ValueToPixel(2) + 1));
}

TEST_F(ColorBandFixture, IsDrawnOnceAtTheMomentItsSettingsName) {
    Band->SetStartValue(2);
    Band->SetEndValue(5);
    Band->Pen()->SetVisible(false);
    const TPoint inside = Picture.Point(3.5, 5);
    struct TCase {
        bool Behind, BehindAxes;
        TChartToolEvent Moment;
    };
    for (const TCase& c : {TCase{true, false, cteBeforeDrawSeries}, TCase{false, false, cteAfterDraw},
                           TCase{true, true, cteBeforeDrawAxes}, TCase{false, true, cteBeforeDrawAxes}}) {
        Band->SetDrawBehind(c.Behind);
        Band->SetDrawBehindAxes(c.BehindAxes);
        for (TChartToolEvent moment :
             {cteAfterDraw, cteBeforeDrawSeries, cteBeforeDraw, cteBeforeDrawAxes, cteAfterDrawSeries}) {
            Picture.Render();
            // Paint over the band, then give the tool one moment: only its own moment draws it again.
            Picture.Target.Canvas()->Brush()->SetColor(clWhite);
            Picture.Target.Canvas()->FillRect(Band->BoundsRect());
            Band->ChartEvent(moment);
            EXPECT_EQ(Picture.At(inside.X, inside.Y) == clYellow, moment == c.Moment)
                << c.Behind << c.BehindAxes << " moment " << int(moment);
        }
    }
}

TEST_F(ColorBandFixture, EdgeLinesFollowTheValuesAndResizeTheBand) {
    Band->SetStartValue(2);
    Band->SetEndValue(5);
    EXPECT_EQ(Band->StartLine()->Value(), 2) << "also while the edge cannot be dragged";
    EXPECT_EQ(Band->EndLine()->Value(), 5);
    EXPECT_EQ(Picture.Chart->Tools()->Count(), 1) << "the edges are not the chart's tools";
    EXPECT_EQ(Band->StartLine()->Axis(), Picture.Bottom());

    // The edge is dragged with the band's tool list entry; every step moves the band.
    Band->SetResizeStart(true);
    const int y = (Picture.Rect().Top + Picture.Rect().Bottom) / 2;
    std::vector<double> steps;
    Band->StartLine()->OnEndDragLine = [&](TColorLineTool*) { steps.push_back(-1); };
    Picture.Mouse(cmeDown, Picture.Bottom()->ValueToPixel(2), y);
    ASSERT_TRUE(Picture.Chart->CancelMouse());
    for (double v : {1.0, 0.5}) {
        Picture.Mouse(cmeMove, Picture.Bottom()->ValueToPixel(v), y);
        steps.push_back(Band->StartValue());
    }
    Picture.Mouse(cmeUp, 0, y);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_NEAR(steps[0], 1.0, 0.05);
    EXPECT_NEAR(steps[1], 0.5, 0.05);
    EXPECT_EQ(steps[2], -1);
    EXPECT_EQ(Band->EndValue(), 5) << "the other edge stays";

    // A band without resizable edges lets the press through.
    Band->SetResizeStart(false);
    Picture.Mouse(cmeDown, Picture.Bottom()->ValueToPixel(Band->StartValue()), y);
    EXPECT_FALSE(Picture.Chart->CancelMouse());
}

TEST_F(ColorBandFixture, ReportsClicksInsideTheBand) {
    Band->SetStartValue(2);
    Band->SetEndValue(5);
    Picture.Render();
    std::vector<TPoint> clicks;
    Band->OnClick = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
        clicks.push_back(TPoint(X, Y));
    };
    Picture.Mouse(cmeDown, Picture.Point(3, 5));
    Picture.Mouse(cmeDown, Picture.Point(7, 5));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], Picture.Point(3, 5));
}

TEST(ColorBandPicture, GradientAndTransparency) {
    TToolChart picture(480, 320);
    picture.AddDots(11);
    TColorBandTool gradient(nullptr), glass(nullptr);
    gradient.SetAxis(picture.Bottom());
    gradient.SetStartValue(1);
    gradient.SetEndValue(4);
    gradient.Gradient()->SetVisible(true);
    gradient.Gradient()->SetStartColor(clYellow);
    gradient.Gradient()->SetEndColor(clRed);
    glass.SetAxis(picture.Left());
    glass.SetStartValue(3);
    glass.SetEndValue(7);
    glass.SetColor(clBlue);
    glass.SetTransparency(60);
    glass.SetDrawBehind(false);
    picture.Render();
    const TPoint top = picture.Point(2.5, 9.5), bottom = picture.Point(2.5, 0.5);
    EXPECT_NE(picture.At(top.X, top.Y), picture.At(bottom.X, bottom.Y)) << "the gradient runs down the band";
    const TPoint seen = picture.Point(8, 5);
    const TColor c = picture.At(seen.X, seen.Y);
    EXPECT_NE(c, clBlue) << "the band lets the background through";
    EXPECT_NE(c, clWhite);
    SaveToolPng(picture.Target, "band.png");
}

TEST(ColorBandOnWindow, DraggingAnEdgeWithTheMouseResizesTheBand) {
    TTestDriver driver;
    auto* form = NewForm<TForm>(Application);
    form->SetBounds(0, 0, 520, 400);
    auto* chart = new TChart(form);
    chart->SetParent(form);
    chart->SetBounds(10, 10, 480, 340);
    chart->SetView3D(false);
    chart->Legend()->SetVisible(false);
    chart->BottomAxis()->SetAxisRange(0, 10);
    chart->LeftAxis()->SetAxisRange(0, 10);
    auto* band = new TColorBandTool(form);
    band->SetAxis(chart->BottomAxis());
    band->SetStartValue(3);
    band->SetEndValue(6);
    band->SetColor(clYellow);
    band->SetResizeEnd(true);
    form->Show();
    driver.Pump();
    const int y = (chart->ChartRect().Top + chart->ChartRect().Bottom) / 2;
    const int from = chart->BottomAxis()->ValueToPixel(6), to = chart->BottomAxis()->ValueToPixel(8);
    driver.Drag(chart, TPoint(from, y), TPoint(to, y));
    driver.Pump();
    EXPECT_NEAR(band->EndValue(), 8, 0.05);
    EXPECT_EQ(band->StartValue(), 3);
    EXPECT_EQ(driver.Pixel(chart, chart->BottomAxis()->ValueToPixel(7.5), y), ColorToRGB(clYellow))
        << "the chart shows the wider band";
}

} // namespace
