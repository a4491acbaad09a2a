#include "ui/office/KvxOfficeStatusBarStylers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/gfx/Surface.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Paint.h"
#include "ui/office/KvxAppStyler.h"
#include "ui/office/KvxOfficeStatusBar.h"

using namespace plat;
using namespace ui;
using namespace ui::statusbar;

namespace {

class StatusBarStylerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(50, 50, 500, 100);
        Form->Show();
        Driver.Pump();
    }
    TKvxOfficeStatusBar* NewBar() {
        auto* bar = new TKvxOfficeStatusBar(Form);
        bar->SetParent(Form);
        bar->Panels()->Add()->SetText("Ready");
        bar->Panels()->Add()->SetText("More");
        Driver.Pump();
        return bar;
    }
    static bool Invalid(TKvxOfficeStatusBar* Bar) {
        TRect r;
        return GetUpdateRect(Bar->WindowHandle(), &r, false);
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
};

TEST_F(StatusBarStylerTest, ANewOfficeStylerShowsTheOffice2003BluePreset) {
    TKvxOfficeStatusBarOfficeStyler styler(nullptr);
    EXPECT_EQ(styler.Style(), statusbar::psOffice2003Blue);
    EXPECT_EQ(styler.BorderColor(), 0xE4AE88);
    EXPECT_EQ(styler.PanelAppearanceLight()->Color(), 0xFADDC6);
    EXPECT_EQ(styler.PanelAppearanceLight()->ColorTo(), 0xE2A982);
    EXPECT_EQ(styler.PanelAppearanceDark()->TextColor(), 0xFFFFFF);

    TCustomKvxOfficeStatusBarStyler plain(nullptr);
    EXPECT_EQ(plain.BorderColor(), 0x825A3B);
    EXPECT_EQ(plain.PanelAppearanceLight()->ColorMirror(), 0xC0C0C0);
}

// A few colours of each preset, reached the way the application sets them: through the suite style.
TEST_F(StatusBarStylerTest, TheSuiteStyleSelectsEachPreset) {
    struct TCase {
        TKVXStyle Suite;
        TOfficeStatusBarStyle Expected;
        TColor Border, LightColor, LightMirror, LightText, DarkColorTo, DarkTextColor, LightDownBorder;
    } cases[] = {
        {tsOffice2003Silver, statusbar::psOffice2003Silver, 0xB39698, 0xF7F3F3, 0xE6D8D8, 0x000000, 0xB79B9D,
         0xFFFFFF, 0xB79B9D},
        {tsOffice2003Olive, statusbar::psOffice2003Olive, 0x8CC0B1, 0xCFF0EA, 0x90C3B5, 0x000000, 0x4D846E,
         0xFFFFFF, 0x4D846E},
        {tsOffice2003Classic, statusbar::psOffice2003Classic, 0xC9D1D5, 0xFFFFFF, clNone, 0x000000, 0x808080,
         0xFFFFFF, 0x000000},
        {tsOffice2007Luna, statusbar::psOffice2007Luna, 0xB07D56, 0xF9E6D7, 0xF5D0B3, 0x612009, 0xF5B687,
         0x612009, 0x45667B},
        {tsOffice2007Obsidian, statusbar::psOffice2007Obsidian, 0x414141, 0x414141, 0x30302F, 0xFFFFFF,
         0x635F5E, 0xFFFFFF, 0x45667B},
        {tsWindowsXP, statusbar::psWindowsXP, 0xC0C0C0, clBtnFace, clBtnFace, 0x000000, clBtnFace, 0x000000,
         0x000000},
        {tsWhidbey, statusbar::psWhidbey, 0xA8C0C0, 0xF5F9FA, clNone, 0x000000, 0x7E9898, 0x000000, 0x000000},
        {tsOffice2007Silver, statusbar::psOffice2007Silver, 0x766A61, 0xEBE8E7, 0xB7B0AA, 0x2A2623, 0xC7BBB6,
         0x2A2623, 0x45667B},
        {tsOffice2003Blue, statusbar::psOffice2003Blue, 0xE4AE88, 0xFADDC6, 0xE2A982, 0x000000, 0x9C430F,
         0xFFFFFF, 0x9C430F},
    };
    TKvxOfficeStatusBarOfficeStyler styler(nullptr);
    IStyleable* styleable = dynamic_cast<IStyleable*>(&styler);
    ASSERT_NE(styleable, nullptr);
    for (const TCase& c : cases) {
        styleable->ApplyStyle(c.Suite);
        SCOPED_TRACE(kKVXStyleNames[c.Suite]);
        EXPECT_EQ(styler.Style(), c.Expected);
        EXPECT_EQ(styler.BorderColor(), c.Border);
        EXPECT_EQ(styler.PanelAppearanceLight()->Color(), c.LightColor);
        EXPECT_EQ(styler.PanelAppearanceLight()->ColorMirror(), c.LightMirror);
        EXPECT_EQ(styler.PanelAppearanceLight()->TextColor(), c.LightText);
        EXPECT_EQ(styler.PanelAppearanceDark()->ColorTo(), c.DarkColorTo);
        EXPECT_EQ(styler.PanelAppearanceDark()->TextColor(), c.DarkTextColor);
        EXPECT_EQ(styler.PanelAppearanceLight()->BorderColorDown(), c.LightDownBorder);
    }
}

