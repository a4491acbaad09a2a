// The colour line: drawn in a back pass (before the series) and a front pass (after the chart); while
// it is dragged without DragRepaint only its XOR image moves and the chart repaints once at the release.
#include <algorithm>
#include <cstdlib>

#include "chart/PlotEngine.h"
#include "chart/PlotProCo.h"
#include "chart/PlotTools.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TColorLineTool, TPlotCustomToolAxis)

PLAT_PROPERTIES(TColorLineTool) {
    props.Boolean("Active", &TColorLineTool::Active, &TColorLineTool::SetActive, true);
    props.Boolean("AllowDrag", &TColorLineTool::AllowDrag, &TColorLineTool::SetAllowDrag, true);
    props.Boolean("DragRepaint", &TColorLineTool::DragRepaint, &TColorLineTool::SetDragRepaint, false);
    props.Boolean("Draw3D", &TColorLineTool::Draw3D, &TColorLineTool::SetDraw3D, true);
    props.Boolean("DrawBehind", &TColorLineTool::DrawBehind, &TColorLineTool::SetDrawBehind, false);
    props.Boolean("NoLimitDrag", &TColorLineTool::NoLimitDrag, &TColorLineTool::SetNoLimitDrag, false);
    props.Object("Pen", &TColorLineTool::Pen, &TColorLineTool::SetPen);
    props.Enum("Style", &TColorLineTool::Style, &TColorLineTool::SetStyle, kColorLineStyleNames, clCustom);
    props.Float("Value", &TColorLineTool::Value, &TColorLineTool::SetValue);
    props.Event("OnBeginDragLine", &TColorLineTool::OnBeginDragLine);
    props.Event("OnDragLine", &TColorLineTool::OnDragLine);
    props.Event("OnEndDragLine", &TColorLineTool::OnEndDragLine);
}

TColorLineTool::TColorLineTool(TComponent* AOwner) : TPlotCustomToolAxis(AOwner) {
    LinkPlotToolRegistration();
}

void TColorLineTool::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TColorLineTool*>(Source)) {
        FAllowDrag = source->FAllowDrag;
        FDragRepaint = source->FDragRepaint;
        FDraw3D = source->FDraw3D;
        FDrawBehind = source->FDrawBehind;
        FNoLimitDrag = source->FNoLimitDrag;
        FStyle = source->FStyle;
        FValue = source->FValue;
    }
    TPlotCustomToolAxis::Assign(Source);
}

std::string TColorLineTool::Description() const {
    return ChartTextToolColorLine;
}

void TColorLineTool::SetParentChart(TCustomAxisPanel* Value) {
    // A band's edge line keeps the band's axis while it stays out of the chart's tool list.
    if (FEdgeLine)
        TPlotCustomTool::SetParentChart(Value);
    else
        TPlotCustomToolAxis::SetParentChart(Value);
}

void TColorLineTool::Repaint() {
    if (ParentChart() == nullptr && FParentOverride != nullptr)
        FParentOverride->Invalidate();
    else
        TPlotCustomToolAxis::Repaint();
}

TCustomAxisPanel* TColorLineTool::DrawingChart() const {
    return FParentOverride != nullptr ? FParentOverride : ParentChart();
}

void TColorLineTool::SetStyle(TColorLineStyle Value) {
    if (FStyle != Value) {
        FStyle = Value;
        Repaint();
    }
}

void TColorLineTool::SetValue(double Value) {
    if ((ComponentState() & csLoading) == 0)
        FStyle = clCustom;
    if (FDragging && !FDragRepaint)
        FValue = Value; // the XOR image owns the screen until the release
    else if (FValue != Value) {
        FValue = Value;
        Repaint();
    }
}

double TColorLineTool::ActualValue() const {
    TChartAxis* axis = Axis();
    if (axis == nullptr)
        return FValue;
    switch (FStyle) {
    case clMaximum:
        return axis->Maximum();
    case clCenter:
        return (axis->Maximum() + axis->Minimum()) * 0.5;
    case clMinimum:
        return axis->Minimum();
    case clCustom:
        break;
    }
    return FValue;
}

double TColorLineTool::LimitValue(double Value) const {
    TChartAxis* axis = Axis();
    if (axis == nullptr)
        return Value;
    // The values at the two end pixels bound the visible range whichever way the axis runs.
    const double a = axis->PixelToValue(axis->StartPixel());
    const double b = axis->PixelToValue(axis->EndPixel());
    return std::clamp(Value, std::min(a, b), std::max(a, b));
}

