// The chart panel with axes and series: owns the six standard axes and the custom axes, the series
// list, the tools and the paging settings; computes each axis' automatic range from the series, sizes
// the 3D depth, and draws a chart in its fixed order. The chart control derives from it and fills in
// walls, titles and legend.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineSeries.h"
#include "chart/PlotProcs.h"
#include "chart/PlotProcsPanel.h"
#include "platform/rtl/List.h"

namespace chart {

class TChartAxis;
class TChartDepthAxis;
class TChartAxes;
class TChartCustomAxes;
class TCustomChartSeries;
class TChartSeries;
class TChartSeriesList;
class TSeriesGroups;
class TPlotCustomTool;
class TCustomAxisPanel;

// A series was added, removed, renamed, recoloured, exchanged, (de)activated or got new data.
class TPlotSeriesEvent : public TPlotEvent {
    PLAT_CLASS(TPlotSeriesEvent)
public:
    TPlotSeriesEventStyle Event = seAdd;
    // Null for seSwap.
    TCustomChartSeries* Series = nullptr;
};

// Drawing moments sent to the tools (ChartEvent).
enum TChartToolEvent : uint8_t {
    cteAfterDraw,
    cteBeforeDrawSeries,
    cteBeforeDraw,
    cteBeforeDrawAxes,
    cteAfterDrawSeries,
    cteMouseLeave
};

// Mouse moments sent to the tools (ChartMouseEvent).
enum TChartMouseEventKind : uint8_t { cmeDown, cmeMove, cmeUp };

// Base of the chart tools: a chart element that draws over the chart at fixed moments of its drawing and
// reacts to the mouse. The tool unit derives the series, axis and concrete tools from it.
class TPlotCustomTool : public TCustomChartElement {
    PLAT_CLASS(TPlotCustomTool)
public:
    explicit TPlotCustomTool(plat::TComponent* AOwner) : TCustomChartElement(AOwner) {}
    ~TPlotCustomTool() override;
    void BeforeDestruction() override;

    virtual void ChartEvent(TChartToolEvent Kind) {}
    virtual void ChartMouseEvent(TChartMouseEventKind Kind, plat::TMouseButton Button,
                                 plat::TShiftState Shift, int X, int Y) {}
    // The tool's display name.
    virtual std::string Description() const { return std::string(); }
    // Moves the tool from its chart's tool list to the new chart's.
    void SetParentChart(TCustomAxisPanel* Value) override;
};

// The tools of one chart, in the order they receive events. The list does not own them: a tool leaves
// the list when it is freed or given another chart.
class TChartTools : public plat::TList {
    PLAT_CLASS(TChartTools)
public:
    explicit TChartTools(TCustomAxisPanel* Chart) : FChart(Chart) {}
    TCustomAxisPanel* Chart() const { return FChart; }
    // Gives the tool this list's chart, which appends it.
    TPlotCustomTool* Add(TPlotCustomTool* Tool);
    // Frees every tool.
    void Clear();
    TPlotCustomTool* Items(int Index) const { return static_cast<TPlotCustomTool*>(Get(Index)); }

private:
    TCustomAxisPanel* FChart;
};

// The page-by-page view of a chart's points.
class TChartPage : public plat::TPersistent {
    PLAT_CLASS(TChartPage)
public:
    explicit TChartPage(TCustomAxisPanel* Chart) : FChart(Chart) {}

    // The value axis of a page is scaled to the points of that page only.
    bool AutoScale() const { return FAutoScale; }
    void SetAutoScale(bool Value);
    // 1-based; clamped to 1..PageCount.
    int Current() const { return FCurrent; }
    void SetCurrent(int Value);
    // 0: no paging. A negative count raises ChartException.
    int MaxPointsPerPage() const { return FMaxPointsPerPage; }
    void SetMaxPointsPerPage(int Value);
    // Off: a shorter last page is drawn at the scale of a full page.
    bool ScaleLastPage() const { return FScaleLastPage; }
    void SetScaleLastPage(bool Value);
    TCustomAxisPanel* Chart() const { return FChart; }

    void NextPage();
    void PreviousPage();
    int PageCount() const;
    int FirstValueIndex() const { return (FCurrent - 1) * FMaxPointsPerPage; }

