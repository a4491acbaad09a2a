// Where the points of a series come from besides direct adding: data sources (other series or source
// components), dependents that follow a source, calculation functions, copying between series, the
// chart's reload, sample values; and the series lists, groups and titles around them.
#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "chart/PlotConst.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotEngineSeries.h"
#include "chart/PlotProcsServices.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Control.h"

namespace chart {

bool ChartDesignTimeSeries = false;

namespace {

// The engine's random generator for sample values.
std::mt19937& SampleRandom() {
    static std::mt19937 generator(12345);
    return generator;
}

// 0 .. Range - 1.
int RandomBelow(int Range) {
    return std::uniform_int_distribution<int>(0, Range - 1)(SampleRandom());
}

std::string ComponentDisplayName(plat::TComponent* Component) {
    return Component->Name().empty() ? Component->ClassName() : Component->Name();
}

// True when Series is Source itself or one of the data sources down Source's chain.
bool DependsOn(plat::TComponent* Source, TChartSeries* Series, std::set<plat::TComponent*>& Seen) {
    if (Source == Series)
        return true;
    auto* sourceSeries = dynamic_cast<TChartSeries*>(Source);
    if (!sourceSeries || !Seen.insert(Source).second)
        return false;
    TDataSourcesList& sources = sourceSeries->DataSources();
    for (int i = 0; i < sources.Count(); ++i)
        if (DependsOn(sources.Items(i), Series, Seen))
            return true;
    return false;
}

// Refuses a source that would make the series depend on itself.
void CheckCircularSource(plat::TComponent* Source, TChartSeries* Series) {
    std::set<plat::TComponent*> seen;
    if (DependsOn(Source, Series, seen))
        throw ChartException(ChartTextCircularDependence);
}

} // namespace

// --- The chart's part -------------------------------------------------------------------------------

bool TCustomAxisPanel::IsValidDataSource(TChartSeries* Series, plat::TComponent* Source) {
    if (auto* source = dynamic_cast<TChartSeries*>(Source))
        return Series->IsValidSourceOf(source);
    if (auto* source = dynamic_cast<TPlotSeriesSource*>(Source))
        return source->Available(this);
    return false;
}

void TCustomAxisPanel::RefreshSeriesData(TChartSeries* Series) {
    if (Series->ComponentState() & plat::csLoading)
        return;
    if (plat::TComponent* source = Series->DataSource()) {
        if (auto* sourceSeries = dynamic_cast<TChartSeries*>(source))
            Series->AssignValues(sourceSeries);
        else if (auto* seriesSource = dynamic_cast<TPlotSeriesSource*>(source)) {
            if (seriesSource->Active())
                seriesSource->Load();
        }
    } else if (TPlotFunction* function = Series->FunctionType()) {
        Series->SuspendUpdates();
        plat::ScopeGuard resume([Series] { Series->ResumeUpdates(); });
        Series->ClearPoints();
        function->AddPoints(nullptr);
    } else if (Series->IsDesignTime() && !Series->ManualData()) {
        Series->FillSampleValues(0);
    }
}

// --- TDataSourcesList -------------------------------------------------------------------------------

PLAT_CLASS_INFO(TDataSourcesList, plat::TObject)

int TDataSourcesList::IndexOf(const plat::TComponent* Component) const {
    auto it = std::find(FItems.begin(), FItems.end(), Component);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

int TDataSourcesList::AddDataSource(plat::TComponent* Value) {
    return FSeries->InternalAddDataSource(Value, false);
}

void TDataSourcesList::Clear() {
    FSeries->RemoveAllLinkedSeries();
    FItems.clear();
    if (!FSeries->ManualData())
        FSeries->ClearPoints();
}

void TDataSourcesList::Delete(int Index) {
    plat::TComponent* source = FItems[Index];
    FItems.erase(FItems.begin() + Index);
    if (auto* sourceSeries = dynamic_cast<TChartSeries*>(source))
        sourceSeries->RemoveLinkedSeries(FSeries);
}

// --- TPlotSeriesSource ------------------------------------------------------------------------------

PLAT_CLASS_INFO(TPlotSeriesSource, plat::TComponent)

std::vector<const plat::TClassInfo*>& GetSeriesSourceClasses() {
    static std::vector<const plat::TClassInfo*> classes;
    return classes;
}

TPlotSeriesSource::TPlotSeriesSource(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}

TPlotSeriesSource::~TPlotSeriesSource() {
    Close();
    BeforeDestruction();
}

void TPlotSeriesSource::SetActive(bool Value) {
    if (FActive == Value)
        return;
    if (FSeries) {
        if (Value) {
            if (!(ComponentState() & plat::csLoading))
                Load();
        } else if (!(ComponentState() & plat::csDestroying) &&
                   !(FSeries->ComponentState() & plat::csDestroying) && !FClosing) {
            FSeries->ClearPoints();
        }
    }
    FActive = Value;
}

bool TPlotSeriesSource::IsSourceOf(TChartSeries* Value) const {
    return Value && Value->DataSource() && Value->DataSource()->ClassName() == ClassName();
}

void TPlotSeriesSource::Close() {
    if (!(ComponentState() & (plat::csLoading | plat::csDestroying)))
        SetActive(false);
}

void TPlotSeriesSource::Open() {
    SetActive(true);
}

void TPlotSeriesSource::Loaded() {
    plat::TComponent::Loaded();
    if (FActive && !(ComponentState() & plat::csLoading))
        Load();
}

void TPlotSeriesSource::SetSeries(TChartSeries* Value) {
    if (FSeries == Value)
        return;
    Close();
    TChartSeries* old = FSeries;
    if (old)
        old->RemoveFreeNotification(this);
    FSeries = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->SetDataSource(this);
    } else if (old && old->DataSource() == this) {
        old->SetDataSource(nullptr);
    }
}

void TPlotSeriesSource::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    if (Operation == plat::opRemove && AComponent == FSeries)
        SetSeries(nullptr);
    plat::TComponent::Notification(AComponent, Operation);
}

