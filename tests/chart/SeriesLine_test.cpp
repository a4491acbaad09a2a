// The line series and its horizontal variant: what they set on the engine, their assignment, gallery
// sub-types and stream properties, and the horizontal line's order.
#include <gtest/gtest.h>

#include <cmath>

#include "SeriesTestUtil.h"
#include "chart/Chart.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

using namespace seriestest;

namespace {

const TColor kLine = 0x2040C0;

TPoint Pix(TChartSeries* s, double x, double y) {
    return TPoint(s->CalcXPosValue(x), s->CalcYPosValue(y));
}

std::vector<TPoint> Vertices(TSeriesChart& t) {
    std::vector<TPoint> v;
    for (const TStroke& s : t.Strokes(kLine))
        v.insert(v.end(), s.Points.begin(), s.Points.end());
    return v;
}

// Another kind of the engine: an area with its pointer shown.
class TAreaTestSeries : public TCustomSeries {
public:
    explicit TAreaTestSeries(TComponent* AOwner) : TCustomSeries(AOwner) { FDrawArea = true; }
};

} // namespace

TEST(HorizLineSeries, DrawsUpInAscendingY) {
    TSeriesChart t;
    auto* s = t.Add<THorizLineSeries>();
    s->SetSeriesColor(kLine);
    EXPECT_FALSE(s->YMandatory());
    EXPECT_EQ(s->XValues()->Order(), loNone);
    EXPECT_EQ(s->YValues()->Order(), loAscending);
    s->Add(5);
    s->Add(1);
    s->Add(3);
    EXPECT_EQ(s->YValues()->Value()[2], 2);
    t.Range(0, 10, 0, 2);
    t.Render();
    EXPECT_EQ(Vertices(t), (std::vector<TPoint>{Pix(s, 5, 0), Pix(s, 1, 1), Pix(s, 3, 2)}));
    // Every point counts as visible, whatever the range.
    t.Range(0, 10, 1.5, 2);
    t.Render();
    EXPECT_EQ(s->FirstVisibleIndex(), 0);
    EXPECT_EQ(s->LastVisibleIndex(), 2);
}

TEST(LineSeriesSettings, DefaultsAssignAndGallery) {
    TLineSeries line(nullptr);
    EXPECT_TRUE(line.DrawLine());
    EXPECT_FALSE(line.DrawArea());
    EXPECT_FALSE(line.Pointer()->Visible());
    EXPECT_FALSE(line.SingleFunctionPoint());
    EXPECT_TRUE(line.DrawBetweenPoints());
    EXPECT_TRUE(line.ClickableLine());
    EXPECT_TRUE(line.ColorEachLine());
    EXPECT_TRUE(line.Dark3D());
    EXPECT_FALSE(line.OutLine()->Visible());
    EXPECT_EQ(line.Stacked(), cssNone);
    EXPECT_EQ(line.EditorClassName(), "TCustomSeriesEditor");

    // From another kind: the pointer hides, and it always draws lines and never an area.
    TAreaTestSeries area(nullptr);
    area.Pointer()->Show();
    area.SetStairs(true);
    area.SetLineHeight(7);
    area.SetTransparency(130);
    EXPECT_EQ(area.Transparency(), 100);
    line.Assign(&area);
    EXPECT_FALSE(line.Pointer()->Visible());
    EXPECT_TRUE(line.Stairs());
    EXPECT_EQ(line.LineHeight(), 7);
    EXPECT_TRUE(line.DrawLine());
    EXPECT_FALSE(line.DrawArea());
    // From a line series the pointer keeps its visibility.
    TLineSeries other(nullptr);
    other.Pointer()->Show();
    line.Assign(&other);
    EXPECT_TRUE(line.Pointer()->Visible());

    std::vector<std::string> names;
    line.AddGallerySubTypes([&](const std::string& n) { names.push_back(n); });
    EXPECT_EQ(names, (std::vector<std::string>{"Normal", "Stairs", "Points", "Height", "Hollow", "Colors",
                                               "Marks", "No Border", "Outline"}));
    TLineSeries g(nullptr);
    g.ApplyGallerySubType(3);
    EXPECT_EQ(g.LineHeight(), 5);
    g.ApplyGallerySubType(4);
    EXPECT_EQ(g.LineBrush(), bsClear);
    g.ApplyGallerySubType(7);
    EXPECT_FALSE(g.LinePen()->Visible());
    g.ApplyGallerySubType(8);
    EXPECT_TRUE(g.OutLine()->Visible());
}

