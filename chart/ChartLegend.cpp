#include "chart/ChartLegend.h"

#include <algorithm>
#include <cstdlib>

#include "chart/Chart.h"
#include "chart/PlotConst.h"
#include "chart/PlotHtml.h"
#include "platform/gfx/FrameControls.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TChartLegendGradient, TPlotGradient)
PLAT_CLASS_INFO(TLegendSymbol, TPersistent)
PLAT_CLASS_INFO(TLegendTitle, TPlotShape)
PLAT_CLASS_INFO(TCustomChartLegend, TPlotCustomShapePosition)
PLAT_CLASS_INFO(TChartLegend, TCustomChartLegend)

namespace {
const char* const kLegendAlignmentNames[] = {"laLeft", "laRight", "laTop", "laBottom"};
static_assert(std::size(kLegendAlignmentNames) == laBottom + 1);
const char* const kLegendStyleNames[] = {"lsAuto", "lsSeries", "lsValues", "lsLastValues"};
static_assert(std::size(kLegendStyleNames) == lsLastValues + 1);
const char* const kSymbolPositionNames[] = {"spLeft", "spRight"};
static_assert(std::size(kSymbolPositionNames) == spRight + 1);
const char* const kSymbolSizeNames[] = {"lcsPercent", "lcsPixels"};
static_assert(std::size(kSymbolSizeNames) == lcsPixels + 1);
const char* const kTextStyleNames[] = {"ltsPlain",        "ltsLeftValue",  "ltsRightValue", "ltsLeftPercent",
                                       "ltsRightPercent", "ltsXValue",     "ltsValue",      "ltsPercent",
                                       "ltsXAndValue",    "ltsXAndPercent"};
static_assert(std::size(kTextStyleNames) == ltsXAndPercent + 1);

constexpr char kColumnSeparator = '\x06';

// Which text styles put the value (right-aligned) in column 0 and in column 1.
bool RightAlignedColumn(TLegendTextStyle Style, int Column) {
    if (Column == 0)
        switch (Style) {
        case ltsLeftValue:
        case ltsLeftPercent:
        case ltsXValue:
        case ltsValue:
        case ltsPercent:
        case ltsXAndValue:
        case ltsXAndPercent:
            return true;
        default:
            return false;
        }
    switch (Style) {
    case ltsRightValue:
    case ltsRightPercent:
    case ltsXAndValue:
    case ltsXAndPercent:
        return true;
    default:
        return false;
    }
}

// The point a value legend row stands for; every series kind of the engine lists its points in order.
int SourceIndexOf(TChartSeries* /*Series*/, int Index) {
    return Index;
}

std::vector<std::string> LinesOf(const TStrings& Text) {
    std::vector<std::string> lines;
    for (int i = 0; i < Text.Count(); ++i)
        lines.push_back(Text.Strings(i));
    return lines;
}

bool HasText(const TStrings& Text) {
    for (int i = 0; i < Text.Count(); ++i)
        if (!Text.Strings(i).empty())
            return true;
    return false;
}
} // namespace

// --- Gradient ---------------------------------------------------------------------------------------

TChartLegendGradient::TChartLegendGradient(TNotifyEvent ChangeHandler)
    : TPlotGradient(std::move(ChangeHandler)) {
    FDirection = gdRightLeft;
    FEndColor = clWhite;
    FStartColor = clSilver;
}

PLAT_PROPERTIES(TChartLegendGradient) {
    props.Default("Direction", gdRightLeft);
    props.Default("EndColor", clWhite);
    props.Default("StartColor", clSilver);
}

// --- Symbol -----------------------------------------------------------------------------------------

TLegendSymbol::TLegendSymbol(TCustomChartLegend* Legend) : FLegend(Legend) {
    TNotifyEvent changed = [this](TObject*) { Changed(); };
    FPen = std::make_unique<TChartPen>(changed);
    FShadow = std::make_unique<TPlotShadow>(changed);
}

TLegendSymbol::~TLegendSymbol() = default;

void TLegendSymbol::Changed() {
    if (FLegend != nullptr)
        FLegend->Changed();
}

void TLegendSymbol::SetContinuous(bool Value) {
    Store(FContinuous, Value);
}
void TLegendSymbol::SetDefaultPen(bool Value) {
    Store(FDefaultPen, Value);
}
void TLegendSymbol::SetPosition(TLegendSymbolPosition Value) {
    Store(FPosition, Value);
}
void TLegendSymbol::SetSquared(bool Value) {
    Store(FSquared, Value);
}
void TLegendSymbol::SetVisible(bool Value) {
    Store(FVisible, Value);
}
void TLegendSymbol::SetWidth(int Value) {
    Store(FWidth, Value);
}
void TLegendSymbol::SetWidthUnits(TLegendSymbolSize Value) {
    Store(FWidthUnits, Value);
}

TPlotGradient* TLegendSymbol::Gradient() {
    if (!FGradient)
        FGradient = std::make_unique<TPlotGradient>([this](TObject*) { Changed(); });
    return FGradient.get();
}

void TLegendSymbol::SetGradient(TPlotGradient* Value) {
    if (Value == nullptr) {
        FGradient.reset();
        Changed();
    } else {
        Gradient()->Assign(Value);
    }
}

bool TLegendSymbol::DrawsItself() const {
    return (FGradient && FGradient->Visible()) || FShadow->HorizSize() != 0 || FShadow->VertSize() != 0;
}

