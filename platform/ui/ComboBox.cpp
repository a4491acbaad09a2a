#include "platform/ui/ComboBox.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Keys.h"
#include "platform/ui/PopupDispatch.h"
#include "platform/ui/SystemMetrics.h"

namespace plat {

PLAT_CLASS_INFO(TCustomComboBox, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TComboBox, TCustomComboBox)

namespace {
const char* const kComboStyleNames[] = {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                                        "csOwnerDrawVariable"};
static_assert(std::size(kComboStyleNames) == csOwnerDrawVariable + 1);
struct TRegistrar {
    TRegistrar() { RegisterClass(TComboBox::StaticClass()); }
} registrar;

int LineHeightOf(TFont* Font) {
    return MeasuringCanvas(Font).TextHeight("Wg");
}
} // namespace

PLAT_PROPERTIES(TCustomComboBox) {
    props.Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle, kComboStyleNames, csDropDown);
    props.Object("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
    props.Integer("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex, -1);
    props.String("Text", &TCustomComboBox::Text, &TCustomComboBox::SetTextProp);
    props.Integer("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount, 8);
    props.Integer("DropDownWidth", &TCustomComboBox::DropDownWidth, &TCustomComboBox::SetDropDownWidth, 0);
    props.Integer("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
    props.Boolean("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted, false);
    props.Integer("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength, 0);
    props.Boolean("AutoComplete", &TCustomComboBox::AutoComplete, &TCustomComboBox::SetAutoComplete, false);
    props.Boolean("TabStop", &TCustomComboBox::TabStop, &TCustomComboBox::SetTabStop, true);
    props.Event("OnChange", &TCustomComboBox::OnChange);
    props.Event("OnSelect", &TCustomComboBox::OnSelect);
    props.Event("OnDropDown", &TCustomComboBox::OnDropDown);
    props.Event("OnCloseUp", &TCustomComboBox::OnCloseUp);
    props.Event("OnDrawItem", &TCustomComboBox::OnDrawItem);
    props.Event("OnMeasureItem", &TCustomComboBox::OnMeasureItem);
}

// The dropped list: a pop-up list box that holds the mouse while shown, follows the pointer, and
// closes on a choice or on a press anywhere else.
class TComboDropList : public TCustomListBox {
    PLAT_CLASS(TComboDropList)
public:
    explicit TComboDropList(TCustomComboBox* Combo)
        : TCustomListBox(nullptr), FCombo(Combo),
          FPopup(
              *this, [this](TMessage& m, TPoint p) { ListMouse(m, p); },
              [Combo] { Combo->CloseDropDown(false); }) {
        FVisible = false;
        SetTabStop(false);
        FBorderStyle = bsNone;
    }
    TPopupDispatch& Popup() { return FPopup; }
    const TPopupDispatch& Popup() const { return FPopup; }

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomListBox::CreateParams(Params);
        TPopupDispatch::AdjustParams(Params);
    }
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override {
        if ((FCombo->FStyle == csOwnerDrawFixed || FCombo->FStyle == csOwnerDrawVariable) &&
            FCombo->OnDrawItem) {
            FCombo->OnDrawItem(this, Index, Rect, State);
            return;
        }
        TCustomListBox::DrawItem(Index, Rect, State);
    }
    void MeasureItem(int Index, int& Height) override {
        if (FCombo->OnMeasureItem)
            FCombo->OnMeasureItem(FCombo, Index, Height);
    }
    TOwnerDrawState ItemState(int Index) const override { return Index == ItemIndex() ? odSelected : 0; }
    void Dispatch(TMessage& Message) override {
        if (!FPopup.Dispatch(Message))
            TCustomListBox::Dispatch(Message);
    }

private:
    // Presses on the scroll bar never get here: the list box runs its bar for them.
    void ListMouse(TMessage& Message, TPoint P) {
        int i = ItemAtPos(P, true);
        if (Message.Msg == WM_MOUSEMOVE) {
            if (i >= 0 && i != ItemIndex())
                SetItemIndex(i);
        } else if (Message.Msg == WM_LBUTTONUP) {
            if (i >= 0) {
                SetItemIndex(i);
                FCombo->CloseDropDown(true);
            }
        }
    }
    TCustomComboBox* FCombo;
    TPopupDispatch FPopup;
};

PLAT_CLASS_INFO(TComboDropList, TCustomListBox)

// ---- TCustomComboBox ----

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TStringList>()) {
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    FColor = clWindow;
    SetParentColor(false);
    FControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks | csOpaque;
    FItems->OnChange = [this](TObject* s) { ItemsChanged(s); };
    MakeParts();
}

TCustomComboBox::~TCustomComboBox() {
    FDropList.reset();
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FStyle != csSimple)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomComboBox::MakeParts() {
    if (HasEdit() && !FEdit) {
        FEdit = new TEdit(this);
        FEdit->SetBorderStyle(bsNone);
        FEdit->SetParent(this);
        FEdit->SetMaxLength(FMaxLength);
        FEdit->SetTextProp(FText);
        FEdit->OnChange = [this](TObject* s) { EditChanged(s); };
        // The edit passes the list keys to the combo.
        TWndMethod editProc = FEdit->WindowProc;
        FEdit->WindowProc = [this, editProc](TMessage& m) {
            if (m.Msg == WM_KILLFOCUS)
                FocusLeaving(reinterpret_cast<HWND>(m.WParam));
            if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN) {
                uint16_t key = static_cast<uint16_t>(m.WParam);
                if (HandleListKey(key, KeyDataToShiftState(m.LParam))) {
                    m.Result = 0;
                    return;
                }
            }
            editProc(m);
        };
    } else if (!HasEdit() && FEdit) {
        delete FEdit;
        FEdit = nullptr;
    }
    if (FStyle == csSimple && !FSimpleList) {
        FSimpleList = new TListBox(this);
        FSimpleList->SetParent(this);
        FSimpleList->SetTabStop(false);
        FSimpleList->Items()->Assign(FItems.get());
        FSimpleList->OnClick = [this](TObject*) { UserSelect(FSimpleList->ItemIndex()); };
    } else if (FStyle != csSimple && FSimpleList) {
        delete FSimpleList;
        FSimpleList = nullptr;
    }
    LayoutParts();
}

TCustomListBox* TCustomComboBox::ListPart() const {
    return FSimpleList ? FSimpleList : FDropList.get();
}

int TCustomComboBox::ItemHeight() const {
    if (FItemHeightSet || FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)
        return FItemHeight;
    return std::max(1, LineHeightOf(Font()));
}

void TCustomComboBox::SetItemHeight(int Value) {
    if (Value > 0) {
        FItemHeight = Value;
        FItemHeightSet = true;
        Invalidate();
    }
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    MakeParts();
    if (HandleAllocated())
        RecreateWnd();
    Invalidate();
}

void TCustomComboBox::SetSorted(bool Value) {
    if (FSorted == Value)
        return;
    FSorted = Value;
    std::string current = FItemIndex >= 0 ? FItems->Get(FItemIndex) : std::string();
    FItems->SetSorted(Value);
    if (FItemIndex >= 0)
        FItemIndex = FItems->IndexOf(current);
}

void TCustomComboBox::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    if (FEdit)
        FEdit->SetMaxLength(FMaxLength);
}

void TCustomComboBox::ItemsChanged(TObject*) {
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    if (FSimpleList)
        FSimpleList->Items()->Assign(FItems.get());
    Invalidate();
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    FItemIndex = Value;
    FSettingText = true;
    FText = Value >= 0 ? FItems->Get(Value) : std::string();
    if (FEdit)
        FEdit->SetTextProp(FText);
    FSettingText = false;
    if (FSimpleList)
        FSimpleList->SetItemIndex(Value);
    Invalidate();
}

std::string TCustomComboBox::GetText() const {
    return FEdit ? FEdit->Text() : FText;
}

void TCustomComboBox::SetText(const std::string& Value) {
    if (!HasEdit()) {
        // A list combo can only show one of its items.
        int i = FItems->IndexOf(Value);
        if (i >= 0)
            SetItemIndex(i);
        else if (Value.empty())
            SetItemIndex(-1);
        return;
    }
    FText = Value;
    int i = -1;
    for (int k = 0; k < FItems->Count(); ++k)
        if (FItems->Get(k) == Value) {
            i = k;
            break;
        }
    FItemIndex = i;
    if (FEdit && FEdit->Text() != Value)
        FEdit->SetTextProp(Value); // fires OnChange through the edit
    Invalidate();
}

void TCustomComboBox::EditChanged(TObject*) {
    if (FSettingText)
        return;
    FText = FEdit->Text();
    FItemIndex = -1;
    for (int k = 0; k < FItems->Count(); ++k)
        if (FItems->Get(k) == FText) {
            FItemIndex = k;
            break;
        }
    Change();
}

int TCustomComboBox::SelStart() const {
    return FEdit ? FEdit->SelStart() : 0;
}
void TCustomComboBox::SetSelStart(int Value) {
    if (FEdit)
        FEdit->SetSelStart(Value);
}
int TCustomComboBox::SelLength() const {
    return FEdit ? FEdit->SelLength() : 0;
}
void TCustomComboBox::SetSelLength(int Value) {
    if (FEdit)
        FEdit->SetSelLength(Value);
}
void TCustomComboBox::SelectAll() {
    if (FEdit)
        FEdit->SelectAll();
}

void TCustomComboBox::Clear() {
    FItems->Clear();
    SetItemIndex(-1);
}

void TCustomComboBox::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown() {
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (OnCloseUp)
        OnCloseUp(this);
}

void TCustomComboBox::UserSelect(int Index) {
    if (Index < 0 || Index >= FItems->Count())
        return;
    SetItemIndex(Index);
    if (FEdit)
        FEdit->SelectAll();
    Click();
    Select();
}

TRect TCustomComboBox::ButtonRect() const {
    if (FStyle == csSimple)
        return TRect();
    TRect c = ClientRect();
    return TRect(c.Right - std::clamp(ButtonStripWidth(), 0, c.Width()), c.Top, c.Right, c.Bottom);
}

int TCustomComboBox::ButtonStripWidth() const {
    return GetSystemMetrics(SM_CXVSCROLL);
}

TRect TCustomComboBox::TextRect() const {
    TRect c = ClientRect();
    if (FStyle == csSimple)
        return TRect(0, 0, c.Right, std::min(c.Bottom, ItemHeight() + 6));
    return TRect(c.Left, c.Top, ButtonRect().Left, c.Bottom);
}

void TCustomComboBox::LayoutParts() {
    TRect t = TextRect();
    if (FEdit) {
        int h = std::min(t.Height(), LineHeightOf(Font()) + 2);
        FEdit->SetBounds(t.Left + 1, t.Top + (t.Height() - h) / 2, std::max(0, t.Width() - 2), h);
    }
    if (FSimpleList) {
        TRect c = ClientRect();
        FSimpleList->SetBounds(0, t.Bottom, c.Width(), std::max(0, c.Height() - t.Bottom));
    }
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    LayoutParts();
}

void TCustomComboBox::Resize() {
    LayoutParts();
    TCustomControl::Resize();
}

void TCustomComboBox::Loaded() {
    TCustomControl::Loaded();
    if (FItemIndex >= 0 && FItemIndex < FItems->Count() && !HasEdit())
        SetItemIndex(FItemIndex);
}

bool TCustomComboBox::DroppedDown() const {
    return FDropList && FDropList->Popup().Open();
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (FStyle == csSimple || Value == DroppedDown())
        return;
    if (!Value) {
        CloseDropDown(false);
        return;
    }
    DropDown();
    if (!FDropList)
        FDropList = std::make_unique<TComboDropList>(this);
    TComboDropList* list = FDropList.get();
    list->Font()->Assign(Font());
    list->SetStyle(FStyle == csOwnerDrawVariable ? lbOwnerDrawVariable : lbOwnerDrawFixed);
    list->SetItemHeight(ItemHeight());
    list->Items()->Assign(FItems.get());
    int count = std::max(1, std::min(FDropDownCount, FItems->Count()));
    int h = 0;
    for (int i = 0; i < count; ++i) {
        int ih = ItemHeight();
        if (FStyle == csOwnerDrawVariable && OnMeasureItem && i < FItems->Count())
            OnMeasureItem(this, i, ih);
        h += ih;
    }
    h += 2;
    list->Popup().Show(*this, TSize{std::max(Width(), FDropDownWidth), h});
    list->SetItemIndex(FItemIndex);
    list->MakeVisible(FItemIndex);
    Invalidate();
}

void TCustomComboBox::CloseDropDown(bool Accept) {
    if (!DroppedDown())
        return;
    int chosen = FDropList->ItemIndex();
    if (!FDropList->Popup().Hide())
        return;
    Invalidate();
    if (Accept && chosen >= 0)
        UserSelect(chosen);
    CloseUp();
}

void TCustomComboBox::MoveSelection(int Delta, bool ToEnd) {
    int n = FItems->Count();
    if (n == 0)
        return;
    int cur = DroppedDown() ? FDropList->ItemIndex() : FItemIndex;
    int next;
    if (ToEnd)
        next = Delta < 0 ? 0 : n - 1;
    else
        next = std::clamp(cur < 0 ? (Delta > 0 ? 0 : n - 1) : cur + Delta, 0, n - 1);
    if (DroppedDown()) {
        FDropList->SetItemIndex(next);
        return;
    }
    if (next != FItemIndex)
        UserSelect(next);
}

bool TCustomComboBox::HandleListKey(uint16_t Key, TShiftState Shift) {
    if (FStyle == csSimple) {
        if (Key == VK_UP || Key == VK_DOWN) {
            MoveSelection(Key == VK_UP ? -1 : 1, false);
            return true;
        }
        return false;
    }
    bool dropped = DroppedDown();
    if (Key == VK_F4 || ((Shift & ssAlt) && (Key == VK_DOWN || Key == VK_UP))) {
        if (dropped)
            CloseDropDown(true);
        else
            SetDroppedDown(true);
        return true;
    }
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
        MoveSelection(Key == VK_UP ? -1 : 1, false);
        return true;
    case VK_PRIOR:
    case VK_NEXT:
        MoveSelection((Key == VK_PRIOR ? -1 : 1) * std::max(1, FDropDownCount - 1), false);
        return true;
    case VK_RETURN:
        if (dropped) {
            CloseDropDown(true);
            return true;
        }
        return false;
    case VK_ESCAPE:
        if (dropped) {
            CloseDropDown(false);
            return true;
        }
        return false;
    case VK_HOME:
    case VK_END:
        if (!HasEdit() || dropped) {
            MoveSelection(Key == VK_HOME ? -1 : 1, true);
            return true;
        }
        return false;
    }
    return false;
}

void TCustomComboBox::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key && HandleListKey(Key, Shift))
        Key = 0;
}

