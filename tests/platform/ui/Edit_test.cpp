#include "platform/ui/Edit.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Form.h"
#include "platform/ui/Memo.h"

using namespace plat;

namespace {

class EditTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 400, 300);
        Edit = new TEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 10, 200, 21);
        Edit->OnChange = [this](TObject*) { ++Changes; };
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 40, 200, 21);
        Form->Show();
        Driver.Pump();
        Edit->SetFocus();
        Driver.Pump();
    }
    // The client point in the middle of the line at character Pos's left edge.
    TPoint At(TCustomEdit* e, int pos) {
        LRESULT r = e->Perform(EM_POSFROMCHAR, pos, 0);
        return TPoint(GET_X_LPARAM(r), GET_Y_LPARAM(r) + 6);
    }
    void Keys(std::initializer_list<uint16_t> keys, uint32_t mods = 0) {
        for (uint16_t k : keys)
            Driver.PressKey(k, mods);
    }
    TTestDriver Driver;
    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
    TEdit* Other = nullptr;
    int Changes = 0;
};

TEST_F(EditTest, TypingAndKeyboardSelectionEditTheText) {
    Driver.Type("hello world");
    EXPECT_EQ(Edit->Text(), "hello world");
    EXPECT_EQ(Changes, 11) << "every change is reported";
    EXPECT_TRUE(Edit->Modified());
    EXPECT_EQ(Edit->SelStart(), 11);

    Driver.PressKey(VK_LEFT, modShift | modControl); // select "world"
    EXPECT_EQ(Edit->SelText(), "world");
    Driver.Type("there");
    EXPECT_EQ(Edit->Text(), "hello there");

    Driver.PressKey(VK_HOME);
    Driver.PressKey(VK_RIGHT, modControl);
    EXPECT_EQ(Edit->SelStart(), 6) << "Ctrl+Right stops at the next word";
    Driver.PressKey(VK_END, modShift);
    EXPECT_EQ(Edit->SelStart(), 6);
    EXPECT_EQ(Edit->SelLength(), 5);
    Driver.PressKey(VK_LEFT);
    EXPECT_EQ(Edit->SelLength(), 0) << "an arrow collapses the selection to its start";
    EXPECT_EQ(Edit->SelStart(), 6);

    Driver.PressKey(VK_BACK);
    Driver.PressKey(VK_DELETE);
    EXPECT_EQ(Edit->Text(), "hellohere");
    Keys({VK_HOME});
    Driver.PressKey(VK_RIGHT, modShift);
    Driver.PressKey(VK_RIGHT, modShift);
    EXPECT_EQ(Edit->SelText(), "he");
    Driver.PressKey(VK_LEFT, modShift);
    EXPECT_EQ(Edit->SelText(), "h") << "the anchor stays where the selection began";

    Changes = 0;
    Edit->SetTextProp("set");
    EXPECT_EQ(Changes, 1);
    EXPECT_FALSE(Edit->Modified()) << "setting the text is no user change";
    EXPECT_FALSE(Edit->CanUndo());
}

TEST_F(EditTest, MouseClickDragAndDoubleClickSelect) {
    Edit->SetTextProp("alpha beta gamma");
    Driver.Click(Edit, At(Edit, 3));
    EXPECT_EQ(Edit->SelStart(), 3);
    EXPECT_EQ(Edit->SelLength(), 0);

    Driver.Drag(Edit, At(Edit, 6), At(Edit, 10));
    EXPECT_EQ(Edit->SelText(), "beta");

    Driver.DoubleClick(Edit, At(Edit, 13));
    EXPECT_EQ(Edit->SelText(), "gamma");

    Driver.Click(Edit, At(Edit, 2));
    Driver.Click(Edit, At(Edit, 5), tbLeft, modShift);
    EXPECT_EQ(Edit->SelText(), "pha") << "Shift+click extends from the caret";

    // A click in an edit without the focus takes the focus and places the caret (no auto-select).
    Other->SetTextProp("other");
    Driver.Click(Other, At(Other, 2));
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(Other->SelStart(), 2);
    EXPECT_EQ(Other->SelLength(), 0);
}

