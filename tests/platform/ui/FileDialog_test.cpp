#include "platform/ui/FileDialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/SpeedButton.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

// A small tree of folders and files in a fresh temporary folder; the current folder and HOME are put
// back afterwards.
class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SavedCwd = fs::current_path();
        const char* home = std::getenv("HOME");
        SavedHome = home ? home : "";
        Root = (fs::temp_directory_path() / ("lumetra-filedialog-" + std::to_string(::getpid()))).string();
        fs::remove_all(Root);
        fs::create_directories(Root + "/sub/deeper");
        fs::create_directories(Root + "/Zeta");
        for (const char* f : {"alpha.txt", "Beta.TXT", "data.xml", "notes", ".hidden.txt", "sub/inner.xml"})
            std::ofstream(Root + "/" + f) << "x";
    }
    void TearDown() override {
        fs::current_path(SavedCwd);
        setenv("HOME", SavedHome.c_str(), 1);
        fs::remove_all(Root);
    }

    template <class T> static T* Find(TCustomForm& form, const char* name) {
        auto* c = dynamic_cast<T*>(form.FindComponent(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static std::vector<std::string> Items(TCustomForm& form) {
        std::vector<std::string> out;
        auto* list = Find<TCustomListBox>(form, "FileList");
        for (int i = 0; i < list->Count(); ++i)
            out.push_back(list->Items()->Get(i));
        return out;
    }
    static std::string Folder(TCustomForm& form) { return Find<TComboBox>(form, "FolderCombo")->Text(); }
    static std::string NameText(TCustomForm& form) { return Find<TEdit>(form, "FileNameEdit")->Text(); }

    TPoint ItemPoint(TCustomForm& form, const std::string& text) {
        auto* list = Find<TCustomListBox>(form, "FileList");
        int i = list->Items()->IndexOf(text);
        EXPECT_GE(i, 0) << text;
        TRect r = list->ItemRect(i);
        return TPoint(r.Left + 30, (r.Top + r.Bottom) / 2);
    }
    void ClickItem(TCustomForm& form, const std::string& text, uint32_t modifiers = 0) {
        Driver.Click(Find<TCustomListBox>(form, "FileList"), ItemPoint(form, text), tbLeft, modifiers);
    }
    void DoubleClickItem(TCustomForm& form, const std::string& text) {
        Driver.DoubleClick(Find<TCustomListBox>(form, "FileList"), ItemPoint(form, text));
    }
    // Replaces the name and presses Enter.
    void EnterName(TCustomForm& form, const std::string& text) {
        auto* edit = Find<TEdit>(form, "FileNameEdit");
        edit->SetFocus();
        edit->SelectAll();
        Driver.Type(text);
        Driver.PressKey(VK_RETURN);
    }
    // Answers the next message box with a button, noting its text.
    void AnswerMessage(const std::string& button) {
        Driver.AnswerNextModal([this, button](TCustomForm& box) {
            auto* label = dynamic_cast<TLabel*>(box.FindComponent("Message"));
            Messages.push_back(label ? label->Caption() : "?");
            Driver.ClickButton(&box, button);
        });
    }

    TTestDriver Driver;
    std::string Root;
    fs::path SavedCwd;
    std::string SavedHome;
    std::vector<std::string> Messages;
};

TEST_F(FileDialogTest, ListsFoldersThenTheFilesOfTheChosenTypeAndOpensByDoubleClick) {
    TOpenDialog dialog(nullptr);
    dialog.SetFilter("Text|*.txt|XML|*.xml;*.XSD|All files|*");
    dialog.SetInitialDir(Root);
    dialog.SetOptions(ofHideReadOnly | ofNoChangeDir);
    std::vector<std::string> text, xml, all, inside;
    std::string caption, folderInside;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        caption = form.Caption();
        text = Items(form);
        auto* types = Find<TComboBox>(form, "FileTypeCombo");
        types->SetFocus();
        Driver.PressKey(VK_DOWN);
        xml = Items(form);
        Driver.PressKey(VK_DOWN);
        all = Items(form);
        Driver.PressKey(VK_UP);
        DoubleClickItem(form, "sub");
        inside = Items(form);
        folderInside = Folder(form);
        DoubleClickItem(form, "inner.xml");
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(caption, "Open");
    EXPECT_EQ(text, (std::vector<std::string>{"sub", "Zeta", "alpha.txt", "Beta.TXT"}));
    EXPECT_EQ(xml, (std::vector<std::string>{"sub", "Zeta", "data.xml"}));
    EXPECT_EQ(all, (std::vector<std::string>{"sub", "Zeta", "alpha.txt", "Beta.TXT", "data.xml", "notes"}));
    EXPECT_EQ(inside, (std::vector<std::string>{"deeper", "inner.xml"}));
    EXPECT_EQ(folderInside, Root + "/sub");
    EXPECT_EQ(dialog.FileName(), Root + "/sub/inner.xml");
    EXPECT_EQ(dialog.FilterIndex(), 2);
    EXPECT_EQ(dialog.Files()->Count(), 1);
    EXPECT_EQ(fs::current_path(), SavedCwd) << "ofNoChangeDir keeps the current folder";
}

TEST_F(FileDialogTest, TypedPathsUpHomeAndBackspaceNavigate) {
    setenv("HOME", (Root + "/Zeta").c_str(), 1);
    TOpenDialog dialog(nullptr);
    dialog.SetFileName(Root + "/sub/inner.xml");
    std::vector<std::string> visited;
    std::string nameAtStart;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        nameAtStart = NameText(form);
        visited.push_back(Folder(form)); // the file name's folder
        EnterName(form, "deeper");
        visited.push_back(Folder(form)); // relative folder name
        EnterName(form, "../..");
        visited.push_back(Folder(form));
        EnterName(form, Root + "/sub/");
        visited.push_back(Folder(form)); // absolute
        Driver.Click(Find<TSpeedButton>(form, "UpButton"));
        visited.push_back(Folder(form));
        Driver.Click(Find<TSpeedButton>(form, "HomeButton"));
        visited.push_back(Folder(form));
        Find<TCustomListBox>(form, "FileList")->SetFocus();
        Driver.PressKey(VK_BACK);
        visited.push_back(Folder(form));
        // A path typed into the folder box.
        auto* combo = Find<TComboBox>(form, "FolderCombo");
        combo->SetFocus();
        combo->SelectAll();
        Driver.Type("sub/deeper");
        Driver.PressKey(VK_RETURN);
        visited.push_back(Folder(form));
        EnterName(form, "~");
        visited.push_back(Folder(form));
        form.SetModalResult(mrCancel);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(nameAtStart, "inner.xml");
    const std::string z = Root + "/Zeta";
    EXPECT_EQ(visited, (std::vector<std::string>{Root + "/sub", Root + "/sub/deeper", Root, Root + "/sub",
                                                 Root, z, Root, Root + "/sub/deeper", z}));
    EXPECT_EQ(dialog.FileName(), Root + "/sub/inner.xml") << "cancel changes nothing";
}

TEST_F(FileDialogTest, EnterOnAFolderOfTheListOpensIt) {
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(Root);
    std::string folder;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        ClickItem(form, "sub");
        Driver.PressKey(VK_RETURN);
        folder = Folder(form);
        ClickItem(form, "inner.xml");
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(folder, Root + "/sub");
    EXPECT_EQ(dialog.FileName(), Root + "/sub/inner.xml");
    EXPECT_EQ(fs::current_path(), fs::path(Root + "/sub")) << "the current folder follows the choice";
}

TEST_F(FileDialogTest, MultiSelectAnswersEveryChosenFile) {
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(Root);
    dialog.SetOptions(ofAllowMultiSelect | ofFileMustExist | ofNoChangeDir);
    std::string shown;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        ClickItem(form, "alpha.txt");
        ClickItem(form, "data.xml", modControl);
        ClickItem(form, "sub", modControl); // folders are not files to open
        shown = NameText(form);
        Driver.PressKey(VK_RETURN);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(shown, "\"alpha.txt\" \"data.xml\"");
    ASSERT_EQ(dialog.Files()->Count(), 2);
    EXPECT_EQ(dialog.Files()->Get(0), Root + "/alpha.txt");
    EXPECT_EQ(dialog.Files()->Get(1), Root + "/data.xml");
    EXPECT_EQ(dialog.FileName(), Root + "/alpha.txt");
}

TEST_F(FileDialogTest, MissingFilesAndFoldersAreReportedAndTheDialogStays) {
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(Root);
    dialog.SetOptions(ofFileMustExist | ofHideReadOnly | ofNoChangeDir);
    bool stillOpen = false;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        EnterName(form, "missing.txt");
        EnterName(form, "nowhere/file.txt");
        stillOpen = form.ModalResult() == mrNone;
        EnterName(form, "alpha.txt");
    });
    AnswerMessage("OK");
    AnswerMessage("OK");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(Messages.size(), 2u);
    EXPECT_EQ(Messages[0],
              Root + "/missing.txt\nFile not found.\nPlease verify the correct file name was given.");
    EXPECT_EQ(Messages[1],
              Root + "/nowhere\nPath does not exist.\nPlease verify the correct path was given.");
    EXPECT_EQ(dialog.FileName(), Root + "/alpha.txt");
}

