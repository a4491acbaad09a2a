#include "platform/gfx/Bitmap.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/gfx/Canvas.h"
#include "platform/gfx/GfxTestUtil.h"

using namespace plat;

namespace {

// A picture with every primary, black, white and greys, which every format keeps (4 bits and up: the
// classic palette has them all; 1 bit keeps black and white).
void Paint(TBitmap& b) {
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, b.Width(), b.Height()));
    TColor colors[] = {clBlack, clRed, clLime, clBlue, clYellow, clAqua, clFuchsia, clGray};
    for (int i = 0; i < 8; ++i) {
        c->Brush()->SetColor(colors[i]);
        c->FillRect(TRect(i * 3, 0, i * 3 + 3, 5));
    }
}

std::vector<uint8_t> Bytes(TBitmap& b) {
    TMemoryStream m;
    b.SaveToStream(m);
    return m.Bytes();
}

void Load(TBitmap& b, const std::vector<uint8_t>& bytes) {
    TMemoryStream m;
    if (!bytes.empty())
        m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    m.SetPosition(0);
    b.LoadFromStream(m);
}

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = uint8_t(x >> (8 * i));
}

} // namespace

TEST(Bitmap, BmpRoundTripsKeepPixelsInEveryFormat) {
    struct Case {
        TPixelFormat format;
        int bits;
        bool colours; // keeps the primaries
    } cases[] = {{pf1bit, 1, false},  {pf4bit, 4, true},   {pf8bit, 8, true},  {pf15bit, 16, true},
                 {pf16bit, 16, true}, {pf24bit, 24, true}, {pf32bit, 32, true}};
    for (auto& c : cases) {
        TBitmap b(25, 7);
        Paint(b);
        b.SetPixelFormat(c.format);
        auto bytes = Bytes(b);
        ASSERT_GT(bytes.size(), 54u);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[28] | bytes[29] << 8, c.bits);
        TBitmap back;
        Load(back, bytes);
        EXPECT_EQ(back.PixelFormat(), c.format);
        ASSERT_EQ(back.Width(), 25);
        ASSERT_EQ(back.Height(), 7);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 25; ++x)
                ASSERT_EQ(back.Canvas()->Pixels(x, y), b.Canvas()->Pixels(x, y))
                    << c.bits << " at " << x << "," << y;
        EXPECT_EQ(back.Canvas()->Pixels(24, 6), clWhite);
        EXPECT_EQ(back.Canvas()->Pixels(0, 0), clBlack);
        if (c.colours) {
            EXPECT_EQ(back.Canvas()->Pixels(3, 0), clRed) << c.bits;
            EXPECT_EQ(back.Canvas()->Pixels(9, 0), clBlue) << c.bits;
        }
    }
}

TEST(Bitmap, ScanLinesAndCanvasSeeEachOther) {
    TBitmap b(4, 2, pf24bit);
    uint8_t* row = b.ScanLine(1);
    row[0] = 0x10; // blue
    row[1] = 0x20; // green
    row[2] = 0x30; // red
    EXPECT_EQ(b.Canvas()->Pixels(0, 1), RGB(0x30, 0x20, 0x10));
    b.Canvas()->SetPixels(3, 0, RGB(1, 2, 3));
    EXPECT_EQ(b.ScanLine(0)[9], 3);
    EXPECT_EQ(b.ScanLine(0)[11], 1);
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);

    // An 8-bit bitmap stores palette indices and draws with the nearest palette colour.
    TBitmap p(2, 1, pf8bit);
    p.ScanLine(0)[1] = 5; // cube entry: blue 5 * 51
    EXPECT_EQ(p.Canvas()->Pixels(1, 0), RGB(0, 0, 255));
    p.Canvas()->SetPixels(0, 0, RGB(250, 2, 3));
    EXPECT_EQ(p.Canvas()->Pixels(0, 0), RGB(250, 2, 3)); // the surface keeps the drawn colour
    EXPECT_EQ(p.Dib().GetPixel(0, 0), 0xFF0000u);        // the rows hold the nearest entry

    TBitmap m(3, 1);
    m.SetMonochrome(true);
    EXPECT_EQ(m.PixelFormat(), pf1bit);
    m.Canvas()->Pen()->SetColor(clYellow);
    m.Canvas()->MoveTo(0, 0);
    m.Canvas()->LineTo(3, 0);
    EXPECT_EQ(m.Canvas()->Pixels(1, 0), clWhite);
}

