// Drawing on a surface without pixel memory, as on a printer page: the context goes through Cairo, and
// what it draws is read back from a Cairo image that stands in for the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>
#include <string>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/GfxTestUtil.h"

using namespace plat;
using gfxtest::TScene;

namespace {

// A page at a given resolution whose pixels only Cairo writes.
struct TPaper : TDrawSurface {
    TPaper(int w, int h, int ppi = 96)
        : Image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h)), W(w), H(h), Ppi(ppi), Dc(this) {
        Dc.FillSolidRect(TRect(0, 0, w, h), clWhite);
    }
    ~TPaper() override { cairo_surface_destroy(Image); }
    cairo_surface_t* CairoSurface() override { return Image; }
    int Width() const override { return W; }
    int Height() const override { return H; }
    int PixelsPerInch() const override { return Ppi; }
    TColor At(int x, int y) {
        cairo_surface_flush(Image);
        auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(Image) +
                                                y * cairo_image_surface_get_stride(Image));
        return PixelToColor(row[x] & 0x00FFFFFF);
    }
    bool Ink(int x, int y) { return Brightness(At(x, y)) < 300; }
    // Pixels of row y from x0 to x1 (exclusive): '#' for ink, '.' for paper, '?' in between.
    std::string Row(int y, int x0, int x1) {
        std::string s;
        for (int x = x0; x < x1; ++x) {
            int b = Brightness(At(x, y));
            s += b < 300 ? '#' : b > 720 ? '.' : '?';
        }
        return s;
    }
    static int Brightness(TColor c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

    cairo_surface_t* Image;
    int W, H, Ppi;
    TDeviceContext Dc;
};

} // namespace

// One-pixel styles keep the length their dashes have on the screen (18 on, 6 off for a dash, 3 and 3
// for dots), so at twice the screen's resolution they are twice as long in page pixels; in opaque
// mode the gaps take the background colour.
TEST(DeviceContextVector, DashedAndDottedPensKeepTheirScreenLength) {
    struct Case {
        uint32_t style;
        int ppi;
        int on, off;
    };
    for (Case c : {Case{PS_DASH, 96, 18, 6}, Case{PS_DASH, 192, 36, 12}, Case{PS_DOT, 192, 6, 6},
                   Case{PS_DASHDOT, 96, 9, 6}}) {
        SCOPED_TRACE("style " + std::to_string(c.style) + " at " + std::to_string(c.ppi));
        TPaper page(200, 20, c.ppi);
        page.Dc.SetBkMode(TRANSPARENT);
        page.Dc.SelectPen(CreatePen(c.style, 1, clBlack));
        page.Dc.MoveToEx(0, 10);
        page.Dc.LineTo(200, 10);
        // The pattern starts half a pixel in, at the first pixel's centre.
        EXPECT_TRUE(page.Ink(1, 10));
        EXPECT_TRUE(page.Ink(c.on - 1, 10));
        EXPECT_FALSE(page.Ink(c.on + 1, 10));
        EXPECT_FALSE(page.Ink(c.on + c.off - 1, 10));
        EXPECT_TRUE(page.Ink(c.on + c.off + 1, 10));
        EXPECT_FALSE(page.Ink(1, 8)) << "one page pixel wide";
    }
    TPaper page(100, 20);
    page.Dc.SetBkColor(clRed);
    page.Dc.SelectPen(CreatePen(PS_DASH, 1, clBlack));
    page.Dc.MoveToEx(0, 10);
    page.Dc.LineTo(100, 10);
    EXPECT_EQ(page.At(20, 10), clRed);
    EXPECT_EQ(page.At(10, 10), clBlack);
}

// Paths and shapes are stroked with the pen's end caps and joins, not only its width.
TEST(DeviceContextVector, WidePensStrokeWithTheirCapsAndJoins) {
    struct Case {
        uint32_t endStyle;
        bool capAt17, outerCorner;
    };
    // Width 12 around the centre line y = 40.5 from x = 20.5; the corner at (80.5, 40.5).
    for (Case c : {Case{PS_ENDCAP_FLAT | PS_JOIN_MITER, false, true},
                   Case{PS_ENDCAP_ROUND | PS_JOIN_BEVEL, true, false},
                   Case{PS_ENDCAP_SQUARE | PS_JOIN_ROUND, true, false}}) {
        SCOPED_TRACE("end style " + std::to_string(c.endStyle));
        TPaper page(120, 120);
        page.Dc.SelectPen(
            ExtCreatePen(PS_GEOMETRIC | PS_SOLID | c.endStyle, 12, TLogBrush{BS_SOLID, clBlack}));
        ASSERT_TRUE(page.Dc.BeginPath());
        page.Dc.MoveToEx(20, 40);
        page.Dc.LineTo(80, 40);
        page.Dc.LineTo(80, 100);
        ASSERT_TRUE(page.Dc.EndPath());
        ASSERT_TRUE(page.Dc.StrokePath());
        EXPECT_TRUE(page.Ink(22, 40));
        EXPECT_TRUE(page.Ink(50, 35)) << "twelve pixels wide";
        EXPECT_FALSE(page.Ink(50, 32));
        EXPECT_EQ(page.Ink(17, 40), c.capAt17);
        EXPECT_EQ(page.Ink(85, 35), c.outerCorner);
    }
}

