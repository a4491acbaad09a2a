// The graphics object of the anti-aliased layer: its state (smoothing, hints, transforms, clip), the
// Cairo context each drawing call works in, and the shape, fill and image operations.
#include "platform/gfx/AAGraphics.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/AAInternal.h"
#include "platform/gfx/DeviceContext.h"

namespace plat {

namespace {

bool Smooth(int mode) {
    return mode == aasmHighQuality || mode == aasmAntiAlias || mode == aasmAntiAlias8x8;
}

void Multiply(double r[6], const double a[6], const double b[6]) {
    // Cairo's order: a first, then b.
    cairo_matrix_t ma, mb, mr;
    cairo_matrix_init(&ma, a[0], a[1], a[2], a[3], a[4], a[5]);
    cairo_matrix_init(&mb, b[0], b[1], b[2], b[3], b[4], b[5]);
    cairo_matrix_multiply(&mr, &ma, &mb);
    r[0] = mr.xx, r[1] = mr.yx, r[2] = mr.xy, r[3] = mr.yy, r[4] = mr.x0, r[5] = mr.y0;
}

bool FigureClosedAll(const TAAPathData& d) {
    for (size_t i = 0; i < d.Types.size(); ++i) {
        bool last = i + 1 == d.Types.size() || (d.Types[i + 1] & aaptTypeMask) == aaptStart;
        if (last && !(d.Types[i] & aaptCloseSubpath))
            return false;
    }
    return !d.Types.empty();
}

bool FinitePts(const TAAPointF* pts, int count) {
    for (int i = 0; i < count; ++i)
        if (!Finite(pts[i].X) || !Finite(pts[i].Y))
            return false;
    return true;
}

// One figure of straight lines through the points (at least one).
TAAPathData LinesData(const TAAPointF* points, int count, bool closed) {
    TAAPathData d;
    d.Join(points[0].X, points[0].Y);
    for (int i = 1; i < count; ++i)
        d.LineTo(points[i].X, points[i].Y);
    if (closed)
        d.Close();
    return d;
}

TAAPathData RectangleData(float x, float y, float width, float height) {
    const TAAPointF corners[4] = {{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}};
    return LinesData(corners, 4, true);
}

} // namespace

TAAGraphics::TAAGraphics(TDeviceContext* dc) : FDc(dc) {
    Created(dc && dc->Surface() ? TAAStatus::Ok : TAAStatus::InvalidParameter);
}

TAAGraphics::TAAGraphics(TDrawSurface* surface) : FSurface(surface) {
    Created(surface ? TAAStatus::Ok : TAAStatus::InvalidParameter);
}

TAAGraphics::~TAAGraphics() {
    DropClipMask();
}

double TAAGraphics::DpiX() const {
    TDrawSurface* s = FDc ? FDc->Surface() : FSurface;
    return s ? s->PixelsPerInch() : 96;
}

// ---- State ----

TAAStatus TAAGraphics::SetSmoothingMode(int mode) {
    if (!Valid() || mode < aasmDefault || mode > aasmAntiAlias8x8)
        return Keep(TAAStatus::InvalidParameter);
    FSmoothing = mode;
    return TAAStatus::Ok;
}

TAAStatus TAAGraphics::SetTextRenderingHint(int hint) {
    if (!Valid() || hint < aathSystemDefault || hint > aathClearTypeGridFit)
        return Keep(TAAStatus::InvalidParameter);
    FTextHint = hint;
    return TAAStatus::Ok;
}

TAAStatus TAAGraphics::SetInterpolationMode(int mode) {
    if (!Valid() || mode < aaimDefault || mode > aaimHighQualityBicubic)
        return Keep(TAAStatus::InvalidParameter);
    FInterpolation = mode;
    return TAAStatus::Ok;
}

TAAStatus TAAGraphics::SetPageUnit(int unit) {
    if (!Valid() || unit <= aauWorld || unit > aauMillimeter)
        return Keep(TAAStatus::InvalidParameter);
    FPageUnit = unit;
    return TAAStatus::Ok;
}

TAAStatus TAAGraphics::TranslateTransform(float dx, float dy) {
    if (!Valid() || !FiniteAll({dx, dy}))
        return Keep(TAAStatus::InvalidParameter);
    double t[6] = {1, 0, 0, 1, dx, dy};
    Multiply(FWorld, t, FWorld);
    return TAAStatus::Ok;
}

TAAStatus TAAGraphics::ScaleTransform(float sx, float sy) {
    if (!Valid() || !FiniteAll({sx, sy}) || sx == 0 || sy == 0)
        return Keep(TAAStatus::InvalidParameter);
    double t[6] = {sx, 0, 0, sy, 0, 0};
    Multiply(FWorld, t, FWorld);
    return TAAStatus::Ok;
}

TAAStatus TAAGraphics::RotateTransform(float angle) {
    if (!Valid() || !Finite(angle))
        return Keep(TAAStatus::InvalidParameter);
    double a = angle * 3.14159265358979323846 / 180, c = std::cos(a), s = std::sin(a);
    double t[6] = {c, s, -s, c, 0, 0};
    Multiply(FWorld, t, FWorld);
    return TAAStatus::Ok;
}

TAAStatus TAAGraphics::ResetTransform() {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    double id[6] = {1, 0, 0, 1, 0, 0};
    std::copy(id, id + 6, FWorld);
    return TAAStatus::Ok;
}

// World units to Cairo device coordinates: the world transform, the page unit, the device context's
// mapping, and, for shapes, half a pixel, because world coordinates name pixel centres.
void TAAGraphics::DeviceMatrix(double m[6], bool pixelCentres) const {
    double page = UnitPixels(FPageUnit, DpiX());
    double p[6] = {page, 0, 0, page, 0, 0};
    Multiply(m, FWorld, p);
    if (FDc) {
        double sx = 1, sy = 1;
        if (FDc->GetMapMode() == MM_ANISOTROPIC) {
            TSize we = FDc->GetWindowExt(), ve = FDc->GetViewportExt();
            sx = double(ve.cx) / we.cx;
            sy = double(ve.cy) / we.cy;
        }
        TPoint wo = FDc->GetWindowOrg(), vo = FDc->GetViewportOrg();
        double d[6] = {sx, 0, 0, sy, vo.X - wo.X * sx, vo.Y - wo.Y * sy};
        Multiply(m, m, d);
    }
    if (pixelCentres) {
        m[4] += 0.5;
        m[5] += 0.5;
    }
}

TRegionPtr TAAGraphics::DeviceRegion(const TRegionPtr& world) const {
    double m[6];
    DeviceMatrix(m, true);
    return TransformRegion(world, m);
}

// ---- Clip ----

TAAStatus TAAGraphics::CombineClip(std::shared_ptr<const TAARegionNode> node, int mode) {
    if (mode < aacmReplace || mode > aacmComplement)
        return TAAStatus::InvalidParameter;
    TRegionPtr current = FClip ? FClip : MakeRegionKind(TAARegionNode::Infinite);
    TRegionPtr result = CombineRegions(current, std::move(node), mode);
    FClip = result->Kind == TAARegionNode::Infinite ? nullptr : result;
    ++FClipVersion;
    return TAAStatus::Ok;
}

TAAStatus TAAGraphics::SetClip(const TAARectF& r, int mode) {
    if (!Valid() || !FiniteAll({r.X, r.Y, r.Width, r.Height}))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded(
        [&] { return CombineClip(DeviceRegion(MakeRegionRect(r.X, r.Y, r.Width, r.Height)), mode); }));
}

