#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "PlotCanvasTestUtil.h"

namespace {

using namespace charttest;

struct TProjection : ::testing::Test {
    TSurface S{300, 200};
    int Repaints = 0;
    TView3DOptions Options{[this] { ++Repaints; }};
};

TEST_F(TProjection, OrthogonalSlantFollowsTheAngle) {
    struct {
        int Angle;
        TPoint Shift; // of a point at depth 10 against depth 0
    } cases[] = {{45, {10, -10}}, {135, {-10, -10}}, {90, {10, -10}}, {60, {10, -17}}};
    for (const auto& c : cases) {
        Options.SetOrthoAngle(c.Angle);
        S.Init3D(Options, 40);
        const TPoint p0 = S.Canvas.Calc3DPoint(100, 80, 0), p1 = S.Canvas.Calc3DPoint(100, 80, 10);
        EXPECT_EQ(TPoint(p1.X - p0.X, p1.Y - p0.Y), c.Shift) << "angle " << c.Angle;
    }
}

TEST_F(TProjection, FlatCanvasLeavesPointsAlone) {
    S.Canvas.InitWindow(S.Target.Canvas(), &Options, clWhite, false, TRect(0, 0, 300, 200));
    S.Canvas.CalcCenter(50, TRect(0, 0, 300, 200));
    EXPECT_EQ(S.Canvas.Calc3DPoint(17, -3, 99), TPoint(17, -3));
    int x = 40, y = 50;
    S.Canvas.PlaneToPoint(x, y, 30);
    EXPECT_EQ(TPoint(x, y), TPoint(40, 50));
}

TEST_F(TProjection, RotationWithoutAnglesOnlyShiftsByTheOffsets) {
    Options.SetOrthogonal(false);
    Options.SetElevation(0);
    Options.SetRotation(0);
    Options.SetPerspective(0);
    Options.SetHorizOffset(7);
    Options.SetVertOffset(-5);
    S.Init3D(Options, 40);
    EXPECT_EQ(S.Canvas.Calc3DPoint(30, 60, 25), TPoint(37, 55));
}

TEST_F(TProjection, PerspectiveFactorComesFromWidthAndZoom) {
    Options.SetOrthogonal(false);
    S.Canvas.InitWindow(S.Target.Canvas(), &Options, clWhite, true, TRect(0, 0, 300, 200));
    S.Canvas.CalcCenter(40, TRect(0, 0, 300, 200));
    EXPECT_NEAR(S.Canvas.PerspectiveFactor(), 1.0 / 3000, 1e-15);
    Options.SetPerspective(0);
    S.Init3D(Options, 40);
    // Without perspective the projection is linear: equal steps in depth give equal steps on screen.
    const TPoint a = S.Canvas.Calc3DPoint(50, 50, 0), b = S.Canvas.Calc3DPoint(50, 50, 100),
                 c = S.Canvas.Calc3DPoint(50, 50, 200);
    EXPECT_NEAR(b.X - a.X, c.X - b.X, 1);
    EXPECT_NEAR(b.Y - a.Y, c.Y - b.Y, 1);
}

// Projecting a point and turning the screen point back on the same depth gives the point again.
TEST_F(TProjection, PlaneToPointInvertsTheProjection) {
    struct TView {
        bool Orthogonal;
        int Elevation, Rotation, Tilt, Perspective, Zoom;
    } views[] = {{true, 345, 345, 0, 15, 100}, {true, 345, 345, 0, 15, 150},  {false, 345, 345, 0, 0, 100},
                 {false, 320, 20, 10, 0, 80},  {false, 345, 345, 0, 15, 100}, {false, 300, 330, 15, 40, 120}};
    const int points[][3] = {{10, 20, 0}, {250, 30, 15}, {140, 190, 40}, {60, 100, 5}};
    for (const TView& v : views) {
        Options.SetOrthogonal(v.Orthogonal);
        Options.SetElevation(v.Elevation);
        Options.SetRotation(v.Rotation);
        Options.SetTilt(v.Tilt);
        Options.SetPerspective(v.Perspective);
        Options.SetZoom(v.Zoom);
        S.Init3D(Options, 40);
        for (const auto& p : points) {
            const TPoint screen = S.Canvas.Calc3DPoint(p[0], p[1], p[2]);
            int x = screen.X, y = screen.Y;
            S.Canvas.PlaneToPoint(x, y, p[2]);
            // The projected point was rounded to a pixel; its inverse lies within a pixel of the
            // original in every view (scaled back by the zoom).
            EXPECT_NEAR(x, p[0], 2) << "view " << v.Elevation << "/" << v.Rotation << "/" << v.Perspective;
            EXPECT_NEAR(y, p[1], 2) << "view " << v.Elevation << "/" << v.Rotation << "/" << v.Perspective;
        }
    }
}

TEST_F(TProjection, NestedRotationSwitches) {
    Options.SetOrthogonal(false);
    Options.SetPerspective(0);
    S.Init3D(Options, 40);
    const TPoint rotated = S.Canvas.Calc3DPoint(20, 20, 30);
    ASSERT_NE(rotated, TPoint(20, 20));
    for (int i = 0; i < 3; ++i)
        S.Canvas.DisableRotation();
    EXPECT_EQ(S.Canvas.Calc3DPoint(20, 20, 30), TPoint(20, 20));
    S.Canvas.EnableRotation();
    S.Canvas.EnableRotation();
    EXPECT_EQ(S.Canvas.RotationDisabled(), 1);
    EXPECT_EQ(S.Canvas.Calc3DPoint(20, 20, 30), TPoint(20, 20));
    S.Canvas.EnableRotation();
    EXPECT_EQ(S.Canvas.Calc3DPoint(20, 20, 30), rotated);
    S.Canvas.EnableRotation(); // one too many changes nothing
    EXPECT_EQ(S.Canvas.RotationDisabled(), 0);
    EXPECT_EQ(S.Canvas.Calc3DPoint(20, 20, 30), rotated);
}

TEST(View3DOptions, SettersNotifyOnChangeOnly) {
    int repaints = 0;
    std::vector<bool> scrolls;
    std::vector<int> zooms;
    TView3DOptions o([&] { ++repaints; });
    o.OnScroll = [&](bool h) { scrolls.push_back(h); };
    o.OnZoom = [&](int z) {
        zooms.push_back(z);
        EXPECT_EQ(o.Zoom(), 100); // asked before the change
    };
    o.SetElevation(345);
    o.SetZoom(100);
    EXPECT_EQ(repaints, 0);
    o.SetHorizOffset(3);
    o.SetVertOffset(4);
    o.SetZoom(150);
    EXPECT_EQ(repaints, 3);
    EXPECT_EQ(scrolls, (std::vector<bool>{true, false}));
    EXPECT_EQ(zooms, std::vector<int>{150});

    TView3DOptions copy([&] { repaints += 100; });
    copy.Assign(&o);
    EXPECT_EQ(copy.Zoom(), 150);
    EXPECT_EQ(copy.HorizOffset(), 3);
    EXPECT_EQ(repaints, 3);
    TChartPen pen;
    copy.Assign(&pen); // ignored
    EXPECT_DOUBLE_EQ(o.OrthoTangent(), std::tan(45 * std::numbers::pi / 180));
    o.SetOrthoAngle(120);
    EXPECT_NEAR(o.OrthoTangent(), std::tan(60 * std::numbers::pi / 180), 1e-12);
    o.SetOrthogonal(false);
    EXPECT_EQ(o.OrthoTangent(), 1);
}

TEST_F(TProjection, MonochromeChangeMarksDirtyAndRepaints) {
    S.Init3D(Options, 10);
    S.Canvas.SetMonochrome(true);
    S.Canvas.SetMonochrome(true);
    EXPECT_EQ(Repaints, 1);
    EXPECT_TRUE(S.Canvas.Dirty());
}

} // namespace
