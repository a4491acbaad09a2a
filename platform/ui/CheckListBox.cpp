#include "platform/ui/CheckListBox.h"

#include "platform/gfx/FrameControls.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TCheckListBox, TCustomListBox)

PLAT_PROPERTIES(TCheckListBox) {
    props.Boolean("AllowGrayed", &TCheckListBox::AllowGrayed, &TCheckListBox::SetAllowGrayed, false);
    props.Boolean("Flat", &TCheckListBox::Flat, &TCheckListBox::SetFlat, true);
    props.Event("OnClickCheck", &TCheckListBox::OnClickCheck);
}

namespace {
constexpr int kCheckSize = 13;
struct TRegistrar {
    TRegistrar() { RegisterClass(TCheckListBox::StaticClass()); }
} registrar;
} // namespace

TCheckListBox::TCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}

TCheckBoxState TCheckListBox::State(int Index) const {
    FItems->CheckIndex(Index);
    return static_cast<TCheckBoxState>(FItems->FItems[Index].State);
}

void TCheckListBox::SetState(int Index, TCheckBoxState Value) {
    FItems->CheckIndex(Index);
    if (FItems->FItems[Index].State != Value) {
        FItems->FItems[Index].State = static_cast<uint8_t>(Value);
        InvalidateItem(Index);
    }
}

bool TCheckListBox::ItemEnabled(int Index) const {
    FItems->CheckIndex(Index);
    return FItems->FItems[Index].Enabled;
}

void TCheckListBox::SetItemEnabled(int Index, bool Value) {
    FItems->CheckIndex(Index);
    if (FItems->FItems[Index].Enabled != Value) {
        FItems->FItems[Index].Enabled = Value;
        InvalidateItem(Index);
    }
}

void TCheckListBox::SetFlat(bool Value) {
    if (FFlat != Value) {
        FFlat = Value;
        Invalidate();
    }
}

TRect TCheckListBox::CheckRect(int Index) const {
    TRect r = ItemRect(Index);
    int top = r.Top + (r.Height() - kCheckSize) / 2;
    return TRect(r.Left + 2, top, r.Left + 2 + kCheckSize, top + kCheckSize);
}

void TCheckListBox::DrawCheck(TRect Rect, TCheckBoxState State, bool Enabled) {
    uint32_t s = DFCS_BUTTONCHECK;
    if (State == cbChecked)
        s |= DFCS_CHECKED;
    else if (State == cbGrayed)
        s = DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (!Enabled)
        s |= DFCS_INACTIVE;
    if (FFlat)
        s |= DFCS_FLAT;
    DrawFrameControl(*Canvas()->Handle(), Rect, DFC_BUTTON, s);
}

void TCheckListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas* c = Canvas();
    // The check column keeps the list's colour; the item right of it shows the selection.
    TRect check(Rect.Left, Rect.Top, Rect.Left + kCheckSize + 4, Rect.Bottom);
    TColor itemBrush = c->Brush()->Color();
    c->Brush()->SetColor(Color());
    c->FillRect(check);
    bool enabled = Enabled() && FItems->FItems[Index].Enabled;
    DrawCheck(CheckRect(Index), static_cast<TCheckBoxState>(FItems->FItems[Index].State), enabled);
    c->Brush()->SetColor(itemBrush);
    TRect text(check.Right, Rect.Top, Rect.Right, Rect.Bottom);
    if (!enabled)
        c->Font()->SetColor(clGrayText);
    TCustomListBox::DrawItem(Index, text, State);
}

void TCheckListBox::ToggleClickCheck(int Index) {
    if (Index < 0 || Index >= Count() || !FItems->FItems[Index].Enabled)
        return;
    TCheckBoxState s = State(Index);
    TCheckBoxState next =
        s == cbUnchecked ? cbChecked : (s == cbChecked && FAllowGrayed ? cbGrayed : cbUnchecked);
    SetState(Index, next);
    ClickCheck();
}

void TCheckListBox::ClickCheck() {
    if (OnClickCheck)
        OnClickCheck(this);
}

void TCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    int i = ItemAtPos(TPoint(X, Y), true);
    TCustomListBox::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && i >= 0 && X < ItemRect(i).Left + kCheckSize + 4 && !(Shift & ssDouble))
        ToggleClickCheck(i);
}

void TCheckListBox::KeyPress(char32_t& Key) {
    if (Key == U' ' && !MultiSelect()) {
        ToggleClickCheck(ItemIndex());
        Key = 0;
        return;
    }
    TCustomListBox::KeyPress(Key);
}

} // namespace plat
