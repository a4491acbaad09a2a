// Painting of the captioned panel: body, border, bevels, background picture, body text, caption bar with
// its buttons and shading, status bar and size grip.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Region.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/ImageList.h"
#include "ui/controls/KvxImage.h"
#include "ui/controls/KvxPanel.h"
#include "ui/controls/XPVisualStyles.h"
#include "ui/markup/MarkupText.h"
#include "ui/markup/PictureContainer.h"

using namespace plat;

namespace ui {

using namespace kvxpanel;

namespace {

int RedOf(TColor c) {
    return c & 0xFF;
}
int GreenOf(TColor c) {
    return (c >> 8) & 0xFF;
}
int BlueOf(TColor c) {
    return (c >> 16) & 0xFF;
}

// Draws the clip of a canvas back to what it was when the guard goes.
class TClipScope {
public:
    explicit TClipScope(TCanvas& Canvas) : FDC(Canvas.Handle()), FLevel(FDC->SaveDC()) {}
    ~TClipScope() { FDC->RestoreDC(FLevel); }
    TClipScope(const TClipScope&) = delete;
    TClipScope& operator=(const TClipScope&) = delete;

private:
    TDeviceContext* FDC;
    int FLevel;
};

void Line(TCanvas& Canvas, int x1, int y1, int x2, int y2) {
    Canvas.MoveTo(x1, y1);
    Canvas.LineTo(x2, y2);
}

} // namespace

TColor TCustomKvxPanel::BlendColor(TColor A, TColor B, int Percent) {
    if (Percent == 100)
        return A;
    const TColor a = ColorToRGB(A), b = ColorToRGB(B);
    const double p = Percent / 100.0;
    auto mix = [&](int ca, int cb) { return static_cast<int>(std::nearbyint(p * ca + (1 - p) * cb)); };
    return RGB(mix(RedOf(a), RedOf(b)), mix(GreenOf(a), GreenOf(b)), mix(BlueOf(a), BlueOf(b)));
}

void TCustomKvxPanel::DrawBandGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, bool Horizontal,
                                       const TRect& Rect, int Steps) {
    if (Steps <= 0)
        Steps = 1;
    const TColor from = ColorToRGB(FromColor), to = ColorToRGB(ToColor);
    const double band = (Horizontal ? Rect.Width() : Rect.Height()) / static_cast<double>(Steps);
    auto channel = [&](int f, int t, int n) {
        return f + static_cast<int>(std::nearbyint(static_cast<double>(n) * (t - f) / Steps));
    };
    for (int n = 0; n < Steps; ++n) {
        const TColor c = RGB(channel(RedOf(from), RedOf(to), n), channel(GreenOf(from), GreenOf(to), n),
                             channel(BlueOf(from), BlueOf(to), n));
        Canvas.Pen()->SetColor(c);
        Canvas.Brush()->SetColor(c);
        Canvas.Brush()->SetStyle(bsSolid);
        const int start = static_cast<int>(std::nearbyint(n * band));
        if (Horizontal) {
            const int l = Rect.Left + start;
            Canvas.FillRect(
                TRect(l, Rect.Top, std::min(Rect.Right, l + static_cast<int>(band) + 1), Rect.Bottom));
        } else {
            const int t = Rect.Top + start;
            Canvas.FillRect(
                TRect(Rect.Left, t, Rect.Right, std::min(Rect.Bottom, t + static_cast<int>(band) + 1)));
        }
    }
}

void TCustomKvxPanel::DrawMirrorGradient(TCanvas& Canvas, const TRect& Rect, TColor Color, TColor ColorTo,
                                         TColor ColorMirror, TColor ColorMirrorTo,
                                         TGradientDirection Direction) {
    TRect first = Rect, second = Rect;
    const bool horizontal = Direction == gdHorizontal;
    if (horizontal)
        first.Right = second.Left = Rect.Left + Rect.Width() / 2;
    else
        first.Bottom = second.Top = Rect.Top + Rect.Height() / 2;
    DrawBandGradient(Canvas, Color, ColorTo, horizontal, first, 128);
    DrawBandGradient(Canvas, ColorMirror, ColorMirrorTo, horizontal, second, 128);
}

// ---- Shade bitmap ---------------------------------------------------------------------------------------

void TCustomKvxPanel::UpdateShade() {
    const bool top = FCaption->Position() == cpTop;
    int w = top ? Width() : FCaption->Height();
    int h = top ? FCaption->Height() : Height();
    if (w <= 0)
        w = top ? 100 : 20;
    if (h <= 0)
        h = top ? 20 : 100;
    FShadeSource = {FCaption->ShadeType(),
                    ColorToRGB(FCaption->Color()),
                    FCaption->ShadeLight(),
                    FCaption->ShadeGrain(),
                    w,
                    h,
                    static_cast<uint32_t>(SystemClock().MonotonicMilliseconds())};
    FShadeStale = true;
    Invalidate();
}

