#include "platform/gfx/DeviceContext.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/gfx/PixelLine.h"

namespace plat {

namespace {

constexpr double kPi = 3.14159265358979323846;

TRect Normalized(TRect r) {
    if (r.Right < r.Left)
        std::swap(r.Left, r.Right);
    if (r.Bottom < r.Top)
        std::swap(r.Top, r.Bottom);
    return r;
}

constexpr int kMaxDeviceCoord = 1000000000;

int RoundInt(double v) {
    return static_cast<int>(std::lround(std::clamp(v, double(-kMaxDeviceCoord), double(kMaxDeviceCoord))));
}

constexpr uint8_t kPatCopy = PATCOPY >> 16;

// Stores value in field when accepted and returns what the field held before, as every mode setter does.
template <class T> T Replace(T& field, T value, bool accepted = true) {
    T old = field;
    if (accepted)
        field = std::move(value);
    return old;
}

// A window or viewport extent: reported, and changed only in MM_ANISOTROPIC, where zero is refused.
bool SetExtent(TSize& extent, int mapMode, int cx, int cy, TSize* old) {
    if (old)
        *old = extent;
    if (mapMode != MM_ANISOTROPIC)
        return true;
    if (cx == 0 || cy == 0)
        return false;
    extent = TSize(cx, cy);
    return true;
}

// Rows of a device box as spans.
std::vector<TRegion::TSpan> BoxSpans(const TRect& box) {
    std::vector<TRegion::TSpan> spans;
    spans.reserve(static_cast<size_t>(std::max(0, box.Height())));
    for (int y = box.Top; y < box.Bottom; ++y)
        spans.push_back({y, box.Left, box.Right});
    return spans;
}

} // namespace

void TDeviceContext::SetCairoPen(cairo_t* cr) const {
    const TGdiPen& pen = *FState.Pen;
    const int width = DevicePenWidth();
    cairo_set_line_width(cr, width);
    bool extPen = pen.Geometric();
    uint32_t cap = pen.Style & PS_ENDCAP_MASK, join = pen.Style & PS_JOIN_MASK;
    cairo_set_line_cap(cr, !extPen || cap == PS_ENDCAP_ROUND ? CAIRO_LINE_CAP_ROUND
                           : cap == PS_ENDCAP_SQUARE         ? CAIRO_LINE_CAP_SQUARE
                                                             : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, !extPen || join == PS_JOIN_ROUND ? CAIRO_LINE_JOIN_ROUND
                            : join == PS_JOIN_BEVEL          ? CAIRO_LINE_JOIN_BEVEL
                                                             : CAIRO_LINE_JOIN_MITER);
    const double w = width;
    std::vector<double> dashes;
    switch (pen.Kind()) {
    case PS_DASH:
        dashes = {3.0 * w, 1.0 * w};
        break;
    case PS_DOT:
        dashes = {1.0 * w, 1.0 * w};
        break;
    case PS_DASHDOT:
        dashes = {3.0 * w, 1.0 * w, 1.0 * w, 1.0 * w};
        break;
    case PS_DASHDOTDOT:
        dashes = {3.0 * w, 1.0 * w, 1.0 * w, 1.0 * w, 1.0 * w, 1.0 * w};
        break;
    case PS_USERSTYLE:
        for (int v : pen.UserDashes)
            dashes.push_back(double(v) * w);
        break;
    default:
        break;
    }
    if (!dashes.empty())
        cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
}

void TDeviceContext::LimitDashes(cairo_t* cr) {
    // Far beyond any surface we allocate, and a few million dashes at the most.
    constexpr double kMaxDashedExtent = 1 << 20;
    if (cairo_get_dash_count(cr) == 0)
        return;
    double x0, y0, x1, y1;
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    if (x1 - x0 > kMaxDashedExtent || y1 - y0 > kMaxDashedExtent)
        cairo_set_dash(cr, nullptr, 0, 0);
}

// Per-pixel coverage of one shape over a box: 1 brush, 2 pen, 3 pen gap (background colour).
struct TDeviceContext::TCoverage {
    TRect Box;
    std::vector<uint8_t> Data;
    explicit TCoverage(const TRect& box) : Box(box) {
        if (!box.IsEmpty())
            Data.assign(static_cast<size_t>(box.Width()) * box.Height(), 0);
    }
    uint8_t* At(int x, int y) {
        if (!Box.Contains(TPoint(x, y)))
            return nullptr;
        return &Data[static_cast<size_t>(y - Box.Top) * Box.Width() + (x - Box.Left)];
    }
};

TDeviceContext::TDeviceContext(TDrawSurface* surface) : FSurface(surface) {
    FState.Pen = GetStockPen(BLACK_PEN);
    FState.Brush = GetStockBrush(WHITE_BRUSH);
    FState.Font = GetStockFont(DEFAULT_GUI_FONT);
}

TDeviceContext::~TDeviceContext() = default;

void TDeviceContext::SetSurface(TDrawSurface* surface) {
    FSurface = surface;
    FState.Clip.reset();
}

// ---- Selected objects and modes ----

HPEN TDeviceContext::SelectPen(HPEN pen) {
    return Replace(FState.Pen, pen, pen != nullptr);
}

HBRUSH TDeviceContext::SelectBrush(HBRUSH brush) {
    return Replace(FState.Brush, brush, brush != nullptr);
}

HFONT TDeviceContext::SelectFont(HFONT font) {
    return Replace(FState.Font, font, font != nullptr);
}

TColor TDeviceContext::SetBkColor(TColor color) {
    return Replace(FState.BkColor, ColorToRGB(color));
}

int TDeviceContext::SetBkMode(int mode) {
    return Replace(FState.BkMode, mode, mode == TRANSPARENT || mode == OPAQUE);
}

TColor TDeviceContext::SetTextColor(TColor color) {
    return Replace(FState.TextColor, ColorToRGB(color));
}

uint32_t TDeviceContext::SetTextAlign(uint32_t align) {
    return Replace(FState.TextAlign, align);
}

int TDeviceContext::SetROP2(int rop2) {
    return Replace(FState.Rop2, rop2, rop2 >= R2_BLACK && rop2 <= R2_WHITE);
}

int TDeviceContext::SetPolyFillMode(int mode) {
    return Replace(FState.PolyFillMode, mode, mode == ALTERNATE || mode == WINDING);
}

int TDeviceContext::SetStretchBltMode(int mode) {
    return Replace(FState.StretchMode, mode, mode >= BLACKONWHITE && mode <= HALFTONE);
}

int TDeviceContext::SetTextCharacterExtra(int extra) {
    return Replace(FState.CharExtra, extra);
}

TPoint TDeviceContext::SetBrushOrg(TPoint org) {
    return Replace(FState.BrushOrg, org);
}

int TDeviceContext::SetArcDirection(int direction) {
    if (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE)
        return 0;
    int old = FState.ArcDirection;
    FState.ArcDirection = direction;
    return old;
}

bool TDeviceContext::MoveToEx(int x, int y, TPoint* old) {
    if (old)
        *old = FState.Pos;
    FState.Pos = TPoint(x, y);
    FPathNewFigure = true;
    return true;
}

// ---- Mapping ----

int TDeviceContext::SetMapMode(int mode) {
    int old = FState.MapMode;
    if (mode == MM_TEXT || mode == MM_ANISOTROPIC)
        FState.MapMode = mode;
    if (mode == MM_TEXT) {
        FState.WindowExt = TSize(1, 1);
        FState.ViewportExt = TSize(1, 1);
    }
    return old;
}

TPoint TDeviceContext::SetWindowOrgEx(int x, int y) {
    return Replace(FState.WindowOrg, TPoint(x, y));
}

TPoint TDeviceContext::SetViewportOrgEx(int x, int y) {
    return Replace(FState.ViewportOrg, TPoint(x, y));
}

bool TDeviceContext::SetWindowExtEx(int cx, int cy, TSize* old) {
    return SetExtent(FState.WindowExt, FState.MapMode, cx, cy, old);
}

bool TDeviceContext::SetViewportExtEx(int cx, int cy, TSize* old) {
    return SetExtent(FState.ViewportExt, FState.MapMode, cx, cy, old);
}

double TDeviceContext::ScaleX() const {
    return FState.MapMode == MM_ANISOTROPIC ? double(FState.ViewportExt.cx) / FState.WindowExt.cx : 1.0;
}

double TDeviceContext::ScaleY() const {
    return FState.MapMode == MM_ANISOTROPIC ? double(FState.ViewportExt.cy) / FState.WindowExt.cy : 1.0;
}

TPointF TDeviceContext::ToDeviceF(double x, double y) const {
    return {(x - FState.WindowOrg.X) * ScaleX() + FState.ViewportOrg.X,
            (y - FState.WindowOrg.Y) * ScaleY() + FState.ViewportOrg.Y};
}

TPoint TDeviceContext::LPtoDP(TPoint p) const {
    TPointF d = ToDeviceF(p.X, p.Y);
    return TPoint(RoundInt(d.X), RoundInt(d.Y));
}

TRect TDeviceContext::LPtoDP(const TRect& r) const {
    return TRect(LPtoDP(r.TopLeft()), LPtoDP(r.BottomRight()));
}

void TDeviceContext::LPtoDP(TPoint* points, int count) const {
    if (ScaleX() != 1.0 || ScaleY() != 1.0) {
        for (int i = 0; i < count; ++i)
            points[i] = LPtoDP(points[i]);
        return;
    }
    // Unscaled, the mapping is a whole-pixel shift; only points that saturate need the general path.
    const int64_t dx = int64_t(FState.ViewportOrg.X) - FState.WindowOrg.X;
    const int64_t dy = int64_t(FState.ViewportOrg.Y) - FState.WindowOrg.Y;
    if (dx == 0 && dy == 0)
        return;
    for (int i = 0; i < count; ++i) {
        const int64_t x = points[i].X + dx, y = points[i].Y + dy;
        if (std::abs(x) >= kMaxDeviceCoord || std::abs(y) >= kMaxDeviceCoord)
            points[i] = LPtoDP(points[i]);
        else
            points[i] = TPoint(static_cast<int>(x), static_cast<int>(y));
    }
}

void TDeviceContext::DPtoLP(TPoint* points, int count) const {
    for (int i = 0; i < count; ++i) {
        double x = (points[i].X - FState.ViewportOrg.X) / ScaleX() + FState.WindowOrg.X;
        double y = (points[i].Y - FState.ViewportOrg.Y) / ScaleY() + FState.WindowOrg.Y;
        points[i] = TPoint(RoundInt(x), RoundInt(y));
    }
}

// ---- Clipping ----

TRect TDeviceContext::DeviceBounds() const {
    return FSurface ? TRect(0, 0, FSurface->Width(), FSurface->Height()) : TRect();
}

TRect TDeviceContext::VisibleBox() const {
    TRect box = DeviceBounds();
    if (FState.Clip) {
        TRect out;
        IntersectRect(out, box, FState.Clip->Bounds());
        return out;
    }
    return box;
}

const TRegion* TDeviceContext::ClipRegionForPixels() const {
    return FState.Clip && FState.Clip->Kind() == COMPLEXREGION ? &*FState.Clip : nullptr;
}

int TDeviceContext::SelectClipRgn(const TRegion* region) {
    if (!region) {
        FState.Clip.reset();
        return SIMPLEREGION;
    }
    FState.Clip = *region;
    return FState.Clip->Intersected(DeviceBounds()).Kind();
}

int TDeviceContext::ExtSelectClipRgn(const TRegion* region, int mode) {
    if (mode == RGN_COPY)
        return SelectClipRgn(region);
    if (!region)
        return RGN_ERROR;
    TRegion current = FState.Clip ? *FState.Clip : TRegion(DeviceBounds());
    TRegion result;
    if (result.Combine(current, *region, mode) == RGN_ERROR)
        return RGN_ERROR;
    FState.Clip = std::move(result);
    return FState.Clip->Intersected(DeviceBounds()).Kind();
}

int TDeviceContext::IntersectClipRect(int left, int top, int right, int bottom) {
    TRegion r(Normalized(LPtoDP(TRect(left, top, right, bottom))));
    return ExtSelectClipRgn(&r, RGN_AND);
}

int TDeviceContext::ExcludeClipRect(int left, int top, int right, int bottom) {
    TRegion r(Normalized(LPtoDP(TRect(left, top, right, bottom))));
    return ExtSelectClipRgn(&r, RGN_DIFF);
}

int TDeviceContext::OffsetClipRgn(int dx, int dy) {
    if (!FState.Clip)
        return SIMPLEREGION;
    FState.Clip->Offset(RoundInt(dx * ScaleX()), RoundInt(dy * ScaleY()));
    return FState.Clip->Kind();
}

int TDeviceContext::GetClipBox(TRect& box) const {
    TRect dev = VisibleBox();
    int kind = SIMPLEREGION;
    if (FState.Clip)
        kind = FState.Clip->Intersected(DeviceBounds()).Kind();
    else if (dev.IsEmpty())
        kind = NULLREGION;
    if (kind == NULLREGION)
        dev = TRect();
    TPoint pts[2] = {dev.TopLeft(), dev.BottomRight()};
    DPtoLP(pts, 2);
    box = Normalized(TRect(pts[0], pts[1]));
    return kind;
}

int TDeviceContext::GetClipRgn(TRegion& region) const {
    if (!FState.Clip)
        return 0;
    region = *FState.Clip;
    return 1;
}

bool TDeviceContext::PtVisible(int x, int y) const {
    TPoint d = LPtoDP(TPoint(x, y));
    if (!VisibleBox().Contains(d))
        return false;
    return !FState.Clip || FState.Clip->Contains(d);
}

bool TDeviceContext::RectVisible(const TRect& r) const {
    TRect d = Normalized(LPtoDP(r));
    TRect tmp;
    if (!IntersectRect(tmp, d, VisibleBox()))
        return false;
    return !FState.Clip || FState.Clip->IntersectsRect(d);
}

// ---- Saved states ----

int TDeviceContext::SaveDC() {
    FSaved.push_back(FState);
    return static_cast<int>(FSaved.size());
}

bool TDeviceContext::RestoreDC(int level) {
    int n = static_cast<int>(FSaved.size());
    int target = level < 0 ? n + level + 1 : level;
    if (target < 1 || target > n)
        return false;
    FState = FSaved[target - 1];
    FSaved.resize(target - 1);
    return true;
}

// ---- Pixel painting ----

uint32_t TDeviceContext::MapPixel(uint32_t p) const {
    if (!FSurface || !FSurface->Monochrome())
        return p & 0x00FFFFFF;
    int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return (r * 30 + g * 59 + b * 11) / 100 >= 128 ? 0x00FFFFFF : 0;
}

uint32_t TDeviceContext::BrushPixel(const TGdiBrush& brush, int x, int y, bool& draw) const {
    draw = true;
    switch (brush.Style) {
    case BS_SOLID:
        return MapPixel(ColorToPixel(brush.Color));
    case BS_HATCHED:
        if (HatchBit(brush.Hatch, x - FState.BrushOrg.X, y - FState.BrushOrg.Y))
            return MapPixel(ColorToPixel(brush.Color));
        if (FState.BkMode == OPAQUE)
            return MapPixel(ColorToPixel(FState.BkColor));
        draw = false;
        return 0;
    case BS_PATTERN: {
        const TBrushPattern& p = *brush.Pattern;
        int px = ((x - FState.BrushOrg.X) % p.Width + p.Width) % p.Width;
        int py = ((y - FState.BrushOrg.Y) % p.Height + p.Height) % p.Height;
        uint32_t v = p.Pixels[static_cast<size_t>(py) * p.Width + px];
        if (p.Monochrome)
            return MapPixel(ColorToPixel((v & 0x00FFFFFF) == 0 ? FState.TextColor : FState.BkColor));
        return MapPixel(v);
    }
    default:
        draw = false;
        return 0;
    }
}

void TDeviceContext::PaintSpans(const std::vector<TRegion::TSpan>& spans, const TGdiBrush* brush, int rop2) {
    uint32_t* pixels = FSurface ? FSurface->Pixels() : nullptr;
    if (!pixels || !brush || brush->Style == BS_NULL || rop2 == R2_NOP)
        return;
    const int stride = FSurface->StridePixels();
    bool solid = brush->Style == BS_SOLID;
    uint32_t solidPixel = solid ? MapPixel(ColorToPixel(brush->Color)) : 0;
    for (const auto& s : spans) {
        ForClipped(s.Y, s.X0, s.X1, [&](int a, int b) {
            uint32_t* row = pixels + static_cast<size_t>(s.Y) * stride;
            if (solid && rop2 == R2_COPYPEN) {
                FillKeepAlpha(row + a, static_cast<size_t>(b - a), solidPixel);
                return;
            }
            for (int x = a; x < b; ++x) {
                bool draw = true;
                uint32_t c = solid ? solidPixel : BrushPixel(*brush, x, s.Y, draw);
                if (draw)
                    row[x] = MapPixel(ApplyRop2(rop2, c, row[x])) | (row[x] & 0xFF000000);
            }
        });
    }
}

void TDeviceContext::FillSolidRect(const TRect& r, TColor color) {
    TRect d = Normalized(LPtoDP(r));
    auto brush = CreateSolidBrush(color);
    TRect box;
    if (!IntersectRect(box, d, VisibleBox()))
        return;
    if (FSurface && FSurface->Pixels()) {
        PaintSpans(BoxSpans(box), brush.get(), R2_COPYPEN);
        return;
    }
    VectorShape(RectShape({d}), brush.get(), false, kPatCopy);
}

// ---- Shapes ----

int TDeviceContext::DevicePenWidth() const {
    const TGdiPen& pen = *FState.Pen;
    if (!pen.Geometric() && pen.Width <= 1)
        return 1;
    double s = (std::abs(ScaleX()) + std::abs(ScaleY())) / 2;
    return std::max(1, RoundInt(pen.Width * s));
}

std::vector<int> TDeviceContext::PixelDashes() const {
    const TGdiPen& pen = *FState.Pen;
    if (pen.Kind() != PS_USERSTYLE)
        return CosmeticDashes(pen.Kind());
    if (pen.UserDashes.size() < 2)
        return {};
    // Run lengths of a thin geometric pen: its caps (unless flat) add a pixel to every dash and
    // take one from every gap, so zero-length dashes are single dots.
    bool flat = (pen.Style & PS_ENDCAP_MASK) == PS_ENDCAP_FLAT;
    std::vector<int> out;
    for (size_t i = 0; i < pen.UserDashes.size(); ++i) {
        int v = pen.UserDashes[i];
        if (i % 2 == 0)
            out.push_back(std::max(1, flat ? v : v + 1));
        else
            out.push_back(std::max(1, flat ? v : v - 1));
    }
    if (out.size() % 2)
        out.push_back(out.back());
    return out;
}

void TDeviceContext::StrokeOnePixel(const std::vector<TPoint>& pts, bool closed, TCoverage* coverage) {
    if (pts.empty())
        return;
    std::vector<TPoint> path;
    path.reserve(pts.size() + 1);
    for (const TPoint& p : pts)
        if (path.empty() || !(path.back() == p))
            path.push_back(p);
    if (closed && path.size() > 1 && !(path.back() == path.front()))
        path.push_back(path.front());
    std::vector<int> dashes = PixelDashes();
    if (coverage) {
        TDashState dash(&dashes);
        bool opaque = FState.BkMode == OPAQUE;
        for (size_t i = 0; i + 1 < path.size(); ++i)
            WalkLine(path[i].X, path[i].Y, path[i + 1].X, path[i + 1].Y, [&](int x, int y) {
                bool on = dash.Next();
                if (uint8_t* c = coverage->At(x, y)) {
                    if (on)
                        *c = 2;
                    else if (opaque)
                        *c = 3;
                }
            });
        return;
    }
    TPixelLine::TTarget target;
    target.Pixels = FSurface->Pixels();
    target.StridePixels = FSurface->StridePixels();
    target.Clip = VisibleBox();
    target.Region = ClipRegionForPixels();
    TColor pen = PixelToColor(MapPixel(ColorToPixel(FState.Pen->Color)));
    TColor gap = PixelToColor(MapPixel(ColorToPixel(FState.BkColor)));
    TPixelLine line(target, pen, FState.Rop2, &dashes, gap, FState.BkMode == OPAQUE);
    line.Polyline(path.data(), static_cast<int>(path.size()));
}

void TDeviceContext::ShapeToCairo(cairo_t* cr, const TShape& shape, double offset, bool closeAll) {
    size_t base = 0;
    for (size_t f = 0; f < shape.Counts.size(); ++f) {
        const int count = shape.Counts[f];
        for (int i = 0; i < count; ++i) {
            const TPointF& p = shape.Points[base + i];
            if (i == 0)
                cairo_move_to(cr, p.X + offset, p.Y + offset);
            else
                cairo_line_to(cr, p.X + offset, p.Y + offset);
        }
        if (closeAll || shape.IsClosed(f))
            cairo_close_path(cr);
        base += static_cast<size_t>(count);
    }
}

std::vector<uint8_t> TDeviceContext::StrokeMask(const TShape& shape, const TRect& box, int& stride) const {
    stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, box.Width());
    std::vector<uint8_t> mask(static_cast<size_t>(stride) * box.Height(), 0);
    cairo_surface_t* surf =
        cairo_image_surface_create_for_data(mask.data(), CAIRO_FORMAT_A8, box.Width(), box.Height(), stride);
    cairo_t* cr = cairo_create(surf);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    // Strokes run through pixel centres, as the pen draws them.
    cairo_translate(cr, -box.Left + 0.5, -box.Top + 0.5);
    ShapeToCairo(cr, shape, 0, false);
    SetCairoPen(cr);
    LimitDashes(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_stroke(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surf);
    cairo_surface_destroy(surf);
    return mask;
}

void TDeviceContext::StrokeWide(const TShape& shape, TCoverage& coverage) {
    const TRect& box = coverage.Box;
    if (box.IsEmpty())
        return;
    int stride = 0;
    const std::vector<uint8_t> mask = StrokeMask(shape, box, stride);
    for (int y = 0; y < box.Height(); ++y) {
        const uint8_t* row = mask.data() + static_cast<size_t>(y) * stride;
        uint8_t* out = coverage.Data.data() + static_cast<size_t>(y) * box.Width();
        for (int x = 0; x < box.Width(); ++x)
            if (row[x] >= 128)
                out[x] = 2;
    }
}

void TDeviceContext::DrawShape(const TShape& shape) {
    if (FPathState == TPathState::Open) {
        AddToPath(shape);
        return;
    }
    if (!FSurface || shape.Points.empty())
        return;
    if (!FSurface->Pixels()) {
        VectorShape(shape, shape.Fill ? FState.Brush.get() : nullptr, shape.Stroke, Rop2ToRop3(FState.Rop2));
        return;
    }
    const int rop = FState.Rop2;
    if (rop == R2_NOP)
        return;
    const TGdiBrush* brush = FState.Brush.get();
    bool hasFill = shape.Fill && brush && brush->Style != BS_NULL;
    bool hasStroke =
        shape.Stroke && FState.Pen && FState.Pen->Kind() != PS_NULL && FState.Pen->Color != clNone;
    int w = hasStroke ? DevicePenWidth() : 1;
    TRect box = VisibleBox();
    if (box.IsEmpty())
        return;

    std::vector<TRegion::TSpan> spans;
    if (hasFill)
        ScanPolygon(std::span<const TPointF>(shape.Points), std::span<const int>(shape.Counts),
                    shape.FillMode, spans, box.Top, box.Bottom);

    auto rounded = [&](size_t base, int count) {
        std::vector<TPoint> pts(count);
        for (int i = 0; i < count; ++i)
            pts[i] = TPoint(RoundInt(shape.Points[base + i].X), RoundInt(shape.Points[base + i].Y));
        return pts;
    };

    bool wide = hasStroke && w > 1;
    if (!wide && (!hasFill || !hasStroke || rop == R2_COPYPEN)) {
        if (hasFill)
            PaintSpans(spans, brush, rop);
        if (hasStroke) {
            size_t base = 0;
            for (size_t f = 0; f < shape.Counts.size(); ++f) {
                StrokeOnePixel(rounded(base, shape.Counts[f]), shape.IsClosed(f), nullptr);
                base += shape.Counts[f];
            }
        }
        return;
    }

    // Fill and pen meet on the same pixels: gather the coverage first so each pixel is combined once.
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const TPointF& p : shape.Points) {
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    int margin = w + 2;
    TRect shapeBox(RoundInt(std::floor(minX)) - margin, RoundInt(std::floor(minY)) - margin,
                   RoundInt(std::ceil(maxX)) + margin + 1, RoundInt(std::ceil(maxY)) + margin + 1);
    TRect covBox;
    if (!IntersectRect(covBox, shapeBox, box))
        return;
    TCoverage cov(covBox);
    if (hasStroke) {
        if (wide)
            StrokeWide(shape, cov);
        else {
            size_t base = 0;
            for (size_t f = 0; f < shape.Counts.size(); ++f) {
                StrokeOnePixel(rounded(base, shape.Counts[f]), shape.IsClosed(f), &cov);
                base += shape.Counts[f];
            }
        }
    }
    for (const auto& s : spans)
        for (int x = std::max(s.X0, covBox.Left); x < std::min(s.X1, covBox.Right); ++x)
            if (uint8_t* c = cov.At(x, s.Y); c && *c == 0)
                *c = 1;
    uint32_t* pixels = FSurface->Pixels();
    const int stride = FSurface->StridePixels();
    uint32_t pen = MapPixel(ColorToPixel(FState.Pen->Color));
    uint32_t gap = MapPixel(ColorToPixel(FState.BkColor));
    for (int y = covBox.Top; y < covBox.Bottom; ++y) {
        ForClipped(y, covBox.Left, covBox.Right, [&](int a, int b) {
            uint32_t* row = pixels + static_cast<size_t>(y) * stride;
            for (int x = a; x < b; ++x) {
                uint8_t c = *cov.At(x, y);
                if (!c)
                    continue;
                bool draw = true;
                uint32_t src = c == 2 ? pen : c == 3 ? gap : BrushPixel(*brush, x, y, draw);
                if (draw)
                    row[x] = MapPixel(ApplyRop2(rop, src, row[x])) | (row[x] & 0xFF000000);
            }
        });
    }
}

cairo_t* TDeviceContext::CreateCairo(const TRect* extraClip) {
    FSurface->BeginCairo();
    cairo_t* cr = cairo_create(FSurface->CairoSurface());
    if (FState.Clip) {
        for (const TRect& r : FState.Clip->Rects())
            cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
        cairo_clip(cr);
    }
    if (extraClip) {
        cairo_rectangle(cr, extraClip->Left, extraClip->Top, extraClip->Width(), extraClip->Height());
        cairo_clip(cr);
    }
    return cr;
}

void TDeviceContext::DestroyCairo(cairo_t* cr) {
    cairo_destroy(cr);
    FSurface->EndCairo();
}

// ---- Shape builders ----

bool TDeviceContext::LineTo(int x, int y) {
    const TPoint line[2] = {FState.Pos, TPoint(x, y)};
    PolylineShape(line, 2, true);
    FState.Pos = TPoint(x, y);
    return true;
}

namespace {
void AppendDevicePoints(const TDeviceContext& dc, const TPoint* points, int count,
                        std::vector<TPointF>& out) {
    for (int i = 0; i < count; ++i) {
        TPoint d = dc.LPtoDP(points[i]);
        out.push_back({double(d.X), double(d.Y)});
    }
}
} // namespace

bool TDeviceContext::PolylineShape(const TPoint* points, int count, bool continues) {
    if (!points || count < 2)
        return false;
    // Thin pens on pixel memory, the common case of every chart line, go straight to the pixel walk
    // without a shape of floating-point vertices. The outcome is that of DrawShape.
    if (FPathState != TPathState::Open && FSurface && FSurface->Pixels()) {
        const bool stroke = FState.Pen && FState.Pen->Kind() != PS_NULL && FState.Pen->Color != clNone;
        if (!stroke || FState.Rop2 == R2_NOP || VisibleBox().IsEmpty())
            return true;
        if (DevicePenWidth() == 1) {
            std::vector<TPoint> device(points, points + count);
            LPtoDP(device.data(), count);
            StrokeOnePixel(device, false, nullptr);
            return true;
        }
    }
    TShape s;
    AppendDevicePoints(*this, points, count, s.Points);
    s.Counts = {count};
    s.Closed = false;
    s.Fill = false;
    s.Continues = continues;
    DrawShape(s);
    return true;
}

bool TDeviceContext::Polyline(const TPoint* points, int count) {
    return PolylineShape(points, count, false);
}

bool TDeviceContext::PolylineTo(const TPoint* points, int count) {
    if (!points || count < 1)
        return false;
    std::vector<TPoint> all;
    all.push_back(FState.Pos);
    all.insert(all.end(), points, points + count);
    PolylineShape(all.data(), static_cast<int>(all.size()), true);
    FState.Pos = points[count - 1];
    return true;
}

bool TDeviceContext::PolyPolyline(const TPoint* points, const int* counts, int polylines) {
    if (!points || !counts || polylines < 1)
        return false;
    TShape s;
    for (int i = 0; i < polylines; ++i) {
        if (counts[i] < 2)
            return false;
        AppendDevicePoints(*this, points, counts[i], s.Points);
        s.Counts.push_back(counts[i]);
        points += counts[i];
    }
    s.Closed = false;
    s.Fill = false;
    DrawShape(s);
    return true;
}

bool TDeviceContext::Polygon(const TPoint* points, int count) {
    if (!points || count < 2)
        return false;
    return PolyPolygon(points, &count, 1);
}

bool TDeviceContext::PolyPolygon(const TPoint* points, const int* counts, int polygons) {
    if (!points || !counts || polygons < 1)
        return false;
    TShape s;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 2)
            return false;
        AppendDevicePoints(*this, points, counts[i], s.Points);
        s.Counts.push_back(counts[i]);
        points += counts[i];
    }
    s.FillMode = FState.PolyFillMode;
    DrawShape(s);
    return true;
}

