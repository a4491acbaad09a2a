#include <gtest/gtest.h>

#include <numbers>

#include "PlotCanvasTestUtil.h"

namespace {

using namespace charttest;

struct TSolids : ::testing::Test {
    TSurface S{200, 200};
    TView3DOptions Options;
    void SetUp() override {
        S.Init3D(Options, 40); // orthogonal at 45 degrees: depth goes up and to the right
        S.Canvas.Pen()->SetStyle(psClear);
    }
};

TEST_F(TSolids, CubeShadesItsVisibleFaces) {
    S.Canvas.Brush()->SetColor(clRed);
    S.Canvas.Cube(60, 120, 80, 140, 0, 30, true);
    EXPECT_EQ(S.At(90, 110), clRed);             // front
    EXPECT_EQ(S.At(125, 100), TColor(0x00007F)); // right side, 255 - 128
    EXPECT_EQ(S.At(90, 70), TColor(0x0000BF));   // top, 255 - 64
    EXPECT_EQ(S.At(55, 100), clWhite);           // the left side faces away
    EXPECT_EQ(S.At(90, 145), clWhite);           // and so does the bottom
}

// Faces far larger than the picture: their facing products pass the 32-bit range and must not wrap.
TEST_F(TSolids, HugeCubeStillShowsItsFront) {
    S.Canvas.Brush()->SetColor(clRed);
    S.Canvas.Cube(-49900, 100, -49900, 100, 0, 30, true);
    EXPECT_EQ(S.At(50, 85), clRed);             // front only: the back face lies 30 pixels higher
    EXPECT_EQ(S.At(110, 60), TColor(0x00007F)); // right side
}

TEST_F(TSolids, CubeSeenFromTheLeftShowsItsLeftSide) {
    Options.SetOrthoAngle(135);
    S.Init3D(Options, 40);
    S.Canvas.Brush()->SetColor(clRed);
    S.Canvas.Cube(80, 140, 80, 140, 0, 30, true);
    EXPECT_EQ(S.At(75, 100), TColor(0x00007F));
    EXPECT_EQ(S.At(145, 100), clWhite);
}

TEST_F(TSolids, WireCubeShowsItsHiddenEdges) {
    S.Canvas.Pen()->SetStyle(psSolid);
    S.Canvas.Brush()->SetStyle(bsClear);
    S.Canvas.Cube(60, 120, 80, 140, 0, 30, false);
    EXPECT_EQ(S.At(75, 125), clBlack);  // on the edge from the front bottom-left corner into depth
    EXPECT_EQ(S.At(100, 130), clWhite); // inside the front face, which is not filled

    TSurface solid(200, 200);
    solid.Init3D(Options, 40);
    solid.Canvas.Brush()->SetColor(clGreen);
    solid.Canvas.Cube(60, 120, 80, 140, 0, 30, false);
    EXPECT_EQ(solid.At(75, 125), clGreen);
}

TEST_F(TSolids, ConeEndsInAPointAndCylinderKeepsItsWidth) {
    auto widthAt = [&](TSurface& s, int y) {
        int n = 0;
        for (int x = 0; x < 200; ++x)
            n += s.At(x, y) != clWhite;
        return n;
    };
    S.Canvas.Brush()->SetColor(clBlue);
    S.Canvas.Cylinder(true, 60, 60, 120, 160, 0, 30, true);
    EXPECT_NEAR(widthAt(S, 70), widthAt(S, 120), 2);

    TSurface cone(200, 200);
    cone.Init3D(Options, 40);
    cone.Canvas.Pen()->SetStyle(psClear);
    cone.Canvas.Brush()->SetColor(clBlue);
    cone.Canvas.Cone(true, 60, 60, 120, 160, 0, 30, true, 0);
    EXPECT_GT(widthAt(cone, 70), 50);
    EXPECT_LT(widthAt(cone, 150), 10);
}

TEST(Solids2D, SphereRadiusRoundsHalfToEven) {
    TSurface s(40, 40);
    s.Canvas.SphereWithZ(20, 20, 0, 4.5);
    EXPECT_EQ(s.InkBox(clWhite), TRect(16, 16, 25, 25));
}

TEST(Solids2D, ArrowBetweenEqualPointsDrawsNothing) {
    TSurface s(40, 40);
    s.Canvas.Arrow3D(true, TPoint(10, 10), TPoint(10, 10), 10, 10, 0, 50);
    EXPECT_EQ(s.InkBox(clWhite), TRect());
    s.Canvas.Brush()->SetColor(clRed);
    s.Canvas.Arrow(true, TPoint(5, 20), TPoint(35, 20), 12, 8, 0);
    EXPECT_EQ(s.At(15, 20), clRed); // the body
    EXPECT_EQ(s.At(15, 25), clWhite);
    EXPECT_EQ(s.At(28, 24), clRed); // the head is wider than the body
}

TEST(Solids2D, PolygonFillsPolylineStrokes) {
    const TPoint tri[3] = {{5, 5}, {35, 5}, {20, 35}};
    TSurface filled(40, 40), stroked(40, 40);
    filled.Canvas.Brush()->SetColor(clRed);
    filled.Canvas.PolygonWithZ(tri, 2, 0);
    stroked.Canvas.Brush()->SetColor(clRed);
    stroked.Canvas.PolylineWithZ(tri, 2, 0);
    EXPECT_EQ(filled.At(20, 12), clRed);
    EXPECT_EQ(stroked.At(20, 12), clWhite);
    EXPECT_EQ(stroked.At(20, 5), clBlack);
}

TEST_F(TSolids, PyramidShowsItsFrontAndRightFaces) {
    S.Canvas.Brush()->SetColor(clRed);
    S.Canvas.Pyramid(true, 60, 60, 140, 160, 0, 40, true);
    EXPECT_EQ(S.At(100, 150), clRed);            // front triangle near its base
    EXPECT_EQ(S.At(150, 140), TColor(0x00007F)); // right face
}

TEST_F(TSolids, PieSliceTopFaceAndGradient) {
    S.Canvas.Brush()->SetColor(clYellow);
    S.Canvas.PieSlice3D(100, 100, 60, 60, 0, 20, 0, std::numbers::pi / 2, true, true, 0, nullptr);
    EXPECT_EQ(S.At(120, 80), clYellow);
    EXPECT_EQ(S.At(80, 120), clWhite);

    TSurface g(200, 200);
    g.Init3D(Options, 40);
    TPlotGradient gradient;
    gradient.SetStartColor(clRed);
    gradient.SetEndColor(clBlue);
    g.Canvas.PieSlice3D(100, 100, 60, 60, 0, 20, 0, std::numbers::pi / 2, false, true, 40, &gradient);
    const TColor c = g.At(125, 75);
    EXPECT_NE(c, clWhite);
    EXPECT_EQ(GetGValue(c), 0);        // a red-to-blue mix
    EXPECT_EQ(g.At(105, 95), clWhite); // inside the hole
}

// The solids in an orthogonal and a perspective view, for people to look at.
TEST(SolidsPicture, OrthogonalAndPerspectiveViews) {
    for (bool ortho : {true, false}) {
        TSurface s(640, 300);
        TView3DOptions o;
        o.SetOrthogonal(ortho);
        o.SetElevation(340);
        o.SetRotation(335);
        o.SetPerspective(ortho ? 0 : 40);
        s.Init3D(o, 60);
        TCanvas3D& c = s.Canvas;
        c.Pen()->SetColor(clBlack);
        auto row = [](int i) { return 30 + (i % 3) * 200; };
        const int z0 = 0, z1 = 60;
        c.Brush()->SetColor(clRed);
        c.Cube(row(0), row(0) + 100, 40, 120, z0, z1, true);
        c.Brush()->SetColor(clBlue);
        c.Cylinder(true, row(1), 30, row(1) + 100, 120, z0, z1, true);
        c.Brush()->SetColor(clGreen);
        c.Cone(true, row(2), 130, row(2) + 100, 30, z0, z1, true, 0); // tip up: given bottom to top
        c.Brush()->SetColor(clYellow);
        c.Pyramid(true, row(0), 170, row(0) + 100, 280, z0, z1, true);
        c.Brush()->SetColor(clFuchsia);
        c.PieSlice3D(row(1) + 50, 225, 60, 50, z0, 30, 0.3, 4.2, true, true, 0, nullptr);
        c.Brush()->SetColor(clAqua);
        c.Arrow3D(true, TPoint(row(2), 270), TPoint(row(2) + 110, 180), 40, 30, 30, 50);
        SavePng(s.Target, ortho ? "solids-orthogonal.png" : "solids-perspective.png");
        EXPECT_NE(s.InkBox(clWhite), TRect());
    }
}

} // namespace
