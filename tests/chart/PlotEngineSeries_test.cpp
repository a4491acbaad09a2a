#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "chart/PlotEngine.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotEngineSeries.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/NumberFormat.h"

using namespace chart;

namespace {

std::vector<double> Values(const TChartValueList* List) {
    return std::vector<double>(List->Value().begin(), List->Value().begin() + List->Count());
}

// A series with points (x, y) added in the given order.
std::unique_ptr<TChartSeries> MakeSeries(const std::vector<std::pair<double, double>>& Points,
                                         TChartListOrder Order = loAscending) {
    auto series = std::make_unique<TChartSeries>(nullptr);
    series->XValues()->SetOrder(Order);
    for (auto [x, y] : Points)
        series->AddXY(x, y);
    return series;
}

} // namespace

// --- Adding -----------------------------------------------------------------------------------------

TEST(ChartSeriesAdd, PointsGoWhereTheXOrderPutsThem) {
    struct Case {
        TChartListOrder Order;
        std::vector<int> Indexes;
        std::vector<double> X;
        std::vector<double> Y;
    };
    const Case cases[] = {
        {loAscending, {0, 1, 1, 3}, {0, 1, 2, 2}, {10, 30, 20, 40}},
        {loDescending, {0, 0, 1, 1}, {2, 2, 1, 0}, {20, 40, 30, 10}},
        {loNone, {0, 1, 2, 3}, {0, 2, 1, 2}, {10, 20, 30, 40}},
    };
    for (const Case& c : cases) {
        TChartSeries series(nullptr);
        series.XValues()->SetOrder(c.Order);
        std::vector<int> indexes;
        indexes.push_back(series.AddXY(0, 10));
        indexes.push_back(series.AddXY(2, 20));
        indexes.push_back(series.AddXY(1, 30));
        indexes.push_back(series.AddXY(2, 40));
        EXPECT_EQ(indexes, c.Indexes) << c.Order;
        EXPECT_EQ(Values(series.XValues()), c.X) << c.Order;
        EXPECT_EQ(Values(series.YValues()), c.Y) << c.Order;
    }
}

// Appending a run of points leaves what adding them one by one leaves, whether or not they can be
// copied in one step: out of order, after points already there, equal and not-a-number X, any order.
TEST(ChartSeriesAdd, AppendingARunEqualsAddingEachPoint) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        TChartListOrder Order;
        std::vector<std::pair<double, double>> Before;
        std::vector<double> X, Y;
    };
    const Case cases[] = {
        {loAscending, {}, {0, 1, 2, 2, 5}, {9, 8, 7, 6, 5}},
        {loAscending, {{1, 1}, {3, 3}}, {3, 4, 6}, {30, 40, 60}},
        {loAscending, {{1, 1}, {3, 3}}, {2, 4}, {20, 40}},
        {loAscending, {}, {4, 1, 3}, {40, 10, 30}},
        {loAscending, {}, {1, nan, 2}, {10, 20, 30}},
        {loNone, {{5, 5}}, {4, 1, 3}, {40, 10, 30}},
        {loDescending, {}, {1, 2, 3}, {10, 20, 30}},
        {loAscending, {}, {1, 2, 3}, {10, 20}},
    };
    for (bool suspended : {true, false}) {
        for (const Case& c : cases) {
            auto appended = MakeSeries(c.Before, c.Order);
            auto added = MakeSeries(c.Before, c.Order);
            if (suspended)
                appended->SuspendUpdates();
            appended->AppendXY(c.X, c.Y);
            for (size_t i = 0; i < std::min(c.X.size(), c.Y.size()); ++i)
                added->AddXY(c.X[i], c.Y[i]);
            const std::vector<double> ax = Values(appended->XValues()), bx = Values(added->XValues());
            ASSERT_EQ(ax.size(), bx.size());
            for (size_t i = 0; i < ax.size(); ++i)
                EXPECT_TRUE(ax[i] == bx[i] || (std::isnan(ax[i]) && std::isnan(bx[i]))) << i;
            EXPECT_EQ(Values(appended->YValues()), Values(added->YValues()));
            EXPECT_EQ(appended->YValues()->MaxValue(), added->YValues()->MaxValue());
        }
    }
}

