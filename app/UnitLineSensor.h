// The live camera window: device and camera settings, the live chart, the acquisition, the settings
// file and quick save.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "analysis/LiveFrameSource.h"
#include "analysis/UnitTypes.h"
#include "app/CCDThread.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/Form.h"
#include "platform/ui/TrackBar.h"

namespace plat {
class TAction;
class TActionList;
class TCanvas;
class TLabel;
} // namespace plat
namespace ui {
class TKvxComboBox;
class TKvxDirectoryEdit;
class TKvxDockPanel;
class TKvxEdit;
class TKvxFormStyler;
class TKvxGlowButton;
class TKvxOfficeCheckBox;
class TKvxOfficeRadioGroup;
class TKvxPanel;
class TKvxSpinEdit;
class TKvxToolBar;
class TKvxToolBarButton;
class TKvxTrackBar;
namespace pager {
class TKvxOfficePage;
class TKvxOfficePager;
class TKvxOfficePagerOfficeStyler;
} // namespace pager
namespace statusbar {
class TKvxOfficeStatusBar;
class TKvxOfficeStatusBarOfficeStyler;
} // namespace statusbar
namespace toolbar {
class TKvxToolBarOfficeStyler;
}
} // namespace ui
namespace chart {
class TAnnotationTool;
class TAxisArrowTool;
class TColorLineTool;
class TFastLineSeries;
class TNearestTool;
} // namespace chart
class TCameraLibrary;

class TfmLineSensor : public plat::TForm, public ILiveFrameSource {
    PLAT_CLASS(TfmLineSensor)
public:
    explicit TfmLineSensor(plat::TComponent* AOwner);
    ~TfmLineSensor() override;

    chart::TChartSeries* LiveSeries() override;
    chart::TChart* LiveChart() override;
    int LiveXMultiplier() const override;

    // The camera library the window talks to: the program's binding unless a test hands it another
    // before the window is made (SetDefaultCameraLibrary).
    TCameraLibrary& Library() const { return *FLibrary; }
    static void SetDefaultCameraLibrary(TCameraLibrary* Library);

    // ---- Texts of the window ----
    // "" for 0, else the frequency of the period t (µs) in MHz, kHz or Hz with two decimals.
    static std::string FrequencyText(uint32_t Microseconds);
    // Gain in V/V of the gain register (0..63) and offset in mV of the offset register word.
    static float GainOfRegister(int Register);
    static float OffsetOfRegister(int Word);
    // The offset register word for a slider position (-255..255): magnitude, plus 256 when negative.
    static int OffsetRegisterOfPosition(int Position);
    // Range tables: the maximum of a combo index, and the index and maximum that hold a time.
    static int32_t IntegrationRangeMax(int Index);
    static int32_t SoftTriggerRangeMax(int Index);
    static int IntegrationRangeIndexFor(int64_t Microseconds);
    static int SoftTriggerRangeIndexFor(int64_t Microseconds);
    static int32_t IntegrationRangeMaxFor(int64_t Microseconds);
    static int32_t SoftTriggerRangeMaxFor(int64_t Microseconds);

    // ---- Status bar ----
    void ShowResult(const std::string& Prefix, int Code);
    void ShowError(int Code);
    void ShowStatus(const std::string& Text);
    std::string StatusText(int Panel) const;
    void SetStatusText(int Panel, const std::string& Text);

    // ---- Device ----
    void UpdateCaption();
    int OpenDevice(int Index, std::string& Message);
    void ReadCameraState();
    bool DeviceOpen() const;

