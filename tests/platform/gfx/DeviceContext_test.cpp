#include "platform/gfx/DeviceContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/gfx/GfxTestUtil.h"

using namespace plat;
using gfxtest::TScene;

TEST(DeviceContextPixels, RectangleCoversLeftUpToRightExclusive) {
    TScene s(16, 16, clSilver);
    s.Dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
    s.Dc.SelectBrush(CreateSolidBrush(clRed));
    s.Dc.Rectangle(2, 3, 8, 7);
    EXPECT_EQ(s.RowMask(3, 0, 10, clBlack), "..######..");
    EXPECT_EQ(s.RowMask(5, 0, 10, clRed), "...####...");
    EXPECT_EQ(s.At(7, 5), clBlack);
    EXPECT_EQ(s.At(8, 5), clSilver);
    EXPECT_EQ(s.RowMask(6, 0, 10, clBlack), "..######..");
    EXPECT_EQ(s.At(4, 7), clSilver);

    // Without a pen the fill is one pixel smaller on the right and bottom.
    s.Clear(clSilver);
    s.Dc.SelectPen(GetStockPen(NULL_PEN));
    s.Dc.Rectangle(2, 3, 8, 7);
    EXPECT_EQ(s.InkBox(clSilver), TRect(2, 3, 7, 6));
}

TEST(DeviceContextPixels, LineStopsBeforeItsEndPointAndPolylinesJoinWithoutGaps) {
    TScene s(16, 16);
    s.Dc.MoveToEx(1, 1);
    s.Dc.LineTo(6, 1);
    EXPECT_EQ(s.RowMask(1, 0, 8, clBlack), ".#####..");
    EXPECT_EQ(s.Dc.GetCurrentPosition(), TPoint(6, 1));

    s.Clear(clWhite);
    TPoint pts[] = {{2, 2}, {10, 2}, {10, 8}};
    s.Dc.Polyline(pts, 3);
    EXPECT_EQ(s.RowMask(2, 0, 12, clBlack), "..#########."); // the corner pixel once
    EXPECT_EQ(s.At(10, 7), clBlack);
    EXPECT_EQ(s.At(10, 8), clWhite);
    // Width 0 and 1 are the same one-pixel pen.
    s.Clear(clWhite);
    s.Dc.SelectPen(CreatePen(PS_SOLID, 0, clBlack));
    s.Dc.MoveToEx(0, 5);
    s.Dc.LineTo(10, 5);
    EXPECT_EQ(s.InkBox(clWhite), TRect(0, 5, 10, 6));
}

TEST(DeviceContextPixels, PenStylesDrawTheirPatterns) {
    struct Case {
        const char* name;
        HPEN pen;
        const char* pattern;
    };
    TLogBrush black{BS_SOLID, clBlack, 0};
    int dotsTwoApart[] = {0, 3};
    Case cases[] = {
        {"solid", CreatePen(PS_SOLID, 1, clBlack), "################################"},
        {"dash", CreatePen(PS_DASH, 1, clBlack), "##################......########"},
        {"dot", CreatePen(PS_DOT, 1, clBlack), "###...###...###...###...###...##"},
        {"dashdot", CreatePen(PS_DASHDOT, 1, clBlack), "#########......###......########"},
        {"dashdotdot", CreatePen(PS_DASHDOTDOT, 1, clBlack), "#########...###...###...########"},
        {"alternate", ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, black), "#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#."},
        {"small dots 2", ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 1, black, dotsTwoApart),
         "#..#..#..#..#..#..#..#..#..#..#."},
        {"null", CreatePen(PS_NULL, 1, clBlack), "................................"},
    };
    for (auto& c : cases) {
        TScene s(40, 4);
        s.Dc.SetBkMode(TRANSPARENT);
        s.Dc.SelectPen(c.pen);
        s.Dc.MoveToEx(0, 1);
        s.Dc.LineTo(32, 1);
        EXPECT_EQ(s.RowMask(1, 0, 32, clBlack), c.pattern) << c.name;
    }
    // An opaque background fills the gaps of a dashed line with the background colour.
    TScene s(40, 4, clWhite);
    s.Dc.SetBkMode(OPAQUE);
    s.Dc.SetBkColor(clRed);
    s.Dc.SelectPen(CreatePen(PS_DOT, 1, clBlack));
    s.Dc.MoveToEx(0, 1);
    s.Dc.LineTo(12, 1);
    EXPECT_EQ(s.RowMask(1, 0, 12, clRed), "...###...###");
}

