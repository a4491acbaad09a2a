// The chart tools the application's windows use: draggable colour lines, the nearest-point marker,
// annotation boxes with callouts, axis arrows that scroll, the colour band with draggable edges and the
// drag-marks tool. Feedback drawn during a drag is XOR-drawn over the finished chart, so drawing it twice
// leaves the chart's pixels as they were; the chart repaints when the drag ends.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "chart/PlotEngineMarks.h"
#include "chart/PlotEngineShape.h"
#include "chart/PlotEngineTools.h"
#include "platform/ui/TextAlignment.h"

namespace chart {

class TColorLineTool;
class TAnnotationTool;

// Called by the tools' constructors so that a program using any tool also links the unit's class
// registration (the engine's library is linked piece by piece).
void LinkPlotToolRegistration();
// Puts the tool classes into the tool registry in their gallery order (once; later calls change
// nothing). Units with tools of their own call it first, so that theirs come after.
void RegisterChartToolClasses();

// --- Colour line ------------------------------------------------------------------------------------

enum TColorLineStyle : uint8_t { clCustom, clMaximum, clCenter, clMinimum };
inline constexpr const char* kColorLineStyleNames[] = {"clCustom", "clMaximum", "clCenter", "clMinimum"};
static_assert(std::size(kColorLineStyleNames) == clMinimum + 1);

using TColorLineToolOnDrag = std::function<void(TColorLineTool* Sender)>;

// A line across the chart rectangle at one value of an axis; the left button drags it.
class TColorLineTool : public TPlotCustomToolAxis {
    PLAT_CLASS(TColorLineTool)
public:
    explicit TColorLineTool(plat::TComponent* AOwner);

    void Assign(plat::TPersistent* Source) override;
    std::string Description() const override;
    std::string EditorClassName() const override { return "TColorLineToolEditor"; }
    void ChartEvent(TChartToolEvent Kind) override;
    void ChartMouseEvent(TChartMouseEventKind Kind, plat::TMouseButton Button, plat::TShiftState Shift, int X,
                         int Y) override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    // An edge line of a band has no chart of its own: it repaints the chart it draws on.
    void Repaint() override;

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value) { FAllowDrag = Value; }
    bool DragRepaint() const { return FDragRepaint; }
    void SetDragRepaint(bool Value) { FDragRepaint = Value; }
    bool Draw3D() const { return FDraw3D; }
    void SetDraw3D(bool Value) { SetBooleanProperty(FDraw3D, Value); }
    bool DrawBehind() const { return FDrawBehind; }
    void SetDrawBehind(bool Value) { SetBooleanProperty(FDrawBehind, Value); }
    bool NoLimitDrag() const { return FNoLimitDrag; }
    void SetNoLimitDrag(bool Value) { FNoLimitDrag = Value; }
    TColorLineStyle Style() const { return FStyle; }
    void SetStyle(TColorLineStyle Value);
    double Value() const { return FValue; }
    // Switches Style to clCustom (except while the tool is being read).
    void SetValue(double Value);

    // The value the line is drawn at, by Style.
    double ActualValue() const;
    // Keeps a value inside the axis' visible range.
    double LimitValue(double Value) const;
    // Within 2 pixels of the line and inside the chart rectangle.
    bool Clicked(int X, int Y) const;
    bool Dragging() const { return FDragging; }
    // The chart the line draws on and tests against: the band's chart for a band's edge line.
    TCustomAxisPanel* DrawingChart() const;
    // Draws the line's part of the back pass (before the series) or of the front pass (after the chart).
    void DrawColorLine(bool Back);

    TColorLineToolOnDrag OnBeginDragLine;
    TColorLineToolOnDrag OnDragLine;
    TColorLineToolOnDrag OnEndDragLine;

protected:
    virtual void DragEnded();

private:
    friend class TColorBandTool;
    bool FAllowDrag = true;
    bool FDragRepaint = false;
    bool FDraw3D = true;
    bool FDrawBehind = false;
    bool FNoLimitDrag = false;
    TColorLineStyle FStyle = clCustom;
    double FValue = 0;
    bool FDragging = false;
    TCustomAxisPanel* FParentOverride = nullptr;
    bool FEdgeLine = false;
    TColorLineToolOnDrag FEndDragNotify;
};

// --- Nearest point ----------------------------------------------------------------------------------

enum TNearestToolStyle : uint8_t { hsNone, hsCircle, hsRectangle, hsDiamond };
inline constexpr const char* kNearestToolStyleNames[] = {"hsNone", "hsCircle", "hsRectangle", "hsDiamond"};
static_assert(std::size(kNearestToolStyleNames) == hsDiamond + 1);