TEST_F(FileDialogTest, TypedWildcardsFilterTheList) {
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(Root);
    dialog.SetFilter("Text|*.txt");
    std::vector<std::string> shown, inSub;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        EnterName(form, "*.XML");
        shown = Items(form);
        EnterName(form, "sub/*.x?l");
        inSub = Items(form);
        form.SetModalResult(mrCancel);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(shown, (std::vector<std::string>{"sub", "Zeta", "data.xml"}));
    EXPECT_EQ(inSub, (std::vector<std::string>{"deeper", "inner.xml"}));
}

struct TExtCase {
    const char* Filter;
    int Index;
    const char* DefaultExt;
    const char* Typed;
    const char* Expected;
};

TEST_F(FileDialogTest, SaveAddsTheExtensionOfTheTypeOrTheDefault) {
    const TExtCase cases[] = {
        {"Text|*.txt|XML|*.xml", 1, "*.xml", "report", "report.txt"},
        {"Text|*.txt|XML|*.xml", 2, "xml", "report", "report.xml"},
        {"All files|*", 1, "*.xml", "report", "report.xml"},
        {"All files|*", 1, "", "report", "report"},
        {"Text|*.txt", 1, "xml", "report.csv", "report.csv"},
        {"", 0, ".dat", "sub/report", "sub/report.dat"},
    };
    for (const auto& c : cases) {
        TSaveDialog dialog(nullptr);
        dialog.SetInitialDir(Root);
        dialog.SetFilter(c.Filter);
        dialog.SetFilterIndex(c.Index);
        dialog.SetDefaultExt(c.DefaultExt);
        dialog.SetOptions(ofOverwritePrompt | ofNoChangeDir);
        Driver.AnswerNextModal([&](TCustomForm& form) { EnterName(form, c.Typed); });
        ASSERT_TRUE(dialog.Execute()) << c.Typed;
        EXPECT_EQ(dialog.FileName(), Root + "/" + c.Expected) << c.Filter << " " << c.Typed;
    }
}

