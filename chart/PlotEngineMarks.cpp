// Series marks: their positions and per-point items, the text of a point's mark and of its legend row,
// and the drawing, hit test and overlap correction of the marks of a series.
#include <algorithm>
#include <cmath>

#include "chart/PlotConst.h"
#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotHtml.h"
#include "platform/gfx/GdiTypes.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Stream.h"

namespace chart {

namespace {

// The lines of a mark text: split at CR, a LF after it belonging to the same break.
std::vector<std::string> SplitMarkLines(const std::string& Text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r') {
            lines.push_back(line);
            line.clear();
            if (i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
        } else {
            line += Text[i];
        }
    }
    lines.push_back(line);
    return lines;
}

const char* const kMarksStyleNames[] = {
    "smsValue",      "smsPercent", "smsLabel",        "smsLabelPercent",
    "smsLabelValue", "smsLegend",  "smsPercentTotal", "smsLabelPercentTotal",
    "smsXValue",     "smsXY"};

static_assert(std::size(kMarksStyleNames) == smsXY + 1);

} // namespace

// --- Positions --------------------------------------------------------------------------------------

void TSeriesMarkPosition::Assign(const TSeriesMarkPosition& Source) {
    ArrowFrom = Source.ArrowFrom;
    ArrowTo = Source.ArrowTo;
    LeftTop = Source.LeftTop;
    Height = Source.Height;
    Width = Source.Width;
}

TSeriesMarkPosition* TSeriesMarksPositions::Position(int Index) const {
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FItems[Index].get();
}

TSeriesMarkPosition& TSeriesMarksPositions::Ensure(int Index) {
    if (Index >= Count())
        FItems.resize(Index + 1);
    if (!FItems[Index])
        FItems[Index] = std::make_unique<TSeriesMarkPosition>();
    return *FItems[Index];
}

void TSeriesMarksPositions::Put(int Index, const TSeriesMarkPosition& Position) {
    if (Index < 0)
        return;
    TSeriesMarkPosition& entry = Ensure(Index);
    entry.Custom = true;
    entry.Assign(Position);
}

void TSeriesMarksPositions::Delete(int Index) {
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

void TSeriesMarksPositions::DeleteRange(int Start, int Quantity) {
    if (Start < 0 || Start >= Count() || Quantity <= 0)
        return;
    FItems.erase(FItems.begin() + Start, FItems.begin() + std::min(Count(), Start + Quantity));
}

void TSeriesMarksPositions::Exchange(int Index1, int Index2) {
    const int needed = std::max(Index1, Index2) + 1;
    if (Index1 < 0 || Index2 < 0)
        return;
    if (Count() < needed)
        FItems.resize(needed);
    std::swap(FItems[Index1], FItems[Index2]);
}

bool TSeriesMarksPositions::ExistCustom() const {
    for (const auto& item : FItems)
        if (item && item->Custom)
            return true;
    return false;
}

// --- Items ------------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TMarksItem, TPlotCustomShape)

PLAT_PROPERTIES(TMarksItem) {
    props.Object("Text", &TMarksItem::Text, &TMarksItem::SetText).Stored(&TMarksItem::HasText);
    props.Hide("Brush");
    props.Hide("Frame");
    props.Hide("TextFormat");
    props.Hide("Visible");
    props.Default("Color", plat::clInfoBk);
}

TMarksItem::TMarksItem(TCustomPlotPanel* Parent) : TPlotCustomShape(Parent) {
    SetColor(plat::clInfoBk);
}

TMarksItem::~TMarksItem() = default;

void TMarksItem::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TMarksItem*>(Source)) {
        if (source->FText)
            Text()->Assign(*source->FText);
        else
            FText.reset();
    }
    TPlotCustomShape::Assign(Source);
}

plat::TStrings* TMarksItem::Text() {
    if (!FText) {
        FText = std::make_unique<plat::TStringList>();
        FText->OnChange = [this](plat::TObject*) { Repaint(); };
    }
    return FText.get();
}

