// One of each input control and panel on one form, as the camera window and the dialogs hold them:
// written as a layout, read back into a new form and written again the same.
#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/ControlsClasses.h"

using namespace plat;

namespace {

const char* const kControls[] = {
    "TKvxPanel",
    "TKvxPanelGroup",
    "TKvxPanelStyler",
    "TKvxTrackBar",
    "TKvxSpinEdit",
    "TKvxSpinButton",
    "TKvxEdit",
    "TKvxEditBtn",
    "TKvxDirectoryEdit",
    "TKvxFileNameEdit",
    "TKvxComboBox",
    "TKvxOfficeCheckBox",
    "TKvxOfficeRadioButton",
    "TKvxOfficeRadioGroup",
    "TKvxGroupBox",
    "THTMLCheckList",
    "TKvxSplitter",
};

TEST(AllControlsLayout, OneOfEachLoadsSavesAndComparesEqual) {
    TTestDriver driver;
    RegisterStandardClasses();
    ui::RegisterControlsClasses();
    auto* form = NewForm<TForm>(Application);
    form->SetName("fmAll");
    form->SetBounds(0, 0, 800, 600);
    int top = 4;
    for (const char* name : kControls) {
        const TClassInfo* cls = GetClass(name);
        ASSERT_NE(cls, nullptr) << name << " is not registered for layouts";
        auto* c = static_cast<TComponent*>(cls->Create(form));
        c->SetName(std::string("c") + (name + 1));
        if (auto* control = dynamic_cast<TControl*>(c)) {
            control->SetParent(form);
            control->SetBounds(8, top, 180, 40);
            top += 44;
        }
    }
    const std::string text = WriteComponentToText(form);
    form->Free(); // the copy takes the same form name
    auto* copy = NewForm<TForm>(Application);
    ReadComponentFromText(text, copy);
    for (const char* name : kControls) {
        TComponent* c = copy->FindComponent(std::string("c") + (name + 1));
        ASSERT_NE(c, nullptr) << name;
        EXPECT_EQ(c->ClassName(), name);
    }
    EXPECT_EQ(WriteComponentToText(copy), text);
    copy->Free();
}

} // namespace
