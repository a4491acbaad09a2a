// The icon container. BMP entries are a BMP without its file header, twice as high as the picture: the
// colour rows come first, then a one-bit mask (1 = transparent); both run bottom-up. The colour part is
// read by the BMP reader behind a made-up file header, so every depth it knows is checked the same way.
#include "platform/gfx/Icon.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/PngImage.h"

namespace plat {

PLAT_CLASS_INFO(TIcon, TGraphic)

namespace {

[[noreturn]] void Invalid(const std::string& why) {
    throw EInvalidGraphic("Icon image is not valid: " + why);
}

uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}
void Set32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

TIconEntry ReadBmpEntry(const uint8_t* data, size_t size) {
    if (size < 40)
        Invalid("the file is truncated");
    uint32_t headerSize = U32(data);
    if (headerSize < 40 || headerSize > size)
        Invalid("unknown header");
    int32_t width = static_cast<int32_t>(U32(data + 4));
    int32_t height = static_cast<int32_t>(U32(data + 8));
    int bitCount = U16(data + 14);
    uint32_t compression = U32(data + 16);
    uint32_t colorsUsed = U32(data + 32);
    if (width <= 0 || height <= 0 || height % 2 != 0)
        Invalid("bad dimensions");
    if (compression != 0)
        Invalid("unsupported compression");
    int32_t imageHeight = height / 2;
    if (width > (1 << 16) || imageHeight > (1 << 16))
        Invalid("the picture is too large");
    if (bitCount <= 8 && colorsUsed > (1u << bitCount))
        Invalid("too many palette entries");
    uint64_t paletteBytes = bitCount <= 8 ? uint64_t(colorsUsed ? colorsUsed : 1u << bitCount) * 4 : 0;
    uint64_t colorOffset = headerSize + paletteBytes;
    uint64_t colorBytes = uint64_t((int64_t(width) * bitCount + 31) / 32 * 4) * imageHeight;
    uint64_t maskRow = uint64_t(width + 31) / 32 * 4;
    uint64_t maskOffset = colorOffset + colorBytes;
    bool hasMask = maskOffset <= size && maskRow * imageHeight <= size - maskOffset;
    if (colorOffset > size)
        Invalid("the file is truncated");

    // The colour part as a BMP file of the picture's own height; the reader checks it against the buffer.
    std::vector<uint8_t> file;
    file.reserve(14 + size);
    file.push_back('B');
    file.push_back('M');
    Put32(file, static_cast<uint32_t>(14 + size));
    Put32(file, 0);
    Put32(file, static_cast<uint32_t>(14 + colorOffset));
    file.insert(file.end(), data, data + size);
    Set32(file.data() + 14 + 8, static_cast<uint32_t>(imageHeight));
    TDib dib = ReadBmp(file.data(), file.size());
    if (!hasMask && bitCount != 32)
        Invalid("the transparency mask is missing");

    TIconEntry entry;
    entry.BitCount = bitCount;
    entry.Data.assign(data, data + size);
    entry.Image = TPixelImage(dib.Width, dib.Height);
    bool alpha = false;
    if (bitCount == 32)
        for (int y = 0; y < dib.Height && !alpha; ++y)
            for (int x = 0; x < dib.Width && !alpha; ++x)
                alpha = dib.Row(y)[4 * x + 3] != 0;
    for (int y = 0; y < dib.Height; ++y) {
        uint32_t* out = entry.Image.Row(y);
        const uint8_t* mask =
            hasMask ? data + maskOffset + maskRow * static_cast<uint64_t>(dib.Height - 1 - y) : nullptr;
        for (int x = 0; x < dib.Width; ++x) {
            uint32_t a;
            if (alpha)
                a = dib.Row(y)[4 * x + 3];
            else if (mask)
                a = (mask[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
            else
                a = 255;
            out[x] = a << 24 | dib.GetPixel(x, y);
        }
    }
    return entry;
}

// A 32-bit BMP entry: straight alpha in the colour rows, and the mask for programs that ignore alpha.
std::vector<uint8_t> WriteBmpEntry(const TPixelImage& image) {
    uint32_t maskRow = uint32_t(image.Width + 31) / 32 * 4;
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(image.Width));
    Put32(out, static_cast<uint32_t>(image.Height * 2));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>((size_t(image.Width) * 4 + maskRow) * image.Height));
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    for (int y = image.Height - 1; y >= 0; --y)
        for (int x = 0; x < image.Width; ++x)
            Put32(out, image.At(x, y));
    for (int y = image.Height - 1; y >= 0; --y) {
        size_t start = out.size();
        out.resize(start + maskRow, 0);
        for (int x = 0; x < image.Width; ++x)
            if ((image.At(x, y) >> 24) == 0)
                out[start + x / 8] |= uint8_t(0x80 >> (x % 8));
    }
    return out;
}

} // namespace

