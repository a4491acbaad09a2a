#include "chart/PlotProcsServices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/rtl/Component.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/Stream.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Clipboard.h"

using namespace chart;
using plat::TPoint;
using plat::TRect;

namespace {

TEST(PlotServicesGeometry, PointSegmentDistance) {
    EXPECT_DOUBLE_EQ(PointSegmentDistance(TPoint(3, 4), TPoint(0, 0), TPoint(0, 0)), 5);
    EXPECT_DOUBLE_EQ(PointSegmentDistance(TPoint(5, 3), TPoint(0, 0), TPoint(10, 0)), 3);
    // Beyond the ends the distance is to the nearer end point.
    EXPECT_DOUBLE_EQ(PointSegmentDistance(TPoint(-3, 4), TPoint(0, 0), TPoint(10, 0)), 5);
    EXPECT_DOUBLE_EQ(PointSegmentDistance(TPoint(13, 4), TPoint(0, 0), TPoint(10, 0)), 5);
}

TEST(PlotServicesGeometry, PointInLineAcceptsOnePixelOffEvenWithoutTolerance) {
    const TPoint a(0, 0), b(20, 0);
    EXPECT_TRUE(PointInLine(TPoint(10, 1), a, b));
    EXPECT_TRUE(PointInLine(TPoint(10, -1), a, b));
    EXPECT_FALSE(PointInLine(TPoint(10, 2), a, b));
    EXPECT_TRUE(PointInLine(TPoint(10, 3), a, b, 2));
    EXPECT_TRUE(PointInLine(TPoint(20, 0), 0, 0, 20, 0));
    // A degenerate segment still accepts its own point.
    EXPECT_TRUE(PointInLine(TPoint(5, 5), TPoint(5, 5), TPoint(5, 5)));
}

TEST(PlotServicesGeometry, PointInPolygonEvenOdd) {
    const std::vector<TPoint> square = {TPoint(0, 0), TPoint(10, 0), TPoint(10, 10), TPoint(0, 10)};
    EXPECT_TRUE(PointInPolygon(TPoint(5, 5), square));
    EXPECT_FALSE(PointInPolygon(TPoint(15, 5), square));
    EXPECT_FALSE(PointInPolygon(TPoint(5, 5), std::vector<TPoint>()));
    // A self-crossing outline: the doubly covered middle counts as outside.
    const std::vector<TPoint> star = {TPoint(0, 0),    TPoint(30, 0),   TPoint(30, 10), TPoint(10, 10),
                                      TPoint(10, -10), TPoint(20, -10), TPoint(20, 20), TPoint(0, 20)};
    EXPECT_FALSE(PointInPolygon(TPoint(15, 5), star));
    EXPECT_TRUE(PointInPolygon(TPoint(5, 5), star));
}

TEST(PlotServicesGeometry, TrianglesAndEllipse) {
    // Tip up at (10, 0), base from (0, 20) to (20, 20).
    EXPECT_TRUE(PointInTriangle(TPoint(10, 10), 0, 20, 0, 20));
    EXPECT_FALSE(PointInTriangle(TPoint(2, 2), 0, 20, 0, 20));
    // Tip at x0 = 0, middle height 10; the base is at x1 = 20.
    EXPECT_TRUE(PointInSideTriangle(TPoint(15, 10), 0, 20, 0, 20));
    EXPECT_FALSE(PointInSideTriangle(TPoint(2, 2), 0, 20, 0, 20));

    const TRect r(0, 0, 20, 10);
    EXPECT_TRUE(PointInEllipse(TPoint(10, 5), r));
    EXPECT_TRUE(PointInEllipse(TPoint(0, 5), r));
    EXPECT_FALSE(PointInEllipse(TPoint(1, 1), r));
    EXPECT_FALSE(PointInEllipse(TPoint(0, 0), TRect(0, 0, 0, 10)));
    EXPECT_FALSE(PointInEllipse(TPoint(0, 0), TRect(0, 0, 1, 1)));
}

TEST(PlotServicesText, SeparatedFields) {
    const std::string abc = "a;b;c";
    EXPECT_EQ(FieldCount(abc), 3);
    EXPECT_EQ(FieldAt(abc, 2), "b");
    EXPECT_EQ(FieldAt(abc, 1), "a");
    EXPECT_EQ(FieldAt(abc, 5), "c");
    EXPECT_EQ(FieldAt(abc, 0), "");
    EXPECT_EQ(FieldCount(""), 0);
    EXPECT_EQ(FieldAt("", 1), "");
    EXPECT_EQ(FieldCount("a;;"), 3);
    EXPECT_EQ(FieldAt("a;;", 2), "");

    EXPECT_EQ(CountSeparatedFields("x||y", "||"), 2);
    EXPECT_EQ(GetSeparatedField("x||y", 2, "||"), "y");
    // The call's separator does not stay.
    EXPECT_EQ(PlotFieldSeparator, ";");
}

TEST(PlotServicesText, SubstituteChar) {
    EXPECT_EQ(SubstituteChar("a\rb\rc", '\r', ' '), "a b c");
    EXPECT_EQ(SubstituteChar("a\rb\rc", '\r', '\0'), "abc");
    EXPECT_EQ(SubstituteChar("", 'x', 'y'), "");
    EXPECT_EQ(IntToText(-42), "-42");
}

TEST(PlotServicesText, FormatMaskLocaleConversion) {
    plat::TScopedFormatSettings scope;
    plat::FormatSettings().ThousandSeparator = '.';
    plat::FormatSettings().DecimalSeparator = ',';
    // Both separators change at once: neither turns into the other.
    EXPECT_EQ(FormatMaskToLocale("#,##0.###"), "#.##0,###");
    EXPECT_EQ(FormatMaskFromLocale("#.##0,###"), "#,##0.###");

    plat::FormatSettings().ThousandSeparator = ' ';
    EXPECT_EQ(FormatMaskToLocale("#,##0.00"), "# ##0,00");

    plat::FormatSettings().ThousandSeparator = ',';
    plat::FormatSettings().DecimalSeparator = ',';
    EXPECT_EQ(FormatMaskToLocale("#,##0.00"), "#,##0.00");
    EXPECT_EQ(FormatMaskFromLocale("#,##0.00"), "#,##0.00");
}

TEST(PlotServicesText, TextToFloatOrDefault) {
    plat::TScopedFormatSettings scope;
    plat::FormatSettings().DecimalSeparator = ',';
    EXPECT_DOUBLE_EQ(TextToFloatOrDefault("1,5", -1), 1.5);
    EXPECT_DOUBLE_EQ(TextToFloatOrDefault("abc", -1), -1);
    EXPECT_DOUBLE_EQ(TextToFloatOrDefault("", 7), 7);
    EXPECT_DOUBLE_EQ(TextToFloatOrDefault("1e400", 3), 3);
}

TEST(PlotServicesText, MakeUniqueComponentName) {
    plat::TComponent owner(nullptr);
    EXPECT_EQ(MakeUniqueComponentName(nullptr, "Series"), "");
    EXPECT_EQ(MakeUniqueComponentName(&owner, "Series"), "Series1");
    auto* s1 = new plat::TComponent(&owner);
    s1->SetName("Series1");
    auto* s2 = new plat::TComponent(&owner);
    s2->SetName("series2"); // names compare without case
    EXPECT_EQ(MakeUniqueComponentName(&owner, "Series"), "Series3");
}

// The settings registry lives in the config folder; point it at a folder of the test's own.
class PlotServicesSettings : public ::testing::Test {
protected:
    void SetUp() override {
        FDir =
            std::filesystem::temp_directory_path() / ("lumetra-chart-services-" + std::to_string(::getpid()));
        std::filesystem::create_directories(FDir);
        const char* old = std::getenv("XDG_CONFIG_HOME");
        FOld = old ? old : "";
        FHadOld = old != nullptr;
        ::setenv("XDG_CONFIG_HOME", FDir.c_str(), 1);
    }
    void TearDown() override {
        if (FHadOld)
            ::setenv("XDG_CONFIG_HOME", FOld.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(FDir);
    }
    std::filesystem::path FDir;
    std::string FOld;
    bool FHadOld = false;
};

TEST_F(PlotServicesSettings, EditorSettingsRoundTrip) {
    EXPECT_TRUE(ReadEditorBoolSetting("TreeMode", true));
    EXPECT_EQ(ReadEditorIntSetting("TreeMode", 7), 7);
    WriteEditorBoolSetting("TreeMode", false);
    EXPECT_FALSE(ReadEditorBoolSetting("TreeMode", true));
    EXPECT_EQ(ReadEditorIntSetting("TreeMode", 7), 0);
    WriteEditorBoolSetting("TreeMode", true);
    EXPECT_TRUE(ReadEditorBoolSetting("TreeMode", false));
}

class TTextExport : public TPlotExportData {
public:
    std::string AsString() override { return "a;b\r\n1;2"; }
};

TEST(PlotServicesExport, StreamFileAndClipboard) {
    plat::TTestDriver driver;
    TTextExport data;
    plat::TMemoryStream stream;
    data.SaveToStream(stream);
    EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()), "a;b\r\n1;2");

    const std::string file =
        (std::filesystem::temp_directory_path() / ("lumetra-export-" + std::to_string(::getpid()) + ".txt"))
            .string();
    {
        std::ofstream old(file);
        old << "something much longer than the export";
    }
    data.SaveToFile(file);
    EXPECT_EQ(plat::ReadAllText(file), "a;b\r\n1;2");
    std::filesystem::remove(file);

    EXPECT_THROW(data.SaveToFile("/nonexistent-folder/x/y.txt"), plat::Exception);

    data.CopyToClipboard();
    EXPECT_EQ(plat::Clipboard()->AsText(), "a;b\r\n1;2");

    TPlotExportData empty;
    EXPECT_EQ(empty.AsString(), "");
}

} // namespace
