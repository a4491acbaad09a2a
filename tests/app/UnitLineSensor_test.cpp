#include "app/UnitLineSensor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/CameraDefs.h"
#include "app/UnitAbout.h"
#include "chart/Chart.h"
#include "chart/PlotTools.h"
#include "chart/Series.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/KvxCombo.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxPanel.h"
#include "ui/controls/KvxSpin.h"
#include "ui/controls/KvxTrackBar.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/KvxOfficePager.h"
#include "ui/office/KvxOfficePagerStylers.h"
#include "ui/office/KvxOfficeStatusBar.h"
#include "ui/office/KvxOfficeStatusBarStylers.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStylers.h"
#include "ui/toolbars/ToolbarsClasses.h"

using namespace plat;

namespace {

// Sets simulator variables for a scope; the library reads them when the window initialises it.
class TScopedEnv {
public:
    TScopedEnv(std::initializer_list<std::pair<const char*, const char*>> vars) {
        for (const auto& [name, value] : vars) {
            FNames.push_back(name);
            setenv(name, value, 1);
        }
    }
    ~TScopedEnv() {
        for (const std::string& name : FNames)
            unsetenv(name.c_str());
    }

private:
    std::vector<std::string> FNames;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t cr; (cr = text.find('\r', start)) != std::string::npos; start = cr + 1)
        lines.push_back(text.substr(start, cr - start));
    lines.push_back(text.substr(start));
    return lines;
}

TEST(LiveWindowTexts, FrequencyGainOffsetAndRangesInTheUsersLocale) {
    const struct {
        uint32_t Period;
        const char* Text;
    } frequencies[] = {
        {0, ""}, {500, "2.00 kHz"}, {1, "1.00 MHz"}, {2000000, "0.50 Hz"}, {1053, "949.67 Hz"}};
    for (const auto& c : frequencies)
        EXPECT_EQ(TfmLineSensor::FrequencyText(c.Period), c.Text) << c.Period;
    {
        TScopedFormatSettings comma;
        FormatSettings().DecimalSeparator = ',';
        EXPECT_EQ(TfmLineSensor::FrequencyText(500), "2,00 kHz");
        EXPECT_EQ(Format("%.4f", {double(TfmLineSensor::GainOfRegister(21))}), "1,3846");
    }

    const struct {
        int Register;
        const char* Gain;
    } gains[] = {{0, "1.0000"}, {21, "1.3846"}, {63, "6.0000"}, {-5, "1.0000"}, {70, "6.0000"}};
    for (const auto& c : gains)
        EXPECT_EQ(Format("%.4f", {double(TfmLineSensor::GainOfRegister(c.Register))}), c.Gain) << c.Register;

    EXPECT_EQ(TfmLineSensor::OffsetRegisterOfPosition(-250), 506);
    EXPECT_EQ(TfmLineSensor::OffsetRegisterOfPosition(250), 250);
    EXPECT_EQ(TfmLineSensor::OffsetRegisterOfPosition(0), 0);
    EXPECT_FLOAT_EQ(TfmLineSensor::OffsetOfRegister(506), -300.0f);
    EXPECT_FLOAT_EQ(TfmLineSensor::OffsetOfRegister(255), 300.0f) << "clamped";
    EXPECT_FLOAT_EQ(TfmLineSensor::OffsetOfRegister(256 + 10), -12.0f);

    const struct {
        int64_t Time;
        int IntIndex;
        int32_t IntMax;
        int SoftIndex;
        int32_t SoftMax;
    } ranges[] = {
        {750, 0, 2000, 1, 1000}, {7000, 2, 10000, 3, 10000}, {25000000, 10, 30000000, 0, 0},
        {40000000, 0, 0, 0, 0},  {2000, 0, 2000, 2, 5000},   {1000000, 6, 1000000, 7, 1000000},
    };
    for (const auto& c : ranges) {
        EXPECT_EQ(TfmLineSensor::IntegrationRangeIndexFor(c.Time), c.IntIndex) << c.Time;
        EXPECT_EQ(TfmLineSensor::IntegrationRangeMaxFor(c.Time), c.IntMax) << c.Time;
        EXPECT_EQ(TfmLineSensor::SoftTriggerRangeIndexFor(c.Time), c.SoftIndex) << c.Time;
        EXPECT_EQ(TfmLineSensor::SoftTriggerRangeMaxFor(c.Time), c.SoftMax) << c.Time;
    }
    EXPECT_EQ(TfmLineSensor::IntegrationRangeMax(11), 10000) << "outside the table";
    EXPECT_EQ(TfmLineSensor::SoftTriggerRangeMax(-1), 1000) << "outside the table";

    EXPECT_EQ(TfmLineSensor::PowerOfTen(-9), 1e-9);
    EXPECT_EQ(TfmLineSensor::PowerOfTen(99), 1e30) << "the exponent is limited";
    EXPECT_EQ(TfmLineSensor::PowerOfTen(-99), 1e-30);
}

