// The annotation: a framed text box placed in a corner or at a custom position, with an optional
// callout arrow to a pixel of the chart.
#include <cmath>

#include "chart/PlotEngine.h"
#include "chart/PlotProCo.h"
#include "chart/PlotTools.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TAnnotationCallout, TCallout)
PLAT_CLASS_INFO(TPlotShapePosition, TPlotCustomShapePosition)
PLAT_CLASS_INFO_CREATABLE(TAnnotationTool, TPlotCustomTool)

PLAT_PROPERTIES(TAnnotationCallout) {
    props.Integer("XPosition", &TAnnotationCallout::XPosition, &TAnnotationCallout::SetXPosition, 0);
    props.Integer("YPosition", &TAnnotationCallout::YPosition, &TAnnotationCallout::SetYPosition, 0);
    props.Integer("ZPosition", &TAnnotationCallout::ZPosition, &TAnnotationCallout::SetZPosition, 0);
    props.Default("Visible", false);
}

PLAT_PROPERTIES(TPlotShapePosition) {}

PLAT_PROPERTIES(TAnnotationTool) {
    props.Boolean("Active", &TAnnotationTool::Active, &TAnnotationTool::SetActive, true);
    props.Boolean("AutoSize", &TAnnotationTool::AutoSize, &TAnnotationTool::SetAutoSize, true);
    props.Object("Callout", &TAnnotationTool::Callout, &TAnnotationTool::SetCallout);
    props.Integer("Cursor", &TAnnotationTool::Cursor, &TAnnotationTool::SetCursor, 0);
    props.Enum("Position", &TAnnotationTool::Position, &TAnnotationTool::SetPosition,
               kAnnotationPositionNames, ppLeftTop);
    props.Enum("PositionUnits", &TAnnotationTool::PositionUnits, &TAnnotationTool::SetPositionUnits,
               kPlotUnitsNames, muPixels);
    props.Object("Shape", &TAnnotationTool::Shape, &TAnnotationTool::SetShape);
    props.String("Text", &TAnnotationTool::Text, &TAnnotationTool::SetText);
    props.Enum("TextAlignment", &TAnnotationTool::TextAlignment, &TAnnotationTool::SetTextAlignment,
               kAlignmentNames, taLeftJustify);
    props.Integer("Height", &TAnnotationTool::Height, &TAnnotationTool::SetHeight)
        .Stored(&TAnnotationTool::IsSizeStored);
    // A corner box has no place of its own to keep; writing one would read back as a custom position.
    props.Integer("Left", &TAnnotationTool::Left, &TAnnotationTool::SetLeft)
        .Stored(&TAnnotationTool::IsPlaceStored);
    props.Integer("Top", &TAnnotationTool::Top, &TAnnotationTool::SetTop)
        .Stored(&TAnnotationTool::IsPlaceStored);
    props.Integer("Width", &TAnnotationTool::Width, &TAnnotationTool::SetWidth)
        .Stored(&TAnnotationTool::IsSizeStored);
    props.Event("OnClick", &TAnnotationTool::OnClick);
}

// --- Callout ----------------------------------------------------------------------------------------

TAnnotationCallout::TAnnotationCallout() : TCallout(nullptr) {
    Arrow()->SetVisible(false);
    FVisible = false;
}

void TAnnotationCallout::SetPosition(int& Field, int Value) {
    if (Field != Value) {
        Field = Value;
        Repaint();
    }
}

void TAnnotationCallout::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TAnnotationCallout*>(Source)) {
        FX = source->FX;
        FY = source->FY;
        FZ = source->FZ;
    }
    TCallout::Assign(Source);
}

// --- Tool -------------------------------------------------------------------------------------------

TAnnotationTool::TAnnotationTool(TComponent* AOwner) : TPlotCustomTool(AOwner) {
    LinkPlotToolRegistration();
    FShape = std::make_unique<TPlotShapePosition>(nullptr);
    FCallout = std::make_unique<TAnnotationCallout>();
}

TAnnotationTool::~TAnnotationTool() = default;

std::string TAnnotationTool::Description() const {
    return ChartTextToolAnnotation;
}

void TAnnotationTool::SetParentChart(TCustomAxisPanel* Value) {
    TPlotCustomTool::SetParentChart(Value);
    if ((ComponentState() & csDestroying) != 0)
        return;
    FShape->SetParent(Value);
    FCallout->SetParent(Value);
    if (Value != nullptr)
        Value->Invalidate();
}

void TAnnotationTool::SetPosition(TAnnotationPosition Value) {
    if (FPosition != Value) {
        FPosition = Value;
        FShape->SetCustomPosition(false);
        Repaint();
    }
}

void TAnnotationTool::SetPositionUnits(TPlotUnits Value) {
    if (FPositionUnits != Value) {
        FPositionUnits = Value;
        Repaint();
    }
}

void TAnnotationTool::SetTextAlignment(TAlignment Value) {
    if (FTextAlignment != Value) {
        FTextAlignment = Value;
        Repaint();
    }
}

void TAnnotationTool::SetLeft(int Value) {
    const int width = FShape->BoundsWidth();
    FShape->SetLeft(Value);
    FShape->SetBoundsWidth(width);
    Repaint();
}

void TAnnotationTool::SetTop(int Value) {
    const int height = FShape->BoundsHeight();
    FShape->SetTop(Value);
    FShape->SetBoundsHeight(height);
    Repaint();
}

void TAnnotationTool::SetWidth(int Value) {
    if (Width() != Value) {
        FAutoSize = false;
        FShape->SetBoundsWidth(Value);
        Repaint();
    }
}

