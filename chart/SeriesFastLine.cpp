// The fast line: thousands of points as one pen stroke, positions straight through the axes' position
// functions, points on an already drawn pixel column skipped on request, and new points drawn at once.
#include <algorithm>

#include "chart/PlotConst.h"
#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotProcsServices.h"
#include "chart/Series.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"

namespace chart {

PLAT_CLASS_INFO_CREATABLE(TFastLineSeries, TCustomLineSeries)

PLAT_PROPERTIES(TFastLineSeries) {
    props.Boolean("AutoRepaint", &TFastLineSeries::AutoRepaint, &TFastLineSeries::SetAutoRepaint, true);
    props.Boolean("DrawAllPoints", &TFastLineSeries::DrawAllPoints, &TFastLineSeries::SetDrawAllPoints, true);
    props.Boolean("IgnoreNulls", &TFastLineSeries::IgnoreNulls, &TFastLineSeries::SetIgnoreNulls, true);
    props.Boolean("InvertedStairs", &TFastLineSeries::InvertedStairs, &TFastLineSeries::SetInvertedStairs,
                  false);
    props.Object("LinePen", &TFastLineSeries::LinePen, &TFastLineSeries::SetLinePen);
    props.Boolean("Stairs", &TFastLineSeries::Stairs, &TFastLineSeries::SetStairs, false);
    // One pen for the whole line: no point colours and no brush.
    props.Hide("Brush");
    props.Hide("ColorEachPoint");
    props.Hide("ColorSource");
}

TFastLineSeries::TFastLineSeries(plat::TComponent* AOwner) : TCustomLineSeries(AOwner) {
    FSingleFunctionPoint = false;
    SetDrawBetweenPoints(true);
}

void TFastLineSeries::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TFastLineSeries*>(Source)) {
        FAutoRepaint = source->FAutoRepaint;
        FDrawAllPoints = source->FDrawAllPoints;
        FUseStockDCPen = source->FUseStockDCPen;
        FIgnoreNulls = source->FIgnoreNulls;
        FInvertedStairs = source->FInvertedStairs;
        FStairs = source->FStairs;
    }
    TChartSeries::Assign(Source);
}

void TFastLineSeries::SetStockDCPen(bool On) {
    // The drawing layer has no stock pen whose colour changes in place, so the series keeps drawing
    // with its line pen, as on systems without that pen.
    (void)On;
}

void TFastLineSeries::SetSeriesColor(TColor Value) {
    TChartSeries::SetSeriesColor(Value);
    // The effective colour: an automatic series colour must not become the pen's colour itself.
    LinePen()->SetColor(SeriesColor());
}

void TFastLineSeries::SetPen(TChartPen* Value) {
    TChartSeries::SetPen(Value);
    SetSeriesColor(LinePen()->Color());
}

void TFastLineSeries::Added() {
    TChartSeries::Added();
    // The chart's free palette colour becomes the series colour without SetSeriesColor; the pen
    // follows it here so that the line shows that colour too.
    if (StoredSeriesColor() == AutoColor)
        LinePen()->SetColor(SeriesColor());
}

void TFastLineSeries::GetHorizMargins(int& LeftMargin, int& RightMargin) {
    TChartSeries::GetHorizMargins(LeftMargin, RightMargin);
    const int w = LinePen()->Width();
    LeftMargin += w - (w - 2) / 2;
    RightMargin += w - (w - 2) / 2;
}

void TFastLineSeries::GetVertMargins(int& TopMargin, int& BottomMargin) {
    TChartSeries::GetVertMargins(TopMargin, BottomMargin);
    const int w = LinePen()->Width();
    TopMargin += w - (w - 2) / 2;
    BottomMargin += w - (w - 2) / 2;
}

void TFastLineSeries::PrepareCanvas() {
    TPlotCanvas3D& canvas = *ParentChart()->Canvas();
    canvas.UseChartPen(LinePen());
    canvas.Brush()->SetStyle(plat::bsClear);
    canvas.SetBackMode(plat::TRANSPARENT);
}

void TFastLineSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, plat::TBrushStyle& BrushStyle) {
    if (!ParentChart())
        return;
    PrepareCanvas();
    BrushStyle = plat::bsClear;
}

void TFastLineSeries::DrawLegendSymbol(int ValueIndex, const TRect& Rect) {
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->HorizLine(Rect.Left, Rect.Right, (Rect.Top + Rect.Bottom) / 2);
}

void TFastLineSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) {
    if (Position)
        Marks()->Callout()->ApplyLength(*Position);
    TChartSeries::DrawMark(ValueIndex, Text, Position);
}

TPoint TFastLineSeries::PointPixel(int ValueIndex) const {
    return TPoint(FHorizAxisBound->HorizValueToPixel(FX->Items(ValueIndex)),
                  FVertAxisBound->VertValueToPixel(FY->Items(ValueIndex)));
}

