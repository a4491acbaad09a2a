#include "app/UnitLineSensor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "app/CameraDefs.h"
#include "chart/Chart.h"
#include "chart/PlotTools.h"
#include "chart/Series.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/ActionList.h"
#include "platform/ui/Label.h"
#include "ui/controls/KvxCombo.h"
#include "ui/controls/KvxDirectoryEdit.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxPanel.h"
#include "ui/controls/KvxSpin.h"
#include "ui/controls/KvxTrackBar.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/KvxOfficePager.h"
#include "ui/office/KvxOfficePagerStylers.h"
#include "ui/office/KvxOfficeStatusBar.h"
#include "ui/office/KvxOfficeStatusBarStylers.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStylers.h"

using namespace plat;
using chart::TChartAxis;

TfmLineSensor* fmLineSensor = nullptr;

namespace {

TCameraLibrary* DefaultLibrary = nullptr;

constexpr const char* kCaption = "Zevi Zezaru";
constexpr const char* kMicro = " \xC2\xB5s";

constexpr int32_t kIntegrationRanges[] = {2000,    5000,    10000,   50000,    100000,  500000,
                                          1000000, 2000000, 5000000, 10000000, 30000000};
constexpr int32_t kSoftTriggerRanges[] = {500, 1000, 5000, 10000, 50000, 100000, 500000, 1000000};

template <size_t N> int RangeIndexFor(const int32_t (&Table)[N], int64_t Microseconds) {
    for (size_t i = 0; i < N; ++i)
        if (Table[i] >= Microseconds)
            return static_cast<int>(i);
    return 0;
}

template <size_t N> int32_t RangeMaxFor(const int32_t (&Table)[N], int64_t Microseconds) {
    for (int32_t max : Table)
        if (max >= Microseconds)
            return max;
    return 0;
}

// Rounds halves to even, as the texts of the window do; values beyond the integers are cut to them.
int64_t RoundToInt(double Value) {
    if (!std::isfinite(Value))
        return 0;
    const double r = std::nearbyint(Value);
    if (r >= 9.2e18)
        return INT64_MAX;
    if (r <= -9.2e18)
        return INT64_MIN;
    return static_cast<int64_t>(r);
}

std::string MicroText(int64_t Microseconds) {
    return IntToStr(Microseconds) + kMicro;
}

std::string GainText(float Gain) {
    return Format("%.4f V/V", {static_cast<double>(Gain)});
}

std::string OffsetText(float Millivolts) {
    return Format("%.1f mV", {static_cast<double>(Millivolts)});
}

} // namespace

PLAT_CLASS_INFO_CREATABLE(TfmLineSensor, TForm)

