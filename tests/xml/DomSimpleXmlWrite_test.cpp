// The writer: exact bytes of the layout, escaping, options, files, events, and output that other XML
// tools accept.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ExternalTool.h"
#include "platform/rtl/Stream.h"
#include "xml/DomSimpleXml.h"

using namespace xml;

namespace {

std::string Save(TDomSimpleXML& doc) {
    plat::TStringStream stream;
    doc.SaveToStream(stream);
    return stream.DataString();
}

void Load(TDomSimpleXML& doc, const std::string& text) {
    plat::TStringStream stream(text);
    doc.LoadFromStream(stream);
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A chart document as the chart window builds it.
void BuildChart(TDomSimpleXML& doc) {
    TDomSimpleXMLElem* chart = doc.Root();
    chart->SetName("chart");
    TDomSimpleXMLProps& x = chart->Items().Add("XAxis")->Properties();
    x.Add("Title", "Pixel & \xC2\xB5m");
    x.Add("Format", "#,##0.###");
    x.AddInteger("Xmultipler", -3);
    x.AddBoolean("Inverted", false);
    TDomSimpleXMLProps& y = chart->Items().Add("YAxis")->Properties();
    y.Add("Title", "Counts");
    y.Add("Format", "#,##0.###");
    y.Add("MaxValue", "4.94065645841247E-324");
    y.AddBoolean("Relative", false);
    TDomSimpleXMLElem* frames = chart->Items().Add("Frames");
    frames->Properties().AddInteger("Count", 2);
    struct TFrame {
        const char* Title;
        int Color;
        const char* Max;
        std::vector<std::pair<const char*, const char*>> Points;
        std::vector<int> Maxima;
    };
    const TFrame data[] = {
        {"FRAME 1", 255, "30.5", {{"0", "10"}, {"1", "30.5"}, {"2", "-2.25"}}, {1}},
        {"Gr\xC3\xB6\xC3\x9F"
         "e <\xE2\x88\x91>",
         -16777211,
         "1",
         {{"0.000125", "1"}},
         {}},
    };
    for (const TFrame& f : data) {
        TDomSimpleXMLElem* frame = frames->Items().Add("Frame");
        frame->Properties().Add("Title", f.Title);
        frame->Properties().AddInteger("Color", f.Color);
        frame->Properties().Add("MaxYValue", f.Max);
        TDomSimpleXMLElem* points = frame->Items().Add("points");
        points->Properties().AddInteger("Count", static_cast<int64_t>(f.Points.size()));
        for (size_t i = 0; i < f.Points.size(); ++i) {
            TDomSimpleXMLProps& p = points->Items().Add("point")->Properties();
            p.AddInteger("index", static_cast<int64_t>(i));
            p.Add("X", f.Points[i].first);
            p.Add("Y", f.Points[i].second);
        }
        TDomSimpleXMLElem* maxima = frame->Items().Add("Maxima");
        maxima->Properties().AddInteger("Count", static_cast<int64_t>(f.Maxima.size()));
        for (int m : f.Maxima)
            maxima->Items().Add("Max")->Properties().AddInteger("index", m);
        frame->Items().Add("Minima")->Properties().AddInteger("Count", 0);
    }
    TDomSimpleXMLElem* boxes = chart->Items().Add("TextBoxes");
    boxes->Properties().AddInteger("Count", 1);
    TDomSimpleXMLProps& box = boxes->Items().Add("Box")->Properties();
    box.AddInteger("left", 10);
    box.AddInteger("top", 20);
    box.Add("text", "line1\rline2 \"quoted\"");
}

const std::string kChartFixture = std::string(LUMETRA_TEST_DATA) + "/xml/chart.xml";

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumetra-xml-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        FFolder = pattern + "/";
    }
    void TearDown() override { std::filesystem::remove_all(FFolder); }
    std::string Path(const std::string& name) const { return FFolder + name; }
    size_t EntryCount() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(FFolder), {}));
    }
    std::string FFolder;
};

} // namespace

