#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/ChartReport.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/StringUtils.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/RichEdit.h"

using namespace plat;
using namespace analysis;

namespace {

constexpr TFontStyles kBoldItalic = fsBold | fsItalic;

std::vector<std::string> Texts(const TReportLines& Lines) {
    std::vector<std::string> out;
    for (const TReportLine& l : Lines)
        out.push_back(l.Text);
    return out;
}

TEST(ChartReport, LinesOfEveryCommandReadAsTheUserKnowsThem) {
    const TReportFormats plain{"0", "0"};
    const TReportFormats fine{"0.00", "#,##0.###"};
    const std::vector<TReportPeak> peaks{{400, 1234.5}, {1021.25, 987.125}, {2047, -3.004}};
    // Each case is built under its own separator, so the table is filled inside the loop.
    struct TCase {
        const char* Name;
        char Separator;
        std::function<TReportLines()> Make;
        std::vector<std::string> Expected;
    };
    const std::vector<TCase> cases{
        {"no peak", '.', [&] { return PeaksReport({}, plain); }, {"Number of Peaks: 0"}},
        {"peaks",
         '.',
         [&] { return PeaksReport(peaks, plain); },
         {"Number of Peaks: 3", "1.  1234.50 @ 400", "2.  987.13 @ 1021", "3.  -3.00 @ 2047"}},
        {"peaks, decimal comma",
         ',',
         [&] { return PeaksReport(peaks, fine); },
         {"Number of Peaks: 3", "1.  1234,50 @ 400,00", "2.  987,13 @ 1021,25", "3.  -3,00 @ 2047,00"}},
        // The values 1 and 3: deviation is the square root of 2, shown as 1 with the axis format "0".
        {"deviation",
         '.',
         [&] { return DeviationReport(0, 1, 3, 1, 2, 1.4142135623730951, plain); },
         {"X(Start)=0", "X(End)=1", "Max=3", "Min=1", "PP=2", "Mean=2", "Deviation=1"}},
        {"deviation, decimal comma",
         ',',
         [&] { return DeviationReport(400.5, 500, 12345.6789, -2.5, 6171.58945, 0.0004, fine); },
         {"X(Start)=400,50", "X(End)=500,00", "Max=12.345,679", "Min=-2,5", "PP=12.348,179", "Mean=6.171,589",
          "Deviation=0"}},
        {"rms", '.', [&] { return RmsReport(10, 20, 3.6, plain); }, {"X(Start)=10", "X(End)=20", "RMS=4"}},
        {"rms, decimal comma",
         ',',
         [&] { return RmsReport(-1.25, 3, 1234.5678, fine); },
         {"X(Start)=-1,25", "X(End)=3,00", "RMS=1.234,568"}},
        {"integral",
         '.',
         [&] {
             return IntegralReport(0, 4, {0, 8}, {0, 8.000001}, fine);
         },
         {"X(Start)=0.00", "X(End)=4.00", "trapeziodal rule:", "Integral=8.00",
          "Simpson's rule:", "Integral=8.00"}},
        {"integral, decimal comma",
         ',',
         [&] {
             return IntegralReport(0.5, 2, {0, 1.875}, {0, 1.875}, fine);
         },
         {"X(Start)=0,50", "X(End)=2,00", "trapeziodal rule:", "Integral=1,88",
          "Simpson's rule:", "Integral=1,88"}},
        {"integral failed",
         '.',
         [&] {
             return IntegralReport(5, 4, {2, 0}, {1, 123}, plain);
         },
         {"X(Start)=5", "X(End)=4", "trapeziodal rule:", "Integral= ERROR",
          "Simpson's rule:", "Integral= ERROR"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScopedFormatSettings scope;
        FormatSettings().DecimalSeparator = c.Separator;
        FormatSettings().ThousandSeparator = c.Separator == ',' ? '.' : ',';
        EXPECT_EQ(Texts(c.Make()), c.Expected);
    }
}

TEST(ChartReport, OnlyHeadingsCarryAFormatOfTheirOwn) {
    const TReportFormats formats;
    const std::vector<TReportPeak> peaks{{1, 2}};
    TReportLines p = PeaksReport(peaks, formats);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0], (TReportLine{"Number of Peaks: 1", true, clBlack, fsBold}));
    EXPECT_FALSE(p[1].Styled);
    for (const TReportLine& l : DeviationReport(0, 1, 3, 1, 2, 1, formats))
        EXPECT_FALSE(l.Styled) << l.Text;
    for (const TReportLine& l : RmsReport(0, 1, 3, formats))
        EXPECT_FALSE(l.Styled) << l.Text;
    TReportLines integral = IntegralReport(0, 1, {0, 1}, {0, 1}, formats);
    ASSERT_EQ(integral.size(), 6u);
    EXPECT_EQ(integral[2], (TReportLine{"trapeziodal rule:", true, clBlack, kBoldItalic}));
    EXPECT_EQ(integral[4], (TReportLine{"Simpson's rule:", true, clBlack, kBoldItalic}));
    for (int i : {0, 1, 3, 5})
        EXPECT_FALSE(integral[static_cast<size_t>(i)].Styled) << integral[static_cast<size_t>(i)].Text;
}

struct TLineView {
    std::string Text;
    TColor Color;
    TFontStyles Style;
    bool operator==(const TLineView&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TLineView& v) {
    return os << '"' << v.Text << "\" colour " << std::hex << v.Color << std::dec << " style "
              << int(v.Style);
}

class ResultArea : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(0, 0, 300, 300);
        Area = new TRichEdit(Form);
        Area->SetParent(Form);
        Area->SetBounds(0, 0, 280, 280);
        Area->SetReadOnly(true);
        Form->Show();
        Driver.Pump();
    }
    void TearDown() override { delete Form; }

