// Pens and brushes of the anti-aliased graphics layer. Solid and linear gradient brushes become Cairo
// patterns; the path gradient (the glow) is rasterised here as a fan of Gouraud-shaded triangles from
// the centre point to the outline, because Cairo's mesh rasteriser only approximates its colours.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/AAInternal.h"

namespace plat {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool ValidWrap(int mode) {
    return mode >= aawmTile && mode <= aawmClamp;
}

// Interpolates two straight ARGB colours channel by channel; with gamma, red, green and blue mix as
// light does (in linear intensity).
TARGB Mix(TARGB a, TARGB b, double f, bool gamma) {
    auto ch = [&](int shift) {
        double x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF, v;
        if (gamma && shift != 24) {
            double lx = std::pow(x / 255, 2.2), ly = std::pow(y / 255, 2.2);
            v = std::pow(lx + (ly - lx) * f, 1 / 2.2) * 255;
        } else {
            v = x + (y - x) * f;
        }
        return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)) << shift;
    };
    return ch(24) | ch(16) | ch(8) | ch(0);
}

void AddStop(cairo_pattern_t* p, double offset, TARGB c) {
    cairo_pattern_add_color_stop_rgba(p, std::clamp(offset, 0.0, 1.0), ((c >> 16) & 0xFF) / 255.0,
                                      ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0, (c >> 24) / 255.0);
}

} // namespace

// ---- Pen ----

TAAPen::TAAPen(TARGB color, float width, int unit) : FColor(color), FWidth(width), FUnit(unit) {
    bool ok = Finite(width) && width >= 0 && (unit == aauWorld || unit == aauPixel);
    Created(ok ? TAAStatus::Ok : TAAStatus::InvalidParameter);
}

TAAStatus TAAPen::SetColor(TARGB color) {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    FColor = color;
    return TAAStatus::Ok;
}

TAAStatus TAAPen::SetWidth(float width) {
    if (!Valid() || !Finite(width) || width < 0)
        return Keep(TAAStatus::InvalidParameter);
    FWidth = width;
    return TAAStatus::Ok;
}

TAAStatus TAAPen::SetDashStyle(int style) {
    if (!Valid() || style < aadsSolid || style > aadsCustom)
        return Keep(TAAStatus::InvalidParameter);
    FDashStyle = style;
    return TAAStatus::Ok;
}

TAAStatus TAAPen::SetDashPattern(const float* dashes, int count) {
    if (!Valid() || !dashes || count <= 0)
        return Keep(TAAStatus::InvalidParameter);
    for (int i = 0; i < count; ++i)
        if (!Finite(dashes[i]) || dashes[i] <= 0)
            return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        FCustomDashes.assign(dashes, dashes + count);
        FDashStyle = aadsCustom;
        return TAAStatus::Ok;
    }));
}

std::vector<float> TAAPen::DashPattern() const {
    switch (FDashStyle) {
    case aadsDash:
        return {3, 1};
    case aadsDot:
        return {1, 1};
    case aadsDashDot:
        return {3, 1, 1, 1};
    case aadsDashDotDot:
        return {3, 1, 1, 1, 1, 1};
    case aadsCustom:
        return FCustomDashes.empty() ? std::vector<float>{1, 1} : FCustomDashes;
    default:
        return {};
    }
}

TAAStatus TAAPen::SetDashOffset(float offset) {
    if (!Valid() || !Finite(offset))
        return Keep(TAAStatus::InvalidParameter);
    FDashOffset = offset;
    return TAAStatus::Ok;
}

TAAStatus TAAPen::SetAlignment(int alignment) {
    if (!Valid() || (alignment != aapaCenter && alignment != aapaInset))
        return Keep(TAAStatus::InvalidParameter);
    FAlignment = alignment;
    return TAAStatus::Ok;
}

// ---- Solid brush ----

TAASolidBrush::TAASolidBrush(TARGB color) : FColor(color) {
    Created(TAAStatus::Ok);
}

TAAStatus TAASolidBrush::SetColor(TARGB color) {
    FColor = color;
    return TAAStatus::Ok;
}

