// The typed edits in a form layout: written as text and as a binary stream and read back, every
// published value is the same again.
#include <gtest/gtest.h>

#include <memory>

#include "EditTestUtil.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Stream.h"
#include "ui/controls/KvxDirectoryEdit.h"

using namespace plat;
using namespace ui;
using namespace edittest;

namespace {

// Every published scalar value of a component and of its object properties, by name.
void Collect(const TObject* o, const std::string& prefix,
             std::vector<std::pair<std::string, std::string>>& out, int depth = 0) {
    for (const TPropInfo* p : GetPropList(o->ClassType())) {
        std::string name = prefix + std::string(p->Name);
        switch (p->Kind) {
        case pkObject:
            if (depth < 2)
                if (TPersistent* sub = GetObjectProp(o, p))
                    Collect(sub, name + ".", out, depth + 1);
            break;
        case pkFloat:
            out.emplace_back(name, std::to_string(GetFloatProp(o, p)));
            break;
        case pkString:
            out.emplace_back(name, GetStrProp(o, p));
            break;
        case pkEvent:
        case pkCollection:
        case pkComponent:
            break;
        default:
            out.emplace_back(name, std::to_string(GetOrdProp(o, p)));
        }
    }
}

class EditLayoutTest : public EditFixture {};

TEST_F(EditLayoutTest, EditsSurviveTextAndBinaryLayouts) {
    auto* form = NewForm<TForm>(Application);
    form->SetName("LayoutForm");
    auto* number = new TKvxEdit(form);
    number->SetName("Calibration");
    number->SetParent(form);
    number->SetBounds(100, 10, 120, 21);
    number->SetEditType(etFloat);
    number->SetPrecision(11);
    number->SetPrecisionDisplay(pdShortest);
    number->SetSigned(true);
    number->SetPrefix("x = ");
    number->SetSuffix(" nm");
    number->SetFloatValue(-0.125);
    number->SetLabelCaption("Value");
    number->SetLabelPosition(lpRightCenter);
    number->SetLabelMargin(6);
    number->SetEmptyText("Pixel");
    number->SetFocusColor(0xE0FFFF);
    number->SetShowError(true);
    number->SetErrorMarkerLen(3);
    number->SetFlat(true);
    number->SetSoftBorder(true);
    number->Lookup()->SetEnabled(true);
    number->Lookup()->DisplayList()->Add("one");
    number->Lookup()->SetSeparator(',');
    number->Persistence()->SetSection("Edits");
    number->Persistence()->SetLocation(plRegistry);
    auto* hex = new TKvxEdit(form);
    hex->SetName("Mask");
    hex->SetParent(form);
    hex->SetEditType(etHex);
    hex->SetTextProp("ff");
    hex->SetEditAlign(eaRight);
    auto* button = new TKvxEditBtn(form);
    button->SetName("Pick");
    button->SetParent(form);
    button->SetButtonStyle(edbtn::bsDropDown);
    button->SetButtonHint("Choose");
    button->SetEditorEnabled(false);
    auto* folder = new TKvxDirectoryEdit(form);
    folder->SetName("QuickSave");
    folder->SetParent(form);
    folder->SetBrowseDialogText("Select Directory");
    folder->SetAllowNewFolder(false);
    folder->SetTextProp("/tmp/frames");
    folder->SetLabelCaption("Directory");

    std::string text = WriteComponentToText(form);
    EXPECT_EQ(text.find("EditType = etString"), std::string::npos); // defaults are not written
    EXPECT_EQ(text.find("QuickSave.EditType"), std::string::npos);

    auto readText = NewForm<TForm>(Application);
    ReadComponentFromText(text, readText);
    TMemoryStream binary;
    WriteComponent(binary, form);
    binary.SetPosition(0);
    auto readBinary = NewForm<TForm>(Application);
    ReadComponentFromStream(binary, readBinary);

    for (const char* name : {"Calibration", "Mask", "Pick", "QuickSave"}) {
        std::vector<std::pair<std::string, std::string>> want, fromText, fromBinary;
        Collect(form->FindComponent(name), "", want);
        ASSERT_NE(readText->FindComponent(name), nullptr) << name;
        Collect(readText->FindComponent(name), "", fromText);
        Collect(readBinary->FindComponent(name), "", fromBinary);
        EXPECT_EQ(fromText, want) << name;
        EXPECT_EQ(fromBinary, want) << name;
    }
    auto* back = dynamic_cast<TKvxEdit*>(readText->FindComponent("Calibration"));
    EXPECT_EQ(back->WindowText(), "x = -0.125 nm");
    EXPECT_DOUBLE_EQ(back->FloatValue(), -0.125);
    ASSERT_NE(back->EditLabel(), nullptr);
    EXPECT_EQ(back->EditLabel()->Left(), back->Left() + back->Width() + 6);
    form->Free();
    readText->Free();
    readBinary->Free();
}

} // namespace