// --- TPlotFunction ----------------------------------------------------------------------------------

PLAT_CLASS_INFO(TPlotFunction, plat::TComponent)

void TPlotFunction::SetParentSeries(TChartSeries* Value) {
    if (FParent == Value)
        return;
    if (FParent)
        FParent->FFunction = nullptr;
    FParent = nullptr;
    if (Value)
        Value->SetFunction(this);
}

plat::TComponent* TPlotFunction::GetParentComponent() const {
    return FParent;
}

void TPlotFunction::SetParentComponent(plat::TComponent* Value) {
    if (auto* series = dynamic_cast<TChartSeries*>(Value))
        SetParentSeries(series);
}

void TPlotFunction::ReCalculate() {
    if (FParent)
        FParent->RefreshFromSource();
}

// --- Data sources of a series -----------------------------------------------------------------------

plat::TComponent* TChartSeries::DataSource() const {
    return FDataSources.Count() > 0 ? FDataSources.Items(0) : nullptr;
}

void TChartSeries::SetDataSource(plat::TComponent* Value) {
    if (!Value) {
        if (plat::TComponent* current = DataSource())
            RemoveDataSource(current);
        return;
    }
    InternalAddDataSource(Value, true);
}

bool TChartSeries::IsValidSourceOf(TChartSeries* Value) {
    return Value && Value != this && (!FFunction || FFunction->IsValidSource(Value));
}

bool TChartSeries::IsValidSeriesSource(TChartSeries* Value) {
    return Value && Value != this;
}

int TChartSeries::InternalAddDataSource(plat::TComponent* Value, bool Replace) {
    if (!Value)
        return -1;
    if (FParent) {
        if (!FParent->IsValidDataSource(this, Value))
            throw ChartException(plat::Format(ChartTextNoValidDataSource, {ComponentDisplayName(Value)}));
    } else {
        auto* series = dynamic_cast<TChartSeries*>(Value);
        if (!series || !IsValidSourceOf(series))
            throw ChartException(ChartTextNoParentChart);
    }
    if (FDataSources.IndexOf(Value) != -1)
        return -1;
    if (dynamic_cast<TChartSeries*>(Value))
        CheckCircularSource(Value, this);
    if (Replace && !IsLoading())
        FDataSources.Clear();
    const int result = AddDataSourceLink(Value);
    RefreshFromSource();
    return result;
}