namespace {
// The centre line of a box shape in device pixels: the pixel centres of its outer ring, pulled in for
// an inside-frame pen so the whole stroke stays inside the box.
struct TBoxLine {
    double L, T, R, B;
    double CentreX() const { return (L + R) / 2; }
    double CentreY() const { return (T + B) / 2; }
    double RadiusX() const { return (R - L) / 2; }
    double RadiusY() const { return (B - T) / 2; }
};

TBoxLine BoxLine(const TRect& device, int penWidth, int penKind) {
    const TRect d = Normalized(device);
    const double inset = penKind == PS_INSIDEFRAME && penWidth > 1 ? (penWidth - 1) / 2.0 : 0;
    return {d.Left + inset, d.Top + inset, d.Right - 1 - inset, d.Bottom - 1 - inset};
}
} // namespace

void TDeviceContext::FillBox(const TRect& box, uint32_t pixel) {
    TRect visible;
    if (!IntersectRect(visible, box, VisibleBox()))
        return;
    uint32_t* pixels = FSurface->Pixels();
    const size_t stride = static_cast<size_t>(FSurface->StridePixels());
    auto fill = [&](const TRect& r) {
        for (int y = r.Top; y < r.Bottom; ++y)
            FillKeepAlpha(pixels + y * stride + r.Left, static_cast<size_t>(r.Width()), pixel);
    };
    const TRegion* rgn = ClipRegionForPixels();
    if (!rgn) {
        fill(visible);
        return;
    }
    // Gradient bands are often one pixel across: the clip's rectangles are met once per box, not
    // looked up again for every row.
    const auto& rects = rgn->Rects();
    auto it = std::partition_point(rects.begin(), rects.end(),
                                   [&](const TRect& r) { return r.Bottom <= visible.Top; });
    for (TRect part; it != rects.end() && it->Top < visible.Bottom; ++it)
        if (IntersectRect(part, *it, visible))
            fill(part);
}

