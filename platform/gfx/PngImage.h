// PNG pictures: TPngImage keeps the decoded pixels with their alpha and draws them blended; ReadPng and
// WritePng are the codec itself (libpng), also used for the PNG entries of icons.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gfx/Graphic.h"
#include "platform/gfx/PixelImage.h"

namespace plat {

class TPngImage : public TGraphic {
    PLAT_CLASS(TPngImage)
public:
    TPngImage() = default;

    int Width() const override { return FImage.Width; }
    int Height() const override { return FImage.Height; }
    // The size comes from the picture only.
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return FImage.Empty(); }
    // Blended by the alpha channel while Transparent (set on loading when the picture has one).
    void Draw(TCanvas& canvas, const TRect& rect) override;

    // Raises EInvalidGraphic for anything that is not a complete, valid PNG file.
    void LoadFromStream(TStream& stream) override;
    // 32-bit RGBA when some pixel is not opaque, else 24-bit RGB. An empty picture raises
    // EInvalidGraphicOperation.
    void SaveToStream(TStream& stream) override;
    std::unique_ptr<TGraphic> CreateEmpty() const override { return std::make_unique<TPngImage>(); }
    // From another PNG picture, or from a bitmap (opaque).
    void Assign(TPersistent* source) override;

    const TPixelImage& Image() const { return FImage; }
    void SetImage(TPixelImage image);

protected:
    // To a bitmap: 32-bit with premultiplied alpha when the picture has alpha, else 24-bit.
    void AssignTo(TPersistent* dest) override;

private:
    TPixelImage FImage;
};

// Every colour type and depth, palette transparency and interlacing; 16-bit samples are scaled to 8.
// Raises EInvalidGraphic for truncated, corrupt or oversized data and never reads outside the buffer.
TPixelImage ReadPng(const uint8_t* data, size_t size);
// RGBA when the image has alpha, else RGB.
std::vector<uint8_t> WritePng(const TPixelImage& image);
bool IsPngSignature(const uint8_t* data, size_t size);

} // namespace plat
