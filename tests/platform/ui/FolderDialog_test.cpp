#include "platform/ui/FolderDialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

class FolderDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Root = (fs::temp_directory_path() / ("lumetra-folderdialog-" + std::to_string(::getpid()))).string();
        fs::remove_all(Root);
        fs::create_directories(Root + "/alpha/beta");
        fs::create_directories(Root + "/Gamma");
        fs::create_directories(Root + "/.hidden");
    }
    void TearDown() override { fs::remove_all(Root); }

    static TCustomListBox* List(TCustomForm& form) {
        return dynamic_cast<TCustomListBox*>(form.FindComponent("FolderList"));
    }
    static std::vector<std::string> Items(TCustomForm& form) {
        std::vector<std::string> out;
        for (int i = 0; i < List(form)->Count(); ++i)
            out.push_back(List(form)->Items()->Get(i));
        return out;
    }
    static std::string Selected(TCustomForm& form) {
        int i = List(form)->ItemIndex();
        return i < 0 ? std::string() : List(form)->Items()->Get(i);
    }
    TPoint ItemPoint(TCustomForm& form, const std::string& text) {
        int i = List(form)->Items()->IndexOf(text);
        EXPECT_GE(i, 0) << text;
        TRect r = List(form)->ItemRect(i);
        return TPoint(r.Left + 60, (r.Top + r.Bottom) / 2);
    }
    void TypeFolder(TCustomForm& form, const std::string& text) {
        auto* edit = dynamic_cast<TEdit*>(form.FindComponent("FolderEdit"));
        edit->SetFocus();
        edit->SelectAll();
        Driver.Type(text);
        Driver.PressKey(VK_RETURN);
    }

    TTestDriver Driver;
    std::string Root;
};

TEST_F(FolderDialogTest, BrowsesDownFromTheRootAndAnswersTheChosenFolder) {
    std::string dir;
    std::string title, caption, edit;
    std::vector<std::string> atRoot, inAlpha;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        title = form.Caption();
        caption = dynamic_cast<TLabel*>(form.FindComponent("CaptionLabel"))->Caption();
        atRoot = Items(form);
        Driver.DoubleClick(List(form), ItemPoint(form, "alpha"));
        inAlpha = Items(form);
        Driver.Click(List(form), ItemPoint(form, "beta"));
        edit = dynamic_cast<TEdit*>(form.FindComponent("FolderEdit"))->Text();
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(SelectDirectory("Choose the folder of the frames", Root, dir));
    EXPECT_EQ(title, "Browse for Folder");
    EXPECT_EQ(caption, "Choose the folder of the frames");
    EXPECT_EQ(atRoot, (std::vector<std::string>{Root, "alpha", "Gamma"}));
    EXPECT_EQ(inAlpha, (std::vector<std::string>{Root, "alpha", "beta"}));
    EXPECT_EQ(edit, Root + "/alpha/beta");
    EXPECT_EQ(dir, Root + "/alpha/beta");
}

TEST_F(FolderDialogTest, StartsAtTheGivenFolderAndCancelLeavesItAlone) {
    std::string dir = Root + "/alpha/";
    std::string selected;
    std::vector<std::string> shown;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        shown = Items(form);
        selected = Selected(form);
        Driver.PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(SelectDirectory("Folder", Root, dir));
    EXPECT_EQ(shown, (std::vector<std::string>{Root, "alpha", "beta"}));
    EXPECT_EQ(selected, "alpha");
    EXPECT_EQ(dir, Root + "/alpha/");

    // A folder outside the root starts at the root; Enter takes the folder selected.
    dir = "/";
    Driver.AnswerNextModal([&](TCustomForm& form) {
        selected = Selected(form);
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(SelectDirectory("Folder", Root, dir));
    EXPECT_EQ(selected, Root);
    EXPECT_EQ(dir, Root);
}

TEST_F(FolderDialogTest, TypedFoldersAreCheckedAgainstTheDiskAndTheRoot) {
    std::string dir;
    std::vector<std::string> messages;
    auto answerMessage = [&] {
        Driver.AnswerNextModal([&](TCustomForm& box) {
            messages.push_back(dynamic_cast<TLabel*>(box.FindComponent("Message"))->Caption());
            Driver.PressKey(VK_RETURN);
        });
    };
    Driver.AnswerNextModal([&](TCustomForm& form) {
        TypeFolder(form, "missing");
        TypeFolder(form, "/");
        TypeFolder(form, "Gamma");
    });
    answerMessage();
    answerMessage();
    ASSERT_TRUE(SelectDirectory("Folder", Root + "/", dir));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0],
              Root + "/missing\nPath does not exist.\nPlease verify the correct path was given.");
    EXPECT_EQ(messages[1], "/\nis not inside " + Root + ".");
    EXPECT_EQ(dir, Root + "/Gamma");
}

TEST_F(FolderDialogTest, ACallerPlacesTheBrowserFromItsSizeAndTheWorkArea) {
    std::string dir = Root + "/alpha";
    TSize seenSize;
    TRect seenArea, bounds;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        bounds = form.BoundsRect();
        form.SetModalResult(mrCancel);
    });
    EXPECT_FALSE(SelectDirectory("Folder", "", dir, [&](const TSize& size, const TRect& area) {
        seenSize = size;
        seenArea = area;
        return TPoint(area.Right - 10, 40);
    }));
    EXPECT_EQ(dir, Root + "/alpha");
    EXPECT_GT(seenSize.cx, 0);
    EXPECT_GT(seenSize.cy, 0);
    EXPECT_FALSE(seenArea.IsEmpty());
    EXPECT_EQ(bounds.TopLeft(), TPoint(seenArea.Right - 10, 40));
    EXPECT_EQ(bounds.Width(), seenSize.cx);
    EXPECT_EQ(bounds.Height(), seenSize.cy);
}

TEST_F(FolderDialogTest, Screenshot) {
    std::string dir = Root + "/alpha";
    Driver.AnswerNextModal([&](TCustomForm& form) {
        TTestDriver::SavePng(*Driver.RenderScreen(form.BoundsRect()), "folder-dialog.png");
        form.SetModalResult(mrCancel);
    });
    SelectDirectory("Select the folder where the frames are saved:", "", dir);
}

} // namespace
