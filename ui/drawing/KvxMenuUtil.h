// Small helpers of the owner-drawn menus: the rotated font of the side bar caption, rectangle and colour
// arithmetic, and the error of the indexed colour accessors.
#pragma once

#include <cstdint>

#include "platform/gfx/GdiObjects.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Types.h"

namespace plat {
class TFont;
} // namespace plat

namespace ui {

using plat::Exception;
PLAT_EXCEPTION(EInvalidPropertyIndex, Exception);

// Raises EInvalidPropertyIndex "Invalid property index N.".
[[noreturn]] void RaiseInvalidPropertyIndex(int Index);

// A font like Font, its text running at Angle degrees (counter-clockwise). The caller selects it and
// deletes it.
plat::HFONT CreateRotatedFont(plat::TFont* Font, int Angle);

// A W x H box centred in R; odd leftovers go to the left and top.
plat::TRect CenterBox(const plat::TRect& R, int W, int H);

struct TRGB {
    int R = 0, G = 0, B = 0;
};
// The channels of a colour, system colours resolved.
TRGB SplitColor(plat::TColor Color);

} // namespace ui
