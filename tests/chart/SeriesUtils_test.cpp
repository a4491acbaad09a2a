#include <gtest/gtest.h>

#include "SeriesTestUtil.h"
#include "chart/PlotEngineTools.h"
#include "chart/SeriesUtils.h"

namespace {

using namespace seriestest;

// A calculation that computes nothing: the utilities only need a function class to create.
class TNoFunction : public TPlotFunction {
    PLAT_CLASS(TNoFunction)
public:
    using TPlotFunction::TPlotFunction;
};
PLAT_CLASS_INFO_CREATABLE(TNoFunction, TPlotFunction)

TEST(SeriesUtils, NewSeriesTakeFreeNamesTheChartAsOwnerAndAFunction) {
    TSeriesChart c;
    TChartSeries* first = CreateNewSeries(nullptr, c.Chart.get(), TLineSeries::StaticClass());
    TChartSeries* second =
        CreateNewSeries(nullptr, c.Chart.get(), TFastLineSeries::StaticClass(), &TNoFunction::StaticClass());
    EXPECT_EQ(first->Name(), "Series1");
    EXPECT_EQ(second->Name(), "Series2");
    EXPECT_EQ(first->Owner(), c.Chart.get());
    EXPECT_EQ(second->ParentChart(), c.Chart.get());
    EXPECT_EQ(c.Chart->SeriesCount(), 2);
    ASSERT_NE(second->FunctionType(), nullptr);
    EXPECT_EQ(&second->FunctionType()->ClassType(), &TNoFunction::StaticClass());
    EXPECT_EQ(second->FunctionType()->Name(), "PlotFunction1");
    EXPECT_EQ(second->FunctionType()->Owner(), c.Chart.get());

    // A clone keeps the class and the points (or the function class) under a name of its own.
    first->AddXY(1, 2);
    TChartSeries* clone = CloneSeries(first);
    EXPECT_EQ(&clone->ClassType(), &TLineSeries::StaticClass());
    EXPECT_EQ(clone->Name(), "Series3");
    EXPECT_EQ(clone->Count(), 1);
    TChartSeries* calculated = CloneSeries(second);
    ASSERT_NE(calculated->FunctionType(), nullptr);
    EXPECT_EQ(calculated->FunctionType()->Name(), "PlotFunction2");

    // A class that makes no series is refused, and nothing is left behind.
    EXPECT_THROW(CreateNewSeries(nullptr, c.Chart.get(), TNoFunction::StaticClass()), ChartException);
    EXPECT_EQ(c.Chart->SeriesCount(), 4);
}

TEST(SeriesUtils, ChangeOfClassKeepsNamePlacePointsEventsAndDependents) {
    TSeriesChart c;
    TChartSeries* before = CreateNewSeries(nullptr, c.Chart.get(), TLineSeries::StaticClass());
    TChartSeries* series = CreateNewSeries(nullptr, c.Chart.get(), TLineSeries::StaticClass());
    TChartSeries* after = CreateNewSeries(nullptr, c.Chart.get(), TLineSeries::StaticClass());
    series->AddXY(1, 10, "a");
    series->AddXY(2, 20, "b");
    int clicks = 0;
    series->OnClick = [&](TChartSeries*, int, TMouseButton, TShiftState, int, int) { ++clicks; };
    after->SetDataSource(series);
    // The chart owns the tool, as a form's layout makes it.
    auto* tool = new TPlotCustomToolSeries(c.Chart.get());
    c.Chart->Tools()->Add(tool);
    tool->SetSeries(series);

    TChartSeries* same = series;
    ChangeSeriesClass(same, TLineSeries::StaticClass());
    EXPECT_EQ(same, series) << "its own class changes nothing";

    ChangeSeriesClass(series, TFastLineSeries::StaticClass());
    EXPECT_EQ(&series->ClassType(), &TFastLineSeries::StaticClass());
    EXPECT_EQ(series->Name(), "Series2");
    ASSERT_EQ(c.Chart->SeriesCount(), 3);
    EXPECT_EQ(c.Chart->Series(0), before);
    EXPECT_EQ(c.Chart->Series(1), series);
    EXPECT_EQ(c.Chart->Series(2), after);
    ASSERT_EQ(series->Count(), 2);
    EXPECT_EQ(series->XLabel(1), "b");
    EXPECT_EQ((*series->YValues())[1], 20);
    ASSERT_TRUE(series->OnClick);
    series->OnClick(series, 0, mbLeft, {}, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(after->DataSources().Count(), 1);
    EXPECT_EQ(after->DataSources().Items(0), series);
    EXPECT_EQ(tool->Series(), series);
}

} // namespace
