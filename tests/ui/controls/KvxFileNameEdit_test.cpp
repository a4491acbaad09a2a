// The file-name edit: F4 and the button run the file dialog (answered by the test driver) once, preset
// from the edit; the chosen file becomes the value; only existing files are valid; defaults of a new
// edit against those of a stored one.
#include "ui/controls/KvxFileNameEdit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "EditTestUtil.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"

using namespace plat;
using namespace ui;
using namespace edittest;
namespace fs = std::filesystem;

namespace {

class FileNameEditTest : public EditFixture {
protected:
    void SetUp() override {
        EditFixture::SetUp();
        Root = (fs::temp_directory_path() / ("lumetra-fileedit-" + std::to_string(::getpid()))).string();
        fs::remove_all(Root);
        fs::create_directories(Root);
        std::ofstream(Root + "/frames.xml") << "<frames/>";
        File = New<TKvxFileNameEdit>(20, 60, 260);
        File->SetLabelCaption("File:");
        File->SetLabelPosition(lpTopLeft);
        File->SetFilter("XML File|*.xml");
        File->SetDefaultExt("*.xml");
        File->OnClickBtn = [this](TObject*) { ++Shown; };
        File->OnDialogExit = [this](TObject*, bool ok) { Exits.push_back(ok); };
        Driver.Pump();
    }
    void TearDown() override { fs::remove_all(Root); }

    // Chooses a name in the dialog the driver is given next; remembers what the dialog showed.
    void AnswerWith(const std::string& name) {
        Driver.AnswerNextModal([this, name](TCustomForm& form) {
            Caption = form.Caption();
            auto* types = dynamic_cast<TComboBox*>(form.FindComponent("FileTypeCombo"));
            for (int i = 0; types && i < types->Items()->Count(); ++i)
                Types.push_back(types->Items()->Get(i));
            TypeShown = types ? types->ItemIndex() : -1;
            dynamic_cast<TEdit*>(form.FindComponent("FileNameEdit"))->SetTextProp(name);
            dynamic_cast<TButton*>(form.FindComponent("OKButton"))->Click();
        });
    }

    std::string Root;
    TKvxFileNameEdit* File = nullptr;
    int Shown = 0;
    std::vector<bool> Exits;
    std::string Caption;
    std::vector<std::string> Types;
    int TypeShown = -1;
};

TEST_F(FileNameEditTest, OneF4PressOpensTheDialogOnceAndTakesTheChosenFile) {
    AnswerWith(Root + "/frames.xml");
    File->SetFocus();
    Driver.Pump();
    Driver.PressKey(VK_F4);
    Driver.Pump();
    EXPECT_EQ(Shown, 1);
    EXPECT_EQ(Driver.PendingModalAnswers(), 0);
    EXPECT_EQ(File->FileName(), Root + "/frames.xml");
    EXPECT_TRUE(File->ModifiedState());
    EXPECT_EQ(Exits, std::vector<bool>{true});
    EXPECT_EQ(Caption, "Open");
}

TEST_F(FileNameEditTest, CancelKeepsTheValueAndTheModifiedState) {
    File->SetFileName(Root + "/frames.xml");
    EXPECT_FALSE(File->ModifiedState());
    Driver.AnswerNextModal([](TCustomForm& form) { form.SetModalResult(mrCancel); });
    Driver.Click(File->Button()->Button());
    EXPECT_EQ(Shown, 1);
    EXPECT_EQ(Exits, std::vector<bool>{false});
    EXPECT_EQ(File->FileName(), Root + "/frames.xml");
    EXPECT_FALSE(File->ModifiedState());
}

// Each kind runs its dialog; the picture kinds list the picture types after the edit's own filter.
TEST_F(FileNameEditTest, EveryDialogKindRunsItsDialog) {
    struct Case {
        TFileDialogKind Kind;
        const char* Caption;
        bool Pictures;
    };
    for (const Case& c : {Case{fdOpen, "Open", false}, Case{fdSave, "Save As", false},
                          Case{fdOpenPicture, "Open", true}, Case{fdSavePicture, "Save As", true}}) {
        File->SetDialogKind(c.Kind);
        Types.clear();
        AnswerWith(Root + "/frames.xml");
        File->ButtonClick();
        EXPECT_EQ(Caption, c.Caption) << c.Kind;
        ASSERT_FALSE(Types.empty());
        EXPECT_EQ(Types.front().rfind("XML File", 0), 0u) << c.Kind;
        EXPECT_EQ(Types.size() > 1, c.Pictures) << c.Kind;
    }
}

// The next dialog starts at the edit's file and the type chosen last; the picture kinds keep the edit's
// own types first, so the index means the same type in both kinds.
TEST_F(FileNameEditTest, TheNextDialogStartsAtTheFileAndTheLastType) {
    File->SetDialogKind(fdOpenPicture);
    File->SetFilterIndex(2);
    std::string nameShown;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        TypeShown = dynamic_cast<TComboBox*>(form.FindComponent("FileTypeCombo"))->ItemIndex();
        nameShown = dynamic_cast<TEdit*>(form.FindComponent("FileNameEdit"))->Text();
        form.SetModalResult(mrCancel);
    });
    File->SetFileName(Root + "/frames.xml");
    File->ButtonClick();
    EXPECT_EQ(TypeShown, 1);
    EXPECT_EQ(nameShown, "frames.xml");
    EXPECT_EQ(File->FilterIndex(), 2);
}

