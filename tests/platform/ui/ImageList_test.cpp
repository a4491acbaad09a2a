#include "platform/ui/ImageList.h"

#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/rtl/Exception.h"

using namespace plat;

namespace {

// A 32 x 16 strip: two 16 x 16 cells on a fuchsia ground, a red square in the first, a blue one in
// the second (both from (4, 4) to (12, 12)).
std::unique_ptr<TBitmap> Strip() {
    auto b = std::make_unique<TBitmap>(32, 16, pf24bit);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, 32, 16));
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(4, 4, 12, 12));
    c->Brush()->SetColor(clBlue);
    c->FillRect(TRect(20, 4, 28, 12));
    return b;
}

std::unique_ptr<TBitmap> White() {
    auto b = std::make_unique<TBitmap>(20, 20, pf24bit);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(TRect(0, 0, 20, 20));
    return b;
}

} // namespace

TEST(ImageListTest, MaskColourMakesTheGroundTransparent) {
    TImageList list(nullptr);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    auto strip = Strip();
    EXPECT_EQ(list.AddMasked(strip.get(), clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2) << "a wide bitmap gives one image per cell";
    EXPECT_GE(changes, 1);
    auto target = White();
    list.Draw(target->Canvas(), 2, 2, 1);
    EXPECT_EQ(target->Canvas()->Pixels(2 + 8, 2 + 8), clBlue);
    EXPECT_EQ(target->Canvas()->Pixels(2 + 1, 2 + 1), clWhite) << "the mask colour is not drawn";
    list.Draw(target->Canvas(), 2, 2, 7); // out of range: nothing
    EXPECT_EQ(target->Canvas()->Pixels(2 + 8, 2 + 8), clBlue);
}

TEST(ImageListTest, MaskBitmapAndDisabledDrawing) {
    TImageList list(nullptr);
    TBitmap image(16, 16, pf24bit), mask(16, 16, pf24bit);
    image.Canvas()->Brush()->SetColor(clRed);
    image.Canvas()->FillRect(TRect(0, 0, 16, 16));
    mask.Canvas()->Brush()->SetColor(clWhite); // white: transparent
    mask.Canvas()->FillRect(TRect(0, 0, 16, 16));
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(TRect(4, 4, 12, 12));
    ASSERT_EQ(list.Add(&image, &mask), 0);
    auto target = White();
    list.Draw(target->Canvas(), 0, 0, 0, false);
    // Greyed: the shape in the shadow colour, its highlight one pixel down-right, no red anywhere.
    EXPECT_EQ(target->Canvas()->Pixels(5, 5), ColorToRGB(clBtnShadow));
    EXPECT_EQ(target->Canvas()->Pixels(12, 12), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(target->Canvas()->Pixels(1, 1), clWhite);
    list.Draw(target->Canvas(), 0, 0, 0, true);
    EXPECT_EQ(target->Canvas()->Pixels(5, 5), clRed);
}

TEST(ImageListTest, OverlaysDeleteClearAndGetBitmap) {
    TImageList list(nullptr);
    auto strip = Strip();
    list.AddMasked(strip.get(), clFuchsia);
    ASSERT_TRUE(list.Overlay(1, 0));
    EXPECT_FALSE(list.Overlay(5, 0));
    EXPECT_FALSE(list.Overlay(0, 16));
    auto target = White();
    list.DrawOverlay(target->Canvas(), 0, 0, 0, 0);
    EXPECT_EQ(target->Canvas()->Pixels(8, 8), clBlue) << "the overlay is drawn over the image";

    TBitmap copy;
    list.SetBkColor(clYellow);
    ASSERT_TRUE(list.GetBitmap(0, &copy));
    EXPECT_EQ(copy.Width(), 16);
    EXPECT_EQ(copy.Canvas()->Pixels(8, 8), clRed);
    EXPECT_EQ(copy.Canvas()->Pixels(0, 0), clYellow);
    EXPECT_FALSE(list.GetBitmap(9, &copy));

    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    target = White();
    list.DrawOverlay(target->Canvas(), 0, 0, 0, 0);
    EXPECT_EQ(target->Canvas()->Pixels(8, 8), clBlue) << "the overlay index moved with the deletion";
    EXPECT_THROW(list.Delete(3), EListError);
    list.SetWidth(24); // another size empties the list
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(list.SetHeight(0), EInvalidOperation);
}