    void Assign(plat::TPersistent* Source) override;

private:
    void Changed();
    void Broadcast();
    bool FAutoScale = false;
    int FCurrent = 1;
    int FMaxPointsPerPage = 0;
    bool FScaleLastPage = true;
    TCustomAxisPanel* FChart;
};

// Sent to the listeners when the page or the paging changes.
class TChartChangePage : public TPlotEvent {
    PLAT_CLASS(TChartChangePage)
};

// One saved axis range, for undoing a zoom or a pan.
struct TAxisSavedScales {
    bool Automatic = false;
    bool AutomaticMinimum = false;
    bool AutomaticMaximum = false;
    double Minimum = 0;
    double Maximum = 0;
    bool Saved = false; // depth axes keep an empty record
};
using TAllAxisSavedScales = std::vector<TAxisSavedScales>;

using TChartAllowScrollEvent =
    std::function<void(TChartAxis* Sender, double& AMin, double& AMax, bool& AllowScroll)>;

class TCustomAxisPanel : public TCustomPlotPanelExtended, public IColorPaletteChart {
    PLAT_CLASS(TCustomAxisPanel)
public:
    explicit TCustomAxisPanel(plat::TComponent* AOwner);
    ~TCustomAxisPanel() override;
    void BeforeDestruction() override;

    // --- Properties ---
    int Chart3DPercent() const { return FChart3DPercent; }
    // 1..100; anything else raises Exception "3D effect percent must be between 1 and 100".
    void SetChart3DPercent(int Value);
    bool AxisBehind() const { return FAxisBehind; }
    void SetAxisBehind(bool Value) { SetBooleanField(FAxisBehind, Value); }
    bool AxisVisible() const { return FAxisVisible; }
    void SetAxisVisible(bool Value) { SetBooleanField(FAxisVisible, Value); }
    bool ClipPoints() const { return FClipPoints; }
    void SetClipPoints(bool Value) { SetBooleanField(FClipPoints, Value); }
    bool View3DWalls() const { return FView3DWalls; }
    void SetView3DWalls(bool Value) { SetBooleanField(FView3DWalls, Value); }

    // Every axis: the six standard ones (bottom, top, left, right, depth, depth top), then the custom.
    TChartAxes* Axes() const { return FAxes.get(); }
    TChartCustomAxes* CustomAxes() const { return FCustomAxes.get(); }
    void SetCustomAxes(TChartCustomAxes* Value);
    bool HasCustomAxes() const;
    TChartAxis* BottomAxis() const { return FBottomAxis; }
    TChartAxis* TopAxis() const { return FTopAxis; }
    TChartAxis* LeftAxis() const { return FLeftAxis; }
    TChartAxis* RightAxis() const { return FRightAxis; }
    TChartDepthAxis* DepthAxis() const { return FDepthAxis; }
    TChartDepthAxis* DepthTopAxis() const { return FDepthTopAxis; }
    // The setters copy into the chart's own axes.
    void SetBottomAxis(TChartAxis* Value);
    void SetTopAxis(TChartAxis* Value);
    void SetLeftAxis(TChartAxis* Value);
    void SetRightAxis(TChartAxis* Value);
    void SetDepthAxis(TChartDepthAxis* Value);
    void SetDepthTopAxis(TChartDepthAxis* Value);

    TChartSeriesList* SeriesList() const { return FSeriesList.get(); }
    TChartTools* Tools() const { return FTools.get(); }
    TChartPage* Pages() const { return FPages.get(); }
    void SetPages(TChartPage* Value) { FPages->Assign(Value); }
    int Page() const;
    int MaxPointsPerPage() const;
    int NumPages() { return PageCount(); }
    // Number of pages (dynamic: a chart kind may count otherwise).
    virtual int PageCount();
    // Prints the pages First..Last (0: the first and the last page), one per sheet, in one printer job;
    // the current page comes back afterwards, also when printing fails.
    void PrintPages(int FirstPage = 0, int LastPage = 0);

