// The glow button's mouse and keyboard handling, groups, drop-down, repeat clicks, size states and key
// tips.
#include <algorithm>
#include <utility>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/ActionList.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Timer.h"
#include "platform/ui/Window.h"
#include "ui/drawing/KvxGlowButton.h"

namespace ui {

using plat::TPoint;
using plat::TRect;

// ---- Messages --------------------------------------------------------------------------------------------

void TKvxCustomGlowButton::Dispatch(plat::TMessage& Message) {
    switch (Message.Msg) {
    case plat::CM_MOUSEENTER:
        CMMouseEnter(Message);
        return;
    case plat::CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    case plat::WM_LBUTTONDOWN:
        WMLButtonDown(Message);
        return;
    case plat::WM_LBUTTONUP:
        WMLButtonUp(Message);
        return;
    case plat::CM_DIALOGKEY:
        CMDialogKey(Message);
        return;
    case plat::CM_DIALOGCHAR:
        CMDialogChar(Message);
        return;
    case plat::CM_FOCUSCHANGED:
        CMFocusChanged(Message);
        return;
    case plat::CM_BUTTONPRESSED:
        GroupButtonPressed(Message);
        return;
    case plat::CM_TEXTCHANGED:
        plat::TCustomControl::Dispatch(Message);
        if (AutoSize())
            UpdateSize();
        else
            Invalidate();
        return;
    case plat::CM_ENABLEDCHANGED:
        plat::TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    case plat::WM_ERASEBKGND:
        // The face covers the whole client area.
        Message.Result = 1;
        return;
    case plat::WM_GETDLGCODE:
        if (OnInternalKeyDown) {
            Message.Result = plat::DLGC_WANTARROWS;
            return;
        }
        break;
    }
    plat::TCustomControl::Dispatch(Message);
}

// ---- Mouse -----------------------------------------------------------------------------------------------

void TKvxCustomGlowButton::CMMouseEnter(plat::TMessage& Message) {
    plat::TCustomControl::Dispatch(Message);
    if (OnMouseEnter)
        OnMouseEnter(this);
    if ((ComponentState() & plat::csDesigning) || FHot)
        return;
    FMouseOver = true;
    if (FLeavePressed)
        FDownFade = true;
    StartFadeTimer();
    if (!FDownFade && FFadeKind != fkPressed) {
        FFadeStep = 20;
        FFadeKind = fkHot;
    }
    Invalidate();
    FMouseInside = true;
    FHot = true;
}

void TKvxCustomGlowButton::CMMouseLeave(plat::TMessage& Message) {
    plat::TCustomControl::Dispatch(Message);
    if (OnMouseLeave)
        OnMouseLeave(this);
    if ((ComponentState() & plat::csDesigning) || !FHot)
        return;
    FHot = false;
    FMouseInside = false;
    FMouseOver = false;
    FDropDownHot = false;
    if (FDownFade && FPressed) {
        FDownFade = false;
        FLeavePressed = true;
    } else {
        FDownFade = false;
        FHotPct = 100;
    }
    FFadeStep = -20;
    FFadeKind = fkHot;
    Invalidate();
    StartFadeTimer();
}

void TKvxCustomGlowButton::UpdateTracking() {
    if (!Enabled())
        return;
    TPoint p = plat::Mouse->CursorPos();
    const bool inside = plat::FindDragTarget(p, true) != this;
    if (inside == FMouseInside)
        return;
    FMouseInside = inside;
    Perform(inside ? plat::CM_MOUSELEAVE : plat::CM_MOUSEENTER, 0, 0);
}

bool TKvxCustomGlowButton::InDropDownZone(int X, int Y, int Zone) const {
    return FDropDownPosition == dpRight ? X > Width() - Zone : Y > Height() - Zone;
}

void TKvxCustomGlowButton::DoOnDropDown() {
    if (OnToolBarDropDown)
        OnToolBarDropDown(this);
    if (OnDropDown)
        OnDropDown(this);
}

void TKvxCustomGlowButton::MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    plat::TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != plat::mbLeft)
        return;
    if (FRepeatClick) {
        if (!FRepeatTimer) {
            FRepeatTimer = new plat::TTimer(this);
            FRepeatTimer->SetEnabled(false);
            FRepeatTimer->SetOnTimer([this](plat::TObject* s) { RepeatTimerTick(s); });
        }
        FRepeatTimer->SetInterval(static_cast<uint32_t>(FInitRepeatPause));
        FRepeatTimer->SetEnabled(true);
    }
    FDownFade = true;
    FPressed = true;
    if (TabStop() && CanFocus())
        SetFocus();
    FFadeStep = 20;
    FFadeKind = fkPressed;
    StartFadeTimer();

    const bool inZone = InDropDownZone(X, Y, 13);
    const bool opens = (!FDropDownButton && HasDropDown()) || (FDropDownButton && FDropDownSplit && inZone) ||
                       (FDropDownButton && !FDropDownSplit && FStyle == bsButton && FGroupIndex <= 0);
    if (opens) {
        // A press on the drop-down part is not also a click of the button when it is released.
        FLButtonWentDown = false;
        SetControlState(ControlState() & ~plat::csClicked);
        FMouseInside = false;
        DoOnDropDown();
        if (FDropDownMenu) {
            FDownFade = false;
            FMouseOver = false;
            FDroppedDown = true;
            FHot = true;
            Repaint();
            // The menu runs a loop of its own, in which a chosen item may free this button.
            plat::TModalLoop menu;
            menu.Watch(this);
            {
                plat::ScopeGuard closed([&] {
                    if (menu.Alive())
                        FDroppedDown = false;
                });
                PopupDropDownMenu();
            }
            if (!menu.Alive())
                return;
            if (!ClientRect().Contains(ScreenToClient(plat::Mouse->CursorPos()))) {
                FHot = false;
                FMouseInside = false;
                FMouseOver = false;
                FDropDownHot = false;
            }
            Repaint();
        }
        Invalidate();
        return;
    }
    if (FStyle == bsCheck)
        SetDown(!FDown);
    if (!FDown) {
        FPaintState = psPressed;
        Invalidate();
    }
    if (FStyle == bsCheck) {
        FPaintState = psPressed;
        Repaint();
    }
    FPressing = true;
}

