// The parser: what it makes of text, what it accepts, and every message it raises.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/rtl/Stream.h"
#include "xml/DomSimpleXml.h"

using namespace xml;

namespace {

void Load(TDomSimpleXML& doc, const std::string& text) {
    plat::TStringStream stream(text);
    doc.LoadFromStream(stream);
}

std::unique_ptr<TDomSimpleXML> Parse(const std::string& text,
                                     TDomSimpleXMLOptions options = DefaultSimpleXMLOptions) {
    auto doc = std::make_unique<TDomSimpleXML>();
    doc->SetOptions(options);
    Load(*doc, text);
    return doc;
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EDomSimpleXMLError& e) {
        EXPECT_STREQ(e.ClassName(), "EDomSimpleXMLError");
        return e.Message();
    }
    return "no error";
}

std::string ParseError(const std::string& text) {
    return ErrorOf([&] { Parse(text); });
}

// The value of the root after loading "<r>content</r>".
std::string ContentValue(const std::string& content, TDomSimpleXMLOptions options = DefaultSimpleXMLOptions) {
    return std::string(Parse("<r>" + content + "</r>", options)->Root()->Value());
}

TDomSimpleXMLElem* Child(TDomSimpleXMLElem* e, int i) {
    return e->Items().Item(i);
}

} // namespace

TEST(DomSimpleXmlParse, ByteOrderMarkBeforeTheDeclarationIsSkipped) {
    auto doc = Parse("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<chart/>");
    ASSERT_EQ(doc->Prolog().Count(), 1);
    auto* header = dynamic_cast<TDomSimpleXMLElemHeader*>(doc->Prolog().Item(0));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->Name(), "");
    EXPECT_EQ(header->Version(), "1.0");
    EXPECT_EQ(header->Encoding(), "iso-8859-1");
    EXPECT_FALSE(header->Standalone());
    EXPECT_EQ(doc->Root()->Name(), "chart");
}

TEST(DomSimpleXmlParse, EmptyElementFormsAreTheSame) {
    for (const char* text : {"<r><a></a></r>", "<r><a/></r>", "<r><a /></r>"}) {
        SCOPED_TRACE(text);
        auto doc = Parse(text);
        TDomSimpleXMLElem* a = Child(doc->Root(), 0);
        EXPECT_EQ(a->Name(), "a");
        EXPECT_EQ(a->Value(), "");
        EXPECT_FALSE(a->HasItems());
        EXPECT_EQ(doc->Root()->Items().Count(), 1);
    }
}

TEST(DomSimpleXmlParse, BlanksAreKeptUnlessLeadingBlanksAreTrimmed) {
    const TDomSimpleXMLOptions trim = DefaultSimpleXMLOptions | sxoTrimPrecedingTextWhitespace;
    EXPECT_EQ(ContentValue("  x "), "  x ");
    EXPECT_EQ(ContentValue("  x ", trim), "x ");
    EXPECT_EQ(ContentValue("   "), "   ");
    EXPECT_EQ(ContentValue("   ", trim), "");
    EXPECT_EQ(ContentValue("\r\n\tx\r\n"), "\r\n\tx\r\n");
    EXPECT_FALSE(Parse("<r>   </r>", trim)->Root()->HasItems());
}

TEST(DomSimpleXmlParse, MixedContentKeepsTextNodesBetweenElements) {
    auto doc = Parse("<r>x<b/>y</r>");
    TDomSimpleXMLElem* r = doc->Root();
    EXPECT_EQ(r->Value(), "");
    ASSERT_EQ(r->Items().Count(), 3);
    EXPECT_TRUE(Child(r, 0)->Is<TDomSimpleXMLElemText>());
    EXPECT_EQ(Child(r, 0)->Value(), "x");
    EXPECT_EQ(Child(r, 0)->Container(), &r->Items());
    EXPECT_EQ(Child(r, 1)->Name(), "b");
    EXPECT_EQ(Child(r, 2)->Value(), "y");

    // Text starts where the previous node ended, blanks included.
    doc = Parse("<r>\n  <b/>\n  tail\n</r>");
    ASSERT_EQ(doc->Root()->Items().Count(), 2);
    EXPECT_EQ(Child(doc->Root(), 1)->Value(), "\n  tail\n");
    doc = Parse("<r>\n  <b/>\n  tail\n</r>", DefaultSimpleXMLOptions | sxoTrimPrecedingTextWhitespace);
    EXPECT_EQ(Child(doc->Root(), 1)->Value(), "tail\n");

    // A lone comment or CDATA section stays a child; only a lone text becomes the value.
    doc = Parse("<r><![CDATA[<x>]]></r>");
    EXPECT_EQ(doc->Root()->Value(), "");
    ASSERT_EQ(doc->Root()->Items().Count(), 1);
    EXPECT_EQ(Child(doc->Root(), 0)->Value(), "<x>");
}