bool TDeviceContext::PlainRectangle(const TRect& device) {
    if (FPathState == TPathState::Open || !FSurface || !FSurface->Pixels() || FState.Rop2 != R2_COPYPEN)
        return false;
    const TGdiBrush* brush = FState.Brush.get();
    const bool fill = brush && brush->Style != BS_NULL;
    if (fill && brush->Style != BS_SOLID)
        return false;
    const TGdiPen& pen = *FState.Pen;
    const bool stroke = pen.Kind() != PS_NULL && pen.Color != clNone;
    // Any dash pattern, or a pen wider than a pixel, needs the pixel walk or the coverage mask.
    if (stroke && ((pen.Kind() != PS_SOLID && pen.Kind() != PS_INSIDEFRAME) || DevicePenWidth() != 1))
        return false;
    const TRect d = Normalized(device);
    if (d.IsEmpty())
        return true;
    // The fill leaves the last column and row to the pen, as the shape painter's does; the pen's ring
    // then covers the box's outermost pixels.
    if (fill)
        FillBox(TRect(d.Left, d.Top, d.Right - 1, d.Bottom - 1), MapPixel(ColorToPixel(brush->Color)));
    if (stroke) {
        const uint32_t p = MapPixel(ColorToPixel(pen.Color));
        FillBox(TRect(d.Left, d.Top, d.Right, d.Top + 1), p);
        FillBox(TRect(d.Left, d.Bottom - 1, d.Right, d.Bottom), p);
        FillBox(TRect(d.Left, d.Top + 1, d.Left + 1, d.Bottom - 1), p);
        FillBox(TRect(d.Right - 1, d.Top + 1, d.Right, d.Bottom - 1), p);
    }
    return true;
}

