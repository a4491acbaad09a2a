#include "platform/gfx/GfxResources.h"

#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/CodecTestUtil.h"
#include "platform/gfx/CursorImage.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/Resources.h"

using namespace plat;
using namespace codectest;

namespace {

// The bitmap as text, '#' for black and '.' for anything else.
std::vector<std::string> Ink(TBitmap& bitmap) {
    std::vector<std::string> rows;
    const TDib& dib = bitmap.Dib();
    for (int y = 0; y < dib.Height; ++y) {
        std::string row;
        for (int x = 0; x < dib.Width; ++x)
            row += dib.GetPixel(x, y) == 0 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(GfxResources, MenuGlyphsAreMonochromeAndShapedAsTheMenusDrawThem) {
    TBitmap arrow;
    LoadBitmapResource(arrow, "KvxSubMenuItem");
    EXPECT_EQ(arrow.PixelFormat(), pf1bit);
    EXPECT_EQ(Ink(arrow), (std::vector<std::string>{"#...", "##..", "###.", "####", "###.", "##..", "#..."}));

    // The tick and the 6 x 6 dot sit in the middle of a 16 x 16 cell, on white (the transparent colour).
    struct Case {
        const char* Name;
        TRect InkBounds;
    };
    for (const Case& c :
         {Case{"KVXCHECKITEM", TRect(4, 5, 11, 12)}, Case{"KVXRADIOITEM", TRect(5, 5, 11, 11)}}) {
        SCOPED_TRACE(c.Name);
        TBitmap glyph;
        LoadBitmapResource(glyph, c.Name);
        ASSERT_EQ(glyph.Width(), 16);
        ASSERT_EQ(glyph.Height(), 16);
        EXPECT_EQ(glyph.PixelFormat(), pf1bit);
        TRect bounds(16, 16, 0, 0);
        std::vector<std::string> ink = Ink(glyph);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (ink[y][x] == '#')
                    bounds = TRect(std::min(bounds.Left, x), std::min(bounds.Top, y),
                                   std::max(bounds.Right, x + 1), std::max(bounds.Bottom, y + 1));
        EXPECT_EQ(bounds, c.InkBounds);
        EXPECT_EQ(ink[15][0], '.');
    }
}

TEST(GfxResources, HandCursorPointsWithItsFingerTip) {
    const TEmbeddedResource* r = FindResource(2020, RT_CURSOR);
    ASSERT_NE(r, nullptr);
    TCursorPicture hand = DecodeCursor(r->Data, r->Size);
    ASSERT_EQ(hand.Image.Width, 32);
    ASSERT_EQ(hand.Image.Height, 32);
    // The hot spot is on the topmost ink of the picture, and the picture has see-through parts.
    EXPECT_EQ(hand.Image.At(hand.HotSpot.X, hand.HotSpot.Y), 0xFF000000u);
    for (int y = 0; y < hand.HotSpot.Y; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(hand.Image.At(x, y) >> 24, 0u);
    EXPECT_EQ(hand.Image.At(31, 31) >> 24, 0u);
    EXPECT_EQ(hand.Image.At(0, 0) >> 24, 0u);
}

TEST(GfxResources, MissingOrWrongResourcesRaiseAndLeaveTheBitmapAlone) {
    TBitmap bitmap(3, 2);
    EXPECT_THROW(LoadBitmapResource(bitmap, "NO_SUCH_BITMAP"), EResNotFound);
    EXPECT_THROW(LoadBitmapResource(bitmap, 2020), EResNotFound); // the cursor's id, not a bitmap's
    EXPECT_THROW(LoadBitmapResource(bitmap, "PLOT_CURSOR_HAND"), EResNotFound);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);

    TIcon icon;
    EXPECT_THROW(LoadIconResource(icon, "NO_SUCH_ICON"), EResNotFound);
    EXPECT_THROW(LoadIconResource(icon, 2020), EResNotFound);
    EXPECT_TRUE(icon.Empty());
}

TEST(GfxResources, BitmapBytesMayBeBmpOrPng) {
    TPixelImage image = Gradient(5, 4, true);
    TBytes png = WritePng(image);
    TBitmap fromPng;
    LoadBitmapFromBytes(fromPng, png.data(), png.size());
    EXPECT_EQ(fromPng.PixelFormat(), pf32bit);
    {
        TBitmap reference;
        PixelImageToBitmap(image, reference);
        EXPECT_TRUE(reference.Dib().Bits == fromPng.Dib().Bits);
    }

    TDib dib(3, 2, pf24bit);
    dib.SetPixel(2, 1, 0x123456);
    TBytes bmp = WriteBmp(dib);
    TBitmap fromBmp;
    LoadBitmapFromBytes(fromBmp, bmp.data(), bmp.size());
    EXPECT_EQ(fromBmp.PixelFormat(), pf24bit);
    EXPECT_EQ(fromBmp.Dib().GetPixel(2, 1), 0x123456u);

    // Neither, or broken: refused, and the bitmap keeps its picture.
    TBytes gif = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
    TBytes brokenBmp(bmp.begin(), bmp.begin() + 20);
    TBytes brokenPng(png.begin(), png.begin() + 30);
    for (const TBytes* bad : {&gif, &brokenBmp, &brokenPng}) {
        EXPECT_THROW(LoadBitmapFromBytes(fromBmp, bad->data(), bad->size()), EInvalidGraphic);
        EXPECT_EQ(fromBmp.Width(), 3);
        EXPECT_EQ(fromBmp.Dib().GetPixel(2, 1), 0x123456u);
    }
    EXPECT_THROW(LoadBitmapFromBytes(fromBmp, nullptr, 0), EInvalidGraphic);
}

} // namespace
