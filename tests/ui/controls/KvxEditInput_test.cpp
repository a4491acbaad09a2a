// The typed edit under the user's hands: typing per edit type, the clipboard, focus exit, Escape,
// Return and the length limit, driven through the headless display.
#include <gtest/gtest.h>

#include <functional>

#include "EditTestUtil.h"
#include "platform/ui/Clipboard.h"

using namespace plat;
using namespace ui;
using namespace edittest;

namespace {

class EditInputTest : public EditFixture {};

struct TypingCase {
    const char* Name;
    TKvxEditType Type;
    std::function<void(TKvxEdit&)> Setup;
    const char* Start;
    int SelStart, SelLength; // -1: the caret at the end
    const char* Typed;
    const char* Expected;
    int Caret; // -1: not checked
};

TEST_F(EditInputTest, EachTypeTakesOnlyItsCharacters) {
    auto signedNumber = [](TKvxEdit& e) { e.SetSigned(true); };
    auto precision2 = [](TKvxEdit& e) { e.SetPrecision(2); };
    auto none = [](TKvxEdit&) {};
    const TypingCase cases[] = {
        {"sign toggles on", etNumeric, signedNumber, "12", 2, 0, "-", "-12", 3},
        {"sign toggles off", etNumeric, signedNumber, "-12", 3, 0, "-", "12", 2},
        {"sign needs Signed", etNumeric, none, "12", 2, 0, "-", "12", 2},
        {"sign replaces a whole selection", etNumeric, signedNumber, "12", 0, 2, "-", "-", 1},
        {"digits only", etNumeric, none, "", 0, 0, "1a2.", "12", 2},
        {"decimals full at the end", etFloat, precision2, "1.23", 4, 0, "4", "1.23", 4},
        {"decimals overwritten", etFloat, precision2, "1.23", 3, 0, "9", "1.29", 4},
        {"separator jumps behind the existing one", etFloat, precision2, "12.50", 1, 0, ".", "12.50", 3},
        {"no separator without decimals", etFloat, none, "12", 2, 0, ".", "12", 2},
        {"separator in an empty edit", etFloat, precision2, "", 0, 0, ".", "0.", 2},
        {"no exponent", etFloat, precision2, "1", 1, 0, "Ee", "1", 1},
        {"float sign toggle", etFloat, [](TKvxEdit& e) { e.SetSigned(true); }, "1.5", 3, 0, "-", "-1.5", 4},
        {"money groups thousands", etMoney, none, "", 0, 0, "1234", "1,234", 5},
        {"money keeps typed decimals", etMoney, precision2, "", 0, 0, "1234.5", "1,234.5", 7},
        {"range separator after a separator", etRange, none, "1-5", 2, 0, ",", "1-5", 2},
        {"range separator at the start", etRange, none, "1-5", 0, 0, ",", "1-5", 0},
        {"range separator after a number", etRange, none, "1-5", 3, 0, ";7", "1-5;7", 5},
        {"hex digits and minus", etHex, none, "", 0, 0, "a-gF", "a-F", 3},
        {"upper case", etUppercase, none, "", 0, 0, "abc", "ABC", 3},
        {"lower case", etLowerCase, none, "", 0, 0, "AbC", "abc", 3},
        {"mixed case", etMixedCase, none, "", 0, 0, "mcdonald smith", "McDonald Smith", 14},
        {"letters and digits", etAlphaNumeric, none, "", 0, 0, "a-1_B", "a1B", 3},
        {"valid characters", etValidChars, [](TKvxEdit& e) { e.SetValidChars("01"); }, "", 0, 0, "0x12", "01",
         2},
        {"string takes all", etString, none, "", 0, 0, "a-1 .", "a-1 .", 5},
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* e = New(120, 60);
        e->SetEditType(c.Type);
        c.Setup(*e);
        e->SetWindowTextRaw(c.Start);
        TypeAt(e, c.SelStart, c.SelLength, c.Typed);
        EXPECT_EQ(e->Text(), c.Expected);
        if (c.Caret >= 0) {
            EXPECT_EQ(e->SelStart(), c.Caret);
        }
        e->Free();
        Driver.Pump();
    }
}

TEST_F(EditInputTest, SeparatorsFollowTheLocaleAtTheMomentOfTyping) {
    Edit->SetEditType(etFloat);
    Edit->SetPrecision(2);
    Edit->SetWindowTextRaw("");
    TypeAt(Edit, 0, 0, "1,5");
    EXPECT_EQ(Edit->Text(), "1,5"); // ',' groups thousands here
    Edit->SetWindowTextRaw("");
    {
        TScopedFormatSettings german(German());
        TypeAt(Edit, 0, 0, "1,5");
        EXPECT_EQ(Edit->Text(), "1,5");
        EXPECT_DOUBLE_EQ(Edit->FloatValue(), 1.5);
    }
    // Neither decimal nor thousand separator: refused.
    TFormatSettings spaced;
    spaced.ThousandSeparator = ' ';
    TScopedFormatSettings spacedScope(spaced);
    Edit->SetWindowTextRaw("");
    TypeAt(Edit, 0, 0, "1,5");
    EXPECT_EQ(Edit->Text(), "15");
}

TEST_F(EditInputTest, TheKeypadDecimalKeyTypesTheLocaleSeparatorWhenAsked) {
    TScopedFormatSettings german(German());
    Edit->SetEditType(etFloat);
    Edit->SetPrecision(2);
    Edit->SetExcelStyleDecimalSeparator(true);
    Edit->SetWindowTextRaw("");
    TypeAt(Edit, 0, 0, "3");
    Driver.KeyDown(VK_DECIMAL, 0, ".");
    Driver.KeyUp(VK_DECIMAL);
    Driver.Type("5");
    EXPECT_EQ(Edit->Text(), "3,5");
    // The main period key keeps its '.', the thousand separator here.
    Edit->SetWindowTextRaw("3");
    Edit->SetSelStart(1);
    Driver.KeyDown(VK_OEM_PERIOD, 0, ".");
    Driver.KeyUp(VK_OEM_PERIOD);
    EXPECT_EQ(Edit->Text(), "3.");
}

TEST_F(EditInputTest, LengthLimitGuardsTheIntegerPart) {
    Edit->SetEditType(etFloat);
    Edit->SetPrecision(2);
    Edit->SetLengthLimit(3);
    Edit->SetWindowTextRaw("123");
    TypeAt(Edit, 3, 0, "4");
    EXPECT_EQ(Edit->Text(), "123");
    Driver.Type(".4");
    EXPECT_EQ(Edit->Text(), "123.4");
    TypeAt(Edit, 1, 0, "9");
    EXPECT_EQ(Edit->Text(), "123.4");
    // Deleting the separator would join the decimals to the integer part.
    Edit->SetSelStart(3);
    Driver.PressKey(VK_DELETE);
    EXPECT_EQ(Edit->Text(), "123.4");
}

TEST_F(EditInputTest, TabOnFullLengthMovesTheFocusOn) {
    Edit->SetEditType(etNumeric);
    Edit->SetLengthLimit(3);
    Edit->SetTabOnFullLength(true);
    Other->SetTabOrder(1);
    Edit->SetWindowTextRaw("");
    TypeAt(Edit, 0, 0, "12");
    EXPECT_TRUE(Edit->Focused());
    Driver.Type("3");
    Driver.Pump();
    EXPECT_EQ(Edit->Text(), "123");
    EXPECT_FALSE(Edit->Focused());
}

// Typing over the whole value swallows its own change notification; a refused keystroke must not leave
// that swallowing behind for the next real change.
TEST_F(EditInputTest, ARefusedKeystrokeDoesNotSwallowTheNextChange) {
    Edit->SetEditType(etNumeric);
    Edit->SetWindowTextRaw("12");
    int changes = 0;
    Edit->OnChange = [&](TObject*) { ++changes; };
    TypeAt(Edit, 0, 2, "a");
    EXPECT_EQ(Edit->Text(), "12");
    EXPECT_EQ(changes, 0);
    Edit->SetSelStart(2);
    Driver.Type("3");
    EXPECT_EQ(Edit->Text(), "123");
    EXPECT_EQ(changes, 1);
}

TEST_F(EditInputTest, ReturnFiresKeyPressAndInsertsNothing) {
    std::vector<char32_t> pressed;
    Edit->OnKeyPress = [&](TObject*, char32_t& key) { pressed.push_back(key); };
    TypeAt(Edit, 0, 0, "ab");
    Driver.PressKey(VK_RETURN);
    EXPECT_EQ(Edit->Text(), "ab");
    EXPECT_EQ(pressed, (std::vector<char32_t>{'a', 'b', '\r'}));
}

TEST_F(EditInputTest, PasteIsCheckedAsAWholeNewValue) {
    struct Case {
        TKvxEditType Type;
        bool Signed;
        const char* Start;
        const char* Clip;
        const char* Expected;
    } cases[] = {
        {etNumeric, false, "1", "12a", "1"},
        {etNumeric, false, "1", "-3", "1"},
        {etNumeric, true, "", "-3", "-3"},
        {etNumeric, false, "1", "23", "123"},
        {etAlphaNumeric, false, "", "abc123", "abc123"},
        {etAlphaNumeric, false, "", "a-b", ""},
        {etHex, false, "1", "2", "1"},
        {etRange, false, "1", "-2", "1"},
        {etUppercase, false, "A", "bc", "ABC"},
        {etMixedCase, false, "", "john doe", "John Doe"},
        {etFloat, false, "", "1.5", "1.50"},
        {etFloat, false, "", "1.2.3", ""},
        {etString, false, "x", "y\tz", "xy\tz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(kKvxEditTypeNames[c.Type]) + " " + c.Clip);
        Edit->SetEditType(c.Type);
        Edit->SetSigned(c.Signed);
        Edit->SetPrecision(c.Type == etFloat ? 2 : 0);
        Edit->SetWindowTextRaw(c.Start);
        Edit->SetFocus();
        Edit->SetSelStart(Edit->CharCount());
        Clipboard()->SetAsText(c.Clip);
        Edit->PasteFromClipboard();
        EXPECT_EQ(Edit->Text(), c.Expected);
        Edit->SetEditType(etString);
    }
    // The paste event sees the whole new value and may refuse it.
    std::string seen;
    Edit->OnClipboardPaste = [&](TObject*, const std::string& value, bool& allow) {
        seen = value;
        allow = false;
    };
    Edit->SetWindowTextRaw("ad");
    Edit->SetSelStart(1);
    Clipboard()->SetAsText("bc");
    Edit->PasteFromClipboard();
    EXPECT_EQ(seen, "abcd");
    EXPECT_EQ(Edit->Text(), "ad");
}

TEST_F(EditInputTest, CopyAndCutEventsSeeTheSelectedPartOfTheValueAndMayRefuse) {
    Edit->SetPrefix("$");
    Edit->SetTextProp("12345");
    std::vector<std::string> copied, cut;
    bool allow = false;
    Edit->OnClipboardCopy = [&](TObject*, const std::string& v, bool& a) {
        copied.push_back(v);
        a = allow;
    };
    Edit->OnClipboardCut = [&](TObject*, const std::string& v, bool& a) {
        cut.push_back(v);
        a = allow;
    };
    Clipboard()->SetAsText("before");
    Edit->SetSelStart(2);
    Edit->SetSelLength(3);
    Edit->CopyToClipboard();
    Edit->CutToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "before");
    EXPECT_EQ(Edit->Text(), "12345");
    allow = true;
    Edit->CutToClipboard();
    EXPECT_EQ(copied, (std::vector<std::string>{"234"}));
    EXPECT_EQ(cut, (std::vector<std::string>{"234", "234"}));
    EXPECT_EQ(Clipboard()->AsText(), "234");
    EXPECT_EQ(Edit->Text(), "15");
}

TEST_F(EditInputTest, FocusExitTidiesNumbersAndValidatesWithoutHoldingTheFocus) {
    struct Case {
        TKvxEditType Type;
        int Precision;
        bool AllowNull;
        const char* Start;
        const char* After;
    } cases[] = {{etNumeric, 0, false, "", "0"},   {etNumeric, 0, true, "", ""},
                 {etFloat, 2, false, "3", "3.00"}, {etFloat, 2, false, "", "0.00"},
                 {etFloat, 2, true, "", ""},       {etMoney, 2, false, "1234", "1,234.00"},
                 {etString, 0, false, "", ""}};
    int validations = 0;
    Edit->OnValueValidate = [&](TObject*, const std::string&, bool& valid) {
        ++validations;
        valid = false;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(kKvxEditTypeNames[c.Type]) + " '" + c.Start + "'");
        Edit->SetEditType(c.Type);
        Edit->SetPrecision(c.Precision);
        Edit->SetAllowNumericNullValue(c.AllowNull);
        Edit->SetWindowTextRaw(c.Start);
        Edit->SetFocus();
        Driver.Pump();
        int before = validations;
        Other->SetFocus();
        Driver.Pump();
        EXPECT_EQ(Edit->Text(), c.After);
        EXPECT_EQ(validations, before + 1);
        EXPECT_TRUE(Other->Focused());
        Edit->SetEditType(etString);
        Edit->SetPrecision(0);
    }
}