    int MaxZOrder() const { return FMaxZOrder; }
    void SetMaxZOrder(int Value) { FMaxZOrder = Value; }
    int SeriesWidth3D() const { return FSeriesWidth3D; }
    int SeriesHeight3D() const { return FSeriesHeight3D; }
    bool ViewFromRight() const { return FViewFromRight; }
    bool SeriesEventsOff() const { return FSeriesEventsOff; }
    void SetSeriesEventsOff(bool Value) { FSeriesEventsOff = Value; }
    // Written by the legend while it draws.
    TColor LegendColor() const { return FLegendColor; }
    void SetLegendColor(TColor Value) { FLegendColor = Value; }
    TChartPen* LegendPen() const { return FLegendPen; }
    void SetLegendPen(TChartPen* Value) { FLegendPen = Value; }
    // Told when a series changes its active state; the chart owns it.
    plat::TObject* ActiveChangeHook() const { return FActiveChangeHook.get(); }
    void SetActiveChangeHook(std::unique_ptr<plat::TObject> Value) { FActiveChangeHook = std::move(Value); }

    TAxisOnGetLabel OnGetAxisLabel;
    TAxisOnGetNextLabel OnGetNextAxisLabel;
    TNotifyEvent OnPageChange;
    TNotifyEvent OnBeforeDrawChart;
    TNotifyEvent OnBeforeDrawAxes;
    TNotifyEvent OnBeforeDrawSeries;
    // May change or refuse the new range of an axis during a pan.
    TChartAllowScrollEvent OnAllowScroll;

    // --- Series list ---
    TChartSeries* AddSeries(TChartSeries* Series);
    // Creates a series of that class owned by the chart's owner and adds it.
    TChartSeries* AddNewSeries(const plat::TClassInfo& SeriesClass);
    // Called by a series that joins the chart.
    void InternalAddSeries(TCustomChartSeries* Series);
    void RemoveSeries(TCustomChartSeries* Series);
    void RemoveSeries(int Index);
    void ExchangeSeries(int Index1, int Index2);
    void ExchangeSeries(TCustomChartSeries* Series1, TCustomChartSeries* Series2);
    // Frees every series, or every series of the class (and its descendants).
    void FreeAllSeries(const plat::TClassInfo* SeriesClass = nullptr);
    TChartSeries* SeriesAt(int Index) const;
    TChartSeries* Series(int Index) const { return SeriesAt(Index); }
    int SeriesCount() const;
    int ActiveSeriesCount() const;
    int MaxNumPoints() const;
    TChartSeries* FirstSeriesOnAxis(TChartAxis* Axis) const;
    TChartSeries* SeriesWithMostPoints(TChartAxis* Axis) const;
    bool NoActiveSeries(TChartAxis* Axis) const;
    bool IsAxisVisible(TChartAxis* Axis) const;
    bool SeriesUseAxes() override;

    // --- Automatic ranges ---
    double MaxXValue(TChartAxis* Axis) { return InternalMinMax(Axis, false, true); }
    double MaxYValue(TChartAxis* Axis) { return InternalMinMax(Axis, false, false); }
    double MinXValue(TChartAxis* Axis) { return InternalMinMax(Axis, true, true); }
    double MinYValue(TChartAxis* Axis) { return InternalMinMax(Axis, true, false); }
    double InternalMinMax(TChartAxis* Axis, bool IsMin, bool IsX);

    // --- Texts and colours ---
    // The widest line (lines split at '\r') with the canvas font, and the number of lines.
    int MultiLineTextWidth(const std::string& Text, int& NumLines);
    int MultiLineTextWidth(const std::string& Text) {
        int n = 0;
        return MultiLineTextWidth(Text, n);
    }
    int MaxLabelsTextWidth();
    int MaxMarkWidth();
    TChartSeries* LegendSeries(int Index, bool OnlyActive) const;
    std::string LegendSeriesTitle(int Index, bool OnlyActive) const;
    TColor ColorOfPalette(int Index) const;
    TColor GetFreeSeriesColor(bool CheckPanelColors, TChartSeries* ExceptSeries);
    TColorArray& ColorPalette() override { return FColorPalette; }
    void SetAutomaticSeriesColors() override;
    void SetColorPaletteIndex(int Index) override { FColorPaletteIndex = Index; }
    int ColorPaletteIndex() const { return FColorPaletteIndex; }
    void Invalidate() override { TCustomPlotPanelExtended::Invalidate(); }
    bool CheckMouseOverSeries(int X, int Y);

