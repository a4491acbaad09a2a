#include "platform/gfx/PngImage.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/CodecTestUtil.h"

using namespace plat;
using namespace codectest;

namespace {

// ---- A small independent PNG writer, so the reader is checked against files libpng did not make ----

void PutBE32(TBytes& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(uint8_t(v >> s));
}

void PutChunk(TBytes& file, const char* type, const TBytes& data) {
    PutBE32(file, static_cast<uint32_t>(data.size()));
    size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    uint32_t crc = crc32(0, file.data() + start, static_cast<uInt>(file.size() - start));
    PutBE32(file, crc);
}

using TSamples = std::function<std::vector<unsigned>(int x, int y)>;

struct TPngCase {
    const char* Name;
    int Width, Height, Depth, ColorType;
    bool Interlaced;
    TSamples Samples;
    TBytes Palette, Transparency;
    std::function<uint32_t(int x, int y)> Expected; // 0xAARRGGBB
};

// Filter type 0 rows; Adam7 sub-images when interlaced.
TBytes MakePng(const TPngCase& pc) {
    TBytes raw;
    auto addRows = [&](int x0, int y0, int dx, int dy) {
        if (x0 >= pc.Width || y0 >= pc.Height)
            return;
        for (int y = y0; y < pc.Height; y += dy) {
            raw.push_back(0);
            uint32_t acc = 0;
            int bits = 0;
            for (int x = x0; x < pc.Width; x += dx)
                for (unsigned v : pc.Samples(x, y)) {
                    if (pc.Depth == 16) {
                        raw.push_back(uint8_t(v >> 8));
                        raw.push_back(uint8_t(v));
                        continue;
                    }
                    acc = acc << pc.Depth | v;
                    bits += pc.Depth;
                    if (bits == 8) {
                        raw.push_back(uint8_t(acc));
                        acc = 0;
                        bits = 0;
                    }
                }
            if (bits)
                raw.push_back(uint8_t(acc << (8 - bits)));
        }
    };
    if (pc.Interlaced) {
        static const int pass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                       {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        for (auto& p : pass)
            addRows(p[0], p[1], p[2], p[3]);
    } else {
        addRows(0, 0, 1, 1);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    TBytes packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);

    TBytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    TBytes ihdr;
    PutBE32(ihdr, static_cast<uint32_t>(pc.Width));
    PutBE32(ihdr, static_cast<uint32_t>(pc.Height));
    ihdr.insert(ihdr.end(), {uint8_t(pc.Depth), uint8_t(pc.ColorType), 0, 0, uint8_t(pc.Interlaced)});
    PutChunk(file, "IHDR", ihdr);
    if (!pc.Palette.empty())
        PutChunk(file, "PLTE", pc.Palette);
    if (!pc.Transparency.empty())
        PutChunk(file, "tRNS", pc.Transparency);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});
    return file;
}

uint32_t Grey(unsigned v, unsigned a = 255) {
    return a << 24 | v << 16 | v << 8 | v;
}
uint32_t Argb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return a << 24 | r << 16 | g << 8 | b;
}

TBytes Palette16() {
    TBytes p;
    for (int i = 0; i < 16; ++i)
        p.insert(p.end(), {uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 5)});
    return p;
}

TBytes Palette256() {
    TBytes p;
    for (int i = 0; i < 256; ++i)
        p.insert(p.end(), {uint8_t(i), uint8_t(i * 3), uint8_t(255 - i)});
    return p;
}

