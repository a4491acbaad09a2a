// The BMP container: reading every depth and layout the format allows (checked against the buffer so a
// truncated or lying file is refused, never read past), and writing bottom-up files.
#include <algorithm>
#include <cstring>

#include "platform/gfx/Bitmap.h"

namespace plat {

namespace {

enum : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6 };

[[noreturn]] void Invalid(const char* why) {
    throw EInvalidGraphic(std::string("Bitmap image is not valid: ") + why);
}

class TReader {
public:
    TReader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
    void Need(size_t offset, size_t count) const {
        if (offset > FSize || count > FSize - offset)
            Invalid("the file is truncated");
    }
    uint8_t U8(size_t o) const {
        Need(o, 1);
        return FData[o];
    }
    uint16_t U16(size_t o) const {
        Need(o, 2);
        return uint16_t(FData[o] | FData[o + 1] << 8);
    }
    uint32_t U32(size_t o) const {
        Need(o, 4);
        return uint32_t(FData[o]) | uint32_t(FData[o + 1]) << 8 | uint32_t(FData[o + 2]) << 16 |
               uint32_t(FData[o + 3]) << 24;
    }
    int32_t S32(size_t o) const { return static_cast<int32_t>(U32(o)); }
    const uint8_t* At(size_t o) const { return FData + o; }
    size_t Size() const { return FSize; }

private:
    const uint8_t* FData;
    size_t FSize;
};

int MaskShift(uint32_t mask) {
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}
int MaskBits(uint32_t mask) {
    mask >>= MaskShift(mask);
    int n = 0;
    while (mask & 1) {
        mask >>= 1;
        ++n;
    }
    return n;
}
uint32_t Expand(uint32_t v, uint32_t mask) {
    if (!mask)
        return 0;
    int bits = MaskBits(mask);
    uint32_t c = (v & mask) >> MaskShift(mask);
    if (bits >= 8)
        return c >> (bits - 8);
    // Replicate the high bits into the low ones so full scale stays 255.
    uint32_t out = 0;
    int have = 0;
    while (have < 8) {
        out = (out << bits) | c;
        have += bits;
    }
    return out >> (have - 8);
}

void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

void DecodeRle(const TReader& in, size_t pos, TDib& dib, bool rle4) {
    int x = 0, y = 0; // y counts rows from the bottom of the picture
    auto put = [&](int index) {
        if (x >= dib.Width || y >= dib.Height)
            Invalid("compressed data runs outside the picture");
        uint8_t* row = dib.Row(dib.Height - 1 - y);
        if (rle4) {
            uint8_t& b = row[x / 2];
            b = (x & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | (index << 4));
        } else {
            row[x] = uint8_t(index);
        }
        ++x;
    };
    while (true) {
        uint8_t count = in.U8(pos), value = in.U8(pos + 1);
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(rle4 ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return;
        } else if (value == 2) { // delta
            x += in.U8(pos);
            y += in.U8(pos + 1);
            pos += 2;
            if (y > dib.Height || (y == dib.Height && x > 0))
                Invalid("compressed data runs outside the picture");
        } else { // absolute run
            int n = value;
            size_t bytes = rle4 ? (n + 1) / 2 : n;
            in.Need(pos, bytes);
            for (int i = 0; i < n; ++i) {
                uint8_t b = in.U8(pos + (rle4 ? i / 2 : i));
                put(rle4 ? ((i & 1) ? b & 0x0F : b >> 4) : b);
            }
            pos += (bytes + 1) & ~size_t(1); // runs are padded to a word
        }
    }
}

} // namespace

