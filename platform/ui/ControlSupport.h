// Small pieces of behaviour that several control implementations share: lending a device context to a
// canvas for one paint, and turning a mouse-wheel turn into lines to scroll.
#pragma once

#include "platform/gfx/Canvas.h"

namespace plat {

// Locks Canvas and lets it draw on DC while the scope lasts; at the end (also when painting throws) the
// canvas lets go of DC and is unlocked again.
class TCanvasPaintScope {
public:
    TCanvasPaintScope(TCanvas& Canvas, HDC DC);
    ~TCanvasPaintScope();
    TCanvasPaintScope(const TCanvasPaintScope&) = delete;
    TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;

private:
    TCanvas& FCanvas;
};

// Lines a list view scrolls for a wheel turn of WheelDelta (positive: away from the user, up): three a
// notch, and a partial notch counts as a whole one so that fine-grained wheels still move the view.
// Zero for no turn.
int WheelScrollLines(int WheelDelta);

} // namespace plat
