#include "platform/ui/Button.h"

#include "platform/gfx/FrameControls.h"
#include "platform/gfx/TextLayout.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Keys.h"

namespace plat {

namespace {
constexpr int kBoxSize = 13;
} // namespace

PLAT_CLASS_INFO(TButtonControl, TCustomControl)
PLAT_CLASS_INFO_CREATABLE(TButton, TButtonControl)
PLAT_CLASS_INFO(TCustomCheckBox, TButtonControl)
PLAT_CLASS_INFO_CREATABLE(TCheckBox, TCustomCheckBox)
PLAT_CLASS_INFO_CREATABLE(TRadioButton, TButtonControl)

PLAT_PROPERTIES(TButtonControl) {
    props.String("Caption", &TButtonControl::Caption, &TButtonControl::SetCaption);
    props.Default("TabStop", true);
    props.Default("Color", clBtnFace);
}

PLAT_PROPERTIES(TButton) {
    props.Boolean("Default", &TButton::Default, &TButton::SetDefault, false);
    props.Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel, false);
    props.Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0);
}

PLAT_PROPERTIES(TCustomCheckBox) {
    props.Enum("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment, kAlignmentNames,
               taRightJustify);
    props.Boolean("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed, false);
    props.Enum("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState, kCheckBoxStateNames,
               cbUnchecked);
    props.Boolean("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked, false);
}

PLAT_PROPERTIES(TCheckBox) {}

PLAT_PROPERTIES(TRadioButton) {
    props.Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment, kAlignmentNames,
               taRightJustify);
    props.Boolean("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, false);
}

// ---- Shared --------------------------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks;
    SetTabStop(true);
    SetColor(clBtnFace);
}

void TButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    if (CanFocus() && !Focused())
        SetFocus();
    FMouseHeld = true;
    FPressed = true;
    Invalidate();
}

void TButtonControl::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FMouseHeld)
        return;
    bool inside = PtInRect(ClientRect(), TPoint(X, Y));
    if (inside != FPressed) {
        FPressed = inside;
        Invalidate();
    }
}

void TButtonControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    bool act = FMouseHeld && Button == mbLeft && PtInRect(ClientRect(), TPoint(X, Y));
    if (Button == mbLeft) {
        FMouseHeld = false;
        FPressed = false;
        Invalidate();
    }
    if (act)
        Activate();
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButtonControl::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && !FSpaceHeld) {
        FSpaceHeld = true;
        FPressed = true;
        Invalidate();
    }
}

void TButtonControl::KeyUp(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyUp(Key, Shift);
    if (Key == VK_SPACE && FSpaceHeld) {
        FSpaceHeld = false;
        FPressed = false;
        Invalidate();
        Activate();
    }
}

void TButtonControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            Activate();
            Message.Result = 1;
            return;
        }
        break;
    case WM_KILLFOCUS:
        FSpaceHeld = false;
        FPressed = FMouseHeld && FPressed;
        Invalidate();
        break;
    case WM_SETFOCUS:
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    case WM_CHAR:
        if (Message.WParam == ' ')
            return; // the space bar acts on key up
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TButtonControl::DrawCaption(TCanvas& Canvas, TRect Rect, uint32_t Flags) {
    Canvas.Font()->Assign(Font());
    TDeviceContext& dc = *Canvas.Handle();
    dc.SetBkMode(TRANSPARENT);
    std::string text = Caption();
    if (!Enabled()) {
        TRect r = Rect;
        OffsetRect(r, 1, 1);
        dc.SetTextColor(clBtnHighlight);
        DrawText(dc, text, r, Flags);
        dc.SetTextColor(clBtnShadow);
    } else {
        dc.SetTextColor(Font()->Color());
    }
    DrawText(dc, text, Rect, Flags);
}

// ---- Push button ----------------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    Invalidate();
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this); form && FModalResult != mrNone)
        form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

bool TButton::IsActive() const {
    if (Focused())
        return true;
    if (!FDefault)
        return false;
    TCustomForm* form = GetParentForm(const_cast<TButton*>(this));
    TWinControl* active = form ? form->ActiveControl() : nullptr;
    return !(active && active != this && dynamic_cast<TButton*>(active));
}

void TButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_BUTTON | (IsActive() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        return;
    case CM_DIALOGKEY:
        if (((Message.WParam == VK_RETURN && IsActive()) || (Message.WParam == VK_ESCAPE && FCancel)) &&
            (KeyDataToShiftState(Message.LParam) & (ssShift | ssCtrl | ssAlt)) == 0 && CanFocus()) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    case CM_FOCUSCHANGED:
        Invalidate(); // the default frame moves with the focus
        break;
    }
    TButtonControl::Dispatch(Message);
}

