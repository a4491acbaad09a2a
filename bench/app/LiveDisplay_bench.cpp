// The live window's display step on a real X display (run it under Xvfb: xvfb-run -a -s "-screen 0
// 1920x1080x24"): a 4096-pixel 16-bit frame converted, written into the live series, the 1920x1080 chart
// repainted through its window and the picture put on the X server (waited for), against the least any
// display of the same frame must cost: clearing the same bitmap and a plain Bresenham of the frame's
// polyline into it. Both run in each iteration, so they see the same load on the machine; "ratio" is display
// time over bound time, "bound_us" the bound.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/CCDThread.h"
#include "app/CameraDefs.h"
#include "chart/PlotEngine.h"
#include "chart/Series.h"
#include "platform/backend/Backend.h"
#include "platform/gfx/Bitmap.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/WindowSystem.h"

namespace {

using namespace chart;
using plat::TBitmap;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kPixels = 4096;

class TBenchChart : public TCustomAxisPanel {
public:
    using TCustomAxisPanel::TCustomAxisPanel;
    bool IsFaceHidden(int Depth) override { return View3D() && TCustomAxisPanel::IsFaceHidden(Depth); }
};

class TBenchDisplay : public ICCDDisplay {
public:
    TFastLineSeries* Series = nullptr;
    int MaxIndex = -1;
    TChartSeries* DisplaySeries() override { return Series; }
    TChartSeries* SubtractedDarkFrame() override { return nullptr; }
    void ShowAcquisitionStatus(int, const std::string&) override {}
    void ReleaseOneShot() override {}
    void ShowMaximum(int Index, double) override {
        MaxIndex = Index;
        ++Displays;
    }
    int64_t Displays = 0;
    void AcquisitionLost(const std::string&) override {}
};

// Raw little-endian 16-bit samples of a lamp spectrum; Frame shifts the noise.
std::vector<uint8_t> RawFrame(int Frame) {
    std::vector<uint8_t> raw(2 * kPixels);
    for (int i = 0; i < kPixels; ++i) {
        uint32_t h = static_cast<uint32_t>(i) * 2654435761u + static_cast<uint32_t>(Frame) * 40503u;
        h ^= h >> 15;
        const double a = (i - 1300.0) / 20.0, b = (i - 2900.0) / 12.0;
        const double v = 800 + 2000 * std::sin(i * 0.0015) + (h % 200) + 60000 * std::exp(-a * a) +
                         30000 * std::exp(-b * b);
        const uint16_t s = static_cast<uint16_t>(std::min(v, 65535.0));
        raw[2 * i] = static_cast<uint8_t>(s);
        raw[2 * i + 1] = static_cast<uint8_t>(s >> 8);
    }
    return raw;
}

// The test driver runs its windows on the X display when asked to; without a display the benchmark says so.
bool UseXDisplay(benchmark::State& state) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        state.SkipWithError("needs an X display (run it under xvfb-run)");
        return false;
    }
    setenv("LUMETRA_TEST_X11", "1", 1);
    return true;
}

