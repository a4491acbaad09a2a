// The check list, the file-name edit and the gradient splitters as the frame import dialog and the chart
// windows store them: written, read back into a new form with equal values, and written again the same.
#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Panel.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/HTMLChkList.h"
#include "ui/controls/KvxFileNameEdit.h"
#include "ui/controls/KvxSplitter.h"

using namespace plat;
using namespace ui;

namespace {

template <class T> T* Child(TForm* Form, const std::string& Name) {
    return dynamic_cast<T*>(Form->FindComponent(Name));
}

TEST(ChecklistLayout, CheckListFileEditAndSplittersSurviveARoundTrip) {
    TTestDriver driver;
    RegisterStandardClasses(); // the chart window's side panel
    auto* form = NewForm<TForm>(Application);
    form->SetName("fmImport");
    form->SetBounds(10, 10, 500, 360);

    auto* list = new THTMLCheckList(form);
    list->SetName("SampleCheckList");
    list->SetParent(form);
    list->SetBounds(10, 10, 200, 150);
    list->SetItemHeight(16);
    list->SelectionColors()->SetBorderColor(clSilver);
    list->SelectionColors()->SetColorFrom(0xEBFDFF);
    list->SelectionColors()->SetColorTo(0xABEBFF);
    list->SelectionColors()->SetColorMirrorFrom(0x69D6FF);
    list->SelectionColors()->SetColorMirrorTo(0x96E4FF);
    list->SetSelectionFontColor(clBlack);
    list->SetAllowGrayed(true);
    list->Items()->Add("Frame <b>1</b>");

    auto* file = new TKvxFileNameEdit(form);
    file->SetName("ed_file");
    file->SetParent(form);
    file->SetBounds(10, 200, 260, 21);
    file->SetFilter("XML File|*.xml");
    file->SetDefaultExt("*.xml");
    file->SetLabelCaption("File:");
    file->SetLabelPosition(lpTopLeft);

    auto* side = new TPanel(form);
    side->SetName("pn_side");
    side->SetParent(form);
    side->SetAlign(alRight);
    side->SetWidth(150);
    auto* right = new TKvxSplitter(form);
    right->SetName("KvxSplitter1");
    right->SetParent(form);
    right->SetAlign(alRight);
    right->SetBounds(300, 0, 3, 100);
    auto* top = new TKvxSplitter(form);
    top->SetName("KvxSplitter2");
    top->SetParent(side);
    top->SetAlign(alTop);
    top->SetBounds(0, 100, 100, 3);
    for (TKvxSplitter* s : {right, top}) {
        s->Appearance()->SetColor(0xFAF1E9);
        s->Appearance()->SetColorTo(0xEDD8C7);
        s->Appearance()->SetColorHot(0xD3F8FF);
        s->Appearance()->SetColorHotTo(0x76C1FF);
    }
    top->SetGripStyle(kvxsplitter::sgSingleLine);
    top->SetDefaultSize(120);

    const std::string text = WriteComponentToText(form);
    form->Free();
    driver.Pump();

    auto* copy = NewForm<TForm>(Application);
    ReadComponentFromText(text, copy);
    EXPECT_EQ(WriteComponentToText(copy), text);

    auto* l = Child<THTMLCheckList>(copy, "SampleCheckList");
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Style(), lbOwnerDrawFixed);
    EXPECT_EQ(l->SelectionColors()->ColorMirrorFrom(), 0x69D6FF);
    EXPECT_EQ(l->SelectionColors()->BorderColor(), clSilver);
    EXPECT_TRUE(l->AllowGrayed());
    EXPECT_EQ(l->Items()->Get(0), "Frame <b>1</b>");

    auto* f = Child<TKvxFileNameEdit>(copy, "ed_file");
    ASSERT_NE(f, nullptr);
    // A new edit's values differ from the stream defaults, so they are stored and come back.
    EXPECT_NE(text.find("FilterIndex = 0"), std::string::npos);
    EXPECT_NE(text.find("DialogOptions = []"), std::string::npos);
    EXPECT_EQ(f->FilterIndex(), 0);
    EXPECT_EQ(f->DialogOptions(), 0u);
    EXPECT_EQ(f->Filter(), "XML File|*.xml");
    EXPECT_EQ(text.find("Precision"), std::string::npos);

    auto* t = Child<TKvxSplitter>(copy, "KvxSplitter2");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Appearance()->ColorHotTo(), 0x76C1FF);
    EXPECT_EQ(t->GripStyle(), kvxsplitter::sgSingleLine);
    EXPECT_EQ(t->DefaultSize(), 120);
    EXPECT_EQ(t->Align(), alTop);
    copy->Free();
    driver.Pump();
}

} // namespace
