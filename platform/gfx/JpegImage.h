// JPEG pictures: TJPEGImage keeps the decoded pixels and the encoded bytes, so a picture that is loaded
// and saved unchanged is written back byte for byte; ReadJpeg and WriteJpeg are the codec (libjpeg-turbo).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gfx/Graphic.h"
#include "platform/gfx/PixelImage.h"

namespace plat {

class TJPEGImage : public TGraphic {
    PLAT_CLASS(TJPEGImage)
public:
    TJPEGImage() = default;

    int Width() const override { return FImage.Width; }
    int Height() const override { return FImage.Height; }
    // The size comes from the picture only.
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return FImage.Empty(); }
    void Draw(TCanvas& canvas, const TRect& rect) override;

    // Raises EInvalidGraphic for anything that is not a complete, valid JPEG file.
    void LoadFromStream(TStream& stream) override;
    // The loaded bytes while neither the pixels nor the quality changed; otherwise the pixels compressed
    // with CompressionQuality. An empty picture raises EInvalidGraphicOperation.
    void SaveToStream(TStream& stream) override;
    std::unique_ptr<TGraphic> CreateEmpty() const override { return std::make_unique<TJPEGImage>(); }
    // From another JPEG picture, or from a bitmap.
    void Assign(TPersistent* source) override;

    // 1 (smallest file) to 100 (best picture); 90 at first.
    int CompressionQuality() const { return FCompressionQuality; }
    void SetCompressionQuality(int value);

    const TPixelImage& Image() const { return FImage; }

protected:
    // To a 24-bit bitmap.
    void AssignTo(TPersistent* dest) override;

private:
    TPixelImage FImage;
    std::vector<uint8_t> FData; // encoded form of FImage, empty until known
    int FCompressionQuality = 90;
};

// Baseline and progressive; greyscale, YCbCr, RGB, CMYK and YCCK. Raises EInvalidGraphic for truncated,
// corrupt or oversized data and never reads outside the buffer. The pixels come out opaque.
TPixelImage ReadJpeg(const uint8_t* data, size_t size);
// Colour JPEG of the image's colours (alpha is ignored); quality 1 to 100.
std::vector<uint8_t> WriteJpeg(const TPixelImage& image, int quality);
bool IsJpegSignature(const uint8_t* data, size_t size);

} // namespace plat
