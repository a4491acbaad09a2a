#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "analysis/FrameFixture.h"
#include "analysis/UnitMath.h"
#include "platform/rtl/Exception.h"

using namespace analysis;
using analysis_test::MakeFrame;
using analysis_test::Ramp;
using analysis_test::XsOf;
using analysis_test::YsOf;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

struct TStats {
    double Deviation, Mean, Maximum, Minimum;
};

TStats Stats(const std::vector<double>& Y, int Start, int End) {
    TStats s{};
    SeriesStatistics(Y, Start, End, s.Deviation, s.Mean, s.Maximum, s.Minimum);
    return s;
}

// --- Statistics ---

TEST(Statistics, KnownData) {
    const std::vector<double> y = {2, 4, 4, 4, 5, 5, 7, 9};
    const TStats s = Stats(y, 0, 7);
    EXPECT_DOUBLE_EQ(s.Mean, 5);
    EXPECT_DOUBLE_EQ(s.Maximum, 9);
    EXPECT_DOUBLE_EQ(s.Minimum, 2);
    EXPECT_DOUBLE_EQ(s.Deviation, std::sqrt(32.0 / 7)); // sample deviation: n - 1
    EXPECT_DOUBLE_EQ(SeriesMean(y, 0, 7), 5);
    EXPECT_DOUBLE_EQ(SeriesRms(y, 0, 7), std::sqrt(29.0));
    // A part of the frame.
    EXPECT_DOUBLE_EQ(SeriesMean(y, 1, 3), 4);
    EXPECT_DOUBLE_EQ(SeriesRms(y, 6, 7), std::sqrt(65.0));
}

TEST(Statistics, TwoValues) {
    const TStats s = Stats({1, 3}, 0, 1);
    EXPECT_EQ(s.Mean, 2);
    EXPECT_EQ(s.Maximum, 3);
    EXPECT_EQ(s.Minimum, 1);
    EXPECT_DOUBLE_EQ(s.Deviation, std::sqrt(2.0));
}

TEST(Statistics, OnePointRange) {
    const std::vector<double> y = {1, -3, 5};
    EXPECT_EQ(SeriesMean(y, 1, 1), -3);
    EXPECT_EQ(SeriesRms(y, 1, 1), 3);
    // No overflow through the square for one point.
    EXPECT_EQ(SeriesRms(std::vector<double>{-1e200}, 0, 0), 1e200);
    const TStats s = Stats(y, 1, 1);
    EXPECT_EQ(s.Mean, -3);
    EXPECT_EQ(s.Maximum, -3);
    EXPECT_EQ(s.Minimum, -3);
    EXPECT_EQ(s.Deviation, 0);
}

TEST(Statistics, RangeIsOrderedAndClipped) {
    const std::vector<double> y = {7, 1, 8, 2, 9, 3, 4};
    const TStats forward = Stats(y, 2, 5), backward = Stats(y, 5, 2);
    EXPECT_EQ(forward.Mean, backward.Mean);
    EXPECT_EQ(forward.Deviation, backward.Deviation);
    EXPECT_EQ(forward.Maximum, backward.Maximum);
    EXPECT_EQ(SeriesMean(y, 4, 100), SeriesMean(y, 4, 6));
    EXPECT_EQ(SeriesRms(y, -5, 1), SeriesRms(y, 0, 1));
    // Ranges lying wholly outside the frame read only points that exist.
    EXPECT_EQ(SeriesMean(y, 10, 20), 4);
    EXPECT_EQ(SeriesMean(y, 0, -5), 7);
    EXPECT_EQ(Stats(y, 50, 60).Maximum, 4);
}

TEST(Statistics, AllNegativeFrame) {
    const TStats s = Stats({-5, -2, -9, -3}, 0, 3);
    EXPECT_EQ(s.Maximum, -2);
    EXPECT_EQ(s.Minimum, -9);
}

TEST(Statistics, EmptyFrame) {
    const std::vector<double> none;
    EXPECT_EQ(SeriesMean(none, 0, 10), 0);
    EXPECT_EQ(SeriesRms(none, 0, 10), 0);
    const TStats s = Stats(none, 0, 10);
    EXPECT_EQ(s.Deviation, 0);
    EXPECT_EQ(s.Mean, 0);
    EXPECT_EQ(std::bit_cast<uint64_t>(s.Maximum), 0x0000000000000001u);
    EXPECT_EQ(std::bit_cast<uint64_t>(s.Minimum), 0x7FEE42D130773B76u);
    chart::TChartSeries* noFrame = nullptr;
    EXPECT_EQ(SeriesMean(noFrame, 0, 1), 0);
}

