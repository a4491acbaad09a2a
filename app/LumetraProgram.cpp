#include "app/LumetraProgram.h"

#include <cstdio>

#include "analysis/UnitIntegralOptions.h"
#include "analysis/UnitLoadSample.h"
#include "analysis/UnitMemo.h"
#include "analysis/UnitMovingAvSettings.h"
#include "analysis/UnitNewTitle.h"
#include "analysis/UnitPeakSettings.h"
#include "analysis/UnitSGFilterParams.h"
#include "app/UnitAbout.h"
#include "app/UnitMain.h"
#include "chart/PlotTools.h"
#include "platform/backend/DisplayError.h"
#include "platform/rtl/Locale.h"
#include "platform/ui/Application.h"
#include "platform/ui/StandardClasses.h"
#include "platform/ui/Window.h"
#include "ui/controls/ControlsClasses.h"
#include "ui/drawing/DrawingClasses.h"
#include "ui/markup/MarkupClasses.h"
#include "ui/toolbars/ToolbarsClasses.h"

using namespace plat;

void RegisterLumetraClasses() {
    RegisterStandardClasses();
    ui::RegisterMarkupClasses();
    ui::RegisterDrawingClasses();
    ui::RegisterControlsClasses();
    ui::RegisterToolbarsClasses();
    chart::RegisterChartToolClasses();
}

// The dialogs are shared by every chart window, which finds them among the screen's forms.
void CreateLumetraForms() {
    Application->SetTitle("Lumetra");
    Application->CreateForm(fmAbout);
    Application->CreateForm(fmMain);
    Tfmmovingavsettings* movingAverage = nullptr;
    TfmPeakSettings* peaks = nullptr;
    TfmSGFilterParams* filter = nullptr;
    TfmNewTitle* title = nullptr;
    TfmIntegralOptions* integral = nullptr;
    TfmMemo* memo = nullptr;
    TfmImportSample* import = nullptr;
    Application->CreateForm(movingAverage);
    Application->CreateForm(peaks);
    Application->CreateForm(filter);
    Application->CreateForm(title);
    Application->CreateForm(integral);
    Application->CreateForm(memo);
    Application->CreateForm(import);
    Application->SetMainForm(fmMain);
    // Made while the About box was the main form, the main window's window was given it as owner; the
    // main window belongs to nobody (on a desktop it would otherwise stand as the hidden box's dialog).
    if (fmMain->HandleAllocated())
        SetWindowLongPtr(fmMain->WindowHandle(), GWL_HWNDPARENT, 0);
}

int RunLumetra(int, char**) {
    LoadFormatSettingsFromEnvironment();
    int code = 0;
    try {
        Application->Initialize();
        RegisterLumetraClasses();
        CreateLumetraForms();
        Application->Run();
    } catch (const EDisplayError& e) {
        std::fprintf(stderr, "%s\n", e.Message().c_str());
        code = 1;
    } catch (const std::exception& e) {
        // Nothing to show it in yet (or any more): one line, and the program ends rather than aborts.
        std::fprintf(stderr, "Lumetra could not go on: %s\n", e.what());
        code = 1;
    }
    DoneApplication();
    return code;
}