TEST_F(EditTest, ClipboardKeysAndUndo) {
    Driver.Type("one two");
    Driver.PressKey(VK_LEFT, modShift | modControl);
    Driver.PressKey('C', modControl);
    EXPECT_EQ(Clipboard()->AsText(), "two");
    Driver.PressKey(VK_END);
    Driver.PressKey('V', modControl);
    EXPECT_EQ(Edit->Text(), "one twotwo");

    Driver.PressKey(VK_HOME);
    Driver.PressKey(VK_END, modShift);
    Driver.PressKey('X', modControl);
    EXPECT_EQ(Edit->Text(), "");
    EXPECT_EQ(Clipboard()->AsText(), "one twotwo");
    Driver.PressKey('Z', modControl);
    EXPECT_EQ(Edit->Text(), "one twotwo") << "undo brings the cut text back";
    Driver.PressKey('Z', modControl);
    EXPECT_EQ(Edit->Text(), "") << "undo twice redoes";
    Driver.PressKey('Z', modControl);

    // The classic keys: Ctrl+Ins copies, Shift+Del cuts, Shift+Ins pastes.
    Driver.PressKey(VK_HOME);
    Driver.PressKey(VK_RIGHT, modShift | modControl);
    Driver.PressKey(VK_INSERT, modControl);
    EXPECT_EQ(Clipboard()->AsText(), "one ");
    Driver.PressKey(VK_DELETE, modShift);
    EXPECT_EQ(Edit->Text(), "twotwo");
    Driver.PressKey(VK_END);
    Driver.PressKey(VK_INSERT, modShift);
    EXPECT_EQ(Edit->Text(), "twotwoone ");

    // A run of typing is one undo step.
    Edit->SetTextProp("");
    Driver.Type("abc");
    Driver.PressKey('Z', modControl);
    EXPECT_EQ(Edit->Text(), "");

    // Pasted line breaks end a single line.
    Clipboard()->SetAsText("first\r\nsecond");
    Driver.PressKey('V', modControl);
    EXPECT_EQ(Edit->Text(), "first");
}

TEST_F(EditTest, ReadOnlyMaxLengthPasswordAndCharCase) {
    Edit->SetTextProp("fixed");
    Edit->SetReadOnly(true);
    Driver.PressKey(VK_END);
    Driver.Type("x");
    Driver.PressKey(VK_BACK);
    Clipboard()->SetAsText("p");
    Driver.PressKey('V', modControl);
    EXPECT_EQ(Edit->Text(), "fixed");
    Driver.PressKey(VK_HOME, modShift);
    Driver.PressKey('C', modControl);
    EXPECT_EQ(Clipboard()->AsText(), "fixed") << "a read-only edit still copies";
    Edit->SetReadOnly(false);

    Edit->SetTextProp("");
    Edit->SetMaxLength(4);
    Driver.Type("abcdef");
    EXPECT_EQ(Edit->Text(), "abcd");
    Clipboard()->SetAsText("123456");
    Driver.PressKey(VK_LEFT, modShift);
    Driver.PressKey('V', modControl);
    EXPECT_EQ(Edit->Text(), "abc1") << "a paste is cut to the room left";
    Edit->SetMaxLength(0);

    Edit->SetTextProp("secret");
    Edit->SetPasswordChar('*');
    Clipboard()->SetAsText("unchanged");
    Edit->SelectAll();
    Driver.PressKey('C', modControl);
    Driver.PressKey('X', modControl);
    EXPECT_EQ(Clipboard()->AsText(), "unchanged") << "a password never leaves the edit";
    EXPECT_EQ(Edit->Text(), "secret");
    Edit->SetPasswordChar(0);

    Edit->SetCharCase(ecUpperCase);
    EXPECT_EQ(Edit->Text(), "SECRET");
    Driver.PressKey(VK_END);
    Driver.Type("ab");
    EXPECT_EQ(Edit->Text(), "SECRETAB");
}

TEST_F(EditTest, AutoSelectOnTabEntry) {
    Other->SetTextProp("all of it");
    Driver.PressKey(VK_TAB);
    ASSERT_TRUE(Other->Focused());
    EXPECT_EQ(Other->SelLength(), 9);
    Other->SetAutoSelect(false);
    Other->SetSelStart(0);
    Driver.PressKey(VK_TAB, modShift);
    Driver.PressKey(VK_TAB);
    EXPECT_EQ(Other->SelLength(), 0);
}

// A derived edit filters characters and refuses pastes through the message chain, and places its text
// with the formatting-rectangle messages.
class TDigitsEdit : public TEdit {
public:
    using TEdit::TEdit;
    int Pastes = 0;
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_CHAR && m.WParam >= 0x20 && (m.WParam < '0' || m.WParam > '9'))
            return;
        if (m.Msg == WM_PASTE) {
            ++Pastes;
            return;
        }
        TEdit::Dispatch(m);
    }
};