TAAStatus TAAGraphics::SetClip(const TAAPath* path, int mode) {
    if (!Valid() || !path || !path->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] { return CombineClip(DeviceRegion(MakeRegionPath(path->FData)), mode); }));
}

TAAStatus TAAGraphics::SetClip(const TAARegion* region, int mode) {
    if (!Valid() || !region || !region->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] { return CombineClip(DeviceRegion(region->FRoot), mode); }));
}

TAAStatus TAAGraphics::ResetClip() {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    FClip = nullptr;
    ++FClipVersion;
    return TAAStatus::Ok;
}

void TAAGraphics::DropClipMask() {
    if (FClipMask)
        cairo_surface_destroy(FClipMask);
    FClipMask = nullptr;
    FMaskVersion = ~0u;
}

// The clip as a mask of the surface's pixels, kept until the clip or the surface changes.
bool TAAGraphics::ClipMask(cairo_surface_t*& mask, int& ox, int& oy) {
    TDrawSurface* surface = FDc ? FDc->Surface() : FSurface;
    if (FClipMask && FMaskVersion == FClipVersion && FMaskSurface == surface &&
        FMaskGeneration == surface->Generation()) {
        mask = FClipMask;
        ox = FMaskX, oy = FMaskY;
        return true;
    }
    DropClipMask();
    double x0, y0, x1, y1;
    int kind = RegionBounds(FClip, x0, y0, x1, y1);
    int bx0 = 0, by0 = 0, bx1 = surface->Width(), by1 = surface->Height();
    if (kind == 1) {
        bx0 = std::max(bx0, static_cast<int>(std::floor(std::max(x0, -1e9))));
        by0 = std::max(by0, static_cast<int>(std::floor(std::max(y0, -1e9))));
        bx1 = std::min(bx1, static_cast<int>(std::ceil(std::min(x1, 1e9))));
        by1 = std::min(by1, static_cast<int>(std::ceil(std::min(y1, 1e9))));
    }
    if (kind == 0 || bx1 <= bx0 || by1 <= by0) {
        FClipMask = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
        FMaskX = FMaskY = 0;
    } else {
        FClipMask = RasterizeRegion(FClip, bx0, by0, bx1 - bx0, by1 - by0);
        FMaskX = bx0, FMaskY = by0;
    }
    if (cairo_surface_status(FClipMask) != CAIRO_STATUS_SUCCESS) {
        DropClipMask();
        return false;
    }
    FMaskVersion = FClipVersion;
    FMaskSurface = surface;
    FMaskGeneration = surface->Generation();
    mask = FClipMask;
    ox = FMaskX, oy = FMaskY;
    return true;
}

