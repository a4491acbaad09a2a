#include "ui/drawing/KvxGradient.h"

#include <algorithm>

#include "platform/rtl/PropertyInfo.h"

using namespace plat;

namespace ui {

PLAT_CLASS_INFO(TGradientStyle, TPersistent)

PLAT_PROPERTIES(TGradientStyle) {
    props.Color("ColorTo", &TGradientStyle::ColorTo, &TGradientStyle::SetColorTo, clNone);
    props.Color("ColorFrom", &TGradientStyle::ColorFrom, &TGradientStyle::SetColorFrom, clHighlight);
    props.Color("BorderColor", &TGradientStyle::BorderColor, &TGradientStyle::SetBorderColor, clHighlight);
    props.Boolean("Direction", &TGradientStyle::Direction, &TGradientStyle::SetDirection, false);
    props.Color("ColorMirrorFrom", &TGradientStyle::ColorMirrorFrom, &TGradientStyle::SetColorMirrorFrom,
                clNone);
    props.Color("ColorMirrorTo", &TGradientStyle::ColorMirrorTo, &TGradientStyle::SetColorMirrorTo, clNone);
}

void TGradientStyle::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TGradientStyle*>(Source);
    if (!src)
        return;
    FBorderColor = src->FBorderColor;
    FColorTo = src->FColorTo;
    FColorFrom = src->FColorFrom;
    FColorMirrorTo = src->FColorMirrorTo;
    FColorMirrorFrom = src->FColorMirrorFrom;
    Changed();
}

void TGradientStyle::SetColorField(TColor& Field, TColor Value) {
    if (Field == Value)
        return;
    Field = Value;
    Changed();
}

void TGradientStyle::Changed() {
    if (OnChange)
        OnChange(this);
}

namespace {

// System colours resolve to the palette; anything else (clNone included) keeps its low 24 bits.
TColor BandRGB(TColor c) {
    return c < 0 ? ColorToRGB(c) : (c & 0xFFFFFF);
}

} // namespace

void GradientFill(TCanvas& Canvas, TColor Color1, TColor Color2, bool Horizontal, const TRect& Rect,
                  int Steps, TGradientBands Bands) {
    Steps = std::max(Steps, 1);
    TColor c1 = BandRGB(Color1), c2 = BandRGB(Color2);
    int r1 = GetRValue(c1), g1 = GetGValue(c1), b1 = GetBValue(c1);
    double dr = GetRValue(c2) - r1, dg = GetGValue(c2) - g1, db = GetBValue(c2) - b1;
    int farEdge = Horizontal ? Rect.Right : Rect.Bottom;
    int nearEdge = Horizontal ? Rect.Left : Rect.Top;
    if (Bands == gbBar)
        --farEdge;
    double step = static_cast<double>(farEdge - nearEdge) / Steps;
    int bandSize = static_cast<int>(Bands == gbBar ? Round(step) : Trunc(step)) + 1;
    TColor oldPen = Canvas.Pen()->Color(), oldBrush = Canvas.Brush()->Color();
    TBrushStyle oldStyle = Canvas.Brush()->Style();
    Canvas.Brush()->SetStyle(bsSolid);
    for (int n = 0; n < Steps; ++n) {
        TColor band = RGB(static_cast<uint8_t>(r1 + Round(n * (dr / Steps))),
                          static_cast<uint8_t>(g1 + Round(n * (dg / Steps))),
                          static_cast<uint8_t>(b1 + Round(n * (db / Steps))));
        int start = nearEdge + static_cast<int>(Round(n * step));
        int end = start + bandSize;
        if (Bands == gbClipped)
            end = std::min(end, Horizontal ? Rect.Right : Rect.Bottom);
        if (end <= start)
            continue;
        Canvas.Pen()->SetColor(band);
        Canvas.Brush()->SetColor(band);
        if (Horizontal)
            Canvas.Rectangle(start, Rect.Top, end, Rect.Bottom);
        else
            Canvas.Rectangle(Rect.Left, start, Rect.Right, end);
    }
    Canvas.Pen()->SetColor(oldPen);
    Canvas.Brush()->SetColor(oldBrush);
    Canvas.Brush()->SetStyle(oldStyle);
}

void DrawSelectionGradient(TCanvas& Canvas, const TRect& Rect, TColor ColorFrom, TColor ColorTo,
                           TColor MirrorFrom, TColor MirrorTo, bool Direction, TColor BorderColor) {
    if (ColorFrom != clNone) {
        if (MirrorFrom == clNone) {
            GradientFill(Canvas, ColorFrom, ColorTo, !Direction, Rect);
        } else if (Direction) {
            int mid = Rect.Left + Rect.Width() / 2;
            GradientFill(Canvas, ColorFrom, ColorTo, false, TRect(Rect.Left, Rect.Top, mid, Rect.Bottom));
            GradientFill(Canvas, MirrorFrom, MirrorTo, false, TRect(mid, Rect.Top, Rect.Right, Rect.Bottom));
        } else {
            int mid = Rect.Top + Rect.Height() / 2;
            GradientFill(Canvas, ColorFrom, ColorTo, false, TRect(Rect.Left, Rect.Top, Rect.Right, mid));
            GradientFill(Canvas, MirrorFrom, MirrorTo, false, TRect(Rect.Left, mid, Rect.Right, Rect.Bottom));
        }
    }
    if (BorderColor != clNone) {
        TBrushStyle oldStyle = Canvas.Brush()->Style();
        TColor oldPen = Canvas.Pen()->Color();
        Canvas.Brush()->SetStyle(bsClear);
        Canvas.Pen()->SetColor(BorderColor);
        Canvas.Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
        Canvas.Brush()->SetStyle(oldStyle);
        Canvas.Pen()->SetColor(oldPen);
    }
}

} // namespace ui
