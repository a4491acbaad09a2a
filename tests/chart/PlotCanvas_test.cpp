#include <gtest/gtest.h>

#include <numbers>

#include "PlotCanvasTestUtil.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

namespace {

using namespace charttest;

bool Dark(TColor c) {
    return GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90;
}
bool Reddish(TColor c) {
    return GetRValue(c) > 150 && GetGValue(c) < 110 && GetBValue(c) < 110;
}
// Leftmost column holding a pixel that matches.
template <class F> int LeftMost(TSurface& s, F match) {
    for (int x = 0; x < s.Target.Width(); ++x)
        for (int y = 0; y < s.Target.Height(); ++y)
            if (match(s.At(x, y)))
                return x;
    return -1;
}

// ---- Pens and brushes on the surface ----

TEST(PlotCanvasPens, HiddenPenDrawsNoLines) {
    TSurface s(40, 20);
    TChartHiddenPen pen;
    pen.SetColor(clRed);
    s.Canvas.UseChartPen(&pen);
    s.Canvas.Line(2, 10, 38, 10);
    s.Canvas.Polyline(std::vector<TPoint>{{2, 2}, {30, 15}}.data(), 1);
    EXPECT_EQ(s.InkBox(clWhite), TRect());
    pen.MakeVisible();
    s.Canvas.UseChartPen(&pen);
    s.Canvas.Line(2, 10, 38, 10);
    EXPECT_EQ(s.Count(clRed, TRect(0, 0, 40, 20)), 36);
}

TEST(PlotCanvasPens, SmallDotsAreSinglePixelsSpaceApart) {
    struct {
        int Space;
        const char* Row;
    } cases[] = {{2, "#..#..#..#..#..#..#."}, {0, "#.#.#.#.#.#.#.#.#.#."}};
    for (const auto& c : cases) {
        TSurface s(24, 5);
        TChartPen pen;
        pen.SetSmallDots(true);
        pen.SetSmallSpace(c.Space);
        s.Canvas.UseChartPen(&pen);
        s.Canvas.Line(0, 2, 20, 2);
        std::string row;
        for (int x = 0; x < 20; ++x)
            row += s.At(x, 2) == clBlack ? '#' : '.';
        EXPECT_EQ(row, c.Row) << "space " << c.Space;
    }
}

TEST(PlotCanvasPens, WidePensTakeTheirEndStyle) {
    struct {
        TPenEndStyle Style;
        int Left;
    } cases[] = {{esFlat, 10}, {esSquare, 7}};
    for (const auto& c : cases) {
        TSurface s(50, 30);
        TChartPen pen;
        pen.SetWidth(6);
        pen.SetEndStyle(c.Style);
        s.Canvas.UseChartPenWithColor(&pen, clBlue);
        s.Canvas.Line(10, 15, 30, 15);
        EXPECT_EQ(LeftMost(s, [](TColor p) { return p == clBlue; }), c.Left) << int(c.Style);
    }
}

TEST(PlotCanvasPens, MonochromeTurnsPensBlackAndBrushesWhite) {
    TSurface s(10, 10);
    s.Canvas.SetMonochrome(true);
    TChartPen pen;
    s.Canvas.UseChartPenWithColor(&pen, clRed);
    EXPECT_EQ(s.Canvas.Pen()->Color(), clBlack);
    TChartBrush brush;
    s.Canvas.UseChartBrushWithColor(&brush, clRed, clNone);
    EXPECT_EQ(s.Canvas.Brush()->Color(), clWhite);
    EXPECT_EQ(s.Canvas.GetBackMode(), TRANSPARENT);
    s.Canvas.UseChartBrushWithColor(&brush, clRed, clYellow);
    EXPECT_EQ(s.Canvas.GetBackMode(), OPAQUE);
    EXPECT_EQ(s.Canvas.GetBackColor(), clYellow);
}

// ---- Text ----

struct TText : ::testing::Test {
    TSurface S{160, 80};
    TPlotFont Font;
    void SetUp() override {
        Font.SetSize(20);
        Font.SetStyle(fsBold);
    }
};

TEST_F(TText, NegativeShadowMovesTheTextAndWidensIt) {
    S.Canvas.UseFont(&Font);
    const int plainWidth = S.Canvas.TextWidth("Il");
    S.Canvas.TextOut(20, 10, "Il");
    const int plainLeft = LeftMost(S, Dark);

    TSurface shadowed(160, 80);
    Font.Shadow()->SetColor(clRed);
    Font.Shadow()->SetHorizSize(-3);
    shadowed.Canvas.UseFont(&Font);
    EXPECT_EQ(shadowed.Canvas.TextWidth("Il"), plainWidth + 3);
    shadowed.Canvas.TextOut(20, 10, "Il");
    EXPECT_EQ(LeftMost(shadowed, Dark), plainLeft + 3);
    EXPECT_EQ(LeftMost(shadowed, Reddish), plainLeft);
}

TEST_F(TText, RotatedTextFoldsAnglesAboveAFullTurn) {
    S.Canvas.UseFont(&Font);
    TSurface up(80, 160), down(80, 160);
    up.Canvas.UseFont(&Font);
    down.Canvas.UseFont(&Font);
    up.Canvas.RotatedText(40, 120, "Hello", 450); // 90 degrees: reads upward
    down.Canvas.RotatedText(40, 40, "Hello", -90);
    const TRect u = up.InkBox(clWhite), d = down.InkBox(clWhite);
    EXPECT_GT(u.Height(), u.Width());
    EXPECT_LE(u.Bottom, 122);
    EXPECT_GT(d.Height(), d.Width());
    EXPECT_GE(d.Top, 38);
}

TEST_F(TText, OutlineWithoutFontColourDrawsOnlyTheOutline) {
    Font.SetSize(40);
    Font.SetColor(clNone);
    Font.OutLine()->SetColor(clRed);
    Font.OutLine()->MakeVisible();
    S.Canvas.UseFont(&Font);
    S.Canvas.TextOut(10, 5, "I");
    const TRect ink = S.InkBox(clWhite);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_EQ(S.Count(clRed, ink) + S.Count(clWhite, ink), ink.Width() * ink.Height());
    // The stem's middle stays empty: only the edges were stroked.
    const int mid = (ink.Top + ink.Bottom) / 2;
    int reds = 0;
    for (int x = ink.Left; x < ink.Right; ++x)
        reds += S.At(x, mid) == clRed;
    EXPECT_EQ(reds, 2);
}

TEST_F(TText, GradientGlyphsFillTheLettersOrOnlyTheirOutline) {
    Font.SetSize(40);
    Font.Gradient()->SetVisible(true);
    Font.Gradient()->SetStartColor(clRed);
    Font.Gradient()->SetEndColor(clBlue);
    S.Canvas.UseFont(&Font);
    S.Canvas.TextOut(10, 5, "I");
    const TRect ink = S.InkBox(clWhite);
    ASSERT_FALSE(ink.IsEmpty());
    const int mid = (ink.Top + ink.Bottom) / 2, cx = (ink.Left + ink.Right) / 2;
    const TColor inside = S.At(cx, mid);
    EXPECT_NE(inside, clWhite);
    EXPECT_NE(inside, clBlack);

    TSurface outlined(160, 80);
    Font.Gradient()->SetOutline(true);
    outlined.Canvas.UseFont(&Font);
    outlined.Canvas.TextOut(10, 5, "I");
    EXPECT_EQ(outlined.At(cx, mid), clWhite);
    EXPECT_NE(outlined.InkBox(clWhite), TRect());
}

// ---- Shapes ----

TEST(PlotCanvasShapes, Frame3DDrawsNestedFramesAndShrinksTheRectangle) {
    TSurface s(12, 12);
    TRect r(0, 0, 10, 10);
    s.Canvas.Frame3D(r, clRed, clBlue, 2);
    EXPECT_EQ(r, TRect(2, 2, 8, 8));
    EXPECT_EQ(s.At(0, 0), clRed);
    EXPECT_EQ(s.At(5, 0), clRed);
    EXPECT_EQ(s.At(0, 5), clRed);
    EXPECT_EQ(s.At(9, 5), clBlue);
    EXPECT_EQ(s.At(5, 9), clBlue);
    EXPECT_EQ(s.At(1, 1), clRed);
    EXPECT_EQ(s.At(8, 8), clBlue);
    EXPECT_EQ(s.At(2, 2), clWhite);
    EXPECT_EQ(s.InkBox(clWhite), TRect(0, 0, 10, 10));
}

TEST(PlotCanvasShapes, DonutSliceLeavesItsHole) {
    TSurface s(100, 100);
    s.Canvas.Brush()->SetColor(clRed);
    s.Canvas.Pen()->SetStyle(psClear);
    s.Canvas.DonutSlice(50, 50, 40, 40, 0, 2 * std::numbers::pi * 0.99, 50);
    EXPECT_EQ(s.At(50, 50), clWhite);
    EXPECT_EQ(s.At(50, 20), clRed); // on the ring above the centre
    EXPECT_EQ(s.At(50, 5), clWhite);
}

// ---- Clipping ----

TEST(PlotCanvasClip, UnClipRestoresTheClipBeforeTheLastOne) {
    TSurface s(100, 100);
    s.Canvas.Brush()->SetColor(clRed);
    s.Canvas.ClipRectangle(TRect(10, 10, 50, 50));
    s.Canvas.ClipRectangle(TRect(30, 30, 70, 70));
    s.Canvas.FillRect(TRect(0, 0, 100, 100));
    EXPECT_EQ(s.InkBox(clWhite), TRect(30, 30, 50, 50));
    s.Canvas.UnClip();
    s.Canvas.FillRect(TRect(0, 0, 100, 100));
    EXPECT_EQ(s.InkBox(clWhite), TRect(10, 10, 50, 50));
    s.Canvas.UnClip(); // no clip of ours left: the device clip goes
    s.Canvas.FillRect(TRect(0, 0, 100, 100));
    EXPECT_EQ(s.Count(clRed, TRect(0, 0, 100, 100)), 100 * 100);
}

TEST(PlotCanvasClip, PolygonClipConvertsTheCallersPointsToDevice) {
    TSurface s(60, 60);
    s.Canvas.GetHandle()->SetViewportOrgEx(5, 7);
    TPoint pts[3] = {{0, 0}, {20, 0}, {0, 20}};
    s.Canvas.ClipPolygon(pts, 3);
    EXPECT_EQ(pts[1], TPoint(25, 7));
    s.Canvas.Brush()->SetColor(clRed);
    s.Canvas.FillRect(TRect(-5, -7, 55, 53));
    s.Canvas.UnClip();
    EXPECT_EQ(s.InkBox(clWhite), TRect(5, 7, 24, 26)); // pixel centres inside the triangle
}

TEST(PlotCanvasClip, CubeClipWithout3DAndEllipseClips) {
    TSurface s(40, 40);
    s.Canvas.Brush()->SetColor(clRed);
    s.Canvas.ClipCube(TRect(10, 10, 20, 20), 0, 10);
    s.Canvas.FillRect(TRect(0, 0, 40, 40));
    s.Canvas.UnClip();
    EXPECT_EQ(s.InkBox(clWhite), TRect(11, 11, 20, 19));

    TSurface e(40, 40);
    e.Canvas.Brush()->SetColor(clRed);
    e.Canvas.ClipEllipse(TRect(10, 10, 30, 30), true); // everything but the ellipse
    e.Canvas.FillRect(TRect(0, 0, 40, 40));
    e.Canvas.UnClip();
    EXPECT_EQ(e.At(20, 20), clWhite);
    EXPECT_EQ(e.At(2, 2), clRed);
}

// Each of the surface's clips with something drawn inside and, after it, outside of it.
using TClipDrawing = void (*)(TPlotCanvas3D&);
void DrawClipped(TPlotCanvas3D& c, TClipDrawing clip) {
    c.Brush()->SetColor(clRed);
    clip(c);
    c.FillRect(TRect(0, 0, 80, 60));
    c.UnClip();
    c.Brush()->SetColor(clBlue);
    c.FillRect(TRect(70, 50, 80, 60));
}

// A window's context draws into its form's image at the window's place; the clips count from the window
// all the same, so an unbuffered surface on a window shows what it shows on a bitmap.
TEST(PlotCanvasClip, ClipsOnAWindowAwayFromTheFormsCornerMatchABitmap) {
    struct TClipCase {
        const char* Name;
        TClipDrawing Clip;
    };
    static const TClipCase cases[] = {
        {"rectangle", [](TPlotCanvas3D& c) { c.ClipRectangle(TRect(10, 8, 50, 40)); }},
        {"round rectangle", [](TPlotCanvas3D& c) { c.ClipRoundRectangle(TRect(10, 8, 50, 40), 12); }},
        {"ellipse", [](TPlotCanvas3D& c) { c.ClipEllipse(TRect(10, 8, 50, 40), false); }},
        {"all but an ellipse", [](TPlotCanvas3D& c) { c.ClipEllipse(TRect(10, 8, 50, 40), true); }},
        {"polygon",
         [](TPlotCanvas3D& c) {
             TPoint p[3] = {{10, 8}, {60, 20}, {20, 45}};
             c.ClipPolygon(p, 3);
         }},
    };
    class TClipWindow : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;
        TClipDrawing Clip = nullptr;
        void Paint() override {
            TPlotCanvas3D c;
            c.SetBuffered(false);
            c.InitWindow(Canvas(), nullptr, clWhite, false, TRect(0, 0, Width(), Height()));
            c.ResetToDefaults();
            c.Brush()->SetColor(clWhite);
            c.FillRect(TRect(0, 0, Width(), Height()));
            DrawClipped(c, Clip);
        }
    };
    TTestDriver driver;
    TForm* form = NewForm<TForm>(Application);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 150);
    auto* window = new TClipWindow(form);
    window->SetParent(form);
    window->SetBounds(37, 23, 80, 60);
    form->Show();
    for (const TClipCase& k : cases) {
        SCOPED_TRACE(k.Name);
        window->Clip = k.Clip;
        window->Invalidate();
        const std::unique_ptr<TImageSurface> shown = driver.Render(window);
        TSurface expected(80, 60);
        DrawClipped(expected.Canvas, k.Clip);
        ASSERT_EQ(shown->Width(), 80);
        int differing = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x)
                differing +=
                    (shown->Row(y)[x] & 0xFFFFFF) != (expected.Target.Surface().Row(y)[x] & 0xFFFFFF);
        EXPECT_EQ(differing, 0);
        EXPECT_EQ(expected.At(30, 20), k.Clip == cases[3].Clip ? clWhite : clRed);
    }
}

