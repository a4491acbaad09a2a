#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "analysis/UnitIntegralOptions.h"
#include "analysis/UnitMovingAvSettings.h"
#include "analysis/UnitPeakSettings.h"
#include "analysis/UnitSGFilterParams.h"
#include "analysis/UnitTypes.h"
#include "chart/PlotLisB.h"
#include "platform/gfx/Printer.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "platform/ui/RichEdit.h"
#include "tests/ExternalTool.h"
#include "tests/analysis/ChartWindowFixture.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxSpin.h"
#include "ui/toolbars/KvxToolBarControl.h"

using namespace plat;
using namespace chart;
using namespace chart_window_test;

namespace {

namespace fs = std::filesystem;

// A printer with no queues of its own, so nothing can reach a real one.
class TNoQueues : public TPrintSpooler {
public:
    std::vector<std::string> Printers(int& defaultIndex) override {
        defaultIndex = -1;
        return {};
    }
    void Submit(const TPrintJob&) override { throw EPrinter("no queue here"); }
};

std::string ReadFile(const std::string& Name) {
    std::ifstream in(Name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct TShownTask {
    bool Shown = false;
    std::string Title, Instruction, Content;
};

class ChartCommands : public ChartWindowTest {
protected:
    // Two frames over x = 0 .. 4; the window's next proposal is then "FRAME 3".
    void LoadTwoFrames() {
        A = LoadLive({1, 2, 3, 4, 5});
        B = LoadLive({5, 1, 0, 2, 2});
        ASSERT_TRUE(A && B);
        Paint();
    }

    // The rows become the selection, the first of them the current frame.
    void Select(const std::vector<TChartSeries*>& Frames) {
        TChartListBox* list = Form->ChartListBox1;
        list->UnselectAll();
        for (int i = 0; i < list->Count(); ++i)
            for (TChartSeries* f : Frames)
                if (list->SeriesAtIndex(i) == f)
                    list->SetSelected(i, true);
        for (int i = 0; i < list->Count(); ++i)
            if (!Frames.empty() && list->SeriesAtIndex(i) == Frames.front())
                list->SetItemIndex(i);
    }

    // Draws the window, which settles the frames' visible ranges the reports use.
    void Paint() {
        Driver.Pump();
        Driver.Render(Form);
    }

    // Runs a command whose own dialog comes up; Fill sets its controls, then it is submitted (or
    // cancelled). Returns whether a dialog came up at all.
    template <class TDialog>
    bool WithDialog(const std::function<void()>& Command, const std::function<void(TDialog&)>& Fill,
                    bool Submit = true) {
        bool shown = false;
        Driver.AnswerNextModal([&](TCustomForm& form) {
            Driver.Pump();
            auto* dialog = dynamic_cast<TDialog*>(&form);
            ASSERT_NE(dialog, nullptr) << "another dialog came up: " << form.Caption();
            shown = true;
            if (Fill)
                Fill(*dialog);
            form.SetModalResult(Submit ? mrOk : mrCancel);
        });
        Command();
        Driver.Pump();
        EXPECT_TRUE(shown) << "the command's dialog did not come up";
        return shown;
    }

    // Any dialog from here on is a failure; PendingModalAnswers() stays 1 while none came up.
    void ExpectNoDialog() {
        Driver.AnswerNextModal([](TCustomForm& form) {
            ADD_FAILURE() << "unexpected dialog: " << form.Caption();
            form.SetModalResult(mrCancel);
        });
    }

    TShownTask WithTaskDialog(const std::function<void()>& Command) {
        TShownTask shown;
        Driver.AnswerNextModal([&](TCustomForm& form) {
            Driver.Pump();
            shown.Shown = true;
            shown.Title = Form->KvxTaskDialog1->Title();
            shown.Instruction = Form->KvxTaskDialog1->Instruction();
            shown.Content = Form->KvxTaskDialog1->Content();
            form.SetModalResult(mrOk);
        });
        Command();
        Driver.Pump();
        return shown;
    }

    std::vector<std::string> ResultLines() const {
        std::vector<std::string> out;
        for (int i = 0; i < Form->re_result->Lines()->Count(); ++i)
            out.push_back(Form->re_result->Lines()->Get(i));
        return out;
    }

    TChartSeries* Last() const { return Form->Frame(Form->FrameCount() - 1); }

    TChartSeries* A = nullptr;
    TChartSeries* B = nullptr;
};

void ExpectValues(const std::vector<double>& Actual, const std::vector<double>& Expected) {
    ASSERT_EQ(Actual.size(), Expected.size());
    for (size_t i = 0; i < Actual.size(); ++i)
        EXPECT_NEAR(Actual[i], Expected[i], 1e-9) << "point " << i;
}

TEST_F(ChartCommands, FrameCommandsAddTheirResultUnderTheTitleGivenAndCountIt) {
    LoadTwoFrames();
    struct TCase {
        const char* Name;
        std::vector<TChartSeries*> Selection;
        std::function<void()> Run;
        std::vector<double> Expected;
    };
    auto constant = [&](void (TfmChart::*Command)(TObject*), double C, bool OnlyPositive = false) {
        return [=, this] {
            WithDialog<TfmNewTitle>([&] { (Form->*Command)(nullptr); },
                                    [&](TfmNewTitle& d) {
                                        Proposed = d.ed_samplename->Text();
                                        d.ed_samplename->SetTextProp("result");
                                        d.ed_constant->SetFloatValue(C);
                                        d.cb_positivevalues->SetChecked(OnlyPositive);
                                    });
        };
    };
    auto titled = [&](void (TfmChart::*Command)(TObject*), bool OnlyPositive = false) {
        return [=, this] {
            WithDialog<TfmNewTitle>([&] { (Form->*Command)(nullptr); },
                                    [&](TfmNewTitle& d) {
                                        Proposed = d.ed_samplename->Text();
                                        d.ed_samplename->SetTextProp("result");
                                        d.cb_positivevalues->SetChecked(OnlyPositive);
                                    });
        };
    };
    const std::vector<TCase> cases{
        {"moving average",
         {B},
         [&] {
             WithDialog<Tfmmovingavsettings>([&] { Form->btn_movingaverageClick(nullptr); },
                                             [&](Tfmmovingavsettings& d) {
                                                 Proposed = d.ed_samplename->Text();
                                                 EXPECT_EQ(d.lb_sampletitle->Caption(), "FRAME 2");
                                                 EXPECT_EQ(d.lb_sampletitle->Font()->Color(),
                                                           B->SeriesColor());
                                                 d.ed_samplename->SetTextProp("result");
                                                 d.ed_smoothpxlcnt->SetValue(1);
                                             });
         },
         {5, 2, 1, 4.0 / 3, 2}},
        // A window of one point each side with degree 0 is the plain mean; at the ends the missing
        // points are left out without reweighting.
        {"Savitzky-Golay",
         {A},
         [&] {
             WithDialog<TfmSGFilterParams>([&] { Form->btn_sgfilterClick(nullptr); },
                                           [&](TfmSGFilterParams& d) {
                                               Proposed = d.ed_samplename->Text();
                                               EXPECT_EQ(d.lb_sampletitle->Caption(), "FRAME 1");
                                               d.ed_samplename->SetTextProp("result");
                                               d.ed_nl->SetIntegerValue(1);
                                               d.ed_nr->SetIntegerValue(1);
                                               d.ed_m->SetIntegerValue(0);
                                               d.ed_ld->SetIntegerValue(0);
                                           });
         },
         {1, 2, 3, 4, 3}},
        // Parameters the fit refuses (a derivative above the degree) give a frame of zeros.
        {"Savitzky-Golay, refused parameters",
         {A},
         [&] {
             WithDialog<TfmSGFilterParams>([&] { Form->btn_sgfilterClick(nullptr); },
                                           [&](TfmSGFilterParams& d) {
                                               Proposed = d.ed_samplename->Text();
                                               d.ed_samplename->SetTextProp("result");
                                               d.ed_m->SetIntegerValue(2);
                                               d.ed_ld->SetIntegerValue(3);
                                           });
         },
         {0, 0, 0, 0, 0}},
        {"add frames", {A, B}, titled(&TfmChart::btn_addframesClick), {6, 3, 3, 6, 7}},
        {"subtract frames, only positive",
         {A, B},
         titled(&TfmChart::btn_subtractframesClick, true),
         {0, 1, 3, 2, 3}},
        // The selected frames count in list order, whichever was picked first.
        {"subtract frames", {B, A}, titled(&TfmChart::btn_subtractframesClick), {-4, 1, 3, 2, 3}},
        {"average frames", {A, B}, titled(&TfmChart::btn_averageframesClick), {3, 1.5, 1.5, 3, 3.5}},
        {"add constant", {A}, constant(&TfmChart::btn_addconstantClick, 10), {11, 12, 13, 14, 15}},
        {"subtract constant, only positive",
         {A},
         constant(&TfmChart::btn_subtractconstantClick, 3, true),
         {0, 0, 0, 1, 2}},
        {"multiply constant", {B}, constant(&TfmChart::btn_multiplyconstantClick, -2), {-10, -2, 0, -4, -4}},
        {"divide constant", {A}, constant(&TfmChart::btn_divideconstantClick, 4), {0.25, 0.5, 0.75, 1, 1.25}},
    };
    int expectedNumber = 3;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Select(c.Selection);
        const int before = Form->FrameCount();
        Proposed.clear();
        c.Run();
        EXPECT_EQ(Proposed, "FRAME " + std::to_string(expectedNumber));
        ASSERT_EQ(Form->FrameCount(), before + 1);
        EXPECT_EQ(Last()->Title(), "result");
        ExpectValues(YsOf(Last()), c.Expected);
        EXPECT_EQ(Form->NextFrameNumber(), ++expectedNumber);
    }
}

TEST_F(ChartCommands, DerivativeUsesTheFrameWidthOverItsPointCountAsStep) {
    std::vector<double> y;
    for (int i = 0; i < 100; ++i)
        y.push_back(2.0 * i);
    TChartSeries* ramp = LoadLive(y);
    Paint();
    Select({ramp});
    WithTitle([&] { Form->btn_derivativeClick(nullptr); }, "slope");
    ASSERT_EQ(Form->FrameCount(), 2);
    EXPECT_EQ(Proposed, "FRAME 2");
    EXPECT_EQ(Last()->Title(), "slope");
    const std::vector<double> d = YsOf(Last());
    ASSERT_EQ(d.size(), 100u);
    for (size_t i = 2; i < 98; ++i)
        EXPECT_NEAR(d[i], 2, 1e-6) << i;
    EXPECT_EQ(Form->NextFrameNumber(), 3);
}

TEST_F(ChartCommands, CancelOrAnEmptyTitleChangesNothingButMovingAverageTakesAnyName) {
    LoadTwoFrames();
    Select({A, B});
    WithTitle([&] { Form->btn_addframesClick(nullptr); }, nullptr, false);
    WithTitle([&] { Form->btn_averageframesClick(nullptr); }, "");
    Select({A});
    WithTitle([&] { Form->btn_multiplyconstantClick(nullptr); }, "");
    WithDialog<TfmSGFilterParams>([&] { Form->btn_sgfilterClick(nullptr); }, nullptr, false);
    EXPECT_EQ(Form->FrameCount(), 2);
    EXPECT_EQ(Form->NextFrameNumber(), 3);

    // These two take the name as typed, also empty.
    WithDialog<Tfmmovingavsettings>([&] { Form->btn_movingaverageClick(nullptr); },
                                    [](Tfmmovingavsettings& d) { d.ed_samplename->SetTextProp(""); });
    WithDialog<TfmSGFilterParams>([&] { Form->btn_sgfilterClick(nullptr); },
                                  [](TfmSGFilterParams& d) { d.ed_samplename->SetTextProp(""); });
    ASSERT_EQ(Form->FrameCount(), 4);
    EXPECT_EQ(Form->Frame(2)->Title(), "");
    EXPECT_EQ(Form->Frame(3)->Title(), "");
    EXPECT_EQ(Form->NextFrameNumber(), 5);
}

TEST_F(ChartCommands, CommandsWithoutFramesDoNothingAndAskNothing) {
    ExpectNoDialog();
    for (auto command :
         {&TfmChart::btn_movingaverageClick, &TfmChart::btn_sgfilterClick, &TfmChart::btn_addframesClick,
          &TfmChart::btn_subtractframesClick, &TfmChart::btn_averageframesClick,
          &TfmChart::btn_addconstantClick, &TfmChart::btn_subtractconstantClick,
          &TfmChart::btn_multiplyconstantClick, &TfmChart::btn_divideconstantClick,
          &TfmChart::btn_derivativeClick, &TfmChart::btn_findpeaksClick, &TfmChart::btn_stddeviationClick,
          &TfmChart::btn_rmsClick, &TfmChart::btn_integralClick})
        (Form->*command)(nullptr);
    Driver.Pump();
    EXPECT_EQ(Driver.PendingModalAnswers(), 1);
    EXPECT_EQ(Form->FrameCount(), 0);
    EXPECT_EQ(Form->NextFrameNumber(), 1);
    EXPECT_EQ(Form->re_result->Lines()->Count(), 0);
}

TEST_F(ChartCommands, CommandsWithoutTheirSelectionDoNothingAndAskNothing) {
    LoadTwoFrames();
    ExpectNoDialog();
    // One frame selected is not enough for the sums of frames.
    Select({A});
    for (auto command : {&TfmChart::btn_addframesClick, &TfmChart::btn_subtractframesClick,
                         &TfmChart::btn_averageframesClick})
        (Form->*command)(nullptr);
    // The commands on one frame need a selection.
    Form->ChartListBox1->UnselectAll();
    Form->ChartListBox1->SetItemIndex(-1);
    for (auto command :
         {&TfmChart::btn_movingaverageClick, &TfmChart::btn_sgfilterClick, &TfmChart::btn_addconstantClick,
          &TfmChart::btn_divideconstantClick, &TfmChart::btn_findpeaksClick, &TfmChart::btn_stddeviationClick,
          &TfmChart::btn_rmsClick, &TfmChart::btn_integralClick})
        (Form->*command)(nullptr);
    Driver.Pump();
    EXPECT_EQ(Driver.PendingModalAnswers(), 1);
    EXPECT_EQ(Form->FrameCount(), 2);
    EXPECT_EQ(Form->NextFrameNumber(), 3);
    EXPECT_EQ(Form->re_result->Lines()->Count(), 0);
}

TEST_F(ChartCommands, DivisionByZeroIsRefusedBeforeAFrameExists) {
    LoadTwoFrames();
    Select({A});
    TShownTask refusal;
    Driver.AnswerNextModal([](TCustomForm& dialog) {
        auto* titles = dynamic_cast<TfmNewTitle*>(&dialog);
        ASSERT_NE(titles, nullptr);
        titles->ed_constant->SetFloatValue(0);
        dialog.SetModalResult(mrOk);
    });
    Driver.AnswerNextModal([&](TCustomForm& dialog) {
        Driver.Pump();
        refusal.Shown = true;
        refusal.Title = Form->KvxTaskDialog1->Title();
        refusal.Instruction = Form->KvxTaskDialog1->Instruction();
        refusal.Content = Form->KvxTaskDialog1->Content();
        dialog.SetModalResult(mrOk);
    });
    Form->btn_divideconstantClick(nullptr);
    Driver.Pump();
    EXPECT_TRUE(refusal.Shown);
    EXPECT_EQ(refusal.Title, "ERROR");
    EXPECT_EQ(refusal.Instruction, "Unable to divide the Frame");
    EXPECT_EQ(refusal.Content, "The constant is 0: division by zero");
    EXPECT_EQ(Form->FrameCount(), 2);
    EXPECT_EQ(Form->NextFrameNumber(), 3) << "the frame number stays for the next try";
}

TEST_F(ChartCommands, ADerivativeWithoutAStepIsRefusedBeforeTheTitleIsAsked) {
    const double nan = std::nan("");
    struct TCase {
        const char* Name;
        std::vector<double> X;
    };
    const std::vector<TCase> cases{
        {"no point", {}},
        {"one point", {3}},
        {"equal first and last x", {5, 5}},
        {"x not a number", {0, 1, nan}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLineSeries* frame = Form->NewFrame(c.Name);
        for (double x : c.X)
            frame->AddXY(x, 1);
        Select({frame});
        const int frames = Form->FrameCount();
        // Exactly one dialog, the task dialog: a title dialog after it would find no answer.
        TShownTask shown = WithTaskDialog([&] { Form->btn_derivativeClick(nullptr); });
        EXPECT_TRUE(shown.Shown);
        EXPECT_EQ(shown.Title, "ERROR");
        EXPECT_EQ(shown.Instruction, "Unable to differentiate the Frame");
        EXPECT_EQ(Form->FrameCount(), frames);
        EXPECT_EQ(Form->NextFrameNumber(), 1);
    }
}

TEST_F(ChartCommands, ReportsGoToTheResultAreaInBlocks) {
    LoadTwoFrames();
    Select({B});
    Form->Chart1->BottomAxis()->SetAxisValuesFormat("0");
    Form->Chart1->LeftAxis()->SetAxisValuesFormat("0");
    // Band off, unzoomed: the whole frame.
    Form->btn_stddeviationClick(nullptr);
    Form->btn_rmsClick(nullptr);
    // The band from 0.6 to 3.4 covers points 1 .. 3 (halves to even: 0.6 -> 1, 3.4 -> 3).
    Form->ChartTool4->SetActive(true);
    Form->ChartTool4->SetStartValue(3.4);
    Form->ChartTool4->SetEndValue(0.6);
    Form->btn_stddeviationClick(nullptr);
    const std::vector<std::string> expected{
        "FRAME 2",     "X(Start)=0", "X(End)=4", "Max=5",      "Min=0",    "PP=5",  "Mean=2",
        "Deviation=2", "",           "FRAME 2",  "X(Start)=0", "X(End)=4", "RMS=3", "",
        "FRAME 2",     "X(Start)=1", "X(End)=3", "Max=2",      "Min=0",    "PP=2",  "Mean=1",
        "Deviation=1",
    };
    EXPECT_EQ(ResultLines(), expected);
}

TEST_F(ChartCommands, ZoomedReportsCountOnlyThePointsTheAxisShows) {
    LoadTwoFrames();
    Select({B});
    Form->Chart1->LeftAxis()->SetAxisValuesFormat("0");
    // The line runs on to x = 4, past the right edge at 3.4; the report ends at the last point shown.
    Form->Chart1->BottomAxis()->SetAxisRange(0.5, 3.4);
    Paint();
    Form->btn_stddeviationClick(nullptr);
    // From 2.2 to 2.8 the axis shows no point, only the line on to x = 3: nothing to report on.
    Form->Chart1->BottomAxis()->SetAxisRange(2.2, 2.8);
    Paint();
    Form->btn_stddeviationClick(nullptr);
    Form->btn_rmsClick(nullptr);
    const std::vector<std::string> expected{"FRAME 2", "X(Start)=1", "X(End)=3", "Max=2",
                                            "Min=0",   "PP=2",       "Mean=1",   "Deviation=1"};
    EXPECT_EQ(ResultLines(), expected);
}

TEST_F(ChartCommands, FindPeaksMarksTheFrameAndListsItsPeaks) {
    LoadLive({0, 5000, 0, 3000, 0, 200, 0});
    Paint();
    Select({Form->Frame(0)});
    WithDialog<TfmPeakSettings>([&] { Form->btn_findpeaksClick(nullptr); },
                                [&](TfmPeakSettings& d) {
                                    EXPECT_EQ(d.lb_sampletitle->Caption(), "FRAME 1");
                                    d.ed_threshold->SetFloatValue(100);
                                    d.ed_minpeak->SetFloatValue(1000);
                                    d.ed_nopeaks->SetIntegerValue(0);
                                    d.ed_minpeakdistance->SetFloatValue(0);
                                    d.cb_highestpeaks->SetChecked(false);
                                });
    analysis::TPeaksObject* peaks = TfmChart::PeaksOf(Form->Frame(0));
    ASSERT_EQ(peaks->PeakCount(), 2);
    EXPECT_EQ(ResultLines(), (std::vector<std::string>{"FRAME 1", "Number of Peaks: 2", "1.  5000.00 @ 1",
                                                       "2.  3000.00 @ 3"}));
    std::string mark;
    Form->Frame(0)->OnGetMarkText(Form->Frame(0), 1, mark);
    EXPECT_EQ(mark, "5000.00 @ 1");

    // The settings stay for the next time; Cancel reports nothing.
    WithDialog<TfmPeakSettings>(
        [&] { Form->btn_findpeaksClick(nullptr); },
        [](TfmPeakSettings& d) { EXPECT_DOUBLE_EQ(d.ed_threshold->FloatValue(), 100); }, false);
    EXPECT_EQ(ResultLines().size(), 4u);
}

TEST_F(ChartCommands, IntegralTakesTheRangeScaledByTheExponentAndClipsItToTheFrame) {
    Live.XMultiplier = -1;
    TChartSeries* frame = LoadLive({0, 1, 2, 3, 4});
    Paint();
    Select({frame});
    Form->Chart1->BottomAxis()->SetAxisValuesFormat("0.###");
    std::string label, start, end;
    WithDialog<TfmIntegralOptions>([&] { Form->btn_integralClick(nullptr); },
                                   [&](TfmIntegralOptions& d) {
                                       label = d.lb_multiplier->Caption();
                                       start = d.ed_xstart->Text();
                                       end = d.ed_xend->Text();
                                       // Typed in tenths: 10 is x = 1, and 90 runs past the last point.
                                       d.ed_xstart->SetFloatValue(10);
                                       d.ed_xend->SetFloatValue(90);
                                   });
    EXPECT_EQ(label, "x1E-1");
    EXPECT_EQ(start, FormatFloat("0.00", 0));
    EXPECT_EQ(end, FormatFloat("0.00", 40)) << "the visible range over 10^-1";
    // The integral of y = x from 1 to 4 is 7.5.
    EXPECT_EQ(ResultLines(), (std::vector<std::string>{"FRAME 1", "X(Start)=1", "X(End)=4",
                                                       "trapeziodal rule:", "Integral=7.5",
                                                       "Simpson's rule:", "Integral=7.5"}));

    // A start beyond the last point: both rules fail.
    WithDialog<TfmIntegralOptions>([&] { Form->btn_integralClick(nullptr); },
                                   [&](TfmIntegralOptions& d) {
                                       d.ed_xstart->SetFloatValue(50);
                                       d.ed_xend->SetFloatValue(90);
                                   });
    const std::vector<std::string> lines = ResultLines();
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[9], "X(Start)=5");
    EXPECT_EQ(lines[12], "Integral= ERROR");
    EXPECT_EQ(lines[14], "Integral= ERROR");
}

TEST_F(ChartCommands, AnXExponentFromADocumentIsHeldWhereTenToItScalesTheIntegral) {
    for (const auto& [stored, heldValue] : {std::pair{400, 30}, std::pair{-400, -30}}) {
        const int held = heldValue; // a lambda may not capture a structured binding in clang 14
        SCOPED_TRACE(stored);
        TChartDocument doc;
        doc.XMultiplier = stored;
        TChartDocumentFrame frame;
        frame.Title = "doc";
        frame.X = {0, 1, 2};
        frame.Y = {1, 1, 1};
        doc.Frames = {frame};
        ASSERT_TRUE(Form->LoadChartDocument(doc));
        EXPECT_EQ(Form->XMultiplier(), held);
        Paint();
        Select({Form->Frame(0)});
        std::string label;
        double end = 0;
        WithDialog<TfmIntegralOptions>([&] { Form->btn_integralClick(nullptr); },
                                       [&](TfmIntegralOptions& d) {
                                           label = d.lb_multiplier->Caption();
                                           end = d.ed_xend->FloatValue() * std::pow(10.0, held);
                                       });
        EXPECT_EQ(label, "x1E" + std::to_string(held));
        if (held < 0) {
            EXPECT_NEAR(end, 2, 1e-9) << "the range's end, shown over 10^" << held;
        }
    }
}

TEST_F(ChartCommands, AFrameWithoutPointsIsReadForNothing) {
    LoadLive({1, 2, 3});
    // A frame that holds no points (as a chart document may bring one).
    TChartSeries* empty = Form->NewFrame("EMPTY");
    Paint();
    Select({empty});
    Form->btn_stddeviationClick(nullptr);
    Form->btn_rmsClick(nullptr);
    Form->btn_integralClick(nullptr);
    EXPECT_EQ(Form->re_result->Lines()->Count(), 0) << "no range, no report";
    WithDialog<TfmPeakSettings>([&] { Form->btn_findpeaksClick(nullptr); }, nullptr);
    EXPECT_EQ(ResultLines(), (std::vector<std::string>{"EMPTY", "Number of Peaks: 0"}));
    TShownTask shown = WithTaskDialog([&] { Form->btn_derivativeClick(nullptr); });
    EXPECT_TRUE(shown.Shown);
    EXPECT_EQ(Form->FrameCount(), 2);
}

} // namespace

namespace {

TEST_F(ChartCommands, ToolboxButtonsAndResultMenuAreBoundByTheLayout) {
    for (auto* button :
         {Form->btn_movingaverage, Form->btn_findpeaks, Form->btn_addframes, Form->btn_subtractframes,
          Form->btn_sgfilter, Form->btn_averageframes, Form->btn_addconstant, Form->btn_subtractconstant,
          Form->btn_multiplyconstant, Form->btn_divideconstant, Form->btn_derivative, Form->btn_integral,
          Form->btn_stddeviation, Form->btn_rms})
        EXPECT_TRUE(button->OnClick != nullptr) << button->Name();
    for (TMenuItem* item :
         {Form->mi_selectall, Form->mi_copy, Form->mi_clear, Form->mi_export, Form->mi_print})
        EXPECT_TRUE(item->OnClick != nullptr) << item->Name();
    EXPECT_TRUE(Form->PopupMenu2->OnPopup != nullptr);

    // A click on the toolbar reaches the command.
    LoadTwoFrames();
    Select({A});
    WithDialog<Tfmmovingavsettings>([&] { Driver.Click(Form->btn_movingaverage); }, nullptr);
    EXPECT_EQ(Form->FrameCount(), 3);
}

TEST_F(ChartCommands, ResultMenuSelectsCopiesClearsAndPrints) {
    TRichEdit* area = Form->re_result;
    auto popup = [&] { Form->PopupMenu2->OnPopup(Form->PopupMenu2); };
    popup();
    EXPECT_FALSE(Form->mi_selectall->Enabled());
    EXPECT_FALSE(Form->mi_copy->Enabled());
    EXPECT_FALSE(Form->mi_clear->Enabled());
    EXPECT_FALSE(Form->mi_export->Enabled());
    EXPECT_TRUE(Form->mi_print->Enabled());

    LoadTwoFrames();
    Select({A});
    Form->Chart1->LeftAxis()->SetAxisValuesFormat("0");
    Form->btn_rmsClick(nullptr);
    popup();
    EXPECT_TRUE(Form->mi_selectall->Enabled());
    EXPECT_FALSE(Form->mi_copy->Enabled()) << "nothing selected yet";
    EXPECT_TRUE(Form->mi_clear->Enabled());
    EXPECT_TRUE(Form->mi_export->Enabled());

    Form->mi_selectall->Click();
    EXPECT_EQ(area->SelLength(), area->Document().Length());
    popup();
    EXPECT_TRUE(Form->mi_copy->Enabled());
    Form->mi_copy->Click();
    EXPECT_EQ(Clipboard()->AsText(), "FRAME 1\r\nX(Start)=0\r\nX(End)=4\r\nRMS=3\r\n");

    // Printed under the window's caption.
    auto printer = std::make_unique<TPrinter>(std::make_unique<TNoQueues>());
    printer->SetPrinterIndex(printer->Printers()->IndexOf(PdfFilePrinterName));
    const std::string pdfName = TestOutputDir("app") + "/report.pdf";
    printer->SetFileName(pdfName);
    std::unique_ptr<TPrinter> saved = SetPrinter(std::move(printer));
    ScopeGuard restore([&] { SetPrinter(std::move(saved)); });
    Form->mi_print->Click();
    const std::string pdf = ReadFile(pdfName);
    ASSERT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find(Form->Caption()), std::string::npos);

