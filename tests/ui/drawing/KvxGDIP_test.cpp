#include "ui/drawing/KvxGDIP.h"

#include <gtest/gtest.h>

#include "PictureBytes.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/PixelImage.h"
#include "platform/rtl/Stream.h"

using namespace ui;
using drawingtest::TBytes;
using plat::TAAStatus;

namespace {

TEST(KvxGDIPColor, MakeGdipColorIsOpaqueArgbOfTheResolvedColour) {
    struct Case {
        plat::TColor color;
        TGPColor argb;
    } cases[] = {
        {plat::clRed, 0xFFFF0000}, {0x00FF00, 0xFF00FF00},      {0xFF0000, 0xFF0000FF},
        {0x563412, 0xFF123456},    {plat::clBlack, 0xFF000000}, {plat::clWhite, 0xFFFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeGdipColor(c.color), c.argb) << std::hex << c.color;

    const uint32_t face = static_cast<uint32_t>(plat::ColorToRGB(plat::clBtnFace));
    EXPECT_EQ(MakeGdipColor(plat::clBtnFace),
              0xFF000000u | ((face & 0xFF) << 16) | (face & 0xFF00) | ((face >> 16) & 0xFF));
}

// Four lines' worth of outline: the brush has four points to colour.
std::unique_ptr<TGPGraphicsPath> Square() {
    auto path = std::make_unique<TGPGraphicsPath>(0);
    path->AddLine(0, 0, 10, 0);
    path->AddLine(10, 10, 0, 10);
    path->CloseFigure();
    return path;
}

TEST(KvxGDIPStatus, SurroundColoursAreLimitedToThePathsPoints) {
    auto path = Square();
    const TGPColor colours[5] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000, 0xFFFFFFFF};
    {
        TGPPathGradientBrush brush(path.get());
        ASSERT_EQ(brush.GetPointCount(), 4);
        int count = 4;
        brush.SetSurroundColors(colours, count);
        EXPECT_EQ(count, 4);
        EXPECT_EQ(brush.GetLastStatus(), TAAStatus::Ok);
    }
    {
        TGPPathGradientBrush brush(path.get());
        int count = 5;
        brush.SetSurroundColors(colours, count);
        EXPECT_EQ(count, 5);
        EXPECT_EQ(brush.GetLastStatus(), TAAStatus::InvalidParameter);
    }
    {
        TGPPathGradientBrush brush(path.get());
        int count = 1;
        brush.SetSurroundColors(nullptr, count);
        EXPECT_EQ(brush.GetLastStatus(), TAAStatus::InvalidParameter);
    }
    {
        // A brush that has failed once reports nothing back, even for a call that works.
        TGPPathGradientBrush brush(path.get());
        int bad = 9, count = 2;
        brush.SetSurroundColors(colours, bad);
        brush.SetSurroundColors(colours, count);
        EXPECT_EQ(count, 2);
        EXPECT_EQ(brush.SetCenterColor(0xFFFFFFFF), TAAStatus::InvalidParameter);
    }
}

TEST(KvxGDIPStatus, AFailureStaysTheLastStatusThroughLaterSuccesses) {
    TGPStringFormat format;
    EXPECT_EQ(format.GetLastStatus(), TAAStatus::Ok);
    format.SetAlign(7);
    format.SetAlign(1);
    format.SetLineAlign(1);
    format.SetTrimming(StringTrimmingEllipsisWord);
    EXPECT_EQ(format.GetLastStatus(), TAAStatus::InvalidParameter);
    EXPECT_EQ(format.Handle()->Alignment(), 1);

    TGPGraphicsPath path;
    EXPECT_EQ(path.AddCurve(nullptr, 3, 0.5f), TAAStatus::InvalidParameter);
    const TGdipPoint pts[3] = {MakeGdipPoint(0, 0), MakeGdipPoint(5, 5), MakeGdipPoint(10, 0)};
    EXPECT_EQ(path.AddCurve(pts, 3, 0.8f), TAAStatus::Ok);
    EXPECT_EQ(path.GetLastStatus(), TAAStatus::InvalidParameter);
}

TEST(KvxGDIPStatus, FailedCreationsLeaveSafeEmptyWrappers) {
    TGPFont noFamily(nullptr, 9, 0, 3);
    EXPECT_EQ(noFamily.Handle(), nullptr);
    EXPECT_EQ(noFamily.GetLastStatus(), TAAStatus::InvalidParameter);

    TGPPathGradientBrush noPath(nullptr);
    EXPECT_EQ(noPath.GetPointCount(), 0);
    noPath.SetCenterPoint(MakeGdipPoint(1, 1));
    EXPECT_EQ(noPath.GetLastStatus(), TAAStatus::InvalidParameter);

    TGPRegion noRegion(static_cast<const TGPGraphicsPath*>(nullptr));
    noRegion.UnionRegion(nullptr);
    EXPECT_EQ(noRegion.GetLastStatus(), TAAStatus::InvalidParameter);

    TGPGraphics noSurface(static_cast<plat::TDeviceContext*>(nullptr));
    TGPSolidBrush brush(0xFF000000);
    EXPECT_EQ(noSurface.FillRectangle(&brush, 0, 0, 4, 4), TAAStatus::InvalidParameter);
    noSurface.DrawImageRect(nullptr, 0, 0, 1, 1);
    EXPECT_EQ(noSurface.GetLastStatus(), TAAStatus::InvalidParameter);
}

TEST(KvxGDIPFont, UnknownFamilyIsStatus14AndFallsBackToArial) {
    TGPFontFamily unknown("No Such Family Here");
    EXPECT_EQ(unknown.GetLastStatus(), TAAStatus::FontFamilyNotFound);
    EXPECT_EQ(unknown.Handle(), nullptr);

    auto family = CreateGdipFontFamily("No Such Family Here");
    ASSERT_NE(family->Handle(), nullptr);
    EXPECT_EQ(family->GetLastStatus(), TAAStatus::Ok);
    EXPECT_EQ(family->Handle()->Name(), "Arial");

    auto tahoma = CreateGdipFontFamily("Tahoma");
    EXPECT_EQ(tahoma->Handle()->Name(), "Tahoma");
}

TEST(KvxGDIPImage, GetFormatNamesTheContainer) {
    auto bmp = drawingtest::MakeBitmap(4, 3, plat::clRed);
    plat::TPixelImage pixels(2, 2);
    plat::TIcon icon;
    icon.AddImage(pixels, false);
    // The smallest complete GIF: one pixel.
    const TBytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0xFF, 0xFF, 0,  0,
                        0,   ',', 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x44, 0x01, 0,    ';'};
    struct Case {
        const char* name;
        TBytes bytes;
        TGPRawFormat format;
        int width, height;
    } cases[] = {
        {"png", drawingtest::Encoded<plat::TPngImage>(*bmp), rfPNG, 4, 3},
        {"bmp", drawingtest::Saved(*bmp), rfBMP, 4, 3},
        {"jpeg", drawingtest::Encoded<plat::TJPEGImage>(*bmp), rfJPEG, 4, 3},
        {"gif", gif, rfGIF, 1, 1},
        {"icon", drawingtest::Saved(icon), rfIcon, 2, 2},
        {"garbage", TBytes{1, 2, 3, 4, 5, 6, 7, 8}, rfUndefined, 0, 0},
        {"nothing", TBytes{}, rfUndefined, 0, 0},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::TMemoryStream stream;
        stream.Write(c.bytes.data(), static_cast<int64_t>(c.bytes.size()));
        TGPImage image(stream, false);
        EXPECT_EQ(image.GetFormat(), c.format);
        EXPECT_EQ(image.GetWidth(), c.width);
        EXPECT_EQ(image.GetHeight(), c.height);
    }