// ---- One drawing call ----

bool TAAGraphics::BeginOp(TOp& op, TAAStatus& status) {
    if (!Valid()) {
        status = TAAStatus::InvalidParameter;
        return false;
    }
    TDrawSurface* surface = FDc ? FDc->Surface() : FSurface;
    if (!surface) {
        status = TAAStatus::WrongState;
        return false;
    }
    cairo_surface_t* target = surface->CairoSurface();
    if (!target || cairo_surface_status(target) != CAIRO_STATUS_SUCCESS) {
        status = TAAStatus::GenericError;
        return false;
    }
    surface->BeginCairo();
    cairo_t* cr = cairo_create(target);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cr);
        surface->EndCairo();
        status = TAAStatus::OutOfMemory;
        return false;
    }
    op.Cr = cr;
    op.Surface = surface;
    if (FDc) {
        TRegion rgn;
        if (FDc->GetClipRgn(rgn) == 1) {
            for (const TRect& r : rgn.Rects())
                cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
            cairo_clip(cr);
        }
    }
    if (FClip && !ClipToRegionDirect(cr, FClip)) {
        if (!ClipMask(op.Mask, op.MaskX, op.MaskY)) {
            EndOp(op);
            status = TAAStatus::OutOfMemory;
            return false;
        }
        op.Group = true;
        cairo_push_group(cr);
    }
    op.Smooth = Smooth(FSmoothing);
    cairo_set_antialias(cr, op.Smooth ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    double m[6];
    DeviceMatrix(m, true);
    cairo_matrix_t cm;
    cairo_matrix_init(&cm, m[0], m[1], m[2], m[3], m[4], m[5]);
    cairo_set_matrix(cr, &cm);
    op.Scale = std::sqrt(std::abs(m[0] * m[3] - m[1] * m[2]));
    if (!(op.Scale > 0))
        op.Scale = 1;
    op.Paint.Cr = cr;
    op.Paint.DeviceScale = op.Scale;
    op.Paint.Smooth = op.Smooth;
    cairo_matrix_t inv = cm;
    if (cairo_matrix_invert(&inv) == CAIRO_STATUS_SUCCESS) {
        double xs[4] = {0, double(surface->Width()), 0, double(surface->Width())};
        double ys[4] = {0, 0, double(surface->Height()), double(surface->Height())};
        for (int i = 0; i < 4; ++i) {
            cairo_matrix_transform_point(&inv, &xs[i], &ys[i]);
            op.Paint.VisibleX0 = i ? std::min(op.Paint.VisibleX0, xs[i]) : xs[i];
            op.Paint.VisibleX1 = i ? std::max(op.Paint.VisibleX1, xs[i]) : xs[i];
            op.Paint.VisibleY0 = i ? std::min(op.Paint.VisibleY0, ys[i]) : ys[i];
            op.Paint.VisibleY1 = i ? std::max(op.Paint.VisibleY1, ys[i]) : ys[i];
        }
    }
    return true;
}