// The marker's outline: white dots, streamed against those defaults.
class TNearestToolPen : public TChartPen {
    PLAT_CLASS(TNearestToolPen)
public:
    explicit TNearestToolPen(TNotifyEvent ChangeHandler);
};

// The marker's fill: none, streamed against that default.
class TNearestToolBrush : public TChartBrush {
    PLAT_CLASS(TNearestToolBrush)
public:
    explicit TNearestToolBrush(TNotifyEvent ChangeHandler);
};

// Marks the point of a series nearest to the mouse, optionally with a line from the mouse to it.
class TNearestTool : public TPlotCustomToolSeries {
    PLAT_CLASS(TNearestTool)
public:
    explicit TNearestTool(plat::TComponent* AOwner);

    std::string Description() const override;
    std::string EditorClassName() const override { return "TNearestToolEdit"; }
    void ChartEvent(TChartToolEvent Kind) override;
    void ChartMouseEvent(TChartMouseEventKind Kind, plat::TMouseButton Button, plat::TShiftState Shift, int X,
                         int Y) override;

    bool DrawLine() const { return FLinePen->Visible(); }
    void SetDrawLine(bool Value) { FLinePen->SetVisible(Value); }
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }
    TChartPen* LinePen() const { return FLinePen.get(); }
    void SetLinePen(TChartPen* Value) { FLinePen->Assign(Value); }
    int Size() const { return FSize; }
    void SetSize(int Value) { SetIntegerProperty(FSize, Value); }
    TNearestToolStyle Style() const { return FStyle; }
    void SetStyle(TNearestToolStyle Value);

    // The marked point, -1 when none.
    int Point() const { return FPoint; }
    plat::TPoint MousePoint() const { return FMouse; }
    // The first visible point with the smallest rounded distance that lies inside the chart rectangle;
    // -1 when none lies within 9999 pixels.
    static int FindNearestPoint(TChartSeries* Series, int X, int Y, bool IncludeNulls = false);

    plat::TNotifyEvent OnChange;

private:
    void PaintHint();
    bool FFullRepaint = true;
    std::unique_ptr<TChartPen> FLinePen;
    int FSize = 20;
    TNearestToolStyle FStyle = hsCircle;
    plat::TPoint FMouse;
    int FPoint = -1;
};

// --- Annotation -------------------------------------------------------------------------------------

enum TAnnotationPosition : uint8_t { ppLeftTop, ppLeftBottom, ppRightTop, ppRightBottom };
inline constexpr const char* kAnnotationPositionNames[] = {"ppLeftTop", "ppLeftBottom", "ppRightTop",
                                                           "ppRightBottom"};
static_assert(std::size(kAnnotationPositionNames) == ppRightBottom + 1);

// The arrow of an annotation to a pixel of the chart.
class TAnnotationCallout : public TCallout {
    PLAT_CLASS(TAnnotationCallout)
public:
    TAnnotationCallout();

    void Assign(plat::TPersistent* Source) override;

    int XPosition() const { return FX; }
    void SetXPosition(int Value) { SetPosition(FX, Value); }
    int YPosition() const { return FY; }
    void SetYPosition(int Value) { SetPosition(FY, Value); }
    int ZPosition() const { return FZ; }
    void SetZPosition(int Value) { SetPosition(FZ, Value); }

private:
    void SetPosition(int& Field, int Value);
    int FX = 0;
    int FY = 0;
    int FZ = 0;
};

// The framed box of an annotation.
class TPlotShapePosition : public TPlotCustomShapePosition {
    PLAT_CLASS(TPlotShapePosition)
public:
    explicit TPlotShapePosition(TCustomPlotPanel* Parent) : TPlotCustomShapePosition(Parent) {}
};

using TAnnotationClick = std::function<void(TAnnotationTool* Sender, plat::TMouseButton Button,
                                            plat::TShiftState Shift, int X, int Y)>;

// Where an annotation's text starts and where its box lies.
struct TAnnotationGeometry {
    int NumLines = 1;
    int X = 0;
    int Y = 0;
    TRect Rect;
};

// A framed text box in a corner of the chart or at a custom position, optionally with a callout.
class TAnnotationTool : public TPlotCustomTool {
    PLAT_CLASS(TAnnotationTool)
public:
    explicit TAnnotationTool(plat::TComponent* AOwner);
    ~TAnnotationTool() override;

