#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "chart/PlotProcs.h"

using namespace chart;
using plat::TPoint;
using plat::TRect;

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

TEST(PlotGeometry, RoundToIntGoesToEvenAndSaturates) {
    const struct {
        double Value;
        int Expected;
    } cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {-3.5, -4},
        {2.4999, 2},
        {-0.6, -1},
        {std::nan(""), 0},
        {1e20, kIntMax},
        {-1e20, kIntMin},
        {std::numeric_limits<double>::infinity(), kIntMax},
        {-std::numeric_limits<double>::infinity(), kIntMin},
        {2147483647.4, kIntMax},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundToInt(c.Value), c.Expected) << c.Value;
}

TEST(PlotGeometry, RectanglesCountEveryEdgeAsInside) {
    const TRect r(10, 20, 30, 40);
    const struct {
        int X, Y;
        bool Inside;
    } cases[] = {
        {10, 20, true}, {30, 40, true},  {30, 25, true},  {20, 40, true},
        {9, 25, false}, {31, 25, false}, {20, 19, false}, {20, 41, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RectContainsXY(r, c.X, c.Y), c.Inside) << c.X << "," << c.Y;
        EXPECT_EQ(RectContainsPoint(r, MakePoint(c.X, c.Y)), c.Inside);
    }
}

TEST(PlotGeometry, OrderExtentAndCentre) {
    EXPECT_EQ(OrderRect(MakeRect(30, 40, 10, 20)), TRect(10, 20, 30, 40));
    EXPECT_EQ(OrderRect(MakeRect(10, 40, 30, 20)), TRect(10, 20, 30, 40));

    int w, h;
    GetRectExtent(TRect(30, 40, 10, 25), w, h);
    EXPECT_EQ(w, -20);
    EXPECT_EQ(h, -15);
    // Extents beyond the integer range stop at its ends instead of wrapping round.
    GetRectExtent(TRect(kIntMin, kIntMax, kIntMax, kIntMin), w, h);
    EXPECT_EQ(w, kIntMax);
    EXPECT_EQ(h, kIntMin);

    int x, y;
    RectCenter(TRect(-3, -3, 0, 0), x, y);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
    RectCenter(TRect(kIntMax - 1, kIntMax - 3, kIntMax, kIntMax), x, y);
    EXPECT_EQ(x, kIntMax - 1);
    EXPECT_EQ(y, kIntMax - 2);
}

TEST(PlotGeometry, PolygonBoundsTakeRightAndBottomOneFurther) {
    const TPoint one[] = {{5, 7}};
    EXPECT_EQ(PolygonBounds(one, 1), TRect(5, 7, 6, 8));
    const TPoint many[] = {{5, 7}, {-2, 9}, {3, -4}, {100, 100}};
    EXPECT_EQ(PolygonBounds(many, 3), TRect(-2, -4, 6, 10));
    EXPECT_EQ(PolygonBounds(many, 0), TRect());
}

TEST(PlotGeometry, FacingTestHoldsForCoordinatesFarOutside) {
    const struct {
        TPoint P0, P1, P2;
        bool Back;
    } cases[] = {
        {{10, 0}, {0, 0}, {0, 10}, false},
        {{0, 10}, {0, 0}, {10, 0}, true},
        {{0, 0}, {5, 5}, {10, 10}, false}, // in line
        // Products of 3e9 overflow 32 bits and would flip both answers.
        {{60000, 0}, {0, 0}, {0, 50000}, false},
        {{0, 50000}, {0, 0}, {60000, 0}, true},
        {{kIntMax, kIntMin}, {kIntMin, kIntMin}, {kIntMin, kIntMax}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsBackFacing(c.P0, c.P1, c.P2), c.Back);
        const TPoint points[] = {c.P0, c.P1, c.P2, {1, 1}};
        EXPECT_EQ(IsBackFacingPoints(points), c.Back);
    }
}

TEST(PlotGeometry, ConvexHullOfSquareWithCentre) {
    std::vector<TPoint> points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {5, 5}};
    ASSERT_TRUE(ConvexHullPolygon(points));
    const std::vector<TPoint> expected = {{10, 10}, {0, 10}, {0, 0}, {10, 0}};
    EXPECT_EQ(points, expected);
}

