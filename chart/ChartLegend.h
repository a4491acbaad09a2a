// The chart legend: a box that lists the chart's series (a colour symbol per row, optionally a check box
// or radio button that switches the series) or the points of one series. It sizes itself from its texts,
// sits at a side of the chart or at its own position, takes its room from the plotting area, splits each
// row's text into two columns, and tells which row is under the mouse.
#pragma once

#include <iterator>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/PlotEngineSeries.h"
#include "chart/PlotEngineShape.h"
#include "chart/PlotProcsPanel.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/TextAlignment.h"

namespace chart {

class TCustomAxisPanel;
class TCustomChart;
class TCustomChartLegend;
class TChartSeries;

// Raised by the legend's setters for values it cannot take; nothing is stored then.
class LegendException : public plat::Exception {
public:
    using plat::Exception::Exception;
    const char* ClassName() const override { return "LegendException"; }
};

enum TLegendAlignment : uint8_t { laLeft, laRight, laTop, laBottom };
enum TCheckBoxesStyle : uint8_t { cbsCheck, cbsRadio };
inline constexpr const char* kCheckBoxesStyleNames[] = {"cbsCheck", "cbsRadio"};
static_assert(std::size(kCheckBoxesStyleNames) == cbsRadio + 1);
enum TLegendStyle : uint8_t { lsAuto, lsSeries, lsValues, lsLastValues };
enum TLegendSymbolPosition : uint8_t { spLeft, spRight };
enum TLegendSymbolSize : uint8_t { lcsPercent, lcsPixels };

// Draws a legend symbol in place of the legend's own drawing.
using TSymbolDrawEvent =
    std::function<void(plat::TObject* Sender, TChartSeries* Series, int ValueIndex, const TRect& R)>;
// The legend's size hook: may change the size the layout computed.
using TLegendCalcSizeEvent = std::function<void(TCustomChartLegend* Sender, int& Size)>;

// The legend box gradient: silver to white from right to left.
class TChartLegendGradient : public TPlotGradient {
    PLAT_CLASS(TChartLegendGradient)
public:
    explicit TChartLegendGradient(TNotifyEvent ChangeHandler = nullptr);
};

// The colour symbol of a legend row.
class TLegendSymbol : public plat::TPersistent {
    PLAT_CLASS(TLegendSymbol)
public:
    explicit TLegendSymbol(TCustomChartLegend* Legend);
    ~TLegendSymbol() override;

    // One unbroken colour bar over all rows.
    bool Continuous() const { return FContinuous; }
    void SetContinuous(bool Value);
    // The series' own pen draws the symbol frame; off, Pen does.
    bool DefaultPen() const { return FDefaultPen; }
    void SetDefaultPen(bool Value);
    // Created on first read (invisible).
    TPlotGradient* Gradient();
    bool HasGradient() const { return FGradient != nullptr; }
    void SetGradient(TPlotGradient* Value);
    TChartPen* Pen() const { return FPen.get(); }
    void SetPen(TChartPen* Value) { FPen->Assign(Value); }
    TLegendSymbolPosition Position() const { return FPosition; }
    void SetPosition(TLegendSymbolPosition Value);
    TPlotShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TPlotShadow* Value) { FShadow->Assign(Value); }
    // As wide as a row is high.
    bool Squared() const { return FSquared; }
    void SetSquared(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TLegendSymbolSize WidthUnits() const { return FWidthUnits; }
    void SetWidthUnits(TLegendSymbolSize Value);

    TSymbolDrawEvent OnDraw;

    // A visible gradient or a visible shadow: the symbol draws itself instead of the plain rectangle.
    bool DrawsItself() const;
    // Draws the symbol for Rect in Colour (shadow, gradient or solid fill, frame).
    void Draw(TColor Colour, const TRect& Rect);

    void Assign(plat::TPersistent* Source) override;

private:
    void Changed();
    template <class T> void Store(T& Field, const T& Value) {
        if (Field != Value) {
            Field = Value;
            Changed();
        }
    }
    TCustomChartLegend* FLegend;
    bool FContinuous = false;
    bool FDefaultPen = true;
    std::unique_ptr<TPlotGradient> FGradient;
    std::unique_ptr<TChartPen> FPen;
    TLegendSymbolPosition FPosition = spLeft;
    std::unique_ptr<TPlotShadow> FShadow;
    bool FSquared = false;
    bool FVisible = true;
    int FWidth = 20;
    TLegendSymbolSize FWidthUnits = lcsPercent;
};

// The caption lines at the top of the legend box.
class TLegendTitle : public TPlotShape {
    PLAT_CLASS(TLegendTitle)
public:
    explicit TLegendTitle(TCustomPlotPanel* Parent);
    ~TLegendTitle() override;

