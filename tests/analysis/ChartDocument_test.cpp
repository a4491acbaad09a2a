#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "analysis/ChartDocument.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberFormat.h"
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
    const std::string folder = Scratch("failing/is-a-folder.xml");
    std::filesystem::create_directories(folder);
    plat::WriteFileAtomically(folder + "/inside", std::string("kept"));
    EXPECT_THROW(WriteChartDocument(SampleDocument(), folder), plat::Exception);
    EXPECT_EQ(plat::ReadAllText(folder + "/inside"), "kept");
    const auto entries = std::distance(std::filesystem::directory_iterator(Scratch("failing")), {});
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

namespace {

// A file holding Body after the declaration.
std::string DocumentFile(const std::string& name, const std::string& Body) {
    const std::string file = Scratch(name);
    plat::WriteFileAtomically(file, "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n" + Body);
    return file;
}

std::string Points(int count, double y = 1) {
    std::string s = "<points Count=\"" + std::to_string(count) + "\">";
    for (int i = 0; i < count; ++i)
        s += "<point index=\"" + std::to_string(i) + "\" X=\"" + std::to_string(i) + "\" Y=\"" +
             plat::FloatToStr(y) + "\"/>";
    return s + "</points>";
}

std::string Frame(const std::string& title, const std::string& inner) {
    return "<Frame Title=\"" + title + "\" Color=\"7\" MaxYValue=\"1\">" + inner + "</Frame>";
}

std::vector<std::string> Titles(const TChartDocument& doc) {
    std::vector<std::string> titles;
    for (const TChartDocumentFrame& f : doc.Frames)
        titles.push_back(f.Title);
    return titles;
}

} // namespace

TEST(ChartDocumentReader, ReadsBackWhatWasWritten) {
    const std::string file = Scratch("round-trip.xml");
    WriteChartDocument(SampleDocument(), file);
    TChartDocument doc;
    ASSERT_TRUE(ReadChartDocument(file, doc));
    const TChartDocument want = SampleDocument();
    EXPECT_EQ(doc.XAxis.Title, want.XAxis.Title);
    EXPECT_EQ(doc.XAxis.Format, want.XAxis.Format);
    EXPECT_EQ(doc.XMultiplier, -3);
    EXPECT_EQ(doc.YAxis.Title, want.YAxis.Title);
    EXPECT_EQ(doc.ReferenceMax, want.ReferenceMax);
    EXPECT_FALSE(doc.Relative);
    ASSERT_EQ(doc.Frames.size(), 1u) << "the one-point frame differs from the first frame's count";
    EXPECT_EQ(doc.Frames[0].Title, "FRAME 1");
    EXPECT_EQ(doc.Frames[0].Color, 255);
    EXPECT_EQ(doc.Frames[0].X, want.Frames[0].X);
    EXPECT_EQ(doc.Frames[0].Y, want.Frames[0].Y);
    EXPECT_EQ(doc.Frames[0].Maxima, std::vector<int>{1});
    ASSERT_EQ(doc.TextBoxes.size(), 1u);
    EXPECT_EQ(doc.TextBoxes[0].Left, 10);
    EXPECT_EQ(doc.TextBoxes[0].Top, 20);
    EXPECT_EQ(doc.TextBoxes[0].Text, want.TextBoxes[0].Text);

    // The same text again when written back.
    EXPECT_TRUE(IsChartDocument(file));
    doc.Frames.push_back(want.Frames[1]);
    EXPECT_EQ(ChartDocumentText(doc), ChartDocumentText(want));
}

