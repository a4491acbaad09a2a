// Axis increments, label texts and the walks over label values.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PlotEngineAxisTestUtil.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"

namespace {

using namespace axistest;

TChartAxis* FreeAxis(std::unique_ptr<TChartAxis>& Holder, double Min, double Max, int Size = 400) {
    Holder = std::make_unique<TChartAxis>(static_cast<TCustomAxisPanel*>(nullptr));
    Holder->SetHorizontal(true);
    Holder->SetAxisRange(Min, Max);
    Holder->SetPixels(0, Size);
    Holder->SetRange(Min, Max);
    return Holder.get();
}

// ---- Increments ----

TEST(AxisIncrement, NextLabelStepLadder) {
    const struct {
        double Step, Next;
    } cases[] = {{1, 2},
                 {2, 5},
                 {5, 10},
                 {0.03, 0.05},
                 {15, 20},
                 {7, 10},
                 {0.3, 0.5},
                 {1.5, 2},
                 {20, 50},
                 {99, 100},
                 {1e-9, 2e-9},
                 {4e20, 5e20},
                 {std::numeric_limits<double>::infinity(), 1}};
    for (const auto& c : cases)
        EXPECT_NEAR(TChartAxis::NextLabelStep(c.Step), c.Next, c.Next * 1e-12) << c.Step;
    // Nothing grows from zero, a negative step or NaN; they restart at the smallest increment.
    EXPECT_EQ(TChartAxis::NextLabelStep(0), 1e-12);
    EXPECT_EQ(TChartAxis::NextLabelStep(-3), 1e-12);
    EXPECT_EQ(TChartAxis::NextLabelStep(std::numeric_limits<double>::quiet_NaN()), 1e-12);
}

TEST(AxisIncrement, LabelsIncrementFromALabelCount) {
    std::unique_ptr<TChartAxis> h;
    TChartAxis* a = FreeAxis(h, 0, 100);
    // 18 labels fit: 100 / 19 = 5.26 would give 19 labels, so the step grows to 10.
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(18), 10);
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(3), 50);
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(0), 1e-12);
    // Without the separation rule the first estimate stands.
    a->SetLabelsSeparation(0);
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(18), 100.0 / 19);
    // A fixed increment is the start value; it only grows when the labels would not fit.
    a->SetLabelsSeparation(10);
    a->SetIncrement(25);
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(18), 25);
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(2), 50);
    // A zero range starts at 1.
    a->SetIncrement(0);
    a->SetRange(4, 4);
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(10), 1);
}

TEST(AxisIncrement, DateTimeSteps) {
    std::unique_ptr<TChartAxis> h;
    TChartAxis* a = FreeAxis(h, 0, 30);
    a->SetIsDateTime(true);
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(10), DateTimeStep[dtThreeDays]);
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(0), DateTimeStep[dtOneMicroSecond]);
    a->SetRange(0, 1.0 / 24); // one hour
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(6), DateTimeStep[dtTenMinutes]);
    a->SetRange(0, 3650);
    // Past a year the step doubles.
    EXPECT_DOUBLE_EQ(a->CalcLabelsIncrement(5), 730);
}

TEST(AxisIncrement, LogarithmicBaseBelowOneStillEnds) {
    // A base between 0 and 1 multiplies the step smaller; the search must grow it anyway.
    for (double base : {0.5, 0.1, 0.999}) {
        std::unique_ptr<TChartAxis> h;
        TChartAxis* a = FreeAxis(h, 1, 1e6);
        a->SetLogarithmic(true);
        a->SetLogarithmicBase(base);
        double inc = a->CalcLabelsIncrement(5);
        EXPECT_GT(inc, 0) << base;
        EXPECT_LE(std::lround(a->RangeSpan() / inc), 5) << base;
        EXPECT_TRUE(std::isfinite(a->LogPowerNear(1234))) << base;
    }
}

TEST(AxisIncrement, LogPowerNear) {
    std::unique_ptr<TChartAxis> h;
    TChartAxis* a = FreeAxis(h, 1, 1000);
    EXPECT_DOUBLE_EQ(a->LogPowerNear(30), 10);
    EXPECT_DOUBLE_EQ(a->LogPowerNear(40), 100);
    EXPECT_DOUBLE_EQ(a->LogPowerNear(0.002), 0.001);
    a->SetLogarithmicBase(2);
    EXPECT_DOUBLE_EQ(a->LogPowerNear(5), 4);
    // The same powers through the inverse base.
    a->SetLogarithmicBase(0.5);
    EXPECT_DOUBLE_EQ(a->LogPowerNear(5), 4);
}

