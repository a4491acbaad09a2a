// The input controls as a form layout holds them: written with the values that differ from the declared
// defaults, read back into a new form with equal values, and written again the same.
#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "ui/controls/KvxCombo.h"
#include "ui/controls/KvxSpin.h"

using namespace plat;

namespace {

template <class T> T* Child(TForm* Form, const std::string& Name) {
    return dynamic_cast<T*>(Form->FindComponent(Name));
}

TEST(ControlsLayout, SpinAndComboSurviveARoundTrip) {
    TTestDriver driver;
    auto* form = NewForm<TForm>(Application);
    form->SetName("fmControls");
    form->SetBounds(10, 10, 400, 300);

    auto* frames = new ui::TKvxSpinEdit(form);
    frames->SetName("sp_frames");
    frames->SetParent(form);
    frames->SetBounds(150, 20, 80, 21);
    frames->SetMinValue(1);
    frames->SetMaxValue(32);
    frames->SetValue(12);
    frames->SetEditorEnabled(false);
    frames->SetIncrementPage(4);
    frames->SetFlat(true);
    frames->SetFlatLineColor(clNavy);
    frames->SetFocusColor(clYellow);
    frames->SetLabelCaption("Frames per transfer");
    frames->SetLabelPosition(ui::lpLeftCenter);
    frames->SetLabelTransparent(true);
    frames->SetDirection(ui::spHorizontal);

    auto* ratio = new ui::TKvxSpinEdit(form);
    ratio->SetName("sp_ratio");
    ratio->SetParent(form);
    ratio->SetBounds(150, 60, 80, 21);
    ratio->SetSpinType(ui::sptFloat);
    ratio->SetPrecision(2);
    ratio->SetIncrementFloat(0.25);
    ratio->SetMinFloatValue(-5);
    ratio->SetMaxFloatValue(5);
    ratio->SetFloatValue(1.5);
    ratio->SetEditAlign(ui::spin::eaRight);

    auto* mask = new ui::TKvxSpinEdit(form);
    mask->SetName("sp_mask");
    mask->SetParent(form);
    mask->SetBounds(150, 100, 80, 21);
    mask->SetSpinType(ui::sptHex);
    mask->SetHexValue(0xBEEF);

    auto* mode = new ui::TKvxComboBox(form);
    mode->SetName("cb_mode");
    mode->SetParent(form);
    mode->SetBounds(150, 140, 120, 21);
    mode->SetStyle(csDropDownList);
    mode->Items()->Add("ONE_SHOT");
    mode->Items()->Add("FREE_RUNNING");
    mode->SetItemIndex(1);
    mode->SetFlat(true);
    mode->SetEtched(true);
    mode->SetButtonWidth(24);
    mode->SetDropWidth(200);
    mode->SetFocusBorderColor(clMaroon);
    mode->SetLabelCaption("Operation mode");
    mode->SetLabelPosition(ui::lpLeftCenter);

    auto* buttons = new ui::TKvxSpinButton(form);
    buttons->SetName("sb_pair");
    buttons->SetParent(form);
    buttons->SetBounds(300, 20, 15, 30);
    buttons->SetFocusControl(frames);

    const std::string text = WriteComponentToText(form);
    form->Free();
    driver.Pump();

    auto* copy = NewForm<TForm>(Application);
    ReadComponentFromText(text, copy);
    EXPECT_EQ(WriteComponentToText(copy), text);

    auto* f = Child<ui::TKvxSpinEdit>(copy, "sp_frames");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Value(), 12);
    EXPECT_EQ(f->MaxValue(), 32);
    EXPECT_FALSE(f->EditorEnabled());
    EXPECT_TRUE(f->Flat());
    EXPECT_EQ(f->BorderStyle(), bsNone) << "the flat look is applied after loading";
    EXPECT_EQ(f->Direction(), ui::spHorizontal);
    EXPECT_EQ(f->Button()->Width(), 20);
    ASSERT_NE(f->EditLabel(), nullptr);
    EXPECT_EQ(f->LabelCaption(), "Frames per transfer");
    EXPECT_EQ(f->EditLabel()->Parent(), copy);
    EXPECT_EQ(f->Version(), "1.4.4.4");
    auto* r = Child<ui::TKvxSpinEdit>(copy, "sp_ratio");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Text(), "1.50");
    EXPECT_EQ(r->FloatValue(), 1.5);
    EXPECT_EQ(r->EditAlign(), ui::spin::eaRight);
    auto* m = Child<ui::TKvxSpinEdit>(copy, "sp_mask");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Text(), "0xBEEF") << "the stored value is written once loading ended";
    auto* c = Child<ui::TKvxComboBox>(copy, "cb_mode");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->ItemIndex(), 1);
    EXPECT_EQ(c->ButtonWidth(), 24);
    EXPECT_EQ(c->DropDownWidth(), 200);
    EXPECT_TRUE(c->Etched());
    EXPECT_EQ(c->LabelCaption(), "Operation mode");
    EXPECT_EQ(c->Version(), "1.2.5.1");
    auto* b = Child<ui::TKvxSpinButton>(copy, "sb_pair");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->FocusControl(), f);
    copy->Free();
}

} // namespace
