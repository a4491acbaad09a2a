#include "platform/ui/ListBox.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/WindowScroll.h"

namespace plat {

PLAT_CLASS_INFO(TListBoxStrings, TStrings)
PLAT_CLASS_INFO(TCustomListBox, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TListBox, TCustomListBox)

namespace {

const char* const kListBoxStyleNames[] = {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"};

static_assert(std::size(kListBoxStyleNames) == lbOwnerDrawVariable + 1);

// The line height of a font, measured once per font description.
int LineHeightOf(TFont* Font) {
    return MeasuringCanvas(Font).TextHeight("Wg");
}

struct TRegistrar {
    TRegistrar() { RegisterClasses({&TListBox::StaticClass()}); }
} registrar;

} // namespace

PLAT_PROPERTIES(TCustomListBox) {
    props.Object("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
    props.Integer("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex, -1);
    props.Boolean("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect, false);
    props.Boolean("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect,
                  true);
    props.Enum("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle, kListBoxStyleNames, lbStandard);
    props.Integer("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
    props.Boolean("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted, false);
    props.Enum("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle,
               kBorderStyleNames, bsSingle);
    props.Boolean("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight,
                  false);
    props.Boolean("TabStop", &TCustomListBox::TabStop, &TCustomListBox::SetTabStop, true);
    props.Event("OnDrawItem", &TCustomListBox::OnDrawItem);
    props.Event("OnMeasureItem", &TCustomListBox::OnMeasureItem);
}

// ---- TListBoxStrings ----

void TListBoxStrings::CheckIndex(int Index, bool AllowEnd) const {
    if (Index < 0 || Index > Count() || (!AllowEnd && Index == Count()))
        throw EStringListError(Format("List index out of bounds (%d)", {Index}));
}

std::string TListBoxStrings::Get(int Index) const {
    CheckIndex(Index);
    return FItems[Index].Text;
}

void TListBoxStrings::Put(int Index, const std::string& S) {
    CheckIndex(Index);
    FItems[Index].Text = S;
    Changed();
}

TObject* TListBoxStrings::GetObject(int Index) const {
    CheckIndex(Index);
    return FItems[Index].Object;
}

void TListBoxStrings::PutObject(int Index, TObject* Obj) {
    CheckIndex(Index);
    FItems[Index].Object = Obj;
}

void TListBoxStrings::Insert(int Index, const std::string& S) {
    InsertObject(Index, S, nullptr);
}

void TListBoxStrings::InsertObject(int Index, const std::string& S, TObject* Obj) {
    CheckIndex(Index, true);
    TItem item;
    item.Text = S;
    item.Object = Obj;
    FItems.insert(FItems.begin() + Index, item);
    TCustomListBox* lb = FListBox;
    if (lb->FItemIndex >= Index)
        ++lb->FItemIndex;
    if (lb->FAnchor >= Index)
        ++lb->FAnchor;
    Changed();
}

int TListBoxStrings::Add(const std::string& S) {
    return AddObject(S, nullptr);
}

int TListBoxStrings::AddObject(const std::string& S, TObject* Obj) {
    int index = Count();
    if (FListBox->FSorted) {
        // After the last item that does not sort above the new one, as a sorted list box inserts.
        index = static_cast<int>(std::upper_bound(FItems.begin(), FItems.end(), S,
                                                  [](const std::string& s, const TItem& it) {
                                                      return AnsiCompareText(s, it.Text) < 0;
                                                  }) -
                                 FItems.begin());
    }
    InsertObject(index, S, Obj);
    return index;
}

void TListBoxStrings::Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    TCustomListBox* lb = FListBox;
    if (lb->FItemIndex == Index)
        lb->FItemIndex = -1;
    else if (lb->FItemIndex > Index)
        --lb->FItemIndex;
    if (lb->FAnchor >= Count())
        lb->FAnchor = Count() - 1;
    Changed();
}

void TListBoxStrings::Clear() {
    FItems.clear();
    FListBox->FItemIndex = -1;
    FListBox->FAnchor = -1;
    FListBox->FTopIndex = 0;
    Changed();
}

void TListBoxStrings::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FItems[Index1], FItems[Index2]);
    TCustomListBox* lb = FListBox;
    if (lb->FItemIndex == Index1)
        lb->FItemIndex = Index2;
    else if (lb->FItemIndex == Index2)
        lb->FItemIndex = Index1;
    Changed();
}

void TListBoxStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    TItem item = FItems[CurIndex];
    bool wasCurrent = FListBox->FItemIndex == CurIndex;
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, item);
    if (wasCurrent)
        FListBox->FItemIndex = NewIndex;
    Changed();
}

void TListBoxStrings::SetUpdateState(bool Updating) {
    FListBox->ItemsUpdating(Updating);
}

void TListBoxStrings::Changed() {
    if (FListBox->FUpdating == 0)
        FListBox->ItemsChanged();
}

// ---- TCustomListBox ----

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TListBoxStrings>(this)) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    FColor = clWindow;
    SetParentColor(false);
    FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

void TCustomListBox::ItemsUpdating(bool Updating) {
    if (Updating)
        ++FUpdating;
    else if (--FUpdating == 0)
        ItemsChanged();
}

void TCustomListBox::ItemsChanged() {
    if (FItemIndex >= Count())
        FItemIndex = Count() - 1;
    UpdateScrollBar();
    Invalidate();
}

void TCustomListBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= Count())
        Value = -1;
    if (!FMultiSelect) {
        for (auto& it : FItems->FItems)
            it.Selected = false;
        if (Value >= 0)
            FItems->FItems[Value].Selected = true;
    }
    if (Value == FItemIndex && FMultiSelect)
        return;
    FItemIndex = Value;
    FAnchor = Value;
    if (Value >= 0)
        MakeVisible(Value);
    Invalidate();
}

