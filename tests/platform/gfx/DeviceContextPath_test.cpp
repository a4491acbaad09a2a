#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>
#include <functional>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/GfxTestUtil.h"

using namespace plat;
using gfxtest::TScene;

namespace {

int CountColor(const TScene& s, TColor c) {
    int n = 0;
    for (int y = 0; y < s.Surface.Height(); ++y)
        for (int x = 0; x < s.Surface.Width(); ++x)
            n += s.At(x, y) == c;
    return n;
}

void Record(TDeviceContext& dc, const std::function<void(TDeviceContext&)>& draw) {
    ASSERT_TRUE(dc.BeginPath());
    draw(dc);
    ASSERT_TRUE(dc.EndPath());
}

} // namespace

// A path keeps the pixel rules of the shapes it was made of: filling, stroking or both give exactly the
// pixels of drawing the shapes with a null pen, a null brush or both, whatever the raster operation.
TEST(DeviceContextPath, DrawingAPathMatchesDrawingItsShapes) {
    using TDraw = std::function<void(TDeviceContext&)>;
    TPoint star[] = {{5, 5}, {50, 40}, {5, 40}, {50, 5}, {28, 55}};
    struct Case {
        const char* name;
        TDraw draw;
    };
    Case shapes[] = {
        {"rectangle", [](TDeviceContext& dc) { dc.Rectangle(4, 6, 40, 33); }},
        {"ellipse", [](TDeviceContext& dc) { dc.Ellipse(3, 20, 58, 60); }},
        {"star", [&](TDeviceContext& dc) { dc.Polygon(star, 5); }},
        {"pie", [](TDeviceContext& dc) { dc.Pie(0, 0, 40, 40, 40, 0, 0, 40); }},
        {"round rectangle", [](TDeviceContext& dc) { dc.RoundRect(15, 15, 55, 50, 12, 8); }},
        {"chord", [](TDeviceContext& dc) { dc.Chord(5, 5, 60, 50, 0, 30, 60, 10); }},
    };
    struct Mode {
        const char* name;
        bool (TDeviceContext::*call)();
        bool pen, brush;
    };
    Mode modes[] = {{"StrokeAndFillPath", &TDeviceContext::StrokeAndFillPath, true, true},
                    {"FillPath", &TDeviceContext::FillPath, false, true},
                    {"StrokePath", &TDeviceContext::StrokePath, true, false}};
    for (int winding = 0; winding < 2; ++winding)
        for (auto& shape : shapes)
            for (auto& mode : modes)
                for (int rop : {R2_COPYPEN, R2_XORPEN}) {
                    SCOPED_TRACE(std::string(shape.name) + " " + mode.name + " rop " + std::to_string(rop) +
                                 (winding ? " winding" : " alternate"));
                    auto setUp = [&](TDeviceContext& dc, bool pen, bool brush) {
                        dc.SetROP2(rop);
                        dc.SetPolyFillMode(winding ? WINDING : ALTERNATE);
                        dc.SelectPen(pen ? CreatePen(PS_SOLID, 1, clRed) : GetStockPen(NULL_PEN));
                        dc.SelectBrush(brush ? CreateHatchBrush(HS_CROSS, clBlue)
                                             : GetStockBrush(NULL_BRUSH));
                    };
                    TScene direct(64, 64), viaPath(64, 64);
                    direct.Noise(3);
                    viaPath.Noise(3);
                    auto before = viaPath.Snapshot();
                    setUp(direct.Dc, mode.pen, mode.brush);
                    shape.draw(direct.Dc);

                    setUp(viaPath.Dc, true, true);
                    Record(viaPath.Dc, shape.draw);
                    EXPECT_EQ(viaPath.Snapshot(), before) << "nothing is drawn while recording";
                    setUp(viaPath.Dc, mode.pen, mode.brush);
                    ASSERT_TRUE((viaPath.Dc.*mode.call)());
                    EXPECT_EQ(viaPath.Snapshot(), direct.Snapshot());
                    // The path is used up.
                    EXPECT_FALSE((viaPath.Dc.*mode.call)());
                }
}