void TAnnotationTool::SetHeight(int Value) {
    if (Height() != Value) {
        FAutoSize = false;
        FShape->SetBoundsHeight(Value);
        Repaint();
    }
}

TAnnotationGeometry TAnnotationTool::Geometry() {
    TAnnotationGeometry g;
    TCustomAxisPanel* chart = ParentChart();
    std::string text = GetText();
    if (text.empty())
        text = " ";
    int tw = 0, th = 0;
    if (chart != nullptr) {
        TPlotCanvas3D& c = *chart->DrawCanvas();
        c.UseFont(FShape->Font());
        const int widest = chart->MultiLineTextWidth(text, g.NumLines);
        if (!FShape->CustomPosition() || FAutoSize) {
            tw = widest;
            th = g.NumLines * c.FontHeight();
        }
    }
    const bool custom = FShape->CustomPosition();
    if (custom && FPositionUnits == muPixels) {
        g.X = Left() + 4;
        g.Y = Top() + 2;
    } else if (custom) {
        const int w = chart != nullptr ? chart->Width() : 0, h = chart != nullptr ? chart->Height() : 0;
        g.X = RoundToInt(Left() * w * 0.01);
        g.Y = RoundToInt(Top() * h * 0.01);
    } else {
        const int w = chart != nullptr ? chart->Width() : 0, h = chart != nullptr ? chart->Height() : 0;
        const bool right = FPosition == ppRightTop || FPosition == ppRightBottom;
        const bool bottom = FPosition == ppLeftBottom || FPosition == ppRightBottom;
        g.X = right ? w - tw - 8 : 10;
        g.Y = bottom ? h - th - 8 : 10;
    }
    const int width = FAutoSize ? tw + 6 : FShape->BoundsWidth();
    const int height = FAutoSize ? th + 4 : FShape->BoundsHeight();
    g.Rect.Left = g.X - 4;
    g.Rect.Top = g.Y - 2;
    g.Rect.Right = g.Rect.Left + width;
    g.Rect.Bottom = g.Rect.Top + height;
    return g;
}

bool TAnnotationTool::Clicked(int X, int Y) {
    return ParentChart() != nullptr && RectContainsXY(Geometry().Rect, X, Y);
}

void TAnnotationTool::DrawText() {
    TCustomAxisPanel* chart = ParentChart();
    const TRect remembered = FShape->ShapeBounds();
    const TAnnotationGeometry g = Geometry();
    FShape->SetShapeBounds(g.Rect);
    if (FShape->Visible())
        FShape->Draw();

    TPlotCanvas3D& c = *chart->DrawCanvas();
    c.UseFont(FShape->Font());
    c.SetBackMode(TRANSPARENT);
    int x = g.X;
    switch (FTextAlignment) {
    case taLeftJustify:
        c.SetTextAlign(TA_LEFT);
        break;
    case taCenter:
        c.SetTextAlign(TA_CENTER);
        x = (g.Rect.Left + g.Rect.Right) / 2 + 2;
        break;
    case taRightJustify:
        c.SetTextAlign(TA_RIGHT);
        x = g.Rect.Right - 2;
        break;
    }
    const int lineHeight = c.FontHeight();
    std::string text = GetText();
    if (text.empty())
        text = " ";
    size_t start = 0;
    for (int i = 0; start <= text.size(); ++i) {
        const size_t end = text.find('\r', start);
        c.TextOut(x, g.Y + i * lineHeight, text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    c.SetTextAlign(TA_LEFT);

    if (FCallout->Visible() || FCallout->Arrow()->Visible()) {
        TPoint to(FCallout->XPosition(), FCallout->YPosition());
        const TRect& r = g.Rect;
        TPoint from((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        if (to.X > r.Right)
            from.X = r.Right;
        else if (to.X < r.Left)
            from.X = r.Left;
        if (to.Y > r.Bottom)
            from.Y = r.Bottom;
        else if (to.Y < r.Top)
            from.Y = r.Top;
        if (const int distance = FCallout->Distance(); distance != 0) {
            const double dx = from.X - to.X, dy = from.Y - to.Y;
            const double length = std::hypot(dx, dy);
            if (length > 0) {
                to.X += RoundToInt(dx * distance / length);
                to.Y += RoundToInt(dy * distance / length);
            }
        }
        FCallout->DrawCallout(clNone, to, FCallout->ZPosition(), from);
    }

    if (FAutoSize) {
        // The box keeps its measured size at the place it was given.
        FShape->SetShapeBounds(TRect(remembered.Left, remembered.Top, remembered.Left, remembered.Top));
        FShape->SetBoundsWidth(g.Rect.Right - g.Rect.Left);
        FShape->SetBoundsHeight(g.Rect.Bottom - g.Rect.Top);
    } else {
        FShape->SetShapeBounds(remembered);
    }
}

void TAnnotationTool::ChartEvent(TChartToolEvent Kind) {
    TPlotCustomTool::ChartEvent(Kind);
    if (Kind == cteAfterDraw && ParentChart() != nullptr)
        DrawText();
}

void TAnnotationTool::ChartMouseEvent(TChartMouseEventKind Kind, TMouseButton Button, TShiftState Shift,
                                      int X, int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (chart == nullptr)
        return;
    if (Kind == cmeDown) {
        if (OnClick && Clicked(X, Y))
            OnClick(this, Button, Shift, X, Y);
    } else if (Kind == cmeMove) {
        if (FCursor != 0 && Clicked(X, Y)) {
            chart->SetCursor(FCursor);
            chart->SetCancelMouse(true);
        }
    }
}

} // namespace chart
