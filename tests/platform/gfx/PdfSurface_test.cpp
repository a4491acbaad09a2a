#include <gtest/gtest.h>

#include <regex>
#include <zlib.h>

#include "platform/gfx/GfxTestUtil.h"
#include "platform/gfx/MetafileScene.h"
#include "platform/gfx/PdfSurface.h"
#include "platform/rtl/Stream.h"

using namespace plat;

namespace {

// The page boxes of a PDF, in page order (Cairo writes page dictionaries uncompressed).
std::vector<std::vector<double>> MediaBoxes(const std::string& pdf) {
    std::vector<std::vector<double>> out;
    std::regex box(R"(/MediaBox\s*\[\s*([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s*\])");
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), box); it != std::sregex_iterator(); ++it)
        out.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])});
    return out;
}

// The page contents of a PDF: every Flate stream inflated, one after another.
std::string Contents(const std::string& pdf) {
    std::string out;
    for (size_t at = pdf.find("stream"); at != std::string::npos; at = pdf.find("stream", at + 6)) {
        if (at >= 3 && pdf.compare(at - 3, 3, "end") == 0)
            continue;
        size_t start = at + 6;
        start += pdf.compare(start, 2, "\r\n") == 0 ? 2 : 1;
        size_t end = pdf.find("endstream", start);
        if (end == std::string::npos)
            break;
        std::string buf(size_t(1) << 22, '\0');
        uLongf n = buf.size();
        if (uncompress(reinterpret_cast<Bytef*>(buf.data()), &n,
                       reinterpret_cast<const Bytef*>(pdf.data() + start), end - start) == Z_OK)
            out += buf.substr(0, n) + "\n";
        at = end;
    }
    return out;
}

class TFailingStream : public TMemoryStream {
public:
    int64_t Write(const void*, int64_t) override { return 0; }
};

} // namespace

TEST(PdfSurface, PagesTakeTheirSizeAndOrientation) {
    TStringStream out;
    {
        TPdfSurface pdf(out, 595.276, 841.89, 300); // A4 portrait at 300 pixels per inch
        EXPECT_EQ(pdf.Width(), 2480);
        EXPECT_EQ(pdf.Height(), 3508);
        TDeviceContext dc(&pdf);
        dc.Rectangle(300, 300, 2180, 3208);
        pdf.SetPageSize(841.89, 595.276); // the next page is landscape
        pdf.NewPage();
        EXPECT_EQ(pdf.Width(), 3508);
        dc.Ellipse(300, 300, 3208, 2180);
        EXPECT_EQ(pdf.PageCount(), 2);
        pdf.Finish();
    }
    std::string data = out.DataString();
    ASSERT_EQ(data.rfind("%PDF-", 0), 0u);
    auto boxes = MediaBoxes(data);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NEAR(boxes[0][2], 595.28, 0.01);
    EXPECT_NEAR(boxes[0][3], 841.89, 0.01);
    EXPECT_NEAR(boxes[1][2], 841.89, 0.01);
    EXPECT_NEAR(boxes[1][3], 595.28, 0.01);
}

TEST(PdfSurface, StreamFailureIsReportedWhenTheDocumentIsFinished) {
    TFailingStream out;
    TPdfSurface pdf(out, 200, 100, 72);
    TDeviceContext dc(&pdf);
    dc.Rectangle(10, 10, 50, 50);
    EXPECT_THROW(pdf.Finish(), EWriteError);
}

// The sample scene as a one-page PDF at the scene's size, for PDF viewers to show; pictures and text
// reach the page.
TEST(PdfSurface, WritesTheSampleScene) {
    const std::string name = gfxtest::OutputDir() + "/scene.pdf";
    {
        TFileStream file(name, fmCreate);
        TPdfSurface pdf(file, gfxtest::kSceneWidth * 0.75, gfxtest::kSceneHeight * 0.75, 96);
        pdf.SetTitle("Lumetra sample scene");
        TDeviceContext dc(&pdf);
        TCanvas canvas(&dc);
        gfxtest::DrawMetafileScene(canvas);
        pdf.Finish();
    }
    TMemoryStream back;
    back.LoadFromFile(name);
    std::string data(back.Bytes().begin(), back.Bytes().end());
    auto boxes = MediaBoxes(data);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NEAR(boxes[0][2], 390, 0.01);
    EXPECT_NEAR(boxes[0][3], 210, 0.01);
    EXPECT_NE(data.find("/Subtype /Image"), std::string::npos);
    EXPECT_NE(data.find("/FontFile"), std::string::npos);
}

// A printed page keeps what the screen shows: a dashed pen as a dash pattern of the screen's lengths
// (18 and 6 pixels at 96 per inch are 13.5 and 4.5 points), a hatch as a repeating pattern and a
// bitmap as an image.
TEST(PdfSurface, PagesCarryDashesHatchesAndPictures) {
    TStringStream out;
    {
        TPdfSurface pdf(out, 200, 100, 300);
        TDeviceContext dc(&pdf);
        dc.SelectPen(CreatePen(PS_DASH, 1, clBlack));
        dc.MoveToEx(50, 50);
        dc.LineTo(700, 50);
        dc.FillRect(TRect(50, 100, 300, 300), CreateHatchBrush(HS_DIAGCROSS, clBlue));
        TImageSurface pixels(2, 2);
        TDeviceContext bitmap(&pixels);
        EXPECT_TRUE(dc.StretchBlt(400, 100, 200, 200, &bitmap, 0, 0, 2, 2, SRCCOPY));
        pdf.Finish();
    }
    const std::string pdf = out.DataString();
    const std::string page = Contents(pdf);
    std::smatch dash;
    ASSERT_TRUE(std::regex_search(page, dash, std::regex(R"(\[\s*([0-9.]+)\s+([0-9.]+)\s*\]\s*[0-9.]+\s+d)")))
        << page;
    EXPECT_NEAR(std::stod(dash[1]), 13.5, 0.01);
    EXPECT_NEAR(std::stod(dash[2]), 4.5, 0.01);
    EXPECT_NE(pdf.find("/PatternType 1"), std::string::npos);
    EXPECT_NE(page.find("/Pattern cs"), std::string::npos);
    EXPECT_NE(pdf.find("/Subtype /Image"), std::string::npos);
}
