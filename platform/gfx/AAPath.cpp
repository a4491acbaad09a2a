// Paths and regions of the anti-aliased graphics layer: building figures, flattening, point tests,
// and the region trees with their rasterisation for clipping.
#include <algorithm>
#include <cmath>

#include "platform/gfx/AAInternal.h"
#include "platform/rtl/ScopeGuard.h"

namespace plat {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Control-point distance that makes a cubic Bézier follow a quarter circle.
constexpr double kKappa = 0.5522847498307936;

bool Same(TAAPointF a, float x, float y) {
    return a.X == x && a.Y == y;
}

TAAPointF Pt(double x, double y) {
    return {static_cast<float>(x), static_cast<float>(y)};
}

bool FinitePoints(const TAAPointF* pts, int count) {
    for (int i = 0; i < count; ++i)
        if (!Finite(pts[i].X) || !Finite(pts[i].Y))
            return false;
    return true;
}

} // namespace

// ---- Path data ----

void TAAPathData::Join(float x, float y) {
    if (StartNew || Points.empty()) {
        Points.push_back({x, y});
        Types.push_back(aaptStart);
        StartNew = false;
    } else if (!Same(Points.back(), x, y)) {
        LineTo(x, y);
    }
}

void TAAPathData::LineTo(float x, float y) {
    Points.push_back({x, y});
    Types.push_back(aaptLine);
}

void TAAPathData::BezierTo(TAAPointF c1, TAAPointF c2, TAAPointF p) {
    Points.insert(Points.end(), {c1, c2, p});
    Types.insert(Types.end(), {aaptBezier, aaptBezier, aaptBezier});
}

void TAAPathData::Close() {
    if (!StartNew && !Types.empty())
        Types.back() |= aaptCloseSubpath;
    StartNew = true;
}

void TAAPathData::AddArc(double x, double y, double w, double h, double start, double sweep) {
    double rx = w / 2, ry = h / 2, cx = x + rx, cy = y + ry;
    sweep = std::clamp(sweep, -360.0, 360.0);
    // Angles name the direction of a ray from the centre; the ellipse's own parameter differs from it
    // unless the ellipse is a circle.
    auto param = [&](double deg) {
        double a = deg * kPi / 180;
        return std::atan2(std::abs(rx) * std::sin(a), std::abs(ry) * std::cos(a));
    };
    double p0 = param(start), p1;
    if (std::abs(sweep) >= 360) {
        p1 = p0 + (sweep > 0 ? 2 * kPi : -2 * kPi);
    } else {
        p1 = param(start + sweep);
        if (sweep > 0)
            while (p1 < p0)
                p1 += 2 * kPi;
        else if (sweep < 0)
            while (p1 > p0)
                p1 -= 2 * kPi;
        else
            p1 = p0;
    }
    auto at = [&](double a) { return Pt(cx + std::abs(rx) * std::cos(a), cy + std::abs(ry) * std::sin(a)); };
    auto dir = [&](double a) { return std::pair(-std::abs(rx) * std::sin(a), std::abs(ry) * std::cos(a)); };
    int n = std::max(1, static_cast<int>(std::ceil(std::abs(p1 - p0) / (kPi / 2) - 1e-9)));
    double d = (p1 - p0) / n, k = 4.0 / 3.0 * std::tan(d / 4);
    TAAPointF s = at(p0);
    Join(s.X, s.Y);
    for (int i = 0; i < n; ++i) {
        double a = p0 + i * d, b = a + d;
        TAAPointF pa = at(a), pb = at(b);
        auto [dax, day] = dir(a);
        auto [dbx, dby] = dir(b);
        BezierTo(Pt(pa.X + k * dax, pa.Y + k * day), Pt(pb.X - k * dbx, pb.Y - k * dby), pb);
    }
}

void TAAPathData::AddEllipse(double x, double y, double w, double h) {
    double rx = w / 2, ry = h / 2, cx = x + rx, cy = y + ry, kx = rx * kKappa, ky = ry * kKappa;
    StartNew = true;
    Join(static_cast<float>(cx + rx), static_cast<float>(cy));
    BezierTo(Pt(cx + rx, cy + ky), Pt(cx + kx, cy + ry), Pt(cx, cy + ry));
    BezierTo(Pt(cx - kx, cy + ry), Pt(cx - rx, cy + ky), Pt(cx - rx, cy));
    BezierTo(Pt(cx - rx, cy - ky), Pt(cx - kx, cy - ry), Pt(cx, cy - ry));
    BezierTo(Pt(cx + kx, cy - ry), Pt(cx + rx, cy - ky), Pt(cx + rx, cy));
    Close();
}

