// Drawing speed against the plainest code that does the same work, measured in the same run: each
// benchmark reports its own time and, as the counter "ratio", how many times the bound it takes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gfx/DeviceContext.h"

using namespace plat;

namespace {

constexpr int kW = 1920, kH = 1080;
using TClock = std::chrono::steady_clock;

std::vector<TPoint> Walk(int count, unsigned seed) {
    std::vector<TPoint> pts;
    int x = kW / 2, y = kH / 2;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        x = std::clamp(x + int((seed >> 8) % 41) - 20, 0, kW - 1);
        seed = seed * 1103515245u + 12345u;
        y = std::clamp(y + int((seed >> 8) % 41) - 20, 0, kH - 1);
        pts.push_back({x, y});
    }
    return pts;
}

// The bound: the plainest one-pixel line there is.
void PlainBresenham(uint32_t* px, const std::vector<TPoint>& pts, uint32_t color) {
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        int x0 = pts[i].X, y0 = pts[i].Y, x1 = pts[i + 1].X, y1 = pts[i + 1].Y;
        int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        while (x0 != x1 || y0 != y1) {
            px[size_t(y0) * kW + x0] = color;
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
}

double Seconds(TClock::time_point a, TClock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

void Polylines(benchmark::State& state, int lines) {
    TImageSurface surface(kW, kH), bound(kW, kH);
    TDeviceContext dc(&surface);
    dc.SelectPen(CreatePen(PS_SOLID, 1, clRed));
    HBRUSH white = CreateSolidBrush(clWhite);
    std::vector<std::vector<TPoint>> paths;
    for (int i = 0; i < lines; ++i)
        paths.push_back(Walk(4096, 7 + i));
    double ours = 0, plain = 0;
    for (auto _ : state) {
        auto t0 = TClock::now();
        dc.FillRect(TRect(0, 0, kW, kH), white);
        for (auto& p : paths)
            dc.Polyline(p.data(), int(p.size()));
        auto t1 = TClock::now();
        std::memset(bound.Pixels(), 0xFF, size_t(kW) * kH * 4);
        for (auto& p : paths)
            PlainBresenham(bound.Pixels(), p, 0x00FF0000);
        auto t2 = TClock::now();
        benchmark::DoNotOptimize(surface.Pixels()[0]);
        benchmark::DoNotOptimize(bound.Pixels()[0]);
        ours += Seconds(t0, t1);
        plain += Seconds(t1, t2);
        state.SetIterationTime(Seconds(t0, t1));
    }
    state.counters["ratio"] = ours / plain;
}

void BM_ClearAndPolyline(benchmark::State& state) {
    Polylines(state, 1);
}
void BM_ClearAndTwentyPolylines(benchmark::State& state) {
    Polylines(state, 20);
}

void BM_ThousandLabels(benchmark::State& state) {
    TImageSurface surface(kW, kH);
    TDeviceContext dc(&surface);
    TLogFont lf;
    lf.FaceName = "Arial";
    lf.Height = -11;
    dc.SelectFont(CreateFontIndirect(lf));
    dc.SetBkMode(TRANSPARENT);
    std::vector<std::string> labels;
    for (int i = 0; i < 1000; ++i)
        labels.push_back(std::to_string(i * 37 % 1000) + ".5 nm");
    for (auto _ : state) {
        auto t0 = TClock::now();
        for (int i = 0; i < 1000; ++i)
            dc.TextOut((i * 97) % (kW - 60), (i * 31) % (kH - 20), labels[i]);
        state.SetIterationTime(Seconds(t0, TClock::now()));
    }
}

void BM_BitBltFullHd(benchmark::State& state) {
    TImageSurface src(kW, kH), dst(kW, kH);
    TDeviceContext sdc(&src), ddc(&dst);
    std::vector<uint32_t> plainSrc(size_t(kW) * kH, 0x123456), plainDst(size_t(kW) * kH);
    double ours = 0, plain = 0;
    for (auto _ : state) {
        auto t0 = TClock::now();
        ddc.BitBlt(0, 0, kW, kH, &sdc, 0, 0, SRCCOPY);
        auto t1 = TClock::now();
        std::memcpy(plainDst.data(), plainSrc.data(), plainSrc.size() * 4);
        auto t2 = TClock::now();
        benchmark::DoNotOptimize(dst.Pixels()[0]);
        benchmark::DoNotOptimize(plainDst[0]);
        ours += Seconds(t0, t1);
        plain += Seconds(t1, t2);
        state.SetIterationTime(Seconds(t0, t1));
    }
    state.counters["ratio"] = ours / plain;
}

} // namespace

BENCHMARK(BM_ClearAndPolyline)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClearAndTwentyPolylines)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThousandLabels)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BitBltFullHd)->UseManualTime()->Unit(benchmark::kMillisecond);
