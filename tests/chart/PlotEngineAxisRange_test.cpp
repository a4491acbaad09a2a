// Axis range and value-to-pixel mapping on free-standing axes: the pixels and the working range are set
// directly, as the chart would leave them after placing the axis.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "chart/PlotEngineAxis.h"

namespace {

using namespace chart;

constexpr int L = TChartAxis::PixelClampLimit;

struct TFreeAxis {
    TChartAxis Axis{static_cast<TCustomAxisPanel*>(nullptr)};

    TFreeAxis(bool horizontal, int start, int end, double min, double max, bool inverted = false,
              bool logarithmic = false) {
        Axis.SetHorizontal(horizontal);
        Axis.SetInverted(inverted);
        Axis.SetAxisRange(min, max);
        if (logarithmic)
            Axis.SetLogarithmic(true);
        Axis.SetPixels(start, end);
        Axis.SetRange(min, max);
    }
};

struct TMapCase {
    const char* Name;
    bool Horizontal;
    bool Inverted;
    bool Logarithmic;
    int Start, End;
    double Min, Max;
    double Value;
    int Pixel;
};

const TMapCase kMapCases[] = {
    {"horizontal middle", true, false, false, 100, 500, 0, 10, 5, 300},
    {"horizontal inverted middle", true, true, false, 100, 500, 0, 10, 5, 300},
    {"horizontal quarter", true, false, false, 100, 500, 0, 10, 2.5, 200},
    {"horizontal inverted quarter", true, true, false, 100, 500, 0, 10, 2.5, 400},
    {"horizontal ends", true, false, false, 100, 500, 0, 10, 10, 500},
    {"vertical minimum at the bottom", false, false, false, 50, 250, 0, 100, 0, 250},
    {"vertical maximum at the top", false, false, false, 50, 250, 0, 100, 100, 50},
    {"vertical inverted minimum at the top", false, true, false, 50, 250, 0, 100, 0, 50},
    {"half goes to even (0.5)", true, false, false, 0, 2, 0, 4, 1, 0},
    {"half goes to even (1.5)", true, false, false, 0, 2, 0, 4, 3, 2},
    {"half goes to even (2.5)", true, false, false, 0, 2, 0, 4, 5, 2},
    {"far above clamps", true, false, false, 0, 400, 0, 1, 1e12, L},
    {"far below clamps", true, false, false, 0, 400, 0, 1, -1e12, -L},
    {"vertical far above clamps", false, false, false, 0, 400, 0, 1, 1e12, -L},
    {"equal minimum and maximum give the centre", true, false, false, 100, 501, 7, 7, 123, 300},
    {"huge range", true, false, false, 0, 1000, 0, 1e300, 5e299, 500},
    {"logarithmic decade", true, false, true, 0, 300, 1, 1000, 10, 100},
    {"logarithmic inverted decade", true, true, true, 0, 300, 1, 1000, 10, 200},
    {"logarithmic zero at the start", true, false, true, 0, 300, 1, 1000, 0, 0},
    {"logarithmic negative at the start", true, false, true, 0, 300, 1, 1000, -5, 0},
    {"logarithmic inverted zero at the end", true, true, true, 0, 300, 1, 1000, 0, 300},
    {"logarithmic vertical decade", false, false, true, 0, 300, 1, 1000, 10, 200},
    {"logarithmic vertical zero at the bottom", false, false, true, 0, 300, 1, 1000, 0, 300},
    {"logarithmic equal ends give the centre", true, false, true, 0, 300, 5, 5, 100, 150},
};

TEST(AxisMapping, ValueToPixelTable) {
    for (const TMapCase& c : kMapCases) {
        TFreeAxis a(c.Horizontal, c.Start, c.End, c.Min, c.Max, c.Inverted, c.Logarithmic);
        EXPECT_EQ(a.Axis.ValueToPixel(c.Value), c.Pixel) << c.Name;
        // The orientation's own style is the one ValueToPixel uses.
        int styled = c.Horizontal ? a.Axis.HorizValueToPixel(c.Value) : a.Axis.VertValueToPixel(c.Value);
        EXPECT_EQ(styled, c.Pixel) << c.Name;
    }
}

TEST(AxisMapping, DegenerateValuesStayInsideTheClamp) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double v : {inf, -inf, nan}) {
        TFreeAxis a(true, 0, 400, 0, 10);
        int p = a.Axis.ValueToPixel(v);
        EXPECT_LE(p, L);
        EXPECT_GE(p, -L);
    }
    // A span that overflows to infinity maps without faulting.
    TFreeAxis wide(true, 0, 400, -1e308, 1e308);
    EXPECT_EQ(wide.Axis.RangeSpan(), inf);
    int p = wide.Axis.ValueToPixel(0);
    EXPECT_LE(p, L);
    EXPECT_GE(p, -L);
}