    plat::TStrings* Text() const { return FText.get(); }
    void SetText(plat::TStrings* Value);
    plat::TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(plat::TAlignment Value);
    // Replaces the lines by one text split at line breaks.
    void SetCaption(const std::string& Value);

    void Assign(plat::TPersistent* Source) override;

protected:
    void InitShadow(TPlotShadow* Shadow) override;

private:
    std::unique_ptr<plat::TStringList> FText;
    plat::TAlignment FTextAlignment = plat::taLeftJustify;
};

// Where one row of the last layout was drawn.
struct TLegendItem {
    uint32_t Align = 0; // device text alignment of column 0
    int Left = 0;       // text x of column 0
    TRect SymbolRect;
    std::string Text; // column 0
    int Top = 0;      // text y
    TCustomChartLegend* Legend = nullptr;
};

// The rows of the last layout. While Custom is set the layout keeps the remembered positions and texts.
class TLegendItems {
public:
    explicit TLegendItems(TCustomChartLegend* Legend) : FLegend(Legend) {}
    ~TLegendItems();

    bool Custom() const { return FCustom; }
    void SetCustom(bool Value) { FCustom = Value; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Grows the list up to Index and creates the item on first use.
    TLegendItem* Item(int Index);
    // Frees every item and repaints the chart.
    void Clear();
    // Frees every item without repainting (the layout does it while it draws).
    void ClearItems() { FItems.clear(); }

private:
    TCustomChartLegend* FLegend;
    bool FCustom = false;
    std::vector<std::unique_ptr<TLegendItem>> FItems;
};

// The two column texts of one row.
struct TLegendItemText {
    std::string Text[2];
};

class TCustomChartLegend : public TPlotCustomShapePosition {
    PLAT_CLASS(TCustomChartLegend)
public:
    explicit TCustomChartLegend(TCustomPlotPanel* Parent);
    ~TCustomChartLegend() override;

    // --- Settings ---
    TLegendAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TLegendAlignment Value);
    bool CheckBoxes() const { return FCheckBoxes; }
    void SetCheckBoxes(bool Value);
    TCheckBoxesStyle CheckBoxesStyle() const { return FCheckBoxesStyle; }
    // With cbsRadio only the first active legend series stays active.
    void SetCheckBoxesStyle(TCheckBoxesStyle Value);
    // With paging, a value legend lists the points of the current page.
    bool CurrentPage() const { return FCurrentPage; }
    void SetCurrentPage(bool Value);
    TChartHiddenPen* DividingLines() const { return FDividingLines.get(); }
    void SetDividingLines(TChartHiddenPen* Value) { FDividingLines->Assign(Value); }
    int FirstValue() const { return FFirstValue; }
    // LegendException below 0.
    void SetFirstValue(int Value);
    // Rows take the colour of their series.
    bool FontSeriesColor() const { return FFontSeriesColor; }
    void SetFontSeriesColor(bool Value);
    int HorizMargin() const { return FHorizMargin; }
    void SetHorizMargin(int Value);
    bool Inverted() const { return FInverted; }
    void SetInverted(bool Value);
    TLegendItems& Items() { return FItems; }
    int LeftPercent() const { return FLeftPercent; }
    void SetLeftPercent(int Value);
    TLegendStyle LegendStyle() const { return FLegendStyle; }
    void SetLegendStyle(TLegendStyle Value);
    int MaxNumRows() const { return FMaxNumRows; }
    void SetMaxNumRows(int Value);
    TPlotUnits PositionUnits() const { return FPositionUnits; }
    void SetPositionUnits(TPlotUnits Value);
    bool ResizeChart() const { return FResizeChart; }
    void SetResizeChart(bool Value);
    TLegendSymbol* Symbol() const { return FSymbol.get(); }
    void SetSymbol(TLegendSymbol* Value) { FSymbol->Assign(Value); }
    int ColorWidth() const { return FSymbol->Width(); }
    void SetColorWidth(int Value) { FSymbol->SetWidth(Value); }
    TLegendTextStyle TextStyle() const { return FTextStyle; }
    void SetTextStyle(TLegendTextStyle Value);
    TLegendTitle* Title() const { return FTitle.get(); }
    void SetTitle(TLegendTitle* Value) { FTitle->Assign(Value); }
    // Percent of the panel where a side legend starts (or a top/bottom legend is centred).
    int TopPos() const { return FTopPos; }
    void SetTopPos(int Value);
    int TopPercent() const { return FTopPercent; }
    void SetTopPercent(int Value);
    int VertMargin() const { return FVertMargin; }
    void SetVertMargin(int Value);
    int VertSpacing() const { return FVertSpacing; }
    void SetVertSpacing(int Value);
    // The series a value legend lists; null: the first active series.
    TChartSeries* Series() const { return FSeries; }
    void SetSeries(TChartSeries* Value);

