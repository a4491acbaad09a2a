// The label: text painted on its parent, sized to its text, that can hand the focus to another control
// when its accelerator is pressed.
#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/TextAlignment.h"

namespace plat {

class TCustomLabel : public TGraphicControl {
    PLAT_CLASS(TCustomLabel)
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return (FControlStyle & csOpaque) == 0; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    void SetAutoSize(bool Value) override;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void Paint() override;
    // Draws the caption into Rect with DrawText flags (DT_CALCRECT measures instead).
    virtual void DoDrawText(TRect& Rect, uint32_t Flags);
    virtual std::string GetLabelText() const { return Caption(); }
    void AdjustBounds();
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
    PLAT_CLASS(TLabel)
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

} // namespace plat