TEST(DeviceContextPixels, XorAndNotXorDrawingTwiceRestoresEveryPixel) {
    TPoint star[] = {{5, 5}, {50, 40}, {5, 40}, {50, 5}, {28, 55}};
    auto draw = [&](TDeviceContext& dc) {
        dc.MoveToEx(0, 0);
        dc.LineTo(60, 33);
        dc.Rectangle(10, 10, 40, 30);
        dc.Polygon(star, 5);
        dc.Ellipse(3, 20, 58, 60);
        dc.Pie(0, 0, 40, 40, 40, 0, 0, 40);
        TPoint bez[] = {{0, 60}, {20, 0}, {40, 64}, {63, 10}};
        dc.PolyBezier(bez, 4);
        dc.RoundRect(15, 15, 55, 50, 12, 8);
    };
    struct Case {
        int rop;
        HPEN pen;
        HBRUSH brush;
    };
    Case cases[] = {
        {R2_XORPEN, CreatePen(PS_SOLID, 1, clRed), CreateSolidBrush(clBlue)},
        {R2_NOTXORPEN, CreatePen(PS_DOT, 1, clLime), CreateHatchBrush(HS_DIAGCROSS, clYellow)},
        {R2_XORPEN, CreatePen(PS_SOLID, 5, clAqua), CreateSolidBrush(clFuchsia)},
        {R2_NOT, CreatePen(PS_INSIDEFRAME, 3, clBlack), GetStockBrush(NULL_BRUSH)},
    };
    for (auto& c : cases) {
        TScene s(64, 64);
        s.Noise(7);
        auto before = s.Snapshot();
        s.Dc.SetROP2(c.rop);
        s.Dc.SelectPen(c.pen);
        s.Dc.SelectBrush(c.brush);
        draw(s.Dc);
        EXPECT_NE(s.Snapshot(), before) << "rop " << c.rop;
        draw(s.Dc);
        EXPECT_EQ(s.Snapshot(), before) << "rop " << c.rop;
    }
}

TEST(DeviceContextPixels, Rop2CombinesPenWithPixel) {
    struct Case {
        int rop;
        uint32_t expect; // for pen 0x0F0F0F over pixel 0x3C3C3C
    };
    const uint32_t p = 0x0F0F0F, d = 0x3C3C3C;
    Case cases[] = {{R2_BLACK, 0},
                    {R2_WHITE, 0xFFFFFF},
                    {R2_COPYPEN, p},
                    {R2_NOTCOPYPEN, ~p},
                    {R2_XORPEN, p ^ d},
                    {R2_NOTXORPEN, ~(p ^ d)},
                    {R2_MASKPEN, p & d},
                    {R2_MERGEPEN, p | d},
                    {R2_NOT, ~d},
                    {R2_NOP, d},
                    {R2_MASKPENNOT, p & ~d},
                    {R2_MERGENOTPEN, ~p | d},
                    {R2_NOTMASKPEN, ~(p & d)},
                    {R2_NOTMERGEPEN, ~(p | d)},
                    {R2_MASKNOTPEN, ~p & d},
                    {R2_MERGEPENNOT, p | ~d}};
    for (auto& c : cases) {
        TScene s(4, 4, PixelToColor(d));
        s.Dc.SetROP2(c.rop);
        s.Dc.SelectPen(CreatePen(PS_SOLID, 1, PixelToColor(p)));
        s.Dc.MoveToEx(0, 1);
        s.Dc.LineTo(2, 1);
        EXPECT_EQ(ColorToPixel(s.At(0, 1)), c.expect & 0xFFFFFF) << "rop " << c.rop;
    }
}

TEST(DeviceContextPixels, BrushesHatchOnTheBackgroundAndRespectTransparency) {
    TScene s(16, 16, clWhite);
    s.Dc.SelectPen(GetStockPen(NULL_PEN));
    s.Dc.SelectBrush(CreateHatchBrush(HS_VERTICAL, clBlue));
    s.Dc.SetBkColor(clYellow);
    s.Dc.SetBkMode(OPAQUE);
    s.Dc.Rectangle(0, 0, 17, 9);
    EXPECT_EQ(s.RowMask(3, 0, 16, clBlue), ".......#.......#");
    EXPECT_EQ(s.At(0, 3), clYellow);
    s.Clear(clWhite);
    s.Dc.SetBkMode(TRANSPARENT);
    s.Dc.Rectangle(0, 0, 17, 9);
    EXPECT_EQ(s.At(0, 3), clWhite);
    EXPECT_EQ(s.At(7, 3), clBlue);
}

