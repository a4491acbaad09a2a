// Text of the anti-aliased graphics layer: font families and fonts (through the platform's font
// manager, so names map like the device context's), string formats, and the layout shared by drawing
// and measuring: hot-key prefixes, line breaks, word wrapping, line limits, trimming with ellipses,
// alignment in both directions, and vertical text.
#include <algorithm>
#include <cmath>
#include <fontconfig/fontconfig.h>

#include "platform/gfx/AAInternal.h"
#include "platform/gfx/FontManager.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {

const char* const kEllipsis = "\xE2\x80\xA6";

bool FamilyInstalled(const std::string& family) {
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(nullptr, pat, os);
    bool found = set && set->nfont > 0;
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    return found;
}

std::shared_ptr<const TFontInstance> RealizeFont(const std::string& family, int style, double emPixels) {
    TLogFont lf;
    lf.FaceName = family;
    lf.Height = -std::max(1, static_cast<int>(std::lround(emPixels)));
    lf.Weight = (style & aafsBold) ? FW_BOLD : FW_NORMAL;
    lf.Italic = (style & aafsItalic) != 0;
    return TFontManager::Instance().Realize(lf);
}

} // namespace

// ---- Font family, font, string format ----

TAAFontFamily::TAAFontFamily(const std::string& name) : FName(name) {
    TAAStatus st = Guarded([&] {
        if (name.empty())
            return TAAStatus::FontFamilyNotFound;
        FInstalled = TFontManager::Instance().MapFamily(name);
        return FamilyInstalled(FInstalled) ? TAAStatus::Ok : TAAStatus::FontFamilyNotFound;
    });
    Created(st);
}

TAAFont::TAAFont(const TAAFontFamily* family, float emSize, int style, int unit)
    : FSize(emSize), FStyle(style & 15), FUnit(unit) {
    if (!family || !family->Valid() || !Finite(emSize) || emSize <= 0 || unit < aauWorld ||
        unit > aauMillimeter || unit == aauDisplay) {
        Created(TAAStatus::InvalidParameter);
        return;
    }
    FFamily = family->Name();
    Created(TAAStatus::Ok);
}

double TAAFont::EmPixels(double dpi) const {
    return FSize * UnitPixels(FUnit, dpi);
}

double TAAFont::LineSpacing(double dpi) const {
    if (!Valid())
        return 0;
    try {
        auto inst = RealizeFont(FFamily, FStyle, EmPixels(dpi));
        return inst->Metrics.tmHeight + inst->Metrics.tmExternalLeading;
    } catch (...) {
        return 0;
    }
}

TAAStringFormat::TAAStringFormat(int flags, int language) : FFlags(flags) {
    Created(TAAStatus::Ok);
}

TAAStatus TAAStringFormat::SetFlags(int flags) {
    FFlags = flags;
    return TAAStatus::Ok;
}

TAAStatus TAAStringFormat::SetAlignment(int align) {
    if (align < aasaNear || align > aasaFar)
        return Keep(TAAStatus::InvalidParameter);
    FAlign = align;
    return TAAStatus::Ok;
}

TAAStatus TAAStringFormat::SetLineAlignment(int align) {
    if (align < aasaNear || align > aasaFar)
        return Keep(TAAStatus::InvalidParameter);
    FLineAlign = align;
    return TAAStatus::Ok;
}

TAAStatus TAAStringFormat::SetTrimming(int trimming) {
    if (trimming < aastNone || trimming > aastEllipsisPath)
        return Keep(TAAStatus::InvalidParameter);
    FTrimming = trimming;
    return TAAStatus::Ok;
}

TAAStatus TAAStringFormat::SetHotkeyPrefix(int prefix) {
    if (prefix < aahpNone || prefix > aahpHide)
        return Keep(TAAStatus::InvalidParameter);
    FHotkey = prefix;
    return TAAStatus::Ok;
}

// ---- Layout ----