PLAT_PROPERTIES(TfmLineSensor) {
    using T = TfmLineSensor;
    props.Field("KvxFormStyler1", &T::KvxFormStyler1);
    props.Field("KvxToolBarOfficeStyler1", &T::KvxToolBarOfficeStyler1);
    props.Field("KvxOfficePagerOfficeStyler1", &T::KvxOfficePagerOfficeStyler1);
    props.Field("KvxOfficeStatusBarOfficeStyler1", &T::KvxOfficeStatusBarOfficeStyler1);
    props.Field("ActionList1", &T::ActionList1);
    props.Field("Acn_start", &T::Acn_start);
    props.Field("Acn_darkframe", &T::Acn_darkframe);
    props.Field("Acn_saveas", &T::Acn_saveas);
    props.Field("KvxDockPanel1", &T::KvxDockPanel1);
    props.Field("KvxToolBar1", &T::KvxToolBar1);
    props.Field("btn_enum", &T::btn_enum);
    props.Field("btn_closedevice", &T::btn_closedevice);
    props.Field("btn_start", &T::btn_start);
    props.Field("cb_devices", &T::cb_devices);
    props.Field("KvxOfficeStatusBar1", &T::KvxOfficeStatusBar1);
    props.Field("KvxOfficePager1", &T::KvxOfficePager1);
    props.Field("pg_camera", &T::pg_camera);
    props.Field("pg_signal", &T::pg_signal);
    props.Field("pg_display", &T::pg_display);
    props.Field("pg_saveas", &T::pg_saveas);
    props.Field("pn_mode", &T::pn_mode);
    props.Field("cb_mode", &T::cb_mode);
    props.Field("pn_inttime", &T::pn_inttime);
    props.Field("tb_tint", &T::tb_tint);
    props.Field("cb_trange", &T::cb_trange);
    props.Field("pn_adc", &T::pn_adc);
    props.Field("tb_offset", &T::tb_offset);
    props.Field("tb_gain", &T::tb_gain);
    props.Field("tb_fullscale", &T::tb_fullscale);
    props.Field("pn_memory", &T::pn_memory);
    props.Field("btn_savecamerasettings", &T::btn_savecamerasettings);
    props.Field("pn_cfg1", &T::pn_cfg1);
    props.Field("cb_imagenum", &T::cb_imagenum);
    props.Field("cb_168BitMode", &T::cb_168BitMode);
    props.Field("ed_numframes", &T::ed_numframes);
    props.Field("btn_setcfg", &T::btn_setcfg);
    props.Field("lb_poweroffon", &T::lb_poweroffon);
    props.Field("pn_usb", &T::pn_usb);
    props.Field("ed_packetmultiplier", &T::ed_packetmultiplier);
    props.Field("ed_eptimeout", &T::ed_eptimeout);
    props.Field("btn_setep", &T::btn_setep);
    props.Field("pn_sfttrig", &T::pn_sfttrig);
    props.Field("tb_sfttrigtime", &T::tb_sfttrigtime);
    props.Field("cb_sfttrigtime_range", &T::cb_sfttrigtime_range);
    props.Field("pn_darkframe", &T::pn_darkframe);
    props.Field("lb_df_timecaption", &T::lb_df_timecaption);
    props.Field("lb_df_time", &T::lb_df_time);
    props.Field("lb_df_countcaption", &T::lb_df_countcaption);
    props.Field("lb_df_count", &T::lb_df_count);
    props.Field("btn_df_capture", &T::btn_df_capture);
    props.Field("cb_subtract_df", &T::cb_subtract_df);
    props.Field("cb_show_df", &T::cb_show_df);
    props.Field("pn_average", &T::pn_average);
    props.Field("ed_average", &T::ed_average);
    props.Field("cb_average", &T::cb_average);
    props.Field("cb_averageactive", &T::cb_averageactive);
    props.Field("pn_refresh", &T::pn_refresh);
    props.Field("tb_refreshinterval", &T::tb_refreshinterval);
    props.Field("pn_xscale", &T::pn_xscale);
    props.Field("lb_1point", &T::lb_1point);
    props.Field("ed_1value", &T::ed_1value);
    props.Field("ed_1pixel", &T::ed_1pixel);
    props.Field("lb_2point", &T::lb_2point);
    props.Field("ed_2value", &T::ed_2value);
    props.Field("ed_2pixel", &T::ed_2pixel);
    props.Field("ed_multiplier", &T::ed_multiplier);
    props.Field("btn_submitscale", &T::btn_submitscale);
    props.Field("cb_vcursor", &T::cb_vcursor);
    props.Field("pn_axes", &T::pn_axes);
    props.Field("ed_xtitle", &T::ed_xtitle);
    props.Field("ed_ytitle", &T::ed_ytitle);
    props.Field("cb_xformat", &T::cb_xformat);
    props.Field("cb_yformat", &T::cb_yformat);
    props.Field("cb_YAxisAutoMax", &T::cb_YAxisAutoMax);
    props.Field("cb_XAxisInverted", &T::cb_XAxisInverted);
    props.Field("pn_misc", &T::pn_misc);
    props.Field("cb_camerasettings", &T::cb_camerasettings);
    props.Field("KvxOfficeCheckBox1", &T::KvxOfficeCheckBox1);
    props.Field("KvxOfficeCheckBox2", &T::KvxOfficeCheckBox2);
    props.Field("pn_saveas", &T::pn_saveas);
    props.Field("ed_bmpdirectory", &T::ed_bmpdirectory);
    props.Field("lb_bmpdirectory", &T::lb_bmpdirectory);
    props.Field("rg_saveasformat", &T::rg_saveasformat);
    props.Field("btn_saveas", &T::btn_saveas);
    props.Field("Chart1", &T::Chart1);
    props.Field("Series2", &T::Series2);
    props.Field("Series1", &T::Series1);
    props.Field("ChartTool1", &T::ChartTool1);
    props.Field("ChartTool3", &T::ChartTool3);
    props.Field("ChartTool4", &T::ChartTool4);
    props.Field("ChartTool5", &T::ChartTool5);
    props.Field("ChartTool2", &T::ChartTool2);
    props.Field("ChartTool13", &T::ChartTool13);
    props.Field("ChartTool14", &T::ChartTool14);
    props.Field("ChartTool11", &T::ChartTool11);
    props.Field("ChartTool12", &T::ChartTool12);

    props.Method("FormCreate", &T::FormCreate);
    props.Method("FormDestroy", &T::FormDestroy);
    props.Method("FormCloseQuery", &T::FormCloseQuery);
    props.Method("btn_enumClick", &T::btn_enumClick);
    props.Method("cb_devicesChange", &T::cb_devicesChange);
    props.Method("btn_closedeviceClick", &T::btn_closedeviceClick);
    props.Method("btn_startClick", &T::btn_startClick);
    props.Method("Acn_startExecute", &T::Acn_startExecute);
    props.Method("cb_modeChange", &T::cb_modeChange);
    props.Method("tb_tintChange", &T::tb_tintChange);
    props.Method("cb_trangeChange", &T::cb_trangeChange);
    props.Method("tb_gainChange", &T::tb_gainChange);
    props.Method("tb_offsetChange", &T::tb_offsetChange);
    props.Method("tb_fullscaleChange", &T::tb_fullscaleChange);
    props.Method("tb_fullscaleDrawTick", &T::tb_fullscaleDrawTick);
    props.Method("btn_savecamerasettingsClick", &T::btn_savecamerasettingsClick);
    props.Method("btn_setcfgClick", &T::btn_setcfgClick);
    props.Method("btn_setepClick", &T::btn_setepClick);
    props.Method("tb_sfttrigtimeChange", &T::tb_sfttrigtimeChange);
    props.Method("cb_sfttrigtime_rangeChange", &T::cb_sfttrigtime_rangeChange);
    props.Method("KvxFormStyler1Change", &T::KvxFormStyler1Change);
    props.Method("ed_1pixelChange", &T::ed_1pixelChange);
    props.Method("ed_2pixelChange", &T::ed_2pixelChange);
    props.Method("btn_submitscaleClick", &T::btn_submitscaleClick);
    props.Method("cb_vcursorClick", &T::cb_vcursorClick);
    props.Method("cb_xformatChange", &T::cb_xformatChange);
    props.Method("ed_xtitleChange", &T::ed_xtitleChange);
    props.Method("cb_YAxisAutoMaxClick", &T::cb_YAxisAutoMaxClick);
    props.Method("cb_XAxisInvertedClick", &T::cb_XAxisInvertedClick);
    props.Method("cb_camerasettingsClick", &T::cb_camerasettingsClick);
    props.Method("KvxOfficeCheckBox1Click", &T::KvxOfficeCheckBox1Click);
    props.Method("KvxOfficeCheckBox2Click", &T::KvxOfficeCheckBox2Click);
    props.Method("cb_show_dfClick", &T::cb_show_dfClick);
    props.Method("btn_df_captureClick", &T::btn_df_captureClick);
    props.Method("Chart1BeforeDrawSeries", &T::Chart1BeforeDrawSeries);
    props.Method("Chart1UndoZoom", &T::Chart1UndoZoom);
}

TfmLineSensor::TfmLineSensor(TComponent* AOwner)
    : TForm(AOwner), FLibrary(DefaultLibrary != nullptr ? DefaultLibrary : &::CameraLibrary()) {
    fmLineSensor = this;
    SetLiveFrameSource(this);
}

TfmLineSensor::~TfmLineSensor() {
    if (LiveFrameSource() == this)
        SetLiveFrameSource(nullptr);
    if (fmLineSensor == this)
        fmLineSensor = nullptr;
}

void TfmLineSensor::SetDefaultCameraLibrary(TCameraLibrary* Library) {
    DefaultLibrary = Library;
}

chart::TChartSeries* TfmLineSensor::LiveSeries() {
    return Series1;
}

chart::TChart* TfmLineSensor::LiveChart() {
    return Chart1;
}

int TfmLineSensor::LiveXMultiplier() const {
    return FXMultiplier;
}

// ---- Texts ------------------------------------------------------------------------------------------

std::string TfmLineSensor::FrequencyText(uint32_t Microseconds) {
    if (Microseconds == 0)
        return {};
    const float f = 1.0f / (static_cast<float>(Microseconds) / 1000000.0f);
    if (f >= 1000000.0f)
        return Format("%.2f MHz", {static_cast<double>(f / 1000000.0f)});
    if (f >= 1000.0f)
        return Format("%.2f kHz", {static_cast<double>(f / 1000.0f)});
    return Format("%.2f Hz", {static_cast<double>(f)});
}

float TfmLineSensor::GainOfRegister(int Register) {
    const float g = 6.0f / (static_cast<float>(63 - Register) / 63.0f * 5.0f + 1.0f);
    return std::clamp(g, 1.0f, 6.0f);
}

float TfmLineSensor::OffsetOfRegister(int Word) {
    const int magnitude = Word & 255;
    const int value = (Word & 256) != 0 ? -magnitude : magnitude;
    return std::clamp(static_cast<float>(value) * 1.2f, -300.0f, 300.0f);
}

int TfmLineSensor::OffsetRegisterOfPosition(int Position) {
    return Position < 0 ? (-Position & 255) + 256 : (Position & 255);
}

