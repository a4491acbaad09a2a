#include "platform/gfx/AAGraphics.h"

#include <cairo.h>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <utility>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/GfxTestUtil.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/JpegImage.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/Stream.h"

using namespace plat;
using gfxtest::TScene;

namespace {

constexpr TARGB kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kBlack = 0xFF000000,
                kWhite = 0xFFFFFFFF;

// Pixel (x, y) as 0xRRGGBB.
uint32_t Rgb(const TScene& s, int x, int y) {
    return s.Surface.Row(y)[x] & 0xFFFFFF;
}

int Channel(uint32_t c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance) {
    for (int s : {0, 8, 16})
        if (std::abs(Channel(actual, s) - Channel(expected, s)) > tolerance)
            return ::testing::AssertionFailure()
                   << std::hex << "0x" << (actual & 0xFFFFFF) << " is not within " << std::dec << tolerance
                   << " of 0x" << std::hex << (expected & 0xFFFFFF);
    return ::testing::AssertionSuccess();
}

int Distance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int s : {0, 8, 16})
        d = std::max(d, std::abs(Channel(a, s) - Channel(b, s)));
    return d;
}

// Bounding box of the pixels where two snapshots differ.
TRect DiffBox(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width) {
    TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            int x = static_cast<int>(i % width), y = static_cast<int>(i / width);
            box = TRect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                        std::max(box.Bottom, y + 1));
        }
    return box.Left == INT32_MAX ? TRect() : box;
}

} // namespace

// ---- Smoothing and the pixel grid ----

TEST(AAGraphicsSmoothing, AntiAliasBlendsEdgesOtherModesKeepThemHard) {
    const int modes[] = {aasmDefault,     aasmHighSpeed, aasmNone,
                         aasmHighQuality, aasmAntiAlias, aasmAntiAlias8x8};
    for (int mode : modes) {
        TScene s(40, 40);
        TAAGraphics g(&s.Dc);
        ASSERT_EQ(g.SetSmoothingMode(mode), TAAStatus::Ok);
        TAAPen pen(kBlack, 1.5f);
        TAASolidBrush brush(kBlack);
        g.DrawLine(&pen, 2, 3, 37, 20);
        g.FillEllipse(&brush, 5, 22, 30, 15);
        int between = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                between += Rgb(s, x, y) != 0 && Rgb(s, x, y) != 0xFFFFFF;
        bool smooth = mode == aasmHighQuality || mode == aasmAntiAlias || mode == aasmAntiAlias8x8;
        EXPECT_EQ(between > 0, smooth) << "mode " << mode;
    }
}

TEST(AAGraphicsSmoothing, CoordinatesNamePixelCentres) {
    TScene s(20, 20);
    TAAGraphics g(&s.Dc);
    g.SetSmoothingMode(aasmAntiAlias);
    TAAPen pen(kBlack, 1);
    // A one-pixel line on y = 3 fills row 3 and nothing of the rows beside it.
    g.DrawLine(&pen, 2, 3, 12, 3);
    for (int x = 3; x < 12; ++x) {
        EXPECT_EQ(Rgb(s, x, 3), 0u) << x;
        EXPECT_EQ(Rgb(s, x, 2), 0xFFFFFFu) << x;
        EXPECT_EQ(Rgb(s, x, 4), 0xFFFFFFu) << x;
    }
    // An aliased fill covers the pixels whose centres it holds.
    TScene t(20, 20);
    TAAGraphics h(&t.Dc);
    TAASolidBrush brush(kBlack);
    h.FillRectangle(&brush, 2, 2, 5, 4);
    EXPECT_EQ(t.InkBox(clWhite), TRect(2, 2, 7, 6));
}

TEST(AAGraphicsPen, DotsInsetAndWidth) {
    TScene s(30, 40);
    TAAGraphics g(&s.Dc);
    TAAPen dots(kBlack, 1);
    ASSERT_EQ(dots.SetDashStyle(aadsDot), TAAStatus::Ok);
    g.DrawLine(&dots, 0, 2, 12, 2);
    EXPECT_EQ(s.RowMask(2, 0, 13, clBlack), "#.#.#.#.#.#..");

    // Inset keeps a wide pen inside the rectangle; centred it straddles the outline.
    for (int align : {aapaInset, aapaCenter}) {
        TScene r(40, 40);
        TAAGraphics gr(&r.Dc);
        TAAPen wide(kBlack, 4);
        wide.SetAlignment(align);
        gr.DrawRectangle(&wide, 10, 10, 20, 20);
        EXPECT_EQ(r.InkBox(clWhite), align == aapaInset ? TRect(10, 10, 30, 30) : TRect(8, 8, 32, 32));
    }

    // Width 0 still draws one pixel; a translucent colour blends.
    TScene t(20, 20);
    TAAGraphics gt(&t.Dc);
    TAAPen thin(0x80000000, 0);
    gt.DrawLine(&thin, 0, 5, 19, 5);
    EXPECT_TRUE(Near(Rgb(t, 10, 5), 0x7F7F7F, 2));
    EXPECT_EQ(Rgb(t, 10, 4), 0xFFFFFFu);
}

// ---- Linear gradients ----

TEST(AAGraphicsLinearGradient, ModesPutColoursAtTheirEnds) {
    struct Case {
        int Mode;
        TPoint Start, Mid, End;
    } cases[] = {
        {aalgHorizontal, {0, 50}, {50, 50}, {99, 50}},
        {aalgVertical, {50, 0}, {50, 50}, {50, 99}},
        {aalgForwardDiagonal, {0, 0}, {99, 0}, {99, 99}},
        {aalgBackwardDiagonal, {99, 0}, {0, 0}, {0, 99}},
    };
    for (const Case& c : cases) {
        TScene s(100, 100);
        TAAGraphics g(&s.Dc);
        TAALinearGradientBrush b({0, 0, 100, 100}, kRed, kBlue, c.Mode);
        ASSERT_EQ(b.LastStatus(), TAAStatus::Ok);
        g.FillRectangle(&b, 0, 0, 100, 100);
        EXPECT_TRUE(Near(Rgb(s, c.Start.X, c.Start.Y), 0xFF0000, 3)) << "mode " << c.Mode;
        EXPECT_TRUE(Near(Rgb(s, c.Mid.X, c.Mid.Y), 0x800080, 3)) << "mode " << c.Mode;
        EXPECT_TRUE(Near(Rgb(s, c.End.X, c.End.Y), 0x0000FF, 6)) << "mode " << c.Mode;
    }
}