TEST(DeviceContextClip, DrawingOutsideTheClipLeavesPixelsUntouched) {
    TScene s(32, 32, clWhite);
    TRegion clip = TRegion::FromRect(4, 4, 12, 12);
    TRegion hole = TRegion::FromRect(6, 6, 8, 8);
    clip.Combine(clip, hole, RGN_DIFF);
    EXPECT_EQ(s.Dc.SelectClipRgn(&clip), COMPLEXREGION);
    s.Dc.FillRect(TRect(0, 0, 32, 32), CreateSolidBrush(clRed));
    s.Dc.SelectPen(CreatePen(PS_SOLID, 1, clBlue));
    s.Dc.MoveToEx(0, 10);
    s.Dc.LineTo(32, 10);
    EXPECT_EQ(s.InkBox(clWhite), TRect(4, 4, 12, 12));
    EXPECT_EQ(s.At(6, 6), clWhite);
    EXPECT_EQ(s.At(7, 7), clWhite);
    EXPECT_EQ(s.At(5, 5), clRed);
    EXPECT_EQ(s.At(11, 10), clBlue);
    EXPECT_EQ(s.At(12, 10), clWhite);

    TRect box;
    EXPECT_EQ(s.Dc.GetClipBox(box), COMPLEXREGION);
    EXPECT_EQ(box, TRect(4, 4, 12, 12));
    TRegion got;
    EXPECT_EQ(s.Dc.GetClipRgn(got), 1);
    EXPECT_TRUE(EqualRgn(got, clip));

    // Saved state brings the clip back; removing it opens the whole surface again.
    int level = s.Dc.SaveDC();
    EXPECT_EQ(s.Dc.IntersectClipRect(0, 0, 5, 5), SIMPLEREGION);
    s.Dc.GetClipBox(box);
    EXPECT_EQ(box, TRect(4, 4, 5, 5));
    EXPECT_TRUE(s.Dc.RestoreDC(level));
    s.Dc.GetClipBox(box);
    EXPECT_EQ(box, TRect(4, 4, 12, 12));
    s.Dc.SelectClipRgn(nullptr);
    EXPECT_EQ(s.Dc.GetClipRgn(got), 0);
    EXPECT_EQ(s.Dc.GetClipBox(box), SIMPLEREGION);
    EXPECT_EQ(box, TRect(0, 0, 32, 32));
    s.Dc.ExcludeClipRect(0, 0, 32, 16);
    s.Dc.GetClipBox(box);
    EXPECT_EQ(box, TRect(0, 16, 32, 32));
    EXPECT_FALSE(s.Dc.RestoreDC(5));
}

