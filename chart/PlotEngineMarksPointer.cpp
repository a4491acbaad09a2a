// The point symbol of a series and the callout arrows of marks and annotations.
#include <algorithm>

#include "chart/PlotConst.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineMarks.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

namespace {

TCustomPlotPanel* ChartOf(TChartSeries* Series) {
    return Series ? Series->ParentChart() : nullptr;
}

const char* const kPointerStyleNames[] = {"psRectangle", "psCircle",    "psTriangle",     "psDownTriangle",
                                          "psCross",     "psDiagCross", "psStar",         "psDiamond",
                                          "psSmallDot",  "psNothing",   "psLeftTriangle", "psRightTriangle"};

static_assert(std::size(kPointerStyleNames) == psRightTriangle + 1);
const char* const kArrowHeadNames[] = {"ahNone", "ahLine", "ahSolid"};
static_assert(std::size(kArrowHeadNames) == ahSolid + 1);

} // namespace

// --- TSeriesPointer ---------------------------------------------------------------------------------

PLAT_CLASS_INFO(TSeriesPointer, TPlotCustomShapeBrushPen)

PLAT_PROPERTIES(TSeriesPointer) {
    props.Object("Brush", &TSeriesPointer::Brush, &TSeriesPointer::SetBrush);
    props.Boolean("Dark3D", &TSeriesPointer::Dark3D, &TSeriesPointer::SetDark3D, true);
    props.Boolean("Draw3D", &TSeriesPointer::Draw3D, &TSeriesPointer::SetDraw3D, true);
    props.Object("Gradient", &TSeriesPointer::Gradient, &TSeriesPointer::SetGradient);
    props.Integer("HorizSize", &TSeriesPointer::HorizSize, &TSeriesPointer::SetHorizSize, 4);
    props.Boolean("InflateMargins", &TSeriesPointer::InflateMargins, &TSeriesPointer::SetInflateMargins,
                  true);
    props.Object("Pen", &TSeriesPointer::Pen, &TSeriesPointer::SetPen);
    props.Enum("Style", &TSeriesPointer::Style, &TSeriesPointer::SetStyle, kPointerStyleNames, psRectangle);
    props.Integer("Transparency", &TSeriesPointer::Transparency, &TSeriesPointer::SetTransparency, 0);
    props.Integer("VertSize", &TSeriesPointer::VertSize, &TSeriesPointer::SetVertSize, 4);
    props.Boolean("Visible", &TSeriesPointer::Visible, &TSeriesPointer::SetVisible, true);
}

TSeriesPointer::TSeriesPointer(TChartSeries* Series)
    : TPlotCustomShapeBrushPen(ChartOf(Series)), FSeries(Series) {
    FGradient = std::make_unique<TPlotGradient>([this](plat::TObject* Sender) { CanvasChanged(Sender); });
}

TSeriesPointer::~TSeriesPointer() = default;

void TSeriesPointer::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TSeriesPointer*>(Source)) {
        FDark3D = source->FDark3D;
        FDraw3D = source->FDraw3D;
        FGradient->Assign(source->FGradient.get());
        FHorizSize = source->FHorizSize;
        FInflateMargins = source->FInflateMargins;
        FStyle = source->FStyle;
        FTransparency = source->FTransparency;
        FVertSize = source->FVertSize;
    }
    TPlotCustomShapeBrushPen::Assign(Source);
}

void TSeriesPointer::SetDark3D(bool Value) {
    if (FDark3D != Value) {
        FDark3D = Value;
        Repaint();
    }
}

void TSeriesPointer::SetDraw3D(bool Value) {
    if (FDraw3D != Value) {
        FDraw3D = Value;
        Repaint();
    }
}

void TSeriesPointer::SetGradient(TPlotGradient* Value) {
    FGradient->Assign(Value);
}

void TSeriesPointer::SetHorizSize(int Value) {
    if (Value <= 0)
        throw ChartException(ChartTextPointerSize);
    if (FHorizSize != Value) {
        FHorizSize = Value;
        Repaint();
    }
}

void TSeriesPointer::SetVertSize(int Value) {
    if (Value <= 0)
        throw ChartException(ChartTextPointerSize);
    if (FVertSize != Value) {
        FVertSize = Value;
        Repaint();
    }
}

void TSeriesPointer::SetInflateMargins(bool Value) {
    if (FInflateMargins != Value) {
        FInflateMargins = Value;
        Repaint();
    }
}

void TSeriesPointer::SetStyle(TSeriesPointerStyle Value) {
    if (FStyle != Value) {
        FStyle = Value;
        Repaint();
    }
}

void TSeriesPointer::SetTransparency(int Value) {
    if (FTransparency != Value) {
        FTransparency = Value;
        Repaint();
    }
}