namespace {

struct TLineOut {
    std::string Text;
    std::vector<int> Underline; // byte offsets in Text of hot-key characters
    std::vector<TShapedGlyph> Glyphs;
    double Width = 0;
    double X = 0;
};

struct TLayout {
    std::vector<TLineOut> Lines;
    double Top = 0;
    double LineHeight = 0;
    double Ascent = 0;
    double BoxX = 0, BoxY = 0, BoxW = 0, BoxH = 0;
    int Characters = 0;
};

struct TFormatValues {
    int Flags = 0, Align = aasaNear, LineAlign = aasaNear, Trimming = aastCharacter, Hotkey = aahpNone;
};

// The text after hot-key processing, with each byte's place in the original and whether it begins a
// character to underline.
struct TPrepared {
    std::string Text;
    std::vector<size_t> Origin;
    std::vector<uint8_t> Hot;
};

TPrepared Prepare(std::string_view text, int hotkey) {
    TPrepared p;
    bool mark = false;
    auto push = [&](char c, size_t origin, bool hot) {
        p.Text.push_back(c == '\t' ? ' ' : c);
        p.Origin.push_back(origin);
        p.Hot.push_back(hot);
    };
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '&' && hotkey != aahpNone) {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                push('&', i, mark);
                mark = false;
                i += 2;
            } else {
                mark = hotkey == aahpShow;
                ++i;
            }
            continue;
        }
        size_t n = Utf8NextChar(text, i) - i;
        for (size_t k = 0; k < n; ++k)
            push(text[i + k], i + k, k == 0 && mark);
        mark = false;
        i += n;
    }
    return p;
}

struct TParagraph {
    size_t Start = 0, End = 0;
    std::vector<double> Pos; // pen position at each byte boundary from Start
};

struct TLineSpan {
    size_t Para = 0;
    size_t Start = 0, End = 0; // in the prepared text
};

class TLayoutBuilder {
public:
    TLayoutBuilder(const TPrepared& prep, const TFontInstance& font, const TFormatValues& fmt)
        : P(prep), Font(font), Fmt(fmt) {
        std::vector<TShapedGlyph> g;
        EllipsisWidth = Font.Shape(kEllipsis, g);
    }

    const TPrepared& P;
    const TFontInstance& Font;
    const TFormatValues& Fmt;
    std::vector<TParagraph> Paras;
    double EllipsisWidth = 0;

    void SplitParagraphs() {
        const std::string& t = P.Text;
        size_t start = 0, i = 0;
        while (i <= t.size()) {
            if (i == t.size() || t[i] == '\n' || t[i] == '\r') {
                TParagraph para;
                para.Start = start;
                para.End = i;
                Paras.push_back(std::move(para));
                if (i == t.size())
                    break;
                // A pair of CR and LF in either order is one break.
                size_t next = i + 1;
                if (next < t.size() && (t[next] == '\n' || t[next] == '\r') && t[next] != t[i])
                    ++next;
                start = i = next;
                continue;
            }
            ++i;
        }
        for (TParagraph& para : Paras)
            Measure(para);
    }

    void Measure(TParagraph& para) {
        size_t len = para.End - para.Start;
        std::vector<TShapedGlyph> glyphs;
        int total = Font.Shape(std::string_view(P.Text).substr(para.Start, len), glyphs);
        para.Pos.assign(len + 1, -1);
        para.Pos[len] = total;
        for (const TShapedGlyph& g : glyphs)
            if (g.Cluster >= 0 && size_t(g.Cluster) < len && para.Pos[g.Cluster] < 0)
                para.Pos[g.Cluster] = g.X;
        for (size_t k = len; k-- > 0;)
            if (para.Pos[k] < 0)
                para.Pos[k] = para.Pos[k + 1];
    }

    double Width(const TParagraph& para, size_t a, size_t b) const {
        return para.Pos[b - para.Start] - para.Pos[a - para.Start];
    }
    bool Space(size_t i) const { return P.Text[i] == ' '; }
    // End of the text without its trailing spaces (unless they count).
    size_t Trimmed(size_t a, size_t b) const {
        if (Fmt.Flags & aasfMeasureTrailingSpaces)
            return b;
        while (b > a && Space(b - 1))
            --b;
        return b;
    }
    size_t NextChar(size_t i) const { return Utf8NextChar(P.Text, i); }

