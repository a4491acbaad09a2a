// The element and series bases and the point data of TChartSeries: adding, inserting, deleting and
// clearing points with their colours and labels, update suspension and the notifications around them.
#include <algorithm>
#include <cmath>

#include "chart/PlotConst.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotEngineSeries.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"

namespace chart {

// --- TCustomChartElement ----------------------------------------------------------------------------

PLAT_CLASS_INFO(TCustomChartElement, plat::TComponent)

TCustomChartElement::TCustomChartElement(plat::TComponent* AOwner) : plat::TComponent(AOwner) {
    FBrush = std::make_unique<TChartBrush>(RepaintHandler());
    FPen = CreateChartPen();
}

TCustomChartElement::~TCustomChartElement() = default;

TNotifyEvent TCustomChartElement::RepaintHandler() {
    return [this](plat::TObject*) { Repaint(); };
}

std::unique_ptr<TChartPen> TCustomChartElement::CreateChartPen() {
    return std::make_unique<TChartPen>(RepaintHandler());
}

void TCustomChartElement::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TCustomChartElement*>(Source)) {
        FActive = source->FActive;
        FBrush->Assign(source->FBrush.get());
        FPen->Assign(source->FPen.get());
        SetTag(source->Tag());
        return;
    }
    plat::TComponent::Assign(Source);
}

void TCustomChartElement::SetActive(bool Value) {
    SetBooleanProperty(FActive, Value);
}

void TCustomChartElement::SetBrush(TChartBrush* Value) {
    FBrush->Assign(Value);
}

void TCustomChartElement::SetParentChart(TCustomAxisPanel* Value) {
    FParent = Value;
}

void TCustomChartElement::SetPen(TChartPen* Value) {
    FPen->Assign(Value);
}

void TCustomChartElement::Repaint() {
    InvalidateParentChart();
}

void TCustomChartElement::SetBooleanProperty(bool& Variable, bool Value) {
    if (Variable != Value) {
        Variable = Value;
        InvalidateParentChart();
    }
}

void TCustomChartElement::SetColorProperty(TColor& Variable, TColor Value) {
    if (Variable != Value) {
        Variable = Value;
        InvalidateParentChart();
    }
}

void TCustomChartElement::SetDoubleProperty(double& Variable, double Value) {
    if (Variable != Value) {
        Variable = Value;
        InvalidateParentChart();
    }
}

void TCustomChartElement::SetIntegerProperty(int& Variable, int Value) {
    if (Variable != Value) {
        Variable = Value;
        InvalidateParentChart();
    }
}

void TCustomChartElement::SetStringProperty(std::string& Variable, const std::string& Value) {
    if (Variable != Value) {
        Variable = Value;
        InvalidateParentChart();
    }
}

// --- TCustomChartSeries -----------------------------------------------------------------------------

PLAT_CLASS_INFO(TCustomChartSeries, TCustomChartElement)

TCustomChartSeries::TCustomChartSeries(plat::TComponent* AOwner) : TCustomChartElement(AOwner) {}

void TCustomChartSeries::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TCustomChartSeries*>(Source)) {
        FShowInLegend = source->FShowInLegend;
        FTitle = source->FTitle;
        FStyle = source->FStyle;
        FIdentifier = source->FIdentifier;
    }
    TCustomChartElement::Assign(Source);
}

void TCustomChartSeries::DefineProperties(plat::TFiler& Filer) {
    TCustomChartElement::DefineProperties(Filer);
    Filer.DefineProperty(
        "Identifier", [this](plat::TReader& Reader) { FIdentifier = Reader.ReadString(); },
        [this](plat::TWriter& Writer) { Writer.WriteString(FIdentifier); }, !FIdentifier.empty());
    Filer.DefineProperty(
        "Style",
        [this](plat::TReader& Reader) { SetStyle(static_cast<TChartSeriesStyle>(Reader.ReadInteger())); },
        [this](plat::TWriter& Writer) { Writer.WriteInteger(FStyle); }, FStyle != 0);
}

