// An object's properties as one list of the binary stream, as binary properties carry sub-objects.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "StreamFamily.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/Exception.h"

using namespace plat;
using namespace family;
using namespace std::string_literals;

namespace {

std::string ListOf(TPersistent* Instance) {
    TMemoryStream s;
    WritePropertyList(s, Instance);
    return std::string(s.Bytes().begin(), s.Bytes().end());
}

void ReadList(const std::string& Bytes, TPersistent* Instance) {
    TStringStream s(Bytes);
    ReadPropertyList(s, Instance);
}

} // namespace

TEST(PropertyList, ByteLayoutLeavesDefaultsOut) {
    TPen pen;
    EXPECT_EQ(ListOf(&pen), "\x01\x00"s);
    pen.SetWidth(3);
    pen.SetColor(clRed);
    EXPECT_EQ(ListOf(&pen), "\x01\x05Width\x02\x03\x05"
                            "Color\x07\x05"
                            "clRed\x00"s);
}

TEST(PropertyList, RoundTripsNestedEnumAndDefinedValuesAndStopsAfterTheList) {
    RegisterFamily();
    TWidget w(nullptr);
    w.SetWidth(300);
    w.Shape = stTriangle;
    w.Sides = (1u << sdLeft) | (1u << sdBottom);
    w.Caption = "Grüße";
    w.Color = clRed;
    w.Ratio = 0.25;
    w.Pen()->SetWidth(7);
    w.Pen()->SetColor(0x123456);
    w.Data = {0, 1, 0xFF};
    w.Extra = {"a", "b"};
    auto* mark = static_cast<TMark*>(w.Marks()->Add());
    mark->Text = "m";
    mark->Shape = stCircle;

    TStringStream s(ListOf(&w) + "tail");
    TWidget back(nullptr);
    ReadPropertyList(s, &back);
    EXPECT_EQ(s.ReadString(4), "tail");

    EXPECT_EQ(back.Width(), 300);
    EXPECT_EQ(back.Shape, stTriangle);
    EXPECT_EQ(back.Sides, w.Sides);
    EXPECT_EQ(back.Caption, "Grüße");
    EXPECT_EQ(back.Color, clRed);
    EXPECT_EQ(back.Ratio, 0.25);
    EXPECT_EQ(back.Pen()->Width(), 7);
    EXPECT_EQ(back.Pen()->Color(), 0x123456);
    EXPECT_EQ(back.Data, w.Data);
    EXPECT_EQ(back.Extra, w.Extra);
    ASSERT_EQ(back.Marks()->Count(), 1);
    EXPECT_EQ(static_cast<TMark*>(back.Marks()->Items(0))->Text, "m");
    EXPECT_EQ(static_cast<TMark*>(back.Marks()->Items(0))->Shape, stCircle);
    EXPECT_EQ(ListOf(&back), ListOf(&w));
}

TEST(PropertyList, ReferencesAndEventsNeedARoot) {
    RegisterFamily();
    TWidget buddy(nullptr);
    buddy.SetName("buddy");
    TWidget w(nullptr);
    w.SetBuddy(&buddy);
    // Nothing to resolve a name against when read back, so it is not written.
    EXPECT_EQ(ListOf(&w), "\x01\x00"s);
    // Given such values, the reader refuses them instead of following a missing root.
    TWidget back(nullptr);
    EXPECT_THROW(ReadList("\x01\x05"
                          "Buddy\x07\x05"
                          "buddy\x00"s,
                          &back),
                 EReadError);
    EXPECT_THROW(ReadList("\x01\x07OnClick\x07\x05"
                          "btnOk\x00"s,
                          &back),
                 EReadError);
    ReadList("\x01\x05"
             "Buddy\x0D\x00"s,
             &back);
    EXPECT_EQ(back.Buddy(), nullptr);
}

TEST(PropertyList, DamagedListsRaiseReadErrors) {
    RegisterFamily();
    const struct {
        const char* What;
        std::string Bytes;
    } cases[] = {
        {"empty", ""},
        {"not a list", "\x02\x05"s},
        {"no end marker", "\x01"s},
        {"name cut short", "\x01\x05Wid"s},
        {"value missing", "\x01\x05Width"s},
        {"value cut short", "\x01\x05Width\x04\x01\x02"s},
        {"end marker missing", "\x01\x05Width\x02\x03"s},
        {"unknown value tag", "\x01\x05Width\x63\x00"s},
        {"string longer than the data", "\x01\x07"
                                        "Caption\x14\xFF\xFF\xFF\x7F"
                                        "ab\x00"s},
        {"unknown property", "\x01\x05"
                             "Depth\x02\x03\x00"s},
        {"value of another kind", "\x01\x05Width\x06\x01x\x00"s},
        {"unknown enum name", "\x01\x05Shape\x07\x04stOv\x00"s},
        {"unknown nested property", "\x01\x08Pen.Size\x02\x01\x00"s},
        {"nested too deeply", "\x01\x05"
                              "Extra"s +
                                  std::string(100000, '\x01')},
    };
    for (const auto& c : cases) {
        TWidget w(nullptr);
        EXPECT_THROW(ReadList(c.Bytes, &w), EReadError) << c.What;
    }
    // Every prefix of a valid list is damaged too.
    TWidget full(nullptr);
    full.SetWidth(5);
    full.Pen()->SetWidth(2);
    full.Data = {1, 2, 3};
    const std::string valid = ListOf(&full);
    for (size_t n = 0; n < valid.size(); ++n) {
        TWidget w(nullptr);
        EXPECT_THROW(ReadList(valid.substr(0, n), &w), EReadError) << n;
    }
}