    void Wrap(size_t paraIndex, double avail, std::vector<TLineSpan>& out) const {
        const TParagraph& para = Paras[paraIndex];
        if (avail <= 0 || (Fmt.Flags & aasfNoWrap) || para.Start == para.End) {
            out.push_back({paraIndex, para.Start, para.End});
            return;
        }
        size_t ls = para.Start;
        while (ls < para.End) {
            size_t best = 0, lastFit = 0;
            for (size_t k = NextChar(ls); k <= para.End; k = NextChar(k)) {
                if (Width(para, ls, Trimmed(ls, k)) > avail + 1e-6)
                    break;
                lastFit = k;
                if (k == para.End || (Space(k - 1) && !Space(k)))
                    best = k;
                if (k == para.End)
                    break;
            }
            if (!best)
                best = lastFit ? lastFit : NextChar(ls);
            out.push_back({paraIndex, ls, best});
            ls = best;
        }
    }

    // The longest end k in (a, b] (a character boundary, or a word end when byWord) whose text from a,
    // with the extra width, fits; 0 when none does.
    size_t LongestFit(const TParagraph& para, size_t a, size_t b, double extra, double avail,
                      bool byWord) const {
        size_t best = 0;
        for (size_t k = NextChar(a); k <= b; k = NextChar(k)) {
            size_t e = Trimmed(a, k);
            if (Width(para, a, e) + extra > avail + 1e-6)
                break;
            if (!byWord || k == b || Space(k))
                best = e > a ? e : best;
            if (k == b)
                break;
        }
        return best;
    }

    // Builds the shown text of a line: ranges of the prepared text with an ellipsis between them.
    TLineOut Compose(std::initializer_list<std::pair<size_t, size_t>> ranges, bool ellipsisAfterFirst) const {
        TLineOut line;
        bool first = true;
        for (auto [a, b] : ranges) {
            for (size_t i = a; i < b; ++i) {
                if (P.Hot[i])
                    line.Underline.push_back(static_cast<int>(line.Text.size()));
                line.Text.push_back(P.Text[i]);
            }
            if (first && ellipsisAfterFirst)
                line.Text += kEllipsis;
            first = false;
        }
        return line;
    }

    TLineOut Trim(const TLineSpan& span, double avail, bool forceEllipsis, size_t& consumedEnd) const {
        const TParagraph& para = Paras[span.Para];
        size_t a = span.Start, b = Trimmed(span.Start, span.End);
        consumedEnd = span.End;
        bool tooWide = avail > 0 && Width(para, a, b) > avail + 1e-6;
        int mode = Fmt.Trimming;
        bool ellipsis = mode >= aastEllipsisCharacter;
        if (!tooWide && !(forceEllipsis && ellipsis))
            return Compose({{a, b}}, false);
        if (mode == aastNone)
            return Compose({{a, b}}, false);
        double limit = avail > 0 ? avail : 1e300;
        if (!ellipsis) {
            size_t k = mode == aastWord ? LongestFit(para, a, b, 0, limit, true) : 0;
            if (!k)
                k = LongestFit(para, a, b, 0, limit, false);
            consumedEnd = k ? k : a;
            return Compose({{a, consumedEnd}}, false);
        }
        if (mode == aastEllipsisPath && tooWide)
            return TrimPath(para, a, b, limit, consumedEnd);
        size_t k = mode == aastEllipsisWord ? LongestFit(para, a, b, EllipsisWidth, limit, true) : 0;
        if (!k)
            k = LongestFit(para, a, b, EllipsisWidth, limit, false);
        consumedEnd = k ? k : a;
        return Compose({{a, consumedEnd}}, true);
    }

    // Keeps the last segment of a path (after the last slash or backslash) and as much of the start
    // as fits; text without separators loses its middle.
    TLineOut TrimPath(const TParagraph& para, size_t a, size_t b, double limit, size_t& consumedEnd) const {
        consumedEnd = b;
        size_t sep = std::string::npos;
        for (size_t i = a; i < b; ++i)
            if (P.Text[i] == '/' || P.Text[i] == '\\')
                sep = i;
        double ew = EllipsisWidth;
        if (sep != std::string::npos) {
            double tail = Width(para, sep, b);
            if (sep > a) {
                size_t k = LongestFit(para, a, sep, ew + tail, limit, false);
                if (k)
                    return Compose({{a, k}, {sep, b}}, true);
            }
            for (size_t j = sep; j < b; j = NextChar(j))
                if (ew + Width(para, j, b) <= limit + 1e-6)
                    return Compose({{a, a}, {j, b}}, true);
            return Compose({{a, a}, {b, b}}, true);
        }
        std::vector<size_t> bounds;
        for (size_t i = a; i < b; i = NextChar(i))
            bounds.push_back(i);
        bounds.push_back(b);
        size_t chars = bounds.size() - 1;
        for (size_t keep = chars; keep-- > 0;) {
            size_t head = (keep + 1) / 2, tail = keep / 2;
            size_t he = bounds[head], ts = bounds[chars - tail];
            if (Width(para, a, he) + ew + Width(para, ts, b) <= limit + 1e-6)
                return Compose({{a, he}, {ts, b}}, true);
        }
        return Compose({{a, a}, {b, b}}, true);
    }
};