void TCustomChartSeries::SetActive(bool Value) {
    TCustomChartElement::SetActive(Value);
    NotifySeriesEvent(seChangeActive);
}

void TCustomChartSeries::SetShowInLegend(bool Value) {
    SetBooleanProperty(FShowInLegend, Value);
}

void TCustomChartSeries::SetTitle(const std::string& Value) {
    SetStringProperty(FTitle, Value);
    NotifySeriesEvent(seChangeTitle);
}

void TCustomChartSeries::GetHorizMargins(int& LeftMargin, int& RightMargin) {
    LeftMargin = 0;
    RightMargin = 0;
}

void TCustomChartSeries::GetVertMargins(int& TopMargin, int& BottomMargin) {
    TopMargin = 0;
    BottomMargin = 0;
}

void TCustomChartSeries::Removed() {
    FParent = nullptr;
}

// --- TChartSeries: construction ---------------------------------------------------------------------

PLAT_CLASS_INFO(TChartSeries, TCustomChartSeries)

namespace {

const char* const kHorizAxisNames[] = {"aTopAxis", "aBottomAxis", "aBothHorizAxis", "aCustomHorizAxis"};

static_assert(std::size(kHorizAxisNames) == aCustomHorizAxis + 1);
const char* const kVertAxisNames[] = {"aLeftAxis", "aRightAxis", "aBothVertAxis", "aCustomVertAxis"};
static_assert(std::size(kVertAxisNames) == aCustomVertAxis + 1);

} // namespace

// What every series kind publishes; the kinds add their own.
PLAT_PROPERTIES(TChartSeries) {
    props.Boolean("Active", &TChartSeries::Active, &TChartSeries::SetActive, true);
    props.Object("Brush", &TChartSeries::Brush, &TChartSeries::SetBrush);
    props.Boolean("ColorEachPoint", &TChartSeries::ColorEachPoint, &TChartSeries::SetColorEachPoint, false);
    props.String("ColorSource", &TChartSeries::ColorSource, &TChartSeries::SetColorSource);
    props.Integer("Depth", &TChartSeries::Depth, &TChartSeries::SetDepth, -1);
    props.Enum("HorizAxis", &TChartSeries::HorizAxis, &TChartSeries::SetHorizAxis, kHorizAxisNames,
               aBottomAxis);
    props.Object("Marks", &TChartSeries::Marks, &TChartSeries::SetMarks);
    props.Component("ParentChart", &TChartSeries::ParentChart, &TChartSeries::SetParentChart);
    props.Component("DataSource", &TChartSeries::DataSource, &TChartSeries::SetDataSource);
    props.String("PercentFormat", &TChartSeries::PercentFormat, &TChartSeries::SetPercentFormat)
        .Stored(&TChartSeries::IsPercentFormatStored);
    props.Color("SeriesColor", &TChartSeries::StoredSeriesColor, &TChartSeries::SetSeriesColor, AutoColor);
    props.Boolean("ShowInLegend", &TChartSeries::ShowInLegend, &TChartSeries::SetShowInLegend, true);
    props.String("Title", &TChartSeries::Title, &TChartSeries::SetTitle);
    props.String("ValueFormat", &TChartSeries::ValueFormat, &TChartSeries::SetValueFormat)
        .Stored(&TChartSeries::IsValueFormatStored);
    props.Enum("VertAxis", &TChartSeries::VertAxis, &TChartSeries::SetVertAxis, kVertAxisNames, aLeftAxis);
    props.String("XLabelsSource", &TChartSeries::XLabelsSource, &TChartSeries::SetXLabelsSource);
    props.Object("XValues", &TChartSeries::XValues, &TChartSeries::SetXValues);
    props.Object("YValues", &TChartSeries::YValues, &TChartSeries::SetYValues);
    props.Event("AfterDrawValues", &TChartSeries::AfterDrawValues);
    props.Event("BeforeDrawValues", &TChartSeries::BeforeDrawValues);
    props.Event("OnAfterAdd", &TChartSeries::OnAfterAdd);
    props.Event("OnBeforeAdd", &TChartSeries::OnBeforeAdd);
    props.Event("OnClearValues", &TChartSeries::OnClearValues);
    props.Event("OnClick", &TChartSeries::OnClick);
    props.Event("OnDblClick", &TChartSeries::OnDblClick);
    props.Event("OnGetMarkText", &TChartSeries::OnGetMarkText);
    props.Event("OnMouseEnter", &TChartSeries::OnMouseEnter);
    props.Event("OnMouseLeave", &TChartSeries::OnMouseLeave);
}