TBitmap* TCustomKvxPanel::ShadeBitmap() {
    if (FShadeStale)
        MakeShade();
    return FShade.get();
}

void TCustomKvxPanel::MakeShade() {
    FShadeStale = false;
    ++FShadesMade;
    const int w = FShadeSource.Width, h = FShadeSource.Height;
    std::mt19937 random(FShadeSource.Seed);
    auto rnd = [&](int n) { return n > 0 ? static_cast<int>(random() % static_cast<uint32_t>(n)) : 0; };

    const TColor base = FShadeSource.Base;
    const int R = RedOf(base), G = GreenOf(base), B = BlueOf(base);
    const int L = FShadeSource.Light & 0xFF;
    auto level = [&](int c) { return RGB((R * c / 255) & 0xFF, (G * c / 255) & 0xFF, (B * c / 255) & 0xFF); };
    auto cube = [](int t) { return (t * t * t / 128) / 128; };

    std::vector<TColor> px(static_cast<size_t>(w) * h, clWhite);
    auto put = [&](int x, int y, TColor c) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            px[static_cast<size_t>(y) * w + x] = c;
    };
    auto blue = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return 255;
        return BlueOf(px[static_cast<size_t>(y) * w + x]);
    };
    auto fill = [&](TColor c) { std::fill(px.begin(), px.end(), c); };

    TShadeType type = FShadeSource.Type;
    const int D = std::abs(w - h);
    // The radial shades divide by the difference of the sides and the hard bump by the height and by
    // a sixth of the width: those sizes get the plain caption colour.
    if (((type == stIRadial || type == stORadial) && D == 0) || (type == stHardBump && (h < 2 || w < 6)))
        type = stNormal;

    switch (type) {
    case stNormal:
    case stXPCaption:
    case stBitmap:
    case stBitmapRStretch:
    case stBitmapLStretch:
        fill(base);
        break;
    case stNoise:
        for (int x = 0; x <= w; ++x)
            for (int y = 0; y <= h; ++y)
                put(x, y, level(L - (rnd(FShadeSource.Grain) + 128) / 2));
        break;
    case stDiagShade:
        for (int x = 0; x <= w; ++x)
            for (int y = 0; y <= h; ++y) {
                const int k = L - blue(x, y) + 129 * x / w + 129 * y / h;
                put(x, y, level(L - k / 2));
            }
        break;
    case stHShade:
    case stHShadeInv:
        for (int x = 0; x <= w; ++x) {
            const TColor c = level(L - ((w - x) * 239 / w + 8) / 2);
            const int col = type == stHShade ? x : w - x;
            for (int y = 0; y <= h; ++y)
                put(col, y, c);
        }
        break;
    case stVShade:
    case stVShadeInv:
        for (int y = 0; y <= h; ++y) {
            const TColor c = level(L - (y * 239 / h + 8) / 4);
            const int row = type == stVShade ? y : h - y;
            for (int x = 0; x <= w; ++x)
                put(x, row, c);
        }
        break;
    case stHBump:
        for (int x = 0; x <= w; ++x) {
            const int t = (w - x) * 255 / w - 127;
            const TColor c = level(L - (cube(t) * 120 / 128 + 128) / 2);
            for (int y = 0; y <= h; ++y)
                put(x, y, c);
        }
        break;
    case stVBump:
        for (int y = 0; y <= h; ++y) {
            const int t = y * 255 / h - 127;
            const TColor c = level(L - (cube(t) * 120 / 128 + 128) / 2);
            for (int x = 0; x <= w; ++x)
                put(x, y, c);
        }
        break;
    case stSoftBump:
        for (int x = 0; x <= w; ++x)
            for (int y = 0; y <= h; ++y) {
                const int ty = y * 255 / h - 127, tx = (w - x) * 255 / w - 127;
                const int lv = std::clamp((cube(ty) + cube(tx)) * 120 / 128 + 128, 8, 247);
                put(x, y, level(L - lv / 2));
            }
        break;
    case stHardBump: {
        for (int y = 0; y <= h; ++y) {
            const int t = y * 255 / h - 127;
            const TColor c = level(L - (cube(t) * 112 / 128 + 128) / 2);
            for (int x = 0; x <= w; ++x)
                put(x, y, c);
        }
        const int e = std::min(16, w / 6);
        const int q = std::max(1, h * h / 4);
        for (int y = 0; y <= h; ++y) {
            const int dy = y - h / 2;
            const int bound = dy * dy * e / q + (w / 2 - e);
            for (int x = 0; x <= w; ++x) {
                const int dx = x - w / 2;
                if (dx > bound)
                    put(x, y, level(L - ((w - x) * 128 / e + 8) / 2));
                else if (dx + bound < 0)
                    put(x, y, level(L - (247 - x * 128 / e) / 2));
            }
        }
        break;
    }
    case stLMetal:
    case stRMetal: {
        for (int s = 0; s < 251; ++s) {
            const int k = rnd(w), l = rnd(h), n = rnd(std::min(w, h) / 2);
            const TColor c = level(L - rnd(40));
            for (int i = 0; i < n; ++i) {
                if (type == stLMetal) {
                    if (k + i < w && l + i < h)
                        put(k + i, l + i, c);
                    if (k - i > 0 && l - i > 0)
                        put(k - i, l - i, c);
                } else {
                    if (k - i > 0 && l + i < h)
                        put(k - i, l + i, c);
                    if (k + i < w && l - i > 0)
                        put(k + i, l - i, c);
                }
            }
        }
        for (int x = 0; x <= w; ++x)
            for (int y = 0; y <= h; ++y) {
                const int k = L - blue(x, y) + 120 * x / w + 120 * y / h;
                put(x, y, level(L - k / 2));
            }
        break;
    }
    case stIRadial:
    case stORadial:
        for (int x = 0; x <= w / 2; ++x)
            for (int y = 0; y <= h / 2; ++y) {
                const double dx = x - w / 2, dy = y - h / 2;
                const int d = static_cast<int>(std::nearbyint(std::sqrt(dx * dx + dy * dy)));
                const int v = type == stIRadial ? D - d : d;
                const TColor c = level(static_cast<int>(std::nearbyint(static_cast<double>(v) / D * L)));
                put(x, y, c);
                put(w - x, h - y, c);
                put(w - x, y, c);
                put(x, h - y, c);
            }
        break;
    }

    FShade->SetPixelFormat(pf32bit);
    FShade->SetSize(w, h);
    // Rows of 32-bit pixels, blue in the low byte.
    for (int y = 0; y < h; ++y) {
        uint8_t* row = FShade->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const TColor c = px[static_cast<size_t>(y) * w + x];
            const uint32_t argb = 0xFF000000u | (static_cast<uint32_t>(RedOf(c)) << 16) |
                                  (static_cast<uint32_t>(GreenOf(c)) << 8) | static_cast<uint32_t>(BlueOf(c));
            std::memcpy(row + 4 * static_cast<size_t>(x), &argb, 4);
        }
    }
}