int32_t TfmLineSensor::IntegrationRangeMax(int Index) {
    return Index >= 0 && Index < static_cast<int>(std::size(kIntegrationRanges)) ? kIntegrationRanges[Index]
                                                                                 : 10000;
}

int32_t TfmLineSensor::SoftTriggerRangeMax(int Index) {
    return Index >= 0 && Index < static_cast<int>(std::size(kSoftTriggerRanges)) ? kSoftTriggerRanges[Index]
                                                                                 : 1000;
}

int TfmLineSensor::IntegrationRangeIndexFor(int64_t Microseconds) {
    return RangeIndexFor(kIntegrationRanges, Microseconds);
}

int TfmLineSensor::SoftTriggerRangeIndexFor(int64_t Microseconds) {
    return RangeIndexFor(kSoftTriggerRanges, Microseconds);
}

int32_t TfmLineSensor::IntegrationRangeMaxFor(int64_t Microseconds) {
    return RangeMaxFor(kIntegrationRanges, Microseconds);
}

int32_t TfmLineSensor::SoftTriggerRangeMaxFor(int64_t Microseconds) {
    return RangeMaxFor(kSoftTriggerRanges, Microseconds);
}

double TfmLineSensor::PowerOfTen(int M) {
    // Read from its text, so that 10^-9 is the same double the user's "1E-9" is.
    const int m = std::clamp(M, kMinExponent, kMaxExponent);
    return std::strtod(("1E" + std::to_string(m)).c_str(), nullptr);
}

std::string TfmLineSensor::SettingsBoxText() const {
    return "Mode:         " + FModeText + "\rInt. Time:    " + FIntTimeText +
           "\rTrig. Time:   " + FTrigTimeText + "\rGain:          " + FGainText +
           "\rOffset:        " + FOffsetText + "\rFull Scale:   " + FFullScaleText +
           "\rResolution:  " + FResolutionText + "\rAcc Active: " + FActiveText +
           "\rAccu:          " + FScansText + " Scans\rAverage:     " + FAverageText;
}

void TfmLineSensor::UpdateSettingsBox() {
    if (ChartTool14 != nullptr)
        ChartTool14->SetText(SettingsBoxText());
}

// ---- Status -----------------------------------------------------------------------------------------

std::string TfmLineSensor::StatusText(int Panel) const {
    return KvxOfficeStatusBar1->Panels()->GetItem(Panel)->Text();
}

void TfmLineSensor::SetStatusText(int Panel, const std::string& Text) {
    KvxOfficeStatusBar1->Panels()->GetItem(Panel)->SetText(Text);
}

void TfmLineSensor::ShowResult(const std::string& Prefix, int Code) {
    ShowStatus(Prefix + Library().ErrorText(Code));
}

void TfmLineSensor::ShowError(int Code) {
    ShowResult(std::string(), Code);
}

void TfmLineSensor::ShowStatus(const std::string& Text) {
    SetStatusText(0, Text);
}

// ---- Quiet setters ----------------------------------------------------------------------------------

void TfmLineSensor::SetQuietly(ui::TKvxTrackBar* Bar, int Position) {
    TemporaryChange<TNotifyEvent> detached(Bar->OnChange, nullptr);
    Bar->SetPosition(Position);
}

void TfmLineSensor::SetQuietlyMax(ui::TKvxTrackBar* Bar, int Max) {
    TemporaryChange<TNotifyEvent> detached(Bar->OnChange, nullptr);
    Bar->SetMax(Max);
}

void TfmLineSensor::SetQuietly(ui::TKvxComboBox* Combo, int Index) {
    TemporaryChange<TNotifyEvent> detached(Combo->OnChange, nullptr);
    Combo->SetItemIndex(Index);
}

void TfmLineSensor::SetQuietly(ui::TKvxEdit* Edit, const std::string& Text) {
    TemporaryChange<TNotifyEvent> detached(Edit->OnChange, nullptr);
    Edit->SetTextProp(Text);
}

void TfmLineSensor::SetQuietly(ui::TKvxEdit* Edit, double Value) {
    TemporaryChange<TNotifyEvent> detached(Edit->OnChange, nullptr);
    Edit->SetFloatValue(Value);
}

// ---- Creation ---------------------------------------------------------------------------------------

void TfmLineSensor::FormCreate(TObject*) {
    // The dock's styler is not part of a layout.
    KvxDockPanel1->SetToolBarStyler(KvxToolBarOfficeStyler1);
    FFirmwareVersion = 0;
    FProgramFolder = ProgramFolder();
    StyleTrackBars();
    ClearDarkFrame();
    Series2->SetActive(false);
    SetQuietly(cb_mode, 2);
    SetQuietly(cb_trange, 2);
    SetQuietly(cb_sfttrigtime_range, 1);
    SetQuietly(cb_imagenum, 0);
    SetQuietly(cb_168BitMode, 0);
    for (ui::TKvxComboBox* format : {cb_xformat, cb_yformat}) {
        TemporaryChange<TNotifyEvent> detached(format->OnChange, nullptr);
        format->SetTextProp("0");
    }
    // The layout's numbers are shown in the user's locale.
    SetQuietly(ed_1value, 50.0);
    SetQuietly(ed_2value, 100.0);
    tb_offset->TrackLabel()->SetFormat("Offset: " + OffsetText(0));
    // The gain of register 0 is 1 V/V, not 0.
    tb_gain->TrackLabel()->SetFormat("Gain: " + GainText(GainOfRegister(tb_gain->Position())));

    FModeText = "Free Running";
    FIntTimeText = MicroText(1053);
    FTrigTimeText = MicroText(500);
    FGainText = GainText(1);
    FOffsetText = OffsetText(0);
    FFullScaleText = "4V";
    FResolutionText = "16Bit";
    FScansText = "1";
    FAverageText = "NO";
    FActiveText = "NO";
    UpdateSettingsBox();

    Series1->SetStockDCPen(true);
    Series1->SetAutoRepaint(false);
    Series2->SetAutoRepaint(true);
    for (chart::TColorLineTool* cursor : {ChartTool4, ChartTool5}) {
        cursor->OnBeginDragLine = [this](chart::TColorLineTool* Sender) { ChartTool5BeginDragLine(Sender); };
        cursor->OnDragLine = [this](chart::TColorLineTool* Sender) { ChartTool5OnDragLine(Sender); };
        cursor->OnEndDragLine = [this](chart::TColorLineTool* Sender) { ChartTool5EndDragLine(Sender); };
    }

    BindAcquisitionHandlers();
    LoadSettings();

    PacketMultiplier = std::clamp<uint8_t>(PacketMultiplier, 1, 8);
    ed_eptimeout->SetValue(EPTimeOut);
    ed_packetmultiplier->SetValue(PacketMultiplier);
    SetQuietly(cb_168BitMode, Mode16Bit ? 1 : 0);
    // The frame format the settings file gave is what the controls and the box show until a camera opens.
    SetQuietly(cb_imagenum, IMGNUM ? 1 : 0);
    FResolutionText = Mode16Bit ? "16Bit" : "8Bit";
    UpdateSettingsBox();
    TransferSize = static_cast<uint32_t>(FPixelCount) * PacketMultiplier * (Mode16Bit ? 2 : 1);
    FMaxIndex = -1;
    FMaxValue = 0;
    FMaxX = 0;

    TCameraLibrary& lib = Library();
    // Also without the library: the settings file takes the time-out back from it when the window closes.
    lib.ls_seteptimeout(EPTimeOut);
    if (!lib.Loaded()) {
        // The stand-ins would answer every call with an error code; say once why instead.
        LibraryReady = 0;
        ShowStatus(lib.ErrorMessage().empty() ? std::string("CAMERA LIBRARY NOT LOADED")
                                              : lib.ErrorMessage());
        return;
    }
    LibraryReady = lib.ls_initialize(0x4000000, TransferSize, 32, 1, "VX_LUMETRA_DEVICE_");
    if (LibraryReady != 0)
        ShowStatus("APPLICATION INITIALIZED");
}