TEST(AxisIncrement, MeasuredLabelsKeepTheirSeparation) {
    TAxisChart t(900, 200, 20);
    TChartAxis* a = t.Bottom();
    a->SetAxisRange(0, 1000);
    double previous = 0;
    for (int size : {80, 200, 400, 800}) {
        a->SetPixels(20, 20 + size);
        a->SetRange(0, 1000);
        double inc = a->CalcIncrement();
        if (previous != 0) {
            EXPECT_LE(inc, previous) << "a longer axis never takes a larger step, size " << size;
        }
        previous = inc;
        std::vector<double> values = a->LabelValues();
        ASSERT_GE(values.size(), 1u) << size;
        TPlotCanvas3D* c = t.Chart->DrawCanvas();
        c->UseFont(a->LabelsFont());
        for (size_t i = 1; i < values.size(); ++i) {
            int gap = std::abs(a->ValueToPixel(values[i]) - a->ValueToPixel(values[i - 1]));
            int w =
                std::max(c->TextWidth(a->LabelText(values[i])), c->TextWidth(a->LabelText(values[i - 1])));
            EXPECT_GE(gap, w) << "labels " << values[i - 1] << " and " << values[i] << " overlap at size "
                              << size;
        }
    }
}

// ---- Texts ----

TEST(AxisLabelText, NumberFormats) {
    std::unique_ptr<TChartAxis> h;
    TChartAxis* a = FreeAxis(h, 0, 10);
    TScopedFormatSettings scope;
    const struct {
        const char* Format;
        char Decimal, Thousand;
        double Value;
        const char* Text;
    } cases[] = {
        {"#,##0.###", '.', ',', 1234.5678, "1,234.568"},
        {"#,##0.###", ',', '.', 1234.5678, "1.234,568"},
        {"#,##0.###", ',', '.', -0.25, "-0,25"},
        {"0.0", ',', ' ', 2.25, "2,3"},
        {"0", '.', ',', 7.5, "8"},
        {"0.00E+00", '.', ',', 12345, "1.23E+04"},
        {"0.0E-0", ',', '.', 0.00015, "1,5E-4"},
    };
    for (const auto& c : cases) {
        FormatSettings().DecimalSeparator = c.Decimal;
        FormatSettings().ThousandSeparator = c.Thousand;
        a->SetAxisValuesFormat(c.Format);
        EXPECT_EQ(a->LabelText(c.Value), c.Text) << c.Format << " " << c.Value;
    }
}

TEST(AxisLabelText, DateFormats) {
    std::unique_ptr<TChartAxis> h;
    TChartAxis* a = FreeAxis(h, 0, 10);
    TScopedFormatSettings scope;
    FormatSettings().ShortDateFormat = "d/m/yyyy";
    FormatSettings().DateSeparator = '.';
    FormatSettings().ShortTimeFormat = "hh:nn";
    a->SetIsDateTime(true);
    const TDateTime day = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);
    a->SetRange(day - 5, day + 5);
    EXPECT_EQ(a->LabelText(day), "5.3.2024");
    a->SetRange(day - 0.25, day + 0.25);
    EXPECT_EQ(a->LabelText(day), "14:30");
    a->SetDateTimeFormat("yyyy-mm-dd hh:nn");
    EXPECT_EQ(a->LabelText(day), "2024-03-05 14:30");
    // Before the epoch there is nothing to show.
    EXPECT_EQ(a->LabelText(-1), "");
    // Every blank starts a line.
    a->SetLabelsMultiLine(true);
    EXPECT_EQ(a->LabelText(day), "2024-03-05\r14:30");
}

TEST(AxisLabelText, ChartEventSeesEveryValueText) {
    TAxisChart t;
    TChartAxis* a = t.Bottom();
    std::vector<int> indexes;
    t.Chart->OnGetAxisLabel = [&](TChartAxis* Sender, TChartSeries* Series, int ValueIndex,
                                  std::string& Text) {
        EXPECT_EQ(Sender, a);
        EXPECT_EQ(Series, nullptr);
        indexes.push_back(ValueIndex);
        Text = "<" + Text + ">";
    };
    EXPECT_EQ(a->LabelText(3), "<3>");
    EXPECT_EQ(indexes, std::vector<int>{-1});
}

TEST(AxisLabelText, LabelsLeaveTheBackgroundAlone) {
    TAxisChart t;
    TChartAxis* a = t.Bottom();
    a->SetLabelStyle(talValue);
    a->SetAxisRange(0, 100);
    a->SetPixels(40, 360);
    a->SetRange(0, 100);
    a->SetLabelsPixel(250);
    a->Grid()->SetVisible(false);
    t.Fill(clYellow);
    // Whatever the last drawing left behind.
    t.Chart->DrawCanvas()->SetBackMode(OPAQUE);
    t.Chart->DrawCanvas()->SetBackColor(clWhite);
    a->DrawAxisLabels(false);
    EXPECT_GT(t.Count(clBlack, TRect(0, 250, 400, 300)), 20);
    EXPECT_EQ(t.Count(clWhite, TRect(0, 0, 400, 300)), 0);
}