void TCustomListBox::SetMultiSelect(bool Value) {
    if (FMultiSelect == Value)
        return;
    FMultiSelect = Value;
    for (int i = 0; i < Count(); ++i)
        FItems->FItems[i].Selected = !Value && i == FItemIndex;
    Invalidate();
}

bool TCustomListBox::Selected(int Index) const {
    FItems->CheckIndex(Index);
    if (!FMultiSelect)
        return Index == FItemIndex;
    return FItems->FItems[Index].Selected;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
    FItems->CheckIndex(Index);
    if (!FMultiSelect) {
        if (Value)
            SetItemIndex(Index);
        else if (Index == FItemIndex)
            SetItemIndex(-1);
        return;
    }
    if (FItems->FItems[Index].Selected != Value) {
        FItems->FItems[Index].Selected = Value;
        InvalidateItem(Index);
    }
}

int TCustomListBox::SelCount() const {
    if (!FMultiSelect)
        return -1;
    return static_cast<int>(std::count_if(FItems->FItems.begin(), FItems->FItems.end(),
                                          [](const auto& it) { return it.Selected; }));
}

void TCustomListBox::ClearSelection() {
    if (!FMultiSelect) {
        SetItemIndex(-1);
        return;
    }
    for (auto& it : FItems->FItems)
        it.Selected = false;
    Invalidate();
}

void TCustomListBox::SelectAll() {
    if (!FMultiSelect)
        return;
    for (auto& it : FItems->FItems)
        it.Selected = true;
    Invalidate();
}

void TCustomListBox::DeleteSelected() {
    FItems->BeginUpdate();
    for (int i = Count() - 1; i >= 0; --i)
        if (Selected(i))
            FItems->Delete(i);
    FItems->EndUpdate();
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
    if (FStyle == Value)
        return;
    FStyle = Value;
    for (auto& it : FItems->FItems)
        it.Height = 0;
    UpdateScrollBar();
    Invalidate();
}

int TCustomListBox::ItemHeight() const {
    if (FStyle == lbStandard && !FItemHeightSet)
        return std::max(1, LineHeightOf(Font()));
    return FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value) {
    if (Value <= 0)
        return;
    FItemHeight = Value;
    FItemHeightSet = true;
    UpdateScrollBar();
    Invalidate();
}