TEST(Statistics, ThroughSeries) {
    auto f = MakeFrame({1, 3});
    TStats s{};
    SeriesStatistics(f.get(), 0, 1, s.Deviation, s.Mean, s.Maximum, s.Minimum);
    EXPECT_EQ(s.Mean, 2);
    EXPECT_DOUBLE_EQ(s.Deviation, std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(SeriesRms(f.get(), 0, 1), std::sqrt(5.0));
    EXPECT_EQ(SeriesMean(f.get(), 1, 1), 3);
}

// --- Moving average ---

// The window shrinks symmetrically at both ends, summed in index order.
std::vector<double> NaiveMovingAverage(const std::vector<double>& y, int w) {
    const int n = static_cast<int>(y.size()), h = std::max((w - 1) / 2, 0);
    std::vector<double> out(y.size());
    for (int i = 0; i < n; ++i) {
        const int r = std::min({h, i, n - 1 - i});
        double s = 0;
        for (int k = i - r; k <= i + r; ++k)
            s += y[k];
        out[i] = s / (2 * r + 1);
    }
    return out;
}

std::vector<double> Average(const std::vector<double>& y, int w) {
    std::vector<double> out(y.size(), -1);
    MovingAverage(y, w, out);
    return out;
}

TEST(MovingAverage, ShrinksAtTheEnds) {
    const std::vector<double> y = {3, 9, 4, 1, 7, 2, 8, 6, 5, 10};
    const std::vector<double> out = Average(y, 5);
    EXPECT_EQ(out[0], y[0]);
    EXPECT_EQ(out[1], (3 + 9 + 4) / 3.0);
    EXPECT_EQ(out[2], (3 + 9 + 4 + 1 + 7) / 5.0);
    EXPECT_EQ(out[7], (2 + 8 + 6 + 5 + 10) / 5.0);
    EXPECT_EQ(out[8], (6 + 5 + 10) / 3.0);
    EXPECT_EQ(out[9], y[9]);
}

TEST(MovingAverage, WindowWiderThanFrame) {
    const std::vector<double> y = {1, 2, 4, 8, 16};
    const std::vector<double> out = Average(y, 21);
    EXPECT_EQ(out, (std::vector<double>{1, 7 / 3.0, 31 / 5.0, 28 / 3.0, 16}));
}

TEST(MovingAverage, SmallWidthsCopy) {
    const std::vector<double> y = {1, 5, 2, 8};
    for (int w : {1, 2, 0, -1, -7, std::numeric_limits<int>::min()})
        EXPECT_EQ(Average(y, w), y) << "width " << w;
}

// The vectorised interior must add exactly like the plain loop, for every size around its block edges.
TEST(MovingAverage, MatchesPlainSumsExactly) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> dist(-1000, 1000);
    for (int n : {0, 1, 2, 3, 15, 16, 17, 31, 33, 100, 4096}) {
        std::vector<double> y(static_cast<size_t>(n));
        for (double& v : y)
            v = dist(gen);
        for (int w : {3, 5, 21, 31, 33, 201, 2001})
            EXPECT_EQ(Average(y, w), NaiveMovingAverage(y, w)) << "n " << n << " w " << w;
    }
}

TEST(MovingAverage, NaNStaysInItsWindows) {
    std::vector<double> y(100, 1.0);
    y[50] = NaN;
    const std::vector<double> out = Average(y, 5);
    for (int i = 0; i < 100; ++i) {
        if (i >= 48 && i <= 52)
            EXPECT_TRUE(std::isnan(out[i])) << i;
        else
            EXPECT_EQ(out[i], 1.0) << i;
    }
}

TEST(MovingAverage, ThroughSeries) {
    auto source = MakeFrame({10, 20, 30, 40}, {3, 9, 4, 1});
    auto target = MakeFrame({99}, {99});
    MovingAverage(source.get(), target.get(), 3);
    EXPECT_EQ(XsOf(*target), (std::vector<double>{10, 20, 30, 40}));
    EXPECT_EQ(YsOf(*target), (std::vector<double>{3, 16 / 3.0, 14 / 3.0, 1}));

    // A missing frame changes nothing; an empty source leaves the target cleared.
    MovingAverage(nullptr, target.get(), 3);
    EXPECT_EQ(target->Count(), 4);
    auto empty = MakeFrame({});
    MovingAverage(empty.get(), target.get(), 3);
    EXPECT_EQ(target->Count(), 0);
}

