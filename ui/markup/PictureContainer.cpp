#include "ui/markup/PictureContainer.h"

#include <algorithm>
#include <filesystem>

#include "platform/gfx/Canvas.h"
#include "platform/gfx/GifImage.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/PictureFormats.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"

namespace ui {

using namespace plat;

PLAT_CLASS_INFO(THTMLPicture, TGraphic)
PLAT_CLASS_INFO(TPictureItem, TCollectionItem)
PLAT_CLASS_INFO(TPictureCollection, TCollection)
PLAT_CLASS_INFO_CREATABLE(TPictureContainer, TComponent)

PLAT_PROPERTIES(THTMLPicture) {
    props.Boolean("Stretch", &THTMLPicture::Stretch, &THTMLPicture::SetStretch, false);
    props.Integer("Frame", &THTMLPicture::Frame, &THTMLPicture::SetFrame, 1);
}

PLAT_PROPERTIES(TPictureItem) {
    props.Object("Picture", &TPictureItem::Picture);
    props.String("Name", &TPictureItem::Name, &TPictureItem::SetName);
    props.Integer("Tag", &TPictureItem::Tag, &TPictureItem::SetTag, 0);
}

PLAT_PROPERTIES(TPictureContainer) {
    props.Collection("Items", &TPictureContainer::Items);
    props.String("Version", &TPictureContainer::Version, nullptr);
}

namespace {

// Layouts create the container by its class name.
struct TRegistrar {
    TRegistrar() { RegisterClass(TPictureContainer::StaticClass()); }
} registrar;

// A GIF frame starts at a graphic control extension that is followed by an image descriptor.
bool FrameStartsAt(const std::vector<uint8_t>& d, size_t i) {
    return d[i] == 0x21 && i + 9 < d.size() && d[i + 1] == 0xF9 && d[i + 2] == 0x04 && d[i + 8] == 0x2C;
}

bool StartsWithNoCase(const std::string& s, std::string_view prefix) {
    return s.size() >= prefix.size() && UpperCase(s.substr(0, prefix.size())) == prefix;
}

} // namespace

THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

int THTMLPicture::Width() const {
    return FGraphic ? FGraphic->Width() : FGifFrame.Width;
}

int THTMLPicture::Height() const {
    return FGraphic ? FGraphic->Height() : FGifFrame.Height;
}

int THTMLPicture::LogicalWidth() const {
    return FLogicalWidth != 0 ? FLogicalWidth : Width();
}

int THTMLPicture::LogicalHeight() const {
    return FLogicalHeight != 0 ? FLogicalHeight : Height();
}

void THTMLPicture::Draw(TCanvas& canvas, const TRect& rect) {
    if (FEmpty || !Decoded())
        return;
    TRect target = rect;
    if (!FStretch) {
        const int ppi = canvas.Font()->PixelsPerInch();
        target.Right = target.Left + ScaleFrom96(Width(), ppi);
        target.Bottom = target.Top + ScaleFrom96(Height(), ppi);
    }
    if (FGraphic)
        FGraphic->Draw(canvas, target);
    else
        DrawPixelImage(canvas, target, FGifFrame, FGifFrame.HasAlpha());
}

void THTMLPicture::Release() {
    FGraphic.reset();
    FGifFrame = TPixelImage();
    FLogicalWidth = FLogicalHeight = 0;
}

void THTMLPicture::Decode() {
    Release();
    if (FData.empty())
        return;
    const uint8_t* data = FData.data();
    const size_t size = FData.size();
    try {
        if (IsGIF()) {
            TGifFrames gif = ReadGif(data, size);
            if (gif.Frames.empty())
                throw EInvalidGraphic("Could not load image");
            const size_t frame = static_cast<size_t>(std::clamp(FFrame, 1, int(gif.Frames.size())) - 1);
            FLogicalWidth = gif.Width;
            FLogicalHeight = gif.Height;
            FGifFrame = std::move(gif.Frames[frame]);
        } else if (const TImageFileFormat format = SniffImageFormat(data, size); format != iffUnknown) {
            FGraphic = LoadGraphicFromBytes(data, size);
            // Pictures with an alpha channel blend; a bitmap is drawn as it is.
            FGraphic->SetTransparent(format == iffPng || format == iffIcon);
        } else {
            // Neither a raster format nor anything else we know: a metafile or nothing.
            auto metafile = std::make_unique<TMetafile>();
            TMemoryStream stream;
            stream.WriteBuffer(data, static_cast<int64_t>(size));
            stream.SetPosition(0);
            metafile->LoadFromStream(stream);
            FGraphic = std::move(metafile);
        }
    } catch (const Exception& e) {
        Release();
        throw EInvalidGraphic(std::string("Could not load image. Invalid format: ") + e.what());
    }
}

void THTMLPicture::TakeBytes(TStream& Stream) {
    FEmpty = true;
    Release();
    FFrameCount = -1;
    FData = ReadGraphicBytes(Stream, "Picture");
    FEmpty = false;
    // Bytes that do not decode are no picture: it draws nothing and takes no space.
    plat::ScopeGuard emptyOnFailure([this] { FEmpty = true; });
    Decode();
    emptyOnFailure.Dismiss();
}

void THTMLPicture::LoadFromStream(TStream& Stream) {
    TakeBytes(Stream);
    Changed();
}

void THTMLPicture::ReadData(TStream& Stream) {
    // A layout holding a picture that does not decode still loads; the bytes stay, so that saving
    // writes them back, but the picture is empty.
    try {
        TakeBytes(Stream);
    } catch (const EInvalidGraphic&) {
    }
}

void THTMLPicture::SaveToStream(TStream& Stream) {
    if (!FData.empty())
        Stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void THTMLPicture::WriteData(TStream& Stream) {
    SaveToStream(Stream);
}

void THTMLPicture::DefineProperties(TFiler& Filer) {
    TGraphic::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, !FData.empty());
}

void THTMLPicture::LoadFromFile(const std::string& FileName) {
    try {
        // Only a picture file: a device, a pipe or a folder named here would block or mean nothing.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(FileName, ec))
            throw EFOpenError("Not a picture file: " + FileName);
        TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
        TakeBytes(stream);
        Changed();
    } catch (const std::exception&) {
        Release();
        FData.clear();
        FEmpty = true;
    }
}

void THTMLPicture::LoadFromRCData(const std::string& Name) {
    if (!ResourceExists(Name, RT_RCDATA))
        return;
    TResourceStream stream(Name, RT_RCDATA);
    LoadFromStream(stream);
}

void THTMLPicture::LoadFromSource(const std::string& Source) {
    if (StartsWithNoCase(Source, "RES://")) {
        FID = Source;
        if (Source.size() > 6)
            LoadFromRCData(Source.substr(6));
    } else if (StartsWithNoCase(Source, "FILE://")) {
        FID = Source;
        if (Source.size() > 7)
            LoadFromFile(Source.substr(7));
    } else {
        // Nothing is ever fetched from a network: the source is only remembered.
        FURL = Source;
        FID = Source;
    }
}

void THTMLPicture::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<THTMLPicture*>(Source);
    if (Source && !source)
        return;
    FEmpty = true;
    Release();
    FFrameCount = -1;
    if (!source) {
        FData.clear();
        return;
    }
    FStretch = source->FStretch;
    FFrame = source->FFrame;
    FID = source->FID;
    FURL = source->FURL;
    FData = source->FData;
    FEmpty = FData.empty();
    if (!FEmpty) {
        plat::ScopeGuard emptyOnFailure([this] { FEmpty = true; });
        Decode();
        emptyOnFailure.Dismiss();
    }
    Changed();
}