    // ---- Live chart ----
    void ResetFrame(uint16_t Count, bool Rebuild, bool Mode16Bit);
    void ResetToPixels(uint16_t Count, bool Mode16Bit);
    // False, with the status saying why, when the two pixels are equal or the values give no usable scale
    // (equal, or beyond the doubles); nothing else changes then, except that a rebuild is made in pixels.
    bool ApplyXScale(uint16_t Count, int P1, int P2, double V1, double V2, int M, bool Mode16Bit,
                     bool Rebuild);
    // The same with the two x values already in axis units (times 10^m), as the settings file keeps them.
    bool ApplyAxisScale(uint16_t Count, int P1, int P2, double A, double B, int M, bool Mode16Bit,
                        bool Rebuild);
    // The pixel nearest to an x value; 0 while the frame has fewer than 2 points or no width.
    int PixelOfValue(double Value) const;
    void UpdateCursorEdits();
    double XFirst() const;
    double XLast() const;
    double XStep() const;
    // Whether the x values are the pixel numbers, as an opening makes them.
    bool InPixelUnits() const;
    void ClearDarkFrame();
    void CaptureDarkFrame();
    void UpdateSettingsBox();
    std::string SettingsBoxText() const;
    void StyleTrackBars();
    // 10 to the power m, the exponent limited to what the edits allow.
    static double PowerOfTen(int M);
    static constexpr int kMinExponent = analysis::MinXExponent;
    static constexpr int kMaxExponent = analysis::MaxXExponent;
    // A frame buffer holds this many samples at most.
    static constexpr int kMaxPixels = 4096;
    // What OpenDevice answers for a camera whose pixel count no frame buffer holds.
    static constexpr int kPixelCountRefused = -4096;

    // ---- Handlers ----
    void FormCreate(plat::TObject* Sender);
    void FormDestroy(plat::TObject* Sender);
    void FormCloseQuery(plat::TObject* Sender, bool& CanClose);
    void btn_enumClick(plat::TObject* Sender);
    void cb_devicesChange(plat::TObject* Sender);
    void btn_closedeviceClick(plat::TObject* Sender);
    void btn_startClick(plat::TObject* Sender);
    void Acn_startExecute(plat::TObject* Sender);
    void cb_modeChange(plat::TObject* Sender);
    void tb_tintChange(plat::TObject* Sender);
    void cb_trangeChange(plat::TObject* Sender);
    void tb_gainChange(plat::TObject* Sender);
    void tb_offsetChange(plat::TObject* Sender);
    void tb_fullscaleChange(plat::TObject* Sender);
    void tb_fullscaleDrawTick(plat::TObject* Sender, plat::TCanvas* Canvas, plat::TPoint Location,
                              int Position, plat::TTickMark TickPos, int& Length, plat::TColor& Color,
                              plat::TColor& TextColor, std::string& Text, bool& DefaultDraw);
    void btn_savecamerasettingsClick(plat::TObject* Sender);
    void btn_setcfgClick(plat::TObject* Sender);
    void btn_setepClick(plat::TObject* Sender);
    void tb_sfttrigtimeChange(plat::TObject* Sender);
    void cb_sfttrigtime_rangeChange(plat::TObject* Sender);
    void KvxFormStyler1Change(plat::TObject* Sender);
    void ed_1pixelChange(plat::TObject* Sender);
    void ed_2pixelChange(plat::TObject* Sender);
    void btn_submitscaleClick(plat::TObject* Sender);
    void cb_vcursorClick(plat::TObject* Sender);
    void cb_xformatChange(plat::TObject* Sender);
    void ed_xtitleChange(plat::TObject* Sender);
    void cb_YAxisAutoMaxClick(plat::TObject* Sender);
    void cb_XAxisInvertedClick(plat::TObject* Sender);
    void cb_camerasettingsClick(plat::TObject* Sender);
    void KvxOfficeCheckBox1Click(plat::TObject* Sender);
    void KvxOfficeCheckBox2Click(plat::TObject* Sender);
    void cb_show_dfClick(plat::TObject* Sender);
    void btn_df_captureClick(plat::TObject* Sender);
    // Places the maximum and nearest-point labels. It runs before the chart's tools draw, so that each
    // paint labels the frame it shows rather than the one before.
    void Chart1BeforeDrawSeries(plat::TObject* Sender);
    void Chart1UndoZoom(plat::TObject* Sender);
    void ChartTool5BeginDragLine(chart::TColorLineTool* Sender);
    void ChartTool5OnDragLine(chart::TColorLineTool* Sender);
    void ChartTool5EndDragLine(chart::TColorLineTool* Sender);