TEST(DomSimpleXmlWrite, NewDocumentIsOneDeclarationLine) {
    TDomSimpleXML doc;
    const std::string text = Save(doc);
    EXPECT_EQ(text, "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n");
    EXPECT_EQ(text.size(), 45u);
    // The declaration is added to the prolog for good.
    EXPECT_EQ(doc.Prolog().Count(), 1);
    EXPECT_EQ(doc.Prolog().FindHeader()->Name(), "xml");
}

TEST(DomSimpleXmlWrite, SmallChartDocumentBytes) {
    TDomSimpleXML doc;
    doc.Root()->SetName("chart");
    TDomSimpleXMLProps& p = doc.Root()->Items().Add("XAxis")->Properties();
    p.Add("Title", "Pixel");
    p.Add("Format", "0.00");
    EXPECT_EQ(Save(doc), "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                         "<chart>\r\n"
                         "  <XAxis Title=\"Pixel\" Format=\"0.00\"/>\r\n"
                         "</chart>\r\n");
}

TEST(DomSimpleXmlWrite, ChartDocumentMatchesTheFixtureAndReadsBack) {
    TDomSimpleXML doc;
    BuildChart(doc);
    const std::string fixture = ReadFile(kChartFixture);
    ASSERT_FALSE(fixture.empty());
    EXPECT_EQ(Save(doc), fixture);

    TDomSimpleXML loaded;
    loaded.LoadFromFile(kChartFixture);
    TDomSimpleXMLElem* chart = loaded.Root();
    EXPECT_EQ(chart->Name(), "chart");
    EXPECT_EQ(chart->Items().ItemByName("xaxis")->Properties().ValueOf("Title"), "Pixel & \xC2\xB5m");
    TDomSimpleXMLElem* frames = chart->Items().ItemByName("Frames");
    ASSERT_EQ(frames->Items().Count(), 2);
    TDomSimpleXMLElem* second = frames->Items().Item(1);
    EXPECT_EQ(second->Properties().ItemByName("Color")->IntValue(), -16777211);
    EXPECT_EQ(second->Properties().ValueOf("Title"), "Gr\xC3\xB6\xC3\x9F"
                                                     "e <\xE2\x88\x91>");
    EXPECT_EQ(
        second->Items().ItemByName("Points")->Items().Item(0)->Properties().ItemByName("X")->FloatValue(),
        0.000125L);
    EXPECT_EQ(chart->Items().ItemByName("TextBoxes")->Items().Item(0)->Properties().ValueOf("text"),
              "line1\rline2 \"quoted\"");
    EXPECT_EQ(Save(loaded), fixture);
}

TEST(DomSimpleXmlWrite, ValuesAreEscapedAndReadBackUnchanged) {
    const std::string value = "a\"b&c'd<e>f \xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80\r\n\tend";
    TDomSimpleXML doc;
    doc.Root()->SetName("r");
    doc.Root()->Properties().Add("v", value);
    doc.Root()->Items().Add("e", value);
    const std::string escaped = "a&quot;b&amp;c&apos;d&lt;e&gt;f &#xE9; &#x4E2D; &#x1F600;\r\n\tend";
    const std::string text = Save(doc);
    EXPECT_EQ(text, "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                    "<r v=\"" +
                        escaped +
                        "\">\r\n"
                        "  <e>" +
                        escaped +
                        "</e>\r\n"
                        "</r>\r\n");
    TDomSimpleXML back;
    Load(back, text);
    EXPECT_EQ(back.Root()->Properties().ValueOf("v"), value);
    EXPECT_EQ(back.Root()->Items().Item(0)->Value(), value);
    // Bytes that are no UTF-8 are written as the Latin-1 characters they would be.
    EXPECT_EQ(EncodeXmlText("\xE9\x01"), "&#xE9;\x01");
}

TEST(DomSimpleXmlWrite, ValueOnOneLineOrSelfClosed) {
    TDomSimpleXML doc;
    doc.SetOptions(doc.Options() | sxoDoNotSaveProlog);
    doc.Root()->SetName("r");
    TDomSimpleXMLElem* e = doc.Root()->Items().Add("e", "v");
    EXPECT_EQ(Save(doc), "<r>\r\n  <e>v</e>\r\n</r>\r\n");
    e->SetValue("");
    EXPECT_EQ(Save(doc), "<r>\r\n  <e/>\r\n</r>\r\n");
    // With children the value is not written.
    e->SetValue("v");
    e->Items().Add("c");
    EXPECT_EQ(Save(doc), "<r>\r\n  <e>\r\n    <c/>\r\n  </e>\r\n</r>\r\n");
}

