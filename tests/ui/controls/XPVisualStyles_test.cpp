#include "ui/controls/XPVisualStyles.h"

#include <gtest/gtest.h>

#include "platform/gfx/GdiObjects.h"
#include "platform/gfx/Surface.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/SystemServices.h"

namespace {

using ui::TThemeBinding;

// Puts the platform's answers back whatever a test switched.
struct SystemState {
    plat::TSystemVersion Version = plat::GetSystemVersion();
    bool Styles = plat::VisualStylesEnabled();
    bool Present = ui::ThemeServicePresent();
    ~SystemState() {
        plat::SetSystemVersion(Version);
        plat::SetVisualStylesEnabled(Styles);
        ui::SetThemeServicePresent(Present);
    }
};

bool AllEntriesEmpty(const ui::TThemeApi& api) {
    return !api.OpenThemeData && !api.CloseThemeData && !api.DrawThemeBackground && !api.IsThemeActive;
}

TEST(VisualStyles, EveryFamilyBindsAndAnswersInactive) {
    for (TThemeBinding* binding :
         {&ui::ASXPVS(), &ui::ACXPVS(), &ui::AEBXPVS(), &ui::APXPVS(), &ui::HTMLXPVS(), &ui::CEXPVS()}) {
        EXPECT_TRUE(binding->ThemeApiLoaded());
        ASSERT_NE(binding->Api().IsThemeActive, nullptr);
        EXPECT_FALSE(binding->Api().IsThemeActive());
        EXPECT_FALSE(binding->UseThemes());
        // An inactive service hands out no theme, so a caller that tries anyway draws nothing themed.
        EXPECT_EQ(binding->Api().OpenThemeData(nullptr, "spin"), nullptr);
    }
    EXPECT_GE(ui::ThemeServiceReferences(), 6);
}

TEST(VisualStyles, MissingServiceLeavesEveryEntryEmptyAndUsersClassic) {
    SystemState state;
    plat::SetVisualStylesEnabled(true);
    ui::SetThemeServicePresent(false);
    const int before = ui::ThemeServiceReferences();
    TThemeBinding binding;
    binding.LoadThemeApi();
    EXPECT_FALSE(binding.ThemeApiLoaded());
    EXPECT_TRUE(AllEntriesEmpty(binding.Api()));
    EXPECT_FALSE(binding.UseThemes()); // must not call through the empty IsThemeActive
    binding.FreeThemeApi();
    EXPECT_EQ(ui::ThemeServiceReferences(), before);
}

TEST(VisualStyles, ServiceStaysUntilTheLastBindingReleasedIt) {
    const int before = ui::ThemeServiceReferences();
    {
        TThemeBinding a, b;
        a.LoadThemeApi();
        a.LoadThemeApi(); // a second load of the same binding takes no second reference
        b.LoadThemeApi();
        EXPECT_EQ(ui::ThemeServiceReferences(), before + 2);
        a.FreeThemeApi();
        EXPECT_FALSE(a.ThemeApiLoaded());
        EXPECT_TRUE(AllEntriesEmpty(a.Api()));
        EXPECT_TRUE(b.ThemeApiLoaded());
        EXPECT_EQ(ui::ThemeServiceReferences(), before + 1);
    } // b released by its destructor
    EXPECT_EQ(ui::ThemeServiceReferences(), before);
}

TEST(VisualStyles, ThemedDrawingFollowsSystemGenerationAndActiveStyle) {
    SystemState state;
    struct Case {
        plat::TSystemVersion Version;
        bool Styles;
        bool Themed;
    };
    const Case cases[] = {
        {{10, 0, 19045}, false, false}, {{10, 0, 19045}, true, true}, {{6, 0, 6000}, true, true},
        {{5, 1, 2600}, true, true},     {{5, 0, 2195}, true, false},  {{4, 10, 2222}, true, false},
    };
    for (const Case& c : cases) {
        plat::SetSystemVersion(c.Version);
        plat::SetVisualStylesEnabled(c.Styles);
        EXPECT_EQ(ui::ASXPVS().UseThemes(), c.Themed) << c.Version.Major << "." << c.Version.Minor;
        EXPECT_EQ(ui::IsWinXPOrLater(), c.Version.Major > 5 || (c.Version.Major == 5 && c.Version.Minor > 0));
    }
}

TEST(VisualStyles, ActiveServiceDrawsKnownClassesPerState) {
    SystemState state;
    plat::SetVisualStylesEnabled(true);
    const ui::TThemeApi& api = ui::ASXPVS().Api();
    EXPECT_EQ(api.OpenThemeData(nullptr, "nosuchclass"), nullptr);
    ui::HTHEME spin = api.OpenThemeData(nullptr, "Unknown;SPIN");
    ASSERT_NE(spin, nullptr);

    plat::TImageSurface surface(15, 12);
    plat::TDeviceContext dc(&surface);
    const plat::TRect rect(0, 0, 15, 12);
    plat::TColor faces[5] = {};
    for (int stateId = ui::TS_NORMAL; stateId <= ui::TS_DISABLED; ++stateId) {
        dc.FillRect(rect, plat::CreateSolidBrush(0x000000));
        EXPECT_EQ(api.DrawThemeBackground(spin, &dc, ui::SPNP_UP, stateId, rect, nullptr), 0);
        faces[stateId] = dc.GetPixel(2, 2);
        EXPECT_NE(faces[stateId], 0x000000);
        // The arrow's tip sits above the centre of an up button.
        EXPECT_NE(dc.GetPixel(7, 4), faces[stateId]) << stateId;
    }
    EXPECT_NE(faces[ui::TS_NORMAL], faces[ui::TS_HOT]);
    EXPECT_NE(faces[ui::TS_HOT], faces[ui::TS_PRESSED]);
    EXPECT_NE(faces[ui::TS_NORMAL], faces[ui::TS_DISABLED]);

    // A clip rectangle keeps the drawing inside it; a bad handle draws nothing and reports it.
    dc.FillRect(rect, plat::CreateSolidBrush(0x000000));
    const plat::TRect clip(0, 0, 5, 12);
    EXPECT_EQ(api.DrawThemeBackground(spin, &dc, ui::SPNP_UP, ui::TS_NORMAL, rect, &clip), 0);
    EXPECT_NE(dc.GetPixel(2, 2), 0x000000);
    EXPECT_EQ(dc.GetPixel(10, 2), 0x000000);
    dc.FillRect(rect, plat::CreateSolidBrush(0x000000));
    EXPECT_LT(api.DrawThemeBackground(nullptr, &dc, ui::SPNP_UP, ui::TS_NORMAL, rect, nullptr), 0);
    EXPECT_EQ(dc.GetPixel(2, 2), 0x000000);
    EXPECT_EQ(api.CloseThemeData(spin), 0);
}

} // namespace
