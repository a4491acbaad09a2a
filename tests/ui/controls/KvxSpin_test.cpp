#include "ui/controls/KvxSpin.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Locale.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Form.h"

using namespace plat;
using ui::TKvxSpinButton;
using ui::TKvxSpinEdit;

namespace {

// Day-first dates with points, a point as decimal separator: the texts below read the same on every
// machine.
TFormatSettings TestSettings() {
    TFormatSettings fs;
    fs.DecimalSeparator = '.';
    fs.ThousandSeparator = ',';
    fs.DateSeparator = '.';
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.TimeSeparator = ':';
    return fs;
}

class SpinTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 400, 300);
        Spin = new TKvxSpinEdit(Form);
        Spin->SetParent(Form);
        Spin->SetBounds(120, 20, 121, 21);
        Spin->OnUpClick = [this](TObject*) { ++Ups; };
        Spin->OnDownClick = [this](TObject*) { ++Downs; };
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(120, 200, 100, 21);
        Form->Show();
        Driver.Pump();
    }
    // Text and caret as the user would leave them.
    void Put(const std::string& Text, int Caret) {
        Spin->SetTextProp(Text);
        Spin->SetSelStart(Caret);
        Spin->SetSelLength(0);
    }
    TPoint UpButtonPoint() { return TTestDriver::CenterOf(Spin->Button()->UpButton()); }

    TScopedFormatSettings Settings{TestSettings()};
    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxSpinEdit* Spin = nullptr;
    TEdit* Other = nullptr;
    int Ups = 0, Downs = 0;
};

// ---- Spin buttons ----------------------------------------------------------------------------------------

TEST_F(SpinTest, SpinButtonLayoutKeepsItsMinimumWidthAndSplitsTheHeight) {
    struct Case {
        ui::TSpinDirection Direction;
        int Width, Height;
        int ExpectWidth;
        TRect Up, Down;
    };
    const Case cases[] = {
        {ui::spVertical, 10, 25, 15, {0, 0, 15, 12}, {0, 12, 15, 24}},
        {ui::spVertical, 30, 31, 30, {0, 0, 30, 15}, {0, 15, 30, 30}},
        {ui::spHorizontal, 12, 20, 20, {11, 0, 21, 20}, {0, 0, 10, 20}},
        {ui::spHorizontal, 41, 18, 41, {21, 0, 41, 18}, {0, 0, 20, 18}},
    };
    for (const Case& c : cases) {
        auto* b = new TKvxSpinButton(Form);
        b->SetParent(Form);
        b->SetDirection(c.Direction);
        b->SetBounds(5, 100, c.Width, c.Height);
        EXPECT_EQ(b->Width(), c.ExpectWidth) << c.Width;
        EXPECT_EQ(b->UpButton()->BoundsRect(), c.Up) << c.Width;
        EXPECT_EQ(b->DownButton()->BoundsRect(), c.Down) << c.Width;
        delete b;
    }
}

TEST_F(SpinTest, HeldButtonRepeatsAfterDelayThenEveryTenthSecond) {
    // Pressed at 0: steps at 400, 500, ..., 1000 ms, then one more on release over the button.
    Driver.Press(UpButtonPoint());
    Driver.Advance(399);
    EXPECT_EQ(Ups, 0);
    Driver.Advance(601);
    EXPECT_EQ(Ups, 7);
    Driver.Release(UpButtonPoint());
    EXPECT_EQ(Ups, 8);
    EXPECT_EQ(Spin->Value(), 8);
    Driver.Advance(1000);
    EXPECT_EQ(Ups, 8) << "released: the repetition stops";

    // Dragged off, the repetition pauses and the release there is no click.
    TPoint off = TTestDriver::ScreenPoint(Form, TPoint(10, 250));
    Driver.Press(UpButtonPoint());
    Driver.Advance(450);
    EXPECT_EQ(Ups, 9);
    Driver.MoveTo(off);
    Driver.Advance(500);
    EXPECT_EQ(Ups, 9);
    Driver.MoveTo(UpButtonPoint());
    Driver.Advance(100);
    EXPECT_EQ(Ups, 10);
    Driver.MoveTo(off);
    Driver.Release(off);
    EXPECT_EQ(Ups, 10);
    EXPECT_TRUE(Spin->Focused()) << "a press hands the focus to the edit";
}

