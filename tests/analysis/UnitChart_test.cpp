#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "analysis/UnitMath.h"
#include "analysis/UnitMemo.h"
#include "analysis/UnitTypes.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotLisB.h"
#include "chart/PlotProcs.h"
#include "chart/PlotSelectorTool.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Memo.h"
#include "platform/ui/Menu.h"
#include "platform/ui/RichEdit.h"
#include "tests/analysis/ChartWindowFixture.h"
#include "ui/office/KvxOfficeStatusBar.h"
#include "ui/office/KvxOfficeStatusBarStylers.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStylers.h"

using namespace plat;
using namespace chart;
using namespace chart_window_test;

namespace {

using ChartWindow = ChartWindowTest;

TEST_F(ChartWindow, OpensWithItsChartToolsListToolbarsAndStatusBar) {
    ASSERT_TRUE(Form->Showing());
    EXPECT_EQ(Form->Caption(), "Analysis");
    EXPECT_EQ(Form->FormStyle(), fsMDIChild);
    EXPECT_EQ(Form->KvxFormStyler1->AppStyle(), About->KvxAppStyler1);

    // The tools in the chart's order; the selector is last and tells the window what it picks.
    TChartTools* tools = Form->Chart1->Tools();
    ASSERT_EQ(tools->Count(), 5);
    const std::vector<TPlotCustomTool*> order = {Form->ChartTool2, Form->ChartTool3, Form->ChartTool1,
                                                 Form->ChartTool4, Form->ChartTool5};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(tools->Items(i), order[i]) << i;
    EXPECT_FALSE(Form->ChartTool2->Active());
    EXPECT_FALSE(Form->ChartTool3->Active());
    EXPECT_EQ(Form->ChartTool3->Shape()->Left(), -50);
    EXPECT_EQ(Form->ChartTool3->Shape()->Top(), -50);
    EXPECT_FALSE(Form->ChartTool4->Active());
    EXPECT_EQ(Form->ChartTool4->Axis(), Form->Chart1->BottomAxis());
    EXPECT_EQ(Form->ChartTool4->StartValue(), 400);
    EXPECT_EQ(Form->ChartTool4->EndValue(), 500);
    EXPECT_TRUE(Form->ChartTool5->Active());
    EXPECT_TRUE(Form->ChartTool5->OnSelected != nullptr);

    // The chart's own settings.
    TChart* c = Form->Chart1;
    EXPECT_EQ(c->AllowPanning(), pmNone);
    EXPECT_FALSE(c->Zoom()->Allow());
    EXPECT_FALSE(c->View3D());
    EXPECT_FALSE(c->Legend()->Visible());
    EXPECT_EQ(c->BottomAxis()->Title()->Caption(), "Pixel");
    EXPECT_EQ(c->LeftAxis()->Title()->Caption(), "Counts");
    EXPECT_EQ(c->BottomAxis()->AxisValuesFormat(), "0");
    EXPECT_EQ(c->PrintMargins(), TRect(15, 11, 15, 11));
    EXPECT_EQ(c->PopupMenu(), Form->PopupMenu1);
    EXPECT_EQ(Form->ChartListBox1->Chart(), c);
    EXPECT_EQ(Form->re_result->PopupMenu(), Form->PopupMenu2);

    // Three captioned toolbars on one dock; the print preview waits for its dialog.
    EXPECT_EQ(Form->tbr_frames->Caption(), "Frames");
    EXPECT_EQ(Form->tbr_chart->Caption(), "Chart");
    EXPECT_EQ(Form->tbr_toolbox->Caption(), "Toolbox");
    EXPECT_EQ(Form->btn_load->KvxToolBar(), Form->tbr_frames);
    EXPECT_EQ(Form->btn_relative->KvxToolBar(), Form->tbr_toolbox);
    EXPECT_EQ(Form->btn_rms->Hint(), "Root Mean Square");
    EXPECT_FALSE(Form->btn_printpreview->Enabled());
    EXPECT_FALSE(Form->mi_textboxedit->Enabled());
    EXPECT_EQ(Form->KvxOfficeStatusBar1->Panels()->GetItem(1)->Text(), "X=");
    EXPECT_EQ(Form->KvxOfficeStatusBar1->Panels()->GetItem(3)->Text(), "Y=");

    // The application's style reaches the toolbars, menus and status bar.
    About->KvxAppStyler1->SetStyle(ui::tsOffice2007Luna);
    EXPECT_EQ(Form->KvxDockPanel1->ToolBarStyler(), Form->KvxToolBarOfficeStyler1);
    EXPECT_EQ(Form->KvxToolBarOfficeStyler1->Style(), ui::toolbar::bsOffice2007Luna);
    EXPECT_EQ(Form->KvxOfficeStatusBarOfficeStyler1->Style(), ui::statusbar::psOffice2007Luna);
    EXPECT_EQ(Form->KvxOfficeStatusBar1->Styler(), Form->KvxOfficeStatusBarOfficeStyler1);

    // The parts do not overlap: dock on top, list and report on the right of the chart.
    const TRect chartBox = c->BoundsRect();
    EXPECT_GE(chartBox.Top, Form->KvxDockPanel1->BoundsRect().Bottom);
    EXPECT_LE(chartBox.Right, Form->pn_right->Left());
    EXPECT_GT(chartBox.Width(), 400);
    EXPECT_GT(chartBox.Height(), 300);
}

TEST_F(ChartWindow, NewFrameJoinsChartAndListWithItsPeakListAndMarksOnlyAtPeaks) {
    TLineSeries* frame = Form->NewFrame("FRAME 1");
    for (int i = 0; i < 5; ++i)
        frame->AddXY(i * 10, i == 2 ? 1234.567 : i);
    EXPECT_EQ(frame->Owner(), Form);
    EXPECT_EQ(frame->ParentChart(), Form->Chart1);
    EXPECT_EQ(Form->ChartListBox1->Count(), 1);
    EXPECT_EQ(frame->Title(), "FRAME 1");
    EXPECT_TRUE(frame->Marks()->Visible());
    analysis::TPeaksObject* peaks = TfmChart::PeaksOf(frame);
    ASSERT_NE(peaks, nullptr);
    EXPECT_EQ(peaks->PeakCount(), 0);

    std::string text = "x";
    frame->OnGetMarkText(frame, 2, text);
    EXPECT_EQ(text, "") << "no peak, no mark";
    peaks->AddPeak(2);
    frame->OnGetMarkText(frame, 2, text);
    EXPECT_EQ(text, "1234.57 @ 20");
    frame->OnGetMarkText(frame, 3, text);
    EXPECT_EQ(text, "");
    // The same through the chart's own way of asking, which skips the default text.
    EXPECT_EQ(frame->GetMarkText(2), "1234.57 @ 20");
    EXPECT_EQ(frame->GetMarkText(3), "");
    frame->OnGetMarkText(frame, 99, text);
    EXPECT_EQ(text, "") << "an index beyond the frame reads nothing";
}

} // namespace

