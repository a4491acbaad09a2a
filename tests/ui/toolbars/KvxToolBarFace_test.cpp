#include "ui/toolbars/KvxToolBarFace.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/ImageList.h"

using namespace plat;
using namespace ui;
using namespace ui::toolbar;

namespace {

constexpr TColor kBack = 0x00FFFFFF;
constexpr TColor kFace = 0x0000C000; // green, all four colours

std::unique_ptr<TBitmap> Square(int size, TColor color) {
    auto b = std::make_unique<TBitmap>(size, size);
    b->Canvas()->Brush()->SetColor(clFuchsia); // the corner pixel: see-through
    b->Canvas()->FillRect(TRect(0, 0, size, size));
    b->Canvas()->Brush()->SetColor(color);
    b->Canvas()->FillRect(TRect(1, 1, size - 1, size - 1));
    b->SetTransparent(true);
    return b;
}

class FaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        Target = std::make_unique<TBitmap>(80, 30);
        Clear();
        Font = std::make_unique<TFont>();
        Font->SetName("DejaVu Sans");
        Font->SetSize(8);
        Glyph = Square(16, clBlue);
    }
    void Clear() {
        Target->Canvas()->Brush()->SetColor(kBack);
        Target->Canvas()->FillRect(TRect(0, 0, 80, 30));
    }
    TButtonFaceParams Plain() {
        TButtonFaceParams p;
        p.R = TRect(0, 0, 80, 30);
        p.Color = p.ColorTo = p.ColorMirror = p.ColorMirrorTo = kFace;
        p.BorderColor = clBlack;
        p.Font = Font.get();
        p.Glyph = Glyph.get();
        p.Caption = "Open";
        return p;
    }
    TColor At(int x, int y) { return Target->Canvas()->Pixels(x, y); }
    bool BlueIn(const TRect& r) {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (At(x, y) == clBlue)
                    return true;
        return false;
    }

    TTestDriver Driver;
    std::unique_ptr<TBitmap> Target, Glyph;
    std::unique_ptr<TFont> Font;
};

TEST_F(FaceTest, MeasuringPaintsTheBackgroundButNeitherGlyphNorCaption) {
    TButtonFaceParams p = Plain();
    p.MeasureOnly = true;
    const TPoint measured = DrawButtonFace(*Target->Canvas(), p);
    EXPECT_EQ(At(40, 15), kFace);
    EXPECT_FALSE(BlueIn(TRect(0, 0, 80, 30)));
    EXPECT_GT(measured.X, 16) << "glyph and caption side by side";
    EXPECT_GE(measured.Y, 16);

    Clear();
    p.MeasureOnly = false;
    EXPECT_EQ(DrawButtonFace(*Target->Canvas(), p), measured) << "painting answers the same size";
    EXPECT_TRUE(BlueIn(TRect(0, 0, 80, 30)));
}

TEST_F(FaceTest, TransparentFacesKeepTheBackgroundButShowTheFocus) {
    TButtonFaceParams p = Plain();
    p.Transparent = true;
    p.Focus = true;
    p.Caption.clear();
    DrawButtonFace(*Target->Canvas(), p);
    EXPECT_EQ(At(10, 15), kBack);
    EXPECT_NE(At(40, 1), kBack) << "the focus ring";
}

TEST_F(FaceTest, ATinyGlyphGivesWayToTheImageList) {
    auto tiny = std::make_unique<TBitmap>(1, 1);
    TImageList images(nullptr);
    images.SetWidth(20);
    images.SetHeight(20);
    auto red = Square(20, clRed);
    images.Add(red.get(), nullptr);
    TButtonFaceParams p = Plain();
    p.Glyph = tiny.get();
    p.Images = &images;
    p.ImageIndex = 0;
    p.Caption.clear();
    EXPECT_EQ(DrawButtonFace(*Target->Canvas(), p), TPoint(20, 20));
    EXPECT_EQ(At(40, 15), clRed) << "the image is centred on a face without caption";
}

TEST_F(FaceTest, GlyphAtTheRightEndWhateverTheCaption) {
    for (const char* caption : {"A", "A longer caption"}) {
        SCOPED_TRACE(caption);
        Clear();
        TButtonFaceParams p = Plain();
        p.Layout = flTextRight;
        p.Caption = caption;
        DrawButtonFace(*Target->Canvas(), p);
        const int gx = 80 - 16 - 2;
        EXPECT_EQ(At(gx + 8, 15), clBlue);
        EXPECT_NE(At(gx - 2, 15), clBlue);
    }
}

TEST_F(FaceTest, TheSectionNotPointedAtIsDarker) {
    for (int state : {2, 0}) {
        SCOPED_TRACE(state);
        Clear();
        TButtonFaceParams p = Plain();
        p.Caption.clear();
        p.Glyph = nullptr;
        p.ShowBorder = false;
        p.DropDownButton = p.DropDownSplit = p.SplitActive = true;
        p.Gradient = p.GradientMirror = ggVertical;
        p.SplitState = state;
        DrawButtonFace(*Target->Canvas(), p);
        const int mainGreen = (At(20, 22) >> 8) & 0xFF, dropGreen = (At(76, 22) >> 8) & 0xFF;
        if (state == 2)
            EXPECT_LT(dropGreen, mainGreen);
        else
            EXPECT_LT(mainGreen, dropGreen);
    }
}

TEST_F(FaceTest, FacesForPeople) {
    auto sheet = std::make_unique<TBitmap>(4 * 90 + 10, 2 * 40 + 10);
    sheet->Canvas()->Brush()->SetColor(0xF0F0F0);
    sheet->Canvas()->FillRect(TRect(0, 0, sheet->Width(), sheet->Height()));
    int n = 0;
    for (TFaceLayout layout : {flGlyphLeft, flGlyphTop, flTextRight, flGlyphBottom}) {
        for (bool drop : {false, true}) {
            auto face = std::make_unique<TBitmap>(80, 34);
            TButtonFaceParams p = Plain();
            p.R = TRect(0, 0, 80, 34);
            p.Color = 0xFFF4E8;
            p.ColorTo = 0xFDE3C7;
            p.ColorMirror = 0xF9D3A4;
            p.ColorMirrorTo = 0xFFEFD8;
            p.BorderColor = 0xC09060;
            p.Gradient = ggRadial;
            p.Rounded = true;
            p.Layout = layout;
            p.DropDownButton = p.DropDownSplit = p.SplitActive = drop;
            face->Canvas()->Brush()->SetColor(0xF0F0F0);
            face->Canvas()->FillRect(TRect(0, 0, 80, 34));
            DrawButtonFace(*face->Canvas(), p);
            sheet->Canvas()->Draw(10 + (n / 2) * 90, 10 + (n % 2) * 40, face.get());
            ++n;
        }
    }
    TTestDriver::SavePng(sheet->Surface(), TestOutputDir("toolbars") + "/face-painter.png");
}

} // namespace
