// The chain-drawing engine through the line series: which points are visible, the lines, stairs, gaps,
// symbols and areas it draws (by the recorded strokes and by pixels), stacking, the shadow and outline
// passes, margins, legend symbol, hit test, and the horizontal variant.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "SeriesTestUtil.h"
#include "chart/PlotConst.h"

using namespace seriestest;

namespace {

const TColor kLine = 0x2040C0; // a colour nothing else in the chart uses

TPoint Pix(TChartSeries* s, double x, double y) {
    return TPoint(s->CalcXPosValue(x), s->CalcYPosValue(y));
}

TLineSeries* AddLine(TSeriesChart& t, std::initializer_list<std::pair<double, double>> points) {
    auto* s = t.Add<TLineSeries>();
    s->SetSeriesColor(kLine);
    for (auto [x, y] : points)
        s->AddXY(x, y);
    return s;
}

std::vector<TPoint> Vertices(TSeriesChart& t, TColor c = kLine) {
    std::vector<TPoint> v;
    for (const TStroke& s : t.Strokes(c))
        v.insert(v.end(), s.Points.begin(), s.Points.end());
    return v;
}

// A series of the engine that fills the area below its line.
class TAreaTestSeries : public TCustomSeries {
public:
    explicit TAreaTestSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
        FDrawArea = true;
        FPointer->Hide();
    }
};

// A kind of its own: its points go one by one through the general drawing path.
class TOwnLineSeries : public TLineSeries {
public:
    using TLineSeries::TLineSeries;
};

} // namespace

// The engine's own line kinds gather their chain in one sweep; a kind of its own draws point by point.
// Both must give the same strokes whatever the view.
TEST(LineSeriesDrawing, WholeFrameChainMatchesPointByPoint) {
    struct TCase {
        const char* Name;
        double XMin, XMax;
        bool Inverted, Stairs, Logarithmic;
    };
    const TCase cases[] = {
        {"whole", 0, 999, false, false, false},
        {"zoomed", 123.4, 456.7, false, false, false},
        {"inverted", 0, 999, true, false, false},
        {"inverted zoomed", 200.5, 300.5, true, false, false},
        {"stairs zoomed", 50.5, 400, false, true, false},
        {"logarithmic", 1, 999, false, false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TPoint> strokes[2];
        for (int own = 0; own < 2; ++own) {
            TSeriesChart t(640, 400, 30);
            TLineSeries* s = own ? t.Add<TOwnLineSeries>() : t.Add<TLineSeries>();
            s->SetSeriesColor(kLine);
            s->SetStairs(c.Stairs);
            // Dense and noisy, like a camera frame: many points share a pixel column.
            for (int i = 0; i < 1000; ++i)
                s->AddXY(i, 50 + 40 * std::sin(i * 0.05) + ((i * 7919) % 13) - 6);
            t.Chart->BottomAxis()->SetInverted(c.Inverted);
            t.Chart->LeftAxis()->SetLogarithmic(c.Logarithmic);
            t.Range(c.XMin, c.XMax, 1, 110);
            strokes[own] = Vertices(t);
        }
        EXPECT_GT(strokes[0].size(), 50u);
        EXPECT_EQ(strokes[0], strokes[1]);
    }
}

TEST(SeriesVisibleRange, SortedXZoomedAndUnordered) {
    TSeriesChart t;
    TLineSeries* line = AddLine(t, {});
    auto* fast = t.Add<TFastLineSeries>();
    for (int i = 0; i < 10; ++i) {
        line->AddXY(i, i);
        fast->AddXY(i, i);
    }
    const struct {
        double Min, Max;
        int First, Last;
    } cases[] = {
        {2.5, 6.5, 3, 7}, // the first point beyond the right edge stays, so the line reaches the edge
        {0, 9, 0, 9},
        {-5, 3, 0, 3},
        {20, 30, -1, -1},
    };
    for (const auto& c : cases) {
        t.Range(c.Min, c.Max, 0, 10);
        t.Render();
        for (TChartSeries* s : {static_cast<TChartSeries*>(line), static_cast<TChartSeries*>(fast)}) {
            EXPECT_EQ(s->FirstVisibleIndex(), c.First) << c.Min << ".." << c.Max;
            EXPECT_EQ(s->LastVisibleIndex(), c.Last) << c.Min << ".." << c.Max;
        }
    }
    // Unordered X: every point counts as visible.
    line->XValues()->SetOrder(loNone);
    t.Range(2.5, 6.5, 0, 10);
    t.Render();
    EXPECT_EQ(line->FirstVisibleIndex(), 0);
    EXPECT_EQ(line->LastVisibleIndex(), 9);
}

TEST(LineSeriesDrawing, JoinsPointsInSeriesColour) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {{0, 0}, {5, 80}, {10, 20}});
    t.Range(0, 10, 0, 100);
    t.Render();
    const std::vector<TPoint> expected = {Pix(s, 0, 0), Pix(s, 5, 80), Pix(s, 10, 20)};
    EXPECT_EQ(Vertices(t), expected);
    // On the bitmap: every pixel of the line is in the series colour and inside the chart rectangle.
    const TRect r = t.ChartRect();
    EXPECT_GT(t.Count(kLine, r), 200);
    EXPECT_EQ(t.Count(kLine), t.Count(kLine, r));
    const TPoint mid((expected[0].X + expected[1].X) / 2, (expected[0].Y + expected[1].Y) / 2);
    EXPECT_GE(t.Count(kLine, TRect(mid.X - 1, mid.Y - 1, mid.X + 2, mid.Y + 2)), 1);
    // A hidden pointer draws nothing: no black outline at the points.
    EXPECT_EQ(t.Count(clBlack, r), 0);
}

