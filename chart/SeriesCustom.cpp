// The chain-drawing engine shared by line, point and area series: segments, stair steps, areas, 3D
// ribbons, point symbols, stacking, the shadow and outline passes, margins, legend symbol and hit test.
#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotProcsServices.h"
#include "chart/Series.h"
#include "platform/rtl/ScopeGuard.h"

namespace chart {

PLAT_CLASS_INFO(TCustomLineSeries, TChartSeries)
PLAT_CLASS_INFO(TCustomSeries, TCustomLineSeries)

namespace {

// One class is an instance of the other's.
bool SameClassFamily(const plat::TObject* A, const plat::TObject* B) {
    return A->InheritsFrom(B->ClassType()) || B->InheritsFrom(A->ClassType());
}

} // namespace

TCustomSeries::TCustomSeries(plat::TComponent* AOwner) : TCustomLineSeries(AOwner) {
    FPointer = std::make_unique<TSeriesPointer>(this);
    FAreaLinesPen = CreateChartPen();
    FOutLine = std::make_unique<TChartHiddenPen>(RepaintHandler());
    FShadow = std::make_unique<TPlotShadow>(RepaintHandler());
    FAreaChartBrush = std::make_unique<TChartBrush>(RepaintHandler());
    FAreaChartBrush->SetStyle(plat::bsSolid);
    FGradient = std::make_unique<TPlotGradient>(RepaintHandler());
    SetDrawBetweenPoints(true);
}

TCustomSeries::~TCustomSeries() = default;

void TCustomSeries::Assign(plat::TPersistent* Source) {
    if (auto* source = dynamic_cast<TCustomSeries*>(Source)) {
        FAreaChartBrush->Assign(source->FAreaChartBrush.get());
        FAreaColor = source->FAreaColor;
        FAreaLinesPen->Assign(source->FAreaLinesPen.get());
        FClickableLine = source->FClickableLine;
        FColorEachLine = source->FColorEachLine;
        FDark3D = source->FDark3D;
        FDrawArea = source->FDrawArea;
        FDrawLine = source->FDrawLine;
        FInvertedStairs = source->FInvertedStairs;
        FLineHeight = source->FLineHeight;
        FOutLine->Assign(source->FOutLine.get());
        FPointer->Assign(source->FPointer.get());
        FShadow->Assign(source->FShadow.get());
        FStacked = source->FStacked;
        FStairs = source->FStairs;
        FTransparency = source->FTransparency;
        FGradient->Assign(source->FGradient.get());
    }
    TChartSeries::Assign(Source);
}

void TCustomSeries::SetParentChart(TCustomAxisPanel* Value) {
    TChartSeries::SetParentChart(Value);
    FPointer->SetParent(ParentChart());
}

void TCustomSeries::Added() {
    TChartSeries::Added();
    FPointer->SetParent(ParentChart());
}

void TCustomSeries::Removed() {
    TChartSeries::Removed();
    // The pointer must not keep a chart that may be freed after the series left it.
    FPointer->SetParent(nullptr);
}

void TCustomSeries::SetStacked(TCustomSeriesStack Value) {
    if (FStacked == Value)
        return;
    FStacked = Value;
    if (TCustomAxisPanel* chart = ParentChart()) {
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            auto* other = dynamic_cast<TCustomSeries*>(chart->SeriesAt(i));
            if (other && other != this && InheritsFrom(other->ClassType()))
                other->FStacked = Value;
        }
    }
    InvalidateParentChart();
}

void TCustomSeries::SetTransparency(int Value) {
    SetIntegerProperty(FTransparency, std::clamp(Value, 0, 100));
}

TSeriesPointerStyle TCustomSeries::GetPointerStyle(int ValueIndex) {
    return OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : FPointer->Style();
}

int TCustomSeries::MarkDistance() {
    TMarksCallout* callout = Marks()->Callout();
    return callout->Length() + callout->Distance();
}

bool TCustomSeries::Chart3D() const {
    return ParentChart() && ParentChart()->View3D();
}

TColor TCustomSeries::AreaColorFor(TColor Color) const {
    return (FColorEachPoint || FAreaColor == AutoColor) ? Color : FAreaColor;
}

int TCustomSeries::FirstDrawnIndex() {
    if (FChaining)
        return FPassFirstDrawn;
    return DrawValuesForward() ? FirstVisibleIndex() : LastVisibleIndex();
}

int TCustomSeries::LastDrawnIndex() {
    if (FChaining)
        return FPassLastDrawn;
    return DrawValuesForward() ? LastVisibleIndex() : FirstVisibleIndex();
}

