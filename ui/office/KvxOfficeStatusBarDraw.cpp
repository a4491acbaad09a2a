// The status bar's own drawing routines: stepped gradients, the office tile, the progress painter and
// the one-line text routine.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/rtl/StringUtils.h"
#include "platform/rtl/Types.h"
#include "platform/ui/Screen.h"
#include "ui/office/KvxOfficeStatusBar.h"

namespace ui::statusbar {

using namespace plat;

namespace {

// Channels from rounding stay within a byte; clamped so a mix can never spill into the next channel.
TColor Rgb(int R, int G, int B) {
    return RGB(std::clamp(R, 0, 255), std::clamp(G, 0, 255), std::clamp(B, 0, 255));
}
int RoundHalfEven(double V) {
    return static_cast<int>(Round(V));
}

// Fills the upper half from the level's ColorTo to Color and the lower half back, or flat without
// gradient.
void FillLevel(TCanvas& Canvas, const TRect& R, TColor Color, TColor ColorTo, const TGaugeSettings& S) {
    if (R.Right <= R.Left || R.Bottom <= R.Top)
        return;
    if (!S.ShowGradient) {
        FillRectColor(Canvas, R, Color);
        return;
    }
    const int m = R.Top + (R.Bottom - R.Top) / 2;
    FillStepGradient(Canvas, ColorTo, Color, S.Steps, TRect(R.Left, R.Top, R.Right, m), false);
    FillStepGradient(Canvas, Color, ColorTo, S.Steps, TRect(R.Left, m, R.Right, R.Bottom), false);
}

// Removes the last character (a whole UTF-8 sequence).
void DropLastChar(std::string& Text) {
    if (Text.empty())
        return;
    size_t n = Text.size() - 1;
    while (n > 0 && (static_cast<unsigned char>(Text[n]) & 0xC0) == 0x80)
        --n;
    Text.erase(n);
}

} // namespace

TColor MixColors(TColor A, TColor B, int P) {
    if (P >= 100)
        return A;
    if (P <= 0)
        return B;
    const TColor a = ColorToRGB(A), b = ColorToRGB(B);
    const double f = P / 100.0;
    return Rgb(RoundHalfEven(f * GetRValue(a) + (1 - f) * GetRValue(b)),
               RoundHalfEven(f * GetGValue(a) + (1 - f) * GetGValue(b)),
               RoundHalfEven(f * GetBValue(a) + (1 - f) * GetBValue(b)));
}

void FillStepGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R,
                      bool Horizontal) {
    if (Steps <= 0)
        Steps = 1;
    const TColor from = ColorToRGB(FromColor), to = ColorToRGB(ToColor);
    const double dr = double(GetRValue(to) - GetRValue(from)) / Steps,
                 dg = double(GetGValue(to) - GetGValue(from)) / Steps,
                 db = double(GetBValue(to) - GetBValue(from)) / Steps;
    const double s = double(Horizontal ? R.Right - R.Left : R.Bottom - R.Top) / Steps;
    const int band = RoundHalfEven(s) + 1;
    TPen* pen = Canvas.Pen();
    TBrush* brush = Canvas.Brush();
    pen->SetStyle(psSolid);
    pen->SetWidth(1);
    brush->SetStyle(bsSolid);
    const bool line = !Horizontal && R.Left + 1 >= R.Right;
    TColor c = from;
    for (int n = 0; n < Steps; ++n) {
        const int o = RoundHalfEven(n * s) % 65536;
        // A band that the next one starts at the same place is painted over completely; leaving it out
        // changes no pixel and saves most of the work when there are more steps than pixels.
        if (n + 1 < Steps && RoundHalfEven((n + 1) * s) % 65536 == o)
            continue;
        c = Rgb(GetRValue(from) + RoundHalfEven(n * dr), GetGValue(from) + RoundHalfEven(n * dg),
                GetBValue(from) + RoundHalfEven(n * db));
        if (line) {
            pen->SetColor(c);
            Canvas.MoveTo(R.Left, R.Top + o);
            Canvas.LineTo(R.Right, R.Top + o + band);
            continue;
        }
        // A rectangle outlined and filled in one colour covers exactly its fill area.
        brush->SetColor(c);
        if (Horizontal)
            Canvas.FillRect(TRect(R.Left + o, R.Top, R.Left + o + band, R.Bottom));
        else
            Canvas.FillRect(TRect(R.Left, R.Top + o, R.Right, R.Top + o + band));
    }
    pen->SetColor(c);
    brush->SetColor(c);
}