void TMarksItem::SetText(plat::TStrings* Value) {
    if (!Value) {
        FText.reset();
        Repaint();
        return;
    }
    Text()->Assign(*Value);
}

TMarksItem* TMarksItems::Get(int Index) const {
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FItems[Index].get();
}

TMarksItem* TMarksItems::Item(int Index) {
    if (Index < 0)
        return nullptr;
    if (Index >= Count())
        FItems.resize(Index + 1);
    if (!FItems[Index]) {
        auto item = std::make_unique<TMarksItem>(FMarks->ParentChart());
        item->SetColor(plat::clInfoBk);
        item->Shadow()->SetColor(0x808080);
        item->Shadow()->SetDefaultColor(0x808080);
        item->Shadow()->SetBothSizes(1);
        item->Shadow()->SetDefaultSize(1);
        FItems[Index] = std::move(item);
    }
    return FItems[Index].get();
}

void TMarksItems::Delete(int Index) {
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

void TMarksItems::DeleteRange(int Start, int Quantity) {
    if (Start < 0 || Start >= Count() || Quantity <= 0)
        return;
    FItems.erase(FItems.begin() + Start, FItems.begin() + std::min(Count(), Start + Quantity));
}

// --- Gradient ---------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TSeriesMarksGradient, TPlotGradient)

PLAT_PROPERTIES(TSeriesMarksGradient) {
    props.Default("Direction", gdRightLeft);
    props.Default("EndColor", plat::clWhite);
    props.Default("StartColor", 0xC0C0C0);
}

TSeriesMarksGradient::TSeriesMarksGradient(TNotifyEvent ChangeHandler)
    : TPlotGradient(std::move(ChangeHandler)) {
    FDirection = gdRightLeft;
    FEndColor = plat::clWhite;
    FStartColor = 0xC0C0C0;
}

// --- TSeriesMarks -----------------------------------------------------------------------------------

PLAT_CLASS_INFO(TSeriesMarks, TPlotCustomShape)

// Arrow, ArrowLength and BackColor are other names of the callout's arrow and length and of Color; they
// are read but never written, so each value appears once and an untouched callout is not created.
PLAT_PROPERTIES(TSeriesMarks) {
    props.Integer("Angle", &TSeriesMarks::Angle, &TSeriesMarks::SetAngle, 0);
    props.Object("Arrow", &TSeriesMarks::Arrow, &TSeriesMarks::SetArrow).Stored(false);
    props.Integer("ArrowLength", &TSeriesMarks::ArrowLength, &TSeriesMarks::SetArrowLength).Stored(false);
    props.Object("Callout", &TSeriesMarks::Callout, &TSeriesMarks::SetCallout)
        .Stored(&TSeriesMarks::HasCallout);
    props.Color("BackColor", &TSeriesMarks::BackColor, &TSeriesMarks::SetBackColor, plat::clInfoBk)
        .Stored(false);
    props.Boolean("Clip", &TSeriesMarks::Clip, &TSeriesMarks::SetClip, false);
    props.Integer("DrawEvery", &TSeriesMarks::DrawEvery, &TSeriesMarks::SetDrawEvery, 1);
    props.Boolean("MultiLine", &TSeriesMarks::MultiLine, &TSeriesMarks::SetMultiLine, false);
    props.Enum("Style", &TSeriesMarks::Style, &TSeriesMarks::SetStyle, kMarksStyleNames, smsLabel);
    props.Object("Symbol", &TSeriesMarks::Symbol, &TSeriesMarks::SetSymbol).Stored(&TSeriesMarks::HasSymbol);
    props.Hide("TextFormat");
    props.Default("Color", plat::clInfoBk);
    props.Default("Visible", false);
}

TSeriesMarks::TSeriesMarks(TChartSeries* Series) : TPlotCustomShape(nullptr), FItems(this), FSeries(Series) {
    SetColor(plat::clInfoBk);
    FVisible = false;
    InitShadow(Shadow());
}

TSeriesMarks::~TSeriesMarks() = default;

void TSeriesMarks::InitShadow(TPlotShadow* Shadow) {
    if (!Shadow)
        return;
    Shadow->SetColor(0x808080);
    Shadow->SetDefaultColor(0x808080);
    Shadow->SetBothSizes(1);
    Shadow->SetDefaultSize(1);
}

std::unique_ptr<TPlotGradient> TSeriesMarks::CreateGradient() {
    return std::make_unique<TSeriesMarksGradient>([this](plat::TObject* Sender) { CanvasChanged(Sender); });
}

void TSeriesMarks::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TSeriesMarks*>(Source)) {
        FAngle = source->FAngle;
        SetCallout(source->FCallout.get());
        FClip = source->FClip;
        FDrawEvery = source->FDrawEvery;
        FStyle = source->FStyle;
        FMultiLine = source->FMultiLine;
        SetSymbol(source->FSymbol.get());
        FItems.Clear();
        for (int i = 0; i < source->FItems.Count(); ++i)
            if (TMarksItem* item = source->FItems.Get(i))
                FItems.Item(i)->Assign(item);
    }
    TPlotCustomShape::Assign(Source);
}