TEST(ChartSeriesAdd, AddValueNumbersPointsByCount) {
    TChartSeries series(nullptr);
    EXPECT_EQ(series.Add(7), 0);
    EXPECT_EQ(series.XValues()->Items(0), 0);
    for (int i = 0; i < 4; ++i)
        series.Add(i);
    series.Add(99);
    EXPECT_EQ(series.XValues()->Items(5), 5);
    EXPECT_EQ(series.YValues()->Items(5), 99);
}

TEST(ChartSeriesAdd, HorizontalKindsNumberTheYList) {
    TChartSeries series(nullptr);
    series.SetHorizontal();
    series.XValues()->SetOrder(loNone);
    series.Add(5);
    series.Add(6);
    EXPECT_EQ(Values(series.XValues()), (std::vector<double>{5, 6}));
    EXPECT_EQ(Values(series.YValues()), (std::vector<double>{0, 1}));
    EXPECT_EQ(series.MandatoryValue(1), 6);
}

TEST(ChartSeriesAdd, VetoedPointChangesNothing) {
    TChartSeries series(nullptr);
    int afterAdd = 0;
    series.OnBeforeAdd = [](TChartSeries* Sender) { return Sender->Count() < 2; };
    series.OnAfterAdd = [&](TChartSeries*, int) { ++afterAdd; };
    series.Add(1, "a", plat::clRed);
    series.Add(2);
    EXPECT_EQ(series.Add(3, "c", plat::clBlue), -1);
    EXPECT_EQ(series.Count(), 2);
    EXPECT_EQ(afterAdd, 2);
    EXPECT_EQ(series.XLabel(2), "");
    EXPECT_EQ(series.PointColor(2), AutoColor);
}

TEST(ChartSeriesAdd, NullPointsAreNullAndZero) {
    TChartSeries series(nullptr);
    series.Add(4);
    series.AddNull("gap");
    series.AddNullXY(5, 3);
    EXPECT_FALSE(series.PointIsNull(0));
    EXPECT_TRUE(series.PointIsNull(1));
    EXPECT_EQ(series.YValues()->Items(1), 0);
    EXPECT_EQ(series.XLabel(1), "gap");
    EXPECT_TRUE(series.PointIsNull(2));
    EXPECT_EQ(series.YValues()->Items(2), 3);
}

TEST(ChartSeriesAdd, ExtraListsTakeTheirTempValue) {
    TChartSeries series(nullptr);
    auto* z = new TChartValueList(&series, "Z");
    z->SetTempValue(7);
    series.AddXY(2, 20);
    z->SetTempValue(9);
    series.AddXY(1, 10);
    EXPECT_EQ(Values(z), (std::vector<double>{9, 7}));
    EXPECT_EQ(series.ValueListByName("z"), z);
    EXPECT_EQ(series.ValueListByName("nothing"), series.YValues());
}

// --- Colours and labels -----------------------------------------------------------------------------

TEST(ChartSeriesColors, ColourListIsCreatedOnlyWhenAPointNeedsIt) {
    TChartSeries series(nullptr);
    series.SetSeriesColor(plat::clGreen);
    for (int i = 0; i < 3; ++i)
        series.Add(i);
    EXPECT_FALSE(series.HasColors());
    series.SetPointColor(1, AutoColor);
    EXPECT_FALSE(series.HasColors());
    series.Add(3, "", plat::clRed);
    ASSERT_TRUE(series.HasColors());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(series.ValueColor(i), plat::clGreen) << i;
    EXPECT_EQ(series.ValueColor(3), plat::clRed);
}

TEST(ChartSeriesColors, ColorEachPointTakesThePaletteByIndex) {
    TChartSeries series(nullptr);
    series.Add(1);
    series.Add(2, "", plat::clRed);
    series.SetColorEachPoint(true);
    EXPECT_EQ(series.ValueColor(0), DefaultPaletteColor(0));
    EXPECT_EQ(series.ValueColor(1), plat::clRed);
}

