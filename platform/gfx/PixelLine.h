// The one-pixel line routine: Bresenham lines written straight into 32-bit pixels, with a dash
// pattern and a binary raster operation applied per pixel, so XOR drawing is exact and thin lines are
// fast. A line stops before its end point, which lets polyline segments meet without overlap.
#pragma once

#include <cstdint>
#include <cstdlib>
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

// Steps through a dash pattern pixel by pixel; the phase carries on from one segment to the next.
class TDashState {
public:
    explicit TDashState(const std::vector<int>* dashes = nullptr)
        : FDashes(dashes && !dashes->empty() ? dashes : nullptr) {}
    bool Next() {
        if (!FDashes)
            return true;
        bool on = (FIndex & 1) == 0;
        if (++FPos >= (*FDashes)[FIndex]) {
            FPos = 0;
            FIndex = (FIndex + 1) % static_cast<int>(FDashes->size());
        }
        return on;
    }
    bool Solid() const { return FDashes == nullptr; }

private:
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
    bool Inside(int x, int y) const;

    TTarget FTarget;
    uint32_t FPen, FGap;
    int FRop;
    bool FOpaqueGaps;
    TDashState FDash;
};

} // namespace plat