void TKvxCustomGlowButton::MouseMove(plat::TShiftState Shift, int X, int Y) {
    plat::TCustomControl::MouseMove(Shift, X, Y);
    if (ComponentState() & plat::csDesigning)
        return;
    UpdateTracking();
    const bool dropHot = FDropDownButton && InDropDownZone(X, Y, 12);
    if (dropHot != FDropDownHot) {
        FDropDownHot = dropHot;
        Invalidate();
    }
    if (FPressing) {
        const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
        TPaintState state = FDown ? psLatched : inside ? psPressed : psNormal;
        if (FStyle == bsCheck && FDown)
            state = psPressed;
        if (state != FPaintState) {
            FPaintState = state;
            Invalidate();
        }
    } else if (!FMouseInside) {
        UpdateTracking();
    }
}

void TKvxCustomGlowButton::WMLButtonDown(plat::TMessage& Message) {
    FLButtonWentDown = true;
    plat::TCustomControl::Dispatch(Message);
}

void TKvxCustomGlowButton::WMLButtonUp(plat::TMessage& Message) {
    FFadeStep = -20;
    FFadeKind = fkPressed;
    StartFadeTimer();
    FPressed = false;
    FLeavePressed = false;
    bool releaseHandled = false;
    if ((FDropDownButton || !HasDropDown()) && FPressing) {
        FPressing = false;
        const TPoint p = plat::PointFromLParam(Message.LParam);
        const bool inside = p.X >= 0 && p.X < ClientWidth() && p.Y >= 0 && p.Y <= ClientHeight();
        if (FGroupIndex == 0) {
            FPaintState = psNormal;
            FMouseInside = false;
            if (FStyle == bsCheck) {
                if (Action()) {
                    if (std::exchange(FLButtonWentDown, false))
                        SetControlState(ControlState() | plat::csClicked);
                    plat::TCustomControl::Dispatch(Message);
                    releaseHandled = true;
                }
                if (!inside && FDown)
                    SetDown(!FDown);
                Repaint();
            }
            if (inside && FPaintState != psPressed && FPaintState != psLatched)
                Invalidate();
        } else if (inside) {
            SetDown(!FDown);
            if (FDown)
                Repaint();
        } else {
            if (FDown)
                FPaintState = psLatched;
            Repaint();
        }
        UpdateTracking();
    }
    if (!releaseHandled) {
        if (std::exchange(FLButtonWentDown, false))
            SetControlState(ControlState() | plat::csClicked);
        plat::TCustomControl::Dispatch(Message);
    }
    if (FStyle == bsCheck || FGroupIndex > 0)
        Repaint();
    Invalidate();
}