TEST(DomSimpleXmlParse, EntitiesAndReferencesAreDecoded) {
    struct TCase {
        const char* Raw;
        const char* Value;
    };
    const TCase cases[] = {
        {"&amp;amp;", "&amp;"},
        {"&#xE9;", "\xC3\xA9"},
        {"&#XE9;", "\xC3\xA9"},
        {"&#xe9;", "\xC3\xA9"},
        {"&#233;", "\xC3\xA9"},
        {"&#65;&#x41;&#$41;", "AAA"},
        {"&#x4E2D;", "\xE4\xB8\xAD"},      // above 255: the full character, not its low byte
        {"&#x1F600;", "\xF0\x9F\x98\x80"}, // beyond the basic plane
        {"&LT;&Gt;&quot;&APOS;", "<>\"'"},
        // A reference that gives no character leaves itself and everything after it as it is.
        {"&#;&#x;&#0;&#-5;&#xD800;&#x110000;", "&#;&#x;&#0;&#-5;&#xD800;&#x110000;"},
        {"&#12 3; &foo; & x", "&#12 3; &foo; & x"},
        {"a &amp; &#zz; &amp; b", "a & &#zz; &amp; b"},
        {"&lt;&#0;&lt;&#65;", "<&#0;&lt;&#65;"},
        {"&gt;&#-1;&gt;", ">&#-1;&gt;"},
        {"&#65 &amp;", "&#65 &amp;"},
        {"&#x110000;&#65;", "&#x110000;&#65;"},
        {"&#65", "&#65"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Raw);
        EXPECT_EQ(ContentValue(c.Raw), c.Value);
        auto doc = Parse(std::string("<r v=\"") + c.Raw + "\"/>");
        EXPECT_EQ(doc->Root()->Properties().ValueOf("v"), c.Value);
    }
    EXPECT_EQ(ContentValue("&#65;&amp;", sxoAutoEncodeEntity), "&#65;&");
    EXPECT_EQ(ContentValue("&#65;&amp;", 0), "&#65;&amp;");
}

