// Value lists of the chart engine's series.
#include <algorithm>
#include <cmath>

#include "chart/PlotEngine.h"
#include "chart/PlotProcs.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

PLAT_CLASS_INFO(TChartValueLists, plat::TList)

TChartValueLists::~TChartValueLists() {
    Clear();
}

void TChartValueLists::Clear() {
    while (Count() > 0) {
        TChartValueList* list = ValueListAt(Count() - 1);
        Delete(Count() - 1);
        delete list;
    }
}

PLAT_CLASS_INFO(TChartValueList, plat::TPersistent)

namespace {

constexpr const char* kChartListOrderNames[] = {"loNone", "loAscending", "loDescending"};

static_assert(std::size(kChartListOrderNames) == loDescending + 1);

} // namespace

PLAT_PROPERTIES(TChartValueList) {
    props.Boolean("DateTime", &TChartValueList::DateTime, &TChartValueList::SetDateTime)
        .Stored(&TChartValueList::IsDateTimeStored);
    props.String("Name", &TChartValueList::Name, &TChartValueList::SetName);
    props.Enum("Order", &TChartValueList::Order, &TChartValueList::SetOrder, kChartListOrderNames);
    props.String("ValueSource", &TChartValueList::ValueSource, &TChartValueList::SetValueSource);
}

TChartValueList::TChartValueList(IChartValueListOwner* Owner, const std::string& Name) : FOwner(Owner) {
    FModified = true;
    if (FOwner) {
        FLists = &FOwner->ValuesList();
        FLists->Add(this);
    }
    FName = Name;
    ClearValues();
}

TChartValueList::~TChartValueList() {
    ClearValues();
    // A list freed on its own leaves its series' lists, so that they never hold a freed list.
    if (FLists)
        FLists->Remove(this);
}

void TChartValueList::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TChartValueList*>(Source)) {
        FOrder = source->FOrder;
        FDateTime = source->FDateTime;
        FValueSource = source->FValueSource;
        return;
    }
    TPersistent::Assign(Source);
}

void TChartValueList::DefineProperties(plat::TFiler& Filer) {
    TPersistent::DefineProperties(Filer);
    Filer.DefineProperty(
        "Multiplier", [this](plat::TReader& Reader) { ReadMultiplier(Reader.ReadFloat()); }, {}, false);
}

void TChartValueList::ReadMultiplier(double Value) {
    if (Value != 1)
        ShowErrorMessage(
            "Error: Multiplier property is obsolete.\n"
            "To read it, enable the Multiplier property in the build configuration and rebuild.");
}

void TChartValueList::CheckIndex(int Index, int Limit) const {
    if (Index < 0 || Index > Limit)
        throw plat::EListError(plat::Format("List index out of bounds (%d)", {Index}));
}

int TChartValueList::AddValue(double Value) {
    FTempValue = Value;
    return AddTempValue();
}

int TChartValueList::AddTempValue() {
    const double value = FTempValue;
    int index = FCount;
    // Scanning back from the end keeps appends in the list's own order free of moves, and puts a value
    // after the values equal to it.
    if (FOrder == loAscending && FCount > 0 && !(value >= FValue[FCount - 1])) {
        int i = FCount - 1;
        while (i >= 0 && FValue[i] > value)
            --i;
        index = i + 1;
    } else if (FOrder == loDescending && FCount > 0 && !(value <= FValue[FCount - 1])) {
        int i = FCount - 1;
        while (i >= 0 && FValue[i] < value)
            --i;
        index = i + 1;
    }
    if (static_cast<int>(FValue.size()) < FCount + 1)
        FValue.resize(FValue.size() + GrowthStep);
    std::copy_backward(FValue.begin() + index, FValue.begin() + FCount, FValue.begin() + FCount + 1);
    FValue[index] = value;
    ++FCount;
    FModified = true;
    return index;
}

void TChartValueList::AppendValues(std::span<const double> Values) {
    if (Values.empty())
        return;
    const size_t count = static_cast<size_t>(FCount) + Values.size();
    if (FValue.size() < count)
        FValue.resize((count + GrowthStep - 1) / GrowthStep * GrowthStep);
    std::copy(Values.begin(), Values.end(), FValue.begin() + FCount);
    FCount = static_cast<int>(count);
    FModified = true;
}

void TChartValueList::InsertValue(int Index, double Value) {
    CheckIndex(Index, FCount);
    if (static_cast<int>(FValue.size()) < FCount + 1)
        FValue.resize(FValue.size() + GrowthStep);
    std::copy_backward(FValue.begin() + Index, FValue.begin() + FCount, FValue.begin() + FCount + 1);
    FValue[Index] = Value;
    ++FCount;
    FModified = true;
}