// The drawing passes change the colour without telling anybody: no colour event, nothing stored.
TColor TCustomSeries::SetSeriesColorSilently(TColor Value) {
    const TColor old = FColor;
    FColor = Value;
    return old;
}

void TCustomSeries::RestoreSeriesColor(TColor Stored, TColor LastAssigned) {
    FColor = Stored;
    FLastAssignedColor = LastAssigned;
}

// --- Stacking and origin ----------------------------------------------------------------------------

double TCustomSeries::PointOrigin(int ValueIndex, bool All) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart)
        return 0;
    // A zero value stacks with the positive ones, so that it sits on top of them.
    const bool positive = MandatoryValue(ValueIndex) >= 0;
    double sum = 0;
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* s = chart->SeriesAt(i);
        if (!All && s == this)
            break;
        if (!s->Active() || !SameClassFamily(s, this) || s->Count() <= ValueIndex)
            continue;
        const double v = s->MandatoryValue(ValueIndex);
        if (positive ? v > 0 : v < 0)
            sum += v;
    }
    return sum;
}

int TCustomSeries::StackedPixel(int ValueIndex, double Value) {
    TChartAxis* axis = MandatoryAxis();
    if (!axis)
        return 0;
    const double before = PointOrigin(ValueIndex, false);
    if (FStacked == cssStack100) {
        const double all = PointOrigin(ValueIndex, true);
        if (all == 0)
            return axis->EndPixel();
        return CalcPosValue((before + Value) * 100 / all);
    }
    return std::min(CalcPosValue(before + Value), axis->EndPixel());
}

int TCustomSeries::OriginPosition(int ValueIndex) {
    if (FStacked == cssStack || FStacked == cssStack100)
        return StackedPixel(ValueIndex, 0);
    TChartAxis* axis = MandatoryAxis();
    if (!axis)
        return 0;
    if (FYMandatory)
        return axis->Inverted() ? axis->StartPixel() : axis->EndPixel();
    return axis->Inverted() ? axis->EndPixel() : axis->StartPixel();
}

int TCustomSeries::ScreenX(int ValueIndex) {
    if (!FYMandatory && (FStacked == cssStack || FStacked == cssStack100))
        return StackedPixel(ValueIndex, MandatoryValue(ValueIndex));
    return TChartSeries::ScreenX(ValueIndex);
}

int TCustomSeries::ScreenY(int ValueIndex) {
    if (FYMandatory && (FStacked == cssStack || FStacked == cssStack100))
        return StackedPixel(ValueIndex, MandatoryValue(ValueIndex));
    return TChartSeries::ScreenY(ValueIndex);
}

double TCustomSeries::MaxX() {
    if (FYMandatory || FStacked == cssNone || FStacked == cssOverlap)
        return TChartSeries::MaxX();
    if (FStacked == cssStack100)
        return 100;
    double result = TChartSeries::MaxX();
    for (int i = 0; i < Count(); ++i)
        result = std::max(result, PointOrigin(i, false) + MandatoryValue(i));
    return result;
}

double TCustomSeries::MinX() {
    if (FYMandatory || FStacked == cssNone || FStacked == cssOverlap)
        return TChartSeries::MinX();
    if (FStacked == cssStack100)
        return 0;
    double result = TChartSeries::MinX();
    for (int i = 0; i < Count(); ++i)
        result = std::min(result, PointOrigin(i, false) + MandatoryValue(i));
    return result;
}

double TCustomSeries::MaxY() {
    if (!FYMandatory || FStacked == cssNone || FStacked == cssOverlap)
        return TChartSeries::MaxY();
    if (FStacked == cssStack100)
        return 100;
    double result = TChartSeries::MaxY();
    for (int i = 0; i < Count(); ++i)
        result = std::max(result, PointOrigin(i, false) + MandatoryValue(i));
    return result;
}

double TCustomSeries::MinY() {
    if (!FYMandatory || FStacked == cssNone || FStacked == cssOverlap)
        return TChartSeries::MinY();
    if (FStacked == cssStack100)
        return 0;
    double result = TChartSeries::MinY();
    for (int i = 0; i < Count(); ++i)
        result = std::min(result, PointOrigin(i, false) + MandatoryValue(i));
    return result;
}

void TCustomSeries::CalcZOrder() {
    TCustomAxisPanel* chart = ParentChart();
    // Stacked and overlapped series share the depth slot of the series before them.
    if (FStacked != cssNone && chart && chart->View3D() && FZOrder == -1 && chart->MaxZOrder() >= 0) {
        FZOrderSlot = chart->MaxZOrder();
        return;
    }
    TChartSeries::CalcZOrder();
}

// --- Margins ----------------------------------------------------------------------------------------

