// Small controls for the control-layer tests: a push button that answers dialog keys and its
// accelerator, an edit that wants characters and arrows, and a painted box without a window.
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"

namespace uitest {

using namespace plat;

class TTestButton : public TCustomControl {
    PLAT_CLASS(TTestButton)
public:
    explicit TTestButton(TComponent* AOwner) : TCustomControl(AOwner) {
        SetBounds(0, 0, 75, 25);
        SetTabStop(true);
        FColor = clBtnFace;
    }
    bool Default() const { return FDefault; }
    void SetDefault(bool v) { FDefault = v; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    void Click() override {
        if (TCustomForm* form = GetParentForm(this))
            form->SetModalResult(FModalResult);
        TCustomControl::Click();
    }
    void Dispatch(TMessage& m) override {
        switch (m.Msg) {
        case CM_DIALOGKEY:
            if (((m.WParam == VK_RETURN && FDefault) || (m.WParam == VK_ESCAPE && FCancel)) &&
                (KeyDataToShiftState(m.LParam) & (ssShift | ssCtrl | ssAlt)) == 0 && CanFocus()) {
                Click();
                m.Result = 1;
                return;
            }
            break;
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<char32_t>(m.WParam), Caption()) && CanFocus()) {
                Click();
                m.Result = 1;
                return;
            }
            break;
        case WM_GETDLGCODE:
            m.Result = DLGC_BUTTON;
            return;
        }
        TCustomControl::Dispatch(m);
    }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }

private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

class TTestEdit : public TCustomControl {
    PLAT_CLASS(TTestEdit)
public:
    explicit TTestEdit(TComponent* AOwner) : TCustomControl(AOwner) {
        SetBounds(0, 0, 120, 21);
        SetTabStop(true);
    }
    std::u32string Typed;
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_GETDLGCODE) {
            m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS;
            return;
        }
        TCustomControl::Dispatch(m);
    }

protected:
    void KeyPress(char32_t& Key) override {
        TCustomControl::KeyPress(Key);
        if (Key)
            Typed += Key;
    }
};

class TTestBox : public TGraphicControl {
    PLAT_CLASS(TTestBox)
public:
    explicit TTestBox(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 40, 40); }
    int Enters = 0, Leaves = 0;
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER)
            ++Enters;
        if (m.Msg == CM_MOUSELEAVE)
            ++Leaves;
        TGraphicControl::Dispatch(m);
    }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};

// A panel-like container.
class TTestPanel : public TCustomControl {
    PLAT_CLASS(TTestPanel)
public:
    explicit TTestPanel(TComponent* AOwner) : TCustomControl(AOwner) {
        FControlStyle |= csAcceptsControls;
        SetBounds(0, 0, 185, 41);
        FColor = clBtnFace;
    }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};

// Class records and published properties. Several files of one test program include this header: the
// records are inline, and each file's property registration fills the same table the same way.
inline PLAT_CLASS_INFO_CREATABLE(TTestButton, TCustomControl) inline PLAT_CLASS_INFO_CREATABLE(
    TTestEdit,
    TCustomControl) inline PLAT_CLASS_INFO_CREATABLE(TTestBox,
                                                     TGraphicControl) inline PLAT_CLASS_INFO_CREATABLE(TTestPanel,
                                                                                                       TCustomControl)

    PLAT_PROPERTIES(TTestButton) {
    props.String("Caption", &TTestButton::Caption, &TTestButton::SetCaption);
    props.Boolean("Default", &TTestButton::Default, &TTestButton::SetDefault, false);
    props.Boolean("Cancel", &TTestButton::Cancel, &TTestButton::SetCancel, false);
    props.Integer("ModalResult", &TTestButton::ModalResult, &TTestButton::SetModalResult, 0);
}

PLAT_PROPERTIES(TTestPanel) {
    props.String("Caption", &TTestPanel::Caption, &TTestPanel::SetCaption);
}

inline void RegisterTestControls() {
    RegisterClasses({&TTestButton::StaticClass(), &TTestEdit::StaticClass(), &TTestBox::StaticClass(),
                     &TTestPanel::StaticClass()});
}

// The answer to WM_NCHITTEST of a form that draws no frame of its own: a caption band along the top and a
// size grip in the bottom-right corner, so tests can move and size it with the mouse.
inline LRESULT OwnFrameHitTest(TControl& form, LPARAM at) {
    TPoint p = form.ScreenToClient(PointFromLParam(at));
    if (p.X >= form.Width() - 12 && p.Y >= form.Height() - 12)
        return HTBOTTOMRIGHT;
    return p.Y < 20 ? HTCAPTION : HTCLIENT;
}

} // namespace uitest
