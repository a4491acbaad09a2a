// Painting the slider: background, label, groove, ticks, the thumb shapes, the step buttons and the
// rating pictures, and the small drawing routines they share.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ParentBackground.h"
#include "ui/controls/KvxTrackBar.h"
#include "ui/drawing/KvxGDIP.h"

namespace ui {

using namespace plat;
using namespace trackbar;

namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TRect kNoRect(0, 0, 0, 0);

bool IsAbsent(const TRect& R) {
    return R.Left == -1 && R.Top == -1 && R.Right == -1 && R.Bottom == -1;
}

// Clipping that lasts for one scope: the device context's state is saved and given back.
class TClipScope {
public:
    explicit TClipScope(TCanvas& Canvas) : FCanvas(Canvas), FLevel(Canvas.Handle()->SaveDC()) {}
    ~TClipScope() {
        FCanvas.Handle()->RestoreDC(FLevel);
        FCanvas.Refresh();
    }
    TClipScope(const TClipScope&) = delete;
    TClipScope& operator=(const TClipScope&) = delete;
    void Rect(const TRect& R) { FCanvas.Handle()->IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom); }
    void Polygon(const std::vector<TPoint>& Points) {
        TDeviceContext* dc = FCanvas.Handle();
        dc->BeginPath();
        dc->Polygon(Points.data(), static_cast<int>(Points.size()));
        dc->EndPath();
        dc->SelectClipPath(RGN_AND);
    }
    void RoundRect(const TRect& R, int Corner) {
        TDeviceContext* dc = FCanvas.Handle();
        dc->BeginPath();
        dc->RoundRect(R.Left, R.Top, R.Right, R.Bottom, Corner, Corner);
        dc->EndPath();
        dc->SelectClipPath(RGN_AND);
    }

private:
    TCanvas& FCanvas;
    int FLevel;
};

void Line(TCanvas& Canvas, TColor Color, int X1, int Y1, int X2, int Y2) {
    Canvas.Pen()->SetColor(Color);
    Canvas.MoveTo(X1, Y1);
    Canvas.LineTo(X2, Y2);
}

// A picture at its own size with its corner at P.
void DrawPictureAt(TCanvas& Canvas, TGDIPPicture& Picture, TPoint P) {
    if (Picture.Empty())
        return;
    Picture.MeasureImage();
    Picture.Draw(Canvas, TRect(P.X, P.Y, P.X + Picture.Width(), P.Y + Picture.Height()));
}

// A picture stretched over R through a transparent bitmap of its own size.
void StretchPicture(TCanvas& Canvas, TGDIPPicture& Picture, const TRect& R) {
    if (Picture.Empty() || !Picture.MeasureImage() || Picture.Width() <= 0 || Picture.Height() <= 0)
        return;
    constexpr TColor kKey = 0xFF00FF;
    TBitmap scratch(Picture.Width(), Picture.Height(), pf32bit);
    scratch.Canvas()->Brush()->SetColor(kKey);
    scratch.Canvas()->FillRect(TRect(0, 0, Picture.Width(), Picture.Height()));
    Picture.Draw(*scratch.Canvas(), TRect(0, 0, Picture.Width(), Picture.Height()));
    scratch.SetTransparentColor(kKey);
    scratch.SetTransparent(true);
    Canvas.StretchDraw(R, &scratch);
}

struct TFace {
    TColor Color, ColorTo, ColorMirror, ColorMirrorTo, BorderColor;
    TGDIPPicture* Picture;
};

TGPColor GdipColor(TColor Color) {
    return MakeGdipColor(Color);
}

// A closed path of a rounded rectangle; a radius of 0 gives the plain rectangle.
std::unique_ptr<TGPGraphicsPath> RoundRectPath(float X, float Y, float W, float H, float Radius) {
    auto path = std::make_unique<TGPGraphicsPath>();
    if (Radius <= 0) {
        path->AddLine(X, Y, X + W, Y);
        path->AddLine(X + W, Y, X + W, Y + H);
        path->AddLine(X + W, Y + H, X, Y + H);
    } else {
        const float d = 2 * Radius;
        path->AddArc(X, Y, d, d, 180, 90);
        path->AddArc(X + W - d, Y, d, d, 270, 90);
        path->AddArc(X + W - d, Y + H - d, d, d, 0, 90);
        path->AddArc(X, Y + H - d, d, d, 90, 90);
    }
    path->CloseFigure();
    return path;
}

void DrawRoundRectPath(TGPGraphics& G, float X, float Y, float W, float H, float Radius, TColor Color) {
    if (Color == clNone)
        return;
    auto path = RoundRectPath(X, Y, W, H, Radius);
    TGPPen pen(GdipColor(Color), 1);
    G.DrawPath(&pen, path.get());
}

void FillGlassHalf(TGPGraphics& G, const TRect& R, TColor FromColor, bool Upper, TGDIPGradient Kind,
                   TColor ToColor) {
    const float w = float(R.Width()), h = float(R.Height());
    if (w <= 0 || h <= 0)
        return;
    const TGdipRectF rect = MakeGdipRectF(float(R.Left), float(R.Top), w, h);
    if (Kind != ggRadial) {
        const int mode = Kind == ggVertical ? 1 : Kind == ggDiagonalForward ? 2 : 3;
        TGPLinearGradientBrush brush(rect, GdipColor(FromColor), GdipColor(ToColor), mode);
        G.FillRectF(&brush, rect);
        return;
    }
    TGPSolidBrush solid(GdipColor(Upper ? FromColor : ToColor));
    G.FillRectF(&solid, rect);
    TGPGraphicsPath ellipse;
    const int H = R.Height(), W = R.Width();
    ellipse.AddEllipse(float(R.Left), float(Upper ? R.Top - H / 2 + 2 : R.Top), w, h);
    TGPPathGradientBrush brush(&ellipse);
    brush.SetCenterPoint(MakeGdipPoint(R.Left + W / 2, Upper ? R.Top : R.Bottom));
    brush.SetCenterColor(GdipColor(Upper ? ToColor : FromColor));
    const TGPColor surround = GdipColor(Upper ? FromColor : ToColor);
    int count = 1;
    brush.SetSurroundColors(&surround, count);
    G.FillRectF(&brush, rect);
}

