// The series core of the chart engine: the element base shared by series and tools, the series base with
// its title and legend flags, and TChartSeries with its points (value lists, colours, labels, nulls),
// axis binding, visible range, depth slot and legend symbol; the companions around it: point labels,
// data sources and dependents, series lists and named groups, and the calculation-function hook.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#define CHART_PLOTENGINE_NO_UMBRELLA
#include "chart/PlotEngine.h"
#undef CHART_PLOTENGINE_NO_UMBRELLA

#include "chart/PlotCanvas.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/List.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Control.h"

namespace chart {

class TCustomAxisPanel;
class TChartAxis;
class TChartSeries;
class TCustomSeriesList;
class TSeriesMarks;
class TSeriesMarkPosition;
class TPlotFunction;
class TCustomChartLegend;

// --- Element base -----------------------------------------------------------------------------------

// Base of every series and every tool: a component that belongs to a chart, takes part in drawing while
// Active, and owns a brush and a pen whose changes repaint the chart.
class TCustomChartElement : public plat::TComponent {
    PLAT_CLASS(TCustomChartElement)
public:
    explicit TCustomChartElement(plat::TComponent* AOwner);
    ~TCustomChartElement() override;

    // From another element: Active, Brush, Pen and Tag; anything else goes to the inherited Assign.
    void Assign(plat::TPersistent* Source) override;

    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    TChartBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TChartBrush* Value);
    TCustomAxisPanel* ParentChart() const { return FParent; }
    // Only stores the chart here; series also move between the charts' series lists.
    virtual void SetParentChart(TCustomAxisPanel* Value);
    TChartPen* Pen() const { return FPen.get(); }
    // Copies the settings of Value into the element's own pen.
    virtual void SetPen(TChartPen* Value);
    bool ShowInEditor() const { return FShowInEditor; }
    void SetShowInEditor(bool Value) { FShowInEditor = Value; }

    virtual void Repaint();
    // Class name of the element's editor form; empty here.
    virtual std::string EditorClassName() const { return std::string(); }
    void InvalidateParentChart();

    bool HasParent() const override { return true; }
    plat::TComponent* GetParentComponent() const override;
    // Only a TCustomAxisPanel becomes the parent chart.
    void SetParentComponent(plat::TComponent* Value) override;

    // Store-and-repaint: the new value is stored only when it differs, then the chart is invalidated.
    void SetBooleanProperty(bool& Variable, bool Value);
    void SetColorProperty(TColor& Variable, TColor Value);
    void SetDoubleProperty(double& Variable, double Value);
    void SetIntegerProperty(int& Variable, int Value);
    void SetStringProperty(std::string& Variable, const std::string& Value);

protected:
    // The element's pen factory: a TChartPen whose changes repaint the element.
    std::unique_ptr<TChartPen> CreateChartPen();
    TNotifyEvent RepaintHandler();

    bool FActive = true;
    std::unique_ptr<TChartBrush> FBrush;
    TCustomAxisPanel* FParent = nullptr;
    std::unique_ptr<TChartPen> FPen;
    bool FShowInEditor = true;
};

// --- Series base ------------------------------------------------------------------------------------

// Kinds of TPlotSeriesEvent a chart sends to its listeners.
enum TPlotSeriesEventStyle {
    seAdd,
    seRemove,
    seChangeTitle,
    seChangeColor,
    seSwap,
    seChangeActive,
    seDataChanged
};

// Six free flags a program may attach to a series; bits 0-5.
using TChartSeriesStyle = uint8_t;

class TCustomChartSeries : public TCustomChartElement {
    PLAT_CLASS(TCustomChartSeries)
public:
    explicit TCustomChartSeries(plat::TComponent* AOwner);

    // ShowInLegend, Title, style flags and identifier, then the element's part.
    void Assign(plat::TPersistent* Source) override;
    // The stream properties "Identifier" and "Style".
    void DefineProperties(plat::TFiler& Filer) override;

    // Sends series event 5 through the chart.
    void SetActive(bool Value) override;
    bool ShowInLegend() const { return FShowInLegend; }
    void SetShowInLegend(bool Value);
    const std::string& Title() const { return FTitle; }
    // Repaints and sends series event 2.
    void SetTitle(const std::string& Value);
    const std::string& Identifier() const { return FIdentifier; }
    void SetIdentifier(const std::string& Value) { FIdentifier = Value; }
    TChartSeriesStyle Style() const { return FStyle; }
    // Keeps bits 0-5.
    void SetStyle(TChartSeriesStyle Value) { FStyle = Value & 0x3F; }

