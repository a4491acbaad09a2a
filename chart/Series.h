// The series kinds that draw their points as a chain: the shared drawing engine (TCustomSeries: lines,
// stair steps, areas, point symbols, stacking, shadow and outline passes, legend symbol, margins and the
// hit test), the line series of every analysis frame, its horizontal variant, and the fast line that
// draws thousands of points as one polyline for the live display.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/PlotCanvas.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotEngineSeries.h"

namespace chart {

class TCustomAxisPanel;
class TCustomSeries;

// The base of every series that joins points by lines. Its LinePen is the element's own Pen.
class TCustomLineSeries : public TChartSeries {
    PLAT_CLASS(TCustomLineSeries)
public:
    explicit TCustomLineSeries(plat::TComponent* AOwner) : TChartSeries(AOwner) {}

    TChartPen* LinePen() const { return Pen(); }
    void SetLinePen(TChartPen* Value) { SetPen(Value); }
};

enum TCustomSeriesStack : uint8_t { cssNone, cssOverlap, cssStack, cssStack100 };

using TSeriesClickPointerEvent = std::function<void(TCustomSeries* Sender, int ValueIndex, int X, int Y)>;
using TOnGetPointerStyle = std::function<TSeriesPointerStyle(TChartSeries* Sender, int ValueIndex)>;

// The engine shared by line, point and area series: for every visible point in drawing order it joins
// the point to the previous one (line, stair step or filled area) and draws the point's symbol.
class TCustomSeries : public TCustomLineSeries {
    PLAT_CLASS(TCustomSeries)
public:
    explicit TCustomSeries(plat::TComponent* AOwner);
    ~TCustomSeries() override;

    // Every setting below, then the TChartSeries part.
    void Assign(plat::TPersistent* Source) override;
    std::string EditorClassName() const override { return "TCustomSeriesEditor"; }
    // The pointer follows the series to its chart.
    void SetParentChart(TCustomAxisPanel* Value) override;
    void Added() override;
    void Removed() override;

    // --- Settings ---
    TChartBrush* AreaChartBrush() const { return FAreaChartBrush.get(); }
    void SetAreaChartBrush(TChartBrush* Value) { FAreaChartBrush->Assign(Value); }
    plat::TBrushStyle AreaBrush() const { return FAreaChartBrush->Style(); }
    void SetAreaBrush(plat::TBrushStyle Value) { FAreaChartBrush->SetStyle(Value); }
    TColor AreaColor() const { return FAreaColor; }
    void SetAreaColor(TColor Value) { SetColorProperty(FAreaColor, Value); }
    TChartPen* AreaLinesPen() const { return FAreaLinesPen.get(); }
    void SetAreaLinesPen(TChartPen* Value) { FAreaLinesPen->Assign(Value); }
    bool ClickableLine() const { return FClickableLine; }
    void SetClickableLine(bool Value) { SetBooleanProperty(FClickableLine, Value); }
    bool ColorEachLine() const { return FColorEachLine; }
    void SetColorEachLine(bool Value) { SetBooleanProperty(FColorEachLine, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    bool DrawArea() const { return FDrawArea; }
    void SetDrawArea(bool Value) { SetBooleanProperty(FDrawArea, Value); }
    bool DrawLine() const { return FDrawLine; }
    void SetDrawLine(bool Value) { SetBooleanProperty(FDrawLine, Value); }
    bool InvertedStairs() const { return FInvertedStairs; }
    void SetInvertedStairs(bool Value) { SetBooleanProperty(FInvertedStairs, Value); }
    int LineHeight() const { return FLineHeight; }
    void SetLineHeight(int Value) { SetIntegerProperty(FLineHeight, Value); }
    // Style of the 3D ribbon's brush (the element's Brush).
    plat::TBrushStyle LineBrush() const { return Brush()->Style(); }
    void SetLineBrush(plat::TBrushStyle Value) { Brush()->SetStyle(Value); }
    TChartHiddenPen* OutLine() const { return FOutLine.get(); }
    void SetOutLine(TChartHiddenPen* Value) { FOutLine->Assign(Value); }
    TSeriesPointer* Pointer() const { return FPointer.get(); }
    void SetPointer(TSeriesPointer* Value) { FPointer->Assign(Value); }
    TPlotShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TPlotShadow* Value) { FShadow->Assign(Value); }
    TCustomSeriesStack Stacked() const { return FStacked; }
    // Also gives the mode to every series of the chart whose class this series is an instance of.
    void SetStacked(TCustomSeriesStack Value);
    bool Stairs() const { return FStairs; }
    void SetStairs(bool Value) { SetBooleanProperty(FStairs, Value); }
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TPlotGradient* Value) { FGradient->Assign(Value); }

    TSeriesClickPointerEvent OnClickPointer;
    TOnGetPointerStyle OnGetPointerStyle;