void TLegendSymbol::Draw(TColor Colour, const TRect& Rect) {
    TCustomAxisPanel* chart = FLegend != nullptr ? FLegend->Chart() : nullptr;
    if (chart == nullptr)
        return;
    TPlotCanvas3D& canvas = *chart->DrawCanvas();
    if (FShadow->HorizSize() != 0 || FShadow->VertSize() != 0)
        FShadow->DrawForRect(canvas, Rect);
    canvas.UseChartPen(FPen.get());
    if (FGradient && FGradient->Visible()) {
        FGradient->SetEndColor(Colour);
        FGradient->FillRectangle(canvas, Rect);
        canvas.Brush()->SetStyle(bsClear);
    } else {
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(Colour);
    }
    if (FPen->Visible())
        canvas.DrawRectangle(Rect);
}

void TLegendSymbol::Assign(TPersistent* Source) {
    auto* symbol = dynamic_cast<TLegendSymbol*>(Source);
    if (symbol == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FContinuous = symbol->FContinuous;
    SetGradient(symbol->FGradient.get());
    FPen->Assign(symbol->FPen.get());
    FPosition = symbol->FPosition;
    FShadow->Assign(symbol->FShadow.get());
    FSquared = symbol->FSquared;
    FWidth = symbol->FWidth;
    FWidthUnits = symbol->FWidthUnits;
    FVisible = symbol->FVisible;
    Changed();
}

PLAT_PROPERTIES(TLegendSymbol) {
    props.Boolean("Continuous", &TLegendSymbol::Continuous, &TLegendSymbol::SetContinuous, false);
    props.Boolean("DefaultPen", &TLegendSymbol::DefaultPen, &TLegendSymbol::SetDefaultPen, true);
    props.Object("Gradient", &TLegendSymbol::Gradient, &TLegendSymbol::SetGradient)
        .Stored(&TLegendSymbol::HasGradient);
    props.Object("Pen", &TLegendSymbol::Pen, &TLegendSymbol::SetPen);
    props.Enum("Position", &TLegendSymbol::Position, &TLegendSymbol::SetPosition, kSymbolPositionNames,
               spLeft);
    props.Object("Shadow", &TLegendSymbol::Shadow, &TLegendSymbol::SetShadow);
    props.Boolean("Squared", &TLegendSymbol::Squared, &TLegendSymbol::SetSquared, false);
    props.Boolean("Visible", &TLegendSymbol::Visible, &TLegendSymbol::SetVisible, true);
    props.Integer("Width", &TLegendSymbol::Width, &TLegendSymbol::SetWidth, 20);
    props.Enum("WidthUnits", &TLegendSymbol::WidthUnits, &TLegendSymbol::SetWidthUnits, kSymbolSizeNames,
               lcsPercent);
}

// --- Title ------------------------------------------------------------------------------------------

TLegendTitle::TLegendTitle(TCustomPlotPanel* Parent)
    : TPlotShape(Parent), FText(std::make_unique<TStringList>()) {
    FText->OnChange = [this](TObject*) { Repaint(); };
    // The base constructor set the shape's own shadow defaults.
    InitShadow(Shadow());
    SetTransparent(true);
    SetDefaultTransparent(true);
    Font()->SetStyle(fsBold);
    Font()->SetDefaultStyle(fsBold);
}

TLegendTitle::~TLegendTitle() {
    FText->OnChange = nullptr;
}

void TLegendTitle::InitShadow(TPlotShadow* Shadow) {
    Shadow->SetColor(clSilver);
    Shadow->SetBothSizes(2);
    Shadow->SetDefaultColor(clSilver);
    Shadow->SetDefaultSize(2);
}

void TLegendTitle::SetText(TStrings* Value) {
    if (Value == nullptr)
        FText->Clear();
    else
        FText->Assign(*Value);
}

void TLegendTitle::SetTextAlignment(TAlignment Value) {
    if (FTextAlignment != Value) {
        FTextAlignment = Value;
        Repaint();
    }
}

void TLegendTitle::SetCaption(const std::string& Value) {
    std::string text = Value;
    std::replace(text.begin(), text.end(), '\r', '\n');
    FText->SetText(text);
}

void TLegendTitle::Assign(TPersistent* Source) {
    if (auto* title = dynamic_cast<TLegendTitle*>(Source)) {
        FText->Assign(*title->FText);
        FTextAlignment = title->FTextAlignment;
    }
    TPlotShape::Assign(Source);
}

PLAT_PROPERTIES(TLegendTitle) {
    props.Object("Text", &TLegendTitle::Text, &TLegendTitle::SetText);
    props.Enum("TextAlignment", &TLegendTitle::TextAlignment, &TLegendTitle::SetTextAlignment,
               kAlignmentNames, taLeftJustify);
}

// --- Items ------------------------------------------------------------------------------------------

TLegendItems::~TLegendItems() = default;

TLegendItem* TLegendItems::Item(int Index) {
    if (Index < 0)
        return nullptr;
    if (Index >= Count())
        FItems.resize(Index + 1);
    if (!FItems[Index]) {
        FItems[Index] = std::make_unique<TLegendItem>();
        FItems[Index]->Legend = FLegend;
    }
    return FItems[Index].get();
}

void TLegendItems::Clear() {
    FItems.clear();
    if (FLegend != nullptr)
        FLegend->Changed();
}

// --- Legend -----------------------------------------------------------------------------------------

TCustomChartLegend::TCustomChartLegend(TCustomPlotPanel* Parent)
    : TPlotCustomShapePosition(Parent), FItems(this) {
    TNotifyEvent changed = [this](TObject*) { Changed(); };
    FDividingLines = std::make_unique<TChartHiddenPen>(changed);
    FSymbol = std::make_unique<TLegendSymbol>(this);
    FTitle = std::make_unique<TLegendTitle>(Parent);
}

TCustomChartLegend::~TCustomChartLegend() = default;

std::unique_ptr<TPlotGradient> TCustomChartLegend::CreateGradient() {
    return std::make_unique<TChartLegendGradient>();
}

void TCustomChartLegend::Changed() {
    Repaint();
}

TCustomAxisPanel* TCustomChartLegend::Chart() const {
    return dynamic_cast<TCustomAxisPanel*>(FParent);
}

void TCustomChartLegend::SetAlignment(TLegendAlignment Value) {
    Store(FAlignment, Value);
}
void TCustomChartLegend::SetCheckBoxes(bool Value) {
    Store(FCheckBoxes, Value);
}
void TCustomChartLegend::SetCurrentPage(bool Value) {
    Store(FCurrentPage, Value);
}
void TCustomChartLegend::SetFontSeriesColor(bool Value) {
    Store(FFontSeriesColor, Value);
}
void TCustomChartLegend::SetHorizMargin(int Value) {
    Store(FHorizMargin, Value);
}
void TCustomChartLegend::SetInverted(bool Value) {
    Store(FInverted, Value);
}
void TCustomChartLegend::SetLeftPercent(int Value) {
    Store(FLeftPercent, Value);
}
void TCustomChartLegend::SetMaxNumRows(int Value) {
    Store(FMaxNumRows, Value);
}
void TCustomChartLegend::SetPositionUnits(TPlotUnits Value) {
    Store(FPositionUnits, Value);
}
void TCustomChartLegend::SetResizeChart(bool Value) {
    Store(FResizeChart, Value);
}
void TCustomChartLegend::SetTextStyle(TLegendTextStyle Value) {
    Store(FTextStyle, Value);
}
void TCustomChartLegend::SetTopPos(int Value) {
    Store(FTopPos, Value);
}
void TCustomChartLegend::SetTopPercent(int Value) {
    Store(FTopPercent, Value);
}
void TCustomChartLegend::SetVertMargin(int Value) {
    Store(FVertMargin, Value);
}
void TCustomChartLegend::SetVertSpacing(int Value) {
    Store(FVertSpacing, Value);
}

void TCustomChartLegend::SetSeries(TChartSeries* Value) {
    FSeries = Value;
    Changed();
}

void TCustomChartLegend::SetLegendStyle(TLegendStyle Value) {
    FLegendStyle = Value;
    FStyleInEffect = ResolveStyle();
    Changed();
}

void TCustomChartLegend::SetCheckBoxesStyle(TCheckBoxesStyle Value) {
    FCheckBoxesStyle = Value;
    TCustomAxisPanel* chart = Chart();
    if (Value == cbsRadio && chart != nullptr) {
        bool first = true;
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            TChartSeries* s = chart->SeriesAt(i);
            if (!s->ShowInLegend() || !s->Active())
                continue;
            if (first)
                first = false;
            else
                s->SetActive(false);
        }
    }
    Changed();
}

