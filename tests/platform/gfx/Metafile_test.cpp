#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "ExternalTool.h"
#include "platform/gfx/GfxTestUtil.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/MetafileRecorder.h"
#include "platform/gfx/MetafileScene.h"
#include "platform/gfx/PixelLine.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/TempFolder.h"

using namespace plat;
using gfxtest::kSceneHeight;
using gfxtest::kSceneWidth;

namespace {

using TDraw = std::function<void(TCanvas&)>;

std::unique_ptr<TBitmap> DrawDirect(int w, int h, const TDraw& draw) {
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    draw(*b->Canvas());
    return b;
}

std::shared_ptr<const TMetafileContent> Record(int w, int h, const TDraw& draw) {
    TMetafile mf;
    mf.SetWidth(w);
    mf.SetHeight(h);
    {
        TMetafileCanvas canvas(&mf);
        draw(canvas);
    }
    return mf.Content();
}

std::unique_ptr<TBitmap> Play(const TMetafileContent& content, int w, int h) {
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    PlayMetafile(content, *b->Canvas()->Handle(), TRect(0, 0, w, h));
    return b;
}

// Pixels whose colour differs by more than `tolerance` in some channel.
int Differences(TBitmap& a, TBitmap& b, int tolerance = 0) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            uint32_t p = a.Surface().Row(y)[x], q = b.Surface().Row(y)[x];
            for (int k = 0; k < 24; k += 8)
                if (std::abs(int((p >> k) & 0xFF) - int((q >> k) & 0xFF)) > tolerance) {
                    ++n;
                    break;
                }
        }
    return n;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
int32_t I32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int32_t>(U32(b, at));
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
    uint16_t v;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}

void SmallPicture(TCanvas& c) {
    c.Brush()->SetColor(clWhite);
    c.FillRect(TRect(0, 0, 60, 40));
    c.Pen()->SetColor(clBlue);
    c.Brush()->SetColor(clYellow);
    c.Rectangle(5, 5, 30, 25);
    c.Font()->SetName("Arial");
    c.TextOut(8, 26, "Größe °C");
    TBitmap tile(3, 2, pf24bit);
    tile.Canvas()->SetPixels(1, 1, clRed);
    c.StretchDraw(TRect(40, 5, 52, 13), &tile);
}

// The record types of an enhanced metafile, in order.
std::vector<uint32_t> EmfTypes(const std::vector<uint8_t>& emf) {
    std::vector<uint32_t> out;
    for (size_t at = 0; at + 8 <= emf.size() && U32(emf, at + 4) >= 8; at += U32(emf, at + 4))
        out.push_back(U32(emf, at));
    return out;
}

// The record functions of a placeable Windows metafile, in order.
std::vector<uint16_t> WmfFunctions(const std::vector<uint8_t>& wmf) {
    std::vector<uint16_t> out;
    for (size_t at = 22 + 18; at + 6 <= wmf.size() && U32(wmf, at) >= 3; at += size_t(U32(wmf, at)) * 2)
        out.push_back(U16(wmf, at + 4));
    return out;
}

std::vector<TMetaOp> Ops(const std::vector<TMetaRecord>& records) {
    std::vector<TMetaOp> out;
    for (const TMetaRecord& r : records)
        out.push_back(r.Op);
    return out;
}

// The path calls among the records.
std::vector<TMetaOp> PathOps(const std::vector<TMetaRecord>& records) {
    std::vector<TMetaOp> out;
    for (const TMetaRecord& r : records)
        if (r.Op >= TMetaOp::BeginPath)
            out.push_back(r.Op);
    return out;
}

template <class T> bool Has(const std::vector<T>& v, uint32_t value) {
    return std::find(v.begin(), v.end(), static_cast<T>(value)) != v.end();
}

// Outlined caption text as a chart draws it: the text becomes a path that is widened and made the clip
// of a gradient, then recorded again and stroked and filled; drawing goes on afterwards.
void OutlinedText(TCanvas& c) {
    c.Brush()->SetColor(clWhite);
    c.FillRect(TRect(0, 0, 160, 60));
    c.Font()->SetName("Arial");
    c.Font()->SetHeight(-40);
    c.Font()->SetStyle(fsBold);
    c.Pen()->SetColor(clNavy);
    c.Pen()->SetWidth(3);
    c.Handle()->SetBkMode(TRANSPARENT);
    c.Handle()->BeginPath();
    c.TextOut(8, 6, "Lum");
    c.Handle()->EndPath();
    c.Handle()->WidenPath();
    c.Handle()->SelectClipPath(RGN_AND);
    TTriVertex v[2] = {{0, 0, 0xFF00, 0x8000, 0, 0}, {160, 60, 0, 0x4000, 0xFF00, 0}};
    TGradientRect gr{0, 1};
    c.Handle()->GradientFill(v, 2, &gr, 1, GRADIENT_FILL_RECT_H);
    c.Handle()->SelectClipRgn(nullptr);
    c.Pen()->SetWidth(1);
    c.Brush()->SetColor(clYellow);
    c.Handle()->BeginPath();
    c.TextOut(8, 6, "Lum");
    c.Handle()->EndPath();
    c.Handle()->StrokeAndFillPath();
    c.Rectangle(130, 40, 155, 55);
}

} // namespace