void TChartValueList::DeleteValue(int Index) {
    CheckIndex(Index, FCount - 1);
    std::copy(FValue.begin() + Index + 1, FValue.begin() + FCount, FValue.begin() + Index);
    --FCount;
    FModified = true;
}

void TChartValueList::DeleteRange(int Start, int Quantity) {
    if (Start < 0)
        CheckIndex(Start, FCount);
    if (Start >= FCount || Quantity <= 0)
        return;
    // A range reaching past the end stops at the end: the values before Start are kept.
    Quantity = std::min(Quantity, FCount - Start);
    std::copy(FValue.begin() + Start + Quantity, FValue.begin() + FCount, FValue.begin() + Start);
    FCount -= Quantity;
    FModified = true;
}

void TChartValueList::ClearValues() {
    std::vector<double>().swap(FValue);
    FCount = 0;
    FModified = true;
}

void TChartValueList::SetItems(int Index, double Value) {
    FValue[Index] = Value;
    FModified = true;
}

double TChartValueList::MaxValue() const {
    if (FModified)
        RecomputeStatistics();
    return FMaxValue;
}

double TChartValueList::MinValue() const {
    if (FModified)
        RecomputeStatistics();
    return FMinValue;
}

double TChartValueList::Total() const {
    if (FModified)
        RecomputeStatistics();
    return FTotal;
}

double TChartValueList::TotalABS() const {
    if (FModified)
        RecomputeStatistics();
    return FTotalABS;
}

double TChartValueList::Range() const {
    if (FModified)
        RecomputeStatistics();
    return FMaxValue - FMinValue;
}

void TChartValueList::RecomputeStatistics() const {
    if (static_cast<int>(FValue.size()) < FCount)
        FCount = static_cast<int>(FValue.size());
    if (FCount <= 0) {
        FMaxValue = FMinValue = FTotal = FTotalABS = 0;
    } else {
        FMinValue = FMaxValue = FTotal = FValue[0];
        FTotalABS = std::fabs(FValue[0]);
        for (int i = 1; i < FCount; ++i) {
            const double v = FValue[i];
            if (v < FMinValue)
                FMinValue = v;
            else if (v > FMaxValue)
                FMaxValue = v;
            FTotal += v;
            FTotalABS += std::fabs(v);
        }
    }
    FModified = false;
}

int TChartValueList::Locate(double Value) const {
    return Locate(Value, 0, FCount - 1);
}

int TChartValueList::Locate(double Value, int First, int Last) const {
    Last = std::min(Last, FCount - 1);
    for (int i = std::max(First, 0); i <= Last; ++i)
        if (FValue[i] == Value)
            return i;
    return -1;
}

void TChartValueList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1, FCount - 1);
    CheckIndex(Index2, FCount - 1);
    std::swap(FValue[Index1], FValue[Index2]);
    FModified = true;
    if (FOwner)
        FOwner->NotifyDependents(veModify, Index1);
}

void TChartValueList::FillWithIndexes() {
    for (int i = 0; i < FCount; ++i)
        FValue[i] = i;
    FModified = true;
    if (FOwner)
        FOwner->NotifyDependents(veModify, 0);
}

void TChartValueList::Scroll() {
    if (FCount > 0)
        std::rotate(FValue.begin(), FValue.begin() + 1, FValue.begin() + FCount);
}

int TChartValueList::CompareValues(int A, int B) const {
    const double a = FValue[A];
    const double b = FValue[B];
    const int result = a < b ? -1 : (a > b ? 1 : 0);
    return FOrder == loDescending ? -result : result;
}

void TChartValueList::Sort() {
    if (FOrder == loNone)
        return;
    SortIndexRange(
        0, FCount - 1, [this](int A, int B) { return CompareValues(A, B); },
        [this](int A, int B) {
            if (FOwner)
                FOwner->ExchangePoints(A, B);
            else
                Exchange(A, B);
        });
}

void TChartValueList::SetDateTime(bool Value) {
    if (FDateTime == Value)
        return;
    FDateTime = Value;
    if (FOwner)
        FOwner->InvalidateParentChart();
}

void TChartValueList::SetDefaultDateTime(bool Value) {
    FDateTime = Value;
    FDefaultDateTime = Value;
}

void TChartValueList::SetValueSource(const std::string& Value) {
    if (FValueSource == Value)
        return;
    FValueSource = Value;
    if (FOwner)
        FOwner->RefreshFromSource();
}

} // namespace chart