TEST(DomSimpleXmlParse, BytesAreLatin1UnlessTheFileSaysUtf8) {
    // Latin-1: every byte from 0x80 is one character.
    EXPECT_EQ(Parse("<r a='\xE9'>\xC3\xA9</r>")->Root()->Value(), "\xC3\x83\xC2\xA9");
    EXPECT_EQ(Parse("<r a='\xE9'/>")->Root()->Properties().ValueOf("a"), "\xC3\xA9");
    EXPECT_EQ(Parse("<?xml version='1.0' encoding='ISO-8859-1'?><\xE9/>")->Root()->Name(), "\xC3\xA9");
    // UTF-8 by declaration or byte-order mark; a stray byte that is no UTF-8 is read as Latin-1.
    EXPECT_EQ(Parse("<?xml version='1.0' encoding='UTF-8'?><r>\xC3\xA9\xE9</r>")->Root()->Value(),
              "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(Parse("<?xml version='1.0' encoding='utf8'?><\xC3\xA9/>")->Root()->Name(), "\xC3\xA9");
    EXPECT_EQ(Parse("\xEF\xBB\xBF<r>\xC3\xA9</r>")->Root()->Value(), "\xC3\xA9");
    EXPECT_EQ(Parse("\xEF\xBB\xBF<?xml version='1.0' encoding='iso-8859-1'?><r>\xE9</r>")->Root()->Value(),
              "\xC3\xA9");
}

// Texts of a few bytes are kept inside their node and longer ones apart, converted and unescaped ones
// too; a node keeps its kind and flags beside its texts. Whatever the length, every node must come out
// as it went in, and be written and read back the same.
TEST(DomSimpleXmlParse, NodesKeepTheirKindWhateverTheLengthOfTheirTexts) {
    struct TCase {
        std::string File;    // as it stands in the file
        std::string Raw;     // converted to UTF-8 (comments, CDATA)
        std::string Decoded; // and unescaped (values, attributes, texts)
    };
    const TCase cases[] = {
        {"", "", ""},
        {"v", "v", "v"},
        {"vvvvv", "vvvvv", "vvvvv"},
        {"vvvvvv", "vvvvvv", "vvvvvv"},
        {"\xE9\xE9", "\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9"},
        {"\xE9\xE9\xE9", "\xC3\xA9\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9\xC3\xA9"},
        {"a&amp;b", "a&amp;b", "a&b"},
        {"ab&amp;cd", "ab&amp;cd", "ab&cd"},
        {std::string(40, 'v'), std::string(40, 'v'), std::string(40, 'v')},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        const std::string name = "e" + std::string(c.File.size(), 'n');
        const std::string text = "<r a=\"" + c.File + "\"><!--" + c.File + "--><![CDATA[" + c.File + "]]><" +
                                 name + ">" + c.File + "</" + name + ">t" + c.File + "<p:" + name +
                                 " p:b=\"" + c.File + "\"/></r>";
        // Written back, a text between elements gains the layout's line ends: it is checked in the
        // document as read, then freed.
        auto check = [&](TDomSimpleXML& doc, bool withText) {
            TDomSimpleXMLElem* r = doc.Root();
            EXPECT_EQ(r->Properties().ValueOf("a"), c.Decoded);
            std::vector<std::string> classes = {"TDomSimpleXMLElemComment", "TDomSimpleXMLElemCData",
                                                "TDomSimpleXMLElemClassic", "TDomSimpleXMLElemClassic"};
            if (withText)
                classes.insert(classes.begin() + 3, "TDomSimpleXMLElemText");
            ASSERT_EQ(r->Items().Count(), static_cast<int>(classes.size()));
            for (size_t i = 0; i < classes.size(); ++i)
                EXPECT_EQ(Child(r, static_cast<int>(i))->ClassName(), classes[i]) << i;
            EXPECT_EQ(Child(r, 0)->Value(), c.Raw);
            EXPECT_EQ(Child(r, 1)->Value(), c.Raw);
            EXPECT_EQ(Child(r, 2)->Name(), name);
            EXPECT_EQ(Child(r, 2)->Value(), c.Decoded);
            if (withText) {
                EXPECT_EQ(Child(r, 3)->Value(), "t" + c.Decoded);
            }
            TDomSimpleXMLElem* last = Child(r, r->Items().Count() - 1);
            EXPECT_EQ(last->FullName(), "p:" + name);
            TDomSimpleXMLProp* b = last->Properties().Item(0);
            EXPECT_EQ(b->NameSpace(), "p");
            EXPECT_EQ(b->Name(), "b");
            EXPECT_EQ(b->Value(), c.Decoded);
            EXPECT_EQ(b->Parent(), &last->Properties());
        };
        auto doc = Parse(text);
        check(*doc, true);
        delete Child(doc->Root(), 3);
        plat::TMemoryStream first;
        doc->SaveToStream(first);
        first.SetPosition(0);
        TDomSimpleXML again;
        again.LoadFromStream(first);
        check(again, false);
        plat::TMemoryStream second;
        again.SaveToStream(second);
        EXPECT_EQ(
            std::string(reinterpret_cast<const char*>(second.Memory()), static_cast<size_t>(second.Size())),
            std::string(reinterpret_cast<const char*>(first.Memory()), static_cast<size_t>(first.Size())));
    }
}

TEST(DomSimpleXmlParse, AttributesAndNamespaces) {
    auto doc = Parse("<x:r  a = '\"q\"' b=\"it's\" c='line\r\nnext' p:d=\"1\" e='1'f='2'></X:R>");
    TDomSimpleXMLElem* r = doc->Root();
    EXPECT_EQ(r->Name(), "r");
    EXPECT_EQ(r->NameSpace(), "x");
    EXPECT_EQ(r->FullName(), "x:r");
    TDomSimpleXMLProps& p = r->Properties();
    ASSERT_EQ(p.Count(), 6);
    EXPECT_EQ(p.ValueOf("a"), "\"q\"");
    EXPECT_EQ(p.ValueOf("b"), "it's");
    EXPECT_EQ(p.ValueOf("c"), "line\r\nnext");
    EXPECT_EQ(p.Item(3)->Name(), "d");
    EXPECT_EQ(p.Item(3)->NameSpace(), "p");
    EXPECT_EQ(p.ValueOf("f"), "2");
    // The end tag is matched without case.
    EXPECT_EQ(Parse("<a></A>")->Root()->Name(), "a");
    EXPECT_EQ(Parse("<\xC4><b/></\xE4>")->Root()->Name(), "\xC3\x84");
}

// Attributes are made in runs of a fixed size, and a value that has to be converted or handed to a
// decoder ends a run early. Whatever the mix, every attribute must come out in order, on the root, on
// leaves and with any decoder, and an error or the end of the data keeps those read before it.
TEST(DomSimpleXmlParse, LongAttributeListsKeepEveryAttributeInOrder) {
    struct TAttribute {
        std::string NameSpace, Name, Raw, Value;
    };
    // Enough for several chunks of attributes on one tag.
    constexpr size_t kMany = 300;
    std::vector<TAttribute> attributes;
    for (size_t i = 0; i < kMany; ++i) {
        const std::string n = std::to_string(i);
        TAttribute a{i % 11 == 3 ? "ns" + n : "", "a" + n, n, n};
        switch (i % 5) {
        case 1:
            a.Raw = a.Value = "a value longer than sixteen bytes " + n;
            break;
        case 2: // Latin-1, converted to UTF-8
            a.Raw = "caf\xE9 " + n;
            a.Value = "caf\xC3\xA9 " + n;
            break;
        case 3:
            a.Raw = "x &amp; y &#x4E2D; " + n;
            a.Value = "x & y \xE4\xB8\xAD " + n;
            break;
        case 4:
            a.Raw = a.Value = "";
            break;
        }
        attributes.push_back(a);
    }
    auto list = [&](size_t count) {
        std::string s;
        for (size_t i = 0; i < count; ++i) {
            const TAttribute& a = attributes[i];
            s += " " + (a.NameSpace.empty() ? "" : a.NameSpace + ":") + a.Name + "=\"" + a.Raw + "\"";
        }
        return s;
    };
    auto check = [&](TDomSimpleXMLElem* e, size_t count, const std::string& decoded) {
        TDomSimpleXMLProps& p = e->Properties();
        ASSERT_EQ(p.Count(), static_cast<int>(count));
        for (size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            TDomSimpleXMLProp* prop = p.Item(static_cast<int>(i));
            EXPECT_EQ(prop->NameSpace(), attributes[i].NameSpace);
            EXPECT_EQ(prop->Name(), attributes[i].Name);
            EXPECT_EQ(prop->Value(), attributes[i].Value + decoded);
            EXPECT_EQ(prop->Parent(), &p);
        }
    };

    class TMarkingDocument : public TDomSimpleXML {
    public:
        void DecodeValue(std::string& value) override {
            TDomSimpleXML::DecodeValue(value);
            value += "!";
        }
    };
    const std::string text = "<r" + list(kMany) + "><leaf" + list(kMany) + "/><leaf" + list(17) + "/></r>";
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        std::unique_ptr<TDomSimpleXML> doc(kind == 2 ? new TMarkingDocument : new TDomSimpleXML);
        if (kind == 1)
            doc->OnDecodeValue = [](plat::TObject*, std::string& value) { value += "!"; };
        Load(*doc, text);
        const std::string decoded = kind == 0 ? "" : "!";
        check(doc->Root(), kMany, decoded);
        check(Child(doc->Root(), 0), kMany, decoded);
        check(Child(doc->Root(), 1), 17, decoded);
    }

    // What was read before an error or the end of the data stays.
    TDomSimpleXML doc;
    EXPECT_EQ(ErrorOf([&] { Load(doc, "<r" + list(20) + " bad=1/>"); }),
              "Invalid XML Element: Unexpected character in property declaration. Expecting \" or ' but "
              "\"1\"  found");
    check(doc.Root(), 20, "");
    EXPECT_EQ(ErrorOf([&] { Load(doc, "<r><leaf" + list(20) + " b.c=\"1\"/></r>"); }),
              "Invalid XML Element: Unexpected character in property declaration (\".\" found)");
    check(Child(doc.Root(), 0), 20, "");
    Load(doc, "<r" + list(20) + " open=\"never closed");
    check(doc.Root(), 20, "");

    // Also when a decoder raises in the middle of a long list.
    class TFailingDocument : public TDomSimpleXML {
    public:
        void DecodeValue(std::string& value) override {
            if (value == "200")
                throw EDomSimpleXMLError("no 200");
        }
    };
    TFailingDocument failing;
    EXPECT_EQ(ErrorOf([&] { Load(failing, "<r" + list(kMany) + "/>"); }), "no 200");
    TDomSimpleXMLProps& kept = failing.Root()->Properties();
    ASSERT_EQ(kept.Count(), 201);
    EXPECT_EQ(kept.Item(199)->Value(), attributes[199].Raw);
    EXPECT_EQ(kept.Item(200)->Name(), "a200");
}

