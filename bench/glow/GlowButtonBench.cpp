// The glow button's hover fade: what one fade frame costs, and how much of the window it asks to be
// painted again. A form full of buttons shows whether a frame reaches beyond the faded button.
#include <benchmark/benchmark.h>

#include "platform/gfx/Bitmap.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "ui/drawing/KvxGlowButton.h"

namespace {

using plat::TRect;

struct TFadeScene {
    plat::TTestDriver Driver;
    plat::TForm* Form = nullptr;
    ui::TKvxGlowButton* Button = nullptr;

    TFadeScene() {
        Form = plat::NewForm<plat::TForm>(plat::Application);
        Form->SetBoundsRect(TRect(0, 0, 640, 480));
        for (int i = 0; i < 24; ++i) {
            auto* b = new ui::TKvxGlowButton(Form);
            b->SetParent(Form);
            b->SetBoundsRect(plat::Bounds(10 + (i % 6) * 105, 10 + (i / 6) * 50, 100, 41));
            b->SetCaption("Button " + std::to_string(i));
            if (i == 7)
                Button = b;
        }
        Form->Show();
        Driver.Pump();
    }
    // Runs the fade timer once and answers the area waiting to be painted in the form and in the
    // button; then paints it.
    void Frame(int64_t& formArea, int64_t& buttonArea) {
        Driver.Clock().Advance(ui::FadeTimerInterval);
        plat::TMsg msg;
        while (plat::PeekMessage(msg, nullptr, plat::WM_TIMER, plat::WM_TIMER, plat::PM_REMOVE))
            plat::DispatchMessage(msg);
        TRect r;
        if (plat::GetUpdateRect(Form->Handle(), &r, false))
            formArea += int64_t(r.Width()) * r.Height();
        for (int i = 0; i < Form->ControlCount(); ++i)
            if (auto* w = dynamic_cast<plat::TWinControl*>(Form->Controls(i)))
                if (plat::GetUpdateRect(w->Handle(), &r, false))
                    buttonArea += int64_t(r.Width()) * r.Height();
        Driver.Pump();
    }
};

// Ten frames: five in, five out.
void BM_GlowHoverFade(benchmark::State& state) {
    TFadeScene scene;
    const plat::TPoint inside = plat::TTestDriver::CenterOf(scene.Button);
    int64_t formArea = 0, buttonArea = 0, frames = 0;
    for (auto _ : state) {
        scene.Driver.MoveTo(inside);
        for (int i = 0; i < 6; ++i, ++frames)
            scene.Frame(formArea, buttonArea);
        scene.Driver.MoveTo(plat::TPoint(700, 700));
        for (int i = 0; i < 6; ++i, ++frames)
            scene.Frame(formArea, buttonArea);
    }
    state.counters["form_px_per_frame"] = double(formArea) / double(frames);
    state.counters["controls_px_per_frame"] = double(buttonArea) / double(frames);
    state.counters["button_px"] = double(scene.Button->Width() * scene.Button->Height());
}
BENCHMARK(BM_GlowHoverFade)->Unit(benchmark::kMillisecond);

// One paint of a face with caption, notes and a glyph-sized overlay.
void BM_GlowFacePaint(benchmark::State& state) {
    plat::TTestDriver driver;
    plat::TBitmap bmp;
    bmp.SetSize(100, 41);
    plat::TFont font;
    font.SetName("Tahoma");
    ui::TGlowFaceParams p;
    p.R = TRect(0, 0, 100, 41);
    p.Look = ui::TGlowButtonAppearance().Look(ui::glHot);
    p.Caption = "Save Settings";
    p.Font = &font;
    for (auto _ : state)
        benchmark::DoNotOptimize(ui::DrawGlowButtonFace(bmp.Canvas(), p));
}
BENCHMARK(BM_GlowFacePaint)->Unit(benchmark::kMicrosecond);

} // namespace
