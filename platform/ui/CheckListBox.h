// A list box with a check box before every item: checked, unchecked or grayed states, items that can
// be disabled, and OnClickCheck when the user toggles a box.
#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ListBox.h"

namespace plat {

class TCheckListBox : public TCustomListBox {
    PLAT_CLASS(TCheckListBox)
public:
    explicit TCheckListBox(TComponent* AOwner);

    bool Checked(int Index) const { return State(Index) == cbChecked; }
    void SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State(int Index) const;
    void SetState(int Index, TCheckBoxState Value);
    bool ItemEnabled(int Index) const;
    void SetItemEnabled(int Index, bool Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);

    TNotifyEvent OnClickCheck;

    // The check box of an item (client coordinates).
    TRect CheckRect(int Index) const;

protected:
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    virtual void DrawCheck(TRect Rect, TCheckBoxState State, bool Enabled);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyPress(char32_t& Key) override;
    // The user toggles an item: unchecked, checked, then grayed when AllowGrayed.
    virtual void ToggleClickCheck(int Index);
    virtual void ClickCheck();

private:
    bool FAllowGrayed = false;
    bool FFlat = true;
};

} // namespace plat
