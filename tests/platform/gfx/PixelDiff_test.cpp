#include "platform/gfx/PixelDiff.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace plat {
namespace {

constexpr int kW = 300, kH = 100;

struct TCase {
    const char* Name;
    std::vector<TPoint> Changes; // pixels of the source that differ from the mirror
    TRect Area;
    int MaxRects;
    int MaxPixels; // at most this many pixels reported, so a small change stays small
};

// The mirror ends up equal to the source inside the area and untouched outside; the rectangles cover every
// changed pixel of the area, do not overlap and stay few and small.
TEST(PixelDiffTest, CopiesAndReportsOnlyTheChangedBlocks) {
    const TRect whole(0, 0, kW, kH);
    const TCase cases[] = {
        {"nothing changed", {}, whole, 0, 0},
        {"one pixel", {{130, 40}}, whole, 1, 64 * 16},
        {"a column of pixels joins down the bands", {{5, 3}, {5, 20}, {5, 40}, {5, 60}}, whole, 1, 64 * 64},
        {"neighbouring blocks join along the band", {{63, 0}, {64, 0}}, whole, 1, 128 * 16},
        {"apart stays apart", {{0, 0}, {299, 99}}, whole, 2, 2 * 64 * 16},
        {"outside the area is left alone", {{10, 10}, {200, 50}}, TRect(100, 30, 260, 90), 1, 64 * 16},
        {"a ragged area edge", {{299, 99}}, TRect(7, 5, kW, kH), 1, 64 * 16},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<uint32_t> source(kW * kH), mirror(kW * kH);
        for (size_t i = 0; i < source.size(); ++i)
            source[i] = mirror[i] = static_cast<uint32_t>(i * 2654435761u);
        for (TPoint p : c.Changes)
            source[p.Y * kW + p.X] ^= 0x00010000u;
        const std::vector<uint32_t> before = mirror;

        const std::vector<TRect> rects = CopyChangedBlocks(source.data(), kW, mirror.data(), kW, c.Area);

        EXPECT_LE(static_cast<int>(rects.size()), c.MaxRects);
        int pixels = 0;
        for (size_t i = 0; i < rects.size(); ++i) {
            pixels += rects[i].Width() * rects[i].Height();
            for (size_t j = 0; j < i; ++j) {
                TRect both;
                EXPECT_FALSE(IntersectRect(both, rects[i], rects[j])) << i << " overlaps " << j;
            }
        }
        EXPECT_LE(pixels, c.MaxPixels);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const size_t i = static_cast<size_t>(y) * kW + x;
                const TPoint p(x, y);
                if (!c.Area.Contains(p)) {
                    ASSERT_EQ(mirror[i], before[i]) << x << "," << y;
                    continue;
                }
                ASSERT_EQ(mirror[i], source[i]) << x << "," << y;
                if (source[i] != before[i]) {
                    bool covered = false;
                    for (const TRect& r : rects)
                        covered = covered || r.Contains(p);
                    ASSERT_TRUE(covered) << x << "," << y;
                }
            }
    }
}

} // namespace
} // namespace plat
