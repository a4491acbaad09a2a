#include "platform/gfx/PixelLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/gfx/Region.h"

namespace plat {
namespace {

constexpr int kW = 40, kH = 30;

// Every pixel gets its own top byte so a write that loses it shows.
std::vector<uint32_t> Canvas() {
    std::vector<uint32_t> px(kW * kH);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] =
            (static_cast<uint32_t>(i * 37 % 251) << 24) | static_cast<uint32_t>(i * 2654435761u % 0xFFFFFF);
    return px;
}

struct TCase {
    const char* Name;
    int Rop;
    uint32_t Style;
    bool OpaqueGaps;
    TRect Clip;
    bool UseRegion;
};

// The plain pixel-by-pixel walk every faster path must match exactly.
void Reference(std::vector<uint32_t>& px, const TCase& c, const TRegion& region,
               const std::vector<TPoint>& pts, const std::vector<int>& dashes) {
    TDashState dash(&dashes);
    const uint32_t pen = ColorToPixel(0x123456), gap = ColorToPixel(0xA0B0C0);
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        WalkLine(pts[i].X, pts[i].Y, pts[i + 1].X, pts[i + 1].Y, [&](int x, int y) {
            bool on = dash.Next();
            if (!on && !c.OpaqueGaps)
                return;
            if (x < c.Clip.Left || x >= c.Clip.Right || y < c.Clip.Top || y >= c.Clip.Bottom)
                return;
            if (c.UseRegion && !region.Contains(x, y))
                return;
            uint32_t& p = px[static_cast<size_t>(y) * kW + x];
            uint32_t col = on ? pen : gap;
            p = c.Rop == R2_COPYPEN ? (col | (p & 0xFF000000)) : ApplyRop2(c.Rop, col, p);
        });
}

TEST(PixelLineTest, MatchesPixelWalkForStraightDiagonalAndClippedLines) {
    const TCase cases[] = {
        {"solid copy", R2_COPYPEN, PS_SOLID, false, TRect(0, 0, kW, kH), false},
        {"dot copy", R2_COPYPEN, PS_DOT, false, TRect(0, 0, kW, kH), false},
        {"dashdotdot opaque", R2_COPYPEN, PS_DASHDOTDOT, true, TRect(0, 0, kW, kH), false},
        {"dash xor", R2_XORPEN, PS_DASH, false, TRect(0, 0, kW, kH), false},
        {"alternate notxor opaque", R2_NOTXORPEN, PS_ALTERNATE, true, TRect(0, 0, kW, kH), false},
        {"dot clipped", R2_COPYPEN, PS_DOT, false, TRect(5, 4, 31, 22), false},
        {"dashdot clipped xor", R2_XORPEN, PS_DASHDOT, true, TRect(7, 3, 20, 25), false},
        {"dot region", R2_COPYPEN, PS_DOT, true, TRect(0, 0, kW, kH), true},
        {"solid region xor", R2_XORPEN, PS_SOLID, false, TRect(0, 0, kW, kH), true},
    };
    // Horizontal and vertical runs both ways, diagonals, a lone point, lines wholly off the surface
    // (whose length still moves the dash phase) and lines crossing its edges.
    const std::vector<TPoint> path = {{2, 2},   {35, 2},  {35, 27},  {3, 27},   {3, 5},   {3, 5},   {30, 20},
                                      {30, 6},  {-50, 6}, {-50, 80}, {-60, 80}, {12, 1},  {12, 29}, {39, 29},
                                      {39, -5}, {0, 14},  {60, 14},  {25, 16},  {25, 16}, {26, 40}};
    TRegion region = TRegion::FromEllipse(TRect(4, 3, 36, 27));
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<int> dashes = CosmeticDashes(c.Style);
        std::vector<uint32_t> expected = Canvas(), actual = Canvas();
        Reference(expected, c, region, path, dashes);
        TPixelLine::TTarget target;
        target.Pixels = actual.data();
        target.StridePixels = kW;
        target.Clip = c.Clip;
        target.Region = c.UseRegion ? &region : nullptr;
        TPixelLine line(target, 0x123456, c.Rop, &dashes, 0xA0B0C0, c.OpaqueGaps);
        line.Polyline(path.data(), static_cast<int>(path.size()));
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                ASSERT_EQ(actual[y * kW + x], expected[y * kW + x]) << "at " << x << "," << y;
    }
}

TEST(PixelLineTest, DashSkipMatchesSteppingIncludingZeroRunsAndLongDistances) {
    const std::vector<std::vector<int>> patterns = {{18, 6}, {3, 3}, {9, 6, 3, 6}, {0, 2, 5}, {1, 1}};
    for (const auto& pattern : patterns) {
        for (int64_t n : {0, 1, 2, 5, 17, 24, 25, 1000, 1000003}) {
            TDashState stepped(&pattern), skipped(&pattern);
            stepped.Next(); // start mid-run
            skipped.Skip(1);
            for (int64_t i = 0; i < n; ++i)
                stepped.Next();
            skipped.Skip(n);
            for (int i = 0; i < 40; ++i)
                ASSERT_EQ(stepped.Next(), skipped.Next()) << "pattern size " << pattern.size() << " n " << n;
        }
    }
}

TEST(PixelLineTest, FillKeepAlphaSetsColourAndKeepsTopByteAtEveryLength) {
    for (size_t n = 0; n <= 11; ++n) {
        std::vector<uint32_t> px = Canvas();
        const std::vector<uint32_t> before = px;
        FillKeepAlpha(px.data() + 1, n, 0x00ABCDEF);
        for (size_t i = 0; i < 14; ++i) {
            uint32_t want = i >= 1 && i < 1 + n ? (0x00ABCDEF | (before[i] & 0xFF000000)) : before[i];
            ASSERT_EQ(px[i], want) << "n " << n << " i " << i;
        }
    }
}

} // namespace
} // namespace plat