// ---- Walks ----

std::vector<double> Walk(TChartAxis* a) {
    return a->LabelValues();
}

TEST(AxisLabelWalk, RoundFirstLabel) {
    std::unique_ptr<TChartAxis> h;
    TChartAxis* a = FreeAxis(h, 0.5, 9.7);
    a->SetLabelsSeparation(0);
    a->SetIncrement(2);
    EXPECT_EQ(Walk(a), (std::vector<double>{8, 6, 4, 2}));
    a->SetRoundFirstLabel(false);
    std::vector<double> v = Walk(a);
    const double expected[] = {9.7, 7.7, 5.7, 3.7, 1.7};
    ASSERT_EQ(v.size(), 5u);
    for (size_t i = 0; i < v.size(); ++i)
        EXPECT_NEAR(v[i], expected[i], 1e-12);
}

TEST(AxisLabelWalk, NegativeRangesStartBelowTheTop) {
    std::unique_ptr<TChartAxis> h;
    TChartAxis* a = FreeAxis(h, -9.5, -0.5);
    a->SetLabelsSeparation(0);
    a->SetIncrement(3);
    // Trunc(-0.5 / 3) * 3 = 0 lies above the range and steps down first.
    EXPECT_EQ(Walk(a), (std::vector<double>{-3, -6, -9}));
}

TEST(AxisLabelWalk, DegenerateRangesDrawOneLabelOrNone) {
    std::unique_ptr<TChartAxis> h;
    TChartAxis* a = FreeAxis(h, 1, 1 + 1e-15);
    EXPECT_EQ(Walk(a).size(), 1u);
    // A step below the text resolution of the value.
    a->SetLabelsSeparation(0);
    a->SetIncrement(0.01);
    a->SetRange(1e15, 1e15 + 1);
    EXPECT_EQ(Walk(a).size(), 1u);
    // Ten thousand labels or more: none.
    a->SetIncrement(1);
    a->SetRange(0, 10000);
    EXPECT_TRUE(Walk(a).empty());
    a->SetRange(0, 9998);
    EXPECT_EQ(Walk(a).size(), 9999u);
}

TEST(AxisLabelWalk, Logarithmic) {
    std::unique_ptr<TChartAxis> h;
    TChartAxis* a = FreeAxis(h, 1, 1000);
    a->SetLogarithmic(true);
    EXPECT_EQ(Walk(a), (std::vector<double>{1, 10, 100, 1000}));
    // Starting at zero, the axis starts at 0.1.
    a->SetRange(0, 1000);
    std::vector<double> v = Walk(a);
    ASSERT_EQ(v.size(), 5u);
    EXPECT_DOUBLE_EQ(v[0], 0.1);
    EXPECT_DOUBLE_EQ(a->RangeMin(), 0.1);
    EXPECT_EQ(a->ValueToPixel(0.1), 0);
    // Base 2.
    a->SetLogarithmicBase(2);
    a->SetRange(1, 16);
    EXPECT_EQ(Walk(a), (std::vector<double>{1, 2, 4, 8, 16}));
    // A base below 1 labels the same powers as its inverse.
    a->SetLogarithmicBase(0.5);
    EXPECT_EQ(Walk(a), (std::vector<double>{1, 2, 4, 8, 16}));
    // No power inside the range: the additive walk fills it.
    a->SetLogarithmicBase(10);
    a->SetRange(2, 8);
    v = Walk(a);
    ASSERT_FALSE(v.empty());
    EXPECT_GE(v.front(), 2);
    EXPECT_LE(v.back(), 8);
    // A huge base would make the additive walk endless: it gives up instead.
    a->SetLogarithmicBase(1e9);
    a->SetRange(2, 1e8);
    EXPECT_TRUE(Walk(a).empty());
}

TEST(AxisLabelWalk, CalendarSteps) {
    TAxisChart t(900, 200, 20);
    TChartAxis* a = t.Bottom();
    a->SetIsDateTime(true);
    a->SetIncrement(DateTimeStep[dtOneMonth]);
    a->SetDateTimeFormat("yyyy-mm-dd");
    const TDateTime from = EncodeDate(2024, 1, 10);
    const TDateTime to = EncodeDate(2024, 6, 20);
    a->SetAxisRange(from, to);
    a->SetPixels(20, 880);
    a->SetRange(from, to);
    std::vector<std::string> texts;
    for (double v : Walk(a))
        texts.push_back(a->LabelText(v));
    EXPECT_EQ(texts, (std::vector<std::string>{"2024-06-01", "2024-05-01", "2024-04-01", "2024-03-01",
                                               "2024-02-01"}));
}