TEST(DeviceContextPath, LinesJoinIntoFiguresThatCloseFigureAndMoveToEnd) {
    TScene s(64, 64);
    s.Dc.SetViewportOrgEx(5, 7); // GetPath answers in logical coordinates
    Record(s.Dc, [](TDeviceContext& dc) {
        dc.MoveToEx(10, 10);
        dc.LineTo(30, 10);
        dc.LineTo(30, 30);
        EXPECT_TRUE(dc.CloseFigure());
        EXPECT_FALSE(dc.CloseFigure()); // nothing open any more
        dc.LineTo(40, 30);              // a new figure from the current position
        dc.MoveToEx(40, 40);
        TPoint more[] = {{45, 40}, {45, 45}};
        dc.PolylineTo(more, 2);
    });
    std::vector<TPoint> pts;
    std::vector<uint8_t> types;
    ASSERT_EQ(s.Dc.GetPath(pts, types), 8);
    EXPECT_EQ(pts, (std::vector<TPoint>{
                       {10, 10}, {30, 10}, {30, 30}, {30, 30}, {40, 30}, {40, 40}, {45, 40}, {45, 45}}));
    EXPECT_EQ(types, (std::vector<uint8_t>{PT_MOVETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE, PT_MOVETO,
                                           PT_LINETO, PT_MOVETO, PT_LINETO, PT_LINETO}));
    // Stroking closes the closed figures only; the path stays where it was recorded (device pixels).
    s.Dc.SetViewportOrgEx(0, 0);
    s.Dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
    ASSERT_TRUE(s.Dc.StrokePath());
    EXPECT_EQ(s.At(25, 27), clBlack); // on the closing diagonal of the triangle
    EXPECT_EQ(s.At(50, 47), clBlack);
    EXPECT_EQ(s.At(50, 52), clWhite); // the open figure stops before its end point
    EXPECT_EQ(s.At(47, 49), clWhite); // and is not closed
}

TEST(DeviceContextPath, TextPathsHoldTheGlyphOutlines) {
    const char* text = "Hg@";
    TScene plain(120, 50);
    plain.Dc.SetBkMode(TRANSPARENT);
    plain.Dc.TextOut(10, 10, text);
    TSize extent = plain.Dc.TextExtent(text);
    TRect textBox(10, 10, 10 + extent.cx, 10 + extent.cy);

    TScene s(120, 50);
    s.Dc.SetBkMode(OPAQUE); // the background box is not part of the path
    Record(s.Dc, [&](TDeviceContext& dc) { dc.TextOut(10, 10, text); });
    EXPECT_EQ(CountColor(s, clWhite), 120 * 50);
    s.Dc.SelectBrush(CreateSolidBrush(clRed));
    ASSERT_TRUE(s.Dc.FillPath());

    TRect ink = s.InkBox(clWhite);
    TRect inside;
    IntersectRect(inside, ink, textBox);
    EXPECT_FALSE(ink.IsEmpty());
    EXPECT_EQ(inside, ink) << "filled pixels lie inside the text box";
    // The filled glyphs cover the pixels the drawn text inks, holes included.
    int filled = 0, filledAndInked = 0, inked = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 120; ++x) {
            bool f = s.At(x, y) == clRed, i = plain.At(x, y) != clWhite;
            filled += f;
            inked += i;
            filledAndInked += f && i;
        }
    EXPECT_GE(filledAndInked, filled * 95 / 100);
    EXPECT_GE(filled, inked * 45 / 100);

    // The outlines do not depend on where the text stands, far off the surface included.
    std::vector<TPoint> near, far;
    std::vector<uint8_t> nearTypes, farTypes;
    Record(s.Dc, [&](TDeviceContext& dc) { dc.TextOut(10, 10, text); });
    ASSERT_GT(s.Dc.GetPath(near, nearTypes), 20);
    Record(s.Dc, [&](TDeviceContext& dc) { dc.TextOut(1510, 910, text); });
    ASSERT_EQ(s.Dc.GetPath(far, farTypes), static_cast<int>(near.size()));
    EXPECT_EQ(farTypes, nearTypes);
    for (size_t i = 0; i < near.size(); ++i)
        ASSERT_EQ(far[i], TPoint(near[i].X + 1500, near[i].Y + 900)) << i;

    // A widened text path made the clip: what follows paints only near the glyph outlines.
    TScene g(120, 50);
    g.Dc.SelectPen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 3, TLogBrush{BS_SOLID, clBlack, 0}));
    Record(g.Dc, [&](TDeviceContext& dc) { dc.TextOut(10, 10, text); });
    ASSERT_TRUE(g.Dc.WidenPath());
    ASSERT_TRUE(g.Dc.SelectClipPath(RGN_AND));
    g.Dc.FillRect(TRect(0, 0, 120, 50), CreateSolidBrush(clBlue));
    g.Dc.SelectClipRgn(nullptr);
    TRect band = g.InkBox(clWhite),
          grown(textBox.Left - 3, textBox.Top - 3, textBox.Right + 3, textBox.Bottom + 3);
    IntersectRect(inside, band, grown);
    EXPECT_FALSE(band.IsEmpty());
    EXPECT_EQ(inside, band);
    int blue = CountColor(g, clBlue);
    EXPECT_GT(blue, filled / 2);
    EXPECT_LT(blue, textBox.Width() * textBox.Height());
}

