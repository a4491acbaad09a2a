// Fonts, pens and brushes of controls on forms: set from layouts and written back, and underlined text of
// graphic controls, which paint on their parent's context away from its origin.
#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Stream.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Shape.h"

using namespace plat;

namespace {

class TfmAttributes : public TForm {
    PLAT_CLASS(TfmAttributes)
public:
    explicit TfmAttributes(TComponent* AOwner) : TForm(AOwner) {}
    TLabel* lbl_title = nullptr;
    TShape* shp_mark = nullptr;
};

PLAT_CLASS_INFO_CREATABLE(TfmAttributes, TForm)

PLAT_PROPERTIES(TfmAttributes) {
    props.Field("lbl_title", &TfmAttributes::lbl_title);
    props.Field("shp_mark", &TfmAttributes::shp_mark);
}

// As the writer puts it: every value that differs from a new object's, and a stored font whole.
const char* const Layout = R"(object fmAttributes: TfmAttributes
  Left = 0
  Top = 0
  Width = 208
  Height = 127
  Font.Charset = 1
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Caption = 'Attributes'
  ClientWidth = 200
  ClientHeight = 100
  PixelsPerInch = 96
  TextHeight = 13
  object lbl_title: TLabel
    Left = 8
    Top = 8
    Width = 32
    Height = 15
    Font.Charset = 1
    Font.Color = clNavy
    Font.Height = -13
    Font.Name = 'Tahoma'
    Font.Style = [fsBold, fsUnderline]
    ParentFont = False
    Caption = 'Title'
  end
  object shp_mark: TShape
    Left = 8
    Top = 40
    Width = 40
    Height = 30
    Pen.Color = clRed
    Pen.Mode = pmNotXor
    Pen.Style = psDash
    Pen.Width = 3
    Brush.Color = clYellow
    Brush.Style = bsDiagCross
  end
end
)";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

class CanvasAttributesTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterClasses({&TLabel::StaticClass(), &TShape::StaticClass(), &TPaintBox::StaticClass(),
                         &TfmAttributes::StaticClass()});
    }
    TTestDriver Driver;
};

// The form's outer size depends on the frame the backend gives it (a desktop without a window manager
// gives none); the layouts are compared without it.
std::string WithoutFrameSize(std::string text) {
    for (const char* key : {"\n  Width = ", "\n  Height = "}) {
        const size_t at = text.find(key);
        if (at != std::string::npos)
            text.erase(at, text.find('\n', at + 1) - at);
    }
    return text;
}

// Rows of the image in which every pixel from x0 to x1 (exclusive) is dark.
int FullDarkRows(const TImageSurface& image, int x0, int x1) {
    int rows = 0;
    for (int y = 0; y < image.Height(); ++y) {
        bool full = true;
        for (int x = x0; x < x1 && full; ++x) {
            TColor c = TTestDriver::PixelOf(image, x, y);
            full = GetRValue(c) + GetGValue(c) + GetBValue(c) < 300;
        }
        rows += full;
    }
    return rows;
}

} // namespace

TEST_F(CanvasAttributesTest, LayoutValuesReachTheControlsAndAreWrittenBackUnchanged) {
    // A layout may give the size in points; it comes back as the height in pixels.
    for (const std::string& text :
         {std::string(Layout), Replaced(Layout, "Font.Height = -13", "Font.Size = 10")}) {
        RegisterFormResource("TfmAttributes", text);
        auto* form = NewForm<TfmAttributes>(Application);
        ASSERT_NE(form->lbl_title, nullptr);
        TFont* font = form->lbl_title->Font();
        EXPECT_EQ(font->Name(), "Tahoma");
        EXPECT_EQ(font->Size(), 10);
        EXPECT_EQ(font->Style(), fsBold | fsUnderline);
        EXPECT_EQ(font->Color(), clNavy);
        EXPECT_FALSE(form->lbl_title->ParentFont());
        TShape* shape = form->shp_mark;
        EXPECT_EQ(shape->Pen()->Color(), clRed);
        EXPECT_EQ(shape->Pen()->Mode(), pmNotXor);
        EXPECT_EQ(shape->Pen()->Style(), psDash);
        EXPECT_EQ(shape->Pen()->Width(), 3);
        EXPECT_EQ(shape->Brush()->Color(), clYellow);
        EXPECT_EQ(shape->Brush()->Style(), bsDiagCross);

        EXPECT_EQ(WithoutFrameSize(WriteComponentToText(form)), WithoutFrameSize(Layout));

        // The binary form holds the same, and a form read from it writes the same text.
        TMemoryStream binary;
        WriteComponent(binary, form);
        binary.SetPosition(0);
        TStringStream converted;
        ObjectBinaryToText(binary, converted);
        EXPECT_EQ(WithoutFrameSize(converted.DataString()), WithoutFrameSize(Layout));
        // Read into a new form once the first is gone, so that it gets the same name.
        form->Free();
        binary.SetPosition(0);
        auto* copy = new TfmAttributes(Application);
        ReadComponentFromStream(binary, copy);
        ASSERT_NE(copy->shp_mark, nullptr);
        EXPECT_EQ(copy->shp_mark->Brush()->Style(), bsDiagCross);
        EXPECT_EQ(WithoutFrameSize(WriteComponentToText(copy)), WithoutFrameSize(Layout));
        copy->Free();
    }
}

