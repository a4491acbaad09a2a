#include "chart/PlotEngineAxisPanel.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "chart/PlotConst.h"
#include "chart/PlotEngine.h"
#include "chart/PlotEngineMarks.h"
#include "platform/gfx/Printer.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TPlotSeriesEvent, TPlotEvent)
PLAT_CLASS_INFO(TChartChangePage, TPlotEvent)
PLAT_CLASS_INFO(TPlotCustomTool, TCustomChartElement)
PLAT_CLASS_INFO(TChartTools, TList)
PLAT_CLASS_INFO(TChartPage, TPersistent)
PLAT_CLASS_INFO(TCustomAxisPanel, TCustomPlotPanelExtended)

namespace {
// Puts a flag back when the scope ends, also when it ends by an exception.
class TRepaintGuard {
public:
    explicit TRepaintGuard(TCustomPlotPanel& Panel) : FPanel(Panel), FOld(Panel.RepaintEnabled()) {
        Panel.SetRepaintEnabled(false);
    }
    ~TRepaintGuard() { FPanel.SetRepaintEnabled(FOld); }
    TRepaintGuard(const TRepaintGuard&) = delete;
    TRepaintGuard& operator=(const TRepaintGuard&) = delete;

private:
    TCustomPlotPanel& FPanel;
    bool FOld;
};
} // namespace

// --- Tools ------------------------------------------------------------------------------------------

TPlotCustomTool::~TPlotCustomTool() {
    BeforeDestruction();
}

void TPlotCustomTool::BeforeDestruction() {
    SetParentChart(nullptr);
    TCustomChartElement::BeforeDestruction();
}

void TPlotCustomTool::SetParentChart(TCustomAxisPanel* Value) {
    TCustomAxisPanel* old = ParentChart();
    if (old == Value)
        return;
    if (old != nullptr) {
        if (old->Tools() != nullptr)
            old->Tools()->Remove(this);
        if (Value == nullptr)
            old->Invalidate();
    }
    TCustomChartElement::SetParentChart(Value);
    if (Value != nullptr && Value->Tools() != nullptr)
        Value->Tools()->TList::Add(this);
}

TPlotCustomTool* TChartTools::Add(TPlotCustomTool* Tool) {
    Tool->SetParentChart(FChart);
    return Tool;
}

void TChartTools::Clear() {
    while (Count() > 0) {
        TPlotCustomTool* tool = Items(0);
        tool->Free();
        // A tool that did not leave the list by itself must not be freed twice.
        if (Count() > 0 && Items(0) == tool)
            Delete(0);
    }
}

// --- Pages ------------------------------------------------------------------------------------------

void TChartPage::Changed() {
    if (FChart != nullptr)
        FChart->Invalidate();
}

void TChartPage::Broadcast() {
    if (FChart == nullptr)
        return;
    TChartChangePage event;
    FChart->BroadcastEvent(event);
}

void TChartPage::SetAutoScale(bool Value) {
    if (FAutoScale != Value) {
        FAutoScale = Value;
        Changed();
    }
}

void TChartPage::SetScaleLastPage(bool Value) {
    if (FScaleLastPage != Value) {
        FScaleLastPage = Value;
        Changed();
    }
}

void TChartPage::SetCurrent(int Value) {
    Value = std::max(1, std::min(Value, PageCount()));
    if (FCurrent == Value)
        return;
    FCurrent = Value;
    Changed();
    Broadcast();
    if (FChart != nullptr && FChart->OnPageChange)
        FChart->OnPageChange(this);
}

void TChartPage::SetMaxPointsPerPage(int Value) {
    if (Value < 0)
        throw ChartException(ChartTextMaxPointsPerPage);
    if (FMaxPointsPerPage != Value) {
        FMaxPointsPerPage = Value;
        Changed();
    }
    const int pages = PageCount();
    if (pages < FCurrent)
        SetCurrent(pages);
    Broadcast();
}

void TChartPage::NextPage() {
    if (FMaxPointsPerPage > 0 && FCurrent < PageCount())
        SetCurrent(FCurrent + 1);
}

void TChartPage::PreviousPage() {
    if (FMaxPointsPerPage > 0 && FCurrent > 1)
        SetCurrent(FCurrent - 1);
}

int TChartPage::PageCount() const {
    if (FMaxPointsPerPage <= 0 || FChart == nullptr || FChart->SeriesCount() == 0)
        return 1;
    const bool yMandatory = FChart->SeriesAt(0)->YMandatory();
    TChartAxis* axes[2] = {yMandatory ? FChart->BottomAxis() : FChart->RightAxis(),
                           yMandatory ? FChart->TopAxis() : FChart->LeftAxis()};
    int result = 1;
    for (TChartAxis* axis : axes) {
        int most = 0;
        for (int i = 0; i < FChart->SeriesCount(); ++i) {
            TChartSeries* s = FChart->SeriesAt(i);
            if (s->Active() && s->UsesAxis(axis))
                most = std::max(most, s->Count());
        }
        const int pages = most <= 0 ? 1 : most / FMaxPointsPerPage + (most % FMaxPointsPerPage != 0 ? 1 : 0);
        result = std::max(result, pages);
    }
    return result;
}

