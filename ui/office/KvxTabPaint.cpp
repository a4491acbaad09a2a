#include "ui/office/KvxTabPaint.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/GdiTypes.h"
#include "platform/ui/ImageList.h"

namespace ui::tabpaint {

using namespace plat;

namespace {

constexpr const char* kEllipsis = "...";
constexpr TColor kDisabledText = 0x808080;
constexpr TColor kFocusRing = 0xE4AD89;
constexpr TColor kFocusDots = 0x808080;
constexpr int kDropDownZone = 13;
constexpr int kBorderRadius = 3;

// Halves go to the even neighbour.
int RoundHalfEven(double V) {
    return static_cast<int>(Round(V));
}

uint8_t R(TColor C) {
    return C & 0xFF;
}
uint8_t G(TColor C) {
    return (C >> 8) & 0xFF;
}
uint8_t B(TColor C) {
    return (C >> 16) & 0xFF;
}

bool IsSide(TTabPosition P) {
    return P == tpLeft || P == tpRight;
}

int TextHeightGdi(TCanvas& Canvas, const std::string& Text, TRect& CR, uint32_t Flags) {
    Canvas.TextRect(CR, Text, Flags | DT_CALCRECT);
    return CR.Bottom - CR.Top;
}

int StringStyle(TFont* Font) {
    if (!Font)
        return 0;
    int style = 0;
    if (Font->Style() & fsBold)
        style |= 1;
    if (Font->Style() & fsItalic)
        style |= 2;
    if (Font->Style() & fsUnderline)
        style |= 4;
    return style;
}

} // namespace

TGPColor MakeGdipColor(TColor Color) {
    const TColor c = ColorToRGB(Color);
    return 0xFF000000u + (uint32_t(R(c)) << 16) + (uint32_t(G(c)) << 8) + B(c);
}

TColor MixColors(TColor Color1, TColor Color2, int Percent) {
    if (Percent >= 100)
        return Color1;
    if (Percent <= 0)
        return Color2;
    const TColor c1 = ColorToRGB(Color1), c2 = ColorToRGB(Color2);
    const double x = Percent / 100.0;
    auto mix = [x](int a, int b) { return RoundHalfEven(x * a + (1 - x) * b) & 0xFF; };
    return TColor(mix(R(c1), R(c2)) + (mix(G(c1), G(c2)) << 8) + (mix(B(c1), B(c2)) << 16));
}

void DrawSteppedGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& Rect,
                         bool Horizontal) {
    if (Steps < 0)
        return;
    TRect r = Rect;
    if (Horizontal)
        --r.Right;
    else
        --r.Bottom;
    if (Steps == 0)
        Steps = 1;
    const TColor from = ColorToRGB(FromColor), to = ColorToRGB(ToColor);
    const double dr = (R(to) - R(from)) / double(Steps), dg = (G(to) - G(from)) / double(Steps),
                 db = (B(to) - B(from)) / double(Steps);
    const double band = (Horizontal ? r.Right - r.Left : r.Bottom - r.Top) / double(Steps);
    const int bandLen = RoundHalfEven(band) + 1;
    for (int i = 0; i < std::min(Steps, 65536); ++i) {
        const int red = R(from) + RoundHalfEven(i * dr), green = G(from) + RoundHalfEven(i * dg),
                  blue = B(from) + RoundHalfEven(i * db);
        const TColor c = TColor(red + (green << 8) + (blue << 16));
        Canvas.Pen()->SetColor(c);
        Canvas.Brush()->SetColor(c);
        const int pos = RoundHalfEven(i * band) % 65536;
        if (Horizontal)
            Canvas.Rectangle(r.Left + pos, r.Top, r.Left + pos + bandLen, r.Bottom);
        else
            Canvas.Rectangle(r.Left, r.Top + pos, r.Right, r.Top + pos + bandLen);
    }
}

void DrawRectPath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int W, int H) {
    TGPGraphicsPath path(0);
    path.AddLine(X, Y, X + W, Y);
    path.AddLine(X + W, Y, X + W, Y + H);
    path.AddLine(X + W, Y + H, X, Y + H);
    path.AddLine(X, Y + H, X, Y);
    path.CloseFigure();
    Graphics.DrawPath(&Pen, &path);
}

void DrawRoundRectPath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int W, int H, int Radius) {
    const int d = 2 * Radius;
    TGPGraphicsPath path(0);
    path.AddLine(X + Radius, Y, X + W - d, Y);
    path.AddArc(X + W - d, Y, d, d, 270, 90);
    path.AddLine(X + W, Y + Radius, X + W, Y + H - d);
    path.AddArc(X + W - d, Y + H - d, d, d, 0, 90);
    path.AddLine(X + W - d, Y + H, X + Radius, Y + H);
    path.AddArc(X, Y + H - d, d, d, 90, 90);
    path.AddLine(X, Y + H - d, X, Y + Radius);
    path.AddArc(X, Y, d, d, 180, 90);
    path.CloseFigure();
    Graphics.DrawPath(&Pen, &path);
}