void TSeriesMarks::DefineProperties(plat::TFiler& Filer) {
    TPlotCustomShape::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Items", [this](plat::TStream& Stream) { ReadItems(Stream); },
        [this](plat::TStream& Stream) { WriteItems(Stream); }, FItems.Count() > 0);
}

void TSeriesMarks::ReadItems(plat::TStream& Stream) {
    const int64_t available = Stream.Size() - Stream.Position();
    uint8_t bytes[4] = {};
    if (available < 4)
        throw plat::EReadError("Unexpected end of component stream");
    Stream.ReadBuffer(bytes, 4);
    const uint32_t count = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (uint32_t(bytes[3]) << 24);
    // Each item's list takes at least two bytes, so a damaged count cannot make us create items for data
    // that is not there.
    if (count > static_cast<uint64_t>(available - 4) / 2)
        throw plat::EReadError("Invalid length in component stream");
    FItems.Clear();
    FItems.SetLoadingCustom(count > 0);
    for (uint32_t i = 0; i < count; ++i)
        plat::ReadPropertyList(Stream, FItems.Item(static_cast<int>(i)));
}

void TSeriesMarks::WriteItems(plat::TStream& Stream) {
    const uint32_t count = static_cast<uint32_t>(FItems.Count());
    const uint8_t bytes[4] = {static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
                              static_cast<uint8_t>(count >> 16), static_cast<uint8_t>(count >> 24)};
    Stream.WriteBuffer(bytes, 4);
    // Missing items are written with their defaults, so that every index has its list.
    for (uint32_t i = 0; i < count; ++i)
        plat::WritePropertyList(Stream, FItems.Item(static_cast<int>(i)));
}

void TSeriesMarks::SetParent(TCustomPlotPanel* Value) {
    TPlotCustomShape::SetParent(Value);
    if (FCallout)
        FCallout->SetParent(Value);
    if (FSymbol)
        FSymbol->SetParent(Value);
    for (int i = 0; i < FItems.Count(); ++i)
        if (TMarksItem* item = FItems.Get(i))
            item->SetParent(Value);
}

void TSeriesMarks::SetAngle(int Value) {
    FSeries->SetIntegerProperty(FAngle, Value);
}

TMarksCallout* TSeriesMarks::Callout() {
    if (!FCallout) {
        FCallout = std::make_unique<TMarksCallout>(FSeries);
        FCallout->SetParent(ParentChart());
    }
    return FCallout.get();
}

void TSeriesMarks::SetCallout(TMarksCallout* Value) {
    if (!Value) {
        FCallout.reset();
        return;
    }
    Callout()->Assign(Value);
}

void TSeriesMarks::SetClip(bool Value) {
    FSeries->SetBooleanProperty(FClip, Value);
}