TEST_F(SpinTest, FailingRepeatedClickStopsTheRepetition) {
    int calls = 0;
    Spin->OnUpClick = [&](TObject*) {
        ++calls;
        if (calls == 2)
            throw EConvertError("step failed");
    };
    Application->OnException = [](TObject*, Exception&) {};
    Driver.Press(UpButtonPoint());
    Driver.Advance(1000);
    EXPECT_EQ(calls, 2);
    auto* timer = Spin->Button()->UpButton()->RepeatTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->Enabled());
    Driver.Release(UpButtonPoint());
    Application->OnException = nullptr;
}

TEST_F(SpinTest, SpinButtonKeysAndGlyphs) {
    auto* b = new TKvxSpinButton(Form);
    b->SetParent(Form);
    b->SetBounds(5, 100, 15, 25);
    std::string log;
    b->OnUpClick = [&](TObject* s) { log += s == b ? "up;" : "?;"; };
    b->OnDownClick = [&](TObject* s) { log += s == b ? "down;" : "?;"; };
    b->SetTabStop(true);
    b->SetFocus();
    Driver.Pump();
    Driver.PressKey(VK_SPACE);
    Driver.PressKey(VK_DOWN);
    Driver.PressKey(VK_SPACE);
    Driver.PressKey(VK_UP);
    EXPECT_EQ(log, "up;down;down;up;");

    // Without TabStop a press does not change which button Space clicks.
    b->SetTabStop(false);
    Driver.Click(TTestDriver::CenterOf(b->DownButton()));
    EXPECT_EQ(b->FocusedButton(), b->UpButton());
    b->SetTabStop(true);
    b->SetFocus();
    Driver.Click(TTestDriver::CenterOf(b->DownButton()));
    EXPECT_EQ(b->FocusedButton(), b->DownButton());

    // The built-in glyph comes back whole after a strip of two was set.
    TBitmap strip;
    strip.SetSize(18, 6);
    b->SetDownGlyph(&strip);
    b->SetDownNumGlyphs(2);
    b->SetDownGlyph(nullptr);
    EXPECT_EQ(b->DownNumGlyphs(), 1);
    EXPECT_EQ(b->DownGlyph()->Width(), 9);
    EXPECT_EQ(b->DownGlyph()->Height(), 6);
    // Olive ground, the black tip of the down arrow at the bottom centre.
    EXPECT_EQ(b->DownGlyph()->Canvas()->Pixels(0, 5), TColor(0x008080));
    EXPECT_EQ(b->DownGlyph()->Canvas()->Pixels(4, 4), clBlack);
    EXPECT_EQ(b->DownGlyph()->Canvas()->Pixels(1, 1), clBlack);
    EXPECT_EQ(b->DownGlyph()->Canvas()->Pixels(1, 2), TColor(0x008080));
}

// ---- Values and steps ------------------------------------------------------------------------------------

