// Gradients: the settings object, its rectangle, radial and plane fills, and the band painter of the
// drawing surface.
#include <algorithm>
#include <cmath>

#include "chart/PlotCanvas.h"
#include "platform/rtl/PropertyInfo.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TCustomPlotGradient, TPersistent)
PLAT_CLASS_INFO(TPlotGradient, TCustomPlotGradient)
PLAT_CLASS_INFO(TPlotFontGradient, TPlotGradient)

namespace {

const char* const kDirectionNames[] = {"gdTopBottom",  "gdBottomTop",   "gdLeftRight",      "gdRightLeft",
                                       "gdFromCenter", "gdFromTopLeft", "gdFromBottomLeft", "gdRadial",
                                       "gdDiagonalUp", "gdDiagonalDown"};

static_assert(std::size(kDirectionNames) == gdDiagonalDown + 1);

struct TChannels {
    int R = 0, G = 0, B = 0;
};

TChannels ChannelsOf(TColor c) {
    TColor rgb = ColorToRGB(c) & 0xFFFFFF;
    return {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};
}

int ClampByte(int v) {
    return std::clamp(v, 0, 255);
}

// The grey a monochrome surface shows for a colour.
TColor GreyOf(TColor c) {
    TChannels ch = ChannelsOf(c);
    int a = (ch.R + ch.G + ch.B) / 3;
    return RGB(a, a, a);
}

// Colour i out of S steps from C0 by D; Balance 50 is linear, others bend the curve.
class TBandColors {
public:
    TBandColors(TColor c1, TColor c2, int balance) : FBalance(balance) {
        FC0 = ChannelsOf(c1);
        TChannels c = ChannelsOf(c2);
        FD = {c.R - FC0.R, c.G - FC0.G, c.B - FC0.B};
        FExponent = 0.5 + 0.015 * balance;
    }
    TColor At(int i, int S) const {
        if (S <= 0)
            S = 1;
        if (FBalance == 50)
            return RGB(ClampByte(FC0.R + i * FD.R / S), ClampByte(FC0.G + i * FD.G / S),
                       ClampByte(FC0.B + i * FD.B / S));
        double f = std::pow((i + 1.0) / (S + 1.0), FExponent);
        return RGB(ClampByte(RoundToInt(FC0.R + FD.R * f)), ClampByte(RoundToInt(FC0.G + FD.G * f)),
                   ClampByte(RoundToInt(FC0.B + FD.B * f)));
    }

private:
    int FBalance;
    double FExponent;
    TChannels FC0, FD;
};

// Paints with a solid brush per colour, skipping repeats, and puts the device's brush back at the end.
class TBandPainter {
public:
    explicit TBandPainter(TDeviceContext* dc) : FDc(dc), FOld(dc->CurrentBrush()) {}
    ~TBandPainter() { FDc->SelectBrush(FOld); }
    void Fill(int x, int y, int w, int h, TColor c) {
        if (w <= 0 || h <= 0)
            return;
        if (!FHasColor || c != FLast) {
            FDc->SelectBrush(CreateSolidBrush(c));
            FLast = c;
            FHasColor = true;
        }
        FDc->PatBlt(x, y, w, h, PATCOPY);
    }

private:
    TDeviceContext* FDc;
    HBRUSH FOld;
    TColor FLast = 0;
    bool FHasColor = false;
};

} // namespace

// ---- TCustomPlotGradient ----

TCustomPlotGradient::TCustomPlotGradient(TNotifyEvent ChangeHandler) : OnChange(std::move(ChangeHandler)) {}

void TCustomPlotGradient::Changed() {
    if (OnChange)
        OnChange(this);
}

void TCustomPlotGradient::SetBalance(int Value) {
    if (Value != FBalance) {
        FBalance = Value;
        Changed();
    }
}

void TCustomPlotGradient::SetDirection(TGradientDirection Value) {
    if (Value != FDirection) {
        FDirection = Value;
        Changed();
    }
}

void TCustomPlotGradient::SetEndColor(TColor Value) {
    if (Value != FEndColor) {
        FEndColor = Value;
        Changed();
    }
}

void TCustomPlotGradient::SetStartColor(TColor Value) {
    if (Value != FStartColor) {
        FStartColor = Value;
        Changed();
    }
}

void TCustomPlotGradient::SetRadialX(int Value) {
    if (Value != FRadialX) {
        FRadialX = Value;
        Changed();
    }
}

void TCustomPlotGradient::SetRadialY(int Value) {
    if (Value != FRadialY) {
        FRadialY = Value;
        Changed();
    }
}

