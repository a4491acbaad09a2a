// Custom shapes: the box drawn framed, filled, shadowed, bevelled, rounded, rotated, with a gradient and
// transparent; positions and copies.
#include "chart/PlotEngineShape.h"

#include <gtest/gtest.h>

#include "chart/PlotCanvasTestUtil.h"
#include "chart/PlotProcsPanel.h"
#include "platform/testing/TestDriver.h"

using namespace plat;
using namespace chart;

namespace {

class PlotShapeTest : public ::testing::Test {
protected:
    TTestDriver Driver;
    std::unique_ptr<TCustomPlotPanel> Panel;
    TBitmap Target{220, 160};

    void SetUp() override {
        Panel = std::make_unique<TCustomPlotPanel>(nullptr);
        Clear();
        TPlotCanvas3D* c = Panel->DrawCanvas();
        c->SetBuffered(false);
        c->InitWindow(Target.Canvas(), nullptr, clWhite, false, TRect(0, 0, 220, 160));
        c->ResetToDefaults();
    }
    void Clear(TColor colour = clWhite) {
        TCanvas* cv = Target.Canvas();
        cv->Brush()->SetStyle(bsSolid);
        cv->Brush()->SetColor(colour);
        cv->FillRect(TRect(0, 0, 220, 160));
    }
    TColor At(int x, int y) { return PixelToColor(Target.Surface().Row(y)[x] & 0xFFFFFF); }
    // A yellow box with a red frame and no shadow.
    std::unique_ptr<TPlotShape> Box(const TRect& r) {
        auto shape = std::make_unique<TPlotShape>(Panel.get());
        shape->SetColor(clYellow);
        shape->Frame()->SetColor(clRed);
        shape->Shadow()->SetBothSizes(0);
        shape->SetShapeBounds(r);
        return shape;
    }
};

TEST_F(PlotShapeTest, Defaults) {
    TPlotShape shape(Panel.get());
    EXPECT_TRUE(shape.Visible());
    EXPECT_EQ(shape.Color(), clWhite);
    EXPECT_EQ(shape.Bevel(), bvNone);
    EXPECT_EQ(shape.BevelWidth(), 2);
    EXPECT_EQ(shape.ShapeStyle(), fosRectangle);
    EXPECT_EQ(shape.Shadow()->Color(), clBlack);
    EXPECT_EQ(shape.Shadow()->HorizSize(), 3);
    EXPECT_FALSE(shape.Shadow()->IsHorizSizeStored());
    EXPECT_EQ(shape.BoundsWidth(), 1) << "an unplaced shape";
    EXPECT_EQ(shape.BoundsHeight(), 1);
    shape.SetBoundsWidth(20);
    EXPECT_EQ(shape.ShapeBounds().Right, 19);
    EXPECT_FALSE(shape.HasGradient());
    EXPECT_FALSE(shape.Gradient()->Visible()) << "created invisible on first read";
    EXPECT_TRUE(shape.HasGradient());
    shape.SetGradient(nullptr);
    EXPECT_FALSE(shape.HasGradient());
}

TEST_F(PlotShapeTest, FramedAndFilled) {
    auto shape = Box(TRect(10, 10, 60, 40));
    shape->Draw();
    EXPECT_EQ(At(10, 10), clRed);
    EXPECT_EQ(At(59, 39), clRed);
    EXPECT_EQ(At(35, 25), clYellow);
    EXPECT_EQ(At(60, 40), clWhite) << "right and bottom edges stay out";
    EXPECT_EQ(At(62, 42), clWhite) << "no shadow";
}

TEST_F(PlotShapeTest, ShadowedBelowRight) {
    auto shape = Box(TRect(10, 10, 60, 40));
    shape->Shadow()->SetBothSizes(3);
    shape->Draw();
    // The shadow is smoothed: dark, not necessarily black.
    EXPECT_LT(GetRValue(At(61, 41)), 200);
    EXPECT_LT(GetRValue(At(62, 20)), 200);
    EXPECT_EQ(At(11, 41), clWhite) << "the shadow starts its own size in";
    EXPECT_EQ(At(64, 44), clWhite);
    // A clear brush casts no shadow.
    Clear();
    shape->Brush()->SetStyle(bsClear);
    shape->Draw();
    EXPECT_EQ(At(61, 41), clWhite);
}

TEST_F(PlotShapeTest, TransparentDrawsNothing) {
    auto shape = Box(TRect(10, 10, 60, 40));
    shape->Shadow()->SetBothSizes(3);
    shape->SetBevel(bvRaised);
    shape->SetTransparent(true);
    shape->Draw();
    for (TPoint p : {TPoint(10, 10), TPoint(35, 25), TPoint(61, 41), TPoint(11, 11)})
        EXPECT_EQ(At(p.X, p.Y), clWhite);
}

TEST_F(PlotShapeTest, BevelAndRoundedOutline) {
    auto shape = Box(TRect(10, 10, 60, 40));
    shape->SetBevel(bvRaised);
    shape->SetBevelWidth(2);
    shape->Draw();
    EXPECT_EQ(At(11, 20), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(58, 20), ColorToRGB(clBtnShadow));

    Clear();
    auto round = Box(TRect(80, 10, 160, 60));
    round->SetShapeStyle(fosRoundRectangle);
    round->Draw();
    EXPECT_EQ(At(80, 10), clWhite) << "the corner is cut off";
    EXPECT_EQ(At(120, 35), clYellow);
    EXPECT_EQ(At(120, 10), clRed);
}

TEST_F(PlotShapeTest, RotatedCornersAndNoBevel) {
    TPoint corners[4];
    TPlotCustomShape::RotatedCorners(TRect(0, 0, 40, 20), 90, corners);
    // Centre (20, 10): a quarter turn maps (-20, -10) to (-10, 20).
    EXPECT_EQ(corners[0], TPoint(10, 30));
    EXPECT_EQ(corners[1], TPoint(10, -10));
    EXPECT_EQ(corners[2], TPoint(30, -10));
    EXPECT_EQ(corners[3], TPoint(30, 30));

    auto shape = Box(TRect(60, 60, 160, 100));
    shape->Shadow()->SetBothSizes(4);
    shape->DrawShapeRect(shape->ShapeBounds(), 30);
    EXPECT_EQ(At(110, 80), clYellow) << "the centre stays";
    EXPECT_EQ(At(61, 61), clWhite) << "the old corner is rotated away";
    TBitmap withoutBevel(220, 160);
    withoutBevel.Canvas()->CopyRect(TRect(0, 0, 220, 160), Target.Canvas(), TRect(0, 0, 220, 160));
    Clear();
    shape->SetBevel(bvLowered);
    shape->DrawShapeRect(shape->ShapeBounds(), 30);
    int differing = 0;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 220; ++x)
            differing +=
                (Target.Surface().Row(y)[x] & 0xFFFFFF) != (withoutBevel.Surface().Row(y)[x] & 0xFFFFFF);
    EXPECT_EQ(differing, 0) << "no bevel on a rotated box";
    // Without transparency a rotated box has no shadow: nothing beyond the rotated outline.
    TPoint c[4];
    TPlotCustomShape::RotatedCorners(TRect(60, 60, 160, 100), 30, c);
    const TRect bounds = PolygonBounds(c, 4);
    int outside = 0;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 220; ++x)
            if (!RectContainsXY(bounds, x, y) && At(x, y) != clWhite)
                ++outside;
    EXPECT_EQ(outside, 0);
}

