// Renders one scene with most of what the context draws and leaves it, and bitmaps of each depth, in the
// build's test-output folder for people and other programs to look at.
#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/GfxTestUtil.h"
#include "platform/gfx/PngImage.h"
#include "platform/gfx/TextLayout.h"

using namespace plat;

namespace {

void DrawScene(TBitmap& b) {
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, b.Width(), b.Height()));
    TDeviceContext* dc = c->Handle();

    // Lines in every pen style.
    TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psAlternate};
    for (int i = 0; i < 6; ++i) {
        c->Pen()->SetStyle(styles[i]);
        c->Pen()->SetColor(clNavy);
        c->MoveTo(10, 10 + i * 6);
        c->LineTo(150, 10 + i * 6);
    }
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(5);
    c->Pen()->SetColor(clMaroon);
    c->MoveTo(10, 60);
    c->LineTo(150, 80);
    c->Pen()->SetWidth(1);

    // Filled shapes.
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clRed);
    c->Rectangle(170, 10, 230, 50);
    c->Brush()->SetColor(clLime);
    c->Ellipse(240, 10, 300, 50);
    c->Brush()->SetColor(clBlue);
    c->Brush()->SetStyle(bsDiagCross);
    c->RoundRect(310, 10, 370, 50, 16, 16);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clYellow);
    c->Pie(380, 10, 440, 70, 440, 10, 380, 10);
    TPoint star[] = {{200, 60}, {215, 110}, {175, 78}, {225, 78}, {185, 110}};
    c->Brush()->SetColor(clFuchsia);
    c->Polygon(star);
    c->Brush()->SetColor(clAqua);
    c->Chord(240, 60, 300, 110, 300, 85, 240, 85);
    TPoint bez[] = {{310, 110}, {330, 50}, {360, 130}, {380, 70}};
    c->PolyBezier(bez);

    // Gradient.
    TTriVertex v[2] = {{10, 120, 0xFF00, 0x8000, 0, 0}, {220, 150, 0, 0x4000, 0xFF00, 0}};
    TGradientRect gr{0, 1};
    dc->GradientFill(v, 2, &gr, 1, GRADIENT_FILL_RECT_H);

    // Plain and rotated text.
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetName("Arial");
    c->Font()->SetSize(12);
    c->Font()->SetColor(clBlack);
    c->TextOut(10, 160, "Lumetra line camera");
    c->Font()->SetStyle(fsBold | fsUnderline);
    c->TextOut(10, 182, "Bold underlined");
    c->Font()->SetStyle(fsItalic);
    c->Font()->SetName("Times New Roman");
    c->TextOut(10, 204, "Italic serif");
    c->Font()->SetStyle(0);
    c->Font()->SetName("Arial");
    c->Font()->SetOrientation(900);
    c->TextOut(460, 150, "Rotated 90");
    c->Font()->SetOrientation(450);
    c->TextOut(420, 270, "Rotated 45");
    c->Font()->SetOrientation(0);
    TRect tr(240, 130, 440, 200);
    c->Brush()->SetStyle(bsClear);
    c->TextRect(tr, "&Word-wrapped text with a hot key, long enough to wrap twice in its box.",
                DT_WORDBREAK | DT_CENTER);
    c->Brush()->SetStyle(bsSolid);

    // A bitmap drawn stretched, frame controls and an edge.
    TBitmap tile(4, 4, pf24bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            tile.Canvas()->SetPixels(x, y, (x + y) % 2 ? clTeal : clOlive);
    c->StretchDraw(TRect(10, 230, 74, 262), &tile);
    TRect fr(90, 230, 103, 243);
    DrawFrameControl(*c->Handle(), fr, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    fr = TRect(110, 230, 123, 243);
    DrawFrameControl(*c->Handle(), fr, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    fr = TRect(130, 230, 146, 246);
    DrawFrameControl(*c->Handle(), fr, DFC_SCROLL, DFCS_SCROLLUP);
    fr = TRect(150, 230, 166, 244);
    DrawFrameControl(*c->Handle(), fr, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    TRect edge(180, 225, 260, 265);
    DrawEdge(*c->Handle(), edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    c->DrawFocusRect(TRect(270, 225, 350, 265));
}

} // namespace

TEST(Scene, WritesSamplePicturesThatReadBack) {
    std::string dir = gfxtest::OutputDir();
    TBitmap scene(520, 280, pf24bit);
    DrawScene(scene);
    // Spot checks that the scene is what it claims to be.
    EXPECT_EQ(scene.Canvas()->Pixels(200, 30), clRed);
    EXPECT_EQ(scene.Canvas()->Pixels(10, 130), RGB(0xFF, 0x80, 0));
    EXPECT_EQ(scene.Canvas()->Pixels(219, 130), RGB(0, 0x40, 0xFF));
    scene.SaveToFile(dir + "/scene.bmp");
    TBitmap back;
    back.LoadFromFile(dir + "/scene.bmp");
    EXPECT_EQ(back.Width(), 520);
    EXPECT_EQ(back.Canvas()->Pixels(270, 30), clLime);

    // The same scene as PNG, for viewers that do not open BMP files.
    TPngImage png;
    png.Assign(&scene);
    png.SaveToFile(dir + "/scene.png");
    TPngImage pngBack;
    pngBack.LoadFromFile(dir + "/scene.png");
    EXPECT_EQ(pngBack.Width(), 520);
    EXPECT_EQ(pngBack.Height(), 280);

    struct Depth {
        TPixelFormat format;
        const char* name;
    } depths[] = {{pf1bit, "depth-1.bmp"},
                  {pf4bit, "depth-4.bmp"},
                  {pf8bit, "depth-8.bmp"},
                  {pf16bit, "depth-16.bmp"},
                  {pf24bit, "depth-24.bmp"}};
    for (auto& d : depths) {
        TBitmap b;
        b.Assign(&scene);
        b.SetPixelFormat(d.format);
        b.SaveToFile(dir + "/" + d.name);
        TBitmap r;
        r.LoadFromFile(dir + "/" + d.name);
        EXPECT_EQ(r.PixelFormat(), d.format) << d.name;
        EXPECT_EQ(r.Height(), 280) << d.name;
    }
}
