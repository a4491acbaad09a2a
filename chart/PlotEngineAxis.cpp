// The axis as a persistent object: construction, settings, copying and streaming; its pens, title and
// custom labels; the chart's lists of axes.
#include "chart/PlotEngineAxis.h"

#include <cmath>

#include "chart/PlotConst.h"
#include "chart/PlotEngineAxisPanel.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

namespace {

const char* const kLineModeNames[] = {"lmLine", "lmCylinder", "lmRectangle"};

static_assert(std::size(kLineModeNames) == lmRectangle + 1);
const char* const kLabelStyleNames[] = {"talAuto", "talNone", "talValue", "talMark", "talText"};
static_assert(std::size(kLabelStyleNames) == talText + 1);
const char* const kLabelAlignNames[] = {"alDefault", "alOpposite"};
static_assert(std::size(kLabelAlignNames) == alOpposite + 1);

// Angles are kept in 0..359 so that the label layout recognises 90, 180 and 270 whatever the sign.
int NormalizeAngle(int Value) {
    int a = Value % 360;
    return a < 0 ? a + 360 : a;
}

// The chart that owns a collection of custom axes, or null.
TCustomAxisPanel* ChartOfCollection(TCollection* Collection) {
    return Collection ? dynamic_cast<TCustomAxisPanel*>(Collection->Owner()) : nullptr;
}

// While the chart is read from a stream, its settings arrive one at a time in the stream's order.
bool ChartLoading(const TCustomAxisPanel* Chart) {
    return Chart && (Chart->ComponentState() & (csLoading | csReading)) != 0;
}

// A series bound to the axis as its custom axis goes back to the standard one.
void ReleaseAxis(TChartSeries* Series, TChartAxis* Axis) {
    if (Series->CustomHorizAxis() == Axis)
        Series->SetCustomHorizAxis(nullptr);
    if (Series->CustomVertAxis() == Axis)
        Series->SetCustomVertAxis(nullptr);
}

} // namespace

// ---- TChartAxisPen ----

PLAT_CLASS_INFO(TChartAxisPen, TChartPen)

TChartAxisPen::TChartAxisPen(TNotifyEvent ChangeHandler) : TChartPen(nullptr) {
    SetWidth(2);
    OnChange = std::move(ChangeHandler);
}

void TChartAxisPen::SetLineMode(TPenLineMode Value) {
    if (Value != FLineMode) {
        FLineMode = Value;
        Changed();
    }
}

void TChartAxisPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TChartAxisPen*>(Source))
        FLineMode = p->FLineMode;
    TChartPen::Assign(Source);
}

PLAT_PROPERTIES(TChartAxisPen) {
    props.Default("Width", 2);
    props.Enum("LineMode", &TChartAxisPen::LineMode, &TChartAxisPen::SetLineMode, kLineModeNames, lmLine);
}

// ---- TAxisGridPen ----

PLAT_CLASS_INFO(TAxisGridPen, TDottedGrayPen)

TAxisGridPen::TAxisGridPen(TNotifyEvent ChangeHandler) : TDottedGrayPen(std::move(ChangeHandler)) {}

void TAxisGridPen::Changed() {
    if (OnChange)
        OnChange(this);
}

void TAxisGridPen::SetCentered(bool Value) {
    if (Value != FCentered) {
        FCentered = Value;
        Changed();
    }
}

void TAxisGridPen::SetDrawEvery(int Value) {
    if (Value != FDrawEvery) {
        FDrawEvery = Value;
        Changed();
    }
}

void TAxisGridPen::SetZPosition(double Value) {
    if (Value != FZPosition) {
        FZPosition = Value;
        Changed();
    }
}

void TAxisGridPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TAxisGridPen*>(Source)) {
        FCentered = p->FCentered;
        FDrawEvery = p->FDrawEvery;
        FZPosition = p->FZPosition;
    }
    TDottedGrayPen::Assign(Source);
}