TEST(DomSimpleXmlParse, PrologItemsAreReadInOrder) {
    auto doc = Parse("<?xml version=\"1.1\" encoding=\"iso-8859-1\" standalone=\"yes\"?>\r\n"
                     "<!-- first -->\r\n"
                     "<?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?>\r\n"
                     "<!DOCTYPE  chart [ <!ENTITY a \"b>\"> ]  >\r\n"
                     "<chart/>");
    TDomSimpleXMLElemsProlog& prolog = doc->Prolog();
    ASSERT_EQ(prolog.Count(), 4);
    auto* header = dynamic_cast<TDomSimpleXMLElemHeader*>(prolog.Item(0));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->Version(), "1.1");
    EXPECT_TRUE(header->Standalone());
    EXPECT_EQ(header->Properties().Count(), 0);
    EXPECT_EQ(prolog.Item(1)->Value(), " first ");
    ASSERT_TRUE(prolog.Item(2)->Is<TDomSimpleXMLElemSheet>());
    EXPECT_EQ(prolog.Item(2)->Properties().ValueOf("href"), "s.xsl");
    ASSERT_TRUE(prolog.Item(3)->Is<TDomSimpleXMLElemDocType>());
    EXPECT_EQ(prolog.Item(3)->Value(), "chart [ <!ENTITY a \"b>\"> ]");
    EXPECT_EQ(prolog.Item(0)->Parent(), nullptr);
    EXPECT_EQ(doc->Root()->Name(), "chart");

    auto other = Parse("<?xml version='1.0' standalone='YES'?><r/>");
    auto* lower = dynamic_cast<TDomSimpleXMLElemHeader*>(other->Prolog().Item(0));
    EXPECT_FALSE(lower->Standalone());
    EXPECT_EQ(lower->Encoding(), "");
    EXPECT_EQ(Parse("<r/>")->Prolog().Count(), 0);
}

