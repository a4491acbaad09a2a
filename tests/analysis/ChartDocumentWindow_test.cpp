#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/ChartDocument.h"
#include "analysis/UnitLoadSample.h"
#include "analysis/UnitTypes.h"
#include "chart/PlotLisB.h"
#include "chart/PlotSelectorTool.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Screen.h"
#include "tests/analysis/ChartWindowFixture.h"
#include "ui/controls/HTMLChkList.h"
#include "ui/controls/KvxFileNameEdit.h"
#include "ui/drawing/KvxTaskDialog.h"
#include "ui/toolbars/KvxToolBarControl.h"

using namespace plat;
using namespace chart;
using namespace chart_window_test;

namespace {

std::string Scratch(const std::string& name) {
    const std::string dir = TestOutputDir("analysis") + "/chart-window-documents";
    std::filesystem::create_directories(dir);
    return dir + "/" + name;
}

class ChartDocuments : public ChartWindowTest {
protected:
    void TearDown() override {
        for (TfmChart* other : Others)
            delete other;
        ChartWindowTest::TearDown();
    }

    TfmChart* NewWindow() {
        auto* form = NewForm<TfmChart>(MdiFrame);
        form->SetBounds(0, 0, 1200, 700);
        Others.push_back(form);
        Driver.Pump();
        return form;
    }

    // Frames A, B, C of three points each, a peak and a valley on B, a user's text box of two lines.
    void FillWindow() {
        LoadLive({1, 2.5, 3});
        TChartSeries* b = LoadLive({10, 30.25, 20});
        LoadLive({-1e-7, 0, 123456789.125});
        TfmChart::PeaksOf(b)->AddPeak(1);
        TfmChart::PeaksOf(b)->AddValley(0);
        Form->Chart1->BottomAxis()->Title()->SetCaption("Wavelength & <nm>");
        Form->Chart1->BottomAxis()->SetAxisValuesFormat("0.00");
        Form->Chart1->BottomAxis()->SetInverted(true);
        Form->SetXMultiplier(-9);
        Driver.AnswerNextModal([&](TCustomForm& memo) {
            Driver.Pump();
            Driver.Type("first line");
            Driver.PressKey(VK_RETURN);
            Driver.Type("second");
            memo.SetModalResult(mrOk);
        });
        Form->mi_textboxaddClick(nullptr);
        Driver.Pump();
    }

    static std::vector<std::string> Titles(TfmChart* form) {
        std::vector<std::string> titles;
        for (int i = 0; i < form->FrameCount(); ++i)
            titles.push_back(form->Frame(i)->Title());
        return titles;
    }

    void Select(TfmChart* form, const std::vector<int>& rows, int current) {
        form->ChartListBox1->UnselectAll();
        form->ChartListBox1->SetItemIndex(current);
        for (int i = 0; i < form->ChartListBox1->Count(); ++i)
            form->ChartListBox1->SetSelected(i, std::find(rows.begin(), rows.end(), i) != rows.end());
    }

    std::vector<TfmChart*> Others;
};

TEST_F(ChartDocuments, SavedWindowLoadsIntoANewWindowAndSavesToTheSameBytes) {
    FillWindow();
    ASSERT_EQ(Form->FrameCount(), 3);
    const std::string saved = TestOutputDir("app") + "/chart.xml";
    const std::string reloaded = TestOutputDir("app") + "/chart-reloaded.xml";
    ASSERT_TRUE(Form->SaveChartDocument(saved));

    const std::string text = ReadAllText(saved);
    EXPECT_EQ(text.find("ChartTool3"), std::string::npos);
    EXPECT_EQ(text.find("0 @ 0"), std::string::npos) << "the nearest-point label is no text box";
    EXPECT_NE(text.find("<TextBoxes Count=\"1\">"), std::string::npos);
    EXPECT_NE(text.find("text=\"first line\rsecond\r\""), std::string::npos) << text;

    TfmChart* copy = NewWindow();
    ASSERT_TRUE(copy->LoadChartDocument(saved));
    EXPECT_EQ(Titles(copy), Titles(Form));
    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(copy->Frame(f)->SeriesColor(), Form->Frame(f)->SeriesColor());
        EXPECT_EQ(YsOf(copy->Frame(f)), YsOf(Form->Frame(f)));
    }
    EXPECT_EQ(TfmChart::PeaksOf(copy->Frame(1))->PeakAt(0), 1);
    EXPECT_EQ(TfmChart::PeaksOf(copy->Frame(1))->ValleyAt(0), 0);
    EXPECT_EQ(copy->Chart1->BottomAxis()->Title()->Caption(), "Wavelength & <nm>");
    EXPECT_EQ(copy->Chart1->BottomAxis()->AxisValuesFormat(), "0.00");
    EXPECT_TRUE(copy->Chart1->BottomAxis()->Inverted());
    EXPECT_EQ(copy->XMultiplier(), -9);
    EXPECT_EQ(copy->NextFrameNumber(), 1) << "loading is no command that makes frames";
    EXPECT_EQ(copy->Chart1->Tools()->Items(copy->Chart1->Tools()->Count() - 1), copy->ChartTool5)
        << "the selector stays last";

