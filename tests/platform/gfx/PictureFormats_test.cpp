#include "platform/gfx/PictureFormats.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "ExternalTool.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/CodecTestUtil.h"
#include "platform/gfx/GifImage.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/JpegImage.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/TempFolder.h"

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

namespace {

// A component that publishes a picture and a bitmap, as buttons and image controls do.
class TPictureHolder : public TComponent {
    PLAT_CLASS(TPictureHolder)
public:
    explicit TPictureHolder(TComponent* owner) : TComponent(owner) {}
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* value) { FPicture->Assign(value); }
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* value) { FGlyph->Assign(value); }

private:
    std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
    std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
};
PLAT_CLASS_INFO(TPictureHolder, TComponent)
PLAT_PROPERTIES(TPictureHolder) {
    props.Object("Picture", &TPictureHolder::Picture, &TPictureHolder::SetPicture);
    props.Object("Glyph", &TPictureHolder::Glyph, &TPictureHolder::SetGlyph);
}

TBytes SavedBytes(TGraphic& graphic) {
    TMemoryStream s;
    graphic.SaveToStream(s);
    return s.Bytes();
}

std::string TextOf(TPictureHolder& holder) {
    holder.SetName("Holder");
    return WriteComponentToText(&holder);
}

} // namespace

// Every format comes back from both layout forms as the same class with the same bytes.
TEST(PictureFormats, PicturesSurviveBothLayoutForms) {
    for (const TSample& s : Samples()) {
        SCOPED_TRACE(s.Extension);
        TPictureHolder written(nullptr);
        written.Picture()->SetGraphic(LoadGraphicFromBytes(s.Bytes));
        const TBytes expected = SavedBytes(*written.Picture()->Graphic());
        const std::string text = TextOf(written);
        EXPECT_NE(text.find("Picture.Data = {"), std::string::npos) << text;

        TMemoryStream binary;
        WriteComponent(binary, &written);
        binary.SetPosition(0);
        TPictureHolder fromText(nullptr), fromBinary(nullptr);
        ReadComponentFromText(text, &fromText);
        ReadComponentFromStream(binary, &fromBinary);
        for (TPictureHolder* read : {&fromText, &fromBinary}) {
            ASSERT_NE(read->Picture()->Graphic(), nullptr);
            EXPECT_STREQ(read->Picture()->Graphic()->ClassType().Name, s.Class.Name);
            EXPECT_EQ(read->Picture()->Width(), s.Width);
            EXPECT_EQ(read->Picture()->Height(), s.Height);
            EXPECT_EQ(SavedBytes(*read->Picture()->Graphic()), expected);
        }
    }
    // A metafile keeps its records.
    TPictureHolder written(nullptr), read(nullptr);
    auto metafile = std::make_unique<TMetafile>();
    metafile->SetWidth(40);
    metafile->SetHeight(30);
    {
        TMetafileCanvas canvas(metafile.get());
        canvas.Rectangle(2, 2, 20, 10);
    }
    written.Picture()->SetGraphic(std::move(metafile));
    ReadComponentFromText(TextOf(written), &read);
    ASSERT_TRUE(read.Picture()->Graphic() && read.Picture()->Graphic()->Is<TMetafile>());
    EXPECT_EQ(SavedBytes(*read.Picture()->Graphic()), SavedBytes(*written.Picture()->Graphic()));

    // A bitmap property keeps its pixels the same way.
    TPictureHolder withGlyph(nullptr), glyphRead(nullptr);
    withGlyph.Glyph()->SetSize(3, 2);
    withGlyph.Glyph()->Canvas()->SetPixels(2, 1, clRed);
    const std::string glyphText = TextOf(withGlyph);
    EXPECT_NE(glyphText.find("Glyph.Data = {"), std::string::npos) << glyphText;
    ReadComponentFromText(glyphText, &glyphRead);
    EXPECT_EQ(glyphRead.Glyph()->Width(), 3);
    EXPECT_EQ(glyphRead.Glyph()->Canvas()->Pixels(2, 1), clRed);
    EXPECT_EQ(SavedBytes(*glyphRead.Glyph()), SavedBytes(*withGlyph.Glyph()));

    // Empty ones store nothing.
    TPictureHolder empty(nullptr);
    EXPECT_EQ(TextOf(empty).find("Picture."), std::string::npos);
    EXPECT_EQ(TextOf(empty).find("Glyph."), std::string::npos);
}

