#include "platform/gfx/GifImage.h"

#include <gtest/gtest.h>

#include <gif_lib.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/CodecTestUtil.h"

using namespace plat;
using namespace codectest;

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kNone = 0;

struct TFrameDef {
    int Left, Top, Width, Height;
    int Disposal;
    int DelayCs;
    int Transparent;
    std::vector<uint8_t> Indices; // row-major
    bool Interlace = false;
};

int Collect(GifFileType* gif, const GifByteType* data, int count) {
    auto* out = static_cast<TBytes*>(gif->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}

// Made with the library's encoder; palette 0 red, 1 green, 2 blue, 3 white.
TBytes MakeGif(int width, int height, const std::vector<TFrameDef>& frames) {
    TBytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, Collect, &error);
    EGifSetGifVersion(gif, true);
    GifColorType colors[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colors);
    EGifPutScreenDesc(gif, width, height, 2, 0, map);
    for (const TFrameDef& f : frames) {
        GraphicsControlBlock gcb{f.Disposal, false, f.DelayCs, f.Transparent};
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        EGifPutImageDesc(gif, f.Left, f.Top, f.Width, f.Height, f.Interlace, nullptr);
        std::vector<int> order;
        if (f.Interlace) {
            for (int start : {0, 4, 2, 1})
                for (int y = start; y < f.Height; y += start == 0 || start == 4 ? 8 : start == 2 ? 4 : 2)
                    order.push_back(y);
        } else {
            for (int y = 0; y < f.Height; ++y)
                order.push_back(y);
        }
        for (int y : order) {
            std::vector<GifPixelType> row(f.Indices.begin() + y * f.Width,
                                          f.Indices.begin() + (y + 1) * f.Width);
            EGifPutLine(gif, row.data(), f.Width);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

// Four frames over a 4 x 3 screen that use every kind of disposal.
TBytes Animation() {
    std::vector<uint8_t> first(12, 0);
    first[1 * 4 + 1] = 1;
    return MakeGif(4, 3,
                   {
                       {0, 0, 4, 3, DISPOSE_DO_NOT, 10, NO_TRANSPARENT_COLOR, first},
                       {1, 1, 2, 2, DISPOSE_PREVIOUS, 25, 3, {2, 3, 3, 2}},
                       {0, 0, 1, 1, DISPOSE_BACKGROUND, 0, NO_TRANSPARENT_COLOR, {1}},
                       {3, 2, 1, 1, DISPOSE_DO_NOT, 7, NO_TRANSPARENT_COLOR, {2}},
                   });
}

std::vector<uint32_t> Rows(std::initializer_list<std::initializer_list<uint32_t>> rows) {
    std::vector<uint32_t> out;
    for (auto& r : rows)
        out.insert(out.end(), r.begin(), r.end());
    return out;
}

} // namespace

TEST(GifImage, CompositesEveryFrameWithPlacementTransparencyAndDisposal) {
    TBytes file = Animation();
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
    stream.SetPosition(0);
    TGIFImage gif;
    gif.LoadFromStream(stream);
    ASSERT_EQ(gif.FrameCount(), 4);
    EXPECT_EQ(gif.Width(), 4);
    EXPECT_EQ(gif.Height(), 3);

    const std::vector<uint32_t> expected[4] = {
        Rows({{kRed, kRed, kRed, kRed}, {kRed, kGreen, kRed, kRed}, {kRed, kRed, kRed, kRed}}),
        // The patch's transparent pixels leave the frame below showing.
        Rows({{kRed, kRed, kRed, kRed}, {kRed, kBlue, kRed, kRed}, {kRed, kRed, kBlue, kRed}}),
        // The patch was disposed of by restoring what was there before it.
        Rows({{kGreen, kRed, kRed, kRed}, {kRed, kGreen, kRed, kRed}, {kRed, kRed, kRed, kRed}}),
        // The previous frame's area was cleared to transparency.
        Rows({{kNone, kRed, kRed, kRed}, {kRed, kGreen, kRed, kRed}, {kRed, kRed, kRed, kBlue}}),
    };
    const int delays[4] = {100, 250, 0, 70};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        ASSERT_EQ(gif.Frame(i).Width, 4);
        EXPECT_EQ(gif.Frame(i).Pixels, expected[i]);
        EXPECT_EQ(gif.Delay(i), delays[i]);
    }
    EXPECT_THROW(gif.Frame(4), EInvalidGraphicOperation);
    EXPECT_THROW(gif.Delay(-1), EInvalidGraphicOperation);

    // Saved as it was loaded; drawn as its first frame.
    TMemoryStream saved;
    gif.SaveToStream(saved);
    EXPECT_EQ(saved.Bytes(), file);
    TBitmap bitmap(4, 3);
    bitmap.Canvas()->Draw(0, 0, &gif);
    EXPECT_EQ(bitmap.Canvas()->Pixels(1, 1), clLime);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), clRed);
}