// Lays text out in a frame whose origin is the layout rectangle's corner, lines running along x;
// a zero extent is unbounded.
TLayout LayoutText(std::string_view text, const TFontInstance& font, double em, double fw, double fh,
                   const TFormatValues& fmt) {
    TLayout out;
    const TTextMetric& tm = font.Metrics;
    out.LineHeight = tm.tmHeight + tm.tmExternalLeading;
    out.Ascent = tm.tmAscent;
    if (text.empty())
        return out;
    double pad = em / 6;
    TPrepared prep = Prepare(text, fmt.Hotkey);
    TLayoutBuilder lb(prep, font, fmt);
    lb.SplitParagraphs();
    double avail = fw > 0 ? std::max(fw - 2 * pad, 1e-3) : 0;
    std::vector<TLineSpan> spans;
    for (size_t i = 0; i < lb.Paras.size(); ++i)
        lb.Wrap(i, avail, spans);

    size_t visible = spans.size();
    if (fh > 0) {
        double fit = fh / out.LineHeight;
        size_t n = (fmt.Flags & aasfLineLimit) ? static_cast<size_t>(std::floor(fit + 1e-6))
                                               : static_cast<size_t>(std::ceil(fit - 1e-6));
        visible = std::min(visible, n);
    }
    bool overflow = visible < spans.size();
    size_t consumed = 0;
    for (size_t i = 0; i < visible; ++i) {
        size_t end = 0;
        TLineOut line = lb.Trim(spans[i], avail, overflow && i + 1 == visible, end);
        consumed = end;
        if (!(fmt.Flags & aasfMeasureTrailingSpaces))
            while (!line.Text.empty() && line.Text.back() == ' ')
                line.Text.pop_back();
        line.Width = font.Shape(line.Text, line.Glyphs);
        out.Lines.push_back(std::move(line));
    }
    // When everything shows in full, the line breaks after the last line count as laid out too.
    if (visible == spans.size() && visible > 0 && consumed == spans.back().End)
        consumed = prep.Text.size();
    size_t originEnd = consumed < prep.Origin.size() ? prep.Origin[consumed] : text.size();
    out.Characters = static_cast<int>(Utf8CharCount(text.substr(0, originEnd)));

    double blockH = out.Lines.size() * out.LineHeight;
    switch (fmt.LineAlign) {
    case aasaCenter:
        out.Top = fh > 0 ? (fh - blockH) / 2 : -blockH / 2;
        break;
    case aasaFar:
        out.Top = fh > 0 ? fh - blockH : -blockH;
        break;
    default:
        out.Top = 0;
        break;
    }
    double x0 = 1e300, x1 = -1e300;
    for (TLineOut& line : out.Lines) {
        switch (fmt.Align) {
        case aasaCenter:
            line.X = fw > 0 ? (fw - line.Width) / 2 : -line.Width / 2;
            break;
        case aasaFar:
            line.X = fw > 0 ? fw - pad - line.Width : -pad - line.Width;
            break;
        default:
            line.X = pad;
            break;
        }
        x0 = std::min(x0, line.X - pad);
        x1 = std::max(x1, line.X + line.Width + pad);
    }
    if (out.Lines.empty())
        return out;
    double y0 = out.Top, y1 = out.Top + blockH;
    if (fw > 0)
        x0 = std::max(x0, 0.0), x1 = std::min(x1, fw);
    if (fh > 0)
        y0 = std::max(y0, 0.0), y1 = std::min(y1, fh);
    out.BoxX = x0;
    out.BoxY = y0;
    out.BoxW = std::max(0.0, x1 - x0);
    out.BoxH = std::max(0.0, y1 - y0);
    return out;
}