TChartSeries::TChartSeries(plat::TComponent* AOwner)
    : TCustomChartSeries(AOwner), FDataSources(this), FLabels(this) {
    FLinkedSeries = std::make_unique<TCustomSeriesList>();
    FX = new TChartValueList(this, ChartTextValuesX);
    FX->SetOrder(loAscending);
    FNotMandatory = FX;
    FY = new TChartValueList(this, ChartTextValuesY);
    FMandatory = FY;
    FMarks = std::make_unique<TSeriesMarks>(this);
    FValueFormat = ChartTextValueFormat;
    FPercentFormat = ChartTextPercentFormat;
}

TChartSeries::~TChartSeries() {
    BeforeDestruction();
}

void TChartSeries::BeforeDestruction() {
    if (FDestructionDone)
        return;
    FDestructionDone = true;
    Destroying();
    if (FFunction) {
        TPlotFunction* function = FFunction;
        FFunction = nullptr;
        function->FParent = nullptr;
        function->Free();
    }
    RemoveAllLinkedSeries();
    // A data source the series owns goes with the series' owned components.
    FDataSources.ClearEntries();
    // The dependents lose this series as their source.
    while (FLinkedSeries->Count() > 0) {
        TChartSeries* dependent = FLinkedSeries->Series(FLinkedSeries->Count() - 1);
        FLinkedSeries->Delete(FLinkedSeries->Count() - 1);
        dependent->RemoveDataSource(this);
    }
    ClearPoints();
    if (FParent)
        SetParentChart(nullptr);
    TCustomChartSeries::BeforeDestruction();
}

// --- Points -----------------------------------------------------------------------------------------

int TChartSeries::GetCount() {
    return FX->Count();
}

double TChartSeries::GetXValue(int Index) {
    return FX->Items(Index);
}

double TChartSeries::GetYValue(int Index) {
    return FY->Items(Index);
}

double TChartSeries::MandatoryValue(int Index) {
    return FMandatory->Items(Index);
}

double TChartSeries::MandatoryListValue(int Index) {
    return FMandatory->Items(Index);
}

int TChartSeries::AddPoint(double X, double Y, const std::string& Label, TColor Color) {
    FX->SetTempValue(X);
    FY->SetTempValue(Y);
    if (OnBeforeAdd && !OnBeforeAdd(this))
        return -1;
    const int index = FX->AddTempValue();
    FY->InsertValue(index, Y);
    for (int t = 2; t < FValuesList.Count(); ++t) {
        TChartValueList* list = FValuesList.ValueListAt(t);
        list->InsertValue(index, list->TempValue());
    }
    if (!FColors.empty()) {
        // Entries missing at the end (points added without colours) are automatic.
        if (static_cast<int>(FColors.size()) < index)
            FColors.resize(index, AutoColor);
        FColors.insert(FColors.begin() + index, Color);
    } else if (Color != AutoColor) {
        FColors.assign(GetCount(), AutoColor);
        FColors[index] = Color;
    }
    if (!Label.empty() || FLabels.Count() > 0)
        FLabels.InsertLabel(index, Label);
    if (!UpdatesSuspended())
        AfterAddPoint(index);
    return index;
}

