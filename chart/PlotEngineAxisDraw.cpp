// Where an axis sits in the chart and how its line, ticks, grid and title are drawn.
#include <algorithm>
#include <cmath>

#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"

namespace chart {

using namespace plat;

// ---- Placement ----

int TChartAxis::MeasureTicksSpace() {
    int result = FAxis->Visible() ? FAxis->Width() + 1 : 0;
    if (FTicks->Visible())
        result += FTickLength;
    if (FMinorTicks->Visible())
        result = std::max(result, FMinorTickLength);
    return result;
}

int TChartAxis::ShiftAxisPosition(int Position, int Amount) const {
    bool towardsLower = FHorizontal ? FOtherSide : !FOtherSide;
    return towardsLower ? Position - Amount : Position + Amount;
}

void TChartAxis::ShrinkChartRectForAxis(TRect& Rect, int Amount) const {
    if (FHorizontal) {
        if (FOtherSide)
            Rect.Top += Amount;
        else
            Rect.Bottom -= Amount;
    } else {
        if (FOtherSide)
            Rect.Right -= Amount;
        else
            Rect.Left += Amount;
    }
}

int TChartAxis::AxisEdge(const TRect& Rect) const {
    if (FOtherSide)
        return FHorizontal ? Rect.Top : Rect.Right;
    return FHorizontal ? Rect.Bottom : Rect.Left;
}

int TChartAxis::ApplyPositionPercent(int Position, const TRect& Rect) const {
    if (FPositionPercent == 0)
        return Position;
    int offset;
    if (FPositionUnits == muPixels)
        offset = RoundToInt(FPositionPercent);
    else
        offset = RoundToInt(FPositionPercent * 0.01 *
                            (FHorizontal ? Rect.Bottom - Rect.Top : Rect.Right - Rect.Left));
    if (FOtherSide)
        offset = -offset;
    return FHorizontal ? Position - offset : Position + offset;
}

void TChartAxis::ComputeAxisRect(TRect& Rect, bool Shrink) {
    FIsDateTime = HasDateTimeValues();
    if (!Shrink) {
        FAxisPixel = ApplyPositionPercent(AxisEdge(Rect), Rect);
        FLabelsPixel = ShiftAxisPosition(FAxisPixel, MeasureTicksSpace());
        FTitlePixel = ShiftAxisPosition(FLabelsPixel, MeasureLabelsSpace());
        return;
    }
    if (FIsDepthAxis) {
        FTitlePixel = FOtherSide ? Rect.Right : Rect.Left;
    } else if (FTitle->Visible() && !FTitle->Caption().empty()) {
        const std::string& caption = FTitle->Caption();
        ShrinkChartRectForAxis(Rect, LabelSizeFor(FTitle->Font(), FTitle->Angle(), FTitleSize, &caption));
        FTitlePixel = AxisEdge(Rect);
    }
    if (Labels()) {
        int size = MeasureLabelsSpace();
        if (TChartAxes* axes = FParentChart ? FParentChart->Axes() : nullptr; axes && axes->LabelSizeHook())
            size = axes->LabelSizeHook()(this, size);
        ShrinkChartRectForAxis(Rect, size);
        FLabelsPixel = AxisEdge(Rect);
    }
    int ticks = (FParentChart ? FParentChart->WallSizeOf(this) : 0) + MeasureTicksSpace();
    if (ticks > 0)
        ShrinkChartRectForAxis(Rect, ticks);
    FTitlePixel = ApplyPositionPercent(FTitlePixel, Rect);
    FLabelsPixel = ApplyPositionPercent(FLabelsPixel, Rect);
}

TRect TChartAxis::AxisRect() const {
    int a0 = std::min(FStartPixel, FEndPixel);
    int a1 = std::max(FStartPixel, FEndPixel);
    int c0, c1;
    if (FLabelsPixel < FAxisPixel) {
        c0 = FLabelsPixel;
        c1 = FAxisPixel + 3;
    } else {
        c0 = FAxisPixel - 3;
        c1 = FLabelsPixel;
    }
    return FHorizontal ? TRect(a0, c0, a1, c1) : TRect(c0, a0, c1, a1);
}

bool TChartAxis::Clicked(int X, int Y) {
    if (!FIsShown)
        return false;
    TRect r = AxisRect();
    if (FParentChart && FParentChart->View3D()) {
        if (TPlotCanvas3D* canvas = FParentChart->DrawCanvas())
            r = canvas->CalcRect3D(r, FOtherSide ? FParentChart->Width3D() : 0);
    }
    return X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom;
}

// ---- Title ----

void TChartAxis::DrawTitle(int X, int Y) {
    TPlotCanvas3D* canvas = FParentChart ? FParentChart->DrawCanvas() : nullptr;
    if (!canvas)
        return;
    canvas->UseFont(FTitle->Font());
    canvas->SetBackMode(TRANSPARENT);
    if (FIsDepthAxis) {
        canvas->SetTextAlign(FOtherSide ? TA_LEFT : TA_RIGHT);
        canvas->TextOut3D(X, Y, FParentChart->Width3D() / 2, FTitle->Caption());
        canvas->SetTextAlign(TA_LEFT);
        return;
    }
    // The title takes the label layout but never the raised exponent.
    const bool exponent = FLabelsExponent;
    FLabelsExponent = false;
    struct TRestore {
        bool& Field;
        bool Value;
        ~TRestore() { Field = Value; }
    } restore{FLabelsExponent, exponent};
    DrawAxisLabel(X, Y, nullptr, FTitle->Caption(), FTitle->Angle());
}

// ---- Line, ticks and grids ----

int TChartAxis::DepthAxisLineRow(int WallOfBottom) const {
    const TRect& r = FParentChart->ChartRect();
    return FOtherSide ? WallOfBottom + r.Bottom - FZPixel : r.Top - FZPixel;
}

void TChartAxis::DrawAxisLine(int WallSize) {
    TPlotCanvas3D* canvas = FParentChart->DrawCanvas();
    TChartAxes* axes = FParentChart->Axes();
    auto wallOf = [&](int Index) {
        return axes && axes->Count() > Index ? FParentChart->WallSizeOf(axes->AxisAt(Index)) : 0;
    };
    const int w = FAxis->Width();
    const TPenLineMode mode = FAxis->LineMode();
    if (FIsDepthAxis) {
        int y = DepthAxisLineRow(wallOf(0));
        canvas->MoveTo3D(FAxisPixel, y, FStartPixel);
        canvas->LineTo3D(FAxisPixel, y, FEndPixel);
        return;
    }
    if (FHorizontal) {
        int x0 = FStartPixel;
        int x1 = FEndPixel;
        int y = FAxisPixel;
        if (!FOtherSide) {
            x0 -= wallOf(2);
            x1 += wallOf(3);
            y += WallSize;
        }
        if (mode == lmLine)
            canvas->HorizLine3D(x0, x1, y, FZPixel);
        else if (mode == lmCylinder)
            canvas->Cylinder(false, x0, y - w, x1, y + w, FZPixel - w, FZPixel + w, true);
        else
            canvas->Cube(x0, x1, y - w, y + w, FZPixel - w, FZPixel + w, true);
        return;
    }
    int x = FOtherSide ? FAxisPixel + WallSize : FAxisPixel - WallSize;
    int y1 = FEndPixel + wallOf(0);
    if (mode == lmLine)
        canvas->VertLine3D(x, FStartPixel, y1, FZPixel);
    else if (mode == lmCylinder)
        canvas->Cylinder(true, x - w, FStartPixel, x + w, y1, FZPixel - w, FZPixel + w, true);
    else
        canvas->Cube(x - w, x + w, FStartPixel, y1, FZPixel - w, FZPixel + w, true);
}

void TChartAxis::DrawTick(int Pixel, int Offset, int Length, int WallSize) {
    TPlotCanvas3D* canvas = FParentChart->DrawCanvas();
    const int p = Pixel;
    const int ap = FAxisPixel;
    if (FIsDepthAxis) {
        TChartAxes* axes = FParentChart->Axes();
        int wall = axes && axes->Count() > 0 ? FParentChart->WallSizeOf(axes->AxisAt(0)) : 0;
        int y = DepthAxisLineRow(wall);
        if (FOtherSide)
            canvas->HorizLine3D(ap + Offset, ap + Offset + Length, y, p);
        else
            canvas->HorizLine3D(ap - Offset, ap - Offset - Length, y, p);
        return;
    }
    if (FOtherSide) {
        if (FHorizontal)
            canvas->VertLine3D(p, ap - Offset, ap - Offset - Length, FZPixel);
        else
            canvas->HorizLine3D(ap + WallSize + Offset, ap + WallSize + Offset + Length, p, FZPixel);
        return;
    }
    const int c = Offset + WallSize;
    const bool in3D = FParentChart->View3D();
    if (FHorizontal) {
        if (in3D)
            canvas->VertLine3D(p, ap + c, ap + c + Length, FZPixel);
        else
            canvas->VertLine(p, ap + c, ap + c + Length);
    } else {
        if (in3D)
            canvas->HorizLine3D(ap - c, ap - c - Length, p, FZPixel);
        else
            canvas->HorizLine(ap - c, ap - c - Length, p);
    }
}

void TChartAxis::DrawTicks(TChartPen* Pen, int Offset, int Length, int WallSize) {
    TPlotCanvas3D* canvas = FParentChart->DrawCanvas();
    canvas->UseChartPen(Pen);
    for (int p : FTickPositions)
        DrawTick(p, Offset, Length, WallSize);
}

void TChartAxis::DrawGridLine(int Pixel) {
    if (!(FStartPixel < Pixel && Pixel < FEndPixel))
        return;
    // Grid lines run across the chart: an axis without one has nowhere to draw them.
    TPlotCanvas3D* canvas = FParentChart ? FParentChart->DrawCanvas() : nullptr;
    if (!canvas)
        return;
    const TRect r = FParentChart->ChartRect();
    const int p = Pixel;
    if (FIsDepthAxis) {
        canvas->VertLine3D(r.Left, r.Top, r.Bottom, p);
        canvas->HorizLine3D(r.Left, r.Right, r.Bottom, p);
        return;
    }
    if (FParentChart->View3D()) {
        const int depth = FParentChart->Width3D();
        const bool behind = FParentChart->AxisBehind();
        const int z = behind ? depth : 0;
        if (!behind || !FHideBackGrid) {
            if (FHorizontal)
                canvas->VertLine3D(p, r.Top, r.Bottom, z);
            else
                canvas->HorizLine3D(r.Left, r.Right, p, z);
        }
        if (behind && !FHideSideGrid) {
            int c = RoundToInt(depth * FGrid->ZPosition() * 0.01);
            if (c != depth) {
                if (FHorizontal)
                    canvas->ZLine3D(p, FAxisPixel, depth, c);
                else
                    canvas->ZLine3D(FAxisPixel, p, depth, c);
            }
        }
        return;
    }
    if (FHorizontal)
        canvas->VertLine(p, r.Top + 1, r.Bottom);
    else
        canvas->HorizLine(r.Left + 1, r.Right, p);
}

void TChartAxis::DrawMinorMark(bool AsGrid, int Pixel, int WallSize) {
    if (!(FStartPixel < Pixel && Pixel < FEndPixel))
        return;
    if (AsGrid)
        DrawGridLine(Pixel);
    else
        DrawTick(Pixel, 1, FMinorTickLength, WallSize);
}

void TChartAxis::DrawMinorMarks(bool AsGrid, int WallSize) {
    const std::vector<int>& t = FTickPositions;
    const int n = static_cast<int>(t.size());
    const int k = FMinorTickCount;
    if (n == 0 || k < 1)
        return;
    const double f = 1.0 / (k + 1);
    if (!FLogarithmic) {
        if (n >= 2) {
            double s = (t[1] - t[0]) * f;
            for (int c = 1; c <= k; ++c) {
                DrawMinorMark(AsGrid, t[0] - RoundToInt(c * s), WallSize);
                DrawMinorMark(AsGrid, t[n - 1] + RoundToInt(c * s), WallSize);
            }
        }
        for (int i = 1; i < n; ++i) {
            double s = (t[i] - t[i - 1]) * f;
            for (int j = 1; j <= k; ++j)
                DrawMinorMark(AsGrid, t[i] - RoundToInt(s * j), WallSize);
        }
        return;
    }
    const double base = FLogarithmicBase;
    const double last = PixelToValue(t[n - 1]);
    std::vector<double> starts;
    starts.reserve(n + 2);
    starts.push_back(last / base);
    for (int p : t)
        starts.push_back(PixelToValue(p));
    starts.push_back(last * base);
    std::vector<double> done;
    for (double v : starts) {
        if (std::find(done.begin(), done.end(), v) != done.end())
            continue;
        done.push_back(v);
        double step = (v * base - v) * f;
        for (int j = 1; j <= k; ++j) {
            double value = v + j * step;
            if (value >= FRangeMin && value <= FRangeMax)
                DrawMinorMark(AsGrid, ValueToPixel(value), WallSize);
        }
    }
}

void TChartAxis::DrawAxisLinesAndGrid() {
    TPlotCanvas3D* canvas = FParentChart ? FParentChart->DrawCanvas() : nullptr;
    if (!canvas)
        return;
    const int wall = FParentChart->WallSizeOf(this);
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetBackMode(TRANSPARENT);

    if (FAxis->Visible()) {
        if (FAxis->LineMode() == lmLine) {
            canvas->UseChartPen(FAxis.get());
        } else {
            canvas->Pen()->SetStyle(psClear);
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Brush()->SetColor(FAxis->Color());
        }
        DrawAxisLine(wall);
        canvas->Brush()->SetStyle(bsClear);
    }
    if (FTicks->Visible())
        DrawTicks(FTicks.get(), 1, FTickLength, wall);

    if (OnBeforeDrawGrid)
        OnBeforeDrawGrid(this);
    if (FGrid->Visible() && !FTickPositions.empty()) {
        canvas->Brush()->SetStyle(bsClear);
        canvas->SetBackMode(TRANSPARENT);
        canvas->UseChartPenWithColor(FGrid.get(),
                                     FGrid->Color() == AutoColor ? TColor(0x808080) : FGrid->Color());
        // A count below 1 would divide by zero; it means every tick.
        const int every = std::max(1, FGrid->DrawEvery());
        const std::vector<int>& t = FTickPositions;
        const int n = static_cast<int>(t.size());
        if (FGrid->Centered()) {
            for (int i = 1; i < n; ++i)
                if (i % every == 0)
                    DrawGridLine(RoundToInt((t[i] + t[i - 1]) * 0.5));
        } else {
            for (int i = 0; i < n; ++i)
                if (i % every == 0)
                    DrawGridLine(t[i]);
        }
    }

    if (FTicksInner->Visible())
        DrawTicks(FTicksInner.get(), -1, -FTickInnerLength, wall);
    if (FMinorTicks->Visible() && !FTickPositions.empty()) {
        canvas->UseChartPen(FMinorTicks.get());
        DrawMinorMarks(false, wall);
    }
    if (FMinorGrid->Visible() && !FTickPositions.empty()) {
        canvas->UseChartPen(FMinorGrid.get());
        DrawMinorMarks(true, wall);
    }
    canvas->SetBackMode(OPAQUE);
}

} // namespace chart