TFormatValues Values(const TAAStringFormat* format) {
    TFormatValues v;
    if (format) {
        v.Flags = format->Flags();
        v.Align = format->Alignment();
        v.LineAlign = format->LineAlignment();
        v.Trimming = format->Trimming();
        v.Hotkey = format->HotkeyPrefix();
    }
    return v;
}

bool ValidTextArgs(const TAAFont* font, const TAARectF& r, const TAAStringFormat* format) {
    return font && font->Valid() && (!format || format->Valid()) && FiniteAll({r.X, r.Y, r.Width, r.Height});
}

} // namespace

// ---- Drawing and measuring ----

namespace {

// The font's em height in world units of a graphics object with the given page scale and resolution.
double EmWorld(const TAAFont& font, double pageScale, double dpi) {
    return font.Unit() == aauWorld ? font.Size() : font.EmPixels(dpi) / pageScale;
}

} // namespace

TAAStatus TAAGraphics::MeasureString(std::string_view text, const TAAFont* font, const TAARectF& layout,
                                     const TAAStringFormat* format, TAARectF& bounds, int* charactersFitted,
                                     int* linesFilled) {
    bounds = {layout.X, layout.Y, 0, 0};
    if (charactersFitted)
        *charactersFitted = 0;
    if (linesFilled)
        *linesFilled = 0;
    if (!Valid() || !ValidTextArgs(font, layout, format))
        return Keep(TAAStatus::InvalidParameter);
    return Keep(Guarded([&] {
        TFormatValues fmt = Values(format);
        double em = EmWorld(*font, UnitPixels(FPageUnit, DpiX()), DpiX());
        auto inst = RealizeFont(font->FamilyName(), font->Style(), em);
        bool vertical = fmt.Flags & aasfDirectionVertical;
        double fw = vertical ? layout.Height : layout.Width, fh = vertical ? layout.Width : layout.Height;
        TLayout lay = LayoutText(text, *inst, em, std::max(0.0, fw), std::max(0.0, fh), fmt);
        if (vertical) {
            double right = layout.X + std::max(0.0f, layout.Width);
            bounds = {static_cast<float>(right - lay.BoxY - lay.BoxH),
                      static_cast<float>(layout.Y + lay.BoxX), static_cast<float>(lay.BoxH),
                      static_cast<float>(lay.BoxW)};
        } else {
            bounds = {static_cast<float>(layout.X + lay.BoxX), static_cast<float>(layout.Y + lay.BoxY),
                      static_cast<float>(lay.BoxW), static_cast<float>(lay.BoxH)};
        }
        if (charactersFitted)
            *charactersFitted = lay.Characters;
        if (linesFilled)
            *linesFilled = static_cast<int>(lay.Lines.size());
        return TAAStatus::Ok;
    }));
}

