// The axes of a chart: an axis turns series values into pixels and back over a working range that is
// recomputed before every draw, chooses and draws its labels, and places and draws its line, ticks, grid
// and title. Also the axis' companions: its pens, title, custom labels, and the chart's lists of axes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/PlotCanvas.h"
#include "chart/PlotEngineShape.h"
#include "chart/PlotProcsPanel.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/List.h"

namespace chart {

class TCustomAxisPanel;
class TChartSeries;
class TChartValueList;
class TChartAxis;
class TChartAxes;

// Raised by the axis setters for values the axis cannot take; nothing is stored then.
class AxisException : public plat::Exception {
public:
    using plat::Exception::Exception;
    const char* ClassName() const override { return "AxisException"; }
};

enum TPenLineMode : uint8_t { lmLine, lmCylinder, lmRectangle };
enum TAxisLabelStyle : uint8_t { talAuto, talNone, talValue, talMark, talText };
enum TAxisLabelAlign : uint8_t { alDefault, alOpposite };

// The chart's label events (all axes) and an axis' own one.
using TAxisOnGetLabel =
    std::function<void(TChartAxis* Sender, TChartSeries* Series, int ValueIndex, std::string& LabelText)>;
using TAxisOnGetNextLabel =
    std::function<void(TChartAxis* Sender, int LabelIndex, double& LabelValue, bool& Stop)>;
using TAxisDrawLabelEvent =
    std::function<void(TChartAxis* Sender, int& X, int& Y, int& Z, std::string& Text, bool& DrawLabel)>;
// Called before an axis draws its grid (a grid band tool paints its stripes there).
using TAxisGridEvent = std::function<void(TChartAxis* Sender)>;
// The chart's answer for the room of an axis' labels (axis, measured size) -> size.
using TAxisLabelSizeHook = std::function<int(TChartAxis* Axis, int Size)>;

// A value-to-pixel function of an axis, selected once for its kind so that per-point calls need no tests.
using TAxisPositionFunction = int (TChartAxis::*)(double Value) const;

// The line that draws the axis itself: a line, or a thick lying/standing cylinder or box.
class TChartAxisPen : public TChartPen {
    PLAT_CLASS(TChartAxisPen)
public:
    explicit TChartAxisPen(TNotifyEvent ChangeHandler = nullptr);

    TPenLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TPenLineMode Value);
    void Assign(plat::TPersistent* Source) override;

private:
    TPenLineMode FLineMode = lmLine;
};

// The grid of an axis: grey dotted, optionally between the ticks and at every n-th tick only.
class TAxisGridPen : public TDottedGrayPen {
    PLAT_CLASS(TAxisGridPen)
public:
    explicit TAxisGridPen(TNotifyEvent ChangeHandler = nullptr);

    bool Centered() const { return FCentered; }
    void SetCentered(bool Value);
    // Values below 1 act as 1.
    int DrawEvery() const { return FDrawEvery; }
    void SetDrawEvery(int Value);
    // Percent of the chart depth where a 3D side grid line ends.
    double ZPosition() const { return FZPosition; }
    void SetZPosition(double Value);
    double DefaultZPosition() const { return FDefaultZPosition; }
    void SetDefaultZPosition(double Value) { FDefaultZPosition = Value; }
    bool IsZPositionStored() const { return FZPosition != FDefaultZPosition; }

    void Assign(plat::TPersistent* Source) override;

private:
    void Changed();
    bool FCentered = false;
    int FDrawEvery = 1;
    double FZPosition = 0;
    double FDefaultZPosition = 0;
};

// The caption of an axis, drawn along it and rotated by Angle.
class TChartAxisTitle : public TPlotCustomShape {
    PLAT_CLASS(TChartAxisTitle)
public:
    explicit TChartAxisTitle(TCustomPlotPanel* Parent);

