// Small pieces of behaviour that several control implementations share: lending a device context to a
// canvas for one paint, measuring text before there is a window, and turning a mouse-wheel turn into
// lines to scroll.
#pragma once

#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

namespace plat {

class TWinControl;

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

// The canvas a control measures text on: its own once Window (the control or its parent) has a window,
// a scratch bitmap's before. Asking a canvas for its context makes the window, and while a layout is read
// that would make every form's window at start, shown or not; the scratch bitmap measures the same way.
class TMeasuringCanvas {
public:
    TMeasuringCanvas(TCanvas& OwnCanvas, const TWinControl* Window);
    TCanvas& operator*() const { return *FCanvas; }
    TCanvas* operator->() const { return FCanvas; }

private:
    std::unique_ptr<TBitmap> FScratch;
    TCanvas* FCanvas;
};

// Lines a list view scrolls for a wheel turn of WheelDelta (positive: away from the user, up): three a
// notch, and a partial notch counts as a whole one so that fine-grained wheels still move the view.
// Zero for no turn.
int WheelScrollLines(int WheelDelta);

} // namespace plat