void TfmLineSensor::FormDestroy(TObject*) {
    if (fmLineSensor == this)
        fmLineSensor = nullptr;
}

void TfmLineSensor::FormCloseQuery(TObject*, bool& CanClose) {
    SetCaption(kCaption);
    if (DeviceOpen() || AcquisitionThread)
        CloseDevice();
    SaveSettings();
    CanClose = true;
}

void TfmLineSensor::StyleTrackBars() {
    for (ui::TKvxTrackBar* bar : {tb_tint, tb_gain, tb_offset, tb_refreshinterval, tb_sfttrigtime}) {
        bar->Slider()->SetOffset(2);
        bar->Thumb()->SetShape(ui::trackbar::tsRoundRect);
    }
    tb_fullscale->Slider()->SetOffset(0);
    tb_fullscale->TickMark()->SetPosition(tmTopLeft);
}

void TfmLineSensor::KvxFormStyler1Change(TObject*) {
    StyleTrackBars();
}

// ---- Device -----------------------------------------------------------------------------------------

bool TfmLineSensor::DeviceOpen() const {
    return Library().ls_currentdeviceindex() >= 0;
}

void TfmLineSensor::UpdateCaption() {
    const char* name = Library().ls_getsensorname(FSensorType);
    if (name != nullptr && *name != '\0')
        SetCaption(std::string(kCaption) + " (" + name + ")");
    else
        SetCaption(kCaption);
}

int TfmLineSensor::OpenDevice(int Index, std::string& Message) {
    TCameraLibrary& lib = Library();
    if (DeviceOpen())
        CloseDevice();
    Message = "USB DEVICE READY";
    int code = lib.ls_opendevicebyindex(Index);
    if (code != 0) {
        Message = lib.ErrorText(code);
        return code;
    }
    lib.ls_setstate(0);
    FFirmwareVersion = lib.ls_getfwversion(Index);

    uint8_t cfg = 0;
    if (lib.ls_getcfg1(&cfg) == 0) {
        IMGNUM = (cfg & 1) != 0;
        const bool mode16 = (cfg & 2) != 0;
        // The frame is rebuilt in pixels: a dark frame taken on another scale, or in the other
        // resolution, would be shown and subtracted where it does not belong.
        if (mode16 != Mode16Bit || !InPixelUnits())
            ClearDarkFrame();
        Mode16Bit = mode16;
        ResetFrame(FPixelCount, true, Mode16Bit);
    }
    uint16_t type = 0, pixels = 0;
    if (lib.ls_getsensortype(&type, &pixels) == 0) {
        if (pixels < 1 || pixels > kMaxPixels) {
            // More than a frame buffer holds, or nothing at all: the camera is not used.
            lib.ls_closedevice();
            Message =
                "CAMERA REFUSED: " + IntToStr(pixels) + " PIXELS (1.." + IntToStr(kMaxPixels) + " SUPPORTED)";
            return kPixelCountRefused;
        }
        FSensorType = type;
        if (pixels != FPixelCount) {
            FPixelCount = pixels;
            ResetToPixels(pixels, Mode16Bit);
        }
    }
    uint32_t length = 0;
    if (lib.ls_getpacketlength(&length) == 0 && TransferSize / PacketMultiplier != length) {
        CloseDevice();
        TransferSize = PacketMultiplier * length;
        code = lib.ls_setpacketlength(TransferSize);
        if (code == 0)
            code = lib.ls_opendevicebyindex(Index);
    }
    uint16_t mcuType = FSensorType;
    if (lib.ls_getmcusensortype(&mcuType) == 0 && mcuType != FSensorType)
        Message = "WARNING: DIFFERENT SENSOR BOARDS";
    uint32_t min = 0, max = 0;
    if (lib.ls_getminmaxtime(mcuType, &min, &max) == 0)
        tb_tint->SetMin(static_cast<int>(min));
    if (FFirmwareVersion >= 0x0116) {
        if (lib.ls_getminmaxtrigtime(&min, &max) == 0)
            tb_sfttrigtime->SetMin(static_cast<int>(min));
    } else {
        tb_sfttrigtime->SetMin(0);
    }
    if (code != 0)
        Message = lib.ErrorText(code);
    return code;
}

