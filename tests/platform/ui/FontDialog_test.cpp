#include "platform/ui/FontDialog.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Screen.h"

using namespace plat;

namespace {

class FontDialogTest : public ::testing::Test {
protected:
    template <class T> static T* Find(TCustomForm& form, const char* name) {
        auto* c = dynamic_cast<T*>(form.FindComponent(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void SetEdit(TCustomForm& form, const char* name, const std::string& text) {
        auto* e = Find<TEdit>(form, name);
        e->SetFocus();
        e->SelectAll();
        Driver.Type(text);
    }
    void ClickItem(TCustomForm& form, const char* list, const std::string& text) {
        auto* l = Find<TListBox>(form, list);
        int i = l->Items()->IndexOf(text);
        ASSERT_GE(i, 0) << text;
        l->MakeVisible(i);
        TRect r = l->ItemRect(i);
        Driver.Click(l, TPoint(r.Left + 10, (r.Top + r.Bottom) / 2));
    }
    void AnswerMessage() {
        Driver.AnswerNextModal([this](TCustomForm& box) {
            Messages.push_back(dynamic_cast<TLabel*>(box.FindComponent("Message"))->Caption());
            Driver.PressKey(VK_RETURN);
        });
    }

    TTestDriver Driver;
    std::vector<std::string> Messages;
};

TEST_F(FontDialogTest, ChoosesFamilyStyleSizeAndEffects) {
    ASSERT_GT(Screen->Fonts()->Count(), 1);
    TStrings* fonts = Screen->Fonts();
    const std::string family = fonts->IndexOf("DejaVu Sans") >= 0 ? "DejaVu Sans" : fonts->Get(0);
    TFontDialog dialog(nullptr);
    dialog.Font()->SetName("Tahoma");
    dialog.Font()->SetSize(8);
    dialog.Font()->SetStyle(fsBold);
    std::string face, style, size, colour;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        face = Find<TEdit>(form, "FaceEdit")->Text();
        style = Find<TEdit>(form, "StyleEdit")->Text();
        size = Find<TEdit>(form, "SizeEdit")->Text();
        colour = Find<TComboBox>(form, "ColorCombo")->Text();
        ClickItem(form, "FaceList", family);
        ClickItem(form, "StyleList", "Bold Italic");
        SetEdit(form, "SizeEdit", "14");
        Driver.Click(Find<TControl>(form, "UnderlineCheck"));
        auto* colours = Find<TComboBox>(form, "ColorCombo");
        colours->SetFocus();
        for (int i = 0; i < 9; ++i)
            Driver.PressKey(VK_DOWN); // Black … Red
        TTestDriver::SavePng(*Driver.RenderScreen(form.BoundsRect()), "font-dialog.png");
        Driver.ClickButton(&form, "OK");
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(face, "Tahoma");
    EXPECT_EQ(style, "Bold");
    EXPECT_EQ(size, "8");
    EXPECT_EQ(colour, "Black") << "the window-text colour";
    EXPECT_EQ(dialog.Font()->Name(), family);
    EXPECT_EQ(dialog.Font()->Size(), 14);
    EXPECT_EQ(dialog.Font()->Style(), fsBold | fsItalic | fsUnderline);
    EXPECT_EQ(dialog.Font()->Color(), clRed);

    // Typing selects the first family with that start; Escape changes nothing. A colour none of the
    // named ones shows as "Custom".
    dialog.Font()->SetColor(RGB(1, 2, 3));
    Driver.AnswerNextModal([&](TCustomForm& form) {
        colour = Find<TComboBox>(form, "ColorCombo")->Text();
        SetEdit(form, "FaceEdit", family.substr(0, 2));
        auto* list = Find<TListBox>(form, "FaceList");
        face = list->ItemIndex() >= 0 ? list->Items()->Get(list->ItemIndex()) : "";
        Driver.PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(colour, "Custom");
    EXPECT_EQ(face.substr(0, 2), family.substr(0, 2));
    EXPECT_EQ(dialog.Font()->Size(), 14);
}

TEST_F(FontDialogTest, SizeAndFamilyAreChecked) {
    TFontDialog dialog(nullptr);
    dialog.Font()->SetName(Screen->Fonts()->Get(0));
    dialog.Font()->SetSize(10);
    dialog.SetOptions(fdEffects | fdLimitSize | fdForceFontExist);
    dialog.SetMinFontSize(8);
    dialog.SetMaxFontSize(12);
    std::vector<std::string> sizes;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        auto* list = Find<TListBox>(form, "SizeList");
        for (int i = 0; i < list->Count(); ++i)
            sizes.push_back(list->Items()->Get(i));
        SetEdit(form, "SizeEdit", "20");
        Driver.PressKey(VK_RETURN);
        SetEdit(form, "SizeEdit", "big");
        Driver.PressKey(VK_RETURN);
        SetEdit(form, "SizeEdit", "12");
        SetEdit(form, "FaceEdit", "No Such Family");
        Driver.PressKey(VK_RETURN);
        ClickItem(form, "FaceList", Find<TListBox>(form, "FaceList")->Items()->Get(0));
        Driver.PressKey(VK_RETURN);
    });
    AnswerMessage();
    AnswerMessage();
    AnswerMessage();
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(sizes, (std::vector<std::string>{"8", "9", "10", "11", "12"}));
    EXPECT_EQ(Messages,
              (std::vector<std::string>{"Size must be between 8 and 12 points.", "Size must be a number.",
                                        "There is no font with that name.\nChoose a font from the list of "
                                        "fonts."}));
    EXPECT_EQ(dialog.Font()->Size(), 12);
}

TEST_F(FontDialogTest, WithoutEffectsTheyAreKept) {
    TFontDialog dialog(nullptr);
    dialog.SetOptions(0);
    dialog.Font()->SetName("Some Family");
    dialog.Font()->SetStyle(fsUnderline);
    dialog.Font()->SetColor(clBtnText);
    bool hasEffects = true;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        hasEffects = form.FindComponent("EffectsGroup") != nullptr;
        SetEdit(form, "StyleEdit", "italic");
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_FALSE(hasEffects);
    EXPECT_EQ(dialog.Font()->Name(), "Some Family") << "a typed family is taken without fdForceFontExist";
    EXPECT_EQ(dialog.Font()->Style(), fsItalic | fsUnderline);
    EXPECT_EQ(dialog.Font()->Color(), clBtnText);
}

} // namespace
