#include <gtest/gtest.h>

#include <cmath>

#include "PlotCanvasTestUtil.h"

namespace {

using namespace charttest;

int Grey(TColor c) {
    return GetRValue(c);
}

// Band colours of a bottom-to-top fill of black to white, for every row.
void ExpectLinearBands(int height, int balance) {
    TSurface s(2, height);
    s.Canvas.GradientFill(TRect(0, 0, 2, height), clBlack, clWhite, gdTopBottom, balance);
    const int n = std::min(height, 256), steps = n - 1;
    for (int i = 0; i < n; ++i) {
        int expected = i * 255 / steps;
        if (balance != 50)
            expected = static_cast<int>(
                std::nearbyint(255 * std::pow((i + 1.0) / (steps + 1), 0.5 + 0.015 * balance)));
        const int y0 = height - (i + 1) * height / n, y1 = height - i * height / n;
        for (int y = y0; y < y1; ++y)
            ASSERT_EQ(Grey(s.At(1, y)), expected) << "band " << i << " row " << y << " balance " << balance;
    }
}

TEST(PlotGradientBands, LinearBandsFollowHeightAndBalance) {
    ExpectLinearBands(256, 50);  // one band per row, grey level i
    ExpectLinearBands(1000, 50); // 256 bands, boundaries at i * 1000 div 256
    ExpectLinearBands(256, 0);   // square root curve
    ExpectLinearBands(256, 100); // square curve
}

TEST(PlotGradientBands, TooThinForBandsPaintsNothingTwoRowsPaintBoth) {
    TSurface one(4, 4);
    one.Canvas.GradientFill(TRect(0, 1, 4, 2), clRed, clBlue, gdTopBottom, 50);
    EXPECT_EQ(one.InkBox(clWhite), TRect());

    TSurface two(4, 4);
    two.Canvas.GradientFill(TRect(0, 1, 4, 3), clRed, clBlue, gdTopBottom, 50);
    EXPECT_EQ(two.At(0, 2), clRed); // start colour below
    EXPECT_EQ(two.At(0, 1), clBlue);
    EXPECT_EQ(two.InkBox(clWhite), TRect(0, 1, 4, 3));
}

struct TPlacement {
    TGradientDirection Direction;
    TPoint Start, End; // where each colour shows, in a 40 x 40 rectangle at (10, 10)
};

class PlotGradientDirections : public ::testing::TestWithParam<TPlacement> {};

// Every direction covers its rectangle, paints nothing outside it, and puts its colours where users
// see them.
TEST_P(PlotGradientDirections, ColoursLandWhereExpected) {
    const TPlacement p = GetParam();
    TSurface s(60, 60);
    TPlotGradient g;
    g.SetDirection(p.Direction);
    g.SetStartColor(clRed);
    g.SetEndColor(clBlue);
    const TRect r(10, 10, 50, 50);
    g.FillRectangle(s.Canvas, r);
    EXPECT_EQ(s.Count(clWhite, r), 0);
    EXPECT_EQ(s.InkBox(clWhite), r);
    const TColor atStart = s.At(10 + p.Start.X, 10 + p.Start.Y), atEnd = s.At(10 + p.End.X, 10 + p.End.Y);
    EXPECT_GT(GetRValue(atStart), GetBValue(atStart));
    EXPECT_GT(GetBValue(atEnd), GetRValue(atEnd));
}

INSTANTIATE_TEST_SUITE_P(
    All, PlotGradientDirections,
    ::testing::Values(TPlacement{gdTopBottom, {20, 39}, {20, 0}}, TPlacement{gdBottomTop, {20, 0}, {20, 39}},
                      TPlacement{gdLeftRight, {39, 20}, {0, 20}}, TPlacement{gdRightLeft, {0, 20}, {39, 20}},
                      TPlacement{gdFromCenter, {20, 20}, {0, 0}}, TPlacement{gdFromTopLeft, {39, 39}, {0, 0}},
                      TPlacement{gdFromBottomLeft, {39, 0}, {0, 39}}, TPlacement{gdRadial, {21, 21}, {0, 0}},
                      TPlacement{gdDiagonalUp, {0, 39}, {39, 0}},
                      TPlacement{gdDiagonalDown, {0, 0}, {39, 39}}));

TEST(PlotGradient, MiddleColourSplitsTheRectangle) {
    TSurface s(10, 100);
    TPlotGradient g;
    g.SetStartColor(clRed);
    g.SetEndColor(clBlue);
    g.SetMidColor(clLime);
    g.FillRectangle(s.Canvas, TRect(0, 0, 10, 100));
    EXPECT_EQ(s.At(5, 99), clRed);  // start at the bottom
    EXPECT_EQ(s.At(5, 50), clLime); // the lower half ends in the middle colour
    EXPECT_EQ(s.At(5, 49), clLime); // the upper half starts with it
    EXPECT_EQ(s.At(5, 0), clBlue);

    int changes = 0;
    g.OnChange = [&](TObject*) { ++changes; };
    g.SetMidColor(clNone);
    EXPECT_EQ(g.GetMidColor(), clNone);
    g.EnableMidColor();
    EXPECT_EQ(g.GetMidColor(), clLime); // the stored colour comes back
    g.EnableMidColor();
    EXPECT_EQ(changes, 2);
}

TEST(PlotGradient, RadialCentreCarriesTheOffsetPlusOne) {
    // Middle of the darkest pixels of the centre row.
    auto centre = [](int radialX) {
        TSurface s(100, 100);
        TPlotGradient g;
        g.SetDirection(gdRadial);
        g.SetStartColor(clBlack);
        g.SetEndColor(clWhite);
        g.SetRadialX(radialX);
        g.FillRectangle(s.Canvas, TRect(0, 0, 100, 100));
        EXPECT_EQ(s.At(0, 0), clWhite);
        int darkest = 255;
        for (int x = 0; x < 100; ++x)
            darkest = std::min(darkest, Grey(s.At(x, 50)));
        double sum = 0, n = 0;
        for (int x = 0; x < 100; ++x)
            if (Grey(s.At(x, 50)) == darkest) {
                sum += x + 0.5;
                ++n;
            }
        return sum / n;
    };
    EXPECT_NEAR(centre(0), 51, 1);  // the rectangle's centre is 50
    EXPECT_NEAR(centre(20), 71, 1); // 21 further right
}

TEST(PlotGradient, RadialOnAnEmptyRectangleDrawsNothing) {
    TSurface s(40, 40);
    TPlotGradient g;
    g.SetDirection(gdRadial);
    g.SetStartColor(clRed);
    g.FillRectangle(s.Canvas, TRect(10, 10, 10, 30));
    g.FillRadial(s.Canvas, TRect(5, 20, 35, 20));
    s.Canvas.GradientFill(TRect(3, 3, 3, 3), clRed, clBlue, gdRadial);
    EXPECT_EQ(s.InkBox(clWhite), TRect());
}

TEST(PlotGradient, MonochromeCanvasPaintsTheGreysOfTheColours) {
    TSurface s(20, 20);
    s.Canvas.SetMonochrome(true);
    TPlotGradient g;
    g.SetStartColor(clRed);
    g.SetEndColor(clBlue);
    g.FillRectangle(s.Canvas, TRect(0, 0, 20, 20));
    EXPECT_EQ(s.Count(RGB(85, 85, 85), TRect(0, 0, 20, 20)), 400);
}

// A mapped device (as when printing) must get the gradient inside the plane, not beside it.
TEST(PlotGradient, PlaneTakesItsBoundsFromLogicalPoints) {
    TSurface s(100, 80);
    s.Canvas.GetHandle()->SetViewportOrgEx(20, 10);
    TPlotGradient g;
    g.SetStartColor(clRed);
    g.SetEndColor(clBlue);
    const TPoint plane[4] = {{10, 10}, {50, 10}, {50, 40}, {10, 40}};
    g.FillPlane(s.Canvas, plane, 0);
    s.Canvas.GetHandle()->SetViewportOrgEx(0, 0);
    const TRect device(30, 20, 70, 50);
    EXPECT_EQ(s.Count(clWhite, device), 0);
    EXPECT_EQ(s.InkBox(clWhite), device);
}

TEST(PlotGradient, AssignCopiesSettingsWithoutNotifying) {
    TPlotGradient a, b;
    a.SetDirection(gdDiagonalUp);
    a.SetBalance(30);
    a.SetMidColor(clGreen);
    a.SetRadialY(-4);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.Assign(&a);
    EXPECT_EQ(b.Direction(), gdDiagonalUp);
    EXPECT_EQ(b.Balance(), 30);
    EXPECT_EQ(b.GetMidColor(), clGreen);
    EXPECT_EQ(b.RadialY(), -4);
    EXPECT_EQ(changes, 0);
    TChartPen pen;
    EXPECT_THROW(b.Assign(&pen), EConvertError);
}

TEST(PlotGradient, PictureOfTheTenDirections) {
    const int tw = 150, th = 110;
    TSurface s(5 * tw, 2 * th);
    const char* names[] = {"TopBottom",   "BottomTop",      "LeftRight", "RightLeft",  "FromCenter",
                           "FromTopLeft", "FromBottomLeft", "Radial",    "DiagonalUp", "DiagonalDown"};
    for (int d = 0; d < 10; ++d) {
        const TRect r = Bounds((d % 5) * tw + 5, (d / 5) * th + 5, tw - 10, th - 25);
        TPlotGradient g;
        g.SetDirection(static_cast<TGradientDirection>(d));
        g.SetStartColor(clYellow);
        g.SetEndColor(clNavy);
        g.FillRectangle(s.Canvas, r);
        s.Canvas.TextOut(r.Left, r.Bottom + 3, names[d]);
    }
    SavePng(s.Target, "gradient-directions.png");
}

} // namespace