TEST(AAGraphicsLinearGradient, WrapModesRepeatOrMirrorBeyondTheRectangle) {
    struct Case {
        int Wrap;
        int Twin; // the pixel inside the rectangle that pixel 12 repeats
    } cases[] = {{aawmTile, 2}, {aawmTileFlipX, 8}, {aawmTileFlipXY, 8}, {aawmTileFlipY, 2}};
    for (const Case& c : cases) {
        TScene s(40, 4);
        TAAGraphics g(&s.Dc);
        TAALinearGradientBrush b({0, 0, 10, 4}, kBlack, kWhite, aalgHorizontal);
        ASSERT_EQ(b.SetWrapMode(c.Wrap), TAAStatus::Ok);
        g.FillRectangle(&b, 0, 0, 40, 4);
        EXPECT_TRUE(Near(Rgb(s, 12, 1), Rgb(s, c.Twin, 1), 1)) << "wrap " << c.Wrap;
        EXPECT_GT(Distance(Rgb(s, 2, 1), Rgb(s, 8, 1)), 100);
    }
    TAALinearGradientBrush b({0, 0, 10, 4}, kBlack, kWhite, aalgHorizontal);
    EXPECT_EQ(b.SetWrapMode(aawmClamp), TAAStatus::InvalidParameter);
}

TEST(AAGraphicsLinearGradient, BlendAndGammaShapeTheRamp) {
    TScene s(101, 6);
    TAAGraphics g(&s.Dc);
    TAALinearGradientBrush peak({0, 0, 100, 2}, kBlack, kWhite, aalgHorizontal);
    const float factors[] = {0, 1, 0}, positions[] = {0, 0.5f, 1};
    ASSERT_EQ(peak.SetBlend(factors, positions, 3), TAAStatus::Ok);
    g.FillRectangle(&peak, 0, 0, 101, 2);
    EXPECT_TRUE(Near(Rgb(s, 0, 1), 0x000000, 2));
    EXPECT_TRUE(Near(Rgb(s, 50, 1), 0xFFFFFF, 2));
    EXPECT_TRUE(Near(Rgb(s, 25, 1), 0x808080, 3));
    EXPECT_TRUE(Near(Rgb(s, 75, 1), 0x808080, 3));

    // Mixed as light, the middle of black to white is brighter than the plain average.
    TAALinearGradientBrush plain({0, 0, 100, 2}, kBlack, kWhite, aalgHorizontal);
    TAALinearGradientBrush gamma({0, 0, 100, 2}, kBlack, kWhite, aalgHorizontal);
    gamma.SetGammaCorrection(true);
    g.FillRectangle(&plain, 0, 2, 101, 2);
    g.FillRectangle(&gamma, 0, 4, 101, 2);
    EXPECT_TRUE(Near(Rgb(s, 50, 2), 0x808080, 2));
    EXPECT_TRUE(Near(Rgb(s, 50, 4), 0xBABABA, 3));

    const float badPositions[] = {0.2f, 0.5f, 1};
    EXPECT_EQ(peak.SetBlend(factors, badPositions, 3), TAAStatus::InvalidParameter);
    const float badFactors[] = {0, 1.5f, 0};
    EXPECT_EQ(peak.SetBlend(badFactors, positions, 3), TAAStatus::InvalidParameter);
}

TEST(AAGraphicsLinearGradient, AngleAndPointsForms) {
    TScene s(100, 100);
    TAAGraphics g(&s.Dc);
    // 90 degrees runs downwards; two points run from the first to the second.
    TAALinearGradientBrush down({0, 0, 100, 100}, kRed, kBlue, 90.0f, false);
    g.FillRectangle(&down, 0, 0, 100, 50);
    EXPECT_TRUE(Near(Rgb(s, 70, 0), 0xFF0000, 3));
    EXPECT_TRUE(Near(Rgb(s, 10, 25), 0xBF0040, 4));
    TAALinearGradientBrush across(TAAPointF{20, 0}, TAAPointF{80, 0}, kRed, kBlue);
    g.FillRectangle(&across, 0, 50, 100, 50);
    EXPECT_TRUE(Near(Rgb(s, 20, 70), 0xFF0000, 3));
    EXPECT_TRUE(Near(Rgb(s, 50, 70), 0x800080, 3));

    EXPECT_EQ(TAALinearGradientBrush({0, 0, 0, 10}, kRed, kBlue, aalgHorizontal).LastStatus(),
              TAAStatus::InvalidParameter);
    EXPECT_EQ(TAALinearGradientBrush({0, 0, 10, 10}, kRed, kBlue, 4).LastStatus(),
              TAAStatus::InvalidParameter);
    EXPECT_EQ(TAALinearGradientBrush(TAAPointF{3, 3}, TAAPointF{3, 3}, kRed, kBlue).LastStatus(),
              TAAStatus::InvalidParameter);
}

// ---- Path gradients ----

TEST(AAGraphicsPathGradient, CentreColourAtTheCentreSurroundAtTheOutline) {
    TScene s(100, 60, clRed);
    TAAGraphics g(&s.Dc);
    TAAPath ellipse;
    ellipse.AddEllipse(0, 0, 100, 60);
    TAAPathGradientBrush glow(&ellipse);
    ASSERT_EQ(glow.LastStatus(), TAAStatus::Ok);
    EXPECT_FLOAT_EQ(glow.CenterPoint().X, 50);
    EXPECT_FLOAT_EQ(glow.CenterPoint().Y, 30);
    glow.SetCenterColor(kWhite);
    int one = 1;
    const TARGB blue = kBlue;
    ASSERT_EQ(glow.SetSurroundColors(&blue, one), TAAStatus::Ok);
    g.FillRectangle(&glow, 0, 0, 100, 60);
    EXPECT_TRUE(Near(Rgb(s, 50, 30), 0xFFFFFF, 4));
    EXPECT_TRUE(Near(Rgb(s, 1, 30), 0x0000FF, 16));
    EXPECT_TRUE(Near(Rgb(s, 25, 30), 0x8080FF, 8));
    EXPECT_EQ(Rgb(s, 2, 2), 0xFF0000u); // outside the ellipse nothing is painted
}

// The glow of a button face's upper half: an ellipse centred two pixels below the top edge, the glow
// centre at the middle of that edge.
TEST(AAGraphicsPathGradient, GlowOfTheUpperHalfOfAFace) {
    const int w = 80, h = 20;
    const TARGB base = 0xFFC0D8F0, light = 0xFFFFFFE0;
    TScene s(w, h);
    TAAGraphics g(&s.Dc);
    TAASolidBrush fill(base);
    g.FillRectangle(&fill, 0, 0, w, h);
    TAAPath path;
    path.AddEllipse(0, -h / 2 + 2, w, h);
    TAAPathGradientBrush glow(&path);
    glow.SetCenterPoint({w / 2.0f, 0});
    glow.SetCenterColor(light);
    int one = 1;
    glow.SetSurroundColors(&base, one);
    g.FillRectangle(&glow, 0, 0, w, h);

    EXPECT_TRUE(Near(Rgb(s, w / 2, 0), light, 4));
    EXPECT_EQ(Rgb(s, 0, h - 1), base & 0xFFFFFF);
    EXPECT_TRUE(Near(Rgb(s, w / 2, 11), base, 12));
    // The light fades steadily down the middle and towards the sides.
    for (int y = 1; y <= 11; ++y)
        EXPECT_GE(Distance(Rgb(s, w / 2, y), light) + 1, Distance(Rgb(s, w / 2, y - 1), light)) << y;
    EXPECT_LT(Distance(Rgb(s, w / 2, 2), light), Distance(Rgb(s, w / 4, 2), light));
}

