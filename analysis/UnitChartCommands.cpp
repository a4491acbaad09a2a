// The chart window's analysis commands (the "Toolbox" toolbar) and its result area.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "analysis/ChartReport.h"
#include "analysis/FrameAccess.h"
#include "analysis/UnitChart.h"
#include "analysis/UnitIntegral.h"
#include "analysis/UnitIntegralOptions.h"
#include "analysis/UnitMath.h"
#include "analysis/UnitMovingAvSettings.h"
#include "analysis/UnitPeakSettings.h"
#include "analysis/UnitSGFilter.h"
#include "analysis/UnitSGFilterParams.h"
#include "chart/Chart.h"
#include "chart/PlotLisB.h"
#include "chart/Series.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "platform/ui/RichEdit.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxSpin.h"

using namespace plat;
using namespace chart;
using namespace analysis;

namespace {

constexpr int kMinHalfWidth = 1;
constexpr int kMaxHalfWidth = 1000;

} // namespace

// ---- Helpers ----

TChartSeries* TfmChart::SelectedCurrentFrame() {
    return ChartListBox1->HasSelection() ? CurrentFrame() : nullptr;
}

TLineSeries* TfmChart::AddComputedFrame(const std::string& Title) {
    ++FNextFrameNumber;
    return NewFrame(Title);
}

void TfmChart::ShowFrameTitle(TLabel* Label, TChartSeries* Frame) {
    Label->SetCaption(Frame->Title());
    Label->Font()->SetColor(Frame->SeriesColor());
}

void TfmChart::RefuseCommand(const std::string& Instruction, const std::string& Content) {
    ShowMessageDialog("ERROR", Instruction, ui::CommonButtonBit(ui::cbOK), ui::tiError, Content);
}

TReportFormats TfmChart::ReportFormats() const {
    return {Chart1->BottomAxis()->AxisValuesFormat(), Chart1->LeftAxis()->AxisValuesFormat()};
}

void TfmChart::AddResultSeparator() {
    analysis::AddResultSeparator(*re_result);
}

void TfmChart::AddResultLine(const std::string& Text, TColor Color, TFontStyles Style) {
    analysis::AddResultLine(*re_result, Text, Color, Style);
}

void TfmChart::AddReport(TChartSeries* Frame, const TReportLines& Lines) {
    AddResultBlock(*re_result, Frame->Title(), Frame->SeriesColor(), Lines);
}

// ---- Commands that add a frame ----

void TfmChart::btn_movingaverageClick(TObject*) {
    TChartSeries* current = SelectedCurrentFrame();
    if (!current)
        return;
    auto* dialog = SharedDialog<Tfmmovingavsettings>();
    ShowFrameTitle(dialog->lb_sampletitle, current);
    dialog->ed_samplename->SetTextProp(ProposedTitle());
    if (dialog->ShowModal() != mrOk)
        return;
    // The name is taken as typed, also empty.
    const std::string title = dialog->ed_samplename->Text();
    const int m = std::clamp(dialog->ed_smoothpxlcnt->Value(), kMinHalfWidth, kMaxHalfWidth);
    MovingAverage(current, AddComputedFrame(title), 2 * m + 1);
}

void TfmChart::btn_sgfilterClick(TObject*) {
    TChartSeries* current = SelectedCurrentFrame();
    if (!current)
        return;
    auto* dialog = SharedDialog<TfmSGFilterParams>();
    ShowFrameTitle(dialog->lb_sampletitle, current);
    dialog->ed_samplename->SetTextProp(ProposedTitle());
    if (dialog->ShowModal() != mrOk)
        return;
    const std::string title = dialog->ed_samplename->Text();
    const int nl = dialog->ed_nl->IntegerValue();
    const int nr = dialog->ed_nr->IntegerValue();
    const int ld = dialog->ed_ld->IntegerValue();
    const int m = dialog->ed_m->IntegerValue();
    // Parameters the fit refuses leave the new frame at zero, which shows the user they were wrong.
    SavGolFilter(current, AddComputedFrame(title), nl, nr, m, ld);
}

void TfmChart::btn_addframesClick(TObject*) {
    std::vector<TChartSeries*> frames = SelectedFrames();
    if (frames.size() < 2)
        return;
    std::string title = ProposedTitle();
    if (!AskTitle(title))
        return;
    AddFrames(frames, AddComputedFrame(title));
}

void TfmChart::btn_subtractframesClick(TObject*) {
    std::vector<TChartSeries*> frames = SelectedFrames();
    if (frames.size() < 2)
        return;
    std::string title = ProposedTitle();
    bool onlyPositive = false;
    if (!AskTitleAndPositive(title, onlyPositive))
        return;
    SubtractFrames(frames, AddComputedFrame(title), onlyPositive);
}

