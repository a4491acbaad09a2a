#include "chart/SeriesData.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>

#include "chart/PlotConst.h"
#include "chart/PlotEngine.h"
#include "chart/PlotEngineAxisPanel.h"
#include "chart/PlotEngineSeries.h"
#include "chart/PlotProcs.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"

namespace chart {

PLAT_CLASS_INFO(TSeriesData, TPlotExportData)
PLAT_CLASS_INFO(TSeriesDataText, TSeriesData)
PLAT_CLASS_INFO(TSeriesDataHTML, TSeriesData)
PLAT_CLASS_INFO(TSeriesDataXML, TSeriesData)
PLAT_CLASS_INFO(TSeriesDataXLS, TSeriesData)

namespace {

constexpr const char* CrLf = "\r\n";

// The value lists after X and Y, in the series' order.
std::vector<TChartValueList*> FurtherLists(TChartSeries* Series) {
    std::vector<TChartValueList*> lists;
    TChartValueLists& all = Series->ValuesList();
    for (int i = 0; i < all.Count(); ++i) {
        TChartValueList* list = all.ValueListAt(i);
        if (list != Series->XValues() && list != Series->YValues())
            lists.push_back(list);
    }
    return lists;
}

// A null point has no colour to tell.
std::string PointColorText(TChartSeries* Series, int Index) {
    const plat::TColor color = Index < Series->Count() ? Series->ValueColor(Index) : Series->SeriesColor();
    return color == plat::clNone ? std::string() : SeriesDataColor(color);
}

void AppendNumber(std::string& Out, double Value) {
    Out += plat::FloatToStr(Value);
}

// Markup text in ASCII: & < > " escaped, everything beyond ASCII as a character reference. Line breaks
// and tabs become references too, so an attribute keeps them; other control characters, which XML 1.0
// cannot carry at all, become "?".
void AppendMarkup(std::string& Out, std::string_view Text) {
    size_t pos = 0;
    while (pos < Text.size()) {
        const unsigned char c = static_cast<unsigned char>(Text[pos]);
        if (c < 0x80) {
            ++pos;
            switch (c) {
            case '&':
                Out += "&amp;";
                break;
            case '<':
                Out += "&lt;";
                break;
            case '>':
                Out += "&gt;";
                break;
            case '"':
                Out += "&quot;";
                break;
            case '\r':
                Out += "&#13;";
                break;
            case '\n':
                Out += "&#10;";
                break;
            case '\t':
                Out += "&#9;";
                break;
            default:
                Out += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
                break;
            }
            continue;
        }
        const plat::TUtf8Char d = plat::Utf8DecodeAt(Text, pos);
        pos += std::max<size_t>(d.Length, 1);
        if (d.Fault != plat::ufNone) {
            Out += '?';
            continue;
        }
        Out += "&#";
        Out += std::to_string(static_cast<uint32_t>(d.CodePoint));
        Out += ';';
    }
}

// An XML attribute name from a value list's name: letters, digits, '_', '-' and '.', starting with a
// letter or '_'; anything else becomes '_'.
std::string AttributeName(const std::string& Name) {
    std::string out;
    for (const char ch : Name) {
        const bool letter = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_';
        const bool other = (ch >= '0' && ch <= '9') || ch == '-' || ch == '.';
        out += letter || (other && !out.empty()) ? ch : '_';
    }
    return out.empty() ? std::string("_") : out;
}

} // namespace

std::string SeriesDataColor(plat::TColor Color) {
    static const char Hex[] = "0123456789ABCDEF";
    const uint32_t rgb = static_cast<uint32_t>(plat::ColorToRGB(Color));
    const uint8_t bytes[3] = {static_cast<uint8_t>(rgb & 0xFF), static_cast<uint8_t>((rgb >> 8) & 0xFF),
                              static_cast<uint8_t>((rgb >> 16) & 0xFF)};
    std::string text = "#";
    for (const uint8_t b : bytes) {
        text += Hex[b >> 4];
        text += Hex[b & 0xF];
    }
    return text;
}

// --- TSeriesData --------------------------------------------------------------------------------------

TSeriesData::TSeriesData(TCustomAxisPanel* Chart, TChartSeries* Series)
    : FSourceChart(Chart), FSourceSeries(Series) {}

std::vector<TChartSeries*> TSeriesData::ExportedSeries() const {
    if (FSourceSeries)
        return {FSourceSeries};
    std::vector<TChartSeries*> all;
    if (FSourceChart)
        for (int i = 0; i < FSourceChart->SeriesCount(); ++i)
            all.push_back(FSourceChart->Series(i));
    return all;
}

void TSeriesData::PrepareSeries() {
    // A previous export's flags must not leak into one that finds no series.
    FColumnFlags = 0;
    TChartSeries* source = FSourceSeries;
    if (!source)
        for (TChartSeries* s : ExportedSeries())
            if (s->Count() > 0) {
                source = s;
                break;
            }
    if (source)
        FColumnFlags = SeriesDataFlags(source) & (sdfXValues | sdfColors | sdfLabels);
}

void TSeriesData::ApplyExportOptions() {
    PrepareSeries();
    if (!FWithLabels)
        FColumnFlags &= ~sdfLabels;
    if (!FWithColors)
        FColumnFlags &= ~sdfColors;
}

int TSeriesData::ExportRowCount() const {
    const std::vector<TChartSeries*> series = ExportedSeries();
    if (series.empty())
        return -1;
    int rows = 0;
    for (TChartSeries* s : series)
        rows = std::max(rows, s->Count());
    return rows;
}

std::string TSeriesData::RowText(int) {
    return std::string();
}

std::string TSeriesData::AsString() {
    ApplyExportOptions();
    std::string out;
    const int rows = ExportRowCount();
    for (int i = 0; i < rows; ++i) {
        out += RowText(i);
        out += CrLf;
    }
    return out;
}

// --- TSeriesDataText ----------------------------------------------------------------------------------

struct TSeriesDataText::TRowSource {
    TChartSeries* Series;
    int Count;
    TChartValueList* X;
    TChartValueList* Y;
    std::vector<TChartValueList*> Further;
};

TSeriesDataText::TSeriesDataText(TCustomAxisPanel* Chart, TChartSeries* Series)
    : TSeriesData(Chart, Series) {}

void TSeriesDataText::PrepareSeries() {
    TSeriesData::PrepareSeries();
    if (FSourceSeries || !FWithLabels || (FColumnFlags & sdfLabels))
        return;
    for (TChartSeries* s : ExportedSeries())
        if (HasLabels(s)) {
            FColumnFlags |= sdfLabels;
            return;
        }
}

std::vector<TSeriesDataText::TRowSource> TSeriesDataText::RowSources() {
    std::vector<TRowSource> sources;
    for (TChartSeries* s : ExportedSeries())
        sources.push_back({s, s->Count(), s->XValues(), s->YValues(), FurtherLists(s)});
    return sources;
}

void TSeriesDataText::AppendQuoted(std::string& Out, const std::string& Text) const {
    if (FQuote.empty()) {
        // Without quotes a separator or line break inside a label would start a new field or row.
        for (size_t pos = 0; pos < Text.size();) {
            if (!FDelimiter.empty() && Text.compare(pos, FDelimiter.size(), FDelimiter) == 0) {
                Out += ' ';
                pos += FDelimiter.size();
            } else {
                Out += Text[pos] == '\r' || Text[pos] == '\n' ? ' ' : Text[pos];
                ++pos;
            }
        }
        return;
    }
    Out += FQuote;
    if (Text.find(FQuote) == std::string::npos) {
        Out += Text;
    } else {
        // A quote inside the text is doubled, so the field still ends where the reader expects.
        for (size_t pos = 0; pos < Text.size();) {
            if (Text.compare(pos, FQuote.size(), FQuote) == 0) {
                Out += FQuote;
                Out += FQuote;
                pos += FQuote.size();
            } else {
                Out += Text[pos++];
            }
        }
    }
    Out += FQuote;
}

void TSeriesDataText::AppendValue(std::string& Out, const TChartValueList* List, int Index, int Count) {
    if (Index >= Count)
        return;
    const double value = (*List)[Index];
    if (List->DateTime())
        AppendQuoted(Out, plat::DateTimeToStr(value));
    else if (!FNumberMask.empty())
        Out += plat::FormatFloat(FNumberMask, value);
    else
        AppendNumber(Out, value);
}

std::string TSeriesDataText::HeaderLine() {
    std::string line;
    bool first = true;
    // Every field but the first has its separator before it, so empty fields keep their columns.
    auto field = [&]() -> std::string& {
        if (!first)
            line += FDelimiter;
        first = false;
        return line;
    };
    if (FWithIndex)
        AppendQuoted(field(), ChartTextIndex);
    if (FColumnFlags & sdfLabels)
        AppendQuoted(field(), "Text");
    if (FColumnFlags & sdfColors)
        AppendQuoted(field(), "Colors");
    for (TChartSeries* s : ExportedSeries()) {
        if (FColumnFlags & sdfXValues)
            AppendQuoted(field(), s->XValues()->Name());
        if (s->ValuesList().Count() == 2) {
            AppendQuoted(field(), GetSeriesTitle(s));
        } else {
            AppendQuoted(field(), s->YValues()->Name());
            for (TChartValueList* list : FurtherLists(s))
                AppendQuoted(field(), list->Name());
        }
    }
    return line;
}

void TSeriesDataText::AppendRow(std::string& Out, int Index, const std::vector<TRowSource>& Sources) {
    bool first = true;
    auto field = [&]() -> std::string& {
        if (!first)
            Out += FDelimiter;
        first = false;
        return Out;
    };
    if (FWithIndex) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, Index).ptr;
        field().append(digits, end);
    }
    if (!Sources.empty()) {
        if (FColumnFlags & sdfLabels) {
            std::string label;
            for (const TRowSource& s : Sources) {
                if (Index < s.Count)
                    label = s.Series->XLabel(Index);
                if (!label.empty() || FSourceSeries)
                    break;
            }
            AppendQuoted(field(), label);
        }
        if (FColumnFlags & sdfColors)
            field() += PointColorText(Sources.front().Series, Index);
    }
    for (const TRowSource& s : Sources) {
        if (FColumnFlags & sdfXValues)
            AppendValue(field(), s.X, Index, s.Count);
        AppendValue(field(), s.Y, Index, s.Count);
        for (TChartValueList* list : s.Further)
            AppendValue(field(), list, Index, s.Count);
    }
}

