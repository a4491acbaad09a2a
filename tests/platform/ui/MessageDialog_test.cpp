#include "platform/ui/MessageDialog.h"

#include <gtest/gtest.h>

#include "platform/rtl/Exception.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"

using namespace plat;

namespace {

class MessageDialogTest : public ::testing::Test {
protected:
    // Answers the next dialog by pressing a key, noting what it showed.
    void AnswerWithKey(uint16_t key) {
        Driver.AnswerNextModal([this, key](TCustomForm& form) {
            Note(form);
            Driver.PressKey(key);
        });
    }
    void AnswerWithClick(const std::string& caption) {
        Driver.AnswerNextModal([this, caption](TCustomForm& form) {
            Note(form);
            Driver.ClickButton(&form, caption);
        });
    }
    void Note(TCustomForm& form) {
        Caption = form.Caption();
        auto* label = dynamic_cast<TLabel*>(form.FindComponent("Message"));
        Text = label ? label->Caption() : std::string();
        HasIcon = form.FindComponent("Image") != nullptr;
        TControl* focused = TTestDriver::FocusedControl();
        Focused = focused ? focused->Name() : std::string();
        Bounds = form.BoundsRect();
        ButtonNames.clear();
        for (int i = 0; i < form.ControlCount(); ++i)
            if (auto* b = dynamic_cast<TButton*>(form.Controls(i)))
                ButtonNames += (ButtonNames.empty() ? "" : ",") + b->Name();
    }

    TTestDriver Driver;
    std::string Caption, Text, Focused, ButtonNames;
    bool HasIcon = false;
    bool Still = false;
    TRect Bounds;
};

struct TKeyCase {
    TMsgDlgButtons Buttons;
    const char* Shown;
    uint16_t Key;
    int Expected;
};

TEST_F(MessageDialogTest, EnterPressesTheDefaultAndEscapeTheCancellingButton) {
    const TKeyCase cases[] = {
        {mbOK, "OK", VK_RETURN, mrOk},
        {mbOK, "OK", VK_ESCAPE, mrOk},
        {mbOKCancel, "OK,Cancel", VK_RETURN, mrOk},
        {mbOKCancel, "OK,Cancel", VK_ESCAPE, mrCancel},
        {mbYesNo, "Yes,No", VK_RETURN, mrYes},
        {mbYesNo, "Yes,No", VK_ESCAPE, mrNo},
        {mbYesNoCancel, "Yes,No,Cancel", VK_RETURN, mrYes},
        {mbYesNoCancel, "Yes,No,Cancel", VK_ESCAPE, mrCancel},
        {mbAbortRetryIgnore, "Abort,Retry,Ignore", VK_RETURN, mrRetry},
    };
    for (const auto& c : cases) {
        AnswerWithKey(c.Key);
        EXPECT_EQ(MessageDlg("Proceed?", mtConfirmation, c.Buttons, 0), c.Expected)
            << c.Shown << " " << c.Key;
        EXPECT_EQ(ButtonNames, c.Shown);
    }
}

TEST_F(MessageDialogTest, EscapeDoesNothingWithoutACancellingButton) {
    Driver.AnswerNextModal([this](TCustomForm& form) {
        Driver.PressKey(VK_ESCAPE);
        Still = form.Visible() && form.ModalResult() == mrNone;
        Driver.ClickButton(&form, "Ignore");
    });
    EXPECT_EQ(MessageDlg("Disk error", mtError, mbAbortRetryIgnore, 0), mrIgnore);
    EXPECT_TRUE(Still);
}

TEST_F(MessageDialogTest, EveryButtonAnswersItsResult) {
    const std::pair<const char*, int> buttons[] = {{"&Yes", mrYes}, {"&No", mrNo}, {"Cancel", mrCancel}};
    for (auto [caption, result] : buttons) {
        AnswerWithClick(caption);
        EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel, 0), result) << caption;
    }
    const std::pair<const char*, int> ari[] = {{"Abort", mrAbort}, {"Retry", mrRetry}, {"Ignore", mrIgnore}};
    for (auto [caption, result] : ari) {
        AnswerWithClick(caption);
        EXPECT_EQ(MessageDlg("Disk error", mtError, mbAbortRetryIgnore, 0), result) << caption;
    }
    // The accelerator letter alone presses a button.
    AnswerWithKey('N');
    EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel, 0), mrNo);
}

TEST_F(MessageDialogTest, TypesGiveCaptionIconAndTheDefaultButtonHasTheFocus) {
    Application->SetTitle("Lumetra");
    const std::tuple<TMsgDlgType, const char*, bool> types[] = {{mtWarning, "Warning", true},
                                                                {mtError, "Error", true},
                                                                {mtInformation, "Information", true},
                                                                {mtConfirmation, "Confirm", true},
                                                                {mtCustom, "Lumetra", false}};
    for (auto [type, caption, icon] : types) {
        AnswerWithKey(VK_RETURN);
        MessageDlg("Delete Series1 ?", type, mbYesNo, 0);
        EXPECT_EQ(Caption, caption);
        EXPECT_EQ(HasIcon, icon) << caption;
        EXPECT_EQ(Text, "Delete Series1 ?");
        EXPECT_EQ(Focused, "Yes");
    }
    AnswerWithKey(VK_RETURN);
    ShowMessage("Done & dusted");
    EXPECT_EQ(Caption, "Lumetra");
    EXPECT_EQ(Text, "Done & dusted");
    EXPECT_EQ(ButtonNames, "OK");
}

