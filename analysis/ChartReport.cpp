#include "analysis/ChartReport.h"

#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/RichEdit.h"

using namespace plat;

namespace analysis {

namespace {

TReportLine Plain(std::string Text) {
    return {std::move(Text), false, clBlack, 0};
}

TReportLine Styled(std::string Text, TFontStyles Style) {
    return {std::move(Text), true, clBlack, Style};
}

void AddRange(TReportLines& Lines, double XStart, double XEnd, const TReportFormats& Formats) {
    Lines.push_back(Plain("X(Start)=" + FormatFloat(Formats.X, XStart)));
    Lines.push_back(Plain("X(End)=" + FormatFloat(Formats.X, XEnd)));
}

std::string IntegralLine(TIntegralResult Result, const TReportFormats& Formats) {
    if (Result.Status != 0)
        return "Integral= ERROR";
    return "Integral=" + FormatFloat(Formats.X, Result.Value);
}

} // namespace

TReportLines PeaksReport(std::span<const TReportPeak> Peaks, const TReportFormats& Formats) {
    TReportLines lines;
    lines.push_back(Styled("Number of Peaks: " + IntToStr(static_cast<int64_t>(Peaks.size())), fsBold));
    int k = 0;
    for (const TReportPeak& p : Peaks)
        lines.push_back(
            Plain(IntToStr(++k) + ".  " + Format("%.2f", {p.Y}) + " @ " + FormatFloat(Formats.X, p.X)));
    return lines;
}

TReportLines DeviationReport(double XStart, double XEnd, double Maximum, double Minimum, double Mean,
                             double Deviation, const TReportFormats& Formats) {
    TReportLines lines;
    AddRange(lines, XStart, XEnd, Formats);
    lines.push_back(Plain("Max=" + FormatFloat(Formats.Y, Maximum)));
    lines.push_back(Plain("Min=" + FormatFloat(Formats.Y, Minimum)));
    lines.push_back(Plain("PP=" + FormatFloat(Formats.Y, Maximum - Minimum)));
    lines.push_back(Plain("Mean=" + FormatFloat(Formats.Y, Mean)));
    lines.push_back(Plain("Deviation=" + FormatFloat(Formats.Y, Deviation)));
    return lines;
}

TReportLines RmsReport(double XStart, double XEnd, double Rms, const TReportFormats& Formats) {
    TReportLines lines;
    AddRange(lines, XStart, XEnd, Formats);
    lines.push_back(Plain("RMS=" + FormatFloat(Formats.Y, Rms)));
    return lines;
}

TReportLines IntegralReport(double XStart, double XEnd, TIntegralResult Trapezoid, TIntegralResult Simpson,
                            const TReportFormats& Formats) {
    TReportLines lines;
    AddRange(lines, XStart, XEnd, Formats);
    // The heading's spelling is the one users of the program know and search their saved reports for.
    lines.push_back(Styled("trapeziodal rule:", fsBold | fsItalic));
    lines.push_back(Plain(IntegralLine(Trapezoid, Formats)));
    lines.push_back(Styled("Simpson's rule:", fsBold | fsItalic));
    lines.push_back(Plain(IntegralLine(Simpson, Formats)));
    return lines;
}

void AddResultSeparator(TCustomRichEdit& Area) {
    if (Area.Lines()->Count() > 0)
        Area.Lines()->Add("");
}

void AddResultLine(TCustomRichEdit& Area, const std::string& Text, TColor Color, TFontStyles Style) {
    Area.SetSelStart(Area.GetTextLen());
    Area.SelAttributes()->SetColor(Color);
    Area.SelAttributes()->SetStyle(Style);
    Area.Lines()->Add(Text);
}

void AddResultBlock(TCustomRichEdit& Area, const std::string& Title, TColor TitleColor,
                    const TReportLines& Lines) {
    AddResultSeparator(Area);
    AddResultLine(Area, Title, TitleColor, fsBold | fsUnderline);
    for (const TReportLine& line : Lines) {
        if (line.Styled)
            AddResultLine(Area, line.Text, line.Color, line.Style);
        else
            Area.Lines()->Add(line.Text);
    }
}

} // namespace analysis
