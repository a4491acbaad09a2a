#include "platform/ui/ControlSupport.h"

#include "platform/ui/Messages.h"

namespace plat {

TCanvasPaintScope::TCanvasPaintScope(TCanvas& Canvas, HDC DC) : FCanvas(Canvas) {
    FCanvas.Lock();
    FCanvas.SetHandle(DC);
}

TCanvasPaintScope::~TCanvasPaintScope() {
    FCanvas.SetHandle(nullptr);
    FCanvas.Unlock();
}

int WheelScrollLines(int WheelDelta) {
    if (WheelDelta == 0)
        return 0;
    int notches = WheelDelta / WHEEL_DELTA;
    if (notches == 0)
        notches = WheelDelta > 0 ? 1 : -1;
    return notches * 3;
}

} // namespace plat
