// Formatted text: lines broken at line feeds and, on request, between words; alignment; vertical
// centring of a single line; end, path and word ellipsis; tab expansion; '&' hot-key prefixes drawn
// underlined; and measuring (the calculate-rectangle mode) without drawing.
#pragma once

#include <string>
#include <string_view>

#include "platform/gfx/DeviceContext.h"

namespace plat {

// Draws (or with DT_CALCRECT measures) text in rect with DT_* flags, in the context's font, text colour
// and background mode. Returns the height of the text; with DT_VCENTER or DT_BOTTOM, the offset from the
// rectangle's top to the bottom of the drawn text. DT_CALCRECT sets rect's right and bottom to enclose
// the text and draws nothing.
int DrawText(TDeviceContext& dc, std::string_view text, TRect& rect, uint32_t format);

// The text as it is shown after '&' prefixes are taken out ("&&" stays one '&'), and the byte offset of
// the hot-key character in it, or -1.
std::string StripPrefix(std::string_view text, int& hotKeyOffset);

} // namespace plat