    // Pixels the series needs beside the axis ends; 0 here.
    virtual void GetHorizMargins(int& LeftMargin, int& RightMargin);
    virtual void GetVertMargins(int& TopMargin, int& BottomMargin);
    // Called for every active series before a chart draw.
    virtual void PrepareForDraw() {}

    // The chart tells the series when it joins or leaves its series list.
    virtual void Added() {}
    virtual void Removed();

protected:
    // Sends a TPlotSeriesEvent of that kind through the chart and calls the chart's change hook.
    void NotifySeriesEvent(TPlotSeriesEventStyle Kind);

    bool FShowInLegend = true;
    std::string FTitle;
    std::string FIdentifier;
    TChartSeriesStyle FStyle = 0;
};

// --- Point labels, data sources ---------------------------------------------------------------------

// The point labels of one series. Sparse: it may be shorter than the point count, and an index without
// an entry, like an empty entry, has an empty label.
class TLabelsList : public plat::TObject {
    PLAT_CLASS(TLabelsList)
public:
    explicit TLabelsList(TChartSeries* Series) : FSeries(Series) {}

    int Count() const { return static_cast<int>(FItems.size()); }
    // Empty beyond the end of the list.
    std::string GetLabel(int Index) const;
    // Adds empty entries up to Index for a non-empty text; an empty text only empties an existing entry.
    // The series repaints.
    void SetLabel(int Index, const std::string& Text);
    // Inserts an entry at Index, adding empty entries up to it first; an empty text inserts nothing
    // while the list is empty.
    void InsertLabel(int Index, const std::string& Text);
    // Nothing for an index outside the list.
    void DeleteLabel(int Index);
    // Removes up to Quantity entries from Start on.
    void DeleteRange(int Start, int Quantity);
    void Exchange(int Index1, int Index2);
    void Clear() { FItems.clear(); }
    void Assign(const TLabelsList& Source);
    // True when one of the first Limit entries is not empty.
    bool AnyLabel(int Limit) const;
    TChartSeries* Series() const { return FSeries; }

private:
    TChartSeries* FSeries;
    std::vector<std::string> FItems;
};

// The data sources of one series: usually other series, or a TPlotSeriesSource.
class TDataSourcesList : public plat::TObject {
    PLAT_CLASS(TDataSourcesList)
public:
    explicit TDataSourcesList(TChartSeries* Series) : FSeries(Series) {}

    int Count() const { return static_cast<int>(FItems.size()); }
    // Callers pass an index in 0 .. Count() - 1.
    plat::TComponent* Items(int Index) const { return FItems[Index]; }
    int IndexOf(const plat::TComponent* Component) const;
    // Adds a further source through the series' own checks, keeping the others.
    int AddDataSource(plat::TComponent* Value);
    // The series leaves its source series' dependents, the list empties, and the points are cleared
    // unless they came from the stored "Data" stream.
    void Clear();
    // Takes the entry out and tells the series to drop that source.
    void Delete(int Index);

    // Plain list access for the series.
    void Append(plat::TComponent* Value) { FItems.push_back(Value); }
    void ClearEntries() { FItems.clear(); }
    TChartSeries* Series() const { return FSeries; }

private:
    TChartSeries* FSeries;
    std::vector<plat::TComponent*> FItems;
};

// Base of components that fill a series from somewhere else. Nothing in the system derives from it.
class TPlotSeriesSource : public plat::TComponent {
    PLAT_CLASS(TPlotSeriesSource)
public:
    explicit TPlotSeriesSource(plat::TComponent* AOwner);
    ~TPlotSeriesSource() override;

    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    virtual bool HasSeries() const { return true; }
    virtual std::string Description() const { return std::string(); }
    // Whether the source class can serve the chart; False here.
    virtual bool Available(TCustomAxisPanel* Chart) const { return false; }
    // The series' data source has this component's class name.
    virtual bool IsSourceOf(TChartSeries* Value) const;
    virtual void Close();
    // Fills the series; nothing here.
    virtual void Load() {}
    virtual void Open();

    TChartSeries* Series() const { return FSeries; }
    void SetSeries(TChartSeries* Value);
    bool Closing() const { return FClosing; }
    void SetClosing(bool Value) { FClosing = Value; }

private:
    bool FActive = false;
    bool FClosing = false;
    TChartSeries* FSeries = nullptr;
};