void TCustomChartLegend::SetFirstValue(int Value) {
    if (Value < 0)
        throw LegendException(ChartTextLegendFirstValue);
    Store(FFirstValue, Value);
}

TLegendStyle TCustomChartLegend::ResolveStyle() const {
    if (FLegendStyle != lsAuto)
        return FLegendStyle;
    TCustomAxisPanel* chart = Chart();
    const int active = chart != nullptr ? chart->ActiveSeriesCount() : 0;
    return FCheckBoxes || active > 1 ? lsSeries : lsValues;
}

bool TCustomChartLegend::WillDraw() const {
    if (!Visible())
        return false;
    if (FCheckBoxes && ResolveStyle() != lsValues)
        return true;
    TCustomAxisPanel* chart = Chart();
    return chart != nullptr && chart->ActiveSeriesCount() > 0;
}

TChartSeries* TCustomChartLegend::LegendSeriesAt(int Index) const {
    TCustomAxisPanel* chart = Chart();
    return chart != nullptr ? chart->LegendSeries(Index, !FCheckBoxes) : nullptr;
}

TChartSeries* TCustomChartLegend::ValueSeries() const {
    TCustomAxisPanel* chart = Chart();
    if (chart == nullptr)
        return nullptr;
    // A series freed or moved elsewhere since it was chosen is not used.
    if (FSeries != nullptr && chart->SeriesList()->IndexOf(FSeries) >= 0)
        return FSeries;
    for (int i = 0; i < chart->SeriesCount(); ++i)
        if (chart->SeriesAt(i)->Active())
            return chart->SeriesAt(i);
    return nullptr;
}

int TCustomChartLegend::RowHeight() {
    TCustomAxisPanel* chart = Chart();
    if (chart == nullptr)
        return 0;
    TPlotCanvas3D& canvas = *chart->DrawCanvas();
    canvas.UseFont(Font());
    int h = canvas.FontHeight();
    if (CheckBoxesInEffect())
        h = std::max(h, 17);
    h += FVertSpacing;
    if (IsVertical() && FDividingLines->Visible())
        h += FDividingLines->Width();
    return h;
}

