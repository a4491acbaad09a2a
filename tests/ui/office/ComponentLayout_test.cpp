// A window's layout as the program's forms hold them: stylers, owner-drawn menus and glow buttons in one
// text, and the one style value that reaches all of them from the application styler.
#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/StandardClasses.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/drawing/KvxMenuStylers.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/OfficeClasses.h"

using namespace plat;
using namespace ui;

namespace {

const char* const kLayout = "object fmChart: TForm\n"
                            "  Left = 0\n"
                            "  Top = 0\n"
                            "  Width = 400\n"
                            "  Height = 300\n"
                            "  Menu = MainMenu1\n"
                            "  object KvxFormStyler1: TKvxFormStyler\n"
                            "    Style = tsOffice2007Luna\n"
                            "  end\n"
                            "  object MenuStyler1: TKvxMenuOfficeStyler\n"
                            "    Style = osOffice2007Luna\n"
                            "  end\n"
                            "  object MainMenu1: TKvxMainMenu\n"
                            "    MenuStyler = MenuStyler1\n"
                            "    object File1: TMenuItem\n"
                            "      Caption = '&File'\n"
                            "    end\n"
                            "  end\n"
                            "  object btnClose: TKvxGlowButton\n"
                            "    Left = 8\n"
                            "    Top = 8\n"
                            "    Width = 100\n"
                            "    Height = 25\n"
                            "    Caption = 'Close'\n"
                            "    ModalResult = 2\n"
                            "  end\n"
                            "end\n";

class ComponentLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandardClasses();
        RegisterOfficeClasses();
    }
    TForm* Load(const std::string& Text) {
        auto* form = NewForm<TForm>(Application);
        ReadComponentFromText(Text, form);
        return form;
    }
    TTestDriver Driver;
};

TEST_F(ComponentLayoutTest, StylerMenusAndGlowButtonsLoadSaveAndCompareEqual) {
    TForm* first = Load(kLayout);
    ASSERT_NE(dynamic_cast<TKvxGlowButton*>(first->FindComponent("btnClose")), nullptr);
    ASSERT_NE(dynamic_cast<TKvxMainMenu*>(first->FindComponent("MainMenu1")), nullptr);
    const std::string saved = WriteComponentToText(first);
    first->Free();
    TForm* second = Load(saved);
    EXPECT_EQ(WriteComponentToText(second), saved);
    second->Free();
}

TEST_F(ComponentLayoutTest, OneStyleOnTheApplicationStylerReachesEveryStyledComponent) {
    TForm* form = Load(kLayout);
    auto* app = new TKvxAppStyler(nullptr);
    auto* formStyler = static_cast<TKvxFormStyler*>(form->FindComponent("KvxFormStyler1"));
    auto* menuStyler = static_cast<TKvxMenuOfficeStyler*>(form->FindComponent("MenuStyler1"));
    auto* button = static_cast<TKvxGlowButton*>(form->FindComponent("btnClose"));
    formStyler->SetAppStyle(app);

    // Each styled component takes the value in its own terms; compare with one styled directly.
    TKvxGlowButton reference(nullptr);
    reference.ApplyStyle(tsWindowsXP);
    app->SetStyle(tsWindowsXP);
    EXPECT_EQ(formStyler->Style(), tsWindowsXP);
    EXPECT_EQ(menuStyler->Style(), osOfficeXP);
    EXPECT_EQ(button->Appearance()->Color(), reference.Appearance()->Color());
    EXPECT_EQ(button->Appearance()->BorderColor(), reference.Appearance()->BorderColor());

    // tsCustom is stored and restyles nothing.
    app->SetStyle(tsCustom);
    EXPECT_EQ(menuStyler->Style(), osOfficeXP);
    EXPECT_EQ(button->Appearance()->Color(), reference.Appearance()->Color());

    delete app;
    EXPECT_EQ(formStyler->AppStyle(), nullptr) << "a styler that goes leaves its clients standing alone";
    form->Free();
}

} // namespace
