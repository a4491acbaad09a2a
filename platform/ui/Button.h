// Push button, check box and radio button: controls that act on a click, the space bar or their
// accelerator. A push button can be the form's default (Enter) or cancel (Escape) button and end a modal
// form with its ModalResult.
#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/TextAlignment.h"

namespace plat {

// What the button controls share: the pressed look while the mouse or space bar holds them.
class TButtonControl : public TCustomControl {
    PLAT_CLASS(TButtonControl)
public:
    explicit TButtonControl(TComponent* AOwner);

protected:
    // The action of a completed press (mouse released over the control, space released).
    virtual void Activate() = 0;
    bool Pressed() const { return FPressed; }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void Dispatch(TMessage& Message) override;
    // Draws Caption (with its accelerator) in Rect; disabled text is engraved.
    void DrawCaption(TCanvas& Canvas, TRect Rect, uint32_t Flags);

private:
    bool FPressed = false;
    bool FMouseHeld = false;
    bool FSpaceHeld = false;
};

class TButton : public TButtonControl {
    PLAT_CLASS(TButton)
public:
    explicit TButton(TComponent* AOwner);

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // Sets the parent form's ModalResult (when not mrNone), then fires OnClick.
    void Click() override;

protected:
    void Activate() override { Click(); }
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    // The button Enter presses now: the focused button, or the default one when no button has the focus.
    bool IsActive() const;

private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
inline constexpr const char* kCheckBoxStateNames[] = {"cbUnchecked", "cbChecked", "cbGrayed"};
static_assert(std::size(kCheckBoxStateNames) == cbGrayed + 1);

class TCustomCheckBox : public TButtonControl {
    PLAT_CLASS(TCustomCheckBox)
public:
    explicit TCustomCheckBox(TComponent* AOwner);

    // taRightJustify: the box on the left and the caption right of it (the usual look).
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }

protected:
    // Unchecked, checked, then grayed when allowed.
    virtual void Toggle();
    void Activate() override { Toggle(); }
    void Paint() override;
    TRect BoxRect() const;

private:
    TAlignment FAlignment = taRightJustify;
    bool FAllowGrayed = false;
    TCheckBoxState FState = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
    PLAT_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// A radio button; checking one unchecks the other radio buttons of the same parent.
class TRadioButton : public TButtonControl {
    PLAT_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

protected:
    void Activate() override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;

private:
    TAlignment FAlignment = taRightJustify;
    bool FChecked = false;
};

} // namespace plat