void TKvxCustomGlowButton::MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y) {
    plat::TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

void TKvxCustomGlowButton::RepeatTimerTick(plat::TObject*) {
    FRepeatTimer->SetInterval(static_cast<uint32_t>(FRepeatPause));
    if (FDownFade && MouseCapture()) {
        // A click that raises stops the repeating; the exception goes on to the caller.
        plat::ScopeGuard stop([this] { FRepeatTimer->SetEnabled(false); });
        Click();
        stop.Dismiss();
    }
}

// ---- Keyboard --------------------------------------------------------------------------------------------

void TKvxCustomGlowButton::KeyDown(uint16_t& Key, plat::TShiftState Shift) {
    plat::TCustomControl::KeyDown(Key, Shift);
    if (Key == plat::VK_RETURN || Key == plat::VK_SPACE) {
        FDownFade = true;
        FPaintState = psPressed;
        Repaint();
    }
    if (Key == plat::VK_F4)
        DoDropDown();
    if (OnInternalKeyDown)
        OnInternalKeyDown(this, Key, Shift);
}

void TKvxCustomGlowButton::KeyPress(char32_t& Key) {
    plat::TCustomControl::KeyPress(Key);
    if (Key == U' ' || Key == U'\r') {
        if (FParentForm)
            FParentForm->SetModalResult(FModalResult);
        if (OnClick)
            OnClick(this);
    }
}

void TKvxCustomGlowButton::KeyUp(uint16_t& Key, plat::TShiftState Shift) {
    plat::TCustomControl::KeyUp(Key, Shift);
    FDownFade = false;
    FPaintState = psNormal;
    Repaint();
}

void TKvxCustomGlowButton::CMDialogKey(plat::TMessage& Message) {
    const bool plain =
        (plat::KeyDataToShiftState(Message.LParam) & (plat::ssShift | plat::ssCtrl | plat::ssAlt)) == 0;
    if (((Message.WParam == plat::VK_RETURN && FActive) || (Message.WParam == plat::VK_ESCAPE && FCancel)) &&
        plain && CanFocus()) {
        ClickFromKeyboard();
        Message.Result = 1;
        return;
    }
    plat::TCustomControl::Dispatch(Message);
}

void TKvxCustomGlowButton::CMDialogChar(plat::TMessage& Message) {
    if (plat::IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && CanFocus()) {
        if (HasDropDown() || FDropDownMenu)
            DoDropDown();
        else
            Click();
        Message.Result = 1;
        return;
    }
    plat::TCustomControl::Dispatch(Message);
}

void TKvxCustomGlowButton::CMFocusChanged(plat::TMessage& Message) {
    auto* focused = reinterpret_cast<plat::TWinControl*>(Message.LParam);
    if (dynamic_cast<TKvxCustomGlowButton*>(focused))
        FActive = focused == this;
    else
        FActive = FDefault;
    plat::TCustomControl::Dispatch(Message);
}

void TKvxCustomGlowButton::ClickFromKeyboard() {
    if ((!FDropDownButton && HasDropDown()) ||
        (FDropDownButton && FStyle == bsButton && FGroupIndex <= 0 && !FDropDownSplit)) {
        if (FDropDownMenu)
            DoDropDown();
        else
            Click();
        return;
    }
    if (FStyle == bsCheck)
        SetDown(!FDown);
    // A push button shows itself pressed while it clicks and comes back up afterwards: no key-up reaches
    // it when the key went to the form (Enter on an edit), and it must not stay drawn pressed.
    plat::ScopeGuard release([this, wasDown = FDown] {
        if (FStyle == bsButton && !wasDown && FPaintState == psPressed &&
            !(ComponentState() & plat::csDestroying)) {
            FPaintState = psNormal;
            Invalidate();
        }
    });
    if (!FDown) {
        FPaintState = psPressed;
        Invalidate();
    }
    if (FStyle == bsCheck) {
        FPaintState = psPressed;
        Repaint();
    }
    Click();
}

void TKvxCustomGlowButton::PopupDropDownMenu() {
    const TPoint at = ClientToScreen(FDropDownDirection == ddDown ? TPoint(0, Height()) : TPoint(Width(), 0));
    FDropDownMenu->Popup(at.X, at.Y);
}

void TKvxCustomGlowButton::DoDropDown() {
    if (!HasDropDown() && !FDropDownMenu)
        return;
    if (FDropDownMenu) {
        FPaintState = psPressed;
        DoOnDropDown();
        Invalidate();
        plat::TModalLoop menu;
        menu.Watch(this);
        PopupDropDownMenu();
        if (!menu.Alive())
            return;
        FPaintState = psNormal;
        Repaint();
    }
    Invalidate();
}

void TKvxCustomGlowButton::DoEnter() {
    plat::TCustomControl::DoEnter();
    Invalidate();
}

void TKvxCustomGlowButton::DoExit() {
    plat::TCustomControl::DoExit();
    FDownFade = false;
    FPaintState = psNormal;
    Invalidate();
}

void TKvxCustomGlowButton::Click() {
    if (FParentForm || (FParentForm = plat::GetParentForm(this)))
        FParentForm->SetModalResult(FModalResult);
    if (OnInternalClick)
        OnInternalClick(this);
    if (OnClick)
        OnClick(this);
    else if (plat::TBasicAction* action = Action())
        action->Execute();
}

// ---- Down and groups -------------------------------------------------------------------------------------

void TKvxCustomGlowButton::SetDown(bool Value) {
    if (ComponentState() & plat::csLoading)
        FLoadedDown = Value;
    if (FGroupIndex == 0 && FStyle == bsButton)
        Value = false;
    if (FStyle == bsCheck) {
        FDown = Value;
        FPaintState = Value ? psPressed : psNormal;
        Repaint();
        return;
    }
    if (!Value && !FDown && FPaintState == psPressed) {
        // Owners raise a button they showed pressed (a pager's caption button) this way.
        FPaintState = psNormal;
        Repaint();
        return;
    }
    if (Value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = Value;
    if (Value) {
        if (FPaintState == psNormal)
            Invalidate();
        FPaintState = psLatched;
        UpdateExclusive();
    } else {
        FPaintState = psNormal;
        Repaint();
    }
}

void TKvxCustomGlowButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !Parent())
        return;
    plat::TMessage m;
    m.Msg = plat::CM_BUTTONPRESSED;
    m.WParam = static_cast<plat::WPARAM>(FGroupIndex);
    // Receivers read the sender back as the object it is.
    m.LParam = reinterpret_cast<plat::LPARAM>(static_cast<plat::TObject*>(this));
    Parent()->Broadcast(m);
}

