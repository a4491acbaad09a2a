#include "platform/gfx/TextLayout.h"

#include <gtest/gtest.h>

#include "platform/gfx/GfxTestUtil.h"

using namespace plat;
using gfxtest::TScene;

namespace {
HFONT Font(const char* name, int height, int escapement = 0, bool underline = false) {
    TLogFont lf;
    lf.FaceName = name;
    lf.Height = height;
    lf.Escapement = lf.Orientation = escapement;
    lf.Underline = underline;
    return CreateFontIndirect(lf);
}
bool Within(const TRect& inner, const TRect& outer) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}
} // namespace

TEST(FontText, FamiliesMapToMetricCompatibleFontsWithConsistentMetrics) {
    auto& fm = TFontManager::Instance();
    EXPECT_EQ(fm.MapFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(fm.MapFamily("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(fm.MapFamily("Courier New"), "Liberation Mono");
    EXPECT_EQ(fm.MapFamily("Verdana"), "DejaVu Sans");

    TScene s(10, 10);
    s.Dc.SelectFont(Font("Arial", -11));
    TTextMetric tm;
    ASSERT_TRUE(s.Dc.GetTextMetrics(tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 11);
    EXPECT_GE(tm.tmHeight, 12);
    EXPECT_LE(tm.tmHeight, 14);
    EXPECT_GT(tm.tmAveCharWidth, 3);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    // A positive height asks for the cell height.
    s.Dc.SelectFont(Font("Arial", 20));
    s.Dc.GetTextMetrics(tm);
    EXPECT_NEAR(tm.tmHeight, 20, 1);
    EXPECT_EQ(tm.tmPitchAndFamily & (TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_DEVICE),
              TMPF_FIXED_PITCH | TMPF_VECTOR)
        << "a variable-pitch outline font";
    // A fixed-pitch family measures every character alike.
    s.Dc.SelectFont(Font("Courier New", -13));
    EXPECT_EQ(s.Dc.TextExtent("iiii").cx, s.Dc.TextExtent("WWWW").cx);
    s.Dc.GetTextMetrics(tm);
    EXPECT_EQ(tm.tmPitchAndFamily & (TMPF_FIXED_PITCH | TMPF_VECTOR), TMPF_VECTOR);
}

TEST(FontText, ExtentsAddUpAndTextLandsInItsBox) {
    TScene s(200, 100);
    s.Dc.SelectFont(Font("Arial", -16));
    TSize one = s.Dc.TextExtent("Hello"), two = s.Dc.TextExtent("HelloHello");
    EXPECT_EQ(two.cx, 2 * one.cx);
    EXPECT_EQ(two.cy, one.cy);
    s.Dc.SetTextCharacterExtra(2);
    EXPECT_EQ(s.Dc.TextExtent("Hello").cx, one.cx + 10);
    s.Dc.SetTextCharacterExtra(0);
    // Shapes are kept between calls; the spacing of one call must not stay with them.
    EXPECT_EQ(s.Dc.TextExtent("Hello").cx, one.cx);

    s.Dc.SetBkMode(TRANSPARENT);
    s.Dc.TextOut(10, 20, "Hello");
    TRect ink = s.InkBox(clWhite);
    EXPECT_FALSE(ink.IsEmpty());
    EXPECT_TRUE(Within(ink, TRect(10, 20, 10 + one.cx + 1, 20 + one.cy)))
        << ink.Left << "," << ink.Top << "," << ink.Right << "," << ink.Bottom;

    // Right and bottom alignment put the text above and left of the point.
    s.Clear(clWhite);
    s.Dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    s.Dc.TextOut(150, 80, "Hello");
    ink = s.InkBox(clWhite);
    EXPECT_TRUE(Within(ink, TRect(150 - one.cx, 80 - one.cy, 151, 80)));
    EXPECT_GT(ink.Right, 150 - 4);

    // Opaque background fills exactly the text cell.
    s.Clear(clWhite);
    s.Dc.SetTextAlign(TA_LEFT | TA_TOP);
    s.Dc.SetBkMode(OPAQUE);
    s.Dc.SetBkColor(clYellow);
    s.Dc.TextOut(10, 20, "Hello");
    EXPECT_EQ(s.InkBox(clWhite), TRect(10, 20, 10 + one.cx, 20 + one.cy));
    EXPECT_EQ(s.At(10, 20), clYellow);

    // The update-position flag moves the current position along the text.
    s.Dc.SetTextAlign(TA_UPDATECP);
    s.Dc.MoveToEx(5, 5);
    s.Dc.TextOut(0, 0, "Hello");
    EXPECT_EQ(s.Dc.GetCurrentPosition(), TPoint(5 + one.cx, 5));
}

TEST(FontText, RotatedTextRunsUpwardFromItsPoint) {
    TScene s(100, 200);
    s.Dc.SetBkMode(TRANSPARENT);
    s.Dc.SelectFont(Font("Arial", -16, 900));
    TSize ext = s.Dc.TextExtent("Rotated");
    s.Dc.TextOut(30, 150, "Rotated");
    TRect ink = s.InkBox(clWhite);
    ASSERT_FALSE(ink.IsEmpty());
    // Reading bottom to top: the cell lies right of x (the top of the glyphs faces left) and above y.
    EXPECT_TRUE(Within(ink, TRect(30, 150 - ext.cx - 1, 30 + ext.cy + 1, 151)))
        << ink.Left << "," << ink.Top << "," << ink.Right << "," << ink.Bottom;
    EXPECT_GT(ink.Height(), ink.Width());

    // Underline follows the text direction; unrotated it spans the full width under the baseline.
    TScene u(100, 40);
    u.Dc.SetBkMode(TRANSPARENT);
    u.Dc.SelectFont(Font("Arial", -16, 0, true));
    TTextMetric tm;
    u.Dc.GetTextMetrics(tm);
    TSize e = u.Dc.TextExtent("ab");
    u.Dc.TextOut(5, 5, "ab");
    bool fullRow = false;
    for (int y = 5 + tm.tmAscent; y < 5 + tm.tmHeight; ++y)
        fullRow = fullRow || u.RowMask(y, 5, 5 + e.cx, clBlack) == std::string(e.cx, '#');
    EXPECT_TRUE(fullRow);
}

TEST(FormattedText, PrefixesAreStrippedAndTheHotKeyUnderlined) {
    struct Case {
        const char* in;
        const char* out;
        int hot;
    } cases[] = {
        {"&File", "File", 0}, {"Save &As", "Save As", 5}, {"A && B", "A & B", -1}, {"End&", "End", -1}};
    for (auto& c : cases) {
        int hot = 0;
        EXPECT_EQ(StripPrefix(c.in, hot), c.out);
        EXPECT_EQ(hot, c.hot) << c.in;
    }
    TScene s(100, 40);
    s.Dc.SelectFont(Font("Arial", -16));
    s.Dc.SetBkMode(TRANSPARENT);
    TRect r(0, 0, 100, 40);
    TRect calc = r;
    DrawText(s.Dc, "&File", calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.Width(), s.Dc.TextExtent("File").cx);
    TTextMetric tm;
    s.Dc.GetTextMetrics(tm);
    DrawText(s.Dc, "&File", r, DT_SINGLELINE);
    int fw = s.Dc.TextExtent("F").cx;
    EXPECT_EQ(s.RowMask(tm.tmAscent + 1, 0, fw, clBlack), std::string(fw, '#'));
    s.Clear(clWhite);
    DrawText(s.Dc, "&File", r, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_NE(s.RowMask(tm.tmAscent + 1, 0, fw, clBlack), std::string(fw, '#'));
}

TEST(FormattedText, WrapsEllipsisesAlignsAndMeasures) {
    TScene s(300, 200);
    s.Dc.SelectFont(Font("Arial", -13));
    s.Dc.SetBkMode(TRANSPARENT);
    TTextMetric tm;
    s.Dc.GetTextMetrics(tm);
    int w = s.Dc.TextExtent("one two").cx;

    TRect r(10, 10, 10 + w + 2, 100);
    int h = DrawText(s.Dc, "one two one two", r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h, 2 * tm.tmHeight);
    EXPECT_EQ(r.Bottom, 10 + 2 * tm.tmHeight);
    EXPECT_LE(r.Width(), w + 2);
    // Line breaks start new lines; a word longer than the width stays whole.
    r = TRect(0, 0, 20, 100);
    EXPECT_EQ(DrawText(s.Dc, "a\nb\r\nc", r, DT_CALCRECT), 3 * tm.tmHeight);
    r = TRect(0, 0, 5, 100);
    DrawText(s.Dc, "extraordinary", r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(r.Width(), s.Dc.TextExtent("extraordinary").cx);
    EXPECT_EQ(r.Height(), tm.tmHeight);

    // End and path ellipsis keep the text inside the rectangle.
    for (uint32_t ell : {uint32_t(DT_END_ELLIPSIS), uint32_t(DT_PATH_ELLIPSIS), uint32_t(DT_WORD_ELLIPSIS)}) {
        r = TRect(0, 0, 60, 20);
        DrawText(s.Dc, "/usr/share/lumetra/very/long/name.txt", r, DT_SINGLELINE | DT_CALCRECT | ell);
        EXPECT_LE(r.Width(), 60) << ell;
        EXPECT_GT(r.Width(), 20) << ell;
    }
    s.Clear(clWhite);
    r = TRect(20, 20, 80, 40);
    DrawText(s.Dc, "A rather long caption that cannot fit", r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    EXPECT_TRUE(Within(s.InkBox(clWhite), TRect(20, 20, 81, 40)));

    // Centre and right alignment, and vertical centring of a single line.
    int tw = s.Dc.TextExtent("Mid").cx;
    s.Clear(clWhite);
    r = TRect(0, 0, 200, 100);
    DrawText(s.Dc, "Mid", r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    TRect ink = s.InkBox(clWhite);
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 100, tw / 2.0 + 1);
    EXPECT_GE(ink.Left, (200 - tw) / 2 - 1);
    EXPECT_GE(ink.Top, (100 - tm.tmHeight) / 2);
    EXPECT_LE(ink.Bottom, (100 + tm.tmHeight) / 2 + 1);
    s.Clear(clWhite);
    DrawText(s.Dc, "Mid", r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    ink = s.InkBox(clWhite);
    EXPECT_LE(ink.Right, 200);
    EXPECT_GE(ink.Left, 200 - tw - 1);
    EXPECT_GE(ink.Top, 100 - tm.tmHeight);

    // Tabs expand to multiples of eight average characters.
    r = TRect(0, 0, 300, 20);
    DrawText(s.Dc, "a\tb", r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(r.Width(), 8 * tm.tmAveCharWidth + s.Dc.TextExtent("b").cx);
}