TEST_F(SpinTest, StepsByKindAndCaretPart) {
    struct Case {
        ui::TKvxSpinType Type;
        const char* Text;
        int Caret;
        int Sign;
        const char* Expect;
    };
    const Case cases[] = {
        {ui::sptHex, "0xFF", 4, +1, "0x100"},
        {ui::sptHex, "0x0", 3, -1, "0xFFFFFFFF"},
        {ui::sptNormal, "9", 1, +1, "10"},
        {ui::sptNormal, "2147483647", 0, +1, "2147483647"},
        {ui::sptDate, "31.01.2024", 4, +1, "29.02.2024"}, // month part: the day is clamped
        {ui::sptDate, "31.01.2024", 2, +1, "01.02.2024"}, // a caret before a separator: the left part
        {ui::sptDate, "29.02.2024", 8, +1, "28.02.2025"}, // a year step from 29 February clamps too
        {ui::sptDate, "29.02.2024", 8, -1, "28.02.2023"},
        {ui::sptDate, "15.12.2024", 4, +1, "15.01.2025"},
        {ui::sptTime, "0:00:30", 3, -1, "0:00:30"}, // 30 seconds is below one minute
        {ui::sptTime, "0:00:30", 6, -1, "0:00:29"},
        {ui::sptTime, "1:59:30", 1, +1, "2:59:30"},
        {ui::sptTime, "23:59:30", 4, +1, "0:00:30"}, // the text shows the time of day
    };
    for (const Case& c : cases) {
        Spin->SetSpinType(c.Type);
        Put(c.Text, c.Caret);
        if (c.Sign > 0)
            Spin->UpClick(Spin);
        else
            Spin->DownClick(Spin);
        EXPECT_EQ(Spin->Text(), c.Expect) << c.Text << " caret " << c.Caret << " sign " << c.Sign;
        EXPECT_EQ(Spin->SelStart(), c.Caret) << c.Text;
    }
}

TEST_F(SpinTest, SmartStepTakesThePlaceValueLeftOfTheCaret) {
    Spin->SetIncrementSmart(true);
    Spin->SetSpinType(ui::sptFloat);
    Spin->SetPrecision(2);
    struct Case {
        int Caret;
        const char* Expect;
    };
    // 123.45: after the 1 by 100, after the 3 by 1, right after the point by 1, after the 4 by 0.1; at 0
    // the plain increment.
    for (const Case& c : {Case{1, "223.45"}, Case{3, "124.45"}, Case{4, "124.45"}, Case{5, "123.55"},
                          Case{6, "123.46"}, Case{0, "123.55"}}) {
        Put("123.45", c.Caret);
        Driver.PressKey(VK_UP);
        EXPECT_EQ(Spin->Text(), c.Expect) << "caret " << c.Caret;
    }
    Spin->SetSpinType(ui::sptNormal);
    Put("-250", 2);
    Spin->SetFocus();
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Spin->Text(), "-350");
}

TEST_F(SpinTest, RangesLimitOnSetAndOnLeaving) {
    Spin->SetMinValue(1);
    Spin->SetMaxValue(32);
    Spin->SetFocus();
    Driver.Pump();
    Spin->SetTextProp("40");
    EXPECT_EQ(Spin->Value(), 40) << "reading does not limit";
    Other->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Spin->Text(), "32");
    Spin->SetValue(0);
    EXPECT_EQ(Spin->Text(), "1");

    // The minimum is tested first: with 5..0 everything from 5 up becomes 0.
    Spin->SetMinValue(5);
    Spin->SetMaxValue(0);
    Spin->SetValue(7);
    EXPECT_EQ(Spin->Text(), "0");
    Spin->SetValue(3);
    EXPECT_EQ(Spin->Text(), "5");
    Spin->SetMinValue(0);
    Spin->SetMaxValue(0);
    Spin->SetValue(-70000);
    EXPECT_EQ(Spin->Text(), "-70000");
}

TEST_F(SpinTest, UnreadableTextFallsBackWithoutRaising) {
    Spin->SetMinValue(3);
    Spin->SetMinFloatValue(1.5);
    Spin->SetTextProp("abc");
    EXPECT_EQ(Spin->Value(), 3);
    EXPECT_EQ(Spin->FloatValue(), 3.0) << "the integer minimum, not the float one";
    Spin->SetTextProp("");
    EXPECT_EQ(Spin->Value(), 0);
    Spin->SetTextProp("0x1F");
    EXPECT_EQ(Spin->Value(), 3) << "decimal only";
    Spin->SetTextProp("2,047");
    EXPECT_EQ(Spin->Value(), 2047) << "thousand separators are ignored";
    EXPECT_EQ(Spin->FloatValue(), 2047.0);
    Spin->SetMinDateValue(100);
    Spin->SetTextProp("32.13.2024");
    EXPECT_EQ(Spin->DateValue(), 100);
    Spin->SetTextProp("25:99");
    EXPECT_EQ(Spin->TimeValue(), 0);
    // Switching the kind rewrites the text through the new kind.
    Spin->SetTextProp("12");
    Spin->SetMinFloatValue(0);
    Spin->SetSpinType(ui::sptFloat);
    EXPECT_EQ(Spin->Text(), "12");
}