TEST(Bitmap, MalformedFilesAreRefusedCleanly) {
    TBitmap good(5, 3, pf24bit);
    Paint(good);
    auto bytes = Bytes(good);
    std::vector<std::pair<const char*, std::vector<uint8_t>>> bad;
    bad.push_back({"empty", {}});
    bad.push_back({"not bmp", std::vector<uint8_t>(60, 'x')});
    auto cut = bytes;
    cut.resize(bytes.size() - 5);
    bad.push_back({"truncated pixels", cut});
    auto header = bytes;
    header.resize(30);
    bad.push_back({"truncated header", header});
    auto offset = bytes;
    Put32(offset, 10, 0x7FFFFFF0);
    bad.push_back({"offset beyond the file", offset});
    auto early = bytes;
    Put32(early, 10, 20);
    bad.push_back({"offset inside the header", early});
    auto huge = bytes;
    Put32(huge, 18, 1000000);
    Put32(huge, 22, 1000000);
    bad.push_back({"huge dimensions", huge});
    auto tall = bytes;
    Put32(tall, 22, 300);
    bad.push_back({"lying height", tall});
    auto zero = bytes;
    Put32(zero, 18, 0);
    bad.push_back({"zero width", zero});
    auto depth = bytes;
    depth[28] = 7;
    bad.push_back({"bad depth", depth});
    auto hdr = bytes;
    Put32(hdr, 14, 0xFFFFFFFF);
    bad.push_back({"bad header size", hdr});

    TBitmap pal(4, 4, pf8bit);
    auto palBytes = Bytes(pal);
    Put32(palBytes, 46, 100000);
    bad.push_back({"palette larger than the depth allows", palBytes});

    for (auto& [name, data] : bad) {
        TBitmap b(2, 2);
        EXPECT_THROW(Load(b, data), EInvalidGraphic) << name;
        EXPECT_EQ(b.Width(), 2) << name; // a failed load leaves the bitmap as it was
    }
}

TEST(Bitmap, ReadsRunLengthEncodedAndTopDownFiles) {
    auto file = [](int bits, int compression, int height, std::vector<uint8_t> palette,
                   std::vector<uint8_t> pixels) {
        std::vector<uint8_t> f(54, 0);
        f[0] = 'B';
        f[1] = 'M';
        Put32(f, 10, static_cast<uint32_t>(54 + palette.size()));
        Put32(f, 14, 40);
        Put32(f, 18, 4);
        Put32(f, 22, static_cast<uint32_t>(height));
        f[26] = 1;
        f[28] = uint8_t(bits);
        Put32(f, 30, static_cast<uint32_t>(compression));
        Put32(f, 46, static_cast<uint32_t>(palette.size() / 4));
        f.insert(f.end(), palette.begin(), palette.end());
        f.insert(f.end(), pixels.begin(), pixels.end());
        Put32(f, 2, static_cast<uint32_t>(f.size()));
        return f;
    };
    std::vector<uint8_t> pal = {0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}; // black, red, blue
    // RLE8, bottom row first: row 1 (bottom) = 1 1 2 2 via runs; row 0 (top) = 2 0 1 0 absolute.
    TBitmap b;
    Load(b, file(8, 1, 2, pal, {2, 1, 2, 2, 0, 0, 0, 4, 2, 0, 1, 0, 0, 1}));
    EXPECT_EQ(b.Canvas()->Pixels(0, 1), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(3, 1), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(2, 0), clRed);
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    // RLE4: a run of four alternating nibbles 1,2 then end of bitmap.
    Load(b, file(4, 2, 1, pal, {4, 0x12, 0, 1}));
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(1, 0), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(3, 0), clBlue);
    // A run past the picture, or data that stops mid-stream, is refused.
    EXPECT_THROW(Load(b, file(8, 1, 1, pal, {9, 1, 0, 1})), EInvalidGraphic);
    EXPECT_THROW(Load(b, file(8, 1, 1, pal, {0, 4, 1})), EInvalidGraphic);
    // Top-down rows (negative height).
    Load(b, file(8, 0, -2, pal, {1, 1, 1, 1, 2, 2, 2, 2}));
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(0, 1), clBlue);
}

TEST(Bitmap, TransparencyAssignAndFiles) {
    TBitmap src(4, 4, pf24bit);
    src.Canvas()->Brush()->SetColor(clFuchsia);
    src.Canvas()->FillRect(TRect(0, 0, 4, 4));
    src.Canvas()->SetPixels(1, 1, clBlue);
    EXPECT_EQ(src.TransparentColor(), clFuchsia); // bottom-left pixel
    src.SetTransparent(true);

    TBitmap dst(4, 4);
    dst.Canvas()->Brush()->SetColor(clWhite);
    dst.Canvas()->FillRect(TRect(0, 0, 4, 4));
    dst.Canvas()->Draw(0, 0, &src);
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 1), clBlue);

    TBitmap copy;
    int changes = 0;
    copy.OnChange = [&](TObject*) { ++changes; };
    copy.Assign(&src);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.PixelFormat(), pf24bit);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.Canvas()->Pixels(1, 1), clBlue);

    std::string dir = gfxtest::OutputDir();
    std::string path = dir + "/roundtrip-test.bmp";
    src.SaveToFile(path);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp~"));
    TPicture pic;
    pic.LoadFromFile(path);
    ASSERT_NE(pic.Graphic(), nullptr);
    EXPECT_TRUE(pic.Graphic()->Is<TBitmap>());
    EXPECT_EQ(pic.Width(), 4);
    EXPECT_EQ(pic.Bitmap()->Canvas()->Pixels(1, 1), clBlue);
    std::remove(path.c_str());
    EXPECT_THROW(pic.LoadFromFile(dir + "/picture.xyz"), EInvalidGraphic);
    EXPECT_THROW(src.SaveToFile(dir + "/no-such-folder/x.bmp"), EStreamError);
    EXPECT_NE(TPicture::FileFilter().find("*.bmp"), std::string::npos);
}
