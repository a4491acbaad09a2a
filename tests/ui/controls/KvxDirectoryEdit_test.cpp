// The edit with button and the folder edit: the button's place, its click and F4, the folder browser
// answered by the test driver, and folder validation.
#include "ui/controls/KvxDirectoryEdit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "EditTestUtil.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemServices.h"
#include "ui/controls/XPVisualStyles.h"

using namespace plat;
using namespace ui;
using namespace edittest;
namespace fs = std::filesystem;

namespace {

class DirectoryEditTest : public EditFixture {
protected:
    void SetUp() override {
        EditFixture::SetUp();
        Root = (fs::temp_directory_path() / ("lumetra-diredit-" + std::to_string(::getpid()))).string();
        fs::remove_all(Root);
        fs::create_directories(Root + "/frames/today");
        Dir = New<TKvxDirectoryEdit>(20, 60, 240);
        Dir->SetLabelCaption("Directory");
        Dir->SetLabelPosition(lpTopLeft);
        Driver.Pump();
    }
    void TearDown() override { fs::remove_all(Root); }

    static TCustomListBox* List(TCustomForm& form) {
        return dynamic_cast<TCustomListBox*>(form.FindComponent("FolderList"));
    }
    void ChooseInBrowser(TCustomForm& form, const std::string& folder) {
        dynamic_cast<TEdit*>(form.FindComponent("FolderEdit"))->SetTextProp(folder);
        Driver.ClickButton(&form, "OK");
    }

    std::string Root;
    TKvxDirectoryEdit* Dir = nullptr;
};

TEST_F(DirectoryEditTest, TheButtonKeepsTheRightEndAndTheTextClearOfIt) {
    EXPECT_EQ(Dir->ButtonWidth(), 18);
    EXPECT_EQ(Dir->BrowseDialogText(), "Select Directory");
    EXPECT_EQ(Dir->Version(), "1.3.2.3");
    TEditButton* button = Dir->Button();
    EXPECT_EQ(button->Left() + button->Width(), Dir->ClientWidth());
    EXPECT_EQ(button->Width(), 18);
    TRect r;
    Dir->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_LE(r.Right, button->Left());
    // A long value never runs under the button.
    Dir->SetTextProp(std::string(80, 'W'));
    Dir->SetFocus();
    Dir->SetSelStart(80);
    Driver.Pump();
    TColor face = Driver.Pixel(button, button->Width() / 2, 2);
    EXPECT_NE(face, clWhite);
}

TEST_F(DirectoryEditTest, ALowEditIsRaisedToShowItsFont) {
    Dir->SetBounds(20, 60, 240, 8);
    EXPECT_EQ(Dir->Height(), Dir->MinHeight());
    EXPECT_GT(Dir->MinHeight(), 12);
    EXPECT_EQ(Dir->Button()->Height(), Dir->ClientHeight());
    Dir->Font()->SetSize(20);
    Dir->SetBounds(20, 60, 240, 21);
    EXPECT_GT(Dir->Height(), 21);
}

TEST_F(DirectoryEditTest, BrowsingStartsAtTheValueUnderTheEditAndTakesTheChosenFolder) {
    Dir->SetTextProp(Root + "/frames/");
    std::string shownAt, reported;
    bool reportedOk = false;
    TRect dialog;
    Dir->OnDialogClose = [&](TObject*, const std::string& folder, bool ok) {
        reported = folder;
        reportedOk = ok;
    };
    Driver.AnswerNextModal([&](TCustomForm& form) {
        dialog = form.BoundsRect();
        int i = List(form)->ItemIndex();
        shownAt = i >= 0 ? List(form)->Items()->Get(i) : "";
        ChooseInBrowser(form, Root + "/frames/today");
    });
    Driver.Click(Dir->Button()->Button());
    EXPECT_EQ(shownAt, "frames");
    TPoint corner = Form->ClientToScreen(TPoint(Dir->Left(), Dir->Top() + Dir->Height()));
    EXPECT_EQ(dialog.TopLeft(), corner);
    EXPECT_TRUE(reportedOk);
    EXPECT_EQ(reported, Root + "/frames/today");
    EXPECT_EQ(Dir->Text(), Root + "/frames/today");
    EXPECT_TRUE(Dir->ModifiedState());

    // The same folder again: reported, but not a modification.
    Dir->SetModifiedState(false);
    Driver.AnswerNextModal([&](TCustomForm& form) { Driver.ClickButton(&form, "OK"); });
    Dir->ButtonClick();
    EXPECT_EQ(reported, Root + "/frames/today");
    EXPECT_FALSE(Dir->ModifiedState());

    // Cancel reports nothing.
    reported.clear();
    Driver.AnswerNextModal([&](TCustomForm& form) { form.SetModalResult(mrCancel); });
    Dir->ButtonClick();
    EXPECT_TRUE(reported.empty());
}

TEST_F(DirectoryEditTest, NearTheScreenEdgeTheBrowserOpensLeftOfTheEdit) {
    TRect work = Screen->WorkAreaRect();
    Form->SetBounds(work.Right - 300, 100, 300, 200);
    Driver.Pump();
    TRect dialog;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        dialog = form.BoundsRect();
        form.SetModalResult(mrCancel);
    });
    Dir->ButtonClick();
    TPoint corner = Form->ClientToScreen(TPoint(Dir->Left(), Dir->Top() + Dir->Height()));
    EXPECT_EQ(dialog.Left, corner.X - dialog.Width());
    EXPECT_LE(dialog.Right, work.Right);
}