TEST(DomSimpleXmlParse, UnknownPrologDeclarationsAreSkippedToTheirEnd) {
    auto doc = Parse("<?xml-model href=\"m.rnc\"?>\n"
                     "<!ENTITY e \"a>b\">\n"
                     "<?xml\tversion=\"1.0\"?>\n"
                     "<?php echo '?'; ?>\n"
                     "<!-- kept -->\n"
                     "<chart><a/></chart>");
    ASSERT_EQ(doc->Prolog().Count(), 1);
    EXPECT_EQ(doc->Prolog().Item(0)->Value(), " kept ");
    EXPECT_EQ(doc->Root()->Name(), "chart");
    EXPECT_EQ(doc->Root()->Items().Count(), 1);
}

TEST(DomSimpleXmlParse, WhatIsNoError) {
    EXPECT_EQ(Parse("")->Root()->Name(), "");
    EXPECT_EQ(Parse("  \r\n ")->Root()->Name(), "");
    // Data that ends inside a start tag or an attribute list: the element stays nameless.
    EXPECT_EQ(Parse("<chart")->Root()->Name(), "");
    EXPECT_EQ(Parse("<chart a='1' b='")->Root()->Properties().Count(), 1);
    // Anything after the root element is ignored.
    EXPECT_EQ(Parse("<a/> tail <<< & ")->Root()->Name(), "a");
    // The comment rule lets "--" pass when one byte and ">" follow.
    EXPECT_EQ(Child(Parse("<r><!-- a --x> b --></r>")->Root(), 0)->Value(), " a --x> b ");
    // A CDATA section ends at the first "]]>".
    EXPECT_EQ(Child(Parse("<r><![CDATA[a[1]]]></r>")->Root(), 0)->Value(), "a[1]");
    // Any byte but blanks, ":", "/" and ">" belongs to a tag name.
    EXPECT_EQ(Child(Parse("<r><a<b=\"></a<b=\"></r>")->Root(), 0)->Name(), "a<b=\"");
}

TEST(DomSimpleXmlParse, EveryErrorHasItsMessage) {
    struct TCase {
        const char* Text;
        const char* Message;
    };
    const TCase cases[] = {
        {"x<a/>", "Invalid Document: Unexpected text in file prolog"},
        {"< a/>", "Invalid XML Element: malformed tag found (no valid name)"},
        {"<r><\ta/></r>", "Invalid XML Element: malformed tag found (no valid name)"},
        {"<a/x>", "Invalid XML Element: Expected end of tag but \"x\" found"},
        {"<a></b>", "Invalid XML Element: Erroneous end of tag, expecting </a> but </b> found"},
        {"<a></a >", "Invalid XML Element: Erroneous end of tag, expecting </a> but </a > found"},
        {"<n:a></a>", "Invalid XML Element: Erroneous end of tag, expecting </a> but </a> found"},
        {"<a><b>", "Invalid XML Element: Erroneous end of tag, expecting </b> but </> found"},
        {"<a b.c=\"1\"/>", "Invalid XML Element: Unexpected character in property declaration (\".\" found)"},
        {"<a b/>", "Invalid XML Element: Unexpected character in property declaration (\"/\" found)"},
        {"<a \xE9=\"1\"/>",
         "Invalid XML Element: Unexpected character in property declaration (\"\xC3\xA9\" found)"},
        {"<a b=1/>", "Invalid XML Element: Unexpected character in property declaration. Expecting \" or ' "
                     "but \"1\"  found"},
        {"<a><!-- x -- y --></a>", "Invalid Comment: \"--\" not allowed inside comments"},
        {"<a><!-- x", "Invalid Comment: Unexpected end of data"},
        {"<!-- x", "Invalid Comment: Unexpected end of data"},
        {"<a><![CDATA[x</a>", "Invalid CDATA: Unexpected end of data"},
        {"<a><![CDATA\n[x]]></a>", "Invalid CDATA: expected \"[\" but found \"\n\""},
        {"<?xml version=\"1.0\"", "Invalid Comment: Unexpected end of data"},
        {"<?xml version=\"1.0\"/><a/>", "Invalid Header: expected \"?\" but found \"/\""},
        {"<!DOCTYPE a [ > ", "Invalid Comment: Unexpected end of data"},
        {"<?xml-stylesheet href=\"a\"", "Invalid Stylesheet: Unexpected end of data"},
        {"<?xml-stylesheet href=\"a\"/>", "Invalid Stylesheet: expected \"?\" but found \"/\""},
        // Unknown prolog items that never end, and half a prolog token.
        {"<?xml-model href='x'", "Invalid Comment: Unexpected end of data"},
        {"<!ENTITY x '>'", "Invalid Comment: Unexpected end of data"},
        {"<!DOC", "Invalid Comment: Unexpected end of data"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ParseError(c.Text), c.Message);
    }
}