PLAT_PROPERTIES(TAxisGridPen) {
    props.Integer("DrawEvery", &TAxisGridPen::DrawEvery, &TAxisGridPen::SetDrawEvery, 1);
    props.Float("ZPosition", &TAxisGridPen::ZPosition, &TAxisGridPen::SetZPosition)
        .Stored(&TAxisGridPen::IsZPositionStored);
}

// ---- TChartAxisTitle ----

PLAT_CLASS_INFO(TChartAxisTitle, TPlotCustomShape)

TChartAxisTitle::TChartAxisTitle(TCustomPlotPanel* Parent) : TPlotCustomShape(Parent) {}

void TChartAxisTitle::Changed() {
    if (Parent())
        Parent()->Invalidate();
}

void TChartAxisTitle::SetAngle(int Value) {
    int a = NormalizeAngle(Value);
    if (a != FAngle) {
        FAngle = a;
        Changed();
    }
}

void TChartAxisTitle::SetCaption(const std::string& Value) {
    if (Value != FCaption) {
        FCaption = Value;
        Changed();
    }
}

void TChartAxisTitle::Assign(TPersistent* Source) {
    if (auto* t = dynamic_cast<TChartAxisTitle*>(Source)) {
        FAngle = t->FAngle;
        FCaption = t->FCaption;
    }
    TPlotCustomShape::Assign(Source);
}

PLAT_PROPERTIES(TChartAxisTitle) {
    props.Integer("Angle", &TChartAxisTitle::Angle, &TChartAxisTitle::SetAngle)
        .Stored(&TChartAxisTitle::IsAngleStored);
    props.String("Caption", &TChartAxisTitle::Caption, &TChartAxisTitle::SetCaption);
    props.Object("Font", &TPlotCustomShape::Font, &TPlotCustomShape::SetFont);
    props.Boolean("Visible", &TPlotCustomShapeBrushPen::Visible, &TPlotCustomShapeBrushPen::SetVisible, true);
}

// ---- TAxisItem, TAxisItems ----

PLAT_CLASS_INFO(TAxisItem, TPlotCustomShape)

TAxisItem::TAxisItem(TCustomPlotPanel* Parent) : TPlotCustomShape(Parent) {
    SetTransparent(true);
    SetDefaultTransparent(true);
}

void TAxisItem::SetText(const std::string& Value) {
    if (Value != FText) {
        FText = Value;
        if (Parent())
            Parent()->Invalidate();
    }
}

void TAxisItem::SetValue(double Value) {
    if (Value != FValue) {
        FValue = Value;
        if (Parent())
            Parent()->Invalidate();
    }
}

PLAT_PROPERTIES(TAxisItem) {
    props.String("Text", &TAxisItem::Text, &TAxisItem::SetText);
    props.Float("Value", &TAxisItem::Value, &TAxisItem::SetValue);
    props.Enum("Bevel", &TPlotCustomShape::Bevel, &TPlotCustomShape::SetBevel, kBevelCutNames, bvNone);
    props.Integer("BevelWidth", &TPlotCustomShape::BevelWidth, &TPlotCustomShape::SetBevelWidth, 2);
    props.Color("Color", &TPlotCustomShape::Color, &TPlotCustomShape::SetColor, clWhite);
    props.Object("Font", &TPlotCustomShape::Font, &TPlotCustomShape::SetFont);
    props.Object("Gradient", &TPlotCustomShape::Gradient, &TPlotCustomShape::SetGradient)
        .Stored(&TPlotCustomShape::HasGradient);
    props.Object("Shadow", &TPlotCustomShape::Shadow, &TPlotCustomShape::SetShadow);
    props.Enum("ShapeStyle", &TPlotCustomShape::ShapeStyle, &TPlotCustomShape::SetShapeStyle,
               kShapeStyleNames, fosRectangle);
    props.Integer("Transparency", &TPlotCustomShape::Transparency, &TPlotCustomShape::SetTransparency, 0);
    props.Boolean("Transparent", &TPlotCustomShape::Transparent, &TPlotCustomShape::SetTransparent)
        .Stored(&TPlotCustomShape::IsTransparentStored);
}