TEST(AAGraphicsPathGradient, SurroundColoursFollowThePoints) {
    const TAAPointF square[] = {{0, 0}, {40, 0}, {40, 40}, {0, 40}};
    TScene s(41, 41);
    TAAGraphics g(&s.Dc);
    TAAPathGradientBrush b(square, 4);
    ASSERT_EQ(b.PointCount(), 4);
    const TARGB colours[] = {kRed, kGreen, kBlue, kBlack, kWhite};
    int count = 4;
    ASSERT_EQ(b.SetSurroundColors(colours, count), TAAStatus::Ok);
    EXPECT_EQ(count, 4);
    b.SetCenterColor(0xFF808080);
    g.FillRectangle(&b, 0, 0, 41, 41);
    EXPECT_TRUE(Near(Rgb(s, 1, 1), 0xFF0000, 20));
    EXPECT_TRUE(Near(Rgb(s, 39, 1), 0x00FF00, 20));
    EXPECT_TRUE(Near(Rgb(s, 39, 39), 0x0000FF, 20));
    EXPECT_TRUE(Near(Rgb(s, 1, 39), 0x000000, 20));
    EXPECT_TRUE(Near(Rgb(s, 20, 20), 0x808080, 3));

    // More colours than points is refused, leaves the count alone, and the failure sticks.
    count = 5;
    EXPECT_EQ(b.SetSurroundColors(colours, count), TAAStatus::InvalidParameter);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(b.SetCenterColor(kRed), TAAStatus::Ok);
    EXPECT_EQ(b.LastStatus(), TAAStatus::InvalidParameter);
    EXPECT_EQ(b.SetSurroundColors(nullptr, count), TAAStatus::InvalidParameter);

    TAAPath ellipse;
    ellipse.AddEllipse(0, 0, 10, 10);
    EXPECT_EQ(TAAPathGradientBrush(&ellipse).PointCount(), 13);
    EXPECT_EQ(TAAPathGradientBrush(static_cast<const TAAPath*>(nullptr)).LastStatus(),
              TAAStatus::InvalidParameter);
}

TEST(AAGraphicsPathGradient, TilingWrapModesRepeatTheBoundingBox) {
    const TAAPointF square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const TARGB colours[] = {kRed, kGreen, kBlue, kBlack};
    for (int wrap : {aawmTile, aawmTileFlipX}) {
        TScene s(40, 40);
        TAAGraphics g(&s.Dc);
        TAAPathGradientBrush b(square, 4, wrap);
        int count = 4;
        b.SetSurroundColors(colours, count);
        g.FillRectangle(&b, 0, 0, 40, 40);
        EXPECT_TRUE(Near(Rgb(s, 12, 3), Rgb(s, wrap == aawmTile ? 2 : 8, 3), 2)) << wrap;
        EXPECT_TRUE(Near(Rgb(s, 22, 3), Rgb(s, 2, 3), 2)) << wrap;
        EXPECT_TRUE(Near(Rgb(s, 2, 13), Rgb(s, 2, 3), 2)) << wrap;
    }
}

// ---- Paths ----

TEST(AAGraphicsPath, FiguresJoinCloseAndCount) {
    TAAPath p;
    p.AddLine(0, 0, 10, 0);
    p.AddLine(20, 0, 30, 0);
    p.AddLine(30, 0, 40, 0); // continues from its own end: no extra point
    ASSERT_EQ(p.PointCount(), 5);
    EXPECT_EQ(p.Types()[0], aaptStart);
    EXPECT_EQ(p.Types()[2], aaptLine);
    p.CloseFigure();
    EXPECT_EQ(p.Types()[4], aaptLine | aaptCloseSubpath);
    p.AddLine(0, 5, 5, 5);
    EXPECT_EQ(p.Types()[5], aaptStart);

    TAAPath e;
    e.AddEllipse(10, 10, 40, 20);
    EXPECT_EQ(e.PointCount(), 13);
    TAARectF b;
    e.GetBounds(b);
    EXPECT_NEAR(b.X, 10, 0.01);
    EXPECT_NEAR(b.Y, 10, 0.01);
    EXPECT_NEAR(b.Width, 40, 0.01);
    EXPECT_NEAR(b.Height, 20, 0.01);
    EXPECT_TRUE(e.IsVisible(30, 20));
    EXPECT_FALSE(e.IsVisible(11, 11));
}

TEST(AAGraphicsPath, ArcsFollowRayAngles) {
    TAAPath quarter;
    quarter.AddArc(0, 0, 100, 50, 0, 90);
    auto pts = quarter.Points();
    EXPECT_NEAR(pts.front().X, 100, 1e-3);
    EXPECT_NEAR(pts.front().Y, 25, 1e-3);
    EXPECT_NEAR(pts.back().X, 50, 1e-3);
    EXPECT_NEAR(pts.back().Y, 50, 1e-3);
    // The start point lies on the 45 degree ray from the centre, not at the parameter 45 degrees.
    TAAPath ray;
    ray.AddArc(0, 0, 200, 100, 45, 30);
    TAAPointF start = ray.Points().front();
    EXPECT_NEAR(start.X - 100, start.Y - 50, 1e-3);
    // A zero-sized arc is a point that joins the figure.
    TAAPath corner;
    corner.AddLine(0, 0, 10, 0);
    EXPECT_EQ(corner.AddArc(10, 0, 0, 0, 270, 90), TAAStatus::Ok);
    EXPECT_EQ(corner.LastStatus(), TAAStatus::Ok);
}

TEST(AAGraphicsPath, CardinalSplinePassesThroughItsPoints) {
    const TAAPointF pts[] = {{5, 30}, {30, 6}, {55, 32}, {80, 8}, {95, 28}};
    for (float tension : {0.0f, 0.5f, 0.8f, 1.5f}) {
        TScene s(100, 40);
        TAAGraphics g(&s.Dc);
        g.SetSmoothingMode(aasmAntiAlias);
        TAAPen pen(kBlack, 1);
        ASSERT_EQ(g.DrawCurve(&pen, pts, 5, tension), TAAStatus::Ok);
        // Flat ends cover half of the end points' pixels.
        for (size_t i = 0; i < 5; ++i)
            EXPECT_LT(Channel(Rgb(s, static_cast<int>(pts[i].X), static_cast<int>(pts[i].Y)), 0),
                      i == 0 || i == 4 ? 160 : 100)
                << "tension " << tension << " at " << pts[i].X;
    }
    // Without tension the spline is the polyline.
    TScene a(100, 40), b(100, 40);
    TAAGraphics ga(&a.Dc), gb(&b.Dc);
    TAAPen pen(kBlack, 1);
    ga.DrawCurve(&pen, pts, 5, 0);
    gb.DrawLines(&pen, pts, 5);
    EXPECT_EQ(a.Snapshot(), b.Snapshot());
}

