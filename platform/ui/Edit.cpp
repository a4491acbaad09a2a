#include "platform/ui/Edit.h"

#include <algorithm>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/EditInput.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"

namespace plat {

namespace {

const char* const kCharCaseNames[] = {"ecNormal", "ecUpperCase", "ecLowerCase"};

static_assert(std::size(kCharCaseNames) == ecLowerCase + 1);

bool IsSpace(char32_t c) {
    return c == ' ' || c == '\t' || c == 0xA0;
}

bool IsBreak(char32_t c) {
    return c == '\r' || c == '\n';
}

char32_t UpperChar(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    return c;
}

char32_t LowerChar(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    return c;
}

} // namespace

PLAT_CLASS_INFO(TCustomEdit, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TEdit, TCustomEdit)

PLAT_PROPERTIES(TCustomEdit) {
    props.Boolean("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect, true);
    props.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, kBorderStyleNames,
               bsSingle);
    props.Enum("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase, kCharCaseNames, ecNormal);
    props.Boolean("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection, true);
    props.Integer("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0);
    props.Integer("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar, 0);
    props.Boolean("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false);
    props.String("Text", &TCustomEdit::Text, &TCustomEdit::SetTextProp);
    props.Event("OnChange", &TCustomEdit::OnChange);
    props.Default("TabStop", true);
    props.Default("Color", clWindow);
    props.Default("ParentColor", false);
}

PLAT_PROPERTIES(TEdit) {}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight;
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
    SetCursor(crIBeam);
}

TCustomEdit::~TCustomEdit() = default;

// ---- Properties ------------------------------------------------------------------------------------------

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value)
        return;
    FCharCase = Value;
    if (Value != ecNormal) {
        std::u32string converted = ApplyCharCase(FChars);
        if (converted != FChars) {
            int a = FAnchor, c = FCaret;
            SetEditText(converted);
            SetSelection(a, c);
        }
    }
}

void TCustomEdit::SetHideSelection(bool Value) {
    FHideSelection = Value;
    Invalidate();
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
}

void TCustomEdit::SetPasswordChar(char32_t Value) {
    if (FPasswordChar == Value)
        return;
    FPasswordChar = Value;
    InvalidateLayout();
    Invalidate();
}

void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    Invalidate();
}

std::u32string TCustomEdit::ApplyCharCase(std::u32string S) const {
    if (FCharCase == ecUpperCase)
        std::transform(S.begin(), S.end(), S.begin(), UpperChar);
    else if (FCharCase == ecLowerCase)
        std::transform(S.begin(), S.end(), S.begin(), LowerChar);
    return S;
}

// ---- Text and selection ----------------------------------------------------------------------------------

std::string TCustomEdit::GetText() const {
    return Utf8Encode(FChars);
}

void TCustomEdit::SetText(const std::string& Value) {
    if (GetText() == Value)
        return;
    if (HandleAllocated()) {
        SetWindowText(WindowHandle(), Value); // WM_SETTEXT takes the text into the edit
    } else {
        TCustomControl::SetText(Value);
        SetEditText(Utf8Decode(Value));
    }
}

void TCustomEdit::SetEditText(std::u32string Value) {
    FChars = ApplyCharCase(std::move(Value));
    FAnchor = FCaret = 0;
    FModified = false;
    FTopLine = 0;
    FScrollX = 0;
    FPreferredX = -1;
    ClearUndo();
    InvalidateLayout();
    Invalidate();
    LayoutChanged();
    NotifyChange();
}

int TCustomEdit::SelStart() const {
    return std::min(FAnchor, FCaret);
}

int TCustomEdit::SelLength() const {
    return std::abs(FCaret - FAnchor);
}

void TCustomEdit::SetSelStart(int Value) {
    Perform(EM_SETSEL, static_cast<WPARAM>(Value), Value);
}

void TCustomEdit::SetSelLength(int Value) {
    int start = SelStart();
    Perform(EM_SETSEL, static_cast<WPARAM>(start), start + Value);
}

std::string TCustomEdit::SelText() const {
    return Utf8Encode(FChars.substr(SelStart(), SelLength()));
}

void TCustomEdit::SetSelText(const std::string& Value) {
    std::string copy = Value;
    Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(copy.c_str()));
}

void TCustomEdit::SelectAll() {
    Perform(EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection() {
    Perform(WM_CLEAR, 0, 0);
}

void TCustomEdit::CopyToClipboard() {
    Perform(WM_COPY, 0, 0);
}

void TCustomEdit::CutToClipboard() {
    Perform(WM_CUT, 0, 0);
}

void TCustomEdit::PasteFromClipboard() {
    Perform(WM_PASTE, 0, 0);
}

void TCustomEdit::Undo() {
    Perform(WM_UNDO, 0, 0);
}

void TCustomEdit::ClearUndo() {
    FUndo = TUndoState();
    FTypingRun = false;
}

void TCustomEdit::Clear() {
    SetText("");
}

void TCustomEdit::SetSelection(int Anchor, int Caret) {
    int n = CharCount();
    Anchor = std::clamp(Anchor, 0, n);
    Caret = std::clamp(Caret, 0, n);
    // A position never splits a CR LF pair.
    auto fix = [&](int p) {
        return p > 0 && p < n && FChars[p - 1] == '\r' && FChars[p] == '\n' ? p - 1 : p;
    };
    Anchor = fix(Anchor);
    Caret = fix(Caret);
    // A caret placed anew starts a new column for moving up and down (MoveVertically keeps its own).
    FPreferredX = -1;
    if (Anchor == FAnchor && Caret == FCaret)
        return;
    FAnchor = Anchor;
    FCaret = Caret;
    FTypingRun = false;
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::MoveCaret(int Pos, bool Extend) {
    SetSelection(Extend ? FAnchor : Pos, Pos);
}

bool TCustomEdit::ReplaceSelection(const std::u32string& Text, bool ByUser, bool CanUndo) {
    if (ByUser && FReadOnly)
        return false;
    int start = SelStart(), len = SelLength();
    std::u32string insert = ApplyCharCase(Text);
    if (!IsMultiLine()) {
        // A single line keeps no line breaks: the text stops at the first one.
        auto it = std::find_if(insert.begin(), insert.end(), IsBreak);
        insert.erase(it, insert.end());
    }
    if (ByUser && !FitEditText(insert, FMaxLength, CharCount(), len))
        return false;
    if (len == 0 && insert.empty())
        return false;
    bool typing = ByUser && len == 0 && insert.size() == 1;
    if (CanUndo)
        SaveUndo(typing);
    FChars.replace(start, len, insert);
    FAnchor = FCaret = start + static_cast<int>(insert.size());
    FTypingRun = typing;
    FModified = true;
    FPreferredX = -1;
    InvalidateLayout();
    ScrollCaretIntoView();
    Invalidate();
    NotifyChange();
    return true;
}

void TCustomEdit::SaveUndo(bool Typing) {
    if (Typing && FTypingRun && FUndo.Valid)
        return; // a run of typed characters is undone as one
    FUndo.Valid = true;
    FUndo.Text = FChars;
    FUndo.Anchor = FAnchor;
    FUndo.Caret = FCaret;
}

void TCustomEdit::DoUndo() {
    if (!FUndo.Valid || FReadOnly)
        return;
    // Undoing twice gives the text back: the state undone becomes the new undo step.
    TUndoState redo{true, FChars, FAnchor, FCaret};
    FChars = FUndo.Text;
    FAnchor = std::min(FUndo.Anchor, CharCount());
    FCaret = std::min(FUndo.Caret, CharCount());
    FUndo = redo;
    FTypingRun = false;
    FModified = true;
    InvalidateLayout();
    ScrollCaretIntoView();
    Invalidate();
    NotifyChange();
}

void TCustomEdit::NotifyChange() {
    Perform(CN_COMMAND, MAKEWPARAM(0, EN_CHANGE), 0);
}

void TCustomEdit::Change() {
    if (OnChange)
        OnChange(this);
}

// ---- Layout ----------------------------------------------------------------------------------------------

TCanvas& TCustomEdit::Measure() const {
    if (!FMeasure) {
        FMeasure = std::make_unique<TBitmap>();
        FMeasure->SetSize(1, 1);
    }
    TCanvas& c = *FMeasure->Canvas();
    c.Font()->Assign(Font());
    return c;
}

int TCustomEdit::TextWidth(const std::u32string& S) const {
    if (S.empty())
        return 0;
    return Measure().TextWidth(Utf8Encode(S));
}

int TCustomEdit::LineHeight() const {
    return std::max(1, Measure().TextHeight("Wg"));
}

std::u32string TCustomEdit::DisplayText(int Start, int Length) const {
    if (FPasswordChar)
        return std::u32string(Length, FPasswordChar);
    std::u32string s = FChars.substr(Start, Length);
    // Tabs show as blanks; the memo's columns need no tab stops.
    std::replace(s.begin(), s.end(), U'\t', U' ');
    return s;
}

void TCustomEdit::InvalidateLayout() {
    FLayoutValid = false;
}

const std::vector<TCustomEdit::TLine>& TCustomEdit::LayoutLines() const {
    if (!FLayoutValid)
        Relayout();
    return FLines;
}

void TCustomEdit::Relayout() const {
    FLayoutValid = true;
    FLines.clear();
    int n = CharCount();
    if (!IsMultiLine()) {
        FLines.push_back({0, n, n});
        return;
    }
    int avail = std::max(1, FormatRect().Width());
    bool wrap = WrapLines();
    int p = 0;
    while (true) {
        int e = p;
        while (e < n && !IsBreak(FChars[e]))
            ++e;
        int next = e;
        if (e < n)
            next = (FChars[e] == '\r' && e + 1 < n && FChars[e + 1] == '\n') ? e + 2 : e + 1;
        // Wrap the paragraph [p, e) at blanks to the width of the formatting rectangle.
        int s = p;
        while (wrap && s < e && TextWidth(DisplayText(s, e - s)) > avail) {
            int fit = s + 1;
            while (fit < e && TextWidth(DisplayText(s, fit + 1 - s)) <= avail)
                ++fit;
            int brk = fit;
            for (int k = fit; k > s; --k)
                if (IsSpace(FChars[k - 1]) || (k < e && IsSpace(FChars[k]))) {
                    brk = k;
                    break;
                }
            int stop = brk;
            while (stop < e && IsSpace(FChars[stop]))
                ++stop; // blanks at a wrap stay on the line they end
            FLines.push_back({s, stop - s, stop});
            s = stop;
        }
        FLines.push_back({s, e - s, next});
        if (e >= n)
            break;
        p = next;
    }
}

int TCustomEdit::LineOfChar(int Pos) const {
    const auto& lines = LayoutLines();
    int line = 0;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (lines[i].Start <= Pos)
            line = i;
        else
            break;
    }
    return line;
}

TRect TCustomEdit::FormatRect() const {
    if (FCustomRect)
        return FRect;
    TRect c = TextArea();
    TRect r(c.Left + FLeftMargin, c.Top, c.Right - FRightMargin, c.Bottom);
    if (!IsMultiLine()) {
        int lh = std::max(1, Measure().TextHeight("Wg"));
        r.Top = std::max(0, (c.Height() - lh) / 2);
    }
    return r;
}

int TCustomEdit::VisibleLineCount() const {
    return std::max(1, FormatRect().Height() / LineHeight());
}

int TCustomEdit::ContentWidth() const {
    int w = 0;
    for (const TLine& l : LayoutLines())
        w = std::max(w, TextWidth(DisplayText(l.Start, l.Length)));
    return w;
}

TPoint TCustomEdit::PosFromChar(int Pos) const {
    Pos = std::clamp(Pos, 0, CharCount());
    TRect r = FormatRect();
    int li = LineOfChar(Pos);
    const TLine& line = LayoutLines()[li];
    int lineWidth = TextWidth(DisplayText(line.Start, line.Length));
    int offset = 0;
    int avail = r.Width();
    if (lineWidth < avail) {
        if (FEditStyle & ES_RIGHT)
            offset = avail - lineWidth - 1;
        else if (FEditStyle & ES_CENTER)
            offset = (avail - lineWidth) / 2;
    }
    int within = std::min(Pos - line.Start, line.Length);
    int x = r.Left - FScrollX + offset + TextWidth(DisplayText(line.Start, within));
    int y = r.Top + (li - FTopLine) * LineHeight();
    return TPoint(x, y);
}

int TCustomEdit::CharFromPos(TPoint P) const {
    TRect r = FormatRect();
    const auto& lines = LayoutLines();
    int li = FTopLine + (P.Y >= r.Top ? (P.Y - r.Top) / LineHeight() : -1);
    li = std::clamp(li, 0, static_cast<int>(lines.size()) - 1);
    const TLine& line = lines[li];
    int x0 = PosFromChar(line.Start).X;
    int best = line.Start;
    int prevX = x0;
    for (int i = 1; i <= line.Length; ++i) {
        int x = x0 + TextWidth(DisplayText(line.Start, i));
        if (P.X < (prevX + x + 1) / 2)
            return best;
        best = line.Start + i;
        prevX = x;
    }
    return best;
}

void TCustomEdit::SetTopLine(int Line) {
    int maxTop = std::max(0, static_cast<int>(LayoutLines().size()) - VisibleLineCount());
    Line = std::clamp(Line, 0, std::max(maxTop, 0));
    if (Line == FTopLine)
        return;
    FTopLine = Line;
    Invalidate();
    LayoutChanged();
}

void TCustomEdit::SetScrollX(int Value) {
    Value = std::max(0, Value);
    if (Value == FScrollX)
        return;
    FScrollX = Value;
    Invalidate();
    LayoutChanged();
}

void TCustomEdit::ScrollCaretIntoView() {
    TRect r = FormatRect();
    if (IsMultiLine()) {
        int li = LineOfChar(FCaret);
        int visible = VisibleLineCount();
        if (li < FTopLine)
            FTopLine = li;
        else if (li >= FTopLine + visible)
            FTopLine = li - visible + 1;
        FTopLine = std::clamp(FTopLine, 0, std::max(0, static_cast<int>(LayoutLines().size()) - 1));
    }
    if (!WrapLines()) {
        const TLine& line = LayoutLines()[LineOfChar(FCaret)];
        int avail = std::max(1, r.Width());
        int cx = TextWidth(DisplayText(line.Start, std::min(FCaret - line.Start, line.Length)));
        if (cx - FScrollX > avail - 1)
            FScrollX = cx - avail + 1 + avail / 4;
        else if (cx < FScrollX)
            FScrollX = std::max(0, cx - avail / 4);
        if (!IsMultiLine() && TextWidth(DisplayText(0, CharCount())) < avail)
            FScrollX = 0;
    } else {
        FScrollX = 0;
    }
    Invalidate();
    LayoutChanged();
}

// ---- Window ----------------------------------------------------------------------------------------------

class TCustomEdit::TInput final : public TEditInput {
public:
    explicit TInput(TCustomEdit& Edit) : TEditInput(Edit), E(Edit) {}

protected:
    const std::u32string& Chars() const override { return E.FChars; }
    int Anchor() const override { return E.FAnchor; }
    int Caret() const override { return E.FCaret; }
    bool ReadOnly() const override { return E.FReadOnly; }
    void SetReadOnly(bool Value) override { E.SetReadOnly(Value); }
    int MaxLength() const override { return E.FMaxLength; }
    bool Modified() const override { return E.FModified; }
    void SetModified(bool Value) override { E.FModified = Value; }
    int LineStart() const override { return E.LayoutLines()[E.LineOfChar(E.FCaret)].Start; }
    int LineEnd() const override {
        const TLine& line = E.LayoutLines()[E.LineOfChar(E.FCaret)];
        return line.Start + line.Length;
    }
    TPoint PosFromChar(int Pos) const override { return E.PosFromChar(Pos); }
    int CharFromPos(TPoint P) const override { return E.CharFromPos(P); }
    void ScrollCaretIntoView() override { E.ScrollCaretIntoView(); }
    void Select(int Anchor, int Caret) override { E.SetSelection(Anchor, Caret); }
    void MoveCaret(int Pos, bool Extend) override { E.MoveCaret(Pos, Extend); }
    void MoveVertically(WPARAM Key, bool Extend) override { E.MoveVertically(Key, Extend); }
    void SelectAll() override { E.SelectAll(); }
    void Delete(int Anchor, int Caret) override {
        E.FAnchor = Anchor;
        E.FCaret = Caret;
        E.ReplaceSelection(U"", true, true);
    }
    bool Replace(const std::u32string& Text, bool ByUser, bool CanUndo) override {
        return E.ReplaceSelection(Text, ByUser, CanUndo);
    }
    // A password stays in the edit.
    bool CopySelection() override {
        if (E.FPasswordChar)
            return false;
        Clipboard()->SetAsText(E.SelText());
        return true;
    }
    bool CanUndo() const override { return E.FUndo.Valid; }
    void Undo() override { E.DoUndo(); }
    std::u32string ReturnText() const override { return E.IsMultiLine() && E.WantReturns() ? U"\r\n" : U""; }
    bool TypesTabs() const override { return E.IsMultiLine() && E.WantTabs(); }

private:
    TCustomEdit& E;
};

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Caption = GetText();
    Params.Style |= ES_AUTOHSCROLL;
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    if (FPasswordChar)
        Params.Style |= ES_PASSWORD;
    if (!FHideSelection)
        Params.Style |= ES_NOHIDESEL;
}

void TCustomEdit::CreateWindowHandle(const TCreateParams& Params) {
    FEditStyle = Params.Style & 0xFFFF;
    InvalidateLayout();
    TCustomControl::CreateWindowHandle(Params);
}

void TCustomEdit::DoEnter() {
    // Entering by keyboard selects everything; a click places the caret itself.
    if (FAutoSelect && !(ControlState() & csLButtonDown) && !IsMultiLine() && GetKeyState(VK_LBUTTON) >= 0)
        SelectAll();
    TCustomControl::DoEnter();
}

void TCustomEdit::Dispatch(TMessage& Message) {
    if (TInput(*this).Dispatch(Message, FMouse))
        return;
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = TInput(*this).DialogCode() | DLGC_HASSETSEL;
        return;
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(Message.LParam);
        SetEditText(Utf8Decode(text ? text : ""));
        TCustomControl::Dispatch(Message);
        return;
    }
    case WM_SIZE:
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        InvalidateLayout();
        LayoutChanged();
        return;
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE) {
            Change();
            return;
        }
        break;
    }
    TCustomControl::Dispatch(Message);
}

