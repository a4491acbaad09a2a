// The frame: a reusable group of controls placed on a form as one windowed container. Unlike a panel, a
// frame owns the components put on it, so code that walks a form's components sees the frame and walks
// the frame's own components separately.
#pragma once

#include "platform/ui/ScrollingWinControl.h"

namespace plat {

class TCustomFrame : public TScrollingWinControl {
    PLAT_CLASS(TCustomFrame)
public:
    explicit TCustomFrame(TComponent* AOwner);
};

class TFrame : public TCustomFrame {
    PLAT_CLASS(TFrame)
public:
    using TCustomFrame::TCustomFrame;
};

} // namespace plat
