#include "chart/PlotStore.h"

#include "chart/PlotConst.h"
#include "chart/PlotEngine.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineSeries.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"

namespace chart {

PLAT_CLASS_INFO_CREATABLE(TChartChart, TChart)
PLAT_CLASS_INFO_CREATABLE(TODBCChart, TChartChart)

namespace {

constexpr uint8_t Header[4] = {0x60, 0x30, 0x40, 0x01};

struct TRegistrar {
    TRegistrar() { plat::RegisterClasses({&TChartChart::StaticClass(), &TODBCChart::StaticClass()}); }
    ~TRegistrar() { plat::UnRegisterClasses({&TChartChart::StaticClass(), &TODBCChart::StaticClass()}); }
} registrar;

// The first bytes of the stream, fewer at its end; the position is kept.
size_t PeekBytes(plat::TStream& Stream, uint8_t* Bytes, size_t Count) {
    const int64_t at = Stream.Position();
    const int64_t got = Stream.Read(Bytes, static_cast<int64_t>(Count));
    Stream.SetPosition(at);
    return static_cast<size_t>(std::max<int64_t>(got, 0));
}

} // namespace

void WriteChartFileHeader(plat::TStream& Stream) {
    Stream.WriteBuffer(Header, sizeof Header);
}

bool HasChartFileHeader(plat::TStream& Stream) {
    uint8_t b[2] = {};
    return PeekBytes(Stream, b, 2) == 2 && b[0] == Header[0] && b[1] == Header[1];
}

bool IsChartFileStream(plat::TStream& Stream) {
    uint8_t b = 0;
    return HasChartFileHeader(Stream) || (PeekBytes(Stream, &b, 1) == 1 && (b == 'O' || b == 'o'));
}

void StoreChartToStream(TCustomAxisPanel* Chart, plat::TStream& Stream, bool IncludeData, bool AsText) {
    plat::TMemoryStream binary;
    plat::TStream& target = AsText ? binary : Stream;
    WriteChartFileHeader(target);
    {
        const bool designing = (Chart->ComponentState() & plat::csDesigning) != 0;
        const std::string name = Chart->Name();
        if (!designing)
            Chart->SetName(std::string());
        for (int i = 0; i < Chart->SeriesCount(); ++i) {
            Chart->Series(i)->SetForceSaveData(IncludeData);
            Chart->Series(i)->SetDontSaveData(!IncludeData);
        }
        plat::ScopeGuard restore([&] {
            for (int i = 0; i < Chart->SeriesCount(); ++i) {
                Chart->Series(i)->SetForceSaveData(false);
                Chart->Series(i)->SetDontSaveData(false);
            }
            if (!designing)
                Chart->SetName(name);
        });
        plat::WriteComponent(target, Chart, Chart->Owner() ? Chart->Owner() : Chart);
    }
    if (AsText) {
        binary.SetPosition(0);
        ConvertStoredChartToText(binary, Stream);
    }
}

void StoreChartToFile(TCustomAxisPanel* Chart, const std::string& FileName, bool IncludeData, bool AsText) {
    std::string name = FileName;
    if (plat::ExtractFileExt(name).empty())
        name += "." + ChartFileExtension;
    plat::TMemoryStream stream;
    StoreChartToStream(Chart, stream, IncludeData, AsText);
    plat::WriteFileAtomically(name, stream.Bytes());
}

void ConvertStoredChartToText(plat::TStream& Source, plat::TStream& Destination) {
    if (!IsChartFileStream(Source))
        throw ChartException(ChartTextWrongChartFile);
    if (HasChartFileHeader(Source)) {
        Source.Seek(sizeof Header, plat::soCurrent);
        plat::ObjectBinaryToText(Source, Destination);
    } else {
        Destination.CopyFrom(Source, Source.Size() - Source.Position());
    }
}

} // namespace chart
