// Constants and plain records of the device-context API: pen and brush styles, raster operations, text
// alignment and formatting flags, edge and frame-control flags, region kinds, and the logical font.
#pragma once

#include <cstdint>
#include <string>

#include "platform/rtl/Types.h"

namespace plat {

// Pen styles; the end cap, join and type bits apply to pens made with ExtCreatePen.
enum : uint32_t {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
    PS_USERSTYLE = 7,
    PS_ALTERNATE = 8,
    PS_STYLE_MASK = 0x0000000F,
    PS_ENDCAP_ROUND = 0x00000000,
    PS_ENDCAP_SQUARE = 0x00000100,
    PS_ENDCAP_FLAT = 0x00000200,
    PS_ENDCAP_MASK = 0x00000F00,
    PS_JOIN_ROUND = 0x00000000,
    PS_JOIN_BEVEL = 0x00001000,
    PS_JOIN_MITER = 0x00002000,
    PS_JOIN_MASK = 0x0000F000,
    PS_COSMETIC = 0x00000000,
    PS_GEOMETRIC = 0x00010000,
    PS_TYPE_MASK = 0x000F0000,
};

// Brush styles and hatch patterns.
enum : uint32_t { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = BS_NULL, BS_HATCHED = 2, BS_PATTERN = 3 };
enum : uint32_t {
    HS_HORIZONTAL = 0,
    HS_VERTICAL = 1,
    HS_FDIAGONAL = 2,
    HS_BDIAGONAL = 3,
    HS_CROSS = 4,
    HS_DIAGCROSS = 5,
};

// Binary raster operations: how a pen or brush colour P combines with the pixel D.
enum : int {
    R2_BLACK = 1,
    R2_NOTMERGEPEN = 2,
    R2_MASKNOTPEN = 3,
    R2_NOTCOPYPEN = 4,
    R2_MASKPENNOT = 5,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTMASKPEN = 8,
    R2_MASKPEN = 9,
    R2_NOTXORPEN = 10,
    R2_NOP = 11,
    R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13,
    R2_MERGEPENNOT = 14,
    R2_MERGEPEN = 15,
    R2_WHITE = 16,
};

// Ternary raster operations of the block transfers (pattern P, source S, destination D).
enum : uint32_t {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328,
    NOTSRCCOPY = 0x00330008,
    NOTSRCERASE = 0x001100A6,
    MERGECOPY = 0x00C000CA,
    MERGEPAINT = 0x00BB0226,
    PATCOPY = 0x00F00021,
    PATPAINT = 0x00FB0A09,
    PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
};

enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int { ALTERNATE = 1, WINDING = 2 };
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
enum : int { MM_TEXT = 1, MM_ANISOTROPIC = 8 };

// Text alignment of TextOut and ExtTextOut.
enum : uint32_t {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

enum : uint32_t { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004 };

// Formatted-text flags.
enum : uint32_t {
    DT_TOP = 0x00000000,
    DT_LEFT = 0x00000000,
    DT_CENTER = 0x00000001,
    DT_RIGHT = 0x00000002,
    DT_VCENTER = 0x00000004,
    DT_BOTTOM = 0x00000008,
    DT_WORDBREAK = 0x00000010,
    DT_SINGLELINE = 0x00000020,
    DT_EXPANDTABS = 0x00000040,
    DT_TABSTOP = 0x00000080,
    DT_NOCLIP = 0x00000100,
    DT_EXTERNALLEADING = 0x00000200,
    DT_CALCRECT = 0x00000400,
    DT_NOPREFIX = 0x00000800,
    DT_INTERNAL = 0x00001000,
    DT_EDITCONTROL = 0x00002000,
    DT_PATH_ELLIPSIS = 0x00004000,
    DT_END_ELLIPSIS = 0x00008000,
    DT_MODIFYSTRING = 0x00010000,
    DT_RTLREADING = 0x00020000,
    DT_WORD_ELLIPSIS = 0x00040000,
    DT_NOFULLWIDTHCHARBREAK = 0x00080000,
    DT_HIDEPREFIX = 0x00100000,
    DT_PREFIXONLY = 0x00200000,
};

// 3D edges.
enum : uint32_t {
    BDR_RAISEDOUTER = 0x0001,
    BDR_SUNKENOUTER = 0x0002,
    BDR_RAISEDINNER = 0x0004,
    BDR_SUNKENINNER = 0x0008,
    BDR_OUTER = 0x0003,
    BDR_INNER = 0x000C,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
    BF_LEFT = 0x0001,
    BF_TOP = 0x0002,
    BF_RIGHT = 0x0004,
    BF_BOTTOM = 0x0008,
    BF_TOPLEFT = BF_TOP | BF_LEFT,
    BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_MIDDLE = 0x0800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000,
};

// Frame controls: the kind, then the part and state bits.
enum : uint32_t { DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4 };
enum : uint32_t {
    DFCS_CAPTIONCLOSE = 0x0000,
    DFCS_CAPTIONMIN = 0x0001,
    DFCS_CAPTIONMAX = 0x0002,
    DFCS_CAPTIONRESTORE = 0x0003,
    DFCS_CAPTIONHELP = 0x0004,
    DFCS_SCROLLUP = 0x0000,
    DFCS_SCROLLDOWN = 0x0001,
    DFCS_SCROLLLEFT = 0x0002,
    DFCS_SCROLLRIGHT = 0x0003,
    DFCS_SCROLLCOMBOBOX = 0x0005,
    DFCS_SCROLLSIZEGRIP = 0x0008,
    DFCS_BUTTONCHECK = 0x0000,
    DFCS_BUTTONRADIOIMAGE = 0x0001,
    DFCS_BUTTONRADIOMASK = 0x0002,
    DFCS_BUTTONRADIO = 0x0004,
    DFCS_BUTTON3STATE = 0x0008,
    DFCS_BUTTONPUSH = 0x0010,
    DFCS_INACTIVE = 0x0100,
    DFCS_PUSHED = 0x0200,
    DFCS_CHECKED = 0x0400,
    DFCS_TRANSPARENT = 0x0800,
    DFCS_HOT = 0x1000,
    DFCS_ADJUSTRECT = 0x2000,
    DFCS_FLAT = 0x4000,
    DFCS_MONO = 0x8000,
};

// Region kinds returned by combining and clipping calls, and the combine modes.
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

enum : int { GRADIENT_FILL_RECT_H = 0, GRADIENT_FILL_RECT_V = 1 };

// Direction of arcs, pies and chords (counter-clockwise unless set otherwise).
enum : int { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };

// Point kinds returned by GetPath; PT_CLOSEFIGURE is or-ed into the last point of a closed figure.
enum : uint8_t { PT_CLOSEFIGURE = 0x01, PT_LINETO = 0x02, PT_BEZIERTO = 0x04, PT_MOVETO = 0x06 };

// Alpha blending: the source constant alpha and whether the source carries its own (premultiplied) alpha.
enum : uint8_t { AC_SRC_OVER = 0, AC_SRC_ALPHA = 1 };
struct TBlendFunction {
    uint8_t BlendOp = AC_SRC_OVER;
    uint8_t BlendFlags = 0;
    uint8_t SourceConstantAlpha = 255;
    uint8_t AlphaFormat = 0;
};

// One corner of a gradient: position and 16-bit colour channels (only the high byte counts).
struct TTriVertex {
    int x = 0;
    int y = 0;
    uint16_t Red = 0;
    uint16_t Green = 0;
    uint16_t Blue = 0;
    uint16_t Alpha = 0;
};
struct TGradientRect {
    uint32_t UpperLeft = 0;
    uint32_t LowerRight = 1;
};

enum : int { FW_NORMAL = 400, FW_BOLD = 700 };
enum : uint8_t { DEFAULT_CHARSET = 1, ANSI_CHARSET = 0, SYMBOL_CHARSET = 2 };
enum : uint8_t { DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2 };

// A font as asked for. Height < 0 is the character (em) height in pixels, Height > 0 the cell height,
// 0 the default size. Escapement is the text direction in tenths of a degree, counter-clockwise.
struct TLogFont {
    int Height = 0;
    int Width = 0;
    int Escapement = 0;
    int Orientation = 0;
    int Weight = FW_NORMAL;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    uint8_t CharSet = DEFAULT_CHARSET;
    uint8_t OutPrecision = 0;
    uint8_t ClipPrecision = 0;
    uint8_t Quality = 0;
    uint8_t PitchAndFamily = DEFAULT_PITCH;
    std::string FaceName;
    bool operator==(const TLogFont&) const = default;
};

// Bits of TTextMetric::tmPitchAndFamily.
inline constexpr uint8_t TMPF_FIXED_PITCH = 0x01; // set for a variable-pitch font, despite the name
inline constexpr uint8_t TMPF_VECTOR = 0x02;      // an outline font
inline constexpr uint8_t TMPF_TRUETYPE = 0x04;
inline constexpr uint8_t TMPF_DEVICE = 0x08;

struct TTextMetric {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = FW_NORMAL;
    bool tmItalic = false;
    bool tmUnderlined = false;
    bool tmStruckOut = false;
    uint8_t tmPitchAndFamily = 0;
    uint8_t tmCharSet = DEFAULT_CHARSET;
};

} // namespace plat
