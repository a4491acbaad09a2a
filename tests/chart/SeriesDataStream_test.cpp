#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "SeriesTestUtil.h"
#include "chart/PlotEngineMarks.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/Stream.h"

namespace {

using namespace seriestest;

std::string DataBytes(TChartSeries& Series) {
    TMemoryStream stream;
    Series.WriteData(stream);
    const std::vector<uint8_t>& b = stream.Bytes();
    return std::string(b.begin(), b.end());
}

void ReadBytes(TChartSeries& Series, const std::string& Bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    stream.SetPosition(0);
    Series.ReadData(stream);
}

// Sizes and flags of what a series stores: a flags byte and a count, then each point's record.
TEST(SeriesDataStream, SizesAndFlags) {
    struct TCase {
        const char* Name;
        std::function<void(TChartSeries&)> Fill;
        int Flags;
        size_t Size;
    };
    const TCase cases[] = {
        {"Y only", [](TChartSeries& s) { s.AddXY(0, 5), s.AddXY(1, 6), s.AddXY(2, 7); }, 0, 1 + 4 + 3 * 8},
        {"own X", [](TChartSeries& s) { s.AddXY(0, 5), s.AddXY(1, 6), s.AddXY(5, 7); }, 1, 1 + 4 + 3 * 16},
        {"labels: 3 characters and an empty one",
         [](TChartSeries& s) { s.AddXY(0, 5, "abc"), s.AddXY(1, 6, ""); }, 4, 1 + 4 + (8 + 4) + (8 + 1)},
        {"colours", [](TChartSeries& s) { s.AddXY(0, 5, "", clRed), s.AddXY(1, 6); }, 2, 1 + 4 + 2 * 12},
        {"a label past 255 characters keeps 255",
         [](TChartSeries& s) { s.AddXY(0, 5, std::string(300, 'q')); }, 4, 1 + 4 + 8 + 1 + 255},
        {"no points", [](TChartSeries&) {}, 0, 5},
    };
    for (const TCase& c : cases) {
        TChartSeries series(nullptr);
        c.Fill(series);
        const std::string bytes = DataBytes(series);
        ASSERT_EQ(bytes.size(), c.Size) << c.Name;
        EXPECT_EQ(uint8_t(bytes[0]), c.Flags) << c.Name;

        TChartSeries read(nullptr);
        ReadBytes(read, bytes);
        ASSERT_EQ(read.Count(), series.Count()) << c.Name;
        for (int i = 0; i < series.Count(); ++i) {
            EXPECT_EQ(read.XValues()->Items(i), series.XValues()->Items(i)) << c.Name << " " << i;
            EXPECT_EQ(read.YValues()->Items(i), series.YValues()->Items(i)) << c.Name << " " << i;
            EXPECT_EQ(read.XLabel(i), series.XLabel(i).substr(0, 255)) << c.Name << " " << i;
            EXPECT_EQ(read.PointColor(i), series.PointColor(i)) << c.Name << " " << i;
        }
        EXPECT_TRUE(read.ManualData()) << c.Name;
    }
}

TEST(SeriesDataStream, ByteLayoutLabelsInLatin1) {
    TChartSeries series(nullptr);
    series.AddXY(0, 1.5, "Grüße €");
    series.AddXY(3, -2, "");
    const std::string bytes = DataBytes(series);
    std::string expected("\x05\x02\0\0\0", 5);
    auto dbl = [&](double v) {
        char b[8];
        std::memcpy(b, &v, 8);
        expected.append(b, 8);
    };
    dbl(0), dbl(1.5),
        expected += "\x07Gr\xFC\xDF"
                    "e ?";
    dbl(3), dbl(-2), expected += '\0';
    EXPECT_EQ(bytes, expected);
    TChartSeries read(nullptr);
    ReadBytes(read, bytes);
    EXPECT_EQ(read.XLabel(0), "Grüße ?");
}

TEST(SeriesDataStream, ReadingKeepsOrderAndHorizontalKinds) {
    // Stored X 2, 1 into an ascending X list come back as 1, 2.
    std::string bytes("\x01\x02\0\0\0", 5);
    for (const double v : {2.0, 20.0, 1.0, 10.0}) {
        char b[8];
        std::memcpy(b, &v, 8);
        bytes.append(b, 8);
    }
    TLineSeries ordered(nullptr);
    ReadBytes(ordered, bytes);
    ASSERT_EQ(ordered.Count(), 2);
    EXPECT_EQ(ordered.XValues()->Items(0), 1);
    EXPECT_EQ(ordered.YValues()->Items(0), 10);

    // A horizontal kind stores its category (Y) first, then the length (X); both come back.
    THorizLineSeries horizontal(nullptr);
    horizontal.AddXY(5, 0);
    horizontal.AddXY(7, 3);
    const std::string stored = DataBytes(horizontal);
    THorizLineSeries read(nullptr);
    ReadBytes(read, stored);
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(read.XValues()->Items(1), 7);
    EXPECT_EQ(read.YValues()->Items(1), 3);
}

TEST(SeriesDataStream, ATruncatedStreamRaisesKeepsWhatWasReadAndResumesUpdates) {
    TChartSeries series(nullptr);
    for (int i = 0; i < 3; ++i)
        series.AddXY(i, i * 2);
    const std::string bytes = DataBytes(series);
    TChartSeries read(nullptr);
    EXPECT_THROW(ReadBytes(read, bytes.substr(0, bytes.size() - 3)), plat::Exception);
    EXPECT_EQ(read.Count(), 2);
    EXPECT_FALSE(read.UpdatesSuspended());
}

TEST(SeriesDataStream, CustomMarkPositionsTravelWithThePoints) {
    TChartSeries series(nullptr);
    series.AddXY(0, 1);
    series.AddXY(1, 2);
    TSeriesMarkPosition placed;
    placed.LeftTop = TPoint(11, 12);
    placed.Width = 30;
    placed.Height = 14;
    placed.ArrowTo = TPoint(5, 6);
    series.Marks()->Positions().Put(1, placed);
    const std::string bytes = DataBytes(series);
    EXPECT_EQ(uint8_t(bytes[0]), 8);
    EXPECT_EQ(bytes.size(), 5u + 2 * (8 + 34));
    TChartSeries read(nullptr);
    ReadBytes(read, bytes);
    const TSeriesMarkPosition* p = read.Marks()->Positions().Position(1);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->Custom);
    EXPECT_EQ(p->Bounds(), TRect(11, 12, 41, 26));
    EXPECT_EQ(p->ArrowTo, TPoint(5, 6));
    ASSERT_NE(read.Marks()->Positions().Position(0), nullptr);
    EXPECT_FALSE(read.Marks()->Positions().Position(0)->Custom);
}

// Through the component stream: written only when the series has data of its own, read back whole.
TEST(SeriesDataStream, ComponentStreamStoresOwnPointsOnly) {
    TChartSeries series(nullptr);
    series.SetName("Series1");
    series.AddXY(0, 4, "a");
    series.AddXY(1, 5, "b");
    EXPECT_EQ(plat::WriteComponentToText(&series).find("Data"), std::string::npos) << "no own data yet";
    series.SetForceSaveData(true);
    const std::string text = plat::WriteComponentToText(&series);
    EXPECT_NE(text.find("Data = {"), std::string::npos) << text;
    TChartSeries read(nullptr);
    plat::ReadComponentFromText(text, &read);
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(read.XLabel(1), "b");
    EXPECT_EQ(read.YValues()->Items(1), 5);
    // Read points are the series' own: written again without being forced.
    EXPECT_NE(plat::WriteComponentToText(&read).find("Data = {"), std::string::npos);
    read.SetDontSaveData(true);
    EXPECT_EQ(plat::WriteComponentToText(&read).find("Data"), std::string::npos);
}

} // namespace
