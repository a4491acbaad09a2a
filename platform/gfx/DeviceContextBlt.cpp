// Block transfers of the device context: copies with raster operations, stretching, transparent
// copies and alpha blending.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/PixelLine.h"

namespace plat {

namespace {

bool RopUsesSource(uint8_t code) {
    return ((code & 0xCC) >> 2) != (code & 0x33);
}
bool RopUsesPattern(uint8_t code) {
    return ((code & 0xF0) >> 4) != (code & 0x0F);
}

inline uint32_t Div255(uint32_t v) {
    return (v + 127) / 255;
}

} // namespace

bool TDeviceContext::BitBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc, int ySrc,
                            uint32_t rop) {
    if (!FSurface)
        return false;
    uint8_t code = static_cast<uint8_t>(rop >> 16);
    if (!RopUsesSource(code))
        return PatBlt(x, y, width, height, rop);
    // The source is measured in its own logical units; the destination size says how many of them.
    int sw = width, sh = height;
    if (source) {
        double kx = ScaleX() / source->ScaleX(), ky = ScaleY() / source->ScaleY();
        sw = static_cast<int>(std::lround(width * kx));
        sh = static_cast<int>(std::lround(height * ky));
    }
    TRect dst(x, y, x + width, y + height);
    return BlitCore(dst, source, xSrc, ySrc, sw, sh, rop, kBlit, 0, {});
}

bool TDeviceContext::StretchBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                                int ySrc, int srcWidth, int srcHeight, uint32_t rop) {
    if (!FSurface)
        return false;
    uint8_t code = static_cast<uint8_t>(rop >> 16);
    if (!RopUsesSource(code))
        return PatBlt(x, y, width, height, rop);
    return BlitCore(TRect(x, y, x + width, y + height), source, xSrc, ySrc, srcWidth, srcHeight, rop, kBlit,
                    0, {});
}

bool TDeviceContext::TransparentBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                                    int ySrc, int srcWidth, int srcHeight, TColor transparent) {
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return false;
    return BlitCore(TRect(x, y, x + width, y + height), source, xSrc, ySrc, srcWidth, srcHeight, SRCCOPY,
                    kTransparent, ColorToRGB(transparent), {});
}

bool TDeviceContext::AlphaBlend(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                                int ySrc, int srcWidth, int srcHeight, TBlendFunction blend) {
    if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0 || blend.BlendOp != AC_SRC_OVER)
        return false;
    if (!source || !source->FSurface)
        return false;
    // The source rectangle must lie inside the source surface.
    TRect s = source->LPtoDP(TRect(xSrc, ySrc, xSrc + srcWidth, ySrc + srcHeight));
    if (s.Left < 0 || s.Top < 0 || s.Right > source->FSurface->Width() ||
        s.Bottom > source->FSurface->Height())
        return false;
    return BlitCore(TRect(x, y, x + width, y + height), source, xSrc, ySrc, srcWidth, srcHeight, SRCCOPY,
                    kAlpha, 0, blend);
}