// The registered source classes; stays empty in the system.
std::vector<const plat::TClassInfo*>& GetSeriesSourceClasses();

// --- Calculation functions --------------------------------------------------------------------------

// Base of the functions that compute a series from its data sources. The series core calls only these
// operations; the period logic lives with the concrete functions.
class TPlotFunction : public plat::TComponent {
    PLAT_CLASS(TPlotFunction)
public:
    explicit TPlotFunction(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}

    TChartSeries* ParentSeries() const { return FParent; }
    // Nothing when unchanged; the old parent forgets this function and the new one takes it.
    void SetParentSeries(TChartSeries* Value);
    bool HasParent() const override { return true; }
    plat::TComponent* GetParentComponent() const override;
    void SetParentComponent(plat::TComponent* Value) override;

    // Called when the parent series is cleared.
    virtual void Clear() {}
    virtual bool IsValidSource(TChartSeries* Value) { return true; }
    // Adds the function's points over Source to the parent series.
    virtual void AddPoints(TChartSeries* Source) {}
    // Recalculates through the parent series' reload.
    void ReCalculate();
    bool NoSourceRequired() const { return FNoSourceRequired; }

protected:
    // Set when the series changes its function, without going back to it.
    friend class TChartSeries;
    TChartSeries* FParent = nullptr;
    bool FNoSourceRequired = false;
};

// --- Series -----------------------------------------------------------------------------------------

// A list of series that it does not own; the owner is the chart (or null).
class TCustomSeriesList : public plat::TList {
    PLAT_CLASS(TCustomSeriesList)
public:
    explicit TCustomSeriesList(TCustomAxisPanel* Owner = nullptr) : FOwner(Owner) {}
    // Callers pass an index in 0 .. Count() - 1.
    TChartSeries* Series(int Index) const { return static_cast<TChartSeries*>(Get(Index)); }
    TCustomAxisPanel* Owner() const { return FOwner; }
    void SetOwner(TCustomAxisPanel* Value) { FOwner = Value; }

private:
    TCustomAxisPanel* FOwner;
};

enum THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
enum TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };

// How a legend that lists the points of a series composes each row.
enum TLegendTextStyle {
    ltsPlain,
    ltsLeftValue,
    ltsRightValue,
    ltsLeftPercent,
    ltsRightPercent,
    ltsXValue,
    ltsValue,
    ltsPercent,
    ltsXAndValue,
    ltsXAndPercent
};

// Which changes of a source a dependent series follows.
using TDependentUpdates = uint8_t;
enum : TDependentUpdates { duDelete = 1, duModify = 2, duAdd = 4, duClear = 8, duAll = 15 };

using TSeriesOnAfterAdd = std::function<void(TChartSeries* Sender, int ValueIndex)>;
// False vetoes the point.
using TSeriesOnBeforeAdd = std::function<bool(TChartSeries* Sender)>;
using TSeriesOnClear = std::function<void(TChartSeries* Sender)>;
using TSeriesClick = std::function<void(TChartSeries* Sender, int ValueIndex, plat::TMouseButton Button,
                                        plat::TShiftState Shift, int X, int Y)>;
using TSeriesOnGetMarkText = std::function<void(TChartSeries* Sender, int ValueIndex, std::string& MarkText)>;
// Adds one gallery sub-type by name.
using TChartSubGalleryProc = std::function<void(const std::string& Name)>;

// A data series: parallel value lists (X, Y and any extra dimensions), optional per-point colours and
// labels, marks, axis binding, data sources and dependents. Point i is entry i of every value list;
// readers pass indexes in 0 .. Count() - 1.
class TChartSeries : public TCustomChartSeries, public IChartValueListOwner {
    PLAT_CLASS(TChartSeries)
public:
    explicit TChartSeries(plat::TComponent* AOwner);
    ~TChartSeries() override;

    void BeforeDestruction() override;
    void Assign(plat::TPersistent* Source) override;
    void DefineProperties(plat::TFiler& Filer) override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    void GetChildren(const plat::TGetChildProc& Proc, plat::TComponent* Root) override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    void Added() override;
    void Removed() override;

    // IChartValueListOwner
    TChartValueLists& ValuesList() override { return FValuesList; }
    void NotifyDependents(TValueEvent Kind, int ValueIndex) override;
    void ExchangePoints(int Index1, int Index2) override;
    void InvalidateParentChart() override { TCustomChartElement::InvalidateParentChart(); }
    // Unless updates are suspended, the chart reloads the series from its data source or function.
    void RefreshFromSource() override;

