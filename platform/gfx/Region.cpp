#include "platform/gfx/Region.h"

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

struct TInterval {
    int X0, X1;
    bool operator==(const TInterval&) const = default;
};

// The x-intervals of the band of a region that covers row band [y0, y1); rects are banded so one
// band lies wholly inside or outside any y-interval between two breakpoints.
void IntervalsAt(const std::vector<TRect>& rects, size_t& cursor, int y, std::vector<TInterval>& out) {
    out.clear();
    while (cursor < rects.size() && rects[cursor].Bottom <= y)
        ++cursor;
    for (size_t i = cursor; i < rects.size() && rects[i].Top <= y; ++i)
        if (rects[i].Bottom > y)
            out.push_back({rects[i].Left, rects[i].Right});
}

void CombineIntervals(const std::vector<TInterval>& a, const std::vector<TInterval>& b, int mode,
                      std::vector<TInterval>& out) {
    out.clear();
    // Sweep over the sorted edges of both lists, tracking membership in each.
    std::vector<std::pair<int, int>> edges; // x, which list (0 a, 1 b)
    edges.reserve((a.size() + b.size()) * 2);
    for (auto& i : a) {
        edges.push_back({i.X0, 0});
        edges.push_back({i.X1, 0});
    }
    for (auto& i : b) {
        edges.push_back({i.X0, 1});
        edges.push_back({i.X1, 1});
    }
    std::sort(edges.begin(), edges.end());
    bool inA = false, inB = false;
    bool inside = false;
    int start = 0;
    size_t k = 0;
    while (k < edges.size()) {
        int x = edges[k].first;
        while (k < edges.size() && edges[k].first == x) {
            if (edges[k].second == 0)
                inA = !inA;
            else
                inB = !inB;
            ++k;
        }
        bool now = false;
        switch (mode) {
        case RGN_AND:
            now = inA && inB;
            break;
        case RGN_OR:
            now = inA || inB;
            break;
        case RGN_XOR:
            now = inA != inB;
            break;
        case RGN_DIFF:
            now = inA && !inB;
            break;
        default:
            now = inA;
            break;
        }
        if (now && !inside) {
            start = x;
            inside = true;
        } else if (!now && inside) {
            if (x > start)
                out.push_back({start, x});
            inside = false;
        }
    }
}

// Appends one band, merging it into the previous band when that one ends where this begins with the
// same intervals.
void AppendBand(std::vector<TRect>& rects, size_t& lastBandStart, int y0, int y1,
                const std::vector<TInterval>& iv) {
    if (iv.empty())
        return;
    if (lastBandStart < rects.size() && rects[lastBandStart].Bottom == y0 &&
        rects.size() - lastBandStart == iv.size()) {
        bool same = true;
        for (size_t i = 0; i < iv.size(); ++i) {
            const TRect& r = rects[lastBandStart + i];
            if (r.Left != iv[i].X0 || r.Right != iv[i].X1) {
                same = false;
                break;
            }
        }
        if (same) {
            for (size_t i = lastBandStart; i < rects.size(); ++i)
                rects[i].Bottom = y1;
            return;
        }
    }
    lastBandStart = rects.size();
    for (auto& i : iv)
        rects.push_back(TRect(i.X0, y0, i.X1, y1));
}

void CollectBreaks(const std::vector<TRect>& rects, std::vector<int>& ys) {
    for (auto& r : rects) {
        ys.push_back(r.Top);
        ys.push_back(r.Bottom);
    }
}

} // namespace

TRegion::TRegion(const TRect& r) {
    if (!r.IsEmpty())
        FRects.push_back(r);
    UpdateBounds();
}

TRegion TRegion::FromRect(int left, int top, int right, int bottom) {
    // Like the classic call, the corners may come in any order.
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    return TRegion(TRect(left, top, right, bottom));
}

void TRegion::UpdateBounds() {
    if (FRects.empty()) {
        FBounds = TRect();
        return;
    }
    TRect b = FRects.front();
    for (auto& r : FRects) {
        b.Left = std::min(b.Left, r.Left);
        b.Right = std::max(b.Right, r.Right);
        b.Top = std::min(b.Top, r.Top);
        b.Bottom = std::max(b.Bottom, r.Bottom);
    }
    FBounds = b;
}