    int Angle() const { return FAngle; }
    // Stored modulo 360.
    void SetAngle(int Value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // 0, 90 on the left axis and 270 on the right one; Angle is streamed only when it differs.
    int DefaultAngle() const { return FDefaultAngle; }
    void SetDefaultAngle(int Value) { FDefaultAngle = Value; }
    bool IsAngleStored() const { return FAngle != FDefaultAngle; }

    void Assign(plat::TPersistent* Source) override;

private:
    void Changed();
    int FAngle = 0;
    std::string FCaption;
    int FDefaultAngle = 0;
};

// One custom label of an axis: its own text (or the axis' text for its value) in its own box.
class TAxisItem : public TPlotCustomShape {
    PLAT_CLASS(TAxisItem)
public:
    explicit TAxisItem(TCustomPlotPanel* Parent);

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    double Value() const { return FValue; }
    void SetValue(double Value);

private:
    std::string FText;
    double FValue = 0;
};

// The custom labels of an axis, and the shape whose visibility and font are the axis' Labels and
// LabelsFont. Owns the items and the shape.
class TAxisItems : public plat::TList {
    PLAT_CLASS(TAxisItems)
public:
    explicit TAxisItems(TChartAxis* Axis);
    ~TAxisItems() override;

    TAxisItem* Add(double Value);
    TAxisItem* Add(double Value, const std::string& Text);
    // Takes the other list's format and a copy of its values and texts.
    void CopyItemsFrom(TAxisItems* Source);
    // Frees every item and invalidates the chart.
    void Clear();
    // Callers pass an index in 0 .. Count() - 1.
    TAxisItem* Item(int Index) const { return static_cast<TAxisItem*>(Get(Index)); }
    TPlotShape* Format() const { return FFormat.get(); }
    TChartAxis* Axis() const { return FAxis; }

private:
    void FreeItems();
    TChartAxis* FAxis;
    std::unique_ptr<TPlotShape> FFormat;
};

// One axis of a chart: its range settings, the working range and pixel ends of the last draw (which
// series, tools and mouse handlers map through between draws), its labels, ticks, grid and title.
class TChartAxis : public plat::TCollectionItem {
    PLAT_CLASS(TChartAxis)
public:
    // An item of the chart's custom axes (the collection's owner is the chart).
    explicit TChartAxis(plat::TCollection* Collection);
    // One of the chart's standard axes, outside any collection; a null chart gives a free-standing axis
    // (its mapping works once its pixels and range are set).
    explicit TChartAxis(TCustomAxisPanel* Chart);
    ~TChartAxis() override;

    void Assign(plat::TPersistent* Source) override;

    // --- Range and mapping -----------------------------------------------------------------------------

