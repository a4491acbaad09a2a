#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chart/PlotEngine.h"
#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotEngineSeries.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/PixelLine.h"

using namespace chart;

namespace {

// A flat chart of 400 x 300 whose plotting rectangle is (40, 40, 360, 260); series added to it are
// freed with it.
struct TSeriesChart {
    std::unique_ptr<TCustomAxisPanel> Chart;

    TSeriesChart() {
        Chart = std::make_unique<TCustomAxisPanel>(nullptr);
        Chart->SetBounds(0, 0, 400, 300);
        Chart->SetView3D(false);
        Chart->SetChartRect(TRect(40, 40, 360, 260));
        Chart->UpdateChartDimensions();
    }
    ~TSeriesChart() { Chart->FreeAllSeries(); }

    TChartSeries* Add() {
        auto* series = new TChartSeries(nullptr);
        Chart->AddSeries(series);
        return series;
    }
    // Fixes the bottom axis to Min .. Max over the plotting rectangle.
    void BottomRange(double Min, double Max) {
        TChartAxis* axis = Chart->BottomAxis();
        axis->SetAxisRange(Min, Max);
        axis->UpdateRange();
        axis->CalcPositions();
    }
};

struct TEventLog : IChartEventListener {
    std::vector<TPlotSeriesEventStyle> Kinds;
    void HandleChartEvent(TPlotEvent& Event) override {
        if (auto* e = dynamic_cast<TPlotSeriesEvent*>(&Event))
            Kinds.push_back(e->Event);
    }
    int CountOf(TPlotSeriesEventStyle Kind) const {
        return static_cast<int>(std::count(Kinds.begin(), Kinds.end(), Kind));
    }
};

} // namespace

TEST(SeriesInChart, AutomaticColourComesFromThePaletteAndIsNotStored) {
    TSeriesChart c;
    TChartSeries* first = c.Add();
    TChartSeries* second = c.Add();
    EXPECT_EQ(first->SeriesColor(), c.Chart->ColorOfPalette(0));
    EXPECT_FALSE(first->IsColorStored());
    EXPECT_EQ(first->StoredSeriesColor(), AutoColor);
    // Asking for the colour it shows already stores nothing.
    first->SetSeriesColor(first->SeriesColor());
    EXPECT_FALSE(first->IsColorStored());
    second->SetSeriesColor(plat::clBlue);
    EXPECT_TRUE(second->IsColorStored());
    EXPECT_EQ(second->SeriesColor(), plat::clBlue);
    EXPECT_EQ(second->LastAssignedColor(), plat::clBlue);
}

TEST(SeriesInChart, JoiningAndLeavingBindAxesAndTheList) {
    TSeriesChart c;
    TChartSeries* series = c.Add();
    EXPECT_EQ(series->ParentChart(), c.Chart.get());
    EXPECT_EQ(c.Chart->SeriesCount(), 1);
    EXPECT_EQ(series->GetHorizAxis(), c.Chart->BottomAxis());
    EXPECT_EQ(series->GetVertAxis(), c.Chart->LeftAxis());
    series->SetHorizAxis(aTopAxis);
    series->SetVertAxis(aRightAxis);
    EXPECT_EQ(series->GetHorizAxis(), c.Chart->TopAxis());
    EXPECT_EQ(series->GetVertAxis(), c.Chart->RightAxis());
    EXPECT_TRUE(series->UsesAxis(c.Chart->TopAxis()));
    EXPECT_FALSE(series->UsesAxis(c.Chart->BottomAxis()));
    EXPECT_EQ(series->AxisValueList(c.Chart->RightAxis()), series->YValues());
    EXPECT_EQ(series->AxisValueList(c.Chart->LeftAxis()), nullptr);

    series->SetParentChart(nullptr);
    EXPECT_EQ(c.Chart->SeriesCount(), 0);
    EXPECT_EQ(series->GetHorizAxis(), nullptr);
    delete series;
}

TEST(SeriesInChart, FreeingASeriesTakesItOutOfTheChart) {
    TSeriesChart c;
    TChartSeries* series = c.Add();
    c.Add();
    series->Free();
    EXPECT_EQ(c.Chart->SeriesCount(), 1);
}

TEST(SeriesInChart, VisibleRangeFollowsTheAxis) {
    struct Case {
        double Min, Max;
        bool Between;
        int First, Last;
    };
    const Case cases[] = {
        {2.5, 6.5, false, 3, 6}, {2.5, 6.5, true, 3, 7}, {20, 30, false, -1, -1},
        {-5, 20, false, 0, 9},   {3, 6, false, 3, 6},
    };
    for (const Case& k : cases) {
        TSeriesChart c;
        TChartSeries* series = c.Add();
        for (int i = 0; i < 10; ++i)
            series->Add(i);
        series->SetDrawBetweenPoints(k.Between);
        c.BottomRange(k.Min, k.Max);
        series->CalcVisibleRange();
        EXPECT_EQ(series->FirstVisibleIndex(), k.First) << k.Min << ".." << k.Max;
        EXPECT_EQ(series->LastVisibleIndex(), k.Last) << k.Min << ".." << k.Max;
    }
}

