#include <gtest/gtest.h>

#include <string>

#include "chart/PlotConst.h"
#include "chart/PlotProcs.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"

using namespace chart;

namespace {

class TRegLineSeries : public plat::TObject {
    PLAT_CLASS(TRegLineSeries)
};
class TRegBarSeries : public plat::TObject {
    PLAT_CLASS(TRegBarSeries)
};
class TRegUnlistedSeries : public plat::TObject {
    PLAT_CLASS(TRegUnlistedSeries)
};
class TRegAddFunction : public plat::TObject {
    PLAT_CLASS(TRegAddFunction)
};
class TRegCursorTool : public plat::TObject {
    PLAT_CLASS(TRegCursorTool)
};
class TRegMarksTool : public plat::TObject {
    PLAT_CLASS(TRegMarksTool)
};

PLAT_CLASS_INFO(TRegLineSeries, plat::TObject)
PLAT_CLASS_INFO(TRegBarSeries, plat::TObject)
PLAT_CLASS_INFO(TRegUnlistedSeries, plat::TObject)
PLAT_CLASS_INFO(TRegAddFunction, plat::TObject)
PLAT_CLASS_INFO(TRegCursorTool, plat::TObject)
PLAT_CLASS_INFO(TRegMarksTool, plat::TObject)

TEST(PlotSeriesRegistry, OneEntryPerSeriesAndFunctionClass) {
    TPlotSeriesTypes& types = PlotSeriesTypes();
    const int before = types.Count();
    std::string lineName = "Line";
    std::string page = "My page";

    RegisterPlotSeries(&TRegLineSeries::StaticClass(), &lineName, &page, 3);
    RegisterPlotSeries(&TRegLineSeries::StaticClass(), &lineName, &page, 3);
    RegisterPlotSeriesFunction(&TRegLineSeries::StaticClass(), &TRegAddFunction::StaticClass(),
                               &ChartTextFunctionAdd, &ChartTextFunctions, 1);
    RegisterPlotFunction(&TRegAddFunction::StaticClass(), &ChartTextFunctionAdd);
    RegisterPlotSeries(&TRegBarSeries::StaticClass(), &ChartTextGalleryBar);
    ASSERT_EQ(types.Count(), before + 4);

    const TPlotSeriesType* line = types.SeriesTypeAt(before);
    EXPECT_EQ(types.FindSeriesClass(&TRegLineSeries::StaticClass()), line);
    EXPECT_EQ(line->FunctionClass, nullptr);
    EXPECT_EQ(line->NumGallerySeries, 3);
    // The texts are read when shown.
    lineName = "Lines";
    EXPECT_EQ(line->DescriptionText(), "Lines");
    EXPECT_EQ(line->GalleryPageText(), "My page");

    const TPlotSeriesType* calculated = types.SeriesTypeAt(before + 1);
    EXPECT_EQ(calculated->SeriesClass, &TRegLineSeries::StaticClass());
    EXPECT_EQ(calculated->FunctionClass, &TRegAddFunction::StaticClass());

    const TPlotSeriesType* function = types.SeriesTypeAt(before + 2);
    EXPECT_EQ(function->SeriesClass, nullptr);
    EXPECT_EQ(function->GalleryPageText(), "Standard");
    EXPECT_EQ(function->NumGallerySeries, 2);

    const TPlotSeriesType* bar = types.SeriesTypeAt(before + 3);
    EXPECT_EQ(bar->DescriptionText(), "Bar");
    EXPECT_EQ(bar->GalleryPageText(), "Standard");

    // Registered classes can be created by name from component streams.
    EXPECT_EQ(plat::GetClass("TRegLineSeries"), &TRegLineSeries::StaticClass());
    EXPECT_EQ(plat::GetClass("TRegAddFunction"), &TRegAddFunction::StaticClass());

    TRegBarSeries bars;
    TRegUnlistedSeries unlisted;
    EXPECT_EQ(GetGallerySeriesName(&bars), "Bar");
    EXPECT_EQ(GetGallerySeriesName(&unlisted), "TRegUnlistedSeries");
    EXPECT_EQ(types.FindSeriesClass(&TRegUnlistedSeries::StaticClass()), nullptr);
    EXPECT_THROW(types.SeriesTypeAt(types.Count()), plat::EListError);
}

TEST(PlotToolRegistry, RegisterOnceAndUnregister) {
    TPlotToolTypes& tools = PlotToolTypes();
    const int before = tools.Count();
    RegisterPlotTools(
        {&TRegCursorTool::StaticClass(), &TRegMarksTool::StaticClass(), &TRegCursorTool::StaticClass()});
    ASSERT_EQ(tools.Count(), before + 2);
    EXPECT_EQ(tools.ToolClassAt(before), &TRegCursorTool::StaticClass());
    EXPECT_EQ(tools.ToolClassAt(before + 1), &TRegMarksTool::StaticClass());
    EXPECT_EQ(plat::GetClass("TRegMarksTool"), &TRegMarksTool::StaticClass());

    UnRegisterPlotTools({&TRegCursorTool::StaticClass()});
    ASSERT_EQ(tools.Count(), before + 1);
    EXPECT_EQ(tools.ToolClassAt(before), &TRegMarksTool::StaticClass());
    EXPECT_THROW(tools.ToolClassAt(before + 1), plat::EListError);
    UnRegisterPlotTools({&TRegMarksTool::StaticClass(), &TRegCursorTool::StaticClass()});
    EXPECT_EQ(tools.Count(), before);
}

} // namespace
