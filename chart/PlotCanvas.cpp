// The drawing surface: attribute realisation, 2D primitives, the off-screen buffer and clipping.
#include "chart/PlotCanvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/PlotHtml.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TPlotCanvas, TObject)
PLAT_CLASS_INFO(TCanvas3D, TPlotCanvas)
PLAT_CLASS_INFO(TPlotCanvas3D, TCanvas3D)

namespace {

// One record for the whole program: the device clip saved by the last CombineClipRegion.
TRegion SharedClipRegion;
bool HadClipRegion = false;

uint32_t GdiPenStyle(TPenStyle style) {
    switch (style) {
    case psDash:
        return PS_DASH;
    case psDot:
        return PS_DOT;
    case psDashDot:
        return PS_DASHDOT;
    case psDashDotDot:
        return PS_DASHDOTDOT;
    case psClear:
        return PS_NULL;
    case psInsideFrame:
        return PS_INSIDEFRAME;
    default:
        return PS_SOLID;
    }
}

uint32_t GdiEndStyle(TPenEndStyle style) {
    switch (style) {
    case esSquare:
        return PS_ENDCAP_SQUARE | PS_JOIN_BEVEL;
    case esFlat:
        return PS_ENDCAP_FLAT | PS_JOIN_MITER;
    default:
        return PS_ENDCAP_ROUND | PS_JOIN_ROUND;
    }
}

// Logical points as the device coordinates clip regions are given in; on a window's context these count
// from the window, not from the image the window draws into.
void ClipPoints(TDeviceContext* dc, TPoint* p, int count) {
    dc->LPtoDP(p, count);
    const TPoint origin = dc->DeviceOrigin();
    for (int i = 0; i < count; ++i)
        p[i] = TPoint(p[i].X - origin.X, p[i].Y - origin.Y);
}

TRect DeviceRect(TDeviceContext* dc, const TRect& r) {
    TPoint p[2] = {r.TopLeft(), r.BottomRight()};
    ClipPoints(dc, p, 2);
    return TRect(p[0], p[1]);
}

} // namespace

// ---- Clipping helpers ----

void CombineClipRegion(TDeviceContext* DC, const TRegion& Region) {
    HadClipRegion = DC->GetClipRgn(SharedClipRegion) == 1;
    const TPoint origin = DC->DeviceOrigin();
    SharedClipRegion.Offset(-origin.X, -origin.Y);
    DC->ExtSelectClipRgn(&Region, RGN_AND);
}

void ClipCanvasToRect(TCanvas* Canvas, const TRect& Rect) {
    TDeviceContext* dc = Canvas->Handle();
    CombineClipRegion(dc, TRegion(OrderRect(DeviceRect(dc, Rect))));
}

void RestoreClipRegion(TCanvas* Canvas) {
    Canvas->Handle()->SelectClipRgn(HadClipRegion ? &SharedClipRegion : nullptr);
    HadClipRegion = false;
}

// ---- TPlotCanvas ----

TPlotCanvas::~TPlotCanvas() = default;

void TPlotCanvas::SetTargetCanvas(TCanvas* Canvas) {
    FCanvas = Canvas;
    FPen = Canvas ? Canvas->Pen() : nullptr;
    FFont = Canvas ? Canvas->Font() : nullptr;
    FBrush = Canvas ? Canvas->Brush() : nullptr;
}

void TPlotCanvas::ResetToDefaults() {
    FPen->SetColor(clBlack);
    FPen->SetWidth(1);
    FPen->SetStyle(psSolid);
    FBrush->SetColor(clWhite);
    FBrush->SetStyle(bsSolid);
    FFont->SetColor(clBlack);
    FFont->SetStyle(0);
    FFont->SetCharset(DEFAULT_CHARSET);
    FFont->SetName(ChartDefaultFontName());
    FFont->SetSize(ChartDefaultFontSize());
    FCurrentTransparency = 0;
    FChartFont = nullptr;
    SetBackColor(clWhite);
    SetBackMode(TRANSPARENT);
    SetTextAlign(TA_LEFT | TA_TOP);
}

void TPlotCanvas::UseChartPen(TPen* Pen) {
    UseChartPenWithColor(Pen, Pen->Color());
}