// ---- Caption shading ------------------------------------------------------------------------------------

void TCustomKvxPanel::DrawCaptionShade(TCanvas& Canvas, TRect Rect) {
    const TShadeType type = FCaption->ShadeType();
    const bool top = FCaption->Position() == cpTop;
    if (type == stXPCaption && IsThemed()) {
        const TThemeApi& api = APXPVS().Api();
        HTHEME theme = api.OpenThemeData(Handle(), "window");
        TRect r = Rect;
        InflateRect(r, 1, 1);
        api.DrawThemeBackground(theme, Canvas.Handle(), 1, 1, r, nullptr);
        api.CloseThemeData(theme);
        return;
    }
    TBitmap* pic = FCaption->Background();
    if (type == stBitmap || type == stBitmapRStretch || type == stBitmapLStretch) {
        if (pic->Empty())
            return;
        const int pw = pic->Width(), ph = pic->Height();
        if (type == stBitmap) {
            Canvas.StretchDraw(Rect, pic);
        } else if (type == stBitmapRStretch) {
            if (top) {
                Canvas.Draw(Rect.Left, Rect.Top, pic);
                Canvas.CopyRect(TRect(pw, Rect.Top, Rect.Right, Rect.Bottom), pic->Canvas(),
                                TRect(pw - 3, 0, pw, ph));
            } else {
                Canvas.Draw(Rect.Left, Rect.Bottom - ph, pic);
                Canvas.CopyRect(TRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom - ph), pic->Canvas(),
                                TRect(0, 0, pw, 3));
            }
        } else if (top) {
            const int d = std::max(0, Width() - pw);
            Canvas.Draw(Rect.Left + d, Rect.Top, pic);
            Canvas.CopyRect(TRect(0, Rect.Top, d, Rect.Bottom), pic->Canvas(), TRect(0, 0, 2, ph));
        } else {
            const int d = std::max(0, Height() - ph);
            Canvas.Draw(Rect.Left, Rect.Top, pic);
            Canvas.CopyRect(TRect(0, Rect.Bottom - d, Rect.Right, Rect.Bottom), pic->Canvas(),
                            TRect(0, ph - 3, pw, ph));
        }
        return;
    }
    if (type == stXPCaption)
        return;

    TRegion region;
    TRect r = Rect;
    switch (FCaption->Shape()) {
    case csRectangle:
        if (!FCaption->Flat()) {
            Canvas.Pen()->SetWidth(1);
            Canvas.Pen()->SetColor(clGray);
            Canvas.MoveTo(r.Left, r.Bottom - 1);
            Canvas.LineTo(r.Right - 1, r.Bottom - 1);
            Canvas.LineTo(r.Right - 1, r.Top);
            Canvas.Pen()->SetColor(clWhite);
            Canvas.LineTo(r.Left, r.Top);
            Canvas.LineTo(r.Left, r.Bottom - 1);
            InflateRect(r, -1, -1);
        }
        region = TRegion(r);
        break;
    case csRounded:
    case csSemiRounded: {
        Canvas.Brush()->SetStyle(bsClear);
        {
            TClipScope clip(Canvas);
            TRegion lower(TRect(r.Left, r.Top + r.Height() / 2, r.Right, r.Bottom));
            Canvas.Handle()->SelectClipRgn(&lower);
            Canvas.Pen()->SetColor(clGray);
            Canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, 32, 32);
        }
        {
            TClipScope clip(Canvas);
            TRegion upper(TRect(r.Left, r.Top, r.Right, r.Bottom - r.Height() / 2));
            Canvas.Handle()->SelectClipRgn(&upper);
            Canvas.Pen()->SetColor(clWhite);
            Canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, 32, 32);
        }
        Canvas.Brush()->SetStyle(bsSolid);
        if (FCaption->Shape() == csRounded) {
            Canvas.Pen()->SetColor(clGray);
            Line(Canvas, r.Left + 16, r.Bottom - 1, r.Right - 16, r.Bottom - 1);
            r.Top += 1;
            region = CreateRoundRectRgn(r.Left, r.Top, r.Right, r.Bottom, 32, 32);
        } else {
            Canvas.Pen()->SetColor(clWhite);
            Canvas.MoveTo((r.Left + r.Right) / 2, r.Top);
            Canvas.LineTo(r.Left, r.Top);
            Canvas.LineTo(r.Left, r.Bottom - 1);
            Canvas.Pen()->SetColor(clGray);
            Canvas.LineTo(r.Right - 16, r.Bottom - 1);
            r.Top += 1;
            r.Left += 1;
            TRegion round = CreateRoundRectRgn(r.Left, r.Top, r.Right, r.Bottom, 32, 32);
            TRegion square(TRect(r.Left, r.Top, r.Right - r.Width() / 2, r.Bottom - 1));
            CombineRgn(region, round, square, RGN_OR);
        }
        break;
    }
    }
    TClipScope clip(Canvas);
    Canvas.Handle()->SelectClipRgn(&region);
    Canvas.Draw(r.Left, r.Top, ShadeBitmap());
}