TDib ReadBmp(const uint8_t* data, size_t size) {
    TReader in(data, size);
    if (size < 18 || data[0] != 'B' || data[1] != 'M')
        Invalid("not a BMP file");
    uint32_t offBits = in.U32(10);
    uint32_t headerSize = in.U32(14);
    if (headerSize != 12 && headerSize != 16 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
        headerSize != 64 && headerSize != 108 && headerSize != 124)
        Invalid("unknown header");
    in.Need(14, headerSize);
    int64_t width, height;
    int bitCount;
    uint32_t compression = BI_RGB, colorsUsed = 0;
    bool core = headerSize == 12;
    if (core) {
        width = in.U16(18);
        height = in.U16(20);
        bitCount = in.U16(24);
        if (in.U16(22) != 1)
            Invalid("bad plane count");
    } else {
        width = in.S32(18);
        height = in.S32(22);
        if (in.U16(26) != 1)
            Invalid("bad plane count");
        bitCount = in.U16(28);
        compression = headerSize >= 20 ? in.U32(30) : BI_RGB;
        colorsUsed = headerSize >= 36 ? in.U32(46) : 0;
    }
    bool topDown = height < 0;
    height = topDown ? -height : height;
    if (width <= 0 || height <= 0)
        Invalid("bad dimensions");
    if (width > (1 << 20) || height > (1 << 20) || width * height > TImageSurface::MaxPixels)
        Invalid("the picture is too large");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        Invalid("unsupported colour depth");
    bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    if ((compression == BI_RLE8 && bitCount != 8) || (compression == BI_RLE4 && bitCount != 4) ||
        ((compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) && bitCount != 16 &&
         bitCount != 32) ||
        (compression != BI_RGB && !rle && compression != BI_BITFIELDS && compression != BI_ALPHABITFIELDS))
        Invalid("unsupported compression");
    if (rle && topDown)
        Invalid("compressed pictures cannot be top-down");

    size_t pos = 14 + headerSize;
    uint32_t rMask = 0, gMask = 0, bMask = 0, aMask = 0;
    if (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) {
        size_t maskAt = headerSize >= 52 ? 54 : pos;
        rMask = in.U32(maskAt);
        gMask = in.U32(maskAt + 4);
        bMask = in.U32(maskAt + 8);
        if (compression == BI_ALPHABITFIELDS || headerSize >= 56)
            aMask = in.U32(maskAt + 12);
        if (headerSize < 52)
            pos += compression == BI_ALPHABITFIELDS ? 16 : 12;
        if (!rMask || !gMask || !bMask)
            Invalid("empty colour masks");
    } else if (bitCount == 16) {
        rMask = 0x7C00, gMask = 0x03E0, bMask = 0x001F;
    } else if (bitCount == 32) {
        rMask = 0x00FF0000, gMask = 0x0000FF00, bMask = 0x000000FF;
    }

    std::vector<uint32_t> palette;
    if (bitCount <= 8) {
        uint32_t maxColors = 1u << bitCount;
        uint32_t n = colorsUsed ? colorsUsed : maxColors;
        if (n > maxColors)
            Invalid("too many palette entries");
        size_t entry = core ? 3 : 4;
        in.Need(pos, n * entry);
        for (uint32_t i = 0; i < n; ++i) {
            const uint8_t* p = in.At(pos + i * entry);
            palette.push_back(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
        }
        pos += n * entry;
    }
    if (offBits < 14 + headerSize || offBits > size)
        Invalid("the pixel data offset is wrong");

    TPixelFormat format;
    bool generic = false; // pixels through masks into 32 bits
    switch (bitCount) {
    case 1:
        format = pf1bit;
        break;
    case 4:
        format = pf4bit;
        break;
    case 8:
        format = pf8bit;
        break;
    case 16:
        if (rMask == 0x7C00 && gMask == 0x03E0 && bMask == 0x001F)
            format = pf15bit;
        else if (rMask == 0xF800 && gMask == 0x07E0 && bMask == 0x001F)
            format = pf16bit;
        else
            format = pf32bit, generic = true;
        break;
    case 24:
        format = pf24bit;
        break;
    default:
        format = pf32bit;
        generic = !(rMask == 0x00FF0000 && gMask == 0x0000FF00 && bMask == 0x000000FF);
        break;
    }
    size_t rowBytes = TDib::RowBytes(static_cast<int>(width), bitCount == 16   ? pf16bit
                                                              : bitCount == 32 ? pf32bit
                                                                               : format);
    // The rows must be there before the picture is made: a few header bytes must not claim a gigabyte.
    if (!rle)
        in.Need(offBits, rowBytes * static_cast<size_t>(height));
    TDib dib(static_cast<int>(width), static_cast<int>(height), format);
    if (bitCount <= 8) {
        // Indices beyond a short palette show as black rather than reading past it.
        palette.resize(size_t(1) << bitCount, 0);
        dib.Palette = palette;
    }
    if (rle) {
        DecodeRle(in, offBits, dib, compression == BI_RLE4);
        return dib;
    }
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = in.At(offBits + rowBytes * static_cast<size_t>(topDown ? y : height - 1 - y));
        uint8_t* dst = dib.Row(y);
        if (!generic) {
            std::memcpy(dst, src, std::min<size_t>(rowBytes, dib.Stride));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            uint32_t v = bitCount == 16 ? uint32_t(src[2 * x] | src[2 * x + 1] << 8)
                                        : uint32_t(src[4 * x]) | uint32_t(src[4 * x + 1]) << 8 |
                                              uint32_t(src[4 * x + 2]) << 16 | uint32_t(src[4 * x + 3]) << 24;
            uint8_t* p = dst + 4 * x;
            p[0] = uint8_t(Expand(v, bMask));
            p[1] = uint8_t(Expand(v, gMask));
            p[2] = uint8_t(Expand(v, rMask));
            p[3] = aMask ? uint8_t(Expand(v, aMask)) : 0xFF;
        }
    }
    return dib;
}

std::vector<uint8_t> WriteBmp(const TDib& dib) {
    int bits = BitsPerPixel(dib.Format);
    if (bits == 15)
        bits = 16;
    bool fields = dib.Format == pf16bit;
    size_t paletteCount = bits <= 8 ? (size_t(1) << bits) : 0;
    size_t rowBytes = TDib::RowBytes(dib.Width, dib.Format);
    size_t header = 14 + 40 + (fields ? 12 : 0) + paletteCount * 4;
    size_t imageSize = rowBytes * dib.Height;
    std::vector<uint8_t> out;
    out.reserve(header + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<uint32_t>(header + imageSize));
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(header));
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(dib.Width));
    Put32(out, static_cast<uint32_t>(dib.Height));
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(bits));
    Put32(out, fields ? BI_BITFIELDS : BI_RGB);
    Put32(out, static_cast<uint32_t>(imageSize));
    Put32(out, 3780); // 96 DPI in pixels per metre
    Put32(out, 3780);
    Put32(out, static_cast<uint32_t>(paletteCount));
    Put32(out, 0);
    if (fields) {
        Put32(out, 0xF800);
        Put32(out, 0x07E0);
        Put32(out, 0x001F);
    }
    for (size_t i = 0; i < paletteCount; ++i)
        Put32(out, i < dib.Palette.size() ? dib.Palette[i] & 0x00FFFFFF : 0);
    for (int y = dib.Height - 1; y >= 0; --y) {
        const uint8_t* row = dib.Row(y);
        out.insert(out.end(), row, row + rowBytes);
    }
    return out;
}

} // namespace plat