    Form->mi_clear->Click();
    EXPECT_EQ(area->Lines()->Count(), 0);
    // The next report starts at the top again, without an empty line before it.
    Form->btn_rmsClick(nullptr);
    EXPECT_EQ(area->Lines()->Get(0), "FRAME 1");
}

// LibreOffice's reading of an RTF file: each text run with the CSS of its character style, from the
// file converted to XHTML. Empty when LibreOffice cannot convert it.
std::vector<std::pair<std::string, std::string>> StyledRunsByLibreOffice(const std::string& RtfFile,
                                                                         const std::string& WorkDir) {
    const std::string command = "cd '" + WorkDir + "' && soffice -env:UserInstallation=file://" + WorkDir +
                                "/profile --headless --convert-to 'html:XHTML Writer File:UTF8' '" + RtfFile +
                                "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    const std::string html = ReadFile(WorkDir + "/" + fs::path(RtfFile).stem().string() + ".html");
    std::map<std::string, std::string> css;
    const std::regex rule(R"(\.(T\d+)\s*\{([^}]*)\})");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), rule); it != std::sregex_iterator(); ++it)
        css[(*it)[1]] = (*it)[2];
    std::vector<std::pair<std::string, std::string>> runs;
    const std::regex span(R"re(<span class="(T\d+)">([^<]*)</span>)re");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), span); it != std::sregex_iterator(); ++it)
        runs.emplace_back((*it)[2], css[(*it)[1]]);
    return runs;
}