std::string TruncateCaption(const std::string& Caption, const TRect& Rect, bool UseGdip,
                            TGPGraphics* Graphics, TCanvas* Canvas, const TGPFont* Font, bool Ellipsis,
                            TTabPosition TabPosition) {
    const std::string suffix = Ellipsis ? kEllipsis : "";
    int avail = IsSide(TabPosition) ? Rect.Bottom - Rect.Top : Rect.Right - Rect.Left;
    std::unique_ptr<TGPStringFormat> format;
    if (UseGdip) {
        format = std::make_unique<TGPStringFormat>(0);
        avail -= 2;
    }
    auto width = [&](const std::string& s) -> double {
        if (UseGdip) {
            if (!Graphics)
                return 0;
            TGdipRectF box;
            Graphics->MeasureString(s, -1, Font,
                                    MakeGdipRectF(Rect.Left, Rect.Top, 1000, Rect.Bottom - Rect.Top),
                                    format.get(), box);
            return box.Width;
        }
        if (!Canvas)
            return 0;
        TRect r(0, 0, 1000, 100);
        Canvas->TextRect(r, s, DT_CALCRECT | DT_SINGLELINE);
        return r.Right;
    };
    if (avail > width(Caption))
        return Caption;
    std::string caption = Caption;
    for (size_t n = 0; n <= Caption.size(); ++n) {
        if (caption.empty() || avail > width(caption + suffix))
            break;
        // Whole characters only: a UTF-8 continuation byte goes with the byte that leads it.
        size_t cut = caption.size() - 1;
        while (cut > 0 && (static_cast<uint8_t>(caption[cut]) & 0xC0) == 0x80)
            --cut;
        caption.erase(cut);
    }
    return caption + suffix;
}

namespace {

// The caption painter of both units; Pager selects the pager's placement without anti-aliasing.
void PaintCaption(TCanvas& Canvas, TAlignment Alignment, const TRect& Rect, std::string Caption, TFont* Font,
                  bool Enabled, bool DoDraw, TAntiAlias AntiAlias, TTabPosition TabPosition, bool Ellipsis,
                  TRect& TextRect, bool Pager) {
    if (Caption.empty())
        return;
    const TGdipRectF L = MakeGdipRectF(Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top);
    TGdipRectF box;
    if (AntiAlias != aaNone) {
        TGPGraphics graphics(Canvas);
        std::unique_ptr<TGPFontFamily> family = CreateGdipFontFamily(Font ? Font->Name() : "Arial");
        TGPFont font(family.get(), Font ? float(Font->Size()) : 8.0f, 0, 3);
        graphics.SetSmoothingMode(4);
        TGPStringFormat format(DoDraw && TabPosition == tpRight ? 2 : 0);
        TGPSolidBrush brush(MakeGdipColor(Enabled && Font ? Font->Color() : kDisabledText));
        format.SetAlign(Alignment == taLeftJustify ? 0 : Alignment == taRightJustify ? 2 : 1);
        format.SetLineAlign(1);
        format.SetHotkeyPrefix(1);
        ApplyAntiAlias(graphics, AntiAlias);
        if (DoDraw && Ellipsis)
            Caption = TruncateCaption(Caption, Rect, true, &graphics, nullptr, &font, true, TabPosition);
        graphics.MeasureString(Caption, -1, &font, L, &format, box);
        if (DoDraw)
            graphics.DrawString(Caption, -1, &font, L, &format, &brush);
    } else {
        TRect cr(RoundHalfEven(L.X), RoundHalfEven(L.Y), RoundHalfEven(L.X) + 2, RoundHalfEven(L.Y));
        const uint32_t flags = Ellipsis ? DT_END_ELLIPSIS : DT_WORDBREAK;
        if (DoDraw && Ellipsis)
            Caption = TruncateCaption(Caption, Rect, false, nullptr, &Canvas, nullptr, true, TabPosition);
        const int h = TextHeightGdi(Canvas, Caption, cr, flags);
        const int top = Pager ? Rect.Top : Rect.Top + (Rect.Bottom - Rect.Top - h) / 2;
        box = MakeGdipRectF(cr.Left, top, cr.Right - cr.Left, h);
    }
    TextRect = TRect(RoundHalfEven(box.X), RoundHalfEven(box.Y), RoundHalfEven(box.X + box.Width),
                     RoundHalfEven(box.Y + box.Height));
    if (DoDraw && AntiAlias == aaNone) {
        Canvas.Brush()->SetStyle(bsClear);
        const int shift = Pager ? 3 : 0;
        TRect r(RoundHalfEven(L.X) + shift, RoundHalfEven(L.Y),
                RoundHalfEven(L.X) + shift + RoundHalfEven(L.Width),
                RoundHalfEven(L.Y) + RoundHalfEven(L.Height));
        uint32_t flags = DT_SINGLELINE | DT_VCENTER;
        if (Alignment == taRightJustify)
            flags |= DT_RIGHT;
        else if (Alignment == taCenter)
            flags |= DT_CENTER;
        Canvas.TextRect(r, Caption, flags);
    }
}

} // namespace

