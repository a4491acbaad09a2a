// The legend: its style, the rows it shows and where, the room it takes from the plotting area, its two
// text columns, symbols and check boxes, and which row a point hits.
#include "chart/ChartLegend.h"

#include <gtest/gtest.h>

#include "ChartTestUtil.h"
#include "chart/PlotConst.h"
#include "chart/Series.h"
#include "platform/rtl/FormText.h"

using namespace plat;
using namespace chart;
using namespace charttest;

namespace {

class LegendTest : public ::testing::Test {
protected:
    TChartPicture P;
    TChart* Chart = P.Chart.get();
    TChartLegend* Legend = Chart->Legend();

    void SetUp() override { Chart->SetAxisVisible(false); }
    // ChartRect of a draw without legend.
    TRect Bare() {
        Legend->SetVisible(false);
        P.Render();
        Legend->SetVisible(true);
        return Chart->ChartRect();
    }
    void AddSeries(int n, int points = 3) {
        for (int i = 0; i < n; ++i)
            P.AddDots(points, i, 1, "S" + std::to_string(i));
    }
    TPoint RowCentre(int Row) {
        const int rh = Legend->RowHeight();
        const TRect& box = Legend->ShapeBounds();
        return TPoint((box.Left + box.Right) / 2, Legend->ItemTop() + Row * rh + 1 + rh / 2);
    }
};

TEST_F(LegendTest, WithoutActiveSeriesNothingIsDrawnOrTaken) {
    const TRect bare = Bare();
    EXPECT_FALSE(Legend->WillDraw());
    P.Render();
    EXPECT_EQ(Chart->ChartRect(), bare);

    TDotSeries* s = P.AddDots(3);
    s->SetActive(false);
    P.Render();
    EXPECT_EQ(Chart->ChartRect(), bare);
    // With check boxes the legend lists the inactive series so they can be switched on.
    Legend->SetCheckBoxes(true);
    EXPECT_TRUE(Legend->WillDraw());
    P.Render();
    EXPECT_EQ(Legend->ItemCount(), 1);
    EXPECT_LT(Chart->ChartRect().Right, bare.Right);
}

TEST_F(LegendTest, AutomaticStyleListsValuesOfOneSeriesAndSeriesOfMore) {
    P.AddDots(5);
    P.Render();
    EXPECT_EQ(Legend->StyleInEffect(), lsValues);
    EXPECT_EQ(Legend->ItemCount(), 5);
    EXPECT_EQ(Legend->LastIndex(), 4);
    P.AddDots(2);
    P.Render();
    EXPECT_EQ(Legend->StyleInEffect(), lsSeries);
    EXPECT_EQ(Legend->ItemCount(), 2);
    Legend->SetLegendStyle(lsLastValues);
    P.Render();
    EXPECT_EQ(Legend->ItemCount(), 2);
}

TEST_F(LegendTest, VerticalLegendCutsRowsThatDoNotFit) {
    AddSeries(60, 1);
    const TRect bare = Bare();
    P.Render();
    const int rh = Legend->RowHeight();
    const int rows = Legend->RowCount();
    EXPECT_GT(rows, 5);
    EXPECT_LT(rows, 60);
    EXPECT_EQ(Legend->LastIndex(), rows - 1);
    const int room = bare.Bottom - 2 * Legend->Frame()->Width() - Legend->ItemTop();
    EXPECT_EQ(rows, room / rh);
}

TEST_F(LegendTest, HorizontalLegendWrapsIntoAtMostMaxNumRows) {
    AddSeries(200, 1);
    Legend->SetAlignment(laBottom);
    P.Render();
    EXPECT_GT(Legend->ColumnCount(), 1);
    EXPECT_EQ(Legend->RowCount(), 10);
    EXPECT_EQ(Legend->LastIndex(), Legend->ColumnCount() * 10 - 1);
    Legend->SetMaxNumRows(2);
    P.Render();
    EXPECT_EQ(Legend->RowCount(), 2);
}

TEST_F(LegendTest, EachAlignmentTakesItsSideOfTheChart) {
    AddSeries(3);
    const TRect bare = Bare();
    const int fw = Legend->Frame()->Width();
    struct Case {
        TLegendAlignment Alignment;
        std::function<void(const TRect& box, const TRect& cr)> Check;
    };
    const Case cases[] = {
        {laLeft,
         [&](const TRect& box, const TRect& cr) {
             EXPECT_EQ(box.Left, bare.Left + fw + 1);
             EXPECT_EQ(cr.Left, box.Right + 3 * (bare.Right - bare.Left) / 100);
         }},
        {laRight,
         [&](const TRect& box, const TRect& cr) {
             EXPECT_EQ(box.Right, bare.Right - Legend->Shadow()->HorizSize() - fw - 1);
             EXPECT_EQ(cr.Right, box.Left - 3 * (bare.Right - bare.Left) / 100);
         }},
        {laTop,
         [&](const TRect& box, const TRect& cr) {
             EXPECT_EQ(box.Top, bare.Top + fw + 1);
             EXPECT_EQ(cr.Top, box.Bottom + Chart->Shadow()->VertSize() + 4 * (bare.Bottom - bare.Top) / 100);
         }},
        {laBottom,
         [&](const TRect& box, const TRect& cr) {
             EXPECT_EQ(box.Bottom, bare.Bottom - (Chart->Shadow()->VertSize() + fw + 1));
             EXPECT_EQ(cr.Bottom, box.Top - 4 * (bare.Bottom - bare.Top) / 100);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Alignment));
        Legend->SetAlignment(c.Alignment);
        P.Render();
        c.Check(Legend->ShapeBounds(), Chart->ChartRect());
        EXPECT_GT(P.Ink(Legend->ShapeBounds()), 0);
    }
    // Without ResizeChart the plotting area keeps its room.
    Legend->SetResizeChart(false);
    P.Render();
    EXPECT_EQ(Chart->ChartRect(), bare);
}

TEST_F(LegendTest, RowsShowSymbolsInSeriesColoursAndCheckBoxes) {
    AddSeries(2);
    Chart->SeriesAt(0)->SetSeriesColor(clRed);
    Chart->SeriesAt(1)->SetSeriesColor(clBlue);
    P.Render();
    for (int i = 0; i < 2; ++i) {
        const TRect r = Legend->Items().Item(i)->SymbolRect;
        EXPECT_EQ(P.At((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), i == 0 ? clRed : clBlue);
    }
    const int plainLeft = Legend->ShapeBounds().Left;
    Legend->SetCheckBoxes(true);
    P.Render();
    EXPECT_EQ(Legend->ShapeBounds().Left, plainLeft - 15) << "room for the boxes";
    // The box frame of the first row, left of its symbol.
    const TRect r = Legend->Items().Item(0)->SymbolRect;
    int boxInk = 0;
    for (int x = Legend->ShapeBounds().Left + 2; x < r.Left; ++x)
        boxInk += P.At(x, (r.Top + r.Bottom) / 2) != clWhite;
    EXPECT_GT(boxInk, 0);
    SavePng(P.Target, "chart-legend-checkboxes.png");
}

TEST_F(LegendTest, GradientSymbolFadesIntoTheSeriesColour) {
    AddSeries(2);
    Chart->SeriesAt(0)->SetSeriesColor(clBlue);
    TPlotGradient* g = Legend->Symbol()->Gradient();
    g->SetStartColor(clWhite);
    g->SetDirection(gdLeftRight);
    g->SetVisible(true);
    Legend->Symbol()->SetWidthUnits(lcsPixels);
    Legend->Symbol()->SetWidth(40);
    P.Render();
    const TRect r = Legend->Items().Item(0)->SymbolRect;
    const int y = (r.Top + r.Bottom) / 2;
    // One end of the first row's symbol is white, the other the series' blue.
    const TColor a = P.At(r.Left + 2, y), b = P.At(r.Right - 3, y);
    const TColor white = GetRValue(a) > GetRValue(b) ? a : b, blue = white == a ? b : a;
    EXPECT_GT(GetRValue(white), 200);
    EXPECT_LT(GetRValue(blue), 40);
    EXPECT_GT(GetBValue(blue), 200);
    EXPECT_EQ(g->EndColor(), Chart->SeriesAt(1)->SeriesColor()) << "the last row's colour";
}

TEST_F(LegendTest, RadioButtonsKeepOneSeriesActive) {
    AddSeries(3);
    Legend->SetCheckBoxes(true);
    Legend->SetCheckBoxesStyle(cbsRadio);
    EXPECT_TRUE(Chart->SeriesAt(0)->Active());
    EXPECT_FALSE(Chart->SeriesAt(1)->Active());
    EXPECT_FALSE(Chart->SeriesAt(2)->Active());
    P.Render();
    EXPECT_EQ(Legend->ItemCount(), 3) << "check boxes list inactive series too";
    EXPECT_TRUE(Legend->CheckBoxClick(2));
    EXPECT_FALSE(Chart->SeriesAt(0)->Active());
    EXPECT_TRUE(Chart->SeriesAt(2)->Active());
    EXPECT_FALSE(Legend->CheckBoxClick(-1));

    Legend->SetCheckBoxesStyle(cbsCheck);
    P.Render();
    EXPECT_TRUE(Legend->CheckBoxClick(0));
    EXPECT_TRUE(Chart->SeriesAt(0)->Active());
    EXPECT_TRUE(Chart->SeriesAt(2)->Active());
    EXPECT_TRUE(Legend->CheckBoxClick(0));
    EXPECT_FALSE(Chart->SeriesAt(0)->Active());
}

TEST_F(LegendTest, RowUnderAPointInAVerticalLegend) {
    AddSeries(4);
    Legend->Title()->SetCaption("Frames");
    P.Render();
    ASSERT_TRUE(Legend->DrawTitleFlag());
    for (int row = 0; row < 4; ++row) {
        const TPoint c = RowCentre(row);
        EXPECT_EQ(Legend->RowAtPoint(c.X, c.Y), row);
    }
    const TRect& box = Legend->ShapeBounds();
    EXPECT_EQ(Legend->RowAtPoint(box.Left + 5, box.Top + 3), -1) << "the title is no row";
    EXPECT_EQ(Legend->RowAtPoint(box.Right + 1, RowCentre(0).Y), -1);
    EXPECT_EQ(Legend->RowAtPoint(box.Right, RowCentre(0).Y), 0) << "edges included";

    Legend->SetInverted(true);
    P.Render();
    EXPECT_EQ(Legend->RowAtPoint(RowCentre(0).X, RowCentre(0).Y), 3);
    EXPECT_GT(Legend->Items().Item(0)->Top, Legend->Items().Item(3)->Top)
        << "the first item is the lowest row";
}

TEST_F(LegendTest, RowUnderAPointInAHorizontalLegend) {
    AddSeries(3);
    Legend->SetAlignment(laTop);
    P.Render();
    ASSERT_EQ(Legend->ColumnCount(), 3);
    ASSERT_EQ(Legend->RowCount(), 1);
    const TRect& box = Legend->ShapeBounds();
    const int colW = (box.Right - box.Left) / 3;
    const int y = RowCentre(0).Y;
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(Legend->RowAtPoint(box.Left + c * colW + colW / 2, y), c);
    EXPECT_EQ(Legend->RowAtPoint(box.Left + colW / 2, box.Bottom + 1), -1);
}

TEST_F(LegendTest, TextSplitsIntoColumnsAlignedByTextStyle) {
    P.AddDots(3);
    Chart->OnGetLegendText = [](TCustomAxisPanel*, TLegendStyle, int Index, std::string& Text) {
        Text = std::to_string(Index * 100) + "\x06label\x06dropped";
    };
    struct Case {
        TLegendTextStyle Style;
        uint32_t Align;
    };
    for (const Case& c : {Case{ltsLeftValue, TA_RIGHT}, Case{ltsRightValue, TA_LEFT},
                          Case{ltsXAndValue, TA_RIGHT}, Case{ltsPlain, TA_LEFT}}) {
        SCOPED_TRACE(int(c.Style));
        Legend->SetTextStyle(c.Style);
        P.Render();
        TLegendItem* item = Legend->Items().Item(2);
        EXPECT_EQ(item->Text, "200");
        EXPECT_EQ(item->Align, c.Align);
        EXPECT_GT(Legend->ColumnWidth(1), 0);
    }
    // A right-aligned first column ends at the same x in every row.
    Legend->SetTextStyle(ltsLeftValue);
    P.Render();
    EXPECT_EQ(Legend->Items().Item(0)->Left, Legend->Items().Item(2)->Left);
    // Series rows are left-aligned whatever the text style.
    P.AddDots(2);
    P.Render();
    EXPECT_EQ(Legend->Items().Item(0)->Align, uint32_t(TA_LEFT));
}

TEST_F(LegendTest, NegativeFirstValueIsRefused) {
    Legend->SetFirstValue(2);
    try {
        Legend->SetFirstValue(-1);
        FAIL() << "no exception";
    } catch (const LegendException& e) {
        EXPECT_EQ(std::string(e.what()), ChartTextLegendFirstValue);
    }
    EXPECT_EQ(Legend->FirstValue(), 2);
}

TEST_F(LegendTest, FirstValueAndPagesChooseTheRows) {
    P.AddDots(10);
    Legend->SetFirstValue(4);
    P.Render();
    EXPECT_EQ(Legend->ItemCount(), 6);
    EXPECT_EQ(Legend->Items().Item(0)->Text, "4") << Legend->Items().Item(0)->Text;
    Chart->Pages()->SetMaxPointsPerPage(3);
    Chart->Pages()->SetCurrent(2);
    P.Render();
    EXPECT_EQ(Legend->FirstValue(), 3);
    EXPECT_EQ(Legend->ItemCount(), 3);
}

TEST_F(LegendTest, SymbolWidthByUnits) {
    AddSeries(2);
    P.Render();
    TLegendSymbol* symbol = Legend->Symbol();
    EXPECT_EQ(Legend->SymbolWidthFor(100), 20);
    EXPECT_EQ(Legend->SymbolWidthFor(50), 10);
    symbol->SetWidthUnits(lcsPixels);
    EXPECT_EQ(Legend->SymbolWidthFor(50), 20);
    symbol->SetSquared(true);
    EXPECT_EQ(Legend->SymbolWidthFor(50), Legend->RowHeight() - 5);
    symbol->SetVisible(false);
    EXPECT_EQ(Legend->SymbolWidthFor(50), 0);
}

TEST_F(LegendTest, EventsMoveTheBoxAndTheRows) {
    AddSeries(2);
    P.Render();
    const TRect before = Legend->ShapeBounds();
    const TRect symbolBefore = Legend->Items().Item(1)->SymbolRect;
    Chart->OnGetLegendRect = [](TCustomChart*, TRect& R) {
        R.Left -= 50;
        R.Right -= 50;
    };
    std::vector<int> asked;
    Chart->OnGetLegendPos = [&](TCustomChart*, int Index, int& X, int& Y, int& XColor) {
        asked.push_back(Index);
    };
    P.Render();
    EXPECT_EQ(Legend->ShapeBounds().Left, before.Left - 50);
    EXPECT_EQ(Legend->Items().Item(1)->SymbolRect.Left, symbolBefore.Left - 50);
    EXPECT_EQ(asked, (std::vector<int>{0, 1}));
}

// A legend placed by the layout keeps no place of its own in a stored chart: read back, it is laid out
// again rather than pinned where the last draw put it.
TEST(ChartLegendStreaming, OnlyACustomPlaceIsStored) {
    TChartPicture picture;
    auto* line = new TLineSeries(nullptr);
    line->SetTitle("Frame");
    for (int i = 0; i < 3; ++i)
        line->AddXY(i, i);
    picture.Chart->AddSeries(line);
    picture.Render();
    ASSERT_GT(picture.Chart->Legend()->Left(), 0);
    std::string text = WriteComponentToText(picture.Chart.get());
    EXPECT_EQ(text.find("Legend.Left"), std::string::npos) << text;
    TChart back(nullptr);
    ReadComponentFromText(text, &back);
    EXPECT_FALSE(back.Legend()->CustomPosition());

    picture.Chart->Legend()->SetLeft(30);
    text = WriteComponentToText(picture.Chart.get());
    EXPECT_NE(text.find("Legend.Left = 30"), std::string::npos) << text;
    TChart pinned(nullptr);
    ReadComponentFromText(text, &pinned);
    EXPECT_TRUE(pinned.Legend()->CustomPosition());
    EXPECT_EQ(pinned.Legend()->Left(), 30);
}

} // namespace
