#include "analysis/UnitChart.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>

#include "analysis/FrameAccess.h"
#include "analysis/LiveFrameSource.h"
#include "analysis/UnitNewTitle.h"
#include "analysis/UnitTypes.h"
#include "chart/Chart.h"
#include "chart/PlotLisB.h"
#include "chart/PlotSelectorTool.h"
#include "chart/PlotTools.h"
#include "chart/Series.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Panel.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/Splitter.h"
#include "ui/drawing/KvxMenuStylers.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/KvxOfficeStatusBar.h"
#include "ui/office/KvxOfficeStatusBarStylers.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStylers.h"

using namespace plat;
using namespace chart;
using analysis::TPeaksObject;

PLAT_CLASS_INFO_CREATABLE(TfmChart, TForm)

PLAT_PROPERTIES(TfmChart) {
    using F = TfmChart;
    props.Field("Chart1", &F::Chart1);
    props.Field("ChartTool1", &F::ChartTool1);
    props.Field("ChartTool2", &F::ChartTool2);
    props.Field("ChartTool3", &F::ChartTool3);
    props.Field("ChartTool4", &F::ChartTool4);
    props.Field("ChartTool5", &F::ChartTool5);
    props.Field("pn_right", &F::pn_right);
    props.Field("ChartListBox1", &F::ChartListBox1);
    props.Field("Splitter1", &F::Splitter1);
    props.Field("Splitter2", &F::Splitter2);
    props.Field("re_result", &F::re_result);
    props.Field("KvxDockPanel1", &F::KvxDockPanel1);
    props.Field("tbr_frames", &F::tbr_frames);
    props.Field("btn_load", &F::btn_load);
    props.Field("btn_delete", &F::btn_delete);
    props.Field("btn_loadfromfile", &F::btn_loadfromfile);
    props.Field("tbr_chart", &F::tbr_chart);
    props.Field("btn_scroll", &F::btn_scroll);
    props.Field("btn_zoom", &F::btn_zoom);
    props.Field("btn_band", &F::btn_band);
    props.Field("btn_printpreview", &F::btn_printpreview);
    props.Field("tbr_toolbox", &F::tbr_toolbox);
    props.Field("btn_movingaverage", &F::btn_movingaverage);
    props.Field("btn_findpeaks", &F::btn_findpeaks);
    props.Field("btn_addframes", &F::btn_addframes);
    props.Field("btn_subtractframes", &F::btn_subtractframes);
    props.Field("btn_sgfilter", &F::btn_sgfilter);
    props.Field("btn_averageframes", &F::btn_averageframes);
    props.Field("btn_addconstant", &F::btn_addconstant);
    props.Field("btn_subtractconstant", &F::btn_subtractconstant);
    props.Field("btn_multiplyconstant", &F::btn_multiplyconstant);
    props.Field("btn_divideconstant", &F::btn_divideconstant);
    props.Field("btn_derivative", &F::btn_derivative);
    props.Field("btn_integral", &F::btn_integral);
    props.Field("btn_stddeviation", &F::btn_stddeviation);
    props.Field("btn_rms", &F::btn_rms);
    props.Field("btn_relative", &F::btn_relative);
    props.Field("PopupMenu1", &F::PopupMenu1);
    props.Field("mi_nearestpoint", &F::mi_nearestpoint);
    props.Field("mi_nearestselect", &F::mi_nearestselect);
    props.Field("mi_nearestnone", &F::mi_nearestnone);
    props.Field("mi_textbox", &F::mi_textbox);
    props.Field("mi_textboxadd", &F::mi_textboxadd);
    props.Field("mi_textboxdelete", &F::mi_textboxdelete);
    props.Field("mi_textboxedit", &F::mi_textboxedit);
    props.Field("mi_marks", &F::mi_marks);
    props.Field("mi_marksvisible", &F::mi_marksvisible);
    props.Field("mi_markstransparent", &F::mi_markstransparent);
    props.Field("mi_marksreset", &F::mi_marksreset);
    props.Field("mi_marksdelete", &F::mi_marksdelete);
    props.Field("mi_frames", &F::mi_frames);
    props.Field("mi_load", &F::mi_load);
    props.Field("mi_delete", &F::mi_delete);
    props.Field("mi_loadfromfile", &F::mi_loadfromfile);
    props.Field("mi_copytonewchart", &F::mi_copytonewchart);
    props.Field("mi_chart", &F::mi_chart);
    props.Field("mi_legendvisible", &F::mi_legendvisible);
    props.Field("mi_copytoclipboard", &F::mi_copytoclipboard);
    props.Field("mi_copybitmap", &F::mi_copybitmap);
    props.Field("mi_copywmf", &F::mi_copywmf);
    props.Field("mi_copyemf", &F::mi_copyemf);
    props.Field("PopupMenu2", &F::PopupMenu2);
    props.Field("mi_selectall", &F::mi_selectall);
    props.Field("mi_copy", &F::mi_copy);
    props.Field("mi_clear", &F::mi_clear);
    props.Field("mi_export", &F::mi_export);
    props.Field("mi_print", &F::mi_print);
    props.Field("KvxOfficeStatusBar1", &F::KvxOfficeStatusBar1);
    props.Field("KvxTaskDialog1", &F::KvxTaskDialog1);
    props.Field("KvxToolBarOfficeStyler1", &F::KvxToolBarOfficeStyler1);
    props.Field("KvxMenuOfficeStyler1", &F::KvxMenuOfficeStyler1);
    props.Field("KvxOfficeStatusBarOfficeStyler1", &F::KvxOfficeStatusBarOfficeStyler1);
    props.Field("KvxFormStyler1", &F::KvxFormStyler1);

    props.Method("FormCreate", &F::FormCreate);
    props.Method("FormCloseQuery", &F::FormCloseQuery);
    props.Method("btn_loadClick", &F::btn_loadClick);
    props.Method("btn_deleteClick", &F::btn_deleteClick);
    props.Method("ChartListBox1Click", &F::ChartListBox1Click);
    props.Method("ChartListBox1ChangeActive", &F::ChartListBox1ChangeActive);
    props.Method("PopupMenu1Popup", &F::PopupMenu1Popup);
    props.Method("Chart1MouseMove", &F::Chart1MouseMove);
    props.Method("Chart1DblClick", &F::Chart1DblClick);
    props.Method("mi_nearestselectClick", &F::mi_nearestselectClick);
    props.Method("mi_nearestnoneClick", &F::mi_nearestnoneClick);
    props.Method("mi_textboxaddClick", &F::mi_textboxaddClick);
    props.Method("mi_textboxdeleteClick", &F::mi_textboxdeleteClick);
    props.Method("mi_marksvisibleClick", &F::mi_marksvisibleClick);
    props.Method("mi_markstransparentClick", &F::mi_markstransparentClick);
    props.Method("mi_marksresetClick", &F::mi_marksresetClick);
    props.Method("mi_marksdeleteClick", &F::mi_marksdeleteClick);
    props.Method("mi_legendvisibleClick", &F::mi_legendvisibleClick);
    props.Method("mi_copybitmapClick", &F::mi_copybitmapClick);
    props.Method("mi_copywmfClick", &F::mi_copywmfClick);
    props.Method("mi_copyemfClick", &F::mi_copyemfClick);
    props.Method("btn_scrollClick", &F::btn_scrollClick);
    props.Method("btn_zoomClick", &F::btn_zoomClick);
    props.Method("btn_bandClick", &F::btn_bandClick);
    props.Method("btn_relativeClick", &F::btn_relativeClick);
    TfmChart::PublishAnalysisCommands(props);
    // Frame import and copying frames.
    props.Method("btn_importsampleClick", &F::btn_importsampleClick);
    props.Method("CopytonewChart1Click", &F::CopytonewChart1Click);
}