TEST(ChartSeriesColors, ColoursAndLabelsFollowTheirPointsThroughSortedInsertsAndDeletes) {
    TChartSeries series(nullptr);
    series.AddXY(10, 1, "ten", plat::clRed);
    series.AddXY(30, 3, "thirty");
    series.AddXY(20, 2, "", plat::clBlue);
    series.AddXY(5, 0, "five", plat::clLime);
    // X 5, 10, 20, 30
    EXPECT_EQ(series.XLabel(0), "five");
    EXPECT_EQ(series.XLabel(1), "ten");
    EXPECT_EQ(series.XLabel(2), "");
    EXPECT_EQ(series.XLabel(3), "thirty");
    EXPECT_EQ(series.PointColor(0), plat::clLime);
    EXPECT_EQ(series.PointColor(1), plat::clRed);
    EXPECT_EQ(series.PointColor(2), plat::clBlue);
    EXPECT_EQ(series.PointColor(3), AutoColor);

    series.Delete(1);
    EXPECT_EQ(Values(series.XValues()), (std::vector<double>{5, 20, 30}));
    EXPECT_EQ(series.XLabel(0), "five");
    EXPECT_EQ(series.XLabel(2), "thirty");
    EXPECT_EQ(series.PointColor(1), plat::clBlue);

    // Sorting a descending X list exchanges whole points.
    series.XValues()->SetOrder(loDescending);
    series.XValues()->Sort();
    EXPECT_EQ(Values(series.XValues()), (std::vector<double>{30, 20, 5}));
    EXPECT_EQ(Values(series.YValues()), (std::vector<double>{3, 2, 0}));
    EXPECT_EQ(series.XLabel(0), "thirty");
    EXPECT_EQ(series.XLabel(2), "five");
    EXPECT_EQ(series.PointColor(1), plat::clBlue);
    EXPECT_EQ(series.PointColor(2), plat::clLime);
}

TEST(LabelsList, IsSparse) {
    TChartSeries series(nullptr);
    TLabelsList& labels = series.Labels();
    labels.SetLabel(9, "");
    EXPECT_EQ(labels.Count(), 0);
    labels.SetLabel(5, "five");
    EXPECT_EQ(labels.Count(), 6);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(labels.GetLabel(i), "");
    EXPECT_EQ(labels.GetLabel(9), "");
    labels.SetLabel(5, "");
    EXPECT_EQ(labels.Count(), 6);
    EXPECT_EQ(labels.GetLabel(5), "");

    TLabelsList empty(nullptr);
    empty.InsertLabel(3, "");
    EXPECT_EQ(empty.Count(), 0);
    empty.InsertLabel(2, "x");
    EXPECT_EQ(empty.Count(), 3);
    EXPECT_EQ(empty.GetLabel(2), "x");
    empty.DeleteLabel(7);
    empty.DeleteLabel(0);
    EXPECT_EQ(empty.GetLabel(1), "x");
}

// --- Deleting and clearing --------------------------------------------------------------------------

TEST(ChartSeriesDelete, OutOfRangeIndexesRaiseAndChangeNothing) {
    TChartSeries series(nullptr);
    try {
        series.DeletePoint(0);
        FAIL() << "no exception";
    } catch (const ChartException& e) {
        EXPECT_EQ(std::string(e.what()), "Series Delete: ValueIndex 0 out of bounds (0 to -1).");
    }
    series.Add(1);
    series.Add(2);
    for (int index : {2, -1, -5}) {
        try {
            series.DeletePoint(index);
            FAIL() << index;
        } catch (const ChartException& e) {
            EXPECT_EQ(std::string(e.what()),
                      plat::Format("Series Delete: ValueIndex %d out of bounds (0 to 1).", {index}));
        }
    }
    EXPECT_EQ(series.Count(), 2);
}

TEST(ChartSeriesDelete, RangeIsClampedToThePoints) {
    struct Case {
        int Start, Quantity;
        std::vector<double> Y;
    };
    const Case cases[] = {
        {1, 2, {0, 3, 4}},     {3, 100, {0, 1, 2}},     {5, 1, {0, 1, 2, 3, 4}},
        {-2, 3, {1, 2, 3, 4}}, {0, 0, {0, 1, 2, 3, 4}}, {0, 5, {}},
    };
    for (const Case& c : cases) {
        TChartSeries series(nullptr);
        for (int i = 0; i < 5; ++i)
            series.Add(i, "p" + std::to_string(i), i == 4 ? plat::clRed : AutoColor);
        series.DeletePointRange(c.Start, c.Quantity);
        EXPECT_EQ(Values(series.YValues()), c.Y) << c.Start << "," << c.Quantity;
        for (int i = 0; i < series.Count(); ++i)
            EXPECT_EQ(series.XLabel(i), "p" + std::to_string(static_cast<int>(series.YValues()->Items(i))));
        if (!c.Y.empty() && c.Y.back() == 4) {
            EXPECT_EQ(series.PointColor(series.Count() - 1), plat::clRed);
        }
    }
}

