#include "platform/ui/Memo.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {
const char* const kAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
const char* const kScrollStyleNames[] = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
} // namespace

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
    PlaceScrollBars();
    InvalidateLayout();
    SetScrollX(0);
    RecreateWnd();
    Invalidate();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    PlaceScrollBars();
}

TRect TCustomMemo::TextArea() const {
    TRect r = ClientRect();
    if (FVert && FVert->Visible())
        r.Right -= FVert->Width();
    if (FHorz && FHorz->Visible())
        r.Bottom -= FHorz->Height();
    return r;
}

void TCustomMemo::PlaceScrollBars() {
    auto make = [this](TScrollBarKind kind) {
        auto* bar = new TScrollBar(this);
        bar->SetKind(kind);
        bar->SetTabStop(false);
        bar->SetParent(this);
        bar->OnScroll = [this, kind](TObject*, TScrollCode, int& pos) {
            if (FUpdatingBars)
                return;
            if (kind == sbVertical)
                SetTopLine(pos);
            else
                SetScrollX(pos);
        };
        return bar;
    };
    if (VertShown() && !FVert)
        FVert = make(sbVertical);
    if (HorzShown() && !FHorz)
        FHorz = make(sbHorizontal);
    int sb = 16;
    TRect c = ClientRect();
    if (FVert) {
        FVert->SetVisible(VertShown());
        FVert->SetBounds(c.Right - sb, 0, sb, c.Height() - (HorzShown() ? sb : 0));
    }
    if (FHorz) {
        FHorz->SetVisible(HorzShown());
        FHorz->SetBounds(0, c.Bottom - sb, c.Width() - (VertShown() ? sb : 0), sb);
    }
    InvalidateLayout();
    LayoutChanged();
    Invalidate();
}

void TCustomMemo::LayoutChanged() {
    if (FUpdatingBars)
        return;
    FUpdatingBars = true;
    if (FVert && FVert->Visible()) {
        int lines = static_cast<int>(LayoutLines().size());
        FVert->SetPageSize(0);
        FVert->SetParams(FirstVisibleLine(), 0, std::max(0, lines - 1));
        FVert->SetPageSize(std::min(VisibleLineCount(), std::max(lines, 1)));
        FVert->SetLargeChange(std::max(1, VisibleLineCount()));
        FVert->SetPosition(FirstVisibleLine());
    }
    if (FHorz && FHorz->Visible()) {
        int width = ContentWidth() + 2;
        int page = std::max(1, FormatRect().Width());
        FHorz->SetPageSize(0);
        FHorz->SetParams(ScrollX(), 0, std::max(0, width));
        FHorz->SetPageSize(std::min(page, width + 1));
        FHorz->SetSmallChange(8);
        FHorz->SetLargeChange(page);
        FHorz->SetPosition(ScrollX());
    }
    FUpdatingBars = false;
}

void TCustomMemo::Dispatch(TMessage& Message) {
    TCustomEdit::Dispatch(Message);
    if (Message.Msg == WM_SIZE)
        PlaceScrollBars();
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