TEST(AAGraphicsPath, FillModesDecideTheStarsCentre) {
    const TAAPointF star[] = {{20, 2}, {31, 38}, {2, 15}, {38, 15}, {9, 38}};
    for (int mode : {aafmAlternate, aafmWinding}) {
        TScene s(40, 40);
        TAAGraphics g(&s.Dc);
        TAASolidBrush brush(kBlack);
        g.FillPolygon(&brush, star, 5, mode);
        EXPECT_EQ(Rgb(s, 20, 22) == 0, mode == aafmWinding);
        EXPECT_EQ(Rgb(s, 20, 8), 0u);
    }
}

// The same points drawn as lines stay open and as a polygon close; a fill of no area paints nothing
// but still checks its brush.
TEST(AAGraphicsPath, PolygonsCloseLinesStayOpen) {
    const TAAPointF corner[] = {{5, 5}, {30, 5}, {30, 25}};
    TAAPen pen(kBlack, 1);
    for (bool polygon : {false, true}) {
        TScene s(40, 30);
        TAAGraphics g(&s.Dc);
        ASSERT_EQ(polygon ? g.DrawPolygon(&pen, corner, 3) : g.DrawLines(&pen, corner, 3), TAAStatus::Ok);
        EXPECT_EQ(Rgb(s, 20, 5), 0u);
        EXPECT_EQ(Rgb(s, 30, 15), 0u);
        EXPECT_EQ(Rgb(s, 15, 13) == 0, polygon); // on the closing diagonal from (30, 25) to (5, 5)
    }

    TScene s(20, 20);
    TAAGraphics g(&s.Dc);
    TAASolidBrush brush(kBlack);
    for (auto [w, h] : {std::pair{0.f, 5.f}, std::pair{5.f, 0.f}, std::pair{-5.f, 5.f}})
        EXPECT_EQ(g.FillRectangle(&brush, 10, 10, w, h), TAAStatus::Ok);
    EXPECT_EQ(s.InkBox(clWhite), TRect());
    EXPECT_EQ(g.FillRectangle(nullptr, 10, 10, 0, 5), TAAStatus::InvalidParameter);
    EXPECT_EQ(g.DrawRectangle(&pen, 2, 3, 4, 5), TAAStatus::Ok);
    EXPECT_EQ(s.InkBox(clWhite), TRect(2, 3, 7, 9));
}

