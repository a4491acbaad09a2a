// Which values an axis labels, how far apart, what each label says and how one label is drawn.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/NumberFormat.h"

namespace chart {

using namespace plat;

namespace {

constexpr char kLineSeparator = '\r';
// The value walks give up on a range that would hold this many labels or more.
constexpr double kMaxLabels = 10000;

std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t p = Text.find(kLineSeparator, start);
        if (p == std::string::npos) {
            lines.push_back(Text.substr(start));
            return lines;
        }
        lines.push_back(Text.substr(start, p - start));
        start = p + 1;
    }
}

int WidestLine(TPlotCanvas* Canvas, const std::vector<std::string>& Lines) {
    int w = 0;
    for (const std::string& line : Lines)
        w = std::max(w, Canvas->TextWidth(line));
    return w;
}

// The vertical and horizontal text alignments of labels by orientation and side.
uint32_t SideAlign(bool Horizontal, bool OtherSide) {
    if (Horizontal)
        return OtherSide ? TA_CENTER | TA_BOTTOM : TA_CENTER;
    return OtherSide ? TA_LEFT : TA_RIGHT;
}

} // namespace

// ---- Label style ----

TAxisLabelStyle TChartAxis::CalcLabelStyle() {
    TAxisLabelStyle result = talNone;
    if (!FParentChart || !FParentChart->SeriesList())
        return result;
    for (int i = 0; i < FParentChart->SeriesCount(); ++i) {
        TChartSeries* s = FParentChart->SeriesAt(i);
        if (!s->Active() || !s->UsesAxis(this))
            continue;
        result = talValue;
        if (s->HasZValues())
            continue;
        bool xAlong = FHorizontal ? s->YMandatory() : !s->YMandatory();
        if (xAlong && s->Labels().AnyLabel(s->Count()))
            return talText;
    }
    return result;
}

TAxisLabelStyle TChartDepthAxis::CalcLabelStyle() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || !chart->SeriesList())
        return talText;
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* s = chart->SeriesAt(i);
        if (s->Active() && (s->HasZValues() || s->MaxZ() != s->MinZ()))
            return talValue;
    }
    return talText;
}

TAxisLabelStyle TChartAxis::EffectiveLabelStyle() {
    return FLabelStyle == talAuto ? CalcLabelStyle() : FLabelStyle;
}

// ---- Label texts ----

std::string TChartAxis::LabelText(double Value) {
    std::string text;
    if (!FIsDateTime) {
        text = FormatFloat(FAxisValuesFormat, Value);
    } else if (Value >= 0) {
        const std::string& format =
            FDateTimeFormat.empty() ? ChooseDateTimeFormat(FRangeSpan) : FDateTimeFormat;
        text = FormatDateTime(format, Value);
    }
    if (FParentChart && FParentChart->OnGetAxisLabel)
        FParentChart->OnGetAxisLabel(this, nullptr, -1, text);
    if (FLabelsMultiLine)
        std::replace(text.begin(), text.end(), ' ', kLineSeparator);
    return text;
}

// ---- Increments ----

double TChartAxis::NextLabelStep(double Step) {
    if (std::isinf(Step))
        return 1;
    // Nothing sensible grows from zero, a negative step or NaN: start from the smallest increment.
    if (!(Step > 0))
        return 1e-12;
    int up = 0;
    int down = 0;
    while (Step >= 10) {
        Step /= 10;
        ++up;
    }
    while (Step < 1) {
        Step *= 10;
        ++down;
    }
    double r = Step < 2 ? 2 : Step < 5 ? 5 : 10;
    for (; up > 0; --up)
        r *= 10;
    for (; down > 0; --down)
        r /= 10;
    return r;
}

namespace {

// The factor between neighbouring powers of a logarithmic base: a base below 1 labels the same powers
// as its inverse. 0 for a base that has no powers to step through.
double LogStepFactor(double Base) {
    if (Base > 1)
        return Base;
    if (Base > 0 && Base < 1)
        return 1 / Base;
    return 0;
}

} // namespace