PLAT_CLASS_INFO(TAxisItems, TList)

TAxisItems::TAxisItems(TChartAxis* Axis) : FAxis(Axis) {
    FFormat = std::make_unique<TPlotShape>(Axis->ParentChart());
    FFormat->SetTransparent(true);
    FFormat->SetDefaultTransparent(true);
}

// The items go with the list: nothing else owns them.
TAxisItems::~TAxisItems() {
    FreeItems();
}

void TAxisItems::FreeItems() {
    for (int i = 0; i < Count(); ++i)
        delete Item(i);
    TList::Clear();
}

TAxisItem* TAxisItems::Add(double Value) {
    auto* item = new TAxisItem(FAxis->ParentChart());
    item->SetValue(Value);
    TList::Add(item);
    return item;
}

TAxisItem* TAxisItems::Add(double Value, const std::string& Text) {
    TAxisItem* item = Add(Value);
    item->SetText(Text);
    return item;
}

void TAxisItems::CopyItemsFrom(TAxisItems* Source) {
    if (!Source || Source == this)
        return;
    FFormat->Assign(Source->FFormat.get());
    FreeItems();
    for (int i = 0; i < Source->Count(); ++i)
        Add(Source->Item(i)->Value(), Source->Item(i)->Text());
}

void TAxisItems::Clear() {
    FreeItems();
    if (TCustomAxisPanel* chart = FAxis->ParentChart())
        chart->Invalidate();
}

// ---- TChartAxis: construction ----

PLAT_CLASS_INFO(TChartAxis, TCollectionItem)

TChartAxis::TChartAxis(TCollection* Collection) : TCollectionItem(Collection) {
    Init(ChartOfCollection(Collection));
}

TChartAxis::TChartAxis(TCustomAxisPanel* Chart) : TCollectionItem(nullptr) {
    Init(Chart);
}

void TChartAxis::Init(TCustomAxisPanel* Chart) {
    FParentChart = Chart;
    FAxisValuesFormat = ChartTextValueFormat;
    TNotifyEvent changed = [this](TObject* Sender) { PenChanged(Sender); };
    FItems = std::make_unique<TAxisItems>(this);
    FTitle = std::make_unique<TChartAxisTitle>(Chart);
    FTicks = std::make_unique<TDarkGrayPen>(changed);
    FMinorTicks = std::make_unique<TDarkGrayPen>(changed);
    FTicksInner = std::make_unique<TDarkGrayPen>(changed);
    FGrid = std::make_unique<TAxisGridPen>(changed);
    FMinorGrid = std::make_unique<TChartHiddenPen>(changed);
    FAxis = std::make_unique<TChartAxisPen>(changed);
    SelectPositionFunctions();
    if (TChartAxes* axes = Chart ? Chart->Axes() : nullptr)
        axes->Add(this);
}

TChartAxis::~TChartAxis() {
    FItems.reset();
    if (!FParentChart)
        return;
    if (FParentChart->SeriesList())
        for (int i = 0; i < FParentChart->SeriesCount(); ++i)
            ReleaseAxis(FParentChart->SeriesAt(i), this);
    if (TChartAxes* axes = FParentChart->Axes()) {
        axes->Remove(this);
        // Custom axes that followed this one follow nothing now.
        for (int i = 0; i < axes->Count(); ++i)
            if (axes->AxisAt(i)->FMasterAxis == this)
                axes->AxisAt(i)->FMasterAxis = nullptr;
    }
}

void TChartAxis::PenChanged(TObject*) {
    Repaint();
}

void TChartAxis::Repaint() const {
    if (FParentChart)
        FParentChart->Invalidate();
}

// ---- Settings ----

void TChartAxis::SetAutomatic(bool Value) {
    StoreAndRepaint(FAutomatic, Value);
    if (!ChartLoading(FParentChart)) {
        FAutomaticMinimum = Value;
        FAutomaticMaximum = Value;
    }
}

