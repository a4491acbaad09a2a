#include "ui/controls/KvxCombo.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/SystemServices.h"

using namespace plat;
using ui::TKvxComboBox;

namespace {

class ComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 420, 300);
        Form->SetColor(TColor(0xE0D0C0));
        Combo = MakeCombo(130, 20);
        Combo->OnDropDown = [this](TObject*) { Log += "drop;"; };
        Combo->OnCloseUp = [this](TObject*) { Log += "close;"; };
        Combo->OnDropUp = [this](TObject*) { Log += "dropup;"; };
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(130, 240, 100, 21);
        Form->Show();
        Other->SetFocus();
        Driver.Pump();
    }
    TKvxComboBox* MakeCombo(int x, int y) {
        auto* c = new TKvxComboBox(Form);
        c->SetParent(Form);
        c->SetBounds(x, y, 140, 21);
        c->SetStyle(csDropDownList);
        for (const char* s : {"ONE_SHOT", "FREE_RUNNING", "SOFT_TRIGGER"})
            c->Items()->Add(s);
        c->SetItemIndex(1);
        return c;
    }
    // A pixel of the combo's window (its border included).
    TColor At(TKvxComboBox* c, int x, int y) {
        auto image = Driver.Render(c);
        return TTestDriver::PixelOf(*image, x, y);
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxComboBox* Combo = nullptr;
    TEdit* Other = nullptr;
    std::string Log;
};

TEST_F(ComboTest, ButtonWidthOnlyWithinItsRange) {
    EXPECT_EQ(Combo->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL) + 2);
    struct Case {
        int Value, Expect;
    };
    const int initial = Combo->ButtonWidth();
    for (const Case& c : {Case{13, initial}, Case{14, 14}, Case{33, 14}, Case{32, 32}}) {
        Combo->SetButtonWidth(c.Value);
        EXPECT_EQ(Combo->ButtonWidth(), c.Expect) << c.Value;
    }
}

TEST_F(ComboTest, FlatLookDrawsItsFrameLineAndButton) {
    Combo->SetFlat(true);
    Driver.Pump();
    EXPECT_TRUE(Combo->OwnFrame());
    EXPECT_EQ(Combo->Color(), Form->Color()) << "a flat combo takes its parent's colour";
    const int w = Combo->Width(), h = Combo->Height();
    auto image = Driver.Render(Combo);
    // A black line along the bottom from the left edge to 20 pixels before the right one.
    EXPECT_EQ(TTestDriver::PixelOf(*image, 0, h - 1), clBlack);
    EXPECT_EQ(TTestDriver::PixelOf(*image, w - 21, h - 1), clBlack);
    EXPECT_NE(TTestDriver::PixelOf(*image, w - 19, h - 1), clBlack);
    // The frame rings take the parent's colour, not the platform's sunken edge.
    EXPECT_EQ(TTestDriver::PixelOf(*image, 5, 0), ColorToRGB(Form->Color()));
    EXPECT_EQ(TTestDriver::PixelOf(*image, 0, 5), ColorToRGB(Form->Color()));
    // Not active: the button is a plain face; hovered: a raised edge with a white top-left highlight.
    const TPoint rim(w - Combo->ButtonWidth() + 1, 3);
    EXPECT_EQ(TTestDriver::PixelOf(*image, rim.X, rim.Y), ColorToRGB(clBtnFace));
    Driver.MoveTo(TTestDriver::ScreenPoint(Combo, TPoint(10, 10)));
    EXPECT_TRUE(Combo->Hot());
    EXPECT_FALSE(Combo->ButtonHot());
    auto hot = Driver.Render(Combo);
    EXPECT_NE(TTestDriver::PixelOf(*hot, rim.X, rim.Y), ColorToRGB(clBtnFace));
    TTestDriver::SavePng(*image, TestOutputDir("controls") + "/combo_flat.png");
    TTestDriver::SavePng(*hot, TestOutputDir("controls") + "/combo_flat_hot.png");
    Combo->SetFlatLineColor(clNone);
    EXPECT_NE(At(Combo, 0, h - 1), clBlack);
}

TEST_F(ComboTest, FlatComboDisabledTakesItsParentsColourUntilEnabled) {
    Combo->SetColorProp(TColor(0xCCFFFF));
    Combo->SetFlatParentColor(false);
    Combo->SetFlat(true);
    Combo->SetColorProp(TColor(0xCCFFFF));
    Combo->SetEnabled(false);
    EXPECT_EQ(Combo->Color(), Form->Color());
    Combo->SetEnabled(true);
    EXPECT_EQ(Combo->Color(), TColor(0xCCFFFF));
}

TEST_F(ComboTest, DropWidthAndListEvents) {
    Combo->SetWidth(65);
    Combo->SetDropWidth(300);
    Driver.Click(Combo);
    ASSERT_TRUE(Combo->DroppedDown());
    EXPECT_EQ(Combo->ListPart()->Width(), 300);
    EXPECT_EQ(Log, "drop;") << "opening fires only the platform's event";
    Driver.PressKey(VK_ESCAPE);
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Log, "drop;close;dropup;");
    Combo->SetDropWidth(0);
    Driver.Click(Combo);
    ASSERT_TRUE(Combo->DroppedDown());
    EXPECT_EQ(Combo->ListPart()->Width(), 65) << "0 gives the list its own width";
    Driver.PressKey(VK_ESCAPE);
}