void TAAGraphics::EndOp(TOp& op) {
    if (!op.Cr)
        return;
    if (op.Group) {
        cairo_identity_matrix(op.Cr);
        cairo_pop_group_to_source(op.Cr);
        cairo_set_operator(op.Cr, op.Operator);
        cairo_mask_surface(op.Cr, op.Mask, op.MaskX, op.MaskY);
    }
    cairo_destroy(op.Cr);
    op.Cr = nullptr;
    op.Surface->EndCairo();
}

// ---- Shapes ----

TAAStatus TAAGraphics::StrokeData(const TAAPen* pen, const TAAPathData& data) {
    if (!Valid() || !pen || !pen->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        if (data.Points.empty())
            return TAAStatus::Ok;
        TOp op;
        TAAStatus status = TAAStatus::Ok;
        if (!BeginOp(op, status))
            return status;
        cairo_t* cr = op.Cr;
        double s = op.Scale;
        double w = pen->FUnit == aauPixel ? pen->FWidth / s : pen->FWidth;
        // Nothing is thinner than one device pixel.
        if (w * s < 1)
            w = 1 / s;
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(cr, 10);
        std::vector<float> pattern = pen->DashPattern();
        if (!pattern.empty()) {
            std::vector<double> dashes;
            for (float d : pattern)
                dashes.push_back(d * w);
            cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), pen->FDashOffset * w);
        }
        SetSourceARGB(cr, pen->FColor);
        if (pen->FAlignment == aapaInset && w * s > 1 && FigureClosedAll(data)) {
            // Inside the figure only: the outer half of a line twice as wide is clipped away.
            EmitPath(cr, data);
            cairo_set_fill_rule(cr, data.FillMode == aafmWinding ? CAIRO_FILL_RULE_WINDING
                                                                 : CAIRO_FILL_RULE_EVEN_ODD);
            cairo_clip(cr);
            w *= 2;
        }
        cairo_set_line_width(cr, w);
        EmitPath(cr, data);
        cairo_stroke(cr);
        EndOp(op);
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAGraphics::FillData(const TAABrush* brush, const TAAPathData& data, int fillMode) {
    if (!Valid() || !brush || !brush->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        if (data.Points.empty())
            return TAAStatus::Ok;
        TOp op;
        TAAStatus status = TAAStatus::Ok;
        if (!BeginOp(op, status))
            return status;
        status = brush->Apply(op.Paint);
        EmitPath(op.Cr, data);
        cairo_set_fill_rule(op.Cr,
                            fillMode == aafmWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(op.Cr);
        EndOp(op);
        return status;
    }));
}