TEST(PictureFormats, StoredPicturesOfUnknownClassesOrDamagedBytes) {
    auto data = [](const std::string& className, const TBytes& bytes) {
        std::string hex;
        char digits[3];
        auto add = [&](uint8_t b) {
            std::snprintf(digits, sizeof digits, "%02X", b);
            hex += digits;
        };
        add(static_cast<uint8_t>(className.size()));
        for (char c : className)
            add(static_cast<uint8_t>(c));
        for (uint8_t b : bytes)
            add(b);
        return "object Holder: TPictureHolder\n  Picture.Data = {" + hex + "}\nend\n";
    };
    const TBytes png = Samples()[1].Bytes;
    TBytes truncated = png;
    truncated.resize(png.size() / 2);

    // A class this program lacks still gives a picture when its bytes are one.
    TPictureHolder holder(nullptr);
    ReadComponentFromText(data("TSomeoneElsesPicture", png), &holder);
    ASSERT_NE(holder.Picture()->Graphic(), nullptr);
    EXPECT_TRUE(holder.Picture()->Graphic()->Is<TPngImage>());

    struct TCase {
        std::string Text;
        const char* What;
    } refused[] = {
        {data("TSomeoneElsesPicture", {1, 2, 3}), "unknown class, no picture"},
        {data("TPngImage", truncated), "truncated picture"},
        {data("TBitmap", png), "bytes of another class"},
        {"object Holder: TPictureHolder\n  Picture.Data = {05545069}\nend\n", "name cut short"},
    };
    for (const TCase& c : refused) {
        TPictureHolder target(nullptr);
        EXPECT_THROW(ReadComponentFromText(c.Text, &target), Exception) << c.What;
    }
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

namespace {

using PictureFiles = TempFolderTest;

// The program of ImageMagick that converts pictures; Debian's ImageMagick 6 names it by its version too.
std::string ImageMagick() {
    for (const char* name : {"magick", "convert-im6.q16", "convert"})
        if (std::string path = testtool::FindProgram(name); !path.empty())
            return path;
    return "";
}

// A picture with its every pixel set through the bitmap's own format (indexed ones take the nearest
// palette entry), and the pixels it then holds.
std::pair<TBytes, TPixelImage> BmpOf(const TPixelImage& from, TPixelFormat format) {
    TDib dib(from.Width, from.Height, format);
    TPixelImage held(from.Width, from.Height);
    for (int y = 0; y < from.Height; ++y)
        for (int x = 0; x < from.Width; ++x) {
            dib.SetPixel(x, y, from.At(x, y) & 0x00FFFFFF);
            held.Row(y)[x] = 0xFF000000 | dib.GetPixel(x, y);
        }
    return {WriteBmp(dib), held};
}

} // namespace

// ImageMagick, the reader many other programs share, decodes every kind of picture we write to the pixels
// we wrote (a JPEG within its loss): rows in order, channels in place, palettes and alpha kept.
TEST_F(PictureFiles, OpenInImageMagickAsWritten) {
    const std::string magick = ImageMagick();
    if (magick.empty())
        SKIP_WITHOUT_TOOL("ImageMagick is not installed");
    struct TCase {
        std::string Name; // the file, with the index of the picture inside it
        TBytes Bytes;
        TPixelImage Pixels;
        int Tolerance;
    };
    // Odd widths give the rows of every format padding.
    const TPixelImage opaque = Gradient(13, 7, false), clear = Gradient(13, 7, true);
    std::vector<TCase> cases;
    for (auto [name, format] :
         {std::pair{"bmp1", pf1bit}, {"bmp4", pf4bit}, {"bmp8", pf8bit}, {"bmp24", pf24bit}}) {
        auto [bytes, held] = BmpOf(opaque, format);
        cases.push_back({std::string(name) + ".bmp", bytes, held, 0});
    }
    cases.push_back({"opaque.png", WritePng(opaque), opaque, 0});
    cases.push_back({"alpha.png", WritePng(clear), clear, 0});
    // A JPEG loses least where colours change slowly.
    const TPixelImage smooth = Gradient(61, 29, false);
    cases.push_back({"photo.jpg", WriteJpeg(smooth, 95), smooth, 8});
    TIcon icon;
    icon.AddImage(Gradient(16, 16, true), false);
    icon.AddImage(Gradient(32, 32, true), true);
    TMemoryStream ico;
    icon.SaveToStream(ico);
    cases.push_back({"icon.ico[0]", ico.Bytes(), Gradient(16, 16, true), 0});
    cases.push_back({"icon.ico[1]", ico.Bytes(), Gradient(32, 32, true), 0});

    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string file = c.Name.substr(0, c.Name.find('['));
        std::ofstream(Path(file), std::ios::binary)
            .write(reinterpret_cast<const char*>(c.Bytes.data()),
                   static_cast<std::streamsize>(c.Bytes.size()));
        std::string command = "'" + magick + "' '" + Path(c.Name) + "' -depth 8 'rgba:" + Path("out.rgba") +
                              "' >/dev/null 2>&1";
        std::filesystem::remove(Path("out.rgba"));
        EXPECT_EQ(std::system(command.c_str()), 0);
        std::ifstream in(Path("out.rgba"), std::ios::binary);
        std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(raw.size(), size_t(c.Pixels.Width) * c.Pixels.Height * 4);
        int wrong = 0;
        for (int y = 0; y < c.Pixels.Height; ++y)
            for (int x = 0; x < c.Pixels.Width; ++x) {
                const uint8_t* p =
                    reinterpret_cast<const uint8_t*>(raw.data()) + (size_t(y) * c.Pixels.Width + x) * 4;
                uint32_t read = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
                uint32_t wrote = c.Pixels.At(x, y);
                // The colour of a fully transparent pixel is nobody's business.
                if (wrote >> 24 == 0) {
                    read &= 0xFF000000;
                    wrote = 0;
                }
                if (ChannelDistance(read, wrote) > c.Tolerance && wrong++ == 0)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << read << " for "
                                  << wrote;
            }
        EXPECT_EQ(wrong, 0);
    }
}

