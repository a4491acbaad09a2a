// Drawing on surfaces without pixels (PDF pages): shapes, brushes and pictures through Cairo, sized for
// the surface's resolution, with raster operations shown as they would leave white paper.
#include <algorithm>
#include <cairo.h>
#include <cmath>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/PixelLine.h"

namespace plat {

namespace {
void SetCairoColor(cairo_t* cr, uint32_t pixel) {
    cairo_set_source_rgb(cr, ((pixel >> 16) & 0xFF) / 255.0, ((pixel >> 8) & 0xFF) / 255.0,
                         (pixel & 0xFF) / 255.0);
}
} // namespace

TDeviceContext::TShape TDeviceContext::RectShape(const std::vector<TRect>& rects) {
    TShape s;
    for (const TRect& r : rects) {
        s.Points.insert(s.Points.end(), {{double(r.Left), double(r.Top)},
                                         {double(r.Right), double(r.Top)},
                                         {double(r.Right), double(r.Bottom)},
                                         {double(r.Left), double(r.Bottom)}});
        s.Counts.push_back(4);
    }
    return s;
}

double TDeviceContext::ScreenScale() const {
    return FSurface ? FSurface->PixelsPerInch() / 96.0 : 1.0;
}

std::optional<uint32_t> TDeviceContext::PaperPixel(uint8_t rop3, uint32_t pattern, uint32_t source) const {
    const uint32_t overBlack = ApplyRop3(rop3, pattern, source, 0) & 0x00FFFFFF;
    const uint32_t overWhite = ApplyRop3(rop3, pattern, source, 0x00FFFFFF) & 0x00FFFFFF;
    if (overBlack == 0 && overWhite == 0x00FFFFFF)
        return std::nullopt;
    // What would vanish into white paper (a merge, say) is taken to fall on the black of a mask.
    return MapPixel(overWhite != 0x00FFFFFF ? overWhite : overBlack);
}

cairo_pattern_t* TDeviceContext::VectorBrush(const TGdiBrush& brush, uint8_t rop3) const {
    const double k = ScreenScale();
    switch (brush.Style) {
    case BS_SOLID: {
        auto c = PaperPixel(rop3, MapPixel(ColorToPixel(brush.Color)), 0);
        if (!c)
            return nullptr;
        return cairo_pattern_create_rgb(((*c >> 16) & 0xFF) / 255.0, ((*c >> 8) & 0xFF) / 255.0,
                                        (*c & 0xFF) / 255.0);
    }
    case BS_HATCHED: {
        auto fg = PaperPixel(rop3, MapPixel(ColorToPixel(brush.Color)), 0);
        std::optional<uint32_t> bg;
        if (FState.BkMode == OPAQUE)
            bg = PaperPixel(rop3, MapPixel(ColorToPixel(FState.BkColor)), 0);
        if (!fg && !bg)
            return nullptr;
        // One 8 by 8 cell of screen pixels, drawn as lines through the pixels the hatch sets.
        const double cell = 8 * k;
        cairo_rectangle_t extents{0, 0, cell, cell};
        cairo_surface_t* tile = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
        cairo_t* cr = cairo_create(tile);
        if (bg) {
            SetCairoColor(cr, *bg);
            cairo_paint(cr);
        }
        if (fg) {
            const uint32_t h = brush.Hatch;
            SetCairoColor(cr, *fg);
            if (h == HS_HORIZONTAL || h == HS_CROSS)
                cairo_rectangle(cr, 0, 7 * k, cell, k);
            if (h == HS_VERTICAL || h == HS_CROSS)
                cairo_rectangle(cr, 7 * k, 0, k, cell);
            cairo_fill(cr);
            // Diagonals repeat into the neighbouring cells, so their ends are drawn there too. A line
            // of one pixel per row carries the ink of a stroke 1/sqrt(2) pixels wide.
            for (int n = -1; n <= 1; ++n) {
                const double c = n * cell;
                if (h == HS_FDIAGONAL || h == HS_DIAGCROSS) { // y = x + c
                    cairo_move_to(cr, -cell, -cell + c);
                    cairo_line_to(cr, 2 * cell, 2 * cell + c);
                }
                if (h == HS_BDIAGONAL || h == HS_DIAGCROSS) { // x + y = cell + c
                    cairo_move_to(cr, -cell, 2 * cell + c);
                    cairo_line_to(cr, 2 * cell, -cell + c);
                }
            }
            cairo_set_line_width(cr, k * std::sqrt(0.5));
            cairo_stroke(cr);
        }
        cairo_destroy(cr);
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
        cairo_surface_destroy(tile);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_matrix_t m;
        cairo_matrix_init_translate(&m, -FState.BrushOrg.X, -FState.BrushOrg.Y);
        cairo_pattern_set_matrix(pattern, &m);
        return pattern;
    }
    case BS_PATTERN: {
        if (!brush.Pattern || brush.Pattern->Width <= 0 || brush.Pattern->Height <= 0)
            return nullptr;
        const TBrushPattern& tile = *brush.Pattern;
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, tile.Width, tile.Height);
        if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(image);
            return nullptr;
        }
        cairo_surface_flush(image);
        auto* out = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image));
        const int stride = cairo_image_surface_get_stride(image) / 4;
        bool any = false;
        for (int y = 0; y < tile.Height; ++y)
            for (int x = 0; x < tile.Width; ++x) {
                uint32_t v = tile.Pixels[static_cast<size_t>(y) * tile.Width + x];
                if (tile.Monochrome)
                    v = ColorToPixel((v & 0x00FFFFFF) == 0 ? FState.TextColor : FState.BkColor);
                auto c = PaperPixel(rop3, MapPixel(v), 0);
                out[static_cast<size_t>(y) * stride + x] = c ? 0xFF000000 | *c : 0;
                any = any || c;
            }
        cairo_surface_mark_dirty(image);
        if (!any) {
            cairo_surface_destroy(image);
            return nullptr;
        }
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image);
        cairo_surface_destroy(image);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, 1 / k, 1 / k);
        cairo_matrix_translate(&m, -FState.BrushOrg.X, -FState.BrushOrg.Y);
        cairo_pattern_set_matrix(pattern, &m);
        return pattern;
    }
    default:
        return nullptr;
    }
}

