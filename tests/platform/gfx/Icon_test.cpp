#include "platform/gfx/Icon.h"

#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/CodecTestUtil.h"
#include "platform/gfx/PixelLine.h"

using namespace plat;
using namespace codectest;

namespace {

void Put16(TBytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(TBytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

bool Masked(int x, int y) {
    return (x + y) % 3 == 0;
}

// A classic icon entry: the BMP without its file header, doubled height, then the mask.
TBytes BmpEntry(const TDib& dib, bool withMask = true) {
    TBytes bmp = WriteBmp(dib);
    TBytes entry(bmp.begin() + 14, bmp.end());
    uint32_t doubled = uint32_t(dib.Height * 2);
    for (int i = 0; i < 4; ++i)
        entry[8 + i] = uint8_t(doubled >> (8 * i));
    if (withMask) {
        size_t maskRow = size_t(dib.Width + 31) / 32 * 4;
        for (int y = dib.Height - 1; y >= 0; --y) {
            size_t start = entry.size();
            entry.resize(start + maskRow, 0);
            for (int x = 0; x < dib.Width; ++x)
                if (Masked(x, y))
                    entry[start + x / 8] |= uint8_t(0x80 >> (x % 8));
        }
    }
    return entry;
}

TBytes IcoFile(const std::vector<TBytes>& entries) {
    TBytes file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, uint32_t(entries.size()));
    uint32_t offset = uint32_t(6 + 16 * entries.size());
    for (const TBytes& e : entries) {
        file.insert(file.end(), {16, 16, 0, 0});
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, uint32_t(e.size()));
        Put32(file, offset);
        offset += uint32_t(e.size());
    }
    for (const TBytes& e : entries)
        file.insert(file.end(), e.begin(), e.end());
    return file;
}

TDib Sample(TPixelFormat format, int w = 9, int h = 5) {
    TDib dib(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t rgb = dib.Palette.empty() ? uint32_t(x * 25) << 16 | uint32_t(y * 50) << 8 | 0x33
                                               : dib.Palette[size_t(x + y * 3) % dib.Palette.size()];
            dib.SetPixel(x, y, rgb);
        }
    return dib;
}

TPixelImage Solid(int w, int h, uint32_t argb) {
    TPixelImage image(w, h);
    std::fill(image.Pixels.begin(), image.Pixels.end(), argb);
    return image;
}

TBytes Save(TIcon& icon) {
    TMemoryStream stream;
    icon.SaveToStream(stream);
    return stream.Bytes();
}

void Load(TIcon& icon, const TBytes& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    icon.LoadFromStream(stream);
}

} // namespace

TEST(IconRead, ReadsBmpEntriesOfEveryDepthWithTheirMasks) {
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
        SCOPED_TRACE("bits " + std::to_string(BitsPerPixel(format)));
        TDib dib = Sample(format);
        TBytes file = IcoFile({BmpEntry(dib)});
        std::vector<TIconEntry> entries = ReadIco(file.data(), file.size());
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_FALSE(entries[0].Png);
        EXPECT_EQ(entries[0].BitCount, BitsPerPixel(format));
        const TPixelImage& image = entries[0].Image;
        ASSERT_EQ(image.Width, 9);
        ASSERT_EQ(image.Height, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(image.At(x, y), (Masked(x, y) ? 0u : 0xFF000000u) | dib.GetPixel(x, y))
                    << x << "," << y;
    }
}