    bool Automatic() const { return FAutomatic; }
    void SetAutomatic(bool Value);
    bool AutomaticMaximum() const { return FAutomaticMaximum; }
    void SetAutomaticMaximum(bool Value);
    bool AutomaticMinimum() const { return FAutomaticMinimum; }
    void SetAutomaticMinimum(bool Value);
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value);
    double Maximum() const { return FMaximum; }
    void SetMaximum(double Value);
    double Minimum() const { return FMinimum; }
    void SetMinimum(double Value);
    bool Logarithmic() const { return FLogarithmic; }
    void SetLogarithmic(bool Value);
    double LogarithmicBase() const { return FLogarithmicBase; }
    void SetLogarithmicBase(double Value);
    int MaximumOffset() const { return FMaximumOffset; }
    void SetMaximumOffset(int Value);
    int MinimumOffset() const { return FMinimumOffset; }
    void SetMinimumOffset(int Value);
    bool Inverted() const { return FInverted; }
    virtual void SetInverted(bool Value);
    bool Horizontal() const { return FHorizontal; }
    void SetHorizontal(bool Value);
    bool OtherSide() const { return FOtherSide; }
    void SetOtherSide(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    double StartPosition() const { return FStartPosition; }
    void SetStartPosition(double Value);
    double EndPosition() const { return FEndPosition; }
    void SetEndPosition(double Value);
    double ZPosition() const { return FZPosition; }
    // 0 is stored as 0.01.
    void SetZPosition(double Value);

    // Switches the automatic flags off, orders the two values and keeps them at least 1e-10 apart;
    // custom axes that follow this one take the same range. Never raises.
    void SetAxisRange(double AMinimum, double AMaximum);
    void UpdateRange();
    void CalcAutomaticMinMax();
    void UpdateScales();
    void CalcPositions();
    void UpdateSize();
    int ValueToPixel(double Value) const { return (this->*FPosFunction)(Value); }
    // The styles series and tools call for the direction they draw in.
    int HorizValueToPixel(double Value) const { return (this->*FHorizPosFunction)(Value); }
    int VertValueToPixel(double Value) const { return (this->*FVertPosFunction)(Value); }
    // The same for Count values at once into Pixels; a series' whole frame costs one call.
    void HorizValuesToPixels(const double* Values, int Count, int* Pixels) const;
    void VertValuesToPixels(const double* Values, int Count, int* Pixels) const;
    TAxisPositionFunction PositionFunction() const { return FPosFunction; }
    TAxisPositionFunction HorizPositionFunction() const { return FHorizPosFunction; }
    TAxisPositionFunction VertPositionFunction() const { return FVertPosFunction; }
    double PixelToValue(int Pixel) const;
    int ValueSizeToPixels(double Value) const;
    void ScrollBy(double Offset, bool CheckLimits);
    // Margins: Left/Right for a horizontal axis, Top/Bottom for a vertical one, in pixels.
    void AdjustRangeToMargins(const TRect& Margins);
    int DepthPosition() const;
    bool HasDateTimeValues() const;

    // --- Increments and labels -------------------------------------------------------------------------

    bool Labels() const;
    void SetLabels(bool Value);
    TPlotFont* LabelsFont() const;
    void SetLabelsFont(TPlotFont* Value);
    TAxisLabelAlign LabelsAlign() const { return FLabelsAlign; }
    void SetLabelsAlign(TAxisLabelAlign Value);
    bool LabelsAlternate() const { return FLabelsAlternate; }
    void SetLabelsAlternate(bool Value);
    int LabelsAngle() const { return FLabelsAngle; }
    // Stored modulo 360.
    void SetLabelsAngle(int Value);
    bool LabelsExponent() const { return FLabelsExponent; }
    void SetLabelsExponent(bool Value);
    bool LabelsMultiLine() const { return FLabelsMultiLine; }
    void SetLabelsMultiLine(bool Value);
    bool LabelsOnAxis() const { return FLabelsOnAxis; }
    void SetLabelsOnAxis(bool Value);
    int LabelsSeparation() const { return FLabelsSeparation; }
    // Raises AxisException below 0; 0 switches the overlap tests off.
    void SetLabelsSeparation(int Value);
    int LabelsSize() const { return FLabelsSize; }
    void SetLabelsSize(int Value);
    TAxisLabelStyle LabelStyle() const { return FLabelStyle; }
    void SetLabelStyle(TAxisLabelStyle Value);
    const std::string& AxisValuesFormat() const { return FAxisValuesFormat; }
    void SetAxisValuesFormat(const std::string& Value);
    const std::string& DateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const std::string& Value);
    bool ExactDateTime() const { return FExactDateTime; }
    void SetExactDateTime(bool Value);
    bool RoundFirstLabel() const { return FRoundFirstLabel; }
    void SetRoundFirstLabel(bool Value);
    // The custom labels; when there are any, only they are drawn.
    TAxisItems* Items() const { return FItems.get(); }

