#include "ui/controls/KvxImage.h"

#include <exception>

#include "platform/gfx/Canvas.h"
#include "platform/gfx/PictureFormats.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Stream.h"

namespace ui {

PLAT_CLASS_INFO(TKvxImage, plat::TGraphic)

TKvxImage::TKvxImage() = default;
TKvxImage::~TKvxImage() = default;

void TKvxImage::TakeStream(plat::TStream& Stream) {
    const int64_t size = Stream.Size();
    std::vector<uint8_t> bytes(static_cast<size_t>(size > 0 ? size : 0));
    Stream.SetPosition(0);
    if (!bytes.empty())
        Stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    FData = std::move(bytes);
}

void TKvxImage::Decode() {
    FPicture.reset();
    if (FData.empty())
        throw plat::Exception("Could not load image");
    try {
        FPicture = plat::LoadGraphicFromBytes(FData);
    } catch (const plat::EInvalidGraphic&) {
        throw plat::Exception("Could not load image. Invalid format");
    }
    if (!FPicture)
        throw plat::Exception("Could not load image");
}

void TKvxImage::Assign(plat::TPersistent* Source) {
    FEmpty = true;
    FPicture.reset();
    if (!Source) {
        FData.clear();
        Changed();
        return;
    }
    auto* other = dynamic_cast<TKvxImage*>(Source);
    if (other == this)
        return;
    if (other && !other->Empty()) {
        FData = other->FData;
        FEmpty = false;
        Decode();
        Changed();
        return;
    }
    // Keeping the old bytes here would bring a cleared background back with the next form save.
    FData.clear();
    if (other)
        Changed();
}

int TKvxImage::Width() const {
    return FPicture ? FPicture->Width() : 0;
}

int TKvxImage::Height() const {
    return FPicture ? FPicture->Height() : 0;
}

void TKvxImage::Draw(plat::TCanvas& Canvas, const plat::TRect& Rect) {
    if (FEmpty || !FPicture)
        return;
    FPicture->Draw(Canvas, Rect);
}

void TKvxImage::LoadFromStream(plat::TStream& Stream) {
    TakeStream(Stream);
    FEmpty = false;
    Decode();
    Changed();
}

void TKvxImage::LoadFromFile(const std::string& FileName) {
    try {
        plat::TFileStream file(FileName, plat::fmOpenRead | plat::fmShareDenyWrite);
        LoadFromStream(file);
    } catch (const std::exception&) {
        // A background that cannot be shown is left out; the form opens all the same.
        FEmpty = true;
        FPicture.reset();
    }
}

void TKvxImage::SaveToStream(plat::TStream& Stream) {
    WriteData(Stream);
}

void TKvxImage::ReadData(plat::TStream& Stream) {
    TakeStream(Stream);
    FEmpty = false;
    try {
        Decode();
    } catch (const plat::Exception&) {
        // The bytes stay with the form; there is just nothing to draw.
    }
}

void TKvxImage::WriteData(plat::TStream& Stream) {
    if (!FData.empty())
        Stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TKvxImage::DefineProperties(plat::TFiler& Filer) {
    plat::TGraphic::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](plat::TStream& Stream) { ReadData(Stream); },
        [this](plat::TStream& Stream) { WriteData(Stream); }, !FData.empty());
}

} // namespace ui