// The scene recorded, written in both formats, read back and played gives the picture drawn directly;
// the files are left for people and other programs to look at.
TEST(Metafile, SceneSurvivesRecordingAndBothFileFormats) {
    auto direct = DrawDirect(kSceneWidth, kSceneHeight, gfxtest::DrawMetafileScene);
    auto content = Record(kSceneWidth, kSceneHeight, gfxtest::DrawMetafileScene);

    auto played = Play(*content, kSceneWidth, kSceneHeight);
    EXPECT_EQ(Differences(*direct, *played), 0);

    std::vector<uint8_t> emf = WriteEmf(*content);
    TMetafileContent fromEmf = ReadEmf(emf.data(), emf.size());
    EXPECT_EQ(fromEmf.Width, kSceneWidth);
    EXPECT_EQ(fromEmf.Height, kSceneHeight);
    auto emfPlayed = Play(fromEmf, kSceneWidth, kSceneHeight);
    EXPECT_EQ(Differences(*direct, *emfPlayed), 0);

    // The older format draws curves and gradients as what they look like; only the line of alternate
    // dots, which it lacks, comes back as a dotted line.
    std::vector<uint8_t> wmf = WriteWmf(*content);
    TMetafileContent fromWmf = ReadWmf(wmf.data(), wmf.size());
    EXPECT_EQ(fromWmf.Width, kSceneWidth);
    auto wmfPlayed = Play(fromWmf, kSceneWidth, kSceneHeight);
    EXPECT_LT(Differences(*direct, *wmfPlayed), 140);

    std::string dir = gfxtest::OutputDir();
    TMetafile file;
    file.SetContent(content);
    file.SaveToFile(dir + "/scene.emf");
    file.SetEnhanced(false);
    file.SaveToFile(dir + "/scene.wmf");
    TPicture picture;
    picture.LoadFromFile(dir + "/scene.wmf");
    ASSERT_TRUE(picture.Graphic() && picture.Graphic()->Is<TMetafile>());
    EXPECT_FALSE(static_cast<TMetafile*>(picture.Graphic())->Enhanced());
    EXPECT_EQ(picture.Width(), kSceneWidth);
}

using MetafileFiles = TempFolderTest;