void TChartPage::Assign(TPersistent* Source) {
    auto* page = dynamic_cast<TChartPage*>(Source);
    if (page == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FAutoScale = page->FAutoScale;
    FCurrent = page->FCurrent;
    FMaxPointsPerPage = page->FMaxPointsPerPage;
    FScaleLastPage = page->FScaleLastPage;
}

PLAT_PROPERTIES(TChartPage) {
    props.Boolean("AutoScale", &TChartPage::AutoScale, &TChartPage::SetAutoScale, false);
    props.Integer("Current", &TChartPage::Current, &TChartPage::SetCurrent, 1);
    props.Integer("MaxPointsPerPage", &TChartPage::MaxPointsPerPage, &TChartPage::SetMaxPointsPerPage, 0);
    props.Boolean("ScaleLastPage", &TChartPage::ScaleLastPage, &TChartPage::SetScaleLastPage, true);
}

// --- Construction -----------------------------------------------------------------------------------

TCustomAxisPanel::TCustomAxisPanel(TComponent* AOwner) : TCustomPlotPanelExtended(AOwner) {
    SetRepaintEnabled(false);
    FTools = std::make_unique<TChartTools>(this);
    FSeriesList = std::make_unique<TChartSeriesList>(this);
    FAxes = std::make_unique<TChartAxes>(this);
    FCustomAxes = std::make_unique<TChartCustomAxes>(this);

    FBottomAxis = new TChartAxis(this);
    FBottomAxis->SetHorizontal(true);

    FTopAxis = new TChartAxis(this);
    FTopAxis->SetHorizontal(true);
    FTopAxis->SetOtherSide(true);
    FTopAxis->SetZPosition(100);
    FTopAxis->Grid()->SetZPosition(100);
    FTopAxis->Grid()->SetDefaultZPosition(100);

    FLeftAxis = new TChartAxis(this);
    FLeftAxis->Title()->SetAngle(90);
    FLeftAxis->Title()->SetDefaultAngle(90);

    FRightAxis = new TChartAxis(this);
    FRightAxis->Title()->SetAngle(270);
    FRightAxis->Title()->SetDefaultAngle(270);
    FRightAxis->SetOtherSide(true);
    FRightAxis->SetZPosition(100);
    FRightAxis->Grid()->SetZPosition(100);
    FRightAxis->Grid()->SetDefaultZPosition(100);

    FDepthAxis = new TChartDepthAxis(this);
    FDepthAxis->SetOtherSide(true);
    FDepthTopAxis = new TChartDepthAxis(this);

    FPages = std::make_unique<TChartPage>(this);
    SetRepaintEnabled(true);
}

TCustomAxisPanel::~TCustomAxisPanel() {
    BeforeDestruction();
}

void TCustomAxisPanel::BeforeDestruction() {
    if (!FPages)
        return; // the parts are gone already
    SetRepaintEnabled(false);
    FreeAllSeries(nullptr);
    // Tools live with their owners; they only leave this chart.
    while (FTools->Count() > 0) {
        TPlotCustomTool* tool = FTools->Items(0);
        tool->SetParentChart(nullptr);
        if (FTools->Count() > 0 && FTools->Items(0) == tool)
            FTools->Delete(0);
    }
    FPages.reset();
    for (TChartAxis** axis : {&FBottomAxis, &FTopAxis, &FLeftAxis, &FRightAxis})
        delete std::exchange(*axis, nullptr);
    delete std::exchange(FDepthAxis, nullptr);
    delete std::exchange(FDepthTopAxis, nullptr);
    FCustomAxes.reset();
    FActiveChangeHook.reset();
    TCustomPlotPanelExtended::BeforeDestruction();
}

// --- Properties -------------------------------------------------------------------------------------

void TCustomAxisPanel::SetChart3DPercent(int Value) {
    if (Value < 1 || Value > 100)
        throw Exception(Format(ChartTextChart3DPercent, {1, 100}));
    SetIntegerField(FChart3DPercent, Value);
}

void TCustomAxisPanel::SetCustomAxes(TChartCustomAxes* Value) {
    FCustomAxes->Assign(Value);
}
bool TCustomAxisPanel::HasCustomAxes() const {
    return FCustomAxes && FCustomAxes->Count() > 0;
}
void TCustomAxisPanel::SetBottomAxis(TChartAxis* Value) {
    FBottomAxis->Assign(Value);
}
void TCustomAxisPanel::SetTopAxis(TChartAxis* Value) {
    FTopAxis->Assign(Value);
}
void TCustomAxisPanel::SetLeftAxis(TChartAxis* Value) {
    FLeftAxis->Assign(Value);
}
void TCustomAxisPanel::SetRightAxis(TChartAxis* Value) {
    FRightAxis->Assign(Value);
}
void TCustomAxisPanel::SetDepthAxis(TChartDepthAxis* Value) {
    FDepthAxis->Assign(Value);
}
void TCustomAxisPanel::SetDepthTopAxis(TChartDepthAxis* Value) {
    FDepthTopAxis->Assign(Value);
}

int TCustomAxisPanel::Page() const {
    return FPages->Current();
}
int TCustomAxisPanel::MaxPointsPerPage() const {
    return FPages->MaxPointsPerPage();
}
int TCustomAxisPanel::PageCount() {
    return FPages->PageCount();
}

void TCustomAxisPanel::PrintPages(int FirstPage, int LastPage) {
    TPrinter* printer = Printer();
    if (!Name().empty())
        printer->Title = Name();
    printer->BeginDoc();
    // A print that fails half way is given up; the chart shows the page it showed before either way.
    ScopeGuard abort([printer] {
        printer->Abort();
        if (printer->Printing())
            printer->EndDoc();
    });
    if (LastPage == 0)
        LastPage = PageCount();
    if (FirstPage == 0)
        FirstPage = 1;
    {
        const int old = FPages->Current();
        ScopeGuard restorePage([this, old] { FPages->SetCurrent(old); });
        const TRect area = PrinterPageArea();
        for (int page = FirstPage; page <= LastPage; ++page) {
            FPages->SetCurrent(page);
            PrintIntoRect(area);
            if (page < LastPage)
                printer->NewPage();
        }
    }
    printer->EndDoc();
    abort.Dismiss();
}

// --- Series list ------------------------------------------------------------------------------------

TChartSeries* TCustomAxisPanel::AddSeries(TChartSeries* Series) {
    Series->SetParentChart(this);
    return Series;
}

TChartSeries* TCustomAxisPanel::AddNewSeries(const TClassInfo& SeriesClass) {
    if (SeriesClass.Create == nullptr || !SeriesClass.InheritsFrom(TChartSeries::StaticClass()))
        return nullptr;
    auto* series = static_cast<TChartSeries*>(SeriesClass.Create(Owner()));
    return AddSeries(series);
}

void TCustomAxisPanel::InternalAddSeries(TCustomChartSeries* Series) {
    auto* series = dynamic_cast<TChartSeries*>(Series);
    if (series == nullptr || FSeriesList->IndexOf(series) >= 0)
        return;
    if (series->ParentChart() != this) {
        // Joining goes through the series, which comes back here with its chart set.
        series->SetParentChart(this);
        return;
    }
    series->Added();
    FSeriesList->Add(series);
    BroadcastSeriesEvent(series, seAdd);
    Invalidate();
}

void TCustomAxisPanel::RemoveSeries(TCustomChartSeries* Series) {
    RemoveSeries(FSeriesList->IndexOf(Series));
}

void TCustomAxisPanel::RemoveSeries(int Index) {
    if (Index < 0 || Index >= FSeriesList->Count())
        return;
    TChartSeries* series = FSeriesList->Series(Index);
    BroadcastSeriesEvent(series, seRemove);
    series->Removed();
    // A listener may have changed the list meanwhile.
    const int now = FSeriesList->IndexOf(series);
    if (now >= 0)
        FSeriesList->Delete(now);
    Invalidate();
}

void TCustomAxisPanel::ExchangeSeries(int Index1, int Index2) {
    const int count = FSeriesList->Count();
    if (Index1 < 0 || Index2 < 0 || Index1 >= count || Index2 >= count || Index1 == Index2)
        return;
    TChartSeries* s1 = FSeriesList->Series(Index1);
    TChartSeries* s2 = FSeriesList->Series(Index2);
    FSeriesList->Exchange(Index1, Index2);
    if (s1->Owner() != nullptr && s1->Owner() == s2->Owner()) {
        const int c1 = s1->ComponentIndex();
        const int c2 = s2->ComponentIndex();
        s1->SetComponentIndex(c2);
        s2->SetComponentIndex(c1);
    }
    TSeriesGroups& groups = FSeriesList->Groups();
    const int g1 = groups.GroupOf(s1);
    if (g1 >= 0 && g1 == groups.GroupOf(s2)) {
        TCustomSeriesList& members = groups.GroupAt(g1)->Series();
        const int m1 = members.IndexOf(s1);
        const int m2 = members.IndexOf(s2);
        if (m1 >= 0 && m2 >= 0)
            members.Exchange(m1, m2);
    }
    BroadcastSeriesEvent(nullptr, seSwap);
    Invalidate();
}

void TCustomAxisPanel::ExchangeSeries(TCustomChartSeries* Series1, TCustomChartSeries* Series2) {
    ExchangeSeries(FSeriesList->IndexOf(Series1), FSeriesList->IndexOf(Series2));
}

void TCustomAxisPanel::FreeAllSeries(const TClassInfo* SeriesClass) {
    for (int i = FSeriesList->Count() - 1; i >= 0; --i) {
        if (i >= FSeriesList->Count())
            continue;
        TChartSeries* series = FSeriesList->Series(i);
        if (SeriesClass != nullptr && !series->InheritsFrom(*SeriesClass))
            continue;
        series->SetParentChart(nullptr);
        // A series that refused to leave must not stay listed once freed.
        FSeriesList->Remove(series);
        series->Free();
    }
}

TChartSeries* TCustomAxisPanel::SeriesAt(int Index) const {
    return FSeriesList->Series(Index);
}

int TCustomAxisPanel::SeriesCount() const {
    return FSeriesList->Count();
}

int TCustomAxisPanel::ActiveSeriesCount() const {
    int n = 0;
    for (int i = 0; i < SeriesCount(); ++i)
        n += SeriesAt(i)->Active() ? 1 : 0;
    return n;
}

int TCustomAxisPanel::MaxNumPoints() const {
    int most = 0;
    for (int i = 0; i < SeriesCount(); ++i)
        if (SeriesAt(i)->Active())
            most = std::max(most, SeriesAt(i)->Count());
    return most;
}

TChartSeries* TCustomAxisPanel::FirstSeriesOnAxis(TChartAxis* Axis) const {
    const bool anyActive = !NoActiveSeries(Axis);
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = SeriesAt(i);
        if ((s->Active() || !anyActive) && s->UsesAxis(Axis))
            return s;
    }
    return nullptr;
}

