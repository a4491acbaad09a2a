// The element tree: lists, lookups, names, typed values, copying and ownership.
#include "xml/DomSimpleXml.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/Stream.h"

using namespace xml;

namespace {

std::string IndexErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const plat::EStringListError& e) {
        return e.Message();
    }
    return "no error";
}

} // namespace

TEST(DomSimpleXmlTree, NewDocumentHasAnEmptyRoot) {
    TDomSimpleXML doc;
    EXPECT_EQ(doc.Root()->Name(), "");
    EXPECT_EQ(doc.Root()->Items().Count(), 0);
    EXPECT_EQ(doc.Root()->Properties().Count(), 0);
    EXPECT_EQ(doc.Root()->ChildsCount(), 1);
    EXPECT_EQ(doc.Root()->GetSimpleXML(), &doc);
    EXPECT_EQ(doc.Options(), 14);
    EXPECT_EQ(doc.IndentString(), "  ");
    EXPECT_EQ(doc.Prolog().Count(), 0);
}

TEST(DomSimpleXmlTree, PositionsBeyondTheListGiveNullOrIndexErrors) {
    TDomSimpleXML doc;
    TDomSimpleXMLElems& items = doc.Root()->Items();
    EXPECT_EQ(items.Item(0), nullptr); // never used: no list yet
    EXPECT_EQ(items.Item(1), nullptr);
    items.Add("a");
    items.Add("b");
    EXPECT_EQ(items.Item(1)->Name(), "b");
    EXPECT_EQ(IndexErrorOf([&] { items.Item(2); }), "List index out of bounds (2)");
    EXPECT_EQ(IndexErrorOf([&] { items.Item(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(items.Item(3), nullptr);
    items.Clear();
    EXPECT_EQ(IndexErrorOf([&] { items.Item(0); }), "List index out of bounds (0)");

    TDomSimpleXMLProps& props = doc.Root()->Properties();
    EXPECT_EQ(props.Item(0), nullptr);
    props.Add("x", "1");
    EXPECT_EQ(IndexErrorOf([&] { props.Item(1); }), "List index out of bounds (1)");
    EXPECT_EQ(IndexErrorOf([&] { props.Item(-1); }), "List index out of bounds (-1)");
}

TEST(DomSimpleXmlTree, NamesAreFoundWithoutCaseAndRenamesTakeEffect) {
    TDomSimpleXML doc;
    TDomSimpleXMLElems& items = doc.Root()->Items();
    TDomSimpleXMLElem* frame = items.Add("Frame", "v");
    TDomSimpleXMLElem* apfel = items.Add("Äpfel");
    EXPECT_EQ(items.ItemByName("frame"), frame);
    EXPECT_EQ(items.ItemByName("äPFEL"), apfel);
    EXPECT_EQ(frame->Parent(), doc.Root());
    EXPECT_EQ(frame->Container(), &items);
    EXPECT_EQ(frame->Value(), "v");

    frame->SetName("");
    EXPECT_EQ(frame->Name(), "Frame");
    frame->SetName("Points");
    EXPECT_EQ(items.ItemByName("points"), frame);
    EXPECT_EQ(items.ItemByName("Frame"), nullptr);

    // The same name twice: the first is found.
    TDomSimpleXMLElem* second = items.Add("points");
    EXPECT_EQ(items.ItemByName("POINTS"), frame);
    EXPECT_EQ(items.Count(), 3);
    EXPECT_NE(second, frame);
}

TEST(DomSimpleXmlTree, LookupsFindTheKeyTheListHolds) {
    TDomSimpleXML doc;
    TDomSimpleXMLElems& items = doc.Root()->Items();
    // Named only after it was added: its key stays the empty name it was added with.
    TDomSimpleXMLElem* late = items.Add("");
    late->SetName("Late");
    EXPECT_EQ(items.ItemByName("Late"), nullptr);
    EXPECT_EQ(items.ItemByName(""), late);
    // Once it has a name, renaming it re-keys it.
    late->SetName("Later");
    EXPECT_EQ(items.ItemByName("later"), late);
    EXPECT_EQ(items.ItemByName(""), nullptr);

    // The list's own rename changes the key, not the name; elements elsewhere are left alone.
    TDomSimpleXMLElem* frame = items.Add("Frame");
    items.Rename(frame, "Alias");
    EXPECT_EQ(frame->Name(), "Frame");
    EXPECT_EQ(items.ItemByName("alias"), frame);
    EXPECT_EQ(items.ItemByName("Frame"), nullptr);
    TDomSimpleXMLElemClassic loose(nullptr);
    loose.SetName("Loose");
    items.Rename(&loose, "Frame");
    EXPECT_EQ(items.ItemByName("Frame"), nullptr);
    items.Rename(frame, "Frame");
    EXPECT_EQ(items.ItemByName("frame"), frame);

    // A list without an element: its children have no parent, so names never re-key them.
    TDomSimpleXMLElems detached(nullptr);
    TDomSimpleXMLElem* orphan = detached.Add("Old");
    orphan->SetName("New");
    EXPECT_EQ(detached.ItemByName("Old"), orphan);
    EXPECT_EQ(detached.ItemByName("New"), nullptr);

    // Moved or copied, an element is found by its name again.
    items.Rename(frame, "Alias");
    TDomSimpleXMLElem* other = doc.Root()->Items().Add("Other");
    other->Items().AddChild(frame);
    EXPECT_EQ(other->Items().ItemByName("Frame"), frame);
    EXPECT_EQ(items.ItemByName("Alias"), nullptr);
    detached.Rename(orphan, "Key");
    TDomSimpleXMLElemClassic copy(nullptr);
    TDomSimpleXMLElemClassic source(nullptr);
    source.Items().AddChild(orphan);
    copy.Assign(&source);
    EXPECT_NE(copy.Items().ItemByName("New"), nullptr);
}

TEST(DomSimpleXmlTree, DuplicateAttributesAreKeptAndTheFirstIsFound) {
    TDomSimpleXML doc;
    TDomSimpleXMLProps& props = doc.Root()->Properties();
    TDomSimpleXMLProp* first = props.Add("Title", "one");
    props.Add("title", "two");
    EXPECT_EQ(props.Count(), 2);
    EXPECT_EQ(props.ItemByName("TITLE"), first);
    EXPECT_EQ(props.ValueOf("Title"), "one");
    EXPECT_EQ(props.ValueOf("Missing", "dflt"), "dflt");
    EXPECT_EQ(props.Count(), 2);
    EXPECT_EQ(first->Parent(), &props);

    // Attributes stay where they are while more are added.
    for (int i = 0; i < 100; ++i)
        props.AddInteger("n" + std::to_string(i), i);
    EXPECT_EQ(first->Value(), "one");
    EXPECT_EQ(props.Item(101)->Name(), "n99");
    EXPECT_EQ(props.ItemByName("n57")->Value(), "57");
    EXPECT_EQ(props.AddBoolean("b", true)->Value(), "-1");
    EXPECT_EQ(props.AddBoolean("c", false)->Value(), "0");
    EXPECT_EQ(props.Item(101)->Parent(), &props);
}

TEST(DomSimpleXmlTree, AttributeNamesAndNamespacesChangeApart) {
    TDomSimpleXML doc;
    plat::TStringStream text("<r a='1' p:b='2' very-long-namespace-name:also-a-long-name='3'/>");
    doc.LoadFromStream(text);
    TDomSimpleXMLProps& props = doc.Root()->Properties();
    TDomSimpleXMLProp* added = props.Add("c", "4");
    struct TCase {
        int Index;
        const char* NameSpace; // set first, then the name
        const char* Name;
    };
    const TCase cases[] = {
        {0, "q", "a"},
        {1, "", "b"},
        {1, "p", "renamed"},
        {2, "n", "also-a-long-name"},
        {2, "a-namespace-longer-than-sixteen", "x"},
        {3, "q", "c:d"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Index);
        TDomSimpleXMLProp* prop = props.Item(c.Index);
        EXPECT_EQ(prop->Parent(), &props);
        const std::string value(prop->Value());
        prop->SetNameSpace(c.NameSpace);
        prop->SetName(c.Name);
        EXPECT_EQ(prop->NameSpace(), c.NameSpace);
        EXPECT_EQ(prop->Name(), c.Name);
        EXPECT_EQ(prop->Value(), value);
        // A name set from the attribute's own text.
        prop->SetName(prop->Name());
        prop->SetNameSpace(prop->NameSpace());
        EXPECT_EQ(prop->Name(), c.Name);
        EXPECT_EQ(prop->NameSpace(), c.NameSpace);
    }
    EXPECT_EQ(added->Parent(), &props);
    EXPECT_EQ(props.ItemByName("c:d"), added);
}

// An attribute keeps its place in the list and the size of its namespace beside its texts: texts of
// every length around the inline limit, very long namespaces and attributes far into one chunk must
// keep them through changes of the texts.
TEST(DomSimpleXmlTree, AttributesKeepTheirListAndNamespaceWhateverTheirTexts) {
    const size_t lengths[] = {0, 1, 4, 5, 6, 7, 12, 13, 14, 15, 16, 40};
    const std::string longNameSpace(5000, 'n');
    std::string text = "<r";
    std::vector<std::pair<std::string, std::string>> expected; // qualified name, value
    for (size_t n : lengths) {
        for (const std::string& nameSpace : {std::string(), std::string("p"), longNameSpace}) {
            const std::string name = "a" + std::string(n, 'b') + std::to_string(expected.size());
            const std::string qualified = nameSpace.empty() ? name : nameSpace + ":" + name;
            expected.emplace_back(qualified, std::string(n, 'v'));
            text += " " + qualified + "=\"" + expected.back().second + "\"";
        }
    }
    // Beyond the first 65536 places of one chunk.
    constexpr int kMany = 200000;
    for (int i = static_cast<int>(expected.size()); i < kMany; ++i) {
        expected.emplace_back("x" + std::to_string(i), std::to_string(i));
        text += " " + expected.back().first + "=\"" + expected.back().second + "\"";
    }
    TDomSimpleXML doc;
    plat::TStringStream stream(text + "/>");
    doc.LoadFromStream(stream);
    TDomSimpleXMLProps& props = doc.Root()->Properties();
    ASSERT_EQ(props.Count(), kMany);
    auto qualified = [](TDomSimpleXMLProp* p) {
        return p->NameSpace().empty() ? std::string(p->Name())
                                      : std::string(p->NameSpace()) + ":" + std::string(p->Name());
    };
    int wrong = 0;
    for (int i = 0; i < kMany; ++i) {
        TDomSimpleXMLProp* p = props.Item(i);
        wrong +=
            qualified(p) != expected[i].first || p->Value() != expected[i].second || p->Parent() != &props;
    }
    EXPECT_EQ(wrong, 0);

    for (int i : {0, 5, 6, 8, 11, 14, 17, 23, 65535, 65536, 131072, kMany - 1}) {
        SCOPED_TRACE(i);
        TDomSimpleXMLProp* p = props.Item(i);
        const std::string nameSpace(p->NameSpace()), name(p->Name());
        for (size_t n : lengths) {
            const std::string value(n, 'w');
            p->SetValue(value);
            EXPECT_EQ(p->Value(), value);
            EXPECT_EQ(p->NameSpace(), nameSpace);
            EXPECT_EQ(p->Name(), name);
            EXPECT_EQ(p->Parent(), &props);
            p->SetName(std::string(n, 'c'));
            EXPECT_EQ(p->Name(), std::string(n, 'c'));
            EXPECT_EQ(p->NameSpace(), nameSpace);
            EXPECT_EQ(p->Value(), value);
            p->SetName(name);
        }
        EXPECT_EQ(props.ItemByName(name), p);
    }

    // A long namespace is told from the name by its ":", so it may hold none of its own past that point.
    TDomSimpleXMLProp* p = props.Item(1);
    p->SetNameSpace(longNameSpace + "x");
    EXPECT_EQ(p->NameSpace(), longNameSpace + "x");
    p->SetName("with:colon");
    EXPECT_EQ(p->Name(), "with:colon");
    EXPECT_EQ(p->NameSpace(), longNameSpace + "x");
    EXPECT_THROW(p->SetNameSpace(longNameSpace + ":x"), EDomError);
    EXPECT_EQ(p->NameSpace(), longNameSpace + "x");
    p->SetNameSpace("short:with:colons");
    EXPECT_EQ(p->NameSpace(), "short:with:colons");
    EXPECT_EQ(p->Name(), "with:colon");
}

TEST(DomSimpleXmlTree, ElementNamesAndNamespacesChangeApart) {
    struct TCase {
        const char* Text;
        const char* NameSpace;
        const char* Name;
    };
    const TCase cases[] = {
        {"<x:r/>", "x", "r"},
        {"<r/>", "", "r"},
        {"<a:b:c/>", "b", "c"},
        {"<\xC4:\xD6/>", "\xC3\x84", "\xC3\x96"},
        // Name bytes after the attributes: the name is no longer right behind its namespace.
        {"<p:a x='1'?b></p:a?b>", "p", "a?b"},
    };
    TDomSimpleXML doc;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        plat::TStringStream text(c.Text);
        doc.LoadFromStream(text);
        TDomSimpleXMLElem* root = doc.Root();
        EXPECT_EQ(root->NameSpace(), c.NameSpace);
        EXPECT_EQ(root->Name(), c.Name);
        EXPECT_EQ(root->FullName(), *c.NameSpace ? std::string(c.NameSpace) + ":" + c.Name : c.Name);
        root->SetNameSpace("n");
        root->SetName("renamed");
        EXPECT_EQ(root->FullName(), "n:renamed");
        root->SetNameSpace(root->NameSpace());
        root->SetNameSpace({});
        EXPECT_EQ(root->FullName(), "renamed");
    }

    // A namespace of 64 KiB or more is told from the name by its ":", so it may hold none of its own past
    // that point.
    const std::string longNameSpace(70000, 'n');
    plat::TStringStream text("<" + longNameSpace + ":r><" + longNameSpace + ":c/></" + longNameSpace + ":r>");
    doc.LoadFromStream(text);
    TDomSimpleXMLElem* root = doc.Root();
    EXPECT_TRUE(root->NameSpace() == longNameSpace);
    EXPECT_EQ(root->Name(), "r");
    EXPECT_TRUE(root->Items().Item(0)->NameSpace() == longNameSpace);
    EXPECT_EQ(root->Items().Item(0)->Name(), "c");
    root->SetName("with:colon");
    EXPECT_EQ(root->Name(), "with:colon");
    EXPECT_TRUE(root->NameSpace() == longNameSpace);
    EXPECT_THROW(root->SetNameSpace(longNameSpace + ":x"), EDomError);
    EXPECT_TRUE(root->NameSpace() == longNameSpace);
    root->SetNameSpace("short:with:colons");
    EXPECT_EQ(root->FullName(), "short:with:colons:with:colon");
    EXPECT_EQ(root->Name(), "with:colon");
}

// An element keeps the size of its namespace, its kind and its flags beside its texts: texts of every
// length around the inline limit must leave them as they were.
TEST(DomSimpleXmlTree, ElementsKeepTheirNamespaceAndFlagsWhateverTheirTexts) {
    TDomSimpleXML doc;
    TDomSimpleXMLElem* root = doc.Root();
    root->SetName("r");
    root->SetNameSpace("ns");
    TDomSimpleXMLElem* child = root->Items().Add("child");
    root->Items().Rename(child, "key");
    TDomSimpleXMLElem* other = root->Items().Add("other");
    TDomSimpleXML elsewhere;
    for (size_t n : {0, 1, 4, 5, 6, 7, 13, 14, 40}) {
        SCOPED_TRACE(n);
        const std::string text(n, 't');
        for (TDomSimpleXMLElem* e : {root, child})
            e->SetValue(text);
        child->SetNameSpace(text);
        other->SetName("o" + text);
        other->SetNameSpace("p");
        EXPECT_EQ(root->Value(), text);
        EXPECT_EQ(root->FullName(), "ns:r");
        EXPECT_EQ(child->Value(), text);
        EXPECT_EQ(child->NameSpace(), text);
        EXPECT_EQ(child->Name(), "child");
        EXPECT_EQ(other->FullName(), "p:o" + text);
        // The list still finds the child by its key, and the root still belongs to its document.
        EXPECT_EQ(root->Items().ItemByName("key"), child);
        EXPECT_EQ(root->Items().ItemByName("child"), nullptr);
        EXPECT_THROW(elsewhere.Root()->Items().AddChild(root), EDomError);
    }
    EXPECT_EQ(root->Items().Count(), 2);
}

TEST(DomSimpleXmlTree, AutoCreateAddsMissingItemsOnLookup) {
    TDomSimpleXML doc;
    TDomSimpleXMLElem* root = doc.Root();
    EXPECT_EQ(root->Items().ItemByName("XAxis"), nullptr);
    EXPECT_EQ(root->Properties().ItemByName("Count"), nullptr);
    EXPECT_EQ(root->Items().Count(), 0);
    EXPECT_EQ(root->Properties().Count(), 0);

    doc.SetOptions(doc.Options() | sxoAutoCreate);
    TDomSimpleXMLElem* axis = root->Items().ItemByName("XAxis");
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->Name(), "XAxis");
    EXPECT_EQ(axis->Value(), "");
    EXPECT_EQ(root->Items().ItemByNameOrCreate("YAxis", "y")->Value(), "y");
    EXPECT_EQ(root->Items().Count(), 2);
    EXPECT_EQ(root->Properties().ValueOf("Count", "7"), "7");
    EXPECT_EQ(root->Properties().Count(), 1);
    // A list whose element hangs from no document never creates.
    TDomSimpleXMLElemClassic detached(nullptr);
    EXPECT_EQ(detached.Items().ItemByName("x"), nullptr);
    EXPECT_EQ(detached.Properties().ItemByName("x"), nullptr);
}

struct TReadingCase {
    const char* Text;
    char Decimal;
    int64_t Int;
    bool Bool;
    long double Float;
};

TEST(DomSimpleXmlTree, TypedReadingsFollowTheConversionRules) {
    const TReadingCase cases[] = {
        {"12", '.', 12, true, 12},
        {"abc", '.', -1, false, 0},
        {"", '.', -1, false, 0},
        {"-1", '.', -1, true, -1},
        {"1", '.', 1, true, 1},
        {"true", '.', -1, true, 0},
        {"TRUE", '.', -1, true, 0},
        {"False", '.', -1, false, 0},
        {"yes", '.', -1, false, 0},
        {"0", '.', 0, false, 0},
        {"0.0", '.', -1, false, 0},
        {"2.5", '.', -1, true, 2.5},
        {"2.5", ',', -1, false, 0},
        {"2,5", ',', -1, true, 2.5},
        {"2,5", '.', -1, false, 0},
        {"\t1", '.', -1, false, 0},
        {" 1", '.', 1, true, 1},
        {"1 ", '.', -1, true, 1},
        {"1e3", '.', -1, true, 1000},
        {"$FF", '.', 255, false, 0},
        {"0x1f", '.', 31, false, 0},
        {"-$10", '.', -16, false, 0},
        {"0x", '.', -1, false, 0},
        {"9223372036854775807", '.', INT64_MAX, true, 9223372036854775807.0L},
        {"-9223372036854775808", '.', INT64_MIN, true, -9223372036854775808.0L},
        {"9223372036854775808", '.', -1, true, 9223372036854775808.0L},
        {"0x8000000000000000", '.', -1, false, 0},
        {"4.94065645841247E-324", '.', -1, true, 4.94065645841247E-324L},
        // The extended range: beyond a double, within a long double.
        {"1e400", '.', -1, true, 1e400L},
        {"-2,5e-400", ',', -1, true, -2.5e-400L},
        {"1e5000", '.', -1, false, 0},
    };
    TDomSimpleXML doc;
    for (const TReadingCase& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.Text + "\" decimal " + c.Decimal);
        plat::TScopedFormatSettings scope;
        plat::FormatSettings().DecimalSeparator = c.Decimal;
        doc.Root()->SetValue(c.Text);
        EXPECT_EQ(doc.Root()->IntValue(), c.Int);
        EXPECT_EQ(doc.Root()->BoolValue(), c.Bool);
        EXPECT_EQ(doc.Root()->FloatValue(), c.Float);
        TDomSimpleXMLProp* prop = doc.Root()->Properties().Add("v", c.Text);
        EXPECT_EQ(prop->IntValue(), c.Int);
        EXPECT_EQ(prop->BoolValue(), c.Bool);
        EXPECT_EQ(prop->FloatValue(), c.Float);
    }
}

TEST(DomSimpleXmlTree, TypedWritingsUseTheFixedForms) {
    TDomSimpleXMLElemClassic e(nullptr);
    e.SetBoolValue(true);
    EXPECT_EQ(e.Value(), "-1");
    e.SetBoolValue(false);
    EXPECT_EQ(e.Value(), "0");
    e.SetIntValue(-42);
    EXPECT_EQ(e.Value(), "-42");
    e.SetFloatValue(1e20);
    EXPECT_EQ(e.Value(), "1E20");
    plat::TScopedFormatSettings scope;
    plat::FormatSettings().DecimalSeparator = ',';
    e.SetFloatValue(1.0 / 3);
    EXPECT_EQ(e.Value(), "0,333333333333333");
    EXPECT_DOUBLE_EQ(e.FloatValue(), 0.333333333333333);
}

TEST(DomSimpleXmlTree, AssignCopiesTheWholeSubtreeIntoNewElements) {
    TDomSimpleXML doc;
    TDomSimpleXMLElem* a = doc.Root()->Items().Add("A", "va");
    TDomSimpleXMLProp* ns = a->Properties().Add("x", "1");
    ns->SetNameSpace("p");
    TDomSimpleXMLElem* b = a->Items().Add("B");
    b->Items().Add("C", "vc")->Properties().Add("y", "2");
    auto* comment = new TDomSimpleXMLElemComment(b);
    comment->SetValue("note");
    b->Items().AddElement(comment);

    TDomSimpleXMLElem* copy = doc.Root()->Items().Add("Copy");
    copy->Assign(a);
    EXPECT_EQ(copy->Name(), "A");
    EXPECT_EQ(copy->Value(), "va");
    ASSERT_EQ(copy->Properties().Count(), 1);
    EXPECT_EQ(copy->Properties().Item(0)->Name(), "x");
    EXPECT_EQ(copy->Properties().Item(0)->NameSpace(), ""); // namespaces of attributes are not copied
    TDomSimpleXMLElem* b2 = copy->Items().Item(0);
    ASSERT_NE(b2, b);
    EXPECT_EQ(b2->Parent(), copy);
    EXPECT_EQ(b2->Items().Count(), 2);
    TDomSimpleXMLElem* c2 = b2->Items().Item(0);
    EXPECT_EQ(c2->Parent(), b2);
    EXPECT_EQ(c2->Value(), "vc");
    EXPECT_EQ(c2->Properties().ValueOf("y"), "2");
    EXPECT_TRUE(b2->Items().Item(1)->Is<TDomSimpleXMLElemComment>());
    EXPECT_EQ(b2->Items().Item(1)->Value(), "note");
    EXPECT_EQ(copy->ChildsCount(), 4);
    EXPECT_EQ(a->ChildsCount(), 4);
    EXPECT_EQ(b->Items().Count(), 2); // the source is untouched

    // From one of its own descendants: the source must survive the clearing.
    a->Assign(b);
    EXPECT_EQ(a->Name(), "B");
    EXPECT_EQ(a->Value(), "");
    EXPECT_EQ(a->Items().Count(), 2);
    EXPECT_EQ(a->Items().Item(0)->Name(), "C");

    TDomSimpleXMLElemHeader h1(nullptr), h2(nullptr);
    h1.SetEncoding("UTF-8");
    h1.SetStandalone(true);
    h2.Assign(&h1);
    EXPECT_EQ(h2.Encoding(), "UTF-8");
    EXPECT_TRUE(h2.Standalone());

    copy->Assign(nullptr);
    EXPECT_EQ(copy->Items().Count(), 0);
    EXPECT_EQ(copy->Properties().Count(), 0);
}

TEST(DomSimpleXmlTree, MovingElementsKeepsOwnershipConsistent) {
    TDomSimpleXML doc;
    TDomSimpleXMLElem* a = doc.Root()->Items().Add("a");
    TDomSimpleXMLElem* b = doc.Root()->Items().Add("b");
    TDomSimpleXMLElem* x = a->Items().Add("x");
    b->Items().AddChild(x);
    EXPECT_EQ(a->Items().Count(), 0);
    EXPECT_EQ(b->Items().Item(0), x);
    EXPECT_EQ(x->Parent(), b);
    EXPECT_EQ(x->Container(), &b->Items());

    // A freed element leaves its list instead of staying behind as a dangling entry.
    delete x;
    EXPECT_EQ(b->Items().Count(), 0);

    EXPECT_THROW(a->Items().AddChild(doc.Root()), EDomError);
    EXPECT_THROW(a->Items().Add("inner")->Items().AddChild(a), EDomError);
    EXPECT_EQ(a->Items().AddElement(nullptr), nullptr);
    EXPECT_EQ(doc.Root()->ChildsCount(), 4);
}

// A pooled build writes what a plain one writes, and its nodes stay sound when they are edited,
// renamed, or moved into a document that outlives the one that built them.
TEST(DomSimpleXmlTree, NodesBuiltInAPoolBehaveAsHeapNodes) {
    auto build = [](TDomSimpleXML& doc) {
        doc.Root()->SetName("chart");
        for (int i = 0; i < 300; ++i) {
            TDomSimpleXMLElem* e =
                doc.Root()->Items().Add("longerElementName", "value text " + std::to_string(i));
            for (int k = 0; k < 6; ++k)
                e->Properties().Add("attribute" + std::to_string(k),
                                    "a value & more " + std::to_string(i * k));
        }
    };
    auto text = [](TDomSimpleXML& doc) {
        plat::TStringStream out;
        doc.SaveToStream(out);
        return out.DataString();
    };
    TDomSimpleXML plain;
    build(plain);
    auto pooled = std::make_unique<TDomSimpleXML>();
    pooled->UseBuildPool();
    build(*pooled);
    EXPECT_EQ(text(*pooled), text(plain));

    TDomSimpleXMLElem* moved = pooled->Root()->Items().Item(7);
    moved->SetName("renamedElement");
    moved->SetValue("a new value, long enough");
    moved->Properties().Item(2)->SetValue("an edited attribute value");
    moved->Properties().Add("added", "after the build");
    TDomSimpleXML other;
    other.Root()->SetName("other");
    other.Root()->Items().AddChild(moved);
    pooled.reset();
    ASSERT_EQ(other.Root()->Items().Count(), 1);
    TDomSimpleXMLElem* e = other.Root()->Items().Item(0);
    EXPECT_EQ(e->Name(), "renamedElement");
    EXPECT_EQ(e->Value(), "a new value, long enough");
    EXPECT_EQ(e->Properties().Count(), 7);
    EXPECT_EQ(e->Properties().Item(1)->Value(), "a value & more 7");
    EXPECT_EQ(e->Properties().Item(2)->Value(), "an edited attribute value");
    EXPECT_EQ(e->Properties().ItemByName("added")->Value(), "after the build");
    EXPECT_NE(text(other).find("<renamedElement"), std::string::npos);
}
