// Text output and measuring of the device context.
#include <algorithm>
#include <cairo.h>
#include <cmath>

#include "platform/gfx/DeviceContext.h"
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

// The face, size, slant, direction and rendering options of a realised font on a Cairo context.
void SetCairoFont(cairo_t* cr, const TFontInstance& font, double escapement) {
    cairo_set_font_face(cr, font.CairoFace);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, font.EmPixels * font.WidthScale, font.EmPixels);
    if (font.SyntheticItalic)
        m.xy = -0.2 * font.EmPixels;
    if (escapement != 0) {
        cairo_matrix_t rot;
        cairo_matrix_init_rotate(&rot, -escapement);
        cairo_matrix_multiply(&m, &m, &rot);
    }
    cairo_set_font_matrix(cr, &m);
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, fo);
    cairo_font_options_destroy(fo);
}

// The outlines of positioned glyphs as closed polygons (curves flattened to a twentieth of a pixel).
std::vector<std::vector<TPointF>> GlyphOutlines(const TFontInstance& font, double escapement,
                                                const std::vector<cairo_glyph_t>& glyphs) {
    std::vector<std::vector<TPointF>> figures;
    // An unbounded surface: Cairo leaves out glyphs that fall outside a bounded one.
    cairo_surface_t* scratch = cairo_recording_surface_create(CAIRO_CONTENT_ALPHA, nullptr);
    cairo_t* cr = cairo_create(scratch);
    SetCairoFont(cr, font, escapement);
    cairo_set_tolerance(cr, 0.05);
    cairo_glyph_path(cr, glyphs.data(), static_cast<int>(glyphs.size()));
    cairo_path_t* path = cairo_copy_path_flat(cr);
    std::vector<TPointF> current;
    auto flush = [&] {
        if (current.size() >= 3)
            figures.push_back(std::move(current));
        current.clear();
    };
    if (path && path->status == CAIRO_STATUS_SUCCESS) {
        for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
            const cairo_path_data_t* d = &path->data[i];
            switch (d->header.type) {
            case CAIRO_PATH_MOVE_TO:
                flush();
                current.push_back({d[1].point.x, d[1].point.y});
                break;
            case CAIRO_PATH_LINE_TO:
                current.push_back({d[1].point.x, d[1].point.y});
                break;
            case CAIRO_PATH_CLOSE_PATH:
                flush();
                break;
            default: // no curves in a flattened path
                break;
            }
        }
    }
    flush();
    if (path)
        cairo_path_destroy(path);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return figures;
}
} // namespace

std::shared_ptr<const TFontInstance> TDeviceContext::RealizedFont() {
    double scale = std::abs(ScaleY());
    if (!FRealized || FRealizedFor != FState.Font || FRealizedScale != scale) {
        TLogFont lf = FState.Font ? FState.Font->LogFont : TLogFont();
        lf.Height = static_cast<int>(std::lround(lf.Height * scale));
        lf.Width = static_cast<int>(std::lround(lf.Width * std::abs(ScaleX())));
        // A printer page scales the default size like any other.
        if (lf.Height == 0 && FSurface && FSurface->PixelsPerInch() != 96)
            lf.Height = -static_cast<int>(std::lround(13.0 * FSurface->PixelsPerInch() / 96));
        FRealized = TFontManager::Instance().Realize(lf);
        FRealizedFor = FState.Font;
        FRealizedScale = scale;
    }
    return FRealized;
}

bool TDeviceContext::GetTextExtentPoint(std::string_view text, TSize& size) {
    auto font = RealizedFont();
    std::vector<TShapedGlyph> glyphs;
    int w = font->Shape(text, glyphs, FState.CharExtra);
    size.cx = static_cast<int>(std::lround(w / std::abs(ScaleX())));
    size.cy = static_cast<int>(std::lround(font->Metrics.tmHeight / std::abs(ScaleY())));
    return true;
}

bool TDeviceContext::GetTextMetrics(TTextMetric& metrics) {
    metrics = RealizedFont()->Metrics;
    double sy = std::abs(ScaleY()), sx = std::abs(ScaleX());
    if (sy != 1 || sx != 1) {
        auto y = [sy](int v) { return static_cast<int>(std::lround(v / sy)); };
        auto x = [sx](int v) { return static_cast<int>(std::lround(v / sx)); };
        metrics.tmHeight = y(metrics.tmHeight);
        metrics.tmAscent = y(metrics.tmAscent);
        metrics.tmDescent = metrics.tmHeight - metrics.tmAscent;
        metrics.tmInternalLeading = y(metrics.tmInternalLeading);
        metrics.tmExternalLeading = y(metrics.tmExternalLeading);
        metrics.tmAveCharWidth = x(metrics.tmAveCharWidth);
        metrics.tmMaxCharWidth = x(metrics.tmMaxCharWidth);
    }
    return true;
}

std::string TDeviceContext::GetTextFace() {
    return FState.Font ? FState.Font->LogFont.FaceName : std::string();
}

bool TDeviceContext::TextOut(int x, int y, std::string_view text) {
    return ExtTextOut(x, y, 0, nullptr, text);
}

