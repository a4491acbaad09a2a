// The live window with the simulated camera: acquisition started and stopped with the device, the
// settings file, quick save and the live chart document.
#include "app/UnitLineSensor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "analysis/ChartDocument.h"
#include "app/CameraDefs.h"
#include "app/UnitAbout.h"
#include "chart/Chart.h"
#include "chart/PlotTools.h"
#include "chart/Series.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/StandardClasses.h"
#include "tests/ExternalTool.h"
#include "ui/controls/KvxCombo.h"
#include "ui/controls/KvxDirectoryEdit.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxSpin.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/office/KvxOfficePager.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/ToolbarsClasses.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char* const kVariables[] = {"LUMCAM_PIXELS", "LUMCAM_FAULT_UNPLUG_AFTER", "LUMCAM_SERIAL"};

class LiveWindowFiles : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandardClasses();
        ui::RegisterToolbarsClasses();
        chart::RegisterChartToolClasses();
        for (const char* name : kVariables)
            unsetenv(name);
        setenv("LUMCAM_SERIAL", "FILES-TEST", 1);
        ASSERT_TRUE(library.LoadFrom(LUMCAM_LIBRARY_DIR)) << library.ErrorMessage();
        TfmLineSensor::SetDefaultCameraLibrary(&library);
        folder = (fs::temp_directory_path() / "lumetra-live-XXXXXX").string();
        ASSERT_NE(::mkdtemp(folder.data()), nullptr);
        SetProgramFolderOverride(folder);
        about = NewForm<TfmAbout>(Application);
        main = NewForm<TForm>(Application);
        main->SetFormStyle(fsMDIForm);
        main->SetBounds(0, 0, 1280, 860);
        Application->SetMainForm(main);
        main->Show();
    }
    void TearDown() override {
        if (fmLineSensor != nullptr)
            fmLineSensor->Free();
        TfmLineSensor::SetDefaultCameraLibrary(nullptr);
        SetProgramFolderOverride("");
        std::error_code ec;
        fs::remove_all(folder, ec);
        for (const char* name : kVariables)
            unsetenv(name);
    }

    TfmLineSensor* Open() {
        auto* window = NewForm<TfmLineSensor>(main);
        driver.Pump();
        return window;
    }
    // Enumerates (which opens the first camera and starts the acquisition) and waits for a frame.
    void GoLive(TfmLineSensor* w) {
        w->btn_enumClick(w);
        ASSERT_TRUE(w->AcquisitionThread != nullptr);
        ASSERT_EQ(library.ls_setstate(1), 0);
        WaitForFrames(w, [&] { return w->Series1->YValues()->MaxValue() > 0; });
    }
    // Lets the refresh interval pass until the live series shows what `done` waits for.
    void WaitForFrames(TfmLineSensor* w, const std::function<bool()>& done) {
        bool ok = false;
        for (int i = 0; i < 250 && !ok; ++i) {
            driver.Clock().Advance(150);
            PumpUntil([&] { return false; }, 20);
            w->Series1->YValues()->SetModified(true);
            ok = done();
        }
        EXPECT_TRUE(ok) << "the live frame never showed it";
    }
    std::string SettingsText() { return ReadFile(folder + "/lumcam.Ini"); }

    TTestDriver driver;
    TCameraLibrary library;
    std::string folder;
    TfmAbout* about = nullptr;
    TForm* main = nullptr;
};

TEST_F(LiveWindowFiles, WithoutSettingsFileTheDefaultsHold) {
    TfmLineSensor* w = Open();
    EXPECT_EQ(w->FPixelCount, 2048);
    EXPECT_TRUE(w->Mode16Bit);
    EXPECT_FALSE(w->IMGNUM);
    EXPECT_EQ(w->PacketMultiplier, 1);
    EXPECT_EQ(w->EPTimeOut, 100);
    ASSERT_EQ(w->Series1->Count(), 2048);
    EXPECT_DOUBLE_EQ(w->XFirst(), 0.0);
    EXPECT_DOUBLE_EQ(w->XLast(), 2048.0) << "XMax defaults to the pixel count";
    EXPECT_EQ(w->Chart1->BottomAxis()->Title()->Caption(), "Pixel");
    EXPECT_EQ(w->Chart1->LeftAxis()->Title()->Caption(), "Counts");
    EXPECT_EQ(w->rg_saveasformat->ItemIndex(), 5);
    EXPECT_EQ(w->ed_bmpdirectory->Text(), "");
}

