// What a series draws at its points besides the data itself: the point symbol (TSeriesPointer), the
// callout arrow from a text box to its point (TCallout, TMarksCallout), and the marks, the small framed
// labels with a point's value, label or percent, with their per-point positions and per-point looks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/PlotCanvas.h"
#include "chart/PlotEngineSeries.h"
#include "chart/PlotEngineShape.h"
#include "platform/rtl/StringList.h"

namespace chart {

// --- Pointer ----------------------------------------------------------------------------------------

enum TSeriesPointerStyle : uint8_t {
    psRectangle,
    psCircle,
    psTriangle,
    psDownTriangle,
    psCross,
    psDiagCross,
    psStar,
    psDiamond,
    psSmallDot,
    psNothing,
    psLeftTriangle,
    psRightTriangle
};

// The symbol of a point: a small shape drawn flat or in 3D around a pixel position.
class TSeriesPointer : public TPlotCustomShapeBrushPen {
    PLAT_CLASS(TSeriesPointer)
public:
    // With a series, the pointer belongs to the series' chart and takes its depths from the series.
    explicit TSeriesPointer(TChartSeries* Series);
    ~TSeriesPointer() override;

    // Dark3D, Draw3D, Gradient, HorizSize, InflateMargins, Style, Transparency, VertSize, then brush, pen
    // and visibility.
    void Assign(plat::TPersistent* Source) override;

    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value);
    bool Draw3D() const { return FDraw3D; }
    void SetDraw3D(bool Value);
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TPlotGradient* Value);
    int HorizSize() const { return FHorizSize; }
    // ChartException for a size of 0 or less; the old size stays.
    void SetHorizSize(int Value);
    int VertSize() const { return FVertSize; }
    void SetVertSize(int Value);
    // Store a size without check or repaint, for series that size their symbols per point.
    void ChangeHorizSize(int Value) { FHorizSize = Value; }
    void ChangeVertSize(int Value) { FVertSize = Value; }
    bool InflateMargins() const { return FInflateMargins; }
    void SetInflateMargins(bool Value);
    TSeriesPointerStyle Style() const { return FStyle; }
    void SetStyle(TSeriesPointerStyle Value);
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);
    TChartSeries* Series() const { return FSeries; }
    bool AllowChangeSize() const { return FAllowChangeSize; }
    void SetAllowChangeSize(bool Value) { FAllowChangeSize = Value; }
    bool FullGradient() const { return FFullGradient; }
    void SetFullGradient(bool Value) { FFullGradient = Value; }
    // The brush colour.
    TColor Color() const;
    void SetColor(TColor Value);

    // When visible and inflating margins, each margin becomes at least the half size + 1.
    void PointerHorizMargins(int& LeftMargin, int& RightMargin) const;
    void PointerVertMargins(int& TopMargin, int& BottomMargin) const;
    // Sets the canvas pen and brush for a point of that colour.
    void PrepareCanvas(TCanvas3D& Canvas, TColor Color);
    // Draws on the chart's canvas with the chart's 3D setting and the pointer's sizes.
    void Draw(int X, int Y, TColor Color, TSeriesPointerStyle Style);
    void DrawPointer(TCanvas3D& Canvas, bool Is3D, int X, int Y, int HorizSize, int VertSize, TColor Color,
                     TSeriesPointerStyle Style);

protected:
    int StartZ() const;
    int MiddleZ() const;
    int EndZ() const;

    bool FDark3D = true;
    bool FDraw3D = true;
    std::unique_ptr<TPlotGradient> FGradient;
    int FHorizSize = 4;
    bool FInflateMargins = true;
    TChartSeries* FSeries;
    TSeriesPointerStyle FStyle = psRectangle;
    int FTransparency = 0;
    int FVertSize = 4;
    bool FAllowChangeSize = true;
    bool FFullGradient = false;

private:
    void FillGradient(TCanvas3D& Canvas, bool Is3D, int Left, int Top, int Right, int Bottom, int X, int Y,
                      TColor Color, TSeriesPointerStyle Style);
};

enum TArrowHeadStyle : uint8_t { ahNone, ahLine, ahSolid };

// A pointer with an arrow from a text box to the point it describes.
class TCallout : public TSeriesPointer {
    PLAT_CLASS(TCallout)
public:
    explicit TCallout(TChartSeries* Series);

    // Distance, Arrow, ArrowHead, ArrowHeadSize, then the pointer.
    void Assign(plat::TPersistent* Source) override;

    TChartPen* Arrow() const { return FArrow.get(); }
    void SetArrow(TChartPen* Value);
    TArrowHeadStyle ArrowHead() const { return FArrowHead; }
    void SetArrowHead(TArrowHeadStyle Value);
    int ArrowHeadSize() const { return FArrowHeadSize; }
    void SetArrowHeadSize(int Value);
    int Distance() const { return FDistance; }
    void SetDistance(int Value);

