#include "ui/toolbars/KvxToolBarDraw.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/HintWindow.h"
#include "ui/toolbars/KvxToolBarStylers.h"

using namespace plat;
using namespace ui;
using namespace ui::toolbar;

namespace {

constexpr TColor kPaper = 0xFFFFFF;

class ToolBarDrawTest : public ::testing::Test {
protected:
    // A white bitmap to draw on.
    static std::unique_ptr<TBitmap> Paper(int W, int H) {
        auto b = std::make_unique<TBitmap>(W, H, pf32bit);
        b->Canvas()->Brush()->SetColor(kPaper);
        b->Canvas()->FillRect(TRect(0, 0, W, H));
        return b;
    }
    static TColor At(TBitmap& B, int X, int Y) { return TTestDriver::PixelOf(B.Surface(), X, Y); }

    TTestDriver Driver;
};

TEST(ToolBarColours, BlendDarkenAndBrightnessFollowTheirRounding) {
    struct {
        const char* What;
        TColor Got, Expected;
    } const cases[] = {
        {"blend 100 keeps a system colour", BlendColor(clBtnFace, 0x123456, 100), clBtnFace},
        {"blend 0 keeps the second", BlendColor(0x123456, clBtnFace, 0), clBtnFace},
        {"blend half of black and white", BlendColor(0x000000, 0xFFFFFF, 50), 0x808080},
        {"blend a quarter", BlendColor(0x0000FF, 0x000000, 25), 0x000040},
        {"darken by 10", toolbar::DarkenColor(0x646464, 10), 0x5A5A5A},
        {"darken by 100", toolbar::DarkenColor(0xFFFFFF, 100), 0x000000},
        {"brightness of black down", AdjustBrightness(0x000000, -10), 0x000000},
        {"brightness lifts zero channels", AdjustBrightness(0x000000, 20), 0x141414},
        {"brightness keeps lit channels", AdjustBrightness(0x320064, 20), 0x321464},
        {"brightness down by 5", AdjustBrightness(0x646464, -5), 0x5F5F5F},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Got, c.Expected) << c.What;

    TRect r(10, 10, 31, 20);
    CenterRect(r, 5, 4);
    EXPECT_EQ(r, TRect(18, 13, 23, 17));
}

TEST_F(ToolBarDrawTest, BandGradientsLeaveNoGap) {
    // Two bands over 100 pixels: the second starts exactly where the first ends.
    auto b = Paper(100, 10);
    DrawBandGradient(*b->Canvas(), 0x000000, 0xFFFFFF, 2, TRect(0, 0, 100, 10), true);
    EXPECT_EQ(At(*b, 0, 5), 0x000000);
    EXPECT_EQ(At(*b, 49, 5), 0x000000);
    EXPECT_EQ(At(*b, 50, 5), 0x808080);
    EXPECT_EQ(At(*b, 99, 9), 0x808080);

    // No steps: one band of the start colour. More steps than pixels: every pixel still painted.
    for (int steps : {0, 64}) {
        auto v = Paper(8, 12);
        DrawBandGradient(*v->Canvas(), 0x0000FF, 0xFF0000, steps, TRect(0, 0, 8, 12), false);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_NE(At(*v, x, y), kPaper) << steps << " steps at " << x << "," << y;
        if (steps == 0)
            EXPECT_EQ(At(*v, 4, 11), 0x0000FF);
        else
            EXPECT_NE(At(*v, 4, 11), 0x0000FF);
    }
}

TEST_F(ToolBarDrawTest, HotkeyTextUnderlinesTheMarkedLetterOnly) {
    struct {
        const char* Text;
        const char* Before; // visible text before the underlined letter; null: no underline
        const char* Letter;
    } const cases[] = {
        {"A&&B", nullptr, nullptr},
        {"A&BC", "A", "B"},
        {"&A&BC", "A", "B"},
        {"AB&", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        auto b = Paper(120, 40);
        TCanvas& canvas = *b->Canvas();
        canvas.Font()->SetColor(0x0000FF);
        canvas.Brush()->SetStyle(bsClear);
        const int h = canvas.TextHeight("Ag");
        const TPoint p(h + 10, 5);
        DrawHotkeyText(canvas, c.Text, p);
        const int column = p.X - h + 1;
        int first = -1, last = -1;
        for (int y = 0; y < 40; ++y)
            if (At(*b, column, y) == 0x0000FF) {
                if (first < 0)
                    first = y;
                last = y;
            }
        if (!c.Before) {
            EXPECT_EQ(first, -1);
            continue;
        }
        const int a = canvas.TextWidth(c.Before);
        const int w = canvas.TextWidth(c.Letter);
        EXPECT_EQ(first, p.Y + a);
        EXPECT_EQ(last, p.Y + a + w - 1);
    }
}

TEST_F(ToolBarDrawTest, GlyphsSitAThirdIntoTheirBox) {
    auto b = Paper(20, 20);
    DrawCrossGlyph(*b->Canvas(), TRect(0, 0, 20, 20), 0x000000, 8);
    // dx = dy = (20 - 8) / 3 = 4: the cross's corners are at (4, 4) and (12, 12).
    EXPECT_EQ(At(*b, 5, 5), 0x000000);
    EXPECT_EQ(At(*b, 11, 11), 0x000000);
    EXPECT_EQ(At(*b, 5, 11), 0x000000);
    EXPECT_EQ(At(*b, 8, 4), kPaper);
    EXPECT_EQ(At(*b, 3, 3), kPaper);

    auto m = Paper(20, 20);
    DrawMaximizeGlyph(*m->Canvas(), TRect(0, 0, 20, 20), 0x000000, true);
    EXPECT_EQ(At(*m, 8, 5), 0x000000) << "doubled title line";
    EXPECT_EQ(At(*m, 8, 6), 0x000000);
    EXPECT_EQ(At(*m, 4, 10), 0x000000) << "left side";
    EXPECT_EQ(At(*m, 8, 9), kPaper) << "hollow";
}

TEST_F(ToolBarDrawTest, VistaFaceKeepsSolidMarginsAndFramesOnlyWithABorder) {
    auto b = Paper(40, 20);
    TFont font;
    DrawVistaButtonFace(*b->Canvas(), TRect(0, 0, 40, 20), 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, clNone,
                        ggVertical, ggVertical, "", font, true, false, aaClearType, false);
    EXPECT_EQ(At(*b, 0, 0), 0x0000FF) << "upper margin column shows the flat colour";
    EXPECT_EQ(At(*b, 0, 19), 0xFF0000) << "lower margin column shows the flat mirror colour";
    EXPECT_NE(At(*b, 20, 2), kPaper);
    EXPECT_NE(At(*b, 20, 17), kPaper);

    auto framed = Paper(40, 20);
    DrawVistaButtonFace(*framed->Canvas(), TRect(0, 0, 40, 20), 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                        0x000000, ggRadial, ggRadial, "", font, true, false, aaClearType, false);
    EXPECT_LT(At(*framed, 20, 0) & 0xFF, 0x80) << "the frame runs along the top";
    EXPECT_EQ(At(*framed, 20, 10), 0xFFFFFF);
}

TEST_F(ToolBarDrawTest, EmptyCaptionsMeasureNothing) {
    auto b = Paper(10, 10);
    TFont font;
    TRect text(1, 2, 3, 4);
    DrawGdipCaption(*b->Canvas(), taLeftJustify, 0, TRect(0, 0, 10, 10), "", font, true, true, aaClearType,
                    false, false, text);
    EXPECT_EQ(text, TRect(0, 0, 0, 0));
    text = TRect(1, 2, 3, 4);
    DrawGdipWideCaption(*b->Canvas(), taLeftJustify, TRect(0, 0, 10, 10), "", "", font, true, true,
                        aaClearType, text);
    EXPECT_EQ(text, TRect(1, 2, 3, 4));

    // A caption that cannot fit shrinks to its ellipsis and draws within its box.
    auto wide = Paper(200, 20);
    DrawGdipCaption(*wide->Canvas(), taLeftJustify, 0, TRect(0, 0, 200, 20), "Options", font, true, true,
                    aaClearType, false, false, text);
    EXPECT_GT(text.Width(), 10);
    auto narrow = Paper(40, 20);
    DrawGdipCaption(*narrow->Canvas(), taLeftJustify, 0, TRect(0, 0, 4, 20), "Options", font, true, true,
                    aaClearType, true, false, text);
    for (int y = 0; y < 20; ++y)
        for (int x = 8; x < 40; ++x)
            ASSERT_EQ(At(*narrow, x, y), kPaper) << x << "," << y;
}

TEST_F(ToolBarDrawTest, ButtonFacesFillOnlyWhatTheLookSets) {
    toolbar::TButtonAppearance a;
    a.SetColor(clNone);
    a.SetColorHot(0x00FF00);
    a.SetColorHotTo(clNone);
    a.SetColorDown(0x000000);
    a.SetColorDownTo(0xFFFFFF);
    a.SetBorderDownColor(0x0000FF);
    a.SetGradientDirectionDown(toolbar::gdHorizontal);
    a.SetColorChecked(0x123456);
    a.SetBorderCheckedColor(clNone);
    struct {
        TButtonFaceLook Look;
        TColor Inside, Edge; // pixels at (3, 5) and (0, 5)
        TColor Right;        // pixel at (36, 5)
    } const cases[] = {
        {flNormal, kPaper, kPaper, kPaper},        // no fill, no border
        {flHot, 0x00FF00, 0x6A240A, 0x00FF00},     // flat, default hot border
        {flDown, 0x000000, 0x0000FF, 0x808080},    // two bands, left to right
        {flChecked, 0x123456, 0x123456, 0x123456}, // flat, no frame
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Look);
        auto b = Paper(40, 10);
        PaintButtonFace(*b->Canvas(), TRect(0, 0, 40, 10), ButtonFaceOf(a, c.Look), 2);
        EXPECT_EQ(At(*b, 3, 5), c.Inside);
        EXPECT_EQ(At(*b, 0, 5), c.Edge);
        EXPECT_EQ(At(*b, 36, 5), c.Right);
    }
}

TEST_F(ToolBarDrawTest, NavigationListDropsHintsAndUnfocusableWindows) {
    TComponent owner(nullptr);
    auto* hint1 = new THintWindow(&owner);
    auto* hint2 = new THintWindow(&owner);
    auto* hidden = new TWinControl(&owner);
    auto* plain = new TControl(&owner);
    TDbgList<TControl> list;
    list.Add(hint1);
    list.Add(hint2);
    list.Add(plain);
    list.Add(hidden);
    RemoveUnfocusableControls(&list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], plain);
    RemoveUnfocusableControls(nullptr);
}

