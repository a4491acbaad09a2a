#include "platform/ui/ImageList.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Icon.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"

namespace plat {

namespace {

const char* const kDrawingStyleNames[] = {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"};

static_assert(std::size(kDrawingStyleNames) == dsTransparent + 1);
const char* const kImageTypeNames[] = {"itImage", "itMask"};
static_assert(std::size(kImageTypeNames) == itMask + 1);

uint32_t Argb(TColor c) {
    TColor rgb = ColorToRGB(c);
    return 0xFF000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

// Nearest-neighbour scaling; images in a list are small and keep their hard edges.
TPixelImage Scaled(const TPixelImage& src, int w, int h) {
    if (src.Width == w && src.Height == h)
        return src;
    TPixelImage out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.Row(y)[x] = src.At(x * src.Width / w, y * src.Height / h);
    return out;
}

} // namespace

PLAT_CLASS_INFO(TCustomImageList, TComponent)

PLAT_PROPERTIES(TCustomImageList) {
    props.Integer("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth, 16);
    props.Integer("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight, 16);
    props.Color("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor, clNone);
    props.Color("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor, clNone);
    props.Enum("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle,
               kDrawingStyleNames, dsNormal);
    props.Enum("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType, kImageTypeNames,
               itImage);
    props.Boolean("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked, true);
    props.Event("OnChange", &TCustomImageList::OnChange);
}

PLAT_CLASS_INFO_CREATABLE(TImageList, TCustomImageList)

void TCustomImageList::SetWidth(int Value) {
    if (Value < 1)
        throw EInvalidOperation("Invalid image size");
    if (Value == FWidth)
        return;
    FWidth = Value;
    Clear();
}

void TCustomImageList::SetHeight(int Value) {
    if (Value < 1)
        throw EInvalidOperation("Invalid image size");
    if (Value == FHeight)
        return;
    FHeight = Value;
    Clear();
}

void TCustomImageList::SetBkColor(TColor Value) {
    if (Value == FBkColor)
        return;
    FBkColor = Value;
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
    if (Value == FDrawingStyle)
        return;
    FDrawingStyle = Value;
    Change();
}

void TCustomImageList::Change() {
    if (OnChange)
        OnChange(this);
}

TPixelImage TCustomImageList::Fit(const TPixelImage& Image) const {
    // A picture smaller than the cell sits in its top-left corner; larger ones are cut.
    TPixelImage out(FWidth, FHeight);
    for (int y = 0; y < std::min(FHeight, Image.Height); ++y)
        for (int x = 0; x < std::min(FWidth, Image.Width); ++x)
            out.Row(y)[x] = Image.At(x, y);
    return out;
}

int TCustomImageList::AddStrip(const TPixelImage& Strip) {
    if (Strip.Empty())
        return -1;
    int first = Count();
    int n = std::max(1, Strip.Width / FWidth);
    for (int i = 0; i < n; ++i) {
        TPixelImage cell(FWidth, FHeight);
        for (int y = 0; y < std::min(FHeight, Strip.Height); ++y)
            for (int x = 0; x < FWidth && i * FWidth + x < Strip.Width; ++x)
                cell.Row(y)[x] = Strip.At(i * FWidth + x, y);
        FImages.push_back(std::move(cell));
    }
    Change();
    return first;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    if (!Image || Image->Empty())
        return -1;
    TPixelImage img = PixelImageFromBitmap(*Image);
    if (Mask && !Mask->Empty()) {
        TPixelImage m = PixelImageFromBitmap(*Mask);
        for (int y = 0; y < std::min(img.Height, m.Height); ++y)
            for (int x = 0; x < std::min(img.Width, m.Width); ++x)
                if ((m.At(x, y) & 0xFFFFFF) != 0)
                    img.Row(y)[x] = 0;
    }
    return AddStrip(img);
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (!Image || Image->Empty())
        return -1;
    TPixelImage img = PixelImageFromBitmap(*Image);
    uint32_t key = Argb(MaskColor) & 0xFFFFFF;
    for (uint32_t& p : img.Pixels)
        if ((p & 0xFFFFFF) == key)
            p = 0;
    return AddStrip(img);
}

int TCustomImageList::AddIcon(TIcon* Icon) {
    if (!Icon || Icon->Empty())
        return -1;
    int i = Icon->BestEntry(FWidth, FHeight);
    return AddImage(Icon->Entry(i).Image);
}

int TCustomImageList::AddImage(const TPixelImage& Image) {
    if (Image.Empty())
        return -1;
    FImages.push_back(Scaled(Image, FWidth, FHeight));
    Change();
    return Count() - 1;
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    TCustomImageList tmp(nullptr);
    tmp.FWidth = FWidth;
    tmp.FHeight = FHeight;
    if (tmp.Add(Image, Mask) < 0)
        return;
    FImages[static_cast<size_t>(Index)] = std::move(tmp.FImages[0]);
    Change();
}

void TCustomImageList::Delete(int Index) {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    FImages.erase(FImages.begin() + Index);
    // Overlays point at images by index: later ones move down, the deleted one is gone.
    for (int& o : FOverlays)
        if (o == Index)
            o = -1;
        else if (o > Index)
            --o;
    Change();
}

void TCustomImageList::Clear() {
    bool had = !FImages.empty();
    FImages.clear();
    FOverlays.fill(-1);
    if (had)
        Change();
}

bool TCustomImageList::Overlay(int ImageIndex, TOverlay Overlay) {
    if (Overlay >= FOverlays.size() || ImageIndex < 0 || ImageIndex >= Count())
        return false;
    FOverlays[Overlay] = ImageIndex;
    return true;
}

TPixelImage TCustomImageList::GetImage(int Index) const {
    if (Index < 0 || Index >= Count())
        return {};
    return FImages[static_cast<size_t>(Index)];
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, bool Enabled) {
    const TPixelImage& img = FImages[static_cast<size_t>(Index)];
    TRect r(X, Y, X + FWidth, Y + FHeight);
    if (Enabled) {
        DrawPixelImage(*Canvas, r, img, true);
        return;
    }
    // Greyed: the shape of the image embossed, highlight one pixel down-right under the shadow.
    TPixelImage grey(FWidth, FHeight);
    uint32_t hi = Argb(clBtnHighlight), sh = Argb(clBtnShadow);
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x)
            if ((img.At(x, y) >> 24) >= 0x80) {
                if (x + 1 < FWidth && y + 1 < FHeight && grey.At(x + 1, y + 1) == 0)
                    grey.Row(y + 1)[x + 1] = hi;
                grey.Row(y)[x] = sh;
            }
    DrawPixelImage(*Canvas, r, grey, true);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    if (!Canvas || Index < 0 || Index >= Count())
        return;
    DoDraw(Index, Canvas, X, Y, Enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay,
                                   bool Enabled) {
    Draw(Canvas, X, Y, ImageIndex, Enabled);
    if (Overlay < FOverlays.size())
        Draw(Canvas, X, Y, FOverlays[Overlay], Enabled);
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
    if (!Image || Index < 0 || Index >= Count())
        return false;
    Image->SetPixelFormat(pf24bit);
    Image->SetSize(FWidth, FHeight);
    TCanvas* c = Image->Canvas();
    c->Brush()->SetColor(FBkColor == clNone ? clWindow : FBkColor);
    c->FillRect(TRect(0, 0, FWidth, FHeight));
    DoDraw(Index, c, 0, 0, true);
    return true;
}

void TCustomImageList::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TCustomImageList*>(Source)) {
        FWidth = src->FWidth;
        FHeight = src->FHeight;
        FImages = src->FImages;
        FOverlays = src->FOverlays;
        FBkColor = src->FBkColor;
        FBlendColor = src->FBlendColor;
        FDrawingStyle = src->FDrawingStyle;
        FImageType = src->FImageType;
        FMasked = src->FMasked;
        Change();
        return;
    }
    TComponent::Assign(Source);
}

namespace {
const bool kRegistered = [] {
    RegisterClass(TImageList::StaticClass());
    return true;
}();
} // namespace

} // namespace plat