// Every mode setter hands back the mode it replaces; a value outside its range leaves the mode as it was.
TEST(DeviceContextState, ModeSettersReturnThePreviousModeAndIgnoreUnknownOnes) {
    struct Case {
        const char* name;
        int (TDeviceContext::*set)(int);
        int (TDeviceContext::*get)() const;
        int initial, accepted;
        std::vector<int> refused;
    };
    const Case cases[] = {
        {"bk mode", &TDeviceContext::SetBkMode, &TDeviceContext::GetBkMode, OPAQUE, TRANSPARENT, {0, 3}},
        {"rop2", &TDeviceContext::SetROP2, &TDeviceContext::GetROP2, R2_COPYPEN, R2_XORPEN, {0, 17, -1}},
        {"poly fill",
         &TDeviceContext::SetPolyFillMode,
         &TDeviceContext::GetPolyFillMode,
         ALTERNATE,
         WINDING,
         {0, 3}},
        {"stretch",
         &TDeviceContext::SetStretchBltMode,
         &TDeviceContext::GetStretchBltMode,
         BLACKONWHITE,
         HALFTONE,
         {0, 5}},
        {"char extra",
         &TDeviceContext::SetTextCharacterExtra,
         &TDeviceContext::GetTextCharacterExtra,
         0,
         -3,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TScene s(4, 4);
        EXPECT_EQ((s.Dc.*c.get)(), c.initial);
        EXPECT_EQ((s.Dc.*c.set)(c.accepted), c.initial);
        EXPECT_EQ((s.Dc.*c.get)(), c.accepted);
        for (int bad : c.refused) {
            EXPECT_EQ((s.Dc.*c.set)(bad), c.accepted);
            EXPECT_EQ((s.Dc.*c.get)(), c.accepted);
        }
    }

    // The arc direction answers 0 to a value it does not know.
    TScene s(4, 4);
    EXPECT_EQ(s.Dc.SetArcDirection(AD_CLOCKWISE), AD_COUNTERCLOCKWISE);
    EXPECT_EQ(s.Dc.SetArcDirection(7), 0);
    EXPECT_EQ(s.Dc.GetArcDirection(), AD_CLOCKWISE);

    // Colours, alignment, origins and objects: the old value comes back, and no object leaves the
    // selected one in place.
    EXPECT_EQ(s.Dc.SetTextColor(clRed), clBlack);
    EXPECT_EQ(s.Dc.SetBkColor(clBlue), clWhite);
    EXPECT_EQ(s.Dc.SetTextAlign(TA_RIGHT), uint32_t(TA_LEFT | TA_TOP));
    EXPECT_EQ(s.Dc.SetBrushOrg(TPoint(3, 4)), TPoint());
    EXPECT_EQ(s.Dc.SetWindowOrgEx(5, 6), TPoint());
    EXPECT_EQ(s.Dc.SetViewportOrgEx(7, 8), TPoint());
    EXPECT_EQ(s.Dc.SetWindowOrgEx(0, 0), TPoint(5, 6));
    HPEN pen = CreatePen(PS_DASH, 1, clRed);
    HPEN first = s.Dc.SelectPen(pen);
    EXPECT_EQ(s.Dc.SelectPen(nullptr), pen);
    EXPECT_EQ(s.Dc.CurrentPen(), pen);
    EXPECT_EQ(s.Dc.SelectPen(first), pen);
    HBRUSH brush = CreateSolidBrush(clGreen);
    s.Dc.SelectBrush(brush);
    EXPECT_EQ(s.Dc.SelectBrush(nullptr), brush);
    EXPECT_EQ(s.Dc.CurrentBrush(), brush);
    HFONT font = s.Dc.CurrentFont();
    EXPECT_EQ(s.Dc.SelectFont(nullptr), font);
    EXPECT_EQ(s.Dc.CurrentFont(), font);
}

// Extents are reported in every mode but change only in MM_ANISOTROPIC, which refuses a zero extent.
TEST(DeviceContextMapping, ExtentsChangeOnlyWhenAnisotropic) {
    using TSetExtent = bool (TDeviceContext::*)(int, int, TSize*);
    using TGetExtent = TSize (TDeviceContext::*)() const;
    const std::pair<TSetExtent, TGetExtent> extents[] = {
        {&TDeviceContext::SetWindowExtEx, &TDeviceContext::GetWindowExt},
        {&TDeviceContext::SetViewportExtEx, &TDeviceContext::GetViewportExt},
    };
    for (auto [set, get] : extents) {
        TScene s(4, 4);
        TSize old(-1, -1);
        EXPECT_TRUE((s.Dc.*set)(30, 40, &old));
        EXPECT_EQ(old, TSize(1, 1));
        EXPECT_EQ((s.Dc.*get)(), TSize(1, 1));
        s.Dc.SetMapMode(MM_ANISOTROPIC);
        EXPECT_TRUE((s.Dc.*set)(30, 40, nullptr));
        EXPECT_EQ((s.Dc.*get)(), TSize(30, 40));
        for (TSize zero : {TSize(0, 5), TSize(5, 0)}) {
            old = TSize(-1, -1);
            EXPECT_FALSE((s.Dc.*set)(zero.cx, zero.cy, &old));
            EXPECT_EQ(old, TSize(30, 40));
            EXPECT_EQ((s.Dc.*get)(), TSize(30, 40));
        }
        // Back in MM_TEXT the extents are one to one again.
        s.Dc.SetMapMode(MM_TEXT);
        EXPECT_EQ((s.Dc.*get)(), TSize(1, 1));
    }
}

// A wide inside-frame pen keeps every box shape within its box, touching its edges; a centred one
// straddles the outline.
TEST(DeviceContextPixels, InsideFramePenKeepsBoxShapesInsideTheirBox) {
    struct Case {
        const char* name;
        std::function<void(TDeviceContext&, int, int, int, int)> draw;
    };
    const Case cases[] = {
        {"rectangle", [](TDeviceContext& dc, int l, int t, int r, int b) { dc.Rectangle(l, t, r, b); }},
        {"ellipse", [](TDeviceContext& dc, int l, int t, int r, int b) { dc.Ellipse(l, t, r, b); }},
        {"round rectangle",
         [](TDeviceContext& dc, int l, int t, int r, int b) { dc.RoundRect(l, t, r, b, 12, 10); }},
        // Equal start and end angles: the whole ellipse.
        {"chord", [](TDeviceContext& dc, int l, int t, int r,
                     int b) { dc.Chord(l, t, r, b, r, (t + b) / 2, r, (t + b) / 2); }},
    };
    const TRect box(12, 10, 50, 41);
    for (const Case& c : cases) {
        for (int width : {1, 5, 6}) {
            SCOPED_TRACE(std::string(c.name) + " width " + std::to_string(width));
            TScene inside(64, 64), centred(64, 64);
            inside.Dc.SelectPen(CreatePen(PS_INSIDEFRAME, width, clBlack));
            inside.Dc.SelectBrush(GetStockBrush(NULL_BRUSH));
            c.draw(inside.Dc, box.Left, box.Top, box.Right, box.Bottom);
            EXPECT_EQ(inside.InkBox(clWhite), box);
            centred.Dc.SelectPen(CreatePen(PS_SOLID, width, clBlack));
            centred.Dc.SelectBrush(GetStockBrush(NULL_BRUSH));
            c.draw(centred.Dc, box.Left, box.Top, box.Right, box.Bottom);
            if (width > 1) {
                TRect out;
                UnionRect(out, centred.InkBox(clWhite), box);
                EXPECT_NE(out, box);
            } else {
                EXPECT_EQ(centred.InkBox(clWhite), box);
            }
        }
    }
}

// Curved shapes over a box billions of pixels wide (as a metafile may ask for) still fill what they
// cover; the step count of their outline once overflowed an int.
TEST(DeviceContextPixels, CurvedShapesOverAHugeBoxFillTheSurface) {
    struct Case {
        const char* name;
        std::function<void(TDeviceContext&, int, int, int, int)> draw;
    };
    const Case cases[] = {
        {"ellipse", [](TDeviceContext& dc, int l, int t, int r, int b) { dc.Ellipse(l, t, r, b); }},
        {"round rectangle",
         [](TDeviceContext& dc, int l, int t, int r, int b) { dc.RoundRect(l, t, r, b, r, b); }},
        {"chord", [](TDeviceContext& dc, int l, int t, int r,
                     int b) { dc.Chord(l, t, r, b, r, (t + b) / 2, r, (t + b) / 2); }},
        {"pie", [](TDeviceContext& dc, int l, int t, int r,
                   int b) { dc.Pie(l, t, r, b, r, (t + b) / 2, r, (t + b) / 2); }},
    };
    const int huge = 2000000000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TScene s(64, 64);
        s.Dc.SelectPen(GetStockPen(NULL_PEN));
        s.Dc.SelectBrush(CreateSolidBrush(clRed));
        c.draw(s.Dc, -huge, -huge, huge, huge);
        EXPECT_EQ(s.At(32, 32), clRed);
        EXPECT_EQ(s.At(0, 63), clRed);
    }
}