TEST(ChartSeriesDelete, RangeWithRenumberRefillsX) {
    auto series = MakeSeries({{0, 0}, {2, 1}, {4, 2}, {6, 3}});
    series->DeletePointRange(1, 1, true);
    EXPECT_EQ(Values(series->XValues()), (std::vector<double>{0, 1, 2}));
}

TEST(ChartSeriesClear, ClearEmptiesEverythingAndTellsOnce) {
    int clears = 0; // outlives the series, whose destruction clears it once more
    auto series = MakeSeries({{0, 1}, {1, 2}});
    series->SetXLabel(0, "a");
    series->SetPointColor(1, plat::clRed);
    series->OnClearValues = [&](TChartSeries*) { ++clears; };
    series->Clear();
    EXPECT_EQ(series->Count(), 0);
    EXPECT_EQ(series->YValues()->Count(), 0);
    EXPECT_FALSE(series->HasColors());
    EXPECT_EQ(series->Labels().Count(), 0);
    EXPECT_EQ(series->FirstVisibleIndex(), -1);
    EXPECT_EQ(clears, 1);
}

// --- Update suspension ------------------------------------------------------------------------------

TEST(ChartSeriesUpdates, SuspendedAddsFireNothingUntilTheLastResume) {
    TChartSeries source(nullptr);
    TChartSeries dependent(nullptr);
    dependent.SetDataSource(&source);
    int afterAdd = 0;
    source.OnAfterAdd = [&](TChartSeries*, int) { ++afterAdd; };
    source.SuspendUpdates();
    source.SuspendUpdates();
    for (int i = 0; i < 1000; ++i)
        source.Add(i);
    source.ResumeUpdates();
    EXPECT_EQ(dependent.Count(), 0);
    source.ResumeUpdates();
    EXPECT_EQ(afterAdd, 0);
    // The last resume copies the source once.
    EXPECT_EQ(dependent.Count(), 1000);
    source.ResumeUpdates();
    EXPECT_FALSE(source.UpdatesSuspended());
    source.Add(1000);
    EXPECT_EQ(afterAdd, 1);
    EXPECT_EQ(dependent.Count(), 1001);
}

// --- Dependents -------------------------------------------------------------------------------------

TEST(ChartSeriesDependents, FollowAddsDeletesAndClears) {
    TChartSeries a(nullptr);
    TChartSeries b(nullptr);
    b.SetDataSource(&a);
    EXPECT_EQ(b.DataSource(), &a);
    a.Add(1);
    a.Add(2, "two", plat::clRed);
    EXPECT_EQ(Values(b.YValues()), (std::vector<double>{1, 2}));
    EXPECT_EQ(b.XLabel(1), "two");
    EXPECT_EQ(b.PointColor(1), plat::clRed);

    a.Add(3);
    a.Add(4);
    EXPECT_EQ(Values(b.YValues()), (std::vector<double>{1, 2, 3, 4}));
    a.Delete(2);
    EXPECT_EQ(Values(b.YValues()), (std::vector<double>{1, 2, 4}));
    a.Clear();
    EXPECT_EQ(b.Count(), 0);
}

TEST(ChartSeriesDependents, UpdateSetGatesAllButRefresh) {
    TChartSeries a(nullptr);
    TChartSeries b(nullptr);
    b.SetDataSource(&a);
    a.Add(1);
    b.SetDependentUpdates(duDelete | duModify | duClear);
    a.Add(2);
    EXPECT_EQ(b.Count(), 1);
    a.SuspendUpdates();
    a.ResumeUpdates();
    EXPECT_EQ(b.Count(), 2);
}

TEST(ChartSeriesDependents, RangeDeleteMakesDependentsCopyAgain) {
    TChartSeries a(nullptr);
    TChartSeries b(nullptr);
    b.SetDataSource(&a);
    for (int i = 0; i < 6; ++i)
        a.Add(i);
    a.DeletePointRange(1, 100);
    EXPECT_EQ(Values(b.YValues()), (std::vector<double>{0}));
    a.Add(7);
    a.DeletePointRange(0, 1);
    EXPECT_EQ(Values(b.YValues()), (std::vector<double>{7}));
}

