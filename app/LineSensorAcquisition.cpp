// The live window's side of the acquisition thread: starting and stopping it, the controls that change
// it while it runs, and what its display step writes into the window.
#include "app/UnitLineSensor.h"

#include "app/CameraDefs.h"
#include "chart/Series.h"
#include "platform/rtl/StringUtils.h"
#include "ui/controls/KvxCombo.h"
#include "ui/controls/KvxDirectoryEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxSpin.h"
#include "ui/controls/KvxTrackBar.h"
#include "ui/toolbars/KvxToolBarControl.h"

using namespace plat;

void TfmLineSensor::BindAcquisitionHandlers() {
    ed_average->OnChange = [this](TObject* Sender) { ed_averageChange(Sender); };
    cb_average->OnClick = [this](TObject* Sender) { cb_averageClick(Sender); };
    cb_averageactive->OnClick = [this](TObject* Sender) { cb_averageactiveClick(Sender); };
    tb_refreshinterval->OnChange = [this](TObject* Sender) { tb_refreshintervalChange(Sender); };
    btn_saveas->OnClick = [this](TObject* Sender) { btn_saveasClick(Sender); };
    Acn_saveas->OnExecute = [this](TObject* Sender) { btn_saveasClick(Sender); };
    ed_bmpdirectory->OnDialogClose = [this](TObject* Sender, const std::string& Folder, bool Confirmed) {
        ed_bmpdirectoryDialogClose(Sender, Folder, Confirmed);
    };
}

void TfmLineSensor::StartAcquisition() {
    TCCDSettings settings;
    settings.ScansToAccumulate = ed_average->Value();
    settings.Average = cb_average->Checked();
    settings.Accumulate = cb_averageactive->Checked();
    settings.PixelCount = FPixelCount;
    settings.Mode16Bit = Mode16Bit;
    settings.ImageNumber = IMGNUM;
    settings.RefreshInterval = static_cast<uint32_t>(tb_refreshinterval->Position());
    // A thread that ended by itself (camera lost) is released before the new one takes its place.
    StopAcquisition();
    WaitAcquisition();
    AcquisitionThread = std::make_unique<TCCDThread>(Library(), FLiveDisplay, settings);
    AcquisitionThread->Start();
}

void TfmLineSensor::StopAcquisition() {
    if (AcquisitionThread)
        AcquisitionThread->Terminate();
}

void TfmLineSensor::WaitAcquisition() {
    if (!AcquisitionThread)
        return;
    // Serves the thread's pending display step, so a thread blocked in it can end.
    AcquisitionThread->WaitFor();
    AcquisitionThread.reset();
}

void TfmLineSensor::CloseDevice() {
    StopAcquisition();
    Library().ls_closedevice();
    SetCaption("Zevi Zezaru");
    WaitAcquisition();
}

void TfmLineSensor::BeforeDestruction() {
    if (AcquisitionThread) {
        StopAcquisition();
        // The window's session with the camera ends with it; a read waiting for a frame returns.
        Library().ls_closedevice();
        WaitAcquisition();
    }
    TForm::BeforeDestruction();
}

void TfmLineSensor::AnnounceFrameFormat(bool Mode16, bool ImageNumber) {
    if (AcquisitionThread)
        AcquisitionThread->SetNextFrameFormat(Mode16, ImageNumber);
}

void TfmLineSensor::ed_averageChange(TObject*) {
    if (AcquisitionThread)
        AcquisitionThread->SetScansToAccumulate(ed_average->Value());
    FScansText = IntToStr(ed_average->Value());
    UpdateSettingsBox();
}

void TfmLineSensor::cb_averageClick(TObject*) {
    if (AcquisitionThread)
        AcquisitionThread->SetAverage(cb_average->Checked());
    FAverageText = cb_average->Checked() ? "YES" : "NO";
    UpdateSettingsBox();
}

void TfmLineSensor::cb_averageactiveClick(TObject*) {
    if (AcquisitionThread)
        AcquisitionThread->SetAccumulate(cb_averageactive->Checked());
    FActiveText = cb_averageactive->Checked() ? "YES" : "NO";
    UpdateSettingsBox();
}

void TfmLineSensor::tb_refreshintervalChange(TObject*) {
    if (AcquisitionThread)
        AcquisitionThread->SetRefreshInterval(static_cast<uint32_t>(tb_refreshinterval->Position()));
}

// ---- The display step's view of the window ----

chart::TChartSeries* TfmLineSensor::TLiveDisplay::DisplaySeries() {
    return FWindow.Series1;
}

chart::TChartSeries* TfmLineSensor::TLiveDisplay::SubtractedDarkFrame() {
    return FWindow.cb_subtract_df->Checked() && FWindow.FDarkFrameValid ? FWindow.Series2 : nullptr;
}

void TfmLineSensor::TLiveDisplay::ShowAcquisitionStatus(int Panel, const std::string& Text) {
    FWindow.SetStatusText(Panel, Text);
}

void TfmLineSensor::TLiveDisplay::ReleaseOneShot() {
    if (FWindow.cb_mode->ItemIndex() != 0)
        return;
    FWindow.btn_start->SetDown(false);
    FWindow.btn_start->SetCaption("Start");
}

void TfmLineSensor::TLiveDisplay::ShowMaximum(int Index, double Value) {
    FWindow.FMaxIndex = Index;
    FWindow.FMaxValue = Value;
}

void TfmLineSensor::TLiveDisplay::AcquisitionLost(const std::string& Text) {
    // The thread ends after this; the window shows the device closed, as after "Close Device", and,
    // since a camera that is gone runs no more, neither "Stop" nor the last rates.
    FWindow.Library().ls_closedevice();
    FWindow.SetCaption("Zevi Zezaru");
    FWindow.btn_closedevice->SetCaption("Open Device");
    FWindow.btn_closedevice->SetDown(false);
    FWindow.btn_start->SetDown(false);
    FWindow.btn_start->SetCaption("Start");
    FWindow.SetStatusText(TCCDThread::kFpsPanel, "");
    FWindow.SetStatusText(TCCDThread::kMemoryPanel, "");
    FWindow.ShowStatus(Text);
}