std::vector<TPngCase> Cases() {
    return {
        {"grey 1-bit",
         9,
         3,
         1,
         0,
         false,
         [](int x, int y) { return std::vector<unsigned>{unsigned(x + y) % 2}; },
         {},
         {},
         [](int x, int y) { return Grey((x + y) % 2 ? 255 : 0); }},
        {"grey 8-bit with transparent grey",
         3,
         2,
         8,
         0,
         false,
         [](int x, int y) { return std::vector<unsigned>{unsigned(x * 7)}; },
         {},
         {0, 7},
         [](int x, int y) { return Grey(x * 7, x == 1 ? 0 : 255); }},
        {"grey 16-bit",
         5,
         2,
         16,
         0,
         false,
         [](int x, int y) { return std::vector<unsigned>{unsigned(x * 16000 + y * 100)}; },
         {},
         {},
         [](int x, int y) { return Grey(unsigned(x * 16000 + y * 100) >> 8); }},
        {"grey and alpha 8-bit",
         3,
         3,
         8,
         4,
         false,
         [](int x, int y) {
             return std::vector<unsigned>{unsigned(x * 80), unsigned(y * 100)};
         },
         {},
         {},
         [](int x, int y) { return Grey(x * 80, y * 100); }},
        {"palette 4-bit with alpha entries",
         5,
         3,
         4,
         3,
         false,
         [](int x, int y) { return std::vector<unsigned>{unsigned(x + y * 5) % 16}; },
         Palette16(),
         {0, 128},
         [](int x, int y) {
             unsigned i = unsigned(x + y * 5) % 16;
             return Argb(i == 0 ? 0 : i == 1 ? 128 : 255, i * 16, 255 - i * 16, i * 5);
         }},
        {"RGBA 16-bit",
         4,
         2,
         16,
         6,
         false,
         [](int x, int y) {
             return std::vector<unsigned>{unsigned(x * 20000), unsigned(y * 30000),
                                          unsigned(65535 - x * 10000), unsigned(40000 + y * 10000)};
         },
         {},
         {},
         [](int x, int y) {
             return Argb((40000 + y * 10000) >> 8, (x * 20000) >> 8, (y * 30000) >> 8,
                         (65535 - x * 10000) >> 8);
         }},
        {"RGB 8-bit interlaced",
         11,
         9,
         8,
         2,
         true,
         [](int x, int y) {
             return std::vector<unsigned>{unsigned(x * 20), unsigned(y * 25), unsigned(x * y) % 256};
         },
         {},
         {},
         [](int x, int y) { return Argb(255, x * 20, y * 25, (x * y) % 256); }},
        {"palette 8-bit interlaced",
         10,
         10,
         8,
         3,
         true,
         [](int x, int y) { return std::vector<unsigned>{unsigned(x * 25 + y)}; },
         Palette256(),
         {},
         [](int x, int y) {
             unsigned i = unsigned(x * 25 + y);
             return Argb(255, i, (i * 3) & 0xFF, 255 - i);
         }},
    };
}

TBytes Encode(const TPixelImage& image) {
    return WritePng(image);
}

} // namespace

TEST(PngRead, DecodesEveryColourTypeDepthAndInterlacing) {
    for (const TPngCase& pc : Cases()) {
        SCOPED_TRACE(pc.Name);
        TBytes file = MakePng(pc);
        TPixelImage image = ReadPng(file.data(), file.size());
        ASSERT_EQ(image.Width, pc.Width);
        ASSERT_EQ(image.Height, pc.Height);
        for (int y = 0; y < pc.Height; ++y)
            for (int x = 0; x < pc.Width; ++x)
                // 16-bit samples may round either way on their way to 8 bits.
                ASSERT_LE(ChannelDistance(image.At(x, y), pc.Expected(x, y)), 1)
                    << std::hex << image.At(x, y) << " vs " << pc.Expected(x, y) << " at " << std::dec << x
                    << "," << y;
    }
}

TEST(PngImage, RoundTripsAlphaAsRgbaAndOpaquePicturesAsRgb) {
    for (bool alpha : {true, false}) {
        SCOPED_TRACE(alpha ? "RGBA" : "RGB");
        TPngImage png;
        png.SetImage(Gradient(13, 7, alpha));
        EXPECT_EQ(png.Transparent(), alpha);
        TMemoryStream stream;
        png.SaveToStream(stream);
        // Colour type in the header: 6 is RGBA, 2 is RGB.
        ASSERT_GT(stream.Size(), 26);
        EXPECT_EQ(stream.Bytes()[25], alpha ? 6 : 2);

        stream.SetPosition(0);
        TPngImage back;
        back.LoadFromStream(stream);
        ASSERT_EQ(back.Width(), 13);
        ASSERT_EQ(back.Height(), 7);
        EXPECT_EQ(back.Image().Pixels, png.Image().Pixels);
        EXPECT_EQ(back.Transparent(), alpha);
    }
}