TEST(ChartSeriesDependents, CircularSourcesAreRefused) {
    TChartSeries a(nullptr), b(nullptr), c(nullptr);
    b.SetDataSource(&a);
    c.SetDataSource(&b);
    try {
        a.SetDataSource(&c);
        FAIL();
    } catch (const ChartException& e) {
        EXPECT_EQ(std::string(e.what()), "Circular Series dependences are not allowed");
    }
    EXPECT_EQ(a.DataSource(), nullptr);
    try {
        a.SetDataSource(&a);
        FAIL();
    } catch (const ChartException& e) {
        EXPECT_EQ(std::string(e.what()), "No ParentChart to validate DataSource");
    }
}

TEST(ChartSeriesDependents, FreeingEitherSideUnlinks) {
    auto a = std::make_unique<TChartSeries>(nullptr);
    auto b = std::make_unique<TChartSeries>(nullptr);
    b->SetDataSource(a.get());
    a->Add(1);
    EXPECT_EQ(b->Count(), 1);
    a.reset();
    EXPECT_EQ(b->DataSource(), nullptr);
    EXPECT_EQ(b->Count(), 0);

    auto c = std::make_unique<TChartSeries>(nullptr);
    auto d = std::make_unique<TChartSeries>(nullptr);
    d->SetDataSource(c.get());
    EXPECT_EQ(c->Dependents().Count(), 1);
    d.reset();
    EXPECT_EQ(c->Dependents().Count(), 0);
    c->Add(1); // no freed dependent is told
}

// --- Copying ----------------------------------------------------------------------------------------

TEST(ChartSeriesAssign, CopiesSettingsAndPoints) {
    TChartSeries source(nullptr);
    source.SetTitle("Frame");
    source.SetSeriesColor(plat::clRed);
    source.SetValueFormat("0.0");
    source.XValues()->SetDateTime(true);
    source.Add(3, "x", plat::clBlue);
    source.Add(4);
    TChartSeries copy(nullptr);
    copy.Assign(&source);
    EXPECT_EQ(copy.Title(), "Frame");
    EXPECT_EQ(copy.SeriesColor(), plat::clRed);
    EXPECT_EQ(copy.ValueFormat(), "0.0");
    EXPECT_TRUE(copy.XValues()->DateTime());
    EXPECT_EQ(Values(copy.YValues()), (std::vector<double>{3, 4}));
    EXPECT_EQ(copy.XLabel(0), "x");
    EXPECT_EQ(copy.PointColor(0), plat::clBlue);
    EXPECT_EQ(copy.DataSource(), nullptr);
}

TEST(ChartSeriesAssign, ExchangesListSettingsBetweenHorizontalAndVertical) {
    TChartSeries vertical(nullptr);
    vertical.XValues()->SetDateTime(true);
    TChartSeries horizontal(nullptr);
    horizontal.SetHorizontal();
    horizontal.Assign(&vertical);
    EXPECT_TRUE(horizontal.YValues()->DateTime());
    EXPECT_FALSE(horizontal.XValues()->DateTime());
    EXPECT_EQ(horizontal.YValues()->Order(), loAscending);
    EXPECT_EQ(horizontal.XValues()->Order(), loNone);
}

// --- Sample values ----------------------------------------------------------------------------------

TEST(ChartSeriesSamples, FillSampleValuesWithoutChart) {
    TChartSeries series(nullptr);
    series.FillSampleValues(0);
    ASSERT_EQ(series.Count(), 25);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(series.XValues()->Items(i), i);
        EXPECT_GE(series.YValues()->Items(i), 0);
    }
    EXPECT_FALSE(series.ManualData());
    series.SetSampleCount(7);
    series.FillSampleValues();
    EXPECT_EQ(series.Count(), 7);
    EXPECT_THROW(series.FillSampleValues(-1), ChartException);
    EXPECT_EQ(series.Count(), 7);
}

// --- Stored data flags ------------------------------------------------------------------------------