double TChartAxis::LogPowerNear(double Value) const {
    double base = LogStepFactor(FLogarithmicBase);
    if (base == 0 || !(Value > 0))
        return Value;
    return std::pow(base, RoundToInt(std::log(Value) / std::log(base)));
}

double TChartAxis::LabelSizeAlong(const std::string& Text) {
    TPlotCanvas3D* canvas = FParentChart ? FParentChart->DrawCanvas() : nullptr;
    if (!canvas)
        return 0;
    std::vector<std::string> lines = SplitLines(Text);
    bool across = FHorizontal ? (FLabelsAngle == 90 || FLabelsAngle == 270)
                              : (FLabelsAngle == 0 || FLabelsAngle == 180);
    if (across)
        return static_cast<double>(canvas->FontHeight()) * static_cast<double>(lines.size());
    return WidestLine(canvas, lines);
}

double TChartAxis::CalcIncrement() {
    if (TPlotCanvas3D* canvas = FParentChart ? FParentChart->DrawCanvas() : nullptr)
        canvas->UseFont(LabelsFont());
    double size = std::max(LabelSizeAlong(LabelText(FRangeMax)), LabelSizeAlong(LabelText(FRangeMin)));
    if (FIncrement != 0) {
        size = std::max(size, LabelSizeAlong(LabelText(FRangeMin + FIncrement)));
        size = std::max(size, LabelSizeAlong(LabelText(FRangeMax - FIncrement)));
    } else {
        size = std::max(size, LabelSizeAlong(LabelText((FRangeMax + FRangeMin) / 2)));
    }
    int count = 1;
    if (size > 0) {
        double room = size;
        if (FLabelsSeparation > 0)
            room += RoundToInt(FLabelsSeparation * 0.01 * size);
        count = RoundToInt(FSizePixels / room);
    }
    double result = CalcLabelsIncrement(count);
    if (FLabelsAlternate) {
        double factor = FLogarithmic ? LogStepFactor(FLogarithmicBase) : 2;
        if (factor > 0)
            result /= factor;
    }
    return result;
}

double TChartAxis::CalcLabelsIncrement(int MaxNumLabels) {
    const int n = MaxNumLabels;
    if (n < 1)
        return FIsDateTime ? DateTimeStep[dtOneMicroSecond] : 1e-12;

    if (FIsDateTime) {
        double value = std::max(DateTimeStep[dtOneMicroSecond], FIncrement);
        if (value > 0 && n > 0) {
            if (FRangeSpan / value > 1000000)
                value = FRangeSpan / 1000000;
            while (n < RoundToInt(FRangeSpan / value)) {
                double next;
                if (value >= DateTimeStep[dtOneYear])
                    next = value * 2;
                else if (value >= DateTimeStep[dtOneSecond])
                    next = NextDateTimeStep(value);
                else
                    next = NextLabelStep(value);
                if (!(next > value))
                    break;
                value = next;
            }
        }
        return std::max(value, DateTimeStep[dtOneMicroSecond]);
    }

    double value;
    if (FIncrement > 0) {
        value = FIncrement;
    } else if (FRangeSpan == 0) {
        value = 1;
    } else {
        value = std::fabs(FRangeSpan) / (n + 1);
        if (FLogarithmic)
            value = LogPowerNear(value);
        if (FRangeSpan >= 1 && value < 1 && FParentChart && FParentChart->SeriesList()) {
            // A series with no more points than labels would get fractional labels between its points.
            for (int i = 0; i < FParentChart->SeriesCount(); ++i) {
                TChartSeries* s = FParentChart->SeriesAt(i);
                if (!s->Active() || !s->UsesAxis(this))
                    continue;
                bool xAlong = FHorizontal ? s->YMandatory() : !s->YMandatory();
                if (xAlong && s->Count() <= n) {
                    value = 1;
                    break;
                }
            }
        }
    }

    if (FLabelsSeparation >= 1) {
        // A base below 1 (or none at all) must still let the step grow, or the search never ends.
        const double factor = FLogarithmic ? LogStepFactor(FLogarithmicBase) : 0;
        auto grow = [factor](double v) { return factor > 0 ? v * factor : NextLabelStep(v); };
        int m = n + 1;
        do {
            if (std::fabs(FRangeSpan / value) >= 2147483647.0) {
                value = grow(value);
            } else {
                m = RoundToInt(FRangeSpan / value);
                if (n < m)
                    value = grow(value);
            }
        } while (!(n >= m || value > FRangeSpan || std::isinf(value)));
    }

    if (std::isinf(value))
        return FRangeSpan;
    return std::max(value, 1e-12);
}