TEST_F(LiveWindowFiles, SettingsComeBackAsSavedAndTheSampleFileReadsAsExpected) {
    fs::create_directory(folder + "/exports");
    {
        TfmLineSensor* w = Open();
        w->FSensorType = 1;
        w->Mode16Bit = false;
        w->IMGNUM = true;
        w->PacketMultiplier = 4;
        w->FXMultiplier = -9;
        ASSERT_TRUE(w->ApplyXScale(2048, 0, 2047, 400, 1100, -9, false, false));
        w->ed_xtitle->SetTextProp("Wavelength [nm]");
        w->ed_xtitleChange(w->ed_xtitle);
        w->ed_ytitle->SetTextProp("Intensity");
        w->ed_xtitleChange(w->ed_ytitle);
        w->cb_xformat->SetTextProp("0.0");
        w->cb_xformatChange(w->cb_xformat);
        w->cb_XAxisInverted->SetChecked(true);
        w->cb_XAxisInvertedClick(w);
        w->cb_YAxisAutoMax->SetChecked(true);
        w->cb_YAxisAutoMaxClick(w);
        w->ed_bmpdirectory->SetTextProp(folder + "/exports");
        w->rg_saveasformat->SetItemIndex(0);
        bool canClose = false;
        w->FormCloseQuery(w, canClose);
        EXPECT_TRUE(canClose);
        w->Free();
    }
    const std::string text = SettingsText();
    std::ofstream(TestOutputDir("app") + "/lumcam.Ini", std::ios::binary) << text;
    std::string expected = "[Sensor]\nType=1\nPixelCount=2048\nMode16Bit=0\nIMGNUM=1\n\n"
                           "[USB]\nPacketMultiplier=4\nEPTimeOut=100\n\n"
                           "[XAxis]\nXMin=4E-7\nXMax=1.1E-6\nXmultipler=-9\nFormat=0.0\n"
                           "Title=Wavelength [nm]\nInverted=1\n\n"
                           "[YAxis]\nTitle=Intensity\nFormat=0\nAutoMax=1\n\n"
                           "[SaveAs]\nDirectory=" +
                           folder + "/exports\nFormat=0\n";
    // Line ends as the settings file has them everywhere.
    for (size_t at = expected.find('\n'); at != std::string::npos; at = expected.find('\n', at + 2))
        expected.insert(at, "\r");
    EXPECT_EQ(text, expected);

    TfmLineSensor* w = Open();
    EXPECT_EQ(w->FSensorType, 1);
    EXPECT_FALSE(w->Mode16Bit);
    EXPECT_TRUE(w->IMGNUM);
    EXPECT_EQ(w->PacketMultiplier, 4);
    EXPECT_EQ(w->FXMultiplier, -9);
    EXPECT_DOUBLE_EQ(w->XFirst(), 4e-7);
    EXPECT_DOUBLE_EQ(w->XLast(), 1.1e-6);
    EXPECT_EQ(w->Chart1->BottomAxis()->Title()->Caption(), "Wavelength [nm]");
    EXPECT_EQ(w->ed_xtitle->Text(), "Wavelength [nm]");
    EXPECT_EQ(w->Chart1->LeftAxis()->Title()->Caption(), "Intensity");
    EXPECT_EQ(w->Chart1->BottomAxis()->AxisValuesFormat(), "0.0");
    EXPECT_TRUE(w->Chart1->BottomAxis()->Inverted());
    EXPECT_TRUE(w->cb_XAxisInverted->Checked());
    EXPECT_TRUE(w->Chart1->LeftAxis()->AutomaticMaximum());
    EXPECT_EQ(w->rg_saveasformat->ItemIndex(), 0);
    EXPECT_EQ(w->lb_bmpdirectory->Caption(), "[exports]");

    // Reopened without a device in between, the scale stays as it was.
    bool canClose = false;
    w->FormCloseQuery(w, canClose);
    w->Free();
    w = Open();
    EXPECT_DOUBLE_EQ(w->XFirst(), 4e-7);
    EXPECT_DOUBLE_EQ(w->XLast(), 1.1e-6);
}