    TGPImage memory(*bmp);
    EXPECT_EQ(memory.GetFormat(), rfMemoryBMP);
    EXPECT_EQ(memory.GetWidth(), 4);
}

uint32_t Rgb(plat::TBitmap& bmp, int x, int y) {
    return static_cast<uint32_t>(plat::ColorToRGB(bmp.Canvas()->Pixels(x, y)));
}

TEST(KvxGDIPDrawing, FillsAndClipsOnACanvas) {
    auto bmp = drawingtest::MakeBitmap(20, 20, plat::clWhite);
    TGPGraphics g(*bmp->Canvas());
    ASSERT_EQ(g.GetLastStatus(), TAAStatus::Ok);
    TGPSolidBrush red(MakeGdipColor(plat::clRed));
    TGPRegion clip(MakeGdipRectF(0, 0, 10, 20));
    g.SetClipRegion(&clip, 0);
    g.FillRectF(&red, MakeGdipRectF(0, 0, 20, 20));
    EXPECT_EQ(Rgb(*bmp, 5, 5), static_cast<uint32_t>(plat::clRed));
    EXPECT_EQ(Rgb(*bmp, 15, 5), static_cast<uint32_t>(plat::clWhite));

    g.ResetClip();
    TGPLinearGradientBrush ramp(MakeGdipRectF(10, 0, 10, 20), MakeGdipColor(plat::clBlack),
                                MakeGdipColor(plat::clWhite), 0);
    g.FillRectangle(&ramp, 10, 0, 10, 20);
    EXPECT_LT(Rgb(*bmp, 11, 5) & 0xFF, Rgb(*bmp, 18, 5) & 0xFF);
    EXPECT_EQ(g.GetLastStatus(), TAAStatus::Ok);
}