TEST(AxisLabelWalk, NextLabelEvent) {
    TAxisChart t;
    TChartAxis* a = t.Bottom();
    a->SetAxisRange(0, 10);
    a->SetPixels(40, 360);
    a->SetRange(0, 10);
    a->SetIncrement(5);

    // Stop at once: the default labels.
    int calls = 0;
    t.Chart->OnGetNextAxisLabel = [&](TChartAxis*, int, double&, bool& Stop) {
        ++calls;
        Stop = true;
    };
    EXPECT_EQ(Walk(a), (std::vector<double>{10, 5, 0}));
    EXPECT_EQ(calls, 1);

    // The handler's own values, until it stops or leaves the range.
    t.Chart->OnGetNextAxisLabel = [&](TChartAxis*, int Index, double& Value, bool& Stop) {
        Stop = false;
        Value = Index * 3;
    };
    EXPECT_EQ(Walk(a), (std::vector<double>{0, 3, 6, 9}));

    // A handler that never stops is asked 2001 times at most.
    calls = 0;
    t.Chart->OnGetNextAxisLabel = [&](TChartAxis*, int, double& Value, bool& Stop) {
        ++calls;
        Stop = false;
        Value = 5;
    };
    EXPECT_EQ(Walk(a).size(), 2001u);
    EXPECT_EQ(calls, 2001);
}

// ---- Label styles and series texts ----

struct TLabelRecorder {
    std::vector<std::string> Texts;
    void Attach(TChartAxis* a) {
        a->OnDrawLabel = [this](TChartAxis*, int&, int&, int&, std::string& Text, bool&) {
            Texts.push_back(Text);
        };
    }
};

TEST(AxisLabelStyle, SeriesLabelsAndTheirOverlap) {
    TAxisChart t(400, 300, 40);
    t.ShowOnly({t.Bottom()});
    // The chart frees its series.
    auto* s = new TChartSeries(nullptr);
    t.Chart->AddSeries(s);
    EXPECT_EQ(t.Bottom()->CalcLabelStyle(), talValue);
    s->AddXY(0, 1, "first");
    s->AddXY(50, 2, "second");
    s->AddXY(51, 3, "third"); // one pixel from "second"
    s->AddXY(100, 4, "fourth");
    EXPECT_EQ(t.Bottom()->CalcLabelStyle(), talText);
    EXPECT_EQ(t.Left()->CalcLabelStyle(), talValue);

    t.Bottom()->SetTickOnLabelsOnly(false);
    TLabelRecorder rec;
    rec.Attach(t.Bottom());
    t.Render();
    EXPECT_EQ(rec.Texts, (std::vector<std::string>{"first", "second", "fourth"}));
    // The skipped label still has its tick.
    EXPECT_EQ(t.Bottom()->TickPositions().size(), 4u);

    t.Bottom()->SetTickOnLabelsOnly(true);
    rec.Texts.clear();
    t.Render();
    EXPECT_EQ(t.Bottom()->TickPositions().size(), 3u);

    // Without the separation test every label is drawn.
    t.Bottom()->SetLabelsSeparation(0);
    rec.Texts.clear();
    t.Render();
    EXPECT_EQ(rec.Texts.size(), 4u);
}

TEST(AxisLabelStyle, CustomItemsOutsideTheRangeAreLeftOut) {
    TAxisChart t;
    t.ShowOnly({t.Bottom()});
    TChartAxis* a = t.Bottom();
    a->SetAxisRange(0, 10);
    a->SetTickOnLabelsOnly(false);
    a->Items()->Add(2, "two");
    a->Items()->Add(5);
    a->Items()->Add(12, "twelve");
    TLabelRecorder rec;
    rec.Attach(a);
    t.Render();
    EXPECT_EQ(rec.Texts, (std::vector<std::string>{"two", "5"}));
    EXPECT_EQ(a->TickPositions().size(), 2u);
    a->Items()->Clear();
    EXPECT_EQ(a->Items()->Count(), 0);
}

TEST(AxisLabelStyle, DepthAxisStyle) {
    TAxisChart t;
    auto* s = new TChartSeries(nullptr);
    t.Chart->AddSeries(s);
    s->AddXY(0, 1);
    // Series without depth values of their own: one title per depth slot.
    EXPECT_EQ(t.Chart->DepthAxis()->CalcLabelStyle(), talText);
}

} // namespace