TAAStatus TAASolidBrush::Apply(TAAPaint& paint) const {
    SetSourceARGB(paint.Cr, FColor);
    return TAAStatus::Ok;
}

// ---- Linear gradient brush ----

void TAALinearGradientBrush::Init(double a, double b, double c, const TAARectF& rect, TARGB color1,
                                  TARGB color2) {
    FA = a, FB = b, FC = c;
    FRect = rect;
    FColor1 = color1;
    FColor2 = color2;
    Created(FiniteAll({a, b, c}) && (a != 0 || b != 0) ? TAAStatus::Ok : TAAStatus::InvalidParameter);
}

TAALinearGradientBrush::TAALinearGradientBrush(const TAARectF& r, TARGB color1, TARGB color2, int mode) {
    if (!FiniteAll({r.X, r.Y, r.Width, r.Height}) || r.Width == 0 || r.Height == 0 || mode < aalgHorizontal ||
        mode > aalgBackwardDiagonal) {
        FRect = r;
        Created(TAAStatus::InvalidParameter);
        return;
    }
    double u = 1.0 / r.Width, v = 1.0 / r.Height;
    switch (mode) {
    case aalgHorizontal:
        Init(u, 0, -r.X * u, r, color1, color2);
        break;
    case aalgVertical:
        Init(0, v, -r.Y * v, r, color1, color2);
        break;
    case aalgForwardDiagonal:
        Init(u / 2, v / 2, -(r.X * u + r.Y * v) / 2, r, color1, color2);
        break;
    default:
        Init(-u / 2, v / 2, (1 + r.X * u - r.Y * v) / 2, r, color1, color2);
        break;
    }
}

TAALinearGradientBrush::TAALinearGradientBrush(const TAARectF& r, TARGB color1, TARGB color2, float angle,
                                               bool angleIsScalable) {
    if (!FiniteAll({r.X, r.Y, r.Width, r.Height, angle}) || r.Width == 0 || r.Height == 0) {
        FRect = r;
        Created(TAAStatus::InvalidParameter);
        return;
    }
    double th = angle * kPi / 180, dx = std::cos(th), dy = std::sin(th);
    // The start line passes through the corner first met along the direction, the end line through the
    // corner met last.
    auto range = [&](double w, double h, double& lo, double& hi) {
        double c[4] = {0, w * dx, h * dy, w * dx + h * dy};
        lo = *std::min_element(c, c + 4);
        hi = *std::max_element(c, c + 4);
    };
    double lo, hi;
    if (angleIsScalable) {
        range(1, 1, lo, hi);
        double k = 1 / (hi - lo);
        Init(dx * k / r.Width, dy * k / r.Height, -(r.X * dx / r.Width + r.Y * dy / r.Height + lo) * k, r,
             color1, color2);
    } else {
        range(r.Width, r.Height, lo, hi);
        double k = 1 / (hi - lo);
        Init(dx * k, dy * k, -(r.X * dx + r.Y * dy + lo) * k, r, color1, color2);
    }
}

TAALinearGradientBrush::TAALinearGradientBrush(TAAPointF p1, TAAPointF p2, TARGB color1, TARGB color2) {
    double dx = double(p2.X) - p1.X, dy = double(p2.Y) - p1.Y, len2 = dx * dx + dy * dy;
    TAARectF box{std::min(p1.X, p2.X), std::min(p1.Y, p2.Y), std::abs(p2.X - p1.X), std::abs(p2.Y - p1.Y)};
    if (!FiniteAll({p1.X, p1.Y, p2.X, p2.Y}) || len2 == 0) {
        FRect = box;
        Created(TAAStatus::InvalidParameter);
        return;
    }
    Init(dx / len2, dy / len2, -(p1.X * dx + p1.Y * dy) / len2, box, color1, color2);
}

TAAStatus TAALinearGradientBrush::SetColors(TARGB color1, TARGB color2) {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    FColor1 = color1;
    FColor2 = color2;
    return TAAStatus::Ok;
}

TAAStatus TAALinearGradientBrush::SetWrapMode(int mode) {
    if (!Valid() || !ValidWrap(mode) || mode == aawmClamp)
        return Keep(TAAStatus::InvalidParameter);
    FWrapMode = mode;
    return TAAStatus::Ok;
}