void TChartSeries::AppendXY(std::span<const double> X, std::span<const double> Y) {
    const size_t n = std::min(X.size(), Y.size());
    if (n == 0)
        return;
    // In one step only where one AddPoint after another would do nothing else: no veto to ask, no
    // colours, labels or further lists to keep in step, nobody to tell of each point, and every X
    // going on the end in the list's order.
    bool plain = UpdatesSuspended() && !OnBeforeAdd && FColors.empty() && FLabels.Count() == 0 &&
                 FValuesList.Count() == 2 && FX->Order() != loDescending;
    if (plain && FX->Order() == loAscending)
        for (size_t i = 0; i < n && plain; ++i)
            plain = !std::isnan(X[i]) && (i > 0 ? X[i] >= X[i - 1] : FX->Count() == 0 || X[0] >= FX->Last());
    if (!plain) {
        const std::string noLabel;
        for (size_t i = 0; i < n; ++i)
            AddPoint(X[i], Y[i], noLabel, AutoColor);
        return;
    }
    FX->SetTempValue(X[n - 1]);
    FY->SetTempValue(Y[n - 1]);
    FX->AppendValues(X.first(n));
    FY->AppendValues(Y.first(n));
}

void TChartSeries::AfterAddPoint(int ValueIndex) {
    if (OnAfterAdd)
        OnAfterAdd(this, ValueIndex);
    NotifyDependents(veAdd, ValueIndex);
    if (FActive)
        InvalidateParentChart();
}

int TChartSeries::AddValue(double Value, const std::string& Label, TColor Color) {
    const double count = GetCount();
    return FYMandatory ? AddPoint(count, Value, Label, Color) : AddPoint(Value, count, Label, Color);
}

int TChartSeries::AddNull(const std::string& Label) {
    return AddValue(0, Label, plat::clNone);
}

int TChartSeries::AddNullXY(double X, double Y, const std::string& Label) {
    return AddPoint(X, Y, Label, plat::clNone);
}

void TChartSeries::DeletePointExtras(int Index) {
    if (Index < static_cast<int>(FColors.size()))
        FColors.erase(FColors.begin() + Index);
    FLabels.DeleteLabel(Index);
    FMarks->Positions().Delete(Index);
    FMarks->Items().Delete(Index);
}

void TChartSeries::DeletePoint(int ValueIndex) {
    // Negative indexes are refused like those past the end: they would address no point.
    if (ValueIndex < 0 || ValueIndex >= GetCount())
        throw ChartException(plat::Format(ChartTextSeriesDelete, {ValueIndex, GetCount() - 1}));
    for (int t = 0; t < FValuesList.Count(); ++t)
        FValuesList.ValueListAt(t)->DeleteValue(ValueIndex);
    DeletePointExtras(ValueIndex);
    NotifyDependents(veDelete, ValueIndex);
    if (FActive)
        InvalidateParentChart();
}

void TChartSeries::DeletePointRange(int Start, int Quantity, bool Renumber) {
    const int count = GetCount();
    if (Start < 0) {
        Quantity += Start;
        Start = 0;
    }
    if (Start >= count || Quantity <= 0)
        return;
    Quantity = std::min(Quantity, count - Start);
    for (int t = 0; t < FValuesList.Count(); ++t)
        FValuesList.ValueListAt(t)->DeleteRange(Start, Quantity);
    if (Start < static_cast<int>(FColors.size())) {
        const int last = std::min(static_cast<int>(FColors.size()), Start + Quantity);
        FColors.erase(FColors.begin() + Start, FColors.begin() + last);
        if (FColors.empty())
            std::vector<TColor>().swap(FColors);
    }
    FLabels.DeleteRange(Start, Quantity);
    FMarks->Positions().DeleteRange(Start, Quantity);
    FMarks->Items().DeleteRange(Start, Quantity);
    // -1 tells the dependents that a range went: they copy the series again.
    NotifyDependents(veDelete, -1);
    if (FActive)
        InvalidateParentChart();
    if (Renumber)
        FNotMandatory->FillWithIndexes();
}

