#include "platform/gfx/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/Canvas.h"
#include "platform/gfx/PixelLine.h"
#include "platform/rtl/Filer.h"

namespace plat {

PLAT_CLASS_INFO(TBitmap, TGraphic)

int BitsPerPixel(TPixelFormat format) {
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
        return 15;
    case pf16bit:
        return 16;
    case pf24bit:
        return 24;
    default:
        return 32;
    }
}

// ---- TDib ----

int TDib::RowBytes(int width, TPixelFormat format) {
    int bits = BitsPerPixel(format);
    if (bits == 15)
        bits = 16;
    return static_cast<int>(((int64_t(width) * bits + 31) / 32) * 4);
}

TDib::TDib(int width, int height, TPixelFormat format)
    : Width(std::max(width, 0)), Height(std::max(height, 0)) {
    Format = format == pfDevice || format == pfCustom ? pf32bit : format;
    if (int64_t(Width) * Height > TImageSurface::MaxPixels)
        throw EOutOfResources("Out of system resources");
    Stride = RowBytes(Width, Format);
    Bits.assign(static_cast<size_t>(Stride) * Height, 0);
    Palette = DefaultPalette(Format);
}

std::vector<uint32_t> TDib::DefaultPalette(TPixelFormat format) {
    std::vector<uint32_t> p;
    switch (format) {
    case pf1bit:
        p = {0x000000, 0xFFFFFF};
        break;
    case pf4bit:
        p = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
             0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        break;
    case pf8bit:
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    p.push_back(uint32_t(r * 51) << 16 | uint32_t(g * 51) << 8 | uint32_t(b * 51));
        for (int i = 0; i < 40; ++i) {
            uint32_t v = static_cast<uint32_t>((i + 1) * 255 / 41);
            p.push_back(v << 16 | v << 8 | v);
        }
        break;
    default:
        break;
    }
    return p;
}

namespace {

int NearestIndex(const std::vector<uint32_t>& palette, uint32_t rgb) {
    int best = 0;
    long bestDist = LONG_MAX;
    int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    for (size_t i = 0; i < palette.size(); ++i) {
        uint32_t p = palette[i];
        long dr = r - long((p >> 16) & 0xFF), dg = g - long((p >> 8) & 0xFF), db = b - long(p & 0xFF);
        long d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = static_cast<int>(i);
            if (d == 0)
                break;
        }
    }
    return best;
}

uint32_t Scale5(uint32_t v) {
    return (v << 3) | (v >> 2);
}
uint32_t Scale6(uint32_t v) {
    return (v << 2) | (v >> 4);
}

} // namespace

uint32_t TDib::GetPixel(int x, int y) const {
    const uint8_t* row = Row(y);
    auto pal = [&](unsigned i) { return i < Palette.size() ? Palette[i] & 0x00FFFFFF : 0; };
    switch (Format) {
    case pf1bit:
        return pal((row[x / 8] >> (7 - x % 8)) & 1);
    case pf4bit:
        return pal((x & 1) ? row[x / 2] & 0x0F : row[x / 2] >> 4);
    case pf8bit:
        return pal(row[x]);
    case pf15bit: {
        uint32_t v = row[2 * x] | row[2 * x + 1] << 8;
        return Scale5((v >> 10) & 31) << 16 | Scale5((v >> 5) & 31) << 8 | Scale5(v & 31);
    }
    case pf16bit: {
        uint32_t v = row[2 * x] | row[2 * x + 1] << 8;
        return Scale5((v >> 11) & 31) << 16 | Scale6((v >> 5) & 63) << 8 | Scale5(v & 31);
    }
    case pf24bit:
        return uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
    default:
        return uint32_t(row[4 * x + 2]) << 16 | uint32_t(row[4 * x + 1]) << 8 | row[4 * x];
    }
}

