#include "platform/ui/Memo.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {} // namespace

PLAT_CLASS_INFO(TMemoStrings, TStrings)
PLAT_CLASS_INFO(TCustomMemo, TCustomEdit)
PLAT_CLASS_INFO_CREATABLE(TMemo, TCustomMemo)

PLAT_PROPERTIES(TCustomMemo) {
    props.Enum("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment, kAlignmentNames,
               taLeftJustify);
    props.Object("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
    props.Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, kScrollStyleNames,
               ssNone);
    props.Boolean("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap, true);
    props.Boolean("WantReturns", &TCustomMemo::GetWantReturns, &TCustomMemo::SetWantReturns, true);
    props.Boolean("WantTabs", &TCustomMemo::GetWantTabs, &TCustomMemo::SetWantTabs, false);
    props.Hide("Text");
}

PLAT_PROPERTIES(TMemo) {}

// ---- Lines ----------------------------------------------------------------------------------------------

bool TMemoStrings::LineSpan(int index, int& start, int& end, int& next) const {
    const std::u32string& s = FMemo->Chars();
    int n = static_cast<int>(s.size());
    int line = 0, p = 0;
    while (true) {
        int e = p;
        while (e < n && s[e] != '\r' && s[e] != '\n')
            ++e;
        int nx = e;
        if (e < n)
            nx = (s[e] == '\r' && e + 1 < n && s[e + 1] == '\n') ? e + 2 : e + 1;
        if (line == index) {
            start = p;
            end = e;
            next = nx;
            return p < n || (p == n && index < Count());
        }
        if (e >= n)
            return false;
        p = nx;
        ++line;
    }
}

int TMemoStrings::Count() const {
    const std::u32string& s = FMemo->Chars();
    if (s.empty())
        return 0;
    int breaks = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' || (s[i] == '\r' && (i + 1 >= s.size() || s[i + 1] != '\n')))
            ++breaks;
    }
    bool endsWithBreak = s.back() == '\n' || s.back() == '\r';
    return endsWithBreak ? breaks : breaks + 1;
}

std::string TMemoStrings::Get(int index) const {
    int start, end, next;
    if (index < 0 || index >= Count() || !LineSpan(index, start, end, next))
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    return Utf8Encode(FMemo->Chars().substr(start, end - start));
}

void TMemoStrings::Put(int index, const std::string& s) {
    int start, end, next;
    if (index < 0 || index >= Count() || !LineSpan(index, start, end, next))
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    FMemo->SetSelStart(start);
    FMemo->SetSelLength(end - start);
    FMemo->SetSelText(s);
}

void TMemoStrings::Insert(int index, const std::string& s) {
    int count = Count();
    if (index < 0 || index > count)
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    int start, end, next;
    if (index < count && LineSpan(index, start, end, next)) {
        FMemo->SetSelStart(start);
        FMemo->SetSelText(s + "\r\n");
        return;
    }
    const std::u32string& chars = FMemo->Chars();
    int n = static_cast<int>(chars.size());
    FMemo->SetSelStart(n);
    if (n == 0 || chars.back() == '\n' || chars.back() == '\r')
        FMemo->SetSelText(s + "\r\n");
    else
        FMemo->SetSelText("\r\n" + s);
}

void TMemoStrings::Delete(int index) {
    int start, end, next;
    if (index < 0 || index >= Count() || !LineSpan(index, start, end, next))
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    FMemo->SetSelStart(start);
    FMemo->SetSelLength(next - start);
    FMemo->SetSelText("");
}

void TMemoStrings::Clear() {
    FMemo->SetTextProp("");
}

void TMemoStrings::SetText(const std::string& text) {
    FMemo->SetTextProp(text);
}

// ---- Memo -----------------------------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
    SetBounds(Left(), Top(), 185, 89);
    FControlStyle &= ~csFixedHeight;
    SetAutoSelect(false);
    SetEditStyle(ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN);
    FLines = std::make_unique<TMemoStrings>(this);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style &= ~(ES_AUTOHSCROLL);
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (!FWordWrap)
        Params.Style |= ES_AUTOHSCROLL;
    if (FWantReturns)
        Params.Style |= ES_WANTRETURN;
    if (FAlignment == taRightJustify)
        Params.Style |= ES_RIGHT;
    else if (FAlignment == taCenter)
        Params.Style |= ES_CENTER;
    if (VertShown())
        Params.Style |= WS_VSCROLL;
    if (HorzShown())
        Params.Style |= WS_HSCROLL;
}

