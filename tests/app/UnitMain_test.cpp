#include "app/UnitMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/ChartDocument.h"
#include "analysis/UnitChart.h"
#include "app/LumetraProgram.h"
#include "app/UnitAbout.h"
#include "app/UnitLineSensor.h"
#include "chart/PlotLisB.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/KvxOfficeTabSet.h"
#include "ui/toolbars/KvxToolBarControl.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The program as it starts, in a program folder of the test's own, so that lumcam.Ini and the error
// log land there.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Folder = TestOutputDir("app") + "/main/" + info->name();
        fs::remove_all(Folder);
        fs::create_directories(Folder);
        SetProgramFolderOverride(Folder);
        RegisterLumetraClasses();
    }
    void TearDown() override {
        SetProgramFolderOverride("");
        fmMain = nullptr;
        fmAbout = nullptr;
    }
    void Start() {
        CreateLumetraForms();
        fmMain->Show();
        Driver.Pump();
    }
    std::string IniFile() const { return Folder + "/lumcam.Ini"; }
    int StoredStyle() {
        TIniFile ini(IniFile());
        return ini.ReadInteger("Options", "Style", -100);
    }
    std::vector<std::string> CheckedStyles() const {
        std::vector<std::string> checked;
        for (int i = 0; i < fmMain->Style1->Count(); ++i)
            if (fmMain->Style1->Items(i)->Checked())
                checked.push_back(fmMain->Style1->Items(i)->Caption());
        return checked;
    }
    std::vector<std::string> ChildCaptions() const {
        std::vector<std::string> captions;
        for (int i = 0; i < fmMain->MDIChildCount(); ++i)
            captions.push_back(fmMain->MDIChildren(i)->Caption());
        std::sort(captions.begin(), captions.end());
        return captions;
    }
    // Answers the next message box and hands back its text.
    void AnswerMessage(std::string& Text) {
        Driver.AnswerNextModal([&Text](TCustomForm& form) {
            if (auto* label = dynamic_cast<TLabel*>(form.FindComponent("Message")))
                Text = label->Caption();
            form.SetModalResult(mrOk);
        });
    }
    // Answers the next file dialog with that name.
    void AnswerFile(const std::string& Name) {
        Driver.AnswerNextModal([Name](TCustomForm& form) {
            dynamic_cast<TEdit*>(form.FindComponent("FileNameEdit"))->SetTextProp(Name);
            dynamic_cast<TButton*>(form.FindComponent("OKButton"))->Click();
        });
    }

    TTestDriver Driver;
    std::string Folder;
};

TEST_F(MainWindow, StartUpMakesTheFormsInOrderWithTheMainWindowAsMainForm) {
    Start();
    EXPECT_EQ(Application->Title(), "Lumetra");
    EXPECT_EQ(Application->MainForm(), fmMain) << "not the About box, which was made first";
    std::vector<std::string> classes;
    for (int i = 0; i < Application->ComponentCount(); ++i)
        if (auto* form = dynamic_cast<TCustomForm*>(Application->Components(i)))
            classes.push_back(form->ClassName());
    const std::vector<std::string> expected = {
        "TfmAbout",           "TfmMain",           "Tfmmovingavsettings",
        "TfmPeakSettings",    "TfmSGFilterParams", "TfmNewTitle",
        "TfmIntegralOptions", "TfmMemo",           "TfmImportSample"};
    ASSERT_GE(classes.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(classes.begin(), classes.begin() + expected.size()), expected);
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
        if (form && form != fmMain) {
            EXPECT_FALSE(form->Visible()) << form->ClassName() << " stays hidden";
        }
    }
    EXPECT_EQ(GetWindow(fmMain->Handle(), GW_OWNER), nullptr) << "the main window is nobody's dialog";
    EXPECT_EQ(fmMain->Caption(), "Lumetra");
    EXPECT_EQ(fmMain->FormStyle(), fsMDIForm);
    EXPECT_EQ(fmMain->KvxFormStyler1->AppStyle(), fmAbout->KvxAppStyler1);
    EXPECT_EQ(fmMain->KvxToolBar1->Menu(), fmMain->MainMenu1);
    EXPECT_EQ(fmMain->WindowMenu(), fmMain->Window1);
    TTestDriver::SavePng(*Driver.Render(fmMain->Handle()), TestOutputDir("app") + "/main-window.png");
}

