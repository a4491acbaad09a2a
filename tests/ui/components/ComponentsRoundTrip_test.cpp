// The component set's classes, as the application registers them, through the layout round trip.
#include <gtest/gtest.h>

#include "LayoutRoundTripCheck.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/ControlsClasses.h"
#include "ui/office/OfficeClasses.h"
#include "ui/toolbars/ToolbarsClasses.h"

TEST(ComponentsRoundTrip, EveryPublishedEnumerationAndSetComesBackAtEveryValue) {
    plat::TTestDriver driver;
    plat::RegisterStandardClasses();
    ui::RegisterOfficeClasses();
    ui::RegisterControlsClasses();
    ui::RegisterToolbarsClasses();

    layout_round_trip::TOptions options;
    // The set's sub-objects copy only the fields their Assign lists name, so copies are not compared.
    options.CheckAssign = false;
    // Stored forms rely on these: a spin edit applies its border after loading whatever was streamed; the
    // panel styler's preset gives its status bar a border that the default "none" is not stored over;
    // the tab set's, pager's and toolbar's stylers write their preset's button gradients over the default
    // radial.
    options.DefaultTraps = {"TKvxSpinEdit.BorderStyle", "TKvxPanelStyler.Settings.StatusBar.BorderStyle",
                            "TKvxOfficeTabSetOfficeStyler.GlowButtonAppearance.Gradient",
                            "TKvxOfficePagerOfficeStyler.GlowButtonAppearance.Gradient",
                            "TKvxToolBarOfficeStyler.GlowButtonAppearance.Gradient",
                            "TKvxToolBarOfficeStyler.CompactGlowButtonAppearance.Gradient"};
    const layout_round_trip::TCounts counts = layout_round_trip::CheckEveryRegisteredClass(options);
    // The class library's own and every component of the set that layouts create by name.
    EXPECT_GE(counts.Classes, 58 + 30);
    EXPECT_GT(counts.Checked, 2500);
}