int TRegion::Kind() const {
    if (FRects.empty())
        return NULLREGION;
    return FRects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool TRegion::Contains(int x, int y) const {
    if (!FBounds.Contains(TPoint(x, y)))
        return false;
    // First rect whose band ends below y.
    auto it =
        std::partition_point(FRects.begin(), FRects.end(), [y](const TRect& r) { return r.Bottom <= y; });
    for (; it != FRects.end() && it->Top <= y; ++it)
        if (x >= it->Left && x < it->Right)
            return true;
    return false;
}

bool TRegion::IntersectsRect(const TRect& r) const {
    TRect tmp;
    if (!IntersectRect(tmp, r, FBounds))
        return false;
    for (auto& q : FRects)
        if (IntersectRect(tmp, q, r))
            return true;
    return false;
}

void TRegion::Offset(int dx, int dy) {
    for (auto& r : FRects)
        OffsetRect(r, dx, dy);
    if (!FRects.empty())
        OffsetRect(FBounds, dx, dy);
}

int TRegion::Combine(const TRegion& a, const TRegion& b, int mode) {
    if (mode == RGN_COPY) {
        if (this != &a)
            *this = a;
        return Kind();
    }
    if (mode < RGN_AND || mode > RGN_DIFF) {
        return RGN_ERROR;
    }
    // Painting clips every child control to its rectangle within a mostly rectangular window; two
    // rectangles meet in one rectangle, without the band sweep.
    if (mode == RGN_AND && a.FRects.size() <= 1 && b.FRects.size() <= 1) {
        TRect meet;
        const bool any =
            !a.FRects.empty() && !b.FRects.empty() && IntersectRect(meet, a.FRects[0], b.FRects[0]);
        FRects.clear();
        if (any)
            FRects.push_back(meet);
        UpdateBounds();
        return Kind();
    }
    std::vector<int> ys;
    CollectBreaks(a.FRects, ys);
    CollectBreaks(b.FRects, ys);
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::vector<TRect> result;
    size_t lastBand = SIZE_MAX;
    size_t ca = 0, cb = 0;
    std::vector<TInterval> ia, ib, io;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        int y0 = ys[k], y1 = ys[k + 1];
        IntervalsAt(a.FRects, ca, y0, ia);
        IntervalsAt(b.FRects, cb, y0, ib);
        CombineIntervals(ia, ib, mode, io);
        AppendBand(result, lastBand, y0, y1, io);
    }
    FRects = std::move(result);
    UpdateBounds();
    return Kind();
}

TRegion TRegion::Intersected(const TRect& r) const {
    TRegion out;
    out.Combine(*this, TRegion(r), RGN_AND);
    return out;
}

TRegion TRegion::FromSpans(std::vector<TSpan> spans) {
    std::sort(spans.begin(), spans.end(),
              [](const TSpan& p, const TSpan& q) { return p.Y != q.Y ? p.Y < q.Y : p.X0 < q.X0; });
    TRegion out;
    size_t lastBand = SIZE_MAX;
    std::vector<TInterval> row;
    size_t i = 0;
    while (i < spans.size()) {
        int y = spans[i].Y;
        row.clear();
        for (; i < spans.size() && spans[i].Y == y; ++i) {
            if (spans[i].X1 <= spans[i].X0)
                continue;
            if (!row.empty() && spans[i].X0 <= row.back().X1)
                row.back().X1 = std::max(row.back().X1, spans[i].X1);
            else
                row.push_back({spans[i].X0, spans[i].X1});
        }
        AppendBand(out.FRects, lastBand, y, y + 1, row);
    }
    out.UpdateBounds();
    return out;
}