TEST(AAGraphicsPath, BeziersAndRejectedInput) {
    TScene s(60, 40);
    TAAGraphics g(&s.Dc);
    g.SetSmoothingMode(aasmAntiAlias);
    TAAPen pen(kBlack, 1);
    ASSERT_EQ(g.DrawBezier(&pen, {5, 35}, {5, 5}, {55, 5}, {55, 35}), TAAStatus::Ok);
    // The curve's midpoint is (30, 12.5): the line there shares rows 12 and 13.
    EXPECT_LT(Channel(Rgb(s, 30, 12), 0) + Channel(Rgb(s, 30, 13), 0), 300);

    TAAPath p;
    const TAAPointF five[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
    EXPECT_EQ(p.AddBeziers(five, 5), TAAStatus::InvalidParameter);
    EXPECT_EQ(p.AddCurve(five, 1), TAAStatus::InvalidParameter);
    EXPECT_EQ(p.AddClosedCurve(five, 2), TAAStatus::InvalidParameter);
    EXPECT_EQ(p.AddLine(NAN, 0, 1, 1), TAAStatus::InvalidParameter);
    EXPECT_EQ(p.AddLine(0, 0, 1, 1), TAAStatus::Ok);
    EXPECT_EQ(p.LastStatus(), TAAStatus::InvalidParameter);
    EXPECT_EQ(p.PointCount(), 2);
}

// ---- Regions and clipping ----

TEST(AAGraphicsRegion, CombineModesByPointAndByPixel) {
    struct Case {
        int Mode;
        bool At2, At7, At12; // inside A = [0, 10), B = [5, 15)
    } cases[] = {
        {aacmReplace, false, true, true},  {aacmIntersect, false, true, false},
        {aacmUnion, true, true, true},     {aacmXor, true, false, true},
        {aacmExclude, true, false, false}, {aacmComplement, false, false, true},
    };
    for (const Case& c : cases) {
        TAARegion r(TAARectF{0, 0, 10, 10});
        TAARegion other(TAARectF{5, 0, 10, 10});
        ASSERT_EQ(r.Combine(&other, c.Mode), TAAStatus::Ok);
        EXPECT_EQ(r.IsVisible(2, 5), c.At2) << c.Mode;
        EXPECT_EQ(r.IsVisible(7, 5), c.At7) << c.Mode;
        EXPECT_EQ(r.IsVisible(12, 5), c.At12) << c.Mode;

        TScene s(20, 10);
        TAAGraphics g(&s.Dc);
        ASSERT_EQ(g.SetClip(&r), TAAStatus::Ok);
        TAASolidBrush black(kBlack);
        g.FillRectangle(&black, 0, 0, 20, 10);
        EXPECT_EQ(Rgb(s, 2, 5) == 0, c.At2) << c.Mode;
        EXPECT_EQ(Rgb(s, 7, 5) == 0, c.At7) << c.Mode;
        EXPECT_EQ(Rgb(s, 12, 5) == 0, c.At12) << c.Mode;
        EXPECT_EQ(Rgb(s, 17, 5), 0xFFFFFFu) << c.Mode;
    }
    TAARegion r;
    EXPECT_TRUE(r.IsInfinite());
    EXPECT_EQ(r.Combine(static_cast<const TAARegion*>(nullptr), aacmUnion), TAAStatus::InvalidParameter);
    EXPECT_EQ(r.Combine(TAARectF{0, 0, 1, 1}, 6), TAAStatus::InvalidParameter);
}

TEST(AAGraphicsClip, OutsidePixelsStayUntouched) {
    TScene s(30, 30);
    s.Noise();
    auto before = s.Snapshot();
    TAAGraphics g(&s.Dc);
    g.SetSmoothingMode(aasmAntiAlias);
    ASSERT_EQ(g.SetClip(TAARectF{5, 5, 10, 10}), TAAStatus::Ok);
    TAASolidBrush black(kBlack);
    g.FillEllipse(&black, -10, -10, 50, 50);
    EXPECT_EQ(DiffBox(before, s.Snapshot(), 30), TRect(5, 5, 15, 15));

    // A path clip: the shape's inside changes, its corners do not.
    TScene t(40, 40);
    TAAGraphics h(&t.Dc);
    TAAPath circle;
    circle.AddEllipse(0, 0, 40, 40);
    h.SetClip(&circle);
    h.FillRectangle(&black, 0, 0, 40, 40);
    EXPECT_EQ(Rgb(t, 20, 20), 0u);
    EXPECT_EQ(Rgb(t, 1, 1), 0xFFFFFFu);
    EXPECT_EQ(Rgb(t, 38, 38), 0xFFFFFFu);
    h.ResetClip();
    EXPECT_TRUE(h.IsClipInfinite());
    h.FillRectangle(&black, 0, 0, 40, 40);
    EXPECT_EQ(Rgb(t, 1, 1), 0u);
}

TEST(AAGraphicsClip, ClipStaysInDevicePixelsWhenTheTransformChanges) {
    TScene s(40, 20);
    TAAGraphics g(&s.Dc);
    g.SetClip(TAARectF{0, 0, 10, 10});
    g.TranslateTransform(20, 0);
    TAASolidBrush black(kBlack);
    g.FillRectangle(&black, -20, 0, 40, 20);
    EXPECT_EQ(s.InkBox(clWhite), TRect(0, 0, 10, 10));
    // Clearing replaces every pixel the clip leaves.
    g.Clear(kRed);
    EXPECT_EQ(Rgb(s, 9, 9), 0xFF0000u);
    EXPECT_EQ(Rgb(s, 10, 9), 0xFFFFFFu);
}

TEST(AAGraphicsTransform, RotationAndPageUnits) {
    TAASolidBrush black(kBlack);
    TScene s(20, 20);
    TAAGraphics g(&s.Dc);
    // A quarter turn clockwise takes (x, y) to (-y, x).
    ASSERT_EQ(g.RotateTransform(90), TAAStatus::Ok);
    g.FillRectangle(&black, 2, -12, 6, 10);
    EXPECT_EQ(s.InkBox(clWhite), TRect(2, 2, 12, 8));

    TScene t(20, 20);
    TAAGraphics h(&t.Dc);
    ASSERT_EQ(h.SetPageUnit(aauPoint), TAAStatus::Ok);
    h.FillRectangle(&black, 0, 0, 3, 6); // 3 and 6 points are 4 and 8 pixels
    EXPECT_EQ(t.InkBox(clWhite), TRect(0, 0, 4, 8));
    EXPECT_EQ(h.SetPageUnit(aauWorld), TAAStatus::InvalidParameter);
}

TEST(AAGraphicsClip, FillRegionPaintsOnlyTheRegion) {
    TScene s(40, 40);
    TAAGraphics g(&s.Dc);
    TAARegion r(TAARectF{0, 0, 30, 30});
    TAAPath hole;
    hole.AddEllipse(5, 5, 20, 20);
    r.Combine(&hole, aacmExclude);
    TAASolidBrush black(kBlack);
    ASSERT_EQ(g.FillRegion(&black, &r), TAAStatus::Ok);
    EXPECT_EQ(Rgb(s, 1, 1), 0u);
    EXPECT_EQ(Rgb(s, 15, 15), 0xFFFFFFu);
    EXPECT_EQ(Rgb(s, 35, 35), 0xFFFFFFu);
    // The region was a clip for that call only.
    g.FillRectangle(&black, 0, 0, 40, 40);
    EXPECT_EQ(Rgb(s, 15, 15), 0u);
}

TEST(AAGraphicsDeviceContext, ClipRegionOriginAndScaleOfTheContext) {
    TAASolidBrush black(kBlack);
    {
        TScene s(20, 20);
        s.Dc.IntersectClipRect(0, 0, 10, 20);
        TAAGraphics g(&s.Dc);
        g.FillRectangle(&black, 0, 0, 20, 20);
        EXPECT_EQ(s.InkBox(clWhite), TRect(0, 0, 10, 20));
    }
    {
        TScene s(20, 20);
        s.Dc.SetViewportOrgEx(10, 5);
        TAAGraphics g(&s.Dc);
        g.FillRectangle(&black, 0, 0, 3, 3);
        EXPECT_EQ(s.InkBox(clWhite), TRect(10, 5, 13, 8));
    }
    {
        TScene s(20, 20);
        s.Dc.SetMapMode(MM_ANISOTROPIC);
        s.Dc.SetWindowExtEx(1, 1);
        s.Dc.SetViewportExtEx(2, 2);
        TAAGraphics g(&s.Dc);
        g.FillRectangle(&black, 1, 1, 3, 3);
        EXPECT_EQ(s.InkBox(clWhite), TRect(2, 2, 8, 8));
    }
}

// ---- Text ----

class AAGraphicsText : public ::testing::Test {
protected:
    TAAFontFamily Family{"Arial"};
    TAAFont Font{&Family, 9, aafsRegular, aauPoint};
    TAASolidBrush Black{kBlack};

    std::vector<uint32_t> Draw(std::string_view text, const TAAStringFormat* fmt, TAARectF layout,
                               int w = 200, int h = 60) {
        TScene s(w, h);
        TAAGraphics g(&s.Dc);
        EXPECT_EQ(g.DrawString(text, &Font, layout, fmt, &Black), TAAStatus::Ok);
        return s.Snapshot();
    }
    TAARectF Measure(std::string_view text, const TAAStringFormat* fmt, TAARectF layout, int* lines = nullptr,
                     int* chars = nullptr) {
        TScene s(1, 1);
        TAAGraphics g(&s.Dc);
        TAARectF box;
        EXPECT_EQ(g.MeasureString(text, &Font, layout, fmt, box, chars, lines), TAAStatus::Ok);
        return box;
    }
};

TEST_F(AAGraphicsText, FamiliesAndFonts) {
    EXPECT_EQ(Family.LastStatus(), TAAStatus::Ok);
    EXPECT_FALSE(Family.InstalledName().empty());
    TAAFontFamily missing("No Such Family 42");
    EXPECT_EQ(missing.LastStatus(), TAAStatus::FontFamilyNotFound);
    EXPECT_EQ(TAAFont(&missing, 9).LastStatus(), TAAStatus::InvalidParameter);
    EXPECT_EQ(TAAFont(&Family, 0).LastStatus(), TAAStatus::InvalidParameter);
    EXPECT_EQ(TAAFont(&Family, 9, 0, aauDisplay).LastStatus(), TAAStatus::InvalidParameter);

    // 12 points at 96 dpi are 16 pixels.
    TAAFont points(&Family, 12, aafsRegular, aauPoint), pixels(&Family, 16, aafsRegular, aauPixel);
    TScene s(1, 1);
    TAAGraphics g(&s.Dc);
    TAARectF a, b, bold;
    g.MeasureString("Spectrum", &points, {0, 0, 0, 0}, nullptr, a);
    g.MeasureString("Spectrum", &pixels, {0, 0, 0, 0}, nullptr, b);
    EXPECT_FLOAT_EQ(a.Width, b.Width);
    EXPECT_FLOAT_EQ(a.Height, b.Height);
    TAAFont heavy(&Family, 12, aafsBold, aauPoint);
    g.MeasureString("Spectrum", &heavy, {0, 0, 0, 0}, nullptr, bold);
    EXPECT_GT(bold.Width, a.Width);
    EXPECT_EQ(g.DrawString("x", &points, {0, 0, 10, 10}, nullptr, nullptr), TAAStatus::InvalidParameter);
    EXPECT_EQ(g.DrawString("x", nullptr, {0, 0, 10, 10}, nullptr, &Black), TAAStatus::InvalidParameter);
}

TEST_F(AAGraphicsText, AlignmentPlacesTheBoxAndTheInkInsideIt) {
    const TAARectF layout{10, 5, 180, 50};
    for (int align : {aasaNear, aasaCenter, aasaFar})
        for (int lineAlign : {aasaNear, aasaCenter, aasaFar}) {
            TAAStringFormat fmt;
            fmt.SetAlignment(align);
            fmt.SetLineAlignment(lineAlign);
            TAARectF box = Measure("Lumetra", &fmt, layout);
            double cx = box.X + box.Width / 2, cy = box.Y + box.Height / 2;
            if (align == aasaNear)
                EXPECT_FLOAT_EQ(box.X, 10);
            else if (align == aasaCenter)
                EXPECT_NEAR(cx, 100, 0.01);
            else
                EXPECT_FLOAT_EQ(box.X + box.Width, 190);
            if (lineAlign == aasaNear)
                EXPECT_FLOAT_EQ(box.Y, 5);
            else if (lineAlign == aasaCenter)
                EXPECT_NEAR(cy, 30, 0.01);
            else
                EXPECT_FLOAT_EQ(box.Y + box.Height, 55);

            TScene s(200, 60);
            TAAGraphics g(&s.Dc);
            g.SetTextRenderingHint(aathAntiAlias);
            g.DrawString("Lumetra", &Font, layout, &fmt, &Black);
            TRect ink = s.InkBox(clWhite);
            ASSERT_FALSE(ink.IsEmpty());
            EXPECT_GE(ink.Left, std::floor(box.X));
            EXPECT_LE(ink.Right, std::ceil(box.X + box.Width));
            EXPECT_GE(ink.Top, std::floor(box.Y));
            EXPECT_LE(ink.Bottom, std::ceil(box.Y + box.Height));
            // The box is the ink and a small margin, not more.
            EXPECT_GT(ink.Width(), box.Width - 8);
        }
}

TEST_F(AAGraphicsText, TrimmingShortensToWhatFits) {
    struct Case {
        const char* Text;
        int Trimming;
        const char* Shown;
    } cases[] = {
        {"Hello wonderful world", aastEllipsisCharacter, "Hello wonde\xE2\x80\xA6"},
        {"Hello wonderful world", aastEllipsisWord, "Hello wonderful\xE2\x80\xA6"},
        {"Hello wonderful world", aastCharacter, "Hello wonderfu"},
        {"Hello wonderful world", aastWord, "Hello wonderful"},
        {"C:\\Program Files\\Lumetra\\data.txt", aastEllipsisPath, "C:\\Prog\xE2\x80\xA6\\data.txt"},
        {"abcdefghijklmnop", aastEllipsisPath, "abcd\xE2\x80\xA6mnop"},
    };
    for (const Case& c : cases) {
        TAAStringFormat plain(aasfNoWrap);
        plain.SetTrimming(aastNone);
        float width = Measure(c.Shown, &plain, {0, 0, 0, 0}).Width + 0.5f;
        TAAStringFormat fmt(aasfNoWrap);
        fmt.SetTrimming(c.Trimming);
        int chars = 0;
        Measure(c.Text, &fmt, {0, 0, width, 20}, nullptr, &chars);
        // A path keeps its end, so all of it counts as laid out; other trimmings drop characters.
        if (c.Trimming == aastEllipsisPath)
            EXPECT_EQ(chars, static_cast<int>(std::string(c.Text).size())) << c.Text;
        else
            EXPECT_EQ(chars,
                      static_cast<int>(std::min(std::string(c.Shown).find("\xE2"), std::strlen(c.Shown))))
                << c.Text << " " << c.Trimming;
        EXPECT_EQ(Draw(c.Text, &fmt, {0, 0, width, 20}), Draw(c.Shown, &plain, {0, 0, width, 20}))
            << c.Text << " trimmed " << c.Trimming;
    }
    // Without trimming the text is cut by the layout rectangle.
    TAAStringFormat none(aasfNoWrap);
    none.SetTrimming(aastNone);
    TScene s(200, 30);
    TAAGraphics g(&s.Dc);
    g.DrawString("Hello wonderful world", &Font, {0, 0, 40, 20}, &none, &Black);
    EXPECT_EQ(s.InkBox(clWhite).Right, 40);
}

TEST_F(AAGraphicsText, HotkeyPrefixHiddenShownOrLeft) {
    TAAStringFormat hide, show, none;
    hide.SetHotkeyPrefix(aahpHide);
    show.SetHotkeyPrefix(aahpShow);
    const TAARectF r{10, 10, 150, 30};
    auto plain = Draw("File", &none, r);
    EXPECT_EQ(Draw("&File", &hide, r), plain);
    EXPECT_EQ(Draw("A&&B", &hide, r), Draw("A&B", &none, r));
    EXPECT_NE(Draw("&File", &none, r), plain);

    // Shown, the prefix adds only an underline, below the letters and under the F.
    auto shown = Draw("&File", &show, r);
    TRect diff = DiffBox(plain, shown, 200);
    ASSERT_FALSE(diff.IsEmpty());
    TScene s(200, 60);
    TAAGraphics g(&s.Dc);
    g.DrawString("File", &Font, r, &none, &Black);
    EXPECT_GE(diff.Top, s.InkBox(clWhite).Bottom);
    EXPECT_LE(diff.Height(), 2);
    TAARectF f = Measure("F", &none, r);
    double pad = Font.EmPixels() / 6;
    EXPECT_GE(diff.Left, std::floor(f.X + pad) - 1);
    EXPECT_LE(diff.Right, std::ceil(f.X + f.Width - pad) + 1);
}

TEST_F(AAGraphicsText, WrappingLineBreaksAndLineLimit) {
    TAAStringFormat wrap, noWrap(aasfNoWrap);
    int lines = 0;
    Measure("one two three four five", &wrap, {0, 0, 60, 0}, &lines);
    EXPECT_GE(lines, 3);
    Measure("one two three four five", &noWrap, {0, 0, 60, 0}, &lines);
    EXPECT_EQ(lines, 1);

    TAAStringFormat trailing(aasfMeasureTrailingSpaces);
    EXPECT_GT(Measure("ab   ", &trailing, {0, 0, 0, 0}).Width,
              Measure("ab   ", &wrap, {0, 0, 0, 0}).Width + 5);
    EXPECT_FLOAT_EQ(Measure("ab   ", &wrap, {0, 0, 0, 0}).Width, Measure("ab", &wrap, {0, 0, 0, 0}).Width);

    struct Case {
        const char* Text;
        int Lines;
    } breaks[] = {{"a\nb", 2}, {"a\r\nb", 2}, {"a\n\rb", 2}, {"a\n\nb", 3}, {"a\rb\nc", 3}};
    for (const Case& c : breaks) {
        Measure(c.Text, &noWrap, {0, 0, 0, 0}, &lines);
        EXPECT_EQ(lines, c.Lines) << c.Text;
    }

    // One and a half lines of room: the second line shows in part unless whole lines are asked for.
    double lineHeight = Font.LineSpacing();
    TAAStringFormat limited(aasfLineLimit);
    TAARectF room{0, 0, 200, static_cast<float>(lineHeight * 1.5)};
    Measure("first\nsecond\nthird", &wrap, room, &lines);
    EXPECT_EQ(lines, 2);
    TAARectF box = Measure("first\nsecond\nthird", &limited, room, &lines);
    EXPECT_EQ(lines, 1);
    EXPECT_NEAR(box.Height, lineHeight, 0.01);
}

TEST_F(AAGraphicsText, VerticalTextRunsDownwards) {
    TAAStringFormat vertical(aasfDirectionVertical);
    const TAARectF r{0, 0, 40, 150};
    TAARectF box = Measure("Lumetra", &vertical, r);
    EXPECT_GT(box.Height, 2 * box.Width);
    EXPECT_FLOAT_EQ(box.Y, 0);
    TScene s(40, 150);
    TAAGraphics g(&s.Dc);
    g.DrawString("Lumetra", &Font, r, &vertical, &Black);
    TRect ink = s.InkBox(clWhite);
    EXPECT_GT(ink.Height(), 2 * ink.Width());
    EXPECT_GE(ink.Left, std::floor(box.X));
    EXPECT_LE(ink.Bottom, std::ceil(box.Y + box.Height));
}

// ---- Images ----

namespace {

TPixelImage Quad() {
    TPixelImage img(2, 2);
    img.Row(0)[0] = 0xFFFF0000;
    img.Row(0)[1] = 0xFF00FF00;
    img.Row(1)[0] = 0x800000FF;
    img.Row(1)[1] = 0x00000000;
    return img;
}

std::vector<uint8_t> Bytes(TGraphic& graphic) {
    TMemoryStream ms;
    graphic.SaveToStream(ms);
    return ms.Bytes();
}

} // namespace

TEST(AAGraphicsImage, DecodesFormatsFromStreams) {
    TPixelImage quad = Quad();
    TBitmap bitmap(3, 2, pf24bit);
    TIcon icon;
    icon.AddImage(quad, true);
    struct Case {
        std::vector<uint8_t> Data;
        int Format, Width;
    } cases[] = {
        {WritePng(quad), aarfPNG, 2},
        {WriteJpeg(quad, 90), aarfJPEG, 2},
        {Bytes(bitmap), aarfBMP, 3},
        {Bytes(icon), aarfIcon, 2},
    };
    for (const Case& c : cases) {
        TMemoryStream ms;
        ms.WriteBuffer(c.Data.data(), static_cast<int64_t>(c.Data.size()));
        TAAImage image(ms);
        EXPECT_EQ(image.LastStatus(), TAAStatus::Ok) << c.Format;
        EXPECT_EQ(image.RawFormat(), c.Format);
        EXPECT_EQ(image.Width(), c.Width);
    }
    TAAImage memory(bitmap);
    EXPECT_EQ(memory.RawFormat(), aarfMemoryBMP);
    EXPECT_EQ(memory.Height(), 2);

    std::vector<uint8_t> png = WritePng(quad);
    TAAImage truncated(png.data(), 20);
    EXPECT_EQ(truncated.LastStatus(), TAAStatus::InvalidParameter);
    const uint8_t junk[] = {'h', 'e', 'l', 'l', 'o'};
    TAAImage unknown(junk, sizeof junk);
    EXPECT_EQ(unknown.LastStatus(), TAAStatus::UnknownImageFormat);
    for (TAAImage* bad : {&truncated, &unknown}) {
        EXPECT_EQ(bad->RawFormat(), aarfUndefined);
        EXPECT_EQ(bad->Width(), 0);
        EXPECT_EQ(bad->Height(), 0);
    }
    TScene s(4, 4);
    TAAGraphics g(&s.Dc);
    EXPECT_EQ(g.DrawImage(&unknown, 0, 0), TAAStatus::InvalidParameter);
}

TEST(AAGraphicsImage, DrawnScaledWithItsAlphaAndInParts) {
    std::vector<uint8_t> png = WritePng(Quad());
    TAAImage image(png.data(), png.size());
    ASSERT_EQ(image.Pixel(1, 0), 0xFF00FF00u);
    TScene s(30, 20);
    TAAGraphics g(&s.Dc);
    g.SetInterpolationMode(aaimNearestNeighbor);
    ASSERT_EQ(g.DrawImage(&image, 0, 0, 20, 20), TAAStatus::Ok);
    EXPECT_EQ(Rgb(s, 5, 5), 0xFF0000u);
    EXPECT_EQ(Rgb(s, 15, 5), 0x00FF00u);
    EXPECT_TRUE(Near(Rgb(s, 5, 15), 0x7F7FFF, 2));
    EXPECT_EQ(Rgb(s, 15, 15), 0xFFFFFFu);
    EXPECT_EQ(s.InkBox(clWhite), TRect(0, 0, 20, 20));
    // The right column alone, stretched over a 5 x 10 rectangle.
    ASSERT_EQ(g.DrawImage(&image, TAARectF{22, 0, 5, 10}, 1, 0, 1, 2), TAAStatus::Ok);
    EXPECT_EQ(Rgb(s, 24, 2), 0x00FF00u);
    EXPECT_EQ(Rgb(s, 24, 8), 0xFFFFFFu);
    EXPECT_EQ(Rgb(s, 27, 2), 0xFFFFFFu);
}

// ---- Statuses ----

TEST(AAGraphicsStatus, FailuresAreReturnedAndKept) {
    TAAPen badPen(kBlack, -1);
    EXPECT_FALSE(badPen.Valid());
    EXPECT_EQ(badPen.LastStatus(), TAAStatus::InvalidParameter);

    TScene s(10, 10);
    TAAGraphics g(&s.Dc);
    ASSERT_EQ(g.LastStatus(), TAAStatus::Ok);
    EXPECT_EQ(g.DrawLine(&badPen, 0, 0, 5, 5), TAAStatus::InvalidParameter);
    EXPECT_EQ(g.DrawLine(nullptr, 0, 0, 5, 5), TAAStatus::InvalidParameter);
    EXPECT_EQ(g.SetSmoothingMode(42), TAAStatus::InvalidParameter);
    EXPECT_EQ(g.SetTextRenderingHint(6), TAAStatus::InvalidParameter);
    EXPECT_EQ(g.SetClip(TAARectF{0, 0, 1, 1}, 9), TAAStatus::InvalidParameter);
    TAASolidBrush brush(kBlack);
    EXPECT_EQ(g.FillRectangle(&brush, 0, 0, 5, 5), TAAStatus::Ok);
    EXPECT_EQ(g.LastStatus(), TAAStatus::InvalidParameter);
    // A later failure of another kind replaces the kept one.
    s.Dc.SetSurface(nullptr);
    EXPECT_EQ(g.FillRectangle(&brush, 0, 0, 5, 5), TAAStatus::WrongState);
    EXPECT_EQ(g.LastStatus(), TAAStatus::WrongState);

    TAAGraphics none(static_cast<TDeviceContext*>(nullptr));
    EXPECT_EQ(none.LastStatus(), TAAStatus::InvalidParameter);
    EXPECT_EQ(none.FillRectangle(&brush, 0, 0, 5, 5), TAAStatus::InvalidParameter);
    EXPECT_EQ(none.Clear(kWhite), TAAStatus::InvalidParameter);
}

TEST(AAGraphicsStatus, HostileInputIsRefusedOrContained) {
    TScene s(50, 50);
    TAAGraphics g(&s.Dc);
    TAASolidBrush brush(kBlack);
    EXPECT_EQ(g.FillRectangle(&brush, NAN, 0, 5, 5), TAAStatus::InvalidParameter);
    EXPECT_EQ(g.TranslateTransform(INFINITY, 0), TAAStatus::InvalidParameter);
    EXPECT_EQ(g.ScaleTransform(0, 1), TAAStatus::InvalidParameter);
    // Shapes and glows far larger than the surface, a huge font, a long text, broken UTF-8.
    TAAPath huge;
    huge.AddEllipse(-1e7f, -1e7f, 2e7f, 2e7f);
    TAAPathGradientBrush glow(&huge);
    EXPECT_EQ(g.FillRectangle(&glow, -1e6f, -1e6f, 2e6f, 2e6f), TAAStatus::Ok);
    EXPECT_EQ(g.FillPath(&brush, &huge), TAAStatus::Ok);
    TAAFontFamily family("Arial");
    TAAFont big(&family, 5000, aafsRegular, aauPixel), small(&family, 9);
    EXPECT_EQ(g.DrawString("W", &big, {-2000, -2000, 0, 0}, nullptr, &brush), TAAStatus::Ok);
    TAARectF box;
    int lines = 0;
    EXPECT_EQ(g.MeasureString(std::string(100000, 'x'), &small, {0, 0, 50, 0}, nullptr, box, nullptr, &lines),
              TAAStatus::Ok);
    EXPECT_GT(lines, 10000);
    EXPECT_EQ(g.DrawString("\xFF\xFE broken \xC3", &small, {0, 0, 50, 50}, nullptr, &brush), TAAStatus::Ok);
    EXPECT_EQ(g.LastStatus(), TAAStatus::InvalidParameter);
}

// ---- Sample picture ----

TEST(AAGraphicsScene, WritesASamplePicture) {
    TScene s(360, 200, RGB(250, 250, 250));
    TAAGraphics g(&s.Dc);

    // A glow button face: two halves, each a base colour with a radial glow.
    const int fw = 160, fh = 44, h2 = fh / 2;
    g.TranslateTransform(10, 10);
    TAASolidBrush upperBase(0xFFDDE9F7), lowerBase(0xFFB9D1EE);
    g.FillRectangle(&upperBase, 0, 0, fw, h2);
    g.FillRectangle(&lowerBase, 0, h2, fw, fh - h2);
    TAAPath upper;
    upper.AddEllipse(0, -h2 / 2 + 2, fw, h2);
    TAAPathGradientBrush upperGlow(&upper);
    upperGlow.SetCenterPoint({fw / 2.0f, 0});
    upperGlow.SetCenterColor(0xFFFFFFFF);
    int one = 1;
    TARGB c = 0xFFDDE9F7;
    upperGlow.SetSurroundColors(&c, one);
    g.FillRectangle(&upperGlow, 0, 0, fw, h2);
    TAAPath lower;
    lower.AddEllipse(0, h2, fw, fh);
    TAAPathGradientBrush lowerGlow(&lower);
    lowerGlow.SetCenterPoint({fw / 2.0f, static_cast<float>(fh)});
    lowerGlow.SetCenterColor(0xFFEAF6FF);
    c = 0xFFB9D1EE;
    lowerGlow.SetSurroundColors(&c, one);
    g.FillRectangle(&lowerGlow, 0, h2, fw, fh - h2);
    g.SetSmoothingMode(aasmAntiAlias);
    TAAPath border;
    border.AddArc(0, 0, 6, 6, 180, 90);
    border.AddArc(fw - 7, 0, 6, 6, 270, 90);
    border.AddArc(fw - 7, fh - 7, 6, 6, 0, 90);
    border.AddArc(0, fh - 7, 6, 6, 90, 90);
    border.CloseFigure();
    TAAPen borderPen(0xFF6F8FBF, 1);
    g.DrawPath(&borderPen, &border);
    TAAFontFamily family("Tahoma");
    TAAFont font(&family, 9);
    TAAStringFormat centred(aasfNoWrap);
    centred.SetAlignment(aasaCenter);
    centred.SetLineAlignment(aasaCenter);
    centred.SetHotkeyPrefix(aahpShow);
    centred.SetTrimming(aastEllipsisCharacter);
    g.SetTextRenderingHint(aathClearTypeGridFit);
    TAASolidBrush text(0xFF1E395B);
    g.DrawString("&Acquire spectrum now", &font, {0, 0, fw - 40.0f, fh}, &centred, &text);
    g.ResetTransform();

    // A gradient with a blend, peaking in the middle.
    TAALinearGradientBrush band({190, 10, 160, 44}, 0xFF203060, 0xFFFFC040, aalgHorizontal);
    const float factors[] = {0, 1, 0.2f}, positions[] = {0, 0.6f, 1};
    band.SetBlend(factors, positions, 3);
    g.FillRectangle(&band, 190, 10, 160, 44);

    // An anti-aliased spectrum-like curve.
    const TAAPointF pts[] = {{10, 185},  {60, 178},  {100, 110}, {130, 180},
                             {200, 170}, {240, 100}, {270, 175}, {350, 185}};
    TAAPen curvePen(0xFF0050A0, 2);
    g.DrawCurve(&curvePen, pts, 8, 0.5f);

    // A trimmed caption.
    TAAStringFormat trimmed(aasfNoWrap);
    trimmed.SetTrimming(aastEllipsisCharacter);
    trimmed.SetHotkeyPrefix(aahpShow);
    g.DrawString("&Integration time and gain settings of the camera", &font, {190, 64, 160, 18}, &trimmed,
                 &text);

    std::string file = gfxtest::OutputDir() + "/aa_scene.png";
    s.Surface.EndCairo();
    ASSERT_EQ(cairo_surface_write_to_png(s.Surface.CairoSurface(), file.c_str()), CAIRO_STATUS_SUCCESS);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(g.LastStatus(), TAAStatus::Ok);
}