    virtual std::string LabelText(double Value);
    virtual TAxisLabelStyle CalcLabelStyle();
    TAxisLabelStyle EffectiveLabelStyle();
    double CalcIncrement();
    double CalcLabelsIncrement(int MaxNumLabels);
    // The 1-2-5 ladder: 1 -> 2 -> 5 -> 10 -> 20 ...; 1 for an infinite step.
    static double NextLabelStep(double Step);
    // LogarithmicBase raised to the power nearest to the value's logarithm.
    double LogPowerNear(double Value) const;
    int MaxLabelsWidth();
    // Text null: the widest label the axis can show.
    int LabelSizeFor(TPlotFont* Font, int Angle, int FixedSize, const std::string* Text = nullptr);
    // Draws the title, the labels, the ticks and the grids; RecalcPosition places the axis line first.
    void DrawAxisLabels(bool RecalcPosition);
    // Shape null: the label format shape.
    void DrawAxisLabel(int X, int Y, TPlotCustomShape* Shape, const std::string& Text, int Angle);
    // The values the label walk of the current range and increment visits, in walk order (top down for
    // the value walk); what DrawAxisLabels labels with the value style.
    std::vector<double> LabelValues();

    TAxisDrawLabelEvent OnDrawLabel;

    // --- Drawing and placement -------------------------------------------------------------------------

    TChartAxisPen* Axis() const { return FAxis.get(); }
    void SetAxis(TChartAxisPen* Value);
    TChartAxisTitle* Title() const { return FTitle.get(); }
    void SetTitle(TChartAxisTitle* Value);
    int TitleSize() const { return FTitleSize; }
    void SetTitleSize(int Value);
    TAxisGridPen* Grid() const { return FGrid.get(); }
    void SetGrid(TAxisGridPen* Value);
    bool GridCentered() const { return FGrid->Centered(); }
    void SetGridCentered(bool Value) { FGrid->SetCentered(Value); }
    TChartHiddenPen* MinorGrid() const { return FMinorGrid.get(); }
    void SetMinorGrid(TChartHiddenPen* Value);
    TDarkGrayPen* Ticks() const { return FTicks.get(); }
    void SetTicks(TDarkGrayPen* Value);
    TDarkGrayPen* TicksInner() const { return FTicksInner.get(); }
    void SetTicksInner(TDarkGrayPen* Value);
    TDarkGrayPen* MinorTicks() const { return FMinorTicks.get(); }
    void SetMinorTicks(TDarkGrayPen* Value);
    int MinorTickCount() const { return FMinorTickCount; }
    void SetMinorTickCount(int Value);
    int MinorTickLength() const { return FMinorTickLength; }
    void SetMinorTickLength(int Value);
    int TickInnerLength() const { return FTickInnerLength; }
    void SetTickInnerLength(int Value);
    int TickLength() const { return FTickLength; }
    void SetTickLength(int Value);
    bool TickOnLabelsOnly() const { return FTickOnLabelsOnly; }
    void SetTickOnLabelsOnly(bool Value);
    double PositionPercent() const { return FPositionPercent; }
    void SetPositionPercent(double Value);
    TPlotUnits PositionUnits() const { return FPositionUnits; }
    void SetPositionUnits(TPlotUnits Value);

    // Places the axis in the chart rectangle; with Shrink it takes its room from the rectangle.
    void ComputeAxisRect(TRect& Rect, bool Shrink);
    int MeasureTicksSpace();
    int MeasureLabelsSpace();
    // Moves a position outward (away from the chart rectangle) by Amount.
    int ShiftAxisPosition(int Position, int Amount) const;
    void ShrinkChartRectForAxis(TRect& Rect, int Amount) const;
    int ApplyPositionPercent(int Position, const TRect& Rect) const;
    // The rectangle edge on the axis' side.
    int AxisEdge(const TRect& Rect) const;
    TRect AxisRect() const;
    bool Clicked(int X, int Y);
    void DrawTitle(int X, int Y);
    void DrawAxisLinesAndGrid();
    void DrawGridLine(int Pixel);

    TAxisGridEvent OnBeforeDrawGrid;

