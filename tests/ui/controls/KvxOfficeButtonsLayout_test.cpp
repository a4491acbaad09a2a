// The office check box, radio button, radio group and group box as a form layout holds them: written
// with what differs from the declared defaults, read back into a new form with equal values, and written
// again the same.
#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/KvxOfficeButtons.h"

using namespace plat;

namespace {

template <class T> T* Child(TForm* Form, const std::string& Name) {
    return dynamic_cast<T*>(Form->FindComponent(Name));
}

TEST(OfficeButtonsLayout, ButtonsGroupsAndBoxesSurviveARoundTrip) {
    TTestDriver driver;
    RegisterStandardClasses();
    auto* form = NewForm<TForm>(Application);
    form->SetName("fmButtons");
    form->SetBounds(10, 10, 420, 320);

    auto* images = new TImageList(form);
    images->SetName("il_captions");

    auto* box = new ui::TKvxOfficeCheckBox(form);
    box->SetName("cb_camerasettings");
    box->SetParent(form);
    box->SetBounds(10, 10, 180, 20);
    box->SetCaption("Show <b>Camera</b> Settings");
    box->SetChecked(true);
    box->SetAlignment(taRightJustify);
    box->SetButtonVertAlign(tlCenter);
    box->SetReadOnly(true);
    box->SetEllipsis(true);
    box->SetImages(images);
    box->SetShadowColor(clNavy);
    box->SetShadowOffset(2);
    box->SetURLColor(clRed);
    box->SetReturnIsTab(true);

    auto* grayed = new ui::TKvxOfficeCheckBox(form);
    grayed->SetName("cb_grayed");
    grayed->SetParent(form);
    grayed->SetBounds(10, 40, 180, 20);
    grayed->SetState(cbGrayed);

    auto* radio = new ui::TKvxOfficeRadioButton(form);
    radio->SetName("rb_second");
    radio->SetParent(form);
    radio->SetBounds(10, 70, 180, 20);
    radio->SetGroupIndex(3);
    radio->SetChecked(true);
    radio->SetButtonVertAlign(tlBottom);

    auto* format = new ui::TKvxOfficeRadioGroup(form);
    format->SetName("rg_saveasformat");
    format->SetParent(form);
    format->SetBounds(200, 10, 153, 145);
    format->SetCaption("Format");
    for (const char* item :
         {"Text", "Excel", "HTML", "XML", "Bitmap", "Enhanced MetaFile", "Windows MetaFile"})
        format->Items()->Add(item);
    format->SetItemIndex(5);
    format->SetShadowColor(clMaroon);

    auto* columns = new ui::TKvxOfficeRadioGroup(form);
    columns->SetName("rg_columns");
    columns->SetParent(form);
    columns->SetBounds(200, 160, 200, 80);
    columns->Items()->Add("one");
    columns->Items()->Add("two");
    columns->Items()->Add("three");
    columns->SetColumns(2);
    columns->SetAlignment(taRightJustify);
    columns->SetEllipsis(true);
    columns->SetBorderStyle(ui::TKvxBorderStyle::bsDouble);
    columns->SetCtl3D(true);

    auto* group = new ui::TKvxGroupBox(form);
    group->SetName("gb_misc");
    group->SetParent(form);
    group->SetBounds(10, 160, 180, 100);
    group->SetCaption("Misc");
    group->SetBorderStyle(ui::TKvxBorderStyle::bsNone);
    group->SetCaptionPosition(ui::cpBottomCenter);
    group->SetBorderColor(clTeal);
    group->SetTransparent(false);
    group->SetRoundEdges(true);
    group->SetImages(images);
    group->SetImageIndex(0);

    const std::string text = WriteComponentToText(form);
    EXPECT_EQ(text.find("Version"), std::string::npos) << "the version is not stored";
    EXPECT_EQ(text.find("TKvxGroupButton"), std::string::npos) << "the group's buttons are its own";
    form->Free();
    driver.Pump();

    auto* copy = NewForm<TForm>(Application);
    ReadComponentFromText(text, copy);
    EXPECT_EQ(WriteComponentToText(copy), text);

    auto* b = Child<ui::TKvxOfficeCheckBox>(copy, "cb_camerasettings");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Caption(), "Show <b>Camera</b> Settings");
    EXPECT_TRUE(b->GetChecked());
    EXPECT_EQ(b->Alignment(), taRightJustify);
    EXPECT_EQ(b->ButtonVertAlign(), tlCenter);
    EXPECT_TRUE(b->ReadOnly());
    EXPECT_TRUE(b->Ellipsis());
    EXPECT_EQ(b->Images(), copy->FindComponent("il_captions"));
    EXPECT_EQ(b->ShadowColor(), clNavy);
    EXPECT_EQ(b->ShadowOffset(), 2);
    EXPECT_EQ(b->URLColor(), clRed);
    EXPECT_TRUE(b->ReturnIsTab());
    EXPECT_EQ(b->Version(), "1.1.1.1");
    auto* g = Child<ui::TKvxOfficeCheckBox>(copy, "cb_grayed");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->State(), cbGrayed);

    auto* r = Child<ui::TKvxOfficeRadioButton>(copy, "rb_second");
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->Checked());
    EXPECT_EQ(r->GroupIndex(), 3);
    EXPECT_EQ(r->ButtonVertAlign(), tlBottom);

    auto* f = Child<ui::TKvxOfficeRadioGroup>(copy, "rg_saveasformat");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->ItemIndex(), 5);
    ASSERT_EQ(f->ButtonCount(), 7);
    EXPECT_TRUE(f->Buttons(5)->Checked());
    EXPECT_EQ(f->Buttons(6)->Caption(), "Windows MetaFile");
    EXPECT_EQ(f->ShadowColor(), clMaroon);
    EXPECT_EQ(f->Version(), "1.1.1.1");
    copy->Show();
    driver.Pump();
    EXPECT_EQ(f->Buttons(6)->BoundsRect(), TRect(8, 122, 151, 140)) << "arranged once the window exists";

    auto* c = Child<ui::TKvxOfficeRadioGroup>(copy, "rg_columns");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Columns(), 2);
    EXPECT_EQ(c->ItemIndex(), -1);
    EXPECT_EQ(c->Alignment(), taRightJustify);
    EXPECT_TRUE(c->Ellipsis());
    EXPECT_EQ(c->BorderStyle(), ui::TKvxBorderStyle::bsDouble);
    EXPECT_TRUE(c->Ctl3D());

    auto* m = Child<ui::TKvxGroupBox>(copy, "gb_misc");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Caption(), "Misc");
    EXPECT_EQ(m->BorderStyle(), ui::TKvxBorderStyle::bsNone);
    EXPECT_EQ(m->CaptionPosition(), ui::cpBottomCenter);
    EXPECT_EQ(m->BorderColor(), clTeal);
    EXPECT_FALSE(m->Transparent());
    EXPECT_TRUE(m->RoundEdges());
    EXPECT_EQ(m->ImageIndex(), 0);
    EXPECT_EQ(m->Version(), "1.0.0.0");
    copy->Free();
}

TEST(OfficeButtonsLayout, AStreamedIndexBeyondTheItemsIsCutWhenTheItemsChange) {
    TTestDriver driver;
    RegisterStandardClasses();
    auto* form = NewForm<TForm>(Application);
    ReadComponentFromText("object fmOdd: TForm\n"
                          "  object rg_odd: TKvxOfficeRadioGroup\n"
                          "    Left = 8\n"
                          "    Top = 8\n"
                          "    Width = 153\n"
                          "    Height = 145\n"
                          "    ItemIndex = 9\n"
                          "    Items.Strings = (\n"
                          "      'a'\n"
                          "      'b')\n"
                          "  end\n"
                          "end\n",
                          form);
    auto* g = dynamic_cast<ui::TKvxOfficeRadioGroup*>(form->FindComponent("rg_odd"));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->ItemIndex(), 9) << "kept as read";
    EXPECT_EQ(g->ButtonCount(), 2);
    g->Items()->Add("c");
    EXPECT_EQ(g->ItemIndex(), 2);
    EXPECT_TRUE(g->Buttons(2)->Checked());
    form->Free();
}

} // namespace