void TCustomPlotGradient::SetVisible(bool Value) {
    if (Value != FVisible) {
        FVisible = Value;
        Changed();
    }
}

void TCustomPlotGradient::SetMidColor(TColor Value) {
    if (FUseMiddle) {
        if (Value == clNone) {
            FUseMiddle = false;
            Changed();
        } else if (Value != FMidColor) {
            FMidColor = Value;
            Changed();
        }
    } else if (Value != clNone) {
        FUseMiddle = true;
        FMidColor = Value;
        Changed();
    }
}

void TCustomPlotGradient::EnableMidColor() {
    if (!FUseMiddle) {
        FUseMiddle = true;
        Changed();
    }
}

void TCustomPlotGradient::Assign(TPersistent* Source) {
    if (auto* g = dynamic_cast<TCustomPlotGradient*>(Source)) {
        FBalance = g->FBalance;
        FDirection = g->FDirection;
        FEndColor = g->FEndColor;
        FMidColor = g->FMidColor;
        FRadialX = g->FRadialX;
        FRadialY = g->FRadialY;
        FStartColor = g->FStartColor;
        FVisible = g->FVisible;
        FUseMiddle = g->FUseMiddle;
        return;
    }
    TPersistent::Assign(Source);
}

void TCustomPlotGradient::FillRectangle(TPlotCanvas& Canvas, const TRect& Rect, int RoundSize) {
    const bool mono = Canvas.GetMonochrome();
    TColor mid = GetMidColor(), start = FStartColor, end = FEndColor;
    if (mono) {
        mid = GreyOf(mid);
        start = GreyOf(start);
        end = GreyOf(end);
    }
    if (RoundSize > 0)
        Canvas.ClipRoundRectangle(Rect, RoundSize);
    if (FDirection == gdRadial) {
        FillRadial(Canvas, Rect);
    } else if (FUseMiddle && FDirection != gdDiagonalUp && FDirection != gdDiagonalDown) {
        const int cy = (Rect.Top + Rect.Bottom) / 2, cx = (Rect.Left + Rect.Right) / 2;
        const TRect upper(Rect.Left, Rect.Top, Rect.Right, cy), lower(Rect.Left, cy, Rect.Right, Rect.Bottom);
        const TRect left(Rect.Left, Rect.Top, cx, Rect.Bottom), right(cx, Rect.Top, Rect.Right, Rect.Bottom);
        switch (FDirection) {
        case gdTopBottom:
            Canvas.GradientFill(upper, mid, end, FDirection, 50);
            Canvas.GradientFill(lower, start, mid, FDirection, 50);
            break;
        case gdBottomTop:
            Canvas.GradientFill(upper, start, mid, FDirection, 50);
            Canvas.GradientFill(lower, mid, end, FDirection, 50);
            break;
        case gdLeftRight:
            Canvas.GradientFill(left, mid, end, FDirection, 50);
            Canvas.GradientFill(right, start, mid, FDirection, 50);
            break;
        case gdRightLeft:
            Canvas.GradientFill(left, start, mid, FDirection, 50);
            Canvas.GradientFill(right, mid, end, FDirection, 50);
            break;
        default:
            Canvas.GradientFill(Rect, start, end, FDirection, 50);
            break;
        }
    } else {
        Canvas.GradientFill(Rect, start, end, FDirection, FBalance);
    }
    if (RoundSize > 0)
        Canvas.UnClip();
}