TChartSeries* TCustomAxisPanel::SeriesWithMostPoints(TChartAxis* Axis) const {
    const bool anyActive = !NoActiveSeries(Axis);
    TChartSeries* result = nullptr;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = SeriesAt(i);
        if ((s->Active() || !anyActive) && s->UsesAxis(Axis) &&
            (result == nullptr || s->Count() > result->Count()))
            result = s;
    }
    return result;
}

bool TCustomAxisPanel::NoActiveSeries(TChartAxis* Axis) const {
    for (int i = 0; i < SeriesCount(); ++i)
        if (SeriesAt(i)->Active() && SeriesAt(i)->UsesAxis(Axis))
            return false;
    return true;
}

bool TCustomAxisPanel::IsAxisVisible(TChartAxis* Axis) const {
    if (!FAxisVisible || !Axis->Visible())
        return false;
    if (Axis->IsDepthAxis())
        return View3D();
    if (ActiveSeriesCount() == 0)
        return true;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = SeriesAt(i);
        if (!s->Active())
            continue;
        if (!s->UsesAxes())
            return false;
        if (s->UsesAxis(Axis))
            return true;
    }
    return false;
}

bool TCustomAxisPanel::SeriesUseAxes() {
    bool anyActive = false;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = SeriesAt(i);
        if (!s->Active())
            continue;
        anyActive = true;
        if (s->UsesAxes())
            return true;
    }
    return !anyActive;
}

// --- Automatic ranges -------------------------------------------------------------------------------