TEST(KvxGDIPText, LengthCountsBytesWithoutSplittingACharacter) {
    auto bmp = drawingtest::MakeBitmap(200, 40, plat::clWhite);
    TGPGraphics g(*bmp->Canvas());
    auto family = CreateGdipFontFamily("Tahoma");
    TGPFont font(family.get(), 10, 0, 3);
    TGPStringFormat format(0x1000);
    auto width = [&](std::string_view text, int length) {
        TGdipRectF box;
        EXPECT_EQ(g.MeasureString(text, length, &font, MakeGdipRectF(0, 0, 0, 0), &format, box),
                  TAAStatus::Ok);
        return box.Width;
    };
    const std::string withZero("Hello\0World", 11);
    EXPECT_FLOAT_EQ(width(withZero, -1), width("Hello", 5));
    EXPECT_FLOAT_EQ(width("Hello World", -1), width("Hello World", 11));
    // "€" takes three bytes; a length that ends inside it stops before it.
    EXPECT_FLOAT_EQ(width("Ab\u20AC", 3), width("Ab", 2));
    EXPECT_FLOAT_EQ(width("Ab\u20AC", 4), width("Ab", 2));
    EXPECT_GT(width("Ab\u20AC", 5), width("Ab", 2));
    EXPECT_FLOAT_EQ(width("Ab", 50), width("Ab", 2));

    TGPSolidBrush black(0xFF000000);
    EXPECT_EQ(g.DrawString("Ab\u20AC", -1, &font, MakeGdipRectF(2, 2, 0, 0), &format, &black), TAAStatus::Ok);
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            dark += Rgb(*bmp, x, y) != static_cast<uint32_t>(plat::clWhite);
    EXPECT_GT(dark, 10);
}

TEST(KvxGDIPText, AntiAliasSettingPicksTheRenderingHint) {
    auto bmp = drawingtest::MakeBitmap(4, 4, plat::clWhite);
    struct Case {
        TAntiAlias setting;
        int hint;
    } cases[] = {{aaNone, plat::aathSystemDefault}, {aaClearType, 5}, {aaAntiAlias, 4}};
    for (const Case& c : cases) {
        TGPGraphics g(*bmp->Canvas());
        ApplyAntiAlias(g, c.setting);
        EXPECT_EQ(g.Handle()->TextRenderingHint(), c.hint) << kAntiAliasNames[c.setting];
    }
}

} // namespace