    // --- The chart and the working state ---------------------------------------------------------------

    TCustomAxisPanel* ParentChart() const { return FParentChart; }
    // The axis whose range SetAxisRange passes on to this one.
    TChartAxis* MasterAxis() const { return FMasterAxis; }
    void SetMasterAxis(TChartAxis* Value) { FMasterAxis = Value; }

    bool IsDateTime() const { return FIsDateTime; }
    void SetIsDateTime(bool Value) { FIsDateTime = Value; }
    bool IsDepthAxis() const { return FIsDepthAxis; }
    void SetIsDepthAxis(bool Value);
    bool IsShown() const { return FIsShown; }
    void SetIsShown(bool Value) { FIsShown = Value; }
    double PixelsPerLogUnit() const { return FPixelsPerLogUnit; }
    double PixelsPerUnit() const { return FPixelsPerUnit; }
    int CenterPixel() const { return FCenterPixel; }
    double LogMax() const { return FLogMax; }
    double LogMin() const { return FLogMin; }
    double LogSpan() const { return FLogSpan; }
    double RangeMax() const { return FRangeMax; }
    double RangeMin() const { return FRangeMin; }
    double RangeSpan() const { return FRangeSpan; }
    bool RangeIsZero() const { return FRangeIsZero; }
    // Sets the working range and recomputes the scales (the chart does it through UpdateRange).
    void SetRange(double RangeMinimum, double RangeMaximum);
    int ZPixel() const { return FZPixel; }
    bool HideBackGrid() const { return FHideBackGrid; }
    void SetHideBackGrid(bool Value) { FHideBackGrid = Value; }
    bool HideSideGrid() const { return FHideSideGrid; }
    void SetHideSideGrid(bool Value) { FHideSideGrid = Value; }
    int StartPixel() const { return FStartPixel; }
    int EndPixel() const { return FEndPixel; }
    int SizePixels() const { return FSizePixels; }
    // Sets the pixel ends and recomputes the size and scales (the chart does it through CalcPositions).
    void SetPixels(int Start, int End);
    int AxisPixel() const { return FAxisPixel; }
    void SetAxisPixel(int Value) { FAxisPixel = Value; }
    int LabelsPixel() const { return FLabelsPixel; }
    void SetLabelsPixel(int Value) { FLabelsPixel = Value; }
    int TitlePixel() const { return FTitlePixel; }
    void SetTitlePixel(int Value) { FTitlePixel = Value; }
    // Pixels along the axis of the ticks of the last draw, in labelling order.
    const std::vector<int>& TickPositions() const { return FTickPositions; }
    std::vector<int>& TickPositions() { return FTickPositions; }

    // Reselects the value-to-pixel functions for the axis' kind (horizontal, logarithmic, depth, fast).
    void SelectPositionFunctions();

    // Streaming predicates.
    bool IsMinimumStored() const { return !FAutomatic && !FAutomaticMinimum; }
    bool IsMaximumStored() const { return !FAutomatic && !FAutomaticMaximum; }
    bool IsHorizontalStored() const;
    bool IsZPositionStored() const;

    // The largest coordinate the clamped mapping returns (either sign); the drawing calls take it.
    static constexpr int PixelClampLimit = 0x3FFFFFF;

protected:
    // Repaints the chart when there is one.
    void Repaint() const;
    void InvalidateChart() const { Repaint(); }

    template <class T> void StoreAndRepaint(T& Field, const T& Value) {
        if (Field != Value) {
            Field = Value;
            Repaint();
        }
    }

private:
    void Init(TCustomAxisPanel* Chart);
    void PenChanged(plat::TObject* Sender);

    // Position functions.
    int DepthPos(double Value) const;
    int LinearHorizPos(double Value) const;
    int LinearVertPos(double Value) const;
    int FastHorizPos(double Value) const;
    int FastVertPos(double Value) const;
    int LogHorizPos(double Value) const;
    int LogVertPos(double Value) const;