// ---- Sizes ----

int TChartAxis::MaxLabelsWidth() {
    TPlotCanvas3D* canvas = FParentChart ? FParentChart->DrawCanvas() : nullptr;
    if (!canvas)
        return 0;
    if (FItems->Count() > 0) {
        int w = 0;
        for (int i = 0; i < FItems->Count(); ++i) {
            TAxisItem* item = FItems->Item(i);
            canvas->UseFont(item->Font());
            std::string text = item->Text().empty() ? LabelText(item->Value()) : item->Text();
            w = std::max(w, WidestLine(canvas, SplitLines(text)));
        }
        return w;
    }
    switch (EffectiveLabelStyle()) {
    case talValue: {
        // The chart's label event must not see these trial texts.
        TAxisOnGetLabel& handler = FParentChart->OnGetAxisLabel;
        TAxisOnGetLabel saved;
        std::swap(saved, handler);
        struct TRestore {
            TAxisOnGetLabel& Handler;
            TAxisOnGetLabel& Saved;
            ~TRestore() { std::swap(Handler, Saved); }
        } restore{handler, saved};
        double r1 = FRangeMax;
        double r2 = FRangeMin;
        if (FRoundFirstLabel || (FIsDateTime && FExactDateTime)) {
            double inc = CalcIncrement();
            r1 = std::trunc(FRangeMax / inc) * inc;
            r2 = std::trunc(FRangeMin / inc) * inc;
        }
        canvas->UseFont(LabelsFont());
        int w = std::max(WidestLine(canvas, SplitLines(LabelText(r1))),
                         WidestLine(canvas, SplitLines(LabelText(r2))));
        return w + canvas->TextWidth(" ");
    }
    case talMark:
        return FParentChart->MaxMarkWidth();
    case talText:
        return FParentChart->MaxLabelsTextWidth();
    default:
        return 0;
    }
}

int TChartAxis::LabelSizeFor(TPlotFont* Font, int Angle, int FixedSize, const std::string* Text) {
    if (FixedSize != 0)
        return FixedSize;
    TPlotCanvas3D* canvas = FParentChart ? FParentChart->DrawCanvas() : nullptr;
    if (!canvas)
        return 0;
    canvas->UseFont(Font);
    bool thin = FHorizontal ? (Angle == 0 || Angle == 180) : (Angle == 90 || Angle == 270);
    if (thin)
        return canvas->FontHeight();
    if (Text)
        return canvas->TextWidth(*Text);
    return MaxLabelsWidth();
}

int TChartAxis::MeasureLabelsSpace() {
    int size = LabelSizeFor(LabelsFont(), FLabelsAngle, FLabelsSize);
    return FLabelsAlternate ? size * 2 : size;
}

// ---- The walks over label values ----

int TChartAxis::DateTimeStepOf(double Increment) const {
    if (!FIsDateTime || !FExactDateTime || FIncrement == 0)
        return dtNone;
    int step = DateTimeStepIndex(FIncrement);
    if (step == dtNone)
        return dtNone;
    while (Increment > DateTimeStep[step] && step < dtOneYear)
        ++step;
    return step;
}

