// Decoded pictures as plain 32-bit pixels with straight (not premultiplied) alpha: what the PNG, JPEG,
// GIF and icon decoders produce, and how those pictures reach a canvas or a bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/rtl/Types.h"

namespace plat {

class TCanvas;
class TBitmap;
class TStream;

// Pixels are 0xAARRGGBB words, rows packed top-down.
struct TPixelImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;

    TPixelImage() = default;
    // Fully transparent black; raises EOutOfResources beyond what a surface may hold.
    TPixelImage(int width, int height);
    bool Empty() const { return Width <= 0 || Height <= 0; }
    uint32_t* Row(int y) { return Pixels.data() + static_cast<size_t>(y) * Width; }
    const uint32_t* Row(int y) const { return Pixels.data() + static_cast<size_t>(y) * Width; }
    uint32_t At(int x, int y) const { return Row(y)[x]; }
    // True when some pixel is not fully opaque.
    bool HasAlpha() const;
};

// Draws the image stretched into rect: blended by its alpha when blend is set, else its colours are
// copied with the canvas's copy mode.
void DrawPixelImage(TCanvas& canvas, const TRect& rect, const TPixelImage& image, bool blend);

// A 32-bit bitmap of the image with premultiplied colours and the alpha in the fourth byte, ready for
// per-pixel alpha blending; a 24-bit bitmap when the image is opaque.
void PixelImageToBitmap(const TPixelImage& image, TBitmap& bitmap);

// The bitmap's pixels, opaque.
TPixelImage PixelImageFromBitmap(TBitmap& bitmap);

// The rest of the stream, for decoders that work on memory. An empty rest or one larger than any picture
// we accept raises EInvalidGraphic "<kind> image is not valid: ...".
std::vector<uint8_t> ReadGraphicBytes(TStream& stream, const char* kind);

} // namespace plat
