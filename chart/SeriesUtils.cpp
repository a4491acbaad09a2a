#include "chart/SeriesUtils.h"

#include <vector>

#include "chart/Chart.h"
#include "chart/PlotEngine.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineSeries.h"
#include "chart/PlotEngineTools.h"
#include "chart/PlotProcsServices.h"
#include "platform/gfx/Canvas.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/ScopeGuard.h"

namespace chart {

namespace {

template <class T> T* CreateOf(const plat::TClassInfo& Class, plat::TComponent* Owner, const char* What) {
    if (!Class.Create)
        throw ChartException(std::string("Cannot create ") + What + " of class " + Class.Name);
    plat::TObject* object = Class.Create(Owner);
    T* typed = dynamic_cast<T*>(object);
    if (!typed) {
        delete object;
        throw ChartException(std::string(Class.Name) + " is not a " + What);
    }
    return typed;
}

} // namespace

TChartSeries* CreateNewSeries(plat::TComponent* Owner, TCustomAxisPanel* Chart,
                              const plat::TClassInfo& SeriesClass, const plat::TClassInfo* FunctionClass) {
    plat::TComponent* owner = Owner ? Owner : Chart;
    if (Chart)
        for (int i = 0; i < Chart->SeriesCount(); ++i)
            if (Chart->Series(i)->Owner() == Chart) {
                owner = Chart;
                break;
            }
    TChartSeries* series = CreateOf<TChartSeries>(SeriesClass, owner, "series");
    series->SetName(MakeUniqueComponentName(owner, "Series"));
    series->SetParentChart(Chart);
    if (FunctionClass)
        CreateSeriesFunction(series, *FunctionClass);
    return series;
}

TPlotFunction* CreateSeriesFunction(TChartSeries* Series, const plat::TClassInfo& FunctionClass) {
    plat::TComponent* owner = Series->Owner();
    TPlotFunction* function = CreateOf<TPlotFunction>(FunctionClass, owner, "function");
    function->SetName(MakeUniqueComponentName(owner, "PlotFunction"));
    Series->SetFunction(function);
    return function;
}

TChartSeries* CloneSeries(TChartSeries* Series, plat::TComponent* Owner, TCustomAxisPanel* Chart) {
    const plat::TClassInfo* function =
        Series->FunctionType() ? &Series->FunctionType()->ClassType() : nullptr;
    TChartSeries* clone = CreateNewSeries(Owner, Chart, Series->ClassType(), function);
    clone->Assign(Series);
    return clone;
}

TChartSeries* CloneSeries(TChartSeries* Series) {
    return CloneSeries(Series, Series->Owner(), Series->ParentChart());
}

void ChangeSeriesClass(TChartSeries*& Series, const plat::TClassInfo& NewClass) {
    if (&Series->ClassType() == &NewClass)
        return;
    TChartSeries* replacement = CreateNewSeries(Series->Owner(), Series->ParentChart(), NewClass);
    ReplaceSeries(Series, replacement);
    Series = replacement;
}

void ReplaceSeries(TChartSeries*& OldSeries, TChartSeries*& NewSeries) {
    if (OldSeries == NewSeries)
        return;
    TChartSeries* oldSeries = OldSeries;
    TChartSeries* newSeries = NewSeries;
    newSeries->Assign(oldSeries);
    newSeries->OnAfterAdd = oldSeries->OnAfterAdd;
    newSeries->OnBeforeAdd = oldSeries->OnBeforeAdd;
    newSeries->OnClearValues = oldSeries->OnClearValues;
    newSeries->OnClick = oldSeries->OnClick;
    newSeries->OnDblClick = oldSeries->OnDblClick;
    newSeries->OnGetMarkText = oldSeries->OnGetMarkText;
    newSeries->SetMarkTextFromEvent(oldSeries->MarkTextFromEvent());
    newSeries->OnMouseEnter = oldSeries->OnMouseEnter;
    newSeries->OnMouseLeave = oldSeries->OnMouseLeave;
    const std::string name = oldSeries->Name();

    // Removing a source edits the dependents list being walked: take it first.
    std::vector<TChartSeries*> dependents;
    for (int i = 0; i < oldSeries->Dependents().Count(); ++i)
        dependents.push_back(oldSeries->Dependents().Series(i));
    for (TChartSeries* dependent : dependents) {
        // Dropping the first source empties the whole list, so the new source goes in afterwards.
        dependent->RemoveDataSource(oldSeries);
        if (dependent->DataSources().IndexOf(newSeries) < 0)
            dependent->DataSources().AddDataSource(newSeries);
        newSeries->AddLinkedSeries(dependent);
        oldSeries->RemoveLinkedSeries(dependent);
    }

    TCustomAxisPanel* chart = oldSeries->ParentChart();
    if (chart) {
        for (int i = 0; i < chart->Tools()->Count(); ++i)
            if (auto* tool = dynamic_cast<TPlotCustomToolSeries*>(chart->Tools()->Items(i)))
                if (tool->Series() == oldSeries)
                    tool->SetSeries(newSeries);
        if (newSeries->ParentChart() == chart)
            chart->ExchangeSeries(oldSeries, newSeries);
    }
    delete oldSeries;
    OldSeries = nullptr;
    newSeries->SetName(name);
    if (chart)
        chart->BroadcastSeriesEvent(newSeries, seChangeTitle);
    newSeries->RefreshFromSource();
    if (newSeries->DataSources().Count() == 0)
        newSeries->NotifyDependents(veRefresh, -1);
}

void DrawSeriesSymbol(TChartSeries* Series, plat::TCanvas* Canvas, const plat::TRect& Rect,
                      TCustomAxisPanel* Chart) {
    std::unique_ptr<TCustomChart> temporary;
    TCustomAxisPanel* chart = Series->ParentChart();
    const bool borrowed = chart == nullptr;
    bool eventsWereOff = false;
    if (borrowed) {
        if (!Chart) {
            temporary = std::make_unique<TCustomChart>(nullptr);
            Chart = temporary.get();
        }
        chart = Chart;
        eventsWereOff = chart->SeriesEventsOff();
        // Attached without the chart's series events: the call borrows the chart, it does not add to it.
        chart->SetSeriesEventsOff(true);
        Series->SetParentChart(chart);
    }
    plat::ScopeGuard detach([&] {
        if (borrowed) {
            Series->SetParentChart(nullptr);
            chart->SetSeriesEventsOff(eventsWereOff);
        }
    });
    TPlotCanvas3D* drawCanvas = chart->DrawCanvas();
    plat::TCanvas* own = drawCanvas->TargetCanvas();
    Canvas->Brush()->SetStyle(plat::bsSolid);
    drawCanvas->SetTargetCanvas(Canvas);
    plat::ScopeGuard restore([&] { drawCanvas->SetTargetCanvas(own); });
    Series->DrawLegendItem(-1, Rect);
}

} // namespace chart