// The smallest positive double: below every maximum a frame can have, yet never a divisor of zero.
const double TfmChart::NoReferenceMax = std::numeric_limits<double>::denorm_min();

TfmChart::TfmChart(TComponent* AOwner) : TForm(AOwner), FReferenceMax(NoReferenceMax) {}

TfmChart::~TfmChart() { ReleaseFrames(); }

void TfmChart::BeforeDestruction() {
    // Freed through Free, the form's components (the chart and its frames) go before the destructor
    // runs; deleted directly, they are still there when it does. Either way the peak lists go first.
    ReleaseFrames();
    TForm::BeforeDestruction();
}

void TfmChart::ReleaseFrames() {
    if (!Chart1)
        return;
    for (int i = 0; i < FrameCount(); ++i)
        ReleaseFrame(Frame(i));
    Chart1 = nullptr;
}

void TfmChart::FormCreate(TObject*) {
    FNextFrameNumber = 1;
    FXMultiplier = 0;
    FReferenceMax = NoReferenceMax;
    Chart1->SetPrintMargins(TRect(15, 11, 15, 11));
    // The dock's styler is not part of a layout; the form styler restyles it with the application.
    KvxDockPanel1->SetToolBarStyler(KvxToolBarOfficeStyler1);
    ChartTool5->OnSelected = [this](TObject* Sender) { SelectorOnSelected(Sender); };
}