TEST(LineSeriesDrawing, StairsAndInvertedStairs) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {{0, 10}, {5, 50}, {10, 90}});
    t.Range(0, 10, 0, 100);
    s->SetStairs(true);
    t.Render();
    const TPoint p0 = Pix(s, 0, 10), p1 = Pix(s, 5, 50), p2 = Pix(s, 10, 90);
    EXPECT_EQ(Vertices(t), (std::vector<TPoint>{p0, TPoint(p1.X, p0.Y), p1, TPoint(p2.X, p1.Y), p2}));
    s->SetInvertedStairs(true);
    EXPECT_EQ(Vertices(t), (std::vector<TPoint>{p0, TPoint(p0.X, p1.Y), p1, TPoint(p1.X, p2.Y), p2}));
    // The pixels of the first step: along the bottom, then up.
    s->SetInvertedStairs(false);
    t.Render();
    EXPECT_EQ(t.At((p0.X + p1.X) / 2, p0.Y), kLine);
    EXPECT_EQ(t.At(p1.X, (p0.Y + p1.Y) / 2), kLine);
}

TEST(LineSeriesDrawing, ZoomedLineStartsAtTheLeftEdge) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {});
    for (int i = 0; i < 10; ++i)
        s->AddXY(i, i * 10);
    t.Range(2.5, 6.5, 0, 100);
    t.Render();
    const int left = t.ChartRect().Left;
    // The y value interpolated at the edge's x value.
    const double xe = t.Chart->BottomAxis()->PixelToValue(left);
    std::vector<TPoint> v = Vertices(t);
    ASSERT_EQ(v.size(), 6u); // edge, points 3..7
    EXPECT_EQ(v[0], TPoint(left, s->CalcYPosValue(xe * 10)));
    EXPECT_EQ(v[1], Pix(s, 3, 30));
    EXPECT_EQ(v[5], Pix(s, 7, 70));
    // With stairs the edge takes the height of the point before.
    s->SetStairs(true);
    v = Vertices(t);
    EXPECT_EQ(v[0], TPoint(left, s->CalcYPosValue(20)));
    EXPECT_EQ(v[1], TPoint(s->CalcXPosValue(3), s->CalcYPosValue(20)));
}

TEST(LineSeriesDrawing, NullPointLeavesAGapOnBothSides) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {{0, 10}, {1, 20}});
    s->AddNullXY(2, 30);
    s->AddXY(3, 40);
    s->AddXY(4, 50);
    t.Range(0, 4, 0, 100);
    const std::vector<TStroke> strokes = t.Strokes(kLine);
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].Points, (std::vector<TPoint>{Pix(s, 0, 10), Pix(s, 1, 20)}));
    EXPECT_EQ(strokes[1].Points, (std::vector<TPoint>{Pix(s, 3, 40), Pix(s, 4, 50)}));
}