// The edit's own handling of every message, after the control's handlers let it through.
void TCustomEdit::DefaultHandler(TMessage& Message) {
    if (TInput(*this).DefaultHandler(Message, FMouse))
        return;
    switch (Message.Msg) {
    case EM_EMPTYUNDOBUFFER:
        ClearUndo();
        return;
    case EM_LIMITTEXT:
        FMaxLength = static_cast<int>(Message.WParam);
        return;
    case EM_GETLIMITTEXT:
        Message.Result = FMaxLength > 0 ? FMaxLength : 0x7FFFFFFE;
        return;
    case EM_SETPASSWORDCHAR:
        SetPasswordChar(static_cast<char32_t>(Message.WParam));
        return;
    case EM_GETPASSWORDCHAR:
        Message.Result = static_cast<LRESULT>(FPasswordChar);
        return;
    case EM_GETRECT:
        if (Message.LParam)
            *reinterpret_cast<TRect*>(Message.LParam) = FormatRect();
        return;
    case EM_SETRECT:
    case EM_SETRECTNP:
        if (Message.LParam) {
            FRect = *reinterpret_cast<const TRect*>(Message.LParam);
            FCustomRect = true;
        } else {
            FCustomRect = false;
        }
        InvalidateLayout();
        if (Message.Msg == EM_SETRECT)
            Invalidate();
        LayoutChanged();
        return;
    case EM_SETMARGINS: {
        uint32_t which = static_cast<uint32_t>(Message.WParam);
        if (which == EC_USEFONTINFO) {
            FLeftMargin = FRightMargin = 1;
        } else {
            if (which & EC_LEFTMARGIN)
                FLeftMargin = LOWORD(Message.LParam);
            if (which & EC_RIGHTMARGIN)
                FRightMargin = HIWORD(Message.LParam);
        }
        InvalidateLayout();
        Invalidate();
        return;
    }
    case EM_GETMARGINS:
        Message.Result = MAKELRESULT(FLeftMargin, FRightMargin);
        return;
    case EM_CHARFROMPOS: {
        int c = CharFromPos(PointFromLParam(Message.LParam));
        Message.Result = MAKELRESULT(c, LineOfChar(c));
        return;
    }
    case EM_GETLINECOUNT:
        Message.Result = static_cast<LRESULT>(LayoutLines().size());
        return;
    case EM_LINEINDEX: {
        int line = static_cast<int>(static_cast<intptr_t>(Message.WParam));
        if (line < 0)
            line = LineOfChar(FCaret);
        Message.Result = line < static_cast<int>(LayoutLines().size()) ? LayoutLines()[line].Start : -1;
        return;
    }
    case EM_LINELENGTH: {
        int pos = static_cast<int>(static_cast<intptr_t>(Message.WParam));
        Message.Result = LayoutLines()[LineOfChar(pos < 0 ? FCaret : pos)].Length;
        return;
    }
    case EM_LINEFROMCHAR: {
        int pos = static_cast<int>(static_cast<intptr_t>(Message.WParam));
        Message.Result = LineOfChar(pos < 0 ? FCaret : pos);
        return;
    }
    case EM_GETLINE: {
        int line = static_cast<int>(Message.WParam);
        std::string text;
        if (line >= 0 && line < static_cast<int>(LayoutLines().size()))
            text = Utf8Encode(FChars.substr(LayoutLines()[line].Start, LayoutLines()[line].Length));
        if (Message.LParam)
            *reinterpret_cast<std::string*>(Message.LParam) = text;
        Message.Result = static_cast<LRESULT>(Utf8Decode(text).size());
        return;
    }
    case EM_GETFIRSTVISIBLELINE:
        Message.Result = FTopLine;
        return;
    case EM_LINESCROLL:
        SetScrollX(FScrollX + static_cast<int>(static_cast<intptr_t>(Message.WParam)) * TextWidth(U"x"));
        SetTopLine(FTopLine + static_cast<int>(Message.LParam));
        Message.Result = 1;
        return;
    case EM_SCROLL: {
        int delta = 0;
        switch (static_cast<int>(Message.WParam)) {
        case SB_LINEUP:
            delta = -1;
            break;
        case SB_LINEDOWN:
            delta = 1;
            break;
        case SB_PAGEUP:
            delta = -VisibleLineCount();
            break;
        case SB_PAGEDOWN:
            delta = VisibleLineCount();
            break;
        }
        int before = FTopLine;
        SetTopLine(FTopLine + delta);
        Message.Result = MAKELRESULT(FTopLine - before, 1);
        return;
    }
    case WM_MOUSEWHEEL:
        if (IsMultiLine()) {
            SetTopLine(FTopLine - GET_WHEEL_DELTA_WPARAM(Message.WParam) * 3 / WHEEL_DELTA);
            Message.Result = 1;
            return;
        }
        break;
    }
    TCustomControl::DefaultHandler(Message);
}