    // --- Points ---
    virtual int GetCount();
    int Count() { return GetCount(); }
    virtual double GetXValue(int Index);
    virtual double GetYValue(int Index);
    // The value of the mandatory list (Y, or X for horizontal kinds).
    virtual double MandatoryValue(int Index);
    virtual double MandatoryListValue(int Index);
    // The point goes where the X order puts it; -1 when OnBeforeAdd vetoes it.
    virtual int AddPoint(double X, double Y, const std::string& Label = std::string(),
                         TColor Color = AutoColor);
    int AddXY(double X, double Y, const std::string& Label = std::string(), TColor Color = AutoColor) {
        return AddPoint(X, Y, Label, Color);
    }
    // Points appended as AddPoint appends them one by one, with no label and the automatic colour, up
    // to the shorter span's end. While updates are suspended, points that simply go on the end are
    // copied in one step: a frame of thousands of points is filled without a call per point.
    void AppendXY(std::span<const double> X, std::span<const double> Y);
    // X := the point count (Y := the point count for horizontal kinds).
    virtual int AddValue(double Value, const std::string& Label = std::string(), TColor Color = AutoColor);
    int Add(double Value, const std::string& Label = std::string(), TColor Color = AutoColor) {
        return AddValue(Value, Label, Color);
    }
    virtual int AddNull(const std::string& Label = std::string());
    virtual int AddNullXY(double X, double Y, const std::string& Label = std::string());
    // ChartException for an index outside 0 .. Count() - 1.
    virtual void DeletePoint(int ValueIndex);
    void Delete(int ValueIndex) { DeletePoint(ValueIndex); }
    // Deletes up to Quantity points from Start on; with Renumber the X list becomes 0, 1, 2, ...
    virtual void DeletePointRange(int Start, int Quantity, bool Renumber = false);
    virtual void ClearPoints();
    void Clear() { ClearPoints(); }
    // Empties every value list, the colours, the labels and the marks, without events.
    virtual void ClearLists();
    virtual void AfterAddPoint(int ValueIndex);

    // The colour list's entry, AutoColor without one.
    TColor PointColor(int Index) const;
    void SetPointColor(int Index, TColor Color);
    bool HasColors() const { return !FColors.empty(); }
    // The point colour, else the series colour, else the palette colour of the index.
    virtual TColor ValueColor(int Index);
    bool PointIsNull(int Index) { return ValueColor(Index) == plat::clNone; }
    TLabelsList& Labels() { return FLabels; }
    const TLabelsList& Labels() const { return FLabels; }
    std::string XLabel(int Index) const { return FLabels.GetLabel(Index); }
    void SetXLabel(int Index, const std::string& Text) { FLabels.SetLabel(Index, Text); }

    // Updates are suspended while the counter is above 0; the last ResumeUpdates notifies dependents and
    // listeners once.
    void SuspendUpdates() { ++FUpdateSuspended; }
    void ResumeUpdates();
    bool UpdatesSuspended() const { return FUpdateSuspended > 0; }

    // The extra list (third on) of that name, compared upper-cased, else YValues.
    virtual TChartValueList* ValueListByName(const std::string& Name);
    // Exchanges two whole points: values (each list notifies dependents), colours and labels.
    virtual void SwapValueIndex(int A, int B);
    // Horizontal kinds call it in their constructor: X becomes the mandatory list.
    void SetHorizontal();

    TChartValueList* XValues() const { return FX; }
    TChartValueList* YValues() const { return FY; }
    void SetXValues(TChartValueList* Value);
    void SetYValues(TChartValueList* Value);
    TChartValueList* MandatoryList() const { return FMandatory; }
    TChartValueList* NotMandatoryList() const { return FNotMandatory; }
    bool YMandatory() const { return FYMandatory; }

    // --- Colour ---
    // SeriesColor when set, else the colour last given by the chart.
    TColor SeriesColor() const { return FColor != AutoColor ? FColor : FLastAssignedColor; }
    TColor StoredSeriesColor() const { return FColor; }
    bool IsColorStored() const { return FColor != AutoColor; }
    virtual void SetSeriesColor(TColor Value);
    TColor LastAssignedColor() const { return FLastAssignedColor; }
    bool ColorEachPoint() const { return FColorEachPoint; }
    virtual void SetColorEachPoint(bool Value);
    const std::string& ColorSource() const { return FColorSource; }
    void SetColorSource(const std::string& Value);

