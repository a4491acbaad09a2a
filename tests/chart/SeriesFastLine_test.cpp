// The fast line: one stroke through the visible points, the pixel-column skipping, nulls and stairs
// (checked on the recorded strokes), the at-once segment of a new point, colours kept equal, margins,
// hit test and settings; and a picture of a 4096-point frame.
#include <gtest/gtest.h>

#include <cmath>

#include "SeriesTestUtil.h"

using namespace seriestest;

namespace {

const TColor kLine = 0x2040C0;

TPoint Pix(TChartSeries* s, double x, double y) {
    return TPoint(s->CalcXPosValue(x), s->CalcYPosValue(y));
}

TFastLineSeries* AddFast(TSeriesChart& t, std::initializer_list<std::pair<double, double>> points) {
    auto* s = t.Add<TFastLineSeries>();
    s->SetSeriesColor(kLine);
    for (auto [x, y] : points)
        s->AddXY(x, y);
    return s;
}

std::vector<TPoint> Vertices(TSeriesChart& t) {
    std::vector<TPoint> v;
    for (const TStroke& s : t.Strokes(kLine))
        v.insert(v.end(), s.Points.begin(), s.Points.end());
    return v;
}

} // namespace

TEST(FastLineDrawing, OneStrokeThroughEveryPoint) {
    TSeriesChart t;
    TFastLineSeries* s = AddFast(t, {{0, 10}, {3, 80}, {7, 40}, {10, 90}});
    t.Range(0, 10, 0, 100);
    t.Render();
    const std::vector<TStroke> strokes = t.Strokes(kLine);
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0].Points,
              (std::vector<TPoint>{Pix(s, 0, 10), Pix(s, 3, 80), Pix(s, 7, 40), Pix(s, 10, 90)}));
    t.Render();
    const TPoint a = Pix(s, 3, 80), b = Pix(s, 7, 40);
    EXPECT_GE(t.Count(kLine, TRect((a.X + b.X) / 2 - 1, (a.Y + b.Y) / 2 - 1, (a.X + b.X) / 2 + 2,
                                   (a.Y + b.Y) / 2 + 2)),
              1);
    EXPECT_EQ(t.Count(kLine), t.Count(kLine, t.ChartRect()));
}

TEST(FastLineDrawing, PixelColumnSkipping) {
    // Three points on one column, two on the next, one more: x 0, 0.005, 0.01 | 1, 1.005 | 2.
    TSeriesChart t;
    TFastLineSeries* s = AddFast(t, {{0, 10}, {0.005, 50}, {0.01, 30}, {1, 60}, {1.005, 20}, {2, 40}});
    t.Range(0, 10, 0, 100);
    t.Render();
    ASSERT_EQ(s->CalcXPosValue(0), s->CalcXPosValue(0.01));
    ASSERT_EQ(s->CalcXPosValue(1), s->CalcXPosValue(1.005));
    const TPoint p[6] = {Pix(s, 0, 10), Pix(s, 0.005, 50), Pix(s, 0.01, 30),
                         Pix(s, 1, 60), Pix(s, 1.005, 20), Pix(s, 2, 40)};
    // All points: only a repeated pixel would be skipped.
    EXPECT_EQ(Vertices(t), (std::vector<TPoint>{p[0], p[1], p[2], p[3], p[4], p[5]}));
    // Only the first point of each column is joined; the line jumps to the next column's first.
    s->SetDrawAllPoints(false);
    EXPECT_EQ(Vertices(t), (std::vector<TPoint>{p[0], p[3], p[5]}));
}

TEST(FastLineDrawing, RepeatedPixelSkippedWithAllPoints) {
    TSeriesChart t;
    TFastLineSeries* s = AddFast(t, {{0, 10}, {0.001, 10.001}, {1, 20}});
    t.Range(0, 10, 0, 100);
    t.Render();
    EXPECT_EQ(Vertices(t), (std::vector<TPoint>{Pix(s, 0, 10), Pix(s, 1, 20)}));
}