TEST_F(LiveWindowFiles, ValuesNoBufferHoldsOrThatDivideByZeroAreReplaced) {
    struct Case {
        const char* pixelCount;
        const char* packetMultiplier;
        int pixels;
        int multiplier;
    } cases[] = {{"0", "0", 2048, 1},    {"5000", "9", 2048, 8}, {"-3", "-1", 2048, 8},
                 {"4096", "8", 4096, 8}, {"1", "1", 1, 1},       {"x", "", 2048, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pixelCount << " " << c.packetMultiplier);
        std::ofstream(folder + "/lumcam.Ini", std::ios::binary)
            << "[Sensor]\nPixelCount=" << c.pixelCount << "\n[USB]\nPacketMultiplier=" << c.packetMultiplier
            << "\n[SaveAs]\nDirectory=" << folder << "/missing\n";
        TfmLineSensor* w = Open();
        EXPECT_EQ(w->FPixelCount, c.pixels);
        EXPECT_EQ(w->Series1->Count(), c.pixels);
        EXPECT_EQ(w->PacketMultiplier, c.multiplier);
        EXPECT_EQ(w->ed_bmpdirectory->Text(), "") << "a folder that is not there is forgotten";
        EXPECT_EQ(w->lb_bmpdirectory->Caption(), "");
        w->Free();
    }
    // A sensor type of 0 leaves the file's pixel count alone.
    std::ofstream(folder + "/lumcam.Ini", std::ios::binary) << "[Sensor]\nType=0\nPixelCount=1024\n";
    TfmLineSensor* w = Open();
    w->FPixelCount = 512;
    w->SaveSettings();
    EXPECT_NE(SettingsText().find("PixelCount=1024\r\n"), std::string::npos) << SettingsText();
}