bool TDeviceContext::Rectangle(int left, int top, int right, int bottom) {
    if (PlainRectangle(LPtoDP(TRect(left, top, right, bottom))))
        return true;
    const TBoxLine b = BoxLine(LPtoDP(TRect(left, top, right, bottom)), DevicePenWidth(), FState.Pen->Kind());
    if (b.R < b.L || b.B < b.T)
        return true;
    TShape s;
    s.Points = {{b.L, b.T}, {b.R, b.T}, {b.R, b.B}, {b.L, b.B}};
    s.Counts = {4};
    DrawShape(s);
    return true;
}

void TDeviceContext::BuildEllipse(double cx, double cy, double rx, double ry, double a0, double a1,
                                  std::vector<TPointF>& out, bool full) const {
    double sweep = full ? 2 * kPi : a1 - a0; // negative runs clockwise
    double r = std::max({rx, ry, 0.5});
    // Clamped before the conversion: a box billions of pixels wide asks for more steps than an int holds.
    const int n =
        static_cast<int>(std::clamp(std::ceil(std::abs(sweep) * r / 1.5), full ? 8.0 : 2.0, 4096.0));
    int last = full ? n - 1 : n;
    for (int i = 0; i <= last; ++i) {
        double a = a0 + sweep * i / n;
        out.push_back({cx + rx * std::cos(a), cy - ry * std::sin(a)});
    }
}

