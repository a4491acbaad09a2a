// The selector tool. Annotations are tested before the chart's own parts, so a text box lying over the
// legend is picked rather than the legend. A picked box moves only after the mouse has left a 2-pixel
// dead zone; from then on every pixel counts.
#include "chart/PlotSelectorTool.h"

#include <algorithm>
#include <cstdlib>

#include "chart/ChartLegend.h"
#include "chart/ChartWalls.h"
#include "chart/PlotEngine.h"
#include "chart/PlotProCo.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TSelectorTool, TPlotCustomTool)

PLAT_PROPERTIES(TSelectorTool) {
    props.Boolean("Active", &TSelectorTool::Active, &TSelectorTool::SetActive, true);
    props.Boolean("AllowDrag", &TSelectorTool::AllowDrag, &TSelectorTool::SetAllowDrag, true);
    props.Boolean("AllowResizeChart", &TSelectorTool::AllowResizeChart, &TSelectorTool::SetAllowResizeChart,
                  false);
    props.Object("Brush", &TSelectorTool::Brush, &TSelectorTool::SetBrush);
    props.Integer("HandleSize", &TSelectorTool::HandleSize, &TSelectorTool::SetHandleSize, 3);
    props.Object("Pen", &TSelectorTool::Pen, &TSelectorTool::SetPen);
    props.Event("OnDragged", &TSelectorTool::OnDragged);
    props.Event("OnDragging", &TSelectorTool::OnDragging);
    props.Event("OnResized", &TSelectorTool::OnResized);
    props.Event("OnResizing", &TSelectorTool::OnResizing);
    props.Event("OnSelected", &TSelectorTool::OnSelected);
}

namespace {

struct TSelectorRegistrar {
    TSelectorRegistrar() {
        RegisterChartToolClasses();
        RegisterPlotTools({&TSelectorTool::StaticClass()});
    }
    ~TSelectorRegistrar() { UnRegisterPlotTools({&TSelectorTool::StaticClass()}); }
} registrar;

} // namespace

TSelectorTool::TSelectorTool(TComponent* AOwner) : TPlotCustomTool(AOwner) {}

std::string TSelectorTool::Description() const {
    return ChartTextToolSelector;
}

void TSelectorTool::Changed() {
    Repaint();
    if (OnSelected)
        OnSelected(this);
}

void TSelectorTool::SetParentChart(TCustomAxisPanel* Value) {
    if (Value != ParentChart())
        ClearSelection();
    TPlotCustomTool::SetParentChart(Value);
}

void TSelectorTool::Watch(TComponent* Component) {
    if (Component != nullptr)
        Component->FreeNotification(this);
}

void TSelectorTool::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr &&
        (AComponent == FAnnotation || AComponent == FPart.ASeries)) {
        ClearSelection();
        ResetDragState();
    }
    TPlotCustomTool::Notification(AComponent, Operation);
}

void TSelectorTool::ClearSelection() {
    FPart = TChartClickedPart();
    FAnnotation = nullptr;
    FShape = nullptr;
    FBackWall = nullptr;
}

void TSelectorTool::PickAnnotation(TAnnotationTool* Annotation) {
    if (FPart.Part == cpNone && FAnnotation == Annotation)
        return;
    ClearSelection();
    FAnnotation = Annotation;
    FShape = Annotation != nullptr ? Annotation->Shape() : nullptr;
    Watch(Annotation);
    Changed();
}

void TSelectorTool::PickSeries(TChartSeries* Series) {
    if (FPart.Part == cpSeries && FPart.ASeries == Series)
        return;
    ClearSelection();
    SetParentChart(Series != nullptr ? Series->ParentChart() : nullptr);
    FPart.Part = cpSeries;
    FPart.ASeries = Series;
    FPart.PointIndex = -1;
    Watch(Series);
    Changed();
}

void TSelectorTool::DropSelection() {
    if (FPart.Part == cpNone && FAnnotation == nullptr && FShape == nullptr && FBackWall == nullptr)
        return;
    ClearSelection();
    Changed();
}

void TSelectorTool::ResetDragState() {
    FDragging = false;
    FMoved = false;
    FResizing = false;
    FResized = false;
}

