// Range and tolerance of the integral; callers refill the range every time, the tolerance stays.
#pragma once

#include "analysis/UnitParamDialog.h"

namespace plat {
class TLabel;
} // namespace plat
namespace ui {
class TKvxEdit;
} // namespace ui

class TfmIntegralOptions : public TfmParamDialog {
    PLAT_CLASS(TfmIntegralOptions)
public:
    using TfmParamDialog::TfmParamDialog;
    plat::TLabel* lb_sampletitle = nullptr;
    plat::TLabel* lb_multiplier = nullptr;
    ui::TKvxEdit* ed_xstart = nullptr;
    ui::TKvxEdit* ed_xend = nullptr;
    ui::TKvxEdit* ed_stepsize = nullptr;

protected:
    void DoCreate() override;
};
