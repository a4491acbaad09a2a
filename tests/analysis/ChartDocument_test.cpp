#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "analysis/ChartDocument.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Locale.h"
#include "platform/testing/TestOutput.h"

namespace {

const std::string kData = std::string(LUMETRA_TEST_DATA) + "/";

// The document of tests/data/xml/chart.xml, a window's document as its format lays it out: escaped
// titles, a character beyond Latin-1, a negative colour, a CR inside a text box, the reference maximum of
// a window that was never relative.
TChartDocument SampleDocument() {
    TChartDocument doc;
    doc.XAxis = {"Pixel & \xC2\xB5m", "#,##0.###"};
    doc.XMultiplier = -3;
    doc.YAxis = {"Counts", "#,##0.###"};
    doc.ReferenceMax = std::numeric_limits<double>::denorm_min();
    TChartDocumentFrame first;
    first.Title = "FRAME 1";
    first.Color = 255;
    first.MaxYValue = 30.5;
    first.X = {0, 1, 2};
    first.Y = {10, 30.5, -2.25};
    first.Maxima = {1};
    TChartDocumentFrame second;
    second.Title = "Gr\xC3\xB6\xC3\x9F"
                   "e <\xE2\x88\x91>";
    second.Color = -16777211;
    second.MaxYValue = 1;
    second.X = {0.000125};
    second.Y = {1};
    doc.Frames = {first, second};
    doc.TextBoxes = {{10, 20, "line1\rline2 \"quoted\""}};
    return doc;
}

std::string Scratch(const std::string& name) {
    const std::string dir = plat::TestOutputDir("analysis") + "/chart-document";
    std::filesystem::create_directories(dir);
    return dir + "/" + name;
}

} // namespace

TEST(ChartDocumentWriter, MatchesTheFormatsLayoutByteForByte) {
    EXPECT_EQ(ChartDocumentText(SampleDocument()), plat::ReadAllText(kData + "xml/chart.xml"));
}

TEST(ChartDocumentWriter, FloatsFollowTheLocale) {
    plat::TScopedFormatSettings scope;
    plat::FormatSettings().DecimalSeparator = ',';
    TChartDocument doc;
    TChartDocumentFrame frame;
    frame.MaxYValue = 30.5;
    frame.X = {1.5e-7};
    frame.Y = {1e20};
    doc.ReferenceMax = 2000.25;
    doc.Frames = {frame};
    const std::string text = ChartDocumentText(doc);
    EXPECT_NE(text.find("MaxValue=\"2000,25\""), std::string::npos) << text;
    EXPECT_NE(text.find("MaxYValue=\"30,5\""), std::string::npos) << text;
    EXPECT_NE(text.find("<point index=\"0\" X=\"1,5E-7\" Y=\"1E20\"/>"), std::string::npos) << text;
}

TEST(ChartDocumentWriter, PointsStopAtTheShorterOfXAndY) {
    TChartDocument doc;
    TChartDocumentFrame frame;
    frame.X = {1, 2, 3};
    frame.Y = {4, 5};
    doc.Frames = {frame};
    const std::string text = ChartDocumentText(doc);
    EXPECT_NE(text.find("<points Count=\"2\">"), std::string::npos) << text;
    EXPECT_EQ(text.find("index=\"2\""), std::string::npos) << text;
}

TEST(ChartDocumentWriter, ReplacesTheFileWholeAndKeepsItWhenWritingFails) {
    const std::string name = Scratch("replace.xml");
    plat::WriteFileAtomically(name, std::string(100000, 'x'));
    WriteChartDocument(SampleDocument(), name);
    EXPECT_EQ(plat::ReadAllText(name), ChartDocumentText(SampleDocument()));

    // A name that is a folder cannot be replaced: the error reaches the caller and the folder with what
    // it holds is left as it was.
    const std::string folder = Scratch("is-a-folder.xml");
    std::filesystem::create_directories(folder);
    plat::WriteFileAtomically(folder + "/inside", std::string("kept"));
    EXPECT_THROW(WriteChartDocument(SampleDocument(), folder), plat::Exception);
    EXPECT_EQ(plat::ReadAllText(folder + "/inside"), "kept");
    const auto entries = std::distance(std::filesystem::directory_iterator(Scratch("")), {});
    EXPECT_EQ(entries, 2) << "no temporary file is left behind";
}
