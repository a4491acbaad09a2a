#include "analysis/UnitMovingAvSettings.h"

#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Label.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxSpin.h"

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(Tfmmovingavsettings, TfmParamDialog)

PLAT_PROPERTIES(Tfmmovingavsettings) {
    props.Field("lb_sampletitle", &Tfmmovingavsettings::lb_sampletitle);
    props.Field("ed_smoothpxlcnt", &Tfmmovingavsettings::ed_smoothpxlcnt);
    props.Field("ed_samplename", &Tfmmovingavsettings::ed_samplename);
}