void TAAPathData::AddCurveSegments(const TAAPointF* pts, int count, double tension, bool closed) {
    auto at = [&](int i) {
        if (closed)
            return pts[((i % count) + count) % count];
        return pts[std::clamp(i, 0, count - 1)];
    };
    int segments = closed ? count : count - 1;
    double t = tension / 3;
    for (int i = 0; i < segments; ++i) {
        TAAPointF p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        BezierTo(Pt(p1.X + t * (p2.X - p0.X), p1.Y + t * (p2.Y - p0.Y)),
                 Pt(p2.X - t * (p3.X - p1.X), p2.Y - t * (p3.Y - p1.Y)), p2);
    }
}

// ---- Flattening and point tests ----

namespace {

struct TFlattener {
    double Tol2;
    TFlatFigure* Fig;

    void Add(double x, double y, double src) {
        Fig->X.push_back(x);
        Fig->Y.push_back(y);
        Fig->Source.push_back(src);
    }
    void Bezier(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                double s0, double s1, int depth) {
        // Flat when both control points lie within the tolerance of the chord.
        double dx = x3 - x0, dy = y3 - y0, len2 = dx * dx + dy * dy;
        auto dist2 = [&](double px, double py) {
            if (len2 < 1e-18)
                return (px - x0) * (px - x0) + (py - y0) * (py - y0);
            double c = (px - x0) * dy - (py - y0) * dx;
            return c * c / len2;
        };
        if (depth >= 16 || (dist2(x1, y1) <= Tol2 && dist2(x2, y2) <= Tol2)) {
            Add(x3, y3, s1);
            return;
        }
        double ax = (x0 + x1) / 2, ay = (y0 + y1) / 2, bx = (x1 + x2) / 2, by = (y1 + y2) / 2;
        double cx = (x2 + x3) / 2, cy = (y2 + y3) / 2, abx = (ax + bx) / 2, aby = (ay + by) / 2;
        double bcx = (bx + cx) / 2, bcy = (by + cy) / 2, mx = (abx + bcx) / 2, my = (aby + bcy) / 2;
        double sm = (s0 + s1) / 2;
        Bezier(x0, y0, ax, ay, abx, aby, mx, my, s0, sm, depth + 1);
        Bezier(mx, my, bcx, bcy, cx, cy, x3, y3, sm, s1, depth + 1);
    }
};

void MapPoint(const double* m, double& x, double& y) {
    if (!m)
        return;
    double nx = m[0] * x + m[2] * y + m[4];
    double ny = m[1] * x + m[3] * y + m[5];
    x = nx;
    y = ny;
}

} // namespace

std::vector<TFlatFigure> FlattenPath(const TAAPathData& data, double tolerance, const double* m) {
    std::vector<TFlatFigure> out;
    TFlattener fl{tolerance * tolerance, nullptr};
    size_t n = data.Points.size();
    for (size_t i = 0; i < n; ++i) {
        uint8_t kind = data.Types[i] & aaptTypeMask;
        double x = data.Points[i].X, y = data.Points[i].Y;
        MapPoint(m, x, y);
        if (kind == aaptStart || out.empty()) {
            out.emplace_back();
            fl.Fig = &out.back();
            fl.Add(x, y, static_cast<double>(i));
        } else if (kind == aaptBezier && i + 2 < n) {
            double x2 = data.Points[i + 1].X, y2 = data.Points[i + 1].Y;
            double x3 = data.Points[i + 2].X, y3 = data.Points[i + 2].Y;
            MapPoint(m, x2, y2);
            MapPoint(m, x3, y3);
            double x0 = fl.Fig->X.back(), y0 = fl.Fig->Y.back();
            fl.Bezier(x0, y0, x, y, x2, y2, x3, y3, static_cast<double>(i) - 1, static_cast<double>(i) + 2,
                      0);
            i += 2;
        } else {
            fl.Add(x, y, static_cast<double>(i));
        }
        if (data.Types[i] & aaptCloseSubpath)
            out.back().Closed = true;
    }
    return out;
}