int TCustomChartLegend::SymbolWidthFor(int TextWidth) {
    if (!FSymbol->Visible())
        return 0;
    if (FSymbol->Squared())
        return RowHeight() - 5;
    if (FSymbol->WidthUnits() == lcsPixels)
        return FSymbol->Width();
    return RoundToInt(FSymbol->Width() * TextWidth / 100.0);
}

int TCustomChartLegend::ItemTop() const {
    int top = ShapeBounds().Top;
    if (FDrawTitleFlag) {
        top += FTitleHeight + 2;
        if (!FTitle->Transparent())
            top += std::abs(FTitle->Shadow()->VertSize());
    }
    return top;
}

std::string TCustomChartLegend::ItemText(int Index) {
    TCustomAxisPanel* chart = Chart();
    if (chart == nullptr)
        return std::string();
    switch (FStyleInEffect) {
    case lsValues:
        return chart->LegendTextOf(ValueSeries(), Index);
    case lsLastValues: {
        TChartSeries* s = LegendSeriesAt(Index);
        return s != nullptr ? chart->LegendTextOf(s, s->Count() - 1) : std::string();
    }
    default:
        return chart->LegendSeriesTitle(Index, !FCheckBoxes);
    }
}

int TCustomChartLegend::CountItems() {
    TCustomAxisPanel* chart = Chart();
    if (chart == nullptr)
        return 0;
    int n = 0;
    if (FStyleInEffect == lsValues) {
        TChartSeries* s = ValueSeries();
        n = s != nullptr && s->ShowInLegend() ? s->Count() - FFirstValue : 0;
    } else {
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            TChartSeries* s = chart->SeriesAt(i);
            if (s->ShowInLegend() && (FCheckBoxes || s->Active()))
                ++n;
        }
        n -= FFirstValue;
    }
    return std::max(0, n);
}

int TCustomChartLegend::CalcSize(int Size) {
    if (OnCalcSize)
        OnCalcSize(this, Size);
    return Size;
}

int TCustomChartLegend::TitleHeight() {
    TPlotCanvas3D& canvas = *Chart()->DrawCanvas();
    canvas.UseFont(FTitle->Font());
    int h = FTitle->Text()->Count() * canvas.FontHeight();
    if (!FTitle->Transparent())
        h += 2;
    if (FTitle->Frame()->Visible())
        h += 2 * FTitle->Frame()->Width();
    return h;
}

int TCustomChartLegend::TitleWidth() {
    TPlotCanvas3D& canvas = *Chart()->DrawCanvas();
    canvas.UseFont(FTitle->Font());
    int widest = 0;
    for (const std::string& line : LinesOf(*FTitle->Text()))
        widest = std::max(widest, canvas.TextWidth(line));
    int w = widest + canvas.TextWidth("W");
    if (!FTitle->Transparent()) {
        if (FTitle->Frame()->Visible())
            w += 2 * FTitle->Frame()->Width();
        w += FTitle->Shadow()->HorizSize();
    }
    canvas.UseFont(Font());
    return w;
}

void TCustomChartLegend::FillTexts(int& TextWidth) {
    auto* chart = dynamic_cast<TCustomChart*>(Chart());
    TPlotCanvas3D& canvas = *Chart()->DrawCanvas();
    const int n = std::max(0, FLastIndex - FFirstValue + 1);
    FTexts.assign(n, TLegendItemText());
    for (int k = 0; k < n; ++k) {
        const int i = FFirstValue + k;
        std::string text = ItemText(i);
        if (chart != nullptr)
            text = chart->DoGetLegendText(FStyleInEffect, i, text);
        const size_t sep = text.find(kColumnSeparator);
        if (sep == std::string::npos) {
            FTexts[k].Text[0] = text;
        } else {
            FTexts[k].Text[0] = text.substr(0, sep);
            const size_t next = text.find(kColumnSeparator, sep + 1);
            FTexts[k].Text[1] =
                text.substr(sep + 1, next == std::string::npos ? std::string::npos : next - sep - 1);
        }
    }
    const bool html = TextFormat() == ttfHtml;
    auto widthOf = [&](const std::string& Text) {
        if (Text.empty())
            return 0;
        if (html) {
            const int w = MeasureChartMarkup(canvas, Text).cx;
            canvas.UseFont(Font());
            return w;
        }
        return canvas.TextWidth(Text);
    };
    if (FAutoColumnWidths) {
        FColumnWidths[0] = FColumnWidths[1] = 0;
        for (int k = 0; k < n; ++k) {
            const std::string& first = FItems.Custom() ? FItems.Item(k)->Text : FTexts[k].Text[0];
            FColumnWidths[0] = std::max(FColumnWidths[0], widthOf(first));
            FColumnWidths[1] = std::max(FColumnWidths[1], widthOf(FTexts[k].Text[1]));
        }
    }
    TextWidth = FColumnWidths[0] + FColumnWidths[1] + 2 * canvas.TextWidth(" ") - 1;
}