void DrawTabCaption(TCanvas& Canvas, TAlignment Alignment, const TRect& Rect, std::string Caption,
                    TFont* Font, bool Enabled, bool DoDraw, TAntiAlias AntiAlias, TTabPosition TabPosition,
                    bool Ellipsis, TRect& TextRect) {
    PaintCaption(Canvas, Alignment, Rect, std::move(Caption), Font, Enabled, DoDraw, AntiAlias, TabPosition,
                 Ellipsis, TextRect, false);
}

void DrawTabCaptionW(TCanvas& Canvas, TAlignment Alignment, const TRect& Rect, const std::string& Caption,
                     const std::string& WideCaption, TFont* Font, bool Enabled, bool DoDraw,
                     TAntiAlias AntiAlias, TTabPosition TabPosition, bool Ellipsis, TRect& TextRect) {
    PaintCaption(Canvas, Alignment, Rect, Caption.empty() ? WideCaption : Caption, Font, Enabled, DoDraw,
                 AntiAlias, TabPosition, Ellipsis, TextRect, true);
}

bool TextExtentW(TDeviceContext* DC, const std::string& S, TSize& Size) {
    Size = TSize();
    return DC && DC->GetTextExtentPoint(S, Size);
}

bool CanvasTextExtentW(TCanvas& Canvas, const std::string& S, TSize& Size) {
    Size = TSize();
    // The canvas's own measuring makes its handle and font valid first.
    Size = Canvas.TextExtent(S);
    return Canvas.HandleAllocated();
}

int CanvasTextWidthW(TCanvas& Canvas, const std::string& S) {
    TSize size;
    CanvasTextExtentW(Canvas, S, size);
    return size.cx;
}

// ---- Faces -----------------------------------------------------------------------------------------------

