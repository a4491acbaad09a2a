// Peak finder settings; they keep their values from one Find Peaks to the next.
#pragma once

#include "analysis/UnitParamDialog.h"

namespace plat {
class TLabel;
} // namespace plat
namespace ui {
class TKvxEdit;
class TKvxOfficeCheckBox;
} // namespace ui

class TfmPeakSettings : public TfmParamDialog {
    PLAT_CLASS(TfmPeakSettings)
public:
    using TfmParamDialog::TfmParamDialog;
    plat::TLabel* lb_sampletitle = nullptr;
    ui::TKvxEdit* ed_threshold = nullptr;
    ui::TKvxEdit* ed_minpeak = nullptr;
    ui::TKvxEdit* ed_nopeaks = nullptr;
    ui::TKvxEdit* ed_minpeakdistance = nullptr;
    ui::TKvxOfficeCheckBox* cb_highestpeaks = nullptr;

protected:
    void DoCreate() override;
};