namespace {

// Answers the next task dialog with a modal result and keeps what it showed.
struct TShownDialog {
    std::string Title, Instruction, Content;
    bool Shown = false;
};

class ChartWindowCommands : public ChartWindowTest {
protected:
    TShownDialog AnswerTaskDialog(const std::function<void()>& Command, int Result) {
        TShownDialog shown;
        Driver.AnswerNextModal([&](TCustomForm& dialog) {
            Driver.Pump();
            shown.Shown = true;
            shown.Title = Form->KvxTaskDialog1->Title();
            shown.Instruction = Form->KvxTaskDialog1->Instruction();
            shown.Content = Form->KvxTaskDialog1->Content();
            dialog.SetModalResult(Result);
        });
        Command();
        Driver.Pump();
        EXPECT_TRUE(shown.Shown) << "no task dialog came up";
        return shown;
    }

    // Clicks a row of the frame list (on its title), with the keyboard's modifiers.
    void ClickRow(int Row, uint32_t Modifiers = 0) {
        TChartListBox* list = Form->ChartListBox1;
        const int x = list->SectionLeft(lbsTitle) + 20;
        Driver.Click(list, TPoint(x, Row * list->ItemHeight() + list->ItemHeight() / 2), tbLeft, Modifiers);
        Driver.Pump();
    }