int TChartSeries::AddDataSourceLink(plat::TComponent* Value) {
    if (!Value)
        return -1;
    FDataSources.Append(Value);
    FManualData = false;
    if (auto* series = dynamic_cast<TChartSeries*>(Value)) {
        series->AddLinkedSeries(this);
    } else {
        Value->FreeNotification(this);
        if (auto* source = dynamic_cast<TPlotSeriesSource*>(Value)) {
            TChartSeries* old = source->Series();
            if (old && old != this) {
                const bool wasActive = source->Active();
                source->Close();
                if (source->Owner() == old)
                    InsertComponent(source);
                // The old series lets go of the source without clearing this one's points.
                const int oldIndex = old->FDataSources.IndexOf(source);
                if (oldIndex != -1)
                    old->FDataSources.Delete(oldIndex);
                source->SetSeries(this);
                if (wasActive)
                    source->Open();
            } else if (!old) {
                source->SetSeries(this);
            }
        }
    }
    return FDataSources.Count() - 1;
}

void TChartSeries::RemoveDataSource(plat::TComponent* Value) {
    if (IsDestroying())
        return;
    const int index = FDataSources.IndexOf(Value);
    if (index == -1)
        return;
    if (FParent)
        FParent->RemovedDataSource(this, Value);
    if (auto* source = dynamic_cast<TPlotSeriesSource*>(Value))
        if (source->Series() == this && index == 0)
            source->SetSeries(nullptr);
    if (index == 0) {
        FDataSources.Clear();
    } else {
        // A later source must not stay in the list once it is gone.
        FDataSources.Delete(index);
    }
    RefreshFromSource();
}

void TChartSeries::RemoveAllLinkedSeries() {
    for (int i = 0; i < FDataSources.Count(); ++i)
        if (auto* series = dynamic_cast<TChartSeries*>(FDataSources.Items(i)))
            series->RemoveLinkedSeries(this);
}

void TChartSeries::AddLinkedSeries(TChartSeries* Value) {
    if (FLinkedSeries->IndexOf(Value) == -1)
        FLinkedSeries->Add(Value);
}

void TChartSeries::RemoveLinkedSeries(TChartSeries* Value) {
    FLinkedSeries->Remove(Value);
}

void TChartSeries::SetFunction(TPlotFunction* Value) {
    if (FFunction == Value)
        return;
    if (FFunction) {
        TPlotFunction* old = FFunction;
        FFunction = nullptr;
        old->FParent = nullptr;
        old->Free();
    }
    if (Value) {
        if (Value->FParent && Value->FParent != this)
            Value->FParent->FFunction = nullptr;
        FFunction = Value;
        Value->FParent = this;
        FManualData = false;
        Value->FreeNotification(this);
    }
    RefreshFromSource();
}

void TChartSeries::SetColorSource(const std::string& Value) {
    if (FColorSource == Value)
        return;
    FColorSource = Value;
    RefreshFromSource();
}

void TChartSeries::SetXLabelsSource(const std::string& Value) {
    if (FXLabelsSource == Value)
        return;
    FXLabelsSource = Value;
    RefreshFromSource();
}

void TChartSeries::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    if (Operation == plat::opRemove) {
        if (AComponent == FFunction)
            FFunction = nullptr;
        if (FDataSources.IndexOf(AComponent) != -1)
            RemoveDataSource(AComponent);
    }
    TCustomChartSeries::Notification(AComponent, Operation);
}

void TChartSeries::GetChildren(const plat::TGetChildProc& Proc, plat::TComponent* Root) {
    TCustomChartSeries::GetChildren(Proc, Root);
    // A function owned by the root is listed there already as a child of this series.
    if (FFunction && FFunction->Owner() != Root)
        Proc(FFunction);
}