// The external programs people open the quick-save files in: LibreOffice for the data and the
// metafiles, ImageMagick for the bitmap.
void CheckOpensElsewhere(const std::string& dir, const std::string& name, const std::string& firstRow,
                         const std::string& lastRow) {
    std::string magick;
    for (const char* program : {"magick", "convert-im6.q16", "convert"})
        if (magick.empty())
            magick = testtool::FindProgram(program);
    if (magick.empty())
        SKIP_WITHOUT_TOOL("ImageMagick is not installed");
    const std::string soffice = testtool::FindProgram("soffice");
    if (soffice.empty())
        SKIP_WITHOUT_TOOL("LibreOffice is not installed");
    std::error_code ec;
    const fs::path office = fs::canonical(soffice, ec).parent_path();
    if (!fs::exists(office / "libsclo.so") || !fs::exists(office / "libsdlo.so"))
        SKIP_WITHOUT_TOOL("LibreOffice Calc or Draw is not installed");

    std::string work = (fs::temp_directory_path() / "lumetra-quicksave-XXXXXX").string();
    ASSERT_NE(::mkdtemp(work.data()), nullptr);
    struct TCleanup {
        std::string Dir;
        ~TCleanup() {
            std::error_code e;
            fs::remove_all(Dir, e);
        }
    } cleanup{work};
    const std::string profile = " -env:UserInstallation=file://" + work + "/profile --headless ";
    const std::string calc = "cd '" + work + "' && soffice" + profile;
    for (const char* ext : {".xls", ".html", ".emf", ".wmf", ".bmp"})
        fs::copy_file(dir + "/" + name + ext, work + "/" + name + ext);
    std::system((calc + "--convert-to csv:\"Text - txt - csv (StarCalc)\":44,34,76 " + name +
                 ".xls >/dev/null 2>&1 && mv " + name + ".csv xls.csv")
                    .c_str());
    std::system(
        (calc +
         "--infilter=\"calc_HTML_WebQuery\" --convert-to csv:\"Text - txt - csv (StarCalc)\":44,34,76 " +
         name + ".html >/dev/null 2>&1 && mv " + name + ".csv html.csv")
            .c_str());
    for (const char* ext : {"emf", "wmf"})
        std::system((calc + "--convert-to png " + name + "." + ext + " >/dev/null 2>&1 && mv " + name +
                     ".png " + ext + ".png")
                        .c_str());
    for (const char* csv : {"xls.csv", "html.csv"}) {
        SCOPED_TRACE(csv);
        const std::string rows = ReadFile(work + "/" + csv);
        // The index column, then the counts.
        EXPECT_NE(rows.find(firstRow + "\n"), std::string::npos) << rows.substr(0, 200);
        EXPECT_NE(rows.find("\n" + lastRow + "\n"), std::string::npos) << rows.substr(rows.size() - 100);
    }
    for (const char* png : {"emf.png", "wmf.png"})
        EXPECT_GT(fs::file_size(work + "/" + png, ec), 1000u) << png << " was not drawn";
    // Flattened onto white as viewers show it, the picture has the colours we drew, pixel for pixel.
    const std::string rgb = work + "/bmp.rgb";
    EXPECT_EQ(std::system(("'" + magick + "' '" + work + "/" + name + ".bmp' -background white -flatten " +
                           "-depth 8 'rgb:" + rgb + "' >/dev/null 2>&1")
                              .c_str()),
              0);
    TBitmap drawn;
    drawn.LoadFromFile(dir + "/" + name + ".bmp");
    const std::string shown = ReadFile(rgb);
    ASSERT_EQ(shown.size(), size_t(drawn.Width()) * drawn.Height() * 3);
    int wrong = 0, dark = 0;
    for (int y = 0; y < drawn.Height(); ++y)
        for (int x = 0; x < drawn.Width(); ++x) {
            const uint32_t ours = drawn.Surface().Row(y)[x] & 0xFFFFFF;
            const auto* p =
                reinterpret_cast<const uint8_t*>(shown.data()) + (size_t(y) * drawn.Width() + x) * 3;
            wrong += ours != (uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
            dark += ours == 0;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(dark, 2000) << "the frame's line is in the picture";
}

TEST_F(LiveWindowFiles, QuickSaveWritesTheLiveFrameInSevenFormatsUnderTheTime) {
    setenv("LUMCAM_PIXELS", "2048", 1);
    TfmLineSensor* w = Open();
    GoLive(w);
    const std::string dir = TestOutputDir("app") + "/quicksave";
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    driver.Clock().SetLocalNow(EncodeDate(2026, 12, 8) + EncodeTime(14, 5, 9, 0));

    // Without a folder nothing is written and nothing said.
    w->ed_bmpdirectory->SetTextProp(folder + "/missing");
    const std::string status = w->StatusText(0);
    w->btn_saveasClick(w);
    EXPECT_FALSE(fs::exists(folder + "/missing"));
    EXPECT_EQ(w->StatusText(0), status);

    // The live frame stands still while it is written in every format.
    w->CloseDevice();
    w->ed_bmpdirectory->SetTextProp(dir);
    const char* extensions[] = {".txt", ".xls", ".html", ".xml", ".bmp", ".emf", ".wmf"};
    for (int i = 0; i < 7; ++i) {
        w->rg_saveasformat->SetItemIndex(i);
        w->btn_saveasClick(w);
        EXPECT_TRUE(fs::exists(dir + "/261208_140509" + extensions[i])) << extensions[i];
    }
    // The button and Ctrl+S save the same way.
    w->rg_saveasformat->SetItemIndex(0);
    w->KvxOfficePager1->SetActivePage(w->pg_saveas);
    driver.Pump();
    for (int way = 0; way < 2; ++way) {
        fs::remove(dir + "/261208_140509.txt");
        if (way == 0)
            driver.Click(w->btn_saveas);
        else
            driver.PressKey('S', modControl);
        driver.Pump();
        EXPECT_TRUE(fs::exists(dir + "/261208_140509.txt")) << (way == 0 ? "button" : "Ctrl+S");
    }
    const std::string txt = ReadFile(dir + "/261208_140509.txt");
    EXPECT_EQ(txt.rfind("0;", 0), 0u) << txt.substr(0, 100);
    const std::string xml = ReadFile(dir + "/261208_140509.xml");
    EXPECT_NE(xml.find("<Frame Title=\"Dark Frame\""), std::string::npos);
    TChartDocument doc;
    ASSERT_TRUE(ReadChartDocument(dir + "/261208_140509.xml", doc));
    ASSERT_EQ(doc.Frames.size(), 1u) << "the empty dark frame is not read back";
    ASSERT_EQ(doc.Frames[0].Y.size(), 2048u);
    EXPECT_EQ(doc.Frames[0].Y[1000], w->Series1->YValues()->Items(1000));
    const auto row = [&](int i) {
        return std::to_string(i) + "," + FloatToStr(w->Series1->YValues()->Items(i));
    };
    CheckOpensElsewhere(dir, "261208_140509", row(0), row(2047));
}

TEST_F(LiveWindowFiles, LiveChartDocumentHoldsBothFramesAndTheFixedValues) {
    TfmLineSensor* w = Open();
    const std::string name = folder + "/live.xml";
    std::ofstream(name) << "an older file";
    EXPECT_TRUE(ExportLineSensorChart(w, name, 4));
    const std::string text = ReadFile(name);
    EXPECT_NE(text.find("MaxValue=\"4.94065645841247E-324\" Relative=\"0\""), std::string::npos);
    EXPECT_NE(text.find("<Frame Title=\"Dark Frame\""), std::string::npos);
    EXPECT_NE(text.find("<points Count=\"0\"/>"), std::string::npos) << "the dark frame, empty";
    EXPECT_NE(text.find("<points Count=\"2048\">"), std::string::npos);
    EXPECT_NE(text.find("<TextBoxes Count=\"0\"/>"), std::string::npos);

    EXPECT_FALSE(ExportLineSensorChart(w, "", 1));
    EXPECT_FALSE(ExportLineSensorChart(nullptr, folder + "/none.txt", 1)) << "no live window";
    EXPECT_TRUE(ExportLineSensorChart(w, folder + "/other.dat", 9));
    EXPECT_FALSE(fs::exists(folder + "/other.dat"));
}

TEST_F(LiveWindowFiles, ConfigurationChangeWhileLiveKeepsThePictureRight) {
    TfmLineSensor* w = Open();
    GoLive(w);
    ASSERT_EQ(library.ls_setadcpga1(63), 0); // lamp lines clip: 65535, or 255 in 8 bits
    WaitForFrames(w, [&] { return w->Series1->YValues()->MaxValue() == 65535; });
    struct Step {
        int resolution, imageNumber;
        double top;
        int samples;
    } steps[] = {{0, 0, 255, 2048}, {0, 1, 255, 2044}, {1, 1, 65535, 2046}, {1, 0, 65535, 2048}};
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "16 bit " << s.resolution << " image number " << s.imageNumber);
        w->cb_168BitMode->SetItemIndex(s.resolution);
        w->cb_imagenum->SetItemIndex(s.imageNumber);
        w->btn_setcfgClick(w);
        EXPECT_EQ(w->StatusText(0), "SET CFG1: OK");
        // Points the frame leaves out are marked, so a frame with image-number bytes taken as samples
        // would show there. The first display step after the change may still show a frame read before.
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < 2048; ++i)
                w->Series1->YValues()->Value()[i] = i < s.samples ? -2 : -1;
            WaitForFrames(w, [&] { return w->Series1->YValues()->Value()[0] != -2; });
        }
        EXPECT_EQ(w->Series1->YValues()->MaxValue(), s.top);
        const std::vector<double>& y = w->Series1->YValues()->Value();
        for (int i = 0; i < 2048; ++i) {
            if (i >= s.samples) {
                ASSERT_EQ(y[i], -1) << i;
            } else {
                ASSERT_GE(y[i], 0) << i;
                ASSERT_LE(y[i], s.top) << i;
            }
        }
    }
}

