// The component set's picture: the encoded bytes of an image file kept exactly as loaded, decoded each
// time they are drawn or measured. Forms store the bytes as the binary property "Data".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Graphic.h"
#include "platform/rtl/Exception.h"

namespace ui {

class TGPImage;

class TGDIPPicture : public plat::TGraphic {
    PLAT_CLASS(TGDIPPicture)
public:
    TGDIPPicture();

    // Null clears the picture (OnChange, then OnClear). Another picture's bytes are copied; any other
    // graphic, or the graphic of a TPicture, is stored in its own file format. Other sources leave the
    // picture empty.
    void Assign(plat::TPersistent* Source) override;

    // A BMP file is drawn at its own size at Rect's corner, its bottom-left colour transparent; any
    // other picture is stretched to Rect.
    void Draw(plat::TCanvas& Canvas, const plat::TRect& Rect) override;
    // Decodes the bytes and caches the size; false (size unchanged) when there is nothing to decode.
    bool MeasureImage();

    bool Empty() const override { return FEmpty; }
    // The size found by the last measurement or drawing; 0 for a picture read from a form until then.
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // The size comes from the image only.
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    // Never raises: a file that cannot be read leaves the picture empty.
    void LoadFromFile(const std::string& FileName) override;
    // The stream's whole content, from its start.
    void LoadFromStream(plat::TStream& Stream) override;
    void SaveToStream(plat::TStream& Stream) override;
    // The bytes of the compiled-in RCDATA resource of that name; a missing resource changes nothing.
    void LoadFromRCData(const std::string& ResName);

    // Form streaming: the bytes as they are, without measuring or events.
    void ReadData(plat::TStream& Stream);
    void WriteData(plat::TStream& Stream);
    void DefineProperties(plat::TFiler& Filer) override;

    std::unique_ptr<plat::TGraphic> CreateEmpty() const override { return std::make_unique<TGDIPPicture>(); }

    const std::vector<uint8_t>& Data() const { return FData; }
    // The decoded bytes, for painters that draw the image themselves. Raises EOutOfResources when
    // decoding runs out of memory.
    std::unique_ptr<TGPImage> CreateImage() const;

    plat::TNotifyEvent OnClear;

private:
    void SetBytes(std::vector<uint8_t> Bytes);
    void ReadAll(plat::TStream& Stream);
    void Clear();

    std::vector<uint8_t> FData;
    bool FEmpty = true;
    int FWidth = 0;
    int FHeight = 0;
};

} // namespace ui