// ---- Keyboard
// ------------------------------------------------------------------------------------------------

TEST_F(SpinTest, TypingIsFilteredPerKind) {
    struct Case {
        ui::TKvxSpinType Type;
        int Precision;
        const char* Text;
        int Caret, SelLength;
        const char* Typed;
        const char* Expect;
    };
    const Case cases[] = {
        {ui::sptFloat, 2, "1.25", 4, 0, "7", "1.25"},  // the fraction is full
        {ui::sptFloat, 2, "1.25", 1, 0, "7", "17.25"}, // before the separator it is not
        {ui::sptFloat, 2, "1.2", 3, 0, ",", "1.2"},    // a second separator, even as thousands key
        {ui::sptFloat, 2, "12", 2, 0, ",", "12."},     // the thousands key types the decimal separator
        {ui::sptFloat, 0, "12", 2, 0, ".", "12"},      // no separator at precision 0 ...
        {ui::sptFloat, 0, "12", 0, 2, ".", "."},       // ... except over the whole text
        {ui::sptNormal, 0, "12", 2, 0, ".", "12"},     {ui::sptNormal, 0, "12", 2, 0, "a", "12"},
        {ui::sptNormal, 0, "12", 2, 0, "3", "123"},    {ui::sptNormal, 0, "12", 2, 0, "+", "12"},
        {ui::sptNormal, 0, "12", 2, 0, "-", "12"}, // not Signed
        {ui::sptHex, 0, "0xFF", 4, 0, "a", "0xFFa"},   {ui::sptHex, 0, "0xFF", 4, 0, "g", "0xFF"},
        {ui::sptHex, 0, "0xFF", 1, 0, "1", "0xFF"}, // inside "0x"
        {ui::sptTime, 0, "1", 1, 0, ".", "1:"},     // a point types the time separator
        {ui::sptTime, 0, "1:2", 3, 0, ":", "1:2"},  // only one may be typed
        {ui::sptDate, 0, "1", 1, 0, ".", "1."},        {ui::sptDate, 0, "1", 1, 0, ":", "1"},
    };
    Spin->SetFocus();
    Driver.Pump();
    for (const Case& c : cases) {
        Spin->SetSpinType(c.Type);
        Spin->SetPrecision(c.Precision);
        Spin->SetTextProp(c.Text);
        Spin->SetSelStart(c.Caret);
        Spin->SetSelLength(c.SelLength);
        Driver.Type(c.Typed);
        EXPECT_EQ(Spin->Text(), c.Expect) << c.Text << " + " << c.Typed;
    }
}

TEST_F(SpinTest, BackspaceAndDeleteKeepTheHexPrefix) {
    Spin->SetSpinType(ui::sptHex);
    Spin->SetFocus();
    Driver.Pump();
    Put("0xAB", 2);
    Driver.PressKey(VK_BACK);
    EXPECT_EQ(Spin->Text(), "0xAB");
    Put("0xAB", 1);
    Driver.PressKey(VK_DELETE);
    EXPECT_EQ(Spin->Text(), "0xAB");
    Put("0xAB", 3);
    Driver.PressKey(VK_BACK);
    EXPECT_EQ(Spin->Text(), "0xB");
}

TEST_F(SpinTest, SignedMinusTogglesTheSign) {
    Spin->SetSigned(true);
    Spin->SetFocus();
    Driver.Pump();
    Put("12", 2);
    Driver.Type("-");
    EXPECT_EQ(Spin->Text(), "-12");
    EXPECT_EQ(Spin->SelStart(), 3);
    Driver.Type("-");
    EXPECT_EQ(Spin->Text(), "12");
    EXPECT_EQ(Spin->SelStart(), 2);
}

