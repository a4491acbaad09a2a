// How a series lives in its chart: joining and leaving the series list, the automatic colour, axis
// binding, pixel positions, the visible index range, depth slots, pages, the mouse hover and the legend
// symbol.
#include <algorithm>

#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotEngineSeries.h"

namespace chart {

// --- Element and series base ------------------------------------------------------------------------

void TCustomChartElement::InvalidateParentChart() {
    if (FParent)
        FParent->Invalidate();
}

plat::TComponent* TCustomChartElement::GetParentComponent() const {
    return FParent;
}

void TCustomChartElement::SetParentComponent(plat::TComponent* Value) {
    if (auto* chart = dynamic_cast<TCustomAxisPanel*>(Value))
        SetParentChart(chart);
}

void TCustomChartSeries::NotifySeriesEvent(TPlotSeriesEventStyle Kind) {
    if (FParent)
        FParent->BroadcastSeriesEvent(this, Kind);
}

// --- Joining and leaving a chart --------------------------------------------------------------------

bool TChartSeries::ChartIsDestroying() const {
    return FParent && (FParent->ComponentState() & plat::csDestroying) != 0;
}

void TChartSeries::SetParentChart(TCustomAxisPanel* Value) {
    if (FParent == Value)
        return;
    if (FParent)
        FParent->RemoveSeries(this);
    // RemoveSeries normally clears the link already (Removed); a chart that did not know the series
    // must not keep it either.
    FParent = Value;
    FMarks->SetParent(Value);
    if (Value)
        Value->InternalAddSeries(this);
    else
        RecalcGetAxis();
}

void TChartSeries::Added() {
    TCustomChartSeries::Added();
    if (FParent && FColor == AutoColor) {
        FLastAssignedColor = FParent->GetFreeSeriesColor(true, this);
        NotifySeriesEvent(seChangeColor);
    }
    RecalcGetAxis();
    RefreshFromSource();
}

void TChartSeries::Removed() {
    if (FParent && FCursor != plat::crDefault && FParent->Cursor() == FCursor)
        FParent->SetCursor(FParent->SavedCursor());
    // The series keeps its data sources when it leaves a chart, so it stays in their dependents: a
    // source freed later must still tell it, or it would keep a freed source.
    TCustomChartSeries::Removed();
    FMarks->SetParent(nullptr);
    RecalcGetAxis();
}

TColor TChartSeries::PaletteColor(int Index) const {
    return FParent ? FParent->ColorOfPalette(Index) : DefaultPaletteColor(Index);
}

void TChartSeries::RefreshFromSource() {
    if (!UpdatesSuspended() && FParent)
        FParent->RefreshSeriesData(this);
}

// --- Axes -------------------------------------------------------------------------------------------

void TChartSeries::RecalcGetAxis() {
    if (!FParent) {
        FHorizAxisBound = nullptr;
        FVertAxisBound = nullptr;
        return;
    }
    if (FHorizAxis == aTopAxis)
        FHorizAxisBound = FParent->TopAxis();
    else if (FHorizAxis == aCustomHorizAxis && FCustomHorizAxis)
        FHorizAxisBound = FCustomHorizAxis;
    else
        FHorizAxisBound = FParent->BottomAxis();
    if (FVertAxis == aRightAxis)
        FVertAxisBound = FParent->RightAxis();
    else if (FVertAxis == aCustomVertAxis && FCustomVertAxis)
        FVertAxisBound = FCustomVertAxis;
    else
        FVertAxisBound = FParent->LeftAxis();
}

void TChartSeries::SetHorizAxis(THorizAxis Value) {
    if (FHorizAxis == Value)
        return;
    FHorizAxis = Value;
    if (Value != aCustomHorizAxis && !IsLoading())
        FCustomHorizAxis = nullptr;
    RecalcGetAxis();
    InvalidateParentChart();
}

void TChartSeries::SetVertAxis(TVertAxis Value) {
    if (FVertAxis == Value)
        return;
    FVertAxis = Value;
    if (Value != aCustomVertAxis && !IsLoading())
        FCustomVertAxis = nullptr;
    RecalcGetAxis();
    InvalidateParentChart();
}

void TChartSeries::SetCustomHorizAxis(TChartAxis* Value) {
    FCustomHorizAxis = Value;
    FHorizAxis = Value ? aCustomHorizAxis : aBottomAxis;
    RecalcGetAxis();
    InvalidateParentChart();
}

void TChartSeries::SetCustomVertAxis(TChartAxis* Value) {
    FCustomVertAxis = Value;
    FVertAxis = Value ? aCustomVertAxis : aLeftAxis;
    RecalcGetAxis();
    InvalidateParentChart();
}

bool TChartSeries::UsesAxis(TChartAxis* Axis) {
    if (!Axis || !UsesAxes())
        return false;
    if (Axis->Horizontal())
        return FHorizAxis == aBothHorizAxis || Axis == FHorizAxisBound;
    return FVertAxis == aBothVertAxis || Axis == FVertAxisBound;
}

TChartValueList* TChartSeries::AxisValueList(TChartAxis* Axis) {
    if (!UsesAxis(Axis))
        return nullptr;
    return Axis->Horizontal() ? FX : FY;
}

int TChartSeries::ScreenX(int ValueIndex) {
    return CalcXPosValue(FX->Items(ValueIndex));
}

int TChartSeries::ScreenY(int ValueIndex) {
    return CalcYPosValue(FY->Items(ValueIndex));
}

int TChartSeries::CalcXPosValue(double Value) {
    return FHorizAxisBound ? FHorizAxisBound->HorizValueToPixel(Value) : 0;
}

int TChartSeries::CalcYPosValue(double Value) {
    return FVertAxisBound ? FVertAxisBound->VertValueToPixel(Value) : 0;
}

int TChartSeries::CalcPosValue(double Value) {
    return FYMandatory ? CalcYPosValue(Value) : CalcXPosValue(Value);
}

void TChartSeries::GetCursorValues(double& X, double& Y) {
    X = 0;
    Y = 0;
    if (!FParent)
        return;
    const TPoint p = FParent->CursorClientPos();
    if (FHorizAxisBound)
        X = FHorizAxisBound->PixelToValue(p.X);
    if (FVertAxisBound)
        Y = FVertAxisBound->PixelToValue(p.Y);
}

double TChartSeries::MaxX() {
    return FX->MaxValue();
}

double TChartSeries::MaxY() {
    return FY->MaxValue();
}

double TChartSeries::MinX() {
    return FX->MinValue();
}

double TChartSeries::MinY() {
    return FY->MinValue();
}

double TChartSeries::MaxZ() {
    return GetZOrder();
}

double TChartSeries::MinZ() {
    return GetZOrder();
}

// --- Visible range and drawing order ----------------------------------------------------------------

void TChartSeries::CalcVisibleRange() {
    FFirstVisibleIndex = -1;
    FLastVisibleIndex = -1;
    const int count = GetCount();
    if (count < 1)
        return;
    TChartAxis* axis = FYMandatory ? FHorizAxisBound : FVertAxisBound;
    if (!FCalcVisiblePoints || FNotMandatory->Order() == loNone || !axis || !FParent) {
        FFirstVisibleIndex = 0;
        FLastVisibleIndex = count - 1;
        return;
    }
    const TRect& r = FParent->ChartRect();
    int startPixel, endPixel;
    if (FYMandatory) {
        startPixel = axis->Inverted() ? r.Right : r.Left;
        endPixel = axis->Inverted() ? r.Left : r.Right;
    } else {
        startPixel = axis->Inverted() ? r.Top : r.Bottom;
        endPixel = axis->Inverted() ? r.Bottom : r.Top;
    }
    const double startValue = axis->PixelToValue(startPixel);
    const double endValue = axis->PixelToValue(endPixel);
    const std::vector<double>& values = FNotMandatory->Value();

    int first = 0;
    while (first < count && values[first] < startValue)
        ++first;
    if (first >= count)
        return;
    FFirstVisibleIndex = first;
    if (values[count - 1] <= endValue) {
        FLastVisibleIndex = count - 1;
        return;
    }
    int last = first;
    while (last < count - 1 && values[last] < endValue)
        ++last;
    if (!FDrawBetweenPoints && values[last] > endValue)
        --last;
    FLastVisibleIndex = last;
}

bool TChartSeries::DrawValuesForward() {
    const bool fromRight = FParent && FParent->ViewFromRight();
    if (FYMandatory) {
        const bool inverted = FHorizAxisBound && FHorizAxisBound->Inverted();
        return inverted == fromRight;
    }
    return !(FVertAxisBound && FVertAxisBound->Inverted());
}

bool TChartSeries::DrawSeriesForward() {
    return !(FParent && FParent->ViewFromRight());
}

void TChartSeries::DrawAllValues() {
    if (FLastVisibleIndex < FFirstVisibleIndex)
        return;
    if (DrawValuesForward()) {
        for (int i = FFirstVisibleIndex; i <= FLastVisibleIndex; ++i)
            DrawValue(i);
    } else {
        for (int i = FLastVisibleIndex; i >= FFirstVisibleIndex; --i)
            DrawValue(i);
    }
}

void TChartSeries::DoBeforeDrawValues() {
    if (BeforeDrawValues)
        BeforeDrawValues(this);
}

void TChartSeries::DoAfterDrawValues() {
    if (AfterDrawValues)
        AfterDrawValues(this);
}

void TChartSeries::CalcFirstLastPage(int& First, int& Last) {
    const int count = GetCount();
    if (count == 0) {
        First = -1;
        Last = -1;
        return;
    }
    const int perPage = FParent ? FParent->Pages()->MaxPointsPerPage() : 0;
    if (perPage <= 0) {
        First = 0;
        Last = count - 1;
        return;
    }
    const int current = FParent->Pages()->Current();
    First = perPage == 1 ? current - 1 : perPage * (current - 1);
    if (First >= count)
        First = perPage * std::max(0, count / perPage - 1);
    Last = First + perPage - 1;
    if (Last >= count)
        Last = count % perPage + First - 1;
}

// --- Depth ------------------------------------------------------------------------------------------

void TChartSeries::CalcZOrder() {
    if (!FParent)
        return;
    if (FZOrder == -1) {
        if (FParent->View3D()) {
            FParent->SetMaxZOrder(FParent->MaxZOrder() + 1);
            FZOrderSlot = FParent->MaxZOrder();
        } else {
            FZOrderSlot = 0;
        }
    } else {
        FParent->SetMaxZOrder(std::max(FParent->MaxZOrder(), FZOrder));
    }
}

void TChartSeries::CalcDepthPositions() {
    const int width = FParent ? FParent->SeriesWidth3D() : 0;
    FStartZ = width * GetZOrder();
    FEndZ = FDepth == -1 ? FStartZ + width : FStartZ + FDepth;
    FMiddleZ = (FStartZ + FEndZ) / 2;
    FMarks->SetZPosition(FMiddleZ);
}

bool TChartSeries::SharesDepth() {
    if (!FParent || !FParent->SeriesDepthFlag())
        return false;
    const int slot = GetZOrder();
    for (int i = 0; i < FParent->SeriesCount(); ++i) {
        TChartSeries* s = FParent->SeriesAt(i);
        if (s != this && s->Active() && !s->HasZValues() && s->GetZOrder() == slot)
            return true;
    }
    return false;
}

bool TChartSeries::FirstInZOrder() {
    if (!FActive)
        return false;
    if (!FParent)
        return true;
    const int slot = GetZOrder();
    for (int i = 0; i < FParent->SeriesCount(); ++i) {
        TChartSeries* s = FParent->SeriesAt(i);
        if (s == this)
            break;
        if (s->Active() && s->GetZOrder() == slot)
            return false;
    }
    return true;
}

// --- Mouse ------------------------------------------------------------------------------------------

bool TChartSeries::CheckMouse(int X, int Y) {
    if (FCursor == plat::crDefault && !OnMouseEnter && !OnMouseLeave)
        return false;
    if (PointAtPixel(X, Y) == -1) {
        if (FMouseInside) {
            FMouseInside = false;
            if (OnMouseLeave)
                OnMouseLeave(this);
        }
        return false;
    }
    if (FCursor != plat::crDefault && FParent)
        FParent->SetCursor(FCursor);
    if (!FMouseInside) {
        FMouseInside = true;
        if (OnMouseEnter)
            OnMouseEnter(this);
    }
    return true;
}

// --- Legend -----------------------------------------------------------------------------------------

void TChartSeries::DrawLegendItem(int ValueIndex, const TRect& Rect) {
    if (!FParent || (ValueIndex == -1 && FColorEachPoint))
        return;
    TCustomAxisPanel* chart = FParent;
    TPlotCanvas3D* canvas = chart->Canvas();
    // The pen and brush changes below must not ask for another paint; the flag comes back also when
    // drawing raises.
    const bool oldRepaint = chart->RepaintEnabled();
    chart->SetRepaintEnabled(false);
    struct TRestore {
        TCustomAxisPanel* Chart;
        bool Value;
        ~TRestore() { Chart->SetRepaintEnabled(Value); }
    } restore{chart, oldRepaint};

    const TColor color = ValueIndex == -1 ? SeriesColor() : LegendItemColor(ValueIndex);
    canvas->Brush()->SetColor(color);
    if (color == plat::clNone)
        return;
    TColor back = chart->LegendColor();
    plat::TBrushStyle style = FBrush->Style();
    canvas->UseChartPen(FPen.get());
    PrepareLegendCanvas(ValueIndex, back, style);
    if (TChartPen* legendPen = chart->LegendPen())
        canvas->UseChartPen(legendPen);
    if (back == AutoColor)
        back = chart->LegendColor();
    if (back == AutoColor)
        back = chart->Color();
    const plat::TBrushStyle oldStyle = FBrush->Style();
    const bool changeStyle = style != oldStyle && !(FBrush->HasImage() && FBrush->ImageBitmap());
    if (changeStyle)
        FBrush->SetStyle(style);
    chart->SetCanvasBrush(color, FBrush.get(), back);
    DrawLegendSymbol(ValueIndex, Rect);
    if (changeStyle)
        FBrush->SetStyle(oldStyle);
}

void TChartSeries::DrawLegendSymbol(int ValueIndex, const TRect& Rect) {
    if (FParent)
        FParent->DrawLegendSymbolRect(Rect);
}

} // namespace chart