void TDib::SetPixel(int x, int y, uint32_t rgb) {
    uint8_t* row = Row(y);
    uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    switch (Format) {
    case pf1bit: {
        int i = NearestIndex(Palette, rgb);
        uint8_t bit = uint8_t(0x80 >> (x % 8));
        row[x / 8] = i ? (row[x / 8] | bit) : (row[x / 8] & ~bit);
        break;
    }
    case pf4bit: {
        int i = NearestIndex(Palette, rgb);
        uint8_t& v = row[x / 2];
        v = (x & 1) ? uint8_t((v & 0xF0) | i) : uint8_t((v & 0x0F) | (i << 4));
        break;
    }
    case pf8bit:
        row[x] = uint8_t(NearestIndex(Palette, rgb));
        break;
    case pf15bit: {
        uint32_t v = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
        row[2 * x] = uint8_t(v);
        row[2 * x + 1] = uint8_t(v >> 8);
        break;
    }
    case pf16bit: {
        uint32_t v = (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
        row[2 * x] = uint8_t(v);
        row[2 * x + 1] = uint8_t(v >> 8);
        break;
    }
    case pf24bit:
        row[3 * x] = uint8_t(b);
        row[3 * x + 1] = uint8_t(g);
        row[3 * x + 2] = uint8_t(r);
        break;
    default:
        row[4 * x] = uint8_t(b);
        row[4 * x + 1] = uint8_t(g);
        row[4 * x + 2] = uint8_t(r);
        break;
    }
}

void TDib::FromSurface(const TImageSurface& surface) {
    int w = std::min(Width, surface.Width()), h = std::min(Height, surface.Height());
    for (int y = 0; y < h; ++y) {
        const uint32_t* src = surface.Row(y);
        if (Format == pf32bit) {
            std::memcpy(Row(y), src, static_cast<size_t>(w) * 4);
            continue;
        }
        // Runs of one colour are common; remember the last conversion of an indexed pixel.
        uint32_t lastRgb = 0xFFFFFFFF;
        int lastIndex = 0;
        for (int x = 0; x < w; ++x) {
            uint32_t rgb = src[x] & 0x00FFFFFF;
            if (Format == pf8bit) {
                if (rgb != lastRgb) {
                    lastRgb = rgb;
                    lastIndex = NearestIndex(Palette, rgb);
                }
                Row(y)[x] = uint8_t(lastIndex);
            } else {
                SetPixel(x, y, rgb);
            }
        }
    }
}

void TDib::ToSurface(TImageSurface& surface) const {
    surface.SetSize(Width, Height);
    for (int y = 0; y < Height; ++y) {
        uint32_t* dst = surface.Row(y);
        if (Format == pf32bit) {
            std::memcpy(dst, Row(y), static_cast<size_t>(Width) * 4);
            continue;
        }
        for (int x = 0; x < Width; ++x)
            dst[x] = 0xFF000000 | GetPixel(x, y);
    }
}

// ---- TBitmapCanvas ----

// The canvas of a bitmap: its context draws on the bitmap's surface, which is brought up to date with
// rows written through ScanLine before every operation.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* owner) : FOwner(owner), FDc(&owner->FSurface) {}

protected:
    void CreateHandle() override { FHandle = &FDc; }
    void RequiredState(unsigned state) override {
        FOwner->SurfaceForDrawing();
        TCanvas::RequiredState(state);
    }
    void Changed() override {
        TCanvas::Changed();
        FOwner->NotifyChanged();
    }

private:
    TBitmap* FOwner;
    TDeviceContext FDc;
};

// ---- TBitmap ----

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) {
    FFormat = format;
    FSurface.SetMonochrome(format == pf1bit);
    SetSize(width, height);
}

TBitmap::~TBitmap() = default;

void TBitmap::SurfaceForDrawing() {
    if (FSurfaceStale) {
        FDib.ToSurface(FSurface);
        FSurfaceStale = false;
    }
    // Drawing may change any pixel: the rows will be rebuilt when next asked for.
    FDibStale = true;
}

void TBitmap::DibFromSurface() {
    if (!FDibStale)
        return;
    if (FDib.Width != FSurface.Width() || FDib.Height != FSurface.Height() ||
        FDib.Format != (FFormat == pfDevice || FFormat == pfCustom ? pf32bit : FFormat)) {
        std::vector<uint32_t> palette = FDib.Palette;
        TDib fresh(FSurface.Width(), FSurface.Height(), FFormat);
        if (palette.size() == fresh.Palette.size() && !palette.empty())
            fresh.Palette = palette;
        FDib = std::move(fresh);
    }
    FDib.FromSurface(FSurface);
    FDibStale = false;
}

TImageSurface& TBitmap::Surface() {
    if (FSurfaceStale) {
        FDib.ToSurface(FSurface);
        FSurfaceStale = false;
    }
    return FSurface;
}

const TDib& TBitmap::Dib() {
    if (FSurfaceStale)
        return FDib;
    DibFromSurface();
    return FDib;
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width() && height == Height())
        return;
    Surface();
    FSurface.SetSize(width, height);
    FDibStale = true;
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == FFormat)
        return;
    Surface();
    FFormat = format;
    FSurface.SetMonochrome(format == pf1bit);
    FDibStale = true;
    if (!Empty() && format != pfDevice && format != pf32bit && format != pfCustom) {
        // Show what the new format keeps: the surface takes the converted colours back.
        DibFromSurface();
        FDib.ToSurface(FSurface);
    }
    Changed();
}

void TBitmap::SetMonochrome(bool value) {
    if (value == Monochrome())
        return;
    SetPixelFormat(value ? pf1bit : pfDevice);
}