void DrawGlassBorder(TGPGraphics& G, const TRect& R, TTrackButtonShape Shape, bool Vertical, TColor Border,
                     TColor Light) {
    const int W = R.Width(), H = R.Height();
    if (Shape == bsRectangle) {
        DrawRoundRectPath(G, float(R.Left), float(R.Top), float(W), float(H), 0, Light);
        DrawRoundRectPath(G, float(R.Left), float(R.Top), float(W), float(H), 0, Border);
        return;
    }
    if (Vertical) {
        const int x = R.Left + (W - H) / 2;
        DrawRoundRectPath(G, float(x), float(R.Top), float(W), float(H), float(H / 2), Light);
        DrawRoundRectPath(G, float(x + 1), float(R.Top + 1), float(W - 2), float(H - 2), float((H - 2) / 2),
                          Border);
    } else {
        const int y = R.Top + (H - W) / 2;
        DrawRoundRectPath(G, float(R.Left), float(y), float(W), float(H), float(W / 2), Light);
        DrawRoundRectPath(G, float(R.Left + 1), float(y + 1), float(W - 2), float(H - 2), float((W - 2) / 2),
                          Border);
    }
}

// The two-half glass face: the lower half first, then the upper one over it (they overlap by 2 pixels),
// whatever the orientation.
void DrawGlassGradient(TGPGraphics& G, const TRect& R, bool Vertical, TGDIPGradient GradientMirror,
                       TGDIPGradient Gradient, const TFace& Face, TColor Light, TTrackButtonShape Shape,
                       bool WithBorder) {
    G.SetSmoothingMode(4);
    if (Face.Color != clNone && Face.ColorTo != clNone && Face.ColorMirror != clNone &&
        Face.ColorMirrorTo != clNone) {
        const int h = R.Height();
        FillGlassHalf(G, TRect(R.Left, R.Top + h / 2 - 1, R.Right, R.Bottom), Face.ColorMirrorTo, false,
                      GradientMirror, Face.ColorMirror);
        FillGlassHalf(G, TRect(R.Left, R.Top, R.Right, R.Bottom - h / 2 + 1), Face.Color, true, Gradient,
                      Face.ColorTo);
    }
    if (WithBorder)
        DrawGlassBorder(G, R, Shape, Vertical, Face.BorderColor, Light);
}

// Polygons of the classic thumb shapes.
enum TPolygonKind {
    pkTriangleA,
    pkTriangleB,
    pkTriangleC,
    pkTriangleD,
    pkDiamond,
    pkCut0,
    pkCut1,
    pkCut2,
    pkCut3,
    pkCut4,
    pkCut5,
    pkSide2,
    pkSide3,
    pkSide5
};

std::vector<TPoint> ShapePolygon(TPolygonKind Kind, const TRect& R) {
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    const int a = (Rt - L) / 2, b = (B - T) / 2;
    switch (Kind) {
    case pkTriangleA:
        return {{L, B}, {L, T}, {Rt, T + b}};
    case pkTriangleB:
        return {{L, T + b}, {Rt, T}, {Rt, B}};
    case pkTriangleC:
        return {{L, B}, {L + a, T}, {Rt, B}};
    case pkTriangleD:
        return {{L, T}, {Rt, T}, {L + a, B}};
    case pkDiamond:
        return {{L, T + b}, {L + a, T}, {Rt, T + b}, {L + a, B}};
    case pkCut0:
        return {{L, T}, {Rt, T}, {Rt, B}, {L + b, B}};
    case pkCut1:
        return {{L, T}, {Rt, T}, {Rt - b, B}, {L, B}};
    case pkCut2:
        return {{L, T + a}, {Rt, T}, {Rt, B}, {L, B}};
    case pkCut3:
        return {{L, T}, {Rt, T}, {Rt, B}, {L, B - a}};
    case pkCut4:
        return {{L, T}, {Rt, T}, {Rt - b, B}, {L + b, B}};
    case pkCut5:
        return {{L, T + a}, {Rt, T}, {Rt, B}, {L, B - a}};
    case pkSide2:
        return {{L, T}, {Rt, T + a}, {Rt, B}, {L, B}};
    case pkSide3:
        return {{L, T}, {Rt, T}, {Rt, B - a}, {L, B}};
    case pkSide5:
        return {{L, T}, {Rt, T + a}, {Rt, B - a}, {L, B}};
    }
    return {};
}

// Which polygon a classic shape takes, by orientation and tick side (tmBottomRight, tmTopLeft, tmBoth).
constexpr TPolygonKind kClassicPolygons[][2][3] = {
    /* tsTriangle */ {{pkTriangleD, pkTriangleC, pkDiamond}, {pkTriangleB, pkTriangleA, pkDiamond}},
    /* tsTriangleLeft */ {{pkTriangleA, pkTriangleA, pkTriangleA}, {pkTriangleC, pkTriangleC, pkTriangleC}},
    /* tsTriangleRight */ {{pkTriangleB, pkTriangleB, pkTriangleB}, {pkTriangleD, pkTriangleD, pkTriangleD}},
    /* tsPointerRightUp */ {{pkCut3, pkCut2, pkCut5}, {pkCut1, pkCut0, pkCut4}},
    /* tsPointerLeftUp */ {{pkSide3, pkSide2, pkSide5}, {pkCut0, pkCut1, pkCut4}},
};