void TfmLineSensor::ReadCameraState() {
    TCameraLibrary& lib = Library();
    const bool softTrigger = FFirmwareVersion >= 0x0114;
    tb_sfttrigtime->SetEnabled(softTrigger);
    cb_sfttrigtime_range->SetEnabled(softTrigger);
    if (softTrigger) {
        uint32_t t = 0;
        if (lib.ls_getsofttrigtime(&t) == 0) {
            if (tb_sfttrigtime->Max() < static_cast<int64_t>(t)) {
                int index = SoftTriggerRangeIndexFor(t);
                // Beyond the last range the slider offers the last one.
                if (SoftTriggerRangeMaxFor(t) == 0)
                    index = static_cast<int>(std::size(kSoftTriggerRanges)) - 1;
                SetQuietlyMax(tb_sfttrigtime, SoftTriggerRangeMax(index));
                SetQuietly(cb_sfttrigtime_range, index);
                cb_sfttrigtime_range->SetTag(index);
            }
            SetQuietly(tb_sfttrigtime, static_cast<int>(std::min<uint32_t>(t, INT32_MAX)));
            tb_sfttrigtime->SetTag(tb_sfttrigtime->Position());
            tb_sfttrigtime->TrackLabel()->SetFormat(IntToStr(tb_sfttrigtime->Position()) + kMicro + " - " +
                                                    FrequencyText(t));
            FTrigTimeText = MicroText(t);
        }
    } else {
        FTrigTimeText.clear();
    }

    uint16_t adc = 0;
    if (lib.ls_getadcconfig(&adc) == 0) {
        const int fullScale = (adc >> 7) & 1;
        SetQuietly(tb_fullscale, fullScale);
        tb_fullscale->SetTag(fullScale);
        FFullScaleText = fullScale != 0 ? "4V" : "2V";
    }
    uint16_t gain = 0;
    if (lib.ls_getadcpga1(&gain) == 0) {
        SetQuietly(tb_gain, gain);
        tb_gain->SetTag(tb_gain->Position());
        const float g = GainOfRegister(gain);
        tb_gain->TrackLabel()->SetFormat("Gain: " + GainText(g));
        FGainText = GainText(g);
    }
    uint16_t offset = 0;
    if (lib.ls_getadcoffset1(&offset) == 0) {
        const int magnitude = offset & 255;
        SetQuietly(tb_offset, (offset & 256) != 0 ? -magnitude : magnitude);
        tb_offset->SetTag(tb_offset->Position());
        const float mV = OffsetOfRegister(offset);
        tb_offset->TrackLabel()->SetFormat("Offset: " + OffsetText(mV));
        FOffsetText = OffsetText(mV);
    }
    uint32_t t = 0;
    if (lib.ls_getinttime(&t) == 0) {
        if (tb_tint->Max() < static_cast<int64_t>(t)) {
            int index = IntegrationRangeIndexFor(t);
            if (IntegrationRangeMaxFor(t) == 0)
                index = static_cast<int>(std::size(kIntegrationRanges)) - 1;
            SetQuietlyMax(tb_tint, IntegrationRangeMax(index));
            SetQuietly(cb_trange, index);
            cb_trange->SetTag(index);
        }
        SetQuietly(tb_tint, static_cast<int>(std::min<uint32_t>(t, INT32_MAX)));
        tb_tint->SetTag(tb_tint->Position());
        FIntTimeText = MicroText(t);
    }
    uint8_t state = 0;
    if (lib.ls_getstate(&state) == 0) {
        btn_start->SetDown(state != 0);
        btn_start->SetCaption(state != 0 ? "Stop" : "Start");
    }
    uint8_t mode = 0;
    if (lib.ls_getmode(&mode) == 0) {
        TStrings* items = cb_mode->Items();
        items->Clear();
        for (const char* name : {"ONE_SHOT", "EXT_TRIGGER", "FREE_RUNNING", "EXT_EXP_CTRL"})
            items->Add(name);
        if (softTrigger)
            items->Add("SOFT_TRIGGER");
        cb_mode->SetDropDownCount(items->Count());
        const int index = mode < items->Count() ? mode : 2;
        SetQuietly(cb_mode, index);
        cb_mode->SetTag(index);
        FModeText = items->Strings(index);
    }
    uint8_t cfg = 0;
    if (lib.ls_getcfg1(&cfg) == 0) {
        SetQuietly(cb_imagenum, cfg & 1);
        SetQuietly(cb_168BitMode, (cfg >> 1) & 1);
        FResolutionText = (cfg & 2) != 0 ? "16Bit" : "8Bit";
        ed_numframes->SetValue(((cfg >> 2) & 31) + 1);
    }
    UpdateSettingsBox();
}

void TfmLineSensor::AfterOpening(int Code, const std::string& Message, bool FromEnumeration) {
    if (Code != 0) {
        // No device is open now, whatever was open before.
        btn_closedevice->SetCaption("Open Device");
        btn_closedevice->SetDown(false);
        ShowStatus(Message);
        return;
    }
    ReadCameraState();
    UpdateCaption();
    StartAcquisition();
    if (FromEnumeration)
        SetQuietly(cb_devices, 0);
    btn_closedevice->SetCaption("Close Device");
    btn_closedevice->SetDown(true);
    if (FromEnumeration)
        btn_closedevice->SetEnabled(true);
    ShowStatus(Message);
}

void TfmLineSensor::btn_enumClick(TObject*) {
    TCameraLibrary& lib = Library();
    btn_closedevice->SetEnabled(false);
    // An open device is closed below; until another opens, the button offers to open one.
    btn_closedevice->SetCaption("Open Device");
    btn_closedevice->SetDown(false);
    cb_devices->Items()->Clear();
    if (!lib.Loaded()) {
        ShowStatus(lib.ErrorMessage());
        return;
    }
    if (DeviceOpen())
        CloseDevice();
    const int n = static_cast<int8_t>(lib.ls_enumdevices() & 0xFF);
    ShowStatus(IntToStr(n) + " device(s) found");
    if (n <= 0) {
        ShowStatus("NO USB DEVICES ATTACHED!");
        return;
    }
    for (int i = 0; i < n; ++i) {
        const char* product = lib.ls_getproductname(i);
        const char* serial = lib.ls_getserialnumber(i);
        cb_devices->Items()->Add(std::string(product != nullptr ? product : "") + " " +
                                 (serial != nullptr ? serial : ""));
    }
    std::string message;
    const int code = OpenDevice(0, message);
    AfterOpening(code, message, true);
}

void TfmLineSensor::cb_devicesChange(TObject*) {
    if (DeviceOpen())
        CloseDevice();
    std::string message;
    const int code = OpenDevice(cb_devices->ItemIndex(), message);
    AfterOpening(code, message, false);
}

void TfmLineSensor::btn_closedeviceClick(TObject* Sender) {
    if (cb_devices->Items()->Count() == 0)
        return;
    if (!DeviceOpen()) {
        cb_devicesChange(Sender);
        return;
    }
    CloseDevice();
    btn_closedevice->SetCaption("Open Device");
    btn_closedevice->SetDown(false);
    ShowStatus("USB DEVICE CLOSED");
}

// ---- Camera settings --------------------------------------------------------------------------------

void TfmLineSensor::btn_startClick(TObject*) {
    const bool down = btn_start->Down();
    const int code = Library().ls_setstate(down ? 1 : 0);
    if (code == 0)
        btn_start->SetCaption(down ? "Stop" : "Start");
    else
        btn_start->SetDown(!down);
    ShowResult("SET STATE: ", code);
}

void TfmLineSensor::Acn_startExecute(TObject* Sender) {
    btn_start->SetDown(!btn_start->Down());
    btn_startClick(Sender);
}

void TfmLineSensor::cb_modeChange(TObject*) {
    const int index = cb_mode->ItemIndex();
    const int code = Library().ls_setmode(index);
    if (code == 0) {
        cb_mode->SetTag(index);
        FModeText = index >= 0 && index < cb_mode->Items()->Count() ? cb_mode->Items()->Strings(index) : "";
        UpdateSettingsBox();
        if (index == 0) {
            btn_start->SetDown(false);
            btn_start->SetCaption("Start");
        }
    } else {
        SetQuietly(cb_mode, cb_mode->Tag());
    }
    ShowResult("SET MODE: ", code);
}

void TfmLineSensor::tb_tintChange(TObject*) {
    {
        TemporaryChange<TNotifyEvent> detached(tb_tint->OnChange, nullptr);
        const int code = Library().ls_setinttime(tb_tint->Position());
        if (code == 0) {
            tb_tint->SetTag(tb_tint->Position());
            FIntTimeText = MicroText(tb_tint->Position());
        } else {
            tb_tint->SetPosition(tb_tint->Tag());
        }
        ShowResult("SET INT TIME: ", code);
    }
    UpdateSettingsBox();
}