double TCustomAxisPanel::InternalMinMax(TChartAxis* Axis, bool IsMin, bool IsX) {
    double result = 0;
    bool found = false;
    auto take = [&](double v) {
        if (!found || (IsMin ? v < result : v > result))
            result = v;
        found = true;
    };

    if (Axis->IsDepthAxis()) {
        if (Axis->EffectiveLabelStyle() == talValue) {
            for (int i = 0; i < SeriesCount(); ++i) {
                TChartSeries* s = SeriesAt(i);
                if (s->Active())
                    take(IsMin ? s->MinZ() : s->MaxZ());
            }
            return result;
        }
        return IsMin ? -0.5 : FMaxZOrder + 0.5;
    }

    const int perPage = FPages->MaxPointsPerPage();
    TChartSeries* first = perPage > 0 ? FirstSeriesOnAxis(Axis) : nullptr;
    if (first != nullptr && IsX == first->YMandatory()) {
        TChartSeries* s = SeriesWithMostPoints(Axis);
        if (s == nullptr || s->Count() == 0)
            return 0;
        int f = 0, l = 0;
        s->CalcFirstLastPage(f, l);
        if (f < 0 || l < f)
            return 0;
        auto value = [&](int index) { return IsX ? s->GetXValue(index) : s->GetYValue(index); };
        if (IsMin)
            return value(f);
        result = value(l);
        const int d = l - f + 1;
        if (!FPages->ScaleLastPage() && d < perPage) {
            const double firstValue = value(f);
            if (firstValue != result)
                result = firstValue + perPage * (result - firstValue) / d;
            else
                result = firstValue + static_cast<double>(perPage) / d;
        }
        return result;
    }

    const bool anyActive = !NoActiveSeries(Axis);
    const bool pageScale = perPage > 0 && FPages->AutoScale();
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = SeriesAt(i);
        if (!(s->Active() || !anyActive) || s->Count() <= 0)
            continue;
        const bool against = IsX ? (s->HorizAxis() == aBothHorizAxis || s->GetHorizAxis() == Axis)
                                 : (s->VertAxis() == aBothVertAxis || s->GetVertAxis() == Axis);
        if (!against)
            continue;
        if (pageScale) {
            const int start = (FPages->Current() - 1) * perPage;
            if (s->Count() <= start)
                continue;
            const int end = std::min(s->Count(), start + perPage);
            TChartValueList* list = IsX ? s->XValues() : s->YValues();
            for (int k = start; k < end; ++k)
                take(list->Items(k));
        } else {
            take(IsX ? (IsMin ? s->MinX() : s->MaxX()) : (IsMin ? s->MinY() : s->MaxY()));
        }
    }
    return result;
}

// --- Texts and colours ------------------------------------------------------------------------------

int TCustomAxisPanel::MultiLineTextWidth(const std::string& Text, int& NumLines) {
    NumLines = 0;
    int widest = 0;
    size_t start = 0;
    while (start <= Text.size()) {
        const size_t end = Text.find('\r', start);
        const std::string line =
            Text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const bool last = end == std::string::npos;
        if (!(last && line.empty() && NumLines > 0)) {
            ++NumLines;
            if (!line.empty())
                widest = std::max(widest, DrawCanvas()->TextWidth(line));
        }
        if (last)
            break;
        start = end + 1;
    }
    if (Text.empty())
        NumLines = 0;
    return widest;
}

int TCustomAxisPanel::MaxLabelsTextWidth() {
    int widest = 0;
    for (int i = 0; i < SeriesCount(); ++i) {
        TLabelsList& labels = SeriesAt(i)->Labels();
        for (int k = 0; k < labels.Count(); ++k) {
            const std::string text = labels.GetLabel(k);
            if (!text.empty())
                widest = std::max(widest, MultiLineTextWidth(text));
        }
    }
    return widest;
}

int TCustomAxisPanel::MaxMarkWidth() {
    int widest = 0;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = SeriesAt(i);
        if (s->Active() && s->Marks() != nullptr)
            widest = std::max(widest, s->Marks()->MaxMarkWidth());
    }
    return widest;
}

TChartSeries* TCustomAxisPanel::LegendSeries(int Index, bool OnlyActive) const {
    int n = -1;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = SeriesAt(i);
        if (s->ShowInLegend() && (!OnlyActive || s->Active()) && ++n == Index)
            return s;
    }
    return nullptr;
}

std::string TCustomAxisPanel::LegendSeriesTitle(int Index, bool OnlyActive) const {
    TChartSeries* s = LegendSeries(Index, OnlyActive);
    return s != nullptr ? GetSeriesTitle(s) : std::string();
}

TColor TCustomAxisPanel::ColorOfPalette(int Index) const {
    if (FColorPalette.empty())
        return DefaultPaletteColor(Index);
    const int n = static_cast<int>(FColorPalette.size());
    return FColorPalette[((Index % n) + n) % n];
}

TColor TCustomAxisPanel::GetFreeSeriesColor(bool CheckPanelColors, TChartSeries* ExceptSeries) {
    const int length = FColorPalette.empty() ? static_cast<int>(DefaultColorPalette().size())
                                             : static_cast<int>(FColorPalette.size());
    for (int i = 0; i <= length - 2; ++i) {
        const TColor c = ColorOfPalette(i);
        if (IsFreeSeriesColor(c, CheckPanelColors, ExceptSeries))
            return c;
    }
    return ColorOfPalette(std::max(0, length - 1));
}

bool TCustomAxisPanel::IsFreeSeriesColor(TColor Color, bool CheckPanelColors, TChartSeries* ExceptSeries) {
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = SeriesAt(i);
        if (s != ExceptSeries && s->SeriesColor() == Color)
            return false;
    }
    return !(CheckPanelColors && Color == this->Color());
}

void TCustomAxisPanel::SetAutomaticSeriesColors() {
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = SeriesAt(i);
        if (s->StoredSeriesColor() == AutoColor)
            s->SetSeriesColor(GetFreeSeriesColor(true, s));
    }
}

bool TCustomAxisPanel::CheckMouseOverSeries(int X, int Y) {
    bool any = false;
    for (int i = SeriesCount() - 1; i >= 0; --i) {
        if (i >= SeriesCount())
            continue;
        TChartSeries* s = SeriesAt(i);
        if (s->Active() && s->CheckMouse(X, Y))
            any = true;
    }
    return any;
}

// --- Events -----------------------------------------------------------------------------------------

