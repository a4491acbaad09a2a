// Writing a chart in one of Save Chart's formats, for the chart windows and the live window alike.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/Control.h"

namespace chart {
class TChart;
class TChartSeries;
} // namespace chart

// Export codes (by the file's extension): 1 delimited text, 2 Excel worksheet, 3 HTML table, 4 chart
// document, 5 bitmap, 6 enhanced metafile, 7 placeable Windows metafile.
//
// Writes Chart in the format of ExportCode: the data formats hold Series with an index column (the text
// delimited by ";"), the chart document is written by WriteDocument, which knows the window it comes from,
// and the pictures show the whole chart. A code outside 1..7 writes nothing. File errors raise.
void ExportChartAs(chart::TChart* Chart, chart::TChartSeries* Series, const std::string& FileName,
                   int ExportCode, const std::function<void(const std::string& FileName)>& WriteDocument);

// The hourglass while a chart document is written or read; the cursor before it comes back on every exit.
// The screen shows a new cursor at once, so no pending messages are run for it: one of them could close
// the window that is being written or filled.
class THourGlassCursor {
public:
    THourGlassCursor();
    ~THourGlassCursor();
    THourGlassCursor(const THourGlassCursor&) = delete;
    THourGlassCursor& operator=(const THourGlassCursor&) = delete;

private:
    plat::TCursor FSaved = plat::crDefault;
};