void TSeriesMarks::SetDrawEvery(int Value) {
    // Every n-th point for n below 1 would divide by zero; such a value means every point.
    FSeries->SetIntegerProperty(FDrawEvery, std::max(1, Value));
}

void TSeriesMarks::SetMultiLine(bool Value) {
    FSeries->SetBooleanProperty(FMultiLine, Value);
}

void TSeriesMarks::SetStyle(TSeriesMarksStyle Value) {
    if (FStyle != Value) {
        FStyle = Value;
        FSeries->InvalidateParentChart();
    }
}

TSeriesMarksSymbol* TSeriesMarks::Symbol() {
    if (!FSymbol)
        FSymbol = std::make_unique<TSeriesMarksSymbol>(ParentChart());
    return FSymbol.get();
}

void TSeriesMarks::SetSymbol(TSeriesMarksSymbol* Value) {
    if (!Value) {
        FSymbol.reset();
        return;
    }
    Symbol()->Assign(Value);
}

TPlotCustomShape* TSeriesMarks::ItemOrMarks(int Index) {
    if (TMarksItem* item = FItems.Get(Index))
        return item;
    return this;
}

void TSeriesMarks::Clear() {
    FPositions.Clear();
    if (!FItems.LoadingCustom())
        FItems.Clear();
}

TCanvas3D* TSeriesMarks::ChartCanvas() const {
    return ParentChart() ? ParentChart()->Canvas() : nullptr;
}

// --- Texts ------------------------------------------------------------------------------------------

std::string TChartSeries::ValueMarkText(int ValueIndex) {
    return plat::FormatFloat(FValueFormat, MandatoryValue(ValueIndex));
}

std::string TChartSeries::XValueMarkText(int ValueIndex) {
    const double value = FNotMandatory->Items(ValueIndex);
    if (FHorizAxisBound)
        return FHorizAxisBound->LabelText(value);
    return plat::FormatFloat(FValueFormat, value);
}

std::string TChartSeries::GetMarkText(int ValueIndex) {
    return FMarks->GetMarkText(ValueIndex);
}

std::string TSeriesMarks::GetMarkText(int ValueIndex) {
    TChartSeries* s = FSeries;
    std::string text;
    TMarksItem* item = FItems.Get(ValueIndex);
    if (item && item->HasText()) {
        plat::TStrings* lines = item->Text();
        for (int i = 0; i < lines->Count(); ++i) {
            if (i > 0)
                text += "\r\n";
            text += lines->Strings(i);
        }
    } else if (!(s->OnGetMarkText && s->MarkTextFromEvent())) {
        const std::string sep = FMultiLine ? "\r" : " ";
        const double value = s->MandatoryValue(ValueIndex);
        const double total = s->MandatoryList()->TotalABS();
        auto percentText = [&]() {
            const double percent = total != 0 ? std::fabs(value) * 100 / total : 100;
            return plat::FormatFloat(s->PercentFormat(), percent);
        };
        auto percentTotalText = [&]() {
            return plat::Format(FMultiLine ? ChartTextPercentOfTwoLines : ChartTextPercentOf,
                                {percentText(), plat::FormatFloat(s->ValueFormat(), total)});
        };
        auto labelOrValue = [&]() {
            std::string label = s->XLabel(ValueIndex);
            return label.empty() ? s->ValueMarkText(ValueIndex) : label;
        };
        switch (FStyle) {
        case smsValue:
            text = s->ValueMarkText(ValueIndex);
            break;
        case smsPercent:
            text = percentText();
            break;
        case smsLabel:
            text = labelOrValue();
            break;
        case smsLabelPercent:
            text = labelOrValue() + sep + percentText();
            break;
        case smsLabelValue:
            text = labelOrValue() + sep + s->ValueMarkText(ValueIndex);
            break;
        case smsLegend:
            if (TCustomAxisPanel* chart = s->ParentChart())
                text = chart->LegendTextOf(s, ValueIndex);
            if (!FMultiLine)
                std::replace(text.begin(), text.end(), '\x06', ' ');
            break;
        case smsPercentTotal:
            text = percentTotalText();
            break;
        case smsLabelPercentTotal:
            text = labelOrValue() + sep + percentTotalText();
            break;
        case smsXValue:
            text = s->XValueMarkText(ValueIndex);
            break;
        case smsXY:
            text = s->XValueMarkText(ValueIndex) + sep + s->ValueMarkText(ValueIndex);
            break;
        }
    }
    if (s->OnGetMarkText)
        s->OnGetMarkText(s, ValueIndex, text);
    return text;
}

