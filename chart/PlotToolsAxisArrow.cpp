// The axis arrows: filled arrows on the axis line at its ends; a press on one scrolls the axis.
#include <cstdlib>

#include "chart/PlotEngine.h"
#include "chart/PlotProCo.h"
#include "chart/PlotTools.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TAxisArrowTool, TPlotCustomToolAxis)

PLAT_PROPERTIES(TAxisArrowTool) {
    props.Boolean("Active", &TAxisArrowTool::Active, &TAxisArrowTool::SetActive, true);
    props.Object("Brush", &TAxisArrowTool::Brush, &TAxisArrowTool::SetBrush);
    props.Object("Pen", &TAxisArrowTool::Pen, &TAxisArrowTool::SetPen);
    props.Integer("HeadWidth", &TAxisArrowTool::HeadWidth, &TAxisArrowTool::SetHeadWidth, 8);
    props.Integer("Length", &TAxisArrowTool::Length, &TAxisArrowTool::SetLength, 16);
    props.Enum("Position", &TAxisArrowTool::Position, &TAxisArrowTool::SetPosition,
               kAxisArrowToolPositionNames, aaBoth);
    props.Boolean("ScrollInverted", &TAxisArrowTool::ScrollInverted, &TAxisArrowTool::SetScrollInverted,
                  false);
    props.Integer("ScrollPercent", &TAxisArrowTool::ScrollPercent, &TAxisArrowTool::SetScrollPercent, 10);
    props.Integer("SizePercent", &TAxisArrowTool::SizePercent, &TAxisArrowTool::SetSizePercent, 50);
    props.Event("OnClick", &TAxisArrowTool::OnClick);
}

TAxisArrowTool::TAxisArrowTool(TComponent* AOwner) : TPlotCustomToolAxis(AOwner) {
    LinkPlotToolRegistration();
}

std::string TAxisArrowTool::Description() const {
    return ChartTextToolAxisArrows;
}

void TAxisArrowTool::SetPosition(TAxisArrowToolPosition Value) {
    if (FPosition != Value) {
        FPosition = Value;
        if (ParentChart() != nullptr)
            ParentChart()->Invalidate();
    }
}

void TAxisArrowTool::DrawArrows() {
    TChartAxis* axis = Axis();
    TCustomAxisPanel* chart = ParentChart();
    TPlotCanvas3D& c = *chart->DrawCanvas();
    c.UseChartBrush(Brush());
    c.UseChartPen(Pen());
    const bool opposite = axis->OtherSide() || axis == chart->TopAxis() || axis == chart->RightAxis();
    const int z = chart->View3D() && opposite ? chart->Width3D() : 0;
    const int line = axis->AxisPixel();
    auto at = [&](int along) { return axis->Horizontal() ? TPoint(along, line) : TPoint(line, along); };
    if (FPosition != aaEnd)
        c.Arrow3D(true, at(axis->StartPixel() + FLength), at(axis->StartPixel()), FHeadWidth, FHeadWidth, z,
                  FSizePercent);
    if (FPosition != aaStart)
        c.Arrow3D(true, at(axis->EndPixel() - FLength), at(axis->EndPixel()), FHeadWidth, FHeadWidth, z,
                  FSizePercent);
}

void TAxisArrowTool::ChartEvent(TChartToolEvent Kind) {
    TPlotCustomToolAxis::ChartEvent(Kind);
    if (Kind == cteAfterDraw && Axis() != nullptr && ParentChart() != nullptr)
        DrawArrows();
}

int TAxisArrowTool::ArrowAt(int X, int Y) const {
    TChartAxis* axis = Axis();
    if (axis == nullptr)
        return 0;
    const bool horizontal = axis->Horizontal();
    const int across = horizontal ? Y : X, along = horizontal ? X : Y;
    if (std::abs(across - axis->AxisPixel()) >= 3)
        return 0;
    const int start = axis->StartPixel(), end = axis->EndPixel();
    if (FPosition != aaEnd && along > start && along < start + FLength)
        return 1;
    if (FPosition != aaStart && along > end - FLength && along < end)
        return 2;
    return 0;
}

void TAxisArrowTool::ScrollAxis(double Offset) {
    TChartAxis* axis = Axis();
    TCustomAxisPanel* chart = ParentChart();
    if (chart->OnAllowScroll) {
        // The handler may only say yes or no; the range it proposes is not taken.
        double lo = axis->Minimum() + Offset, hi = axis->Maximum() + Offset;
        bool allow = true;
        chart->OnAllowScroll(axis, lo, hi, allow);
        if (!allow)
            return;
    }
    axis->ScrollBy(Offset, false);
    // A series drawn against both axes of the pair moves the opposite axis along.
    const bool horizontal = axis->Horizontal();
    bool both = false;
    for (int i = 0; i < chart->SeriesCount() && !both; ++i) {
        TChartSeries* s = chart->SeriesAt(i);
        if (s->UsesAxis(axis))
            both = horizontal ? s->HorizAxis() == aBothHorizAxis : s->VertAxis() == aBothVertAxis;
    }
    if (both) {
        TChartAxis* other = horizontal ? (axis == chart->TopAxis() ? chart->BottomAxis() : chart->TopAxis())
                                       : (axis == chart->LeftAxis() ? chart->RightAxis() : chart->LeftAxis());
        other->ScrollBy(Offset, false);
    }
    if (chart->OnScroll)
        chart->OnScroll(chart);
}

void TAxisArrowTool::ChartMouseEvent(TChartMouseEventKind Kind, TMouseButton, TShiftState, int X, int Y) {
    TChartAxis* axis = Axis();
    TCustomAxisPanel* chart = ParentChart();
    if (axis == nullptr || chart == nullptr || !axis->Visible())
        return;
    if (Kind == cmeDown) {
        if (FScrollPercent == 0)
            return;
        const int arrow = ArrowAt(X, Y);
        if (arrow == 0)
            return;
        double step = (axis->Maximum() - axis->Minimum()) * FScrollPercent / 100.0;
        if (FScrollInverted)
            step = -step;
        ScrollAxis(arrow == 1 ? step : -step);
        chart->SetCancelMouse(true);
        if (OnClick)
            OnClick(this, arrow == 1);
    } else if (Kind == cmeMove) {
        if (ArrowAt(X, Y) != 0) {
            chart->SetCursor(crHandPoint);
            chart->SetCancelMouse(true);
        }
    }
}

} // namespace chart