// ---- Paint ----------------------------------------------------------------------------------------------

bool TCustomKvxPanel::PaintsWholeClient() const {
    if (Color() == clNone || FColorTo == clNone)
        return Color() != clNone;
    return FColorMirror == clNone || FColorMirrorTo != clNone;
}

void TCustomKvxPanel::Paint() {
    TCanvas& target = *Canvas();
    if (!FBuffered) {
        PaintTo(target);
        return;
    }
    if (PaintsWholeClient()) {
        // The window's backing already is an off-screen picture, and a body that covers the client hides
        // whatever was under it, as the bitmap did: a canvas of its own on the same context draws as a
        // fresh bitmap's would and leaves the window's canvas and context as they were.
        TDeviceContext* dc = target.Handle();
        const int saved = dc->SaveDC();
        ScopeGuard restore([&] { dc->RestoreDC(saved); });
        TCanvas canvas(dc);
        canvas.Font()->Assign(Font());
        PaintTo(canvas);
        return;
    }
    const TRect client = ClientRect();
    TBitmap buffer(std::max(1, client.Width()), std::max(1, client.Height()));
    TCanvas& canvas = *buffer.Canvas();
    canvas.Font()->Assign(Font());
    PaintTo(canvas);
    target.Draw(0, 0, &buffer);
}