void TChartSeries::DefineProperties(plat::TFiler& Filer) {
    TCustomChartSeries::DefineProperties(Filer);
    plat::DefineCursorProperty(Filer, "Cursor", FCursor, [this](plat::TCursor c) { SetCursor(c); });
    Filer.DefineProperty(
        "DataSources",
        [this](plat::TReader& Reader) {
            FTempDataSources = std::make_unique<plat::TStringList>();
            Reader.ReadListBegin();
            while (!Reader.EndOfList())
                FTempDataSources->Add(Reader.ReadString());
            Reader.ReadListEnd();
        },
        [this](plat::TWriter& Writer) {
            Writer.WriteListBegin();
            for (int i = 0; i < FDataSources.Count(); ++i)
                Writer.WriteString(FDataSources.Items(i)->Name());
            Writer.WriteListEnd();
        },
        FDataSources.Count() > 1);
    DefineCustomAxisProperty(Filer, "CustomHorizAxis", FCustomHorizAxis, FReadHorizAxis);
    DefineCustomAxisProperty(Filer, "CustomVertAxis", FCustomVertAxis, FReadVertAxis);
    Filer.DefineBinaryProperty(
        "Data", [this](plat::TStream& Stream) { ReadData(Stream); },
        [this](plat::TStream& Stream) { WriteData(Stream); }, HasData());
}

void TChartSeries::Loaded() {
    TCustomChartSeries::Loaded();
    BindReadCustomAxes();
    if (FTempDataSources) {
        std::unique_ptr<plat::TStringList> names = std::move(FTempDataSources);
        FDataSources.Clear();
        plat::TComponent* owner = Owner();
        for (int i = 0; i < names->Count(); ++i) {
            plat::TComponent* source = owner ? owner->FindComponent(names->Strings(i)) : nullptr;
            if (source && source != this && FDataSources.IndexOf(source) == -1)
                AddDataSourceLink(source);
        }
    }
    RefreshFromSource();
}

// --- Dependents and copying -------------------------------------------------------------------------

void TChartSeries::NotifyDependents(TValueEvent Kind, int ValueIndex) {
    if (UpdatesSuspended() || FLinkedSeries->Count() == 0)
        return;
    // A dependent may change this list (by leaving it) while it is told.
    std::vector<TChartSeries*> dependents;
    for (int i = 0; i < FLinkedSeries->Count(); ++i)
        dependents.push_back(FLinkedSeries->Series(i));
    for (TChartSeries* dependent : dependents) {
        if (FLinkedSeries->IndexOf(dependent) == -1)
            continue;
        const TDependentUpdates updates = dependent->DependentUpdates();
        switch (Kind) {
        case veClear:
            if (updates & duClear)
                dependent->ClearPoints();
            break;
        case veAdd:
            if ((updates & duAdd) && !dependent->FunctionType())
                dependent->AddPointFrom(this, ValueIndex);
            break;
        case veDelete:
            if ((updates & duDelete) && !dependent->FunctionType()) {
                // A range delete (index -1) has no single point to follow: the dependent copies again.
                if (ValueIndex < 0)
                    dependent->AssignValues(this);
                else
                    dependent->DeleteNotify(this, ValueIndex);
            }
            break;
        case veRefresh:
            dependent->AssignValues(this);
            break;
        case veModify:
            if (updates & duModify)
                dependent->AssignValues(this);
            break;
        }
    }
}

int TChartSeries::AddValuesFrom(TChartSeries* Source, int ValueIndex) {
    double x = Source->XValues()->Items(ValueIndex);
    double y = Source->YValues()->Items(ValueIndex);
    if (Source->YMandatory() != FYMandatory)
        std::swap(x, y);
    const int index = FX->AddValue(x);
    FY->InsertValue(index, y);
    TChartValueLists& sourceLists = Source->ValuesList();
    for (int t = 2; t < FValuesList.Count(); ++t) {
        const double value = t < sourceLists.Count() ? sourceLists.ValueListAt(t)->Items(ValueIndex) : 0;
        FValuesList.ValueListAt(t)->InsertValue(index, value);
    }
    // The point's colour and label entries keep the lists in step with the points.
    if (!FColors.empty())
        FColors.insert(FColors.begin() + std::min(index, static_cast<int>(FColors.size())), AutoColor);
    if (FLabels.Count() > 0)
        FLabels.InsertLabel(index, std::string());
    return index;
}

