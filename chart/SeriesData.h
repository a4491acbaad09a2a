// The data exporters: the points of one series, or of every series of a chart, as delimited text, a
// minimal Excel (BIFF2) worksheet, an HTML table or an XML text.
//
// Texts are built as UTF-8 (what the clipboard takes); files get the bytes the format promises: the
// delimited text and the worksheet's text cells in Latin-1 ("?" for what Latin-1 lacks), HTML and XML in
// plain ASCII with character references for everything beyond it, so any encoding the XML declaration
// may name reads them the same.
#pragma once

#include <string>
#include <vector>

#include "chart/PlotProcsServices.h"
#include "platform/rtl/Types.h"

namespace chart {

class TChartSeries;
class TChartValueList;
class TCustomAxisPanel;

// Which optional columns an export has (the bits of SeriesDataFlags).
inline constexpr int sdfXValues = 1;
inline constexpr int sdfColors = 2;
inline constexpr int sdfLabels = 4;

// "#RRGGBB" of the colour (system colours resolved), upper-case hexadecimal.
std::string SeriesDataColor(plat::TColor Color);

class TSeriesData : public TPlotExportData {
    PLAT_CLASS(TSeriesData)
public:
    // Series null: every series of the chart, in the chart's order.
    TSeriesData(TCustomAxisPanel* Chart, TChartSeries* Series);

    std::string AsString() override;
    // Chooses the column flags from the exported series (or the first one with points).
    virtual void PrepareSeries();
    // The text of one data row, without line end; empty here.
    virtual std::string RowText(int Index);

    // The exported series' point count, or the largest among the chart's series; -1 without series.
    int ExportRowCount() const;

    bool WithColors() const { return FWithColors; }
    void SetWithColors(bool Value) { FWithColors = Value; }
    bool WithIndex() const { return FWithIndex; }
    void SetWithIndex(bool Value) { FWithIndex = Value; }
    bool WithHeader() const { return FWithHeader; }
    void SetWithHeader(bool Value) { FWithHeader = Value; }
    bool WithLabels() const { return FWithLabels; }
    void SetWithLabels(bool Value) { FWithLabels = Value; }
    TCustomAxisPanel* SourceChart() const { return FSourceChart; }
    TChartSeries* SourceSeries() const { return FSourceSeries; }
    int ColumnFlags() const { return FColumnFlags; }

protected:
    // PrepareSeries, then the options clear the label and colour columns they leave out.
    void ApplyExportOptions();
    // The single series, or every series of the chart.
    std::vector<TChartSeries*> ExportedSeries() const;

    bool FWithColors = false;
    bool FWithIndex = false;
    bool FWithHeader = false;
    bool FWithLabels = true;
    TCustomAxisPanel* FSourceChart;
    TChartSeries* FSourceSeries;
    int FColumnFlags = 0;
};

class TSeriesDataText : public TSeriesData {
    PLAT_CLASS(TSeriesDataText)
public:
    TSeriesDataText(TCustomAxisPanel* Chart, TChartSeries* Series);

    std::string AsString() override;
    void PrepareSeries() override;
    std::string RowText(int Index) override;
    // The text in Latin-1.
    void SaveToStream(plat::TStream& Stream) override;

    const std::string& TextDelimiter() const { return FDelimiter; }
    void SetTextDelimiter(const std::string& Value) { FDelimiter = Value; }
    const std::string& TextQuotes() const { return FQuote; }
    void SetTextQuotes(const std::string& Value) { FQuote = Value; }
    // A FormatFloat mask for values; empty gives the shortest general form.
    const std::string& ValueFormat() const { return FNumberMask; }
    void SetValueFormat(const std::string& Value) { FNumberMask = Value; }

private:
    struct TRowSource;
    std::string HeaderLine();
    void AppendRow(std::string& Out, int Index, const std::vector<TRowSource>& Sources);
    std::vector<TRowSource> RowSources();
    void AppendQuoted(std::string& Out, const std::string& Text) const;
    void AppendValue(std::string& Out, const TChartValueList* List, int Index, int Count);

    std::string FDelimiter = "\t";
    std::string FQuote;
    std::string FNumberMask;
};

class TSeriesDataHTML : public TSeriesData {
    PLAT_CLASS(TSeriesDataHTML)
public:
    using TSeriesData::TSeriesData;

    std::string AsString() override;
    std::string RowText(int Index) override;

private:
    void AppendRow(std::string& Out, int Index, const std::vector<TChartSeries*>& Series);
};

class TSeriesDataXML : public TSeriesData {
    PLAT_CLASS(TSeriesDataXML)
public:
    TSeriesDataXML(TCustomAxisPanel* Chart, TChartSeries* Series);

    std::string AsString() override;

    // The encoding the declaration names; empty leaves it out (UTF-8 by default). The bytes are ASCII,
    // so one that is not a superset of ASCII is declared as ISO-8859-1 instead.
    const std::string& Encoding() const { return FXmlEncoding; }
    void SetEncoding(const std::string& Value) { FXmlEncoding = Value; }
    std::string DeclaredEncoding() const;

private:
    void AppendSeries(std::string& Out, TChartSeries* Series);

    std::string FXmlEncoding = "ISO-8859-1";
};

class TSeriesDataXLS : public TSeriesData {
    PLAT_CLASS(TSeriesDataXLS)
public:
    using TSeriesData::TSeriesData;

    // The worksheet records.
    void SaveToStream(plat::TStream& Stream) override;
};

} // namespace chart