TEST(PlotGeometry, ConvexHullOfFewPointsIsLeftAlone) {
    std::vector<TPoint> two = {{1, 2}, {3, 4}};
    EXPECT_FALSE(ConvexHullPolygon(two));
    EXPECT_EQ(two, (std::vector<TPoint>{{1, 2}, {3, 4}}));
    std::vector<TPoint> three = {{5, 5}, {1, 2}, {3, 4}};
    EXPECT_TRUE(ConvexHullPolygon(three));
    EXPECT_EQ(three, (std::vector<TPoint>{{5, 5}, {1, 2}, {3, 4}}));
}

// Positive when P lies on the inner side of the outline's edge A -> B (zero on the edge).
int64_t Side(TPoint A, TPoint B, TPoint P) {
    return (int64_t(B.X) - A.X) * (int64_t(P.Y) - A.Y) - (int64_t(B.Y) - A.Y) * (int64_t(P.X) - A.X);
}

TEST(PlotGeometry, ConvexHullEnclosesEveryPointAndEndsWithThePivot) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, 50);
    for (int round = 0; round < 200; ++round) {
        std::vector<TPoint> input(4 + round % 20);
        for (TPoint& p : input)
            p = {coordinate(random), coordinate(random)};
        std::vector<TPoint> hull = input;
        ASSERT_TRUE(ConvexHullPolygon(hull));
        ASSERT_GE(hull.size(), 1u);

        TPoint pivot = input[0];
        for (const TPoint& p : input)
            if (p.Y < pivot.Y || (p.Y == pivot.Y && p.X > pivot.X))
                pivot = p;
        EXPECT_EQ(hull.back(), pivot);
        for (const TPoint& h : hull)
            EXPECT_NE(std::find(input.begin(), input.end(), h), input.end());
        for (size_t e = 0; e < hull.size(); ++e) {
            const TPoint a = hull[e];
            const TPoint b = hull[(e + 1) % hull.size()];
            for (const TPoint& p : input)
                ASSERT_GE(Side(a, b, p), 0)
                    << "round " << round << ": point " << p.X << "," << p.Y << " outside edge " << e;
        }
    }
}

TEST(PlotGeometry, PointBackAlongLine) {
    const struct {
        TPoint From, To;
        int Distance;
        TPoint Expected;
    } cases[] = {
        {{0, 0}, {0, 10}, 3, {0, 7}},
        {{0, 10}, {0, 0}, 3, {0, 3}},
        {{0, 0}, {10, 0}, 3, {7, 0}},
        {{10, 0}, {0, 0}, 3, {3, 0}},
        {{0, 0}, {10, 10}, 5, {6, 6}},    // 3.54 each way
        {{0, 0}, {40, 30}, 10, {32, 24}}, // 8 and 6
        {{0, 0}, {0, 0}, 4, {0, -4}},
        // Results beyond the integer range stop at its ends.
        {{0, 0}, {kIntMax - 1, 0}, -10, {kIntMax, 0}},
        {{0, 0}, {0, kIntMax - 100}, -1000, {0, kIntMax}},
        {{0, 0}, {0, kIntMin + 100}, -1000, {0, kIntMin}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PointBackAlongLine(c.From, c.To, c.Distance), c.Expected)
            << c.From.X << "," << c.From.Y << " -> " << c.To.X << "," << c.To.Y;
}

TEST(PlotGeometry, ColourShading) {
    EXPECT_EQ(DarkerColor(0x808080, 128), plat::clBlack);
    EXPECT_EQ(DarkerColor(plat::RGB(200, 100, 50), 60), plat::RGB(140, 40, 0));
    EXPECT_EQ(LighterColor(0xF0F0F0, 32), plat::clWhite);
    EXPECT_EQ(LighterColor(plat::clRed, 16), plat::RGB(255, 16, 16));
    // System colours are resolved first: button face is 212, 208, 200.
    EXPECT_EQ(DarkerColor(plat::clBtnFace, 10), plat::RGB(202, 198, 190));
    EXPECT_EQ(LighterColor(plat::clBtnFace, 50), plat::RGB(255, 255, 250));

    uint8_t pixel[3];
    ColorToPixelBytes(plat::RGB(1, 2, 3), pixel);
    EXPECT_EQ(pixel[0], 3);
    EXPECT_EQ(pixel[1], 2);
    EXPECT_EQ(pixel[2], 1);
}

TEST(PlotGeometry, VectorLength) {
    EXPECT_DOUBLE_EQ(VectorLength(3, -4), 5);
    EXPECT_DOUBLE_EQ(VectorLength(0, 0), 0);
}

} // namespace