void TCustomListBox::SetSorted(bool Value) {
    if (FSorted == Value)
        return;
    FSorted = Value;
    if (Value) {
        auto& items = FItems->FItems;
        TObject* current = FItemIndex >= 0 ? items[FItemIndex].Object : nullptr;
        std::string currentText = FItemIndex >= 0 ? items[FItemIndex].Text : std::string();
        bool had = FItemIndex >= 0;
        std::stable_sort(items.begin(), items.end(),
                         [](const auto& a, const auto& b) { return AnsiCompareText(a.Text, b.Text) < 0; });
        if (had) {
            for (int i = 0; i < Count(); ++i)
                if (items[i].Text == currentText && items[i].Object == current) {
                    FItemIndex = i;
                    break;
                }
        }
        ItemsChanged();
    }
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomListBox::SetTopIndex(int Value) {
    Value = std::clamp(Value, 0, MaxTopIndex());
    if (Value == FTopIndex)
        return;
    FTopIndex = Value;
    if (HandleAllocated())
        SetScrollPos(WindowHandle(), SB_VERT, Value, true);
    Invalidate();
}

int TCustomListBox::ItemHeightOf(int Index) const {
    if (FStyle == lbOwnerDrawVariable && Index >= 0 && Index < Count()) {
        int& h = FItems->FItems[Index].Height;
        if (h <= 0) {
            int m = FItemHeight;
            const_cast<TCustomListBox*>(this)->MeasureItem(Index, m);
            h = std::max(1, m);
        }
        return h;
    }
    return ItemHeight();
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

TRect TCustomListBox::ItemArea() const {
    return ClientRect();
}

TRect TCustomListBox::ItemRect(int Index) const {
    TRect area = ItemArea();
    if (Index < 0 || Index > Count())
        return TRect();
    int y = 0;
    if (Index >= FTopIndex) {
        for (int i = FTopIndex; i < Index; ++i)
            y += ItemHeightOf(i);
    } else {
        for (int i = Index; i < FTopIndex; ++i)
            y -= ItemHeightOf(i);
    }
    return TRect(area.Left, y, area.Right, y + ItemHeightOf(Index));
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) const {
    TRect area = ItemArea();
    if (Pos.X < area.Left || Pos.X >= area.Right || Pos.Y < 0)
        return Existing ? -1 : (Pos.Y < 0 ? -1 : Count());
    int y = 0;
    for (int i = FTopIndex; i < Count(); ++i) {
        int h = ItemHeightOf(i);
        if (Pos.Y < y + h)
            return i;
        y += h;
    }
    return Existing ? -1 : Count();
}

int TCustomListBox::LastFullyVisible(int First) const {
    int h = ItemArea().Height(), y = 0, last = First;
    for (int i = First; i < Count(); ++i) {
        y += ItemHeightOf(i);
        if (y > h)
            break;
        last = i;
    }
    return last;
}

int TCustomListBox::VisibleCount() const {
    if (Count() == 0)
        return std::max(1, ClientHeight() / ItemHeight());
    return LastFullyVisible(FTopIndex) - FTopIndex + 1;
}

void TCustomListBox::MakeVisible(int Index) {
    if (Index < 0 || Index >= Count())
        return;
    if (Index < FTopIndex) {
        SetTopIndex(Index);
        return;
    }
    int top = FTopIndex;
    while (top < Index && LastFullyVisible(top) < Index)
        ++top;
    SetTopIndex(top);
}

int TCustomListBox::MaxTopIndex() const {
    // Variable heights: the first item from which the rest fits; fixed heights: the same by division.
    int count = Count();
    int h = ItemArea().Height();
    if (FStyle == lbOwnerDrawVariable) {
        int y = 0;
        for (int i = count - 1; i >= 0; --i) {
            y += ItemHeightOf(i);
            if (y > h)
                return std::min(i + 1, count - 1);
        }
        return 0;
    }
    int page = std::max(1, h / std::max(1, ItemHeight()));
    return std::max(0, count - page);
}

void TCustomListBox::UpdateScrollBar() {
    if (FUpdatingScrollBar)
        return;
    // The bar only narrows the client area, so the items that fit stay the same once it shows; the
    // guard keeps the WM_SIZE it brings from coming back here.
    FUpdatingScrollBar = true;
    int count = Count();
    int maxTop = MaxTopIndex();
    FTopIndex = std::clamp(FTopIndex, 0, maxTop);
    if (HandleAllocated()) {
        TScrollInfo info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = 0;
        info.nMax = std::max(0, count - 1);
        // A page larger than the range hides the bar.
        info.nPage = static_cast<uint32_t>(maxTop > 0 ? count - maxTop : count + 1);
        info.nPos = FTopIndex;
        SetScrollInfo(WindowHandle(), SB_VERT, info, true);
    }
    FUpdatingScrollBar = false;
}

void TCustomListBox::ScrollMessage(int Code) {
    int top = FTopIndex;
    int page = std::max(1, VisibleCount());
    if (!ScrollRequestPosition(WindowHandle(), SB_VERT, Code, 1, page, 0, MaxTopIndex(), top))
        return;
    SetTopIndex(top);
}

bool TCustomListBox::TrackScrollBarUnderCapture(TMessage& Message) {
    if ((Message.Msg != WM_LBUTTONDOWN && Message.Msg != WM_LBUTTONDBLCLK) || !HandleAllocated() ||
        GetCapture() != WindowHandle())
        return false;
    TPoint p(static_cast<int16_t>(Message.LParamLo()), static_cast<int16_t>(Message.LParamHi()));
    if (ClientRect().Contains(p))
        return false;
    HWND wnd = WindowHandle();
    LPARAM screen = PointToLParam(ClientToScreen(p));
    LRESULT hit = SendMessage(wnd, WM_NCHITTEST, 0, screen);
    if (hit != HTVSCROLL && hit != HTHSCROLL)
        return false;
    // The scroll bar's loop takes the capture and lets it go at the end; the list takes it back. A list
    // destroyed inside the loop took its window with it and is not touched again.
    {
        FTrackingUnderCapture = true;
        ScopeGuard tracked([this, wnd] {
            if (IsWindow(wnd))
                FTrackingUnderCapture = false;
        });
        DefWindowProc(wnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), screen);
    }
    if (IsWindow(wnd) && GetCapture() != wnd)
        SetCapture(wnd);
    Message.Result = 0;
    return true;
}

void TCustomListBox::Resize() {
    UpdateScrollBar();
    TCustomControl::Resize();
}

void TCustomListBox::InvalidateItem(int Index) {
    Invalidate();
    (void)Index;
}

TOwnerDrawState TCustomListBox::ItemState(int Index) const {
    TOwnerDrawState s = 0;
    if (Selected(Index))
        s |= odSelected;
    if (Index == FItemIndex && Focused())
        s |= odFocused;
    if (!Enabled())
        s |= odDisabled;
    return s;
}

void TCustomListBox::PaintBackground(TCanvas& Canvas, const TRect& Rect) {
    Canvas.Brush()->SetColor(Color());
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.FillRect(Rect);
}

void TCustomListBox::Paint() {
    TCanvas* c = Canvas();
    TRect area = ItemArea();
    PaintBackground(*c, ClientRect());
    for (int i = FTopIndex; i < Count(); ++i) {
        TRect r = ItemRect(i);
        if (r.Top >= area.Bottom)
            break;
        TOwnerDrawState state = ItemState(i);
        c->Font()->Assign(Font());
        if (state & odSelected) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        } else {
            c->Brush()->SetColor(Color());
        }
        c->Brush()->SetStyle(bsSolid);
        DrawItem(i, r, state);
        if ((state & odFocused) && !(state & odSelected && !FMultiSelect)) {
            c->Brush()->SetColor(Color());
            c->DrawFocusRect(r);
        } else if (state & odFocused) {
            c->DrawFocusRect(r);
        }
    }
    if (Count() == 0 && Focused()) {
        TRect r(area.Left, 0, area.Right, ItemHeight());
        c->DrawFocusRect(r);
    }
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (FStyle != lbStandard && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    TCanvas* c = Canvas();
    c->FillRect(Rect);
    if (!Enabled())
        c->Font()->SetColor(clGrayText);
    TRect t(Rect.Left + 2, Rect.Top, Rect.Right, Rect.Bottom);
    c->TextRect(t, FItems->FItems[Index].Text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// ---- Input ----

void TCustomListBox::SelectionChanged() {
    TCustomControl::Click();
}

bool TCustomListBox::SelectByUser(int Index, TShiftState Shift, bool Toggle) {
    if (Index < 0 || Index >= Count())
        return false;
    auto& items = FItems->FItems;
    std::vector<bool> before;
    before.reserve(items.size());
    for (const auto& it : items)
        before.push_back(it.Selected);
    int oldIndex = FItemIndex;
    if (!FMultiSelect) {
        for (auto& it : items)
            it.Selected = false;
        items[Index].Selected = true;
        FAnchor = Index;
    } else if (!FExtendedSelect) {
        if (Toggle)
            items[Index].Selected = !items[Index].Selected;
        FAnchor = Index;
    } else if (Toggle && (Shift & ssCtrl)) {
        items[Index].Selected = !items[Index].Selected;
        FAnchor = Index;
    } else if (Shift & ssShift) {
        int a = FAnchor >= 0 ? FAnchor : Index;
        if (!(Shift & ssCtrl))
            for (auto& it : items)
                it.Selected = false;
        for (int i = std::min(a, Index); i <= std::max(a, Index); ++i)
            items[i].Selected = true;
    } else if (Shift & ssCtrl) {
        // Ctrl with a move key moves the focus only.
    } else {
        for (auto& it : items)
            it.Selected = false;
        items[Index].Selected = true;
        FAnchor = Index;
    }
    FItemIndex = Index;
    MakeVisible(Index);
    bool changed = oldIndex != Index;
    for (size_t i = 0; i < items.size() && !changed; ++i)
        changed = before[i] != items[i].Selected;
    Invalidate();
    return changed;
}

void TCustomListBox::WndProc(TMessage& Message) {
    if (FTrackingUnderCapture && Message.Msg == WM_CAPTURECHANGED)
        return;
    if (TrackScrollBarUnderCapture(Message))
        return;
    // An automatic drag starts from the item the press selects, not before it.
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && DragMode() == dmAutomatic) {
        TDragMode saved = DragMode();
        SetDragMode(dmManual);
        TCustomControl::WndProc(Message);
        SetDragMode(saved);
        TPoint p(static_cast<int16_t>(Message.LParamLo()), static_cast<int16_t>(Message.LParamHi()));
        if (ItemAtPos(p, true) >= 0) {
            FTracking = false;
            SetMouseCapture(false);
            BeginDrag(false);
        }
        return;
    }
    TCustomControl::WndProc(Message);
}

void TCustomListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_VSCROLL:
        ScrollMessage(LOWORD(Message.WParam));
        Message.Result = 0;
        return;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        UpdateScrollBar();
        Invalidate();
        return;
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !Focused())
        SetFocus();
    if (Button == mbLeft) {
        int i = ItemAtPos(TPoint(X, Y), true);
        if (i >= 0) {
            SelectByUser(i, Shift, true);
            FTracking = !(Shift & ssDouble);
            SelectionChanged();
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListBox::MouseMove(TShiftState Shift, int X, int Y) {
    if (FTracking && (Shift & ssLeft)) {
        int i;
        if (Y < 0)
            i = std::max(0, FTopIndex - 1);
        else if (Y >= ItemArea().Height())
            i = std::min(Count() - 1, LastFullyVisible(FTopIndex) + 1);
        else
            i = ItemAtPos(TPoint(std::clamp(X, 0, std::max(0, ItemArea().Right - 1)), Y), true);
        if (i >= 0 && i != FItemIndex) {
            bool changed;
            if (FMultiSelect && FExtendedSelect)
                changed = SelectByUser(i, ssShift, false);
            else if (FMultiSelect) {
                FItemIndex = i;
                changed = true;
                Invalidate();
            } else
                changed = SelectByUser(i, 0, false);
            if (changed)
                SelectionChanged();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FTracking = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    SetTopIndex(FTopIndex - WheelDelta / 120 * 3);
    return true;
}

void TCustomListBox::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0 || Count() == 0)
        return;
    int cur = FItemIndex;
    int target = -2;
    int page = std::max(1, VisibleCount() - 1);
    switch (Key) {
    case VK_UP:
    case VK_LEFT:
        target = cur < 0 ? 0 : std::max(0, cur - 1);
        break;
    case VK_DOWN:
    case VK_RIGHT:
        target = cur < 0 ? 0 : std::min(Count() - 1, cur + 1);
        break;
    case VK_PRIOR:
        target = std::max(0, (cur < 0 ? 0 : cur) - page);
        break;
    case VK_NEXT:
        target = std::min(Count() - 1, (cur < 0 ? 0 : cur) + page);
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = Count() - 1;
        break;
    case VK_SPACE:
        if (FMultiSelect && cur >= 0) {
            FItems->FItems[cur].Selected = !FItems->FItems[cur].Selected;
            FAnchor = cur;
            Invalidate();
            SelectionChanged();
            Key = 0;
        }
        return;
    default:
        return;
    }
    Key = 0;
    bool changed;
    if (FMultiSelect && !FExtendedSelect) {
        changed = target != FItemIndex;
        FItemIndex = target;
        MakeVisible(target);
        Invalidate();
    } else {
        changed = SelectByUser(target, FMultiSelect ? (Shift & (ssShift | ssCtrl)) : 0, false);
    }
    if (changed)
        SelectionChanged();
}

void TCustomListBox::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key < 32 || Count() == 0)
        return;
    // Typing finds the next item that starts with the typed letters (typed quickly in a row).
    uint64_t now = GetTickCount64();
    if (now - FSearchTime > 1000)
        FSearch.clear();
    FSearchTime = now;
    std::string typed = FSearch;
    AppendUtf8(typed, Key);
    int start = FSearch.empty() ? FItemIndex + 1 : std::max(0, FItemIndex);
    FSearch = typed;
    for (int n = 0; n < Count(); ++n) {
        int i = (start + n) % Count();
        const std::string& text = FItems->FItems[i].Text;
        if (text.size() >= typed.size() && SameText(text.substr(0, typed.size()), typed)) {
            if (SelectByUser(i, 0, false))
                SelectionChanged();
            break;
        }
    }
    Key = 0;
}

void TCustomListBox::DoEnter() {
    Invalidate();
    TCustomControl::DoEnter();
}

void TCustomListBox::DoExit() {
    Invalidate();
    TCustomControl::DoExit();
}

} // namespace plat
