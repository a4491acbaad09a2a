// Paths of the device context: figures recorded between BeginPath and EndPath, and the calls that
// stroke, fill, widen, clip with or turn into a region the recorded path.
#include <algorithm>
#include <array>
#include <cairo.h>
#include <cmath>
#include <unordered_map>

#include "platform/gfx/DeviceContext.h"

namespace plat {

namespace {

// Region rows are kept within this range, so a path far off the page cannot exhaust memory.
constexpr int kRowLimit = 1 << 15;
// The largest mask WidenPath rasterises (pixels).
constexpr int64_t kMaxWidenPixels = int64_t(1) << 25;

bool SamePoint(const TPointF& a, const TPointF& b) {
    return std::abs(a.X - b.X) < 1e-9 && std::abs(a.Y - b.Y) < 1e-9;
}

// The borders of the set pixels of a mask as closed figures along pixel edges. Every border runs with
// the set pixels on its right (on screen), so outer borders turn clockwise and holes the other way,
// and the figures fill to the same pixels under either fill mode.
std::vector<std::vector<TPointF>> TraceOutlines(const std::vector<uint8_t>& mask, int stride, int width,
                                                int height, int originX, int originY) {
    auto set = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height &&
               mask[static_cast<size_t>(y) * stride + x] >= 128;
    };
    struct TEdge {
        int From, To;
        uint8_t Dir; // 0 right, 1 down, 2 left, 3 up
        bool Used;
    };
    const int vw = width + 1;
    auto vertex = [vw](int x, int y) { return y * vw + x; };
    std::vector<TEdge> edges;
    // A lattice point starts at most two borders (where two pixels touch only at their corner).
    std::unordered_map<int, std::array<int, 2>> out;
    auto add = [&](int from, int to, uint8_t dir) {
        int id = static_cast<int>(edges.size());
        edges.push_back({from, to, dir, false});
        auto [it, fresh] = out.try_emplace(from, std::array<int, 2>{id, -1});
        if (!fresh)
            it->second[1] = id;
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!set(x, y))
                continue;
            if (!set(x, y - 1))
                add(vertex(x, y), vertex(x + 1, y), 0);
            if (!set(x + 1, y))
                add(vertex(x + 1, y), vertex(x + 1, y + 1), 1);
            if (!set(x, y + 1))
                add(vertex(x + 1, y + 1), vertex(x, y + 1), 2);
            if (!set(x - 1, y))
                add(vertex(x, y + 1), vertex(x, y), 3);
        }

    std::vector<std::vector<TPointF>> figures;
    for (size_t start = 0; start < edges.size(); ++start) {
        if (edges[start].Used)
            continue;
        std::vector<int> loop;
        int cur = static_cast<int>(start);
        while (cur >= 0) {
            edges[cur].Used = true;
            loop.push_back(cur);
            const std::array<int, 2>& slot = out.at(edges[cur].To);
            int next = -1;
            for (int cand : slot) {
                if (cand < 0 || edges[cand].Used)
                    continue;
                // At a corner shared by two diagonal pixels, turn right so the pixels stay apart.
                if (next < 0 || edges[cand].Dir == (edges[cur].Dir + 1) % 4)
                    next = cand;
            }
            cur = next;
        }
        // Keep only the corners.
        std::vector<TPointF> pts;
        for (size_t i = 0; i < loop.size(); ++i) {
            const TEdge& e = edges[loop[i]];
            const TEdge& prev = edges[loop[(i + loop.size() - 1) % loop.size()]];
            if (e.Dir != prev.Dir)
                pts.push_back({double(originX + e.From % vw), double(originY + e.From / vw)});
        }
        if (pts.size() >= 3)
            figures.push_back(std::move(pts));
    }
    return figures;
}

} // namespace

bool TDeviceContext::BeginPath() {
    FPath.clear();
    FPathState = TPathState::Open;
    FPathNewFigure = true;
    return true;
}

bool TDeviceContext::EndPath() {
    if (FPathState != TPathState::Open)
        return false;
    FPathState = TPathState::Closed;
    return true;
}

bool TDeviceContext::AbortPath() {
    DiscardPath();
    return true;
}

void TDeviceContext::DiscardPath() {
    FPath.clear();
    FPathState = TPathState::None;
    FPathNewFigure = true;
}

bool TDeviceContext::CloseFigure() {
    if (FPathState != TPathState::Open || FPath.empty() || FPath.back().Closed)
        return false;
    FPath.back().Closed = true;
    FPathNewFigure = true;
    return true;
}

void TDeviceContext::AddFigure(std::vector<TPointF> points, bool closed) {
    if (points.empty())
        return;
    FPath.push_back({std::move(points), closed});
}