// ---- The off-screen buffer ----

TEST(PlotCanvasBuffer, DrawsIntoTheBufferAndShowsItAtTheUserRectangle) {
    TBitmap window(60, 50);
    TPlotCanvas3D c;
    const TRect user(5, 5, 45, 35);
    EXPECT_EQ(c.InitWindow(window.Canvas(), nullptr, clWhite, false, user), TRect(0, 0, 40, 30));
    TBitmap* buffer = c.Bitmap();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(c.TargetCanvas(), buffer->Canvas());
    c.ResetToDefaults();
    c.Brush()->SetColor(clRed);
    c.FillRect(TRect(0, 0, 40, 30));
    EXPECT_TRUE(c.Dirty());
    EXPECT_FALSE(c.EndDraw()); // dirty: nothing reused
    c.ShowImage(window.Canvas(), window.Canvas(), user);
    EXPECT_FALSE(c.Dirty());
    EXPECT_EQ(PixelToColor(window.Surface().Row(5)[5] & 0xFFFFFF), clRed);
    EXPECT_EQ(PixelToColor(window.Surface().Row(4)[4] & 0xFFFFFF), clBlack);
    EXPECT_EQ(c.TargetCanvas(), window.Canvas());
    EXPECT_TRUE(c.EndDraw()); // unchanged: the window is repainted from the buffer
    EXPECT_EQ(PixelToColor(window.Surface().Row(0)[0] & 0xFFFFFF), clRed);

    c.InitWindow(window.Canvas(), nullptr, clWhite, false, TRect(0, 0, 20, 10));
    EXPECT_EQ(c.Bitmap(), buffer); // resized, not replaced
    EXPECT_EQ(buffer->Width(), 20);

    c.SetKeepBitmap(true);
    c.SetBuffered(false);
    EXPECT_EQ(c.Bitmap(), buffer);
    c.SetKeepBitmap(false);
    c.SetBuffered(true);
    c.SetBuffered(false);
    EXPECT_EQ(c.Bitmap(), nullptr);
    EXPECT_TRUE(c.Dirty());
    EXPECT_EQ(c.InitWindow(window.Canvas(), nullptr, clWhite, false, user), user);
    EXPECT_EQ(c.TargetCanvas(), window.Canvas());
}

} // namespace