std::vector<uint32_t> TBitmap::Palette() {
    if (BitsPerPixel(FFormat) > 8)
        return {};
    return Dib().Palette;
}

void TBitmap::SetPalette(const std::vector<uint32_t>& palette) {
    if (BitsPerPixel(FFormat) > 8)
        return;
    DibFromSurface();
    size_t n = FDib.Palette.size();
    FDib.Palette = palette;
    FDib.Palette.resize(n, 0);
    FSurfaceStale = true;
    FDibStale = false;
    Changed();
}

uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= Height())
        throw EInvalidGraphicOperation("Scan line index out of range");
    if (FFormat == pfDevice || FFormat == pf32bit || FFormat == pfCustom) {
        Surface();
        FDibStale = true;
        return reinterpret_cast<uint8_t*>(FSurface.Row(y));
    }
    DibFromSurface();
    FSurfaceStale = true;
    return FDib.Row(y);
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas)
        FCanvas = std::make_unique<TBitmapCanvas>(this);
    return FCanvas.get();
}

TColor TBitmap::TransparentColor() {
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault)
        return FTransparentColor;
    if (Empty())
        return clDefault;
    // The automatic colour is that of the bottom-left pixel.
    return PixelToColor(Surface().Row(Height() - 1)[0] & 0x00FFFFFF);
}

void TBitmap::SetTransparentColor(TColor value) {
    if (value == FTransparentColor)
        return;
    FTransparentColor = value;
    FTransparentMode = value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
    if (value == FTransparentMode)
        return;
    FTransparentMode = value;
    if (value == tmAuto)
        FTransparentColor = clDefault;
    else if (FTransparentColor == clDefault)
        FTransparentColor = TransparentColor();
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
    if (Empty())
        return;
    TDeviceContext* dst = canvas.Handle();
    Surface();
    TDeviceContext src(&FSurface);
    if (Transparent())
        dst->TransparentBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), &src, 0, 0, Width(), Height(),
                            ColorToRGB(TransparentColor()));
    else
        dst->StretchBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), &src, 0, 0, Width(), Height(),
                        canvas.CopyMode());
}

void TBitmap::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TBitmap*>(source);
    if (!other) {
        if (!source) {
            FSurface.SetSize(0, 0);
            FDibStale = true;
            FSurfaceStale = false;
            Changed();
            return;
        }
        TGraphic::Assign(source);
        return;
    }
    if (other == this)
        return;
    TImageSurface& src = other->Surface();
    FSurface.SetSize(0, 0);
    FSurface.SetSize(src.Width(), src.Height());
    for (int y = 0; y < src.Height(); ++y)
        std::memcpy(FSurface.Row(y), src.Row(y), static_cast<size_t>(src.Width()) * 4);
    FFormat = other->FFormat;
    FSurface.SetMonochrome(other->FSurface.Monochrome());
    FDib = other->Dib();
    FDibStale = false;
    FSurfaceStale = false;
    FTransparent = other->FTransparent;
    FTransparentColor = other->FTransparentColor;
    FTransparentMode = other->FTransparentMode;
    Changed();
}

void TBitmap::LoadDib(TDib dib) {
    FFormat = dib.Format;
    FSurface.SetSize(0, 0);
    dib.ToSurface(FSurface);
    FSurface.SetMonochrome(FFormat == pf1bit);
    FDib = std::move(dib);
    FDibStale = false;
    FSurfaceStale = false;
    Changed();
}

void TBitmap::LoadFromStream(TStream& stream) {
    int64_t size = stream.Size() - stream.Position();
    if (size <= 0)
        throw EInvalidGraphic("Bitmap image is not valid: the stream is empty");
    // Reading more than the largest legal file would only serve a lying size field.
    constexpr int64_t kMaxFile = TImageSurface::MaxPixels * 4 + (1 << 20);
    if (size > kMaxFile)
        throw EInvalidGraphic("Bitmap image is not valid: the picture is too large");
    std::vector<uint8_t> data(static_cast<size_t>(size));
    stream.ReadBuffer(data.data(), size);
    LoadDib(ReadBmp(data.data(), data.size()));
}

void TBitmap::SaveToStream(TStream& stream) {
    TDib dib = Dib();
    if (dib.Width == 0 || dib.Height == 0)
        dib = TDib(0, 0, pf24bit);
    std::vector<uint8_t> bytes = WriteBmp(dib);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TBitmap::DefineProperties(TFiler& Filer) {
    TGraphic::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { LoadFromStream(s); }, [this](TStream& s) { SaveToStream(s); }, !Empty());
}

TCanvas& MeasuringCanvas(TFont* Font) {
    static TBitmap measure;
    if (measure.Width() == 0)
        measure.SetSize(1, 1);
    measure.Canvas()->Font()->Assign(Font);
    return *measure.Canvas();
}

} // namespace plat
