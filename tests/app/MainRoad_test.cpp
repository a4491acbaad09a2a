// The main road, end to end: the program started as its program block starts it, then driven as a user
// drives it, from the live camera to the chart windows and their documents, ending with the camera
// pulled out while live.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "analysis/ChartDocument.h"
#include "analysis/UnitChart.h"
#include "analysis/UnitIntegralOptions.h"
#include "analysis/UnitLoadSample.h"
#include "analysis/UnitMemo.h"
#include "analysis/UnitNewTitle.h"
#include "analysis/UnitPeakSettings.h"
#include "analysis/UnitTypes.h"
#include "app/CameraDefs.h"
#include "app/LumetraProgram.h"
#include "app/UnitAbout.h"
#include "app/UnitLineSensor.h"
#include "app/UnitMain.h"
#include "chart/Chart.h"
#include "chart/PlotLisB.h"
#include "chart/Series.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Memo.h"
#include "platform/ui/Menu.h"
#include "platform/ui/RichEdit.h"
#include "ui/controls/HTMLChkList.h"
#include "ui/controls/KvxCombo.h"
#include "ui/controls/KvxDirectoryEdit.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxFileNameEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxSpin.h"
#include "ui/controls/KvxTrackBar.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/office/KvxOfficePager.h"
#include "ui/toolbars/KvxToolBarControl.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char* const kCameraVariables[] = {"LUMCAM_PIXELS", "LUMCAM_SERIAL", "LUMCAM_FAULT_UNPLUG_AFTER"};