void TCustomKvxPanel::PaintTo(TCanvas& Canvas) {
    const TRect client = ClientRect();
    const bool top = FCaption->Position() == cpTop;
    const int bw = BevelWidth();

    // Body.
    Canvas.Brush()->SetStyle(bsSolid);
    if (FColorTo == clNone) {
        Canvas.Brush()->SetColor(Color());
        Canvas.FillRect(client);
    } else if (FColorMirror == clNone) {
        DrawBandGradient(Canvas, Color(), FColorTo, FGradientDirection == gdHorizontal, client, 64);
    } else {
        DrawMirrorGradient(Canvas, client, Color(), FColorTo, FColorMirror, FColorMirrorTo,
                           FGradientDirection);
    }

    TRect r = client;
    Canvas.Pen()->SetWidth(1);
    if (FBorderColor != clNone && BorderWidth() != 0) {
        if (FBorderShadow) {
            r.Right -= 2;
            r.Bottom -= 2;
        }
        Canvas.Pen()->SetColor(FBorderColor);
        Canvas.Brush()->SetStyle(bsClear);
        Canvas.Rectangle(r);
        Canvas.Brush()->SetStyle(bsSolid);
        if (FBorderShadow) {
            Canvas.Pen()->SetColor(BlendColor(FBorderColor, clBtnFace, 50));
            Canvas.MoveTo(r.Right, r.Top + 1);
            Canvas.LineTo(r.Right, r.Bottom);
            Canvas.LineTo(r.Left, r.Bottom);
            Canvas.Pen()->SetColor(BlendColor(FBorderColor, clBtnFace, 20));
            Canvas.MoveTo(r.Right + 1, r.Top + 2);
            Canvas.LineTo(r.Right + 1, r.Bottom + 1);
            Canvas.LineTo(r.Left + 1, r.Bottom + 1);
        }
    }
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        const TColor tl = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        const TColor br = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        for (int i = 0; i < bw; ++i) {
            Canvas.Pen()->SetColor(tl);
            Canvas.MoveTo(r.Left, r.Bottom - 1);
            Canvas.LineTo(r.Left, r.Top);
            Canvas.LineTo(r.Right - 1, r.Top);
            Canvas.Pen()->SetColor(br);
            Canvas.LineTo(r.Right - 1, r.Bottom - 1);
            Canvas.LineTo(r.Left - 1, r.Bottom - 1);
            InflateRect(r, -1, -1);
        }
    };
    bevel(BevelOuter());
    if (FBorderColor == clNone) {
        Canvas.Brush()->SetColor(Color());
        Canvas.FrameRect(r);
    }
    bevel(BevelInner());

    // Content.
    TRect content = client;
    if (FCaption->Visible()) {
        if (top)
            content.Top += FCaption->Height() - 2 * bw;
        else
            content.Left += FCaption->Height() - 2 * bw + 2;
    }
    if (FBorderShadow) {
        content.Right -= 2;
        content.Bottom -= 3;
    }
    {
        TClipScope clip(Canvas);
        Canvas.Handle()->IntersectClipRect(content.Left, content.Top, content.Right, content.Bottom);
        if (!FBackground->Empty() && FBackground->Width() > 0 && FBackground->Height() > 0) {
            const int pw = FBackground->Width(), ph = FBackground->Height();
            const int rx = std::max(content.Left, content.Right - content.Left - pw - bw);
            const int by = std::max(content.Top, Height() - ph - bw);
            auto at = [&](int x, int y) { FBackground->Draw(Canvas, TRect(x, y, x + pw, y + ph)); };
            switch (FBackgroundPosition) {
            case bpTopLeft:
                at(content.Left, content.Top);
                break;
            case bpTopRight:
                at(rx, content.Top);
                break;
            case bpBottomLeft:
                at(content.Left, by);
                break;
            case bpBottomRight:
                at(rx, by);
                break;
            case bpTiled:
                for (int y = content.Top; y < Height(); y += ph)
                    for (int x = content.Left; x < Width(); x += pw)
                        at(x, y);
                break;
            case bpStretched:
                FBackground->Draw(Canvas, content);
                break;
            case bpCenter:
                at(rx / 2, by / 2);
                break;
            }
        }
        TRect text = content;
        InflateRect(text, -BorderWidth() - 1, -BorderWidth() - 1);
        text.Left += FIndent;
        text.Top += FTopIndent;
        if (FStatusBar->Visible()) {
            if (top)
                text.Bottom -= FStatusBar->Height();
            else
                text.Right -= FStatusBar->Height();
        }
        Canvas.Font()->Assign(Font());
        TMarkupOptions opt;
        opt.Images = FImages;
        opt.PictureContainer = FPictureContainer;
        opt.PictureCache = FCache.get();
        opt.LineSpacing = FLineSpacing;
        opt.HoverOnly = FHover;
        opt.ShadowColor = FShadowColor;
        opt.HoverFontColor = FHoverFontColor;
        opt.HoverColor = FHoverColor;
        opt.URLColor = FURLColor;
        opt.ShadowOffset = FShadowOffset;
        opt.HoverLinkNumber = FBodyHoverLink;
        opt.X = -1;
        opt.Y = -1;
        if (FTextVAlign != tvaTop) {
            TMarkupOptions measure = opt;
            measure.NoDraw = true;
            TMarkupResult res;
            DrawMarkupText(Canvas, FText, text, measure, res);
            if (res.TotalHeight < text.Height())
                text.Top = FTextVAlign == tvaCenter ? text.Top + (text.Height() - res.TotalHeight) / 2
                                                    : text.Bottom - res.TotalHeight;
        }
        opt.WordWrap = !FEllipsis;
        Canvas.Brush()->SetStyle(bsClear);
        DrawMarkupText(Canvas, FText, text, opt);
        Canvas.Brush()->SetStyle(bsSolid);
    }

    if (FCaption->Visible())
        PaintCaptionBar(Canvas);
    if (FStatusBar->Visible())
        PaintStatusBar(Canvas);

    if (!FCollaps && FCanSize) {
        int R = client.Right, B = client.Bottom;
        if (BevelInner() != bvNone || BevelOuter() != bvNone) {
            R -= 2 * bw;
            B -= 2 * bw;
        }
        if (FBorderShadow) {
            R -= 4;
            B -= 4;
        }
        Canvas.Pen()->SetColor(clGray);
        Canvas.Pen()->SetWidth(2);
        Line(Canvas, R, B - 11, R - 11, B);
        Line(Canvas, R, B - 6, R - 7, B);
        Line(Canvas, R, B - 3, R - 3, B);
        Canvas.Pen()->SetColor(clWhite);
        Canvas.Pen()->SetWidth(1);
        Line(Canvas, R, B - 12, R - 12, B);
        Line(Canvas, R, B - 8, R - 8, B);
        Line(Canvas, R, B - 4, R - 4, B);
    }
    if (OnPaint)
        OnPaint(this, Canvas, client);
}

