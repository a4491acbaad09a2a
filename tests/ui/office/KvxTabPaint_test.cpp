#include "ui/office/KvxTabPaint.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/testing/TestDriver.h"

namespace {

using plat::TColor;
using plat::TRect;
using namespace ui::tabpaint;

// A white canvas to paint on.
struct TSheet {
    explicit TSheet(int W, int H) {
        Bmp.SetSize(W, H);
        Canvas().Brush()->SetColor(0xFFFFFF);
        Canvas().FillRect(TRect(0, 0, W, H));
    }
    plat::TCanvas& Canvas() { return *Bmp.Canvas(); }
    TColor At(int X, int Y) { return Canvas().Pixels(X, Y); }
    plat::TBitmap Bmp;
};

TEST(TabPaintColours, ConversionAndBlending) {
    EXPECT_EQ(MakeGdipColor(plat::clNone), 0xFFFFFFFFu) << "clNone is not special";
    EXPECT_EQ(MakeGdipColor(0x0000FF), 0xFFFF0000u) << "red moves to the ARGB red byte";
    EXPECT_EQ(MakeGdipColor(plat::clBtnFace), 0xFF000000u |
                                                  ((plat::ColorToRGB(plat::clBtnFace) & 0xFF) << 16) |
                                                  (plat::ColorToRGB(plat::clBtnFace) & 0xFF00) |
                                                  ((plat::ColorToRGB(plat::clBtnFace) >> 16) & 0xFF));
    struct Case {
        TColor A, B;
        int Percent;
        TColor Expected;
    };
    const Case cases[] = {
        {0x000000, 0xFFFFFF, 50, 0x808080}, // 127.5 rounds to the even 128
        {plat::clBtnFace, 0x123456, 100, plat::clBtnFace},
        {0x123456, plat::clBtnFace, -5, plat::clBtnFace},
        {0x0000FF, 0xFF0000, 20, 0xCC0033},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MixColors(c.A, c.B, c.Percent), c.Expected) << c.Percent;
}

TEST(TabPaintColours, SteppedGradientBands) {
    {
        TSheet s(40, 10);
        DrawSteppedGradient(s.Canvas(), 0x000000, 0xFFFFFF, 2, TRect(0, 0, 40, 10), true);
        EXPECT_EQ(s.At(5, 5), 0x000000);
        EXPECT_EQ(s.At(30, 5), 0x808080) << "the last band stops short of the end colour";
    }
    {
        TSheet s(40, 10);
        DrawSteppedGradient(s.Canvas(), 0x3366CC, 0xFFFFFF, 0, TRect(0, 0, 40, 10), false);
        EXPECT_EQ(s.At(20, 0), 0x3366CC) << "no steps paints one band";
        EXPECT_EQ(s.At(38, 8), 0x3366CC);
    }
    {
        TSheet s(40, 10);
        DrawSteppedGradient(s.Canvas(), 0x000000, 0x000000, -3, TRect(0, 0, 40, 10), false);
        EXPECT_EQ(s.At(20, 5), 0xFFFFFF) << "a negative count paints nothing";
    }
}

TEST(TabPaintCaptions, TruncationByRoomAndSide) {
    TSheet s(10, 10);
    s.Canvas().Font()->SetName("Arial");
    s.Canvas().Font()->SetSize(8);
    const std::string caption = "Measurement";
    const int full = s.Canvas().TextWidth(caption);
    const TRect wide(0, 0, full + 10, 20);
    EXPECT_EQ(TruncateCaption(caption, wide, false, nullptr, &s.Canvas(), nullptr, true, plat::tpTop),
              caption);
    const TRect narrow(0, 0, full / 2, 20);
    const std::string cut =
        TruncateCaption(caption, narrow, false, nullptr, &s.Canvas(), nullptr, true, plat::tpTop);
    ASSERT_GE(cut.size(), 3u);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_LT(s.Canvas().TextWidth(cut), full / 2);
    EXPECT_EQ(caption.rfind(cut.substr(0, cut.size() - 3), 0), 0u) << "a prefix";
    const std::string bare = TruncateCaption(caption, TRect(0, 0, 2, 20), false, nullptr, &s.Canvas(),
                                             nullptr, false, plat::tpTop);
    EXPECT_EQ(bare, "") << "no ellipsis and no room: nothing";
    // Side tabs write along the tab: the room is the height.
    const TRect tall(0, 0, 4, full + 10);
    EXPECT_EQ(TruncateCaption(caption, tall, false, nullptr, &s.Canvas(), nullptr, true, plat::tpLeft),
              caption);
    // Multi-byte characters are never split.
    const std::string umlauts = "ÄÖÜÄÖÜÄÖÜÄÖÜ";
    const std::string u = TruncateCaption(umlauts, TRect(0, 0, 30, 20), false, nullptr, &s.Canvas(), nullptr,
                                          false, plat::tpTop);
    EXPECT_EQ(u.size() % 2, 0u) << u;
}

TEST(TabPaintCaptions, MeasuringLeavesTheCanvasAndEmptyCaptionsTheRect) {
    TSheet s(120, 30);
    plat::TFont font;
    font.SetName("Arial");
    font.SetSize(9);
    font.SetColor(0x000000);
    TRect tr(-7, -7, -7, -7);
    DrawTabCaption(s.Canvas(), plat::taCenter, TRect(0, 0, 120, 30), "", &font, true, true, ui::aaClearType,
                   plat::tpTop, false, tr);
    EXPECT_EQ(tr, TRect(-7, -7, -7, -7));
    DrawTabCaption(s.Canvas(), plat::taCenter, TRect(0, 0, 120, 30), "Chart", &font, true, false,
                   ui::aaClearType, plat::tpRight, false, tr);
    EXPECT_GT(tr.Width(), tr.Height()) << "measured horizontally, also for a right tab";
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(s.At(x, y), 0xFFFFFF) << "measuring draws nothing";
    DrawTabCaption(s.Canvas(), plat::taCenter, TRect(0, 0, 120, 30), "Chart", &font, false, true,
                   ui::aaAntiAlias, plat::tpTop, false, tr);
    bool grey = false;
    for (int y = tr.Top; y < tr.Bottom; ++y)
        for (int x = tr.Left; x < tr.Right; ++x)
            grey = grey || s.At(x, y) == 0x808080;
    EXPECT_TRUE(grey) << "a disabled caption is grey";
}

// Without anti-aliasing the canvas's font and colour draw; the tab set centres the box in R, the pager
// puts it at R's top and draws 3 pixels further right, and takes the wide caption when the plain one is
// empty.
TEST(TabPaintCaptions, PlainOutputOfBothUnits) {
    TSheet s(200, 40);
    s.Canvas().Font()->SetName("Arial");
    s.Canvas().Font()->SetSize(9);
    s.Canvas().Font()->SetColor(0x0000FF);
    plat::TFont unused;
    unused.SetColor(0x00FF00);
    const TRect r(10, 0, 190, 40);
    TRect tabSet, pager;
    DrawTabCaption(s.Canvas(), plat::taLeftJustify, r, "Live", &unused, false, true, ui::aaNone, plat::tpTop,
                   false, tabSet);
    EXPECT_EQ(tabSet.Top, (40 - tabSet.Height()) / 2);
    bool red = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            red = red || s.At(x, y) == 0x0000FF;
    EXPECT_TRUE(red) << "the canvas's colour although disabled";
    DrawTabCaptionW(s.Canvas(), plat::taLeftJustify, r, "", "Live", &unused, true, false, ui::aaNone,
                    plat::tpTop, false, pager);
    EXPECT_EQ(pager.Top, 0);
    EXPECT_EQ(pager.Width(), tabSet.Width());
    EXPECT_EQ(CanvasTextWidthW(s.Canvas(), "Live"), s.Canvas().TextWidth("Live"));
    TRect untouched(1, 2, 3, 4);
    DrawTabCaptionW(s.Canvas(), plat::taLeftJustify, r, "", "", &unused, true, true, ui::aaNone, plat::tpTop,
                    false, untouched);
    EXPECT_EQ(untouched, TRect(1, 2, 3, 4));
}

TEST(TabPaintFaces, TwoPartFaceAndOptionalBorder) {
    TSheet s(60, 26);
    TFaceColors c;
    c.Color = c.ColorTo = 0x0000C0;
    c.ColorMirror = c.ColorMirrorTo = 0x00C000;
    c.BorderColor = plat::clNone;
    PaintTabFace(s.Canvas(), TRect(0, 0, 60, 26), c, "", nullptr, ipLeft, true, false, ui::aaClearType, true,
                 plat::tpTop);
    EXPECT_EQ(s.At(30, 5), 0x0000C0) << "upper half: the main part";
    EXPECT_EQ(s.At(30, 20), 0x00C000) << "lower half: the mirror";
    EXPECT_EQ(s.At(0, 0), 0x0000C0) << "no border";
    PaintTabFace(s.Canvas(), TRect(0, 0, 60, 26), c, "", nullptr, ipLeft, true, false, ui::aaClearType, true,
                 plat::tpLeft);
    EXPECT_EQ(s.At(10, 13), 0x0000C0) << "left tab: the outer half is the main part";
    EXPECT_EQ(s.At(50, 13), 0x00C000);
}

TEST(TabPaintFaces, RampOutlineClipsTheFace) {
    TSheet s(80, 26);
    TFaceColors c;
    c.Color = c.ColorTo = c.ColorMirror = c.ColorMirrorTo = 0x0000C0;
    c.BorderColor = plat::clNone;
    PaintTabShape(s.Canvas(), TRect(0, 0, 80, 26), c, tsLeftRamp, false, 1, true, plat::tpTop);
    // Rounding 1 on a 26-pixel tab: the ramp rises from (0, 26) to (11, 0).
    EXPECT_EQ(s.At(1, 2), 0xFFFFFF) << "outside the ramp";
    EXPECT_EQ(s.At(30, 2), 0x0000C0);
    EXPECT_EQ(s.At(2, 24), 0x0000C0) << "the foot of the ramp";
    EXPECT_EQ(s.At(79, 13), 0x0000C0) << "the right edge is square below its small corner";
}

// A side ramp spans a third of the tab's width when the tabs are turned, a third of its height when not.
TEST(TabPaintFaces, SideRampsMeasureAcrossOrAlong) {
    struct Case {
        bool Rotated;
        int Probe; // a row at the foot of the ramp: inside the face only for the shorter ramp
        bool Inside;
    };
    const Case cases[] = {{true, 75, true}, {false, 75, false}};
    for (const Case& c : cases) {
        TSheet s(30, 90);
        TFaceColors f;
        f.Color = f.ColorTo = f.ColorMirror = f.ColorMirrorTo = 0x0000C0;
        f.BorderColor = plat::clNone;
        PaintTabShape(s.Canvas(), TRect(0, 0, 30, 90), f, tsLeftRamp, false, 1, c.Rotated, plat::tpLeft);
        // The ramp of a left tab ends at the bottom: I = 1 + 30 / 3 = 11 turned, 1 + 90 / 3 = 31 not.
        EXPECT_EQ(s.At(2, c.Probe) == 0x0000C0, c.Inside) << c.Rotated;
        EXPECT_EQ(s.At(15, 30), 0x0000C0) << c.Rotated;
    }
}

} // namespace
