#include "ui/drawing/GDIPicture.h"

#include <exception>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/Stream.h"
#include "ui/drawing/KvxGDIP.h"

namespace ui {

PLAT_CLASS_INFO(TGDIPPicture, plat::TGraphic)

TGDIPPicture::TGDIPPicture() = default;

void TGDIPPicture::SetBytes(std::vector<uint8_t> Bytes) {
    FData = std::move(Bytes);
}

void TGDIPPicture::ReadAll(plat::TStream& Stream) {
    const int64_t size = Stream.Size();
    std::vector<uint8_t> bytes(static_cast<size_t>(size > 0 ? size : 0));
    Stream.SetPosition(0);
    if (!bytes.empty())
        Stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    SetBytes(std::move(bytes));
}

void TGDIPPicture::Clear() {
    FData.clear();
    FEmpty = true;
}

void TGDIPPicture::Assign(plat::TPersistent* Source) {
    FEmpty = true;
    if (!Source) {
        Clear();
        Changed();
        if (OnClear)
            OnClear(this);
        return;
    }
    if (auto* other = dynamic_cast<TGDIPPicture*>(Source)) {
        if (other != this)
            SetBytes(other->FData);
        FEmpty = FData.empty();
        Changed();
    } else {
        plat::TGraphic* graphic = dynamic_cast<plat::TGraphic*>(Source);
        auto* holder = dynamic_cast<plat::TPicture*>(Source);
        if (holder)
            graphic = holder->Graphic();
        if (graphic || holder) {
            // An empty graphic has no file to store (several formats refuse to write one).
            if (graphic && !graphic->Empty()) {
                plat::TMemoryStream saved;
                graphic->SaveToStream(saved);
                ReadAll(saved);
                FEmpty = FData.empty();
            } else {
                FData.clear();
            }
            Changed();
        }
    }
    MeasureImage();
}

std::unique_ptr<TGPImage> TGDIPPicture::CreateImage() const {
    auto image = std::make_unique<TGPImage>(FData.data(), FData.size());
    if (image->GetLastStatus() == TGPStatus::OutOfMemory)
        throw plat::EOutOfResources("Could not allocate memory for image");
    return image;
}

bool TGDIPPicture::MeasureImage() {
    if (FEmpty || FData.empty())
        return false;
    auto image = CreateImage();
    FWidth = image->GetWidth();
    FHeight = image->GetHeight();
    return true;
}

void TGDIPPicture::Draw(plat::TCanvas& Canvas, const plat::TRect& Rect) {
    if (FEmpty || FData.empty())
        return;
    auto image = CreateImage();
    if (image->GetFormat() == rfBMP) {
        plat::TBitmap bmp;
        plat::TMemoryStream bytes;
        bytes.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
        bytes.SetPosition(0);
        bmp.LoadFromStream(bytes);
        bmp.SetTransparentMode(plat::tmAuto);
        bmp.SetTransparent(true);
        Canvas.Draw(Rect.Left, Rect.Top, &bmp);
        return;
    }
    FWidth = image->GetWidth();
    FHeight = image->GetHeight();
    TGPGraphics graphics(Canvas);
    graphics.DrawImageRect(image.get(), Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top);
}

void TGDIPPicture::LoadFromFile(const std::string& FileName) {
    try {
        plat::TFileStream file(FileName, plat::fmOpenRead | plat::fmShareDenyWrite);
        ReadAll(file);
        FEmpty = false;
        if (OnClear)
            OnClear(this);
        MeasureImage();
        Changed();
    } catch (const std::exception&) {
        // A picture that cannot be loaded shows nothing; the caller has nothing better to do with it.
        FEmpty = true;
    }
}

void TGDIPPicture::LoadFromStream(plat::TStream& Stream) {
    ReadAll(Stream);
    FEmpty = false;
    MeasureImage();
    Changed();
}

void TGDIPPicture::SaveToStream(plat::TStream& Stream) {
    WriteData(Stream);
}

void TGDIPPicture::LoadFromRCData(const std::string& ResName) {
    if (!plat::ResourceExists(ResName, plat::RT_RCDATA))
        return;
    plat::TResourceStream resource(ResName, plat::RT_RCDATA);
    LoadFromStream(resource);
}

void TGDIPPicture::ReadData(plat::TStream& Stream) {
    ReadAll(Stream);
    FEmpty = FData.empty();
}

void TGDIPPicture::WriteData(plat::TStream& Stream) {
    if (!FData.empty())
        Stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TGDIPPicture::DefineProperties(plat::TFiler& Filer) {
    plat::TGraphic::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](plat::TStream& Stream) { ReadData(Stream); },
        [this](plat::TStream& Stream) { WriteData(Stream); }, !FEmpty && !FData.empty());
}

} // namespace ui