TEST(DeviceContextMapping, OriginsAndAnisotropicExtentsMapToDevicePixels) {
    TScene s(64, 64, clWhite);
    s.Dc.SetViewportOrgEx(10, 20);
    s.Dc.FillRect(TRect(0, 0, 4, 4), CreateSolidBrush(clRed));
    EXPECT_EQ(s.InkBox(clWhite), TRect(10, 20, 14, 24));
    s.Clear(clWhite);
    s.Dc.SetViewportOrgEx(0, 0);
    s.Dc.SetMapMode(MM_ANISOTROPIC);
    s.Dc.SetWindowExtEx(100, 100);
    s.Dc.SetViewportExtEx(50, 25);
    s.Dc.FillRect(TRect(20, 40, 60, 80), CreateSolidBrush(clRed));
    EXPECT_EQ(s.InkBox(clWhite), TRect(10, 10, 30, 20));
    TPoint p(60, 80);
    s.Dc.LPtoDP(&p, 1);
    EXPECT_EQ(p, TPoint(30, 20));
    s.Dc.DPtoLP(&p, 1);
    EXPECT_EQ(p, TPoint(60, 80));
    EXPECT_FALSE(s.Dc.SetWindowExtEx(0, 5));
}

TEST(DeviceContextMapping, ShiftedOriginsMoveLinesByWholePixelsWithTheDashPhaseIntact) {
    const TPoint path[] = {{0, 0}, {30, 0}, {30, 20}, {5, 35}, {5, 10}};
    TScene shifted(64, 64), plain(64, 64);
    shifted.Noise();
    plain.Noise();
    shifted.Dc.SetWindowOrgEx(-3, 5);
    shifted.Dc.SetViewportOrgEx(7, 2);
    shifted.Dc.SelectPen(CreatePen(PS_DOT, 1, clBlack));
    shifted.Dc.SetROP2(R2_XORPEN);
    shifted.Dc.Polyline(path, 5);
    shifted.Dc.MoveToEx(0, 3);
    shifted.Dc.LineTo(30, 3);
    TPoint moved[5];
    for (int i = 0; i < 5; ++i)
        moved[i] = TPoint(path[i].X + 10, path[i].Y - 3);
    plain.Dc.SelectPen(CreatePen(PS_DOT, 1, clBlack));
    plain.Dc.SetROP2(R2_XORPEN);
    plain.Dc.Polyline(moved, 5);
    plain.Dc.MoveToEx(10, 0);
    plain.Dc.LineTo(40, 0);
    EXPECT_EQ(shifted.Snapshot(), plain.Snapshot());

    // Far points saturate as under any other mapping instead of wrapping round.
    TPoint far(INT32_MAX - 2, -5);
    shifted.Dc.LPtoDP(&far, 1);
    EXPECT_EQ(far, TPoint(1000000000, -8));
}