int ClassicRow(TThumbShape Shape) {
    switch (Shape) {
    case tsTriangle:
        return 0;
    case tsTriangleLeft:
        return 1;
    case tsTriangleRight:
        return 2;
    case tsPointerRightUp:
        return 3;
    default:
        return 4;
    }
}

// The pointer: a body with a 45-degree tip toward each tick side.
std::vector<TPoint> PointerPolygon(const TRect& R, bool Vertical, bool TopTip, bool BottomTip) {
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    std::vector<TPoint> p;
    if (!Vertical) {
        const int a = (Rt - L) / 2;
        if (TopTip)
            p.insert(p.end(), {{L, T + a}, {L + a, T}, {Rt, T + a}});
        else
            p.insert(p.end(), {{L, T}, {Rt, T}});
        if (BottomTip)
            p.insert(p.end(), {{Rt, B - a}, {L + a, B}, {L, B - a}});
        else
            p.insert(p.end(), {{Rt, B}, {L, B}});
    } else {
        const int a = (B - T) / 2;
        p.push_back(TopTip ? TPoint(L + a, T) : TPoint(L, T));
        if (BottomTip)
            p.insert(p.end(), {{Rt - a, T}, {Rt, T + a}, {Rt - a, B}});
        else
            p.insert(p.end(), {{Rt, T}, {Rt, B}});
        if (TopTip)
            p.insert(p.end(), {{L + a, B}, {L, T + a}});
        else
            p.push_back({L, B});
    }
    return p;
}

void Outline(TCanvas& Canvas, const std::vector<TPoint>& Points, TColor Color) {
    if (Color == clNone || Points.empty())
        return;
    Canvas.Pen()->SetColor(Color);
    Canvas.MoveTo(Points.front().X, Points.front().Y);
    for (size_t i = 1; i < Points.size(); ++i)
        Canvas.LineTo(Points[i].X, Points[i].Y);
    Canvas.LineTo(Points.front().X, Points.front().Y);
}

} // namespace

// ---- Unit routines -------------------------------------------------------------------------------------

namespace trackbar {

void DrawStripeGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& Rect,
                        int Steps) {
    if (Steps <= 0)
        Steps = 1;
    const double size =
        Horizontal ? double(Rect.Right - 1 - Rect.Left) / Steps : double(Rect.Bottom - 1 - Rect.Top) / Steps;
    const uint32_t from = uint32_t(FromColor) & 0xFFFFFF, to = uint32_t(ToColor) & 0xFFFFFF;
    auto channel = [&](int shift, int i) {
        const int f = int((from >> shift) & 0xFF), t = int((to >> shift) & 0xFF);
        return std::clamp(f + int(Round(double(i) * (t - f) / Steps)), 0, 255);
    };
    const int bandSize = int(Round(size));
    for (int i = 0; i < Steps; ++i) {
        const TColor c = TColor(channel(0, i) | (channel(8, i) << 8) | (channel(16, i) << 16));
        Canvas.Pen()->SetColor(c);
        Canvas.Brush()->SetColor(c);
        Canvas.Brush()->SetStyle(bsSolid);
        const int start = int(Round(i * size));
        if (Horizontal)
            Canvas.Rectangle(Rect.Left + start, Rect.Top, Rect.Left + start + bandSize + 1, Rect.Bottom);
        else
            Canvas.Rectangle(Rect.Left, Rect.Top + start, Rect.Right, Rect.Top + start + bandSize + 1);
    }
}

void DrawGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, TGradientDirection Direction,
                  const TRect& Rect, int Steps) {
    switch (Direction) {
    case gdHorizontal:
        DrawStripeGradient(Canvas, FromColor, ToColor, true, Rect, Steps);
        break;
    case gdVertical:
        DrawStripeGradient(Canvas, FromColor, ToColor, false, Rect, Steps);
        break;
    case gdHorizontalInOut: {
        const int half = Rect.Width() / 2;
        DrawStripeGradient(Canvas, FromColor, ToColor, true,
                           TRect(Rect.Left, Rect.Top, Rect.Left + half, Rect.Bottom), Steps);
        DrawStripeGradient(Canvas, ToColor, FromColor, true,
                           TRect(Rect.Left + half - 1, Rect.Top, Rect.Right, Rect.Bottom), Steps);
        break;
    }
    case gdVerticalInOut: {
        const int half = Rect.Height() / 2;
        DrawStripeGradient(Canvas, FromColor, ToColor, false,
                           TRect(Rect.Left, Rect.Top, Rect.Right, Rect.Top + half), Steps);
        DrawStripeGradient(Canvas, ToColor, FromColor, false,
                           TRect(Rect.Left, Rect.Top + half - 1, Rect.Right, Rect.Bottom), Steps);
        break;
    }
    }
}

void Draw3DFrame(TCanvas& Canvas, const TRect& Rect, TColor Light, TColor Dark) {
    const int L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
    Canvas.Pen()->SetColor(Dark);
    if (B - T > 2) {
        Canvas.MoveTo(L, B - 1);
        Canvas.LineTo(L, T);
    } else {
        Canvas.MoveTo(L, T);
    }
    Canvas.LineTo(R - 1, T);
    Canvas.MoveTo(R - 2, T);
    Canvas.LineTo(R - 2, B - 2);
    Canvas.LineTo(L, B - 2);
    Canvas.Pen()->SetColor(Light);
    Canvas.MoveTo(L + 1, B - 1);
    Canvas.LineTo(R - 1, B - 1);
    Canvas.LineTo(R - 1, T - 1);
    Canvas.MoveTo(L + 1, B - 1);
    Canvas.LineTo(L + 1, T + 1);
    Canvas.LineTo(R - 2, T + 1);
}

