// Moving average: the half width m and the name of the new frame.
#pragma once

#include "analysis/UnitParamDialog.h"

namespace plat {
class TLabel;
} // namespace plat
namespace ui {
class TKvxEdit;
class TKvxSpinEdit;
} // namespace ui

class Tfmmovingavsettings : public TfmParamDialog {
    PLAT_CLASS(Tfmmovingavsettings)
public:
    using TfmParamDialog::TfmParamDialog;
    plat::TLabel* lb_sampletitle = nullptr;
    ui::TKvxSpinEdit* ed_smoothpxlcnt = nullptr;
    ui::TKvxEdit* ed_samplename = nullptr;
};
