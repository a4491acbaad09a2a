#include "analysis/UnitParamDialog.h"

#include "platform/rtl/PropertyInfo.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/office/KvxAppStyler.h"

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TfmParamDialog, TForm)

PLAT_PROPERTIES(TfmParamDialog) {
    props.Field("bt_submit", &TfmParamDialog::bt_submit);
    props.Field("bt_cancel", &TfmParamDialog::bt_cancel);
    props.Field("KvxFormStyler1", &TfmParamDialog::KvxFormStyler1);
}