TEST_F(FileDialogTest, SaveAsksBeforeReplacingAFile) {
    TSaveDialog dialog(nullptr);
    dialog.SetInitialDir(Root);
    dialog.SetFilter("Text|*.txt");
    dialog.SetDefaultExt("txt");
    dialog.SetOptions(ofOverwritePrompt | ofHideReadOnly | ofNoChangeDir);
    std::string caption, button;
    bool stayed = false;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        caption = form.Caption();
        button = Find<TButton>(form, "OKButton")->Caption();
        EnterName(form, "alpha");
        stayed = form.ModalResult() == mrNone;
        Driver.PressKey(VK_RETURN);
    });
    AnswerMessage("No");
    AnswerMessage("Yes");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(caption, "Save As");
    EXPECT_EQ(button, "&Save");
    EXPECT_TRUE(stayed) << "No keeps the dialog open";
    EXPECT_EQ(Messages, (std::vector<std::string>{"alpha.txt already exists.\nDo you want to replace it?",
                                                  "alpha.txt already exists.\nDo you want to replace it?"}));
    EXPECT_EQ(dialog.FileName(), Root + "/alpha.txt");

    // Without the option nothing is asked; a new name is not asked about either.
    Messages.clear();
    dialog.SetOptions(ofNoChangeDir);
    Driver.AnswerNextModal([&](TCustomForm& form) { EnterName(form, "alpha.txt"); });
    ASSERT_TRUE(dialog.Execute());
    dialog.SetOptions(ofOverwritePrompt | ofNoChangeDir);
    Driver.AnswerNextModal([&](TCustomForm& form) { EnterName(form, "fresh.txt"); });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(dialog.FileName(), Root + "/fresh.txt");
}

TEST_F(FileDialogTest, ReadOnlyBoxAndResults) {
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(Root);
    dialog.SetDefaultExt("xml");
    dialog.SetOptions(ofNoChangeDir);
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.Click(Find<TCheckBox>(form, "ReadOnlyCheck"));
        EnterName(form, "alpha.txt");
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(dialog.Options() & ofReadOnly);
    EXPECT_TRUE(dialog.Options() & ofExtensionDifferent);
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.Click(Find<TCheckBox>(form, "ReadOnlyCheck"));
        EnterName(form, "data.xml");
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_FALSE(dialog.Options() & ofReadOnly);
    EXPECT_FALSE(dialog.Options() & ofExtensionDifferent);
}

TEST_F(FileDialogTest, Screenshots) {
    TOpenDialog open(nullptr);
    open.SetInitialDir(Root);
    open.SetFilter("Text files (*.txt)|*.txt|All files|*");
    open.SetFilterIndex(2);
    open.SetOptions(ofNoChangeDir | ofEnableSizing);
    Driver.AnswerNextModal([&](TCustomForm& form) {
        ClickItem(form, "data.xml");
        TTestDriver::SavePng(*Driver.RenderScreen(form.BoundsRect()), "open-dialog.png");
        // A larger dialog gives the list the room.
        auto* list = Find<TCustomListBox>(form, "FileList");
        int before = list->Height();
        form.SetBounds(form.Left(), form.Top(), form.Width() + 100, form.Height() + 80);
        EXPECT_EQ(list->Height(), before + 80);
        form.SetModalResult(mrCancel);
    });
    open.Execute();
    TSaveDialog save(nullptr);
    save.SetInitialDir(Root);
    save.SetFileName("chart.xml");
    save.SetFilter("Text|*.txt|Excel|*.xls|HTML|*.html|XML|*.xml|Bitmap|*.bmp");
    save.SetFilterIndex(4);
    Driver.AnswerNextModal([&](TCustomForm& form) {
        TTestDriver::SavePng(*Driver.RenderScreen(form.BoundsRect()), "save-dialog.png");
        form.SetModalResult(mrCancel);
    });
    save.Execute();
}

} // namespace