TColor TSeriesPointer::Color() const {
    return FBrush->Color();
}

void TSeriesPointer::SetColor(TColor Value) {
    FBrush->SetColor(Value);
}

void TSeriesPointer::PointerHorizMargins(int& LeftMargin, int& RightMargin) const {
    if (Visible() && FInflateMargins) {
        LeftMargin = std::max(LeftMargin, FHorizSize + 1);
        RightMargin = std::max(RightMargin, FHorizSize + 1);
    }
}

void TSeriesPointer::PointerVertMargins(int& TopMargin, int& BottomMargin) const {
    if (Visible() && FInflateMargins) {
        TopMargin = std::max(TopMargin, FVertSize + 1);
        BottomMargin = std::max(BottomMargin, FVertSize + 1);
    }
}

int TSeriesPointer::StartZ() const {
    return FSeries ? FSeries->StartZ() : 0;
}

int TSeriesPointer::MiddleZ() const {
    return FSeries ? FSeries->MiddleZ() : 0;
}

int TSeriesPointer::EndZ() const {
    return FSeries ? FSeries->EndZ() : 0;
}

void TSeriesPointer::PrepareCanvas(TCanvas3D& Canvas, TColor Color) {
    if (FPen->Visible()) {
        const TColor penColor = FPen->Color() == AutoColor ? Color : FPen->Color();
        Canvas.UseChartPenWithColor(FPen.get(), penColor);
    } else {
        Canvas.Pen()->SetStyle(plat::psClear);
    }
    TColor brushColor = FBrush->Color();
    if (brushColor == AutoColor)
        brushColor = FBrush->Style() == plat::bsSolid ? Color : plat::clBlack;
    Canvas.UseChartBrushWithColor(FBrush.get(), brushColor);
}

void TSeriesPointer::Draw(int X, int Y, TColor Color, TSeriesPointerStyle Style) {
    TCustomPlotPanel* chart = ParentChart();
    if (!chart)
        return;
    DrawPointer(*chart->Canvas(), chart->View3D(), X, Y, FHorizSize, FVertSize, Color, Style);
}

void TSeriesPointer::DrawPointer(TCanvas3D& Canvas, bool Is3D, int X, int Y, int HorizSize, int VertSize,
                                 TColor Color, TSeriesPointerStyle Style) {
    if (Style == psNothing)
        return;
    const int left = X - HorizSize;
    const int right = X + HorizSize;
    const int top = Y - VertSize;
    const int bottom = Y + VertSize;
    const int z0 = StartZ();
    const int zm = MiddleZ();
    const int z1 = EndZ();

    std::unique_ptr<TPlotBlend> blend;
    if (FTransparency > 0) {
        TRect r(left, top, right + 1, bottom + 1);
        if (Is3D && Style == psRectangle && Canvas.IsOrthogonal())
            r.Right += z1 - z0;
        if (Is3D)
            r = Canvas.RectBounds3D(r, z0);
        blend = Canvas.BeginBlend(r, FTransparency);
    }

    auto polygon = [&](std::initializer_list<TPoint> points) {
        std::vector<TPoint> p(points);
        if (Is3D)
            Canvas.PolygonWithZ(p.data(), static_cast<int>(p.size()) - 1, z0);
        else
            Canvas.Polygon(p.data(), static_cast<int>(p.size()) - 1);
    };
    auto line = [&](int X0, int Y0, int X1, int Y1) {
        if (Is3D)
            Canvas.LineWithZ(X0, Y0, X1, Y1, z0);
        else
            Canvas.Line(X0, Y0, X1, Y1);
    };
    auto cross = [&]() {
        line(X, top, X, bottom + 1);
        line(left, Y, right + 1, Y);
    };
    auto diagCross = [&]() {
        line(left, top, right + 1, bottom + 1);
        line(right, top, left - 1, bottom + 1);
    };

    switch (Style) {
    case psRectangle:
        if (!Is3D)
            Canvas.Rectangle(left, top, right + 1, bottom + 1);
        else if (FDraw3D)
            Canvas.Cube(left, right, top, bottom, z0, z1, FDark3D);
        else
            Canvas.RectangleWithZ(TRect(left, top, right + 1, bottom + 1), z0);
        break;
    case psCircle:
        if (Is3D && FDraw3D && Canvas.IsTrue3D())
            Canvas.SphereWithZ(X, Y, zm, HorizSize);
        else if (Is3D)
            Canvas.EllipseWithZ(left, top, right, bottom, z0);
        else
            Canvas.Ellipse(left, top, right, bottom);
        break;
    case psTriangle:
    case psDownTriangle: {
        const int a = Style == psTriangle ? VertSize : -VertSize;
        if (Is3D && FDraw3D)
            Canvas.Pyramid(true, left, Y - a, right, Y + a, z0, z1, FDark3D);
        else
            polygon({TPoint(left, Y + a), TPoint(right, Y + a), TPoint(X, Y - a)});
        break;
    }
    case psCross:
        cross();
        break;
    case psDiagCross:
        diagCross();
        break;
    case psStar:
        cross();
        diagCross();
        break;
    case psDiamond:
        polygon({TPoint(left, Y), TPoint(X, top), TPoint(right, Y), TPoint(X, bottom)});
        break;
    case psSmallDot:
        if (Is3D)
            Canvas.SetPixel3D(X, Y, zm, Canvas.Brush()->Color());
        else
            Canvas.SetPixel(X, Y, Canvas.Brush()->Color());
        break;
    case psLeftTriangle:
        polygon({TPoint(left, Y), TPoint(right, bottom), TPoint(right, top)});
        break;
    case psRightTriangle:
        polygon({TPoint(right, Y), TPoint(left, bottom), TPoint(left, top)});
        break;
    case psNothing:
        break;
    }

    if (FGradient->Visible())
        FillGradient(Canvas, Is3D, left, top, right, bottom, X, Y, Color, Style);
    if (blend)
        Canvas.EndBlend(std::move(blend));
}