void TCustomPlotGradient::FillRadial(TPlotCanvas& Canvas, const TRect& Rect) {
    const TRect r = OrderRect(Rect);
    int W = 0, H = 0;
    GetRectExtent(r, W, H);
    // An empty area has nothing to paint (and no ring size to divide by).
    if (W <= 0 || H <= 0)
        return;
    Canvas.ClipRectangle(r);
    int N = std::min(255, std::max(W, H));
    const double K = 1.0 / N;
    const TChannels s = ChannelsOf(FStartColor), e = ChannelsOf(FEndColor);
    const double dr = e.R - s.R, dg = e.G - s.G, db = e.B - s.B;

    TPen* pen = Canvas.Pen();
    TBrush* brush = Canvas.Brush();
    const TPenStyle oldStyle = pen->Style();
    const TColor oldColor = brush->Color();
    struct TRestore {
        TPlotCanvas& Canvas;
        TPenStyle Style;
        TColor Color;
        ~TRestore() {
            Canvas.Pen()->SetStyle(Style);
            Canvas.Brush()->SetColor(Color);
            Canvas.UnClip();
        }
    } restore{Canvas, oldStyle, oldColor};

    pen->SetStyle(psClear);
    brush->SetColor(FEndColor);
    Canvas.FillRect(r);
    if (W % 2 == 1 || H % 2 == 1)
        --N;
    const double cx = FRadialX + 1 + (r.Left + r.Right) * 0.5;
    const double cy = FRadialY + 1 + (r.Top + r.Bottom) * 0.5;
    const double exponent = 0.5 + 0.015 * FBalance;
    for (int i = N; i >= 0; --i) {
        TColor c;
        if (FBalance == 50) {
            c = RGB(ClampByte(RoundToInt(s.R + K * dr * i)), ClampByte(RoundToInt(s.G + K * dg * i)),
                    ClampByte(RoundToInt(s.B + K * db * i)));
        } else {
            double f = std::pow((i + 1.0) / (N + 1.0), exponent);
            c = RGB(ClampByte(RoundToInt(s.R + dr * f)), ClampByte(RoundToInt(s.G + dg * f)),
                    ClampByte(RoundToInt(s.B + db * f)));
        }
        brush->SetColor(c);
        const double rx = K * W * 0.5 * i, ry = K * H * 0.5 * i;
        Canvas.Ellipse(RoundToInt(cx - rx), RoundToInt(cy - ry), RoundToInt(cx + rx), RoundToInt(cy + ry));
    }
}

void TPlotFontGradient::SetOutline(bool Value) {
    if (Value != FOutline) {
        FOutline = Value;
        Changed();
    }
}

void TPlotGradient::FillPlane(TCanvas3D& Canvas, const TPoint* Points, int Z) {
    TPoint logical[4];
    for (int i = 0; i < 4; ++i)
        logical[i] = Canvas.CalcPoint3D(Points[i], Z);
    // The clip works on device points; the painted area stays in logical ones, so a mapped (printer)
    // device gets the gradient where the plane is.
    TPoint device[4] = {logical[0], logical[1], logical[2], logical[3]};
    Canvas.ClipPolygon(device, 4);
    FillRectangle(Canvas, PolygonBounds(logical, 4), 0);
    Canvas.UnClip();
}

PLAT_PROPERTIES(TPlotGradient) {
    props.Integer("Balance", &TCustomPlotGradient::Balance, &TCustomPlotGradient::SetBalance, 50);
    props.Enum("Direction", &TCustomPlotGradient::Direction, &TCustomPlotGradient::SetDirection,
               kDirectionNames, gdTopBottom);
    props.Color("EndColor", &TCustomPlotGradient::EndColor, &TCustomPlotGradient::SetEndColor, clYellow);
    props.Color("MidColor", &TCustomPlotGradient::GetMidColor, &TCustomPlotGradient::SetMidColor, clNone);
    props.Integer("RadialX", &TCustomPlotGradient::RadialX, &TCustomPlotGradient::SetRadialX, 0);
    props.Integer("RadialY", &TCustomPlotGradient::RadialY, &TCustomPlotGradient::SetRadialY, 0);
    props.Color("StartColor", &TCustomPlotGradient::StartColor, &TCustomPlotGradient::SetStartColor, clWhite);
    props.Boolean("Visible", &TCustomPlotGradient::Visible, &TCustomPlotGradient::SetVisible, false);
}

PLAT_PROPERTIES(TPlotFontGradient) {
    props.Boolean("Outline", &TPlotFontGradient::Outline, &TPlotFontGradient::SetOutline, false);
}

// ---- The band painter ----