TEST(DomSimpleXmlWrite, OptionsAndIndentStringsChangeTheLayout) {
    TDomSimpleXML doc;
    doc.Root()->SetName("r");
    doc.Root()->Items().Add("a")->Items().Add("b", "x");
    const std::string decl = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";

    doc.SetOptions(DefaultSimpleXMLOptions & ~sxoAutoIndent);
    EXPECT_EQ(Save(doc), decl + "<r>\r\n<a>\r\n<b>x</b>\r\n</a>\r\n</r>\r\n");
    doc.SetOptions(DefaultSimpleXMLOptions | sxoDoNotSaveProlog);
    EXPECT_EQ(Save(doc), "<r>\r\n  <a>\r\n    <b>x</b>\r\n  </a>\r\n</r>\r\n");

    doc.SetIndentString("\t");
    EXPECT_EQ(doc.IndentString(), "\t");
    doc.SetIndentString("a ");
    EXPECT_EQ(doc.IndentString(), "\t");
    EXPECT_EQ(Save(doc), "<r>\r\n\t<a>\r\n\t\t<b>x</b>\r\n\t</a>\r\n</r>\r\n");
    doc.SetIndentString("");
    EXPECT_EQ(Save(doc), "<r>\r\n<a>\r\n<b>x</b>\r\n</a>\r\n</r>\r\n");
}

TEST(DomSimpleXmlWrite, EscapingOptions) {
    TDomSimpleXML doc;
    doc.SetOptions(sxoDoNotSaveProlog | sxoAutoEncodeEntity);
    doc.Root()->SetName("r");
    doc.Root()->Properties().Add("v", "<\xC3\xA9\xE4\xB8\xAD>");
    // Entities only: Latin-1 characters go into the file as their byte, others as references.
    EXPECT_EQ(Save(doc), "<r v=\"&lt;\xE9&#x4E2D;&gt;\"/>\r\n");
    // No escaping: a double quote in the value makes the writer use single quotes.
    doc.SetOptions(sxoDoNotSaveProlog);
    doc.Root()->Properties().Item(0)->SetValue("say \"hi\" & <go>");
    EXPECT_EQ(Save(doc), "<r v='say \"hi\" & <go>'/>\r\n");
    // A detached subtree is written without escaping.
    TDomSimpleXMLElemClassic detached(nullptr);
    detached.SetName("d");
    detached.SetValue("a&b");
    plat::TStringStream stream;
    detached.SaveToStream(stream, "  ", nullptr);
    EXPECT_EQ(stream.DataString(), "  <d>a&b</d>\r\n");
}

TEST(DomSimpleXmlWrite, EveryNodeKindHasItsForm) {
    TDomSimpleXML doc;
    Load(doc, "<?xml version='1.0' encoding='UTF-8'?><!--c--><?xml-stylesheet href='s'?><!DOCTYPE r>"
              "<p:r q:a='1'>t<![CDATA[<x>]]><!-- n --><e/>\xC3\xA9</p:r>");
    const std::string text = Save(doc);
    EXPECT_EQ(text, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                    "<!--c-->\r\n"
                    "<?xml-stylesheet href=\"s\"?>\r\n"
                    "<!DOCTYPE r>\r\n"
                    "<p:r q:a=\"1\">\r\n"
                    "  t\r\n"
                    "  <![CDATA[<x>]]>\r\n"
                    "  <!-- n -->\r\n"
                    "  <e/>\r\n"
                    "  &#xE9;\r\n"
                    "</p:r>\r\n");
    // Element names are written as they are, in the file's encoding.
    doc.Root()->Items().Item(3)->SetName("\xC3\xA9l\xC3\xA9ment");
    EXPECT_NE(Save(doc).find("<\xC3\xA9l\xC3\xA9ment/>"), std::string::npos);
    // The declaration goes first, also when the file had it after a comment.
    Load(doc, "<!--c--><?xml version='1.0' encoding='iso-8859-1'?><r a::='no name' b='1'/>");
    EXPECT_EQ(Save(doc), "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<!--c-->\r\n<r b=\"1\"/>\r\n");
    // An element without a name writes only its children.
    TDomSimpleXML nameless;
    nameless.SetOptions(DefaultSimpleXMLOptions | sxoDoNotSaveProlog);
    nameless.Root()->Properties().Add("lost", "1");
    nameless.Root()->Items().Add("a");
    nameless.Root()->Items().Add("b", "v");
    EXPECT_EQ(Save(nameless), "  <a/>\r\n  <b>v</b>\r\n");
}

