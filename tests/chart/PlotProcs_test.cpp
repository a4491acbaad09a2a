#include <gtest/gtest.h>

#include "platform/ui/Screen.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "chart/PlotProcs.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"

using namespace chart;
using plat::EncodeDate;
using plat::EncodeTime;

namespace {

// --- Date-time steps --------------------------------------------------------------------------------

TEST(PlotDateTimeSteps, StepIndex) {
    const struct {
        double Step;
        int Index;
    } cases[] = {
        {1, dtOneDay},
        {1.5, dtNone},
        {1.0 / 24, dtOneHour},
        {1.0 / 86400000000.0, dtOneMicroSecond},
        {1.0 / 86400000.0, dtOneMillisecond},
        {15, dtHalfMonth},
        {365, dtOneYear},
        {30 + 1e-12, dtOneMonth}, // within a microsecond
        {0, dtNone},
        {-1, dtNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateTimeStepIndex(c.Step), c.Index) << c.Step;
}

TEST(PlotDateTimeSteps, NextStep) {
    const struct {
        double Step, Next;
    } cases[] = {
        {1, 2},
        {1.5, 2},
        {6, 7},
        {1.0 / 86400, 5.0 / 86400},
        {1.0 / 86400000000.0, 1.0 / 86400000.0},
        {182, 365},
        {1000, 365},
        {0, 365}, // below the first entry
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(NextDateTimeStep(c.Step), c.Next) << c.Step;
}

TEST(PlotDateTimeSteps, FormatFollowsTheRange) {
    plat::TFormatSettings fs;
    fs.ShortDateFormat = "dd.mm.yyyy";
    fs.ShortTimeFormat = "hh:nn";
    plat::TScopedFormatSettings scoped(fs);
    EXPECT_EQ(ChooseDateTimeFormat(1.01), "dd.mm.yyyy");
    EXPECT_EQ(ChooseDateTimeFormat(1), "hh:nn");
    EXPECT_EQ(ChooseDateTimeFormat(0.001), "hh:nn");
}

TEST(PlotDateTimeSteps, TruncateToStep) {
    const double afternoon = EncodeTime(13, 30, 0, 0);
    const struct {
        int Index;
        double Date, Expected;
    } cases[] = {
        {dtHalfMonth, EncodeDate(2020, 1, 20) + afternoon, EncodeDate(2020, 1, 15)},
        {dtHalfMonth, EncodeDate(2020, 1, 14), EncodeDate(2020, 1, 1)},
        {dtOneMonth, EncodeDate(2020, 3, 31) + afternoon, EncodeDate(2020, 3, 1)},
        {dtSixMonths, EncodeDate(2020, 8, 9), EncodeDate(2020, 8, 1)},
        {dtOneYear, EncodeDate(2021, 6, 5), EncodeDate(2021, 1, 1)},
        {dtOneDay, EncodeDate(2021, 6, 5) + afternoon, EncodeDate(2021, 6, 5)},
        // Dates up to 1 January 1900 stay as they are.
        {dtOneMonth, EncodeDate(1899, 12, 31), EncodeDate(1899, 12, 31)},
        {dtOneMonth, EncodeDate(1900, 1, 1) + 0.0, EncodeDate(1900, 1, 1)},
        {dtOneYear, 1.5, 1.5},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(TruncateDateToStep(c.Index, c.Date), c.Expected) << c.Index << " " << c.Date;
}

TEST(PlotDateTimeSteps, CalendarStepping) {
    const double noon = 0.5;
    const struct {
        bool Up;
        int Index;
        double From, To;
    } cases[] = {
        {false, dtOneMonth, EncodeDate(2020, 3, 15), EncodeDate(2020, 2, 1)},
        {false, dtOneMonth, EncodeDate(2020, 3, 15) + noon, EncodeDate(2020, 2, 1)},
        {true, dtOneMonth, EncodeDate(2020, 1, 31), EncodeDate(2020, 2, 1)},
        {true, dtTwoMonths, EncodeDate(2020, 11, 20), EncodeDate(2021, 1, 1)},
        {true, dtSixMonths, EncodeDate(2020, 9, 10), EncodeDate(2021, 3, 1)},
        {false, dtThreeMonths, EncodeDate(2020, 3, 10), EncodeDate(2019, 12, 1)},
        {false, dtSixMonths, EncodeDate(2020, 3, 10), EncodeDate(2019, 9, 1)},
        {false, dtFourMonths, EncodeDate(2020, 7, 2), EncodeDate(2020, 3, 1)},
        {false, dtHalfMonth, EncodeDate(2020, 1, 20), EncodeDate(2020, 1, 15)},
        {false, dtHalfMonth, EncodeDate(2020, 1, 15), EncodeDate(2020, 1, 1)},
        {false, dtHalfMonth, EncodeDate(2020, 1, 2), EncodeDate(2020, 1, 1)},
        {false, dtHalfMonth, EncodeDate(2020, 1, 1), EncodeDate(2019, 12, 15)},
        {true, dtHalfMonth, EncodeDate(2020, 1, 10), EncodeDate(2020, 1, 15)},
        {true, dtHalfMonth, EncodeDate(2020, 1, 15), EncodeDate(2020, 2, 1)},
        {true, dtHalfMonth, EncodeDate(2020, 12, 20), EncodeDate(2021, 1, 1)},
        {true, dtOneYear, EncodeDate(2019, 6, 15), EncodeDate(2020, 6, 15)},
        {false, dtOneYear, EncodeDate(2019, 6, 15) + noon, EncodeDate(2018, 6, 15)},
        // 29 February moves to the 28th of a year without one.
        {true, dtOneYear, EncodeDate(2020, 2, 29), EncodeDate(2021, 2, 28)},
        {false, dtOneYear, EncodeDate(2020, 2, 29), EncodeDate(2019, 2, 28)},
        // The calendar cannot go past year 9999: the plain step still moves the value.
        {true, dtOneYear, EncodeDate(9999, 6, 1), EncodeDate(9999, 6, 1) + 365},
    };
    for (const auto& c : cases) {
        double value = c.From;
        IncDecDateTime(true, c.Up, value, c.Index, DateTimeStep[c.Index]);
        EXPECT_DOUBLE_EQ(value, c.To) << (c.Up ? "up " : "down ") << c.Index << " from " << c.From;
    }
}

TEST(PlotDateTimeSteps, PlainStepping) {
    double value = EncodeDate(2020, 1, 20) + 0.25;
    IncDecDateTime(false, true, value, dtOneMonth, 30);
    EXPECT_DOUBLE_EQ(value, EncodeDate(2020, 2, 19) + 0.25);
    IncDecDateTime(true, false, value, dtOneHour, 1.0 / 24);
    EXPECT_DOUBLE_EQ(value, EncodeDate(2020, 2, 19) + 0.25 - 1.0 / 24);
    value = 10;
    IncDecDateTime(true, true, value, dtNone, 2.5);
    EXPECT_DOUBLE_EQ(value, 12.5);
}

// --- Sorting ----------------------------------------------------------------------------------------

TEST(PlotSort, SortsThroughTheCallbacksOnly) {
    std::mt19937 random(3);
    std::vector<std::vector<int>> inputs = {
        {}, {4}, {2, 1}, {1, 2, 3, 4, 5}, {5, 4, 3, 2, 1}, {7, 7, 7, 7}, {3, 1, 3, 1, 2, 2, 3, 1}};
    std::vector<int> big(1000);
    for (int& v : big)
        v = static_cast<int>(random() % 100);
    inputs.push_back(big);

    for (const std::vector<int>& input : inputs) {
        std::vector<int> data = input;
        const int last = static_cast<int>(data.size()) - 1;
        bool inRange = true;
        auto check = [&](int i) { inRange = inRange && i >= 0 && i <= last; };
        SortIndexRange(
            0, last,
            [&](int a, int b) {
                check(a);
                check(b);
                return data[a] < data[b] ? -1 : (data[a] > data[b] ? 1 : 0);
            },
            [&](int a, int b) {
                check(a);
                check(b);
                std::swap(data[a], data[b]);
            });
        std::vector<int> expected = input;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(data, expected);
        EXPECT_TRUE(inRange);
    }
}

TEST(PlotSort, SortsOnlyTheGivenRange) {
    std::vector<int> data = {9, 5, 3, 8, 1, 0};
    SortIndexRange(
        1, 4, [&](int a, int b) { return data[a] - data[b]; },
        [&](int a, int b) { std::swap(data[a], data[b]); });
    EXPECT_EQ(data, (std::vector<int>{9, 1, 3, 5, 8, 0}));
}

TEST(PlotSort, AContradictoryComparisonStaysInRange) {
    std::vector<int> data = {3, 1, 2, 5, 4};
    bool inRange = true;
    SortIndexRange(
        0, 4,
        [&](int a, int b) {
            inRange = inRange && a >= 0 && a <= 4 && b >= 0 && b <= 4;
            return -1;
        },
        [&](int a, int b) { std::swap(data[a], data[b]); });
    EXPECT_TRUE(inRange);
}

// --- Palettes ---------------------------------------------------------------------------------------

TEST(PlotPalettes, DefaultPaletteCountsRound) {
    EXPECT_EQ(DefaultColorPalette().size(), 20u);
    EXPECT_EQ(DefaultPaletteColor(0), plat::clRed);
    EXPECT_EQ(DefaultPaletteColor(1), plat::clGreen);
    EXPECT_EQ(DefaultPaletteColor(19), TColor(0xA4A0A0));
    EXPECT_EQ(DefaultPaletteColor(20), plat::clRed);
    EXPECT_EQ(DefaultPaletteColor(41), plat::clGreen);
    EXPECT_EQ(DefaultPaletteColor(-1), TColor(0xA4A0A0));
}

TEST(PlotPalettes, Names) {
    const plat::TStringList& names = ColorPalettes();
    ASSERT_EQ(names.Count(), 10);
    EXPECT_EQ(names[0], "Plotwise");
    EXPECT_EQ(names[4], "Solid");
    EXPECT_EQ(names[9], "Win. XP");
}

class TFakePaletteChart : public IColorPaletteChart {
public:
    TColorArray Palette = {1, 2, 3};
    std::vector<std::string> Calls;
    int Index = -100;

    TColorArray& ColorPalette() override { return Palette; }
    void SetAutomaticSeriesColors() override { Calls.push_back("colors"); }
    void SetColorPaletteIndex(int Value) override {
        Index = Value;
        Calls.push_back("index");
    }
    void Invalidate() override { Calls.push_back("invalidate"); }
};

TEST(PlotPalettes, ApplyCopiesTheTableThenRecolours) {
    const struct {
        int Index;
        size_t Size;
        TColor First, Last;
    } cases[] = {
        {1, 22, 0xFF9999, 0xCC99FF}, {2, 11, 0xA1A55D, 0x846401}, {3, 14, 0xFFFFCC, 0xCCFFCC},
        {4, 8, 0xFF0000, 0xFFFFFF},  {5, 12, 0xFF0000, 0x008080}, {6, 9, 0x00A5FF, 0x408080},
        {7, 14, 0x6699FF, 0xFFCCCC}, {8, 25, 0x000099, 0xFF00CC}, {9, 13, 0xFE9B82, 0x7B715F},
    };
    for (const auto& c : cases) {
        TFakePaletteChart chart;
        ApplyColorPalette(chart, c.Index);
        ASSERT_EQ(chart.Palette.size(), c.Size) << c.Index;
        EXPECT_EQ(chart.Palette.front(), c.First) << c.Index;
        EXPECT_EQ(chart.Palette.back(), c.Last) << c.Index;
        EXPECT_EQ(chart.Index, c.Index);
        EXPECT_EQ(chart.Calls, (std::vector<std::string>{"colors", "index", "invalidate"}));
    }
}

TEST(PlotPalettes, OtherIndexesReturnToTheDefault) {
    for (int index : {0, 10, -1}) {
        TFakePaletteChart chart;
        ApplyColorPalette(chart, index);
        EXPECT_TRUE(chart.Palette.empty());
        EXPECT_EQ(chart.Index, index);
        EXPECT_EQ(chart.Calls.size(), 3u);
    }
}

// --- Error box and hand cursor ----------------------------------------------------------------------

TEST(PlotErrorBox, LongTextsAreCutAfter1023Characters) {
    std::vector<std::string> shown;
    auto previous = SetErrorMessagePresenter([&](const std::string& text) { shown.push_back(text); });
    ShowErrorMessage("short");
    ShowErrorMessage(std::string(2000, 'x'));
    std::string accented;
    for (int i = 0; i < 1100; ++i)
        accented += "\xC3\xA9"; // é
    ShowErrorMessage(accented);
    SetErrorMessagePresenter(previous);

    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "short");
    EXPECT_EQ(shown[1], std::string(1023, 'x'));
    EXPECT_EQ(shown[2], accented.substr(0, 2 * 1023));
}

TEST(PlotHandCursor, LoadsFromTheResourceIntoTheScreenTable) {
    EXPECT_EQ(crPlotHand, 2020);
    ASSERT_TRUE(LoadPlotHandCursor());
    EXPECT_NE(plat::Screen->Cursors(crPlotHand), plat::Screen->Cursors(plat::crDefault));
    RemovePlotHandCursor();
    EXPECT_EQ(plat::Screen->Cursors(crPlotHand), plat::Screen->Cursors(plat::crDefault));
}

} // namespace
