#include "platform/ui/EditInput.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/rtl/StringUtils.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Memo.h"
#include "platform/ui/RichEdit.h"

using namespace plat;

namespace {

// ---- The text functions ---------------------------------------------------------------------------------

TEST(EditTextTest, StepsTreatALineBreakPairAsOneCharacter) {
    const std::u32string text = U"a\r\nb\nc";
    struct TStep {
        int Pos, Back, Forward;
    };
    for (TStep s : {TStep{0, 0, 1}, {1, 0, 3}, {3, 1, 4}, {4, 3, 5}, {5, 4, 6}, {6, 5, 6}}) {
        EXPECT_EQ(EditStepBack(text, s.Pos), s.Back) << s.Pos;
        EXPECT_EQ(EditStepForward(text, s.Pos), s.Forward) << s.Pos;
    }
}

TEST(EditTextTest, WordStops) {
    const std::u32string text = U"one, two_3\r\n  fünf";
    struct TStop {
        int Pos, Prev, Next;
    };
    // 0 "one" 3 ", " 5 "two_3" 10 CR LF 12 "  " 14 "fünf" 18
    for (TStop s : {TStop{0, 0, 5},
                    {2, 0, 5},
                    {4, 0, 5},
                    {5, 0, 10},
                    {7, 5, 10},
                    {10, 5, 12},
                    {11, 5, 12},
                    {12, 5, 14},
                    {14, 5, 18},
                    {18, 14, 18}}) {
        EXPECT_EQ(EditPrevWordStop(text, s.Pos), s.Prev) << s.Pos;
        EXPECT_EQ(EditNextWordStop(text, s.Pos), s.Next) << s.Pos;
    }
    EXPECT_EQ(EditWordStart(text, 9), 5);
    EXPECT_EQ(EditWordEnd(text, 15), 18) << "letters past ASCII belong to the word";
    EXPECT_FALSE(IsEditWordChar(0x2014)) << "a dash of the punctuation block ends a word";
    EXPECT_FALSE(IsEditWordChar(0xA0));
}

TEST(EditTextTest, FitToTheLengthLimit) {
    struct TFit {
        const char32_t* Text;
        int MaxLength, Length, Replaced;
        bool Fits;
        const char32_t* Result;
    };
    const TFit cases[] = {
        {U"abc", 0, 100, 0, true, U"abc"},    // no limit
        {U"abc", 5, 3, 0, true, U"ab"},       // cut to the room left
        {U"abc", 3, 3, 0, false, U"abc"},     // full, nothing replaced: refused
        {U"abc", 3, 3, 1, true, U"a"},        // the selection makes room
        {U"", 3, 3, 2, true, U""},            // deleting at the limit is fine
        {U"abc", 3, 5, 1, true, U""},         // over the limit already: the selection still goes
        {U"x\r\ny", 4, 2, 0, true, U"x"},     // a line break pair is never split
        {U"x\r\ny", 5, 2, 0, true, U"x\r\n"}, // but goes in whole where it fits
        {U"\r\n", 3, 2, 0, false, U"\r\n"},   // a break with room for half of it is refused
    };
    for (const TFit& c : cases) {
        std::u32string text = c.Text;
        EXPECT_EQ(FitEditText(text, c.MaxLength, c.Length, c.Replaced), c.Fits)
            << Utf8Encode(c.Text) << " " << c.MaxLength;
        if (c.Fits) {
            EXPECT_EQ(Utf8Encode(text), Utf8Encode(c.Result)) << Utf8Encode(c.Text) << " " << c.MaxLength;
        }
    }
}

// ---- The same keys in the edit, the memo and the rich edit ---------------------------------------------

enum : unsigned { kEdit = 1, kMemo = 2, kRich = 4, kAll = kEdit | kMemo | kRich, kLines = kMemo | kRich };

// A key with its modifiers, or text typed.
struct TStroke {
    uint16_t Key = 0;
    uint32_t Mods = 0;
    const char* Typed = nullptr;
};
TStroke K(uint16_t key) {
    return {key, 0};
}
TStroke Ctrl(uint16_t key) {
    return {key, modControl};
}
TStroke Shift(uint16_t key) {
    return {key, modShift};
}
TStroke CtrlShift(uint16_t key) {
    return {key, modControl | modShift};
}
TStroke Type(const char* text) {
    return {0, 0, text};
}

// Before: the text with '|' at the caret and '^' at the anchor of a selection. After: the text with '|'
// at the caret or the selection in brackets. The clipboard holds "clip" before each case.
struct TKeyCase {
    const char* Name;
    unsigned Controls;
    const char* Before;
    std::vector<TStroke> Keys;
    const char* After;
    const char* ClipboardAfter = "clip";
    bool ReadOnly = false;
    int MaxLength = 0;
};

const TKeyCase kKeyCases[] = {
    // Deleting.
    {"Backspace", kAll, "abc|", {K(VK_BACK)}, "ab|"},
    {"Ctrl+Backspace deletes a character too", kAll, "one two|", {Ctrl(VK_BACK)}, "one tw|"},
    {"Backspace at the start", kAll, "|abc", {K(VK_BACK)}, "|abc"},
    {"Backspace removes the selection", kAll, "a^bc|d", {K(VK_BACK)}, "a|d"},
    {"Backspace undone selects the character", kAll, "ab|c", {K(VK_BACK), Ctrl('Z')}, "a[b]c"},
    {"Delete", kAll, "a|bc", {K(VK_DELETE)}, "a|c"},
    {"Delete at the end", kAll, "abc|", {K(VK_DELETE)}, "abc|"},
    {"Delete removes the selection", kAll, "a|bc^d", {K(VK_DELETE)}, "a|d"},
    {"Ctrl+Delete to the next word", kAll, "|one two", {Ctrl(VK_DELETE)}, "|two"},
    {"Ctrl+Delete inside a word", kAll, "o|ne, two", {Ctrl(VK_DELETE)}, "o|two"},
    // Clipboard and undo.
    {"Shift+Delete cuts", kAll, "a^bc|d", {Shift(VK_DELETE)}, "a|d", "bc"},
    {"Ctrl+X cuts", kAll, "a|bc^d", {Ctrl('X')}, "a|d", "bc"},
    {"Ctrl+Insert copies", kAll, "a^bc|d", {Ctrl(VK_INSERT)}, "a[bc]d", "bc"},
    {"Ctrl+C copies", kAll, "a^bc|d", {Ctrl('C')}, "a[bc]d", "bc"},
    {"Copying nothing keeps the clipboard", kAll, "ab|c", {Ctrl('C'), Ctrl('X')}, "ab|c"},
    {"Shift+Insert pastes", kAll, "a|d", {Shift(VK_INSERT)}, "aclip|d"},
    {"Ctrl+V pastes over the selection", kAll, "a^bc|d", {Ctrl('V')}, "aclip|d"},
    {"Ctrl+A selects all", kAll, "ab|c", {Ctrl('A')}, "[abc]"},
    {"Ctrl+Z undoes a run of typing", kAll, "ab|", {Type("cd"), Ctrl('Z')}, "ab|"},
    {"Ctrl+Z twice redoes", kAll, "ab|", {Type("cd"), Ctrl('Z'), Ctrl('Z')}, "abcd|"},
    {"Undoing a cut", kAll, "a^bc|d", {Ctrl('X'), Ctrl('Z')}, "a[bc]d", "bc"},
    // Moving and selecting.
    {"Left collapses the selection to its start", kAll, "a^bc|d", {K(VK_LEFT)}, "a|bcd"},
    {"Right collapses the selection to its end", kAll, "a|bc^d", {K(VK_RIGHT)}, "abc|d"},
    {"Shift+Left keeps the anchor", kAll, "ab^c|d", {Shift(VK_LEFT), Shift(VK_LEFT)}, "a[b]cd"},
    {"Left at the start", kAll, "|ab", {K(VK_LEFT)}, "|ab"},
    {"Right at the end", kAll, "ab|", {K(VK_RIGHT)}, "ab|"},
    {"Ctrl+Left to the word's start", kAll, "one tw|o", {Ctrl(VK_LEFT)}, "one |two"},
    {"Ctrl+Left over punctuation", kAll, "one, |two", {Ctrl(VK_LEFT)}, "|one, two"},
    {"Ctrl+Right to the next word", kAll, "o|ne, two", {Ctrl(VK_RIGHT)}, "one, |two"},
    {"Ctrl+Shift+Right selects a word", kAll, "|one two", {CtrlShift(VK_RIGHT)}, "[one ]two"},
    {"Home", kAll, "ab|cd", {K(VK_HOME)}, "|abcd"},
    {"End", kAll, "ab|cd", {K(VK_END)}, "abcd|"},
    {"Shift+Home", kAll, "ab|cd", {Shift(VK_HOME)}, "[ab]cd"},
    {"Shift+End", kAll, "ab|cd", {Shift(VK_END)}, "ab[cd]"},
    // Read-only: moving and copying work, nothing changes the text.
    {"Read-only refuses typing", kAll, "ab|", {Type("x")}, "ab|", "clip", true},
    {"Read-only refuses Backspace", kAll, "ab|", {K(VK_BACK)}, "ab|", "clip", true},
    {"Read-only refuses Delete", kAll, "a|b", {K(VK_DELETE), Ctrl(VK_DELETE)}, "a|b", "clip", true},
    {"Read-only Ctrl+X only copies", kAll, "a^bc|d", {Ctrl('X')}, "a[bc]d", "bc", true},
    {"Read-only Shift+Delete only copies", kAll, "a^bc|d", {Shift(VK_DELETE)}, "a[bc]d", "bc", true},
    {"Read-only refuses pasting", kAll, "a^b|c", {Ctrl('V'), Shift(VK_INSERT)}, "a[b]c", "clip", true},
    {"Read-only still selects", kAll, "ab|cd", {CtrlShift(VK_LEFT)}, "[ab]cd", "clip", true},
    {"Read-only refuses Return", kLines, "ab|", {K(VK_RETURN)}, "ab|", "clip", true},
    // The length limit.
    {"Typing stops at the limit", kAll, "ab|", {Type("cde")}, "abc|", "clip", false, 3},
    {"A paste is cut to the room left", kAll, "a|b", {Ctrl('V')}, "ac|b", "clip", false, 3},
    {"Typing over a selection at the limit", kAll, "a^b|c", {Type("Z")}, "aZ|c", "clip", false, 3},
    {"Return at the limit", kMemo, "ab|", {K(VK_RETURN)}, "ab|", "clip", false, 3},
    {"Return at the limit (one character)", kRich, "ab|", {K(VK_RETURN)}, "ab\r\n|", "clip", false, 3},
    // Lines.
    {"Return breaks the line", kLines, "ab|cd", {K(VK_RETURN)}, "ab\r\n|cd"},
    {"Backspace joins the lines", kLines, "ab\r\n|cd", {K(VK_BACK)}, "ab|cd"},
    {"Delete joins the lines", kLines, "ab|\r\ncd", {K(VK_DELETE)}, "ab|cd"},
    {"Ctrl+Delete at a line's end", kLines, "ab|\r\ncd", {Ctrl(VK_DELETE)}, "ab|cd"},
    {"Left over a line break", kLines, "ab\r\n|cd", {K(VK_LEFT)}, "ab|\r\ncd"},
    {"Shift+Right selects a line break", kLines, "ab|\r\ncd", {Shift(VK_RIGHT)}, "ab[\r\n]cd"},
    {"Ctrl+Right stops after a line break", kLines, "ab|\r\ncd", {Ctrl(VK_RIGHT)}, "ab\r\n|cd"},
    {"Ctrl+Right stops before a line break", kLines, "|ab \r\ncd", {Ctrl(VK_RIGHT)}, "ab |\r\ncd"},
    {"Ctrl+Left over a line break", kLines, "ab\r\n|cd", {Ctrl(VK_LEFT)}, "|ab\r\ncd"},
    {"Home on the caret's line", kLines, "ab\r\nc|d", {K(VK_HOME)}, "ab\r\n|cd"},
    {"End on the caret's line", kLines, "a|b\r\ncd", {K(VK_END)}, "ab|\r\ncd"},
    {"Ctrl+Home", kLines, "ab\r\nc|d", {Ctrl(VK_HOME)}, "|ab\r\ncd"},
    {"Ctrl+Shift+End", kLines, "a|b\r\ncd", {CtrlShift(VK_END)}, "a[b\r\ncd]"},
    {"Down keeps the column", kLines, "ab|c\r\nd\r\nabc", {K(VK_DOWN), K(VK_DOWN)}, "abc\r\nd\r\nab|c"},
    {"Shift+Up selects to the line above", kLines, "ab\r\ncd|", {Shift(VK_UP)}, "ab[\r\ncd]"},
    {"Up on the first line", kLines, "a|b\r\ncd", {K(VK_UP)}, "a|b\r\ncd"},
    {"Down on the last line", kLines, "ab\r\nc|d", {K(VK_DOWN)}, "ab\r\nc|d"},
};

// The rich edit counts a paragraph break as one position; the cases count CR LF as two.
int ToRich(const std::string& text, int pos) {
    int breaks = 0;
    for (int i = 0; i + 1 < pos; ++i)
        if (text[i] == '\r' && text[i + 1] == '\n')
            ++breaks;
    return pos - breaks;
}

int FromRich(const std::string& text, int pos) {
    int plain = 0;
    for (int rich = 0; rich < pos && plain < static_cast<int>(text.size()); ++rich)
        plain += text.compare(plain, 2, "\r\n") == 0 ? 2 : 1;
    return plain;
}

class EditInputTest : public ::testing::Test {
protected:
    struct TTarget {
        const char* Name;
        unsigned Kind;
        TWinControl* Control;
        std::function<void()> ClearUndo;
        std::function<void(int)> SetSelStart;
    };

    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 500, 400);
        auto* edit = new TEdit(Form);
        edit->SetParent(Form);
        edit->SetBounds(10, 10, 300, 21);
        auto* memo = new TMemo(Form);
        memo->SetParent(Form);
        memo->SetBounds(10, 40, 300, 120);
        auto* rich = new TRichEdit(Form);
        rich->SetParent(Form);
        rich->SetBounds(10, 170, 300, 120);
        Targets = {
            {"edit", kEdit, edit, [edit] { edit->ClearUndo(); }, [edit](int p) { edit->SetSelStart(p); }},
            {"memo", kMemo, memo, [memo] { memo->ClearUndo(); }, [memo](int p) { memo->SetSelStart(p); }},
            {"rich edit", kRich, rich, [rich] { rich->ClearUndo(); },
             [rich](int p) { rich->SetSelStart(p); }}};
        Form->Show();
        Driver.Pump();
    }

    // Puts the case's text and selection into the control, with the focus.
    void Prepare(const TTarget& t, const TKeyCase& c) {
        std::string text;
        int anchor = -1, caret = -1;
        for (const char* p = c.Before; *p; ++p) {
            if (*p == '|')
                caret = static_cast<int>(text.size());
            else if (*p == '^')
                anchor = static_cast<int>(text.size());
            else
                text += *p;
        }
        if (anchor < 0)
            anchor = caret;
        t.Control->SetFocus();
        Driver.Pump();
        t.Control->Perform(EM_SETREADONLY, 0, 0);
        t.Control->Perform(EM_LIMITTEXT, 0, 0);
        t.Control->SetTextProp(""); // setting the same text again would keep the last case's state
        t.Control->SetTextProp(text);
        t.ClearUndo();
        if (t.Kind == kRich) {
            anchor = ToRich(text, anchor);
            caret = ToRich(text, caret);
        }
        t.Control->Perform(EM_SETSEL, static_cast<WPARAM>(anchor), caret);
        t.Control->Perform(EM_SETREADONLY, c.ReadOnly ? 1 : 0, 0);
        t.Control->Perform(EM_LIMITTEXT, static_cast<WPARAM>(c.MaxLength), 0);
        Clipboard()->SetAsText("clip");
    }

    // The control's text with its caret or selection marked.
    std::string State(const TTarget& t) {
        std::string text = t.Control->Text();
        LRESULT sel = t.Control->Perform(EM_GETSEL, 0, 0);
        int start = LOWORD(sel), end = HIWORD(sel);
        if (t.Kind == kRich) {
            start = FromRich(text, start);
            end = FromRich(text, end);
        }
        if (start == end)
            return text.insert(start, "|");
        return text.insert(end, "]").insert(start, "[");
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    std::vector<TTarget> Targets;
};

