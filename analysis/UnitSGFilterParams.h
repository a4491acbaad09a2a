// Savitzky-Golay parameters and the name of the new frame.
#pragma once

#include "analysis/UnitParamDialog.h"

namespace plat {
class TLabel;
} // namespace plat
namespace ui {
class TKvxEdit;
} // namespace ui

class TfmSGFilterParams : public TfmParamDialog {
    PLAT_CLASS(TfmSGFilterParams)
public:
    using TfmParamDialog::TfmParamDialog;
    plat::TLabel* lb_sampletitle = nullptr;
    ui::TKvxEdit* ed_nl = nullptr;
    ui::TKvxEdit* ed_nr = nullptr;
    ui::TKvxEdit* ed_ld = nullptr;
    ui::TKvxEdit* ed_m = nullptr;
    ui::TKvxEdit* ed_samplename = nullptr;
};
