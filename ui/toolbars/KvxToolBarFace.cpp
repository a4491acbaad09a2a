#include "ui/toolbars/KvxToolBarFace.h"

#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/ui/ImageList.h"
#include "ui/toolbars/KvxToolBarDraw.h"

namespace ui::toolbar {

using plat::TColor;
using plat::TPoint;
using plat::TRect;

namespace {

constexpr int kDropDownSize = 13;

struct THalfColours {
    TColor Color, ColorTo, Mirror, MirrorTo;
};

THalfColours Darker(const THalfColours& C) {
    return {AdjustBrightness(C.Color, -10), AdjustBrightness(C.ColorTo, -10), AdjustBrightness(C.Mirror, -10),
            AdjustBrightness(C.MirrorTo, -10)};
}

void Upper(TGPGraphics& G, const TRect& R, const THalfColours& C, TGDIPGradient Kind) {
    DrawGlowEllipse(G, R, C.Color, C.ColorTo, Kind, true);
}

void Lower(TGPGraphics& G, const TRect& R, const THalfColours& C, TGDIPGradient Kind) {
    DrawGlowEllipse(G, R, C.MirrorTo, C.Mirror, Kind, false);
}

void Outline(TGPGraphics& G, const TButtonFaceParams& P, int Radius) {
    const TRect& R = P.R;
    const int W = R.Right - 1, H = R.Bottom - 1;
    switch (P.Shape) {
    case fsWhole:
        DrawGlowRoundRect(G, P.BorderColor, R.Left, R.Top, W, H, Radius);
        break;
    case fsGroupFirst:
        DrawLeftButtonBorder(G, P.BorderColor, R.Left, R.Top, W, H, Radius);
        break;
    case fsGroupMiddle:
        DrawMiddleButtonBorder(G, P.BorderColor, R.Left, R.Top, W, H, P.Divider);
        break;
    case fsGroupLast:
        DrawRightButtonBorder(G, P.BorderColor, R.Left, R.Top, W, H, Radius, P.Divider);
        break;
    }
}

} // namespace

TPoint DrawButtonFace(plat::TCanvas& Canvas, const TButtonFaceParams& P) {
    const TRect& R = P.R;
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom, H = R.Height();
    const int H2 = H / 2;
    const int radius = P.Rounded ? 3 : 0;
    const TRect DR =
        P.DropDownBottom ? TRect(L, B - kDropDownSize, Rt, B) : TRect(Rt - kDropDownSize, T, Rt, B);
    TRect CR = R;
    if (P.DropDownButton) {
        if (P.DropDownBottom)
            CR.Bottom = DR.Top;
        else
            CR.Right = DR.Left;
    }

    {
        TGPGraphics G(Canvas);
        G.SetSmoothingMode(4);
        const THalfColours plain{P.Color, P.ColorTo, P.ColorMirror, P.ColorMirrorTo};
        if (!P.Transparent) {
            if (P.DropDownButton && P.DropDownSplit && P.SplitActive) {
                // The section the user is not pointing at is shaded darker.
                const THalfColours main = P.SplitState == 2 ? plain : Darker(plain);
                const THalfColours drop = P.SplitState == 2 ? Darker(plain) : plain;
                const TGDIPGradient dropKind = P.SplitState == 2 ? P.Gradient : ggRadial;
                if (!P.DropDownBottom) {
                    Lower(G, TRect(L, T + H2 - 1, Rt - 12, B), main, P.GradientMirror);
                    Upper(G, TRect(L, T, Rt - 12, B - H2), main, P.Gradient);
                    Lower(G, TRect(Rt - 12, T + H2 - 1, Rt, B), drop, P.GradientMirror);
                    Upper(G, TRect(Rt - 12, T, Rt, B - H2), drop, dropKind);
                } else {
                    const int g = (H - 12) / 2;
                    Lower(G, TRect(L, T + g - 1, Rt, B - 12), main, P.GradientMirror);
                    Upper(G, TRect(L, T, Rt, B - 12 - g), main, P.Gradient);
                    Upper(G, TRect(L, B - 12, Rt, B), drop, dropKind);
                }
            } else {
                Lower(G, TRect(L, T + H2 - 1, Rt, B), plain, P.GradientMirror);
                Upper(G, TRect(L, T, Rt, B - H2), plain, P.Gradient);
            }
            if (P.ShowBorder && P.BorderColor != plat::clNone)
                Outline(G, P, radius);
        }
        if (P.Focus) {
            DrawGlowRoundRect(G, 0xE4AD89, L + 1, T + 1, Rt - 3, B - 3, radius);
            DrawGlowFocusRect(G, 0x808080, L + 2, T + 2, Rt - 5, B - 5, radius);
        }
    }

    // A glyph of a pixel or less is a placeholder, not a picture.
    const bool glyphCounts = P.Glyph && !P.Glyph->Empty() && P.Glyph->Width() >= 2 && P.Glyph->Height() >= 2;
    const bool pictureCounts = P.Picture && !P.Picture->Empty();
    const bool imageCounts = P.Images && P.ImageIndex >= 0;
    int GW = 0, GH = 0;
    if (glyphCounts) {
        GW = P.Glyph->Width();
        GH = P.Glyph->Height();
    } else if (pictureCounts) {
        GW = P.Picture->Width();
        GH = P.Picture->Height();
    } else if (imageCounts) {
        GW = P.Images->Width();
        GH = P.Images->Height();
    }
    if (P.Spacing > 0)
        GW += P.Spacing;
    TPoint size(GW, GH);

    int CW = CR.Width(), CH = CR.Height();
    int GX = -1, GY = -1;
    const std::string& text = P.Caption.empty() ? P.WideCaption : P.Caption;
    if (!text.empty() && P.Font) {
        TRect measured;
        DrawGdipCaption(Canvas, plat::taLeftJustify, 0, TRect(L, T, L + 4096, T + 4096), text, *P.Font,
                        P.Enabled, false, P.AntiAlias, false, P.WordWrap, measured);
        const int bw = measured.Width(), bh = measured.Height();
        size = TPoint(bw + GW + P.Spacing, std::max(bh + P.Spacing, GH + P.Spacing));
        if (!P.MeasureOnly) {
            const int centreX = std::max(0, (CW - GW) / 2) + L, centreY = std::max(0, (CH - GH) / 2) + T;
            TRect box(L, T, L + CW, T + CH);
            plat::TAlignment align = plat::taCenter;
            switch (P.Layout) {
            case flGlyphLeft:
            case flTextLeft: {
                box.Left = L + GW + 2;
                const int bx = box.Left + std::max(0, (box.Width() - bw) / 2);
                GX = std::max(2, bx - GW);
                GY = centreY;
                if (P.Layout == flTextLeft) {
                    align = plat::taLeftJustify;
                    GX = std::max(2, box.Left - GW);
                }
                break;
            }
            case flGlyphTop:
            case flTextTop:
                box.Top = T + GH;
                box.Bottom = box.Top + CH - GH - 2;
                GX = centreX;
                GY = std::max(2, box.Top + std::max(0, (box.Height() - bh) / 2) - GH);
                break;
            case flGlyphRight:
            case flTextRight:
                box.Left = 2;
                box.Right = box.Left + CW - GW - 4;
                if (P.Layout == flTextRight) {
                    GX = CW - GW - 2;
                    align = plat::taRightJustify;
                } else {
                    GX = std::min(std::max(0, (box.Width() - bw) / 2) + bw + 4, CW - GW - 2);
                }
                GY = centreY;
                break;
            case flGlyphBottom:
            case flTextBottom:
                box.Top = 2;
                box.Bottom = box.Top + CH - GH - 2;
                GX = centreX;
                GY = std::min(std::max(0, (box.Height() - bh) / 2) + bh + 2, CH - GH - 2);
                break;
            }
            if (P.FullRectText) {
                box = TRect(L, T, Rt, B);
                if (P.ShowGlyph && glyphCounts)
                    Canvas.Draw(GX, GY, P.Glyph);
            }
            if (P.ShowCaption) {
                TRect unused;
                DrawGdipCaption(Canvas, align, plat::DT_VCENTER | plat::DT_SINGLELINE | plat::DT_CENTER, box,
                                text, *P.Font, P.Enabled, true, P.AntiAlias, false, P.WordWrap, unused);
            }
        }
    }
    if (P.MeasureOnly)
        return size;

    if (P.DropDownButton) {
        if (P.DropDownBottom)
            CH -= 8;
        else
            CW -= 8;
    }
    if (P.ShowGlyph && !P.FullRectText && (glyphCounts || pictureCounts || imageCounts)) {
        const bool hasText = GX >= 0;
        auto at = [&](int w, int h) {
            return hasText ? TPoint(GX, GY) : TPoint(CR.Left + (CW - w) / 2, CR.Top + (CH - h) / 2);
        };
        if (glyphCounts) {
            const TPoint p = at(P.Glyph->Width(), P.Glyph->Height());
            Canvas.Draw(p.X, p.Y, P.Glyph);
        } else if (pictureCounts) {
            const TPoint p = at(P.Picture->Width(), P.Picture->Height());
            DrawGDIPPictureRect(&Canvas, TRect(p.X, p.Y, p.X + P.Picture->Width(), p.Y + P.Picture->Height()),
                                P.Picture);
        } else {
            const TPoint p = at(P.Images->Width(), P.Images->Height());
            P.Images->Draw(&Canvas, p.X, p.Y, P.ImageIndex, P.ImageEnabled);
        }
    }
    Canvas.Brush()->SetStyle(plat::bsClear);
    if (P.DropDownButton) {
        if (P.DropDownSplit && P.SplitActive) {
            Canvas.Pen()->SetColor(P.BorderColor);
            if (P.DropDownBottom) {
                Canvas.MoveTo(DR.Left, DR.Top);
                Canvas.LineTo(DR.Right, DR.Top);
            } else {
                Canvas.MoveTo(DR.Left, DR.Top);
                Canvas.LineTo(DR.Left, DR.Bottom);
            }
        }
        const TPoint arrow(DR.Left + (DR.Width() - 5) / 2, DR.Top + (DR.Height() - 3) / 2 + 1);
        DrawDropDownArrow(&Canvas, arrow, P.Enabled ? plat::clBlack : TColor(0x808080), P.ArrowDown,
                          plat::clWhite);
    }
    Canvas.Brush()->SetStyle(plat::bsSolid);
    return size;
}

} // namespace ui::toolbar