TEST_F(EditTest, DerivedEditsHookTheMessages) {
    auto* digits = new TDigitsEdit(Form);
    digits->SetParent(Form);
    digits->SetBounds(10, 70, 200, 21);
    digits->SetFocus();
    Driver.Type("a1b2");
    EXPECT_EQ(digits->Text(), "12");
    Clipboard()->SetAsText("99");
    Driver.PressKey(VK_INSERT, modShift);
    EXPECT_EQ(digits->Text(), "12");
    EXPECT_EQ(digits->Pastes, 1);

    // The formatting rectangle moves the text; margins narrow the default one.
    TRect r(30, 3, 150, 18);
    digits->Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
    TRect got;
    digits->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got, r);
    LRESULT p = digits->Perform(EM_POSFROMCHAR, 0, 0);
    EXPECT_EQ(GET_X_LPARAM(p), 30);
    EXPECT_EQ(GET_Y_LPARAM(p), 3);
    LRESULT c = digits->Perform(EM_CHARFROMPOS, 0, MAKELPARAM(200, 8));
    EXPECT_EQ(LOWORD(c), 2);
    digits->Perform(EM_SETRECT, 0, 0);
    digits->Perform(EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(12, 0));
    digits->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.Left, 12);

    // Selection messages and the change notification.
    digits->Perform(EM_SETSEL, 1, 2);
    EXPECT_EQ(digits->SelText(), "2");
    int changes = 0;
    digits->OnChange = [&](TObject*) { ++changes; };
    std::string three = "3";
    digits->Perform(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(three.c_str()));
    EXPECT_EQ(digits->Text(), "13");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(digits->Perform(EM_CANUNDO, 0, 0));
}

class MemoTest : public EditTest {
protected:
    void SetUp() override {
        EditTest::SetUp();
        Memo = new TMemo(Form);
        Memo->SetParent(Form);
        Memo->SetBounds(10, 100, 200, 80);
        Memo->SetFocus();
        Driver.Pump();
    }
    TMemo* Memo = nullptr;
};

TEST_F(MemoTest, LinesReadAndWriteTheText) {
    Memo->Lines()->Add("first");
    Memo->Lines()->Add("second");
    EXPECT_EQ(Memo->Text(), "first\r\nsecond\r\n");
    EXPECT_EQ(Memo->Lines()->Count(), 2);
    Memo->Lines()->Insert(1, "middle");
    Memo->Lines()->Put(0, "1st");
    EXPECT_EQ(Memo->Lines()->Get(1), "middle");
    Memo->Lines()->Delete(2);
    EXPECT_EQ(Memo->Text(), "1st\r\nmiddle\r\n");
    Memo->SetTextProp("a\nb");
    EXPECT_EQ(Memo->Lines()->Count(), 2);
    Memo->Lines()->Add("c");
    EXPECT_EQ(Memo->Lines()->Get(2), "c");
    EXPECT_THROW(Memo->Lines()->Get(3), EStringListError);
    Memo->Lines()->Clear();
    EXPECT_EQ(Memo->Lines()->Count(), 0);
}

TEST_F(MemoTest, EnterUpDownAndCaretPos) {
    Driver.Type("abc");
    Driver.PressKey(VK_RETURN);
    Driver.Type("de");
    EXPECT_EQ(Memo->Text(), "abc\r\nde");
    EXPECT_EQ(Memo->CaretPos(), TPoint(2, 1));
    Driver.PressKey(VK_UP);
    EXPECT_EQ(Memo->CaretPos(), TPoint(2, 0));
    Driver.PressKey(VK_END);
    Driver.PressKey(VK_RIGHT);
    EXPECT_EQ(Memo->CaretPos(), TPoint(0, 1)) << "the line break is one step";
    Driver.PressKey(VK_BACK);
    EXPECT_EQ(Memo->Text(), "abcde");
    Memo->SetCaretPos(TPoint(1, 0));
    EXPECT_EQ(Memo->SelStart(), 1);

    Memo->SetWantReturns(false);
    Driver.PressKey(VK_RETURN);
    EXPECT_EQ(Memo->Text(), "abcde");
}

TEST_F(MemoTest, WordWrapAndScrollBars) {
    Memo->SetScrollBars(ssVertical);
    std::string words;
    for (int i = 0; i < 80; ++i)
        words += "word ";
    Memo->SetTextProp(words);
    int lines = static_cast<int>(Memo->Perform(EM_GETLINECOUNT, 0, 0));
    EXPECT_GT(lines, 10) << "long text wraps";
    EXPECT_EQ(Memo->Lines()->Count(), 1) << "wrapping does not split the lines";
    TScrollInfo bar;
    bar.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(Memo->Handle(), SB_VERT, bar));
    EXPECT_EQ(bar.nMax, lines - 1);
    // The down arrow at the foot of the window's bar, right of the client area.
    TPoint origin = Memo->ClientOrigin();
    Driver.Click(TPoint(origin.X + Memo->ClientWidth() + 8, origin.Y + Memo->ClientHeight() - 8));
    EXPECT_EQ(Memo->Perform(EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    Driver.PressKey(VK_END, modControl);
    EXPECT_EQ(GetScrollPos(Memo->Handle(), SB_VERT), Memo->Perform(EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_GT(GetScrollPos(Memo->Handle(), SB_VERT), 1);

    Memo->SetWordWrap(false);
    EXPECT_EQ(Memo->Perform(EM_GETLINECOUNT, 0, 0), 1);
}

} // namespace
