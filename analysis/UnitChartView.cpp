// The chart window's view commands: relative mode, the nearest-point and x/y readouts, text boxes,
// marks, the legend, clipboard copies, scrolling and zooming, and the colour band with the report range
// it gives.
#include <algorithm>
#include <cmath>

#include "analysis/FrameAccess.h"
#include "analysis/UnitChart.h"
#include "analysis/UnitMath.h"
#include "analysis/UnitMemo.h"
#include "analysis/UnitTypes.h"
#include "chart/Chart.h"
#include "chart/PlotProcs.h"
#include "chart/PlotSelectorTool.h"
#include "chart/PlotTools.h"
#include "chart/Series.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Types.h"
#include "platform/ui/Memo.h"
#include "platform/ui/Menu.h"
#include "ui/office/KvxOfficeStatusBar.h"
#include "ui/toolbars/KvxToolBarControl.h"

using namespace plat;
using namespace chart;

// ---- Relative mode ----

bool TfmChart::RelativeMode() const {
    return btn_relative->Down();
}

bool TfmChart::IsReferenceMax(double Value) {
    // Only a positive, normal maximum can be 100 %: dividing by anything else leaves infinities behind.
    return Value > 0 && std::isnormal(Value);
}

double TfmChart::MaxOfFrames() const {
    double m = NoReferenceMax;
    for (int i = 0; i < FrameCount(); ++i)
        if (TChartSeries* frame = Frame(i); analysis::frame::PointCount(frame) > 0)
            m = std::max(m, frame->MaxY());
    return m;
}

template <class F> void TfmChart::TransformAllY(F Scale) {
    // Each frame over its own points: a frame shorter than the first is never read past its end.
    for (int f = 0; f < FrameCount(); ++f) {
        TChartSeries* frame = Frame(f);
        TChartValueList* values = frame->YValues();
        std::vector<double>& y = values->Value();
        const int n = analysis::frame::PointCount(frame);
        for (int i = 0; i < n; ++i)
            y[i] = Scale(y[i]);
        values->SetModified(true);
    }
}

namespace {

std::vector<double> PointValues(TChartSeries* Frame) {
    const std::vector<double>& y = Frame->YValues()->Value();
    return std::vector<double>(y.begin(), y.begin() + analysis::frame::PointCount(Frame));
}

} // namespace

TfmChart::TAbsoluteValues* TfmChart::AbsoluteValuesOf(TChartSeries* Frame) {
    // Matched by the percent values too: a frame that changed since, or another frame made where a
    // deleted one was, is converted back by the reference instead.
    for (TAbsoluteValues& kept : FAbsoluteValues)
        if (kept.Frame == Frame && kept.Relative == PointValues(Frame))
            return &kept;
    return nullptr;
}

void TfmChart::KeepRelativeValues() {
    for (TAbsoluteValues& kept : FAbsoluteValues)
        kept.Relative = PointValues(kept.Frame);
}

bool TfmChart::SetRelativeMode(bool On) {
    if (FrameCount() == 0)
        return false;
    if (On) {
        const double m = MaxOfFrames();
        if (!IsReferenceMax(m))
            return false;
        FReferenceMax = m;
        FAbsoluteValues.clear();
        for (int f = 0; f < FrameCount(); ++f)
            FAbsoluteValues.push_back({Frame(f), PointValues(Frame(f)), {}});
        TransformAllY([m](double y) { return y * 100 / m; });
        KeepRelativeValues();
        return true;
    }
    if (FReferenceMax != NoReferenceMax) {
        const double m = FReferenceMax;
        for (int f = 0; f < FrameCount(); ++f) {
            TChartSeries* frame = Frame(f);
            std::vector<double>& y = frame->YValues()->Value();
            if (const TAbsoluteValues* kept = AbsoluteValuesOf(frame))
                std::copy(kept->Absolute.begin(), kept->Absolute.end(), y.begin());
            else
                for (int i = 0; i < analysis::frame::PointCount(frame); ++i)
                    y[i] = m * y[i] / 100;
            frame->YValues()->SetModified(true);
        }
    }
    FAbsoluteValues.clear();
    FReferenceMax = NoReferenceMax;
    return true;
}

void TfmChart::RescaleRelative(bool Relative, double NewMaximum) {
    if (FrameCount() == 0 || !Relative || NewMaximum == FReferenceMax)
        return;
    // Without a positive maximum the frames keep their reference: they stay percent of the old one.
    if (!IsReferenceMax(NewMaximum))
        return;
    const double old = FReferenceMax;
    FReferenceMax = NewMaximum;
    // Only the frames whose kept values still match are followed through the new reference.
    std::vector<TAbsoluteValues> matching;
    for (int f = 0; f < FrameCount(); ++f)
        if (TAbsoluteValues* kept = AbsoluteValuesOf(Frame(f)))
            matching.push_back(std::move(*kept));
    FAbsoluteValues = std::move(matching);
    TransformAllY([old, NewMaximum](double y) { return old * y / NewMaximum; });
    KeepRelativeValues();
}