    // Labelling.
    double LabelSizeAlong(const std::string& Text);
    int DateTimeStepOf(double Increment) const;
    void ValueWalk(double Increment, int StepIndex, const std::function<void(double)>& AtValue);
    void LogWalk(const std::function<void(double)>& AtValue);
    void EventWalk(double Increment, int StepIndex, const std::function<void(double)>& AtValue);
    void DrawValueLabel(double Value);
    void DrawSeriesLabels(bool UseMarks);
    void DrawDepthTitles();
    void DrawCustomItems();
    void DrawLabelAt(int Pixel, const std::string& Text, TPlotCustomShape* Shape);
    void DrawExponentLine(int X, int Y, int Z, const std::string& Line);
    void AddTick(int Pixel) { FTickPositions.push_back(Pixel); }

    // Axis drawing.
    void DrawAxisLine(int WallSize);
    void DrawTick(int Pixel, int Offset, int Length, int WallSize);
    void DrawTicks(TChartPen* Pen, int Offset, int Length, int WallSize);
    void DrawMinorMarks(bool AsGrid, int WallSize);
    void DrawMinorMark(bool AsGrid, int Pixel, int WallSize);
    int DepthAxisRow() const;
    int DepthAxisLineRow(int WallOfBottom) const;

    // Published settings, in the axis' field order.
    bool FAutomatic = true;
    bool FAutomaticMaximum = true;
    bool FAutomaticMinimum = true;
    double FIncrement = 0;
    double FMaximum = 0;
    double FMinimum = 0;
    bool FLogarithmic = false;
    double FLogarithmicBase = 10;
    int FMaximumOffset = 0;
    int FMinimumOffset = 0;
    std::unique_ptr<TChartAxisPen> FAxis;
    int FAxisPixel = 0;
    double FZPosition = 0;
    std::unique_ptr<TChartAxisTitle> FTitle;
    int FTitleSize = 0;
    int FTitlePixel = 0;
    std::unique_ptr<TAxisGridPen> FGrid;
    TAxisLabelAlign FLabelsAlign = alDefault;
    bool FLabelsAlternate = false;
    int FLabelsAngle = 0;
    std::unique_ptr<TAxisItems> FItems;
    bool FLabelsOnAxis = true;
    int FLabelsSeparation = 10;
    int FLabelsSize = 0;
    TAxisLabelStyle FLabelStyle = talAuto;
    bool FLabelsExponent = false;
    bool FLabelsMultiLine = false;
    int FLabelsPixel = 0;
    std::string FAxisValuesFormat;
    std::string FDateTimeFormat;
    bool FExactDateTime = true;
    bool FRoundFirstLabel = true;
    std::unique_ptr<TChartHiddenPen> FMinorGrid;
    int FMinorTickCount = 3;
    int FMinorTickLength = 2;
    std::unique_ptr<TDarkGrayPen> FMinorTicks;
    std::unique_ptr<TDarkGrayPen> FTicks;
    std::unique_ptr<TDarkGrayPen> FTicksInner;
    int FTickInnerLength = 0;
    int FTickLength = 4;
    bool FTickOnLabelsOnly = true;
    bool FInverted = false;
    bool FHorizontal = false;
    bool FOtherSide = false;
    TCustomAxisPanel* FParentChart = nullptr;
    bool FVisible = true;
    double FStartPosition = 0;
    double FEndPosition = 100;
    double FPositionPercent = 0;
    TPlotUnits FPositionUnits = muPercent;
    TChartAxis* FMasterAxis = nullptr;