TEST_F(EditInputTest, SameKeysEditAlikeInEveryEdit) {
    for (const TKeyCase& c : kKeyCases) {
        for (const TTarget& t : Targets) {
            if (!(c.Controls & t.Kind))
                continue;
            SCOPED_TRACE(std::string(t.Name) + ": " + c.Name);
            Prepare(t, c);
            for (const TStroke& s : c.Keys) {
                if (s.Typed)
                    Driver.Type(s.Typed);
                else
                    Driver.PressKey(s.Key, s.Mods);
            }
            EXPECT_EQ(State(t), c.After);
            EXPECT_EQ(Clipboard()->AsText(), c.ClipboardAfter);
        }
    }
}

// The mouse selects alike in every edit: by characters, or after a double click by whole words.
TEST_F(EditInputTest, MouseSelectsAlikeInEveryEdit) {
    struct TGesture {
        TTestDriver& Driver;
        TWinControl* Control;
        TPoint At(int pos) {
            LRESULT r = Control->Perform(EM_POSFROMCHAR, static_cast<WPARAM>(pos), 0);
            return TPoint(GET_X_LPARAM(r), GET_Y_LPARAM(r) + 5);
        }
        void Click(int pos, uint32_t mods = 0) { Driver.Click(Control, At(pos), tbLeft, mods); }
        void DoubleClick(int pos) { Driver.DoubleClick(Control, At(pos)); }
        void Drag(int from, int to) { Driver.Drag(Control, At(from), At(to)); }
        // A double click whose second press drags on.
        void WordDrag(int from, int to) {
            Click(from);
            Drag(from, to);
        }
    };
    struct TMouseCase {
        const char* Name;
        std::function<void(TGesture&)> Do;
        const char* After;
    };
    // 0 alpha 5 blank 6 beta 10 two blanks 12 gamma 17
    const TMouseCase cases[] = {
        {"click", [](TGesture& g) { g.Click(3); }, "alp|ha beta  gamma"},
        {"Shift+click extends from the caret", [](TGesture& g) { g.Click(2), g.Click(8, modShift); },
         "al[pha be]ta  gamma"},
        {"drag", [](TGesture& g) { g.Drag(6, 10); }, "alpha [beta]  gamma"},
        {"double click on a word", [](TGesture& g) { g.DoubleClick(14); }, "alpha beta  [gamma]"},
        {"double click at a word's end", [](TGesture& g) { g.DoubleClick(5); }, "[alpha] beta  gamma"},
        {"double click between blanks", [](TGesture& g) { g.DoubleClick(11); }, "alpha beta [ ]gamma"},
        {"word drag forward", [](TGesture& g) { g.WordDrag(7, 13); }, "alpha [beta  gamma]"},
        {"word drag back", [](TGesture& g) { g.WordDrag(8, 2); }, "[alpha beta]  gamma"},
    };
    for (const TMouseCase& c : cases) {
        for (const TTarget& t : Targets) {
            SCOPED_TRACE(std::string(t.Name) + ": " + c.Name);
            Prepare(t, {c.Name, kAll, "|alpha beta  gamma", {}, ""});
            TGesture g{Driver, t.Control};
            c.Do(g);
            EXPECT_EQ(State(t), c.After);
            Driver.Advance(1000); // no double click across cases
        }
    }
}

