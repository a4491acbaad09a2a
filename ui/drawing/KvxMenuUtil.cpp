#include "ui/drawing/KvxMenuUtil.h"

#include "platform/gfx/Canvas.h"
#include "platform/rtl/NumberFormat.h"

using namespace plat;

namespace ui {

void RaiseInvalidPropertyIndex(int Index) {
    throw EInvalidPropertyIndex(Format("Invalid property index %d.", {Index}));
}

HFONT CreateRotatedFont(TFont* Font, int Angle) {
    TLogFont lf;
    lf.Height = Font->Height();
    lf.Width = 0;
    lf.Escapement = Angle * 10;
    lf.Orientation = 0;
    lf.Weight = (Font->Style() & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.Italic = (Font->Style() & fsItalic) != 0;
    lf.Underline = (Font->Style() & fsUnderline) != 0;
    lf.StrikeOut = (Font->Style() & fsStrikeOut) != 0;
    lf.CharSet = DEFAULT_CHARSET;
    lf.FaceName = Font->Name();
    switch (Font->Pitch()) {
    case fpVariable:
        lf.PitchAndFamily = VARIABLE_PITCH;
        break;
    case fpFixed:
        lf.PitchAndFamily = FIXED_PITCH;
        break;
    case fpDefault:
        lf.PitchAndFamily = DEFAULT_PITCH;
        break;
    }
    return CreateFontIndirect(lf);
}

TRect CenterBox(const TRect& R, int W, int H) {
    TRect b;
    b.Right = (R.Left + R.Right + W) / 2;
    b.Left = b.Right - W;
    b.Bottom = (R.Top + R.Bottom + H) / 2;
    b.Top = b.Bottom - H;
    return b;
}

TRGB SplitColor(TColor Color) {
    TColor c = ColorToRGB(Color);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

} // namespace ui