void TChartSeries::AddPointFrom(TChartSeries* Source, int ValueIndex) {
    const int index = AddValuesFrom(Source, ValueIndex);
    const TColor color = Source->PointColor(ValueIndex);
    if (ValueIndex < static_cast<int>(Source->FColors.size()) && color != AutoColor) {
        if (FColors.empty())
            FColors.assign(GetCount(), AutoColor);
        FColors[index] = color;
    }
    const std::string label = Source->XLabel(ValueIndex);
    if (!label.empty())
        FLabels.SetLabel(index, label);
    if (!UpdatesSuspended())
        AfterAddPoint(index);
}

void TChartSeries::AssignValues(TChartSeries* Source) {
    SuspendUpdates();
    plat::ScopeGuard resume([this] { ResumeUpdates(); });
    ClearPoints();
    if (FFunction) {
        FX->SetDateTime(Source->XValues()->DateTime());
        FY->SetDateTime(Source->YValues()->DateTime());
        FFunction->AddPoints(Source);
    } else if (Source && Source != this) {
        const int count = Source->GetCount();
        for (int i = 0; i < count; ++i)
            AddPointFrom(Source, i);
    }
}

void TChartSeries::Assign(plat::TPersistent* Source) {
    auto* source = dynamic_cast<TChartSeries*>(Source);
    if (!source) {
        TCustomChartSeries::Assign(Source);
        return;
    }
    TCustomChartSeries::Assign(Source);
    SetDataSource(nullptr);
    if (FYMandatory == source->FYMandatory) {
        FX->Assign(source->FX);
        FY->Assign(source->FY);
    } else {
        FX->Assign(source->FY);
        FY->Assign(source->FX);
    }
    FXLabelsSource = source->FXLabelsSource;
    FColorSource = source->FColorSource;
    const int lists = std::min(FValuesList.Count(), source->FValuesList.Count());
    for (int t = 2; t < lists; ++t)
        FValuesList.ValueListAt(t)->Assign(source->FValuesList.ValueListAt(t));
    FMarks->Assign(source->FMarks.get());
    FColor = source->FColor;
    FLastAssignedColor = source->FLastAssignedColor;
    FColorEachPoint = source->FColorEachPoint;
    FValueFormat = source->FValueFormat;
    FPercentFormat = source->FPercentFormat;
    FCustomHorizAxis = source->FCustomHorizAxis;
    FCustomVertAxis = source->FCustomVertAxis;
    FHorizAxis = source->FHorizAxis;
    FVertAxis = source->FVertAxis;
    FDependentUpdates = source->FDependentUpdates;
    FCursor = source->FCursor;
    FDepth = source->FDepth;
    RecalcGetAxis();
    if (!FFunction && source->FFunction) {
        TPlotFunction* function = source->FFunction;
        source->FFunction = nullptr;
        function->FParent = nullptr;
        SetFunction(function);
    }
    FManualData = source->FManualData;
    if (!source->DataSource() || source->FManualData) {
        if (!(source->IsDesignTime() && !source->FManualData))
            AssignValues(source);
    } else {
        for (int i = 0; i < source->FDataSources.Count(); ++i) {
            plat::TComponent* dataSource = source->FDataSources.Items(i);
            if (dataSource != this && FDataSources.IndexOf(dataSource) == -1)
                AddDataSourceLink(dataSource);
        }
    }
    RefreshFromSource();
}

// --- Sample values and gallery ----------------------------------------------------------------------

void TChartSeries::FillSampleValues(int NumValues) {
    if (NumValues < 0)
        throw ChartException(ChartTextSampleValuesCount);
    if (NumValues == 0)
        NumValues = FSampleCount > 0 ? FSampleCount : NumSampleValues();
    ClearPoints();
    SampleRandom().seed(static_cast<unsigned>(RandomBelow(7774444)));
    SuspendUpdates();
    {
        plat::ScopeGuard resume([this] { ResumeUpdates(); });
        AddSampleValues(NumValues, false);
        DoSortValues();
    }
    FManualData = false;
}