    // --- Operations the kinds refine ---
    // Callout length plus callout distance of the marks.
    virtual int MarkDistance();
    // The pointer of point ValueIndex drawn at (PX, PY) covers the mouse at (X, Y).
    virtual bool IsPointAt(int ValueIndex, int PX, int PY, int X, int Y);
    virtual TPlotGradient* GetGradient() { return FGradient.get(); }
    // Percent, 0..100.
    virtual int GetTransparency() { return FTransparency; }
    virtual void SetTransparency(int Value);
    int Transparency() { return GetTransparency(); }
    // Called before the pointer of a point is measured or drawn; kinds size their symbols here.
    virtual void PreparePointer(int ValueIndex) {}
    // The pixel of the area origin at a point: the stack below, or the end of the mandatory axis.
    virtual int OriginPosition(int ValueIndex);
    // Draws one point's symbol in its style.
    virtual void DrawPointer(int X, int Y, TColor Color, int ValueIndex);
    // OnGetPointerStyle's answer, else the pointer's Style.
    TSeriesPointerStyle GetPointerStyle(int ValueIndex);

    // --- TChartSeries ---
    void GetHorizMargins(int& LeftMargin, int& RightMargin) override;
    void GetVertMargins(int& TopMargin, int& BottomMargin) override;
    void CalcZOrder() override;
    void DrawAllValues() override;
    void DrawLegendSymbol(int ValueIndex, const TRect& Rect) override;
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override;
    void DrawValue(int ValueIndex) override;
    bool HasClickEvents() override;
    double MaxX() override;
    double MaxY() override;
    double MinX() override;
    double MinY() override;
    int ScreenX(int ValueIndex) override;
    int ScreenY(int ValueIndex) override;
    int PointAtPixel(int X, int Y) override;

    // Sum of the mandatory values at ValueIndex of the active series of this class family before this
    // one (or of all with All) that have the sign of this series' own value there.
    double PointOrigin(int ValueIndex, bool All);

    // Working state of a drawing pass.
    int PrevX() const { return FPrevX; }
    int PrevY() const { return FPrevY; }
    TColor PrevColor() const { return FPrevColor; }
    int OriginPixel() const { return FOriginPixel; }
    int PrevOriginPixel() const { return FPrevOriginPixel; }
    double DarkSlope() const { return FDarkSlope; }

protected:
    // The index drawn first and last in the current drawing order.
    int FirstDrawnIndex();
    int LastDrawnIndex();
    // The stacked pixel of value Value at a point; Value is that point's own value for ScreenX/ScreenY.
    int StackedPixel(int ValueIndex, double Value);
    // Joins the previous point to (X, Y); with pointers, draws the symbols that are due.
    void DrawSegment(int ValueIndex, int X, int Y, TColor Color, bool WithPointers);
    // The line pen in Color, the brush cleared (2D) or in the ribbon's style (3D).
    void PrepareLinePen(TColor Color);
    void DrawStairsOrLine(int X, int Y);
    void DrawArea3DRibbon(int ValueIndex, int X, int Y, TColor Color);
    void FillArea(int ValueIndex, int X, int Y, TColor Color);
    // The area colour rule: AreaColor unless ColorEachPoint or AreaColor is automatic, else Color.
    TColor AreaColorFor(TColor Color) const;
    // The chart is drawn in 3D.
    bool Chart3D() const;
    TColor SetSeriesColorSilently(TColor Value);
    void RestoreSeriesColor(TColor Stored, TColor LastAssigned);

    std::unique_ptr<TChartBrush> FAreaChartBrush;
    TColor FAreaColor = AutoColor;
    std::unique_ptr<TChartPen> FAreaLinesPen;
    bool FClickableLine = true;
    bool FColorEachLine = true;
    bool FDark3D = true;
    bool FDrawArea = false;
    bool FDrawLine = false;
    bool FInvertedStairs = false;
    int FLineHeight = 0;
    std::unique_ptr<TChartHiddenPen> FOutLine;
    std::unique_ptr<TSeriesPointer> FPointer;
    std::unique_ptr<TPlotShadow> FShadow;
    TCustomSeriesStack FStacked = cssNone;
    bool FStairs = false;
    int FTransparency = 0;
    int FOriginPixel = 0;
    int FPrevOriginPixel = 0;
    int FPrevX = 0;
    int FPrevY = 0;
    TColor FPrevColor = plat::clNone;
    double FDarkSlope = 0;
    std::unique_ptr<TPlotGradient> FGradient;

private:
    // While the series draws its own pass in 2D with a thin solid line and no symbols, the segments of
    // one colour are gathered into one polyline, which the canvas draws far faster than as separate
    // lines; nothing else draws on the canvas until the chain is flushed.
    bool CanChainLines();
    void ChainSegment(int FromX, int FromY, int X, int Y, TColor Color);
    void FlushChain();
    void DrawPass();
    // Points whose pixels come straight from the two axes in one colour: the engine's own line kinds,
    // unstacked, without per-point colours. Their chain is gathered without a call per point.
    bool HasPlainPoints();
    void ChainPlainPoints();

