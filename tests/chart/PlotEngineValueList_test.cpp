#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "chart/PlotEngine.h"
#include "chart/PlotProcs.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"

using namespace chart;

namespace {

// A series as far as its value lists see it: X and Y lists kept parallel, and a record of what the lists
// asked of it.
class TFakeSeries : public plat::TComponent, public IChartValueListOwner {
    PLAT_CLASS(TFakeSeries)
public:
    explicit TFakeSeries(plat::TComponent* Owner = nullptr) : TComponent(Owner) {
        FXValues = new TChartValueList(this, "X");
        FXValues->SetOrder(loAscending);
        FYValues = new TChartValueList(this, "Y");
    }

    TChartValueList* XValues() const { return FXValues; }
    TChartValueList* YValues() const { return FYValues; }

    TChartValueLists& ValuesList() override { return FLists; }
    void NotifyDependents(TValueEvent Kind, int ValueIndex) override {
        Events.emplace_back(Kind, ValueIndex);
    }
    void ExchangePoints(int Index1, int Index2) override {
        ++PointExchanges;
        for (int i = 0; i < FLists.Count(); ++i)
            FLists.ValueListAt(i)->Exchange(Index1, Index2);
    }
    void InvalidateParentChart() override { ++Invalidations; }
    void RefreshFromSource() override { ++Refreshes; }

