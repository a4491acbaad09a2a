// The axis arrows: which presses hit them, how far and which way they scroll, and the chart's say over
// a scroll.
#include <gtest/gtest.h>

#include "PlotToolsTestUtil.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

struct AxisArrowFixture : ::testing::Test {
    TToolChart Picture;
    TAxisArrowTool* Tool = new TAxisArrowTool(nullptr);

    AxisArrowFixture() {
        Picture.AddDots(11);
        Picture.Bottom()->SetAxisRange(0, 200);
        Tool->SetAxis(Picture.Bottom());
        Tool->Brush()->SetColor(clRed);
        Picture.Render();
    }
    ~AxisArrowFixture() override { delete Tool; }

    TPoint StartArrow() const {
        return TPoint(Picture.Bottom()->StartPixel() + 8, Picture.Bottom()->AxisPixel());
    }
    TPoint EndArrow() const {
        return TPoint(Picture.Bottom()->EndPixel() - 8, Picture.Bottom()->AxisPixel());
    }
};

TEST_F(AxisArrowFixture, ScrollsByAPartOfTheRangeTowardTheArrowsEnd) {
    struct TCase {
        bool Start, Inverted;
        int Percent;
        double Min, Max;
    };
    const TCase cases[] = {
        {true, false, 10, 20, 220},   {true, true, 10, -20, 180}, {false, true, 10, 20, 220},
        {false, false, 10, -20, 180}, {true, false, 25, 50, 250}, {true, false, 0, 0, 200},
    };
    for (const TCase& c : cases) {
        Picture.Bottom()->SetAxisRange(0, 200);
        Picture.Render();
        Tool->SetScrollInverted(c.Inverted);
        Tool->SetScrollPercent(c.Percent);
        int clicks = 0;
        bool atStart = false;
        Tool->OnClick = [&](TAxisArrowTool*, bool AtStart) {
            ++clicks;
            atStart = AtStart;
        };
        Picture.Mouse(cmeDown, c.Start ? StartArrow() : EndArrow());
        EXPECT_DOUBLE_EQ(Picture.Bottom()->Minimum(), c.Min) << c.Start << c.Inverted << c.Percent;
        EXPECT_DOUBLE_EQ(Picture.Bottom()->Maximum(), c.Max) << c.Start << c.Inverted << c.Percent;
        EXPECT_EQ(clicks, c.Percent != 0 ? 1 : 0) << "a zero step is no click at all";
        EXPECT_EQ(Picture.Chart->CancelMouse(), c.Percent != 0);
        if (clicks) {
            EXPECT_EQ(atStart, c.Start);
        }
    }
}

TEST_F(AxisArrowFixture, IsHitOnlyStrictlyInsideItsLengthAndCloseToTheAxisLine) {
    const int start = Picture.Bottom()->StartPixel(), end = Picture.Bottom()->EndPixel();
    const int line = Picture.Bottom()->AxisPixel();
    struct TCase {
        int X, Y, Arrow;
    };
    const TCase cases[] = {
        {start + 8, line, 1},         {start + 8, line + 2, 1}, {start + 8, line - 2, 1},
        {start + 8, line + 3, 0},     {start + 8, line - 3, 0}, {start, line, 0},
        {start + 16, line, 0},        {start + 1, line, 1},     {start + 15, line, 1},
        {end - 8, line, 2},           {end, line, 0},           {end - 16, line, 0},
        {(start + end) / 2, line, 0},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Tool->ArrowAt(c.X, c.Y), c.Arrow) << c.X - start << ", " << c.Y - line;
    Tool->SetPosition(aaEnd);
    EXPECT_EQ(Tool->ArrowAt(start + 8, line), 0);
    EXPECT_EQ(Tool->ArrowAt(end - 8, line), 2);
    Tool->SetPosition(aaStart);
    EXPECT_EQ(Tool->ArrowAt(end - 8, line), 0);
}

TEST_F(AxisArrowFixture, TheChartMayRefuseAScrollAndHearsOfTheOnesItAllows) {
    int scrolls = 0, clicks = 0;
    bool allow = false;
    Picture.Chart->OnScroll = [&](TObject*) { ++scrolls; };
    Picture.Chart->OnAllowScroll = [&](TChartAxis* Axis, double& Min, double& Max, bool& Allow) {
        EXPECT_EQ(Axis, Picture.Bottom());
        EXPECT_DOUBLE_EQ(Min, 20);
        EXPECT_DOUBLE_EQ(Max, 220);
        Min = 1000; // proposals are not taken
        Allow = allow;
    };
    Tool->OnClick = [&](TAxisArrowTool*, bool) { ++clicks; };
    Picture.Mouse(cmeDown, StartArrow());
    EXPECT_DOUBLE_EQ(Picture.Bottom()->Minimum(), 0);
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(clicks, 1) << "the click is reported all the same";
    allow = true;
    Picture.Mouse(cmeDown, StartArrow());
    EXPECT_DOUBLE_EQ(Picture.Bottom()->Minimum(), 20);
    EXPECT_EQ(scrolls, 1);
}

TEST_F(AxisArrowFixture, AHiddenAxisHasNoActiveArrowsAndTheHandShowsOverVisibleOnes) {
    Tool->SetScrollPercent(0);
    Picture.Mouse(cmeMove, StartArrow());
    EXPECT_TRUE(Picture.Chart->CancelMouse());
    EXPECT_EQ(Picture.Chart->Cursor(), crHandPoint);
    Tool->SetScrollPercent(10);
    Picture.Bottom()->SetVisible(false);
    Picture.Mouse(cmeDown, StartArrow());
    EXPECT_FALSE(Picture.Chart->CancelMouse());
    EXPECT_DOUBLE_EQ(Picture.Bottom()->Minimum(), 0);
}

TEST(AxisArrowPicture, ArrowsOnTheBottomAndLeftAxes) {
    TToolChart picture;
    picture.AddDots(11);
    std::unique_ptr<TAxisArrowTool> arrows[2];
    TChartAxis* axes[2] = {picture.Bottom(), picture.Left()};
    for (int k = 0; k < 2; ++k) {
        arrows[k] = std::make_unique<TAxisArrowTool>(nullptr);
        arrows[k]->SetAxis(axes[k]);
        arrows[k]->SetScrollInverted(true);
        arrows[k]->Brush()->SetColor(clRed);
    }
    picture.Render();
    const TChartAxis* b = picture.Bottom();
    EXPECT_EQ(picture.At(b->StartPixel() + 6, b->AxisPixel()), clRed);
    EXPECT_EQ(picture.At(b->EndPixel() - 6, b->AxisPixel()), clRed);
    const TChartAxis* l = picture.Left();
    EXPECT_EQ(picture.At(l->AxisPixel(), l->StartPixel() + 6), clRed);
    SaveToolPng(picture.Target, "axis-arrows.png");
}

} // namespace
