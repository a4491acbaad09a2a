// The colour band: a filled part of the chart rectangle between two axis values, with two hidden colour
// lines as its draggable edges. The edge lines stay out of the chart's tool list; the band hands them
// the mouse and draws them.
#include <algorithm>
#include <utility>

#include "chart/PlotEngine.h"
#include "chart/PlotProCo.h"
#include "chart/PlotProcsServices.h"
#include "chart/PlotTools.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TColorBandTool, TPlotCustomToolAxis)

PLAT_PROPERTIES(TColorBandTool) {
    props.Boolean("Active", &TColorBandTool::Active, &TColorBandTool::SetActive, true);
    props.Object("Brush", &TColorBandTool::Brush, &TColorBandTool::SetBrush);
    props.Color("Color", &TColorBandTool::Color, &TColorBandTool::SetColor, clWhite);
    props.Integer("Cursor", &TColorBandTool::Cursor, &TColorBandTool::SetCursor, 0);
    props.Boolean("DrawBehind", &TColorBandTool::DrawBehind, &TColorBandTool::SetDrawBehind, true);
    props.Boolean("DrawBehindAxes", &TColorBandTool::DrawBehindAxes, &TColorBandTool::SetDrawBehindAxes,
                  false);
    props.Object("EndLinePen", &TColorBandTool::EndLinePen, &TColorBandTool::SetEndLinePen);
    props.Float("EndValue", &TColorBandTool::EndValue, &TColorBandTool::SetEndValue);
    props.Object("Gradient", &TColorBandTool::Gradient, &TColorBandTool::SetGradient);
    props.Object("Pen", &TColorBandTool::Pen, &TColorBandTool::SetPen);
    props.Boolean("ResizeEnd", &TColorBandTool::ResizeEnd, &TColorBandTool::SetResizeEnd, false);
    props.Boolean("ResizeStart", &TColorBandTool::ResizeStart, &TColorBandTool::SetResizeStart, false);
    props.Object("StartLinePen", &TColorBandTool::StartLinePen, &TColorBandTool::SetStartLinePen);
    props.Float("StartValue", &TColorBandTool::StartValue, &TColorBandTool::SetStartValue);
    props.Integer("Transparency", &TColorBandTool::Transparency, &TColorBandTool::SetTransparency, 0);
    props.Event("OnClick", &TColorBandTool::OnClick);
}

TColorBandTool::TColorBandTool(TComponent* AOwner) : TPlotCustomToolAxis(AOwner) {
    LinkPlotToolRegistration();
    FGradient = std::make_unique<TPlotGradient>(RepaintHandler());
    auto makeLine = [this]() {
        auto line = std::make_unique<TColorLineTool>(nullptr);
        line->FEdgeLine = true;
        line->SetActive(false);
        line->SetDragRepaint(true);
        line->OnDragLine = [this](TColorLineTool* Line) { EdgeDragged(Line); };
        line->FEndDragNotify = [this](TColorLineTool* Line) { EdgeDragEnded(Line); };
        line->Pen()->OnChange = RepaintHandler();
        return line;
    };
    FStartLine = makeLine();
    FEndLine = makeLine();
}

TColorBandTool::~TColorBandTool() = default;

std::string TColorBandTool::Description() const {
    return ChartTextToolColorBand;
}

void TColorBandTool::UpdateLineValues() {
    FEndLine->SetValue(FEndValue);
    FStartLine->SetValue(FStartValue);
}

void TColorBandTool::SetStartValue(double Value) {
    SetDoubleProperty(FStartValue, Value);
    UpdateLineValues();
}

void TColorBandTool::SetEndValue(double Value) {
    SetDoubleProperty(FEndValue, Value);
    UpdateLineValues();
}

void TColorBandTool::Loaded() {
    TPlotCustomToolAxis::Loaded();
    UpdateLineValues();
}

void TColorBandTool::SetResizeStart(bool Value) {
    FStartLine->SetActive(Value);
    Repaint();
}

void TColorBandTool::SetResizeEnd(bool Value) {
    FEndLine->SetActive(Value);
    Repaint();
}

void TColorBandTool::SetAxis(TChartAxis* Value) {
    TPlotCustomToolAxis::SetAxis(Value);
    for (TColorLineTool* line : {FStartLine.get(), FEndLine.get()}) {
        line->SetAxis(Axis());
        line->SetParentChart(nullptr);
    }
}

void TColorBandTool::SetParentChart(TCustomAxisPanel* Value) {
    TPlotCustomToolAxis::SetParentChart(Value);
    for (TColorLineTool* line : {FStartLine.get(), FEndLine.get()}) {
        // The lines follow the band's axis, which the base dropped when the band left its chart.
        if (line->Axis() != Axis()) {
            line->SetAxis(Axis());
            line->SetParentChart(nullptr);
        }
        line->FParentOverride = Value;
    }
}

void TColorBandTool::EdgeDragged(TColorLineTool* Line) {
    if (!Line->DragRepaint())
        return;
    if (Line == FStartLine.get())
        SetStartValue(Line->Value());
    else
        SetEndValue(Line->Value());
}