void TCustomAxisPanel::BroadcastSeriesEvent(TCustomChartSeries* Series, TPlotSeriesEventStyle Kind) {
    if (FSeriesEventsOff)
        return;
    TPlotSeriesEvent event;
    event.Event = Kind;
    event.Series = Series;
    BroadcastEvent(event);
}

void TCustomAxisPanel::BroadcastToolEvent(TChartToolEvent Kind) {
    for (int i = 0; i < FTools->Count(); ++i) {
        TPlotCustomTool* tool = FTools->Items(i);
        if (tool->Active())
            tool->ChartEvent(Kind);
    }
}

void TCustomAxisPanel::DoAfterDraw() {
    if (OnAfterDraw)
        OnAfterDraw(this);
}

void TCustomAxisPanel::DoBeforeDrawAxes() {
    if (OnBeforeDrawAxes)
        OnBeforeDrawAxes(this);
}

void TCustomAxisPanel::DoBeforeDrawChart() {
    if (OnBeforeDrawChart)
        OnBeforeDrawChart(this);
}

void TCustomAxisPanel::DoBeforeDrawSeries() {
    if (OnBeforeDrawSeries)
        OnBeforeDrawSeries(this);
}

void TCustomAxisPanel::MouseLeave() {
    TCustomPlotPanelExtended::MouseLeave();
    BroadcastToolEvent(cteMouseLeave);
}

void TCustomAxisPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPlotPanelExtended::Notification(AComponent, Operation);
}

// --- Drawing ----------------------------------------------------------------------------------------

void TCustomAxisPanel::Calc3DSize() {
    if (!View3D()) {
        FSeriesWidth3D = FSeriesHeight3D = 0;
        SetWidth3D(0);
        SetHeight3D(0);
        return;
    }
    TView3DOptions* options = View3DOptions();
    int w = RoundToInt(ChartWidth() * FChart3DPercent * 0.001);
    if (!options->Orthogonal())
        w *= 2;
    const double r = options->Orthogonal() ? options->OrthoTangent() : 1;
    FSeriesWidth3D = r > 1 ? RoundToInt(w / r) : w;
    FSeriesHeight3D = RoundToInt(FSeriesWidth3D * r);
    const int n = SeriesDepthFlag() ? std::max(1, FMaxZOrder + 1) : 1;
    SetWidth3D(n * FSeriesWidth3D);
    SetHeight3D(n * FSeriesHeight3D);
}

bool TCustomAxisPanel::IsFaceHidden(int Depth) {
    TPlotCanvas3D& c = *DrawCanvas();
    if (c.IsTrue3D())
        return false;
    const TRect& r = ChartRect();
    const TPoint p0 = c.Calc3DPoint(r.Left, r.Top, Depth);
    const TPoint p1 = c.Calc3DPoint(r.Right, r.Top, Depth);
    const TPoint p2 = c.Calc3DPoint(r.Right, r.Bottom, Depth);
    // Seen from the front the corners run clockwise on the screen; the face is hidden when they turn
    // the other way.
    return IsBackFacing(p2, p1, p0);
}

void TCustomAxisPanel::DrawLegendSymbolRect(const TRect& Rect) {
    TPlotCanvas3D& c = *DrawCanvas();
    c.DrawRectangle(Rect);
    const TColor brush = c.Brush()->Color();
    if (brush == FLegendColor) {
        if (brush == clBlack)
            c.Pen()->SetColor(clWhite);
        c.Brush()->SetStyle(bsClear);
        c.DrawRectangle(Rect);
    }
}