// The style index of the settings file, what the menu and the application styler show, and what
// closing writes back.
TEST_F(MainWindow, StyleComesFromTheSettingsFileAndGoesBackOnClose) {
    const struct {
        const char* Stored; // null: no settings file
        int Tag;
        const char* Checked;
        ui::TKVXStyle Style;
    } cases[] = {
        {nullptr, 7, "Whidbey", ui::tsWhidbey},       {"0", 0, "Blue", ui::tsOffice2003Blue},
        {"1", 1, "Classic", ui::tsOffice2003Classic}, {"3", 3, "Silver 1", ui::tsOffice2003Silver},
        {"6", 6, "Silver 2", ui::tsOffice2007Silver}, {"8", 8, "WindowsXP", ui::tsWindowsXP},
        {"12", 7, "Whidbey", ui::tsWhidbey},          {"-1", 7, "Whidbey", ui::tsWhidbey},
        {"blue", 7, "Whidbey", ui::tsWhidbey},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Stored ? c.Stored : "no settings file");
        fs::remove(IniFile());
        if (c.Stored)
            std::ofstream(IniFile()) << "[Options]\r\nStyle=" << c.Stored << "\r\n";
        Start();
        EXPECT_EQ(fmMain->Style1->Tag(), c.Tag);
        EXPECT_EQ(CheckedStyles(), std::vector<std::string>{c.Checked});
        EXPECT_EQ(fmAbout->KvxAppStyler1->Style(), c.Style);
        EXPECT_EQ(fmMain->KvxFormStyler1->Style(), c.Style) << "the main window's styler follows";
        fmMain->Close();
        Driver.Pump();
        EXPECT_EQ(StoredStyle(), c.Tag);
        Application->CloseDown();
    }
}

// A settings file that cannot be written does not keep the program open; the failure is logged.
TEST_F(MainWindow, ClosingEndsEvenWhenTheStyleCannotBeWritten) {
    Start();
    fs::create_directories(IniFile()); // a folder where the file should be
    std::string told;
    AnswerMessage(told);
    fmMain->Exit1->Click();
    Driver.Pump();
    EXPECT_TRUE(Application->Terminated()) << "the program ends";
    EXPECT_NE(told, "");
    EXPECT_NE(ReadFile(ErrorLogFilePath()).find("Sender: fmMain"), std::string::npos);
}

TEST_F(MainWindow, AStyleItemIsCheckedAppliedAndKept) {
    Start();
    // The style reaches the components: the tab strip and the menu bar change colour.
    const auto colours = [&] {
        return std::pair(Driver.Pixel(fmMain->KvxOfficeMDITabSet1, 300, 10),
                         Driver.Pixel(fmMain->KvxToolBar1, 300, 10));
    };
    const auto whidbey = colours();
    TMenuItem* luna = fmMain->Style1->Items(4);
    ASSERT_EQ(luna->Caption(), "Luna");
    luna->Click();
    Driver.Pump();
    const auto lunaColours = colours();
    EXPECT_NE(lunaColours.first, whidbey.first);
    EXPECT_NE(lunaColours.second, whidbey.second);
    EXPECT_EQ(CheckedStyles(), std::vector<std::string>{"Luna"});
    EXPECT_EQ(fmMain->Style1->Tag(), 4);
    EXPECT_EQ(fmAbout->KvxAppStyler1->Style(), ui::tsOffice2007Luna);
    TTestDriver::SavePng(*Driver.Render(fmMain->Handle()), TestOutputDir("app") + "/main-window-luna.png");

    // A tag outside the menu's falls back to Whidbey and says so in the menu.
    fmMain->ApplyStyleTag(42);
    EXPECT_EQ(fmAbout->KvxAppStyler1->Style(), ui::tsWhidbey);
    EXPECT_EQ(CheckedStyles(), std::vector<std::string>{"Whidbey"});
    EXPECT_EQ(fmMain->Style1->Tag(), 7);

    fmMain->Style1->Items(5)->Click();
    fmMain->Exit1->Click();
    Driver.Pump();
    EXPECT_EQ(StoredStyle(), 5);
}