    std::string Description() const override;
    std::string EditorClassName() const override { return "TAnnotationToolEdit"; }
    void ChartEvent(TChartToolEvent Kind) override;
    void ChartMouseEvent(TChartMouseEventKind Kind, plat::TMouseButton Button, plat::TShiftState Shift, int X,
                         int Y) override;
    void SetParentChart(TCustomAxisPanel* Value) override;

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { SetBooleanProperty(FAutoSize, Value); }
    TAnnotationCallout* Callout() const { return FCallout.get(); }
    void SetCallout(TAnnotationCallout* Value) { FCallout->Assign(Value); }
    plat::TCursor Cursor() const { return FCursor; }
    void SetCursor(plat::TCursor Value) { FCursor = Value; }
    TAnnotationPosition Position() const { return FPosition; }
    // A corner switches the custom position off.
    void SetPosition(TAnnotationPosition Value);
    TPlotUnits PositionUnits() const { return FPositionUnits; }
    void SetPositionUnits(TPlotUnits Value);
    TPlotShapePosition* Shape() const { return FShape.get(); }
    void SetShape(TPlotShapePosition* Value) { FShape->Assign(Value); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value) { SetStringProperty(FText, Value); }
    plat::TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(plat::TAlignment Value);

    int Left() const { return FShape->Left(); }
    void SetLeft(int Value);
    int Top() const { return FShape->Top(); }
    void SetTop(int Value);
    int Width() const { return FShape->BoundsWidth(); }
    // Switches AutoSize off.
    void SetWidth(int Value);
    int Height() const { return FShape->BoundsHeight(); }
    void SetHeight(int Value);
    bool IsSizeStored() const { return !FAutoSize; }
    bool IsPlaceStored() const { return FShape->CustomPosition(); }

    // The text the box shows; descendants may supply another.
    virtual std::string GetText() const { return FText; }
    // Where the text starts and where the box lies, measured with the chart's canvas.
    TAnnotationGeometry Geometry();
    bool Clicked(int X, int Y);

    TAnnotationClick OnClick;

private:
    void DrawText();
    bool FAutoSize = true;
    std::unique_ptr<TAnnotationCallout> FCallout;
    plat::TCursor FCursor = 0;
    TAnnotationPosition FPosition = ppLeftTop;
    TPlotUnits FPositionUnits = muPixels;
    std::unique_ptr<TPlotShapePosition> FShape;
    std::string FText;
    plat::TAlignment FTextAlignment = plat::taLeftJustify;
};

// --- Axis arrows ------------------------------------------------------------------------------------

enum TAxisArrowToolPosition : uint8_t { aaStart, aaEnd, aaBoth };
inline constexpr const char* kAxisArrowToolPositionNames[] = {"aaStart", "aaEnd", "aaBoth"};
static_assert(std::size(kAxisArrowToolPositionNames) == aaBoth + 1);

class TAxisArrowTool;
using TAxisArrowClickEvent = std::function<void(TAxisArrowTool* Sender, bool AtStart)>;

// Arrows at the ends of an axis; a press on one scrolls the axis by a part of its range.
class TAxisArrowTool : public TPlotCustomToolAxis {
    PLAT_CLASS(TAxisArrowTool)
public:
    explicit TAxisArrowTool(plat::TComponent* AOwner);

    std::string Description() const override;
    std::string EditorClassName() const override { return "TAxisArrowToolEditor"; }
    void ChartEvent(TChartToolEvent Kind) override;
    void ChartMouseEvent(TChartMouseEventKind Kind, plat::TMouseButton Button, plat::TShiftState Shift, int X,
                         int Y) override;

    int HeadWidth() const { return FHeadWidth; }
    void SetHeadWidth(int Value) { SetIntegerProperty(FHeadWidth, Value); }
    int Length() const { return FLength; }
    void SetLength(int Value) { SetIntegerProperty(FLength, Value); }
    TAxisArrowToolPosition Position() const { return FPosition; }
    void SetPosition(TAxisArrowToolPosition Value);
    bool ScrollInverted() const { return FScrollInverted; }
    void SetScrollInverted(bool Value) { FScrollInverted = Value; }
    int ScrollPercent() const { return FScrollPercent; }
    void SetScrollPercent(int Value) { FScrollPercent = Value; }
    int SizePercent() const { return FSizePercent; }
    void SetSizePercent(int Value) { SetIntegerProperty(FSizePercent, Value); }

    // 0 none, 1 the start arrow, 2 the end arrow.
    int ArrowAt(int X, int Y) const;

    TAxisArrowClickEvent OnClick;

private:
    void DrawArrows();
    void ScrollAxis(double Offset);
    int FHeadWidth = 8;
    int FLength = 16;
    TAxisArrowToolPosition FPosition = aaBoth;
    int FScrollPercent = 10;
    bool FScrollInverted = false;
    int FSizePercent = 50;
};

