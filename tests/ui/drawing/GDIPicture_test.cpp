#include "ui/drawing/GDIPicture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PictureBytes.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/PixelImage.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringList.h"
#include "platform/testing/TestOutput.h"
#include "ui/drawing/KvxGDIP.h"

using namespace ui;
using drawingtest::TBytes;

namespace {

constexpr plat::TColor kMagenta = 0xFF00FF;

// Records the events of a picture in order.
struct TEventLog {
    std::string events;
    void Watch(TGDIPPicture& p) {
        p.OnChange = [this](plat::TObject*) { events += "change;"; };
        p.OnClear = [this](plat::TObject*) { events += "clear;"; };
    }
};

TBytes PngBytes(int width, int height, uint32_t argb) {
    plat::TPixelImage image(width, height);
    for (uint32_t& px : image.Pixels)
        px = argb;
    plat::TPngImage png;
    png.SetImage(image);
    return drawingtest::Saved(png);
}

void LoadBytes(TGDIPPicture& p, const TBytes& bytes) {
    plat::TMemoryStream s;
    if (!bytes.empty())
        s.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    p.LoadFromStream(s);
}

uint32_t Rgb(plat::TBitmap& bmp, int x, int y) {
    return static_cast<uint32_t>(plat::ColorToRGB(bmp.Canvas()->Pixels(x, y)));
}

TEST(GDIPicture, AssignTakesBytesFromEachKindOfSource) {
    auto bmp = drawingtest::MakeBitmap(5, 4, plat::clRed);
    const TBytes png = PngBytes(3, 2, 0xFF00FF00);

    {
        TGDIPPicture source, p;
        LoadBytes(source, png);
        TEventLog log;
        log.Watch(p);
        p.Assign(&source);
        EXPECT_EQ(p.Data(), png);
        EXPECT_FALSE(p.Empty());
        EXPECT_EQ(p.Width(), 3);
        EXPECT_EQ(p.Height(), 2);
        EXPECT_EQ(log.events, "change;");
    }
    {
        TGDIPPicture p;
        p.Assign(bmp.get());
        EXPECT_EQ(p.Data(), drawingtest::Saved(*bmp));
        EXPECT_FALSE(p.Empty());
        EXPECT_EQ(p.Width(), 5);
        EXPECT_EQ(p.Height(), 4);
    }
    {
        // A holder's graphic is stored in its own format, not only bitmaps.
        plat::TPicture holder;
        auto graphic = std::make_unique<plat::TPngImage>();
        plat::TMemoryStream s;
        s.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
        s.SetPosition(0);
        graphic->LoadFromStream(s);
        holder.SetGraphic(std::move(graphic));
        TGDIPPicture p;
        p.Assign(&holder);
        auto image = p.CreateImage();
        EXPECT_EQ(image->GetFormat(), rfPNG);
        EXPECT_EQ(p.Width(), 3);
    }
    {
        // A holder without a graphic empties the picture instead of failing.
        plat::TPicture holder;
        TGDIPPicture p;
        LoadBytes(p, png);
        p.Assign(&holder);
        EXPECT_TRUE(p.Empty());
        EXPECT_TRUE(p.Data().empty());
    }
    {
        plat::TStringList notAPicture;
        TGDIPPicture p;
        LoadBytes(p, png);
        TEventLog log;
        log.Watch(p);
        EXPECT_NO_THROW(p.Assign(&notAPicture));
        EXPECT_TRUE(p.Empty());
        EXPECT_EQ(log.events, "");
    }
}

TEST(GDIPicture, AssigningNothingClearsAndTellsChangeThenClear) {
    TGDIPPicture p;
    LoadBytes(p, PngBytes(2, 2, 0xFF0000FF));
    ASSERT_FALSE(p.Empty());
    TEventLog log;
    log.Watch(p);
    p.Assign(nullptr);
    EXPECT_EQ(log.events, "change;clear;");
    EXPECT_TRUE(p.Empty());
    EXPECT_TRUE(p.Data().empty());
    EXPECT_FALSE(p.MeasureImage());
}

TEST(GDIPicture, BmpDrawsAtItsOwnSizeWithTheCornerColourTransparent) {
    // Magenta background (bottom-left too) with a blue block.
    auto bmp = drawingtest::MakeBitmap(6, 6, kMagenta, [](plat::TCanvas& c) {
        c.Brush()->SetColor(plat::clBlue);
        c.FillRect(plat::TRect(1, 1, 4, 4));
    });
    TGDIPPicture p;
    p.Assign(bmp.get());

    auto target = drawingtest::MakeBitmap(30, 30, plat::clWhite);
    p.Draw(*target->Canvas(), plat::TRect(10, 10, 30, 30));
    EXPECT_EQ(Rgb(*target, 12, 12), static_cast<uint32_t>(plat::clBlue));
    EXPECT_EQ(Rgb(*target, 10, 10), static_cast<uint32_t>(plat::clWhite)) << "magenta is transparent";
    EXPECT_EQ(Rgb(*target, 15, 15), static_cast<uint32_t>(plat::clWhite));
    EXPECT_EQ(Rgb(*target, 20, 20), static_cast<uint32_t>(plat::clWhite)) << "not stretched";
}

TEST(GDIPicture, PngStretchesToTheRectangleAndKeepsItsAlpha) {
    TGDIPPicture p;
    LoadBytes(p, PngBytes(2, 2, 0x800000FF)); // half-transparent blue
    auto target = drawingtest::MakeBitmap(30, 30, plat::clWhite);
    p.Draw(*target->Canvas(), plat::TRect(10, 10, 30, 30));
    const uint32_t inside = Rgb(*target, 25, 25);
    // Colours read 0xBBGGRR: blue stays full, red and green are halved by the alpha.
    EXPECT_NEAR(static_cast<int>((inside >> 16) & 0xFF), 255, 2) << "blue";
    EXPECT_NEAR(static_cast<int>((inside >> 8) & 0xFF), 127, 3) << "green";
    EXPECT_NEAR(static_cast<int>(inside & 0xFF), 127, 3) << "red";
    EXPECT_EQ(Rgb(*target, 5, 5), static_cast<uint32_t>(plat::clWhite));
    EXPECT_EQ(p.Width(), 2);
}

TEST(GDIPicture, UndecodableBytesDrawNothingAndMeasureZero) {
    TGDIPPicture p;
    LoadBytes(p, TBytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    EXPECT_FALSE(p.Empty());
    EXPECT_TRUE(p.MeasureImage());
    EXPECT_EQ(p.Width(), 0);
    auto target = drawingtest::MakeBitmap(10, 10, plat::clWhite);
    EXPECT_NO_THROW(p.Draw(*target->Canvas(), plat::TRect(0, 0, 10, 10)));
    EXPECT_EQ(Rgb(*target, 5, 5), static_cast<uint32_t>(plat::clWhite));
}

TEST(GDIPicture, FilesAndResourcesThatAreMissingChangeNothing) {
    const TBytes png = PngBytes(4, 4, 0xFFFF0000);
    TGDIPPicture p;
    LoadBytes(p, png);
    TEventLog log;
    log.Watch(p);
    p.LoadFromRCData("NO SUCH PICTURE RESOURCE");
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Data(), png);
    EXPECT_EQ(log.events, "");

    EXPECT_NO_THROW(p.LoadFromFile("/nonexistent/folder/picture.png"));
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(log.events, "");

    const std::string file = plat::TestOutputDir("drawing") + "/gdipicture-load.png";
    {
        plat::TMemoryStream s;
        s.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
        s.SaveToFile(file);
    }
    p.LoadFromFile(file);
    std::filesystem::remove(file);
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Width(), 4);
    EXPECT_EQ(log.events, "clear;change;");
}

TEST(GDIPicture, FormDataKeepsTheBytesAndLeavesTheSizeToMeasuring) {
    const TBytes png = PngBytes(7, 5, 0xFF112233);
    TGDIPPicture p;
    LoadBytes(p, png);
    plat::TMemoryStream written;
    p.WriteData(written);
    EXPECT_EQ(written.Bytes(), png);

    TGDIPPicture read;
    TEventLog log;
    log.Watch(read);
    written.SetPosition(0);
    read.ReadData(written);
    EXPECT_FALSE(read.Empty());
    EXPECT_EQ(read.Data(), png);
    EXPECT_EQ(read.Width(), 0);
    EXPECT_EQ(read.Height(), 0);
    EXPECT_EQ(log.events, "");
    EXPECT_TRUE(read.MeasureImage());
    EXPECT_EQ(read.Width(), 7);
    EXPECT_EQ(read.Height(), 5);
}

} // namespace
