#include "platform/gfx/JpegImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/CodecTestUtil.h"

using namespace plat;
using namespace codectest;

namespace {

// Greyscale, CMYK and progressive files made straight with the library (its default error handling is
// fine here: the inputs are ours).
TBytes Compress(int w, int h, int components, J_COLOR_SPACE space, bool progressive,
                const std::function<std::vector<uint8_t>(int x, int y)>& sample) {
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(w);
    info.image_height = static_cast<JDIMENSION>(h);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(w * components));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::vector<uint8_t> s = sample(x, y);
            std::copy(s.begin(), s.end(), row.begin() + x * components);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    TBytes out(buffer, buffer + size);
    std::free(buffer);
    jpeg_destroy_compress(&info);
    return out;
}

int WorstDistance(const TPixelImage& a, const TPixelImage& b) {
    int worst = 0;
    for (size_t i = 0; i < a.Pixels.size(); ++i)
        worst = std::max(worst, ChannelDistance(a.Pixels[i], b.Pixels[i]));
    return worst;
}

} // namespace

TEST(JpegImage, RoundTripsColoursWithinTheCompressionError) {
    TPixelImage original = Gradient(40, 24, false);
    TBytes file = WriteJpeg(original, 95);
    TPixelImage back = ReadJpeg(file.data(), file.size());
    ASSERT_EQ(back.Width, 40);
    ASSERT_EQ(back.Height, 24);
    EXPECT_LE(WorstDistance(back, original), 12);
    EXPECT_FALSE(back.HasAlpha());

    // A lower quality gives a smaller file and a larger error.
    TBytes rough = WriteJpeg(original, 10);
    EXPECT_LT(rough.size(), file.size());
    TPixelImage roughBack = ReadJpeg(rough.data(), rough.size());
    EXPECT_GT(WorstDistance(roughBack, original), WorstDistance(back, original));
}

TEST(JpegImage, DecodesGreyProgressiveAndCmykFiles) {
    struct TCase {
        const char* Name;
        int Components;
        J_COLOR_SPACE Space;
        bool Progressive;
        std::function<std::vector<uint8_t>(int, int)> Sample;
        uint32_t (*Expected)(int x, int y);
    };
    const TCase cases[] = {
        {"grey", 1, JCS_GRAYSCALE, false, [](int x, int y) { return std::vector<uint8_t>{uint8_t(x * 8)}; },
         [](int x, int y) { return 0xFF000000u | uint32_t(x * 8) * 0x010101u; }},
        {"progressive colour", 3, JCS_RGB, true,
         [](int x, int y) {
             return std::vector<uint8_t>{uint8_t(x * 8), uint8_t(y * 10), 128};
         },
         [](int x, int y) { return 0xFF000000u | uint32_t(x * 8) << 16 | uint32_t(y * 10) << 8 | 128u; }},
        // Files with an Adobe marker keep the inks inverted: 255 means no ink.
        {"CMYK", 4, JCS_CMYK, false,
         [](int x, int y) {
             return std::vector<uint8_t>{255, uint8_t(x < 16 ? 0 : 255), uint8_t(y < 8 ? 0 : 255), 255};
         },
         [](int x, int y) {
             return 0xFF000000u | 0xFF0000u | (x < 16 ? 0u : 0xFF00u) | (y < 8 ? 0u : 0xFFu);
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TBytes file = Compress(32, 16, c.Components, c.Space, c.Progressive, c.Sample);
        TPixelImage image = ReadJpeg(file.data(), file.size());
        ASSERT_EQ(image.Width, 32);
        ASSERT_EQ(image.Height, 16);
        // Away from the edges between flat areas the error stays small.
        for (int y : {2, 13})
            for (int x : {2, 29})
                EXPECT_LE(ChannelDistance(image.At(x, y), c.Expected(x, y)), 12)
                    << std::hex << image.At(x, y) << " vs " << c.Expected(x, y);
    }
}

TEST(JpegImage, SavesLoadedBytesUnchangedAndRecompressesAfterChanges) {
    TBytes file = WriteJpeg(Gradient(16, 16, false), 75);
    TMemoryStream in;
    in.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
    in.SetPosition(0);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(in);
    EXPECT_EQ(jpeg.Width(), 16);

    TMemoryStream same;
    jpeg.SaveToStream(same);
    EXPECT_EQ(same.Bytes(), file);

    jpeg.SetCompressionQuality(5);
    TMemoryStream smaller;
    jpeg.SaveToStream(smaller);
    EXPECT_LT(smaller.Bytes().size(), file.size());

    // From a bitmap, then back into one.
    TBitmap bitmap(8, 8);
    bitmap.Canvas()->Brush()->SetColor(clNavy);
    bitmap.Canvas()->FillRect(TRect(0, 0, 8, 8));
    jpeg.Assign(&bitmap);
    TMemoryStream fromBitmap;
    jpeg.SaveToStream(fromBitmap);
    fromBitmap.SetPosition(0);
    TJPEGImage again;
    again.LoadFromStream(fromBitmap);
    TBitmap back;
    back.Assign(&again);
    ASSERT_EQ(back.Width(), 8);
    EXPECT_LE(ChannelDistance(uint32_t(back.Canvas()->Pixels(4, 4)), uint32_t(clNavy)), 8);
}

TEST(JpegRead, RefusesTruncatedCorruptAndLyingFiles) {
    TDecode decode = [](const uint8_t* d, size_t n) { ReadJpeg(d, n); };
    TBytes baseline = WriteJpeg(Gradient(20, 12, false), 90);
    ExpectEveryTruncationRejected(baseline, decode);
    TBytes progressive = Compress(20, 12, 3, JCS_RGB, true, [](int x, int y) {
        return std::vector<uint8_t>{uint8_t(x * 9), uint8_t(y * 20), uint8_t(x ^ y)};
    });
    ExpectEveryTruncationRejected(progressive, decode);
    EXPECT_GT(ExpectCorruptionHandled(baseline, decode), 0);
    ExpectCorruptionHandled(progressive, decode);
    ExpectNoiseRejected({0xFF, 0xD8, 0xFF}, decode);

    // A frame header that claims a huge picture is refused before anything is allocated for it.
    TBytes lying = baseline;
    size_t sof = 0;
    for (size_t i = 2; i + 9 < lying.size(); ++i)
        if (lying[i] == 0xFF && lying[i + 1] == 0xC0) {
            sof = i;
            break;
        }
    ASSERT_NE(sof, 0u);
    for (size_t k : {5, 7}) { // height and width 32767
        lying[sof + k] = 0x7F;
        lying[sof + k + 1] = 0xFF;
    }
    try {
        ReadJpeg(lying.data(), lying.size());
        ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "JPEG image is not valid: the picture is too large");
    }
}