TEST(DeviceContextBlt, TernaryRasterOperationsCombineSourcePatternAndDestination) {
    const uint32_t sv = 0x00F0CC, dv = 0x55AA33, pv = 0x0FF00F;
    struct Case {
        uint32_t rop;
        uint32_t expect;
    };
    Case cases[] = {
        {SRCCOPY, sv},          {SRCPAINT, sv | dv}, {SRCAND, sv & dv},         {SRCINVERT, sv ^ dv},
        {SRCERASE, sv & ~dv},   {NOTSRCCOPY, ~sv},   {NOTSRCERASE, ~(sv | dv)}, {MERGECOPY, sv & pv},
        {MERGEPAINT, ~sv | dv}, {PATCOPY, pv},       {PATPAINT, pv | ~sv | dv}, {PATINVERT, pv ^ dv},
        {DSTINVERT, ~dv},       {BLACKNESS, 0},      {WHITENESS, 0xFFFFFF},
    };
    TScene src(4, 4, PixelToColor(sv));
    for (auto& c : cases) {
        TScene dst(4, 4, PixelToColor(dv));
        dst.Dc.SelectBrush(CreateSolidBrush(PixelToColor(pv)));
        EXPECT_TRUE(dst.Dc.BitBlt(1, 1, 2, 2, &src.Dc, 0, 0, c.rop));
        EXPECT_EQ(ColorToPixel(dst.At(1, 1)), c.expect & 0xFFFFFF) << std::hex << c.rop;
        EXPECT_EQ(ColorToPixel(dst.At(2, 2)), c.expect & 0xFFFFFF) << std::hex << c.rop;
        EXPECT_EQ(ColorToPixel(dst.At(0, 0)), dv) << std::hex << c.rop;
        EXPECT_EQ(ColorToPixel(dst.At(3, 3)), dv) << std::hex << c.rop;
    }
}

TEST(DeviceContextBlt, OverlappingCopyWithinOneSurfaceKeepsTheSource) {
    TScene s(8, 1);
    for (int x = 0; x < 8; ++x)
        s.Surface.Row(0)[x] = x;
    s.Dc.BitBlt(2, 0, 6, 1, &s.Dc, 0, 0, SRCCOPY);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(s.Surface.Row(0)[x] & 0xFFFFFF, uint32_t(x < 2 ? x : x - 2));
}

TEST(DeviceContextBlt, KeyedCopySkipsTheKeyWhateverItsAlphaAndKeepsTheDestinationAlpha) {
    // A noisy image with every other pixel of its middle row set to the key, once with alpha bytes.
    TScene src(6, 3);
    src.Noise(7);
    const uint32_t key = ColorToPixel(clFuchsia);
    for (int x = 0; x < 6; x += 2)
        src.Surface.Row(1)[x] = x == 2 ? (key | 0xFF000000) : key;
    src.Surface.Row(0)[5] |= 0x7F000000;

    TScene dst(10, 5);
    dst.Noise(3);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x)
            dst.Surface.Row(y)[x] |= uint32_t(x * 16 + y) << 24;
    std::vector<uint32_t> before;
    for (int y = 0; y < 5; ++y)
        before.insert(before.end(), dst.Surface.Row(y), dst.Surface.Row(y) + 10);
    dst.Dc.ExcludeClipRect(4, 0, 5, 5); // a clipped column through the middle of the image
    dst.Dc.TransparentBlt(2, 1, 6, 3, &src.Dc, 0, 0, 6, 3, clFuchsia);

    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x) {
            const uint32_t old = before[size_t(y) * 10 + x];
            uint32_t want = old;
            const bool inside = x >= 2 && x < 8 && y >= 1 && y < 4 && x != 4;
            if (inside) {
                const uint32_t s = src.Surface.Row(y - 1)[x - 2] & 0x00FFFFFF;
                if (s != key)
                    want = s | (old & 0xFF000000);
            }
            EXPECT_EQ(dst.Surface.Row(y)[x], want) << x << "," << y;
        }
}