// Both formats open in LibreOffice, where people put our metafiles into their documents, at the size we
// gave them, with the colours in their places, a curve in the middle and the text as we wrote it.
TEST_F(MetafileFiles, OpenInLibreOffice) {
    std::string soffice = testtool::FindProgram("soffice");
    if (soffice.empty())
        SKIP_WITHOUT_TOOL("LibreOffice is not installed");
    // Draw's core library beside the program: Draw is what opens pictures.
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::canonical(soffice, ec).parent_path() / "libsdlo.so"))
        SKIP_WITHOUT_TOOL("LibreOffice Draw is not installed");

    const int w = 200, h = 100;
    const std::string text = "Grüße 5 µm";
    TMetafile file;
    file.SetContent(Record(w, h + 30, [&](TCanvas& c) {
        const TColor quadrants[] = {clRed, clLime, clBlue, clYellow};
        for (int i = 0; i < 4; ++i) {
            c.Brush()->SetColor(quadrants[i]);
            c.FillRect(TRect(i % 2 * w / 2, i / 2 * h / 2, (i % 2 + 1) * w / 2, (i / 2 + 1) * h / 2));
        }
        c.Pen()->SetColor(clBlack);
        c.Brush()->SetColor(clBlack);
        c.Ellipse(w / 2 - 20, h / 2 - 20, w / 2 + 20, h / 2 + 20);
        c.Brush()->SetStyle(bsClear);
        c.Font()->SetName("DejaVu Sans");
        c.Font()->SetSize(10);
        c.TextOut(4, h + 8, text);
    }));
    file.SaveToFile(Path("ours-emf.emf"));
    file.SetEnhanced(false);
    file.SaveToFile(Path("ours-wmf.wmf"));
    for (const char* format : {"png", "svg"}) {
        std::string command = "cd '" + FFolder + "' && soffice -env:UserInstallation=file://" + FFolder +
                              "profile --headless --convert-to " + format + " ours-emf.emf ours-wmf.wmf " +
                              ">/dev/null 2>&1";
        (void)std::system(command.c_str());
    }

    for (const char* name : {"ours-emf", "ours-wmf"}) {
        SCOPED_TRACE(name);
        TPngImage png;
        ASSERT_NO_THROW(png.LoadFromFile(Path(std::string(name) + ".png")));
        const TPixelImage& page = png.Image();
        // The picture lies somewhere on a white page; its quadrants start at its top left corner.
        TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        for (int y = 0; y < page.Height; ++y)
            for (int x = 0; x < page.Width; ++x)
                if ((page.At(x, y) & 0x00FFFFFF) != 0x00FFFFFF) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        ASSERT_NE(box.Left, INT32_MAX) << "an empty page";
        EXPECT_NEAR(box.Right - box.Left, w, 1);
        auto at = [&](int x, int y) { return PixelToColor(page.At(box.Left + x, box.Top + y) & 0x00FFFFFF); };
        EXPECT_EQ(at(25, 25), clRed);
        EXPECT_EQ(at(175, 25), clLime);
        EXPECT_EQ(at(25, 75), clBlue);
        EXPECT_EQ(at(175, 75), clYellow);
        EXPECT_EQ(at(w / 2, h / 2), clBlack);
        EXPECT_EQ(at(w / 2 - 30, h / 2 - 20), clRed) << "the circle stays inside its box";
        EXPECT_EQ(at(w - 1, h - 1), clYellow);
        EXPECT_NE(at(w - 1, h + 1), clYellow);

        std::ifstream svg(Path(std::string(name) + ".svg"));
        std::string drawing((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
        EXPECT_NE(drawing.find(text), std::string::npos) << drawing.substr(0, 2000);
    }
}

TEST(Metafile, EnhancedHeaderGivesFrameInHundredthsOfMillimetresAndCountsRecords) {
    auto content = Record(60, 40, SmallPicture);
    std::vector<uint8_t> emf = WriteEmf(*content);
    ASSERT_GE(emf.size(), 108u);
    EXPECT_EQ(U32(emf, 0), 1u);           // header record
    EXPECT_EQ(U32(emf, 40), 0x464D4520u); // " EMF"
    EXPECT_EQ(TRect(I32(emf, 8), I32(emf, 12), I32(emf, 16), I32(emf, 20)), TRect(0, 0, 59, 39));
    // 60 by 40 pixels at 96 per inch.
    EXPECT_EQ(TRect(I32(emf, 24), I32(emf, 28), I32(emf, 32), I32(emf, 36)), TRect(0, 0, 1588, 1058));
    EXPECT_EQ(U32(emf, 48), emf.size());
    size_t at = 0, records = 0;
    uint32_t last = 0;
    while (at < emf.size()) {
        last = U32(emf, at);
        at += U32(emf, at + 4);
        ++records;
    }
    EXPECT_EQ(at, emf.size());
    EXPECT_EQ(U32(emf, 52), records);
    EXPECT_EQ(last, 14u);        // end of file
    EXPECT_GE(U16(emf, 56), 3u); // the pen, brush and font objects at least
}

TEST(Metafile, PlaceableHeaderHasBoxAtScreenResolutionAndChecksum) {
    auto content = Record(60, 40, SmallPicture);
    std::vector<uint8_t> wmf = WriteWmf(*content);
    ASSERT_GE(wmf.size(), 40u);
    EXPECT_EQ(U32(wmf, 0), 0x9AC6CDD7u);
    EXPECT_EQ(TRect(int16_t(U16(wmf, 6)), int16_t(U16(wmf, 8)), int16_t(U16(wmf, 10)), int16_t(U16(wmf, 12))),
              TRect(0, 0, 60, 40));
    EXPECT_EQ(U16(wmf, 14), 96);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= U16(wmf, i * 2);
    EXPECT_EQ(U16(wmf, 20), sum);
    // The standard header: its size in words and the largest record.
    EXPECT_EQ(U16(wmf, 22 + 2), 9);
    EXPECT_EQ(size_t(U32(wmf, 22 + 6)) * 2, wmf.size() - 22);
    uint32_t largest = 0;
    for (size_t at = 22 + 18; at < wmf.size(); at += size_t(U32(wmf, at)) * 2)
        largest = std::max(largest, U32(wmf, at));
    EXPECT_EQ(U32(wmf, 22 + 12), largest);
}

TEST(Metafile, TextKeepsItsCharactersInBothFormats) {
    auto content = Record(60, 40, SmallPicture);
    for (bool enhanced : {true, false}) {
        std::vector<uint8_t> bytes = enhanced ? WriteEmf(*content) : WriteWmf(*content);
        TMetafileContent back =
            enhanced ? ReadEmf(bytes.data(), bytes.size()) : ReadWmf(bytes.data(), bytes.size());
        auto text = std::find_if(back.Records.begin(), back.Records.end(),
                                 [](const TMetaRecord& r) { return r.Op == TMetaOp::Text; });
        ASSERT_NE(text, back.Records.end());
        EXPECT_EQ(text->Text, "Größe °C") << enhanced;
        EXPECT_EQ(text->Points[0], TPoint(8, 26));
    }
}

// Files that end early or lie about their sizes are refused cleanly, whatever part is damaged.
TEST(Metafile, DamagedFilesRaiseInvalidGraphic) {
    auto content = Record(60, 40, SmallPicture);
    for (bool enhanced : {true, false}) {
        const std::vector<uint8_t> good = enhanced ? WriteEmf(*content) : WriteWmf(*content);
        auto read = [&](const std::vector<uint8_t>& b) {
            return enhanced ? ReadEmf(b.data(), b.size()) : ReadWmf(b.data(), b.size());
        };
        for (size_t cut = 0; cut < good.size(); cut += 1 + cut / 16) {
            std::vector<uint8_t> b(good.begin(), good.begin() + cut);
            EXPECT_THROW(read(b), EInvalidGraphic) << (enhanced ? "emf" : "wmf") << " cut at " << cut;
        }
        // Random damage: every outcome is a picture or EInvalidGraphic, never a stray read.
        uint32_t seed = 7;
        for (int round = 0; round < 3000; ++round) {
            std::vector<uint8_t> b = good;
            for (int k = 0; k < 4; ++k) {
                seed = seed * 1103515245u + 12345u;
                size_t at = (seed >> 8) % b.size();
                seed = seed * 1103515245u + 12345u;
                b[at] = static_cast<uint8_t>(seed >> 16);
            }
            try {
                read(b);
            } catch (const EInvalidGraphic&) {
            }
        }
    }
    // A record whose size runs past the end.
    std::vector<uint8_t> emf = WriteEmf(*content);
    std::memcpy(emf.data() + 108 + 4, "\xF0\xFF\xFF\x0F", 4);
    EXPECT_THROW(ReadEmf(emf.data(), emf.size()), EInvalidGraphic);
    // A polyline counting more points than its record holds.
    TMetafileContent line;
    line.Width = line.Height = 10;
    line.Records.push_back({});
    line.Records.back().Op = TMetaOp::Polyline;
    line.Records.back().Points = {{1, 1}, {5, 5}};
    emf = WriteEmf(line);
    ASSERT_EQ(U32(emf, 108), 87u); // POLYLINE16
    std::memcpy(emf.data() + 108 + 24, "\x00\x00\x01\x00", 4);
    EXPECT_THROW(ReadEmf(emf.data(), emf.size()), EInvalidGraphic);
    // Not a metafile at all.
    TMetafile mf;
    TStringStream junk("This is not a picture at all, just some words.");
    EXPECT_THROW(mf.LoadFromStream(junk), EInvalidGraphic);
    EXPECT_TRUE(mf.Empty());
}

// What a chart does when it prints or exports: scaled mapping, clipping and XOR drawing all come back.
TEST(Metafile, MappingClipAndRasterOperationsPlayBackAsDrawn) {
    auto draw = [](TCanvas& c) {
        c.Brush()->SetColor(clWhite);
        c.FillRect(TRect(0, 0, 120, 80));
        TDeviceContext* dc = c.Handle();
        dc->SetMapMode(MM_ANISOTROPIC);
        dc->SetWindowExtEx(100, 100);
        dc->SetViewportExtEx(200, 150);
        dc->SetViewportOrgEx(4, 2);
        dc->IntersectClipRect(5, 5, 50, 45);
        c.Pen()->SetWidth(3);
        c.Brush()->SetColor(clRed);
        c.Ellipse(0, 0, 40, 40);
        c.Pen()->SetMode(pmXor);
        c.Pen()->SetWidth(1);
        c.Pen()->SetColor(clLime);
        c.MoveTo(0, 20);
        c.LineTo(60, 20);
        c.Font()->SetName("Arial");
        c.Font()->SetHeight(-8);
        c.TextOut(10, 25, "clip");
        dc->SetMapMode(MM_TEXT);
        dc->SetViewportOrgEx(0, 0);
        dc->SelectClipRgn(nullptr);
        c.Pen()->SetMode(pmCopy);
        c.Rectangle(100, 60, 118, 78);
    };
    auto direct = DrawDirect(120, 80, draw);
    auto content = Record(120, 80, draw);
    EXPECT_EQ(Differences(*direct, *Play(*content, 120, 80)), 0);
    std::vector<uint8_t> emf = WriteEmf(*content);
    EXPECT_EQ(Differences(*direct, *Play(ReadEmf(emf.data(), emf.size()), 120, 80)), 0);
    std::vector<uint8_t> wmf = WriteWmf(*content);
    EXPECT_EQ(Differences(*direct, *Play(ReadWmf(wmf.data(), wmf.size()), 120, 80)), 0);
}

TEST(Metafile, DrawsScaledIntoAnyRectangleAndResizesOnSave) {
    TMetafile mf;
    mf.SetWidth(20);
    mf.SetHeight(10);
    {
        TMetafileCanvas c(&mf);
        c.Brush()->SetColor(clBlue);
        c.FillRect(TRect(0, 0, 10, 5));
    }
    TBitmap target(60, 40, pf24bit);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 60, 40));
    target.Canvas()->StretchDraw(TRect(10, 10, 50, 30), &mf);
    auto at = [&](int x, int y) { return target.Canvas()->Pixels(x, y); };
    EXPECT_EQ(at(10, 10), clBlue);
    EXPECT_EQ(at(29, 19), clBlue);
    EXPECT_EQ(at(30, 19), clWhite);
    EXPECT_EQ(at(29, 20), clWhite);
    EXPECT_EQ(at(9, 10), clWhite);

    // A new size scales what was recorded when the file is written.
    mf.SetWidth(40);
    mf.SetHeight(20);
    TMemoryStream stream;
    mf.SaveToStream(stream);
    stream.SetPosition(0);
    TMetafile back;
    back.LoadFromStream(stream);
    EXPECT_TRUE(back.Enhanced());
    EXPECT_EQ(back.Width(), 40);
    EXPECT_EQ(back.Height(), 20);
    auto played = Play(*back.Content(), 40, 20);
    EXPECT_EQ(played->Canvas()->Pixels(19, 9), clBlue);
    EXPECT_EQ(played->Canvas()->Pixels(20, 9), clWhite);
}