bool TDeviceContext::Ellipse(int left, int top, int right, int bottom) {
    const TBoxLine b = BoxLine(LPtoDP(TRect(left, top, right, bottom)), DevicePenWidth(), FState.Pen->Kind());
    if (b.R < b.L || b.B < b.T)
        return true;
    TShape s;
    BuildEllipse(b.CentreX(), b.CentreY(), b.RadiusX(), b.RadiusY(), 0, 0, s.Points, true);
    s.Counts = {static_cast<int>(s.Points.size())};
    DrawShape(s);
    return true;
}

bool TDeviceContext::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
    const TBoxLine box =
        BoxLine(LPtoDP(TRect(left, top, right, bottom)), DevicePenWidth(), FState.Pen->Kind());
    const double l = box.L, t = box.T, r = box.R, b = box.B;
    if (r < l || b < t)
        return true;
    double rx = std::min(std::abs(cornerWidth * ScaleX()) / 2.0, (r - l) / 2.0);
    double ry = std::min(std::abs(cornerHeight * ScaleY()) / 2.0, (b - t) / 2.0);
    if (rx < 0.5 || ry < 0.5)
        return Rectangle(left, top, right, bottom);
    TShape s;
    BuildEllipse(l + rx, t + ry, rx, ry, kPi / 2, kPi, s.Points, false);
    BuildEllipse(l + rx, b - ry, rx, ry, kPi, 3 * kPi / 2, s.Points, false);
    BuildEllipse(r - rx, b - ry, rx, ry, 3 * kPi / 2, 2 * kPi, s.Points, false);
    BuildEllipse(r - rx, t + ry, rx, ry, 0, kPi / 2, s.Points, false);
    s.Counts = {static_cast<int>(s.Points.size())};
    DrawShape(s);
    return true;
}

