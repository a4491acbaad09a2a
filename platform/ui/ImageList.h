// Image lists: a row of same-sized images (with transparency from a mask, a mask colour or an alpha
// channel) that menus, buttons and other controls draw by index, enabled or greyed, with overlays.
#pragma once

#include <array>
#include <vector>

#include "platform/gfx/PixelImage.h"
#include "platform/rtl/Component.h"

namespace plat {

class TBitmap;
class TCanvas;
class TIcon;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };
using TOverlay = uint8_t; // 0..15

class TCustomImageList : public TComponent {
    PLAT_CLASS(TCustomImageList)
public:
    explicit TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Changing the size clears the list. Sizes below 1 raise EInvalidOperation "Invalid image size".
    void SetWidth(int Value);
    void SetHeight(int Value);
    int Count() const { return static_cast<int>(FImages.size()); }

    // A bitmap as wide as several images adds them all (cut from the left); its pixels that are set in
    // Mask (non-black) are transparent. Answers the index of the first one, -1 for an empty bitmap.
    int Add(TBitmap* Image, TBitmap* Mask);
    // The same, with the pixels of MaskColor transparent.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    // An icon, drawn at the list's size with its own transparency.
    int AddIcon(TIcon* Icon);
    // An image with its alpha channel, scaled to the list's size when it differs.
    int AddImage(const TPixelImage& Image);
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    // Raises EListError "List index out of bounds (%d)" for a bad index.
    void Delete(int Index);
    void Clear();

    // Draws image Index with its top-left corner at X, Y; disabled images are drawn greyed (embossed
    // in the 3D highlight and shadow colours). Indexes out of range draw nothing.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    // The same with the image registered as overlay Overlay drawn over it.
    void DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay, bool Enabled = true);
    // Registers image ImageIndex as overlay Overlay (0..15); answers false for bad numbers.
    bool Overlay(int ImageIndex, TOverlay Overlay);
    // Copies image Index onto Image (resized to the list's size), transparent parts in BkColor (or the
    // window colour when BkColor is clNone). Answers false for a bad index.
    bool GetBitmap(int Index, TBitmap* Image);
    // The image with its alpha, or an empty image for a bad index.
    TPixelImage GetImage(int Index) const;

    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value) { FBlendColor = Value; }
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value);
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value) { FImageType = Value; }
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value) { FMasked = Value; }

    TNotifyEvent OnChange;
    void Assign(TPersistent* Source) override;

protected:
    virtual void Change();
    // Paints one image; override to restyle how images (and their greyed form) look.
    virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, bool Enabled);
    TPixelImage Fit(const TPixelImage& Image) const;

private:
    int AddStrip(const TPixelImage& Strip);
    int FWidth = 16, FHeight = 16;
    std::vector<TPixelImage> FImages;
    std::array<int, 16> FOverlays{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    bool FMasked = true;
};

class TImageList : public TCustomImageList {
    PLAT_CLASS(TImageList)
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};

} // namespace plat
