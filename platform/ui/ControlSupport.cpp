#include "platform/ui/ControlSupport.h"

#include "platform/ui/Control.h"
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

TMeasuringCanvas::TMeasuringCanvas(TCanvas& OwnCanvas, const TWinControl* Window) : FCanvas(&OwnCanvas) {
    if (Window && Window->HandleAllocated())
        return;
    FScratch = std::make_unique<TBitmap>();
    FScratch->SetSize(1, 1);
    FCanvas = FScratch->Canvas();
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
