// The chart window's documents: saving and loading chart documents, importing frames from them,
// copying frames into a new window, and the export dispatcher of Save Chart.
#include <algorithm>
#include <cmath>
#include <span>

#include "analysis/ChartDocument.h"
#include "analysis/ChartExport.h"
#include "analysis/FrameAccess.h"
#include "analysis/UnitChart.h"
#include "analysis/UnitLoadSample.h"
#include "analysis/UnitTypes.h"
#include "chart/Chart.h"
#include "chart/PlotLisB.h"
#include "chart/PlotSelectorTool.h"
#include "chart/PlotTools.h"
#include "chart/Series.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/MessageLoop.h"
#include "ui/toolbars/KvxToolBarControl.h"

using namespace plat;
using namespace chart;
using analysis::TPeaksObject;

namespace {

// A whole frame's points at once: the chart hears of them once, not once per point.
void AppendFramePoints(TChartSeries* Frame, std::span<const double> X, std::span<const double> Y) {
    Frame->SuspendUpdates();
    ScopeGuard resume([Frame] { Frame->ResumeUpdates(); });
    analysis::frame::AppendPoints(Frame, X, Y);
}

void AddPeaks(TPeaksObject* Peaks, const std::vector<int>& Maxima, const std::vector<int>& Minima) {
    for (int index : Maxima)
        Peaks->AddPeak(index);
    for (int index : Minima)
        Peaks->AddValley(index);
}

} // namespace

// ---- Chart documents ----

TChartDocument TfmChart::ChartDocument() const {
    TChartDocument doc;
    TChartAxis* bottom = Chart1->BottomAxis();
    TChartAxis* left = Chart1->LeftAxis();
    doc.XAxis = {bottom->Title()->Caption(), bottom->AxisValuesFormat()};
    doc.XMultiplier = FXMultiplier;
    doc.XInverted = bottom->Inverted();
    doc.YAxis = {left->Title()->Caption(), left->AxisValuesFormat()};
    doc.ReferenceMax = FReferenceMax;
    doc.Relative = RelativeMode();
    for (int f = 0; f < FrameCount(); ++f) {
        TChartSeries* source = Frame(f);
        TChartDocumentFrame frame;
        frame.Title = source->Title();
        frame.Color = static_cast<int32_t>(source->SeriesColor());
        const auto x = analysis::frame::XOf(source);
        const auto y = analysis::frame::YOf(source);
        frame.X.assign(x.begin(), x.end());
        frame.Y.assign(y.begin(), y.end());
        frame.MaxYValue = y.empty() ? 0 : *std::max_element(y.begin(), y.end());
        if (const TPeaksObject* peaks = PeaksOf(source)) {
            for (int k = 0; k < peaks->PeakCount(); ++k)
                frame.Maxima.push_back(peaks->PeakAt(k));
            for (int k = 0; k < peaks->ValleyCount(); ++k)
                frame.Minima.push_back(peaks->ValleyAt(k));
        }
        doc.Frames.push_back(std::move(frame));
    }
    TChartTools* tools = Chart1->Tools();
    for (int i = 0; i < tools->Count(); ++i) {
        TPlotCustomTool* tool = tools->Items(i);
        // Only the user's boxes: the nearest-point label is one of the window's own tools.
        if (&tool->ClassType() != &TAnnotationTool::StaticClass() || tool == ChartTool3)
            continue;
        auto* box = static_cast<TAnnotationTool*>(tool);
        doc.TextBoxes.push_back({box->Shape()->Left(), box->Shape()->Top(), box->Text()});
    }
    return doc;
}

bool TfmChart::SaveChartDocument(const std::string& FileName) {
    if (FrameCount() == 0)
        return false;
    THourGlassCursor hourGlass;
    WriteChartDocument(ChartDocument(), FileName);
    return true;
}

bool TfmChart::LoadChartDocument(const std::string& FileName) {
    THourGlassCursor hourGlass;
    // The file is read whole before the window changes, so a file that fails to parse leaves it as
    // it was.
    TChartDocument doc;
    if (!ReadChartDocument(FileName, doc))
        return false;
    return LoadChartDocument(doc);
}

bool TfmChart::LoadChartDocument(const TChartDocument& Document) {
    if (NearestFollows(CurrentFrame()) || ChartTool2->Active())
        mi_nearestnoneClick(nullptr);
    ChartTool5->DropSelection();
    while (FrameCount() > 0) {
        TChartSeries* frame = Frame(FrameCount() - 1);
        ReleaseFrame(frame);
        delete frame;
    }

    TChartAxis* bottom = Chart1->BottomAxis();
    TChartAxis* left = Chart1->LeftAxis();
    bottom->Title()->SetCaption(Document.XAxis.Title);
    bottom->SetAxisValuesFormat(Document.XAxis.Format);
    SetXMultiplier(Document.XMultiplier);
    bottom->SetInverted(Document.XInverted);
    left->Title()->SetCaption(Document.YAxis.Title);
    left->SetAxisValuesFormat(Document.YAxis.Format);
    FReferenceMax = Document.ReferenceMax;
    FAbsoluteValues.clear();
    btn_relative->SetDown(Document.Relative);

    // The reader keeps one point count, but a document made in memory may not: the first whole frame
    // decides.
    size_t count = 0;
    for (const TChartDocumentFrame& source : Document.Frames) {
        if (source.X.empty() || source.X.size() != source.Y.size() ||
            (count != 0 && source.X.size() != count))
            continue;
        count = source.X.size();
        TLineSeries* frame = NewFrame(source.Title);
        frame->SetSeriesColor(static_cast<TColor>(source.Color));
        AppendFramePoints(frame, source.X, source.Y);
        AddPeaks(PeaksOf(frame), source.Maxima, source.Minima);
    }
    for (const TChartDocumentTextBox& box : Document.TextBoxes)
        AddTextBox(box.Text, box.Left, box.Top);
    Chart1->Repaint();
    return true;
}

