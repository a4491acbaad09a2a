// The panel background's picture: the encoded bytes of an image file kept exactly as loaded (so a form
// stores and reloads them unchanged), decoded once into a graphic that draws stretched to a rectangle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Graphic.h"

namespace ui {

class TKvxImage : public plat::TGraphic {
    PLAT_CLASS(TKvxImage)
public:
    TKvxImage();
    ~TKvxImage() override;

    // Null clears the bytes; a loaded TKvxImage is copied; anything else (also an empty TKvxImage) leaves
    // this picture empty and without bytes, so a cleared background stays cleared through a form.
    void Assign(plat::TPersistent* Source) override;
    void Draw(plat::TCanvas& Canvas, const plat::TRect& Rect) override;
    bool Empty() const override { return FEmpty; }
    // The decoded picture's size in pixels; 0 without one.
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    // Raises plat::Exception "Could not load image. Invalid format" when the bytes do not decode; the
    // bytes are kept then, but nothing is drawn.
    void LoadFromStream(plat::TStream& Stream) override;
    // Never raises: a file that cannot be read or decoded leaves the picture empty.
    void LoadFromFile(const std::string& FileName) override;
    void SaveToStream(plat::TStream& Stream) override;
    std::unique_ptr<plat::TGraphic> CreateEmpty() const override { return std::make_unique<TKvxImage>(); }

    // Form streaming of the bytes ("Data"); reading fires no change.
    void ReadData(plat::TStream& Stream);
    void WriteData(plat::TStream& Stream);
    void DefineProperties(plat::TFiler& Filer) override;

    const std::vector<uint8_t>& Data() const { return FData; }

private:
    void TakeStream(plat::TStream& Stream);
    void Decode();

    std::vector<uint8_t> FData;
    bool FEmpty = true;
    std::unique_ptr<plat::TGraphic> FPicture;
};

} // namespace ui
