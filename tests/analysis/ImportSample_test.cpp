#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/UnitLoadSample.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/ControlsClasses.h"
#include "ui/controls/HTMLChkList.h"
#include "ui/controls/KvxFileNameEdit.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/OfficeClasses.h"

using namespace plat;

namespace {

std::string Frame(const std::string& title, int count, int children) {
    std::string s = "<Frame Title=\"" + title + "\" Color=\"1\" MaxYValue=\"1\"><points Count=\"" +
                    std::to_string(count) + "\">";
    for (int i = 0; i < children; ++i)
        s += "<point index=\"" + std::to_string(i) + "\" X=\"1\" Y=\"1\"/>";
    return s + "</points></Frame>";
}

class ImportSample : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandardClasses();
        ui::RegisterControlsClasses();
        ui::RegisterOfficeClasses();
        // The dialog's styler follows the application's, which lives in the About box.
        about = NewForm<TForm>(Application);
        about->SetName("fmAbout");
        (new ui::TKvxAppStyler(about))->SetName("KvxAppStyler1");
        dialog = NewForm<TfmImportSample>(Application);
        const std::string dir = TestOutputDir("analysis") + "/import-sample";
        std::filesystem::create_directories(dir);
        file = dir + "/Frames of a user.xml";
        // Titles with markup characters, a frame of another count, one whose list disagrees with its
        // count and an empty one.
        WriteFileAtomically(file,
                            "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<chart><Frames Count=\"5\">" +
                                Frame("&lt;a href=&quot;x&quot;&gt;link&lt;/a&gt;", 2, 2) +
                                Frame("short &amp; &lt;b&gt;bold&lt;/b&gt;", 1, 1) + Frame("third", 2, 2) +
                                Frame("bad", 2, 1) + Frame("empty", 0, 0) + "</Frames></chart>");
    }
    void TearDown() override {
        dialog->Free();
        about->Free();
    }

    std::vector<bool> Enabled() const {
        std::vector<bool> enabled;
        for (int i = 0; i < dialog->SampleCheckList->Items()->Count(); ++i)
            enabled.push_back(dialog->SampleCheckList->GetItemEnabled(i));
        return enabled;
    }

    TTestDriver driver;
    TForm* about = nullptr;
    TfmImportSample* dialog = nullptr;
    std::string file;
};

} // namespace

TEST_F(ImportSample, ListsFramesEnabledByTheirPointCount) {
    EXPECT_EQ(dialog->Caption(), "Import Frame");
    EXPECT_EQ(dialog->lb_file->Caption(), "---");
    EXPECT_EQ(dialog->FRequiredPointCount, 0);
    EXPECT_EQ(dialog->ed_fname->InitialDir(), ProgramFolder());
    EXPECT_EQ(dialog->ed_fname->Filter(), "XML File|*.xml");

    dialog->ed_fname->SetFileName(file);
    EXPECT_EQ(dialog->lb_file->Caption(), "Frames of a user");
    ui::THTMLCheckList* list = dialog->SampleCheckList;
    ASSERT_EQ(list->Items()->Count(), 5);
    EXPECT_EQ(list->Items()->Get(0), "&lt;a href=\"x\"&gt;link&lt;/a&gt; ; 2 Pixel");
    EXPECT_EQ(list->Items()->Get(1), "short &amp; &lt;b&gt;bold&lt;/b&gt; ; 1 Pixel");
    EXPECT_EQ(list->Items()->Get(3), "bad ; 2 Pixel");
    EXPECT_EQ(Enabled(), (std::vector<bool>{true, true, true, false, false}));

    // The window's frames hold 2 points: the one-point frame cannot join them.
    dialog->FRequiredPointCount = 2;
    dialog->ed_fname->SetFileName("");
    EXPECT_EQ(list->Items()->Count(), 0);
    EXPECT_EQ(dialog->lb_file->Caption(), "");
    dialog->ed_fname->SetFileName(file);
    EXPECT_EQ(Enabled(), (std::vector<bool>{true, false, true, false, false}));

    // A name typed key by key is no file until it is complete: nothing listed, nothing raised.
    dialog->ed_fname->SetFileName(file.substr(0, file.size() - 2));
    EXPECT_EQ(list->Items()->Count(), 0);
    // A file that is no XML raises to the application's handler, with the list empty.
    const std::string broken = file + ".broken";
    WriteFileAtomically(broken, std::string("<chart><Frames Count=\"1\"><Frame"));
    EXPECT_THROW(dialog->ed_fname->SetFileName(broken), Exception);
    EXPECT_EQ(list->Items()->Count(), 0);

    dialog->Reset();
    EXPECT_EQ(dialog->FileName(), "");
    EXPECT_EQ(list->Items()->Count(), 0);
}

TEST_F(ImportSample, TickedRowsComeBackInFileOrderAndMarkupStaysText) {
    dialog->FRequiredPointCount = 2;
    dialog->ed_fname->SetFileName(file);
    ui::THTMLCheckList* list = dialog->SampleCheckList;
    std::vector<int> picked;
    driver.AnswerNextModal([&](TCustomForm& form) {
        driver.Pump();
        // Ticks every row by clicking its box; the disabled rows stay unticked.
        for (int i = list->Items()->Count() - 1; i >= 0; --i) {
            const TRect row = list->ItemRect(i);
            driver.Click(list, {row.Left + list->CheckAreaWidth(i) / 2, (row.Top + row.Bottom) / 2});
        }
        TTestDriver::SavePng(*driver.Render(form.Handle()), TestOutputDir("app") + "/import-dialog.png");
        picked = dialog->CheckedFrames();
        driver.ClickButton(&form, "Import");
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(picked, (std::vector<int>{0, 2}));
    for (int i = 0; i < list->Items()->Count(); ++i)
        EXPECT_EQ(list->GetChecked(i), i == 0 || i == 2) << i;
    // Nothing of the names is taken as a tag, and no link is made.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(list->GetItemPlainText(i), list->Items()->Get(i));
    std::string anchor;
    for (int y = 0; y < 16; y += 2)
        for (int x = 0; x < list->Width(); x += 4)
            EXPECT_EQ(list->AnchorAt(x, y, anchor), -1);
}

TEST(EscapeMarkup, EscapesTheThreeMarkupCharacters) {
    EXPECT_EQ(EscapeMarkup("a<b>&c\"d'"), "a&lt;b&gt;&amp;c\"d'");
    EXPECT_EQ(EscapeMarkup(""), "");
}