std::string TChartSeries::LegendItemText(int Index, TLegendTextStyle Style) {
    const std::string label = XLabel(Index);
    const double value = MandatoryValue(Index);
    auto valueText = [&]() {
        if (FMandatory->DateTime())
            return plat::FormatDateTime(ChooseDateTimeFormat(value), value);
        return plat::FormatFloat(FValueFormat, value);
    };
    auto percentText = [&]() {
        const double total = FMandatory->TotalABS();
        return plat::FormatFloat(FPercentFormat, total != 0 ? value * 100 / total : 100);
    };
    auto xText = [&]() {
        const double x = FX->Items(Index);
        return FHorizAxisBound ? FHorizAxisBound->LabelText(x) : plat::FormatFloat(FValueFormat, x);
    };
    const std::string sep = "\x06";
    switch (Style) {
    case ltsPlain:
        return label;
    case ltsLeftValue:
        return label.empty() ? valueText() : valueText() + sep + label;
    case ltsRightValue:
        return label.empty() ? valueText() : label + sep + valueText();
    case ltsLeftPercent:
        return label.empty() ? percentText() : percentText() + sep + label;
    case ltsRightPercent:
        return label.empty() ? percentText() : label + sep + percentText();
    case ltsXValue:
        return xText();
    case ltsValue:
        return valueText();
    case ltsPercent:
        return percentText();
    case ltsXAndValue:
        return xText() + sep + valueText();
    case ltsXAndPercent:
        return xText() + sep + percentText();
    }
    return label;
}

// --- Drawing ----------------------------------------------------------------------------------------

void TChartSeries::DrawMarks() {
    FMarks->DrawMarks();
}

void TChartSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) {
    FMarks->DrawItem(ValueIndex, ValueColor(ValueIndex), Text, Position);
}

void TSeriesMarks::DrawMarks() {
    TCustomAxisPanel* chart = FSeries->ParentChart();
    if (!chart)
        return;
    TPlotCanvas3D& canvas = *chart->Canvas();
    const bool zoomFont = chart->View3D() && !canvas.DrawsText3D() && chart->View3DOptions() &&
                          chart->View3DOptions()->ZoomText() && chart->View3DOptions()->Zoom() != 100;
    const int every = std::max(1, FDrawEvery);
    TSeriesMarkPosition position;
    for (int i = FSeries->FirstVisibleIndex(); i <= FSeries->LastVisibleIndex() && i >= 0; ++i) {
        if (i % every != 0 || FSeries->PointIsNull(i))
            continue;
        const std::string text = GetMarkText(i);
        if (text.empty())
            continue;
        TPlotCustomShape* shape = ItemOrMarks(i);
        if (!shape->Visible())
            continue;
        canvas.UseFont(shape->Font());
        if (zoomFont)
            canvas.Font()->SetSize(
                std::max(1, RoundToInt(canvas.Font()->Size() * chart->View3DOptions()->Zoom() * 0.01)));
        const int fontHeight = canvas.FontHeight();
        int w, h;
        if (shape->TextFormat() == ttfHtml) {
            const plat::TSize size = MeasureChartMarkup(canvas, text);
            w = size.cx;
            h = size.cy;
        } else {
            int lines = 0;
            w = chart->MultiLineTextWidth(text, lines);
            h = std::max(1, lines) * fontHeight;
        }
        w += canvas.TextWidth("W");
        if (FSymbol && FSymbol->ShouldDraw())
            w += fontHeight - 4;
        canvas.UseChartPen(shape->Pen());
        if (shape->Pen()->Visible()) {
            w += 2 * shape->Pen()->Width();
            h += 2 * shape->Pen()->Width();
        } else {
            w += 1;
            h += 1;
        }
        position = TSeriesMarkPosition();
        position.Width = w;
        position.Height = h;
        position.ArrowTo = TPoint(FSeries->ScreenX(i), FSeries->ScreenY(i));
        position.ArrowFrom = position.ArrowTo;
        position.LeftTop = TPoint(position.ArrowTo.X - w / 2, position.ArrowTo.Y - h + 1);
        FSeries->DrawMark(i, text, &position);
    }
}