TEST(SeriesDataFlags, LookAtEveryPoint) {
    auto plain = MakeSeries({{0, 1}, {1, 1}, {2, 1}});
    EXPECT_EQ(SeriesDataFlags(plain.get()), 0);
    auto moved = MakeSeries({{0, 1}, {1, 1}, {5, 1}});
    EXPECT_EQ(SeriesDataFlags(moved.get()), 1);

    // Changes far beyond the first hundred or ten thousand points still count.
    TChartSeries big(nullptr);
    big.SuspendUpdates();
    for (int i = 0; i < 20000; ++i)
        big.Add(i);
    big.ResumeUpdates();
    EXPECT_EQ(SeriesDataFlags(&big), 0);
    big.SetXLabel(15000, "late");
    EXPECT_EQ(SeriesDataFlags(&big), 4);
    big.SetPointColor(19000, plat::clRed);
    EXPECT_EQ(SeriesDataFlags(&big), 6);
    big.XValues()->SetItems(12000, 12000.5);
    EXPECT_EQ(SeriesDataFlags(&big), 7);

    TChartSeries colour(nullptr);
    colour.SetSeriesColor(plat::clRed);
    colour.Add(1, "", plat::clRed);
    EXPECT_EQ(SeriesDataFlags(&colour) & 2, 0);
    colour.Marks()->Positions().Put(0, TSeriesMarkPosition());
    EXPECT_EQ(SeriesDataFlags(&colour), 8);
}

// --- Titles and groups ------------------------------------------------------------------------------

TEST(SeriesTitle, TitleThenNameThenPosition) {
    TChartSeries series(nullptr);
    series.SetTitle(std::string("left") + '\x06' + "right");
    EXPECT_EQ(GetSeriesTitle(&series), "left right");
    series.SetTitle("");
    series.SetName("Frame1");
    EXPECT_EQ(GetSeriesTitle(&series), "Frame1");
    series.SetName("");
    EXPECT_EQ(GetSeriesTitle(&series), "");
}

TEST(SeriesGroups, ActiveStateOfTheGroup) {
    TChartSeries a(nullptr), b(nullptr);
    TChartSeriesList list;
    list.Add(&a);
    list.Add(&b);
    TSeriesGroup* group = list.AddNamedGroup("peaks");
    EXPECT_EQ(group->GetActive(), gaYes);
    group->Series().Add(&a);
    group->Series().Add(&b);
    EXPECT_EQ(list.Groups().GroupOf(&b), 0);
    b.SetActive(false);
    EXPECT_EQ(group->GetActive(), gaSome);
    group->SetActive(gaSome);
    EXPECT_TRUE(a.Active());
    EXPECT_FALSE(b.Active());
    group->SetActive(gaNo);
    EXPECT_EQ(group->GetActive(), gaNo);
    EXPECT_FALSE(list.EverySeriesActive());
    group->SetActive(gaYes);
    EXPECT_TRUE(list.EverySeriesActive());
    TChartSeries c(nullptr);
    EXPECT_EQ(list.Groups().GroupOf(&c), -1);
}

// --- Stream properties ------------------------------------------------------------------------------

TEST(ChartSeriesStream, IdentifierAndStyleFlags) {
    TChartSeries series(nullptr);
    series.SetName("Series1");
    std::string text = plat::WriteComponentToText(&series);
    EXPECT_EQ(text.find("Identifier"), std::string::npos) << text;
    EXPECT_EQ(text.find("Style"), std::string::npos) << text;
    series.SetIdentifier("frame");
    series.SetStyle(0x25);
    text = plat::WriteComponentToText(&series);
    EXPECT_NE(text.find("Identifier = 'frame'"), std::string::npos) << text;
    EXPECT_NE(text.find("Style = 37"), std::string::npos) << text;

    TChartSeries copy(nullptr);
    plat::ReadComponentFromText("object Series1: TChartSeries\n"
                                "  Identifier = 'x'\n"
                                "  Style = 1023\n"
                                "end\n",
                                &copy);
    EXPECT_EQ(copy.Identifier(), "x");
    EXPECT_EQ(copy.Style(), 63);
}

TEST(ChartSeriesStream, StoredSourceNamesAreResolvedWhenLoaded) {
    plat::TComponent owner(nullptr);
    auto* a = new TChartSeries(&owner);
    a->SetName("A");
    auto* c = new TChartSeries(&owner);
    c->SetName("C");
    auto* b = new TChartSeries(&owner);
    b->SetName("B");
    plat::ReadComponentFromText("object B: TChartSeries\n"
                                "  DataSources = (\n"
                                "    'A'\n"
                                "    'Missing'\n"
                                "    'C')\n"
                                "end\n",
                                b);
    ASSERT_EQ(b->DataSources().Count(), 2);
    EXPECT_EQ(b->DataSources().Items(0), a);
    EXPECT_EQ(b->DataSources().Items(1), c);
    EXPECT_EQ(a->Dependents().Count(), 1);
    const std::string text = plat::WriteComponentToText(b, &owner);
    EXPECT_NE(text.find("DataSources"), std::string::npos) << text;
}
