#include "platform/rtl/ComponentStream.h"

#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "StreamFamily.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"

using namespace plat;
using namespace family;

namespace {

std::string Fixture(const char* name) {
    std::ifstream in(std::string(LUMETRA_TEST_DATA) + "/rtl/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Binary(TComponent* c) {
    TMemoryStream s;
    WriteComponent(s, c);
    return std::string(s.Bytes().begin(), s.Bytes().end());
}

std::unique_ptr<TComponent> ReadBinary(const std::string& bytes) {
    TStringStream s(bytes);
    return std::unique_ptr<TComponent>(ReadComponentFromStream(s));
}

class ComponentStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFamily();
        gLoaded.clear();
    }
};

TEST_F(ComponentStreamTest, ByteLayout) {
    TWidget w(nullptr);
    w.SetName("w");
    w.SetWidth(80);
    w.Caption = "hi";
    w.Visible = false;
    w.Data = {1, 2};
    using namespace std::string_literals;
    const std::string expected = "TPF0\x07TWidget\x01w"
                                 "\x05Width\x02\x50"
                                 "\x07"
                                 "Caption\x06\x02hi"
                                 "\x07Visible\x08"
                                 "\x04"
                                 "Data\x0A\x02\x00\x00\x00\x01\x02"
                                 "\x00\x00"s;
    EXPECT_EQ(Binary(&w), expected);
}

TEST_F(ComponentStreamTest, ValuesKeepTheirKindsAndUseTheSmallestTags) {
    TFilerObject tree;
    tree.ClassName = "TThing";
    const int64_t ints[] = {0, -128, 127, 128, -32768, 32768, INT32_MIN, INT64_MAX, INT64_MIN};
    const uint8_t tags[] = {vaInt8, vaInt8, vaInt8, vaInt16, vaInt16, vaInt32, vaInt32, vaInt64, vaInt64};
    TFilerValue list;
    list.Kind = TFilerValue::List;
    for (int64_t i : ints) {
        TFilerValue v;
        v.Kind = TFilerValue::Int;
        v.IntValue = i;
        list.Items.push_back(v);
    }
    TFilerValue f;
    f.Kind = TFilerValue::Float;
    f.FloatValue = -0.1;
    list.Items.push_back(f);
    TFilerValue longText;
    longText.Kind = TFilerValue::String;
    longText.Text = std::string(300, 'a');
    list.Items.push_back(longText);
    TFilerValue utf8;
    utf8.Kind = TFilerValue::String;
    utf8.Text = "\xC3\xA4";
    list.Items.push_back(utf8);
    tree.Properties.push_back({"L", list, 0});

    TMemoryStream out;
    WriteObjectBinary(out, tree);
    const std::vector<uint8_t>& bytes = out.Bytes();
    size_t pos = 4 + 7 + 1 + 2 + 1; // signature, class, empty name, "L", list tag
    for (size_t i = 0; i < std::size(ints); ++i) {
        EXPECT_EQ(bytes[pos], tags[i]) << ints[i];
        pos += 1 + (tags[i] == vaInt8 ? 1 : tags[i] == vaInt16 ? 2 : tags[i] == vaInt32 ? 4 : 8);
    }
    EXPECT_EQ(bytes[pos], vaDouble);
    EXPECT_EQ(bytes[pos + 9], vaUTF8String);
    EXPECT_EQ(bytes[pos + 9 + 5 + 300], vaUTF8String);

    out.SetPosition(0);
    const TFilerObject back = ReadObjectBinary(out);
    ASSERT_EQ(back.Properties.size(), 1u);
    const auto& items = back.Properties[0].Value.Items;
    ASSERT_EQ(items.size(), list.Items.size());
    for (size_t i = 0; i < std::size(ints); ++i)
        EXPECT_EQ(items[i].IntValue, ints[i]);
    EXPECT_EQ(items[9].FloatValue, -0.1);
    EXPECT_EQ(items[10].Text, longText.Text);
    EXPECT_EQ(items[11].Text, utf8.Text);
    EXPECT_EQ(out.Position(), out.Size());
}

TEST_F(ComponentStreamTest, RoundTripsAndConvertsToTheSameText) {
    const std::string text = Fixture("test_form.txt");
    auto form = std::unique_ptr<TComponent>(ReadComponentFromText(text));
    const std::string bytes = Binary(form.get());
    ASSERT_EQ(bytes.substr(0, 4), "TPF0");

    gLoaded.clear();
    auto copy = ReadBinary(bytes);
    EXPECT_EQ(gLoaded, (std::vector<std::string>{"fmTest", "btn_ok->panel", "panel", "inner"}));
    EXPECT_EQ(WriteComponentToText(copy.get()), text);
    EXPECT_EQ(static_cast<TTestForm*>(copy.get())->btn_ok->Data, (std::vector<uint8_t>{0x00, 0xFF, 0x10}));

    // text -> binary gives the bytes the writer makes; binary -> text gives the text back.
    TStringStream textIn(text);
    TMemoryStream converted;
    ObjectTextToBinary(textIn, converted);
    EXPECT_EQ(std::string(converted.Bytes().begin(), converted.Bytes().end()), bytes);
    converted.SetPosition(0);
    TStringStream textOut;
    ObjectBinaryToText(converted, textOut);
    EXPECT_EQ(textOut.DataString(), text);
}