bool THTMLPicture::IsGIF() const {
    return FData.size() >= 5 && FData[0] == 'G' && FData[1] == 'I' && FData[2] == 'F' && FData[3] == '8';
}

int THTMLPicture::FrameCount() {
    if (FFrameCount >= 0)
        return FFrameCount;
    if (!IsGIF())
        return -1;
    int count = 0;
    for (size_t i = 0; i < FData.size(); ++i)
        count += FrameStartsAt(FData, i);
    FFrameCount = count;
    return count;
}

void THTMLPicture::SetFrame(int Value) {
    FFrame = Value;
    if (!FData.empty()) {
        Decode();
        if (OnFrameChange)
            OnFrameChange(this);
    }
}

THTMLPicture* THTMLPictureCache::AddPicture() {
    FItems.push_back(std::make_unique<THTMLPicture>());
    return FItems.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const std::string& Source) const {
    for (const auto& picture : FItems)
        if (picture->ID() == Source)
            return picture.get();
    return nullptr;
}

TPictureItem::TPictureItem(TCollection* Collection)
    : TCollectionItem(Collection), FPicture(std::make_unique<THTMLPicture>()) {}

TPictureItem::~TPictureItem() = default;

void TPictureItem::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TPictureItem*>(Source);
    if (!source)
        throw EInvalidCast("Invalid class typecast");
    FName = source->FName;
    FTag = source->FTag;
    FPicture->Assign(source->FPicture.get());
}

TPictureCollection::TPictureCollection(TPictureContainer* Owner)
    : TCollection(TCollectionItemClass::Of<TPictureItem>()), FOwner(Owner) {}

TPersistent* TPictureCollection::GetOwner() const {
    return FOwner;
}

TPictureContainer::TPictureContainer(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TPictureCollection>(this)) {}

TPictureContainer::~TPictureContainer() = default;

THTMLPicture* TPictureContainer::PictureByName(const std::string& Name) const {
    const std::string wanted = UpperCase(Name);
    for (int i = 0; i < FItems->Count(); ++i)
        if (UpperCase(FItems->Items(i)->Name()) == wanted)
            return FItems->Items(i)->Picture();
    return nullptr;
}

} // namespace ui