TEST(GifImage, ReadsInterlacedFramesAndClipsFramesToTheScreen) {
    std::vector<uint8_t> indices;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 5; ++x)
            indices.push_back(uint8_t((y * 5 + x) % 3));
    TFrameDef interlaced{0, 0, 5, 11, DISPOSE_DO_NOT, 0, NO_TRANSPARENT_COLOR, indices, true};
    TBytes file = MakeGif(5, 11, {interlaced});
    TGifFrames gif = ReadGif(file.data(), file.size());
    ASSERT_EQ(gif.Frames.size(), 1u);
    const uint32_t colour[3] = {kRed, kGreen, kBlue};
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(gif.Frames[0].At(x, y), colour[indices[size_t(y * 5 + x)]]) << x << "," << y;

    // A frame reaching past the screen is cut at its edge.
    TBytes wide =
        MakeGif(3, 2, {{1, 1, 6, 4, DISPOSE_DO_NOT, 0, NO_TRANSPARENT_COLOR, std::vector<uint8_t>(24, 2)}});
    TGifFrames clipped = ReadGif(wide.data(), wide.size());
    EXPECT_EQ(clipped.Frames[0].Pixels, Rows({{kNone, kNone, kNone}, {kNone, kBlue, kBlue}}));
}

TEST(GifRead, RefusesTruncatedCorruptAndLyingFiles) {
    TDecode decode = [](const uint8_t* d, size_t n) { ReadGif(d, n); };
    TBytes file = Animation();
    ExpectEveryTruncationRejected(file, decode);
    EXPECT_GT(ExpectCorruptionHandled(file, decode), 0);
    ExpectNoiseRejected({'G', 'I', 'F', '8', '9', 'a'}, decode);

    auto message = [](const TBytes& bytes) {
        try {
            ReadGif(bytes.data(), bytes.size());
        } catch (const EInvalidGraphic& e) {
            return e.Message();
        }
        return std::string("accepted");
    };
    TBytes huge = file;
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF; // a 65535 x 65535 screen
    EXPECT_EQ(message(huge), "GIF image is not valid: the picture is too large");
    // The largest screen leaves no room to keep what a frame covers for putting it back.
    TBytes keep = MakeGif(16384, 16384, {{0, 0, 1, 1, DISPOSE_PREVIOUS, 0, NO_TRANSPARENT_COLOR, {0}}});
    EXPECT_EQ(message(keep), "GIF image is not valid: the animation is too large");
    // Written by hand: the encoder refuses a frame without colours.
    TBytes noTable = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0,    0,    0, 0x2C, 0,
                      0,   0,   0,   2,   0,   1,   0, 0, 2, 2, 0x44, 0x0A, 0, 0x3B};
    EXPECT_EQ(message(noTable), "GIF image is not valid: a frame has no colour table");
    TBytes headerOnly(file.begin(), file.begin() + 13 + 12);
    headerOnly.push_back(0x3B); // the trailer right after the colour table
    EXPECT_EQ(message(headerOnly), "GIF image is not valid: the file holds no picture");
}