void TCustomKvxPanel::PaintCaptionBar(TCanvas& Canvas) {
    const bool top = FCaption->Position() == cpTop;
    const bool right = FCaption->ButtonPosition() == cbpRight;
    const int bw = BevelWidth();
    TRect r = ClientRect();
    if (FBorderShadow) {
        r.Left = BorderWidth();
        r.Top = BorderWidth();
        r.Right -= BorderWidth() + 2;
    }
    if (BevelInner() != bvNone || BevelOuter() != bvNone)
        InflateRect(r, -bw, -bw);
    const TColor fill = FCollaps ? FCaption->CloseColor() : FCaption->Color();
    Canvas.Brush()->SetColor(fill);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Pen()->SetColor(fill);
    Canvas.Pen()->SetWidth(1);

    const TShadeType shade = FCaption->ShadeType();
    const TRect band = top ? TRect(r.Left, r.Top, r.Right, r.Top + FCaption->Height() - 2 * bw)
                           : TRect(r.Left, r.Top, r.Left + FCaption->Height() - 2 * bw, r.Bottom);
    const bool themed = IsThemed();
    if (shade != stNormal && (shade != stXPCaption || themed)) {
        DrawCaptionShade(Canvas, band);
    } else if (FCaption->ColorTo() == clNone) {
        TRect b = band;
        if (!top && FBorderShadow)
            b.Bottom -= 3;
        Canvas.FillRect(b);
    } else {
        // Collapsed, a plain caption takes CloseColor; a gradient keeps its two colours.
        DrawBandGradient(Canvas, FCaption->Color(), FCaption->ColorTo(),
                         FCaption->GradientDirection() == gdHorizontal, band, 64);
    }

    const bool xpButtons = shade == stXPCaption && themed;
    auto themeSquare = [&]() {
        if (top && right)
            return TRect(r.Right - 16, r.Top + 4, r.Right - 2, r.Top + 18);
        if (top)
            return TRect(r.Left + 2, r.Top + 4, r.Left + 16, r.Top + 18);
        if (right)
            return TRect(r.Left + 4, r.Top + 2, r.Left + 18, r.Top + 16);
        return TRect(r.Left + 4, r.Bottom - 16, r.Left + 18, r.Bottom - 2);
    };
    auto drawThemed = [&](int part) {
        const TThemeApi& api = APXPVS().Api();
        HTHEME theme = api.OpenThemeData(Handle(), "window");
        api.DrawThemeBackground(theme, Canvas.Handle(), part, 1, themeSquare(), nullptr);
        api.CloseThemeData(theme);
    };
    auto drawGlyph = [&](TBitmap* glyph) {
        glyph->SetTransparent(true);
        if (top && right)
            Canvas.Draw(r.Right - glyph->Width(), r.Top + 2, glyph);
        else if (top)
            Canvas.Draw(r.Left, r.Top + 2, glyph);
        else if (right)
            Canvas.Draw(r.Left + 2, r.Top, glyph);
        else
            Canvas.Draw(r.Left + 2, r.Bottom - glyph->Height(), glyph);
    };
    auto moveEnd = [&](int by) {
        if (top && right)
            r.Right -= by;
        else if (top)
            r.Left += by;
        else if (right)
            r.Top += by;
        else
            r.Bottom -= by;
    };

    if (FCaption->CloseButton()) {
        const bool glyphs = !FCaption->CloseMinGlyph()->Empty() && !FCaption->CloseMaxGlyph()->Empty();
        if (xpButtons) {
            drawThemed(18);
            moveEnd(14);
        } else if (glyphs) {
            TBitmap* g = FCollaps ? FCaption->CloseMinGlyph() : FCaption->CloseMaxGlyph();
            drawGlyph(g);
            moveEnd(top ? g->Width() : g->Height());
        } else {
            const TColor c = FCloseHot && FCaption->CloseButtonHoverColor() != clNone
                                 ? FCaption->CloseButtonHoverColor()
                                 : FCaption->CloseButtonColor();
            Canvas.Pen()->SetColor(c);
            Canvas.Pen()->SetWidth(2);
            if (top && right) {
                Line(Canvas, r.Right - 10, r.Top + 4, r.Right - 4, r.Top + 10);
                Line(Canvas, r.Right - 4, r.Top + 4, r.Right - 10, r.Top + 10);
            } else if (top || right) {
                Line(Canvas, r.Left + 4, r.Top + 4, r.Left + 10, r.Top + 10);
                Line(Canvas, r.Left + 10, r.Top + 4, r.Left + 4, r.Top + 10);
            } else {
                Line(Canvas, r.Left + 4, r.Bottom - 4, r.Left + 10, r.Bottom - 10);
                Line(Canvas, r.Left + 10, r.Bottom - 4, r.Left + 4, r.Bottom - 10);
            }
            Canvas.Pen()->SetWidth(1);
            moveEnd(12);
        }
    }
    if (FCaption->MinMaxButton()) {
        TBitmap* glyph = FCollaps ? FCaption->MaxGlyph() : FCaption->MinGlyph();
        if (xpButtons) {
            drawThemed(FCollaps ? 17 : 15);
        } else if (!glyph->Empty()) {
            drawGlyph(glyph);
        } else {
            const TColor c = FMinMaxHot && FCaption->MinMaxButtonHoverColor() != clNone
                                 ? FCaption->MinMaxButtonHoverColor()
                                 : FCaption->MinMaxButtonColor();
            Canvas.Pen()->SetColor(c);
            Canvas.Brush()->SetColor(c);
            Canvas.Brush()->SetStyle(bsSolid);
            // Collapsed the triangle points down (expand), expanded it points up.
            const int a = FCollaps ? 5 : 8, b = FCollaps ? 8 : 5;
            std::vector<TPoint> tri;
            if (top && right)
                tri = {{r.Right - 10, r.Top + a}, {r.Right - 4, r.Top + a}, {r.Right - 7, r.Top + b}};
            else if (top)
                tri = {{r.Left + 4, r.Top + a}, {r.Left + 10, r.Top + a}, {r.Left + 7, r.Top + b}};
            else if (right)
                tri = {{r.Left + a, r.Top + 10}, {r.Left + a, r.Top + 4}, {r.Left + b, r.Top + 7}};
            else
                tri = {{r.Left + a, r.Bottom - 4}, {r.Left + a, r.Bottom - 10}, {r.Left + b, r.Bottom - 7}};
            Canvas.Polygon(tri);
        }
    }

    // Text, clear of the buttons.
    const int buttons = (FCaption->CloseButton() ? 1 : 0) + (FCaption->MinMaxButton() ? 1 : 0);
    moveEnd(20 * buttons);
    Canvas.Font()->Assign(FCaption->Font());
    Canvas.Brush()->SetStyle(bsClear);
    if (top) {
        r.Bottom = r.Top + FCaption->Height();
        r.Left += FCaption->Indent();
        r.Top += FCaption->TopIndent();
        TMarkupOptions opt;
        opt.Images = FImages;
        opt.PictureContainer = FPictureContainer;
        opt.PictureCache = FCache.get();
        opt.WordWrap = false;
        opt.HoverOnly = FHover;
        opt.ShadowColor = FShadowColor;
        opt.HoverFontColor = FHoverFontColor;
        opt.HoverColor = FHoverColor;
        opt.URLColor = FURLColor;
        opt.ShadowOffset = FShadowOffset;
        opt.HoverLinkNumber = FCaptionHoverLink;
        opt.X = -1;
        opt.Y = -1;
        DrawMarkupText(Canvas, FCaption->Text(), r, opt);
    } else {
        r.Right = r.Left + FCaption->Height();
        r.Bottom -= FCaption->Indent();
        r.Left += FCaption->TopIndent();
        TClipScope clip(Canvas);
        Canvas.Handle()->IntersectClipRect(r.Left, r.Top, r.Right, r.Bottom);
        Canvas.Font()->SetOrientation(900);
        Canvas.TextOut(r.Left + 2, r.Bottom, FCaption->Text());
        Canvas.Font()->SetOrientation(0);
    }
    Canvas.Brush()->SetStyle(bsSolid);
}