void TCustomSeries::GetHorizMargins(int& LeftMargin, int& RightMargin) {
    TChartSeries::GetHorizMargins(LeftMargin, RightMargin);
    FPointer->PointerHorizMargins(LeftMargin, RightMargin);
    if (FDrawLine) {
        if (FStairs) {
            LeftMargin = std::max(LeftMargin, LinePen()->Width());
            RightMargin = std::max(RightMargin, LinePen()->Width());
        }
        if (FOutLine->Visible()) {
            LeftMargin = std::max(LeftMargin, FOutLine->Width());
            RightMargin = std::max(RightMargin, FOutLine->Width());
        }
    }
    if (!FYMandatory && Marks()->Visible())
        RightMargin = std::max(RightMargin, MarkDistance());
}

void TCustomSeries::GetVertMargins(int& TopMargin, int& BottomMargin) {
    TChartSeries::GetVertMargins(TopMargin, BottomMargin);
    FPointer->PointerVertMargins(TopMargin, BottomMargin);
    if (FDrawLine) {
        if (FStairs) {
            TopMargin = std::max(TopMargin, LinePen()->Width());
            BottomMargin = std::max(BottomMargin, LinePen()->Width());
        }
        if (FOutLine->Visible()) {
            TopMargin = std::max(TopMargin, FOutLine->Width());
            BottomMargin = std::max(BottomMargin, FOutLine->Width());
        }
    }
    if (FYMandatory && Marks()->Visible())
        TopMargin = std::max(TopMargin, MarkDistance());
    if (Chart3D() && FLineHeight > 0 && !FDrawArea)
        BottomMargin = std::max(BottomMargin, FLineHeight);
}

// --- Drawing all points -----------------------------------------------------------------------------

namespace {

// Puts back what a drawing pass changed, also when the pass raises.
class TAxisShift {
public:
    TAxisShift(TChartAxis* Axis, int Offset) : FAxis(Offset != 0 ? Axis : nullptr), FOffset(Offset) {
        if (FAxis)
            FAxis->SetPixels(FAxis->StartPixel() + FOffset, FAxis->EndPixel() + FOffset);
    }
    ~TAxisShift() {
        if (FAxis)
            FAxis->SetPixels(FAxis->StartPixel() - FOffset, FAxis->EndPixel() - FOffset);
    }
    TAxisShift(const TAxisShift&) = delete;
    TAxisShift& operator=(const TAxisShift&) = delete;

private:
    TChartAxis* FAxis;
    int FOffset;
};

} // namespace

bool TCustomSeries::CanChainLines() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || chart->View3D() || !FDrawLine || FDrawArea || FPointer->Visible())
        return false;
    TChartPen* pen = LinePen();
    return pen->Visible() && pen->Width() < 2 && pen->Style() == plat::psSolid && !pen->SmallDots();
}

void TCustomSeries::DrawPass() {
    if (!CanChainLines()) {
        TChartSeries::DrawAllValues();
        return;
    }
    // The drawing order cannot change during the pass; asking once spares a question per point.
    FPassFirstDrawn = FirstDrawnIndex();
    FPassLastDrawn = LastDrawnIndex();
    FPassForward = DrawValuesForward();
    FChaining = true;
    FChain.clear();
    // A pass that fails leaves no chain behind for the next one to flush.
    plat::ScopeGuard dropChain([this] {
        FChaining = false;
        FChain.clear();
    });
    if (HasPlainPoints())
        ChainPlainPoints();
    else
        TChartSeries::DrawAllValues();
    FChaining = false;
    FlushChain();
    dropChain.Dismiss();
}

bool TCustomSeries::HasPlainPoints() {
    // Kinds of their own may place or colour points differently, so only the known ones qualify.
    const std::type_info& kind = typeid(*this);
    if (kind != typeid(TLineSeries) && kind != typeid(THorizLineSeries))
        return false;
    return !HasColors() && !ColorEachPoint() && SeriesColor() != plat::clNone && FStacked != cssStack &&
           FStacked != cssStack100;
}