TEST(Metafile, CanvasAddsToWhatTheMetafileHoldsAndUnsizedTakesTheDrawingsSize) {
    TMetafile mf;
    {
        TMetafileCanvas c(&mf);
        c.Brush()->SetColor(clRed);
        c.Rectangle(10, 10, 50, 30);
    }
    EXPECT_EQ(mf.Width(), 50);
    EXPECT_EQ(mf.Height(), 30);
    {
        TMetafileCanvas c(&mf);
        c.Brush()->SetColor(clLime);
        c.Rectangle(0, 0, 10, 10);
    }
    auto played = Play(*mf.Content(), 50, 30);
    EXPECT_EQ(played->Canvas()->Pixels(30, 20), clRed);
    EXPECT_EQ(played->Canvas()->Pixels(5, 5), clLime);
}

TEST(Metafile, PictureFilesWithMetafileExtensionsLoadAsMetafiles) {
    auto emf = TPicture::CreateForExtension("EMF");
    ASSERT_TRUE(emf && emf->Is<TMetafile>());
    EXPECT_TRUE(static_cast<TMetafile*>(emf.get())->Enhanced());
    auto wmf = TPicture::CreateForExtension(".wmf");
    ASSERT_TRUE(wmf && wmf->Is<TMetafile>());
    EXPECT_FALSE(static_cast<TMetafile*>(wmf.get())->Enhanced());
    EXPECT_NE(TPicture::FileFilter().find("Enhanced Metafiles (*.emf)|*.emf"), std::string::npos);
}