TEST(PngImage, DrawingBlendsByAlphaAndStretches) {
    TPixelImage image(3, 1);
    image.Row(0)[0] = 0x00FF0000; // transparent red
    image.Row(0)[1] = 0x80FF0000; // half red
    image.Row(0)[2] = 0xFFFF0000; // red
    TBytes file = WritePng(image);
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
    stream.SetPosition(0);
    TPngImage png;
    png.LoadFromStream(stream);
    ASSERT_TRUE(png.Transparent());

    TBitmap bitmap(6, 2);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(TRect(0, 0, 6, 2));
    canvas->StretchDraw(TRect(0, 0, 6, 2), &png);
    auto near = [](TColor a, TColor b) { return ChannelDistance(uint32_t(a), uint32_t(b)) <= 2; };
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(canvas->Pixels(0, y), clWhite);
        EXPECT_EQ(canvas->Pixels(1, y), clWhite);
        EXPECT_TRUE(near(canvas->Pixels(2, y), RGB(255, 127, 127))) << std::hex << canvas->Pixels(2, y);
        EXPECT_TRUE(near(canvas->Pixels(3, y), RGB(255, 127, 127)));
        EXPECT_EQ(canvas->Pixels(5, y), clRed);
    }

    // Without transparency the colours are copied as they are.
    png.SetTransparent(false);
    canvas->FillRect(TRect(0, 0, 6, 2));
    canvas->Draw(0, 0, &png);
    EXPECT_EQ(canvas->Pixels(0, 0), clRed);
}

TEST(PngImage, AssignsFromAndToBitmaps) {
    TBitmap source(4, 3);
    source.Canvas()->Brush()->SetColor(clBlue);
    source.Canvas()->FillRect(TRect(0, 0, 4, 3));
    source.Canvas()->SetPixels(1, 1, clLime);
    TPngImage png;
    png.Assign(&source);
    ASSERT_EQ(png.Width(), 4);
    EXPECT_EQ(png.Image().At(1, 1), 0xFF00FF00u);
    EXPECT_EQ(png.Image().At(0, 0), 0xFF0000FFu);
    EXPECT_FALSE(png.Transparent());

    TBitmap back;
    back.Assign(&png);
    ASSERT_EQ(back.Width(), 4);
    EXPECT_EQ(back.Canvas()->Pixels(1, 1), clLime);
    EXPECT_EQ(back.Canvas()->Pixels(3, 2), clBlue);
}

TEST(PngRead, RefusesTruncatedCorruptAndLyingFiles) {
    TDecode decode = [](const uint8_t* d, size_t n) { ReadPng(d, n); };
    TBytes alpha = Encode(Gradient(6, 5, true));
    ExpectEveryTruncationRejected(alpha, decode);
    TBytes interlaced = MakePng(Cases()[6]);
    ExpectEveryTruncationRejected(interlaced, decode);
    EXPECT_GT(ExpectCorruptionHandled(interlaced, decode), 0);
    ExpectNoiseRejected({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, decode);

    // Sizes in the header that the data does not back, with checksums that agree.
    struct TLie {
        uint32_t Width, Height;
        const char* Message;
    };
    for (TLie lie :
         {TLie{30000, 30000, "too large"}, TLie{0x7FFFFFFF, 1, ""}, TLie{11, 90, ""}, TLie{0, 9, ""}}) {
        TPngCase pc = Cases()[6];
        TBytes file = MakePng(pc);
        TBytes head;
        PutBE32(head, lie.Width);
        PutBE32(head, lie.Height);
        std::copy(head.begin(), head.end(), file.begin() + 16);
        uint32_t crc = crc32(0, file.data() + 12, 17);
        TBytes crcBytes;
        PutBE32(crcBytes, crc);
        std::copy(crcBytes.begin(), crcBytes.end(), file.begin() + 29);
        SCOPED_TRACE(std::to_string(lie.Width) + " x " + std::to_string(lie.Height));
        try {
            ReadPng(file.data(), file.size());
            ADD_FAILURE() << "accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(std::string(e.Message()).find(lie.Message), std::string::npos) << e.Message();
            EXPECT_EQ(std::string(e.Message()).rfind("PNG image is not valid: ", 0), 0u);
        }
    }
}

TEST(PngImage, StreamErrorsLeaveThePictureAsItWas) {
    TPngImage png;
    png.SetImage(Gradient(2, 2, false));
    TMemoryStream empty;
    EXPECT_THROW(png.LoadFromStream(empty), EInvalidGraphic);
    TMemoryStream junk;
    junk.WriteString("not a picture at all");
    junk.SetPosition(0);
    EXPECT_THROW(png.LoadFromStream(junk), EInvalidGraphic);
    EXPECT_EQ(png.Width(), 2);

    TPngImage nothing;
    TMemoryStream out;
    EXPECT_THROW(nothing.SaveToStream(out), EInvalidGraphicOperation);
}