bool IsIcoSignature(const uint8_t* data, size_t size) {
    return size >= 6 && U16(data) == 0 && U16(data + 2) == 1 && U16(data + 4) > 0;
}

std::vector<TIconEntry> ReadIco(const uint8_t* data, size_t size) {
    if (!IsIcoSignature(data, size))
        Invalid("not an icon file");
    size_t count = U16(data + 4);
    if (6 + 16 * count > size)
        Invalid("the file is truncated");
    std::vector<TIconEntry> entries;
    // Each entry keeps its bytes, so entries naming the same bytes over and over would make a file
    // cost its size times the count; they may not claim more bytes than the file holds. Pictures are
    // counted too, as a small PNG can still unpack to a large one.
    int64_t pixels = 0;
    uint64_t claimed = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* dir = data + 6 + 16 * i;
        uint32_t bytes = U32(dir + 8), offset = U32(dir + 12);
        if (offset > size || bytes > size - offset)
            Invalid("the file is truncated");
        claimed += bytes;
        if (claimed > size)
            Invalid("the pictures claim more bytes than the file holds");
        const uint8_t* entryData = data + offset;
        if (IsPngSignature(entryData, bytes)) {
            TIconEntry entry;
            entry.Image = ReadPng(entryData, bytes);
            entry.Png = true;
            entry.Data.assign(entryData, entryData + bytes);
            entries.push_back(std::move(entry));
        } else {
            try {
                entries.push_back(ReadBmpEntry(entryData, bytes));
            } catch (const EInvalidGraphic& e) {
                // The BMP reader speaks of bitmaps; this is an icon.
                std::string message = e.Message();
                size_t colon = message.find(": ");
                Invalid(colon == std::string::npos ? message : message.substr(colon + 2));
            }
        }
        pixels += int64_t(entries.back().Image.Width) * entries.back().Image.Height;
        if (pixels > TImageSurface::MaxPixels)
            Invalid("the picture is too large");
    }
    return entries;
}

std::vector<uint8_t> WriteIco(const std::vector<TIconEntry>& entries) {
    if (entries.empty())
        throw EInvalidGraphicOperation("Cannot save an empty icon");
    if (entries.size() > 0xFFFF)
        throw EInvalidGraphicOperation("Too many pictures for one icon");
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(entries.size()));
    size_t offset = 6 + 16 * entries.size();
    for (const TIconEntry& e : entries) {
        // Sizes from 256 up are written as 0; readers take the real size from the entry itself.
        out.push_back(uint8_t(e.Image.Width >= 256 ? 0 : e.Image.Width));
        out.push_back(uint8_t(e.Image.Height >= 256 ? 0 : e.Image.Height));
        out.push_back(uint8_t(e.BitCount < 8 ? 1 << e.BitCount : 0));
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<uint32_t>(e.BitCount));
        Put32(out, static_cast<uint32_t>(e.Data.size()));
        Put32(out, static_cast<uint32_t>(offset));
        offset += e.Data.size();
    }
    for (const TIconEntry& e : entries)
        out.insert(out.end(), e.Data.begin(), e.Data.end());
    return out;
}