TEST(DomSimpleXmlWrite, DeclarationValuesReadBack) {
    TDomSimpleXML doc;
    Load(doc, "<?xml version='1\"0' encoding='x'?><r/>");
    const std::string text = Save(doc);
    EXPECT_EQ(text, "<?xml version='1\"0' encoding=\"x\"?>\r\n<r/>\r\n");
    TDomSimpleXML back;
    Load(back, text);
    EXPECT_EQ(dynamic_cast<TDomSimpleXMLElemHeader*>(back.Prolog().Item(0))->Version(), "1\"0");
}

TEST(DomSimpleXmlWrite, EventsSeeEveryNodeAndValue) {
    TDomSimpleXML doc;
    Load(doc, "<!--c--><r a='1'><b>x</b><c/></r>");
    std::vector<std::pair<int64_t, int64_t>> progress;
    doc.OnSaveProgress = [&](plat::TObject*, int64_t position, int64_t total) {
        progress.emplace_back(position, total);
    };
    doc.OnEncodeValue = [](plat::TObject*, std::string& value) { value = "[" + value + "]"; };
    const std::string text = Save(doc);
    // Values and tag names are passed through the event, attribute names are not.
    EXPECT_NE(text.find("<[r] a=\"[1]\">\r\n  <[b]>[x]</[b]>\r\n  <[c]/>\r\n</[r]>"), std::string::npos);
    // Total: three elements and the one prolog item there is before the declaration is added; the
    // declaration is then written too, so the count passes the total before the final report.
    const std::vector<std::pair<int64_t, int64_t>> expected = {{0, 4}, {1, 4}, {2, 4}, {3, 4},
                                                               {4, 4}, {5, 4}, {4, 4}};
    EXPECT_EQ(progress, expected);
    // Saved again, the declaration is counted; without the prolog its items are counted all the same.
    progress.clear();
    Save(doc);
    EXPECT_EQ(progress.front(), std::make_pair(int64_t(0), int64_t(5)));
    EXPECT_EQ(progress.back(), std::make_pair(int64_t(5), int64_t(5)));
    progress.clear();
    doc.SetOptions(doc.Options() | sxoDoNotSaveProlog);
    Save(doc);
    const std::vector<std::pair<int64_t, int64_t>> withoutProlog = {{0, 5}, {1, 5}, {2, 5}, {3, 5}, {5, 5}};
    EXPECT_EQ(progress, withoutProlog);
    doc.SetOptions(DefaultSimpleXMLOptions);

    // Names are shown to the event but never escaped; the end tag is the start tag's.
    TDomSimpleXML names;
    names.Root()->SetName("\xC3\x84pfel");
    names.Root()->Items().Add("a&b", "v");
    int calls = 0;
    names.OnEncodeValue = [&](plat::TObject*, std::string& value) {
        ++calls;
        if (value == "a&b")
            value = "ab" + std::to_string(calls);
    };
    EXPECT_EQ(Save(names), "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<\xC4pfel>\r\n"
                           "  <ab2>v</ab2>\r\n</\xC4pfel>\r\n");
    EXPECT_EQ(calls, 3); // two names, one value

    doc.OnEncodeValue = nullptr;
    doc.OnEncodeStream = [](plat::TObject*, plat::TStream& in, plat::TStream& out) {
        out.WriteString("<!--wrapped-->");
        out.CopyFrom(in, in.Size());
    };
    EXPECT_EQ(Save(doc).rfind("<!--wrapped--><?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<!--c-->", 0),
              0u);
}

