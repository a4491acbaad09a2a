#include "platform/gfx/PictureFormats.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/CodecTestUtil.h"
#include "platform/gfx/GifImage.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/JpegImage.h"
#include "platform/gfx/PngImage.h"

using namespace plat;
using namespace codectest;

namespace {

TBytes GifBytes() {
    // A 2 x 1 GIF written out by hand: header, screen with a two-colour table, one frame, trailer.
    return {'G', 'I',  'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 255,  0,    0, 0,   0,
            255, 0x2C, 0,   0,   0,   0,   2, 0, 1, 0, 0,    2, 2, 0x44, 0x0A, 0, 0x3B};
}

struct TSample {
    const char* Extension;
    TImageFileFormat Format;
    TBytes Bytes;
    const TClassInfo& Class;
    int Width, Height;
};

std::vector<TSample> Samples() {
    TIcon icon;
    icon.AddImage(Gradient(16, 16, true), false);
    icon.AddImage(Gradient(32, 32, true), true);
    TMemoryStream ico;
    icon.SaveToStream(ico);
    return {
        {"bmp", iffBmp, WriteBmp(TDib(3, 2, pf24bit)), TBitmap::StaticClass(), 3, 2},
        {"png", iffPng, WritePng(Gradient(5, 4, true)), TPngImage::StaticClass(), 5, 4},
        {"jpg", iffJpeg, WriteJpeg(Gradient(6, 3, false), 80), TJPEGImage::StaticClass(), 6, 3},
        {"gif", iffGif, GifBytes(), TGIFImage::StaticClass(), 2, 1},
        {"ico", iffIcon, ico.Bytes(), TIcon::StaticClass(), 32, 32},
    };
}

} // namespace

TEST(PictureFormats, SniffsAndLoadsEveryFormatFromItsBytes) {
    for (const TSample& s : Samples()) {
        SCOPED_TRACE(s.Extension);
        EXPECT_EQ(SniffImageFormat(s.Bytes.data(), s.Bytes.size()), s.Format);
        std::unique_ptr<TGraphic> graphic = LoadGraphicFromBytes(s.Bytes);
        EXPECT_STREQ(graphic->ClassType().Name, s.Class.Name);
        EXPECT_EQ(graphic->Width(), s.Width);
        EXPECT_EQ(graphic->Height(), s.Height);
        TPixelImage pixels = DecodeImageBytes(s.Bytes.data(), s.Bytes.size());
        EXPECT_EQ(pixels.Width, s.Width);
        EXPECT_EQ(pixels.Height, s.Height);
    }
    TGifFrames gif = ReadGif(GifBytes().data(), GifBytes().size());
    EXPECT_EQ(gif.Frames[0].Pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF}));

    const TBytes unknown[] = {
        {}, {'B'}, {0, 0, 2, 0, 1, 0}, {'G', 'I', 'F', '8', '8', 'a'}, {0x89, 'P', 'N', 'G'}};
    for (const TBytes& b : unknown) {
        EXPECT_EQ(SniffImageFormat(b.data(), b.size()), iffUnknown);
        EXPECT_THROW(LoadGraphicFromBytes(b), EInvalidGraphic);
    }
    TBytes truncatedPng = Samples()[1].Bytes;
    truncatedPng.resize(truncatedPng.size() / 2);
    EXPECT_THROW(LoadGraphicFromBytes(truncatedPng), EInvalidGraphic);
}

TEST(PictureFormats, PicturesLoadAndSaveFilesByExtension) {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("lumetra-codecs-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    for (const TSample& s : Samples()) {
        SCOPED_TRACE(s.Extension);
        std::string name = (dir / ("picture." + std::string(s.Extension))).string();
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(s.Bytes.data()),
                   static_cast<std::streamsize>(s.Bytes.size()));
        TPicture picture;
        picture.LoadFromFile(name);
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_STREQ(picture.Graphic()->ClassType().Name, s.Class.Name);
        EXPECT_EQ(picture.Width(), s.Width);

        // Written back and read again, the picture is the same size.
        std::string copy = (dir / ("copy." + std::string(s.Extension))).string();
        picture.SaveToFile(copy);
        TPicture again;
        again.LoadFromFile(copy);
        EXPECT_EQ(again.Width(), s.Width);
        EXPECT_EQ(again.Height(), s.Height);
    }
    TPicture picture;
    std::string jpeg = (dir / "photo.JPEG").string();
    std::filesystem::copy_file(dir / "picture.jpg", jpeg);
    picture.LoadFromFile(jpeg);
    EXPECT_TRUE(picture.Graphic()->Is<TJPEGImage>());
    std::filesystem::remove_all(dir);

    std::string filter = TPicture::FileFilter();
    for (const char* entry :
         {"Portable Network Graphics (*.png)|*.png", "JPEG Image File (*.jpg)|*.jpg",
          "JPEG Image File (*.jpeg)|*.jpeg", "GIF Image (*.gif)|*.gif", "Icons (*.ico)|*.ico"})
        EXPECT_NE(filter.find(entry), std::string::npos) << entry;
}
