#include <gtest/gtest.h>

#include <set>
#include <string>

#include "chart/PlotConst.h"
#include "chart/PlotProCo.h"
#include "platform/rtl/NumberFormat.h"

using namespace chart;

namespace {

TEST(PlotConst, BothTablesHoldEveryEntryOnceAndFilled) {
    const auto first = ChartMessageTable();
    const auto second = ChartProMessageTable();
    EXPECT_EQ(first.size(), 276u);
    EXPECT_EQ(second.size(), 223u);
    EXPECT_STREQ(first[0].Key, "ChartTextAboutLine");

    std::set<std::string> keys;
    std::set<const std::string*> variables;
    for (const auto& table : {first, second}) {
        for (const TChartMessage& m : table) {
            EXPECT_EQ(std::string(m.Key).rfind("ChartText", 0), 0u) << m.Key;
            EXPECT_TRUE(keys.insert(m.Key).second) << "duplicate key " << m.Key;
            EXPECT_TRUE(variables.insert(m.Variable).second) << "shared variable " << m.Key;
            EXPECT_FALSE(m.Variable->empty()) << m.Key;
            if (m.Text) {
                EXPECT_EQ(*m.Variable, m.Text) << m.Key;
            }
        }
    }
}

TEST(PlotConst, TextsComposedFromTheChartFileExtension) {
    EXPECT_EQ(ChartFileExtension, "plv");
    EXPECT_EQ(ChartFileFilter(), "(*.plv)|*.plv");
    EXPECT_EQ(ChartTextInvalidChartFile, "Invalid Chart in *.plv file");
    EXPECT_EQ(ChartTextWrongChartFile, "Wrong *.plv file format");
    EXPECT_EQ(ChartTextEmptyChartFile, "Empty *.plv file");
    EXPECT_EQ(ChartTextChartFilesFilter, "Plotwise files (*.plv)|*.plv");
}

TEST(PlotConst, TextsThatEngineCodeReads) {
    struct Case {
        const std::string& Variable;
        const char* Text;
    };
    const Case cases[] = {
        {ChartTextAxisMinimum, "Axis Minimum Value must be <= Maximum"},
        {ChartTextValueFormat, "#,##0.###"},
        {ChartTextPercentFormat, "##0.## %"},
        {ChartTextPercentOfTwoLines, "%s\rof %s"},
        {ChartTextDefaultFontName, "Arial"},
        {ChartTextDefaultFontSize, "8"},
        {ChartTextGalleryHorizontalBar, "Horizontal\rBar"},
        {ChartTextSubGalleryStack100, "Stack 100%"},
        {ChartTextFunctionCustom, "y = f(x)"},
        {ChartTextDateTimeFormat, "DateTime For&mat:"},
        {ChartTextFilterEnhancedMetafiles, "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf"},
        {ChartTextToolSelector, "Selector"},
        {ChartTextStandard, "Standard"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Variable, c.Text);
}

TEST(PlotConst, PlaceholdersTakeTheirArguments) {
    EXPECT_EQ(plat::Format(ChartTextSeriesDelete, {5, 2}),
              "Series Delete: ValueIndex 5 out of bounds (0 to 2).");
    EXPECT_EQ(plat::Format(ChartTextChart3DPercent, {1, 100}), "3D effect percent must be between 1 and 100");
}

} // namespace
