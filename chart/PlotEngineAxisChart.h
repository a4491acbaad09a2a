// What an axis asks of its chart and of the chart's series, gathered in one place so that the axis code
// reads the same whatever the chart and series classes call their members. Every function takes a
// chart that may be null (a free-standing axis) and then answers as a chart without series would.
// Internal to the axis files.
#pragma once

#include <string>

#include "chart/PlotEngineAxis.h"

namespace chart {
class TChartValueList;
}

namespace chart::axischart {

TCustomPlotPanel* AsPanel(TCustomAxisPanel* Chart);
plat::TPersistent* AsPersistent(TCustomAxisPanel* Chart);
// The chart that owns a collection of custom axes, or null.
TCustomAxisPanel* ChartOfCollection(plat::TCollection* Collection);
// The chart is being read from a stream.
bool Loading(const TCustomAxisPanel* Chart);
void Invalidate(TCustomAxisPanel* Chart);
TPlotCanvas3D* Canvas(TCustomAxisPanel* Chart);
TRect ChartRect(const TCustomAxisPanel* Chart);
int ChartWidth(const TCustomAxisPanel* Chart);
int ChartHeight(const TCustomAxisPanel* Chart);
// The chart's 3D depth in pixels; 0 in 2D.
int Depth3D(const TCustomAxisPanel* Chart);
bool View3D(const TCustomAxisPanel* Chart);
// Depth-axis labels sit half a line lower when the view is not rotated.
bool FlatView(const TCustomAxisPanel* Chart);
bool AxisBehind(const TCustomAxisPanel* Chart);
void SetAxisBehind(TCustomAxisPanel* Chart, bool Value);
bool AxisVisible(const TCustomAxisPanel* Chart);
void SetAxisVisible(TCustomAxisPanel* Chart, bool Value);
int WallSizeOf(TCustomAxisPanel* Chart, TChartAxis* Axis);
TChartAxes* AxesList(const TCustomAxisPanel* Chart);
// The automatic range end of the series drawn against the axis.
double AutoMaximum(TCustomAxisPanel* Chart, TChartAxis* Axis);
double AutoMinimum(TCustomAxisPanel* Chart, TChartAxis* Axis);
// The chart's label events, so that a caller can detach one for a while; null without a chart.
TAxisOnGetLabel* OnGetAxisLabel(TCustomAxisPanel* Chart);
TAxisOnGetNextLabel* OnGetNextAxisLabel(TCustomAxisPanel* Chart);
int ActiveSeriesCount(TCustomAxisPanel* Chart);
// The title of the Index-th active series shown in the legend, or empty.
std::string LegendSeriesTitle(TCustomAxisPanel* Chart, int Index);
int MaxLabelsTextWidth(TCustomAxisPanel* Chart);
int MaxMarkWidth(TCustomAxisPanel* Chart);
int SeriesCount(const TCustomAxisPanel* Chart);
TChartSeries* SeriesAt(const TCustomAxisPanel* Chart, int Index);

// Series.
bool Active(TChartSeries* Series);
bool UsesAxis(TChartSeries* Series, TChartAxis* Axis);
TChartValueList* AxisValueList(TChartSeries* Series, TChartAxis* Axis);
bool YMandatory(TChartSeries* Series);
int Count(TChartSeries* Series);
bool HasZValues(TChartSeries* Series);
double MinZ(TChartSeries* Series);
double MaxZ(TChartSeries* Series);
// At least one point label is not empty.
bool HasTextLabels(TChartSeries* Series);
void CalcVisibleRange(TChartSeries* Series);
int FirstVisibleIndex(TChartSeries* Series);
int LastVisibleIndex(TChartSeries* Series);
std::string MarkText(TChartSeries* Series, int Index);
std::string PointLabel(TChartSeries* Series, int Index);
double XValue(TChartSeries* Series, int Index);
double YValue(TChartSeries* Series, int Index);
// A series bound to the axis as its custom axis goes back to the standard one.
void ReleaseAxis(TChartSeries* Series, TChartAxis* Axis);

} // namespace chart::axischart
