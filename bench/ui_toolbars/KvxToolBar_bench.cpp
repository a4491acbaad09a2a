// What the main window's menu bar (on a dock of its own) and the chart window's three toolbars
// (30 buttons) cost at 1920 pixels: a full layout and repaint of all four, and a pointer moving across
// ten buttons, each timed per frame next to clearing the same area on the same kind of canvas. The counter
// "ratio" is toolbar time over clear time (goal for the full repaint: within 10), "clear_us" the clear
// itself, "arrange_us" the layout part of the full repaint.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStylers.h"

namespace {

using namespace plat;
using namespace ui;
using clock_type = std::chrono::steady_clock;

struct TDockSetup {
    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxDockPanel* MenuPanel = nullptr;
    TKvxDockPanel* Panel = nullptr;
    std::vector<TKvxToolBar*> Bars;
    std::vector<TKvxToolBarButton*> Buttons;

    TDockSetup() {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(0, 0, 1928, 300);
        auto* styler = new TKvxToolBarOfficeStyler(Form);
        styler->SetStyle(toolbar::bsOffice2007Luna);
        // The main window's menu on its own dock, as the main window holds it.
        MenuPanel = new TKvxDockPanel(Form);
        MenuPanel->SetParent(Form);
        MenuPanel->SetUseRunTimeHeight(true);
        MenuPanel->SetToolBarStyler(styler);
        auto* menu = new TKvxMainMenu(Form);
        for (const char* caption : {"&File", "&Camera", "&Chart", "&Options", "&Window", "&Help"}) {
            auto* item = new TMenuItem(Form);
            item->SetCaption(caption);
            auto* sub = new TMenuItem(Form);
            sub->SetCaption("Entry");
            item->Add(sub);
            menu->Items()->Add(item);
        }
        auto* menuBar = new TKvxToolBar(Form);
        menuBar->SetParent(MenuPanel);
        menuBar->SetMenu(menu);
        menuBar->SetBounds(3, 1, menuBar->Width(), menuBar->Height());
        Bars.push_back(menuBar);
        Panel = new TKvxDockPanel(Form);
        Panel->SetParent(Form);
        Panel->SetUseRunTimeHeight(true);
        Panel->SetToolBarStyler(styler);
        TBitmap glyph(24, 24);
        glyph.Canvas()->Brush()->SetColor(clFuchsia);
        glyph.Canvas()->FillRect(TRect(0, 0, 24, 24));
        glyph.Canvas()->Brush()->SetColor(clNavy);
        glyph.Canvas()->Ellipse(3, 3, 21, 21);
        int left = 3;
        for (int count : {4, 20, 6}) {
            auto* t = new TKvxToolBar(Form);
            t->SetShowCaption(true);
            t->SetCaption("Toolbar");
            t->SetParent(Panel);
            for (int i = 0; i < count; ++i) {
                if (i > 0 && i % 5 == 0) {
                    auto* s = new TKvxToolBarSeparator(Form);
                    s->SetKvxToolBar(t);
                }
                auto* b = new TKvxToolBarButton(Form);
                b->SetGlyph(&glyph);
                b->SetKvxToolBar(t);
                Buttons.push_back(b);
            }
            t->SetBounds(left, 1, t->Width(), t->Height());
            left += t->Width() + 2;
            Bars.push_back(t);
        }
        Form->Show();
        Driver.Pump();
    }
};

double Seconds(clock_type::time_point a, clock_type::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

void BM_FullLayoutAndRepaint(benchmark::State& state) {
    TDockSetup setup;
    TBitmap target;
    target.SetSize(setup.Panel->Width(), setup.Panel->Height() + setup.MenuPanel->Height());
    double bars = 0, clear = 0, arrange = 0;
    int n = 0;
    for (auto _ : state) {
        const auto t0 = clock_type::now();
        for (TKvxToolBar* t : setup.Bars)
            t->ArrangeControls(true);
        const auto tm = clock_type::now();
        for (TKvxToolBar* t : setup.Bars)
            t->Repaint();
        const auto t1 = clock_type::now();
        arrange += Seconds(t0, tm);
        target.Canvas()->Brush()->SetColor(++n % 2 ? clWhite : clBtnFace);
        target.Canvas()->FillRect(TRect(0, 0, target.Width(), target.Height()));
        const auto t2 = clock_type::now();
        bars += Seconds(t0, t1);
        clear += Seconds(t1, t2);
        state.SetIterationTime(Seconds(t0, t1));
    }
    state.counters["clear_us"] = clear * 1e6 / static_cast<double>(state.iterations());
    state.counters["ratio"] = clear > 0 ? bars / clear : 0;
    state.counters["arrange_us"] = arrange * 1e6 / static_cast<double>(state.iterations());
    state.counters["menu_buttons"] = setup.Bars.front()->ToolBarControlCount();
}
BENCHMARK(BM_FullLayoutAndRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One frame is one pointer step onto the next of ten buttons of the middle toolbar.
void BM_HoverAcrossTenButtons(benchmark::State& state) {
    TDockSetup setup;
    TBitmap target;
    target.SetSize(setup.Panel->Width(), setup.Panel->Height());
    std::vector<TPoint> points;
    for (int i = 4; i < 14; ++i)
        points.push_back(TTestDriver::CenterOf(setup.Buttons[i]));
    double hover = 0, clear = 0;
    size_t k = 0;
    for (auto _ : state) {
        const auto t0 = clock_type::now();
        setup.Driver.MoveTo(points[k++ % points.size()]);
        setup.Driver.Pump();
        const auto t1 = clock_type::now();
        target.Canvas()->Brush()->SetColor(k % 2 ? clWhite : clBtnFace);
        target.Canvas()->FillRect(TRect(0, 0, target.Width(), target.Height()));
        const auto t2 = clock_type::now();
        hover += Seconds(t0, t1);
        clear += Seconds(t1, t2);
        state.SetIterationTime(Seconds(t0, t1));
    }
    state.counters["clear_us"] = clear * 1e6 / static_cast<double>(state.iterations());
    state.counters["ratio"] = clear > 0 ? hover / clear : 0;
}
BENCHMARK(BM_HoverAcrossTenButtons)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