void TChartAxis::ValueWalk(double Increment, int StepIndex, const std::function<void(double)>& AtValue) {
    const double inc = Increment;
    if (!(std::fabs(FRangeSpan / inc) < kMaxLabels))
        return;
    const bool calendar = FIsDateTime && FExactDateTime;
    double value;
    if (calendar && StepIndex >= dtOneDay && StepIndex <= dtOneYear)
        value = TruncateDateToStep(StepIndex, FRangeMax);
    else if (!FRoundFirstLabel || FloatToStr(FRangeMin) == FloatToStr(FRangeMax))
        value = FRangeMax;
    else
        value = std::trunc(FRangeMax / inc) * inc;

    auto stepDown = [&](double v) {
        if (calendar && StepIndex >= dtHalfMonth && StepIndex <= dtOneYear)
            IncDecDateTime(true, false, v, StepIndex, inc);
        else
            v -= inc;
        return v;
    };
    // Every loop stops when a step no longer moves the value (an increment below the value's precision).
    while (value > FRangeMax) {
        double next = stepDown(value);
        if (!(next < value))
            break;
        value = next;
    }
    if (FRangeIsZero || std::fabs(FRangeMax - FRangeMin) < 1e-10 ||
        FloatToStr(value) == FloatToStr(value - inc)) {
        AtValue(value);
        return;
    }
    const double limit = FRangeMin < 0 ? FRangeMin : (FRangeMin - 1e-12) / (1 + 1e-12);
    for (int drawn = 0; value >= limit && drawn <= kMaxLabels; ++drawn) {
        AtValue(value);
        double next = stepDown(value);
        if (!(next < value))
            break;
        value = next;
    }
}

void TChartAxis::LogWalk(const std::function<void(double)>& AtValue) {
    if (FRangeMin == FRangeMax)
        return;
    double first;
    if (FRangeMin > 0) {
        first = LogPowerNear(FRangeMin);
    } else {
        // Nothing at or below zero has a logarithm: the walk (and the mapping with it) starts higher.
        FRangeMin = FRangeMin == 0 ? 0.1 : LogPowerNear(1e-10);
        UpdateScales();
        first = FRangeMin;
    }
    const double factor = LogStepFactor(FLogarithmicBase);
    if (FMinorGrid->Visible()) {
        double v = first >= FRangeMin && factor > 0 ? FRangeMin / factor : first;
        if (v < FRangeMin)
            AddTick(ValueToPixel(v));
    }
    bool drawn = false;
    if (factor > 0) {
        for (double v = first; v <= FRangeMax; v *= factor) {
            if (v >= FRangeMin) {
                AtValue(v);
                drawn = true;
            }
        }
    }
    if (!drawn && factor > 0 && first > 0) {
        double step = std::pow(factor, std::log(first) / std::log(factor) - 1);
        if (step > 0 && (FRangeMax - first) / step < kMaxLabels) {
            for (double v = first; v <= FRangeMax; v += step)
                if (v >= FRangeMin)
                    AtValue(v);
        }
    }
    if (FMinorGrid->Visible() && first > FRangeMax)
        AddTick(ValueToPixel(first));
}

void TChartAxis::EventWalk(double Increment, int StepIndex, const std::function<void(double)>& AtValue) {
    TAxisOnGetNextLabel& handler = FParentChart->OnGetNextAxisLabel;
    double value = FRangeMin;
    bool stop = true;
    for (int index = 0; index <= 2000; ++index) {
        handler(this, index, value, stop);
        if (stop) {
            if (index == 0) {
                if (FLogarithmic && FIncrement == 0)
                    LogWalk(AtValue);
                else
                    ValueWalk(Increment, StepIndex, AtValue);
            }
            return;
        }
        if (!(value >= FRangeMin - 1e-7 && value <= FRangeMax + 1e-7))
            return;
        AtValue(value);
    }
}