bool PointInFigures(const std::vector<TFlatFigure>& figures, double x, double y, int fillMode) {
    int winding = 0, crossings = 0;
    for (const TFlatFigure& f : figures) {
        size_t n = f.X.size();
        for (size_t i = 0; i < n; ++i) {
            size_t j = (i + 1) % n;
            double x0 = f.X[i], y0 = f.Y[i], x1 = f.X[j], y1 = f.Y[j];
            if ((y0 <= y) == (y1 <= y))
                continue;
            double cx = x0 + (y - y0) * (x1 - x0) / (y1 - y0);
            if (cx > x) {
                ++crossings;
                winding += y1 > y0 ? 1 : -1;
            }
        }
    }
    return fillMode == aafmWinding ? winding != 0 : (crossings & 1) != 0;
}

bool FlatBounds(const std::vector<TFlatFigure>& figures, double& x0, double& y0, double& x1, double& y1) {
    bool any = false;
    for (const TFlatFigure& f : figures)
        for (size_t i = 0; i < f.X.size(); ++i) {
            if (!any) {
                x0 = x1 = f.X[i];
                y0 = y1 = f.Y[i];
                any = true;
            }
            x0 = std::min(x0, f.X[i]);
            x1 = std::max(x1, f.X[i]);
            y0 = std::min(y0, f.Y[i]);
            y1 = std::max(y1, f.Y[i]);
        }
    if (!any)
        x0 = y0 = x1 = y1 = 0;
    return any;
}

void EmitPath(cairo_t* cr, const TAAPathData& data) {
    size_t n = data.Points.size();
    for (size_t i = 0; i < n; ++i) {
        uint8_t kind = data.Types[i] & aaptTypeMask;
        const TAAPointF& p = data.Points[i];
        if (kind == aaptStart) {
            cairo_new_sub_path(cr);
            cairo_move_to(cr, p.X, p.Y);
        } else if (kind == aaptBezier && i + 2 < n) {
            const TAAPointF &q = data.Points[i + 1], &r = data.Points[i + 2];
            cairo_curve_to(cr, p.X, p.Y, q.X, q.Y, r.X, r.Y);
            i += 2;
        } else {
            cairo_line_to(cr, p.X, p.Y);
        }
        if (data.Types[i] & aaptCloseSubpath)
            cairo_close_path(cr);
    }
}

// ---- TAAPath ----

TAAPath::TAAPath(int fillMode) : FData(std::make_shared<TAAPathData>()) {
    if (fillMode != aafmAlternate && fillMode != aafmWinding) {
        Created(TAAStatus::InvalidParameter);
        return;
    }
    FData->FillMode = fillMode;
    Created(TAAStatus::Ok);
}

TAAPath::~TAAPath() = default;

TAAPathData& TAAPath::Mutable() {
    if (FData.use_count() > 1)
        FData = std::make_shared<TAAPathData>(*FData);
    return *FData;
}

int TAAPath::FillMode() const {
    return FData->FillMode;
}