TEST(SeriesInChart, UnorderedXIsAllVisible) {
    TSeriesChart c;
    TChartSeries* series = c.Add();
    series->XValues()->SetOrder(loNone);
    for (int i = 0; i < 10; ++i)
        series->Add(i);
    c.BottomRange(2.5, 6.5);
    series->CalcVisibleRange();
    EXPECT_EQ(series->FirstVisibleIndex(), 0);
    EXPECT_EQ(series->LastVisibleIndex(), 9);
}

TEST(SeriesInChart, PixelsComeFromTheBoundAxes) {
    TSeriesChart c;
    TChartSeries* series = c.Add();
    series->AddXY(5, 0);
    c.BottomRange(0, 10);
    EXPECT_EQ(series->ScreenX(0), c.Chart->BottomAxis()->HorizValueToPixel(5));
    EXPECT_EQ(series->ScreenX(0), 200);
}

TEST(SeriesInChart, DataSourceIsCopiedAtOnceAndFollowed) {
    TSeriesChart c;
    TChartSeries* a = c.Add();
    TChartSeries* b = c.Add();
    a->Add(1, "one");
    a->Add(2);
    b->SetDataSource(a);
    EXPECT_EQ(b->Count(), 2);
    EXPECT_EQ(b->XLabel(0), "one");
    a->Add(3);
    EXPECT_EQ(b->Count(), 3);
    a->DeletePointRange(0, 2);
    EXPECT_EQ(b->Count(), 1);
    EXPECT_EQ(b->YValues()->Items(0), 3);

    plat::TComponent other(nullptr);
    other.SetName("Other");
    try {
        b->SetDataSource(&other);
        FAIL();
    } catch (const ChartException& e) {
        EXPECT_EQ(std::string(e.what()), "No valid DataSource: Other");
    }
    EXPECT_EQ(b->DataSource(), a);
}

TEST(SeriesInChart, EventsReachTheListeners) {
    TSeriesChart c;
    TEventLog log;
    c.Chart->AttachListener(&log);
    TChartSeries* series = c.Add();
    series->SetTitle("Frame 1");
    series->SetActive(false);
    series->SetSeriesColor(plat::clRed);
    series->SuspendUpdates();
    for (int i = 0; i < 1000; ++i)
        series->Add(i);
    series->ResumeUpdates();
    EXPECT_EQ(log.CountOf(seAdd), 1);
    EXPECT_EQ(log.CountOf(seChangeTitle), 1);
    EXPECT_EQ(log.CountOf(seChangeActive), 1);
    EXPECT_GE(log.CountOf(seChangeColor), 1);
    EXPECT_EQ(log.CountOf(seDataChanged), 1);
    c.Chart->DetachListener(&log);
}

TEST(SeriesInChart, TitleFallsBackToThePositionInTheChart) {
    TSeriesChart c;
    c.Add();
    c.Add();
    TChartSeries* third = c.Add();
    EXPECT_EQ(GetSeriesTitle(third), "Series3");
    plat::TStringList items;
    third->SetTitle("Peaks");
    FillSeriesItems(&items, c.Chart->SeriesList());
    ASSERT_EQ(items.Count(), 3);
    EXPECT_EQ(items.Strings(0), "Series1");
    EXPECT_EQ(items.Strings(2), "Peaks");
    EXPECT_EQ(items.GetObject(2), third);
}

TEST(SeriesInChart, SampleValuesOnAnEmptyChart) {
    TSeriesChart c;
    TChartSeries* series = c.Add();
    series->FillSampleValues(0);
    ASSERT_EQ(series->Count(), 25);
    EXPECT_EQ(series->XValues()->First(), 0);
    EXPECT_EQ(series->XValues()->Last(), 24);
}

TEST(SeriesInChart, DepthSlotsIn3D) {
    TSeriesChart c;
    c.Chart->SetView3D(true);
    TChartSeries* a = c.Add();
    TChartSeries* b = c.Add();
    c.Chart->SetMaxZOrder(-1);
    a->CalcZOrder();
    b->CalcZOrder();
    EXPECT_EQ(a->GetZOrder(), 0);
    EXPECT_EQ(b->GetZOrder(), 1);
    EXPECT_EQ(c.Chart->MaxZOrder(), 1);
    b->SetDepth(10);
    b->CalcDepthPositions();
    const int width = c.Chart->SeriesWidth3D();
    EXPECT_EQ(b->StartZ(), width);
    EXPECT_EQ(b->EndZ(), width + 10);
    EXPECT_EQ(b->MiddleZ(), (2 * width + 10) / 2);
    EXPECT_TRUE(a->FirstInZOrder());
    b->SetZOrder(0);
    EXPECT_FALSE(b->FirstInZOrder());
    EXPECT_TRUE(a->SharesDepth());
}

TEST(SeriesInChart, PagesOfPoints) {
    TSeriesChart c;
    TChartSeries* series = c.Add();
    for (int i = 0; i < 25; ++i)
        series->Add(i);
    int first = 0, last = 0;
    series->CalcFirstLastPage(first, last);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 24);
    c.Chart->Pages()->SetMaxPointsPerPage(10);
    c.Chart->Pages()->SetCurrent(3);
    series->CalcFirstLastPage(first, last);
    EXPECT_EQ(first, 20);
    EXPECT_EQ(last, 24);
}

