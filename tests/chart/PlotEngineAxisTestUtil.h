// Shared by the axis tests: a flat chart whose drawing surface draws straight into a white bitmap, so
// that axes can be measured, placed and drawn without a window.
#pragma once

#include <memory>

#include "PlotCanvasTestUtil.h"
#include "chart/PlotEngineAxisPanel.h"

namespace axistest {

using namespace plat;
using namespace chart;

struct TAxisChart {
    TBitmap Target;
    std::unique_ptr<TCustomAxisPanel> Chart;

    // ChartRect starts as (Margin, Margin, Width - Margin, Height - Margin).
    TAxisChart(int Width = 400, int Height = 300, int Margin = 40) : Target(Width, Height) {
        Chart = std::make_unique<TCustomAxisPanel>(nullptr);
        Chart->SetBounds(0, 0, Width, Height);
        Chart->SetView3D(false);
        Chart->SetColor(clWhite);
        Chart->SetBevelOuter(bvNone);
        Chart->SetMarginUnits(muPixels);
        for (int i = 0; i < 4; ++i)
            Chart->SetMargin(i, Margin);
        Chart->DrawCanvas()->SetBuffered(false);
        Chart->SetChartRect(TRect(Margin, Margin, Width - Margin, Height - Margin));
        Chart->UpdateChartDimensions();
        Attach();
    }

    TChartAxis* Bottom() { return Chart->BottomAxis(); }
    TChartAxis* Left() { return Chart->LeftAxis(); }

    void Fill(TColor c = clWhite) {
        TCanvas* cv = Target.Canvas();
        cv->Brush()->SetStyle(bsSolid);
        cv->Brush()->SetColor(c);
        cv->FillRect(TRect(0, 0, Target.Width(), Target.Height()));
    }
    // Points the chart's surface at the bitmap again (a draw leaves it at the window).
    void Attach() {
        TPlotCanvas3D* c = Chart->DrawCanvas();
        c->InitWindow(Target.Canvas(), nullptr, clWhite, false, TRect(0, 0, Target.Width(), Target.Height()));
        c->ResetToDefaults();
    }
    // A whole chart draw into the bitmap.
    void Render() {
        Fill();
        Chart->DrawToCanvas(Target.Canvas(), TRect(0, 0, Target.Width(), Target.Height()));
        Attach();
    }
    // Only the given axes take part in the next draw.
    void ShowOnly(std::initializer_list<TChartAxis*> Axes) {
        for (int i = 0; i < Chart->Axes()->Count(); ++i)
            Chart->Axes()->AxisAt(i)->SetVisible(false);
        for (TChartAxis* a : Axes)
            a->SetVisible(true);
    }

    TColor At(int x, int y) { return PixelToColor(Target.Surface().Row(y)[x] & 0xFFFFFF); }
    int Count(TColor c, const TRect& r) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(x, y) == c;
        return n;
    }
    // Pixels that are not white inside r.
    int Ink(const TRect& r) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(x, y) != clWhite;
        return n;
    }
};

} // namespace axistest