TEST(DeviceContextPath, WidenPathGivesTheBandThePenCovers) {
    TScene s(64, 40);
    s.Dc.SelectPen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_MITER, 5,
                                TLogBrush{BS_SOLID, clBlack, 0}));
    Record(s.Dc, [](TDeviceContext& dc) {
        dc.MoveToEx(10, 20);
        dc.LineTo(40, 20);
    });
    ASSERT_TRUE(s.Dc.WidenPath());
    // One closed outline with four corners.
    std::vector<TPoint> pts;
    std::vector<uint8_t> types;
    ASSERT_EQ(s.Dc.GetPath(pts, types), 4);
    EXPECT_EQ(types.back(), PT_LINETO | PT_CLOSEFIGURE);
    s.Dc.SelectBrush(CreateSolidBrush(clRed));
    ASSERT_TRUE(s.Dc.FillPath());
    // Five rows through the line's pixel centres; square caps reach half the width past both ends.
    EXPECT_EQ(s.InkBox(clWhite), TRect(8, 18, 43, 23));
    EXPECT_EQ(CountColor(s, clRed), 35 * 5);

    // The outer corner of a bend follows the pen's join.
    struct Join {
        uint32_t style;
        bool corner;
    };
    for (Join j : {Join{PS_JOIN_MITER, true}, Join{PS_JOIN_BEVEL, false}, Join{PS_JOIN_ROUND, false}}) {
        TScene b(64, 48);
        b.Dc.SelectPen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | j.style, 7,
                                    TLogBrush{BS_SOLID, clBlack, 0}));
        Record(b.Dc, [](TDeviceContext& dc) {
            TPoint bend[] = {{10, 30}, {40, 30}, {40, 5}};
            dc.Polyline(bend, 3);
        });
        ASSERT_TRUE(b.Dc.WidenPath());
        b.Dc.SelectBrush(CreateSolidBrush(clRed));
        ASSERT_TRUE(b.Dc.FillPath());
        EXPECT_EQ(b.At(43, 30), clRed) << j.style;
        EXPECT_EQ(b.At(43, 33) == clRed, j.corner) << j.style;
    }

    // A dashed pen widens into separate pieces; a null pen cannot widen and leaves the path alone.
    TScene d(64, 40);
    d.Dc.SelectPen(ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 3, TLogBrush{BS_SOLID, clBlack, 0}));
    Record(d.Dc, [](TDeviceContext& dc) {
        dc.MoveToEx(2, 20);
        dc.LineTo(60, 20);
    });
    ASSERT_TRUE(d.Dc.WidenPath());
    ASSERT_GT(d.Dc.GetPath(pts, types), 4);
    EXPECT_GE(std::count(types.begin(), types.end(), PT_MOVETO), 4);
    d.Dc.SelectPen(GetStockPen(NULL_PEN));
    std::vector<TPoint> again;
    EXPECT_FALSE(d.Dc.WidenPath());
    EXPECT_EQ(d.Dc.GetPath(again, types), static_cast<int>(pts.size()));
}

