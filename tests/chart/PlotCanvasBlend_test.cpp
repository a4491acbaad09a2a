#include <gtest/gtest.h>

#include "PlotCanvasTestUtil.h"

namespace {

using namespace charttest;

// Both mixing paths: the system's constant-alpha blend and the per-pixel loop.
class PlotBlend : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        FSaved = CanUseAlphaBlend;
        CanUseAlphaBlend = GetParam();
    }
    void TearDown() override { CanUseAlphaBlend = FSaved; }
    bool FSaved = true;
};

// Draws a white square over black inside a blend of the given transparency.
TColor WhiteOverBlack(TPlotCanvas3D& c, TBitmap* target, int transparency) {
    c.Brush()->SetColor(clBlack);
    c.FillRect(TRect(0, 0, 20, 20));
    auto blend = c.BeginBlend(TRect(5, 5, 15, 15), transparency);
    c.Brush()->SetColor(clWhite);
    c.FillRect(TRect(0, 0, 20, 20));
    c.EndBlend(std::move(blend));
    return PixelToColor(target->Surface().Row(10)[10] & 0xFFFFFF);
}

TEST_P(PlotBlend, TransparencyMovesTheDrawingBackTowardTheBackground) {
    TSurface s(20, 20);
    EXPECT_EQ(WhiteOverBlack(s.Canvas, &s.Target, 0), clWhite);
    EXPECT_EQ(WhiteOverBlack(s.Canvas, &s.Target, 100), clBlack);
    const TColor half = WhiteOverBlack(s.Canvas, &s.Target, 50);
    if (GetParam()) {
        EXPECT_NEAR(GetRValue(half), 128, 1);
        EXPECT_NEAR(GetBValue(half), 128, 1);
    } else {
        // Each step is 50 * (0 - 255) / 100 = -127 (truncated); white's red byte starts from 254.
        EXPECT_EQ(half, RGB(127, 128, 128));
    }
    EXPECT_EQ(s.At(2, 2), clWhite); // outside the blend the drawing stays
}

TEST_P(PlotBlend, WorksOnTheBufferBitmapToo) {
    TBitmap window(20, 20);
    TPlotCanvas3D c;
    c.InitWindow(window.Canvas(), nullptr, clWhite, false, TRect(0, 0, 20, 20));
    c.ResetToDefaults();
    const TColor half = WhiteOverBlack(c, c.Bitmap(), 50);
    EXPECT_NEAR(GetGValue(half), 128, 1);
}

// An inner blend ends with its own transparency and leaves the outer one's alone.
TEST_P(PlotBlend, NestedBlendsKeepTheirOwnTransparency) {
    TSurface s(30, 30, clBlack);
    auto outer = s.Canvas.BeginBlend(TRect(0, 0, 30, 30), 80);
    s.Canvas.Brush()->SetColor(clWhite);
    s.Canvas.FillRect(TRect(0, 0, 30, 30));
    auto inner = s.Canvas.BeginBlend(TRect(20, 20, 30, 30), 0);
    s.Canvas.Brush()->SetColor(clRed);
    s.Canvas.FillRect(TRect(20, 20, 30, 30));
    s.Canvas.EndBlend(std::move(inner));
    s.Canvas.EndBlend(std::move(outer));
    EXPECT_NEAR(GetGValue(s.At(5, 5)), 51, 1); // 20 % of white over black
    EXPECT_NEAR(GetRValue(s.At(25, 25)), 51, 1);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, PlotBlend, ::testing::Values(true, false));

TEST(PlotBlendArea, RectangleIsClampedToTheSurface) {
    TSurface s(40, 30);
    struct {
        TRect Asked, Kept;
    } cases[] = {{{-10, -10, 20, 20}, {0, 0, 20, 20}},
                 {{-30, -30, -10, -10}, {0, 0, 1, 1}},
                 {{30, 20, 50, 60}, {30, 20, 40, 30}},
                 {{25, 25, 5, 5}, {5, 5, 25, 25}}};
    for (const auto& c : cases) {
        TPlotBlend b(&s.Canvas, c.Asked);
        EXPECT_EQ(b.Rectangle(), c.Kept);
        EXPECT_TRUE(b.ValidSize());
    }
    TPlotBlend outside(&s.Canvas, TRect(50, 50, 60, 60));
    EXPECT_FALSE(outside.ValidSize());
    outside.DoBlend(50); // nothing to mix, nothing happens
}

TEST(PlotBlendArea, MetafilesAreNotBlended) {
    TSurface s(20, 20, clBlack);
    s.Canvas.SetMetafiling(true);
    auto blend = s.Canvas.BeginBlend(TRect(0, 0, 20, 20), 100);
    s.Canvas.Brush()->SetColor(clWhite);
    s.Canvas.FillRect(TRect(0, 0, 20, 20));
    s.Canvas.EndBlend(std::move(blend));
    EXPECT_EQ(s.At(10, 10), clWhite);
}

// ---- Resampling ----

