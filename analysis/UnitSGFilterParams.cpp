#include "analysis/UnitSGFilterParams.h"

#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Label.h"
#include "ui/controls/KvxEdit.h"

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TfmSGFilterParams, TfmParamDialog)

PLAT_PROPERTIES(TfmSGFilterParams) {
    props.Field("lb_sampletitle", &TfmSGFilterParams::lb_sampletitle);
    props.Field("ed_nl", &TfmSGFilterParams::ed_nl);
    props.Field("ed_nr", &TfmSGFilterParams::ed_nr);
    props.Field("ed_ld", &TfmSGFilterParams::ed_ld);
    props.Field("ed_m", &TfmSGFilterParams::ed_m);
    props.Field("ed_samplename", &TfmSGFilterParams::ed_samplename);
}
