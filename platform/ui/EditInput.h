// The editing the edit (and so the memo) and the rich edit have in common: the window's text and focus
// messages, the clipboard and undo, the selection messages, deleting by character or word, moving the
// caret by character, word, line and page with Shift extending the selection, typing, the length limit,
// selecting with the mouse, and the scroll bars of the memo and the rich edit. Each control keeps its own
// text model and answers for it through TEditInput; the text functions below work on both models'
// characters.
#pragma once

#include <string>

#include "platform/ui/Messages.h"

namespace plat {

class TWinControl;

// Positions in edit text, where a CR LF pair is one step and a word is a run of letters, digits and
// underscores (any character past ASCII but the blanks and punctuation of the general punctuation block).
bool IsEditWordChar(char32_t C);
int EditStepBack(const std::u32string& Text, int Pos);
int EditStepForward(const std::u32string& Text, int Pos);
int EditWordStart(const std::u32string& Text, int Pos);
int EditWordEnd(const std::u32string& Text, int Pos);
// Where Ctrl+Left and Ctrl+Right stop: the start of the word before, the start of the next word (a line
// break is a stop of its own).
int EditPrevWordStop(const std::u32string& Text, int Pos);
int EditNextWordStop(const std::u32string& Text, int Pos);
// Cuts Text to the room a length limit leaves when Replaced of the Length characters give way to it,
// never between the CR and the LF of a line break. False when nothing can go in and nothing would be
// replaced: the typing is refused.
bool FitEditText(std::u32string& Text, int MaxLength, int Length, int Replaced);

// What a press of the left button is selecting: characters, or after a double click whole words from
// the word clicked first.
struct TEditMouseSelection {
    bool Active = false;
    bool ByWords = false;
    int WordStart = 0, WordEnd = 0;
};

// Sets a window's scroll bar to the range 0 .. Max with a page and a position. A bar KeepShown stays,
// disabled while there is nothing to scroll; another one shows only while there is.
void SetEditScrollBar(HWND Wnd, int Bar, int Max, int Page, int Pos, bool KeepShown);

// The messages over a control's text model: each control derives a small adapter that answers from its
// own fields and makes one for every message.
class TEditInput {
public:
    // Ahead of the inherited Dispatch: answers WM_GETTEXT and WM_GETTEXTLENGTH with the control's text
    // (true). WM_SETFOCUS and WM_KILLFOCUS repaint the caret and the selection, and a lost focus ends a
    // mouse selection; they and every other message go on (false).
    bool Dispatch(TMessage& Message, TEditMouseSelection& Selection);
    // The answer to WM_GETDLGCODE: characters and arrows, and Return and Tab where they type.
    LRESULT DialogCode() const;
    // The editing messages of DefaultHandler: keys, characters, the mouse, the clipboard (WM_COPY,
    // WM_CUT, WM_PASTE, WM_CLEAR), undo (WM_UNDO, EM_UNDO, EM_CANUNDO), the selection (EM_GETSEL,
    // EM_SETSEL, EM_REPLACESEL), EM_GETMODIFY, EM_SETMODIFY, EM_SETREADONLY, EM_POSFROMCHAR and
    // EM_SCROLLCARET. False for any other message, and for the keys it has no use for and the mouse
    // messages, which go on to the inherited handling.
    bool DefaultHandler(TMessage& Message, TEditMouseSelection& Selection);

protected:
    explicit TEditInput(TWinControl& Control) : FControl(Control) {}
    ~TEditInput() = default;

    // The text as code points, as the control keeps it, and the selection.
    virtual const std::u32string& Chars() const = 0;
    virtual int Anchor() const = 0;
    virtual int Caret() const = 0;
    virtual bool ReadOnly() const = 0;
    virtual void SetReadOnly(bool Value) = 0;
    virtual int MaxLength() const = 0;
    virtual bool Modified() const = 0;
    virtual void SetModified(bool Value) = 0;
    // The first and the past-last position of the caret's line as shown.
    virtual int LineStart() const = 0;
    virtual int LineEnd() const = 0;
    // The client point of a position (the left edge, the top of its line) and the position nearest a
    // client point.
    virtual TPoint PosFromChar(int Pos) const = 0;
    virtual int CharFromPos(TPoint P) const = 0;
    virtual void ScrollCaretIntoView() = 0;
    // Selects from Anchor to Caret, the caret at Caret, or moves the caret along its line or the text;
    // either way the column kept for moving up and down is forgotten.
    virtual void Select(int Anchor, int Caret) = 0;
    virtual void MoveCaret(int Pos, bool Extend) = 0;
    // VK_UP, VK_DOWN, VK_PRIOR and VK_NEXT.
    virtual void MoveVertically(WPARAM Key, bool Extend) = 0;
    virtual void SelectAll() = 0;
    // Removes the characters between Anchor and Caret as the user's deletion; the pair is the selection
    // an undo brings back.
    virtual void Delete(int Anchor, int Caret) = 0;
    // Puts Text in place of the selection (ByUser: read-only and the length limit apply); false when
    // nothing changed.
    virtual bool Replace(const std::u32string& Text, bool ByUser, bool CanUndo) = 0;
    // Puts the selected text on the clipboard; false where it may not leave the control.
    virtual bool CopySelection() = 0;
    virtual bool CanUndo() const = 0;
    virtual void Undo() = 0;
    // What Return types, empty where the control leaves Return to the dialog; whether Tab types a tab.
    virtual std::u32string ReturnText() const = 0;
    virtual bool TypesTabs() const = 0;

private:
    // Handles an editing key of WM_KEYDOWN; false for any other key.
    bool KeyDown(TMessage& Message);
    // WM_CHAR: the Ctrl shortcuts, Backspace, Return, Tab and typed characters.
    void Char(TMessage& Message);
    // WM_PASTE: the clipboard's text as typed.
    void Paste();
    // WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_MOUSEMOVE and WM_LBUTTONUP.
    void Mouse(TMessage& Message, TEditMouseSelection& Selection);
    // Typing: Text in place of the selection, undone in runs.
    bool Insert(const std::u32string& Text) { return Replace(Text, true, true); }

    TWinControl& FControl;
};

} // namespace plat
