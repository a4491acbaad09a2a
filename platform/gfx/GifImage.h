// GIF pictures with all their frames: every frame is composited the way a viewer shows it (placement,
// transparency and the previous frame's disposal applied), so Frame(i) is the whole picture at step i.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gfx/Graphic.h"
#include "platform/gfx/PixelImage.h"

namespace plat {

struct TGifFrames {
    int Width = 0; // logical screen
    int Height = 0;
    std::vector<TPixelImage> Frames;
    std::vector<int> Delays; // milliseconds
};

// Reads every frame; raises EInvalidGraphic for truncated, corrupt or oversized data and never reads
// outside the buffer.
TGifFrames ReadGif(const uint8_t* data, size_t size);
bool IsGifSignature(const uint8_t* data, size_t size);

class TGIFImage : public TGraphic {
    PLAT_CLASS(TGIFImage)
public:
    TGIFImage() = default;

    int Width() const override { return FGif.Width; }
    int Height() const override { return FGif.Height; }
    // The size comes from the picture only.
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return FGif.Frames.empty(); }
    // Draws the first frame, blended by its transparency while Transparent.
    void Draw(TCanvas& canvas, const TRect& rect) override;

    // Raises EInvalidGraphic for anything that is not a complete, valid GIF file.
    void LoadFromStream(TStream& stream) override;
    // Writes the loaded bytes unchanged; an empty picture raises EInvalidGraphicOperation.
    void SaveToStream(TStream& stream) override;
    std::unique_ptr<TGraphic> CreateEmpty() const override { return std::make_unique<TGIFImage>(); }
    void Assign(TPersistent* source) override;

    int FrameCount() const { return static_cast<int>(FGif.Frames.size()); }
    // The composited picture at frame index (0-based); an index out of range raises
    // EInvalidGraphicOperation.
    const TPixelImage& Frame(int index) const;
    // How long the frame stays, in milliseconds (the file counts hundredths of a second).
    int Delay(int index) const;

protected:
    // To a bitmap of the first frame.
    void AssignTo(TPersistent* dest) override;

private:
    void CheckIndex(int index) const;
    TGifFrames FGif;
    std::vector<uint8_t> FData;
};

} // namespace plat
