#include "platform/ui/RichEditRtf.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ExternalTool.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/StringUtils.h"

using namespace plat;

namespace {

TCharFormat Fmt(TFontStyles style = 0, TColor color = clWindowText, int halfPoints = 16,
                const std::string& name = "Tahoma") {
    TCharFormat f;
    f.Name = name;
    f.HalfPoints = halfPoints;
    f.Color = color;
    f.Style = style;
    return f;
}

void Add(TRichDocument& doc, const std::string& text, const TCharFormat& f = Fmt()) {
    doc.Insert(doc.Length(), Utf8Decode(text), f);
}

// Same characters, every character in the same format, every paragraph in the same paragraph format.
void ExpectSameDocument(const TRichDocument& a, const TRichDocument& b) {
    ASSERT_EQ(Utf8Encode(a.Chars()), Utf8Encode(b.Chars()));
    for (int i = 0; i < a.Length(); ++i)
        ASSERT_EQ(a.FormatAt(i), b.FormatAt(i)) << "format of character " << i;
    ASSERT_EQ(a.ParagraphCount(), b.ParagraphCount());
    for (int p = 0; p < a.ParagraphCount(); ++p)
        EXPECT_EQ(a.ParaFormat(p), b.ParaFormat(p)) << "paragraph " << p;
}

struct TRoundTripCase {
    const char* Name;
    void (*Build)(TRichDocument& doc);
};

const TRoundTripCase kRoundTrips[] = {
    {"Empty", [](TRichDocument&) {}},
    {"PlainLines", [](TRichDocument& d) { Add(d, "Number of Peaks: 3\n1.  12.50 @ 532\n"); }},
    {"Escapes", [](TRichDocument& d) { Add(d, "a\\b {c} }{ \\par \\'41 ;"); }},
    {"NonAscii", [](TRichDocument& d) { Add(d, "Grüße – 5 µm, €, 日本語, 😀 and 𝄞\nÆØÅ ÿ"); }},
    {"EmptyLines", [](TRichDocument& d) { Add(d, "\n\nfirst\n\n\nlast\n\n"); }},
    {"Tabs", [](TRichDocument& d) { Add(d, "x\ty\t\tz"); }},
    {"Styles",
     [](TRichDocument& d) {
         Add(d, "bold ", Fmt(fsBold));
         Add(d, "italic ", Fmt(fsItalic));
         Add(d, "underline ", Fmt(fsUnderline));
         Add(d, "strike ", Fmt(fsStrikeOut));
         Add(d, "all\n", Fmt(fsBold | fsItalic | fsUnderline | fsStrikeOut));
         Add(d, "plain");
     }},
    {"ColoursSizesFonts",
     [](TRichDocument& d) {
         Add(d, "FRAME 1\n", Fmt(fsBold | fsUnderline, 0x0000FF));
         Add(d, "black ", Fmt(0, clBlack));
         Add(d, "auto ", Fmt());
         Add(d, "green 14pt ", Fmt(0, 0x008000, 28));
         Add(d, "Courier 10.5pt\n", Fmt(fsItalic, 0x123456, 21, "Courier New"));
         Add(d, "\n", Fmt(0, 0x0000FF)); // a break in a format of its own
     }},
    {"Alignment",
     [](TRichDocument& d) {
         Add(d, "left\ncentre\nright\nindented\n");
         TParaFormat centre, right, indented;
         centre.Alignment = taCenter;
         right.Alignment = taRightJustify;
         indented.LeftIndent = 36;
         indented.FirstIndent = -18;
         indented.RightIndent = 12;
         d.SetParaFormat(1, centre);
         d.SetParaFormat(2, right);
         d.SetParaFormat(3, indented);
         d.SetParaFormat(4, right);
     }},
    {"FontNamesBeyondAscii",
     [](TRichDocument& d) {
         Add(d, "a", Fmt(0, clWindowText, 16, "Schrift \xC3\xA4 \xE6\x97\xA5\xE6\x9C\xAC"));
         Add(d, "b", Fmt(0, clWindowText, 16, "{Brace\\}"));
     }},
    {"OneNameAsSymbolAndTextFont",
     [](TRichDocument& d) {
         TCharFormat symbol = Fmt(0, clWindowText, 16, "Tahoma");
         symbol.Charset = SYMBOL_CHARSET;
         Add(d, "text ");
         Add(d, "abg", symbol);
         Add(d, " text");
     }},
    {"LastParagraphWithoutBreak",
     [](TRichDocument& d) {
         Add(d, "one\ntwo");
         TParaFormat centre;
         centre.Alignment = taCenter;
         d.SetParaFormat(1, centre);
     }},
};

class RtfRoundTrip : public ::testing::TestWithParam<TRoundTripCase> {};

} // namespace