// Text drawn through a path comes back as outlines, not as plain text: from the recording exactly; from
// an enhanced metafile, which keeps the path calls and the glyphs' outlines in them, as near as whole
// pixels allow; from a Windows metafile, which has no paths, as the path's polygons and the clip it
// selected.
TEST(Metafile, TextPathsPlayBackAsDrawn) {
    auto direct = DrawDirect(160, 60, OutlinedText);
    auto content = Record(160, 60, OutlinedText);
    const std::vector<TMetaOp> ops = PathOps(content->Records);
    EXPECT_EQ(ops, (std::vector<TMetaOp>{TMetaOp::BeginPath, TMetaOp::EndPath, TMetaOp::WidenPath,
                                         TMetaOp::SelectClipPath, TMetaOp::BeginPath, TMetaOp::EndPath,
                                         TMetaOp::StrokeAndFillPath}));
    EXPECT_EQ(Differences(*direct, *Play(*content, 160, 60)), 0);

    std::vector<uint8_t> emf = WriteEmf(*content);
    std::vector<uint32_t> types = EmfTypes(emf);
    for (uint32_t type :
         {59u /* begin */, 60u /* end */, 66u /* widen */, 67u /* clip */, 63u /* stroke, fill */})
        EXPECT_TRUE(Has(types, type)) << type;
    EXPECT_FALSE(Has(types, 84u)) << "no plain text";
    TMetafileContent fromEmf = ReadEmf(emf.data(), emf.size());
    EXPECT_EQ(PathOps(fromEmf.Records), ops);
    // The widened outline that clips the gradient moves by a pixel here and there (as plain text the
    // gradient would fill the whole picture).
    EXPECT_LT(Differences(*direct, *Play(fromEmf, 160, 60)), 150);

    std::vector<uint8_t> wmf = WriteWmf(*content);
    std::vector<uint16_t> functions = WmfFunctions(wmf);
    EXPECT_TRUE(Has(functions, 0x0538)) << "poly-polygon";
    EXPECT_TRUE(Has(functions, 0x0415)) << "clip rectangles left out";
    EXPECT_FALSE(Has(functions, 0x0A32)) << "no plain text";
    auto fromWmf = Play(ReadWmf(wmf.data(), wmf.size()), 160, 60);
    // Only the outline's points are rounded to whole pixels.
    EXPECT_LT(Differences(*direct, *fromWmf, 8), 40);
    EXPECT_EQ(fromWmf->Canvas()->Pixels(140, 47), clYellow) << "drawing goes on after the path";

    // Left for other programs to open.
    TMetafile file;
    file.SetContent(content);
    file.SaveToFile(gfxtest::OutputDir() + "/outlined-text.emf");
    file.SetEnhanced(false);
    file.SaveToFile(gfxtest::OutputDir() + "/outlined-text.wmf");
}

