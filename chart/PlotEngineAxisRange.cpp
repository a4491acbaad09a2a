// The axis' working range and its mapping between values and pixels.
#include <cmath>
#include <cstdint>
#include <utility>

#define CHART_PLOTENGINE_NO_UMBRELLA
#include "chart/PlotEngine.h"
#undef CHART_PLOTENGINE_NO_UMBRELLA
#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"
#include "platform/rtl/ScopeGuard.h"

namespace chart {

namespace {

// The sum of a pixel and an offset, kept inside the integer range rather than wrapping round.
inline int AddPixels(int64_t A, int64_t B) {
    int64_t s = A + B;
    if (s > INT32_MAX)
        return INT32_MAX;
    if (s < INT32_MIN)
        return INT32_MIN;
    return static_cast<int>(s);
}

// The end of the range the series drawn against the axis would give it; 0 on an axis without a chart.
double AutoLimit(TChartAxis* Axis, bool IsMin) {
    TCustomAxisPanel* chart = Axis->ParentChart();
    return chart ? chart->InternalMinMax(Axis, IsMin, Axis->Horizontal()) : 0;
}

} // namespace

// ---- Range ----

void TChartAxis::SetAxisRange(double AMinimum, double AMaximum) {
    FAutomatic = false;
    FAutomaticMinimum = false;
    FAutomaticMaximum = false;
    if (AMinimum > AMaximum)
        std::swap(AMinimum, AMaximum);
    StoreAndRepaint(FMinimum, AMinimum);
    StoreAndRepaint(FMaximum, AMaximum);
    if (FMaximum - FMinimum < 1e-10)
        StoreAndRepaint(FMaximum, FMinimum + 1e-10);
    // Master axes may form a cycle; each axis passes the range on once.
    if (FSettingRange)
        return;
    plat::TemporaryChange settingRange(FSettingRange, true);
    if (TChartAxes* axes = FParentChart ? FParentChart->Axes() : nullptr)
        axes->PassRangeToCustomAxes(this);
}

void TChartAxis::CalcAutomaticMinMax() {
    if (!FParentChart)
        return;
    if (FAutomatic || FAutomaticMaximum)
        FMaximum = AutoLimit(this, false);
    if (FAutomatic || FAutomaticMinimum)
        FMinimum = AutoLimit(this, true);
}

void TChartAxis::UpdateRange() {
    CalcAutomaticMinMax();
    FRangeMin = FMinimum;
    FRangeMax = FMaximum;
    UpdateScales();
}

void TChartAxis::SetRange(double RangeMinimum, double RangeMaximum) {
    FRangeMin = RangeMinimum;
    FRangeMax = RangeMaximum;
    UpdateScales();
}

void TChartAxis::UpdateScales() {
    FRangeSpan = FRangeMax - FRangeMin;
    FRangeIsZero = FRangeSpan == 0;
    FPixelsPerUnit = FRangeIsZero ? 0 : FSizePixels / FRangeSpan;
    // The logarithmic scale is kept also while the axis is linear, so that switching it on needs no
    // new draw before the mapping is right.
    FLogMin = FRangeMin > 0 ? std::log(FRangeMin) : 0;
    FLogMax = FRangeMax > 0 ? std::log(FRangeMax) : 0;
    FLogSpan = FLogMax - FLogMin;
    FPixelsPerLogUnit = FLogSpan == 0 ? 0 : FSizePixels / FLogSpan;
    FZPixel = DepthPosition();
}

void TChartAxis::CalcPositions() {
    if (!FParentChart) {
        UpdateSize();
        return;
    }
    int base, size;
    if (FIsDepthAxis) {
        base = 0;
        size = FParentChart->Width3D();
    } else if (FHorizontal) {
        base = FParentChart->ChartRect().Left;
        size = FParentChart->ChartWidth();
    } else {
        base = FParentChart->ChartRect().Top;
        size = FParentChart->ChartHeight();
    }
    FStartPixel = base + RoundToInt(size * 0.01 * FStartPosition);
    FEndPixel = base + RoundToInt(size * 0.01 * FEndPosition);
    UpdateSize();
}

void TChartAxis::SetPixels(int Start, int End) {
    FStartPixel = Start;
    FEndPixel = End;
    UpdateSize();
}

void TChartAxis::UpdateSize() {
    FSizePixels = AddPixels(FEndPixel, -int64_t(FStartPixel));
    FCenterPixel = static_cast<int>((static_cast<int64_t>(FStartPixel) + FEndPixel) / 2);
    UpdateScales();
}

int TChartAxis::DepthPosition() const {
    if (!FParentChart)
        return 0;
    int d = FIsDepthAxis ? FParentChart->ChartHeight() : FParentChart->Width3D();
    return RoundToInt(FZPosition * d * 0.01);
}

bool TChartAxis::HasDateTimeValues() const {
    if (!FParentChart || !FParentChart->SeriesList())
        return false;
    auto* self = const_cast<TChartAxis*>(this);
    for (int i = 0; i < FParentChart->SeriesCount(); ++i) {
        TChartSeries* s = FParentChart->SeriesAt(i);
        if (!s->Active())
            continue;
        if (TChartValueList* list = s->AxisValueList(self))
            return list->DateTime();
    }
    return false;
}

// ---- Value to pixel ----

void TChartAxis::SelectPositionFunctions() {
    if (FIsDepthAxis) {
        FHorizPosFunction = &TChartAxis::DepthPos;
        FVertPosFunction = &TChartAxis::DepthPos;
    } else if (FLogarithmic) {
        FHorizPosFunction = &TChartAxis::LogHorizPos;
        FVertPosFunction = &TChartAxis::LogVertPos;
    } else {
        TChartAxes* axes = FParentChart ? FParentChart->Axes() : nullptr;
        bool fast = axes && axes->FastCalc();
        FHorizPosFunction = fast ? &TChartAxis::FastHorizPos : &TChartAxis::LinearHorizPos;
        FVertPosFunction = fast ? &TChartAxis::FastVertPos : &TChartAxis::LinearVertPos;
    }
    FPosFunction = FHorizontal ? FHorizPosFunction : FVertPosFunction;
}

int TChartAxis::DepthPos(double Value) const {
    if (FRangeIsZero)
        return FCenterPixel;
    return FInverted ? RoundToInt(FPixelsPerUnit * (FRangeMax - Value))
                     : RoundToInt((Value - FRangeMin) * FPixelsPerUnit);
}

namespace {

// Far-off values stop at the limit, inside what the drawing calls accept.
inline int ClampPixel(double P) {
    constexpr int L = TChartAxis::PixelClampLimit;
    if (P > L)
        return L;
    if (P < -L)
        return -L;
    return RoundToInt(P);
}

} // namespace

int TChartAxis::LinearHorizPos(double Value) const {
    if (FRangeIsZero)
        return FCenterPixel;
    double t = (Value - FRangeMin) * FPixelsPerUnit;
    return ClampPixel(FInverted ? FEndPixel - t : FStartPixel + t);
}

int TChartAxis::LinearVertPos(double Value) const {
    if (FRangeIsZero)
        return FCenterPixel;
    double t = (Value - FRangeMin) * FPixelsPerUnit;
    return ClampPixel(FInverted ? FStartPixel + t : FEndPixel - t);
}

void TChartAxis::HorizValuesToPixels(const double* Values, int Count, int* Pixels) const {
    // The linear mapping is by far the most common; calling it directly lets it be inlined.
    if (FHorizPosFunction == &TChartAxis::LinearHorizPos) {
        for (int i = 0; i < Count; ++i)
            Pixels[i] = LinearHorizPos(Values[i]);
    } else {
        for (int i = 0; i < Count; ++i)
            Pixels[i] = (this->*FHorizPosFunction)(Values[i]);
    }
}

void TChartAxis::VertValuesToPixels(const double* Values, int Count, int* Pixels) const {
    if (FVertPosFunction == &TChartAxis::LinearVertPos) {
        for (int i = 0; i < Count; ++i)
            Pixels[i] = LinearVertPos(Values[i]);
    } else {
        for (int i = 0; i < Count; ++i)
            Pixels[i] = (this->*FVertPosFunction)(Values[i]);
    }
}

int TChartAxis::FastHorizPos(double Value) const {
    if (FRangeIsZero)
        return FCenterPixel;
    int t = RoundToInt((Value - FRangeMin) * FPixelsPerUnit);
    return FInverted ? AddPixels(FEndPixel, -int64_t(t)) : AddPixels(FStartPixel, t);
}

int TChartAxis::FastVertPos(double Value) const {
    if (FRangeIsZero)
        return FCenterPixel;
    int t = RoundToInt((Value - FRangeMin) * FPixelsPerUnit);
    return FInverted ? AddPixels(FStartPixel, t) : AddPixels(FEndPixel, -int64_t(t));
}

int TChartAxis::LogHorizPos(double Value) const {
    if (FLogSpan == 0)
        return FCenterPixel;
    if (!(Value > 0))
        return FInverted ? FEndPixel : FStartPixel;
    double l = std::log(Value);
    return FInverted ? FStartPixel + RoundToInt(FPixelsPerLogUnit * (FLogMax - l))
                     : FStartPixel + RoundToInt(FPixelsPerLogUnit * (l - FLogMin));
}

int TChartAxis::LogVertPos(double Value) const {
    if (FLogSpan == 0)
        return FCenterPixel;
    if (!(Value > 0))
        return FInverted ? FStartPixel : FEndPixel;
    double l = std::log(Value);
    return FInverted ? FEndPixel - RoundToInt(FPixelsPerLogUnit * (FLogMax - l))
                     : FEndPixel - RoundToInt((l - FLogMin) * FPixelsPerLogUnit);
}

// ---- Pixel to value ----

double TChartAxis::PixelToValue(int Pixel) const {
    if (!FLogarithmic) {
        if (FSizePixels < 1)
            return 0;
        double t =
            (FInverted ? double(FEndPixel) - Pixel : double(Pixel) - FStartPixel) * FRangeSpan / FSizePixels;
        return FHorizontal ? FRangeMin + t : FRangeMax - t;
    }
    bool startIsMax = FHorizontal ? FInverted : !FInverted;
    if (Pixel == FStartPixel)
        return startIsMax ? FRangeMax : FRangeMin;
    if (Pixel == FEndPixel)
        return startIsMax ? FRangeMin : FRangeMax;
    if (FLogSpan == 0 || FSizePixels == 0)
        return FRangeMin;
    double t = (FInverted ? double(FEndPixel) - Pixel : double(Pixel) - FStartPixel) * FLogSpan / FSizePixels;
    return FHorizontal ? std::exp(FLogMin + t) : std::exp(FLogMax - t);
}

int TChartAxis::ValueSizeToPixels(double Value) const {
    if (!(Value > 0))
        return 0;
    if (FLogarithmic)
        return FLogSpan != 0 ? RoundToInt(std::log(Value) * FPixelsPerLogUnit) : 0;
    return FRangeSpan != 0 ? RoundToInt(Value * FPixelsPerUnit) : 0;
}

// ---- Scrolling and margins ----

void TChartAxis::ScrollBy(double Offset, bool CheckLimits) {
    if (CheckLimits) {
        bool can;
        if (Offset > 0)
            can = AutoLimit(this, false) > FMaximum;
        else if (Offset < 0)
            can = AutoLimit(this, true) < FMinimum;
        else
            can = false;
        if (!can)
            return;
    }
    FAutomatic = false;
    FAutomaticMaximum = false;
    FAutomaticMinimum = false;
    FMaximum += Offset;
    FMinimum += Offset;
    InvalidateChart();
}

void TChartAxis::AdjustRangeToMargins(const TRect& Margins) {
    const int oldStart = FStartPixel;
    const int oldEnd = FEndPixel;
    FStartPixel += FHorizontal ? Margins.Left : Margins.Top;
    FEndPixel -= FHorizontal ? Margins.Right : Margins.Bottom;
    FSizePixels = FEndPixel - FStartPixel;
    double atStart = PixelToValue(oldStart);
    double atEnd = PixelToValue(oldEnd);
    if (FParentChart) {
        CalcPositions();
    } else {
        FStartPixel = oldStart;
        FEndPixel = oldEnd;
        UpdateSize();
    }
    FRangeMin = atStart;
    FRangeMax = atEnd;
    if (FRangeMin > FRangeMax)
        std::swap(FRangeMin, FRangeMax);
    UpdateScales();
}

} // namespace chart