    static double MaxOf(TChartSeries* Frame) {
        double m = -1e300;
        for (double y : YsOf(Frame))
            m = std::max(m, y);
        return m;
    }
};

TEST_F(ChartWindowCommands, LoadTakesTheLiveFrameWithItsAxesAndCountsItsTitles) {
    // Without a live window, or with an empty live frame, Load does nothing and asks nothing.
    SetLiveFrameSource(nullptr);
    Form->btn_loadClick(nullptr);
    SetLiveFrameSource(&Live);
    Live.SetFrame({});
    Form->btn_loadClick(nullptr);
    Driver.Pump();
    EXPECT_EQ(Form->FrameCount(), 0);
    EXPECT_EQ(Form->NextFrameNumber(), 1);

    Live.Chart->BottomAxis()->Title()->SetCaption("Wavelength");
    Live.Chart->LeftAxis()->Title()->SetCaption("Volts");
    Live.Chart->BottomAxis()->SetAxisValuesFormat("0.0");
    Live.Chart->BottomAxis()->SetInverted(true);
    Live.XMultiplier = -3;
    TChartSeries* first = LoadLive({1, 5, 3});
    ASSERT_NE(first, nullptr) << "an empty window takes any point count";
    EXPECT_EQ(Proposed, "FRAME 1");
    EXPECT_EQ(first->Title(), "FRAME 1");
    EXPECT_EQ(YsOf(first), (std::vector<double>{1, 5, 3}));
    EXPECT_EQ(Form->Chart1->BottomAxis()->Title()->Caption(), "Wavelength");
    EXPECT_EQ(Form->Chart1->LeftAxis()->Title()->Caption(), "Volts");
    EXPECT_EQ(Form->Chart1->BottomAxis()->AxisValuesFormat(), "0.0");
    EXPECT_TRUE(Form->Chart1->BottomAxis()->Inverted());
    EXPECT_EQ(Form->XMultiplier(), -3);

    // Cancel and an empty title leave everything as it was, the number too.
    Live.SetFrame({2, 2, 2});
    WithTitle([&] { Form->btn_loadClick(nullptr); }, nullptr, false);
    WithTitle([&] { Form->btn_loadClick(nullptr); }, "");
    EXPECT_EQ(Form->FrameCount(), 1);
    EXPECT_EQ(Form->NextFrameNumber(), 2);

    // A frame of another length is refused with the error, before any title is asked.
    Live.SetFrame({1, 2, 3, 4});
    const TShownDialog error = AnswerTaskDialog([&] { Form->btn_loadClick(nullptr); }, mrOk);
    EXPECT_EQ(error.Title, "ERROR");
    EXPECT_EQ(error.Instruction, "Unable to load Frame");
    EXPECT_EQ(error.Content, "Different number of pixels");
    EXPECT_EQ(Form->FrameCount(), 1);

    // Titles the user gives do not change the numbering.
    Live.SetFrame({4, 4, 4});
    // (through the toolbar button and the menu item, as the user gives the command)
    WithTitle([&] { Driver.Click(Form->btn_load); }, "dark");
    WithTitle([&] { Form->mi_load->Click(); }, "lamp");
    EXPECT_EQ(Form->FrameCount(), 3);
    EXPECT_EQ(Form->Frame(1)->Title(), "dark");
    EXPECT_EQ(Form->ProposedTitle(), "FRAME 4");
}

TEST_F(ChartWindowCommands, DeleteAsksThenRemovesTheSelectedFramesAndParksTheReadout) {
    for (double level : {10.0, 20.0, 30.0})
        LoadLive({level, level + 1, level});
    ClickRow(0);
    ClickRow(2, modControl);
    ASSERT_EQ(Form->SelectedFrames().size(), 2u);
    TChartSeries* current = Form->CurrentFrame();
    Form->mi_nearestselectClick(nullptr);
    ASSERT_EQ(Form->ChartTool2->Series(), current);

    // No keeps everything.
    TShownDialog ask = AnswerTaskDialog([&] { Form->btn_deleteClick(nullptr); }, mrNo);
    EXPECT_EQ(ask.Title, "Delete");
    EXPECT_EQ(ask.Instruction, "Delete selected frames?");
    EXPECT_EQ(ask.Content, current->Title());
    EXPECT_EQ(Form->FrameCount(), 3);
    EXPECT_TRUE(Form->ChartTool2->Active());

    AnswerTaskDialog([&] { Driver.Click(Form->btn_delete); }, mrYes);
    ASSERT_EQ(Form->FrameCount(), 1);
    EXPECT_EQ(Form->Frame(0)->Title(), "FRAME 2");
    EXPECT_EQ(YsOf(Form->Frame(0)), (std::vector<double>{20, 21, 20}));
    EXPECT_NE(TfmChart::PeaksOf(Form->Frame(0)), nullptr);
    EXPECT_EQ(Form->ChartListBox1->Count(), 1);
    // The readout followed a deleted frame: off, and parked out of sight.
    EXPECT_FALSE(Form->ChartTool2->Active());
    EXPECT_FALSE(Form->ChartTool3->Active());
    EXPECT_EQ(Form->ChartTool2->Series(), nullptr);
    EXPECT_EQ(Form->ChartTool3->Shape()->Left(), -50);
    EXPECT_EQ(Form->ChartTool3->Shape()->Top(), -50);
}

TEST_F(ChartWindowCommands, DeleteMakesTheCurrentFrameInactiveEvenWhenItStaysUnselected) {
    LoadLive({1, 2});
    LoadLive({3, 4});
    ClickRow(1);
    ClickRow(0, modControl); // row 0 selected too, then ctrl-click row 1 away again
    ClickRow(1, modControl);
    TChartSeries* current = Form->CurrentFrame();
    ASSERT_NE(current, nullptr);
    const std::vector<TChartSeries*> selected = Form->SelectedFrames();
    ASSERT_EQ(selected.size(), 1u);
    ASSERT_NE(selected[0], current);
    AnswerTaskDialog([&] { Form->btn_deleteClick(nullptr); }, mrYes);
    ASSERT_EQ(Form->FrameCount(), 1);
    EXPECT_EQ(Form->Frame(0), current);
    EXPECT_FALSE(current->Active());
}

TEST_F(ChartWindowCommands, DeleteSwitchesTheReadoutOffWhenItsFrameGoesAlthoughAnotherIsCurrent) {
    for (double level : {10.0, 20.0})
        LoadLive({level, level + 1, level});
    ClickRow(0);
    Form->mi_nearestselectClick(nullptr);
    ClickRow(1, modControl);
    ASSERT_NE(Form->CurrentFrame(), Form->ChartTool2->Series());
    AnswerTaskDialog([&] { Form->btn_deleteClick(nullptr); }, mrYes);
    ASSERT_EQ(Form->FrameCount(), 0);
    EXPECT_FALSE(Form->ChartTool3->Active()) << "no label left with a deleted frame's value";
    EXPECT_EQ(Form->ChartTool3->Shape()->Left(), -50);
}

TEST_F(ChartWindowCommands, ListAndSelectorFollowEachOther) {
    // A click into an empty list changes nothing.
    ClickRow(0);
    EXPECT_EQ(Form->ChartTool5->PickedSeries(), nullptr);

    TChartSeries* a = LoadLive({10, 50, 10, 50, 10});
    TChartSeries* b = LoadLive({100, 200, 100, 200, 100});
    ClickRow(0);
    EXPECT_EQ(Form->CurrentFrame(), a);
    EXPECT_EQ(Form->ChartTool5->PickedSeries(), a);
    ClickRow(1);
    EXPECT_EQ(Form->ChartTool5->PickedSeries(), b);

    // Picking a frame on the chart focuses its row alone.
    Form->ChartTool5->PickSeries(a);
    Driver.Pump();
    EXPECT_EQ(Form->CurrentFrame(), a);
    EXPECT_EQ(Form->SelectedFrames(), std::vector<TChartSeries*>{a});

    // The row of an inactive frame drops the pick.
    a->SetActive(false);
    ClickRow(0);
    EXPECT_EQ(Form->ChartTool5->PickedSeries(), nullptr);
}

TEST_F(ChartWindowCommands, RelativeModeConvertsEveryFrameOverItsOwnPointsAndBack) {
    TChartSeries* small = LoadLive({100, 500, 250});
    TChartSeries* big = LoadLive({2000, 1000, 0});
    // A frame of another length, as a computed or damaged one could be: converted over its own points.
    TLineSeries* odd = Form->NewFrame("odd");
    for (double y : {400.0, 800.0, 1200.0, 1600.0, 200.0})
        odd->AddXY(odd->Count(), y);
    Driver.Click(Form->btn_relative);
    Driver.Pump();
    ASSERT_TRUE(Form->btn_relative->Down());
    EXPECT_EQ(Form->ReferenceMax(), 2000);
    EXPECT_EQ(YsOf(small), (std::vector<double>{5, 25, 12.5}));
    EXPECT_EQ(YsOf(big), (std::vector<double>{100, 50, 0}));
    EXPECT_EQ(YsOf(odd), (std::vector<double>{20, 40, 60, 80, 10}));
    EXPECT_EQ(big->MaxY(), 100) << "statistics follow the converted values";

    // A live frame above the reference moves it: the others are re-expressed, the new one in percent.
    TChartSeries* bright = LoadLive({4000, 1000, 0});
    ASSERT_NE(bright, nullptr);
    EXPECT_EQ(Form->ReferenceMax(), 4000);
    EXPECT_EQ(YsOf(big), (std::vector<double>{50, 25, 0}));
    EXPECT_EQ(YsOf(bright), (std::vector<double>{100, 25, 0}));

    // Deleting the frame with the maximum makes the largest remaining one 100 again.
    Form->ChartListBox1->UnselectAll();
    Form->ChartListBox1->FocusSeries(bright);
    AnswerTaskDialog([&] { Form->btn_deleteClick(nullptr); }, mrYes);
    EXPECT_EQ(Form->ReferenceMax(), 2000);
    EXPECT_EQ(YsOf(big), (std::vector<double>{100, 50, 0}));

    Driver.Click(Form->btn_relative);
    Driver.Pump();
    EXPECT_FALSE(Form->btn_relative->Down());
    EXPECT_EQ(Form->ReferenceMax(), TfmChart::NoReferenceMax);
    EXPECT_EQ(YsOf(small), (std::vector<double>{100, 500, 250}));
    EXPECT_EQ(YsOf(big), (std::vector<double>{2000, 1000, 0}));
    EXPECT_EQ(YsOf(odd), (std::vector<double>{400, 800, 1200, 1600, 200}));
}

// Percent values round; switching back gives the frame its own values, also after the reference moved
// away and back.
TEST_F(ChartWindowCommands, RelativeModeOffGivesTheValuesBackAsTheyWere) {
    const std::vector<double> values = {1026.5, 855.5, 844.6, 33415.8};
    TChartSeries* frame = LoadLive(values);
    Driver.Click(Form->btn_relative);
    Driver.Pump();
    TChartSeries* bright = LoadLive({40000.5, 0, 0, 0});
    ASSERT_NE(bright, nullptr);
    EXPECT_EQ(Form->ReferenceMax(), 40000.5);
    Form->ChartListBox1->UnselectAll();
    Form->ChartListBox1->FocusSeries(bright);
    AnswerTaskDialog([&] { Form->btn_deleteClick(nullptr); }, mrYes);
    EXPECT_EQ(Form->ReferenceMax(), 33415.8);
    Driver.Click(Form->btn_relative);
    Driver.Pump();
    ASSERT_FALSE(Form->RelativeMode());
    EXPECT_EQ(YsOf(frame), values);
}

TEST_F(ChartWindowCommands, RelativeModeIsRefusedWithoutFramesOrWithoutAPositiveMaximum) {
    Driver.Click(Form->btn_relative);
    Driver.Pump();
    EXPECT_FALSE(Form->btn_relative->Down()) << "springs back in an empty window";

    TChartSeries* dark = LoadLive({0, -5, 0});
    const TShownDialog refused = AnswerTaskDialog([&] { Driver.Click(Form->btn_relative); }, mrOk);
    EXPECT_TRUE(refused.Shown);
    EXPECT_EQ(refused.Title, "ERROR");
    EXPECT_FALSE(Form->btn_relative->Down());
    EXPECT_EQ(YsOf(dark), (std::vector<double>{0, -5, 0})) << "nothing converted";
    EXPECT_EQ(Form->ReferenceMax(), TfmChart::NoReferenceMax);

    // Deleting the only frame with light keeps the dark one in percent of the reference it had.
    TChartSeries* bright = LoadLive({0, 2000, 0});
    Driver.Click(Form->btn_relative);
    Driver.Pump();
    ASSERT_TRUE(Form->btn_relative->Down());
    Form->ChartListBox1->UnselectAll();
    Form->ChartListBox1->FocusSeries(bright);
    AnswerTaskDialog([&] { Form->btn_deleteClick(nullptr); }, mrYes);
    ASSERT_EQ(Form->FrameCount(), 1);
    EXPECT_EQ(Form->ReferenceMax(), 2000);
    EXPECT_EQ(YsOf(dark), (std::vector<double>{0, -0.25, 0}));
    Driver.Click(Form->btn_relative);
    Driver.Pump();
    EXPECT_EQ(YsOf(dark), (std::vector<double>{0, -5, 0}));
}

TEST_F(ChartWindowCommands, MarksCommandsActOnEverySelectedFrame) {
    TChartSeries* a = LoadLive({1, 9, 1});
    TChartSeries* b = LoadLive({2, 8, 2});
    TChartSeries* c = LoadLive({3, 7, 3});
    for (TChartSeries* f : {a, b, c})
        TfmChart::PeaksOf(f)->AddPeak(1);
    ClickRow(0);
    ClickRow(1, modControl);

    Form->mi_marksvisible->SetChecked(true);
    Form->mi_marksvisible->Click();
    EXPECT_FALSE(a->Marks()->Visible());
    EXPECT_FALSE(b->Marks()->Visible());
    EXPECT_TRUE(c->Marks()->Visible());
    Form->mi_marksvisible->Click();
    EXPECT_TRUE(a->Marks()->Visible());

    Form->mi_markstransparent->Click();
    EXPECT_TRUE(a->Marks()->Transparent());
    EXPECT_TRUE(b->Marks()->Transparent());
    EXPECT_FALSE(c->Marks()->Transparent());

    TSeriesMarkPosition moved;
    moved.LeftTop = TPoint(5, 5);
    a->Marks()->Positions().Put(1, moved);
    Form->mi_marksreset->Click();
    EXPECT_FALSE(a->Marks()->Positions().ExistCustom());

    Form->mi_marksdelete->Click();
    EXPECT_EQ(TfmChart::PeaksOf(a)->PeakCount(), 0);
    EXPECT_EQ(TfmChart::PeaksOf(b)->PeakCount(), 0);
    EXPECT_EQ(TfmChart::PeaksOf(c)->PeakCount(), 1);
}

TEST_F(ChartWindowCommands, PopupMenuEnablesByWhatIsSelectedAndWhereItOpened) {
    Form->PopupMenu1->SetPopupComponent(Form->ChartListBox1);
    Form->PopupMenu1Popup(nullptr);
    EXPECT_FALSE(Form->mi_nearestselect->Enabled());
    EXPECT_EQ(Form->mi_nearestselect->Caption(), "No Frame selected");
    EXPECT_FALSE(Form->mi_marks->Enabled());
    EXPECT_TRUE(Form->mi_load->Enabled()) << "the live window exists";
    EXPECT_FALSE(Form->mi_delete->Enabled());
    EXPECT_FALSE(Form->mi_loadfromfile->Enabled());
    EXPECT_FALSE(Form->mi_chart->Enabled());
    EXPECT_FALSE(Form->mi_textbox->Enabled());

    LoadLive({1, 2, 3});
    ClickRow(0);
    Form->PopupMenu1->SetPopupComponent(Form->Chart1);
    SetLiveFrameSource(nullptr);
    Form->PopupMenu1Popup(nullptr);
    SetLiveFrameSource(&Live);
    EXPECT_TRUE(Form->mi_nearestselect->Enabled());
    EXPECT_EQ(Form->mi_nearestselect->Caption(), "Select (FRAME 1)");
    EXPECT_TRUE(Form->mi_marks->Enabled());
    EXPECT_TRUE(Form->mi_marksvisible->Checked());
    EXPECT_FALSE(Form->mi_load->Enabled());
    EXPECT_TRUE(Form->mi_delete->Enabled());
    EXPECT_TRUE(Form->mi_copytonewchart->Enabled());
    EXPECT_TRUE(Form->mi_loadfromfile->Enabled());
    EXPECT_TRUE(Form->mi_chart->Enabled());
    EXPECT_TRUE(Form->mi_textbox->Enabled());
    EXPECT_FALSE(Form->mi_textboxdelete->Enabled()) << "no text box picked";
}

TEST_F(ChartWindowCommands, TextBoxesAreAddedCentredAboveTheSelectorAndDeleted) {
    Driver.AnswerNextModal([&](TCustomForm& dialog) {
        Driver.Pump();
        auto& memo = static_cast<TfmMemo&>(dialog);
        memo.Memo->Lines()->Add("first line");
        memo.Memo->Lines()->Add("second");
        dialog.SetModalResult(mrOk);
    });
    Form->mi_textboxaddClick(nullptr);
    Driver.Pump();
    TChartTools* tools = Form->Chart1->Tools();
    ASSERT_EQ(tools->Count(), 6);
    auto* box = dynamic_cast<TAnnotationTool*>(tools->Items(4));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(tools->Items(5), Form->ChartTool5) << "the selector stays last";
    EXPECT_GT(box->ComponentIndex(), -1);
    EXPECT_LT(box->ComponentIndex(), Form->ChartTool5->ComponentIndex());
    EXPECT_EQ(box->Text(), "first line\rsecond\r");
    EXPECT_EQ(box->Owner(), Form);
    EXPECT_EQ(box->Shape()->Top(), 10);
    const TRect r = box->Geometry().Rect;
    EXPECT_NEAR((r.Left + r.Right) / 2.0, Form->Chart1->Width() / 2.0, 2);
    EXPECT_EQ(Form->ChartTool5->PickedAnnotation(), box);

    // A double click on the chart with a box picked ends there; without one it goes on.
    ASSERT_TRUE(Form->Chart1->OnDblClick != nullptr);
    Form->Chart1->SetCancelMouse(false);
    Form->Chart1->OnDblClick(Form->Chart1);
    EXPECT_TRUE(Form->Chart1->CancelMouse());
    EXPECT_EQ(Form->ChartTool5->PickedAnnotation(), box);

    // Cancel adds nothing.
    Driver.AnswerNextModal([](TCustomForm& dialog) { dialog.SetModalResult(mrCancel); });
    Form->mi_textboxaddClick(nullptr);
    EXPECT_EQ(tools->Count(), 6);

    Form->PopupMenu1->SetPopupComponent(Form->Chart1);
    Form->PopupMenu1Popup(nullptr);
    EXPECT_TRUE(Form->mi_textboxdelete->Enabled());
    Form->mi_textboxdelete->Click();
    EXPECT_EQ(tools->Count(), 5);
    EXPECT_EQ(Form->ChartTool5->PickedAnnotation(), nullptr);
    Form->Chart1->SetCancelMouse(false);
    Form->Chart1->OnDblClick(Form->Chart1);
    EXPECT_FALSE(Form->Chart1->CancelMouse());
    int boxes = 0;
    for (int i = 0; i < Form->ComponentCount(); ++i)
        boxes += dynamic_cast<TAnnotationTool*>(Form->Components(i)) != nullptr;
    EXPECT_EQ(boxes, 1) << "only the readout's annotation is left";
}

TEST_F(ChartWindowCommands, ScrollZoomAndBandButtonsSwitchTheChartAndTheSelector) {
    LoadLive(std::vector<double>(2001, 5.0));
    Form->Chart1->BottomAxis()->SetAxisRange(0, 2000);
    Driver.Pump();

    Driver.Click(Form->btn_zoom);
    Driver.Pump();
    EXPECT_TRUE(Form->Chart1->Zoom()->Allow());
    EXPECT_EQ(Form->Chart1->AllowPanning(), pmNone);
    EXPECT_EQ(Form->Chart1->Cursor(), crCross);
    EXPECT_FALSE(Form->ChartTool5->Active());

    // Scroll takes over from zoom: one of the two at a time.
    Driver.Click(Form->btn_scroll);
    Driver.Pump();
    EXPECT_TRUE(Form->btn_scroll->Down());
    EXPECT_FALSE(Form->btn_zoom->Down());
    EXPECT_EQ(Form->Chart1->AllowPanning(), pmBoth);
    EXPECT_FALSE(Form->Chart1->Zoom()->Allow());
    EXPECT_EQ(Form->Chart1->Cursor(), crPlotHand);
    EXPECT_EQ(Form->Chart1->SavedCursor(), crPlotHand);
    EXPECT_FALSE(Form->ChartTool5->Active());

    Driver.Click(Form->btn_scroll);
    Driver.Pump();
    EXPECT_FALSE(Form->btn_scroll->Down()) << "the group allows all up";
    EXPECT_EQ(Form->Chart1->AllowPanning(), pmNone);
    EXPECT_EQ(Form->Chart1->Cursor(), crDefault);
    EXPECT_TRUE(Form->ChartTool5->Active());

    // The band starts on the middle 40 % of the visible range.
    Driver.Click(Form->btn_band);
    Driver.Pump();
    EXPECT_TRUE(Form->ChartTool4->Active());
    EXPECT_DOUBLE_EQ(Form->ChartTool4->StartValue(), 600);
    EXPECT_DOUBLE_EQ(Form->ChartTool4->EndValue(), 1400);
    int start = 0, end = 0;
    double x0 = 0, x1 = 0;
    ClickRow(0);
    ASSERT_TRUE(Form->GetRangeIndices(start, end, x0, x1));
    EXPECT_EQ(start, 600);
    EXPECT_EQ(end, 1400);
    Driver.Click(Form->btn_band);
    Driver.Pump();
    EXPECT_FALSE(Form->ChartTool4->Active());
}

TEST_F(ChartWindowCommands, NearestPointReadoutAndStatusFollowTheMouse) {
    TChartSeries* frame = LoadLive({10, 20, 30, 40, 50});
    Form->Chart1->BottomAxis()->SetAxisRange(0, 4);
    Form->Chart1->LeftAxis()->SetAxisRange(0, 100);
    ClickRow(0);
    Form->mi_nearestselectClick(nullptr);
    EXPECT_TRUE(Form->ChartTool2->Active());
    EXPECT_TRUE(Form->ChartTool3->Active());
    EXPECT_EQ(Form->ChartTool2->Series(), frame);
    Driver.Pump();

    // The chart's own mouse event comes before the tools: the readout shows the point the nearest tool
    // marked at the move before.
    const TPoint p(Form->Chart1->BottomAxis()->ValueToPixel(3), Form->Chart1->LeftAxis()->ValueToPixel(40));
    Driver.MoveTo(TTestDriver::ScreenPoint(Form->Chart1, TPoint(p.X - 1, p.Y)));
    Driver.MoveTo(TTestDriver::ScreenPoint(Form->Chart1, p));
    Driver.Pump();
    EXPECT_EQ(Form->ChartTool3->Text(), "40 @ 3");
    EXPECT_EQ(Form->KvxOfficeStatusBar1->Panels()->GetItem(2)->Text(), "3");
    EXPECT_EQ(Form->KvxOfficeStatusBar1->Panels()->GetItem(4)->Text(), "40");
    // The readout sits centred above the mouse.
    EXPECT_EQ(Form->ChartTool3->Shape()->Top() + Form->ChartTool3->Geometry().Rect.Height(), p.Y);

    // Relative mode reads with two decimals whatever the axis says.
    Driver.Click(Form->btn_relative);
    Driver.Pump();
    const TPoint q(p.X, Form->Chart1->LeftAxis()->ValueToPixel(80));
    Driver.MoveTo(TTestDriver::ScreenPoint(Form->Chart1, TPoint(q.X + 1, q.Y)));
    Driver.MoveTo(TTestDriver::ScreenPoint(Form->Chart1, q));
    Driver.Pump();
    EXPECT_EQ(Form->ChartTool3->Text(), "80.00 @ 3");

    // Switching the frame off in the list switches the readout off.
    Form->ChartListBox1ChangeActive(Form->ChartListBox1, frame);
    EXPECT_FALSE(Form->ChartTool2->Active());
    EXPECT_EQ(Form->ChartTool3->Shape()->Left(), -50);

    // With no frame left the status values are emptied.
    AnswerTaskDialog([&] { Form->btn_deleteClick(nullptr); }, mrYes);
    Driver.MoveTo(TTestDriver::ScreenPoint(Form->Chart1, TPoint(p.X - 1, p.Y)));
    Driver.MoveTo(TTestDriver::ScreenPoint(Form->Chart1, p));
    Driver.Pump();
    EXPECT_EQ(Form->KvxOfficeStatusBar1->Panels()->GetItem(2)->Text(), "");
    EXPECT_EQ(Form->KvxOfficeStatusBar1->Panels()->GetItem(4)->Text(), "");
}

TEST_F(ChartWindowCommands, ChartMenuShowsTheLegendAndCopiesThePicture) {
    LoadLive({1, 2, 3});
    Form->mi_legendvisibleClick(nullptr);
    EXPECT_TRUE(Form->Chart1->Legend()->Visible());
    EXPECT_TRUE(Form->mi_legendvisible->Checked());
    Form->mi_legendvisibleClick(nullptr);
    EXPECT_FALSE(Form->Chart1->Legend()->Visible());

    struct TCase {
        TMenuItem* Item;
        UINT Format;
    };
    for (const TCase& c : {TCase{Form->mi_copybitmap, CF_BITMAP}, TCase{Form->mi_copyemf, CF_ENHMETAFILE},
                           TCase{Form->mi_copywmf, CF_METAFILEPICT}}) {
        Clipboard()->Clear();
        ASSERT_FALSE(Clipboard()->HasFormat(c.Format));
        c.Item->Click();
        EXPECT_TRUE(Clipboard()->HasFormat(c.Format)) << c.Item->Caption();
    }
}

} // namespace

