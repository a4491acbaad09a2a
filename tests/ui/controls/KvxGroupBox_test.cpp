// The self-drawn group box: the area it leaves its children, its border styles and caption places, and
// the gap the caption cuts into the border.
#include "ui/controls/KvxGroupBox.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/StandardClasses.h"

using namespace plat;
using namespace ui;

namespace {

class GroupBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandardClasses();
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 640, 420);
        Form->SetColor(0x00E8F4F8);
        Form->Show();
        Driver.Pump();
    }

    TKvxGroupBox* Box(const TRect& Bounds, const std::string& Caption) {
        auto* g = new TKvxGroupBox(Form);
        g->SetParent(Form);
        g->SetBoundsRect(Bounds);
        g->SetCaption(Caption);
        return g;
    }

    TSize TextSize(const std::string& Text) {
        TBitmap b(1, 1);
        b.Canvas()->Font()->Assign(Form->Font());
        return b.Canvas()->TextExtent(Text);
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
};

TEST_F(GroupBoxTest, ChildrenGetTheAreaInsideBorderAndCaption) {
    // Without a caption the band is the 2-pixel empty caption box or the border, whichever is wider.
    struct Case {
        const char* Name;
        TKvxBorderStyle Border;
        bool Ctl3D;
        TCaptionPosition Place;
        TRect Client; // of a 200 x 100 box
    };
    const Case cases[] = {
        {"single", TKvxBorderStyle::bsSingle, false, cpTopLeft, TRect(2, 3, 198, 98)},
        {"single etched", TKvxBorderStyle::bsSingle, true, cpTopLeft, TRect(3, 3, 197, 97)},
        {"double", TKvxBorderStyle::bsDouble, false, cpTopCenter, TRect(3, 3, 197, 97)},
        {"double etched", TKvxBorderStyle::bsDouble, true, cpTopRight, TRect(5, 5, 195, 95)},
        {"none", TKvxBorderStyle::bsNone, false, cpTopLeft, TRect(2, 3, 198, 98)},
        {"single at the bottom", TKvxBorderStyle::bsSingle, false, cpBottomLeft, TRect(2, 2, 198, 97)},
        {"double etched at the bottom", TKvxBorderStyle::bsDouble, true, cpBottomCenter,
         TRect(5, 5, 195, 95)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* g = Box(TRect(10, 10, 210, 110), "");
        g->SetBorderStyle(c.Border);
        g->SetCtl3D(c.Ctl3D);
        g->SetCaptionPosition(c.Place);
        auto* child = new TKvxGroupBox(Form);
        child->SetParent(g);
        child->SetAlign(alClient);
        EXPECT_EQ(child->BoundsRect(), c.Client);
        g->Free();
    }

    // A caption makes the band as high as its text plus two.
    const int band = TextSize("Exposure").cy + 2;
    auto* top = Box(TRect(10, 10, 210, 110), "Exposure");
    auto* bottom = Box(TRect(10, 120, 210, 220), "Exposure");
    bottom->SetCaptionPosition(cpBottomRight);
    for (TKvxGroupBox* g : {top, bottom}) {
        auto* child = new TKvxGroupBox(Form);
        child->SetParent(g);
        child->SetAlign(alClient);
    }
    EXPECT_EQ(top->Controls(0)->BoundsRect(), TRect(2, band + 1, 198, 98));
    EXPECT_EQ(bottom->Controls(0)->BoundsRect(), TRect(2, 2, 198, 100 - band - 1));
}

TEST_F(GroupBoxTest, TheCaptionCutsTheBorderOnlyWhereItStands) {
    UI_HEADLESS_ONLY(Driver);
    auto* g = Box(TRect(10, 10, 210, 110), "Gain");
    g->SetBorderColor(clNavy);
    Driver.Pump();
    const TRect caption = g->CaptionBox();
    const int line = g->FrameRect().Top;
    ASSERT_GT(line, 0);
    EXPECT_EQ(Driver.Pixel(g, caption.Left - 4, line), clNavy) << "the border left of the caption";
    EXPECT_EQ(Driver.Pixel(g, caption.Right + 4, line), clNavy) << "the border right of the caption";
    for (int x = caption.Left - 1; x < caption.Right + 1; ++x)
        EXPECT_NE(Driver.Pixel(g, x, line), clNavy) << "no border behind the caption at " << x;
    EXPECT_EQ(Driver.Pixel(g, 100, 99), clNavy) << "the bottom border is whole";

    // Nothing to show at the bottom: the border is neither moved up nor cut.
    auto* empty = Box(TRect(220, 10, 420, 110), "");
    empty->SetCaptionPosition(cpBottomCenter);
    empty->SetBorderColor(clNavy);
    Driver.Pump();
    EXPECT_EQ(empty->FrameRect().Bottom, 100);
    for (int x = 1; x < 199; x += 7)
        EXPECT_EQ(Driver.Pixel(empty, x, 99), clNavy) << x;
}

TEST_F(GroupBoxTest, RoundDoubleEtchedEdgesLeaveTheCornersOpen) {
    UI_HEADLESS_ONLY(Driver);
    auto* g = Box(TRect(10, 10, 210, 110), "Round");
    g->SetBorderStyle(TKvxBorderStyle::bsDouble);
    g->SetCtl3D(true);
    g->SetRoundEdges(true);
    Driver.Pump();
    const int top = g->FrameRect().Top;
    EXPECT_EQ(Driver.Pixel(g, 0, top), Form->Color()) << "the outer corner is rounded off";
    // Bottom up: the outer white and gray lines, then the inner ones two pixels further in.
    const TColor expected[] = {clWhite, clGray, clWhite, clGray};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(Driver.Pixel(g, 100, 99 - k), expected[k]) << 99 - k;
}

TEST_F(GroupBoxTest, ImagesLetGoOfTheirList) {
    auto* list = new TImageList(Form);
    list->SetWidth(12);
    list->SetHeight(12);
    auto* g = Box(TRect(10, 10, 210, 110), "Pictured");
    g->SetImages(list);
    g->SetImageIndex(0);
    const int withImage = g->CaptionBox().Width();
    EXPECT_EQ(withImage, 12 + 3 + TextSize("Pictured").cx);
    list->Free();
    EXPECT_EQ(g->Images(), nullptr);
    EXPECT_EQ(g->ImageIndex(), -1);
    EXPECT_EQ(g->Version(), "1.0.0.0");
}

TEST_F(GroupBoxTest, Sheet) {
    UI_HEADLESS_ONLY(Driver);
    struct Look {
        const char* Caption;
        TKvxBorderStyle Border;
        bool Ctl3D, Round;
        TCaptionPosition Place;
    };
    const Look looks[] = {
        {"Single, top left", TKvxBorderStyle::bsSingle, false, false, cpTopLeft},
        {"Etched, top centre", TKvxBorderStyle::bsSingle, true, false, cpTopCenter},
        {"Double, top right", TKvxBorderStyle::bsDouble, false, false, cpTopRight},
        {"Double etched round", TKvxBorderStyle::bsDouble, true, true, cpBottomLeft},
        {"Round, bottom centre", TKvxBorderStyle::bsSingle, false, true, cpBottomCenter},
        {"No border, bottom right", TKvxBorderStyle::bsNone, false, false, cpBottomRight},
    };
    int i = 0;
    for (const Look& l : looks) {
        auto* g = Box(TRect(10 + (i % 3) * 205, 10 + (i / 3) * 130, 205 + (i % 3) * 205, 130 + (i / 3) * 130),
                      l.Caption);
        g->SetBorderStyle(l.Border);
        g->SetCtl3D(l.Ctl3D);
        g->SetRoundEdges(l.Round);
        g->SetCaptionPosition(l.Place);
        ++i;
    }
    auto* opaque = Box(TRect(10, 270, 200, 380), "Opaque, disabled");
    opaque->SetTransparent(false);
    opaque->SetParentColor(false);
    opaque->SetColor(0x00FFF0E0);
    opaque->SetEnabled(false);
    Driver.Pump();
    auto shot = Driver.Render(Form);
    TTestDriver::SavePng(*shot, TestOutputDir("controls") + "/group_boxes.png");
    EXPECT_EQ(Driver.Pixel(opaque, 100, 60), static_cast<TColor>(0x00FFF0E0));
}

} // namespace