void TfmChart::FormCloseQuery(TObject*, bool& CanClose) {
    for (int i = 0; i < FrameCount(); ++i)
        ReleaseFrame(Frame(i));
    CanClose = true;
}

// ---- Frames ----

TLineSeries* TfmChart::NewFrame(const std::string& Title) {
    auto peaks = std::make_unique<TPeaksObject>();
    auto* frame = new TLineSeries(this);
    frame->SetTag(reinterpret_cast<intptr_t>(peaks.release()));
    frame->SetTitle(Title);
    frame->SetShowInLegend(true);
    frame->SetActive(true);
    frame->OnGetMarkText = [this](TChartSeries* Sender, int ValueIndex, std::string& MarkText) {
        SampleGetMarkText(Sender, ValueIndex, MarkText);
    };
    // Marks show only at peaks and their text never builds on the default one, which would otherwise
    // be formatted for every point on every paint.
    frame->SetMarkTextFromEvent(true);
    TSeriesMarks* marks = frame->Marks();
    marks->Arrow()->SetColor(clBlack);
    marks->Callout()->Arrow()->SetColor(clBlack);
    marks->Callout()->SetStyle(psDiagCross);
    marks->Callout()->SetVisible(true);
    marks->SetVisible(true);
    frame->SetParentChart(Chart1);
    return frame;
}

TPeaksObject* TfmChart::PeaksOf(TChartSeries* Frame) {
    return Frame ? reinterpret_cast<TPeaksObject*>(Frame->Tag()) : nullptr;
}

void TfmChart::ReleaseFrame(TChartSeries* Frame) {
    Frame->OnGetMarkText = nullptr;
    delete PeaksOf(Frame);
    Frame->SetTag(0);
}

void TfmChart::SampleGetMarkText(TChartSeries* Sender, int ValueIndex, std::string& MarkText) {
    MarkText.clear();
    const TPeaksObject* peaks = PeaksOf(Sender);
    if (!peaks || ValueIndex < 0 || ValueIndex >= analysis::frame::PointCount(Sender))
        return;
    for (int k = 0; k < peaks->PeakCount(); ++k)
        if (peaks->PeakAt(k) == ValueIndex) {
            MarkText =
                Format("%.2f", {Sender->YValues()->Items(ValueIndex)}) + " @ " +
                FormatFloat(Chart1->BottomAxis()->AxisValuesFormat(), Sender->XValues()->Items(ValueIndex));
            return;
        }
}

int TfmChart::FrameCount() const {
    return Chart1 ? Chart1->SeriesCount() : 0;
}

TChartSeries* TfmChart::Frame(int Index) const {
    return Chart1->SeriesAt(Index);
}

TChartSeries* TfmChart::CurrentFrame() const {
    return ChartListBox1->CurrentSeries();
}