    TLegendCalcSizeEvent OnCalcSize;

    // --- State of the last layout ---
    int SymbolPixels() const { return FSymbolPixels; }
    int LastIndex() const { return FLastIndex; }
    int ItemCount() const { return FItemCount; }
    bool DrawTitleFlag() const { return FDrawTitleFlag; }
    TLegendStyle StyleInEffect() const { return FStyleInEffect; }
    int ColumnCount() const { return FColumnCount; }
    int RowCount() const { return FRowCount; }
    bool AutoColumnWidths() const { return FAutoColumnWidths; }
    void SetAutoColumnWidths(bool Value) { FAutoColumnWidths = Value; }
    int ColumnWidth(int Column) const { return FColumnWidths[Column]; }
    void SetColumnWidth(int Column, int Value) { FColumnWidths[Column] = Value; }
    // Top of the first row (below the title when it is drawn).
    int ItemTop() const;

    // --- Operations ---
    bool WillDraw() const;
    bool IsVertical() const { return FAlignment == laLeft || FAlignment == laRight; }
    bool CheckBoxesInEffect() const { return FCheckBoxes && FStyleInEffect != lsValues; }
    // The legend box layout and drawing; called by the chart while it draws.
    void Draw();
    // The item under the point, -1 when none.
    int RowAtPoint(int X, int Y);
    int Clicked(int X, int Y) { return RowAtPoint(X, Y); }
    // A click on a row of a check-box legend: toggles (or, with radio buttons, selects) its series.
    bool CheckBoxClick(int Index);
    int RowHeight();
    int SymbolWidthFor(int TextWidth);
    // The text of an item in the style in effect (before the chart's OnGetLegendText).
    std::string ItemText(int Index);
    void DrawSymbol(TChartSeries* ASeries, int ValueIndex, const TRect& R);
    static void DrawCheckBox(int X, int Y, TPlotCanvas& Canvas, bool Marked, TColor Background,
                             TCheckBoxesStyle Style);
    // The series that show in the legend, the active ones (or all with check boxes), in chart order.
    TChartSeries* LegendSeriesAt(int Index) const;
    TCustomAxisPanel* Chart() const;

    void Assign(plat::TPersistent* Source) override;

protected:
    std::unique_ptr<TPlotGradient> CreateGradient() override;

private:
    friend class TLegendSymbol;
    friend class TLegendItems;
    void Changed();
    template <class T> void Store(T& Field, const T& Value) {
        if (Field != Value) {
            Field = Value;
            Changed();
        }
    }
    TLegendStyle ResolveStyle() const;
    int CountItems();
    void FillTexts(int& TextWidth);
    int TitleHeight();
    int TitleWidth();
    int CalcSize(int Size);
    void DrawTitleBox();
    void DrawRows(int TextWidth, int CheckX, int X, int V, int RowH, int Space);
    void ResizeChartRect();
    int RowAt(int Y);
    TChartSeries* ValueSeries() const;

    TLegendAlignment FAlignment = laRight;
    bool FCheckBoxes = false;
    TCheckBoxesStyle FCheckBoxesStyle = cbsCheck;
    bool FCurrentPage = true;
    std::unique_ptr<TChartHiddenPen> FDividingLines;
    int FFirstValue = 0;
    bool FFontSeriesColor = false;
    int FHorizMargin = 0;
    bool FInverted = false;
    TLegendItems FItems;
    int FLeftPercent = 0;
    TLegendStyle FLegendStyle = lsAuto;
    int FMaxNumRows = 10;
    TPlotUnits FPositionUnits = muPixels;
    bool FResizeChart = true;
    std::unique_ptr<TLegendSymbol> FSymbol;
    TLegendTextStyle FTextStyle = ltsLeftValue;
    std::unique_ptr<TLegendTitle> FTitle;
    int FTopPos = 10;
    int FTopPercent = 0;
    int FVertMargin = 0;
    int FVertSpacing = 0;
    int FSymbolPixels = 0;
    int FLastIndex = -1;
    int FItemCount = 0;
    bool FDrawTitleFlag = false;
    TLegendStyle FStyleInEffect = lsAuto;
    int FColumnCount = 0;
    int FRowCount = 0;
    bool FAutoColumnWidths = true;
    int FColumnWidths[2] = {0, 0};
    TChartSeries* FSeries = nullptr;
    // Working values of one layout.
    std::vector<TLegendItemText> FTexts;
    int FFrameWidth = 0;
    int FTitleHeight = 0;
};

// The legend as the chart publishes it.
class TChartLegend : public TCustomChartLegend {
    PLAT_CLASS(TChartLegend)
public:
    explicit TChartLegend(TCustomPlotPanel* Parent) : TCustomChartLegend(Parent) {}
};

} // namespace chart