TEST(AxisMapping, PixelToValue) {
    TFreeAxis h(true, 100, 500, 0, 10);
    EXPECT_DOUBLE_EQ(h.Axis.PixelToValue(300), 5);
    EXPECT_DOUBLE_EQ(h.Axis.PixelToValue(100), 0);
    TFreeAxis hi(true, 100, 500, 0, 10, true);
    EXPECT_DOUBLE_EQ(hi.Axis.PixelToValue(200), 7.5);
    TFreeAxis v(false, 50, 250, 0, 100);
    EXPECT_DOUBLE_EQ(v.Axis.PixelToValue(250), 0);
    EXPECT_DOUBLE_EQ(v.Axis.PixelToValue(50), 100);
    EXPECT_DOUBLE_EQ(v.Axis.PixelToValue(150), 50);

    // Not yet sized.
    TFreeAxis unsized(true, 0, 0, 0, 10);
    EXPECT_EQ(unsized.Axis.PixelToValue(17), 0);

    TFreeAxis log(true, 0, 300, 1, 1000, false, true);
    EXPECT_NEAR(log.Axis.PixelToValue(200), 100, 1e-9);
    EXPECT_EQ(log.Axis.PixelToValue(0), 1);
    EXPECT_EQ(log.Axis.PixelToValue(300), 1000);
    TFreeAxis logv(false, 0, 300, 1, 1000, false, true);
    EXPECT_EQ(logv.Axis.PixelToValue(0), 1000);
    EXPECT_EQ(logv.Axis.PixelToValue(300), 1);
    EXPECT_NEAR(logv.Axis.PixelToValue(200), 10, 1e-9);
    TFreeAxis logFlat(true, 0, 0, 5, 5, false, true);
    EXPECT_EQ(logFlat.Axis.PixelToValue(3), 5);
}

TEST(AxisMapping, ValueSizeToPixels) {
    TFreeAxis h(true, 100, 500, 0, 10);
    EXPECT_EQ(h.Axis.ValueSizeToPixels(2.5), 100);
    EXPECT_EQ(h.Axis.ValueSizeToPixels(0), 0);
    EXPECT_EQ(h.Axis.ValueSizeToPixels(-3), 0);
    TFreeAxis flat(true, 100, 500, 4, 4);
    EXPECT_EQ(flat.Axis.ValueSizeToPixels(2), 0);
    TFreeAxis log(true, 0, 300, 1, 1000, false, true);
    EXPECT_EQ(log.Axis.ValueSizeToPixels(10), 100);
}

TEST(AxisMapping, WorkingStateFollowsPixelsAndRange) {
    TFreeAxis a(true, 101, 500, 0, 10);
    EXPECT_EQ(a.Axis.SizePixels(), 399);
    EXPECT_EQ(a.Axis.CenterPixel(), 300);
    EXPECT_DOUBLE_EQ(a.Axis.PixelsPerUnit(), 39.9);
    EXPECT_FALSE(a.Axis.RangeIsZero());
    a.Axis.SetRange(3, 3);
    EXPECT_TRUE(a.Axis.RangeIsZero());
    EXPECT_EQ(a.Axis.PixelsPerUnit(), 0);
    // Halving toward zero for negative pixels.
    a.Axis.SetPixels(-5, 0);
    EXPECT_EQ(a.Axis.CenterPixel(), -2);
}