void TSeriesPointer::FillGradient(TCanvas3D& Canvas, bool Is3D, int Left, int Top, int Right, int Bottom,
                                  int X, int Y, TColor Color, TSeriesPointerStyle Style) {
    if (!FFullGradient && FGradient->EndColor() != Color) {
        // The gradient ends in the point's colour; that change must not ask for another paint.
        TCustomPlotPanel* chart = ParentChart();
        const bool oldRepaint = chart ? chart->RepaintEnabled() : false;
        if (chart)
            chart->SetRepaintEnabled(false);
        FGradient->SetEndColor(Color);
        if (chart)
            chart->SetRepaintEnabled(oldRepaint);
    }
    const int z0 = StartZ();
    if (Is3D && !Canvas.IsOrthogonal() && Style == psRectangle) {
        TPoint corners[4] = {TPoint(Left, Top), TPoint(Right, Top), TPoint(Right, Bottom),
                             TPoint(Left, Bottom)};
        FGradient->FillPlane(Canvas, corners, z0);
        return;
    }
    const int penWidth = FPen->Visible() ? FPen->Width() : 0;
    TRect r(Left + penWidth, Top + penWidth, Right, Bottom);
    if (Is3D)
        r = Canvas.CalcRect3D(r, z0);
    switch (Style) {
    case psRectangle:
        Canvas.ClipRectangle(r);
        break;
    case psCircle:
        Canvas.ClipEllipse(r);
        break;
    case psTriangle:
    case psDownTriangle:
    case psLeftTriangle:
    case psRightTriangle:
    case psDiamond: {
        if (Is3D && FDraw3D && (Style == psTriangle || Style == psDownTriangle))
            return;
        std::vector<TPoint> p;
        const int a = Style == psDownTriangle ? -(Bottom - Y) : Bottom - Y;
        if (Style == psTriangle || Style == psDownTriangle)
            p = {TPoint(Left, Y + a), TPoint(Right, Y + a), TPoint(X, Y - a)};
        else if (Style == psLeftTriangle)
            p = {TPoint(Left, Y), TPoint(Right, Bottom), TPoint(Right, Top)};
        else if (Style == psRightTriangle)
            p = {TPoint(Right, Y), TPoint(Left, Bottom), TPoint(Left, Top)};
        else
            p = {TPoint(Left, Y), TPoint(X, Top), TPoint(Right, Y), TPoint(X, Bottom)};
        if (Is3D)
            for (TPoint& point : p)
                point = Canvas.Calc3DPoint(point.X, point.Y, z0);
        Canvas.ClipPolygon(p.data(), static_cast<int>(p.size()));
        break;
    }
    default:
        return;
    }
    FGradient->FillRectangle(Canvas, r);
    Canvas.UnClip();
}

// --- TCallout ---------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TCallout, TSeriesPointer)

PLAT_PROPERTIES(TCallout) {
    props.Object("Arrow", &TCallout::Arrow, &TCallout::SetArrow);
    props.Enum("ArrowHead", &TCallout::ArrowHead, &TCallout::SetArrowHead, kArrowHeadNames, ahNone);
    props.Integer("ArrowHeadSize", &TCallout::ArrowHeadSize, &TCallout::SetArrowHeadSize, 8);
    props.Integer("Distance", &TCallout::Distance, &TCallout::SetDistance, 0);
    props.Default("Draw3D", false);
    props.Default("Visible", true);
}