void TfmChart::btn_relativeClick(TObject*) {
    if (FrameCount() == 0) {
        btn_relative->SetDown(false);
        return;
    }
    if (!SetRelativeMode(btn_relative->Down())) {
        btn_relative->SetDown(false);
        ShowMessageDialog("ERROR", "Unable to show relative values", ui::CommonButtonBit(ui::cbOK),
                          ui::tiError, "No frame has a value above 0");
        return;
    }
    Chart1->Repaint();
}

// ---- Nearest point and the x/y readout ----

void TfmChart::mi_nearestselectClick(TObject*) {
    ChartTool2->SetActive(false);
    ChartTool3->SetActive(false);
    ChartTool2->SetSeries(nullptr);
    if (IsFrameSelected()) {
        ChartTool2->SetSeries(CurrentFrame());
        ChartTool2->SetActive(true);
        ChartTool3->SetActive(true);
    }
}

void TfmChart::mi_nearestnoneClick(TObject*) {
    ChartTool3->Shape()->SetLeft(-50);
    ChartTool3->Shape()->SetTop(-50);
    ChartTool2->SetActive(false);
    ChartTool3->SetActive(false);
    ChartTool2->SetSeries(nullptr);
}

void TfmChart::Chart1MouseMove(TObject*, TShiftState, int, int) {
    const std::string yFormat = RelativeMode() ? "0.00" : Chart1->LeftAxis()->AxisValuesFormat();
    const std::string& xFormat = Chart1->BottomAxis()->AxisValuesFormat();
    const TPoint mouse = Chart1->CursorClientPos();
    if (TChartSeries* series = ChartTool2->Series(); ChartTool2->Active() && series) {
        const int p = ChartTool2->Point();
        std::string text;
        if (p >= 0 && p < analysis::frame::PointCount(series))
            text = FormatFloat(yFormat, series->YValues()->Items(p)) + " @ " +
                   FormatFloat(xFormat, series->XValues()->Items(p));
        ChartTool3->SetText(text);
        const TRect box = ChartTool3->Geometry().Rect;
        ChartTool3->Shape()->SetLeft(mouse.X - box.Width() / 2);
        ChartTool3->Shape()->SetTop(mouse.Y - box.Height());
    }
    if (IsFrameSelected()) {
        double x = 0, y = 0;
        CurrentFrame()->GetCursorValues(x, y);
        SetStatusText(2, FormatFloat(xFormat, x));
        SetStatusText(4, FormatFloat(yFormat, y));
    } else {
        SetStatusText(2, "");
        SetStatusText(4, "");
    }
}

// ---- Text boxes ----

void TfmChart::mi_textboxaddClick(TObject*) {
    TfmMemo* memo = SharedDialog<TfmMemo>();
    if (memo->ShowModal() != mrOk)
        return;
    // Character 13 alone breaks a line in chart texts.
    std::string text;
    for (int i = 0; i < memo->Memo->Lines()->Count(); ++i) {
        std::string line = memo->Memo->Lines()->Strings(i);
        line.erase(std::remove(line.begin(), line.end(), '\n'), line.end());
        text += line + "\r";
    }
    TAnnotationTool* box = AddTextBox(text, 0, 10);
    box->Shape()->SetLeft(Chart1->Width() / 2 - box->Geometry().Rect.Width() / 2);
    ChartTool5->PickAnnotation(box);
}

void TfmChart::mi_textboxdeleteClick(TObject*) {
    TAnnotationTool* box = ChartTool5->PickedAnnotation();
    if (!box || box == ChartTool3)
        return;
    delete box;
    ChartTool5->DropSelection();
    Chart1->Repaint();
}

void TfmChart::Chart1DblClick(TObject*) {
    if (!ChartTool5->PickedAnnotation())
        return;
    // The box editor comes with the chart's format editors; the click still ends here.
    Chart1->SetCancelMouse(true);
    ChartTool5->ResetDragState();
}

// ---- Marks ----

void TfmChart::mi_marksvisibleClick(TObject*) {
    if (!IsFrameSelected())
        return;
    mi_marksvisible->SetChecked(!mi_marksvisible->Checked());
    for (TChartSeries* frame : SelectedFrames())
        frame->Marks()->SetVisible(mi_marksvisible->Checked());
}

