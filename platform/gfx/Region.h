// A region: an exact set of pixels kept as y-bands of non-overlapping rectangles, used for clipping
// and hit tests. Rectangles cover left <= x < right like every rectangle of the layer.
#pragma once

#include <span>
#include <vector>

#include "platform/gfx/GdiTypes.h"

namespace plat {

class TRegion {
public:
    TRegion() = default;
    explicit TRegion(const TRect& r);

    static TRegion FromRect(int left, int top, int right, int bottom);
    // The ellipse inscribed in the box; a pixel belongs when its centre lies inside.
    static TRegion FromEllipse(const TRect& box);
    // A rectangle whose corners are quarter ellipses of cornerWidth by cornerHeight.
    static TRegion FromRoundRect(const TRect& box, int cornerWidth, int cornerHeight);
    // fillMode ALTERNATE (even-odd) or WINDING (non-zero).
    static TRegion FromPolygon(std::span<const TPoint> points, int fillMode);
    static TRegion FromPolyPolygon(std::span<const TPoint> points, std::span<const int> counts, int fillMode);
    // Builds from rows of spans, each span [x0, x1) on row y; rows may come in any order.
    struct TSpan {
        int Y, X0, X1;
    };
    static TRegion FromSpans(std::vector<TSpan> spans);

    bool IsEmpty() const { return FRects.empty(); }
    // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
    int Kind() const;
    TRect Bounds() const { return FBounds; }
    const std::vector<TRect>& Rects() const { return FRects; }

    bool Contains(int x, int y) const;
    bool Contains(TPoint p) const { return Contains(p.X, p.Y); }
    bool IntersectsRect(const TRect& r) const;
    void Offset(int dx, int dy);

    // Sets this region to a op b (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY copies a) and returns the
    // kind.
    int Combine(const TRegion& a, const TRegion& b, int mode);
    TRegion Intersected(const TRect& r) const;

    bool operator==(const TRegion& other) const { return FRects == other.FRects; }

private:
    void UpdateBounds();
    std::vector<TRect> FRects; // banded: sorted by Top then Left; bands share Top and Bottom
    TRect FBounds;
};

// The classic free-function forms, for callers written against them.
inline TRegion CreateRectRgn(int l, int t, int r, int b) {
    return TRegion::FromRect(l, t, r, b);
}
inline TRegion CreateRectRgnIndirect(const TRect& r) {
    return TRegion(r);
}
inline TRegion CreateEllipticRgn(int l, int t, int r, int b) {
    return TRegion::FromEllipse(TRect(l, t, r, b));
}
inline TRegion CreateEllipticRgnIndirect(const TRect& r) {
    return TRegion::FromEllipse(r);
}
inline TRegion CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
    return TRegion::FromRoundRect(TRect(l, t, r, b), w, h);
}
inline TRegion CreatePolygonRgn(std::span<const TPoint> pts, int fillMode) {
    return TRegion::FromPolygon(pts, fillMode);
}
inline int CombineRgn(TRegion& dst, const TRegion& a, const TRegion& b, int mode) {
    return dst.Combine(a, b, mode);
}
inline int OffsetRgn(TRegion& rgn, int dx, int dy) {
    rgn.Offset(dx, dy);
    return rgn.Kind();
}
inline bool PtInRegion(const TRegion& rgn, int x, int y) {
    return rgn.Contains(x, y);
}
inline bool RectInRegion(const TRegion& rgn, const TRect& r) {
    return rgn.IntersectsRect(r);
}
inline int GetRgnBox(const TRegion& rgn, TRect& box) {
    box = rgn.Bounds();
    return rgn.Kind();
}
inline bool EqualRgn(const TRegion& a, const TRegion& b) {
    return a == b;
}

struct TPointF {
    double X = 0;
    double Y = 0;
};

// Scan conversion shared by regions and the device context: appends the pixel spans whose centres
// lie inside a closed polygon (or several, `counts` points each).
void ScanPolygon(std::span<const TPoint> points, std::span<const int> counts, int fillMode,
                 std::vector<TRegion::TSpan>& out);
// Rows outside [rowFrom, rowTo) are skipped.
void ScanPolygon(std::span<const TPointF> points, std::span<const int> counts, int fillMode,
                 std::vector<TRegion::TSpan>& out, int rowFrom = -100000000, int rowTo = 100000000);

} // namespace plat