void TSeriesMarks::DrawItem(int ValueIndex, TColor Color, const std::string& Text,
                            TSeriesMarkPosition* Position) {
    TCustomAxisPanel* chart = FSeries->ParentChart();
    if (!chart || !Position)
        return;
    TPlotCanvas3D& canvas = *chart->Canvas();

    TSeriesMarkPosition& stored = FPositions.Ensure(ValueIndex);
    if (stored.Custom) {
        const TPoint from = Position->ArrowFrom;
        Position->Assign(stored);
        if (Position->ArrowFix)
            Position->ArrowFrom = from;
    } else {
        stored.Assign(*Position);
    }

    TPlotCustomShape* shape = ItemOrMarks(ValueIndex);
    if (FCallout && (FCallout->Visible() || FCallout->Arrow()->Visible()))
        FCallout->DrawCallout(Color, Position->ArrowTo, FZPosition, Position->ArrowFrom);

    if (shape->Transparent()) {
        canvas.Brush()->SetStyle(plat::bsClear);
        canvas.SetBackMode(plat::TRANSPARENT);
    } else {
        canvas.UseChartBrushWithColor(shape->Brush(), shape->Color());
    }
    canvas.UseChartPen(shape->Pen());

    if (chart->View3D() && !canvas.IsTrue3D()) {
        const TPoint p = canvas.Calc3DPoint(Position->ArrowTo.X, Position->ArrowTo.Y, FZPosition);
        Position->LeftTop.X += p.X - Position->ArrowTo.X;
        Position->LeftTop.Y += p.Y - Position->ArrowTo.Y;
    }
    TRect r(Position->LeftTop.X, Position->LeftTop.Y, Position->LeftTop.X + Position->Width,
            Position->LeftTop.Y + Position->Height);
    shape->DrawShapeRect(r, FAngle % 360, FZPosition + 1);

    canvas.UseFont(shape->Font());
    const int fontHeight = canvas.FontHeight();
    const bool symbol = FSymbol && FSymbol->ShouldDraw();
    const TRect symbolRect(r.Left + 4, r.Top + 3, r.Left + fontHeight - 1, r.Top + fontHeight - 2);
    if (symbol) {
        FSymbol->Brush()->SetColor(Color);
        FSymbol->SetColor(Color);
        FSymbol->SetTransparent(false);
        FSymbol->DrawShapeRect(symbolRect, 0, FZPosition + 1);
    }

    canvas.Brush()->SetStyle(plat::bsClear);
    canvas.SetBackMode(plat::TRANSPARENT);
    canvas.SetTextAlign(plat::TA_CENTER);
    r.Left += 2;
    if (symbol)
        r.Left += symbolRect.Width() + 4;
    const int cx = (r.Left + r.Right) / 2;
    const int cy = (r.Top + r.Bottom) / 2;
    const bool text3D = canvas.DrawsText3D();
    if (shape->TextFormat() == ttfHtml) {
        canvas.TextOutFormatted(cx, r.Top, Text, true);
        return;
    }
    const std::vector<std::string> lines = SplitMarkLines(Text);
    const int penOffset = shape->Pen()->Visible() ? shape->Pen()->Width() : 0;
    const int angle = FAngle % 360;
    for (size_t k = 0; k < lines.size(); ++k) {
        const int line = static_cast<int>(k);
        if (angle == 0) {
            const int y = r.Top + line * fontHeight + penOffset;
            if (text3D)
                canvas.TextOut3D(cx, y, FZPosition, lines[k]);
            else
                canvas.TextOut(cx, y, lines[k]);
        } else {
            const double a = FAngle * 0.017453292519943295;
            const double d = line * fontHeight + cy - r.Bottom;
            int x = cx + RoundToInt(std::sin(a) * d);
            if (FAngle == 90)
                ++x;
            const int y = cy + RoundToInt(std::cos(a) * d);
            if (text3D)
                canvas.RotatedTextWithZ(x, y, FZPosition, lines[k], FAngle);
            else
                canvas.RotatedText(x, y, lines[k], FAngle);
        }
    }
}