void TKvxCustomGlowButton::GroupButtonPressed(plat::TMessage& Message) {
    auto* sender = dynamic_cast<TKvxCustomGlowButton*>(reinterpret_cast<plat::TObject*>(Message.LParam));
    if (static_cast<int>(Message.WParam) != FGroupIndex || !sender || sender == this)
        return;
    if (sender->FDown && FDown) {
        FDown = false;
        FPaintState = psNormal;
        Invalidate();
    }
}

// ---- Sizing ----------------------------------------------------------------------------------------------

void TKvxCustomGlowButton::UpdateSize() {
    if (!AutoSize()) {
        Invalidate();
        return;
    }
    FForceMeasure = true;
    plat::ScopeGuard done([this] { FForceMeasure = false; });
    Repaint();
}

void TKvxCustomGlowButton::SetButtonSizeState(TButtonSizeState Value) {
    if (Value == FSizeState)
        return;
    if (FSizeState == bsLarge) {
        FSavedLayout = FLayout;
        FSavedDropDownPosition = FDropDownPosition;
    }
    FSizeState = Value;
    if (AutoSize()) {
        if (Value == bsLarge) {
            SetLayout(FSavedLayout);
            SetDropDownPosition(FSavedDropDownPosition);
        } else {
            SetLayout(blGlyphLeft);
            SetDropDownPosition(dpRight);
        }
    }
    FSizeDirty = true;
    Repaint();
}