TEST_F(ChartCommands, ExportWritesTheReportAsRtfThatLibreOfficeShowsWithItsColoursAndStyles) {
    LoadTwoFrames();
    Select({A});
    Form->Chart1->BottomAxis()->SetAxisValuesFormat("0");
    Form->Chart1->LeftAxis()->SetAxisValuesFormat("0");
    A->SetSeriesColor(0x0000FF); // red
    Form->btn_rmsClick(nullptr);
    WithDialog<TfmIntegralOptions>([&] { Form->btn_integralClick(nullptr); }, nullptr);
    // Set to plain text, the area's lines would save as text; the export keeps the formatting anyway.
    Form->re_result->SetPlainText(true);

    const std::string name = TestOutputDir("app") + "/report.rtf";
    fs::remove(name);
    std::string filter;
    Driver.AnswerNextModal([&](TCustomForm& dialog) {
        Driver.Pump();
        auto* edit = dynamic_cast<TEdit*>(dialog.FindComponent("FileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->SetFocus();
        edit->SelectAll();
        Driver.Type(name);
        Driver.PressKey(VK_RETURN);
    });
    Form->mi_exportClick(nullptr);
    Driver.Pump();
    // The window as the user sees it with the two reports.
    TTestDriver::SavePng(*Driver.Render(Form), TestOutputDir("app") + "/chart-report.png");
    const std::string rtf = ReadFile(name);
    ASSERT_EQ(rtf.rfind("{\\rtf1", 0), 0u) << rtf.substr(0, 80);
    EXPECT_NE(rtf.find("trapeziodal rule:"), std::string::npos);

    const std::string soffice = testtool::FindProgram("soffice");
    if (soffice.empty())
        SKIP_WITHOUT_TOOL("LibreOffice is not installed");
    std::error_code ec;
    if (!fs::exists(fs::canonical(soffice, ec).parent_path() / "libswlo.so"))
        SKIP_WITHOUT_TOOL("LibreOffice Writer is not installed");
    std::string dir = (fs::temp_directory_path() / "lumetra-report-XXXXXX").string();
    ASSERT_NE(::mkdtemp(dir.data()), nullptr);
    ScopeGuard cleanup([&] { fs::remove_all(dir, ec); });
    const auto runs = StyledRunsByLibreOffice(name, dir);
    if (runs.empty())
        SKIP_WITHOUT_TOOL("this LibreOffice cannot convert text documents (no Writer)");
    auto styleOf = [&](const std::string& text) {
        for (const auto& [t, style] : runs)
            if (t == text)
                return style;
        ADD_FAILURE() << "LibreOffice shows no run \"" << text << "\"";
        return std::string();
    };
    const std::string title = styleOf("FRAME 1");
    EXPECT_NE(title.find("color:#ff0000"), std::string::npos) << title;
    EXPECT_NE(title.find("font-weight:bold"), std::string::npos) << title;
    EXPECT_NE(title.find("text-decoration:underline"), std::string::npos) << title;
    const std::string heading = styleOf("trapeziodal rule:");
    EXPECT_NE(heading.find("color:#000000"), std::string::npos) << heading;
    EXPECT_NE(heading.find("font-weight:bold"), std::string::npos) << heading;
    EXPECT_NE(heading.find("font-style:italic"), std::string::npos) << heading;
    EXPECT_EQ(heading.find("text-decoration:underline"), std::string::npos) << heading;
}

} // namespace
