#include "chart/PlotEngineTools.h"

#include "chart/PlotEngine.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TPlotCustomToolSeries, TPlotCustomTool)
PLAT_CLASS_INFO(TPlotCustomToolAxis, TPlotCustomTool)

bool ActiveSeriesUseAxis(TCustomAxisPanel* Chart, TChartAxis* Axis) {
    if (Chart == nullptr)
        return false;
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* s = Chart->SeriesAt(i);
        if (!s->Active())
            continue;
        if (!s->UsesAxes())
            return false;
        if (s->UsesAxis(Axis))
            return true;
    }
    return false;
}

// --- Series tool ------------------------------------------------------------------------------------

TPlotCustomToolSeries::~TPlotCustomToolSeries() {
    if (FSeries != nullptr)
        FSeries->RemoveFreeNotification(this);
}

void TPlotCustomToolSeries::SetSeries(TChartSeries* Value) {
    if (FSeries == Value)
        return;
    if (FSeries != nullptr)
        FSeries->RemoveFreeNotification(this);
    FSeries = Value;
    if (FSeries != nullptr)
        FSeries->FreeNotification(this);
}

void TPlotCustomToolSeries::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr && AComponent == FSeries) {
        // The series is going away: forget it without talking to it any more.
        FSeries = nullptr;
    }
    TPlotCustomTool::Notification(AComponent, Operation);
}

TChartAxis* TPlotCustomToolSeries::GetHorizAxis() const {
    if (FSeries != nullptr)
        return FSeries->GetHorizAxis();
    TCustomAxisPanel* chart = ParentChart();
    if (chart == nullptr)
        return nullptr;
    if (!ActiveSeriesUseAxis(chart, chart->BottomAxis()) && ActiveSeriesUseAxis(chart, chart->TopAxis()))
        return chart->TopAxis();
    return chart->BottomAxis();
}

TChartAxis* TPlotCustomToolSeries::GetVertAxis() const {
    if (FSeries != nullptr)
        return FSeries->GetVertAxis();
    TCustomAxisPanel* chart = ParentChart();
    if (chart == nullptr)
        return nullptr;
    if (!ActiveSeriesUseAxis(chart, chart->LeftAxis()) && ActiveSeriesUseAxis(chart, chart->RightAxis()))
        return chart->RightAxis();
    return chart->LeftAxis();
}

PLAT_PROPERTIES(TPlotCustomToolSeries) {
    props.Component("Series", &TPlotCustomToolSeries::Series, &TPlotCustomToolSeries::SetSeries);
}

// --- Axis tool --------------------------------------------------------------------------------------

void TPlotCustomToolAxis::SetAxis(TChartAxis* Value) {
    if (FAxis == Value)
        return;
    FAxis = Value;
    SetParentChart(Value != nullptr ? Value->ParentChart() : nullptr);
    Repaint();
}

void TPlotCustomToolAxis::SetParentChart(TCustomAxisPanel* Value) {
    // The chart owns its axes: an axis of another chart (or of a chart going away) must not be kept.
    if (FAxis != nullptr && FAxis->ParentChart() != Value)
        FAxis = nullptr;
    TPlotCustomTool::SetParentChart(Value);
}

void TPlotCustomToolAxis::DefineProperties(TFiler& Filer) {
    TPlotCustomTool::DefineProperties(Filer);
    TCustomAxisPanel* chart = ParentChart();
    int index = -1;
    if (FAxis != nullptr && chart != nullptr)
        index = chart->Axes()->IndexOf(FAxis);
    Filer.DefineProperty(
        "AxisID",
        [this](TReader& r) {
            const int id = r.ReadInteger();
            TCustomAxisPanel* c = ParentChart();
            if (c != nullptr && id >= 0 && id < c->Axes()->Count())
                SetAxis(c->Axes()->AxisAt(id));
        },
        [index](TWriter& w) { w.WriteInteger(index); }, index >= 0);
}

} // namespace chart