    ASSERT_TRUE(copy->SaveChartDocument(reloaded));
    EXPECT_EQ(ReadAllText(reloaded), text);
}

TEST_F(ChartDocuments, LoadKeepsTheWindowForAForeignFileAndReplacesItsFramesOtherwise) {
    LoadLive({1, 2, 3});
    const std::string foreign = Scratch("foreign.xml");
    WriteFileAtomically(foreign, std::string("<?xml version=\"1.0\"?><Chart><Frames Count=\"0\"/></Chart>"));
    EXPECT_FALSE(IsChartDocument(foreign));
    EXPECT_FALSE(Form->LoadChartDocument(foreign));
    EXPECT_EQ(Form->FrameCount(), 1);

    const std::string broken = Scratch("broken.xml");
    WriteFileAtomically(broken, std::string("<chart><Frames Count=\"1\"><Frame"));
    EXPECT_THROW(Form->LoadChartDocument(broken), Exception);
    EXPECT_EQ(Form->FrameCount(), 1) << "a file that fails to parse changes nothing";
    EXPECT_EQ(Screen->Cursor(), crDefault) << "the hourglass goes with the error";

    // A relative document stays relative; its frames replace the window's.
    TChartDocument doc;
    doc.ReferenceMax = 2000;
    doc.Relative = true;
    TChartDocumentFrame frame;
    frame.Title = "rel";
    frame.X = {0, 1};
    frame.Y = {50, 100};
    doc.Frames = {frame};
    const std::string relative = Scratch("relative.xml");
    WriteChartDocument(doc, relative);
    ASSERT_TRUE(Form->LoadChartDocument(relative));
    EXPECT_EQ(Titles(Form), std::vector<std::string>{"rel"});
    EXPECT_TRUE(Form->RelativeMode());
    EXPECT_EQ(Form->ReferenceMax(), 2000);
    EXPECT_EQ(YsOf(Form->Frame(0)), (std::vector<double>{50, 100}));

    // A document made in memory: the first whole frame decides the point count.
    TChartDocument mixed;
    for (size_t points : {0, 2, 3, 2}) {
        TChartDocumentFrame f;
        f.Title = std::to_string(points);
        f.X.assign(points, 1);
        f.Y.assign(points, 2);
        mixed.Frames.push_back(f);
    }
    mixed.Frames[3].Title = "2 again";
    ASSERT_TRUE(Form->LoadChartDocument(mixed));
    EXPECT_EQ(Titles(Form), (std::vector<std::string>{"2", "2 again"}));
}

TEST_F(ChartDocuments, ImportMakesValuesAbsoluteOrRelativeToTheWindowAndKeepsOnePointCount) {
    TChartDocument doc;
    doc.ReferenceMax = 2000;
    doc.Relative = true;
    TChartDocumentFrame two, three;
    two.Title = "two";
    two.Color = 0x00FF00;
    two.X = {0, 1};
    two.Y = {50, 25};
    two.Maxima = {0};
    three.Title = "three";
    three.X = {0, 1, 2};
    three.Y = {1, 2, 3};
    doc.Frames = {two, three};
    const std::string file = Scratch("import.xml");
    WriteChartDocument(doc, file);

    // Into an absolute window: stored percent of 2000 become counts.
    EXPECT_EQ(Form->ImportFrame(file, 0), 1);
    ASSERT_EQ(Form->FrameCount(), 1);
    EXPECT_EQ(YsOf(Form->Frame(0)), (std::vector<double>{1000, 500}));
    EXPECT_EQ(Form->Frame(0)->SeriesColor(), 0x00FF00);
    EXPECT_EQ(TfmChart::PeaksOf(Form->Frame(0))->PeakAt(0), 0);
    EXPECT_EQ(Form->ImportFrame(file, 1), 0) << "three points do not join frames of two";
    EXPECT_EQ(Form->ImportFrame(file, 7), 0);
    EXPECT_EQ(Form->FrameCount(), 1);
    EXPECT_EQ(Form->NextFrameNumber(), 1);

    // Into a relative window whose reference is lower: the window rescales to the new maximum.
    LoadLive({100, 400});
    Form->btn_relative->SetDown(true);
    Form->btn_relativeClick(nullptr);
    ASSERT_EQ(Form->ReferenceMax(), 1000);
    EXPECT_EQ(Form->ImportFrame(file, 0), 1);
    EXPECT_EQ(YsOf(Form->Frame(2)), (std::vector<double>{100, 50}));
    EXPECT_EQ(YsOf(Form->Frame(1)), (std::vector<double>{10, 40}));
}