void TfmLineSensor::tb_gainChange(TObject*) {
    TemporaryChange<TNotifyEvent> detached(tb_gain->OnChange, nullptr);
    const int code = Library().ls_setadcpga1(static_cast<uint16_t>(tb_gain->Position()));
    if (code == 0) {
        tb_gain->SetTag(tb_gain->Position());
        const float g = GainOfRegister(tb_gain->Position());
        tb_gain->TrackLabel()->SetFormat("Gain: " + GainText(g));
        FGainText = GainText(g);
        UpdateSettingsBox();
    } else {
        tb_gain->SetPosition(tb_gain->Tag());
    }
    ShowResult("SET GAIN: ", code);
}

void TfmLineSensor::tb_offsetChange(TObject*) {
    TemporaryChange<TNotifyEvent> detached(tb_offset->OnChange, nullptr);
    const int position = tb_offset->Position();
    if (std::abs(static_cast<float>(position) * 1.2f) > 300.0f) {
        tb_offset->SetPosition(tb_offset->Tag());
        return;
    }
    const int word = OffsetRegisterOfPosition(position);
    const int code = Library().ls_setadcoffset1(static_cast<uint16_t>(word));
    if (code == 0) {
        tb_offset->SetTag(position);
        const float mV = OffsetOfRegister(word);
        tb_offset->TrackLabel()->SetFormat("Offset: " + OffsetText(mV));
        FOffsetText = OffsetText(mV);
        UpdateSettingsBox();
    } else {
        tb_offset->SetPosition(tb_offset->Tag());
    }
    ShowResult("SET OFFSET: ", code);
}

void TfmLineSensor::tb_fullscaleChange(TObject*) {
    TemporaryChange<TNotifyEvent> detached(tb_fullscale->OnChange, nullptr);
    const int position = tb_fullscale->Position();
    const int code = Library().ls_setadcconfig(static_cast<uint16_t>(position * 128));
    if (code == 0) {
        tb_fullscale->SetTag(position);
        FFullScaleText = position != 0 ? "4V" : "2V";
        UpdateSettingsBox();
    } else {
        tb_fullscale->SetPosition(tb_fullscale->Tag());
    }
    ShowResult("SET FULL SCALE: ", code);
}

void TfmLineSensor::tb_fullscaleDrawTick(TObject*, TCanvas*, TPoint, int Position, TTickMark, int&, TColor&,
                                         TColor&, std::string& Text, bool&) {
    Text = Position == 0 ? "2V" : "4V";
}

void TfmLineSensor::btn_savecamerasettingsClick(TObject*) {
    ShowResult("SAVE SETTINGS: ", Library().ls_savesettings());
}

void TfmLineSensor::btn_setcfgClick(TObject*) {
    const int frames = ed_numframes->Value();
    const int resolution = cb_168BitMode->ItemIndex() > 0 ? 1 : 0;
    const int imageNumber = cb_imagenum->ItemIndex() > 0 ? 1 : 0;
    const int cfg = ((frames - 1) & 31) * 4 + resolution * 2 + imageNumber;
    AnnounceFrameFormat(resolution != 0, imageNumber != 0);
    const int code = Library().ls_setcfg1(static_cast<uint8_t>(cfg));
    if (code == 0) {
        // The camera sends the new format from now on; frames are read and shown in it at once. What is
        // shown of the old format goes: points a shorter frame does not reach would keep old values, and
        // a dark frame in the other resolution would be subtracted from the new frames.
        if (Mode16Bit != (resolution != 0))
            ClearDarkFrame();
        if (Mode16Bit != (resolution != 0) || IMGNUM != (imageNumber != 0)) {
            std::vector<double>& ys = Series1->YValues()->Value();
            std::fill(ys.begin(), ys.begin() + Series1->Count(), 0.0);
            Series1->YValues()->SetModified(true);
            FMaxIndex = -1;
            Chart1->Invalidate();
        }
        Mode16Bit = resolution != 0;
        IMGNUM = imageNumber != 0;
        FResolutionText = Mode16Bit ? "16Bit" : "8Bit";
        ResetFrame(FPixelCount, false, Mode16Bit);
        UpdateSettingsBox();
    } else {
        // The camera keeps its format: so does the reading.
        AnnounceFrameFormat(Mode16Bit, IMGNUM);
    }
    ShowResult("SET CFG1: ", code);
}

void TfmLineSensor::btn_setepClick(TObject*) {
    const int code = Library().ls_seteptimeout(ed_eptimeout->Value());
    // The transfer size is divided by it when a device opens: 0 would divide by zero.
    PacketMultiplier = static_cast<uint8_t>(std::clamp(ed_packetmultiplier->Value(), 1, 8));
    ed_packetmultiplier->SetValue(PacketMultiplier);
    ShowError(code);
}

void TfmLineSensor::tb_sfttrigtimeChange(TObject*) {
    {
        TemporaryChange<TNotifyEvent> detached(tb_sfttrigtime->OnChange, nullptr);
        const int position = tb_sfttrigtime->Position();
        const int code = Library().ls_setsofttrigtime(position);
        if (code == 0) {
            tb_sfttrigtime->SetTag(position);
            tb_sfttrigtime->TrackLabel()->SetFormat(
                IntToStr(position) + kMicro + " - " +
                FrequencyText(static_cast<uint32_t>(std::max(position, 0))));
            FTrigTimeText = MicroText(position);
        } else {
            tb_sfttrigtime->SetPosition(tb_sfttrigtime->Tag());
        }
        ShowResult("SET SOFT TRIG TIME: ", code);
    }
    UpdateSettingsBox();
}

void TfmLineSensor::RangeChange(ui::TKvxComboBox* Combo, ui::TKvxTrackBar* Bar, bool SoftTrigger) {
    const int index = Combo->ItemIndex();
    const int32_t v = SoftTrigger ? SoftTriggerRangeMax(index) : IntegrationRangeMax(index);
    if (v >= Bar->Position()) {
        Bar->SetMax(v);
        Combo->SetTag(index);
        return;
    }
    const int oldMax = Bar->Max();
    // Lowering the maximum lowers the position through the slider's own handler, which sends it.
    Bar->SetMax(v);
    TemporaryChange<TNotifyEvent> detached(Bar->OnChange, nullptr);
    TCameraLibrary& lib = Library();
    const int position = Bar->Position();
    const int code = SoftTrigger ? lib.ls_setsofttrigtime(position) : lib.ls_setinttime(position);
    if (code == 0) {
        Bar->SetTag(position);
        Combo->SetTag(index);
        if (SoftTrigger)
            Bar->TrackLabel()->SetFormat(IntToStr(position) + kMicro + " - " +
                                         FrequencyText(static_cast<uint32_t>(std::max(position, 0))));
    } else {
        Bar->SetMax(oldMax);
        Bar->SetPosition(Bar->Tag());
        SetQuietly(Combo, Combo->Tag());
    }
    ShowResult(SoftTrigger ? "SET SOFT TRIG TIME: " : "SET INT TIME: ", code);
}