bool TDeviceContext::ArcShape(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye,
                              int kind) {
    const TBoxLine b = BoxLine(LPtoDP(TRect(left, top, right, bottom)), DevicePenWidth(), FState.Pen->Kind());
    if (b.R < b.L || b.B < b.T)
        return true;
    const double rx = b.RadiusX(), ry = b.RadiusY(), cx = b.CentreX(), cy = b.CentreY();
    TPointF ps = ToDeviceF(xs, ys), pe = ToDeviceF(xe, ye);
    // Angles are measured with y pointing up, so counter-clockwise on the screen is increasing.
    double a0 = std::atan2(-(ps.Y - cy) * (rx > 0 ? rx : 1), (ps.X - cx) * (ry > 0 ? ry : 1));
    double a1 = std::atan2(-(pe.Y - cy) * (rx > 0 ? rx : 1), (pe.X - cx) * (ry > 0 ? ry : 1));
    // Equal angles make a whole ellipse in either direction.
    if (FState.ArcDirection == AD_CLOCKWISE) {
        if (a1 >= a0)
            a1 -= 2 * kPi;
    } else if (a1 <= a0) {
        a1 += 2 * kPi;
    }
    TShape s;
    if (kind == 3) {
        TPoint cp = LPtoDP(FState.Pos);
        s.Points.push_back({double(cp.X), double(cp.Y)});
    }
    BuildEllipse(cx, cy, rx, ry, a0, a1, s.Points, false);
    if (kind == 0 || kind == 3) {
        s.Closed = false;
        s.Fill = false;
        s.Continues = kind == 3;
    } else if (kind == 1) {
        s.Points.push_back({cx, cy});
    }
    s.Counts = {static_cast<int>(s.Points.size())};
    DrawShape(s);
    if (kind == 3) {
        TPoint end(RoundInt(s.Points.back().X), RoundInt(s.Points.back().Y));
        DPtoLP(&end, 1);
        FState.Pos = end;
    }
    return true;
}

