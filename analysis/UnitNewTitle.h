// The title of a new frame, with a constant and an "only positive values" choice where the command
// needs them.
#pragma once

#include <string>

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

    // The questions of the chart window's commands: each shows the proposed title in its layout and
    // answers true only for Submit with a title that is not empty. Submit hands back the title and the
    // choices; Cancel leaves them as they were.
    bool AskTitle(std::string& Title);
    bool AskTitleAndPositive(std::string& Title, bool& OnlyPositive);
    bool AskTitleAndConstant(std::string& Title, double& Constant);
    bool AskTitleConstantAndPositive(std::string& Title, bool& OnlyPositive, double& Constant);

    ui::TKvxEdit* ed_samplename = nullptr;
    ui::TKvxOfficeCheckBox* cb_positivevalues = nullptr;
    ui::TKvxEdit* ed_constant = nullptr;

protected:
    void DoCreate() override;

private:
    // Tops in client pixels; a negative top hides the control.
    void Arrange(int ButtonsTop, int ConstantTop, int CheckBoxTop);
    // Shows the dialog with the proposal; true for Submit, which also hands back the title.
    bool Submitted(std::string& Title);
};