void TSelectorTool::DrawHandles() {
    auto* chart = dynamic_cast<TCustomChart*>(ParentChart());
    if (chart == nullptr)
        return;
    TPlotCanvas3D& c = *chart->DrawCanvas();
    c.UseChartPen(Pen());
    c.UseChartBrush(Brush());
    const int h = FHandleSize;
    auto handle = [&](int X, int Y, int Z) { c.RectangleWithZ(TRect(X - h, Y - h, X + h, Y + h), Z); };
    auto corners = [&](const TRect& R, int Z) {
        if (R.Right - R.Left <= 0)
            return;
        handle(R.Left, R.Top, Z);
        handle(R.Right, R.Top, Z);
        handle(R.Left, R.Bottom, Z);
        handle(R.Right, R.Bottom, Z);
    };
    if (FShape != nullptr) {
        corners(FShape->ShapeBounds(), 0);
        return;
    }
    // The points a series or its marks get handles on: at most about twenty of the visible ones.
    auto eachPoint = [&](TChartSeries* s, const std::function<void(int)>& At) {
        if (s == nullptr || s->Count() == 0)
            return;
        const int first = s->FirstVisibleIndex() < 0 ? 0 : s->FirstVisibleIndex();
        const int last = s->LastVisibleIndex() < 0 ? s->Count() - 1 : s->LastVisibleIndex();
        const int range = last - first;
        int step = range <= 20 ? 1 : range / 20;
        if (first == last)
            step = s->Count();
        for (int i = first; i <= last && i < s->Count(); i += std::max(1, step))
            At(i);
    };
    switch (FPart.Part) {
    case cpNone: {
        TRect r = chart->ClientRect();
        corners(TRect(r.Left + h, r.Top + h, r.Right - h, r.Bottom - h), 0);
        break;
    }
    case cpLegend:
        if (chart->Legend()->Visible())
            corners(chart->Legend()->ShapeBounds(), 0);
        break;
    case cpAxis:
        if (FPart.AAxis != nullptr)
            corners(FPart.AAxis->AxisRect(), 0);
        break;
    case cpSeries: {
        TChartSeries* s = FPart.ASeries;
        eachPoint(s, [&](int i) { handle(s->ScreenX(i), s->ScreenY(i), s->StartZ()); });
        break;
    }
    case cpTitle:
        corners(chart->Title()->ShapeBounds(), 0);
        break;
    case cpFoot:
        corners(chart->Foot()->ShapeBounds(), 0);
        break;
    case cpSubTitle:
        corners(chart->SubTitle()->ShapeBounds(), 0);
        break;
    case cpSubFoot:
        corners(chart->SubFoot()->ShapeBounds(), 0);
        break;
    case cpChartRect: {
        const TRect& r = chart->ChartRect();
        const int w = chart->Width3D();
        for (const TPoint& p : {TPoint(r.Left, r.Top), TPoint(r.Right, r.Top), TPoint(r.Left, r.Bottom),
                                TPoint(r.Right, r.Bottom)}) {
            const TPoint q = c.Calc3DPoint(p.X, p.Y, w);
            handle(q.X, q.Y, 0);
        }
        break;
    }
    case cpSeriesMarks: {
        TChartSeries* s = FPart.ASeries;
        eachPoint(s, [&](int i) {
            if (const TSeriesMarkPosition* p = s->Marks()->Positions().Position(i))
                corners(p->Bounds(), s->Marks()->ZPosition());
        });
        break;
    }
    }
}

void TSelectorTool::ChartEvent(TChartToolEvent Kind) {
    TPlotCustomTool::ChartEvent(Kind);
    if (Kind == cteAfterDraw && FShowHandles && ParentChart() != nullptr && !ParentChart()->Printing())
        DrawHandles();
}

void TSelectorTool::ChartMouseEvent(TChartMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                                    int Y) {
    auto* chart = dynamic_cast<TCustomChart*>(ParentChart());
    if (chart == nullptr || (Shift & ssDouble) != 0)
        return;
    switch (Kind) {
    case cmeDown: {
        if (Button != mbLeft)
            return;
        if (FAllowResizeChart && std::abs(X - chart->Width()) <= 8 && std::abs(Y - chart->Height()) <= 8) {
            FResizing = true;
            FResized = false;
            return;
        }
        FResizing = false;
        ClearSelection();
        TChartTools* tools = chart->Tools();
        for (int i = 0; i < tools->Count() && FAnnotation == nullptr; ++i) {
            auto* annotation = dynamic_cast<TAnnotationTool*>(tools->Items(i));
            if (annotation != nullptr && RectContainsXY(annotation->Shape()->ShapeBounds(), X, Y)) {
                FAnnotation = annotation;
                FShape = annotation->Shape();
                Watch(annotation);
            }
        }
        if (FAnnotation == nullptr) {
            FPart = chart->ClickedPartAt(X, Y);
            Watch(FPart.ASeries);
            switch (FPart.Part) {
            case cpLegend:
                FShape = chart->Legend();
                break;
            case cpTitle:
                FShape = chart->Title();
                break;
            case cpFoot:
                FShape = chart->Foot();
                break;
            case cpSubTitle:
                FShape = chart->SubTitle();
                break;
            case cpSubFoot:
                FShape = chart->SubFoot();
                break;
            case cpChartRect:
                FBackWall = chart->BackWall();
                break;
            default:
                break;
            }
        }
        Changed();
        FDragging = FAllowDrag && FShape != nullptr;
        if (FDragging) {
            FDx = FShape->Left() - X;
            FDy = FShape->Top() - Y;
            FMoved = false;
        }
        return;
    }
    case cmeMove:
        if (FDragging) {
            // Until the box has moved, a step of 2 pixels or less is taken for a shaky click.
            const int left = FDx + X, top = FDy + Y;
            if (left != FShape->Left() && (FMoved || std::abs(left - FShape->Left()) > 2)) {
                if (FAnnotation != nullptr)
                    FAnnotation->SetLeft(left); // keeps the box's width
                else
                    FShape->SetLeft(left);
                FMoved = true;
            }
            if (top != FShape->Top() && (FMoved || std::abs(top - FShape->Top()) > 2)) {
                if (FAnnotation != nullptr)
                    FAnnotation->SetTop(top);
                else
                    FShape->SetTop(top);
                FMoved = true;
            }
            if (OnDragging)
                OnDragging(this);
        }
        if (FResizing) {
            if (chart->Align() != alNone)
                chart->SetAlign(alNone);
            // A chart of no pixels could not be grabbed again, nor drawn.
            const int width = std::max(1, X), height = std::max(1, Y);
            if (chart->Width() != width)
                chart->SetWidth(width);
            if (chart->Height() != height)
                chart->SetHeight(height);
            FResized = true;
            if (OnResizing)
                OnResizing(this);
        }
        return;
    case cmeUp:
        if (FMoved && OnDragged)
            OnDragged(this);
        if (FResized && OnResized)
            OnResized(this);
        ResetDragState();
        return;
    }
}

} // namespace chart
