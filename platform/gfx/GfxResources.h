// Pictures from the resources compiled into the program: bitmaps (BMP or PNG bytes) and icons.
// Cursors come from FindResource(name, RT_CURSOR) and DecodeCursor (CursorImage.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

class TBitmap;
class TIcon;

// The bitmap resource's picture replaces the bitmap's content: a BMP keeps its pixel format, a PNG becomes
// a 32-bit bitmap with premultiplied alpha (24-bit when opaque). Raises EResNotFound when there is no
// such resource and EInvalidGraphic when its bytes are not a valid BMP or PNG picture.
void LoadBitmapResource(TBitmap& bitmap, const std::string& name);
void LoadBitmapResource(TBitmap& bitmap, int id);

// BMP or PNG bytes into a bitmap, as above.
void LoadBitmapFromBytes(TBitmap& bitmap, const uint8_t* data, size_t size);

// Raises EResNotFound or EInvalidGraphic likewise.
void LoadIconResource(TIcon& icon, const std::string& name);
void LoadIconResource(TIcon& icon, int id);

} // namespace plat