TAAStatus TAALinearGradientBrush::SetBlend(const float* factors, const float* positions, int count) {
    if (!Valid() || !factors || !positions || count < 2)
        return Keep(TAAStatus::InvalidParameter);
    if (positions[0] != 0 || positions[count - 1] != 1)
        return Keep(TAAStatus::InvalidParameter);
    for (int i = 0; i < count; ++i) {
        if (!Finite(factors[i]) || factors[i] < 0 || factors[i] > 1 || !Finite(positions[i]))
            return Keep(TAAStatus::InvalidParameter);
        if (i > 0 && positions[i] < positions[i - 1])
            return Keep(TAAStatus::InvalidParameter);
    }
    return Keep(Guarded([&] {
        FBlendFactors.assign(factors, factors + count);
        FBlendPositions.assign(positions, positions + count);
        return TAAStatus::Ok;
    }));
}

TAAStatus TAALinearGradientBrush::GetBlend(float* factors, float* positions, int count) const {
    if (!Valid() || !factors || !positions || count < BlendCount())
        return TAAStatus::InvalidParameter;
    std::copy(FBlendFactors.begin(), FBlendFactors.end(), factors);
    std::copy(FBlendPositions.begin(), FBlendPositions.end(), positions);
    return TAAStatus::Ok;
}

TAAStatus TAALinearGradientBrush::SetGammaCorrection(bool value) {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    FGamma = value;
    return TAAStatus::Ok;
}

TAAStatus TAALinearGradientBrush::Apply(TAAPaint& paint) const {
    double g2 = FA * FA + FB * FB;
    double ax = -FC * FA / g2, ay = -FC * FB / g2;
    cairo_pattern_t* p = cairo_pattern_create_linear(ax, ay, ax + FA / g2, ay + FB / g2);
    size_t n = FBlendPositions.size();
    for (size_t i = 0; i < n; ++i) {
        AddStop(p, FBlendPositions[i], Mix(FColor1, FColor2, FBlendFactors[i], FGamma));
        if (FGamma && i + 1 < n) {
            // Gamma-correct mixing is not linear in position: sample the segment.
            for (int k = 1; k < 8; ++k) {
                double f = k / 8.0;
                AddStop(p, FBlendPositions[i] + (FBlendPositions[i + 1] - FBlendPositions[i]) * f,
                        Mix(FColor1, FColor2,
                            FBlendFactors[i] + (FBlendFactors[i + 1] - FBlendFactors[i]) * f, true));
            }
        }
    }
    cairo_pattern_set_extend(p, FWrapMode == aawmTileFlipX || FWrapMode == aawmTileFlipXY
                                    ? CAIRO_EXTEND_REFLECT
                                    : CAIRO_EXTEND_REPEAT);
    cairo_set_source(paint.Cr, p);
    cairo_status_t st = cairo_pattern_status(p);
    cairo_pattern_destroy(p);
    return st == CAIRO_STATUS_NO_MEMORY ? TAAStatus::OutOfMemory : TAAStatus::Ok;
}

// ---- Path gradient brush ----

TAAPathGradientBrush::TAAPathGradientBrush(const TAAPath* path) {
    if (!path || !path->Valid()) {
        Created(TAAStatus::InvalidParameter);
        return;
    }
    Init(path->FData, aawmClamp);
}

TAAPathGradientBrush::TAAPathGradientBrush(const TAAPointF* points, int count, int wrapMode) {
    if (!points || count < 2 || !ValidWrap(wrapMode)) {
        Created(TAAStatus::InvalidParameter);
        return;
    }
    TAAStatus st = Guarded([&] {
        auto d = std::make_shared<TAAPathData>();
        for (int i = 0; i < count; ++i) {
            if (!Finite(points[i].X) || !Finite(points[i].Y))
                return TAAStatus::InvalidParameter;
            if (i == 0)
                d->Join(points[i].X, points[i].Y);
            else
                d->LineTo(points[i].X, points[i].Y);
        }
        d->Close();
        Init(d, wrapMode);
        return LastStatus();
    });
    if (st != TAAStatus::Ok)
        Created(st);
}

