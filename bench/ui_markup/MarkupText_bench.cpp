// A formatted caption against plain text: DrawMarkupText measuring and painting a 40-character line
// with two tags (and, beside it, with four), timed next to one plain output of the same characters through
// the same canvas, so both see the same load on the machine. The counter "ratio" is caption time over plain
// time (goal: within 2), "plain_us" the plain output itself.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "ui/markup/MarkupText.h"

namespace {

using namespace plat;

const std::string kPlain = "Frame 1024 of 4096 captured at 12.50 ms.";
// The line with two tags (one bold word), and with two pairs of them.
const std::string kMarkup = "Frame 1024 of 4096 <b>captured</b> at 12.50 ms.";
const std::string kMarkupFourTags = "Frame 1024 of 4096 <b>captured</b> at <i>12.50 ms</i>.";

struct TSetup {
    TBitmap Bitmap{400, 40, pf32bit};
    TSetup() {
        TCanvas& c = *Bitmap.Canvas();
        c.Font()->SetName("Arial");
        c.Font()->SetSize(10);
        c.Brush()->SetColor(clWhite);
        c.FillRect(TRect(0, 0, 400, 40));
    }
};

template <class Plain>
void RunAgainstPlain(benchmark::State& state, TSetup& setup, const std::string& markup, Plain plain) {
    TCanvas& c = *setup.Bitmap.Canvas();
    using clock = std::chrono::steady_clock;
    double markupSeconds = 0, plainSeconds = 0;
    for (auto _ : state) {
        const auto t0 = clock::now();
        ui::TMarkupResult result;
        ui::DrawMarkupText(c, markup, TRect(0, 0, 400, 40), {}, result);
        benchmark::DoNotOptimize(result.MaxLineWidth);
        const auto t1 = clock::now();
        plain(c);
        const auto t2 = clock::now();
        const double markup = std::chrono::duration<double>(t1 - t0).count();
        markupSeconds += markup;
        plainSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(markup);
    }
    state.counters["plain_us"] = plainSeconds * 1e6 / static_cast<double>(state.iterations());
    state.counters["ratio"] = plainSeconds > 0 ? markupSeconds / plainSeconds : 0;
}

// Against the cheapest plain output: the characters written at a point.
void BM_MarkupLineAgainstTextOut(benchmark::State& state) {
    TSetup setup;
    if (kPlain.size() != 40)
        state.SkipWithError("the plain line must hold 40 characters");
    RunAgainstPlain(state, setup, kMarkup, [](TCanvas& c) { c.TextOut(1, 20, kPlain); });
}
BENCHMARK(BM_MarkupLineAgainstTextOut)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Against plain formatted output, laid out into the same rectangle as the caption.
void BM_MarkupLineAgainstDrawText(benchmark::State& state) {
    TSetup setup;
    RunAgainstPlain(state, setup, kMarkup, [](TCanvas& c) {
        TRect r(1, 0, 400, 40);
        c.TextRect(r, kPlain, DT_SINGLELINE | DT_BOTTOM | DT_EXPANDTABS);
    });
}
BENCHMARK(BM_MarkupLineAgainstDrawText)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Four tags: every change of font costs one more output call.
void BM_MarkupFourTagLineAgainstTextOut(benchmark::State& state) {
    TSetup setup;
    RunAgainstPlain(state, setup, kMarkupFourTags, [](TCanvas& c) { c.TextOut(1, 20, kPlain); });
}
BENCHMARK(BM_MarkupFourTagLineAgainstTextOut)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A long caption without tags, wrapped into a narrow column: the cost grows with the words, not with
// their square.
void BM_LongParagraphMeasure(benchmark::State& state) {
    TSetup setup;
    std::string text;
    for (int64_t i = 0; i < state.range(0); ++i)
        text += i % 7 == 0 ? "frame " : "pixels ";
    ui::TMarkupOptions options;
    options.MeasureOnly = true;
    for (auto _ : state) {
        ui::TMarkupResult result;
        ui::DrawMarkupText(*setup.Bitmap.Canvas(), text, TRect(0, 0, 200, 40), options, result);
        benchmark::DoNotOptimize(result.TotalHeight);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LongParagraphMeasure)
    ->Range(256, 8192)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

} // namespace