std::vector<double> TChartAxis::LabelValues() {
    std::vector<double> values;
    auto collect = [&values](double v) { values.push_back(v); };
    double inc = CalcIncrement();
    int step = DateTimeStepOf(inc);
    if (!((inc > 0 || (step >= dtHalfMonth && step <= dtOneYear)) && FRangeMax >= FRangeMin))
        return values;
    if (FParentChart && FParentChart->OnGetNextAxisLabel)
        EventWalk(inc, step, collect);
    else if (FLogarithmic && FIncrement == 0)
        LogWalk(collect);
    else
        ValueWalk(inc, step, collect);
    return values;
}

// ---- Drawing the labels ----

void TChartAxis::DrawAxisLabels(bool RecalcPosition) {
    TPlotCanvas3D* canvas = FParentChart ? FParentChart->DrawCanvas() : nullptr;
    if (!canvas)
        return;
    FIsDateTime = HasDateTimeValues();
    const TRect chartRect = FParentChart->ChartRect();
    if (RecalcPosition)
        FAxisPixel = ApplyPositionPercent(AxisEdge(chartRect), chartRect);

    if (FTitle->Visible() && !FTitle->Caption().empty()) {
        if (FIsDepthAxis)
            DrawTitle(FTitlePixel, DepthAxisRow());
        else if (FHorizontal)
            DrawTitle(FCenterPixel, FTitlePixel);
        else
            DrawTitle(FTitlePixel, FCenterPixel);
    }
    FTickPositions.clear();
    FAlternateFlag = FHorizontal;

    if (FItems->Count() > 0) {
        DrawCustomItems();
    } else {
        TAxisLabelStyle style = EffectiveLabelStyle();
        if (style != talNone) {
            canvas->UseFont(LabelsFont());
            double inc = CalcIncrement();
            int step = DateTimeStepOf(inc);
            if ((inc > 0 || (step >= dtHalfMonth && step <= dtOneYear)) && FRangeMax >= FRangeMin) {
                auto atValue = [this](double v) { DrawValueLabel(v); };
                if (style == talValue) {
                    if (FParentChart->OnGetNextAxisLabel)
                        EventWalk(inc, step, atValue);
                    else if (FLogarithmic && FIncrement == 0)
                        LogWalk(atValue);
                    else
                        ValueWalk(inc, step, atValue);
                } else if (style == talMark) {
                    DrawSeriesLabels(true);
                } else if (style == talText) {
                    if (FIsDepthAxis)
                        DrawDepthTitles();
                    else
                        DrawSeriesLabels(false);
                }
            }
        }
    }
    DrawAxisLinesAndGrid();
}

void TChartAxis::DrawValueLabel(double Value) {
    int p = ValueToPixel(Value);
    if (FLabelsOnAxis || (FStartPixel < p && p < FEndPixel)) {
        if (!FTickOnLabelsOnly)
            AddTick(p);
        if (Labels())
            DrawLabelAt(p, LabelText(Value), nullptr);
    }
}