void TChartSeries::AddSampleValues(int NumValues, bool OnlyMandatory) {
    if (NumValues <= 0)
        return;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 1000;
    TChartAxis* valueAxis = FYMandatory ? FVertAxisBound : FHorizAxisBound;
    TChartAxis* otherAxis = FYMandatory ? FHorizAxisBound : FVertAxisBound;
    if (FParent && FParent->SeriesCount() > 0 && valueAxis && otherAxis) {
        const bool horizontalValues = !FYMandatory;
        yMin = horizontalValues ? FParent->MinXValue(valueAxis) : FParent->MinYValue(valueAxis);
        yMax = horizontalValues ? FParent->MaxXValue(valueAxis) : FParent->MaxYValue(valueAxis);
        if (yMin == yMax) {
            if (yMin == 0) {
                yMin = 0;
                yMax = 1000;
            } else {
                yMax = 2 * yMin;
            }
        }
        xMin = horizontalValues ? FParent->MinYValue(otherAxis) : FParent->MinXValue(otherAxis);
        xMax = horizontalValues ? FParent->MaxYValue(otherAxis) : FParent->MaxXValue(otherAxis);
        if (xMin == xMax)
            xMax = xMin == 0 ? NumValues - 1 : 2 * xMin;
    } else if (FNotMandatory->DateTime()) {
        xMin = plat::Date();
        xMax = xMin + NumValues - 1;
    } else {
        xMin = 0;
        xMax = NumValues - 1;
    }
    const double step = NumValues > 1 ? (xMax - xMin) / (NumValues - 1) : xMax - xMin;
    const double span = std::clamp(yMax - yMin, -2147483647.0, 2147483647.0);
    double v = RandomBelow(100) * span * 0.01 + yMin;
    double x = xMin;
    for (int i = 0; i < NumValues; ++i) {
        v = std::fabs(span * 0.25 * RandomBelow(100) * 0.01 + v - span * 0.25 * 0.5);
        if (OnlyMandatory) {
            AddValue(v);
        } else {
            if (FYMandatory)
                AddPoint(x, v);
            else
                AddPoint(v, x);
            x += step;
        }
    }
}

void TChartSeries::DoSortValues() {
    if (FMandatory->Order() == loNone)
        return;
    FMandatory->Sort();
    if (FNotMandatory->ValueSource().empty())
        FNotMandatory->FillWithIndexes();
    InvalidateParentChart();
}

void TChartSeries::PrepareForGallery(bool FunctionVariant) {
    FillSampleValues(4);
    FMarks->SetVisible(false);
    FMarks->Font()->SetSize(7);
    FMarks->Callout()->SetLength(4);
    FMarks->SetDrawEvery(2);
    SetColorEachPoint(false);
    if (FunctionVariant && FParent)
        SetSeriesColor(
            FParent->ColorOfPalette(FParent->SeriesCount() > 0 && FParent->SeriesAt(0) == this ? 0 : 3));
    else
        SetSeriesColor(0xC0C0C0);
}

void TChartSeries::AddGallerySubTypes(const TChartSubGalleryProc& AddSubChart) {
    if (AddSubChart)
        AddSubChart(ChartTextSubGalleryNormal);
}

bool TChartSeries::IsDesignTime() const {
    return ChartDesignTimeSeries || (ComponentState() & plat::csDesigning) != 0;
}

// --- Series lists and groups ------------------------------------------------------------------------

PLAT_CLASS_INFO(TCustomSeriesList, plat::TList)
PLAT_CLASS_INFO(TChartSeriesList, TCustomSeriesList)
PLAT_CLASS_INFO(TSeriesGroup, plat::TCollectionItem)
PLAT_CLASS_INFO(TSeriesGroups, plat::TOwnedCollection)

TChartSeriesList::TChartSeriesList(TCustomAxisPanel* Owner) : TCustomSeriesList(Owner) {
    FGroups = std::make_unique<TSeriesGroups>(Owner);
}