TEST_F(LiveWindowFiles, UnpluggedCameraStopsWithAStatusAndClosingDoesNotHang) {
    setenv("LUMCAM_FAULT_UNPLUG_AFTER", "50", 1);
    TfmLineSensor* w = Open();
    GoLive(w);
    w->Acn_startExecute(w); // the start button (Ctrl+M), which the camera already follows
    ASSERT_EQ(w->btn_start->Caption(), "Stop");
    bool lost = false;
    for (int i = 0; i < 500 && !lost; ++i) {
        PumpUntil([&] { return false; }, 10);
        lost = w->StatusText(0) == "ACQUISITION STOPPED: DEVICE NOT CONNECTED";
    }
    EXPECT_TRUE(lost) << w->StatusText(0);
    EXPECT_FALSE(w->btn_closedevice->Down());
    // Nothing runs any more: the window does not offer to stop it or show its last rates.
    EXPECT_FALSE(w->btn_start->Down());
    EXPECT_EQ(w->btn_start->Caption(), "Start");
    EXPECT_EQ(w->StatusText(TCCDThread::kFpsPanel), "");
    EXPECT_EQ(w->StatusText(TCCDThread::kMemoryPanel), "");
    bool canClose = false;
    w->FormCloseQuery(w, canClose);
    EXPECT_TRUE(canClose);
    EXPECT_FALSE(w->AcquisitionThread);
}

TEST_F(LiveWindowFiles, ClosingTheWindowWhileLiveStopsTheThreadAndSavesTheSettings) {
    TfmLineSensor* w = Open();
    GoLive(w);
    // The next frame waits in its display step, which nobody serves until the window closes.
    driver.Clock().Advance(500);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    bool canClose = false;
    w->FormCloseQuery(w, canClose);
    EXPECT_TRUE(canClose);
    EXPECT_FALSE(w->AcquisitionThread);
    EXPECT_LT(library.ls_currentdeviceindex(), 0);
    EXPECT_NE(SettingsText().find("[SaveAs]"), std::string::npos);
}

TEST_F(LiveWindowFiles, FreeingTheWindowWhileLiveWaitsForTheThreadBeforeItsControlsGo) {
    TfmLineSensor* w = Open();
    GoLive(w);
    driver.Clock().Advance(500); // a display step waits for the GUI thread
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    w->Free();
    EXPECT_EQ(fmLineSensor, nullptr);
    EXPECT_LT(library.ls_currentdeviceindex(), 0);
}

} // namespace
