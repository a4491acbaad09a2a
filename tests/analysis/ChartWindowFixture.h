// A chart window on the headless display, inside an MDI frame, with a stand-in of the live camera
// window that hands it frames. For the tests of the chart window's commands.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "analysis/LiveFrameSource.h"
#include "analysis/UnitChart.h"
#include "analysis/UnitNewTitle.h"
#include "chart/Chart.h"
#include "chart/PlotTools.h"
#include "chart/Series.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/ControlsClasses.h"
#include "ui/controls/KvxEdit.h"
#include "ui/drawing/DrawingClasses.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/toolbars/ToolbarsClasses.h"

namespace chart_window_test {
namespace {

// The application's styler lives in the About box, which the program makes first; a stand-in of it
// named the same lets the window's layout find it.
class TfmAbout : public plat::TForm {
    PLAT_CLASS(TfmAbout)
public:
    using TForm::TForm;
    ui::TKvxAppStyler* KvxAppStyler1 = nullptr;
};

} // namespace
} // namespace chart_window_test

// Outside any namespace, so that the class record carries the bare name the layouts look for.
using chart_window_test::TfmAbout;
PLAT_CLASS_INFO_CREATABLE(TfmAbout, plat::TForm)
PLAT_PROPERTIES(TfmAbout) {
    props.Field("KvxAppStyler1", &TfmAbout::KvxAppStyler1);
}

namespace chart_window_test {
namespace {

// What the live window offers the chart windows: its data series on its chart, and the x exponent.
class TFakeLiveSource : public ILiveFrameSource {
public:
    TFakeLiveSource() {
        Form = plat::NewForm<plat::TForm>(plat::Application);
        Chart = new chart::TChart(Form);
        Chart->SetParent(Form);
        // The live window shows whole pixels and counts.
        Chart->BottomAxis()->Title()->SetCaption("Pixel");
        Chart->LeftAxis()->Title()->SetCaption("Counts");
        Chart->BottomAxis()->SetAxisValuesFormat("0");
        Chart->LeftAxis()->SetAxisValuesFormat("0");
        Series = new chart::TFastLineSeries(Form);
        Series->SetParentChart(Chart);
        SetLiveFrameSource(this);
    }
    ~TFakeLiveSource() {
        SetLiveFrameSource(nullptr);
        delete Form;
    }
    TFakeLiveSource(const TFakeLiveSource&) = delete;
    TFakeLiveSource& operator=(const TFakeLiveSource&) = delete;

    // The live frame becomes these y over x = 0, 1, 2, ...
    void SetFrame(const std::vector<double>& Y) {
        Series->Clear();
        for (size_t i = 0; i < Y.size(); ++i)
            Series->AddXY(static_cast<double>(i), Y[i]);
    }

    chart::TChartSeries* LiveSeries() override { return Series; }
    chart::TChart* LiveChart() override { return Chart; }
    int LiveXMultiplier() const override { return XMultiplier; }

    plat::TForm* Form = nullptr;
    chart::TChart* Chart = nullptr;
    chart::TFastLineSeries* Series = nullptr;
    int XMultiplier = 0;
};

class ChartWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::RegisterStandardClasses();
        ui::RegisterControlsClasses();
        ui::RegisterDrawingClasses();
        ui::RegisterToolbarsClasses();
        chart::RegisterChartToolClasses();
        plat::RegisterFormResource("TfmAbout", R"(object fmAbout: TfmAbout
  object KvxAppStyler1: TKvxAppStyler
    AutoThemeAdapt = False
    Style = tsWhidbey
  end
end
)");
        About = plat::NewForm<TfmAbout>(plat::Application);
        MdiFrame = plat::NewForm<plat::TForm>(plat::Application);
        MdiFrame->SetFormStyle(plat::fsMDIForm);
        MdiFrame->SetBounds(0, 0, 1280, 800);
        MdiFrame->Show();
        Form = plat::NewForm<TfmChart>(MdiFrame);
        Form->SetBounds(0, 0, 1200, 700);
        Driver.Pump();
    }

    void TearDown() override {
        if (Form)
            Form->Free();
        delete MdiFrame;
        delete About;
    }

    // Runs a command whose title dialog comes up; `title` is typed over the proposal (keeping it when
    // null) and the dialog is submitted, or cancelled when `submit` is false.
    void WithTitle(const std::function<void()>& Command, const char* Title = nullptr, bool Submit = true) {
        Driver.AnswerNextModal([&](plat::TCustomForm& dialog) {
            Driver.Pump();
            if (auto* titles = dynamic_cast<TfmNewTitle*>(&dialog)) {
                Proposed = titles->ed_samplename->Text();
                if (Title)
                    titles->ed_samplename->SetTextProp(Title);
            }
            dialog.SetModalResult(Submit ? plat::mrOk : plat::mrCancel);
        });
        Command();
        Driver.Pump();
    }

    // Loads the live frame (these y) as a new frame under the proposed title.
    chart::TChartSeries* LoadLive(const std::vector<double>& Y) {
        Live.SetFrame(Y);
        const int before = Form->FrameCount();
        WithTitle([&] { Form->btn_loadClick(nullptr); });
        return Form->FrameCount() > before ? Form->Frame(Form->FrameCount() - 1) : nullptr;
    }

    static std::vector<double> YsOf(chart::TChartSeries* Frame) {
        std::vector<double> y;
        for (int i = 0; i < Frame->Count(); ++i)
            y.push_back(Frame->YValues()->Items(i));
        return y;
    }

    plat::TTestDriver Driver;
    TfmAbout* About = nullptr;
    plat::TForm* MdiFrame = nullptr;
    TfmChart* Form = nullptr;
    TFakeLiveSource Live;
    std::string Proposed;
};

} // namespace
} // namespace chart_window_test