TEST(SmoothStretch, TooSmallBitmapsRaiseAndLeaveTheDestination) {
    struct {
        int SW, SH, DW, DH;
        const char* Message;
    } cases[] = {{1, 5, 1, 1, "SmoothStretch: Source bitmap too small"},
                 {5, 1, 5, 5, "SmoothStretch: Source bitmap too small"},
                 {5, 5, 1, 5, "SmoothStretch: Destination bitmap too small"},
                 {5, 5, 5, 1, "SmoothStretch: Destination bitmap too small"}};
    for (const auto& c : cases) {
        TBitmap src(c.SW, c.SH), dst(c.DW, c.DH, pf24bit);
        try {
            SmoothStretch(&src, &dst, true);
            ADD_FAILURE() << c.Message;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
        EXPECT_EQ(dst.PixelFormat(), pf24bit);
    }
    SmoothStretch(nullptr, nullptr, false); // nothing to do
}

TEST(SmoothStretch, TriangleFilterInterpolatesBetweenColumns) {
    TBitmap src(2, 2), dst(3, 2);
    src.Canvas()->Brush()->SetColor(clWhite);
    src.Canvas()->FillRect(TRect(1, 0, 2, 2));
    SmoothStretch(&src, &dst, true);
    auto at = [&](int x) { return PixelToColor(dst.Surface().Row(1)[x] & 0xFFFFFF); };
    EXPECT_EQ(at(0), clBlack);
    EXPECT_EQ(at(1), RGB(127, 127, 127));
    EXPECT_EQ(at(2), clWhite);
}

// Enlarging weighs the neighbours of each destination pixel by the filter, which sums to one: a picture
// of one colour keeps it. Near the edges a wide filter reaches further than one mirror of a small
// source, and every read stays inside the source.
TEST(SmoothStretch, EnlargedUniformPictureKeepsItsColour) {
    const int sizes[][4] = {{3, 2, 40, 31}, {2, 3, 17, 40}, {5, 4, 6, 9}};
    for (bool triangle : {true, false})
        for (const auto& sz : sizes) {
            TBitmap src(sz[0], sz[1]), dst(sz[2], sz[3]);
            src.Canvas()->Brush()->SetColor(RGB(200, 100, 50));
            src.Canvas()->FillRect(TRect(0, 0, sz[0], sz[1]));
            SmoothStretch(&src, &dst, triangle);
            for (int y = 0; y < sz[3]; ++y)
                for (int x = 0; x < sz[2]; ++x) {
                    const TColor c = PixelToColor(dst.Surface().Row(y)[x] & 0xFFFFFF);
                    // The Lanczos lobes sum to one only nearly.
                    const int tolerance = triangle ? 2 : 8;
                    ASSERT_NEAR(GetRValue(c), 200, tolerance)
                        << sz[0] << "x" << sz[1] << " at " << x << "," << y;
                    ASSERT_NEAR(GetGValue(c), 100, tolerance);
                    ASSERT_NEAR(GetBValue(c), 50, tolerance);
                }
        }
}

// Reducing widens the filter by the scale, so it reaches many source pixels beyond the edges; the
// weights are not normalised, so the colour may drift a little, but it stays the picture's colour.
TEST(SmoothStretch, ReducedUniformPictureStaysCloseToItsColour) {
    const int sizes[][4] = {{40, 30, 3, 2}, {7, 5, 2, 2}, {64, 64, 5, 60}};
    for (bool triangle : {true, false})
        for (const auto& sz : sizes) {
            TBitmap src(sz[0], sz[1]), dst(sz[2], sz[3]);
            src.Canvas()->Brush()->SetColor(RGB(200, 100, 50));
            src.Canvas()->FillRect(TRect(0, 0, sz[0], sz[1]));
            SmoothStretch(&src, &dst, triangle);
            for (int y = 0; y < sz[3]; ++y)
                for (int x = 0; x < sz[2]; ++x) {
                    const TColor c = PixelToColor(dst.Surface().Row(y)[x] & 0xFFFFFF);
                    ASSERT_NEAR(GetRValue(c), 200, 24) << sz[0] << "x" << sz[1] << " at " << x << "," << y;
                    ASSERT_NEAR(GetBValue(c), 50, 6);
                }
        }
}

// A sample picture: a transparent shape with a smooth, transparent shadow over a striped background.
TEST(PlotBlendPicture, BlendedShapeWithShadow) {
    TBitmap window(260, 180);
    TPlotCanvas3D c;
    c.InitWindow(window.Canvas(), nullptr, clWhite, false, TRect(0, 0, 260, 180));
    c.ResetToDefaults();
    c.Pen()->SetStyle(psClear);
    for (int x = 0; x < 260; x += 20) {
        c.Brush()->SetColor((x / 20) % 2 ? clWhite : RGB(120, 180, 240));
        c.FillRect(TRect(x, 0, x + 20, 180));
    }
    TPlotShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetBothSizes(10);
    shadow.SetTransparency(40);
    const TRect shape(40, 30, 200, 130);
    shadow.DrawForRect(c, shape);
    auto blend = c.BeginBlend(shape, 35);
    TPlotGradient g;
    g.SetStartColor(clYellow);
    g.SetEndColor(clRed);
    g.FillRectangle(c, shape);
    c.Pen()->SetStyle(psSolid);
    c.Brush()->SetStyle(bsClear);
    c.Rectangle(shape.Left, shape.Top, shape.Right, shape.Bottom);
    c.EndBlend(std::move(blend));

    TPlotShadow round;
    round.SetColor(clNavy);
    round.SetBothSizes(8);
    round.SetTransparency(30);
    round.DrawEllipse(c, TRect(150, 110, 230, 170), 0);
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(clLime);
    c.Ellipse(150, 110, 230, 170);

    c.ShowImage(window.Canvas(), window.Canvas(), TRect(0, 0, 260, 180));
    // The stripes show through the shape: two neighbouring stripes differ under it.
    auto at = [&](int x, int y) { return PixelToColor(window.Surface().Row(y)[x] & 0xFFFFFF); };
    EXPECT_NE(at(50, 60), at(70, 60));
    SavePng(window, "blend-shadow.png");
}

} // namespace