void DrawDottedFrame(TCanvas& Canvas, const TRect& Rect, TColor Color) {
    Canvas.Pen()->SetColor(Color);
    Canvas.Pen()->SetStyle(psAlternate);
    Canvas.MoveTo(Rect.Left, Rect.Top);
    Canvas.LineTo(Rect.Right, Rect.Top);
    Canvas.LineTo(Rect.Right, Rect.Bottom);
    Canvas.LineTo(Rect.Left, Rect.Bottom);
    Canvas.LineTo(Rect.Left, Rect.Top);
    Canvas.Pen()->SetStyle(psSolid);
}

} // namespace trackbar

// ---- The control ---------------------------------------------------------------------------------------

TCanvas& TCustomTrackBar::PaintCanvas() {
    return *Canvas();
}

void TCustomTrackBar::Paint() {
    TCanvas& c = PaintCanvas();
    if (FTransparent)
        DrawParentBackground(this, c.Handle());
    c.Refresh();
    DrawBackground(c);
    if (RatingMode()) {
        DrawRating(c);
        return;
    }
    DrawLabel(c);
    DrawSlider();
    DrawTicks(c);
    DrawThumb();
    DrawButtons();
    if (Focused() && FShowFocus) {
        const TRect r = ClientRect();
        DrawDottedFrame(c, TRect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), clBlack);
    }
}

void TCustomTrackBar::DrawBackground(TCanvas& Canvas) {
    const bool enabled = Enabled();
    TGDIPPicture& picture = enabled || FBackGroundDisabled->Empty() ? *FBackGround : *FBackGroundDisabled;
    const TColor border = enabled ? FBorderColor : FBorderColorDisabled;
    const TColor from = enabled ? Color() : FColorDisabled, to = enabled ? FColorTo : FColorDisabledTo;
    const TRect client = ClientRect();
    if (!picture.Empty()) {
        if (FBackGroundStretched)
            StretchPicture(Canvas, picture, client);
        else
            DrawPictureAt(Canvas, picture, client.TopLeft());
    } else if (!FTransparent && (from != clNone || to != clNone)) {
        if (from == clNone || to == clNone) {
            Canvas.Brush()->SetStyle(bsSolid);
            Canvas.Brush()->SetColor(from != clNone ? from : to);
            Canvas.FillRect(client);
        } else {
            DrawGradient(Canvas, from, to, FDirection, client, 80);
        }
    }
    if (border != clNone && FFrameWidth >= 1) {
        Canvas.Brush()->SetStyle(bsClear);
        Canvas.Pen()->SetColor(border);
        Canvas.Pen()->SetWidth(FFrameWidth);
        Canvas.Rectangle(client);
        Canvas.Pen()->SetWidth(1);
    }
}

void TCustomTrackBar::DrawLabel(TCanvas& Canvas) {
    if (!FTrackLabel->Visible())
        return;
    std::string text;
    LabelText(text);
    Canvas.Font()->Assign(FTrackLabel->Font());
    Canvas.Brush()->SetStyle(bsClear);
    const TLabelPosition pos = FTrackLabel->Position();
    if (Horizontal()) {
        TRect r = LabelRect(false);
        TTextFormat format = DT_SINGLELINE;
        if (pos == lpTopCenter || pos == lpBottomCenter)
            format |= DT_CENTER;
        else if (pos == lpTopRight || pos == lpBottomRight)
            format |= DT_RIGHT;
        format |= pos <= lpTopRight ? DT_VCENTER : DT_BOTTOM;
        Canvas.TextRect(r, text, format);
    } else {
        const TRect r = LabelRect(true);
        Canvas.Font()->SetOrientation(900);
        Canvas.TextOut(r.Left + 3, r.Top, text);
        Canvas.Font()->SetOrientation(0);
    }
}

