#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/UnitTypes.h"
#include "chart/PlotLisB.h"
#include "chart/PlotSelectorTool.h"
#include "platform/ui/Menu.h"
#include "platform/ui/RichEdit.h"
#include "tests/analysis/ChartWindowFixture.h"
#include "ui/office/KvxOfficeStatusBar.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxToolBarControl.h"

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
    frame->OnGetMarkText(frame, 99, text);
    EXPECT_EQ(text, "") << "an index beyond the frame reads nothing";
}

} // namespace