void TCustomEdit::MoveVertically(WPARAM Key, bool Extend) {
    if (!IsMultiLine()) {
        if (Key == VK_UP || Key == VK_DOWN)
            MoveCaret(FCaret + (Key == VK_UP ? -1 : 1), Extend);
        return;
    }
    const auto& lines = LayoutLines();
    int li = LineOfChar(FCaret);
    auto toLine = [&](int targetLine) {
        targetLine = std::clamp(targetLine, 0, static_cast<int>(lines.size()) - 1);
        if (FPreferredX < 0)
            FPreferredX = PosFromChar(FCaret).X + FScrollX;
        int keep = FPreferredX;
        int y = FormatRect().Top + (targetLine - FTopLine) * LineHeight();
        if (targetLine < FTopLine)
            y = FormatRect().Top - 1;
        int pos = CharFromPos(TPoint(keep - FScrollX, y));
        if (LineOfChar(pos) != targetLine)
            pos = lines[targetLine].Start;
        MoveCaret(pos, Extend);
        FPreferredX = keep;
    };
    switch (Key) {
    case VK_UP:
        toLine(li - 1);
        break;
    case VK_DOWN:
        toLine(li + 1);
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        int page = Key == VK_PRIOR ? -VisibleLineCount() : VisibleLineCount();
        SetTopLine(FTopLine + page);
        toLine(li + page);
        break;
    }
    }
}