bool TColorLineTool::Clicked(int X, int Y) const {
    TChartAxis* axis = Axis();
    TCustomAxisPanel* chart = DrawingChart();
    if (axis == nullptr || chart == nullptr)
        return false;
    const bool horizontal = axis->Horizontal();
    const int p = axis->ValueToPixel(ActualValue());
    if (std::abs((horizontal ? X : Y) - p) > 2)
        return false;
    const TRect& r = chart->ChartRect();
    return horizontal ? (Y >= r.Top && Y <= r.Bottom) : (X >= r.Left && X <= r.Right);
}

void TColorLineTool::DrawColorLine(bool Back) {
    TChartAxis* axis = Axis();
    TCustomAxisPanel* chart = DrawingChart();
    if (axis == nullptr || chart == nullptr)
        return;
    if (FAllowDrag && !FNoLimitDrag)
        FValue = LimitValue(FValue);
    TPlotCanvas3D& c = *chart->DrawCanvas();
    const int pos = axis->ValueToPixel(ActualValue());
    const TRect& r = chart->ChartRect();
    const int w = chart->Width3D();
    const bool horizontal = axis->Horizontal();
    if (Back) {
        if (horizontal) {
            if (FDraw3D)
                c.ZLine3D(pos, r.Bottom, 0, w);
            if (FDraw3D || FDrawBehind)
                c.VertLine3D(pos, r.Top, r.Bottom, w);
        } else {
            if (FDraw3D)
                c.ZLine3D(r.Left, pos, 0, w);
            if (FDraw3D || FDrawBehind)
                c.HorizLine3D(r.Left, r.Right, pos, w);
        }
        return;
    }
    if (!chart->View3D() && FDragging && !FDragRepaint)
        return;
    if (horizontal) {
        if (FDraw3D)
            c.ZLine3D(pos, r.Top, 0, w);
        if (!FDrawBehind)
            c.VertLine3D(pos, r.Top, r.Bottom, 0);
    } else {
        if (FDraw3D)
            c.ZLine3D(r.Right, pos, 0, w);
        if (!FDrawBehind)
            c.HorizLine3D(r.Left, r.Right, pos, 0);
    }
}

void TColorLineTool::ChartEvent(TChartToolEvent Kind) {
    TPlotCustomToolAxis::ChartEvent(Kind);
    if (Axis() == nullptr || (Kind != cteBeforeDrawSeries && Kind != cteAfterDraw))
        return;
    TCustomAxisPanel* chart = DrawingChart();
    if (chart == nullptr)
        return;
    TPlotCanvas3D& c = *chart->DrawCanvas();
    c.UseChartPen(Pen());
    c.SetBackMode(TRANSPARENT);
    DrawColorLine(Kind == cteBeforeDrawSeries);
}

void TColorLineTool::ChartMouseEvent(TChartMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                                     int Y) {
    TChartAxis* axis = Axis();
    TCustomAxisPanel* chart = DrawingChart();
    if (!FAllowDrag || axis == nullptr || chart == nullptr)
        return;
    switch (Kind) {
    case cmeDown:
        if (Button != mbLeft)
            return;
        FDragging = Clicked(X, Y);
        chart->SetCancelMouse(FDragging);
        if (FDragging && OnBeginDragLine)
            OnBeginDragLine(this);
        return;
    case cmeMove:
        if (FDragging) {
            double value = axis->PixelToValue(axis->Horizontal() ? X : Y);
            if (!FNoLimitDrag)
                value = LimitValue(value);
            if (FDragRepaint) {
                SetValue(value);
                chart->SetCancelMouse(true);
                if (OnDragLine)
                    OnDragLine(this);
                return;
            }
            const bool changed = ActualValue() != value;
            TPlotCanvas3D& c = *chart->DrawCanvas();
            if (changed) {
                c.UseChartPen(Pen());
                c.Pen()->SetMode(pmNotXor);
                DrawColorLine(true);
                DrawColorLine(false);
                FStyle = clCustom;
                FValue = value;
            }
            chart->SetCancelMouse(true);
            if (OnDragLine)
                OnDragLine(this);
            if (changed) {
                // A handler may have drawn with the canvas in between.
                c.UseChartPen(Pen());
                c.Pen()->SetMode(pmNotXor);
                DrawColorLine(true);
                DrawColorLine(false);
                c.Pen()->SetMode(pmCopy);
            }
        } else if (Clicked(X, Y)) {
            chart->SetCursor(axis->Horizontal() ? crHSplit : crVSplit);
            chart->SetCancelMouse(true);
        }
        return;
    case cmeUp:
        if (!FDragging)
            return;
        // The flag goes first so that the repaint draws the line in its front pass again.
        FDragging = false;
        if (!FDragRepaint)
            chart->Invalidate();
        DragEnded();
        return;
    }
}

void TColorLineTool::DragEnded() {
    if (FEndDragNotify)
        FEndDragNotify(this);
    if (OnEndDragLine)
        OnEndDragLine(this);
}

} // namespace chart