void TPlotCanvas3D::GradientFill(const TRect& Rect, TColor Colour1, TColor Colour2,
                                 TGradientDirection Direction, int Balance) {
    const TRect r = OrderRect(Rect);
    const int W = r.Right - r.Left, H = r.Bottom - r.Top;
    if (Direction == gdRadial) {
        TCustomPlotGradient g;
        g.SetDirection(gdRadial);
        g.SetStartColor(Colour1);
        g.SetEndColor(Colour2);
        g.FillRectangle(*this, r, 0);
        return;
    }
    if (Direction == gdBottomTop || Direction == gdRightLeft || Direction == gdFromCenter ||
        Direction == gdFromTopLeft || Direction == gdFromBottomLeft)
        std::swap(Colour1, Colour2);
    const TBandColors colors(Colour1, Colour2, Balance);

    if (Direction == gdDiagonalUp || Direction == gdDiagonalDown) {
        TPen* pen = FPen;
        const int oldWidth = pen->Width();
        const TPenStyle oldStyle = pen->Style();
        const TPenMode oldMode = pen->Mode();
        const TColor oldColor = pen->Color();
        struct TRestore {
            TPen* Pen;
            int Width;
            TPenStyle Style;
            TPenMode Mode;
            TColor Color;
            ~TRestore() {
                Pen->SetWidth(Width);
                Pen->SetStyle(Style);
                Pen->SetMode(Mode);
                Pen->SetColor(Color);
            }
        } restore{pen, oldWidth, oldStyle, oldMode, oldColor};
        pen->SetWidth(1);
        pen->SetStyle(psSolid);
        pen->SetMode(pmCopy);
        const int N = W + H;
        const int S = std::max(1, std::min(255, N - 1));
        const bool up = Direction == gdDiagonalUp;
        const int lowest = up ? r.Bottom : r.Bottom - 1;
        // Lines stop before their end point: both start just outside the rectangle (below it going up,
        // above it going down), so every row of it gets painted.
        TPoint P = up ? TPoint(r.Left, r.Bottom) : TPoint(r.Left, r.Top - 1);
        TPoint Q = P;
        for (int b = 0; b < N; ++b) {
            pen->SetColor(colors.At(static_cast<int>(int64_t(b) * S / N), S));
            LineBetween(P, Q);
            if (up) {
                if (Q.X < r.Right)
                    ++Q.X;
                else if (Q.Y > r.Top)
                    --Q.Y;
                if (P.Y > r.Top)
                    --P.Y;
                else if (P.X < r.Right)
                    ++P.X;
            } else {
                if (Q.X < r.Right)
                    ++Q.X;
                else if (Q.Y < lowest)
                    ++Q.Y;
                if (P.Y < lowest)
                    ++P.Y;
                else if (P.X < r.Right)
                    ++P.X;
            }
        }
        return;
    }

    TBandPainter paint(DC());
    switch (Direction) {
    case gdTopBottom:
    case gdBottomTop: {
        const int N = std::min(H, 256), S = N - 1;
        if (S <= 0)
            break;
        for (int i = 0; i < N; ++i) {
            const int y0 = r.Bottom - (i + 1) * H / N, y1 = r.Bottom - i * H / N;
            paint.Fill(r.Left, y0, W, y1 - y0, colors.At(i, S));
        }
        break;
    }
    case gdLeftRight:
    case gdRightLeft: {
        const int N = std::min(W, 256), S = N - 1;
        if (S <= 0)
            break;
        for (int i = 0; i < N; ++i) {
            const int x0 = r.Right - (i + 1) * W / N, x1 = r.Right - i * W / N;
            paint.Fill(x0, r.Top, x1 - x0, H, colors.At(i, S));
        }
        break;
    }
    case gdFromCenter: {
        if (W <= 0 || H <= 0)
            break;
        const int A = W / 2, B = H / 2, S = std::max(1, A + B);
        int c = 0, d = 0;
        do {
            const TColor col = colors.At(c + d, S);
            const int rows = H - 2 * c, cols = W - 2 * d;
            if (rows > 0 && cols > 0) {
                paint.Fill(r.Left + d, r.Top + c, 1, rows, col);
                paint.Fill(r.Right - d - 1, r.Top + c, 1, rows, col);
                paint.Fill(r.Left + d, r.Top + c, cols, 1, col);
                paint.Fill(r.Left + d, r.Bottom - c - 1, cols, 1, col);
            }
            if (c < B)
                ++c;
            if (d < A)
                ++d;
        } while (!(c >= B && d >= A));
        break;
    }
    case gdFromTopLeft:
    case gdFromBottomLeft: {
        if (W <= 0 || H <= 0)
            break;
        const int S = std::max(1, W + H);
        const bool fromTop = Direction == gdFromTopLeft;
        const int Y0 = fromTop ? r.Top : r.Bottom;
        int i = 0, j = 0, y = Y0;
        do {
            const TColor col = colors.At(i + j, S);
            // Columns and rows stay inside the rectangle once one direction has reached its end.
            if (i < W)
                paint.Fill(r.Left + i, std::min(y, Y0), 1, std::abs(y - Y0), col);
            if (j < H) {
                ++j;
                if (fromTop) {
                    paint.Fill(r.Left, y, std::min(i + 1, W), 1, col);
                    if (y < r.Bottom)
                        ++y;
                } else {
                    paint.Fill(r.Left, y - 1, std::min(i + 1, W), 1, col);
                    if (y > r.Top)
                        --y;
                }
            }
            if (i < W)
                ++i;
        } while (!(j >= H && i >= W));
        break;
    }
    default:
        break;
    }
}

} // namespace chart
