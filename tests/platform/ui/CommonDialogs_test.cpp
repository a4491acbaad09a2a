#include "platform/ui/Dialogs.h"

#include <gtest/gtest.h>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/PrintDialog.h"

using namespace plat;

namespace {

// A form that places the dialogs in its layout, as the program's windows do.
class TfmWithDialogs : public TForm {
    PLAT_CLASS(TfmWithDialogs)
public:
    explicit TfmWithDialogs(TComponent* AOwner) : TForm(AOwner) {}
    TOpenDialog* OpenDialog1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TColorDialog* ColorDialog1 = nullptr;
    TFontDialog* FontDialog1 = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;
    TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;
};

PLAT_CLASS_INFO_CREATABLE(TfmWithDialogs, TForm)

PLAT_PROPERTIES(TfmWithDialogs) {
    props.Field("OpenDialog1", &TfmWithDialogs::OpenDialog1);
    props.Field("SaveDialog1", &TfmWithDialogs::SaveDialog1);
    props.Field("ColorDialog1", &TfmWithDialogs::ColorDialog1);
    props.Field("FontDialog1", &TfmWithDialogs::FontDialog1);
    props.Field("PrintDialog1", &TfmWithDialogs::PrintDialog1);
    props.Field("PrinterSetupDialog1", &TfmWithDialogs::PrinterSetupDialog1);
}

const char* const kLayout = R"(object fmWithDialogs: TfmWithDialogs
  Left = 300
  Top = 200
  Caption = 'Main'
  ClientHeight = 400
  ClientWidth = 600
  object OpenDialog1: TOpenDialog
    DefaultExt = '*.xml'
    Filter = 'XML|*.xml'
  end
  object SaveDialog1: TSaveDialog
    DefaultExt = '*.xml'
    Filter = 'Text|*.txt|XML|*.xml'
    FilterIndex = 2
    Options = [ofOverwritePrompt, ofHideReadOnly]
    Title = 'Save chart'
  end
  object ColorDialog1: TColorDialog
    Color = clRed
    CustomColors.Strings = (
      'ColorA=00FF00')
    Options = [cdFullOpen]
  end
  object FontDialog1: TFontDialog
    MinFontSize = 6
    MaxFontSize = 30
    Options = [fdEffects, fdLimitSize]
  end
  object PrintDialog1: TPrintDialog
    Options = [poPageNums, poSelection]
    PrintRange = prSelection
  end
  object PrinterSetupDialog1: TPrinterSetupDialog
  end
end
)";

class CommonDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterClass(TfmWithDialogs::StaticClass());
        RegisterFormResource("TfmWithDialogs", kLayout);
    }
    TTestDriver Driver;
};

TEST_F(CommonDialogsTest, LayoutsCreateTheDialogsWithTheirProperties) {
    auto* form = NewForm<TfmWithDialogs>(Application);
    ASSERT_NE(form->OpenDialog1, nullptr);
    ASSERT_NE(form->SaveDialog1, nullptr);
    ASSERT_NE(form->ColorDialog1, nullptr);
    ASSERT_NE(form->FontDialog1, nullptr);
    ASSERT_NE(form->PrintDialog1, nullptr);
    ASSERT_NE(form->PrinterSetupDialog1, nullptr);
    EXPECT_EQ(form->OpenDialog1->Filter(), "XML|*.xml");
    EXPECT_EQ(form->OpenDialog1->Options(), ofHideReadOnly | ofEnableSizing) << "the default options";
    EXPECT_EQ(form->SaveDialog1->Options(), ofOverwritePrompt | ofHideReadOnly);
    EXPECT_EQ(form->SaveDialog1->FilterIndex(), 2);
    EXPECT_EQ(form->SaveDialog1->Title(), "Save chart");
    EXPECT_EQ(form->ColorDialog1->Color(), clRed);
    EXPECT_EQ(form->ColorDialog1->CustomColors()->Get(0), "ColorA=00FF00");
    EXPECT_EQ(form->ColorDialog1->Options(), cdFullOpen);
    EXPECT_EQ(form->FontDialog1->Options(), fdEffects | fdLimitSize);
    EXPECT_EQ(form->FontDialog1->MaxFontSize(), 30);
    EXPECT_EQ(form->PrintDialog1->Options(), poPageNums | poSelection);
    EXPECT_EQ(form->PrintDialog1->PrintRange(), prSelection);
}

TEST_F(CommonDialogsTest, DialogsShowOverTheirFormAndReportShowAndClose) {
    auto* form = NewForm<TfmWithDialogs>(Application);
    form->Show();
    Driver.Pump();
    std::vector<std::string> events;
    TColorDialog* dialog = form->ColorDialog1;
    dialog->OnShow = [&](TObject* sender) { events.push_back(sender == dialog ? "show" : "?"); };
    dialog->OnClose = [&](TObject* sender) { events.push_back(sender == dialog ? "close" : "?"); };
    TRect shown;
    Driver.AnswerNextModal([&](TCustomForm& f) {
        events.push_back("modal");
        shown = f.BoundsRect();
        f.SetModalResult(mrCancel);
    });
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(events, (std::vector<std::string>{"show", "modal", "close"}));
    TRect owner = form->BoundsRect();
    EXPECT_NEAR((shown.Left + shown.Right) / 2, (owner.Left + owner.Right) / 2, 1);
    EXPECT_NEAR((shown.Top + shown.Bottom) / 2, (owner.Top + owner.Bottom) / 2, 1);
}

} // namespace
