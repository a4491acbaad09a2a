// The text of a new text box.
#pragma once

#include "analysis/UnitParamDialog.h"

namespace plat {
class TMemo;
} // namespace plat

class TfmMemo : public TfmParamDialog {
    PLAT_CLASS(TfmMemo)
public:
    using TfmParamDialog::TfmParamDialog;
    plat::TMemo* Memo = nullptr;
    void FormShow(plat::TObject* Sender);
};