TAAStatus TAAGraphics::Clear(TARGB color) {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        TOp op;
        TAAStatus status = TAAStatus::Ok;
        if (!BeginOp(op, status))
            return status;
        op.Operator = CAIRO_OPERATOR_SOURCE;
        cairo_set_operator(op.Cr, CAIRO_OPERATOR_SOURCE);
        SetSourceARGB(op.Cr, color);
        cairo_paint(op.Cr);
        EndOp(op);
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAGraphics::DrawLine(const TAAPen* pen, float x1, float y1, float x2, float y2) {
    TAAPointF pts[2] = {{x1, y1}, {x2, y2}};
    return DrawLines(pen, pts, 2);
}

TAAStatus TAAGraphics::DrawLines(const TAAPen* pen, const TAAPointF* points, int count) {
    if (!points || count < 2 || !FinitePts(points, count))
        return Keep(TAAStatus::InvalidParameter);
    return StrokeData(pen, LinesData(points, count, false));
}

TAAStatus TAAGraphics::DrawRectangle(const TAAPen* pen, float x, float y, float width, float height) {
    if (!FiniteAll({x, y, width, height}))
        return Keep(TAAStatus::InvalidParameter);
    return StrokeData(pen, RectangleData(x, y, width, height));
}

TAAStatus TAAGraphics::DrawEllipse(const TAAPen* pen, float x, float y, float width, float height) {
    if (!FiniteAll({x, y, width, height}))
        return Keep(TAAStatus::InvalidParameter);
    TAAPathData d;
    d.AddEllipse(x, y, width, height);
    return StrokeData(pen, d);
}

TAAStatus TAAGraphics::DrawArc(const TAAPen* pen, float x, float y, float width, float height,
                               float startAngle, float sweepAngle) {
    if (!FiniteAll({x, y, width, height, startAngle, sweepAngle}))
        return Keep(TAAStatus::InvalidParameter);
    TAAPathData d;
    d.AddArc(x, y, width, height, startAngle, sweepAngle);
    return StrokeData(pen, d);
}

TAAStatus TAAGraphics::DrawBezier(const TAAPen* pen, TAAPointF p1, TAAPointF p2, TAAPointF p3, TAAPointF p4) {
    TAAPointF pts[4] = {p1, p2, p3, p4};
    return DrawBeziers(pen, pts, 4);
}

TAAStatus TAAGraphics::DrawBeziers(const TAAPen* pen, const TAAPointF* points, int count) {
    if (!points || count < 4 || (count - 1) % 3 != 0 || !FinitePts(points, count))
        return Keep(TAAStatus::InvalidParameter);
    TAAPathData d;
    d.Join(points[0].X, points[0].Y);
    for (int i = 1; i + 2 < count; i += 3)
        d.BezierTo(points[i], points[i + 1], points[i + 2]);
    return StrokeData(pen, d);
}

TAAStatus TAAGraphics::DrawCurve(const TAAPen* pen, const TAAPointF* points, int count, float tension) {
    if (!points || count < 2 || !Finite(tension) || tension < 0 || !FinitePts(points, count))
        return Keep(TAAStatus::InvalidParameter);
    TAAPathData d;
    d.Join(points[0].X, points[0].Y);
    d.AddCurveSegments(points, count, tension, false);
    return StrokeData(pen, d);
}

TAAStatus TAAGraphics::DrawClosedCurve(const TAAPen* pen, const TAAPointF* points, int count, float tension) {
    if (!points || count < 3 || !Finite(tension) || tension < 0 || !FinitePts(points, count))
        return Keep(TAAStatus::InvalidParameter);
    TAAPathData d;
    d.Join(points[0].X, points[0].Y);
    d.AddCurveSegments(points, count, tension, true);
    d.Close();
    return StrokeData(pen, d);
}

TAAStatus TAAGraphics::DrawPolygon(const TAAPen* pen, const TAAPointF* points, int count) {
    if (!points || count < 2 || !FinitePts(points, count))
        return Keep(TAAStatus::InvalidParameter);
    return StrokeData(pen, LinesData(points, count, true));
}

TAAStatus TAAGraphics::DrawPath(const TAAPen* pen, const TAAPath* path) {
    if (!path || !path->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return StrokeData(pen, *path->FData);
}

TAAStatus TAAGraphics::FillRectangle(const TAABrush* brush, float x, float y, float width, float height) {
    if (!FiniteAll({x, y, width, height}))
        return Keep(TAAStatus::InvalidParameter);
    // A rectangle with no area paints nothing, but the brush is still checked.
    return FillData(brush, width > 0 && height > 0 ? RectangleData(x, y, width, height) : TAAPathData(),
                    aafmAlternate);
}

TAAStatus TAAGraphics::FillEllipse(const TAABrush* brush, float x, float y, float width, float height) {
    if (!FiniteAll({x, y, width, height}))
        return Keep(TAAStatus::InvalidParameter);
    TAAPathData d;
    d.AddEllipse(x, y, width, height);
    return FillData(brush, d, aafmAlternate);
}

TAAStatus TAAGraphics::FillPolygon(const TAABrush* brush, const TAAPointF* points, int count, int fillMode) {
    if (!points || count < 3 || !FinitePts(points, count) ||
        (fillMode != aafmAlternate && fillMode != aafmWinding))
        return Keep(TAAStatus::InvalidParameter);
    return FillData(brush, LinesData(points, count, true), fillMode);
}

TAAStatus TAAGraphics::FillPath(const TAABrush* brush, const TAAPath* path) {
    if (!path || !path->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return FillData(brush, *path->FData, path->FData->FillMode);
}

TAAStatus TAAGraphics::FillRegion(const TAABrush* brush, const TAARegion* region) {
    if (!Valid() || !brush || !brush->Valid() || !region || !region->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        TRegionPtr area = DeviceRegion(region->FRoot);
        // The region joins the clip for this call only.
        struct TRestore {
            TAAGraphics& G;
            TRegionPtr Saved;
            ~TRestore() {
                G.FClip = Saved;
                ++G.FClipVersion;
            }
        } restore{*this, FClip};
        CombineClip(area, aacmIntersect);
        TOp op;
        TAAStatus status = TAAStatus::Ok;
        if (!BeginOp(op, status))
            return status;
        status = brush->Apply(op.Paint);
        cairo_paint(op.Cr);
        EndOp(op);
        return status;
    }));
}

// ---- Images ----

TAAStatus TAAGraphics::DrawImage(TAAImage* image, float x, float y) {
    if (!image || !image->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return DrawImage(image, x, y, static_cast<float>(image->Width()), static_cast<float>(image->Height()));
}

TAAStatus TAAGraphics::DrawImage(TAAImage* image, float x, float y, float width, float height) {
    if (!image || !image->Valid())
        return Keep(TAAStatus::InvalidParameter);
    return DrawImage(image, TAARectF{x, y, width, height}, 0, 0, static_cast<float>(image->Width()),
                     static_cast<float>(image->Height()));
}

TAAStatus TAAGraphics::DrawImage(TAAImage* image, const TAARectF& dest, float srcX, float srcY,
                                 float srcWidth, float srcHeight) {
    if (!Valid() || !image || !image->Valid() || !FiniteAll({dest.X, dest.Y, dest.Width, dest.Height}) ||
        !FiniteAll({srcX, srcY, srcWidth, srcHeight}) || srcWidth <= 0 || srcHeight <= 0)
        return Keep(TAAStatus::InvalidParameter);
    if (dest.Width == 0 || dest.Height == 0)
        return TAAStatus::Ok;
    return Keep(Guarded([&] {
        if (!image->FSurface) {
            cairo_surface_t* s =
                cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image->FWidth, image->FHeight);
            if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
                cairo_surface_destroy(s);
                return TAAStatus::OutOfMemory;
            }
            cairo_surface_flush(s);
            unsigned char* data = cairo_image_surface_get_data(s);
            int stride = cairo_image_surface_get_stride(s);
            for (int y = 0; y < image->FHeight; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
                const uint32_t* src = image->FPixels.data() + size_t(y) * image->FWidth;
                for (int x = 0; x < image->FWidth; ++x)
                    row[x] = Premultiply(src[x]);
            }
            cairo_surface_mark_dirty(s);
            image->FSurface = s;
        }
        TOp op;
        TAAStatus status = TAAStatus::Ok;
        if (!BeginOp(op, status))
            return status;
        cairo_t* cr = op.Cr;
        // Pictures cover whole pixels: the destination is placed by pixel edges.
        double m[6];
        DeviceMatrix(m, false);
        cairo_matrix_t cm;
        cairo_matrix_init(&cm, m[0], m[1], m[2], m[3], m[4], m[5]);
        cairo_set_matrix(cr, &cm);
        cairo_pattern_t* p = cairo_pattern_create_for_surface(image->FSurface);
        double kx = srcWidth / dest.Width, ky = srcHeight / dest.Height;
        cairo_matrix_t pm;
        cairo_matrix_init(&pm, kx, 0, 0, ky, srcX - dest.X * kx, srcY - dest.Y * ky);
        cairo_pattern_set_matrix(p, &pm);
        cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
        cairo_filter_t filter = CAIRO_FILTER_BILINEAR;
        if (FInterpolation == aaimNearestNeighbor)
            filter = CAIRO_FILTER_NEAREST;
        else if (FInterpolation == aaimHighQuality || FInterpolation == aaimBicubic ||
                 FInterpolation == aaimHighQualityBicubic)
            filter = CAIRO_FILTER_BEST;
        cairo_pattern_set_filter(p, filter);
        cairo_set_source(cr, p);
        cairo_pattern_destroy(p);
        if (m[1] == 0 && m[2] == 0)
            cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_rectangle(cr, dest.X, dest.Y, dest.Width, dest.Height);
        cairo_fill(cr);
        EndOp(op);
        return TAAStatus::Ok;
    }));
}

} // namespace plat
