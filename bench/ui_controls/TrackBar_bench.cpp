// Repaints of a 300-pixel slider with a tick for every value, over a range of 1 000 000 and over one of
// 100. The wide range puts thousands of values on each pixel column; a tick on a column already drawn
// changes nothing, so the paint should cost about what the small range costs. Each wide repaint is timed
// next to one small one, so both see the same load on the machine; the counter "ratio" is wide time over
// small time (goal: within 2).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "ui/controls/KvxTrackBar.h"

namespace {

using namespace plat;
using Clock = std::chrono::steady_clock;

struct TSliders {
    TTestDriver Driver;
    TForm* Form = nullptr;
    ui::TKvxTrackBar* Wide = nullptr;
    ui::TKvxTrackBar* Small = nullptr;

    TSliders() {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(0, 0, 400, 200);
        Wide = Make(1000000, 10);
        Small = Make(100, 80);
        Form->Show();
        Driver.Pump();
    }

    ui::TKvxTrackBar* Make(int Max, int Top) {
        auto* bar = new ui::TKvxTrackBar(Form);
        bar->SetParent(Form);
        bar->SetBounds(10, Top, 300, 60);
        bar->SetTransparent(false);
        bar->SetColor(clWhite);
        bar->SetMax(Max);
        bar->SetPosition(Max / 3);
        bar->TickMark()->SetStyle(tsAuto);
        bar->TickMark()->SetPosition(tmBoth);
        return bar;
    }
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void BM_TrackBarTicks(benchmark::State& state) {
    TSliders s;
    double wide = 0, small = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        s.Wide->Repaint();
        auto t1 = Clock::now();
        s.Small->Repaint();
        auto t2 = Clock::now();
        wide += Seconds(t1 - t0);
        small += Seconds(t2 - t1);
    }
    state.counters["ratio"] = small > 0 ? wide / small : 0;
    state.counters["wide_us"] = benchmark::Counter(wide * 1e6 / double(state.iterations()));
    state.counters["small_us"] = benchmark::Counter(small * 1e6 / double(state.iterations()));
    state.counters["wide_ticks"] = s.Wide->TicksDrawn();
    state.counters["small_ticks"] = s.Small->TicksDrawn();
}
BENCHMARK(BM_TrackBarTicks)->Unit(benchmark::kMicrosecond);

} // namespace