void TCustomChartLegend::Draw() {
    TCustomAxisPanel* chart = Chart();
    if (chart == nullptr)
        return;
    auto* control = dynamic_cast<TCustomChart*>(chart);
    TPlotCanvas3D& canvas = *chart->DrawCanvas();
    FStyleInEffect = ResolveStyle();
    FFrameWidth = Frame()->Visible() ? Frame()->Width() : 0;
    if (Bevel() != bvNone)
        FFrameWidth = BevelWidth();
    const int fw = FFrameWidth;
    TRect& r = ShapeBounds();
    const TRect panel = chart->PanelRect();
    const TRect cr = chart->ChartRect();

    if (CustomPosition() && FPositionUnits == muPercent) {
        const int w = r.Right - r.Left;
        const int h = r.Bottom - r.Top;
        r.Left = RoundToInt(FLeftPercent * (panel.Right - panel.Left) / 100.0);
        r.Top = RoundToInt(FTopPercent * (panel.Bottom - panel.Top) / 100.0);
        r.Right = r.Left + w;
        r.Bottom = r.Top + h;
    }

    TChartPage* pages = chart->Pages();
    const int perPage = pages->MaxPointsPerPage();
    const bool valuePaging = FStyleInEffect == lsValues && FCurrentPage && perPage > 0;
    if (valuePaging)
        FFirstValue = (pages->Current() - 1) * perPage;
    if (perPage > 0 && FStyleInEffect != lsValues)
        FFirstValue = 0;
    FItemCount = CountItems();
    if (valuePaging)
        FItemCount = std::min(FItemCount, perPage);

    chart->SetLegendColor(Color());
    FDrawTitleFlag = FTitle->Visible() && HasText(*FTitle->Text());
    FTitleHeight = FDrawTitleFlag ? TitleHeight() : 0;
    canvas.UseFont(Font());
    const int space = canvas.TextWidth(" ");
    const int rh = RowHeight();
    const bool checkBoxes = CheckBoxesInEffect();

    int tw = 0;
    if (IsVertical()) {
        if (!CustomPosition())
            r.Top = panel.Top + RoundToInt(FTopPos * (panel.Bottom - panel.Top) / 100.0);
        FColumnCount = 1;
        const int s = ItemTop();
        FRowCount =
            s >= cr.Bottom || rh <= 0 ? 0 : std::max(0, std::min((cr.Bottom - 2 * fw - s) / rh, FItemCount));
        FLastIndex = FFirstValue + std::min(FItemCount, FRowCount) - 1;
        FillTexts(tw);
    } else {
        FLastIndex = FFirstValue + FItemCount - 1;
        FillTexts(tw);
        FSymbolPixels = SymbolWidthFor(tw);
        if (!CustomPosition()) {
            if (FAlignment == laBottom)
                r.Bottom = cr.Bottom - CalcSize(chart->Shadow()->VertSize() + fw + 1);
            else
                r.Top = cr.Top + fw + 1;
        }
        const int cw = FSymbolPixels + tw + 8 + (checkBoxes ? 27 : 0);
        FColumnCount = cr.Right <= 8 || cw <= 0
                           ? 0
                           : std::max(0, std::min((chart->ChartWidth() - 2 * fw - 8) / cw, FItemCount));
        FRowCount = 0;
        if (FColumnCount >= 1) {
            FRowCount = FItemCount / FColumnCount + (FItemCount % FColumnCount != 0 ? 1 : 0);
            FRowCount = std::max(0, std::min(FRowCount, FMaxNumRows));
        }
        FLastIndex = FFirstValue + std::min(FItemCount, FColumnCount * FRowCount) - 1;
    }

    if (FLastIndex >= FFirstValue) {
        const int v = RoundToInt(rh / 10.0);
        int height = rh * FRowCount + 2 + 2 * v;
        if (FDrawTitleFlag) {
            height += FTitleHeight + 2;
            if (!FTitle->Transparent())
                height += std::abs(FTitle->Shadow()->VertSize());
        }
        if (FAlignment == laBottom && !CustomPosition())
            r.Top = r.Bottom - height;
        else
            r.Bottom = r.Top + height;

        int checkX = 0;
        int x = 0;
        if (IsVertical()) {
            int w = tw + 10;
            FSymbolPixels = SymbolWidthFor(w);
            w = CalcSize(w + FSymbolPixels);
            if (FDrawTitleFlag)
                w = std::max(w, TitleWidth());
            if (FAlignment == laLeft || CustomPosition()) {
                if (!CustomPosition())
                    r.Left = cr.Left + fw + 1;
            } else {
                r.Right = cr.Right - Shadow()->HorizSize() - fw - 1;
                r.Left = r.Right - w - (checkBoxes ? 15 : 0);
            }
            if (checkBoxes) {
                checkX = r.Left + 4;
                x = checkX + 11;
            } else {
                x = r.Left;
            }
            r.Right = x + w;
        } else {
            int total = FColumnCount * (tw + FSymbolPixels) + 6 * (FColumnCount - 1) + 16;
            if (checkBoxes)
                total += FColumnCount * 13 + 8;
            if (FDrawTitleFlag)
                total = std::max(total, TitleWidth());
            const int half = std::min(chart->ChartWidth(), total) / 2;
            if (!CustomPosition())
                r.Left = RoundToInt(FTopPos * ((panel.Right - panel.Left) - 2 * half) / 100.0) +
                         chart->ChartXCenter() - half;
            r.Right = r.Left + 2 * half;
            if (checkBoxes) {
                checkX = r.Left + 4;
                x = r.Left + 15;
            } else {
                x = r.Left;
            }
        }
        if (control != nullptr && control->OnGetLegendRect) {
            const int oldLeft = r.Left;
            TRect moved = r;
            control->OnGetLegendRect(control, moved);
            r = moved;
            // The rows go where the box went.
            checkX += r.Left - oldLeft;
            x += r.Left - oldLeft;
        }
        TPlotCustomShape::Draw();
        if (FDrawTitleFlag)
            DrawTitleBox();
        canvas.UseFont(Font());
        DrawRows(tw, checkX, x, v, rh, space);
        ResizeChartRect();
    }
    FTexts.clear();
}

