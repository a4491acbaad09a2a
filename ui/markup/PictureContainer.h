// Pictures for formatted captions: THTMLPicture keeps a picture as its encoded file bytes and decodes
// them through the platform codecs (BMP, ICO, GIF with frame choice, JPEG, PNG, WMF, EMF);
// THTMLPictureCache holds the pictures a control loaded from "RES://" and "FILE://" sources;
// TPictureContainer is the component that holds named pictures for the captions of several controls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Graphic.h"
#include "platform/gfx/PixelImage.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"

namespace ui {

// A length in pixels at 96 per inch, on a device of ppi pixels per inch (truncated).
inline int ScaleFrom96(int value, int ppi) {
    return static_cast<int>(static_cast<int64_t>(value) * ppi / 96);
}

using TDownloadProgressEvent =
    std::function<void(plat::TObject* Sender, uint32_t dwSize, uint32_t dwTotSize)>;
using TDownloadCancelEvent = std::function<void(plat::TObject* Sender, bool& Cancel)>;
using TDownloadCompleteEvent = std::function<void(plat::TObject* Sender)>;
using TDownloadErrorEvent = std::function<void(plat::TObject* Sender, const std::string& err)>;

class THTMLPicture : public plat::TGraphic {
    PLAT_CLASS(THTMLPicture)
public:
    THTMLPicture();
    ~THTMLPicture() override;

    // Size of the decoded picture at 96 pixels per inch; 0 while nothing is decoded.
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return FEmpty; }
    // Stretched into rect with Stretch, else at its natural size at rect's top-left corner.
    void Draw(plat::TCanvas& canvas, const plat::TRect& rect) override;

    // A file that cannot be read or decoded leaves the picture empty; no error leaves this call. Only a
    // regular file is opened, and no larger than the codecs accept.
    void LoadFromFile(const std::string& FileName) override;
    // The rest of the stream becomes the bytes. Raises EInvalidGraphic when they do not decode; the
    // picture is then empty.
    void LoadFromStream(plat::TStream& Stream) override;
    void SaveToStream(plat::TStream& Stream) override;
    std::unique_ptr<plat::TGraphic> CreateEmpty() const override { return std::make_unique<THTMLPicture>(); }
    void Assign(plat::TPersistent* Source) override;

    // Form reading and writing of the bytes ("Data"); reading fires no OnChange, and bytes that do not
    // decode are kept but leave the picture empty.
    void ReadData(plat::TStream& Stream);
    void WriteData(plat::TStream& Stream);
    // From the program's RCDATA resource of that name; nothing when there is none.
    void LoadFromRCData(const std::string& Name);
    // "RES://name" and "FILE://path" are loaded; any other source is only remembered, never fetched.
    void LoadFromSource(const std::string& Source);

    bool IsGIF() const;
    // Frames of an animated GIF (-1 for other pictures), counted once from the bytes.
    int FrameCount();
    // The GIF's logical screen size, else the picture's size: what captions size pictures by.
    int LogicalWidth() const;
    int LogicalHeight() const;

    int Frame() const { return FFrame; }
    // The frame shown, 1 for the first; a change decodes again and fires OnFrameChange.
    void SetFrame(int Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { FStretch = Value; }
    bool AllowDownload() const { return FAllowDownload; }
    void SetAllowDownload(bool Value) { FAllowDownload = Value; }
    // The source this picture was loaded from (or that was remembered), as given.
    const std::string& ID() const { return FID; }
    const std::string& URL() const { return FURL; }
    const std::vector<uint8_t>& Bytes() const { return FData; }
    bool Decoded() const { return FGraphic || !FGifFrame.Empty(); }

    plat::TNotifyEvent OnFrameChange;
    TDownloadProgressEvent OnDownLoadProgress;
    TDownloadCancelEvent OnDownLoadCancel;
    TDownloadCompleteEvent OnDownLoadComplete;
    TDownloadErrorEvent OnDownLoadError;

protected:
    void DefineProperties(plat::TFiler& Filer) override;

private:
    // Decodes FData for the current frame; on failure nothing stays decoded and the error goes on.
    void Decode();
    void Release();
    void TakeBytes(plat::TStream& Stream);

    std::vector<uint8_t> FData;
    bool FEmpty = true;
    bool FStretch = false;
    std::unique_ptr<plat::TGraphic> FGraphic; // every format but GIF
    plat::TPixelImage FGifFrame;              // the selected frame of a GIF
    std::string FURL;
    std::string FID;
    bool FAllowDownload = true;
    int FFrameCount = -1;
    int FFrame = 1;
    int FLogicalWidth = 0;
    int FLogicalHeight = 0;
};

// The pictures one control loaded from sources; it owns them.
class THTMLPictureCache {
public:
    THTMLPictureCache() = default;
    ~THTMLPictureCache() { ClearPictures(); }
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    THTMLPicture* AddPicture();
    // The first picture whose source is exactly Source (case matters); null when none.
    THTMLPicture* FindPicture(const std::string& Source) const;
    THTMLPicture* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    void ClearPictures() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<THTMLPicture>> FItems;
};

class TPictureItem : public plat::TCollectionItem {
    PLAT_CLASS(TPictureItem)
public:
    explicit TPictureItem(plat::TCollection* Collection);
    ~TPictureItem() override;

    THTMLPicture* Picture() const { return FPicture.get(); }
    void SetPicture(THTMLPicture* Value) { FPicture->Assign(Value); }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    // Only from another TPictureItem; anything else raises EInvalidCast "Invalid class typecast".
    void Assign(plat::TPersistent* Source) override;
    std::string DisplayName() const override {
        return FName.empty() ? TCollectionItem::DisplayName() : FName;
    }

private:
    std::unique_ptr<THTMLPicture> FPicture;
    std::string FName;
    int FTag = 0;
};

class TPictureContainer;

class TPictureCollection : public plat::TCollection {
    PLAT_CLASS(TPictureCollection)
public:
    explicit TPictureCollection(TPictureContainer* Owner);
    TPictureItem* Items(int Index) const { return static_cast<TPictureItem*>(TCollection::Items(Index)); }
    TPictureItem* Add() { return static_cast<TPictureItem*>(TCollection::Add()); }
    plat::TPersistent* GetOwner() const override;

private:
    TPictureContainer* FOwner;
};

class TPictureContainer : public plat::TComponent {
    PLAT_CLASS(TPictureContainer)
public:
    explicit TPictureContainer(plat::TComponent* AOwner);
    ~TPictureContainer() override;

    TPictureCollection* Items() const { return FItems.get(); }
    std::string Version() const { return "1.0.0.0"; }
    void SetVersion(const std::string&) {}
    // The first item whose name equals Name without regard to case; null when none does.
    virtual THTMLPicture* PictureByName(const std::string& Name) const;

private:
    std::unique_ptr<TPictureCollection> FItems;
};

} // namespace ui