TAAStatus TAAPath::SetFillMode(int mode) {
    if (!Valid() || (mode != aafmAlternate && mode != aafmWinding))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        Mutable().FillMode = mode;
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::Reset() {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        int mode = FData->FillMode;
        FData = std::make_shared<TAAPathData>();
        FData->FillMode = mode;
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::StartFigure() {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        Mutable().StartNew = true;
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::CloseFigure() {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        Mutable().Close();
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::AddLine(float x1, float y1, float x2, float y2) {
    if (!Valid() || !FiniteAll({x1, y1, x2, y2}))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        TAAPathData& d = Mutable();
        d.Join(x1, y1);
        d.LineTo(x2, y2);
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::AddLines(const TAAPointF* points, int count) {
    if (!Valid() || !points || count < 1 || !FinitePoints(points, count))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        TAAPathData& d = Mutable();
        d.Join(points[0].X, points[0].Y);
        for (int i = 1; i < count; ++i)
            d.LineTo(points[i].X, points[i].Y);
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle) {
    if (!Valid() || !FiniteAll({x, y, width, height, startAngle, sweepAngle}))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        Mutable().AddArc(x, y, width, height, startAngle, sweepAngle);
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
    TAAPointF pts[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    return AddBeziers(pts, 4);
}

TAAStatus TAAPath::AddBeziers(const TAAPointF* points, int count) {
    if (!Valid() || !points || count < 4 || (count - 1) % 3 != 0 || !FinitePoints(points, count))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        TAAPathData& d = Mutable();
        d.Join(points[0].X, points[0].Y);
        for (int i = 1; i + 2 < count; i += 3)
            d.BezierTo(points[i], points[i + 1], points[i + 2]);
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::AddCurve(const TAAPointF* points, int count, float tension) {
    if (!Valid() || !points || count < 2 || !Finite(tension) || tension < 0 || !FinitePoints(points, count))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        TAAPathData& d = Mutable();
        d.Join(points[0].X, points[0].Y);
        d.AddCurveSegments(points, count, tension, false);
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::AddClosedCurve(const TAAPointF* points, int count, float tension) {
    if (!Valid() || !points || count < 3 || !Finite(tension) || tension < 0 || !FinitePoints(points, count))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        TAAPathData& d = Mutable();
        d.StartNew = true;
        d.Join(points[0].X, points[0].Y);
        d.AddCurveSegments(points, count, tension, true);
        d.Close();
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::AddRectangle(const TAARectF& r) {
    if (!Valid() || !FiniteAll({r.X, r.Y, r.Width, r.Height}))
        return Keep(TAAStatus::InvalidParameter);
    if (r.Width == 0 || r.Height == 0)
        return TAAStatus::Ok;
    return Keep(Guarded([&] {
        TAAPathData& d = Mutable();
        d.StartNew = true;
        d.Join(r.X, r.Y);
        d.LineTo(r.X + r.Width, r.Y);
        d.LineTo(r.X + r.Width, r.Y + r.Height);
        d.LineTo(r.X, r.Y + r.Height);
        d.Close();
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::AddEllipse(float x, float y, float width, float height) {
    if (!Valid() || !FiniteAll({x, y, width, height}))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        Mutable().AddEllipse(x, y, width, height);
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAPath::AddPolygon(const TAAPointF* points, int count) {
    if (!Valid() || !points || count < 3 || !FinitePoints(points, count))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        TAAPathData& d = Mutable();
        d.StartNew = true;
        d.Join(points[0].X, points[0].Y);
        for (int i = 1; i < count; ++i)
            d.LineTo(points[i].X, points[i].Y);
        d.Close();
        return TAAStatus::Ok;
    }));
}

int TAAPath::PointCount() const {
    return static_cast<int>(FData->Points.size());
}
std::vector<TAAPointF> TAAPath::Points() const {
    return FData->Points;
}
std::vector<uint8_t> TAAPath::Types() const {
    return FData->Types;
}

TAAStatus TAAPath::GetBounds(TAARectF& bounds) const {
    bounds = {};
    if (!Valid())
        return TAAStatus::InvalidParameter;
    return Guarded([&] {
        double x0, y0, x1, y1;
        FlatBounds(FlattenPath(*FData, 0.05), x0, y0, x1, y1);
        bounds = {static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(x1 - x0),
                  static_cast<float>(y1 - y0)};
        return TAAStatus::Ok;
    });
}

bool TAAPath::IsVisible(float x, float y) const {
    if (!Valid())
        return false;
    try {
        return PointInFigures(FlattenPath(*FData, 0.05), x, y, FData->FillMode);
    } catch (...) {
        return false;
    }
}

// ---- Region trees ----

TRegionPtr MakeRegionKind(TAARegionNode::TKind kind) {
    auto n = std::make_shared<TAARegionNode>();
    n->Kind = kind;
    return n;
}

TRegionPtr MakeRegionRect(double x, double y, double w, double h) {
    if (!(w > 0) || !(h > 0))
        return MakeRegionKind(TAARegionNode::Empty);
    auto n = std::make_shared<TAARegionNode>();
    n->Kind = TAARegionNode::Rect;
    n->X = x, n->Y = y, n->W = w, n->H = h;
    return n;
}

TRegionPtr MakeRegionPath(std::shared_ptr<const TAAPathData> data) {
    auto n = std::make_shared<TAARegionNode>();
    n->Kind = TAARegionNode::Path;
    n->PathData = std::move(data);
    return n;
}

TRegionPtr CombineRegions(TRegionPtr a, TRegionPtr b, int mode) {
    using K = TAARegionNode;
    if (mode == aacmReplace)
        return b;
    bool aInf = a->Kind == K::Infinite, bInf = b->Kind == K::Infinite;
    bool aEmpty = a->Kind == K::Empty, bEmpty = b->Kind == K::Empty;
    switch (mode) {
    case aacmIntersect:
        if (aEmpty || bInf)
            return a;
        if (bEmpty || aInf)
            return b;
        break;
    case aacmUnion:
        if (aInf || bEmpty)
            return a;
        if (bInf || aEmpty)
            return b;
        break;
    case aacmXor:
        if (bEmpty)
            return a;
        if (aEmpty)
            return b;
        break;
    case aacmExclude:
        if (aEmpty || bEmpty)
            return a;
        if (bInf)
            return MakeRegionKind(K::Empty);
        break;
    case aacmComplement:
        if (bEmpty || aEmpty)
            return b;
        if (aInf)
            return MakeRegionKind(K::Empty);
        break;
    default:
        break;
    }
    auto n = std::make_shared<TAARegionNode>();
    n->Kind = K::Combine;
    n->Mode = mode;
    n->A = std::move(a);
    n->B = std::move(b);
    return n;
}

TRegionPtr TransformRegion(const TRegionPtr& node, const double m[6]) {
    using K = TAARegionNode;
    switch (node->Kind) {
    case K::Empty:
    case K::Infinite:
        return node;
    case K::Rect:
        if (m[1] == 0 && m[2] == 0) {
            double x0 = m[0] * node->X + m[4], x1 = m[0] * (node->X + node->W) + m[4];
            double y0 = m[3] * node->Y + m[5], y1 = m[3] * (node->Y + node->H) + m[5];
            return MakeRegionRect(std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0));
        } else {
            auto d = std::make_shared<TAAPathData>();
            double xs[4] = {node->X, node->X + node->W, node->X + node->W, node->X};
            double ys[4] = {node->Y, node->Y, node->Y + node->H, node->Y + node->H};
            for (int i = 0; i < 4; ++i) {
                double x = xs[i], y = ys[i];
                MapPoint(m, x, y);
                if (i == 0)
                    d->Join(static_cast<float>(x), static_cast<float>(y));
                else
                    d->LineTo(static_cast<float>(x), static_cast<float>(y));
            }
            d->Close();
            return MakeRegionPath(d);
        }
    case K::Path: {
        auto d = std::make_shared<TAAPathData>(*node->PathData);
        for (TAAPointF& p : d->Points) {
            double x = p.X, y = p.Y;
            MapPoint(m, x, y);
            p = Pt(x, y);
        }
        return MakeRegionPath(d);
    }
    case K::Combine:
        break;
    }
    auto n = std::make_shared<TAARegionNode>(*node);
    n->A = TransformRegion(node->A, m);
    n->B = TransformRegion(node->B, m);
    return n;
}

bool RegionContains(const TRegionPtr& node, double x, double y) {
    using K = TAARegionNode;
    switch (node->Kind) {
    case K::Empty:
        return false;
    case K::Infinite:
        return true;
    case K::Rect:
        return x >= node->X && x < node->X + node->W && y >= node->Y && y < node->Y + node->H;
    case K::Path:
        return PointInFigures(FlattenPath(*node->PathData, 0.05), x, y, node->PathData->FillMode);
    case K::Combine:
        break;
    }
    bool a = RegionContains(node->A, x, y), b = RegionContains(node->B, x, y);
    switch (node->Mode) {
    case aacmIntersect:
        return a && b;
    case aacmUnion:
        return a || b;
    case aacmXor:
        return a != b;
    case aacmExclude:
        return a && !b;
    case aacmComplement:
        return b && !a;
    default:
        return b;
    }
}

int RegionBounds(const TRegionPtr& node, double& x0, double& y0, double& x1, double& y1) {
    using K = TAARegionNode;
    switch (node->Kind) {
    case K::Empty:
        x0 = y0 = x1 = y1 = 0;
        return 0;
    case K::Infinite:
        return 2;
    case K::Rect:
        x0 = node->X, y0 = node->Y, x1 = node->X + node->W, y1 = node->Y + node->H;
        return 1;
    case K::Path:
        return FlatBounds(FlattenPath(*node->PathData, 0.05), x0, y0, x1, y1) ? 1 : 0;
    case K::Combine:
        break;
    }
    double a0, a1, a2, a3, b0, b1, b2, b3;
    int ka = RegionBounds(node->A, a0, a1, a2, a3), kb = RegionBounds(node->B, b0, b1, b2, b3);
    auto take = [&](int k, double p0, double p1, double p2, double p3) {
        x0 = p0, y0 = p1, x1 = p2, y1 = p3;
        return k;
    };
    switch (node->Mode) {
    case aacmIntersect:
        if (ka == 0 || kb == 0)
            return take(0, 0, 0, 0, 0);
        if (ka == 2)
            return take(kb, b0, b1, b2, b3);
        if (kb == 2)
            return take(ka, a0, a1, a2, a3);
        x0 = std::max(a0, b0), y0 = std::max(a1, b1), x1 = std::min(a2, b2), y1 = std::min(a3, b3);
        if (x0 >= x1 || y0 >= y1)
            return take(0, 0, 0, 0, 0);
        return 1;
    case aacmUnion:
    case aacmXor:
        if (ka == 2 || kb == 2)
            return 2;
        if (ka == 0)
            return take(kb, b0, b1, b2, b3);
        if (kb == 0)
            return take(ka, a0, a1, a2, a3);
        x0 = std::min(a0, b0), y0 = std::min(a1, b1), x1 = std::max(a2, b2), y1 = std::max(a3, b3);
        return 1;
    case aacmExclude:
        return take(ka, a0, a1, a2, a3);
    default:
        return take(kb, b0, b1, b2, b3);
    }
}

namespace {

void FillLeaf(cairo_t* cr, const TAARegionNode& n) {
    if (n.Kind == TAARegionNode::Rect) {
        cairo_rectangle(cr, n.X, n.Y, n.W, n.H);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    } else {
        EmitPath(cr, *n.PathData);
        cairo_set_fill_rule(cr, n.PathData->FillMode == aafmWinding ? CAIRO_FILL_RULE_WINDING
                                                                    : CAIRO_FILL_RULE_EVEN_ODD);
    }
}

cairo_surface_t* Rasterize(const TAARegionNode& n, int x, int y, int w, int h) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
        throw std::bad_alloc();
    cairo_t* cr = cairo_create(s);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_translate(cr, -x, -y);
    switch (n.Kind) {
    case TAARegionNode::Empty:
        break;
    case TAARegionNode::Infinite:
        cairo_paint(cr);
        break;
    case TAARegionNode::Rect:
    case TAARegionNode::Path:
        FillLeaf(cr, n);
        cairo_fill(cr);
        break;
    case TAARegionNode::Combine: {
        cairo_destroy(cr);
        cairo_surface_destroy(s);
        s = Rasterize(*n.A, x, y, w, h);
        ScopeGuard dropA([s] { cairo_surface_destroy(s); });
        cairo_surface_t* b = Rasterize(*n.B, x, y, w, h);
        dropA.Dismiss();
        cr = cairo_create(s);
        cairo_operator_t op = CAIRO_OPERATOR_SOURCE;
        switch (n.Mode) {
        case aacmIntersect:
            op = CAIRO_OPERATOR_DEST_IN;
            break;
        case aacmUnion:
            op = CAIRO_OPERATOR_OVER;
            break;
        case aacmXor:
            op = CAIRO_OPERATOR_XOR;
            break;
        case aacmExclude:
            op = CAIRO_OPERATOR_DEST_OUT;
            break;
        case aacmComplement:
            op = CAIRO_OPERATOR_OUT;
            break;
        default:
            break;
        }
        cairo_set_operator(cr, op);
        cairo_set_source_surface(cr, b, 0, 0);
        cairo_paint(cr);
        cairo_surface_destroy(b);
        break;
    }
    }
    cairo_destroy(cr);
    cairo_surface_flush(s);
    return s;
}

bool DirectOnly(const TAARegionNode& n) {
    if (n.Kind != TAARegionNode::Combine)
        return true;
    return n.Mode == aacmIntersect && DirectOnly(*n.A) && DirectOnly(*n.B);
}

void ApplyDirect(cairo_t* cr, const TAARegionNode& n) {
    switch (n.Kind) {
    case TAARegionNode::Infinite:
        return;
    case TAARegionNode::Empty:
        cairo_rectangle(cr, 0, 0, 0, 0);
        cairo_clip(cr);
        return;
    case TAARegionNode::Rect:
        // Whole pixels whose centres lie inside, so that a rectangle clip matches a rasterised one.
        cairo_rectangle(cr, std::ceil(n.X - 0.5), std::ceil(n.Y - 0.5),
                        std::ceil(n.X + n.W - 0.5) - std::ceil(n.X - 0.5),
                        std::ceil(n.Y + n.H - 0.5) - std::ceil(n.Y - 0.5));
        cairo_clip(cr);
        return;
    case TAARegionNode::Path:
        FillLeaf(cr, n);
        cairo_clip(cr);
        return;
    case TAARegionNode::Combine:
        ApplyDirect(cr, *n.A);
        ApplyDirect(cr, *n.B);
        return;
    }
}

} // namespace

cairo_surface_t* RasterizeRegion(const TRegionPtr& node, int x, int y, int w, int h) {
    return Rasterize(*node, x, y, std::max(w, 1), std::max(h, 1));
}

bool ClipToRegionDirect(cairo_t* cr, const TRegionPtr& node) {
    if (!DirectOnly(*node))
        return false;
    cairo_antialias_t aa = cairo_get_antialias(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    ApplyDirect(cr, *node);
    cairo_set_antialias(cr, aa);
    return true;
}

// ---- TAARegion ----

TAARegion::TAARegion() : FRoot(MakeRegionKind(TAARegionNode::Infinite)) {
    Created(TAAStatus::Ok);
}

TAARegion::TAARegion(const TAARectF& r) {
    if (!FiniteAll({r.X, r.Y, r.Width, r.Height})) {
        FRoot = MakeRegionKind(TAARegionNode::Empty);
        Created(TAAStatus::InvalidParameter);
        return;
    }
    FRoot = MakeRegionRect(r.X, r.Y, r.Width, r.Height);
    Created(TAAStatus::Ok);
}

TAARegion::TAARegion(const TAAPath* path) {
    if (!path || !path->Valid()) {
        FRoot = MakeRegionKind(TAARegionNode::Empty);
        Created(TAAStatus::InvalidParameter);
        return;
    }
    FRoot = MakeRegionPath(path->FData);
    Created(TAAStatus::Ok);
}

TAARegion::~TAARegion() = default;

std::unique_ptr<TAARegion> TAARegion::Clone() const {
    auto copy = std::make_unique<TAARegion>();
    copy->FRoot = FRoot;
    if (!Valid())
        copy->Created(TAAStatus::InvalidParameter);
    return copy;
}

TAAStatus TAARegion::MakeInfinite() {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    FRoot = MakeRegionKind(TAARegionNode::Infinite);
    return TAAStatus::Ok;
}

TAAStatus TAARegion::MakeEmpty() {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    FRoot = MakeRegionKind(TAARegionNode::Empty);
    return TAAStatus::Ok;
}

TAAStatus TAARegion::CombineNode(std::shared_ptr<const TAARegionNode> node, int mode) {
    if (!Valid() || mode < aacmReplace || mode > aacmComplement)
        return Keep(TAAStatus::InvalidParameter);
    FRoot = CombineRegions(FRoot, std::move(node), mode);
    return TAAStatus::Ok;
}

TAAStatus TAARegion::Combine(const TAARectF& r, int mode) {
    if (!FiniteAll({r.X, r.Y, r.Width, r.Height}))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] { return CombineNode(MakeRegionRect(r.X, r.Y, r.Width, r.Height), mode); }));
}

TAAStatus TAARegion::Combine(const TAAPath* path, int mode) {
    if (!path || !path->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] { return CombineNode(MakeRegionPath(path->FData), mode); }));
}

TAAStatus TAARegion::Combine(const TAARegion* region, int mode) {
    if (!region || !region->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] { return CombineNode(region->FRoot, mode); }));
}

TAAStatus TAARegion::GetBounds(TAARectF& bounds) const {
    bounds = {};
    if (!Valid())
        return TAAStatus::InvalidParameter;
    return Guarded([&] {
        double x0, y0, x1, y1;
        int kind = RegionBounds(FRoot, x0, y0, x1, y1);
        if (kind == 2) {
            // The conventional extent of an infinite region.
            bounds = {-4194304.0f, -4194304.0f, 8388608.0f, 8388608.0f};
        } else if (kind == 1) {
            bounds = {static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(x1 - x0),
                      static_cast<float>(y1 - y0)};
        }
        return TAAStatus::Ok;
    });
}

bool TAARegion::IsVisible(float x, float y) const {
    if (!Valid())
        return false;
    try {
        return RegionContains(FRoot, x, y);
    } catch (...) {
        return false;
    }
}

bool TAARegion::IsInfinite() const {
    return FRoot->Kind == TAARegionNode::Infinite;
}

} // namespace plat