void TChartAxis::SetAutomaticMaximum(bool Value) {
    StoreAndRepaint(FAutomaticMaximum, Value);
    if (!Value)
        FAutomatic = false;
    else if (FAutomaticMinimum)
        FAutomatic = true;
}

void TChartAxis::SetAutomaticMinimum(bool Value) {
    StoreAndRepaint(FAutomaticMinimum, Value);
    if (!Value)
        FAutomatic = false;
    else if (FAutomaticMaximum)
        FAutomatic = true;
}

void TChartAxis::SetIncrement(double Value) {
    // Also refuses NaN, which no label step could follow.
    if (!(Value >= 0))
        throw AxisException(ChartTextAxisIncrement);
    StoreAndRepaint(FIncrement, Value);
}

void TChartAxis::SetMaximum(double Value) {
    if (Value < FMinimum && !ChartLoading(FParentChart))
        throw AxisException(ChartTextAxisMaximum);
    StoreAndRepaint(FMaximum, Value);
}

void TChartAxis::SetMinimum(double Value) {
    if (Value > FMaximum && !ChartLoading(FParentChart))
        throw AxisException(ChartTextAxisMinimum);
    StoreAndRepaint(FMinimum, Value);
}

void TChartAxis::SetLogarithmic(bool Value) {
    if (Value == FLogarithmic)
        return;
    if (Value) {
        if (HasDateTimeValues())
            throw AxisException(ChartTextDateTimeNotLogarithmic);
        UpdateRange();
        if (FRangeMin < 0 || FRangeMax < 0)
            throw AxisException(ChartTextLogarithmicMinMax);
    }
    StoreAndRepaint(FLogarithmic, Value);
    UpdateScales();
    SelectPositionFunctions();
}

void TChartAxis::SetLogarithmicBase(double Value) {
    if (!(Value > 0 && Value != 1))
        throw AxisException(ChartTextLogarithmicBase);
    StoreAndRepaint(FLogarithmicBase, Value);
}

void TChartAxis::SetMaximumOffset(int Value) {
    StoreAndRepaint(FMaximumOffset, Value);
}

void TChartAxis::SetMinimumOffset(int Value) {
    StoreAndRepaint(FMinimumOffset, Value);
}

void TChartAxis::SetInverted(bool Value) {
    StoreAndRepaint(FInverted, Value);
}

void TChartAxis::SetHorizontal(bool Value) {
    StoreAndRepaint(FHorizontal, Value);
    SelectPositionFunctions();
}

void TChartAxis::SetOtherSide(bool Value) {
    StoreAndRepaint(FOtherSide, Value);
}

void TChartAxis::SetVisible(bool Value) {
    StoreAndRepaint(FVisible, Value);
}

void TChartAxis::SetStartPosition(double Value) {
    StoreAndRepaint(FStartPosition, Value);
}

void TChartAxis::SetEndPosition(double Value) {
    StoreAndRepaint(FEndPosition, Value);
}

void TChartAxis::SetZPosition(double Value) {
    StoreAndRepaint(FZPosition, Value);
    if (FZPosition == 0)
        FZPosition = 0.01;
}

void TChartAxis::SetIsDepthAxis(bool Value) {
    if (Value != FIsDepthAxis) {
        FIsDepthAxis = Value;
        SelectPositionFunctions();
    }
}

bool TChartAxis::Labels() const {
    return FItems->Format()->Visible();
}

void TChartAxis::SetLabels(bool Value) {
    FItems->Format()->SetVisible(Value);
}

TPlotFont* TChartAxis::LabelsFont() const {
    return FItems->Format()->Font();
}

void TChartAxis::SetLabelsFont(TPlotFont* Value) {
    FItems->Format()->SetFont(Value);
}

void TChartAxis::SetLabelsAlign(TAxisLabelAlign Value) {
    StoreAndRepaint(FLabelsAlign, Value);
}

