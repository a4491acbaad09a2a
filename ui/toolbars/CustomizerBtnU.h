// The button properties dialog of the customize dialog: caption, hint, icon, caption shown, visible.
#pragma once

#include "platform/ui/Form.h"

namespace plat {
class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
} // namespace plat

namespace ui {

class TKvxToolBarCustomizer;

class TCusBtnForm : public plat::TForm {
    PLAT_CLASS(TCusBtnForm)
public:
    explicit TCusBtnForm(plat::TComponent* AOwner);
    void SetCustomizer(TKvxToolBarCustomizer* Value) { FCustomizer = Value; }
    TKvxToolBarCustomizer* Customizer() const { return FCustomizer; }

    plat::TGroupBox* GroupBox1 = nullptr;
    plat::TLabel *LblCaption = nullptr, *LblHint = nullptr, *LblIcon = nullptr;
    plat::TEdit *EdtBtnCaption = nullptr, *EdtBtnHint = nullptr;
    plat::TComboBox* CmBxGlyph = nullptr;
    plat::TCheckBox *ChkBtnShowCap = nullptr, *ChkBtnVis = nullptr;
    plat::TButton *BtnOk = nullptr, *BtnCancel = nullptr;

private:
    TKvxToolBarCustomizer* FCustomizer = nullptr;
};

} // namespace ui