TEST(LineSeriesDrawing, EachLineInItsPointColour) {
    TSeriesChart t;
    auto* s = AddLine(t, {});
    s->AddXY(0, 0, "", clRed);
    s->AddXY(5, 50, "", clBlue);
    s->AddXY(10, 20, "", clGreen);
    t.Range(0, 10, 0, 100);
    // Point colours alone do not colour the lines.
    EXPECT_EQ(t.Segments(kLine), 2);
    s->SetColorEachPoint(true);
    EXPECT_EQ(t.Segments(kLine), 0);
    EXPECT_EQ(Vertices(t, clBlue), (std::vector<TPoint>{Pix(s, 0, 0), Pix(s, 5, 50)}));
    EXPECT_EQ(Vertices(t, clGreen), (std::vector<TPoint>{Pix(s, 5, 50), Pix(s, 10, 20)}));
    s->SetColorEachLine(false);
    EXPECT_EQ(t.Segments(kLine), 2);
}

TEST(LineSeriesDrawing, PointersDrawnOnceEachOverTheLines) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {{0, 10}, {4, 60}, {4.001, 60}, {8, 30}});
    s->AddNullXY(9, 50);
    s->AddXY(10, 40);
    t.Range(0, 10, 0, 100);
    s->Pointer()->Show();
    std::vector<int> asked;
    s->OnGetPointerStyle = [&](TChartSeries*, int index) {
        asked.push_back(index);
        return psRectangle;
    };
    t.Render();
    // Points 1 and 2 share a pixel: no line between them, but both symbols; the null point has none.
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 2, 3, 5}));
    // The symbol's frame (black pen) lies over the line, its inside takes the point colour.
    const TPoint p = Pix(s, 8, 30);
    EXPECT_EQ(t.At(p.X - 4, p.Y - 4), clBlack);
    EXPECT_EQ(t.At(p.X + 2, p.Y - 2), kLine);
    // A single visible point shows only its symbol.
    asked.clear();
    t.Range(-1, 0.5, 0, 100);
    s->SetDrawBetweenPoints(false);
    t.Render();
    EXPECT_EQ(asked, (std::vector<int>{0}));
    EXPECT_EQ(t.Segments(kLine), 0);
}

TEST(LineSeriesDrawing, AreaFillsDownToTheAxis) {
    TSeriesChart t;
    auto* s = t.Add<TAreaTestSeries>();
    s->SetSeriesColor(kLine);
    s->AddXY(0, 50);
    s->AddXY(10, 50);
    t.Range(0, 10, 0, 100);
    s->LinePen()->SetColor(clBlack);
    t.Render();
    const TPoint p = Pix(s, 5, 50);
    const TRect r = t.ChartRect();
    EXPECT_EQ(t.At(p.X, p.Y + 20), kLine);
    EXPECT_EQ(t.At(p.X, r.Bottom - 3), kLine);
    EXPECT_EQ(t.At(p.X, p.Y - 5), clWhite);
    EXPECT_EQ(t.At(p.X, p.Y), clBlack); // the top line in the line pen
}

TEST(LineSeriesDrawing, AreaVariantsFillBelowTheLine) {
    const struct {
        bool Stairs, Inverted, Gradient;
        int Transparency;
        bool View3D;
    } cases[] = {
        {false, false, true, 0, false},   {true, false, false, 0, false}, {true, true, true, 0, false},
        {false, false, false, 50, false}, {false, false, false, 0, true}, {true, false, false, 30, true},
    };
    for (const auto& c : cases) {
        TSeriesChart t;
        auto* s = t.Add<TAreaTestSeries>();
        s->SetSeriesColor(kLine);
        s->AddXY(0, 50);
        s->AddXY(5, 70);
        s->AddXY(10, 50);
        t.Range(0, 10, 0, 100);
        t.Chart->SetView3D(c.View3D);
        s->SetStairs(c.Stairs);
        s->SetInvertedStairs(c.Inverted);
        s->Gradient()->SetVisible(c.Gradient);
        s->SetTransparency(c.Transparency);
        t.Render();
        auto ink = [&](double y0, double y1) {
            int n = 0;
            for (double x = 1; x < 10; x += 1)
                for (double y = y0; y < y1; y += 5) {
                    const TPoint p = Pix(s, x, y);
                    n += t.At(p.X, p.Y) != clWhite;
                }
            return n;
        };
        const std::string name = std::to_string(c.Stairs) + std::to_string(c.Inverted) +
                                 std::to_string(c.Gradient) + std::to_string(c.Transparency) +
                                 std::to_string(c.View3D);
        EXPECT_GE(ink(10, 40), 50) << name; // below every point: filled
        EXPECT_LE(ink(85, 100), 3) << name; // above every point: empty
    }
}

