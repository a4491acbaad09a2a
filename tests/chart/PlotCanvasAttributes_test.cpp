#include <gtest/gtest.h>

#include "PlotCanvasTestUtil.h"
#include "platform/rtl/PropertyInfo.h"

namespace {

using namespace charttest;

bool Stored(TObject* o, const char* name) {
    const TPropInfo* p = GetPropInfo(o, name);
    return p && p->IsStored(o) && !IsDefaultPropValue(o, p);
}

// ---- Pens ----

TEST(ChartPen, VisibleIsStreamedAgainstItsOwnDefault) {
    TChartHiddenPen hidden;
    EXPECT_FALSE(hidden.Visible());
    EXPECT_FALSE(Stored(&hidden, "Visible"));
    hidden.MakeVisible();
    EXPECT_TRUE(Stored(&hidden, "Visible"));

    TChartPen pen;
    EXPECT_FALSE(Stored(&pen, "Visible"));
    pen.MakeInvisible();
    EXPECT_TRUE(Stored(&pen, "Visible"));
    EXPECT_EQ(GetOrdProp(&pen, "Visible"), 0);
}

TEST(ChartPen, PresetsChangeTheirDefaults) {
    TDottedGrayPen grid;
    EXPECT_EQ(grid.Color(), clGray);
    EXPECT_EQ(grid.Style(), psDot);
    EXPECT_FALSE(Stored(&grid, "Color"));
    EXPECT_FALSE(Stored(&grid, "Style"));
    grid.SetStyle(psSolid);
    EXPECT_TRUE(Stored(&grid, "Style"));
    TWhitePen white;
    EXPECT_FALSE(Stored(&white, "Color"));
    TDarkGrayPen dark;
    EXPECT_EQ(dark.Color(), clGray);
    EXPECT_FALSE(Stored(&dark, "Color"));
    TChartPen plain;
    EXPECT_FALSE(Stored(&plain, "EndStyle"));
    plain.SetEndStyle(esFlat);
    EXPECT_TRUE(Stored(&plain, "EndStyle"));
}

TEST(ChartPen, NotifiesRealChangesAndAssignsItsOwnFields) {
    int changes = 0;
    TChartPen pen([&](TObject*) { ++changes; });
    pen.SetSmallDots(false);
    pen.SetVisible(true);
    EXPECT_EQ(changes, 0);
    pen.SetSmallSpace(3);
    pen.SetEndStyle(esSquare);
    EXPECT_EQ(changes, 2);

    TChartPen other;
    other.SetSmallDots(true);
    other.SetWidth(4);
    other.MakeInvisible();
    pen.Assign(&other);
    EXPECT_TRUE(pen.SmallDots());
    EXPECT_EQ(pen.SmallSpace(), 0);
    EXPECT_EQ(pen.EndStyle(), esRound);
    EXPECT_FALSE(pen.Visible());
    EXPECT_EQ(pen.Width(), 4);
    EXPECT_GT(changes, 2);
}

// ---- Brushes ----

TEST(ChartBrush, ImageIsTheBrushsOwnCopy) {
    int changes = 0;
    TChartBrush brush([&](TObject*) { ++changes; });
    EXPECT_EQ(brush.Color(), AutoColor);
    EXPECT_FALSE(brush.HasImage());
    TPicture source;
    source.SetGraphic(std::make_unique<TBitmap>(4, 3));
    brush.SetImage(&source);
    EXPECT_EQ(changes, 1);
    source.Bitmap()->SetSize(9, 9);
    EXPECT_EQ(brush.Image()->Width(), 4);
    ASSERT_NE(brush.ImageBitmap(), nullptr);
    brush.SetImage(nullptr);
    EXPECT_FALSE(brush.HasImage());
    EXPECT_EQ(brush.ImageBitmap(), nullptr);
    EXPECT_EQ(changes, 2);
}

TEST(ChartBrush, PictureBrushFillsWithThePattern) {
    TSurface s(16, 16);
    TChartBrush brush;
    TBitmap tile(2, 2);
    tile.Canvas()->Brush()->SetColor(clRed);
    tile.Canvas()->FillRect(TRect(0, 0, 2, 2));
    tile.Canvas()->SetPixels(1, 1, clBlue);
    TPicture picture;
    picture.SetGraphic(&tile);
    brush.SetImage(&picture);
    s.Canvas.UseChartBrush(&brush, clWhite);
    s.Canvas.FillRect(TRect(0, 0, 16, 16));
    EXPECT_EQ(s.Count(clRed, TRect(0, 0, 16, 16)), 3 * 64);
    EXPECT_EQ(s.Count(clBlue, TRect(0, 0, 16, 16)), 64);
}

// ---- Fonts ----

TEST(PlotFont, SubObjectsAreMadeOnDemandAndFollowAssign) {
    int changes = 0;
    TPlotFont font([&](TObject*) { ++changes; });
    EXPECT_EQ(font.Name(), ChartDefaultFontName());
    EXPECT_EQ(font.Size(), ChartDefaultFontSize());
    EXPECT_EQ(font.Color(), clBlack);
    EXPECT_FALSE(Stored(&font, "Name"));
    EXPECT_FALSE(Stored(&font, "Height"));
    EXPECT_FALSE(Stored(&font, "Color"));
    font.SetSize(12);
    EXPECT_TRUE(Stored(&font, "Height"));

    EXPECT_FALSE(font.HasOutLine());
    EXPECT_FALSE(font.OutLine()->Visible());
    EXPECT_TRUE(font.HasOutLine());
    font.SetOutLine(nullptr);
    EXPECT_FALSE(font.HasOutLine());

    font.OutLine()->MakeVisible();
    changes = 0;
    font.OutLine()->SetColor(clRed); // a change inside a sub-object reaches the font's owner
    EXPECT_EQ(changes, 1);
    TPlotFont plain;
    font.Assign(&plain);
    EXPECT_FALSE(font.HasOutLine());

    TPlotFont shadowed;
    shadowed.Shadow()->SetHorizSize(3);
    shadowed.SetInterCharSize(2);
    font.Assign(&shadowed);
    ASSERT_TRUE(font.HasShadow());
    EXPECT_EQ(font.Shadow()->HorizSize(), 3);
    EXPECT_EQ(font.InterCharSize(), 2);
    EXPECT_NE(font.Shadow(), shadowed.Shadow());
}

TEST(PlotFont, UseFontAppliesZoomSpacingAndRemembersTheCanvas) {
    TSurface s(10, 10);
    TPlotFont font;
    font.SetSize(10);
    font.SetInterCharSize(3);
    s.Canvas.SetFontZoom(150);
    s.Canvas.UseFont(&font);
    EXPECT_EQ(s.Canvas.Font()->Size(), 15);
    EXPECT_EQ(s.Canvas.GetHandle()->GetTextCharacterExtra(), 3);
    EXPECT_EQ(s.Canvas.CurrentChartFont(), &font);
    EXPECT_EQ(font.LastCanvas(), &s.Canvas);
    s.Canvas.ResetToDefaults();
    EXPECT_EQ(s.Canvas.CurrentChartFont(), nullptr);
}

// ---- Shadows ----

struct TShadow : ::testing::Test {
    TSurface S{60, 60};
    TPlotShadow Shadow;
    const TRect Shape{10, 10, 40, 40};
};

TEST_F(TShadow, NothingToDrawStartsNoBlend) {
    Shadow.SetTransparency(30);
    Shadow.SetColor(clNone);
    Shadow.SetBothSizes(5);
    Shadow.DrawForRect(S.Canvas, Shape);
    Shadow.SetColor(clBlack);
    Shadow.SetBothSizes(0);
    Shadow.DrawForRect(S.Canvas, Shape);
    Shadow.DrawEllipse(S.Canvas, Shape, 0);
    EXPECT_EQ(S.InkBox(clWhite), TRect());
    EXPECT_EQ(S.Canvas.CurrentTransparency(), 0);
}

TEST_F(TShadow, SizeOneIsSolidEvenWhenSmooth) {
    Shadow.SetColor(clBlack);
    Shadow.SetBothSizes(1);
    Shadow.DrawForRect(S.Canvas, Shape);
    const TRect ink = S.InkBox(clWhite);
    EXPECT_EQ(ink, TRect(11, 11, 41, 41));
    EXPECT_EQ(S.At(40, 40), clBlack);
    EXPECT_EQ(S.Count(clBlack, ink) + S.Count(clWhite, ink), ink.Width() * ink.Height());
}

TEST_F(TShadow, SmoothBandFadesOneLinePerPixel) {
    Shadow.SetColor(clBlack);
    Shadow.SetVertSize(4);
    Shadow.DrawForRect(S.Canvas, Shape);
    EXPECT_EQ(S.At(20, 40), TColor(0x000000));
    EXPECT_EQ(S.At(20, 41), TColor(0x404040));
    EXPECT_EQ(S.At(20, 42), TColor(0x808080));
    EXPECT_EQ(S.At(20, 43), TColor(0xC0C0C0));
    EXPECT_EQ(S.At(20, 44), clWhite);
}

TEST_F(TShadow, SmoothBandOnlyForPositiveSizes) {
    Shadow.SetColor(clBlack);
    Shadow.SetHorizSize(4);
    Shadow.SetVertSize(-2);
    Shadow.DrawForRect(S.Canvas, Shape);
    const TRect ink = S.InkBox(clWhite);
    EXPECT_EQ(ink.Left, 39); // the vertical lines right of the shape (and their corner pixels)
    EXPECT_GE(ink.Top, 8);
    EXPECT_LE(ink.Bottom, 40);
}

TEST_F(TShadow, SmoothEllipseIsDarkInTheMiddle) {
    Shadow.SetColor(RGB(128, 128, 128));
    Shadow.SetBothSizes(5);
    Shadow.DrawEllipse(S.Canvas, Shape, 0);
    const TColor centre = S.At(30, 30);
    EXPECT_LT(GetRValue(centre), 40);
    EXPECT_EQ(S.At(16, 16), clWhite); // outside the ellipse
    EXPECT_EQ(S.InkBox(clWhite), TRect(15, 15, 45, 45));
}

TEST(PlotShadowSettings, AssignAndStreamingDefaults) {
    int changes = 0;
    TPlotShadow a([&](TObject*) { ++changes; });
    EXPECT_FALSE(Stored(&a, "Color"));
    EXPECT_FALSE(Stored(&a, "HorizSize"));
    a.SetDefaultSize(3);
    EXPECT_TRUE(Stored(&a, "HorizSize"));
    TPlotShadow b;
    b.SetColor(clRed);
    b.SetHorizSize(-2);
    b.SetSmooth(false);
    b.SetTransparency(140);
    EXPECT_EQ(b.Transparency(), 100);
    a.Assign(&b);
    EXPECT_EQ(a.Color(), clRed);
    EXPECT_EQ(a.HorizSize(), -2);
    EXPECT_FALSE(a.Smooth());
    EXPECT_EQ(a.MaxSize(), 0);
    EXPECT_EQ(changes, 4);
    TChartPen pen;
    EXPECT_THROW(a.Assign(&pen), EConvertError);
}

} // namespace
