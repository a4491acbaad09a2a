// Shared by the chart control tests: a flat TChart drawn straight into a bitmap (no window), and a small
// series of dots that answers which dot is under a pixel, so that layouts, hit tests and clicks can be
// checked without the real series kinds.
#pragma once

#include <memory>
#include <string>

#include "PlotCanvasTestUtil.h"
#include "chart/Chart.h"

namespace charttest {

using namespace plat;
using namespace chart;

// Draws a 5 x 5 square at every point and finds the point within 2 pixels of a pixel.
class TDotSeries : public TChartSeries {
public:
    explicit TDotSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
    int PointAtPixel(int X, int Y) override {
        for (int i = 0; i < Count(); ++i)
            if (std::abs(CalcXPos(i) - X) <= 2 && std::abs(CalcYPos(i) - Y) <= 2)
                return i;
        return -1;
    }
    void DrawValue(int ValueIndex) override {
        TPlotCanvas3D& c = *ParentChart()->DrawCanvas();
        c.Pen()->SetStyle(psClear);
        c.Brush()->SetStyle(bsSolid);
        c.Brush()->SetColor(ValueColor(ValueIndex));
        const int x = CalcXPos(ValueIndex), y = CalcYPos(ValueIndex);
        c.Rectangle(x - 2, y - 2, x + 3, y + 3);
    }
};

// A TChart without a window, drawn into a white bitmap of its own size.
struct TChartPicture {
    TBitmap Target;
    std::unique_ptr<TChart> Chart;

    explicit TChartPicture(int Width = 500, int Height = 350) : Target(Width, Height) {
        Chart = std::make_unique<TChart>(nullptr);
        Chart->SetBounds(0, 0, Width, Height);
        Chart->SetView3D(false);
        Chart->SetColor(clWhite);
        Chart->SetBevelOuter(bvNone);
        Chart->DrawCanvas()->SetBuffered(false);
    }
    // The chart frees its series.
    TDotSeries* AddDots(int Count, double Y0 = 0, double DY = 1, const std::string& Title = std::string()) {
        auto* s = new TDotSeries(nullptr);
        for (int i = 0; i < Count; ++i)
            s->AddXY(i, Y0 + i * DY);
        s->SetTitle(Title);
        Chart->AddSeries(s);
        return s;
    }
    void Render() {
        TCanvas* c = Target.Canvas();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, Target.Width(), Target.Height()));
        Chart->DrawToCanvas(c, TRect(0, 0, Target.Width(), Target.Height()));
        // Measuring after the draw (row heights, hit tests) needs the surface on the bitmap again.
        TPlotCanvas3D* surface = Chart->DrawCanvas();
        surface->InitWindow(c, nullptr, clWhite, false, TRect(0, 0, Target.Width(), Target.Height()));
        surface->ResetToDefaults();
    }
    TColor At(int X, int Y) { return PixelToColor(Target.Surface().Row(Y)[X] & 0xFFFFFF); }
    // Pixels that are not white inside R.
    int Ink(const TRect& R) {
        int n = 0;
        for (int y = std::max(0, R.Top); y < std::min(Target.Height(), R.Bottom); ++y)
            for (int x = std::max(0, R.Left); x < std::min(Target.Width(), R.Right); ++x)
                n += At(x, y) != clWhite;
        return n;
    }
};

} // namespace charttest