    std::vector<std::pair<TValueEvent, int>> Events;
    int PointExchanges = 0;
    int Invalidations = 0;
    int Refreshes = 0;

private:
    TChartValueLists FLists;
    TChartValueList* FXValues;
    TChartValueList* FYValues;
};

PLAT_CLASS_INFO_CREATABLE(TFakeSeries, plat::TComponent)

PLAT_PROPERTIES(TFakeSeries) {
    props.Object("XValues", &TFakeSeries::XValues);
    props.Object("YValues", &TFakeSeries::YValues);
}

std::vector<double> Values(const TChartValueList& list) {
    return std::vector<double>(list.Value().begin(), list.Value().begin() + list.Count());
}

TEST(ValueList, OrderedInsertionKeepsEqualValuesInArrivalOrder) {
    const struct {
        TChartListOrder Order;
        std::vector<double> Added;
        std::vector<int> Indexes;
        std::vector<double> Result;
    } cases[] = {
        {loAscending, {3, 1, 2, 2}, {0, 0, 1, 2}, {1, 2, 2, 3}},
        {loAscending, {1, 2, 3, 3}, {0, 1, 2, 3}, {1, 2, 3, 3}},
        {loAscending, {5, 4, 3}, {0, 0, 0}, {3, 4, 5}},
        {loDescending, {5, 7, 5}, {0, 0, 2}, {7, 5, 5}},
        {loDescending, {1, 3, 2, 9}, {0, 0, 1, 0}, {9, 3, 2, 1}},
        {loNone, {3, 1, 2}, {0, 1, 2}, {3, 1, 2}},
    };
    for (const auto& c : cases) {
        TChartValueList list(nullptr, "V");
        list.SetOrder(c.Order);
        std::vector<int> indexes;
        for (double v : c.Added)
            indexes.push_back(list.AddValue(v));
        EXPECT_EQ(indexes, c.Indexes);
        EXPECT_EQ(Values(list), c.Result);
    }
}

TEST(ValueList, CapacityGrowsInSteps) {
    TChartValueList list(nullptr, "V");
    EXPECT_EQ(list.Capacity(), 0);
    for (int i = 0; i < 1000; ++i)
        list.AddValue(i);
    EXPECT_EQ(list.Capacity(), 1000);
    list.AddValue(1000);
    EXPECT_EQ(list.Count(), 1001);
    EXPECT_EQ(list.Capacity(), 2000);
    list.DeleteValue(0);
    EXPECT_EQ(list.Capacity(), 2000);
    list.ClearValues();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

TEST(ValueList, StatisticsFollowEveryChange) {
    TChartValueList list(nullptr, "V");
    EXPECT_EQ(list.MaxValue(), 0);
    EXPECT_EQ(list.MinValue(), 0);
    EXPECT_EQ(list.Total(), 0);
    EXPECT_EQ(list.TotalABS(), 0);
    EXPECT_EQ(list.Range(), 0);

    list.AddValue(-2);
    list.AddValue(3);
    EXPECT_EQ(list.Total(), 1);
    EXPECT_EQ(list.TotalABS(), 5);
    EXPECT_EQ(list.Range(), 5);
    EXPECT_FALSE(list.Modified());

    const struct {
        const char* Change;
        void (*Apply)(TChartValueList&);
        double Max, Min, Total;
    } steps[] = {
        {"add", [](TChartValueList& l) { l.AddValue(10); }, 10, -2, 11},
        {"insert", [](TChartValueList& l) { l.InsertValue(0, -7); }, 10, -7, 4},
        {"set", [](TChartValueList& l) { l.SetItems(1, 20); }, 20, -7, 26},
        {"delete", [](TChartValueList& l) { l.DeleteValue(1); }, 10, -7, 6},
        {"exchange", [](TChartValueList& l) { l.Exchange(0, 1); }, 10, -7, 6},
        {"indexes", [](TChartValueList& l) { l.FillWithIndexes(); }, 2, 0, 3},
        {"range", [](TChartValueList& l) { l.DeleteRange(0, 2); }, 2, 2, 2},
        {"clear", [](TChartValueList& l) { l.ClearValues(); }, 0, 0, 0},
    };
    for (const auto& s : steps) {
        s.Apply(list);
        EXPECT_TRUE(list.Modified()) << s.Change;
        EXPECT_EQ(list.MaxValue(), s.Max) << s.Change;
        EXPECT_EQ(list.MinValue(), s.Min) << s.Change;
        EXPECT_EQ(list.Total(), s.Total) << s.Change;
    }
}

TEST(ValueList, DirectWritersMarkTheListModified) {
    TChartValueList list(nullptr, "V");
    for (double v : {1.0, 2.0, 3.0})
        list.AddValue(v);
    EXPECT_EQ(list.MaxValue(), 3);
    list.Value()[2] = 30;
    EXPECT_EQ(list.MaxValue(), 3); // stale until marked
    list.SetModified(true);
    EXPECT_EQ(list.MaxValue(), 30);

    // A writer that shortened the array takes the count down with it.
    list.Value().resize(2);
    list.SetModified(true);
    EXPECT_EQ(list.Total(), 3);
    EXPECT_EQ(list.Count(), 2);
}

TEST(ValueList, ScrollRotatesWithoutStalingTheStatistics) {
    TChartValueList list(nullptr, "V");
    for (double v : {1.0, 2.0, 3.0})
        list.AddValue(v);
    EXPECT_EQ(list.Total(), 6);
    list.Scroll();
    EXPECT_EQ(Values(list), (std::vector<double>{2, 3, 1}));
    EXPECT_FALSE(list.Modified());
    TChartValueList empty(nullptr, "E");
    empty.Scroll();
    EXPECT_EQ(empty.Count(), 0);
}

TEST(ValueList, Locate) {
    TChartValueList list(nullptr, "V");
    for (double v : {4.0, 7.0, 4.0, 9.0})
        list.AddValue(v);
    EXPECT_EQ(list.Locate(5), -1);
    EXPECT_EQ(list.Locate(4), 0);
    EXPECT_EQ(list.Locate(4, 1, 3), 2);
    EXPECT_EQ(list.Locate(9, 0, 2), -1);
    EXPECT_EQ(list.Locate(9, -5, 100), 3); // the range is clipped to the list
}

TEST(ValueList, InsertAndDeleteMoveTheOthers) {
    TChartValueList list(nullptr, "V");
    for (double v : {1.0, 2.0, 3.0, 4.0, 5.0})
        list.AddValue(v);
    list.InsertValue(2, 9);
    list.InsertValue(6, 8);
    EXPECT_EQ(Values(list), (std::vector<double>{1, 2, 9, 3, 4, 5, 8}));
    list.DeleteValue(2);
    list.DeleteValue(5);
    EXPECT_EQ(Values(list), (std::vector<double>{1, 2, 3, 4, 5}));
    list.DeleteRange(1, 2);
    EXPECT_EQ(Values(list), (std::vector<double>{1, 4, 5}));
    // A range reaching past the end keeps what lies before it.
    list.DeleteRange(1, 10);
    EXPECT_EQ(Values(list), (std::vector<double>{1}));
    list.DeleteRange(5, 1);
    list.DeleteRange(0, 0);
    EXPECT_EQ(Values(list), (std::vector<double>{1}));

    EXPECT_THROW(list.InsertValue(3, 0), plat::EListError);
    EXPECT_THROW(list.InsertValue(-1, 0), plat::EListError);
    EXPECT_THROW(list.DeleteValue(1), plat::EListError);
    EXPECT_THROW(list.DeleteRange(-1, 1), plat::EListError);
    EXPECT_THROW(list.Exchange(0, 1), plat::EListError);
    EXPECT_EQ(Values(list), (std::vector<double>{1}));
}

TEST(ValueList, ListsJoinTheirSeriesInOrderAndLeaveWhenFreed) {
    TFakeSeries series;
    TChartValueLists& lists = series.ValuesList();
    ASSERT_EQ(lists.Count(), 2);
    EXPECT_EQ(lists.ValueListAt(0), series.XValues());
    EXPECT_EQ(lists.ValueListAt(1)->Name(), "Y");
    auto* extra = new TChartValueList(&series, "Radius");
    EXPECT_EQ(lists.ValueListAt(2), extra);
    EXPECT_EQ(extra->Owner(), &series);
    delete extra;
    EXPECT_EQ(lists.Count(), 2);
}

TEST(ValueList, SortExchangesWholePoints) {
    for (TChartListOrder order : {loAscending, loDescending}) {
        TFakeSeries series;
        TChartValueList& x = *series.XValues();
        TChartValueList& y = *series.YValues();
        const double xs[] = {5, 1, 4, 2, 3, 1};
        for (int i = 0; i < 6; ++i) {
            x.InsertValue(i, xs[i]);
            y.InsertValue(i, xs[i] * 10 + i);
        }
        x.SetOrder(order);
        x.Sort();
        const std::vector<double> sorted = Values(x);
        for (int i = 1; i < 6; ++i)
            EXPECT_TRUE(order == loAscending ? sorted[i - 1] <= sorted[i] : sorted[i - 1] >= sorted[i]);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(std::floor(y[i] / 10), x[i]) << "y moved with its x";
        EXPECT_GT(series.PointExchanges, 0);
        for (const auto& e : series.Events)
            EXPECT_EQ(e.first, veModify);
    }
}

TEST(ValueList, SortWithoutOrderDoesNothing) {
    TFakeSeries series;
    TChartValueList& y = *series.YValues();
    for (double v : {3.0, 1.0, 2.0})
        y.AddValue(v);
    y.Sort();
    EXPECT_EQ(Values(y), (std::vector<double>{3, 1, 2}));
    EXPECT_EQ(series.PointExchanges, 0);
}

TEST(ValueList, ChangesReachTheOwner) {
    TFakeSeries series;
    TChartValueList& y = *series.YValues();
    for (double v : {3.0, 1.0, 2.0})
        y.AddValue(v);
    y.Exchange(2, 0);
    y.FillWithIndexes();
    EXPECT_EQ(series.Events, (std::vector<std::pair<TValueEvent, int>>{{veModify, 2}, {veModify, 0}}));
    EXPECT_EQ(Values(y), (std::vector<double>{0, 1, 2}));

    y.SetDateTime(true);
    y.SetDateTime(true);
    EXPECT_EQ(series.Invalidations, 1);
    y.SetDefaultDateTime(false);
    EXPECT_EQ(series.Invalidations, 1);
    y.SetValueSource("Field1");
    y.SetValueSource("Field1");
    EXPECT_EQ(series.Refreshes, 1);
}

TEST(ValueList, AssignCopiesSettingsNotValues) {
    TChartValueList source(nullptr, "Source");
    source.SetOrder(loDescending);
    source.SetDateTime(true);
    source.SetValueSource("Field2");
    source.AddValue(1);
    TChartValueList target(nullptr, "Target");
    target.AddValue(5);
    target.Assign(&source);
    EXPECT_EQ(target.Order(), loDescending);
    EXPECT_TRUE(target.DateTime());
    EXPECT_EQ(target.ValueSource(), "Field2");
    EXPECT_EQ(target.Name(), "Target");
    EXPECT_EQ(Values(target), (std::vector<double>{5}));

    TFakeSeries other;
    EXPECT_THROW(target.Assign(&other), plat::EConvertError);
}

TEST(ValueList, StreamedProperties) {
    TFakeSeries series;
    series.SetName("Series1");
    series.YValues()->SetDateTime(true);
    series.XValues()->SetDefaultDateTime(true);
    const std::string text = plat::WriteComponentToText(&series);
    EXPECT_NE(text.find("XValues.Name = 'X'"), std::string::npos) << text;
    EXPECT_NE(text.find("XValues.Order = loAscending"), std::string::npos) << text;
    EXPECT_NE(text.find("YValues.Order = loNone"), std::string::npos) << text;
    EXPECT_NE(text.find("YValues.DateTime = True"), std::string::npos) << text;
    EXPECT_EQ(text.find("XValues.DateTime"), std::string::npos) << text;
    EXPECT_EQ(text.find("Multiplier"), std::string::npos) << text;

    TFakeSeries copy;
    plat::ReadComponentFromText(text, &copy);
    EXPECT_TRUE(copy.YValues()->DateTime());
    EXPECT_EQ(copy.XValues()->Order(), loAscending);
}

TEST(ValueList, ObsoleteMultiplierIsReadAndReported) {
    std::vector<std::string> shown;
    auto previous = SetErrorMessagePresenter([&](const std::string& text) { shown.push_back(text); });
    TFakeSeries series;
    plat::ReadComponentFromText("object Series1: TFakeSeries\n"
                                "  XValues.Multiplier = 1.0\n"
                                "  YValues.Multiplier = 2.0\n"
                                "  YValues.Order = loAscending\n"
                                "end\n",
                                &series);
    SetErrorMessagePresenter(previous);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].substr(0, shown[0].find('\n')), "Error: Multiplier property is obsolete.");
    EXPECT_EQ(series.YValues()->Order(), loAscending);
}

} // namespace
