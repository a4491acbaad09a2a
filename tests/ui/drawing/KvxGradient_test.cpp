// The selection gradient style and the banded fills: what Assign copies and how often it notifies, the
// end colours and band layout of both band kinds, and the halves of a mirrored selection.
#include "ui/drawing/KvxGradient.h"

#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"

using namespace plat;
using namespace ui;

namespace {

// A white bitmap to paint on.
std::unique_ptr<TBitmap> Sheet(int w, int h) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(w, h);
    bmp->Canvas()->Brush()->SetColor(clWhite);
    bmp->Canvas()->FillRect(TRect(0, 0, w, h));
    return bmp;
}

TEST(GradientStyle, AssignCopiesTheColoursNotTheDirectionAndNotifiesOnce) {
    TGradientStyle a, b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    a.SetColorFrom(0x112233);
    a.SetColorTo(0x445566);
    a.SetColorMirrorFrom(0x778899);
    a.SetColorMirrorTo(0xAABBCC);
    a.SetBorderColor(clSilver);
    a.SetDirection(true);
    b.Assign(&a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.ColorFrom(), 0x112233);
    EXPECT_EQ(b.ColorMirrorTo(), 0xAABBCC);
    EXPECT_EQ(b.BorderColor(), clSilver);
    EXPECT_FALSE(b.Direction());
    // Setting an equal colour or the direction does not notify; anything else than a style is ignored.
    b.SetColorFrom(0x112233);
    b.SetDirection(true);
    TBitmap other;
    b.Assign(&other);
    EXPECT_EQ(changes, 1);
    b.SetColorTo(clNone);
    EXPECT_EQ(changes, 2);
}

TEST(GradientFill, BandsRunFromTheFirstColourTowardsTheSecondInsideTheRectangle) {
    struct Case {
        TGradientBands Bands;
        int Steps;
    };
    for (const Case& c : {Case{gbClipped, 128}, Case{gbClipped, 0}, Case{gbBar, 64}, Case{gbBar, 7}}) {
        auto bmp = Sheet(120, 20);
        TCanvas& cv = *bmp->Canvas();
        GradientFill(cv, clBlack, 0xFF0000, true, TRect(10, 5, 110, 15), c.Steps, c.Bands);
        EXPECT_EQ(cv.Pixels(10, 10), clBlack) << c.Bands << "/" << c.Steps;
        EXPECT_EQ(cv.Pixels(9, 10), clWhite) << "nothing left of the rectangle";
        EXPECT_EQ(cv.Pixels(50, 4), clWhite) << "nothing above it";
        if (c.Steps > 1) {
            // Clipped bands reach the far edge; bar bands stop a pixel before it.
            TColor last = cv.Pixels(c.Bands == gbClipped ? 109 : 108, 10);
            EXPECT_EQ(last & 0xFFFF, 0) << "only the blue channel changes";
            // The last band is one step short of the second colour.
            EXPECT_EQ(GetBValue(last), Round((c.Steps - 1) * (255.0 / c.Steps))) << c.Bands << "/" << c.Steps;
            EXPECT_LT(GetBValue(cv.Pixels(30, 10)), GetBValue(cv.Pixels(90, 10)));
        }
        if (c.Bands == gbClipped) {
            EXPECT_EQ(cv.Pixels(110, 10), clWhite) << "clipped bands stop at the edge";
        }
    }
}

TEST(GradientFill, ANoneEndFadesToWhite) {
    auto bmp = Sheet(64, 4);
    GradientFill(*bmp->Canvas(), clBlack, clNone, true, TRect(0, 0, 64, 4), 64, gbBar);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 1), clBlack);
    EXPECT_GT(GetRValue(bmp->Canvas()->Pixels(62, 1)), 0xF0);
    EXPECT_GT(GetGValue(bmp->Canvas()->Pixels(62, 1)), 0xF0);
}

TEST(SelectionGradient, AMirrorSplitsTheRowIntoTwoGradientsAndDrawsTheBorder) {
    struct Case {
        bool Direction;
        TPoint First, Second; // a point of each half
    };
    for (const Case& c :
         {Case{false, TPoint(50, 3), TPoint(50, 16)}, Case{true, TPoint(20, 10), TPoint(80, 10)}}) {
        auto bmp = Sheet(100, 20);
        TCanvas& cv = *bmp->Canvas();
        DrawSelectionGradient(cv, TRect(0, 0, 100, 20), 0x0000FF, 0x0000FF, 0x00FF00, 0x00FF00, c.Direction,
                              0xFF0000);
        EXPECT_EQ(cv.Pixels(c.First.X, c.First.Y), 0x0000FF) << c.Direction;
        EXPECT_EQ(cv.Pixels(c.Second.X, c.Second.Y), 0x00FF00) << c.Direction;
        EXPECT_EQ(cv.Pixels(0, 0), 0xFF0000);
        EXPECT_EQ(cv.Pixels(99, 19), 0xFF0000);
    }
    // No start colour: only the border.
    auto bmp = Sheet(30, 10);
    DrawSelectionGradient(*bmp->Canvas(), TRect(0, 0, 30, 10), clNone, clRed, clNone, clNone, false, clBlue);
    EXPECT_EQ(bmp->Canvas()->Pixels(15, 5), clWhite);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 5), clBlue);
}

} // namespace