void Bresenham(uint32_t* Pixels, int Stride, plat::TPoint A, plat::TPoint B) {
    int x = A.X, y = A.Y;
    const int dx = std::abs(B.X - A.X), dy = -std::abs(B.Y - A.Y);
    const int sx = A.X < B.X ? 1 : -1, sy = A.Y < B.Y ? 1 : -1;
    int err = dx + dy;
    while (x != B.X || y != B.Y) {
        if (x >= 0 && y >= 0 && x < kWidth && y < kHeight)
            Pixels[static_cast<size_t>(y) * Stride + x] = 0xFF000000;
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

void BM_LiveDisplayStep4096x16Bit(benchmark::State& state) {
    if (!UseXDisplay(state))
        return;
    plat::TTestDriver driver;
    plat::TForm* form = plat::NewForm<plat::TForm>(plat::Application);
    form->SetBorderStyle(plat::bsNone);
    form->SetBounds(0, 0, kWidth, kHeight);
    auto* chart = new TBenchChart(form);
    chart->SetParent(form);
    chart->SetBounds(0, 0, kWidth, kHeight);
    chart->SetView3D(false);
    chart->SetColor(plat::clWhite);
    chart->LeftAxis()->SetAutomatic(false);
    chart->LeftAxis()->SetAxisRange(0, 66000);
    auto* series = new TFastLineSeries(nullptr);
    chart->AddSeries(series);
    series->SetSeriesColor(plat::clBlack);
    series->SetAutoRepaint(false);
    for (int i = 0; i < kPixels; ++i)
        series->AddXY(i, 0);
    TBenchDisplay display;
    display.Series = series;
    form->Show();
    driver.Pump();
    TBitmap target(kWidth, kHeight);
    const std::vector<uint8_t> frames[2] = {RawFrame(0), RawFrame(1)};
    std::vector<double> sum(kPixels);
    std::vector<plat::TPoint> line(kPixels);
    using clock = std::chrono::steady_clock;
    double displaySeconds = 0, boundSeconds = 0;
    int k = 0;
    for (auto _ : state) {
        const std::vector<uint8_t>& raw = frames[k++ & 1];
        const auto t0 = clock::now();
        for (int i = 0; i < kPixels; ++i)
            sum[i] = static_cast<uint16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
        DisplayFrame(sum.data(), kPixels, 1.0, display);
        driver.Pump();
        plat::CurrentBackend().Sync();
        const auto t1 = clock::now();
        uint32_t* pixels = target.Surface().Pixels();
        const int stride = target.Surface().StridePixels();
        for (int y = 0; y < kHeight; ++y)
            std::fill(pixels + static_cast<size_t>(y) * stride,
                      pixels + static_cast<size_t>(y) * stride + kWidth, 0xFFFFFFFFu);
        for (int i = 0; i < kPixels; ++i) {
            const double v = static_cast<uint16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
            line[i] = plat::TPoint(static_cast<int>(i * (kWidth - 1.0) / (kPixels - 1)),
                                   static_cast<int>((kHeight - 1) - v * (kHeight - 1) / 66000.0));
        }
        for (int i = 0; i + 1 < kPixels; ++i)
            Bresenham(pixels, stride, line[i], line[i + 1]);
        const auto t2 = clock::now();
        const double d = std::chrono::duration<double>(t1 - t0).count();
        displaySeconds += d;
        boundSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(d);
    }
    benchmark::DoNotOptimize(display.MaxIndex);
    state.counters["bound_us"] = boundSeconds * 1e6 / static_cast<double>(state.iterations());
    state.counters["ratio"] = boundSeconds > 0 ? displaySeconds / boundSeconds : 0;
}
BENCHMARK(BM_LiveDisplayStep4096x16Bit)->UseManualTime()->Unit(benchmark::kMillisecond);

// The whole live road on one GUI thread: the camera unpaced (a frame whenever one is read), the thread
// reading and converting every frame, a display step, a repaint of the 1920x1080 chart and its picture put on
// the X server every refresh interval of 1 ms. Counters: frames read and display steps (each with its
// repaint) per second.
void BM_LiveAcquisitionUnpaced(benchmark::State& state) {
    if (!UseXDisplay(state))
        return;
    setenv("LUMCAM_UNPACED", "1", 1);
    setenv("LUMCAM_PIXELS", "4096", 1);
    TCameraLibrary library;
    if (!library.LoadFrom(LUMCAM_LIBRARY_DIR)) {
        state.SkipWithError(library.ErrorMessage().c_str());
        return;
    }
    library.ls_initialize(0x4000000, 0x10000, 32, 1, "VX_LUMETRA_DEVICE_");
    library.ls_opendevicebyindex(0);
    library.ls_setstate(1);

    plat::TTestDriver driver;
    plat::SetClock(nullptr); // the refresh interval in real time
    plat::TForm* form = plat::NewForm<plat::TForm>(plat::Application);
    form->SetBorderStyle(plat::bsNone);
    form->SetBounds(0, 0, kWidth, kHeight);
    auto* chart = new TBenchChart(form);
    chart->SetParent(form);
    chart->SetBounds(0, 0, kWidth, kHeight);
    chart->SetView3D(false);
    chart->LeftAxis()->SetAutomatic(false);
    chart->LeftAxis()->SetAxisRange(0, 66000);
    auto* series = new TFastLineSeries(nullptr);
    chart->AddSeries(series);
    series->SetAutoRepaint(false);
    for (int i = 0; i < kPixels; ++i)
        series->AddXY(i, 0);
    TBenchDisplay display;
    display.Series = series;
    form->Show();
    driver.Pump();

    TCCDSettings settings;
    settings.PixelCount = kPixels;
    settings.RefreshInterval = 1;
    using clock = std::chrono::steady_clock;
    double seconds = 0;
    uint64_t frames = 0;
    int64_t displays = 0;
    for (auto _ : state) {
        TCCDThread thread(library, display, settings);
        const int64_t before = display.Displays;
        const auto t0 = clock::now();
        thread.Start();
        while (clock::now() - t0 < std::chrono::milliseconds(500))
            driver.Pump();
        thread.Terminate();
        thread.WaitFor();
        seconds += std::chrono::duration<double>(clock::now() - t0).count();
        frames += thread.FramesRead();
        displays += display.Displays - before;
    }
    library.ls_closedevice();
    state.counters["frames_per_s"] = static_cast<double>(frames) / seconds;
    state.counters["displays_per_s"] = static_cast<double>(displays) / seconds;
}
BENCHMARK(BM_LiveAcquisitionUnpaced)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