void TfmChart::mi_markstransparentClick(TObject*) {
    if (!IsFrameSelected())
        return;
    mi_markstransparent->SetChecked(!mi_markstransparent->Checked());
    for (TChartSeries* frame : SelectedFrames())
        frame->Marks()->SetTransparent(mi_markstransparent->Checked());
    Chart1->Repaint();
}

void TfmChart::mi_marksresetClick(TObject*) {
    if (!IsFrameSelected())
        return;
    for (TChartSeries* frame : SelectedFrames())
        frame->Marks()->Positions().Clear();
    Chart1->Repaint();
}

void TfmChart::mi_marksdeleteClick(TObject*) {
    if (!IsFrameSelected())
        return;
    for (TChartSeries* frame : SelectedFrames())
        if (analysis::TPeaksObject* peaks = PeaksOf(frame))
            peaks->ClearPeaks();
    Chart1->Repaint();
}

// ---- Legend and clipboard ----

void TfmChart::mi_legendvisibleClick(TObject*) {
    mi_legendvisible->SetChecked(!mi_legendvisible->Checked());
    Chart1->Legend()->SetVisible(mi_legendvisible->Checked());
    if (mi_legendvisible->Checked())
        Chart1->Legend()->SetCustomPosition(false);
}

void TfmChart::mi_copybitmapClick(TObject*) {
    Chart1->PutBitmapOnClipboard();
}

void TfmChart::mi_copywmfClick(TObject*) {
    Chart1->PutMetafileOnClipboard(false);
}

void TfmChart::mi_copyemfClick(TObject*) {
    Chart1->PutMetafileOnClipboard(true);
}

// ---- Scroll, zoom and band ----

void TfmChart::btn_scrollClick(TObject*) {
    if (btn_scroll->Down()) {
        Chart1->SetAllowPanning(pmBoth);
        Chart1->SetScrollMouseButton(mbLeft);
        Chart1->SetCursor(crPlotHand);
        Chart1->Zoom()->SetAllow(false);
    } else {
        Chart1->SetAllowPanning(pmNone);
        Chart1->SetCursor(crDefault);
    }
    ChartTool5->SetActive(!btn_scroll->Down());
    Chart1->SetSavedCursor(Chart1->Cursor());
}

void TfmChart::btn_zoomClick(TObject*) {
    Chart1->Zoom()->SetAllow(btn_zoom->Down());
    if (btn_zoom->Down()) {
        Chart1->Zoom()->Pen()->SetColor(static_cast<TColor>(0x808080));
        Chart1->Zoom()->Brush()->SetStyle(bsSolid);
        Chart1->SetAllowPanning(pmNone);
        Chart1->SetCursor(crCross);
    } else {
        Chart1->SetCursor(crDefault);
    }
    ChartTool5->SetActive(!btn_zoom->Down());
    Chart1->SetSavedCursor(Chart1->Cursor());
}

void TfmChart::btn_bandClick(TObject*) {
    const bool on = btn_band->Down();
    if (on && !ChartTool4->Active()) {
        const double a = Chart1->BottomAxis()->Minimum(), b = Chart1->BottomAxis()->Maximum();
        const double middle = a + (b - a) / 2;
        ChartTool4->SetStartValue(middle - 0.2 * (b - a));
        ChartTool4->SetEndValue(middle + 0.2 * (b - a));
    }
    ChartTool4->SetActive(on);
}

bool TfmChart::GetRangeIndices(int& Start, int& End, double& XStart, double& XEnd) const {
    TChartSeries* frame = CurrentFrame();
    const int n = analysis::frame::PointCount(frame);
    if (n == 0)
        return false;
    if (ChartTool4->Active()) {
        analysis::BandIndices(analysis::frame::XOf(frame), ChartTool4->StartValue(), ChartTool4->EndValue(),
                              Start, End);
    } else {
        Start = frame->FirstVisibleIndex();
        End = frame->LastVisibleIndex();
        if (Start < 0 || End < Start || End >= n)
            return false;
        // A line is drawn on to the first point past the right edge, so its visible range ends there;
        // the report counts only the points the axis shows, as it does on the left edge.
        const TChartAxis* axis = frame->GetHorizAxis();
        if (frame->DrawBetweenPoints() && axis && frame->XValues()->Items(End) > axis->Maximum()) {
            if (End == Start)
                return false;
            --End;
        }
    }
    XStart = frame->XValues()->Items(Start);
    XEnd = frame->XValues()->Items(End);
    return true;
}

bool TfmChart::GetRangeX(double& XStart, double& XEnd) const {
    int start = 0, end = 0;
    return GetRangeIndices(start, end, XStart, XEnd);
}
