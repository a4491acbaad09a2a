#include "platform/ui/Label.h"

#include <memory>

#include "platform/gfx/TextLayout.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/ControlSupport.h"

namespace plat {

PLAT_CLASS_INFO(TCustomLabel, TGraphicControl)
PLAT_CLASS_INFO_CREATABLE(TLabel, TCustomLabel)

PLAT_PROPERTIES(TCustomLabel) {
    props.String("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption);
    props.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, kAlignmentNames,
               taLeftJustify);
    props.Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, kTextLayoutNames, tlTop);
    props.Boolean("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false);
    props.Boolean("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false);
    props.Boolean("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true);
    props.Component("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
    props.Default("AutoSize", true);
    props.Event("OnMouseEnter", &TCustomLabel::OnMouseEnter);
    props.Event("OnMouseLeave", &TCustomLabel::OnMouseLeave);
}

PLAT_PROPERTIES(TLabel) {}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle |= csOpaque | csReplicatable;
    SetBounds(0, 0, 65, 17);
    TControl::SetAutoSize(true);
    SetParentColor(true);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value)
        return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (Transparent() == Value)
        return;
    if (Value)
        FControlStyle &= ~csOpaque;
    else
        FControlStyle |= csOpaque;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value)
        return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomLabel::SetAutoSize(bool Value) {
    TControl::SetAutoSize(Value);
    AdjustBounds();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::DoDrawText(TRect& Rect, uint32_t Flags) {
    std::string text = GetLabelText();
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&")))
        text = " "; // an empty label keeps the height of a line
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    if (Flags & DT_CALCRECT) {
        // A label sizes itself also without a parent and while a layout is read.
        TMeasuringCanvas measure(*Canvas(), Parent());
        measure->Font()->Assign(Font());
        DrawText(*measure->Handle(), text, Rect, Flags);
        return;
    }
    TCanvas& c = *Canvas();
    c.Font()->Assign(Font());
    TDeviceContext& dc = *c.Handle();
    dc.SetBkMode(TRANSPARENT);
    if (!Enabled()) {
        // The engraved look of disabled text.
        TRect r = Rect;
        OffsetRect(r, 1, 1);
        dc.SetTextColor(clBtnHighlight);
        DrawText(dc, text, r, Flags);
        dc.SetTextColor(clBtnShadow);
        DrawText(dc, text, Rect, Flags);
    } else {
        dc.SetTextColor(Font()->Color());
        DrawText(dc, text, Rect, Flags);
    }
}

void TCustomLabel::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    if (!Transparent()) {
        c.Brush()->SetStyle(bsSolid);
        c.Brush()->SetColor(Color());
        c.FillRect(r);
    }
    uint32_t flags = DT_EXPANDTABS | (FWordWrap ? uint32_t(DT_WORDBREAK) : 0u);
    flags |= FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    if (FLayout != tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int h = calc.Height();
        OffsetRect(r, 0, FLayout == tlBottom ? r.Height() - h : (r.Height() - h) / 2);
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
    if ((ComponentState() & (csLoading | csReading)) || !AutoSize())
        return;
    TRect r = ClientRect();
    uint32_t flags = DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? uint32_t(DT_WORDBREAK) : 0u);
    if (!FWordWrap)
        r.Right = r.Left + 10000;
    DoDrawText(r, flags);
    int x = Left();
    int w = FWordWrap ? Width() : r.Width();
    if (FAlignment == taRightJustify)
        x += Width() - w;
    else if (FAlignment == taCenter)
        x += (Width() - w) / 2;
    SetBounds(x, Top(), w, r.Height());
}

void TCustomLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        AdjustBounds();
        break;
    case CM_DIALOGCHAR:
        if (FFocusControl && Enabled() && FShowAccelChar &&
            IsAccel(static_cast<char32_t>(Message.WParam), GetLabelText()) && FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            Message.Result = 1;
            return;
        }
        break;
    case CM_MOUSEENTER:
        if (OnMouseEnter)
            OnMouseEnter(this);
        break;
    case CM_MOUSELEAVE:
        if (OnMouseLeave)
            OnMouseLeave(this);
        break;
    }
    TGraphicControl::Dispatch(Message);
}

} // namespace plat