TEST(LineSeriesDrawing, ThreeDimensionalChartDraws) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {{0, 10}, {5, 90}, {10, 40}});
    t.Range(0, 10, 0, 100);
    t.Chart->SetView3D(true);
    s->SetLineHeight(5);
    s->SetStairs(true);
    t.Render();
    EXPECT_GT(t.Count(kLine), 100);
}

TEST(LineSeriesPasses, OutlineKeepsTheSeriesColour) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {{0, 10}, {10, 90}});
    t.Range(0, 10, 0, 100);
    s->OutLine()->SetColor(clBlue);
    s->OutLine()->SetVisible(true);
    t.Render();
    EXPECT_EQ(s->SeriesColor(), kLine);
    EXPECT_EQ(s->LinePen()->Width(), 1);
    EXPECT_TRUE(s->LinePen()->Visible());
    // The wide outline under the line, the line on top in its own colour.
    const int blue = t.Count(clBlue), line = t.Count(kLine);
    EXPECT_GT(blue, 2 * line);
    EXPECT_GT(line, 100);
    // A second draw looks the same: nothing of the outline pass stayed.
    t.Render();
    EXPECT_EQ(t.Count(kLine), line);
    EXPECT_EQ(t.Count(clBlue), blue);
}

TEST(LineSeriesPasses, ShadowIsAnOffsetCopy) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {{0, 50}, {10, 50}});
    t.Range(0, 10, 0, 100);
    s->Pointer()->Show();
    s->Shadow()->SetColor(clGray);
    s->Shadow()->SetHorizSize(3);
    s->Shadow()->SetVertSize(3);
    t.Render();
    const TPoint p = Pix(s, 5, 50);
    EXPECT_EQ(t.At(p.X, p.Y), kLine);
    EXPECT_EQ(t.At(p.X + 3, p.Y + 3), clGray);
    // The pass puts back the axes, the colour and the pointer.
    EXPECT_EQ(Pix(s, 5, 50), p);
    EXPECT_EQ(s->SeriesColor(), kLine);
    EXPECT_TRUE(s->Pointer()->Visible());
}

TEST(LineSeriesStacking, StackedAndHundredPercent) {
    TSeriesChart t;
    TLineSeries* a = AddLine(t, {{0, 10}, {1, 0}, {2, 10}});
    TLineSeries* b = AddLine(t, {{0, 5}, {1, 0}, {2, -4}});
    a->SetStacked(cssStack);
    EXPECT_EQ(b->Stacked(), cssStack); // the mode goes to the series of the same class
    EXPECT_EQ(b->MaxY(), 15);
    EXPECT_EQ(b->MinY(), -4);
    t.Range(0, 2, -20, 120);
    t.Render();
    EXPECT_EQ(b->ScreenY(0), b->CalcYPosValue(15));
    EXPECT_EQ(b->OriginPosition(0), b->CalcYPosValue(10));
    // A negative value is stacked only on negatives.
    EXPECT_EQ(b->ScreenY(2), b->CalcYPosValue(-4));

    b->SetStacked(cssStack100);
    EXPECT_EQ(a->Stacked(), cssStack100);
    EXPECT_EQ(b->MinY(), 0);
    EXPECT_EQ(b->MaxY(), 100);
    t.Render();
    EXPECT_EQ(a->ScreenY(0), a->CalcYPosValue(10 * 100.0 / 15));
    EXPECT_EQ(b->ScreenY(0), b->CalcYPosValue(100));
    // All zero at an index: the axis end.
    EXPECT_EQ(b->ScreenY(1), t.Chart->LeftAxis()->EndPixel());
}

