// Pictures known by their bytes: what format a buffer holds, the graphic that loads it, and the
// registration of the picture file extensions (png, jpg, jpeg, gif, ico) with TPicture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/Graphic.h"
#include "platform/gfx/PixelImage.h"

namespace plat {

enum TImageFileFormat { iffUnknown, iffBmp, iffPng, iffJpeg, iffGif, iffIcon };

// Judged by the first bytes only.
TImageFileFormat SniffImageFormat(const uint8_t* data, size_t size);

// A new graphic of the format the bytes hold, loaded from them: TBitmap, TPngImage, TJPEGImage,
// TGIFImage or TIcon. Raises EInvalidGraphic for an unknown format or invalid data.
std::unique_ptr<TGraphic> LoadGraphicFromBytes(const uint8_t* data, size_t size);
inline std::unique_ptr<TGraphic> LoadGraphicFromBytes(const std::vector<uint8_t>& bytes) {
    return LoadGraphicFromBytes(bytes.data(), bytes.size());
}

// The pixels of the picture the bytes hold, for drawing layers of their own: the first frame of a GIF,
// the 32 x 32 entry (or the closest) of an icon; a BMP comes out opaque. Raises as LoadGraphicFromBytes.
TPixelImage DecodeImageBytes(const uint8_t* data, size_t size);

// Registers the extensions with TPicture. TPicture calls it before its first lookup; calling it again
// does nothing.
void RegisterPictureFormats();

} // namespace plat