    // The arrow from From to To at depth Z, and, without a head, the symbol at To.
    void DrawCallout(TColor Color, TPoint To, int Z, TPoint From);

protected:
    std::unique_ptr<TWhitePen> FArrow;
    TArrowHeadStyle FArrowHead = ahNone;
    int FDistance = 0;
    int FArrowHeadSize = 8;
};

class TSeriesMarkPosition;

// The callout of series marks: invisible at first, a white arrow of fixed length.
class TMarksCallout : public TCallout {
    PLAT_CLASS(TMarksCallout)
public:
    explicit TMarksCallout(TChartSeries* Series);

    void Assign(plat::TPersistent* Source) override;

    int Length() const { return FLength; }
    void SetLength(int Value);
    int DefaultLength() const { return FDefaultLength; }
    void SetDefaultLength(int Value) { FDefaultLength = Value; }
    bool IsLengthStored() const { return FLength != FDefaultLength; }
    // Lifts the mark by Length + Distance and starts the arrow Distance above the point.
    void ApplyLength(TSeriesMarkPosition& Position) const;

private:
    int FLength = 8;
    int FDefaultLength = 8;
};

// The small legend symbol a mark may show beside its text.
class TSeriesMarksSymbol : public TPlotCustomShape {
    PLAT_CLASS(TSeriesMarksSymbol)
public:
    explicit TSeriesMarksSymbol(TCustomPlotPanel* Parent);
    // Visible and not transparent.
    bool ShouldDraw() const { return Visible() && !Transparent(); }

protected:
    void InitShadow(TPlotShadow* Shadow) override;
};

// --- Mark positions ---------------------------------------------------------------------------------

// Where the mark of one point was drawn, or where the user placed it (Custom).
class TSeriesMarkPosition {
public:
    TPoint ArrowFrom;
    bool ArrowFix = false; // keep ArrowFrom when a custom position applies
    TPoint ArrowTo;
    bool Custom = false;
    int Height = 0;
    TPoint LeftTop;
    int Width = 0;

    // The three points, height and width; never the two flags.
    void Assign(const TSeriesMarkPosition& Source);
    TRect Bounds() const { return TRect(LeftTop.X, LeftTop.Y, LeftTop.X + Width, LeftTop.Y + Height); }
};

// One optional position per point index.
class TSeriesMarksPositions {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // Null beyond the end or where no position is stored.
    TSeriesMarkPosition* Position(int Index) const;
    // Stores a copy of Position at Index as a custom position (the user placed the mark).
    void Put(int Index, const TSeriesMarkPosition& Position);
    // The entry at Index, created (not custom) when missing.
    TSeriesMarkPosition& Ensure(int Index);
    // Appends a position as read from stored point data.
    void Append(std::unique_ptr<TSeriesMarkPosition> Position) { FItems.push_back(std::move(Position)); }
    // Frees every position: marks return to their automatic places.
    void Clear() { FItems.clear(); }
    void Delete(int Index);
    void DeleteRange(int Start, int Quantity);
    void Exchange(int Index1, int Index2);
    // Some entry is custom.
    bool ExistCustom() const;

private:
    std::vector<std::unique_ptr<TSeriesMarkPosition>> FItems;
};

// --- Marks ------------------------------------------------------------------------------------------

enum TSeriesMarksStyle : uint8_t {
    smsValue,
    smsPercent,
    smsLabel,
    smsLabelPercent,
    smsLabelValue,
    smsLegend,
    smsPercentTotal,
    smsLabelPercentTotal,
    smsXValue,
    smsXY
};

class TSeriesMarks;

// The look of one point's mark, with an optional text of its own.
class TMarksItem : public TPlotCustomShape {
    PLAT_CLASS(TMarksItem)
public:
    explicit TMarksItem(TCustomPlotPanel* Parent);
    ~TMarksItem() override;

    void Assign(plat::TPersistent* Source) override;

    // Created on first read.
    plat::TStrings* Text();
    bool HasText() const { return FText != nullptr; }
    void SetText(plat::TStrings* Value);

private:
    std::unique_ptr<plat::TStringList> FText;
};

// One optional item per point index.
class TMarksItems {
public:
    explicit TMarksItems(TSeriesMarks* Marks) : FMarks(Marks) {}