void TCustomAxisPanel::DrawChart(const TRect& Rect) {
    TRepaintGuard guard(*this);
    TPlotCanvas3D& canvas = *DrawCanvas();
    TView3DOptions* options = View3DOptions();
    FViewFromRight =
        View3D() && ((options->Orthogonal() && options->OrthoAngle() > 90) || options->Rotation() < 180);
    const bool true3D = canvas.IsTrue3D();

    if (!true3D)
        DrawPanelBack(Rect);
    BroadcastToolEvent(cteBeforeDraw);
    DoBeforeDrawChart();
    for (int i = 0; i < SeriesCount(); ++i)
        if (SeriesAt(i)->Active())
            SeriesAt(i)->PrepareForDraw();
    if (!true3D)
        DrawTitlesAndLegend(true);

    // Depth slots.
    FMaxZOrder = 0;
    const bool slots = View3D() && SeriesDepthFlag();
    if (slots) {
        FMaxZOrder = -1;
        for (int i = 0; i < SeriesCount(); ++i)
            if (SeriesAt(i)->Active())
                SeriesAt(i)->CalcZOrder();
    }
    if (!FDepthAxis->Inverted())
        for (int i = 0; i < SeriesCount(); ++i) {
            TChartSeries* s = SeriesAt(i);
            if (s->Active())
                s->SetZOrderSlot(slots ? FMaxZOrder - s->GetZOrder() : 0);
        }

    Calc3DSize();
    CalcWallsRect();
    const TRect wallsRect = ChartRect();

    // Axis placement.
    const int axisCount = FAxes->Count();
    for (int i = 0; i < axisCount; ++i) {
        TChartAxis* axis = FAxes->AxisAt(i);
        axis->SetIsShown(IsAxisVisible(axis));
        axis->UpdateRange();
    }
    for (int i = 0; i < axisCount; ++i)
        FAxes->AxisAt(i)->CalcPositions();
    TRect r = ChartRect();
    for (int i = 0; i < axisCount; ++i) {
        TChartAxis* axis = FAxes->AxisAt(i);
        if (axis->IsShown()) {
            TRect copy = r;
            axis->ComputeAxisRect(copy, i < 5);
            TRect common;
            if (IntersectRect(common, copy, r))
                r = copy;
        } else if (FAxes->LabelSizeHook()) {
            const int size = FAxes->LabelSizeHook()(axis, 0);
            if (size > 0)
                axis->ShrinkChartRectForAxis(r, size);
        }
    }
    if (!CustomChartRect()) {
        SetChartRect(r);
        UpdateChartDimensions();
    }
    Calc3DSize();
    for (int i = 0; i < axisCount; ++i)
        FAxes->AxisAt(i)->CalcPositions();

    for (int i = 0; i < SeriesCount(); ++i)
        if (SeriesAt(i)->Active())
            SeriesAt(i)->CalcDepthPositions();

    // Room the series ask for at the axis ends.
    for (int i = 0; i < axisCount; ++i) {
        TChartAxis* axis = FAxes->AxisAt(i);
        if (axis->IsDepthAxis())
            continue;
        int lowEnd = 0, highEnd = 0; // left/top, right/bottom in pixels
        for (int k = 0; k < SeriesCount(); ++k) {
            TChartSeries* s = SeriesAt(k);
            if (!s->Active() || !s->UsesAxis(axis))
                continue;
            int a = 0, b = 0;
            if (axis->Horizontal()) {
                s->GetHorizMargins(a, b);
                if (axis->AutomaticMinimum())
                    lowEnd = std::max(lowEnd, a);
                if (axis->AutomaticMaximum())
                    highEnd = std::max(highEnd, b);
            } else {
                s->GetVertMargins(a, b);
                if (axis->AutomaticMaximum())
                    lowEnd = std::max(lowEnd, a);
                if (axis->AutomaticMinimum())
                    highEnd = std::max(highEnd, b);
            }
        }
        // The minimum end is the left (horizontal) or the bottom (vertical) unless the axis is inverted.
        const bool minAtLow = axis->Horizontal() != axis->Inverted();
        (minAtLow ? lowEnd : highEnd) += axis->MinimumOffset();
        (minAtLow ? highEnd : lowEnd) += axis->MaximumOffset();
        TRect margins;
        if (axis->Horizontal()) {
            margins.Left = lowEnd;
            margins.Right = highEnd;
        } else {
            margins.Top = lowEnd;
            margins.Bottom = highEnd;
        }
        if (lowEnd != 0 || highEnd != 0)
            axis->AdjustRangeToMargins(margins);
        if (axis->MinimumOffset() != 0 || axis->MaximumOffset() != 0)
            axis->SetTitlePixel(axis->ShiftAxisPosition(axis->LabelsPixel(), axis->MeasureLabelsSpace()));
    }

    canvas.CalcCenter(Width3D(), ChartRect());

    if (true3D) {
        const TRect current = ChartRect();
        SetChartRect(wallsRect);
        DrawPanelBack(Rect);
        DrawTitlesAndLegend(true);
        SetChartRect(current);
    }
    DrawBackWalls();
    if (FAxisBehind) {
        BroadcastToolEvent(cteBeforeDrawAxes);
        DrawAxes();
    }
    BroadcastToolEvent(cteBeforeDrawSeries);
    DoBeforeDrawSeries();
    DrawAllSeries();
    BroadcastToolEvent(cteAfterDrawSeries);
    if (!FAxisBehind) {
        BroadcastToolEvent(cteBeforeDrawAxes);
        DrawAxes();
    }
    DrawTitlesAndLegend(false);
    if (Zoom()->Active())
        DrawZoomRectangle();
    BroadcastToolEvent(cteAfterDraw);
    canvas.ResetToDefaults();
    DoAfterDraw();
}

void TCustomAxisPanel::DrawAxes() {
    if (!FAxisVisible)
        return;
    DoBeforeDrawAxes();
    for (int i = 0; i < FAxes->Count(); ++i) {
        TChartAxis* axis = FAxes->AxisAt(i);
        if (!axis->IsShown())
            continue;
        if (axis == FBottomAxis && IsFaceHidden(0))
            continue;
        axis->DrawAxisLabels(true);
    }
}

void TCustomAxisPanel::ClipSeries(TChartSeries* Series) {
    if (!Series->UsesAxes() || !FClipPoints || !ClippingAllowed())
        return;
    TRect r = ChartRect();
    ++r.Bottom;
    DrawCanvas()->ClipCube(r, 0, Width3D());
}

void TCustomAxisPanel::DrawSeriesMarks(TChartSeries* Series) {
    TSeriesMarks* marks = Series->Marks();
    if (marks == nullptr || Series->Count() == 0 || !marks->Visible())
        return;
    const bool clip = marks->Clip() && ClippingAllowed();
    if (clip) {
        TRect r = ChartRect();
        ++r.Bottom;
        DrawCanvas()->ClipCube(r, 0, Width3D());
    }
    ScopeGuard unclip([this, clip] {
        if (clip)
            DrawCanvas()->UnClip();
    });
    Series->DrawMarks();
}

void TCustomAxisPanel::DrawOneSeries(TChartSeries* Series) {
    Series->CalcVisibleRange();
    if (Series->FirstVisibleIndex() == -1)
        return;
    Series->DoBeforeDrawValues();
    const bool clip = Series->UsesAxes() && FClipPoints && ClippingAllowed();
    ClipSeries(Series);
    {
        ScopeGuard unclip([this, clip] {
            if (clip)
                DrawCanvas()->UnClip();
        });
        Series->DrawAllValues();
    }
    DrawSeriesMarks(Series);
    Series->DoAfterDrawValues();
}