TAAPathGradientBrush::~TAAPathGradientBrush() = default;

void TAAPathGradientBrush::Init(std::shared_ptr<const TAAPathData> data, int wrapMode) {
    FPath = std::move(data);
    FWrapMode = wrapMode;
    if (FPath->Points.size() < 2) {
        Created(TAAStatus::InvalidParameter);
        return;
    }
    FSurround.assign(FPath->Points.size(), 0xFFFFFFFF);
    // The centre of the outline's area; the mean of its points when it encloses none.
    auto figs = FlattenPath(*FPath, 0.05);
    double area = 0, cx = 0, cy = 0, mx = 0, my = 0;
    size_t count = 0;
    for (const TFlatFigure& f : figs) {
        size_t n = f.X.size();
        for (size_t i = 0; i < n; ++i) {
            size_t j = (i + 1) % n;
            double c = f.X[i] * f.Y[j] - f.X[j] * f.Y[i];
            area += c;
            cx += (f.X[i] + f.X[j]) * c;
            cy += (f.Y[i] + f.Y[j]) * c;
            mx += f.X[i];
            my += f.Y[i];
            ++count;
        }
    }
    if (std::abs(area) > 1e-9)
        FCenter = {static_cast<float>(cx / (3 * area)), static_cast<float>(cy / (3 * area))};
    else if (count)
        FCenter = {static_cast<float>(mx / count), static_cast<float>(my / count)};
    Created(TAAStatus::Ok);
}

int TAAPathGradientBrush::PointCount() const {
    return FPath ? static_cast<int>(FPath->Points.size()) : 0;
}

TAAStatus TAAPathGradientBrush::SetCenterColor(TARGB color) {
    if (!Valid())
        return Keep(TAAStatus::InvalidParameter);
    FCenterColor = color;
    return TAAStatus::Ok;
}

TAAStatus TAAPathGradientBrush::SetCenterPoint(TAAPointF point) {
    if (!Valid() || !Finite(point.X) || !Finite(point.Y))
        return Keep(TAAStatus::InvalidParameter);
    FCenter = point;
    return TAAStatus::Ok;
}

TAAStatus TAAPathGradientBrush::SetSurroundColors(const TARGB* colors, int& count) {
    if (!Valid() || !colors || count < 1 || count > PointCount())
        return Keep(TAAStatus::InvalidParameter);
    for (int i = 0; i < PointCount(); ++i)
        FSurround[i] = colors[std::min(i, count - 1)];
    return TAAStatus::Ok;
}

TAAStatus TAAPathGradientBrush::SetWrapMode(int mode) {
    if (!Valid() || !ValidWrap(mode))
        return Keep(TAAStatus::InvalidParameter);
    FWrapMode = mode;
    return TAAStatus::Ok;
}

namespace {

struct TFanVertex {
    double X, Y;
    double C[4]; // straight a, r, g, b
};

TFanVertex Vertex(double x, double y, TARGB c) {
    return {x, y, {double(c >> 24), double((c >> 16) & 0xFF), double((c >> 8) & 0xFF), double(c & 0xFF)}};
}

// A premultiplied ARGB image whose pixels are sampled at their centres; Painted marks the pixels a
// triangle reached.
struct TFanImage {
    int W, H;
    std::vector<uint32_t> Px;
    std::vector<uint8_t> Painted;

    TFanImage(int w, int h) : W(w), H(h), Px(size_t(w) * h, 0), Painted(size_t(w) * h, 0) {}