void TCustomComboBox::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (HasEdit() || Key < 32)
        return;
    // A list combo selects the next item starting with the typed character.
    std::string typed;
    AppendUtf8(typed, Key);
    int n = FItems->Count();
    int start = DroppedDown() ? FDropList->ItemIndex() : FItemIndex;
    for (int k = 1; k <= n; ++k) {
        int i = (start + k + n) % n;
        std::string s = FItems->Get(i);
        if (s.size() >= typed.size() && SameText(s.substr(0, typed.size()), typed)) {
            if (DroppedDown())
                FDropList->SetItemIndex(i);
            else if (i != FItemIndex)
                UserSelect(i);
            break;
        }
    }
    Key = 0;
}

void TCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && FStyle != csSimple) {
        if (FEdit && FEdit->CanFocus())
            FEdit->SetFocus();
        else if (CanFocus() && !Focused())
            SetFocus();
        if (!HasEdit() || ButtonRect().Contains(TPoint(X, Y))) {
            SetMouseCapture(false);
            SetDroppedDown(!DroppedDown());
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomComboBox::DoEnter() {
    if (FEdit && FEdit->CanFocus()) {
        FEdit->SetFocus();
        FEdit->SelectAll();
    }
    Invalidate();
    TCustomControl::DoEnter();
}

void TCustomComboBox::FocusLeaving(HWND To) {
    // Another form or window taking the focus sends no exit, yet the list must not stay open over it.
    bool ours = To && ((HandleAllocated() && To == WindowHandle()) ||
                       (FEdit && FEdit->HandleAllocated() && To == FEdit->WindowHandle()) ||
                       (FDropList && FDropList->HandleAllocated() && To == FDropList->WindowHandle()));
    if (!ours)
        CloseDropDown(false);
}

void TCustomComboBox::DoExit() {
    CloseDropDown(false);
    Invalidate();
    TCustomControl::DoExit();
}

void TCustomComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case CM_CANCELMODE:
        CloseDropDown(false);
        break;
    case WM_KILLFOCUS: {
        TCustomControl::Dispatch(Message);
        HWND to = reinterpret_cast<HWND>(Message.WParam);
        FocusLeaving(to);
        if (!(FEdit && FEdit->HandleAllocated() && to == FEdit->WindowHandle()))
            Invalidate();
        return;
    }
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        if (FEdit)
            FEdit->Font()->Assign(Font());
        LayoutParts();
        return;
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        if (FEdit)
            FEdit->SetEnabled(Enabled());
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if ((FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    TCanvas* c = Canvas();
    c->FillRect(Rect);
    if (Index >= 0) {
        TRect t(Rect.Left + 2, Rect.Top, Rect.Right, Rect.Bottom);
        c->TextRect(t, FItems->Get(Index), DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

void TCustomComboBox::PaintText(TCanvas& Canvas, const TRect& Rect) {
    if (HasEdit())
        return; // the edit part draws itself
    TRect r = Rect;
    InflateRect(r, -1, -1);
    bool focused = Focused() && !DroppedDown();
    Canvas.Font()->Assign(Font());
    if (focused) {
        Canvas.Brush()->SetColor(clHighlight);
        Canvas.Font()->SetColor(clHighlightText);
    } else {
        Canvas.Brush()->SetColor(Color());
    }
    if (!Enabled())
        Canvas.Font()->SetColor(clGrayText);
    TOwnerDrawState s =
        odComboBoxEdit | (focused ? odSelected | odFocused : 0) | (Enabled() ? 0 : odDisabled);
    DrawItem(FItemIndex, r, s);
    if (focused) {
        Canvas.Brush()->SetColor(Color());
        Canvas.DrawFocusRect(r);
    }
}

void TCustomComboBox::PaintButton(TCanvas& Canvas, const TRect& Rect, bool Pressed) {
    TRect r = Rect;
    DrawFrameControl(*Canvas.Handle(), r, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (Pressed ? DFCS_PUSHED | DFCS_FLAT : 0) |
                         (Enabled() ? 0 : uint32_t{DFCS_INACTIVE}));
}

void TCustomComboBox::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(FStyle == csSimple ? clBtnFace : (Enabled() ? Color() : clBtnFace));
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    if (FStyle == csSimple) {
        TRect t = TextRect();
        c->Brush()->SetColor(Color());
        c->FillRect(t);
        DrawEdge(*c->Handle(), t, EDGE_SUNKEN, BF_RECT);
        return;
    }
    PaintText(*c, TextRect());
    PaintButton(*c, ButtonRect(), DroppedDown());
}

} // namespace plat
