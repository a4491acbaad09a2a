// The native chart file: a whole chart (settings, series, tools and, on request, the series' points)
// through the component stream, after a four-byte header; or the same stream in its text form.
#pragma once

#include <string>

#include "chart/Chart.h"

namespace plat {
class TStream;
}

namespace chart {

class TCustomAxisPanel;

// The class names stored charts may carry: a chart with nothing added.
class TChartChart : public TChart {
    PLAT_CLASS(TChartChart)
public:
    using TChart::TChart;
};

class TODBCChart : public TChartChart {
    PLAT_CLASS(TODBCChart)
public:
    using TChartChart::TChartChart;
};

// The bytes 60 30 40 01.
void WriteChartFileHeader(plat::TStream& Stream);
// The stream starts with the header's first word; its position is kept.
bool HasChartFileHeader(plat::TStream& Stream);
// The header, or text starting with "o"/"O"; its position is kept.
bool IsChartFileStream(plat::TStream& Stream);

// With IncludeData every series stores its points, else none does. The chart's name is left out.
void StoreChartToStream(TCustomAxisPanel* Chart, plat::TStream& Stream, bool IncludeData, bool AsText);
// A name without extension gets "." ChartFileExtension. The file is replaced whole or not at all.
void StoreChartToFile(TCustomAxisPanel* Chart, const std::string& FileName, bool IncludeData, bool AsText);
// The binary form (after its header) as text, or text copied as it is; ChartException otherwise.
void ConvertStoredChartToText(plat::TStream& Source, plat::TStream& Destination);

} // namespace chart