void ScanPolygon(std::span<const TPoint> points, std::span<const int> counts, int fillMode,
                 std::vector<TRegion::TSpan>& out) {
    std::vector<TPointF> pf(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        pf[i] = {double(points[i].X), double(points[i].Y)};
    ScanPolygon(std::span<const TPointF>(pf), counts, fillMode, out);
}

void ScanPolygon(std::span<const TPointF> points, std::span<const int> counts, int fillMode,
                 std::vector<TRegion::TSpan>& out, int rowFrom, int rowTo) {
    struct TEdge {
        double X0, Y0, X1, Y1;
        int Dir;
    };
    std::vector<TEdge> edges;
    size_t base = 0;
    double minY = 1e300, maxY = -1e300;
    for (int count : counts) {
        if (count < 0 || base + static_cast<size_t>(count) > points.size())
            break;
        for (int i = 0; i < count; ++i) {
            TPointF p = points[base + i];
            TPointF q = points[base + (i + 1) % count];
            minY = std::min(minY, p.Y);
            maxY = std::max(maxY, p.Y);
            if (p.Y == q.Y)
                continue;
            if (p.Y < q.Y)
                edges.push_back({p.X, p.Y, q.X, q.Y, 1});
            else
                edges.push_back({q.X, q.Y, p.X, p.Y, -1});
        }
        base += static_cast<size_t>(count);
    }
    if (edges.empty())
        return;
    // Rows whose centre lies between the extremes; far-off coordinates are cut to a sane range.
    int yStart = static_cast<int>(std::max(std::ceil(minY - 0.5), double(rowFrom)));
    int yEnd = static_cast<int>(std::min(std::ceil(maxY - 0.5), double(rowTo)));
    std::vector<std::pair<double, int>> xs;
    for (int y = yStart; y < yEnd; ++y) {
        double yc = y + 0.5;
        xs.clear();
        for (auto& e : edges) {
            if (yc < e.Y0 || yc >= e.Y1)
                continue;
            double x = e.X0 + (e.X1 - e.X0) * (yc - e.Y0) / (e.Y1 - e.Y0);
            xs.push_back({x, e.Dir});
        }
        std::sort(xs.begin(), xs.end());
        int wind = 0;
        for (size_t k = 0; k + 1 < xs.size(); ++k) {
            wind += (fillMode == WINDING) ? xs[k].second : 1;
            bool inside = (fillMode == WINDING) ? wind != 0 : (wind & 1) != 0;
            if (!inside)
                continue;
            // Pixels whose centre x + 0.5 lies in [xa, xb).
            int x0 = static_cast<int>(std::clamp(std::ceil(xs[k].first - 0.5), -1e9, 1e9));
            int x1 = static_cast<int>(std::clamp(std::ceil(xs[k + 1].first - 0.5), -1e9, 1e9));
            if (x1 > x0)
                out.push_back({y, x0, x1});
        }
    }
}

TRegion TRegion::FromPolygon(std::span<const TPoint> points, int fillMode) {
    int count = static_cast<int>(points.size());
    return FromPolyPolygon(points, std::span<const int>(&count, 1), fillMode);
}

TRegion TRegion::FromPolyPolygon(std::span<const TPoint> points, std::span<const int> counts, int fillMode) {
    std::vector<TSpan> spans;
    ScanPolygon(points, counts, fillMode, spans);
    return FromSpans(std::move(spans));
}

TRegion TRegion::FromEllipse(const TRect& box) {
    return FromRoundRect(box, box.Width(), box.Height());
}

TRegion TRegion::FromRoundRect(const TRect& boxIn, int cornerWidth, int cornerHeight) {
    TRect box = boxIn;
    if (box.Right < box.Left)
        std::swap(box.Left, box.Right);
    if (box.Bottom < box.Top)
        std::swap(box.Top, box.Bottom);
    if (box.IsEmpty())
        return TRegion();
    double rx = std::min(std::abs(cornerWidth), box.Width()) / 2.0;
    double ry = std::min(std::abs(cornerHeight), box.Height()) / 2.0;
    if (rx <= 0 || ry <= 0)
        return TRegion(box);
    std::vector<TSpan> spans;
    double top = box.Top + ry, bottom = box.Bottom - ry;
    for (int y = box.Top; y < box.Bottom; ++y) {
        double yc = y + 0.5;
        double dy = 0;
        if (yc < top)
            dy = (top - yc) / ry;
        else if (yc > bottom)
            dy = (yc - bottom) / ry;
        if (dy >= 1)
            continue;
        double inset = rx - rx * std::sqrt(1 - dy * dy);
        double xa = box.Left + inset, xb = box.Right - inset;
        int x0 = static_cast<int>(std::ceil(xa - 0.5));
        int x1 = static_cast<int>(std::ceil(xb - 0.5));
        if (x1 > x0)
            spans.push_back({y, x0, x1});
    }
    return FromSpans(std::move(spans));
}

} // namespace plat