TEST(FastLineDrawing, ManyPointsCostAtMostOneSegmentPerColumn) {
    TSeriesChart t;
    auto* s = t.Add<TFastLineSeries>();
    s->SetSeriesColor(kLine);
    for (int i = 0; i < 4096; ++i)
        s->AddXY(i, 50 + 40 * std::sin(i * 0.37));
    t.Range(0, 4095, 0, 100);
    t.Render();
    const int columns = t.ChartRect().Right - t.ChartRect().Left + 1;
    EXPECT_GT(t.Segments(kLine), 4000);
    s->SetDrawAllPoints(false);
    const int segments = t.Segments(kLine);
    EXPECT_LE(segments, columns);
    EXPECT_GE(segments, columns - 3);
    // The same picture of the data, drawn with few segments: every column still has ink.
    t.Render();
    const TRect r = t.ChartRect();
    for (int x = r.Left + 2; x < r.Right - 1; x += 17)
        EXPECT_GE(t.Count(kLine, TRect(x, r.Top, x + 1, r.Bottom)), 1) << x;
}

TEST(FastLineDrawing, NullPoints) {
    TSeriesChart t;
    TFastLineSeries* s = AddFast(t, {{0, 10}, {1, 20}});
    s->AddNullXY(2, 70);
    s->AddXY(3, 40);
    s->AddXY(4, 50);
    t.Range(0, 4, 0, 100);
    t.Render();
    const TPoint p[5] = {Pix(s, 0, 10), Pix(s, 1, 20), Pix(s, 2, 70), Pix(s, 3, 40), Pix(s, 4, 50)};
    // Ignored: the null point is drawn at its stored value.
    std::vector<TStroke> strokes = t.Strokes(kLine);
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0].Points, (std::vector<TPoint>{p[0], p[1], p[2], p[3], p[4]}));
    // Not ignored: the pen lifts on the way into the null point and draws on from there.
    s->SetIgnoreNulls(false);
    strokes = t.Strokes(kLine);
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].Points, (std::vector<TPoint>{p[0], p[1]}));
    EXPECT_EQ(strokes[1].Points, (std::vector<TPoint>{p[2], p[3], p[4]}));
}

TEST(FastLineDrawing, StairsAndInvertedStairs) {
    TSeriesChart t;
    TFastLineSeries* s = AddFast(t, {{0, 0}, {5, 50}, {10, 100}});
    t.Range(0, 10, 0, 100);
    t.Render();
    const TPoint p0 = Pix(s, 0, 0), p1 = Pix(s, 5, 50), p2 = Pix(s, 10, 100);
    s->SetStairs(true);
    EXPECT_EQ(Vertices(t), (std::vector<TPoint>{p0, TPoint(p1.X, p0.Y), p1, TPoint(p2.X, p1.Y), p2}));
    s->SetInvertedStairs(true);
    EXPECT_EQ(Vertices(t), (std::vector<TPoint>{p0, TPoint(p0.X, p1.Y), p1, TPoint(p1.X, p2.Y), p2}));
}

TEST(FastLineDrawing, ZoomedStartsFromThePointBeforeTheEdge) {
    TSeriesChart t;
    TFastLineSeries* s = AddFast(t, {});
    for (int i = 0; i < 10; ++i)
        s->AddXY(i, i * 10);
    t.Range(2.5, 6.5, 0, 100);
    t.Render();
    const std::vector<TPoint> v = Vertices(t);
    ASSERT_EQ(v.size(), 6u); // from point 2 to point 7, the first beyond the right edge
    EXPECT_EQ(v.front(), Pix(s, 2, 20));
    EXPECT_EQ(v.back(), Pix(s, 7, 70));
    // The clip keeps the ink inside the chart rectangle.
    t.Render();
    EXPECT_EQ(t.Count(kLine), t.Count(kLine, t.ChartRect()));
}

