// Pieces shared by the metafile writers, readers and player: text encodings, device-independent
// bitmaps in records, text advances, flattened curves, gradient bands, bounds-checked reading of
// records, playing one record and a device without pixels.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Metafile.h"

namespace plat::metafile {

[[noreturn]] void Invalid(const std::string& reason);

std::vector<uint16_t> Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(const uint16_t* text, size_t count);
// Western (code page 1252) bytes; characters it lacks become '?'.
std::string Utf8ToAnsi(std::string_view text);
std::string AnsiToUtf8(std::string_view text);

// Advance of every code point of the text in the font (heights in pixels), with the extra spacing.
std::vector<int> CharAdvances(const TLogFont& font, std::string_view text, int charExtra);

// A picture as a BITMAPINFO and bottom-up rows: 24 bits per pixel, or 32 keeping the alpha byte.
struct TDibData {
    std::vector<uint8_t> Info;
    std::vector<uint8_t> Bits;
};
TDibData ImageToDib(const TMetaImage& image, bool keepAlpha);
// A monochrome tile as a 1-bit DIB (black and white palette).
TDibData MaskToDib(const TMetaImage& image);
// Decodes a BITMAPINFO and its rows (any depth a BMP file may have); raises through Invalid.
TMetaImage DibToImage(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize);

TMetaImage PatternToImage(const TBrushPattern& pattern);
std::shared_ptr<const TBrushPattern> ImageToPattern(const TMetaImage& image, bool monochrome);

// A cubic Bézier chain (1 + 3n points) as a polyline through its curve.
std::vector<TPoint> FlattenBezier(const std::vector<TPoint>& points);

// The solid bands a rectangle gradient is drawn with, equal neighbours merged.
struct TBand {
    TRect Rect;
    TColor Color;
};
std::vector<TBand> GradientBands(const TTriVertex& a, const TTriVertex& b, bool horizontal);

// Records that only change the state the drawing records use.
inline bool IsStateOp(TMetaOp op) {
    return op <= TMetaOp::SetArcDirection;
}

// Where a record is played: the context's logical units are the frame's pixels, and the frame fills
// Target (device pixels of the context). Clip regions are scaled to Target and kept inside Outer, the
// context's own clip, when there is one.
struct TPlayTarget {
    TDeviceContext* Dc = nullptr;
    TRect Target;
    int Width = 1;
    int Height = 1;
    const TRegion* Outer = nullptr;
};
void PlayRecord(const TMetaRecord& record, const TPlayTarget& target);

// A device of the frame's size without pixels: it bounds clip regions and gives fonts 96 pixels per
// inch. Anything that reaches its drawing code lands on a one-pixel scratch surface.
class TFrameSurface : public TDrawSurface {
public:
    TFrameSurface(int width, int height);
    ~TFrameSurface() override;
    TFrameSurface(const TFrameSurface&) = delete;
    TFrameSurface& operator=(const TFrameSurface&) = delete;
    cairo_surface_t* CairoSurface() override;
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }

private:
    int FWidth, FHeight;
    cairo_surface_t* FScratch = nullptr;
};

inline int16_t Clamp16(int v) {
    return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// Little-endian reads that stay inside one record.
class TRecordReader {
public:
    TRecordReader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
    size_t Size() const { return FSize; }
    const uint8_t* Data() const { return FData; }
    bool Has(size_t offset, size_t count) const { return offset <= FSize && count <= FSize - offset; }
    void Need(size_t offset, size_t count) const {
        if (!Has(offset, count))
            Invalid("a record is shorter than its contents");
    }
    uint32_t U32(size_t offset) const {
        Need(offset, 4);
        uint32_t v;
        std::memcpy(&v, FData + offset, 4);
        return v;
    }
    int32_t I32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }
    uint16_t U16(size_t offset) const {
        Need(offset, 2);
        uint16_t v;
        std::memcpy(&v, FData + offset, 2);
        return v;
    }
    int16_t I16(size_t offset) const { return static_cast<int16_t>(U16(offset)); }
    uint8_t U8(size_t offset) const {
        Need(offset, 1);
        return FData[offset];
    }
    float F32(size_t offset) const {
        uint32_t v = U32(offset);
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    // A count of items of the given size starting at offset, checked against the record.
    size_t Count(size_t offset, uint64_t count, size_t itemSize) const {
        if (offset > FSize || count > (FSize - offset) / itemSize)
            Invalid("a record counts more items than it holds");
        return static_cast<size_t>(count);
    }

private:
    const uint8_t* FData;
    size_t FSize;
};

} // namespace plat::metafile