TEST_F(StatusBarStylerTest, PresetsLeaveUnnamedColoursAsTheyWere) {
    TKvxOfficeStatusBarOfficeStyler styler(nullptr);
    styler.SetStyle(statusbar::psOffice2007Obsidian);
    ASSERT_EQ(styler.PanelAppearanceLight()->TextColorHot(), 0xFFFFFF);
    styler.SetStyle(statusbar::psOffice2003Silver);
    EXPECT_EQ(styler.PanelAppearanceLight()->TextColorHot(), 0xFFFFFF);
    EXPECT_EQ(styler.PanelAppearanceLight()->TextColorDown(), 0xFFFFFF);

    styler.PanelAppearanceDark()->SetTextColorHot(0x123456);
    styler.SetStyle(statusbar::psWhidbey);
    EXPECT_EQ(styler.PanelAppearanceDark()->TextColorHot(), 0x123456);
}

TEST_F(StatusBarStylerTest, CustomKeepsTheColoursAndOnlyRepaints) {
    auto* styler = new TKvxOfficeStatusBarOfficeStyler(Form);
    TKvxOfficeStatusBar* bar = NewBar();
    bar->SetStyler(styler);
    styler->SetStyle(statusbar::psOffice2007Luna);
    styler->PanelAppearanceLight()->SetColor(0x010203);
    Driver.Pump();
    ASSERT_FALSE(Invalid(bar));

    styler->SetStyle(statusbar::psOffice2007Luna);
    EXPECT_FALSE(Invalid(bar)) << "the current style again does nothing";

    dynamic_cast<IStyleable*>(styler)->ApplyStyle(tsCustom);
    EXPECT_EQ(styler->Style(), statusbar::psCustom);
    EXPECT_EQ(styler->PanelAppearanceLight()->Color(), 0x010203);
    EXPECT_EQ(styler->BorderColor(), 0xB07D56);
    EXPECT_TRUE(Invalid(bar)) << "the bars repaint";

    // A form styler hands the suite style on; tsCustom is never passed by it.
    auto* formStyler = new TKvxFormStyler(Form);
    formStyler->SetStyle(tsWhidbey);
    EXPECT_EQ(styler->Style(), statusbar::psWhidbey);
}

TEST_F(StatusBarStylerTest, HotColoursWaitForTheNextRepaint) {
    auto* styler = new TKvxOfficeStatusBarOfficeStyler(Form);
    TKvxOfficeStatusBar* bar = NewBar();
    bar->SetStyler(styler);
    Driver.Pump();
    styler->PanelAppearanceLight()->SetColorHot(0x00FF00);
    EXPECT_FALSE(Invalid(bar));
    styler->PanelAppearanceLight()->SetColor(0x00FF00);
    EXPECT_TRUE(Invalid(bar));
}

