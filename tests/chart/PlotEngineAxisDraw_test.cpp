// Axis placement (the room an axis takes from the chart rectangle) and the drawing of its line, ticks,
// grids and title, checked by pixels.
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "PlotEngineAxisTestUtil.h"

namespace {

using namespace axistest;

std::unique_ptr<TChartAxis> FreeAxis(bool Horizontal, bool OtherSide) {
    auto a = std::make_unique<TChartAxis>(static_cast<TCustomAxisPanel*>(nullptr));
    a->SetHorizontal(Horizontal);
    a->SetOtherSide(OtherSide);
    return a;
}

// ---- Placement ----

TEST(AxisPlacement, TicksSpace) {
    auto a = FreeAxis(true, false);
    EXPECT_EQ(a->MeasureTicksSpace(), 7); // pen 2 + 1, ticks 4
    a->Axis()->SetVisible(false);
    EXPECT_EQ(a->MeasureTicksSpace(), 4);
    a->Ticks()->SetVisible(false);
    EXPECT_EQ(a->MeasureTicksSpace(), 2); // the minor ticks still need their length
    a->MinorTicks()->SetVisible(false);
    EXPECT_EQ(a->MeasureTicksSpace(), 0);
}

TEST(AxisPlacement, SidesTable) {
    const TRect r(10, 20, 410, 220);
    const struct {
        bool Horizontal, OtherSide;
        int Shifted; // ShiftAxisPosition(100, 10)
        int Edge;
        TRect Shrunk; // by 5
    } cases[] = {
        {true, false, 110, 220, TRect(10, 20, 410, 215)}, // bottom: outward is down
        {true, true, 90, 20, TRect(10, 25, 410, 220)},    // top: up
        {false, false, 90, 10, TRect(15, 20, 410, 220)},  // left: left
        {false, true, 110, 410, TRect(10, 20, 405, 220)}, // right: right
    };
    for (const auto& c : cases) {
        auto a = FreeAxis(c.Horizontal, c.OtherSide);
        EXPECT_EQ(a->ShiftAxisPosition(100, 10), c.Shifted) << c.Horizontal << c.OtherSide;
        EXPECT_EQ(a->AxisEdge(r), c.Edge) << c.Horizontal << c.OtherSide;
        TRect s = r;
        a->ShrinkChartRectForAxis(s, 5);
        EXPECT_EQ(s, c.Shrunk) << c.Horizontal << c.OtherSide;
    }
}

TEST(AxisPlacement, PositionPercent) {
    const TRect r(0, 0, 400, 200);
    auto left = FreeAxis(false, false);
    left->SetPositionPercent(50);
    EXPECT_EQ(left->ApplyPositionPercent(0, r), 200);
    left->SetPositionUnits(muPixels);
    EXPECT_EQ(left->ApplyPositionPercent(0, r), 50);
    auto right = FreeAxis(false, true);
    right->SetPositionPercent(25);
    EXPECT_EQ(right->ApplyPositionPercent(400, r), 300);
    auto bottom = FreeAxis(true, false);
    bottom->SetPositionPercent(50);
    EXPECT_EQ(bottom->ApplyPositionPercent(200, r), 100);
    auto top = FreeAxis(true, true);
    top->SetPositionPercent(10);
    EXPECT_EQ(top->ApplyPositionPercent(0, r), 20);
    // No shift at 0.
    top->SetPositionPercent(0);
    EXPECT_EQ(top->ApplyPositionPercent(7, r), 7);
}

TEST(AxisPlacement, ShrinkingTakesTitleLabelsAndTicks) {
    TAxisChart t;
    TChartAxis* a = t.Bottom();
    a->SetAxisRange(0, 100);
    a->Title()->SetCaption("Time");
    a->CalcPositions();
    a->UpdateScales();
    const TRect start = t.Chart->ChartRect();

    TPlotCanvas3D* c = t.Chart->DrawCanvas();
    c->UseFont(a->Title()->Font());
    const int titleHeight = c->FontHeight();
    c->UseFont(a->LabelsFont());
    const int labelsHeight = c->FontHeight();

    TRect r = start;
    a->ComputeAxisRect(r, true);
    EXPECT_EQ(r.Top, start.Top);
    EXPECT_EQ(r.Bottom, start.Bottom - titleHeight - labelsHeight - 7);
    EXPECT_EQ(a->TitlePixel(), start.Bottom - titleHeight);
    EXPECT_EQ(a->LabelsPixel(), start.Bottom - titleHeight - labelsHeight);

    // A fixed title and label size replace the measured ones; labels off take no room.
    a->SetTitleSize(30);
    a->SetLabels(false);
    r = start;
    a->ComputeAxisRect(r, true);
    EXPECT_EQ(r.Bottom, start.Bottom - 30 - 7);

    // The left axis measures its widest label.
    // Without series an axis shows no labels; these show values.
    TChartAxis* left = t.Left();
    left->SetLabelStyle(talValue);
    left->SetAxisRange(0, 1000);
    left->SetPixels(start.Top, start.Bottom);
    left->SetRange(0, 1000);
    r = start;
    left->ComputeAxisRect(r, true);
    EXPECT_EQ(r.Left, start.Left + left->MaxLabelsWidth() + 7);
    EXPECT_GT(left->MaxLabelsWidth(), c->TextWidth("1,000"));
}

TEST(AxisPlacement, CustomAxisTakesNoRoomButGetsPositions) {
    TAxisChart t;
    auto* custom = static_cast<TChartAxis*>(t.Chart->CustomAxes()->Add());
    ASSERT_EQ(t.Chart->Axes()->AxisAt(6), custom);
    custom->SetAxisRange(0, 10);
    custom->Title()->SetCaption("Custom");
    const TRect start = t.Chart->ChartRect();
    TRect r = start;
    custom->ComputeAxisRect(r, false);
    EXPECT_EQ(r, start);
    EXPECT_EQ(custom->AxisPixel(), start.Left);
    EXPECT_EQ(custom->LabelsPixel(), start.Left - custom->MeasureTicksSpace());
    EXPECT_EQ(custom->TitlePixel(), custom->LabelsPixel() - custom->MeasureLabelsSpace());
}

TEST(AxisPlacement, AxisRectAndClicks) {
    TAxisChart t;
    TChartAxis* a = t.Bottom();
    a->SetPixels(40, 360);
    a->SetAxisPixel(260);
    a->SetLabelsPixel(280);
    EXPECT_EQ(a->AxisRect(), TRect(40, 257, 360, 280));
    EXPECT_FALSE(a->Clicked(100, 270)); // not shown at the last draw
    a->SetIsShown(true);
    EXPECT_TRUE(a->Clicked(100, 270));
    EXPECT_TRUE(a->Clicked(40, 257));
    EXPECT_FALSE(a->Clicked(360, 270));
    EXPECT_FALSE(a->Clicked(100, 250));
    // A vertical axis swaps the directions; far-side labels lie beyond the line.
    TChartAxis* right = t.Chart->RightAxis();
    right->SetPixels(40, 260);
    right->SetAxisPixel(360);
    right->SetLabelsPixel(380);
    EXPECT_EQ(right->AxisRect(), TRect(357, 40, 380, 260));
}

// ---- Drawing ----

// A bottom axis over 40..360 with only the part under test visible, in a pure colour.
struct TGridFixture : TAxisChart {
    TChartAxis* A;
    TGridFixture() {
        A = Bottom();
        A->SetPixels(40, 360);
        A->SetAxisPixel(260);
        A->Axis()->SetVisible(false);
        A->Ticks()->SetVisible(false);
        A->MinorTicks()->SetVisible(false);
        A->Grid()->SetVisible(false);
    }
    // The x positions of columns in the row y that hold colour c.
    std::vector<int> Columns(TColor c, int y) {
        std::vector<int> xs;
        for (int x = 0; x < Target.Width(); ++x)
            if (At(x, y) == c)
                xs.push_back(x);
        return xs;
    }
    void Draw(std::vector<int> Ticks) {
        Fill();
        A->TickPositions() = std::move(Ticks);
        A->DrawAxisLinesAndGrid();
    }
};

TEST(AxisDrawing, GridLines) {
    TGridFixture f;
    f.A->Grid()->SetVisible(true);
    f.A->Grid()->SetStyle(psSolid);
    f.A->Grid()->SetColor(clRed);
    const std::vector<int> ticks{300, 240, 180, 120, 60};

    f.Draw(ticks);
    EXPECT_EQ(f.Columns(clRed, 150), (std::vector<int>{60, 120, 180, 240, 300}));

    f.A->SetGridCentered(true);
    f.Draw(ticks);
    EXPECT_EQ(f.Columns(clRed, 150), (std::vector<int>{90, 150, 210, 270}));

    f.A->SetGridCentered(false);
    f.A->Grid()->SetDrawEvery(2);
    f.Draw(ticks);
    EXPECT_EQ(f.Columns(clRed, 150), (std::vector<int>{60, 180, 300}));

    // Below 1 it acts as 1.
    f.A->Grid()->SetDrawEvery(0);
    f.Draw(ticks);
    EXPECT_EQ(f.Columns(clRed, 150).size(), 5u);
    f.A->Grid()->SetDrawEvery(-3);
    f.Draw(ticks);
    EXPECT_EQ(f.Columns(clRed, 150).size(), 5u);

    // Lines exactly at the axis ends are left out.
    f.A->Grid()->SetDrawEvery(1);
    f.Draw({360, 200, 40});
    EXPECT_EQ(f.Columns(clRed, 150), (std::vector<int>{200}));

    // The grid runs from just below the chart top to the chart bottom.
    f.Draw({200});
    const TRect cr = f.Chart->ChartRect();
    EXPECT_NE(f.At(200, cr.Top), clRed);
    EXPECT_EQ(f.At(200, cr.Top + 1), clRed);
    EXPECT_EQ(f.At(200, cr.Bottom - 1), clRed);
    EXPECT_NE(f.At(200, cr.Bottom), clRed);
}

TEST(AxisDrawing, MinorTicksBetweenAndBeyondTicks) {
    TGridFixture f;
    f.A->MinorTicks()->SetVisible(true);
    f.A->MinorTicks()->SetColor(clBlue);
    f.A->SetMinorTickCount(3);
    f.Draw({300, 200, 100});
    // Ticks start one pixel below the axis line and run MinorTickLength pixels.
    const int y = f.A->AxisPixel() + 1;
    std::vector<int> expected{50, 75, 125, 150, 175, 225, 250, 275, 325, 350};
    EXPECT_EQ(f.Columns(clBlue, y), expected);
    EXPECT_EQ(f.Columns(clBlue, y + 1), expected);
    EXPECT_TRUE(f.Columns(clBlue, y + 2).empty());

    // The minor grid draws the same marks as grid lines.
    f.A->MinorTicks()->SetVisible(false);
    f.A->MinorGrid()->SetVisible(true);
    f.A->MinorGrid()->SetColor(clGreen);
    f.Draw({300, 200, 100});
    EXPECT_EQ(f.Columns(clGreen, 150), expected);
}

TEST(AxisDrawing, TicksAndAxisLine) {
    TGridFixture f;
    f.A->Axis()->SetVisible(true);
    f.A->Axis()->SetColor(clBlack);
    f.A->Ticks()->SetVisible(true);
    f.A->Ticks()->SetColor(clRed);
    f.A->TicksInner()->SetColor(clBlue);
    f.A->SetTickInnerLength(3);
    f.Draw({100, 200});
    // The line lies at the axis pixel; the outer ticks go 1 .. 4 pixels below it, the inner ones above.
    EXPECT_EQ(f.At(150, f.A->AxisPixel()), clBlack);
    for (int dy = 1; dy <= 4; ++dy)
        EXPECT_EQ(f.At(100, f.A->AxisPixel() + dy), clRed) << dy;
    EXPECT_NE(f.At(100, f.A->AxisPixel() + 5), clRed);
    for (int dy = 1; dy <= 3; ++dy)
        EXPECT_EQ(f.At(200, f.A->AxisPixel() - dy), clBlue) << dy;
}

TEST(AxisDrawing, WholeAxesWithTitlesLabelsGridAndMinorTicks) {
    TAxisChart t(480, 320, 20);
    t.ShowOnly({t.Bottom(), t.Left()});
    // A series (drawing nothing itself) gives both axes their automatic range 0..100 and value labels.
    auto* s = new TChartSeries(nullptr);
    t.Chart->AddSeries(s);
    s->AddXY(0, 0);
    s->AddXY(100, 100);
    for (TChartAxis* a : {t.Bottom(), t.Left()}) {
        a->Grid()->SetColor(clSilver);
        a->MinorTicks()->SetColor(clBlue);
        a->Ticks()->SetColor(clRed);
        a->Axis()->SetColor(clBlack);
    }
    t.Bottom()->Title()->SetCaption("Pixel");
    t.Left()->Title()->SetCaption("Counts");
    t.Render();
    charttest::SavePng(t.Target, "axis.png");

    TChartAxis* b = t.Bottom();
    TChartAxis* l = t.Left();
    const TRect cr = t.Chart->ChartRect();
    // The axes took their room: the plot area starts right of the left labels and above the bottom ones.
    EXPECT_GT(cr.Left, 20 + l->MaxLabelsWidth());
    EXPECT_LT(cr.Bottom, 300 - 7);
    EXPECT_EQ(b->StartPixel(), cr.Left);
    EXPECT_EQ(b->EndPixel(), cr.Right);

    // Labels from 100 down to 0, each with a red tick below the axis line.
    std::vector<int> ticks = b->TickPositions();
    ASSERT_GE(ticks.size(), 3u);
    EXPECT_EQ(ticks.front(), b->ValueToPixel(100));
    EXPECT_EQ(ticks.back(), b->ValueToPixel(0));
    for (int p : ticks)
        EXPECT_EQ(t.At(p, b->AxisPixel() + 3), clRed) << p;
    // Grid lines inside the plot area at the inner ticks, minor ticks between ticks.
    EXPECT_EQ(t.At(ticks[1], (cr.Top + cr.Bottom) / 2), clSilver);
    EXPECT_GT(t.Count(clBlue, TRect(ticks[1] + 1, b->AxisPixel() + 1, ticks[0], b->AxisPixel() + 3)), 0);
    // The titles and the labels left ink in their bands.
    EXPECT_GT(t.Ink(TRect(cr.Left, b->LabelsPixel(), cr.Right, b->TitlePixel())), 20);
    EXPECT_GT(t.Ink(TRect(cr.Left, b->TitlePixel(), cr.Right, 320)), 20);
    EXPECT_GT(t.Ink(TRect(0, cr.Top, l->TitlePixel(), cr.Bottom)), 20);
    // The axis line (pen width 2) covers the axis pixel.
    const int row = l->TickPositions()[0] + 2; // off the grid and the minor ticks
    EXPECT_EQ(t.Count(clBlack, TRect(l->AxisPixel() - 2, row, l->AxisPixel() + 3, row + 1)), 2);
    EXPECT_EQ(t.At(l->AxisPixel(), row), clBlack);
}

TEST(AxisDrawing, ThreeDimensionalAxes) {
    TAxisChart t(480, 320, 20);
    t.Chart->SetView3D(true);
    t.Chart->DepthAxis()->SetVisible(true);
    auto* s = new TChartSeries(nullptr);
    t.Chart->AddSeries(s);
    s->SetTitle("Frame");
    s->AddXY(0, 0);
    s->AddXY(100, 100);
    t.Chart->TopAxis()->SetVisible(false);
    t.Chart->RightAxis()->SetVisible(false);
    t.Bottom()->Title()->SetCaption("Pixel");
    t.Bottom()->Axis()->SetLineMode(lmCylinder);
    t.Left()->Axis()->SetLineMode(lmRectangle);
    t.Render();
    charttest::SavePng(t.Target, "axis3d.png");
    const int depth = t.Chart->Width3D();
    ASSERT_GT(depth, 0);
    EXPECT_GE(t.Bottom()->TickPositions().size(), 2u);
    // The depth axis labels its one slot with the series title, right of the plot area.
    EXPECT_EQ(t.Chart->DepthAxis()->TickPositions().size(), 1u);
    EXPECT_GT(t.Ink(TRect(t.Chart->ChartRect().Right + depth, 0, 480, 320)), 20);
}

TEST(AxisDrawing, ZeroSizedChartDrawsWithoutFault) {
    TAxisChart t(1, 1, 0);
    t.Bottom()->Title()->SetCaption("Pixel");
    t.Bottom()->SetLabelsAlternate(true);
    t.Left()->SetLogarithmic(true);
    t.Render();
    TAxisChart e(0, 0, 0);
    e.Chart->SetBounds(0, 0, 0, 0);
    EXPECT_NO_THROW(e.Chart->RenderToBitmap(clWhite, TRect(0, 0, 0, 0)));
}

} // namespace