bool TDeviceContext::Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return ArcShape(l, t, r, b, xs, ys, xe, ye, 0);
}
bool TDeviceContext::Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return ArcShape(l, t, r, b, xs, ys, xe, ye, 1);
}
bool TDeviceContext::Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return ArcShape(l, t, r, b, xs, ys, xe, ye, 2);
}
bool TDeviceContext::ArcTo(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return ArcShape(l, t, r, b, xs, ys, xe, ye, 3);
}

bool TDeviceContext::PolyBezier(const TPoint* points, int count) {
    return BezierShape(points, count, false);
}

bool TDeviceContext::BezierShape(const TPoint* points, int count, bool continues) {
    if (!points || count < 4 || (count - 1) % 3 != 0)
        return false;
    TShape s;
    std::vector<TPointF> ctrl;
    AppendDevicePoints(*this, points, count, ctrl);
    s.Points.push_back(ctrl[0]);
    for (int i = 0; i + 3 < count; i += 3) {
        const TPointF &p0 = ctrl[i], &p1 = ctrl[i + 1], &p2 = ctrl[i + 2], &p3 = ctrl[i + 3];
        double len = std::hypot(p1.X - p0.X, p1.Y - p0.Y) + std::hypot(p2.X - p1.X, p2.Y - p1.Y) +
                     std::hypot(p3.X - p2.X, p3.Y - p2.Y);
        int n = std::clamp(static_cast<int>(len / 3), 2, 512);
        for (int k = 1; k <= n; ++k) {
            double t = double(k) / n, u = 1 - t;
            double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, e = t * t * t;
            s.Points.push_back({std::round(a * p0.X + b * p1.X + c * p2.X + e * p3.X),
                                std::round(a * p0.Y + b * p1.Y + c * p2.Y + e * p3.Y)});
        }
    }
    s.Counts = {static_cast<int>(s.Points.size())};
    s.Closed = false;
    s.Fill = false;
    s.Continues = continues;
    DrawShape(s);
    return true;
}

bool TDeviceContext::PolyBezierTo(const TPoint* points, int count) {
    if (!points || count < 3 || count % 3 != 0)
        return false;
    std::vector<TPoint> all;
    all.push_back(FState.Pos);
    all.insert(all.end(), points, points + count);
    BezierShape(all.data(), static_cast<int>(all.size()), true);
    FState.Pos = points[count - 1];
    return true;
}

// ---- Areas ----

bool TDeviceContext::FillRect(const TRect& r, const HBRUSH& brush) {
    if (!FSurface || !brush)
        return false;
    TRect d = LPtoDP(r);
    if (d.IsEmpty())
        return true;
    if (!FSurface->Pixels()) {
        VectorShape(RectShape({d}), brush.get(), false, kPatCopy);
        return true;
    }
    TRect box;
    if (!IntersectRect(box, d, VisibleBox()))
        return true;
    PaintSpans(BoxSpans(box), brush.get(), R2_COPYPEN);
    return true;
}

