#include "analysis/UnitMemo.h"

#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Memo.h"

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TfmMemo, TfmParamDialog)

PLAT_PROPERTIES(TfmMemo) {
    props.Field("Memo", &TfmMemo::Memo);
    props.Method("FormShow", &TfmMemo::FormShow);
}

void TfmMemo::FormShow(TObject*) {
    Memo->Clear();
    if (Memo->CanFocus())
        Memo->SetFocus();
    else
        SetActiveControl(Memo);
}