// What DrawValue does for each point of a plain chain, with the pixels of all points found in two calls.
// The first point still goes through DrawValue, which also joins it to the point left of the view.
void TCustomSeries::ChainPlainPoints() {
    const int first = FirstVisibleIndex(), last = LastVisibleIndex();
    if (first < 0 || last < first)
        return;
    const int count = last - first + 1;
    FPixelsX.assign(count, 0);
    FPixelsY.assign(count, 0);
    if (TChartAxis* horiz = GetHorizAxis())
        horiz->HorizValuesToPixels(FX->Value().data() + first, count, FPixelsX.data());
    if (TChartAxis* vert = GetVertAxis())
        vert->VertValuesToPixels(FY->Value().data() + first, count, FPixelsY.data());
    const TColor color = SeriesColor();
    const bool forward = FPassForward;
    DrawValue(forward ? first : last);
    for (int k = 1; k < count; ++k) {
        const int at = forward ? k : count - 1 - k;
        const int x = FPixelsX[at], y = FPixelsY[at];
        if (x != FPrevX || y != FPrevY)
            ChainSegment(FPrevX, FPrevY, x, y, color);
        FPrevX = x;
        FPrevY = y;
    }
    FPrevColor = color;
    FPrevOriginPixel = FOriginPixel;
}

void TCustomSeries::DrawAllValues() {
    const TColor storedColor = FColor;
    const TColor lastAssigned = FLastAssignedColor;
    if (std::max(FShadow->HorizSize(), FShadow->VertSize()) != 0) {
        const bool pointerVisible = FPointer->Visible();
        struct TRestore {
            TCustomSeries* Series;
            bool PointerVisible;
            TColor Stored, Last;
            ~TRestore() {
                Series->FPointer->SetVisible(PointerVisible);
                Series->RestoreSeriesColor(Stored, Last);
            }
        } restore{this, pointerVisible, storedColor, lastAssigned};
        SetSeriesColorSilently(FShadow->Color());
        FPointer->SetVisible(false);
        TAxisShift horiz(GetHorizAxis(), FShadow->HorizSize());
        TAxisShift vert(GetVertAxis(), FShadow->VertSize());
        DrawPass();
    }
    if (FOutLine->Visible()) {
        TChartPen kept;
        kept.Assign(LinePen());
        struct TRestore {
            TCustomSeries* Series;
            TChartPen* Kept;
            TColor Stored, Last;
            // The series keeps its own colour afterwards, in 2D as in 3D: taking the line pen's colour
            // would turn every outlined line series the pen's colour for good.
            ~TRestore() {
                Series->LinePen()->Assign(Kept);
                Series->RestoreSeriesColor(Stored, Last);
            }
        } restore{this, &kept, storedColor, lastAssigned};
        LinePen()->Assign(FOutLine.get());
        SetSeriesColorSilently(FOutLine->Color());
        LinePen()->SetWidth(2 * kept.Width() + FOutLine->Width() + 1);
        DrawPass();
    }
    DrawPass();
}

// --- Drawing one point ------------------------------------------------------------------------------

void TCustomSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart)
        return;
    TPlotCanvas3D& canvas = *chart->Canvas();
    const TColor c = ValueColor(ValueIndex);
    const int x = ScreenX(ValueIndex);
    const int y = ScreenY(ValueIndex);
    // A gathered chain draws with the line pen only, so the canvas colours do not matter meanwhile.
    if (!FChaining) {
        if (canvas.Pen()->Color() != plat::clBlack)
            canvas.Pen()->SetColor(plat::clBlack);
        if (canvas.Brush()->Color() != c)
            canvas.Brush()->SetColor(c);
    }
    if (FPrevColor == plat::clNone) {
        FPrevX = x;
        FPrevY = y;
    }
    // The origin serves only areas, which are never gathered into a chain.
    if (!FChaining)
        FOriginPixel = OriginPosition(ValueIndex);
    const int firstDrawn = FirstDrawnIndex();
    if (ValueIndex == firstDrawn) {
        if (FDark3D) {
            const int w = chart->SeriesWidth3D();
            FDarkSlope = w == 0 ? 1.0 : std::fabs(static_cast<double>(chart->SeriesHeight3D()) / w);
        }
        if (firstDrawn == FirstVisibleIndex() && ValueIndex > 0) {
            // The part of the chain left of the first visible point.
            const int prev = ValueIndex - 1;
            if (FDrawArea || !FYMandatory || !GetHorizAxis()) {
                FPrevX = ScreenX(prev);
                FPrevY = ScreenY(prev);
                FPrevOriginPixel = OriginPosition(prev);
            } else {
                TChartAxis* horiz = GetHorizAxis();
                const TRect& r = chart->ChartRect();
                const int edge = horiz->Inverted() ? r.Right : r.Left;
                FPrevX = edge;
                FPrevY = ScreenY(prev);
                if (!FStairs) {
                    const double x0 = FX->Items(prev), x1 = FX->Items(ValueIndex);
                    const double y0 = FY->Items(prev), y1 = FY->Items(ValueIndex);
                    if (x1 - x0 != 0) {
                        const double xe = horiz->PixelToValue(edge);
                        const double t = (xe - x0) / (x1 - x0);
                        TChartAxis* vert = GetVertAxis();
                        double ye = vert && vert->Logarithmic() && y0 > 0 && y1 > 0
                                        ? std::exp(std::log(y0) + (std::log(y1) - std::log(y0)) * t)
                                        : y0 + t * (y1 - y0);
                        if (std::isfinite(ye))
                            FPrevY = CalcYPosValue(ye);
                    }
                }
            }
            if (!PointIsNull(prev))
                DrawSegment(ValueIndex, x, y, c, false);
        }
        if (ValueIndex == LastDrawnIndex() && FPointer->Visible())
            DrawPointer(x, y, c, ValueIndex);
        if (canvas.IsTrue3D() && FDrawArea && chart->View3D())
            canvas.VertRectangle3D(x, y, FOriginPixel, StartZ(), EndZ());
    } else {
        DrawSegment(ValueIndex, x, y, c, true);
    }
    FPrevX = x;
    FPrevY = y;
    FPrevOriginPixel = FOriginPixel;
    FPrevColor = c;
}