// Hatches repeat the screen's 8 by 8 cell, scaled to the page, over the background colour when opaque.
TEST(DeviceContextVector, HatchedBrushesRepeatTheirScreenCell) {
    TPaper page(64, 64, 192);
    page.Dc.SetBkColor(clYellow);
    page.Dc.FillRect(TRect(0, 0, 64, 32), CreateHatchBrush(HS_CROSS, clBlue));
    page.Dc.SetBkMode(TRANSPARENT);
    page.Dc.FillRect(TRect(0, 32, 64, 64), CreateHatchBrush(HS_HORIZONTAL, clBlue));
    // The cell is 16 page pixels; its last screen row and column are page rows and columns 14 and 15.
    EXPECT_EQ(page.At(3, 14), clBlue);
    EXPECT_EQ(page.At(3, 15), clBlue);
    EXPECT_EQ(page.At(30, 3), clBlue);
    EXPECT_EQ(page.At(3, 3), clYellow);
    EXPECT_EQ(page.At(3, 13), clYellow);
    EXPECT_EQ(page.At(3, 32 + 14), clBlue);
    EXPECT_EQ(page.At(3, 32 + 8), clWhite) << "transparent gaps leave the page";
    EXPECT_EQ(page.At(30, 32 + 3), clWhite) << "no vertical lines";

    TPaper diagonal(32, 32);
    diagonal.Dc.SetBkMode(TRANSPARENT);
    diagonal.Dc.FillRect(TRect(0, 0, 32, 32), CreateHatchBrush(HS_FDIAGONAL, clBlack));
    // One line through the pixels (x, x) of each cell, the neighbours no more than touched.
    std::string row = diagonal.Row(5, 0, 16);
    EXPECT_EQ(row[5], '#');
    EXPECT_EQ(row[13], '#');
    EXPECT_EQ(std::count(row.begin(), row.end(), '#'), 2) << row;
    EXPECT_EQ(row.substr(0, 4) + row.substr(8, 4), "........") << row;
}

