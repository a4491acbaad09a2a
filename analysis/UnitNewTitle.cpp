#include "analysis/UnitNewTitle.h"

#include "platform/rtl/PropertyInfo.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/drawing/KvxGlowButton.h"

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TfmNewTitle, TfmParamDialog)

PLAT_PROPERTIES(TfmNewTitle) {
    props.Field("ed_samplename", &TfmNewTitle::ed_samplename);
    props.Field("cb_positivevalues", &TfmNewTitle::cb_positivevalues);
    props.Field("ed_constant", &TfmNewTitle::ed_constant);
}

// The decimal defaults are set here, not in the layout, so they show in the user's locale.

void TfmNewTitle::DoCreate() {
    ed_constant->SetFloatValue(0);
    ShowTitleOnly();
    TfmParamDialog::DoCreate();
}

void TfmNewTitle::Arrange(int ButtonsTop, int ConstantTop, int CheckBoxTop) {
    if (ConstantTop >= 0)
        ed_constant->SetTop(ConstantTop);
    ed_constant->SetVisible(ConstantTop >= 0);
    if (CheckBoxTop >= 0)
        cb_positivevalues->SetTop(CheckBoxTop);
    cb_positivevalues->SetVisible(CheckBoxTop >= 0);
    bt_submit->SetTop(ButtonsTop);
    bt_cancel->SetTop(ButtonsTop);
    SetClientHeightProp(ButtonsTop + 35);
}

void TfmNewTitle::ShowTitleOnly() {
    Arrange(54, -1, -1);
}

void TfmNewTitle::ShowTitleAndPositive() {
    Arrange(74, -1, 48);
    cb_positivevalues->SetChecked(false);
}

void TfmNewTitle::ShowTitleConstantAndPositive() {
    Arrange(98, 48, 72);
    cb_positivevalues->SetChecked(false);
    ed_constant->SetFloatValue(0);
}

void TfmNewTitle::ShowTitleAndConstant() {
    Arrange(78, 48, -1);
    ed_constant->SetFloatValue(0);
}

bool TfmNewTitle::Submitted(std::string& Title) {
    ed_samplename->SetTextProp(Title);
    if (ShowModal() != mrOk)
        return false;
    Title = ed_samplename->Text();
    return true;
}

bool TfmNewTitle::AskTitle(std::string& Title) {
    ShowTitleOnly();
    return Submitted(Title) && !Title.empty();
}

bool TfmNewTitle::AskTitleAndPositive(std::string& Title, bool& OnlyPositive) {
    ShowTitleAndPositive();
    if (!Submitted(Title))
        return false;
    OnlyPositive = cb_positivevalues->Checked();
    return !Title.empty();
}

bool TfmNewTitle::AskTitleAndConstant(std::string& Title, double& Constant) {
    ShowTitleAndConstant();
    if (!Submitted(Title))
        return false;
    Constant = ed_constant->FloatValue();
    return !Title.empty();
}

bool TfmNewTitle::AskTitleConstantAndPositive(std::string& Title, bool& OnlyPositive, double& Constant) {
    ShowTitleConstantAndPositive();
    if (!Submitted(Title))
        return false;
    OnlyPositive = cb_positivevalues->Checked();
    Constant = ed_constant->FloatValue();
    return !Title.empty();
}
