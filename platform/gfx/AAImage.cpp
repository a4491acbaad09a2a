// Images of the anti-aliased graphics layer: encoded pictures decoded through the platform's picture
// codecs (metafiles through their registered picture class), and bitmaps taken from memory.
#include <algorithm>
#include <cairo.h>
#include <cstring>

#include "platform/gfx/AAInternal.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Graphic.h"
#include "platform/gfx/PictureFormats.h"
#include "platform/gfx/PixelImage.h"
#include "platform/rtl/Stream.h"

namespace plat {

namespace {

// Encoded pictures larger than this are refused rather than read into memory.
constexpr int64_t kMaxEncodedBytes = int64_t(1) << 30;

bool Starts(const uint8_t* d, size_t n, std::initializer_list<uint8_t> sig, size_t at = 0) {
    if (n < at + sig.size())
        return false;
    return std::equal(sig.begin(), sig.end(), d + at);
}

int Sniff(const uint8_t* d, size_t n) {
    if (Starts(d, n, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}))
        return aarfPNG;
    if (Starts(d, n, {0xFF, 0xD8, 0xFF}))
        return aarfJPEG;
    if (Starts(d, n, {'G', 'I', 'F', '8'}))
        return aarfGIF;
    if (Starts(d, n, {'B', 'M'}))
        return aarfBMP;
    if (Starts(d, n, {0, 0, 1, 0}))
        return aarfIcon;
    if (Starts(d, n, {1, 0, 0, 0}) && Starts(d, n, {' ', 'E', 'M', 'F'}, 40))
        return aarfEMF;
    if (Starts(d, n, {0xD7, 0xCD, 0xC6, 0x9A}) || Starts(d, n, {1, 0, 9, 0}) || Starts(d, n, {2, 0, 9, 0}))
        return aarfWMF;
    if (Starts(d, n, {'I', 'I', '*', 0}) || Starts(d, n, {'M', 'M', 0, '*'}))
        return aarfTIFF;
    return aarfUndefined;
}

// A picture class's drawing, with its transparency: drawn once on black and once on white, a pixel's
// alpha is what the backgrounds leave of their difference.
TPixelImage RenderGraphic(TGraphic& graphic) {
    int w = graphic.Width(), h = graphic.Height();
    if (w <= 0 || h <= 0 || int64_t(w) * h > TImageSurface::MaxPixels)
        throw EInvalidGraphic("Invalid picture size");
    TBitmap black(w, h, pf32bit), white(w, h, pf32bit);
    white.Canvas()->Brush()->SetColor(clWhite);
    white.Canvas()->FillRect(TRect(0, 0, w, h));
    graphic.Draw(*black.Canvas(), TRect(0, 0, w, h));
    graphic.Draw(*white.Canvas(), TRect(0, 0, w, h));
    TImageSurface& b = black.Surface();
    TImageSurface& wt = white.Surface();
    TPixelImage out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t pb = b.Row(y)[x], pw = wt.Row(y)[x];
            int diff = 0;
            for (int s = 0; s < 24; s += 8)
                diff += int((pw >> s) & 0xFF) - int((pb >> s) & 0xFF);
            int a = std::clamp(255 - (diff + 1) / 3, 0, 255);
            uint32_t px = uint32_t(a) << 24;
            if (a > 0)
                for (int s = 0; s < 24; s += 8)
                    px |= uint32_t(std::min(255, (int((pb >> s) & 0xFF) * 255 + a / 2) / a)) << s;
            out.Row(y)[x] = px;
        }
    return out;
}

} // namespace

TAAImage::TAAImage(TStream& stream) {
    TAAStatus st = Guarded([&] {
        int64_t size = stream.Size();
        if (size <= 0)
            return TAAStatus::UnknownImageFormat;
        if (size > kMaxEncodedBytes)
            return TAAStatus::OutOfMemory;
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        stream.Seek(0, soBeginning);
        stream.ReadBuffer(bytes.data(), size);
        Decode(bytes.data(), bytes.size());
        return LastStatus();
    });
    if (st != TAAStatus::Ok) {
        FPixels.clear();
        FWidth = FHeight = 0;
        FFormat = aarfUndefined;
    }
    Created(st);
}

TAAImage::TAAImage(const uint8_t* data, size_t size) {
    if (!data || size == 0) {
        Created(TAAStatus::InvalidParameter);
        return;
    }
    Decode(data, size);
}

TAAImage::TAAImage(TBitmap& bitmap) {
    TAAStatus st = Guarded([&] {
        TPixelImage img = PixelImageFromBitmap(bitmap);
        FWidth = img.Width;
        FHeight = img.Height;
        FPixels = std::move(img.Pixels);
        FFormat = aarfMemoryBMP;
        return FWidth > 0 && FHeight > 0 ? TAAStatus::Ok : TAAStatus::InvalidParameter;
    });
    Created(st);
}

TAAImage::~TAAImage() {
    if (FSurface)
        cairo_surface_destroy(FSurface);
}

void TAAImage::Decode(const uint8_t* data, size_t size) {
    int format = Sniff(data, size);
    TAAStatus st = Guarded([&] {
        TPixelImage img;
        try {
            switch (format) {
            case aarfUndefined:
            case aarfTIFF:
                return TAAStatus::UnknownImageFormat;
            case aarfEMF:
            case aarfWMF: {
                auto graphic = TPicture::CreateForExtension(format == aarfEMF ? "emf" : "wmf");
                if (!graphic)
                    return TAAStatus::UnknownImageFormat;
                TMemoryStream ms;
                ms.WriteBuffer(data, static_cast<int64_t>(size));
                ms.SetPosition(0);
                graphic->LoadFromStream(ms);
                img = RenderGraphic(*graphic);
                break;
            }
            default:
                img = DecodeImageBytes(data, size);
                break;
            }
        } catch (const EInvalidGraphic&) {
            return TAAStatus::InvalidParameter;
        }
        if (img.Empty())
            return TAAStatus::InvalidParameter;
        FWidth = img.Width;
        FHeight = img.Height;
        FPixels = std::move(img.Pixels);
        FFormat = format;
        return TAAStatus::Ok;
    });
    if (st != TAAStatus::Ok) {
        FPixels.clear();
        FWidth = FHeight = 0;
        FFormat = aarfUndefined;
    }
    Created(st);
}

TARGB TAAImage::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight)
        return 0;
    return FPixels[size_t(y) * FWidth + x];
}

} // namespace plat