TEST(DeviceContextPath, SelectClipPathCombinesWithTheClip) {
    struct Case {
        int mode;
        const char* expect; // at (5,15) clip only, (15,15) both, (25,15) path only, (35,35) neither
    };
    Case cases[] = {
        {RGN_AND, ".#.."}, {RGN_OR, "###."}, {RGN_XOR, "#.#."}, {RGN_DIFF, "#..."}, {RGN_COPY, ".##."},
    };
    const TPoint probes[] = {{5, 15}, {15, 15}, {25, 15}, {35, 35}};
    for (auto& c : cases) {
        SCOPED_TRACE(c.mode);
        TScene s(40, 40);
        s.Dc.IntersectClipRect(0, 0, 20, 40);
        Record(s.Dc, [](TDeviceContext& dc) { dc.Rectangle(10, 10, 31, 31); });
        ASSERT_TRUE(s.Dc.SelectClipPath(c.mode));
        s.Dc.FillRect(TRect(0, 0, 40, 40), CreateSolidBrush(clBlack));
        std::string got;
        for (TPoint p : probes)
            got += s.At(p.X, p.Y) == clBlack ? '#' : '.';
        EXPECT_EQ(got, c.expect);
        EXPECT_FALSE(s.Dc.SelectClipPath(c.mode)) << "the path is used up";
    }

    // The area of a path is the area its fill paints.
    TScene s(64, 64);
    Record(s.Dc, [](TDeviceContext& dc) { dc.Ellipse(5, 8, 50, 60); });
    TRegion region;
    ASSERT_TRUE(s.Dc.PathToRegion(region));
    Record(s.Dc, [](TDeviceContext& dc) { dc.Ellipse(5, 8, 50, 60); });
    s.Dc.SelectBrush(CreateSolidBrush(clBlack));
    s.Dc.FillPath();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(region.Contains(x, y), s.At(x, y) == clBlack) << x << "," << y;
}

TEST(DeviceContextPath, UnbalancedOrMissingBracketsAreRefused) {
    TScene s(32, 32);
    std::vector<TPoint> pts;
    std::vector<uint8_t> types;
    TRegion region;
    // No path at all.
    EXPECT_FALSE(s.Dc.EndPath());
    EXPECT_FALSE(s.Dc.CloseFigure());
    EXPECT_FALSE(s.Dc.StrokePath());
    EXPECT_FALSE(s.Dc.FillPath());
    EXPECT_FALSE(s.Dc.StrokeAndFillPath());
    EXPECT_FALSE(s.Dc.WidenPath());
    EXPECT_FALSE(s.Dc.FlattenPath());
    EXPECT_FALSE(s.Dc.SelectClipPath(RGN_AND));
    EXPECT_FALSE(s.Dc.PathToRegion(region));
    EXPECT_EQ(s.Dc.GetPath(pts, types), -1);
    TRegion clip;
    EXPECT_EQ(s.Dc.GetClipRgn(clip), 0) << "a refused clip path leaves the clip alone";

    // A bracket still open: the path cannot be used yet, and drawing calls keep recording.
    s.Dc.BeginPath();
    s.Dc.Rectangle(2, 2, 20, 20);
    EXPECT_FALSE(s.Dc.StrokeAndFillPath());
    EXPECT_EQ(s.Dc.GetPath(pts, types), -1);
    s.Dc.Ellipse(5, 5, 15, 15);
    EXPECT_TRUE(s.Dc.EndPath());
    EXPECT_FALSE(s.Dc.EndPath());
    EXPECT_TRUE(s.Dc.FlattenPath());
    EXPECT_FALSE(s.Dc.SelectClipPath(99));
    EXPECT_GT(s.Dc.GetPath(pts, types), 4);
    EXPECT_EQ(CountColor(s, clWhite), 32 * 32);

    // AbortPath discards a finished or unfinished path; BeginPath starts over.
    s.Dc.AbortPath();
    EXPECT_FALSE(s.Dc.FillPath());
    s.Dc.BeginPath();
    s.Dc.Rectangle(2, 2, 20, 20);
    s.Dc.AbortPath();
    EXPECT_FALSE(s.Dc.InPathBracket());
    EXPECT_FALSE(s.Dc.EndPath());
    s.Dc.BeginPath();
    s.Dc.Rectangle(2, 2, 20, 20);
    s.Dc.BeginPath();
    s.Dc.EndPath();
    EXPECT_EQ(s.Dc.GetPath(pts, types), 0);
    EXPECT_TRUE(s.Dc.StrokeAndFillPath()); // an empty path draws nothing
    EXPECT_EQ(CountColor(s, clWhite), 32 * 32);

    // Calls outside a bracket draw again, and calls that make no figures draw inside one.
    s.Dc.MoveToEx(0, 1);
    s.Dc.LineTo(10, 1);
    EXPECT_EQ(s.RowMask(1, 0, 11, clBlack), "##########.");
    s.Dc.BeginPath();
    s.Dc.FillRect(TRect(0, 30, 32, 32), CreateSolidBrush(clRed));
    s.Dc.EndPath();
    EXPECT_EQ(s.At(5, 31), clRed);
}