TEST_F(EditInputTest, EscapeRestoresTheValueFromFocusEntry) {
    for (bool canUndo : {true, false}) {
        SCOPED_TRACE(canUndo);
        Edit->SetCanUndo(canUndo);
        Edit->SetTextProp("start");
        Edit->SetFocus();
        Driver.Pump();
        Edit->SetSelStart(5);
        Driver.Type("ed");
        EXPECT_TRUE(Edit->ModifiedState());
        Driver.PressKey(VK_ESCAPE);
        EXPECT_EQ(Edit->Text(), canUndo ? "start" : "started");
        EXPECT_EQ(Edit->ModifiedState(), !canUndo);
        Other->SetFocus();
        Driver.Pump();
    }
}

TEST_F(EditInputTest, CaretKeysStayOutOfTheAffixes) {
    Edit->SetPrefix("$");
    Edit->SetSuffix(" kg");
    Edit->SetTextProp("12");
    Edit->SetFocus();
    Driver.Pump();
    Edit->SetSelStart(1);
    Driver.PressKey(VK_LEFT);
    EXPECT_EQ(Edit->SelStart(), 1);
    Driver.PressKey(VK_END);
    EXPECT_EQ(Edit->SelStart(), 3);
    Driver.PressKey(VK_RIGHT);
    EXPECT_EQ(Edit->SelStart(), 3);
    Driver.PressKey(VK_DELETE);
    EXPECT_EQ(Edit->WindowText(), "$12 kg");
    Driver.PressKey(VK_HOME);
    EXPECT_EQ(Edit->SelStart(), 1);
    Driver.PressKey(VK_BACK);
    EXPECT_EQ(Edit->WindowText(), "$12 kg");
    Driver.Type("7");
    EXPECT_EQ(Edit->Text(), "712");
}