void TCustomAxisPanel::DrawAllSeries() {
    std::vector<TChartSeries*> order;
    for (int i = 0; i < SeriesCount(); ++i)
        if (SeriesAt(i)->Active())
            order.push_back(SeriesAt(i));
    if (FDepthAxis->Inverted() != IsFaceHidden(Width3D()))
        std::reverse(order.begin(), order.end());
    std::vector<TChartSeries*> done;
    for (TChartSeries* series : order) {
        if (std::find(done.begin(), done.end(), series) != done.end())
            continue;
        if (!View3D() || !series->SharesDepth()) {
            DrawOneSeries(series);
            continue;
        }
        // The series sharing this depth slot are drawn together, point by point.
        std::vector<TChartSeries*> members;
        const int start = FSeriesList->IndexOf(series);
        for (int i = start; i < SeriesCount(); ++i) {
            TChartSeries* s = SeriesAt(i);
            if (s->Active() && s->GetZOrder() == series->GetZOrder())
                members.push_back(s);
        }
        int first = -1, last = -1;
        bool clipped = false;
        std::vector<TChartSeries*> visible;
        for (TChartSeries* s : members) {
            done.push_back(s);
            s->CalcVisibleRange();
            if (s->FirstVisibleIndex() == -1)
                continue;
            first = std::max(first, s->FirstVisibleIndex());
            last = std::max(last, s->LastVisibleIndex());
            s->DoBeforeDrawValues();
            if (!clipped && s->UsesAxes() && FClipPoints && ClippingAllowed()) {
                ClipSeries(s);
                clipped = true;
            }
            visible.push_back(s);
        }
        {
            ScopeGuard unclip([this, clipped] {
                if (clipped)
                    DrawCanvas()->UnClip();
            });
            if (first >= 0 && !visible.empty()) {
                const bool forward = visible.front()->DrawValuesForward();
                const bool seriesForward = series->DrawSeriesForward();
                auto drawIndex = [&](int index) {
                    const bool inOrder = index >= series->Count() || seriesForward;
                    if (inOrder) {
                        for (TChartSeries* s : visible)
                            if (index < s->Count())
                                s->DrawValue(index);
                    } else {
                        for (auto it = visible.rbegin(); it != visible.rend(); ++it)
                            if (index < (*it)->Count())
                                (*it)->DrawValue(index);
                    }
                };
                if (forward)
                    for (int index = first; index <= last; ++index)
                        drawIndex(index);
                else
                    for (int index = last; index >= first; --index)
                        drawIndex(index);
            }
        }
        for (TChartSeries* s : visible) {
            DrawSeriesMarks(s);
            s->DoAfterDrawValues();
        }
    }
}

// --- Zoom and panning -------------------------------------------------------------------------------

void TCustomAxisPanel::SaveScales() {
    if (!FScalesNotSaved)
        return;
    FSavedScales.assign(FAxes->Count(), TAxisSavedScales());
    for (int i = 0; i < FAxes->Count(); ++i) {
        TChartAxis* axis = FAxes->AxisAt(i);
        if (axis->IsDepthAxis())
            continue;
        TAxisSavedScales& s = FSavedScales[i];
        s.Automatic = axis->Automatic();
        s.AutomaticMinimum = axis->AutomaticMinimum();
        s.AutomaticMaximum = axis->AutomaticMaximum();
        s.Minimum = axis->Minimum();
        s.Maximum = axis->Maximum();
        s.Saved = true;
    }
    FScalesNotSaved = false;
}

void TCustomAxisPanel::UndoZoom() {
    if (!FScalesNotSaved) {
        // Axes added after the ranges were saved have no record and keep their range.
        const int n = std::min(FAxes->Count(), static_cast<int>(FSavedScales.size()));
        for (int i = 0; i < n; ++i) {
            const TAxisSavedScales& s = FSavedScales[i];
            TChartAxis* axis = FAxes->AxisAt(i);
            if (!s.Saved || axis->IsDepthAxis())
                continue;
            axis->SetAutomatic(s.Automatic);
            axis->SetAutomaticMinimum(s.AutomaticMinimum);
            axis->SetAutomaticMaximum(s.AutomaticMaximum);
            // The saved pair is ordered; setting the end that moves away first never crosses the other.
            try {
                if (s.Minimum > axis->Maximum()) {
                    axis->SetMaximum(s.Maximum);
                    axis->SetMinimum(s.Minimum);
                } else {
                    axis->SetMinimum(s.Minimum);
                    axis->SetMaximum(s.Maximum);
                }
            } catch (const AxisException&) {
                axis->SetAxisRange(s.Minimum, s.Maximum);
                axis->SetAutomatic(s.Automatic);
                axis->SetAutomaticMinimum(s.AutomaticMinimum);
                axis->SetAutomaticMaximum(s.AutomaticMaximum);
            }
        }
        FSavedScales.clear();
        FScalesNotSaved = true;
    }
    TCustomPlotPanelExtended::UndoZoom();
}

void TCustomAxisPanel::ZoomRect() {
    TPlotZoom& zoom = *Zoom();
    zoom.Check();
    ZoomToValues(FLeftAxis->PixelToValue(zoom.Y1), FLeftAxis->PixelToValue(zoom.Y0),
                 FRightAxis->PixelToValue(zoom.Y1), FRightAxis->PixelToValue(zoom.Y0),
                 FTopAxis->PixelToValue(zoom.X0), FTopAxis->PixelToValue(zoom.X1),
                 FBottomAxis->PixelToValue(zoom.X0), FBottomAxis->PixelToValue(zoom.X1));
}

void TCustomAxisPanel::ZoomToValues(double LeftMin, double LeftMax, double RightMin, double RightMax,
                                    double TopMin, double TopMax, double BottomMin, double BottomMax) {
    SaveScales();
    TChartAxis* axes[4] = {FLeftAxis, FRightAxis, FTopAxis, FBottomAxis};
    const double mins[4] = {LeftMin, RightMin, TopMin, BottomMin};
    const double maxs[4] = {LeftMax, RightMax, TopMax, BottomMax};
    if (Zoom()->Animated()) {
        for (int step = 1; step < Zoom()->AnimatedSteps(); ++step) {
            for (int i = 0; i < 4; ++i) {
                const double lo = axes[i]->Minimum() + (mins[i] - axes[i]->Minimum()) / 3;
                const double hi = axes[i]->Maximum() - (axes[i]->Maximum() - maxs[i]) / 3;
                axes[i]->SetAxisRange(lo, hi);
            }
            Refresh();
        }
    }
    for (int i = 0; i < 4; ++i)
        axes[i]->SetAxisRange(mins[i], maxs[i]);
    SetZoomed(true);
    if (OnZoom)
        OnZoom(this);
}

