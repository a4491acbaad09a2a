// The analysis window: frames on one chart with their list, the analysis commands and their report,
// the view commands, chart documents, frame import and exports.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/ChartDocument.h"
#include "analysis/ChartReport.h"
#include "analysis/UnitTypes.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Screen.h"
#include "ui/drawing/KvxTaskDialog.h"

namespace plat {
class TLabel;
template <class C> class TPropertyBuilder;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TRichEdit;
class TSplitter;
} // namespace plat
namespace chart {
class TAnnotationTool;
class TChart;
class TChartListBox;
class TChartSeries;
class TColorBandTool;
class TCustomChartSeries;
class TDragMarksTool;
class TLineSeries;
class TNearestTool;
class TSelectorTool;
} // namespace chart
namespace ui::statusbar {
class TKvxOfficeStatusBar;
class TKvxOfficeStatusBarOfficeStyler;
} // namespace ui::statusbar
namespace ui::toolbar {
class TKvxToolBarOfficeStyler;
}
namespace ui {
using statusbar::TKvxOfficeStatusBar;
using statusbar::TKvxOfficeStatusBarOfficeStyler;
using toolbar::TKvxToolBarOfficeStyler;
class TKvxMenuOfficeStyler;
class TKvxDockPanel;
class TKvxFormStyler;
class TKvxPopupMenu;
class TKvxToolBar;
class TKvxToolBarButton;
} // namespace ui
namespace analysis {
class TPeaksObject;
}

// The one instance of a parameter dialog that all chart windows share: the one the program made at
// start-up, or one made now (owned by the application) where none exists yet.
template <class TDialog> TDialog* SharedDialog() {
    if (plat::Screen)
        for (int i = 0; i < plat::Screen->CustomFormCount(); ++i)
            if (auto* dialog = dynamic_cast<TDialog*>(plat::Screen->CustomForms(i)))
                return dialog;
    return plat::NewForm<TDialog>(plat::Application);
}

class TfmChart : public plat::TForm {
    PLAT_CLASS(TfmChart)
public:
    explicit TfmChart(plat::TComponent* AOwner);
    ~TfmChart() override;
    // Frames still on the chart give their peak lists back while the chart and its frames exist.
    void BeforeDestruction() override;

    // The main window: receiver of the copy request (message 1025).
    plat::HWND FMainWindow = nullptr;

    bool LoadChartDocument(const std::string& FileName);
    void CopyFramesFrom(TfmChart* Source);

    // ---- Frames ----
    // A new frame (a line series owned by the window, on Chart1, with an empty peak list) titled so.
    chart::TLineSeries* NewFrame(const std::string& Title);
    // The peak list a frame carries; null for a series that is not a frame of a chart window.
    static analysis::TPeaksObject* PeaksOf(chart::TChartSeries* Frame);
    // Marks show only at peaks: "%.2f" of y, " @ ", x in the bottom axis' format.
    void SampleGetMarkText(chart::TChartSeries* Sender, int ValueIndex, std::string& MarkText);
    int FrameCount() const;
    chart::TChartSeries* Frame(int Index) const;
    // The frame at the list's item index; null without one.
    chart::TChartSeries* CurrentFrame() const;
    // The list's selected rows, in list order.
    std::vector<chart::TChartSeries*> SelectedFrames();
    bool IsFrameSelected();
    // Proposal for the title of the next frame: "FRAME " and the frame number.
    std::string ProposedTitle() const { return "FRAME " + std::to_string(FNextFrameNumber); }
    int NextFrameNumber() const { return FNextFrameNumber; }
    int XMultiplier() const { return FXMultiplier; }
    // The x exponent as the live window allows it: 10^m must stay a finite, non-zero scale.
    static constexpr int MinXMultiplier = analysis::MinXExponent;
    static constexpr int MaxXMultiplier = analysis::MaxXExponent;
    void SetXMultiplier(int Value) { FXMultiplier = std::clamp(Value, MinXMultiplier, MaxXMultiplier); }
    double ReferenceMax() const { return FReferenceMax; }