TEST_F(ComboTest, LabelFollowsEnabledAndVisible) {
    Combo->SetLabelCaption("Mode");
    Combo->SetLabelPosition(ui::lpLeftCenter);
    TLabel* label = Combo->ComboLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Left() + label->Width(), Combo->Left() - 4);
    Combo->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    Combo->SetEnabled(true);
    EXPECT_TRUE(label->Enabled());
    Combo->SetLabelAlwaysEnabled(true);
    Combo->SetEnabled(false);
    EXPECT_TRUE(label->Enabled());
    Combo->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    Combo->SetVisible(true);
    EXPECT_TRUE(label->Visible());
}

TEST_F(ComboTest, FocusColourAndFocusFrame) {
    Combo->SetFocusColor(clYellow);
    Combo->SetFocusBorderColor(clRed);
    Combo->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Combo->Color(), clYellow);
    EXPECT_TRUE(Combo->OwnFrame());
    EXPECT_EQ(At(Combo, 10, 0), clRed);
    Other->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Combo->Color(), clWindow);
    EXPECT_FALSE(Combo->OwnFrame());
    EXPECT_NE(At(Combo, 10, 0), clRed);
}

TEST_F(ComboTest, EditableComboTakesTheFocusColourThroughItsEditPart) {
    Combo->SetStyle(csDropDown);
    Combo->SetFocusColor(clYellow);
    Driver.Click(Combo->EditPart());
    EXPECT_EQ(Combo->Color(), clYellow);
    EXPECT_EQ(Combo->EditPart()->Color(), clYellow) << "the text part shows the combo's colour";
    Driver.Click(Other);
    EXPECT_EQ(Combo->Color(), clWindow);
    EXPECT_EQ(Combo->EditPart()->Color(), clWindow);
}

TEST_F(ComboTest, ThemedButtonFollowsThePointer) {
    bool saved = VisualStylesEnabled();
    struct Restore {
        bool Saved;
        ~Restore() { SetVisualStylesEnabled(Saved); }
    } restore{saved};
    Combo->SetFlat(true);
    const int w = Combo->Width();
    const TPoint face(w - Combo->ButtonWidth() / 2, 3);
    const TColor classic = At(Combo, face.X, face.Y);
    SetVisualStylesEnabled(true);
    Combo->Invalidate();
    const TColor normal = At(Combo, face.X, face.Y);
    EXPECT_NE(normal, classic) << "the theme draws the button";
    Driver.MoveTo(TTestDriver::ScreenPoint(Combo, TPoint(Combo->ClientWidth() - 4, 8)));
    EXPECT_TRUE(Combo->ButtonHot());
    EXPECT_NE(At(Combo, face.X, face.Y), normal) << "hot over the button";
    Driver.MoveTo(TTestDriver::ScreenPoint(Form, TPoint(5, 200)));
    // Disabled without the platform's border: a thin blue-grey frame.
    Combo->SetDisabledBorder(false);
    Combo->SetFlat(false);
    Combo->SetEnabled(false);
    EXPECT_TRUE(Combo->OwnFrame());
    EXPECT_EQ(At(Combo, 10, 0), TColor(0xB99D7F));
    Combo->SetEnabled(true);
    Combo->SetFlat(true);
    SetVisualStylesEnabled(false);
    Combo->Invalidate();
    EXPECT_EQ(At(Combo, face.X, face.Y), classic) << "the classic look at the next paint";
}

TEST_F(ComboTest, PicturesOfTheLooks) {
    auto* etched = MakeCombo(130, 60);
    etched->SetFlat(true);
    etched->SetEtched(true);
    etched->SetLabelCaption("Etched");
    etched->SetLabelPosition(ui::lpLeftCenter);
    auto* focused = MakeCombo(130, 100);
    focused->SetStyle(csDropDown);
    focused->SetFocusColor(TColor(0xE0FFFF));
    focused->SetFocusBorderColor(TColor(0x996633));
    focused->SetLabelCaption("Focused");
    focused->SetLabelPosition(ui::lpLeftCenter);
    auto* disabled = MakeCombo(130, 140);
    disabled->SetFlat(true);
    disabled->SetLabelCaption("Disabled");
    disabled->SetLabelPosition(ui::lpLeftCenter);
    disabled->SetEnabled(false);
    Combo->SetFlat(true);
    Combo->SetLabelCaption("Flat");
    Combo->SetLabelPosition(ui::lpLeftCenter);
    Combo->SetLabelTransparent(true);
    Driver.MoveTo(TTestDriver::ScreenPoint(etched, TPoint(10, 10)));
    focused->SetFocus();
    Driver.Pump();
    auto image = Driver.Render(Form);
    TTestDriver::SavePng(*image, TestOutputDir("controls") + "/combos.png");
    // The disabled flat combo shows its parent's colour inside its frame.
    EXPECT_EQ(At(disabled, 110, 4), ColorToRGB(Form->Color()));
    EXPECT_FALSE(disabled->ComboLabel()->Enabled());
}

} // namespace
