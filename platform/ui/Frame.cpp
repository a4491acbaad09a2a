#include "platform/ui/Frame.h"

namespace plat {

PLAT_CLASS_INFO(TCustomFrame, TScrollingWinControl)
PLAT_CLASS_INFO_CREATABLE(TFrame, TCustomFrame)

TCustomFrame::TCustomFrame(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FControlStyle |= csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    SetBounds(0, 0, 320, 240);
}

} // namespace plat