void TChartAxis::DrawSeriesLabels(bool UseMarks) {
    TPlotCanvas3D* canvas = FParentChart->DrawCanvas();
    FSeriesList.clear();
    int first = -1;
    int last = -1;
    for (int i = 0; i < FParentChart->SeriesCount(); ++i) {
        TChartSeries* s = FParentChart->SeriesAt(i);
        if (!s->Active() || !s->UsesAxis(this))
            continue;
        FSeriesList.push_back(s);
        s->CalcVisibleRange();
        int f = s->FirstVisibleIndex();
        int l = s->LastVisibleIndex();
        if (f != -1 && (first == -1 || f < first))
            first = f;
        if (l > last)
            last = l;
    }
    struct TClear {
        std::vector<TChartSeries*>& List;
        ~TClear() { List.clear(); }
    } clearList{FSeriesList};
    if (first == -1 || last == -1)
        return;

    const bool along = FHorizontal ? (FLabelsAngle != 90 && FLabelsAngle != 270)
                                   : (FLabelsAngle == 90 || FLabelsAngle == 270);
    const TAxisOnGetLabel& handler = FParentChart->OnGetAxisLabel;
    bool hasPrevious = false;
    int previousPixel = 0;
    int previousHalf = 0;
    for (int index = first; index <= last; ++index) {
        TChartSeries* supplier = nullptr;
        std::string text;
        for (TChartSeries* s : FSeriesList) {
            int f = s->FirstVisibleIndex();
            int l = s->LastVisibleIndex();
            if (f == -1 || index < f || index > l || index >= s->Count())
                continue;
            text = UseMarks ? s->GetMarkText(index) : s->XLabel(index);
            if (!text.empty()) {
                supplier = s;
                break;
            }
        }
        if (!supplier)
            continue;
        if (handler)
            handler(this, supplier, index, text);
        double value = FHorizontal ? supplier->GetXValue(index) : supplier->GetYValue(index);
        if (!(value >= FRangeMin && value <= FRangeMax))
            continue;
        int p = ValueToPixel(value);
        if (!FTickOnLabelsOnly)
            AddTick(p);
        if (!Labels())
            continue;
        canvas->UseFont(LabelsFont());
        std::vector<std::string> lines = SplitLines(text);
        int size = along ? WidestLine(canvas, lines) : canvas->FontHeight() * static_cast<int>(lines.size());
        if (FLabelsSeparation != 0 && hasPrevious) {
            int half = (size + static_cast<int>(size * 0.02 * FLabelsSeparation)) / 2;
            bool fits = p >= previousPixel ? p - half >= previousPixel + previousHalf
                                           : p + half <= previousPixel - previousHalf;
            if (fits) {
                DrawLabelAt(p, text, nullptr);
                previousPixel = p;
                previousHalf = half;
            }
        } else {
            DrawLabelAt(p, text, nullptr);
            hasPrevious = true;
            previousPixel = p;
            previousHalf = size / 2;
        }
    }
}

void TChartAxis::DrawDepthTitles() {
    if (FParentChart->ActiveSeriesCount() < 1)
        return;
    if (!(FRangeMax - FRangeMin < kMaxLabels))
        return;
    const TAxisOnGetLabel& handler = FParentChart->OnGetAxisLabel;
    const int last = static_cast<int>(std::trunc(FRangeMax));
    for (int i = static_cast<int>(std::trunc(FRangeMin)); i <= last; ++i) {
        int p = VertValueToPixel(FRangeMax - i - 0.5);
        if (!FTickOnLabelsOnly)
            AddTick(p);
        if (Labels()) {
            std::string text = FParentChart->LegendSeriesTitle(i, true);
            if (handler)
                handler(this, nullptr, i, text);
            DrawLabelAt(p, text, nullptr);
        }
    }
}

void TChartAxis::DrawCustomItems() {
    for (int i = 0; i < FItems->Count(); ++i) {
        TAxisItem* item = FItems->Item(i);
        double v = item->Value();
        if (!(v >= FMinimum && v <= FMaximum))
            continue;
        int p = ValueToPixel(v);
        if (!FTickOnLabelsOnly)
            AddTick(p);
        if (item->Visible())
            DrawLabelAt(p, item->Text().empty() ? LabelText(v) : item->Text(), item);
    }
}

int TChartAxis::DepthAxisRow() const {
    const TRect& r = FParentChart->ChartRect();
    return FOtherSide ? r.Bottom - FZPixel : r.Top + FZPixel;
}