TAAStatus TAAGraphics::DrawString(std::string_view text, const TAAFont* font, const TAARectF& layout,
                                  const TAAStringFormat* format, const TAABrush* brush) {
    if (!Valid() || !ValidTextArgs(font, layout, format) || !brush || !brush->Valid())
        return Keep(TAAStatus::InvalidParameter);
    if (text.empty())
        return TAAStatus::Ok;
    return Keep(Guarded([&] {
        TFormatValues fmt = Values(format);
        double em = EmWorld(*font, UnitPixels(FPageUnit, DpiX()), DpiX());
        auto inst = RealizeFont(font->FamilyName(), font->Style(), em);
        bool vertical = fmt.Flags & aasfDirectionVertical;
        double fw = std::max(0.0f, vertical ? layout.Height : layout.Width);
        double fh = std::max(0.0f, vertical ? layout.Width : layout.Height);
        TLayout lay = LayoutText(text, *inst, em, fw, fh, fmt);
        if (lay.Lines.empty() || !inst->CairoFace)
            return TAAStatus::Ok;

        TOp op;
        TAAStatus status = TAAStatus::Ok;
        if (!BeginOp(op, status))
            return status;
        cairo_t* cr = op.Cr;
        // The brush is set in world space like for any fill; Cairo keeps it when the transform changes.
        status = brush->Apply(op.Paint);
        // Text sits on whole pixels: its frame is placed by pixel edges, not centres.
        double m[6];
        DeviceMatrix(m, false);
        cairo_matrix_t cm;
        cairo_matrix_init(&cm, m[0], m[1], m[2], m[3], m[4], m[5]);
        cairo_set_matrix(cr, &cm);
        if (vertical) {
            cairo_matrix_t f;
            cairo_matrix_init(&f, 0, 1, -1, 0, layout.X + fh, layout.Y);
            cairo_transform(cr, &f);
        } else {
            cairo_translate(cr, layout.X, layout.Y);
        }
        if (!(fmt.Flags & aasfNoClip) && (fw > 0 || fh > 0)) {
            constexpr double kFar = 1e7;
            cairo_antialias_t aa = cairo_get_antialias(cr);
            cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
            cairo_rectangle(cr, fw > 0 ? 0 : -kFar, fh > 0 ? 0 : -kFar, fw > 0 ? fw : 2 * kFar,
                            fh > 0 ? fh : 2 * kFar);
            cairo_clip(cr);
            cairo_set_antialias(cr, aa);
        }

        cairo_set_font_face(cr, inst->CairoFace);
        cairo_matrix_t fm;
        cairo_matrix_init_scale(&fm, inst->EmPixels * inst->WidthScale, inst->EmPixels);
        if (inst->SyntheticItalic)
            fm.xy = -0.2 * inst->EmPixels;
        cairo_set_font_matrix(cr, &fm);
        cairo_font_options_t* fo = cairo_font_options_create();
        bool mono = FTextHint == aathSingleBitPerPixel || FTextHint == aathSingleBitPerPixelGridFit;
        cairo_font_options_set_antialias(fo, mono ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(
            fo, FTextHint == aathAntiAlias || FTextHint == aathSingleBitPerPixel ? CAIRO_HINT_STYLE_NONE
                : FTextHint == aathSingleBitPerPixelGridFit                      ? CAIRO_HINT_STYLE_FULL
                                                                                 : CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
        cairo_set_font_options(cr, fo);
        cairo_font_options_destroy(fo);

        std::vector<cairo_glyph_t> glyphs;
        cairo_antialias_t aa = cairo_get_antialias(cr);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        for (size_t i = 0; i < lay.Lines.size(); ++i) {
            const TLineOut& line = lay.Lines[i];
            double top = lay.Top + i * lay.LineHeight, base = top + lay.Ascent;
            glyphs.resize(line.Glyphs.size());
            for (size_t g = 0; g < line.Glyphs.size(); ++g) {
                glyphs[g].index = line.Glyphs[g].Index;
                glyphs[g].x = line.X + line.Glyphs[g].X;
                glyphs[g].y = base;
            }
            if (glyphs.empty()) {
            } else if (inst->EmPixels * op.Scale > 1024) {
                // Huge glyphs go as outlines: Cairo would otherwise make an image of each.
                cairo_set_antialias(cr, aa);
                cairo_glyph_path(cr, glyphs.data(), static_cast<int>(glyphs.size()));
                cairo_fill(cr);
                cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
            } else {
                cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
            }
            auto bar = [&](double x0, double x1, double offset, double thickness) {
                if (x1 > x0) {
                    cairo_rectangle(cr, std::round(x0), std::round(base + offset),
                                    std::round(x1) - std::round(x0), thickness);
                    cairo_fill(cr);
                }
            };
            double ut = inst->UnderlineThickness, uo = inst->UnderlineOffset;
            if (font->Style() & aafsUnderline)
                bar(line.X, line.X + line.Width, uo, ut);
            if (font->Style() & aafsStrikeout)
                bar(line.X, line.X + line.Width, -inst->StrikeOffset, inst->StrikeThickness);
            for (int offset : line.Underline) {
                // The glyphs of the character that starts at this byte.
                double x0 = 1e300, x1 = -1e300;
                int end = static_cast<int>(Utf8NextChar(line.Text, offset));
                for (const TShapedGlyph& g : line.Glyphs)
                    if (g.Cluster >= offset && g.Cluster < end) {
                        x0 = std::min(x0, line.X + g.X);
                        x1 = std::max(x1, line.X + g.X + g.Advance);
                    }
                bar(x0, x1, uo, ut);
            }
        }
        cairo_set_antialias(cr, aa);
        EndOp(op);
        return status;
    }));
}

} // namespace plat
