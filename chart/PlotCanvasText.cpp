// Text output of the drawing surface: shadows, glyph outlines and glyph gradients, rotated and
// depth-zoomed text.
#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/PlotCanvas.h"
#include "platform/rtl/ScopeGuard.h"

namespace chart {

using namespace plat;

namespace {

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    return static_cast<int>(std::lround(double(a) * b / c));
}

} // namespace

TRect TPlotCanvas3D::TextRect(int X, int Y, const std::string& Text) {
    const int w = TextWidth(Text), h = TextHeight(Text);
    uint32_t align = GetTextAlign();
    if (align > 7)
        align -= TA_BOTTOM;
    if (align == TA_RIGHT)
        return TRect(X - w, Y, X, Y + h);
    if (align == TA_CENTER)
        return TRect(X - w / 2, Y, X + w / 2, Y + h);
    return TRect(X, Y, X + w, Y + h);
}

void TPlotCanvas3D::PlainTextOut(int X, int Y, const std::string& Text) {
    DC()->TextOut(X, Y, Text);
}

void TPlotCanvas3D::TextOut(int X, int Y, const std::string& Text) {
    int x = X, y = Y;
    TPlotShadow* shadow = FChartFont && FChartFont->HasShadow() ? FChartFont->Shadow() : nullptr;
    if (shadow && (shadow->HorizSize() != 0 || shadow->VertSize() != 0)) {
        const int h = shadow->HorizSize(), v = shadow->VertSize();
        int sx = X, sy = Y;
        // A negative size leaves the shadow at the point and moves the text instead.
        if (h > 0)
            sx += h;
        else
            x -= h;
        if (v > 0)
            sy += v;
        else
            y -= v;
        if (shadow->Color() != clNone) {
            std::unique_ptr<TPlotBlend> blend;
            if (shadow->Transparency() != 0)
                blend = BeginBlend(TextRect(sx, sy, Text), shadow->Transparency());
            TDeviceContext* dc = DC();
            dc->SetTextColor(ColorToRGB(shadow->Color()));
            dc->TextOut(sx, sy, Text);
            if (blend)
                EndBlend(std::move(blend));
        }
    }
    DC()->SetTextColor(ColorToRGB(FFont->Color()));
    const bool outline = FChartFont && FChartFont->HasOutLine() && FChartFont->OutLine()->Visible();
    const bool gradient = FChartFont && FChartFont->HasGradient() && FChartFont->Gradient()->Visible();
    if (outline || gradient)
        FancyTextOut(x, y, Text);
    else
        PlainTextOut(x, y, Text);
}

// Outlined and gradient-filled text, through the glyph outlines recorded as a path.
void TPlotCanvas3D::FancyTextOut(int X, int Y, const std::string& Text) {
    TPlotFontGradient* gradient =
        FChartFont->HasGradient() && FChartFont->Gradient()->Visible() ? FChartFont->Gradient() : nullptr;
    TChartHiddenPen* outline = FChartFont->OutLine()->Visible() ? FChartFont->OutLine() : nullptr;
    const TColor fontColor = FFont->Color();
    if (outline)
        UseChartPen(outline);
    else
        FPen->SetStyle(psClear);
    FBrush->SetColor(fontColor);
    FBrush->SetStyle(bsSolid);
    SetBackMode(TRANSPARENT);
    auto record = [&] {
        TDeviceContext* dc = DC();
        dc->BeginPath();
        dc->TextOut(X, Y, Text);
        dc->EndPath();
    };
    record();
    if (gradient) {
        if (gradient->Outline()) {
            // Widening needs a pen; without an outline pen the stroke is one pixel wide.
            const bool clear = FPen->Style() == psClear;
            if (clear) {
                FPen->SetStyle(psSolid);
                FPen->SetWidth(1);
            }
            DC()->WidenPath();
            if (clear)
                FPen->SetStyle(psClear);
        }
        TDeviceContext* dc = DC();
        TRegion area;
        dc->PathToRegion(area);
        // Through the shared clip record, so that UnClip brings back the clip the text was drawn in.
        CombineClipRegion(dc, area);
        gradient->FillRectangle(*this, TextRect(X, Y, Text), 0);
        UnClip();
        if (gradient->Outline() || !outline)
            return;
        record();
        FBrush->SetStyle(bsClear);
    }
    TDeviceContext* dc = DC();
    if (fontColor == clNone)
        dc->StrokePath();
    else
        dc->StrokeAndFillPath();
}

void TPlotCanvas3D::RotatedText(int X, int Y, const std::string& Text, double Angle) {
    while (Angle > 360)
        Angle -= 360;
    FBrush->SetStyle(bsClear);
    TLogFont lf = FFont->LogFont();
    lf.Escapement = lf.Orientation = RoundToInt(Angle * 10);
    lf.OutPrecision = 7;
    if (FZoomText && FZoomFactor != 1)
        lf.Height = -MulDiv(std::max(1, RoundToInt(FFont->Size() * FZoomFactor)), FFont->PixelsPerInch(), 72);
    lf.Quality = static_cast<uint8_t>(RotatedTextQuality);
    TDeviceContext* dc = DC();
    HFONT old = dc->SelectFont(CreateFontIndirect(lf));
    ScopeGuard restoreFont([this, old] { DC()->SelectFont(old); });
    TextOut(X, Y, Text);
}

void TPlotCanvas3D::TextOut3D(int X, int Y, int Z, const std::string& Text) {
    const TPoint p = Calc3DPoint(X, Y, Z);
    if (!(FZoomText && FZoomFactor != 1)) {
        TextOut(p.X, p.Y, Text);
        return;
    }
    const int size = FFont->Size();
    const int zoomed = std::max(1, RoundToInt(size * FZoomFactor));
    if (zoomed == size) {
        TextOut(p.X, p.Y, Text);
        return;
    }
    TLogFont lf = FFont->LogFont();
    lf.Height = -MulDiv(zoomed, FFont->PixelsPerInch(), 72);
    TDeviceContext* dc = DC();
    HFONT old = dc->SelectFont(CreateFontIndirect(lf));
    ScopeGuard restoreFont([this, old] { DC()->SelectFont(old); });
    TextOut(p.X, p.Y, Text);
}

void TPlotCanvas3D::RotatedTextWithZ(int X, int Y, int Z, const std::string& Text, double Angle) {
    const TPoint p = Calc3DPoint(X, Y, Z);
    RotatedText(p.X, p.Y, Text, Angle);
}

} // namespace chart