// Arcs keep their direction, and an arc that goes on from the current position moves it to its end,
// in the recording and in both formats (the older one turns clockwise arcs around and draws the arc
// of ArcTo as a polyline).
TEST(Metafile, ArcDirectionAndArcToPlayBackAsDrawn) {
    auto draw = [](TCanvas& c) {
        c.Brush()->SetColor(clWhite);
        c.FillRect(TRect(0, 0, 120, 60));
        c.Brush()->SetColor(clAqua);
        c.Handle()->SetArcDirection(AD_CLOCKWISE);
        c.Pie(4, 4, 54, 54, 54, 29, 29, 4); // the three quarters from right to top, clockwise
        c.Handle()->MoveToEx(60, 55);
        c.Handle()->ArcTo(60, 5, 110, 55, 110, 30, 85, 5);
        c.Handle()->LineTo(118, 2);
        c.Handle()->SetArcDirection(AD_COUNTERCLOCKWISE);
        c.Arc(70, 20, 100, 50, 100, 35, 70, 35);
    };
    auto direct = DrawDirect(120, 60, draw);
    EXPECT_EQ(direct->Canvas()->Pixels(14, 40), clAqua) << "the pie's lower left quarter";
    EXPECT_EQ(direct->Canvas()->Pixels(44, 14), clWhite);
    auto content = Record(120, 60, draw);
    EXPECT_EQ(Differences(*direct, *Play(*content, 120, 60)), 0);
    std::vector<uint8_t> emf = WriteEmf(*content);
    EXPECT_TRUE(Has(EmfTypes(emf), 57u)) << "arc direction";
    EXPECT_TRUE(Has(EmfTypes(emf), 55u)) << "arc to";
    EXPECT_EQ(Differences(*direct, *Play(ReadEmf(emf.data(), emf.size()), 120, 60)), 0);
    std::vector<uint8_t> wmf = WriteWmf(*content);
    // The pie drawn the other way round steps through a few other pixels of its outline (in the wrong
    // direction it would miss a quarter of the circle, some 600 pixels).
    EXPECT_LT(Differences(*direct, *Play(ReadWmf(wmf.data(), wmf.size()), 120, 60)), 40);
}

// Path calls out of turn change nothing and are not recorded; a picture that leaves its path open does
// not swallow what is drawn after it.
TEST(Metafile, PathCallsOutOfTurnAreNotRecorded) {
    TMetafileRecorder rec(40, 40);
    EXPECT_FALSE(rec.StrokePath());
    EXPECT_FALSE(rec.EndPath());
    EXPECT_FALSE(rec.SelectClipPath(RGN_AND));
    EXPECT_FALSE(rec.WidenPath());
    EXPECT_FALSE(rec.CloseFigure());
    EXPECT_TRUE(rec.Records().empty());
    rec.BeginPath();
    rec.Rectangle(5, 5, 30, 30);
    EXPECT_FALSE(rec.FillPath()) << "the bracket is still open";
    TMetafileContent open{40, 40, rec.TakeRecords()};
    EXPECT_EQ(Ops(open.Records).back(), TMetaOp::Rectangle);

    TBitmap target(40, 40, pf24bit);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 40, 40));
    PlayMetafile(open, *target.Canvas()->Handle(), TRect(0, 0, 40, 40));
    target.Canvas()->Brush()->SetColor(clRed);
    target.Canvas()->FillRect(TRect(0, 0, 10, 10));
    target.Canvas()->Rectangle(20, 20, 35, 35);
    EXPECT_EQ(target.Canvas()->Pixels(2, 2), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(27, 27), clRed);
}

namespace {

// The file with copies of the given records put in before its end record, the header's sizes made to
// match.
std::vector<uint8_t> WithRecords(const std::vector<uint8_t>& file, bool enhanced,
                                 const std::vector<std::pair<std::vector<uint8_t>, size_t>>& runs) {
    const size_t endRecord = enhanced ? 20 : 6;
    std::vector<uint8_t> out(file.begin(), file.end() - static_cast<ptrdiff_t>(endRecord));
    for (const auto& [record, count] : runs)
        for (size_t i = 0; i < count; ++i)
            out.insert(out.end(), record.begin(), record.end());
    out.insert(out.end(), file.end() - static_cast<ptrdiff_t>(endRecord), file.end());
    auto put32 = [&](size_t at, uint64_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    if (enhanced)
        put32(48, out.size());
    else
        put32(22 + 6, (out.size() - 22) / 2);
    return out;
}

} // namespace

TEST(Metafile, SavedStatesAreBoundedWhileTheyNest) {
    // Every saved state copies the clip region, so states saved without end would take memory without
    // end; states that are restored again cost nothing lasting.
    auto content = Record(20, 20, SmallPicture);
    const std::vector<uint8_t> emfSave{33, 0, 0, 0, 8, 0, 0, 0};
    const std::vector<uint8_t> emfRestore{34, 0, 0, 0, 12, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    const std::vector<uint8_t> wmfSave{3, 0, 0, 0, 0x1E, 0x00};
    const std::vector<uint8_t> wmfRestore{4, 0, 0, 0, 0x27, 0x01, 0xFF, 0xFF};
    for (bool enhanced : {true, false}) {
        SCOPED_TRACE(enhanced ? "emf" : "wmf");
        const std::vector<uint8_t> file = enhanced ? WriteEmf(*content) : WriteWmf(*content);
        auto read = [&](const std::vector<uint8_t>& b) {
            return enhanced ? ReadEmf(b.data(), b.size()) : ReadWmf(b.data(), b.size());
        };
        const auto& save = enhanced ? emfSave : wmfSave;
        const auto& restore = enhanced ? emfRestore : wmfRestore;
        std::vector<uint8_t> pairs;
        pairs.insert(pairs.end(), save.begin(), save.end());
        pairs.insert(pairs.end(), restore.begin(), restore.end());
        EXPECT_NO_THROW(read(WithRecords(file, enhanced, {{pairs, 300000}})));
        try {
            read(WithRecords(file, enhanced, {{save, 300000}}));
            ADD_FAILURE() << "nested states without end were read";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), "Metafile is not valid: too many saved states");
        }
    }
}

