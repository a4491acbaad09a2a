// Value lists on the roads the application takes: loading a frame in x order, writing a live frame and
// reading its statistics, and adding a point into the middle of an ordered list.
#include <benchmark/benchmark.h>

#include "chart/PlotEngine.h"

namespace {

using chart::TChartValueList;

// Frames of up to 4096 points load in x order: every add is an append without moves.
void BM_AppendInOrder(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        TChartValueList list(nullptr, "X");
        list.SetOrder(chart::loAscending);
        for (int i = 0; i < n; ++i)
            list.AddValue(i);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AppendInOrder)->Arg(4096)->Arg(1 << 20);

// The display step writes every y value of the live frame and the chart then asks for the extremes.
void BM_LiveFrameStatistics(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TChartValueList list(nullptr, "Y");
    for (int i = 0; i < n; ++i)
        list.AddValue(0);
    double sample = 0;
    for (auto _ : state) {
        double* values = list.Value().data();
        for (int i = 0; i < n; ++i)
            values[i] = sample + (i % 97);
        list.SetModified(true);
        benchmark::DoNotOptimize(list.MaxValue());
        sample += 1;
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LiveFrameStatistics)->Arg(4096);

// An x value that belongs near the front of an ordered list moves every later value up.
void BM_InsertNearFront(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TChartValueList list(nullptr, "X");
    list.SetOrder(chart::loAscending);
    for (int i = 0; i < n; ++i)
        list.AddValue(i);
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.AddValue(0.5));
        list.DeleteValue(1);
    }
}
BENCHMARK(BM_InsertNearFront)->Arg(4096);

} // namespace