void TDeviceContext::AddToPath(const TShape& shape) {
    size_t base = 0;
    for (size_t f = 0; f < shape.Counts.size(); ++f) {
        auto first = shape.Points.begin() + static_cast<ptrdiff_t>(base);
        auto last = first + shape.Counts[f];
        base += static_cast<size_t>(shape.Counts[f]);
        if (first == last)
            continue;
        bool closed = shape.IsClosed(f);
        // A call that goes on from the current position extends the figure being drawn.
        if (f == 0 && shape.Continues && !closed && !FPathNewFigure && !FPath.empty() &&
            !FPath.back().Closed) {
            std::vector<TPointF>& fig = FPath.back().Points;
            if (SamePoint(fig.back(), *first))
                ++first;
            fig.insert(fig.end(), first, last);
            continue;
        }
        AddFigure(std::vector<TPointF>(first, last), closed);
    }
    FPathNewFigure = !shape.Continues;
}

bool TDeviceContext::PathShape(TShape& shape) const {
    if (FPathState != TPathState::Closed)
        return false;
    for (const TPathFigure& fig : FPath) {
        if (fig.Points.size() < 2)
            continue;
        shape.Points.insert(shape.Points.end(), fig.Points.begin(), fig.Points.end());
        shape.Counts.push_back(static_cast<int>(fig.Points.size()));
        shape.FigureClosed.push_back(fig.Closed ? 1 : 0);
    }
    shape.FillMode = FState.PolyFillMode;
    return true;
}

bool TDeviceContext::DrawPath(bool fill, bool stroke) {
    TShape shape;
    if (!PathShape(shape))
        return false;
    shape.Fill = fill;
    shape.Stroke = stroke;
    DiscardPath();
    if (!shape.Points.empty())
        DrawShape(shape);
    return true;
}

bool TDeviceContext::StrokePath() {
    return DrawPath(false, true);
}

bool TDeviceContext::FillPath() {
    return DrawPath(true, false);
}

bool TDeviceContext::StrokeAndFillPath() {
    return DrawPath(true, true);
}

bool TDeviceContext::FlattenPath() {
    return FPathState == TPathState::Closed;
}

bool TDeviceContext::WidenPath() {
    TShape shape;
    if (!PathShape(shape) || !FState.Pen || FState.Pen->Kind() == PS_NULL)
        return false;
    if (shape.Points.empty())
        return true;
    const int w = DevicePenWidth();
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const TPointF& p : shape.Points) {
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    // Mitred corners reach out up to five pen widths (Cairo's mitre limit is ten).
    const double margin = 5.0 * w + 2;
    auto clampInt = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
    TRect box(clampInt(std::floor(minX - margin)), clampInt(std::floor(minY - margin)),
              clampInt(std::ceil(maxX + margin)) + 1, clampInt(std::ceil(maxY + margin)) + 1);
    if (FSurface) {
        // What lies beyond the surface is never seen; the border the cut leaves stays outside it.
        TRect visible(-2, -2, FSurface->Width() + 2, FSurface->Height() + 2);
        TRect cut;
        if (!IntersectRect(cut, box, visible)) {
            FPath.clear();
            return true;
        }
        box = cut;
    }
    if (int64_t(box.Width()) * box.Height() > kMaxWidenPixels)
        return false;

    int stride = 0;
    const std::vector<uint8_t> mask = StrokeMask(shape, box, stride);
    FPath.clear();
    for (auto& fig : TraceOutlines(mask, stride, box.Width(), box.Height(), box.Left, box.Top))
        AddFigure(std::move(fig), true);
    return true;
}

bool TDeviceContext::PathToRegion(TRegion& region) {
    TShape shape;
    if (!PathShape(shape))
        return false;
    DiscardPath();
    std::vector<TRegion::TSpan> spans;
    if (!shape.Points.empty())
        ScanPolygon(std::span<const TPointF>(shape.Points), std::span<const int>(shape.Counts),
                    shape.FillMode, spans, -kRowLimit, kRowLimit);
    region = TRegion::FromSpans(std::move(spans));
    return true;
}

bool TDeviceContext::SelectClipPath(int mode) {
    if (mode < RGN_AND || mode > RGN_COPY || FPathState != TPathState::Closed)
        return false;
    TRegion region;
    PathToRegion(region);
    return ExtSelectClipRgn(&region, mode) != RGN_ERROR;
}

int TDeviceContext::GetPathDevice(std::vector<TPointF>& points, std::vector<uint8_t>& types) const {
    points.clear();
    types.clear();
    if (FPathState != TPathState::Closed)
        return -1;
    for (const TPathFigure& fig : FPath) {
        for (size_t i = 0; i < fig.Points.size(); ++i) {
            points.push_back(fig.Points[i]);
            types.push_back(i == 0 ? PT_MOVETO : PT_LINETO);
        }
        if (fig.Closed && !fig.Points.empty())
            types.back() |= PT_CLOSEFIGURE;
    }
    return static_cast<int>(points.size());
}

int TDeviceContext::GetPath(std::vector<TPoint>& points, std::vector<uint8_t>& types) const {
    std::vector<TPointF> device;
    points.clear();
    const int n = GetPathDevice(device, types);
    for (const TPointF& d : device) {
        TPoint p(static_cast<int>(std::lround(std::clamp(d.X, -1e9, 1e9))),
                 static_cast<int>(std::lround(std::clamp(d.Y, -1e9, 1e9))));
        DPtoLP(&p, 1);
        points.push_back(p);
    }
    return n;
}

} // namespace plat
