// The combo box with an own look: a flat style whose frame and drop-down button it draws itself, a
// themed button when a visual style is active, focus colour and focus border, an attached label and a
// dropped list width of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/ComboBox.h"
#include "ui/controls/AttachedLabel.h"

namespace ui {

class TKvxCustomCombo : public plat::TCustomComboBox {
    PLAT_CLASS(TKvxCustomCombo)
public:
    explicit TKvxCustomCombo(plat::TComponent* AOwner);
    ~TKvxCustomCombo() override;

    virtual uint32_t PackedVersion() const;
    std::string Version() const;
    void SetVersion(const std::string&) {}

    plat::TColor ColorProp() const { return Color(); }
    // While loading the value is also remembered as the design colour.
    void SetColorProp(plat::TColor Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    plat::TColor FlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(plat::TColor Value);
    bool FlatParentColor() const { return FFlatParentColor; }
    void SetFlatParentColor(bool Value);
    bool Etched() const { return FEtched; }
    void SetEtched(bool Value);
    int ButtonWidth() const { return FButtonWidth; }
    // Accepted from 14 to 32; other values are ignored.
    void SetButtonWidth(int Value);
    int DropWidth() const { return FDropWidth; }
    void SetDropWidth(int Value);
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool Value);
    bool FocusBorder() const { return FFocusBorder; }
    void SetFocusBorder(bool Value);
    plat::TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(plat::TColor Value);
    plat::TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(plat::TColor Value) { FFocusColor = Value; }
    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool Value) { FAutoFocus = Value; }

    std::string LabelCaption() const { return FLabel.Caption(); }
    void SetLabelCaption(const std::string& Value);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition Value);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int Value);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool Value);
    plat::TFont* LabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(plat::TFont* Value) { FLabelFont->Assign(Value); }
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool Value);
    plat::TLabel* ComboLabel() const { return FLabel.Label(); }

    void SetEnabled(bool Value) override;
    void SetParent(plat::TWinControl* AParent) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Whether the combo draws its frame and button itself right now (flat, focus frame, or disabled on a
    // themed system without the platform's border).
    bool OwnFrame() const;
    bool Hot() const { return FHot; }
    bool ButtonHot() const { return FButtonHot; }

    plat::TNotifyEvent OnDropUp;

protected:
    void Paint() override;
    void Dispatch(plat::TMessage& Message) override;
    void MouseMove(plat::TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    void DoExit() override;
    void DropDown() override;
    void CloseUp() override;
    void Loaded() override;
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    int ButtonStripWidth() const override;

private:
    bool Loading() const;
    bool Themed() const;
    // The mouse over the combo or the combo (or its edit part) the active control.
    bool Active() const;
    bool HoldsFocus() const;
    // The client-to-window offset of the platform's border.
    int BorderOffset() const;
    void DrawButton(plat::TDeviceContext& DC);
    void DrawFrame();
    void DrawFrameInto(plat::TDeviceContext& DC);
    void InvalidateButton();
    void Redraw();
    void LayoutLabel();
    void ColorChanged();

    bool FHot = false;
    bool FButtonHot = false;
    bool FFocused = false;
    bool FStyledPlatform = false;
    bool FThemesCapable = false;
    plat::TColor FDesignColor = plat::clWindow;
    plat::TColor FNormalColor = plat::clWindow;
    plat::TColor FSavedColor = plat::clWindow;
    bool FSavedParentColor = false;

    bool FFlat = false;
    plat::TColor FFlatLineColor = plat::clBlack;
    bool FFlatParentColor = true;
    bool FEtched = false;
    int FButtonWidth = 19;
    int FDropWidth = 0;
    bool FDisabledBorder = true;
    bool FFocusBorder = false;
    plat::TColor FFocusBorderColor = plat::clNone;
    plat::TColor FFocusColor = plat::clNone;
    bool FAutoFocus = false;

    TAttachedLabel FLabel{this};
    TLabelPosition FLabelPosition = lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false;
    std::unique_ptr<plat::TFont> FLabelFont;
    bool FLabelAlwaysEnabled = false;
};

class TKvxComboBox : public TKvxCustomCombo {
    PLAT_CLASS(TKvxComboBox)
public:
    explicit TKvxComboBox(plat::TComponent* AOwner) : TKvxCustomCombo(AOwner) {}
};

} // namespace ui