    int ShowMessageDialog(const std::string& Title, const std::string& Instruction,
                          ui::TCommonButtons Buttons, ui::TTaskDialogIcon Icon, const std::string& Content);
    // The title dialog in its four layouts; true for Submit with a title that is not empty.
    bool AskTitle(std::string& Title);
    bool AskTitleAndPositive(std::string& Title, bool& OnlyPositive);
    bool AskTitleAndConstant(std::string& Title, double& Constant);
    bool AskTitleConstantAndPositive(std::string& Title, bool& OnlyPositive, double& Constant);

    // ---- Relative mode ----
    // The value of the reference maximum that means "none".
    static const double NoReferenceMax;
    bool RelativeMode() const;
    // Whether a maximum can serve as the reference of relative mode.
    static bool IsReferenceMax(double Value);
    // Largest y over all frames, never below NoReferenceMax.
    double MaxOfFrames() const;
    // False (nothing converted) when switching on finds no positive maximum.
    bool SetRelativeMode(bool On);
    void RescaleRelative(bool Relative, double NewMaximum);

    // ---- Report range ----
    // The indices of the current frame's report range: its visible points, or the colour band's edges
    // when the band is on. False when the frame has no points or nothing of it is visible.
    bool GetRangeIndices(int& Start, int& End, double& XStart, double& XEnd) const;
    bool GetRangeX(double& XStart, double& XEnd) const;

    // ---- Handlers ----
    void FormCreate(plat::TObject* Sender);
    void FormCloseQuery(plat::TObject* Sender, bool& CanClose);
    void btn_loadClick(plat::TObject* Sender);
    void btn_deleteClick(plat::TObject* Sender);
    void ChartListBox1Click(plat::TObject* Sender);
    void ChartListBox1ChangeActive(plat::TObject* Sender, chart::TCustomChartSeries* Series);
    void SelectorOnSelected(plat::TObject* Sender);
    void PopupMenu1Popup(plat::TObject* Sender);
    void Chart1MouseMove(plat::TObject* Sender, plat::TShiftState Shift, int X, int Y);
    void Chart1DblClick(plat::TObject* Sender);
    void mi_nearestselectClick(plat::TObject* Sender);
    void mi_nearestnoneClick(plat::TObject* Sender);
    void mi_textboxaddClick(plat::TObject* Sender);
    void mi_textboxdeleteClick(plat::TObject* Sender);
    void mi_marksvisibleClick(plat::TObject* Sender);
    void mi_markstransparentClick(plat::TObject* Sender);
    void mi_marksresetClick(plat::TObject* Sender);
    void mi_marksdeleteClick(plat::TObject* Sender);
    void mi_legendvisibleClick(plat::TObject* Sender);
    void mi_copybitmapClick(plat::TObject* Sender);
    void mi_copywmfClick(plat::TObject* Sender);
    void mi_copyemfClick(plat::TObject* Sender);
    void btn_scrollClick(plat::TObject* Sender);
    void btn_zoomClick(plat::TObject* Sender);
    void btn_bandClick(plat::TObject* Sender);
    void btn_relativeClick(plat::TObject* Sender);