void TDeviceContext::VectorShape(const TShape& shape, const TGdiBrush* brush, bool stroke, uint8_t rop3) {
    if (!FSurface || shape.Points.empty())
        return;
    const TGdiPen* pen = stroke ? FState.Pen.get() : nullptr;
    if (pen && (pen->Kind() == PS_NULL || pen->Color == clNone))
        pen = nullptr;
    cairo_pattern_t* fill = brush ? VectorBrush(*brush, rop3) : nullptr;
    std::optional<uint32_t> ink =
        pen ? PaperPixel(rop3, MapPixel(ColorToPixel(pen->Color)), 0) : std::nullopt;
    if (!fill && !ink)
        return;
    cairo_t* cr = CreateCairo();
    if (fill) {
        ShapeToCairo(cr, shape, 0, true);
        cairo_set_fill_rule(cr,
                            shape.FillMode == WINDING ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
        cairo_set_source(cr, fill);
        cairo_fill(cr);
        cairo_pattern_destroy(fill);
    }
    if (ink) {
        // Strokes run through pixel centres, as on the screen.
        ShapeToCairo(cr, shape, 0.5, false);
        if (DevicePenWidth() > 1) {
            SetCairoPen(cr);
        } else {
            cairo_set_line_width(cr, 1);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
            // One-pixel styles keep the length their dashes have on the screen.
            std::vector<int> runs = PixelDashes();
            if (!runs.empty()) {
                if (FState.BkMode == OPAQUE) {
                    if (auto gap = PaperPixel(rop3, MapPixel(ColorToPixel(FState.BkColor)), 0)) {
                        SetCairoColor(cr, *gap);
                        cairo_stroke_preserve(cr);
                    }
                }
                std::vector<double> dashes;
                for (int r : runs)
                    dashes.push_back(r * ScreenScale());
                cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
            }
        }
        SetCairoColor(cr, *ink);
        LimitDashes(cr);
        cairo_stroke(cr);
    }
    DestroyCairo(cr);
}

// A vector surface gets the source rectangle as a picture, scaled (and mirrored) onto the destination.
// Pixels that the raster operation or the transparent colour leave out are transparent in it.
bool TDeviceContext::VectorBlit(TPointF d0, TPointF d1, TPointF s0, TPointF s1, TDeviceContext* source,
                                uint8_t rop3, int mode, TColor transparent, TBlendFunction blend) {
    TDrawSurface* srcSurface = source->FSurface;
    TRect wanted(static_cast<int>(std::min(s0.X, s1.X)), static_cast<int>(std::min(s0.Y, s1.Y)),
                 static_cast<int>(std::max(s0.X, s1.X)), static_cast<int>(std::max(s0.Y, s1.Y)));
    TRect c;
    if (!IntersectRect(c, wanted, TRect(0, 0, srcSurface->Width(), srcSurface->Height())))
        return true;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, c.Width(), c.Height());
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return false;
    }
    cairo_surface_flush(image);
    auto* out = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image));
    const int outStride = cairo_image_surface_get_stride(image) / 4;
    const uint32_t* in = srcSurface->Pixels();
    const int inStride = srcSurface->StridePixels();
    const bool srcMono = srcSurface->Monochrome(), dstMono = FSurface->Monochrome();
    const uint32_t monoFg = ColorToPixel(FState.TextColor), monoBg = ColorToPixel(FState.BkColor);
    const uint32_t srcBk = ColorToPixel(source->FState.BkColor);
    const uint32_t key = ColorToPixel(transparent);
    // Operations that take the brush see its colour (hatches and patterns included).
    const TGdiBrush* brush = FState.Brush.get();
    const uint32_t pattern = brush && brush->Style != BS_NULL ? MapPixel(ColorToPixel(brush->Color)) : 0;
    for (int y = 0; y < c.Height(); ++y) {
        const uint32_t* srow = in + static_cast<size_t>(c.Top + y) * inStride + c.Left;
        uint32_t* drow = out + static_cast<size_t>(y) * outStride;
        for (int x = 0; x < c.Width(); ++x) {
            uint32_t s = srow[x];
            if (srcMono && !dstMono)
                s = (s & 0x00FFFFFF) == 0 ? monoFg : monoBg;
            else if (!srcMono && dstMono)
                s = (s & 0x00FFFFFF) == srcBk ? 0x00FFFFFF : 0;
            uint32_t o;
            if (mode == kTransparent) {
                o = (s & 0x00FFFFFF) == key ? 0 : 0xFF000000 | MapPixel(s);
            } else if (mode == kAlpha) {
                if (blend.AlphaFormat & AC_SRC_ALPHA) {
                    // Premultiplied already; a colour above its alpha would not be.
                    uint32_t a = s >> 24;
                    o = a << 24;
                    for (int k = 0; k < 24; k += 8)
                        o |= std::min((s >> k) & 0xFF, a) << k;
                } else {
                    o = 0xFF000000 | (s & 0x00FFFFFF);
                }
            } else {
                auto v = PaperPixel(rop3, pattern, MapPixel(s));
                o = v ? 0xFF000000 | *v : 0;
            }
            drow[x] = o;
        }
    }
    cairo_surface_mark_dirty(image);

    cairo_t* cr = CreateCairo();
    cairo_translate(cr, d0.X, d0.Y);
    cairo_scale(cr, (d1.X - d0.X) / (s1.X - s0.X), (d1.Y - d0.Y) / (s1.Y - s0.Y));
    cairo_translate(cr, -s0.X, -s0.Y);
    cairo_rectangle(cr, c.Left, c.Top, c.Width(), c.Height());
    cairo_clip(cr);
    cairo_set_source_surface(cr, image, c.Left, c.Top);
    cairo_pattern_t* picture = cairo_get_source(cr);
    cairo_pattern_set_extend(picture, CAIRO_EXTEND_PAD);
    const bool stretched =
        std::abs(d1.X - d0.X) != std::abs(s1.X - s0.X) || std::abs(d1.Y - d0.Y) != std::abs(s1.Y - s0.Y);
    cairo_pattern_set_filter(picture, FState.StretchMode == HALFTONE && stretched ? CAIRO_FILTER_GOOD
                                                                                  : CAIRO_FILTER_NEAREST);
    if (mode == kAlpha && blend.SourceConstantAlpha != 255)
        cairo_paint_with_alpha(cr, blend.SourceConstantAlpha / 255.0);
    else
        cairo_paint(cr);
    DestroyCairo(cr);
    cairo_surface_destroy(image);
    return true;
}

} // namespace plat
