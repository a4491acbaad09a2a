// The sample scene of the picture-format tests, drawn on any canvas: lines in every pen style, filled
// shapes, a gradient, plain and rotated text, a bitmap, frame controls and an edge.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/FrameControls.h"

namespace gfxtest {

using namespace plat;

constexpr int kSceneWidth = 520;
constexpr int kSceneHeight = 280;

inline void DrawMetafileScene(TCanvas& c) {
    c.Brush()->SetColor(clWhite);
    c.FillRect(TRect(0, 0, kSceneWidth, kSceneHeight));

    TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psAlternate};
    for (int i = 0; i < 6; ++i) {
        c.Pen()->SetStyle(styles[i]);
        c.Pen()->SetColor(clNavy);
        c.MoveTo(10, 10 + i * 6);
        c.LineTo(150, 10 + i * 6);
    }
    c.Pen()->SetStyle(psSolid);
    c.Pen()->SetWidth(5);
    c.Pen()->SetColor(clMaroon);
    c.MoveTo(10, 60);
    c.LineTo(150, 80);
    c.Pen()->SetWidth(1);

    c.Pen()->SetColor(clBlack);
    c.Brush()->SetColor(clRed);
    c.Rectangle(170, 10, 230, 50);
    c.Brush()->SetColor(clLime);
    c.Ellipse(240, 10, 300, 50);
    c.Brush()->SetColor(clBlue);
    c.Brush()->SetStyle(bsDiagCross);
    c.RoundRect(310, 10, 370, 50, 16, 16);
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(clYellow);
    c.Pie(380, 10, 440, 70, 440, 10, 380, 10);
    TPoint star[] = {{200, 60}, {215, 110}, {175, 78}, {225, 78}, {185, 110}};
    c.Brush()->SetColor(clFuchsia);
    c.Polygon(star);
    c.Brush()->SetColor(clAqua);
    c.Chord(240, 60, 300, 110, 300, 85, 240, 85);
    TPoint bez[] = {{310, 110}, {330, 50}, {360, 130}, {380, 70}};
    c.PolyBezier(bez);

    TTriVertex v[2] = {{10, 120, 0xFF00, 0x8000, 0, 0}, {220, 150, 0, 0x4000, 0xFF00, 0}};
    TGradientRect gr{0, 1};
    c.Handle()->GradientFill(v, 2, &gr, 1, GRADIENT_FILL_RECT_H);

    c.Brush()->SetStyle(bsClear);
    c.Font()->SetName("Arial");
    c.Font()->SetSize(12);
    c.Font()->SetColor(clBlack);
    c.TextOut(10, 160, "Lumetra line camera");
    c.Font()->SetStyle(fsBold | fsUnderline);
    c.TextOut(10, 182, "Bold underlined");
    c.Font()->SetStyle(fsItalic);
    c.Font()->SetName("Times New Roman");
    c.TextOut(10, 204, "Italic serif");
    c.Font()->SetStyle(0);
    c.Font()->SetName("Arial");
    c.Font()->SetOrientation(900);
    c.TextOut(460, 150, "Rotated 90");
    c.Font()->SetOrientation(450);
    c.TextOut(420, 270, "Rotated 45");
    c.Font()->SetOrientation(0);
    TRect tr(240, 130, 440, 200);
    c.TextRect(tr, "&Word-wrapped text with a hot key, long enough to wrap twice in its box.",
               DT_WORDBREAK | DT_CENTER);
    c.Brush()->SetStyle(bsSolid);

    TBitmap tile(4, 4, pf24bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            tile.Canvas()->SetPixels(x, y, (x + y) % 2 ? clTeal : clOlive);
    c.StretchDraw(TRect(10, 230, 74, 262), &tile);
    TRect fr(90, 230, 103, 243);
    DrawFrameControl(*c.Handle(), fr, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    fr = TRect(110, 230, 123, 243);
    DrawFrameControl(*c.Handle(), fr, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    fr = TRect(130, 230, 146, 246);
    DrawFrameControl(*c.Handle(), fr, DFC_SCROLL, DFCS_SCROLLUP);
    TRect edge(180, 225, 260, 265);
    DrawEdge(*c.Handle(), edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    c.DrawFocusRect(TRect(270, 225, 350, 265));
}

} // namespace gfxtest
