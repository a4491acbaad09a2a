#include "platform/gfx/PixelLine.h"

#include <algorithm>

#include "platform/gfx/Region.h"

namespace plat {

std::vector<int> CosmeticDashes(uint32_t penStyle) {
    switch (penStyle & PS_STYLE_MASK) {
    case PS_DASH:
        return {18, 6};
    case PS_DOT:
        return {3, 3};
    case PS_DASHDOT:
        return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE:
        return {1, 1};
    default:
        return {};
    }
}

TPixelLine::TPixelLine(const TTarget& target, TColor color, int rop2, const std::vector<int>* dashes,
                       TColor gapColor, bool opaqueGaps)
    : FTarget(target), FPen(ColorToPixel(color)), FGap(ColorToPixel(gapColor)), FRop(rop2),
      FOpaqueGaps(opaqueGaps), FDash(dashes) {}

bool TPixelLine::Inside(int x, int y) const {
    return x >= FTarget.Clip.Left && x < FTarget.Clip.Right && y >= FTarget.Clip.Top &&
           y < FTarget.Clip.Bottom && (!FTarget.Region || FTarget.Region->Contains(x, y));
}

template <bool Copy, bool Checked> void TPixelLine::Draw(int x0, int y0, int x1, int y1) {
    uint32_t* pixels = FTarget.Pixels;
    const int stride = FTarget.StridePixels;
    if (FDash.Solid()) {
        const uint32_t pen = FPen;
        const int rop = FRop;
        WalkLine(x0, y0, x1, y1, [&](int x, int y) {
            if (Checked && !Inside(x, y))
                return;
            uint32_t& p = pixels[static_cast<size_t>(y) * stride + x];
            if constexpr (Copy)
                p = pen | (p & 0xFF000000);
            else
                p = ApplyRop2(rop, pen, p);
        });
        return;
    }
    WalkLine(x0, y0, x1, y1, [&](int x, int y) {
        bool on = FDash.Next();
        if (!on && !FOpaqueGaps)
            return;
        if (Checked && !Inside(x, y))
            return;
        uint32_t& p = pixels[static_cast<size_t>(y) * stride + x];
        uint32_t c = on ? FPen : FGap;
        if constexpr (Copy)
            p = c | (p & 0xFF000000);
        else
            p = ApplyRop2(FRop, c, p);
    });
}

void TPixelLine::Line(int x0, int y0, int x1, int y1) {
    if (!FTarget.Pixels || FRop == R2_NOP)
        return;
    const TRect& c = FTarget.Clip;
    int minX = std::min(x0, x1), maxX = std::max(x0, x1), minY = std::min(y0, y1), maxY = std::max(y0, y1);
    if (maxX < c.Left || minX >= c.Right || maxY < c.Top || minY >= c.Bottom) {
        // Wholly outside: only the dash phase moves on.
        if (!FDash.Solid()) {
            int n = std::max(maxX - minX, maxY - minY);
            for (int i = 0; i < n; ++i)
                FDash.Next();
        }
        return;
    }
    bool inside = !FTarget.Region && minX >= c.Left && maxX < c.Right && minY >= c.Top && maxY < c.Bottom;
    bool copy = FRop == R2_COPYPEN;
    if (inside)
        copy ? Draw<true, false>(x0, y0, x1, y1) : Draw<false, false>(x0, y0, x1, y1);
    else
        copy ? Draw<true, true>(x0, y0, x1, y1) : Draw<false, true>(x0, y0, x1, y1);
}

void TPixelLine::Polyline(const TPoint* points, int count) {
    for (int i = 0; i + 1 < count; ++i)
        Line(points[i].X, points[i].Y, points[i + 1].X, points[i + 1].Y);
}

} // namespace plat
