// The tool bases: joining and leaving a chart, the series a series tool follows, the axes it works on,
// the axis tool and its stream identifier.
#include "chart/PlotEngineTools.h"

#include <gtest/gtest.h>

#include "ChartTestUtil.h"
#include "platform/rtl/FormText.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

class TSeriesTool : public TPlotCustomToolSeries {
public:
    using TPlotCustomToolSeries::TPlotCustomToolSeries;
};

class TAxisTool : public TPlotCustomToolAxis {
public:
    using TPlotCustomToolAxis::TPlotCustomToolAxis;
};

// Logs the drawing moments it receives.
class TMomentTool : public TPlotCustomTool {
public:
    TMomentTool(TComponent* AOwner, std::vector<std::string>* Log) : TPlotCustomTool(AOwner), FLog(Log) {}
    void ChartEvent(TChartToolEvent Kind) override { FLog->push_back("tool" + std::to_string(int(Kind))); }

private:
    std::vector<std::string>* FLog;
};

// Counts the invalidations the chart lets through.
class TCountingChart : public TChart {
public:
    using TChart::TChart;
    int Invalidations = 0;
    void Invalidate() override {
        if (RepaintEnabled())
            ++Invalidations;
        TChart::Invalidate();
    }
};

class ToolsTest : public ::testing::Test {
protected:
    TComponent Owner{nullptr};
    TCountingChart* Chart = new TCountingChart(&Owner);
};

TEST_F(ToolsTest, JoiningTheSameChartTwiceListsTheToolOnce) {
    auto* tool = new TSeriesTool(&Owner);
    tool->SetParentChart(Chart);
    tool->SetParentChart(Chart);
    EXPECT_EQ(Chart->Tools()->Count(), 1);
    EXPECT_EQ(Chart->Tools()->Add(tool), tool);
    EXPECT_EQ(Chart->Tools()->Count(), 1);

    // Leaving repaints the chart it leaves.
    const int before = Chart->Invalidations;
    tool->SetParentChart(nullptr);
    EXPECT_EQ(Chart->Tools()->Count(), 0);
    EXPECT_GT(Chart->Invalidations, before);

    // A freed tool leaves the list.
    Chart->Tools()->Add(tool);
    tool->Free();
    EXPECT_EQ(Chart->Tools()->Count(), 0);

    auto* a = new TSeriesTool(&Owner);
    auto* b = new TAxisTool(&Owner);
    Chart->Tools()->Add(a);
    Chart->Tools()->Add(b);
    Chart->Tools()->Clear();
    EXPECT_EQ(Chart->Tools()->Count(), 0);
    EXPECT_EQ(Owner.ComponentCount(), 1) << "Clear frees the tools";
}

TEST_F(ToolsTest, FreedSeriesLeavesTheToolWithoutSeries) {
    auto* series = new TDotSeries(&Owner);
    Chart->AddSeries(series);
    auto* tool = new TSeriesTool(&Owner);
    Chart->Tools()->Add(tool);
    tool->SetSeries(series);
    EXPECT_EQ(tool->Series(), series);
    EXPECT_EQ(tool->GetHorizAxis(), Chart->BottomAxis());
    series->Free();
    EXPECT_EQ(tool->Series(), nullptr);
    EXPECT_EQ(tool->EditorClassName(), "TSeriesToolEditor");
}

TEST_F(ToolsTest, SeriesToolWithoutSeriesWorksOnTheAxesInUse) {
    auto* tool = new TSeriesTool(&Owner);
    Chart->Tools()->Add(tool);
    EXPECT_EQ(tool->GetHorizAxis(), Chart->BottomAxis());
    EXPECT_EQ(tool->GetVertAxis(), Chart->LeftAxis());
    // The chart frees series without owner.
    auto* top = new TDotSeries(nullptr);
    top->SetHorizAxis(aTopAxis);
    top->SetVertAxis(aRightAxis);
    Chart->AddSeries(top);
    EXPECT_EQ(tool->GetHorizAxis(), Chart->TopAxis());
    EXPECT_EQ(tool->GetVertAxis(), Chart->RightAxis());
    // A series on the bottom axis brings the default back.
    Chart->AddSeries(new TDotSeries(nullptr));
    EXPECT_EQ(tool->GetHorizAxis(), Chart->BottomAxis());
    EXPECT_EQ(tool->GetVertAxis(), Chart->LeftAxis());
}

TEST_F(ToolsTest, DrawingMomentsAroundTheChartParts) {
    std::vector<std::string> log;
    Chart->Tools()->Add(new TMomentTool(&Owner, &log));
    Chart->SetBounds(0, 0, 400, 300);
    Chart->AddSeries(new TDotSeries(nullptr))->AddXY(1, 1);
    Chart->OnBeforeDrawChart = [&](TObject*) { log.push_back("chart"); };
    Chart->OnGetLegendText = [&](TCustomAxisPanel*, TLegendStyle, int, std::string&) {
        log.push_back("legend");
    };
    Chart->OnBeforeDrawAxes = [&](TObject*) { log.push_back("axes"); };
    Chart->OnBeforeDrawSeries = [&](TObject*) { log.push_back("series"); };
    Chart->OnAfterDraw = [&](TObject*) { log.push_back("after"); };
    Chart->CreateChartBitmap();
    EXPECT_EQ(log, (std::vector<std::string>{"tool2", "chart", "legend", "tool3", "axes", "tool1", "series",
                                             "tool4", "tool0", "after"}));
}

TEST_F(ToolsTest, ToolsStreamAfterTheSeries) {
    auto* tool = new TSeriesTool(&Owner);
    Chart->Tools()->Add(tool);
    auto* series = new TDotSeries(nullptr);
    Chart->AddSeries(series);
    std::vector<TComponent*> children;
    Chart->GetChildren([&](TComponent* c) { children.push_back(c); }, &Owner);
    EXPECT_EQ(children, (std::vector<TComponent*>{series, tool}));
}

TEST_F(ToolsTest, AxisToolJoinsTheChartOfItsAxisAndStreamsItsIndex) {
    auto* tool = new TAxisTool(&Owner);
    tool->SetName("AxisTool1");
    tool->SetAxis(Chart->LeftAxis());
    EXPECT_EQ(tool->ParentChart(), Chart);
    EXPECT_EQ(Chart->Tools()->Count(), 1);
    EXPECT_EQ(tool->EditorClassName(), "TAxisToolEditor");
    const std::string text = WriteComponentToText(tool);
    EXPECT_NE(text.find("AxisID = 2"), std::string::npos) << text;

    auto* copy = new TAxisTool(&Owner);
    copy->SetParentChart(Chart);
    ReadComponentFromText("object AxisTool2: TPlotCustomToolAxis\n  AxisID = 3\nend\n", copy);
    EXPECT_EQ(copy->Axis(), Chart->RightAxis());

    // The axis goes with its chart.
    tool->SetAxis(nullptr);
    EXPECT_EQ(tool->ParentChart(), nullptr);
    tool->SetAxis(Chart->BottomAxis());
    delete Chart;
    Chart = nullptr;
    EXPECT_EQ(tool->Axis(), nullptr);
    EXPECT_EQ(tool->ParentChart(), nullptr);
}

} // namespace