void TPlotCanvas::UseChartPenWithColor(TPen* Pen, TColor Color) {
    if (GetMonochrome())
        Color = clBlack;
    if (auto* chartPen = dynamic_cast<TChartPen*>(Pen)) {
        if (!chartPen->Visible()) {
            FPen->SetStyle(psClear);
            return;
        }
        if (!IsTrue3D()) {
            ExtendedPen(FPen, chartPen, Color);
            return;
        }
    }
    FPen->Assign(Pen);
    FPen->SetColor(Color);
}

void TPlotCanvas::ExtendedPen(TPen* CanvasPen, TPen* Pen, TColor Colour) {
    auto* chartPen = static_cast<TChartPen*>(Pen);
    if (chartPen->SmallDots()) {
        CanvasPen->Assign(Pen);
        CanvasPen->SetColor(Colour);
        CanvasPen->SetWidth(1);
        CanvasPen->SetHandle(NewDottedPenHandle(Colour, chartPen->SmallSpace()));
        return;
    }
    CanvasPen->Assign(Pen);
    if (CanvasPen->Color() != Colour)
        CanvasPen->SetColor(Colour);
    if (Pen->Width() < 2)
        return;
    // Wide pens carry the chosen end caps and joins.
    TLogBrush brush{BS_SOLID, ColorToRGB(Colour), 0};
    CanvasPen->SetHandle(ExtCreatePen(
        PS_GEOMETRIC | GdiPenStyle(Pen->Style()) | GdiEndStyle(chartPen->EndStyle()), Pen->Width(), brush));
}

void TPlotCanvas::UseChartBrush(TChartBrush* Brush, TColor BackColor) {
    UseChartBrushWithColor(Brush, Brush->Color(), BackColor);
}

void TPlotCanvas::UseChartBrushWithColor(TChartBrush* Brush, TColor Color, TColor BackColor) {
    if (GetMonochrome())
        Color = clWhite;
    TBitmap* pattern = Brush->ImageBitmap();
    if (!pattern && Brush->Bitmap() && !Brush->Bitmap()->Empty())
        pattern = Brush->Bitmap();
    if (pattern) {
        FBrush->SetStyle(bsClear);
        FBrush->SetBitmap(pattern);
        TDeviceContext* dc = DC();
        dc->SetTextColor(ColorToRGB(Color));
        dc->SetBkMode(OPAQUE);
        dc->SetBkColor(ColorToRGB(BackColor));
        return;
    }
    FBrush->SetBitmap(nullptr);
    if (FBrush->Color() != Color)
        FBrush->SetColor(Color);
    if (FBrush->Style() != Brush->Style())
        FBrush->SetStyle(Brush->Style());
    TDeviceContext* dc = DC();
    if (BackColor == clNone) {
        dc->SetBkMode(TRANSPARENT);
    } else {
        dc->SetBkMode(OPAQUE);
        dc->SetBkColor(ColorToRGB(BackColor));
    }
}

void TPlotCanvas::UseFont(TPlotFont* Font) {
    Font->SetPixelsPerInch(FFont->PixelsPerInch());
    FFont->Assign(Font);
    if (FFontZoom != 100)
        FFont->SetSize(RoundToInt(FFont->Size() * FFontZoom * 0.01));
    if (GetMonochrome())
        FFont->SetColor(clBlack);
    TDeviceContext* dc = DC();
    if (dc->GetTextCharacterExtra() != Font->InterCharSize())
        dc->SetTextCharacterExtra(Font->InterCharSize());
    FChartFont = Font;
    Font->SetLastCanvas(this);
}

void TPlotCanvas::ApplyDarkColor(TColor Color, int Amount) {
    TColor c = DarkerColor(Color, Amount);
    if (FBrush->Style() != bsSolid)
        SetBackColor(c);
    else
        FBrush->SetColor(c);
}

int TPlotCanvas::TextWidth(const std::string& Text) {
    int w = FCanvas->TextWidth(Text);
    if (FChartFont && FChartFont->HasShadow())
        w += std::abs(FChartFont->Shadow()->HorizSize());
    return w;
}

int TPlotCanvas::TextHeight(const std::string& Text) {
    int h = FCanvas->TextHeight(Text);
    if (FChartFont && FChartFont->HasShadow())
        h += std::abs(FChartFont->Shadow()->VertSize());
    return h;
}

void TPlotCanvas::TextOutFormatted(int X, int Y, const std::string& Text, bool IsHtml) {
    if (IsHtml)
        DrawChartMarkup(*this, X, Y, Text);
    else
        TextOut(X, Y, Text);
}