std::vector<TChartSeries*> TfmChart::SelectedFrames() {
    std::vector<TChartSeries*> frames;
    for (int i = 0; i < ChartListBox1->Count(); ++i)
        if (ChartListBox1->Selected(i))
            if (TChartSeries* s = ChartListBox1->SeriesAtIndex(i))
                frames.push_back(s);
    return frames;
}

bool TfmChart::IsFrameSelected() {
    return ChartListBox1->Count() > 0 && ChartListBox1->HasSelection();
}

bool TfmChart::NearestFollows(TChartSeries* Frame) const {
    return Frame && ChartTool2->Active() && ChartTool3->Active() && ChartTool2->Series() == Frame;
}

void TfmChart::SetStatusText(int Panel, const std::string& Text) {
    KvxOfficeStatusBar1->Panels()->GetItem(Panel)->SetText(Text);
}

// ---- Dialogs ----

int TfmChart::ShowMessageDialog(const std::string& Title, const std::string& Instruction,
                                ui::TCommonButtons Buttons, ui::TTaskDialogIcon Icon,
                                const std::string& Content) {
    KvxTaskDialog1->SetCommonButtons(Buttons);
    KvxTaskDialog1->SetIcon(Icon);
    KvxTaskDialog1->SetTitle(Title);
    KvxTaskDialog1->SetInstruction(Instruction);
    KvxTaskDialog1->SetContent(Content);
    return KvxTaskDialog1->Execute();
}

bool TfmChart::AskTitle(std::string& Title) {
    return SharedDialog<TfmNewTitle>()->AskTitle(Title);
}

bool TfmChart::AskTitleAndPositive(std::string& Title, bool& OnlyPositive) {
    return SharedDialog<TfmNewTitle>()->AskTitleAndPositive(Title, OnlyPositive);
}

bool TfmChart::AskTitleAndConstant(std::string& Title, double& Constant) {
    return SharedDialog<TfmNewTitle>()->AskTitleAndConstant(Title, Constant);
}

bool TfmChart::AskTitleConstantAndPositive(std::string& Title, bool& OnlyPositive, double& Constant) {
    return SharedDialog<TfmNewTitle>()->AskTitleConstantAndPositive(Title, OnlyPositive, Constant);
}

// ---- Load and Delete ----

void TfmChart::btn_loadClick(TObject*) {
    ILiveFrameSource* source = LiveFrameSource();
    TChartSeries* live = source ? source->LiveSeries() : nullptr;
    const int count = analysis::frame::PointCount(live);
    if (count == 0)
        return;
    if (FrameCount() > 0 && analysis::frame::PointCount(Frame(0)) != count) {
        ShowMessageDialog("ERROR", "Unable to load Frame", ui::CommonButtonBit(ui::cbOK), ui::tiError,
                          "Different number of pixels");
        return;
    }
    std::string title = ProposedTitle();
    if (!AskTitle(title))
        return;
    // The dialog ran a message loop: the live window may have gone or changed meanwhile.
    source = LiveFrameSource();
    live = source ? source->LiveSeries() : nullptr;
    if (analysis::frame::PointCount(live) != count)
        return;

    const auto x = analysis::frame::XOf(live);
    const auto y = analysis::frame::YOf(live);
    const double m = *std::max_element(y.begin(), y.end());
    if (m > FReferenceMax)
        RescaleRelative(RelativeMode(), m);
    if (TChart* liveChart = source->LiveChart()) {
        TChartAxis* bottom = Chart1->BottomAxis();
        TChartAxis* left = Chart1->LeftAxis();
        bottom->Title()->SetCaption(liveChart->BottomAxis()->Title()->Caption());
        left->Title()->SetCaption(liveChart->LeftAxis()->Title()->Caption());
        bottom->SetAxisValuesFormat(liveChart->BottomAxis()->AxisValuesFormat());
        left->SetAxisValuesFormat(liveChart->LeftAxis()->AxisValuesFormat());
        bottom->SetInverted(liveChart->BottomAxis()->Inverted());
    }
    SetXMultiplier(source->LiveXMultiplier());

    ++FNextFrameNumber;
    TLineSeries* frame = NewFrame(title);
    const bool relative = RelativeMode();
    const std::string noLabel;
    for (int i = 0; i < count; ++i)
        frame->AddXY(x[i], relative ? y[i] * 100 / FReferenceMax : y[i], noLabel, AutoColor);
}

