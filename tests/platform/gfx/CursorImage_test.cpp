#include "platform/gfx/CursorImage.h"

#include <gtest/gtest.h>

#include "platform/gfx/CodecTestUtil.h"
#include "platform/gfx/Icon.h"

using namespace plat;
using namespace codectest;

namespace {

TCursorPicture Picture(int size, TPoint hot) {
    return {Gradient(size, size, true), hot};
}

// Pixels the file keeps: colour and alpha where visible; fully transparent ones only as transparent.
void ExpectSamePixels(const TPixelImage& a, const TPixelImage& b) {
    ASSERT_EQ(a.Width, b.Width);
    ASSERT_EQ(a.Height, b.Height);
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x) {
            uint32_t p = a.At(x, y), q = b.At(x, y);
            if ((p >> 24) == 0)
                ASSERT_EQ(q >> 24, 0u) << x << "," << y;
            else
                ASSERT_EQ(p, q) << x << "," << y;
        }
}

TEST(CursorImage, WrittenPicturesAndHotSpotsReadBack) {
    const std::vector<TCursorPicture> pictures = {Picture(16, {3, 4}), Picture(32, {31, 0}),
                                                  Picture(48, {0, 47})};
    const TBytes file = WriteCur(pictures);
    EXPECT_TRUE(IsCurSignature(file.data(), file.size()));
    EXPECT_FALSE(IsIcoSignature(file.data(), file.size()));

    const std::vector<TCursorPicture> read = ReadCur(file.data(), file.size());
    ASSERT_EQ(read.size(), pictures.size());
    for (size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i].HotSpot, pictures[i].HotSpot);
        ExpectSamePixels(read[i].Image, pictures[i].Image);
    }

    // The picture for a size: the smallest that is large enough, else the largest.
    const std::pair<int, int> choices[] = {{32, 32}, {16, 16}, {17, 32}, {8, 16}, {64, 48}};
    for (auto [asked, width] : choices) {
        SCOPED_TRACE(asked);
        TCursorPicture chosen = DecodeCursor(file.data(), file.size(), asked);
        EXPECT_EQ(chosen.Image.Width, width);
        EXPECT_EQ(chosen.HotSpot, width == 16 ? TPoint(3, 4) : width == 32 ? TPoint(31, 0) : TPoint(0, 47));
    }
}

TEST(CursorImage, BrokenFilesAreRefusedCleanly) {
    const TBytes file = WriteCur({Picture(8, {2, 2})});
    auto decode = [](const uint8_t* d, size_t n) { ReadCur(d, n); };
    ExpectEveryTruncationRejected(file, decode);
    ExpectCorruptionHandled(file, decode);
    ExpectNoiseRejected({0, 0, 2, 0, 1, 0}, decode);

    // An icon is not a cursor, and a hot spot must lie on the picture.
    TIcon icon;
    icon.AddImage(Gradient(8, 8, true), false);
    const TBytes ico = WriteIco({icon.Entry(0)});
    EXPECT_THROW(ReadCur(ico.data(), ico.size()), EInvalidGraphic);
    for (auto [offset, value] : {std::pair<size_t, uint8_t>{6 + 4, 8}, {6 + 6, 200}}) {
        TBytes outside = file;
        outside[offset] = value;
        try {
            ReadCur(outside.data(), outside.size());
            ADD_FAILURE() << "hot spot outside accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), "Cursor image is not valid: the hot spot lies outside the picture");
        }
    }
    // The icon reader's words are not passed on as they are.
    TBytes truncated(file.begin(), file.end() - 1);
    try {
        ReadCur(truncated.data(), truncated.size());
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message().rfind("Cursor image is not valid: ", 0), 0u) << e.Message();
    }
}

TEST(CursorImage, WritingRefusesWhatNoCursorCanHold) {
    EXPECT_THROW(WriteCur({}), EInvalidGraphicOperation);
    EXPECT_THROW(WriteCur({TCursorPicture{}}), EInvalidGraphicOperation);
    for (TPoint hot : {TPoint(16, 0), TPoint(0, 16), TPoint(-1, 0)})
        EXPECT_THROW(WriteCur({Picture(16, hot)}), EInvalidGraphicOperation);
}

} // namespace