namespace {

// A source component that fills its series with three points.
class TThreePointSource : public TPlotSeriesSource {
public:
    using TPlotSeriesSource::TPlotSeriesSource;
    bool Available(TCustomAxisPanel*) const override { return true; }
    void Load() override {
        ++Loads;
        Series()->Clear();
        for (int i = 0; i < 3; ++i)
            Series()->Add(i);
    }
    int Loads = 0;
};

// A series whose every point answers for the pixels left of x = 100.
class THitSeries : public TChartSeries {
public:
    using TChartSeries::TChartSeries;
    int PointAtPixel(int X, int) override { return X < 100 ? 0 : -1; }
};

} // namespace

TEST(SeriesInChart, SourceComponentFillsTheSeriesWhileActive) {
    TSeriesChart c;
    TChartSeries* series = c.Add();
    TThreePointSource source(nullptr);
    source.SetSeries(series);
    EXPECT_EQ(series->DataSource(), &source);
    EXPECT_TRUE(source.IsSourceOf(series));
    EXPECT_EQ(series->Count(), 0);
    source.Open();
    EXPECT_EQ(series->Count(), 3);
    source.Close();
    EXPECT_EQ(series->Count(), 0);
    source.SetSeries(nullptr);
    EXPECT_EQ(series->DataSource(), nullptr);
}

TEST(SeriesInChart, MouseHoverFiresEnterAndLeaveOnce) {
    TSeriesChart c;
    auto* series = new THitSeries(nullptr);
    c.Chart->AddSeries(series);
    int enters = 0, leaves = 0;
    series->OnMouseEnter = [&](plat::TObject*) { ++enters; };
    series->OnMouseLeave = [&](plat::TObject*) { ++leaves; };
    EXPECT_TRUE(series->CheckMouse(10, 10));
    EXPECT_TRUE(series->CheckMouse(20, 10));
    EXPECT_FALSE(series->CheckMouse(200, 10));
    EXPECT_FALSE(series->CheckMouse(210, 10));
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);
    series->SetCursor(7);
    series->CheckMouse(10, 10);
    EXPECT_EQ(c.Chart->Cursor(), 7);
}

TEST(SeriesInChart, LegendSymbolIsFilledWithTheSeriesColour) {
    TSeriesChart c;
    plat::TBitmap target(100, 50);
    target.Canvas()->Brush()->SetColor(plat::clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 100, 50));
    TPlotCanvas3D* canvas = c.Chart->DrawCanvas();
    canvas->SetBuffered(false);
    canvas->InitWindow(target.Canvas(), nullptr, plat::clWhite, false, TRect(0, 0, 100, 50));
    canvas->ResetToDefaults();
    TChartSeries* series = c.Add();
    series->SetSeriesColor(plat::clBlue);
    const bool repaint = c.Chart->RepaintEnabled();
    series->DrawLegendItem(-1, TRect(10, 10, 30, 20));
    EXPECT_EQ(c.Chart->RepaintEnabled(), repaint);
    auto at = [&](int x, int y) { return plat::PixelToColor(target.Surface().Row(y)[x] & 0xFFFFFF); };
    EXPECT_EQ(at(20, 15), plat::clBlue);
    EXPECT_EQ(at(40, 15), plat::clWhite);
    series->AddNull();
    series->SetColorEachPoint(false);
    target.Canvas()->Brush()->SetColor(plat::clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 100, 50));
    series->DrawLegendItem(0, TRect(10, 10, 30, 20));
    EXPECT_EQ(at(20, 15), plat::clWhite);
}

TEST(SeriesInChart, ASeriesOutOfItsChartStillHearsOfItsSource) {
    TSeriesChart c;
    TChartSeries* a = c.Add();
    TChartSeries* b = c.Add();
    b->SetDataSource(a);
    b->SetParentChart(nullptr);
    a->Add(4);
    EXPECT_EQ(b->Count(), 1);
    a->Free();
    EXPECT_EQ(b->DataSource(), nullptr);
    c.Chart->AddSeries(b);
    b->Add(1);
    EXPECT_EQ(b->Count(), 1);
}

// A form (or any owner) frees the chart and its series together, in either order of creation; each series
// leaves the chart once and is freed once.
TEST(SeriesInChart, AnOwnerFreesChartAndSeriesTogether) {
    for (bool chartFirst : {true, false}) {
        SCOPED_TRACE(chartFirst ? "chart created first" : "series created first");
        auto owner = std::make_unique<plat::TComponent>(nullptr);
        TCustomAxisPanel* chart = chartFirst ? new TCustomAxisPanel(owner.get()) : nullptr;
        auto* a = new TChartSeries(owner.get());
        auto* b = new TChartSeries(owner.get());
        if (!chart)
            chart = new TCustomAxisPanel(owner.get());
        chart->AddSeries(a);
        chart->AddSeries(b);
        a->Add(1);
        b->SetDataSource(a);
        owner.reset();
    }
}
