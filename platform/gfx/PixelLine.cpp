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

namespace {

#if defined(__x86_64__) || defined(__i386__)
typedef uint32_t TOctet __attribute__((vector_size(32)));
// Background fills of whole windows run here; twice the lanes halve the instructions per row.
[[gnu::target("avx2")]] void FillKeepAlphaAvx2(uint32_t* p, size_t n, uint32_t rgb) {
    FillKeepAlphaLanes<TOctet>(p, n, rgb);
}
#endif

} // namespace

void FillKeepAlphaWide(uint32_t* p, size_t n, uint32_t rgb) {
#if defined(__x86_64__) || defined(__i386__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        FillKeepAlphaAvx2(p, n, rgb);
        return;
    }
#endif
    FillKeepAlphaLanes<TPixelQuad>(p, n, rgb);
}

TPixelLine::TPixelLine(const TTarget& target, TColor color, int rop2, const std::vector<int>* dashes,
                       TColor gapColor, bool opaqueGaps)
    : FTarget(target), FPen(ColorToPixel(color)), FGap(ColorToPixel(gapColor)), FRop(rop2),
      FOpaqueGaps(opaqueGaps), FDash(dashes) {}

bool TPixelLine::Inside(int x, int y) const {
    return x >= FTarget.Clip.Left && x < FTarget.Clip.Right && y >= FTarget.Clip.Top &&
           y < FTarget.Clip.Bottom && (!FTarget.Region || FTarget.Region->Contains(x, y));
}

// Pixels from..to-1 of one row (horizontal) or one column, all in one colour.
template <bool Copy, bool Checked>
void TPixelLine::PaintRun(bool horizontal, int fixed, int from, int to, uint32_t c) {
    const TRect& clip = FTarget.Clip;
    if constexpr (Checked) {
        if (horizontal) {
            if (fixed < clip.Top || fixed >= clip.Bottom)
                return;
            from = std::max(from, clip.Left);
            to = std::min(to, clip.Right);
        } else {
            if (fixed < clip.Left || fixed >= clip.Right)
                return;
            from = std::max(from, clip.Top);
            to = std::min(to, clip.Bottom);
        }
        if (from >= to)
            return;
    }
    const size_t stride = static_cast<size_t>(FTarget.StridePixels);
    const size_t step = horizontal ? 1 : stride;
    uint32_t* p = horizontal ? FTarget.Pixels + static_cast<size_t>(fixed) * stride + from
                             : FTarget.Pixels + static_cast<size_t>(from) * stride + fixed;
    const TRegion* region = Checked ? FTarget.Region : nullptr;
    if (Copy && horizontal && !region) {
        FillKeepAlpha(p, static_cast<size_t>(to - from), c);
        return;
    }
    for (int t = from; t < to; ++t, p += step) {
        if (region && !(horizontal ? region->Contains(t, fixed) : region->Contains(fixed, t)))
            continue;
        if constexpr (Copy)
            StoreKeepAlpha(p, c);
        else
            *p = ApplyRop2(FRop, c, *p);
    }
}

// A horizontal or vertical line, painted a dash at a time rather than pixel by pixel.
template <bool Copy, bool Checked> void TPixelLine::DrawStraight(int x0, int y0, int x1, int y1) {
    const bool horizontal = y0 == y1;
    const int start = horizontal ? x0 : y0, end = horizontal ? x1 : y1;
    const int fixed = horizontal ? y0 : x0;
    const int64_t n = std::abs(int64_t(end) - start);
    const bool forward = end > start;
    // Pixel i of the line lies at start + i (or start - i going back); only those within the clip
    // are walked, the rest just move the dash phase on.
    int64_t first = 0, last = n;
    if constexpr (Checked) {
        const TRect& clip = FTarget.Clip;
        const int lo = horizontal ? clip.Left : clip.Top, hi = horizontal ? clip.Right : clip.Bottom;
        const int fixedLo = horizontal ? clip.Top : clip.Left,
                  fixedHi = horizontal ? clip.Bottom : clip.Right;
        if (fixed < fixedLo || fixed >= fixedHi) {
            last = 0;
        } else {
            first = forward ? int64_t(lo) - start : int64_t(start) - hi + 1;
            last = forward ? int64_t(hi) - start : int64_t(start) - lo + 1;
        }
        first = std::clamp<int64_t>(first, 0, n);
        last = std::clamp<int64_t>(last, first, n);
    }
    FDash.Skip(first);
    if (!FDash.Solid()) {
        // Dots and dashes are a few pixels long; stepping the pattern per pixel costs less than
        // painting each of them as a run of its own.
        const size_t stride = static_cast<size_t>(FTarget.StridePixels);
        const ptrdiff_t step = (horizontal ? 1 : static_cast<ptrdiff_t>(stride)) * (forward ? 1 : -1);
        const int64_t at = forward ? start + first : start - first;
        uint32_t* p = horizontal ? FTarget.Pixels + static_cast<size_t>(fixed) * stride + at
                                 : FTarget.Pixels + static_cast<size_t>(at) * stride + fixed;
        const TRegion* region = Checked ? FTarget.Region : nullptr;
        uint64_t bits = 0;
        int period = 0;
        if (!region && !FOpaqueGaps && FDash.PeriodBits(bits, period)) {
            // Dots and dashes of the common patterns: one bit test a pixel.
            const uint32_t pen = FPen;
            const int rop = FRop;
            int k = 0;
            for (int64_t i = first; i < last; ++i, p += step) {
                if ((bits >> k) & 1) {
                    if constexpr (Copy)
                        StoreKeepAlpha(p, pen);
                    else
                        *p = ApplyRop2(rop, pen, *p);
                }
                if (++k == period)
                    k = 0;
            }
            FDash.Skip(n - first);
            return;
        }
        for (int64_t i = first; i < last; ++i, p += step) {
            const bool on = FDash.Next();
            if (!on && !FOpaqueGaps)
                continue;
            if (region) {
                const int t = static_cast<int>(forward ? start + i : start - i);
                if (!(horizontal ? region->Contains(t, fixed) : region->Contains(fixed, t)))
                    continue;
            }
            const uint32_t c = on ? FPen : FGap;
            if constexpr (Copy)
                StoreKeepAlpha(p, c);
            else
                *p = ApplyRop2(FRop, c, *p);
        }
        FDash.Skip(n - last);
        return;
    }
    for (int64_t i = first; i < last;) {
        const int run = static_cast<int>(std::min<int64_t>(last - i, FDash.RunLeft()));
        const bool on = FDash.On() || FDash.Solid();
        if (on || FOpaqueGaps) {
            // Pixels i .. i+run-1 along the line, in either direction.
            const int64_t from = forward ? start + i : start - i - run + 1;
            PaintRun<Copy, Checked>(horizontal, fixed, static_cast<int>(from), static_cast<int>(from + run),
                                    on ? FPen : FGap);
        }
        FDash.Skip(run);
        i += run;
    }
    FDash.Skip(n - last);
}

template <bool Copy, bool Checked> void TPixelLine::Draw(int x0, int y0, int x1, int y1) {
    if (x0 == x1 || y0 == y1) {
        DrawStraight<Copy, Checked>(x0, y0, x1, y1);
        return;
    }
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
                StoreKeepAlpha(&p, pen);
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
            StoreKeepAlpha(&p, c);
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
        FDash.Skip(std::max(int64_t(maxX) - minX, int64_t(maxY) - minY));
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
