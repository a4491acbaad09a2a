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
    if (!FSurface)
        return false;
    auto font = RealizedFont();
    const TTextMetric& tm = font->Metrics;
    bool updateCp = (FState.TextAlign & TA_UPDATECP) != 0;
    TPointF ref = updateCp ? ToDeviceF(FState.Pos.X, FState.Pos.Y) : ToDeviceF(x, y);
    ref = {std::round(ref.X), std::round(ref.Y)};

    TRect clipRect;
    bool clipped = (options & ETO_CLIPPED) && rect;
    if (rect)
        clipRect = LPtoDP(*rect);
    if ((options & ETO_OPAQUE) && rect)
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
        TShape s;
        s.Points = pts;
        s.Counts = {4};
        HPEN pen = SelectPen(GetStockPen(NULL_PEN));
        HBRUSH brush = SelectBrush(CreateSolidBrush(color));
        int rop = FState.Rop2;
        FState.Rop2 = R2_COPYPEN;
        std::optional<TRegion> savedClip = FState.Clip;
        if (clipped) {
            TRegion box(Normalized(clipRect));
            ExtSelectClipRgn(&box, RGN_AND);
        }
        if (FSurface->Pixels()) {
            // Fill exactly the quad's pixels (no one-pixel shrink: the shape has no outline).
            DrawShape(s);
        } else {
            VectorShape(s);
        }
        FState.Clip = std::move(savedClip);
        FState.Rop2 = rop;
        SelectBrush(brush);
        SelectPen(pen);
    };

    if (FState.BkMode == OPAQUE && width > 0)
        fillQuad(quad(0, width, -tm.tmAscent, tm.tmDescent), FState.BkColor);

    if (!glyphs.empty() && font->CairoFace) {
        TRect devClip = Normalized(clipRect);
        cairo_t* cr = CreateCairo(clipped ? &devClip : nullptr);
        cairo_set_font_face(cr, font->CairoFace);
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, font->EmPixels * font->WidthScale, font->EmPixels);
        if (font->SyntheticItalic)
            m.xy = -0.2 * font->EmPixels;
        if (e != 0) {
            cairo_matrix_t rot;
            cairo_matrix_init_rotate(&rot, -e);
            cairo_matrix_multiply(&m, &m, &rot);
        }
        cairo_set_font_matrix(cr, &m);
        cairo_font_options_t* fo = cairo_font_options_create();
        cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
        cairo_set_font_options(cr, fo);
        cairo_font_options_destroy(fo);
        uint32_t c = MapPixel(ColorToPixel(FState.TextColor));
        cairo_set_source_rgb(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
        std::vector<cairo_glyph_t> cg(glyphs.size());
        for (size_t i = 0; i < glyphs.size(); ++i) {
            cg[i].index = glyphs[i].Index;
            cg[i].x = bx + glyphs[i].X * ux;
            cg[i].y = by + glyphs[i].X * uy;
        }
        cairo_show_glyphs(cr, cg.data(), static_cast<int>(cg.size()));
        DestroyCairo(cr);
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
