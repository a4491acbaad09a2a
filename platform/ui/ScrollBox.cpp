#include "platform/ui/ScrollBox.h"

#include "platform/rtl/PropertyInfo.h"

namespace plat {

namespace {} // namespace

PLAT_CLASS_INFO_CREATABLE(TScrollBox, TScrollingWinControl)

PLAT_PROPERTIES(TScrollBox) {
    props.Enum("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle, kBorderStyleNames,
               bsSingle);
    props.Default("Color", clBtnFace);
}

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FControlStyle |= csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

} // namespace plat