// Each colour set's toolbar body, button faces (normal, hot, down, checked), glow button and right
// handle, one row per style, for people to look at.
TEST_F(ToolBarDrawTest, PresetButtonFacesPicture) {
    constexpr int kRow = 30;
    const TToolBarStyle styles[] = {
        bsOffice2003Blue,     bsOffice2003Silver, bsOffice2003Olive, bsOffice2003Classic, bsOffice2007Luna,
        bsOffice2007Obsidian, bsWindowsXP,        bsWhidbeyStyle,    bsOffice2007Silver,  bsOfficeXP};
    auto sheet = Paper(470, kRow * static_cast<int>(std::size(styles)));
    TCanvas& c = *sheet->Canvas();
    TKvxToolBarOfficeStyler s(nullptr);
    TColor previousBody = clNone;
    int row = 0;
    for (TToolBarStyle style : styles) {
        s.SetStyle(style);
        const int y = row++ * kRow;
        DrawBandGradient(c, s.DockColor()->Color(), s.DockColor()->ColorTo(), s.DockColor()->Steps(),
                         TRect(0, y, 470, y + kRow), true);
        const TRect body(4, y + 2, 450, y + kRow - 2);
        const TMirrorGradient& m = *s.Color()->Mirror();
        DrawVistaGradient(
            c, body, body.Height() / 2, m.Color(), m.ColorTo(), m.ColorMirror(), m.ColorMirrorTo(),
            s.BorderColor() == clNone ? s.Color()->ColorTo() : s.BorderColor(), s.RoundedFrame() ? 3 : 0);
        const toolbar::TButtonAppearance& a = *s.ButtonAppearance();
        const char* const captions[] = {"Normal", "Hot", "Down", "Checked"};
        int x = 10;
        for (TButtonFaceLook look : {flNormal, flHot, flDown, flChecked}) {
            const TRect r(x, y + 5, x + 60, y + kRow - 5);
            const TButtonFace face = ButtonFaceOf(a, look);
            PaintButtonFace(c, r, face);
            c.Brush()->SetStyle(bsClear);
            c.Font()->SetColor(face.Text);
            TRect t = r;
            c.TextRect(t, captions[look], DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            x += 66;
        }
        const TGlowButtonAppearance& g = *s.GlowButtonAppearance();
        TFont font;
        DrawVistaButtonFace(c, TRect(x, y + 5, x + 120, y + kRow - 5), g.Color(), g.ColorTo(),
                            g.ColorMirror(), g.ColorMirrorTo(), g.BorderColor(), g.Gradient(),
                            g.GradientMirror(), kToolBarStyleNames[style] + 2, font, true, false, aaClearType,
                            true);
        x += 126;
        DrawVistaButtonFace(c, TRect(x, y + 4, x + 14, y + kRow - 4), s.RightHandleColor(),
                            s.RightHandleColorTo(), s.RightHandleColor(), s.RightHandleColorTo(), clNone,
                            ggVertical, ggVertical, "", font, true, false, aaClearType, s.RoundedFrame());
        // Each style shows a body of its own colour (XP and Office XP share theirs).
        const TColor body2 = At(*sheet, 300, y + 8);
        EXPECT_NE(body2, kPaper) << kToolBarStyleNames[style];
        if (style != bsOfficeXP) {
            EXPECT_NE(body2, previousBody) << kToolBarStyleNames[style];
        }
        previousBody = body2;
    }
    TTestDriver::SavePng(sheet->Surface(), TestOutputDir("toolbars") + "/toolbar-styler-presets.png");
}

} // namespace
