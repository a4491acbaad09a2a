// The text edit control: a window that edits one line (or, with ES_MULTILINE, several) of text with a
// caret, mouse and keyboard selection, one level of undo and the clipboard. Everything it does runs
// through messages (WM_CHAR, WM_KEYDOWN, WM_PASTE, EM_SETSEL, …) that reach DefaultHandler last, so a
// derived edit can watch or change any of them in WndProc or Dispatch and call the inherited handling.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Control.h"
#include "platform/ui/EditInput.h"
#include "platform/ui/Form.h"
#include "platform/ui/TextAlignment.h"
#include "platform/ui/WindowScroll.h"

namespace plat {

// Edit styles (the low word of the window style).
inline constexpr uint32_t ES_LEFT = 0x0000;
inline constexpr uint32_t ES_CENTER = 0x0001;
inline constexpr uint32_t ES_RIGHT = 0x0002;
inline constexpr uint32_t ES_MULTILINE = 0x0004;
inline constexpr uint32_t ES_UPPERCASE = 0x0008;
inline constexpr uint32_t ES_LOWERCASE = 0x0010;
inline constexpr uint32_t ES_PASSWORD = 0x0020;
inline constexpr uint32_t ES_AUTOVSCROLL = 0x0040;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x0080;
inline constexpr uint32_t ES_NOHIDESEL = 0x0100;
inline constexpr uint32_t ES_READONLY = 0x0800;
inline constexpr uint32_t ES_WANTRETURN = 0x1000;

// Edit messages. Positions are characters (code points) from 0; a line break "\r\n" counts two.
inline constexpr UINT EM_GETSEL = 0x00B0;     // answers MAKELRESULT(start, end)
inline constexpr UINT EM_SETSEL = 0x00B1;     // wParam start, lParam end; -1 start removes the selection
inline constexpr UINT EM_GETRECT = 0x00B2;    // lParam TRect*: the formatting rectangle
inline constexpr UINT EM_SETRECT = 0x00B3;    // lParam TRect* (null: the default); repaints
inline constexpr UINT EM_SETRECTNP = 0x00B4;  // the same without repainting
inline constexpr UINT EM_SCROLL = 0x00B5;     // wParam SB_LINEUP/SB_LINEDOWN/SB_PAGEUP/SB_PAGEDOWN
inline constexpr UINT EM_LINESCROLL = 0x00B6; // wParam columns, lParam lines
inline constexpr UINT EM_SCROLLCARET = 0x00B7;
inline constexpr UINT EM_GETMODIFY = 0x00B8;
inline constexpr UINT EM_SETMODIFY = 0x00B9;
inline constexpr UINT EM_GETLINECOUNT = 0x00BA;
inline constexpr UINT EM_LINEINDEX = 0x00BB;  // wParam line (-1: the caret's); first character
inline constexpr UINT EM_LINELENGTH = 0x00C1; // wParam a character of the line
inline constexpr UINT EM_REPLACESEL = 0x00C2; // wParam can undo, lParam const char* (UTF-8)
inline constexpr UINT EM_GETLINE = 0x00C4;    // wParam line, lParam std::string* to fill
inline constexpr UINT EM_LIMITTEXT = 0x00C5;  // wParam characters, 0 = no limit
inline constexpr UINT EM_CANUNDO = 0x00C6;
inline constexpr UINT EM_UNDO = 0x00C7;
inline constexpr UINT EM_LINEFROMCHAR = 0x00C9; // wParam character (-1: the caret's)
inline constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
inline constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
inline constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
inline constexpr UINT EM_SETREADONLY = 0x00CF;
inline constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
inline constexpr UINT EM_SETMARGINS = 0x00D3; // wParam EC_* bits, lParam MAKELPARAM(left, right)
inline constexpr UINT EM_GETMARGINS = 0x00D4;
inline constexpr UINT EM_GETLIMITTEXT = 0x00D5;
inline constexpr UINT EM_POSFROMCHAR = 0x00D6; // wParam character; answers MAKELRESULT(x, y), client
inline constexpr UINT EM_CHARFROMPOS = 0x00D7; // lParam MAKELPARAM(x, y); answers MAKELRESULT(char, line)

inline constexpr uint32_t EC_LEFTMARGIN = 0x0001;
inline constexpr uint32_t EC_RIGHTMARGIN = 0x0002;
inline constexpr uint32_t EC_USEFONTINFO = 0xFFFF;

// Edit notifications, sent to the control itself as CN_COMMAND with the code in the high word of wParam.
inline constexpr uint16_t EN_SETFOCUS = 0x0100;
inline constexpr uint16_t EN_KILLFOCUS = 0x0200;
inline constexpr uint16_t EN_CHANGE = 0x0300;
inline constexpr uint16_t EN_UPDATE = 0x0400;
inline constexpr uint16_t EN_MAXTEXT = 0x0501;
inline constexpr uint16_t EN_HSCROLL = 0x0601;
inline constexpr uint16_t EN_VSCROLL = 0x0602;

constexpr LRESULT MAKELRESULT(int lo, int hi) {
    return MAKELPARAM(lo, hi);
}

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TCustomControl {
    PLAT_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    char32_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    bool CanUndo() const { return FUndo.Valid; }

    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    void SetSelText(const std::string& Value);
    void SelectAll();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    void ClearUndo();
    void Clear();

    TNotifyEvent OnChange;

    // The text as code points and the character count (cheap; no UTF-8 conversion).
    const std::u32string& Chars() const { return FChars; }
    int CharCount() const { return static_cast<int>(FChars.size()); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void Paint() override;
    // Fires OnChange; runs for every change of the text (typing, clipboard, undo, Text).
    virtual void Change();
    void DoEnter() override;
    std::string GetText() const override;
    void SetText(const std::string& Value) override;

    // Painting steps, kept apart so a restyled edit can replace one.
    virtual void PaintBackground(TCanvas& Canvas, const TRect& Rect);
    virtual void PaintLine(TCanvas& Canvas, int Line, int X, int Y);
    virtual void PaintCaret(TCanvas& Canvas, TPoint Pos, int Height);
    virtual TColor TextColor() const;

    // ---- The editing engine (also used by the memo) ----
    struct TLine {
        int Start = 0;  // first character
        int Length = 0; // characters shown (without the line break)
        int Next = 0;   // first character of the next line
    };
    // The style bits the window was made with (ES_*).
    uint32_t EditStyle() const { return FEditStyle; }
    // The style bits in force before the window exists (the window's own bits replace them).
    void SetEditStyle(uint32_t Value) {
        FEditStyle = Value;
        InvalidateLayout();
    }
    bool IsMultiLine() const { return (FEditStyle & ES_MULTILINE) != 0; }
    virtual bool WrapLines() const { return false; }
    virtual bool WantReturns() const { return false; }
    virtual bool WantTabs() const { return false; }
    const std::vector<TLine>& LayoutLines() const;
    int LineOfChar(int Pos) const;
    int LineHeight() const;
    int FirstVisibleLine() const { return FTopLine; }
    int VisibleLineCount() const;
    TRect FormatRect() const;
    // The part of the client area the text uses by default (the memo keeps its scroll bars out).
    virtual TRect TextArea() const { return ClientRect(); }
    // Client point of a character (its left edge, the top of its line) and the character nearest a
    // client point.
    TPoint PosFromChar(int Pos) const;
    int CharFromPos(TPoint P) const;
    // Replaces the selection by Text as the user would (read-only and MaxLength apply when ByUser).
    bool ReplaceSelection(const std::u32string& Text, bool ByUser, bool CanUndo);
    // Moves the caret; with Extend the selection's anchor stays.
    void MoveCaret(int Pos, bool Extend);
    void SetSelection(int Anchor, int Caret);
    void ScrollCaretIntoView();
    void SetTopLine(int Line);
    int ScrollX() const { return FScrollX; }
    void SetScrollX(int Value);
    // Widest line in pixels (for horizontal scrolling).
    int ContentWidth() const;
    // The display form of a line (password characters in place of text).
    std::u32string DisplayText(int Start, int Length) const;
    int TextWidth(const std::u32string& S) const;
    // After the text, layout or scroll position changed (the memo updates its scroll bars here).
    virtual void LayoutChanged() {}
    void InvalidateLayout();

private:
    struct TUndoState {
        bool Valid = false;
        std::u32string Text;
        int Anchor = 0, Caret = 0;
    };
    // The editing messages the rich edit shares, answered from this text.
    class TInput;
    void MoveVertically(WPARAM Key, bool Extend);
    void NotifyChange();
    void SetEditText(std::u32string Value);
    void SaveUndo(bool Typing);
    void DoUndo();
    void Relayout() const;
    TCanvas& Measure() const;
    std::u32string ApplyCharCase(std::u32string S) const;

    std::u32string FChars;
    int FAnchor = 0, FCaret = 0;
    bool FAutoSelect = true;
    TBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    int FMaxLength = 0;
    char32_t FPasswordChar = 0;
    bool FReadOnly = false;
    bool FModified = false;
    uint32_t FEditStyle = 0;
    int FLeftMargin = 1, FRightMargin = 1;
    bool FCustomRect = false;
    TRect FRect;
    int FTopLine = 0;
    int FScrollX = 0;
    int FPreferredX = -1; // column kept while moving up and down
    TEditMouseSelection FMouse;
    TUndoState FUndo;
    bool FTypingRun = false;
    mutable bool FLayoutValid = false;
    mutable std::vector<TLine> FLines;
    mutable std::unique_ptr<TBitmap> FMeasure;
};

class TEdit : public TCustomEdit {
    PLAT_CLASS(TEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

} // namespace plat