void TButton::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(r);
    bool active = IsActive() && Enabled();
    if (active) {
        // The default button wears a black frame.
        c.Brush()->SetColor(clWindowFrame);
        c.FrameRect(r);
        InflateRect(r, -1, -1);
    }
    TRect face = r;
    if (Pressed()) {
        c.Brush()->SetColor(clBtnShadow);
        c.FrameRect(face);
    } else {
        DrawFrameControl(*c.Handle(), face, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (Enabled() ? 0u : uint32_t(DFCS_INACTIVE)));
    }
    TRect text = r;
    if (Pressed())
        OffsetRect(text, 1, 1);
    DrawCaption(c, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (Focused()) {
        TRect f = r;
        InflateRect(f, -3, -3);
        c.Brush()->SetColor(Color());
        c.Font()->SetColor(clBtnText);
        DrawFocusRect(*c.Handle(), f);
    }
}

// ---- Check box ------------------------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value)
        return;
    FState = Value;
    Invalidate();
    if (!(ComponentState() & csLoading))
        Click();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked:
        SetState(cbChecked);
        break;
    case cbChecked:
        SetState(FAllowGrayed ? cbGrayed : cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbUnchecked);
        break;
    }
}

TRect TCustomCheckBox::BoxRect() const {
    TRect c = ClientRect();
    int top = (c.Height() - kBoxSize) / 2;
    int left = FAlignment == taLeftJustify ? c.Right - kBoxSize : 0;
    return TRect(left, top, left + kBoxSize, top + kBoxSize);
}

void TCustomCheckBox::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(r);
    TRect box = BoxRect();
    uint32_t state = DFCS_BUTTONCHECK;
    if (FState == cbChecked)
        state |= DFCS_CHECKED;
    else if (FState == cbGrayed)
        state = DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (Pressed())
        state |= DFCS_PUSHED;
    if (!Enabled())
        state |= DFCS_INACTIVE;
    DrawFrameControl(*c.Handle(), box, DFC_BUTTON, state);
    TRect text = FAlignment == taLeftJustify ? TRect(0, 0, BoxRect().Left - 4, r.Bottom)
                                             : TRect(kBoxSize + 4, 0, r.Right, r.Bottom);
    TRect measure = text;
    c.Font()->Assign(Font());
    DrawText(*c.Handle(), Caption(), measure, DT_CALCRECT | DT_SINGLELINE);
    DrawCaption(c, text, DT_SINGLELINE | DT_VCENTER | (FAlignment == taLeftJustify ? DT_RIGHT : DT_LEFT));
    if (Focused() && !Caption().empty()) {
        int w = measure.Width();
        int h = measure.Height();
        int top = (r.Height() - h) / 2;
        TRect f = FAlignment == taLeftJustify ? TRect(text.Right - w - 1, top, text.Right + 1, top + h)
                                              : TRect(text.Left - 1, top, text.Left + w + 1, top + h);
        c.Font()->SetColor(clBtnText);
        DrawFocusRect(*c.Handle(), f);
    }
}

// ---- Radio button ---------------------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TRadioButton::SetChecked(bool Value) {
    if (FChecked == Value)
        return;
    FChecked = Value;
    SetTabStop(Value);
    Invalidate();
    if (Value) {
        if (TWinControl* parent = Parent()) {
            for (int i = 0; i < parent->ControlCount(); ++i)
                if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
                    other->SetChecked(false);
        }
        if (!(ComponentState() & csLoading))
            Click();
    }
}

void TRadioButton::Activate() {
    SetChecked(true);
}

void TRadioButton::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_RADIOBUTTON | DLGC_BUTTON;
        return;
    }
    TButtonControl::Dispatch(Message);
}

void TRadioButton::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(r);
    int top = (r.Height() - kBoxSize) / 2;
    int left = FAlignment == taLeftJustify ? r.Right - kBoxSize : 0;
    TRect box(left, top, left + kBoxSize, top + kBoxSize);
    uint32_t state = DFCS_BUTTONRADIO | (FChecked ? uint32_t(DFCS_CHECKED) : 0u) |
                     (Pressed() ? uint32_t(DFCS_PUSHED) : 0u) | (Enabled() ? 0u : uint32_t(DFCS_INACTIVE));
    DrawFrameControl(*c.Handle(), box, DFC_BUTTON, state);
    TRect text = FAlignment == taLeftJustify ? TRect(0, 0, left - 4, r.Bottom)
                                             : TRect(kBoxSize + 4, 0, r.Right, r.Bottom);
    DrawCaption(c, text, DT_SINGLELINE | DT_VCENTER | (FAlignment == taLeftJustify ? DT_RIGHT : DT_LEFT));
    if (Focused() && !Caption().empty()) {
        TRect measure = text;
        DrawText(*c.Handle(), Caption(), measure, DT_CALCRECT | DT_SINGLELINE);
        int h = measure.Height(), w = measure.Width();
        int t = (r.Height() - h) / 2;
        TRect f = FAlignment == taLeftJustify ? TRect(text.Right - w - 1, t, text.Right + 1, t + h)
                                              : TRect(text.Left - 1, t, text.Left + w + 1, t + h);
        c.Font()->SetColor(clBtnText);
        DrawFocusRect(*c.Handle(), f);
    }
}

} // namespace plat