TEST_F(DirectoryEditTest, F4OpensTheBrowserOnceAndAnEmptyValueStartsInTheCurrentFolder) {
    std::string cwd = GetCurrentDir();
    ASSERT_EQ(::chdir(Root.c_str()), 0);
    int shown = 0;
    std::string initial;
    Dir->OnShowDirectoryDialog = [&](TObject*, std::string& path) {
        ++shown;
        initial = path;
    };
    Driver.AnswerNextModal([&](TCustomForm& form) { form.SetModalResult(mrCancel); });
    Dir->SetFocus();
    Driver.Pump();
    Driver.PressKey(VK_F4);
    Driver.Pump();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(initial, GetCurrentDir());
    EXPECT_EQ(Driver.PendingModalAnswers(), 0);
    ASSERT_EQ(::chdir(cwd.c_str()), 0);
}

// The button draws through the theme service only while a visual style is active, in both styles, and
// shows its state there.
TEST_F(DirectoryEditTest, TheButtonIsThemedOnlyWhileAVisualStyleIsActive) {
    auto* drop = New<TKvxEditBtn>(20, 120, 200);
    drop->SetButtonStyle(edbtn::bsDropDown);
    Driver.Pump();
    auto face = [&](TKvxEditBtn* e) { return Driver.Pixel(e->Button(), e->ButtonWidth() / 2, 2); };
    TColor classicButton = face(Dir), classicDrop = face(drop);
    bool styles = VisualStylesEnabled();
    SetVisualStylesEnabled(true);
    Dir->Button()->Button()->Invalidate();
    drop->Button()->Button()->Invalidate();
    Driver.Pump();
    TColor themedButton = face(Dir), themedDrop = face(drop);
    Dir->SetEnabled(false);
    Driver.Pump();
    TColor themedDisabled = face(Dir);
    SetVisualStylesEnabled(styles);
    EXPECT_NE(themedButton, classicButton);
    EXPECT_NE(themedDrop, classicDrop);
    EXPECT_NE(themedDisabled, themedButton);
    EXPECT_EQ(themedButton, static_cast<TColor>(0xF5E9DC));
}

TEST_F(DirectoryEditTest, OnlyExistingFoldersAreValid) {
    Dir->SetShowError(true);
    Dir->SetTextProp(Root + "/frames");
    EXPECT_FALSE(Dir->ErrorState());
    Dir->SetTextProp(Root + "/missing");
    EXPECT_TRUE(Dir->ErrorState());
    EXPECT_FALSE(IsPublishedProp(Dir, "EditType"));
    EXPECT_FALSE(IsPublishedProp(Dir, "OnValueValidate"));
}

TEST_F(DirectoryEditTest, ReadOnlyOrDisabledEditsIgnoreTheButtonAndEditorEnabledOnlyTyping) {
    int clicks = 0;
    auto* e = New<TKvxEditBtn>(20, 120, 200);
    e->OnClickBtn = [&](TObject*) { ++clicks; };
    Driver.Pump();
    Driver.Click(e->Button()->Button());
    EXPECT_EQ(clicks, 1);
    e->SetReadOnly(true);
    Driver.Click(e->Button()->Button());
    e->SetReadOnly(false);
    e->SetEnabled(false);
    Driver.Click(e->Button()->Button());
    EXPECT_EQ(clicks, 1);
    e->SetEnabled(true);
    e->SetEditorEnabled(false);
    TypeAt(e, 0, 0, "abc");
    EXPECT_EQ(e->Text(), "");
    e->OnClickBtn = [&](TObject*) { e->SetTextProp("set by the button"); };
    Driver.Click(e->Button()->Button());
    EXPECT_EQ(e->Text(), "set by the button");
}

} // namespace