// ---- Painting --------------------------------------------------------------------------------------------

TColor TCustomEdit::TextColor() const {
    return Enabled() ? Font()->Color() : clGrayText;
}

void TCustomEdit::PaintBackground(TCanvas& Canvas, const TRect& Rect) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Enabled() ? Color() : clBtnFace);
    Canvas.FillRect(Rect);
}

void TCustomEdit::PaintLine(TCanvas& Canvas, int Line, int X, int Y) {
    const TLine& line = LayoutLines()[Line];
    TRect clip = FormatRect();
    int lh = LineHeight();
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.Font()->SetColor(TextColor());
    std::string text = Utf8Encode(DisplayText(line.Start, line.Length));
    Canvas.TextRect(clip, X, Y, text);
    bool showSel = Focused() || !FHideSelection;
    int s = std::max(SelStart(), line.Start);
    int e = std::min(SelStart() + SelLength(), line.Start + line.Length);
    if (showSel && SelLength() > 0 && s <= e) {
        int x1 = X + TextWidth(DisplayText(line.Start, s - line.Start));
        int x2 = X + TextWidth(DisplayText(line.Start, e - line.Start));
        // A selected line break shows as a blank's width.
        if (SelStart() + SelLength() > line.Start + line.Length && line.Next > line.Start + line.Length)
            x2 += TextWidth(U" ");
        TRect sel(std::max(x1, clip.Left), Y, std::min(x2, clip.Right), Y + lh);
        if (sel.Right > sel.Left) {
            Canvas.Brush()->SetStyle(bsSolid);
            Canvas.Brush()->SetColor(clHighlight);
            Canvas.FillRect(sel);
            Canvas.Brush()->SetStyle(bsClear);
            Canvas.Font()->SetColor(clHighlightText);
            Canvas.TextRect(sel, x1, Y, Utf8Encode(DisplayText(s, e - s)));
        }
    }
    Canvas.Brush()->SetStyle(bsSolid);
}

void TCustomEdit::PaintCaret(TCanvas& Canvas, TPoint Pos, int Height) {
    Canvas.Pen()->SetColor(Font()->Color());
    Canvas.Pen()->SetWidth(1);
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.MoveTo(Pos.X, Pos.Y);
    Canvas.LineTo(Pos.X, Pos.Y + Height);
}

void TCustomEdit::Paint() {
    TCanvas& c = *Canvas();
    c.Font()->Assign(Font());
    PaintBackground(c, ClientRect());
    const auto& lines = LayoutLines();
    int lh = LineHeight();
    TRect r = FormatRect();
    int last = std::min(static_cast<int>(lines.size()), FTopLine + VisibleLineCount() + 1);
    for (int i = FTopLine; i < last; ++i) {
        TPoint p = PosFromChar(lines[i].Start);
        if (p.Y >= r.Bottom)
            break;
        PaintLine(c, i, p.X, p.Y);
    }
    if (Focused() && Enabled()) {
        TPoint p = PosFromChar(FCaret);
        if (p.X >= r.Left - 1 && p.X <= r.Right && p.Y < r.Bottom)
            PaintCaret(c, p, lh);
    }
}

} // namespace plat
