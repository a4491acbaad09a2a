// The one-pixel line routine: Bresenham lines written straight into 32-bit pixels, with a dash
// pattern and a binary raster operation applied per pixel, so XOR drawing is exact and thin lines are
// fast. A line stops before its end point, which lets polyline segments meet without overlap.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gfx/GdiTypes.h"

namespace plat {

class TRegion;

// Pixels are 0xAARRGGBB words (the byte order of a 32-bit surface); colours are 0x00BBGGRR.
constexpr uint32_t ColorToPixel(TColor c) {
    return (static_cast<uint32_t>(c & 0xFF) << 16) | (static_cast<uint32_t>(c) & 0xFF00) |
           ((static_cast<uint32_t>(c) >> 16) & 0xFF);
}
constexpr TColor PixelToColor(uint32_t p) {
    return static_cast<TColor>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}

// Combines a pen or brush pixel with a destination pixel under a binary raster operation (R2_*).
// The destination's top byte is kept.
inline uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dst) {
    uint32_t t = static_cast<uint32_t>(rop2 - 1) & 15;
    uint32_t r = 0;
    if (t & 1)
        r |= ~pen & ~dst;
    if (t & 2)
        r |= ~pen & dst;
    if (t & 4)
        r |= pen & ~dst;
    if (t & 8)
        r |= pen & dst;
    return (r & 0x00FFFFFF) | (dst & 0xFF000000);
}

// The on/off run lengths of the cosmetic pen styles, in pixels; empty for a solid line.
std::vector<int> CosmeticDashes(uint32_t penStyle);

// Sets the colour bits of one pixel and keeps its top byte; rgb has a zero top byte. Writing the three
// colour bytes alone spares reading the pixel first, which is what a thin line waits on.
inline void StoreKeepAlpha(uint32_t* p, uint32_t rgb) {
    if constexpr (std::endian::native == std::endian::little) {
        auto* bytes = reinterpret_cast<unsigned char*>(p);
        const uint16_t low = static_cast<uint16_t>(rgb);
        std::memcpy(bytes, &low, sizeof low);
        bytes[2] = static_cast<unsigned char>(rgb >> 16);
    } else {
        *p = rgb | (*p & 0xFF000000u);
    }
}

// Sets the colour bits of n pixels and keeps each pixel's top byte; rgb has a zero top byte. A vector
// of pixels at a time, since background fills and straight lines spend most of a repaint here.
template <class TVec>
[[gnu::always_inline]] inline void FillKeepAlphaLanes(uint32_t* p, size_t n, uint32_t rgb) {
    constexpr size_t lanes = sizeof(TVec) / 4;
    TVec alpha, colour;
    for (size_t k = 0; k < lanes; ++k) {
        alpha[k] = 0xFF000000u;
        colour[k] = rgb;
    }
    size_t i = 0;
    for (; i + lanes <= n; i += lanes) {
        TVec v;
        std::memcpy(&v, p + i, sizeof v);
        v = (v & alpha) | colour;
        std::memcpy(p + i, &v, sizeof v);
    }
    for (; i < n; ++i)
        StoreKeepAlpha(p + i, rgb);
}

typedef uint32_t TPixelQuad __attribute__((vector_size(16)));

// Long runs go to the widest loop the processor has.
void FillKeepAlphaWide(uint32_t* p, size_t n, uint32_t rgb);

inline void FillKeepAlpha(uint32_t* p, size_t n, uint32_t rgb) {
    if (n >= 256)
        FillKeepAlphaWide(p, n, rgb);
    else
        FillKeepAlphaLanes<TPixelQuad>(p, n, rgb);
}