TEST(FastLineDrawing, WideAndDottedPensDrawSegmentBySegment) {
    TSeriesChart t;
    TFastLineSeries* s = AddFast(t, {{0, 10}, {5, 80}, {10, 40}});
    t.Range(0, 10, 0, 100);
    t.Render();
    s->LinePen()->SetWidth(3);
    const std::vector<TStroke> strokes = t.Strokes(kLine);
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0].Points, (std::vector<TPoint>{Pix(s, 0, 10), Pix(s, 5, 80), Pix(s, 10, 40)}));
    t.Render();
    EXPECT_GT(t.Count(kLine), 3 * 300);
}

TEST(FastLineAddPoint, AtOnceWithoutRepaint) {
    TSeriesChart t;
    TFastLineSeries* s = AddFast(t, {{0, 0}, {5, 50}});
    t.Range(0, 10, 0, 100);
    t.Render();
    int added = 0;
    s->OnAfterAdd = [&](TChartSeries*, int) { ++added; };
    s->SetAutoRepaint(false);
    t.Fill(clWhite);
    const int invalidations = t.Chart->Invalidations;
    s->AddXY(10, 100);
    EXPECT_EQ(added, 0);
    EXPECT_EQ(t.Chart->Invalidations, invalidations);
    // Only the new segment is on the canvas.
    const TPoint p0 = Pix(s, 0, 0), p1 = Pix(s, 5, 50), p2 = Pix(s, 10, 100);
    EXPECT_GT(t.Count(kLine), 50);
    EXPECT_EQ(t.At((p0.X + p1.X) / 2, (p0.Y + p1.Y) / 2), clWhite);
    EXPECT_GE(t.Count(kLine, TRect((p1.X + p2.X) / 2 - 1, (p1.Y + p2.Y) / 2 - 1, (p1.X + p2.X) / 2 + 2,
                                   (p1.Y + p2.Y) / 2 + 2)),
              1);
    EXPECT_EQ(s->PrevX(), p2.X);

    // An inactive series shows nothing.
    s->SetActive(false);
    t.Fill(clWhite);
    s->AddXY(11, 0);
    EXPECT_EQ(t.Count(kLine), 0);

    // With AutoRepaint the usual events and the repaint.
    s->SetActive(true);
    s->SetAutoRepaint(true);
    const int before = t.Chart->Invalidations;
    s->AddXY(12, 0);
    EXPECT_EQ(added, 1);
    EXPECT_GT(t.Chart->Invalidations, before);
}

TEST(FastLineSettings, ColoursStayEqual) {
    TSeriesChart t;
    auto* s = t.Add<TFastLineSeries>();
    // The chart's free palette colour is also the pen's.
    EXPECT_EQ(s->StoredSeriesColor(), AutoColor);
    EXPECT_NE(s->SeriesColor(), AutoColor);
    EXPECT_EQ(s->LinePen()->Color(), s->SeriesColor());
    s->SetSeriesColor(clRed);
    EXPECT_EQ(s->LinePen()->Color(), clRed);
    TChartPen pen;
    pen.SetColor(clBlue);
    pen.SetWidth(2);
    s->SetLinePen(&pen);
    EXPECT_EQ(s->SeriesColor(), clBlue);
    EXPECT_EQ(s->LinePen()->Width(), 2);
}

TEST(FastLineSettings, MarginsGrowWithThePenWidth) {
    TFastLineSeries s(nullptr);
    const int expected[] = {0, 1, 2, 3, 3, 4};
    for (int w = 1; w <= 5; ++w) {
        s.LinePen()->SetWidth(w);
        int l = -1, r = -1, top = -1, bottom = -1;
        s.GetHorizMargins(l, r);
        s.GetVertMargins(top, bottom);
        EXPECT_EQ(std::vector<int>({l, r, top, bottom}), std::vector<int>(4, expected[w])) << w;
    }
}

TEST(FastLineSettings, HitTest) {
    TSeriesChart t;
    TFastLineSeries* s = AddFast(t, {{0, 0}, {5, 50}, {10, 50}});
    EXPECT_EQ(s->PointAtPixel(0, 0), -1); // nothing visible yet
    t.Range(0, 10, 0, 100);
    t.Render();
    const TPoint p1 = Pix(s, 5, 50), p2 = Pix(s, 10, 50);
    EXPECT_EQ(s->PointAtPixel(p1.X, p1.Y), 1);
    EXPECT_EQ(s->PointAtPixel((p1.X + p2.X) / 2, p1.Y + 1), 1);
    EXPECT_EQ(s->PointAtPixel((p1.X + p2.X) / 2, p1.Y + 2), -1);
    EXPECT_EQ(s->PointAtPixel(p2.X, p2.Y), 2);
}