void TCustomSeries::DrawSegment(int ValueIndex, int X, int Y, TColor Color, bool WithPointers) {
    TCustomAxisPanel* chart = ParentChart();
    TPlotCanvas3D& canvas = *chart->Canvas();
    if (!(X == FPrevX && Y == FPrevY) && Color != plat::clNone) {
        const bool is3D = chart->View3D();
        if (is3D && (FDrawArea || FDrawLine))
            DrawArea3DRibbon(ValueIndex, X, Y, Color);
        if (FDrawArea) {
            const TColor area = AreaColorFor(Color);
            canvas.Brush()->SetColor(area);
            if (FAreaLinesPen->Color() == AutoColor || !FAreaLinesPen->Visible())
                canvas.UseChartPenWithColor(FAreaLinesPen.get(), Color);
            else
                canvas.UseChartPen(FAreaLinesPen.get());
            FillArea(ValueIndex, X, Y, area);
        } else if (!is3D && FDrawLine) {
            const TColor lineColor = (FColorEachPoint && FColorEachLine) ? Color : SeriesColor();
            if (FChaining) {
                ChainSegment(FPrevX, FPrevY, X, Y, lineColor);
            } else {
                PrepareLinePen(lineColor);
                DrawStairsOrLine(X, Y);
            }
        }
    }
    if (WithPointers && FPointer->Visible()) {
        // The point drawn before this one: the previous index forward, the next one backward.
        const int previous =
            (FChaining ? FPassForward : DrawValuesForward()) ? ValueIndex - 1 : ValueIndex + 1;
        if (FPrevColor != plat::clNone)
            DrawPointer(FPrevX, FPrevY, FPrevColor, previous);
        if (ValueIndex == LastDrawnIndex() && Color != plat::clNone)
            DrawPointer(X, Y, Color, ValueIndex);
    }
}

void TCustomSeries::PrepareLinePen(TColor Color) {
    TPlotCanvas3D& canvas = *ParentChart()->Canvas();
    if (canvas.GetMonochrome())
        Color = plat::clWhite;
    if (!Chart3D()) {
        canvas.Brush()->SetStyle(plat::bsClear);
        canvas.UseChartPenWithColor(LinePen(), Color);
        return;
    }
    plat::TBitmap* image = Brush()->HasImage() ? Brush()->ImageBitmap() : nullptr;
    if (image) {
        canvas.Brush()->SetBitmap(image);
    } else {
        canvas.Brush()->SetBitmap(nullptr);
        canvas.Brush()->SetColor(Color);
        canvas.Brush()->SetStyle(LineBrush());
    }
    canvas.UseChartPen(LinePen());
}

void TCustomSeries::DrawStairsOrLine(int X, int Y) {
    TPlotCanvas3D& canvas = *ParentChart()->Canvas();
    canvas.MoveTo(FPrevX, FPrevY);
    if (FStairs) {
        if (FInvertedStairs)
            canvas.LineTo(FPrevX, Y);
        else
            canvas.LineTo(X, FPrevY);
    }
    canvas.LineTo(X, Y);
}

void TCustomSeries::ChainSegment(int FromX, int FromY, int X, int Y, TColor Color) {
    if (FChain.empty() || Color != FChainColor || FChain.back().X != FromX || FChain.back().Y != FromY) {
        FlushChain();
        FChainColor = Color;
        FChain.emplace_back(FromX, FromY);
    }
    if (FStairs)
        FChain.push_back(FInvertedStairs ? TPoint(FromX, Y) : TPoint(X, FromY));
    FChain.emplace_back(X, Y);
}