bool TDeviceContext::FrameRect(const TRect& r, const HBRUSH& brush) {
    TRect d = LPtoDP(r);
    if (d.IsEmpty() || !FSurface || !brush)
        return false;
    if (!FSurface->Pixels()) {
        TRect n = Normalized(d);
        std::vector<TRect> sides = {TRect(n.Left, n.Top, n.Right, n.Top + 1)};
        if (n.Height() > 1)
            sides.push_back(TRect(n.Left, n.Bottom - 1, n.Right, n.Bottom));
        if (n.Height() > 2) {
            sides.push_back(TRect(n.Left, n.Top + 1, n.Left + 1, n.Bottom - 1));
            if (n.Width() > 1)
                sides.push_back(TRect(n.Right - 1, n.Top + 1, n.Right, n.Bottom - 1));
        }
        VectorShape(RectShape(sides), brush.get(), false, kPatCopy);
        return true;
    }
    std::vector<TRegion::TSpan> spans;
    spans.push_back({d.Top, d.Left, d.Right});
    if (d.Bottom - 1 > d.Top)
        spans.push_back({d.Bottom - 1, d.Left, d.Right});
    for (int y = d.Top + 1; y < d.Bottom - 1; ++y) {
        spans.push_back({y, d.Left, d.Left + 1});
        if (d.Right - 1 > d.Left)
            spans.push_back({y, d.Right - 1, d.Right});
    }
    PaintSpans(spans, brush.get(), R2_COPYPEN);
    return true;
}

bool TDeviceContext::InvertRect(const TRect& r) {
    TRect d = LPtoDP(r);
    if (d.IsEmpty() || !FSurface)
        return false;
    TRect box;
    if (!IntersectRect(box, d, VisibleBox()) || !FSurface->Pixels())
        return true;
    TGdiBrush white;
    white.Color = clWhite;
    PaintSpans(BoxSpans(box), &white, R2_XORPEN);
    return true;
}

bool TDeviceContext::FillRgn(const TRegion& region, const HBRUSH& brush) {
    if (!FSurface || !brush)
        return false;
    TRegion rgn = region;
    TPoint o = LPtoDP(TPoint(0, 0));
    rgn.Offset(o.X, o.Y);
    if (!FSurface->Pixels()) {
        VectorShape(RectShape(rgn.Rects()), brush.get(), false, kPatCopy);
        return true;
    }
    std::vector<TRegion::TSpan> spans;
    TRect box = VisibleBox();
    for (const TRect& r : rgn.Rects())
        for (int y = std::max(r.Top, box.Top); y < std::min(r.Bottom, box.Bottom); ++y)
            spans.push_back({y, r.Left, r.Right});
    PaintSpans(spans, brush.get(), R2_COPYPEN);
    return true;
}

uint8_t Rop2ToRop3(int rop2) {
    const uint32_t table = static_cast<uint32_t>(rop2 - 1) & 15; // bit (pen * 2 + dest)
    uint8_t code = 0;
    for (int i = 0; i < 8; ++i) {
        int pattern = (i >> 2) & 1, dest = i & 1;
        if ((table >> (pattern * 2 + dest)) & 1)
            code |= static_cast<uint8_t>(1 << i);
    }
    return code;
}

uint32_t ApplyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
    switch (code) {
    case 0xCC:
        return s;
    case 0xF0:
        return p;
    case 0xAA:
        return d;
    case 0x00:
        return 0;
    case 0xFF:
        return 0xFFFFFFFF;
    case 0x66:
        return s ^ d;
    case 0x88:
        return s & d;
    case 0xEE:
        return s | d;
    case 0x55:
        return ~d;
    case 0x5A:
        return p ^ d;
    default:
        break;
    }
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!((code >> i) & 1))
            continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r;
}

bool TDeviceContext::PatBlt(int x, int y, int width, int height, uint32_t rop) {
    if (!FSurface)
        return false;
    TRect d = Normalized(LPtoDP(TRect(x, y, x + width, y + height)));
    uint32_t* pixels = FSurface->Pixels();
    TRect box;
    if (!IntersectRect(box, d, VisibleBox()))
        return true;
    uint8_t code = static_cast<uint8_t>(rop >> 16);
    if (!pixels) {
        if (FState.Brush)
            VectorShape(RectShape({d}), FState.Brush.get(), false, code);
        return true;
    }
    const int stride = FSurface->StridePixels();
    const TGdiBrush* brush = FState.Brush.get();
    for (int row = box.Top; row < box.Bottom; ++row) {
        ForClipped(row, box.Left, box.Right, [&](int a, int b) {
            uint32_t* line = pixels + static_cast<size_t>(row) * stride;
            for (int px = a; px < b; ++px) {
                bool draw = true;
                uint32_t p = brush ? BrushPixel(*brush, px, row, draw) : 0;
                if (!draw)
                    p = line[px] & 0x00FFFFFF; // a transparent hatch gap leaves the pattern as the pixel
                uint32_t v = ApplyRop3(code, p, 0, line[px]);
                line[px] = MapPixel(v) | (line[px] & 0xFF000000);
            }
        });
    }
    return true;
}

TColor TDeviceContext::SetPixel(int x, int y, TColor color) {
    if (!FSurface)
        return CLR_INVALID;
    TPoint d = LPtoDP(TPoint(x, y));
    if (!PtVisible(x, y))
        return CLR_INVALID;
    uint32_t c = MapPixel(ColorToPixel(ColorToRGB(color)));
    if (uint32_t* pixels = FSurface->Pixels()) {
        uint32_t& p = pixels[static_cast<size_t>(d.Y) * FSurface->StridePixels() + d.X];
        p = c | (p & 0xFF000000);
    } else {
        // d is a device pixel already: FillSolidRect would map it a second time.
        auto brush = CreateSolidBrush(PixelToColor(c));
        VectorShape(RectShape({TRect(d.X, d.Y, d.X + 1, d.Y + 1)}), brush.get(), false, kPatCopy);
    }
    return PixelToColor(c);
}

TColor TDeviceContext::GetPixel(int x, int y) const {
    if (!FSurface || !FSurface->Pixels() || !PtVisible(x, y))
        return CLR_INVALID;
    TPoint d = LPtoDP(TPoint(x, y));
    return PixelToColor(FSurface->Pixels()[static_cast<size_t>(d.Y) * FSurface->StridePixels() + d.X]);
}

} // namespace plat