void TChartAxis::DrawLabelAt(int Pixel, const std::string& Text, TPlotCustomShape* Shape) {
    TPlotCanvas3D* canvas = FParentChart ? FParentChart->DrawCanvas() : nullptr;
    if (!canvas)
        return;
    if (FTickOnLabelsOnly)
        AddTick(Pixel);
    TPlotFont* font = Shape ? Shape->Font() : LabelsFont();

    int across = FLabelsPixel;
    if (FLabelsAlternate && !FIsDepthAxis) {
        bool onFirstRow = FAlternateFlag;
        FAlternateFlag = !FAlternateFlag;
        if (!onFirstRow) {
            if (FHorizontal) {
                canvas->UseFont(font);
                int h = canvas->FontHeight();
                across += FOtherSide ? -h : h;
            } else {
                int w = MaxLabelsWidth();
                across += FOtherSide ? w : -w;
            }
        }
    }
    canvas->UseFont(font);
    canvas->Brush()->SetStyle(bsClear);
    // The grid of the axis drawn before this one leaves the surface opaque; text must not box itself.
    canvas->SetBackMode(TRANSPARENT);

    if (FIsDepthAxis) {
        int p = Pixel;
        // Depth labels sit half a line lower when the view is not rotated.
        const TView3DOptions* view = FParentChart->View3DOptions();
        if (view->Rotation() == 360 || view->Orthogonal())
            p += canvas->FontHeight() / 2;
        int x = FOtherSide ? FLabelsPixel : FLabelsPixel - canvas->TextWidth("W") / 2 - 2;
        canvas->SetTextAlign(FOtherSide ? TA_LEFT : TA_RIGHT);
        canvas->TextOut3D(x, DepthAxisRow(), p, Text);
        canvas->SetTextAlign(TA_LEFT);
        return;
    }
    if (FHorizontal)
        DrawAxisLabel(Pixel, across, Shape, Text, FLabelsAngle);
    else
        DrawAxisLabel(across, Pixel, Shape, Text, FLabelsAngle);
}