TEST_F(MainWindow, VersionShowsTheAboutBoxAndSaveChartWantsADocumentWindow) {
    Start();
    std::string caption;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        caption = form.Caption();
        Driver.ClickButton(&form, "Close");
    });
    fmMain->Version1->Click();
    EXPECT_EQ(caption, "About");

    Driver.AnswerNextModal([](TCustomForm& form) { form.SetModalResult(mrCancel); });
    fmMain->SaveChart1->Click();
    EXPECT_EQ(Driver.PendingModalAnswers(), 1) << "without a document window no dialog is shown";
}

TEST(MainWindowFormatCode, ExtensionsGiveTheirExportCodeAndEverythingElseText) {
    const struct {
        const char* Name;
        bool IsPath;
        int Code;
    } cases[] = {
        {"/data/frames.txt", true, 1},
        {"/data/frames.xls", true, 2},
        {"/data/frames.HTML", true, 3},
        {"/data/frames.xml", true, 4},
        {"/data/frames.Bmp", true, 5},
        {"/data/frames.emf", true, 6},
        {"/data/frames.wmf", true, 7},
        {"/data/frames.htm", true, 1},
        {"/data/frames.xlsx", true, 1},
        {"/data/frames", true, 1},
        {"/data.xml/frames", true, 1},
        {"/data/frames.xml.bak", true, 1},
        {".xml", false, 4},
        {".WMF", false, 7},
        {"frames.xml", false, 1},
        {"", false, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TfmMain::FormatCodeOf(c.Name, c.IsPath), c.Code) << c.Name << (c.IsPath ? " (path)" : "");
}

// Each new chart window takes the next number: New Chart, Load Chart (captioned after the file) and
// the copy request alike; each gets a tab and an entry in the window list.
TEST_F(MainWindow, ChartWindowsAreNumberedInTheOrderTheyAreMade) {
    Start();
    fmMain->NewChart1->Click();
    fmMain->NewChart1->Click();
    EXPECT_EQ(ChildCaptions(), (std::vector<std::string>{"Chart 1", "Chart 2"}));

    TChartDocument doc;
    doc.Frames.push_back({"FRAME 1", 0xFF, 3, {0, 1, 2}, {1, 3, 2}, {1}, {}});
    const std::string file = Folder + "/spectrum.xml";
    WriteChartDocument(doc, file);
    AnswerFile(file);
    fmMain->LoadChart1->Click();
    EXPECT_EQ(fmMain->ActiveMDIChild()->Caption(), "spectrum");
    EXPECT_EQ(fmMain->NextChartNumber(), 4) << "a loaded chart still takes a number";

    SendMessage(fmMain->Handle(), WM_COPYSERIES, 0, 0);
    EXPECT_EQ(fmMain->ActiveMDIChild()->Caption(), "Chart 4");
    fmMain->NewChart1->Click();
    EXPECT_EQ(ChildCaptions(),
              (std::vector<std::string>{"Chart 1", "Chart 2", "Chart 4", "Chart 5", "spectrum"}));

    auto* tabs = fmMain->KvxOfficeMDITabSet1;
    ASSERT_EQ(tabs->GetTabCount(), 5);
    EXPECT_EQ(tabs->GetTab(4)->OfficeHint()->Title(), "Chart 5");
    EXPECT_EQ(tabs->GetTab(4)->OfficeHint()->Notes()->Text(), "");
    EXPECT_EQ(tabs->GetTab(2)->OfficeHint()->Title(), "spectrum");
    EXPECT_EQ(fmMain->KvxToolBar1->WindowList().size(), 5u);

    // Closing a chart window frees it and takes it out of the window list and the tab set.
    TCustomForm* closing = fmMain->ActiveMDIChild();
    closing->Close();
    Driver.Pump();
    EXPECT_EQ(fmMain->MDIChildCount(), 4);
    EXPECT_EQ(tabs->GetTabCount(), 4);
    EXPECT_EQ(fmMain->KvxToolBar1->WindowList().size(), 4u);
    TTestDriver::SavePng(*Driver.Render(fmMain->Handle()), TestOutputDir("app") + "/main-charts.png");
}

// Save Chart hands the active window's export the code of the file's extension: .HTML is HTML, .htm
// text; with the live window active its own export writes.
TEST_F(MainWindow, SaveChartExportsTheActiveWindowByTheExtension) {
    Start();
    TChartDocument doc;
    doc.Frames.push_back({"FRAME 1", 0xFF, 3, {0, 1, 2}, {1, 3, 2}, {}, {}});
    const std::string file = Folder + "/spectrum.xml";
    WriteChartDocument(doc, file);
    AnswerFile(file);
    fmMain->LoadChart1->Click();
    auto* chart = dynamic_cast<TfmChart*>(fmMain->ActiveMDIChild());
    ASSERT_NE(chart, nullptr);
    ASSERT_EQ(chart->FrameCount(), 1);
    chart->ChartListBox1->SetItemIndex(0);
    chart->ChartListBox1->SetSelected(0, true);

    const struct {
        const char* Name;
        const char* Holds;
    } saves[] = {{"saved.HTML", "<table"}, {"saved.htm", ";"}, {"saved.xml", "<chart"}};
    for (const auto& save : saves) {
        AnswerFile(Folder + "/" + save.Name);
        fmMain->SaveChart1->Click();
        const std::string text = ReadFile(Folder + "/" + save.Name);
        EXPECT_NE(text.find(save.Holds), std::string::npos) << save.Name << ":\n" << text;
    }
    EXPECT_EQ(ReadFile(Folder + "/saved.htm").find("<table"), std::string::npos) << ".htm is no HTML";

    fmMain->LineSensor1->Click();
    ASSERT_EQ(fmMain->ActiveMDIChild(), fmLineSensor);
    AnswerFile(Folder + "/live.xml");
    fmMain->SaveChart1->Click();
    EXPECT_TRUE(IsChartDocument(Folder + "/live.xml")) << "the live window wrote its chart document";
}

TEST_F(MainWindow, TheCopyRequestWithoutAnActiveChartWindowOpensNothing) {
    Start();
    SendMessage(fmMain->Handle(), WM_COPYSERIES, 0, 0);
    fmMain->LineSensor1->Click();
    SendMessage(fmMain->Handle(), WM_COPYSERIES, 0, 0);
    EXPECT_EQ(fmMain->MDIChildCount(), 1) << "the live window is no chart window";
    EXPECT_EQ(fmMain->NextChartNumber(), 1);
}

// A file that is not a chart document opens no window and the user is told; the number stays.
TEST_F(MainWindow, LoadChartRefusesAFileThatIsNoChartDocument) {
    Start();
    const std::string file = Folder + "/settings.xml";
    std::ofstream(file) << "<?xml version=\"1.0\"?>\r\n<settings><a>1</a></settings>\r\n";
    std::string told;
    AnswerFile(file);
    AnswerMessage(told);
    fmMain->LoadChart1->Click();
    EXPECT_EQ(fmMain->MDIChildCount(), 0);
    EXPECT_NE(told.find("settings.xml"), std::string::npos) << told;
    EXPECT_NE(told.find("not a chart document"), std::string::npos) << told;
    EXPECT_EQ(fmMain->NextChartNumber(), 1);

    // Cancelled, nothing happens.
    Driver.AnswerNextModal([](TCustomForm& form) { form.SetModalResult(mrCancel); });
    fmMain->LoadChart1->Click();
    EXPECT_EQ(fmMain->MDIChildCount(), 0);
    EXPECT_EQ(Driver.PendingModalAnswers(), 0);
}

// File > Zevi Zezaru picked on the menu bar as a user does.
TEST_F(MainWindow, ZeviZezaruTwiceOpensOneWindowAndItsTabSaysSensor) {
    Start();
    ui::TKvxToolBarMenuButton* file = nullptr;
    for (TControl* c : fmMain->KvxToolBar1->OrderedControls())
        if (auto* b = dynamic_cast<ui::TKvxToolBarMenuButton*>(c); b && b->Caption() == "File")
            file = b;
    ASSERT_NE(file, nullptr);
    std::vector<std::string> dropped;
    SetMenuLoopHook([&](TMenu* menu) {
        dropped.push_back(menu->Items()->Count() > 0 ? menu->Items()->Items(0)->Caption() : "?");
        Driver.PressKey(VK_DOWN);
        Driver.PressKey(VK_RETURN);
    });
    ScopeGuard noHook([] { SetMenuLoopHook(nullptr); });
    Driver.Click(TTestDriver::CenterOf(file));
    Driver.Pump();
    TfmLineSensor* live = fmLineSensor;
    ASSERT_NE(live, nullptr);
    Driver.Click(TTestDriver::CenterOf(file));
    Driver.Pump();
    EXPECT_EQ(dropped, (std::vector<std::string>{"Zevi Zezaru", "Zevi Zezaru"}));
    EXPECT_EQ(fmLineSensor, live);
    EXPECT_EQ(fmMain->MDIChildCount(), 1);
    auto* tabs = fmMain->KvxOfficeMDITabSet1;
    ASSERT_EQ(tabs->GetTabCount(), 1);
    EXPECT_EQ(tabs->GetTab(0)->OfficeHint()->Title(), live->Caption());
    EXPECT_EQ(tabs->GetTab(0)->OfficeHint()->Notes()->Text(), "Sensor?\r\n");
    EXPECT_EQ(fmMain->KvxToolBar1->WindowList().size(), 1u);

    live->Close();
    Driver.Pump();
    EXPECT_EQ(fmLineSensor, nullptr) << "closing frees the window";
    EXPECT_EQ(fmMain->MDIChildCount(), 0);
    EXPECT_TRUE(fmMain->KvxToolBar1->WindowList().empty());
    fmMain->LineSensor1->Click();
    EXPECT_NE(fmLineSensor, nullptr) << "and it can be opened again";
}

// The exception log's record, byte for byte, for a component, an object and no sender; the message is
// shown in a box, and the log sample is kept as lumetra.error.log.
TEST_F(MainWindow, ExceptionsAreLoggedAndShown) {
    TScopedFormatSettings fixedFormats{TFormatSettings{}};
    Start();
    Driver.Clock().SetLocalNow(EncodeDate(2026, 12, 8) + EncodeTime(14, 5, 9, 0));
    std::vector<std::string> shown(3);
    const auto raise = [&](TObject* sender, std::string& told) {
        AnswerMessage(told);
        try {
            throw EConvertError("'12,5x' is not a valid floating point value");
        } catch (...) {
            Application->HandleException(sender);
        }
    };
    fmMain->NewChart1->SetName("NewChart1");
    raise(fmMain->NewChart1, shown[0]);
    TStringList notAComponent;
    raise(&notAComponent, shown[1]);
    raise(nullptr, shown[2]);
    for (const std::string& s : shown)
        EXPECT_EQ(s, "'12,5x' is not a valid floating point value");

    const std::string record = "12/8/2026 14:05:09 - Exception: EConvertError\r\n"
                               "Message: '12,5x' is not a valid floating point value\r\n";
    const std::string expected = record + "Sender: NewChart1\r\n\r\n" + record +
                                 "Sender: TStringList\r\n\r\n" + record + "Sender: (none)\r\n\r\n";
    const std::string log = ErrorLogFilePath();
    EXPECT_EQ(fs::path(log).parent_path(), fs::path(Folder));
    EXPECT_EQ(ReadFile(log), expected);
    fs::copy_file(log, TestOutputDir("app") + "/lumetra.error.log", fs::copy_options::overwrite_existing);
}

} // namespace