bool TDeviceContext::ExtTextOut(int x, int y, uint32_t options, const TRect* rect, std::string_view text) {
    if (!FSurface && FPathState != TPathState::Open)
        return false;
    auto font = RealizedFont();
    const TTextMetric& tm = font->Metrics;
    bool updateCp = (FState.TextAlign & TA_UPDATECP) != 0;
    TPointF ref = updateCp ? ToDeviceF(FState.Pos.X, FState.Pos.Y) : ToDeviceF(x, y);
    ref = {std::round(ref.X), std::round(ref.Y)};

    // Inside a path bracket only the outlines of the glyphs and their lines are recorded.
    const bool toPath = FPathState == TPathState::Open;
    TRect clipRect;
    bool clipped = (options & ETO_CLIPPED) && rect && !toPath;
    if (rect)
        clipRect = LPtoDP(*rect);
    if ((options & ETO_OPAQUE) && rect && !toPath)
        FillSolidRect(*rect, FState.BkColor);

    std::vector<TShapedGlyph> glyphs;
    int width = font->Shape(text, glyphs, FState.CharExtra);
    double e = font->EscapementDeg * kPi / 180.0;
    double ux = std::cos(e), uy = -std::sin(e); // along the baseline
    double vx = std::sin(e), vy = std::cos(e);  // down, across the baseline
    if (std::abs(font->EscapementDeg - std::round(font->EscapementDeg / 90) * 90) < 1e-9) {
        ux = std::round(ux), uy = std::round(uy), vx = std::round(vx), vy = std::round(vy);
    }
    double along = 0;
    switch (FState.TextAlign & TA_CENTER) {
    case TA_RIGHT:
        along = -width;
        break;
    case TA_CENTER:
        along = -(width / 2);
        break;
    default:
        break;
    }
    double down = 0;
    switch (FState.TextAlign & TA_BASELINE) {
    case TA_BASELINE:
        down = 0;
        break;
    case TA_BOTTOM:
        down = -tm.tmDescent;
        break;
    default:
        down = tm.tmAscent;
        break;
    }
    double bx = ref.X + along * ux + down * vx, by = ref.Y + along * uy + down * vy;

    auto quad = [&](double a0, double a1, double d0, double d1) {
        // Corners of the box from a0 to a1 along the baseline and d0 to d1 across it (down positive).
        std::vector<TPointF> pts = {{bx + a0 * ux + d0 * vx, by + a0 * uy + d0 * vy},
                                    {bx + a1 * ux + d0 * vx, by + a1 * uy + d0 * vy},
                                    {bx + a1 * ux + d1 * vx, by + a1 * uy + d1 * vy},
                                    {bx + a0 * ux + d1 * vx, by + a0 * uy + d1 * vy}};
        return pts;
    };
    auto fillQuad = [&](const std::vector<TPointF>& pts, TColor color) {
        if (toPath) {
            AddFigure(pts, true);
            FPathNewFigure = true;
            return;
        }
        TShape s;
        s.Points = pts;
        s.Counts = {4};
        HPEN pen = SelectPen(GetStockPen(NULL_PEN));
        HBRUSH brush = SelectBrush(CreateSolidBrush(color));
        int rop = FState.Rop2;
        FState.Rop2 = R2_COPYPEN;
        // The clip box narrows the selected clip only while the line is filled. Both are in surface
        // pixels here; the overridable clip calls are not used, as a derived context takes their regions
        // in its own device space (a window's DC counts from the window's origin) or records them.
        std::optional<TRegion> savedClip = FState.Clip;
        if (clipped) {
            TRegion narrowed;
            narrowed.Combine(FState.Clip ? *FState.Clip : TRegion(DeviceBounds()),
                             TRegion(Normalized(clipRect)), RGN_AND);
            FState.Clip = std::move(narrowed);
        }
        if (FSurface->Pixels()) {
            // Fill exactly the quad's pixels (no one-pixel shrink: the shape has no outline).
            DrawShape(s);
        } else {
            VectorShape(s, FState.Brush.get(), false, PATCOPY >> 16);
        }
        FState.Clip = std::move(savedClip);
        FState.Rop2 = rop;
        SelectBrush(brush);
        SelectPen(pen);
    };

    if (FState.BkMode == OPAQUE && width > 0 && !toPath)
        fillQuad(quad(0, width, -tm.tmAscent, tm.tmDescent), FState.BkColor);

    if (!glyphs.empty() && font->CairoFace) {
        std::vector<cairo_glyph_t> cg(glyphs.size());
        for (size_t i = 0; i < glyphs.size(); ++i) {
            cg[i].index = glyphs[i].Index;
            cg[i].x = bx + glyphs[i].X * ux;
            cg[i].y = by + glyphs[i].X * uy;
        }
        if (toPath) {
            for (auto& figure : GlyphOutlines(*font, e, cg))
                AddFigure(std::move(figure), true);
            FPathNewFigure = true;
        } else {
            TRect devClip = Normalized(clipRect);
            cairo_t* cr = CreateCairo(clipped ? &devClip : nullptr);
            SetCairoFont(cr, *font, e);
            uint32_t c = MapPixel(ColorToPixel(FState.TextColor));
            cairo_set_source_rgb(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                 (c & 0xFF) / 255.0);
            cairo_show_glyphs(cr, cg.data(), static_cast<int>(cg.size()));
            DestroyCairo(cr);
        }
    }
    if (font->Metrics.tmUnderlined && width > 0)
        fillQuad(quad(0, width, font->UnderlineOffset, font->UnderlineOffset + font->UnderlineThickness),
                 FState.TextColor);
    if (font->Metrics.tmStruckOut && width > 0)
        fillQuad(quad(0, width, -font->StrikeOffset, -font->StrikeOffset + font->StrikeThickness),
                 FState.TextColor);

    if (updateCp)
        FState.Pos.X += static_cast<int>(std::lround(width * ux / ScaleX()));
    return true;
}

} // namespace plat