TEST_F(EditInputTest, AClickKeepsTheCaretInsideTheAffixes) {
    Edit->SetPrefix("$$$");
    Edit->SetSuffix(" kg");
    Edit->SetTextProp("12");
    Edit->SetFocus();
    Driver.Pump();
    Driver.Click(Edit, TPoint(3, 8)); // on the prefix: the value is selected
    EXPECT_EQ(Edit->SelStart(), 3);
    EXPECT_EQ(Edit->SelLength(), 2);
    Driver.Advance(1000);
    Driver.Click(Edit, TPoint(Edit->ClientWidth() - 30, 8)); // behind the suffix
    EXPECT_EQ(Edit->SelStart(), 5);
    EXPECT_EQ(Edit->SelLength(), 0);
}

TEST_F(EditInputTest, FocusAlignmentReturnIsTabAndTheModifiedLook) {
    Edit->SetFocusAlign(eaRight);
    Edit->SetReturnIsTab(true);
    Edit->SetShowModified(true);
    Other->SetTabOrder(1);
    Edit->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Edit->EditAlign(), eaRight);
    Driver.Type("x");
    EXPECT_EQ(Edit->Font()->Color(), Edit->ModifiedColor());
    Driver.PressKey(VK_RETURN);
    Driver.Pump();
    EXPECT_FALSE(Edit->Focused());
    EXPECT_EQ(Edit->EditAlign(), eaLeft);
    EXPECT_EQ(Edit->Text(), "x");
    Edit->SetTextProp("y");
    EXPECT_EQ(Edit->Font()->Color(), clWindowText);
}

TEST_F(EditInputTest, ShowErrorRecoloursAFailingValue) {
    Edit->SetShowError(true);
    Edit->OnValueValidate = [](TObject*, const std::string& value, bool& valid) { valid = value != "bad"; };
    Other->SetFocus();
    Driver.Pump();
    Edit->SetTextProp("bad");
    EXPECT_TRUE(Edit->ErrorState());
    EXPECT_EQ(Edit->Color(), Edit->ErrorColor());
    EXPECT_EQ(Edit->Font()->Color(), Edit->ErrorFontColor());
    Edit->SetTextProp("good");
    EXPECT_FALSE(Edit->ErrorState());
    EXPECT_EQ(Edit->Color(), clWindow);
}

} // namespace
