// What a status text costs the camera window at display rate: SetText on an HTML panel plus the repaint of
// that panel (tile, separator and markup), timed next to one plain text output into the same rectangle on
// the same kind of canvas. The counter "ratio" is panel time over plain time (goal: within 4),
// "plain_us" the plain output itself. A second case writes an unchanged text, which must repaint nothing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Paint.h"
#include "ui/office/KvxOfficeStatusBar.h"

namespace {

using namespace plat;
using namespace ui;

struct TBarSetup {
    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxOfficeStatusBar* Bar = nullptr;
    TKvxOfficeStatusPanel* Panel = nullptr;

    TBarSetup() {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(0, 0, 800, 100);
        Bar = new TKvxOfficeStatusBar(Form);
        Bar->SetParent(Form);
        auto* styler = new TKvxOfficeStatusBarOfficeStyler(Form);
        styler->SetStyle(statusbar::psOffice2007Luna);
        Bar->SetStyler(styler);
        for (int w : {200, 22, 60, 22, 60}) {
            TKvxOfficeStatusPanel* p = Bar->Panels()->Add();
            p->SetWidth(w);
        }
        Panel = Bar->Panels()->GetItem(0);
        Panel->SetText("Frame <b>0</b> of 4096");
        Form->Show();
        Driver.Pump();
    }
};

std::string FrameText(int64_t n) {
    return "Frame <b>" + std::to_string(n % 4096) + "</b> of 4096";
}

void BM_SetTextAndRepaintAgainstPlainText(benchmark::State& state) {
    TBarSetup setup;
    const TRect rect = setup.Bar->PanelRect(0);
    TBitmap plainTarget;
    plainTarget.SetSize(setup.Bar->Width(), setup.Bar->Height());
    TCanvas& plain = *plainTarget.Canvas();
    plain.SetFont(setup.Bar->Font());
    plain.Brush()->SetStyle(bsClear);
    using clock = std::chrono::steady_clock;
    double panelSeconds = 0, plainSeconds = 0;
    int64_t n = 1;
    for (auto _ : state) {
        const std::string text = FrameText(n++);
        const auto t0 = clock::now();
        setup.Panel->SetText(text);
        setup.Bar->Update();
        const auto t1 = clock::now();
        TRect r = rect;
        plain.TextRect(r, "Frame " + std::to_string(n % 4096) + " of 4096",
                       DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        const auto t2 = clock::now();
        const double panel = std::chrono::duration<double>(t1 - t0).count();
        panelSeconds += panel;
        plainSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(panel);
    }
    state.counters["plain_us"] = plainSeconds * 1e6 / static_cast<double>(state.iterations());
    state.counters["ratio"] = plainSeconds > 0 ? panelSeconds / plainSeconds : 0;
}
BENCHMARK(BM_SetTextAndRepaintAgainstPlainText)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_UnchangedSetText(benchmark::State& state) {
    TBarSetup setup;
    const std::string text = setup.Panel->Text();
    const int presents = setup.Driver.Backend().Presents();
    for (auto _ : state) {
        setup.Panel->SetText(text);
        setup.Bar->Update();
    }
    TRect r;
    if (GetUpdateRect(setup.Bar->WindowHandle(), &r, false) || setup.Driver.Backend().Presents() != presents)
        state.SkipWithError("an unchanged text repainted the bar");
}
BENCHMARK(BM_UnchangedSetText)->Unit(benchmark::kNanosecond);

} // namespace