TEST(Metafile, RegionsOfAFileAreBoundedTogether) {
    // One region record of a few bytes may cover every row around the frame; repeated, it must not
    // repeat that work without end.
    TMetafileContent big;
    big.Width = big.Height = 65535;
    const std::vector<uint8_t> file = WriteEmf(big);
    std::vector<uint8_t> fill(80, 0); // FILLRGN with a region of one rectangle far beyond the frame
    const int32_t words[] = {71,      80,      0,        0,        0,       0,        48,
                             0,       32,      1,        1,        16,      -1000000, -1000000,
                             1000000, 1000000, -1000000, -1000000, 1000000, 1000000};
    std::memcpy(fill.data(), words, sizeof words);
    const std::vector<uint8_t> few = WithRecords(file, true, {{fill, 4}});
    EXPECT_NO_THROW(ReadEmf(few.data(), few.size()));
    const std::vector<uint8_t> many = WithRecords(file, true, {{fill, 50}});
    try {
        ReadEmf(many.data(), many.size());
        ADD_FAILURE() << "the regions were read";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Metafile is not valid: the regions are too complex");
    }
}

// A damaged metafile (found by fuzzing) whose scaled dashed arc reaches two billion pixels: recording it
// dashed the whole length and took seconds; it must load or be refused at once.
const uint8_t kFarDashedArc[] = {
    0x01,0x00,0x00,0x00,0x6C,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x3F,0x00,0x00,0x00,0x2F,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x9D,0x06,0x00,0x00,0xF6,0x04,0x00,0x00,0x20,0x45,0x4D,0x46,0x00,0x00,0x01,0x00,
    0xF8,0x04,0x00,0x00,0x28,0x00,0x00,0x00,0x05,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x80,0x07,0x00,0x00,0xA0,0x05,0x00,0x00,0xFC,0x01,0x00,0x00,0x7D,0x01,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x60,0xC0,0x07,0x00,0x48,0xD0,0x05,0x00,0x26,0x00,0x00,0x00,0x1C,0x00,0x00,0x00,0x01,0x00,0x00,0x00,
    0x14,0x00,0x07,0x00,0x02,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x80,0x00,0x25,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,
    0x01,0x00,0x00,0x00,0x27,0x00,0x00,0x00,0x18,0x00,0x00,0x00,0x02,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0xFF,0xFF,0xFF,0x00,
    0x00,0x00,0x00,0x00,0x25,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x02,0x00,0x00,0x00,0x52,0x00,0x00,0x00,0x4C,0x01,0x00,0x00,
    0x03,0x00,0x00,0x00,0xF5,0xFF,0xFF,0xFF,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x90,0x01,0x00,0x00,
    0x00,0x00,0x00,0x01,0x00,0x00,0x00,0x00,0x4D,0x00,0x53,0x00,0x20,0x00,0x53,0x00,0x61,0x00,0x6E,0x00,0x73,0x00,0x20,0x00,
    0x53,0x00,0x65,0x00,0x72,0x00,0x69,0x00,0x66,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0xFF,0xC0,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x04,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x25,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x03,0x00,0x00,0x00,
    0x19,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0xFF,0xFF,0xFF,0x00,0x12,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x02,0x00,0x00,0x00,
    0x18,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x16,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x14,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x0D,0x00,0x00,0x00,0x13,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x01,0x00,0x00,0x00,
    0x15,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x01,0x00,0x00,0x00,0x11,0x00,0x00,0x00,0x10,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x4B,0x00,0x00,0x00,0x10,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x05,0x00,0x00,0x00,0x1B,0x00,0x00,0x00,
    0x10,0x00,0x00,0x00,0x02,0x00,0x00,0x00,0x02,0x00,0x00,0x00,0x37,0x00,0x00,0x00,0x90,0x00,0x00,0x00,0x3C,0x00,0x44,0x46,
    0x4D,0x69,0x6E,0x67,0x27,0x00,0x00,0x00,0x18,0x00,0x00,0x00,0x04,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0xFF,0x00,0x00,0x00,
    0x00,0x00,0x00,0x00,0x25,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x04,0x00,0x00,0x00,0x28,0x00,0x00,0x00,0x0C,0x00,0xFF,0xFF,
    0xFF,0xFF,0xFF,0xFF,0xFF,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0xFF,0x00,0x00,0x00,0x2B,0x00,0x00,0x00,0x18,0x00,0x00,0x00,
    0x04,0x00,0x00,0x00,0x04,0x00,0x00,0x00,0x14,0x00,0x00,0x00,0x10,0x00,0x00,0x00,0x27,0x00,0x00,0x00,0x18,0x00,0x00,0x00,
    0x02,0x00,0x00,0x00,0x02,0x00,0x00,0x00,0xFF,0x00,0x00,0x00,0x05,0x00,0x00,0x00,0x25,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,
    0x02,0x00,0x00,0x2C,0x28,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x04,0x00,0x00,0x00,0x19,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,
    0x00,0xFF,0xFF,0x00,0x12,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x01,0x00,0x00,0x2A,0x00,0x00,0x00,0x00,0x18,0x00,0x00,0x00,
    0x18,0x00,0x00,0x00,0x04,0x00,0x00,0x00,0x28,0x00,0x00,0x00,0x14,0x00,0x00,0x00,0x27,0x00,0x00,0x00,0x18,0x00,0x00,0x00,
    0x04,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0xFF,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x25,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,
    0x03,0x00,0x04,0x00,0xD8,0xFF,0xFF,0xFF,0xF3,0x00,0x00,0x00,0x02,0x00,0x00,0x00,0x19,0x00,0x00,0x00,0x6B,0x6B,0x6B,0x6B,
    0x6B,0x6B,0x27,0x00,0x00,0x00,0x18,0x00,0x00,0x00,0x02,0x00,0x00,0x00,0x02,0x00,0x00,0x00,0xFF,0x00,0x00,0x00,0x05,0x00,
    0x00,0x00,0x25,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x7E,0x02,0x00,0x00,0x2C,0x28,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x04,
    0x00,0x00,0x00,0x19,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x00,0xFF,0xFF,0x00,0x12,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x01,
    0x00,0x00,0x2A,0x00,0x00,0x00,0x00,0x18,0x00,0x00,0x00,0x18,0x00,0x00,0x00,0x04,0x00,0x00,0x00,0x28,0x00,0x00,0x00,0x14,
    0x00,0x00,0x00,0x27,0x00,0x00,0x00,0x18,0x00,0x00,0x00,0x04,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0xFF,0x00,0x00,0x00,0x00,
    0x00,0x00,0x00,0x25,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x03,0x00,0x04,0x00,0xD8,0xFF,0xFF,0xFF,0xF3,0x00,0x00,0x00,0x02,
    0x00,0x00,0x00,0x19,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0xFF,0x00,0x00,0x00,0x12,0x00,0x00,0x00,0x0C,0x00,0x00,0x00,0x02,
    0x00,0x00,0x00,0x56,0x00,0x00,0x00,0x28,0x00,0x00,0x00,0x04,0x00,0x00,0x00,0x18,0x00,0x00,0x00,0x18,0x00,0x00,0x00,0x28,
    0x00,0x00,0x00,0x03,0x00,0x00,0x00,0x04,0x00,0x28,0x00,0x0E,0x00,0x18,0x00,0x18,0x00,0x28,0x00,0x37,0x00,0x00,0x00,0x0C,
    0x00,0x00,0x00,0x01,0x00,0x00,0x00,0x2D,0x00,0x00,0x00,0x28,0x00,0x00,0x00,0x1E,0x00,0x00,0x00,0x18,0x00,0x00,0x00,0x32,
    0x00,0x00,0x00,0x2C,0x00,0x00,0x00,0x32,0x00,0x00,0x00,0x22,0x00,0x00,0x00,0x1E,0x00,0x00,0x00,0x22,0x00,0x00,0x00,0x54,
    0x00,0x00,0x00,0x58,0x00,0x00,0x00,0x1D,0x00,0x00,0x00,0xF7,0xFF,0xFF,0xFF,0x40,0x00,0x00,0x00,0x18,0x00,0x00,0x00,0x01,
    0x00,0x00,0x00,0xAB,0xAA,0xD3,0x41,0xAB,0xAA,0xD3,0x41,0x03,0x00,0x00,0x00,0x02,0x00,0x00,0x00,0x01,0x00,0x18,0x00,0x00,
    0x00,0x00,0x00,0x18,0x00,0x00,0x00,0xC4,0x60,0x00,0x00,0xC4,0x0E,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
    0x00,0x00,0x53,0xE7,0xA5,0x94,0xE6,0x95,0xB0,0xE3,0x84,0xA0,0x61,0x6E,0xE2,0x81,0xB3,0xD8,0x80,0x53,0x65,0x72,0x69,0x66,
    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x14,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
};

TEST(MetafileReading, DashedShapesFarOffTheSurfaceDoNotStall) {
    try {
        ReadEmf(kFarDashedArc, sizeof kFarDashedArc);
    } catch (const EInvalidGraphic&) {
    }
    SUCCEED();
}
