#include "platform/gfx/PictureFormats.h"

#include <cstring>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/GifImage.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/JpegImage.h"
#include "platform/gfx/PngImage.h"

namespace plat {

TImageFileFormat SniffImageFormat(const uint8_t* data, size_t size) {
    if (!data)
        return iffUnknown;
    if (IsPngSignature(data, size))
        return iffPng;
    if (IsJpegSignature(data, size))
        return iffJpeg;
    if (IsGifSignature(data, size))
        return iffGif;
    if (IsIcoSignature(data, size))
        return iffIcon;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return iffBmp;
    return iffUnknown;
}

std::unique_ptr<TGraphic> LoadGraphicFromBytes(const uint8_t* data, size_t size) {
    std::unique_ptr<TGraphic> graphic;
    switch (SniffImageFormat(data, size)) {
    case iffBmp:
        graphic = std::make_unique<TBitmap>();
        break;
    case iffPng:
        graphic = std::make_unique<TPngImage>();
        break;
    case iffJpeg:
        graphic = std::make_unique<TJPEGImage>();
        break;
    case iffGif:
        graphic = std::make_unique<TGIFImage>();
        break;
    case iffIcon:
        graphic = std::make_unique<TIcon>();
        break;
    default:
        throw EInvalidGraphic("Unknown picture format");
    }
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    graphic->LoadFromStream(stream);
    return graphic;
}

TPixelImage DecodeImageBytes(const uint8_t* data, size_t size) {
    switch (SniffImageFormat(data, size)) {
    case iffPng:
        return ReadPng(data, size);
    case iffJpeg:
        return ReadJpeg(data, size);
    case iffGif:
        return std::move(ReadGif(data, size).Frames.front());
    case iffIcon: {
        TIcon icon;
        TMemoryStream stream;
        stream.WriteBuffer(data, static_cast<int64_t>(size));
        stream.SetPosition(0);
        icon.LoadFromStream(stream);
        return icon.Entry(icon.BestEntry(32, 32)).Image;
    }
    case iffBmp: {
        TDib dib = ReadBmp(data, size);
        TPixelImage image(dib.Width, dib.Height);
        for (int y = 0; y < dib.Height; ++y)
            for (int x = 0; x < dib.Width; ++x)
                image.Row(y)[x] = 0xFF000000u | dib.GetPixel(x, y);
        return image;
    }
    default:
        throw EInvalidGraphic("Unknown picture format");
    }
}

void RegisterPictureFormats() {
    static const bool done = [] {
        TPicture::RegisterFileFormat("png", "Portable Network Graphics",
                                     [] { return std::unique_ptr<TGraphic>(new TPngImage()); });
        TPicture::RegisterFileFormat("jpg", "JPEG Image File",
                                     [] { return std::unique_ptr<TGraphic>(new TJPEGImage()); });
        TPicture::RegisterFileFormat("jpeg", "JPEG Image File",
                                     [] { return std::unique_ptr<TGraphic>(new TJPEGImage()); });
        TPicture::RegisterFileFormat("gif", "GIF Image",
                                     [] { return std::unique_ptr<TGraphic>(new TGIFImage()); });
        TPicture::RegisterFileFormat("ico", "Icons", [] { return std::unique_ptr<TGraphic>(new TIcon()); });
        return true;
    }();
    (void)done;
}


} // namespace plat