    // --- Axes and geometry ---
    THorizAxis HorizAxis() const { return FHorizAxis; }
    void SetHorizAxis(THorizAxis Value);
    TVertAxis VertAxis() const { return FVertAxis; }
    void SetVertAxis(TVertAxis Value);
    TChartAxis* CustomHorizAxis() const { return FCustomHorizAxis; }
    void SetCustomHorizAxis(TChartAxis* Value);
    TChartAxis* CustomVertAxis() const { return FCustomVertAxis; }
    void SetCustomVertAxis(TChartAxis* Value);
    // The bound axes; nil without a chart.
    TChartAxis* GetHorizAxis() const { return FHorizAxisBound; }
    TChartAxis* GetVertAxis() const { return FVertAxisBound; }
    // The vertical axis when YMandatory, else the horizontal one.
    TChartAxis* MandatoryAxis() const { return FYMandatory ? FVertAxisBound : FHorizAxisBound; }
    virtual bool UsesAxes() { return true; }
    virtual bool UsesAxis(TChartAxis* Axis);
    // XValues for a horizontal axis the series uses, YValues for a vertical one, else null.
    virtual TChartValueList* AxisValueList(TChartAxis* Axis);

    virtual int ScreenX(int ValueIndex);
    virtual int ScreenY(int ValueIndex);
    int CalcXPos(int ValueIndex) { return ScreenX(ValueIndex); }
    int CalcYPos(int ValueIndex) { return ScreenY(ValueIndex); }
    int CalcXPosValue(double Value);
    int CalcYPosValue(double Value);
    // Through the mandatory axis.
    int CalcPosValue(double Value);
    // The chart's current mouse position turned back into values through the bound axes.
    void GetCursorValues(double& X, double& Y);

    virtual double MaxX();
    virtual double MaxY();
    virtual double MaxZ();
    virtual double MinX();
    virtual double MinY();
    virtual double MinZ();

    // -1, -1 when nothing is visible.
    int FirstVisibleIndex() const { return FFirstVisibleIndex; }
    int LastVisibleIndex() const { return FLastVisibleIndex; }
    virtual void CalcVisibleRange();
    bool CalcVisiblePoints() const { return FCalcVisiblePoints; }
    void SetCalcVisiblePoints(bool Value) { FCalcVisiblePoints = Value; }
    bool DrawBetweenPoints() const { return FDrawBetweenPoints; }
    void SetDrawBetweenPoints(bool Value) { FDrawBetweenPoints = Value; }
    // The first and last point index of the chart's current page.
    void CalcFirstLastPage(int& First, int& Last);

    // --- Depth ---
    int Depth() const { return FDepth; }
    void SetDepth(int Value);
    int ZOrder() const { return FZOrder; }
    void SetZOrder(int Value);
    // ZOrder when fixed, else the slot computed by CalcZOrder.
    int GetZOrder() const { return FZOrder != -1 ? FZOrder : FZOrderSlot; }
    void SetZOrderSlot(int Value) { FZOrderSlot = Value; }
    virtual void CalcZOrder();
    virtual void CalcDepthPositions();
    int StartZ() const { return FStartZ; }
    int MiddleZ() const { return FMiddleZ; }
    int EndZ() const { return FEndZ; }
    void SetStartZ(int Value) { FStartZ = Value; }
    void SetMiddleZ(int Value) { FMiddleZ = Value; }
    void SetEndZ(int Value) { FEndZ = Value; }
    virtual bool SharesDepth();
    // Active, and no earlier active series of the chart has the same depth slot.
    bool FirstInZOrder();
    bool HasZValues() const { return FHasZValues; }

