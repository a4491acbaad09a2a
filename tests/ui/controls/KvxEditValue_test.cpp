// The typed edit's value model: how text becomes a number and back, per edit type and locale.
#include <gtest/gtest.h>

#include "EditTestUtil.h"

using namespace plat;
using namespace ui;
using namespace edittest;

namespace {

class EditValueTest : public EditFixture {};

TEST(EditValueRules, ClassifiesNumberTexts) {
    TScopedFormatSettings locale(English());
    struct Case {
        const char* Text;
        int Class;
    } cases[] = {{"123", 0},     {"-1.5", 1}, {"1A", 5},    {"", 2},    {"1.2.3", 2}, {"--1", 2},
                 {"1,234.5", 1}, {",12", 2},  {"1,2,3", 2}, {"abc", 5}, {"1x", 2}};
    for (const Case& c : cases)
        EXPECT_EQ(TKvxEdit::ClassifyNumberText(c.Text), c.Class) << c.Text;
}

TEST(EditValueRules, MixedCaseCapitalisesWordsAndNamePrefixes) {
    struct Case {
        const char* In;
        const char* Out;
    } cases[] = {{"mcdonald", "McDonald"},
                 {"macarthur", "MacArthur"},
                 {"henry iii", "Henry III"},
                 {"o-brien smith", "O-Brien Smith"},
                 {"d'ARTAGNAN", "D'artagnan"},
                 {"JOHN (jack) doe", "John (Jack) Doe"},
                 {"", ""}};
    for (const Case& c : cases)
        EXPECT_EQ(TKvxEdit::ToMixedCase(c.In), c.Out) << c.In;
}

TEST(EditValueRules, HexTextIgnoresForeignCharactersAndWrapsIn32Bits) {
    EXPECT_EQ(TKvxEdit::HexTextToInt("FF"), 255);
    EXPECT_EQ(TKvxEdit::HexTextToInt("-1f"), 31);
    EXPECT_EQ(TKvxEdit::HexTextToInt("1FFFFFFFF"), -1);
    EXPECT_EQ(TKvxEdit::HexTextToInt(""), 0);
}

TEST(EditValueRules, ThousandSeparatorsAreIgnoredWhereverTheyStand) {
    {
        TScopedFormatSettings locale(English());
        EXPECT_DOUBLE_EQ(TKvxEdit::ValueToFloat("50,00"), 5000);
        EXPECT_DOUBLE_EQ(TKvxEdit::ValueToFloat("1,234.5"), 1234.5);
        EXPECT_DOUBLE_EQ(TKvxEdit::ValueToFloat("x"), 0);
    }
    TScopedFormatSettings locale(German());
    EXPECT_DOUBLE_EQ(TKvxEdit::ValueToFloat("1.234,5"), 1234.5);
    EXPECT_DOUBLE_EQ(TKvxEdit::ValueToFloat(" 2,5E1 "), 25);
}

TEST_F(EditValueTest, WritingAValueFormatsItByType) {
    struct Case {
        TKvxEditType Type;
        int Precision;
        TPrecisionDisplay Display;
        const char* Value;
        const char* Shown;
    } cases[] = {
        {etNumeric, 0, pdNormal, "", "0"},
        {etFloat, 0, pdNormal, "", "0"},
        {etMoney, 0, pdNormal, "", "0"},
        {etHex, 0, pdNormal, "", "0"},
        {etString, 0, pdNormal, "", ""},
        {etFloat, 2, pdNormal, "3", "3.00"},
        {etFloat, 2, pdShortest, "3.50", "3.5"},
        {etMoney, 2, pdNormal, "1234.5", "1,234.50"},
        {etHex, 0, pdNormal, "ab", "AB"},
        {etNumeric, 0, pdNormal, "abc", "abc"},
        {etFloat, -1, pdNormal, "1.2345", "1.2345"},
    };
    for (const Case& c : cases) {
        Edit->SetEditType(c.Type);
        Edit->SetPrecisionDisplay(c.Display);
        Edit->SetPrecision(c.Precision);
        Edit->SetTextProp(c.Value);
        EXPECT_EQ(Edit->Text(), c.Shown) << kKvxEditTypeNames[c.Type] << " " << c.Value;
        EXPECT_FALSE(Edit->ModifiedState());
        Edit->SetTextProp("");
        Edit->SetPrecision(0);
        Edit->SetPrecisionDisplay(pdNormal);
        Edit->SetEditType(etString);
    }
}

TEST_F(EditValueTest, AffixesSurroundTheValueAndAreNotPartOfIt) {
    Edit->SetEditType(etNumeric);
    Edit->SetTextProp("12");
    Edit->SetPrefix("$ ");
    Edit->SetSuffix(" kg");
    EXPECT_EQ(Edit->WindowText(), "$ 12 kg");
    EXPECT_EQ(Edit->Text(), "12");
    EXPECT_EQ(Edit->IntegerValue(), 12);
    Edit->SetIntegerValue(7);
    EXPECT_EQ(Edit->WindowText(), "$ 7 kg");
    Edit->SetPrefix("");
    EXPECT_EQ(Edit->WindowText(), "7 kg");
}

TEST_F(EditValueTest, ShortestFormFollowsTheLocale) {
    TScopedFormatSettings german(German());
    Edit->SetEditType(etFloat);
    Edit->SetPrecisionDisplay(pdShortest);
    Edit->SetTextProp("3,50");
    EXPECT_EQ(Edit->Text(), "3,5");
    Edit->SetPrecision(11);
    Edit->SetFloatValue(0.000001);
    EXPECT_NE(Edit->Text().find('E'), std::string::npos) << Edit->Text();
    EXPECT_DOUBLE_EQ(Edit->FloatValue(), 0.000001);
}

// A numeric edit writes a float with thousand separators; reading it as an integer must see the whole
// number, not stop at the separator.
TEST_F(EditValueTest, NumericValuesSurviveTheirThousandSeparators) {
    for (const TFormatSettings& fs : {English(), German()}) {
        TScopedFormatSettings locale(fs);
        Edit->SetEditType(etNumeric);
        Edit->SetFloatValue(2047);
        EXPECT_EQ(Edit->Text(), std::string("2") + fs.ThousandSeparator + "047");
        EXPECT_DOUBLE_EQ(Edit->FloatValue(), 2047);
        EXPECT_EQ(Edit->IntegerValue(), 2047);
        EXPECT_TRUE(Edit->ModifiedState());
        Edit->SetFloatValue(-1234567);
        EXPECT_EQ(Edit->IntegerValue(), -1234567);
    }
}

TEST_F(EditValueTest, ReadsNumbersPerType) {
    struct Case {
        TKvxEditType Type;
        const char* Text;
        double Float;
        int Integer;
    } cases[] = {
        {etFloat, "-", 0, 0},
        {etFloat, "1,234.5", 1234.5, 1},
        {etFloat, "12.50", 12.5, 12},
        {etMoney, "12.", 12, 12},
        {etMoney, "1,234.56", 1234.56, 1234},
        {etString, "3.5abc", 3.5, 0},
        {etString, "abc", 0, 0},
        {etHex, "FF", 255, 255},
        {etRange, "1-5", 0, 0},
        {etNumeric, "0x1F", 0, 31},
        {etNumeric, "", 0, 0},
        {etNumeric, "-12a", 0, 12},
    };
    for (const Case& c : cases) {
        Edit->SetEditType(c.Type);
        Edit->SetWindowTextRaw(c.Text);
        EXPECT_DOUBLE_EQ(Edit->FloatValue(), c.Float) << kKvxEditTypeNames[c.Type] << " '" << c.Text << "'";
        EXPECT_EQ(Edit->IntegerValue(), c.Integer) << kKvxEditTypeNames[c.Type] << " '" << c.Text << "'";
        Edit->SetEditType(etString);
    }
}

TEST_F(EditValueTest, WritesNumbersPerType) {
    Edit->SetEditType(etHex);
    Edit->SetIntegerValue(-1);
    EXPECT_EQ(Edit->Text(), "FFFFFFFF");
    Edit->SetFloatValue(-1);
    EXPECT_EQ(Edit->Text(), "FFFFFFFFFFFFFFFF");
    Edit->SetFloatValue(255.9);
    EXPECT_EQ(Edit->Text(), "FF");
    Edit->SetEditType(etFloat);
    Edit->SetPrecision(2);
    Edit->SetIntegerValue(3);
    EXPECT_EQ(Edit->Text(), "3.00");
    Edit->SetEditType(etRange);
    Edit->SetTextProp("1-3");
    Edit->SetFloatValue(5);
    EXPECT_EQ(Edit->Text(), "1-3");
}

TEST_F(EditValueTest, MoneyRegroupsTheIntegerPartAndKeepsTheCaretFromTheEnd) {
    Edit->SetEditType(etMoney);
    for (bool grouped : {true, false}) {
        Edit->SetAutoThousandSeparator(grouped);
        Edit->SetWindowTextRaw("-1234567.5");
        Edit->SetSelStart(3); // two characters into the digits, 7 from the end
        Edit->FormatMoney();
        EXPECT_EQ(Edit->Text(), grouped ? "-1,234,567.5" : "-1234567.5");
        EXPECT_EQ(Edit->CharCount() - Edit->SelStart(), 7);
    }
}

TEST_F(EditValueTest, ChangingTheTypeResetsValuesItCannotRead) {
    struct Case {
        TKvxEditType To;
        const char* Text;
        const char* After;
    } cases[] = {{etNumeric, "12", "12"},  {etNumeric, "1.5", "0"}, {etFloat, "1.5", "1.5"},
                 {etFloat, "abc", "0.00"}, {etHex, "1A", "1A"},     {etHex, "xyz", "0"}};
    for (const Case& c : cases) {
        Edit->SetEditType(etString);
        Edit->SetPrecision(c.To == etFloat ? 2 : 0);
        Edit->SetTextProp(c.Text);
        Edit->SetEditType(c.To);
        EXPECT_EQ(Edit->Text(), c.After) << kKvxEditTypeNames[c.To] << " " << c.Text;
    }
    Edit->SetEditType(etNumeric);
    Edit->SetPrecision(3);
    EXPECT_EQ(Edit->Precision(), 0);
    Edit->SetEditType(etPassword);
    EXPECT_EQ(Edit->PasswordChar(), U'*');
    EXPECT_FALSE(Edit->CanUndo());
}

TEST_F(EditValueTest, LinksAreRecognisedBySchemeAtSignOrWwwPrefix) {
    struct Case {
        const char* Text;
        bool Link;
    } cases[] = {{"http://x.org", true}, {"a@b", true},    {"@b", false},        {"WWW.x.org", true},
                 {"www", false},         {"plain", false}, {"mailto:me@x", true}};
    for (const Case& c : cases) {
        Edit->SetTextProp(c.Text);
        EXPECT_EQ(Edit->IsURL(), c.Link) << c.Text;
    }
}

} // namespace