// The edit messages that change or report the text, undo and the modified flag answer alike.
TEST_F(EditInputTest, TextMessagesAnswerAlikeInEveryEdit) {
    auto replace = [](const TTarget& t, const char* text, bool canUndo) {
        t.Control->Perform(EM_REPLACESEL, canUndo ? 1 : 0, reinterpret_cast<LPARAM>(text));
    };
    for (const TTarget& t : Targets) {
        SCOPED_TRACE(t.Name);
        Prepare(t, {t.Name, kAll, "ab|cd", {}, ""});
        EXPECT_EQ(t.Control->Perform(EM_GETMODIFY, 0, 0), 0) << "setting the text is no change";
        EXPECT_EQ(t.Control->Perform(EM_CANUNDO, 0, 0), 0);

        replace(t, "XY", true);
        EXPECT_EQ(State(t), "abXY|cd");
        EXPECT_EQ(t.Control->Perform(EM_GETMODIFY, 0, 0), 1);
        EXPECT_EQ(t.Control->Perform(EM_CANUNDO, 0, 0), 1);
        EXPECT_EQ(t.Control->Perform(EM_UNDO, 0, 0), 1);
        EXPECT_EQ(State(t), "ab|cd");
        t.Control->Perform(EM_SETMODIFY, 0, 0);
        EXPECT_EQ(t.Control->Perform(EM_GETMODIFY, 0, 0), 0);

        t.ClearUndo();
        replace(t, "Z", false);
        EXPECT_EQ(State(t), "abZ|cd");
        EXPECT_EQ(t.Control->Perform(EM_CANUNDO, 0, 0), 0) << "a replacement that cannot be undone";
        EXPECT_EQ(t.Control->Perform(EM_UNDO, 0, 0), 0);
        EXPECT_EQ(State(t), "abZ|cd");

        EXPECT_EQ(GetWindowText(t.Control->Handle()), "abZcd");
        EXPECT_EQ(GetWindowTextLength(t.Control->Handle()), 5);
        t.Control->Perform(EM_SETSEL, 1, 3);
        t.Control->Perform(WM_CLEAR, 0, 0);
        EXPECT_EQ(State(t), "a|cd");
        t.Control->Perform(EM_SETREADONLY, 1, 0);
        replace(t, "W", true);
        EXPECT_EQ(State(t), "aW|cd") << "the program may change a read-only text";
        t.Control->Perform(WM_CLEAR, 0, 0);
        t.Control->Perform(EM_SETSEL, 0, -1);
        t.Control->Perform(WM_CLEAR, 0, 0);
        EXPECT_EQ(State(t), "[aWcd]") << "the user may not";
    }
}