namespace {

struct TPartGeometry {
    TRect GdiBack;      // left, top, right, bottom
    TGdipRectF Back;    // x, y, w, h
    TGdipRectF Ellipse; // E
    TGdipPoint Center;  // P
    TGdipRectF RadialFill;
    TGdipRectF Linear;         // G for ggVertical
    TGdipRectF LinearDiagonal; // G for the diagonals
    bool Reversed = false;     // colour 2 to colour 1
    TGdipRectF LinearFill;
    bool Mirror = false;
};

TGdipRectF F(int X, int Y, int W, int H) {
    return MakeGdipRectF(X, Y, W, H);
}

// The two parts of a face in painting order.
void FacePartsFor(const TRect& R, TTabPosition P, TPartGeometry Parts[2]) {
    const int x0 = R.Left, y0 = R.Top, x1 = R.Right, y1 = R.Bottom;
    const int W = x1 - x0, H = y1 - y0, W2 = W / 2, H2 = H / 2;
    switch (P) {
    case tpTop:
        Parts[0] = {TRect(x0, y0 + H2, x1, y1),
                    F(x0, y0 + H2, W, H2),
                    F(x0, y0 + H2, W, H),
                    {x0 + W2, y1},
                    F(x0 + 1, y0 + H2, W - 1, H2 + 1),
                    F(x0, y0 + H2, W, H2),
                    F(x0, y0 + H2, W, H2),
                    false,
                    F(x0 + 1, y0 + H2 + 1, W - 1, H2 + 1),
                    true};
        Parts[1] = {TRect(x0, y0, x1, y0 + H2),
                    F(x0, y0, W, H2),
                    F(x0, y0 - H2, W, H),
                    {x0 + W2, y0},
                    F(x0 + 1, y0 + 1, W - 1, H - H2 - 1),
                    F(x0, y0, W, H2 + 1),
                    F(x0, y0, W, H),
                    false,
                    F(x0 + 1, y0 + 1, W - 1, H2),
                    false};
        break;
    case tpBottom:
        Parts[0] = {TRect(x0, y0, x1, y0 + H2),
                    F(x0, y0, W, H2),
                    F(x0, y0, W, H2),
                    {x0 + W2, y0},
                    F(x0 + 1, y0, W - 1, H2 + 1),
                    F(x0, y0, W, H2),
                    F(x0, y0, W, H2),
                    true,
                    F(x0 + 1, y0 + 1, W - 1, H2 + 1),
                    true};
        Parts[1] = {TRect(x0, y0 + H2, x1, y1),
                    F(x0, y0 + H2, W, H2),
                    F(x0, y1 - H2, W, H),
                    {x0 + W2, y1},
                    F(x0 + 1, y0 + H2 + 1, W - 1, H2 - 1),
                    F(x0, y0 + H2 - 1, W, H2),
                    F(x0, y0 + H2, W, H),
                    true,
                    F(x0 + 1, y0 + H2, W - 1, H2 - 1),
                    false};
        break;
    case tpLeft:
        Parts[0] = {TRect(x0 + W2, y0, x1, y1),
                    F(x0 + W2, y0, W2, H),
                    F(x0 + W2, y0, W, H),
                    {x1, y0 + H2},
                    F(x0 + W2, y0, W2 + 1, H - 1),
                    F(x0 + W2, y0, W2, H),
                    F(x0 + W2, y0, W2, H),
                    false,
                    F(x0 + W2 + 1, y0, W2 + 1, H - 1),
                    true};
        Parts[1] = {TRect(x0, y0, x0 + W2, y1),
                    F(x0, y0, W2, H),
                    F(x0 - W2, y0, W, H),
                    {x0, y0 + H2},
                    F(x0 + 1, y0 + 1, W2 - 1, H - 1),
                    F(x0, y0, W2, H),
                    F(x0, y0, W, H),
                    false,
                    F(x0 + 1, y0 + 1, W2 - 1, H - 1),
                    false};
        break;
    case tpRight:
        Parts[0] = {TRect(x1 - W2, y0, x1, y1),
                    F(x1 - W2, y0, W2, H),
                    F(x1 - W2, y0, W, H),
                    {x1, y0 + H2},
                    F(x1 - W2 + 1, y0 + 1, W2 - 1, H - 1),
                    F(x1 - W2, y0, W2, H),
                    F(x1 - W2, y0, W, H),
                    true,
                    F(x1 - W2, y0 + 1, W2, H - 1),
                    false};
        Parts[1] = {TRect(x0, y0, x0 + W2, y1), F(x0, y0, W2, H),
                    F(x0 - W2, y0, W, H),       {x0, y0 + H2},
                    F(x0, y0, W2 + 1, H - 1),   F(x0, y0, W2 + 2, H),
                    F(x0, y0, W2, H),           true,
                    F(x0, y0, W2 + 2, H - 1),   true};
        break;
    }
}

void PaintTwoPartFace(TCanvas& Canvas, TGPGraphics& Graphics, const TRect& R, const TFaceColors& C,
                      TTabPosition P, bool GdipBackground, bool Rotated) {
    TPartGeometry parts[2];
    FacePartsFor(R, P, parts);
    const int H2 = (R.Bottom - R.Top) / 2;
    for (TPartGeometry& part : parts) {
        const TColor c1 = part.Mirror ? C.ColorMirror : C.Color;
        const TColor c2 = part.Mirror ? C.ColorMirrorTo : C.ColorTo;
        const TGDIPGradient kind = part.Mirror ? C.GradientMirror : C.Gradient;
        if (GdipBackground) {
            TGPSolidBrush back(MakeGdipColor(c1));
            Graphics.FillRectF(&back, part.Back);
        } else {
            Canvas.Brush()->SetStyle(bsSolid);
            Canvas.Brush()->SetColor(c1);
            Canvas.FillRect(part.GdiBack);
        }
        TGPGraphicsPath ellipse(0);
        ellipse.AddEllipse(part.Ellipse.X, part.Ellipse.Y, part.Ellipse.Width, part.Ellipse.Height);
        if (kind == ggRadial) {
            TGPPathGradientBrush brush(&ellipse);
            brush.SetCenterPoint(part.Center);
            brush.SetCenterColor(MakeGdipColor(c2));
            TGPColor surround = MakeGdipColor(c1);
            int count = 1;
            brush.SetSurroundColors(&surround, count);
            Graphics.FillRectF(&brush, part.RadialFill);
        } else {
            int mode = 1;
            if (kind == ggVertical)
                mode = IsSide(P) ? 0 : 1;
            else
                mode = kind == ggDiagonalForward ? 2 : 3;
            const TGdipRectF g = kind == ggVertical ? part.Linear : part.LinearDiagonal;
            TGPLinearGradientBrush brush(g, MakeGdipColor(part.Reversed ? c2 : c1),
                                         MakeGdipColor(part.Reversed ? c1 : c2), mode);
            TGdipRectF fill = part.LinearFill;
            if (GdipBackground && !Rotated && P == tpTop && part.Mirror)
                fill.Height = H2 - 1;
            Graphics.FillRectF(&brush, fill);
        }
    }
}

void DrawFocusRings(TGPGraphics& Graphics, const TRect& R) {
    const int W = R.Right - R.Left, H = R.Bottom - R.Top;
    Graphics.SetSmoothingMode(4);
    TGPPen solid(MakeGdipColor(kFocusRing), 1);
    DrawRoundRectPath(Graphics, solid, R.Left + 1, R.Top + 1, W - 3, H - 3, kBorderRadius);
    TGPPen dots(MakeGdipColor(kFocusDots), 1);
    dots.SetDashStyle(2);
    DrawRoundRectPath(Graphics, dots, R.Left + 2, R.Top + 2, W - 5, H - 5, kBorderRadius);
}

} // namespace

