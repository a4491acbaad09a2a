// The drag-marks tool: a press on a mark holds it, moves carry its box and arrow end along, and the mark
// stays where it was dropped as a custom position.
#include "chart/PlotEngine.h"
#include "chart/PlotProCo.h"
#include "chart/PlotTools.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TDragMarksTool, TPlotCustomToolSeries)

PLAT_PROPERTIES(TDragMarksTool) {
    props.Boolean("Active", &TDragMarksTool::Active, &TDragMarksTool::SetActive, true);
    props.Event("OnDraggedMark", &TDragMarksTool::OnDraggedMark);
    props.Event("OnDraggingMark", &TDragMarksTool::OnDraggingMark);
}

TDragMarksTool::TDragMarksTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {
    LinkPlotToolRegistration();
}

std::string TDragMarksTool::Description() const {
    return ChartTextToolDragMarks;
}

bool TDragMarksTool::FindMark(int X, int Y, bool OnlyVisible, TChartSeries*& Series, int& Index) const {
    auto test = [&](TChartSeries* s) {
        if (s == nullptr || !s->Active() || (OnlyVisible && !s->Marks()->Visible()))
            return false;
        const int i = s->Marks()->Clicked(X, Y);
        if (i < 0)
            return false;
        Series = s;
        Index = i;
        return true;
    };
    if (TChartSeries* own = TPlotCustomToolSeries::Series())
        return test(own);
    TCustomAxisPanel* chart = ParentChart();
    if (chart == nullptr)
        return false;
    // The series drawn last lies on top.
    for (int i = chart->SeriesCount() - 1; i >= 0; --i)
        if (test(chart->SeriesAt(i)))
            return true;
    return false;
}

void TDragMarksTool::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr && AComponent == FDragSeries) {
        FDragSeries = nullptr;
        FIndex = -1;
    }
    TPlotCustomToolSeries::Notification(AComponent, Operation);
}

void TDragMarksTool::ChartMouseEvent(TChartMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                                     int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (chart == nullptr)
        return;
    switch (Kind) {
    case cmeDown: {
        TChartSeries* series = nullptr;
        int index = -1;
        if (FindMark(X, Y, false, series, index)) {
            FDragSeries = series;
            FIndex = index;
            series->FreeNotification(this);
            FOld = TPoint(X, Y);
            chart->SetCancelMouse(true);
        }
        return;
    }
    case cmeMove:
        if (FIndex < 0) {
            TChartSeries* series = nullptr;
            int index = -1;
            if (FindMark(X, Y, true, series, index)) {
                chart->SetCursor(crHandPoint);
                chart->SetCancelMouse(true);
            }
            return;
        }
        if (TSeriesMarkPosition* p = FDragSeries->Marks()->Positions().Position(FIndex)) {
            const int dx = X - FOld.X, dy = Y - FOld.Y;
            p->Custom = true;
            p->LeftTop.X += dx;
            p->LeftTop.Y += dy;
            p->ArrowTo.X += dx;
            p->ArrowTo.Y += dy;
            FOld = TPoint(X, Y);
            chart->SetCancelMouse(true);
            Repaint();
        }
        if (OnDraggingMark)
            OnDraggingMark(this, FIndex, Button, Shift, X, Y);
        return;
    case cmeUp:
        if (FIndex >= 0 && OnDraggedMark)
            OnDraggedMark(this, FIndex, Button, Shift, X, Y);
        FIndex = -1;
        return;
    }
}

} // namespace chart
