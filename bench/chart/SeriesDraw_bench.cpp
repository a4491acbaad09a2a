// Full repaints of a 1920x1080 chart against the least any drawing of the same data must cost: clearing
// the same bitmap and a plain Bresenham of the same polylines into it. Each repaint is timed next to
// one run of that bound, so both see the same load on the machine; the counter "ratio" is chart time
// over bound time (goal: within 3), "bound_us" the bound itself.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "chart/PlotEngine.h"
#include "chart/Series.h"
#include "platform/gfx/Bitmap.h"

namespace {

using namespace chart;
using plat::TBitmap;
using plat::TCanvas;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kPoints = 4096;

class TBenchChart : public TCustomAxisPanel {
public:
    using TCustomAxisPanel::TCustomAxisPanel;
    bool IsFaceHidden(int Depth) override { return View3D() && TCustomAxisPanel::IsFaceHidden(Depth); }
};

// A camera frame: a slow baseline, noise and two peaks; Seed shifts it for the other series.
double FrameValue(int i, int Seed) {
    uint32_t h = static_cast<uint32_t>(i) * 2654435761u + static_cast<uint32_t>(Seed) * 40503u;
    h ^= h >> 15;
    const double noise = (h % 1000) / 1000.0 - 0.5;
    const double a = (i - 1300.0 - Seed * 40) / 70.0, b = (i - 2900.0 + Seed * 25) / 30.0;
    return 500 + Seed * 150 + 200 * std::sin(i * 0.004 + Seed) + 60 * noise + 2500 * std::exp(-a * a) +
           1500 * std::exp(-b * b);
}

// The least work: every pixel cleared, then the polylines drawn one pixel wide, end points excluded.
class TBound {
public:
    explicit TBound(TBitmap& Target) : FTarget(Target) {}

    void Draw(const std::vector<std::vector<plat::TPoint>>& Lines, uint32_t Colour) {
        uint32_t* pixels = FTarget.Surface().Pixels();
        const int stride = FTarget.Surface().StridePixels();
        const int w = FTarget.Width(), h = FTarget.Height();
        for (int y = 0; y < h; ++y) {
            uint32_t* row = pixels + static_cast<size_t>(y) * stride;
            for (int x = 0; x < w; ++x)
                row[x] = 0xFFFFFFFF;
        }
        for (const auto& line : Lines)
            for (size_t k = 0; k + 1 < line.size(); ++k)
                Bresenham(pixels, stride, w, h, line[k], line[k + 1], Colour);
    }

private:
    static void Bresenham(uint32_t* Pixels, int Stride, int W, int H, plat::TPoint A, plat::TPoint B,
                          uint32_t Colour) {
        int x = A.X, y = A.Y;
        const int dx = std::abs(B.X - A.X), dy = -std::abs(B.Y - A.Y);
        const int sx = A.X < B.X ? 1 : -1, sy = A.Y < B.Y ? 1 : -1;
        int err = dx + dy;
        while (x != B.X || y != B.Y) {
            if (x >= 0 && y >= 0 && x < W && y < H)
                Pixels[static_cast<size_t>(y) * Stride + x] = Colour;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }

    TBitmap& FTarget;
};

struct TBenchSetup {
    TBitmap Target{kWidth, kHeight};
    std::unique_ptr<TBenchChart> Chart;
    std::vector<TChartSeries*> Series;

    TBenchSetup() {
        Chart = std::make_unique<TBenchChart>(nullptr);
        Chart->SetBounds(0, 0, kWidth, kHeight);
        Chart->SetView3D(false);
        Chart->SetColor(plat::clWhite);
        Chart->DrawCanvas()->SetBuffered(false);
    }
    void Repaint() { Chart->DrawToCanvas(Target.Canvas(), plat::TRect(0, 0, kWidth, kHeight)); }
    // The pixels of every series as the last draw placed them.
    std::vector<std::vector<plat::TPoint>> Polylines() const {
        std::vector<std::vector<plat::TPoint>> lines;
        for (TChartSeries* s : Series) {
            std::vector<plat::TPoint> line;
            for (int i = 0; i < s->Count(); ++i)
                line.emplace_back(s->CalcXPosValue(s->XValues()->Items(i)),
                                  s->CalcYPosValue(s->YValues()->Items(i)));
            lines.push_back(std::move(line));
        }
        return lines;
    }
};

void RunAgainstBound(benchmark::State& state, TBenchSetup& setup) {
    setup.Repaint();
    const auto lines = setup.Polylines();
    TBound bound(setup.Target);
    using clock = std::chrono::steady_clock;
    double chartSeconds = 0, boundSeconds = 0;
    for (auto _ : state) {
        const auto t0 = clock::now();
        setup.Repaint();
        const auto t1 = clock::now();
        bound.Draw(lines, 0xFF000000);
        const auto t2 = clock::now();
        const double chart = std::chrono::duration<double>(t1 - t0).count();
        chartSeconds += chart;
        boundSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(chart);
    }
    state.counters["bound_us"] = boundSeconds * 1e6 / static_cast<double>(state.iterations());
    state.counters["ratio"] = boundSeconds > 0 ? chartSeconds / boundSeconds : 0;
}

// The live display: one fast-line frame of 4096 points.
void BM_RepaintFastLine4096(benchmark::State& state) {
    TBenchSetup setup;
    auto* s = new TFastLineSeries(nullptr);
    setup.Chart->AddSeries(s);
    s->SetSeriesColor(plat::clBlack);
    s->SuspendUpdates();
    for (int i = 0; i < kPoints; ++i)
        s->AddXY(i, FrameValue(i, 0));
    s->ResumeUpdates();
    setup.Series.push_back(s);
    RunAgainstBound(state, setup);
}
BENCHMARK(BM_RepaintFastLine4096)->UseManualTime()->Unit(benchmark::kMillisecond);

// A chart window with 20 frames of 4096 points each.
void BM_RepaintLineSeries20x4096(benchmark::State& state) {
    TBenchSetup setup;
    for (int k = 0; k < 20; ++k) {
        auto* s = new TLineSeries(nullptr);
        setup.Chart->AddSeries(s);
        s->SuspendUpdates();
        for (int i = 0; i < kPoints; ++i)
            s->AddXY(i, FrameValue(i, k));
        s->ResumeUpdates();
        setup.Series.push_back(s);
    }
    RunAgainstBound(state, setup);
}
BENCHMARK(BM_RepaintLineSeries20x4096)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
