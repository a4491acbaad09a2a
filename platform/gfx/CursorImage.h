// Cursor files (.cur): the icon container, where each picture carries the point that hits instead of
// colour planes and depth. The windowing layer turns a decoded picture into a cursor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gfx/PixelImage.h"
#include "platform/rtl/Types.h"

namespace plat {

struct TCursorPicture {
    TPixelImage Image; // straight alpha; masked-out pixels are fully transparent
    TPoint HotSpot;    // inside the picture
};

bool IsCurSignature(const uint8_t* data, size_t size);

// Every picture of the file, in file order. Raises EInvalidGraphic "Cursor image is not valid: ..." for
// truncated, inconsistent or oversized data and for a hot spot outside its picture; never reads outside
// the buffer.
std::vector<TCursorPicture> ReadCur(const uint8_t* data, size_t size);

// The picture to show at size x size: the smallest at least that large, else the largest; of equal sizes
// the deepest. Raises as ReadCur.
TCursorPicture DecodeCursor(const uint8_t* data, size_t size, int preferredSize = 32);

// Each picture as a 32-bit entry with its transparency mask. Raises EInvalidGraphicOperation for an
// empty list, an empty picture or a hot spot outside its picture.
std::vector<uint8_t> WriteCur(const std::vector<TCursorPicture>& pictures);

} // namespace plat