void TCustomChartLegend::DrawTitleBox() {
    TPlotCanvas3D& canvas = *Chart()->DrawCanvas();
    const TRect& r = ShapeBounds();
    TRect box(r.Left + 2, r.Top + 2, r.Right - 2, r.Top + 2 + FTitleHeight);
    if (!FTitle->Transparent()) {
        const int h = FTitle->Shadow()->HorizSize();
        if (h > 0)
            box.Right -= h;
        else
            box.Left -= h;
        const int vs = FTitle->Shadow()->VertSize();
        if (vs < 0)
            box.Top -= vs;
    }
    FTitle->SetShapeBounds(box);
    FTitle->Draw();
    canvas.UseFont(FTitle->Font());
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    canvas.SetBackMode(TRANSPARENT);
    const int lh = canvas.FontHeight();
    const int wW = canvas.TextWidth("W");
    const std::vector<std::string> lines = LinesOf(*FTitle->Text());
    if (FTitle->TextFormat() == ttfHtml) {
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i)
            text += (i > 0 ? "<br>" : "") + lines[i];
        DrawChartMarkup(canvas, box.Left + wW / 2, box.Top + 1, text);
        return;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        int x = box.Left + wW / 2;
        if (FTitle->TextAlignment() == taRightJustify)
            x = box.Right - canvas.TextWidth(line) - wW / 2;
        else if (FTitle->TextAlignment() == taCenter)
            x = (box.Left + box.Right) / 2 - canvas.TextWidth(line) / 2;
        canvas.TextOut(x, box.Top + static_cast<int>(i) * lh + 1, line);
    }
}

void TCustomChartLegend::DrawRows(int TextWidth, int CheckX, int X, int V, int RowH, int Space) {
    TCustomAxisPanel* chart = Chart();
    auto* control = dynamic_cast<TCustomChart*>(chart);
    TPlotCanvas3D& canvas = *chart->DrawCanvas();
    const TRect& box = ShapeBounds();
    const bool checkBoxes = CheckBoxesInEffect();
    const bool html = TextFormat() == ttfHtml;
    const bool vertical = IsVertical();

    int symbolX0 = X + 6;
    int textX0 = symbolX0;
    if (FSymbol->Position() == spLeft) {
        textX0 = symbolX0 + FSymbolPixels + 4;
        if (FSymbol->Shadow()->HorizSize() > 0)
            textX0 += FSymbol->Shadow()->HorizSize();
    } else {
        symbolX0 = textX0 + TextWidth;
    }

    if (!FItems.Custom())
        FItems.ClearItems();
    TChartSeries* valueSeries = ValueSeries();
    const int shown = FLastIndex - FFirstValue + 1;
    for (int i = FFirstValue; i <= FLastIndex; ++i) {
        const int k = i - FFirstValue;
        const int row = FInverted ? FLastIndex - i : k;
        if (row >= FItemCount)
            continue;
        canvas.Brush()->SetColor(Color());
        canvas.Brush()->SetStyle(bsClear);
        chart->SetLegendPen(FSymbol->DefaultPen() ? nullptr : FSymbol->Pen());

        int y = ItemTop() + V + 1;
        int textX = textX0;
        int symbolX = symbolX0;
        int checkX = CheckX;
        int offset = 0;
        int p = row;
        if (!vertical) {
            p = row / FColumnCount;
            offset = (TextWidth + FSymbolPixels + 6 + (checkBoxes ? 15 : 0)) * (row % FColumnCount);
            textX += offset;
            symbolX += offset;
            checkX += offset;
        }
        y += p * RowH + FVertSpacing / 2;
        if (control != nullptr && control->OnGetLegendPos) {
            int px = symbolX, py = y, pc = textX;
            control->OnGetLegendPos(control, i, px, py, pc);
            symbolX = px;
            y = py;
            textX = pc;
        }
        if (FFontSeriesColor) {
            TChartSeries* s = FStyleInEffect == lsValues ? nullptr : LegendSeriesAt(i);
            if (FStyleInEffect == lsValues && valueSeries != nullptr)
                canvas.Font()->SetColor(valueSeries->LegendItemColor(i));
            else if (s != nullptr)
                canvas.Font()->SetColor(s->SeriesColor());
        }

        // The two text columns.
        TLegendItem* item = FItems.Item(k);
        int columnX = textX;
        for (int c = 0; c < 2; ++c) {
            const bool right = FStyleInEffect != lsSeries && RightAlignedColumn(FTextStyle, c);
            std::string text = k < static_cast<int>(FTexts.size()) ? FTexts[k].Text[c] : std::string();
            int drawX = right ? columnX + FColumnWidths[c] : columnX;
            int drawY = y + (checkBoxes ? 1 : 0);
            uint32_t align = right ? TA_RIGHT : TA_LEFT;
            if (c == 0) {
                if (FItems.Custom()) {
                    drawX = item->Left;
                    drawY = item->Top;
                    text = item->Text;
                    align = item->Align;
                } else {
                    item->Left = drawX;
                    item->Top = drawY;
                    item->Text = text;
                    item->Align = align;
                }
            }
            if (!text.empty()) {
                canvas.SetTextAlign(align | TA_TOP);
                canvas.TextOutFormatted(drawX, drawY, text, html);
                if (html)
                    canvas.UseFont(Font());
            }
            columnX += FColumnWidths[c] + Space;
        }
        canvas.SetTextAlign(TA_LEFT | TA_TOP);

        // The symbol rectangle.
        TRect symbol;
        if (FItems.Custom()) {
            symbol = item->SymbolRect;
        } else {
            symbol = TRect(symbolX, y, symbolX + FSymbolPixels, y + RowH + 1);
            if (!FSymbol->Continuous() || row == 0)
                symbol.Top += 2;
            if (!FSymbol->Continuous() || row == shown - 1)
                symbol.Bottom -= FVertSpacing + 3;
            item->SymbolRect = symbol;
        }

        if (FStyleInEffect == lsValues) {
            if (valueSeries != nullptr)
                DrawSymbol(valueSeries, SourceIndexOf(valueSeries, i), symbol);
            else
                DrawSymbol(nullptr, -1, symbol);
        } else if (checkBoxes) {
            TChartSeries* s = chart->LegendSeries(i, false);
            DrawCheckBox(checkX, y + (RowH - FVertSpacing - 11) / 2 - 1, canvas, s != nullptr && s->Active(),
                         Color(), FCheckBoxesStyle);
            DrawSymbol(s, -1, symbol);
        } else {
            DrawSymbol(chart->LegendSeries(i, true), -1, symbol);
        }

        if (row > 0 && FDividingLines->Visible()) {
            canvas.UseChartPen(FDividingLines.get());
            canvas.SetBackMode(TRANSPARENT);
            if (vertical) {
                const int ly = y - FVertSpacing / 2;
                canvas.Line(box.Left, ly, box.Right, ly);
            } else {
                const int lx = box.Left + offset + 2;
                canvas.Line(lx, box.Top, lx, box.Bottom);
            }
        }
        // Symbols and check boxes may change the font colour.
        canvas.UseFont(Font());
    }
    chart->SetLegendPen(nullptr);
}