std::unique_ptr<TPlotBlend> TPlotCanvas::BeginBlend(const TRect& Rect, int Transparency) {
    FCurrentTransparency = Transparency & 0x7F;
    return std::make_unique<TPlotBlend>(this, Rect, FCurrentTransparency);
}

void TPlotCanvas::EndBlend(std::unique_ptr<TPlotBlend> Blend) {
    // Each blend ends with its own transparency, so nested blends do not borrow each other's.
    if (Blend)
        Blend->DoBlend(Blend->Transparency());
}

void TPlotCanvas::Frame3D(TRect& Rect, TColor TopLeft, TColor BottomRight, int Width) {
    FPen->SetWidth(1);
    FPen->SetStyle(psSolid);
    --Rect.Right;
    --Rect.Bottom;
    for (int i = 0; i < Width; ++i) {
        FPen->SetColor(TopLeft);
        const TPoint a[3] = {{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}};
        Polyline(a, 2);
        FPen->SetColor(BottomRight);
        const TPoint b[3] = {{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left - 1, Rect.Bottom}};
        Polyline(b, 2);
        InflateRect(Rect, -1, -1);
    }
    ++Rect.Right;
    ++Rect.Bottom;
}

void TPlotCanvas::ClipRoundRectangle(const TRect& Rect, int CornerSize) {
    TDeviceContext* dc = DC();
    TRect r = DeviceRect(dc, Rect);
    CombineClipRegion(dc, CreateRoundRectRgn(r.Left, r.Top, r.Right, r.Bottom, CornerSize, CornerSize));
}

void TPlotCanvas::ClipEllipse(const TRect& Rect, bool Inverted) {
    TDeviceContext* dc = DC();
    TRegion ellipse = CreateEllipticRgnIndirect(OrderRect(DeviceRect(dc, Rect)));
    if (Inverted)
        dc->ExtSelectClipRgn(&ellipse, RGN_XOR);
    else
        CombineClipRegion(dc, ellipse);
}

void TPlotCanvas::ClipPolygon(TPoint* Points, int Count) {
    if (Count <= 0)
        return;
    TDeviceContext* dc = DC();
    ClipPoints(dc, Points, Count);
    CombineClipRegion(
        dc, CreatePolygonRgn(std::span<const TPoint>(Points, static_cast<size_t>(Count)), ALTERNATE));
}

// ---- TCanvas3D ----

void TCanvas3D::DisableRotation() {
    if (FRotationDisabled == 0)
        Disable3D();
    ++FRotationDisabled;
}

void TCanvas3D::EnableRotation() {
    if (FRotationDisabled <= 0)
        return;
    if (--FRotationDisabled == 0)
        Enable3D();
}

TRect TCanvas3D::CalcRect3D(const TRect& Rect, int Z) {
    return TRect(Calc3DPoint(Rect.Left, Rect.Top, Z), Calc3DPoint(Rect.Right, Rect.Bottom, Z));
}

void TCanvas3D::FourPointsFromRect(const TRect& Rect, int Z, TPoint* Points) {
    Points[0] = Calc3DPoint(Rect.Left, Rect.Top, Z);
    Points[1] = Calc3DPoint(Rect.Right, Rect.Top, Z);
    Points[2] = Calc3DPoint(Rect.Right, Rect.Bottom, Z);
    Points[3] = Calc3DPoint(Rect.Left, Rect.Bottom, Z);
}

TRect TCanvas3D::RectBounds3D(const TRect& Rect, int Z) {
    TPoint p[4];
    FourPointsFromRect(Rect, Z, p);
    return PolygonBounds(p, 4);
}

// ---- TPlotCanvas3D: state and 2D primitives ----

TPlotCanvas3D::TPlotCanvas3D() {
    FFontZoom = 100;
}

TPlotCanvas3D::~TPlotCanvas3D() {
    FreeBuffer();
}

TColor TPlotCanvas3D::GetBackColor() {
    return DC()->GetBkColor();
}

int TPlotCanvas3D::GetBackMode() {
    return DC()->GetBkMode();
}

TDeviceContext* TPlotCanvas3D::GetHandle() {
    return DC();
}

TColor TPlotCanvas3D::GetPixel(int X, int Y) {
    return FCanvas->Pixels(X, Y);
}