void DrawOfficeTile(TCanvas& Canvas, const TRect& R, TColor Color, TColor ColorTo, TColor ColorMirror,
                    TColor ColorMirrorTo, TColor Border) {
    if (Color != clNone) {
        if (ColorMirror != clNone) {
            const int m = R.Top + (R.Bottom - R.Top) / 2;
            FillStepGradient(Canvas, Color, ColorTo, 128, TRect(R.Left, R.Top, R.Right, m), false);
            FillStepGradient(Canvas, ColorMirror, ColorMirrorTo, 128, TRect(R.Left, m, R.Right, R.Bottom),
                             false);
        } else {
            FillStepGradient(Canvas, Color, ColorTo, 128, R, false);
        }
    }
    if (Border != clNone) {
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Brush()->SetColor(Border);
        Canvas.FrameRect(R);
    }
}

void FillRectColor(TCanvas& Canvas, const TRect& R, TColor Colour) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Colour);
    Canvas.FillRect(R);
}

void DrawProgressSegments(TCanvas& Canvas, const TRect& Fill, TBitmap& Background, const TRect& BarRect,
                          const TGaugeSettings& Settings) {
    TRect g(Fill.Left + 8, Fill.Top, Fill.Left + 10, Fill.Bottom + 1);
    const int repeats = Fill.Right / 9 + 1;
    for (int i = 0; i < repeats; ++i) {
        if (g.Right < Fill.Right) {
            if (Settings.BackgroundColor == clNone) {
                TRect src = g;
                OffsetRect(src, -BarRect.Left, -BarRect.Top);
                Canvas.CopyRect(g, Background.Canvas(), src);
            } else {
                Canvas.FillRect(g);
            }
        }
        OffsetRect(g, 9, 0);
    }
}

int ProgressPercent(int Min, int Max, int Position) {
    if (Min == Max)
        return 0;
    // The same proportion whichever end is larger: Max < Min runs the bar the other way.
    const double d = double(Position) - Min;
    return RoundHalfEven(d / (double(Max) - Min) * 100.0);
}