void TColorBandTool::EdgeDragEnded(TColorLineTool* Line) {
    if (Line->DragRepaint())
        return;
    if (Line == FStartLine.get())
        SetStartValue(Line->Value());
    else
        SetEndValue(Line->Value());
}

TRect TColorBandTool::BoundsRect() const {
    TChartAxis* axis = Axis();
    TCustomAxisPanel* chart = ParentChart();
    if (axis == nullptr || chart == nullptr)
        return TRect(0, 0, 0, 0);
    double a = FStartValue, b = FEndValue;
    if ((a > b) != axis->Inverted())
        std::swap(a, b);
    if (std::min(a, b) > axis->Maximum() || std::max(a, b) < axis->Minimum())
        return TRect(0, 0, 0, 0);
    TRect r = chart->ChartRect();
    if (axis->Horizontal()) {
        r.Left = std::max(axis->StartPixel(), axis->ValueToPixel(a));
        r.Right = std::min(axis->EndPixel(), axis->ValueToPixel(b));
        if (Pen()->Visible())
            ++r.Right;
    } else {
        r.Top = std::max(axis->StartPixel(), axis->ValueToPixel(b));
        r.Bottom = std::min(axis->EndPixel(), axis->ValueToPixel(a));
        ++r.Left;
        ++r.Bottom;
        if (!Pen()->Visible()) {
            ++r.Bottom;
            ++r.Right;
        }
    }
    return r;
}

int TColorBandTool::BandZ() const {
    return FDrawBehind && ParentChart() != nullptr ? ParentChart()->Width3D() : 0;
}

bool TColorBandTool::Clicked(int X, int Y) const {
    TCustomAxisPanel* chart = ParentChart();
    if (chart == nullptr)
        return false;
    const TRect r = BoundsRect();
    if (r.Right <= r.Left || r.Bottom <= r.Top)
        return false;
    TPlotCanvas3D& c = *chart->DrawCanvas();
    const int z = BandZ();
    TPoint p[4] = {c.Calc3DPoint(r.Left, r.Top, z), c.Calc3DPoint(r.Right, r.Top, z),
                   c.Calc3DPoint(r.Right, r.Bottom, z), c.Calc3DPoint(r.Left, r.Bottom, z)};
    return PointInPolygon(TPoint(X, Y), p, 3);
}

void TColorBandTool::DrawBand() {
    TCustomAxisPanel* chart = ParentChart();
    if (Axis() == nullptr || chart == nullptr)
        return;
    const TRect r = BoundsRect();
    if (r.Right <= r.Left || r.Bottom <= r.Top)
        return;
    TPlotCanvas3D& c = *chart->DrawCanvas();
    c.UseChartBrushWithColor(Brush(), FColor);
    c.UseChartPen(Pen());
    const int z = BandZ();
    const bool is3D = chart->View3D();
    // A flat chart is trivially orthogonal; only a rotated 3D view cannot take the flat gradient.
    if (FGradient->Visible() && (!is3D || c.IsOrthogonal())) {
        FGradient->FillRectangle(c, c.CalcRect3D(TRect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), z));
        c.Brush()->SetStyle(bsClear);
    }
    if (FTransparency != 0) {
        std::unique_ptr<TPlotBlend> blend = c.BeginBlend(is3D ? c.CalcRect3D(r, z) : r, FTransparency);
        c.RectangleWithZ(r, z);
        c.EndBlend(std::move(blend));
    } else {
        c.RectangleWithZ(r, z);
    }
    for (TColorLineTool* line : {FEndLine.get(), FStartLine.get()}) {
        if (!line->Active())
            continue;
        line->FValue = line == FEndLine.get() ? FEndValue : FStartValue;
        c.UseChartPen(line->Pen());
        c.SetBackMode(TRANSPARENT);
        line->DrawColorLine(FDrawBehind);
    }
}

void TColorBandTool::ChartEvent(TChartToolEvent Kind) {
    TPlotCustomToolAxis::ChartEvent(Kind);
    const bool now = (Kind == cteAfterDraw && !FDrawBehind && !FDrawBehindAxes) ||
                     (Kind == cteBeforeDrawSeries && FDrawBehind && !FDrawBehindAxes) ||
                     (Kind == cteBeforeDrawAxes && FDrawBehindAxes);
    if (now)
        DrawBand();
}

void TColorBandTool::ChartMouseEvent(TChartMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                                     int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (chart == nullptr)
        return;
    if (FStartLine->Active())
        FStartLine->ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (FEndLine->Active() && !chart->CancelMouse())
        FEndLine->ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (Kind == cmeMove) {
        if (FCursor != 0 && !chart->CancelMouse() && Clicked(X, Y)) {
            chart->SetCursor(FCursor);
            if (!chart->Panning()->Active() && !chart->Zoom()->Active())
                chart->SetCancelMouse(true);
        }
    } else if (Kind == cmeDown) {
        if (OnClick && Clicked(X, Y))
            OnClick(this, Button, Shift, X, Y);
    }
}

} // namespace chart