void TChartSeries::ClearLists() {
    for (int t = 0; t < FValuesList.Count(); ++t)
        FValuesList.ValueListAt(t)->ClearValues();
    std::vector<TColor>().swap(FColors);
    FLabels.Clear();
    FMarks->Clear();
}

void TChartSeries::ClearPoints() {
    FFirstVisibleIndex = -1;
    FLastVisibleIndex = -1;
    ClearLists();
    if (OnClearValues)
        OnClearValues(this);
    NotifyDependents(veClear, 0);
    if (FFunction)
        FFunction->Clear();
    if (FActive && !ChartIsDestroying())
        InvalidateParentChart();
}

TColor TChartSeries::PointColor(int Index) const {
    if (Index >= 0 && Index < static_cast<int>(FColors.size()))
        return FColors[Index];
    return AutoColor;
}

void TChartSeries::SetPointColor(int Index, TColor Color) {
    if (FColors.empty()) {
        if (Color == AutoColor)
            return;
        FColors.assign(GetCount(), AutoColor);
    }
    if (Index < 0)
        return;
    if (Index >= static_cast<int>(FColors.size()))
        FColors.resize(Index + 1, AutoColor);
    FColors[Index] = Color;
    InvalidateParentChart();
}

TColor TChartSeries::ValueColor(int Index) {
    const TColor color = PointColor(Index);
    if (color != AutoColor)
        return color;
    if (!FColorEachPoint)
        return SeriesColor();
    return PaletteColor(Index);
}

void TChartSeries::SwapColors(int A, int B) {
    if (FColors.empty())
        return;
    const int needed = std::max(A, B) + 1;
    if (static_cast<int>(FColors.size()) < needed)
        FColors.resize(needed, AutoColor);
    std::swap(FColors[A], FColors[B]);
}

void TChartSeries::ExchangePoints(int Index1, int Index2) {
    SwapValueIndex(Index1, Index2);
}

void TChartSeries::SwapValueIndex(int A, int B) {
    for (int t = 0; t < FValuesList.Count(); ++t)
        FValuesList.ValueListAt(t)->Exchange(A, B);
    SwapColors(A, B);
    if (FLabels.Count() > 0)
        FLabels.Exchange(A, B);
}

void TChartSeries::ResumeUpdates() {
    if (FUpdateSuspended == 0)
        return;
    if (--FUpdateSuspended == 0) {
        NotifyDependents(veRefresh, 0);
        NotifySeriesEvent(seDataChanged);
    }
}

TChartValueList* TChartSeries::ValueListByName(const std::string& Name) {
    const std::string upper = plat::UpperCase(Name);
    for (int t = 2; t < FValuesList.Count(); ++t)
        if (plat::UpperCase(FValuesList.ValueListAt(t)->Name()) == upper)
            return FValuesList.ValueListAt(t);
    return FY;
}

void TChartSeries::SetHorizontal() {
    FMandatory = FX;
    FNotMandatory = FY;
    FYMandatory = false;
}

void TChartSeries::SetXValues(TChartValueList* Value) {
    FX->Assign(Value);
}

void TChartSeries::SetYValues(TChartValueList* Value) {
    FY->Assign(Value);
}

// --- Colour and formats -----------------------------------------------------------------------------

void TChartSeries::SetSeriesColor(TColor Value) {
    if (FColor == AutoColor && Value == FLastAssignedColor)
        return;
    SetColorProperty(FColor, Value);
    FLastAssignedColor = FColor;
    NotifySeriesEvent(seChangeColor);
}

void TChartSeries::SetColorEachPoint(bool Value) {
    SetBooleanProperty(FColorEachPoint, Value);
}

void TChartSeries::SetValueFormat(const std::string& Value) {
    SetStringProperty(FValueFormat, Value);
}

