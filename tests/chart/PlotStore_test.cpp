#include <gtest/gtest.h>

#include <filesystem>

#include "SeriesTestUtil.h"
#include "chart/Chart.h"
#include "chart/ChartLegend.h"
#include "chart/ChartWalls.h"
#include "chart/PlotConst.h"
#include "chart/PlotStore.h"
#include "chart/PlotTools.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/Stream.h"
#include "platform/testing/TestOutput.h"

namespace {

using namespace seriestest;

std::string Stored(TCustomAxisPanel* Chart, bool IncludeData, bool AsText) {
    TMemoryStream stream;
    StoreChartToStream(Chart, stream, IncludeData, AsText);
    const std::vector<uint8_t>& b = stream.Bytes();
    return std::string(b.begin(), b.end());
}

// One chart with settings off their defaults everywhere the file must carry them: two series (labels on
// one, point colours on the other) and a tool.
struct TStoredChart : ::testing::Test {
    TChart Chart{nullptr};
    TLineSeries* A = nullptr;
    TLineSeries* B = nullptr;
    void SetUp() override {
        Chart.SetName("Chart1");
        Chart.SetBounds(0, 0, 500, 320);
        Chart.Title()->Text()->Add("Frames & <spectra>");
        Chart.SetView3D(false);
        Chart.Legend()->SetVisible(false);
        Chart.LeftAxis()->SetInverted(true);
        Chart.BottomAxis()->Title()->SetCaption("Wavelength");
        Chart.Gradient()->SetVisible(true);
        Chart.Gradient()->SetStartColor(clYellow);
        A = new TLineSeries(&Chart);
        A->SetName("Series1");
        A->SetTitle("Frame 1");
        Chart.AddSeries(A);
        A->SetSeriesColor(clNavy);
        A->AddXY(400, 10, "first");
        A->AddXY(410, 12.5, "second");
        B = new TLineSeries(&Chart);
        B->SetName("Series2");
        Chart.AddSeries(B);
        B->SetSeriesColor(clMaroon);
        B->AddXY(0, 3, "", clRed);
        B->AddXY(1, 4, "", clBlue);
        auto* line = new TColorLineTool(&Chart);
        line->SetName("ColorLine1");
        Chart.Tools()->Add(line);
        line->SetAxis(Chart.BottomAxis());
        line->SetValue(405);
    }
};

TEST_F(TStoredChart, BinaryFileReadBackHasTheSameChart) {
    const std::string binary = Stored(&Chart, true, false);
    EXPECT_EQ(binary.substr(0, 8), std::string("\x60\x30\x40\x01TPF0", 8));
    EXPECT_EQ(Chart.Name(), "Chart1") << "the name comes back after the write";
    EXPECT_EQ(binary.find("Chart1"), std::string::npos) << "the stream carries no name";
    EXPECT_FALSE(A->ForceSaveData() || A->DontSaveData()) << "the marks are cleared";

    TMemoryStream stream;
    stream.WriteBuffer(binary.data() + 4, static_cast<int64_t>(binary.size() - 4));
    stream.SetPosition(0);
    TChart read(nullptr);
    plat::ReadComponentFromStream(stream, &read);
    ASSERT_EQ(read.SeriesCount(), 2);
    EXPECT_EQ(read.Series(0)->Count(), 2);
    EXPECT_EQ(read.Series(0)->XLabel(1), "second");
    EXPECT_EQ(read.Series(1)->PointColor(1), clBlue);
    EXPECT_EQ(read.Series(0)->SeriesColor(), clNavy);
    EXPECT_EQ(read.Title()->Text()->Text(), Chart.Title()->Text()->Text());
    EXPECT_TRUE(read.LeftAxis()->Inverted());
    EXPECT_FALSE(read.View3D());
    ASSERT_EQ(read.Tools()->Count(), 1);
    auto* line = dynamic_cast<TColorLineTool*>(read.Tools()->Items(0));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Value(), 405);
    EXPECT_EQ(line->Axis(), read.BottomAxis());
    // Every setting: the read chart stores to the same text.
    read.SetName("Chart1");
    EXPECT_EQ(Stored(&read, true, true), Stored(&Chart, true, true));
}

TEST_F(TStoredChart, SeriesDataOnlyOnRequest) {
    const std::string without = Stored(&Chart, false, true);
    const std::string with = Stored(&Chart, true, true);
    EXPECT_EQ(without.find("Data = {"), std::string::npos) << without;
    size_t count = 0;
    for (size_t at = with.find("Data = {"); at != std::string::npos; at = with.find("Data = {", at + 1))
        ++count;
    EXPECT_EQ(count, 2u) << with;
    EXPECT_EQ(with.substr(0, 14), "object TChart\n");
}

