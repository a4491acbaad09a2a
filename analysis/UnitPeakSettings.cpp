#include "analysis/UnitPeakSettings.h"

#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Label.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxOfficeButtons.h"

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TfmPeakSettings, TfmParamDialog)

PLAT_PROPERTIES(TfmPeakSettings) {
    props.Field("lb_sampletitle", &TfmPeakSettings::lb_sampletitle);
    props.Field("ed_threshold", &TfmPeakSettings::ed_threshold);
    props.Field("ed_minpeak", &TfmPeakSettings::ed_minpeak);
    props.Field("ed_nopeaks", &TfmPeakSettings::ed_nopeaks);
    props.Field("ed_minpeakdistance", &TfmPeakSettings::ed_minpeakdistance);
    props.Field("cb_highestpeaks", &TfmPeakSettings::cb_highestpeaks);
}

// The decimal defaults are set here, not in the layout, so they show in the user's locale.

void TfmPeakSettings::DoCreate() {
    ed_threshold->SetFloatValue(2000);
    ed_minpeak->SetFloatValue(1000);
    ed_minpeakdistance->SetFloatValue(0);
    TfmParamDialog::DoCreate();
}
