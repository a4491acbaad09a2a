#include "platform/gfx/GdiObjects.h"

#include <algorithm>

#include "platform/gfx/Surface.h"

namespace plat {

HPEN CreatePen(uint32_t style, int width, TColor color) {
    auto pen = std::make_shared<TGdiPen>();
    uint32_t kind = style & PS_STYLE_MASK;
    // Unknown styles draw solid rather than not at all.
    pen->Style = kind <= PS_INSIDEFRAME ? kind : PS_SOLID;
    pen->Width = std::max(width, 0);
    pen->Color = ColorToRGB(color);
    // Wide pens only draw solid; the dashed cosmetic styles are for one-pixel lines.
    if (pen->Width > 1 && kind >= PS_DASH && kind <= PS_DASHDOTDOT)
        pen->Style = PS_SOLID;
    return pen;
}

HPEN ExtCreatePen(uint32_t style, int width, const TLogBrush& brush, std::span<const int> userStyle) {
    auto pen = std::make_shared<TGdiPen>();
    pen->Style = style;
    pen->Width = std::max(width, 0);
    if ((style & PS_TYPE_MASK) == PS_COSMETIC)
        pen->Width = 1;
    pen->Color = brush.lbStyle == BS_NULL ? clNone : ColorToRGB(brush.lbColor);
    if (brush.lbStyle == BS_NULL)
        pen->Style = (pen->Style & ~PS_STYLE_MASK) | PS_NULL;
    for (int v : userStyle)
        pen->UserDashes.push_back(std::max(v, 0));
    return pen;
}

HBRUSH CreateSolidBrush(TColor color) {
    auto b = std::make_shared<TGdiBrush>();
    b->Style = BS_SOLID;
    b->Color = ColorToRGB(color);
    return b;
}

HBRUSH CreateHatchBrush(uint32_t hatch, TColor color) {
    auto b = std::make_shared<TGdiBrush>();
    b->Style = BS_HATCHED;
    b->Color = ColorToRGB(color);
    b->Hatch = hatch <= HS_DIAGCROSS ? hatch : HS_HORIZONTAL;
    return b;
}

HBRUSH CreatePatternBrush(const TImageSurface& surface, bool monochrome) {
    auto b = std::make_shared<TGdiBrush>();
    int w = std::min(surface.Width(), 64), h = std::min(surface.Height(), 64);
    if (w <= 0 || h <= 0) {
        b->Style = BS_NULL;
        return b;
    }
    auto pat = std::make_shared<TBrushPattern>();
    pat->Width = w;
    pat->Height = h;
    pat->Monochrome = monochrome;
    pat->Pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        std::copy(surface.Row(y), surface.Row(y) + w, pat->Pixels.begin() + static_cast<ptrdiff_t>(y) * w);
    b->Style = BS_PATTERN;
    b->Pattern = std::move(pat);
    return b;
}

HBRUSH CreateBrushIndirect(const TLogBrush& lb) {
    switch (lb.lbStyle) {
    case BS_NULL: {
        auto b = std::make_shared<TGdiBrush>();
        b->Style = BS_NULL;
        return b;
    }
    case BS_HATCHED:
        return CreateHatchBrush(lb.lbHatch, lb.lbColor);
    default:
        return CreateSolidBrush(lb.lbColor);
    }
}

HFONT CreateFontIndirect(const TLogFont& font) {
    auto f = std::make_shared<TGdiFont>();
    f->LogFont = font;
    return f;
}

HPEN GetStockPen(TStockObject which) {
    static const HPEN white = CreatePen(PS_SOLID, 1, clWhite);
    static const HPEN black = CreatePen(PS_SOLID, 1, clBlack);
    static const HPEN null = CreatePen(PS_NULL, 1, clBlack);
    switch (which) {
    case WHITE_PEN:
        return white;
    case NULL_PEN:
        return null;
    default:
        return black;
    }
}

HBRUSH GetStockBrush(TStockObject which) {
    static const HBRUSH white = CreateSolidBrush(clWhite);
    static const HBRUSH ltgray = CreateSolidBrush(clSilver);
    static const HBRUSH gray = CreateSolidBrush(clGray);
    static const HBRUSH dkgray = CreateSolidBrush(RGB(64, 64, 64));
    static const HBRUSH black = CreateSolidBrush(clBlack);
    static const HBRUSH null = CreateBrushIndirect(TLogBrush{BS_NULL, 0, 0});
    switch (which) {
    case LTGRAY_BRUSH:
        return ltgray;
    case GRAY_BRUSH:
        return gray;
    case DKGRAY_BRUSH:
        return dkgray;
    case BLACK_BRUSH:
        return black;
    case NULL_BRUSH:
        return null;
    default:
        return white;
    }
}

HFONT GetStockFont(TStockObject which) {
    static const HFONT gui = [] {
        TLogFont lf;
        lf.Height = -11;
        lf.FaceName = "MS Sans Serif";
        return CreateFontIndirect(lf);
    }();
    static const HFONT system = [] {
        TLogFont lf;
        lf.Height = 16;
        lf.Weight = FW_BOLD;
        lf.FaceName = "System";
        return CreateFontIndirect(lf);
    }();
    return which == SYSTEM_FONT ? system : gui;
}

bool HatchBit(uint32_t hatch, int x, int y) {
    x &= 7;
    y &= 7;
    switch (hatch) {
    case HS_HORIZONTAL:
        return y == 7;
    case HS_VERTICAL:
        return x == 7;
    case HS_FDIAGONAL:
        return x == y;
    case HS_BDIAGONAL:
        return x + y == 7;
    case HS_CROSS:
        return x == 7 || y == 7;
    case HS_DIAGCROSS:
        return x == y || x + y == 7;
    default:
        return false;
    }
}

} // namespace plat
