// Gradient fills of the device context: rectangles shaded from one colour to another, left to right or
// top to bottom. The first and last pixel rows or columns carry the two end colours exactly.
#include <algorithm>
#include <cmath>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/PixelLine.h"

namespace plat {

bool TDeviceContext::GradientFill(const TTriVertex* vertices, int vertexCount, const TGradientRect* rects,
                                  int rectCount, int mode) {
    if (!FSurface || !vertices || !rects || vertexCount < 2 || rectCount < 1)
        return false;
    if (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V)
        return false;
    bool horizontal = mode == GRADIENT_FILL_RECT_H;
    for (int k = 0; k < rectCount; ++k) {
        if (rects[k].UpperLeft >= uint32_t(vertexCount) || rects[k].LowerRight >= uint32_t(vertexCount))
            return false;
        TTriVertex a = vertices[rects[k].UpperLeft], b = vertices[rects[k].LowerRight];
        TPoint pa = LPtoDP(TPoint(a.x, a.y)), pb = LPtoDP(TPoint(b.x, b.y));
        // The colour runs from the vertex at the smaller coordinate to the other.
        if ((horizontal && pb.X < pa.X) || (!horizontal && pb.Y < pa.Y)) {
            std::swap(a, b);
            std::swap(pa, pb);
        }
        TRect r(std::min(pa.X, pb.X), std::min(pa.Y, pb.Y), std::max(pa.X, pb.X), std::max(pa.Y, pb.Y));
        int steps = horizontal ? r.Width() : r.Height();
        if (steps <= 0 || r.IsEmpty())
            continue;
        auto channel = [&](uint16_t from, uint16_t to, int i) {
            int c0 = from >> 8, c1 = to >> 8;
            if (steps == 1)
                return c0;
            return c0 + static_cast<int>(std::lround(double(c1 - c0) * i / (steps - 1)));
        };
        auto colorAt = [&](int i) {
            return RGB(channel(a.Red, b.Red, i), channel(a.Green, b.Green, i), channel(a.Blue, b.Blue, i));
        };
        if (!FSurface->Pixels()) {
            // A vector target gets one band per step.
            for (int i = 0; i < steps; ++i) {
                TRect band = horizontal ? TRect(r.Left + i, r.Top, r.Left + i + 1, r.Bottom)
                                        : TRect(r.Left, r.Top + i, r.Right, r.Top + i + 1);
                TPoint pts[2] = {band.TopLeft(), band.BottomRight()};
                DPtoLP(pts, 2);
                FillSolidRect(TRect(pts[0], pts[1]), colorAt(i));
            }
            continue;
        }
        std::vector<uint32_t> colors(steps);
        for (int i = 0; i < steps; ++i)
            colors[i] = MapPixel(ColorToPixel(colorAt(i)));
        uint32_t* pixels = FSurface->Pixels();
        const int stride = FSurface->StridePixels();
        for (int y = r.Top; y < r.Bottom; ++y) {
            ForClipped(y, r.Left, r.Right, [&](int x0, int x1) {
                uint32_t* row = pixels + static_cast<size_t>(y) * stride;
                for (int x = x0; x < x1; ++x) {
                    uint32_t c = horizontal ? colors[x - r.Left] : colors[y - r.Top];
                    row[x] = c | (row[x] & 0xFF000000);
                }
            });
        }
    }
    return true;
}

} // namespace plat