void TCustomSeries::FlushChain() {
    if (FChain.size() >= 2) {
        PrepareLinePen(FChainColor);
        ParentChart()->Canvas()->Polyline(FChain.data(), static_cast<int>(FChain.size()) - 1);
    }
    FChain.clear();
}

void TCustomSeries::DrawArea3DRibbon(int ValueIndex, int X, int Y, TColor Color) {
    TCustomAxisPanel* chart = ParentChart();
    TPlotCanvas3D& canvas = *chart->Canvas();
    canvas.UseChartPen(LinePen());
    const TColor brushColor = (FColorEachLine || FDrawArea) ? AreaColorFor(Color) : SeriesColor();
    plat::TBitmap* image = Brush()->HasImage() ? Brush()->ImageBitmap() : nullptr;
    if (image) {
        canvas.Brush()->SetBitmap(image);
    } else {
        canvas.Brush()->SetBitmap(nullptr);
        canvas.Brush()->SetColor(brushColor);
        canvas.Brush()->SetStyle(LineBrush());
    }
    const int z0 = StartZ(), z1 = EndZ();
    const bool ribbon = FLineHeight > 0 && !FDrawArea;
    auto darken = [&]() {
        canvas.Brush()->SetColor(canvas.GetMonochrome() ? plat::clWhite : DarkerColor(brushColor, 64));
    };
    if (!FStairs) {
        if (ribbon) {
            const TPoint face[4] = {TPoint(X, Y), TPoint(FPrevX, FPrevY),
                                    TPoint(FPrevX, FPrevY + FLineHeight), TPoint(X, Y + FLineHeight)};
            canvas.PolygonWithZ(face, 3, z0);
            if (ValueIndex == LastDrawnIndex())
                canvas.VertRectangle3D(X, Y, Y + FLineHeight, z0, z1);
        }
        const bool dark = FDark3D && !canvas.IsTrue3D() && X != FPrevX && FDarkSlope != 0 &&
                          static_cast<double>(FPrevY - Y) / (X - FPrevX) > FDarkSlope;
        int lower = 0;
        if (dark) {
            darken();
            if (ribbon)
                lower = FLineHeight;
        }
        canvas.Plane(TPoint(X, Y + lower), TPoint(FPrevX, FPrevY + lower), z0, z1);
        return;
    }
    // A step: the flat part at its level, the upright part between the two levels.
    const bool levelFirst = FYMandatory != FInvertedStairs;
    auto flat = [&](int X0, int X1, int Level) { canvas.HorizRectangle3D(X0, Level, X1, z0, z1); };
    auto upright = [&](int At, int Y0, int Y1) {
        if (FDark3D)
            darken();
        canvas.VertRectangle3D(At, Y0, Y1, z0, z1);
    };
    if (levelFirst) {
        flat(FPrevX, X, FPrevY);
        upright(X, FPrevY, Y);
    } else {
        upright(FPrevX, FPrevY, Y);
        canvas.Brush()->SetColor(brushColor);
        flat(FPrevX, X, Y);
    }
}