    // ---- Components ----
    ui::TKvxFormStyler* KvxFormStyler1 = nullptr;
    // The office stylers of the window's parts; the form styler sets their style with the application's.
    ui::toolbar::TKvxToolBarOfficeStyler* KvxToolBarOfficeStyler1 = nullptr;
    ui::pager::TKvxOfficePagerOfficeStyler* KvxOfficePagerOfficeStyler1 = nullptr;
    ui::statusbar::TKvxOfficeStatusBarOfficeStyler* KvxOfficeStatusBarOfficeStyler1 = nullptr;
    plat::TActionList* ActionList1 = nullptr;
    plat::TAction* Acn_start = nullptr;
    plat::TAction* Acn_darkframe = nullptr;
    plat::TAction* Acn_saveas = nullptr;
    ui::TKvxDockPanel* KvxDockPanel1 = nullptr;
    ui::TKvxToolBar* KvxToolBar1 = nullptr;
    ui::TKvxToolBarButton* btn_enum = nullptr;
    ui::TKvxToolBarButton* btn_closedevice = nullptr;
    ui::TKvxToolBarButton* btn_start = nullptr;
    ui::TKvxComboBox* cb_devices = nullptr;
    ui::statusbar::TKvxOfficeStatusBar* KvxOfficeStatusBar1 = nullptr;
    ui::pager::TKvxOfficePager* KvxOfficePager1 = nullptr;
    ui::pager::TKvxOfficePage* pg_camera = nullptr;
    ui::pager::TKvxOfficePage* pg_signal = nullptr;
    ui::pager::TKvxOfficePage* pg_display = nullptr;
    ui::pager::TKvxOfficePage* pg_saveas = nullptr;
    // Camera page
    ui::TKvxPanel* pn_mode = nullptr;
    ui::TKvxComboBox* cb_mode = nullptr;
    ui::TKvxPanel* pn_inttime = nullptr;
    ui::TKvxTrackBar* tb_tint = nullptr;
    ui::TKvxComboBox* cb_trange = nullptr;
    ui::TKvxPanel* pn_adc = nullptr;
    ui::TKvxTrackBar* tb_offset = nullptr;
    ui::TKvxTrackBar* tb_gain = nullptr;
    ui::TKvxTrackBar* tb_fullscale = nullptr;
    ui::TKvxPanel* pn_memory = nullptr;
    ui::TKvxGlowButton* btn_savecamerasettings = nullptr;
    ui::TKvxPanel* pn_cfg1 = nullptr;
    ui::TKvxComboBox* cb_imagenum = nullptr;
    ui::TKvxComboBox* cb_168BitMode = nullptr;
    ui::TKvxSpinEdit* ed_numframes = nullptr;
    ui::TKvxGlowButton* btn_setcfg = nullptr;
    plat::TLabel* lb_poweroffon = nullptr;
    ui::TKvxPanel* pn_usb = nullptr;
    ui::TKvxSpinEdit* ed_packetmultiplier = nullptr;
    ui::TKvxSpinEdit* ed_eptimeout = nullptr;
    ui::TKvxGlowButton* btn_setep = nullptr;
    ui::TKvxPanel* pn_sfttrig = nullptr;
    ui::TKvxTrackBar* tb_sfttrigtime = nullptr;
    ui::TKvxComboBox* cb_sfttrigtime_range = nullptr;
    // Signal page
    ui::TKvxPanel* pn_darkframe = nullptr;
    plat::TLabel* lb_df_timecaption = nullptr;
    plat::TLabel* lb_df_time = nullptr;
    plat::TLabel* lb_df_countcaption = nullptr;
    plat::TLabel* lb_df_count = nullptr;
    ui::TKvxGlowButton* btn_df_capture = nullptr;
    ui::TKvxOfficeCheckBox* cb_subtract_df = nullptr;
    ui::TKvxOfficeCheckBox* cb_show_df = nullptr;
    ui::TKvxPanel* pn_average = nullptr;
    ui::TKvxSpinEdit* ed_average = nullptr;
    ui::TKvxOfficeCheckBox* cb_average = nullptr;
    ui::TKvxOfficeCheckBox* cb_averageactive = nullptr;
    ui::TKvxPanel* pn_refresh = nullptr;
    ui::TKvxTrackBar* tb_refreshinterval = nullptr;
    // Display page
    ui::TKvxPanel* pn_xscale = nullptr;
    plat::TLabel* lb_1point = nullptr;
    ui::TKvxEdit* ed_1value = nullptr;
    ui::TKvxEdit* ed_1pixel = nullptr;
    plat::TLabel* lb_2point = nullptr;
    ui::TKvxEdit* ed_2value = nullptr;
    ui::TKvxEdit* ed_2pixel = nullptr;
    ui::TKvxEdit* ed_multiplier = nullptr;
    ui::TKvxGlowButton* btn_submitscale = nullptr;
    ui::TKvxOfficeCheckBox* cb_vcursor = nullptr;
    ui::TKvxPanel* pn_axes = nullptr;
    ui::TKvxEdit* ed_xtitle = nullptr;
    ui::TKvxEdit* ed_ytitle = nullptr;
    ui::TKvxComboBox* cb_xformat = nullptr;
    ui::TKvxComboBox* cb_yformat = nullptr;
    ui::TKvxOfficeCheckBox* cb_YAxisAutoMax = nullptr;
    ui::TKvxOfficeCheckBox* cb_XAxisInverted = nullptr;
    ui::TKvxPanel* pn_misc = nullptr;
    ui::TKvxOfficeCheckBox* cb_camerasettings = nullptr;
    ui::TKvxOfficeCheckBox* KvxOfficeCheckBox1 = nullptr;
    ui::TKvxOfficeCheckBox* KvxOfficeCheckBox2 = nullptr;
    // Save-as page
    ui::TKvxPanel* pn_saveas = nullptr;
    ui::TKvxDirectoryEdit* ed_bmpdirectory = nullptr;
    plat::TLabel* lb_bmpdirectory = nullptr;
    ui::TKvxOfficeRadioGroup* rg_saveasformat = nullptr;
    ui::TKvxGlowButton* btn_saveas = nullptr;
    // Chart
    chart::TChart* Chart1 = nullptr;
    chart::TFastLineSeries* Series2 = nullptr;
    chart::TFastLineSeries* Series1 = nullptr;
    chart::TAnnotationTool* ChartTool1 = nullptr;
    chart::TAnnotationTool* ChartTool3 = nullptr;
    chart::TColorLineTool* ChartTool4 = nullptr;
    chart::TColorLineTool* ChartTool5 = nullptr;
    chart::TNearestTool* ChartTool2 = nullptr;
    chart::TAnnotationTool* ChartTool13 = nullptr;
    chart::TAnnotationTool* ChartTool14 = nullptr;
    chart::TAxisArrowTool* ChartTool11 = nullptr;
    chart::TAxisArrowTool* ChartTool12 = nullptr;