namespace {

class PictureSaveTest : public TempFolderTest {
protected:
    static std::string Content(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Put(const std::string& name, const std::string& content, mode_t mode) const {
        std::ofstream(Path(name), std::ios::binary) << content;
        ::chmod(Path(name).c_str(), mode);
    }
    static mode_t Mode(const std::string& name) {
        struct stat st {};
        return ::stat(name.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
};

} // namespace

// Every kind of picture is saved the same safe way: through a link, over a protected or a read-only
// file, beside a user's file that looks like a temporary one.
TEST_F(PictureSaveTest, EverySaverReplacesFilesSafely) {
    std::vector<std::pair<std::string, std::unique_ptr<TGraphic>>> savers;
    for (const TSample& s : Samples())
        savers.emplace_back(s.Extension, LoadGraphicFromBytes(s.Bytes));
    for (bool enhanced : {true, false}) {
        auto metafile = std::make_unique<TMetafile>();
        metafile->SetWidth(20);
        metafile->SetHeight(10);
        {
            TMetafileCanvas canvas(metafile.get());
            canvas.Rectangle(2, 2, 12, 8);
        }
        metafile->SetEnhanced(enhanced);
        savers.emplace_back(enhanced ? "emf" : "wmf", std::move(metafile));
    }
    ASSERT_EQ(savers.size(), 7u);

    for (const auto& [ext, graphic] : savers) {
        SCOPED_TRACE(ext);
        const std::string target = "target." + ext, link = "link." + ext;
        const std::string readOnly = "read-only." + ext, guarded = "guarded." + ext;
        const std::string userTemp = guarded + ".tmp~";
        Put(target, "old", 0644);
        ASSERT_EQ(::symlink(target.c_str(), Path(link).c_str()), 0);
        Put(readOnly, "keep", 0444);
        Put(guarded, "old", 0640);
        Put(userTemp, "the user's own file", 0600);

        // Through a link: the target is written, the link stays, and the picture reads back.
        graphic->SaveToFile(Path(link));
        struct stat st {};
        ASSERT_EQ(::lstat(Path(link).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        TPicture picture;
        picture.LoadFromFile(Path(target));
        EXPECT_EQ(picture.Width(), graphic->Width());

        // A read-only file is refused, unchanged, with a message that says so.
        try {
            graphic->SaveToFile(Path(readOnly));
            ADD_FAILURE() << "a read-only file was replaced";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message(), "Cannot create file \"" + Path(readOnly) + "\". The file is read-only");
        }
        EXPECT_EQ(Content(Path(readOnly)), "keep");
        EXPECT_EQ(Mode(Path(readOnly)), 0444u);

        // A replaced file keeps its permissions; a file named like a temporary one is not touched.
        graphic->SaveToFile(Path(guarded));
        EXPECT_NE(Content(Path(guarded)), "old");
        EXPECT_EQ(Mode(Path(guarded)), 0640u);
        EXPECT_EQ(Content(Path(userTemp)), "the user's own file");

        // Nothing else is left in the folder.
        EXPECT_EQ(Entries(), (std::vector<std::string>{guarded, userTemp, link, readOnly, target}));
        for (const std::string& name : Entries())
            std::filesystem::remove(Path(name));
    }
}