TEST(DomSimpleXmlParse, NodeKindsCheckTheirOpeningBytes) {
    struct TCase {
        TDomSimpleXMLElem* Node;
        const char* Text;
        const char* Message;
    };
    TDomSimpleXMLElemClassic classic(nullptr);
    TDomSimpleXMLElemComment comment(nullptr);
    TDomSimpleXMLElemCData cdata(nullptr);
    TDomSimpleXMLElemHeader header(nullptr);
    TDomSimpleXMLElemDocType doctype(nullptr);
    TDomSimpleXMLElemSheet sheet(nullptr);
    const TCase cases[] = {
        {&classic, "x", "Invalid XML Element: Expected beginning of tag but \"x\" found"},
        {&comment, "<!-x", "Invalid Comment: expected \"-\" but found \"x\""},
        {&cdata, "<![CDATX", "Invalid CDATA: expected \"A\" but found \"X\""},
        {&header, "<?xmX", "Invalid Header: expected \"l\" but found \"X\""},
        {&doctype, "<!DOCTYPX", "Invalid Header: expected \"E\" but found \"X\""},
        {&sheet, "<?xml-stylesheeX", "Invalid Stylesheet: expected \"t\" but found \"X\""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        plat::TStringStream stream(c.Text);
        EXPECT_EQ(ErrorOf([&] { c.Node->LoadFromStream(stream, nullptr); }), c.Message);
    }
    // A node parses from the stream's position and leaves the stream after itself.
    plat::TStringStream stream("ab<!--c-->de");
    stream.SetPosition(2);
    comment.LoadFromStream(stream, nullptr);
    EXPECT_EQ(comment.Value(), "c");
    EXPECT_EQ(stream.Position(), 10);
}

TEST(DomSimpleXmlParse, DeepNestingIsAnErrorNotAStackOverflow) {
    auto nested = [](int depth) {
        std::string s;
        for (int i = 0; i < depth; ++i)
            s += "<a>";
        for (int i = 0; i < depth; ++i)
            s += "</a>";
        return s;
    };
    auto doc = Parse(nested(MaxSimpleXMLDepth));
    EXPECT_EQ(doc->Root()->ChildsCount(), MaxSimpleXMLDepth);
    const std::string message = "Invalid XML Element: Elements nested deeper than 4096 levels";
    EXPECT_EQ(ParseError(nested(MaxSimpleXMLDepth + 1)), message);
    EXPECT_EQ(ParseError(nested(100000)), message);
    // An empty element counts as a level too.
    auto withLeaf = [&](int depth) {
        return nested(depth).insert(3 * static_cast<size_t>(depth), "<b x='1'/>");
    };
    EXPECT_EQ(Parse(withLeaf(MaxSimpleXMLDepth - 1))->Root()->ChildsCount(), MaxSimpleXMLDepth);
    EXPECT_EQ(ParseError(withLeaf(MaxSimpleXMLDepth)), message);
}

TEST(DomSimpleXmlParse, EventsReportTagsValuesAndProgress) {
    TDomSimpleXML doc;
    std::vector<std::string> log;
    doc.OnTagParsed = [&](plat::TObject* sender, const std::string& name) {
        EXPECT_EQ(sender, &doc);
        log.push_back("tag " + name);
    };
    doc.OnValueParsed = [&](plat::TObject*, const std::string& name, const std::string& value) {
        log.push_back("value " + name + "=" + value);
    };
    std::vector<std::pair<int64_t, int64_t>> progress;
    doc.OnLoadProgress = [&](plat::TObject*, int64_t position, int64_t total) {
        progress.emplace_back(position, total);
    };
    doc.OnDecodeValue = [&](plat::TObject*, std::string& value) { value += "!"; };
    const std::string text = "<!DOCTYPE  d ><r a='1'><!--c-->t<b>v</b><e f='2'/></r>";
    Load(doc, text);
    const std::vector<std::string> expected = {
        "value =  d ", "value =c", "value =t!", "value =v!", "tag b",
        "value b=v!",  "tag e",    "value e=",  "tag r",     "value r=",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(doc.Root()->Properties().ValueOf("a"), "1!");
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress.front(), std::make_pair(int64_t(0), int64_t(text.size())));
    EXPECT_EQ(progress.back(), std::make_pair(int64_t(text.size()), int64_t(text.size())));
}

TEST(DomSimpleXmlParse, DecodeStreamReplacesTheInput) {
    TDomSimpleXML doc;
    doc.OnDecodeStream = [](plat::TObject*, plat::TStream& in, plat::TStream& out) {
        std::string s(static_cast<size_t>(in.Size() - in.Position()), '\0');
        in.ReadBuffer(s.data(), static_cast<int64_t>(s.size()));
        for (char& c : s)
            c = c == '[' ? '<' : c == ']' ? '>' : c;
        out.WriteString(s);
    };
    Load(doc, "[r][b/][/r]");
    EXPECT_EQ(doc.Root()->Name(), "r");
    EXPECT_EQ(doc.Root()->Items().Count(), 1);
}

TEST(DomSimpleXmlParse, LoadingReplacesEverythingAndStopsAfterTheRoot) {
    TDomSimpleXML doc;
    Load(doc, "<?xml version='1.0'?><chart v='1'>text</chart>");
    plat::TStringStream stream("<a/>tail");
    doc.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), 4);
    EXPECT_EQ(doc.Root()->Name(), "a");
    EXPECT_EQ(doc.Root()->Value(), "");
    EXPECT_EQ(doc.Root()->Properties().Count(), 0);
    EXPECT_EQ(doc.Prolog().Count(), 0);
    // An empty file leaves nothing of the document before it.
    Load(doc, "");
    EXPECT_EQ(doc.Root()->Name(), "");
    EXPECT_EQ(doc.Root()->GetSimpleXML(), &doc);
}

