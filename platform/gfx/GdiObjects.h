// Pens, brushes and fonts as a device context selects them. They are immutable once made and shared
// by handle, so selecting one never copies and a handle outlives any context that still holds it.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "platform/gfx/GdiTypes.h"

namespace plat {

class TImageSurface;

struct TGdiPen {
    uint32_t Style = PS_SOLID; // style, end cap, join and type bits
    int Width = 1;
    TColor Color = clBlack;
    std::vector<int> UserDashes; // PS_USERSTYLE run lengths, in pen widths for geometric pens

    uint32_t Kind() const { return Style & PS_STYLE_MASK; }
    bool Geometric() const { return (Style & PS_TYPE_MASK) == PS_GEOMETRIC; }
};

// An 8 by 8 (or larger) tile for pattern brushes. A monochrome tile takes the text colour for its
// black pixels and the background colour for its white ones, as the classic pattern brush does.
struct TBrushPattern {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels; // 0xAARRGGBB
    bool Monochrome = false;
};

struct TGdiBrush {
    uint32_t Style = BS_SOLID;
    TColor Color = clWhite;
    uint32_t Hatch = HS_HORIZONTAL;
    std::shared_ptr<const TBrushPattern> Pattern;
};

struct TGdiFont {
    TLogFont LogFont;
};

using HPEN = std::shared_ptr<const TGdiPen>;
using HBRUSH = std::shared_ptr<const TGdiBrush>;
using HFONT = std::shared_ptr<const TGdiFont>;

struct TLogBrush {
    uint32_t lbStyle = BS_SOLID;
    TColor lbColor = clBlack;
    uint32_t lbHatch = 0;
};

HPEN CreatePen(uint32_t style, int width, TColor color);
HPEN ExtCreatePen(uint32_t style, int width, const TLogBrush& brush, std::span<const int> userStyle = {});
HBRUSH CreateSolidBrush(TColor color);
HBRUSH CreateHatchBrush(uint32_t hatch, TColor color);
// Copies the pixels of the surface (at most 64 by 64) into the brush tile.
HBRUSH CreatePatternBrush(const TImageSurface& surface, bool monochrome);
HBRUSH CreateBrushIndirect(const TLogBrush& brush);
HFONT CreateFontIndirect(const TLogFont& font);

enum TStockObject {
    WHITE_BRUSH,
    LTGRAY_BRUSH,
    GRAY_BRUSH,
    DKGRAY_BRUSH,
    BLACK_BRUSH,
    NULL_BRUSH,
    WHITE_PEN,
    BLACK_PEN,
    NULL_PEN,
    SYSTEM_FONT,
    DEFAULT_GUI_FONT,
};
HPEN GetStockPen(TStockObject which);
HBRUSH GetStockBrush(TStockObject which);
HFONT GetStockFont(TStockObject which);

// Whether pixel (x, y) of the 8 by 8 hatch cell is set.
bool HatchBit(uint32_t hatch, int x, int y);

} // namespace plat