    // Each line as its text and the format of its first character (lines are written in one format).
    std::vector<TLineView> Lines() const {
        std::vector<TLineView> out;
        const TRichDocument& doc = Area->Document();
        for (int i = 0; i < Area->Lines()->Count(); ++i) {
            auto runs = doc.Runs(i);
            std::string text;
            for (const TRichRun& r : runs)
                text += Utf8Encode(r.Text);
            TCharFormat f = runs.empty() ? TCharFormat{} : runs.front().Format;
            out.push_back(
                {text, runs.empty() ? TColor(0) : f.Color, runs.empty() ? TFontStyles(0) : f.Style});
        }
        return out;
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TRichEdit* Area = nullptr;
};

TEST_F(ResultArea, BlocksStandApartAndPlainLinesKeepTheFormatBeforeThem) {
    const TColor frameColor = 0x0000FF;
    const TReportFormats formats;
    AddResultBlock(*Area, "FRAME 1", frameColor, RmsReport(0, 9, 2, formats));
    const std::vector<TReportPeak> peaks{{3, 7}};
    AddResultBlock(*Area, "FRAME 2", 0x00FF00, PeaksReport(peaks, formats));
    const TFontStyles title = fsBold | fsUnderline;
    const std::vector<TLineView> expected{
        // The first block starts at the top: no empty line before it.
        {"FRAME 1", frameColor, title},
        {"X(Start)=0", frameColor, title},
        {"X(End)=9", frameColor, title},
        {"RMS=2", frameColor, title},
        {"", 0, 0},
        {"FRAME 2", 0x00FF00, title},
        {"Number of Peaks: 1", clBlack, fsBold},
        {"1.  7.00 @ 3", clBlack, fsBold},
    };
    EXPECT_EQ(Lines(), expected);
}

TEST_F(ResultArea, StyledLinesGoToTheEndWhereverTheCaretIs) {
    const TReportFormats formats;
    AddResultBlock(*Area, "FRAME 1", clBlack, RmsReport(0, 9, 2, formats));
    Area->SetSelStart(0); // the user clicked at the top
    AddResultBlock(*Area, "FRAME 2", 0xFF0000, IntegralReport(0, 9, {0, 1}, {1, 0}, formats));
    std::vector<TLineView> lines = Lines();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0].Text, "FRAME 1");
    EXPECT_EQ(lines[5], (TLineView{"FRAME 2", 0xFF0000, fsBold | fsUnderline}));
    EXPECT_EQ(lines[8], (TLineView{"trapeziodal rule:", clBlack, kBoldItalic}));
    EXPECT_EQ(lines[9], (TLineView{"Integral=1", clBlack, kBoldItalic}));
    EXPECT_EQ(lines[11], (TLineView{"Integral= ERROR", clBlack, kBoldItalic}));
}

} // namespace