// A label whose font sits at the class default while its form's font does not keeps its own after a
// round trip.
TEST_F(CanvasAttributesTest, AFontAtTheClassDefaultIsKeptUnderAParentWithAnother) {
    const std::string text = Replaced(Replaced(Layout, "  Font.Height = -11\n", "  Font.Height = -15\n"),
                                      "    Font.Height = -13\n", "    Font.Height = -11\n");
    RegisterFormResource("TfmAttributes", text);
    auto* form = NewForm<TfmAttributes>(Application);
    EXPECT_EQ(form->Font()->Height(), -15);
    EXPECT_EQ(form->lbl_title->Font()->Height(), -11);
    const std::string written = WriteComponentToText(form);
    EXPECT_NE(written.find("    Font.Height = -11\n"), std::string::npos) << written;
    form->Free();
    RegisterFormResource("TfmAttributes", written);
    form = NewForm<TfmAttributes>(Application);
    EXPECT_EQ(form->lbl_title->Font()->Height(), -11);
    form->Free();
}

TEST_F(CanvasAttributesTest, UnknownAttributeValuesInALayoutAreRefused) {
    RegisterFormResource("TfmAttributes", Replaced(Layout, "bsDiagCross", "bsPlaid"));
    try {
        NewForm<TfmAttributes>(Application);
        FAIL() << "the layout loaded";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("bsPlaid"), std::string::npos) << e.what();
    }
}

// A paint box and a label away from their form's origin draw underlined, struck-out text clipped to a
// rectangle: the lines show over the visible part of the text.
TEST_F(CanvasAttributesTest, GraphicControlsAwayFromTheOriginDrawClippedTextWithItsLines) {
    auto* form = NewForm<TForm>(Application);
    form->SetBounds(100, 100, 300, 200);
    form->SetColor(clWhite);
    const std::string text = "Hello";
    int clipRight = 0;
    auto* box = new TPaintBox(form);
    box->SetParent(form);
    box->SetBounds(40, 30, 120, 40);
    box->OnPaint = [&](TObject*) {
        TCanvas* c = box->Canvas();
        c->Font()->SetHeight(-16);
        c->Font()->SetColor(clBlack);
        c->Font()->SetStyle(fsUnderline | fsStrikeOut);
        c->Brush()->SetStyle(bsClear);
        clipRight = 2 + c->TextWidth(text) / 2;
        c->TextRect(TRect(0, 0, clipRight, 40), 2, 2, text);
    };
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(40, 100, 120, 40);
    label->Font()->SetHeight(-16);
    label->Font()->SetColor(clBlack);
    label->Font()->SetStyle(fsUnderline | fsStrikeOut);
    label->SetCaption(text);
    form->Show();
    Driver.Pump();

    auto boxImage = Driver.Render(box);
    ASSERT_GT(clipRight, 10);
    EXPECT_GE(FullDarkRows(*boxImage, 2, clipRight), 2) << "underline and strike-out inside the clip";
    EXPECT_EQ(FullDarkRows(*boxImage, clipRight, clipRight + 3), 0) << "nothing right of the clip";
    auto labelImage = Driver.Render(label);
    EXPECT_GE(FullDarkRows(*labelImage, 0, label->Width()), 2) << "the label's lines";
    TTestDriver::SavePng(*Driver.RenderScreen(form->BoundsRect()), "graphic-control-lined-text.png");
}

// A path clip selected in a paint box away from its form's origin covers exactly the path.
TEST_F(CanvasAttributesTest, APathClipInAGraphicControlCoversThePath) {
    auto* form = NewForm<TForm>(Application);
    form->SetBounds(100, 100, 300, 200);
    form->SetColor(clWhite);
    auto* box = new TPaintBox(form);
    box->SetParent(form);
    box->SetBounds(40, 30, 120, 60);
    box->OnPaint = [&](TObject*) {
        TCanvas* c = box->Canvas();
        HDC dc = c->Handle();
        dc->BeginPath();
        dc->Rectangle(10, 10, 30, 30);
        dc->EndPath();
        ASSERT_TRUE(dc->SelectClipPath(RGN_COPY));
        c->Brush()->SetColor(clBlack);
        c->FillRect(TRect(0, 0, box->Width(), box->Height()));
    };
    form->Show();
    Driver.Pump();
    auto image = Driver.Render(box);
    int black = 0;
    for (int y = 0; y < image->Height(); ++y)
        for (int x = 0; x < image->Width(); ++x)
            black += TTestDriver::PixelOf(*image, x, y) == clBlack;
    // A rectangle in a path runs through its last pixel row and column, so its inside is 19 x 19.
    EXPECT_EQ(black, 19 * 19);
    EXPECT_NE(TTestDriver::PixelOf(*image, 9, 9), clBlack);
    EXPECT_EQ(TTestDriver::PixelOf(*image, 10, 10), clBlack);
    EXPECT_EQ(TTestDriver::PixelOf(*image, 28, 28), clBlack);
    EXPECT_NE(TTestDriver::PixelOf(*image, 29, 29), clBlack);
}