void TCustomChartLegend::DrawSymbol(TChartSeries* ASeries, int ValueIndex, const TRect& R) {
    if (FSymbol->OnDraw) {
        FSymbol->OnDraw(FSymbol.get(), ASeries, ValueIndex, R);
        return;
    }
    if (FSymbolPixels <= 0)
        return;
    if (ASeries != nullptr)
        ASeries->DrawLegendItem(ValueIndex, R);
    else
        FSymbol->Draw(clWhite, R);
}

void TCustomChartLegend::DrawCheckBox(int X, int Y, TPlotCanvas& Canvas, bool Marked, TColor /*Background*/,
                                      TCheckBoxesStyle Style) {
    TRect r(X, Y, X + 13, Y + 13);
    uint32_t state = Style == cbsCheck ? DFCS_BUTTONCHECK : DFCS_BUTTONRADIO;
    if (Marked)
        state |= DFCS_CHECKED;
    if (TDeviceContext* dc = Canvas.GetHandle())
        DrawFrameControl(*dc, r, DFC_BUTTON, state);
}

void TCustomChartLegend::ResizeChartRect() {
    TCustomAxisPanel* chart = Chart();
    if (FResizeChart && !CustomPosition() && !chart->CustomChartRect()) {
        TRect& cr = chart->ChartRectRef();
        const TRect& r = ShapeBounds();
        switch (FAlignment) {
        case laLeft:
            cr.Left = r.Right;
            break;
        case laRight:
            cr.Right = r.Left;
            break;
        case laTop:
            cr.Top = r.Bottom + chart->Shadow()->VertSize();
            break;
        case laBottom:
            cr.Bottom = r.Top;
            break;
        }
        if (IsVertical()) {
            const int m = FHorizMargin != 0 ? FHorizMargin : 3 * chart->ChartWidth() / 100;
            if (FAlignment == laLeft)
                cr.Left += m;
            else
                cr.Right -= m;
        } else {
            const int m = FVertMargin != 0 ? FVertMargin : 4 * chart->ChartHeight() / 100;
            if (FAlignment == laTop)
                cr.Top += m;
            else
                cr.Bottom -= m;
        }
    }
    chart->UpdateChartDimensions();
}

int TCustomChartLegend::RowAt(int Y) {
    const int rh = RowHeight();
    const int top0 = ItemTop();
    for (int r = 0; r < FRowCount; ++r) {
        const int top = top0 + r * rh + 1;
        if (Y >= top && Y <= top + rh)
            return FInverted ? FRowCount - r - 1 : r;
    }
    return -1;
}

int TCustomChartLegend::RowAtPoint(int X, int Y) {
    if (Chart() == nullptr)
        return -1;
    TRect r = ShapeBounds();
    if (OnCalcSize) {
        int size = 0;
        OnCalcSize(this, size);
        r.Right -= size;
    }
    if (X < r.Left || X > r.Right || Y < r.Top || Y > r.Bottom)
        return -1;
    if (IsVertical()) {
        const int row = RowAt(Y);
        return row == -1 ? -1 : row + FFirstValue;
    }
    if (FColumnCount <= 0)
        return -1;
    const int colW = (r.Right - r.Left) / FColumnCount;
    int result = -1;
    for (int c = 0; c < FColumnCount; ++c) {
        const int left = r.Left + c * colW + 1;
        if (X < left || X > left + colW)
            continue;
        const int row = RowAt(Y);
        if (row == -1)
            continue;
        const int index = FInverted ? (row + 1) * FColumnCount - c - 1 : row * FColumnCount + c;
        result = index > FItemCount - 1 ? -1 : index + FFirstValue;
    }
    return result;
}