TCallout::TCallout(TChartSeries* Series) : TSeriesPointer(Series) {
    FArrow = std::make_unique<TWhitePen>([this](plat::TObject* Sender) { CanvasChanged(Sender); });
    FInflateMargins = true;
    FFullGradient = true;
    FStyle = psRectangle;
    FVisible = true;
    FDraw3D = false;
    FArrowHeadSize = 8;
    FBrush->SetColor(plat::clBlack);
    FBrush->SetDefaultColor(plat::clBlack);
}

void TCallout::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TCallout*>(Source)) {
        FDistance = source->FDistance;
        FArrow->Assign(source->FArrow.get());
        FArrowHead = source->FArrowHead;
        FArrowHeadSize = source->FArrowHeadSize;
    }
    TSeriesPointer::Assign(Source);
}

void TCallout::SetArrow(TChartPen* Value) {
    FArrow->Assign(Value);
}

void TCallout::SetArrowHead(TArrowHeadStyle Value) {
    if (FArrowHead != Value) {
        FArrowHead = Value;
        Repaint();
    }
}

void TCallout::SetArrowHeadSize(int Value) {
    if (FArrowHeadSize != Value) {
        FArrowHeadSize = Value;
        Repaint();
    }
}

void TCallout::SetDistance(int Value) {
    if (FDistance != Value) {
        FDistance = Value;
        Repaint();
    }
}

void TCallout::DrawCallout(TColor Color, TPoint To, int Z, TPoint From) {
    TCustomPlotPanel* chart = ParentChart();
    if (!chart)
        return;
    TPlotCanvas3D& canvas = *chart->Canvas();
    const bool is3D = chart->View3D();
    if (FArrow->Visible()) {
        canvas.Brush()->SetStyle(plat::bsClear);
        PrepareCanvas(canvas, Color);
        canvas.UseChartPen(FArrow.get());
        canvas.Brush()->SetStyle(plat::bsClear);
        if (FArrowHead == ahLine || FArrowHead == ahSolid) {
            if (FArrowHead == ahSolid)
                canvas.Brush()->SetStyle(plat::bsSolid);
            canvas.Arrow(FArrowHead == ahSolid, From, To, FArrowHeadSize, FArrowHeadSize, Z);
        } else if (is3D) {
            canvas.LineWithZ(From.X, From.Y, To.X, To.Y, Z);
        } else {
            canvas.Line(From.X, From.Y, To.X, To.Y);
        }
    }
    if (FArrowHead == ahNone && Visible()) {
        const TPoint p = is3D ? canvas.Calc3DPoint(To.X, To.Y, Z) : To;
        PrepareCanvas(canvas, Color);
        DrawPointer(canvas, false, p.X, p.Y, FHorizSize, FVertSize, Color, FStyle);
    }
}

// --- TMarksCallout ----------------------------------------------------------------------------------

PLAT_CLASS_INFO(TMarksCallout, TCallout)

PLAT_PROPERTIES(TMarksCallout) {
    props.Integer("Length", &TMarksCallout::Length, &TMarksCallout::SetLength)
        .Stored(&TMarksCallout::IsLengthStored);
    props.Default("Visible", false);
}

TMarksCallout::TMarksCallout(TChartSeries* Series) : TCallout(Series) {
    FVisible = false;
    FArrow->SetColor(plat::clWhite);
}

void TMarksCallout::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TMarksCallout*>(Source))
        FLength = source->FLength;
    TCallout::Assign(Source);
}

void TMarksCallout::SetLength(int Value) {
    if (FSeries)
        FSeries->SetIntegerProperty(FLength, Value);
    else
        FLength = Value;
}

void TMarksCallout::ApplyLength(TSeriesMarkPosition& Position) const {
    const int t = FLength + FDistance;
    Position.LeftTop.Y -= t;
    Position.ArrowTo.Y -= t;
    Position.ArrowFrom.Y -= FDistance;
}

// --- TSeriesMarksSymbol -----------------------------------------------------------------------------

PLAT_CLASS_INFO(TSeriesMarksSymbol, TPlotCustomShape)

PLAT_PROPERTIES(TSeriesMarksSymbol) {
    props.Object("Pen", &TSeriesMarksSymbol::Pen, &TSeriesMarksSymbol::SetPen);
    props.Hide("Color");
    props.Hide("Font");
    props.Hide("TextFormat");
    props.Hide("Transparent");
    props.Default("Visible", false);
}

TSeriesMarksSymbol::TSeriesMarksSymbol(TCustomPlotPanel* Parent) : TPlotCustomShape(Parent) {
    FVisible = false;
    SetTransparent(false);
    InitShadow(Shadow());
}

void TSeriesMarksSymbol::InitShadow(TPlotShadow* Shadow) {
    if (!Shadow)
        return;
    Shadow->SetBothSizes(1);
    Shadow->SetDefaultSize(1);
}

} // namespace chart
