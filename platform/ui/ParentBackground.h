// Controls that show their parent behind them (transparent labels and check boxes, panels over a
// gradient): the parent paints the area under the control into the control's device context.
#pragma once

#include "platform/gfx/DeviceContext.h"
#include "platform/ui/Messages.h"

namespace plat {

class TControl;

// Paints what the control's parent shows under `Rect` (the control's client coordinates; null: the whole
// client area) into DC, whose origin is the control's client origin: the parent erases its background
// and paints itself (with its graphic children, for a windowed control). Nothing outside Rect and the
// control's client area is touched, and DC comes back in the state it was in.
void DrawParentBackground(TControl* Control, HDC DC, const TRect* Rect = nullptr);

} // namespace plat
