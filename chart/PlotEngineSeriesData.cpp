// The series' points in component streams: the "Data" property and the custom axes by index.
#include <cstring>

#include "chart/PlotEngineAxis.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineMarks.h"
#include "chart/PlotEngineSeries.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"

namespace chart {

namespace {

constexpr int DataXValues = 1;
constexpr int DataColors = 2;
constexpr int DataLabels = 4;
constexpr int DataMarkPositions = 8;
constexpr size_t MaxLabelBytes = 255;

class TDataWriter {
public:
    void Byte(uint8_t Value) { FBytes.push_back(Value); }
    void Int32(int32_t Value) {
        const auto v = static_cast<uint32_t>(Value);
        for (int shift = 0; shift < 32; shift += 8)
            FBytes.push_back(static_cast<uint8_t>(v >> shift));
    }
    void Double(double Value) {
        uint64_t bits;
        std::memcpy(&bits, &Value, 8);
        for (int shift = 0; shift < 64; shift += 8)
            FBytes.push_back(static_cast<uint8_t>(bits >> shift));
    }
    void Bytes(const std::string& Text) { FBytes.insert(FBytes.end(), Text.begin(), Text.end()); }
    void Flush(plat::TStream& Stream) {
        Stream.WriteBuffer(FBytes.data(), static_cast<int64_t>(FBytes.size()));
    }

private:
    std::vector<uint8_t> FBytes;
};

class TDataReader {
public:
    explicit TDataReader(plat::TStream& Stream) : FStream(Stream) {}
    uint8_t Byte() {
        uint8_t b;
        FStream.ReadBuffer(&b, 1);
        return b;
    }
    int32_t Int32() {
        uint8_t b[4];
        FStream.ReadBuffer(b, 4);
        return static_cast<int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
    }
    double Double() {
        uint8_t b[8];
        FStream.ReadBuffer(b, 8);
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = bits << 8 | b[i];
        double value;
        std::memcpy(&value, &bits, 8);
        return value;
    }
    std::string Bytes(size_t Count) {
        std::string text(Count, '\0');
        if (Count > 0)
            FStream.ReadBuffer(text.data(), static_cast<int64_t>(Count));
        return text;
    }

private:
    plat::TStream& FStream;
};

void WritePoint(TDataWriter& W, const TPoint& P) {
    W.Int32(P.X);
    W.Int32(P.Y);
}

TPoint ReadPoint(TDataReader& R) {
    const int x = R.Int32();
    return TPoint(x, R.Int32());
}

} // namespace

void TChartSeries::WriteData(plat::TStream& Stream) {
    int flags = SeriesDataFlags(this) & (DataXValues | DataColors | DataLabels);
    if (FMarks && FMarks->Positions().ExistCustom())
        flags |= DataMarkPositions;
    const int count = FX->Count();
    TDataWriter w;
    w.Byte(static_cast<uint8_t>(flags));
    w.Int32(count);
    const TChartValueList* other = NotMandatoryList();
    const TChartValueList* mandatory = MandatoryList();
    for (int i = 0; i < count; ++i) {
        if (flags & DataXValues)
            w.Double((*other)[i]);
        w.Double((*mandatory)[i]);
        if (flags & DataColors)
            w.Int32(static_cast<int32_t>(PointColor(i)));
        if (flags & DataLabels) {
            // The length has one byte: a longer label keeps its first 255 characters rather than a
            // length that wrapped round and a tail that would be read as the next point.
            std::string label = plat::Utf8ToLatin1(XLabel(i));
            if (label.size() > MaxLabelBytes)
                label.resize(MaxLabelBytes);
            w.Byte(static_cast<uint8_t>(label.size()));
            w.Bytes(label);
        }
        for (int l = 2; l < FValuesList.Count(); ++l)
            w.Double((*FValuesList.ValueListAt(l))[i]);
        if (flags & DataMarkPositions) {
            // A point whose mark was never placed gets a zeroed automatic record.
            const TSeriesMarkPosition* p = FMarks->Positions().Position(i);
            const TSeriesMarkPosition none;
            const TSeriesMarkPosition& pos = p ? *p : none;
            WritePoint(w, pos.ArrowFrom);
            w.Byte(pos.ArrowFix ? 1 : 0);
            WritePoint(w, pos.ArrowTo);
            w.Byte(pos.Custom ? 1 : 0);
            w.Int32(pos.Height);
            WritePoint(w, pos.LeftTop);
            w.Int32(pos.Width);
        }
    }
    w.Flush(Stream);
}

void TChartSeries::ReadData(plat::TStream& Stream) {
    ClearPoints();
    TDataReader r(Stream);
    const int flags = r.Byte();
    const int count = r.Int32();
    const bool swap = MandatoryList() != FY;
    SuspendUpdates();
    plat::ScopeGuard resume([this] { ResumeUpdates(); });
    for (int i = 0; i < count; ++i) {
        double a = (flags & DataXValues) ? r.Double() : i;
        double b = r.Double();
        if (swap)
            std::swap(a, b);
        const TColor color = (flags & DataColors) ? static_cast<TColor>(r.Int32()) : AutoColor;
        std::string label;
        if (flags & DataLabels) {
            const size_t length = r.Byte();
            label = plat::Latin1ToUtf8(r.Bytes(length));
        }
        for (int l = 2; l < FValuesList.Count(); ++l)
            FValuesList.ValueListAt(l)->SetTempValue(r.Double());
        AddPoint(a, b, label, color);
        if ((flags & DataMarkPositions) && FMarks) {
            auto pos = std::make_unique<TSeriesMarkPosition>();
            pos->ArrowFrom = ReadPoint(r);
            pos->ArrowFix = r.Byte() != 0;
            pos->ArrowTo = ReadPoint(r);
            pos->Custom = r.Byte() != 0;
            pos->Height = r.Int32();
            pos->LeftTop = ReadPoint(r);
            pos->Width = r.Int32();
            FMarks->Positions().Append(std::move(pos));
        }
    }
    FManualData = true;
}

void TChartSeries::DefineCustomAxisProperty(plat::TFiler& Filer, const char* Name, TChartAxis* Axis,
                                            int& ReadIndex) {
    Filer.DefineProperty(
        Name,
        [this, &ReadIndex](plat::TReader& Reader) {
            ReadIndex = Reader.ReadInteger();
            BindReadCustomAxes();
        },
        [Axis](plat::TWriter& Writer) { Writer.WriteInteger(Axis->Index()); }, Axis != nullptr);
}

void TChartSeries::BindReadCustomAxes() {
    if (!FParent || !FParent->CustomAxes())
        return;
    TChartCustomAxes* axes = FParent->CustomAxes();
    auto bind = [&](int& Index, void (TChartSeries::*Set)(TChartAxis*)) {
        if (Index >= 0 && Index < axes->Count()) {
            (this->*Set)(axes->AxisAt(Index));
            Index = -1;
        }
    };
    bind(FReadHorizAxis, &TChartSeries::SetCustomHorizAxis);
    bind(FReadVertAxis, &TChartSeries::SetCustomVertAxis);
}

} // namespace chart
