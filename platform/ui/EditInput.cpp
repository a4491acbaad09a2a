#include "platform/ui/EditInput.h"

#include <algorithm>
#include <cwctype>

#include "platform/rtl/StringUtils.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Control.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Keys.h"
#include "platform/ui/WindowScroll.h"

namespace plat {

namespace {

bool IsBreak(char32_t c) {
    return c == '\r' || c == '\n';
}

int Size(const std::u32string& Text) {
    return static_cast<int>(Text.size());
}

} // namespace

// ---- Positions in the text -------------------------------------------------------------------------------

bool IsEditWordChar(char32_t C) {
    if (C < 0x80)
        return std::iswalnum(static_cast<wint_t>(C)) || C == '_';
    return !(C == 0xA0 || (C >= 0x2000 && C <= 0x206F) || C == 0x3000);
}

int EditStepBack(const std::u32string& Text, int Pos) {
    Pos = std::clamp(Pos, 0, Size(Text));
    if (Pos > 1 && Text[Pos - 1] == '\n' && Text[Pos - 2] == '\r')
        return Pos - 2;
    return std::max(0, Pos - 1);
}

int EditStepForward(const std::u32string& Text, int Pos) {
    int n = Size(Text);
    Pos = std::clamp(Pos, 0, n);
    if (Pos + 1 < n && Text[Pos] == '\r' && Text[Pos + 1] == '\n')
        return Pos + 2;
    return std::min(n, Pos + 1);
}

int EditWordStart(const std::u32string& Text, int Pos) {
    while (Pos > 0 && IsEditWordChar(Text[Pos - 1]))
        --Pos;
    return Pos;
}

int EditWordEnd(const std::u32string& Text, int Pos) {
    int n = Size(Text);
    while (Pos < n && IsEditWordChar(Text[Pos]))
        ++Pos;
    return Pos;
}

int EditPrevWordStop(const std::u32string& Text, int Pos) {
    while (Pos > 0 && !IsEditWordChar(Text[Pos - 1]))
        --Pos;
    return EditWordStart(Text, Pos);
}

int EditNextWordStop(const std::u32string& Text, int Pos) {
    int n = Size(Text);
    if (Pos < n && IsBreak(Text[Pos]))
        return EditStepForward(Text, Pos);
    Pos = EditWordEnd(Text, Pos);
    while (Pos < n && !IsEditWordChar(Text[Pos]) && !IsBreak(Text[Pos]))
        ++Pos;
    return Pos;
}

bool FitEditText(std::u32string& Text, int MaxLength, int Length, int Replaced) {
    if (MaxLength <= 0)
        return true;
    int room = MaxLength - (Length - Replaced);
    if (room < Size(Text)) {
        if (room <= 0 && Replaced == 0)
            return false;
        room = std::max(0, room);
        // Half a line break would be a stray CR in the text: the whole pair stays out.
        if (room > 0 && Text[room - 1] == '\r' && Text[room] == '\n')
            --room;
        Text.resize(room);
        if (Text.empty() && Replaced == 0)
            return false;
    }
    return true;
}

// ---- Scroll bars -----------------------------------------------------------------------------------------

void SetEditScrollBar(HWND Wnd, int Bar, int Max, int Page, int Pos, bool KeepShown) {
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | (KeepShown ? SIF_DISABLENOSCROLL : 0);
    info.nMin = 0;
    info.nMax = Max;
    info.nPage = static_cast<uint32_t>(Page);
    info.nPos = Pos;
    SetScrollInfo(Wnd, Bar, info, true);
}

// ---- Window messages -------------------------------------------------------------------------------------

bool TEditInput::Dispatch(TMessage& Message, TEditMouseSelection& Selection) {
    switch (Message.Msg) {
    case WM_GETTEXT: {
        std::string text = FControl.Text();
        Message.Result = static_cast<LRESULT>(text.size());
        if (Message.LParam)
            *reinterpret_cast<std::string*>(Message.LParam) = std::move(text);
        return true;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = static_cast<LRESULT>(FControl.Text().size());
        return true;
    case WM_KILLFOCUS:
        Selection.Active = false;
        FControl.Invalidate();
        return false;
    case WM_SETFOCUS:
        FControl.Invalidate();
        return false;
    }
    return false;
}

LRESULT TEditInput::DialogCode() const {
    LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS;
    if (!ReturnText().empty())
        code |= DLGC_WANTALLKEYS;
    if (TypesTabs())
        code |= DLGC_WANTTAB;
    return code;
}

bool TEditInput::DefaultHandler(TMessage& Message, TEditMouseSelection& Selection) {
    switch (Message.Msg) {
    case WM_KEYDOWN:
        return KeyDown(Message);
    case WM_CHAR:
        Char(Message);
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        Mouse(Message, Selection);
        return false;
    case WM_COPY:
    case WM_CUT: {
        int anchor = Anchor(), caret = Caret();
        if (anchor != caret && CopySelection() && Message.Msg == WM_CUT)
            Delete(anchor, caret);
        return true;
    }
    case WM_PASTE:
        Paste();
        return true;
    case WM_CLEAR:
        Replace(U"", true, true);
        return true;
    case WM_UNDO:
    case EM_UNDO:
        Message.Result = CanUndo() ? 1 : 0;
        Undo();
        return true;
    case EM_CANUNDO:
        Message.Result = CanUndo() ? 1 : 0;
        return true;
    case EM_GETSEL:
        Message.Result = MAKELRESULT(std::min(Anchor(), Caret()), std::max(Anchor(), Caret()));
        return true;
    case EM_SETSEL: {
        int start = static_cast<int>(static_cast<intptr_t>(Message.WParam));
        int end = static_cast<int>(Message.LParam);
        // The caret goes to the end given last, as with a selection made by hand.
        if (start < 0)
            Select(Caret(), Caret());
        else
            Select(start, end < 0 ? Size(Chars()) : end);
        return true;
    }
    case EM_REPLACESEL: {
        const char* text = reinterpret_cast<const char*>(Message.LParam);
        Replace(Utf8Decode(text ? text : ""), false, Message.WParam != 0);
        return true;
    }
    case EM_GETMODIFY:
        Message.Result = Modified() ? 1 : 0;
        return true;
    case EM_SETMODIFY:
        SetModified(Message.WParam != 0);
        return true;
    case EM_SETREADONLY:
        SetReadOnly(Message.WParam != 0);
        Message.Result = 1;
        return true;
    case EM_POSFROMCHAR: {
        TPoint p = PosFromChar(static_cast<int>(Message.WParam));
        Message.Result = MAKELRESULT(p.X, p.Y);
        return true;
    }
    case EM_SCROLLCARET:
        ScrollCaretIntoView();
        return true;
    }
    return false;
}

// ---- Keys ------------------------------------------------------------------------------------------------

bool TEditInput::KeyDown(TMessage& Message) {
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    bool ext = shift & ssShift, ctrl = shift & ssCtrl;
    const std::u32string& text = Chars();
    int anchor = Anchor(), caret = Caret();
    bool selected = anchor != caret;
    switch (Message.WParam) {
    case VK_LEFT:
        if (!ext && selected)
            MoveCaret(std::min(anchor, caret), false);
        else
            MoveCaret(ctrl ? EditPrevWordStop(text, caret) : EditStepBack(text, caret), ext);
        break;
    case VK_RIGHT:
        if (!ext && selected)
            MoveCaret(std::max(anchor, caret), false);
        else
            MoveCaret(ctrl ? EditNextWordStop(text, caret) : EditStepForward(text, caret), ext);
        break;
    case VK_HOME:
        MoveCaret(ctrl ? 0 : LineStart(), ext);
        break;
    case VK_END:
        MoveCaret(ctrl ? Size(text) : LineEnd(), ext);
        break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        MoveVertically(Message.WParam, ext);
        break;
    case VK_DELETE:
        if (ext) {
            FControl.Perform(WM_CUT, 0, 0);
        } else if (!ReadOnly()) {
            if (selected)
                Delete(anchor, caret);
            else if (caret < Size(text))
                Delete(caret, ctrl ? EditNextWordStop(text, caret) : EditStepForward(text, caret));
        }
        break;
    case VK_INSERT:
        if (ctrl)
            FControl.Perform(WM_COPY, 0, 0);
        else if (ext)
            FControl.Perform(WM_PASTE, 0, 0);
        break;
    default:
        return false;
    }
    Message.Result = 0;
    return true;
}

void TEditInput::Char(TMessage& Message) {
    char32_t ch = static_cast<char32_t>(Message.WParam);
    switch (ch) {
    case 0x01: // Ctrl+A
        SelectAll();
        return;
    case 0x03: // Ctrl+C
        FControl.Perform(WM_COPY, 0, 0);
        return;
    case 0x16: // Ctrl+V
        FControl.Perform(WM_PASTE, 0, 0);
        return;
    case 0x18: // Ctrl+X
        FControl.Perform(WM_CUT, 0, 0);
        return;
    case 0x1A: // Ctrl+Z
        FControl.Perform(WM_UNDO, 0, 0);
        return;
    case '\b': {
        if (ReadOnly())
            return;
        int anchor = Anchor(), caret = Caret();
        if (anchor != caret)
            Delete(anchor, caret);
        else if (caret > 0)
            Delete(caret, EditStepBack(Chars(), caret));
        return;
    }
    case '\r':
    case '\n': {
        std::u32string lineBreak = ReturnText();
        if (!lineBreak.empty())
            Insert(lineBreak);
        return;
    }
    case '\t':
        if (TypesTabs())
            Insert(U"\t");
        return;
    }
    if (ch < 0x20 || ch == 0x7F)
        return;
    if (!Insert(std::u32string(1, ch)) && MaxLength() > 0 && !ReadOnly())
        FControl.Perform(CN_COMMAND, MAKEWPARAM(0, EN_MAXTEXT), 0);
}

void TEditInput::Paste() {
    if (!ReadOnly() && Clipboard()->HasFormat(CF_TEXT))
        Insert(Utf8Decode(Clipboard()->AsText()));
}

// ---- Mouse -----------------------------------------------------------------------------------------------

void TEditInput::Mouse(TMessage& Message, TEditMouseSelection& Selection) {
    TPoint p = PointFromLParam(Message.LParam);
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: {
        if (!FControl.Focused() && FControl.CanFocus())
            FControl.SetFocus();
        int pos = CharFromPos(p);
        Selection.Active = true;
        Selection.ByWords = false;
        MoveCaret(pos, (Message.WParam & MK_SHIFT) != 0);
        break;
    }
    case WM_LBUTTONDBLCLK: {
        if (!FControl.Focused() && FControl.CanFocus())
            FControl.SetFocus();
        int pos = CharFromPos(p);
        const std::u32string& text = Chars();
        int n = Size(text);
        int start = pos, end = pos;
        if (pos < n && IsEditWordChar(text[pos])) {
            start = EditWordStart(text, pos);
            end = EditWordEnd(text, pos);
        } else if (pos > 0 && IsEditWordChar(text[pos - 1])) {
            start = EditWordStart(text, pos - 1);
            end = pos;
        } else if (pos < n && !IsBreak(text[pos])) {
            end = pos + 1;
        }
        Selection = {true, true, start, end};
        Select(start, end);
        break;
    }
    case WM_MOUSEMOVE:
        if (Selection.Active && (Message.WParam & MK_LBUTTON)) {
            int pos = CharFromPos(p);
            if (!Selection.ByWords)
                Select(Anchor(), pos);
            else if (pos < Selection.WordStart)
                Select(Selection.WordEnd, EditWordStart(Chars(), pos));
            else
                Select(Selection.WordStart, std::max(Selection.WordEnd, EditWordEnd(Chars(), pos)));
        }
        break;
    case WM_LBUTTONUP:
        Selection.Active = false;
        break;
    }
}

} // namespace plat