void TCustomMemo::CreateWnd() {
    TCustomEdit::CreateWnd();
    UpdateScrollBars();
}

void TCustomMemo::SetAlignment(TAlignment Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    InvalidateLayout();
    SetScrollX(0);
    RecreateWnd();
    UpdateScrollBars();
    Invalidate();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    UpdateScrollBars();
}

void TCustomMemo::UpdateScrollBars() {
    if (!HandleAllocated() || FUpdatingBars)
        return;
    FUpdatingBars = true;
    HWND wnd = WindowHandle();
    // A bar that comes or goes changes the client area and so the wrapping: settle twice.
    for (int pass = 0; pass < 2; ++pass) {
        if (!VertShown())
            ShowScrollBar(wnd, SB_VERT, false);
        if (!HorzShown())
            ShowScrollBar(wnd, SB_HORZ, false);
        if (VertShown()) {
            int lines = static_cast<int>(LayoutLines().size());
            SetEditScrollBar(wnd, SB_VERT, std::max(0, lines - 1), VisibleLineCount(), FirstVisibleLine(),
                             true);
        }
        if (HorzShown()) {
            SetEditScrollBar(wnd, SB_HORZ, ContentWidth() + 2, std::max(1, FormatRect().Width()), ScrollX(),
                             true);
        }
    }
    FUpdatingBars = false;
}

void TCustomMemo::LayoutChanged() {
    UpdateScrollBars();
}

void TCustomMemo::ScrollMessage(bool Vertical, int Code) {
    int line = Vertical ? 1 : 8;
    int page = Vertical ? VisibleLineCount() : std::max(1, FormatRect().Width());
    int pos = Vertical ? FirstVisibleLine() : ScrollX();
    const int last = Vertical ? static_cast<int>(LayoutLines().size()) : ContentWidth();
    if (!ScrollRequestPosition(WindowHandle(), Vertical ? SB_VERT : SB_HORZ, Code, line, page, 0, last, pos))
        return;
    if (Vertical) {
        SetTopLine(pos);
    } else {
        // Never further than the widest line leaves in view.
        int maxX = std::max(0, ContentWidth() + 3 - page);
        SetScrollX(std::clamp(pos, 0, maxX));
    }
}

void TCustomMemo::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
        ScrollMessage(Message.Msg == WM_VSCROLL, LOWORD(Message.WParam));
        Message.Result = 0;
        return;
    }
    TCustomEdit::Dispatch(Message);
}

TPoint TCustomMemo::CaretPos() const {
    int pos = SelStart();
    const std::u32string& s = Chars();
    int line = 0, lineStart = 0;
    for (int i = 0; i < pos && i < static_cast<int>(s.size()); ++i) {
        if (s[i] == '\n' || (s[i] == '\r' && (i + 1 >= static_cast<int>(s.size()) || s[i + 1] != '\n'))) {
            ++line;
            lineStart = i + 1;
        }
    }
    return TPoint(pos - lineStart, line);
}

void TCustomMemo::SetCaretPos(TPoint Value) {
    int count = FLines->Count();
    if (count == 0) {
        SetSelStart(0);
        return;
    }
    int line = std::clamp(Value.Y, 0, count - 1);
    const std::u32string& s = Chars();
    int n = static_cast<int>(s.size()), p = 0;
    for (int l = 0; l < line && p < n; ++l) {
        while (p < n && s[p] != '\r' && s[p] != '\n')
            ++p;
        p += (p + 1 < n && s[p] == '\r' && s[p + 1] == '\n') ? 2 : 1;
    }
    int start = std::min(p, n);
    int end = start;
    while (end < n && s[end] != '\r' && s[end] != '\n')
        ++end;
    SetSelStart(start + std::clamp(Value.X, 0, end - start));
}

} // namespace plat