uint32_t TPlotCanvas3D::GetTextAlign() {
    return DC()->GetTextAlign();
}

void TPlotCanvas3D::SetBackColor(TColor Color) {
    DC()->SetBkColor(ColorToRGB(Color));
}

void TPlotCanvas3D::SetBackMode(int Mode) {
    DC()->SetBkMode(Mode);
}

void TPlotCanvas3D::SetMonochrome(bool Value) {
    if (Value == FMonochrome)
        return;
    FMonochrome = Value;
    FDirty = true;
    if (FView3DOptions)
        FView3DOptions->Repaint();
}

void TPlotCanvas3D::SetPixel(int X, int Y, TColor Color) {
    DC()->SetPixel(X, Y, ColorToRGB(Color));
}

void TPlotCanvas3D::SetTextAlign(uint32_t Align) {
    DC()->SetTextAlign(Align);
}

void TPlotCanvas3D::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    DC()->Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TPlotCanvas3D::DonutSlice(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle,
                               double EndAngle, double HolePercent) {
    auto at = [&](double rx, double ry, double a) {
        return TPoint(RoundToInt(XCenter + rx * std::cos(a)), RoundToInt(YCenter - ry * std::sin(a)));
    };
    const double ix = XRadius * HolePercent * 0.01, iy = YRadius * HolePercent * 0.01;
    const double span = EndAngle - StartAngle;
    auto steps = [&](double r) {
        return std::clamp(static_cast<int>(std::ceil(std::abs(span) * std::max(r, 1.0) / 2)), 2, 720);
    };
    std::vector<TPoint> pts;
    const int n = steps(std::max(XRadius, YRadius));
    for (int i = 0; i <= n; ++i)
        pts.push_back(at(XRadius, YRadius, StartAngle + span * i / n));
    const TPoint innerEnd = at(ix, iy, EndAngle), innerStart = at(ix, iy, StartAngle);
    pts.push_back(innerEnd);
    if (!(innerEnd == innerStart)) {
        // The inner arc runs back from the end angle to the start angle.
        const int m = steps(std::max(ix, iy));
        for (int i = m - 1; i >= 0; --i)
            pts.push_back(at(ix, iy, StartAngle + span * i / m));
    }
    DC()->Polygon(pts.data(), static_cast<int>(pts.size()));
}

void TPlotCanvas3D::DrawGraphic(int X, int Y, TGraphic* Graphic) {
    if (Graphic && !Graphic->Empty())
        FCanvas->Draw(X, Y, Graphic);
}

void TPlotCanvas3D::Ellipse(int X1, int Y1, int X2, int Y2) {
    DC()->Ellipse(X1, Y1, X2, Y2);
}

void TPlotCanvas3D::FillRect(const TRect& Rect) {
    TDeviceContext* dc = DC();
    dc->FillRect(Rect, dc->CurrentBrush());
}

void TPlotCanvas3D::LineTo(int X, int Y) {
    DC()->LineTo(X, Y);
}

void TPlotCanvas3D::MoveTo(int X, int Y) {
    DC()->MoveToEx(X, Y);
}

void TPlotCanvas3D::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    DC()->Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TPlotCanvas3D::Rectangle(int X0, int Y0, int X1, int Y1) {
    DC()->Rectangle(X0, Y0, X1, Y1);
}

void TPlotCanvas3D::RoundRect(int X1, int Y1, int X2, int Y2, int CornerWidth, int CornerHeight) {
    DC()->RoundRect(X1, Y1, X2, Y2, CornerWidth, CornerHeight);
}

void TPlotCanvas3D::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (Graphic)
        FCanvas->StretchDraw(Rect, Graphic);
}

void TPlotCanvas3D::HorizLine(int X0, int X1, int Y) {
    TDeviceContext* dc = DC();
    dc->MoveToEx(X0, Y);
    dc->LineTo(X1, Y);
}

void TPlotCanvas3D::VertLine(int X, int Y0, int Y1) {
    TDeviceContext* dc = DC();
    dc->MoveToEx(X, Y0);
    dc->LineTo(X, Y1);
}

void TPlotCanvas3D::Line(int X0, int Y0, int X1, int Y1) {
    TDeviceContext* dc = DC();
    dc->MoveToEx(X0, Y0);
    dc->LineTo(X1, Y1);
}

