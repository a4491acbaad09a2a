#include "analysis/UnitMath.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "analysis/FrameAccess.h"
#include "analysis/WindowSums.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Types.h"

namespace analysis {

namespace {

// 1.7E308: the start of a running minimum, and the value that keeps a running maximum from growing.
constexpr double Huge = std::bit_cast<double>(uint64_t{0x7FEE42D130773B76});

} // namespace

const double EmptyMaximum = std::bit_cast<double>(uint64_t{0x0000000000000001});
const double EmptyMinimum = Huge;

namespace {

// Clips Start..End into a frame of Count points and puts it in order; false when there are no points. Both
// ends are clipped, so a range lying wholly outside the frame still reads only points that exist.
bool ClipRange(size_t Count, int& Start, int& End) {
    if (Count == 0)
        return false;
    const int last = static_cast<int>(std::min<size_t>(Count, INT32_MAX)) - 1;
    Start = std::clamp(Start, 0, last);
    End = std::clamp(End, 0, last);
    if (End < Start)
        std::swap(Start, End);
    return true;
}

double RangeSum(TValues Y, int Start, int End) {
    double s = 0;
    for (int i = Start; i <= End; ++i)
        s += Y[i];
    return s;
}

// Copies of a frame's values, taken before the target is cleared so that a target that is also a source
// still reads its old points.
struct TFrameCopy {
    std::vector<double> X, Y;
};

TFrameCopy CopyOf(chart::TChartSeries* Frame) {
    const TValues x = frame::XOf(Frame), y = frame::YOf(Frame);
    return {std::vector<double>(x.begin(), x.end()), std::vector<double>(y.begin(), y.end())};
}

// Runs Op on every point of the source and writes the results into the cleared target.
template <typename TOp> void MapFrame(chart::TChartSeries* Source, chart::TChartSeries* Target, TOp Op) {
    if (!Source || !Target)
        return;
    TFrameCopy f = CopyOf(Source);
    for (double& y : f.Y)
        y = Op(y);
    Target->ClearPoints();
    frame::AppendPoints(Target, f.X, f.Y);
}

enum class TFrameSum { Add, Subtract, Average };

void CombineFrames(TFrameList Frames, chart::TChartSeries* Target, TFrameSum Kind, bool OnlyPositive) {
    if (Frames.size() < 2 || !Target)
        return;
    std::vector<TValues> ys;
    int longest = 0;
    TValues x;
    for (chart::TChartSeries* f : Frames) {
        ys.push_back(f ? frame::YOf(f) : TValues());
        if (f && frame::PointCount(f) > longest) {
            longest = frame::PointCount(f);
            x = frame::XOf(f);
        }
    }
    std::vector<double> outX(x.begin(), x.end()), outY(static_cast<size_t>(longest));
    for (size_t j = 0; j < outY.size(); ++j) {
        double s = 0;
        for (size_t k = 0; k < ys.size(); ++k) {
            if (j >= ys[k].size())
                continue;
            if (Kind == TFrameSum::Subtract && k > 0)
                s -= ys[k][j];
            else
                s += ys[k][j];
        }
        if (Kind == TFrameSum::Average)
            s /= static_cast<double>(ys.size());
        else if (Kind == TFrameSum::Subtract && OnlyPositive && s < 0)
            s = 0;
        outY[j] = s;
    }
    Target->ClearPoints();
    frame::AppendPoints(Target, outX, outY);
}

} // namespace

double SeriesMean(TValues Y, int Start, int End) {
    if (!ClipRange(Y.size(), Start, End))
        return 0;
    if (Start == End)
        return Y[Start];
    return RangeSum(Y, Start, End) / (End - Start + 1);
}

double SeriesMean(chart::TChartSeries* Frame, int Start, int End) {
    return Frame ? SeriesMean(frame::YOf(Frame), Start, End) : 0;
}

double SeriesRms(TValues Y, int Start, int End) {
    if (!ClipRange(Y.size(), Start, End))
        return 0;
    if (Start == End)
        return std::fabs(Y[Start]);
    double s = 0;
    for (int i = Start; i <= End; ++i)
        s += Y[i] * Y[i];
    return std::sqrt(s / (End - Start + 1));
}

double SeriesRms(chart::TChartSeries* Frame, int Start, int End) {
    return Frame ? SeriesRms(frame::YOf(Frame), Start, End) : 0;
}

void SeriesStatistics(TValues Y, int Start, int End, double& Deviation, double& Mean, double& Maximum,
                      double& Minimum) {
    if (!ClipRange(Y.size(), Start, End)) {
        Deviation = 0;
        Mean = 0;
        Maximum = EmptyMaximum;
        Minimum = EmptyMinimum;
        return;
    }
    if (Start == End) {
        Deviation = 0;
        Mean = Maximum = Minimum = Y[Start];
        return;
    }
    const int n = End - Start + 1;
    Mean = RangeSum(Y, Start, End) / n;
    Maximum = Minimum = Y[Start];
    double squares = 0;
    for (int i = Start; i <= End; ++i) {
        if (Y[i] > Maximum)
            Maximum = Y[i];
        if (Y[i] < Minimum)
            Minimum = Y[i];
        const double d = Y[i] - Mean;
        squares += d * d;
    }
    Deviation = std::sqrt(squares / (n - 1));
}

void SeriesStatistics(chart::TChartSeries* Frame, int Start, int End, double& Deviation, double& Mean,
                      double& Maximum, double& Minimum) {
    SeriesStatistics(Frame ? frame::YOf(Frame) : TValues(), Start, End, Deviation, Mean, Maximum, Minimum);
}

void MovingAverage(TValues Y, int Width, std::span<double> Out) {
    const int n = static_cast<int>(std::min(Y.size(), Out.size()));
    // A width below 1 would give a window of negative size; it copies like a width of 1.
    const int h = static_cast<int>(std::max<int64_t>((int64_t{Width} - 1) / 2, 0));
    int first = n, last = -1; // points whose window is the full width
    if (h < n && n - 1 - h >= h) {
        first = h;
        last = n - 1 - h;
        const int w = 2 * h + 1;
        WindowSums(Y.data(), n, w, Out.data() + first);
        for (int i = first; i <= last; ++i)
            Out[i] /= w;
    }
    for (int i = 0; i < n; ++i) {
        if (i == first) {
            i = last;
            continue;
        }
        const int r = std::min({h, i, n - 1 - i});
        double s = 0;
        for (int k = i - r; k <= i + r; ++k)
            s += Y[k];
        Out[i] = s / (2 * r + 1);
    }
}

void MovingAverage(chart::TChartSeries* Source, chart::TChartSeries* Target, int Width) {
    if (!Source || !Target)
        return;
    TFrameCopy f = CopyOf(Source);
    std::vector<double> out(f.Y.size());
    MovingAverage(f.Y, Width, out);
    Target->ClearPoints();
    frame::AppendPoints(Target, f.X, out);
}

void AddFrames(TFrameList Frames, chart::TChartSeries* Target) {
    CombineFrames(Frames, Target, TFrameSum::Add, false);
}

void SubtractFrames(TFrameList Frames, chart::TChartSeries* Target, bool OnlyPositive) {
    CombineFrames(Frames, Target, TFrameSum::Subtract, OnlyPositive);
}

void AverageFrames(TFrameList Frames, chart::TChartSeries* Target) {
    CombineFrames(Frames, Target, TFrameSum::Average, false);
}

void AddConstant(chart::TChartSeries* Source, chart::TChartSeries* Target, double C) {
    MapFrame(Source, Target, [C](double y) { return y + C; });
}

void SubtractConstant(chart::TChartSeries* Source, chart::TChartSeries* Target, bool OnlyPositive, double C) {
    MapFrame(Source, Target, [C, OnlyPositive](double y) {
        const double r = y - C;
        return OnlyPositive && r < 0 ? 0.0 : r;
    });
}

void MultiplyConstant(chart::TChartSeries* Source, chart::TChartSeries* Target, double C) {
    MapFrame(Source, Target, [C](double y) { return y * C; });
}

void DivideConstant(chart::TChartSeries* Source, chart::TChartSeries* Target, double C) {
    if (!Source || !Target)
        return;
    if (C == 0) {
        const TValues y = frame::YOf(Source);
        const bool any = !y.empty();
        const bool invalid = any && (y[0] == 0 || std::isnan(y[0]));
        Target->ClearPoints();
        if (invalid)
            throw plat::EMathError("Invalid floating point operation");
        if (any)
            throw plat::EZeroDivide("Floating point division by zero");
        return;
    }
    MapFrame(Source, Target, [C](double y) { return y / C; });
}

namespace {

// The even step from the first to the last x; 0 when there is none to place a value by.
double EvenStep(TValues X) {
    const size_t n = X.size();
    if (n < 2)
        return 0;
    const double step = (X[n - 1] - X[0]) / static_cast<double>(n - 1);
    return std::isfinite(step) ? step : 0;
}

} // namespace

int NearestStepIndex(TValues X, double Value) {
    const size_t n = X.size();
    if (n == 0)
        return -1;
    const double step = EvenStep(X);
    if (step == 0)
        return 0;
    const double q = (Value - X[0]) / step;
    if (std::isnan(q))
        return 0;
    const double last = static_cast<double>(std::min<size_t>(n, INT32_MAX) - 1);
    return static_cast<int>(plat::Round(std::clamp(q, 0.0, last)));
}

void BandIndices(TValues X, double From, double To, int& Start, int& End) {
    Start = 0;
    End = static_cast<int>(std::min<size_t>(X.size(), INT32_MAX)) - 1;
    if (EvenStep(X) == 0)
        return;
    Start = NearestStepIndex(X, From);
    End = NearestStepIndex(X, To);
    if (Start > End)
        std::swap(Start, End);
}

int32_t FindPeaks(TValues X, TValues Y, const PeakSettings& Settings, TPeaksObject& Peaks) {
    Peaks.ClearPeaks();
    const int n = static_cast<int>(std::min({X.size(), Y.size(), size_t{INT32_MAX}}));
    // A negative threshold would accept every point as its own extremum and never end the scan.
    const double delta = Settings.Threshold < 0 ? 0.0 : Settings.Threshold;

    // The scan: a maximum becomes a peak once the signal falls more than delta below it, a minimum a valley
    // once the signal rises more than delta above it. After each find the scan resumes at the extremum
    // itself, whose value starts the search for the opposite kind.
    bool haveMax = false, lookForPeak = true;
    double maxValue = 0, minValue = Huge;
    int maxIndex = -1, minIndex = -1;
    for (int i = 0; i < n; ++i) {
        const double y = Y[i];
        if (std::isnan(y))
            continue;
        if (!haveMax || y > maxValue) {
            haveMax = true;
            maxValue = y;
            maxIndex = i;
        }
        if (y < minValue) {
            minValue = y;
            minIndex = i;
        }
        if (lookForPeak) {
            if (maxValue - delta > y && maxValue >= Settings.MinPeak) {
                Peaks.AddPeak(maxIndex);
                i = std::max(maxIndex - 1, 0);
                minValue = Huge;
                minIndex = -1;
                maxValue = Huge; // frozen while looking for the valley
                lookForPeak = false;
            }
        } else if (minIndex >= 0 && minValue + delta < y) {
            Peaks.AddValley(minIndex);
            i = std::max(minIndex - 1, 0);
            haveMax = false;
            lookForPeak = true;
        }
    }

    // Close neighbours collapse into the highest of them; of two equal ones the left goes.
    if (Settings.MinDistance > 0) {
        int k = 0;
        while (k <= Peaks.PeakCount() - 2) {
            const int a = Peaks.PeakAt(k), b = Peaks.PeakAt(k + 1);
            if (std::fabs(X[a] - X[b]) < Settings.MinDistance) {
                const int drop = Y[b] < Y[a] ? k + 1 : k;
                Peaks.DeletePeak(drop);
                Peaks.DeleteValley(drop);
            } else {
                ++k;
            }
        }
    }

    if (Settings.WantedCount > 0 && Peaks.PeakCount() > 0) {
        if (Settings.Highest) {
            while (Peaks.PeakCount() > Settings.WantedCount) {
                int lowest = 0;
                for (int k = 1; k < Peaks.PeakCount(); ++k)
                    if (Y[Peaks.PeakAt(k)] < Y[Peaks.PeakAt(lowest)])
                        lowest = k;
                Peaks.DeletePeak(lowest);
                Peaks.DeleteValley(lowest);
            }
        } else {
            Peaks.TruncatePeaks(Settings.WantedCount);
            Peaks.TruncateValleys(Settings.WantedCount);
        }
    }
    return Peaks.PeakCount();
}

int32_t FindPeaks(chart::TChartSeries* Frame, const PeakSettings& Settings, TPeaksObject* Peaks) {
    if (!Frame || !Peaks)
        return 0;
    return FindPeaks(frame::XOf(Frame), frame::YOf(Frame), Settings, *Peaks);
}

} // namespace analysis
