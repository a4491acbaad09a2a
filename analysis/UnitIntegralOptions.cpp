#include "analysis/UnitIntegralOptions.h"

#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Label.h"
#include "ui/controls/KvxEdit.h"

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TfmIntegralOptions, TfmParamDialog)

PLAT_PROPERTIES(TfmIntegralOptions) {
    props.Field("lb_sampletitle", &TfmIntegralOptions::lb_sampletitle);
    props.Field("lb_multiplier", &TfmIntegralOptions::lb_multiplier);
    props.Field("ed_xstart", &TfmIntegralOptions::ed_xstart);
    props.Field("ed_xend", &TfmIntegralOptions::ed_xend);
    props.Field("ed_stepsize", &TfmIntegralOptions::ed_stepsize);
}

// The decimal defaults are set here, not in the layout, so they show in the user's locale.

void TfmIntegralOptions::DoCreate() {
    ed_xstart->SetFloatValue(0);
    ed_xend->SetFloatValue(2047);
    ed_stepsize->SetFloatValue(1e-6);
    TfmParamDialog::DoCreate();
}