void TCustomKvxPanel::PaintStatusBar(TCanvas& Canvas) {
    const bool top = FCaption->Position() == cpTop;
    const int sh = FStatusBar->Height();
    TRect r = top ? TRect(1, Height() - sh - 1, Width() - 1, Height() - 1)
                  : TRect(Width() - sh - 1, 1, Width() - 1, Height() - 1);
    Canvas.Brush()->SetStyle(bsSolid);
    if (FStatusBar->Color() != clNone && FStatusBar->ColorTo() != clNone) {
        DrawBandGradient(Canvas, FStatusBar->Color(), FStatusBar->ColorTo(),
                         FStatusBar->GradientDirection() == gdHorizontal, r, 40);
    } else if (FStatusBar->Color() != clNone) {
        Canvas.Brush()->SetColor(FStatusBar->Color());
        Canvas.FillRect(r);
    }
    const bool grip = !FCollaps && FCanSize;
    if (FStatusBar->ImageIndex() >= 0 && FImages) {
        if (top) {
            FImages->Draw(&Canvas, r.Left + 1, r.Top + 2, FStatusBar->ImageIndex());
            r.Left += FImages->Width() + 2;
        } else {
            FImages->Draw(&Canvas, r.Left + 2, r.Bottom - FImages->Height() - (grip ? 12 : 1),
                          FStatusBar->ImageIndex());
            r.Bottom -= FImages->Height() + 2;
        }
    }
    Canvas.Font()->Assign(FStatusBar->Font());
    Canvas.Brush()->SetStyle(bsClear);
    if (top) {
        TRect t = r;
        t.Left += 2;
        TMarkupOptions opt;
        opt.Images = FImages;
        opt.PictureContainer = FPictureContainer;
        opt.PictureCache = FCache.get();
        opt.WordWrap = false;
        opt.URLColor = FURLColor;
        opt.ShadowColor = FShadowColor;
        opt.ShadowOffset = FShadowOffset;
        opt.HoverLinkNumber = FCaptionHoverLink;
        opt.X = -1;
        opt.Y = -1;
        DrawMarkupText(Canvas, FStatusBar->Text(), t, opt);
    } else {
        Canvas.Font()->SetOrientation(900);
        Canvas.TextOut(r.Left + 2, r.Bottom - (grip ? 16 : 2), FStatusBar->Text());
        Canvas.Font()->SetOrientation(0);
    }
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Pen()->SetWidth(1);
    if (FStatusBar->BorderStyle() == bsSingle && FStatusBar->BorderColor() != clNone) {
        Canvas.Pen()->SetColor(FStatusBar->BorderColor());
        Canvas.Brush()->SetStyle(bsClear);
        if (top)
            Canvas.Rectangle(0, r.Top, r.Right + 1, r.Bottom + 1);
        else
            Canvas.Rectangle(r.Left, r.Top, r.Right + 1, Height());
        Canvas.Brush()->SetStyle(bsSolid);
    }
    if (FStatusBar->BevelInner()) {
        const int left = top ? 0 : r.Left;
        const int bottom = top ? r.Bottom - 1 : Height();
        Canvas.Pen()->SetColor(clGray);
        Canvas.MoveTo(left, bottom);
        Canvas.LineTo(left, r.Top);
        Canvas.LineTo(top ? r.Right : r.Right - 1, r.Top);
        Canvas.Pen()->SetColor(clWhite);
        Canvas.MoveTo(left, bottom);
        Canvas.LineTo(r.Right - 1, bottom);
        Canvas.LineTo(r.Right - 1, r.Top);
    }
}

} // namespace ui