TEST(Icon, RoundTripsPngAndBmpEntriesAndKeepsLoadedEntriesAsTheyWere) {
    TIcon icon;
    icon.AddImage(Gradient(48, 48, true), true);
    icon.AddImage(Gradient(16, 16, true), false);
    TBytes file = Save(icon);

    TIcon back;
    Load(back, file);
    ASSERT_EQ(back.EntryCount(), 2);
    EXPECT_TRUE(back.Entry(0).Png);
    EXPECT_FALSE(back.Entry(1).Png);
    EXPECT_EQ(back.Entry(1).BitCount, 32);
    EXPECT_EQ(back.Entry(0).Image.Pixels, Gradient(48, 48, true).Pixels);
    EXPECT_EQ(back.Entry(1).Image.Pixels, Gradient(16, 16, true).Pixels);
    EXPECT_EQ(Save(back), file);

    // Programs that ignore alpha see the mask: set exactly where a pixel is fully transparent.
    TBytes bmpOnly = IcoFile({back.Entry(1).Data});
    TBytes& entry = bmpOnly;
    size_t maskStart = 6 + 16 + 40 + 16 * 16 * 4;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            bool bit = (entry[maskStart + size_t(15 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
            ASSERT_EQ(bit, (Gradient(16, 16, true).At(x, y) >> 24) == 0) << x << "," << y;
        }
}

TEST(Icon, ShowsTheEntryThatSuitsTheSize) {
    TIcon icon;
    icon.AddImage(Solid(16, 16, 0xFFFF0000), false);
    icon.AddImage(Solid(48, 48, 0xFF0000FF), true);
    icon.AddImage(Solid(32, 32, 0xFF00FF00), false);
    EXPECT_EQ(icon.Width(), 32);
    EXPECT_EQ(icon.BestEntry(16, 16), 0);
    EXPECT_EQ(icon.BestEntry(20, 20), 2); // the smallest that is large enough
    EXPECT_EQ(icon.BestEntry(64, 64), 1); // else the largest
    icon.SetSize(16, 16);
    EXPECT_EQ(icon.Height(), 16);

    // Drawn into 16 x 16 the 16 x 16 entry shows, masked pixels let the background through.
    TIcon masked;
    TDib dib = Sample(pf24bit, 16, 16);
    Load(masked, IcoFile({BmpEntry(dib)}));
    TBitmap bitmap(16, 16);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clFuchsia);
    canvas->FillRect(TRect(0, 0, 16, 16));
    canvas->StretchDraw(TRect(0, 0, 16, 16), &masked);
    EXPECT_EQ(canvas->Pixels(0, 0), clFuchsia);
    EXPECT_EQ(uint32_t(ColorToRGB(canvas->Pixels(1, 0))), uint32_t(PixelToColor(dib.GetPixel(1, 0))));

    TIcon empty;
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.BestEntry(32, 32), -1);
    TMemoryStream out;
    EXPECT_THROW(empty.SaveToStream(out), EInvalidGraphicOperation);
}

TEST(IconRead, RefusesTruncatedCorruptAndLyingFiles) {
    TDecode decode = [](const uint8_t* d, size_t n) { ReadIco(d, n); };
    TIcon icon;
    icon.AddImage(Gradient(5, 4, true), true);
    TBytes file = IcoFile({icon.Entry(0).Data, BmpEntry(Sample(pf4bit, 5, 3))});
    ExpectEveryTruncationRejected(file, decode);
    EXPECT_GT(ExpectCorruptionHandled(file, decode), 0);
    ExpectNoiseRejected({0, 0, 1, 0, 1, 0}, decode);

    auto message = [](const TBytes& bytes) {
        try {
            ReadIco(bytes.data(), bytes.size());
        } catch (const EInvalidGraphic& e) {
            return e.Message();
        }
        return std::string("accepted");
    };
    TBytes entry = BmpEntry(Sample(pf8bit, 4, 4));
    struct TLie {
        size_t Offset; // within the entry
        uint32_t Value;
        const char* Message;
    };
    for (TLie lie : {TLie{4, 100000, "the picture is too large"}, TLie{8, 7, "bad dimensions"},
                     TLie{32, 1000, "too many palette entries"}, TLie{0, 41, "unknown header"}}) {
        TBytes bad = entry;
        for (int i = 0; i < 4; ++i)
            bad[lie.Offset + i] = uint8_t(lie.Value >> (8 * i));
        EXPECT_EQ(message(IcoFile({bad})), std::string("Icon image is not valid: ") + lie.Message);
    }
    EXPECT_EQ(message(IcoFile({BmpEntry(Sample(pf8bit, 4, 4), false)})),
              "Icon image is not valid: the transparency mask is missing");
    TBytes farOffset = IcoFile({entry});
    farOffset[6 + 12] = 0xF0; // the entry's offset points past the end
    EXPECT_EQ(message(farOffset), "Icon image is not valid: the file is truncated");

    // Every directory entry naming the same bytes: each would keep its own copy of them.
    TBytes shared = IcoFile({entry, entry, entry});
    for (int i = 1; i < 3; ++i)
        for (int b = 0; b < 4; ++b)
            shared[6 + 16 * i + 12 + b] = shared[6 + 12 + b];
    shared.resize(6 + 16 * 3 + entry.size());
    EXPECT_EQ(message(shared), "Icon image is not valid: the pictures claim more bytes than the file holds");
}