TEST(DeviceContextPath, ArcToFollowsTheArcDirection) {
    // A ring sector: the outer arc counter-clockwise, the inner one back clockwise.
    TScene s(100, 100);
    const int cx = 50, cy = 50;
    EXPECT_EQ(s.Dc.SetArcDirection(AD_CLOCKWISE), AD_COUNTERCLOCKWISE);
    EXPECT_EQ(s.Dc.SetArcDirection(AD_COUNTERCLOCKWISE), AD_CLOCKWISE);
    EXPECT_EQ(s.Dc.SetArcDirection(7), 0);
    Record(s.Dc, [&](TDeviceContext& dc) {
        dc.MoveToEx(cx + 40, cy);
        dc.ArcTo(cx - 40, cy - 40, cx + 40, cy + 40, cx + 40, cy, cx, cy - 40);
        EXPECT_EQ(dc.GetCurrentPosition(), TPoint(cx, cy - 40));
        dc.LineTo(cx, cy - 20);
        dc.SetArcDirection(AD_CLOCKWISE);
        dc.ArcTo(cx - 20, cy - 20, cx + 20, cy + 20, cx, cy - 20, cx + 20, cy);
        dc.SetArcDirection(AD_COUNTERCLOCKWISE);
        dc.LineTo(cx + 40, cy);
    });
    std::vector<TPoint> pts;
    std::vector<uint8_t> types;
    ASSERT_GT(s.Dc.GetPath(pts, types), 8);
    EXPECT_EQ(std::count(types.begin(), types.end(), PT_MOVETO), 1) << "one figure";
    s.Dc.SelectPen(GetStockPen(NULL_PEN));
    s.Dc.SelectBrush(CreateSolidBrush(clBlack));
    ASSERT_TRUE(s.Dc.FillPath());
    EXPECT_EQ(s.At(cx + 21, cy - 21), clBlack); // inside the ring, upper right
    EXPECT_EQ(s.At(cx + 5, cy - 5), clWhite);   // the hole
    EXPECT_EQ(s.At(cx - 21, cy - 21), clWhite); // other quarters
    EXPECT_EQ(s.At(cx + 21, cy + 21), clWhite);

    // Outside a bracket a clockwise arc from east to north draws the other three quarters.
    TScene a(100, 100);
    a.Dc.SetArcDirection(AD_CLOCKWISE);
    a.Dc.Arc(cx - 40, cy - 40, cx + 41, cy + 41, cx + 40, cy, cx, cy - 40);
    EXPECT_EQ(a.At(cx, cy + 40), clBlack);
    EXPECT_EQ(a.At(cx - 40, cy), clBlack);
    EXPECT_EQ(a.RowMask(cy - 29, cx + 1, cx + 40, clBlack).find('#'), std::string::npos);
}

// A surface without pixel memory (a printer page, say) gets paths through Cairo.
TEST(DeviceContextPath, VectorSurfacesFillAndStrokePaths) {
    struct TVectorSurface : TDrawSurface {
        cairo_surface_t* Image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 40, 40);
        ~TVectorSurface() override { cairo_surface_destroy(Image); }
        cairo_surface_t* CairoSurface() override { return Image; }
        int Width() const override { return 40; }
        int Height() const override { return 40; }
        uint32_t Pixel(int x, int y) {
            cairo_surface_flush(Image);
            auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(Image) +
                                                    y * cairo_image_surface_get_stride(Image));
            return row[x] & 0x00FFFFFF;
        }
    } surface;
    TDeviceContext dc(&surface);
    dc.FillSolidRect(TRect(0, 0, 40, 40), clWhite);
    Record(dc, [](TDeviceContext& d) {
        d.MoveToEx(5, 5);
        d.LineTo(35, 5);
        d.LineTo(35, 35); // left open
        d.Rectangle(10, 15, 20, 25);
    });
    dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
    dc.SelectBrush(CreateSolidBrush(clRed));
    ASSERT_TRUE(dc.StrokeAndFillPath());
    EXPECT_EQ(surface.Pixel(20, 5), 0x000000u);
    EXPECT_EQ(surface.Pixel(15, 20), 0xFF0000u);
    EXPECT_EQ(surface.Pixel(30, 10), 0xFF0000u); // the open figure fills as if closed
    EXPECT_EQ(surface.Pixel(25, 25) & 0xFF0000u, 0xFF0000u) << "but its stroke stays open";
}