TEST_F(FileNameEditTest, AnExistingFileLooksLikeALinkWithShowURL) {
    File->SetShowURL(true);
    File->SetFileName(Root + "/frames.xml");
    EXPECT_TRUE(File->IsURL());
    File->SetFileName(Root + "/frames.xm");
    EXPECT_FALSE(File->IsURL());
    File->SetShowURL(false);
    File->SetFileName(Root + "/frames.xml");
    EXPECT_FALSE(File->IsURL());
}

TEST_F(FileNameEditTest, OnlyAnExistingFileIsValid) {
    File->SetShowError(true);
    File->SetFileName(Root + "/frames.xml");
    EXPECT_FALSE(File->ErrorState());
    File->SetFileName(Root + "/missing.xml");
    EXPECT_TRUE(File->ErrorState());
    // A handler sees the preset and may overrule it.
    File->OnValueValidate = [](TObject*, const std::string&, bool& valid) { valid = true; };
    File->SetFileName(Root + "/other.xml");
    EXPECT_FALSE(File->ErrorState());
}

TEST_F(FileNameEditTest, NewEditsDifferFromTheStreamDefaultsAndTheNumberSettingsAreReadOnly) {
    EXPECT_EQ(File->FilterIndex(), 0);
    EXPECT_EQ(File->DialogOptions(), 0u);
    EXPECT_EQ(File->DialogKind(), fdOpen);
    EXPECT_EQ(File->ButtonWidth(), 18);
    EXPECT_EQ(File->Version(), "1.3.2.3");
    const TPropInfo* index = GetPropInfo(File, "FilterIndex");
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->OrdDefault, 1);
    const TPropInfo* options = GetPropInfo(File, "DialogOptions");
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->OrdDefault, 524292);
    for (const char* name : {"AutoThousandSeparator", "EditAlign", "EditType", "ExcelStyleDecimalSeparator",
                             "PasswordChar", "Precision", "Signed"}) {
        const TPropInfo* p = GetPropInfo(File, name);
        ASSERT_NE(p, nullptr) << name;
        EXPECT_FALSE(p->IsWritable()) << name << " is settable";
    }
    EXPECT_EQ(File->EditType(), etString);
}

TEST_F(FileNameEditTest, PlainAndFocusedPictures) {
    File->SetFileName(Root + "/frames.xml");
    Driver.Pump();
    auto plain = Driver.Render(Form);
    TTestDriver::SavePng(*plain, TestOutputDir("dialogs") + "/filenameedit-plain.png");
    File->SetFocus();
    Driver.Pump();
    auto focused = Driver.Render(Form);
    TTestDriver::SavePng(*focused, TestOutputDir("dialogs") + "/filenameedit-focused.png");
    // The glyph of the button shows on its face.
    TKvxSpeedButton* b = File->Button()->Button();
    bool dark = false;
    for (int x = 2; x < b->Width() - 2; ++x)
        for (int y = 2; y < b->Height() - 2; ++y)
            dark = dark || Driver.Pixel(b, x, y) == clBlack;
    EXPECT_TRUE(dark);
}

} // namespace