TEST(DomSimpleXmlWrite, DeepTreesAreWrittenAndFreedWithoutRecursion) {
    const int depth = 100000;
    std::string text;
    {
        TDomSimpleXML doc;
        doc.SetOptions(DefaultSimpleXMLOptions & ~sxoAutoIndent);
        TDomSimpleXMLElem* e = doc.Root();
        e->SetName("a");
        for (int i = 1; i < depth; ++i)
            e = e->Items().Add("a");
        EXPECT_EQ(doc.Root()->ChildsCount(), depth);
        text = Save(doc);
        TDomSimpleXMLElemClassic copy(nullptr);
        copy.Assign(doc.Root());
        EXPECT_EQ(copy.ChildsCount(), depth);
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 * depth);
    TDomSimpleXML back;
    EXPECT_THROW(Load(back, text), EDomSimpleXMLError);
}

class DomSimpleXmlFiles : public TempFolder {};

TEST_F(DomSimpleXmlFiles, SavingReplacesTheWholeFile) {
    const std::string name = Path("chart.xml");
    TDomSimpleXML doc;
    BuildChart(doc);
    doc.SaveToFile(name);
    const std::string full = ReadFile(name);
    EXPECT_EQ(full, ReadFile(kChartFixture));

    TDomSimpleXML small;
    small.Root()->SetName("chart");
    small.SaveToFile(name);
    EXPECT_EQ(ReadFile(name), "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<chart/>\r\n");
    EXPECT_EQ(small.FileName(), "");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(DomSimpleXmlFiles, AFailedSaveLeavesTheOldFileWhole) {
    const std::string name = Path("chart.xml");
    TDomSimpleXML doc;
    BuildChart(doc);
    doc.SaveToFile(name);
    const std::string before = ReadFile(name);

    int nodes = 0;
    doc.OnSaveProgress = [&](plat::TObject*, int64_t, int64_t) {
        if (++nodes == 10)
            throw plat::EWriteError("disk full");
    };
    doc.Root()->Items().Add("Extra");
    EXPECT_THROW(doc.SaveToFile(name), plat::EWriteError);
    EXPECT_EQ(ReadFile(name), before);
    EXPECT_EQ(EntryCount(), 1u);
    EXPECT_THROW(doc.SaveToFile(Path("missing/chart.xml")), plat::EFCreateError);
}

TEST_F(DomSimpleXmlFiles, OutputIsWellFormedForOtherTools) {
    if (testtool::FindProgram("xmllint").empty())
        SKIP_WITHOUT_TOOL("xmllint is not installed");
    std::vector<std::string> files;
    auto save = [&](TDomSimpleXML& doc) {
        files.push_back(Path("doc" + std::to_string(files.size()) + ".xml"));
        doc.SaveToFile(files.back());
    };
    TDomSimpleXML chart;
    BuildChart(chart);
    save(chart);
    TDomSimpleXML mixed;
    Load(mixed,
         "<!--c--><?xml-stylesheet href='s'?><!DOCTYPE r [ <!ENTITY e \"x\"> ]>"
         "<p:r xmlns:p='urn:p' a='&lt;&amp;&quot;&apos;'>t&#xE9;&#x4E2D;<![CDATA[<x>&]]><e/>\xE9</p:r>");
    save(mixed);
    TDomSimpleXML utf8;
    Load(utf8, "<?xml version='1.0' encoding='UTF-8'?><\xC3\xA9l a='\xE4\xB8\xAD'>\xC3\xA9</\xC3\xA9l>");
    save(utf8);
    TDomSimpleXML latin1;
    latin1.SetOptions(sxoAutoEncodeEntity);
    latin1.Root()->SetName("r\xC3\xA9");
    latin1.Root()->Properties().Add("v", "\xC3\xA9 \xE4\xB8\xAD <&>");
    latin1.Root()->SetValue("\xC3\xA9 \xE4\xB8\xAD");
    save(latin1);
    for (const std::string& f : files) {
        SCOPED_TRACE(f + ":\n" + ReadFile(f));
        EXPECT_EQ(std::system(("xmllint --noout '" + f + "'").c_str()), 0);
    }
}