void PaintMirrorFace(TCanvas& Canvas, const TRect& R, const TFaceColors& Colors, const TFaceContent& Content,
                     TTabPosition TabPosition, const TFaceOptions& Options) {
    const int x0 = R.Left, y0 = R.Top, x1 = R.Right, y1 = R.Bottom;
    const int W = x1 - x0, H = y1 - y0;
    const TRect dr =
        Content.DropDownBelow ? TRect(x0, y1 - kDropDownZone, x1, y1) : TRect(x1 - kDropDownZone, y0, x1, y1);
    TRect c = R;
    if (Content.DropDown) {
        if (Content.DropDownBelow)
            c.Bottom = dr.Top;
        else
            c.Right = dr.Left;
    }
    const int CW = c.Right - c.Left, CH = c.Bottom - c.Top;

    TGPGraphics graphics(Canvas);
    PaintTwoPartFace(Canvas, graphics, R, Colors, TabPosition, Options.GdipBackground, Options.Rotated);

    graphics.SetSmoothingMode(4);
    if (Colors.BorderColor != clNone) {
        TGPPen pen(MakeGdipColor(Colors.BorderColor), 1);
        if (Content.Rounded)
            DrawRoundRectPath(graphics, pen, x0, y0, W - 1, H - 1, kBorderRadius);
        else
            DrawRectPath(graphics, pen, x0, y0, W - 1, H - 1);
    }
    if (Content.Focused)
        DrawFocusRings(graphics, R);

    const std::string fontName = Content.Font ? Content.Font->Name() : "Arial";
    std::unique_ptr<TGPFontFamily> family =
        Options.ArialFallback ? CreateGdipFontFamily(fontName) : std::make_unique<TGPFontFamily>(fontName);

    int iw = 0, ih = 0;
    if (Content.Picture && !Content.Picture->Empty() && Content.Picture->MeasureImage()) {
        iw = Content.Picture->Width();
        ih = Content.Picture->Height();
    } else if (Content.ImageIndex > -1 && Content.Images) {
        iw = Content.Images->Width();
        ih = Content.Images->Height();
    }

    int ix = 0, iy = 0;
    if (!Content.Caption.empty()) {
        TGPFont font(family.get(), Content.Font ? float(Content.Font->Size()) : 8.0f,
                     StringStyle(Content.Font), 3);
        TGdipRectF L = MakeGdipRectF(x0, y0, CW, CH);
        TGPStringFormat format(0);
        format.SetAlign(1);
        format.SetLineAlign(1);
        format.SetHotkeyPrefix(1);
        TGPSolidBrush brush(
            MakeGdipColor(Content.Enabled && Content.Font ? Content.Font->Color() : kDisabledText));
        ApplyAntiAlias(graphics, Content.AntiAlias);
        TGdipRectF T;
        if (Content.AntiAlias != aaNone) {
            graphics.MeasureString(Content.Caption, -1, &font, L, &format, T);
        } else {
            TRect cr(RoundHalfEven(L.X), RoundHalfEven(L.Y), RoundHalfEven(L.X) + 2, RoundHalfEven(L.Y));
            const int th = TextHeightGdi(Canvas, Content.Caption, cr, DT_WORDBREAK);
            T = MakeGdipRectF(cr.Left, cr.Top, cr.Right - cr.Left, th);
        }
        if (iw > 0) {
            switch (Content.ImagePosition) {
            case ipLeft:
                L.X = x0 + 2 + iw;
                L.Width = CW - 2 - iw;
                ix = std::max(RoundHalfEven(T.X - iw / 2), x0 + 2);
                iy = y0 + std::max(0, (CH - ih) / 2);
                break;
            case ipTop:
                L.Y = y0 + ih;
                L.Height = CH - 2 - ih;
                ix = x0 + std::max(0, (CW - iw) / 2);
                iy = std::max(y0 + std::max(0, RoundHalfEven(L.Height - T.Height) / 2), y0 + 2);
                break;
            case ipRight:
                L.X = x0 + 2;
                L.Width = CW - 4 - iw;
                ix = x0 + std::max(0, RoundHalfEven(L.Width - T.Width) / 2) + RoundHalfEven(T.Width) + 4;
                if (ix > x0 + CW - iw)
                    ix = x0 + CW - iw - 2;
                iy = y0 + std::max(0, (CH - ih) / 2);
                break;
            case ipBottom:
                L.Y = y0 + 2;
                L.Height = CH - 2 - ih;
                ix = x0 + std::max(0, (CW - iw) / 2);
                iy = y0 + std::max(0, RoundHalfEven(L.Height - T.Height) / 2) + RoundHalfEven(T.Height + 2);
                if (iy > y0 + CH - ih)
                    iy = y0 + CH - ih - 2;
                break;
            }
        }
        if (Content.AntiAlias != aaNone) {
            graphics.DrawString(Content.Caption, -1, &font, L, &format, &brush);
        } else {
            Canvas.Brush()->SetStyle(bsClear);
            TRect r(RoundHalfEven(L.X), RoundHalfEven(L.Y), RoundHalfEven(L.X) + RoundHalfEven(L.Width),
                    RoundHalfEven(L.Y) + RoundHalfEven(L.Height));
            Canvas.TextRect(r, Content.Caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    } else {
        const int w = Content.DropDown && !Content.DropDownBelow ? W - 8 : W;
        const int h = Content.DropDown && Content.DropDownBelow ? H - 8 : H;
        ix = x0 + std::max(0, (w - iw) / 2);
        iy = y0 + std::max(0, (h - ih) / 2);
    }
    if (Content.Picture && !Content.Picture->Empty())
        Canvas.Draw(ix, iy, Content.Picture);
    else if (Content.ImageIndex >= 0 && Content.Images)
        Content.Images->Draw(&Canvas, ix, iy, Content.ImageIndex, Content.ImageEnabled);

    Canvas.Brush()->SetStyle(bsClear);
    if (Content.DropDown) {
        if (Content.DropDownSplit) {
            Canvas.Pen()->SetColor(Colors.BorderColor);
            Canvas.MoveTo(dr.Left, dr.Top);
            if (Content.DropDownBelow)
                Canvas.LineTo(dr.Right, dr.Top);
            else
                Canvas.LineTo(dr.Left, dr.Bottom);
        }
        const int ax = dr.Left + (dr.Right - dr.Left - 5) / 2;
        const int ay = dr.Top + (dr.Bottom - dr.Top - 3) / 2 + 1;
        const TColor arrow = Content.Enabled ? TColor(0x000000) : kDisabledText;
        Canvas.Pen()->SetColor(arrow);
        Canvas.MoveTo(ax, ay);
        Canvas.LineTo(ax + 5, ay);
        Canvas.MoveTo(ax + 1, ay + 1);
        Canvas.LineTo(ax + 4, ay + 1);
        Canvas.SetPixels(ax + 2, ay + 2, arrow);
    }
}

void PaintTabFace(TCanvas& Canvas, const TRect& R, const TFaceColors& Colors, const std::string& Caption,
                  TFont* Font, TImagePosition ImagePosition, bool Enabled, bool Focused, TAntiAlias AntiAlias,
                  bool Rounded, TTabPosition TabPosition, const TFaceOptions& Options) {
    TFaceContent content;
    content.Caption = Caption;
    content.Font = Font;
    content.ImagePosition = ImagePosition;
    content.Enabled = Enabled;
    content.Focused = Focused;
    content.AntiAlias = AntiAlias;
    content.Rounded = Rounded;
    PaintMirrorFace(Canvas, R, Colors, content, TabPosition, Options);
}

std::unique_ptr<TGPGraphicsPath> BuildTabPath(const TRect& R, TKvxTabShape Shape, TTabRounding Rounding,
                                              bool RotateTabLeftRight, TTabPosition TabPosition) {
    auto path = std::make_unique<TGPGraphicsPath>(0);
    const int x0 = R.Left, y0 = R.Top, x1 = R.Right, y1 = R.Bottom;
    const int Rn = Rounding, Rh = Rounding / 2;
    const int third = IsSide(TabPosition) && RotateTabLeftRight ? (x1 - x0) / 3 : (y1 - y0) / 3;
    const int I = Rn + third;
    TGPGraphicsPath& p = *path;
    auto line = [&p](int ax, int ay, int bx, int by) { p.AddLine(ax, ay, bx, by); };
    auto curve = [&p](int ax, int ay, int bx, int by, int cx, int cy) {
        const TGdipPoint pts[3] = {{ax, ay}, {bx, by}, {cx, cy}};
        p.AddCurve(pts, 3, 0.8f);
    };
    auto bezier = [&p](int ax, int ay, int bx, int by, int cx, int cy, int dx, int dy) {
        p.AddBezierPoints({ax, ay}, {bx, by}, {cx, cy}, {dx, dy});
    };
    // Each shape: the rounded corners of a rectangle take the full rounding, the corner across from a ramp
    // half of it; a ramp spans I + 2Rn along the edge.
    switch (Shape) {
    case tsRectangle:
        switch (TabPosition) {
        case tpTop:
            line(x0, y1, x0, y0 + 3 * Rn);
            curve(x0, y0 + 3 * Rn, x0 + Rn, y0 + Rn, x0 + 3 * Rn, y0);
            line(x0 + 3 * Rn, y0, x1 - 3 * Rn, y0);
            curve(x1 - 3 * Rn, y0, x1 - Rn, y0 + Rn, x1, y0 + 3 * Rn);
            line(x1, y0 + 3 * Rn, x1, y1);
            break;
        case tpBottom:
            line(x0, y0, x0, y1 - 3 * Rn);
            curve(x0, y1 - 3 * Rn, x0 + Rn, y1 - Rn, x0 + 3 * Rn, y1);
            line(x0 + 3 * Rn, y1, x1 - 3 * Rn, y1);
            curve(x1 - 3 * Rn, y1, x1 - Rn, y1 - Rn, x1, y1 - 3 * Rn);
            line(x1, y1 - 3 * Rn, x1, y0);
            break;
        case tpLeft:
            line(x1, y0, x0 + 3 * Rn, y0);
            curve(x0 + 3 * Rn, y0, x0 + Rn, y0 + Rn, x0, y0 + 3 * Rn);
            line(x0, y0 + 3 * Rn, x0, y1 - 3 * Rn);
            curve(x0, y1 - 3 * Rn, x0 + Rn, y1 - Rn, x0 + 3 * Rn, y1);
            line(x0 + 3 * Rn, y1, x1, y1);
            break;
        case tpRight:
            line(x0, y0, x1 - 3 * Rn, y0);
            curve(x1 - 3 * Rn, y0, x1 - Rn, y0 + Rn, x1, y0 + 3 * Rn);
            line(x1, y0 + 3 * Rn, x1, y1 - 3 * Rn);
            curve(x1, y1 - 3 * Rn, x1 - Rn, y1 - Rn, x1 - 3 * Rn, y1);
            line(x1 - 3 * Rn, y1, x0, y1);
            break;
        default:
            return path;
        }
        break;
    case tsLeftRamp:
        switch (TabPosition) {
        case tpTop:
            bezier(x0, y1, x0 + 3 * Rn, y1 - Rn, x0 + I - Rn, y0 + Rn, x0 + I + 2 * Rn, y0);
            line(x0 + I + 2 * Rn, y0, x1 - 3 * Rh, y0);
            curve(x1 - 3 * Rh, y0, x1 - Rh, y0 + Rh, x1, y0 + 3 * Rh);
            line(x1, y0 + 3 * Rh, x1, y1);
            break;
        case tpBottom:
            bezier(x0 + I + 2 * Rn, y1, x0 + I - Rn, y1 - Rn, x0 + 3 * Rn, y0 + Rn, x0, y0);
            line(x0, y0, x1, y0);
            line(x1, y0, x1, y1 - 3 * Rh);
            curve(x1, y1 - 3 * Rh, x1 - Rh, y1 - Rh, x1 - 3 * Rh, y1);
            break;
        case tpLeft:
            line(x1, y0, x0 + 3 * Rh, y0);
            curve(x0 + 3 * Rh, y0, x0 + Rh, y0 + Rh, x0, y0 + 3 * Rh);
            line(x0, y0 + 3 * Rh, x0, y1 - I - 2 * Rn);
            bezier(x0, y1 - I - 2 * Rn, x0 + Rn, y1 - I + Rn, x1 - Rn, y1 - 3 * Rn, x1, y1);
            break;
        case tpRight:
            bezier(x0, y0, x0 + Rn, y0 + 3 * Rn, x1 - Rn, y0 + I - Rn, x1, y0 + I + 2 * Rn);
            line(x1, y0 + I + 2 * Rn, x1, y1 - 3 * Rh);
            curve(x1, y1 - 3 * Rh, x1 - Rh, y1 - Rh, x1 - 3 * Rh, y1);
            line(x1 - 3 * Rh, y1, x0, y1);
            break;
        default:
            return path;
        }
        break;
    case tsRightRamp:
        switch (TabPosition) {
        case tpTop:
            line(x0, y1, x0, y0 + 3 * Rh);
            curve(x0, y0 + 3 * Rh, x0 + Rh, y0 + Rh, x0 + 3 * Rh, y0);
            line(x0 + 3 * Rh, y0, x1 - I - 2 * Rn, y0);
            bezier(x1 - I - 2 * Rn, y0, x1 - I + Rn, y0 + Rn, x1 - 3 * Rn, y1 - Rn, x1, y1);
            line(x0, y1, x1, y1);
            break;
        case tpBottom:
            line(x0, y0, x0, y1 - 3 * Rh);
            curve(x0, y1 - 3 * Rh, x0 + Rh, y1 - Rh, x0 + 3 * Rh, y1);
            line(x0 + 3 * Rh, y1, x1 - I - 2 * Rn, y1);
            bezier(x1 - I - 2 * Rn, y1, x1 - I + Rn, y1 - Rn, x1 - 3 * Rn, y0 + Rn, x1, y0);
            line(x0, y0, x1, y0);
            break;
        case tpLeft:
            bezier(x1, y0, x1 - Rn, y0 + 3 * Rn, x0 + Rn, y0 + I - Rn, x0, y0 + I + 2 * Rn);
            line(x0, y0 + I + 2 * Rn, x0, y1 - 3 * Rh);
            curve(x0, y1 - 3 * Rh, x0 + Rh, y1 - Rh, x0 + 3 * Rh, y1);
            line(x0 + 3 * Rh, y1, x1, y1);
            break;
        case tpRight:
            line(x0, y0, x1 - 3 * Rh, y0);
            curve(x1 - 3 * Rh, y0, x1 - Rh, y0 + Rh, x1, y0 + 3 * Rh);
            line(x1, y0 + 3 * Rh, x1, y1 - I - 2 * Rn);
            bezier(x1, y1 - I - 2 * Rn, x1 - Rn, y1 - I + Rn, x0 + Rn, y1 - 3 * Rn, x0, y1);
            break;
        default:
            return path;
        }
        break;
    case tsLeftRightRamp:
        switch (TabPosition) {
        case tpTop:
            bezier(x0, y1, x0 + 3 * Rn, y1 - Rn, x0 + I - Rn, y0 + Rn, x0 + I + 2 * Rn, y0);
            line(x0 + I + 2 * Rn, y0, x1 - I - 2 * Rn, y0);
            bezier(x1 - I - 2 * Rn, y0, x1 - I + Rn, y0 + Rn, x1 - 3 * Rn, y1 - Rn, x1, y1);
            break;
        case tpBottom:
            bezier(x0 + I + 2 * Rn, y1, x0 + I - Rn, y1 - Rn, x0 + 3 * Rn, y0 + Rn, x0, y0);
            line(x0, y0, x1, y0);
            bezier(x1, y0, x1 - 3 * Rn, y0 + Rn, x1 - I + Rn, y1 - Rn, x1 - I - 2 * Rn, y1);
            line(x1 - I - 2 * Rn, y1, x0 + I + 2 * Rn, y1);
            break;
        case tpLeft:
            bezier(x1, y0, x1 - Rn, y0 + 3 * Rn, x0 + Rn, y0 + I - Rn, x0, y0 + I + 2 * Rn);
            line(x0, y0 + I + 2 * Rn, x0, y1 - I - 2 * Rn);
            bezier(x0, y1 - I - 2 * Rn, x0 + Rn, y1 - I + Rn, x1 - Rn, y1 - 3 * Rn, x1, y1);
            break;
        case tpRight:
            bezier(x0, y0, x0 + Rn, y0 + 3 * Rn, x1 - Rn, y0 + I - Rn, x1, y0 + I + 2 * Rn);
            line(x1, y0 + I + 2 * Rn, x1, y1 - I - 2 * Rn);
            bezier(x1, y1 - I - 2 * Rn, x1 - Rn, y1 - I + Rn, x0 + Rn, y1 - 3 * Rn, x0, y1);
            break;
        default:
            return path;
        }
        break;
    default:
        return path;
    }
    p.CloseFigure();
    return path;
}

void PaintTabShape(TCanvas& Canvas, const TRect& R, const TFaceColors& Colors, TKvxTabShape Shape,
                   bool Focused, TTabRounding Rounding, bool RotateTabLeftRight, TTabPosition TabPosition) {
    TGPGraphics graphics(Canvas);
    std::unique_ptr<TGPGraphicsPath> path = BuildTabPath(R, Shape, Rounding, RotateTabLeftRight, TabPosition);
    TTabPosition facePosition = TabPosition;
    if (IsSide(TabPosition) && !RotateTabLeftRight)
        facePosition = tpTop;
    TGPRegion region(path.get());
    graphics.SetClipRegion(&region, 0);
    PaintTwoPartFace(Canvas, graphics, R, Colors, facePosition, true, RotateTabLeftRight);
    graphics.SetSmoothingMode(4);
    if (Colors.BorderColor != clNone) {
        graphics.ResetClip();
        TGPPen pen(MakeGdipColor(Colors.BorderColor), 1.6f);
        graphics.DrawPath(&pen, path.get());
    }
    if (Focused)
        DrawFocusRings(graphics, R);
}

} // namespace ui::tabpaint