TEST(ChartDocumentReader, DocumentsThatBreakTheRules) {
    const std::string axes = "<XAxis Title=\"x\" Format=\"0\" Xmultipler=\"2\" Inverted=\"-1\"/>"
                             "<YAxis Title=\"y\" Format=\"0\" MaxValue=\"5\" Relative=\"0\"/>";
    const std::string box = "<TextBoxes Count=\"1\"><Box left=\"1\" top=\"2\" text=\"a&#10;b\"/></TextBoxes>";
    struct Case {
        const char* Name;
        std::string Body;
        std::vector<std::string> Titles;
        size_t Boxes;
    };
    const Case cases[] = {
        {"frame count disagrees: no frame, axes and boxes still read",
         "<chart>" + axes + "<Frames Count=\"3\">" + Frame("a", Points(2)) + Frame("b", Points(2)) +
             "</Frames>" + box + "</chart>",
         {},
         1},
        {"empty point list skipped, the next frame loads",
         "<chart>" + axes + "<Frames Count=\"2\">" + Frame("a", Points(0)) + Frame("b", Points(2)) +
             "</Frames>" + box + "</chart>",
         {"b"},
         1},
        {"point count disagrees: that frame skipped",
         "<chart><Frames Count=\"2\">" + Frame("a", "<points Count=\"3\"><point X=\"1\" Y=\"1\"/></points>") +
             Frame("b", Points(1)) + "</Frames></chart>",
         {"b"},
         0},
        {"one point count per window",
         "<chart><Frames Count=\"3\">" + Frame("a", Points(4)) + Frame("b", Points(2)) +
             Frame("c", Points(4)) + "</Frames></chart>",
         {"a", "c"},
         0},
        {"missing pieces: no axes, no point list, no title, no box count",
         "<chart><Frames Count=\"2\"><Frame/><Frame>" + Points(1) +
             "</Frame></Frames><TextBoxes><Box/></TextBoxes></chart>",
         {""},
         0},
        {"names in any case and children in any order",
         "<chart><TEXTBOXES COUNT=\"1\"><box LEFT=\"1\" Top=\"2\" Text=\"t\"/></TEXTBOXES>"
         "<frames count=\"1\"><frame title=\"a\"><MAXIMA count=\"0\"/>" +
             Points(1) + "</frame></frames>" + axes + "</chart>",
         {"a"},
         1},
        {"wrong root",
         "<Chart>" + axes + "<Frames Count=\"1\">" + Frame("a", Points(1)) + "</Frames></Chart>",
         {},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string file = DocumentFile("rules.xml", c.Body);
        TChartDocument doc;
        doc.XMultiplier = 99;
        const bool chart = ReadChartDocument(file, doc);
        EXPECT_EQ(chart, IsChartDocument(file));
        EXPECT_EQ(chart, std::string(c.Name) != "wrong root");
        EXPECT_EQ(Titles(doc), c.Titles);
        EXPECT_EQ(doc.TextBoxes.size(), c.Boxes);
        for (const TChartDocumentFrame& f : doc.Frames)
            EXPECT_EQ(f.X.size(), f.Y.size());
    }
}

TEST(ChartDocumentReader, AxesBoxesAndMarksAsRead) {
    const std::string file = DocumentFile(
        "marks.xml",
        "<chart><XAxis Title=\"x\" Format=\"0.0\" Xmultipler=\"abc\" Inverted=\"True\"/>"
        "<YAxis Title=\"y\" MaxValue=\"2000\" Relative=\"-1\"/><Frames Count=\"1\">" +
            Frame("a", Points(3, 50) +
                           "<Maxima Count=\"3\"><Max index=\"2\"/><Max index=\"7\"/><Max index=\"-1\"/>"
                           "</Maxima><Minima Count=\"2\"><Min index=\"0\"/></Minima>") +
            "</Frames><TextBoxes Count=\"1\"><Box left=\"3\" top=\"4\" text=\"a&#13;&#10;b\"/>"
            "</TextBoxes></chart>");
    TChartDocument doc;
    ASSERT_TRUE(ReadChartDocument(file, doc));
    EXPECT_EQ(doc.XAxis.Format, "0.0");
    EXPECT_EQ(doc.XMultiplier, -1) << "text that is no integer";
    EXPECT_TRUE(doc.XInverted);
    EXPECT_EQ(doc.YAxis.Format, "");
    EXPECT_EQ(doc.ReferenceMax, 2000);
    EXPECT_TRUE(doc.Relative);
    ASSERT_EQ(doc.Frames.size(), 1u);
    EXPECT_EQ(doc.Frames[0].Y, (std::vector<double>{50, 50, 50})) << "a relative document stays relative";
    EXPECT_EQ(doc.Frames[0].Maxima, std::vector<int>{2}) << "marks on points the frame lacks are dropped";
    EXPECT_TRUE(doc.Frames[0].Minima.empty()) << "a list whose count disagrees is skipped";
    ASSERT_EQ(doc.TextBoxes.size(), 1u);
    EXPECT_EQ(doc.TextBoxes[0].Text, "a\rb");
}

TEST(ChartDocumentReader, DecimalCommaReadWithDecimalPointLosesFractions) {
    std::string file = Scratch("comma.xml");
    {
        plat::TScopedFormatSettings scope;
        plat::FormatSettings().DecimalSeparator = ',';
        WriteChartDocument(SampleDocument(), file);
    }
    plat::TScopedFormatSettings scope;
    plat::FormatSettings().DecimalSeparator = '.';
    TChartDocument doc;
    ASSERT_TRUE(ReadChartDocument(file, doc));
    ASSERT_EQ(doc.Frames.size(), 1u);
    EXPECT_EQ(doc.Frames[0].Y, (std::vector<double>{10, 0, 0}));
}

TEST(ChartDocumentReader, MalformedFileRaises) {
    const std::string file = DocumentFile("broken.xml", "<chart><Frames Count=\"1\"><Frame");
    TChartDocument doc;
    EXPECT_THROW(ReadChartDocument(file, doc), plat::Exception);
    EXPECT_THROW(IsChartDocument(file), plat::Exception);
    EXPECT_THROW(ListChartDocumentFrames(file), plat::Exception);
    EXPECT_THROW(IsChartDocument(Scratch("missing.xml")), plat::Exception);
}

TEST(ChartDocumentImport, ListsAndReadsSingleFrames) {
    const std::string file = DocumentFile(
        "import.xml", "<chart><YAxis MaxValue=\"2000\" Relative=\"-1\"/><Frames Count=\"4\">" +
                          Frame("a &amp; &lt;b&gt;", Points(2, 50)) + Frame("short", Points(1, 50)) +
                          Frame("bad", "<points Count=\"2\"><point X=\"1\" Y=\"1\"/></points>") +
                          Frame("empty", Points(0)) + "</Frames></chart>");
    const std::vector<TChartDocumentFrameEntry> entries = ListChartDocumentFrames(file);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].Title, "a & <b>");
    EXPECT_EQ(entries[0].PointCount, 2);
    EXPECT_EQ(entries[2].PointCount, 2);
    const bool anyCount[] = {true, true, false, false};
    const bool twoPoints[] = {true, false, false, false};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].Importable(0), anyCount[i]) << i;
        EXPECT_EQ(entries[i].Importable(2), twoPoints[i]) << i;
    }

    TChartDocumentFrame frame;
    ASSERT_TRUE(ReadChartDocumentFrame(file, 0, 0, frame));
    EXPECT_EQ(frame.Title, "a & <b>");
    EXPECT_EQ(frame.Color, 7);
    EXPECT_EQ(frame.Y, (std::vector<double>{1000, 1000})) << "stored percent made absolute";
    EXPECT_EQ(frame.MaxYValue, 20);
    for (int position : {1, 2, 3, 4, -1})
        EXPECT_FALSE(ReadChartDocumentFrame(file, position, 2, frame)) << position;
    EXPECT_TRUE(ReadChartDocumentFrame(file, 1, 0, frame));

    // Relative without a reference maximum to undo it: the values as they stand, never scaled to 0.
    for (const char* reference : {"0", "-5", "4.94065645841247E-324", "x"}) {
        const std::string noReference =
            DocumentFile("no-reference.xml", std::string("<chart><YAxis MaxValue=\"") + reference +
                                                 "\" Relative=\"-1\"/><Frames Count=\"1\">" +
                                                 Frame("a", Points(2, 50)) + "</Frames></chart>");
        ASSERT_TRUE(ReadChartDocumentFrame(noReference, 0, 0, frame)) << reference;
        EXPECT_EQ(frame.Y, (std::vector<double>{50, 50})) << reference;
        TChartDocument doc;
        ASSERT_TRUE(ReadChartDocument(noReference, doc));
        EXPECT_FALSE(doc.Relative) << reference;
    }

    const std::string foreign = DocumentFile("foreign.xml", "<Chart><Frames Count=\"1\">" +
                                                                Frame("a", Points(1)) + "</Frames></Chart>");
    EXPECT_TRUE(ListChartDocumentFrames(foreign).empty());
    EXPECT_FALSE(ReadChartDocumentFrame(foreign, 0, 0, frame));
}
