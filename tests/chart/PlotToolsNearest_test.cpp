// The nearest-point tool: which point it marks, and its XOR marker that follows the mouse without
// leaving traces.
#include <gtest/gtest.h>

#include "PlotToolsTestUtil.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

struct NearestFixture : ::testing::Test {
    TToolChart Picture;
    TDotSeries* Dots = nullptr;
    TNearestTool* Tool = new TNearestTool(nullptr);

    NearestFixture() {
        // y = x for x = 0 .. 10.
        Dots = Picture.AddDots(11, 0, 1);
        Tool->SetSeries(Dots);
        Tool->SetParentChart(Picture.Chart.get());
        Tool->Pen()->SetStyle(psSolid);
        Tool->Pen()->SetColor(clRed);
        Picture.Render();
    }
    ~NearestFixture() override { delete Tool; }
};

TEST_F(NearestFixture, FindsTheFirstClosestVisibleNonNullPointInsideTheChart) {
    const TPoint p3 = Picture.Point(3, 3), p4 = Picture.Point(4, 4);
    struct TCase {
        const char* Name;
        TPoint Mouse;
        int Expected;
    };
    const TCase cases[] = {
        {"on a point", p3, 3},
        {"near a point", TPoint(p4.X + 5, p4.Y - 4), 4},
        {"far from everything", TPoint(20000, 20000), -1},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TNearestTool::FindNearestPoint(Dots, c.Mouse.X, c.Mouse.Y), c.Expected) << c.Name;

    // A null point is skipped: its neighbour nearer the mouse is found.
    Dots->SetPointColor(3, clNone);
    EXPECT_EQ(TNearestTool::FindNearestPoint(Dots, p3.X + 3, p3.Y - 3), 4);
    EXPECT_EQ(TNearestTool::FindNearestPoint(Dots, p3.X, p3.Y, true), 3) << "unless nulls are asked for";
    Dots->SetPointColor(3, AutoColor);

    // Two points at one place (the copy is inserted in x order): the lower index wins.
    Dots->AddXY(3, 3);
    Picture.Render();
    EXPECT_EQ(TNearestTool::FindNearestPoint(Dots, p3.X, p3.Y), 3);
    Dots->Delete(4);

    // Zoomed in, a point beyond the axis is never marked, even when it is the closest.
    Picture.Bottom()->SetAxisRange(0, 4.5);
    Picture.Render();
    const TRect r = Picture.Rect();
    const int beyond = Picture.Bottom()->ValueToPixel(5);
    ASSERT_GT(beyond, r.Right);
    EXPECT_EQ(TNearestTool::FindNearestPoint(Dots, beyond, Picture.Left()->ValueToPixel(5)), 4);
}

TEST_F(NearestFixture, FollowsTheMouseAndForgetsThePointWhenTheMouseLeaves) {
    int changes = 0;
    Tool->OnChange = [&](TObject*) { ++changes; };
    Picture.Mouse(cmeMove, Picture.Point(6, 6));
    EXPECT_EQ(Tool->Point(), 6);
    EXPECT_EQ(changes, 1);
    Picture.Mouse(cmeDown, Picture.Point(2, 2));
    EXPECT_EQ(Tool->Point(), 6) << "only moves count";
    Tool->ChartEvent(cteMouseLeave);
    EXPECT_EQ(Tool->Point(), -1);
}

TEST_F(NearestFixture, WithoutFullRepaintTwoMovesLeaveExactlyOneMarker) {
    Tool->SetFullRepaint(false);
    for (TNearestToolStyle style : {hsCircle, hsRectangle, hsDiamond}) {
        Tool->SetStyle(style);
        Tool->ChartEvent(cteMouseLeave);
        Picture.Render();
        const std::vector<uint32_t> pristine = Picture.Pixels();
        Picture.Mouse(cmeMove, Picture.Point(7, 7));
        const std::vector<uint32_t> oneMove = Picture.Pixels();
        EXPECT_FALSE(oneMove == pristine) << int(style);

        // Through another point and back: the same single marker (with its line from the mouse).
        Picture.Mouse(cmeMove, Picture.Point(2, 2));
        EXPECT_NE(Picture.At(Picture.Point(2, 2).X + 20, Picture.Point(2, 2).Y), clWhite);
        Picture.Mouse(cmeMove, Picture.Point(7, 7));
        EXPECT_TRUE(Picture.Pixels() == oneMove) << int(style);

        // Leaving erases it.
        Tool->ChartEvent(cteMouseLeave);
        EXPECT_TRUE(Picture.Pixels() == pristine) << int(style);
    }
}

TEST_F(NearestFixture, Picture) {
    Tool->SetSize(12);
    Tool->LinePen()->SetColor(clBlue);
    Picture.Mouse(cmeMove, Picture.Point(6.4, 4.5));
    Picture.Render();
    const TPoint p = Picture.Point(6, 6);
    EXPECT_EQ(Picture.At(p.X + 12, p.Y), clRed) << "the circle around the point";
    SaveToolPng(Picture.Target, "nearest.png");
}

} // namespace
