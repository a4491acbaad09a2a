#include "ui/toolbars/KvxToolBarDraw.h"

#include <algorithm>
#include <array>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/TextLayout.h"
#include "platform/ui/HintWindow.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Screen.h"

namespace ui::toolbar {

using namespace plat;

namespace {

int Rnd(double V) {
    return static_cast<int>(plat::Round(V));
}

int RedOf(TColor C) {
    return static_cast<int>(C & 0xFF);
}
int GreenOf(TColor C) {
    return static_cast<int>((C >> 8) & 0xFF);
}
int BlueOf(TColor C) {
    return static_cast<int>((C >> 16) & 0xFF);
}
TColor MakeColor(int R, int G, int B) {
    const auto clamp = [](int V) { return static_cast<TColor>(std::clamp(V, 0, 255)); };
    return clamp(R) | (clamp(G) << 8) | (clamp(B) << 16);
}

template <class F> TColor PerChannel(TColor C, F Channel) {
    const TColor rgb = ColorToRGB(C);
    return MakeColor(Channel(RedOf(rgb)), Channel(GreenOf(rgb)), Channel(BlueOf(rgb)));
}

// The GDI+ font of a TFont, falling back to Arial for a family the system lacks.
struct TGdipFont {
    TGdipFont(const TFont& Font, bool StrikeOut) : Family(CreateGdipFontFamily(Font.Name())) {
        int style = 0;
        if (Font.Style() & fsBold)
            style |= 1;
        if (Font.Style() & fsItalic)
            style |= 2;
        if (Font.Style() & fsUnderline)
            style |= 4;
        if (StrikeOut && (Font.Style() & fsStrikeOut))
            style |= 8;
        Object = std::make_unique<TGPFont>(Family.get(), static_cast<float>(Font.Size()), style, 3);
    }
    std::unique_ptr<TGPFontFamily> Family;
    std::unique_ptr<TGPFont> Object;
};

int StringAlignment(TAlignment Alignment) {
    switch (Alignment) {
    case taRightJustify:
        return 2;
    case taCenter:
        return 1;
    default:
        return 0;
    }
}

TRect RoundBox(const TGdipRectF& Box) {
    const int left = Rnd(Box.X);
    const int top = Rnd(Box.Y);
    return {left, top, left + Rnd(Box.Width), top + Rnd(Box.Height)};
}

// Drops the last whole character of UTF-8 text.
void PopCharacter(std::string& Text) {
    while (!Text.empty()) {
        const auto byte = static_cast<unsigned char>(Text.back());
        Text.pop_back();
        if ((byte & 0xC0) != 0x80)
            return;
    }
}

size_t CharacterLength(const std::string& Text, size_t At) {
    size_t n = 1;
    while (At + n < Text.size() && (static_cast<unsigned char>(Text[At + n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

void Stroke(TCanvas& Canvas, int X1, int Y1, int X2, int Y2) {
    Canvas.MoveTo(X1, Y1);
    Canvas.LineTo(X2, Y2);
}

} // namespace

// ---- Colours --------------------------------------------------------------------------------------------

TColor BlendColor(TColor Color1, TColor Color2, int Percent) {
    if (Percent >= 100)
        return Color1;
    if (Percent <= 0)
        return Color2;
    const TColor c1 = ColorToRGB(Color1);
    const TColor c2 = ColorToRGB(Color2);
    const double p = Percent / 100.0;
    const auto mix = [p](int A, int B) { return Rnd(p * A + (1 - p) * B); };
    return MakeColor(mix(RedOf(c1), RedOf(c2)), mix(GreenOf(c1), GreenOf(c2)), mix(BlueOf(c1), BlueOf(c2)));
}

TColor DarkenColor(TColor Color, int Percent) {
    return PerChannel(Color, [Percent](int C) { return Rnd(C * (100 - Percent) / 100.0); });
}

TColor AdjustBrightness(TColor Color, int Amount) {
    return PerChannel(Color, [Amount](int C) {
        if (C == 0)
            return std::max(0, Amount);
        return Rnd(C * std::min(100, 100 + Amount) / 100.0);
    });
}

// ---- Classic drawing ------------------------------------------------------------------------------------

void DrawBandGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                      bool Horizontal) {
    TRect r = R;
    if (Horizontal)
        --r.Right;
    else
        --r.Bottom;
    // A negative count would paint nothing at all; one band is the nearest sound reading.
    Steps = std::max(Steps, 1);
    const TColor from = ColorToRGB(FromColor);
    const TColor to = ColorToRGB(ToColor);
    const double dr = (RedOf(to) - RedOf(from)) / static_cast<double>(Steps);
    const double dg = (GreenOf(to) - GreenOf(from)) / static_cast<double>(Steps);
    const double db = (BlueOf(to) - BlueOf(from)) / static_cast<double>(Steps);
    const double band = (Horizontal ? r.Right - r.Left : r.Bottom - r.Top) / static_cast<double>(Steps);
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.Brush()->SetStyle(bsSolid);
    for (int i = 0; i < Steps; ++i) {
        const TColor c =
            MakeColor(RedOf(from) + Rnd(i * dr), GreenOf(from) + Rnd(i * dg), BlueOf(from) + Rnd(i * db));
        Canvas.Pen()->SetColor(c);
        Canvas.Brush()->SetColor(c);
        const int offset = Rnd(i * band);
        if (Horizontal)
            Canvas.Rectangle(r.Left + offset, r.Top, r.Left + offset + Rnd(band) + 1, R.Bottom);
        else
            Canvas.Rectangle(r.Left, r.Top + offset, R.Right, r.Top + offset + Rnd(band) + 1);
    }
}

void DrawVistaGradient(TCanvas& Canvas, const TRect& R, int Split, TColor ColorFrom, TColor ColorTo,
                       TColor MirrorFrom, TColor MirrorTo, TColor BorderColor, int Radius) {
    DrawBandGradient(Canvas, ColorFrom, ColorTo, 40, TRect(R.Left, R.Top, R.Right, R.Top + Split + 1), false);
    DrawBandGradient(Canvas, MirrorFrom, MirrorTo, 40, TRect(R.Left, R.Top + Split, R.Right, R.Bottom),
                     false);
    if (BorderColor == clNone)
        return;
    TGPGraphics g(Canvas);
    g.SetSmoothingMode(4);
    TGPPen pen(MakeGdipColor(BorderColor), 1);
    if (Radius > 0)
        DrawRoundRectPath(g, pen, R.Left, R.Top, R.Width() - 1, R.Height() - 1, Radius);
    else
        DrawRectPath(g, pen, R.Left, R.Top, R.Width() - 1, R.Height() - 1);
}

void CenterRect(TRect& R, int Width, int Height) {
    const int cx = (R.Left + R.Right + Width) / 2;
    const int cy = (R.Top + R.Bottom + Height) / 2;
    R = TRect(cx - Width, cy - Height, cx, cy);
}

void DrawGripLine(TCanvas& Canvas, TPoint P1, TPoint P2, bool Raised, bool Vertical) {
    const TColor first = Raised ? clWhite : clBtnShadow;
    const TColor second = Raised ? clBtnShadow : clWhite;
    Canvas.Pen()->SetColor(first);
    if (Vertical) {
        const int x = P1.X;
        Canvas.MoveTo(x - 1, P1.Y - 1);
        Canvas.LineTo(x - 1, P2.Y);
        Canvas.LineTo(x + 1, P2.Y);
        Canvas.Pen()->SetColor(second);
        Canvas.MoveTo(x + 1, P2.Y);
        Canvas.LineTo(x + 1, P1.Y);
        Canvas.LineTo(x - 1, P1.Y);
    } else {
        const int y = P1.Y;
        Canvas.MoveTo(P1.X - 1, y + 1);
        Canvas.LineTo(P1.X - 1, y - 1);
        Canvas.LineTo(P2.X + 1, y - 1);
        Canvas.Pen()->SetColor(second);
        Canvas.MoveTo(P2.X + 1, y - 1);
        Canvas.LineTo(P2.X + 1, y + 1);
        Canvas.LineTo(P1.X, y + 1);
    }
}

void DrawHotkeyText(TCanvas& Canvas, const std::string& Text, TPoint P) {
    // Where the hotkey lands in the stripped text: "&&" stands for one "&", the last "&x" marks x, and a
    // trailing "&" marks nothing.
    size_t visible = 0;
    size_t hotAt = std::string::npos;
    for (size_t i = 0; i < Text.size();) {
        if (Text[i] == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&') {
                ++visible;
                i += 2;
                continue;
            }
            if (i + 1 < Text.size())
                hotAt = visible;
            ++i;
            continue;
        }
        const size_t n = CharacterLength(Text, i);
        visible += n;
        i += n;
    }
    const std::string shown = StripHotkey(Text);
    Canvas.TextOut(P.X, P.Y, shown);
    if (hotAt == std::string::npos || hotAt >= shown.size())
        return;
    const int h = Canvas.TextHeight(shown);
    const int a = Canvas.TextWidth(shown.substr(0, hotAt));
    const int b = Canvas.TextWidth(shown.substr(hotAt, CharacterLength(shown, hotAt)));
    Canvas.Pen()->SetColor(Canvas.Font()->Color());
    Stroke(Canvas, P.X - h + 1, P.Y + a, P.X - h + 1, P.Y + a + b);
}

void DrawCrossGlyph(TCanvas& Canvas, const TRect& R, TColor Color, int Size) {
    const int x0 = R.Left + (R.Width() - Size) / 3;
    const int y0 = R.Top + (R.Height() - Size) / 3;
    Canvas.Pen()->SetColor(Color);
    Stroke(Canvas, x0, y0 + Size, x0 + Size + 1, y0);
    Stroke(Canvas, x0 + 1, y0 + Size, x0 + Size, y0);
    Stroke(Canvas, x0, y0 + 1, x0 + Size + 1, y0 + Size + 1);
    Stroke(Canvas, x0 + 1, y0 + 1, x0 + Size, y0 + Size);
}

void DrawMinimizeGlyph(TCanvas& Canvas, const TRect& R, TColor Color, bool) {
    const int x0 = R.Left + (R.Width() - 8) / 3 - 6;
    const int y = R.Top + R.Height() / 2;
    Canvas.Pen()->SetColor(Color);
    Stroke(Canvas, x0, y, x0 + 6, y);
    Stroke(Canvas, x0, y + 1, x0 + 6, y + 1);
}

void DrawMaximizeGlyph(TCanvas& Canvas, const TRect& R, TColor Color, bool) {
    const int x0 = R.Left + (R.Width() - 8) / 3;
    const int y0 = R.Top + (R.Height() - 8) / 3;
    Canvas.Pen()->SetColor(Color);
    Stroke(Canvas, x0, y0 + 1, x0 + 9, y0 + 1);
    Stroke(Canvas, x0, y0 + 2, x0 + 9, y0 + 2);
    const std::array<TPoint, 4> frame{TPoint(x0, y0 + 2), TPoint(x0, y0 + 8), TPoint(x0 + 8, y0 + 8),
                                      TPoint(x0 + 8, y0 + 2)};
    Canvas.Polyline(frame);
}

void DrawRestoreGlyph(TCanvas& Canvas, const TRect& R, TColor Color, bool) {
    const int x0 = R.Left + (R.Width() - 8) / 3;
    const int y0 = R.Top + (R.Height() - 8) / 3;
    Canvas.Pen()->SetColor(Color);
    Stroke(Canvas, x0 + 2, y0, x0 + 8, y0);
    Stroke(Canvas, x0 + 2, y0 + 1, x0 + 8, y0 + 1);
    Stroke(Canvas, x0 + 8, y0, x0 + 8, y0 + 6);
    Stroke(Canvas, x0, y0 + 3, x0 + 7, y0 + 3);
    Stroke(Canvas, x0, y0 + 4, x0 + 7, y0 + 4);
    const std::array<TPoint, 4> front{TPoint(x0, y0 + 4), TPoint(x0, y0 + 8), TPoint(x0 + 6, y0 + 8),
                                      TPoint(x0 + 6, y0 + 4)};
    Canvas.Polyline(front);
}

// ---- Anti-aliased outlines ------------------------------------------------------------------------------

void DrawLinePath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int DX, int DY) {
    TGPGraphicsPath path;
    path.AddLine(X, Y, X + DX, Y + DY);
    path.CloseFigure();
    Graphics.DrawPath(&Pen, &path);
}

void DrawArcPath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int W, int H, float StartAngle,
                 float SweepAngle, bool Close) {
    TGPGraphicsPath path;
    path.AddArc(X, Y, W, H, StartAngle, SweepAngle);
    if (Close)
        path.CloseFigure();
    Graphics.DrawPath(&Pen, &path);
}

void DrawRectPath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int W, int H) {
    TGPGraphicsPath path;
    path.AddLine(X, Y, X + W, Y);
    path.AddLine(X + W, Y, X + W, Y + H);
    path.AddLine(X + W, Y + H, X, Y + H);
    path.AddLine(X, Y + H, X, Y);
    path.CloseFigure();
    Graphics.DrawPath(&Pen, &path);
}

void DrawRoundRectPath(TGPGraphics& Graphics, const TGPPen& Pen, int X, int Y, int W, int H, int Radius) {
    const int r = Radius;
    const int d = 2 * r;
    TGPGraphicsPath path;
    path.AddLine(X + r, Y, X + W - d, Y);
    path.AddArc(X + W - d, Y, d, d, 270, 90);
    path.AddLine(X + W, Y + r, X + W, Y + H - d);
    path.AddArc(X + W - d, Y + H - d, d, d, 0, 90);
    path.AddLine(X + W - d, Y + H, X + r, Y + H);
    path.AddArc(X, Y + H - d, d, d, 90, 90);
    path.AddLine(X, Y + H - d, X, Y + r);
    path.AddArc(X, Y, d, d, 180, 90);
    path.CloseFigure();
    Graphics.DrawPath(&Pen, &path);
}

// ---- Captions and faces ---------------------------------------------------------------------------------

bool IsVectorScreenFont(TCanvas* Canvas) {
    if (!Canvas)
        return false;
    TTextMetric tm;
    if (!Canvas->Handle()->GetTextMetrics(tm))
        return false;
    if (!(tm.tmPitchAndFamily & 2) || (tm.tmPitchAndFamily & 8))
        return false;
    return Screen && Screen->Fonts()->IndexOf(Canvas->Font()->Name()) >= 0;
}

void DrawGdipCaption(TCanvas& Canvas, TAlignment Alignment, uint32_t Format, const TRect& R, std::string Text,
                     TFont& Font, bool Enabled, bool RealDraw, TAntiAlias AntiAlias, bool Ellipsis,
                     bool WordWrap, TRect& TextRect) {
    TextRect = TRect(0, 0, 0, 0);
    if (Text.empty())
        return;
    Canvas.Font()->SetName(Font.Name());
    if (AntiAlias == aaNone || !IsVectorScreenFont(&Canvas)) {
        TextRect = TRect(0, 0, 1000, 100);
        DrawText(*Canvas.Handle(), Text, TextRect, DT_CALCRECT | DT_SINGLELINE);
        if (RealDraw) {
            TRect r = R;
            DrawText(*Canvas.Handle(), Text, r, Format);
        }
        return;
    }
    TGPGraphics g(Canvas);
    g.SetSmoothingMode(4);
    const TGdipFont font(Font, true);
    const TGdipRectF layout = MakeGdipRectF(R.Left, R.Top, R.Width(), R.Height());
    const TGdipRectF wide = MakeGdipRectF(R.Left, R.Top, 1000, R.Height());
    TGPStringFormat format(0);
    format.SetAlign(StringAlignment(Alignment));
    format.SetLineAlign(1);
    format.SetHotkeyPrefix(1);
    TGPSolidBrush brush(MakeGdipColor(Enabled ? Font.Color() : TColor(0x808080)));
    ApplyAntiAlias(g, AntiAlias);

    const bool singleLine = Ellipsis || !WordWrap;
    TGdipRectF box;
    g.MeasureString(Text, -1, font.Object.get(), RealDraw && singleLine ? wide : layout, &format, box);
    TextRect = RoundBox(box);
    if (!RealDraw)
        return;
    if (box.Width > layout.Width && singleLine) {
        const std::string suffix = Ellipsis ? "..." : "";
        for (size_t tries = Text.size() + 1; tries > 0; --tries) {
            g.MeasureString(Text + suffix, -1, font.Object.get(), wide, &format, box);
            if (box.Width <= layout.Width || Text.empty())
                break;
            PopCharacter(Text);
        }
        Text += suffix;
    }
    g.DrawString(Text, -1, font.Object.get(), layout, &format, &brush);
}

void DrawGdipWideCaption(TCanvas& Canvas, TAlignment Alignment, const TRect& R, const std::string& Text,
                         const std::string& WideText, TFont& Font, bool Enabled, bool RealDraw,
                         TAntiAlias AntiAlias, TRect& TextRect) {
    if (Text.empty() && WideText.empty())
        return;
    const std::string& shown = Text.empty() ? WideText : Text;
    TGPGraphics g(Canvas);
    g.SetSmoothingMode(4);
    const TGdipFont font(Font, false);
    const TGdipRectF layout = MakeGdipRectF(R.Left, R.Top, R.Width(), R.Height());
    TGPStringFormat format(0);
    format.SetAlign(StringAlignment(Alignment));
    format.SetLineAlign(1);
    format.SetHotkeyPrefix(1);
    format.SetTrimming(StringTrimmingNone);
    TGPSolidBrush brush(MakeGdipColor(Enabled ? Font.Color() : TColor(0x808080)));
    ApplyAntiAlias(g, AntiAlias);

    TGdipRectF box;
    if (AntiAlias == aaNone) {
        TRect calc(Rnd(layout.X), Rnd(layout.Y), Rnd(layout.X) + 2, Rnd(layout.Y));
        const int height = DrawText(*Canvas.Handle(), shown, calc, DT_CALCRECT | DT_WORDBREAK);
        box = MakeGdipRectF(calc.Left, calc.Top, calc.Width(), height);
    } else {
        g.MeasureString(shown, -1, font.Object.get(), layout, &format, box);
    }
    TextRect = RoundBox(box);
    if (!RealDraw)
        return;
    if (AntiAlias == aaNone) {
        uint32_t flags = DT_VCENTER | DT_SINGLELINE;
        if (Alignment == taRightJustify)
            flags |= DT_RIGHT;
        else if (Alignment == taCenter)
            flags |= DT_CENTER;
        TRect r = R;
        const int mode = Canvas.Handle()->SetBkMode(TRANSPARENT);
        DrawText(*Canvas.Handle(), shown, r, flags);
        Canvas.Handle()->SetBkMode(mode);
    } else {
        g.DrawString(shown, -1, font.Object.get(), layout, &format, &brush);
    }
}

void DrawVistaButtonFace(TCanvas& Canvas, const TRect& R, TColor Color, TColor ColorTo, TColor ColorMirror,
                         TColor ColorMirrorTo, TColor BorderColor, TGDIPGradient Gradient,
                         TGDIPGradient GradientMirror, const std::string& Caption, TFont& Font, bool Enabled,
                         bool Focus, TAntiAlias AntiAlias, bool RoundEdges) {
    const int W = R.Width();
    const int H = R.Height();
    const int H2 = H / 2;
    const int W2 = W / 2;
    TGPGraphics g(Canvas);
    g.SetSmoothingMode(4);

    // A radial half glows from the middle of its outer edge; the others run as linear gradients.
    const auto half = [&](TColor From, TColor To, TGDIPGradient Kind, const TGdipRectF& Ellipse,
                          TGdipPoint Centre, const TGdipRectF& Linear, const TGdipRectF& Fill) {
        if (Kind == ggRadial) {
            TGPGraphicsPath path;
            path.AddEllipse(Ellipse.X, Ellipse.Y, Ellipse.Width, Ellipse.Height);
            TGPPathGradientBrush brush(&path);
            brush.SetCenterPoint(Centre);
            brush.SetCenterColor(MakeGdipColor(To));
            TGPColor surround = MakeGdipColor(From);
            int count = 1;
            brush.SetSurroundColors(&surround, count);
            g.FillRectF(&brush, Fill);
        } else {
            TGPLinearGradientBrush brush(Linear, MakeGdipColor(From), MakeGdipColor(To),
                                         static_cast<int>(Kind));
            g.FillRectF(&brush, Fill);
        }
    };

    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(ColorMirror);
    Canvas.FillRect(TRect(R.Left, R.Top + H2, R.Right, R.Bottom));
    half(ColorMirror, ColorMirrorTo, GradientMirror, MakeGdipRectF(R.Left, R.Top + H2, W, H),
         MakeGdipPoint(R.Left + W2, R.Bottom), MakeGdipRectF(R.Left, R.Top + H2, W, H2),
         GradientMirror == ggRadial ? MakeGdipRectF(R.Left + 1, R.Top + H2, W - 1, H2 + 1)
                                    : MakeGdipRectF(R.Left + 1, R.Top + H2 + 1, W - 1, H2 + 1));

    Canvas.Brush()->SetColor(Color);
    Canvas.FillRect(TRect(R.Left, R.Top, R.Right, R.Top + H2));
    const int upper = H2 + (H % 2);
    half(Color, ColorTo, Gradient, MakeGdipRectF(R.Left, R.Top - H2, W, H), MakeGdipPoint(R.Left + W2, R.Top),
         Gradient == ggVertical ? MakeGdipRectF(R.Left, R.Top, W, H2) : MakeGdipRectF(R.Left, R.Top, W, H),
         MakeGdipRectF(R.Left + 1, R.Top + 1, W - 1, H - upper - 1));

    if (BorderColor != clNone) {
        TGPPen pen(MakeGdipColor(BorderColor), 1);
        if (RoundEdges)
            DrawRoundRectPath(g, pen, R.Left, R.Top, W - 1, H - 1, 3);
        else
            DrawRectPath(g, pen, R.Left, R.Top, W - 1, H - 1);
    }
    if (Focus) {
        TGPPen outer(MakeGdipColor(0xE4AD89), 1);
        DrawRoundRectPath(g, outer, R.Left + 1, R.Top + 1, W - 3, H - 3, 3);
        TGPPen inner(MakeGdipColor(0x808080), 1);
        inner.SetDashStyle(aadsDot);
        DrawRoundRectPath(g, inner, R.Left + 2, R.Top + 2, W - 5, H - 5, 3);
    }
    if (!Caption.empty()) {
        if (AntiAlias == aaNone) {
            TRect r = R;
            Canvas.Brush()->SetStyle(bsClear);
            Canvas.Font()->SetColor(Enabled ? Font.Color() : TColor(0x808080));
            Canvas.TextRect(r, Caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        } else {
            const TGdipFont font(Font, false);
            TGPStringFormat format(0);
            format.SetAlign(1);
            format.SetLineAlign(1);
            format.SetHotkeyPrefix(1);
            TGPSolidBrush brush(MakeGdipColor(Enabled ? Font.Color() : TColor(0x808080)));
            ApplyAntiAlias(g, AntiAlias);
            g.DrawString(Caption, -1, font.Object.get(), MakeGdipRectF(R.Left, R.Top, W, H), &format, &brush);
        }
    }
    Canvas.Brush()->SetStyle(bsClear);
}

// ---- Button looks ---------------------------------------------------------------------------------------

TButtonFace ButtonFaceOf(const TButtonAppearance& A, TButtonFaceLook Look) {
    switch (Look) {
    case flHot:
        return {A.ColorHot(), A.ColorHotTo(), A.BorderHotColor(), A.CaptionTextColorHot(),
                A.GradientDirectionHot()};
    case flDown:
        return {A.ColorDown(), A.ColorDownTo(), A.BorderDownColor(), A.CaptionTextColorDown(),
                A.GradientDirectionDown()};
    case flChecked:
        return {A.ColorChecked(), A.ColorCheckedTo(), A.BorderCheckedColor(), A.CaptionTextColorChecked(),
                A.GradientDirectionChecked()};
    case flNormal:
        break;
    }
    return {A.Color(), A.ColorTo(), A.BorderColor(), A.CaptionTextColor(), A.GradientDirection()};
}

void PaintButtonFace(TCanvas& Canvas, const TRect& R, const TButtonFace& Face, int Steps) {
    if (Face.Color != clNone) {
        if (Face.ColorTo != clNone) {
            DrawBandGradient(Canvas, Face.Color, Face.ColorTo, Steps, R, Face.Direction == gdHorizontal);
        } else {
            Canvas.Brush()->SetStyle(bsSolid);
            Canvas.Brush()->SetColor(Face.Color);
            Canvas.FillRect(R);
        }
    }
    if (Face.Border != clNone) {
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Brush()->SetColor(Face.Border);
        Canvas.FrameRect(R);
    }
}

// ---- Keyboard navigation --------------------------------------------------------------------------------

void RemoveUnfocusableControls(TDbgList<TControl>* List) {
    if (!List)
        return;
    for (int i = 0; i < List->Count();) {
        TControl* c = (*List)[i];
        auto* windowed = dynamic_cast<TWinControl*>(c);
        const bool drop = c && (dynamic_cast<THintWindow*>(c) || IsOfClassNamed(c, "TKvxToolBarContainer") ||
                                (windowed && !windowed->CanFocus()));
        if (drop)
            List->Delete(i);
        else
            ++i;
    }
}

} // namespace ui::toolbar