// --- Frame arithmetic ---

TEST(FrameArithmetic, FramesOfDifferentLengths) {
    auto a = MakeFrame({0, 1, 2}, {6, 8, 10});
    auto b = MakeFrame({5, 6}, {1, 2});
    std::vector<chart::TChartSeries*> frames = {b.get(), a.get()};
    auto target = MakeFrame({});

    AverageFrames(frames, target.get());
    // The longest frame gives the x values; the third point is its Y[2] over the number of frames.
    EXPECT_EQ(XsOf(*target), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(YsOf(*target), (std::vector<double>{3.5, 5, 5}));

    AddFrames(frames, target.get());
    EXPECT_EQ(YsOf(*target), (std::vector<double>{7, 10, 10}));

    // The first frame has no third point: the result starts from 0 there.
    SubtractFrames(frames, target.get(), false);
    EXPECT_EQ(YsOf(*target), (std::vector<double>{-5, -6, -10}));
    SubtractFrames(frames, target.get(), true);
    EXPECT_EQ(YsOf(*target), (std::vector<double>{0, 0, 0}));
}

TEST(FrameArithmetic, SubtractOnlyPositive) {
    auto a = MakeFrame({5, 9});
    auto b = MakeFrame({7, 4});
    std::vector<chart::TChartSeries*> frames = {a.get(), b.get()};
    auto target = MakeFrame({});
    SubtractFrames(frames, target.get(), false);
    EXPECT_EQ(YsOf(*target), (std::vector<double>{-2, 5}));
    SubtractFrames(frames, target.get(), true);
    EXPECT_EQ(YsOf(*target), (std::vector<double>{0, 5}));
}

TEST(FrameArithmetic, FewerThanTwoFramesLeaveTheTarget) {
    auto a = MakeFrame({5, 9});
    auto target = MakeFrame({1, 2, 3});
    std::vector<chart::TChartSeries*> one = {a.get()};
    AddFrames(one, target.get());
    SubtractFrames(one, target.get(), true);
    AverageFrames({}, target.get());
    EXPECT_EQ(YsOf(*target), (std::vector<double>{1, 2, 3}));
    // A missing frame in the list counts as a frame without points.
    std::vector<chart::TChartSeries*> withNull = {a.get(), nullptr};
    AverageFrames(withNull, target.get());
    EXPECT_EQ(YsOf(*target), (std::vector<double>{2.5, 4.5}));
}

TEST(FrameArithmetic, Constants) {
    auto source = MakeFrame({1, 2, 3}, {4, -1, 0.5});
    auto target = MakeFrame({});
    AddConstant(source.get(), target.get(), 2);
    EXPECT_EQ(YsOf(*target), (std::vector<double>{6, 1, 2.5}));
    EXPECT_EQ(XsOf(*target), (std::vector<double>{1, 2, 3}));
    SubtractConstant(source.get(), target.get(), false, 1);
    EXPECT_EQ(YsOf(*target), (std::vector<double>{3, -2, -0.5}));
    SubtractConstant(source.get(), target.get(), true, 1);
    EXPECT_EQ(YsOf(*target), (std::vector<double>{3, 0, 0}));
    MultiplyConstant(source.get(), target.get(), -2);
    EXPECT_EQ(YsOf(*target), (std::vector<double>{-8, 2, -1}));
    DivideConstant(source.get(), target.get(), 4);
    EXPECT_EQ(YsOf(*target), (std::vector<double>{1, -0.25, 0.125}));
    // A source that is also the target still reads its own old points.
    MultiplyConstant(target.get(), target.get(), 8);
    EXPECT_EQ(YsOf(*target), (std::vector<double>{8, -2, 1}));
}

TEST(FrameArithmetic, DivideByZeroRaisesAndLeavesTheTargetEmpty) {
    auto target = MakeFrame({1, 2});
    auto source = MakeFrame({4, 0});
    try {
        DivideConstant(source.get(), target.get(), 0);
        FAIL() << "no error";
    } catch (const plat::EZeroDivide& e) {
        EXPECT_EQ(e.Message(), "Floating point division by zero");
    }
    EXPECT_EQ(target->Count(), 0);

    auto zeroFirst = MakeFrame({0, 4});
    try {
        DivideConstant(zeroFirst.get(), target.get(), 0);
        FAIL() << "no error";
    } catch (const plat::EMathError& e) {
        EXPECT_EQ(e.Message(), "Invalid floating point operation");
    }

    // Nothing to divide: no error.
    auto empty = MakeFrame({});
    EXPECT_NO_THROW(DivideConstant(empty.get(), target.get(), 0));
}

// --- Band edges ---

TEST(NearestStepIndex, EvenlySpacedFrame) {
    const std::vector<double> x = Ramp(2048);
    EXPECT_EQ(NearestStepIndex(x, 400), 400);
    EXPECT_EQ(NearestStepIndex(x, 500), 500);
    EXPECT_EQ(NearestStepIndex(x, 2.5), 2); // halves go to the even neighbour
    EXPECT_EQ(NearestStepIndex(x, 3.5), 4);
    EXPECT_EQ(NearestStepIndex(x, -40), 0);
    EXPECT_EQ(NearestStepIndex(x, 1e300), 2047);
    EXPECT_EQ(NearestStepIndex(Ramp(11, 100, -10), 45), 6); // descending x
}

TEST(NearestStepIndex, DegenerateFramesNeverDivideByZero) {
    EXPECT_EQ(NearestStepIndex(std::vector<double>{}, 5), -1);
    EXPECT_EQ(NearestStepIndex(std::vector<double>{3}, 5), 0);
    EXPECT_EQ(NearestStepIndex(std::vector<double>{3, 3, 3}, 5), 0);
    EXPECT_EQ(NearestStepIndex(Ramp(5), NaN), 0);
}

TEST(BandIndices, EdgesBecomePointIndicesOrTheWholeFrame) {
    struct TCase {
        const char* Name;
        std::vector<double> X;
        double From, To;
        int Start, End;
    };
    const TCase cases[] = {
        {"inside", Ramp(10), 2.4, 6.6, 2, 7},     {"halves go to even", Ramp(10), 2.5, 5.5, 2, 6},
        {"reversed edges", Ramp(10), 7, 3, 3, 7}, {"beyond both ends", Ramp(10), -40, 400, 0, 9},
        {"one point", {5}, 0, 9, 0, 0},           {"equal first and last x", {3, 3, 3, 3}, 0, 1, 0, 3},
        {"no points", {}, 0, 1, 0, -1},
    };
    for (const TCase& c : cases) {
        int start = -7, end = -7;
        BandIndices(c.X, c.From, c.To, start, end);
        EXPECT_EQ(start, c.Start) << c.Name;
        EXPECT_EQ(end, c.End) << c.Name;
    }
}

// --- Peak finder ---

struct TPeakCase {
    const char* Name;
    std::vector<double> Y;
    PeakSettings Settings;
    std::vector<int> Peaks, Valleys;
};

std::vector<int> PeakList(const TPeaksObject& p) {
    std::vector<int> v;
    for (int i = 0; i < p.PeakCount(); ++i)
        v.push_back(p.PeakAt(i));
    return v;
}

std::vector<int> ValleyList(const TPeaksObject& p) {
    std::vector<int> v;
    for (int i = 0; i < p.ValleyCount(); ++i)
        v.push_back(p.ValleyAt(i));
    return v;
}

PeakSettings Delta(double Threshold, double MinPeak = -1e300) {
    PeakSettings s;
    s.Threshold = Threshold;
    s.MinPeak = MinPeak;
    return s;
}

TEST(FindPeaks, Cases) {
    PeakSettings keepHighest = Delta(1), keepFirst = Delta(1);
    keepHighest.WantedCount = keepFirst.WantedCount = 2;
    keepHighest.Highest = true;
    PeakSettings keepAll = Delta(1);
    keepAll.WantedCount = 0;

    const std::vector<TPeakCase> cases = {
        {"two peaks, no trailing valley", {0, 5, 0, 5, 0}, Delta(2, 1), {1, 3}, {2}},
        {"minimum peak too high", {0, 5, 0, 5, 0}, Delta(2, 6), {}, {}},
        {"plateau keeps its first point", {0, 5, 5, 0}, Delta(2), {1}, {}},
        {"ramp without a fall", {0, 1, 2, 3, 4, 5}, Delta(2), {}, {}},
        {"fall not beyond the threshold", {0, 5, 3, 5, 3}, Delta(2), {}, {}},
        {"peak at the first point", {9, 1, 5, 0}, Delta(2), {0, 2}, {1}},
        {"all negative", {-10, -5, -10, -6, -10}, Delta(2, -20), {1, 3}, {2}},
        {"highest kept", {0, 3, 0, 9, 0, 5, 0}, keepHighest, {3, 5}, {4}},
        {"first kept", {0, 3, 0, 9, 0, 5, 0}, keepFirst, {1, 3}, {2, 4}},
        {"no limit", {0, 3, 0, 9, 0, 5, 0}, keepAll, {1, 3, 5}, {2, 4}},
        {"NaN points passed over", {0, NaN, 5, NaN, 0, 5, 0}, Delta(2), {2, 5}, {4}},
        {"negative threshold acts as 0", {0, 5, 4, 6, 1}, Delta(-3), {1, 3}, {2}},
        {"zero threshold", {0, 5, 4, 6, 1}, Delta(0), {1, 3}, {2}},
    };
    for (const TPeakCase& c : cases) {
        TPeaksObject peaks;
        peaks.AddPeak(99);
        const int found = FindPeaks(Ramp(static_cast<int>(c.Y.size())), c.Y, c.Settings, peaks);
        EXPECT_EQ(found, static_cast<int>(c.Peaks.size())) << c.Name;
        EXPECT_EQ(PeakList(peaks), c.Peaks) << c.Name;
        EXPECT_EQ(ValleyList(peaks), c.Valleys) << c.Name;
    }
}

TEST(FindPeaks, MinimumDistanceKeepsTheHighestOfCloseNeighbours) {
    // Two equal peaks 2 apart: the left one goes, with the valley at its list position.
    PeakSettings s = Delta(2);
    s.MinDistance = 5;
    TPeaksObject peaks;
    const std::vector<double> x = {0, 10, 11, 12, 20};
    EXPECT_EQ(FindPeaks(x, std::vector<double>{0, 8, 0, 8, 0}, s, peaks), 1);
    EXPECT_EQ(PeakList(peaks), std::vector<int>{3});
    EXPECT_EQ(ValleyList(peaks), std::vector<int>{});

    // A run of close peaks collapses into its highest member; a far one stays.
    const std::vector<double> xs = {0, 1, 2, 3, 4, 5, 6, 7, 30, 31};
    const std::vector<double> ys = {0, 4, 0, 9, 0, 6, 0, 7, 0, 0};
    s.MinDistance = 3;
    EXPECT_EQ(FindPeaks(xs, ys, s, peaks), 2);
    EXPECT_EQ(PeakList(peaks), (std::vector<int>{3, 7}));
}

TEST(FindPeaks, ThroughSeries) {
    auto frame = MakeFrame({0, 5, 0, 5, 0});
    TPeaksObject peaks;
    EXPECT_EQ(FindPeaks(frame.get(), Delta(2, 1), &peaks), 2);
    EXPECT_EQ(PeakList(peaks), (std::vector<int>{1, 3}));
    // Without a frame the list stays as it was; an empty frame clears it.
    EXPECT_EQ(FindPeaks(nullptr, Delta(2), &peaks), 0);
    EXPECT_EQ(peaks.PeakCount(), 2);
    EXPECT_EQ(FindPeaks(frame.get(), Delta(2), nullptr), 0);
    auto empty = MakeFrame({});
    EXPECT_EQ(FindPeaks(empty.get(), Delta(2), &peaks), 0);
    EXPECT_EQ(peaks.PeakCount(), 0);
}

// A noisy frame of many peaks: each peak really is the largest value since the valley before it, and
// peaks and valleys alternate in increasing point order.
TEST(FindPeaks, AlternatesOnNoisyData) {
    std::mt19937 gen(3);
    std::normal_distribution<double> noise(0, 1);
    std::vector<double> y(4096);
    for (size_t i = 0; i < y.size(); ++i)
        y[i] = 50 * std::sin(i * 0.05) + noise(gen);
    TPeaksObject peaks;
    const int found = FindPeaks(Ramp(4096), y, Delta(10), peaks);
    ASSERT_GT(found, 20);
    ASSERT_TRUE(peaks.ValleyCount() == found || peaks.ValleyCount() == found - 1);
    for (int k = 0; k < found; ++k) {
        if (k < peaks.ValleyCount()) {
            EXPECT_LT(peaks.PeakAt(k), peaks.ValleyAt(k));
            EXPECT_GT(y[peaks.PeakAt(k)], y[peaks.ValleyAt(k)] + 10);
        }
        if (k + 1 < found) {
            EXPECT_LT(peaks.ValleyAt(k), peaks.PeakAt(k + 1));
        }
    }
}

} // namespace