TEST_F(ChartDocuments, ImportCommandAddsTheTickedFramesInFileOrder) {
    TChartDocument doc;
    for (const char* title : {"zero", "one", "two", "three"}) {
        TChartDocumentFrame frame;
        frame.Title = title;
        frame.Color = static_cast<int32_t>(title[1]);
        frame.X = {0, 1, 2};
        frame.Y = {1, 2, 3};
        if (std::string(title) == "one")
            frame.X = {0, 1};
        if (std::string(title) == "two")
            frame.Maxima = {2};
        doc.Frames.push_back(frame);
    }
    const std::string file = Scratch("ticks.xml");
    WriteChartDocument(doc, file);
    LoadLive({5, 6, 7});

    std::vector<bool> enabled;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.Pump();
        auto& dialog = static_cast<TfmImportSample&>(form);
        EXPECT_EQ(dialog.FileName(), "");
        EXPECT_EQ(dialog.FRequiredPointCount, 3);
        dialog.ed_fname->SetFileName(file);
        ui::THTMLCheckList* list = dialog.SampleCheckList;
        for (int i = 0; i < list->Items()->Count(); ++i)
            enabled.push_back(list->GetItemEnabled(i));
        for (int row : {3, 0, 1}) {
            const TRect r = list->ItemRect(row);
            Driver.Click(list, {r.Left + list->CheckAreaWidth(row) / 2, (r.Top + r.Bottom) / 2});
        }
        Driver.ClickButton(&form, "Import");
    });
    Form->btn_importsampleClick(nullptr);
    Driver.Pump();
    EXPECT_EQ(enabled, (std::vector<bool>{true, false, true, true}));
    EXPECT_EQ(Titles(Form), (std::vector<std::string>{"FRAME 1", "zero", "three"}));
    EXPECT_EQ(Form->Frame(2)->SeriesColor(), static_cast<TColor>('h'));

    // Cancel imports nothing, whatever was ticked.
    Driver.AnswerNextModal([&](TCustomForm& form) {
        Driver.Pump();
        auto& dialog = static_cast<TfmImportSample&>(form);
        dialog.ed_fname->SetFileName(file);
        dialog.SampleCheckList->SetState(0, ui::csChecked);
        Driver.ClickButton(&form, "Cancel");
    });
    Form->btn_importsampleClick(nullptr);
    EXPECT_EQ(Form->FrameCount(), 3);
}

TEST_F(ChartDocuments, CopyTakesTheSelectedFramesAsAbsoluteValues) {
    LoadLive({100, 200});
    LoadLive({300, 400});
    LoadLive({500, 1000});
    TfmChart::PeaksOf(Form->Frame(2))->AddPeak(1);
    Form->Chart1->LeftAxis()->Title()->SetCaption("Intensity");
    Form->SetXMultiplier(3);
    Form->btn_relative->SetDown(true);
    Form->btn_relativeClick(nullptr);
    ASSERT_TRUE(Form->RelativeMode());

    TfmChart* empty = NewWindow();
    Select(Form, {}, -1);
    empty->CopyFramesFrom(Form);
    EXPECT_EQ(empty->FrameCount(), 0);

    Select(Form, {0, 2}, 2);
    TfmChart* copy = NewWindow();
    copy->CopyFramesFrom(Form);
    EXPECT_EQ(Titles(copy), (std::vector<std::string>{"FRAME 1", "FRAME 3"}));
    EXPECT_FALSE(copy->RelativeMode());
    EXPECT_EQ(YsOf(copy->Frame(0)), (std::vector<double>{100, 200}));
    EXPECT_EQ(YsOf(copy->Frame(1)), (std::vector<double>{500, 1000}));
    EXPECT_EQ(copy->Frame(1)->SeriesColor(), Form->Frame(2)->SeriesColor());
    EXPECT_EQ(TfmChart::PeaksOf(copy->Frame(1))->PeakAt(0), 1);
    EXPECT_EQ(copy->ProposedTitle(), "FRAME 3");
    EXPECT_EQ(copy->Chart1->LeftAxis()->Title()->Caption(), "Intensity");
    EXPECT_EQ(copy->XMultiplier(), 3);
}

