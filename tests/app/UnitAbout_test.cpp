#include "app/UnitAbout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/CameraDefs.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FileUtils.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/StandardClasses.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/OfficeClasses.h"

using namespace plat;

namespace {

struct TShownTexts {
    std::string Soft, Dll, Custom, Sensor, Pixels, Vdk, Firmware;
};

// Shows the box modally, reads its labels while it is up and closes it with its Close button.
TShownTexts ShowAbout(TTestDriver& driver, TCameraLibrary& lib, const std::string& picture) {
    RegisterStandardClasses();
    ui::RegisterOfficeClasses();
    auto* about = NewForm<TfmAbout>(Application);
    about->SetCameraLibrary(&lib);
    TShownTexts texts;
    driver.AnswerNextModal([&](TCustomForm& form) {
        driver.Pump();
        texts = {about->lb_soft_version->Caption(),    about->lb_dll_version->Caption(),
                 about->lb_custom_firmware->Caption(), about->lb_lscb_type->Caption(),
                 about->lb_pixelcount->Caption(),      about->lb_vdk_type->Caption(),
                 about->lb_mcu1_version->Caption()};
        TTestDriver::SavePng(*driver.Render(form.Handle()), TestOutputDir("app") + "/" + picture);
        driver.ClickButton(&form, "Close");
    });
    EXPECT_EQ(about->ShowModal(), mrCancel);
    about->Free();
    return texts;
}

std::string DateOf(const std::string& path) {
    return DateToStr(FileAge(path));
}

} // namespace

TEST(AboutBox, ShowsTheBuildsVersionAndWhatTheSimulatedCameraReports) {
    TTestDriver driver;
    TCameraLibrary lib;
    ASSERT_TRUE(lib.LoadFrom(LUMCAM_LIBRARY_DIR)) << lib.ErrorMessage();
    ASSERT_NE(lib.ls_initialize(0x4000000, 4096, 32, 1, "VX_LUMETRA_DEVICE_"), 0);
    ASSERT_GT(lib.ls_enumdevices(), 0);
    ASSERT_EQ(lib.ls_opendevicebyindex(0), 0);

    const TShownTexts t = ShowAbout(driver, lib, "about.png");

    EXPECT_EQ(t.Soft,
              "V" + TfmAbout::FileVersionText(ApplicationExeName()) + " " + DateOf(ApplicationExeName()));
    const std::string version = LibraryFileVersion(lib.FileName());
    EXPECT_NE(version, "-1");
    EXPECT_EQ(t.Dll, "V" + version + " " + DateOf(lib.FileName()));

    uint32_t custom = 0;
    ASSERT_EQ(lib.ls_customfirmware(&custom), 0);
    EXPECT_EQ(t.Custom, std::to_string(custom));
    uint16_t type = 0, pixels = 0, mcu = 0;
    ASSERT_EQ(lib.ls_getsensortype(&type, &pixels), 0);
    EXPECT_EQ(t.Sensor, lib.ls_getsensorname(type));
    EXPECT_FALSE(t.Sensor.empty());
    EXPECT_EQ(t.Pixels, std::to_string(pixels));
    ASSERT_EQ(lib.ls_getmcusensortype(&mcu), 0);
    EXPECT_EQ(t.Vdk, std::string("VKD-") + lib.ls_getsensorname(mcu));
    EXPECT_EQ(t.Firmware, TfmAbout::FirmwareText(lib.ls_getfwversion(0)));
    lib.ls_closedevice();
}

TEST(AboutBox, WithoutALibraryShowsTheFailuresAndKeepsThePixelCount) {
    TTestDriver driver;
    TCameraLibrary lib;
    ASSERT_FALSE(lib.LoadFile("/nonexistent/liblumcam32.so"));

    const TShownTexts t = ShowAbout(driver, lib, "about-nolibrary.png");
    if (!FileExists(CameraLibraryFileName)) {
        EXPECT_EQ(t.Dll, "V-1 ") << "a missing file: version -1, a blank and no date";
    }
    EXPECT_EQ(t.Custom, "?0");
    EXPECT_EQ(t.Sensor, "");
    EXPECT_EQ(t.Pixels, "---") << "keeps its text when the sensor cannot be read";
    EXPECT_EQ(t.Vdk, "");
    EXPECT_EQ(t.Firmware, TfmAbout::FirmwareText(lib.ls_getfwversion(lib.ls_currentdeviceindex())));
}

TEST(AboutBox, FirmwareAndFileTexts) {
    const struct {
        uint16_t Version;
        const char* Text;
    } firmware[] = {{0x0114, "V1.20"}, {0x0205, "V2.05"}, {0x0000, "V0.00"}, {0xFFFF, "V255.255"}};
    for (const auto& c : firmware)
        EXPECT_EQ(TfmAbout::FirmwareText(c.Version), c.Text) << c.Version;

    EXPECT_EQ(TfmAbout::FileVersionText("/nonexistent/file"), "-1");
    EXPECT_EQ(TfmAbout::FileDateText("/nonexistent/file"), "");
    const std::string program = TfmAbout::FileVersionText(ApplicationExeName());
    EXPECT_EQ(program.rfind(LUMETRA_VERSION, 0), 0u) << program;
    EXPECT_EQ(std::count(program.begin(), program.end(), '.'), 3) << program;
    const std::string lib = std::string(LUMCAM_LIBRARY_DIR) + "/" + CameraLibraryFileName;
    EXPECT_EQ(TfmAbout::FileVersionText(lib), LibraryFileVersion(lib));
}

TEST(AboutBox, OwnsTheApplicationStylerInTheWhidbeyStyle) {
    TTestDriver driver;
    RegisterStandardClasses();
    ui::RegisterOfficeClasses();
    auto* about = NewForm<TfmAbout>(Application);
    ASSERT_NE(about->KvxAppStyler1, nullptr);
    EXPECT_EQ(about->KvxAppStyler1->Style(), ui::tsWhidbey);
    EXPECT_EQ(about->KvxFormStyler1->AppStyle(), about->KvxAppStyler1);
    EXPECT_EQ(about->Caption(), "About");
    EXPECT_EQ(about->lb_mcu1_version->Caption(), "---");
    about->Free();
}