    void Triangle(const TFanVertex& a, const TFanVertex& b, const TFanVertex& c) {
        double den = (b.Y - c.Y) * (a.X - c.X) + (c.X - b.X) * (a.Y - c.Y);
        if (std::abs(den) < 1e-12)
            return;
        double y0 = std::min({a.Y, b.Y, c.Y}), y1 = std::max({a.Y, b.Y, c.Y});
        int j0 = std::max(0, static_cast<int>(std::ceil(y0 - 0.5))),
            j1 = std::min(H - 1, static_cast<int>(std::floor(y1 - 0.5)));
        const TFanVertex* v[3] = {&a, &b, &c};
        for (int j = j0; j <= j1; ++j) {
            double yc = j + 0.5, xl = 1e300, xr = -1e300;
            for (int e = 0; e < 3; ++e) {
                const TFanVertex &p = *v[e], &q = *v[(e + 1) % 3];
                if ((p.Y > yc && q.Y > yc) || (p.Y < yc && q.Y < yc))
                    continue;
                if (p.Y == q.Y) {
                    xl = std::min({xl, p.X, q.X});
                    xr = std::max({xr, p.X, q.X});
                } else {
                    double x = p.X + (yc - p.Y) * (q.X - p.X) / (q.Y - p.Y);
                    xl = std::min(xl, x);
                    xr = std::max(xr, x);
                }
            }
            int i0 = std::max(0, static_cast<int>(std::ceil(xl - 0.5)));
            int i1 = std::min(W - 1, static_cast<int>(std::floor(xr - 0.5)));
            for (int i = i0; i <= i1; ++i) {
                double xc = i + 0.5;
                double wa = ((b.Y - c.Y) * (xc - c.X) + (c.X - b.X) * (yc - c.Y)) / den;
                double wb = ((c.Y - a.Y) * (xc - c.X) + (a.X - c.X) * (yc - c.Y)) / den;
                wa = std::clamp(wa, 0.0, 1.0);
                wb = std::clamp(wb, 0.0, 1.0 - wa);
                double wc = 1 - wa - wb;
                uint32_t ch[4];
                for (int k = 0; k < 4; ++k)
                    ch[k] = static_cast<uint32_t>(
                        std::clamp(std::lround(a.C[k] * wa + b.C[k] * wb + c.C[k] * wc), 0L, 255L));
                size_t idx = size_t(j) * W + i;
                Px[idx] = Premultiply((ch[0] << 24) | (ch[1] << 16) | (ch[2] << 8) | ch[3]);
                Painted[idx] = 1;
            }
        }
    }

    // Spreads the outline's colours a few pixels outwards, so that anti-aliased edges of the clip
    // blend with the outline colour rather than with nothing.
    void Dilate(int steps) {
        for (int s = 0; s < steps; ++s) {
            std::vector<uint8_t> next = Painted;
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    size_t idx = size_t(y) * W + x;
                    if (Painted[idx])
                        continue;
                    const int dx[4] = {-1, 1, 0, 0}, dy[4] = {0, 0, -1, 1};
                    for (int k = 0; k < 4; ++k) {
                        int nx = x + dx[k], ny = y + dy[k];
                        if (nx < 0 || ny < 0 || nx >= W || ny >= H)
                            continue;
                        size_t n = size_t(ny) * W + nx;
                        if (Painted[n]) {
                            Px[idx] = Px[n];
                            next[idx] = 1;
                            break;
                        }
                    }
                }
            Painted.swap(next);
        }
    }
};

cairo_surface_t* ToSurface(const std::vector<uint32_t>& px, int w, int h) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        throw std::bad_alloc();
    }
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y)
        std::memcpy(data + size_t(y) * stride, px.data() + size_t(y) * w, size_t(w) * 4);
    cairo_surface_mark_dirty(s);
    return s;
}

} // namespace