    // --- Drawing ---
    virtual bool DrawValuesForward();
    virtual bool DrawSeriesForward();
    virtual void DrawAllValues();
    virtual void DrawValue(int ValueIndex) {}
    virtual void DoBeforeDrawValues();
    virtual void DoAfterDrawValues();
    virtual void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position);
    // Draws all visible marks of the series.
    void DrawMarks();

    // --- Legend ---
    virtual void DrawLegendItem(int ValueIndex, const TRect& Rect);
    virtual void DrawLegendSymbol(int ValueIndex, const TRect& Rect);
    virtual void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, plat::TBrushStyle& BrushStyle) {}
    virtual TColor LegendItemColor(int Index) { return ValueColor(Index); }
    // The point's text in a legend of that text style (columns separated by #6).
    virtual std::string LegendItemText(int Index, TLegendTextStyle Style);
    TCustomChartLegend* CustomLegend() const { return FLegend; }
    void SetCustomLegend(TCustomChartLegend* Value) { FLegend = Value; }

    // --- Mouse ---
    // The point under the pixel, -1 here.
    virtual int PointAtPixel(int X, int Y) { return -1; }
    int Clicked(int X, int Y) { return PointAtPixel(X, Y); }
    virtual bool HasClickEvents() { return OnClick != nullptr || OnDblClick != nullptr; }
    // The chart's hover test: True when the mouse is over a point (cursor and enter/leave events).
    bool CheckMouse(int X, int Y);
    plat::TCursor Cursor() const { return FCursor; }
    void SetCursor(plat::TCursor Value) { FCursor = Value; }
    bool MouseInside() const { return FMouseInside; }

    // --- Marks and texts ---
    TSeriesMarks* Marks() const { return FMarks.get(); }
    void SetMarks(TSeriesMarks* Value);
    const std::string& ValueFormat() const { return FValueFormat; }
    void SetValueFormat(const std::string& Value);
    bool IsValueFormatStored() const;
    const std::string& PercentFormat() const { return FPercentFormat; }
    void SetPercentFormat(const std::string& Value);
    bool IsPercentFormatStored() const;
    // The mark text of a point by the marks' style (and OnGetMarkText).
    std::string GetMarkText(int ValueIndex);
    std::string ValueMarkText(int ValueIndex);
    std::string XValueMarkText(int ValueIndex);
    const std::string& XLabelsSource() const { return FXLabelsSource; }
    void SetXLabelsSource(const std::string& Value);

    // --- Data sources, dependents, functions ---
    plat::TComponent* DataSource() const;
    void SetDataSource(plat::TComponent* Value);
    TDataSourcesList& DataSources() { return FDataSources; }
    // Adds a data source after the chart's (or, without chart, the series' own) checks; with Replace
    // the other sources are dropped first. -1 when it is a data source already.
    int InternalAddDataSource(plat::TComponent* Value, bool Replace);
    // Appends the component to the data sources; -1 for null.
    int AddDataSourceLink(plat::TComponent* Value);
    void RemoveDataSource(plat::TComponent* Value);
    // The series leaves the dependents of each of its source series.
    void RemoveAllLinkedSeries();
    TCustomSeriesList& Dependents() { return *FLinkedSeries; }
    void AddLinkedSeries(TChartSeries* Value);
    void RemoveLinkedSeries(TChartSeries* Value);
    TDependentUpdates DependentUpdates() const { return FDependentUpdates; }
    void SetDependentUpdates(TDependentUpdates Value) { FDependentUpdates = Value; }
    TPlotFunction* FunctionType() const { return FFunction; }
    virtual void SetFunction(TPlotFunction* Value);
    void SetFunctionType(TPlotFunction* Value) { SetFunction(Value); }
    // Whether this series accepts Value as its source (no function or one that accepts it).
    virtual bool IsValidSourceOf(TChartSeries* Value);
    virtual bool IsValidSeriesSource(TChartSeries* Value);

    virtual void DeleteNotify(TChartSeries* Source, int ValueIndex) { DeletePoint(ValueIndex); }
    // Copies the X, Y and extra values of one source point in X order; no event, colour or label.
    virtual int AddValuesFrom(TChartSeries* Source, int ValueIndex);
    virtual void AddPointFrom(TChartSeries* Source, int ValueIndex);
    // Replaces the points by those of Source (through the function when one is set).
    virtual void AssignValues(TChartSeries* Source);

    // --- Sample values and gallery ---
    // 0 takes the sample count, or the kind's default; ChartException for a negative count.
    void FillSampleValues(int NumValues = 0);
    virtual void AddSampleValues(int NumValues, bool OnlyMandatory = false);
    virtual int NumSampleValues() { return 25; }
    int SampleCount() const { return FSampleCount; }
    void SetSampleCount(int Value) { FSampleCount = Value; }
    // Sorts whole points by the mandatory list when it is ordered and renumbers the other list.
    virtual void DoSortValues();
    virtual void PrepareForGallery(bool FunctionVariant);
    virtual void AddGallerySubTypes(const TChartSubGalleryProc& AddSubChart);
    virtual void ApplyGallerySubType(int Index) {}
    bool IsDesignTime() const;

    // --- Flags for the stored point data ---
    bool ManualData() const { return FManualData; }
    void SetManualData(bool Value) { FManualData = Value; }
    bool DontSaveData() const { return FDontSaveData; }
    void SetDontSaveData(bool Value) { FDontSaveData = Value; }
    bool ForceSaveData() const { return FForceSaveData; }
    void SetForceSaveData(bool Value) { FForceSaveData = Value; }
    // Whether a component stream stores the points ("Data"): forced, or the series' own points unless
    // told not to.
    bool HasData() const { return FForceSaveData || (FManualData && !FDontSaveData); }
    // The points as the "Data" property holds them; reading replaces the points and makes them the
    // series' own.
    virtual void WriteData(plat::TStream& Stream);
    virtual void ReadData(plat::TStream& Stream);
    bool HasOwnXValues() const { return FHasOwnXValues; }
    // False for kinds whose X part is not stored.
    bool StoreXValues() const { return FStoreXValues; }
    bool SingleFunctionPoint() const { return FSingleFunctionPoint; }

    // --- Events ---
    TNotifyEvent AfterDrawValues;
    TNotifyEvent BeforeDrawValues;
    TSeriesOnAfterAdd OnAfterAdd;
    TSeriesOnBeforeAdd OnBeforeAdd;
    TSeriesOnClear OnClearValues;
    TSeriesClick OnClick;
    TSeriesClick OnDblClick;
    TSeriesOnGetMarkText OnGetMarkText;
    // Whether OnGetMarkText gives each point's whole mark text without reading the default one: the
    // default is then not formatted and the event receives an empty text (an item's own text still
    // reaches it). A chart that marks a few points of many is spared a formatted text per point.
    bool MarkTextFromEvent() const { return FMarkTextFromEvent; }
    void SetMarkTextFromEvent(bool Value) { FMarkTextFromEvent = Value; }
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    friend class TPlotFunction;
    // Binds the horizontal and vertical axes from the choices and the chart.
    void RecalcGetAxis();
    // The chart's palette colour of an index, the default palette's without a chart.
    TColor PaletteColor(int Index) const;
    // Exchanges the colours of two points when there is a colour list.
    void SwapColors(int A, int B);
    // Deletes the entries of the colour list, marks and labels that reach Index.
    void DeletePointExtras(int Index);
    bool IsLoading() const { return (ComponentState() & plat::csLoading) != 0; }
    bool ChartIsDestroying() const;
    bool IsDestroying() const { return (ComponentState() & plat::csDestroying) != 0; }

    TColor FColor = AutoColor;
    bool FColorEachPoint = false;
    std::vector<TColor> FColors; // empty means no colour list
    std::string FColorSource;
    plat::TCursor FCursor = plat::crDefault;
    TDataSourcesList FDataSources;
    int FDepth = -1;
    TChartAxis* FHorizAxisBound = nullptr;
    TChartAxis* FVertAxisBound = nullptr;
    std::string FXLabelsSource;
    std::unique_ptr<TCustomSeriesList> FLinkedSeries;
    std::unique_ptr<TSeriesMarks> FMarks;
    std::string FPercentFormat;
    std::unique_ptr<plat::TStringList> FTempDataSources;
    std::string FValueFormat;
    TChartValueLists FValuesList;
    TChartValueList* FX = nullptr;
    TLabelsList FLabels;
    TChartValueList* FY = nullptr;
    THorizAxis FHorizAxis = aBottomAxis;
    TChartAxis* FCustomHorizAxis = nullptr;
    TChartAxis* FCustomVertAxis = nullptr;
    void DefineCustomAxisProperty(plat::TFiler& Filer, const char* Name, TChartAxis* Axis, int& ReadIndex);
    void BindReadCustomAxes();
    // Custom axes read by their index, bound once the chart's axes are there.
    int FReadHorizAxis = -1;
    int FReadVertAxis = -1;
    int FZOrder = -1;
    TVertAxis FVertAxis = aLeftAxis;
    TDependentUpdates FDependentUpdates = duAll;
    TPlotFunction* FFunction = nullptr;
    // BeforeDestruction has run. Not csDestroying: an owner sets that on everything it owns long before
    // it frees them, and the series must still leave its chart then.
    bool FDestructionDone = false;
    bool FMouseInside = false;
    TColor FLastAssignedColor = AutoColor;
    bool FDontSaveData = false;
    bool FForceSaveData = false;
    bool FManualData = false;
    bool FMarkTextFromEvent = false;
    int FFirstVisibleIndex = -1;
    int FLastVisibleIndex = -1;
    int FSampleCount = 0;
    int FUpdateSuspended = 0;
    bool FHasOwnXValues = true;
    bool FStoreXValues = true;
    int FZOrderSlot = 0;
    TCustomChartLegend* FLegend = nullptr;
    bool FCalcVisiblePoints = true;
    bool FDrawBetweenPoints = false;
    bool FSingleFunctionPoint = true;
    bool FHasZValues = false;
    int FStartZ = 0;
    int FMiddleZ = 0;
    int FEndZ = 0;
    TChartValueList* FMandatory = nullptr;
    TChartValueList* FNotMandatory = nullptr;
    bool FYMandatory = true;
};