// Lists of plain leaf elements are freed in one step; any change to a leaf or its list must make that
// list free its elements one by one again. Leaks and stale memory here show under the sanitizers.
TEST(DomSimpleXmlParse, LeafElementsCanBeChangedAfterLoading) {
    const std::string text = "<r><p a=\"1\" b=\"2\"/><p a=\"3\"/><p/></r>";
    const std::string longText = "a text well beyond the fifteen bytes kept inline";
    const std::string prolog = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<r>\r\n";
    struct TCase {
        const char* What;
        std::function<void(TDomSimpleXMLElem* leaf)> Change;
        std::string Expected; // the first leaf as written, with its line end
    };
    const std::vector<TCase> cases = {
        {"value", [&](TDomSimpleXMLElem* e) { e->SetValue(longText); },
         "  <p a=\"1\" b=\"2\">" + longText + "</p>\r\n"},
        {"name", [&](TDomSimpleXMLElem* e) { e->SetName("renamed-to-something-long"); },
         "  <renamed-to-something-long a=\"1\" b=\"2\"/>\r\n"},
        {"new attribute", [&](TDomSimpleXMLElem* e) { e->Properties().Add("c", longText); },
         "  <p a=\"1\" b=\"2\" c=\"" + longText + "\"/>\r\n"},
        {"attribute value", [&](TDomSimpleXMLElem* e) { e->Properties().Item(1)->SetValue(longText); },
         "  <p a=\"1\" b=\"" + longText + "\"/>\r\n"},
        {"attributes cleared", [&](TDomSimpleXMLElem* e) { e->Properties().Clear(); }, "  <p/>\r\n"},
        {"child", [&](TDomSimpleXMLElem* e) { e->Items().Add("c", longText); },
         "  <p a=\"1\" b=\"2\">\r\n    <c>" + longText + "</c>\r\n  </p>\r\n"},
        {"assigned",
         [&](TDomSimpleXMLElem* e) {
             TDomSimpleXMLElemClassic source(nullptr);
             source.SetName("q");
             source.Properties().Add("z", longText);
             e->Assign(&source);
         },
         "  <q z=\"" + longText + "\"/>\r\n"},
        {"freed", [&](TDomSimpleXMLElem* e) { delete e; }, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        auto doc = Parse(text);
        c.Change(doc->Root()->Items().Item(0));
        plat::TStringStream out;
        doc->SaveToStream(out);
        EXPECT_EQ(out.DataString(), prolog + c.Expected + "  <p a=\"3\"/>\r\n  <p/>\r\n</r>\r\n");
    }

    // A leaf taken into another document keeps its memory when the first one goes.
    auto source = Parse(text);
    TDomSimpleXML target;
    TDomSimpleXMLElem* moved = target.Root()->Items().AddChild(source->Root()->Items().Item(1));
    source.reset();
    EXPECT_EQ(moved->Name(), "p");
    EXPECT_EQ(moved->Properties().ValueOf("a"), "3");
}

TEST(DomSimpleXmlParse, ParsedNodesOutliveTheirDocument) {
    const std::string longValue = "a value well beyond fifteen bytes &amp; escaped";
    auto source = Parse("<r><long-element-name-here v=\"" + longValue +
                        "\">text that is long enough</long-element-name-here>"
                        "<!-- a comment that is long enough --></r>");
    TDomSimpleXML target;
    target.Root()->SetName("t");
    TDomSimpleXMLElem* moved = source->Root()->Items().Item(0);
    TDomSimpleXMLElem* comment = source->Root()->Items().Item(1);
    target.Root()->Items().AddChild(moved);
    target.Root()->Items().AddChild(comment);
    source.reset();
    EXPECT_EQ(moved->Name(), "long-element-name-here");
    EXPECT_EQ(moved->Value(), "text that is long enough");
    EXPECT_EQ(moved->Properties().ValueOf("v"), "a value well beyond fifteen bytes & escaped");
    EXPECT_EQ(comment->Value(), " a comment that is long enough ");
    moved->SetValue("changed");
    moved->Properties().Add("w", "added after the move, also long");
    EXPECT_EQ(moved->Properties().Item(1)->Value(), "added after the move, also long");
    TDomSimpleXMLElemClassic copy(nullptr);
    copy.Assign(moved);
    target.Root()->Items().Clear();
    EXPECT_EQ(copy.Name(), "long-element-name-here");
    EXPECT_EQ(copy.Properties().ValueOf("v"), "a value well beyond fifteen bytes & escaped");
}

// The parser gives a large input (32 MiB or more) back while it reads it: every text it keeps, the names of
// elements still open (short ones too) and a text that runs across the pages given back must survive it.
TEST(DomSimpleXmlParse, LargeInputsKeepEveryTextAfterReading) {
    constexpr int kSections = 3;
    constexpr int kItems = 20000;
    auto label = [](int s, int i) {
        return "a label longer than fifteen bytes " + std::to_string(s * kItems + i);
    };
    const std::string bigText(24 << 20, 'x');
    std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                       "<ns:a-root-element-with-a-long-name kind=\"a root attribute, long enough\">\r\n";
    for (int s = 0; s < kSections; ++s) {
        text += "  <section" + std::to_string(s) + ">\r\n";
        for (int i = 0; i < kItems; ++i)
            text += "    <item-with-a-long-name index=\"" + std::to_string(i) + "\" label=\"" + label(s, i) +
                    "\" ns:qualified-attribute=\"&amp;" + std::to_string(i) +
                    "\">element text, long enough " + std::to_string(i) + "</item-with-a-long-name>\r\n";
        text += "  </section" + std::to_string(s) + ">\r\n";
    }
    text += "  <big>" + bigText + "</big>\r\n";
    text += "</ns:a-root-element-with-a-long-name>\r\n";

    auto doc = Parse(text);
    TDomSimpleXMLElem* root = doc->Root();
    EXPECT_EQ(root->Name(), "a-root-element-with-a-long-name");
    EXPECT_EQ(root->NameSpace(), "ns");
    EXPECT_EQ(root->Properties().ValueOf("kind"), "a root attribute, long enough");
    ASSERT_EQ(root->Items().Count(), kSections + 1);
    int wrong = 0;
    for (int s = 0; s < kSections; ++s) {
        TDomSimpleXMLElem* section = root->Items().Item(s);
        EXPECT_EQ(section->Name(), "section" + std::to_string(s));
        ASSERT_EQ(section->Items().Count(), kItems);
        for (int i = 0; i < kItems; ++i) {
            TDomSimpleXMLElem* item = section->Items().Item(i);
            TDomSimpleXMLProps& props = item->Properties();
            wrong += item->Name() != "item-with-a-long-name" ||
                     item->Value() != "element text, long enough " + std::to_string(i) ||
                     props.Count() != 3 || props.Item(1)->Value() != label(s, i) ||
                     props.Item(2)->Name() != "qualified-attribute" || props.Item(2)->NameSpace() != "ns" ||
                     props.Item(2)->Value() != "&" + std::to_string(i);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(root->Items().Item(kSections)->Value() == bigText);

    // The writer puts back the same bytes.
    plat::TMemoryStream out;
    doc->SaveToStream(out);
    EXPECT_TRUE(std::string(reinterpret_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size())) ==
                text);
}

TEST(DomSimpleXmlParse, ReadsFromAnyStream) {
    // Not a memory stream: the bytes are read in full first.
    class TTrickle : public plat::TStream {
    public:
        explicit TTrickle(std::string s) : FData(std::move(s)) {}
        int64_t Read(void* buffer, int64_t count) override {
            int64_t n = std::min<int64_t>({count, 3, static_cast<int64_t>(FData.size()) - FPos});
            std::memcpy(buffer, FData.data() + FPos, static_cast<size_t>(n));
            FPos += n;
            return n;
        }
        int64_t Write(const void*, int64_t) override { return 0; }
        int64_t Seek(int64_t offset, plat::TSeekOrigin origin) override {
            FPos = origin == plat::soBeginning ? offset
                   : origin == plat::soCurrent ? FPos + offset
                                               : static_cast<int64_t>(FData.size()) + offset;
            return FPos;
        }

    private:
        std::string FData;
        int64_t FPos = 0;
    };
    TTrickle stream("<chart><a x='1'/></chart> more");
    TDomSimpleXML doc;
    doc.LoadFromStream(stream);
    EXPECT_EQ(doc.Root()->Items().Item(0)->Properties().ValueOf("x"), "1");
    EXPECT_EQ(stream.Position(), 25);
}

TEST(DomSimpleXmlParse, FilesThatCannotBeOpenedRaiseTheStreamError) {
    TDomSimpleXML doc;
    EXPECT_THROW(doc.LoadFromFile("/nonexistent/folder/chart.xml"), plat::EFOpenError);
}
