// A form with one of each standard control, loaded from a layout; the label, panel, progress bar and
// image behaviour; and the screenshot of the form.
#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Bevel.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Memo.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Panel.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/Shape.h"
#include "platform/ui/SpeedButton.h"
#include "platform/ui/Splitter.h"

using namespace plat;

namespace {

class TfmStandard : public TForm {
    PLAT_CLASS(TfmStandard)
public:
    explicit TfmStandard(TComponent* AOwner) : TForm(AOwner) {}
    TLabel* lbl_name = nullptr;
    TEdit* ed_name = nullptr;
    TMemo* mm_notes = nullptr;
    TPanel* pnl_left = nullptr;
    TProgressBar* pb_work = nullptr;
    TImage* img_logo = nullptr;
    TPaintBox* pb_draw = nullptr;
    int Paints = 0;
    void pb_drawPaint(TObject*) {
        ++Paints;
        TCanvas* c = pb_draw->Canvas();
        c->Brush()->SetColor(clNavy);
        c->FillRect(TRect(0, 0, pb_draw->Width(), pb_draw->Height()));
        c->Pen()->SetColor(clYellow);
        c->MoveTo(0, 0);
        c->LineTo(pb_draw->Width(), pb_draw->Height());
    }
};

PLAT_CLASS_INFO_CREATABLE(TfmStandard, TForm)

PLAT_PROPERTIES(TfmStandard) {
    props.Field("lbl_name", &TfmStandard::lbl_name);
    props.Field("ed_name", &TfmStandard::ed_name);
    props.Field("mm_notes", &TfmStandard::mm_notes);
    props.Field("pnl_left", &TfmStandard::pnl_left);
    props.Field("pb_work", &TfmStandard::pb_work);
    props.Field("img_logo", &TfmStandard::img_logo);
    props.Field("pb_draw", &TfmStandard::pb_draw);
    props.Method("pb_drawPaint", &TfmStandard::pb_drawPaint);
}

const char* const Layout = R"(object fmStandard: TfmStandard
  Left = 120
  Top = 80
  BorderStyle = bsDialog
  Caption = 'Standard controls'
  ClientHeight = 420
  ClientWidth = 600
  Color = clBtnFace
  object pnl_left: TPanel
    Left = 0
    Top = 0
    Width = 150
    Height = 420
    Align = alLeft
    BevelInner = bvLowered
    BevelWidth = 1
    Caption = 'Panel'
    Alignment = taCenter
    TabOrder = 0
    object sb_bold: TSpeedButton
      Left = 8
      Top = 8
      Width = 40
      Height = 22
      Caption = 'B'
      GroupIndex = 1
      Down = True
    end
    object sb_italic: TSpeedButton
      Left = 50
      Top = 8
      Width = 40
      Height = 22
      Caption = 'I'
      GroupIndex = 1
      Flat = True
    end
    object sh_circle: TShape
      Left = 8
      Top = 40
      Width = 50
      Height = 40
      Shape = stCircle
    end
    object bv_box: TBevel
      Left = 70
      Top = 40
      Width = 60
      Height = 40
      Shape = bsFrame
    end
    object pb_draw: TPaintBox
      Left = 8
      Top = 90
      Width = 120
      Height = 40
      OnPaint = pb_drawPaint
    end
    object img_logo: TImage
      Left = 8
      Top = 140
      Width = 64
      Height = 64
      Center = True
    end
  end
  object sp_main: TSplitter
    Left = 150
    Top = 0
    Width = 4
    Height = 420
  end
  object lbl_name: TLabel
    Left = 170
    Top = 14
    Caption = '&Name:'
    FocusControl = ed_name
  end
  object ed_name: TEdit
    Left = 230
    Top = 10
    Width = 200
    Height = 21
    Text = 'Lumetra'
    TabOrder = 1
  end
  object btn_ok: TButton
    Left = 450
    Top = 8
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 2
  end
  object cb_log: TCheckBox
    Left = 170
    Top = 44
    Width = 120
    Height = 17
    Caption = 'Write a log'
    Checked = True
    TabOrder = 3
  end
  object rb_fast: TRadioButton
    Left = 300
    Top = 44
    Width = 100
    Height = 17
    Caption = 'Fast'
    Checked = True
    TabOrder = 4
  end
  object rb_slow: TRadioButton
    Left = 400
    Top = 44
    Width = 100
    Height = 17
    Caption = 'Slow'
    TabOrder = 5
  end
  object mm_notes: TMemo
    Left = 170
    Top = 70
    Width = 260
    Height = 80
    ScrollBars = ssVertical
    Lines.Strings = (
      'First line of the notes'
      'Second line')
    TabOrder = 6
  end
  object gb_frame: TGroupBox
    Left = 440
    Top = 70
    Width = 150
    Height = 80
    Caption = 'Group'
    TabOrder = 7
  end
  object rg_mode: TRadioGroup
    Left = 170
    Top = 160
    Width = 260
    Height = 70
    Caption = 'Mode'
    Columns = 2
    Items.Strings = (
      'Counts'
      'Dark'
      'Reference')
    ItemIndex = 1
    TabOrder = 8
  end
  object sc_pos: TScrollBar
    Left = 170
    Top = 240
    Width = 260
    Height = 17
    Max = 100
    PageSize = 20
    Position = 30
    TabOrder = 9
  end
  object pb_work: TProgressBar
    Left = 170
    Top = 270
    Width = 260
    Height = 17
    Position = 60
    TabOrder = 10
  end
  object sbx_items: TScrollBox
    Left = 440
    Top = 160
    Width = 150
    Height = 127
    TabOrder = 11
    object lbl_far: TLabel
      Left = 8
      Top = 200
      Caption = 'Far below'
    end
  end
end
)";

class StandardControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterClasses({&TLabel::StaticClass(), &TEdit::StaticClass(), &TMemo::StaticClass(),
                         &TButton::StaticClass(), &TCheckBox::StaticClass(), &TRadioButton::StaticClass(),
                         &TRadioGroup::StaticClass(), &TGroupBox::StaticClass(), &TPanel::StaticClass(),
                         &TBevel::StaticClass(), &TShape::StaticClass(), &TPaintBox::StaticClass(),
                         &TImage::StaticClass(), &TSpeedButton::StaticClass(), &TScrollBar::StaticClass(),
                         &TScrollBox::StaticClass(), &TSplitter::StaticClass(), &TProgressBar::StaticClass(),
                         &TfmStandard::StaticClass()});
        RegisterFormResource("TfmStandard", Layout);
    }
    TTestDriver Driver;
};

TEST_F(StandardControlsTest, FormOfEveryControlLoadsWorksAndIsDrawn) {
    auto* form = NewForm<TfmStandard>(Application);
    ASSERT_NE(form->ed_name, nullptr);
    EXPECT_EQ(form->ed_name->Text(), "Lumetra");
    EXPECT_EQ(form->mm_notes->Lines()->Count(), 2);
    EXPECT_EQ(form->mm_notes->Lines()->Get(1), "Second line");
    auto* group = dynamic_cast<TRadioGroup*>(form->FindComponent("rg_mode"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_TRUE(group->Buttons(1)->Checked());
    EXPECT_TRUE(dynamic_cast<TCheckBox*>(form->FindComponent("cb_log"))->Checked());
    EXPECT_EQ(dynamic_cast<TScrollBar*>(form->FindComponent("sc_pos"))->Position(), 30);

    // The label sized itself to its caption and hands the focus on with its accelerator.
    EXPECT_GT(form->lbl_name->Width(), 10);
    EXPECT_LT(form->lbl_name->Width(), 60);
    auto* panel = form->pnl_left;
    TRect inner = panel->ClientRect();
    panel->AdjustClientRect(inner);
    EXPECT_EQ(inner.Left, 2) << "two bevels of one pixel";

    // A picture for the image: a small checker.
    TBitmap bmp;
    bmp.SetSize(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            bmp.Canvas()->SetPixels(x, y, ((x / 8 + y / 8) % 2) ? clRed : clWhite);
    form->img_logo->Picture()->SetGraphic(&bmp);
    EXPECT_EQ(form->img_logo->DestRect(), TRect(16, 16, 48, 48)) << "centred";
    form->img_logo->SetStretch(true);
    form->img_logo->SetProportional(true);
    EXPECT_EQ(form->img_logo->DestRect(), TRect(0, 0, 64, 64));
    form->img_logo->SetStretch(false);
    form->img_logo->SetProportional(false);

    dynamic_cast<TShape*>(form->FindComponent("sh_circle"))->Brush()->SetColor(clLime);
    form->Show();
    Driver.Pump();
    EXPECT_GT(form->Paints, 0);
    Driver.PressKey('N', modAlt);
    EXPECT_TRUE(form->ed_name->Focused());

    auto image = Driver.Render(form);
    std::string path = TTestDriver::SavePng(*image, "standard-controls.png");
    EXPECT_FALSE(path.empty());
    // The progress bar fills with the highlight colour; the paint box shows its own drawing.
    TPoint inBar = form->pb_work->ClientToParent(TPoint(4, 8), form);
    EXPECT_EQ(Driver.Pixel(form, inBar.X, inBar.Y), ColorToRGB(clHighlight));
    EXPECT_EQ(Driver.Pixel(form->pb_draw->Parent(), form->pb_draw->Left() + 100, form->pb_draw->Top() + 5),
              ColorToRGB(clNavy));
}

TEST_F(StandardControlsTest, ProgressBarStepsAndWraps) {
    auto* form = NewForm<TForm>(Application);
    auto* bar = new TProgressBar(form);
    bar->SetParent(form);
    bar->SetMax(25);
    bar->StepIt();
    bar->StepIt();
    EXPECT_EQ(bar->Position(), 20);
    bar->StepIt();
    EXPECT_EQ(bar->Position(), 4) << "past the end it starts again";
    bar->SetPosition(99);
    EXPECT_EQ(bar->Position(), 25);
    bar->StepBy(-30);
    EXPECT_EQ(bar->Position(), 0);
}

TEST_F(StandardControlsTest, LabelSizesToItsText) {
    auto* form = NewForm<TForm>(Application);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetCaption("Short");
    int shortWidth = label->Width();
    label->SetCaption("A much longer caption");
    EXPECT_GT(label->Width(), shortWidth);
    int oneLine = label->Height();
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetWidth(40);
    label->SetAutoSize(true);
    EXPECT_EQ(label->Width(), 40);
    EXPECT_GE(label->Height(), 3 * oneLine) << "wrapped to several lines";
    label->SetAutoSize(false);
    label->SetWordWrap(false);
    label->SetAlignment(taRightJustify);
    label->SetAutoSize(true);
    label->SetBounds(200, 10, 100, 13);
    label->SetCaption("x");
    EXPECT_EQ(label->Left() + label->Width(), 300) << "a right-aligned label keeps its right edge";
}

} // namespace
