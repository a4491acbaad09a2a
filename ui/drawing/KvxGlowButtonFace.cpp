// The glow-button face: two glowing halves, border, focus mark, caption, notes, glyph and drop-down
// arrow, drawn through the anti-aliased layer and the canvas; and the colour routines around it.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/TextLayout.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/ImageList.h"
#include "ui/drawing/KvxGlowButton.h"

namespace ui {

using plat::TColor;
using plat::TPoint;
using plat::TRect;

namespace {

int Channel(TColor c, int shift) {
    return (c >> shift) & 0xFF;
}

TColor FromChannels(int r, int g, int b) {
    return plat::RGB(r, g, b);
}

int RoundInt(double v) {
    return static_cast<int>(plat::Round(v));
}

int DarkenChannel(int c, int percent) {
    if (c == 0)
        return std::max(0, percent);
    return RoundInt(c * std::min(100, 100 + percent) / 100.0);
}

} // namespace

TColor MixColors(TColor Color1, TColor Color2, int Percent) {
    if (Percent >= 100)
        return Color1;
    if (Percent <= 0)
        return Color2;
    const double p = Percent / 100.0;
    auto mix = [&](int shift) {
        return RoundInt(p * Channel(Color1, shift) + (1 - p) * Channel(Color2, shift));
    };
    return FromChannels(mix(0), mix(8), mix(16));
}

TColor DarkenColorRGB(TColor Color, int PercentR, int PercentG, int PercentB) {
    const TColor c = plat::ColorToRGB(Color);
    return FromChannels(DarkenChannel(plat::GetRValue(c), PercentR),
                        DarkenChannel(plat::GetGValue(c), PercentG),
                        DarkenChannel(plat::GetBValue(c), PercentB));
}

TColor DarkenColor(TColor Color, int Percent) {
    return DarkenColorRGB(Color, Percent, Percent, Percent);
}

void FillBandGradient(plat::TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                      bool Horizontal) {
    if (Steps <= 0)
        Steps = 1;
    const TColor from = plat::ColorToRGB(FromColor), to = plat::ColorToRGB(ToColor);
    const int extent = Horizontal ? R.Width() : R.Height();
    for (int i = 0; i < Steps; ++i) {
        auto band = [&](int shift) {
            return Channel(from, shift) +
                   RoundInt(double(i) * (Channel(to, shift) - Channel(from, shift)) / Steps);
        };
        const TColor c = FromChannels(band(0), band(8), band(16));
        Canvas->Pen()->SetColor(c);
        Canvas->Brush()->SetColor(c);
        const int start = RoundInt(double(i) * extent / Steps);
        const int end = start + RoundInt(double(extent) / Steps) + 1;
        if (Horizontal)
            Canvas->Rectangle(R.Left + start, R.Top, R.Left + end, R.Bottom);
        else
            Canvas->Rectangle(R.Left, R.Top + start, R.Right, R.Top + end);
    }
}

void DrawDropDownArrow(plat::TCanvas* Canvas, TPoint P, TColor Color, bool Down, TColor ShadowColor) {
    const int x = P.X, y = P.Y;
    Canvas->Pen()->SetColor(Color);
    if (Down) {
        Canvas->MoveTo(x, y);
        Canvas->LineTo(x + 5, y);
        Canvas->MoveTo(x + 1, y + 1);
        Canvas->LineTo(x + 4, y + 1);
        Canvas->SetPixels(x + 2, y + 2, Color);
        for (TPoint s : {TPoint(x, y + 1), TPoint(x + 4, y + 1), TPoint(x + 1, y + 2), TPoint(x + 3, y + 2),
                         TPoint(x + 2, y + 3)})
            Canvas->SetPixels(s.X, s.Y, ShadowColor);
    } else {
        Canvas->MoveTo(x, y);
        Canvas->LineTo(x, y + 5);
        Canvas->MoveTo(x + 1, y + 1);
        Canvas->LineTo(x + 1, y + 4);
        Canvas->SetPixels(x + 2, y + 2, Color);
        for (TPoint s : {TPoint(x + 2, y + 1), TPoint(x + 1, y + 4), TPoint(x + 3, y + 2)})
            Canvas->SetPixels(s.X, s.Y, ShadowColor);
    }
}

void DrawGlowEllipse(TGPGraphics& Graphics, const TRect& P, TColor Color1, TColor Color2, TGDIPGradient Kind,
                     bool Upper) {
    const int w = P.Width(), h = P.Height();
    TGPSolidBrush base(MakeGdipColor(Upper ? Color1 : Color2));
    Graphics.FillRectangle(&base, float(P.Left), float(P.Top), float(w), float(h));
    // The box is given by P's right and bottom rather than its size, which for an upper half at the origin
    // centres the glow just below the top edge and lets the lower one reach past the bottom.
    TGPGraphicsPath path;
    path.AddEllipse(float(P.Left), float(Upper ? P.Top - h / 2 + 2 : P.Top), float(P.Right), float(P.Bottom));
    if (Kind == ggRadial) {
        TGPPathGradientBrush glow(&path);
        glow.SetCenterPoint(MakeGdipPoint(P.Left + w / 2, Upper ? P.Top : P.Bottom));
        glow.SetCenterColor(MakeGdipColor(Upper ? Color2 : Color1));
        TGPColor surround = MakeGdipColor(Upper ? Color1 : Color2);
        int count = 1;
        glow.SetSurroundColors(&surround, count);
        Graphics.FillRectangle(&glow, float(P.Left), float(P.Top), float(w), float(h));
    } else {
        TGPLinearGradientBrush linear(MakeGdipRectF(float(P.Left), float(P.Top), float(w), float(h)),
                                      MakeGdipColor(Color1), MakeGdipColor(Color2), int(Kind));
        Graphics.FillRectangle(&linear, float(P.Left), float(P.Top), float(w), float(h));
    }
}

namespace {

// The rounded outline of the border and of the focus mark; with Radius 0 the arcs have no size.
void AddRoundRect(TGPGraphicsPath& path, float X, float Y, float W, float H, float r) {
    const float d = 2 * r;
    path.AddLine(X + r, Y, X + W - d, Y);
    path.AddArc(X + W - d, Y, d, d, 270, 90);
    path.AddLine(X + W, Y + r, X + W, Y + H - d);
    path.AddArc(X + W - d, Y + H - d, d, d, 0, 90);
    path.AddLine(X + W - d, Y + H, X + r, Y + H);
    path.AddArc(X, Y + H - d, d, d, 90, 90);
    path.AddLine(X, Y + H - d, X, Y + r);
    path.AddArc(X, Y, d, d, 180, 90);
    path.CloseFigure();
}

} // namespace

void DrawGlowRoundRect(TGPGraphics& Graphics, TColor Color, int X, int Y, int W, int H, int Radius) {
    TGPPen pen(MakeGdipColor(Color), 1);
    if (Radius == 0) {
        Graphics.DrawRectangle(&pen, float(X), float(Y), float(W), float(H));
        return;
    }
    TGPGraphicsPath path;
    AddRoundRect(path, float(X), float(Y), float(W), float(H), float(Radius));
    Graphics.DrawPath(&pen, &path);
}

void DrawGlowFocusRect(TGPGraphics& Graphics, TColor Color, int X, int Y, int W, int H, int Radius) {
    TGPPen pen(MakeGdipColor(Color), 1);
    pen.SetDashStyle(plat::aadsDot);
    TGPGraphicsPath path;
    AddRoundRect(path, float(X), float(Y), float(W), float(H), float(Radius));
    Graphics.DrawPath(&pen, &path);
}

namespace {

void DrawSideEdge(TGPGraphics& g, TColor Color, int X, int Y, int Hb, bool HotOrDown) {
    if (HotOrDown) {
        TGPPen pen(MakeGdipColor(DarkenColor(Color, -5)), 1);
        g.DrawLine(&pen, float(X), float(Y), float(X), float(Y + Hb));
    } else {
        TGPPen pen(MakeGdipColor(DarkenColor(0xFFFFFF, -10)), 1);
        g.DrawLine(&pen, float(X), float(Y + 2), float(X), float(Y + Hb - 2));
    }
}

void DrawRightEdge(TGPGraphics& g, TColor Color, int X, int Y, int Wb, int Hb) {
    TGPPen pen(MakeGdipColor(DarkenColor(Color, -5)), 1);
    g.DrawLine(&pen, float(X + Wb), float(Y), float(X + Wb), float(Y + Hb));
}

} // namespace

void DrawLeftButtonBorder(TGPGraphics& Graphics, TColor Color, int X, int Y, int Wb, int Hb, int Radius) {
    const float r = float(Radius), d = 2 * r;
    TGPGraphicsPath path;
    path.AddLine(float(X + Wb), float(Y + Hb), X + r, float(Y + Hb));
    path.AddArc(float(X), Y + Hb - d, d, d, 90, 90);
    path.AddLine(float(X), Y + Hb - r, float(X), Y + r);
    path.AddArc(float(X), float(Y), d, d, 180, 90);
    path.AddLine(X + r, float(Y), float(X + Wb), float(Y));
    TGPPen pen(MakeGdipColor(Color), 1);
    Graphics.DrawPath(&pen, &path);
    DrawRightEdge(Graphics, Color, X, Y, Wb, Hb);
}

void DrawMiddleButtonBorder(TGPGraphics& Graphics, TColor Color, int X, int Y, int Wb, int Hb,
                            bool HotOrDown) {
    TGPPen pen(MakeGdipColor(Color), 1);
    Graphics.DrawLine(&pen, float(X - 1), float(Y + Hb), float(X + Wb), float(Y + Hb));
    Graphics.DrawLine(&pen, float(X - 1), float(Y), float(X + Wb), float(Y));
    DrawRightEdge(Graphics, Color, X, Y, Wb, Hb);
    DrawSideEdge(Graphics, Color, X, Y, Hb, HotOrDown);
}

void DrawRightButtonBorder(TGPGraphics& Graphics, TColor Color, int X, int Y, int Wb, int Hb, int Radius,
                           bool HotOrDown) {
    const float r = float(Radius), d = 2 * r;
    TGPGraphicsPath path;
    path.AddLine(float(X), float(Y), X + Wb - d, float(Y));
    path.AddArc(X + Wb - d, float(Y), d, d, 270, 90);
    path.AddLine(float(X + Wb), Y + r, float(X + Wb), Y + Hb - d);
    path.AddArc(X + Wb - d, Y + Hb - d, d, d, 0, 90);
    path.AddLine(X + Wb - r, float(Y + Hb), float(X), float(Y + Hb));
    TGPPen pen(MakeGdipColor(Color), 1);
    Graphics.DrawPath(&pen, &path);
    DrawSideEdge(Graphics, Color, X, Y, Hb, HotOrDown);
}

void DrawGDIPPictureRect(plat::TCanvas* Canvas, const TRect& R, TGDIPPicture* Picture) {
    std::unique_ptr<TGPImage> image = Picture->CreateImage();
    if (!image)
        return;
    if (image->GetFormat() == rfMemoryBMP) {
        plat::TBitmap bitmap;
        plat::TMemoryStream bytes;
        bytes.Write(Picture->Data().data(), static_cast<int64_t>(Picture->Data().size()));
        bytes.SetPosition(0);
        bitmap.LoadFromStream(bytes);
        bitmap.SetTransparentMode(plat::tmAuto);
        bitmap.SetTransparent(true);
        Canvas->StretchDraw(R, &bitmap);
        return;
    }
    TGPGraphics g(*Canvas);
    g.DrawImageRect(image.get(), R.Left, R.Top, R.Width(), R.Height());
}

namespace {

enum TTextMode { tmGdi, tmGdiPlus };

std::string NotesText(plat::TStrings* Notes) {
    std::string text;
    if (!Notes)
        return text;
    for (int i = 0; i < Notes->Count(); ++i) {
        if (i)
            text += '\n';
        text += Notes->Strings(i);
    }
    return text;
}

// Bold 1, italic 2, underline 4; strike-out is not passed on.
int FontStyleBits(const plat::TFont* Font) {
    return Font->Style() & (plat::fsBold | plat::fsItalic | plat::fsUnderline);
}

bool GlyphSizeSet(TPoint s) {
    return s.X > 0 && s.Y > 0;
}

} // namespace

TPoint DrawGlowButtonFace(plat::TCanvas* Canvas, const TGlowFaceParams& P) {
    const TRect& R = P.R;
    TPoint Size(0, 0);
    TGPGraphics g(*Canvas);

    // Zones.
    TRect R2 = R;
    TRect DDR = P.DropDownPosition == dpRight ? TRect(R.Right - 13, R.Top, R.Right, R.Bottom)
                                              : TRect(R.Left, R.Bottom - 13, R.Right, R.Bottom);
    if (P.DropDownButton) {
        if (P.DropDownPosition == dpRight)
            R2.Right = DDR.Left;
        else
            R2.Bottom = DDR.Top;
    }
    const std::string notes = NotesText(P.Notes);
    const bool hasNotes = !notes.empty();
    const TButtonLayout layout = hasNotes ? blGlyphLeftAdjusted : P.Layout;
    const int H2 = R.Height() / 2;
    int W = R2.Width(), H = R2.Height();
    const int radius = P.Rounded ? 3 : 0;
    const TGlowLook& L = P.Look;

    // Background.
    if (!P.SkipBackground) {
        auto upper = [&](const TRect& part, bool darker, bool radial) {
            DrawGlowEllipse(g, part, darker ? DarkenColor(L.Color, -10) : L.Color,
                            darker ? DarkenColor(L.ColorTo, -10) : L.ColorTo, radial ? ggRadial : L.Gradient,
                            true);
        };
        auto lower = [&](const TRect& part, bool darker) {
            DrawGlowEllipse(g, part, darker ? DarkenColor(L.ColorMirrorTo, -10) : L.ColorMirrorTo,
                            darker ? DarkenColor(L.ColorMirror, -10) : L.ColorMirror, L.GradientMirror,
                            false);
        };
        if (P.DropDownButton && P.SplitLook && P.DropDownSplit) {
            const bool dropHot = P.DropDownState == 2;
            if (P.DropDownPosition == dpRight) {
                lower(TRect(R.Left, R.Top + H2 - 1, R.Right - 12, R.Bottom), !dropHot);
                upper(TRect(R.Left, R.Top, R.Right - 12, R.Bottom - H2), !dropHot, false);
                upper(TRect(R.Right - 12, R.Top, R.Right, R.Bottom - H2), dropHot, !dropHot);
                lower(TRect(R.Right - 12, R.Top + H2 - 1, R.Right, R.Bottom), dropHot);
            } else {
                const int D = (R.Height() - 12) / 2;
                lower(TRect(R.Left, R.Top + D - 1, R.Right, R.Bottom - 12), !dropHot);
                upper(TRect(R.Left, R.Top, R.Right, R.Bottom - 12 - D), !dropHot, false);
                upper(TRect(R.Left, R.Bottom - 12, R.Right, R.Bottom), dropHot, !dropHot);
            }
        } else {
            lower(TRect(R.Left, R.Top + H2 - 1, R.Right, R.Bottom), false);
            upper(TRect(R.Left, R.Top, R.Right, R.Bottom - H2), false, false);
        }
    }

    // Smoothing from here on.
    g.SetSmoothingMode(plat::aasmAntiAlias);

    // Border.
    const int X = R.Left, Y = R.Top, Wb = R.Right - 1, Hb = R.Bottom - 1;
    if (!P.SkipBackground && P.SingleBorder) {
        switch (P.Position) {
        case bpStandalone:
            DrawGlowRoundRect(g, L.BorderColor, X, Y, Wb, Hb, radius);
            break;
        case bpLeft:
            DrawLeftButtonBorder(g, L.BorderColor, X, Y, Wb, Hb, radius);
            break;
        case bpMiddle:
            DrawMiddleButtonBorder(g, L.BorderColor, X, Y, Wb, Hb, P.Hot || P.Down);
            break;
        case bpRight:
            DrawRightButtonBorder(g, L.BorderColor, X, Y, Wb, Hb, radius, P.Hot || P.Down);
            break;
        }
    }

    // Focus mark.
    if (P.FocusBorder) {
        DrawGlowRoundRect(g, 0xE4AD89, X + 1, Y + 1, R.Right - 3, R.Bottom - 3, radius);
        DrawGlowFocusRect(g, 0x808080, X + 2, Y + 2, R.Right - 5, R.Bottom - 5, radius);
    }

    // Fonts and glyph size.
    plat::TFont* font = P.Font ? P.Font : Canvas->Font();
    plat::TFont* notesFont = P.NotesFont ? P.NotesFont : font;
    auto family = CreateGdipFontFamily(font->Name());
    auto notesFamily = CreateGdipFontFamily(notesFont->Name());
    int GlyphW = 0, GlyphH = 0;
    const bool overlayUsed =
        P.Overlay && !P.Overlay->Empty() && P.Overlay->Width() > 1 && P.Overlay->Height() > 1;
    const bool pictureUsed = !overlayUsed && P.Picture && !P.Picture->Empty();
    if (overlayUsed || pictureUsed) {
        if (overlayUsed) {
            GlyphW = P.Overlay->Width();
            GlyphH = P.Overlay->Height();
        } else {
            P.Picture->MeasureImage();
            GlyphW = P.Picture->Width();
            GlyphH = P.Picture->Height();
        }
        if (GlyphSizeSet(P.GlyphSize)) {
            GlyphW = P.GlyphSize.X;
            GlyphH = P.GlyphSize.Y;
        }
    } else if (P.ImageIndex > -1 && P.Images) {
        GlyphW = P.Images->Width();
        GlyphH = P.Images->Height();
    }
    const int glyphW = GlyphW, glyphH = GlyphH; // without the spacing, for a glyph drawn alone
    std::string caption = P.Caption;
    const bool hasCaption = !P.Caption.empty() || !P.WideCaption.empty();
    if (P.DrawCaption && hasCaption) {
        if (GlyphW > 0 && (layout == blGlyphLeft || layout == blGlyphLeftAdjusted))
            GlyphW += P.Spacing;
        if (GlyphH > 0 && (layout == blGlyphTop || layout == blGlyphTopAdjusted))
            GlyphH += P.Spacing;
    }
    Size = TPoint(GlyphW, GlyphH);

    int GX = 0, GY = 0;
    double MidY = 0;
    if (hasCaption) {
        // Caption set-up and measuring. A line break stands for the two characters unless the glyph
        // has a fixed size, where the caption stays on one line.
        caption = plat::StringReplace(caption, "\\n", GlyphSizeSet(P.GlyphSize) ? " " : "\n",
                                      plat::rfReplaceAll | plat::rfIgnoreCase);
        const std::string& text = caption.empty() ? P.WideCaption : caption;
        Canvas->Font()->SetName(font->Name());
        // Every font of the platform is an outline font; one whose family the layer cannot find takes
        // the GDI path, which maps it itself.
        const bool outline = TGPFontFamily(font->Name()).GetLastStatus() == TGPStatus::Ok;
        const TTextMode mode = P.AntiAlias != aaNone && outline ? tmGdiPlus : tmGdi;
        TGPFont gpFont(family.get(), float(font->Size()), FontStyleBits(font), plat::aauPoint);
        TGdipRectF LR = MakeGdipRectF(float(R.Left), float(R.Top), float(W), float(H));
        if (P.MeasureOnly)
            LR.Width = LR.Height = 4096;
        TGPStringFormat format(P.WordWrap ? 0 : plat::aasfNoWrap);
        format.SetAlign(layout == blGlyphLeftAdjusted    ? plat::aasaNear
                        : layout == blGlyphRightAdjusted ? plat::aasaFar
                                                         : plat::aasaCenter);
        format.SetLineAlign(layout == blGlyphTopAdjusted      ? plat::aasaNear
                            : layout == blGlyphBottomAdjusted ? plat::aasaFar
                                                              : plat::aasaCenter);
        format.SetHotkeyPrefix(plat::aahpShow);
        format.SetTrimming(P.Trimming);
        TGPSolidBrush textBrush(MakeGdipColor(P.Enabled ? font->Color() : TColor(0x808080)));
        ApplyAntiAlias(g, P.AntiAlias);

        double TX = 0, TY = 0, TextW = 0, TextH = 0, NotesW = 0, NotesH = 0;
        if (mode == tmGdi) {
            Canvas->Font()->Assign(font);
            TRect TR(RoundInt(LR.X), RoundInt(LR.Y), RoundInt(LR.X) + (P.WordWrap ? 4096 : 2),
                     RoundInt(LR.Y));
            const int ret =
                plat::DrawText(*Canvas->Handle(), text, TR,
                               plat::DT_CALCRECT | (P.WordWrap ? plat::DT_WORDBREAK : plat::DT_SINGLELINE));
            TextW = TR.Width();
            TextH = ret - TR.Top;
            MidY = (ret + RoundInt(LR.Height)) / 2;
            if (hasNotes) {
                Canvas->Font()->Assign(notesFont);
                TRect NR(RoundInt(LR.X), RoundInt(LR.Y), RoundInt(LR.X) + 2, RoundInt(LR.Y));
                const int nret =
                    plat::DrawText(*Canvas->Handle(), notes, NR, plat::DT_CALCRECT | plat::DT_WORDBREAK);
                NotesW = NR.Width();
                NotesH = nret - NR.Top;
                Canvas->Font()->Assign(font);
            }
            if (layout == blGlyphLeft) {
                TX = (W - TextW - GlyphW) / 2;
                TY = TR.Top;
            } else if (layout == blGlyphTop) {
                TX = TR.Left;
                TY = (H - int(TextH) - GlyphH - 2) / 2;
            } else {
                TX = TR.Left;
                TY = TR.Top;
            }
            TX = std::trunc(TX);
        } else {
            TGdipRectF box;
            g.MeasureString(text, -1, &gpFont, LR, &format, box);
            TX = box.X;
            TY = box.Y;
            TextW = box.Width;
            TextH = box.Height;
            MidY = RoundInt(TY + TextH);
            if (hasNotes) {
                TGPFont nf(notesFamily.get(), float(notesFont->Size()), FontStyleBits(notesFont),
                           plat::aauPoint);
                TGdipRectF nbox;
                g.MeasureString(notes, -1, &nf, LR, &format, nbox);
                NotesW = nbox.Width;
                NotesH = nbox.Height;
            }
        }

        const int Sp = P.Spacing;
        const int tw = RoundInt(TextW), th = RoundInt(TextH), nw = RoundInt(NotesW), nh = RoundInt(NotesH);
        switch (layout) {
        case blGlyphTop:
        case blGlyphBottom:
        case blGlyphTopAdjusted:
        case blGlyphBottomAdjusted:
            Size = TPoint(std::max(GlyphW + Sp, tw + Sp), th + GlyphH + Sp);
            break;
        case blGlyphLeftAdjusted:
            Size = TPoint(std::max(tw, nw) + GlyphW + Sp, std::max(GlyphH + Sp, th + Sp + nh));
            break;
        case blGlyphLeft:
        case blGlyphRight:
        case blGlyphRightAdjusted:
            if (mode == tmGdi)
                Size = TPoint(tw + GlyphW + Sp, std::max(GlyphH + Sp, th + Sp));
            else
                Size = TPoint(std::max(tw, nw) + GlyphW + Sp, std::max(GlyphH + Sp, th + Sp + nh));
            break;
        }
        if (P.MeasureOnly)
            return Size;

        // Caption rectangle and glyph position.
        const int vCentre = R.Top + std::max(0, (H - GlyphH) / 2);
        const int hCentre = R.Left + std::max(0, (W - GlyphW) / 2);
        switch (layout) {
        case blGlyphLeft:
        case blGlyphLeftAdjusted:
            if (layout == blGlyphLeft && mode == tmGdi) {
                LR.X = float(TX + GlyphW);
                GX = std::max(2, RoundInt(TX));
            } else {
                LR.X = float(R.Left + 2 + GlyphW);
                GX = std::max(2, RoundInt(TX - GlyphW / 2));
            }
            LR.Width = float(W - 2 - GlyphW);
            GY = vCentre;
            break;
        case blGlyphTop:
        case blGlyphTopAdjusted:
            LR.Y = float(R.Top + GlyphH);
            LR.Height = float(H - 2 - GlyphH);
            GX = hCentre;
            if (layout == blGlyphTop)
                GY = std::max(0, RoundInt(LR.Height - TextH) / 2) + RoundInt(LR.Y) - GlyphH -
                     (mode == tmGdi ? 4 : 0);
            else
                GY = R.Top;
            GY = std::max(2, GY);
            break;
        case blGlyphRight:
        case blGlyphRightAdjusted:
            LR.X = 2;
            LR.Width = float(W - 4 - GlyphW);
            if (layout == blGlyphRightAdjusted) {
                GX = W - GlyphW - 2;
            } else {
                GX = std::max(0, RoundInt(LR.Width - TextW) / 2) + RoundInt(TextW) + 4;
                if (GX > W - GlyphW)
                    GX = W - GlyphW - 2;
            }
            GY = vCentre;
            break;
        case blGlyphBottom:
            LR.Y = 2;
            LR.Height = float(H - 2 - GlyphH);
            GX = hCentre;
            GY = std::max(0, RoundInt(LR.Height - TextH) / 2) + RoundInt(TextH + (mode == tmGdi ? 5 : 2));
            if (GY > H - GlyphH)
                GY = H - GlyphH - 2;
            break;
        case blGlyphBottomAdjusted:
            LR.Y = 2;
            GX = hCentre;
            if (mode == tmGdi) {
                LR.Height = float(H - 4 - GlyphH);
                GY = H - GlyphH - 2;
            } else {
                LR.Height = float(H - 2 - GlyphH);
                GY = std::max(0, H / 2) + RoundInt(TextH + 2);
                if (GY > H - GlyphH)
                    GY = H - GlyphH - 2;
            }
            break;
        }
        if (P.CaptionOverFace) {
            LR = MakeGdipRectF(float(R.Left), float(R.Top), float(R.Right), float(R.Bottom));
            if (P.DrawGlyph && overlayUsed)
                Canvas->Draw(GX, GY, P.Overlay);
        }

        // Caption and notes.
        if (P.DrawCaption) {
            if (mode == tmGdi) {
                TRect TR(RoundInt(LR.X), RoundInt(LR.Y), RoundInt(LR.X) + RoundInt(LR.Width),
                         RoundInt(LR.Y) + RoundInt(LR.Height));
                Canvas->Brush()->SetStyle(plat::bsClear);
                const uint32_t base = P.WordWrap ? plat::DT_WORDBREAK : plat::DT_SINGLELINE;
                uint32_t flags = base;
                switch (layout) {
                case blGlyphLeft:
                    flags |= plat::DT_VCENTER | plat::DT_LEFT;
                    break;
                case blGlyphLeftAdjusted:
                    TR.Left += 2;
                    if (hasNotes)
                        TR.Top = (TR.Height() - th - nh) / 2;
                    else
                        flags |= plat::DT_VCENTER;
                    break;
                case blGlyphTop:
                case blGlyphRight:
                case blGlyphBottom:
                    flags |= plat::DT_CENTER | plat::DT_VCENTER;
                    break;
                case blGlyphTopAdjusted:
                    flags |= plat::DT_CENTER;
                    break;
                case blGlyphRightAdjusted:
                    flags |= plat::DT_VCENTER | plat::DT_RIGHT;
                    break;
                case blGlyphBottomAdjusted:
                    flags |= plat::DT_BOTTOM | plat::DT_CENTER;
                    break;
                }
                Canvas->Font()->Assign(font);
                if (!P.Enabled)
                    Canvas->Font()->SetColor(0x808080);
                TRect DR = TR;
                if (P.WordWrap) {
                    TRect calc = TR;
                    const int h = plat::DrawText(*Canvas->Handle(), text, calc, flags | plat::DT_CALCRECT);
                    switch (layout) {
                    case blGlyphTop:
                        DR.Top = GY + GlyphH;
                        DR.Top += (DR.Bottom - DR.Top - h) / 2;
                        break;
                    case blGlyphTopAdjusted:
                        break;
                    case blGlyphBottomAdjusted:
                        DR.Top = DR.Bottom - h;
                        break;
                    default:
                        DR.Top = (DR.Bottom - DR.Top - h) / 2;
                        break;
                    }
                }
                plat::DrawText(*Canvas->Handle(), text, DR, flags);
                if (hasNotes) {
                    DR.Top += th;
                    DR.Bottom = DR.Top + nh;
                    Canvas->Font()->Assign(notesFont);
                    plat::DrawText(*Canvas->Handle(), notes, DR, flags);
                }
            } else {
                if (hasNotes) {
                    format.SetLineAlign(plat::aasaNear);
                    LR.Y += (LR.Height - th - nh) / 2;
                }
                g.DrawString(text, -1, &gpFont, LR, &format, &textBrush);
                if (hasNotes) {
                    LR.Y += th;
                    TGPFont nf(notesFamily.get(), float(notesFont->Size()), FontStyleBits(notesFont),
                               plat::aauPoint);
                    TGPSolidBrush nb(MakeGdipColor(notesFont->Color()));
                    g.DrawString(notes, -1, &nf, LR, &format, &nb);
                }
            }
        }
    } else if (P.MeasureOnly) {
        return Size;
    }

    // Glyph.
    if (P.DrawGlyph && !P.CaptionOverFace) {
        if (P.DropDownButton) {
            if (P.DropDownPosition == dpRight)
                W -= 8;
            else
                H -= 8;
        }
        if (!hasCaption) {
            GX = R.Left + std::max(0, (W - glyphW) / 2);
            GY = R.Top + std::max(0, (H - glyphH) / 2);
        }
        if (overlayUsed) {
            if (GlyphSizeSet(P.GlyphSize)) {
                P.Overlay->SetTransparent(true);
                Canvas->StretchDraw(plat::Bounds(GX, GY, P.GlyphSize.X, P.GlyphSize.Y), P.Overlay);
            } else {
                Canvas->Draw(GX, GY, P.Overlay);
            }
        } else if (pictureUsed) {
            if (GlyphSizeSet(P.GlyphSize))
                DrawGDIPPictureRect(Canvas, plat::Bounds(GX, GY, P.GlyphSize.X, P.GlyphSize.Y), P.Picture);
            else
                Canvas->Draw(GX, GY, P.Picture);
        } else if (P.Images && P.ImageIndex != -1) {
            P.Images->Draw(Canvas, GX, GY, P.ImageIndex, P.EnabledImage);
        }
    }

    // Drop-down part.
    if (P.DropDownButton) {
        Canvas->Brush()->SetStyle(plat::bsClear);
        if (P.SplitLook && P.DropDownSplit) {
            Canvas->Pen()->SetColor(L.BorderColor);
            Canvas->MoveTo(DDR.Left, DDR.Top);
            if (P.DropDownPosition == dpRight)
                Canvas->LineTo(DDR.Left, DDR.Bottom);
            else
                Canvas->LineTo(DDR.Right, DDR.Top);
        }
        const int ax = DDR.Left + (DDR.Width() - 5) / 2;
        const int ay = P.DropDownPosition == dpBottom || !hasCaption ? DDR.Top + (DDR.Height() - 3) / 2 + 1
                                                                     : int(MidY) - 8;
        DrawDropDownArrow(Canvas, TPoint(ax, ay), P.Enabled ? plat::clBlack : TColor(0x808080), P.ArrowDown,
                          plat::clWhite);
    }
    return Size;
}

} // namespace ui