TEST(LineSeriesSettings, StreamProperties) {
    TLineSeries s(nullptr);
    s.SetName("Frame1");
    s.SetStairs(true);
    s.SetLineHeight(5);
    s.SetStacked(cssStack);
    s.SetLineBrush(bsClear);
    s.LinePen()->SetWidth(3);
    const std::string text = WriteComponentToText(&s);
    for (const char* line : {"Stairs = True", "LineHeight = 5", "Stacked = cssStack", "LineBrush = bsClear",
                             "LinePen.Width = 3"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    // Defaults are not written.
    EXPECT_EQ(text.find("ClickableLine"), std::string::npos) << text;
    TLineSeries back(nullptr);
    ReadComponentFromText(text, &back);
    EXPECT_TRUE(back.Stairs());
    EXPECT_EQ(back.LineHeight(), 5);
    EXPECT_EQ(back.Stacked(), cssStack);
    EXPECT_EQ(back.LineBrush(), bsClear);
    EXPECT_EQ(back.LinePen()->Width(), 3);

    TFastLineSeries fast(nullptr);
    fast.SetName("Live");
    fast.SetDrawAllPoints(false);
    fast.SetAutoRepaint(false);
    const std::string fastText = WriteComponentToText(&fast);
    EXPECT_NE(fastText.find("DrawAllPoints = False"), std::string::npos) << fastText;
    EXPECT_NE(fastText.find("AutoRepaint = False"), std::string::npos) << fastText;
    EXPECT_EQ(fastText.find("IgnoreNulls"), std::string::npos) << fastText;
}

// A chart written with its series and read back: what every series kind publishes.
TEST(LineSeriesSettings, SeriesTravelWithTheirChart) {
    TChart chart(nullptr);
    chart.SetName("Chart1");
    auto* line = new TLineSeries(&chart);
    line->SetName("Frame1");
    chart.AddSeries(line);
    line->SetTitle("Dark frame");
    line->SetSeriesColor(TColor(0x123456));
    line->SetVertAxis(aRightAxis);
    line->SetHorizAxis(aTopAxis);
    line->SetValueFormat("0.00");
    line->SetShowInLegend(false);
    line->SetDepth(5);
    line->SetCursor(crHandPoint);
    line->SetColorEachPoint(true);
    line->Marks()->SetVisible(true);
    line->XValues()->SetDateTime(true);
    auto* live = new TFastLineSeries(&chart);
    live->SetName("Live");
    chart.AddSeries(live);

    const std::string text = WriteComponentToText(&chart);
    for (const char* item : {"Title = 'Dark frame'", "SeriesColor = 1193046", "VertAxis = aRightAxis",
                             "HorizAxis = aTopAxis", "ValueFormat = '0.00'", "ShowInLegend = False", "Depth = 5",
                             "Cursor = crHandPoint", "ColorEachPoint = True", "Marks.Visible = True",
                             "XValues.DateTime = True", "XValues.Order = loAscending"})
        EXPECT_NE(text.find(item), std::string::npos) << item << "\n" << text;
    // The untouched series writes none of its defaults.
    const std::string liveText = text.substr(text.find("object Live"));
    for (const char* item : {"SeriesColor", "ValueFormat", "PercentFormat", "Cursor", "HorizAxis", "VertAxis",
                             "ShowInLegend", "Depth", "Active"})
        EXPECT_EQ(liveText.find(item), std::string::npos) << item << "\n" << liveText;
    // The fast line has one pen for everything: no point colours, no brush.
    live->SetColorEachPoint(true);
    live->Brush()->SetColor(clRed);
    const std::string fastText = WriteComponentToText(live);
    EXPECT_EQ(fastText.find("ColorEachPoint"), std::string::npos) << fastText;
    EXPECT_EQ(fastText.find("Brush"), std::string::npos) << fastText;
    live->SetColorEachPoint(false);

    TChart copy(nullptr);
    ReadComponentFromText(text, &copy);
    ASSERT_EQ(copy.SeriesCount(), 2);
    TChartSeries* back = copy.SeriesAt(0);
    EXPECT_EQ(back->Name(), "Frame1");
    EXPECT_EQ(back->Title(), "Dark frame");
    EXPECT_EQ(back->SeriesColor(), TColor(0x123456));
    EXPECT_EQ(back->VertAxis(), aRightAxis);
    EXPECT_EQ(back->HorizAxis(), aTopAxis);
    EXPECT_EQ(back->ValueFormat(), "0.00");
    EXPECT_FALSE(back->ShowInLegend());
    EXPECT_EQ(back->Depth(), 5);
    EXPECT_EQ(back->Cursor(), crHandPoint);
    EXPECT_TRUE(back->ColorEachPoint());
    EXPECT_TRUE(back->Marks()->Visible());
    EXPECT_TRUE(back->XValues()->DateTime());
    EXPECT_EQ(back->ParentChart(), &copy);
    EXPECT_EQ(copy.SeriesAt(1)->Name(), "Live");
    EXPECT_EQ(WriteComponentToText(&copy), text);
}

TEST(LineSeriesMarks, DrawEveryBelowOneMarksEveryPoint) {
    for (int every : {0, -3, 1}) {
        TSeriesChart t;
        auto* s = t.Add<TLineSeries>();
        for (int i = 0; i < 5; ++i)
            s->AddXY(i, 10 + 10 * i);
        t.Range(-1, 5, 0, 100);
        s->Marks()->SetVisible(true);
        s->Marks()->SetDrawEvery(every);
        t.Render();
        for (int i = 0; i < 5; ++i)
            EXPECT_NE(s->Marks()->Positions().Position(i), nullptr) << every << " " << i;
        // The mark sits above its point, lifted by the callout's length.
        const TSeriesMarkPosition* p = s->Marks()->Positions().Position(2);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->ArrowTo.Y, s->CalcYPosValue(30) - s->Marks()->Callout()->Length());
        EXPECT_LT(p->LeftTop.Y + p->Height, s->CalcYPosValue(30));
    }
}

// A chart window paints through its off-screen picture: the frames, their legend symbols and marks.
TEST(LineSeriesInAWindow, FramesLegendAndMarks) {
    TTestDriver driver;
    auto* form = NewForm<TForm>(Application);
    form->SetBounds(0, 0, 640, 420);
    auto* chart = new TChart(form);
    chart->SetParent(form);
    chart->SetBounds(0, 0, 620, 400);
    chart->SetView3D(false);
    const TColor colours[] = {0x2040C0, 0x10A020, 0xC03010};
    std::vector<TChartSeries*> series;
    for (int k = 0; k < 3; ++k) {
        TChartSeries* s = k < 2 ? static_cast<TChartSeries*>(new TLineSeries(form))
                                : static_cast<TChartSeries*>(new TFastLineSeries(form));
        s->SetSeriesColor(colours[k]);
        s->SetTitle("Frame " + std::to_string(k + 1));
        for (int i = 0; i < 200; ++i)
            s->AddXY(i, 100 + 60 * k + 40 * std::sin(i * 0.05 + k));
        chart->AddSeries(s);
        series.push_back(s);
    }
    series[0]->Marks()->SetVisible(true);
    series[0]->Marks()->SetDrawEvery(50);
    form->Show();
    driver.Pump();
    auto image = driver.Render(chart);
    ASSERT_TRUE(image);
    int ink[3] = {0, 0, 0};
    for (int y = 0; y < image->Height(); ++y)
        for (int x = 0; x < image->Width(); ++x)
            for (int k = 0; k < 3; ++k)
                ink[k] += TTestDriver::PixelOf(*image, x, y) == colours[k];
    for (int k = 0; k < 3; ++k)
        EXPECT_GT(ink[k], 200) << k;
    // Each series shows in the legend as a line in its colour, right of the plotting area.
    const TRect r = chart->ChartRect();
    for (int k = 0; k < 3; ++k) {
        int legendInk = 0;
        for (int y = 0; y < image->Height(); ++y)
            for (int x = r.Right + 1; x < image->Width(); ++x)
                legendInk += TTestDriver::PixelOf(*image, x, y) == colours[k];
        EXPECT_GE(legendInk, 5) << k;
    }
    // Marks of every 50th point of the first frame.
    const int mark = series[0]->Marks()->Positions().Count();
    EXPECT_GE(mark, 151);
    EXPECT_NE(series[0]->Marks()->Positions().Position(50), nullptr);
    delete form;
}