    // Working state.
    bool FIsDateTime = false;
    double FPixelsPerLogUnit = 0;
    double FPixelsPerUnit = 0;
    int FCenterPixel = 0;
    bool FIsDepthAxis = false;
    double FLogMax = 0;
    double FLogMin = 0;
    double FRangeMax = 0;
    double FRangeMin = 0;
    double FRangeSpan = 0;
    double FLogSpan = 0;
    bool FRangeIsZero = true;
    std::vector<TChartSeries*> FSeriesList;
    bool FIsShown = false;
    int FZPixel = 0;
    bool FHideBackGrid = false;
    bool FHideSideGrid = false;
    int FStartPixel = 0;
    int FEndPixel = 0;
    int FSizePixels = 0;
    TAxisPositionFunction FHorizPosFunction = nullptr;
    TAxisPositionFunction FVertPosFunction = nullptr;
    TAxisPositionFunction FPosFunction = nullptr;
    std::vector<int> FTickPositions;
    bool FAlternateFlag = false; // which row the next alternating label takes
    bool FSettingRange = false;  // breaks cycles of master axes
};

// The chart's DepthAxis and DepthTopAxis: they run along the chart depth, are hidden by default and are
// always inverted together.
class TChartDepthAxis : public TChartAxis {
    PLAT_CLASS(TChartDepthAxis)
public:
    explicit TChartDepthAxis(plat::TCollection* Collection) : TChartAxis(Collection) { InitDepth(); }
    explicit TChartDepthAxis(TCustomAxisPanel* Chart) : TChartAxis(Chart) { InitDepth(); }

    TAxisLabelStyle CalcLabelStyle() override;
    void SetInverted(bool Value) override;

private:
    void InitDepth();
};

// Every axis of a chart: the six standard ones first (bottom, top, left, right, depth, depth top), the
// custom axes after them. Axes add and remove themselves; the list owns none of them but Clear frees
// them all.
class TChartAxes : public plat::TList {
    PLAT_CLASS(TChartAxes)
public:
    explicit TChartAxes(TCustomAxisPanel* Chart) : FChart(Chart) {}

    // Frees every axis.
    void Clear();
    // Callers pass an index in 0 .. Count() - 1.
    TChartAxis* AxisAt(int Index) const { return static_cast<TChartAxis*>(Get(Index)); }
    TChartAxis* ChartBottomAxis() const { return AxisAt(0); }
    TChartAxis* ChartTopAxis() const { return AxisAt(1); }
    TChartAxis* ChartLeftAxis() const { return AxisAt(2); }
    TChartAxis* ChartRightAxis() const { return AxisAt(3); }
    TChartAxis* ChartDepthAxis() const { return AxisAt(4); }
    TChartAxis* ChartDepthTopAxis() const { return AxisAt(5); }
    // The chart's AxisBehind and AxisVisible.
    bool GetBehind() const;
    void SetBehind(bool Value);
    bool GetVisible() const;
    void SetVisible(bool Value);

    // Off by default: the axes then clamp far-off pixels.
    bool FastCalc() const { return FFastCalc; }
    void SetFastCalc(bool Value);
    const TAxisLabelSizeHook& LabelSizeHook() const { return FLabelSizeHook; }
    void SetLabelSizeHook(TAxisLabelSizeHook Value) { FLabelSizeHook = std::move(Value); }
    // Every custom axis whose master axis is Axis takes Axis' Minimum and Maximum.
    void PassRangeToCustomAxes(TChartAxis* Axis);

    TCustomAxisPanel* Chart() const { return FChart; }

private:
    TCustomAxisPanel* FChart;
    bool FFastCalc = false;
    TAxisLabelSizeHook FLabelSizeHook;
};

// The chart's CustomAxes: the collection that owns the axes after the standard six.
class TChartCustomAxes : public plat::TOwnedCollection {
    PLAT_CLASS(TChartCustomAxes)
public:
    explicit TChartCustomAxes(TCustomAxisPanel* Chart);

    // Callers pass an index in 0 .. Count() - 1.
    TChartAxis* AxisAt(int Index) const { return static_cast<TChartAxis*>(Items(Index)); }
};

} // namespace chart