bool TDeviceContext::BlitCore(const TRect& dstLogical, TDeviceContext* source, int xSrc, int ySrc, int srcW,
                              int srcH, uint32_t rop, int mode, TColor transparent, TBlendFunction blend) {
    if (!FSurface || !source || !source->FSurface || !source->FSurface->Pixels())
        return false;
    TDrawSurface* srcSurface = source->FSurface;
    TPointF d0 = ToDeviceF(dstLogical.Left, dstLogical.Top),
            d1 = ToDeviceF(dstLogical.Right, dstLogical.Bottom);
    d0 = {std::round(d0.X), std::round(d0.Y)};
    d1 = {std::round(d1.X), std::round(d1.Y)};
    TPointF s0 = source->ToDeviceF(xSrc, ySrc), s1 = source->ToDeviceF(xSrc + srcW, ySrc + srcH);
    s0 = {std::round(s0.X), std::round(s0.Y)};
    s1 = {std::round(s1.X), std::round(s1.Y)};
    double dw = d1.X - d0.X, dh = d1.Y - d0.Y, sw = s1.X - s0.X, sh = s1.Y - s0.Y;
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0)
        return true;
    TRect dst(static_cast<int>(std::min(d0.X, d1.X)), static_cast<int>(std::min(d0.Y, d1.Y)),
              static_cast<int>(std::max(d0.X, d1.X)), static_cast<int>(std::max(d0.Y, d1.Y)));
    TRect box;
    if (!IntersectRect(box, dst, VisibleBox()))
        return true;
    if (!FSurface->Pixels())
        return VectorBlit(d0, d1, s0, s1, source, static_cast<uint8_t>(rop >> 16), mode, transparent, blend);

    const int srcStride = srcSurface->StridePixels();
    const int sWidth = srcSurface->Width(), sHeight = srcSurface->Height();
    const uint32_t* srcPixels = srcSurface->Pixels();
    // A copy within one surface reads from a snapshot, so overlapping areas come out right.
    std::vector<uint32_t> snapshot;
    if (srcSurface == FSurface) {
        snapshot.assign(srcPixels, srcPixels + static_cast<size_t>(srcStride) * sHeight);
        srcPixels = snapshot.data();
    }

    // Source column and row of every destination column and row (-1: outside the source).
    std::vector<int> xmap(box.Width()), ymap(box.Height());
    for (int i = 0; i < box.Width(); ++i) {
        double f = (box.Left + i + 0.5 - d0.X) / dw;
        int sx = static_cast<int>(std::floor(s0.X + f * sw));
        xmap[i] = sx >= 0 && sx < sWidth ? sx : -1;
    }
    for (int i = 0; i < box.Height(); ++i) {
        double f = (box.Top + i + 0.5 - d0.Y) / dh;
        int sy = static_cast<int>(std::floor(s0.Y + f * sh));
        ymap[i] = sy >= 0 && sy < sHeight ? sy : -1;
    }
    bool halftone = FState.StretchMode == HALFTONE && mode == kBlit &&
                    (std::abs(sw) != std::abs(dw) || std::abs(sh) != std::abs(dh));

    uint8_t code = static_cast<uint8_t>(rop >> 16);
    bool srcMono = srcSurface->Monochrome(), dstMono = FSurface->Monochrome();
    uint32_t monoFg = ColorToPixel(FState.TextColor), monoBg = ColorToPixel(FState.BkColor);
    uint32_t srcBk = ColorToPixel(source->FState.BkColor);
    auto convert = [&](uint32_t s) -> uint32_t {
        if (srcMono && !dstMono)
            return (s & 0x00FFFFFF) == 0 ? monoFg : monoBg;
        if (!srcMono && dstMono)
            return (s & 0x00FFFFFF) == srcBk ? 0x00FFFFFF : 0;
        return s;
    };
    // Averages the source area under one destination pixel (shrinking) or interpolates (enlarging).
    auto sample = [&](int dx, int dy) -> uint32_t {
        double fx0 = (dx - d0.X) / dw, fx1 = (dx + 1 - d0.X) / dw;
        double fy0 = (dy - d0.Y) / dh, fy1 = (dy + 1 - d0.Y) / dh;
        double ax = s0.X + fx0 * sw, bx = s0.X + fx1 * sw, ay = s0.Y + fy0 * sh, by = s0.Y + fy1 * sh;
        if (ax > bx)
            std::swap(ax, bx);
        if (ay > by)
            std::swap(ay, by);
        int x0 = std::clamp(static_cast<int>(std::floor(ax)), 0, sWidth - 1);
        int x1 = std::clamp(static_cast<int>(std::ceil(bx)), x0 + 1, sWidth);
        int y0 = std::clamp(static_cast<int>(std::floor(ay)), 0, sHeight - 1);
        int y1 = std::clamp(static_cast<int>(std::ceil(by)), y0 + 1, sHeight);
        if (bx - ax < 1 || by - ay < 1) {
            // Enlarging: bilinear between the four nearest source pixels.
            double cx = std::clamp((ax + bx) / 2 - 0.5, 0.0, sWidth - 1.0);
            double cy = std::clamp((ay + by) / 2 - 0.5, 0.0, sHeight - 1.0);
            int ix = static_cast<int>(cx), iy = static_cast<int>(cy);
            int jx = std::min(ix + 1, sWidth - 1), jy = std::min(iy + 1, sHeight - 1);
            double tx = cx - ix, ty = cy - iy;
            uint32_t p[4] = {srcPixels[size_t(iy) * srcStride + ix], srcPixels[size_t(iy) * srcStride + jx],
                             srcPixels[size_t(jy) * srcStride + ix], srcPixels[size_t(jy) * srcStride + jx]};
            uint32_t out = 0;
            for (int sh8 = 0; sh8 < 32; sh8 += 8) {
                double v = ((p[0] >> sh8) & 0xFF) * (1 - tx) * (1 - ty) +
                           ((p[1] >> sh8) & 0xFF) * tx * (1 - ty) + ((p[2] >> sh8) & 0xFF) * (1 - tx) * ty +
                           ((p[3] >> sh8) & 0xFF) * tx * ty;
                out |= static_cast<uint32_t>(std::lround(v)) << sh8;
            }
            return out;
        }
        uint64_t sum[4] = {0, 0, 0, 0};
        for (int yy = y0; yy < y1; ++yy)
            for (int xx = x0; xx < x1; ++xx) {
                uint32_t p = srcPixels[size_t(yy) * srcStride + xx];
                for (int k = 0; k < 4; ++k)
                    sum[k] += (p >> (8 * k)) & 0xFF;
            }
        uint64_t n = uint64_t(x1 - x0) * (y1 - y0);
        uint32_t out = 0;
        for (int k = 0; k < 4; ++k)
            out |= static_cast<uint32_t>((sum[k] + n / 2) / n) << (8 * k);
        return out;
    };

    uint32_t* dstPixels = FSurface->Pixels();
    const int dstStride = FSurface->StridePixels();
    const TGdiBrush* brush = RopUsesPattern(code) ? FState.Brush.get() : nullptr;
    bool plainCopy = mode == kBlit && code == 0xCC && !halftone && !srcMono && !dstMono;
    // Toolbars and menus draw many small keyed images; between colour surfaces neither the source
    // conversion nor the pixel mapping changes anything but the alpha byte, so skip both.
    bool plainKeyed = mode == kTransparent && !srcMono && !dstMono;
    const uint32_t key = ColorToPixel(transparent) & 0x00FFFFFF;
    for (int row = box.Top; row < box.Bottom; ++row) {
        int sy = ymap[row - box.Top];
        if (sy < 0)
            continue;
        const uint32_t* srow = srcPixels + static_cast<size_t>(sy) * srcStride;
        uint32_t* drow = dstPixels + static_cast<size_t>(row) * dstStride;
        ForClipped(row, box.Left, box.Right, [&](int a, int b) {
            if (plainCopy && sw == dw && xmap[a - box.Left] >= 0 && xmap[b - 1 - box.Left] >= 0) {
                std::memcpy(drow + a, srow + xmap[a - box.Left], static_cast<size_t>(b - a) * 4);
                return;
            }
            if (plainKeyed) {
                for (int px = a; px < b; ++px) {
                    int sx = xmap[px - box.Left];
                    if (sx < 0)
                        continue;
                    uint32_t c = srow[sx] & 0x00FFFFFF;
                    if (c != key)
                        drow[px] = c | (drow[px] & 0xFF000000);
                }
                return;
            }
            for (int px = a; px < b; ++px) {
                int sx = xmap[px - box.Left];
                if (sx < 0)
                    continue;
                uint32_t s = halftone ? sample(px, row) : srow[sx];
                uint32_t& d = drow[px];
                if (mode == kTransparent) {
                    uint32_t c = convert(s);
                    if ((c & 0x00FFFFFF) != key)
                        d = MapPixel(c) | (d & 0xFF000000);
                    continue;
                }
                if (mode == kAlpha) {
                    uint32_t sca = blend.SourceConstantAlpha;
                    uint32_t out = 0;
                    if (blend.AlphaFormat & AC_SRC_ALPHA) {
                        uint32_t sa = Div255(((s >> 24) & 0xFF) * sca);
                        for (int k = 0; k < 32; k += 8) {
                            uint32_t sc = Div255(((s >> k) & 0xFF) * sca);
                            uint32_t dc = (d >> k) & 0xFF;
                            out |= std::min<uint32_t>(255, sc + Div255(dc * (255 - sa))) << k;
                        }
                    } else {
                        for (int k = 0; k < 32; k += 8) {
                            uint32_t sc = (s >> k) & 0xFF, dc = (d >> k) & 0xFF;
                            out |= Div255(sc * sca + dc * (255 - sca)) << k;
                        }
                    }
                    d = out;
                    continue;
                }
                bool draw = true;
                uint32_t p = brush ? BrushPixel(*brush, px, row, draw) : 0;
                uint32_t v = ApplyRop3(code, p, convert(s), d);
                d = MapPixel(v) | (d & 0xFF000000);
            }
        });
    }
    return true;
}

} // namespace plat