TEST(AxisMapping, AdjustRangeToMarginsKeepsTheOldRangeInsideTheMargins) {
    TFreeAxis h(true, 0, 400, 0, 100);
    h.Axis.AdjustRangeToMargins(TRect(40, 0, 40, 0));
    EXPECT_EQ(h.Axis.StartPixel(), 0);
    EXPECT_EQ(h.Axis.EndPixel(), 400);
    EXPECT_DOUBLE_EQ(h.Axis.RangeMin(), -12.5);
    EXPECT_DOUBLE_EQ(h.Axis.RangeMax(), 112.5);
    EXPECT_EQ(h.Axis.ValueToPixel(0), 40);
    EXPECT_EQ(h.Axis.ValueToPixel(100), 360);

    // Vertical axes take the top and bottom margins; the minimum end is the bottom.
    TFreeAxis v(false, 0, 200, 0, 10);
    v.Axis.AdjustRangeToMargins(TRect(99, 20, 99, 0));
    EXPECT_EQ(v.Axis.ValueToPixel(10), 20);
    EXPECT_EQ(v.Axis.ValueToPixel(0), 200);
}

TEST(AxisRange, SetAxisRangeOrdersAndWidens) {
    TChartAxis a(static_cast<TCustomAxisPanel*>(nullptr));
    a.SetAxisRange(5, 2);
    EXPECT_EQ(a.Minimum(), 2);
    EXPECT_EQ(a.Maximum(), 5);
    EXPECT_FALSE(a.Automatic());
    EXPECT_FALSE(a.AutomaticMinimum());
    EXPECT_FALSE(a.AutomaticMaximum());
    a.SetAxisRange(3, 3);
    EXPECT_EQ(a.Minimum(), 3);
    EXPECT_EQ(a.Maximum(), 3 + 1e-10);
    // No order check: a range entirely below the old one is taken as it is.
    a.SetAxisRange(-20, -10);
    EXPECT_EQ(a.Minimum(), -20);
    EXPECT_EQ(a.Maximum(), -10);
}

TEST(AxisRange, ScrollBy) {
    TChartAxis a(static_cast<TCustomAxisPanel*>(nullptr));
    a.SetAxisRange(0, 10);
    a.SetAutomatic(true);
    // Without series nothing lies beyond the range: checked scrolling stays.
    a.ScrollBy(5, true);
    EXPECT_EQ(a.Minimum(), 0);
    EXPECT_TRUE(a.Automatic());
    a.ScrollBy(5, false);
    EXPECT_EQ(a.Minimum(), 5);
    EXPECT_EQ(a.Maximum(), 15);
    EXPECT_FALSE(a.Automatic());
    EXPECT_FALSE(a.AutomaticMinimum());
    EXPECT_FALSE(a.AutomaticMaximum());
}

