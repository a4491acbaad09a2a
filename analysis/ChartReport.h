// The result report of the chart window: the lines each reporting command writes and how a block of them
// goes into the result area. The lines are made from plain values, so their wording and number formats can
// be checked without a window.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Types.h"

namespace plat {
class TCustomRichEdit;
}

namespace analysis {

// One line of a report. A styled line sets its colour and font style; a plain line sets nothing and so
// carries on the formatting the text ends in (after the bold title, the lines below it are bold too).
struct TReportLine {
    std::string Text;
    bool Styled = false;
    plat::TColor Color = plat::clBlack;
    plat::TFontStyles Style = 0;

    bool operator==(const TReportLine&) const = default;
};
using TReportLines = std::vector<TReportLine>;

// The masks numbers are shown with, in the user's locale: x values and integrals with the bottom axis's
// value format, y values with the left axis's.
struct TReportFormats {
    std::string X = "0";
    std::string Y = "0";
};

struct TReportPeak {
    double X = 0;
    double Y = 0;
};

// "Number of Peaks: n", then one line per peak in list order.
TReportLines PeaksReport(std::span<const TReportPeak> Peaks, const TReportFormats& Formats);
TReportLines DeviationReport(double XStart, double XEnd, double Maximum, double Minimum, double Mean,
                             double Deviation, const TReportFormats& Formats);
TReportLines RmsReport(double XStart, double XEnd, double Rms, const TReportFormats& Formats);

// An integrator's answer: its status (0 when it converged) and its value.
struct TIntegralResult {
    int Status = 0;
    double Value = 0;
};
TReportLines IntegralReport(double XStart, double XEnd, TIntegralResult Trapezoid, TIntegralResult Simpson,
                            const TReportFormats& Formats);

// --- The result area ---

// An empty line, unless the area is still empty, so that blocks stand apart.
void AddResultSeparator(plat::TCustomRichEdit& Area);
// Appends Text at the end in Color and Style; lines appended after it without a format of their own keep
// that format.
void AddResultLine(plat::TCustomRichEdit& Area, const std::string& Text, plat::TColor Color,
                   plat::TFontStyles Style);
// A whole block: the separator, the frame's title in its colour, bold and underlined, then the lines.
void AddResultBlock(plat::TCustomRichEdit& Area, const std::string& Title, plat::TColor TitleColor,
                    const TReportLines& Lines);

} // namespace analysis