// --- Series lists and groups ------------------------------------------------------------------------

enum TSeriesGroupActive { gaYes, gaNo, gaSome };

// A named set of the chart's series that can be switched on and off together.
class TSeriesGroup : public plat::TCollectionItem {
    PLAT_CLASS(TSeriesGroup)
public:
    explicit TSeriesGroup(plat::TCollection* Collection);
    ~TSeriesGroup() override;

    void Assign(plat::TPersistent* Source) override;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    // gaYes when every series is active (also for an empty group), gaNo when none is, else gaSome.
    TSeriesGroupActive GetActive() const;
    // gaYes activates and gaNo deactivates every series; gaSome changes nothing.
    void SetActive(TSeriesGroupActive Value);
    TCustomSeriesList& Series() { return *FSeries; }
    // The group's list becomes a copy of Value.
    void SetSeries(const TCustomSeriesList& Value);
    std::string DisplayName() const override { return FName; }

private:
    std::string FName;
    std::unique_ptr<TCustomSeriesList> FSeries;
};

class TSeriesGroups : public plat::TOwnedCollection {
    PLAT_CLASS(TSeriesGroups)
public:
    explicit TSeriesGroups(plat::TPersistent* AOwner);
    // The first group holding the series, -1 when none.
    int GroupOf(const TChartSeries* Series) const;
    TSeriesGroup* GroupAt(int Index) const { return static_cast<TSeriesGroup*>(Items(Index)); }
    TSeriesGroup* Add() { return static_cast<TSeriesGroup*>(TOwnedCollection::Add()); }
};