// Steps through a dash pattern; the phase carries on from one segment to the next. A zero run
// counts as one pixel.
class TDashState {
public:
    explicit TDashState(const std::vector<int>* dashes = nullptr)
        : FDashes(dashes && !dashes->empty() ? dashes : nullptr) {}
    bool Next() {
        if (!FDashes)
            return true;
        bool on = On();
        if (++FPos >= RunLength(FIndex)) {
            FPos = 0;
            if (++FIndex == static_cast<int>(FDashes->size()))
                FIndex = 0;
        }
        return on;
    }
    bool Solid() const { return FDashes == nullptr; }
    // Whether the current pixel is in a dash (not a gap), and how many pixels of that run are left.
    bool On() const { return (FIndex & 1) == 0; }
    int RunLeft() const { return FDashes ? RunLength(FIndex) - FPos : INT32_MAX; }
    // The pattern as bits from the current pixel on (bit k: pixel k is in a dash), when one period fits
    // in 64 bits; Period is its length. The state does not move.
    bool PeriodBits(uint64_t& Bits, int& Period) const {
        if (!FDashes)
            return false;
        int period = 0;
        for (size_t i = 0; i < FDashes->size(); ++i)
            period += RunLength(static_cast<int>(i));
        if (period > 64)
            return false;
        TDashState walk = *this;
        Bits = 0;
        for (int k = 0; k < period; ++k)
            if (walk.Next())
                Bits |= uint64_t(1) << k;
        Period = period;
        return true;
    }
    // The same as calling Next() n times.
    void Skip(int64_t n) {
        if (!FDashes)
            return;
        while (n > 0) {
            const int left = RunLength(FIndex) - FPos;
            if (n < left) {
                FPos += static_cast<int>(n);
                return;
            }
            n -= left;
            FPos = 0;
            if (++FIndex == static_cast<int>(FDashes->size()))
                FIndex = 0;
            if (FIndex == 0 && n > 0) {
                // At the start of the pattern: whole periods change nothing.
                int64_t period = 0;
                for (size_t i = 0; i < FDashes->size(); ++i)
                    period += RunLength(static_cast<int>(i));
                n %= period;
            }
        }
    }

private:
    int RunLength(int index) const { return std::max((*FDashes)[index], 1); }

    const std::vector<int>* FDashes;
    int FIndex = 0;
    int FPos = 0;
};

// Calls plot(x, y) for every pixel of the line from (x0, y0) up to but not including (x1, y1).
template <class Plot> inline void WalkLine(int x0, int y0, int x1, int y1, Plot&& plot) {
    int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    if (dx >= dy) {
        int err = dx / 2;
        for (int i = 0; i < dx; ++i) {
            plot(x0, y0);
            x0 += sx;
            err -= dy;
            if (err < 0) {
                y0 += sy;
                err += dx;
            }
        }
    } else {
        int err = dy / 2;
        for (int i = 0; i < dy; ++i) {
            plot(x0, y0);
            y0 += sy;
            err -= dx;
            if (err < 0) {
                x0 += sx;
                err += dy;
            }
        }
    }
}

// Draws styled one-pixel lines into a pixel buffer clipped to a rectangle and, optionally, a region.
class TPixelLine {
public:
    struct TTarget {
        uint32_t* Pixels = nullptr;
        int StridePixels = 0;
        TRect Clip;                      // device bounds already intersected with the clip box
        const TRegion* Region = nullptr; // null when the clip is the rectangle alone
    };

    // gapColor is drawn in the gaps of a dashed line when opaqueGaps is set (opaque background mode).
    TPixelLine(const TTarget& target, TColor color, int rop2, const std::vector<int>* dashes, TColor gapColor,
               bool opaqueGaps);

    void Line(int x0, int y0, int x1, int y1);
    // A whole polyline; points are in device pixels.
    void Polyline(const TPoint* points, int count);

private:
    template <bool Copy, bool Checked> void Draw(int x0, int y0, int x1, int y1);
    template <bool Copy, bool Checked> void DrawStraight(int x0, int y0, int x1, int y1);
    template <bool Copy, bool Checked>
    void PaintRun(bool horizontal, int fixed, int from, int to, uint32_t c);
    bool Inside(int x, int y) const;

    TTarget FTarget;
    uint32_t FPen, FGap;
    int FRop;
    bool FOpaqueGaps;
    TDashState FDash;
};

} // namespace plat