void TCustomSeries::FillArea(int ValueIndex, int X, int Y, TColor Color) {
    TCustomAxisPanel* chart = ParentChart();
    TPlotCanvas3D& canvas = *chart->Canvas();
    const bool is3D = chart->View3D();
    const int z0 = StartZ(), z1 = EndZ();

    TColor back = FAreaChartBrush->Color() == AutoColor ? SeriesColor() : FAreaChartBrush->Color();
    if (FAreaChartBrush->HasImage() && back == Color)
        back = plat::clWhite;
    chart->SetCanvasBrush(Color, FAreaChartBrush.get(), back);

    if (is3D && ValueIndex == LastDrawnIndex()) {
        if (FYMandatory)
            canvas.VertRectangle3D(X, Y, FOriginPixel, z0, z1);
        else
            canvas.HorizRectangle3D(FOriginPixel, Y, X, z0, z1);
    }
    const int transparency = GetTransparency();
    TPlotGradient* gradient = GetGradient();
    const bool useGradient = gradient && gradient->Visible();

    if (FStairs) {
        TRect r;
        if (FYMandatory) {
            const int level = FInvertedStairs ? Y : FPrevY;
            const int base = FInvertedStairs ? FOriginPixel : FPrevOriginPixel;
            r = OrderRect(TRect(FPrevX, level, X + 1, base));
        } else {
            const int level = FInvertedStairs ? X : FPrevX;
            const int base = FInvertedStairs ? FOriginPixel : FPrevOriginPixel;
            r = OrderRect(TRect(level, FPrevY, base, Y + 1));
        }
        std::unique_ptr<TPlotBlend> blend;
        if (transparency > 0)
            blend = canvas.BeginBlend(is3D ? canvas.RectBounds3D(r, z0) : r, transparency);
        if (is3D) {
            canvas.RectangleWithZ(r, z0);
            if (canvas.IsTrue3D())
                canvas.RectangleWithZ(r, z1);
        } else if (useGradient) {
            gradient->FillRectangle(canvas, r);
            if (canvas.Pen()->Style() != plat::psClear) {
                canvas.Brush()->SetStyle(plat::bsClear);
                canvas.DrawRectangle(r);
            }
        } else {
            canvas.DrawRectangle(r);
        }
        if (blend)
            canvas.EndBlend(std::move(blend));
        if (LinePen()->Visible() && !FAreaLinesPen->Visible()) {
            canvas.UseChartPen(LinePen());
            if (FInvertedStairs) {
                canvas.VertLine3D(FPrevX, FPrevY, Y, z0);
                canvas.HorizLine3D(FPrevX, X, Y, z0);
            } else {
                canvas.HorizLine3D(FPrevX, X, FPrevY, z0);
                canvas.VertLine3D(X - 1, FPrevY, Y, z0);
            }
        }
        return;
    }

    TPoint p[4];
    if (FYMandatory) {
        p[0] = TPoint(FPrevX, FPrevOriginPixel);
        p[1] = TPoint(FPrevX, FPrevY);
        p[2] = TPoint(X, Y);
        p[3] = TPoint(X, FOriginPixel);
    } else {
        p[0] = TPoint(FPrevOriginPixel, FPrevY);
        p[1] = TPoint(FPrevX, FPrevY);
        p[2] = TPoint(X, Y);
        p[3] = TPoint(FOriginPixel, Y);
    }
    std::unique_ptr<TPlotBlend> blend;
    if (transparency > 0) {
        TRect bounds = PolygonBounds(p, 4);
        blend = canvas.BeginBlend(is3D ? canvas.RectBounds3D(bounds, z0) : bounds, transparency);
    }
    if (is3D) {
        const double rotation = chart->View3DOptions() ? chart->View3DOptions()->RotationFloat() : 0;
        const bool front = (rotation >= 0 && rotation <= 90) || (rotation >= 270 && rotation <= 360);
        auto fill = [&](int z) {
            if (useGradient)
                gradient->FillPlane(canvas, p, z);
            else
                canvas.PolygonWithZ(p, 3, z);
        };
        fill(front ? z0 : z1);
        if (canvas.IsTrue3D())
            fill(z1);
    } else if (useGradient) {
        // One gradient over the whole series: the same band of values behind every segment. The band
        // also reaches the origin, or the part of the area below the smallest value would stay unpainted.
        const TRect band = OrderRect(FYMandatory ? TRect(FPrevX, CalcPosValue(FMandatory->MaxValue()), X,
                                                         CalcPosValue(FMandatory->MinValue()))
                                                 : TRect(CalcPosValue(FMandatory->MinValue()), FPrevY,
                                                         CalcPosValue(FMandatory->MaxValue()), Y));
        const TRect area = PolygonBounds(p, 4);
        TRect r = band;
        if (FYMandatory) {
            r.Top = std::min(band.Top, area.Top);
            r.Bottom = std::max(band.Bottom, area.Bottom);
        } else {
            r.Left = std::min(band.Left, area.Left);
            r.Right = std::max(band.Right, area.Right);
        }
        TPoint clip[4] = {p[0], p[1], p[2], p[3]};
        canvas.ClipPolygon(clip, 4);
        gradient->FillRectangle(canvas, r);
        canvas.UnClip();
        if (canvas.Pen()->Style() != plat::psClear) {
            if (FYMandatory)
                canvas.Line(FPrevX, FPrevY, FPrevX, FPrevOriginPixel);
            else
                canvas.Line(FPrevX, FPrevY, FPrevOriginPixel, FPrevY);
        }
    } else {
        canvas.Polygon(p, 3);
    }
    if (blend)
        canvas.EndBlend(std::move(blend));
    if (LinePen()->Visible()) {
        canvas.UseChartPen(LinePen());
        canvas.LineWithZ(FPrevX, FPrevY, X, Y, z0);
    }
}

void TCustomSeries::DrawPointer(int X, int Y, TColor Color, int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart)
        return;
    PreparePointer(ValueIndex);
    FPointer->PrepareCanvas(*chart->Canvas(), Color);
    FPointer->Draw(X, Y, Color, GetPointerStyle(ValueIndex));
}

// --- Legend and marks -------------------------------------------------------------------------------