void PaintProgressBar(TCanvas& Canvas, const TRect& Rect, int Percent, const TGaugeSettings& Settings) {
    TRect R = Rect;
    const int width = R.Right - R.Left, height = R.Bottom - R.Top;
    if (width <= 0 || height <= 0)
        return;
    TBitmap background;
    background.SetSize(width, height);
    background.Canvas()->CopyRect(TRect(0, 0, width, height), &Canvas, R);

    int W = width;
    Canvas.Brush()->SetColor(Settings.BackgroundColor);
    const int v = Settings.ShowPercentage ? Percent : -1;
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.Pen()->SetWidth(1);
    if (Settings.ShowBorder) {
        Canvas.Pen()->SetColor(Settings.BorderColor);
        InflateRect(R, -1, -1);
    } else {
        Canvas.Pen()->SetColor(Settings.BackgroundColor);
    }
    if (Settings.BackgroundColor != clNone) {
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Rectangle(R);
    } else if (Settings.ShowBorder) {
        Canvas.Brush()->SetStyle(bsClear);
        Canvas.Rectangle(R);
    }
    W -= 2;
    if (Settings.ShowBorder)
        W -= 2;
    // The fill never runs past the bar, whatever Position says.
    const int fillLimit = std::max(0, W);
    auto segmentsAfter = [&](TRect Seg) {
        if (Settings.CompletionSmooth)
            return;
        Seg.Top += 1;
        Seg.Bottom -= 1;
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Brush()->SetColor(Settings.BackgroundColor);
        DrawProgressSegments(Canvas, Seg, background, Rect, Settings);
    };

    if (Percent > 0) {
        if (Settings.Stacked) {
            const int top = R.Top + 1, bottom = R.Bottom - 2;
            int x = R.Left + 1;
            const int limit = R.Left + 1 + fillLimit;
            auto segment = [&](int Length, TColor C, TColor CTo) {
                TRect seg(x, top, std::min(limit, x + std::max(0, Length)), bottom);
                FillLevel(Canvas, seg, C, CTo, Settings);
                segmentsAfter(seg);
                x = seg.Right;
            };
            const int len0 = Percent < Settings.Level1Perc ? RoundHalfEven(Percent / 100.0 * W)
                                                           : RoundHalfEven(Settings.Level1Perc / 100.0 * W);
            segment(len0, Settings.Level0Color, Settings.Level0ColorTo);
            int len1 = 0;
            if (Percent >= Settings.Level1Perc) {
                len1 = Percent < Settings.Level2Perc
                           ? RoundHalfEven(W * double(Percent - Settings.Level1Perc) / 100.0)
                           : RoundHalfEven(W * double(Settings.Level2Perc - Settings.Level1Perc) / 100.0);
                segment(len1, Settings.Level1Color, Settings.Level1ColorTo);
            }
            if (Percent >= Settings.Level2Perc) {
                const int len2 = Percent == 100
                                     ? W - len0 - len1
                                     : RoundHalfEven(W * double(Percent - Settings.Level2Perc) / 100.0);
                // The solid form follows the gradient form's level.
                segment(len2, Settings.Level2Color, Settings.Level2ColorTo);
            }
        } else {
            TColor c, cTo;
            if (Percent < Settings.Level1Perc) {
                c = Settings.Level0Color, cTo = Settings.Level0ColorTo;
            } else if (Percent < Settings.Level2Perc) {
                c = Settings.Level1Color, cTo = Settings.Level1ColorTo;
            } else if (Percent < 100) {
                c = Settings.Level2Color, cTo = Settings.Level2ColorTo;
            } else {
                c = Settings.Level3Color, cTo = Settings.Level3ColorTo;
            }
            if (!Settings.CompletionSmooth) {
                const int len = std::min(fillLimit, RoundHalfEven(Percent * double(W) / 100.0));
                TRect fill(R.Left + 2, R.Top + 2, R.Left + len, R.Bottom - 3);
                FillLevel(Canvas, fill, c, cTo, Settings);
                Canvas.Brush()->SetStyle(bsSolid);
                Canvas.Brush()->SetColor(Settings.BackgroundColor);
                if (fill.Right > fill.Left)
                    DrawProgressSegments(Canvas, fill, background, Rect, Settings);
            } else {
                const int len = std::min(fillLimit, RoundHalfEven(Percent / 100.0 * W));
                FillLevel(Canvas, TRect(R.Left + 1, R.Top + 1, R.Left + 1 + len, R.Bottom - 2), c, cTo,
                          Settings);
            }
        }
    }

    std::string text;
    if (v == -1)
        text = Settings.Text;
    else if (Settings.IsPercent)
        text = std::to_string(Percent) + "%";
    else
        text = Settings.Prefix + std::to_string(Settings.Position) + Settings.Suffix;
    if (!text.empty()) {
        if (Settings.Font)
            Canvas.SetFont(Settings.Font);
        Canvas.Brush()->SetStyle(bsClear);
        const TSize ext = Canvas.TextExtent(text);
        Canvas.TextOut(R.Left + (R.Right - R.Left) / 2 - ext.cx / 2,
                       R.Top + (R.Bottom - R.Top) / 2 - ext.cy / 2, text);
    }
}

bool IsVectorScreenFont(TCanvas* Canvas) {
    if (!Canvas)
        return false;
    Canvas->TextExtent("0"); // selects the font
    TTextMetric tm;
    if (!Canvas->Handle() || !Canvas->Handle()->GetTextMetrics(tm))
        return false;
    if (!(tm.tmPitchAndFamily & TMPF_VECTOR) || (tm.tmPitchAndFamily & TMPF_DEVICE))
        return false;
    return Screen && Screen->Fonts()->IndexOf(Canvas->Font()->Name()) >= 0;
}

