#include "analysis/ChartExport.h"

#include "chart/Chart.h"
#include "chart/Series.h"
#include "chart/SeriesData.h"
#include "platform/ui/Screen.h"

using namespace plat;

void ExportChartAs(chart::TChart* Chart, chart::TChartSeries* Series, const std::string& FileName,
                   int ExportCode, const std::function<void(const std::string& FileName)>& WriteDocument) {
    switch (ExportCode) {
    case 1: {
        chart::TSeriesDataText data(Chart, Series);
        data.SetTextDelimiter(";");
        data.SetWithIndex(true);
        data.SaveToFile(FileName);
        break;
    }
    case 2: {
        chart::TSeriesDataXLS data(Chart, Series);
        data.SetWithIndex(true);
        data.SaveToFile(FileName);
        break;
    }
    case 3: {
        chart::TSeriesDataHTML data(Chart, Series);
        data.SetWithIndex(true);
        data.SaveToFile(FileName);
        break;
    }
    case 4:
        WriteDocument(FileName);
        break;
    case 5:
        Chart->SaveAsBMP(FileName);
        break;
    case 6:
        Chart->SaveAsEMF(FileName);
        break;
    case 7:
        Chart->SaveAsWMF(FileName);
        break;
    default:
        break;
    }
}

THourGlassCursor::THourGlassCursor() {
    if (Screen) {
        FSaved = Screen->Cursor();
        Screen->SetCursor(crHourGlass);
    }
}

THourGlassCursor::~THourGlassCursor() {
    if (Screen)
        Screen->SetCursor(FSaved);
}