void TfmLineSensor::cb_trangeChange(TObject*) {
    RangeChange(cb_trange, tb_tint, false);
}

void TfmLineSensor::cb_sfttrigtime_rangeChange(TObject*) {
    RangeChange(cb_sfttrigtime_range, tb_sfttrigtime, true);
}

// ---- Live chart -------------------------------------------------------------------------------------

void TfmLineSensor::SetFixedYRange(bool Mode16) {
    Chart1->LeftAxis()->SetAxisRange(0.0, Mode16 ? 66000.0 : 270.0);
}

void TfmLineSensor::ResetFrame(uint16_t Count, bool Rebuild, bool Mode16) {
    if (Rebuild) {
        Series1->Clear();
        for (int i = 0; i < Count; ++i)
            Series1->AddXY(i, 0);
    }
    if (!Chart1->LeftAxis()->AutomaticMaximum())
        SetFixedYRange(Mode16);
}

void TfmLineSensor::ResetToPixels(uint16_t Count, bool Mode16) {
    ClearDarkFrame();
    Series1->Clear();
    Chart1->BottomAxis()->Title()->SetCaption("Pixel");
    Chart1->LeftAxis()->Title()->SetCaption("Counts");
    SetQuietly(ed_xtitle, std::string("Pixel"));
    SetQuietly(ed_ytitle, std::string("Counts"));
    Chart1->BottomAxis()->SetAxisValuesFormat("0");
    Chart1->LeftAxis()->SetAxisValuesFormat("0");
    for (ui::TKvxComboBox* format : {cb_xformat, cb_yformat}) {
        TemporaryChange<TNotifyEvent> detached(format->OnChange, nullptr);
        format->SetTextProp("0");
    }
    FXMultiplier = 0;
    SetQuietly(ed_multiplier, std::string("0"));
    ResetFrame(Count, true, Mode16);
    std::vector<double>& xs = Series1->XValues()->Value();
    for (int i = 0; i < Series1->Count(); ++i)
        xs[i] = i;
    Series1->XValues()->SetModified(true);
    Series1->YValues()->SetModified(true);
    Series1->XValues()->RecomputeStatistics();
    PlaceCursorsInTheMiddle();
}

void TfmLineSensor::PlaceCursorsInTheMiddle() {
    const double first = XFirst();
    const double width = XLast() - first;
    ChartTool4->SetValue(first + width / 2 - width / 20);
    ChartTool5->SetValue(first + width / 2 + width / 20);
    UpdateCursorEdits();
}

bool TfmLineSensor::ApplyXScale(uint16_t Count, int P1, int P2, double V1, double V2, int M, bool Mode16,
                                bool Rebuild) {
    const double factor = PowerOfTen(M);
    return ApplyAxisScale(Count, P1, P2, V1 * factor, V2 * factor, M, Mode16, Rebuild);
}

bool TfmLineSensor::ApplyAxisScale(uint16_t Count, int P1, int P2, double A, double B, int M, bool Mode16,
                                   bool Rebuild) {
    const int m = std::clamp(M, kMinExponent, kMaxExponent);
    const double slope = P1 != P2 ? (B - A) / (static_cast<double>(P2) - P1) : 0.0;
    const double offset = A - P1 * slope;
    std::string fault;
    if (P1 == P2)
        fault = "X-SCALE NOT CHANGED: THE TWO POINTS NEED DIFFERENT PIXELS";
    else if (!std::isfinite(slope) || !std::isfinite(offset) || !std::isfinite(A) || !std::isfinite(B) ||
             slope == 0.0)
        fault = "X-SCALE NOT CHANGED: THE VALUES GIVE NO USABLE SCALE";
    if (!fault.empty()) {
        ShowStatus(fault);
        // A window still needs its frame: it gets pixel units.
        if (Rebuild)
            ResetToPixels(Count, Mode16);
        return false;
    }

    ClearDarkFrame();
    FXMultiplier = m;
    SetQuietly(ed_multiplier, IntToStr(m));
    if (!Chart1->LeftAxis()->AutomaticMaximum())
        SetFixedYRange(Mode16);
    if (Rebuild) {
        Series1->Clear();
        for (int i = 0; i < Count; ++i)
            Series1->AddXY(i, 0);
    }
    std::vector<double>& xs = Series1->XValues()->Value();
    const int n = std::min<int>(Count, Series1->Count());
    for (int i = 0; i < n; ++i)
        xs[i] = i * slope + offset;
    Series1->XValues()->SetModified(true);
    Series1->XValues()->RecomputeStatistics();
    if (Rebuild)
        PlaceCursorsInTheMiddle();
    Chart1->Invalidate();
    return true;
}

bool TfmLineSensor::InPixelUnits() const {
    const int n = Series1->Count();
    return n == 0 || (XFirst() == 0.0 && XLast() == n - 1);
}

double TfmLineSensor::XFirst() const {
    return Series1->Count() > 0 ? Series1->XValues()->Items(0) : 0.0;
}

double TfmLineSensor::XLast() const {
    const int n = Series1->Count();
    return n > 0 ? Series1->XValues()->Items(n - 1) : 0.0;
}

double TfmLineSensor::XStep() const {
    const int n = Series1->Count();
    return n > 1 ? (XLast() - XFirst()) / (n - 1) : 0.0;
}

int TfmLineSensor::PixelOfValue(double Value) const {
    const double step = XStep();
    if (step == 0.0 || !std::isfinite(step))
        return 0;
    return static_cast<int>(std::clamp<int64_t>(RoundToInt((Value - XFirst()) / step), INT32_MIN, INT32_MAX));
}

void TfmLineSensor::UpdateCursorEdits() {
    const double factor = PowerOfTen(FXMultiplier);
    SetQuietly(ed_1value, ChartTool4->Value() / factor);
    SetQuietly(ed_2value, ChartTool5->Value() / factor);
    SetQuietly(ed_1pixel, IntToStr(PixelOfValue(ChartTool4->Value())));
    SetQuietly(ed_2pixel, IntToStr(PixelOfValue(ChartTool5->Value())));
}

void TfmLineSensor::LimitCursor(chart::TColorLineTool* Cursor) {
    if (Series1->Count() == 0)
        return;
    const double min = Series1->MinX();
    const double max = Series1->MaxX();
    if (Cursor->Value() < min)
        Cursor->SetValue(min);
    else if (Cursor->Value() > max)
        Cursor->SetValue(max);
}

std::string TfmLineSensor::FormatBottom(double Value) const {
    return FormatFloat(Chart1->BottomAxis()->AxisValuesFormat(), Value);
}

void TfmLineSensor::PlaceLabel(chart::TAnnotationTool* Label, int CentreX, int BottomY) {
    // Measured with its present text: the box's size from the last paint may belong to another text.
    const chart::TAnnotationGeometry g = Label->Geometry();
    Label->SetLeft(CentreX - (g.Rect.Right - g.Rect.Left) / 2);
    Label->SetTop(BottomY - (g.Rect.Bottom - g.Rect.Top));
}