void TChartAxis::DrawAxisLabel(int X, int Y, TPlotCustomShape* Shape, const std::string& Text, int Angle) {
    TPlotCanvas3D* canvas = FParentChart ? FParentChart->DrawCanvas() : nullptr;
    if (!canvas)
        return;
    TPlotFont* font = canvas->CurrentChartFont();
    int x = X;
    int y = Y;
    const int h2 = canvas->FontHeight() / 2;
    const bool far = FOtherSide;
    const bool horiz = FHorizontal;
    uint32_t align = 0;
    switch (Angle) {
    case 0:
    case 360:
        if (horiz) {
            align = SideAlign(true, far);
        } else {
            if (FLabelsAlign == alDefault) {
                align = SideAlign(false, far);
            } else {
                int space = MeasureLabelsSpace();
                if (font)
                    canvas->UseFont(font);
                if (far) {
                    align = TA_RIGHT;
                    x += space;
                } else {
                    align = TA_LEFT;
                    x -= space;
                }
            }
            y -= h2;
        }
        break;
    case 45:
        align = TA_LEFT;
        if (horiz) {
            if (far) {
                int c = canvas->TextWidth("Wj");
                x -= c;
                y -= c;
            } else {
                int c = RoundToInt(canvas->TextWidth(Text) * std::sin(std::numbers::pi / 4));
                x -= c;
                y += c;
            }
        }
        break;
    case 90:
        if (horiz) {
            align = SideAlign(false, far);
            x -= h2;
        } else {
            align = SideAlign(true, !far);
        }
        break;
    case 180:
        align = SideAlign(horiz, !far);
        if (!horiz)
            y += h2;
        break;
    case 270:
        if (horiz) {
            align = SideAlign(false, !far);
            x += h2;
        } else {
            align = SideAlign(true, far);
        }
        break;
    default:
        align = TA_LEFT;
        break;
    }

    std::vector<std::string> lines = SplitLines(Text);
    int count = static_cast<int>(lines.size());
    const int fontHeight = canvas->FontHeight();
    const int h = (Angle == 180 || Angle == 270) ? -fontHeight : fontHeight;
    if (horiz) {
        if (Angle == 0)
            y -= far ? h * count : h;
        else if (Angle == 180)
            y -= far ? h : h * count;
        else if (Angle == 90 || Angle == 270)
            x -= RoundToInt(h * 0.5 * (count + 1));
    } else {
        if (Angle == 0 || Angle == 180)
            y -= RoundToInt(h * 0.5 * (count + 1));
        else if (Angle == 90)
            x -= far ? h : h * count;
        else if (Angle == 270)
            x -= far ? h * count : h;
    }

    TPlotCustomShape* frame = Shape ? Shape : FItems->Format();
    if (!frame->Transparent()) {
        int width = WidestLine(canvas, lines);
        int blockHeight = fontHeight * count;
        TRect r;
        r.Left = x;
        r.Top = y + h;
        uint32_t a = align;
        if (a & TA_BOTTOM) {
            r.Top -= blockHeight;
            a &= ~static_cast<uint32_t>(TA_BOTTOM);
        }
        r.Bottom = r.Top + blockHeight;
        r.Right = r.Left + width;
        if (a == TA_RIGHT) {
            r.Left = x - width;
            r.Right = x;
        } else if (a == TA_CENTER) {
            r.Left -= width / 2;
            r.Right -= width / 2;
        }
        int w2 = canvas->TextWidth("W") / 2;
        r.Left -= w2;
        r.Right += w2;
        if (FZPixel != 0)
            r = canvas->CalcRect3D(r, FZPixel);
        frame->DrawShapeRect(r, FLabelsAngle, 0);
        canvas->Brush()->SetStyle(bsClear);
        if (font)
            canvas->UseFont(font);
    }

    canvas->SetTextAlign(align);
    int z = FZPixel;
    std::string text = Text;
    if (OnDrawLabel) {
        bool draw = true;
        OnDrawLabel(this, x, y, z, text, draw);
        if (!draw) {
            canvas->SetTextAlign(TA_LEFT);
            return;
        }
        lines = SplitLines(text);
    }
    for (const std::string& line : lines) {
        if (Angle == 0) {
            y += h;
            if (FLabelsExponent)
                DrawExponentLine(x, y, z, line);
            else
                canvas->TextOut3D(x, y, z, line);
        } else {
            if (Angle == 90 || Angle == 270)
                x += h;
            else if (Angle == 180)
                y += h;
            canvas->RotatedTextWithZ(x, y, z, line, Angle);
        }
    }
    canvas->SetTextAlign(TA_LEFT);
}

void TChartAxis::DrawExponentLine(int X, int Y, int Z, const std::string& Line) {
    TPlotCanvas3D* canvas = FParentChart->DrawCanvas();
    size_t e = Line.find_first_of("Ee");
    if (e == std::string::npos) {
        canvas->TextOut3D(X, Y, Z, Line);
        return;
    }
    const std::string mantissa = Line.substr(0, e);
    const std::string exponent = Line.substr(e + 1);
    const int h1 = canvas->FontHeight() - 1;
    const int mantissaWidth = canvas->TextWidth(mantissa);
    TFont* font = canvas->Font();
    const int size = font->Size();
    font->SetSize(size - size / 4);
    struct TRestoreSize {
        TFont* Font;
        int Size;
        ~TRestoreSize() { Font->SetSize(Size); }
    } restore{font, size};
    const int raised = Y - h1 / 2 + 2;
    if ((canvas->GetTextAlign() & TA_CENTER) == TA_LEFT) {
        font->SetSize(size);
        canvas->TextOut3D(X, Y, Z, mantissa);
        font->SetSize(size - size / 4);
        canvas->TextOut3D(X + mantissaWidth + 1, raised, Z, exponent);
    } else {
        canvas->TextOut3D(X, raised, Z, exponent);
        const int exponentWidth = canvas->TextWidth(exponent);
        font->SetSize(size);
        canvas->TextOut3D(X - exponentWidth - 1, Y, Z, mantissa);
    }
}

} // namespace chart