class MainRoad : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = TestOutputDir("app") + "/road";
        fs::remove_all(Folder);
        fs::create_directories(Folder + "/quicksave");
        SetProgramFolderOverride(Folder);
        for (const char* name : kCameraVariables)
            unsetenv(name);
        setenv("LUMCAM_SERIAL", "ROAD0001", 1);
        // The program's own binding; the test program does not stand beside the simulated library.
        ASSERT_TRUE(CameraLibrary().LoadFrom(LUMCAM_LIBRARY_DIR)) << CameraLibrary().ErrorMessage();
        // The program block's steps up to its message loop, which the driver's pumping stands for.
        Application->Initialize();
        RegisterLumetraClasses();
        CreateLumetraForms();
        fmMain->SetBounds(0, 0, 1600, 1000);
        fmMain->Show();
        Driver.Pump();
    }
    void TearDown() override {
        for (const char* name : kCameraVariables)
            unsetenv(name);
        SetProgramFolderOverride("");
        fmMain = nullptr;
        fmAbout = nullptr;
    }

    // Picks an item of the main window's File menu on its menu bar, by keys as a user does.
    void FileMenu(TMenuItem* item) {
        ui::TKvxToolBarMenuButton* file = nullptr;
        for (TControl* c : fmMain->KvxToolBar1->OrderedControls())
            if (auto* b = dynamic_cast<ui::TKvxToolBarMenuButton*>(c); b && b->Caption() == "File")
                file = b;
        ASSERT_NE(file, nullptr);
        int downs = 0;
        for (int i = 0; i < fmMain->File1->Count() && fmMain->File1->Items(i) != item; ++i)
            if (fmMain->File1->Items(i)->Caption() != "-")
                ++downs;
        bool dropped = false;
        SetMenuLoopHook([&](TMenu*) {
            dropped = true;
            for (int i = 0; i <= downs; ++i)
                Driver.PressKey(VK_DOWN);
            Driver.PressKey(VK_RETURN);
        });
        ScopeGuard noHook([] { SetMenuLoopHook(nullptr); });
        Driver.Click(TTestDriver::CenterOf(file));
        Driver.Pump();
        EXPECT_TRUE(dropped) << "the File menu did not drop down";
    }
    // Right-clicks a control and picks an item of a sub-menu of its pop-up menu by keys: the item of the
    // menu at `row`, then the one at `subRow` of its sub-menu (rows count the items shown).
    void PopupPick(TControl* control, TPoint client, int row, int subRow) {
        int loops = 0;
        SetMenuLoopHook([&](TMenu*) {
            if (loops++ > 0)
                return;
            for (int i = 0; i <= row; ++i)
                Driver.PressKey(VK_DOWN);
            Driver.PressKey(VK_RIGHT);
            for (int i = 0; i < subRow; ++i)
                Driver.PressKey(VK_DOWN);
            Driver.PressKey(VK_RETURN);
        });
        ScopeGuard noHook([] { SetMenuLoopHook(nullptr); });
        Driver.Click(control, client, tbRight);
        Driver.Pump();
        EXPECT_GT(loops, 0) << "no pop-up menu came";
    }
    // Answers the next file dialog with that name.
    void AnswerFile(const std::string& name) {
        Driver.AnswerNextModal([name](TCustomForm& form) {
            dynamic_cast<TEdit*>(form.FindComponent("FileNameEdit"))->SetTextProp(name);
            dynamic_cast<TButton*>(form.FindComponent("OKButton"))->Click();
        });
    }
    // Answers the next parameter dialog: Fill sets its fields, then Submit is clicked.
    template <class TDialog> void AnswerDialog(std::function<void(TDialog&)> fill, bool& shown) {
        Driver.AnswerNextModal([this, fill, &shown](TCustomForm& form) {
            Driver.Pump();
            auto* dialog = dynamic_cast<TDialog*>(&form);
            ASSERT_NE(dialog, nullptr) << "another dialog came up: " << form.Caption();
            shown = true;
            if (fill)
                fill(*dialog);
            Driver.Click(dialog->bt_submit);
        });
    }
    // Lets the camera run in real time, with the fake clock moving the refresh interval on, until the
    // check holds.
    bool RunLiveUntil(const std::function<bool()>& done, int rounds = 400) {
        for (int i = 0; i < rounds; ++i) {
            Driver.Advance(100, 20);
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    TfmChart* ActiveChart() const { return dynamic_cast<TfmChart*>(fmMain->ActiveMDIChild()); }
    // Clicks a row of a chart window's frame list on its title, which makes it the one selected row.
    void ClickRow(TfmChart* chart, int row) {
        chart::TChartListBox* list = chart->ChartListBox1;
        const int x = list->SectionLeft(chart::lbsTitle) + 20;
        Driver.Click(list, TPoint(x, row * list->ItemHeight() + list->ItemHeight() / 2));
        Driver.Pump();
    }
    static std::vector<std::string> ResultLines(TfmChart* chart) {
        std::vector<std::string> lines;
        for (int i = 0; i < chart->re_result->Lines()->Count(); ++i)
            lines.push_back(chart->re_result->Lines()->Get(i));
        return lines;
    }
    static bool HasLineStarting(const std::vector<std::string>& lines, const std::string& start) {
        for (const std::string& line : lines)
            if (line.rfind(start, 0) == 0)
                return true;
        return false;
    }
    static std::vector<double> Values(chart::TChartSeries* frame) {
        std::vector<double> values;
        for (int i = 0; i < frame->Count(); ++i)
            values.push_back(frame->YValues()->Items(i));
        return values;
    }
    static void ExpectSameValues(chart::TChartSeries* a, chart::TChartSeries* b) {
        EXPECT_EQ(Values(a), Values(b)) << a->Title();
        for (int i = 0; i < a->Count(); ++i)
            ASSERT_EQ(a->XValues()->Items(i), b->XValues()->Items(i)) << a->Title() << " point " << i;
    }
    static std::vector<std::string> FrameTitles(TfmChart* chart) {
        std::vector<std::string> titles;
        for (int i = 0; i < chart->FrameCount(); ++i)
            titles.push_back(chart->Frame(i)->Title());
        return titles;
    }

    TTestDriver Driver;
    std::string Folder;
};

TEST_F(MainRoad, FromTheLiveCameraThroughTheChartWindowsToAnUnpluggedCamera) {
    TScopedFormatSettings fixedFormats{TFormatSettings{}};
    // ---- The live window: open the camera and let it run ----
    FileMenu(fmMain->LineSensor1);
    TfmLineSensor* live = fmLineSensor;
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(fmMain->ActiveMDIChild(), live);
    Driver.Click(live->btn_enum);
    EXPECT_EQ(live->StatusText(0), "USB DEVICE READY");
    EXPECT_EQ(live->Caption(), "Zevi Zezaru (CMOS-2048)");
    EXPECT_EQ(live->cb_devices->Text(), "LUMCAM-2048 ROAD0001");
    Driver.Click(live->btn_start);
    EXPECT_EQ(live->StatusText(0), "SET STATE: OK");
    EXPECT_EQ(live->btn_start->Caption(), "Stop");
    ASSERT_TRUE(RunLiveUntil([&] {
        return live->Series1->Count() == 2048 && live->Series1->YValues()->MaxValue() > 0;
    })) << "no frame came";

    // Ctrl+D keeps the shown frame as the dark frame, with its time and point count; subtracting it
    // leaves little more than noise.
    Driver.Clock().SetLocalNow(EncodeDate(2026, 12, 8) + EncodeTime(14, 2, 30, 0));
    Driver.PressKey('D', modControl);
    EXPECT_EQ(live->lb_df_count->Caption(), "2048");
    EXPECT_EQ(live->lb_df_time->Caption(), "08/12/26 14:02:30");
    const double rawMax = live->Series1->YValues()->MaxValue();
    live->KvxOfficePager1->SetActivePage(live->pg_signal);
    Driver.Pump();
    Driver.Click(live->cb_subtract_df);
    EXPECT_TRUE(live->cb_subtract_df->Checked());
    ASSERT_TRUE(RunLiveUntil([&] { return live->Series1->YValues()->MaxValue() < rawMax / 4; }))
        << "the dark frame is not subtracted: " << live->Series1->YValues()->MaxValue() << " of " << rawMax;
    // Back to the lamp lines for the rest of the road.
    Driver.Click(live->cb_subtract_df);
    EXPECT_FALSE(live->cb_subtract_df->Checked());

    // Ten frames accumulated: first as their sum, well above one frame, then as their mean, which
    // keeps the scale of one frame.
    live->ed_average->SetValue(10);
    Driver.Click(live->cb_averageactive);
    EXPECT_TRUE(live->cb_averageactive->Checked());
    ASSERT_TRUE(RunLiveUntil([&] { return live->Series1->YValues()->MaxValue() > 5 * rawMax; }))
        << "no sum of ten frames: " << live->Series1->YValues()->MaxValue() << " for one of " << rawMax;
    Driver.Click(live->cb_average);
    EXPECT_TRUE(live->cb_average->Checked());
    const std::string box = live->SettingsBoxText();
    EXPECT_NE(box.find("10"), std::string::npos) << box;
    ASSERT_TRUE(RunLiveUntil([&] {
        const double m = live->Series1->YValues()->MaxValue();
        return m > rawMax / 2 && m < 2 * rawMax;
    })) << "the mean of ten frames is not on the scale of one: "
        << live->Series1->YValues()->MaxValue();

    // Quick save with Ctrl+S in the window's default format, an enhanced metafile, named after the
    // (fake) time.
    live->KvxOfficePager1->SetActivePage(live->pg_saveas);
    Driver.Pump();
    live->ed_bmpdirectory->SetTextProp(Folder + "/quicksave");
    Driver.Clock().SetLocalNow(EncodeDate(2026, 12, 8) + EncodeTime(14, 5, 9, 0));
    Driver.PressKey('S', modControl);
    const std::string quick = ReadFile(Folder + "/quicksave/261208_140509.emf");
    ASSERT_GT(quick.size(), 44u) << "Ctrl+S wrote no metafile";
    EXPECT_EQ(quick.substr(0, 4), std::string("\x01\0\0\0", 4)) << "a header record first";
    EXPECT_EQ(quick.substr(40, 4), " EMF");

    // ---- A chart window: three live frames, analyses and their report ----
    FileMenu(fmMain->NewChart1);
    TfmChart* chart = ActiveChart();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->Caption(), "Chart 1");
    // Each frame after the first is taken at a shorter integration time, as a user would look for the
    // line heights that do not clip.
    const int integration[] = {0, 700, 450};
    for (int i = 0; i < 3; ++i) {
        if (integration[i] > 0) {
            const double previous = chart->Frame(i - 1)->YValues()->MaxValue();
            live->tb_tint->SetPosition(integration[i]);
            EXPECT_EQ(live->StatusText(0), "SET INT TIME: OK");
            ASSERT_TRUE(RunLiveUntil([&] { return live->Series1->YValues()->MaxValue() < previous * 0.85; }))
                << "the shorter integration time never showed";
        }
        bool asked = false;
        std::string proposed;
        AnswerDialog<TfmNewTitle>(
            [&](TfmNewTitle& d) {
                proposed = d.ed_samplename->Text();
                d.ed_samplename->SetTextProp("Lamp " + std::to_string(i + 1));
            },
            asked);
        Driver.Click(chart->btn_load);
        Driver.Pump();
        EXPECT_TRUE(asked);
        EXPECT_EQ(proposed, "FRAME " + std::to_string(i + 1));
    }
    ASSERT_EQ(FrameTitles(chart), (std::vector<std::string>{"Lamp 1", "Lamp 2", "Lamp 3"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(chart->Frame(i)->Count(), 2048);

    ClickRow(chart, 0);
    bool shown = false;
    AnswerDialog<TfmPeakSettings>(nullptr, shown);
    Driver.Click(chart->btn_findpeaks);
    Driver.Pump();
    EXPECT_TRUE(shown) << "Find Peaks asked nothing";
    EXPECT_GT(TfmChart::PeaksOf(chart->Frame(0))->PeakCount(), 0) << "the lamp has lines";

    Driver.Click(chart->btn_band);
    Driver.Pump();
    EXPECT_TRUE(chart->btn_band->Down());
    Driver.Click(chart->btn_stddeviation);
    Driver.Pump();
    shown = false;
    AnswerDialog<TfmIntegralOptions>(nullptr, shown);
    Driver.Click(chart->btn_integral);
    Driver.Pump();
    EXPECT_TRUE(shown) << "Integral asked nothing";
    const std::vector<std::string> report = ResultLines(chart);
    EXPECT_TRUE(HasLineStarting(report, "Lamp 1")) << "the report names its frame";
    EXPECT_TRUE(HasLineStarting(report, "Number of Peaks: " +
                                            std::to_string(TfmChart::PeaksOf(chart->Frame(0))->PeakCount())));
    EXPECT_TRUE(HasLineStarting(report, "trapeziodal rule:"));
    EXPECT_TRUE(HasLineStarting(report, "Deviation=")) << testing::PrintToString(report);

    // Relative on scales every frame to the largest maximum, off gives the values back as they were.
    std::vector<std::vector<double>> before;
    for (int i = 0; i < 3; ++i)
        before.push_back(Values(chart->Frame(i)));
    Driver.Click(chart->btn_relative);
    Driver.Pump();
    EXPECT_TRUE(chart->RelativeMode());
    double largest = 0;
    for (int i = 0; i < 3; ++i)
        largest = std::max(largest, chart->Frame(i)->YValues()->MaxValue());
    EXPECT_DOUBLE_EQ(largest, 100);
    Driver.Click(chart->btn_relative);
    Driver.Pump();
    EXPECT_FALSE(chart->RelativeMode());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Values(chart->Frame(i)), before[i]) << chart->Frame(i)->Title();

    // A text box, written in its dialog.
    shown = false;
    AnswerDialog<TfmMemo>([](TfmMemo& d) { d.Memo->Lines()->SetText("Hg-Ar lamp\r\nroad test"); }, shown);
    PopupPick(chart->Chart1, {chart->Chart1->Width() / 2, chart->Chart1->Height() / 2}, 1, 0);
    Driver.Pump();
    EXPECT_TRUE(shown);

    TTestDriver::SavePng(*Driver.Render(chart->Handle()), TestOutputDir("app") + "/main-chart.png");

    // ---- Documents: Save Chart as XML, Load Chart, import ----
    chart->ChartListBox1->SelectAll();
    const std::string saved = Folder + "/road-chart.xml";
    AnswerFile(saved);
    FileMenu(fmMain->SaveChart1);
    const std::string savedText = ReadFile(saved);
    ASSERT_EQ(savedText.rfind("<?xml", 0), 0u) << savedText.substr(0, 80);
    EXPECT_NE(savedText.find("Hg-Ar lamp"), std::string::npos) << "the text box is in the document";

    AnswerFile(saved);
    FileMenu(fmMain->LoadChart1);
    TfmChart* loaded = ActiveChart();
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded, chart);
    EXPECT_EQ(loaded->Caption(), "road-chart");
    EXPECT_EQ(FrameTitles(loaded), FrameTitles(chart));
    for (int i = 0; i < 3; ++i)
        ExpectSameValues(loaded->Frame(i), chart->Frame(i));

    EXPECT_EQ(TfmChart::PeaksOf(loaded->Frame(0))->PeakCount(),
              TfmChart::PeaksOf(chart->Frame(0))->PeakCount())
        << "the peak marks come back";
    const TChartDocument reloadedDoc = loaded->ChartDocument();
    ASSERT_EQ(reloadedDoc.TextBoxes.size(), 1u);
    EXPECT_EQ(reloadedDoc.TextBoxes[0].Text, "Hg-Ar lamp\rroad test\r");
    // Saved again, the loaded window writes the same bytes.
    loaded->ChartListBox1->SelectAll();
    AnswerFile(Folder + "/road-chart-reloaded.xml");
    FileMenu(fmMain->SaveChart1);
    EXPECT_EQ(ReadFile(Folder + "/road-chart-reloaded.xml"), savedText);

    // Importing the second frame of the document into the loaded window.
    bool imported = false;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.Pump();
        auto* dialog = dynamic_cast<TfmImportSample*>(&form);
        ASSERT_NE(dialog, nullptr) << form.Caption();
        dialog->ed_fname->SetFileName(saved);
        ui::THTMLCheckList* list = dialog->SampleCheckList;
        ASSERT_EQ(list->Items()->Count(), 3);
        const TRect row = list->ItemRect(1);
        Driver.Click(list, {row.Left + list->CheckAreaWidth(1) / 2, (row.Top + row.Bottom) / 2});
        imported = true;
        Driver.ClickButton(&form, "Import");
    });
    Driver.Click(loaded->btn_loadfromfile);
    Driver.Pump();
    EXPECT_TRUE(imported);
    ASSERT_EQ(loaded->FrameCount(), 4);
    EXPECT_EQ(loaded->Frame(3)->Title(), "Lamp 2");

    // ---- Copy to a new chart ----
    ClickRow(loaded, 3);
    PopupPick(loaded->ChartListBox1, {40, 3 * loaded->ChartListBox1->ItemHeight() + 4}, 3, 3);
    Driver.Pump();
    TfmChart* copy = ActiveChart();
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, loaded);
    EXPECT_EQ(copy->Caption(), "Chart 3");
    EXPECT_EQ(FrameTitles(copy), std::vector<std::string>{"Lamp 2"});
    ExpectSameValues(copy->Frame(0), chart->Frame(1));

    // ---- The camera pulled out while live ----
    live->Close();
    Driver.Pump();
    ASSERT_EQ(fmLineSensor, nullptr);
    setenv("LUMCAM_FAULT_UNPLUG_AFTER", "100", 1);
    FileMenu(fmMain->LineSensor1);
    live = fmLineSensor;
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(live->ed_bmpdirectory->Text(), Folder + "/quicksave") << "the settings file kept the folder";
    Driver.Click(live->btn_enum);
    Driver.Click(live->btn_start);
    EXPECT_TRUE(RunLiveUntil([&] {
        return live->StatusText(0) == "ACQUISITION STOPPED: DEVICE NOT CONNECTED";
    })) << live->StatusText(0);
    EXPECT_EQ(live->btn_closedevice->Caption(), "Open Device");
    EXPECT_EQ(live->Caption(), "Zevi Zezaru");
    live->Close();
    Driver.Pump();
    EXPECT_EQ(fmLineSensor, nullptr);

    fmMain->Close();
    Driver.Pump();
    EXPECT_TRUE(Application->Terminated());
}

} // namespace