// The live window as the program holds it: an MDI child of a main window, after the About box that owns
// the application styler, talking to the simulated camera.
class LiveWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // A settings file of its own, absent at the start: every window begins from the defaults. Each test
        // has its folder, for tests run side by side.
        const std::string folder = TestOutputDir("app") + "/livewin/" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(folder);
        std::filesystem::remove(folder + "/lumcam.Ini");
        SetProgramFolderOverride(folder);
        RegisterStandardClasses();
        ui::RegisterToolbarsClasses();
        chart::RegisterChartToolClasses();
        ASSERT_TRUE(library.LoadFrom(LUMCAM_LIBRARY_DIR)) << library.ErrorMessage();
        TfmLineSensor::SetDefaultCameraLibrary(&library);
        about = NewForm<TfmAbout>(Application);
        main = NewForm<TForm>(Application);
        main->SetFormStyle(fsMDIForm);
        main->SetCaption("Lumetra");
        main->SetBounds(0, 0, 1280, 860);
        Application->SetMainForm(main);
        main->Show();
    }
    void TearDown() override {
        if (fmLineSensor != nullptr) {
            if (library.ls_currentdeviceindex() >= 0)
                library.ls_closedevice();
            fmLineSensor->Free();
        }
        TfmLineSensor::SetDefaultCameraLibrary(nullptr);
        SetProgramFolderOverride("");
    }

    TfmLineSensor* Open() {
        auto* window = NewForm<TfmLineSensor>(main);
        driver.Pump();
        return window;
    }

    // Brings a page of the left pager to the front and opens a collapsed panel, as the user does before
    // reaching its controls.
    void Reach(ui::pager::TKvxOfficePage* page, ui::TKvxPanel* panel = nullptr) {
        fmLineSensor->KvxOfficePager1->SetActivePage(page);
        if (panel != nullptr)
            panel->SetCollaps(false);
        driver.Pump();
    }

    // Enumerates and opens the first camera as the user does.
    TfmLineSensor* OpenWithCamera() {
        TfmLineSensor* w = Open();
        driver.Click(w->btn_enum);
        driver.Pump();
        return w;
    }

    // Lets the acquisition run, with the clock moving, until the shown frame passes the check.
    bool WaitForDisplay(const std::function<bool()>& shown) {
        for (int i = 0; i < 400; ++i) {
            driver.Advance(120, 20);
            if (shown())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    TTestDriver driver;
    TCameraLibrary library;
    TfmAbout* about = nullptr;
    TForm* main = nullptr;
};

TEST_F(LiveWindow, OpensWithItsDefaultsAndRegistersAsTheLiveSource) {
    TfmLineSensor* w = Open();
    EXPECT_EQ(fmLineSensor, w);
    EXPECT_EQ(LiveFrameSource(), w);
    EXPECT_EQ(LiveFrameSource()->LiveSeries(), w->Series1);
    EXPECT_EQ(LiveFrameSource()->LiveChart(), w->Chart1);
    EXPECT_EQ(w->Caption(), "Zevi Zezaru");
    EXPECT_EQ(w->StatusText(0), "APPLICATION INITIALIZED");
    EXPECT_NE(w->LibraryReady, 0);

    // Without a settings file the x axis runs from 0 at pixel 0 to the pixel count at the last pixel.
    ASSERT_EQ(w->Series1->Count(), 2048);
    EXPECT_DOUBLE_EQ(w->XFirst(), 0.0);
    EXPECT_DOUBLE_EQ(w->XLast(), 2048.0);
    EXPECT_EQ(w->Chart1->LeftAxis()->Maximum(), 66000.0);
    EXPECT_FALSE(w->Series2->Active());
    EXPECT_EQ(w->Series1->Title(), "Data");
    EXPECT_EQ(w->Series2->Title(), "Dark Frame");
    EXPECT_EQ(w->cb_mode->Text(), "Free Running");
    EXPECT_EQ(w->cb_trange->Text(), "10 ms");
    EXPECT_EQ(w->cb_sfttrigtime_range->Text(), "1 ms");
    EXPECT_EQ(w->cb_168BitMode->ItemIndex(), 1) << "16-bit frames until a camera says otherwise";
    // The cursors start in the middle, less and plus a twentieth of the range; the edits show them.
    EXPECT_DOUBLE_EQ(w->ChartTool4->Value(), 921.6);
    EXPECT_EQ(w->ed_1value->Text(), "921.60");
    EXPECT_EQ(w->ed_2value->Text(), "1126.40");
    EXPECT_EQ(w->ed_1pixel->Text(), "921");
    EXPECT_EQ(w->tb_tint->TrackLabel()->Format(), "%d \xC2\xB5s");
    EXPECT_EQ(w->KvxOfficeStatusBar1->Panels()->GetItem(1)->Text(), "FPS:");
    EXPECT_EQ(w->KvxOfficeStatusBar1->Panels()->GetItem(3)->Text(), "MEM:");
    EXPECT_EQ(w->btn_enum->Caption(), "EnumDevices");
    EXPECT_FALSE(w->btn_closedevice->Enabled());

    const std::vector<std::string> box = {"Mode:         Free Running",  "Int. Time:    1053 \xC2\xB5s",
                                          "Trig. Time:   500 \xC2\xB5s", "Gain:          1.0000 V/V",
                                          "Offset:        0.0 mV",       "Full Scale:   4V",
                                          "Resolution:  16Bit",          "Acc Active: NO",
                                          "Accu:          1 Scans",      "Average:     NO"};
    EXPECT_EQ(Lines(w->ChartTool14->Text()), box);
    EXPECT_EQ(w->ChartTool14->Text().find('\n'), std::string::npos) << "lines end with CR alone";

    w->Free();
    EXPECT_EQ(fmLineSensor, nullptr);
    EXPECT_EQ(LiveFrameSource(), nullptr);
}

// The numbers the window starts with are shown in the user's locale.
TEST_F(LiveWindow, OpensWithItsNumbersInTheUsersLocale) {
    TScopedFormatSettings comma;
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ThousandSeparator = '.';
    TfmLineSensor* w = Open();
    EXPECT_EQ(w->tb_offset->TrackLabel()->Format(), "Offset: 0,0 mV");
    EXPECT_EQ(w->tb_gain->TrackLabel()->Format(), "Gain: 1,0000 V/V");
    EXPECT_EQ(w->ed_1value->Text(), "921,60");
    EXPECT_EQ(w->ed_2value->Text(), "1126,40");
    const std::vector<std::string> box = Lines(w->SettingsBoxText());
    EXPECT_EQ(box[3], "Gain:          1,0000 V/V");
    EXPECT_EQ(box[4], "Offset:        0,0 mV");
}

TEST_F(LiveWindow, WithoutTheCameraLibraryOpensAndSaysWhy) {
    TCameraLibrary missing;
    ASSERT_FALSE(missing.LoadFile("/nonexistent/liblumcam32.so"));
    TfmLineSensor::SetDefaultCameraLibrary(&missing);
    std::ofstream(SettingsFilePath("lumcam.Ini")) << "[USB]\nEPTimeOut=250\n";
    TfmLineSensor* w = Open();
    EXPECT_EQ(w->LibraryReady, 0);
    EXPECT_EQ(w->StatusText(0), missing.ErrorMessage());
    EXPECT_FALSE(missing.ErrorMessage().empty());
    driver.Click(w->btn_enum);
    EXPECT_EQ(w->StatusText(0), missing.ErrorMessage());
    EXPECT_EQ(w->cb_devices->Items()->Count(), 0);
    bool canClose = false;
    w->FormCloseQuery(w, canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(TIniFile(SettingsFilePath("lumcam.Ini")).ReadInteger("USB", "EPTimeOut", 0), 250)
        << "the user's time-out is kept";
    w->Free();
}

TEST_F(LiveWindow, WithoutACameraSaysSo) {
    TScopedEnv env{{"LUMCAM_DEVICES", "0"}};
    TfmLineSensor* w = Open();
    driver.Click(w->btn_enum);
    EXPECT_EQ(w->StatusText(0), "NO USB DEVICES ATTACHED!");
    EXPECT_EQ(w->cb_devices->Items()->Count(), 0);
    EXPECT_FALSE(w->btn_closedevice->Enabled());
}

// Two cameras: a 2048-pixel one with every feature and an older 3648-pixel one (firmware 1.19).
TEST_F(LiveWindow, EnumeratesOpensSwitchesAndClosesCameras) {
    TScopedEnv env{
        {"LUMCAM_DEVICES", "2"}, {"LUMCAM_SENSOR_TYPE", "1,2"}, {"LUMCAM_FIRMWARE", "0x0116,0x0113"}};
    TfmLineSensor* w = OpenWithCamera();
    ASSERT_EQ(w->cb_devices->Items()->Count(), 2);
    EXPECT_EQ(w->cb_devices->Items()->Strings(0), "LUMCAM-2048 LC000001");
    EXPECT_EQ(w->cb_devices->Items()->Strings(1), "LUMCAM-3648 LC000002");
    EXPECT_EQ(w->cb_devices->ItemIndex(), 0);
    EXPECT_EQ(library.ls_currentdeviceindex(), 0);
    EXPECT_EQ(w->StatusText(0), "USB DEVICE READY");
    EXPECT_EQ(w->Caption(), "Zevi Zezaru (CMOS-2048)");
    EXPECT_TRUE(w->btn_closedevice->Down());
    EXPECT_TRUE(w->btn_closedevice->Enabled());
    EXPECT_EQ(w->btn_closedevice->Caption(), "Close Device");
    EXPECT_EQ(w->FFirmwareVersion, 0x0116);
    EXPECT_TRUE(w->tb_sfttrigtime->Enabled());
    ASSERT_EQ(w->cb_mode->Items()->Count(), 5);
    EXPECT_EQ(w->cb_mode->Items()->Strings(4), "SOFT_TRIGGER");
    EXPECT_EQ(w->cb_mode->Text(), "FREE_RUNNING");
    EXPECT_EQ(w->tb_tint->Min(), 10) << "the camera's shortest integration time";
    EXPECT_EQ(w->Series1->Count(), 2048);

    // The older camera answers a mode its firmware does not offer.
    library.ls_getmode = [](uint8_t* mode) {
        *mode = 4;
        return int32_t(0);
    };
    w->cb_devices->SetItemIndex(1);
    w->cb_devicesChange(w->cb_devices);
    EXPECT_EQ(library.ls_currentdeviceindex(), 1);
    EXPECT_EQ(w->Caption(), "Zevi Zezaru (CCD-3648)");
    EXPECT_EQ(w->FPixelCount, 3648);
    ASSERT_EQ(w->Series1->Count(), 3648) << "a new pixel count resets the chart to pixels";
    EXPECT_DOUBLE_EQ(w->XLast(), 3647.0);
    EXPECT_FALSE(w->tb_sfttrigtime->Enabled()) << "firmware 1.19 has no soft trigger";
    EXPECT_FALSE(w->cb_sfttrigtime_range->Enabled());
    EXPECT_EQ(w->cb_mode->Items()->Count(), 4);
    EXPECT_EQ(w->cb_mode->ItemIndex(), 2);
    EXPECT_EQ(Lines(w->SettingsBoxText())[0], "Mode:         FREE_RUNNING");
    EXPECT_EQ(w->tb_tint->Min(), 100);
    EXPECT_EQ(Lines(w->SettingsBoxText())[2], "Trig. Time:   ");

    driver.Click(w->btn_closedevice);
    EXPECT_LT(library.ls_currentdeviceindex(), 0);
    EXPECT_EQ(w->StatusText(0), "USB DEVICE CLOSED");
    EXPECT_EQ(w->btn_closedevice->Caption(), "Open Device");
    EXPECT_FALSE(w->btn_closedevice->Down());
    EXPECT_EQ(w->Caption(), "Zevi Zezaru");

    driver.Click(w->btn_closedevice);
    EXPECT_EQ(library.ls_currentdeviceindex(), 1) << "opens the device the list shows";
    EXPECT_TRUE(w->btn_closedevice->Down());
}

// An opening that fails at any of its three steps shows the library's text for the first failing code and
// leaves the device closed: nothing read, no acquisition.
TEST_F(LiveWindow, FailedOpeningShowsTheLibrarysTextAndStartsNothing) {
    static decltype(library.ls_opendevicebyindex) realOpen;
    static decltype(library.ls_setpacketlength) realSetPacketLength;
    static int opens, failingOpen;
    static int32_t packetLengthCode;
    realOpen = library.ls_opendevicebyindex;
    realSetPacketLength = library.ls_setpacketlength;
    library.ls_opendevicebyindex = [](int32_t index) {
        return ++opens == failingOpen ? int32_t(2) : realOpen(index);
    };
    library.ls_setpacketlength = [](uint32_t length) {
        return packetLengthCode != 0 ? packetLengthCode : realSetPacketLength(length);
    };
    // A packet length other than the window's makes the opening set it and open the device again.
    library.ls_getpacketlength = [](uint32_t* length) {
        *length = 512;
        return int32_t(0);
    };
    const struct {
        const char* Step;
        int FailingOpen;
        int32_t PacketLengthCode;
        int32_t Code;
    } cases[] = {{"first opening", 1, 0, 2}, {"packet length", 0, 1011, 1011}, {"second opening", 2, 0, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Step);
        opens = 0;
        failingOpen = c.FailingOpen;
        packetLengthCode = c.PacketLengthCode;
        TfmLineSensor* w = Open();
        uint32_t time = 0;
        ASSERT_EQ(library.ls_getinttime(&time), 6) << "no device is open yet";
        driver.Click(w->btn_enum);
        EXPECT_EQ(w->StatusText(0), library.ls_geterrorstring(c.Code));
        EXPECT_NE(w->StatusText(0), "USB DEVICE READY");
        EXPECT_LT(library.ls_currentdeviceindex(), 0);
        EXPECT_FALSE(w->AcquisitionThread);
        EXPECT_FALSE(w->btn_closedevice->Down());
        EXPECT_FALSE(w->btn_closedevice->Enabled());
        EXPECT_EQ(w->btn_closedevice->Caption(), "Open Device");
        EXPECT_EQ(w->Caption(), "Zevi Zezaru") << "the camera's state was not read";
        EXPECT_EQ(w->cb_mode->Items()->Strings(0), "One Shot");
        w->Free();
    }
}

// The open button says what a click does: after a closing, also one that found no camera, it opens.
TEST_F(LiveWindow, OpenButtonFollowsTheDevice) {
    TfmLineSensor* w = OpenWithCamera();
    ASSERT_TRUE(w->btn_closedevice->Down());
    static int32_t devices;
    devices = 0;
    library.ls_enumdevices = [] { return devices; };
    driver.Click(w->btn_enum);
    EXPECT_EQ(w->StatusText(0), "NO USB DEVICES ATTACHED!");
    EXPECT_LT(library.ls_currentdeviceindex(), 0);
    EXPECT_FALSE(w->AcquisitionThread);
    EXPECT_FALSE(w->btn_closedevice->Down());
    EXPECT_EQ(w->btn_closedevice->Caption(), "Open Device");
}

TEST_F(LiveWindow, WarnsOfADifferentSensorBoard) {
    TScopedEnv env{{"LUMCAM_MCU_SENSOR_TYPE", "3"}};
    TfmLineSensor* w = OpenWithCamera();
    EXPECT_EQ(w->StatusText(0), "WARNING: DIFFERENT SENSOR BOARDS");
    EXPECT_TRUE(w->btn_closedevice->Down());
}

// A camera whose pixel count no frame buffer holds is not used.
TEST_F(LiveWindow, RefusesACameraWithMorePixelsThanAFrameHolds) {
    static uint16_t pixels;
    library.ls_getsensortype = [](uint16_t* type, uint16_t* count) {
        *type = 1;
        *count = pixels;
        return 0;
    };
    for (uint16_t refused : {uint16_t(0), uint16_t(4097), uint16_t(65535)}) {
        pixels = refused;
        TfmLineSensor* w = OpenWithCamera();
        EXPECT_EQ(w->StatusText(0),
                  "CAMERA REFUSED: " + std::to_string(refused) + " PIXELS (1..4096 SUPPORTED)");
        EXPECT_LT(library.ls_currentdeviceindex(), 0);
        EXPECT_FALSE(w->btn_closedevice->Down());
        EXPECT_EQ(w->FPixelCount, 2048);
        EXPECT_EQ(w->Series1->Count(), 2048);
        w->Free();
    }
    pixels = 4096;
    TfmLineSensor* w = OpenWithCamera();
    EXPECT_EQ(w->StatusText(0), "USB DEVICE READY");
    EXPECT_EQ(w->Series1->Count(), 4096);
}

TEST_F(LiveWindow, SettingHandlersTalkToTheCameraAndShowTheResult) {
    // The camera keeps saved settings as long as the library is loaded, as a real one keeps them in its
    // memory: a camera of its own, so that tests run after this one in the same process start from defaults.
    TScopedEnv env{{"LUMCAM_SERIAL", "LC000446"}};
    TfmLineSensor* w = OpenWithCamera();
    ASSERT_TRUE(w->btn_closedevice->Down());

    w->tb_gain->SetPosition(21);
    EXPECT_EQ(w->StatusText(0), "SET GAIN: OK");
    EXPECT_EQ(w->tb_gain->TrackLabel()->Format(), "Gain: 1.3846 V/V");
    uint16_t gain = 0;
    library.ls_getadcpga1(&gain);
    EXPECT_EQ(gain, 21);
    EXPECT_EQ(Lines(w->SettingsBoxText())[3], "Gain:          1.3846 V/V");

    w->tb_offset->SetPosition(-250);
    EXPECT_EQ(w->StatusText(0), "SET OFFSET: OK");
    EXPECT_EQ(w->tb_offset->TrackLabel()->Format(), "Offset: -300.0 mV");
    uint16_t offset = 0;
    library.ls_getadcoffset1(&offset);
    EXPECT_EQ(offset, 506);
    w->ShowStatus("-");
    w->tb_offset->SetPosition(251);
    EXPECT_EQ(w->tb_offset->Position(), -250) << "beyond 300 mV the slider returns";
    EXPECT_EQ(w->StatusText(0), "-") << "silently";

    w->tb_fullscale->SetPosition(0);
    EXPECT_EQ(w->StatusText(0), "SET FULL SCALE: OK");
    uint16_t adc = 0xFFFF;
    library.ls_getadcconfig(&adc);
    EXPECT_EQ(adc & 128, 0);
    EXPECT_EQ(Lines(w->SettingsBoxText())[5], "Full Scale:   2V");

    w->tb_tint->SetPosition(5000);
    EXPECT_EQ(w->StatusText(0), "SET INT TIME: OK");
    uint32_t t = 0;
    library.ls_getinttime(&t);
    EXPECT_EQ(t, 5000u);
    EXPECT_EQ(Lines(w->SettingsBoxText())[1], "Int. Time:    5000 \xC2\xB5s");

    // A range below the position lowers it and sends it; one above only widens the slider.
    w->cb_trange->SetItemIndex(0);
    w->cb_trangeChange(w->cb_trange);
    EXPECT_EQ(w->tb_tint->Max(), 2000);
    EXPECT_EQ(w->tb_tint->Position(), 2000);
    library.ls_getinttime(&t);
    EXPECT_EQ(t, 2000u);
    EXPECT_EQ(w->cb_trange->Tag(), 0);
    w->cb_trange->SetItemIndex(6);
    w->cb_trangeChange(w->cb_trange);
    EXPECT_EQ(w->tb_tint->Max(), 1000000);
    EXPECT_EQ(w->tb_tint->Position(), 2000);

    w->tb_sfttrigtime->SetPosition(250);
    EXPECT_EQ(w->StatusText(0), "SET SOFT TRIG TIME: OK");
    EXPECT_EQ(w->tb_sfttrigtime->TrackLabel()->Format(), "250 \xC2\xB5s - 4.00 kHz");

    driver.Click(w->btn_start);
    uint8_t state = 0;
    library.ls_getstate(&state);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(w->btn_start->Caption(), "Stop");
    EXPECT_EQ(w->StatusText(0), "SET STATE: OK");
    w->cb_mode->SetItemIndex(0);
    w->cb_modeChange(w->cb_mode);
    EXPECT_EQ(w->StatusText(0), "SET MODE: OK");
    EXPECT_FALSE(w->btn_start->Down()) << "one shot releases the start button";
    EXPECT_EQ(w->btn_start->Caption(), "Start");
    EXPECT_EQ(Lines(w->SettingsBoxText())[0], "Mode:         ONE_SHOT");

    Reach(w->pg_camera, w->pn_memory);
    driver.Click(w->btn_savecamerasettings);
    EXPECT_EQ(w->StatusText(0), "SAVE SETTINGS: OK");
}

TEST_F(LiveWindow, RefusedSettingsReturnToTheLastAcceptedValue) {
    TScopedEnv env{{"LUMCAM_FAULT_REFUSE", "ls_setinttime,setadcpga1,ls_setmode"}};
    TfmLineSensor* w = OpenWithCamera();
    const int tint = w->tb_tint->Position();
    w->tb_tint->SetPosition(7000);
    EXPECT_EQ(w->tb_tint->Position(), tint);
    EXPECT_EQ(w->StatusText(0), "SET INT TIME: SETTING REFUSED BY DEVICE");
    w->tb_gain->SetPosition(40);
    EXPECT_EQ(w->tb_gain->Position(), 0);
    EXPECT_EQ(w->StatusText(0), "SET GAIN: SETTING REFUSED BY DEVICE");
    w->cb_mode->SetItemIndex(1);
    w->cb_modeChange(w->cb_mode);
    EXPECT_EQ(w->cb_mode->ItemIndex(), 2);
    EXPECT_EQ(w->StatusText(0), "SET MODE: SETTING REFUSED BY DEVICE");

    // A narrower range that the camera refuses leaves slider and combo as they were.
    library.ls_setinttime = [](int32_t) { return int32_t(0); };
    w->tb_tint->SetPosition(7000);
    library.ls_setinttime = [](int32_t) { return int32_t(1014); };
    w->cb_trange->SetItemIndex(0);
    w->cb_trangeChange(w->cb_trange);
    EXPECT_EQ(w->tb_tint->Max(), 10000);
    EXPECT_EQ(w->tb_tint->Position(), 7000);
    EXPECT_EQ(w->cb_trange->ItemIndex(), 2);
    EXPECT_EQ(w->StatusText(0), "SET INT TIME: SETTING REFUSED BY DEVICE");
}

TEST_F(LiveWindow, ConfigurationAndTransferSettings) {
    TfmLineSensor* w = OpenWithCamera();
    ASSERT_TRUE(w->Mode16Bit);
    Reach(w->pg_camera, w->pn_cfg1);
    Reach(w->pg_camera, w->pn_usb);
    w->cb_168BitMode->SetItemIndex(0);
    w->cb_imagenum->SetItemIndex(1);
    w->ed_numframes->SetValue(3);
    driver.Click(w->btn_setcfg);
    EXPECT_EQ(w->StatusText(0), "SET CFG1: OK");
    uint8_t cfg = 0;
    library.ls_getcfg1(&cfg);
    EXPECT_EQ(cfg, 2 * 4 + 0 * 2 + 1);
    EXPECT_FALSE(w->Mode16Bit) << "frames are read in the new format at once";
    EXPECT_TRUE(w->IMGNUM);
    EXPECT_EQ(w->Chart1->LeftAxis()->Maximum(), 270.0);
    EXPECT_EQ(Lines(w->SettingsBoxText())[6], "Resolution:  8Bit");

    // The transfer size is divided by the multiplier when a device opens: 0 must not get there.
    const struct {
        const char* Typed;
        int Kept;
    } multipliers[] = {{"0", 1}, {"12", 8}, {"3", 3}};
    for (const auto& c : multipliers) {
        w->ed_packetmultiplier->SetTextProp(c.Typed);
        w->ed_eptimeout->SetValue(250);
        driver.Click(w->btn_setep);
        driver.Advance(1000);
        EXPECT_EQ(w->PacketMultiplier, c.Kept) << c.Typed;
        EXPECT_EQ(w->ed_packetmultiplier->Value(), c.Kept) << c.Typed;
        EXPECT_EQ(w->StatusText(0), "OK");
    }
    EXPECT_EQ(library.ls_geteptimeout(), 250);
}

TEST_F(LiveWindow, SubmittedScaleCalibratesTheAxisAndTheCursorEdits) {
    TfmLineSensor* w = Open();
    // Cursors after a reset to 2048 pixels: the middle of the range less and plus a twentieth of it.
    w->ResetToPixels(2048, true);
    EXPECT_DOUBLE_EQ(w->ChartTool4->Value(), 921.15);
    EXPECT_DOUBLE_EQ(w->ChartTool5->Value(), 1125.85);

    Reach(w->pg_display);
    driver.Click(w->cb_vcursor);
    ASSERT_TRUE(w->btn_submitscale->Enabled());
    w->ed_1pixel->SetTextProp("0");
    w->ed_2pixel->SetTextProp("2047");
    EXPECT_DOUBLE_EQ(w->ChartTool4->Value(), 0.0);
    EXPECT_DOUBLE_EQ(w->ChartTool5->Value(), 2047.0);
    w->ed_1value->SetFloatValue(400);
    w->ed_2value->SetFloatValue(1100);
    w->ed_multiplier->SetTextProp("-9");
    w->CaptureDarkFrame();
    driver.Click(w->btn_submitscale);
    EXPECT_EQ(w->FXMultiplier, -9);
    EXPECT_EQ(w->LiveXMultiplier(), -9);
    EXPECT_DOUBLE_EQ(w->XFirst(), 4e-7);
    EXPECT_DOUBLE_EQ(w->XLast(), 1.1e-6);
    EXPECT_EQ(w->ed_1value->Text(), "400.00");
    EXPECT_EQ(w->ed_2value->Text(), "1100.00");
    EXPECT_EQ(w->ed_1pixel->Text(), "0");
    EXPECT_EQ(w->ed_2pixel->Text(), "2047");
    EXPECT_FALSE(w->FDarkFrameValid) << "a new scale forgets the dark frame";
    EXPECT_EQ(w->Series2->Count(), 0);

    // Pixel edits beyond the frame take its ends.
    w->ed_1pixel->SetTextProp("5000");
    EXPECT_DOUBLE_EQ(w->ChartTool4->Value(), 1.1e-6);
    EXPECT_EQ(w->ed_1pixel->Text(), "2047");
    w->ed_1pixel->SetTextProp("-3");
    EXPECT_DOUBLE_EQ(w->ChartTool4->Value(), 4e-7);
}

// Equal pixels or values that overflow give no scale: the window says so and keeps everything.
TEST_F(LiveWindow, SubmitWithoutAUsableScaleChangesNothing) {
    TfmLineSensor* w = Open();
    Reach(w->pg_display);
    driver.Click(w->cb_vcursor);
    w->CaptureDarkFrame();
    const struct {
        const char* Pixel1;
        const char* Pixel2;
        double Value1, Value2;
        const char* Exponent;
    } faults[] = {{"100", "100", 1, 2, "0"}, {"0", "2047", 1e300, 2, "30"}, {"0", "2047", 5, 5, "0"}};
    for (const auto& c : faults) {
        w->ed_1pixel->SetTextProp(c.Pixel1);
        w->ed_2pixel->SetTextProp(c.Pixel2);
        const double before1 = w->ChartTool4->Value(), before2 = w->ChartTool5->Value();
        w->ed_1value->SetFloatValue(c.Value1);
        w->ed_2value->SetFloatValue(c.Value2);
        w->ed_multiplier->SetTextProp(c.Exponent);
        driver.Click(w->btn_submitscale);
        driver.Advance(1000);
        EXPECT_EQ(w->StatusText(0).rfind("X-SCALE NOT CHANGED: ", 0), 0u) << w->StatusText(0);
        EXPECT_DOUBLE_EQ(w->XFirst(), 0.0);
        EXPECT_DOUBLE_EQ(w->XLast(), 2048.0);
        EXPECT_EQ(w->FXMultiplier, 0);
        EXPECT_TRUE(w->FDarkFrameValid);
        EXPECT_EQ(w->ChartTool4->Value(), before1);
        EXPECT_EQ(w->ChartTool5->Value(), before2);
    }

    // An exponent beyond the limit is taken at the limit.
    w->ed_1pixel->SetTextProp("0");
    w->ed_2pixel->SetTextProp("2047");
    w->ed_1value->SetFloatValue(1);
    w->ed_2value->SetFloatValue(2);
    w->ed_multiplier->SetTextProp("99");
    driver.Click(w->btn_submitscale);
    EXPECT_EQ(w->FXMultiplier, 30);
    EXPECT_EQ(w->ed_multiplier->Text(), "30");
    EXPECT_DOUBLE_EQ(w->XFirst(), 1e30);
}

TEST_F(LiveWindow, CursorPixelsOfAFrameWithoutWidthArePixelZero) {
    TfmLineSensor* w = Open();
    w->ResetToPixels(1, true);
    EXPECT_EQ(w->ed_1pixel->Text(), "0");
    EXPECT_EQ(w->ed_2pixel->Text(), "0");
    EXPECT_EQ(w->PixelOfValue(12345.0), 0);
    w->ResetToPixels(0, true);
    EXPECT_EQ(w->PixelOfValue(1.0), 0);
    w->ed_1pixel->SetTextProp("7");
    EXPECT_EQ(w->ed_1pixel->Text(), "7") << "no frame: nothing to move to";
}

TEST_F(LiveWindow, DraggedCursorStopsAtTheLastPixelAndFillsTheEdits) {
    TfmLineSensor* w = Open();
    Reach(w->pg_display);
    driver.Click(w->cb_vcursor);
    driver.Pump();
    chart::TChart* chart = w->Chart1;
    const int x = w->Series1->CalcXPosValue(w->ChartTool4->Value());
    const int y = (chart->ChartRect().Top + chart->ChartRect().Bottom) / 2;
    const int beyond = chart->ChartRect().Right + 40;
    driver.Drag(chart, {x, y}, {beyond, y}, 8);
    driver.Pump();
    EXPECT_DOUBLE_EQ(w->ChartTool4->Value(), w->XLast());
    EXPECT_EQ(w->ed_1pixel->Text(), "2047");
    EXPECT_EQ(w->ed_1value->Text(), "2048.00");
    EXPECT_FALSE(w->ChartTool3->Active()) << "the value label goes with the drag";
    EXPECT_EQ(w->ChartTool3->Text(), "2048");

    driver.Drag(chart, {w->Series1->CalcXPosValue(w->ChartTool4->Value()), y}, {x - 200, y}, 8);
    EXPECT_LT(w->ChartTool4->Value(), w->XLast());
    EXPECT_EQ(w->ed_1pixel->Text(), std::to_string(w->PixelOfValue(w->ChartTool4->Value())));
}

TEST_F(LiveWindow, AxisControlsAndTheFixedYRange) {
    TfmLineSensor* w = Open();
    Reach(w->pg_display);
    w->ed_xtitle->SetTextProp("Wavelength [nm]");
    w->ed_ytitle->SetTextProp("Intensity");
    EXPECT_EQ(w->Chart1->BottomAxis()->Title()->Caption(), "Wavelength [nm]");
    EXPECT_EQ(w->Chart1->LeftAxis()->Title()->Caption(), "Intensity");
    w->cb_xformat->SetItemIndex(1);
    w->cb_xformatChange(w->cb_xformat);
    w->cb_yformat->SetItemIndex(5);
    w->cb_xformatChange(w->cb_yformat);
    EXPECT_EQ(w->Chart1->BottomAxis()->AxisValuesFormat(), "0.0");
    EXPECT_EQ(w->Chart1->LeftAxis()->AxisValuesFormat(), "000E-0");
    driver.Click(w->cb_XAxisInverted);
    EXPECT_TRUE(w->Chart1->BottomAxis()->Inverted());

    w->Chart1->LeftAxis()->SetAxisRange(100, 200);
    w->Chart1->UndoZoom();
    EXPECT_EQ(w->Chart1->LeftAxis()->Minimum(), 0.0);
    EXPECT_EQ(w->Chart1->LeftAxis()->Maximum(), 66000.0);
    driver.Click(w->cb_YAxisAutoMax);
    EXPECT_TRUE(w->Chart1->LeftAxis()->AutomaticMaximum());
    w->Mode16Bit = false;
    driver.Click(w->cb_YAxisAutoMax);
    EXPECT_FALSE(w->Chart1->LeftAxis()->AutomaticMaximum());
    EXPECT_EQ(w->Chart1->LeftAxis()->Maximum(), 270.0);
    w->Chart1->LeftAxis()->SetAxisRange(10, 20);
    w->Chart1->UndoZoom();
    EXPECT_EQ(w->Chart1->LeftAxis()->Minimum(), 0.0);
    EXPECT_EQ(w->Chart1->LeftAxis()->Maximum(), 270.0) << "8-bit frames";

    // A reset to pixels brings the pixel titles and formats back.
    w->ResetToPixels(1024, false);
    EXPECT_EQ(w->Chart1->BottomAxis()->Title()->Caption(), "Pixel");
    EXPECT_EQ(w->Chart1->LeftAxis()->AxisValuesFormat(), "0");
    EXPECT_EQ(w->cb_yformat->Text(), "0");
    EXPECT_EQ(w->ed_xtitle->Text(), "Pixel");
}

TEST_F(LiveWindow, DarkFrameCaptureShowAndForget) {
    TfmLineSensor* w = Open();
    for (int i = 0; i < w->Series1->Count(); ++i)
        w->Series1->YValues()->Value()[i] = i % 7;
    Reach(w->pg_signal);
    driver.Click(w->cb_subtract_df);
    ASSERT_NE(TTestDriver::FocusedControl(), nullptr);
    EXPECT_EQ(GetParentForm(TTestDriver::FocusedControl()), w) << TTestDriver::FocusedControl()->Name();
    driver.PressKey('D', modControl);
    driver.Pump();
    ASSERT_TRUE(w->FDarkFrameValid) << "Ctrl+D takes the dark frame";
    EXPECT_EQ(w->Series2->Count(), 2048);
    EXPECT_EQ(w->Series2->YValues()->Items(13), 6.0);
    EXPECT_EQ(w->lb_df_count->Caption(), "2048");
    EXPECT_EQ(w->lb_df_time->Caption(), FormatDateTime("dd/mm/yy hh:mm:ss", w->FDarkFrameTime));
    driver.Click(w->cb_show_df);
    EXPECT_TRUE(w->Series2->Active());
    // Capturing again replaces the dark frame.
    w->Series1->YValues()->Value()[13] = 40;
    w->btn_df_captureClick(w);
    EXPECT_EQ(w->Series2->Count(), 2048);
    EXPECT_EQ(w->Series2->YValues()->Items(13), 40.0);
    w->ResetToPixels(2048, true);
    EXPECT_FALSE(w->FDarkFrameValid);
    EXPECT_EQ(w->Series2->Count(), 0);
    EXPECT_EQ(w->lb_df_count->Caption(), "2048") << "the labels keep their text";
}

// The display step seeks the maximum in the visible part of the frame only; the label shows it, and
// nothing where no visible value is positive.
TEST_F(LiveWindow, MaximumIsSoughtInTheVisiblePartOnly) {
    TfmLineSensor* w = Open();
    Reach(w->pg_display, w->pn_misc);
    driver.Click(w->KvxOfficeCheckBox1);
    w->Chart1->BottomAxis()->SetAxisRange(100, 200);
    driver.Render(w->Chart1);
    ASSERT_GT(w->Series1->FirstVisibleIndex(), 90);
    ASSERT_LT(w->Series1->LastVisibleIndex(), 210);

    std::vector<double> sums(2048, 0.0);
    sums[1000] = 5000; // beyond the zoomed range
    sums[150] = sums[160] = 70;
    DisplayFrame(sums.data(), 2048, 1.0, w->FLiveDisplay);
    EXPECT_EQ(w->FMaxIndex, 150) << "the first of equal maxima";
    EXPECT_EQ(w->FMaxValue, 70.0);
    driver.Render(w->Chart1);
    EXPECT_EQ(w->ChartTool1->Text(), "Max 70 @ 150");

    sums.assign(2048, 0.0);
    sums[1000] = 5000;
    DisplayFrame(sums.data(), 2048, 1.0, w->FLiveDisplay);
    EXPECT_EQ(w->FMaxIndex, -1);
    driver.Render(w->Chart1);
    EXPECT_EQ(w->ChartTool1->Text(), "");
}

// An opening rebuilds the frame in pixel units: a dark frame stays only where it still belongs.
TEST_F(LiveWindow, OpeningKeepsADarkFrameOnlyWhereItStillBelongs) {
    TfmLineSensor* w = OpenWithCamera();
    ASSERT_TRUE(w->btn_closedevice->Down()) << w->StatusText(0);
    const auto reopen = [&] {
        driver.Click(w->btn_closedevice);
        driver.Click(w->btn_closedevice);
        ASSERT_TRUE(w->btn_closedevice->Down()) << w->StatusText(0);
    };
    w->CaptureDarkFrame();
    reopen();
    EXPECT_TRUE(w->FDarkFrameValid) << "the same camera in the same resolution and pixels";

    ASSERT_TRUE(w->ApplyXScale(2048, 0, 2047, 400, 1100, -9, true, false));
    w->CaptureDarkFrame();
    reopen();
    EXPECT_DOUBLE_EQ(w->XLast(), 2047.0);
    EXPECT_FALSE(w->FDarkFrameValid) << "taken on the calibrated scale the opening left";
    EXPECT_EQ(w->Series2->Count(), 0);
    w->CaptureDarkFrame();
    reopen();
    EXPECT_TRUE(w->FDarkFrameValid) << "the exponent stays, but the frame is in pixels again";

    w->CaptureDarkFrame();
    ASSERT_EQ(library.ls_setcfg1(0), 0);
    reopen();
    EXPECT_FALSE(w->Mode16Bit);
    EXPECT_FALSE(w->FDarkFrameValid) << "16-bit counts are not subtracted from 8-bit frames";
}

TEST_F(LiveWindow, MaximumLabelFollowsTheFrame) {
    TfmLineSensor* w = Open();
    Reach(w->pg_display, w->pn_misc);
    driver.Click(w->KvxOfficeCheckBox1);
    EXPECT_TRUE(w->ChartTool1->Active());
    w->Series1->YValues()->Value()[1000] = 1234.5;
    w->Series1->YValues()->SetModified(true);
    w->FMaxIndex = 1000;
    w->FMaxValue = 1234.5;
    w->Chart1->Invalidate();
    driver.Pump();
    driver.Render(w->Chart1);
    EXPECT_EQ(w->ChartTool1->Text(), "Max 1234 @ 1000") << "halves round to even";
    EXPECT_DOUBLE_EQ(w->FMaxX, 1000.0 * 2048.0 / 2047.0);
    EXPECT_EQ(w->ChartTool1->Callout()->XPosition(), w->Series1->CalcXPosValue(w->FMaxX));
    EXPECT_EQ(w->ChartTool1->Callout()->YPosition(), w->Series1->CalcYPosValue(1234.5));
    w->FMaxIndex = -1;
    w->Chart1->Invalidate();
    driver.Render(w->Chart1);
    EXPECT_EQ(w->ChartTool1->Text(), "");

    // The nearest point under the mouse gets its value and x.
    driver.Click(w->KvxOfficeCheckBox2);
    ASSERT_TRUE(w->ChartTool2->Active());
    const int y = w->Series1->CalcYPosValue(1234.5);
    driver.MoveTo(TTestDriver::ScreenPoint(
        w->Chart1, {w->Series1->CalcXPosValue(w->Series1->XValues()->Items(1000)), y}));
    driver.Render(w->Chart1);
    ASSERT_EQ(w->ChartTool2->Point(), 1000);
    EXPECT_EQ(w->ChartTool13->Text(), "1234 @ 1000");
    EXPECT_TRUE(w->ChartTool13->Active());
}

} // namespace

namespace {

// The live window as a user sees it at work: a running camera, the axis calibrated in nanometres, both
// cursors, the maximum and the camera settings box.
TEST_F(LiveWindow, InstrumentPicture) {
    TfmLineSensor* w = OpenWithCamera();
    ASSERT_TRUE(w->btn_closedevice->Down()) << w->StatusText(0);
    Reach(w->pg_display, w->pn_misc);
    driver.Click(w->cb_vcursor);
    w->ed_1pixel->SetTextProp("0");
    w->ed_2pixel->SetTextProp("2047");
    w->ed_1value->SetFloatValue(250);
    w->ed_2value->SetFloatValue(950);
    driver.Click(w->btn_submitscale);
    w->ed_xtitle->SetTextProp("Wavelength [nm]");
    w->ed_1value->SetFloatValue(435.8);
    w->ed_2value->SetFloatValue(546.1);
    w->ed_1pixel->SetTextProp(std::to_string(w->PixelOfValue(435.8)));
    w->ed_2pixel->SetTextProp(std::to_string(w->PixelOfValue(546.1)));
    driver.Click(w->KvxOfficeCheckBox1);
    driver.Click(w->cb_camerasettings);
    driver.Click(w->btn_start);
    ASSERT_EQ(w->StatusText(0), "SET STATE: OK");
    ASSERT_TRUE(WaitForDisplay([&] { return w->FMaxIndex >= 0; })) << "no frame was shown";
    driver.Pump();
    TTestDriver::SavePng(*driver.Render(w->Handle()), TestOutputDir("app") + "/main-live.png");
    EXPECT_EQ(w->ChartTool1->Text().rfind("Max ", 0), 0u) << w->ChartTool1->Text();
    EXPECT_NE(w->StatusText(2), "");
}

} // namespace

namespace {

// Frames are shown in the resolution the window sets, from the moment it is set.
TEST_F(LiveWindow, ResolutionSwitchedWhileLiveIsShownAtOnce) {
    TfmLineSensor* w = OpenWithCamera();
    Reach(w->pg_camera, w->pn_cfg1);
    driver.Click(w->ed_numframes);
    driver.PressKey('M', modControl);
    ASSERT_EQ(w->StatusText(0), "SET STATE: OK") << "Ctrl+M starts the camera";
    EXPECT_TRUE(w->btn_start->Down());
    auto top = [&] { return w->Series1->YValues()->MaxValue(); };
    ASSERT_TRUE(WaitForDisplay([&] { return top() > 300; })) << "16-bit frames reach beyond 8 bits";
    w->CaptureDarkFrame();
    for (bool sixteen : {false, true, false}) {
        w->cb_168BitMode->SetItemIndex(sixteen ? 1 : 0);
        w->cb_imagenum->SetItemIndex(sixteen ? 0 : 1);
        driver.Click(w->btn_setcfg);
        driver.Advance(1000);
        ASSERT_EQ(w->StatusText(0), "SET CFG1: OK");
        EXPECT_EQ(w->Chart1->LeftAxis()->Maximum(), sixteen ? 66000.0 : 270.0);
        EXPECT_FALSE(w->FDarkFrameValid) << "a dark frame of the other resolution is not subtracted";
        // Two displays later every shown frame is in the new format.
        int frames = 0;
        EXPECT_TRUE(WaitForDisplay([&] {
            w->Series1->YValues()->SetModified(true);
            if (sixteen ? top() > 300 : top() <= 255)
                ++frames;
            else
                frames = 0;
            return frames >= 3;
        })) << (sixteen ? "16" : "8")
            << " bit";
    }
    driver.PressKey('M', modControl);
    EXPECT_FALSE(w->btn_start->Down());
}

// A new style resets the sliders' look; the window puts its own back.
TEST_F(LiveWindow, SlidersKeepTheirLookThroughAStyleChange) {
    TfmLineSensor* w = Open();
    for (ui::TKVXStyle style : {ui::tsOffice2007Luna, ui::tsWindowsXP}) {
        about->KvxAppStyler1->SetStyle(style);
        for (ui::TKvxTrackBar* bar :
             {w->tb_tint, w->tb_gain, w->tb_offset, w->tb_refreshinterval, w->tb_sfttrigtime}) {
            EXPECT_EQ(bar->Thumb()->Shape(), ui::trackbar::tsRoundRect) << bar->Name();
            EXPECT_EQ(bar->Slider()->Offset(), 2) << bar->Name();
        }
        EXPECT_EQ(w->tb_fullscale->Slider()->Offset(), 0);
        EXPECT_EQ(w->tb_fullscale->TickMark()->Position(), tmTopLeft);
    }
    // The style reaches the toolbar, the pager and the status bar.
    EXPECT_EQ(w->KvxDockPanel1->ToolBarStyler(), w->KvxToolBarOfficeStyler1);
    EXPECT_EQ(w->KvxToolBarOfficeStyler1->Style(), ui::toolbar::bsWindowsXP);
    EXPECT_EQ(w->KvxOfficePagerOfficeStyler1->Style(), ui::pager::psWindowsXP);
    EXPECT_EQ(w->KvxOfficeStatusBarOfficeStyler1->Style(), ui::statusbar::psWindowsXP);
    TTestDriver::SavePng(*driver.Render(w->Handle()), TestOutputDir("app") + "/live-windowsxp.png");
}

} // namespace

namespace {

// Times read from the camera widen a slider whose range is too short and pick the range that holds them.
TEST_F(LiveWindow, TimesReadFromTheCameraChooseTheirRanges) {
    TfmLineSensor* w = OpenWithCamera();
    ASSERT_EQ(library.ls_setsofttrigtime(750), 0);
    w->ReadCameraState();
    EXPECT_EQ(w->tb_sfttrigtime->Max(), 1000) << "750 fits the slider as it is";
    EXPECT_EQ(w->tb_sfttrigtime->Position(), 750);
    ASSERT_EQ(library.ls_setsofttrigtime(7000), 0);
    ASSERT_EQ(library.ls_setinttime(25000000), 0);
    w->ReadCameraState();
    EXPECT_EQ(w->tb_sfttrigtime->Max(), 10000);
    EXPECT_EQ(w->cb_sfttrigtime_range->Text(), "10 ms");
    EXPECT_EQ(w->cb_sfttrigtime_range->Tag(), 3);
    EXPECT_EQ(w->tb_sfttrigtime->TrackLabel()->Format(), "7000 \xC2\xB5s - 142.86 Hz");
    EXPECT_EQ(w->tb_tint->Max(), 30000000);
    EXPECT_EQ(w->tb_tint->Position(), 25000000);
    EXPECT_EQ(w->cb_trange->Text(), "30 s");
    const std::vector<std::string> box = Lines(w->SettingsBoxText());
    EXPECT_EQ(box[1], "Int. Time:    25000000 \xC2\xB5s");
    EXPECT_EQ(box[2], "Trig. Time:   7000 \xC2\xB5s");
}

} // namespace

namespace {

// The frame format kept in the settings file is what the window shows before a camera says otherwise.
TEST_F(LiveWindow, FrameFormatFromTheSettingsFileIsShown) {
    {
        std::ofstream ini(ProgramFolder() + "lumcam.Ini");
        ini << "[Sensor]\nMode16Bit=0\nIMGNUM=1\n";
    }
    TfmLineSensor* w = Open();
    EXPECT_FALSE(w->Mode16Bit);
    EXPECT_EQ(w->cb_168BitMode->Text(), "8 Bit");
    EXPECT_EQ(w->cb_imagenum->Text(), "with image number");
    EXPECT_EQ(Lines(w->SettingsBoxText())[6], "Resolution:  8Bit");
    EXPECT_EQ(w->Chart1->LeftAxis()->Maximum(), 270.0);
}

} // namespace