void TChartAxis::SetLabelsAlternate(bool Value) {
    StoreAndRepaint(FLabelsAlternate, Value);
}

void TChartAxis::SetLabelsAngle(int Value) {
    StoreAndRepaint(FLabelsAngle, NormalizeAngle(Value));
}

void TChartAxis::SetLabelsExponent(bool Value) {
    StoreAndRepaint(FLabelsExponent, Value);
}

void TChartAxis::SetLabelsMultiLine(bool Value) {
    StoreAndRepaint(FLabelsMultiLine, Value);
}

void TChartAxis::SetLabelsOnAxis(bool Value) {
    StoreAndRepaint(FLabelsOnAxis, Value);
}

void TChartAxis::SetLabelsSeparation(int Value) {
    if (Value < 0)
        throw AxisException(ChartTextLabelsSeparation);
    StoreAndRepaint(FLabelsSeparation, Value);
}

void TChartAxis::SetLabelsSize(int Value) {
    StoreAndRepaint(FLabelsSize, Value);
}

void TChartAxis::SetLabelStyle(TAxisLabelStyle Value) {
    StoreAndRepaint(FLabelStyle, Value);
}

void TChartAxis::SetAxisValuesFormat(const std::string& Value) {
    StoreAndRepaint(FAxisValuesFormat, Value);
}

void TChartAxis::SetDateTimeFormat(const std::string& Value) {
    StoreAndRepaint(FDateTimeFormat, Value);
}

void TChartAxis::SetExactDateTime(bool Value) {
    StoreAndRepaint(FExactDateTime, Value);
}

void TChartAxis::SetRoundFirstLabel(bool Value) {
    StoreAndRepaint(FRoundFirstLabel, Value);
}

void TChartAxis::SetAxis(TChartAxisPen* Value) {
    FAxis->Assign(Value);
}

void TChartAxis::SetTitle(TChartAxisTitle* Value) {
    FTitle->Assign(Value);
}

void TChartAxis::SetTitleSize(int Value) {
    StoreAndRepaint(FTitleSize, Value);
}

void TChartAxis::SetGrid(TAxisGridPen* Value) {
    FGrid->Assign(Value);
}

void TChartAxis::SetMinorGrid(TChartHiddenPen* Value) {
    FMinorGrid->Assign(Value);
}

void TChartAxis::SetTicks(TDarkGrayPen* Value) {
    FTicks->Assign(Value);
}

void TChartAxis::SetTicksInner(TDarkGrayPen* Value) {
    FTicksInner->Assign(Value);
}

void TChartAxis::SetMinorTicks(TDarkGrayPen* Value) {
    FMinorTicks->Assign(Value);
}

void TChartAxis::SetMinorTickCount(int Value) {
    StoreAndRepaint(FMinorTickCount, Value);
}

void TChartAxis::SetMinorTickLength(int Value) {
    StoreAndRepaint(FMinorTickLength, Value);
}

void TChartAxis::SetTickInnerLength(int Value) {
    StoreAndRepaint(FTickInnerLength, Value);
}

void TChartAxis::SetTickLength(int Value) {
    StoreAndRepaint(FTickLength, Value);
}

void TChartAxis::SetTickOnLabelsOnly(bool Value) {
    StoreAndRepaint(FTickOnLabelsOnly, Value);
}

void TChartAxis::SetPositionPercent(double Value) {
    StoreAndRepaint(FPositionPercent, Value);
}

void TChartAxis::SetPositionUnits(TPlotUnits Value) {
    StoreAndRepaint(FPositionUnits, Value);
}

bool TChartAxis::IsHorizontalStored() const {
    TChartAxes* axes = FParentChart ? FParentChart->Axes() : nullptr;
    return !axes || axes->IndexOf(this) >= 6;
}

bool TChartAxis::IsZPositionStored() const {
    if (FIsDepthAxis)
        return false;
    if (FOtherSide)
        return FZPosition != 100;
    return FZPosition > 0.011;
}