// Words the text form uses for its structure are also names a stream may hold; every place a name
// stands must convert to text and back to the same bytes.
TEST_F(ComponentStreamTest, KeywordNamesSurviveTheTextForm) {
    auto viaText = [](const std::string& bytes) {
        TStringStream in(bytes);
        TStringStream text;
        ObjectBinaryToText(in, text);
        TStringStream textIn(text.DataString());
        TMemoryStream back;
        ObjectTextToBinary(textIn, back);
        return std::string(back.Bytes().begin(), back.Bytes().end());
    };
    // A root of class "d" with one property "end" holding True, nothing else.
    const std::string reproduction("TPF0\x01"
                                   "d\x00\x03"
                                   "end\x09\x00\x00",
                                   14);
    EXPECT_EQ(viaText(reproduction), reproduction);

    for (const char* word : {"end", "End", "object", "OBJECT", "inherited", "inline", "item"}) {
        SCOPED_TRACE(word);
        auto prop = [&](TFilerValue::TKind kind) {
            TFilerProperty p;
            p.Name = word;
            p.Value.Kind = kind;
            return p;
        };
        TFilerValue item;
        item.Kind = TFilerValue::List;
        item.Properties = {prop(TFilerValue::True), prop(TFilerValue::Nil)};
        TFilerProperty items = prop(TFilerValue::Collection);
        items.Value.Items = {item, item};
        TFilerObject child;
        child.ClassName = word;
        child.Name = word;
        child.Properties = {prop(TFilerValue::False)};
        TFilerObject root;
        root.ClassName = "TRoot";
        root.Properties = {prop(TFilerValue::True), items, prop(TFilerValue::Nil)};
        root.Children = {child, child};
        TMemoryStream binary;
        WriteObjectBinary(binary, root);
        const std::string bytes(binary.Bytes().begin(), binary.Bytes().end());
        EXPECT_EQ(viaText(bytes), bytes);
    }
}

TEST_F(ComponentStreamTest, ReadingStopsAfterTheObjectAndLeavesTheRest) {
    TWidget w(nullptr);
    w.SetName("w");
    const std::string bytes = Binary(&w) + "tail";
    TStringStream s(bytes);
    std::unique_ptr<TComponent> read(ReadComponentFromStream(s));
    EXPECT_EQ(read->Name(), "w");
    EXPECT_EQ(s.ReadString(4), "tail");
}

TEST_F(ComponentStreamTest, DamagedStreamsRaiseReadErrors) {
    auto message = [](const std::string& bytes) -> std::string {
        try {
            ReadBinary(bytes);
        } catch (const EReadError& e) {
            return e.what();
        }
        return "no error";
    };
    using namespace std::string_literals;
    EXPECT_EQ(message("TPF1\x07TWidget\x00\x00\x00"s), "Invalid stream format");
    EXPECT_EQ(message("TPF0\x07TWidget\x00\x01X\x14\xFF\xFF\xFF\x7F"
                      "abc"s),
              "Unexpected end of component stream");
    EXPECT_EQ(message("TPF0\x07TWidget\x00\x01X\x0A\x00\x00\x00\x80"s), "Invalid length in component stream");
    EXPECT_EQ(message("TPF0\x07TWidget\x00\x01X\x63\x00\x00"s), "Invalid value type 99 in component stream");
    EXPECT_EQ(message("TPF0\x07TWi get\x00\x00\x00"s), "Invalid class name in component stream");
    EXPECT_EQ(message("TPF0\x07TWidget\x00\x02X \x08\x00\x00"s), "Invalid property name in component stream");
    EXPECT_EQ(message("TPF0\x07TWidget\x00\x01X\x07\x02#!\x00\x00"s),
              "Invalid identifier in component stream");
    EXPECT_EQ(message("TPF0\x07TWidget\x00\x01X"s + std::string(100000, '\x01')),
              "Component stream nested too deeply");

    std::unique_ptr<TComponent> form(ReadComponentFromText(Fixture("test_form.txt")));
    const std::string valid = Binary(form.get());
    for (size_t n = 0; n < valid.size(); ++n)
        EXPECT_THROW(ReadBinary(valid.substr(0, n)), EReadError) << n;
}

TEST_F(ComponentStreamTest, RandomBytesRaiseCleanly) {
    std::unique_ptr<TComponent> form(ReadComponentFromText(Fixture("test_form.txt")));
    const std::string valid = Binary(form.get());
    uint32_t seed = 777;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFF;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = valid;
        for (unsigned n = next() % 4 + 1; n > 0; --n) {
            const size_t at = 4 + next() % (bytes.size() - 4);
            bytes[at] = static_cast<char>(round % 3 == 0 ? next() & 0xFF : next() % 24);
        }
        try {
            ReadBinary(bytes);
        } catch (const Exception&) {
        }
        try {
            TStringStream in(bytes);
            TMemoryStream out;
            ObjectBinaryToText(in, out);
        } catch (const Exception&) {
        }
    }
}

} // namespace