void TCustomTrackBar::DrawSlider() {
    if (RatingMode() || FSlider->Size() <= 0 || !FSlider->Visible())
        return;
    TCanvas& c = PaintCanvas();
    const bool enabled = Enabled();
    TTrackBarSlider& s = *FSlider;
    TGDIPPicture& picture = enabled || s.PictureDisabled()->Empty() ? *s.Picture() : *s.PictureDisabled();
    TGDIPPicture& done = enabled ? *s.PictureCompleted() : *s.PictureCompletedDisabled();
    const TColor border = enabled ? s.BorderColor() : s.BorderColorDisabled();
    const TColor from = enabled ? s.Color() : s.ColorDisabled(),
                 to = enabled ? s.ColorTo() : s.ColorDisabledTo();
    const TColor doneFrom = enabled ? s.ColorCompleted() : s.ColorCompletedDisabled();
    const TColor doneTo = enabled ? s.ColorCompletedTo() : s.ColorCompletedDisabledTo();

    const TRect S = SliderRect();
    const bool hasDone = doneFrom != clNone || !done.Empty();
    TRect completed = kNoRect, rest = S;
    if (hasDone) {
        const TRect t = ThumbRect();
        if (FPosition <= FMin) {
            rest = S;
        } else if (FPosition >= FMax) {
            completed = S;
            rest = kNoRect;
        } else if (Horizontal()) {
            const int x = t.Left + FThumb->Width() / 2;
            completed = TRect(S.Left, S.Top, x, S.Bottom);
            rest = TRect(x - 1, S.Top, S.Right, S.Bottom);
        } else {
            const int y = t.Top + FThumb->Width() / 2;
            completed = TRect(S.Left, y, S.Right, S.Bottom);
            rest = TRect(S.Left, S.Top, S.Right, y + 1);
        }
    }
    {
        TClipScope clip(c);
        if (s.Rounded() && picture.Empty())
            clip.RoundRect(S, 7);
        auto fill = [&](const TRect& part, TColor a, TColor b) {
            if (part.IsEmpty() || (a == clNone && b == clNone))
                return;
            if (a == clNone || b == clNone) {
                c.Brush()->SetStyle(bsSolid);
                c.Brush()->SetColor(a != clNone ? a : b);
                c.FillRect(part);
            } else {
                DrawGradient(c, a, b, s.Direction(), part, s.Steps());
            }
        };
        auto draw = [&](TGDIPPicture& p, const TRect& part) {
            if (p.Empty() || part.IsEmpty())
                return;
            if (s.PictureStretched()) {
                StretchPicture(c, p, part);
            } else if (part.Left > 0 && part.Right > 0) {
                TClipScope inner(c);
                inner.Rect(part);
                DrawPictureAt(c, p, S.TopLeft());
            }
        };
        if (picture.Empty()) {
            fill(completed, doneFrom, doneTo);
            fill(rest, from, to);
        } else {
            if (hasDone)
                draw(done, completed);
            draw(picture, rest);
        }
    }
    if (border == clNone)
        return;
    c.Brush()->SetStyle(bsClear);
    if (s.Rounded()) {
        c.Pen()->SetColor(border);
        c.RoundRect(S.Left, S.Top, S.Right, S.Bottom, 7, 7);
        if (s.Border3D()) {
            c.Pen()->SetColor(kWhite);
            c.RoundRect(S.Left + 1, S.Top + 1, S.Right - 1, S.Bottom - 1, 7, 7);
        }
    } else if (s.Border3D()) {
        Draw3DFrame(c, S, MixColors(border, kWhite, 10), border);
    } else {
        c.Pen()->SetColor(border);
        c.Rectangle(S);
    }
}

// Ticks go from Min to Max, but a column that already holds a tick is not drawn again, and the handler
// is asked only for ticks that will be drawn: over a range of millions on a few hundred pixels this keeps
// a paint to one tick per column instead of one per value.
void TCustomTrackBar::DrawTicks(TCanvas& Canvas) {
    FTicksDrawn = 0;
    if (RatingMode() || FTickMark->Size() <= 0 || FTickMark->Style() != tsAuto)
        return;
    const int64_t range = int64_t(FMax) - FMin;
    if (range <= 0)
        return;
    const TRect R = TrackRect();
    TRect TL = TopTickRect(), BR = BottomTickRect();
    const bool top = !IsAbsent(TL), bottom = !IsAbsent(BR);
    const int topBefore = TL.Top;
    const bool showText = FTickMark->ShowText();
    if (showText) {
        if (Horizontal()) {
            TL.Top += FTickTextExtent;
            BR.Bottom -= FTickTextExtent;
        } else {
            TL.Left += FTickTextExtent;
            BR.Right -= FTickTextExtent;
        }
    }
    const int extent = Horizontal() ? R.Width() : R.Height();
    const double step = double(extent - FThumb->Width()) / double(range);
    const TColor tickColor = Enabled() ? FTickMark->Color() : FTickMark->ColorDisabled();
    const int steps = FTickMark->ShowImageAtSteps();
    const bool images = FTickImages && FTickImages->Count() > 0;

    // The next value that passes the filters, from v on; past Max when there is none.
    auto accept = [&](int64_t v) -> int64_t {
        if (FTickMark->ShowImageAtThumbOnly())
            return v <= FPosition ? int64_t(FPosition) : int64_t(FMax) + 1;
        if (steps > 1) {
            const int64_t r = ((v % steps) + steps) % steps;
            return r == 0 ? v : v + (steps - r);
        }
        return v;
    };
    auto offsetOf = [&](int64_t v) { return static_cast<int>(std::trunc(double(v - FMin) * step)); };

    auto drawOne = [&](int64_t value, int off, TTickMark side) {
        const int v = static_cast<int>(value);
        int length = FTickMark->Size();
        TColor color = tickColor, textColor = FTickMark->Font()->Color();
        std::string text;
        bool defaultDraw = true;
        TPoint location;
        if (side == tmTopLeft)
            location = Horizontal() ? TPoint(TL.Left + off, TL.Top) : TPoint(TL.Left, TL.Bottom - off);
        else
            location =
                Horizontal() ? TPoint(BR.Left + off, BR.Top) : TPoint(BR.Right - length, BR.Bottom - off);
        if (OnDrawTick)
            OnDrawTick(this, &Canvas, location, v, side, length, color, textColor, text, defaultDraw);
        else if (showText)
            text = std::to_string(v);
        if (!defaultDraw)
            return;
        Canvas.Pen()->SetColor(color);
        int x = 0, y = 0;
        if (Horizontal()) {
            x = (side == tmTopLeft ? TL.Left : BR.Left) + off;
        } else {
            y = (side == tmTopLeft ? TL.Bottom : BR.Bottom) - off;
        }
        if (!images) {
            if (Horizontal()) {
                const int y0 = side == tmTopLeft ? TL.Top : BR.Bottom - length;
                Line(Canvas, color, x, y0, x, y0 + length);
                if (FTickMark->Line3D())
                    Line(Canvas, MixColors(color, kWhite, 10), x + 1, y0, x + 1, y0 + length);
            } else {
                const int x0 = side == tmTopLeft ? TL.Left : BR.Right - length;
                Line(Canvas, color, x0, y, x0 + length, y);
                if (FTickMark->Line3D())
                    Line(Canvas, MixColors(color, kWhite, 10), x0, y - 1, x0 + length, y - 1);
            }
        } else {
            const int index = v >= 0 && v < FTickImages->Count() ? v : 0;
            if (Horizontal())
                FTickImages->Draw(&Canvas, x - FTickImages->Width() / 2, side == tmTopLeft ? TL.Top : BR.Top,
                                  index, Enabled());
            else
                FTickImages->Draw(&Canvas, side == tmTopLeft ? TL.Left : BR.Right - length,
                                  y - FTickImages->Height() / 2, index, Enabled());
        }
        if (!showText || text.empty())
            return;
        Canvas.Font()->Assign(FTickMark->Font());
        Canvas.Font()->SetColor(textColor);
        Canvas.Brush()->SetStyle(bsClear);
        const int tw = Canvas.TextWidth(text);
        if (Horizontal()) {
            Canvas.TextOut(x - tw / 2, side == tmTopLeft ? topBefore + 2 : BR.Bottom + 2, text);
        } else if (FTickMark->RotateFontVert()) {
            Canvas.Font()->SetOrientation(side == tmTopLeft ? 900 : 2700);
            if (side == tmTopLeft)
                Canvas.TextOut(TL.Left + 2 - FTickTextExtent, y + tw / 2, text);
            else
                Canvas.TextOut(BR.Right + FTickTextExtent, y - tw / 2, text);
            Canvas.Font()->SetOrientation(0);
        } else if (side == tmTopLeft) {
            Canvas.TextOut(TL.Left - tw - 2, y - FTickTextExtent / 2, text);
        } else {
            Canvas.TextOut(BR.Left + FTickMark->Size() + 2, y - FTickTextExtent / 2, text);
        }
    };

    int lastOff = 0;
    bool any = false;
    for (int64_t v = accept(FMin); v <= FMax;) {
        const int off = offsetOf(v);
        if (!any || off != lastOff) {
            if (top)
                drawOne(v, off, tmTopLeft);
            if (bottom)
                drawOne(v, off, tmBottomRight);
            ++FTicksDrawn;
            any = true;
            lastOff = off;
        }
        // Jump to the first value that lands on a later column (a column for every value when the
        // step is a pixel or more).
        int64_t next = v + 1;
        if (step > 0 && step < 1) {
            next = std::max(next, FMin + static_cast<int64_t>(std::ceil((off + 1) / step)) - 1);
            while (next <= FMax && offsetOf(next) <= off)
                ++next;
        } else if (step <= 0) {
            break;
        }
        v = accept(next);
    }
}