// ---- Copying ----

void TChartAxis::Assign(TPersistent* Source) {
    auto* a = dynamic_cast<TChartAxis*>(Source);
    if (!a) {
        TCollectionItem::Assign(Source);
        return;
    }
    FAxis->Assign(a->FAxis.get());
    FItems->CopyItemsFrom(a->FItems.get());
    FLabelsAlign = a->FLabelsAlign;
    FLabelsAlternate = a->FLabelsAlternate;
    FLabelsAngle = a->FLabelsAngle;
    FLabelsExponent = a->FLabelsExponent;
    FLabelsMultiLine = a->FLabelsMultiLine;
    FLabelsSeparation = a->FLabelsSeparation;
    FLabelsSize = a->FLabelsSize;
    FLabelStyle = a->FLabelStyle;
    FLabelsOnAxis = a->FLabelsOnAxis;
    FTicks->Assign(a->FTicks.get());
    FTicksInner->Assign(a->FTicksInner.get());
    FTitleSize = a->FTitleSize;
    FGrid->Assign(a->FGrid.get());
    FMinorTicks->Assign(a->FMinorTicks.get());
    FMinorGrid->Assign(a->FMinorGrid.get());
    FTickLength = a->FTickLength;
    FMinorTickLength = a->FMinorTickLength;
    FMinorTickCount = a->FMinorTickCount;
    FTickInnerLength = a->FTickInnerLength;
    FAxisValuesFormat = a->FAxisValuesFormat;
    FIncrement = a->FIncrement;
    FMaximum = a->FMaximum;
    FMaximumOffset = a->FMaximumOffset;
    FMinimum = a->FMinimum;
    FMinimumOffset = a->FMinimumOffset;
    FAutomatic = a->FAutomatic;
    FAutomaticMaximum = a->FAutomaticMaximum;
    FAutomaticMinimum = a->FAutomaticMinimum;
    FTitle->Assign(a->FTitle.get());
    FDateTimeFormat = a->FDateTimeFormat;
    FGrid->SetCentered(a->FGrid->Centered());
    FLogarithmic = a->FLogarithmic;
    FLogarithmicBase = a->FLogarithmicBase;
    FInverted = a->FInverted;
    FExactDateTime = a->FExactDateTime;
    FRoundFirstLabel = a->FRoundFirstLabel;
    FTickOnLabelsOnly = a->FTickOnLabelsOnly;
    FIsDepthAxis = a->FIsDepthAxis;
    FStartPosition = a->FStartPosition;
    FEndPosition = a->FEndPosition;
    FPositionPercent = a->FPositionPercent;
    FPositionUnits = a->FPositionUnits;
    FVisible = a->FVisible;
    FHorizontal = a->FHorizontal;
    FOtherSide = a->FOtherSide;
    SelectPositionFunctions();
}

// ---- Streaming ----

