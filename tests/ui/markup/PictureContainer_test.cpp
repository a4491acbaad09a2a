#include "ui/markup/PictureContainer.h"

#include <gtest/gtest.h>

#include <memory>

#include "MarkupTestUtil.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/JpegImage.h"
#include "platform/gfx/Metafile.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/Stream.h"

using namespace plat;
using namespace ui;
using namespace markuptest;

namespace {

void Load(THTMLPicture& picture, const std::vector<uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    picture.LoadFromStream(stream);
}

TColor PixelOf(THTMLPicture& picture) {
    TPage page(4, 4);
    picture.Draw(page.Canvas(), TRect(0, 0, 1, 1));
    return page.At(0, 0);
}

} // namespace

TEST(PictureContainer, EveryFormatOfTheLoaderDecodesAndDraws) {
    TPixelImage red(6, 4);
    for (uint32_t& p : red.Pixels)
        p = 0xFFFF0000;
    TIcon icon;
    icon.AddImage(red, false);
    TMemoryStream icoStream;
    icon.SaveToStream(icoStream);
    const std::vector<uint8_t> ico(icoStream.Memory(), icoStream.Memory() + icoStream.Size());
    TMetafileContent content;
    content.Width = 6;
    content.Height = 4;
    TMetaRecord fill;
    fill.Op = TMetaOp::PatBlt;
    fill.Rect = TRect(0, 0, 6, 4);
    fill.Value = PATCOPY;
    TMetaRecord brush;
    brush.Op = TMetaOp::SelectBrush;
    brush.Brush = CreateSolidBrush(clRed);
    content.Records = {brush, fill};
    struct TCase {
        const char* Format;
        std::vector<uint8_t> Bytes;
    } cases[] = {
        {"BMP", BmpBytes(6, 4, clRed)}, {"ICO", ico},
        {"GIF", GifBytes({0})},         {"JPEG", WriteJpeg(red, 95)},
        {"EMF", WriteEmf(content)},     {"WMF", WriteWmf(content)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Format);
        THTMLPicture picture;
        Load(picture, c.Bytes);
        EXPECT_FALSE(picture.Empty());
        EXPECT_GT(picture.Width(), 0);
        TPage page(20, 20);
        picture.SetStretch(true);
        picture.Draw(page.Canvas(), TRect(0, 0, 10, 10));
        const TColor centre = page.At(5, 5);
        EXPECT_GT(GetRValue(centre), 200);
        EXPECT_LT(GetGValue(centre), 60);
    }
}

TEST(PictureContainer, GifFrameChoiceShowsThatFrameAndTellsItsListener) {
    THTMLPicture picture;
    Load(picture, GifBytes({0, 1, 2}));
    EXPECT_TRUE(picture.IsGIF());
    EXPECT_EQ(picture.FrameCount(), 3);
    EXPECT_EQ(PixelOf(picture), clRed);
    int changes = 0;
    picture.OnFrameChange = [&](TObject*) { ++changes; };
    picture.SetFrame(2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(PixelOf(picture), clLime);
    picture.SetFrame(3);
    EXPECT_EQ(PixelOf(picture), clBlue);
    EXPECT_EQ(picture.LogicalWidth(), 1);

    THTMLPicture bmp;
    Load(bmp, BmpBytes(7, 5, clRed));
    EXPECT_FALSE(bmp.IsGIF());
    EXPECT_EQ(bmp.FrameCount(), -1);
    EXPECT_EQ(bmp.Width(), 7);
    EXPECT_EQ(bmp.Height(), 5);
}

TEST(PictureContainer, BytesThatDoNotDecodeLeaveAnEmptyPicture) {
    THTMLPicture picture;
    EXPECT_THROW(Load(picture, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}), EInvalidGraphic);
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Width(), 0);
    // The same bytes from a file: nothing raises, the picture is empty.
    THTMLPicture fromFile;
    fromFile.LoadFromFile(WriteFile("broken.bmp", {'B', 'M', 1, 2, 3}));
    EXPECT_TRUE(fromFile.Empty());
}

