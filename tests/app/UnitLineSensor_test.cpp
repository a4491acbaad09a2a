#include "app/UnitLineSensor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/CameraDefs.h"
#include "app/UnitAbout.h"
#include "chart/Chart.h"
#include "chart/PlotTools.h"
#include "chart/Series.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/KvxCombo.h"
#include "ui/controls/KvxEdit.h"
#include "ui/controls/KvxOfficeButtons.h"
#include "ui/controls/KvxSpin.h"
#include "ui/controls/KvxTrackBar.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/ToolbarsClasses.h"

using namespace plat;

namespace {

// The live window as the program holds it: an MDI child of a main window, after the About box that owns
// the application styler, talking to the simulated camera.
class LiveWindow : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandardClasses();
        ui::RegisterToolbarsClasses();
        chart::RegisterChartToolClasses();
        ASSERT_TRUE(library.LoadFrom(LUMCAM_LIBRARY_DIR)) << library.ErrorMessage();
        TfmLineSensor::SetDefaultCameraLibrary(&library);
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
    }

    TfmLineSensor* Open() {
        auto* window = NewForm<TfmLineSensor>(main);
        driver.Pump();
        return window;
    }

    TTestDriver driver;
    TCameraLibrary library;
    TfmAbout* about = nullptr;
    TForm* main = nullptr;
};

TEST_F(LiveWindow, OpensWithItsChartAndRegistersAsTheLiveSource) {
    TfmLineSensor* w = Open();
    EXPECT_EQ(fmLineSensor, w);
    EXPECT_EQ(LiveFrameSource(), w);
    EXPECT_EQ(w->Caption(), "Zevi Zezaru");
    EXPECT_EQ(w->StatusText(0), "APPLICATION INITIALIZED");
    ASSERT_EQ(w->Series1->Count(), 2048);
    EXPECT_DOUBLE_EQ(w->XFirst(), 0.0);
    EXPECT_DOUBLE_EQ(w->XLast(), 2048.0);
    TTestDriver::SavePng(*driver.Render(w->Handle()), TestOutputDir("app") + "/live-empty.png");
    w->Free();
    EXPECT_EQ(fmLineSensor, nullptr);
    EXPECT_EQ(LiveFrameSource(), nullptr);
}

} // namespace