void TCustomSeries::DrawLegendSymbol(int ValueIndex, const TRect& Rect) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart)
        return;
    TPlotCanvas3D& canvas = *chart->Canvas();
    const TColor color = ValueIndex == -1 ? SeriesColor() : LegendItemColor(ValueIndex);
    const bool defaultPen = chart->LegendPen() == nullptr;
    TChartPen* symbolPen = defaultPen ? LinePen() : chart->LegendPen();
    const int midY = (Rect.Top + Rect.Bottom) / 2;
    auto lineThrough = [&]() {
        if (defaultPen)
            PrepareLinePen(color);
        canvas.HorizLine(Rect.Left, Rect.Right, midY);
    };
    if (FPointer->Visible()) {
        if (FDrawLine)
            lineThrough();
        const int w = Rect.Right - Rect.Left, h = Rect.Bottom - Rect.Top;
        const bool penVisible = symbolPen->Visible();
        const int hs = std::min(FPointer->HorizSize(), penVisible ? w / 3 : w / 2 + 1);
        const int vs = std::min(FPointer->VertSize(), penVisible ? h / 3 : h / 2 + 1);
        FPointer->PrepareCanvas(canvas, color);
        if (!defaultPen)
            canvas.UseChartPen(chart->LegendPen());
        FPointer->DrawPointer(canvas, false, (Rect.Left + Rect.Right) / 2, midY, hs, vs, color,
                              FPointer->Style());
        return;
    }
    if (!FDrawLine || FDrawArea) {
        TChartSeries::DrawLegendSymbol(ValueIndex, Rect);
        return;
    }
    if (chart->View3D()) {
        if (defaultPen)
            PrepareLinePen(color);
        canvas.DrawRectangle(Rect);
    } else {
        lineThrough();
    }
}

void TCustomSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) {
    Marks()->SetZPosition(StartZ());
    if (FYMandatory && Position)
        Marks()->Callout()->ApplyLength(*Position);
    TChartSeries::DrawMark(ValueIndex, Text, Position);
}

// --- Mouse ------------------------------------------------------------------------------------------

bool TCustomSeries::HasClickEvents() {
    return TChartSeries::HasClickEvents() || (FPointer->Visible() && OnClickPointer != nullptr);
}

bool TCustomSeries::IsPointAt(int ValueIndex, int PX, int PY, int X, int Y) {
    PreparePointer(ValueIndex);
    return GetPointerStyle(ValueIndex) != psNothing && std::abs(PX - X) < FPointer->HorizSize() &&
           std::abs(PY - Y) < FPointer->VertSize();
}

int TCustomSeries::PointAtPixel(int X, int Y) {
    TCustomAxisPanel* chart = ParentChart();
    if (chart)
        chart->Canvas()->PlaneToPoint(X, Y, StartZ());
    const int inherited = TChartSeries::PointAtPixel(X, Y);
    if (inherited != -1 || FirstVisibleIndex() < 0)
        return inherited;
    const TPoint mouse(X, Y);
    const int w3 = chart ? chart->SeriesWidth3D() : 0;
    const int h3 = chart ? chart->SeriesHeight3D() : 0;
    const bool is3D = Chart3D();
    auto onSegment = [&](TPoint from, TPoint to) {
        if (is3D) {
            const TPoint quad[4] = {to, TPoint(to.X + w3, to.Y - h3), TPoint(from.X + w3, from.Y - h3), from};
            return PointInPolygon(mouse, quad, 3);
        }
        if (FStairs) {
            const TPoint corner = FInvertedStairs ? TPoint(from.X, to.Y) : TPoint(to.X, from.Y);
            return PointInLine(mouse, from, corner) || PointInLine(mouse, corner, to);
        }
        return PointInLine(mouse, from, to);
    };
    int start = FirstVisibleIndex();
    if (FClickableLine)
        start = std::max(0, start - 1);
    const int count = Count();
    TPoint prev;
    for (int k = start; k <= LastVisibleIndex() && k < count; ++k) {
        const TPoint p(ScreenX(k), ScreenY(k));
        if (FPointer->Visible() && IsPointAt(k, p.X, p.Y, X, Y)) {
            if (OnClickPointer)
                OnClickPointer(this, k, X, Y);
            return k;
        }
        if (p == mouse)
            return k;
        if (k > start && FClickableLine) {
            if (onSegment(prev, p))
                return k - 1;
            if (FDrawArea) {
                const TPoint area[4] = {prev, p, TPoint(p.X, OriginPosition(k)),
                                        TPoint(prev.X, OriginPosition(k - 1))};
                if (PointInPolygon(mouse, area, 3))
                    return k - 1;
            }
        }
        prev = p;
    }
    return -1;
}

} // namespace chart