TEST_P(RtfRoundTrip, ReadingWhatWasWrittenGivesTheSameRuns) {
    TRichDocument doc;
    GetParam().Build(doc);
    std::string rtf = WriteRtf(doc);
    EXPECT_TRUE(IsRtf(rtf));
    for (unsigned char c : rtf)
        ASSERT_LT(c, 0x80) << "RTF is written in 7-bit characters";
    TRichDocument back;
    ReadRtf(rtf, back);
    ExpectSameDocument(doc, back);
}

INSTANTIATE_TEST_SUITE_P(Cases, RtfRoundTrip, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(RtfWriter, WritesTheControlWordsWordProcessorsRead) {
    TRichDocument doc;
    Add(doc, "Title\n", Fmt(fsBold | fsUnderline, 0x0000FF, 20, "Arial"));
    Add(doc, "é {x}\n");
    TParaFormat centre;
    centre.Alignment = taCenter;
    doc.SetParaFormat(1, centre);
    std::string rtf = WriteRtf(doc);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi", 0), 0u);
    EXPECT_NE(rtf.find("\\deff0"), std::string::npos);
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Tahoma;}}"),
              std::string::npos);
    EXPECT_NE(rtf.find("{\\colortbl ;\\red255\\green0\\blue0;}"), std::string::npos);
    EXPECT_NE(rtf.find("\\f0\\fs20\\cf1\\b\\ul Title\\par"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\pard\\qc"), std::string::npos);
    EXPECT_NE(rtf.find("\\u233? \\{x\\}"), std::string::npos) << rtf;
    EXPECT_EQ(rtf.back(), '\n');
    EXPECT_NE(rtf.rfind('}'), std::string::npos);

    // A part of the document: only what it uses goes into the tables.
    std::string part = WriteRtf(doc, 6, 3);
    EXPECT_EQ(part.find("Arial"), std::string::npos);
    EXPECT_EQ(part.find("\\red255"), std::string::npos);
    TRichDocument back;
    ReadRtf(part, back);
    EXPECT_EQ(Utf8Encode(back.Chars()), "é {");
}

TEST(RtfReader, ReadsCommonWordProcessorOutput) {
    // The shape of what office suites write: a style sheet, document information, a generator
    // destination, code page escapes with Unicode alternatives, fields, quotes and a picture.
    const char* rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033"
        "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fprq2\\fcharset0 "
        "Liberation Sans{\\*\\falt Arial};}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
        "{\\stylesheet{\\s0\\snext0 Normal;}{\\s1 Heading 1;}}\r\n"
        "{\\info{\\title Report}{\\author Lab}}{\\*\\generator Writer/7.4}\\viewkind4\\uc1\r\n"
        "\\pard\\plain\\s0\\ql\\f1\\fs24 Caf\\'e9 \\u8364\\'80 {\\b\\cf2 bold red} back\\par\r\n"
        "\\pard\\qc\\li720\\ri360\\fi-360 {\\i\\cf3 centred}\\tab x\\line y\\par\r\n"
        "\\pard {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} \\ldblquote "
        "q\\rdblquote\\~\\emdash\\par\r\n"
        "{\\pict\\pngblip 89504e47}{\\uc2\\u20013\\'d6\\'d0 z}\\ul under\\ulnone\\par\r\n"
        "}";
    TRichDocument doc;
    ReadRtf(rtf, doc);
    EXPECT_EQ(doc.PlainText(0, doc.Length(), "|"),
              "Café € bold red back|centred\tx|y|link \u201Cq\u201D\u00A0\u2014|\u4E2D zunder|");
    auto at = [&](const std::string& word) {
        std::u32string w = Utf8Decode(word);
        size_t pos = doc.Chars().find(w);
        EXPECT_NE(pos, std::u32string::npos) << word;
        return doc.FormatAt(static_cast<int>(pos));
    };
    EXPECT_EQ(at("Café").Name, "Liberation Sans");
    EXPECT_EQ(at("Café").HalfPoints, 24);
    EXPECT_EQ(at("Café").Style, 0);
    EXPECT_EQ(at("bold").Style, fsBold);
    EXPECT_EQ(at("bold").Color, static_cast<TColor>(0x0000FF));
    EXPECT_EQ(at("back").Style, 0) << "a group's formatting ends with the group";
    EXPECT_EQ(at("centred").Style, fsItalic);
    EXPECT_EQ(at("centred").Color, static_cast<TColor>(0x008000));
    EXPECT_EQ(at("under").Style, fsUnderline);
    EXPECT_EQ(doc.ParaFormat(0).Alignment, taLeftJustify);
    EXPECT_EQ(doc.ParaFormat(1).Alignment, taCenter);
    EXPECT_EQ(doc.ParaFormat(1).LeftIndent, 36);
    EXPECT_EQ(doc.ParaFormat(1).RightIndent, 18);
    EXPECT_EQ(doc.ParaFormat(1).FirstIndent, -18);
    EXPECT_EQ(doc.ParaFormat(3).Alignment, taLeftJustify) << "\\pard resets the paragraph";
}

TEST(RtfReader, RefusesOtherTextAndKeepsWhatDamagedRtfHolds) {
    TRichDocument doc;
    Add(doc, "kept");
    EXPECT_THROW(ReadRtf("plain text", doc), EParserError);
    EXPECT_THROW(ReadRtf("", doc), EParserError);
    EXPECT_EQ(Utf8Encode(doc.Chars()), "kept") << "a refused read leaves the document alone";

    ReadRtf("{\\rtf1 {\\b cut off\\par more", doc);
    EXPECT_EQ(Utf8Encode(doc.Chars()), "cut off\nmore");
    ReadRtf("{\\rtf1 one}} two}", doc);
    EXPECT_EQ(Utf8Encode(doc.Chars()), "one") << "text after the document's group is not part of it";
    ReadRtf("{\\rtf1 a\\'4", doc);
    EXPECT_EQ(Utf8Encode(doc.Chars()), "a") << "a cut-off escape gives no control character";
    ReadRtf("{\\rtf1 \\fs99999999999999999999 big\\u-999999999 x}", doc);
    EXPECT_EQ(Utf8Encode(doc.Chars()), "big");
    EXPECT_EQ(doc.FormatAt(0).HalfPoints, 3276) << "numbers out of range are clamped";
    ReadRtf("{\\rtf1 a" + std::string(100, '{') + "\\b  b" + std::string(100, '}') + " c}", doc);
    EXPECT_EQ(Utf8Encode(doc.Chars()), "a b c");
    EXPECT_EQ(doc.FormatAt(2).Style, fsBold);
    ReadRtf("{\\rtf1 a" + std::string(300, '{') + "lost\\}" + std::string(300, '}') + " b}", doc);
    EXPECT_EQ(Utf8Encode(doc.Chars()), "a b") << "groups nested too deeply are skipped whole";
    ReadRtf("{\\rtf1 a" + std::string(1 << 20, '{'), doc);
    EXPECT_EQ(Utf8Encode(doc.Chars()), "a");
}

// Inputs the fuzzer found: each must read, and what it reads must survive writing and reading again.
TEST(RtfReader, WhatIsReadWritesAndReadsBackTheSame) {
    struct TCase {
        const char* Rtf;
        const char* Text;
        const char* FontOfLast;
        uint8_t CharsetOfLast;
    };
    const TCase cases[] = {
        {"{\\rtf1{\\fonttbl{\\f0 A\\u228?B\\'e4;}}\\f0 x}", "x", "A\xC3\xA4\x42\xC3\xA4", DEFAULT_CHARSET},
        {"{\\rtf1\\deff1{\\fonttbl{\\f0\\fcharset2 Tahoma;}}y\\f0 x}", "yx", "Tahoma", SYMBOL_CHARSET},
        {"{\\rtf1{\\fonttbl{\\f0\\uc0 Z\\u8364\\u-4064;}}\\f0 x}", "x", "Z\xE2\x82\xAC\xEF\x80\xA0",
         DEFAULT_CHARSET},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Rtf);
        TRichDocument doc;
        ReadRtf(c.Rtf, doc);
        ASSERT_EQ(Utf8Encode(doc.Chars()), c.Text);
        EXPECT_EQ(doc.FormatAt(doc.Length() - 1).Name, c.FontOfLast);
        EXPECT_EQ(doc.FormatAt(doc.Length() - 1).Charset, c.CharsetOfLast);
        TRichDocument back;
        ReadRtf(WriteRtf(doc), back);
        ExpectSameDocument(doc, back);
    }
}

