// A cursor file differs from an icon file in two header words only: its type is 2, and each directory
// entry keeps the hot spot where an icon keeps colour planes and bit depth. So the icon reader does the
// decoding on a copy marked as an icon, and the hot spots are read beside it.
#include "platform/gfx/CursorImage.h"

#include "platform/gfx/Graphic.h"
#include "platform/gfx/Icon.h"

namespace plat {

namespace {

constexpr size_t HeaderSize = 6;
constexpr size_t DirEntrySize = 16;

[[noreturn]] void Invalid(const std::string& why) {
    throw EInvalidGraphic("Cursor image is not valid: " + why);
}

uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

void Set16(uint8_t* p, int v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

struct TCursorEntry {
    TIconEntry Icon;
    TPoint HotSpot;
};

std::vector<TCursorEntry> ReadEntries(const uint8_t* data, size_t size) {
    if (!IsCurSignature(data, size))
        Invalid("not a cursor file");
    const size_t count = U16(data + 4);
    if (HeaderSize + DirEntrySize * count > size)
        Invalid("the file is truncated");
    std::vector<uint8_t> asIcon(data, data + size);
    Set16(asIcon.data() + 2, 1);
    std::vector<TIconEntry> icons;
    try {
        icons = ReadIco(asIcon.data(), asIcon.size());
    } catch (const EInvalidGraphic& e) {
        // The icon reader names icons; the user loaded a cursor.
        const std::string& message = e.Message();
        size_t colon = message.find(": ");
        Invalid(colon == std::string::npos ? message : message.substr(colon + 2));
    }
    if (icons.size() != count)
        Invalid("the picture count does not match the directory");
    std::vector<TCursorEntry> entries;
    entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* dir = data + HeaderSize + DirEntrySize * i;
        TPoint hot(U16(dir + 4), U16(dir + 6));
        const TPixelImage& image = icons[i].Image;
        if (hot.X >= image.Width || hot.Y >= image.Height)
            Invalid("the hot spot lies outside the picture");
        entries.push_back({std::move(icons[i]), hot});
    }
    return entries;
}

} // namespace

bool IsCurSignature(const uint8_t* data, size_t size) {
    return data && size >= HeaderSize && U16(data) == 0 && U16(data + 2) == 2 && U16(data + 4) > 0;
}

std::vector<TCursorPicture> ReadCur(const uint8_t* data, size_t size) {
    std::vector<TCursorPicture> pictures;
    for (TCursorEntry& e : ReadEntries(data, size))
        pictures.push_back({std::move(e.Icon.Image), e.HotSpot});
    return pictures;
}

TCursorPicture DecodeCursor(const uint8_t* data, size_t size, int preferredSize) {
    std::vector<TCursorEntry> entries = ReadEntries(data, size);
    auto better = [&](const TCursorEntry& a, const TCursorEntry& b) {
        const TPixelImage &ia = a.Icon.Image, &ib = b.Icon.Image;
        bool aFits = ia.Width >= preferredSize && ia.Height >= preferredSize;
        bool bFits = ib.Width >= preferredSize && ib.Height >= preferredSize;
        if (aFits != bFits)
            return aFits;
        int64_t areaA = int64_t(ia.Width) * ia.Height, areaB = int64_t(ib.Width) * ib.Height;
        if (areaA != areaB)
            return aFits ? areaA < areaB : areaA > areaB;
        return a.Icon.BitCount > b.Icon.BitCount;
    };
    size_t best = 0;
    for (size_t i = 1; i < entries.size(); ++i)
        if (better(entries[i], entries[best]))
            best = i;
    return {std::move(entries[best].Icon.Image), entries[best].HotSpot};
}

std::vector<uint8_t> WriteCur(const std::vector<TCursorPicture>& pictures) {
    if (pictures.empty())
        throw EInvalidGraphicOperation("Cannot save an empty cursor");
    TIcon icon;
    std::vector<TIconEntry> entries;
    for (const TCursorPicture& p : pictures) {
        if (p.Image.Empty())
            throw EInvalidGraphicOperation("Cannot add an empty picture to a cursor");
        if (p.HotSpot.X < 0 || p.HotSpot.Y < 0 || p.HotSpot.X >= p.Image.Width ||
            p.HotSpot.Y >= p.Image.Height)
            throw EInvalidGraphicOperation("The hot spot of a cursor must lie inside its picture");
        icon.AddImage(p.Image, false);
        entries.push_back(icon.Entry(icon.EntryCount() - 1));
    }
    std::vector<uint8_t> out = WriteIco(entries);
    Set16(out.data() + 2, 2);
    for (size_t i = 0; i < pictures.size(); ++i) {
        uint8_t* dir = out.data() + HeaderSize + DirEntrySize * i;
        Set16(dir + 4, pictures[i].HotSpot.X);
        Set16(dir + 6, pictures[i].HotSpot.Y);
    }
    return out;
}

} // namespace plat
