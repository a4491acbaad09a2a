// Classic-look decorations drawn with a device context: 3D edges, the dotted focus rectangle, and
// frame controls (13 by 13 check boxes and radio buttons, push buttons, scroll arrows, caption buttons).
#pragma once

#include "platform/gfx/DeviceContext.h"

namespace plat {

// Draws the edge rings named by edge (BDR_*/EDGE_*) on the sides named by flags (BF_*); with BF_ADJUST
// the rectangle comes back shrunk to the area inside the edge.
bool DrawEdge(TDeviceContext& dc, TRect& rect, uint32_t edge, uint32_t flags);

// Inverts every other pixel of the rectangle's one-pixel frame; drawing it twice restores the pixels.
bool DrawFocusRect(TDeviceContext& dc, const TRect& rect);

// type DFC_*, state DFCS_* (part and state bits).
bool DrawFrameControl(TDeviceContext& dc, TRect& rect, uint32_t type, uint32_t state);

} // namespace plat