TEST(AxisRange, SettersRefuseBadValues) {
    TChartAxis a(static_cast<TCustomAxisPanel*>(nullptr));
    a.SetAxisRange(0, 10);
    try {
        a.SetMinimum(11);
        FAIL() << "no exception";
    } catch (const AxisException& e) {
        EXPECT_EQ(e.Message(), "Axis Minimum Value must be <= Maximum");
    }
    EXPECT_EQ(a.Minimum(), 0);
    EXPECT_THROW(a.SetMaximum(-1), AxisException);
    EXPECT_THROW(a.SetIncrement(-1), AxisException);
    EXPECT_THROW(a.SetIncrement(std::numeric_limits<double>::quiet_NaN()), AxisException);
    for (double base : {0.0, -2.0, 1.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_THROW(a.SetLogarithmicBase(base), AxisException) << base;
    EXPECT_EQ(a.LogarithmicBase(), 10);
    a.SetLogarithmicBase(0.5);
    EXPECT_EQ(a.LogarithmicBase(), 0.5);
    EXPECT_THROW(a.SetLabelsSeparation(-1), AxisException);
    a.SetLabelsSeparation(0);
    EXPECT_EQ(a.LabelsSeparation(), 0);

    // A logarithmic axis cannot start below zero.
    TChartAxis neg(static_cast<TCustomAxisPanel*>(nullptr));
    neg.SetAxisRange(-5, 10);
    EXPECT_THROW(neg.SetLogarithmic(true), AxisException);
    EXPECT_FALSE(neg.Logarithmic());
}

TEST(AxisRange, AutomaticFlagsFollowEachOther) {
    TChartAxis a(static_cast<TCustomAxisPanel*>(nullptr));
    a.SetAutomaticMinimum(false);
    EXPECT_FALSE(a.Automatic());
    a.SetAutomaticMinimum(true);
    EXPECT_TRUE(a.Automatic());
    a.SetAutomatic(false);
    EXPECT_FALSE(a.AutomaticMinimum());
    EXPECT_FALSE(a.AutomaticMaximum());
    a.SetAutomaticMaximum(true);
    EXPECT_FALSE(a.Automatic()); // the minimum still is not automatic
}

TEST(AxisRange, SmallSettersStoreNormalisedValues) {
    TChartAxis a(static_cast<TCustomAxisPanel*>(nullptr));
    a.SetZPosition(0);
    EXPECT_EQ(a.ZPosition(), 0.01);
    a.SetZPosition(50);
    EXPECT_EQ(a.ZPosition(), 50);
    a.SetLabelsAngle(450);
    EXPECT_EQ(a.LabelsAngle(), 90);
    a.SetLabelsAngle(-90);
    EXPECT_EQ(a.LabelsAngle(), 270);
    a.Title()->SetAngle(-450);
    EXPECT_EQ(a.Title()->Angle(), 270);
}

TEST(AxisRange, SwitchingKindsReselectsTheMapping) {
    TFreeAxis a(true, 0, 300, 1, 1000);
    EXPECT_EQ(a.Axis.ValueToPixel(10), 3);
    a.Axis.SetLogarithmic(true);
    EXPECT_EQ(a.Axis.ValueToPixel(10), 100);
    a.Axis.SetHorizontal(false);
    EXPECT_EQ(a.Axis.ValueToPixel(10), 200);
    a.Axis.SetLogarithmic(false);
    a.Axis.SetIsDepthAxis(true);
    // Depth axes count from 0 with no start offset.
    a.Axis.SetPixels(10, 310);
    EXPECT_EQ(a.Axis.ValueToPixel(1000), 300);
}

TEST(AxisRange, AssignCopiesSettingsButNotDepthPosition) {
    TChartAxis source(static_cast<TCustomAxisPanel*>(nullptr));
    source.SetAxisRange(-3, 8);
    source.SetInverted(true);
    source.SetHorizontal(true);
    source.SetAxisValuesFormat("0.00");
    source.SetZPosition(40);
    source.Title()->SetCaption("Time");
    source.Title()->SetAngle(90);
    source.Grid()->SetCentered(true);
    source.Items()->Add(2, "two");
    source.SetPixels(0, 100);
    source.SetRange(-3, 8);

    TChartAxis target(static_cast<TCustomAxisPanel*>(nullptr));
    target.Assign(&source);
    EXPECT_EQ(target.Minimum(), -3);
    EXPECT_EQ(target.Maximum(), 8);
    EXPECT_FALSE(target.Automatic());
    EXPECT_TRUE(target.Inverted());
    EXPECT_TRUE(target.Horizontal());
    EXPECT_EQ(target.AxisValuesFormat(), "0.00");
    EXPECT_EQ(target.ZPosition(), 0);
    EXPECT_EQ(target.Title()->Caption(), "Time");
    EXPECT_EQ(target.Title()->Angle(), 90);
    EXPECT_TRUE(target.GridCentered());
    ASSERT_EQ(target.Items()->Count(), 1);
    EXPECT_EQ(target.Items()->Item(0)->Text(), "two");
    // The copied kind maps like the source once it has pixels and a range.
    target.SetPixels(0, 100);
    target.SetRange(-3, 8);
    EXPECT_EQ(target.ValueToPixel(8), source.ValueToPixel(8));
}

} // namespace
