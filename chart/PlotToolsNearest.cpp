// The nearest-point tool: without FullRepaint its marker is XOR-drawn, so each move erases the old
// marker by drawing it once more before drawing the new one.
#include <cmath>
#include <utility>

#include "chart/PlotEngine.h"
#include "chart/PlotProCo.h"
#include "chart/PlotTools.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TNearestTool, TPlotCustomToolSeries)
PLAT_CLASS_INFO(TNearestToolPen, TChartPen)
PLAT_CLASS_INFO(TNearestToolBrush, TChartBrush)

PLAT_PROPERTIES(TNearestToolPen) {
    props.Default("Color", clWhite);
    props.Default("Style", psDot);
}

PLAT_PROPERTIES(TNearestToolBrush) {
    props.Default("Style", bsClear);
}

TNearestToolPen::TNearestToolPen(TNotifyEvent ChangeHandler) : TChartPen(nullptr) {
    SetColor(clWhite);
    SetStyle(psDot);
    OnChange = std::move(ChangeHandler);
}

TNearestToolBrush::TNearestToolBrush(TNotifyEvent ChangeHandler) : TChartBrush(nullptr) {
    SetStyle(bsClear);
    OnChange = std::move(ChangeHandler);
}

PLAT_PROPERTIES(TNearestTool) {
    props.Boolean("Active", &TNearestTool::Active, &TNearestTool::SetActive, true);
    props.Object("Brush", &TNearestTool::Brush, &TNearestTool::SetBrush);
    props.Boolean("DrawLine", &TNearestTool::DrawLine, &TNearestTool::SetDrawLine, true);
    props.Boolean("FullRepaint", &TNearestTool::FullRepaint, &TNearestTool::SetFullRepaint, true);
    props.Object("LinePen", &TNearestTool::LinePen, &TNearestTool::SetLinePen);
    props.Object("Pen", &TNearestTool::Pen, &TNearestTool::SetPen);
    props.Integer("Size", &TNearestTool::Size, &TNearestTool::SetSize, 20);
    props.Enum("Style", &TNearestTool::Style, &TNearestTool::SetStyle, kNearestToolStyleNames, hsCircle);
    props.Event("OnChange", &TNearestTool::OnChange);
}

TNearestTool::TNearestTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {
    LinkPlotToolRegistration();
    FLinePen = CreateChartPen();
    FPen = std::make_unique<TNearestToolPen>(RepaintHandler());
    FBrush = std::make_unique<TNearestToolBrush>(RepaintHandler());
}

std::string TNearestTool::Description() const {
    return ChartTextToolNearestPoint;
}

void TNearestTool::SetStyle(TNearestToolStyle Value) {
    if (FStyle != Value) {
        FStyle = Value;
        Repaint();
    }
}

namespace {

// The point's depth pixel: its "Z" value through the chart's depth axis, else the series' start depth.
int PointDepth(TChartSeries* Series, int Index) {
    TCustomAxisPanel* chart = Series->ParentChart();
    if (Series->HasZValues() && chart != nullptr) {
        TChartValueList* z = Series->ValueListByName("Z");
        if (z != Series->YValues())
            return chart->DepthAxis()->ValueToPixel((*z)[Index]);
    }
    return Series->StartZ();
}

} // namespace

int TNearestTool::FindNearestPoint(TChartSeries* Series, int X, int Y, bool IncludeNulls) {
    if (Series == nullptr || Series->ParentChart() == nullptr)
        return -1;
    const int count = Series->Count();
    int first = Series->FirstVisibleIndex();
    int last = Series->LastVisibleIndex();
    if (first < 0)
        first = 0;
    if (last < 0 || last >= count)
        last = count - 1;
    TCustomAxisPanel* chart = Series->ParentChart();
    const TRect& r = chart->ChartRect();
    int result = -1;
    int best = 10000;
    for (int i = first; i <= last; ++i) {
        if (!IncludeNulls && Series->PointIsNull(i))
            continue;
        int px = Series->ScreenX(i), py = Series->ScreenY(i);
        if (Series->HasZValues()) {
            const TPoint p = chart->DrawCanvas()->Calc3DPoint(px, py, PointDepth(Series, i));
            px = p.X;
            py = p.Y;
        }
        if (!RectContainsXY(r, px, py))
            continue;
        const double dx = X - px, dy = Y - py;
        const int d = RoundToInt(std::sqrt(dx * dx + dy * dy));
        if (d < best) {
            best = d;
            result = i;
        }
    }
    return result;
}

void TNearestTool::PaintHint() {
    TChartSeries* series = Series();
    if (series == nullptr || FPoint < 0 || FPoint >= series->Count() || series->ParentChart() == nullptr)
        return;
    TPlotCanvas3D& c = *series->ParentChart()->DrawCanvas();
    c.UseChartPen(Pen());
    if (!FFullRepaint)
        c.Pen()->SetMode(pmNotXor);
    const int x = series->ScreenX(FPoint), y = series->ScreenY(FPoint);
    const int z = PointDepth(series, FPoint);
    if (FStyle != hsNone) {
        c.UseChartBrush(Brush());
        switch (FStyle) {
        case hsCircle:
            c.EllipseWithZ(x - FSize, y - FSize, x + FSize, y + FSize, z);
            break;
        case hsRectangle:
            c.RectangleWithZ(TRect(x - FSize, y - FSize, x + FSize, y + FSize), z);
            break;
        case hsDiamond: {
            const TPoint p[4] = {TPoint(x, y - FSize), TPoint(x + FSize, y), TPoint(x, y + FSize),
                                 TPoint(x - FSize, y)};
            c.PolygonWithZ(p, 3, z);
            break;
        }
        case hsNone:
            break;
        }
    }
    if (DrawLine()) {
        c.UseChartPen(FLinePen.get());
        if (!FFullRepaint)
            c.Pen()->SetMode(pmNotXor);
        c.MoveTo(FMouse.X, FMouse.Y);
        c.LineTo3D(x, y, z);
    }
    if (!FFullRepaint)
        c.Pen()->SetMode(pmCopy);
}

void TNearestTool::ChartMouseEvent(TChartMouseEventKind Kind, TMouseButton, TShiftState, int X, int Y) {
    if (Kind != cmeMove || Series() == nullptr)
        return;
    if (!FFullRepaint)
        PaintHint();
    FPoint = FindNearestPoint(Series(), X, Y);
    FMouse = TPoint(X, Y);
    if (!FFullRepaint)
        PaintHint();
    if (OnChange)
        OnChange(this);
    if (FFullRepaint)
        Repaint();
}

void TNearestTool::ChartEvent(TChartToolEvent Kind) {
    TPlotCustomToolSeries::ChartEvent(Kind);
    if (Kind == cteAfterDraw) {
        PaintHint();
    } else if (Kind == cteMouseLeave) {
        if (!FFullRepaint)
            PaintHint();
        FPoint = -1;
        if (FFullRepaint)
            Repaint();
    }
}

} // namespace chart