// --- Colour band ------------------------------------------------------------------------------------

// Fills the chart rectangle between two values of an axis; its edges are colour lines the user may drag.
class TColorBandTool : public TPlotCustomToolAxis {
    PLAT_CLASS(TColorBandTool)
public:
    explicit TColorBandTool(plat::TComponent* AOwner);
    ~TColorBandTool() override;

    std::string Description() const override;
    std::string EditorClassName() const override { return "TColorBandToolEditor"; }
    void ChartEvent(TChartToolEvent Kind) override;
    void ChartMouseEvent(TChartMouseEventKind Kind, plat::TMouseButton Button, plat::TShiftState Shift, int X,
                         int Y) override;
    void SetAxis(TChartAxis* Value) override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    void Loaded() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { SetColorProperty(FColor, Value); }
    plat::TCursor Cursor() const { return FCursor; }
    void SetCursor(plat::TCursor Value) { FCursor = Value; }
    bool DrawBehind() const { return FDrawBehind; }
    void SetDrawBehind(bool Value) { SetBooleanProperty(FDrawBehind, Value); }
    bool DrawBehindAxes() const { return FDrawBehindAxes; }
    void SetDrawBehindAxes(bool Value) { SetBooleanProperty(FDrawBehindAxes, Value); }
    double StartValue() const { return FStartValue; }
    void SetStartValue(double Value);
    double EndValue() const { return FEndValue; }
    void SetEndValue(double Value);
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TPlotGradient* Value) { FGradient->Assign(Value); }
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value) { SetIntegerProperty(FTransparency, Value); }
    TChartPen* StartLinePen() const { return FStartLine->Pen(); }
    void SetStartLinePen(TChartPen* Value) { FStartLine->Pen()->Assign(Value); }
    TChartPen* EndLinePen() const { return FEndLine->Pen(); }
    void SetEndLinePen(TChartPen* Value) { FEndLine->Pen()->Assign(Value); }
    bool ResizeStart() const { return FStartLine->Active(); }
    void SetResizeStart(bool Value);
    bool ResizeEnd() const { return FEndLine->Active(); }
    void SetResizeEnd(bool Value);
    TColorLineTool* StartLine() const { return FStartLine.get(); }
    TColorLineTool* EndLine() const { return FEndLine.get(); }

    // The band on screen; empty without an axis or when the band lies outside the axis' range.
    TRect BoundsRect() const;
    bool Clicked(int X, int Y) const;

    plat::TMouseEvent OnClick;

private:
    void DrawBand();
    void UpdateLineValues();
    void EdgeDragged(TColorLineTool* Line);
    void EdgeDragEnded(TColorLineTool* Line);
    int BandZ() const;
    TColor FColor = plat::clWhite;
    plat::TCursor FCursor = 0;
    bool FDrawBehind = true;
    bool FDrawBehindAxes = false;
    double FEndValue = 0;
    std::unique_ptr<TPlotGradient> FGradient;
    double FStartValue = 0;
    int FTransparency = 0;
    std::unique_ptr<TColorLineTool> FStartLine;
    std::unique_ptr<TColorLineTool> FEndLine;
};

// --- Drag marks -------------------------------------------------------------------------------------

class TDragMarksTool;
using TDragMarkEvent = std::function<void(TDragMarksTool* Sender, int Index, plat::TMouseButton Button,
                                          plat::TShiftState Shift, int X, int Y)>;

// Picks up a series mark with the mouse and moves it; the mark keeps its place as a custom position.
class TDragMarksTool : public TPlotCustomToolSeries {
    PLAT_CLASS(TDragMarksTool)
public:
    explicit TDragMarksTool(plat::TComponent* AOwner);

    std::string Description() const override;
    std::string EditorClassName() const override { return "TDragMarksToolEditor"; }
    void ChartMouseEvent(TChartMouseEventKind Kind, plat::TMouseButton Button, plat::TShiftState Shift, int X,
                         int Y) override;

    // The point index of the mark being dragged, -1 while none is held.
    int DraggedIndex() const { return FIndex; }
    TChartSeries* DraggedSeries() const { return FDragSeries; }

    TDragMarkEvent OnDraggedMark;
    TDragMarkEvent OnDraggingMark;

protected:
    // A held series that goes away ends the drag.
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    // The series and index of the mark under the point; with OnlyVisible, hidden marks do not count.
    bool FindMark(int X, int Y, bool OnlyVisible, TChartSeries*& Series, int& Index) const;
    plat::TPoint FOld;
    int FIndex = -1;
    TChartSeries* FDragSeries = nullptr;
};

} // namespace chart
