#include "platform/ui/SpeedButton.h"

#include <algorithm>

#include "platform/gfx/FrameControls.h"
#include "platform/gfx/TextLayout.h"
#include "platform/rtl/PropertyInfo.h"

namespace plat {

namespace {
const char* const kLayoutNames[] = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
static_assert(std::size(kLayoutNames) == blGlyphBottom + 1);
} // namespace

PLAT_CLASS_INFO_CREATABLE(TSpeedButton, TGraphicControl)

PLAT_PROPERTIES(TSpeedButton) {
    props.String("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption);
    props.Boolean("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp, false);
    props.Integer("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex, 0);
    props.Boolean("Down", &TSpeedButton::Down, &TSpeedButton::SetDown, false);
    props.Boolean("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat, false);
    props.Object("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    props.Integer("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs, 1);
    props.Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout, kLayoutNames, blGlyphLeft);
    props.Integer("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin, -1);
    props.Integer("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing, 4);
    props.Event("OnMouseEnter", &TSpeedButton::OnMouseEnter);
    props.Event("OnMouseLeave", &TSpeedButton::OnMouseLeave);
}

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle = csCaptureMouse | csDoubleClicks;
    SetBounds(0, 0, 23, 22);
    SetParentColor(false);
    SetColor(clBtnFace);
    FGlyph = std::make_unique<TBitmap>();
    FGlyph->OnChange = [this](TObject*) {
        // A strip of same-sized images: guess their number from the width.
        if (FGlyph->Height() > 0 && FGlyph->Width() % FGlyph->Height() == 0) {
            int n = FGlyph->Width() / FGlyph->Height();
            if (n >= 1 && n <= 4)
                FNumGlyphs = n;
        }
        Invalidate();
    };
}

TSpeedButton::~TSpeedButton() {
    FGlyph->OnChange = nullptr;
}

void TSpeedButton::SetAllowAllUp(bool Value) {
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int Value) {
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    if (FDown && !FAllowAllUp && !(ComponentState() & csLoading))
        return; // the last button down of a group stays down
    FDown = Value;
    Invalidate();
    if (Value)
        UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
    TWinControl* parent = Parent();
    if (!parent || FGroupIndex == 0)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<TSpeedButton*>(parent->Controls(i));
        if (!other || other == this || other->FGroupIndex != FGroupIndex)
            continue;
        if (FDown && other->FDown) {
            other->FDown = false;
            other->Invalidate();
        }
        other->FAllowAllUp = FAllowAllUp;
    }
}

void TSpeedButton::SetFlat(bool Value) {
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
}

void TSpeedButton::SetNumGlyphs(int Value) {
    FNumGlyphs = std::clamp(Value, 1, 4);
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::Click() {
    TGraphicControl::Click();
}

TSpeedButton::TButtonState TSpeedButton::State() const {
    if (!Enabled())
        return bsDisabled;
    if (FPressedLook)
        return bsDown;
    if (FDown)
        return bsExclusive;
    return bsUp;
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    FDragging = true;
    FPressedLook = true;
    Invalidate();
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    bool inside = PtInRect(ClientRect(), TPoint(X, Y));
    if (inside != FPressedLook) {
        FPressedLook = inside;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging || Button != mbLeft)
        return;
    FDragging = false;
    FPressedLook = false;
    bool inside = PtInRect(ClientRect(), TPoint(X, Y));
    Invalidate();
    if (!inside)
        return;
    if (FGroupIndex != 0) {
        if (!FDown) {
            SetDown(true);
        } else if (FAllowAllUp) {
            FDown = false;
            Invalidate();
        }
    }
    Click();
}

void TSpeedButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        FMouseInControl = true;
        if (FFlat)
            Invalidate();
        if (OnMouseEnter)
            OnMouseEnter(this);
        break;
    case CM_MOUSELEAVE:
        FMouseInControl = false;
        if (FFlat)
            Invalidate();
        if (OnMouseLeave)
            OnMouseLeave(this);
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && Enabled() && Visible() && Parent() &&
            Parent()->Showing()) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    }
    TGraphicControl::Dispatch(Message);
}

void TSpeedButton::PaintFrame(TCanvas& Canvas, TRect& Rect, TButtonState State) {
    bool pushed = State == bsDown || State == bsExclusive;
    if (FFlat) {
        if (pushed)
            DrawEdge(*Canvas.Handle(), Rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        else if (FMouseInControl && State != bsDisabled)
            DrawEdge(*Canvas.Handle(), Rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        else
            InflateRect(Rect, -1, -1);
        return;
    }
    uint32_t flags = DFCS_BUTTONPUSH | (pushed ? uint32_t(DFCS_PUSHED) : 0u);
    DrawFrameControl(*Canvas.Handle(), Rect, DFC_BUTTON, flags | DFCS_ADJUSTRECT);
    if (State == bsExclusive) {
        // A down button of a group shows a lighter face.
        Canvas.Brush()->SetColor(TColor(0xE8E8E8));
        Canvas.FillRect(Rect);
    }
}

void TSpeedButton::PaintGlyphAndCaption(TCanvas& Canvas, const TRect& Rect, TButtonState State) {
    int gw = 0, gh = 0;
    if (!FGlyph->Empty()) {
        gw = FGlyph->Width() / FNumGlyphs;
        gh = FGlyph->Height();
    }
    std::string text = Caption();
    Canvas.Font()->Assign(Font());
    TRect tr(0, 0, Rect.Width(), 0);
    if (!text.empty())
        DrawText(*Canvas.Handle(), text, tr, DT_CALCRECT | DT_SINGLELINE);
    int tw = text.empty() ? 0 : tr.Width(), th = text.empty() ? 0 : tr.Height();
    bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    int spacing = (gw > 0 && tw > 0) ? FSpacing : 0;
    int totalW = horizontal ? gw + spacing + tw : std::max(gw, tw);
    int totalH = horizontal ? std::max(gh, th) : gh + spacing + th;
    int extent = horizontal ? Rect.Width() : Rect.Height();
    int total = horizontal ? totalW : totalH;
    int margin = FMargin >= 0 ? FMargin : (extent - total) / 2;
    TPoint gp, tp;
    switch (FLayout) {
    case blGlyphLeft:
        gp = TPoint(Rect.Left + margin, Rect.Top + (Rect.Height() - gh) / 2);
        tp = TPoint(gp.X + gw + spacing, Rect.Top + (Rect.Height() - th) / 2);
        break;
    case blGlyphRight:
        gp = TPoint(Rect.Right - margin - gw, Rect.Top + (Rect.Height() - gh) / 2);
        tp = TPoint(gp.X - spacing - tw, Rect.Top + (Rect.Height() - th) / 2);
        break;
    case blGlyphTop:
        gp = TPoint(Rect.Left + (Rect.Width() - gw) / 2, Rect.Top + margin);
        tp = TPoint(Rect.Left + (Rect.Width() - tw) / 2, gp.Y + gh + spacing);
        break;
    case blGlyphBottom:
        gp = TPoint(Rect.Left + (Rect.Width() - gw) / 2, Rect.Bottom - margin - gh);
        tp = TPoint(Rect.Left + (Rect.Width() - tw) / 2, gp.Y - spacing - th);
        break;
    }
    int offset = (State == bsDown || State == bsExclusive) ? 1 : 0;
    if (gw > 0) {
        // The image for the state, when the strip has one; else the first.
        int index = 0;
        if (State == bsDisabled && FNumGlyphs > 1)
            index = 1;
        else if (State == bsDown && FNumGlyphs > 2)
            index = 2;
        else if (State == bsExclusive && FNumGlyphs > 3)
            index = 3;
        TRect src(index * gw, 0, index * gw + gw, gh);
        TRect dst(gp.X + offset, gp.Y + offset, gp.X + offset + gw, gp.Y + offset + gh);
        FGlyph->SetTransparent(true);
        TBitmap part;
        part.SetSize(gw, gh);
        part.Canvas()->CopyRect(TRect(0, 0, gw, gh), FGlyph->Canvas(), src);
        part.SetTransparent(true);
        Canvas.Draw(dst.Left, dst.Top, &part);
    }
    if (tw > 0) {
        TRect t(tp.X + offset, tp.Y + offset, tp.X + offset + tw, tp.Y + offset + th);
        TDeviceContext& dc = *Canvas.Handle();
        dc.SetBkMode(TRANSPARENT);
        if (State == bsDisabled) {
            TRect s = t;
            OffsetRect(s, 1, 1);
            dc.SetTextColor(clBtnHighlight);
            DrawText(dc, text, s, DT_SINGLELINE);
            dc.SetTextColor(clBtnShadow);
        } else {
            dc.SetTextColor(Font()->Color());
        }
        DrawText(dc, text, t, DT_SINGLELINE);
    }
}

void TSpeedButton::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(r);
    TButtonState state = State();
    PaintFrame(c, r, state);
    PaintGlyphAndCaption(c, r, state);
}

} // namespace plat