    // ---- State ----
    std::string FProgramFolder;
    uint16_t FPixelCount = 2048;
    uint16_t FSensorType = 0;
    uint16_t FFirmwareVersion = 0;
    int32_t FXMultiplier = 0;
    int32_t FMaxIndex = -1;
    double FMaxValue = 0;
    double FMaxX = 0;
    // Settings-box texts.
    std::string FModeText, FIntTimeText, FTrigTimeText, FGainText, FOffsetText, FFullScaleText,
        FResolutionText, FScansText, FAverageText, FActiveText;
    bool FDarkFrameValid = false;
    plat::TDateTime FDarkFrameTime = 0;
    uint16_t FDarkFrameCount = 0;

    // Settings shared with the acquisition and the settings file.
    bool Mode16Bit = true;
    bool IMGNUM = false;
    uint8_t PacketMultiplier = 1;
    int32_t EPTimeOut = 100;
    uint32_t TransferSize = 2048 * 2;
    // What the library answered when it was initialised: non-zero when ready.
    int32_t LibraryReady = 0;

private:
    TCameraLibrary* FLibrary;
    // Sets a slider's position or maximum, or a combo's index, with its change handler detached.
    void SetQuietly(ui::TKvxTrackBar* Bar, int Position);
    void SetQuietlyMax(ui::TKvxTrackBar* Bar, int Max);
    void SetQuietly(ui::TKvxComboBox* Combo, int Index);
    void SetQuietly(ui::TKvxEdit* Edit, const std::string& Text);
    void SetQuietly(ui::TKvxEdit* Edit, double Value);
    void RangeChange(ui::TKvxComboBox* Combo, ui::TKvxTrackBar* Bar, bool SoftTrigger);
    void AfterOpening(int Code, const std::string& Message, bool SelectFirst);
    void PlaceLabel(chart::TAnnotationTool* Label, int CentreX, int BottomY);
    void PlaceLabelAtMouse(chart::TAnnotationTool* Label, int Gap);
    void LimitCursor(chart::TColorLineTool* Cursor);
    void PlaceCursorsInTheMiddle();
    void CursorFromPixelEdit(ui::TKvxEdit* Edit, chart::TColorLineTool* Cursor);
    std::string FormatBottom(double Value) const;
    void SetFixedYRange(bool Mode16Bit);