void TfmChart::btn_averageframesClick(TObject*) {
    std::vector<TChartSeries*> frames = SelectedFrames();
    if (frames.size() < 2)
        return;
    std::string title = ProposedTitle();
    if (!AskTitle(title))
        return;
    AverageFrames(frames, AddComputedFrame(title));
}

void TfmChart::btn_addconstantClick(TObject*) {
    TChartSeries* current = SelectedCurrentFrame();
    if (!current)
        return;
    std::string title = ProposedTitle();
    double c = 0;
    if (!AskTitleAndConstant(title, c))
        return;
    AddConstant(current, AddComputedFrame(title), c);
}

void TfmChart::btn_subtractconstantClick(TObject*) {
    TChartSeries* current = SelectedCurrentFrame();
    if (!current)
        return;
    std::string title = ProposedTitle();
    bool onlyPositive = false;
    double c = 0;
    if (!AskTitleConstantAndPositive(title, onlyPositive, c))
        return;
    SubtractConstant(current, AddComputedFrame(title), onlyPositive, c);
}

void TfmChart::btn_multiplyconstantClick(TObject*) {
    TChartSeries* current = SelectedCurrentFrame();
    if (!current)
        return;
    std::string title = ProposedTitle();
    double c = 0;
    if (!AskTitleAndConstant(title, c))
        return;
    MultiplyConstant(current, AddComputedFrame(title), c);
}

void TfmChart::btn_divideconstantClick(TObject*) {
    TChartSeries* current = SelectedCurrentFrame();
    if (!current)
        return;
    std::string title = ProposedTitle();
    double c = 0;
    if (!AskTitleAndConstant(title, c))
        return;
    // Refused before the frame exists: an empty frame left behind would only confuse, and the frame
    // number stays for the next try.
    if (c == 0) {
        RefuseCommand("Unable to divide the Frame", "The constant is 0: division by zero");
        return;
    }
    DivideConstant(current, AddComputedFrame(title), c);
}

void TfmChart::btn_derivativeClick(TObject*) {
    TChartSeries* current = CurrentFrame();
    if (!current)
        return;
    // The step comes from the frame's first and last x; a frame that gives none (no points, one point,
    // equal ends, or values that are not numbers) cannot be differentiated, so say so before asking for
    // a title.
    const double h = DerivativeStep(current);
    if (h == 0 || !std::isfinite(h)) {
        RefuseCommand("Unable to differentiate the Frame",
                      "The first and last x of the frame give no step to differentiate with");
        return;
    }
    std::string title = ProposedTitle();
    if (!AskTitle(title))
        return;
    DerivativeFrame(current, AddComputedFrame(title), h);
}

// ---- Commands that report ----

void TfmChart::btn_findpeaksClick(TObject*) {
    TChartSeries* current = SelectedCurrentFrame();
    if (!current)
        return;
    auto* dialog = SharedDialog<TfmPeakSettings>();
    ShowFrameTitle(dialog->lb_sampletitle, current);
    if (dialog->ShowModal() != mrOk)
        return;
    PeakSettings settings;
    settings.Threshold = dialog->ed_threshold->FloatValue();
    settings.MinPeak = dialog->ed_minpeak->FloatValue();
    settings.MinDistance = dialog->ed_minpeakdistance->FloatValue();
    settings.WantedCount = dialog->ed_nopeaks->IntegerValue();
    settings.Highest = dialog->cb_highestpeaks->Checked();
    TPeaksObject* peaks = PeaksOf(current);
    if (!peaks)
        return;
    FindPeaks(current, settings, peaks);
    current->Repaint();

    const auto x = frame::XOf(current);
    const auto y = frame::YOf(current);
    std::vector<TReportPeak> found;
    for (int k = 0; k < peaks->PeakCount(); ++k) {
        const size_t i = static_cast<size_t>(peaks->PeakAt(k));
        if (i < x.size())
            found.push_back({x[i], y[i]});
    }
    AddReport(current, PeaksReport(found, ReportFormats()));
}

void TfmChart::btn_stddeviationClick(TObject*) {
    TChartSeries* current = SelectedCurrentFrame();
    int start = 0, end = 0;
    double xStart = 0, xEnd = 0;
    // A frame without points has no range to report on.
    if (!current || !GetRangeIndices(start, end, xStart, xEnd))
        return;
    double deviation = 0, mean = 0, maximum = 0, minimum = 0;
    SeriesStatistics(current, start, end, deviation, mean, maximum, minimum);
    AddReport(current, DeviationReport(xStart, xEnd, maximum, minimum, mean, deviation, ReportFormats()));
}