// Pictures arrive scaled and mirrored as asked; raster operations show what they leave on paper: a
// mask's white keeps what is below, the colour merged onto a mask's black shows.
TEST(DeviceContextVector, BitmapsArePaintedAsPictures) {
    TScene src(2, 2);
    src.Surface.Row(0)[0] = ColorToPixel(clRed);
    src.Surface.Row(0)[1] = ColorToPixel(clLime);
    src.Surface.Row(1)[0] = ColorToPixel(clBlue);
    src.Surface.Row(1)[1] = ColorToPixel(clWhite);

    TPaper page(60, 40);
    EXPECT_TRUE(page.Dc.StretchBlt(0, 0, 20, 20, &src.Dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(page.At(9, 9), clRed);
    EXPECT_EQ(page.At(10, 9), clLime);
    EXPECT_EQ(page.At(9, 10), clBlue);
    EXPECT_EQ(page.At(19, 19), clWhite);
    EXPECT_EQ(page.At(20, 0), clWhite);
    EXPECT_TRUE(page.Dc.StretchBlt(39, 0, -20, 20, &src.Dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(page.At(20, 0), clLime) << "mirrored";
    EXPECT_TRUE(page.Dc.BitBlt(40, 0, 2, 2, &src.Dc, 0, 0, SRCCOPY));
    EXPECT_EQ(page.At(41, 1), clWhite);
    EXPECT_EQ(page.At(40, 1), clBlue);

    // Over a green square: the transparent colour, a mask and a merge.
    page.Dc.FillSolidRect(TRect(0, 20, 60, 40), clGreen);
    EXPECT_TRUE(page.Dc.TransparentBlt(0, 20, 20, 20, &src.Dc, 0, 0, 2, 2, clWhite));
    EXPECT_EQ(page.At(19, 39), clGreen);
    EXPECT_EQ(page.At(0, 20), clRed);
    TScene mask(2, 1);
    mask.Surface.Row(0)[0] = 0;
    EXPECT_TRUE(page.Dc.StretchBlt(20, 20, 20, 20, &mask.Dc, 0, 0, 2, 1, SRCAND));
    EXPECT_EQ(page.At(25, 30), clBlack);
    EXPECT_EQ(page.At(35, 30), clGreen);
    EXPECT_TRUE(page.Dc.StretchBlt(20, 20, 20, 20, &src.Dc, 0, 0, 2, 1, SRCPAINT));
    EXPECT_EQ(page.At(25, 30), clRed);
    // Half the picture's colour over what is below.
    TScene grey(1, 1, RGB(0, 0, 0));
    EXPECT_TRUE(
        page.Dc.AlphaBlend(40, 20, 20, 20, &grey.Dc, 0, 0, 1, 1, TBlendFunction{AC_SRC_OVER, 0, 128, 0}));
    EXPECT_NEAR(GetGValue(page.At(50, 30)), 64, 2);
}

// Without pixels to combine with, a raster operation draws what it would leave on white paper.
TEST(DeviceContextVector, RasterOperationsShowAsOnWhitePaper) {
    struct Case {
        int rop2;
        TColor expect;
    };
    for (Case c : {Case{R2_COPYPEN, clRed}, Case{R2_XORPEN, clAqua}, Case{R2_NOTXORPEN, clRed},
                   Case{R2_MASKPEN, clRed}, Case{R2_MERGEPEN, clRed}, Case{R2_NOT, clBlack},
                   Case{R2_NOP, clWhite}, Case{R2_WHITE, clWhite}}) {
        SCOPED_TRACE("rop " + std::to_string(c.rop2));
        TPaper page(20, 20);
        page.Dc.SelectPen(GetStockPen(NULL_PEN));
        page.Dc.SelectBrush(CreateSolidBrush(clRed));
        page.Dc.SetROP2(c.rop2);
        page.Dc.Rectangle(2, 2, 18, 18);
        EXPECT_EQ(page.At(10, 10), c.expect);
    }
    // The focus rectangle inverts every other pixel: dotted, not a solid frame.
    TPaper page(20, 20);
    DrawFocusRect(page.Dc, TRect(2, 2, 18, 18));
    EXPECT_EQ(page.Row(2, 2, 18), "#.#.#.#.#.#.#.#.");
    EXPECT_EQ(page.Row(3, 2, 5), "...");
    EXPECT_EQ(page.Row(4, 2, 5), "#..");
    EXPECT_EQ(page.Row(3, 15, 18), "..#");
    EXPECT_EQ(page.Row(10, 5, 15), "..........");
}

// Regions and frames reach the page too, with the brush's hatch.
TEST(DeviceContextVector, RegionsAndFramesAreFilled) {
    TPaper page(40, 40);
    TRegion both(TRect(2, 2, 10, 10));
    both.Combine(both, TRegion(TRect(20, 20, 30, 30)), RGN_OR);
    EXPECT_TRUE(page.Dc.FillRgn(both, CreateSolidBrush(clBlue)));
    EXPECT_EQ(page.At(5, 5), clBlue);
    EXPECT_EQ(page.At(25, 25), clBlue);
    EXPECT_EQ(page.At(15, 15), clWhite);
    EXPECT_TRUE(page.Dc.FrameRect(TRect(12, 2, 18, 8), CreateSolidBrush(clRed)));
    EXPECT_EQ(page.Row(2, 11, 19), ".######.");
    EXPECT_EQ(page.Row(4, 11, 19), ".#....#.");
    EXPECT_EQ(page.Row(8, 11, 19), "........");
}

// Single pixels and filled rectangles land where the context's mapping puts them, once mapped.
TEST(DeviceContextVector, PixelsAndRectanglesAreMappedOnce) {
    TPaper page(40, 40);
    page.Dc.SetViewportOrgEx(10, 5);
    EXPECT_EQ(page.Dc.SetPixel(2, 3, clRed), clRed);
    EXPECT_EQ(page.At(12, 8), clRed);
    EXPECT_EQ(page.At(22, 13), clWhite);
    EXPECT_EQ(page.Dc.SetPixel(-20, 0, clRed), CLR_INVALID); // off the page
    page.Dc.FillSolidRect(TRect(4, 4, 1, 2), clBlue);        // corners in either order
    EXPECT_EQ(page.Row(7, 10, 16), ".###..");
    EXPECT_EQ(page.Row(9, 10, 16), "......");
    EXPECT_TRUE(page.Dc.FillRect(TRect(20, 20, 22, 21), CreateSolidBrush(clBlack)));
    EXPECT_EQ(page.Row(25, 29, 33), ".##.");
}