    // ---- Components ----
    chart::TChart* Chart1 = nullptr;
    chart::TNearestTool* ChartTool2 = nullptr;
    chart::TAnnotationTool* ChartTool3 = nullptr;
    chart::TDragMarksTool* ChartTool1 = nullptr;
    chart::TColorBandTool* ChartTool4 = nullptr;
    chart::TSelectorTool* ChartTool5 = nullptr;
    plat::TPanel* pn_right = nullptr;
    chart::TChartListBox* ChartListBox1 = nullptr;
    plat::TSplitter* Splitter1 = nullptr;
    plat::TSplitter* Splitter2 = nullptr;
    plat::TRichEdit* re_result = nullptr;
    ui::TKvxDockPanel* KvxDockPanel1 = nullptr;
    ui::TKvxToolBar* tbr_frames = nullptr;
    ui::TKvxToolBarButton* btn_load = nullptr;
    ui::TKvxToolBarButton* btn_delete = nullptr;
    ui::TKvxToolBarButton* btn_loadfromfile = nullptr;
    ui::TKvxToolBar* tbr_chart = nullptr;
    ui::TKvxToolBarButton* btn_scroll = nullptr;
    ui::TKvxToolBarButton* btn_zoom = nullptr;
    ui::TKvxToolBarButton* btn_band = nullptr;
    ui::TKvxToolBarButton* btn_printpreview = nullptr;
    ui::TKvxToolBar* tbr_toolbox = nullptr;
    ui::TKvxToolBarButton* btn_movingaverage = nullptr;
    ui::TKvxToolBarButton* btn_findpeaks = nullptr;
    ui::TKvxToolBarButton* btn_addframes = nullptr;
    ui::TKvxToolBarButton* btn_subtractframes = nullptr;
    ui::TKvxToolBarButton* btn_sgfilter = nullptr;
    ui::TKvxToolBarButton* btn_averageframes = nullptr;
    ui::TKvxToolBarButton* btn_addconstant = nullptr;
    ui::TKvxToolBarButton* btn_subtractconstant = nullptr;
    ui::TKvxToolBarButton* btn_multiplyconstant = nullptr;
    ui::TKvxToolBarButton* btn_divideconstant = nullptr;
    ui::TKvxToolBarButton* btn_derivative = nullptr;
    ui::TKvxToolBarButton* btn_integral = nullptr;
    ui::TKvxToolBarButton* btn_stddeviation = nullptr;
    ui::TKvxToolBarButton* btn_rms = nullptr;
    ui::TKvxToolBarButton* btn_relative = nullptr;
    ui::TKvxPopupMenu* PopupMenu1 = nullptr;
    plat::TMenuItem* mi_nearestpoint = nullptr;
    plat::TMenuItem* mi_nearestselect = nullptr;
    plat::TMenuItem* mi_nearestnone = nullptr;
    plat::TMenuItem* mi_textbox = nullptr;
    plat::TMenuItem* mi_textboxadd = nullptr;
    plat::TMenuItem* mi_textboxdelete = nullptr;
    plat::TMenuItem* mi_textboxedit = nullptr;
    plat::TMenuItem* mi_marks = nullptr;
    plat::TMenuItem* mi_marksvisible = nullptr;
    plat::TMenuItem* mi_markstransparent = nullptr;
    plat::TMenuItem* mi_marksreset = nullptr;
    plat::TMenuItem* mi_marksdelete = nullptr;
    plat::TMenuItem* mi_frames = nullptr;
    plat::TMenuItem* mi_load = nullptr;
    plat::TMenuItem* mi_delete = nullptr;
    plat::TMenuItem* mi_loadfromfile = nullptr;
    plat::TMenuItem* mi_copytonewchart = nullptr;
    plat::TMenuItem* mi_chart = nullptr;
    plat::TMenuItem* mi_legendvisible = nullptr;
    plat::TMenuItem* mi_copytoclipboard = nullptr;
    plat::TMenuItem* mi_copybitmap = nullptr;
    plat::TMenuItem* mi_copywmf = nullptr;
    plat::TMenuItem* mi_copyemf = nullptr;
    ui::TKvxPopupMenu* PopupMenu2 = nullptr;
    plat::TMenuItem* mi_selectall = nullptr;
    plat::TMenuItem* mi_copy = nullptr;
    plat::TMenuItem* mi_clear = nullptr;
    plat::TMenuItem* mi_export = nullptr;
    plat::TMenuItem* mi_print = nullptr;
    ui::TKvxOfficeStatusBar* KvxOfficeStatusBar1 = nullptr;
    ui::TKvxTaskDialog* KvxTaskDialog1 = nullptr;
    ui::TKvxToolBarOfficeStyler* KvxToolBarOfficeStyler1 = nullptr;
    ui::TKvxMenuOfficeStyler* KvxMenuOfficeStyler1 = nullptr;
    ui::TKvxOfficeStatusBarOfficeStyler* KvxOfficeStatusBarOfficeStyler1 = nullptr;
    ui::TKvxFormStyler* KvxFormStyler1 = nullptr;

private:
    // Every y of every frame (each over its own points) becomes Scale(y); the lists are marked modified.
    template <class F> void TransformAllY(F Scale);
    // The frame's peak list is freed and the frame stops asking for mark texts.
    // Gives back every frame's peak list; the chart is not used afterwards.
    void ReleaseFrames();
    void ReleaseFrame(chart::TChartSeries* Frame);
    bool NearestFollows(chart::TChartSeries* Frame) const;
    void SetStatusText(int Panel, const std::string& Text);

