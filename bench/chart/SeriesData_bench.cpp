// The data exporters on a chart of 20 series x 4096 points, each against the least any writer of the same
// numbers must do: std::to_chars into one buffer and one file write.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "chart/PlotEngineAxisPanel.h"
#include "chart/Series.h"
#include "chart/SeriesData.h"

namespace {

constexpr int SeriesCount = 20;
constexpr int Points = 4096;

struct TBenchChart {
    std::unique_ptr<chart::TCustomAxisPanel> Chart = std::make_unique<chart::TCustomAxisPanel>(nullptr);
    TBenchChart() {
        for (int s = 0; s < SeriesCount; ++s) {
            auto* series = new chart::TFastLineSeries(nullptr);
            Chart->AddSeries(series);
            // Calibrated x values and measured y values: numbers with decimals, as the frames hold.
            for (int i = 0; i < Points; ++i)
                series->AddXY(400.0 + i * 0.125, 1000.0 * s + (i * 37 % 4093) / 8.0);
        }
    }
};

TBenchChart& Data() {
    static TBenchChart data;
    return data;
}

std::string TargetFile(const char* Name) {
    return (std::filesystem::temp_directory_path() / Name).string();
}

// The same numbers, row by row, as the delimited text has them.
void BM_Baseline_ToChars(benchmark::State& state) {
    chart::TCustomAxisPanel* c = Data().Chart.get();
    const std::string file = TargetFile("lumetra-bench-baseline.txt");
    for (auto _ : state) {
        std::string out;
        out.resize(static_cast<size_t>(Points) * SeriesCount * 2 * 26);
        char* p = out.data();
        char* end = p + out.size();
        for (int i = 0; i < Points; ++i) {
            for (int s = 0; s < SeriesCount; ++s) {
                chart::TChartSeries* series = c->Series(s);
                if (s > 0)
                    *p++ = '\t';
                p = std::to_chars(p, end, (*series->XValues())[i]).ptr;
                *p++ = '\t';
                p = std::to_chars(p, end, (*series->YValues())[i]).ptr;
            }
            *p++ = '\r';
            *p++ = '\n';
        }
        out.resize(static_cast<size_t>(p - out.data()));
        std::FILE* f = std::fopen(file.c_str(), "wb");
        std::fwrite(out.data(), 1, out.size(), f);
        std::fclose(f);
        benchmark::DoNotOptimize(out.data());
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_Baseline_ToChars)->Unit(benchmark::kMillisecond);

template <class TExporter> void BM_Export(benchmark::State& state, const char* Name) {
    const std::string file = TargetFile(Name);
    for (auto _ : state) {
        TExporter data(Data().Chart.get(), nullptr);
        data.SetWithLabels(false);
        data.SaveToFile(file);
    }
    std::filesystem::remove(file);
}
void BM_ExportText(benchmark::State& state) {
    BM_Export<chart::TSeriesDataText>(state, "lumetra-bench.txt");
}
BENCHMARK(BM_ExportText)->Unit(benchmark::kMillisecond);
void BM_ExportXls(benchmark::State& state) {
    BM_Export<chart::TSeriesDataXLS>(state, "lumetra-bench.xls");
}
BENCHMARK(BM_ExportXls)->Unit(benchmark::kMillisecond);
void BM_ExportHtml(benchmark::State& state) {
    BM_Export<chart::TSeriesDataHTML>(state, "lumetra-bench.html");
}
BENCHMARK(BM_ExportHtml)->Unit(benchmark::kMillisecond);
void BM_ExportXml(benchmark::State& state) {
    BM_Export<chart::TSeriesDataXML>(state, "lumetra-bench.xml");
}
BENCHMARK(BM_ExportXml)->Unit(benchmark::kMillisecond);

// The text alone, without the file: what the exporter itself costs.
void BM_TextAsString(benchmark::State& state) {
    for (auto _ : state) {
        chart::TSeriesDataText data(Data().Chart.get(), nullptr);
        benchmark::DoNotOptimize(data.AsString());
    }
}
BENCHMARK(BM_TextAsString)->Unit(benchmark::kMillisecond);

} // namespace
