// Anti-aliased output of menu captions.
#pragma once

#include <string>

#include "platform/gfx/Canvas.h"
#include "ui/drawing/KvxGDIP.h"

namespace ui {

// Draws one line in the canvas font and colour, laid out in Rect without wrapping and with the '&'
// underline shown. Align is DT_LEFT, DT_CENTER or DT_RIGHT; VCenter centres the line vertically.
void DrawAntiAliasedText(plat::TCanvas* Canvas, const std::string& Text, const plat::TRect& Rect,
                         uint32_t Align, bool VCenter, TAntiAlias Quality);

} // namespace ui