void TKvxCustomGlowButton::SetMaxButtonSizeState(TButtonSizeState Value) {
    if (FMaxButtonSizeState == Value)
        return;
    FMaxButtonSizeState = Value;
    SetButtonSizeState(Value);
}

void TKvxCustomGlowButton::SetMinButtonSizeState(TButtonSizeState Value) {
    if (FMinButtonSizeState == Value)
        return;
    FMinButtonSizeState = Value;
    if (Value > FSizeState)
        SetButtonSizeState(Value);
}

TPoint TKvxCustomGlowButton::CalcSizeForState(TButtonSizeState State) {
    TGlowFaceParams P;
    PrepareFace(P, true);
    plat::TBitmap overlay;
    overlay.SetSize(1, 1);
    PaintOverlay(&overlay);
    P.Overlay = &overlay;
    TDropDownPosition dropPos = FDropDownPosition;
    if (AutoSize()) {
        if (State != bsLarge)
            P.GlyphSize = TPoint(16, 16);
        if (overlay.Width() == 1 && P.Picture && !P.Picture->Empty()) {
            P.Picture->MeasureImage();
            overlay.SetSize(std::max(1, P.Picture->Width()), std::max(1, P.Picture->Height()));
            overlay.Canvas()->Draw(0, 0, P.Picture);
            P.Picture = nullptr;
        }
        if (P.Images && P.ImageIndex >= 0)
            P.Picture = nullptr;
        if (State == bsGlyph) {
            P.Caption.clear();
            P.WideCaption.clear();
        }
        if (State == bsLarge) {
            // The layout saved on leaving the large state; while still large, the one in use.
            P.Layout = FSizeState == bsLarge ? FLayout : FSavedLayout;
            dropPos = FSizeState == bsLarge ? FDropDownPosition : FSavedDropDownPosition;
        } else {
            P.Layout = blGlyphLeft;
            dropPos = dpRight;
        }
    }
    P.DropDownPosition = dropPos;
    plat::TFont font;
    font.Assign(Font());
    if (!ParentFont() && FAppearance->SystemFont())
        font.SetName(IsVistaOrLater() ? "Segoe UI" : "Tahoma");
    P.Font = &font;
    P.Look = FAppearance->Look(glNormal);
    P.SplitLook = false;
    P.R = ClientRect();
    P.MeasureOnly = true;
    TPoint size = DrawGlowButtonFace(Canvas(), P);
    size.X += 3 * FSpacing + 2 * FMarginHorz + 2;
    size.Y += 2 * FSpacing + 2 * FMarginVert;
    if (FDropDownButton) {
        if (dropPos == dpBottom)
            size.Y += 13;
        else
            size.X += 13;
    }
    return size;
}

// ---- Key tips --------------------------------------------------------------------------------------------

