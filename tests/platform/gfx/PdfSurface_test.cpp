#include <gtest/gtest.h>

#include <regex>

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
        TVectorDeviceContext dc(&pdf);
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
    TVectorDeviceContext dc(&pdf);
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
        TVectorDeviceContext dc(&pdf);
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