TEST(PictureContainer, SourcesAreReadOnlyFromResourcesAndPictureFiles) {
    const std::string file = WriteFile("red.bmp", BmpBytes(3, 2, clRed));
    struct TCase {
        std::string Source;
        bool Loaded;
    } cases[] = {
        {"FILE://" + file, true},
        {"file://" + file, true},
        {"FILE://" + file + ".missing", false},
        {"FILE:///dev/zero", false}, // a device is never opened as a picture
        {"FILE://" + std::filesystem::temp_directory_path().string(), false},
        {"RES://", false},
        {"RES://NO_SUCH_PICTURE", false},
        {"http://example.com/a.png", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Source);
        THTMLPicture picture;
        picture.SetAllowDownload(false);
        picture.LoadFromSource(c.Source);
        EXPECT_EQ(!picture.Empty(), c.Loaded);
        EXPECT_EQ(picture.ID(), c.Source);
    }
    THTMLPicture web;
    web.LoadFromSource("http://example.com/a.png");
    EXPECT_EQ(web.URL(), "http://example.com/a.png");
    EXPECT_TRUE(web.Bytes().empty());
}

TEST(PictureContainer, LookupsByNameIgnoreCaseButCacheSourcesDoNot) {
    TPictureContainer container(nullptr);
    EXPECT_EQ(container.Version(), "1.0.0.0");
    container.SetVersion("9.9");
    EXPECT_EQ(container.Version(), "1.0.0.0");
    TPictureItem* first = container.Items()->Add();
    first->SetName("Logo");
    TPictureItem* second = container.Items()->Add();
    second->SetName("LOGO");
    EXPECT_EQ(container.PictureByName("lOgO"), first->Picture());
    EXPECT_EQ(container.PictureByName("other"), nullptr);

    THTMLPictureCache cache;
    THTMLPicture* picture = cache.AddPicture();
    picture->LoadFromSource("http://a/B.png");
    EXPECT_EQ(cache.FindPicture("http://a/B.png"), picture);
    EXPECT_EQ(cache.FindPicture("http://a/b.png"), nullptr);
    cache.ClearPictures();
    EXPECT_EQ(cache.Count(), 0);
}

TEST(PictureContainer, ItemsCopyOnlyFromItemsAndPicturesTravelInLayouts) {
    TPictureContainer container(nullptr);
    container.SetName("Pictures");
    TPictureItem* item = container.Items()->Add();
    item->SetName("dot");
    item->SetTag(7);
    Load(*item->Picture(), BmpBytes(2, 2, clBlue));
    item->Picture()->SetStretch(true);

    TPictureContainer other(nullptr);
    other.Items()->Add()->Assign(item);
    EXPECT_EQ(other.Items()->Items(0)->Name(), "dot");
    EXPECT_EQ(other.Items()->Items(0)->Tag(), 7);
    EXPECT_EQ(other.Items()->Items(0)->Picture()->Width(), 2);
    EXPECT_THROW(other.Items()->Items(0)->Assign(item->Picture()), EInvalidCast);

    const std::string text = WriteComponentToText(&container);
    EXPECT_NE(text.find("Picture.Data"), std::string::npos) << text;
    TPictureContainer copy(nullptr);
    ReadComponentFromText(text, &copy);
    ASSERT_EQ(copy.Items()->Count(), 1);
    THTMLPicture* picture = copy.Items()->Items(0)->Picture();
    EXPECT_EQ(picture->Bytes(), item->Picture()->Bytes());
    EXPECT_TRUE(picture->Stretch());
    EXPECT_EQ(picture->Width(), 2);
    EXPECT_EQ(WriteComponentToText(&copy), text);

    // A layout names the container's class; a picture in it that does not decode does not stop the load.
    std::string broken = text;
    const size_t data = broken.find("Picture.Data = {");
    ASSERT_NE(data, std::string::npos);
    broken.replace(data + 16, 4, "0000");
    std::unique_ptr<TComponent> created(ReadComponentFromText(broken));
    auto* loaded = dynamic_cast<TPictureContainer*>(created.get());
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->PictureByName("DOT")->Empty());
    EXPECT_FALSE(loaded->PictureByName("DOT")->Bytes().empty());
}