void TfmChart::btn_rmsClick(TObject*) {
    TChartSeries* current = SelectedCurrentFrame();
    int start = 0, end = 0;
    double xStart = 0, xEnd = 0;
    if (!current || !GetRangeIndices(start, end, xStart, xEnd))
        return;
    AddReport(current, RmsReport(xStart, xEnd, SeriesRms(current, start, end), ReportFormats()));
}

void TfmChart::btn_integralClick(TObject*) {
    TChartSeries* current = SelectedCurrentFrame();
    double xStart = 0, xEnd = 0;
    if (!current || !GetRangeX(xStart, xEnd))
        return;
    auto* dialog = SharedDialog<TfmIntegralOptions>();
    ShowFrameTitle(dialog->lb_sampletitle, current);
    const std::string exponent = IntToStr(FXMultiplier);
    dialog->lb_multiplier->SetCaption("x1E" + exponent);
    const double p = StrToFloat("1E" + exponent);
    dialog->ed_xstart->SetFloatValue(xStart / p);
    dialog->ed_xend->SetFloatValue(xEnd / p);
    if (dialog->ShowModal() != mrOk)
        return;
    const auto x = frame::XOf(current);
    const auto y = frame::YOf(current);
    if (x.empty())
        return;
    xStart = std::max(dialog->ed_xstart->FloatValue() * p, x.front());
    xEnd = std::min(dialog->ed_xend->FloatValue() * p, x.back());
    const double eps = dialog->ed_stepsize->FloatValue();
    TIntegralResult trapezoid, simpson;
    trapezoid.Status = IntegrateTrapezoid(x, y, xStart, xEnd, trapezoid.Value, eps);
    simpson.Status = IntegrateSimpson(x, y, xStart, xEnd, simpson.Value, eps);
    AddReport(current, IntegralReport(xStart, xEnd, trapezoid, simpson, ReportFormats()));
}

// ---- The result area's menu ----

void TfmChart::PopupMenu2Popup(TObject*) {
    const bool hasLines = re_result->Lines()->Count() > 0;
    mi_selectall->SetEnabled(hasLines);
    mi_clear->SetEnabled(hasLines);
    mi_export->SetEnabled(hasLines);
    mi_copy->SetEnabled(re_result->SelLength() > 0);
    mi_print->SetEnabled(true);
}

void TfmChart::mi_selectallClick(TObject*) {
    re_result->SelectAll();
}

void TfmChart::mi_copyClick(TObject*) {
    re_result->CopyToClipboard();
}

void TfmChart::mi_clearClick(TObject*) {
    re_result->Lines()->Clear();
}

void TfmChart::mi_exportClick(TObject*) {
    auto dialog = std::make_unique<TSaveDialog>(nullptr);
    dialog->SetFilter("RichEdit|*.rtf");
    dialog->SetDefaultExt("*.rtf");
    dialog->SetOptions(dialog->Options() | ofOverwritePrompt);
    if (dialog->Execute())
        ExportResult(dialog->FileName());
}

void TfmChart::ExportResult(const std::string& FileName) {
    // The report is written as RTF whatever the area is set to, so colours and styles reach the file.
    WriteFileAtomically(FileName, re_result->RtfText());
}

void TfmChart::mi_printClick(TObject*) {
    re_result->Print(Caption());
}

void TfmChart::PublishAnalysisCommands(TPropertyBuilder<TfmChart>& props) {
    using F = TfmChart;
    props.Method("btn_movingaverageClick", &F::btn_movingaverageClick);
    props.Method("btn_findpeaksClick", &F::btn_findpeaksClick);
    props.Method("btn_addframesClick", &F::btn_addframesClick);
    props.Method("btn_subtractframesClick", &F::btn_subtractframesClick);
    props.Method("btn_sgfilterClick", &F::btn_sgfilterClick);
    props.Method("btn_averageframesClick", &F::btn_averageframesClick);
    props.Method("btn_addconstantClick", &F::btn_addconstantClick);
    props.Method("btn_subtractconstantClick", &F::btn_subtractconstantClick);
    props.Method("btn_multiplyconstantClick", &F::btn_multiplyconstantClick);
    props.Method("btn_divideconstantClick", &F::btn_divideconstantClick);
    props.Method("btn_derivativeClick", &F::btn_derivativeClick);
    props.Method("btn_integralClick", &F::btn_integralClick);
    props.Method("btn_stddeviationClick", &F::btn_stddeviationClick);
    props.Method("btn_rmsClick", &F::btn_rmsClick);
    props.Method("PopupMenu2Popup", &F::PopupMenu2Popup);
    props.Method("mi_selectallClick", &F::mi_selectallClick);
    props.Method("mi_copyClick", &F::mi_copyClick);
    props.Method("mi_clearClick", &F::mi_clearClick);
    props.Method("mi_exportClick", &F::mi_exportClick);
    props.Method("mi_printClick", &F::mi_printClick);
}