TEST_F(SpinTest, EditorDisabledLeavesOnlyStepping) {
    Spin->SetEditorEnabled(false);
    Spin->SetValue(5);
    Spin->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Spin->SelLength(), 1) << "a value assignment selects the text";
    Clipboard()->SetAsText("77");
    Spin->SetSelStart(1);
    for (auto act : {+[](TTestDriver& d) { d.Type("3"); }, +[](TTestDriver& d) { d.PressKey(VK_BACK); },
                     +[](TTestDriver& d) { d.PressKey(VK_DELETE); },
                     +[](TTestDriver& d) { d.PressKey('V', modControl); },
                     +[](TTestDriver& d) { d.PressKey('X', modControl); }})
        act(Driver);
    EXPECT_EQ(Spin->Text(), "5");
    Driver.PressKey(VK_UP);
    Driver.PressKey(VK_UP);
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Spin->Text(), "6");
    Driver.PressKey(VK_PRIOR);
    EXPECT_EQ(Spin->Text(), "16");
}

TEST_F(SpinTest, EnterKeys) {
    std::u32string pressed;
    Spin->OnKeyPress = [&](TObject*, char32_t& k) { pressed += k; };
    Spin->SetFocus();
    Driver.Pump();
    Put("4", 1);
    Driver.PressKey(VK_RETURN, modControl);
    EXPECT_EQ(Spin->Text(), "5") << "Ctrl+Enter steps up once";
    Spin->SetReturnIsTab(true);
    Driver.PressKey(VK_RETURN);
    Driver.Pump();
    EXPECT_TRUE(Other->Focused()) << "Enter moves on";
    EXPECT_NE(pressed.find(U'\r'), std::u32string::npos) << "and OnKeyPress saw the Enter";
    EXPECT_EQ(Spin->Text(), "5");
}

TEST_F(SpinTest, ReadOnlyStepKeepsTheValueButFiresTheEvent) {
    Spin->SetReadOnly(true);
    Spin->SetValue(4);
    Spin->UpClick(Spin);
    EXPECT_EQ(Spin->Text(), "4");
    EXPECT_EQ(Ups, 1);
}

TEST_F(SpinTest, EmptyTextIsFilledOnLeavingWhenNullIsRefused) {
    struct Case {
        ui::TKvxSpinType Type;
        const char* Expect;
    };
    Spin->SetAllowNullValue(false);
    Spin->SetMinValue(3);
    Spin->SetMaxValue(9);
    Spin->SetMinFloatValue(0.5);
    Spin->SetMaxFloatValue(2);
    Spin->SetMinDateValue(EncodeDate(2024, 3, 1));
    Spin->SetMaxDateValue(EncodeDate(2024, 4, 1));
    for (const Case& c :
         {Case{ui::sptNormal, "3"}, Case{ui::sptFloat, "0.5"}, Case{ui::sptDate, "01.03.2024"},
          Case{ui::sptTime, "0:00:00"}, Case{ui::sptHex, "0x3"}}) {
        Spin->SetSpinType(c.Type);
        Spin->SetFocus();
        Driver.Pump();
        Spin->SetTextProp("");
        Other->SetFocus();
        Driver.Pump();
        EXPECT_EQ(Spin->Text(), c.Expect) << ui::kKvxSpinTypeNames[c.Type];
    }
}

// ---- Look and label --------------------------------------------------------------------------------------