TEST_F(StatusBarStylerTest, ABarWhoseStylerGoesFallsBackToItsOwn) {
    auto* styler = new TKvxOfficeStatusBarOfficeStyler(Form);
    TKvxOfficeStatusBar* bar = NewBar();
    bar->SetStyler(styler);
    styler->SetStyle(statusbar::psOffice2007Obsidian);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(bar, 0, bar->Height() - 1), 0x414141);

    styler->Free();
    EXPECT_EQ(bar->Styler(), nullptr);
    EXPECT_EQ(bar->CurrentStyler(), bar->InternalStyler());
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(bar, 0, bar->Height() - 1), 0x825A3B) << "the internal styler's frame";
    EXPECT_EQ(Driver.Pixel(bar, 20, 2), clWhite) << "white upper half of the internal tiles";

    // A styler on another owner: the bar still hears of it.
    auto* foreign = new TKvxOfficeStatusBarOfficeStyler(nullptr);
    bar->SetStyler(foreign);
    delete foreign;
    EXPECT_EQ(bar->CurrentStyler(), bar->InternalStyler());
    Driver.Pump();

    // And a bar that goes leaves its styler's client list.
    auto* kept = new TKvxOfficeStatusBarOfficeStyler(nullptr);
    bar->SetStyler(kept);
    ASSERT_EQ(kept->Clients().Count(), 1);
    bar->Free();
    EXPECT_EQ(kept->Clients().Count(), 0);
    kept->SetStyle(statusbar::psWhidbey); // would reach the freed bar otherwise
    delete kept;
}

TEST_F(StatusBarStylerTest, AppearanceAssignCopiesAllAndTellsOnce) {
    TVistaBackground a, b;
    int changes = 0;
    a.OnChange = [&](TObject*) { ++changes; };
    b.SetColorHot(0x111111);
    b.SetColorMirrorDownTo(0x222222);
    b.SetTextStyle(fsBold);
    a.Assign(&b);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a.ColorHot(), 0x111111);
    EXPECT_EQ(a.ColorMirrorDownTo(), 0x222222);
    EXPECT_EQ(a.TextStyle(), fsBold);
    TKvxHintInfo other;
    EXPECT_ANY_THROW(a.Assign(&other));
}

TEST_F(StatusBarStylerTest, ThemeAdaptationWithoutAColourSchemePicksWindowsXP) {
    TKvxOfficeStatusBarOfficeStyler styler(nullptr);
    EXPECT_EQ(DetectXPColorScheme(), 0);
    styler.SetAutoThemeAdapt(true);
    EXPECT_EQ(styler.Style(), statusbar::psOffice2003Blue) << "takes effect after loading";
    styler.Loaded();
    EXPECT_EQ(styler.Style(), statusbar::psWindowsXP);
}

TEST_F(StatusBarStylerTest, PresetSheetPicture) {
    Form->SetBounds(50, 50, 520, 12 * 22 + 40);
    auto* styler = new TKvxOfficeStatusBarOfficeStyler(Form);
    TKvxOfficeStatusBar* bar = NewBar();
    bar->SetAlign(alNone);
    bar->SetBounds(0, 0, 500, 19);
    bar->SetStyler(styler);
    bar->Panels()->Clear();
    bar->Panels()->Add()->SetText("Light");
    TKvxOfficeStatusPanel* dark = bar->Panels()->Add();
    dark->SetText("Dark");
    dark->SetAppearanceStyle(psDark);
    TKvxOfficeStatusPanel* button = bar->Panels()->Add();
    button->SetText("Button (hot)");
    button->SetButton(true);
    button->SetWidth(100);
    bar->Panels()->Add()->SetText("<b>Bold</b> and <A href=\"x\">a link</A>");
    TImageSurface sheet(500, 9 * 22);
    int row = 0;
    for (int s = 0; s <= statusbar::psOffice2007Silver; ++s) {
        if (s == statusbar::psCustom)
            continue;
        styler->SetStyle(static_cast<TOfficeStatusBarStyle>(s));
        Driver.MoveTo(TTestDriver::ScreenPoint(bar, TPoint(150, 8)));
        Driver.Pump();
        auto img = Driver.Render(bar);
        EXPECT_NE(TTestDriver::PixelOf(*img, 0, 18), TTestDriver::PixelOf(*img, 20, 3))
            << kOfficeStatusBarStyleNames[s];
        for (int y = 0; y < img->Height() && row * 22 + y < sheet.Height(); ++y)
            std::copy(img->Row(y), img->Row(y) + std::min(img->Width(), sheet.Width()),
                      sheet.Row(row * 22 + y));
        ++row;
    }
    TTestDriver::SavePng(sheet, TestOutputDir("office") + "/statusbar-styler-presets.png");
}

} // namespace
