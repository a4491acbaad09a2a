// Icons: an .ico file holds the same picture at several sizes and depths, each stored as a BMP (colours
// plus a one-bit transparency mask) or as a PNG. TIcon keeps every entry and shows the one that suits the
// size asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gfx/Graphic.h"
#include "platform/gfx/PixelImage.h"

namespace plat {

struct TIconEntry {
    TPixelImage Image; // straight alpha; masked-out pixels are fully transparent
    int BitCount = 32;
    bool Png = false;
    std::vector<uint8_t> Data; // the entry as stored in the file
};

// Reads every entry; raises EInvalidGraphic for truncated, inconsistent or oversized data and never
// reads outside the buffer.
std::vector<TIconEntry> ReadIco(const uint8_t* data, size_t size);
std::vector<uint8_t> WriteIco(const std::vector<TIconEntry>& entries);
bool IsIcoSignature(const uint8_t* data, size_t size);

class TIcon : public TGraphic {
    PLAT_CLASS(TIcon)
public:
    TIcon();

    // The size of the entry that suits the requested size best (32 x 32 unless set).
    int Width() const override;
    int Height() const override;
    // Ask for another size: the entry closest to it is shown from then on.
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    void SetSize(int width, int height);
    bool Empty() const override { return FEntries.empty(); }
    // Draws the entry that suits rect best, stretched to it and blended by its transparency.
    void Draw(TCanvas& canvas, const TRect& rect) override;

    // Raises EInvalidGraphic for anything that is not a valid icon file.
    void LoadFromStream(TStream& stream) override;
    // Entries loaded from a file are written back as they were. An empty icon raises
    // EInvalidGraphicOperation.
    void SaveToStream(TStream& stream) override;
    std::unique_ptr<TGraphic> CreateEmpty() const override { return std::make_unique<TIcon>(); }
    void Assign(TPersistent* source) override;

    int EntryCount() const { return static_cast<int>(FEntries.size()); }
    const TIconEntry& Entry(int index) const;
    // The entry to show at width x height: the smallest at least that large, else the largest; of
    // equal sizes the deepest. -1 for an empty icon.
    int BestEntry(int width, int height) const;
    // Adds a picture as a new entry, stored as PNG or as a 32-bit BMP with its mask.
    void AddImage(const TPixelImage& image, bool asPng);
    void Clear();

protected:
    // To a bitmap of the entry shown at the requested size.
    void AssignTo(TPersistent* dest) override;

private:
    const TIconEntry* Current() const;
    std::vector<TIconEntry> FEntries;
    int FRequestedWidth = 32;
    int FRequestedHeight = 32;
};

} // namespace plat
