// The frame filters against the same work in numpy/scipy on this machine. The Google benchmarks report
// the routines on arrays and through series; after them both sides are timed the same way (best of
// several repeats, time per call) and the ratio printed. Without a python3 that has numpy and scipy the
// comparison is skipped with a note.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "analysis/UnitMath.h"
#include "analysis/UnitSGFilter.h"
#include "chart/PlotEngine.h"
#include "chart/PlotEngineSeries.h"

namespace {

constexpr int Points = 4096;
constexpr int SavGolSide = 12; // window 25
constexpr int SavGolDegree = 4;
constexpr int AverageWidth = 21;

std::vector<double> Frame() {
    std::mt19937 gen(1);
    std::uniform_real_distribution<double> dist(0, 1000);
    std::vector<double> y(Points);
    for (double& v : y)
        v = dist(gen);
    return y;
}

std::unique_ptr<chart::TChartSeries> FrameSeries() {
    auto s = std::make_unique<chart::TChartSeries>(nullptr);
    const std::vector<double> y = Frame();
    for (int i = 0; i < Points; ++i)
        s->AddPoint(i, y[i]);
    return s;
}

void SavGolArray() {
    static const std::vector<double> y = Frame();
    analysis::TDoubleArray out;
    analysis::SavGolFilter(y, out, SavGolSide, SavGolSide, SavGolDegree, 0);
    benchmark::DoNotOptimize(out.data());
}

void MovingAverageArray() {
    static const std::vector<double> y = Frame();
    std::vector<double> out(y.size());
    analysis::MovingAverage(y, AverageWidth, out);
    benchmark::DoNotOptimize(out.data());
}

void BM_SavGolFilter(benchmark::State& state) {
    for (auto _ : state)
        SavGolArray();
    state.SetItemsProcessed(state.iterations() * Points);
}
BENCHMARK(BM_SavGolFilter);

// The chart window's road: a frame series in, a new series filled point by point.
void BM_SavGolFilterSeries(benchmark::State& state) {
    auto source = FrameSeries();
    chart::TChartSeries target(nullptr);
    for (auto _ : state)
        analysis::SavGolFilter(source.get(), &target, SavGolSide, SavGolSide, SavGolDegree, 0);
    state.SetItemsProcessed(state.iterations() * Points);
}
BENCHMARK(BM_SavGolFilterSeries);

void BM_MovingAverage(benchmark::State& state) {
    for (auto _ : state)
        MovingAverageArray();
    state.SetItemsProcessed(state.iterations() * Points);
}
BENCHMARK(BM_MovingAverage);

void BM_MovingAverageSeries(benchmark::State& state) {
    auto source = FrameSeries();
    chart::TChartSeries target(nullptr);
    for (auto _ : state)
        analysis::MovingAverage(source.get(), &target, AverageWidth);
    state.SetItemsProcessed(state.iterations() * Points);
}
BENCHMARK(BM_MovingAverageSeries);

// Seconds per call, the best of several repeats: what python's timeit reports on the other side.
double BestPerCall(const std::function<void()>& Work, int Calls = 200, int Repeats = 7) {
    double best = 1e30;
    for (int r = 0; r < Repeats; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int c = 0; c < Calls; ++c)
            Work();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        best = std::min(best, s / Calls);
    }
    return best;
}

// Both scipy ways of each job are timed; the faster one is the yardstick.
const char* const TimingScript = R"(
import sys, timeit
try:
    import numpy as np
    from scipy.signal import savgol_coeffs, savgol_filter
except Exception:
    sys.exit(3)
y = np.random.default_rng(1).random(4096) * 1000
k = np.ones(21) / 21
def best(f):
    return min(timeit.repeat(f, number=200, repeat=7)) / 200
def sg_convolve():
    return np.convolve(y, savgol_coeffs(25, 4), mode='same')
def sg_filter():
    return savgol_filter(y, 25, 4, mode='constant')
def ma_convolve():
    return np.convolve(y, k, mode='same')
def ma_cumsum():
    c = np.cumsum(np.concatenate(([0.0], y)))
    return (c[21:] - c[:-21]) / 21
times = {f.__name__: best(f) for f in (sg_convolve, sg_filter, ma_convolve, ma_cumsum)}
for name, t in times.items():
    print(name, t)
print('savgol', min(times['sg_convolve'], times['sg_filter']))
print('moving_average', min(times['ma_convolve'], times['ma_cumsum']))
)";

struct TScipyTimes {
    double SavGol = 0, MovingAverage = 0;
    std::string Detail;
};

// Runs the script with the first python3 that has numpy and scipy.
bool TimeScipy(TScipyTimes& Times) {
    char path[] = "/tmp/lumetra-numerics-XXXXXX.py";
    const int fd = mkstemps(path, 3);
    if (fd < 0)
        return false;
    close(fd);
    std::ofstream(path) << TimingScript;
    bool found = false;
    for (const char* python : {"python3", "/usr/bin/python3"}) {
        const std::string command = std::string(python) + " " + path + " 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            continue;
        TScipyTimes t;
        char name[64];
        double seconds;
        while (std::fscanf(pipe, "%63s %lf", name, &seconds) == 2) {
            const std::string n = name;
            if (n == "savgol")
                t.SavGol = seconds;
            else if (n == "moving_average")
                t.MovingAverage = seconds;
            else
                t.Detail += "  scipy " + n + ": " + std::to_string(seconds * 1e6) + " us\n";
        }
        pclose(pipe);
        if (t.SavGol > 0 && t.MovingAverage > 0) {
            Times = t;
            found = true;
            break;
        }
    }
    std::filesystem::remove(path);
    return found;
}

void CompareWithScipy() {
    TScipyTimes scipy;
    if (!TimeScipy(scipy)) {
        std::printf("\nscipy comparison skipped: no python3 with numpy and scipy found\n");
        return;
    }
    const double savGol = BestPerCall(SavGolArray), average = BestPerCall(MovingAverageArray);
    // For the record: the same filters through series, where adding the points one by one costs more
    // than the arithmetic.
    auto source = FrameSeries();
    chart::TChartSeries target(nullptr);
    const double savGolSeries = BestPerCall(
        [&] { analysis::SavGolFilter(source.get(), &target, SavGolSide, SavGolSide, SavGolDegree, 0); }, 50);
    const double averageSeries =
        BestPerCall([&] { analysis::MovingAverage(source.get(), &target, AverageWidth); }, 50);
    std::printf("\nAgainst numpy/scipy (best of 7 repeats, time per call; goal: ratio at most 0.5)\n%s",
                scipy.Detail.c_str());
    std::printf("Savitzky-Golay, window 25, order 4, %d points: Lumetra %.1f us, scipy %.1f us\n", Points,
                savGol * 1e6, scipy.SavGol * 1e6);
    std::printf("ratio (Lumetra / scipy): %.3f\n", savGol / scipy.SavGol);
    std::printf("Moving average, window 21, %d points: Lumetra %.1f us, numpy %.1f us\n", Points,
                average * 1e6, scipy.MovingAverage * 1e6);
    std::printf("ratio (Lumetra / scipy): %.3f\n", average / scipy.MovingAverage);
    std::printf("Through series (target cleared and filled point by point): Savitzky-Golay %.1f us, "
                "moving average %.1f us\n",
                savGolSeries * 1e6, averageSeries * 1e6);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CompareWithScipy();
    return 0;
}
