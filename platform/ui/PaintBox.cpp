#include "platform/ui/PaintBox.h"

#include "platform/rtl/PropertyInfo.h"

namespace plat {

PLAT_CLASS_INFO_CREATABLE(TPaintBox, TGraphicControl)

PLAT_PROPERTIES(TPaintBox) {
    props.Event("OnPaint", &TPaintBox::OnPaint);
}

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle |= csReplicatable;
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
    TCanvas& c = *Canvas();
    c.Font()->Assign(Font());
    c.Brush()->SetColor(Color());
    if (OnPaint)
        OnPaint(this);
}

} // namespace plat