void TfmLineSensor::PlaceLabelAtMouse(chart::TAnnotationTool* Label, int Gap) {
    const TPoint mouse = Chart1->CursorClientPos();
    PlaceLabel(Label, mouse.X, mouse.Y - Gap);
}

void TfmLineSensor::ChartTool5BeginDragLine(chart::TColorLineTool* Sender) {
    ChartTool3->SetText(FormatBottom(Sender->Value()));
    PlaceLabelAtMouse(ChartTool3, 5);
    UpdateCursorEdits();
    ChartTool3->SetActive(true);
}

void TfmLineSensor::ChartTool5OnDragLine(chart::TColorLineTool* Sender) {
    LimitCursor(Sender);
    ChartTool3->SetText(FormatBottom(Sender->Value()));
    PlaceLabelAtMouse(ChartTool3, 5);
    UpdateCursorEdits();
}

void TfmLineSensor::ChartTool5EndDragLine(chart::TColorLineTool*) {
    ChartTool3->SetActive(false);
}

void TfmLineSensor::CursorFromPixelEdit(ui::TKvxEdit* Edit, chart::TColorLineTool* Cursor) {
    const int count = std::min<int>(FPixelCount, Series1->Count());
    if (count <= 0)
        return;
    const int p = std::clamp(Edit->IntegerValue(), 0, count - 1);
    Cursor->SetValue(Series1->XValues()->Items(p));
    UpdateCursorEdits();
}

void TfmLineSensor::ed_1pixelChange(TObject*) {
    CursorFromPixelEdit(ed_1pixel, ChartTool4);
}

void TfmLineSensor::ed_2pixelChange(TObject*) {
    CursorFromPixelEdit(ed_2pixel, ChartTool5);
}

void TfmLineSensor::btn_submitscaleClick(TObject*) {
    const int m = std::clamp(ed_multiplier->IntegerValue(), kMinExponent, kMaxExponent);
    const int last = std::max(FPixelCount - 1, 0);
    const int p1 = std::clamp(ed_1pixel->IntegerValue(), 0, last);
    const int p2 = std::clamp(ed_2pixel->IntegerValue(), 0, last);
    const double v1 = ed_1value->FloatValue();
    const double v2 = ed_2value->FloatValue();
    if (!ApplyXScale(FPixelCount, p1, p2, v1, v2, m, Mode16Bit, false))
        return;
    const double factor = PowerOfTen(m);
    ChartTool4->SetValue(v1 * factor);
    ChartTool5->SetValue(v2 * factor);
    LimitCursor(ChartTool4);
    LimitCursor(ChartTool5);
    UpdateCursorEdits();
}

void TfmLineSensor::cb_vcursorClick(TObject*) {
    const bool on = cb_vcursor->Checked();
    ChartTool4->SetActive(on);
    ChartTool5->SetActive(on);
    btn_submitscale->SetEnabled(on);
    LimitCursor(ChartTool4);
    LimitCursor(ChartTool5);
    UpdateCursorEdits();
}

void TfmLineSensor::cb_xformatChange(TObject* Sender) {
    auto* combo = static_cast<ui::TKvxComboBox*>(Sender);
    TChartAxis* axis = combo->Tag() == 2 ? Chart1->LeftAxis() : Chart1->BottomAxis();
    axis->SetAxisValuesFormat(combo->Text());
}

void TfmLineSensor::ed_xtitleChange(TObject* Sender) {
    auto* edit = static_cast<ui::TKvxEdit*>(Sender);
    TChartAxis* axis = edit->Tag() == 2 ? Chart1->LeftAxis() : Chart1->BottomAxis();
    axis->Title()->SetCaption(edit->Text());
}

void TfmLineSensor::cb_YAxisAutoMaxClick(TObject*) {
    Chart1->LeftAxis()->SetAutomaticMaximum(cb_YAxisAutoMax->Checked());
    if (!cb_YAxisAutoMax->Checked())
        SetFixedYRange(Mode16Bit);
}

void TfmLineSensor::Chart1UndoZoom(TObject*) {
    if (!Chart1->LeftAxis()->AutomaticMaximum())
        SetFixedYRange(Mode16Bit);
}

void TfmLineSensor::cb_XAxisInvertedClick(TObject*) {
    Chart1->BottomAxis()->SetInverted(cb_XAxisInverted->Checked());
}

void TfmLineSensor::cb_camerasettingsClick(TObject*) {
    ChartTool14->SetActive(cb_camerasettings->Checked());
}

void TfmLineSensor::KvxOfficeCheckBox1Click(TObject*) {
    ChartTool1->SetActive(KvxOfficeCheckBox1->Checked());
}

void TfmLineSensor::KvxOfficeCheckBox2Click(TObject*) {
    ChartTool2->SetActive(KvxOfficeCheckBox2->Checked());
    ChartTool13->SetActive(KvxOfficeCheckBox2->Checked());
}

void TfmLineSensor::cb_show_dfClick(TObject*) {
    Series2->SetActive(cb_show_df->Checked());
}

void TfmLineSensor::btn_df_captureClick(TObject*) {
    CaptureDarkFrame();
}

void TfmLineSensor::ClearDarkFrame() {
    FDarkFrameValid = false;
    FDarkFrameCount = 0;
    Series2->Clear();
}

void TfmLineSensor::CaptureDarkFrame() {
    ClearDarkFrame();
    const int n = Series1->Count();
    for (int i = 0; i < n; ++i)
        Series2->AddXY(Series1->XValues()->Items(i), Series1->YValues()->Items(i));
    FDarkFrameCount = static_cast<uint16_t>(n);
    FDarkFrameTime = Now();
    FDarkFrameValid = true;
    lb_df_time->SetCaption(FormatDateTime("dd/mm/yy hh:mm:ss", FDarkFrameTime));
    lb_df_count->SetCaption(IntToStr(n));
}

void TfmLineSensor::Chart1BeforeDrawSeries(TObject*) {
    if (ChartTool2->Active()) {
        const int index = ChartTool2->Point();
        if (index < 0 || index >= Series1->Count()) {
            ChartTool13->SetText("");
        } else {
            ChartTool13->SetText(IntToStr(RoundToInt(Series1->YValues()->Items(index))) + " @ " +
                                 FormatBottom(Series1->XValues()->Items(index)));
            const TPoint mouse = ChartTool2->MousePoint();
            PlaceLabel(ChartTool13, mouse.X, mouse.Y);
        }
    }
    if (FMaxIndex < 0 || FMaxIndex >= Series1->Count()) {
        ChartTool1->SetText("");
        return;
    }
    FMaxX = Series1->XValues()->Items(FMaxIndex);
    ChartTool1->SetText("Max " + IntToStr(RoundToInt(FMaxValue)) + " @ " + FormatBottom(FMaxX));
    const int x = Series1->CalcXPosValue(FMaxX);
    const int y = Series1->CalcYPosValue(FMaxValue);
    ChartTool1->Callout()->SetXPosition(x);
    ChartTool1->Callout()->SetYPosition(y);
    PlaceLabel(ChartTool1, x, y - 5);
}