bool TCustomChartLegend::CheckBoxClick(int Index) {
    TCustomAxisPanel* chart = Chart();
    if (chart == nullptr || !CheckBoxesInEffect() || Index == -1)
        return false;
    if (FCheckBoxesStyle == cbsRadio) {
        for (int k = 0;; ++k) {
            TChartSeries* s = chart->LegendSeries(k, false);
            if (s == nullptr)
                break;
            s->SetActive(k == Index);
        }
    } else if (TChartSeries* s = chart->LegendSeries(Index, false)) {
        s->SetActive(!s->Active());
    }
    return true;
}

void TCustomChartLegend::Assign(TPersistent* Source) {
    if (auto* legend = dynamic_cast<TCustomChartLegend*>(Source)) {
        FAlignment = legend->FAlignment;
        FCheckBoxes = legend->FCheckBoxes;
        FCheckBoxesStyle = legend->FCheckBoxesStyle;
        FCurrentPage = legend->FCurrentPage;
        FDividingLines->Assign(legend->FDividingLines.get());
        FFirstValue = legend->FFirstValue;
        FFontSeriesColor = legend->FFontSeriesColor;
        FHorizMargin = legend->FHorizMargin;
        FInverted = legend->FInverted;
        FLeftPercent = legend->FLeftPercent;
        FLegendStyle = legend->FLegendStyle;
        FMaxNumRows = legend->FMaxNumRows;
        FPositionUnits = legend->FPositionUnits;
        FResizeChart = legend->FResizeChart;
        FSymbol->Assign(legend->FSymbol.get());
        FTextStyle = legend->FTextStyle;
        FTitle->Assign(legend->FTitle.get());
        FTopPos = legend->FTopPos;
        FTopPercent = legend->FTopPercent;
        FVertMargin = legend->FVertMargin;
        FVertSpacing = legend->FVertSpacing;
    }
    TPlotCustomShapePosition::Assign(Source);
}

PLAT_PROPERTIES(TCustomChartLegend) {
    props.Enum("Alignment", &TCustomChartLegend::Alignment, &TCustomChartLegend::SetAlignment,
               kLegendAlignmentNames, laRight);
    props.Boolean("CheckBoxes", &TCustomChartLegend::CheckBoxes, &TCustomChartLegend::SetCheckBoxes, false);
    props.Enum("CheckBoxesStyle", &TCustomChartLegend::CheckBoxesStyle,
               &TCustomChartLegend::SetCheckBoxesStyle, kCheckBoxesStyleNames, cbsCheck);
    props.Integer("ColorWidth", &TCustomChartLegend::ColorWidth, &TCustomChartLegend::SetColorWidth, 20);
    props.Boolean("CurrentPage", &TCustomChartLegend::CurrentPage, &TCustomChartLegend::SetCurrentPage, true);
    props.Object("DividingLines", &TCustomChartLegend::DividingLines, &TCustomChartLegend::SetDividingLines);
    props.Integer("FirstValue", &TCustomChartLegend::FirstValue, &TCustomChartLegend::SetFirstValue, 0);
    props.Boolean("FontSeriesColor", &TCustomChartLegend::FontSeriesColor,
                  &TCustomChartLegend::SetFontSeriesColor, false);
    props.Integer("HorizMargin", &TCustomChartLegend::HorizMargin, &TCustomChartLegend::SetHorizMargin, 0);
    props.Boolean("Inverted", &TCustomChartLegend::Inverted, &TCustomChartLegend::SetInverted, false);
    props.Integer("LeftPercent", &TCustomChartLegend::LeftPercent, &TCustomChartLegend::SetLeftPercent, 0);
    props.Enum("LegendStyle", &TCustomChartLegend::LegendStyle, &TCustomChartLegend::SetLegendStyle,
               kLegendStyleNames, lsAuto);
    props.Integer("MaxNumRows", &TCustomChartLegend::MaxNumRows, &TCustomChartLegend::SetMaxNumRows, 10);
    props.Enum("PositionUnits", &TCustomChartLegend::PositionUnits, &TCustomChartLegend::SetPositionUnits,
               kPlotUnitsNames, muPixels);
    props.Boolean("ResizeChart", &TCustomChartLegend::ResizeChart, &TCustomChartLegend::SetResizeChart, true);
    props.Object("Symbol", &TCustomChartLegend::Symbol, &TCustomChartLegend::SetSymbol);
    props.Enum("TextStyle", &TCustomChartLegend::TextStyle, &TCustomChartLegend::SetTextStyle,
               kTextStyleNames, ltsLeftValue);
    props.Object("Title", &TCustomChartLegend::Title, &TCustomChartLegend::SetTitle);
    props.Integer("TopPos", &TCustomChartLegend::TopPos, &TCustomChartLegend::SetTopPos, 10);
    props.Integer("TopPercent", &TCustomChartLegend::TopPercent, &TCustomChartLegend::SetTopPercent, 0);
    props.Integer("VertMargin", &TCustomChartLegend::VertMargin, &TCustomChartLegend::SetVertMargin, 0);
    props.Integer("VertSpacing", &TCustomChartLegend::VertSpacing, &TCustomChartLegend::SetVertSpacing, 0);
}

PLAT_PROPERTIES(TChartLegend) {}

} // namespace chart