    // --- Events ---
    void BroadcastSeriesEvent(TCustomChartSeries* Series, TPlotSeriesEventStyle Kind);
    void BroadcastToolEvent(TChartToolEvent Kind);

    // --- Drawing ---
    void Calc3DSize();
    void DrawChart(const TRect& Rect) override;
    virtual void CalcWallsRect() {}
    virtual int WallSizeOf(TChartAxis* Axis) { return 0; }
    virtual void DoAfterDraw();
    virtual void DoBeforeDrawAxes();
    virtual void DoBeforeDrawChart();
    virtual void DoBeforeDrawSeries();
    virtual void DrawTitlesAndLegend(bool BeforeSeries) {}
    virtual bool IsFaceHidden(int Depth);
    virtual void DrawLegendSymbolRect(const TRect& Rect);
    virtual void DrawBackWalls() {}
    virtual void RefreshSeriesData(TChartSeries* Series);
    virtual std::string LegendTextOf(TChartSeries* Series, int Index) { return std::string(); }
    // No other series has the colour (nor, when checking panel colours, the panel).
    virtual bool IsFreeSeriesColor(TColor Color, bool CheckPanelColors, TChartSeries* ExceptSeries);

    // --- Zoom and panning over the axes ---
    void UndoZoom() override;
    void ZoomRect() override;
    void ZoomToValues(double LeftMin, double LeftMax, double RightMin, double RightMax, double TopMin,
                      double TopMax, double BottomMin, double BottomMax);
    void PanStep(int X, int Y) override;
    // Saves every non-depth axis' range unless saved already (before the first zoom or pan).
    void SaveScales();
    bool ScalesSaved() const { return !FScalesNotSaved; }
    const TAllAxisSavedScales& SavedScales() const { return FSavedScales; }

    // --- Data sources (IsValidDataSource and RefreshSeriesData live with the series sources) ---
    virtual void RemovedDataSource(TChartSeries* Series, plat::TComponent* Source) {}
    virtual bool IsValidDataSource(TChartSeries* Series, plat::TComponent* Source);

    void Assign(plat::TPersistent* Source) override;
    void DefineProperties(plat::TFiler& Filer) override;
    void GetChildren(const plat::TGetChildProc& Proc, plat::TComponent* Root) override;

protected:
    void MouseLeave() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    void DrawAxes();
    void DrawAllSeries();
    void DrawOneSeries(TChartSeries* Series);
    void DrawSeriesMarks(TChartSeries* Series);
    void ClipSeries(TChartSeries* Series);
    void SetAxisFrom(TChartAxis* Target, TChartAxis* Source);

    int FChart3DPercent = 15;
    std::unique_ptr<TChartAxes> FAxes;
    bool FAxisBehind = true;
    bool FAxisVisible = true;
    bool FClipPoints = true;
    std::unique_ptr<TChartCustomAxes> FCustomAxes;
    std::unique_ptr<TChartSeriesList> FSeriesList;
    TChartDepthAxis* FDepthAxis = nullptr;
    TChartDepthAxis* FDepthTopAxis = nullptr;
    TChartAxis* FTopAxis = nullptr;
    TChartAxis* FBottomAxis = nullptr;
    TChartAxis* FLeftAxis = nullptr;
    TChartAxis* FRightAxis = nullptr;
    bool FView3DWalls = true;
    std::unique_ptr<TChartPage> FPages;
    int FMaxZOrder = 0;
    int FSeriesWidth3D = 0;
    int FSeriesHeight3D = 0;
    std::unique_ptr<TChartTools> FTools;
    bool FViewFromRight = false;
    bool FSeriesEventsOff = false;
    TColor FLegendColor = plat::clWhite;
    TChartPen* FLegendPen = nullptr;
    std::unique_ptr<plat::TObject> FActiveChangeHook;
    TColorArray FColorPalette;
    int FColorPaletteIndex = 0;
    TAllAxisSavedScales FSavedScales;
    bool FScalesNotSaved = true;
};

} // namespace chart