PLAT_PROPERTIES(TChartAxis) {
    props.Boolean("Automatic", &TChartAxis::Automatic, &TChartAxis::SetAutomatic, true);
    props.Boolean("AutomaticMaximum", &TChartAxis::AutomaticMaximum, &TChartAxis::SetAutomaticMaximum, true);
    props.Boolean("AutomaticMinimum", &TChartAxis::AutomaticMinimum, &TChartAxis::SetAutomaticMinimum, true);
    props.Object("Axis", &TChartAxis::Axis, &TChartAxis::SetAxis);
    props.String("AxisValuesFormat", &TChartAxis::AxisValuesFormat, &TChartAxis::SetAxisValuesFormat)
        .Stored([](const TChartAxis& a) { return a.AxisValuesFormat() != ChartTextValueFormat; });
    props.String("DateTimeFormat", &TChartAxis::DateTimeFormat, &TChartAxis::SetDateTimeFormat);
    props.Float("EndPosition", &TChartAxis::EndPosition, &TChartAxis::SetEndPosition, 100);
    props.Boolean("ExactDateTime", &TChartAxis::ExactDateTime, &TChartAxis::SetExactDateTime, true);
    props.Object("Grid", &TChartAxis::Grid, &TChartAxis::SetGrid);
    props.Boolean("GridCentered", &TChartAxis::GridCentered, &TChartAxis::SetGridCentered, false);
    props.Boolean("Horizontal", &TChartAxis::Horizontal, &TChartAxis::SetHorizontal)
        .Stored(&TChartAxis::IsHorizontalStored);
    props.Float("Increment", &TChartAxis::Increment, &TChartAxis::SetIncrement);
    props.Boolean("Inverted", &TChartAxis::Inverted, &TChartAxis::SetInverted, false);
    props.Boolean("Labels", &TChartAxis::Labels, &TChartAxis::SetLabels, true);
    props.Enum("LabelsAlign", &TChartAxis::LabelsAlign, &TChartAxis::SetLabelsAlign, kLabelAlignNames,
               alDefault);
    props.Boolean("LabelsAlternate", &TChartAxis::LabelsAlternate, &TChartAxis::SetLabelsAlternate, false);
    props.Integer("LabelsAngle", &TChartAxis::LabelsAngle, &TChartAxis::SetLabelsAngle, 0);
    props.Boolean("LabelsExponent", &TChartAxis::LabelsExponent, &TChartAxis::SetLabelsExponent, false);
    props.Object("LabelsFont", &TChartAxis::LabelsFont, &TChartAxis::SetLabelsFont);
    props.Boolean("LabelsMultiLine", &TChartAxis::LabelsMultiLine, &TChartAxis::SetLabelsMultiLine, false);
    props.Boolean("LabelsOnAxis", &TChartAxis::LabelsOnAxis, &TChartAxis::SetLabelsOnAxis, true);
    props.Integer("LabelsSeparation", &TChartAxis::LabelsSeparation, &TChartAxis::SetLabelsSeparation, 10);
    props.Integer("LabelsSize", &TChartAxis::LabelsSize, &TChartAxis::SetLabelsSize, 0);
    props.Enum("LabelStyle", &TChartAxis::LabelStyle, &TChartAxis::SetLabelStyle, kLabelStyleNames, talAuto);
    props.Boolean("Logarithmic", &TChartAxis::Logarithmic, &TChartAxis::SetLogarithmic, false);
    props.Float("LogarithmicBase", &TChartAxis::LogarithmicBase, &TChartAxis::SetLogarithmicBase, 10);
    props.Float("Maximum", &TChartAxis::Maximum, &TChartAxis::SetMaximum)
        .Stored(&TChartAxis::IsMaximumStored);
    props.Integer("MaximumOffset", &TChartAxis::MaximumOffset, &TChartAxis::SetMaximumOffset, 0);
    props.Float("Minimum", &TChartAxis::Minimum, &TChartAxis::SetMinimum)
        .Stored(&TChartAxis::IsMinimumStored);
    props.Integer("MinimumOffset", &TChartAxis::MinimumOffset, &TChartAxis::SetMinimumOffset, 0);
    props.Object("MinorGrid", &TChartAxis::MinorGrid, &TChartAxis::SetMinorGrid);
    props.Integer("MinorTickCount", &TChartAxis::MinorTickCount, &TChartAxis::SetMinorTickCount, 3);
    props.Integer("MinorTickLength", &TChartAxis::MinorTickLength, &TChartAxis::SetMinorTickLength, 2);
    props.Object("MinorTicks", &TChartAxis::MinorTicks, &TChartAxis::SetMinorTicks);
    props.Boolean("OtherSide", &TChartAxis::OtherSide, &TChartAxis::SetOtherSide, false);
    props.Float("PositionPercent", &TChartAxis::PositionPercent, &TChartAxis::SetPositionPercent);
    props.Enum("PositionUnits", &TChartAxis::PositionUnits, &TChartAxis::SetPositionUnits, kPlotUnitsNames,
               muPercent);
    props.Boolean("RoundFirstLabel", &TChartAxis::RoundFirstLabel, &TChartAxis::SetRoundFirstLabel, true);
    props.Float("StartPosition", &TChartAxis::StartPosition, &TChartAxis::SetStartPosition);
    props.Integer("TickInnerLength", &TChartAxis::TickInnerLength, &TChartAxis::SetTickInnerLength, 0);
    props.Integer("TickLength", &TChartAxis::TickLength, &TChartAxis::SetTickLength, 4);
    props.Boolean("TickOnLabelsOnly", &TChartAxis::TickOnLabelsOnly, &TChartAxis::SetTickOnLabelsOnly, true);
    props.Object("Ticks", &TChartAxis::Ticks, &TChartAxis::SetTicks);
    props.Object("TicksInner", &TChartAxis::TicksInner, &TChartAxis::SetTicksInner);
    props.Object("Title", &TChartAxis::Title, &TChartAxis::SetTitle);
    props.Integer("TitleSize", &TChartAxis::TitleSize, &TChartAxis::SetTitleSize, 0);
    props.Boolean("Visible", &TChartAxis::Visible, &TChartAxis::SetVisible, true);
    props.Float("ZPosition", &TChartAxis::ZPosition, &TChartAxis::SetZPosition)
        .Stored(&TChartAxis::IsZPositionStored);
    props.Event("OnDrawLabel", &TChartAxis::OnDrawLabel);
}