TEST_F(MessageDialogTest, LongTextWrapsAndThePositionCanBeGiven) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "word" + std::to_string(i) + " ";
    int lineHeight = 0;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Note(form);
        auto* label = dynamic_cast<TLabel*>(form.FindComponent("Message"));
        lineHeight = label->Height();
        Driver.PressKey(VK_RETURN);
    });
    MessageDlg(text, mtInformation, mbOK, 0);
    EXPECT_LE(Bounds.Width(), 520);
    EXPECT_GT(lineHeight, 3 * 12) << "the text wraps onto several lines";

    AnswerWithKey(VK_RETURN);
    MessageDlgPos("Here", mtWarning, mbOK, 0, 120, 90);
    EXPECT_EQ(Bounds.Left, 120);
    EXPECT_EQ(Bounds.Top, 90);
}

struct TBoxCase {
    uint32_t Flags;
    const char* Shown;
    uint16_t Key;
    int Expected;
};

TEST_F(MessageDialogTest, MessageBoxFlagsChooseButtonsDefaultAndIcon) {
    const TBoxCase cases[] = {
        {MB_OK, "OK", VK_ESCAPE, IDOK},
        {MB_OKCANCEL, "OK,Cancel", VK_ESCAPE, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON2, "OK,Cancel", VK_RETURN, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, "Yes,No", VK_RETURN, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, "Yes,No", VK_RETURN, IDNO},
        {MB_YESNO, "Yes,No", VK_ESCAPE, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, "Yes,No,Cancel", VK_RETURN, IDCANCEL},
        {MB_YESNOCANCEL, "Yes,No,Cancel", VK_ESCAPE, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_ICONERROR, "Abort,Retry,Ignore", VK_RETURN, IDABORT},
        {MB_RETRYCANCEL | MB_ICONWARNING, "Retry,Cancel", VK_RETURN, IDRETRY},
    };
    for (const auto& c : cases) {
        AnswerWithKey(c.Key);
        EXPECT_EQ(Application->MessageBox("Text", "Caption", c.Flags), c.Expected) << c.Shown;
        EXPECT_EQ(ButtonNames, c.Shown);
        EXPECT_EQ(Caption, "Caption");
        EXPECT_EQ(HasIcon, (c.Flags & MB_ICONMASK) != 0) << c.Shown;
    }
    AnswerWithKey(VK_RETURN);
    MessageBox(nullptr, "No owner", "", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    EXPECT_EQ(Caption, "Error");
}

TEST_F(MessageDialogTest, ExceptionsReachingTheApplicationShowAnErrorBox) {
    Application->SetTitle("Lumetra");
    AnswerWithKey(VK_RETURN);
    EConvertError e("'abc' is not a valid integer value");
    Application->ShowException(e);
    EXPECT_EQ(Caption, "Lumetra");
    EXPECT_EQ(Text, "'abc' is not a valid integer value.");
    EXPECT_TRUE(HasIcon);
}

TEST_F(MessageDialogTest, InputQueryAnswersTheTextOnlyWhenConfirmed) {
    std::string value = "FRAME 3";
    Driver.AnswerNextModal([this](TCustomForm& form) {
        Caption = form.Caption();
        auto* prompt = dynamic_cast<TLabel*>(form.FindComponent("Prompt"));
        Text = prompt->Caption();
        TControl* focused = TTestDriver::FocusedControl();
        Focused = focused ? focused->Name() : "";
        Driver.Type("Peaks"); // replaces the selected text
        Driver.PressKey(VK_RETURN);
    });
    EXPECT_TRUE(InputQuery("Change group name", "Group name:", value));
    EXPECT_EQ(value, "Peaks");
    EXPECT_EQ(Caption, "Change group name");
    EXPECT_EQ(Text, "Group name:");
    EXPECT_EQ(Focused, "Value");

    Driver.AnswerNextModal([this](TCustomForm&) {
        Driver.Type("Other");
        Driver.PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(InputQuery("Change group name", "Group name:", value));
    EXPECT_EQ(value, "Peaks");

    Driver.AnswerNextModal([this](TCustomForm& form) { Driver.ClickButton(&form, "Cancel"); });
    EXPECT_EQ(InputBox("Title", "Name:", "keep"), "keep");
    Driver.AnswerNextModal([this](TCustomForm& form) {
        Driver.PressKey(VK_END);
        Driver.Type("er");
        Driver.ClickButton(&form, "OK");
    });
    EXPECT_EQ(InputBox("Title", "Name:", "keep"), "keeper");
}

TEST_F(MessageDialogTest, Screenshots) {
    const std::pair<TMsgDlgType, const char*> types[] = {{mtWarning, "messagebox-warning.png"},
                                                         {mtError, "messagebox-error.png"},
                                                         {mtInformation, "messagebox-information.png"},
                                                         {mtConfirmation, "messagebox-confirmation.png"}};
    for (auto [type, file] : types) {
        std::string name = file;
        Driver.AnswerNextModal([&, name](TCustomForm& form) {
            auto image = Driver.RenderScreen(form.BoundsRect());
            TTestDriver::SavePng(*image, name);
            // The icon shows left of the text.
            auto* icon = dynamic_cast<TControl*>(form.FindComponent("Image"));
            ASSERT_NE(icon, nullptr);
            int coloured = 0;
            auto shot = Driver.Render(icon);
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    coloured += TTestDriver::PixelOf(*shot, x, y) != ColorToRGB(clBtnFace);
            EXPECT_GT(coloured, 200) << name;
            Driver.PressKey(VK_RETURN);
        });
        MessageDlg("The chart document could not be read.\nDo you want to try again?", type, mbYesNoCancel,
                   0);
    }
}

} // namespace