TEST(LineSeriesMargins, PointerStairsOutlineAndMarks) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {{0, 1}});
    int l = -1, r = -1, top = -1, bottom = -1;
    s->GetHorizMargins(l, r);
    s->GetVertMargins(top, bottom);
    EXPECT_EQ(std::vector<int>({l, r, top, bottom}), std::vector<int>({0, 0, 0, 0}));
    s->Pointer()->Show();
    s->Pointer()->SetHorizSize(4);
    s->Pointer()->SetVertSize(6);
    s->GetHorizMargins(l, r);
    s->GetVertMargins(top, bottom);
    EXPECT_EQ(std::vector<int>({l, r, top, bottom}), std::vector<int>({5, 5, 7, 7}));
    s->Pointer()->Hide();
    s->SetStairs(true);
    s->LinePen()->SetWidth(3);
    s->OutLine()->SetVisible(true);
    s->OutLine()->SetWidth(9);
    s->GetHorizMargins(l, r);
    EXPECT_EQ(l, 9);
    s->OutLine()->SetVisible(false);
    s->GetHorizMargins(l, r);
    EXPECT_EQ(r, 3);
    // Marks sit above the point: the top margin holds the callout.
    s->SetStairs(false);
    s->Marks()->SetVisible(true);
    s->Marks()->Callout()->SetDistance(2);
    s->GetVertMargins(top, bottom);
    EXPECT_EQ(top, s->Marks()->Callout()->Length() + 2);
    EXPECT_EQ(bottom, 0);
    // Ribbon height counts only in 3D.
    s->SetLineHeight(12);
    s->GetVertMargins(top, bottom);
    EXPECT_EQ(bottom, 0);
    t.Chart->SetView3D(true);
    s->GetVertMargins(top, bottom);
    EXPECT_EQ(bottom, 12);
}

TEST(LineSeriesLegend, SymbolIsALineOrThePointer) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {{0, 1}});
    const TRect box(10, 10, 40, 21);
    s->DrawLegendSymbol(-1, box);
    EXPECT_EQ(t.Count(kLine, TRect(10, 15, 40, 16)), 30);
    EXPECT_EQ(t.Count(kLine, TRect(0, 0, 400, 15)), 0);
    t.Fill(clWhite);
    s->Pointer()->Show();
    s->DrawLegendSymbol(-1, box);
    // The symbol at the centre, its size limited to a third of the box height (11 / 3 = 3).
    EXPECT_EQ(t.At(25 - 4, 15 - 3), clBlack);
    EXPECT_EQ(t.At(25 - 4, 15 - 4), clWhite);
}

TEST(LineSeriesHitTest, PointsSegmentsAndPointers) {
    TSeriesChart t;
    TLineSeries* s = AddLine(t, {{0, 0}, {5, 50}, {10, 50}});
    t.Range(0, 10, 0, 100);
    t.Render();
    const TPoint p1 = Pix(s, 5, 50), p2 = Pix(s, 10, 50);
    EXPECT_EQ(s->PointAtPixel(p1.X, p1.Y), 1);
    EXPECT_EQ(s->PointAtPixel((p1.X + p2.X) / 2, p1.Y), 1); // on the segment 1 -> 2
    EXPECT_EQ(s->PointAtPixel((p1.X + p2.X) / 2, p1.Y + 1), 1);
    EXPECT_EQ(s->PointAtPixel((p1.X + p2.X) / 2, p1.Y + 3), -1);
    s->SetClickableLine(false);
    EXPECT_EQ(s->PointAtPixel((p1.X + p2.X) / 2, p1.Y), -1);
    EXPECT_EQ(s->PointAtPixel(p2.X, p2.Y), 2);

    // A pointer catches clicks within its size and tells OnClickPointer.
    s->SetClickableLine(true);
    s->Pointer()->Show();
    EXPECT_FALSE(s->HasClickEvents());
    std::vector<int> clicked;
    s->OnClickPointer = [&](TCustomSeries*, int index, int, int) { clicked.push_back(index); };
    EXPECT_TRUE(s->HasClickEvents());
    EXPECT_EQ(s->PointAtPixel(p1.X + 3, p1.Y - 3), 1);
    EXPECT_EQ(clicked, std::vector<int>{1});
    EXPECT_EQ(s->PointAtPixel(p1.X + 4, p1.Y - 3), -1); // the size bound is strict
    // A symbol of style psNothing is not hit, but the segment still is.
    s->OnGetPointerStyle = [](TChartSeries*, int) { return psNothing; };
    EXPECT_EQ(s->PointAtPixel(p1.X + 3, p1.Y), 1);
    EXPECT_EQ(clicked.size(), 1u);
}