// ---- TChartDepthAxis ----

PLAT_CLASS_INFO(TChartDepthAxis, TChartAxis)

void TChartDepthAxis::InitDepth() {
    SetVisible(false);
    SetIsDepthAxis(true);
}

void TChartDepthAxis::SetInverted(bool Value) {
    TChartAxis::SetInverted(Value);
    TChartAxes* axes = ParentChart() ? ParentChart()->Axes() : nullptr;
    if (!axes || axes->Count() < 6)
        return;
    TChartAxis* other = axes->ChartDepthAxis() == this ? axes->ChartDepthTopAxis() : axes->ChartDepthAxis();
    if (other != this && other->Inverted() != Value)
        other->TChartAxis::SetInverted(Value);
}

PLAT_PROPERTIES(TChartDepthAxis) {
    props.Default("Visible", false);
}

// ---- TChartAxes, TChartCustomAxes ----

PLAT_CLASS_INFO(TChartAxes, TList)

void TChartAxes::Clear() {
    while (Count() > 0) {
        TChartAxis* axis = AxisAt(0);
        delete axis;
        // An axis of another chart's list would not leave this one.
        if (Count() > 0 && AxisAt(0) == axis)
            Delete(0);
    }
    TList::Clear();
}

bool TChartAxes::GetBehind() const {
    return FChart && FChart->AxisBehind();
}

void TChartAxes::SetBehind(bool Value) {
    if (FChart)
        FChart->SetAxisBehind(Value);
}

bool TChartAxes::GetVisible() const {
    return FChart && FChart->AxisVisible();
}

void TChartAxes::SetVisible(bool Value) {
    if (FChart)
        FChart->SetAxisVisible(Value);
}

void TChartAxes::SetFastCalc(bool Value) {
    if (Value == FFastCalc)
        return;
    FFastCalc = Value;
    for (int i = 0; i < Count(); ++i)
        AxisAt(i)->SelectPositionFunctions();
}

void TChartAxes::PassRangeToCustomAxes(TChartAxis* Axis) {
    for (int i = 6; i < Count(); ++i) {
        TChartAxis* a = AxisAt(i);
        if (a != Axis && a->MasterAxis() == Axis)
            a->SetAxisRange(Axis->Minimum(), Axis->Maximum());
    }
}

PLAT_CLASS_INFO(TChartCustomAxes, TOwnedCollection)

TChartCustomAxes::TChartCustomAxes(TCustomAxisPanel* Chart)
    : TOwnedCollection(Chart, TCollectionItemClass::Of<TChartAxis>()) {}

} // namespace chart