TChartSeriesList::~TChartSeriesList() {
    FGroups.reset();
}

void TChartSeriesList::ClearEverySeries() {
    for (int i = 0; i < Count(); ++i)
        Series(i)->ClearPoints();
}

TSeriesGroup* TChartSeriesList::AddNamedGroup(const std::string& Name) {
    TSeriesGroup* group = FGroups->Add();
    group->SetName(Name);
    return group;
}

bool TChartSeriesList::EverySeriesActive() const {
    for (int i = 0; i < Count(); ++i)
        if (!Series(i)->Active())
            return false;
    return true;
}

void TChartSeriesList::SetEverySeriesActive(bool Value) {
    for (int i = 0; i < Count(); ++i)
        Series(i)->SetActive(Value);
}

TSeriesGroup::TSeriesGroup(plat::TCollection* Collection) : plat::TCollectionItem(Collection) {
    TCustomAxisPanel* chart = nullptr;
    if (Collection)
        chart = dynamic_cast<TCustomAxisPanel*>(Collection->Owner());
    FSeries = std::make_unique<TCustomSeriesList>(chart);
}

TSeriesGroup::~TSeriesGroup() = default;

void TSeriesGroup::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TSeriesGroup*>(Source)) {
        FName = source->FName;
        SetSeries(*source->FSeries);
        return;
    }
    plat::TCollectionItem::Assign(Source);
}

TSeriesGroupActive TSeriesGroup::GetActive() const {
    int active = 0;
    for (int i = 0; i < FSeries->Count(); ++i)
        if (FSeries->Series(i)->Active())
            ++active;
    if (active == FSeries->Count())
        return gaYes;
    return active == 0 ? gaNo : gaSome;
}

void TSeriesGroup::SetActive(TSeriesGroupActive Value) {
    if (Value == gaSome || Value == GetActive())
        return;
    for (int i = 0; i < FSeries->Count(); ++i)
        FSeries->Series(i)->SetActive(Value == gaYes);
}

void TSeriesGroup::SetSeries(const TCustomSeriesList& Value) {
    FSeries->Clear();
    for (int i = 0; i < Value.Count(); ++i)
        FSeries->Add(Value.Series(i));
}

TSeriesGroups::TSeriesGroups(plat::TPersistent* AOwner)
    : plat::TOwnedCollection(AOwner, plat::TCollectionItemClass::Of<TSeriesGroup>()) {}

int TSeriesGroups::GroupOf(const TChartSeries* Series) const {
    for (int i = 0; i < Count(); ++i)
        if (GroupAt(i)->Series().IndexOf(Series) != -1)
            return i;
    return -1;
}

// --- Titles -----------------------------------------------------------------------------------------

std::string GetSeriesTitle(TChartSeries* Series) {
    std::string title = Series->Title();
    std::replace(title.begin(), title.end(), '\x06', ' ');
    if (!title.empty())
        return title;
    if (!Series->Name().empty())
        return Series->Name();
    TCustomAxisPanel* chart = Series->ParentChart();
    if (!chart)
        return std::string();
    return ChartTextSeries + plat::IntToStr(chart->SeriesList()->IndexOf(Series) + 1);
}

void FillSeriesItems(plat::TStrings* Items, TCustomSeriesList* List, bool UseTitles) {
    Items->BeginUpdate();
    plat::ScopeGuard endUpdate([Items] { Items->EndUpdate(); });
    for (int i = 0; i < List->Count(); ++i) {
        TChartSeries* series = List->Series(i);
        if (series->ShowInEditor() || (series->ComponentState() & plat::csDesigning))
            Items->AddObject(UseTitles ? GetSeriesTitle(series) : series->Name(), series);
    }
}

void DrawSeriesClassBitmap(plat::TCanvas* Canvas, const plat::TObject* Element, int X, int Y) {
    plat::TBitmap bitmap;
    if (Canvas && Element && LoadSeriesClassBitmap(Element, &bitmap))
        Canvas->Draw(X, Y, &bitmap);
}

} // namespace chart