TRect TSeriesMarks::PositionRect(const TSeriesMarkPosition& Position) {
    TPoint leftTop = Position.LeftTop;
    TCustomAxisPanel* chart = FSeries->ParentChart();
    if (chart && chart->View3D() && !chart->Canvas()->IsTrue3D()) {
        const TPoint p = chart->Canvas()->Calc3DPoint(Position.ArrowTo.X, Position.ArrowTo.Y, FZPosition);
        leftTop.X += p.X - Position.ArrowTo.X;
        leftTop.Y += p.Y - Position.ArrowTo.Y;
    }
    return TRect(leftTop.X, leftTop.Y, leftTop.X + Position.Width, leftTop.Y + Position.Height);
}

int TSeriesMarks::Clicked(int X, int Y) {
    const int every = std::max(1, FDrawEvery);
    for (int i = FPositions.Count() - 1; i >= 0; --i) {
        if (i % every != 0)
            continue;
        const TSeriesMarkPosition* position = FPositions.Position(i);
        if (position && RectContainsXY(PositionRect(*position), X, Y))
            return i;
    }
    return -1;
}

int TSeriesMarks::MaxMarkWidth() {
    TCanvas3D* canvas = ChartCanvas();
    if (!canvas)
        return 0;
    int widest = 0;
    for (int i = 0; i < FSeries->Count(); ++i) {
        TPlotCustomShape* shape = ItemOrMarks(i);
        if (!shape->Visible())
            continue;
        canvas->UseFont(shape->Font());
        for (const std::string& line : SplitMarkLines(GetMarkText(i)))
            widest = std::max(widest, canvas->TextWidth(line));
    }
    return widest;
}

void TSeriesMarks::RemoveOverlap(int First, int Index, TSeriesMarkPosition& Position) {
    auto grownRect = [this](const TSeriesMarkPosition& p) {
        TRect r = PositionRect(p);
        if (Pen()->Visible()) {
            r.Right += Pen()->Width();
            r.Bottom += Pen()->Width();
        }
        if (TPlotShadow* shadow = Shadow()) {
            if (shadow->HorizSize() > 0)
                r.Right += shadow->HorizSize();
            else
                r.Left += shadow->HorizSize();
            if (shadow->VertSize() > 0)
                r.Bottom += shadow->VertSize();
            else
                r.Top += shadow->VertSize();
        }
        return r;
    };
    const TRect r = grownRect(Position);
    for (int j = std::max(0, First); j < Index; ++j) {
        const TSeriesMarkPosition* other = FPositions.Position(j);
        if (!other)
            continue;
        const TRect rj = grownRect(*other);
        const bool intersect =
            r.Left < rj.Right && rj.Left < r.Right && r.Top < rj.Bottom && rj.Top < r.Bottom;
        if (!intersect)
            continue;
        const int d = r.Top < rj.Top ? r.Bottom - rj.Top : r.Top - rj.Bottom;
        Position.LeftTop.Y -= d;
        Position.ArrowTo.Y -= d;
    }
}

} // namespace chart