    int Count() const { return static_cast<int>(FItems.size()); }
    // Null beyond the end or where there is no item.
    TMarksItem* Get(int Index) const;
    // The item at Index, created with the marks' look when missing.
    TMarksItem* Item(int Index);
    void Clear() { FItems.clear(); }
    void Delete(int Index);
    void DeleteRange(int Start, int Quantity);
    bool LoadingCustom() const { return FLoadingCustom; }
    void SetLoadingCustom(bool Value) { FLoadingCustom = Value; }

private:
    TSeriesMarks* FMarks;
    std::vector<std::unique_ptr<TMarksItem>> FItems;
    bool FLoadingCustom = false;
};

class TSeriesMarksGradient : public TPlotGradient {
    PLAT_CLASS(TSeriesMarksGradient)
public:
    explicit TSeriesMarksGradient(TNotifyEvent ChangeHandler = nullptr);
};

// The marks of one series: style, positions, per-point items, callout and symbol, and their drawing.
class TSeriesMarks : public TPlotCustomShape {
    PLAT_CLASS(TSeriesMarks)
public:
    explicit TSeriesMarks(TChartSeries* Series);
    ~TSeriesMarks() override;

    // Angle, Callout, Clip, DrawEvery, Style, MultiLine, Symbol, the items, then the shape.
    void Assign(plat::TPersistent* Source) override;
    // "Items": the per-point items, as a count and one property list per index.
    void DefineProperties(plat::TFiler& Filer) override;
    // The callout and symbol follow the shape's chart.
    void SetParent(TCustomPlotPanel* Value) override;

    int Angle() const { return FAngle; }
    void SetAngle(int Value);
    // Created on first use.
    TMarksCallout* Callout();
    bool HasCallout() const { return FCallout != nullptr; }
    // Null frees the callout; otherwise it is created when missing and takes Value's settings.
    void SetCallout(TMarksCallout* Value);
    TChartPen* Arrow() { return Callout()->Arrow(); }
    void SetArrow(TChartPen* Value) { Callout()->SetArrow(Value); }
    int ArrowLength() { return Callout()->Length(); }
    void SetArrowLength(int Value) { Callout()->SetLength(Value); }
    TColor BackColor() const { return Color(); }
    void SetBackColor(TColor Value) { SetColor(Value); }
    bool Clip() const { return FClip; }
    void SetClip(bool Value);
    int DrawEvery() const { return FDrawEvery; }
    // Values below 1 act as 1.
    void SetDrawEvery(int Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TSeriesMarksStyle Style() const { return FStyle; }
    void SetStyle(TSeriesMarksStyle Value);
    TSeriesMarksSymbol* Symbol();
    bool HasSymbol() const { return FSymbol != nullptr; }
    void SetSymbol(TSeriesMarksSymbol* Value);
    int ZPosition() const { return FZPosition; }
    void SetZPosition(int Value) { FZPosition = Value; }

    TChartSeries* Series() const { return FSeries; }
    TSeriesMarksPositions& Positions() { return FPositions; }
    TMarksItems& Items() { return FItems; }
    // The item at Index, created when missing.
    TMarksItem* Item(int Index) { return FItems.Item(Index); }
    // The item when one exists at Index, else the marks themselves.
    TPlotCustomShape* ItemOrMarks(int Index);

    // Frees every position; the items too unless they were read from a stream.
    void Clear();
    // The text of a point's mark by Style (an item's own text first), then OnGetMarkText.
    std::string GetMarkText(int ValueIndex);
    // Draws the mark of every visible point (every DrawEvery-th, not null).
    void DrawMarks();
    // Draws one mark at Position (merged with the stored position of the point).
    void DrawItem(int ValueIndex, TColor Color, const std::string& Text, TSeriesMarkPosition* Position);
    // The index of the mark under the pixel, -1 when none.
    int Clicked(int X, int Y);
    // The width of the widest line of any shown mark text.
    int MaxMarkWidth();
    // Moves Position up until it no longer overlaps the marks of points First .. Index - 1.
    void RemoveOverlap(int First, int Index, TSeriesMarkPosition& Position);
    // The rectangle of a position, its top-left projected as drawn.
    TRect PositionRect(const TSeriesMarkPosition& Position);

protected:
    void InitShadow(TPlotShadow* Shadow) override;
    std::unique_ptr<TPlotGradient> CreateGradient() override;

private:
    TCanvas3D* ChartCanvas() const;
    void ReadItems(plat::TStream& Stream);
    void WriteItems(plat::TStream& Stream);

    int FAngle = 0;
    std::unique_ptr<TMarksCallout> FCallout;
    bool FClip = false;
    int FDrawEvery = 1;
    TMarksItems FItems;
    TSeriesMarksStyle FStyle = smsLabel;
    bool FMultiLine = false;
    TChartSeries* FSeries;
    TSeriesMarksPositions FPositions;
    std::unique_ptr<TSeriesMarksSymbol> FSymbol;
    int FZPosition = 0;
};

} // namespace chart