TAAStatus TAAPathGradientBrush::Apply(TAAPaint& paint) const {
    double s = std::clamp(paint.DeviceScale, 1e-3, 1e3);
    auto world = FlattenPath(*FPath, 0.2 / s);
    double bx0, by0, bx1, by1;
    if (!FlatBounds(world, bx0, by0, bx1, by1))
        return TAAStatus::Ok;
    bool clamp = FWrapMode == aawmClamp;

    // The pattern space: world to image pixels, m = {sx, 0, 0, sy, tx, ty}.
    constexpr int kMaxSide = 4096, kMaxTile = 1024;
    double sx, sy, tx, ty;
    int w, h;
    if (clamp) {
        // Only what the surface shows is rasterised.
        double margin = 4 / s;
        bx0 = std::max(bx0, paint.VisibleX0 - margin), by0 = std::max(by0, paint.VisibleY0 - margin);
        bx1 = std::min(bx1, paint.VisibleX1 + margin), by1 = std::min(by1, paint.VisibleY1 + margin);
        if (bx0 >= bx1 || by0 >= by1) {
            cairo_rectangle(paint.Cr, 0, 0, 0, 0);
            cairo_clip(paint.Cr);
            return TAAStatus::Ok;
        }
        // Aligned so that image pixel centres fall on device pixel centres when nothing is scaled.
        double ox = std::floor(bx0) - 2, oy = std::floor(by0) - 2;
        double k = std::min(s, kMaxSide / std::max(1.0, std::max(bx1 - ox, by1 - oy) + 4));
        sx = sy = k;
        tx = 0.5 - ox * k, ty = 0.5 - oy * k;
        w = static_cast<int>(std::ceil((bx1 - ox) * k + 0.5)) + 3;
        h = static_cast<int>(std::ceil((by1 - oy) * k + 0.5)) + 3;
    } else {
        double bw = std::max(bx1 - bx0, 1e-6), bh = std::max(by1 - by0, 1e-6);
        w = std::clamp(static_cast<int>(std::ceil(bw * s)), 1, kMaxTile);
        h = std::clamp(static_cast<int>(std::ceil(bh * s)), 1, kMaxTile);
        sx = w / bw, sy = h / bh;
        tx = -bx0 * sx, ty = -by0 * sy;
    }
    w = std::clamp(w, 1, kMaxSide);
    h = std::clamp(h, 1, kMaxSide);

    TFanImage img(w, h);
    size_t points = FSurround.size();
    auto colorAt = [&](double src) {
        double fl = std::floor(src);
        size_t i = static_cast<size_t>(std::clamp(fl, 0.0, double(points - 1)));
        size_t j = std::min(i + 1, points - 1);
        return Mix(FSurround[i], FSurround[j], src - fl, false);
    };
    TFanVertex centre = Vertex(FCenter.X * sx + tx, FCenter.Y * sy + ty, FCenterColor);
    for (const TFlatFigure& f : world) {
        size_t n = f.X.size();
        if (n < 2)
            continue;
        for (size_t i = 0; i < n; ++i) {
            size_t j = (i + 1) % n;
            img.Triangle(centre, Vertex(f.X[i] * sx + tx, f.Y[i] * sy + ty, colorAt(f.Source[i])),
                         Vertex(f.X[j] * sx + tx, f.Y[j] * sy + ty, colorAt(f.Source[j])));
        }
    }

    std::vector<uint32_t> px;
    int tw = w, th = h;
    if (clamp) {
        img.Dilate(2);
        px = std::move(img.Px);
    } else {
        // Mirrored copies of the tile make the flipping modes repeat with plain tiling.
        bool fx = FWrapMode == aawmTileFlipX || FWrapMode == aawmTileFlipXY;
        bool fy = FWrapMode == aawmTileFlipY || FWrapMode == aawmTileFlipXY;
        tw = fx ? 2 * w : w;
        th = fy ? 2 * h : h;
        px.assign(size_t(tw) * th, 0);
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x) {
                int ix = x < w ? x : 2 * w - 1 - x, iy = y < h ? y : 2 * h - 1 - y;
                px[size_t(y) * tw + x] = img.Px[size_t(iy) * w + ix];
            }
    }

    cairo_t* cr = paint.Cr;
    if (clamp) {
        EmitPath(cr, *FPath);
        cairo_set_fill_rule(cr, FPath->FillMode == aafmWinding ? CAIRO_FILL_RULE_WINDING
                                                               : CAIRO_FILL_RULE_EVEN_ODD);
        cairo_clip(cr);
    }
    cairo_surface_t* surface = ToSurface(px, tw, th);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(surface);
    cairo_surface_destroy(surface);
    cairo_matrix_t m;
    cairo_matrix_init(&m, sx, 0, 0, sy, tx, ty);
    cairo_pattern_set_matrix(p, &m);
    cairo_pattern_set_extend(p, clamp ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(p, CAIRO_FILTER_BILINEAR);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    return TAAStatus::Ok;
}

} // namespace plat