    // ---- Acquisition, settings file and quick save (LineSensorAcquisition.cpp, LineSensorFiles.cpp) ----
public:
    void StartAcquisition();
    void StopAcquisition();
    void WaitAcquisition();
    void CloseDevice();
    // Call before ls_setcfg1: a running acquisition reads the new format from where the camera begins it.
    void AnnounceFrameFormat(bool Mode16Bit, bool ImageNumber);
    void ed_averageChange(plat::TObject* Sender);
    void cb_averageClick(plat::TObject* Sender);
    void cb_averageactiveClick(plat::TObject* Sender);
    void tb_refreshintervalChange(plat::TObject* Sender);
    void LoadSettings();
    void SaveSettings();
    void btn_saveasClick(plat::TObject* Sender);
    void ed_bmpdirectoryDialogClose(plat::TObject* Sender, const std::string& Folder, bool Confirmed);
    // The settings file's path.
    static std::string SettingsFileName();
    // The thread's display step writes into the window's components: it stops before they go.
    void BeforeDestruction() override;

    // The display step's view of the window.
    class TLiveDisplay : public ICCDDisplay {
    public:
        explicit TLiveDisplay(TfmLineSensor& Window) : FWindow(Window) {}
        chart::TChartSeries* DisplaySeries() override;
        chart::TChartSeries* SubtractedDarkFrame() override;
        void ShowAcquisitionStatus(int Panel, const std::string& Text) override;
        void ReleaseOneShot() override;
        void ShowMaximum(int Index, double Value) override;
        void AcquisitionLost(const std::string& Text) override;

    private:
        TfmLineSensor& FWindow;
    };
    TLiveDisplay FLiveDisplay{*this};
    // The running acquisition, none while stopped. Declared last: it stops before the rest goes.
    std::unique_ptr<TCCDThread> AcquisitionThread;

private:
    void BindAcquisitionHandlers();
    void ShowBmpDirectory(const std::string& Folder);
};

// The one live window while it exists.
extern TfmLineSensor* fmLineSensor;

// Save Chart of the main window with the live window active; export codes as FormatCodeOf gives them.
bool ExportLineSensorChart(TfmLineSensor* Form, const std::string& FileName, int ExportCode);
// The live chart as a chart document; false, writing nothing, when the chart has no series.
bool SaveLiveChartDocument(TfmLineSensor* Form, const std::string& FileName);
