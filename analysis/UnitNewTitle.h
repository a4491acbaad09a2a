// The title of a new frame, with a constant and an "only positive values" choice where the command
// needs them.
#pragma once

#include "analysis/UnitParamDialog.h"

namespace ui {
class TKvxEdit;
class TKvxOfficeCheckBox;
} // namespace ui

// The title dialog in its four layouts; each places the buttons below the controls it shows.
class TfmNewTitle : public TfmParamDialog {
    PLAT_CLASS(TfmNewTitle)
public:
    using TfmParamDialog::TfmParamDialog;
    void ShowTitleOnly();
    void ShowTitleAndPositive();
    void ShowTitleConstantAndPositive();
    void ShowTitleAndConstant();

    ui::TKvxEdit* ed_samplename = nullptr;
    ui::TKvxOfficeCheckBox* cb_positivevalues = nullptr;
    ui::TKvxEdit* ed_constant = nullptr;

protected:
    void DoCreate() override;

private:
    // Tops in client pixels; a negative top hides the control.
    void Arrange(int ButtonsTop, int ConstantTop, int CheckBoxTop);
};