void TKvxCustomGlowButton::ShowShortCutHint() {
    if (!FShortCutHintWindow) {
        FShortCutHintWindow = new TShortCutHintWindow(this);
        FShortCutHintWindow->SetVisible(false);
        RefreshHintColors();
    }
    const std::string text = FShortCutHint;
    const TPoint p = ClientOrigin();
    TShortCutHintPos pos = FShortCutHintPos;
    if (OnInternalShortCutHintPos)
        OnInternalShortCutHintPos(this, FSizeState, pos);
    if (pos == shpAuto)
        pos = shpTop;
    TRect r = FShortCutHintWindow->CalcHintRect(200, text, nullptr);
    const int minWidth = FShortCutHintWindow->Canvas()->TextWidth("O") + 8;
    const int w = std::max(r.Width(), minWidth), h = r.Height();
    const int bw = Width(), bh = Height();
    const int centreX = p.X + (bw - w) / 2, leftX = p.X + 6, rightX = p.X + bw - w + 1;
    const int middleY = p.Y + (bh - h) / 2, topY = p.Y - h / 2, aboveY = p.Y - h, bottomY = p.Y + bh - h / 2,
              belowY = p.Y + bh;
    TPoint at;
    switch (pos) {
    case shpLeft:
        at = TPoint(leftX, middleY);
        break;
    case shpAuto:
    case shpTop:
        at = TPoint(centreX, topY);
        break;
    case shpRight:
        at = TPoint(p.X + bw - w / 2, middleY);
        break;
    case shpBottom:
        at = TPoint(centreX, bottomY);
        break;
    case shpCenter:
        at = TPoint(centreX, middleY);
        break;
    case shpTopLeft:
        at = TPoint(leftX, topY);
        break;
    case shpTopRight:
        at = TPoint(rightX, topY);
        break;
    case shpAboveTop:
        at = TPoint(centreX, aboveY);
        break;
    case shpAboveTopLeft:
        at = TPoint(leftX, aboveY);
        break;
    case shpAboveTopRight:
        at = TPoint(rightX, aboveY);
        break;
    case shpBottomLeft:
        at = TPoint(leftX, bottomY);
        break;
    case shpBottomRight:
        at = TPoint(rightX, bottomY);
        break;
    case shpBelowBottom:
        at = TPoint(centreX, belowY);
        break;
    case shpBelowBottomLeft:
        at = TPoint(leftX, belowY);
        break;
    case shpBelowBottomRight:
        at = TPoint(rightX, belowY);
        break;
    }
    FShortCutHintWindow->ActivateHint(plat::Bounds(at.X, at.Y, w, h), text);
}

void TKvxCustomGlowButton::HideShortCutHint() {
    if (FShortCutHintWindow)
        FShortCutHintWindow->ReleaseHandle();
}

// ---- Key-tip window --------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TShortCutHintWindow, plat::THintWindow)

TShortCutHintWindow::TShortCutHintWindow(plat::TComponent* AOwner) : plat::THintWindow(AOwner) {}

void TShortCutHintWindow::SetColor(plat::TColor Value) {
    FColor = Value;
    Invalidate();
}

void TShortCutHintWindow::SetColorTo(plat::TColor Value) {
    FColorTo = Value;
    Invalidate();
}

void TShortCutHintWindow::CreateParams(plat::TCreateParams& Params) {
    plat::THintWindow::CreateParams(Params);
    Params.Style &= ~plat::WS_BORDER;
    Params.WindowClass.Style &= ~plat::CS_DROPSHADOW;
}

void TShortCutHintWindow::Paint() {
    plat::TCanvas* c = Canvas();
    const TRect r = ClientRect();
    FillBandGradient(c, FColor, FColorTo, 16, r, false);
    c->Brush()->SetStyle(plat::bsClear);
    c->Font()->Assign(Font());
    TRect text = r;
    c->TextRect(text, Caption(), plat::DT_SINGLELINE | plat::DT_CENTER | plat::DT_VCENTER);
    c->Pen()->SetColor(0x808080);
    c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, 3, 3);
}

void TShortCutHintWindow::Resize() {
    plat::THintWindow::Resize();
    const int minWidth = Canvas()->TextWidth("O") + 8;
    if (Width() < minWidth)
        SetWidth(minWidth);
}

void TShortCutHintWindow::Dispatch(plat::TMessage& Message) {
    if (Message.Msg == plat::WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    plat::THintWindow::Dispatch(Message);
}

} // namespace ui