    bool FChaining = false;
    std::vector<TPoint> FChain;
    std::vector<int> FPixelsX, FPixelsY;
    TColor FChainColor = plat::clNone;
    int FPassFirstDrawn = -1;
    int FPassLastDrawn = -1;
    bool FPassForward = true;
};

// Points joined by straight lines or stair steps: the kind of every frame in a chart window.
class TLineSeries : public TCustomSeries {
    PLAT_CLASS(TLineSeries)
public:
    explicit TLineSeries(plat::TComponent* AOwner);

    // The TCustomSeries assignment; the pointer stays visible only from a series of this class; always
    // lines, never an area.
    void Assign(plat::TPersistent* Source) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, plat::TBrushStyle& BrushStyle) override;
    void AddGallerySubTypes(const TChartSubGalleryProc& AddSubChart) override;
    void ApplyGallerySubType(int Index) override;
};

// The line series with x and y exchanged: points ordered by y, the line running up the chart.
class THorizLineSeries : public TLineSeries {
    PLAT_CLASS(THorizLineSeries)
public:
    explicit THorizLineSeries(plat::TComponent* AOwner);

    // The width of the widest visible mark.
    int MarkDistance() override;
    // Marks sit beside the point on the far side from the origin, vertically centred.
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override;
};

// Many points drawn quickly as one polyline with one pen: no symbols, areas, stacking or per-point
// colours; points on an already drawn pixel column can be skipped, and a new point can be drawn at once
// without repainting the chart.
class TFastLineSeries : public TCustomLineSeries {
    PLAT_CLASS(TFastLineSeries)
public:
    explicit TFastLineSeries(plat::TComponent* AOwner);

    // From another fast line: the six flags; then the TChartSeries part.
    void Assign(plat::TPersistent* Source) override;
    std::string EditorClassName() const override { return "TFastLineSeriesEditor"; }

    bool AutoRepaint() const { return FAutoRepaint; }
    void SetAutoRepaint(bool Value) { FAutoRepaint = Value; }
    bool DrawAllPoints() const { return FDrawAllPoints; }
    void SetDrawAllPoints(bool Value) { SetBooleanProperty(FDrawAllPoints, Value); }
    bool IgnoreNulls() const { return FIgnoreNulls; }
    void SetIgnoreNulls(bool Value) { SetBooleanProperty(FIgnoreNulls, Value); }
    bool InvertedStairs() const { return FInvertedStairs; }
    void SetInvertedStairs(bool Value) { SetBooleanProperty(FInvertedStairs, Value); }
    bool Stairs() const { return FStairs; }
    void SetStairs(bool Value) { SetBooleanProperty(FStairs, Value); }
    bool UseStockDCPen() const { return FUseStockDCPen; }
    // Draws the at-once segments with the device's stock pen whose colour can change without a new
    // pen; only where the drawing layer offers it, otherwise nothing changes.
    void SetStockDCPen(bool On);
    plat::HPEN StockPenHandle() const { return FStockPenHandle; }
    int PrevX() const { return FPrevX; }
    int PrevY() const { return FPrevY; }

    // Keeps the series colour and the line pen's colour equal.
    void SetSeriesColor(TColor Value) override;
    void SetPen(TChartPen* Value) override;
    void Added() override;

    void GetHorizMargins(int& LeftMargin, int& RightMargin) override;
    void GetVertMargins(int& TopMargin, int& BottomMargin) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, plat::TBrushStyle& BrushStyle) override;
    void DrawLegendSymbol(int ValueIndex, const TRect& Rect) override;
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    // With AutoRepaint off the new segment is drawn at once instead of events and a repaint.
    void AfterAddPoint(int ValueIndex) override;
    int PointAtPixel(int X, int Y) override;
    void AddGallerySubTypes(const TChartSubGalleryProc& AddSubChart) override;
    void ApplyGallerySubType(int Index) override;

private:
    // The pixel of a point straight through the axes' position functions.
    TPoint PointPixel(int ValueIndex) const;
    void PrepareCanvas();
    void PenMoveTo(int X, int Y);
    void PenLineTo(int X, int Y);
    void FlushChain();

    bool FAutoRepaint = true;
    bool FDrawAllPoints = true;
    bool FUseStockDCPen = false;
    bool FIgnoreNulls = true;
    bool FInvertedStairs = false;
    bool FStairs = false;
    plat::HPEN FStockPenHandle;
    int FPrevX = 0;
    int FPrevY = 0;
    // See TCustomSeries: the points of one pen stroke, drawn as one polyline.
    bool FChaining = false;
    std::vector<TPoint> FChain;
};

} // namespace chart