std::string TSeriesDataText::RowText(int Index) {
    std::string row;
    AppendRow(row, Index, RowSources());
    return row;
}

std::string TSeriesDataText::AsString() {
    ApplyExportOptions();
    std::string out;
    if (FWithHeader) {
        out += HeaderLine();
        out += CrLf;
    }
    const std::vector<TRowSource> sources = RowSources();
    const int rows = ExportRowCount();
    if (rows > 0)
        out.reserve(out.size() + static_cast<size_t>(rows) * (8 + sources.size() * 24));
    for (int i = 0; i < rows; ++i) {
        AppendRow(out, i, sources);
        out += CrLf;
    }
    out += CrLf;
    return out;
}

void TSeriesDataText::SaveToStream(plat::TStream& Stream) {
    const std::string bytes = plat::Utf8ToLatin1(AsString());
    Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// --- TSeriesDataHTML ----------------------------------------------------------------------------------

namespace {

void AppendCell(std::string& Out, std::string_view Text) {
    Out += "<td>";
    AppendMarkup(Out, Text);
    Out += "</td>";
}

void AppendNumberCell(std::string& Out, double Value) {
    Out += "<td>";
    AppendNumber(Out, Value);
    Out += "</td>";
}

} // namespace

void TSeriesDataHTML::AppendRow(std::string& Out, int Index, const std::vector<TChartSeries*>& Series) {
    Out += "<tr>";
    if (FWithIndex) {
        Out += "<td>";
        Out += std::to_string(Index);
        Out += "</td>";
    }
    for (TChartSeries* s : Series) {
        const std::vector<TChartValueList*> further = FurtherLists(s);
        if (Index >= s->Count()) {
            int cells = 2 + static_cast<int>(further.size());
            cells += (FColumnFlags & sdfLabels) ? 1 : 0;
            cells += (FColumnFlags & sdfColors) ? 1 : 0;
            cells -= (FColumnFlags & sdfXValues) ? 0 : 1;
            for (int c = 0; c < cells; ++c)
                Out += "<td></td>";
            continue;
        }
        if (FColumnFlags & sdfLabels)
            AppendCell(Out, s->XLabel(Index));
        if (FColumnFlags & sdfColors)
            AppendCell(Out, PointColorText(s, Index));
        if (FColumnFlags & sdfXValues)
            AppendNumberCell(Out, (*s->XValues())[Index]);
        AppendNumberCell(Out, (*s->YValues())[Index]);
        for (TChartValueList* list : further)
            AppendNumberCell(Out, (*list)[Index]);
    }
    Out += "</tr>";
}

std::string TSeriesDataHTML::RowText(int Index) {
    std::string row;
    AppendRow(row, Index, ExportedSeries());
    return row;
}

std::string TSeriesDataHTML::AsString() {
    ApplyExportOptions();
    const std::vector<TChartSeries*> series = ExportedSeries();
    std::string out = "<table border=\"1\">";
    out += CrLf;
    if (FWithHeader) {
        out += "<tr>";
        if (FWithIndex)
            AppendCell(out, ChartTextIndex);
        for (TChartSeries* s : series) {
            if (FColumnFlags & sdfLabels)
                AppendCell(out, "Text");
            if (FColumnFlags & sdfColors)
                AppendCell(out, "Colors");
            if (FColumnFlags & sdfXValues)
                AppendCell(out, s->XValues()->Name());
            if (s->ValuesList().Count() == 2) {
                AppendCell(out, GetSeriesTitle(s));
            } else {
                AppendCell(out, s->YValues()->Name());
                for (TChartValueList* list : FurtherLists(s))
                    AppendCell(out, list->Name());
            }
        }
        out += "</tr>";
        out += CrLf;
    }
    const int rows = ExportRowCount();
    for (int i = 0; i < rows; ++i) {
        AppendRow(out, i, series);
        out += CrLf;
    }
    out += CrLf;
    out += "</table>";
    return out;
}

// --- TSeriesDataXML -----------------------------------------------------------------------------------

TSeriesDataXML::TSeriesDataXML(TCustomAxisPanel* Chart, TChartSeries* Series) : TSeriesData(Chart, Series) {
    FWithHeader = true;
}

std::string TSeriesDataXML::DeclaredEncoding() const {
    // The encodings whose first 128 characters are ASCII; the text is ASCII, so each of them is true.
    static const char* const AsciiSupersets[] = {"UTF-8",    "ISO-8859-1",   "ISO-8859-15",
                                                 "US-ASCII", "WINDOWS-1252", "LATIN1"};
    if (FXmlEncoding.empty())
        return FXmlEncoding;
    const std::string upper = plat::UpperCase(FXmlEncoding);
    for (const char* name : AsciiSupersets)
        if (upper == name)
            return FXmlEncoding;
    return "ISO-8859-1";
}

void TSeriesDataXML::AppendSeries(std::string& Out, TChartSeries* Series) {
    const int count = Series->Count();
    Out += "<series title=\"";
    AppendMarkup(Out, GetSeriesTitle(Series));
    Out += "\" type=\"";
    AppendMarkup(Out, GetGallerySeriesName(Series));
    Out += "\" color=\"";
    Out += SeriesDataColor(Series->SeriesColor());
    Out += "\">";
    Out += CrLf;
    Out += "<points count=\"";
    Out += std::to_string(count);
    Out += "\">";
    Out += CrLf;

    const std::vector<TChartValueList*> further = FurtherLists(Series);
    // An attribute may appear once per element: a list named like another attribute gets a suffix.
    std::vector<std::string> used = {"index", "text", "color"};
    std::vector<std::string> names;
    auto attribute = [&](const std::string& ListName) {
        const std::string base = AttributeName(ListName);
        std::string name = base;
        for (int n = 2; std::find(used.begin(), used.end(), name) != used.end(); ++n)
            name = base + "_" + std::to_string(n);
        used.push_back(name);
        names.push_back(" " + name + "=\"");
    };
    if (FColumnFlags & sdfXValues)
        attribute(Series->XValues()->Name());
    attribute(Series->YValues()->Name());
    for (TChartValueList* list : further)
        attribute(list->Name());

    for (int i = 0; i < count; ++i) {
        Out += "<point";
        if (FWithIndex) {
            Out += " index=\"";
            Out += std::to_string(i);
            Out += '"';
        }
        if (FColumnFlags & sdfLabels) {
            Out += " text=\"";
            AppendMarkup(Out, Series->XLabel(i));
            Out += '"';
        }
        if (FColumnFlags & sdfColors) {
            Out += " color=\"";
            Out += PointColorText(Series, i);
            Out += '"';
        }
        size_t n = 0;
        auto value = [&](const TChartValueList* list) {
            Out += names[n++];
            AppendNumber(Out, (*list)[i]);
            Out += '"';
        };
        if (FColumnFlags & sdfXValues)
            value(Series->XValues());
        value(Series->YValues());
        for (TChartValueList* list : further)
            value(list);
        Out += "/>";
        Out += CrLf;
    }
    Out += "</points>";
    Out += CrLf;
    Out += "</series>";
    Out += CrLf;
    Out += CrLf;
}

std::string TSeriesDataXML::AsString() {
    ApplyExportOptions();
    std::string out;
    if (FWithHeader) {
        out += "<?xml version=\"1.0\"";
        const std::string encoding = DeclaredEncoding();
        if (!encoding.empty()) {
            out += " encoding=\"";
            out += encoding;
            out += '"';
        }
        out += "?>";
        out += CrLf;
    }
    if (FSourceSeries) {
        AppendSeries(out, FSourceSeries);
        return out;
    }
    out += "<chart>";
    out += CrLf;
    for (TChartSeries* s : ExportedSeries())
        AppendSeries(out, s);
    out += "</chart>";
    return out;
}

// --- TSeriesDataXLS -----------------------------------------------------------------------------------

namespace {

class TBiffWriter {
public:
    void Word(int Value) {
        const auto v = static_cast<uint16_t>(Value);
        FBytes.push_back(static_cast<uint8_t>(v & 0xFF));
        FBytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void Record(int Type, int Length) {
        Word(Type);
        Word(Length);
    }
    void CellHead(int Type, int Length, int Row, int Col) {
        Record(Type, Length);
        Word(Row);
        Word(Col);
        FBytes.insert(FBytes.end(), 3, 0);
    }
    void Text(int Row, int Col, const std::string& Utf8) {
        std::string latin1 = plat::Utf8ToLatin1(Utf8);
        // A cell holds at most 255 characters.
        if (latin1.size() > 255)
            latin1.resize(255);
        CellHead(0x0004, 8 + static_cast<int>(latin1.size()), Row, Col);
        FBytes.push_back(static_cast<uint8_t>(latin1.size()));
        FBytes.insert(FBytes.end(), latin1.begin(), latin1.end());
    }
    void Number(int Row, int Col, double Value) {
        CellHead(0x0003, 15, Row, Col);
        uint8_t raw[8];
        std::memcpy(raw, &Value, 8);
        if constexpr (std::endian::native == std::endian::big)
            std::reverse(raw, raw + 8);
        FBytes.insert(FBytes.end(), raw, raw + 8);
    }
    void Blank(int Row, int Col) { CellHead(0x0001, 7, Row, Col); }
    const std::vector<uint8_t>& Bytes() const { return FBytes; }
    void Reserve(size_t Size) { FBytes.reserve(Size); }

private:
    std::vector<uint8_t> FBytes;
};

} // namespace

void TSeriesDataXLS::SaveToStream(plat::TStream& Stream) {
    ApplyExportOptions();
    const std::vector<TChartSeries*> series = ExportedSeries();
    const int headerRows = FWithHeader ? 1 : 0;
    const int rows = ExportRowCount();
    const int seriesCount = static_cast<int>(series.size());
    int columns = FWithIndex ? 1 : 0;
    for (const int bit : {sdfLabels, sdfColors, sdfXValues})
        if (FColumnFlags & bit)
            columns += seriesCount;
    for (TChartSeries* s : series)
        columns += s->ValuesList().Count() - 1;

    TBiffWriter out;
    if (rows > 0)
        out.Reserve(static_cast<size_t>(rows) * static_cast<size_t>(std::max(columns, 1)) * 19 + 64);
    out.Record(0x0809, 8);
    out.Word(0x0000);
    out.Word(0x0010);
    out.Word(0);
    out.Word(0);
    // A chart without series has no rows; a negative count would read as 65535 rows.
    out.Record(0x0200, 10);
    out.Word(0);
    out.Word(std::max(rows, 0) + headerRows);
    out.Word(0);
    out.Word(columns);
    out.Word(0);

    if (FWithHeader) {
        int col = 0;
        if (FWithIndex)
            out.Text(0, col++, ChartTextIndex);
        for (TChartSeries* s : series) {
            if (FColumnFlags & sdfLabels)
                out.Text(0, col++, "Text");
            if (FColumnFlags & sdfColors)
                out.Text(0, col++, "Colors");
            if (FColumnFlags & sdfXValues)
                out.Text(0, col++, s->XValues()->Name());
            TChartValueLists& lists = s->ValuesList();
            for (int l = 1; l < lists.Count(); ++l)
                out.Text(0, col++, lists.ValueListAt(l)->Name());
        }
    }

    std::vector<std::vector<TChartValueList*>> further;
    for (TChartSeries* s : series)
        further.push_back(FurtherLists(s));
    for (int i = 0; i < rows; ++i) {
        const int row = i + headerRows;
        int col = 0;
        if (FWithIndex)
            out.Number(row, col++, i);
        for (size_t k = 0; k < series.size(); ++k) {
            TChartSeries* s = series[k];
            const int valueLists = 1 + static_cast<int>(further[k].size());
            if (i >= s->Count()) {
                if (FColumnFlags & sdfLabels)
                    out.Text(row, col++, std::string());
                if (FColumnFlags & sdfColors)
                    out.Text(row, col++, std::string());
                if (FColumnFlags & sdfXValues)
                    out.Blank(row, col++);
                for (int l = 0; l < valueLists; ++l)
                    out.Blank(row, col++);
                continue;
            }
            if (FColumnFlags & sdfLabels)
                out.Text(row, col++, s->XLabel(i));
            if (FColumnFlags & sdfColors)
                out.Text(row, col++, PointColorText(s, i));
            if (FColumnFlags & sdfXValues)
                out.Number(row, col++, (*s->XValues())[i]);
            if (s->PointIsNull(i)) {
                for (int l = 0; l < valueLists; ++l)
                    out.Blank(row, col++);
                continue;
            }
            out.Number(row, col++, (*s->YValues())[i]);
            for (TChartValueList* list : further[k])
                out.Number(row, col++, (*list)[i]);
        }
    }
    out.Record(0x000A, 0);
    Stream.WriteBuffer(out.Bytes().data(), static_cast<int64_t>(out.Bytes().size()));
}

} // namespace chart