void TPlotCanvas3D::Polyline(const TPoint* Points, int HighIndex) {
    if (HighIndex >= 0)
        DC()->Polyline(Points, HighIndex + 1);
}

void TPlotCanvas3D::Polygon(const TPoint* Points, int HighIndex) {
    if (HighIndex >= 0)
        DC()->Polygon(Points, HighIndex + 1);
}

// ---- Buffer and clipping ----

void TPlotCanvas3D::ClipRectangle(const TRect& Rect) {
    ClipCanvasToRect(FCanvas, Rect);
}

void TPlotCanvas3D::UnClip() {
    RestoreClipRegion(FCanvas);
}

void TPlotCanvas3D::ClipCube(const TRect& Rect, int Z0, int Z1) {
    if (!FIs3D) {
        ClipRectangle(TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right, Rect.Bottom - 1));
        return;
    }
    std::vector<TPoint> p;
    for (int x : {Rect.Left, Rect.Right})
        for (int y : {Rect.Top, Rect.Bottom})
            for (int z : {Z0, Z1})
                p.push_back(Calc3DPoint(x, y, z));
    if (ConvexHullPolygon(p))
        ClipPolygon(p.data(), static_cast<int>(p.size()));
}

TRect TPlotCanvas3D::InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor BackColor, bool Is3D,
                                const TRect& UserRect) {
    FBounds = UserRect;
    FView3DOptions = Options;
    if (Options)
        FFontZoom = Options->FontZoom();
    FIs3D = Is3D;
    FIsOrthogonal = false;
    FZoomFactor = 1;
    if (Is3D && Options) {
        FIsOrthogonal = Options->Orthogonal();
        if (FIsOrthogonal) {
            int a = Options->OrthoAngle();
            if (a > 90) {
                FOrthoX = -1;
                a = 180 - a;
            } else {
                FOrthoX = 1;
            }
            const double rad = a * std::numbers::pi / 180;
            FOrthoY = std::cos(rad) < 0.01 ? 1 : std::sin(rad) / std::cos(rad);
        }
        FZoomFactor = Options->Zoom() * 0.01;
        FZoomText = Options->ZoomText();
    }
    if (Is3D)
        UpdateRotation();
    if (FBuffered && FBypassBuffer && !FKeepBitmap)
        FreeBuffer(); // it would hold an older picture than the target
    if (FBuffered && !FBypassBuffer) {
        const int w = UserRect.Right - UserRect.Left, h = UserRect.Bottom - UserRect.Top;
        if (!FBitmap)
            FBitmap = std::make_unique<TBitmap>();
        FBitmap->SetSize(w, h);
        FBitmap->Canvas()->OnChange = nullptr;
        FBitmap->Canvas()->OnChanging = nullptr;
        SetTargetCanvas(FBitmap->Canvas());
        return TRect(0, 0, w, h);
    }
    SetTargetCanvas(DestCanvas);
    return UserRect;
}

void TPlotCanvas3D::ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) {
    if (FBuffered && !FBypassBuffer && FBitmap) {
        CopyBuffer(UserRect.Left, UserRect.Top, DestCanvas);
        FDirty = false;
    }
    SetTargetCanvas(DefaultCanvas);
}

bool TPlotCanvas3D::EndDraw() {
    if (FDirty || !FBitmap)
        return false;
    if (FCanvas)
        CopyBuffer(0, 0, FCanvas);
    return true;
}

void TPlotCanvas3D::CopyBuffer(int X, int Y, TCanvas* DestCanvas) {
    if (!FBitmap || !DestCanvas)
        return;
    DestCanvas->Handle()->BitBlt(X, Y, FBitmap->Width(), FBitmap->Height(), FBitmap->Canvas()->Handle(), 0, 0,
                                 SRCCOPY);
}

void TPlotCanvas3D::FreeBuffer() {
    if (FBitmap && FCanvas == FBitmap->Canvas())
        SetTargetCanvas(nullptr);
    FBitmap.reset();
}

void TPlotCanvas3D::SetBuffered(bool Value) {
    if (Value == FBuffered)
        return;
    FBuffered = Value;
    if (!Value) {
        if (FBitmap && !FKeepBitmap) {
            FreeBuffer();
            FDirty = true;
        }
    } else if (FBitmap) {
        SetTargetCanvas(FBitmap->Canvas());
    }
}

} // namespace chart