// ---- TIcon ----

TIcon::TIcon() {
    FTransparent = true;
}

int TIcon::BestEntry(int width, int height) const {
    int best = -1;
    auto better = [&](const TIconEntry& a, const TIconEntry& b) {
        bool aFits = a.Image.Width >= width && a.Image.Height >= height;
        bool bFits = b.Image.Width >= width && b.Image.Height >= height;
        if (aFits != bFits)
            return aFits;
        int64_t areaA = int64_t(a.Image.Width) * a.Image.Height,
                areaB = int64_t(b.Image.Width) * b.Image.Height;
        if (areaA != areaB)
            return aFits ? areaA < areaB : areaA > areaB;
        return a.BitCount > b.BitCount;
    };
    for (size_t i = 0; i < FEntries.size(); ++i)
        if (best < 0 || better(FEntries[i], FEntries[static_cast<size_t>(best)]))
            best = static_cast<int>(i);
    return best;
}

const TIconEntry* TIcon::Current() const {
    int i = BestEntry(FRequestedWidth, FRequestedHeight);
    return i < 0 ? nullptr : &FEntries[static_cast<size_t>(i)];
}

int TIcon::Width() const {
    const TIconEntry* e = Current();
    return e ? e->Image.Width : 0;
}

int TIcon::Height() const {
    const TIconEntry* e = Current();
    return e ? e->Image.Height : 0;
}

void TIcon::SetWidth(int value) {
    SetSize(value, FRequestedHeight);
}
void TIcon::SetHeight(int value) {
    SetSize(FRequestedWidth, value);
}

void TIcon::SetSize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == FRequestedWidth && height == FRequestedHeight)
        return;
    FRequestedWidth = width;
    FRequestedHeight = height;
    Changed();
}

const TIconEntry& TIcon::Entry(int index) const {
    if (index < 0 || index >= EntryCount())
        throw EInvalidGraphicOperation("Icon entry index out of range (" + std::to_string(index) + ")");
    return FEntries[static_cast<size_t>(index)];
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
    int i = BestEntry(std::abs(rect.Width()), std::abs(rect.Height()));
    if (i >= 0)
        DrawPixelImage(canvas, rect, FEntries[static_cast<size_t>(i)].Image, Transparent());
}

void TIcon::LoadFromStream(TStream& stream) {
    std::vector<uint8_t> data = ReadGraphicBytes(stream, "Icon");
    FEntries = ReadIco(data.data(), data.size());
    Changed();
}

void TIcon::SaveToStream(TStream& stream) {
    std::vector<uint8_t> bytes = WriteIco(FEntries);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TIcon::AddImage(const TPixelImage& image, bool asPng) {
    if (image.Empty())
        throw EInvalidGraphicOperation("Cannot add an empty picture to an icon");
    TIconEntry entry;
    entry.Image = image;
    entry.Png = asPng;
    entry.Data = asPng ? WritePng(image) : WriteBmpEntry(image);
    FEntries.push_back(std::move(entry));
    Changed();
}

void TIcon::Clear() {
    if (FEntries.empty())
        return;
    FEntries.clear();
    Changed();
}

void TIcon::Assign(TPersistent* source) {
    if (auto* icon = dynamic_cast<TIcon*>(source)) {
        if (icon != this) {
            FEntries = icon->FEntries;
            FRequestedWidth = icon->FRequestedWidth;
            FRequestedHeight = icon->FRequestedHeight;
            Changed();
        }
        return;
    }
    if (!source) {
        Clear();
        return;
    }
    TGraphic::Assign(source);
}

void TIcon::AssignTo(TPersistent* dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        const TIconEntry* e = Current();
        PixelImageToBitmap(e ? e->Image : TPixelImage(), *bitmap);
        return;
    }
    TGraphic::AssignTo(dest);
}

} // namespace plat