    int FNextFrameNumber = 1;
    int FXMultiplier = 0;
    double FReferenceMax;
    // Each frame's values from before relative mode came on, with the percent values they became: a
    // frame still holding those percent values gets its own values back when the mode goes off, rather
    // than the product of two roundings.
    struct TAbsoluteValues {
        chart::TChartSeries* Frame;
        std::vector<double> Absolute, Relative;
    };
    std::vector<TAbsoluteValues> FAbsoluteValues;
    TAbsoluteValues* AbsoluteValuesOf(chart::TChartSeries* Frame);
    void KeepRelativeValues();

    // ---- Analysis commands and the result report (UnitChartCommands.cpp) ----
public:
    // Publishes the handlers below, for the layout to bind by name.
    static void PublishAnalysisCommands(plat::TPropertyBuilder<TfmChart>& props);
    void btn_movingaverageClick(plat::TObject* Sender);
    void btn_findpeaksClick(plat::TObject* Sender);
    void btn_addframesClick(plat::TObject* Sender);
    void btn_subtractframesClick(plat::TObject* Sender);
    void btn_sgfilterClick(plat::TObject* Sender);
    void btn_averageframesClick(plat::TObject* Sender);
    void btn_addconstantClick(plat::TObject* Sender);
    void btn_subtractconstantClick(plat::TObject* Sender);
    void btn_multiplyconstantClick(plat::TObject* Sender);
    void btn_divideconstantClick(plat::TObject* Sender);
    void btn_derivativeClick(plat::TObject* Sender);
    void btn_integralClick(plat::TObject* Sender);
    void btn_stddeviationClick(plat::TObject* Sender);
    void btn_rmsClick(plat::TObject* Sender);
    void PopupMenu2Popup(plat::TObject* Sender);
    void mi_selectallClick(plat::TObject* Sender);
    void mi_copyClick(plat::TObject* Sender);
    void mi_clearClick(plat::TObject* Sender);
    void mi_exportClick(plat::TObject* Sender);
    void mi_printClick(plat::TObject* Sender);
    // Writes the result area to FileName as an RTF document (Export after its save dialog).
    void ExportResult(const std::string& FileName);
    void AddResultSeparator();
    void AddResultLine(const std::string& Text, plat::TColor Color, plat::TFontStyles Style);

private:
    // The current frame when the list has a selection; the commands on one frame need both.
    chart::TChartSeries* SelectedCurrentFrame();
    // Counts the frame and makes it.
    chart::TLineSeries* AddComputedFrame(const std::string& Title);
    // A dialog's "Frame:" label: the frame's title in the frame's colour.
    static void ShowFrameTitle(plat::TLabel* Label, chart::TChartSeries* Frame);
    void RefuseCommand(const std::string& Instruction, const std::string& Content);
    analysis::TReportFormats ReportFormats() const;
    void AddReport(chart::TChartSeries* Frame, const analysis::TReportLines& Lines);

public:
    // ---- Chart documents, frame import and copying frames (UnitChartDocument.cpp) ----
    // The window as a chart document; frames in the chart's order, text boxes in the tool order.
    TChartDocument ChartDocument() const;
    // Writes the window's document; false, with nothing written, when the window has no frames.
    bool SaveChartDocument(const std::string& FileName);
    // False when the file is not a chart document (the window is left as it was); parser errors raise.
    // Frames whose point count differs from the document's first frame are skipped.
    bool LoadChartDocument(const TChartDocument& Document);
    // Appends the frame at Position of the file when its point count fits the window's frames; 1 when
    // a frame was added, else 0.
    int ImportFrame(const std::string& FileName, int Position);
    void btn_importsampleClick(plat::TObject* Sender);
    void CopytonewChart1Click(plat::TObject* Sender);

private:
    // A text box as the user adds one: an annotation owned by the window at a custom position, placed
    // before the selector in the tool list.
    chart::TAnnotationTool* AddTextBox(const std::string& Text, int Left, int Top);
};

// Save Chart of the main window with a chart window active; export codes as FormatCodeOf gives them.
bool ExportChart(TfmChart* Form, const std::string& FileName, int ExportCode);