void DropLeadingFolder(std::string& Dir) {
    if (Dir.empty())
        return;
    if (Dir == "\\") {
        Dir.clear();
        return;
    }
    const bool lead = Dir[0] == '\\';
    if (lead)
        Dir.erase(0, 1);
    if (!Dir.empty() && Dir[0] == '.')
        Dir.erase(0, std::min<size_t>(4, Dir.size()));
    const size_t p = Dir.find('\\');
    if (p != std::string::npos)
        Dir = "...\\" + Dir.substr(p + 1);
    else
        Dir.clear();
    if (lead)
        Dir.insert(0, "\\");
}

std::string EllipsizePath(const std::string& Path, TCanvas& Canvas, int MaxWidth) {
    std::string result = Path;
    const size_t slash = Path.find_last_of('\\');
    std::string dir = slash == std::string::npos ? std::string() : Path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? Path : Path.substr(slash + 1);
    std::string drive;
    if (dir.size() >= 2 && dir[1] == ':') {
        drive = dir.substr(0, 2);
        dir.erase(0, 2);
    }
    while ((!dir.empty() || !drive.empty()) && Canvas.TextWidth(result) > MaxWidth) {
        if (dir == "\\...\\") {
            drive.clear();
            dir = "...\\";
        } else if (dir.empty()) {
            drive.clear();
        } else {
            DropLeadingFolder(dir);
        }
        result = drive + dir + name;
    }
    return result;
}

void DrawPanelText(TCanvas& Canvas, TAlignment Alignment, uint32_t Flags, const TRect& R, std::string Text,
                   TFont* Font, bool Enabled, bool DoDraw, TAntiAlias AntiAlias, bool Ellipsis,
                   TRect& CalcRect) {
    CalcRect = TRect(0, 0, 0, 0);
    if (Text.empty())
        return;
    if (Font)
        Canvas.Font()->SetName(Font->Name());
    if (AntiAlias == aaNone || !IsVectorScreenFont(&Canvas)) {
        TRect calc(0, 0, 1000, 100);
        Canvas.TextRect(calc, Text, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
        CalcRect = calc;
        if (DoDraw) {
            TRect r = R;
            Canvas.TextRect(r, Text, Flags);
        }
        return;
    }
    if (Flags & DT_PATH_ELLIPSIS)
        Text = EllipsizePath(Text, Canvas, R.Right - R.Left);
    TGPGraphics graphics(Canvas);
    TGPFontFamily family(Font ? Font->Name() : Canvas.Font()->Name());
    TGPFont font(&family, static_cast<float>(Font ? Font->Size() : Canvas.Font()->Size()), 0, 3);
    graphics.SetSmoothingMode(4);
    TGdipRectF layout =
        MakeGdipRectF(float(R.Left), float(R.Top), float(R.Right - R.Left), float(R.Bottom - R.Top));
    TGPStringFormat format(0, 0);
    format.SetAlign(Alignment == taRightJustify ? 2 : Alignment == taCenter ? 1 : 0);
    format.SetLineAlign(1);
    format.SetHotkeyPrefix(0);
    const TColor colour = Enabled ? (Font ? Font->Color() : Canvas.Font()->Color()) : TColor(0x808080);
    TGPSolidBrush brush(MakeGdipColor(colour));
    ApplyAntiAlias(graphics, AntiAlias);

    TGdipRectF measureRect = layout;
    if (DoDraw)
        measureRect.Width = 1000;
    TGdipRectF box;
    graphics.MeasureString(Text, -1, &font, measureRect, &format, box);
    CalcRect = TRect(RoundHalfEven(box.X), RoundHalfEven(box.Y), RoundHalfEven(box.X + box.Width),
                     RoundHalfEven(box.Y + box.Height));
    if (!DoDraw)
        return;
    if (box.Width > layout.Width) {
        const std::string suffix = Ellipsis ? "..." : "";
        while (!Text.empty()) {
            DropLastChar(Text);
            graphics.MeasureString(Text + suffix, -1, &font, measureRect, &format, box);
            if (box.Width <= layout.Width)
                break;
        }
        Text += suffix;
    }
    graphics.DrawString(Text, -1, &font, layout, &format, &brush);
}

} // namespace ui::statusbar
