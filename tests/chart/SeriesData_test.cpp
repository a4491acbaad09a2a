#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "ExternalTool.h"
#include "SeriesTestUtil.h"
#include "chart/SeriesData.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Stream.h"
#include "platform/testing/TestOutput.h"

namespace {

using namespace seriestest;

std::string Bytes(TSeriesData& Data) {
    TMemoryStream stream;
    Data.SaveToStream(stream);
    const std::vector<uint8_t>& b = stream.Bytes();
    return std::string(b.begin(), b.end());
}

// Two series: the first with labels (one empty, one that needs escaping), X equal to the index; the second
// with its own X values and point colours, one point shorter.
struct TExportChart : ::testing::Test {
    TSeriesChart C;
    TLineSeries* A = nullptr;
    TLineSeries* B = nullptr;
    void SetUp() override {
        A = C.Add<TLineSeries>();
        A->SetTitle("Frame \"1\" & <A>");
        A->AddXY(0, 1.5, "first");
        A->AddXY(1, 2, "");
        A->AddXY(2, -3, "x & <y>");
        B = C.Add<TLineSeries>();
        B->SetTitle("B");
        B->SetSeriesColor(clGreen);
        B->AddXY(0.5, 10, "", clRed);
        B->AddXY(1.5, 20, "", clBlue);
    }
};

TEST(SeriesDataColor, IsUpperCaseRgbWithSystemColoursResolved) {
    EXPECT_EQ(SeriesDataColor(clRed), "#FF0000");
    EXPECT_EQ(SeriesDataColor(TColor(0x0A0B0C)), "#0C0B0A");
    EXPECT_EQ(SeriesDataColor(clWindow), SeriesDataColor(ColorToRGB(clWindow)));
}

// Separators stand before every field but the first: an empty label or a missing value keeps the columns.
TEST_F(TExportChart, DelimitedTextKeepsColumnsPositional) {
    struct TCase {
        const char* Name;
        std::function<void(TSeriesDataText&)> Setup;
        bool Single;
        std::string Expected;
    };
    const TCase cases[] = {
        {"every series, index, ';'",
         [](TSeriesDataText& d) {
             d.SetTextDelimiter(";");
             d.SetWithIndex(true);
         },
         false, "0;first;1.5;10\r\n1;;2;20\r\n2;x & <y>;-3;\r\n\r\n"},
        {"no index: an empty label still has its column", [](TSeriesDataText& d) { d.SetTextDelimiter(";"); },
         false, "first;1.5;10\r\n;2;20\r\nx & <y>;-3;\r\n\r\n"},
        {"header, quotes doubled inside",
         [](TSeriesDataText& d) {
             d.SetTextDelimiter(",");
             d.SetTextQuotes("\"");
             d.SetWithHeader(true);
         },
         false,
         "\"Text\",\"Frame \"\"1\"\" & <A>\",\"B\"\r\n\"first\",1.5,10\r\n\"\",2,20\r\n\"x & "
         "<y>\",-3,\r\n\r\n"},
        {"second series: X and colours", [](TSeriesDataText& d) { d.SetWithColors(true); }, true,
         "#FF0000\t0.5\t10\r\n#0000FF\t1.5\t20\r\n\r\n"},
        {"labels off", [](TSeriesDataText& d) { d.SetWithLabels(false); }, false,
         "1.5\t10\r\n2\t20\r\n-3\t\r\n\r\n"},
        {"number mask", [](TSeriesDataText& d) { d.SetValueFormat("0.00"); }, true,
         "0.50\t10.00\r\n1.50\t20.00\r\n\r\n"},
        // Last: it changes a label.
        {"no quotes: a separator or line break inside a label is a blank",
         [this](TSeriesDataText& d) {
             A->SetXLabel(0, "a;b\r\nc");
             d.SetTextDelimiter(";");
         },
         false, "a b  c;1.5;10\r\n;2;20\r\nx & <y>;-3;\r\n\r\n"},
    };
    for (const TCase& c : cases) {
        TSeriesDataText data(C.Chart.get(), c.Single ? B : nullptr);
        c.Setup(data);
        EXPECT_EQ(data.AsString(), c.Expected) << c.Name;
    }
}

TEST_F(TExportChart, TextFileIsLatin1) {
    A->SetXLabel(0, "Grüße €");
    TSeriesDataText data(C.Chart.get(), A);
    EXPECT_EQ(Bytes(data), "Gr\xFC\xDF"
                           "e ?\t1.5\r\n\t2\r\nx & <y>\t-3\r\n\r\n");
    // The clipboard takes the text as it is.
    EXPECT_EQ(data.AsString().substr(0, 11), "Grüße €");
}

TEST_F(TExportChart, XmlEscapesAndDeclaresWhatItWrites) {
    A->SetXLabel(1, "line\rbreak é");
    TSeriesDataXML data(C.Chart.get(), nullptr);
    data.SetWithIndex(true);
    const std::string xml = data.AsString();
    EXPECT_EQ(xml.substr(0, 45), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n");
    EXPECT_NE(xml.find("<series title=\"Frame &quot;1&quot; &amp; &lt;A&gt;\" type=\"TLineSeries\" "),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<point index=\"1\" text=\"line&#13;break &#233;\" Y=\"2\"/>\r\n"), std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<point index=\"2\" text=\"x &amp; &lt;y&gt;\" Y=\"-3\"/>"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("  "), std::string::npos) << "no double blank anywhere";
    for (const char ch : xml)
        EXPECT_LT(static_cast<unsigned char>(ch), 0x80)
            << "the text is ASCII, true under every declared encoding";

    struct TEnc {
        const char* Set;
        const char* Declaration;
    };
    for (const TEnc& e :
         {TEnc{"", "<?xml version=\"1.0\"?>"}, TEnc{"utf-8", "<?xml version=\"1.0\" encoding=\"utf-8\"?>"},
          TEnc{"UTF-16", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"}}) {
        data.SetEncoding(e.Set);
        EXPECT_EQ(data.AsString().substr(0, std::strlen(e.Declaration)), e.Declaration) << e.Set;
    }
}

TEST_F(TExportChart, XmlAttributeNamesAreValidAndUnique) {
    B->XValues()->SetName("color");
    B->YValues()->SetName("2 nd <value>");
    TSeriesDataXML data(C.Chart.get(), B);
    data.SetWithColors(true);
    EXPECT_NE(data.AsString().find("<point color=\"#FF0000\" color_2=\"0.5\" __nd__value_=\"10\"/>"),
              std::string::npos)
        << data.AsString();
}

TEST_F(TExportChart, XmlSingleSeriesWithColours) {
    TSeriesDataXML data(C.Chart.get(), B);
    data.SetWithColors(true);
    EXPECT_EQ(data.AsString(), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                               "<series title=\"B\" type=\"TLineSeries\" color=\"#008000\">\r\n"
                               "<points count=\"2\">\r\n"
                               "<point color=\"#FF0000\" X=\"0.5\" Y=\"10\"/>\r\n"
                               "<point color=\"#0000FF\" X=\"1.5\" Y=\"20\"/>\r\n"
                               "</points>\r\n</series>\r\n\r\n");
}

TEST_F(TExportChart, HtmlEscapesAndFillsMissingCells) {
    TSeriesDataHTML data(C.Chart.get(), nullptr);
    data.SetWithHeader(true);
    data.SetWithIndex(true);
    EXPECT_EQ(data.AsString(),
              "<table border=\"1\">\r\n"
              "<tr><td>Index</td><td>Text</td><td>Frame &quot;1&quot; &amp; "
              "&lt;A&gt;</td><td>Text</td><td>B</td></tr>\r\n"
              "<tr><td>0</td><td>first</td><td>1.5</td><td></td><td>10</td></tr>\r\n"
              "<tr><td>1</td><td></td><td>2</td><td></td><td>20</td></tr>\r\n"
              "<tr><td>2</td><td>x &amp; &lt;y&gt;</td><td>-3</td><td></td><td></td></tr>\r\n"
              "\r\n</table>");
}

// The records of a BIFF2 stream: type and data.
std::vector<std::pair<int, std::string>> Records(const std::string& Bytes) {
    std::vector<std::pair<int, std::string>> records;
    size_t pos = 0;
    while (pos + 4 <= Bytes.size()) {
        const int type = uint8_t(Bytes[pos]) | uint8_t(Bytes[pos + 1]) << 8;
        const size_t length = uint8_t(Bytes[pos + 2]) | uint8_t(Bytes[pos + 3]) << 8;
        records.emplace_back(type, Bytes.substr(pos + 4, length));
        pos += 4 + length;
    }
    EXPECT_EQ(pos, Bytes.size()) << "records fill the stream exactly";
    return records;
}

TEST_F(TExportChart, WorksheetRecords) {
    A->SetXLabel(0, std::string(300, 'L') + "ü");
    TSeriesDataXLS data(C.Chart.get(), nullptr);
    data.SetWithHeader(true);
    const auto records = Records(Bytes(data));
    ASSERT_GE(records.size(), 3u);
    EXPECT_EQ(records.front().first, 0x0809);
    EXPECT_EQ(records.back(), std::make_pair(0x000A, std::string()));
    // Header + 3 rows; columns: a label column per series and a Y column per series.
    EXPECT_EQ(records[1], std::make_pair(0x0200, std::string("\0\0\4\0\0\0\4\0\0\0", 10)));
    int texts = 0, numbers = 0, blanks = 0;
    for (const auto& [type, body] : records) {
        if (type == 0x0004) {
            ++texts;
            EXPECT_EQ(body.size(), 8u + uint8_t(body[7]));
        }
        numbers += type == 0x0003;
        blanks += type == 0x0001;
    }
    EXPECT_EQ(texts, 4 + 6) << "header texts and a label per series and row";
    EXPECT_EQ(numbers, 5);
    EXPECT_EQ(blanks, 1) << "the second series has no third point";
    // Row 1, column 0: the long label cut to 255 characters.
    const std::string& longLabel = records[6].second;
    ASSERT_EQ(records[6].first, 0x0004);
    EXPECT_EQ(uint8_t(longLabel[7]), 255);
    EXPECT_EQ(longLabel.substr(8), std::string(255, 'L'));
    // Row 1, column 1: 1.5 as a little-endian double.
    ASSERT_EQ(records[7].first, 0x0003);
    double value = 0;
    std::memcpy(&value, records[7].second.data() + 7, 8);
    EXPECT_EQ(value, 1.5);
}

// A target that cannot be replaced raises and stays as it was; a file is replaced whole.
TEST_F(TExportChart, FilesAreReplacedWholeOrNotAtAll) {
    const std::string dir = TestOutputDir("chart-tools");
    const std::string blocked = dir + "/export-blocked.txt";
    std::filesystem::remove_all(blocked);
    std::filesystem::create_directory(blocked);
    TSeriesDataText data(C.Chart.get(), B);
    EXPECT_THROW(data.SaveToFile(blocked), plat::Exception);
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    std::filesystem::remove_all(blocked);

    const std::string file = dir + "/export-replaced.txt";
    WriteFileAtomically(file, std::string(1000, 'x'));
    data.SaveToFile(file);
    EXPECT_EQ(ReadAllText(file), data.AsString());
    std::filesystem::remove(file);
}

// Nothing to export: what each exporter gives for a chart without series.
TEST(SeriesDataEmpty, EveryExporterOnAChartWithoutSeries) {
    TSeriesChart c;
    TSeriesDataText text(c.Chart.get(), nullptr);
    TSeriesDataHTML html(c.Chart.get(), nullptr);
    TSeriesDataXML xml(c.Chart.get(), nullptr);
    TSeriesDataXLS xls(c.Chart.get(), nullptr);
    EXPECT_EQ(text.ExportRowCount(), -1);
    EXPECT_EQ(text.AsString(), "\r\n");
    EXPECT_EQ(html.AsString(), "<table border=\"1\">\r\n\r\n</table>");
    EXPECT_EQ(xml.AsString(), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<chart>\r\n</chart>");
    for (const bool header : {false, true}) {
        xls.SetWithHeader(header);
        const std::string rows(1, header ? '\1' : '\0');
        EXPECT_EQ(Bytes(xls), std::string("\x09\x08\x08\0\0\0\x10\0\0\0\0\0", 12) +
                                  std::string("\0\x02\x0A\0\0\0", 6) + rows +
                                  std::string("\0\0\0\0\0\0\0", 7) + std::string("\x0A\0\0\0", 4))
            << header;
    }
}

// The live frame: x is the pixel index, so no X column until a calibration moves it.
TEST(SeriesDataLive, FrameExportWithIndexColumn) {
    TSeriesChart c;
    auto* frame = c.Add<TFastLineSeries>();
    for (int i = 0; i < 2048; ++i)
        frame->AddXY(i, (i * 7) % 256);
    TSeriesDataText data(c.Chart.get(), frame);
    data.SetTextDelimiter(";");
    data.SetWithIndex(true);
    data.SaveToFile(TestOutputDir("chart-tools") + "/live.txt");
    const std::string text = ReadAllText(TestOutputDir("chart-tools") + "/live.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2049);
    EXPECT_EQ(text.substr(0, 16), "0;0\r\n1;7\r\n2;14\r\n");
    EXPECT_EQ(text.substr(text.size() - 13), "\n2047;249\r\n\r\n");

    for (int i = 0; i < 2048; ++i)
        frame->XValues()->SetItems(i, 400 + i * 0.5);
    const std::string calibrated = data.AsString();
    EXPECT_EQ(calibrated.substr(0, 20), "0;400;0\r\n1;400.5;7\r\n");
}

// The evidence files: one chart, one series with labels, one with point colours.
TEST_F(TExportChart, EvidenceFilesOpenElsewhere) {
    const std::string dir = TestOutputDir("chart-tools");
    TSeriesDataText text(C.Chart.get(), nullptr);
    text.SetTextDelimiter(";");
    text.SetWithIndex(true);
    text.SetWithHeader(true);
    text.SaveToFile(dir + "/data.txt");
    TSeriesDataXLS xls(C.Chart.get(), nullptr);
    xls.SetWithHeader(true);
    xls.SaveToFile(dir + "/data.xls");
    TSeriesDataHTML html(C.Chart.get(), nullptr);
    html.SetWithHeader(true);
    html.SaveToFile(dir + "/data.html");
    TSeriesDataXML xml(C.Chart.get(), nullptr);
    xml.SetWithColors(true);
    xml.SaveToFile(dir + "/data.xml");

    const std::string xmllint = testtool::FindProgram("xmllint");
    if (xmllint.empty())
        SKIP_WITHOUT_TOOL("xmllint is not installed");
    EXPECT_EQ(std::system(("xmllint --noout '" + dir + "/data.xml'").c_str()), 0);

    const std::string soffice = testtool::FindProgram("soffice");
    if (soffice.empty())
        SKIP_WITHOUT_TOOL("LibreOffice is not installed");
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::canonical(soffice, ec).parent_path() / "libsclo.so"))
        SKIP_WITHOUT_TOOL("LibreOffice Calc is not installed");
    std::string work = (std::filesystem::temp_directory_path() / "lumetra-data-XXXXXX").string();
    ASSERT_NE(::mkdtemp(work.data()), nullptr);
    struct TCleanup {
        std::string Dir;
        ~TCleanup() {
            std::error_code e;
            std::filesystem::remove_all(Dir, e);
        }
    } cleanup{work};
    std::filesystem::copy_file(dir + "/data.xls", work + "/data.xls");
    std::filesystem::copy_file(dir + "/data.html", work + "/page.html");
    const std::string command =
        "cd '" + work + "' && soffice -env:UserInstallation=file://" + work +
        "/profile --headless --convert-to csv:\"Text - txt - csv (StarCalc)\":44,34,76 "
        "data.xls >/dev/null 2>&1 && soffice -env:UserInstallation=file://" +
        work +
        "/profile --headless --infilter=\"calc_HTML_WebQuery\" --convert-to "
        "csv:\"Text - txt - csv (StarCalc)\":44,34,76 page.html >/dev/null 2>&1";
    std::system(command.c_str());
    const auto read = [&](const std::string& name) {
        std::ifstream in(work + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string fromXls = read("data.csv");
    const std::string fromHtml = read("page.csv");
    for (const char* row : {"first,1.5,,10", ",2,,20", "x & <y>,-3,,"}) {
        EXPECT_NE(fromXls.find(row), std::string::npos) << row << "\n" << fromXls;
        EXPECT_NE(fromHtml.find(row), std::string::npos) << row << "\n" << fromHtml;
    }
}

} // namespace