TAnnotationTool* TfmChart::AddTextBox(const std::string& Text, int Left, int Top) {
    auto* box = new TAnnotationTool(this);
    box->SetText(Text);
    box->SetParentChart(Chart1);
    box->Shape()->SetCustomPosition(true);
    box->Shape()->SetLeft(Left);
    box->Shape()->SetTop(Top);
    // The selector stays the last tool, so it draws its handles over every box.
    TChartTools* tools = Chart1->Tools();
    const int boxAt = tools->IndexOf(box), selectorAt = tools->IndexOf(ChartTool5);
    if (boxAt >= 0 && selectorAt >= 0 && boxAt != selectorAt) {
        tools->Exchange(boxAt, selectorAt);
        const int boxIndex = box->ComponentIndex(), selectorIndex = ChartTool5->ComponentIndex();
        box->SetComponentIndex(selectorIndex);
        ChartTool5->SetComponentIndex(boxIndex);
    }
    return box;
}

// ---- Frame import ----

int TfmChart::ImportFrame(const std::string& FileName, int Position) {
    THourGlassCursor hourGlass;
    // The window keeps one point count, whatever the file holds now.
    const int64_t required = FrameCount() > 0 ? analysis::frame::PointCount(Frame(0)) : 0;
    TChartDocumentFrame source;
    if (!ReadChartDocumentFrame(FileName, Position, required, source))
        return 0;
    TLineSeries* frame = NewFrame(source.Title);
    frame->SetSeriesColor(static_cast<TColor>(source.Color));
    std::vector<double> y = source.Y;
    if (RelativeMode()) {
        // The frame's own largest value decides, not the one its file claims.
        const double m = *std::max_element(y.begin(), y.end());
        if (m > FReferenceMax)
            RescaleRelative(true, m);
        if (FReferenceMax > NoReferenceMax)
            for (double& v : y)
                v = v * 100 / FReferenceMax;
    }
    AppendFramePoints(frame, source.X, y);
    AddPeaks(PeaksOf(frame), source.Maxima, source.Minima);
    return 1;
}

void TfmChart::btn_importsampleClick(TObject*) {
    TfmImportSample* dialog = SharedDialog<TfmImportSample>();
    dialog->Reset();
    dialog->FRequiredPointCount = FrameCount() > 0 ? analysis::frame::PointCount(Frame(0)) : 0;
    if (dialog->ShowModal() != mrOk)
        return;
    const std::string fileName = dialog->FileName();
    for (int position : dialog->CheckedFrames())
        ImportFrame(fileName, position);
    Chart1->Repaint();
}

// ---- Copying frames to a new window ----

void TfmChart::CopytonewChart1Click(TObject*) {
    if (!IsFrameSelected() || !FMainWindow)
        return;
    SendMessage(FMainWindow, WM_USER + 1, 0, 0);
}

void TfmChart::CopyFramesFrom(TfmChart* Source) {
    if (!Source || Source == this || !Source->IsFrameSelected())
        return;
    TChartAxis* bottom = Chart1->BottomAxis();
    TChartAxis* left = Chart1->LeftAxis();
    bottom->Title()->SetCaption(Source->Chart1->BottomAxis()->Title()->Caption());
    left->Title()->SetCaption(Source->Chart1->LeftAxis()->Title()->Caption());
    bottom->SetAxisValuesFormat(Source->Chart1->BottomAxis()->AxisValuesFormat());
    left->SetAxisValuesFormat(Source->Chart1->LeftAxis()->AxisValuesFormat());
    SetXMultiplier(Source->FXMultiplier);

    const bool relative = Source->RelativeMode();
    const double reference = Source->FReferenceMax;
    for (TChartSeries* from : Source->SelectedFrames()) {
        const auto x = analysis::frame::XOf(from);
        const auto y = analysis::frame::YOf(from);
        if (x.empty())
            continue;
        TLineSeries* frame = NewFrame(from->Title());
        frame->SetSeriesColor(from->SeriesColor());
        ++FNextFrameNumber;
        std::vector<double> absolute(y.begin(), y.end());
        if (relative)
            for (double& v : absolute)
                v = v * reference / 100;
        AppendFramePoints(frame, x, absolute);
        if (const TPeaksObject* peaks = PeaksOf(from)) {
            TPeaksObject* copy = PeaksOf(frame);
            for (int k = 0; k < peaks->PeakCount(); ++k)
                copy->AddPeak(peaks->PeakAt(k));
            for (int k = 0; k < peaks->ValleyCount(); ++k)
                copy->AddValley(peaks->ValleyAt(k));
        }
    }
    Chart1->Repaint();
}

// ---- Save Chart ----

bool ExportChart(TfmChart* Form, const std::string& FileName, int ExportCode) {
    if (!Form || FileName.empty())
        return false;
    if (!Form->IsFrameSelected()) {
        // Save Chart would otherwise end as if it had saved.
        if (Form->FrameCount() > 0)
            Form->ShowMessageDialog("Save Chart", "Nothing was saved", ui::CommonButtonBit(ui::cbOK),
                                    ui::tiWarning, "Select the frames to save in the frame list.");
        return false;
    }
    TChart* chart = Form->Chart1;
    // Data exports take the current frame; without one an exporter would take every frame instead.
    TChartSeries* current = Form->CurrentFrame();
    if (ExportCode >= 1 && ExportCode <= 3 && !current)
        return false;
    ExportChartAs(chart, current, FileName, ExportCode,
                  [Form](const std::string& Name) { Form->SaveChartDocument(Name); });
    return true;
}
