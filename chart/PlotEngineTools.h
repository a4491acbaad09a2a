// The bases of the chart tools that work on one series or on one axis. The root tool class and the
// chart's tool list live with the axis panel (PlotEngineAxisPanel.h).
#pragma once

#include <string>

#include "chart/PlotEngineAxisPanel.h"

namespace chart {

class TChartAxis;
class TChartSeries;

// A tool bound to one series (or to none: it then works on the chart's default axes).
class TPlotCustomToolSeries : public TPlotCustomTool {
    PLAT_CLASS(TPlotCustomToolSeries)
public:
    explicit TPlotCustomToolSeries(plat::TComponent* AOwner) : TPlotCustomTool(AOwner) {}
    ~TPlotCustomToolSeries() override;

    TChartSeries* Series() const { return FSeries; }
    // Follows the series' free notification: a freed series leaves the tool with none.
    virtual void SetSeries(TChartSeries* Value);

    // The series' axes; without a series the chart's bottom (left) axis, or the top (right) one when no
    // active series uses the bottom (left) axis and one uses the top (right) axis.
    TChartAxis* GetHorizAxis() const;
    TChartAxis* GetVertAxis() const;

    std::string EditorClassName() const override { return "TSeriesToolEditor"; }
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    TChartSeries* FSeries = nullptr;
};

// A tool bound to one axis; it joins the chart of its axis.
class TPlotCustomToolAxis : public TPlotCustomTool {
    PLAT_CLASS(TPlotCustomToolAxis)
public:
    explicit TPlotCustomToolAxis(plat::TComponent* AOwner) : TPlotCustomTool(AOwner) {}

    TChartAxis* Axis() const { return FAxis; }
    virtual void SetAxis(TChartAxis* Value);
    // Leaving the chart of its axis drops the axis, which the chart owns.
    void SetParentChart(TCustomAxisPanel* Value) override;

    std::string EditorClassName() const override { return "TAxisToolEditor"; }
    // "AxisID": the axis' index in its chart's axes list.
    void DefineProperties(plat::TFiler& Filer) override;

private:
    TChartAxis* FAxis = nullptr;
};

// Whether the chart's active series, walked in order, use the axis: a series that uses no axes at all
// answers False, the first one that uses the axis True; False when none does.
bool ActiveSeriesUseAxis(TCustomAxisPanel* Chart, TChartAxis* Axis);

} // namespace chart