void TCustomTrackBar::DrawThumb() {
    DrawThumbShape(PaintCanvas(), ThumbRect(), FPosition, FThumbDown, FThumbHot);
}

void TCustomTrackBar::DrawThumbShape(TCanvas& Canvas, const TRect& R, int Value, bool Pressed, bool Hot) {
    TTrackBarThumb& t = *FThumb;
    if (RatingMode() || t.Size() < 1 || (!t.ShowAtMinMax() && (Value == FMin || Value == FMax)))
        return;
    TFace face{t.Color(), t.ColorTo(), t.ColorMirror(), t.ColorMirrorTo(), t.BorderColor(), t.Picture()};
    if (!Enabled()) {
        face = {t.ColorDisabled(),       t.ColorDisabledTo(),
                t.ColorMirrorDisabled(), t.ColorMirrorDisabledTo(),
                t.BorderColorDisabled(), t.PictureDisabled()->Empty() ? t.Picture() : t.PictureDisabled()};
    } else if (Pressed) {
        face = {t.ColorDown(),       t.ColorDownTo(),
                t.ColorMirrorDown(), t.ColorMirrorDownTo(),
                t.BorderColorDown(), t.PictureDown()->Empty() ? t.Picture() : t.PictureDown()};
    } else if (Hot) {
        face = {t.ColorHot(),       t.ColorHotTo(),
                t.ColorMirrorHot(), t.ColorMirrorHotTo(),
                t.BorderColorHot(), t.PictureHot()->Empty() ? t.Picture() : t.PictureHot()};
    }
    if (!face.Picture->Empty()) {
        DrawPictureAt(Canvas, *face.Picture, R.TopLeft());
        return;
    }
    const TGradientDirection bands = t.Gradient() == ggRadial            ? gdHorizontal
                                     : t.Gradient() == ggDiagonalForward ? gdHorizontalInOut
                                                                         : gdVertical;
    const bool vertical = !Horizontal();
    const bool glass = face.Color != clNone && face.ColorTo != clNone && face.ColorMirror != clNone &&
                       face.ColorMirrorTo != clNone;
    const TTickMark side = FTickMark->Position();
    const bool topTip = side == tmTopLeft || side == tmBoth,
               bottomTip = side == tmBottomRight || side == tmBoth;

    // Fills inside a GDI clip set up by the caller: banded or solid.
    auto plainFill = [&](const TRect& area) {
        if (face.Color == clNone)
            return;
        if (face.ColorTo != clNone) {
            DrawGradient(Canvas, face.Color, face.ColorTo, bands, area, t.Steps());
        } else {
            Canvas.Brush()->SetStyle(bsSolid);
            Canvas.Brush()->SetColor(face.Color);
            Canvas.FillRect(area);
        }
    };
    auto gripLine = [&](int inset) {
        const int cx = R.Left + R.Width() / 2, cy = R.Top + R.Height() / 2;
        if (vertical) {
            const int len = R.Width() / 2 - inset;
            Line(Canvas, face.BorderColor, cx - len / 2, cy, cx - len / 2 + len, cy);
        } else {
            const int len = R.Height() / 2 - 2;
            Line(Canvas, face.BorderColor, cx, cy - len / 2, cx, cy - len / 2 + len);
        }
    };

    switch (t.Shape()) {
    case tsPointer: {
        const std::vector<TPoint> outline = PointerPolygon(R, vertical, topTip, bottomTip);
        if (glass) {
            TGPGraphics g(Canvas);
            TGPGraphicsPath path;
            for (size_t i = 0; i < outline.size(); ++i) {
                const TPoint& a = outline[i];
                const TPoint& b = outline[(i + 1) % outline.size()];
                path.AddLine(float(a.X), float(a.Y), float(b.X), float(b.Y));
            }
            path.CloseFigure();
            TGPRegion region(&path);
            g.SetClipRegion(&region, 0);
            DrawGlassGradient(g, R, vertical, t.GradientMirror(), t.Gradient(), face, kWhite, bsRectangle,
                              false);
        } else {
            TClipScope clip(Canvas);
            clip.Polygon(outline);
            plainFill(R);
        }
        if (face.BorderColor != clNone) {
            Outline(Canvas, outline, kWhite);
            TRect in1 = R, in2 = R;
            InflateRect(in1, -1, -1);
            InflateRect(in2, -2, -2);
            Outline(Canvas, PointerPolygon(in1, vertical, topTip, bottomTip), face.BorderColor);
            Outline(Canvas, PointerPolygon(in2, vertical, topTip, bottomTip), kWhite);
            gripLine(3);
        }
        break;
    }
    case tsRectangle:
    case tsRoundRect: {
        const int radius = t.Shape() == tsRectangle ? 1 : 8;
        const TRect area(R.Left, R.Top, R.Right - 1, R.Bottom - 1);
        if (glass) {
            TGPGraphics g(Canvas);
            auto path = RoundRectPath(float(area.Left), float(area.Top), float(area.Width()),
                                      float(area.Height()), float(radius));
            TGPRegion region(path.get());
            g.SetClipRegion(&region, 0);
            DrawGlassGradient(g, area, vertical, t.GradientMirror(), t.Gradient(), face, kWhite, bsRectangle,
                              false);
        } else {
            TClipScope clip(Canvas);
            clip.RoundRect(area, 2 * radius);
            plainFill(area);
        }
        if (face.BorderColor != clNone) {
            TGPGraphics g(Canvas);
            g.SetSmoothingMode(4);
            DrawRoundRectPath(g, float(R.Left), float(R.Top), float(R.Width() - 1), float(R.Height() - 1),
                              float(radius), kWhite);
            DrawRoundRectPath(g, float(R.Left + 1), float(R.Top + 1), float(R.Width() - 3),
                              float(R.Height() - 3), float(radius), face.BorderColor);
            if (t.Shape() == tsRectangle) {
                Canvas.Brush()->SetStyle(bsClear);
                Canvas.Pen()->SetColor(kWhite);
                Canvas.Rectangle(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
            }
        }
        gripLine(2);
        break;
    }
    case tsRound: {
        const int radius = t.Size() / 2;
        if (glass) {
            TGPGraphics g(Canvas);
            auto path = RoundRectPath(float(R.Left), float(R.Top), float(R.Width()), float(R.Height()),
                                      float(radius));
            TGPRegion region(path.get());
            g.SetClipRegion(&region, 0);
            DrawGlassGradient(g, R, vertical, t.GradientMirror(), t.Gradient(), face, kWhite, bsRound, false);
            g.ResetClip();
            DrawGlassBorder(g, R, bsRound, vertical, face.BorderColor, kWhite);
        } else {
            TClipScope clip(Canvas);
            clip.RoundRect(R, 2 * radius);
            plainFill(R);
        }
        const int cx = R.Left + R.Width() / 2 + 1, cy = R.Top + R.Height() / 2 + 1;
        Canvas.Pen()->SetColor(face.BorderColor);
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Brush()->SetColor(face.BorderColor);
        Canvas.RoundRect(cx - 2, cy - 2, cx + 2, cy + 2, 5, 5);
        break;
    }
    case tsLine: {
        const TColor colours[] = {face.ColorTo, face.Color, MixColors(face.Color, kWhite, 60),
                                  MixColors(face.Color, kWhite, 10)};
        for (int i = 0; i < 4; ++i) {
            if (vertical) {
                const int y = R.Top + R.Height() / 2 - 1 + i;
                Line(Canvas, colours[i], R.Left, y, R.Right, y);
            } else {
                const int x = R.Left + R.Width() / 2 - 1 + i;
                Line(Canvas, colours[i], x, R.Top, x, R.Bottom);
            }
        }
        break;
    }
    default: {
        const TPolygonKind kind = kClassicPolygons[ClassicRow(t.Shape())][vertical ? 1 : 0][side];
        const std::vector<TPoint> outline = ShapePolygon(kind, R);
        {
            TClipScope clip(Canvas);
            clip.Polygon(outline);
            DrawGradient(Canvas, face.Color, face.ColorTo, bands, R, t.Steps());
        }
        TRect in1 = R, in2 = R;
        InflateRect(in1, -1, -1);
        InflateRect(in2, -2, -2);
        Outline(Canvas, ShapePolygon(kind, in1), kWhite);
        Outline(Canvas, outline, face.BorderColor);
        Outline(Canvas, ShapePolygon(kind, in2),
                face.BorderColor == clNone ? clNone : MixColors(face.BorderColor, kWhite, 50));
        if (face.BorderColor != clNone)
            gripLine(4);
        break;
    }
    }
}

void TCustomTrackBar::DrawButtons() {
    DrawMinButton();
    DrawMaxButton();
}

void TCustomTrackBar::DrawMinButton() {
    DrawButton(PaintCanvas(), false);
}

void TCustomTrackBar::DrawMaxButton() {
    DrawButton(PaintCanvas(), true);
}

void TCustomTrackBar::DrawButton(TCanvas& Canvas, bool MaxButton) {
    if (RatingMode() || !FButtons->Visible())
        return;
    TTrackBarButtons& b = *FButtons;
    const TRect r = MaxButton ? MaxButtonRect() : MinButtonRect();
    const bool down = MaxButton ? FMaxButtonDown : FMinButtonDown;
    const bool hot = MaxButton ? FMaxButtonHot : FMinButtonHot;
    TFace face{b.Color(),         b.ColorTo(),     b.ColorMirror(),
               b.ColorMirrorTo(), b.BorderColor(), MaxButton ? b.MaxPicture() : b.MinPicture()};
    if (down)
        face = {b.ColorDown(),       b.ColorDownTo(),
                b.ColorMirrorDown(), b.ColorMirrorDownTo(),
                b.BorderColorDown(), MaxButton ? b.MaxPictureDown() : b.MinPictureDown()};
    else if (hot)
        face = {b.ColorHot(),         b.ColorHotTo(),     b.ColorMirrorHot(),
                b.ColorMirrorHotTo(), b.BorderColorHot(), MaxButton ? b.MaxPictureHot() : b.MinPictureHot()};
    if (!face.Picture->Empty()) {
        face.Picture->MeasureImage();
        if (Horizontal()) {
            TClipScope clip(Canvas);
            clip.Rect(r);
            DrawPictureAt(Canvas, *face.Picture, r.TopLeft());
        } else if (!MaxButton || face.Picture->Height() <= b.Size()) {
            DrawPictureAt(Canvas, *face.Picture, r.TopLeft());
        } else {
            DrawPictureAt(Canvas, *face.Picture, TPoint(r.Left, r.Bottom - face.Picture->Width()));
        }
        return;
    }
    const int size = b.Size();
    const TColor light = MixColors(face.BorderColor, kWhite, 30);
    TRect glyphFace = r;
    {
        TGPGraphics g(Canvas);
        if (b.Shape() == bsRound) {
            const int x = Horizontal() ? r.Left : r.Left + (r.Width() - size) / 2;
            const int y = Horizontal() ? r.Top + (r.Height() - size) / 2 : r.Top;
            glyphFace = TRect(x, y, x + size, y + size);
            auto circle = RoundRectPath(float(x), float(y), float(size), float(size), float(size / 2));
            TGPRegion region(circle.get());
            g.SetClipRegion(&region, 0);
            const TRect glassRect =
                Horizontal() ? TRect(r.Left, y, r.Right, y + size) : TRect(x, r.Top, x + size, r.Bottom);
            DrawGlassGradient(g, glassRect, !Horizontal(), b.GradientMirror(), b.Gradient(), face, light,
                              bsRound, true);
        } else {
            DrawGlassGradient(g, r, !Horizontal(), b.GradientMirror(), b.Gradient(), face, light, bsRectangle,
                              true);
        }
    }
    // The glyph: a minus, or a plus made of two such bars, centred on the face.
    const int n = std::max(0, size / 2 - 4);
    const int cx = glyphFace.Left + glyphFace.Width() / 2, cy = glyphFace.Top + glyphFace.Height() / 2;
    const int len = n + 4;
    // Outlines first, then the inner lines, so that the bars of the plus cross cleanly.
    auto barRect = [&](bool upright) {
        return upright ? TRect(cx - 1, cy - len / 2, cx + 3, cy - len / 2 + len)
                       : TRect(cx - len / 2, cy - 1, cx - len / 2 + len, cy + 3);
    };
    auto outline = [&](bool upright) {
        const TRect r = barRect(upright);
        Canvas.Brush()->SetStyle(bsClear);
        Canvas.Pen()->SetColor(face.Color);
        Canvas.Rectangle(r);
    };
    auto inner = [&](bool upright) {
        const TRect r = barRect(upright);
        if (upright) {
            Line(Canvas, face.BorderColor, r.Left + 1, r.Top + 1, r.Left + 1, r.Bottom - 1);
            Line(Canvas, face.BorderColor, r.Left + 2, r.Top + 1, r.Left + 2, r.Bottom - 1);
        } else {
            Line(Canvas, face.BorderColor, r.Left + 1, r.Top + 1, r.Right - 1, r.Top + 1);
            Line(Canvas, face.BorderColor, r.Left + 1, r.Top + 2, r.Right - 1, r.Top + 2);
        }
    };
    const bool rotated = !Horizontal() && b.RotateText();
    outline(rotated);
    if (MaxButton)
        outline(!rotated);
    inner(rotated);
    if (MaxButton)
        inner(!rotated);
}

void TCustomTrackBar::DrawRating(TCanvas&) {
    for (int64_t v = int64_t(FMin) + 1; v <= FMax; ++v) {
        const TRect r = RatingItemRect(static_cast<int>(v));
        if (IsAbsent(r))
            break;
        DrawRatingItem(static_cast<int>(v));
    }
}

void TCustomTrackBar::DrawRatingItem(int Value) {
    if (!RatingMode() || Value <= FMin)
        return;
    const TRect r = RatingItemRect(Value);
    if (r.Left <= 0 || r.Bottom <= 0)
        return;
    TGDIPPicture& picture = Value > FPosition ? *FRateInActive : *FRateActive;
    DrawPictureAt(PaintCanvas(), picture, r.TopLeft());
}

} // namespace ui