TEST(FastLineSettings, DefaultsAssignStockPenAndGallery) {
    TFastLineSeries s(nullptr);
    EXPECT_TRUE(s.AutoRepaint());
    EXPECT_TRUE(s.DrawAllPoints());
    EXPECT_TRUE(s.IgnoreNulls());
    EXPECT_FALSE(s.Stairs());
    EXPECT_FALSE(s.InvertedStairs());
    EXPECT_FALSE(s.SingleFunctionPoint());
    EXPECT_TRUE(s.DrawBetweenPoints());
    EXPECT_EQ(s.EditorClassName(), "TFastLineSeriesEditor");
    // No stock pen on this system: the series keeps its line pen.
    s.SetStockDCPen(true);
    EXPECT_FALSE(s.UseStockDCPen());
    EXPECT_EQ(s.StockPenHandle(), nullptr);

    TFastLineSeries source(nullptr);
    source.SetAutoRepaint(false);
    source.SetDrawAllPoints(false);
    source.SetIgnoreNulls(false);
    source.SetStairs(true);
    source.SetInvertedStairs(true);
    source.SetSeriesColor(clGreen);
    s.Assign(&source);
    EXPECT_FALSE(s.AutoRepaint());
    EXPECT_FALSE(s.DrawAllPoints());
    EXPECT_FALSE(s.IgnoreNulls());
    EXPECT_TRUE(s.Stairs());
    EXPECT_TRUE(s.InvertedStairs());
    EXPECT_EQ(s.SeriesColor(), clGreen);

    std::vector<std::string> names;
    s.AddGallerySubTypes([&](const std::string& n) { names.push_back(n); });
    EXPECT_EQ(names, (std::vector<std::string>{"Normal", "Marks", "Dotted", "Stairs"}));
    TFastLineSeries g(nullptr);
    g.ApplyGallerySubType(2);
    EXPECT_TRUE(g.LinePen()->SmallDots());
    g.ApplyGallerySubType(3);
    EXPECT_TRUE(g.Stairs());
}

TEST(FastLineSettings, LegendSymbolIsAHorizontalLine) {
    TSeriesChart t;
    TFastLineSeries* s = AddFast(t, {{0, 1}});
    t.Chart->Canvas()->UseChartPen(s->LinePen());
    s->DrawLegendSymbol(-1, TRect(10, 10, 40, 20));
    EXPECT_EQ(t.Count(kLine, TRect(10, 15, 40, 16)), 30);
    EXPECT_EQ(t.Count(kLine), 30);
}

TEST(FastLinePicture, FrameOf4096Points) {
    TSeriesChart t(1000, 600, 20);
    t.Chart->SetAxisVisible(true);
    auto* s = t.Add<TFastLineSeries>();
    s->SetSeriesColor(clBlack);
    s->SetTitle("Data");
    for (int i = 0; i < 4096; ++i) {
        const double peak = 3000 * std::exp(-std::pow((i - 1400) / 60.0, 2)) +
                            1800 * std::exp(-std::pow((i - 2900) / 25.0, 2));
        s->AddXY(i, 400 + 150 * std::sin(i * 0.011) + 40 * std::sin(i * 1.7) + peak);
    }
    t.Render();
    EXPECT_GT(t.Count(clBlack, t.ChartRect()), 3000);
    // The left axis' labels are drawn after the bottom axis' grid: text only, no filled boxes.
    const TRect labels(0, t.ChartRect().Top, t.ChartRect().Left - 4, t.ChartRect().Bottom);
    EXPECT_LT(t.Count(clBlack, labels), labels.Width() * labels.Height() / 4);
    charttest::SavePng(t.Target, "fast_line_4096.png");
}
