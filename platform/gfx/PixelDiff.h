#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/Types.h"

namespace plat {

// Brings Mirror up to Source within Area (both in the same pixel coordinates) and returns the blocks
// that differed, joined along rows and down bands. A picture that changes in a few places from one frame
// to the next (a live curve over a still chart) then goes to the display as those few blocks.
std::vector<TRect> CopyChangedBlocks(const uint32_t* Source, int SourceStride, uint32_t* Mirror,
                                     int MirrorStride, const TRect& Area);

} // namespace plat