// The chart's series, in drawing order, with the named groups.
class TChartSeriesList : public TCustomSeriesList {
    PLAT_CLASS(TChartSeriesList)
public:
    explicit TChartSeriesList(TCustomAxisPanel* Owner = nullptr);
    ~TChartSeriesList() override;

    void PutSeries(int Index, TChartSeries* Value) { Put(Index, Value); }
    // ClearPoints of every series.
    void ClearEverySeries();
    TSeriesGroup* AddNamedGroup(const std::string& Name);
    // True for an empty list.
    bool EverySeriesActive() const;
    void SetEverySeriesActive(bool Value);
    TSeriesGroups& Groups() { return *FGroups; }

private:
    std::unique_ptr<TSeriesGroups> FGroups;
};

// --- Series texts and data tests --------------------------------------------------------------------

// The title with column separators (#6) as blanks; else the component name; else "Series" and the
// 1-based position in the chart (empty without a chart).
std::string GetSeriesTitle(TChartSeries* Series);
// One item per series shown in editors: its title (or name) with the series as the item's object.
void FillSeriesItems(plat::TStrings* Items, TCustomSeriesList* List, bool UseTitles = true);

// Which parts of a series the stored point data holds. Every point is examined.
bool HasCustomXValues(TChartSeries* Series);
bool HasCustomColors(TChartSeries* Series);
bool HasLabels(TChartSeries* Series);
// Bit 0 custom X values, bit 1 custom colours, bit 2 labels, bit 3 custom mark positions.
int SeriesDataFlags(TChartSeries* Series);

// Draws the gallery picture of the class of a series or tool at (X, Y); nothing when there is none.
void DrawSeriesClassBitmap(plat::TCanvas* Canvas, const plat::TObject* Element, int X, int Y);

// Makes every series report itself as designed (sample values at design time).
extern bool ChartDesignTimeSeries;

} // namespace chart