bool TChartSeries::IsValueFormatStored() const {
    return FValueFormat != ChartTextValueFormat;
}

void TChartSeries::SetPercentFormat(const std::string& Value) {
    SetStringProperty(FPercentFormat, Value);
}

bool TChartSeries::IsPercentFormatStored() const {
    return FPercentFormat != ChartTextPercentFormat;
}

void TChartSeries::SetMarks(TSeriesMarks* Value) {
    FMarks->Assign(Value);
}

void TChartSeries::SetDepth(int Value) {
    SetIntegerProperty(FDepth, Value);
}

void TChartSeries::SetZOrder(int Value) {
    SetIntegerProperty(FZOrder, Value);
}

// --- Point labels -----------------------------------------------------------------------------------

PLAT_CLASS_INFO(TLabelsList, plat::TObject)

std::string TLabelsList::GetLabel(int Index) const {
    if (Index >= 0 && Index < Count())
        return FItems[Index];
    return std::string();
}

void TLabelsList::SetLabel(int Index, const std::string& Text) {
    if (Index < 0)
        return;
    if (!Text.empty()) {
        if (Index >= Count())
            FItems.resize(Index + 1);
        FItems[Index] = Text;
    } else if (Index < Count()) {
        FItems[Index].clear();
    } else {
        return;
    }
    if (FSeries)
        FSeries->Repaint();
}

void TLabelsList::InsertLabel(int Index, const std::string& Text) {
    if (Index < 0 || (Text.empty() && FItems.empty()))
        return;
    if (Index > Count())
        FItems.resize(Index);
    FItems.insert(FItems.begin() + Index, Text);
}

void TLabelsList::DeleteLabel(int Index) {
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

void TLabelsList::DeleteRange(int Start, int Quantity) {
    if (Start < 0 || Start >= Count() || Quantity <= 0)
        return;
    const int last = std::min(Count(), Start + Quantity);
    FItems.erase(FItems.begin() + Start, FItems.begin() + last);
}

void TLabelsList::Exchange(int Index1, int Index2) {
    if (Index1 < 0 || Index2 < 0)
        return;
    const int needed = std::max(Index1, Index2) + 1;
    if (Count() < needed)
        FItems.resize(needed);
    std::swap(FItems[Index1], FItems[Index2]);
}

void TLabelsList::Assign(const TLabelsList& Source) {
    FItems = Source.FItems;
}

bool TLabelsList::AnyLabel(int Limit) const {
    const int last = std::min(Limit, Count());
    for (int i = 0; i < last; ++i)
        if (!FItems[i].empty())
            return true;
    return false;
}

// --- Stored data tests ------------------------------------------------------------------------------

bool HasCustomXValues(TChartSeries* Series) {
    if (!Series->StoreXValues())
        return false;
    const int count = Series->Count();
    if (count < 1)
        return false;
    const TChartValueList* x = Series->XValues();
    if (x->First() != 0 || x->Last() != count - 1)
        return true;
    // Every point counts: a single moved X value anywhere must reach the stored data.
    for (int i = 0; i < count; ++i)
        if (x->Items(i) != i)
            return true;
    return false;
}

bool HasCustomColors(TChartSeries* Series) {
    const int count = Series->Count();
    const TColor seriesColor = Series->SeriesColor();
    for (int i = 0; i < count; ++i) {
        const TColor color = Series->PointColor(i);
        if (color != AutoColor && color != seriesColor)
            return true;
    }
    return false;
}

bool HasLabels(TChartSeries* Series) {
    return Series->Labels().AnyLabel(Series->Count());
}

int SeriesDataFlags(TChartSeries* Series) {
    int flags = 0;
    if (HasCustomXValues(Series))
        flags |= 1;
    if (HasCustomColors(Series))
        flags |= 2;
    if (HasLabels(Series))
        flags |= 4;
    if (Series->Marks()->Positions().ExistCustom())
        flags |= 8;
    return flags;
}

} // namespace chart