namespace {

// A line camera's frame: a dark level with a few lines of light.
std::vector<double> Spectrum(double Scale, double Shift) {
    std::vector<double> y(2048);
    const struct {
        double At, Height, Width;
    } lines[] = {{420, 3100, 18}, {760, 1900, 30}, {1180, 3700, 14}, {1530, 1400, 40}};
    for (size_t i = 0; i < y.size(); ++i) {
        double v = 220 + 60 * std::sin(static_cast<double>(i) / 97.0);
        for (const auto& l : lines) {
            const double d = (static_cast<double>(i) - l.At - Shift) / l.Width;
            v += l.Height * std::exp(-d * d / 2);
        }
        y[i] = std::round(v * Scale);
    }
    return y;
}

TEST_F(ChartWindowCommands, ThreeFramesWithPeakMarksAndTheBandReadLikeAnAnalysisWindow) {
    const struct { double Scale, Shift; } frames[] = {{1.0, 0}, {0.72, 6}, {0.45, -9}};
    analysis::PeakSettings settings;
    settings.Threshold = 500;
    settings.MinPeak = 1000;
    for (const auto& f : frames) {
        TChartSeries* frame = LoadLive(Spectrum(f.Scale, f.Shift));
        ASSERT_NE(frame, nullptr);
        analysis::FindPeaks(frame, settings, TfmChart::PeaksOf(frame));
    }
    ASSERT_EQ(Form->FrameCount(), 3);
    EXPECT_EQ(TfmChart::PeaksOf(Form->Frame(0))->PeakCount(), 4);
    ClickRow(0);
    Driver.Click(Form->btn_band);
    Driver.Pump();
    ASSERT_TRUE(Form->ChartTool4->Active());

    // A mark shows at each peak of the first frame, with its value.
    TChartSeries* first = Form->Frame(0);
    const int peak = TfmChart::PeaksOf(first)->PeakAt(2);
    EXPECT_EQ(first->Marks()->Positions().Position(peak) != nullptr, true) << "the mark was drawn";
    std::string text;
    first->OnGetMarkText(first, peak, text);
    EXPECT_EQ(text, "3897.00 @ 1180");

    const auto picture = Driver.Render(Form->Handle());
    TTestDriver::SavePng(*picture, TestOutputDir("app") + "/chart-window-peaks.png");
    // The band's dotted edges lie where its values are.
    const int edge = Form->Chart1->BottomAxis()->ValueToPixel(Form->ChartTool4->StartValue());
    EXPECT_GT(edge, Form->Chart1->ChartRect().Left);
    EXPECT_LT(edge, Form->Chart1->ChartRect().Right);
}

TEST_F(ChartWindowCommands, ClosingGivesBackEveryPeakListAndIsAlwaysAllowed) {
    LoadLive({1, 2});
    LoadLive({3, 4});
    bool canClose = false;
    ASSERT_TRUE(Form->OnCloseQuery != nullptr);
    Form->OnCloseQuery(Form, canClose);
    EXPECT_TRUE(canClose);
    for (int i = 0; i < Form->FrameCount(); ++i) {
        EXPECT_EQ(TfmChart::PeaksOf(Form->Frame(i)), nullptr);
        EXPECT_TRUE(Form->Frame(i)->OnGetMarkText == nullptr);
    }
}

TEST_F(ChartWindowCommands, FreeingTheWindowWithItsFramesLeavesNothingBehind) {
    LoadLive({1, 2});
    LoadLive({3, 4});
    TfmChart::PeaksOf(Form->Frame(0))->AddPeak(1);
    // As the main window frees a closed chart window: the components go before the destructor runs.
    Form->Free();
    Form = nullptr;
    Driver.Pump();
}

TEST_F(ChartWindowCommands, WithZoomOrScrollDownTheMouseZoomsOrScrollsTheChart) {
    LoadLive(Spectrum(1.0, 0));
    Driver.Pump();
    TChartAxis* bottom = Form->Chart1->BottomAxis();
    const TRect r = Form->Chart1->ChartRect();
    const TPoint from(r.Left + r.Width() / 4, r.Top + 20), to(r.Left + r.Width() / 2, r.Bottom - 20);

    // Without either button the mouse neither zooms nor scrolls.
    const double min0 = bottom->Minimum(), max0 = bottom->Maximum();
    Driver.Drag(Form->Chart1, from, to);
    Driver.Pump();
    EXPECT_EQ(bottom->Minimum(), min0);
    EXPECT_EQ(bottom->Maximum(), max0);

    Driver.Click(Form->btn_zoom);
    Driver.Drag(Form->Chart1, from, to);
    Driver.Pump();
    EXPECT_GT(bottom->Minimum(), min0 + (max0 - min0) / 8);
    EXPECT_LT(bottom->Maximum(), min0 + (max0 - min0) * 5 / 8);

    Driver.Click(Form->btn_scroll);
    const double width = bottom->Maximum() - bottom->Minimum(), min1 = bottom->Minimum();
    Driver.Drag(Form->Chart1, TPoint(r.Left + r.Width() / 2, r.Top + 50),
                TPoint(r.Left + r.Width() / 4, r.Top + 50));
    Driver.Pump();
    EXPECT_GT(bottom->Minimum(), min1) << "dragged left, the view moves right";
    EXPECT_NEAR(bottom->Maximum() - bottom->Minimum(), width, width * 1e-9);
}

} // namespace