// The main window's side of "Copy to new Chart": it hears the request while the sender waits.
class TCopyRequests : public TForm {
public:
    using TForm::TForm;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_USER + 1) {
            Requests.push_back({Message.WParam, Message.LParam});
            if (OnRequest)
                OnRequest();
            return;
        }
        TForm::WndProc(Message);
    }
    std::vector<std::pair<WPARAM, LPARAM>> Requests;
    std::function<void()> OnRequest;
};

TEST_F(ChartDocuments, CopyToNewChartAsksTheMainWindowAndWaitsForIt) {
    auto* main = NewForm<TCopyRequests>(Application);
    ScopeGuard freeMain([main] { delete main; });
    Form->FMainWindow = main->Handle();
    LoadLive({1, 2});
    LoadLive({3, 4});

    Select(Form, {}, -1);
    Form->CopytonewChart1Click(nullptr);
    EXPECT_TRUE(main->Requests.empty()) << "nothing selected, nothing to copy";

    Select(Form, {1}, 1);
    TfmChart* copy = nullptr;
    main->OnRequest = [&] {
        copy = NewWindow();
        copy->CopyFramesFrom(Form);
    };
    Form->CopytonewChart1Click(nullptr);
    ASSERT_EQ(main->Requests.size(), 1u);
    EXPECT_EQ(main->Requests[0], (std::pair<WPARAM, LPARAM>{0, 0}));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Titles(copy), std::vector<std::string>{"FRAME 2"});
}

TEST_F(ChartDocuments, ExportWritesWhatItsCodeSaysOnlyWithAFrameSelected) {
    LoadLive({1, 2, 3});
    LoadLive({7, 8.5, 9});
    struct Case {
        int Code;
        const char* Name;
        std::string Starts; // the file's first bytes; empty: no file
    };
    const Case cases[] = {
        {1, "export.txt", "0;7\r\n1;"},
        {2, "export.xls", "\x09\x08"},
        {3, "export.html", "<table"},
        {4, "export.xml", "<?xml version=\"1.0\""},
        {5, "export.bmp", "BM"},
        {6, "export.emf", std::string("\x01\x00\x00\x00", 4)},
        {7, "export.wmf", "\xD7\xCD\xC6\x9A"},
        {9, "export.none", ""},
    };
    Select(Form, {1}, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string file = Scratch(c.Name);
        std::filesystem::remove(file);
        EXPECT_TRUE(ExportChart(Form, file, c.Code));
        if (c.Starts.empty()) {
            EXPECT_FALSE(std::filesystem::exists(file));
            continue;
        }
        const std::string text = ReadAllText(file);
        EXPECT_EQ(text.substr(0, c.Starts.size()), c.Starts);
        if (c.Code == 1) {
            EXPECT_EQ(text.find(";2\r\n"), std::string::npos) << "only the current frame: " << text;
        }
        if (c.Code == 4) {
            EXPECT_NE(text.find("<Frames Count=\"2\">"), std::string::npos) << "every frame";
        }
    }
    EXPECT_FALSE(ExportChart(Form, "", 1));

    // With frames but none selected nothing is written, and the user is told so.
    Select(Form, {}, -1);
    int dialogs = 0;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        ++dialogs;
        form.SetModalResult(mrOk);
    });
    const std::string none = Scratch("none.bmp");
    std::filesystem::remove(none);
    EXPECT_FALSE(ExportChart(Form, none, 5));
    EXPECT_FALSE(std::filesystem::exists(none));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(Form->KvxTaskDialog1->Instruction(), "Nothing was saved");
}

} // namespace