void TCustomAxisPanel::PanStep(int X, int Y) {
    TZoomPanning& pan = *Panning();
    if (!pan.Active())
        return;
    if (!RectContainsXY(ChartRect(), X, Y)) {
        pan.SetActive(false);
        return;
    }
    if (X == pan.X1 && Y == pan.Y1)
        return;
    SaveScales();
    bool stepped = false;
    auto shift = [&](bool Horizontal, int From, int To) {
        for (int i = 0; i < FAxes->Count(); ++i) {
            TChartAxis* axis = FAxes->AxisAt(i);
            if (axis->IsDepthAxis() || axis->Horizontal() != Horizontal)
                continue;
            const double d = axis->PixelToValue(From) - axis->PixelToValue(To);
            double lo = axis->Minimum() + d;
            double hi = axis->Maximum() + d;
            bool allow = true;
            if (OnAllowScroll)
                OnAllowScroll(axis, lo, hi, allow);
            if (allow)
                axis->SetAxisRange(lo, hi);
            stepped = true;
        }
    };
    const TPanningMode mode = AllowPanning();
    if ((mode == pmHorizontal || mode == pmBoth) && X != pan.X1)
        shift(true, pan.X1, X);
    if ((mode == pmVertical || mode == pmBoth) && Y != pan.Y1)
        shift(false, pan.Y1, Y);
    pan.X1 = X;
    pan.Y1 = Y;
    if (stepped) {
        if (OnScroll)
            OnScroll(this);
        Invalidate();
    }
}

// --- Copying and streaming --------------------------------------------------------------------------

void TCustomAxisPanel::Assign(TPersistent* Source) {
    if (auto* panel = dynamic_cast<TCustomAxisPanel*>(Source)) {
        FChart3DPercent = panel->FChart3DPercent;
        FAxisBehind = panel->FAxisBehind;
        FAxisVisible = panel->FAxisVisible;
        FBottomAxis->Assign(panel->FBottomAxis);
        FClipPoints = panel->FClipPoints;
        FColorPalette = panel->FColorPalette;
        FCustomAxes->Assign(panel->FCustomAxes.get());
        FLeftAxis->Assign(panel->FLeftAxis);
        FDepthAxis->Assign(panel->FDepthAxis);
        FDepthTopAxis->Assign(panel->FDepthTopAxis);
        FPages->Assign(panel->FPages.get());
        FRightAxis->Assign(panel->FRightAxis);
        FTopAxis->Assign(panel->FTopAxis);
        FView3DWalls = panel->FView3DWalls;
    }
    TCustomPlotPanelExtended::Assign(Source);
}

void TCustomAxisPanel::DefineProperties(TFiler& Filer) {
    TCustomPlotPanelExtended::DefineProperties(Filer);
    Filer.DefineProperty(
        "MaxPointsPerPage", [this](TReader& r) { FPages->SetMaxPointsPerPage(r.ReadInteger()); }, nullptr,
        false);
    Filer.DefineProperty(
        "Page", [this](TReader& r) { FPages->SetCurrent(r.ReadInteger()); }, nullptr, false);
    Filer.DefineProperty(
        "ScaleLastPage", [this](TReader& r) { FPages->SetScaleLastPage(r.ReadBoolean()); }, nullptr, false);
}

void TCustomAxisPanel::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    // The series follow in series order rather than in the order of their owner.
    TCustomPlotPanelExtended::GetChildren(
        [&](TComponent* Child) {
            if (dynamic_cast<TChartSeries*>(Child) == nullptr)
                Proc(Child);
        },
        Root);
    for (int i = 0; i < SeriesCount(); ++i)
        Proc(SeriesAt(i));
}

PLAT_PROPERTIES(TCustomAxisPanel) {
    props.Boolean("AxisBehind", &TCustomAxisPanel::AxisBehind, &TCustomAxisPanel::SetAxisBehind, true);
    props.Boolean("AxisVisible", &TCustomAxisPanel::AxisVisible, &TCustomAxisPanel::SetAxisVisible, true);
    props.Object("BottomAxis", &TCustomAxisPanel::BottomAxis, &TCustomAxisPanel::SetBottomAxis);
    props.Integer("Chart3DPercent", &TCustomAxisPanel::Chart3DPercent, &TCustomAxisPanel::SetChart3DPercent,
                  15);
    props.Boolean("ClipPoints", &TCustomAxisPanel::ClipPoints, &TCustomAxisPanel::SetClipPoints, true);
    props.Collection("CustomAxes", &TCustomAxisPanel::CustomAxes).Stored(&TCustomAxisPanel::HasCustomAxes);
    props.Object("DepthAxis", &TCustomAxisPanel::DepthAxis, &TCustomAxisPanel::SetDepthAxis);
    props.Object("DepthTopAxis", &TCustomAxisPanel::DepthTopAxis, &TCustomAxisPanel::SetDepthTopAxis);
    props.Object("LeftAxis", &TCustomAxisPanel::LeftAxis, &TCustomAxisPanel::SetLeftAxis);
    props.Object("Pages", &TCustomAxisPanel::Pages, &TCustomAxisPanel::SetPages);
    props.Object("RightAxis", &TCustomAxisPanel::RightAxis, &TCustomAxisPanel::SetRightAxis);
    props.Object("SeriesList", &TCustomAxisPanel::SeriesList);
    props.Object("TopAxis", &TCustomAxisPanel::TopAxis, &TCustomAxisPanel::SetTopAxis);
    props.Boolean("View3DWalls", &TCustomAxisPanel::View3DWalls, &TCustomAxisPanel::SetView3DWalls, true);
    props.Event("OnBeforeDrawAxes", &TCustomAxisPanel::OnBeforeDrawAxes);
    props.Event("OnBeforeDrawChart", &TCustomAxisPanel::OnBeforeDrawChart);
    props.Event("OnBeforeDrawSeries", &TCustomAxisPanel::OnBeforeDrawSeries);
    props.Event("OnGetAxisLabel", &TCustomAxisPanel::OnGetAxisLabel);
    props.Event("OnGetNextAxisLabel", &TCustomAxisPanel::OnGetNextAxisLabel);
    props.Event("OnPageChange", &TCustomAxisPanel::OnPageChange);
}

} // namespace chart