TEST_F(PlotShapeTest, GradientFill) {
    auto shape = Box(TRect(10, 10, 110, 110));
    shape->Gradient()->SetStartColor(clRed);
    shape->Gradient()->SetEndColor(clBlue);
    shape->Gradient()->SetDirection(gdTopBottom);
    shape->Gradient()->SetVisible(true);
    shape->Draw();
    // One end red, the other blue.
    const TColor top = At(60, 12), bottom = At(60, 107);
    auto reddish = [](TColor c) { return GetRValue(c) > 200 && GetBValue(c) < 60; };
    auto bluish = [](TColor c) { return GetBValue(c) > 200 && GetRValue(c) < 60; };
    EXPECT_TRUE((reddish(top) && bluish(bottom)) || (bluish(top) && reddish(bottom)));
    EXPECT_EQ(At(10, 60), clRed) << "the frame is drawn over the gradient";
}

TEST_F(PlotShapeTest, TransparencyMixesWithWhatIsBelow) {
    Clear(clBlue);
    auto shape = Box(TRect(10, 10, 60, 40));
    shape->SetColor(clRed);
    shape->SetTransparency(50);
    shape->Draw();
    const TColor mixed = At(35, 25);
    EXPECT_NEAR(GetRValue(mixed), 128, 3);
    EXPECT_NEAR(GetBValue(mixed), 128, 3);
}

TEST_F(PlotShapeTest, PositionAndCopies) {
    TPlotCustomShapePosition a(Panel.get());
    EXPECT_FALSE(a.CustomPosition());
    a.SetLeft(30);
    EXPECT_TRUE(a.CustomPosition());
    EXPECT_EQ(a.Left(), 30);
    a.SetTop(40);
    EXPECT_EQ(a.ShapeBounds().Top, 40);
    a.SetColor(clAqua);
    a.SetTransparency(20);
    a.SetShapeStyle(fosRoundRectangle);
    a.Gradient()->SetVisible(true);
    a.Frame()->SetColor(clLime);

    TPlotCustomShapePosition b(Panel.get());
    b.Assign(&a);
    EXPECT_TRUE(b.CustomPosition());
    EXPECT_EQ(b.Left(), 30);
    EXPECT_EQ(b.Top(), 40);
    EXPECT_EQ(b.Color(), clAqua);
    EXPECT_EQ(b.Transparency(), 20);
    EXPECT_EQ(b.ShapeStyle(), fosRoundRectangle);
    EXPECT_TRUE(b.Gradient()->Visible());
    EXPECT_EQ(b.Frame()->Color(), clLime);

    // A shape without a panel stores its values and draws nothing.
    TPlotShape loose(nullptr);
    loose.SetColor(clRed);
    loose.SetVisible(false);
    EXPECT_EQ(loose.Color(), clRed);
    EXPECT_FALSE(loose.Visible());
    EXPECT_NO_THROW(loose.Draw());
}

TEST_F(PlotShapeTest, SampleSheet) {
    Clear(clBtnFace);
    auto plain = Box(TRect(8, 8, 70, 40));
    plain->Shadow()->SetBothSizes(3);
    plain->Draw();
    auto bevel = Box(TRect(80, 8, 142, 40));
    bevel->SetColor(clSilver);
    bevel->SetBevel(bvRaised);
    bevel->Draw();
    auto round = Box(TRect(150, 8, 212, 40));
    round->SetShapeStyle(fosRoundRectangle);
    round->Gradient()->SetStartColor(clWhite);
    round->Gradient()->SetEndColor(clTeal);
    round->Gradient()->SetVisible(true);
    round->Draw();
    auto rotated = Box(TRect(20, 70, 100, 100));
    rotated->SetColor(clAqua);
    rotated->DrawShapeRect(rotated->ShapeBounds(), 30);
    auto glass = Box(TRect(120, 60, 200, 140));
    glass->SetColor(clRed);
    glass->SetTransparency(40);
    glass->Shadow()->SetBothSizes(5);
    glass->Draw();
    charttest::SavePng(Target, "shapes.png");
}

} // namespace
