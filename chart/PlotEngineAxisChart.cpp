// What an axis asks of its chart and of the chart's series.
#include "chart/PlotEngineAxisChart.h"

#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineSeries.h"

namespace chart::axischart {

TCustomPlotPanel* AsPanel(TCustomAxisPanel* Chart) {
    return Chart;
}

plat::TPersistent* AsPersistent(TCustomAxisPanel* Chart) {
    return Chart;
}

TCustomAxisPanel* ChartOfCollection(plat::TCollection* Collection) {
    return Collection ? dynamic_cast<TCustomAxisPanel*>(Collection->Owner()) : nullptr;
}

bool Loading(const TCustomAxisPanel* Chart) {
    return Chart && (Chart->ComponentState() & (plat::csLoading | plat::csReading)) != 0;
}

void Invalidate(TCustomAxisPanel* Chart) {
    if (Chart)
        Chart->Invalidate();
}

TPlotCanvas3D* Canvas(TCustomAxisPanel* Chart) {
    return Chart ? Chart->DrawCanvas() : nullptr;
}

TRect ChartRect(const TCustomAxisPanel* Chart) {
    return Chart ? Chart->ChartRect() : TRect();
}

int ChartWidth(const TCustomAxisPanel* Chart) {
    return Chart ? Chart->ChartWidth() : 0;
}

int ChartHeight(const TCustomAxisPanel* Chart) {
    return Chart ? Chart->ChartHeight() : 0;
}

int Depth3D(const TCustomAxisPanel* Chart) {
    return Chart ? Chart->Width3D() : 0;
}

bool View3D(const TCustomAxisPanel* Chart) {
    return Chart && Chart->View3D();
}

bool FlatView(const TCustomAxisPanel* Chart) {
    if (!Chart)
        return true;
    const TView3DOptions* options = Chart->View3DOptions();
    return options->Rotation() == 360 || options->Orthogonal();
}

bool AxisBehind(const TCustomAxisPanel* Chart) {
    return Chart && Chart->AxisBehind();
}

void SetAxisBehind(TCustomAxisPanel* Chart, bool Value) {
    if (Chart)
        Chart->SetAxisBehind(Value);
}

bool AxisVisible(const TCustomAxisPanel* Chart) {
    return Chart && Chart->AxisVisible();
}

void SetAxisVisible(TCustomAxisPanel* Chart, bool Value) {
    if (Chart)
        Chart->SetAxisVisible(Value);
}

int WallSizeOf(TCustomAxisPanel* Chart, TChartAxis* Axis) {
    return Chart ? Chart->WallSizeOf(Axis) : 0;
}

TChartAxes* AxesList(const TCustomAxisPanel* Chart) {
    return Chart ? Chart->Axes() : nullptr;
}

double AutoMaximum(TCustomAxisPanel* Chart, TChartAxis* Axis) {
    if (!Chart)
        return 0;
    return Axis->Horizontal() ? Chart->MaxXValue(Axis) : Chart->MaxYValue(Axis);
}

double AutoMinimum(TCustomAxisPanel* Chart, TChartAxis* Axis) {
    if (!Chart)
        return 0;
    return Axis->Horizontal() ? Chart->MinXValue(Axis) : Chart->MinYValue(Axis);
}

TAxisOnGetLabel* OnGetAxisLabel(TCustomAxisPanel* Chart) {
    return Chart ? &Chart->OnGetAxisLabel : nullptr;
}

TAxisOnGetNextLabel* OnGetNextAxisLabel(TCustomAxisPanel* Chart) {
    return Chart ? &Chart->OnGetNextAxisLabel : nullptr;
}

int ActiveSeriesCount(TCustomAxisPanel* Chart) {
    return Chart ? Chart->ActiveSeriesCount() : 0;
}

std::string LegendSeriesTitle(TCustomAxisPanel* Chart, int Index) {
    return Chart ? Chart->LegendSeriesTitle(Index, true) : std::string();
}

int MaxLabelsTextWidth(TCustomAxisPanel* Chart) {
    return Chart ? Chart->MaxLabelsTextWidth() : 0;
}

int MaxMarkWidth(TCustomAxisPanel* Chart) {
    return Chart ? Chart->MaxMarkWidth() : 0;
}

int SeriesCount(const TCustomAxisPanel* Chart) {
    return Chart && Chart->SeriesList() ? Chart->SeriesCount() : 0;
}

TChartSeries* SeriesAt(const TCustomAxisPanel* Chart, int Index) {
    return Chart->SeriesAt(Index);
}

bool Active(TChartSeries* Series) {
    return Series->Active();
}

bool UsesAxis(TChartSeries* Series, TChartAxis* Axis) {
    return Series->UsesAxis(Axis);
}

TChartValueList* AxisValueList(TChartSeries* Series, TChartAxis* Axis) {
    return Series->AxisValueList(Axis);
}

bool YMandatory(TChartSeries* Series) {
    return Series->YMandatory();
}

int Count(TChartSeries* Series) {
    return Series->Count();
}

bool HasZValues(TChartSeries* Series) {
    return Series->HasZValues();
}

double MinZ(TChartSeries* Series) {
    return Series->MinZ();
}

double MaxZ(TChartSeries* Series) {
    return Series->MaxZ();
}

bool HasTextLabels(TChartSeries* Series) {
    return Series->Labels().AnyLabel(Series->Count());
}

void CalcVisibleRange(TChartSeries* Series) {
    Series->CalcVisibleRange();
}

int FirstVisibleIndex(TChartSeries* Series) {
    return Series->FirstVisibleIndex();
}

int LastVisibleIndex(TChartSeries* Series) {
    return Series->LastVisibleIndex();
}

std::string MarkText(TChartSeries* Series, int Index) {
    return Series->GetMarkText(Index);
}

std::string PointLabel(TChartSeries* Series, int Index) {
    return Series->XLabel(Index);
}

double XValue(TChartSeries* Series, int Index) {
    return Series->GetXValue(Index);
}

double YValue(TChartSeries* Series, int Index) {
    return Series->GetYValue(Index);
}

void ReleaseAxis(TChartSeries* Series, TChartAxis* Axis) {
    if (Series->CustomHorizAxis() == Axis)
        Series->SetCustomHorizAxis(nullptr);
    if (Series->CustomVertAxis() == Axis)
        Series->SetCustomVertAxis(nullptr);
}

} // namespace chart::axischart