TEST_F(TStoredChart, FilesAndTheirNames) {
    const std::string dir = TestOutputDir("chart-tools");
    StoreChartToFile(&Chart, dir + "/chart", true, false);
    StoreChartToFile(&Chart, dir + "/chart-text.plv", true, true);
    const std::string binary = ReadAllText(dir + "/chart.plv");
    EXPECT_EQ(binary.substr(0, 8), std::string("\x60\x30\x40\x01TPF0", 8));
    const std::string text = ReadAllText(dir + "/chart-text.plv");
    EXPECT_EQ(text.substr(0, 7), "object ");
    EXPECT_EQ(text.substr(text.size() - 4), "end\n");

    // Converting the file gives the text form; text stays as it is; anything else is refused.
    TMemoryStream source, converted, copied, none;
    source.WriteBuffer(binary.data(), static_cast<int64_t>(binary.size()));
    source.SetPosition(0);
    ConvertStoredChartToText(source, converted);
    EXPECT_EQ(std::string(converted.Bytes().begin(), converted.Bytes().end()), text);
    converted.SetPosition(0);
    ConvertStoredChartToText(converted, copied);
    EXPECT_EQ(std::string(copied.Bytes().begin(), copied.Bytes().end()), text);
    TMemoryStream wrong;
    wrong.WriteString("TPF0");
    wrong.SetPosition(0);
    EXPECT_THROW(ConvertStoredChartToText(wrong, none), ChartException);
    EXPECT_EQ(wrong.Position(), 0);

    // A file that cannot be replaced keeps its content.
    const std::string kept = dir + "/chart-kept.plv";
    std::filesystem::remove_all(kept);
    std::filesystem::create_directory(kept);
    EXPECT_THROW(StoreChartToFile(&Chart, kept, true, false), plat::Exception);
    EXPECT_TRUE(std::filesystem::is_directory(kept));
    std::filesystem::remove_all(kept);
}

// A series on custom axes finds them again by their index in the chart's custom axes.
TEST(StoredChartAxes, CustomAxesOfASeriesComeBack) {
    TChart chart(nullptr);
    auto* first = static_cast<TChartAxis*>(chart.CustomAxes()->Add());
    auto* second = static_cast<TChartAxis*>(chart.CustomAxes()->Add());
    second->SetHorizontal(true);
    auto* s = new TLineSeries(&chart);
    s->SetName("Series1");
    chart.AddSeries(s);
    s->SetCustomVertAxis(first);
    s->SetCustomHorizAxis(second);
    const std::string text = Stored(&chart, false, true);
    EXPECT_NE(text.find("CustomHorizAxis = 1"), std::string::npos) << text;
    EXPECT_NE(text.find("CustomVertAxis = 0"), std::string::npos) << text;
    TChart read(nullptr);
    plat::ReadComponentFromText(text, &read);
    ASSERT_EQ(read.SeriesCount(), 1);
    ASSERT_EQ(read.CustomAxes()->Count(), 2);
    EXPECT_EQ(read.Series(0)->CustomVertAxis(), read.CustomAxes()->AxisAt(0));
    EXPECT_EQ(read.Series(0)->CustomHorizAxis(), read.CustomAxes()->AxisAt(1));
}

// Every registered tool class and series class in one chart: what the file stores reads back to the same
// file, so no setting is written that its reader loses or reads differently.
TEST(StoredChartClasses, EveryToolAndSeriesClassRoundTrips) {
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 500, 320);
    int tools = 0, series = 0;
    for (const TClassInfo* cls : RegisteredClasses()) {
        if (!cls->Create)
            continue;
        if (cls->InheritsFrom(TPlotCustomTool::StaticClass())) {
            auto* tool = dynamic_cast<TPlotCustomTool*>(cls->Create(&chart));
            ASSERT_NE(tool, nullptr) << cls->Name;
            tool->SetName(std::string("Tool") + std::to_string(++tools));
            chart.Tools()->Add(tool);
        } else if (cls->InheritsFrom(TChartSeries::StaticClass())) {
            auto* s = dynamic_cast<TChartSeries*>(cls->Create(&chart));
            ASSERT_NE(s, nullptr) << cls->Name;
            s->SetName(std::string("Series") + std::to_string(++series));
            chart.AddSeries(s);
            s->AddXY(1, 2, "a");
            s->AddXY(3, 4, "b");
        }
    }
    EXPECT_GT(tools, 0);
    EXPECT_GT(series, 0);
    const std::string text = Stored(&chart, true, true);
    const std::string binary = Stored(&chart, true, false);
    TMemoryStream stream;
    stream.WriteBuffer(binary.data() + 4, static_cast<int64_t>(binary.size() - 4));
    stream.SetPosition(0);
    TChart read(nullptr);
    plat::ReadComponentFromStream(stream, &read);
    EXPECT_EQ(read.Tools()->Count(), tools);
    EXPECT_EQ(read.SeriesCount(), series);
    EXPECT_EQ(Stored(&read, true, true), text);
}

} // namespace
