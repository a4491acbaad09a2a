// Shared by the series drawing tests: a flat chart with fixed axis ranges that draws straight into a
// white bitmap (no window), and a reader of what a draw recorded into a metafile, so that the lines a
// series draws can be checked by pixels and by the calls that made them.
#pragma once

#include <memory>
#include <vector>

#include "PlotCanvasTestUtil.h"
#include "chart/PlotEngine.h"
#include "chart/Series.h"

namespace seriestest {

using namespace plat;
using namespace chart;

// The axis panel as the chart control uses it: a flat chart shows every face.
class TTestChart : public TCustomAxisPanel {
public:
    using TCustomAxisPanel::TCustomAxisPanel;
    bool IsFaceHidden(int Depth) override { return View3D() && TCustomAxisPanel::IsFaceHidden(Depth); }
    int Invalidations = 0;
    void Invalidate() override {
        if (RepaintEnabled())
            ++Invalidations;
        TCustomAxisPanel::Invalidate();
    }
};

// One pen stroke as recorded: its colour and its vertices (a LineTo adds one vertex to the stroke that
// ends where it starts).
struct TStroke {
    TColor Color = clNone;
    std::vector<TPoint> Points;
    int Segments() const { return Points.empty() ? 0 : static_cast<int>(Points.size()) - 1; }
};

struct TSeriesChart {
    TBitmap Target;
    std::unique_ptr<TTestChart> Chart;

    // The chart rectangle is (Margin, Margin, Width - Margin, Height - Margin); no axes are drawn.
    explicit TSeriesChart(int Width = 400, int Height = 300, int Margin = 40) : Target(Width, Height) {
        Chart = std::make_unique<TTestChart>(nullptr);
        Chart->SetBounds(0, 0, Width, Height);
        Chart->SetView3D(false);
        Chart->SetColor(clWhite);
        Chart->SetBevelOuter(bvNone);
        Chart->SetMarginUnits(muPixels);
        for (int i = 0; i < 4; ++i)
            Chart->SetMargin(i, Margin);
        Chart->SetAxisVisible(false);
        Chart->DrawCanvas()->SetBuffered(false);
        Attach();
    }
    // The chart frees its series.
    template <class T> T* Add() {
        auto* s = new T(nullptr);
        Chart->AddSeries(s);
        return s;
    }
    // X and Y ranges of the bottom and left axes.
    void Range(double XMin, double XMax, double YMin, double YMax) {
        Chart->BottomAxis()->SetAxisRange(XMin, XMax);
        Chart->LeftAxis()->SetAxisRange(YMin, YMax);
    }
    TRect ChartRect() const { return Chart->ChartRect(); }

    // A whole chart draw into the bitmap, then the surface points at the bitmap again.
    void Render() {
        Fill(clWhite);
        Chart->DrawToCanvas(Target.Canvas(), TRect(0, 0, Target.Width(), Target.Height()));
        Attach();
    }
    void Attach() {
        TPlotCanvas3D* c = Chart->DrawCanvas();
        c->InitWindow(Target.Canvas(), nullptr, clWhite, false, TRect(0, 0, Target.Width(), Target.Height()));
        c->ResetToDefaults();
    }
    void Fill(TColor c) {
        TCanvas* cv = Target.Canvas();
        cv->Brush()->SetStyle(bsSolid);
        cv->Brush()->SetColor(c);
        cv->FillRect(TRect(0, 0, Target.Width(), Target.Height()));
    }
    TColor At(int x, int y) { return PixelToColor(Target.Surface().Row(y)[x] & 0xFFFFFF); }
    int Count(TColor c, const TRect& r) {
        int n = 0;
        for (int y = std::max(0, r.Top); y < std::min(Target.Height(), r.Bottom); ++y)
            for (int x = std::max(0, r.Left); x < std::min(Target.Width(), r.Right); ++x)
                n += At(x, y) == c;
        return n;
    }
    int Count(TColor c) { return Count(c, TRect(0, 0, Target.Width(), Target.Height())); }

    // The strokes drawn in a pen of the given colour during one chart draw, in drawing order.
    std::vector<TStroke> Strokes(TColor Color) {
        std::unique_ptr<TMetafile> mf = Chart->RenderToMetafile(true);
        Attach();
        std::vector<TStroke> strokes;
        TColor pen = clBlack;
        TPoint pos;
        bool continues = false;
        for (const TMetaRecord& r : mf->Content()->Records) {
            switch (r.Op) {
            case TMetaOp::SelectPen:
                pen = r.Pen && r.Pen->Kind() != PS_NULL ? r.Pen->Color : clNone;
                continues = false;
                break;
            case TMetaOp::MoveTo:
                pos = r.Points[0];
                continues = false;
                break;
            case TMetaOp::LineTo:
                if (pen == Color) {
                    if (!continues || strokes.empty() || !(strokes.back().Points.back() == pos))
                        strokes.push_back(TStroke{Color, {pos}});
                    strokes.back().Points.push_back(r.Points[0]);
                    continues = true;
                }
                pos = r.Points[0];
                break;
            case TMetaOp::Polyline:
                if (pen == Color)
                    strokes.push_back(TStroke{Color, r.Points});
                continues = false;
                break;
            default:
                break;
            }
        }
        return strokes;
    }
    int Segments(TColor Color) {
        int n = 0;
        for (const TStroke& s : Strokes(Color))
            n += s.Segments();
        return n;
    }
};

} // namespace seriestest
