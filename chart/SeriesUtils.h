// Operations on whole series for the series list, the series editor and the gallery: a new series of a
// class with a unique name in the right owner, a calculation function for it, a clone, and a change of
// class that keeps the series' settings, data links, tools and place in the chart.
#pragma once

#include "platform/rtl/Object.h"

#include "platform/rtl/Types.h"

namespace plat {
class TCanvas;
class TComponent;
} // namespace plat

namespace chart {

class TChartSeries;
class TCustomAxisPanel;
class TPlotFunction;

// Owned by Owner, or by the chart without one (and always by the chart once it owns any of its series);
// named "SeriesN" with the first free N, attached to the chart, given a function of FunctionClass when
// one is named. Raises ChartException when SeriesClass does not make a series.
TChartSeries* CreateNewSeries(plat::TComponent* Owner, TCustomAxisPanel* Chart,
                              const plat::TClassInfo& SeriesClass,
                              const plat::TClassInfo* FunctionClass = nullptr);
// A function of the class, owned by the series' owner and named "PlotFunctionN", becomes the series'.
TPlotFunction* CreateSeriesFunction(TChartSeries* Series, const plat::TClassInfo& FunctionClass);
// A new series of the same class (and function class) that takes every setting and point of Series.
TChartSeries* CloneSeries(TChartSeries* Series, plat::TComponent* Owner, TCustomAxisPanel* Chart);
TChartSeries* CloneSeries(TChartSeries* Series);
// Series becomes a series of NewClass in its place; nothing when it has that class already.
void ChangeSeriesClass(TChartSeries*& Series, const plat::TClassInfo& NewClass);
// NewSeries takes OldSeries' settings, events, name, dependents, tools and place; OldSeries is freed.
void ReplaceSeries(TChartSeries*& OldSeries, TChartSeries*& NewSeries);

// The series' legend symbol drawn into Rect of any canvas; a series without a chart borrows Chart, or a
// chart made for the call.
void DrawSeriesSymbol(TChartSeries* Series, plat::TCanvas* Canvas, const plat::TRect& Rect,
                      TCustomAxisPanel* Chart = nullptr);

} // namespace chart