TEST(RichDocument, EditsKeepParagraphsAndFormatsInStep) {
    TRichDocument doc;
    Add(doc, "alpha beta\ngamma");
    TParaFormat right;
    right.Alignment = taRightJustify;
    doc.SetParaFormat(0, right);
    ASSERT_EQ(doc.ParagraphCount(), 2);
    EXPECT_EQ(doc.ParagraphOf(10), 0) << "a break belongs to the paragraph it ends";
    EXPECT_EQ(doc.ParagraphOf(11), 1);

    // Splitting a paragraph gives both halves its format; CR LF and lone CRs are breaks too.
    doc.Insert(5, U"\r\nX\rY", Fmt(fsBold));
    EXPECT_EQ(doc.PlainText(0, doc.Length(), "|"), "alpha|X|Y beta|gamma");
    ASSERT_EQ(doc.ParagraphCount(), 4);
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(doc.ParaFormat(p).Alignment, taRightJustify);
    EXPECT_EQ(doc.ParaFormat(3).Alignment, taLeftJustify);
    EXPECT_EQ(doc.ParagraphStart(2), 8);
    EXPECT_EQ(doc.ParagraphEnd(2), 14);

    doc.ModifyFormat(0, 3, [](TCharFormat& f) { f.Color = clRed; });
    auto runs = doc.Runs(0);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(Utf8Encode(runs[0].Text), "alp");
    EXPECT_EQ(runs[0].Format.Color, clRed);
    EXPECT_EQ(Utf8Encode(runs[1].Text), "ha");

    // Erasing across breaks merges the paragraphs into the first.
    doc.Erase(3, 5);
    EXPECT_EQ(doc.PlainText(0, doc.Length(), "|"), "alpY beta|gamma");
    EXPECT_EQ(doc.ParagraphCount(), 2);

    TRichDocument part = doc.Slice(2, 9);
    EXPECT_EQ(part.PlainText(0, part.Length(), "|"), "pY beta|g");
    EXPECT_EQ(part.ParagraphCount(), 2);
    EXPECT_EQ(part.FormatAt(0).Color, clRed);
    EXPECT_EQ(part.ParaFormat(0).Alignment, taRightJustify);

    // Control characters other than tabs do not get in.
    doc.Clear();
    doc.Insert(0, U"a\x01\tb\x7F", Fmt());
    EXPECT_EQ(Utf8Encode(doc.Chars()), "a\tb");
}