TEST_F(EditInputTest, DialogKeysEachEditWants) {
    const LRESULT typing = DLGC_WANTCHARS | DLGC_WANTARROWS;
    const LRESULT expected[] = {typing | DLGC_HASSETSEL, typing | DLGC_HASSETSEL | DLGC_WANTALLKEYS,
                                typing | DLGC_WANTALLKEYS};
    for (size_t i = 0; i < Targets.size(); ++i) {
        SCOPED_TRACE(Targets[i].Name);
        EXPECT_EQ(Targets[i].Control->Perform(WM_GETDLGCODE, 0, 0), expected[i]);
    }
}

// Moving up and down keeps the column the caret started from, until the program places the caret, even
// where the caret already is.
TEST_F(EditInputTest, AProgramPlacedCaretStartsANewColumn) {
    struct TColumnCase {
        const char* Before;
        int Place; // where the program puts the caret after the first Down
        const char* After;
    };
    const TColumnCase cases[] = {
        {"abcdef|gh\r\nabcdefgh\r\nab", 2, "abcdefgh\r\nab|cdefgh\r\nab"},
        {"abcdef|gh\r\nab\r\nabcdefgh", 12, "abcdefgh\r\nab\r\nab|cdefgh"},
    };
    for (const TColumnCase& c : cases) {
        for (const TTarget& t : Targets) {
            if (!(t.Kind & kLines))
                continue;
            for (bool byMessage : {true, false}) {
                SCOPED_TRACE(std::string(t.Name) + ": " + c.Before +
                             (byMessage ? " by EM_SETSEL" : " by SelStart"));
                Prepare(t, {c.Before, kLines, c.Before, {}, ""});
                Driver.PressKey(VK_DOWN);
                std::string text = t.Control->Text();
                int place = t.Kind == kRich ? ToRich(text, c.Place) : c.Place;
                if (byMessage)
                    t.Control->Perform(EM_SETSEL, static_cast<WPARAM>(place), place);
                else
                    t.SetSelStart(place);
                Driver.PressKey(VK_DOWN);
                EXPECT_EQ(State(t), c.After);
            }
        }
    }
}

// Typing a character the length limit refuses tells the control so (EN_MAXTEXT); a refused read-only
// edit does not.
TEST_F(EditInputTest, RefusedTypingReportsTheFullText) {
    struct TWatch : TEdit {
        using TEdit::TEdit;
        int MaxText = 0;
        void Dispatch(TMessage& m) override {
            if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_MAXTEXT)
                ++MaxText;
            TEdit::Dispatch(m);
        }
    };
    auto* edit = new TWatch(Form);
    edit->SetParent(Form);
    edit->SetBounds(320, 10, 100, 21);
    edit->SetFocus();
    edit->SetMaxLength(2);
    Driver.Type("abc");
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_EQ(edit->MaxText, 1);
    edit->SetReadOnly(true);
    edit->SetMaxLength(5);
    Driver.Type("d");
    EXPECT_EQ(edit->MaxText, 1);
}

} // namespace
