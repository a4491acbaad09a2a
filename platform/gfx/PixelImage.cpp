#include "platform/gfx/PixelImage.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

namespace plat {

TPixelImage::TPixelImage(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (int64_t(width) * height > TImageSurface::MaxPixels)
        throw EOutOfResources("Out of system resources");
    Width = width;
    Height = height;
    Pixels.assign(static_cast<size_t>(width) * height, 0);
}

bool TPixelImage::HasAlpha() const {
    return std::any_of(Pixels.begin(), Pixels.end(), [](uint32_t p) { return p < 0xFF000000u; });
}

namespace {

uint32_t Premultiply(uint32_t p) {
    uint32_t a = p >> 24;
    if (a == 255)
        return p;
    if (a == 0)
        return 0;
    auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | mul((p >> 16) & 0xFF) << 16 | mul((p >> 8) & 0xFF) << 8 | mul(p & 0xFF);
}

} // namespace

void DrawPixelImage(TCanvas& canvas, const TRect& rect, const TPixelImage& image, bool blend) {
    if (image.Empty() || rect.Width() == 0 || rect.Height() == 0)
        return;
    TImageSurface surface(image.Width, image.Height);
    for (int y = 0; y < image.Height; ++y) {
        const uint32_t* src = image.Row(y);
        uint32_t* dst = surface.Row(y);
        if (blend)
            std::transform(src, src + image.Width, dst, Premultiply);
        else
            std::transform(src, src + image.Width, dst, [](uint32_t p) { return p | 0xFF000000u; });
    }
    TDeviceContext source(&surface);
    TDeviceContext* dc = canvas.Handle();
    if (blend) {
        TBlendFunction fn;
        fn.SourceConstantAlpha = 255;
        fn.AlphaFormat = AC_SRC_ALPHA;
        dc->AlphaBlend(rect.Left, rect.Top, rect.Width(), rect.Height(), &source, 0, 0, image.Width,
                       image.Height, fn);
    } else {
        dc->StretchBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), &source, 0, 0, image.Width,
                       image.Height, canvas.CopyMode());
    }
}

void PixelImageToBitmap(const TPixelImage& image, TBitmap& bitmap) {
    bool alpha = image.HasAlpha();
    TBitmap fresh(image.Width, image.Height, alpha ? pf32bit : pf24bit);
    for (int y = 0; y < image.Height; ++y) {
        const uint32_t* src = image.Row(y);
        uint8_t* dst = fresh.ScanLine(y);
        for (int x = 0; x < image.Width; ++x) {
            uint32_t p = alpha ? Premultiply(src[x]) : src[x];
            uint8_t* d = dst + x * (alpha ? 4 : 3);
            d[0] = uint8_t(p);
            d[1] = uint8_t(p >> 8);
            d[2] = uint8_t(p >> 16);
            if (alpha)
                d[3] = uint8_t(p >> 24);
        }
    }
    bitmap.Assign(&fresh);
}

TPixelImage PixelImageFromBitmap(TBitmap& bitmap) {
    TImageSurface& surface = bitmap.Surface();
    TPixelImage image(surface.Width(), surface.Height());
    for (int y = 0; y < image.Height; ++y) {
        const uint32_t* src = surface.Row(y);
        std::transform(src, src + image.Width, image.Row(y), [](uint32_t p) { return p | 0xFF000000u; });
    }
    return image;
}

std::vector<uint8_t> ReadGraphicBytes(TStream& stream, const char* kind) {
    int64_t size = stream.Size() - stream.Position();
    if (size <= 0)
        throw EInvalidGraphic(std::string(kind) + " image is not valid: the stream is empty");
    // Compressed data larger than this would only serve a picture larger than we ever allocate.
    constexpr int64_t kMaxFile = int64_t(1) << 30;
    if (size > kMaxFile)
        throw EInvalidGraphic(std::string(kind) + " image is not valid: the picture is too large");
    std::vector<uint8_t> data(static_cast<size_t>(size));
    stream.ReadBuffer(data.data(), size);
    return data;
}

} // namespace plat