TEST(RichDocument, FormatsStayRightWhenUnusedOnesAreDropped) {
    TRichDocument doc;
    Add(doc, "x");
    for (int i = 0; i < 5000; ++i)
        doc.ModifyFormat(0, 1, [i](TCharFormat& f) { f.Color = static_cast<TColor>(i); });
    EXPECT_EQ(doc.FormatAt(0).Color, static_cast<TColor>(4999));
}

TEST(RtfWriter, OpensInLibreOfficeWhereItIsInstalled) {
    std::string soffice = testtool::FindProgram("soffice");
    if (soffice.empty())
        SKIP_WITHOUT_TOOL("LibreOffice is not installed");
    // Writer's core library beside the program: without it nothing but drawings load (and trying
    // takes seconds).
    std::error_code ec;
    std::filesystem::path program = std::filesystem::canonical(soffice, ec).parent_path();
    if (!std::filesystem::exists(program / "libswlo.so"))
        SKIP_WITHOUT_TOOL("LibreOffice Writer is not installed");
    std::string dir = (std::filesystem::temp_directory_path() / "lumetra-rtf-XXXXXX").string();
    ASSERT_NE(::mkdtemp(dir.data()), nullptr);
    struct TCleanup {
        std::string Dir;
        ~TCleanup() {
            std::error_code ec;
            std::filesystem::remove_all(Dir, ec);
        }
    } cleanup{dir};
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
    };
    auto read = [&](const std::string& name) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    TRichDocument doc;
    Add(doc, "FRAME 1\n", Fmt(fsBold | fsUnderline, 0x0000FF));
    Add(doc, "Grüße {x} \\ 5 µm €\n", Fmt(fsItalic));
    write("ours.rtf", WriteRtf(doc));
    // A document LibreOffice surely reads tells whether this installation reads text documents at all.
    write("control.rtf", "{\\rtf1\\ansi control\\par}");
    std::string command = "cd '" + dir + "' && soffice -env:UserInstallation=file://" + dir +
                          "/profile --headless --convert-to 'txt:Text (encoded):UTF8' control.rtf ours.rtf "
                          ">/dev/null 2>&1";
    std::system(command.c_str());
    if (read("control.txt").find("control") == std::string::npos)
        SKIP_WITHOUT_TOOL("this LibreOffice cannot load text documents (no Writer)");
    std::string text = read("ours.txt");
    EXPECT_NE(text.find("FRAME 1"), std::string::npos) << text;
    EXPECT_NE(text.find("Grüße {x} \\ 5 µm €"), std::string::npos) << text;
}