void TFastLineSeries::PenMoveTo(int X, int Y) {
    TPlotCanvas3D& canvas = *ParentChart()->Canvas();
    const bool is3D = ParentChart()->View3D();
    if (FChaining) {
        FlushChain();
        FChain.push_back(is3D ? canvas.Calc3DPoint(X, Y, MiddleZ()) : TPoint(X, Y));
    } else if (is3D) {
        canvas.MoveTo3D(X, Y, MiddleZ());
    } else {
        canvas.MoveTo(X, Y);
    }
}

void TFastLineSeries::PenLineTo(int X, int Y) {
    TPlotCanvas3D& canvas = *ParentChart()->Canvas();
    const bool is3D = ParentChart()->View3D();
    if (FChaining)
        FChain.push_back(is3D ? canvas.Calc3DPoint(X, Y, MiddleZ()) : TPoint(X, Y));
    else if (is3D)
        canvas.LineTo3D(X, Y, MiddleZ());
    else
        canvas.LineTo(X, Y);
}

void TFastLineSeries::FlushChain() {
    if (FChain.size() >= 2)
        ParentChart()->Canvas()->Polyline(FChain.data(), static_cast<int>(FChain.size()) - 1);
    FChain.clear();
}

void TFastLineSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    const int first = FirstVisibleIndex();
    const int last = LastVisibleIndex();
    if (!chart || !FHorizAxisBound || !FVertAxisBound || first < 0 || last < first)
        return;
    PrepareCanvas();
    // A chain of LineTo calls with one thin solid pen is the same picture as one polyline, which the
    // canvas draws without the cost of a call per segment.
    TChartPen* pen = LinePen();
    FChaining = pen->Width() < 2 && pen->Style() == plat::psSolid && !pen->SmallDots();
    FChain.clear();
    // A pass that fails leaves no chain behind for the next one to flush.
    plat::ScopeGuard dropChain([this] {
        FChaining = false;
        FChain.clear();
    });
    const TPoint start = PointPixel(first > 0 ? first - 1 : first);
    FPrevX = start.X;
    FPrevY = start.Y;
    PenMoveTo(FPrevX, FPrevY);
    if (first > 0)
        DrawValue(first);
    for (int i = first + 1; i <= last; ++i)
        DrawValue(i);
    FlushChain();
    dropChain.Dismiss();
    FChaining = false;
}

void TFastLineSeries::DrawValue(int ValueIndex) {
    if (!FHorizAxisBound || !FVertAxisBound || !ParentChart())
        return;
    const TPoint p = PointPixel(ValueIndex);
    if (p.X == FPrevX && (!FDrawAllPoints || p.Y == FPrevY))
        return;
    if (!FIgnoreNulls && PointIsNull(ValueIndex)) {
        PenMoveTo(p.X, p.Y);
    } else {
        if (FStairs) {
            if (FInvertedStairs)
                PenLineTo(FPrevX, p.Y);
            else
                PenLineTo(p.X, FPrevY);
        }
        PenLineTo(p.X, p.Y);
    }
    FPrevX = p.X;
    FPrevY = p.Y;
}

void TFastLineSeries::AfterAddPoint(int ValueIndex) {
    if (FAutoRepaint) {
        TChartSeries::AfterAddPoint(ValueIndex);
        return;
    }
    // No events and no repaint: the new segment goes straight onto the chart's surface. An inactive
    // series, or one outside a chart, has nowhere to show it.
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || !Active() || !FHorizAxisBound || !FVertAxisBound || !chart->Canvas()->TargetCanvas())
        return;
    const TPoint prev = PointPixel(ValueIndex > 0 ? ValueIndex - 1 : 0);
    FPrevX = prev.X;
    FPrevY = prev.Y;
    chart->Canvas()->UseChartPen(LinePen());
    PenMoveTo(FPrevX, FPrevY);
    DrawValue(ValueIndex);
}

int TFastLineSeries::PointAtPixel(int X, int Y) {
    const int first = FirstVisibleIndex();
    if (first < 0)
        return -1;
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->PlaneToPoint(X, Y, MiddleZ());
    const TPoint mouse(X, Y);
    TPoint prev;
    for (int i = first; i <= LastVisibleIndex(); ++i) {
        const TPoint p(ScreenX(i), ScreenY(i));
        if (p == mouse)
            return i;
        if (i > first && PointInLine(mouse, prev, p))
            return i - 1;
        prev = p;
    }
    return -1;
}

void TFastLineSeries::AddGallerySubTypes(const TChartSubGalleryProc& AddSubChart) {
    TCustomLineSeries::AddGallerySubTypes(AddSubChart);
    if (!AddSubChart)
        return;
    AddSubChart(ChartTextSubGalleryMarks);
    AddSubChart(ChartTextSubGalleryDotted);
    AddSubChart(ChartTextSubGalleryStairs);
}

void TFastLineSeries::ApplyGallerySubType(int Index) {
    switch (Index) {
    case 1:
        Marks()->SetVisible(true);
        break;
    case 2:
        LinePen()->SetSmallDots(true);
        break;
    case 3:
        SetStairs(true);
        break;
    default:
        break;
    }
}

} // namespace chart