TEST(DeviceContextBlt, StretchTransparentAndAlpha) {
    TScene src(2, 2);
    src.Surface.Row(0)[0] = ColorToPixel(clRed);
    src.Surface.Row(0)[1] = ColorToPixel(clLime);
    src.Surface.Row(1)[0] = ColorToPixel(clBlue);
    src.Surface.Row(1)[1] = ColorToPixel(clWhite);

    TScene dst(8, 8, clBlack);
    dst.Dc.StretchBlt(0, 0, 8, 8, &src.Dc, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(dst.At(3, 3), clRed);
    EXPECT_EQ(dst.At(4, 3), clLime);
    EXPECT_EQ(dst.At(3, 4), clBlue);
    EXPECT_EQ(dst.At(7, 7), clWhite);
    // Negative width mirrors.
    dst.Dc.StretchBlt(7, 0, -8, 8, &src.Dc, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), clLime);
    // Halftone shrinking averages.
    TScene one(1, 1, clBlack);
    one.Dc.SetStretchBltMode(HALFTONE);
    one.Dc.StretchBlt(0, 0, 1, 1, &src.Dc, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(one.At(0, 0), RGB(128, 128, 128));

    dst.Clear(clBlack);
    dst.Dc.TransparentBlt(0, 0, 2, 2, &src.Dc, 0, 0, 2, 2, clWhite);
    EXPECT_EQ(dst.At(0, 0), clRed);
    EXPECT_EQ(dst.At(1, 1), clBlack);

    // Constant alpha: 128/255 of the source over the destination.
    TScene a(1, 1, RGB(200, 100, 0));
    TScene b(1, 1, RGB(0, 100, 255));
    EXPECT_TRUE(a.Dc.AlphaBlend(0, 0, 1, 1, &b.Dc, 0, 0, 1, 1, TBlendFunction{AC_SRC_OVER, 0, 128, 0}));
    EXPECT_EQ(a.At(0, 0), RGB(100, 100, 128));
    // Per-pixel (premultiplied) alpha: a half-covered red pixel over white.
    TScene w(1, 1, clWhite);
    b.Surface.Row(0)[0] = 0x80800000; // alpha 128, red 128 premultiplied
    EXPECT_TRUE(
        w.Dc.AlphaBlend(0, 0, 1, 1, &b.Dc, 0, 0, 1, 1, TBlendFunction{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}));
    EXPECT_EQ(w.At(0, 0), RGB(255, 127, 127));
    // A source rectangle outside the source is refused.
    EXPECT_FALSE(w.Dc.AlphaBlend(0, 0, 1, 1, &b.Dc, 0, 0, 2, 2, TBlendFunction{}));
}

TEST(DeviceContextFill, GradientEndsCarryTheEndColours) {
    TScene s(20, 10, clBlack);
    TTriVertex v[2];
    v[0] = {2, 1, 0xFF00, 0, 0, 0};
    v[1] = {18, 9, 0, 0, 0xFF00, 0};
    TGradientRect r{0, 1};
    EXPECT_TRUE(s.Dc.GradientFill(v, 2, &r, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(s.At(2, 5), clRed);
    EXPECT_EQ(s.At(17, 5), clBlue);
    EXPECT_EQ(s.At(18, 5), clBlack);
    EXPECT_EQ(s.At(1, 5), clBlack);
    EXPECT_EQ(s.InkBox(clBlack), TRect(2, 1, 18, 9));
    EXPECT_TRUE(s.Dc.GradientFill(v, 2, &r, 1, GRADIENT_FILL_RECT_V));
    EXPECT_EQ(s.At(10, 1), clRed);
    EXPECT_EQ(s.At(10, 8), clBlue);
    TGradientRect bad{0, 5};
    EXPECT_FALSE(s.Dc.GradientFill(v, 2, &bad, 1, GRADIENT_FILL_RECT_H));
}

TEST(DeviceContextFill, PixelsFocusAndInvert) {
    TScene s(8, 8, clWhite);
    EXPECT_EQ(s.Dc.SetPixel(3, 4, clGreen), clGreen);
    EXPECT_EQ(s.Dc.GetPixel(3, 4), clGreen);
    EXPECT_EQ(s.Dc.GetPixel(8, 0), CLR_INVALID);
    auto before = s.Snapshot();
    s.Dc.InvertRect(TRect(1, 1, 5, 5));
    EXPECT_EQ(s.At(1, 1), clBlack);
    s.Dc.InvertRect(TRect(1, 1, 5, 5));
    EXPECT_EQ(s.Snapshot(), before);
}

// Rectangles painted row by row must match the general shape painter given the same four corners,
// alpha bytes included, whatever the pen, brush, raster operation, clip and mapping.
TEST(DeviceContextPixels, RectangleMatchesThePolygonOfItsCorners) {
    struct Case {
        const char* name;
        std::function<void(TDeviceContext&)> setup;
        TRect box;
    };
    TRegion holed = TRegion::FromRect(3, 3, 20, 14);
    holed.Combine(holed, TRegion::FromRect(8, 6, 11, 9), RGN_DIFF);
    auto pen = [](int style, int width) {
        return [=](TDeviceContext& dc) { dc.SelectPen(CreatePen(style, width, clBlue)); };
    };
    const Case cases[] = {
        {"solid pen and brush", pen(PS_SOLID, 1), TRect(2, 3, 17, 12)},
        {"null pen", [](TDeviceContext& dc) { dc.SelectPen(GetStockPen(NULL_PEN)); }, TRect(2, 3, 17, 12)},
        {"null brush", [](TDeviceContext& dc) { dc.SelectBrush(GetStockBrush(NULL_BRUSH)); },
         TRect(2, 3, 17, 12)},
        {"inside frame", pen(PS_INSIDEFRAME, 1), TRect(2, 3, 17, 12)},
        {"dashed pen", pen(PS_DOT, 1), TRect(2, 3, 17, 12)},
        {"wide pen", pen(PS_SOLID, 3), TRect(2, 3, 17, 12)},
        {"hatched brush", [](TDeviceContext& dc) { dc.SelectBrush(CreateHatchBrush(HS_CROSS, clRed)); },
         TRect(2, 3, 17, 12)},
        {"xor", [](TDeviceContext& dc) { dc.SetROP2(R2_XORPEN); }, TRect(2, 3, 17, 12)},
        {"one pixel wide", {}, TRect(5, 2, 6, 12)},
        {"one pixel high", {}, TRect(2, 5, 17, 6)},
        {"two by two", {}, TRect(4, 4, 6, 6)},
        {"empty", {}, TRect(4, 4, 4, 9)},
        {"flipped", {}, TRect(17, 12, 2, 3)},
        {"past the edges", {}, TRect(-5, -4, 40, 30)},
        {"holed clip", [&](TDeviceContext& dc) { dc.SelectClipRgn(&holed); }, TRect(1, 1, 22, 16)},
        {"scaled",
         [](TDeviceContext& dc) {
             dc.SetMapMode(MM_ANISOTROPIC);
             dc.SetWindowExtEx(10, 10);
             dc.SetViewportExtEx(15, 7);
             dc.SetViewportOrgEx(2, 1);
         },
         TRect(1, 2, 12, 15)},
    };
    for (const Case& c : cases) {
        TScene rect(24, 18), poly(24, 18);
        for (TScene* s : {&rect, &poly}) {
            unsigned seed = 7;
            for (int y = 0; y < 18; ++y)
                for (int x = 0; x < 24; ++x)
                    s->Surface.Row(y)[x] = (seed = seed * 1103515245u + 12345u);
            s->Dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
            s->Dc.SelectBrush(CreateSolidBrush(clYellow));
            if (c.setup)
                c.setup(s->Dc);
        }
        rect.Dc.Rectangle(c.box.Left, c.box.Top, c.box.Right, c.box.Bottom);
        // The same corners in device pixels, the right and bottom ones a pixel in.
        TRect d = rect.Dc.LPtoDP(c.box);
        if (d.Right < d.Left)
            std::swap(d.Left, d.Right);
        if (d.Bottom < d.Top)
            std::swap(d.Top, d.Bottom);
        if (!d.IsEmpty()) {
            poly.Dc.SetMapMode(MM_TEXT);
            poly.Dc.SetViewportOrgEx(0, 0);
            const TPoint corners[] = {
                {d.Left, d.Top}, {d.Right - 1, d.Top}, {d.Right - 1, d.Bottom - 1}, {d.Left, d.Bottom - 1}};
            poly.Dc.Polygon(corners, 4);
        }
        bool same = true;
        for (int y = 0; y < 18 && same; ++y)
            same = std::equal(rect.Surface.Row(y), rect.Surface.Row(y) + 24, poly.Surface.Row(y));
        EXPECT_TRUE(same) << c.name;
    }
}