TEST_F(SpinTest, LabelFollowsPositionEnabledAndVisible) {
    Spin->SetLabelCaption("Frames");
    auto* label = Spin->EditLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Parent(), Form);
    Spin->SetLabelPosition(ui::lpLeftCenter);
    EXPECT_EQ(label->Top(), Spin->Top() + (Spin->Height() - label->Height()) / 2);
    EXPECT_EQ(label->Left() + label->Width(), Spin->Left() - 4);
    Spin->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    Spin->SetLabelAlwaysEnabled(true);
    EXPECT_TRUE(label->Enabled());
    Spin->SetEnabled(true);
    Spin->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    Spin->SetVisible(true);
    EXPECT_TRUE(label->Visible());
    Spin->SetBounds(150, 60, 121, 21);
    EXPECT_EQ(label->Left() + label->Width(), 150 - 4) << "the label moves with the edit";
    delete Spin;
    Spin = nullptr;
    Driver.Pump(); // the label went with its edit
}

TEST(AttachedLabel, OriginPerPosition) {
    // An edit at (100, 50) 80 by 21, a label 40 by 13 whose text is 38 wide, margin 4.
    const TRect edit(100, 50, 180, 71);
    struct Case {
        ui::TLabelPosition Position;
        TPoint Expect;
    };
    const Case cases[] = {
        {ui::lpLeftTop, {58, 50}},        {ui::lpLeftCenter, {58, 54}},     {ui::lpLeftBottom, {58, 58}},
        {ui::lpTopLeft, {100, 33}},       {ui::lpBottomLeft, {100, 75}},    {ui::lpLeftTopLeft, {96, 50}},
        {ui::lpLeftCenterLeft, {96, 54}}, {ui::lpLeftBottomLeft, {96, 58}}, {ui::lpTopCenter, {120, 33}},
        {ui::lpBottomCenter, {120, 75}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::AttachedLabelOrigin(c.Position, edit, {40, 13}, 38, 4), c.Expect)
            << ui::kLabelPositionNames[c.Position];
    // Larger than the edit: centred the same way, overhanging both edges.
    EXPECT_EQ(ui::AttachedLabelOrigin(ui::lpLeftCenter, edit, {40, 30}, 38, 4).Y, 46);
    EXPECT_EQ(ui::AttachedLabelOrigin(ui::lpTopCenter, edit, {121, 13}, 38, 4).X, 80);
}

TEST_F(SpinTest, HeightNeverBelowWhatTheFontNeeds) {
    Spin->SetHeight(5);
    EXPECT_EQ(Spin->Height(), Spin->MinHeight());
    EXPECT_GT(Spin->MinHeight(), Spin->Font()->Height() < 0 ? -Spin->Font()->Height() : 8);
    // The text stays clear of the buttons.
    TRect r;
    Spin->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_LE(r.Right, Spin->Button()->Left());
}

TEST_F(SpinTest, FocusColourAndFlatLine) {
    Spin->SetFocusColor(clYellow);
    Spin->SetFlat(true);
    Spin->SetValue(42);
    Spin->SetLabelCaption("Scans");
    Spin->SetLabelPosition(ui::lpLeftCenter);
    Spin->SetLabelTransparent(true);
    Other->SetFocus();
    Driver.Pump();
    const TColor before = Spin->Color();
    auto idle = Driver.Render(Spin);
    auto idleForm = Driver.Render(Form);
    Spin->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Spin->Color(), clYellow);
    auto focused = Driver.Render(Spin);
    auto focusedForm = Driver.Render(Form);
    Other->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Spin->Color(), before);
    // The flat line runs under the text area, not under the buttons.
    const int y = Spin->Height() - 1;
    EXPECT_EQ(TTestDriver::PixelOf(*idle, 10, y), clBlack);
    EXPECT_NE(TTestDriver::PixelOf(*idle, Spin->Button()->Left() + 5, y), clBlack);
    EXPECT_EQ(TTestDriver::PixelOf(*focused, 10, 3), clYellow);
    EXPECT_EQ(TTestDriver::PixelOf(*idle, 10, 3), ColorToRGB(before));
    TTestDriver::SavePng(*idleForm, TestOutputDir("controls") + "/spin_flat_label.png");
    TTestDriver::SavePng(*focusedForm, TestOutputDir("controls") + "/spin_focused.png");
}

} // namespace