void TfmChart::btn_deleteClick(TObject*) {
    if (!ChartListBox1->HasSelection())
        return;
    TChartSeries* current = CurrentFrame();
    if (ShowMessageDialog("Delete", "Delete selected frames?",
                          ui::CommonButtonBit(ui::cbYes) | ui::CommonButtonBit(ui::cbNo), ui::tiQuestion,
                          current ? current->Title() : std::string()) != mrYes)
        return;
    ChartTool5->DropSelection();
    // Not only the current frame: a readout left on any frame that goes would stay on the chart with
    // the value of a frame that no longer exists.
    const std::vector<TChartSeries*> going = SelectedFrames();
    if (NearestFollows(current) ||
        std::any_of(going.begin(), going.end(), [this](TChartSeries* f) { return NearestFollows(f); }))
        mi_nearestnoneClick(nullptr);
    if (current) {
        current->SetActive(false);
        current->OnGetMarkText = nullptr;
    }

    // The peak lists of the frames that go: every list no remaining frame holds afterwards.
    std::set<TPeaksObject*> before;
    for (int i = 0; i < FrameCount(); ++i)
        before.insert(PeaksOf(Frame(i)));
    ChartListBox1->RemoveSelectedSeries();
    for (int i = 0; i < FrameCount(); ++i)
        before.erase(PeaksOf(Frame(i)));
    for (TPeaksObject* peaks : before)
        delete peaks;

    if (RelativeMode()) {
        // Frames left without a positive value keep the reference they are percent of.
        if (const double remaining = MaxOfFrames(); IsReferenceMax(remaining))
            RescaleRelative(true, remaining * FReferenceMax / 100);
        Chart1->Repaint();
    }
}

// ---- List and selector in step ----

void TfmChart::ChartListBox1Click(TObject*) {
    TChartSeries* current = CurrentFrame();
    if (!current)
        return;
    if (!current->Active())
        ChartTool5->DropSelection();
    else if (ChartTool5->PickedSeries() != current)
        ChartTool5->PickSeries(current);
}

void TfmChart::SelectorOnSelected(TObject*) {
    TChartSeries* picked = ChartTool5->PickedSeries();
    if (picked && picked != CurrentFrame()) {
        ChartListBox1->UnselectAll();
        ChartListBox1->FocusSeries(picked);
    }
}

void TfmChart::ChartListBox1ChangeActive(TObject*, TCustomChartSeries* Series) {
    if (NearestFollows(dynamic_cast<TChartSeries*>(Series)))
        mi_nearestnoneClick(nullptr);
}

void TfmChart::PopupMenu1Popup(TObject*) {
    const bool selected = IsFrameSelected();
    TChartSeries* current = selected ? CurrentFrame() : nullptr;
    mi_nearestselect->SetEnabled(selected);
    mi_nearestselect->SetCaption(current ? "Select (" + current->Title() + ")" : "No Frame selected");
    mi_marks->SetEnabled(selected);
    if (current) {
        mi_marksvisible->SetChecked(current->Marks()->Visible());
        mi_markstransparent->SetChecked(current->Marks()->Transparent());
    }
    mi_load->SetEnabled(LiveFrameSource() != nullptr);
    mi_delete->SetEnabled(selected);
    mi_copytonewchart->SetEnabled(selected);
    mi_loadfromfile->SetEnabled(ChartListBox1->Count() > 0);
    TComponent* on = PopupMenu1->PopupComponent();
    const bool onChart = on && on->Name() == "Chart1";
    mi_chart->SetEnabled(onChart);
    mi_textbox->SetEnabled(onChart);
    const bool boxPicked = ChartTool5->PickedAnnotation() != nullptr;
    mi_textboxdelete->SetEnabled(boxPicked);
    // The box editor comes with the chart's format editors; until then the item stays disabled.
    mi_textboxedit->SetEnabled(false);
}
